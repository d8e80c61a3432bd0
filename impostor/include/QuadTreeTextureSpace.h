#ifndef __WrenQuadTreeTextureSpace_H__
#define __WrenQuadTreeTextureSpace_H__

#include "WrenImpostorPrerequisites.h"

#include <cstdint>

namespace Ogre
{
    /** One square of a texture in the quad tree that hands out impostor
        regions.

        A root (embedded in its UniqueImpostorSet, or made by a test) covers
        the whole texture; every other node comes from the process-wide
        QuadTreeTextureSpacePool and goes back to it. Child [i][j] covers
        (x + i * half, y + j * half) with size half; children are visited in
        the order [0][0], [0][1], [1][0], [1][1].

        A region is a node marked occupied. Regions are power-of-two squares
        strictly smaller than the root, so at most four of half the root's
        size fit. Callers may rely on:
        - allocate is first fit in the visiting order above, so the same
          sequence of requests always yields the same regions;
        - no two live regions overlap;
        - a square whose regions were all freed serves a request of its own
          size again;
        - a request that is not a power of two, or not smaller than the
          square asked, is refused with null and a logged error.

        Freeing is eager for the region and lazy above it: the freed node
        goes back to the pool at once, an emptied parent when a later request
        passes through it, or when its root is reset.

        Each node keeps its exact free area in texels, so a request skips
        only subtrees that can not hold it.
    */
    class WREN_IMPOSTOR_EXPORT QuadTreeTextureSpace
    {
    public:
        QuadTreeTextureSpace();
        /** Does not give children back: a root is reset by its owner while
            the pool is alive, pool nodes are destroyed by the pool. */
        ~QuadTreeTextureSpace();

        QuadTreeTextureSpace(const QuadTreeTextureSpace&) = delete;
        QuadTreeTextureSpace& operator=(const QuadTreeTextureSpace&) = delete;

        /** Places a fresh node without children. A node that still has
            children must be reset first. */
        void init(int x, int y, unsigned int size, QuadTreeTextureSpace* parent = nullptr);

        /** A free region of size x size texels inside this square, or null
            when there is none or the size is refused. */
        QuadTreeTextureSpace* allocate(unsigned int size);

        /** Gives a region back to its tree. False (nothing changes) when
            region is null, not occupied or a root. The region's node returns
            to the pool: the pointer must not be used afterwards. */
        static bool freeRegion(QuadTreeTextureSpace* region);

        /** Gives every region and every node below this root back; the
            square is then as fresh as after init. Refused (logged) on a node
            that has a parent. */
        void reset();

        /** True when nothing at or below this node is handed out. */
        bool isCompletelyEmpty() const
        {
            return !mOccupied && mOccupiedChildren == 0 && mOccupiedDescendants == 0;
        }

        int getX() const { return mX; }
        int getY() const { return mY; }
        unsigned int getSize() const { return mSize; }
        unsigned int getHalfSize() const { return mHalfSize; }
        bool isOccupied() const { return mOccupied; }
        /** Direct children that are regions. */
        int getOccupiedChildren() const { return mOccupiedChildren; }
        /** Regions further down than the children. */
        int getOccupiedDescendants() const { return mOccupiedDescendants; }
        /** Texels at or below this node that belong to no region. */
        std::uint64_t getFreeArea() const { return mFreeArea; }
        QuadTreeTextureSpace* getChild(int i, int j) const { return mChildren[i][j]; }
        QuadTreeTextureSpace* getParent() const { return mParent; }

        /** True for a region size that a square of squareSize can hand out:
            a power of two, at least 1, smaller than squareSize. */
        static bool isValidRegionSize(unsigned int size, unsigned int squareSize);

    private:
        QuadTreeTextureSpace* allocateBelow(unsigned int size);
        QuadTreeTextureSpace* makeChild(int i, int j);
        void occupyChild(QuadTreeTextureSpace* child);
        /** Gives the subtree below this node back to the pool and makes the
            node fresh; its ancestors' counts are left alone. */
        void releaseChildren();

        int mX = 0;
        int mY = 0;
        unsigned int mSize = 0;
        unsigned int mHalfSize = 0;
        bool mOccupied = false;
        int mOccupiedChildren = 0;
        int mOccupiedDescendants = 0;
        std::uint64_t mFreeArea = 0;
        QuadTreeTextureSpace* mChildren[2][2];
        QuadTreeTextureSpace* mParent = nullptr;
    };
}

#endif
