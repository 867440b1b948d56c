//===- TSeries.cpp - A plotted series: defaults, setters, the redraw decision, its section ===//
#include "plot/TSeries.h"

#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TPlotGraph.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"

namespace {

struct SeriesLook {
    TColor Color;
    uint8_t Shape, LineStyle;
};

// Series 1 to 5; any other number is green circles with a solid line.
constexpr SeriesLook Looks[] = {
    { 0x008000, 0, 0 }, { 0xFF0000, 1, 1 }, { 0x0000FF, 2, 2 }, { 0x808080, 3, 3 }, { 0x000080, 0, 4 },
};

} // namespace

TPenStyle PenStyleOf(uint8_t Style) { return Style <= uint8_t(psInsideFrame) ? TPenStyle(Style) : psSolid; }

TSeries::TSeries(TPlotGraph& Graph, int32_t Number) : FGraph(Graph), FSeriesNumber(Number)
{
    SetAxis(Graph.GetYAxis());
    SeriesName = "Series " + std::to_string(Number);
    SetDuplicatesAllowed(Graph.GetAppearance()->GetAllowDuplicates());
    const bool Known = Number >= 1 && Number <= 5;
    const SeriesLook Look = Known ? Looks[Number - 1] : SeriesLook { 0x008000, 1, 0 };
    FPointColor = FLineColor = Look.Color;
    FPointShape = Look.Shape;
    FLineStyle = Look.LineStyle;
    FFillPoints = Number < 5;
}

TSeries::~TSeries()
{
    // The series itself leaves the list: a second series of the same number must stay linked.
    TSeries** Link = &FGraph.FFirstSeries;
    while (*Link && *Link != this)
        Link = &(*Link)->next;
    if (*Link)
        *Link = next;
    next = nullptr;
    if (FGraph.OnDeleteSeries)
        FGraph.OnDeleteSeries(this, FSeriesNumber);
    for (TAxis* A : { FGraph.GetXAxis(), FGraph.GetYAxis(), FGraph.GetYAxis_Second() })
        if (A->GetAutoSizing())
            A->FDateTickType = A->GetUserDateTickType();
    FGraph.ResetDateTicks();
}

// --- Setters

template <class V>
void TSeries::Store(V& Field, V Value)
{
    if (Value == Field)
        return;
    Field = Value;
    Changed(ccDrawingChanged);
}

void TSeries::SetAxis(TAxis* Value) { Store(FAxis, Value); }
void TSeries::SetActive(bool Value) { Store(FActive, Value); }
void TSeries::SetDrawLine(bool Value) { Store(FDrawLine, Value); }
void TSeries::SetDrawPoints(bool Value) { Store(FDrawPoints, Value); }
void TSeries::SetFillPoints(bool Value) { Store(FFillPoints, Value); }
void TSeries::SetLineColor(TColor Value) { Store(FLineColor, Value); }
void TSeries::SetPointColor(TColor Value) { Store(FPointColor, Value); }
void TSeries::SetBoundsColor(TColor Value) { Store(FBoundsColor, Value); }
void TSeries::SetLineStyle(uint8_t Value) { Store(FLineStyle, Value); }
void TSeries::SetBoundLineMode(uint8_t Value) { Store(FBoundLineMode, Value); }
void TSeries::SetBoundsMode(uint8_t Value) { Store(FBoundsMode, Value); }
void TSeries::SetShowInLegend(uint8_t Value) { Store(FShowInLegend, Value); }
void TSeries::SetBarWidth(double Value) { Store(FBarWidth, Value); }
void TSeries::SetBarOffset(double Value) { Store(FBarOffset, Value); }
void TSeries::SetShowErrorBars(bool Value) { Store(FShowErrorBars, Value); }
void TSeries::SetErrorLineColor(TColor Value) { Store(FErrorLineColor, Value); }
void TSeries::SetErrorLineStyle(uint8_t Value) { Store(FErrorLineStyle, Value); }
void TSeries::SetHighlighted(bool Value) { Store(FHighlighted, Value); }

// Symbols are drawn around a centre, so their size is even and at least 2; steps take any width.
void TSeries::EvenSymbolSize()
{
    if (FPointShape == 4)
        return;
    if (FPointSize < 2)
        FPointSize = 2;
    if (FPointSize % 2 == 1)
        ++FPointSize;
}

void TSeries::SetPointShape(uint8_t Value)
{
    if (Value == FPointShape)
        return;
    FPointShape = Value;
    EvenSymbolSize();
    Changed(ccDrawingChanged);
}

void TSeries::SetPointSize(uint16_t Value)
{
    if (Value == FPointSize)
        return;
    FPointSize = Value;
    EvenSymbolSize();
    Changed(ccDrawingChanged);
}

void TSeries::SetUpperBound(double Value)
{
    if (Value == FUpperBound)
        return;
    FUpperBound = Value;
    if (FBoundsMode == 1)
        Changed(ccDrawingChanged);
}

void TSeries::SetLowerBound(double Value)
{
    if (Value == FLowerBound)
        return;
    FLowerBound = Value;
    if (FBoundsMode == 1)
        Changed(ccDrawingChanged);
}

void TSeries::SetRegressionLineColor(TColor Value)
{
    if (Value == FRegressionLineColor)
        return;
    FRegressionLineColor = Value;
    if (GetRegressionType() != 0)
        Changed(ccDrawingChanged);
}

void TSeries::SetRegressionLineStyle(uint8_t Value)
{
    if (Value == FRegressionLineStyle)
        return;
    FRegressionLineStyle = Value;
    if (GetRegressionType() != 0)
        Changed(ccDrawingChanged);
}

// --- Held updates and the redraw decision

void TSeries::SetHoldUpdates(bool Hold)
{
    if (Hold == FHoldUpdates)
        return;
    FHoldUpdates = Hold;
    if (Hold)
        FChangePending = false;
    else if (FChangePending)
        Changed(ccUpdatesReleased);
}

// The newest point lies within the ranges of the axes that size themselves.
bool TSeries::LastPointInRange() const
{
    const TAxis& X = *FGraph.GetXAxis();
    const double LX = GetLastX(), LY = GetLastY();
    if (X.GetAutoSizing() && !(LX >= X.GetMin() && LX <= X.GetMax()))
        return false;
    return !FAxis->GetAutoSizing() || (LY >= FAxis->GetMin() && LY <= FAxis->GetMax());
}

void TSeries::Changed(uint8_t Code)
{
    if (FHoldUpdates) {
        FChangePending = true;
        return;
    }
    TDataSeries::Changed(Code);
    if (Code == ccDestroyed || !FGraph.GetPlotting() || !FGraph.GetShowValue())
        return;
    if (FGraph.GetAppearance()->PreventFlicker && Code == ccPointAdded && LastPointInRange()) {
        // Only the series are drawn again, over the cached picture.
        FGraph.FFullRedraw = false;
        FGraph.Paint();
        FGraph.FFullRedraw = true;
        return;
    }
    FGraph.Paint();
}

void TSeries::TooManyPoints()
{
    if (FGraph.OnTooManyPoints)
        FGraph.OnTooManyPoints(&FGraph, FSeriesNumber);
    TDataSeries::TooManyPoints();
}

void TSeries::ReloadFromSource()
{
    SetHoldUpdates(true);
    struct Release {
        TSeries& S;
        ~Release() { S.SetHoldUpdates(false); }
    } Guard { *this };
    TDataSeries::ReloadFromSource();
}

// --- The "Series" section

void TSeries::WriteSection(TPlotWriter& W, bool WithPoints)
{
    W.WriteSectionHeader("Series");
    W.WriteTaggedBoolean(1, "Active", FActive);
    W.WriteTaggedBoolean(2, "DrawLine", FDrawLine);
    W.WriteTaggedBoolean(3, "DrawPoints", FDrawPoints);
    W.WriteTaggedBoolean(4, "FillPoints", FFillPoints);
    W.WriteTaggedInteger(5, "LineColor", FLineColor);
    W.WriteTaggedInteger(6, "PointColor", FPointColor);
    W.WriteTaggedInteger(7, "BoundsColor", FBoundsColor);
    W.WriteTaggedInteger(8, "PointShape", FPointShape);
    W.WriteTaggedInteger(9, "LineStyle", FLineStyle);
    W.WriteTaggedInteger(10, "PointStyle", FPointSize);
    W.WriteTaggedBoolean(11, "FirstAxis", FAxis == FGraph.GetYAxis());
    W.WriteTaggedReal(12, "UpperBound", FUpperBound);
    W.WriteTaggedReal(13, "LowerBound", FLowerBound);
    W.WriteTaggedInteger(14, "BoundsMode", FBoundsMode);
    W.WriteTaggedInteger(15, "BoundLineMode", FBoundLineMode);
    W.WriteTaggedInteger(16, "RegressionLineColor", FRegressionLineColor);
    W.WriteTaggedInteger(17, "RegressionLineStyle", FRegressionLineStyle);
    W.WriteTaggedInteger(18, "ShowInLegend", FShowInLegend);
    W.WriteTaggedReal(19, "BarWidth", FBarWidth);
    W.WriteTaggedReal(20, "BarOffset", FBarOffset);
    W.WriteTaggedBoolean(21, "ShowErrorBars", FShowErrorBars);
    W.WriteTaggedInteger(22, "ErrorLineColor", FErrorLineColor);
    W.WriteTaggedInteger(23, "ErrorLineStyle", FErrorLineStyle);
    W.WriteTaggedBoolean(24, "Highlighted", FHighlighted);
    W.WriteSectionEnd();
    WriteToStream(W, WithPoints);
}

void TSeries::ReadFromStream(TPlotReader& R)
{
    auto Byte = [&R] { return static_cast<uint8_t>(R.ReadAsInteger()); };
    for (int Index = R.ReadTag(); Index != 0; Index = R.ReadTag()) {
        switch (Index) {
        case 1: SetActive(R.ReadAsBoolean()); break;
        case 2: SetDrawLine(R.ReadAsBoolean()); break;
        case 3: SetDrawPoints(R.ReadAsBoolean()); break;
        case 4: SetFillPoints(R.ReadAsBoolean()); break;
        case 5: SetLineColor(R.ReadAsInteger()); break;
        case 6: SetPointColor(R.ReadAsInteger()); break;
        case 7: SetBoundsColor(R.ReadAsInteger()); break;
        case 8: SetPointShape(Byte()); break;
        case 9: SetLineStyle(Byte()); break;
        case 10: SetPointSize(static_cast<uint16_t>(R.ReadAsInteger())); break;
        case 11: SetAxis(R.ReadAsBoolean() ? FGraph.GetYAxis() : FGraph.GetYAxis_Second()); break;
        case 12: SetUpperBound(R.ReadAsReal()); break;
        case 13: SetLowerBound(R.ReadAsReal()); break;
        case 14: SetBoundsMode(Byte()); break;
        case 15: SetBoundLineMode(Byte()); break;
        case 16: SetRegressionLineColor(R.ReadAsInteger()); break;
        case 17: SetRegressionLineStyle(Byte()); break;
        case 18: SetShowInLegend(Byte()); break;
        case 19: SetBarWidth(R.ReadAsReal()); break;
        case 20: SetBarOffset(R.ReadAsReal()); break;
        case 21: SetShowErrorBars(R.ReadAsBoolean()); break;
        case 22: SetErrorLineColor(R.ReadAsInteger()); break;
        case 23: SetErrorLineStyle(Byte()); break;
        case 24: SetHighlighted(R.ReadAsBoolean()); break;
        default: R.Skip(); break;
        }
    }
    TDataSeries::ReadFromStream(R);
}
