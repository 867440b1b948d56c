//===- pdf_bench.cpp - Writing a 100-page document of drawing operators, beside cairo's PDF surface ===//
//
// Both sides draw the same page 100 times: 40 filled rectangles, 20 stroked circles, 20 lines
// and 10 arcs, at varying places and line widths, into memory. The pages per second of each and
// their ratio (writer / cairo) are printed at the end.
//
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFPage.h"
#include "pdf/TPDFPages.h"

#include "platform/rtl/TStream.h"

#include <benchmark/benchmark.h>
#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <string>

namespace {

constexpr int Pages = 100;

/// One page's drawing, in device units of 72 per inch (points from the top left).
template <class Painter>
void drawPage(Painter& P, int Page)
{
    for (int I = 0; I < 40; ++I) {
        const double X = 20 + (I % 8) * 70 + Page % 5, Y = 20 + (I / 8) * 60;
        P.rect(X, Y, 50 + I % 7, 40 - I % 5);
        P.fill(0.1 * (I % 10), 0.5, 1 - 0.02 * I);
    }
    for (int I = 0; I < 20; ++I) {
        P.width(0.5 + 0.25 * (I % 4));
        P.circle(60 + I * 25, 400 + (I % 3) * 30, 10 + I % 6);
        P.stroke();
    }
    for (int I = 0; I < 20; ++I) {
        P.line(30, 500 + I * 8.5, 560, 510 + I * 7.25);
        P.stroke();
    }
    for (int I = 0; I < 10; ++I) {
        P.arc(50 + I * 50, 720, 40, 15.0 * I, 200.0 + 10 * I);
        P.stroke();
    }
}

/// The writer's page, through its device-unit operations.
struct WriterPainter {
    TPDFPage* Page;
    void rect(double X, double Y, double W, double H) { Page->Rectangle(X, Y, X + W, Y + H); }
    void fill(double R, double G, double B)
    {
        Page->SetRGBFillColor(R, G, B);
        Page->Fill();
    }
    void width(double W) { Page->SetLineWidth(W); }
    void circle(double X, double Y, double R) { Page->Circle(X, Y, R); }
    void line(double X1, double Y1, double X2, double Y2)
    {
        Page->MoveTo(X1, Y1);
        Page->LineTo(X2, Y2);
    }
    void arc(double X, double Y, double R, double From, double To)
    {
        Page->ArcByAngles(X - R, Y - R, X + R, Y + R, From, To);
    }
    void stroke() { Page->Stroke(); }
};

struct CairoPainter {
    cairo_t* Cr;
    void rect(double X, double Y, double W, double H) { cairo_rectangle(Cr, X, Y, W, H); }
    void fill(double R, double G, double B)
    {
        cairo_set_source_rgb(Cr, R, G, B);
        cairo_fill(Cr);
    }
    void width(double W) { cairo_set_line_width(Cr, W); }
    void circle(double X, double Y, double R)
    {
        cairo_new_sub_path(Cr);
        cairo_arc(Cr, X, Y, R, 0, 2 * std::numbers::pi);
    }
    void line(double X1, double Y1, double X2, double Y2)
    {
        cairo_move_to(Cr, X1, Y1);
        cairo_line_to(Cr, X2, Y2);
    }
    void arc(double X, double Y, double R, double From, double To)
    {
        cairo_new_sub_path(Cr);
        cairo_arc_negative(Cr, X, Y, R, -From * std::numbers::pi / 180, -To * std::numbers::pi / 180);
    }
    void stroke() { cairo_stroke(Cr); }
};

void BM_WriterPages(benchmark::State& State)
{
    size_t Bytes = 0;
    for (auto _ : State) {
        TMemoryStream Out;
        TPDFDocument Doc(nullptr);
        Doc.OutputStream = &Out;
        Doc.Compression = ctFlate;
        Doc.BeginDoc();
        for (int I = 0; I < Pages; ++I) {
            TPDFPage* Page = I == 0 ? Doc.CurrentPage : Doc.Pages().Add();
            WriterPainter P { Page };
            drawPage(P, I);
        }
        Doc.EndDoc();
        Bytes = static_cast<size_t>(Out.GetSize());
    }
    State.SetItemsProcessed(State.iterations() * Pages);
    State.counters["bytes"] = static_cast<double>(Bytes);
}
BENCHMARK(BM_WriterPages)->Unit(benchmark::kMillisecond);

cairo_status_t collect(void* Closure, const unsigned char* Data, unsigned int Length)
{
    static_cast<std::string*>(Closure)->append(reinterpret_cast<const char*>(Data), Length);
    return CAIRO_STATUS_SUCCESS;
}

void BM_CairoPages(benchmark::State& State)
{
    size_t Bytes = 0;
    for (auto _ : State) {
        std::string Out;
        cairo_surface_t* Surface = cairo_pdf_surface_create_for_stream(collect, &Out, 595, 842);
        cairo_t* Cr = cairo_create(Surface);
        for (int I = 0; I < Pages; ++I) {
            CairoPainter P { Cr };
            drawPage(P, I);
            cairo_show_page(Cr);
        }
        cairo_destroy(Cr);
        cairo_surface_finish(Surface);
        cairo_surface_destroy(Surface);
        Bytes = Out.size();
    }
    State.SetItemsProcessed(State.iterations() * Pages);
    State.counters["bytes"] = static_cast<double>(Bytes);
}
BENCHMARK(BM_CairoPages)->Unit(benchmark::kMillisecond);

/// The console report, keeping each run's pages per second for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Reports) override
    {
        for (const Run& R : Reports) {
            const auto It = R.counters.find("items_per_second");
            if (It != R.counters.end())
                Rates[R.benchmark_name()] = It->second;
        }
        ConsoleReporter::ReportRuns(Reports);
    }
    std::map<std::string, double> Rates;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    const auto Writer = Reporter.Rates.find("BM_WriterPages"), Cairo = Reporter.Rates.find("BM_CairoPages");
    if (Writer != Reporter.Rates.end() && Cairo != Reporter.Rates.end() && Cairo->second > 0)
        std::printf("pages per second: writer %.0f, cairo %.0f, ratio writer/cairo %.2f\n", Writer->second,
                    Cairo->second, Writer->second / Cairo->second);
    benchmark::Shutdown();
    return 0;
}
