// The pseudo-random generator a drill draws its sets from: a 32-bit linear congruential generator.
#pragma once

#include <cstdint>

class RandomGenerator
{
public:
    // A whole number from 0 to n - 1, for n >= 1.
    std::uint32_t Random(std::uint32_t n)
    {
        seed = seed * Multiplier + 1u;
        return drawnFrom(seed, n);
    }

    static constexpr std::uint32_t Multiplier = 134775813u;

    // What Random(n) gives once the seed has become the one given.
    static constexpr std::uint32_t drawnFrom(std::uint32_t seed, std::uint32_t n)
    {
        return static_cast<std::uint32_t>((std::uint64_t { seed } * n) >> 32);
    }

    // Milliseconds since midnight UTC: two seedings in the same millisecond replay a set.
    void seedFromClock();
    static std::uint32_t clockSeed(int hour, int minute, int second, int millisecond);

    std::uint32_t seed = 0;
};
