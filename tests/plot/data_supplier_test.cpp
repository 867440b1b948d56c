//===- data_supplier_test.cpp - Text suppliers and reloading a series from a file ===//
#include "plot/TDataSeries.h"

#include "plot/TDataSupplier.h"
#include "tests/support/TestSupport.h"

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using XY = std::vector<std::pair<double, double>>;

XY Points(const TDataSeries& S)
{
    XY List;
    for (const TPointNode* N = S.FirstPoint(); N; N = N->Next)
        List.push_back({ N->X, N->Y });
    return List;
}

TStringList Rows(std::initializer_list<const char*> Lines)
{
    TStringList L;
    for (const char* Line : Lines)
        L.Add(Line);
    return L;
}

TEST(DataSupplier, FieldsSplitAtSeparatorsAndQuoteMarkers)
{
    struct Row {
        const char* Line;
        int Column;
        bool Found;
        std::string Text;
    } Table[] = {
        { "1,\"a,b\",3", 1, true, "a,b" },
        { "1,\"say \"\"hi\"\"\",3", 1, true, "say \"hi\"" },
        { "1,\"say \"\"hi\"\"\",3", 2, true, "3" },
        { "1,,3", 1, true, "" },
        { "1,,3", 2, true, "3" },
        { "1,,3", 3, false, "" },
        { "1,2,", 2, true, "" },
        { "'x'junk,2", 0, true, "x" },
        { "\"open,", 0, true, "open" }, // the row ends inside the quotes
        { "", 0, false, "" },
    };
    const TStringList None;
    TTxtSupplier S(None, false, "'\"", ",", 10);
    for (const Row& R : Table) {
        std::string Text;
        EXPECT_EQ(S.SplitField(R.Line, R.Column, Text), R.Found) << R.Line << " #" << R.Column;
        EXPECT_EQ(Text, R.Text) << R.Line << " #" << R.Column;
    }
}

TEST(DataSupplier, FixedWidthColumnsAreCutAtTheRowEnd)
{
    struct Row {
        uint16_t Width;
        const char* Line;
        int Column;
        bool Found;
        std::string Text;
    } Table[] = {
        { 5, "    1    2", 0, true, "    1" }, { 5, "    1    2", 1, true, "    2" }, { 5, "    1    2", 2, false, "" },
        { 5, "123456", 1, true, "6" },         { 0, "123456", 0, false, "" }, // no width, no columns
    };
    const TStringList None;
    for (const Row& R : Table) {
        TTxtSupplier S(None, true, "", "", R.Width);
        std::string Text;
        EXPECT_EQ(S.SplitField(R.Line, R.Column, Text), R.Found) << R.Width << " " << R.Line << " #" << R.Column;
        EXPECT_EQ(Text, R.Text);
    }
}

TEST(DataSupplier, ColumnsAreNamedByTheFirstRowOrByNumber)
{
    const TStringList L = Rows({ "12,Volt,,Note", "1,2,3,4,5" });
    TTxtSupplier S(L, false, "", ",", 10);
    ASSERT_EQ(S.ColumnCount(), 5);
    EXPECT_EQ(S.ColumnName(0), "(col 0)");
    EXPECT_EQ(S.ColumnName(1), "Volt");
    EXPECT_EQ(S.ColumnName(2), "(col 2)");
    EXPECT_EQ(S.ColumnName(4), "(col 4)");
    struct Row {
        const char* Name;
        int Index;
    } Table[] = {
        { "volt", 1 },      { "(COL 2)", 2 }, { "(col 17)", 17 }, { "(col x)", -1 },
        { "(col -1)", -1 }, { "(col ", -1 },  { "Amps", -1 },
    };
    for (const Row& R : Table)
        EXPECT_EQ(S.ColumnIndex(R.Name), R.Index) << R.Name;

    double V;
    EXPECT_FALSE(S.ColumnValue(1, V, false)); // "Volt" is no number
    EXPECT_TRUE(S.NextRow() == false && S.ColumnValue(4, V, false) && V == 5);
    EXPECT_TRUE(S.NextRow());
    EXPECT_THROW(S.NextRow(), EListError);
}

TEST(DataSupplier, DatesAndTimesReadWithTheDateFlag)
{
    const TStringList L = Rows({ "05/03/2024 12:00,1" });
    TTxtSupplier S(L, false, "", ",", 10);
    double V;
    ASSERT_TRUE(S.ColumnValue(0, V, true));
    EXPECT_DOUBLE_EQ(V, EncodeDate(2024, 3, 5) + 0.5);
    EXPECT_FALSE(S.ColumnValue(0, V, false));
}

class ReloadTest : public ::testing::Test {
protected:
    ReloadTest()
    {
        testsupport::WriteFile(Csv, testsupport::ReadFile(std::string(PLOT_TEST_DATA) + "/energies.csv"));
        S.DataSource = 1;
        S.DatasourceInfo = Csv;
        S.TextSeparators = ",";
        S.XDataColumn = "Time";
        S.YDataColumn = "Volt";
    }
    testsupport::TempDir Dir;
    const std::string Csv = Dir.file("energies.csv");
    TDataSeries S;
};

TEST_F(ReloadTest, RowChoiceModesAndSamplingPickTheirRows)
{
    struct Row {
        const char* Case;
        uint8_t Mode;
        double V1, V2;
        uint16_t Every, Headers;
        XY Expected;
    } Table[] = {
        { "all rows; a row without y is skipped",
          0,
          0,
          0,
          1,
          1,
          { { 1, 10 }, { 2, 20 }, { 4, 40 }, { 5, 50 }, { 6, 60 }, { 7, 70 } } },
        { "every third row", 0, 0, 0, 3, 1, { { 1, 10 }, { 4, 40 }, { 7, 70 } } },
        { "from x >= 4.5", 1, 4.5, 0, 1, 1, { { 5, 50 }, { 6, 60 }, { 7, 70 } } },
        { "from x >= 1: the first data row counts",
          1,
          1,
          0,
          1,
          1,
          { { 1, 10 }, { 2, 20 }, { 4, 40 }, { 5, 50 }, { 6, 60 }, { 7, 70 } } },
        { "up to x <= 4", 2, 0, 4, 1, 1, { { 1, 10 }, { 2, 20 }, { 4, 40 } } },
        { "from 2 up to 5", 3, 2, 5, 1, 1, { { 2, 20 }, { 4, 40 }, { 5, 50 } } },
        { "rows read beyond 3 end it", 4, 3, 0, 1, 1, { { 1, 10 }, { 2, 20 }, { 4, 40 } } },
        { "the last three rows", 5, 3, 0, 1, 0, { { 5, 50 }, { 6, 60 }, { 7, 70 } } },
    };
    for (const Row& R : Table) {
        S.RowChoiceMode = R.Mode;
        S.RowChoiceValue1 = R.V1;
        S.RowChoiceValue2 = R.V2;
        S.RowSamplingFrequency = R.Every;
        S.FileHasHeaders = R.Headers;
        S.AddPoint(99, 99); // replaced by the reload
        S.ReloadFromSource();
        EXPECT_EQ(Points(S), R.Expected) << R.Case;
    }
}

TEST_F(ReloadTest, AnUnusableSourceLeavesThePointsAlone)
{
    S.AddPoint(99, 99);
    S.XDataColumn = "Amps";
    S.ReloadFromSource();
    S.XDataColumn = "(col 0)";
    S.DatasourceInfo = Dir.file("missing.csv");
    S.ReloadFromSource();
    S.DataSource = 3;
    S.ReloadFromSource();
    EXPECT_EQ(Points(S), (XY { { 99, 99 } }));

    // A start value that no row reaches runs past the last row; the points stay.
    S.DataSource = 1;
    S.DatasourceInfo = Csv;
    S.RowChoiceMode = 1;
    S.RowChoiceValue1 = 100;
    EXPECT_THROW(S.ReloadFromSource(), EListError);
    EXPECT_EQ(Points(S), (XY { { 99, 99 } }));
}

} // namespace
