#include "modColorPick.h"

#include "Gdi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include "ImageDifference.h"

#include <gtest/gtest.h>

namespace {

constexpr ColorValue Back = modColorPick::BackColor;

class modColorPickTest : public testing::Test
{
protected:
    modColorPickTest() : picker(dir.filePath(CustomColorsFileName))
    {
        // Rings drawn off the surface touch nothing, so fields can be compared pixel by pixel.
        picker.MarkerX = -100;
        picker.MarkerY = -100;
    }

    [[nodiscard]] ColorParts at(int x, int y) const { return SplitColor(GetPixel(picker.surface(), x, y)); }
    [[nodiscard]] QImage image() const { return picker.surface().image().copy(); }

    QTemporaryDir dir;
    modColorPick picker;
};

TEST_F(modColorPickTest, HueFieldEveryPixel)
{
    picker.DrawHueField({255, 0, 0});
    for (int t = 0; t < 256; ++t)
        for (int k = 0; k < 256; ++k)
            ASSERT_EQ(at(10 + k, 10 + t), (ColorParts{HueFieldComponent(255, k, t), HueFieldComponent(0, k, t),
                                                      HueFieldComponent(0, k, t)}))
                << k << "," << t;
    EXPECT_EQ(at(10, 10), (ColorParts{255, 255, 255}));
    EXPECT_EQ(at(265, 10), (ColorParts{255, 0, 0}));
    EXPECT_EQ(at(137, 265), (ColorParts{0, 0, 0}));
}

TEST_F(modColorPickTest, BrightnessAndSaturationFieldsAreMirroredIntoTheFrame)
{
    const auto ends = SectorEnds(255);
    const auto expectMirrored = [&](int (*blend)(int, int)) {
        for (int t = 0; t < 256; ++t)
            for (int x = 0; x < 256; ++x) {
                const ColorParts p = PureHue(x, ends);
                ASSERT_EQ(at(265 - x, 10 + t), (ColorParts{blend(p.red, t), blend(p.green, t), blend(p.blue, t)}))
                    << x << "," << t;
            }
    };
    picker.DrawBrightnessField();
    expectMirrored(SaturationBlend);
    // Red at both ends of the top row, yellow toward the left; white at the bottom.
    EXPECT_EQ(at(10, 10), (ColorParts{255, 0, 0}));
    EXPECT_EQ(at(265, 10), (ColorParts{255, 0, 0}));
    EXPECT_EQ(at(265 - 212, 10), (ColorParts{246, 255, 0}));
    EXPECT_EQ(at(100, 265), (ColorParts{255, 255, 255}));

    picker.DrawSaturationField();
    expectMirrored(BrightnessScale);
    EXPECT_EQ(at(100, 265), (ColorParts{0, 0, 0}));
}

TEST_F(modColorPickTest, FieldFrameLeavesTheFieldAlone)
{
    picker.DrawBrightnessField();
    EXPECT_EQ(GetPixel(picker.surface(), 9, 9), EdgeDarkShadow);
    EXPECT_EQ(GetPixel(picker.surface(), 9, 266), EdgeDarkShadow);
    EXPECT_EQ(GetPixel(picker.surface(), 266, 9), EdgeDarkShadow);
    EXPECT_EQ(GetPixel(picker.surface(), 267, 9), EdgeLight);
    EXPECT_EQ(GetPixel(picker.surface(), 267, 267), EdgeLight);
    EXPECT_EQ(GetPixel(picker.surface(), 100, 267), EdgeLight);
    EXPECT_EQ(GetPixel(picker.surface(), 266, 100), Back);
    EXPECT_EQ(GetPixel(picker.surface(), 100, 266), Back);
    EXPECT_EQ(GetPixel(picker.surface(), 8, 100), Back);
}

TEST_F(modColorPickTest, HueSliderRowsAndFrame)
{
    picker.DrawHueSlider();
    for (int k = 0; k < 256; ++k)
        for (int x = 277; x < 292; ++x)
            ASSERT_EQ(at(x, 10 + k), HueSliderColor(k, 42.5)) << x << "," << k;
    EXPECT_EQ(GetPixel(picker.surface(), 276, 9), EdgeDarkShadow);
    EXPECT_EQ(GetPixel(picker.surface(), 292, 100), EdgeLight);
    EXPECT_EQ(GetPixel(picker.surface(), 284, 267), EdgeLight);
    EXPECT_EQ(GetPixel(picker.surface(), 284, 266), Back);
}

TEST_F(modColorPickTest, BrightnessAndSaturationSliders)
{
    picker.DrawBrightnessSlider({200, 100, 50});
    EXPECT_EQ(at(277, 10), (ColorParts{200, 100, 50}));
    EXPECT_EQ(at(291, 138), (ColorParts{100, 50, 25}));
    EXPECT_EQ(at(284, 265), (ColorParts{0, 0, 0}));
    EXPECT_EQ(GetPixel(picker.surface(), 292, 10), EdgeLight);

    picker.DrawSaturationSlider({200, 100, 50});
    EXPECT_EQ(at(284, 10), (ColorParts{200, 100, 50}));
    EXPECT_EQ(at(284, 265), (ColorParts{255, 255, 255}));
}

TEST_F(modColorPickTest, MarkersDrawnTwiceRestoreThePixels)
{
    picker.DrawHueSlider();
    picker.MarkerX = 100;
    picker.MarkerY = 100;
    picker.DrawHueField({0, 255, 0});
    const QImage before = image();

    picker.DrawSliderMarker(120);
    EXPECT_NE(imageDifference(image(), before), QString());
    // Ticks on both sides, clear of the slider and its frame.
    EXPECT_EQ(GetPixel(picker.surface(), 275, 120), RGB(15, 15, 15));
    EXPECT_EQ(GetPixel(picker.surface(), 294, 121), RGB(15, 15, 15));
    EXPECT_EQ(GetPixel(picker.surface(), 276, 120), EdgeDarkShadow);
    EXPECT_EQ(picker.pen().width(), 1);
    EXPECT_EQ(picker.pen().drawMode(), DrawMode::Invert);
    picker.DrawSliderMarker(120);
    EXPECT_EQ(imageDifference(image(), before), QString());

    picker.DrawPicker();
    EXPECT_EQ(GetPixel(picker.surface(), 100, 100), fromQRgb(before.pixel(100, 100)));
    EXPECT_NE(imageDifference(image(), before), QString());
    picker.DrawPicker();
    EXPECT_EQ(imageDifference(image(), before), QString());
}

TEST_F(modColorPickTest, FieldDrawnTwiceShowsOneMarker)
{
    picker.MarkerX = 265;
    picker.MarkerY = 10;
    picker.DrawHueField({255, 0, 0});
    const QImage once = image();
    picker.DrawHueField({255, 0, 0});
    EXPECT_EQ(imageDifference(image(), once), QString());
    // The ring shows inverted inside the field, the centre stays readable.
    EXPECT_EQ(GetPixel(picker.surface(), 260, 10), ~RGB(255, 5, 5) & 0xFFFFFF);
    EXPECT_EQ(GetPixel(picker.surface(), 265, 10), RGB(255, 0, 0));
}

TEST_F(modColorPickTest, MoveMarkerLeavesOnlyTheNewRing)
{
    picker.MarkerX = 50;
    picker.MarkerY = 50;
    picker.DrawSaturationField();
    picker.MoveMarker(200, 200);
    modColorPick fresh(dir.filePath(CustomColorsFileName));
    fresh.MarkerX = 200;
    fresh.MarkerY = 200;
    fresh.DrawSaturationField();
    EXPECT_EQ(imageDifference(image(), fresh.surface().image()), QString());
}

TEST_F(modColorPickTest, PaletteCellsHaveABlackBorder)
{
    picker.DrawSafePalette();
    // 15 × 15 with a black border; right and bottom exclusive.
    const PixelRect cell = picker.PaletteCells[216];
    EXPECT_EQ(GetPixel(picker.surface(), cell.left, cell.top + 5), 0);
    EXPECT_EQ(GetPixel(picker.surface(), cell.right - 1, cell.top + 5), 0);
    EXPECT_EQ(GetPixel(picker.surface(), cell.right, cell.top + 5), Back);
    EXPECT_EQ(GetPixel(picker.surface(), cell.left + 5, cell.bottom), Back);
}

TEST_F(modColorPickTest, SafePickerFrameDrawnAndCleared)
{
    picker.DrawSafePalette();
    const PixelRect cell = picker.PaletteCells[1];
    EXPECT_NE(GetPixel(picker.surface(), cell.left - 3, cell.top + 5), Back);
    EXPECT_NE(GetPixel(picker.surface(), cell.right + 2, cell.top + 5), Back);
    picker.DrawSafePicker(1, true);
    for (int d = 1; d <= 3; ++d) {
        EXPECT_EQ(GetPixel(picker.surface(), cell.left - d, cell.top + 5), Back) << d;
        EXPECT_EQ(GetPixel(picker.surface(), cell.right - 1 + d, cell.top + 5), Back) << d;
        EXPECT_EQ(GetPixel(picker.surface(), cell.left + 5, cell.top - d), Back) << d;
    }
    EXPECT_EQ(GetPixel(picker.surface(), cell.left, cell.top + 5), 0);
    EXPECT_EQ(GetPixel(picker.surface(), cell.right - 1, cell.top + 5), 0);
    // The neighbour's border is untouched.
    EXPECT_EQ(GetPixel(picker.surface(), picker.PaletteCells[2].left, cell.top + 5), 0);
}

TEST_F(modColorPickTest, LoadCustomColorsDrawsTheGrid)
{
    QFile file(dir.filePath(CustomColorsFileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("255\r\n65280\r\n16777215\r\n");
    file.close();
    picker.LoadCustomColors();
    EXPECT_EQ(picker.CustomColors[0], 255);
    EXPECT_EQ(GetPixel(picker.surface(), 17, 17), 65280);
    EXPECT_EQ(GetPixel(picker.surface(), 35, 17), 16777215);
    EXPECT_EQ(GetPixel(picker.surface(), 287, 251), 16777215);
}

TEST_F(modColorPickTest, ColorInfoPrintsOverThePreviousReadOut)
{
    picker.PrintColorInfo({1, 2, 3}, QStringLiteral("010203"));
    const QImage first = image();
    const QRect readOut(312, 80, 81, 51);
    bool printed = false;
    for (int y = readOut.top(); y <= readOut.bottom(); ++y)
        for (int x = readOut.left(); x <= readOut.right(); ++x)
            printed = printed || GetPixel(picker.surface(), x, y) != Back;
    EXPECT_TRUE(printed);

    picker.PrintColorInfo({255, 255, 255}, QStringLiteral("FFFFFF"));
    EXPECT_NE(imageDifference(image(), first), QString());
    picker.PrintColorInfo({1, 2, 3}, QStringLiteral("010203"));
    EXPECT_EQ(imageDifference(image(), first), QString());
}

} // namespace
