#include "EditorWindow.h"

#include "EditorFlyCamera.h"
#include "EditorManipulation.h"
#include "EditorPanels.h"
#include "ViewerEngine.h"
#include "WorldEditor.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "Line3D.h"

#include <OISException.h>
#include <OISInputManager.h>
#include <OgreCamera.h>
#include <OgreImGuiOverlay.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreOverlayManager.h>
#include <OgreOverlaySystem.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTextureManager.h>
#include <OgreTimer.h>
#include <OgreViewport.h>
#include <OgreWindowEventUtilities.h>

#include <algorithm>
#include <filesystem>
#include <istream>
#include <ostream>

namespace Wren
{
    namespace
    {
        void mapImGuiKeys(ImGuiIO& io)
        {
            const std::pair<ImGuiKey_, OIS::KeyCode> keys[] = {
                {ImGuiKey_Tab, OIS::KC_TAB},        {ImGuiKey_LeftArrow, OIS::KC_LEFT},
                {ImGuiKey_RightArrow, OIS::KC_RIGHT}, {ImGuiKey_UpArrow, OIS::KC_UP},
                {ImGuiKey_DownArrow, OIS::KC_DOWN}, {ImGuiKey_PageUp, OIS::KC_PGUP},
                {ImGuiKey_PageDown, OIS::KC_PGDOWN}, {ImGuiKey_Home, OIS::KC_HOME},
                {ImGuiKey_End, OIS::KC_END},        {ImGuiKey_Insert, OIS::KC_INSERT},
                {ImGuiKey_Delete, OIS::KC_DELETE},  {ImGuiKey_Backspace, OIS::KC_BACK},
                {ImGuiKey_Space, OIS::KC_SPACE},    {ImGuiKey_Enter, OIS::KC_RETURN},
                {ImGuiKey_Escape, OIS::KC_ESCAPE},  {ImGuiKey_KeyPadEnter, OIS::KC_NUMPADENTER},
                {ImGuiKey_A, OIS::KC_A},            {ImGuiKey_C, OIS::KC_C},
                {ImGuiKey_V, OIS::KC_V},            {ImGuiKey_X, OIS::KC_X},
                {ImGuiKey_Y, OIS::KC_Y},            {ImGuiKey_Z, OIS::KC_Z}};
            for (const auto& key : keys)
                io.KeyMap[key.first] = key.second;
        }

        bool isCtrl(OIS::KeyCode key) { return key == OIS::KC_LCONTROL || key == OIS::KC_RCONTROL; }
        bool isShift(OIS::KeyCode key) { return key == OIS::KC_LSHIFT || key == OIS::KC_RSHIFT; }
    }

    EditorWindow::EditorWindow(WorldEditor& editor, EditorWindowOptions options)
        : mEditor(editor), mOptions(std::move(options))
    {
    }

    EditorWindow::~EditorWindow() { close(); }

    bool EditorWindow::open()
    {
        if (mOpen)
            return true;
        CoreGameObjectManager* manager = mEditor.getManager();
        mWindow = mOptions.window ? mOptions.window
                                  : (mEditor.getEngine() ? mEditor.getEngine()->getWindow() : nullptr);
        mCamera = manager ? manager->getPlayerCamera() : nullptr;
        if (!mWindow || !mCamera || !mCamera->getParentSceneNode())
        {
            mError = !mWindow ? "the editor has no window to draw in (start it rendered)"
                              : "the world has no player camera";
            return false;
        }
        mOpen = true;
        Ogre::SceneManager* scene = manager->getSceneManager();
        const WorldGrid& grid = mEditor.getGrid();
        mCamera->setNearClipDistance(0.5f);
        mCamera->setFarClipDistance(4.0f * std::max(grid.loadRadius, grid.cellSize));

        // Above whatever the window shows already.
        int zOrder = 0;
        for (unsigned short i = 0; i < mWindow->getNumViewports(); ++i)
            zOrder = std::max(zOrder, mWindow->getViewport(i)->getZOrder() + 1);
        Ogre::Viewport* viewport = mWindow->addViewport(mCamera, zOrder);
        mViewportZOrder = zOrder;
        viewport->setBackgroundColour(Ogre::ColourValue(0.55f, 0.7f, 0.85f));
        viewport->setOverlaysEnabled(true);
        mCamera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) /
                                Ogre::Real(std::max(1, viewport->getActualHeight())));
        scene->setAmbientLight(Ogre::ColourValue(0.45f, 0.45f, 0.45f));
        mSun = scene->createLight("WrenEditorSun");
        mSun->setType(Ogre::Light::LT_DIRECTIONAL);
        Ogre::SceneNode* sunNode = scene->getRootSceneNode()->createChildSceneNode();
        sunNode->setDirection(Ogre::Vector3(0.5f, -1.0f, 0.3f).normalisedCopy());
        sunNode->attachObject(mSun);
        mLinesNode = scene->getRootSceneNode()->createChildSceneNode();
        WorldViewer::addGround(scene, grid);

        if (!Ogre::OverlayManager::getSingletonPtr())
            mOverlaySystem = new Ogre::OverlaySystem();
        if (mOverlaySystem)
            scene->addRenderQueueListener(mOverlaySystem);
        mImGui = new Ogre::ImGuiOverlay();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        mapImGuiKeys(io);
        mImGui->setZOrder(300);
        mImGui->show();
        Ogre::OverlayManager::getSingleton().addOverlay(mImGui);

        mManipulation.reset(new EditorManipulation(mEditor, mCamera));
        mPanels.reset(new EditorPanels(mEditor));
        mFly.reset(new EditorFlyCamera(mCamera->getParentSceneNode(), grid.cellSize * 0.25f));
        const Ogre::Vector3 at = mCamera->getParentSceneNode()->getPosition();
        lookAt(at + Ogre::Vector3(0, 40, 60), at);
        if (mOptions.devices)
            openDevices();
        return true;
    }

    void EditorWindow::openDevices()
    {
        size_t handle = 0;
        mWindow->getCustomAttribute("WINDOW", &handle);
        OIS::ParamList params;
        params.insert({"WINDOW", std::to_string(handle)});
        params.insert({"x11_mouse_grab", "false"});
        params.insert({"x11_mouse_hide", "false"});
        params.insert({"x11_keyboard_grab", "false"});
        params.insert({"XAutoRepeatOn", "true"});
        try
        {
            mInput = OIS::InputManager::createInputSystem(params);
            mKeyboard = static_cast<OIS::Keyboard*>(mInput->createInputObject(OIS::OISKeyboard, true));
            mMouse = static_cast<OIS::Mouse*>(mInput->createInputObject(OIS::OISMouse, true));
            mKeyboard->setEventCallback(this);
            mMouse->setEventCallback(this);
            const OIS::MouseState& state = mMouse->getMouseState();
            state.width = int(mWindow->getWidth());
            state.height = int(mWindow->getHeight());
        }
        catch (const OIS::Exception& e)
        {
            if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
                log->logMessage(std::string("EditorWindow: no keyboard and mouse: ") + e.eText,
                                Ogre::LML_CRITICAL);
        }
    }

    void EditorWindow::close()
    {
        if (!mOpen)
            return;
        mOpen = false;
        if (mInput)
        {
            if (mKeyboard)
                mInput->destroyInputObject(mKeyboard);
            if (mMouse)
                mInput->destroyInputObject(mMouse);
            OIS::InputManager::destroyInputSystem(mInput);
            mInput = nullptr;
            mKeyboard = nullptr;
            mMouse = nullptr;
        }
        Ogre::SceneManager* scene = mEditor.getManager()->getSceneManager();
        mFly.reset();
        mPanels.reset();
        mManipulation.reset();
        mCellLines.clear();
        scene->destroySceneNode(mLinesNode);
        mLinesNode = nullptr;
        Ogre::OverlayManager::getSingleton().destroy(mImGui);
        mImGui = nullptr;
        // The overlay leaves its font texture and material behind, which a
        // new one would make again.
        for (Ogre::ResourceManager* resources :
             std::initializer_list<Ogre::ResourceManager*>{Ogre::TextureManager::getSingletonPtr(),
                                                           Ogre::MaterialManager::getSingletonPtr()})
            for (const char* name : {"ImGui/FontTex", "ImGui/material"})
                if (Ogre::ResourcePtr r = resources->getResourceByName(name, Ogre::RGN_AUTODETECT))
                    resources->remove(r);
        if (mOverlaySystem)
        {
            scene->removeRenderQueueListener(mOverlaySystem);
            delete mOverlaySystem;
            mOverlaySystem = nullptr;
        }
        WorldViewer::removeGround(scene);
        Ogre::SceneNode* sunNode = mSun->getParentSceneNode();
        scene->destroyLight(mSun);
        scene->destroySceneNode(sunNode);
        mSun = nullptr;
        mWindow->removeViewport(mViewportZOrder);
        mViewportZOrder = -1;
    }

    bool EditorWindow::isClosing() const { return mClosing || (mWindow && mWindow->isClosed()); }

    void EditorWindow::lookAt(const Ogre::Vector3& from, const Ogre::Vector3& target)
    {
        Ogre::SceneNode* node = mCamera->getParentSceneNode();
        node->setPosition(from);
        node->lookAt(target, Ogre::Node::TS_WORLD);
        node->_update(true, false);
    }

    void EditorWindow::frame(float elapsedSeconds)
    {
        if (!mOpen)
            return;
        // The window may have been resized since the last frame.
        mCamera->setAspectRatio(Ogre::Real(mWindow->getWidth()) /
                                Ogre::Real(std::max(1u, mWindow->getHeight())));
        if (mMouse)
        {
            mMouse->getMouseState().width = int(mWindow->getWidth());
            mMouse->getMouseState().height = int(mWindow->getHeight());
        }
        mFly->update(elapsedSeconds);
        mEditor.getManager()->update(elapsedSeconds);
        mCamera->getParentSceneNode()->_update(true, false);
        outlineCells();
        mManipulation->update(elapsedSeconds);

        ImGuiIO& io = ImGui::GetIO();
        io.DisplaySize = ImVec2(float(mWindow->getWidth()), float(mWindow->getHeight()));
        Ogre::ImGuiOverlay::NewFrame();
        mPanels->draw(elapsedSeconds);
        Ogre::Root::getSingleton().renderOneFrame(elapsedSeconds);
    }

    void EditorWindow::outlineCells()
    {
        const WorldGrid& grid = mEditor.getGrid();
        const Ogre::Vector3 eye = mCamera->getDerivedPosition();
        const std::pair<int, int> cell(int(std::floor((eye.x - grid.minX()) / grid.cellSize)),
                                       int(std::floor((eye.z - grid.minZ()) / grid.cellSize)));
        if (cell == mOutlinedCell)
            return;
        mOutlinedCell = cell;
        mLinesNode->detachAllObjects();
        mCellLines.clear();
        for (int i = cell.first - 1; i <= cell.first + 1; ++i)
            for (int j = cell.second - 1; j <= cell.second + 1; ++j)
            {
                if (!grid.hasCell(i, j))
                    continue;
                const float x0 = grid.cellMinX(i), z0 = grid.cellMinZ(j), s = grid.cellSize;
                std::unique_ptr<Line3D> line(new Line3D(5));
                for (const Ogre::Vector3& p :
                     {Ogre::Vector3(x0, 0.1f, z0), Ogre::Vector3(x0 + s, 0.1f, z0),
                      Ogre::Vector3(x0 + s, 0.1f, z0 + s), Ogre::Vector3(x0, 0.1f, z0 + s),
                      Ogre::Vector3(x0, 0.1f, z0)})
                    line->addPoint(p);
                line->drawLines();
                mLinesNode->attachObject(line.get());
                mCellLines.push_back(std::move(line));
            }
    }

    int EditorWindow::run(std::istream* script, std::ostream& out, std::ostream& err)
    {
        WorldEditor::Script commands;
        if (script && !WorldEditor::readScript(*script, commands, err))
            return 2;
        if (!open())
        {
            err << mError << '\n';
            return 1;
        }
        int status = 0;
        size_t next = 0;
        Ogre::Timer timer;
        float elapsed = 1.0f / 60.0f;
        for (std::uint64_t frames = 0;
             !isClosing() && (mOptions.frames == 0 || frames < mOptions.frames); ++frames)
        {
            OgreBites::WindowEventUtilities::messagePump();
            if (mKeyboard)
                mKeyboard->capture();
            if (mMouse)
                mMouse->capture();
            if (next < commands.size())
            {
                mPanels->setMessage(commands[next].second.word);
                status = mEditor.runScriptCommand(commands[next++], out, err);
                if (status)
                    next = commands.size();
            }
            frame(elapsed);
            elapsed = std::min(0.1f, timer.getMicroseconds() * 1e-6f);
            timer.reset();
        }
        if (!mOptions.screenshot.empty())
        {
            std::string error;
            if (!saveScreenshot(mOptions.screenshot, error))
            {
                err << error << '\n';
                status = status ? status : 1;
            }
        }
        close();
        return status;
    }

    bool EditorWindow::saveScreenshot(const std::string& file, std::string& error)
    {
        ViewerEngine* engine = mEditor.getEngine();
        if (!mWindow || !engine || !engine->ensurePngCodec())
        {
            error = "no PNG codec: the screenshot " + file + " is not written";
            return false;
        }
        namespace fs = std::filesystem;
        const std::string temporary = file + ".part.png";
        try
        {
            mWindow->writeContentsToFile(temporary);
        }
        catch (const Ogre::Exception& e)
        {
            error = "can not write " + file + ": " + e.getDescription();
            return false;
        }
        std::error_code ec;
        fs::rename(temporary, file, ec);
        if (ec)
        {
            fs::remove(temporary, ec);
            error = "can not write " + file;
            return false;
        }
        return true;
    }

    Ogre::Vector2 EditorWindow::normalised(const OIS::MouseState& state) const
    {
        return Ogre::Vector2(float(state.X.abs) / std::max(1, state.width),
                             float(state.Y.abs) / std::max(1, state.height));
    }

    void EditorWindow::command(const std::string& line)
    {
        if (mManipulation->getManipulator().getIsManipulating())
            return;
        const WorldEditorResult result = mEditor.execute(line);
        mPanels->setMessage(result.status == WorldEditorResult::Done
                                ? (result.lines.empty() ? line : result.lines.back())
                                : result.error);
    }

    void EditorWindow::click(const Ogre::Vector2& pos)
    {
        CoreGameObjectManager* manager = mEditor.getManager();
        const Ogre::Ray ray = mCamera->getCameraToViewportRay(pos.x, pos.y);
        GameObject* hit = nullptr;
        Ogre::Vector3 point;
        if (!mPanels->getPlacing().empty())
        {
            if (!manager->rayCollide(ray, true, true, hit, point))
            {
                const std::pair<bool, Ogre::Real> ground =
                    ray.intersects(Ogre::Plane(Ogre::Vector3::UNIT_Y, 0.0f));
                if (!ground.first)
                    return;
                point = ray.getPoint(ground.second);
            }
            WorldEditorCommand create;
            create.kind = WorldEditorCommand::Create;
            create.word = "create";
            create.names.push_back(mPanels->getPlacing());
            create.vector = point;
            const WorldEditorResult result = mEditor.execute(create);
            mPanels->setMessage(result.status == WorldEditorResult::Done
                                    ? "placed " + result.lines.back()
                                    : result.error);
            mPanels->clearPlacing();
            return;
        }
        manager->rayCollide(ray, true, false, hit, point);
        CoreGameObject* obj = dynamic_cast<CoreGameObject*>(hit);
        if (mShift)
            manager->selectObject(obj);
        else
            mEditor.selectOnly(obj ? std::vector<CoreGameObject*>{obj}
                                   : std::vector<CoreGameObject*>());
        mPanels->setMessage(obj ? "selected " + obj->getName() : std::string());
    }

    bool EditorWindow::keyPressed(const OIS::KeyEvent& event)
    {
        ImGuiIO& io = ImGui::GetIO();
        if (event.key < 512)
            io.KeysDown[event.key] = true;
        if (event.text >= 32)
            io.AddInputCharacter(event.text);
        mCtrl = mCtrl || isCtrl(event.key);
        mShift = mShift || isShift(event.key);
        io.KeyCtrl = mCtrl;
        io.KeyShift = mShift;
        if (io.WantCaptureKeyboard || mFly->keyPressed(event.key))
            return true;
        switch (event.key)
        {
        case OIS::KC_W: mManipulation->setTool(EditorManipulation::Tool::Translate); return true;
        case OIS::KC_E: mManipulation->setTool(EditorManipulation::Tool::Rotate); return true;
        case OIS::KC_R: mManipulation->setTool(EditorManipulation::Tool::Scale); return true;
        case OIS::KC_DELETE: command("delete"); return true;
        case OIS::KC_ESCAPE: mClosing = true; return true;
        default: break;
        }
        if (mCtrl)
            switch (event.key)
            {
            case OIS::KC_Z: command("undo"); return true;
            case OIS::KC_Y: command("redo"); return true;
            case OIS::KC_D: command("clone"); return true;
            case OIS::KC_S: command("save"); return true;
            default: break;
            }
        bool handled = false;
        return mEditor.getManager()->keyPressed(event, handled);
    }

    bool EditorWindow::keyReleased(const OIS::KeyEvent& event)
    {
        ImGuiIO& io = ImGui::GetIO();
        if (event.key < 512)
            io.KeysDown[event.key] = false;
        mCtrl = mCtrl && !isCtrl(event.key);
        mShift = mShift && !isShift(event.key);
        io.KeyCtrl = mCtrl;
        io.KeyShift = mShift;
        if (mFly->keyReleased(event.key) || io.WantCaptureKeyboard)
            return true;
        bool handled = false;
        return mEditor.getManager()->keyReleased(event, handled);
    }

    bool EditorWindow::mouseMoved(const OIS::MouseEvent& event)
    {
        ImGuiIO& io = ImGui::GetIO();
        io.MousePos = ImVec2(float(event.state.X.abs), float(event.state.Y.abs));
        io.MouseWheel += event.state.Z.rel / 120.0f;
        if (mFly->mouseMoved(event.state.X.rel, event.state.Y.rel))
            return true;
        const bool dragging = mManipulation->getManipulator().getIsManipulating();
        if ((io.WantCaptureMouse && !dragging) || mManipulation->mouseMoved(normalised(event.state)))
            return true;
        bool handled = false;
        return mEditor.getManager()->mouseMoved(event, handled);
    }

    bool EditorWindow::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button)
    {
        ImGuiIO& io = ImGui::GetIO();
        if (button < 5)
            io.MouseDown[button] = true;
        if (io.WantCaptureMouse || mFly->mousePressed(button))
            return true;
        if (button == OIS::MB_Left)
        {
            if (!mManipulation->mouseLPressed(normalised(event.state)))
                click(normalised(event.state));
            return true;
        }
        bool handled = false;
        return mEditor.getManager()->mousePressed(event, button, handled);
    }

    bool EditorWindow::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button)
    {
        ImGuiIO& io = ImGui::GetIO();
        if (button < 5)
            io.MouseDown[button] = false;
        if (mFly->mouseReleased(button) ||
            (button == OIS::MB_Left && mManipulation->mouseLReleased(normalised(event.state))))
            return true;
        bool handled = false;
        return mEditor.getManager()->mouseReleased(event, button, handled);
    }
}
