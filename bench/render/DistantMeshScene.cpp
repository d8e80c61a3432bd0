#include "DistantMeshScene.h"

#include "CoreGameObjectManager.h"
#include "DataElement.h"
#include "ImpostorGameSystem.h"
#include "ImpostorHandler.h"
#include "MediaGenerator.h"
#include "UniqueImpostorHandler.h"
#include "ViewerEngine.h"
#include "WorldHost.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgrePixelFormat.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>
#include <OgreViewport.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace Wren
{
    const float DistantMeshScene::ImpostorThreshold = 48.0f;

    namespace
    {
        const char* const WorldName = "DistantMeshes";
        const char* const MeshName = "DistantMeshScene/FineSphere";
        const char* const MaterialName = "DistantMeshScene/Sphere";

        /** How far the wall of nodes stands in front of the camera, and the
            scale of the unit sphere on each: some 15 pixels across in a
            768 pixel high window. */
        const float WallDistance = 1000.0f;
        const float SphereScale = 8.0f;

        bool writeText(const fs::path& path, const std::string& text)
        {
            fs::create_directories(path.parent_path());
            std::ofstream out(path, std::ios::binary);
            out << text;
            return bool(out);
        }
    }

    DistantMeshScene::DistantMeshScene() = default;

    DistantMeshScene::~DistantMeshScene() { stop(); }

    bool DistantMeshScene::fail(const std::string& error)
    {
        if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
            logs->logMessage("DistantMeshScene: " + error, Ogre::LML_CRITICAL);
        stop();
        mError = error;
        return false;
    }

    bool DistantMeshScene::writeWorld()
    {
        char pattern[] = "/tmp/wren-render-bench-XXXXXX";
        if (!mkdtemp(pattern))
            return false;
        mFolder = pattern;
        const fs::path worlds = fs::path(mFolder) / "worlds";
        return writeText(worlds / WorldName / (std::string(WorldName) + ".World"),
                         "<World><GameObjectManagerData/></World>\n") &&
               writeText(fs::path(mFolder) / "resources.cfg",
                         "[Worlds]\nFileSystem=" + (worlds / "common").string() + "\n");
    }

    bool DistantMeshScene::start(size_t count, const std::string& logFile)
    {
        if (mHost)
            return fail("the scene is running already");
        mError.clear();
        mEngine.reset(new ViewerEngine());
        if (!mEngine->start(ViewerEngine::Mode::Rendered, logFile, WREN_OGRE_PLUGIN_DIR, 1024, 768))
        {
            const std::string why = mEngine->getError();
            return fail("the engine does not start: " + why);
        }
        mWindow = mEngine->getWindow();
        if (!writeWorld())
            return fail("the world file can not be written below /tmp");

        WorldHostSettings settings;
        settings.worldName = WorldName;
        settings.resourcesConfig = mFolder + "/resources.cfg";
        settings.backgroundLoading = false;
        mHost.reset(new WorldHost());
        if (!mHost->start(std::move(settings)))
        {
            mHost.reset();
            return fail("the empty world does not start (see the log)");
        }

        try
        {
            buildScene(count);
        }
        catch (const Ogre::Exception& e)
        {
            return fail("the scene can not be built: " + e.getDescription());
        }

        mImpostors.reset(new ImpostorGameSystem());
        mImpostors->init(mHost->getManager());
        if (!mImpostors->load(DataElementPtr()))
            return fail("the impostor system does not start (see the log)");
        return true;
    }

    void DistantMeshScene::buildScene(size_t count)
    {
        Ogre::SceneManager* scene = mHost->getSceneManager();
        mCamera = scene->getCamera("PlayerCam");
        Ogre::SceneNode* cameraNode = mCamera->getParentSceneNode();
        if (!cameraNode)
        {
            cameraNode = scene->getRootSceneNode()->createChildSceneNode();
            cameraNode->attachObject(mCamera);
        }
        cameraNode->setPosition(Ogre::Vector3::ZERO);
        cameraNode->setOrientation(Ogre::Quaternion::IDENTITY);
        mCamera->setNearClipDistance(1.0f);
        mCamera->setFarClipDistance(4.0f * WallDistance);

        Ogre::Viewport* viewport = mWindow->addViewport(mCamera);
        viewport->setBackgroundColour(Ogre::ColourValue(0.55f, 0.7f, 0.85f));
        viewport->setOverlaysEnabled(false);
        mCamera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) /
                                Ogre::Real(std::max(1, viewport->getActualHeight())));

        scene->setAmbientLight(Ogre::ColourValue(0.35f, 0.35f, 0.35f));
        Ogre::Light* sun = scene->createLight("DistantMeshSceneSun");
        sun->setType(Ogre::Light::LT_DIRECTIONAL);
        Ogre::SceneNode* sunNode = scene->getRootSceneNode()->createChildSceneNode();
        sunNode->setDirection(Ogre::Vector3(-0.4f, -0.6f, -1.0f).normalisedCopy());
        sunNode->attachObject(sun);

        Ogre::MaterialPtr material =
            Ogre::MaterialManager::getSingleton().create(MaterialName, Ogre::RGN_DEFAULT);
        Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        pass->setAmbient(0.7f, 0.45f, 0.3f);
        pass->setDiffuse(0.7f, 0.45f, 0.3f, 1.0f);

        Ogre::MeshPtr mesh = MediaGenerator::buildMesh(MediaGenerator::SHAPE_FINE_SPHERE,
                                                       MediaGenerator::LEVEL_HIGH, MeshName,
                                                       Ogre::RGN_DEFAULT);
        mTrianglesPerMesh = 0;
        for (const Ogre::SubMesh* sub : mesh->getSubMeshes())
            mTrianglesPerMesh += sub->indexData->indexCount / 3;

        const std::vector<Ogre::Vector3> places = wallPlaces(count, *mCamera, WallDistance);
        for (size_t i = 0; i < count; ++i)
        {
            const std::string name = "DistantMesh" + std::to_string(i);
            Ogre::Entity* entity = scene->createEntity(name, MeshName, Ogre::RGN_DEFAULT);
            entity->setMaterial(material);
            Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(
                name, places[i] - Ogre::Vector3(0, SphereScale, 0));
            node->setScale(Ogre::Vector3(SphereScale));
            node->attachObject(entity);
            mNodes.push_back(node);
        }
    }

    std::vector<Ogre::Vector3> DistantMeshScene::wallPlaces(size_t count,
                                                           const Ogre::Camera& camera,
                                                           float distance)
    {
        const float halfHeight = 0.9f * distance * std::tan(camera.getFOVy().valueRadians() / 2);
        const float halfWidth = halfHeight * camera.getAspectRatio();
        const size_t columns = std::max<size_t>(
            1, size_t(std::ceil(std::sqrt(double(count) * halfWidth / halfHeight))));
        const size_t rows = (count + columns - 1) / columns;
        std::vector<Ogre::Vector3> places;
        for (size_t i = 0; i < count; ++i)
        {
            const size_t column = i % columns, row = i / columns;
            const float x =
                columns > 1 ? -halfWidth + 2 * halfWidth * column / (columns - 1) : 0.0f;
            const float y = rows > 1 ? -halfHeight + 2 * halfHeight * row / (rows - 1) : 0.0f;
            places.push_back(Ogre::Vector3(x, y, -distance));
        }
        return places;
    }

    unsigned DistantMeshScene::useImpostors(bool impostors, unsigned maxWarmUpFrames)
    {
        if (!mImpostors)
            return 0;
        if (!impostors)
        {
            for (auto& handler : mHandlers)
                mImpostors->releaseImpostorHandler(handler.get());
            mHandlers.clear();
            return 0;
        }
        if (mHandlers.empty())
            for (Ogre::SceneNode* node : mNodes)
            {
                mHandlers.emplace_back(new ImpostorHandler(node, ImpostorThreshold, 16, 256, 0.98f));
                mImpostors->addImpostorHandler(mHandlers.back().get());
            }
        unsigned frames = 0;
        while (frames < maxWarmUpFrames && getImpostorNodeCount() < mNodes.size())
        {
            drawFrame();
            ++frames;
        }
        return frames;
    }

    size_t DistantMeshScene::getImpostorNodeCount() const
    {
        size_t count = 0;
        for (const auto& handler : mHandlers)
        {
            const Ogre::UniqueImpostorHandler* inner = handler->getUniqueImpostorHandler();
            if (inner->isNodeHidden() && inner->getBillboard() && inner->getCaptureCount() > 0)
                ++count;
        }
        return count;
    }

    size_t DistantMeshScene::getCaptureCount() const
    {
        size_t count = 0;
        for (const auto& handler : mHandlers)
            count += handler->getUniqueImpostorHandler()->getCaptureCount();
        return count;
    }

    void DistantMeshScene::setNodesVisible(bool visible)
    {
        for (Ogre::SceneNode* node : mNodes)
            node->setVisible(visible);
    }

    void DistantMeshScene::drawFrame()
    {
        if (!mHandlers.empty())
            mImpostors->update(1.0f / 60.0f);
        mEngine->getRoot()->renderOneFrame(1.0f / 60.0f);
        // Reading a pixel back waits until the GPU has drawn the frame.
        Ogre::uint8 pixel[4];
        mWindow->copyContentsToMemory(Ogre::Box(0, 0, 1, 1),
                                      Ogre::PixelBox(1, 1, 1, Ogre::PF_BYTE_RGBA, pixel));
    }

    unsigned DistantMeshScene::getWindowWidth() const { return mWindow ? mWindow->getWidth() : 0; }

    unsigned DistantMeshScene::getWindowHeight() const { return mWindow ? mWindow->getHeight() : 0; }

    Ogre::SceneManager* DistantMeshScene::getSceneManager() const
    {
        return mHost ? mHost->getSceneManager() : nullptr;
    }

    void DistantMeshScene::stop()
    {
        // The impostors go before the world whose nodes they hold, the
        // view before the camera, the world before the engine.
        if (mImpostors)
            for (auto& handler : mHandlers)
                mImpostors->releaseImpostorHandler(handler.get());
        mHandlers.clear();
        mImpostors.reset();
        if (mWindow)
            mWindow->removeAllViewports();
        mNodes.clear();
        mCamera = nullptr;
        if (mHost)
            mHost->stop();
        mHost.reset();
        if (Ogre::MeshManager* meshes = Ogre::MeshManager::getSingletonPtr())
            meshes->remove(MeshName, Ogre::RGN_DEFAULT);
        if (Ogre::MaterialManager* materials = Ogre::MaterialManager::getSingletonPtr())
            materials->remove(MaterialName, Ogre::RGN_DEFAULT);
        mWindow = nullptr;
        if (mEngine)
            mEngine->stop();
        mEngine.reset();
        if (!mFolder.empty())
        {
            std::error_code ec;
            fs::remove_all(mFolder, ec);
            mFolder.clear();
        }
    }
}
