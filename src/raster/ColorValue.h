#pragma once

#include "raster/Units.h"

#include <QRgb>
#include <cstdint>
#include <limits>
#include <optional>

// A colour as the stored files and the picker hold it: red in the lowest byte,
// green in the next, blue in the third, the top byte 0.
using ColorValue = std::int32_t;

[[nodiscard]] constexpr ColorValue RGB(int red, int green, int blue)
{
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

[[nodiscard]] constexpr QRgb toQRgb(ColorValue color)
{
    return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

[[nodiscard]] constexpr ColorValue fromQRgb(QRgb rgb)
{
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// A number read from a stored file as a colour: rounded half to even, it must fit a signed
// 32-bit integer, as the files are written; anything else is no colour.
[[nodiscard]] inline std::optional<ColorValue> ColorFromNumber(double value)
{
    constexpr double lowest = std::numeric_limits<ColorValue>::min() - 0.5;
    constexpr double beyond = std::numeric_limits<ColorValue>::max() + 0.5;
    if (!(value >= lowest && value < beyond))
        return std::nullopt;
    return ColorValue(RoundHalfEven(value));
}
