#include "colorpick/ColorModel.h"

#include <cmath>

int Int(double value)
{
    return static_cast<int>(std::floor(value));
}

int StoreByte(double value)
{
    const double rounded = std::nearbyint(value);
    return rounded >= 0 && rounded <= 255 ? static_cast<int>(rounded) : 0;
}

ColorParts SplitColor(ColorValue color)
{
    return {color % 256, (color / 256) % 256, ((color / 256) / 256) % 256};
}

std::array<int, 6> SectorEnds(int fieldHeight)
{
    const float width = static_cast<float>(fieldHeight) / 6;
    std::array<int, 6> ends{};
    for (int n = 0; n < 6; ++n)
        ends[n] = RoundHalfEven(static_cast<float>(n + 1) * width);
    return ends;
}

ColorParts PureHue(int x, const std::array<int, 6> &s)
{
    if (x <= s[0])
        return {255, 0, 6 * x};
    if (x <= s[1])
        return {6 * s[0] + 255 - 6 * x, 0, 255};
    if (x <= s[2])
        return {0, 6 * (x - s[1] - 1), 255};
    if (x <= s[3])
        return {0, 255, 6 * s[2] + 255 - 6 * x};
    if (x <= s[4])
        return {6 * (x - s[3] - 1), 255, 0};
    return {255, 6 * s[4] + 255 - 6 * x, 0};
}

int SaturationBlend(int v, int t)
{
    return StoreByte(v * (1 - t / 255.0) + t);
}

int BrightnessScale(int v, int t)
{
    // t * v is an exact product, so a component of 255 becomes exactly 255 - t.
    return StoreByte(v - (t * v) / 255.0);
}

int HueFieldComponent(int c, int k, int t)
{
    const double base = c - t * (c / 255.0);
    const double grey = 255 - t;
    const double step = (grey - base) / 255;
    return StoreByte((255 - k) * step + base);
}

ColorParts HueSliderColor(int k, double h)
{
    const auto rise = [&](int sector) { return RoundHalfEven(6 * (k - sector * h)); };
    const auto fall = [&](int sector) { return RoundHalfEven(255 - 6 * (k - sector * h)); };
    if (k <= h)
        return {255, 0, rise(0)};
    if (k <= 2 * h)
        return {fall(1), 0, 255};
    if (k <= 3 * h)
        return {0, rise(2), 255};
    if (k <= 4 * h)
        return {0, 255, fall(3)};
    if (k <= 5 * h)
        return {rise(4), 255, 0};
    return {255, fall(5), 0};
}

int HueSBComponent(int x0, int s, int b)
{
    const int whiteShare = (255 - x0) * (100 - s);
    return RoundHalfEven((whiteShare / 100.0 + x0) * b / 100);
}

QString GetHexVal(int red, int green, int blue)
{
    const auto part = [](int value) {
        return QString::number(static_cast<quint16>(value), 16).toUpper().rightJustified(2, u'0');
    };
    return part(red) + part(green) + part(blue);
}

std::optional<ColorParts> GetSafeColor(int index)
{
    if (index < 1 || index > 216)
        return std::nullopt;
    const int n = index - 1;
    return ColorParts{51 * (n / 36), 51 * ((n / 6) % 6), 51 * (n % 6)};
}

PixelRect PaletteCellRect(int index)
{
    const int row = (index - 1) / 16;
    const int column = (index - 1) % 16;
    const int left = 10 + 18 * column;
    const int top = 10 + 18 * row;
    return {left, top, left + 15, top + 15};
}
