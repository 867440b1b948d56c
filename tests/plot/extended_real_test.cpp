//===- extended_real_test.cpp - 10-byte extended reals of stored graphs ---===//
#include "plot/ExtendedReal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TExtendedBytes Bytes(std::initializer_list<int> List)
{
    TExtendedBytes B {};
    int I = 0;
    for (int V : List)
        B[I++] = static_cast<uint8_t>(V);
    return B;
}

constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(ExtendedReal, DoublesEncodeToTheirExactExtendedBytes)
{
    struct Row {
        double Value;
        TExtendedBytes Expected;
    } Rows[] = {
        { 1.0, Bytes({ 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F }) },
        { 0.05, Bytes({ 0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFA, 0x3F }) },
        { 85.0, Bytes({ 0, 0, 0, 0, 0, 0, 0, 0xAA, 0x05, 0x40 }) },
        { -2.0, Bytes({ 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0 }) },
        { 0.0, Bytes({ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }) },
        { -0.0, Bytes({ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80 }) },
        { Inf, Bytes({ 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F }) },
        // The smallest subnormal double, 2^-1074, is a normal extended.
        { std::numeric_limits<double>::denorm_min(), Bytes({ 0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B }) },
    };
    for (const Row& R : Rows)
        EXPECT_EQ(DoubleToExtended(R.Value), R.Expected) << R.Value;
}

TEST(ExtendedReal, EveryKindOfDoubleReadsBackUnchanged)
{
    const double Values[] = { 1.0,
                              -0.05,
                              1.0 / 3,
                              6.02e23,
                              std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::min(),
                              std::numeric_limits<double>::denorm_min(),
                              3 * std::numeric_limits<double>::denorm_min(),
                              -Inf };
    for (double V : Values) {
        const auto Back = ExtendedToDouble(DoubleToExtended(V));
        ASSERT_TRUE(Back.has_value()) << V;
        EXPECT_EQ(*Back, V);
    }
    const auto NaN = ExtendedToDouble(DoubleToExtended(std::nan("")));
    ASSERT_TRUE(NaN.has_value());
    EXPECT_TRUE(std::isnan(*NaN));
}

TEST(ExtendedReal, ExtraMantissaBitsRoundToNearestEven)
{
    struct Row {
        const char* Case;
        TExtendedBytes In;
        double Expected;
    } Rows[] = {
        // 1 + 2^-53 is halfway between 1 and the next double: ties to the even 1.
        { "tie down", Bytes({ 0, 0x04, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F }), 1.0 },
        // 1 + 3 * 2^-53 is halfway between odd and even neighbours: up to 1 + 2^-51.
        { "tie up", Bytes({ 0, 0x0C, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F }), 1.0 + std::ldexp(1.0, -51) },
        { "above half", Bytes({ 1, 0x04, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F }), 1.0 + std::ldexp(1.0, -52) },
        { "carry into the exponent", Bytes({ 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x3F }), 2.0 },
        { "extended denormal", Bytes({ 1, 0, 0, 0, 0, 0, 0, 0, 0, 0 }), 0.0 },
        { "below the subnormals", Bytes({ 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x3B }), 0.0 },
        { "half the smallest subnormal goes to even zero", Bytes({ 0, 0, 0, 0, 0, 0, 0, 0x80, 0xCC, 0x3B }), 0.0 },
        { "unnormal taken by its value", Bytes({ 0, 0, 0, 0, 0, 0, 0, 0x40, 0x00, 0x40 }), 1.0 },
    };
    for (const Row& R : Rows) {
        const auto Value = ExtendedToDouble(R.In);
        ASSERT_TRUE(Value.has_value()) << R.Case;
        EXPECT_EQ(*Value, R.Expected) << R.Case;
    }
}

TEST(ExtendedReal, FiniteValuesBeyondTheDoubleRangeGiveNothing)
{
    EXPECT_FALSE(ExtendedToDouble(Bytes({ 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x44 })).has_value()); // 2^1025
    // The largest double's mantissa rounded up overflows too.
    EXPECT_FALSE(ExtendedToDouble(Bytes({ 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x43 })).has_value());
}

TEST(ExtendedReal, ReciprocalsTruncateAsTheExtendedQuotientDoes)
{
    // 1 / 0.05 and 1 / 0.1 lie just below 20 and 10 in extended, although double rounds them up.
    struct Row {
        double Value;
        uint64_t Expected;
    } Rows[] = {
        { 0.05, 19 }, { 0.1, 9 },      { 0.2, 4 },
        { 0.5, 2 },   { 0.6, 1 },      { 0.25, 4 },
        { 3.0, 0 },   { 1e-5, 99999 }, { std::ldexp(1.0, -62), uint64_t(1) << 62 },
    };
    for (const Row& R : Rows) {
        const auto N = ExtendedReciprocalTrunc(R.Value);
        ASSERT_TRUE(N.has_value()) << R.Value;
        EXPECT_EQ(*N, R.Expected) << R.Value;
    }
    for (double Bad : { 0.0, -0.5, Inf, std::nan(""), std::ldexp(1.0, -64) })
        EXPECT_FALSE(ExtendedReciprocalTrunc(Bad).has_value()) << Bad;
}

} // namespace
