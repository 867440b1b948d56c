//===- data_series_test.cpp - The point store: insertion, bounds, removal, listeners ===//
#include "plot/TDataSeries.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct Point {
    double X;
    int32_t ID;
    double Y;
};
bool operator==(const Point& A, const Point& B) { return A.X == B.X && A.ID == B.ID && A.Y == B.Y; }
std::ostream& operator<<(std::ostream& O, const Point& P)
{
    return O << "(" << P.X << " #" << P.ID << " " << P.Y << ")";
}

std::vector<Point> Points(const TDataSeries& S)
{
    std::vector<Point> List;
    for (const TPointNode* N = S.FirstPoint(); N; N = N->Next)
        List.push_back({ N->X, N->ID, N->Y });
    return List;
}

// Records the change codes the series reports.
struct Codes {
    std::vector<int> Seen;
    void Listen(TDataSeries& S)
    {
        S.SetListener(nullptr, [this](TDataSeries*, uint8_t C) { Seen.push_back(C); });
    }
};

TEST(DataSeries, NewPointsKeepXAscendingOrReplaceByTheToleranceAndDuplicatesRule)
{
    struct Row {
        const char* Case;
        double Tolerance;
        bool Duplicates;
        std::vector<double> Before;
        double X;
        std::vector<Point> After;
        int Code;
    } Rows[] = {
        { "same x in the middle replaces y, keeps the id",
          0,
          false,
          { 1, 2, 3 },
          2,
          { { 1, 1, 10 }, { 2, 2, 99 }, { 3, 3, 30 } },
          2 },
        { "within the tolerance of the last replaces it, x too",
          0.05,
          false,
          { 1, 3.0 },
          3.04,
          { { 1, 1, 10 }, { 3.04, 2, 99 } },
          2 },
        { "beyond the tolerance appends",
          0.05,
          false,
          { 1, 3.0 },
          3.06,
          { { 1, 1, 10 }, { 3.0, 2, 30 }, { 3.06, 3, 99 } },
          1 },
        { "duplicates go before the equal x",
          0,
          true,
          { 1, 2, 3 },
          2,
          { { 1, 1, 10 }, { 2, 4, 99 }, { 2, 2, 20 }, { 3, 3, 30 } },
          1 },
        { "duplicates of the last x go after it",
          0,
          true,
          { 1, 2 },
          2,
          { { 1, 1, 10 }, { 2, 2, 20 }, { 2, 3, 99 } },
          1 },
        { "below the first becomes the head", 0, false, { 2, 3 }, 1, { { 1, 3, 99 }, { 2, 1, 20 }, { 3, 2, 30 } }, 1 },
        { "a negative tolerance counts as 0 and never walks past the last point",
          -5,
          false,
          { 1, 2, 3 },
          2.5,
          { { 1, 1, 10 }, { 2, 2, 20 }, { 2.5, 4, 99 }, { 3, 3, 30 } },
          1 },
    };
    for (const Row& R : Rows) {
        Codes C; // outlives the series, which reports its end
        TDataSeries S;
        S.NumericalTolerance = R.Tolerance;
        S.SetDuplicatesAllowed(R.Duplicates);
        for (double X : R.Before)
            S.AddPoint(X, X * 10);
        C.Listen(S);
        S.AddPoint(R.X, 99);
        EXPECT_EQ(Points(S), R.After) << R.Case;
        EXPECT_EQ(S.GetCount(), static_cast<int32_t>(R.After.size())) << R.Case;
        EXPECT_EQ(C.Seen, std::vector<int> { R.Code }) << R.Case;
    }
}

TEST(DataSeries, TooManyPointsOnlyRaisesTheHook)
{
    for (int32_t Max : { 0, 2 }) {
        TDataSeries S;
        S.MaxPoints = Max;
        int Raised = 0;
        S.OnTooManyPoints = [&](TObject*) { ++Raised; };
        for (double X : { 1, 2, 3 })
            S.AddPoint(X, 0);
        EXPECT_EQ(Raised, Max == 0 ? 0 : 1) << Max;
        EXPECT_EQ(S.GetCount(), 3);
    }
}

TEST(DataSeries, BoundsFollowThePointsAndTheZeroReference)
{
    TDataSeries S;
    S.SetAutoZero(true);
    S.AddPoint(1, 5);
    EXPECT_EQ(S.GetZeroValue(), 5);
    EXPECT_EQ(std::make_pair(S.GetYMin(), S.GetYMax()), std::make_pair(0.0, 0.0));
    S.AddPoint(2, 8);
    EXPECT_EQ(S.GetYMax(), 3);
    S.AddPoint(3, 4); // below the zero: it moves, and the bounds wait for a recount
    EXPECT_EQ(S.GetZeroValue(), 4);
    EXPECT_TRUE(S.GetBoundsInvalid());
    S.RecalcBounds();
    EXPECT_EQ(std::make_pair(S.GetYMin(), S.GetYMax()), std::make_pair(0.0, 4.0));
    EXPECT_EQ(std::make_pair(S.GetXMin(), S.GetXMax()), std::make_pair(1.0, 3.0));

    S.SetZeroValue(1); // switches AutoZero off
    EXPECT_FALSE(S.GetAutoZero());
    S.RecalcBounds();
    EXPECT_EQ(std::make_pair(S.GetYMin(), S.GetYMax()), std::make_pair(3.0, 7.0));

    // Removing an extreme point leaves the bounds wide until they are recounted.
    int32_t ID;
    double Y, Fitted;
    ASSERT_TRUE(S.FindPointAt(1, 2, ID, Y, Fitted));
    EXPECT_TRUE(S.DeletePoint(ID));
    EXPECT_TRUE(S.GetBoundsInvalid());
    S.RecalcBounds();
    EXPECT_EQ(S.GetYMax(), 4);
    EXPECT_FALSE(S.DeletePoint(ID));
}

TEST(DataSeries, DeletePointsAtTakesXUpToTheToleranceAbove)
{
    TDataSeries S;
    S.SetDuplicatesAllowed(true);
    S.NumericalTolerance = 0.1;
    for (double X : { 4.95, 5.0, 5.05, 5.2 })
        S.AddPoint(X, 1);
    EXPECT_TRUE(S.DeletePointsAt(5));
    EXPECT_EQ(Points(S), (std::vector<Point> { { 4.95, 1, 1 }, { 5.2, 4, 1 } }));
    EXPECT_FALSE(S.DeletePointsAt(5));

    TDataSeries Same;
    Same.SetDuplicatesAllowed(true);
    for (double Y : { 1, 2, 3 })
        Same.AddPoint(5, Y);
    int32_t ID;
    double Y, Fitted;
    ASSERT_TRUE(Same.FindPointAt(2, 5, ID, Y, Fitted));
    EXPECT_EQ(std::make_pair(ID, Y), std::make_pair(2, 2.0));
    EXPECT_FALSE(Same.FindPointAt(4, 5, ID, Y, Fitted));
}

TEST(DataSeries, SwitchingDuplicatesOffPrunesWithinTheTolerance)
{
    Codes C, None;
    TDataSeries S;
    S.SetDuplicatesAllowed(true);
    S.NumericalTolerance = 0.05;
    for (double X : { 1.0, 1.02, 1.04, 2.0 })
        S.AddPoint(X, X);
    C.Listen(S);
    S.SetDuplicatesAllowed(false);
    EXPECT_EQ(Points(S), (std::vector<Point> { { 1.0, 1, 1.0 }, { 2.0, 4, 2.0 } }));
    EXPECT_EQ(C.Seen, std::vector<int> { 2 });
    C.Seen.clear();
    S.AddPoint(3, 3); // the tail moved correctly
    EXPECT_EQ(Points(S).back(), (Point { 3, 5, 3 }));

    TDataSeries Empty;
    None.Listen(Empty);
    Empty.PruneDuplicates();
    EXPECT_TRUE(None.Seen.empty());
}

TEST(DataSeries, ClearStartsTheIdsAgainAndForgetsTheCaches)
{
    TDataSeries S;
    S.SetStatisticsEnabled(true);
    S.SetStatisticsXHigh(100);
    for (double X : { 1, 2, 3 })
        S.AddPoint(X, X);
    TDataStats Stats;
    S.GetYStatistics(Stats);
    ASSERT_EQ(Stats.Count, 3);
    S.Clear();
    S.GetYStatistics(Stats);
    EXPECT_EQ(Stats.Count, 0);
    EXPECT_EQ(Stats.Mean, 0);
    S.AddPoint(7, 7);
    EXPECT_EQ(Points(S), (std::vector<Point> { { 7, 1, 7 } }));
}

TEST(DataSeries, ListenersAreReplacedPerOwnerAndHearOfTheEnd)
{
    TObject Graph, Other;
    std::vector<std::pair<char, int>> Heard;
    auto S = std::make_unique<TDataSeries>();
    S->SetListener(&Graph, [&](TDataSeries*, uint8_t C) { Heard.push_back({ 'a', C }); });
    S->SetListener(&Other, [&](TDataSeries*, uint8_t C) { Heard.push_back({ 'o', C }); });
    S->SetListener(&Graph, [&](TDataSeries*, uint8_t C) { Heard.push_back({ 'b', C }); });
    S->SetRegressionType(1);
    S->SetListener(&Other, nullptr);
    S->SetZeroValue(2);
    S.reset();
    EXPECT_EQ(Heard, (std::vector<std::pair<char, int>> { { 'b', 6 }, { 'o', 6 }, { 'b', 3 }, { 'b', 0 } }));
}

} // namespace
