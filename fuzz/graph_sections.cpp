//===- graph_sections.cpp - Fuzzes the axis, settings, series and mark sections of a stored graph ===//
//
// The first byte picks the section; the rest is the stream behind its header, as the graph stream
// hands it to the section's reader. What was read is then scaled, walked and drawn into a
// metafile (series, annotations, axes with their labels and titles, the graph title), so that
// stored values reach the ranges, the tick walk and the drawing too. Before that, what was read
// goes twice through the section's writer and a fresh graph's reader: both graphs must write the
// same bytes.
//
#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TLegend.h"
#include "plot/TPlotGraph.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "plot/TSeries.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/TStream.h"
#include "platform/ui/graphics/TMetafile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The graph with its paint left out and its drawing sent to a canvas of our choice.
class FuzzGraph : public TPlotGraph {
public:
    using TPlotGraph::TPlotGraph;
    void Paint() override {}
    void DrawOn(TCanvas* Canvas, int Width, int Height)
    {
        FDrawingCanvas = Canvas;
        FPlotWidth = Width;
        FPlotHeight = Height;
    }
    void DrawAxesAndTitle()
    {
        DrawXAxis();
        DrawYAxis();
        DrawGraphTitle();
    }
};

void ReadSection(FuzzGraph& G, uint8_t Which, TPlotReader& R)
{
    switch (Which % 7) {
    case 0: G.GetXAxis()->ReadSection(R); break;
    case 1: G.GetYAxis()->ReadSection(R); break;
    case 2: G.GetDimensions()->ReadSection(R); break;
    case 3: G.GetAppearance()->ReadSection(R); break;
    case 4: G.GetLegend()->ReadSection(R); break;
    case 5: G.GetSeries(1)->ReadFromStream(R); break;
    default: TMark::ReadSection(R, G); break;
    }
}

// The section that Which read, as the graph stream writes it; false for marks, whose reader
// makes a new mark of its own.
bool WriteSection(FuzzGraph& G, uint8_t Which, TStream& Stream)
{
    TPlotWriter W(Stream, 4096);
    switch (Which % 7) {
    case 0: G.GetXAxis()->WriteSection(W); return true;
    case 1: G.GetYAxis()->WriteSection(W); return true;
    case 2: G.GetDimensions()->WriteSection(W); return true;
    case 3: G.GetAppearance()->WriteSection(W); return true;
    case 4: G.GetLegend()->WriteSection(W); return true;
    case 5: G.GetSeries(1)->WriteSection(W, true); return true;
    default: return false;
    }
}

// What was read, written and read into a fresh graph, and that graph's section written and read
// into another: the two graphs write the same bytes. (The first write may differ from them where
// a setter keeps its value for an equal one, -0 for 0, or refuses one by the order of the
// entries, MinSteps before MaxSteps.)
void CheckRoundTrip(FuzzGraph& G, uint8_t Which)
{
    // Points read back in list order give the same list unless a tolerance merges or reorders
    // neighbours or an x has no order (NaN).
    if (Which % 7 == 5) {
        const TSeries& S = *G.GetSeries(1);
        if (S.NumericalTolerance > 0)
            return;
        for (const TPointNode* P = S.FirstPoint(); P; P = P->Next)
            if (P->X != P->X)
                return;
    }
    TMemoryStream Written[3];
    if (!WriteSection(G, Which, Written[0]))
        return;
    for (int I = 1; I < 3; ++I) {
        Written[I - 1].SetPosition(0);
        FuzzGraph Fresh(nullptr);
        {
            TPlotReader R(Written[I - 1], 64);
            if (R.ReadTag() != SectionHeaderIndex)
                std::abort();
            R.ReadAsString();
            ReadSection(Fresh, Which, R);
        }
        WriteSection(Fresh, Which, Written[I]);
    }
    if (Written[1].GetSize() != Written[2].GetSize()
        || std::memcmp(Written[1].Memory(), Written[2].Memory(), size_t(Written[1].GetSize())) != 0)
        std::abort();
}

// A bounded walk: a walk that never ends would show as a time-out.
void WalkTicks(TAxis& A)
{
    TLogTicks Copy = A.GetLogTicks();
    bool Labelled = false;
    int Count = 0;
    for (double V = A.FirstTick(Copy); V <= A.GetMax() && Count < 100000; V = A.NextTick(Copy, V, Labelled))
        ++Count;
}

void ScaleAndDraw(FuzzGraph& G)
{
    for (TAxis* A : { G.GetXAxis(), G.GetYAxis(), G.GetYAxis_Second() }) {
        try {
            if (TSeries* S = G.GetFirstSeries(); S && S->GetCount() > 0) {
                S->RecalcBounds();
                A->DataMin = A == G.GetXAxis() ? S->GetXMin() : S->GetYMin();
                A->DataMax = A == G.GetXAxis() ? S->GetXMax() : S->GetYMax();
            }
            if (A->GetAutoSizing())
                A->AutoScale();
            if (A->CheckRange()) {
                CalcMetrics(*A);
                WalkTicks(*A);
            }
        } catch (const Exception&) {
        }
    }
    TMetafile Picture;
    Picture.SetWidth(200);
    Picture.SetHeight(200);
    TMetafileCanvas Canvas(Picture, nullptr);
    G.DrawOn(&Canvas, 200, 200);
    try {
        for (TSeries* S = G.GetFirstSeries(); S; S = S->next)
            S->Draw();
        for (TGenericAnnotation* A = G.GetFirstAnnotation(); A; A = A->next)
            A->Draw();
    } catch (const Exception&) {
    }
    try {
        G.DrawAxesAndTitle();
    } catch (const Exception&) {
    }
    G.DrawOn(G.GetCanvas(), 200, 200);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    TMemoryStream Stream;
    Stream.WriteBuffer(Data + 1, static_cast<int32_t>(Size - 1));
    Stream.SetPosition(0);
    FuzzGraph Graph(nullptr);
    try {
        TPlotReader Reader(Stream, 64);
        ReadSection(Graph, Data[0], Reader);
    } catch (const Exception&) {
        // Refusals are the reader's answer to bad input; what was read stays and is drawn.
    }
    CheckRoundTrip(Graph, Data[0]);
    ScaleAndDraw(Graph);
    return 0;
}
