#include "EffectGeometry.h"
#include "RuntimeRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

namespace {

constexpr auto New = CopySource::NewPicture;
constexpr auto Old = CopySource::OldPicture;

std::vector<StepCopy> At(const EffectGeometry &geometry, int i)
{
    std::vector<StepCopy> copies;
    geometry.copiesAt(i, copies);
    return copies;
}

struct GeometryCase
{
    const char *name;
    EffectGeometry geometry;
    int i;
    int limit;
    std::vector<StepCopy> copies;
};

void PrintTo(const GeometryCase &c, std::ostream *os)
{
    *os << c.name;
}

class Geometry : public testing::TestWithParam<GeometryCase>
{
};

TEST_P(Geometry, LimitAndCopiesAtProgress)
{
    const GeometryCase &c = GetParam();
    EXPECT_EQ(c.geometry.limit, c.limit);
    EXPECT_EQ(At(c.geometry, c.i), c.copies);
}

// W = 10, H = 7 throughout unless a case says otherwise.
INSTANTIATE_TEST_SUITE_P(
    Effects, Geometry,
    testing::Values(
        GeometryCase{"WipeFromTop", WipeGeometry(10, 7, 1, 1), 3, 7, {StepCopy::inPlace(0, 0, 10, 3)}},
        GeometryCase{"WipeFromBottom", WipeGeometry(10, 7, 2, 1), 3, 7, {StepCopy::inPlace(0, 4, 10, 3)}},
        GeometryCase{"WipeFromLeft", WipeGeometry(10, 7, 4, 1), 3, 10, {StepCopy::inPlace(0, 0, 3, 7)}},
        GeometryCase{"WipeFromRight", WipeGeometry(10, 7, 8, 1), 3, 10, {StepCopy::inPlace(7, 0, 3, 7)}},
        GeometryCase{"WipeUnknownLowCode", WipeGeometry(10, 7, 3, 1), 3, 7, {}},
        GeometryCase{"WipeUnknownHighCode", WipeGeometry(10, 7, 5, 1), 3, 10, {}},
        GeometryCase{"DoorsCloseRows", DoorsCloseGeometry(10, 7, 1, 1), 2, 4,
                     {StepCopy::inPlace(0, 0, 10, 2), StepCopy::inPlace(0, 5, 10, 2)}},
        GeometryCase{"DoorsCloseColumns", DoorsCloseGeometry(10, 7, 2, 1), 2, 5,
                     {StepCopy::inPlace(0, 0, 2, 7), StepCopy::inPlace(8, 0, 2, 7)}},
        GeometryCase{"DoorsCloseUnknownTakesHalfTheWidth", DoorsCloseGeometry(10, 7, 3, 1), 2, 5, {}},
        GeometryCase{"DoorsOpenRows", DoorsOpenGeometry(10, 7, 1, 1), 2, 4,
                     {StepCopy::inPlace(0, 2, 10, 2), StepCopy::inPlace(0, 4, 10, 2)}},
        GeometryCase{"DoorsOpenColumnsOddWidth", DoorsOpenGeometry(1025, 7, 2, 1), 2, 512,
                     {StepCopy::inPlace(510, 0, 2, 7), StepCopy::inPlace(512, 0, 2, 7)}},
        GeometryCase{"BlindsUpward", BlindsGeometry(10, 7, 2, 1, 4), 1, 4,
                     {StepCopy::inPlace(0, 3, 10, 1), StepCopy::inPlace(0, 7, 10, 1)}},
        GeometryCase{"BlindsRightward", BlindsGeometry(10, 7, 4, 1, 5), 1, 5,
                     {StepCopy::inPlace(0, 0, 1, 7), StepCopy::inPlace(5, 0, 1, 7), StepCopy::inPlace(10, 0, 1, 7)}},
        GeometryCase{"BlindsZeroCodeDrawsNothing", BlindsGeometry(10, 7, 0, 1, 4), 1, 4, {}},
        GeometryCase{"CombWipeColumns", CombWipeGeometry(10, 7, 1, 3, 5, true), 3, 7,
                     {StepCopy::inPlace(0, 0, 5, 3), StepCopy::inPlace(5, 4, 5, 3), StepCopy::inPlace(10, 0, 5, 3)}},
        GeometryCase{"CombWipeOtherDirectionRowsOverTheWidth", CombWipeGeometry(10, 7, 3, 3, 5, true), 3, 7,
                     {StepCopy::inPlace(0, 0, 3, 5), StepCopy::inPlace(7, 5, 3, 5), StepCopy::inPlace(0, 10, 3, 5)}},
        GeometryCase{"CombSlideColumns", CombSlideGeometry(10, 7, 1, 3, 6, true), 3, 7,
                     {StepCopy::moved(New, 0, 4, 6, 3, 0, 0), StepCopy::moved(New, 6, 0, 6, 3, 6, 4)}},
        GeometryCase{"CombSlideRows", CombSlideGeometry(10, 7, 2, 3, 4, false), 3, 10,
                     {StepCopy::moved(New, 0, 0, 3, 4, 7, 0), StepCopy::moved(New, 7, 4, 3, 4, 0, 4)}},
        GeometryCase{"CombSlideNoStrips", CombSlideGeometry(10, 7, 1, 3, 0, true), 3, 7, {}},
        GeometryCase{"StretchInFromLeftSqueezing", StretchInGeometry(10, 7, 1, 1, 0, 1), 3, 10,
                     {StepCopy::stretch(New, 0, 0, 10, 7, 0, 0, 3, 7), StepCopy::stretch(Old, 0, 0, 10, 7, 3, 0, 7, 7)}},
        GeometryCase{"StretchInFromLeftPushing", StretchInGeometry(10, 7, 1, 1, 0, 3), 3, 10,
                     {StepCopy::stretch(New, 0, 0, 10, 7, 0, 0, 3, 7), StepCopy::moved(Old, 0, 0, 7, 7, 3, 0)}},
        GeometryCase{"StretchInFromRightSqueezing", StretchInGeometry(10, 7, 2, 1, 0, 1), 3, 10,
                     {StepCopy::stretch(New, 0, 0, 10, 7, 7, 0, 3, 7), StepCopy::stretch(Old, 0, 0, 10, 7, 0, 0, 7, 7)}},
        GeometryCase{"StretchInUnknownDirection", StretchInGeometry(10, 7, 3, 1, 0, 1), 3, 10, {}},
        GeometryCase{"StretchDoorsSideways", StretchDoorsGeometry(11, 7, 2, 1, 0, 1), 2, 5,
                     {StepCopy::stretch(New, 0, 0, 5, 7, 0, 0, 2, 7), StepCopy::stretch(New, 5, 0, 5, 7, 9, 0, 2, 7),
                      StepCopy::stretch(Old, 0, 0, 11, 7, 2, 0, 7, 7)}},
        GeometryCase{"StretchDoorsUpAndDownIgnorePushing", StretchDoorsGeometry(10, 7, 1, 1, 0, 3), 2, 3,
                     {StepCopy::stretch(New, 0, 0, 10, 3, 0, 0, 10, 2),
                      StepCopy::stretch(New, 0, 3, 10, 3, 0, 5, 10, 2)}}),
    [](const testing::TestParamInfo<GeometryCase> &info) { return std::string(info.param.name); });

TEST(RandomLineOrder, IsAPermutationOfAllLines)
{
    RuntimeRandom random(3);
    std::vector<int> order = ShuffledLines(500, random);
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> all(500);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(sorted, all);
    EXPECT_NE(order, all);
    EXPECT_EQ(RandomLinesGeometry(3, 500, 2, 0, order).limit, 500);
}

TEST(RuntimeRandomTest, UniformOnTheUnitIntervalAndReseedable)
{
    RuntimeRandom random;
    std::vector<int> buckets(10);
    for (int n = 0; n < 100000; ++n) {
        const double r = random.Rnd();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        ++buckets[std::size_t(r * 10)];
    }
    for (const int count : buckets)
        EXPECT_NEAR(count, 10000, 500);

    RuntimeRandom a(42), b(42);
    a.Randomize(17);
    b.Randomize(17);
    EXPECT_EQ(a.Rnd(), b.Rnd());
    b.Randomize(18);
    a.Randomize(19);
    EXPECT_NE(a.Rnd(), b.Rnd());
}

}
