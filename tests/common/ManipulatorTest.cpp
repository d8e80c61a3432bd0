#include "DragManipulator.h"
#include "ManipulatorMedia.h"
#include "ManipulatorScene.h"
#include "RotationManipulator.h"
#include "ScaleManipulator.h"
#include "TranslationManipulator.h"

#include <OgreEntity.h>
#include <OgreSubEntity.h>

using namespace Wren;
using Wren::Test::RecordingObserver;

namespace
{
    typedef std::vector<std::string> Calls;

    class Manipulators : public Wren::Test::ManipulatorScene
    {
    protected:
        /** The material the handle of mode is drawn with. */
        static std::string colourOf(const AxisManipulator& manipulator, AxisMode mode)
        {
            return manipulator.getHandle(mode)->getEntities().front()->getSubEntity(0)->getMaterialName();
        }

        size_t sceneObjectCount() const
        {
            return mScene->getMovableObjects("Entity").size() +
                   mScene->getRootSceneNode()->numChildren();
        }
    };
}

TEST_F(Manipulators, TranslationHoverDragAndReleaseReportOneMoveBetweenStartAndStop)
{
    TranslationManipulator move;
    RecordingObserver observer;
    ready(move, &observer, "Move");
    ASSERT_FLOAT_EQ(move.getDistance(), 10);
    const float size = 10.0f / 8; // the root node's scale

    // Nothing under the mouse: nothing to press.
    EXPECT_FALSE(move.mouseMoved(Ogre::Vector2(0.05f, 0.05f)));
    EXPECT_FALSE(move.mouseLPressed(Ogre::Vector2(0.05f, 0.05f)));

    // A plane square lights up the arrows of its two axes as well.
    EXPECT_TRUE(move.mouseMoved(screenOf(Ogre::Vector3(0.35f, 0.35f, 0) * size)));
    EXPECT_EQ(move.getCurrentHandle()->getMode(), AM_TRANSLATE_XY);
    place(move);
    EXPECT_EQ(colourOf(move, AM_TRANSLATE_XY), ManipulatorMedia::YellowMaterial);
    EXPECT_EQ(colourOf(move, AM_TRANSLATE_X), ManipulatorMedia::YellowMaterial);
    EXPECT_EQ(colourOf(move, AM_TRANSLATE_Y), ManipulatorMedia::YellowMaterial);
    EXPECT_EQ(colourOf(move, AM_TRANSLATE_Z), ManipulatorMedia::BlueMaterial);
    EXPECT_EQ(colourOf(move, AM_TRANSLATE_XZ), ManipulatorMedia::GreenMaterial);

    // Up by 0.1 on the Y arrow at distance 10 with an upright camera.
    const Ogre::Vector2 onY = screenOf(Ogre::Vector3(0, 0.6f, 0) * size);
    EXPECT_TRUE(move.mouseMoved(onY));
    ASSERT_EQ(move.getCurrentHandle(), move.getHandle(AM_TRANSLATE_Y));
    place(move);
    EXPECT_EQ(colourOf(move, AM_TRANSLATE_X), ManipulatorMedia::GreenMaterial);
    EXPECT_TRUE(move.mouseLPressed(onY));
    EXPECT_FALSE(move.mouseLPressed(onY));
    EXPECT_FALSE(move.mouseMoved(onY - Ogre::Vector2(0, 0.1f)));
    EXPECT_EQ(move.getCurrentHandle(), move.getHandle(AM_TRANSLATE_Y));
    EXPECT_TRUE(move.mouseLReleased(onY));
    EXPECT_FALSE(move.getIsManipulating());
    EXPECT_EQ(observer.calls, Calls({"start", "translate 0 1 0", "stop"}));

    // Hidden, it offers no handle; shown again, it does.
    move.hide();
    EXPECT_FALSE(move.mouseMoved(onY));
    move.show();
    EXPECT_TRUE(move.mouseMoved(onY));

    // Without an observer a drag reports nothing and breaks nothing.
    move.setManipulatorObserver(nullptr);
    observer.calls.clear();
    move.mouseLPressed(onY);
    move.mouseMoved(onY + Ogre::Vector2(0.2f, 0.2f));
    move.mouseLReleased(onY);
    EXPECT_TRUE(observer.calls.empty());
}

TEST_F(Manipulators, DragMovesTheSelectionToWhereTheMouseRayMeetsTheWorld)
{
    DragManipulator drag;
    RecordingObserver observer;
    observer.rayHits = true;
    observer.rayHit = Ogre::Vector3(5, 0, 2);
    ready(drag, &observer, "Drag", Ogre::Vector3(1, 0, 0));
    EXPECT_TRUE(mScene->hasEntity("Drag"));

    const Ogre::Vector2 centre = screenOf(Ogre::Vector3(1, 0, 0));
    EXPECT_TRUE(drag.mouseMoved(centre));
    EXPECT_EQ(drag.getCurrentHandle()->getMode(), AM_DRAG);
    EXPECT_TRUE(drag.mouseLPressed(centre));
    drag.mouseMoved(centre + Ogre::Vector2(0.1f, 0));
    observer.rayHits = false;
    drag.mouseMoved(centre + Ogre::Vector2(0.2f, 0));
    drag.mouseLReleased(centre);
    EXPECT_EQ(observer.calls, Calls({"start", "move 5 0 2", "stop"}));
}

TEST_F(Manipulators, MouseMotionBecomesRotationsAndScalesInTheCameraDistance)
{
    RecordingObserver observer;
    RotationManipulator rotate;
    ready(rotate, &observer, "Rotate");
    rotate.performManipulation(0, 0.1f, AM_ROTATE_X);
    rotate.performManipulation(-0.1f, 0, AM_ROTATE_Y);
    rotate.performManipulation(0.5f, 0.5f, AM_DRAG);

    ScaleManipulator scale;
    ready(scale, &observer, "Scale", Ogre::Vector3(0, 0, -10));
    ASSERT_FLOAT_EQ(scale.getDistance(), 20);
    scale.performManipulation(0.05f, 0, AM_SCALE_ALL);
    scale.performManipulation(0.05f, 0.1f, AM_SCALE_Y);
    EXPECT_EQ(observer.calls, Calls({"rotate 0.4 about 1 0 0", "rotate 0.4 about 0 -1 0",
                                     "scale 0.95 0.95 0.95", "scale 1 0.9 1"}));
}

TEST_F(Manipulators, ScaleWithTheCameraOnTheManipulatorSendsNoInfiniteFactors)
{
    RecordingObserver observer;
    ScaleManipulator scale;
    ready(scale, &observer, "Scale", mCameraNode->getPosition());
    ASSERT_FLOAT_EQ(scale.getDistance(), 0);
    for (AxisMode mode : {AM_SCALE_X, AM_SCALE_Y, AM_SCALE_Z, AM_SCALE_ALL})
        scale.performManipulation(0.05f, 0.05f, mode);
    EXPECT_TRUE(observer.calls.empty());
}

TEST_F(Manipulators, DestroyingOneLeavesNothingBehindSoItsNameCanBeUsedAgain)
{
    const size_t before = sceneObjectCount();
    auto makeEach = [&](const std::string& name) {
        std::vector<std::unique_ptr<AxisManipulator>> all;
        all.emplace_back(new TranslationManipulator());
        all.emplace_back(new RotationManipulator());
        all.emplace_back(new ScaleManipulator());
        all.emplace_back(new DragManipulator());
        for (size_t i = 0; i < all.size(); ++i)
            EXPECT_TRUE(all[i]->init(mWrapper.get(), mCamera, name + std::to_string(i)));
        return all;
    };
    makeEach("Again");
    EXPECT_EQ(sceneObjectCount(), before);

    std::vector<std::unique_ptr<AxisManipulator>> again = makeEach("Again");
    EXPECT_EQ(again[0]->getNumHandles(), 6u);
    EXPECT_EQ(again[1]->getNumHandles(), 3u);
    EXPECT_EQ(again[2]->getNumHandles(), 4u);
    EXPECT_EQ(again[3]->getNumHandles(), 1u);
    EXPECT_TRUE(mScene->hasEntity("Again0_Y_Cone"));
    EXPECT_TRUE(mScene->hasEntity("Again2_ALL_Line"));

    // A name taken by another scene node is refused whole.
    TranslationManipulator clash;
    EXPECT_THROW(clash.init(mWrapper.get(), mCamera, "Again0_XZ"), Ogre::ItemIdentityException);
    EXPECT_EQ(clash.getNode(), nullptr);
    EXPECT_FALSE(clash.init(mWrapper.get(), nullptr, "Free"));
    EXPECT_FALSE(again[0]->init(mWrapper.get(), mCamera, "Twice"));
}

TEST_F(Manipulators, WithoutACollisionSystemHandlesHaveNoShapesAndRingsArePickedByTheirBounds)
{
    RotationManipulator rotate;
    ready(rotate, nullptr, "Rings");
    EXPECT_EQ(rotate.getCollisionSystem(), nullptr);
    for (size_t i = 0; i < rotate.getNumHandles(); ++i)
        EXPECT_FALSE(rotate.getHandle(i)->getCollisionShape());
    // Inside the Z ring's disc, off the ring itself.
    EXPECT_TRUE(rotate.mouseMoved(screenOf(Ogre::Vector3(0.5f, 0.5f, 0))));
    EXPECT_EQ(rotate.getCurrentHandle(), rotate.getHandle(AM_ROTATE_Z));
}
