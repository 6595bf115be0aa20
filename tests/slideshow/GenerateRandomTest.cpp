#include "slideshow/GenerateRandom.h"
#include "transitions/RuntimeRandom.h"

#include <gtest/gtest.h>
#include <map>

// Every draw mixes in the same month and second, as when the interval is a whole minute;
// the draws must still vary. 0 comes half as often as each other value: its rounding takes half a step.
TEST(GenerateRandom, EachKindOfBoundsDrawsEvenlyFromItsOwnRange)
{
    RuntimeRandom random;
    const LocalNow fixed = [] { return QDateTime(QDate(2026, 6, 1), QTime(12, 0, 30)); };
    // A negative lower bound passes the loop test with the starting value.
    EXPECT_EQ(GenerateRandom(-3, 5, random, fixed), -1);
    // lower, upper, and the range drawn from: a negative upper draws 0..9, a reversed range 0..upper.
    const std::tuple<int, int, int, int> ranges[] = {{1, 12, 1, 12}, {4, -2, 0, 9}, {9, 3, 0, 3}, {5, 5, 5, 5}, {6, 5, 0, 5}};
    constexpr int Draws = 24000;
    for (const auto &[lower, upper, low, high] : ranges) {
        std::map<int, int> seen;
        for (int k = 0; k < Draws; ++k)
            ++seen[GenerateRandom(lower, upper, random, fixed)];
        const double shares = high - low + 1 - (low == 0 ? 0.5 : 0.0);
        for (int value = low; value <= high; ++value)
            EXPECT_NEAR(seen[value], Draws * (value == 0 ? 0.5 : 1.0) / shares, Draws / 96) << lower << ".." << upper << ": " << value;
        EXPECT_EQ(seen.size(), size_t(high - low + 1)) << lower << ".." << upper; // nothing outside
    }
}
