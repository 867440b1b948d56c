//===- MeasurementRun.h - Pulse data and statistics of a measurement run -*- C++ -*-===//
//
// A measurement run records the energy and time of every pulse into the data regions that the
// energy statistics program reads, counts the pulses into a histogram of 256 one-unit bins and
// ends with the mean energy and the relative standard deviation once its count is reached.
//
#pragma once

#include <cstdint>
#include <span>

/// Where a run writes its pulses: in the server these are the shared block's regions.
struct RunRegions {
    std::span<float> Energy;      // one value per pulse
    std::span<double> Abscissa;   // pulse times, day numbers with fraction
    std::span<int32_t> Histogram; // 256 bins
};

class MeasurementRun {
public:
    explicit MeasurementRun(RunRegions Regions);

    // Set-up
    /// Arms a new run: clears the counters, the statistics and the histogram; the next pulse
    /// is the run's first.
    void SetUp();
    /// Pulses of the run; at least 1. Applies to the armed or running run and to later ones.
    void SetCount(int32_t Count);
    /// Drops an armed or running run; its data stay where they are.
    void Abort();

    // Pulses
    bool Armed() const { return state_ == State::Armed || state_ == State::Running; }
    /// Records one pulse of an armed run; answers true when this pulse completes the run
    /// (the statistics are then final).
    bool AddPulse(float Energy, double Time);

    // Results
    int32_t Total() const { return total_; }
    int32_t Current() const { return current_; }
    /// Pulses stored in the regions: the run's pulses up to the regions' capacity.
    int32_t Samples() const { return samples_; }
    float Mean() const { return mean_; }
    float Deviation() const { return deviation_; }
    int32_t Selected() const { return selected_; }
    bool Finished() const { return state_ == State::Finished; }

private:
    enum class State { Idle, Armed, Running, Finished };
    void finish();

    RunRegions regions_;
    State state_ = State::Idle;
    int32_t total_ = 6000;
    int32_t current_ = 0;
    int32_t samples_ = 0;
    // Running sums (Welford), so the statistics cover every pulse, stored or not.
    double runningMean_ = 0;
    double squares_ = 0;
    float mean_ = 0;
    float deviation_ = 0;
    int32_t selected_ = 0;
};
