#include "QuadTreeTextureSpace.h"

#include "QuadTreeTextureSpacePool.h"

#include <OgreLogManager.h>
#include <OgreStringConverter.h>

namespace Ogre
{
    namespace
    {
        const int kVisitOrder[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};

        void logError(const String& message)
        {
            if (LogManager* logs = LogManager::getSingletonPtr())
                logs->logMessage("QuadTreeTextureSpace: " + message, LML_CRITICAL);
        }

        std::uint64_t areaOf(unsigned int size)
        {
            return static_cast<std::uint64_t>(size) * size;
        }
    }

    QuadTreeTextureSpace::QuadTreeTextureSpace()
    {
        for (auto& row : mChildren)
            row[0] = row[1] = nullptr;
    }

    QuadTreeTextureSpace::~QuadTreeTextureSpace() {}

    void QuadTreeTextureSpace::init(int x, int y, unsigned int size, QuadTreeTextureSpace* parent)
    {
        releaseChildren();
        mX = x;
        mY = y;
        mSize = size;
        mHalfSize = size / 2;
        mOccupied = false;
        mOccupiedChildren = 0;
        mOccupiedDescendants = 0;
        mFreeArea = areaOf(size);
        mParent = parent;
    }

    bool QuadTreeTextureSpace::isValidRegionSize(unsigned int size, unsigned int squareSize)
    {
        return size >= 1 && (size & (size - 1)) == 0 && size < squareSize;
    }

    QuadTreeTextureSpace* QuadTreeTextureSpace::allocate(unsigned int size)
    {
        if (!isValidRegionSize(size, mSize))
        {
            logError("refused a region of " + StringConverter::toString(size) +
                     " texels in a square of " + StringConverter::toString(mSize) +
                     ": regions are powers of two smaller than the square");
            return nullptr;
        }
        return allocateBelow(size);
    }

    QuadTreeTextureSpace* QuadTreeTextureSpace::allocateBelow(unsigned int size)
    {
        if (mOccupied || mFreeArea < areaOf(size))
            return nullptr;

        if (size != mHalfSize)
        {
            for (const auto& ij : kVisitOrder)
            {
                QuadTreeTextureSpace* child = mChildren[ij[0]][ij[1]];
                if (!child)
                {
                    child = makeChild(ij[0], ij[1]);
                    return child ? child->allocateBelow(size) : nullptr;
                }
                if (child->mOccupied)
                    continue;
                if (child->isCompletelyEmpty())
                    child->releaseChildren();
                if (QuadTreeTextureSpace* region = child->allocateBelow(size))
                    return region;
            }
            return nullptr;
        }

        if (mOccupiedChildren >= 4)
            return nullptr;
        for (const auto& ij : kVisitOrder)
        {
            QuadTreeTextureSpace* child = mChildren[ij[0]][ij[1]];
            if (!child)
            {
                child = makeChild(ij[0], ij[1]);
                if (!child)
                    return nullptr;
            }
            else if (child->isCompletelyEmpty())
            {
                child->releaseChildren();
            }
            else
            {
                continue;
            }
            occupyChild(child);
            return child;
        }
        return nullptr;
    }

    QuadTreeTextureSpace* QuadTreeTextureSpace::makeChild(int i, int j)
    {
        QuadTreeTextureSpace* child = QuadTreeTextureSpacePool::getSingleton().getFree();
        if (!child)
        {
            logError("the node pool is exhausted and may not grow");
            return nullptr;
        }
        child->init(mX + i * static_cast<int>(mHalfSize), mY + j * static_cast<int>(mHalfSize),
                    mHalfSize, this);
        mChildren[i][j] = child;
        return child;
    }

    void QuadTreeTextureSpace::occupyChild(QuadTreeTextureSpace* child)
    {
        const std::uint64_t area = areaOf(child->mSize);
        child->mOccupied = true;
        child->mFreeArea = 0;
        ++mOccupiedChildren;
        for (QuadTreeTextureSpace* node = this; node; node = node->mParent)
            node->mFreeArea -= area;
        for (QuadTreeTextureSpace* node = mParent; node; node = node->mParent)
            ++node->mOccupiedDescendants;
    }

    bool QuadTreeTextureSpace::freeRegion(QuadTreeTextureSpace* region)
    {
        if (!region || !region->mOccupied || !region->mParent)
            return false;
        QuadTreeTextureSpace* parent = region->mParent;
        const int i = region->mX >= parent->mX + static_cast<int>(parent->mHalfSize) ? 1 : 0;
        const int j = region->mY >= parent->mY + static_cast<int>(parent->mHalfSize) ? 1 : 0;
        if (parent->mChildren[i][j] != region)
        {
            logError("a region does not sit where its parent expects it; not freed");
            return false;
        }

        const std::uint64_t area = areaOf(region->mSize);
        --parent->mOccupiedChildren;
        for (QuadTreeTextureSpace* node = parent; node; node = node->mParent)
            node->mFreeArea += area;
        for (QuadTreeTextureSpace* node = parent->mParent; node; node = node->mParent)
            --node->mOccupiedDescendants;
        parent->mChildren[i][j] = nullptr;
        region->mOccupied = false;
        region->mParent = nullptr;
        QuadTreeTextureSpacePool::getSingleton().release(region);
        return true;
    }

    void QuadTreeTextureSpace::reset()
    {
        if (mParent)
        {
            logError("only a root can be reset");
            return;
        }
        releaseChildren();
        mOccupied = false;
        mFreeArea = areaOf(mSize);
    }

    void QuadTreeTextureSpace::releaseChildren()
    {
        QuadTreeTextureSpacePool* pool = nullptr;
        for (auto& row : mChildren)
        {
            for (QuadTreeTextureSpace*& child : row)
            {
                if (!child)
                    continue;
                child->releaseChildren();
                child->mOccupied = false;
                child->mParent = nullptr;
                if (!pool)
                    pool = &QuadTreeTextureSpacePool::getSingleton();
                pool->release(child);
                child = nullptr;
            }
        }
        mOccupiedChildren = 0;
        mOccupiedDescendants = 0;
        if (!mOccupied)
            mFreeArea = areaOf(mSize);
    }
}
