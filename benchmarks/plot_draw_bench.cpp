//===- plot_draw_bench.cpp - Drawing a long series into a metafile: batched polylines against single segments ===//
#include "plot/TAxis.h"
#include "plot/TPlotGraph.h"
#include "plot/TSeries.h"
#include "platform/ui/graphics/TMetafile.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Points = 100000;

// The graph drawing on a canvas of our choice, with its paint left out.
class BenchGraph : public TPlotGraph {
public:
    BenchGraph() : TPlotGraph(nullptr)
    {
        SetPlotting(false);
        FPlotWidth = FPlotHeight = 600;
        GetXAxis()->SetMax(Points);
        GetYAxis()->SetMax(17);
        CalcMetrics(*GetXAxis());
        CalcMetrics(*GetYAxis());
        Series = GetSeries(1);
        Series->MaxPoints = 0;
        Series->SetDrawPoints(false);
        for (int I = 0; I < Points; ++I)
            Series->AddPoint(I, I % 17);
    }
    void Paint() override {}
    void DrawOn(TCanvas* Canvas) { FDrawingCanvas = Canvas; }

    TSeries* Series;
};

template <class Draw>
void IntoMetafile(BenchGraph& G, Draw D)
{
    TMetafile Picture;
    Picture.SetWidth(600);
    Picture.SetHeight(600);
    TMetafileCanvas Canvas(Picture, nullptr);
    G.DrawOn(&Canvas);
    D();
    G.DrawOn(G.GetCanvas());
}

/// The series' line: polylines of 1001 points.
void BM_SeriesLine(benchmark::State& State)
{
    BenchGraph G;
    for (auto _ : State)
        IntoMetafile(G, [&] { G.Series->DrawLine(); });
    State.SetItemsProcessed(State.iterations() * Points);
}
BENCHMARK(BM_SeriesLine)->Unit(benchmark::kMillisecond);

/// The peer: the same line as one segment per point pair.
void BM_SegmentBySegment(benchmark::State& State)
{
    BenchGraph G;
    for (auto _ : State)
        IntoMetafile(G, [&] {
            const TPointNode* P = G.Series->FirstPoint();
            G.GetDrawingCanvas()->MoveTo(G.XValueToPixel(P->X), G.YValueToPixel(P->Y));
            for (P = P->Next; P; P = P->Next)
                G.GetDrawingCanvas()->LineTo(G.XValueToPixel(P->X), G.YValueToPixel(P->Y));
        });
    State.SetItemsProcessed(State.iterations() * Points);
}
BENCHMARK(BM_SegmentBySegment)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
