#ifndef __WrenViewerEngine_H__
#define __WrenViewerEngine_H__

#include <string>

namespace Ogre
{
    class ControllerManager;
    class DefaultHardwareBufferManager;
    class LogManager;
    class RenderWindow;
    class Root;
    class TextureManager;
}

namespace Wren
{
    /** The engine a viewer run stands on: the log, the Root with OGRE's
        ParticleFX plugin, and either the headless buffer and texture
        managers (no render system, nothing drawn) or OGRE's GL render
        system with a window.
        Made before the world starts and torn down after it stopped, in the
        reverse order of making. One per process, as the Root allows.
        @code
        ViewerEngine engine;
        if (!engine.start(ViewerEngine::Mode::Headless, "wren-view.log", pluginFolder))
            fail(engine.getError());
        ... WorldHost host; host.start(settings); ... host.stop();
        engine.stop();
        @endcode
    */
    class ViewerEngine
    {
    public:
        enum class Mode
        {
            /** No render system: scene graph, meshes and resources only. */
            Headless,
            /** OGRE's GL render system and a window (needs a display). */
            Rendered
        };

        ViewerEngine() = default;
        ~ViewerEngine();
        ViewerEngine(const ViewerEngine&) = delete;
        ViewerEngine& operator=(const ViewerEngine&) = delete;

        /** Starts the engine; false, with the reason in getError and
            everything undone, when it can not. logFile empty: the log
            is kept in memory only. When a Root exists already it is
            borrowed, and stop leaves it alone; drawing then needs its
            auto-created window.
            @param pluginFolder where OGRE's plugins are (RenderSystem_GL,
                Codec_STBI, Plugin_ParticleFX)
            @param width, height size of the window (rendered mode)
        */
        bool start(Mode mode, const std::string& logFile, const std::string& pluginFolder,
                   unsigned width = 1024, unsigned height = 768);
        /** Tears down what start made; nothing happens when not started. */
        void stop();

        /** Makes sure images can be written as PNG; false (and logged) when
            no codec can be had. */
        bool ensurePngCodec();

        bool isStarted() const { return mRoot != nullptr; }
        Mode getMode() const { return mMode; }
        Ogre::Root* getRoot() const { return mRoot; }
        /** The window of rendered mode; null headless. */
        Ogre::RenderWindow* getWindow() const { return mWindow; }
        const std::string& getError() const { return mError; }

    private:
        bool fail(const std::string& error);
        void startRendered(unsigned width, unsigned height);

        Mode mMode = Mode::Headless;
        std::string mPluginFolder;
        std::string mError;
        Ogre::LogManager* mLogManager = nullptr;
        Ogre::Root* mRoot = nullptr;
        Ogre::DefaultHardwareBufferManager* mBufferManager = nullptr;
        Ogre::ControllerManager* mControllerManager = nullptr;
        Ogre::TextureManager* mTextureManager = nullptr;
        Ogre::RenderWindow* mWindow = nullptr;
        /** The Root is a host's, not ours. */
        bool mBorrowed = false;
    };
}

#endif
