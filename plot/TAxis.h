//===- TAxis.h - One axis of a graph: its range, ticks, labels and pixel scale -*- C++ -*-===//
//
// An axis turns the data range its graph hands it (DataMin, DataMax) into a displayed range,
// a tick step, tick positions, label decimals and pixels per unit. Its setters are for callers:
// they switch automatic sizing off and repaint the graph; the graph's own code assigns fields.
//
#pragma once

#include "plot/TDateTimeFormat.h"

#include "platform/ui/components/TComponent.h"
#include "platform/ui/components/TypeInfo.h"

#include <cstdint>
#include <string>

class TPlotGraph;
class TPlotReader;
class TPlotWriter;

enum class TAxisOffsetType { ao_Minimum, ao_Maximum, ao_percentage, ao_absolute };
using enum TAxisOffsetType;
inline constexpr EnumIdent TAxisOffsetTypeIdents[] = {
    { "ao_Minimum", ao_Minimum },
    { "ao_Maximum", ao_Maximum },
    { "ao_percentage", ao_percentage },
    { "ao_absolute", ao_absolute },
};
inline constexpr TEnumType<TAxisOffsetType> TAxisOffsetTypeType { "TAxisOffsetType", TAxisOffsetTypeIdents };

/// The logarithmic division block. The tick walk scales and moves a copy of it, so the axis
/// itself stays unchanged while it is walked.
struct TLogTicks {
    /// One decade: entry 0 is 1, entries 1..n the divisions, entry n + 1 is 10.
    double LogDivisionValues[11] = {};
    uint16_t LogCycleDivisions = 0;
    uint16_t TickIndex = 0;
    /// A log axis spanning less than a factor 4 is scaled and ticked linearly.
    bool LogLinearSteps = false;
    bool LabelAllLogTicks = false;
};

class TAxis : public TPersistent {
public:
    explicit TAxis(TPlotGraph& Graph);
    ~TAxis() override;
    TAxis(const TAxis&) = delete;
    TAxis& operator=(const TAxis&) = delete;

    // --- Published properties (each setter's rule beside it in TAxis.cpp)
    const std::string& GetTitle() const { return FTitle; }
    void SetTitle(const std::string& Value);
    int32_t GetLabelDecimals() const { return FLabelDecimals; }
    void SetLabelDecimals(int32_t Value);
    /// Plain field: UpdateLabelDecimals recomputes LabelDecimals from the step when it is set.
    bool AutoLabelDecimals = false;
    uint16_t GetLogCycleDivisions() const { return FLogTicks.LogCycleDivisions; }
    void SetLogCycleDivisions(uint16_t Value);
    bool GetLogScale() const { return FLogScale; }
    void SetLogScale(bool Value);
    double GetMax() const { return FMax; }
    void SetMax(double Value);
    double GetMin() const { return FMin; }
    void SetMin(double Value);
    double GetStepSize() const { return FStepSize; }
    void SetStepSize(double Value);
    double GetMinScaleLength() const { return FMinScaleLength; }
    void SetMinScaleLength(double Value);
    bool GetShowAsTime() const { return FShowAsTime; }
    void SetShowAsTime(bool Value);
    const std::string& GetDateTimeFormat() const { return FDateTimeFormat; }
    void SetDateTimeFormat(const std::string& Value);
    TDateTimeFormat& GetDateTimeAutoFormat() { return FDateTimeAutoFormat; }
    bool GetDateTimeAutomode() const { return FDateTimeAutomode; }
    void SetDateTimeAutomode(bool Value);
    Dateticks GetDateTickType() const { return FDateTickType; }
    void SetDateTickType(Dateticks Value);
    bool GetShowAxis() const { return FShowAxis; }
    void SetShowAxis(bool Value);
    bool GetReversed() const { return FReversed; }
    void SetReversed(bool Value);
    TAxisOffsetType GetOffsetType() const { return FOffsetType; }
    void SetOffsetType(TAxisOffsetType Value);
    double GetOffset() const { return FOffset; }
    void SetOffset(double Value);
    bool GetGridlines() const { return FGridlines; }
    void SetGridlines(bool Value);
    bool GetAutoSizing() const { return FAutoSizing; }
    void SetAutoSizing(bool Value);
    bool GetAutoStepping() const { return FAutoStepping; }
    void SetAutoStepping(bool Value);

    // --- Scale state
    /// The data range automatic scaling starts from; the graph fills it before scaling.
    double DataMin = 0, DataMax = 0;
    bool GetRangeValid() const { return FRangeValid; }
    /// Pixels per axis unit (per unit of natural logarithm on a log axis).
    double GetPixelsPerUnit() const { return FPixelsPerUnit; }
    /// The block a tick walk copies before it asks for the first tick.
    const TLogTicks& GetLogTicks() const { return FLogTicks; }
    Dateticks GetUserDateTickType() const { return FUserDateTickType; }
    bool IsSecondAxis() const { return FSecondAxis; }
    TPlotGraph& GetGraph() const { return FGraph; }

    // --- Scaling
    /// The automatic range; true when Min or Max differ from the data range afterwards.
    bool AutoScale();
    /// The range when no series with points uses the axis.
    bool ScaleWithoutData();
    void BuildLogTable();
    void ChooseLogDivisions();
    void UpdateLogLabelling();
    void LogAutoRange();
    void DateAutoRange();
    /// Min < Max, and Min > 0 on a log axis, and Min >= 1 on a time axis (all finite).
    bool CheckRange();
    /// With DateTimeAutomode, DateTimeFormat becomes the format of the current tick type.
    void ApplyAutoFormat();

    // --- The tick walk: FirstTick, then NextTick until the value passes the end of the axis.
    // A walk that could not advance answers +infinity, so every walk ends.
    double FirstTick(TLogTicks& Copy);
    double NextTick(TLogTicks& Copy, double Value, bool& Labelled);
    double FirstDateTick();
    double NextDateTick(double Value);

    // --- Label decimals
    void UpdateLabelDecimals();
    void LogLabelDecimals(double V);

    // --- The "Axis" section of the graph stream
    void WriteSection(TPlotWriter& Writer) const;
    void ReadSection(TPlotReader& Reader);

private:
    friend class TPlotGraph;
    friend class TSeries;
    friend void SetMinMax(TAxis& Axis);
    friend void CalcMetrics(TAxis& Axis);

    void Repaint();
    uint16_t MinSteps() const;
    uint16_t MaxSteps() const;
    bool HasData() const;
    void DecadeOfMin(double& LowDecade, double& LowMantissa) const;
    void DecadeOfMax(double& HighDecade, double& HighMantissa) const;
    double LinearFirstTick();
    double LogFirstTick(TLogTicks& Copy);

    TPlotGraph& FGraph;
    bool FSecondAxis = false;
    bool FRangeValid = false;
    double FPixelsPerUnit = 0;
    double FMin = 0, FMax = 1, FStepSize = 0.2;
    bool FAutoSizing = false, FAutoStepping = false, FLogScale = false;
    TLogTicks FLogTicks;
    std::string FTitle;
    int32_t FLabelDecimals = 1;
    double FMinScaleLength = 0, FOffset = 0;
    bool FShowAsTime = false, FShowAxis = true, FReversed = false, FGridlines = true;
    std::string FDateTimeFormat;
    TDateTimeFormat FDateTimeAutoFormat;
    bool FDateTimeAutomode = false;
    Dateticks FDateTickType = dt_second;
    Dateticks FUserDateTickType = dt_second;
    TAxisOffsetType FOffsetType = ao_Minimum;
};

/// The linear range and step from DataMin and DataMax, with the graph's MinSteps and MaxSteps.
/// Raises "Impossible: oMin > oMax in SetMinMax!" and "SetMinMax failed".
void SetMinMax(TAxis& Axis);
/// PixelsPerUnit from the graph's plot size and margins. Raises the axis Title followed by
/// "CalcMetrics: XMin>=XMax" unless Min < Max.
void CalcMetrics(TAxis& Axis);
