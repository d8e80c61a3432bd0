#ifndef __WrenWorldGeneratorRandom_H__
#define __WrenWorldGeneratorRandom_H__

#include <cstdint>
#include <random>

namespace Wren
{
    /** The random numbers of the world generator.

        The engine is std::mt19937, whose output the C++ standard fixes; the
        distributions are our own, because those of the standard library
        differ between implementations. So one seed gives the same world
        with every compiler and library.
    */
    class WorldGeneratorRandom
    {
    public:
        explicit WorldGeneratorRandom(std::uint32_t seed) : mEngine(seed) {}

        /** The next raw 32-bit output of the engine. */
        std::uint32_t next() { return static_cast<std::uint32_t>(mEngine()); }
        /** A float in [0, 1) from the top 24 bits of one output, so every
            value is exact in single precision. */
        float unit();
        /** A float in [low, high); low itself when high <= low. */
        float uniform(float low, float high);
        /** An integer in [0, count), without modulo bias; 0 when count is 0. */
        std::uint32_t below(std::uint32_t count);

    private:
        std::mt19937 mEngine;
    };
}

#endif
