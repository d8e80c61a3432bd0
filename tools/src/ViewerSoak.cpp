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

        /** The figures of a sample, with their names, in table order. */
        std::vector<std::pair<const char*, std::uint64_t>> figuresOf(const SoakSample& s)
        {
            return {{"resident_kib", s.residentKiB},   {"scene_nodes", s.sceneNodes},
                    {"entities", s.entities},          {"materials", s.materials},
                    {"meshes", s.meshes},              {"collision_shapes", s.collisionShapes},
                    {"background_requests", s.backgroundRequests}};
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
                s.collisionShapes = collision->getCollisionShapeCount();
        if (Ogre::BackgroundLoader* loader = Ogre::BackgroundLoader::getSingletonPtr())
            s.backgroundRequests = loader->getPendingCount() + loader->getHeldCount();
        return s;
    }

    bool ViewerSoak::fly(WorldViewer& viewer, const WorldViewer::FrameListener& next)
    {
        mPasses.clear();
        mFramesPerPass = 0;
        mWindowOpen = false;
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
        const std::uint64_t intoPass = (frames - 1) % mFramesPerPass + 1;
        if (intoPass * 10 < mFramesPerPass * 9 && intoPass != mFramesPerPass)
            return;
        const SoakSample now = sample();
        if (!mWindowOpen)
        {
            mFloor = now;
            mWindowOpen = true;
        }
        for (auto field : {&SoakSample::sceneNodes, &SoakSample::entities, &SoakSample::materials,
                           &SoakSample::meshes, &SoakSample::collisionShapes,
                           &SoakSample::backgroundRequests})
            mFloor.*field = std::min(mFloor.*field, now.*field);
        if (intoPass != mFramesPerPass)
            return;
        SoakPass pass;
        pass.pass = static_cast<unsigned>(mPasses.size() + 1);
        pass.frames = frames;
        pass.sample = mFloor;
        pass.sample.residentKiB = now.residentKiB;
        mPasses.push_back(pass);
        mWindowOpen = false;
    }

    std::vector<std::string> ViewerSoak::findGrowth() const
    {
        if (mPasses.size() < 2)
            return {"the flight ended after " + std::to_string(mPasses.size()) +
                    " passes: at least two are needed to tell"};
        std::vector<std::string> growth;
        const auto second = figuresOf(mPasses[1].sample);
        const auto last = figuresOf(mPasses.back().sample);
        for (size_t i = 0; i < second.size(); ++i)
        {
            const bool memory = i == 0;
            const double allowed = memory ? second[i].second * (1.0 + MemoryGrowth) : second[i].second;
            if (last[i].second > allowed)
                growth.push_back(std::string(second[i].first) + " grew from " +
                                 std::to_string(second[i].second) + " (pass 2) to " +
                                 std::to_string(last[i].second) + " (pass " +
                                 std::to_string(mPasses.back().pass) + ")");
        }
        return growth;
    }

    std::string ViewerSoak::formatTable(const std::vector<SoakPass>& passes)
    {
        std::ostringstream out;
        out << std::setw(5) << "pass" << std::setw(9) << "frames" << std::setw(13) << "resident KiB"
            << std::setw(7) << "nodes" << std::setw(10) << "entities" << std::setw(11) << "materials"
            << std::setw(8) << "meshes" << std::setw(8) << "shapes" << std::setw(10) << "requests"
            << '\n';
        for (const SoakPass& p : passes)
            out << std::setw(5) << p.pass << std::setw(9) << p.frames << std::setw(13)
                << p.sample.residentKiB << std::setw(7) << p.sample.sceneNodes << std::setw(10)
                << p.sample.entities << std::setw(11) << p.sample.materials << std::setw(8)
                << p.sample.meshes << std::setw(8) << p.sample.collisionShapes << std::setw(10)
                << p.sample.backgroundRequests << '\n';
        return out.str();
    }

    nlohmann::json ViewerSoak::toJson() const
    {
        nlohmann::json j;
        j["passes"] = nlohmann::json::array();
        for (const SoakPass& p : mPasses)
        {
            nlohmann::json pass = {{"pass", p.pass}, {"frames", p.frames}};
            for (const auto& figure : figuresOf(p.sample))
                pass[figure.first] = figure.second;
            j["passes"].push_back(pass);
        }
        const std::vector<std::string> growth = findGrowth();
        j["growth"] = growth;
        j["ok"] = growth.empty();
        return j;
    }
}
