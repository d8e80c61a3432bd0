#ifndef __WrenAxisManipulator_H__
#define __WrenAxisManipulator_H__

#include "AxisManipulatorHandle.h"
#include "Manipulator.h"

#include <OgreQuaternion.h>

#include <memory>

namespace Ogre
{
    class SceneManager;
}

namespace Wren
{
    /** The common base of the manipulators whose handles are entities under
        a root node of their own: translation, rotation, scale and drag.

        init creates the root node, named after the manipulator, under the
        scene's root, takes the game system "CollisionGameSystem" when there
        is one (handles then get collision shapes made from their collision
        meshes at unit scale; without one they have none), makes the handle
        media that are missing (ManipulatorMedia) and builds the handles.
        Handle entities cast no shadows, sit in HANDLE_RENDER_QUEUE_GROUP and
        are drawn in their own colour, or yellow while highlighted.

        Each frame the host calls update with the selection's position and
        axes: the root node follows them and is scaled by the camera distance
        / 8, so the handles keep their size on screen. A mouse move picks the
        handle of this manipulator under the mouse through the scene's ray
        query (entities only, unsorted, the first handle found); a left press
        on it starts a drag, during which mouse motion turns into a
        translation, rotation or scale for the observer (performManipulation)
        and no other handle is picked; the release ends it. Manipulation
        needs the manipulator active and updated since it was last activated
        or deactivated.

        Destroying a manipulator destroys its handles with their entities,
        child nodes and collision-shape references, then its root node, so a
        new one of the same name can be made. The scene manager must outlive
        it; engine objects already destroyed with the scene are skipped.
    */
    class WREN_COMMON_EXPORT AxisManipulator : public Manipulator
    {
    public:
        /** Radians per unit of normalised mouse motion. */
        static const Ogre::Real ROTATION_SPEED;
        /** Drawn after the scene (and before overlays), so handles stay on
            top of the objects they move. */
        static const Ogre::uint8 HANDLE_RENDER_QUEUE_GROUP;

        AxisManipulator();
        ~AxisManipulator() override;

        /** Picks the handle under the mouse (true when there is one) or,
            while dragging, reports the motion since the last move (false). */
        bool mouseMoved(const Ogre::Vector2& pos) override;
        /** Starts a drag of the handle under the mouse and tells the
            observer; false when there is none or a drag is under way. */
        bool mouseLPressed(const Ogre::Vector2& pos) override;
        /** Ends a drag, telling the observer; true. */
        bool mouseLReleased(const Ogre::Vector2& pos) override;

        /** Builds the manipulator as described above. False, logged, when
            wrapper or camera is null, the name is empty or
            it was built before. Throws
            Ogre::ItemIdentityException when a node or entity of one of its
            names exists already; nothing of it stays in the scene then. */
        bool init(SceneManagerWrapper* wrapper, Ogre::Camera* camera,
                  const std::string& name) override;

        /** Take the root node out of the scene graph, or put it back. */
        void hide() override;
        void show() override;
        /** Change the flag and wait for the next update before manipulating. */
        void activate() override;
        void deactivate() override;

        void update(float elapsedSeconds, const Ogre::Vector3& position, const Ogre::Vector3& xAxis,
                    const Ogre::Vector3& yAxis, const Ogre::Vector3& zAxis) override;

        /** Called before collision shapes are tested against a ray, with the
            root node's position; for systems whose shapes live in a world of
            their own. Does nothing here. */
        virtual void CollisionShapeNeedUpdate(Ogre::Vector3 position);

        /** Turns a mouse motion (normalised viewport units) on a handle of
            mode into a translation, rotation or scale for the observer,
            measured in the camera's axes and scaled by the camera distance.
            Nothing without an observer, for the drag mode, or for a scale
            while the camera sits on the manipulator (distance about 0). */
        void performManipulation(Ogre::Real dx, Ogre::Real dy, AxisMode mode);

        const std::string& getName() const { return mName; }
        /** Camera distance at the last update. */
        Ogre::Real getDistance() const { return mDistance; }
        /** The handle under the mouse or being dragged; null for none. */
        AxisManipulatorHandle* getCurrentHandle() const { return mCurrentHandle; }
        Ogre::SceneNode* getNode() const { return mNode; }
        CollisionGameSystem* getCollisionSystem() const { return mCollisionSystem; }
        size_t getNumHandles() const { return mHandles.size(); }
        AxisManipulatorHandle* getHandle(size_t index) const { return mHandles.at(index).get(); }
        /** The handle of that mode, or null. */
        AxisManipulatorHandle* getHandle(AxisMode mode) const;

    protected:
        /** One entity of a handle: the suffix added to the handle's name,
            and its mesh. */
        struct HandleEntity
        {
            const char* suffix;
            const char* mesh;
        };

        /** Builds the handles; called by init. */
        virtual void buildHandles() = 0;
        /** Whether handle is drawn yellow now; by default while it is the
            current handle. */
        virtual bool isHighlighted(const AxisManipulatorHandle& handle) const;

        /** Adds a handle whose entities are named the manipulator's name +
            nodeSuffix + each entity's suffix. With a node suffix they hang on
            a child node of that name, turned by orientation and scaled by
            scale; with an empty one, on the root node. */
        AxisManipulatorHandle* addHandle(const std::string& nodeSuffix,
                                         std::initializer_list<HandleEntity> entities,
                                         const Ogre::Quaternion& orientation,
                                         const Ogre::Vector3& scale, const std::string& material,
                                         const std::string& collisionMesh, AxisMode mode);
        /** A handle of one entity of mesh, named as its child node. */
        AxisManipulatorHandle* addChildHandle(const std::string& nodeSuffix, const char* mesh,
                                              const char* collisionMesh,
                                              const Ogre::Quaternion& orientation,
                                              const std::string& material, AxisMode mode);
        /** An arrow per axis, each a child node with the entities "_Line"
            and "_Cone" scaled (4, 1, 4): "_Y" red, "_X" green (turned 270
            degrees about Z), "_Z" blue (turned 90 degrees about X). */
        void addArrows(AxisMode x, AxisMode y, AxisMode z);

        /** The camera ray through a mouse position. */
        Ogre::Ray mouseRay(const Ogre::Vector2& pos) const;

        Ogre::Real mDistance = 0;
        AxisManipulatorHandle* mCurrentHandle = nullptr;
        Ogre::SceneNode* mNode = nullptr;
        CollisionGameSystem* mCollisionSystem = nullptr;
        bool mAxesValid = false;
        Ogre::Vector3 mCameraX = Ogre::Vector3::UNIT_X;
        Ogre::Vector3 mCameraY = Ogre::Vector3::UNIT_Y;
        Ogre::Vector3 mCameraZ = Ogre::Vector3::UNIT_Z;
        Ogre::Vector2 mLastMousePos = Ogre::Vector2::ZERO;

    private:
        /** The first handle of this manipulator that the camera ray through
            pos meets, or null. */
        AxisManipulatorHandle* pickHandle(const Ogre::Vector2& pos) const;
        void recolourHandles();
        /** Destroys the handles and the root node, whatever of them exists. */
        void destroyScene();

        std::string mName;
        Ogre::SceneManager* mSceneManager = nullptr;
        std::vector<std::unique_ptr<AxisManipulatorHandle>> mHandles;
    };
}

#endif
