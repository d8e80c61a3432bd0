#include "EditorManipulation.h"
#include "EditorPanels.h"
#include "EditorWindow.h"
#include "TestEngine.h"
#include "WorldEditor.h"
#include "WorldGenerator.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "DataElement.h"
#include "XMLDataFile.h"

#include <OgreCamera.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

#include <filesystem>

using namespace Wren;
using Wren::Test::TestEngine;

namespace
{
    const int kWidth = 1024, kHeight = 768;

    /** The world bounds of what hangs on node and below it. */
    Ogre::AxisAlignedBox boundsBelow(Ogre::SceneNode* node)
    {
        node->_update(true, false);
        Ogre::AxisAlignedBox box = node->_getWorldAABB();
        for (Ogre::Node* child : node->getChildren())
            box.merge(boundsBelow(static_cast<Ogre::SceneNode*>(child)));
        return box;
    }

    /** A small generated world open in an editor window of its own, fed
        synthetic input as OIS would. */
    class EditorWindowDrawn : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            WorldGeneratorOptions generate;
            generate.cells = 2;
            generate.objectsPerCell = 12;
            generate.seed = 11;
            mFolder = TestEngine::instance().makeTempFolder("editor-window") + "/worlds/W";
            ASSERT_TRUE(WorldGenerator(generate).generate(mFolder).ok);
            Ogre::NameValuePairList hidden{{"hidden", "true"}};
            mRenderWindow = TestEngine::instance().getRoot()->createRenderWindow(
                "EditorWindowTest", kWidth, kHeight, false, &hidden);
            WorldEditorOptions options;
            options.world = mFolder;
            options.rendered = true;
            mEditor.reset(new WorldEditor(options));
            ASSERT_TRUE(mEditor->start()) << mEditor->getError();
            EditorWindowOptions windowOptions;
            windowOptions.devices = false;
            windowOptions.window = mRenderWindow;
            mWindow.reset(new EditorWindow(*mEditor, windowOptions));
            ASSERT_TRUE(mWindow->open()) << mWindow->getError();
        }
        void TearDown() override
        {
            mWindow.reset();
            mEditor.reset();
            TestEngine::instance().getRoot()->destroyRenderTarget(mRenderWindow);
        }

        /** The first mesh object of the world, the camera 30 units in front
            of the middle of its bounds; that middle. */
        Ogre::Vector3 faceAnObject()
        {
            std::vector<CoreGameObject*> objects;
            mEditor->getManager()->enumerateObjects(objects);
            for (CoreGameObject* obj : objects)
                if (obj->getObjectType() == "MeshGameObject" && obj->getSceneNode() &&
                    boundsBelow(obj->getSceneNode()).isFinite())
                {
                    mObject = obj->getName();
                    const Ogre::Vector3 centre = boundsBelow(obj->getSceneNode()).getCenter();
                    mWindow->lookAt(centre + Ogre::Vector3(0, 6, 30), centre);
                    frames(2);
                    return centre;
                }
            ADD_FAILURE() << "the world has no mesh object";
            return Ogre::Vector3::ZERO;
        }

        void frames(int count)
        {
            for (int i = 0; i < count; ++i)
                mWindow->frame(1.0f / 60);
        }

        /** The window pixel a world point is drawn at. */
        Ogre::Vector2 pixelOf(const Ogre::Vector3& point) const
        {
            const Ogre::Camera* camera = mWindow->getCamera();
            const Ogre::Vector3 ndc = camera->getProjectionMatrix() * (camera->getViewMatrix() * point);
            return Ogre::Vector2((ndc.x + 1) / 2 * kWidth, (1 - ndc.y) / 2 * kHeight);
        }

        OIS::MouseEvent mouseAt(const Ogre::Vector2& pixel)
        {
            mMouse.width = kWidth;
            mMouse.height = kHeight;
            mMouse.X.rel = int(pixel.x) - mMouse.X.abs;
            mMouse.Y.rel = int(pixel.y) - mMouse.Y.abs;
            mMouse.X.abs = int(pixel.x);
            mMouse.Y.abs = int(pixel.y);
            return OIS::MouseEvent(nullptr, mMouse);
        }
        void move(const Ogre::Vector2& pixel)
        {
            mWindow->mouseMoved(mouseAt(pixel));
            frames(1);
        }
        void click(const Ogre::Vector2& pixel)
        {
            move(pixel);
            mWindow->mousePressed(mouseAt(pixel), OIS::MB_Left);
            frames(1);
            mWindow->mouseReleased(mouseAt(pixel), OIS::MB_Left);
            frames(1);
        }
        void key(OIS::KeyCode code, unsigned text = 0)
        {
            mWindow->keyPressed(OIS::KeyEvent(nullptr, code, text));
            frames(1);
            mWindow->keyReleased(OIS::KeyEvent(nullptr, code, text));
            frames(1);
        }
        void ctrl(OIS::KeyCode code)
        {
            mWindow->keyPressed(OIS::KeyEvent(nullptr, OIS::KC_LCONTROL, 0));
            key(code);
            mWindow->keyReleased(OIS::KeyEvent(nullptr, OIS::KC_LCONTROL, 0));
        }

        /** The stored position (in its cell) of the object as the world's
            objects files hold it now. */
        Ogre::Vector3 savedPosition() const
        {
            for (const auto& entry : std::filesystem::directory_iterator(mFolder + "/Partitions"))
            {
                XMLDataFile file;
                if (entry.path().extension() != ".objects" || !file.load(entry.path().string()))
                    continue;
                for (DataElementPtr e = file.getRootElement()->getFirstChild("Object");
                     !e->getIsEmpty(); e = e->getNextSibling("Object"))
                    if (e->getAttributeString("Name", "") == mObject)
                    {
                        DataElementPtr core = e->getFirstChild("CoreData");
                        return Ogre::Vector3(core->getAttributeFloat("PosX", 0),
                                             core->getAttributeFloat("PosY", 0),
                                             core->getAttributeFloat("PosZ", 0));
                    }
            }
            ADD_FAILURE() << mObject << " is not saved";
            return Ogre::Vector3::ZERO;
        }

        CoreGameObject* selected() const
        {
            const std::vector<CoreGameObject*> objs = mEditor->selection();
            return objs.size() == 1 ? objs.front() : nullptr;
        }

        std::string mFolder;
        std::string mObject;
        Ogre::RenderWindow* mRenderWindow = nullptr;
        std::unique_ptr<WorldEditor> mEditor;
        std::unique_ptr<EditorWindow> mWindow;
        OIS::MouseState mMouse;
    };
}

TEST_F(EditorWindowDrawn, ClickSelectsTheObjectAndDraggingTheXArrowMovesItsSavedPositionAlongXOnly)
{
    const Ogre::Vector3 centre = faceAnObject();
    const Ogre::Vector3 before = savedPosition();
    click(pixelOf(centre));
    ASSERT_TRUE(selected());
    EXPECT_EQ(selected()->getName(), mObject);
    frames(2);

    // The green arrow points along x from the manipulator's centre, about a
    // tenth of the camera distance long; gripped beyond the plane squares.
    AxisManipulator& arrows = mWindow->getManipulation().getManipulator();
    const Ogre::Vector3 at = arrows.getNode()->_getDerivedPosition();
    const Ogre::Vector2 grip = pixelOf(at + Ogre::Vector3(0.075f * arrows.getDistance(), 0, 0));
    move(grip);
    ASSERT_TRUE(arrows.getCurrentHandle());
    ASSERT_EQ(arrows.getCurrentHandle()->getMode(), AM_TRANSLATE_X);
    mWindow->mousePressed(mouseAt(grip), OIS::MB_Left);
    for (int step = 1; step <= 4; ++step)
        move(grip + Ogre::Vector2(20.0f * step, 0));
    mWindow->mouseReleased(mouseAt(grip + Ogre::Vector2(80, 0)), OIS::MB_Left);
    frames(1);
    ctrl(OIS::KC_S);

    const Ogre::Vector3 after = savedPosition();
    EXPECT_GT(after.x, before.x + 0.5f);
    EXPECT_NEAR(after.y, before.y, 1e-3f);
    EXPECT_NEAR(after.z, before.z, 1e-3f);
    EXPECT_EQ(mWindow->getPanels().getMessage(), "saved W");
}

TEST_F(EditorWindowDrawn, APositionTypedInTheInspectorIsUndoneAndRedoneAndTheSavedValueFollows)
{
    faceAnObject();
    const Ogre::Vector3 before = savedPosition();
    CoreGameObject* obj = mEditor->getManager()->getCoreObjectByName(mObject);
    mEditor->selectOnly({obj});
    frames(2);

    std::vector<Property> properties;
    obj->enumerateProperties(properties);
    std::string position;
    for (const Property& property : properties)
        if (property.name == "Position")
            position = property.id;
    const auto& rects = mWindow->getPanels().getFieldRects();
    ASSERT_TRUE(rects.count(position));
    const EditorPanels::Rect field = rects.at(position);
    // The first of the three fields is x; a click selects its text.
    click(Ogre::Vector2(field.min.x + 20, (field.min.y + field.max.y) / 2));
    char typed[32];
    std::snprintf(typed, sizeof typed, "%.2f", obj->getWorldPosition().x + 2);
    for (const char* c = typed; *c; ++c)
        key(OIS::KC_UNASSIGNED, static_cast<unsigned char>(*c));
    key(OIS::KC_RETURN);
    ctrl(OIS::KC_S);
    EXPECT_NEAR(savedPosition().x, before.x + 2, 0.01f);
    EXPECT_NEAR(savedPosition().z, before.z, 0.01f);

    ctrl(OIS::KC_Z);
    ctrl(OIS::KC_S);
    EXPECT_NEAR(savedPosition().x, before.x, 0.01f);

    ctrl(OIS::KC_Y);
    ctrl(OIS::KC_S);
    EXPECT_NEAR(savedPosition().x, before.x + 2, 0.01f);
    EXPECT_EQ(mWindow->getPanels().getMessage(), "saved W");
}
