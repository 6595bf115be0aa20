#include "colorpick/ColorModel.h"

#include <gtest/gtest.h>

TEST(ColorModelTest, SplitColorHexSafeColorsAndTheHueSBColour)
{
    const std::pair<ColorValue, ColorParts> cases[] = {
        {16777215, {255, 255, 255}}, {255, {255, 0, 0}}, {65280, {0, 255, 0}}, {RGB(10, 20, 30), {10, 20, 30}},
        // Negative values truncate toward zero and keep the dividend's sign.
        {-1, {-1, 0, 0}}, {-65537, {-1, 0, -1}},
    };
    for (const auto &[color, parts] : cases)
        EXPECT_EQ(SplitColor(color), parts) << color;
    EXPECT_EQ(Int(-0.5), -1);
    // Two upper-case digits a part; 256 and -1 run longer.
    EXPECT_EQ(GetHexVal(10, 11, 255) + ' ' + GetHexVal(256, -1, 0), QStringLiteral("0A0BFF 100FFFF00"));
    // Blue varies fastest; the cells past 216 are fillers.
    EXPECT_EQ(std::tuple(GetSafeColor(1), GetSafeColor(7), GetSafeColor(216), GetSafeColor(217)),
              std::tuple(ColorParts{0, 0, 0}, ColorParts{0, 51, 0}, ColorParts{255, 255, 255}, std::nullopt));
    // (255 - x0) x (100 - s) is a whole number, divided as a fraction: 63.75, 127.5 to the even 128, 2.55.
    EXPECT_EQ(std::tuple(HueSBComponent(0, 50, 50), HueSBComponent(255, 0, 50), HueSBComponent(0, 99, 100)), std::tuple(64, 128, 3));
}
