#include "Val.h"

#include <gtest/gtest.h>

namespace {

struct ValCase
{
    const char *name;
    const char16_t *text;
    double value;
};

class ValTest : public testing::TestWithParam<ValCase>
{};

TEST_P(ValTest, ReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(Val(QString::fromUtf16(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValTest,
    testing::Values(ValCase{"trailingLetters", u"12abc", 12}, ValCase{"innerBlank", u"1 2", 12},
                    ValCase{"innerTab", u"3\t6", 36}, ValCase{"leadingBlanks", u"  36", 36},
                    ValCase{"empty", u"", 0}, ValCase{"noNumber", u"abc", 0}, ValCase{"loneMinus", u"-", 0},
                    ValCase{"negative", u"-5", -5}, ValCase{"plus", u"+4", 4}, ValCase{"fraction", u"12.5", 12.5},
                    ValCase{"trailingPoint", u"12.", 12}, ValCase{"leadingPoint", u".5", 0.5},
                    ValCase{"exponent", u"1e3", 1000}, ValCase{"exponentD", u"1D2", 100},
                    ValCase{"bareExponent", u"1e", 1}, ValCase{"hex", u"&HFF", 255}, ValCase{"hexLower", u"&hff", 255},
                    ValCase{"hexStopsAtNonDigit", u"&H1G", 1}, ValCase{"hexSixteenBit", u"&HFFFF", -1},
                    ValCase{"hexWide", u"&H10000", 65536}, ValCase{"octal", u"&O17", 15},
                    ValCase{"octalStopsAtEight", u"&O78", 7}, ValCase{"ampersandAlone", u"&", 0},
                    ValCase{"unknownPrefix", u"&X12", 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ValOverflowTest, HugeExponentIsInfinite)
{
    EXPECT_TRUE(std::isinf(Val(QStringLiteral("1e400"))));
}

} // namespace
