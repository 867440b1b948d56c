//===- settings_objects_test.cpp - Dimensions, appearance and legend: limits and repaints ===//
#include "tests/plot/PlotFixture.h"

#include "plot/TAppearance.h"
#include "plot/TDimensions.h"
#include "plot/TLegend.h"

#include <functional>

using namespace plottest;

TEST_F(PlotTest, StepLimitsKeepMaxStepsAtLeastTwoAndAHalfTimesMinSteps)
{
    struct Row {
        const char* Name;
        uint16_t MinSteps, MaxSteps; // set in this order, from 5 and 50
        uint16_t WantMin, WantMax;
    } Rows[] = {
        { "50 / 2.5 = 20 is not above 20", 20, 50, 5, 50 },
        { "19 fits under 50", 19, 50, 19, 50 },
        { "no steps", 0, 50, 5, 50 },
        { "above 90", 5, 91, 5, 50 },
        { "12 is below 12.5", 5, 12, 5, 50 },
        { "13 is above 12.5", 5, 13, 5, 13 },
    };
    for (const Row& R : Rows) {
        TAppearance& A = *Graph->GetAppearance();
        A.SetMaxSteps(50);
        A.SetMinSteps(5);
        A.SetMinSteps(R.MinSteps);
        A.SetMaxSteps(R.MaxSteps);
        EXPECT_EQ(A.GetMinSteps(), R.WantMin) << R.Name;
        EXPECT_EQ(A.GetMaxSteps(), R.WantMax) << R.Name;
    }
}

TEST_F(PlotTest, PrintPlacementIsClampedAndNeverRepaints)
{
    TDimensions& D = *Graph->GetDimensions();
    struct Row {
        std::function<void(int)> Set;
        std::function<int()> Get;
        int Value, Want;
    } Rows[] = {
        { [&](int V) { D.SetPrintScalePct(V); }, [&] { return D.GetPrintScalePct(); }, 10, 20 },
        { [&](int V) { D.SetPrintScalePct(V); }, [&] { return D.GetPrintScalePct(); }, 150, 100 },
        { [&](int V) { D.SetPrintXOffsetPct(V); }, [&] { return D.GetPrintXOffsetPct(); }, -5, 0 },
        { [&](int V) { D.SetPrintYOffsetPct(V); }, [&] { return D.GetPrintYOffsetPct(); }, 101, 100 },
    };
    for (const Row& R : Rows) {
        R.Set(R.Value);
        EXPECT_EQ(R.Get(), R.Want) << R.Value;
    }
    EXPECT_EQ(Graph->Paints, 0);
}

TEST_F(PlotTest, ATickLengthOfZeroSwitchesTicksOffForGood)
{
    TDimensions& D = *Graph->GetDimensions();
    D.SetTickLength(0);
    EXPECT_FALSE(Graph->GetAppearance()->GetShowTicks());
    D.SetTickLength(4);
    EXPECT_FALSE(Graph->GetAppearance()->GetShowTicks());
}

TEST_F(PlotTest, SettingsSettersRepaintByTheirRule)
{
    TFont Bigger;
    Bigger.SetSize(14);
    struct Row {
        const char* Name;
        std::function<void(TPlotGraph&)> Set;
        int Paints;
    } Rows[] = {
        { "margin, unchanged", [](TPlotGraph& G) { G.GetDimensions()->SetLeftMargin(40); }, 1 },
        { "ShowMarks unchanged", [](TPlotGraph& G) { G.GetAppearance()->SetShowMarks(false); }, 0 },
        { "ShowMarks", [](TPlotGraph& G) { G.GetAppearance()->SetShowMarks(true); }, 1 },
        { "GridColor, unchanged", [](TPlotGraph& G) { G.GetAppearance()->SetGridColor(clSilver); }, 1 },
        { "ErrorCaption under a valid scale", [](TPlotGraph& G) { G.GetAppearance()->SetErrorCaption("x"); }, 0 },
        { "PreventFlicker is a plain field", [](TPlotGraph& G) { G.GetAppearance()->PreventFlicker = true; }, 0 },
        { "a title font changed in place", [](TPlotGraph& G) { G.GetAppearance()->GetTitleFont()->SetSize(20); }, 1 },
        { "legend unchanged", [](TPlotGraph& G) { G.GetLegend()->Settop(10); }, 0 },
        { "legend moved", [](TPlotGraph& G) { G.GetLegend()->Settop(11); }, 1 },
        { "legend font, through its notification", [&](TPlotGraph& G) { G.GetLegend()->Setfont(Bigger); }, 1 },
    };
    for (const Row& R : Rows) {
        Graph->Paints = 0;
        R.Set(*Graph);
        EXPECT_EQ(Graph->Paints, R.Paints) << R.Name;
    }
    EXPECT_EQ(Graph->GetLegend()->Getfont()->GetSize(), 14);
}

TEST_F(PlotTest, TheErrorCaptionRepaintsWhileItIsOnShow)
{
    Graph->SetScaleValid(false);
    Graph->GetAppearance()->SetErrorCaption("RANGE");
    EXPECT_EQ(Graph->Paints, 1);
    Graph->SetPlotting(false);
    Graph->Paints = 0;
    Graph->GetAppearance()->SetErrorCaption("RANGE 2");
    EXPECT_EQ(Graph->Paints, 0);
    // Duplicates are passed on to the series and always repaint.
    Graph->GetAppearance()->SetAllowDuplicates(true);
    EXPECT_EQ(Graph->Paints, 1);
}
