//===- TAxis.cpp - The axis' construction, published properties and setters ===//
#include "plot/TAxis.h"

#include "plot/TAppearance.h"
#include "plot/TPlotGraph.h"
#include "platform/ui/components/Published.h"

const PublishedClass& AxisClass = PublishClass<TAxis, TPersistent>("TAxis", [](Published<TAxis>& P) {
    P.String("Title", &TAxis::GetTitle, &TAxis::SetTitle);
    P.Int("LabelDecimals", &TAxis::GetLabelDecimals, &TAxis::SetLabelDecimals);
    P.Bool("AutoLabelDecimals", &TAxis::AutoLabelDecimals);
    P.Int("LogCycleDivisions", &TAxis::GetLogCycleDivisions, &TAxis::SetLogCycleDivisions);
    P.Bool("LogScale", &TAxis::GetLogScale, &TAxis::SetLogScale);
    P.Double("Max", &TAxis::GetMax, &TAxis::SetMax);
    P.Double("Min", &TAxis::GetMin, &TAxis::SetMin);
    P.Double("StepSize", &TAxis::GetStepSize, &TAxis::SetStepSize);
    P.Double("MinScaleLength", &TAxis::GetMinScaleLength, &TAxis::SetMinScaleLength);
    P.Bool("ShowAsTime", &TAxis::GetShowAsTime, &TAxis::SetShowAsTime);
    P.String("DateTimeFormat", &TAxis::GetDateTimeFormat, &TAxis::SetDateTimeFormat);
    P.Object("DateTimeAutoFormat", &TAxis::GetDateTimeAutoFormat);
    P.Bool("DateTimeAutomode", &TAxis::GetDateTimeAutomode, &TAxis::SetDateTimeAutomode);
    P.Enum("DateTickType", DateticksType, &TAxis::GetDateTickType, &TAxis::SetDateTickType);
    P.Bool("ShowAxis", &TAxis::GetShowAxis, &TAxis::SetShowAxis);
    P.Bool("Reversed", &TAxis::GetReversed, &TAxis::SetReversed);
    P.Enum("OffsetType", TAxisOffsetTypeType, &TAxis::GetOffsetType, &TAxis::SetOffsetType);
    P.Double("Offset", &TAxis::GetOffset, &TAxis::SetOffset);
    P.Bool("Gridlines", &TAxis::GetGridlines, &TAxis::SetGridlines);
    P.Bool("AutoSizing", &TAxis::GetAutoSizing, &TAxis::SetAutoSizing);
    P.Bool("AutoStepping", &TAxis::GetAutoStepping, &TAxis::SetAutoStepping);
});

TAxis::TAxis(TPlotGraph& Graph) : FGraph(Graph) { BuildLogTable(); }

TAxis::~TAxis() = default;

void TAxis::Repaint()
{
    if (FGraph.GetPlotting())
        FGraph.Paint();
}

uint16_t TAxis::MinSteps() const { return FGraph.GetAppearance()->GetMinSteps(); }

uint16_t TAxis::MaxSteps() const { return FGraph.GetAppearance()->GetMaxSteps(); }

bool TAxis::HasData() const { return FGraph.HasSeriesData(this); }

// --- Setters that always store and repaint

void TAxis::SetTitle(const std::string& Value)
{
    FTitle = Value;
    Repaint();
}

void TAxis::SetLabelDecimals(int32_t Value)
{
    FLabelDecimals = Value;
    Repaint();
}

void TAxis::SetLogCycleDivisions(uint16_t Value)
{
    FLogTicks.LogCycleDivisions = Value;
    BuildLogTable();
    Repaint();
}

void TAxis::SetLogScale(bool Value)
{
    FLogScale = Value;
    Repaint();
}

void TAxis::SetGridlines(bool Value)
{
    FGridlines = Value;
    Repaint();
}

void TAxis::SetAutoSizing(bool Value)
{
    FAutoSizing = Value;
    Repaint();
}

void TAxis::SetAutoStepping(bool Value)
{
    FAutoStepping = Value;
    Repaint();
}

void TAxis::SetDateTimeAutomode(bool Value)
{
    FDateTimeAutomode = Value;
    ApplyAutoFormat();
    Repaint();
}

// --- Setters that act on a change only

void TAxis::SetShowAxis(bool Value)
{
    if (Value == FShowAxis)
        return;
    FShowAxis = Value;
    Repaint();
}

void TAxis::SetReversed(bool Value)
{
    if (Value == FReversed)
        return;
    FReversed = Value;
    Repaint();
}

void TAxis::SetOffsetType(TAxisOffsetType Value)
{
    if (Value == FOffsetType)
        return;
    FOffsetType = Value;
    Repaint();
}

void TAxis::SetOffset(double Value)
{
    if (Value == FOffset)
        return;
    FOffset = Value;
    Repaint();
}

void TAxis::SetDateTimeFormat(const std::string& Value)
{
    if (Value == FDateTimeFormat)
        return;
    FDateTimeFormat = Value;
    ApplyAutoFormat();
    Repaint();
}

void TAxis::SetDateTickType(Dateticks Value)
{
    FUserDateTickType = Value;
    if (Value == FDateTickType)
        return;
    FDateTickType = Value;
    ApplyAutoFormat();
    Repaint();
}

// --- The range: a caller's range ends automatic sizing

void TAxis::SetMax(double Value)
{
    FAutoSizing = false;
    if (Value == FMax)
        return;
    FMax = Value;
    if (FShowAsTime && !HasData())
        DataMax = Value;
    FGraph.NotifyRescale();
    Repaint();
}

void TAxis::SetMin(double Value)
{
    FAutoSizing = false;
    if (Value == FMin)
        return;
    FMin = Value;
    if (FShowAsTime && !HasData())
        DataMin = Value;
    FGraph.NotifyRescale();
    Repaint();
}

void TAxis::SetStepSize(double Value)
{
    FAutoStepping = false;
    if (Value == FStepSize)
        return;
    FStepSize = Value;
    FGraph.NotifyRescale();
    Repaint();
}

void TAxis::SetMinScaleLength(double Value)
{
    const double Old = FMinScaleLength;
    FMinScaleLength = Value;
    if (FGraph.GetPlotting() && (Value > FMax - FMin || Old == FMax - FMin))
        FGraph.Paint();
}

void TAxis::SetShowAsTime(bool Value)
{
    if (Value == FShowAsTime)
        return;
    FShowAsTime = Value;
    if (Value && !HasData()) {
        DataMin = FMin;
        DataMax = FMax;
    }
    Repaint();
}

void TAxis::ApplyAutoFormat()
{
    if (!FDateTimeAutomode)
        return;
    // A tick type read from a stream may be no type at all; the format then stays.
    if (const std::string* Format = FDateTimeAutoFormat.ForTickType(FDateTickType))
        FDateTimeFormat = *Format;
}
