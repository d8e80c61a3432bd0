#ifndef __WrenPoolSet_H__
#define __WrenPoolSet_H__

#include "WrenImpostorPrerequisites.h"

#include <algorithm>
#include <list>
#include <vector>

namespace Ogre
{
    /** A pool of reusable elements: elements are made once, handed out with
        getFree and taken back with release, and destroyed only by clear.

        A derived pool says how an element is made and destroyed. Because the
        base destructor can not call those, every derived destructor must
        call clear().

        Callers may rely on:
        - getFree hands out the element at the front of the free list and
          puts it at the back of the active list;
        - an empty free list grows the pool (when auto-extend is on) to
          count x growth factor elements, or count + 1 when that is not
          larger; with auto-extend off getFree returns null instead;
        - release takes back only elements that are active; anything else
          is refused, so no element is ever handed out twice.
    */
    template <typename T>
    class PoolSet
    {
    public:
        typedef std::list<T*> ElementList;

        explicit PoolSet(bool autoExtend = false, float growthFactor = 2.0f)
            : mAutoExtend(autoExtend), mGrowthFactor(growthFactor)
        {
        }

        virtual ~PoolSet() {}

        /** An element that is not in use, now marked active; null when none
            is free and auto-extend is off. */
        T* getFree()
        {
            if (mFree.empty())
            {
                if (!mAutoExtend)
                    return nullptr;
                reserve(grownCount(mCount, mGrowthFactor));
                if (mFree.empty())
                    return nullptr;
            }
            T* element = mFree.front();
            mFree.pop_front();
            mActive.push_back(element);
            return element;
        }

        /** Takes an active element back; false (and nothing changes) when the
            element is not active in this pool. */
        bool release(T* element)
        {
            typename ElementList::iterator it = std::find(mActive.begin(), mActive.end(), element);
            if (it == mActive.end())
                return false;
            mActive.erase(it);
            mFree.push_back(element);
            return true;
        }

        /** Makes elements until the pool holds count of them; never shrinks.
            The new elements are free. */
        void reserve(int count)
        {
            while (mCount < count)
            {
                T* element = allocateNewElement();
                if (!element)
                    return;
                mAll.push_back(element);
                mFree.push_back(element);
                ++mCount;
            }
        }

        /** Destroys every element, active or free. */
        void clear()
        {
            for (T* element : mAll)
                destroyElement(element);
            mAll.clear();
            mActive.clear();
            mFree.clear();
            mCount = 0;
        }

        void setAutoExtend(bool autoExtend) { mAutoExtend = autoExtend; }
        bool getAutoExtend() const { return mAutoExtend; }
        void setGrowthFactor(float factor) { mGrowthFactor = factor; }
        float getGrowthFactor() const { return mGrowthFactor; }

        /** Number of elements the pool holds. */
        int getCount() const { return mCount; }
        size_t getActiveCount() const { return mActive.size(); }
        size_t getFreeCount() const { return mFree.size(); }
        const ElementList& getActiveList() const { return mActive; }

        /** The size a pool of count elements grows to. */
        static int grownCount(int count, float growthFactor)
        {
            float grown = static_cast<float>(count) * growthFactor;
            // The comparison is false for NaN as well.
            if (!(grown > static_cast<float>(count)))
                return count + 1;
            return std::max(count + 1, static_cast<int>(grown));
        }

    protected:
        virtual T* allocateNewElement() = 0;
        virtual void destroyElement(T* element) = 0;

        ElementList mActive;
        ElementList mFree;
        std::vector<T*> mAll;
        int mCount = 0;
        bool mAutoExtend;
        float mGrowthFactor;
    };
}

#endif
