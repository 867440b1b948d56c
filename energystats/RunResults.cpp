//===- RunResults.cpp - What a Tessaly run has measured and how far it is plotted ---===//
#include "energystats/RunResults.h"

#include <cstring>

void RunResults::ClearStatistics()
{
    deviation = meanEnergy = 0;
    selectedPulses = 0;
    reportBaseName.clear();
    paintStamp.clear();
}

bool RunResults::IntervalRestarted(int32_t Current)
{
    const bool restarted = lastInterval > Current;
    lastInterval = Current;
    return restarted;
}

RunResults::SampleRange RunResults::TakeNewSamples(int32_t Samples)
{
    // The last sample plotted is plotted again with the next ones: the line joins up.
    if (lastPlotted >= Samples - 1)
        return {};
    const SampleRange range { lastPlotted, Samples };
    lastPlotted = Samples - 1;
    return range;
}

void RunResults::TakeRunEnd(const LaserStatusCopy& S, const int32_t* Bins)
{
    if (Bins)
        std::memcpy(histogram.data(), Bins, sizeof histogram);
    else
        histogram.fill(0);
    reportBaseName = "Energy_" + std::to_string(S.serialNumber) + "_" + paintStamp;
    deviation = S.deviation;
    meanEnergy = S.meanEnergy;
    selectedPulses = S.selected;
}
