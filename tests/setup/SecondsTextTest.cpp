#include "setup/CenterForm.h"
#include "setup/SecondsText.h"

#include <gtest/gtest.h>

TEST(SecondsText, PlainDecimalsWithFifteenDigitsAndAcceptanceOfAtLeastOneMillisecond)
{
    const std::pair<double, const char *> shown[] = {{4, "4"}, {3.5, "3.5"}, {0.1 + 0.2, "0.3"}, {-1, "-1"}, {-0.0, "0"},
        {123456789.123456789, "123456789.123457"}, {1e20, "100000000000000000000"}, {1.5e-7, "0.00000015"}};
    for (const auto &[value, text] : shown)
        EXPECT_EQ(SecondsText(value), text);
    for (const char *text : {"1", "2.5", " 7 ", "0.001", "86400"})
        EXPECT_TRUE(AcceptableSeconds(text)) << text;
    for (const char *text : {"", "abc", "0", "-1", "0.0009", "2,5", "inf", "nan"})
        EXPECT_FALSE(AcceptableSeconds(text)) << text;
}

TEST(SecondsText, ArrowsStepByOneAndStopOnlyAtExactlyOneAndTen)
{
    // The number stops whatever its text; other numbers are neither clamped nor rounded.
    const struct { const char *text; SecondsArrow arrow; std::optional<QString> stepped; } cases[] = {
        {"7", SecondsArrow::Down, "6"},            {"1", SecondsArrow::Down, std::nullopt}, {"1.0", SecondsArrow::Down, std::nullopt},
        {"10", SecondsArrow::Up, std::nullopt},    {"12", SecondsArrow::Up, "13"},          {"0", SecondsArrow::Down, "-1"},
        {"2.5", SecondsArrow::Up, "3.5"},          {"five", SecondsArrow::Up, std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SteppedSeconds(c.text, c.arrow), c.stepped) << c.text << (c.arrow == SecondsArrow::Up ? " up" : " down");
}

TEST(CenterForm, HalfOfTheDifferenceRoundsToEven)
{
    EXPECT_EQ(CenteredTopLeftTwips({12000, 9000}, {7575, 6060}), QPoint(2212, 1470)); // 2212.5 goes down
    EXPECT_EQ(CenteredTopLeftTwips({12000, 9000}, {7565, 6061}), QPoint(2218, 1470)); // 2217.5 up, 1469.5 up
    EXPECT_EQ(CenteredTopLeftTwips({7000, 5000}, {7575, 6060}), QPoint(-288, -530));
}
