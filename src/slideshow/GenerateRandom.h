#pragma once

#include <QDateTime>
#include <cstdint>
#include <functional>

class RuntimeRandom;

using LocalNow = std::function<QDateTime()>;

// A whole number from lower to upper inclusive for ordinary bounds; 0 to 9 when upper
// is negative, 0 to upper when lower is above it. The month plus the second of the
// current local time is mixed into the generator before the draw.
[[nodiscard]] std::int32_t GenerateRandom(std::int32_t lower, std::int32_t upper, RuntimeRandom &random, const LocalNow &now);
