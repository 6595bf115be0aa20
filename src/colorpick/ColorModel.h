#pragma once

#include "raster/ColorValue.h"
#include "raster/Units.h"

#include <QString>
#include <array>
#include <optional>

// Colour arithmetic of the picker. The field and sliders are drawn from these values
// and colours are read back from the drawn pixels, so every rounding here is exact:
// halves go to the even neighbour, Int() rounds down.

struct ColorParts
{
    int red = 0;
    int green = 0;
    int blue = 0;

    [[nodiscard]] ColorValue toColor() const { return RGB(red, green, blue); }
    friend bool operator==(const ColorParts &, const ColorParts &) = default;
};

// Rectangle in dialog pixels; whether right and bottom are inclusive is said by each use.
struct PixelRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

[[nodiscard]] int Int(double value);

// A pixel byte: the rounded value, or 0 when a byte cannot hold it (a negative blend
// result is never stored, leaving the zero-filled byte).
[[nodiscard]] int StoreByte(double value);

// Components by integer division toward zero with the dividend's sign, so a negative
// value gives non-positive parts.
[[nodiscard]] ColorParts SplitColor(ColorValue color);

// Ends of the six hue sectors over 256 columns, from the field's height.
[[nodiscard]] std::array<int, 6> SectorEnds(int fieldHeight);

// Pure hue of ramp column x, unclamped: a varying component may reach -3 at a sector end.
[[nodiscard]] ColorParts PureHue(int x, const std::array<int, 6> &ends);

// Blend of component v toward white at row t (0 = full saturation, 255 = white).
[[nodiscard]] int SaturationBlend(int v, int t);
// Scale of component v toward black at row t (0 = full brightness, 255 = black).
[[nodiscard]] int BrightnessScale(int v, int t);
// Hue-mode field byte for pure-hue component c at column k (0 = left) and row t (0 = top).
[[nodiscard]] int HueFieldComponent(int c, int k, int t);

// Row k (0 = top) of the hue slider, with h the sector height.
[[nodiscard]] ColorParts HueSliderColor(int k, double h);

// One channel of the colour at saturation s and brightness b percent from pure-hue channel x0.
[[nodiscard]] int HueSBComponent(int x0, int s, int b);

// Six upper-case hex digits for parts in 0..255; other values give longer text.
[[nodiscard]] QString GetHexVal(int red, int green, int blue);

// Web-safe colour of palette cell index (1..216); nothing for the filler cells.
[[nodiscard]] std::optional<ColorParts> GetSafeColor(int index);

inline constexpr int PaletteCellCount = 224;

// Cell index (1..224) of the preset grid, 16 to a row, 3 pixels apart; right and
// bottom exclusive.
[[nodiscard]] PixelRect PaletteCellRect(int index);
