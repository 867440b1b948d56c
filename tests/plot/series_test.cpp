//===- series_test.cpp - Series defaults, setters, the redraw decision, lifetime ===//
#include "tests/plot/PlotFixture.h"

#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TSeries.h"

#include <functional>

using namespace plottest;

TEST_F(PlotTest, SeriesDefaultsFollowTheNumber)
{
    struct Row {
        int Number;
        TColor Color;
        uint8_t Shape, LineStyle;
        bool Fill;
    } Rows[] = {
        { 1, 0x008000, 0, 0, true }, { 2, 0xFF0000, 1, 1, true },  { 3, 0x0000FF, 2, 2, true },
        { 4, 0x808080, 3, 3, true }, { 5, 0x000080, 0, 4, false }, { 7, 0x008000, 1, 0, false },
        { 0, 0x008000, 1, 0, true }, { -1, 0x008000, 1, 0, true },
    };
    for (const Row& R : Rows) {
        TSeries& S = *Graph->GetSeries(R.Number);
        EXPECT_EQ(S.GetPointColor(), R.Color) << R.Number;
        EXPECT_EQ(S.GetLineColor(), R.Color) << R.Number;
        EXPECT_EQ(S.GetPointShape(), R.Shape) << R.Number;
        EXPECT_EQ(S.GetLineStyle(), R.LineStyle) << R.Number;
        EXPECT_EQ(S.GetFillPoints(), R.Fill) << R.Number;
        EXPECT_EQ(S.SeriesName, "Series " + std::to_string(R.Number));
        EXPECT_EQ(S.GetAxis(), Graph->GetYAxis());
    }
}

TEST_F(PlotTest, SymbolSizesStayEvenExceptForSteps)
{
    struct Row {
        uint8_t Shape;
        uint16_t Size;
        uint8_t NewShape;
        uint16_t Want;
    } Rows[] = { { 1, 5, 1, 6 }, { 1, 1, 1, 2 }, { 4, 5, 4, 5 }, { 4, 3, 0, 4 } };
    for (const Row& R : Rows) {
        TSeries& S = *Graph->GetSeries(1);
        S.SetPointShape(R.Shape);
        S.SetPointSize(R.Size);
        S.SetPointShape(R.NewShape);
        EXPECT_EQ(S.GetPointSize(), R.Want) << int(R.Shape) << " size " << R.Size;
    }
}

TEST_F(PlotTest, SeriesSettersRepaintOnlyWhenTheDrawingChanges)
{
    struct Row {
        const char* Name;
        std::function<void(TSeries&)> Set;
        int Paints;
    } Rows[] = {
        { "a colour", [](TSeries& S) { S.SetPointColor(clRed); }, 1 },
        { "the same colour", [](TSeries& S) { S.SetPointColor(S.GetPointColor()); }, 0 },
        { "a bound under mean bounds", [](TSeries& S) { S.SetBoundsMode(2), S.SetUpperBound(5); }, 1 },
        { "a bound under fixed bounds", [](TSeries& S) { S.SetBoundsMode(1), S.SetUpperBound(6); }, 2 },
        { "regression colour without regression", [](TSeries& S) { S.SetRegressionLineColor(clRed); }, 0 },
        { "regression style with one", [](TSeries& S) { S.SetRegressionType(1), S.SetRegressionLineStyle(0); }, 2 },
        { "the second axis", [](TSeries& S) { S.SetAxis(S.GetGraph().GetYAxis_Second()); }, 1 },
    };
    for (const Row& R : Rows) {
        TSeries& S = *Graph->GetSeries(1);
        Graph->Paints = 0;
        R.Set(S);
        EXPECT_EQ(Graph->Paints, R.Paints) << R.Name;
    }
}

TEST_F(PlotTest, HeldUpdatesPaintOnceOnRelease)
{
    TSeries& S = *Graph->GetSeries(1);
    int Heard = 0;
    S.SetListener(Graph, [&](TDataSeries*, uint8_t Code) { Heard += Code == ccUpdatesReleased; });
    Graph->Paints = 0;
    S.SetHoldUpdates(true);
    for (int I = 0; I < 1000; ++I)
        S.AddPoint(I, I);
    EXPECT_EQ(Graph->Paints, 0);
    S.SetHoldUpdates(false);
    EXPECT_EQ(Graph->Paints, 1);
    EXPECT_EQ(Heard, 1);
    S.SetHoldUpdates(true);
    S.SetHoldUpdates(false);
    EXPECT_EQ(Graph->Paints, 1) << "nothing was pending";
    S.SetListener(Graph, nullptr);
}

TEST_F(PlotTest, WithoutPlottingListenersHearChangesButNothingPaints)
{
    TSeries& S = *Graph->GetSeries(1);
    int Heard = 0;
    S.SetListener(Graph, [&](TDataSeries*, uint8_t) { ++Heard; });
    Graph->SetPlotting(false);
    Graph->Paints = 0;
    S.AddPoint(1, 1);
    EXPECT_EQ(Heard, 1);
    EXPECT_EQ(Graph->Paints, 0);
    S.SetListener(Graph, nullptr);
}

TEST_F(PlotTest, AnAddedPointInsideTheRangesPaintsOnlyTheSeries)
{
    TSeries& S = *Graph->GetSeries(1);
    Graph->GetAppearance()->PreventFlicker = true;
    Graph->GetXAxis()->SetAutoSizing(true);
    Graph->GetYAxis()->SetAutoSizing(true);
    Graph->PaintsFull.clear();
    S.AddPoint(0.5, 0.5);
    S.AddPoint(0.7, 1.5); // above the y range
    S.AddPoint(0.8, 1.0); // on its edge
    EXPECT_EQ(Graph->PaintsFull, (std::vector<bool> { false, true, false }));
    EXPECT_TRUE(Graph->GetFullRedraw());
}

TEST_F(PlotTest, TooManyPointsReachTheGraphAndKeepThePoint)
{
    TSeries& S = *Graph->GetSeries(4);
    S.MaxPoints = 2;
    std::vector<std::pair<TObject*, int>> Events;
    Graph->OnTooManyPoints = [&](TObject* Sender, int Index) { Events.emplace_back(Sender, Index); };
    for (int I = 0; I < 3; ++I)
        S.AddPoint(I, I);
    ASSERT_EQ(Events.size(), 1u);
    EXPECT_EQ(Events[0].first, Graph);
    EXPECT_EQ(Events[0].second, 4);
    EXPECT_EQ(S.GetCount(), 3);
}

TEST_F(PlotTest, SeriesKeepAscendingNumbersAndLeaveTheListWhenFreed)
{
    int NewEvents = 0;
    std::vector<int> Deleted;
    Graph->OnNewSeries = [&](TObject*, int) { ++NewEvents; };
    Graph->OnDeleteSeries = [&](TObject*, int Index) { Deleted.push_back(Index); };
    TSeries* Five = Graph->GetSeries(5);
    Graph->GetSeries(2);
    Graph->GetSeries(9);
    EXPECT_EQ(Graph->GetSeries(5), Five);
    EXPECT_EQ(NewEvents, 3);
    TSeries* OtherFive = Graph->CreateSeries(5);
    std::vector<TSeries*> Order;
    for (TSeries* S = Graph->GetFirstSeries(); S; S = S->next)
        Order.push_back(S);
    ASSERT_EQ(Order.size(), 4u);
    EXPECT_EQ(Order[1], OtherFive) << "a second number 5 goes before the first";
    // Freeing the first series 5 leaves the second linked.
    delete Five;
    EXPECT_EQ(Graph->GetSeries(5), OtherFive);
    EXPECT_EQ(Deleted, std::vector<int> { 5 });
    Graph->SetPlotting(false);
    Graph->Paints = 0;
    Graph->ClearSeries();
    EXPECT_EQ(Graph->GetFirstSeries(), nullptr);
    EXPECT_EQ(Deleted.size(), 4u);
    EXPECT_EQ(Graph->Paints, 0);
    EXPECT_FALSE(Graph->GetPlotting());
}

TEST_F(PlotTest, HasSeriesDataAsksThePointsOfTheAxisSeries)
{
    TSeries& S = *Graph->GetSeries(1);
    S.SetAxis(Graph->GetYAxis_Second());
    EXPECT_FALSE(Graph->HasSeriesData(nullptr));
    S.AddPoint(1, 1);
    EXPECT_TRUE(Graph->HasSeriesData(nullptr));
    EXPECT_TRUE(Graph->HasSeriesData(Graph->GetXAxis()));
    EXPECT_TRUE(Graph->HasSeriesData(Graph->GetYAxis_Second()));
    EXPECT_FALSE(Graph->HasSeriesData(Graph->GetYAxis()));
}
