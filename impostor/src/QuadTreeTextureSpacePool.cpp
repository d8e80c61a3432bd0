#include "QuadTreeTextureSpacePool.h"

namespace Ogre
{
    QuadTreeTextureSpacePool::~QuadTreeTextureSpacePool() { clear(); }

    QuadTreeTextureSpacePool& QuadTreeTextureSpacePool::getSingleton()
    {
        static QuadTreeTextureSpacePool pool;
        return pool;
    }

    QuadTreeTextureSpace* QuadTreeTextureSpacePool::allocateNewElement()
    {
        return new QuadTreeTextureSpace();
    }

    void QuadTreeTextureSpacePool::destroyElement(QuadTreeTextureSpace* element) { delete element; }
}
