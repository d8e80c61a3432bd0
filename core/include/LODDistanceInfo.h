#ifndef __WrenLODDistanceInfo_H__
#define __WrenLODDistanceInfo_H__

#include "GameObjectEnums.h"
#include "WrenCorePrerequisites.h"

#include <cstddef>

namespace Wren
{
    /** The table of level-of-detail distances, all squared (engine units
        squared), by size class. The partition manager keeps a base table and
        copies of it scaled by the view-range scale and by the fog level; the
        partitions compare an object's squared camera distance against the
        fog-scaled copy through levelOfDetailFor.

        Index (for get/set) and default distance of each entry:
        | 0 | small, beyond: not shown          | 10  |
        | 1 | medium, beyond: low detail        | 10  |
        | 2 | medium, beyond: not shown         | 20  |
        | 3 | large, beyond: low detail         | 15  |
        | 4 | large, medium distance (unused)   | 25  |
        | 5 | large, beyond: not shown          | 100 |
        | 6 | very large, beyond: low detail    | 25  |
        | 7 | very large, medium (unused)       | 50  |
        | 8 | very large, beyond: not shown     | 100 |
        | 9 | very large, extra (unused)        | 150 |
    */
    struct WREN_CORE_EXPORT LODDistanceInfo
    {
        static const std::size_t COUNT = 10;

        float sizeSmallLODHighDistanceSquared = 100.0f;
        float sizeMediumLODHighDistanceSquared = 100.0f;
        float sizeMediumLODLowDistanceSquared = 400.0f;
        float sizeLargeLODHighDistanceSquared = 225.0f;
        float sizeLargeLODMediumDistanceSquared = 625.0f;
        float sizeLargeLODLowDistanceSquared = 10000.0f;
        float sizeVeryLargeLODHighDistanceSquared = 625.0f;
        float sizeVeryLargeLODMediumDistanceSquared = 2500.0f;
        float sizeVeryLargeLODLowDistanceSquared = 10000.0f;
        float sizeVeryLargeLODExtraDistanceSquared = 22500.0f;

        /** Entry by index 0..9 (see the table); 0 for any other index. */
        float get(std::size_t index) const;
        /** Sets the entry of that index; other indices are ignored. */
        void set(std::size_t index, float value);

        /** A copy whose every entry is multiplied by factor squared (the
            entries are squared distances, factor scales distances). */
        LODDistanceInfo scaled(float factor) const;

        /** The level an object should have at squared camera distance
            distanceSquared. Comparisons are strict: a distance equal to a
            threshold stays on the nearer level. Small objects go straight
            from high detail to not shown. Custom objects use their own
            squared switch and hint distances, each scaled by fogLevel
            squared. An unknown size hint answers current. */
        LevelOfDetail levelOfDetailFor(int sizeHint, float distanceSquared, float fogLevel,
                                       float customLodSwitchDistanceSquared,
                                       float customHintDistanceSquared,
                                       LevelOfDetail current) const;
    };
}

#endif
