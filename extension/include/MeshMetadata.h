#ifndef __WrenMeshMetadata_H__
#define __WrenMeshMetadata_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreMetadata.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

namespace Ogre
{
    class Entity;
}

namespace Wren
{
    /** Template of mesh objects: the meshes of each level of detail per
        submesh, material overrides, effects bound to the mesh, strike
        points and the logic meshes that collision shapes are built from.

        Metadata element (the common part is CoreMetadata's):
        @code
        <MetaData ObjectType="MeshGameObject" Name="rock"> <CoreData .../>
            <MeshData FadeBetweenLODs="false" Fade="true" CastShadows="false"
                      IsStatic="false" LogicHighMesh="" LogicObsMesh=""
                      LogicUnderGroundHighMesh="" LogicFlyObsMesh=""
                      HeightFragmentMesh="">
                <SubMeshData Mesh="" HighLODMesh="rock.mesh" LowLODMesh="rock_low.mesh"
                             LogicHighMesh="" LogicUnderGroundHighMesh=""
                             LogicObsMesh="" LogicFlyObsMesh=""
                             HeightFragmentMesh="" SurfaceSoundType="0">
                    <Material Managed="true" SubIndex="0" MatName="rock"/>
                    <MaterialData MatName="..."/>   (older files; read only)
                </SubMeshData>
                <DefaultEffectData>
                    <EffectData EffectName="" BoneName="" OffsetPos="0 0 0"
                                OffsetOrient="1 0 0 0" DerivedOrientation="true"
                                DerivedScale="true" BoundToBone="false"/>
                </DefaultEffectData>
            </MeshData>
            <StrikeData>
                <StrikeItem StrikeName="" OffsetOrient="1 0 0 0" OffsetPos="0 0 0"/>
            </StrikeData>
        </MetaData>
        @endcode
        Submesh rule: a "Mesh" fills an empty "HighLODMesh" or "LowLODMesh".
        Without "Mesh", a record without "HighLODMesh" is skipped, and so is
        one without "LowLODMesh" when the size hint is VeryLarge, Large or
        Medium. A "MeshData" without "DefaultEffectData" ends reading before
        "StrikeData". load fails without "MeshData". save writes every
        container, empty ones included, and no "MaterialData".

        Collision: the object-wide "LogicObsMesh" becomes the template's
        collision shape name (CoreMetadata::getCollisionShapeName), so that a
        collidable object gets its shape from the collision system when it
        first changes level of detail, in the game as in the editor. A
        template without obstacle mesh keeps the name it has (none unless
        set by code).
    */
    class WREN_EXTENSION_EXPORT MeshMetadata : public CoreMetadata
    {
    public:
        /** Kinds of logic mesh, in the order of the per-kind lists. */
        enum LogicKind
        {
            LOGIC_HIGH = 0,
            LOGIC_UNDERGROUND_HIGH = 1,
            LOGIC_OBSTACLE = 2,
            LOGIC_FLY_OBSTACLE = 3,
            LOGIC_HEIGHT_FRAGMENT = 4,
            LOGIC_KIND_COUNT = 5
        };

        /** A material put on one submesh of the entity ("Material"):
            managed ones come from a ".matdef", others from a script. */
        struct MaterialOverride
        {
            bool managed = true;
            int subIndex = 0;
            std::string materialName;
        };

        /** One "EffectData" of "DefaultEffectData": an effect the object
            shows, at an offset from it or from one of its bones. */
        struct EffectRecord
        {
            std::string effectName;
            std::string boneName;
            Ogre::Vector3 offsetPosition = Ogre::Vector3::ZERO;
            Ogre::Quaternion offsetOrientation = Ogre::Quaternion::IDENTITY;
            bool derivedOrientation = true;
            bool derivedScale = true;
            bool boundToBone = false;
        };

        /** One "StrikeItem" of "StrikeData": a name with an offset from the
            object. */
        struct StrikeItem
        {
            std::string strikeName;
            Ogre::Quaternion offsetOrientation = Ogre::Quaternion::IDENTITY;
            Ogre::Vector3 offsetPosition = Ogre::Vector3::ZERO;
        };

        /** One accepted "SubMeshData" record. */
        struct SubMesh
        {
            std::string mesh;
            std::string legacyMaterialName;
            std::string logic[LOGIC_KIND_COUNT];
            std::string highLODMesh;
            std::string lowLODMesh;
            int surfaceSoundType = 0;
            std::vector<MaterialOverride> materials;
        };

        MeshMetadata(const std::string& id, CoreGameObjectManager* manager);
        ~MeshMetadata() override;

        /** Reads the element above; false without "MeshData" (or when the
            core part fails). */
        bool load(DataElementPtr& root) override;
        bool save(DataElementPtr& root) override;
        using CoreMetadata::save;

        virtual bool getIsExistLogicObj() const { return mLogicObjectExists; }
        /** Whether any object-wide or per-submesh logic mesh is named. */
        virtual bool checkExistLogicObj() const;

        /** The submesh rule: whether a record with these names is accepted,
            filling the empty level names from mesh when it is. */
        static bool acceptSubMesh(const std::string& mesh, std::string& high, std::string& low,
                                  int sizeHint);

        unsigned int getSubMeshCount() const { return unsigned(mSubMeshes.size()); }
        const std::vector<SubMesh>& getSubMeshes() const { return mSubMeshes; }
        std::vector<SubMesh>& getSubMeshes() { return mSubMeshes; }
        /** Mesh names of one level (high for LOD_HIGH, low otherwise), one per
            submesh in order. */
        std::vector<std::string> getMeshNames(int level) const;
        /** Puts the material overrides of submesh index on entity (an
            entity of that submesh's mesh): each whose sub index the entity
            has gets its material, a managed one of the low-detail textures
            when lowDetail; a material that can not be found is left out. */
        void applyMaterials(size_t index, Ogre::Entity* entity, bool lowDetail) const;
        const std::string& getLogicMesh(LogicKind kind) const { return mLogic[kind]; }
        void setLogicMesh(LogicKind kind, const std::string& name) { mLogic[kind] = name; }
        const std::vector<EffectRecord>& getEffects() const { return mEffects; }
        std::vector<EffectRecord>& getEffects() { return mEffects; }
        const std::vector<StrikeItem>& getStrikeItems() const { return mStrikeItems; }
        std::vector<StrikeItem>& getStrikeItems() { return mStrikeItems; }
        /** The strike item of that name, or null. */
        const StrikeItem* findStrikeItem(const std::string& name) const;

        bool getFadeBetweenLODs() const { return mFadeBetweenLODs; }
        void setFadeBetweenLODs(bool fade) { mFadeBetweenLODs = fade; }
        bool getFade() const { return mFade; }
        void setFade(bool fade) { mFade = fade; }
        bool getCastShadows() const { return mCastShadows; }
        void setCastShadows(bool cast) { mCastShadows = cast; }
        bool getIsStatic() const { return mIsStatic; }
        void setIsStatic(bool isStatic) { mIsStatic = isStatic; }

        /** Attribute names of the logic mesh kinds, in LogicKind order. */
        static const char* logicAttribute(LogicKind kind);

    private:
        std::string mLogic[LOGIC_KIND_COUNT];
        std::vector<SubMesh> mSubMeshes;
        std::vector<EffectRecord> mEffects;
        std::vector<StrikeItem> mStrikeItems;
        bool mFadeBetweenLODs = false;
        bool mFade = true;
        bool mCastShadows = false;
        bool mIsStatic = false;
        bool mLogicObjectExists = false;
    };
}

#endif
