#ifndef __WrenPlaceHolderGameObject_H__
#define __WrenPlaceHolderGameObject_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreGameObject.h"

namespace Wren
{
    /** The base of objects without a visible body of their own (lights,
        particle systems, effects, sounds, dummies): each gets a small mesh
        object as a child, the placeholder mesh, so that the editor can show
        and pick it. The placeholder is never saved.

        The placeholder is made from the metadata named by the placeholder
        ID (PLACEHOLDER_META_ID unless a subclass chooses another) when the
        object finishes (loadFinish or initFinish): a new object of the
        object manager, placed at this object's world position, added as a
        child, selecting this object when picked (setAlternativeSelection),
        and visible as getVisibleStatic() says at that moment. Only a
        template of the type "MeshGameObject" makes one; another type, or a
        template file that is missing, is logged and leaves the object
        without placeholder. Either way the object is settled (state 1)
        afterwards.

        For subclasses:
        - loadFinish and initFinish make the placeholder after the base;
          a subclass that overrides them calls these first.
        - getHoldMeshNode is the node of the placeholder mesh, for engine
          objects that should hang where the placeholder is (an effect); null
          without placeholder.
        - startSimulation takes the placeholder out of the children (it is
          not shown while the game runs) and endSimulation puts it back; a
          subclass that overrides them calls these.
        - shouldSaveChild refuses the placeholder and otherwise answers as
          CoreGameObject; override it to refuse more and ask this one for
          the rest.
        - destroy with children also destroys a placeholder taken out for
          the simulation; call it from an override.
        - takeMetadata is called after every start (initStart, loadStart,
          loadBinaryStart) that succeeded: the place to take the template
          as the subclass's own metadata class.
        - registerUpdate and unregisterUpdate hold at most one registration
          for per-frame updates of the object's own (fades, sounds), apart
          from those of the core's deferred level changes; destroy lets it
          go.
    */
    class WREN_EXTENSION_EXPORT PlaceHolderGameObject : public CoreGameObject
    {
    public:
        /** "Box0Point5Meters.meta": the placeholder of every type but dummies
            that name their own. */
        static const std::string PLACEHOLDER_META_ID;

        PlaceHolderGameObject(CoreGameObjectManager* manager, const std::string& name,
                              const std::string& placeHolderMetaId);
        ~PlaceHolderGameObject() override;

        const std::string& getObjectType() const override;
        /** True for "PlaceHolderGameObject", else CoreGameObject's answer. */
        bool checkObjectType(const std::string& type) const override;

        bool initStart(CoreMetadata* metadata, bool flag) override;
        bool loadStart(DataElementPtr& element, std::vector<CoreGameObject*>& created,
                       bool rename) override;
        bool loadBinaryStart(CompleteObjectDataInfo& record, std::vector<CoreGameObject*>& created,
                             bool rename) override;
        bool loadFinish() override;
        bool initFinish(const Ogre::Vector3& worldPosition) override;
        void destroy(bool destroyChildren, bool keepInPartition) override;
        void startSimulation() override;
        void endSimulation() override;
        /** Shows or hides the placeholder mesh. */
        void setBindMeshVisible(bool visible) override;

        /** The scene node of the placeholder mesh, or null. */
        Ogre::SceneNode* getHoldMeshNode() const;
        /** The node engine objects of the type hang from: the placeholder
            mesh's while it is shown among the children, else the object's
            own (without placeholder, or while the game runs). */
        Ogre::SceneNode* getPlaceNode() const;
        /** The placeholder mesh (a MeshGameObject child), or null. */
        MeshGameObject* getPlaceHolderMesh() const { return mPlaceHolderMesh; }
        /** The metadata ID the placeholder is (or will be) made from. */
        const std::string& getPlaceHolderMetaId() const { return mPlaceHolderMetaId; }

        /** The visibility given to placeholder meshes when they are made
            (false at first); meshes that exist keep theirs. */
        static bool getVisibleStatic() { return mIsVisible; }
        static void setVisibleStatic(bool visible) { mIsVisible = visible; }

    protected:
        bool shouldSaveChild(const CoreGameObject* child) const override;
        /** Makes the placeholder mesh (see the class comment); nothing when
            there is one already. */
        void initPlaceHolderObject();
        void setPlaceHolderMetaId(const std::string& id) { mPlaceHolderMetaId = id; }
        /** See the class comment; nothing by default. */
        virtual void takeMetadata() {}
        void registerUpdate();
        void unregisterUpdate();
        bool getUpdateRegistered() const { return mUpdateRegistered; }

    private:
        std::string mPlaceHolderMetaId;
        MeshGameObject* mPlaceHolderMesh = nullptr;
        bool mUpdateRegistered = false;

        static bool mIsVisible;
    };
}

#endif
