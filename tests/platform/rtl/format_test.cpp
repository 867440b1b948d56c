//===- format_test.cpp - Format patterns, widths and argument checks ------===//
#include "tests/platform/rtl/RtlTestSupport.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Format, Integers)
{
    EXPECT_EQ(Format("%d", { 42 }), "42");
    EXPECT_EQ(Format("%5d|", { 42 }), "   42|");
    EXPECT_EQ(Format("%-5d|", { 42 }), "42   |");
    EXPECT_EQ(Format("%.3d", { -5 }), "-005");
    EXPECT_EQ(Format("%d", { int64_t(-9000000000) }), "-9000000000");
    EXPECT_EQ(Format("%u", { -1 }), "4294967295");
    EXPECT_EQ(Format("%x", { 255 }), "FF");
    EXPECT_EQ(Format("%.4x", { 255 }), "00FF");
    EXPECT_EQ(Format("%x", { -1 }), "FFFFFFFF");
    EXPECT_EQ(Format("%x", { int64_t(-1) }), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("%X", { 171 }), "AB");
    EXPECT_EQ(Format("%d", { uint16_t(65535) }), "65535");
}

TEST(Format, Strings)
{
    const std::string Owned = "owned";
    EXPECT_EQ(Format("%s", { "abc" }), "abc");
    EXPECT_EQ(Format("%s", { Owned }), "owned");
    EXPECT_EQ(Format("%s", { std::string_view("view") }), "view");
    EXPECT_EQ(Format("%s%s", { 'x', 'y' }), "xy");
    EXPECT_EQ(Format("%5s|", { "ab" }), "   ab|");
    EXPECT_EQ(Format("%-5s|", { "ab" }), "ab   |");
    EXPECT_EQ(Format("%.2s", { "abcdef" }), "ab");
    EXPECT_EQ(Format("%s", { static_cast<const char*>(nullptr) }), "");
    EXPECT_EQ(Format("\xB5J %s", { "\xE4" }), "\xB5J \xE4") << "8-bit text passes unchanged";
}

TEST(Format, FloatsRoundHalfAwayFromZero)
{
    struct Row {
        const char* pattern;
        double value;
        const char* expected;
    };
    const Row Rows[] = {
        { "%f", 1.5, "1.50" },
        { "%.2f", 2.675, "2.68" },
        { "%.2f", -2.675, "-2.68" },
        { "%4.0f", 2.5, "   3" },
        { "%4.0f", 3.5, "   4" },
        { "%6.3f", 0, " 0.000" },
        { "%6.3f", -1.0005, "-1.001" },
        { "%6.3f", 12.345, "12.345" },
        { "%.0f", 0.4, "0" },
        { "%-8.1f|", 3.14159, "3.1     |" },
        { "%g", 0.1, "0.1" },
        { "%g", 1e20, "1E20" },
        { "%.3g", 1234.5, "1.23E3" },
        { "%e", 1234.5, "1.23450000000000E+003" },
        { "%.3e", -0.000123, "-1.23E-004" },
        { "%n", 1234567.891, "1,234,567.89" },
        { "%.0n", 999.5, "1,000" },
    };
    for (const Row& R : Rows)
        EXPECT_EQ(Format(R.pattern, { R.value }), R.expected) << R.pattern << " of " << R.value;
}

TEST(Format, WidthAndPrecisionFromTheArguments)
{
    // The numeric displays format value with d decimals right-aligned in w characters.
    EXPECT_EQ(Format("%*.*f", { 8, 2, 3.14159 }), "    3.14");
    EXPECT_EQ(Format("%*.*f", { 5, 1, 12.345 }), " 12.3");
    EXPECT_EQ(Format("%*d|%-*d|", { 4, 7, 3, 8 }), "   7|8  |");
    EXPECT_EQ(Format("%6.3f <...<  %6.3f", { 0.0, 100.0 }), " 0.000 <...<  100.000");
}

TEST(Format, PercentSignsIndexesAndPlainText)
{
    EXPECT_EQ(Format("100%%", {}), "100%");
    EXPECT_EQ(Format("%1:s %0:s", { "a", "b" }), "b a");
    EXPECT_EQ(Format("%0:s-%s", { "a", "b" }), "a-b") << "after an index the next value follows it";
    EXPECT_EQ(Format("no values", {}), "no values");
    EXPECT_EQ(Format("List index out of bounds (%d)", { 5 }), "List index out of bounds (5)");
}

TEST(Format, FloatsUseTheDecimalSeparator)
{
    DecimalSeparatorGuard Comma(',');
    EXPECT_EQ(Format("%.1f", { 1.5 }), "1,5");
    EXPECT_EQ(Format("%g", { 0.25 }), "0,25");
}

TEST(Format, RefusesValuesThatDoNotSuitTheirType)
{
    try {
        Format("%d", { "abc" });
        FAIL() << "no exception";
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Format '%d' invalid or incompatible with argument");
    }
    try {
        Format("%s and %5.1f", { "one" });
        FAIL() << "no exception";
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "No argument for format '%5.1f'");
    }
    EXPECT_THROW(Format("%f", { 3 }), EConvertError) << "an integer is no float";
    EXPECT_THROW(Format("%s", { 3.5 }), EConvertError);
    EXPECT_THROW(Format("%x", { 1.0 }), EConvertError);
    EXPECT_THROW(Format("%q", { 1 }), EConvertError);
    EXPECT_THROW(Format("50%", { 1 }), EConvertError);
    EXPECT_THROW(Format("%*d", { "w", 1 }), EConvertError);
}

} // namespace
