#include "MeshCollisionGameSystem.h"
#include "MeshCollisionShape.h"

#include "DragManipulator.h"
#include "GameSystemManager.h"
#include "ManipulatorScene.h"
#include "RotationManipulator.h"
#include "ScaleManipulator.h"
#include "TranslationManipulator.h"

using namespace Wren;
using Wren::Test::RecordingObserver;

namespace
{
    /** The host's mesh collision system registered as "CollisionGameSystem". */
    class ManipulatorCollision : public Wren::Test::ManipulatorScene
    {
    protected:
        void SetUp() override
        {
            ManipulatorScene::SetUp();
            mSystems.reset(new GameSystemManager());
            mCollision = new MeshCollisionGameSystem();
            mSystems->addGameSystem("CollisionGameSystem", mCollision);
        }
        void TearDown() override
        {
            ManipulatorScene::TearDown();
            mSystems.reset();
        }

        std::unique_ptr<GameSystemManager> mSystems;
        MeshCollisionGameSystem* mCollision = nullptr;
    };
}

TEST_F(ManipulatorCollision, EveryHandleHoldsTheTrianglesOfItsCollisionMesh)
{
    TranslationManipulator move;
    RotationManipulator rotate;
    ScaleManipulator scale;
    DragManipulator drag;
    AxisManipulator* all[] = {&move, &rotate, &scale, &drag};
    for (size_t m = 0; m < 4; ++m)
    {
        AxisManipulator* manipulator = all[m];
        ASSERT_TRUE(manipulator->init(mWrapper.get(), mCamera, "Shaped" + std::to_string(m)));
        EXPECT_EQ(manipulator->getCollisionSystem(), mCollision);
        for (size_t i = 0; i < manipulator->getNumHandles(); ++i)
        {
            const MeshCollisionShape* shape = dynamic_cast<MeshCollisionShape*>(
                manipulator->getHandle(i)->getCollisionShape().get());
            ASSERT_NE(shape, nullptr);
            EXPECT_GE(shape->getTriangleCount(), 12u) << shape->getMeshName();
            EXPECT_EQ(shape->getScale(), Ogre::Vector3::UNIT_SCALE);
        }
    }
}

TEST_F(ManipulatorCollision, RingsArePickedOnTheirTubeOnlyAndDragIntoRotations)
{
    RotationManipulator rotate;
    RecordingObserver observer;
    ready(rotate, &observer, "Rings");
    const float radius = 10.0f / 8; // the rings' radius at distance 10

    // Through the Z ring's hole: its bounds are hit, its tube is not.
    EXPECT_TRUE(rotate.mouseMoved(screenOf(Ogre::Vector3(0.5f, 0.5f, 0))));
    EXPECT_EQ(rotate.getCurrentHandle(), nullptr);
    EXPECT_FALSE(rotate.mouseLPressed(Ogre::Vector2::ZERO));

    // On the tube, and dragged down by 0.1.
    const Ogre::Vector2 onRing = screenOf(Ogre::Vector3(0.6f, 0.8f, 0) * radius);
    EXPECT_TRUE(rotate.mouseMoved(onRing));
    ASSERT_EQ(rotate.getCurrentHandle(), rotate.getHandle(AM_ROTATE_Z));
    EXPECT_TRUE(rotate.mouseLPressed(onRing));
    EXPECT_TRUE(rotate.mouseMoved(onRing + Ogre::Vector2(0, 0.1f)));
    rotate.mouseLReleased(onRing);
    EXPECT_EQ(observer.calls, (std::vector<std::string>{"start", "rotate 0.4 about 0 0 1", "stop"}));
}
