#ifndef __WrenQuadTreeTextureSpacePool_H__
#define __WrenQuadTreeTextureSpacePool_H__

#include "PoolSet.h"
#include "QuadTreeTextureSpace.h"

namespace Ogre
{
    /** The process-wide pool of quad-tree nodes: every node of every
        impostor texture below its root comes from here and goes back here.

        Fresh from the pool a node is not placed; the tree places it with
        QuadTreeTextureSpace::init. The pool starts empty with auto-extend
        off; ImpostorManager reserves nodes and turns auto-extend on. It is
        cleared only when no tree uses it any more (the last ImpostorManager
        going, or the end of the process).
    */
    class WREN_IMPOSTOR_EXPORT QuadTreeTextureSpacePool : public PoolSet<QuadTreeTextureSpace>
    {
    public:
        ~QuadTreeTextureSpacePool() override;

        static QuadTreeTextureSpacePool& getSingleton();

    protected:
        QuadTreeTextureSpace* allocateNewElement() override;
        void destroyElement(QuadTreeTextureSpace* element) override;

    private:
        QuadTreeTextureSpacePool() = default;
    };
}

#endif
