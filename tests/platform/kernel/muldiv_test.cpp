//===- muldiv_test.cpp - Scaling by a fraction, rounded -------------------===//
#include "platform/kernel/MulDiv.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Row {
    int32_t Number, Numerator, Denominator, Expected;
    const char* Why;
};

TEST(MulDivTest, RoundsHalvesAwayFromZeroAndRefusesWithMinusOne)
{
    const Row rows[] = {
        { 13, 72, 96, 10, "9.75 rounds up" },
        { -13, 72, 96, -10, "-9.75 rounds down" },
        { 1, 1, 2, 1, "a half away from zero" },
        { -1, 1, 2, -1, "a negative half away from zero" },
        { 5, 1, -2, -3, "a negative divisor" },
        { -5, 1, -2, 3, "both negative" },
        { 1, 1, 3, 0, "a third rounds down" },
        { 2, 1, 3, 1, "two thirds round up" },
        { 7, 1, INT_MIN, 0, "the smallest divisor" },
        { INT_MAX, INT_MAX, INT_MAX, INT_MAX, "the product needs 64 bits" },
        { INT_MIN, -1, 2, 1073741824, "the product of INT_MIN needs 64 bits" },
        { -INT_MAX, 1, 1, -INT_MAX, "the lowest result kept" },
        { INT_MIN, 1, 1, -1, "-2^31 is refused" },
        { INT_MAX, 2, 1, -1, "too large" },
        { 1, 1, 0, -1, "a zero divisor" },
        { 0, 0, 0, -1, "a zero divisor with nothing to divide" },
    };
    for (const Row& row : rows)
        EXPECT_EQ(MulDiv(row.Number, row.Numerator, row.Denominator), row.Expected) << row.Why;
}

} // namespace
