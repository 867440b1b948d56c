//===- EnergyRules.h - What Tessaly shows and sends for a status, without any control -*- C++ -*-===//
//
// The main form's decisions as plain functions of the status copy, the settings and the flags
// of the run, so that they can be read and checked apart from the controls. TForm_main applies
// their answers.
//
#pragma once

#include "link/LinkRecords.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

/// The oldest server the program works with: servers report their version as a letter.
constexpr uint8_t TessalyMinimumServerLevel = 'X';

/// The text of a fixed-size status field: up to its terminator, never past the field.
std::string StatusFieldText(const char* Field, size_t Size);
template <size_t N>
std::string StatusFieldText(const char (&Field)[N])
{
    return StatusFieldText(Field, N);
}

/// The value in fixed notation with Decimals decimals (precision 15), the system's separator.
std::string FormatFixed(uint8_t Decimals, float Value);

/// The port label: "COM" and the port's digit; ports above 9 by their decimal number.
std::string ComPortText(uint8_t Port);

/// The flags of a run that the buttons and labels read besides the status.
struct RunFlags {
    bool starting = false;
    bool running = false;
    bool dataReady = false;
};

/// What Sgetstatus sets.
struct TessalyButtons {
    std::string startCaption; // "Stop" while running, else "Start"
    bool start = false;
    bool report = false; // Save, Print and Copy
    bool setup = false;  // Printer
};
TessalyButtons ChooseTessalyButtons(const LaserStatusCopy& S, const RunFlags& Flags);

/// Blink phase 1: the state label's text ("" leaves it as it is) and whether the stop warning
/// shows (the laser stopped firing during a run).
struct BlinkChoice {
    std::string label;
    bool warning = false;
};
BlinkChoice ChooseBlink1(const LaserStatusCopy& S, const RunFlags& Flags, bool NoConnection, bool Lit,
                         const std::string& LaserTypeText);
/// Blink phase 2: whether the warning's text is hidden.
bool WarningTextHidden(const LaserStatusCopy& S, const RunFlags& Flags, bool Lit);

/// "interval = <current> / <total>".
std::string IntervalText(const LaserStatusCopy& S);

/// The samples a notice's arrays hold: the copy's count within 0 and the arrays' capacity.
int32_t UsableSamples(const LaserStatusCopy& S);

/// The bins of the histogram window, [first, last]; lo and hi are the limit lines' span with
/// ten units either side. Bin 255 is never looked at.
struct HistogramWindow {
    int first = 0, last = 0;
};
HistogramWindow ChooseHistogramWindow(std::span<const int32_t, HistogramBins> Bins, int Lo, int Hi);

/// The points the histogram plot gets: every bin of the window that the histogram holds, bin 0
/// left out.
struct HistogramPoint {
    double x = 0, y = 0;
};
std::vector<HistogramPoint> HistogramPoints(std::span<const int32_t, HistogramBins> Bins, HistogramWindow Window);

/// The deviation and mean label: "dev = 2.5 %   mean = 84.37 µJ".
std::string DeviationText(double Deviation, double MeanEnergy);
/// year_month_day_hour_minute_second, without leading zeros.
std::string PaintStamp(uint16_t Year, uint16_t Month, uint16_t Day, uint16_t Hour, uint16_t Minute, uint16_t Second);
