//===- data_series_stream_test.cpp - The data series section and its points ===//
#include "plot/TDataSeries.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::pair<double, double>> Points(const TDataSeries& S)
{
    std::vector<std::pair<double, double>> List;
    for (const TPointNode* N = S.FirstPoint(); N; N = N->Next)
        List.push_back({ N->X, N->Y });
    return List;
}

void Write(TDataSeries& S, TMemoryStream& Stream, bool WithPoints)
{
    TPlotWriter W(Stream, 4096);
    S.WriteToStream(W, WithPoints);
}

TEST(DataSeriesStream, SettingsAndPointsReadBackEqual)
{
    TDataSeries S;
    S.SeriesName = "Energy";
    S.NumericalTolerance = 0.05;
    S.SetDuplicatesAllowed(true);
    S.SetZeroValue(1.5);
    S.SetRegressionType(7);
    S.SetRegressionControlValue1(300);
    S.SetRegressionControlValue2(0.2);
    S.DataSource = 1;
    S.DatasourceInfo = "run.txt";
    S.DivideTextByWidth = true;
    S.FileHasHeaders = 2;
    S.TextSeparators = ";";
    S.TextMarkers = "\"";
    S.XDataColumn = "Time";
    S.YDataColumn = "(col 3)";
    S.RowSamplingFrequency = 4;
    S.ColumnWidth = 12;
    S.RowChoiceMode = 3;
    S.RowChoiceValue1 = -1.25;
    S.RowChoiceValue2 = 1e6;
    S.XFormat = 1;
    S.YFormat = 2;
    for (double X : { 1.0, 2.0, 2.0, 40000.5 })
        S.AddPoint(X, X * X - 7);
    TMemoryStream Stream;
    Write(S, Stream, true);
    Stream.SetPosition(0);

    TDataSeries B;
    B.AddPoint(0, 0); // points already there stay
    TPlotReader R(Stream, 4096);
    B.ReadFromStream(R);
    EXPECT_EQ(B.SeriesName, "Energy");
    EXPECT_EQ(B.NumericalTolerance, 0.05);
    EXPECT_TRUE(B.GetDuplicatesAllowed());
    EXPECT_FALSE(B.GetAutoZero());
    EXPECT_EQ(B.GetZeroValue(), 1.5);
    EXPECT_EQ(B.GetRegressionType(), 7);
    EXPECT_EQ(B.GetRegressionControlValue1(), 300);
    EXPECT_EQ(B.GetRegressionControlValue2(), 0.2);
    EXPECT_EQ(B.DataSource, 1);
    EXPECT_EQ(B.DatasourceInfo, "run.txt");
    EXPECT_TRUE(B.DivideTextByWidth);
    EXPECT_EQ(B.FileHasHeaders, 2);
    EXPECT_EQ(B.TextSeparators, ";");
    EXPECT_EQ(B.TextMarkers, "\"");
    EXPECT_EQ(B.XDataColumn, "Time");
    EXPECT_EQ(B.YDataColumn, "(col 3)");
    EXPECT_EQ(B.RowSamplingFrequency, 4);
    EXPECT_EQ(B.ColumnWidth, 12);
    EXPECT_EQ(B.RowChoiceMode, 3);
    EXPECT_EQ(B.RowChoiceValue1, -1.25);
    EXPECT_EQ(B.RowChoiceValue2, 1e6);
    EXPECT_EQ(B.XFormat, 1);
    EXPECT_EQ(B.YFormat, 2);
    auto Expected = Points(S);
    Expected.insert(Expected.begin(), { 0.0, 0.0 });
    EXPECT_EQ(Points(B), Expected);
    EXPECT_EQ(Stream.GetPosition(), Stream.GetSize());
}

TEST(DataSeriesStream, WithoutPointsTheBlockIsEmpty)
{
    TDataSeries S;
    S.AddPoint(1, 1);
    TMemoryStream Stream;
    Write(S, Stream, false);
    Stream.SetPosition(0);
    TDataSeries B;
    TPlotReader R(Stream, 200);
    B.ReadFromStream(R);
    EXPECT_EQ(B.GetCount(), 0);
}

TEST(DataSeriesStream, TextFormReadsUnderTheLocalDecimalSeparator)
{
    // The text form: key, index and "S" as the tag, every value a string. Unknown indexes
    // (11 here) are passed over; statistics settings only the reader knows.
    TMemoryStream Stream;
    {
        TPlotWriter W(Stream, 64);
        for (const char* Text : { "AutoZero 4S",
                                  "true",
                                  "ZeroValue 5S",
                                  "1,5",
                                  "Unused11S",
                                  "x",
                                  "StatisticsXHigh25S",
                                  "2,75",
                                  "StatisticsEnabled27S",
                                  "true",
                                  "DuplicatesAllowed 3S",
                                  "false",
                                  "EndOfSection 0S",
                                  "False",
                                  "NumberOfPoints 1S",
                                  "2",
                                  "EntriesPerPoint 2S",
                                  "2",
                                  "S",
                                  "0,25",
                                  "-1,5",
                                  "3",
                                  "4,125" })
            W.WriteString(Text);
    }
    Stream.SetPosition(0);
    const char Saved = DecimalSeparator;
    DecimalSeparator = ',';
    TDataSeries B;
    TPlotReader R(Stream, 64);
    B.ReadFromStream(R);
    DecimalSeparator = Saved;
    // AutoZero is applied at the section's end, after the stored ZeroValue, so it stays on and
    // the zero follows the smallest y loaded.
    EXPECT_TRUE(B.GetAutoZero());
    EXPECT_EQ(B.GetZeroValue(), -1.5);
    EXPECT_EQ(B.GetStatisticsXHigh(), 2.75);
    EXPECT_TRUE(B.GetStatisticsEnabled());
    EXPECT_EQ(Points(B), (std::vector<std::pair<double, double>> { { 0.25, -1.5 }, { 3, 4.125 } }));
}

} // namespace
