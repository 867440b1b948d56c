//===- graph_painting_test.cpp - The graph's paint, axes, legend and metafile, offscreen ===//
#include "plot/TAppearance.h"

#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TLegend.h"
#include "plot/TPlotGraph.h"
#include "plot/TSeries.h"
#include "tests/plot/PlotFixture.h"
#include "tests/platform/ui/support/UiTestSupport.h"
#include "tests/support/TestSupport.h"

#include "platform/gdi/metafile/EnhMetaFile.h"
#include "platform/ui/components/FormReader.h"
#include "platform/ui/components/FormResource.h"
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/graphics/TMetafile.h"

#include <gtest/gtest.h>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace {

using plottest::Records;

/// A graph of its default 200 x 200 pixels on a form, so that it has a window and paints.
class GraphPaintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::UsePrivateSession();
        Application->Initialize();
        Host = new TForm(Application);
        Host->SetClientWidth(640);
        Host->SetClientHeight(480);
        Graph = new TPlotGraph(Host);
        Graph->SetParent(Host);
        Graph->OnPaintEnd = [this](TObject*, TCanvas*) { ++PaintEnds; };
    }
    void TearDown() override { delete Host; }

    TColor Pixel(int X, int Y) { return Graph->GetCanvas()->GetPixels(X, Y); }
    /// The rows of column X (control pixels) between Top and Bottom that hold Colour.
    int CountInColumn(int X, int Top, int Bottom, TColor Colour)
    {
        int N = 0;
        for (int Y = Top; Y <= Bottom; ++Y)
            N += Pixel(X, Y) == Colour;
        return N;
    }
    std::string MetafileDump(TMetafile& Picture)
    {
        Graph->DrawToMetafile(Picture);
        return Picture.GetHandle() ? DumpEnhMetaFile(Picture.GetHandle()->Bytes()) : std::string();
    }

    TForm* Host = nullptr;
    TPlotGraph* Graph = nullptr;
    int PaintEnds = 0;
};

// The border takes the outer ring, so the plot is 198 x 198 with its origin at control (1, 1):
// x of v is round(143 v) + 40, y of v is round(128 (1 - v)) + 30.
constexpr int Client = 1;

TEST_F(GraphPaintTest, DefaultGraphShowsRedCrossAtZeroAndDottedGridAtTheSteps)
{
    Graph->Paint();
    EXPECT_EQ(PaintEnds, 1);
    const int X0 = 40 + Client, Y0 = 158 + Client;
    // The cross is drawn over the axes: red on the y axis line above the crossing and on the
    // y axis' zero tick to its left, with half length 4.
    EXPECT_EQ(Pixel(X0, Y0 - 4), clRed);
    EXPECT_EQ(Pixel(X0 - 3, Y0), clRed);
    EXPECT_EQ(Pixel(X0, Y0 - 6), clBlack) << "the y axis line beyond the cross";
    for (int Column : { 69, 97, 126, 154 }) {
        const int N = CountInColumn(Column + Client, 31 + Client, 157 + Client, clSilver);
        EXPECT_GT(N, 20) << "grid column " << Column;
        EXPECT_LT(N, 127) << "a dotted line leaves gaps, column " << Column;
        // Beside a grid column only the four horizontal grid lines cross.
        EXPECT_LE(CountInColumn(Column + Client + 1, 31 + Client, 157 + Client, clSilver), 4) << Column + 1;
    }
    EXPECT_LE(CountInColumn(41 + Client, 31 + Client, 157 + Client, clSilver), 4) << "no grid beside the axis";
    EXPECT_EQ(uint32_t(Pixel(0, 100)), ColorToRGB(uint32_t(clWindowFrame))) << "the border ring";
    EXPECT_EQ(Pixel(1, 100), clWhite) << "the margin starts inside the border";
}

TEST_F(GraphPaintTest, WindowRepaintCopiesTheRenderedPictureWithoutRendering)
{
    Graph->Paint();
    Graph->Invalidate();
    Graph->Update();
    EXPECT_EQ(PaintEnds, 1) << "a window repaint after the first render only copies";
    Graph->Paint();
    EXPECT_EQ(PaintEnds, 2) << "a direct paint renders";
}

TEST_F(GraphPaintTest, InconsistentRangeShowsErrorCaptionAndNoSeries)
{
    Graph->GetYAxis()->SetMax(0); // Min 0 = Max 0, no automatic range
    TSeries* S = Graph->GetSeries(1);
    S->SetLineColor(0x123456);
    S->AddPoint(0.2, 0.3);
    S->AddPoint(0.8, 0.6);
    TMetafile Picture;
    const std::string Dump = MetafileDump(Picture);
    EXPECT_NE(Dump.find("MAX/MIN VALUES INCONSISTENT"), std::string::npos);
    EXPECT_EQ(Dump.find("123456"), std::string::npos) << "no series pen";
    EXPECT_EQ(PaintEnds, 1) << "only the metafile's own second call";
}

TEST_F(GraphPaintTest, DrawToMetafileRecordsTheControlSizeTitlesAndRotatedFont)
{
    Graph->SetWidth(600);
    Graph->SetHeight(420);
    PaintEnds = 0; // a resize paints
    TMetafile Picture;
    const std::string Dump = MetafileDump(Picture);
    EXPECT_EQ(Picture.GetWidth(), 600);
    EXPECT_EQ(Picture.GetHeight(), 420);
    EXPECT_EQ(PaintEnds, 2);
    for (const char* Text : { "X axis", "Y axis", "PlotGraph 3.20" })
        EXPECT_NE(Dump.find(Text), std::string::npos) << Text;
    bool Rotated = false;
    for (const std::string& Line : Records(Dump, "EXTCREATEFONTINDIRECTW"))
        Rotated = Rotated || Line.find("escapement=900") != std::string::npos;
    EXPECT_TRUE(Rotated) << Dump;
}

TEST_F(GraphPaintTest, OffsetsAtTheIntegerLimitsPutTextsFarOnTheirOwnSide)
{
    // Each offset is a 32-bit property: a form resource (or a stored graph) may hold its limits.
    // The texts it moves go far off the picture on the side the offset points to, never round
    // to the other side.
    struct Row {
        const char* Property;
        int64_t Value;
        bool Horizontal; // the offset moves texts along x
        int Side;        // +1 far right or down, -1 far left or up, 0 held at the left edge
    } Rows[] = {
        { "XAxisTitleOffset", 2147483647, false, +1 }, { "XAxisTitleOffset", -2147483648, false, -1 },
        { "XAxisLabelOffset", 2147483647, false, +1 }, { "XAxisLabelOffset", -2147483648, false, -1 },
        { "YAxisTitleOffset", 2147483647, true, 0 },   { "YAxisTitleOffset", -2147483648, true, +1 },
        { "YAxisLabelOffset", 2147483647, true, -1 },  { "YAxisLabelOffset", -2147483648, true, +1 },
        { "GraphTitleOffset", 2147483647, false, -1 }, { "GraphTitleOffset", -2147483648, false, +1 },
    };
    constexpr int Far = 1000000;
    for (const Row& R : Rows) {
        auto* G = new TPlotGraph(Host);
        G->SetParent(Host);
        G->GetDimensions()->SetTickLength(65535);
        ReadComponent(ParseFormResource("G", std::string("object G: TPlotGraph\n  Dimensions.") + R.Property + " = "
                                                 + std::to_string(R.Value) + "\nend\n"),
                      "G", *G);
        TMetafile Picture;
        G->DrawToMetafile(Picture);
        const std::string Dump = DumpEnhMetaFile(Picture.GetHandle()->Bytes());
        int Before = 0, After = 0, AtEdge = 0;
        for (const std::string& Line : Records(Dump, "EXTTEXTOUTW")) {
            const size_t At = Line.find("ref=(");
            ASSERT_NE(At, std::string::npos) << Line;
            const int X = std::stoi(Line.substr(At + 5)), Y = std::stoi(Line.substr(Line.find(',', At) + 1));
            const int V = R.Horizontal ? X : Y;
            Before += V < -Far;
            After += V > Far;
            AtEdge += Line.find("\"Y axis\"") != std::string::npos && X == 0;
        }
        const std::string Case = std::string(R.Property) + " = " + std::to_string(R.Value);
        EXPECT_EQ(Before > 0, R.Side < 0) << Case << "\n" << Dump;
        EXPECT_EQ(After > 0, R.Side > 0) << Case << "\n" << Dump;
        if (R.Side == 0) {
            EXPECT_EQ(AtEdge, 1) << Case << "\n" << Dump;
        }
        delete G;
    }

    // A value beyond the property's type is refused by name, and the offset stays.
    try {
        ReadComponent(ParseFormResource("G", "object G: TPlotGraph\n  Dimensions.YAxisLabelOffset = 2147483648\nend\n"),
                      "G", *Graph);
        ADD_FAILURE() << "2147483648 was taken";
    } catch (const Exception& E) {
        EXPECT_NE(std::string(E.Message()).find("YAxisLabelOffset"), std::string::npos) << E.Message();
    }
    EXPECT_EQ(Graph->GetDimensions()->GetYAxisLabelOffset(), 2);
}

TEST_F(GraphPaintTest, EmptyActiveSeriesTakesNoPartInAutomaticRange)
{
    Graph->GetXAxis()->SetAutoSizing(true);
    TSeries* S = Graph->GetSeries(1);
    S->AddPoint(50, 0.5);
    S->AddPoint(60, 0.6);
    Graph->GetSeries(2); // active, no points
    Graph->Paint();
    EXPECT_GE(Graph->GetXAxis()->GetMin(), 40) << "an empty series would pull the range to 0";
}

TEST_F(GraphPaintTest, LegendDownPlacesEntriesByHeightShare)
{
    TLegend& L = *Graph->GetLegend();
    L.SetLayout(lsDown);
    L.Setheight(80);
    L.Setvisible(true);
    for (int N = 1; N <= 3; ++N) {
        TSeries* S = Graph->GetSeries(N);
        S->SeriesName = "S" + std::to_string(N);
        S->SetShowInLegend(1);
    }
    TMetafile Picture;
    const std::string Dump = MetafileDump(Picture);
    std::vector<int> Ys;
    for (const std::string& Line : Records(Dump, "EXTTEXTOUTW")) {
        for (const char* Name : { "\"S1\"", "\"S2\"", "\"S3\"" })
            if (Line.find(Name) != std::string::npos) {
                const size_t At = Line.find("ref=(");
                ASSERT_NE(At, std::string::npos) << Line;
                Ys.push_back(std::stoi(Line.substr(Line.find(',', At) + 1)));
            }
    }
    ASSERT_EQ(Ys.size(), 3u) << Dump;
    EXPECT_EQ(Ys[1] - Ys[0], 23);
    EXPECT_EQ(Ys[2] - Ys[1], 23);
}

// A graph as Tessaly shows one: two series, a legend, the second y axis, a limit line and a
// marked moment. The picture is kept as test-artifacts/plot_demo.png for a person to look at.
TEST_F(GraphPaintTest, DemoGraphShowsSeriesLegendSecondAxisAndMarks)
{
    Graph->SetPlotting(false);
    Graph->SetWidth(480);
    Graph->SetHeight(320);
    Graph->GetDimensions()->SetRightMargin(60);
    Graph->GetAppearance()->SetGraphTitle("Pulse energy");
    Graph->GetAppearance()->SetShowMarks(true);
    Graph->GetXAxis()->SetTitle("Time (s)");
    Graph->GetYAxis()->SetTitle("Energy (mJ)");
    Graph->GetYAxis()->SetAutoSizing(true);
    Graph->GetXAxis()->SetAutoSizing(true);
    TAxis& Y2 = *Graph->GetYAxis_Second();
    Y2.SetShowAxis(true);
    Y2.SetTitle("Deviation (%)");
    Y2.SetAutoSizing(true);
    TSeries* Energy = Graph->GetSeries(1);
    Energy->SeriesName = "Energy";
    Energy->SetLineColor(clBlue);
    Energy->SetPointColor(clBlue);
    Energy->SetShowInLegend(4);
    TSeries* Deviation = Graph->GetSeries(2);
    Deviation->SeriesName = "Deviation";
    Deviation->SetAxis(&Y2);
    Deviation->SetLineColor(clGreen);
    Deviation->SetDrawPoints(false);
    Deviation->SetShowInLegend(3);
    for (int I = 0; I <= 40; ++I) {
        Energy->AddPoint(I * 0.5, 400 + 30 * std::sin(I * 0.3));
        Deviation->AddPoint(I * 0.5, 2 + std::cos(I * 0.2));
    }
    auto* Limit = new TMark(1, "upper limit", 1);
    Limit->SetColor(clRed);
    Limit->SetMarkType(1); // horizontal line
    Limit->SetY1(420);
    Graph->AddAnnotation(Limit);
    auto* Refill = new TMark(2, "refill", 2);
    Refill->SetColor(clFuchsia);
    Refill->SetMarkType(0); // vertical line
    Refill->SetX1(12.5);
    Graph->AddAnnotation(Refill);
    TLegend& L = *Graph->GetLegend();
    L.Setleft(60);
    L.Settop(36);
    L.Setwidth(200);
    L.SetborderStyle(bsSingle);
    L.Setvisible(true);
    PaintEnds = 0;
    Graph->SetPlotting(true);

    const std::unique_ptr<Dib> Shot = uitest::Grab(*Graph);
    QImage Image(Shot->Width(), Shot->Height(), QImage::Format_RGB32);
    std::map<TColor, int> Count;
    for (int Y = 0; Y < Shot->Height(); ++Y)
        for (int X = 0; X < Shot->Width(); ++X) {
            const COLORREF C = Shot->GetPixel(X, Y);
            Image.setPixel(X, Y, qRgb(GetRValue(C), GetGValue(C), GetBValue(C)));
            ++Count[TColor(C)];
        }
    const std::string Artifacts = testsupport::BinDir() + "/../test-artifacts";
    std::filesystem::create_directories(Artifacts);
    EXPECT_TRUE(Image.save(QString::fromStdString(Artifacts + "/plot_demo.png")));
    EXPECT_GT(Count[clBlue], 300) << "the energy line and its points";
    EXPECT_GT(Count[clGreen], 300) << "the deviation line on the second axis";
    EXPECT_GT(Count[clRed], 300) << "the limit line across the plot area";
    EXPECT_GT(Count[clFuchsia], 200) << "the vertical mark through the plot area";
    EXPECT_EQ(PaintEnds, 1);
}

struct LabelRow {
    const char* Name;
    double Min, Max, Value;
    const char* Text;
};

TEST_F(GraphPaintTest, LabelFormatsFollowTheValueAndTheSpan)
{
    const LabelRow Rows[] = {
        { "fixed with the axis decimals", 0, 1, 0.4, "0.4" },
        { "exponent form for a small value on a small span", 0, 0.001, 0.0005, "5.00E-4" },
        { "near zero on the span: fixed with one decimal", 0, 1, 1e-9, "0.0" },
    };
    TAxis& X = *Graph->GetXAxis();
    for (const LabelRow& R : Rows) {
        X.SetMin(R.Min);
        X.SetMax(R.Max);
        X.SetLabelDecimals(1);
        EXPECT_EQ(Graph->FormatAxisLabel(X, R.Value), R.Text) << R.Name;
    }
    X.SetMin(0);
    X.SetMax(20000);
    X.SetLabelDecimals(2);
    EXPECT_EQ(Graph->FormatAxisLabel(X, 12345), "12345");
    EXPECT_EQ(X.GetLabelDecimals(), 0);
    EXPECT_EQ(Graph->FormatAxisLabel(X, 45.7), "46") << "decimals stay 0 for later labels";
}

// Nothing in the graph's defaults sets DateTimeAutomode, so a run of seconds keeps the date
// format "dd-mmm" on every tick; with the automatic mode the labels follow the tick type that
// the picture coarsened to.
TEST_F(GraphPaintTest, ShortTimeRunIsLabelledInTheAxisFormat)
{
    TAxis& X = *Graph->GetXAxis();
    X.SetShowAsTime(true);
    X.SetAutoSizing(true);
    TSeries* S = Graph->GetSeries(1);
    const double Start = 46000.5; // 9 December 2025, noon
    for (int I = 0; I <= 100; ++I)
        S->AddPoint(Start + I / 86400.0, 100 + I % 7);
    Graph->Paint();
    EXPECT_EQ(X.GetDateTickType(), dt_30second);
    EXPECT_EQ(Graph->FormatAxisLabel(X, Start + 30 / 86400.0), "09-Dec");
    X.SetDateTimeAutomode(true);
    Graph->Paint();
    EXPECT_EQ(Graph->FormatAxisLabel(X, Start + 30 / 86400.0), "12:00:30");
}

// Tessaly's energy graph during a run at 500 Hz: one tick per second over up to 40 seconds
// puts a label every 10 pixels, each about 30 wide. Labels that would run together are drawn
// only at every n-th tick, at least one character apart, and a short run keeps all of them.
TEST_F(GraphPaintTest, TimeLabelsOfALongRunKeepACharacterApart)
{
    Graph->SetWidth(475);
    Graph->SetHeight(194);
    Graph->GetDimensions()->SetLeftMargin(45);
    Graph->GetDimensions()->SetRightMargin(20);
    Graph->GetDimensions()->SetTopMargin(35);
    Graph->GetAppearance()->GetLabelFont()->SetName("Arial");
    Graph->GetAppearance()->GetLabelFont()->SetHeight(-9);
    TAxis& X = *Graph->GetXAxis();
    X.SetShowAsTime(true);
    X.SetDateTimeAutomode(true);
    X.SetAutoSizing(true);
    X.SetAutoStepping(true);
    Graph->GetCanvas()->GetFont()->Assign(*Graph->GetAppearance()->GetLabelFont());
    const int character = Graph->GetCanvas()->TextWidth("0");
    const double start = 46000 + (8 * 3600 + 26 * 60 + 17) / 86400.0;
    for (int seconds : { 5, 18, 40 }) {
        SCOPED_TRACE(seconds);
        TSeries* S = Graph->GetSeries(1);
        S->Clear();
        for (int i = 0; i <= 20; ++i)
            S->AddPoint(start + seconds * i / 20.0 / 86400, 90 + i % 5);
        TMetafile Picture;
        const std::string Dump = MetafileDump(Picture);
        std::vector<std::pair<int, int>> boxes; // left and right of each time label
        for (const std::string& Line : Records(Dump, "EXTTEXTOUTW")) {
            const size_t Text = Line.find("text=\"");
            if (Text == std::string::npos || Line.find(':', Text) == std::string::npos)
                continue;
            int Left, Top, Right, Bottom;
            ASSERT_EQ(std::sscanf(Line.c_str() + Line.find("bounds=("), "bounds=(%d,%d)-(%d,%d)", &Left, &Top, &Right,
                                  &Bottom),
                      4)
                << Line;
            boxes.emplace_back(Left, Right);
        }
        std::sort(boxes.begin(), boxes.end());
        ASSERT_GE(boxes.size(), 3u) << Dump;
        if (seconds == 5) {
            EXPECT_GE(boxes.size(), 6u) << "every second of a short run is labelled";
        }
        for (size_t i = 1; i < boxes.size(); ++i)
            EXPECT_GE(boxes[i].first - boxes[i - 1].second, character)
                << "labels " << i - 1 << " and " << i << " of " << boxes.size();
    }
}

} // namespace
