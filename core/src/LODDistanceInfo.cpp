#include "LODDistanceInfo.h"

namespace Wren
{
    namespace
    {
        typedef float LODDistanceInfo::*Entry;

        const Entry gEntries[LODDistanceInfo::COUNT] = {
            &LODDistanceInfo::sizeSmallLODHighDistanceSquared,
            &LODDistanceInfo::sizeMediumLODHighDistanceSquared,
            &LODDistanceInfo::sizeMediumLODLowDistanceSquared,
            &LODDistanceInfo::sizeLargeLODHighDistanceSquared,
            &LODDistanceInfo::sizeLargeLODMediumDistanceSquared,
            &LODDistanceInfo::sizeLargeLODLowDistanceSquared,
            &LODDistanceInfo::sizeVeryLargeLODHighDistanceSquared,
            &LODDistanceInfo::sizeVeryLargeLODMediumDistanceSquared,
            &LODDistanceInfo::sizeVeryLargeLODLowDistanceSquared,
            &LODDistanceInfo::sizeVeryLargeLODExtraDistanceSquared};

        LevelOfDetail byThresholds(float d2, float low, float hidden)
        {
            if (d2 > low)
                return d2 > hidden ? LOD_BEYOND_HINT : LOD_LOW;
            return LOD_HIGH;
        }
    }

    float LODDistanceInfo::get(std::size_t index) const
    {
        return index < COUNT ? this->*gEntries[index] : 0.0f;
    }

    void LODDistanceInfo::set(std::size_t index, float value)
    {
        if (index < COUNT)
            this->*gEntries[index] = value;
    }

    LODDistanceInfo LODDistanceInfo::scaled(float factor) const
    {
        LODDistanceInfo result;
        for (std::size_t i = 0; i < COUNT; ++i)
            result.set(i, get(i) * factor * factor);
        return result;
    }

    LevelOfDetail LODDistanceInfo::levelOfDetailFor(int sizeHint, float d2, float fogLevel,
                                                    float customLodSwitchDistanceSquared,
                                                    float customHintDistanceSquared,
                                                    LevelOfDetail current) const
    {
        switch (sizeHint)
        {
        case SIZE_VERY_LARGE:
            return byThresholds(d2, sizeVeryLargeLODHighDistanceSquared,
                                sizeVeryLargeLODLowDistanceSquared);
        case SIZE_LARGE:
            return byThresholds(d2, sizeLargeLODHighDistanceSquared, sizeLargeLODLowDistanceSquared);
        case SIZE_MEDIUM:
            return byThresholds(d2, sizeMediumLODHighDistanceSquared,
                                sizeMediumLODLowDistanceSquared);
        case SIZE_SMALL:
            return d2 > sizeSmallLODHighDistanceSquared ? LOD_BEYOND_HINT : LOD_HIGH;
        case SIZE_CUSTOM:
        {
            const float fog2 = fogLevel * fogLevel;
            return byThresholds(d2, customLodSwitchDistanceSquared * fog2,
                                customHintDistanceSquared * fog2);
        }
        default:
            return current;
        }
    }
}
