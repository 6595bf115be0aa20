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
    // lower, upper, and the range drawn from: a negative upper draws 0..9, a reversed range 0..upper.
    const std::tuple<int, int, int, int> ranges[] = {{1, 12, 1, 12}, {4, -2, 0, 9}, {9, 3, 0, 3}, {5, 5, 5, 5}, {6, 5, 0, 5}};
    for (const auto &[lower, upper, low, high] : ranges) {
        std::map<int, int> seen;
        for (int k = 0; k < 500; ++k)
            ++seen[GenerateRandom(lower, upper, random, Fixed)];
        EXPECT_EQ(seen.begin()->first, low) << lower << ".." << upper;
        EXPECT_EQ(seen.rbegin()->first, high) << lower << ".." << upper;
    }
}

TEST(GenerateRandom, TwelveChoicesEquallyLikelyEvenWhenTheClockStandsStill)
{
    // With a 60-second interval every draw sees the same month and second; the draws must still vary.
    RuntimeRandom random;
    std::map<int, int> counts;
    constexpr int Draws = 24000;
    int repeats = 0;
    for (int k = 0, previous = 0; k < Draws; ++k) {
        const int r = GenerateRandom(1, 12, random, Fixed);
        ++counts[r];
        repeats += r == std::exchange(previous, r);
    }
    ASSERT_EQ(counts.size(), 12u);
    for (const auto &[choice, count] : counts)
        EXPECT_NEAR(count, Draws / 12, Draws / 12 / 8) << "choice " << choice;
    EXPECT_LT(repeats, Draws * 3 / 20);
}
