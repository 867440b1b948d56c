//===- AxisSection.cpp - The "Axis" section of the graph stream ===//
#include "plot/TAxis.h"

#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"

void TAxis::WriteSection(TPlotWriter& W) const
{
    W.WriteSectionHeader("Axis");
    W.WriteTaggedString(1, "AxisTitle", FTitle);
    W.WriteTaggedInteger(2, "NumberOfDecimals", FLabelDecimals);
    W.WriteTaggedBoolean(3, "AdjustDecPlaces", AutoLabelDecimals);
    W.WriteTaggedInteger(4, "LogDivisions", FLogTicks.LogCycleDivisions);
    W.WriteTaggedBoolean(5, "useLogScale", FLogScale);
    W.WriteTaggedReal(6, "Max", FMax);
    W.WriteTaggedReal(7, "Min", FMin);
    W.WriteTaggedReal(8, "TickSpace", FStepSize);
    W.WriteTaggedReal(9, "MinimumScale", FMinScaleLength);
    W.WriteTaggedBoolean(10, "ShowAsTime", FShowAsTime);
    W.WriteTaggedString(11, "TimeFormat", FDateTimeFormat);
    W.WriteTaggedInteger(12, "TimeTickMode", static_cast<int32_t>(FDateTickType));
    W.WriteTaggedBoolean(13, "AxisVisible", FShowAxis);
    W.WriteTaggedBoolean(14, "FlipAxis", FReversed);
    W.WriteTaggedInteger(15, "OffsetMode", static_cast<int32_t>(FOffsetType));
    W.WriteTaggedReal(16, "OffSetValue", FOffset);
    W.WriteTaggedBoolean(17, "ShowGridlines", FGridlines);
    // Written last: reading Max, Min and TickSpace through their setters switches both off.
    W.WriteTaggedBoolean(18, "AllowAutoSize", FAutoSizing);
    W.WriteTaggedBoolean(19, "AllowTickRescale", FAutoStepping);
    W.WriteSectionEnd();
}

void TAxis::ReadSection(TPlotReader& R)
{
    for (int Index = R.ReadTag(); Index != 0; Index = R.ReadTag()) {
        switch (Index) {
        case 1: SetTitle(R.ReadAsString()); break;
        case 2: SetLabelDecimals(R.ReadAsInteger()); break;
        case 3: AutoLabelDecimals = R.ReadAsBoolean(); break;
        case 4: SetLogCycleDivisions(static_cast<uint16_t>(R.ReadAsInteger())); break;
        case 5: SetLogScale(R.ReadAsBoolean()); break;
        case 6: SetMax(R.ReadAsReal()); break;
        case 7: SetMin(R.ReadAsReal()); break;
        case 8: SetStepSize(R.ReadAsReal()); break;
        case 9: SetMinScaleLength(R.ReadAsReal()); break;
        case 10: SetShowAsTime(R.ReadAsBoolean()); break;
        case 11: SetDateTimeFormat(R.ReadAsString()); break;
        case 12: SetDateTickType(static_cast<Dateticks>(R.ReadAsInteger())); break;
        case 13: SetShowAxis(R.ReadAsBoolean()); break;
        case 14: SetReversed(R.ReadAsBoolean()); break;
        case 15: SetOffsetType(static_cast<TAxisOffsetType>(R.ReadAsInteger())); break;
        case 16: SetOffset(R.ReadAsReal()); break;
        case 17: SetGridlines(R.ReadAsBoolean()); break;
        case 18: SetAutoSizing(R.ReadAsBoolean()); break;
        case 19: SetAutoStepping(R.ReadAsBoolean()); break;
        default: R.Skip(); break;
        }
    }
}
