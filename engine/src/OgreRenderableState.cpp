#include "OgreRenderableState.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

#include <map>

namespace Ogre
{
    namespace
    {
        struct SpecificState
        {
            MaterialPtr original;
            MaterialPtr clone;
            Real opacity = 1;
        };

        std::map<const SubEntity*, SpecificState>& states()
        {
            static std::map<const SubEntity*, SpecificState> map;
            return map;
        }

        const char* const kViewRangeScale = "Wren/ViewRangeScale";
        const char* const kFarDistLevel = "Wren/FarDistLevel";
        const char* const kRenderableType = "Wren/RenderableType";
        const char* const kStaticCulling = "Wren/StaticCulling";
        const char* const kOccluder = "Wren/Occluder";

        // Sub-entities carry no user bindings of their own; their far level
        // lives in custom parameter 1.
        const size_t kFarDistParameter = 1;

        template <typename T>
        T readAny(const UserObjectBindings& bindings, const char* key, T fallback)
        {
            const Any& any = bindings.getUserAny(key);
            if (any.has_value())
                return any_cast<T>(any);
            return fallback;
        }

        void applyOpacity(const MaterialPtr& material, Real opacity)
        {
            for (unsigned short t = 0; t < material->getNumTechniques(); ++t)
            {
                Technique* technique = material->getTechnique(t);
                for (unsigned short p = 0; p < technique->getNumPasses(); ++p)
                {
                    Pass* pass = technique->getPass(p);
                    pass->setSceneBlending(SBF_SOURCE_ALPHA, SBF_ONE_MINUS_SOURCE_ALPHA);
                    pass->setDepthWriteEnabled(false);
                    ColourValue diffuse = pass->getDiffuse();
                    diffuse.a = opacity;
                    pass->setDiffuse(diffuse);
                }
            }
        }
    }

    void RenderableState::CreateSpecificState(SubEntity* sub, Real opacity)
    {
        if (!sub)
            return;
        sub->setCustomParameter(0, Vector4(opacity, opacity, opacity, opacity));
        auto it = states().find(sub);
        if (it == states().end())
        {
            MaterialPtr original = sub->getMaterial();
            if (!original)
                return;
            static unsigned long counter = 0;
            SpecificState state;
            state.original = original;
            state.clone = original->clone(original->getName() + "/State/" +
                                          StringConverter::toString(++counter));
            state.clone->load();
            sub->setMaterial(state.clone);
            it = states().emplace(sub, state).first;
        }
        it->second.opacity = opacity;
        applyOpacity(it->second.clone, opacity);
    }

    void RenderableState::clearSpecificState(SubEntity* sub)
    {
        if (!sub)
            return;
        sub->setCustomParameter(0, Vector4(1, 1, 1, 1));
        auto it = states().find(sub);
        if (it == states().end())
            return;
        sub->setMaterial(it->second.original);
        MaterialManager::getSingleton().remove(it->second.clone);
        states().erase(it);
    }

    bool RenderableState::hasSpecificState(const SubEntity* sub)
    {
        return states().count(sub) != 0;
    }

    void RenderableState::releaseEntity(Entity* entity)
    {
        if (!entity)
            return;
        for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
            clearSpecificState(entity->getSubEntity(i));
    }

    size_t RenderableState::getSpecificStateCount() { return states().size(); }

    bool RenderableState::hasAlphaRejection(const SubEntity* sub)
    {
        if (!sub)
            return false;
        const MaterialPtr& material = sub->getMaterial();
        if (!material || material->getNumTechniques() == 0 ||
            material->getTechnique(0)->getNumPasses() == 0)
            return false;
        return material->getTechnique(0)->getPass(0)->getAlphaRejectFunction() !=
               CMPF_ALWAYS_PASS;
    }

    Real RenderableState::getOpacity(const SubEntity* sub)
    {
        auto it = states().find(sub);
        return it == states().end() ? Real(1) : it->second.opacity;
    }

    void RenderableState::SetViewRangeScale(Entity* entity, Real scale)
    {
        if (!entity)
            return;
        const Real old = GetViewRangeScale(entity);
        entity->getUserObjectBindings().setUserAny(kViewRangeScale, Any(scale));
        const Real distance = entity->getRenderingDistance();
        if (distance > 0 && old > 0)
            entity->setRenderingDistance(distance / old * scale);
    }

    Real RenderableState::GetViewRangeScale(const Entity* entity)
    {
        return entity ? readAny<Real>(const_cast<Entity*>(entity)->getUserObjectBindings(),
                                      kViewRangeScale, Real(1))
                      : Real(1);
    }

    void RenderableState::SetFarDistLevel(SubEntity* sub, int level)
    {
        if (sub)
            sub->setCustomParameter(kFarDistParameter, Vector4(Real(level), 0, 0, 0));
    }

    int RenderableState::GetFarDistLevel(const SubEntity* sub)
    {
        if (!sub || !sub->hasCustomParameter(kFarDistParameter))
            return 0;
        return int(sub->getCustomParameter(kFarDistParameter).x);
    }

    void RenderableState::setRenderableType(Entity* entity, int type)
    {
        if (entity)
            entity->getUserObjectBindings().setUserAny(kRenderableType, Any(type));
    }

    int RenderableState::getRenderableType(const Entity* entity)
    {
        return entity ? readAny<int>(const_cast<Entity*>(entity)->getUserObjectBindings(),
                                     kRenderableType, 0)
                      : 0;
    }

    void RenderableState::setStaticCulling(SceneNode* node, bool on)
    {
        if (node)
            node->getUserObjectBindings().setUserAny(kStaticCulling, Any(on));
    }

    bool RenderableState::getStaticCulling(const SceneNode* node)
    {
        return node ? readAny<bool>(const_cast<SceneNode*>(node)->getUserObjectBindings(),
                                    kStaticCulling, false)
                    : false;
    }

    void RenderableState::setOccluder(SceneNode* node, bool on)
    {
        if (node)
            node->getUserObjectBindings().setUserAny(kOccluder, Any(on));
    }

    bool RenderableState::getOccluder(const SceneNode* node)
    {
        return node ? readAny<bool>(const_cast<SceneNode*>(node)->getUserObjectBindings(),
                                    kOccluder, false)
                    : false;
    }
}
