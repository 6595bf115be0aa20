#include "slideshow/GenerateRandom.h"
#include "transitions/RuntimeRandom.h"

#include <gtest/gtest.h>
#include <map>

namespace {

const LocalNow Fixed = [] { return QDateTime(QDate(2026, 6, 1), QTime(12, 0, 30)); };

} // namespace

TEST(GenerateRandom, BoundsAndOddCases)
{
    RuntimeRandom random;
    // A negative lower bound passes the loop test with the starting value.
    EXPECT_EQ(GenerateRandom(-3, 5, random, Fixed), -1);
    for (int k = 0; k < 500; ++k) {
        const int normal = GenerateRandom(1, 12, random, Fixed);
        EXPECT_GE(normal, 1);
        EXPECT_LE(normal, 12);
        const int negativeUpper = GenerateRandom(4, -2, random, Fixed);
        EXPECT_GE(negativeUpper, 0);
        EXPECT_LE(negativeUpper, 9);
        const int reversed = GenerateRandom(9, 3, random, Fixed);
        EXPECT_GE(reversed, 0);
        EXPECT_LE(reversed, 3);
        EXPECT_EQ(GenerateRandom(5, 5, random, Fixed), 5);
    }
}

TEST(GenerateRandom, TwelveChoicesEquallyLikelyEvenWhenTheClockStandsStill)
{
    // With a 60-second interval every draw sees the same month and second; the draws must still vary.
    RuntimeRandom random;
    std::map<int, int> counts;
    constexpr int Draws = 24000;
    for (int k = 0; k < Draws; ++k)
        ++counts[GenerateRandom(1, 12, random, Fixed)];
    ASSERT_EQ(counts.size(), 12u);
    for (const auto &[choice, count] : counts)
        EXPECT_NEAR(count, Draws / 12, Draws / 12 / 8) << "choice " << choice;
    int repeats = 0;
    int previous = 0;
    for (int k = 0; k < 1000; ++k) {
        const int r = GenerateRandom(1, 12, random, Fixed);
        repeats += r == previous;
        previous = r;
    }
    EXPECT_LT(repeats, 150);
}
