#include "colorpick/modColorPick.h"

#include "raster/Gdi.h"
#include "ImageDifference.h"

#include <gtest/gtest.h>

namespace {

constexpr ColorValue Back = modColorPick::BackColor;

class modColorPickTest : public testing::Test
{
protected:
    modColorPickTest()
    {
        // Rings drawn off the surface touch nothing, so fields can be compared pixel by pixel.
        picker.MarkerX = picker.MarkerY = -100;
    }

    [[nodiscard]] ColorValue pixel(int x, int y) const { return GetPixel(picker.surface(), x, y); }
    [[nodiscard]] ColorParts at(int x, int y) const { return SplitColor(pixel(x, y)); }
    [[nodiscard]] QImage image() const { return picker.surface().image().copy(); }

    modColorPick picker{QString{}};
};

TEST_F(modColorPickTest, FieldsPixelExactBrightnessAndSaturationMirrored)
{
    const ColorParts white{255, 255, 255}, black{0, 0, 0};
    picker.DrawHueField({255, 0, 0});
    // Columns fade from white to the hue, rows from there to black.
    const std::tuple<int, int, ColorParts> hueField[] = {
        {10, 10, white},  {265, 10, {255, 0, 0}}, {138, 10, {255, 127, 127}}, {10, 138, {127, 127, 127}},
        {110, 60, {205, 125, 125}}, {137, 265, black},
    };
    for (const auto &[x, y, color] : hueField)
        EXPECT_EQ(at(x, y), color) << x << "," << y;

    picker.DrawBrightnessField();
    // The top row is the pure hue from the right, exact at each sector end.
    const std::pair<int, ColorParts> topRow[] = {
        {0, {255, 0, 0}},     {42, {255, 0, 252}},  {43, {249, 0, 255}}, {85, {0, 0, 255}},
        {86, {0, 0, 255}},    {128, {0, 252, 255}}, {170, {0, 255, 3}},  {171, {0, 255, 0}},
        {212, {246, 255, 0}}, {213, {255, 249, 0}}, {255, {255, 0, 0}},
    };
    for (const auto &[x, color] : topRow)
        EXPECT_EQ(at(265 - x, 10), color) << x;
    // The unclamped -3 of column 85 takes part in the blend: -3 × 251/255 + 4 = 1.047.
    EXPECT_EQ(at(265 - 85, 14), (ColorParts{1, 4, 255}));
    EXPECT_EQ(at(265 - 128, 61), (ColorParts{51, 253, 255})); // 252 × 204/255 + 51 = 252.6
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(at(10 + i, 265), white) << i;
        EXPECT_EQ(at(265, 10 + i), (ColorParts{255, i, i})) << i;
    }
    picker.DrawSaturationField();
    EXPECT_EQ(at(265 - 128, 61), (ColorParts{0, 202, 204})); // 252 - 51 × 252/255 = 201.6
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(at(10 + i, 265), black) << i;
        EXPECT_EQ(at(265, 10 + i), (ColorParts{255 - i, 0, 0})) << i;
    }
}

TEST_F(modColorPickTest, FramesAndSlidersLeaveTheirInsidesAlone)
{
    picker.DrawHueSlider();
    // Rows run round the hue circle, exact at each sector end, across the slider's width.
    const std::pair<int, ColorParts> rows[] = {
        {0, {255, 0, 0}},   {42, {255, 0, 252}},  {43, {252, 0, 255}},  {85, {0, 0, 255}},
        {86, {0, 6, 255}},  {127, {0, 252, 255}}, {128, {0, 255, 252}}, {170, {0, 255, 0}},
        {171, {6, 255, 0}}, {212, {252, 255, 0}}, {213, {255, 252, 0}}, {255, {255, 0, 0}},
    };
    for (const auto &[k, color] : rows) {
        EXPECT_EQ(at(277, 10 + k), color) << k;
        EXPECT_EQ(at(291, 10 + k), color) << k;
    }
    picker.DrawBrightnessField();
    const std::tuple<int, int, ColorValue> frame[] = {
        {9, 9, EdgeDarkShadow}, {9, 266, EdgeDarkShadow}, {266, 9, EdgeDarkShadow}, {267, 267, EdgeLight}, {266, 100, Back},
        {100, 266, Back},       {8, 100, Back},           {276, 9, EdgeDarkShadow}, {292, 100, EdgeLight}, {284, 266, Back}};
    for (const auto &[x, y, color] : frame)
        EXPECT_EQ(pixel(x, y), color) << x << "," << y;
    picker.DrawBrightnessSlider({200, 100, 50});
    EXPECT_EQ(at(277, 10), (ColorParts{200, 100, 50}));
    EXPECT_EQ(at(291, 138), (ColorParts{100, 50, 25}));
    EXPECT_EQ(at(284, 265), (ColorParts{0, 0, 0}));
    picker.DrawSaturationSlider({200, 100, 50});
    EXPECT_EQ(at(284, 265), (ColorParts{255, 255, 255}));
}

TEST_F(modColorPickTest, MarkersDrawnTwiceRestoreThePixels)
{
    picker.DrawHueSlider();
    picker.MarkerX = picker.MarkerY = 100;
    picker.DrawHueField({0, 255, 0});
    const QImage before = image();
    picker.DrawSliderMarker(120);
    // Ticks on both sides, clear of the slider and its frame.
    EXPECT_EQ(pixel(275, 120), RGB(15, 15, 15));
    EXPECT_EQ(pixel(294, 121), RGB(15, 15, 15));
    EXPECT_EQ(pixel(276, 120), EdgeDarkShadow);
    picker.DrawSliderMarker(120);
    EXPECT_EQ(imageDifference(image(), before), QString());
    picker.DrawPicker();
    EXPECT_EQ(pixel(100, 100), fromQRgb(before.pixel(100, 100)));
    picker.DrawPicker();
    EXPECT_EQ(imageDifference(image(), before), QString());

    // A field drawn twice shows one ring, inverted, with a readable centre; a move leaves only the new ring.
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

TEST_F(modColorPickTest, PaletteCellBordersAndTheSafePickerFrame)
{
    picker.DrawSafePalette();
    const PixelRect cell = picker.PaletteCells[1];
    // 15 × 15 with a black border, right and bottom exclusive; the picker frame 3 pixels out.
    EXPECT_EQ(pixel(cell.right - 1, cell.top + 5), 0);
    EXPECT_EQ(pixel(cell.left + 5, cell.bottom), Back);
    EXPECT_NE(pixel(cell.left - 3, cell.top + 5), Back);
    picker.DrawSafePicker(1, true);
    for (int d = 1; d <= 3; ++d)
        EXPECT_TRUE(pixel(cell.left - d, cell.top + 5) == Back && pixel(cell.right - 1 + d, cell.top + 5) == Back) << d;
    EXPECT_EQ(pixel(cell.left, cell.top + 5), 0);
    EXPECT_EQ(pixel(picker.PaletteCells[2].left, cell.top + 5), 0);
}

} // namespace
