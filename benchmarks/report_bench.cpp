//===- report_bench.cpp - Tessaly's report of a 6000-pulse run: our PDF file beside Qt's PDF printer ===//
//
// The two graphs are set up as Tessaly's form sets them and hold a 6000-pulse run (the energies
// against time, the histogram with its limit marks). BM_SaveReport times what Save does from the
// dialog's answer to the closed file: both graphs drawn into metafiles at the report's size, the
// page composed, and the one-page PDF file written. BM_WriteReportPdf writes the composed page
// alone, and BM_PrintReportToQtPdf prints the same page through the printer object onto Qt's PDF
// printer at 300 dpi, the road of Print. The ratios are printed at the end.
//
#include "energystats/ReportFile.h"
#include "energystats/ReportPage.h"
#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TPlotGraph.h"
#include "plot/TSeries.h"

#include "platform/ui/printing/Printers.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/graphics/TMetafile.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int Pulses = 6000;

std::string scratchFile(const char* Name) { return "/tmp/bench_report_" + std::to_string(getpid()) + "_" + Name; }

std::unique_ptr<TPlotGraph> makeGraph(const char* Title, const char* XTitle, const char* YTitle)
{
    auto graph = std::make_unique<TPlotGraph>(nullptr);
    graph->SetBounds(0, 0, ReportGraphWidth, ReportGraphHeight);
    graph->GetDimensions()->SetLeftMargin(45);
    graph->GetDimensions()->SetRightMargin(20);
    graph->GetDimensions()->SetTopMargin(35);
    TAppearance& look = *graph->GetAppearance();
    look.SetBackgroundColor(clWhite);
    look.SetMarginColor(clWhite);
    look.SetShowMarks(true);
    look.SetCrossAtZero(true);
    look.SetGraphTitle(Title);
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-9);
    font.SetColor(clBlack);
    look.SetTitleFont(font);
    look.SetCaptionFont(font);
    look.SetLabelFont(font);
    graph->GetXAxis()->SetTitle(XTitle);
    graph->GetYAxis()->SetTitle(YTitle);
    graph->GetXAxis()->SetGridlines(true);
    graph->GetYAxis()->SetGridlines(true);
    graph->GetYAxis_Second()->SetShowAxis(false);
    const std::pair<double, TColor> marks[] = { { 85, 0x00FFFF }, { 60, 0x0000FF }, { 100, 0x008000 } };
    for (int id = 1; id <= 3; ++id) {
        auto* mark = new TMark(id, "", 3);
        graph->AddAnnotation(mark);
        mark->SetColor(marks[id - 1].second);
    }
    return graph;
}

/// The graphs of a finished 6000-pulse run at 50 Hz around 85 µJ.
struct RunGraphs {
    RunGraphs()
    {
        histogram = makeGraph("ENERGY DEVIATION", "Energy [\xB5J]", "Pulses");
        energy = makeGraph("ENERGY", "Time", "Energy [\xB5J]");
        energy->GetXAxis()->SetShowAsTime(true);
        int bins[256] = {};
        TSeries& pulses = *energy->GetSeries(1);
        pulses.SetDrawPoints(false);
        pulses.SetLineColor(0xFF0000);
        for (int i = 0; i < Pulses; ++i) {
            const double e = 85 + 6 * std::sin(i * 0.7) + 3 * std::cos(i * 0.13);
            pulses.AddPoint(46000.5 + i / 50.0 / 86400, e);
            ++bins[int(e)];
        }
        energy->GetYAxis()->SetAutoSizing(false);
        energy->GetYAxis()->SetMin(0);
        energy->GetYAxis()->SetMax(180);
        TSeries& counts = *histogram->GetSeries(1);
        counts.SetDrawPoints(false);
        counts.SetLineColor(0xFF0000);
        for (int b = 50; b <= 130; ++b)
            counts.AddPoint(b, bins[b]);
        for (int id = 1; id <= 3; ++id) {
            static_cast<TMark*>(histogram->FindAnnotation(id))->SetX1(id == 1 ? 85 : id == 2 ? 60 : 100);
            auto* line = static_cast<TMark*>(energy->FindAnnotation(id));
            line->SetX1(id == 1 ? 85 : id == 2 ? 60 : 100);
            line->SetY1(id == 1 ? 85 : id == 2 ? 60 : 100);
            line->SetMarkType(1);
        }
    }

    /// What Save composes: both graphs at the report's size, then the page.
    void compose(TMetafile& Page)
    {
        TMetafile h, e;
        histogram->DrawToMetafile(h);
        energy->DrawToMetafile(e);
        ComposeReportPage(Page, h, e, facts);
    }

    std::unique_ptr<TPlotGraph> histogram, energy;
    ReportFacts facts { "09.12.2026 03:04:05", " KELMOR", 4711, 100, 2.5, 84.37, 6000 };
};

RunGraphs& run()
{
    static RunGraphs graphs;
    return graphs;
}

void BM_SaveReport(benchmark::State& State)
{
    const std::string file = scratchFile("saved.pdf");
    for (auto _ : State) {
        TMetafile page;
        run().compose(page);
        WriteReportPdf(page, file, ReportCreationDate());
    }
    std::remove(file.c_str());
}
BENCHMARK(BM_SaveReport)->Unit(benchmark::kMillisecond);

void BM_WriteReportPdf(benchmark::State& State)
{
    const std::string file = scratchFile("written.pdf");
    TMetafile page;
    run().compose(page);
    for (auto _ : State)
        WriteReportPdf(page, file, ReportCreationDate());
    std::remove(file.c_str());
}
BENCHMARK(BM_WriteReportPdf)->Unit(benchmark::kMillisecond);

void BM_PrintReportToQtPdf(benchmark::State& State)
{
    const std::string file = scratchFile("printed.pdf");
    TPrinter::SetSystemPrinters(false);
    TPrinter::SetPrintToFile(file, 300);
    TMetafile page;
    run().compose(page);
    TPrinter& printer = *Printer();
    for (auto _ : State) {
        printer.BeginDoc();
        const int m = ReportPrintMargin(300);
        printer.GetCanvas()->StretchDraw(Rect(m, m, printer.GetPageWidth() - m, printer.GetPageHeight() - m), page);
        printer.EndDoc();
    }
    TPrinter::SetPrintToFile("");
    std::remove(file.c_str());
}
BENCHMARK(BM_PrintReportToQtPdf)->Unit(benchmark::kMillisecond);

/// The console report, keeping each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Reports) override
    {
        for (const Run& R : Reports)
            Times[R.benchmark_name()] = R.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(Reports);
    }
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char** argv)
{
    Application->Initialize();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& t = reporter.Times;
    if (t.count("BM_SaveReport") && t.count("BM_WriteReportPdf") && t.count("BM_PrintReportToQtPdf")
        && t.at("BM_PrintReportToQtPdf") > 0)
        std::printf("time against printing to Qt's PDF printer: save %.2f, write alone %.2f\n",
                    t.at("BM_SaveReport") / t.at("BM_PrintReportToQtPdf"),
                    t.at("BM_WriteReportPdf") / t.at("BM_PrintReportToQtPdf"));
    benchmark::Shutdown();
    return 0;
}
