#include "slideshow/GenerateRandom.h"

#include "raster/Units.h"

#include "transitions/RuntimeRandom.h"

#include <cmath>

std::int32_t GenerateRandom(std::int32_t lower, std::int32_t upper, RuntimeRandom &random, const LocalNow &now)
{
    std::int32_t n = upper + 1;
    if (n < 1) {
        lower = 0;
        n = 10;
    } else if (lower >= n) {
        lower = 0;
    }
    const QDateTime time = now();
    random.Randomize(time.date().month() + time.time().second());
    std::int32_t r = -1;
    while (r == n || r < lower)
        r = RoundHalfEven(random.Rnd() * n);
    return r;
}
