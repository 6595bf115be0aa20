#include "CenterForm.h"
#include "SecondsText.h"

#include <gtest/gtest.h>

TEST(SecondsText, PlainDecimalWithFifteenSignificantDigits)
{
    EXPECT_EQ(SecondsText(4), "4");
    EXPECT_EQ(SecondsText(3.5), "3.5");
    EXPECT_EQ(SecondsText(0.1 + 0.2), "0.3");
    EXPECT_EQ(SecondsText(-1), "-1");
    EXPECT_EQ(SecondsText(-0.0), "0");
    EXPECT_EQ(SecondsText(123456789.123456789), "123456789.123457");
    EXPECT_EQ(SecondsText(1e20), "100000000000000000000");
    EXPECT_EQ(SecondsText(1.5e-7), "0.00000015");
}

TEST(SecondsText, ArrowsStopOnlyAtExactlyOneAndTen)
{
    EXPECT_EQ(SteppedSeconds("1", SecondsArrow::Down), std::nullopt);
    EXPECT_EQ(SteppedSeconds("10", SecondsArrow::Up), std::nullopt);
    EXPECT_EQ(SteppedSeconds("1", SecondsArrow::Up), "2");
    EXPECT_EQ(SteppedSeconds("10.0", SecondsArrow::Down), "9");
    EXPECT_EQ(SteppedSeconds("1.0", SecondsArrow::Down), std::nullopt);
    EXPECT_EQ(SteppedSeconds("1e1", SecondsArrow::Up), std::nullopt);
    EXPECT_EQ(SteppedSeconds("seven", SecondsArrow::Up), std::nullopt);
}

TEST(SecondsText, AcceptsNumbersGivingAtLeastOneMillisecond)
{
    for (const char *text : {"1", "2.5", " 7 ", "0.001", "86400"})
        EXPECT_TRUE(AcceptableSeconds(text)) << text;
    for (const char *text : {"", "abc", "0", "-1", "0.0009", "2,5", "inf", "nan"})
        EXPECT_FALSE(AcceptableSeconds(text)) << text;
}

TEST(CenterForm, HalfOfTheDifferenceRoundsToEven)
{
    EXPECT_EQ(CenteredTopLeftTwips({12000, 9000}, {7575, 6060}), QPoint(2212, 1470)); // 2212.5 goes down
    EXPECT_EQ(CenteredTopLeftTwips({12000, 9000}, {7565, 6061}), QPoint(2218, 1470)); // 2217.5 up, 1469.5 up
    EXPECT_EQ(CenteredTopLeftTwips({7000, 5000}, {7575, 6060}), QPoint(-288, -530));
}
