#include "ColorModel.h"

#include <gtest/gtest.h>

namespace {

TEST(SplitColorTest, GivesTheThreeParts)
{
    const std::pair<ColorValue, ColorParts> cases[] = {
        {16777215, {255, 255, 255}}, {255, {255, 0, 0}}, {65280, {0, 255, 0}}, {0, {0, 0, 0}},
        {RGB(10, 20, 30), {10, 20, 30}},
        // Negative values truncate toward zero and keep the dividend's sign.
        {-1, {-1, 0, 0}}, {-65537, {-1, 0, -1}},
    };
    for (const auto &[color, parts] : cases)
        EXPECT_EQ(SplitColor(color), parts) << color;
}

TEST(RoundingTest, HalvesGoToTheEvenNeighbourAndBytesNeverGoNegative)
{
    EXPECT_EQ(RoundHalfEven(42.5), 42);
    EXPECT_EQ(RoundHalfEven(127.5), 128);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(Int(99.9), 99);
    EXPECT_EQ(Int(-0.5), -1);
    EXPECT_EQ(StoreByte(-3), 0);
    EXPECT_EQ(StoreByte(255.4), 255);
    EXPECT_EQ(SectorEnds(255), (std::array<int, 6>{42, 85, 128, 170, 212, 255}));
}

TEST(PureHueTest, StoredColourOfEachSectorEnd)
{
    const std::pair<int, ColorParts> columns[] = {
        {0, {255, 0, 0}},     {42, {255, 0, 252}},  {43, {249, 0, 255}}, {85, {0, 0, 255}},
        {86, {0, 0, 255}},    {128, {0, 252, 255}}, {170, {0, 255, 3}},  {171, {0, 255, 0}},
        {212, {246, 255, 0}}, {213, {255, 249, 0}}, {255, {255, 0, 0}},
    };
    for (const auto &[x, color] : columns) {
        const ColorParts raw = PureHue(x, SectorEnds(255));
        EXPECT_EQ((ColorParts{StoreByte(raw.red), StoreByte(raw.green), StoreByte(raw.blue)}), color) << x;
    }
    EXPECT_EQ(PureHue(85, SectorEnds(255)), (ColorParts{-3, 0, 255}));
    // The unclamped -3 takes part in the blend: -3 × 251/255 + 4 = 1.047.
    EXPECT_EQ(SaturationBlend(-3, 4), 1);
}

TEST(BlendTest, RowsRunToWhiteAndToBlack)
{
    const auto ends = SectorEnds(255);
    for (int x = 0; x < 256; ++x) {
        const ColorParts p = PureHue(x, ends);
        for (int v : {p.red, p.green, p.blue}) {
            EXPECT_EQ(SaturationBlend(v, 255), 255) << x;
            EXPECT_EQ(BrightnessScale(v, 255), 0) << x;
        }
    }
    for (int t = 0; t < 256; ++t) {
        EXPECT_EQ(SaturationBlend(0, t), t);
        EXPECT_EQ(BrightnessScale(255, t), 255 - t);
    }
}

TEST(HueFieldTest, CornersOfTheRedField)
{
    const auto at = [](int k, int t) {
        return ColorParts{HueFieldComponent(255, k, t), HueFieldComponent(0, k, t), HueFieldComponent(0, k, t)};
    };
    EXPECT_EQ(at(255, 0), (ColorParts{255, 0, 0}));
    EXPECT_EQ(at(0, 0), (ColorParts{255, 255, 255}));
    for (int k = 0; k < 256; ++k)
        EXPECT_EQ(at(k, 255), (ColorParts{0, 0, 0})) << k;
    EXPECT_EQ(at(0, 128), (ColorParts{127, 127, 127}));
}

TEST(SliderRampTest, RampsOfAColour)
{
    const auto brightness = [](int i) {
        return ColorParts{BrightnessScale(200, i), BrightnessScale(100, i), BrightnessScale(50, i)};
    };
    EXPECT_EQ(brightness(0), (ColorParts{200, 100, 50}));
    EXPECT_EQ(brightness(128), (ColorParts{100, 50, 25}));
    EXPECT_EQ(brightness(255), (ColorParts{0, 0, 0}));
    EXPECT_EQ(SaturationBlend(100, 0), 100);
    EXPECT_EQ((ColorParts{SaturationBlend(200, 255), SaturationBlend(100, 255), SaturationBlend(50, 255)}),
              (ColorParts{255, 255, 255}));
}

TEST(HueSliderTest, RowsRunRoundTheHueCircle)
{
    const std::pair<int, ColorParts> rows[] = {
        {0, {255, 0, 0}},   {42, {255, 0, 252}},  {43, {252, 0, 255}},  {85, {0, 0, 255}},
        {86, {0, 6, 255}},  {127, {0, 252, 255}}, {128, {0, 255, 252}}, {170, {0, 255, 0}},
        {171, {6, 255, 0}}, {212, {252, 255, 0}}, {213, {255, 252, 0}}, {255, {255, 0, 0}},
    };
    for (const auto &[k, color] : rows)
        EXPECT_EQ(HueSliderColor(k, 42.5), color) << k;
}

TEST(HueSBTest, ChannelFromSaturationAndBrightness)
{
    EXPECT_EQ(HueSBComponent(255, 100, 100), 255);
    EXPECT_EQ(HueSBComponent(0, 0, 100), 255);
    EXPECT_EQ(HueSBComponent(0, 50, 50), 64);   // 63.75
    EXPECT_EQ(HueSBComponent(255, 0, 50), 128); // 127.5 to the even neighbour
}

TEST(GetHexValTest, SixUpperCaseDigitsOrLongerOutOfRange)
{
    EXPECT_EQ(GetHexVal(255, 0, 0), QStringLiteral("FF0000"));
    EXPECT_EQ(GetHexVal(0, 0, 0), QStringLiteral("000000"));
    EXPECT_EQ(GetHexVal(10, 11, 12), QStringLiteral("0A0B0C"));
    EXPECT_EQ(GetHexVal(256, 0, 0), QStringLiteral("1000000"));
    EXPECT_EQ(GetHexVal(-1, 0, 0), QStringLiteral("FFFF0000"));
}

TEST(GetSafeColorTest, WebSafeCells)
{
    EXPECT_EQ(GetSafeColor(1), (ColorParts{0, 0, 0}));
    EXPECT_EQ(GetSafeColor(6), (ColorParts{0, 0, 255}));
    EXPECT_EQ(GetSafeColor(7), (ColorParts{0, 51, 0}));
    EXPECT_EQ(GetSafeColor(36), (ColorParts{0, 255, 255}));
    EXPECT_EQ(GetSafeColor(37), (ColorParts{51, 0, 0}));
    EXPECT_EQ(GetSafeColor(216), (ColorParts{255, 255, 255}));
    EXPECT_FALSE(GetSafeColor(220).has_value());
}

TEST(PaletteCellTest, MatchesTheRowByRowConstruction)
{
    // Cells follow one another 3 pixels apart; after every 16th a new row starts.
    int left = 10;
    int top = 10;
    for (int i = 1; i <= PaletteCellCount; ++i) {
        const PixelRect cell = PaletteCellRect(i);
        ASSERT_EQ((std::array{cell.left, cell.top, cell.right, cell.bottom}),
                  (std::array{left, top, left + 15, top + 15}))
            << i;
        left += 18;
        if (i % 16 == 0) {
            left = 10;
            top += 18;
        }
    }
}

} // namespace
