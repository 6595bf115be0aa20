#include "colorpick/modColorPick.h"

#include "raster/Gdi.h"

#include <gtest/gtest.h>
#include <vector>

constexpr ColorValue Back = modColorPick::BackColor, White = 0xFFFFFF;

using Drawing = void (*)(modColorPick &);
const Drawing HueField = [](modColorPick &p) { p.DrawHueField({255, 0, 0}); };
const Drawing BrightnessField = [](modColorPick &p) { p.DrawBrightnessField(); };
const Drawing SaturationField = [](modColorPick &p) { p.DrawSaturationField(); };
const Drawing HueSlider = [](modColorPick &p) { p.DrawHueSlider(); };
const Drawing BrightnessSlider = [](modColorPick &p) { p.DrawBrightnessSlider({200, 100, 50}); };
const Drawing SaturationSlider = [](modColorPick &p) { p.DrawSaturationSlider({200, 100, 50}); };
const Drawing SafePalette = [](modColorPick &p) { p.ClearDrawing(), p.DrawSafePalette(); };
const Drawing SafePickerCleared = [](modColorPick &p) { p.DrawSafePalette(), p.DrawSafePicker(1, true); };
const Drawing SliderMarker = [](modColorPick &p) { p.ClearDrawing(), p.DrawHueSlider(), p.DrawSliderMarker(120); };
const Drawing RingTwice = [](modColorPick &p) { p.MarkerX = 265, p.MarkerY = 10, HueField(p), HueField(p); };
const Drawing ReadOut = [](modColorPick &p) { p.ClearDrawing(), p.PrintColorInfo({255, 0, 255}, QStringLiteral("FF00FF")); };
const Drawing RingMovedAndBack = [](modColorPick &p) { p.MoveMarker(100, 100), p.MoveMarker(265, 10); };

TEST(modColorPickTest, FieldsSlidersFramesAndCellsPixelExact)
{
    modColorPick picker{QString{}};
    // A ring drawn off the surface touches nothing.
    picker.MarkerX = picker.MarkerY = -100;
    const struct { const char *name; Drawing draw; std::vector<std::tuple<int, int, ColorValue>> pixels; } cases[] = {
        // The red hue field: saturation grows to the right, brightness falls downwards.
        {"hue field: white top left, red top right, grey at half brightness, inside, black bottom", HueField,
         {{10, 10, White}, {265, 10, RGB(255, 0, 0)}, {10, 138, RGB(127, 127, 127)}, {110, 60, RGB(205, 125, 125)}, {137, 265, 0}}},
        // Pure hues along the top, mirrored so that hue grows to the right; exact at each sector end, and a -3 stored as 0.
        {"brightness field top: columns 42, 43, 85, 128, 212, 213", BrightnessField, {{223, 10, RGB(255, 0, 252)}, {222, 10, RGB(249, 0, 255)},
         {180, 10, RGB(0, 0, 255)}, {137, 10, RGB(0, 252, 255)}, {53, 10, RGB(246, 255, 0)}, {52, 10, RGB(255, 249, 0)}}},
        // Column 85 blends its -3: -3 x 251/255 + 4 = 1.047; column 128 row 51: 252 x 204/255 + 51 = 252.6. Sunken frames,
        // a background line clear of the field.
        {"brightness field below: column 85 row 4, column 128 row 51, white bottom; frame top left and bottom right, right of it", BrightnessField,
         {{180, 14, RGB(1, 4, 255)}, {137, 61, RGB(51, 253, 255)}, {180, 265, White}, {9, 9, EdgeDarkShadow}, {267, 267, EdgeLight}, {266, 100, Back}}},
        // Column 128 row 51: 252 - 51 x 252/255 = 201.6.
        {"saturation field: column 128 row 51, black bottom", SaturationField, {{137, 61, RGB(0, 202, 204)}, {180, 265, 0}}},
        // The hue slider runs round the circle downwards, across its whole width.
        {"hue slider rows 42, 86, 127, 128, its frame", HueSlider, {{291, 52, RGB(255, 0, 252)}, {291, 96, RGB(0, 6, 255)},
         {277, 137, RGB(0, 252, 255)}, {291, 138, RGB(0, 255, 252)}, {292, 100, EdgeLight}}},
        // Row 128: 200 - 25600/255 = 99.6.
        {"brightness slider row 128, black bottom", BrightnessSlider, {{291, 138, RGB(100, 50, 25)}, {284, 265, 0}}},
        {"saturation slider bottom", SaturationSlider, {{284, 265, White}}},
        // Cells of 15 pixels, 18 apart, 16 to a row, with a black border, right and bottom exclusive; blue varies fastest.
        {"safe cells 36, 216, 220 past the safe colours, cell 1's right border, below cell 1, the selected cell's frame", SafePalette,
         {{71, 53, RGB(0, 255, 255)}, {143, 251, White}, {215, 251, 0}, {24, 15, 0}, {15, 25, Back}, {7, 15, EdgeShadow}}},
        // Clearing the selection paints its frame over and leaves the cell borders.
        {"cleared frame 3 px out on both sides, cell borders", SafePickerCleared, {{7, 15, Back}, {27, 15, Back}, {10, 15, 0}, {28, 15, 0}}},
        // Four lines, one font height apart: the fourth starts three heights below the first.
        {"the read-out's Hex line", ReadOut, {{331, 129, 0}, {313, 133, Back}}},
        // Markers are inverted, so that drawing one twice restores the pixels; the slider ticks stay clear of its frame.
        {"slider marker ticks on both sides", SliderMarker, {{275, 120, RGB(15, 15, 15)}, {294, 121, RGB(15, 15, 15)}, {276, 120, EdgeDarkShadow}}},
        {"slider marker drawn twice", [](modColorPick &p) { p.DrawSliderMarker(120); }, {{275, 120, Back}, {294, 121, Back}}},
        // A field drawn twice shows one ring with its centre untouched; a move leaves only the new ring.
        {"field ring of radius 5", RingTwice, {{260, 10, ~RGB(255, 5, 5) & 0xFFFFFF}, {265, 10, RGB(255, 0, 0)}, {259, 10, RGB(255, 6, 6)}}},
        {"field ring moved and back", RingMovedAndBack, {{260, 10, ~RGB(255, 5, 5) & 0xFFFFFF}, {95, 100, RGB(165, 110, 110)}}},
    };
    for (const auto &c : cases) {
        c.draw(picker);
        for (const auto &[x, y, color] : c.pixels)
            EXPECT_EQ(GetPixel(picker.surface(), x, y), color) << c.name << " at " << x << ',' << y;
    }
    // Only the inside of a cell answers a hit: its border lines belong to no cell.
    for (const auto &[x, cell] : {std::pair{10, 0}, {11, 1}, {24, 1}, {25, 0}, {29, 2}})
        EXPECT_EQ(picker.CellAt(x, 17), cell) << x;
}
