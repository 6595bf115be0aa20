#include "ColorModel.h"

#include <gtest/gtest.h>

namespace {

ColorParts stored(ColorParts raw)
{
    return {StoreByte(raw.red), StoreByte(raw.green), StoreByte(raw.blue)};
}

struct SplitCase
{
    const char *name;
    ColorValue color;
    ColorParts parts;
};

class SplitColorTest : public testing::TestWithParam<SplitCase>
{};

TEST_P(SplitColorTest, GivesTheThreeParts)
{
    EXPECT_EQ(SplitColor(GetParam().color), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(Colors, SplitColorTest,
                         testing::Values(SplitCase{"white", 16777215, {255, 255, 255}}, SplitCase{"red", 255, {255, 0, 0}},
                                         SplitCase{"green", 65280, {0, 255, 0}}, SplitCase{"black", 0, {0, 0, 0}},
                                         SplitCase{"minusOne", -1, {-1, 0, 0}},
                                         SplitCase{"minus65537", -65537, {-1, 0, -1}},
                                         SplitCase{"mixed", RGB(10, 20, 30), {10, 20, 30}}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(RoundingTest, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(42.5), 42);
    EXPECT_EQ(RoundHalfEven(127.5), 128);
    EXPECT_EQ(RoundHalfEven(212.5), 212);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(99.608), 100);
    EXPECT_EQ(Int(99.9), 99);
    EXPECT_EQ(Int(-0.5), -1);
}

TEST(RoundingTest, ABytePartThatDoesNotFitStaysZero)
{
    EXPECT_EQ(StoreByte(-3), 0);
    EXPECT_EQ(StoreByte(-0.4), 0);
    EXPECT_EQ(StoreByte(255.4), 255);
    EXPECT_EQ(StoreByte(256), 0);
}

TEST(PureHueTest, SectorEndsRoundHalvesToEven)
{
    EXPECT_EQ(SectorEnds(255), (std::array<int, 6>{42, 85, 128, 170, 212, 255}));
}

struct RampCase
{
    int column;
    ColorParts color;
};

class PureHueRampTest : public testing::TestWithParam<RampCase>
{};

TEST_P(PureHueRampTest, StoredColourOfColumn)
{
    EXPECT_EQ(stored(PureHue(GetParam().column, SectorEnds(255))), GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(Columns, PureHueRampTest,
                         testing::Values(RampCase{0, {255, 0, 0}}, RampCase{42, {255, 0, 252}}, RampCase{43, {249, 0, 255}},
                                         RampCase{85, {0, 0, 255}}, RampCase{86, {0, 0, 255}},
                                         RampCase{128, {0, 252, 255}}, RampCase{170, {0, 255, 3}},
                                         RampCase{171, {0, 255, 0}}, RampCase{212, {246, 255, 0}},
                                         RampCase{213, {255, 249, 0}}, RampCase{255, {255, 0, 0}}),
                         [](const auto &info) { return "column" + std::to_string(info.param.column); });

TEST(PureHueTest, SectorEndGoesBelowZeroBeforeStoring)
{
    EXPECT_EQ(PureHue(85, SectorEnds(255)), (ColorParts{-3, 0, 255}));
    EXPECT_EQ(PureHue(255, SectorEnds(255)), (ColorParts{255, -3, 0}));
}

TEST(BlendTest, LastRowIsWhiteOrBlackForEveryColumn)
{
    const auto ends = SectorEnds(255);
    for (int x = 0; x < 256; ++x) {
        const ColorParts p = PureHue(x, ends);
        for (int v : {p.red, p.green, p.blue}) {
            EXPECT_EQ(SaturationBlend(v, 255), 255) << x;
            EXPECT_EQ(BrightnessScale(v, 255), 0) << x;
        }
    }
}

TEST(BlendTest, FixedComponentsFollowTheRow)
{
    for (int t = 0; t < 256; ++t) {
        EXPECT_EQ(SaturationBlend(255, t), 255);
        EXPECT_EQ(SaturationBlend(0, t), t);
        EXPECT_EQ(BrightnessScale(255, t), 255 - t);
        EXPECT_EQ(BrightnessScale(0, t), 0);
    }
}

TEST(BlendTest, NegativeRampValueBlendsBeforeClamping)
{
    // -3 × 251/255 + 4 = 1.047, where a clamped 0 would give 4.
    EXPECT_EQ(SaturationBlend(-3, 4), 1);
    EXPECT_EQ(SaturationBlend(-3, 1), 0);
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
    EXPECT_EQ(at(255, 128), (ColorParts{127, 0, 0}));
}

TEST(SliderRampTest, BrightnessRampOfAColour)
{
    const auto line = [](int i) {
        return ColorParts{BrightnessScale(200, i), BrightnessScale(100, i), BrightnessScale(50, i)};
    };
    EXPECT_EQ(line(0), (ColorParts{200, 100, 50}));
    EXPECT_EQ(line(128), (ColorParts{100, 50, 25}));
    EXPECT_EQ(line(255), (ColorParts{0, 0, 0}));
}

TEST(SliderRampTest, SaturationRampOfAColour)
{
    const auto line = [](int i) {
        return ColorParts{SaturationBlend(200, i), SaturationBlend(100, i), SaturationBlend(50, i)};
    };
    EXPECT_EQ(line(0), (ColorParts{200, 100, 50}));
    EXPECT_EQ(line(255), (ColorParts{255, 255, 255}));
}

TEST(HueSliderTest, RowsRunRoundTheHueCircle)
{
    const std::pair<int, ColorParts> rows[] = {
        {0, {255, 0, 0}},     {42, {255, 0, 252}},  {43, {252, 0, 255}},  {85, {0, 0, 255}},
        {86, {0, 6, 255}},    {127, {0, 252, 255}}, {128, {0, 255, 252}}, {170, {0, 255, 0}},
        {171, {6, 255, 0}},   {212, {252, 255, 0}}, {213, {255, 252, 0}}, {255, {255, 0, 0}},
    };
    for (const auto &[k, color] : rows)
        EXPECT_EQ(HueSliderColor(k, 42.5), color) << k;
}

TEST(HueSBTest, ChannelFromSaturationAndBrightness)
{
    EXPECT_EQ(HueSBComponent(255, 100, 100), 255);
    EXPECT_EQ(HueSBComponent(0, 0, 100), 255);
    EXPECT_EQ(HueSBComponent(0, 100, 100), 0);
    EXPECT_EQ(HueSBComponent(0, 50, 50), 64);   // 63.75
    EXPECT_EQ(HueSBComponent(255, 0, 50), 128); // 127.5 to the even neighbour
    EXPECT_EQ(HueSBComponent(255, 30, 0), 0);
}

TEST(GetHexValTest, SixUpperCaseDigits)
{
    EXPECT_EQ(GetHexVal(255, 0, 0), QStringLiteral("FF0000"));
    EXPECT_EQ(GetHexVal(0, 0, 0), QStringLiteral("000000"));
    EXPECT_EQ(GetHexVal(10, 11, 12), QStringLiteral("0A0B0C"));
    EXPECT_EQ(GetHexVal(255, 128, 0), QStringLiteral("FF8000"));
}

TEST(GetHexValTest, OutOfRangePartsGiveLongerText)
{
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
    EXPECT_FALSE(GetSafeColor(217).has_value());
    EXPECT_FALSE(GetSafeColor(220).has_value());
}

TEST(PaletteCellTest, MatchesTheRowByRowConstruction)
{
    // Cells follow one another 3 pixels apart; after every 16th a new row starts.
    int left = 10;
    int top = 10;
    for (int i = 1; i <= PaletteCellCount; ++i) {
        const PixelRect cell = PaletteCellRect(i);
        EXPECT_EQ(cell.left, left) << i;
        EXPECT_EQ(cell.top, top) << i;
        EXPECT_EQ(cell.right, left + 15) << i;
        EXPECT_EQ(cell.bottom, top + 15) << i;
        left += 18;
        if (i % 16 == 0) {
            left = 10;
            top += 18;
        }
    }
    EXPECT_EQ(PaletteCellRect(224).right, 295);
    EXPECT_EQ(PaletteCellRect(224).bottom, 259);
}

} // namespace
