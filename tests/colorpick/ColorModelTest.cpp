#include "colorpick/ColorModel.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorModelTest, SplitColorAndRounding)
{
    const std::pair<ColorValue, ColorParts> cases[] = {
        {16777215, {255, 255, 255}}, {255, {255, 0, 0}}, {65280, {0, 255, 0}}, {RGB(10, 20, 30), {10, 20, 30}},
        // Negative values truncate toward zero and keep the dividend's sign.
        {-1, {-1, 0, 0}}, {-65537, {-1, 0, -1}},
    };
    for (const auto &[color, parts] : cases)
        EXPECT_EQ(SplitColor(color), parts) << color;
    EXPECT_EQ(RoundHalfEven(42.5), 42);
    EXPECT_EQ(RoundHalfEven(127.5), 128);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(Int(-0.5), -1);
}

TEST(ColorModelTest, HexDigitsWebSafeOrderAndHueSBRounding)
{
    EXPECT_EQ(HueSBComponent(0, 50, 50), 64);   // 63.75
    EXPECT_EQ(HueSBComponent(255, 0, 50), 128); // 127.5 to the even neighbour
    EXPECT_EQ(GetHexVal(255, 0, 0), QStringLiteral("FF0000"));
    EXPECT_EQ(GetHexVal(10, 11, 12), QStringLiteral("0A0B0C"));
    EXPECT_EQ(GetHexVal(256, 0, 0), QStringLiteral("1000000"));
    EXPECT_EQ(GetHexVal(-1, 0, 0), QStringLiteral("FFFF0000"));
    // Blue varies fastest; the drawn palette shows cells 36, 216 and 220.
    EXPECT_EQ(GetSafeColor(1), (ColorParts{0, 0, 0}));
    EXPECT_EQ(GetSafeColor(7), (ColorParts{0, 51, 0}));
    EXPECT_FALSE(GetSafeColor(217).has_value());
}

} // namespace
