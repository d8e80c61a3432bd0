#ifndef __WrenManipulatorScene_H__
#define __WrenManipulatorScene_H__

#include "AxisManipulator.h"
#include "ManipulatorObserver.h"
#include "SceneManagerWrapper.h"
#include "TestEngine.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace Wren
{
namespace Test
{
    /** Notes every report of a manipulator as a line of text, numbers
        rounded to three decimals: "translate 0 1 0", "rotate 0.4 about 1 0
        0", "scale 0.95 0.95 0.95", "move 5 0 2", "start", "stop". Its ray
        test answers with rayHit when rayHits is set. */
    class RecordingObserver : public ManipulatorObserver
    {
    public:
        std::vector<std::string> calls;
        bool rayHits = false;
        Ogre::Vector3 rayHit = Ogre::Vector3::ZERO;

        void handleManipulatorTranslate(const Ogre::Vector3& delta) override
        {
            calls.push_back("translate " + text(delta));
        }
        void handleManipulatorRotate(const Ogre::Quaternion& delta) override
        {
            Ogre::Radian angle;
            Ogre::Vector3 axis;
            delta.ToAngleAxis(angle, axis);
            calls.push_back("rotate " + text(angle.valueRadians()) + " about " + text(axis));
        }
        void handleManipulatorScale(const Ogre::Vector3& factors) override
        {
            calls.push_back("scale " + text(factors));
        }
        void handleManipulatorMove(const Ogre::Vector3& position) override
        {
            calls.push_back("move " + text(position));
        }
        bool manipulatorRayCollide(const Ogre::Ray&, Ogre::Vector3& hit) override
        {
            if (rayHits)
                hit = rayHit;
            return rayHits;
        }
        void handleManipulatorStartManipulating() override { calls.push_back("start"); }
        void handleManipulatorStopManipulating() override { calls.push_back("stop"); }

        static std::string text(float value)
        {
            const float rounded = std::round(value * 1000) / 1000;
            std::ostringstream out;
            out << (rounded == 0 ? 0.0f : rounded);
            return out.str();
        }
        static std::string text(const Ogre::Vector3& v)
        {
            return text(v.x) + " " + text(v.y) + " " + text(v.z);
        }
    };

    /** A camera at (0, 0, 10) looking down -z with a square view, and the
        scene wrapper manipulators query through. */
    class ManipulatorScene : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            mScene = TestEngine::instance().getSceneManager();
            mCamera = mScene->createCamera("ManipulatorCam");
            mCamera->setAspectRatio(1);
            mCamera->setNearClipDistance(0.5f);
            mCameraNode = mScene->getRootSceneNode()->createChildSceneNode(
                "ManipulatorCamNode", Ogre::Vector3(0, 0, 10));
            mCameraNode->attachObject(mCamera);
            mWrapper.reset(new SceneManagerWrapper(mScene));
        }
        void TearDown() override
        {
            mWrapper.reset();
            TestEngine::instance().clearScene();
        }

        /** The normalised viewport position of a world point. */
        Ogre::Vector2 screenOf(const Ogre::Vector3& point) const
        {
            const Ogre::Vector3 ndc =
                mCamera->getProjectionMatrix() * (mCamera->getViewMatrix() * point);
            return Ogre::Vector2((ndc.x + 1) / 2, (1 - ndc.y) / 2);
        }

        /** Places a manipulator at position with unrotated axes. */
        static void place(Manipulator& manipulator, const Ogre::Vector3& position = Ogre::Vector3::ZERO)
        {
            manipulator.update(0.016f, position, Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Y,
                               Ogre::Vector3::UNIT_Z);
        }

        /** Builds a manipulator as name, observed by observer, active and
            placed at position. */
        void ready(AxisManipulator& manipulator, ManipulatorObserver* observer, const std::string& name,
                   const Ogre::Vector3& position = Ogre::Vector3::ZERO)
        {
            manipulator.setManipulatorObserver(observer);
            EXPECT_TRUE(manipulator.init(mWrapper.get(), mCamera, name));
            manipulator.activate();
            place(manipulator, position);
        }

        Ogre::SceneManager* mScene = nullptr;
        Ogre::Camera* mCamera = nullptr;
        Ogre::SceneNode* mCameraNode = nullptr;
        std::unique_ptr<SceneManagerWrapper> mWrapper;
    };
}
}

#endif
