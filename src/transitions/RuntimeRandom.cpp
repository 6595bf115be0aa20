#include "transitions/RuntimeRandom.h"

namespace {

// SplitMix64's output mix: every input bit affects every output bit.
std::uint64_t Mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}

RuntimeRandom &RuntimeRandom::shared()
{
    static RuntimeRandom random;
    return random;
}

double RuntimeRandom::Rnd()
{
    state_ += 0x9E3779B97F4A7C15ULL;
    // The top 53 bits fill a double's mantissa exactly, so 1.0 is never reached.
    return static_cast<double>(Mix(state_) >> 11) * 0x1.0p-53;
}

void RuntimeRandom::Randomize(std::int64_t seed)
{
    state_ ^= Mix(static_cast<std::uint64_t>(seed) + 0x632BE59BD9B4E019ULL);
}
