#ifndef __WrenTestEngine_H__
#define __WrenTestEngine_H__

#include <OgreLog.h>
#include <OgrePrerequisites.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
    class DefaultHardwareBufferManager;
}

namespace Wren
{
namespace Test
{
    /** The one engine of a test process.

        The engine is made on first use and torn down once, after the last
        test, by the environment that TestMain registers. Its constructor is
        private and instance() is the only way to it, so two Roots can never
        be alive at once.

        Headless (the default): an Ogre::Root without a render system, a
        DefaultHardwareBufferManager, an initialised MaterialManager, a
        DefaultTextureManager, a ControllerManager and one generic scene
        manager. That serves the
        scene graph, meshes, entities and resources.

        Rendered (configure(Mode::Rendered) before first use, as the render
        test executables do): OGRE's GL render system from the Debian plugin
        folder, initialised with a hidden 64 x 64 window, so render textures
        can be drawn into and read back. Needs a display (the scripts start
        Xvfb when none is set); without one instance() throws a
        std::runtime_error saying so.

        Either way OGRE's ParticleFX plugin is loaded and the particle
        manager has its billboard renderer, so particle scripts and
        templates find their emitters, affectors and renderer.

        Two temporary FileSystem folders are registered for the resource
        groups "General" and "PLSM2"; they are removed at teardown.
    */
    class TestEngine
    {
    public:
        enum class Mode
        {
            Headless,
            Rendered
        };

        /** Chooses the mode; only allowed before the engine exists. */
        static void configure(Mode mode);
        /** The engine of this process, made on the first call. */
        static TestEngine& instance();
        /** Tears the engine down if it exists (the last act of a test process). */
        static void shutdown();
        static bool exists();

        ~TestEngine();

        Mode getMode() const { return mMode; }
        Ogre::Root* getRoot() const { return mRoot; }
        Ogre::SceneManager* getSceneManager() const { return mSceneManager; }
        Ogre::RenderWindow* getWindow() const { return mWindow; }
        /** Folder behind the resource group "General". */
        const std::string& getGeneralFolder() const { return mGeneralFolder; }
        /** Folder behind the resource group "PLSM2". */
        const std::string& getPlsm2Folder() const { return mPlsm2Folder; }
        /** A fresh empty folder below the test's temporary root. */
        std::string makeTempFolder(const std::string& hint);

        /** Writes a text file and returns its path. */
        static std::string writeFile(const std::string& folder, const std::string& name,
                                     const std::string& content);
        static std::string readFile(const std::string& path);

        /** Empties the scene: nodes, entities, cameras, lights. */
        void clearScene();
        /** Makes the resource groups see files written since they were
            registered. */
        void rescanResources();

    private:
        explicit TestEngine(Mode mode);
        TestEngine(const TestEngine&) = delete;
        TestEngine& operator=(const TestEngine&) = delete;

        void createRenderWindow();
        /** Undoes whatever of the construction has happened. */
        void teardown();

        Mode mMode;
        Ogre::LogManager* mLogManager = nullptr;
        Ogre::Root* mRoot = nullptr;
        Ogre::DefaultHardwareBufferManager* mBufferManager = nullptr;
        Ogre::ControllerManager* mControllerManager = nullptr;
        Ogre::TextureManager* mTextureManager = nullptr;
        Ogre::SceneManager* mSceneManager = nullptr;
        Ogre::RenderWindow* mWindow = nullptr;
        std::string mTempRoot;
        std::string mGeneralFolder;
        std::string mPlsm2Folder;
        int mTempCount = 0;
    };

    /** Records the engine log while alive, so tests can assert on messages. */
    class LogCapture : public Ogre::LogListener
    {
    public:
        LogCapture();
        ~LogCapture() override;

        void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel lml,
                           bool maskDebug, const Ogre::String& logName,
                           bool& skipThisMessage) override;

        /** True when some logged line contains the text. */
        bool contains(const std::string& text) const;
        const std::vector<std::string>& lines() const { return mLines; }
        void clear() { mLines.clear(); }

    private:
        std::vector<std::string> mLines;
    };
}
}

#endif
