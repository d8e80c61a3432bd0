#include "TestEngine.h"

#include <OgreControllerManager.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreParticleSystem.h>
#include <OgreParticleSystemManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreTextureManager.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <link.h>
#include <fstream>
#include <sstream>
#include <iostream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Wren
{
namespace Test
{
    namespace
    {
        TestEngine::Mode gMode = TestEngine::Mode::Headless;
        std::unique_ptr<TestEngine> gEngine;

        /** The render system could not open the display (worth another try). */
        struct DisplayFailure : std::runtime_error
        {
            using std::runtime_error::runtime_error;
        };

        int pinGlDriver(struct dl_phdr_info* info, size_t, void*)
        {
            const char* path = info->dlpi_name;
            if (path && (std::strstr(path, "_dri.so") || std::strstr(path, "libGLX_mesa.so")))
                dlopen(path, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        }

        /** Keeps the GL driver libraries loaded until the process ends.
            Mesa unloads its driver when the last context goes; whatever the
            driver still held then looks leaked to LeakSanitizer, with no
            module left to name. Pinned, the driver's memory stays reachable
            and the leak check sees only ours. */
        void pinGlDrivers() { dl_iterate_phdr(pinGlDriver, nullptr); }

        std::string processName()
        {
            std::ifstream in("/proc/self/comm");
            std::string name;
            std::getline(in, name);
            return name.empty() ? "tests" : name;
        }
    }

    void TestEngine::configure(Mode mode)
    {
        if (gEngine && gEngine->mMode != mode)
            throw std::logic_error("TestEngine: the mode is fixed once the engine exists");
        gMode = mode;
    }

    TestEngine& TestEngine::instance()
    {
        // Many test processes share one X server: under load, opening the
        // display now and then fails at once. A few starts a moment apart
        // ride that out; a display that never works still fails.
        for (int attempt = 1; !gEngine; ++attempt)
        {
            try
            {
                gEngine.reset(new TestEngine(gMode));
            }
            catch (const DisplayFailure& e)
            {
                std::cerr << e.what() << " (attempt " << attempt << ")" << std::endl;
                if (attempt == 4)
                    throw;
                std::this_thread::sleep_for(std::chrono::milliseconds(250 * attempt));
            }
        }
        return *gEngine;
    }

    void TestEngine::shutdown() { gEngine.reset(); }

    bool TestEngine::exists() { return gEngine != nullptr; }

    TestEngine::TestEngine(Mode mode) : mMode(mode)
    {
        fs::path logDir = fs::path(WREN_TEST_BINARY_DIR) / "test-logs";
        fs::create_directories(logDir);
        mLogManager = new Ogre::LogManager();
        mLogManager->createLog((logDir / (processName() + ".log")).string(), true, false, false);

        char pattern[] = "/tmp/wren-test-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("TestEngine: can not make a temporary folder");
        mTempRoot = pattern;
        mGeneralFolder = mTempRoot + "/General";
        mPlsm2Folder = mTempRoot + "/PLSM2";
        fs::create_directories(mGeneralFolder);
        fs::create_directories(mPlsm2Folder);

        // A failed start leaves no Root behind, so that only one can ever
        // be alive.
        std::string failure;
        try
        {
            mRoot = new Ogre::Root("", "", "");
            // Particle scripts name the plugin's emitters and affectors.
            mRoot->loadPlugin(std::string(WREN_OGRE_PLUGIN_DIR) + "/Plugin_ParticleFX");
            if (mode == Mode::Rendered)
            {
                createRenderWindow();
            }
            else
            {
                mBufferManager = new Ogre::DefaultHardwareBufferManager();
                mTextureManager = new Ogre::DefaultTextureManager();
                Ogre::MaterialManager::getSingleton().initialise();
                // What Root::initialise would make for particle systems: the
                // billboard renderer and the controllers that run them.
                Ogre::ParticleSystemManager::getSingleton()._initialise();
                mControllerManager = new Ogre::ControllerManager();
            }

            Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
            groups.addResourceLocation(mGeneralFolder, "FileSystem", "General");
            groups.addResourceLocation(mPlsm2Folder, "FileSystem", "PLSM2");
            groups.initialiseAllResourceGroups();

            mSceneManager = mRoot->createSceneManager();
        }
        catch (const Ogre::RenderingAPIException& e)
        {
            // The exception may live in the render system's plugin, which
            // the teardown unloads: keep its words, let it go, then tear down.
            failure = e.getFullDescription();
        }
        catch (...)
        {
            teardown();
            throw;
        }
        if (!failure.empty())
        {
            teardown();
            throw DisplayFailure("TestEngine: the render system did not start: " + failure);
        }
    }

    void TestEngine::createRenderWindow()
    {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            throw std::runtime_error("TestEngine: the rendered tests need a display and DISPLAY is not set; "
                                     "run them through ./wren test, or under xvfb-run -a");
        mRoot->loadPlugin(std::string(WREN_OGRE_PLUGIN_DIR) + "/RenderSystem_GL");
        Ogre::RenderSystem* rs = mRoot->getRenderSystemByName("OpenGL Rendering Subsystem");
        if (!rs)
            throw std::runtime_error("TestEngine: OGRE's GL render system is not available");
        mRoot->setRenderSystem(rs);
        mRoot->initialise(false);
        Ogre::NameValuePairList params;
        params["hidden"] = "true";
        mWindow = mRoot->createRenderWindow("WrenTestWindow", 64, 64, false, &params);
        pinGlDrivers();
    }

    TestEngine::~TestEngine() { teardown(); }

    void TestEngine::teardown()
    {
        // Every resource handle goes before the Root; the texture manager
        // unregisters from the Root's resource groups, so it goes first; the
        // buffer manager outlives the meshes the Root still holds; the log
        // manager goes last.
        if (mSceneManager)
            mRoot->destroySceneManager(mSceneManager);
        mSceneManager = nullptr;
        mWindow = nullptr;
        if (Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr())
            for (const char* group : {"General", "PLSM2"})
                if (groups->resourceGroupExists(group))
                    groups->clearResourceGroup(group);
        delete mTextureManager;
        mTextureManager = nullptr;
        delete mRoot;
        mRoot = nullptr;
        delete mBufferManager;
        mBufferManager = nullptr;
        delete mControllerManager;
        mControllerManager = nullptr;
        delete mLogManager;
        mLogManager = nullptr;
        std::error_code ec;
        if (!mTempRoot.empty())
            fs::remove_all(mTempRoot, ec);
    }

    std::string TestEngine::makeTempFolder(const std::string& hint)
    {
        fs::path folder = fs::path(mTempRoot) / (hint + "-" + std::to_string(++mTempCount));
        fs::create_directories(folder);
        return folder.string();
    }

    std::string TestEngine::writeFile(const std::string& folder, const std::string& name,
                                      const std::string& content)
    {
        fs::path path = fs::path(folder) / name;
        fs::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out << content;
        return path.string();
    }

    std::string TestEngine::readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void TestEngine::clearScene()
    {
        mSceneManager->clearScene();
        mSceneManager->destroyAllCameras();
    }

    void TestEngine::rescanResources()
    {
        // Archives are indexed when they are added, so add them again.
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        const std::pair<const char*, const std::string*> locations[] = {
            {"General", &mGeneralFolder}, {"PLSM2", &mPlsm2Folder}};
        for (const auto& location : locations)
        {
            groups.removeResourceLocation(*location.second, location.first);
            groups.addResourceLocation(*location.second, "FileSystem", location.first);
        }
    }

    LogCapture::LogCapture()
    {
        Ogre::LogManager::getSingleton().getDefaultLog()->addListener(this);
    }

    LogCapture::~LogCapture()
    {
        if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
            logs->getDefaultLog()->removeListener(this);
    }

    void LogCapture::messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool,
                                   const Ogre::String&, bool&)
    {
        mLines.push_back(message);
    }

    bool LogCapture::contains(const std::string& text) const
    {
        for (const std::string& line : mLines)
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    }
}
}
