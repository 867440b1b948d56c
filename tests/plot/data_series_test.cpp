//===- data_series_test.cpp - The point store: insertion, bounds, removal, listeners ===//
#include "plot/TDataSeries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
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

// The insertion as a walk from the head over a plain list: where a point lands, whether it
// replaces one, and which id it gets, as the series must place it however it finds the spot.
struct WalkedList {
    std::vector<Point> List;
    int32_t LastID = 0;

    void Add(double X, double Y, double Tolerance, bool Duplicates)
    {
        const double Tol = Tolerance > 0 ? Tolerance : 0;
        if (List.empty() || List.back().X <= X) {
            if (List.empty() || Duplicates || X - Tol > List.back().X)
                List.push_back({ X, ++LastID, Y });
            else
                List.back().X = X, List.back().Y = Y;
            return;
        }
        size_t I = 0;
        while (I + 1 != List.size() && X - Tol > List[I].X)
            ++I;
        if (Duplicates || std::abs(List[I].X - X) > Tol)
            List.insert(List.begin() + std::ptrdiff_t(I), { X, ++LastID, Y });
        else
            List[I].X = X, List[I].Y = Y;
    }
    void Delete(int32_t ID)
    {
        for (auto It = List.begin(); It != List.end(); ++It)
            if (It->ID == ID) {
                List.erase(It);
                return;
            }
    }
};

// NaN compares unequal to itself: lists are compared by their bytes.
bool SameBytes(const std::vector<Point>& A, const std::vector<Point>& B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](const Point& P, const Point& Q) {
               return P.ID == Q.ID && std::memcmp(&P.X, &Q.X, sizeof P.X) == 0 && P.Y == Q.Y;
           });
}

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
// A step below this deletes the point whose id is Delete - step.
constexpr double Delete = -1e9;

TEST(DataSeries, PointsLandWhereTheWalkFromTheHeadPutsThem)
{
    struct Row {
        const char* Case;
        double Tolerance;
        bool Duplicates;
        std::vector<double> Steps;
    } Rows[] = {
        { "random order, equal x replaced", 0, false, { 5, 1, 9, 3, 7, 3, 2, 8, 5, 0, 9, 4.5, 6 } },
        { "random order, equal x kept before their equals", 0, true, { 5, 1, 9, 3, 7, 3, 3, 2, 8, 5, 0, 9, 9, 1 } },
        { "replacements within the tolerance move a point past its neighbours, then back",
          5,
          false,
          { 0, 6, 12, 18, 24, 30, 36, 5, 10, 15, 20, 25, 2, 11, 1, 17, 23, 8, 4, -3, 29, 14 } },
        { "duplicates within the tolerance stand before smaller neighbours",
          1,
          true,
          { 5, 3, 4.5, 4, 4.2, 3.9, 5, 5, 1, 4.6, 3.95, 2, 4.1 } },
        { "NaN x stops the walk at the head", 0, false, { 1, 2, 3, NaN, 0.5, NaN, 2.5, 1.5, NaN, 0, 2, -1 } },
        { "NaN with duplicates", 0.5, true, { 1, 2, 3, NaN, 0.5, NaN, 2.5, 1.5, 1.5, -1 } },
        { "infinities", 1, false, { -Inf, 0, Inf, 5, -Inf, Inf, 3, -5, Inf, 4 } },
        { "deletions between insertions below the last point",
          0.5,
          false,
          { 10, 20, 30, 15, 25, Delete - 2, 12, 22, Delete - 1, 5, 28, Delete - 6, 14, 21, 29 } },
        { "the last point raised past a moved one", 2, false, { 0, 3, 6, 9, 2, 4, 8, 7, 10, 11, 5, 9.5, 1 } },
    };
    for (const Row& R : Rows) {
        TDataSeries S;
        S.MaxPoints = 0;
        S.NumericalTolerance = R.Tolerance;
        S.SetDuplicatesAllowed(R.Duplicates);
        WalkedList Walk;
        for (size_t I = 0; I < R.Steps.size(); ++I) {
            const double X = R.Steps[I];
            if (X <= Delete + 1000) {
                S.DeletePoint(int32_t(Delete - X));
                Walk.Delete(int32_t(Delete - X));
            } else {
                S.AddPoint(X, double(I));
                Walk.Add(X, double(I), R.Tolerance, R.Duplicates);
            }
            ASSERT_TRUE(SameBytes(Points(S), Walk.List)) << R.Case << ", step " << I;
        }
    }

    // Longer runs over few distinct x, so that equal x, replacements and moved points pile up.
    std::mt19937 Random(20261209);
    for (int Run = 0; Run < 40; ++Run) {
        const double Tolerance = std::array<double, 4> { 0, 0.5, 1, 3 }[Run % 4];
        const bool Duplicates = Run % 8 >= 4;
        TDataSeries S;
        S.MaxPoints = 0;
        S.NumericalTolerance = Tolerance;
        S.SetDuplicatesAllowed(Duplicates);
        WalkedList Walk;
        for (int I = 0; I < 600; ++I) {
            const int Pick = int(Random() % 64);
            if (Pick == 0 && Walk.LastID > 0) {
                const int32_t ID = int32_t(Random() % uint32_t(Walk.LastID)) + 1;
                S.DeletePoint(ID);
                Walk.Delete(ID);
                continue;
            }
            const double X = Pick == 1 ? NaN : double(int(Random() % 80) - 20) * 0.25;
            S.AddPoint(X, I);
            Walk.Add(X, I, Tolerance, Duplicates);
        }
        ASSERT_TRUE(SameBytes(Points(S), Walk.List)) << "run " << Run;
        S.AddPoint(-100, 0); // a search after the last step still finds the head
        Walk.Add(-100, 0, Tolerance, Duplicates);
        ASSERT_TRUE(SameBytes(Points(S), Walk.List)) << "run " << Run;
    }

    // Thousands of distinct x, so that the series' index of points by x is several levels deep
    // while replacements and duplicates move and hide points in it.
    for (int Run = 0; Run < 4; ++Run) {
        const double Tolerance = Run % 2 == 0 ? 0 : 0.75;
        const bool Duplicates = Run >= 2;
        TDataSeries S;
        S.MaxPoints = 0;
        S.NumericalTolerance = Tolerance;
        S.SetDuplicatesAllowed(Duplicates);
        WalkedList Walk;
        for (int I = 0; I < 6000; ++I) {
            const int Pick = int(Random() % 512);
            const double X = Pick == 0 ? NaN : double(int(Random() % 8000)) * 0.5;
            S.AddPoint(X, I);
            Walk.Add(X, I, Tolerance, Duplicates);
            if (I % 1500 == 0) {
                ASSERT_TRUE(SameBytes(Points(S), Walk.List)) << "run " << Run << ", step " << I;
            }
        }
        ASSERT_TRUE(SameBytes(Points(S), Walk.List)) << "run " << Run;
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

TEST(DataSeries, PruningAnnouncesBoundsLeftInvalidEvenWithNothingRemoved)
{
    struct Row {
        const char* Case;
        bool InvalidBefore;
        std::vector<int> Codes;
    } Rows[] = {
        { "bounds valid, nothing to prune", false, {} },
        { "bounds invalid, nothing to prune", true, { 2 } },
    };
    for (const Row& R : Rows) {
        Codes C;
        TDataSeries S;
        S.SetDuplicatesAllowed(true);
        for (double X : { 1.0, 2.0 })
            S.AddPoint(X, X);
        if (R.InvalidBefore)
            S.SetZeroValue(0.5);
        ASSERT_EQ(S.GetBoundsInvalid(), R.InvalidBefore) << R.Case;
        C.Listen(S);
        S.SetDuplicatesAllowed(false);
        EXPECT_EQ(C.Seen, R.Codes) << R.Case;
        EXPECT_EQ(S.GetCount(), 2) << R.Case;
    }
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
