#ifndef __WrenOgreRenderableState_H__
#define __WrenOgreRenderableState_H__

#include "WrenEnginePrerequisites.h"

#include <OgreColourValue.h>

namespace Ogre
{
    class Entity;
    class SceneNode;
    class SubEntity;

    /** Per-renderable render states and culling hints on stock OGRE.

        A specific state gives one sub-entity its own blending, depth writing
        and diffuse alpha without touching the material that other
        sub-entities share: the first call clones the sub-entity's material
        (the clone is named after the original with "/State/" and a number)
        and puts the clone on the sub-entity; clearSpecificState puts the
        original back and removes the clone. Custom parameter 0 of the
        sub-entity carries the opacity as (a, a, a, a) for shaders that
        read it.

        The view-range scale, far-distance level, renderable type, static
        culling and occluder flags are kept with the entity, sub-entity or
        node they describe and read back by the getters; stock OGRE has no
        use of its own for them, except that a view-range scale scales an
        entity's rendering distance when one is set.

        Callers must clear the specific states of an entity (releaseEntity)
        before they destroy it. Main thread only.
    */
    class WREN_ENGINE_EXPORT RenderableState
    {
    public:
        /** Gives sub a state of its own: source-alpha / one-minus-source-alpha
            blending, depth writing off and diffuse alpha opacity in every
            pass; custom parameter 0 becomes (opacity, ...). A sub-entity
            without material is left alone. */
        static void CreateSpecificState(SubEntity* sub, Real opacity);
        /** Puts the sub-entity's own material back, removes the clone and
            sets custom parameter 0 to (1, 1, 1, 1). Nothing happens to a
            sub-entity without specific state, except the parameter. */
        static void clearSpecificState(SubEntity* sub);
        /** Whether sub has a specific state at present. */
        static bool hasSpecificState(const SubEntity* sub);
        /** Clears the states of every sub-entity of entity. */
        static void releaseEntity(Entity* entity);
        /** Number of sub-entities that hold a specific state, in all entities. */
        static size_t getSpecificStateCount();

        /** Whether the first pass of the sub-entity's material rejects by
            alpha (its alpha-reject function is not always-pass). */
        static bool hasAlphaRejection(const SubEntity* sub);

        /** Opacity of the sub-entity's current state: the diffuse alpha of
            its specific state, 1 without one. */
        static Real getOpacity(const SubEntity* sub);

        static void SetViewRangeScale(Entity* entity, Real scale);
        /** 1 when never set. */
        static Real GetViewRangeScale(const Entity* entity);
        static void SetFarDistLevel(SubEntity* sub, int level);
        /** 0 when never set. */
        static int GetFarDistLevel(const SubEntity* sub);
        /** 1 instanced, 2 plain. */
        static void setRenderableType(Entity* entity, int type);
        /** 0 when never set. */
        static int getRenderableType(const Entity* entity);
        static void setStaticCulling(SceneNode* node, bool on);
        static bool getStaticCulling(const SceneNode* node);
        static void setOccluder(SceneNode* node, bool on);
        static bool getOccluder(const SceneNode* node);
    };
}

#endif
