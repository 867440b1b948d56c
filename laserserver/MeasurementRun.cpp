//===- MeasurementRun.cpp - Pulse data and statistics of a measurement run ---===//
#include "laserserver/MeasurementRun.h"

#include <algorithm>
#include <cmath>

MeasurementRun::MeasurementRun(RunRegions Regions) : regions_(Regions) {}

void MeasurementRun::SetUp()
{
    state_ = State::Armed;
    current_ = 0;
    samples_ = 0;
    runningMean_ = 0;
    squares_ = 0;
    mean_ = 0;
    deviation_ = 0;
    selected_ = 0;
    std::fill(regions_.Histogram.begin(), regions_.Histogram.end(), 0);
}

void MeasurementRun::SetCount(int32_t Count)
{
    total_ = std::max<int32_t>(1, Count);
    // A count lowered below the pulses already taken ends the run with the next pulse.
}

void MeasurementRun::Abort()
{
    if (Armed())
        state_ = State::Idle;
}

bool MeasurementRun::AddPulse(float Energy, double Time)
{
    if (!Armed())
        return false;
    state_ = State::Running;
    if (size_t(samples_) < regions_.Energy.size() && size_t(samples_) < regions_.Abscissa.size()) {
        regions_.Energy[size_t(samples_)] = Energy;
        regions_.Abscissa[size_t(samples_)] = Time;
        ++samples_;
    }
    ++current_;
    double delta = Energy - runningMean_;
    runningMean_ += delta / current_;
    squares_ += delta * (Energy - runningMean_);
    // One bin per whole unit of energy; the outermost bins take what lies beyond them.
    if (!regions_.Histogram.empty()) {
        long bin = std::lround(std::clamp<double>(Energy, 0, double(regions_.Histogram.size() - 1)));
        ++regions_.Histogram[size_t(bin)];
    }
    if (current_ < total_)
        return false;
    finish();
    return true;
}

void MeasurementRun::finish()
{
    state_ = State::Finished;
    selected_ = current_;
    mean_ = float(runningMean_);
    double sd = current_ > 1 ? std::sqrt(squares_ / (current_ - 1)) : 0.0;
    deviation_ = runningMean_ != 0 ? float(100.0 * sd / runningMean_) : 0.0f;
}
