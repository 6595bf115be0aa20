#include "colorpick/Val.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(ValTest, ReadsTheLeadingNumber)
{
    const std::pair<const char *, double> cases[] = {
        {"12abc", 12}, {"1 2", 12},     {"3\t6", 36},     {"", 0},          {"abc", 0},       {"-", 0},
        {"-5", -5},    {"12.5", 12.5},  {"12.", 12},      {".5", 0.5},      {"1e3", 1000},    {"1D2", 100},
        {"1e", 1},     {"&hff", 255},   {"&H1G", 1},      {"&HFFFF", -1},   {"&H10000", 65536},
        {"&O17", 15},  {"&O78", 7},     {"&", 0},         {"&X12", 0},
    };
    for (const auto &[text, value] : cases)
        EXPECT_DOUBLE_EQ(Val(QString::fromLatin1(text)), value) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(Val(QStringLiteral("1e400"))));
}
