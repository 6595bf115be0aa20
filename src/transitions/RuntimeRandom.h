#pragma once

#include <cstdint>

// The run time's uniform generator. The program has one, shared(): the slide show
// re-seeds it before each random draw and RandomLines shuffles with it. Tests make
// their own instances for repeatable sequences.
class RuntimeRandom
{
public:
    explicit RuntimeRandom(std::uint64_t state = 0x853C49E6748FEA9BULL) : state_(state) {}

    [[nodiscard]] static RuntimeRandom &shared();

    // Uniform on [0, 1).
    [[nodiscard]] double Rnd();
    // Mixes the seed into the current state rather than replacing it, so equal seeds
    // given at different times still continue different sequences.
    void Randomize(std::int64_t seed);

private:
    std::uint64_t state_;
};
