#include "raster/Units.h"

#include <cmath>

int RoundHalfEven(double value)
{
    // nearbyint rounds with the default mode: to nearest, ties to even.
    return static_cast<int>(std::nearbyint(value));
}
