#include "ViewerSoak.h"

#include "CameraPath.h"
#include "CollisionGameSystem.h"
#include "GameSystemManager.h"
#include "OgreBackgroundLoader.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <unistd.h>

namespace Wren
{
    namespace
    {
        /** Every node a scene manager made, attached or not. */
        struct SceneNodes : Ogre::SceneManager
        {
            static size_t of(const Ogre::SceneManager& scene)
            {
                return (scene.*(&SceneNodes::mSceneNodes)).size();
            }
        };

        size_t countResources(Ogre::ResourceManager& manager)
        {
            size_t count = 0;
            for (auto it = manager.getResourceIterator(); it.hasMoreElements(); it.moveNext())
                ++count;
            return count;
        }

        std::uint64_t residentKiB()
        {
            std::ifstream statm("/proc/self/statm");
            std::uint64_t size = 0, resident = 0;
            statm >> size >> resident;
            return resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) / 1024;
        }

        /** The counts of a sample, by name, in table order. */
        const std::vector<std::pair<const char*, std::uint64_t SoakSample::*>>& counts()
        {
            static const std::vector<std::pair<const char*, std::uint64_t SoakSample::*>> all = {
                {"scene_nodes", &SoakSample::sceneNodes},
                {"entities", &SoakSample::entities},
                {"materials", &SoakSample::materials},
                {"meshes", &SoakSample::meshes},
                {"collision_shapes", &SoakSample::collisionShapes},
                {"background_requests", &SoakSample::backgroundRequests}};
            return all;
        }

        /** Shapes held by something besides the registry and its
            candidate list. */
        std::uint64_t shapesInUse(const CollisionGameSystem& collision)
        {
            std::set<const CollisionShape*> candidates;
            for (const CollisionShapePtr& shape : collision.getRecoveryShapeList())
                candidates.insert(shape.get());
            std::uint64_t inUse = 0;
            for (const auto& entry : collision.getCollisionShapes())
                if (entry.second.use_count() > 1 + long(candidates.count(entry.second.get())))
                    ++inUse;
            return inUse;
        }
    }

    SoakSample ViewerSoak::sample()
    {
        SoakSample s;
        s.residentKiB = residentKiB();
        if (Ogre::Root* root = Ogre::Root::getSingletonPtr())
            for (const auto& entry : root->getSceneManagers())
            {
                s.sceneNodes += SceneNodes::of(*entry.second);
                s.entities +=
                    entry.second->getMovableObjects(Ogre::EntityFactory::FACTORY_TYPE_NAME).size();
            }
        if (Ogre::MaterialManager* materials = Ogre::MaterialManager::getSingletonPtr())
            s.materials = countResources(*materials);
        if (Ogre::MeshManager* meshes = Ogre::MeshManager::getSingletonPtr())
            s.meshes = countResources(*meshes);
        if (GameSystemManager* systems = GameSystemManager::getSingletonPtr())
            if (auto* collision =
                    dynamic_cast<CollisionGameSystem*>(systems->getGameSystem("CollisionGameSystem")))
                s.collisionShapes = shapesInUse(*collision);
        if (Ogre::BackgroundLoader* loader = Ogre::BackgroundLoader::getSingletonPtr())
            s.backgroundRequests = loader->getPendingCount() + loader->getHeldCount();
        return s;
    }

    bool ViewerSoak::fly(WorldViewer& viewer, const WorldViewer::FrameListener& next)
    {
        mPasses.clear();
        mFramesPerPass = 0;
        mPassOpen = false;
        const WorldViewerOptions& options = viewer.getOptions();
        return viewer.run([&](const ViewerFigures& figures) {
            if (!mFramesPerPass)
            {
                // The grid is known once the world runs.
                const std::optional<CameraPath> path = CameraPath::fromName(
                    options.path, viewer.getGrid(), options.speed, options.timeStep, options.height);
                mFramesPerPass = path ? std::max<std::uint64_t>(1, path->framesPerPass()) : 1;
            }
            onFrame(figures.frames);
            if (next)
                next(figures);
        });
    }

    void ViewerSoak::onFrame(std::uint64_t frames)
    {
        const SoakSample now = sample();
        if (!mPassOpen)
        {
            mCurrent.floor = mCurrent.peak = now;
            mPassOpen = true;
        }
        for (const auto& count : counts())
        {
            mCurrent.floor.*count.second = std::min(mCurrent.floor.*count.second, now.*count.second);
            mCurrent.peak.*count.second = std::max(mCurrent.peak.*count.second, now.*count.second);
        }
        if (frames % mFramesPerPass != 0)
            return;
        mCurrent.pass = static_cast<unsigned>(mPasses.size() + 1);
        mCurrent.frames = frames;
        mCurrent.floor.residentKiB = mCurrent.peak.residentKiB = now.residentKiB;
        mPasses.push_back(mCurrent);
        mPassOpen = false;
    }

    std::vector<std::string> ViewerSoak::findGrowth() const
    {
        if (mPasses.size() < 2)
            return {"the flight ended after " + std::to_string(mPasses.size()) +
                    " passes: at least two are needed to tell"};
        std::vector<std::string> growth;
        const SoakPass& second = mPasses[1];
        const SoakPass& last = mPasses.back();
        const std::string lastPass = " (pass " + std::to_string(last.pass) + ")";
        if (last.floor.residentKiB > second.floor.residentKiB * (1.0 + MemoryGrowth))
            growth.push_back("resident_kib grew from " + std::to_string(second.floor.residentKiB) +
                             " (pass 2) to " + std::to_string(last.floor.residentKiB) + lastPass);
        for (const auto& count : counts())
            if (last.floor.*count.second > second.peak.*count.second)
                growth.push_back(std::string(count.first) + " grew from at most " +
                                 std::to_string(second.peak.*count.second) + " (pass 2) to at least " +
                                 std::to_string(last.floor.*count.second) + lastPass);
        return growth;
    }

    std::string ViewerSoak::formatTable(const std::vector<SoakPass>& passes)
    {
        std::ostringstream out;
        out << std::setw(5) << "pass" << std::setw(9) << "frames" << std::setw(13) << "resident KiB";
        const char* const headings[] = {"nodes", "entities", "materials", "meshes", "shapes",
                                        "requests"};
        for (const char* heading : headings)
            out << std::setw(12) << heading;
        out << '\n';
        for (const SoakPass& p : passes)
        {
            out << std::setw(5) << p.pass << std::setw(9) << p.frames << std::setw(13)
                << p.floor.residentKiB;
            for (const auto& count : counts())
                out << std::setw(12)
                    << std::to_string(p.floor.*count.second) + "-" +
                           std::to_string(p.peak.*count.second);
            out << '\n';
        }
        return out.str();
    }

    nlohmann::json ViewerSoak::toJson() const
    {
        nlohmann::json j;
        j["passes"] = nlohmann::json::array();
        for (const SoakPass& p : mPasses)
        {
            nlohmann::json pass = {
                {"pass", p.pass}, {"frames", p.frames}, {"resident_kib", p.floor.residentKiB}};
            for (const auto& count : counts())
                pass[count.first] = {p.floor.*count.second, p.peak.*count.second};
            j["passes"].push_back(pass);
        }
        const std::vector<std::string> growth = findGrowth();
        j["growth"] = growth;
        j["ok"] = growth.empty();
        return j;
    }
}
