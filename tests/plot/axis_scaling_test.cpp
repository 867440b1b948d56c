//===- axis_scaling_test.cpp - Tick steps, linear and logarithmic ranges, the tick walk ===//
#include "tests/plot/PlotFixture.h"

#include "plot/AxisSteps.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TSeries.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exception.h"

#include <cmath>
#include <limits>
#include <vector>

using namespace plottest;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// Every tick from the first up to End (at most 50, so a walk that does not end shows).
std::vector<double> Walk(TAxis& Axis, double End)
{
    TLogTicks Copy = Axis.GetLogTicks();
    std::vector<double> Ticks;
    bool Labelled = false;
    for (double V = Axis.FirstTick(Copy); V <= End * (1 + 1e-8) && Ticks.size() < 50;
         V = Axis.NextTick(Copy, V, Labelled))
        Ticks.push_back(V);
    return Ticks;
}

void ExpectTicks(const std::vector<double>& Got, const std::vector<double>& Want, const char* Case)
{
    ASSERT_EQ(Got.size(), Want.size()) << Case;
    for (size_t I = 0; I < Want.size(); ++I)
        EXPECT_NEAR(Got[I], Want[I], Want[I] * 1e-8) << Case << " tick " << I;
}

} // namespace

TEST(GetStep, FollowsThePlotLogarithmAtPowersOfTen)
{
    struct Row {
        double Range, Step, Tolerance;
    } Rows[] = {
        { 1, 0.2, 1e-12 },
        { 0.5, 0.1, 1e-9 },
        { 999, 100, 1e-6 },
        // m comes out a little above 100 (and 10), so 5 steps of m/5 fall just short.
        { 100, 10.000000011, 1e-9 },
        { 10, 1.0000000005, 1e-10 },
        { 0.003, 0.0005, 1e-12 },
    };
    for (const Row& R : Rows)
        EXPECT_NEAR(GetStep(5, 0, R.Range), R.Step, R.Tolerance) << "range " << R.Range;
}

TEST(GetStep, RefusesRangesThatAreNotPositiveAndFinite)
{
    for (double Hi : { 0.0, -1.0, NaN, Inf }) {
        try {
            GetStep(5, 0, Hi);
            ADD_FAILURE() << "no exception for range " << Hi;
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(), "GetStep entered with bad range");
        }
    }
}

TEST(DecimalsFor, ShowsTheStepAndNothingForNonPositive)
{
    struct Row {
        double V;
        int Decimals;
    } Rows[] = { { 0.2, 1 }, { 1, 0 }, { 0.05, 2 }, { 10, -1 }, { 0, 0 }, { -3, 0 }, { NaN, 0 } };
    for (const Row& R : Rows)
        EXPECT_EQ(DecimalsFor(R.V * 1.01), R.Decimals) << R.V;
}

TEST_F(PlotTest, SetMinMaxTable)
{
    struct Row {
        double DataMin, DataMax;
        bool AutoStepping;
        double Min, Max, Step;
    } Rows[] = {
        { 0, 0, true, -1, 1, 0.2 },
        // Max 0 is raised by one step.
        { -5, -5, true, -6, 1, 1 },
        { 5, 5, true, 0, 7, 1 },
        { 3, 97, true, 0, 100, 10 },
        // A data limit on a step multiple gets one step of room.
        { 0, 1, true, -0.2, 1.2, 0.2 },
        { -3, 7, true, -4, 8, 1 },
        { 0.5, 9.5, true, 0, 10, 1 },
        // The caller's step 0.2 gives 50 intervals, which MaxSteps 50 allows.
        { -3, 7, false, -3.2, 7.2, 0.2 },
        // 200 intervals do not fit: the step is searched again.
        { 0, 40, false, -5, 45, 5 },
        { -97, -3, true, -100, 0, 10 },
    };
    TAxis& A = *Graph->GetXAxis();
    for (const Row& R : Rows) {
        A.SetAutoStepping(R.AutoStepping);
        A.SetStepSize(0.2);
        A.SetAutoStepping(R.AutoStepping);
        A.DataMin = R.DataMin;
        A.DataMax = R.DataMax;
        SetMinMax(A);
        EXPECT_NEAR(A.GetMin(), R.Min, 1e-6) << R.DataMin << ".." << R.DataMax;
        EXPECT_NEAR(A.GetMax(), R.Max, 1e-6) << R.DataMin << ".." << R.DataMax;
        EXPECT_NEAR(A.GetStepSize(), R.Step, 1e-6) << R.DataMin << ".." << R.DataMax;
    }
}

TEST_F(PlotTest, SetMinMaxRefusesAReversedDataRange)
{
    TAxis& A = *Graph->GetYAxis();
    A.DataMin = 2;
    A.DataMax = 1;
    try {
        SetMinMax(A);
        FAIL();
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "Impossible: oMin > oMax in SetMinMax!");
    }
}

TEST_F(PlotTest, SetMinMaxOfOneTimeValueEndsThereAndStartsFiveTicksBefore)
{
    TAxis& A = *Graph->GetXAxis();
    A.SetShowAsTime(true);
    A.SetDateTickType(dt_daily);
    A.DataMin = A.DataMax = 37800.5;
    SetMinMax(A);
    EXPECT_DOUBLE_EQ(A.GetMin(), 37795.5);
    EXPECT_DOUBLE_EQ(A.GetMax(), 37801);
}

TEST_F(PlotTest, ScaleWithoutDataTable)
{
    struct Row {
        bool Log;
        double Min, Max;
        double WantMin, WantMax;
        bool Result;
    } Rows[] = {
        { false, 5, 5, 0, 5, true },  { false, 0, 0, -1, 1, true },  { false, 3, 1, 1, 3, true },
        { false, 1, 3, 1, 3, false }, { true, 0, 10, 1, 10, false }, { true, -3, -1, 1, 10, false },
        { true, 10, 1, 1, 10, true },
    };
    TAxis& A = *Graph->GetYAxis();
    for (const Row& R : Rows) {
        A.SetLogScale(R.Log);
        A.SetMin(R.Min);
        A.SetMax(R.Max);
        EXPECT_EQ(A.ScaleWithoutData(), R.Result) << R.Min << ".." << R.Max;
        EXPECT_DOUBLE_EQ(A.GetMin(), R.WantMin) << R.Min << ".." << R.Max;
        EXPECT_DOUBLE_EQ(A.GetMax(), R.WantMax) << R.Min << ".." << R.Max;
    }
}

TEST_F(PlotTest, ScaleWithoutDataOfEqualNegativeLimitsRaisesFromTheStepSearch)
{
    TAxis& A = *Graph->GetYAxis();
    A.SetMin(-5);
    A.SetMax(-5);
    std::string Message;
    try {
        A.ScaleWithoutData();
    } catch (const Exception& E) {
        Message = E.Message();
    }
    EXPECT_EQ(Message, "GetStep entered with bad range");
    EXPECT_EQ(std::make_pair(A.GetMin(), A.GetMax()), std::make_pair(0.0, -5.0));
}

TEST_F(PlotTest, ScaleWithoutDataOfATimeAxisEndsNow)
{
    SetNowOverride(40000.25);
    TAxis& A = *Graph->GetXAxis();
    A.SetShowAsTime(true);
    A.SetDateTickType(dt_hourly);
    EXPECT_TRUE(A.ScaleWithoutData());
    SetNowOverride(std::nullopt);
    EXPECT_DOUBLE_EQ(A.GetMax(), 40000.25);
    EXPECT_DOUBLE_EQ(A.GetMin(), 40000.25 - 5.0 / 24);
}

TEST_F(PlotTest, LogAutoRangeChoosesDecadesAndDivisions)
{
    struct Row {
        double DataMin, DataMax;
        double Min, Max;
        uint16_t Divisions;
        std::vector<double> Ticks;
    } Rows[] = {
        { 1, 1000, 1, 1000, 0, { 1, 10, 100, 1000 } },
        { 1, 10, 1, 10, 2, { 1, 2, 5, 10 } },
        // An exact power of ten is its own decade (the logarithm alone puts 100 below 2).
        { 100, 1000, 100, 1000, 2, { 100, 200, 500, 1000 } },
        // Below 1 over 30x: Min is a power of ten, whose tick is the last of the decade below.
        { 0.02, 0.9, 0.01, 1, 2, { 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1 } },
        { 3, 70, 2, 100, 2, { 2, 5, 10, 20, 50, 100 } },
    };
    TAxis& A = *Graph->GetYAxis();
    A.SetLogScale(true);
    for (const Row& R : Rows) {
        A.SetAutoStepping(true);
        A.DataMin = R.DataMin;
        A.DataMax = R.DataMax;
        A.LogAutoRange();
        A.ChooseLogDivisions();
        A.LogAutoRange();
        EXPECT_NEAR(A.GetMin(), R.Min, R.Min * 1e-8) << R.DataMin << ".." << R.DataMax;
        EXPECT_NEAR(A.GetMax(), R.Max, R.Max * 1e-8) << R.DataMin << ".." << R.DataMax;
        EXPECT_EQ(A.GetLogCycleDivisions(), R.Divisions) << R.DataMin << ".." << R.DataMax;
        ExpectTicks(Walk(A, A.GetMax()), R.Ticks, "log walk");
    }
}

TEST_F(PlotTest, ANarrowLogRangeIsScaledLinearly)
{
    TAxis& A = *Graph->GetYAxis();
    A.SetLogScale(true);
    A.DataMin = 2;
    A.DataMax = 5;
    A.LogAutoRange();
    EXPECT_TRUE(A.GetLogTicks().LogLinearSteps);
    EXPECT_TRUE(A.GetLogTicks().LabelAllLogTicks);
    EXPECT_DOUBLE_EQ(A.GetMin(), 1.8);
    EXPECT_DOUBLE_EQ(A.GetMax(), 5.2);
    EXPECT_EQ(Walk(A, A.GetMax()).size(), 18u) << "steps of 0.2";
}

TEST_F(PlotTest, LogTickWalkStartsAtTheFirstTickAtOrAboveMin)
{
    struct Row {
        double Min, Max;
        uint16_t Divisions;
        std::vector<double> Ticks;
    } Rows[] = {
        // Min above the decade's last division: the first tick is the next decade's 1.
        { 6, 100, 2, { 10, 20, 50, 100 } },
        { 2, 1000, 0, { 10, 100, 1000 } },
        { 100, 1000, 1, { 100, 500, 1000 } },
        // Just above 0.01 the decade search lands a decade low.
        { 0.01005, 0.1, 2, { 0.02, 0.05, 0.1 } },
    };
    TAxis& A = *Graph->GetXAxis();
    A.SetLogScale(true);
    for (const Row& R : Rows) {
        A.SetMin(R.Min);
        A.SetMax(R.Max);
        A.SetLogCycleDivisions(R.Divisions);
        ExpectTicks(Walk(A, R.Max), R.Ticks, "user range");
    }
}

TEST_F(PlotTest, LogLabelsMarkDecadesUnlessAllAreLabelled)
{
    TAxis& A = *Graph->GetXAxis();
    A.SetLogScale(true);
    A.SetMin(1);
    A.SetMax(1e6);
    A.SetLogCycleDivisions(9);
    A.UpdateLogLabelling();
    TLogTicks Copy = A.GetLogTicks();
    bool Labelled = true;
    double V = A.FirstTick(Copy);
    EXPECT_EQ(A.GetLabelDecimals(), 1) << "nine divisions show one decimal more";
    for (int I = 0; I < 10; ++I)
        V = A.NextTick(Copy, V, Labelled);
    EXPECT_NEAR(V, 10, 1e-9);
    EXPECT_TRUE(Labelled);
    V = A.NextTick(Copy, V, Labelled);
    EXPECT_FALSE(Labelled);
}

TEST_F(PlotTest, LinearWalksEndWhateverTheStep)
{
    for (double Step : { 0.0, -1.0, NaN, Inf, 1e-20 }) {
        TAxis& A = *Graph->GetXAxis();
        A.SetMin(1e6);
        A.SetMax(2e6);
        A.SetStepSize(Step);
        EXPECT_LE(Walk(A, 2e6).size(), 1u) << "step " << Step;
    }
}

TEST_F(PlotTest, LinearFirstTickAndLabelDecimals)
{
    struct Row {
        double Min, Step, First;
        int Decimals;
    } Rows[] = { { -0.3, 0.2, -0.2, 1 }, { 0.25, 0.05, 0.25, 2 }, { 3.5, 1, 4, 0 }, { -7, 5, -5, 0 } };
    TAxis& A = *Graph->GetXAxis();
    for (const Row& R : Rows) {
        A.SetMin(R.Min);
        A.SetMax(R.Min + 10);
        A.SetStepSize(R.Step);
        TLogTicks Copy = A.GetLogTicks();
        EXPECT_NEAR(A.FirstTick(Copy), R.First, 1e-12) << R.Min;
        EXPECT_EQ(A.GetLabelDecimals(), R.Decimals) << R.Min;
    }
}

TEST_F(PlotTest, AutoScaleWithoutSeriesScalesWithoutData)
{
    TAxis& A = *Graph->GetYAxis();
    A.SetAutoSizing(true);
    A.SetMin(4);
    A.SetMax(4);
    A.SetAutoSizing(true);
    EXPECT_TRUE(A.AutoScale());
    EXPECT_DOUBLE_EQ(A.GetMin(), 0);
    EXPECT_DOUBLE_EQ(A.GetMax(), 4);
}

TEST_F(PlotTest, AutoScaleTakesTheBranchOfTheAxisKind)
{
    struct Row {
        const char* Name;
        bool Log, Time;
        double MinScale, DataMin, DataMax;
        double Min, Max;
        bool Result;
    } Rows[] = {
        { "linear", false, false, 0, 3, 97, 0, 100, true },
        { "short of the minimum length", false, false, 10, 5, 6, 4, 16, true },
        { "decades", true, false, 0, 1, 1000, 1, 1000, false },
        { "log of data at zero leaves the range", true, false, 0, 0, 10, 1, 1000, false },
        { "days", false, true, 0, 37800.25, 37802.5, 37800, 37803, true },
    };
    Graph->GetSeries(1)->AddPoint(0, 1);
    TAxis& A = *Graph->GetYAxis();
    for (const Row& R : Rows) {
        A.SetLogScale(R.Log);
        A.SetShowAsTime(R.Time);
        A.SetDateTickType(dt_daily);
        A.SetMinScaleLength(R.MinScale);
        A.SetAutoSizing(true);
        A.SetAutoStepping(true);
        A.DataMin = R.DataMin;
        A.DataMax = R.DataMax;
        EXPECT_EQ(A.AutoScale(), R.Result) << R.Name;
        EXPECT_NEAR(A.GetMin(), R.Min, 1e-6) << R.Name;
        EXPECT_NEAR(A.GetMax(), R.Max, 1e-6) << R.Name;
    }
}

TEST_F(PlotTest, CheckRangeTable)
{
    struct Row {
        bool Log, Time;
        double Min, Max;
        bool Valid;
    } Rows[] = {
        { false, false, 0, 1, true },  { false, false, 1, 1, false },  { true, false, 0, 1, false },
        { true, false, 0.5, 1, true }, { false, true, 0.5, 2, false }, { false, false, -Inf, 1, false },
    };
    TAxis& A = *Graph->GetXAxis();
    for (const Row& R : Rows) {
        A.SetLogScale(R.Log);
        A.SetShowAsTime(R.Time);
        A.SetMin(R.Min);
        A.SetMax(R.Max);
        EXPECT_EQ(A.CheckRange(), R.Valid) << R.Min << ".." << R.Max;
    }
}

TEST_F(PlotTest, CalcMetricsUsesThePlotAreaAndLogarithms)
{
    TAxis& X = *Graph->GetXAxis();
    TAxis& Y = *Graph->GetYAxis();
    X.SetMax(2);
    CalcMetrics(X);
    EXPECT_DOUBLE_EQ(X.GetPixelsPerUnit(), (200 - 40 - 15) / 2.0);
    Y.SetLogScale(true);
    Y.SetMin(1);
    Y.SetMax(100);
    CalcMetrics(Y);
    EXPECT_DOUBLE_EQ(Y.GetPixelsPerUnit(), (200 - 30 - 40) / std::log(100.0));
    Y.SetTitle("Energy");
    Y.SetMin(100);
    try {
        CalcMetrics(Y);
        FAIL();
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "EnergyCalcMetrics: XMin>=XMax");
    }
}

TEST_F(PlotTest, ValuesToPixelsClampOutsideTheDeviceRange)
{
    TAxis& X = *Graph->GetXAxis();
    TAxis& Y = *Graph->GetYAxis();
    CalcMetrics(X);
    CalcMetrics(Y);
    EXPECT_EQ(Graph->XValueToPixel(0.5), 40 + 72) << "145 pixels per unit, ties to even";
    EXPECT_EQ(Graph->XValueToPixel(1e9), 20000);
    EXPECT_EQ(Graph->YValueToPixel(1e9), -20000);
    X.SetLogScale(true);
    Y.SetLogScale(true);
    X.SetMin(0.1);
    Y.SetMin(0.1);
    CalcMetrics(X);
    CalcMetrics(Y);
    struct Row {
        double V;
        int X, Y;
    } Rows[] = { { 0, -20000, 20000 }, { -1, -20000, 20000 }, { NaN, -20000, 20000 }, { Inf, 20000, -20000 } };
    for (const Row& R : Rows) {
        EXPECT_EQ(Graph->XValueToPixel(R.V), R.X) << R.V;
        EXPECT_EQ(Graph->YValueToPixel(R.V), R.Y) << R.V;
    }
}
