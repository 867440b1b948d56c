//===- series_drawing_test.cpp - A series drawn into a metafile, read back record by record ===//
#include "tests/plot/PlotFixture.h"

#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TSeries.h"

using namespace plottest;

namespace {

// Both axes 0..10 on the 200 x 200 graph: x pixel 40 + 14.5 x, y pixel 30 + 13 (10 - y).
class DrawingTest : public PlotTest {
protected:
    void SetUp() override
    {
        PlotTest::SetUp();
        Range(*Graph->GetXAxis(), 0, 10);
        Range(*Graph->GetYAxis(), 0, 10);
        S = Graph->GetSeries(1);
        S->SetDrawLine(false);
    }
    std::string Drawn()
    {
        return Recording(*Graph, [this] { S->Draw(); });
    }

    TSeries* S = nullptr;
};

} // namespace

TEST_F(DrawingTest, OnePointDrawsItsSymbolButNoLineOrCurve)
{
    S->SetDrawLine(true);
    S->SetRegressionType(1);
    S->AddPoint(1, 1);
    const std::string Dump = Drawn();
    EXPECT_TRUE(Records(Dump, "POLYLINE16").empty()) << Dump;
    EXPECT_EQ(Records(Dump, "POLYGON16").size(), 1u) << Dump;
    S->AddPoint(2, 5);
    EXPECT_EQ(Records(Drawn(), "POLYLINE16").size(), 2u) << "the line and the regression line";
}

TEST_F(DrawingTest, SymbolsStayWithinTheAxisRanges)
{
    S->AddPoint(-1, 5);    // left of Min: skipped
    S->AddPoint(1, 10);    // on Max: drawn
    S->AddPoint(2, 10.01); // above Max: not drawn
    S->AddPoint(11, 5);    // right of Max: ends the walk
    S->AddPoint(12, 5);
    const auto Squares = Records(Drawn(), "POLYGON16");
    ASSERT_EQ(Squares.size(), 1u);
    EXPECT_NE(Squares[0].find("(52,28) (56,28) (56,32) (52,32)"), std::string::npos) << Squares[0];
    Graph->GetAppearance()->SetPlotOffGraph(true);
    EXPECT_EQ(Records(Drawn(), "POLYGON16").size(), 5u) << "outside the plot area nothing is tested";
}

TEST_F(DrawingTest, ABarWhollyLeftOfMinCollapsesAndIsNotDrawn)
{
    S->SetPointShape(5);
    S->SetBarWidth(1);
    S->SetBarOffset(-3);
    S->SetLineColor(clBlue);
    S->AddPoint(1, 4); // spans -2..-1
    S->AddPoint(5, 4); // spans 2..3
    const std::string Dump = Drawn();
    const auto Bars = Records(Dump, "RECTANGLE");
    ASSERT_EQ(Bars.size(), 1u) << Dump;
    // Down to the control's height less the bottom margin.
    EXPECT_NE(Bars[0].find("box=(69,108)-(84,160)"), std::string::npos) << Bars[0];
    EXPECT_FALSE(Records(Dump, "CREATEPEN").empty());
    EXPECT_NE(Records(Dump, "CREATEPEN").back().find("colour=0x00FF0000"), std::string::npos) << Dump;
}

TEST_F(DrawingTest, StepsAreDrawnWithAPenOfHalfThePointSize)
{
    S->SetPointShape(4);
    S->SetPointSize(4);
    S->AddPoint(1, 1);
    S->AddPoint(3, 2);
    const std::string Dump = Drawn();
    EXPECT_NE(Records(Dump, "CREATEPEN").back().find("width=2"), std::string::npos) << Dump;
    // The first step to the next point, the last one on to the axis' Max.
    const auto Lines = Records(Dump, "LINETO");
    ASSERT_EQ(Lines.size(), 2u) << Dump;
    EXPECT_NE(Lines[0].find("to=(84,147)"), std::string::npos) << Lines[0];
    EXPECT_NE(Lines[1].find("to=(185,134)"), std::string::npos) << Lines[1];
}

TEST_F(DrawingTest, DataAtOrBelowZeroOnALogAxisIsReportedNotDrawn)
{
    std::vector<int> Errors;
    Graph->OnLogError = [&](TObject*, int Index) { Errors.push_back(Index); };
    Graph->GetXAxis()->SetLogScale(true);
    Range(*Graph->GetXAxis(), 1, 10);
    S->SetDrawLine(true);
    S->AddPoint(0, 1);
    S->AddPoint(2, 1);
    const std::string Dump = Drawn();
    EXPECT_EQ(Errors, std::vector<int> { 1 });
    EXPECT_TRUE(Records(Dump, "POLYLINE16").empty());
    EXPECT_TRUE(Records(Dump, "POLYGON16").empty());
}

TEST_F(DrawingTest, UnknownShapesDrawNothingAndUnknownPenStylesDrawSolid)
{
    S->SetDrawLine(true);
    S->SetLineStyle(9);
    S->SetPointShape(9);
    S->AddPoint(1, 1);
    S->AddPoint(2, 2);
    const std::string Dump = Drawn();
    EXPECT_EQ(Records(Dump, "POLYLINE16").size(), 1u);
    for (const char* Shape : { "POLYGON16", "ELLIPSE", "RECTANGLE", "LINETO" })
        EXPECT_TRUE(Records(Dump, Shape).empty()) << Shape;
    for (const std::string& Pen : Records(Dump, "CREATEPEN"))
        EXPECT_NE(Pen.find("style=0 "), std::string::npos) << Pen;
}

TEST_F(DrawingTest, BoundLinesGoByTheFirstYAxis)
{
    Range(*Graph->GetYAxis_Second(), 0, 100);
    S->SetAxis(Graph->GetYAxis_Second());
    S->SetDrawPoints(false);
    S->SetBoundsMode(1);
    S->SetUpperBound(5);
    S->SetLowerBound(2);
    S->AddPoint(0, 50);
    S->AddPoint(10, 60);
    const auto Lines = Records(Drawn(), "LINETO");
    ASSERT_EQ(Lines.size(), 2u);
    EXPECT_NE(Lines[0].find("to=(185,95)"), std::string::npos) << Lines[0];
    EXPECT_NE(Lines[1].find("to=(185,134)"), std::string::npos) << Lines[1];
}

TEST_F(DrawingTest, MeanBoundsFollowTheDeviation)
{
    S->SetDrawPoints(false);
    S->SetStatisticsEnabled(true);
    S->SetStatisticsXLow(0);
    S->SetStatisticsXHigh(10);
    for (double Y : { 4.0, 6.0, 4.0, 6.0 })
        S->AddPoint(S->GetCount(), Y);
    S->SetBoundsMode(5);
    EXPECT_EQ(Records(Drawn(), "LINETO").size(), 6u);
    S->SetBoundsMode(3);
    EXPECT_EQ(Records(Drawn(), "LINETO").size(), 2u);
}
