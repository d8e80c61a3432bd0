#include "OgreRenderableState.h"

#include "MovableRecord.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

#include <memory>

namespace Ogre
{
    namespace
    {
        const char* const kState = "Wren/RenderableState";
        const char* const kStaticCulling = "Wren/StaticCulling";
        const char* const kOccluder = "Wren/Occluder";

        size_t gStateCount = 0;

        /** What one sub-entity shows in place of its own material. */
        struct SpecificState
        {
            SpecificState() { ++gStateCount; }
            ~SpecificState()
            {
                --gStateCount;
                removeClone();
            }
            SpecificState(const SpecificState&) = delete;
            SpecificState& operator=(const SpecificState&) = delete;

            void removeClone()
            {
                if (clone)
                    if (MaterialManager* materials = MaterialManager::getSingletonPtr())
                        materials->remove(clone);
                clone.reset();
            }

            MaterialPtr own;
            MaterialPtr clone;
            bool fading = false;
            Real opacity = 1;
            bool wireframe = false;
        };
        typedef std::shared_ptr<SpecificState> StatePtr;

        template <typename T>
        T readAny(const UserObjectBindings& bindings, const char* key, T fallback)
        {
            const Any& any = bindings.getUserAny(key);
            if (any.has_value())
                return any_cast<T>(any);
            return fallback;
        }

        /** The index of sub among its entity's sub-entities. */
        size_t indexOf(const SubEntity* sub)
        {
            const Entity* entity = sub->getParent();
            for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
                if (entity->getSubEntity(i) == sub)
                    return i;
            return entity->getNumSubEntities();
        }

        StatePtr stateOf(const SubEntity* sub)
        {
            return sub ? readAny<StatePtr>(sub->getUserObjectBindings(), kState, StatePtr())
                       : StatePtr();
        }

        /** The state of sub, made (holding its present material as its own)
            when it has none; null for a sub-entity without material. */
        StatePtr obtainState(SubEntity* sub)
        {
            StatePtr state = stateOf(sub);
            if (state || !sub || !sub->getMaterial())
                return state;
            state = std::make_shared<SpecificState>();
            state->own = sub->getMaterial();
            sub->getUserObjectBindings().setUserAny(kState, Any(state));
            return state;
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

        void applyWireframe(const MaterialPtr& material)
        {
            for (unsigned short t = 0; t < material->getNumTechniques(); ++t)
                for (unsigned short p = 0; p < material->getTechnique(t)->getNumPasses(); ++p)
                    material->getTechnique(t)->getPass(p)->setPolygonMode(PM_WIREFRAME);
        }

        /** Puts what the state asks for on sub: its own material when
            nothing is on (the state then goes), else a fresh clone of the own
            material carrying the fade and the wireframe. */
        void showState(SubEntity* sub, const StatePtr& state)
        {
            if (!state->fading && !state->wireframe)
            {
                sub->setMaterial(state->own);
                sub->getUserObjectBindings().eraseUserAny(kState);
                return;
            }
            static unsigned long counter = 0;
            MaterialPtr clone =
                state->own->clone(state->own->getName() + "/State/" + StringConverter::toString(++counter));
            clone->load();
            if (state->fading)
                applyOpacity(clone, state->opacity);
            if (state->wireframe)
                applyWireframe(clone);
            sub->setMaterial(clone);
            state->removeClone();
            state->clone = clone;
        }
    }

    void RenderableState::CreateSpecificState(SubEntity* sub, Real opacity)
    {
        StatePtr state = obtainState(sub);
        if (!state)
            return;
        sub->setCustomParameter(0, Vector4(opacity, opacity, opacity, opacity));
        state->opacity = opacity;
        if (state->fading)
            applyOpacity(state->clone, opacity);
        else
        {
            state->fading = true;
            showState(sub, state);
        }
    }

    void RenderableState::clearSpecificState(SubEntity* sub)
    {
        if (!sub)
            return;
        sub->setCustomParameter(0, Vector4(1, 1, 1, 1));
        StatePtr state = stateOf(sub);
        if (!state || !state->fading)
            return;
        state->fading = false;
        state->opacity = 1;
        showState(sub, state);
    }

    bool RenderableState::hasSpecificState(const SubEntity* sub)
    {
        StatePtr state = stateOf(sub);
        return state && state->fading;
    }

    Real RenderableState::getOpacity(const SubEntity* sub)
    {
        StatePtr state = stateOf(sub);
        return state && state->fading ? state->opacity : Real(1);
    }

    void RenderableState::setWireframe(SubEntity* sub, bool on)
    {
        StatePtr state = on ? obtainState(sub) : stateOf(sub);
        if (!state || state->wireframe == on)
            return;
        state->wireframe = on;
        showState(sub, state);
    }

    bool RenderableState::getWireframe(const SubEntity* sub)
    {
        StatePtr state = stateOf(sub);
        return state && state->wireframe;
    }

    void RenderableState::setMaterial(SubEntity* sub, const MaterialPtr& material)
    {
        if (!sub || !material)
            return;
        StatePtr state = stateOf(sub);
        if (!state)
        {
            sub->setMaterial(material);
            return;
        }
        state->own = material;
        showState(sub, state);
    }

    MaterialPtr RenderableState::getMaterial(const SubEntity* sub)
    {
        if (!sub)
            return MaterialPtr();
        StatePtr state = stateOf(sub);
        return state ? state->own : sub->getMaterial();
    }

    void RenderableState::refreshMaterial(SubEntity* sub)
    {
        if (StatePtr state = stateOf(sub))
            showState(sub, state);
    }

    void RenderableState::releaseEntity(Entity* entity)
    {
        if (!entity)
            return;
        for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
        {
            SubEntity* sub = entity->getSubEntity(i);
            sub->setCustomParameter(0, Vector4(1, 1, 1, 1));
            if (StatePtr state = stateOf(sub))
            {
                state->fading = false;
                state->wireframe = false;
                showState(sub, state);
            }
        }
    }

    size_t RenderableState::getSpecificStateCount() { return gStateCount; }

    bool RenderableState::hasAlphaRejection(const SubEntity* sub)
    {
        if (!sub)
            return false;
        const MaterialPtr material = getMaterial(sub);
        if (!material || material->getNumTechniques() == 0 ||
            material->getTechnique(0)->getNumPasses() == 0)
            return false;
        return material->getTechnique(0)->getPass(0)->getAlphaRejectFunction() !=
               CMPF_ALWAYS_PASS;
    }

    void RenderableState::SetViewRangeScale(Entity* entity, Real scale)
    {
        if (!entity)
            return;
        MovableRecord& record = MovableRecord::obtain(entity);
        const Real old = record.viewRangeScale;
        record.viewRangeScale = scale;
        const Real distance = entity->getRenderingDistance();
        if (distance > 0 && old > 0)
            entity->setRenderingDistance(distance / old * scale);
    }

    Real RenderableState::GetViewRangeScale(const Entity* entity)
    {
        const MovableRecord* record = MovableRecord::of(entity);
        return record ? record->viewRangeScale : Real(1);
    }

    void RenderableState::SetFarDistLevel(SubEntity* sub, int level)
    {
        if (!sub || !sub->getParent())
            return;
        MovableRecord::obtain(sub->getParent()).setFarDist(indexOf(sub), level);
    }

    int RenderableState::GetFarDistLevel(const SubEntity* sub)
    {
        const MovableRecord* record = sub ? MovableRecord::of(sub->getParent()) : nullptr;
        return record ? record->getFarDist(indexOf(sub)) : 0;
    }

    void RenderableState::setRenderableType(Entity* entity, int type)
    {
        if (entity)
            MovableRecord::obtain(entity).renderableType = type;
    }

    int RenderableState::getRenderableType(const Entity* entity)
    {
        const MovableRecord* record = MovableRecord::of(entity);
        return record ? record->renderableType : 0;
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
