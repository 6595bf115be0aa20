#pragma once

#include <QRgb>
#include <cstdint>

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
