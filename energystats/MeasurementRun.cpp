//===- MeasurementRun.cpp - Tessaly's main form: Start, the waits, the plots of a run ---===//
#include "energystats/TForm_main.h"

#include "energystats/TessalyTexts.h"
#include "plot/TAxis.h"
#include "plot/TGenericAnnotation.h"
#include "plot/TPlotGraph.h"
#include "plot/TSeries.h"

#include "platform/kernel/Clock.h"
#include "platform/ui/forms/TApplication.h"
#include "platform/user/Dialogs.h"
#include "platform/user/Messages.h"
#include "platform/ui/controls/StdCtrls.h"

#include <algorithm>

namespace {

constexpr TColor LineColor = 0xFF0000;
constexpr uint32_t WakeUpMs = 20;

struct MarkLook {
    int32_t id;
    TColor color;
    uint8_t position;
};
// Mark 1 yellow, 2 red, 3 green; their caption positions.
constexpr MarkLook Marks[] = { { 1, 0x00FFFF, 1 }, { 2, 0x0000FF, 3 }, { 3, 0x008000, 3 } };

/// A fresh series 1 in the line colour; freeing the old one takes it out of the graph.
TSeries* renewSeries(TPlotGraph& Graph)
{
    delete Graph.GetSeries(1);
    TSeries* series = Graph.GetSeries(1);
    if (series)
        series->SetLineColor(LineColor);
    return series;
}

} // namespace

// --- Waiting for the laser

TForm_main::WaitEnd TForm_main::waitFor(const std::function<bool()>& Done, bool Closable)
{
    const uint32_t begin = timeGetTime();
    // HandleMessage sleeps on an empty queue; the timer wakes it so the clock is looked at.
    const uintptr_t timer = SetTimer(0, 0, WakeUpMs);
    WaitEnd end = WaitEnd::TimedOut;
    for (;;) {
        Application->HandleMessage();
        if (Done()) {
            end = WaitEnd::Done;
            break;
        }
        if (Closable && run.Closing()) {
            end = WaitEnd::Closing;
            break;
        }
        if (timeGetTime() - begin > LaserWaitMs)
            break;
    }
    KillTimer(0, timer);
    return end;
}

void TForm_main::btn_startClick(TObject*)
{
    // A click that arrives while Start waits (the loop runs) must not start a second run.
    if (!run.BeginStart())
        return;
    // A run that ended during the start is over, not running.
    if (run.EndStart(startRun()))
        CheckStopping();
    Sgetstatus();
    if (run.TakeHeldClose())
        Close();
}

bool TForm_main::startRun()
{
    if (!(link.Status().stateFlags & sf_ready))
        return false;
    if (run.Unsaved() && Application->MessageBox(SStartUnsaved, SAttention, MB_YESNO) != IDYES)
        return false;
    if (run.StopByOperator()) {
        lascommand(cmd_laseroff, 0);
        return false;
    }
    // Right after a run the copy can still show the laser on: laser off went out at the run's
    // end, and the server may not have taken it in. Acting on that copy would skip laser on and
    // then fire into a laser that has gone off; Start waits till the laser off has shown.
    if (run.LaserOffPending() && (link.Status().stateFlags & sf_highvoltage)) {
        const WaitEnd end = waitFor([this] { return !run.LaserOffPending(); }, true);
        if (end == WaitEnd::Closing)
            return false;
        if (end == WaitEnd::TimedOut) {
            Application->MessageBox(SCannotStopLaser, SError, MB_OK);
            return false;
        }
    }
    if (link.Status().stateFlags & sf_firing) {
        lascommand(cmd_triggeroff, 0);
        const WaitEnd end = waitFor([this] { return !(link.Status().stateFlags & sf_firing); }, true);
        if (end == WaitEnd::Closing)
            return false;
        if (end == WaitEnd::TimedOut) {
            Application->MessageBox(SCannotStopLaser, SError, MB_OK);
            return false;
        }
    }
    if (!(link.Status().stateFlags & sf_highvoltage)) {
        lascommand(cmd_laseron, 0);
        run.LaserStarting();
        Sgetstatus();
        const WaitEnd end = waitFor([this] { return (link.Status().stateFlags & sf_highvoltage) != 0; }, true);
        if (end != WaitEnd::Done) {
            run.StartFailed();
            if (end == WaitEnd::TimedOut)
                Application->MessageBox(SCannotStartLaser, SError, MB_OK);
            return false;
        }
    }
    lascommand(cmd_runsetup1, 0);
    lascommand(cmd_runsetup2, 0);
    ClearEnergyGraph();
    lascommand(cmd_shutterclose, 0);
    lascommand(cmd_runcount, uint32_t(settings.Count));
    lascommand(cmd_reprate, uint32_t(settings.Freq) & 0xFFFF);
    lascommand(cmd_hvset, uint32_t(settings.hv) & 0xFFFF);
    lascommand(cmd_repetition, 0);
    ClearStatistics();
    PlotGraph1->SetPlotting(false);
    renewSeries(*PlotGraph1);
    PlotGraph1->SetPlotting(true);

    // A run so short that its end came during the wait has fired: that ends the wait too.
    const WaitEnd end = waitFor([this] { return (link.Status().stateFlags & sf_firing) || run.RunEndSeen(); }, true);
    if (end != WaitEnd::Done) {
        run.StartFailed();
        if (end == WaitEnd::TimedOut)
            Application->MessageBox(SCannotStartLaser, SError, MB_OK);
        return false;
    }
    run.RunStarted();
    return true;
}

void TForm_main::CheckStopping()
{
    if (run.CheckStopping())
        lascommand(cmd_laseroff, 0);
}

void TForm_main::ClearEnergyGraph()
{
    PlotGraph2->SetPlotting(false);
    renewSeries(*PlotGraph2);
    PlotGraph2->SetPlotting(true);
    results.EnergyGraphCleared();
}

void TForm_main::ClearStatistics() { results.ClearStatistics(); }

void TForm_main::setMarks(TPlotGraph& Graph, bool Horizontal)
{
    const int32_t values[] = { settings.YellowLine, settings.RedLine, settings.GreenLine };
    for (size_t i = 0; i < std::size(Marks); ++i) {
        // A graph read from elsewhere may lack a mark: it is left out.
        auto* mark = dynamic_cast<TMark*>(Graph.FindAnnotation(Marks[i].id));
        if (!mark)
            continue;
        mark->SetColor(Marks[i].color);
        mark->SetX1(values[i]);
        mark->SetY1(Horizontal ? values[i] : 0);
        mark->SetX2(0);
        mark->SetY2(0);
        mark->SetMarkType(Horizontal ? 1 : 0);
        mark->SetMarkPosition(Marks[i].position);
    }
}

void TForm_main::ShowActualValues()
{
    interval1->SetCaption(IntervalText(link.Status()));
    if (run.Running() && results.IntervalRestarted(link.Status().intervalCurrent))
        ClearEnergyGraph();
    const int32_t samples = UsableSamples(link.Status());
    PlotGraph2->SetPlotting(false);
    const auto* energies = reinterpret_cast<const float*>(uintptr_t(link.Status().energyPtr));
    const auto* times = reinterpret_cast<const double*>(uintptr_t(link.Status().abscissaPtr));
    if (energies && times)
        if (const RunResults::SampleRange range = results.TakeNewSamples(samples); !range.Empty())
            if (TSeries* series = PlotGraph2->GetSeries(1)) {
                series->SetDrawPoints(false);
                for (int32_t i = range.First; i < range.End; ++i)
                    series->AddPoint(times[i], energies[i]);
            }
    setMarks(*PlotGraph2, true);
    PlotGraph2->GetYAxis()->SetMax(180);
    PlotGraph2->GetYAxis()->SetMin(0);
    PlotGraph2->SetPlotting(true);
    if (PlotGraph2->GetYAxis()->GetMax() < 120)
        PlotGraph2->GetYAxis()->SetMax(120);
}

void TForm_main::PaintSD()
{
    CheckStopping();
    run.ResultsShown();
    results.TakeRunEnd(link.Status(), reinterpret_cast<const int32_t*>(uintptr_t(link.Status().histogramPtr)));
    const int lo = std::min({ settings.RedLine, settings.YellowLine, settings.GreenLine }) - 10;
    const int hi = std::max({ settings.RedLine, settings.YellowLine, settings.GreenLine }) + 10;
    PlotGraph1->SetPlotting(false);
    TSeries* series = renewSeries(*PlotGraph1);
    ShowActualValues();
    const HistogramWindow window = ChooseHistogramWindow(results.Histogram(), lo, hi);
    if (series) {
        for (const HistogramPoint& p : HistogramPoints(results.Histogram(), window))
            series->AddPoint(p.x, p.y);
        series->SetDrawPoints(false);
        series->DeletePointsAt(0);
    }
    setMarks(*PlotGraph1, false);
    PlotGraph1->SetPlotting(true);
    Sgetstatus();
}

void TForm_main::PlotGraph1PaintEnd(TObject*, TCanvas*)
{
    const SYSTEMTIME now = GetLocalTime();
    results.Painted(PaintStamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond));
    lab_dev->SetCaption(DeviationText(results.Deviation(), results.MeanEnergy()));
    lab_dev->SetVisible(true);
}
