//===- plot_live_bench.cpp - A live energy plot: batches, full repaints and metafiles beside a bare polyline ===//
//
// The graph is a 600 x 420 control on a form, drawn offscreen, with an x axis of time as
// Tessaly's energy plot has it: 100 000 pulses at 100 Hz. The peer draws the same points as
// one QPainter polyline on an image of the plot's size, with nothing else; the ratios of the
// graph's costs to it are printed at the end.
//
#include "plot/TAxis.h"
#include "plot/TPlotGraph.h"
#include "plot/TSeries.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/graphics/TMetafile.h"
#include "platform/kernel/SessionNames.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int Points = 100000;
constexpr int Batch = 100;
constexpr int Width = 600, Height = 420;

double TimeOf(int I) { return 46000.5 + I / (100.0 * 86400); }
double EnergyOf(int I) { return 130 + 15 * std::sin(I * 0.01) + (I * 7919 % 23) - 11; }

/// A graph on a form, set up as Tessaly sets up its energy plot.
struct LivePlot {
    LivePlot()
    {
        Host = new TForm(Application);
        Host->SetClientWidth(Width + 20);
        Host->SetClientHeight(Height + 20);
        Graph = new TPlotGraph(Host);
        Graph->SetParent(Host);
        Graph->SetWidth(Width);
        Graph->SetHeight(Height);
        Graph->GetXAxis()->SetShowAsTime(true);
        Graph->GetXAxis()->SetAutoSizing(true);
        Graph->GetYAxis()->SetMin(0);
        Graph->GetYAxis()->SetMax(180);
        Series = Graph->GetSeries(1);
        Series->MaxPoints = 0;
        Series->SetDrawPoints(false);
    }
    ~LivePlot() { delete Host; }
    void Fill()
    {
        Graph->SetPlotting(false);
        for (int I = 0; I < Points; ++I)
            Series->AddPoint(TimeOf(I), EnergyOf(I));
        Graph->SetPlotting(true);
    }

    TForm* Host;
    TPlotGraph* Graph;
    TSeries* Series;
};

/// A run as it arrives: 100 points, then a paint, 1000 times. The counter is the time per batch.
void BM_LiveRunInBatches(benchmark::State& State)
{
    for (auto _ : State) {
        State.PauseTiming();
        auto Plot = std::make_unique<LivePlot>();
        State.ResumeTiming();
        for (int First = 0; First < Points; First += Batch) {
            Plot->Graph->SetPlotting(false);
            for (int I = First; I < First + Batch; ++I)
                Plot->Series->AddPoint(TimeOf(I), EnergyOf(I));
            Plot->Graph->SetPlotting(true);
        }
        State.PauseTiming();
        Plot.reset();
        State.ResumeTiming();
    }
    // Seconds per batch (shown as ms or us).
    State.counters["per_batch"] = benchmark::Counter(double(State.iterations()) * (Points / Batch),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LiveRunInBatches)->Unit(benchmark::kMillisecond)->Iterations(1);

/// The last batch alone: 100 points added to 99 900 and the whole graph painted.
void BM_LastBatch(benchmark::State& State)
{
    LivePlot Plot;
    Plot.Fill();
    for (auto _ : State) {
        State.PauseTiming();
        for (int I = Points - Batch; I < Points; ++I)
            Plot.Series->DeletePointsAt(TimeOf(I));
        State.ResumeTiming();
        Plot.Graph->SetPlotting(false);
        for (int I = Points - Batch; I < Points; ++I)
            Plot.Series->AddPoint(TimeOf(I), EnergyOf(I));
        Plot.Graph->SetPlotting(true);
    }
}
BENCHMARK(BM_LastBatch)->Unit(benchmark::kMillisecond);

/// A full render of the 100 000-point graph and its copy to the control.
void BM_FullRepaint(benchmark::State& State)
{
    LivePlot Plot;
    Plot.Fill();
    for (auto _ : State)
        Plot.Graph->Paint();
    State.SetItemsProcessed(State.iterations() * Points);
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

/// The same graph rendered into a metafile, as for the report.
void BM_DrawToMetafile(benchmark::State& State)
{
    LivePlot Plot;
    Plot.Fill();
    for (auto _ : State) {
        TMetafile Picture;
        Plot.Graph->DrawToMetafile(Picture);
        benchmark::DoNotOptimize(Picture.GetHandle());
    }
    State.SetItemsProcessed(State.iterations() * Points);
}
BENCHMARK(BM_DrawToMetafile)->Unit(benchmark::kMillisecond);

/// The peer: the graph's pixels of the same points as one polyline on a bare image.
void BM_QPainterPolyline(benchmark::State& State)
{
    LivePlot Plot;
    Plot.Fill();
    Plot.Graph->Paint(); // the graph's pixel scale
    QPolygon Line(Points);
    for (int I = 0; I < Points; ++I)
        Line[I] = QPoint(Plot.Graph->XValueToPixel(TimeOf(I)), Plot.Graph->YValueToPixel(EnergyOf(I)));
    QImage Image(Plot.Graph->GetPlotWidth(), Plot.Graph->GetPlotHeight(), QImage::Format_RGB32);
    for (auto _ : State) {
        Image.fill(Qt::white);
        QPainter Painter(&Image);
        Painter.setPen(QPen(Qt::black, 1));
        Painter.drawPolyline(Line);
    }
    State.SetItemsProcessed(State.iterations() * Points);
}
BENCHMARK(BM_QPainterPolyline)->Unit(benchmark::kMillisecond);

/// The console report, keeping each benchmark's CPU time per iteration for the ratios (on a
/// shared machine the wall time says more about the neighbours).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override
    {
        ConsoleReporter::ReportRuns(Runs);
        for (const Run& R : Runs)
            if (R.run_type == Run::RT_Iteration && R.iterations > 0)
                Times[R.run_name.function_name] = R.cpu_accumulated_time / double(R.iterations);
    }
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char** argv)
{
    // A session of its own, so the benchmark never meets a running system's windows.
    const std::string Session = "bench-plot-" + std::to_string(getpid());
    setenv("VARNEX_SESSION", Session.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    benchmark::Initialize(&argc, argv);
    RatioReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    benchmark::Shutdown();
    const auto Peer = Reporter.Times.find("BM_QPainterPolyline");
    if (Peer != Reporter.Times.end() && Peer->second > 0)
        for (const char* Name : { "BM_LastBatch", "BM_FullRepaint", "BM_DrawToMetafile" })
            if (auto It = Reporter.Times.find(Name); It != Reporter.Times.end())
                std::printf("%-18s %6.1f x the bare polyline (CPU time)\n", Name, It->second / Peer->second);
    std::error_code Ignored;
    const std::string Prefix = "varnex-" + Session + "-";
    for (const auto& Entry : std::filesystem::directory_iterator(SessionObjectFolder(), Ignored))
        if (Entry.path().filename().string().rfind(Prefix, 0) == 0)
            std::filesystem::remove(Entry.path(), Ignored);
    return 0;
}
