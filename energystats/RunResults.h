//===- RunResults.h - What a Tessaly run has measured and how far it is plotted -*- C++ -*-===//
//
// The histogram and statistics taken at the run's end, the report's base name and the plotting
// marks of the energy graph. The form draws from them; it does not keep them itself.
//
#pragma once

#include "link/LinkRecords.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

class RunResults {
public:
    std::span<const int32_t, HistogramBins> Histogram() const { return histogram; }
    double Deviation() const { return deviation; }
    double MeanEnergy() const { return meanEnergy; }
    int32_t SelectedPulses() const { return selectedPulses; }
    const std::string& ReportBaseName() const { return reportBaseName; }
    const std::string& PaintStamp() const { return paintStamp; }
    int32_t LastPlotted() const { return lastPlotted; }

    /// The statistics and the report's name are forgotten (a run begins).
    void ClearStatistics();
    /// The energy graph was emptied: plotting starts again at the first sample.
    void EnergyGraphCleared() { lastPlotted = 0; }

    /// A notice of a run in progress: true when its interval went back (a new interval began),
    /// so the energy graph starts afresh.
    bool IntervalRestarted(int32_t Current);
    /// The samples of Samples not plotted yet, [First, End); empty when none are new. They count
    /// as plotted after the call.
    struct SampleRange {
        int32_t First = 0, End = 0;
        bool Empty() const { return First >= End; }
    };
    SampleRange TakeNewSamples(int32_t Samples);

    /// The run's end: the histogram (Bins null: none) and the statistics of the status; the
    /// report is named after the laser and the last paint.
    void TakeRunEnd(const LaserStatusCopy& S, const int32_t* Bins);
    /// The histogram graph was painted at this time stamp.
    void Painted(std::string Stamp) { paintStamp = std::move(Stamp); }

private:
    std::array<int32_t, HistogramBins> histogram {};
    double deviation = 0, meanEnergy = 0;
    int32_t selectedPulses = 0;
    int32_t lastPlotted = 0;
    int32_t lastInterval = 0;
    std::string reportBaseName, paintStamp;
};
