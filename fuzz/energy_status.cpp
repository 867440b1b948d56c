//===- energy_status.cpp - Fuzzes Tessaly's reading of the status copy and the histogram ===//
//
// The status and the histogram bins come from the laser server, another process; Tessaly must
// read any bytes there without stopping. The input is the copy's bytes (zero-filled when short),
// one byte of the run's flags, then the 256 bins and the three limit lines.
//
#include "energystats/EnergyRules.h"
#include "link/LinkRecords.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    LaserStatusCopy S {};
    std::memcpy(&S, Data, Size < sizeof S ? Size : sizeof S);
    size_t at = sizeof S;
    const uint8_t flagBits = Size > at ? Data[at] : 0;
    ++at;
    std::array<int32_t, HistogramBins> bins {};
    if (Size > at)
        std::memcpy(bins.data(), Data + at, std::min(Size - at, sizeof bins));
    at += sizeof bins;
    int16_t lines[3] = { 60, 85, 100 };
    if (Size > at)
        std::memcpy(lines, Data + at, std::min(Size - at, sizeof lines));

    const RunFlags flags { bool(flagBits & 1), bool(flagBits & 2), bool(flagBits & 4) };
    StatusFieldText(S.laserType);
    ComPortText(S.comPort);
    ChooseTessalyButtons(S, flags);
    ChooseBlink1(S, flags, flagBits & 8, flagBits & 16, " " + StatusFieldText(S.laserType));
    WarningTextHidden(S, flags, flagBits & 16);
    IntervalText(S);
    const int32_t samples = UsableSamples(S);
    if (samples < 0 || samples > EnergyCapacity)
        __builtin_trap();
    DeviationText(S.deviation, S.meanEnergy);

    const int lo = std::min<int>({ lines[0], lines[1], lines[2] }) - 10;
    const int hi = std::max<int>({ lines[0], lines[1], lines[2] }) + 10;
    const HistogramWindow window = ChooseHistogramWindow(bins, lo, hi);
    for (const HistogramPoint& p : HistogramPoints(bins, window))
        if (p.x < 1 || p.x > HistogramBins - 1)
            __builtin_trap();
    return 0;
}
