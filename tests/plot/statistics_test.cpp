//===- statistics_test.cpp - Statistics of the x and y values of a series ===//
#include "plot/TDataSeries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TDataStats YStatsOf(const std::vector<double>& Ys, double Tolerance = 0)
{
    TDataSeries S;
    S.SetDuplicatesAllowed(true);
    S.NumericalTolerance = Tolerance;
    S.SetStatisticsEnabled(true);
    S.SetStatisticsXHigh(1e9);
    double X = 0;
    for (double Y : Ys)
        S.AddPoint(++X, Y);
    TDataStats Stats;
    S.GetYStatistics(Stats);
    return Stats;
}

TEST(Statistics, FiveValuesGiveTheirMomentsAndQuantiles)
{
    const TDataStats S = YStatsOf({ 5, 3, 1, 4, 2 });
    EXPECT_TRUE(S.Valid);
    EXPECT_EQ(S.Message, "");
    EXPECT_EQ(S.Count, 5);
    EXPECT_EQ(S.Sum, 15);
    EXPECT_EQ(S.Mean, 3);
    EXPECT_EQ(S.Median, 2.5); // position 5 div 2, n odd: the mean with the next
    EXPECT_EQ(S.LowerQuartile, 1.5);
    EXPECT_EQ(S.UpperQuartile, 4.5);
    EXPECT_EQ(S.Low20, 1); // n a multiple of 5: the value itself
    EXPECT_EQ(S.High20, 4);
    EXPECT_DOUBLE_EQ(S.Deviation, std::sqrt(2.5));
    EXPECT_NEAR(S.Skew, 0, 1e-15);
    EXPECT_NEAR(S.Kurtosis, 34.0 / (5 * 6.25) - 3, 1e-12);
}

TEST(Statistics, TheModeIsTheLongestRunWithinTheTolerance)
{
    struct Row {
        std::vector<double> Ys;
        double Tolerance;
        double Mode;
    } Rows[] = {
        { { 1, 2, 2 }, 0, 2 },    // a run counts its first value
        { { 1, 1, 2, 2 }, 0, 1 }, // ties keep the earlier run
        { { 1, 3, 3.05, 3.08, 5, 5 }, 0.1, 3.08 },
    };
    for (const Row& R : Rows)
        EXPECT_EQ(YStatsOf(R.Ys, R.Tolerance).Mode, R.Mode) << R.Ys.size();
}

TEST(Statistics, MissingValuesAreReportedNotInvented)
{
    const TDataStats Equal = YStatsOf({ 4, 4 });
    EXPECT_EQ(Equal.Message, SNoDeviance);
    EXPECT_EQ(std::make_pair(Equal.Skew, Equal.Kurtosis), std::make_pair(0.0, 0.0));

    // The sums of three 0.1 cancel a hair below zero: no NaN deviation.
    const TDataStats Big = YStatsOf({ 0.1, 0.1, 0.1 });
    EXPECT_EQ(Big.Deviation, 0);

    TDataSeries S;
    S.SetStatisticsEnabled(true);
    S.SetStatisticsXHigh(10);
    for (double X : { 1, 2, 3 })
        S.AddPoint(X, X * X);
    TDataStats Stats;
    S.GetYStatistics(Stats);
    ASSERT_EQ(Stats.Mean, 14.0 / 3);
    S.SetStatisticsXHigh(1.5); // one point left in the window: nothing of the three shows
    S.GetYStatistics(Stats);
    EXPECT_TRUE(Stats.NoStatistics);
    EXPECT_EQ(Stats.Message, SNoStatistics);
    EXPECT_EQ(Stats.Mean, 0);
    EXPECT_EQ(Stats.Median, 0);
    S.SetStatisticsEnabled(false);
    S.GetXStatistics(Stats);
    EXPECT_EQ(Stats.Count, 0);
}

TEST(Statistics, HighQuantilesOfFewValuesAreTheLargestValue)
{
    // n - n div k is n when n < k; only a low position of 0 leaves its field as it was (0).
    struct Row {
        std::vector<double> Ys;
        double Low20, High20, LowerQuartile, UpperQuartile, Median;
    } Rows[] = {
        { { 4, 4 }, 0, 4, 0, 4, 4 },
        { { 1, 2, 3 }, 0, 3, 0, 3, 1.5 },
        { { -3.5, -1.25, -7, -2 }, 0, -1.25, -7, -2, -3.5 },
    };
    for (const Row& R : Rows) {
        const TDataStats S = YStatsOf(R.Ys);
        EXPECT_EQ((std::vector<double> { S.Low20, S.High20, S.LowerQuartile, S.UpperQuartile, S.Median }),
                  (std::vector<double> { R.Low20, R.High20, R.LowerQuartile, R.UpperQuartile, R.Median }))
            << R.Ys.size();
    }
}

TEST(Statistics, SumsAndMomentsHoldValuesThatADoubleLoses)
{
    // Squares beyond the double range, and a spread of 0.1 on values of 1e8.
    const TDataStats Huge = YStatsOf({ 1e200, 2e200, 3e200 });
    EXPECT_EQ(Huge.Message, "");
    EXPECT_NEAR(Huge.Deviation / 1e200, 1, 1e-12);
    EXPECT_NEAR(Huge.Skew, 0, 1e-12);
    EXPECT_NEAR(Huge.Kurtosis, 2.0 / 3 - 3, 1e-12);

    std::vector<double> Close;
    for (int K = 1; K <= 10; ++K)
        Close.push_back(1e8 + 0.1 * K);
    EXPECT_NEAR(YStatsOf(Close).Deviation, std::sqrt(0.0825 / 0.9), 1e-6);
}

TEST(Statistics, MergeSortKeepsEveryValueWhateverTheInput)
{
    std::vector<double> V = { 3, -1, 2, 2, 7, 0, -5, 3, 1 };
    MergeSortValues(V);
    EXPECT_EQ(V, (std::vector<double> { -5, -1, 0, 1, 2, 2, 3, 3, 7 }));
    std::vector<double> WithNaN = { 2, std::nan(""), 1, std::nan(""), 0 };
    MergeSortValues(WithNaN);
    EXPECT_EQ(WithNaN.size(), 5u);
}

} // namespace
