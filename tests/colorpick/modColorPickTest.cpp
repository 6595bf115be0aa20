#include "colorpick/modColorPick.h"

#include "raster/Gdi.h"
#include "support/ImageDifference.h"

#include <gtest/gtest.h>

namespace {

constexpr ColorValue Back = modColorPick::BackColor, White = 0xFFFFFF;

class modColorPickTest : public testing::Test
{
protected:
    [[nodiscard]] ColorValue pixel(int x, int y) const { return GetPixel(picker.surface(), x, y); }
    [[nodiscard]] QImage image() const { return picker.surface().image().copy(); }

    modColorPick picker{QString{}};
};

using Drawing = void (*)(modColorPick &);
const Drawing HueField = [](modColorPick &p) { p.DrawHueField({255, 0, 0}); };
const Drawing BrightnessField = [](modColorPick &p) { p.DrawBrightnessField(); };
const Drawing SaturationField = [](modColorPick &p) { p.DrawSaturationField(); };
const Drawing HueSlider = [](modColorPick &p) { p.DrawHueSlider(); };
const Drawing BrightnessSlider = [](modColorPick &p) { p.DrawBrightnessSlider({200, 100, 50}); };
const Drawing SaturationSlider = [](modColorPick &p) { p.DrawSaturationSlider({200, 100, 50}); };
const Drawing SafePalette = [](modColorPick &p) { p.ClearDrawing(), p.DrawSafePalette(); };

TEST_F(modColorPickTest, FieldsSlidersAndFramesPixelExact)
{
    // A ring drawn off the surface touches nothing.
    picker.MarkerX = picker.MarkerY = -100;
    const struct { const char *name; Drawing draw; int x, y; ColorValue color; } cases[] = {
        // The red hue field: saturation grows to the right, brightness falls downwards.
        {"hue field top left", HueField, 10, 10, White},
        {"hue field top right", HueField, 265, 10, RGB(255, 0, 0)},
        {"hue field half brightness", HueField, 10, 138, RGB(127, 127, 127)},
        {"hue field inside", HueField, 110, 60, RGB(205, 125, 125)},
        {"hue field bottom", HueField, 137, 265, 0},
        // Pure hues along the top, mirrored so that hue grows to the right; exact at each sector end.
        {"column 42", BrightnessField, 223, 10, RGB(255, 0, 252)},
        {"column 43", BrightnessField, 222, 10, RGB(249, 0, 255)},
        {"column 85, -3 stored as 0", BrightnessField, 180, 10, RGB(0, 0, 255)},
        {"column 128", BrightnessField, 137, 10, RGB(0, 252, 255)},
        {"column 212", BrightnessField, 53, 10, RGB(246, 255, 0)},
        {"column 213", BrightnessField, 52, 10, RGB(255, 249, 0)},
        {"column 85 blends its -3: -3 x 251/255 + 4 = 1.047", BrightnessField, 180, 14, RGB(1, 4, 255)},
        {"column 128 row 51: 252 x 204/255 + 51 = 252.6", BrightnessField, 137, 61, RGB(51, 253, 255)},
        {"brightness field bottom", BrightnessField, 180, 265, White},
        {"column 128 row 51: 252 - 51 x 252/255 = 201.6", SaturationField, 137, 61, RGB(0, 202, 204)},
        {"saturation field bottom", SaturationField, 180, 265, 0},
        // The hue slider runs round the circle downwards, across its whole width.
        {"hue slider row 42", HueSlider, 291, 52, RGB(255, 0, 252)},
        {"hue slider row 86", HueSlider, 291, 96, RGB(0, 6, 255)},
        {"hue slider row 127", HueSlider, 277, 137, RGB(0, 252, 255)},
        {"hue slider row 128", HueSlider, 291, 138, RGB(0, 255, 252)},
        {"brightness slider row 128: 200 - 25600/255 = 99.6", BrightnessSlider, 291, 138, RGB(100, 50, 25)},
        {"brightness slider bottom", BrightnessSlider, 284, 265, 0},
        {"saturation slider bottom", SaturationSlider, 284, 265, White},
        // Sunken frames, a background line clear of the field.
        {"field frame top left", BrightnessField, 9, 9, EdgeDarkShadow},
        {"field frame bottom right", BrightnessField, 267, 267, EdgeLight},
        {"right of the field", BrightnessField, 266, 100, Back},
        {"slider frame right", HueSlider, 292, 100, EdgeLight},
        // Cells of 15 pixels, 18 apart, 16 to a row, with a black border, right and bottom exclusive.
        {"safe cell 36, blue varying fastest", SafePalette, 71, 53, RGB(0, 255, 255)},
        {"safe cell 216", SafePalette, 143, 251, White},
        {"cell 220, past the safe colours", SafePalette, 215, 251, 0},
        {"cell 1's right border", SafePalette, 24, 15, 0},
        {"below cell 1", SafePalette, 15, 25, Back},
        {"the selected cell's frame, 3 px out", SafePalette, 7, 15, EdgeShadow},
    };
    for (const auto &c : cases) {
        c.draw(picker);
        EXPECT_EQ(pixel(c.x, c.y), c.color) << c.name;
    }
}

TEST_F(modColorPickTest, MarkersAreInvertedAndDrawnTwiceRestoreThePixels)
{
    picker.DrawHueSlider();
    const QImage before = image();
    picker.DrawSliderMarker(120);
    // Ticks on both sides, clear of the slider and its frame.
    EXPECT_EQ(pixel(275, 120), RGB(15, 15, 15));
    EXPECT_EQ(pixel(294, 121), RGB(15, 15, 15));
    EXPECT_EQ(pixel(276, 120), EdgeDarkShadow);
    picker.DrawSliderMarker(120);
    EXPECT_EQ(imageDifference(image(), before), QString());

    // A field drawn twice shows one ring, inverted, with its centre untouched; a move leaves only the new ring.
    picker.MarkerX = 265;
    picker.MarkerY = 10;
    picker.DrawHueField({255, 0, 0});
    picker.DrawHueField({255, 0, 0});
    EXPECT_EQ(pixel(260, 10), ~RGB(255, 5, 5) & 0xFFFFFF);
    EXPECT_EQ(pixel(265, 10), RGB(255, 0, 0));
    const QImage atCorner = image();
    picker.MoveMarker(100, 100);
    picker.MoveMarker(265, 10);
    EXPECT_EQ(imageDifference(image(), atCorner), QString());
}

TEST_F(modColorPickTest, ClearingTheSafePickerLeavesTheCellBorders)
{
    picker.DrawSafePalette();
    picker.DrawSafePicker(1, true);
    for (const int x : {7, 8, 9, 25, 26, 27})
        EXPECT_EQ(pixel(x, 15), Back) << x;
    EXPECT_EQ(pixel(10, 15), 0);
    EXPECT_EQ(pixel(28, 15), 0); // cell 2
}

} // namespace
