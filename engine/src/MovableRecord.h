#ifndef __WrenMovableRecord_H__
#define __WrenMovableRecord_H__

#include <OgreAny.h>
#include <OgreMovableObject.h>

#include <array>
#include <memory>
#include <vector>

namespace Ogre
{
    class UserDefinedObject;

    /** What the engine facilities keep of one movable (UserDefinedObject's
        binding, RenderableState's culling hints of an entity and its
        sub-entities), held in the key-less slot of its user-object
        bindings: one record, so that an entity pays for one binding, not
        one per thing it carries. */
    struct MovableRecord
    {
        std::weak_ptr<UserDefinedObject*> owner;
        Real viewRangeScale = 1;
        int renderableType = 0;
        /** Far-distance levels by sub-entity index; those beyond the first
            few in farDistMore. 0 where never set. */
        std::array<int, 4> farDist{};
        std::vector<int> farDistMore;

        int getFarDist(size_t index) const
        {
            if (index < farDist.size())
                return farDist[index];
            index -= farDist.size();
            return index < farDistMore.size() ? farDistMore[index] : 0;
        }
        void setFarDist(size_t index, int level)
        {
            if (index < farDist.size())
            {
                farDist[index] = level;
                return;
            }
            index -= farDist.size();
            if (farDistMore.size() <= index)
                farDistMore.resize(index + 1, 0);
            farDistMore[index] = level;
        }

        /** The record of movable; null when it has none. */
        static const MovableRecord* of(const MovableObject* movable)
        {
            return movable ? any_cast<MovableRecord>(&movable->getUserObjectBindings().getUserAny())
                           : nullptr;
        }
        /** The record of movable, made when it has none. */
        static MovableRecord& obtain(MovableObject* movable)
        {
            if (const MovableRecord* record = of(movable))
                return const_cast<MovableRecord&>(*record);
            movable->getUserObjectBindings().setUserAny(Any(MovableRecord()));
            return const_cast<MovableRecord&>(*of(movable));
        }
    };
}

#endif
