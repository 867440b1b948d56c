//===- rounding_test.cpp - Round, Trunc and integer text ------------------===//
#include "platform/rtl/Exception.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(Round, TiesGoToTheEvenNeighbour)
{
    struct Row {
        double x;
        int64_t expected;
    };
    const Row Rows[] = {
        { 0.5, 0 },
        { 1.5, 2 },
        { 2.5, 2 },
        { 3.5, 4 },
        { -0.5, 0 },
        { -1.5, -2 },
        { -2.5, -2 },
        { -3.5, -4 },
        { 2.4999999, 2 },
        { 2.5000001, 3 },
        { -2.6, -3 },
        { 0.0, 0 },
        { -0.0, 0 },
        // Large values: the tie rule holds where halves are still representable.
        { 1e15 + 0.5, 1000000000000000 },
        { 1e15 + 1.5, 1000000000000002 },
        { 4503599627370497.0, 4503599627370497 },
    };
    for (const Row& R : Rows)
        EXPECT_EQ(Round(R.x), R.expected) << "Round(" << R.x << ")";
}

TEST(Round, RefusesValuesWithoutAnInteger)
{
    for (double X : { std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                      1e19, -1e19, 9223372036854775808.0 })
        EXPECT_THROW(Round(X), EInvalidOp) << X;
    EXPECT_EQ(Round(-9223372036854775808.0), std::numeric_limits<int64_t>::min());
}

TEST(Trunc, CutsTowardZero)
{
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_EQ(Trunc(-0.1), 0);
    EXPECT_THROW(Trunc(1e19), EInvalidOp);
    EXPECT_DOUBLE_EQ(Frac(-1.25), -0.25);
    EXPECT_DOUBLE_EQ(Frac(3.75), 0.75);
}

TEST(IntToHex, UpperCaseWithMinimumDigitsAndTwosComplementForNegatives)
{
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0, 1), "0");
    EXPECT_EQ(IntToHex(0, 0), "0");
    EXPECT_EQ(IntToHex(70000, 4), "11170"); // more digits than asked are kept
    EXPECT_EQ(IntToHex(0x7FFFFFFF, 0), "7FFFFFFF");
    EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(-255, 4), "FFFFFF01");
    EXPECT_EQ(IntToHex(std::numeric_limits<int32_t>::min(), 1), "80000000");
    EXPECT_EQ(IntToHex(int64_t(-1), 2), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(int64_t(0x123456789A), 12), "00123456789A");
    EXPECT_EQ(IntToHex(0xFFFFFFFFu, 2), "FFFFFFFF");
    EXPECT_EQ(IntToHex(size_t(0xABC), 4), "0ABC");
}

TEST(IntToStr, WholeRange)
{
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

TEST(StrToInt, AcceptsBlanksSignsAndHexadecimal)
{
    struct Row {
        const char* text;
        int32_t expected;
    };
    const Row Rows[] = {
        { "123", 123 },
        { "  42", 42 },
        { "\t7", 7 },
        { "-17", -17 },
        { "+5", 5 },
        { "007", 7 },
        { "$1F", 31 },
        { "$1f", 31 },
        { "0x1f", 31 },
        { "0X10", 16 },
        { "-$10", -16 },
        { "$FFFFFFFF", -1 },
        { "$80000000", std::numeric_limits<int32_t>::min() },
        { "2147483647", 2147483647 },
        { "-2147483648", std::numeric_limits<int32_t>::min() },
    };
    for (const Row& R : Rows)
        EXPECT_EQ(StrToInt(R.text), R.expected) << R.text;
}

TEST(StrToInt, RefusesEverythingElse)
{
    for (const char* Text : { "", " ", "abc", "12 ", "1.5", "2147483648", "-2147483649", "$100000000", "$", "0x", "--1",
                              "+-1", "1e3", "$G", "١" })
        EXPECT_THROW(StrToInt(Text), EConvertError) << '"' << Text << '"';
}

TEST(StrToInt, NamesTheTextInItsError)
{
    try {
        StrToInt("abc");
        FAIL() << "no exception";
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "'abc' is not a valid integer value");
        EXPECT_STREQ(E.what(), "'abc' is not a valid integer value");
    }
}

TEST(StrToInt, DefaultAndTryVariants)
{
    EXPECT_EQ(StrToIntDef("x", 50), 50);
    EXPECT_EQ(StrToIntDef(" 60", 50), 60);
    int32_t V = 99;
    EXPECT_FALSE(TryStrToInt("", V));
    EXPECT_EQ(V, 99) << "a failed conversion leaves the value alone";
    EXPECT_TRUE(TryStrToInt("$ff", V));
    EXPECT_EQ(V, 255);
}

TEST(StrToInt64, WholeRangeAndHexWrap)
{
    EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64("$FFFFFFFF"), 4294967295LL);
    EXPECT_EQ(StrToInt64("-$1F"), -31);
    EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_THROW(StrToInt64("$10000000000000000"), EConvertError);
    EXPECT_EQ(StrToInt64Def("12x", -5), -5);
}

} // namespace
