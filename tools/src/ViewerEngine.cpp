#include "ViewerEngine.h"

#include "ViewerMap.h"
#include "WorldHost.h"

#include <OgreControllerManager.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreRenderSystem.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreTextureManager.h>

#include <cstdlib>

namespace Wren
{
    ViewerEngine::~ViewerEngine() { stop(); }

    bool ViewerEngine::fail(const std::string& error)
    {
        mError = error;
        if (mLogManager)
            mLogManager->logMessage("ViewerEngine: " + error, Ogre::LML_CRITICAL);
        stop();
        mError = error;
        return false;
    }

    bool ViewerEngine::start(Mode mode, const std::string& logFile,
                             const std::string& pluginFolder, unsigned width, unsigned height)
    {
        if (mRoot)
        {
            mError = "the engine is running already";
            return false;
        }
        mMode = mode;
        mPluginFolder = pluginFolder;
        mError.clear();
        if (Ogre::Root* existing = Ogre::Root::getSingletonPtr())
        {
            // A host (or a test) that has an engine lends it, with its first
            // window.
            Ogre::RenderWindow* window = nullptr;
            if (Ogre::RenderSystem* rs = existing->getRenderSystem())
                for (auto it = rs->getRenderTargetIterator(); it.hasMoreElements() && !window;)
                    window = dynamic_cast<Ogre::RenderWindow*>(it.getNext());
            if (mode == Mode::Rendered && !window)
            {
                mError = "drawing needs a window, and the running engine has none";
                return false;
            }
            mRoot = existing;
            mBorrowed = true;
            mWindow = mode == Mode::Rendered ? window : nullptr;
            return true;
        }
        if (!Ogre::LogManager::getSingletonPtr())
        {
            mLogManager = new Ogre::LogManager();
            mLogManager->createLog(logFile.empty() ? "wren-view.log" : logFile, true, false,
                                   logFile.empty());
        }
        try
        {
            mRoot = new Ogre::Root("", "", "");
            if (mode == Mode::Rendered)
                startRendered(width, height);
            else
            {
                mBufferManager = new Ogre::DefaultHardwareBufferManager();
                mTextureManager = new Ogre::DefaultTextureManager();
                Ogre::MaterialManager::getSingleton().initialise();
                // Root::initialise makes it with a render system; particle
                // systems need it.
                mControllerManager = new Ogre::ControllerManager();
            }
            WorldHost::prepareParticleSystems(mPluginFolder);
        }
        catch (const Ogre::Exception& e)
        {
            return fail(e.getDescription());
        }
        catch (const std::exception& e)
        {
            return fail(e.what());
        }
        return true;
    }

    void ViewerEngine::startRendered(unsigned width, unsigned height)
    {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display)
            throw std::runtime_error("drawing needs a display and DISPLAY is not set "
                                     "(./wren view --render starts a virtual one)");
        mRoot->loadPlugin(mPluginFolder + "/RenderSystem_GL");
        Ogre::RenderSystem* rs = mRoot->getRenderSystemByName("OpenGL Rendering Subsystem");
        if (!rs)
            throw std::runtime_error("OGRE's GL render system is not available in " +
                                     mPluginFolder);
        mRoot->setRenderSystem(rs);
        mRoot->initialise(false);
        mWindow = mRoot->createRenderWindow("Wren", width, height, false);
    }

    bool ViewerEngine::ensurePngCodec()
    {
        return ViewerMap::ensurePngCodec(mPluginFolder);
    }

    void ViewerEngine::stop()
    {
        // Resources go before the Root that holds them; the texture manager
        // unregisters from the Root's groups, so it goes first; the buffer
        // manager outlives the meshes the Root still holds; the log last.
        if (mBorrowed)
        {
            mRoot = nullptr;
            mWindow = nullptr;
            mBorrowed = false;
            return;
        }
        if (mRoot)
        {
            if (Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr())
                for (const std::string& group : groups->getResourceGroups())
                    if (group != Ogre::RGN_INTERNAL && group != Ogre::RGN_AUTODETECT)
                        groups->clearResourceGroup(group);
        }
        mWindow = nullptr;
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
    }
}
