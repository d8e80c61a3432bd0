#include "WorldGeneratorRandom.h"

#include <cmath>

namespace Wren
{
    float WorldGeneratorRandom::unit()
    {
        return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f);
    }

    float WorldGeneratorRandom::uniform(float low, float high)
    {
        if (!(high > low))
            return low;
        float value = low + (high - low) * unit();
        // Rounding of the product can reach high itself.
        return value < high ? value : std::nextafter(high, low);
    }

    std::uint32_t WorldGeneratorRandom::below(std::uint32_t count)
    {
        if (count == 0)
            return 0;
        // Outputs at or above the largest multiple of count are redrawn.
        const std::uint64_t range = std::uint64_t(1) << 32;
        const std::uint64_t limit = range - range % count;
        std::uint32_t value;
        do
            value = next();
        while (value >= limit);
        return value % count;
    }
}
