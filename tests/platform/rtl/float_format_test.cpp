//===- float_format_test.cpp - FormatFloat, FloatToStr(F), StrToFloat -----===//
#include "tests/platform/rtl/RtlTestSupport.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct PictureRow {
    const char* picture;
    double value;
    const char* expected;
};

TEST(FormatFloat, Pictures)
{
    const PictureRow Rows[] = {
        // The PDF writer's number format.
        { "0.####", 72, "72" },
        { "0.####", 0.5, "0.5" },
        { "0.####", 1.0 / 3, "0.3333" },
        { "0.####", 2.00004, "2" },
        { "0.####", 2.00005, "2.0001" },
        { "0.####", -1.5, "-1.5" },
        { "0.####", -0.00001, "0" }, // rounds to zero: no sign
        { "0.####", 1e9, "1000000000" },
        // Halves of the shortest decimal form go away from zero.
        { "0.00", 2.675, "2.68" },
        { "0.00", -2.675, "-2.68" },
        { "0", 2.5, "3" },
        { "0", -2.5, "-3" },
        { "0", 0.49999, "0" },
        { "0.0", 9.96, "10.0" },
        // Forced and optional digits.
        { "000", 7, "007" },
        { "#", 0, "" },
        { "#.00", 0.5, ".50" },
        { "0.00", 0, "0.00" },
        { "#0.0#", 3.1, "3.1" },
        { "#0.0#", 3.14159, "3.14" },
        { "00", 12345, "12345" }, // more digits than placeholders go in front
        // Thousand separators.
        { "#,##0.00", 1234567.891, "1,234,567.89" },
        { "#,##0", 999, "999" },
        { "#,##0", -1000, "-1,000" },
        { ",0", 12345678, "12,345,678" },
        // Scientific notation.
        { "0.00E+00", 1234.5, "1.23E+03" },
        { "0.00E+00", 0.000123, "1.23E-04" },
        { "0.0E-0", 0.00012, "1.2E-4" },
        { "0.0E-0", 12000, "1.2E4" },
        { "0.00E+00", 0, "0.00E+00" },
        { "00.0E+0", 1234.5, "12.3E+2" },
        // Literal text.
        { "\"T=\"0.0\" K\"", 300.25, "T=300.3 K" },
        { "0.0 'mJ'", 1.25, "1.3 mJ" },
        { "0.0 x", 1.25, "1.3 x" },
        // Sections.
        { "0.00;(0.00)", -1.5, "(1.50)" },
        { "0.00;(0.00)", 1.5, "1.50" },
        { "0.00;(0.00);\"zero\"", 0, "zero" },
        { "0.00;(0.00);\"zero\"", -0.001, "zero" },
        { "0.00;;\"zero\"", -2, "-2.00" },
        { "0.00;\"neg\"", -2, "neg" },
        { "0.0;-0.0;0", 1e-9, "0" },
        // An empty picture is the general format.
        { "", 1.5, "1.5" },
        { "", -1e20, "-1E20" },
    };
    for (const PictureRow& R : Rows)
        EXPECT_EQ(FormatFloat(R.picture, R.value), R.expected)
            << "FormatFloat(\"" << R.picture << "\", " << R.value << ")";
}

TEST(FormatFloat, UsesTheProcessWideSeparators)
{
    DecimalSeparatorGuard Comma(',');
    const char OldThousands = ThousandSeparator;
    ThousandSeparator = '.';
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1.234,50");
    EXPECT_EQ(FormatFloat("0.####", 0.25), "0,25");
    ThousandSeparator = OldThousands;
}

TEST(FormatFloat, NonFiniteValues)
{
    EXPECT_EQ(FormatFloat("0.00", std::nan("")), "NAN");
    EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FormatFloat("0.00", -std::numeric_limits<double>::infinity()), "-INF");
}

TEST(FloatToStr, ShortestGeneralForm)
{
    const std::pair<double, const char*> Rows[] = {
        { 0.1 + 0.2, "0.3" },
        { 100, "100" },
        { -0.0, "0" },
        { 1.0 / 3, "0.333333333333333" },
        { 2.0 / 3, "0.666666666666667" },
        { 1e20, "1E20" },
        { 1.5e-7, "1.5E-7" },
        { 0.00001, "0.00001" },
        { 0.000012345, "0.000012345" },
        { 123456789012345.0, "123456789012345" },
        { 1234567890123456.0, "1.23456789012346E15" },
        { -2.5, "-2.5" },
    };
    for (const auto& [Value, Expected] : Rows)
        EXPECT_EQ(FloatToStr(Value), Expected) << Value;
}

TEST(FloatToStrF, FormatsOfTheGraphLabelsAndReports)
{
    struct Row {
        double value;
        TFloatFormat format;
        int precision, digits;
        const char* expected;
    };
    const Row Rows[] = {
        { 12.345, ffFixed, 15, 1, "12.3" },
        { 12.35, ffFixed, 15, 1, "12.4" },
        { 1e-9, ffFixed, 2, 1, "0.0" },
        { 0.0005, ffExponent, 3, 0, "5.00E-4" },
        { -0.0005, ffExponent, 3, 1, "-5.00E-4" },
        { 1, ffExponent, 15, 3, "1.00000000000000E+000" },
        { 12345, ffFixed, 5, 0, "12345" },
        { 123.456, ffFixed, 5, 2, "123.46" },
        { 123.456, ffFixed, 4, 2, "123.50" },  // precision first, decimals after
        { 123456, ffFixed, 5, 0, "1.2346E5" }, // more integer digits than the precision
        { 1234567.5, ffNumber, 15, 2, "1,234,567.50" },
        { 0.5, ffGeneral, 15, 0, "0.5" },
        { 1e-6, ffGeneral, 15, 2, "1E-06" },
        { 99.95, ffFixed, 15, 1, "100.0" },
    };
    for (const Row& R : Rows)
        EXPECT_EQ(FloatToStrF(R.value, R.format, R.precision, R.digits), R.expected) << R.value;
}

TEST(StrToFloat, ReadsTheSystemsNumberText)
{
    const std::pair<const char*, double> Rows[] = {
        { "1.5", 1.5 },  { " 1.5 ", 1.5 }, { "-2", -2 },        { "+3.25", 3.25 }, { ".5", 0.5 },   { "5.", 5 },
        { "1e3", 1000 }, { "1E+3", 1000 }, { "2.5e-2", 0.025 }, { "0", 0 },        { "1e-400", 0 },
    };
    for (const auto& [Text, Expected] : Rows)
        EXPECT_DOUBLE_EQ(StrToFloat(Text), Expected) << Text;
    // The largest double written out in full: 309 digits.
    EXPECT_EQ(StrToFloat("17976931348623157" + std::string(292, '0')), 1.7976931348623157e308);
    EXPECT_THROW(StrToFloat("17976931348623159" + std::string(292, '0')), EConvertError);
}

TEST(StrToFloat, RefusesMalformedText)
{
    for (const char* Text :
         { "", " ", "abc", "1,5", "1.5x", "e5", "1e", "1e+", "1.2.3", "--1", "1e400", "inf", "nan", "0x10", "1 000" })
        EXPECT_THROW(StrToFloat(Text), EConvertError) << '"' << Text << '"';
    try {
        StrToFloat("abc");
        FAIL() << "no exception";
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "'abc' is not a valid floating point value");
    }
    EXPECT_DOUBLE_EQ(StrToFloatDef("x", 7.5), 7.5);
}

TEST(StrToFloat, TheDecimalSeparatorDecides)
{
    DecimalSeparatorGuard Comma(',');
    EXPECT_DOUBLE_EQ(StrToFloat("1,5"), 1.5);
    double V = 0;
    EXPECT_FALSE(TryStrToFloat("1.5", V));
    EXPECT_EQ(FloatToStr(1.5), "1,5");
}

TEST(StrToFloat, RoundTripsFloatToStrText)
{
    for (double V : { 0.1, 123.456, -7.25, 1e-3, 6.02214076e23, 299792458.0 })
        EXPECT_NEAR(StrToFloat(FloatToStr(V)), V, std::fabs(V) * 1e-14) << V;
}

} // namespace
