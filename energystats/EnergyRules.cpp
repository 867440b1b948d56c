//===- EnergyRules.cpp - What Tessaly shows and sends for a status, without any control ---===//
#include "energystats/EnergyRules.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>

std::string StatusFieldText(const char* Field, size_t Size) { return std::string(Field, strnlen(Field, Size)); }

std::string FormatFixed(uint8_t Decimals, float Value)
{
    return FloatToStrF(double(Value), TFloatFormat::ffFixed, 15, Decimals);
}

std::string ComPortText(uint8_t Port)
{
    // One character past '9' would show ':' and the rest of the code page.
    if (Port > 9)
        return "COM" + std::to_string(Port);
    return std::string("COM") + char('0' + Port);
}

TessalyButtons ChooseTessalyButtons(const LaserStatusCopy& S, const RunFlags& Flags)
{
    const bool busy = Flags.starting || !(S.stateFlags & sf_ready);
    TessalyButtons b;
    b.startCaption = Flags.running ? "Stop" : "Start";
    b.start = !busy;
    b.report = Flags.dataReady && !busy && !Flags.running;
    b.setup = !busy && !Flags.running;
    return b;
}

BlinkChoice ChooseBlink1(const LaserStatusCopy& S, const RunFlags& Flags, bool NoConnection, bool Lit,
                         const std::string& LaserTypeText)
{
    BlinkChoice c;
    if (!NoConnection) {
        if (Lit)
            c.label = LaserTypeText;
        else if (Flags.starting)
            c.label = "starting laser";
        else if (Flags.running)
            c.label = "Evaluation is running";
    }
    c.warning = Flags.running && !(S.stateFlags & sf_firing);
    return c;
}

bool WarningTextHidden(const LaserStatusCopy& S, const RunFlags& Flags, bool Lit)
{
    return Flags.running && !(S.stateFlags & sf_firing) && Lit;
}

std::string IntervalText(const LaserStatusCopy& S)
{
    return "interval = " + std::to_string(S.intervalCurrent) + " / " + std::to_string(S.intervalTotal);
}

int32_t UsableSamples(const LaserStatusCopy& S)
{
    const int32_t samples = S.samples; // a packed field: no reference to it
    return std::clamp<int32_t>(samples, 0, EnergyCapacity);
}

HistogramWindow ChooseHistogramWindow(std::span<const int32_t, HistogramBins> Bins, int Lo, int Hi)
{
    HistogramWindow w;
    int first = -1;
    for (int b = 0; b <= 254 && first < 0; ++b)
        if (Bins[size_t(b)] != 0)
            first = b;
    if (first < 0) {
        w.first = 0;
        w.last = 251;
    } else {
        int last = 0;
        for (int b = 250; b >= 1; --b)
            if (Bins[size_t(b)] != 0) {
                last = b;
                break;
            }
        w.first = std::max(first - 10, 1);
        w.last = std::min(last + 10, 254);
    }
    w.first = std::min(w.first, Lo);
    w.last = std::max(w.last, Hi);
    return w;
}

std::vector<HistogramPoint> HistogramPoints(std::span<const int32_t, HistogramBins> Bins, HistogramWindow Window)
{
    // Limit lines below 10 or above 245 widen the window past the histogram; only its bins count.
    std::vector<HistogramPoint> points;
    for (int b = std::max(Window.first, 1); b <= std::min(Window.last, HistogramBins - 1); ++b)
        points.push_back({ double(b), double(Bins[size_t(b)]) });
    return points;
}

std::string DeviationText(double Deviation, double MeanEnergy)
{
    return "dev = " + FormatFixed(1, float(Deviation)) + " %" + "   mean = " + FormatFixed(2, float(MeanEnergy))
           + " \xB5J";
}

std::string PaintStamp(uint16_t Year, uint16_t Month, uint16_t Day, uint16_t Hour, uint16_t Minute, uint16_t Second)
{
    return std::to_string(Year) + "_" + std::to_string(Month) + "_" + std::to_string(Day) + "_" + std::to_string(Hour)
           + "_" + std::to_string(Minute) + "_" + std::to_string(Second);
}
