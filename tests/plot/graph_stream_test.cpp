//===- graph_stream_test.cpp - Saving, loading and copying whole graphs ===//
#include "plot/TAxis.h"

#include "plot/TGenericAnnotation.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "plot/TSeries.h"
#include "tests/plot/PlotFixture.h"
#include "tests/support/TestSupport.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/printing/Clipbrd.h"
#include "platform/ui/components/Filer.h"
#include "platform/ui/components/FormReader.h"
#include "platform/ui/components/FormResource.h"
#include "platform/ui/components/Published.h"

#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using plottest::CountingGraph;
using plottest::PlotTest;

std::string Saved(TPlotGraph& G, bool WithPoints = true)
{
    TMemoryStream S;
    G.SaveToStream(S, WithPoints);
    EXPECT_EQ(S.GetPosition(), S.GetSize() - 4) << "the position stands before the final Int32 0";
    return std::string(reinterpret_cast<const char*>(S.Memory()), size_t(S.GetSize()));
}

void Load(TPlotGraph& G, const std::string& Bytes)
{
    TMemoryStream S;
    S.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
    S.SetPosition(0);
    G.LoadFromStream(S);
}

/// A graph with two series (numbered 2 and 7) with points, and two marks.
void Fill(TPlotGraph& G)
{
    G.GetXAxis()->SetTitle("Shots");
    TSeries* A = G.GetSeries(2);
    A->SeriesName = "two";
    A->SetLineColor(0x0000C0);
    A->AddPoint(1, 10);
    A->AddPoint(2, 20);
    TSeries* B = G.GetSeries(7);
    B->SeriesName = "seven";
    B->AddPoint(3, 30);
    auto* M = new TMark(5, "five", 1);
    G.AddAnnotation(M);
    G.AddAnnotation(new TMark(9, "nine", 3));
}

using GraphStreamTest = PlotTest;

TEST_F(GraphStreamTest, DefaultGraphMatchesGoldenBytes)
{
    const std::string Bytes = Saved(*Graph);
    EXPECT_EQ(Bytes, testsupport::ReadFile(PLOT_TEST_DATA "/default_graph.plgr"));
    EXPECT_EQ(Bytes.substr(0, 11), std::string("\x06\x09plgr03.20"));
    // L counts itself and the annotation count ("I", then 0), then the final Int32 0.
    EXPECT_EQ(Bytes.substr(Bytes.size() - 13), std::string("\x09\0\0\0\x06\x01I\x02\0\0\0\0\0", 13));
}

TEST_F(GraphStreamTest, LoadAndSaveAgainGivesTheSameBytes)
{
    Fill(*Graph);
    const std::string First = Saved(*Graph);
    CountingGraph Other(nullptr);
    Load(Other, First);
    EXPECT_EQ(Saved(Other), Saved(*Graph)) << "series are renumbered, nothing else changes";
}

TEST_F(GraphStreamTest, SeriesComeBackNumberedFromOneWithTheirPoints)
{
    Fill(*Graph);
    CountingGraph Other(nullptr);
    int NewSeries = 0;
    Other.OnNewSeries = [&](TObject*, int) { ++NewSeries; };
    Other.Assign(*Graph);
    ASSERT_NE(Other.GetFirstSeries(), nullptr);
    TSeries* One = Other.GetFirstSeries();
    TSeries* Two = One->next;
    ASSERT_NE(Two, nullptr);
    EXPECT_EQ(One->GetSeriesNumber(), 1);
    EXPECT_EQ(Two->GetSeriesNumber(), 2);
    EXPECT_EQ(One->SeriesName, "two");
    EXPECT_EQ(One->GetLineColor(), TColor(0x0000C0));
    EXPECT_EQ(One->GetCount(), 2);
    EXPECT_EQ(Two->GetCount(), 1);
    EXPECT_EQ(NewSeries, 2);
    EXPECT_NE(Other.FindAnnotation(5), nullptr);
    EXPECT_EQ(Other.FindAnnotation(9)->DrawTime, 3);
    EXPECT_EQ(Other.GetXAxis()->GetTitle(), "Shots");
    EXPECT_TRUE(Other.GetPlotting());
}

TEST_F(GraphStreamTest, AssignFromAnythingElseChangesNothing)
{
    Fill(*Graph);
    const std::string Before = Saved(*Graph);
    TAxis& NotAGraph = *Graph->GetYAxis();
    Graph->Assign(NotAGraph);
    EXPECT_EQ(Saved(*Graph), Before);
}

struct SignatureRow {
    const char* Signature;
    const char* Message;
};

TEST_F(GraphStreamTest, ForeignSignaturesAreRefusedWithTheirTexts)
{
    const SignatureRow Rows[] = {
        { "plgx03.20", "Not a valid graph file" },
        { "plg", "Not a valid graph file" },
        { "plgr13.20", "Wrong Graph version" },
        { "plgr", "Wrong Graph version" }, // no version character at all
    };
    for (const SignatureRow& R : Rows) {
        TMemoryStream S;
        {
            TPlotWriter W(S, 64);
            W.WriteString(R.Signature);
        }
        S.SetPosition(0);
        try {
            Graph->LoadFromStream(S);
            ADD_FAILURE() << R.Signature << " loaded";
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(), R.Message) << R.Signature;
        }
        EXPECT_TRUE(Graph->GetPlotting()) << "restored after " << R.Signature;
    }
}

TEST_F(GraphStreamTest, EveryTruncationRaisesAndRestoresPlotting)
{
    Fill(*Graph);
    const std::string Bytes = Saved(*Graph);
    // The final Int32 0 is not needed: the annotation tail ends before it.
    for (size_t Length = 0; Length + 4 < Bytes.size(); Length += 7) {
        CountingGraph Other(nullptr);
        EXPECT_THROW(Load(Other, Bytes.substr(0, Length)), Exception) << "cut at " << Length;
        EXPECT_TRUE(Other.GetPlotting());
    }
}

TEST_F(GraphStreamTest, CountBeyondTheBytesLeftIsRefusedAtOnce)
{
    std::string Bytes = Saved(*Graph);
    // The series count value ("I", then 0 as Int8) comes first; make it 60000 (Int32).
    const size_t At = Bytes.find(std::string("\x06\x01I\x02\0", 5));
    ASSERT_NE(At, std::string::npos);
    Bytes.replace(At + 3, 2, std::string("\x04\x60\xEA\0\0", 5));
    CountingGraph Other(nullptr);
    int NewSeries = 0;
    Other.OnNewSeries = [&](TObject*, int) { ++NewSeries; };
    EXPECT_THROW(Load(Other, Bytes), EReadError);
    EXPECT_EQ(NewSeries, 0);
}

TEST_F(GraphStreamTest, TextFormCountIsReadFromItsString)
{
    TMemoryStream S;
    {
        TPlotWriter W(S, 64);
        W.WriteString("SeriesCountS");
        W.WriteString("3");
    }
    S.SetPosition(0);
    TPlotReader R(S, 64);
    Graph->ReadSeriesCount(R, S);
    EXPECT_EQ(Graph->GetSeriesCount(), 3);
}

// A graph's form resource as the class library would write it: only its stored properties.
std::string FormResourceOf(TPlotGraph& G)
{
    std::string Text = "object G: TPlotGraph\n";
    for (const TFormProperty& P : DefinedProperties(G)) {
        Text += "  " + P.Path + " = ";
        if (P.Value.Kind == TFormValueKind::Binary) {
            Text += "{";
            for (uint8_t B : P.Value.Bytes) {
                char Hex[3];
                std::snprintf(Hex, sizeof Hex, "%02X", B);
                Text += Hex;
            }
            Text += "}\n";
        } else {
            Text += "( '" + P.Value.Items.at(0).Text + "' " + std::to_string(P.Value.Items.at(1).Integer) + " )\n";
        }
    }
    return Text + "end\n";
}

void ReadFormResource(TPlotGraph& G, const std::string& Text) { ReadComponent(ParseFormResource("G", Text), "G", G); }

TEST_F(GraphStreamTest, EmptyGraphStoresTheThreeCountsOnly)
{
    EXPECT_EQ(FormResourceOf(*Graph), "object G: TPlotGraph\n  SeriesCount = ( 'I' 0 )\n  MarkCount = ( 'I' 0 )\n"
                                      "  AnnotationCount = ( 'I' 0 )\nend\n");
}

TEST_F(GraphStreamTest, FormResourceCarriesSeriesAndMarks)
{
    Fill(*Graph);
    const std::string Text = FormResourceOf(*Graph);
    EXPECT_NE(Text.find("SeriesCount = ( 'I' 2 )"), std::string::npos);
    EXPECT_NE(Text.find("SeriesInfo = {"), std::string::npos);
    EXPECT_NE(Text.find("MarksInfo = {"), std::string::npos);
    EXPECT_EQ(Text.find("AnnotationInfo"), std::string::npos);
    CountingGraph Other(nullptr);
    ReadFormResource(Other, Text);
    ASSERT_NE(Other.GetFirstSeries(), nullptr);
    EXPECT_EQ(Other.GetFirstSeries()->next->GetSeriesNumber(), 2);
    EXPECT_EQ(Other.FindAnnotation(9)->DrawTime, 3);
    EXPECT_EQ(FormResourceOf(Other), Text);
}

TEST_F(GraphStreamTest, FormResourceFaultsNameTheProperty)
{
    const std::pair<const char*, const char*> Rows[] = {
        { "SeriesInfo = { 00 }", "Error reading G.SeriesInfo: internal filing error: TPlotGraph" },
        { "MarkCount = 'I'", "Error reading G.MarkCount: Stream read error" },
        { "SeriesCount = 1.5", "Error reading G.SeriesCount: Stream read error" },
        { "MarksInfo = ( 'I' 1 )", "Error reading G.MarksInfo: Binary data expected for MarksInfo" },
    };
    for (const auto& [Line, Message] : Rows) {
        CountingGraph Other(nullptr);
        try {
            ReadFormResource(Other, std::string("object G: TPlotGraph\n  ") + Line + "\nend\n");
            ADD_FAILURE() << Line << " was read";
        } catch (const EFormReadError& E) {
            EXPECT_NE(E.Message().find(Message), std::string::npos) << E.Message();
        }
    }
}

/// A graph with handlers of its own, so that its resource can bind the graph's events to them.
class THandlingGraph : public CountingGraph {
public:
    using CountingGraph::CountingGraph;
    void SeriesEvent(TObject*, int) { Handled.push_back("series"); }
    void NotifyEvent(TObject*) { Handled.push_back("notify"); }
    void PaintEvent(TObject*, TCanvas*) { Handled.push_back("paint"); }
    std::vector<std::string> Handled;
};

const PublishedClass& HandlingGraphClass =
    PublishClass<THandlingGraph, TPlotGraph>("THandlingGraph", [](Published<THandlingGraph>& P) {
        P.Method("SeriesEvent", &THandlingGraph::SeriesEvent);
        P.Notify("NotifyEvent", &THandlingGraph::NotifyEvent);
        P.Method("PaintEvent", &THandlingGraph::PaintEvent);
    });

TEST_F(GraphStreamTest, FormResourceSetsDragAllowedAndBindsEveryEvent)
{
    (void)HandlingGraphClass;
    THandlingGraph G(nullptr);
    ReadComponent(ParseFormResource("G", "object G: THandlingGraph\n"
                                         "  DragAllowed = False\n"
                                         "  OnNewSeries = SeriesEvent\n"
                                         "  OnLogError = SeriesEvent\n"
                                         "  OnTooManyPoints = SeriesEvent\n"
                                         "  OnDeleteSeries = SeriesEvent\n"
                                         "  OnRescale = NotifyEvent\n"
                                         "  OnScaleError = NotifyEvent\n"
                                         "  OnWantDesigner = NotifyEvent\n"
                                         "  OnPaintStart = PaintEvent\n"
                                         "  OnPaintEnd = PaintEvent\n"
                                         "end\n"),
                  "G", G);
    EXPECT_FALSE(G.DragAllowed);
    for (const TSeriesEvent* E : { &G.OnNewSeries, &G.OnLogError, &G.OnTooManyPoints, &G.OnDeleteSeries })
        if (*E)
            (*E)(&G, 1);
    for (const TNotifyEvent* E : { &G.OnRescale, &G.OnScaleError, &G.OnWantDesigner })
        if (*E)
            (*E)(&G);
    for (const TPaintEvent* E : { &G.OnPaintStart, &G.OnPaintEnd })
        if (*E)
            (*E)(&G, nullptr);
    EXPECT_EQ(G.Handled, (std::vector<std::string> { "series", "series", "series", "series", "notify", "notify",
                                                     "notify", "paint", "paint" }));
}

TEST_F(GraphStreamTest, ClipboardFormatIsRegisteredUnderItsName)
{
    const UINT Format = PlotGraphClipboardFormat();
    EXPECT_GE(Format, 0xC000u);
    char Name[64];
    ASSERT_GT(GetClipboardFormatName(Format, Name, sizeof Name), 0);
    EXPECT_STREQ(Name, "Internal PlotGraph Format");
    CountingGraph Other(nullptr);
    EXPECT_EQ(PlotGraphClipboardFormat(), Format) << "once per program";
}

} // namespace
