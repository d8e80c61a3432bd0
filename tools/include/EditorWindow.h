#ifndef __WrenEditorWindow_H__
#define __WrenEditorWindow_H__

#include <OISKeyboard.h>
#include <OISMouse.h>
#include <OgreVector.h>

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace OIS
{
    class InputManager;
}

namespace Ogre
{
    class Camera;
    class ImGuiOverlay;
    class Light;
    class OverlaySystem;
    class RenderWindow;
    class SceneNode;
}

namespace Wren
{
    class EditorFlyCamera;
    class EditorManipulation;
    class EditorPanels;
    class Line3D;
    class WorldEditor;

    struct EditorWindowOptions
    {
        /** Written from the last frame when the window closes; empty: none. */
        std::string screenshot;
        /** Frames to draw before the window closes by itself; 0: until it
            is closed (Escape, or the window's close button). */
        std::uint64_t frames = 0;
        /** Read keyboard and mouse through OIS on the window; without,
            only what the caller feeds to the listener operations arrives. */
        bool devices = true;
        /** Draw into this window (not owned) instead of the engine's. */
        Ogre::RenderWindow* window = nullptr;
    };

    /** The drawn mode of the scripted editor: the world of a started
        WorldEditor (rendered) seen through its player camera in a window,
        edited with keyboard and mouse.

        Every keyboard and mouse event goes to the ImGui panels first
        (EditorPanels) and, when they do not want it, to the editor: the fly
        camera (EditorFlyCamera) while the right button is held; a left
        click on a handle of the manipulator drags it (EditorManipulation);
        else a left click selects the object under the cursor (rayCollide;
        Shift adds to the selection, a click on nothing clears it) or, with
        a template picked in the object browser, places a new one there.
        W, E, R choose the translation, rotation and scale manipulator;
        Ctrl+Z / Ctrl+Y undo and redo; Ctrl+D clones and Delete deletes the
        selection; Ctrl+S saves the world; Escape closes the window.
        Events the editor does not take go on to the object manager's
        input-listener tree. The listener operations are those OIS calls,
        so a caller may feed events of its own (OIS event structs with no
        device; the mouse state's width and height are the window's).

        Each frame the partitions stream around the camera (the manager's
        update), white lines outline the grid cells near it, and the
        manipulator follows the selection.
    */
    class EditorWindow : public OIS::KeyListener, public OIS::MouseListener
    {
    public:
        /** editor must be started rendered and outlive the window. */
        EditorWindow(WorldEditor& editor, EditorWindowOptions options);
        ~EditorWindow() override;
        EditorWindow(const EditorWindow&) = delete;
        EditorWindow& operator=(const EditorWindow&) = delete;

        /** Sets the view, panels, manipulators and devices up; false, with
            the reason in getError, when there is no window to draw in. */
        bool open();
        /** Takes everything open made away again; nothing when not open. */
        void close();

        /** Streams, updates the panels and manipulator and draws one frame. */
        void frame(float elapsedSeconds);

        /** Draws frames until the window closes, running the commands of
            script (null: none) one a frame, printing their lines on out;
            a bad script is refused before the first frame and a failing
            command stops the rest (the line number and reason on err).
            Writes the screenshot asked for at the end. Returns the exit
            status: 0, or that of the refusal or failure (1 when the window
            can not be opened or the screenshot not written). */
        int run(std::istream* script, std::ostream& out, std::ostream& err);

        /** Writes the last frame as a PNG file (through a temporary file);
            false, with the reason in error, when it can not. */
        bool saveScreenshot(const std::string& file, std::string& error);

        /** Puts the camera at from, looking at target. */
        void lookAt(const Ogre::Vector3& from, const Ogre::Vector3& target);

        bool keyPressed(const OIS::KeyEvent& event) override;
        bool keyReleased(const OIS::KeyEvent& event) override;
        bool mouseMoved(const OIS::MouseEvent& event) override;
        bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button) override;
        bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button) override;

        Ogre::Camera* getCamera() const { return mCamera; }
        Ogre::RenderWindow* getWindow() const { return mWindow; }
        EditorManipulation& getManipulation() const { return *mManipulation; }
        EditorPanels& getPanels() const { return *mPanels; }
        /** Whether Escape or the window asked to close. */
        bool isClosing() const;
        const std::string& getError() const { return mError; }

    private:
        /** The viewport position (0..1) of a mouse state. */
        Ogre::Vector2 normalised(const OIS::MouseState& state) const;
        /** Selects or places at a left click. */
        void click(const Ogre::Vector2& pos);
        /** Runs a command line and shows its outcome in the status line. */
        void command(const std::string& line);
        /** Outlines the cells near the camera when it changed cells. */
        void outlineCells();
        void openDevices();

        WorldEditor& mEditor;
        EditorWindowOptions mOptions;
        std::string mError;
        bool mOpen = false;
        bool mClosing = false;
        bool mCtrl = false;
        bool mShift = false;
        Ogre::RenderWindow* mWindow = nullptr;
        Ogre::Camera* mCamera = nullptr;
        int mViewportZOrder = -1;
        Ogre::Light* mSun = nullptr;
        Ogre::OverlaySystem* mOverlaySystem = nullptr;
        Ogre::ImGuiOverlay* mImGui = nullptr;
        std::unique_ptr<EditorManipulation> mManipulation;
        std::unique_ptr<EditorPanels> mPanels;
        std::unique_ptr<EditorFlyCamera> mFly;
        Ogre::SceneNode* mLinesNode = nullptr;
        std::vector<std::unique_ptr<Line3D>> mCellLines;
        std::pair<int, int> mOutlinedCell = {-(1 << 20), 0};
        OIS::InputManager* mInput = nullptr;
        OIS::Keyboard* mKeyboard = nullptr;
        OIS::Mouse* mMouse = nullptr;
    };
}

#endif
