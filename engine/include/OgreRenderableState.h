#ifndef __WrenOgreRenderableState_H__
#define __WrenOgreRenderableState_H__

#include "WrenEnginePrerequisites.h"

#include <OgreColourValue.h>
#include <OgreMaterial.h>

namespace Ogre
{
    class Entity;
    class SceneNode;
    class SubEntity;

    /** Per-renderable render states and culling hints on stock OGRE.

        A specific state lets one sub-entity show its material differently
        without touching the material that other sub-entities share: faded
        (source-alpha / one-minus-source-alpha blending, depth writing off,
        diffuse alpha = opacity) and or drawn as wireframe. While either is
        on, the sub-entity shows a clone of its own material (named after it
        with "/State/" and a number) that carries them; when both are off the
        own material is back and the clone is removed. The own material stays
        what setMaterial and getMaterial see, so that changing it, or editing
        it and calling refreshMaterial, takes effect under a running state
        and outlives it. Custom parameter 0 of the sub-entity carries the
        opacity as (a, a, a, a) for shaders that read it.

        The state lives in the sub-entity's own user-object bindings: a new
        sub-entity never inherits the state of a destroyed one, and a
        sub-entity destroyed with its state still on takes the clone with it.

        The view-range scale, far-distance level, renderable type, static
        culling and occluder flags are kept with the entity (in one record
        for it and its sub-entities, beside its user object) or the node
        they describe and read back by the getters; stock OGRE has no
        use of its own for them, except that a view-range scale scales an
        entity's rendering distance when one is set. Main thread only.
    */
    class WREN_ENGINE_EXPORT RenderableState
    {
    public:
        /** Fades sub at opacity (see above); custom parameter 0 becomes
            (opacity, ...). A sub-entity without material is left alone. */
        static void CreateSpecificState(SubEntity* sub, Real opacity);
        /** Ends the fade of sub and sets custom parameter 0 to (1, 1, 1, 1);
            a wireframe state stays. */
        static void clearSpecificState(SubEntity* sub);
        /** Whether sub is faded at present. */
        static bool hasSpecificState(const SubEntity* sub);
        /** Opacity of sub: that of its fade, 1 without one. */
        static Real getOpacity(const SubEntity* sub);

        /** Draws sub as wireframe or solid, whatever its own material says. */
        static void setWireframe(SubEntity* sub, bool on);
        static bool getWireframe(const SubEntity* sub);

        /** Makes material the own material of sub, under any state it has. */
        static void setMaterial(SubEntity* sub, const MaterialPtr& material);
        /** The own material of sub (not the clone of a state). */
        static MaterialPtr getMaterial(const SubEntity* sub);
        /** The own material of sub was edited: a state shows it anew. */
        static void refreshMaterial(SubEntity* sub);

        /** Ends every state of every sub-entity of entity, each showing its
            own material again. */
        static void releaseEntity(Entity* entity);
        /** Number of states (material clones) alive, in all sub-entities. */
        static size_t getSpecificStateCount();

        /** Whether the first pass of the sub-entity's own material rejects
            by alpha (its alpha-reject function is not always-pass). */
        static bool hasAlphaRejection(const SubEntity* sub);

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
