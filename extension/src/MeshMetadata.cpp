#include "MeshMetadata.h"

#include "DataElement.h"
#include "MaterialDefinition.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreSubEntity.h>

namespace Wren
{
    MeshMetadata::MeshMetadata(const std::string& id, CoreGameObjectManager* manager)
        : CoreMetadata(id, manager)
    {
    }

    MeshMetadata::~MeshMetadata() {}

    const char* MeshMetadata::logicAttribute(LogicKind kind)
    {
        static const char* const names[LOGIC_KIND_COUNT] = {
            "LogicHighMesh", "LogicUnderGroundHighMesh", "LogicObsMesh", "LogicFlyObsMesh",
            "HeightFragmentMesh"};
        return names[kind];
    }

    bool MeshMetadata::acceptSubMesh(const std::string& mesh, std::string& high,
                                     std::string& low, int sizeHint)
    {
        if (!mesh.empty())
        {
            if (high.empty())
                high = mesh;
            if (low.empty())
                low = mesh;
            return true;
        }
        if (high.empty())
            return false;
        if (low.empty() && (sizeHint == SIZE_VERY_LARGE || sizeHint == SIZE_LARGE ||
                            sizeHint == SIZE_MEDIUM))
            return false;
        return true;
    }

    bool MeshMetadata::load(DataElementPtr& root)
    {
        if (!CoreMetadata::load(root))
            return false;
        DataElementPtr meshData = root->getFirstChild("MeshData");
        if (meshData->getIsEmpty())
            return false;

        mFadeBetweenLODs = meshData->getAttributeBool("FadeBetweenLODs", mFadeBetweenLODs);
        mFade = meshData->getAttributeBool("Fade", mFade);
        mCastShadows = meshData->getAttributeBool("CastShadows", mCastShadows);
        mIsStatic = meshData->getAttributeBool("IsStatic", mIsStatic);
        const std::string previousObstacle = mLogic[LOGIC_OBSTACLE];
        for (int k = 0; k < LOGIC_KIND_COUNT; ++k)
            mLogic[k] = meshData->getAttributeString(logicAttribute(LogicKind(k)), mLogic[k]);
        // The obstacle mesh is what the objects collide by. A name set by
        // code is kept unless a file names an obstacle mesh; one taken from
        // an earlier load follows the file.
        if (!mLogic[LOGIC_OBSTACLE].empty() || getCollisionShapeName() == previousObstacle)
            setCollisionShapeName(mLogic[LOGIC_OBSTACLE]);

        mSubMeshes.clear();
        for (DataElementPtr e = meshData->getFirstChild("SubMeshData"); !e->getIsEmpty();
             e = e->getNextSibling("SubMeshData"))
        {
            SubMesh sub;
            sub.mesh = e->getAttributeString("Mesh", "");
            sub.highLODMesh = e->getAttributeString("HighLODMesh", "");
            sub.lowLODMesh = e->getAttributeString("LowLODMesh", "");
            for (int k = 0; k < LOGIC_KIND_COUNT; ++k)
                sub.logic[k] = e->getAttributeString(logicAttribute(LogicKind(k)), "");
            sub.surfaceSoundType = e->getAttributeInt("SurfaceSoundType", 0);
            DataElementPtr legacy = e->getFirstChild("MaterialData");
            if (!legacy->getIsEmpty())
                sub.legacyMaterialName = legacy->getAttributeString("MatName", "");
            if (!acceptSubMesh(sub.mesh, sub.highLODMesh, sub.lowLODMesh, getSizeHint()))
                continue;
            for (DataElementPtr m = e->getFirstChild("Material"); !m->getIsEmpty();
                 m = m->getNextSibling("Material"))
            {
                MaterialOverride material;
                material.managed = m->getAttributeBool("Managed", true);
                material.subIndex = m->getAttributeInt("SubIndex", 0);
                material.materialName = m->getAttributeString("MatName", "");
                sub.materials.push_back(material);
            }
            mSubMeshes.push_back(sub);
        }
        mLogicObjectExists = checkExistLogicObj();

        // A template read again keeps nothing of its earlier effects.
        mEffects.clear();
        mStrikeItems.clear();
        DataElementPtr effects = meshData->getFirstChild("DefaultEffectData");
        if (effects->getIsEmpty())
            return true;
        for (DataElementPtr e = effects->getFirstChild("EffectData"); !e->getIsEmpty();
             e = e->getNextSibling("EffectData"))
        {
            EffectRecord effect;
            effect.effectName = e->getAttributeString("EffectName", "");
            effect.boneName = e->getAttributeString("BoneName", "");
            effect.offsetPosition = e->getAttributeVector3("OffsetPos", Ogre::Vector3::ZERO);
            effect.offsetOrientation =
                e->getAttributeQuaternion("OffsetOrient", Ogre::Quaternion::IDENTITY);
            effect.derivedOrientation = e->getAttributeBool("DerivedOrientation", true);
            effect.derivedScale = e->getAttributeBool("DerivedScale", true);
            effect.boundToBone = e->getAttributeBool("BoundToBone", false);
            mEffects.push_back(effect);
        }
        DataElementPtr strikes = root->getFirstChild("StrikeData");
        if (!strikes->getIsEmpty())
            for (DataElementPtr e = strikes->getFirstChild("StrikeItem"); !e->getIsEmpty();
                 e = e->getNextSibling("StrikeItem"))
            {
                StrikeItem item;
                item.strikeName = e->getAttributeString("StrikeName", "");
                item.offsetOrientation =
                    e->getAttributeQuaternion("OffsetOrient", Ogre::Quaternion::IDENTITY);
                item.offsetPosition = e->getAttributeVector3("OffsetPos", Ogre::Vector3::ZERO);
                mStrikeItems.push_back(item);
            }
        return true;
    }

    bool MeshMetadata::save(DataElementPtr& root)
    {
        if (!CoreMetadata::save(root))
            return false;
        DataElementPtr meshData = root->createChild("MeshData");
        meshData->setAttributeBool("FadeBetweenLODs", mFadeBetweenLODs);
        meshData->setAttributeBool("Fade", mFade);
        meshData->setAttributeBool("CastShadows", mCastShadows);
        meshData->setAttributeBool("IsStatic", mIsStatic);
        static const LogicKind writeOrder[LOGIC_KIND_COUNT] = {
            LOGIC_HIGH, LOGIC_OBSTACLE, LOGIC_UNDERGROUND_HIGH, LOGIC_FLY_OBSTACLE,
            LOGIC_HEIGHT_FRAGMENT};
        for (LogicKind k : writeOrder)
            meshData->setAttributeString(logicAttribute(k), mLogic[k]);
        for (const SubMesh& sub : mSubMeshes)
        {
            DataElementPtr e = meshData->createChild("SubMeshData");
            e->setAttributeString("Mesh", sub.mesh);
            e->setAttributeString("HighLODMesh", sub.highLODMesh);
            e->setAttributeString("LowLODMesh", sub.lowLODMesh);
            e->setAttributeString("LogicHighMesh", sub.logic[LOGIC_HIGH]);
            e->setAttributeString("LogicUnderGroundHighMesh", sub.logic[LOGIC_UNDERGROUND_HIGH]);
            e->setAttributeString("LogicObsMesh", sub.logic[LOGIC_OBSTACLE]);
            e->setAttributeString("LogicFlyObsMesh", sub.logic[LOGIC_FLY_OBSTACLE]);
            e->setAttributeString("HeightFragmentMesh", sub.logic[LOGIC_HEIGHT_FRAGMENT]);
            e->setAttributeInt("SurfaceSoundType", sub.surfaceSoundType);
            for (const MaterialOverride& material : sub.materials)
            {
                DataElementPtr m = e->createChild("Material");
                m->setAttributeBool("Managed", material.managed);
                m->setAttributeInt("SubIndex", material.subIndex);
                m->setAttributeString("MatName", material.materialName);
            }
        }
        DataElementPtr effects = meshData->createChild("DefaultEffectData");
        for (const EffectRecord& effect : mEffects)
        {
            DataElementPtr e = effects->createChild("EffectData");
            e->setAttributeString("EffectName", effect.effectName);
            e->setAttributeString("BoneName", effect.boneName);
            e->setAttributeVector3("OffsetPos", effect.offsetPosition);
            e->setAttributeQuaternion("OffsetOrient", effect.offsetOrientation);
            e->setAttributeBool("DerivedOrientation", effect.derivedOrientation);
            e->setAttributeBool("DerivedScale", effect.derivedScale);
            e->setAttributeBool("BoundToBone", effect.boundToBone);
        }
        DataElementPtr strikes = root->createChild("StrikeData");
        for (const StrikeItem& item : mStrikeItems)
        {
            DataElementPtr e = strikes->createChild("StrikeItem");
            e->setAttributeString("StrikeName", item.strikeName);
            e->setAttributeQuaternion("OffsetOrient", item.offsetOrientation);
            e->setAttributeVector3("OffsetPos", item.offsetPosition);
        }
        return true;
    }

    bool MeshMetadata::checkExistLogicObj() const
    {
        for (int k = 0; k < LOGIC_KIND_COUNT; ++k)
        {
            if (!mLogic[k].empty())
                return true;
            for (const SubMesh& sub : mSubMeshes)
                if (!sub.logic[k].empty())
                    return true;
        }
        return false;
    }

    std::vector<std::string> MeshMetadata::getMeshNames(int level) const
    {
        std::vector<std::string> names;
        for (const SubMesh& sub : mSubMeshes)
            names.push_back(level == LOD_HIGH ? sub.highLODMesh : sub.lowLODMesh);
        return names;
    }

    void MeshMetadata::applyMaterials(size_t index, Ogre::Entity* entity, bool lowDetail) const
    {
        if (!entity || index >= mSubMeshes.size())
            return;
        for (const MaterialOverride& material : mSubMeshes[index].materials)
        {
            if (material.subIndex < 0 || size_t(material.subIndex) >= entity->getNumSubEntities())
                continue;
            Ogre::MaterialPtr m =
                material.managed
                    ? MaterialDefinition::getManagedMaterial(material.materialName, lowDetail)
                    : Ogre::MaterialManager::getSingleton().getByName(material.materialName);
            if (m)
                entity->getSubEntity(material.subIndex)->setMaterial(m);
        }
    }

    const MeshMetadata::StrikeItem* MeshMetadata::findStrikeItem(const std::string& name) const
    {
        for (const StrikeItem& item : mStrikeItems)
            if (item.strikeName == name)
                return &item;
        return nullptr;
    }
}
