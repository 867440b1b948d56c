//===- axis_properties_test.cpp - What each axis setter does to the axis and its graph ===//
#include "tests/plot/PlotFixture.h"

#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TLegend.h"
#include "platform/ui/components/FormReader.h"
#include "platform/ui/components/FormResource.h"

#include <functional>

using namespace plottest;

TEST_F(PlotTest, AxisSettersRepaintAndRescaleByTheirRule)
{
    struct Row {
        const char* Name;
        std::function<void(TAxis&)> Set;
        int Paints, Rescales;
    } Rows[] = {
        { "Max to its present value", [](TAxis& A) { A.SetMax(A.GetMax()); }, 0, 0 },
        { "Max", [](TAxis& A) { A.SetMax(2); }, 1, 1 },
        { "Min", [](TAxis& A) { A.SetMin(-1); }, 1, 1 },
        { "StepSize", [](TAxis& A) { A.SetStepSize(0.5); }, 1, 1 },
        { "StepSize unchanged", [](TAxis& A) { A.SetStepSize(A.GetStepSize()); }, 0, 0 },
        { "Title, unchanged", [](TAxis& A) { A.SetTitle("X axis"); }, 1, 0 },
        { "LabelDecimals, unchanged", [](TAxis& A) { A.SetLabelDecimals(1); }, 1, 0 },
        { "Gridlines, unchanged", [](TAxis& A) { A.SetGridlines(true); }, 1, 0 },
        { "ShowAxis unchanged", [](TAxis& A) { A.SetShowAxis(true); }, 0, 0 },
        { "Reversed", [](TAxis& A) { A.SetReversed(true); }, 1, 0 },
        { "Offset unchanged", [](TAxis& A) { A.SetOffset(0); }, 0, 0 },
        { "DateTickType unchanged", [](TAxis& A) { A.SetDateTickType(A.GetDateTickType()); }, 0, 0 },
        { "DateTimeFormat unchanged", [](TAxis& A) { A.SetDateTimeFormat("dd-mmm"); }, 0, 0 },
        { "MinScaleLength within the range", [](TAxis& A) { A.SetMinScaleLength((A.GetMax() - A.GetMin()) / 2); }, 0,
          0 },
        { "MinScaleLength beyond the range", [](TAxis& A) { A.SetMinScaleLength(A.GetMax() - A.GetMin() + 1); }, 1, 0 },
    };
    for (const Row& R : Rows) {
        TAxis& A = *Graph->GetXAxis();
        A.SetAutoSizing(true);
        A.SetAutoStepping(true);
        Graph->Paints = Graph->Rescales = 0;
        R.Set(A);
        EXPECT_EQ(Graph->Paints, R.Paints) << R.Name;
        EXPECT_EQ(Graph->Rescales, R.Rescales) << R.Name;
    }
}

TEST_F(PlotTest, ACallersRangeOrStepEndsAutomaticSizing)
{
    TAxis& A = *Graph->GetYAxis();
    A.SetAutoSizing(true);
    A.SetAutoStepping(true);
    A.SetMax(A.GetMax());
    EXPECT_FALSE(A.GetAutoSizing());
    EXPECT_TRUE(A.GetAutoStepping());
    A.SetStepSize(A.GetStepSize());
    EXPECT_FALSE(A.GetAutoStepping());
}

TEST_F(PlotTest, NothingRepaintsWhileNotPlotting)
{
    Graph->SetPlotting(false);
    Graph->Paints = 0;
    Graph->GetXAxis()->SetTitle("t");
    Graph->GetXAxis()->SetMax(7);
    EXPECT_EQ(Graph->Paints, 0);
    EXPECT_EQ(Graph->Rescales, 0);
}

TEST_F(PlotTest, LogCycleDivisionsTakeTheNearestTable)
{
    struct Row {
        uint16_t Set, Get;
    } Rows[] = { { 3, 2 }, { 4, 5 }, { 6, 5 }, { 8, 7 }, { 12, 9 }, { 1, 1 } };
    TAxis& A = *Graph->GetXAxis();
    for (const Row& R : Rows) {
        A.SetLogCycleDivisions(R.Set);
        EXPECT_EQ(A.GetLogCycleDivisions(), R.Get) << R.Set;
        EXPECT_EQ(A.GetLogTicks().LogDivisionValues[R.Get + 1], 10) << R.Set;
    }
}

TEST_F(PlotTest, ShowAsTimeWithoutDataTakesTheRangeAsData)
{
    TAxis& A = *Graph->GetXAxis();
    A.SetMin(37000);
    A.SetMax(37010);
    A.SetShowAsTime(true);
    EXPECT_EQ(A.DataMin, 37000);
    EXPECT_EQ(A.DataMax, 37010);
    A.SetMax(37020);
    EXPECT_EQ(A.DataMax, 37020);
}

TEST_F(PlotTest, AFormResourceSetsNestedAxisAndSettingsProperties)
{
    const TFormObject Root = ParseFormResource("TPLOT", R"(object Plot: TPlotGraph
  XAxis.Title = 'Time'
  XAxis.ShowAsTime = True
  XAxis.DateTickType = dt_hourly
  XAxis.DateTimeAutoFormat.F_hourly = 'hh'
  YAxis.LogCycleDivisions = 4
  Dimensions.LeftMargin = 55
  Appearance.GraphTitle = 'Energy'
  Appearance.LabelFont.Size = 12
  Legend.Layout = lsDown
end)");
    ReadComponent(Root, "TPLOT", *Graph);
    EXPECT_EQ(Graph->GetXAxis()->GetTitle(), "Time");
    EXPECT_EQ(Graph->GetXAxis()->GetDateTickType(), dt_hourly);
    EXPECT_EQ(Graph->GetXAxis()->GetDateTimeAutoFormat().F_hourly, "hh");
    EXPECT_EQ(Graph->GetYAxis()->GetLogCycleDivisions(), 5);
    EXPECT_EQ(Graph->GetDimensions()->GetLeftMargin(), 55);
    EXPECT_EQ(Graph->GetAppearance()->GetGraphTitle(), "Energy");
    EXPECT_EQ(Graph->GetAppearance()->GetLabelFont()->GetSize(), 12);
    EXPECT_EQ(Graph->GetLegend()->GetLayout(), lsDown);
}
