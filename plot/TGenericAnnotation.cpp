//===- TGenericAnnotation.cpp - Annotations and marks: list membership, setters, drawing, section ===//
#include "plot/TGenericAnnotation.h"

#include "plot/PlotConsts.h"
#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TPlotGraph.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/graphics/TCanvas.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

namespace {

// Windows' OUT_TT_ONLY_PRECIS: rotated captions ask for an outline font.
constexpr uint8_t TrueTypeOnly = 7;

} // namespace

// --- The base

TGenericAnnotation::TGenericAnnotation(int32_t AID, const std::string& ACaption, uint8_t ADrawTime)
    : ID(AID), Caption(ACaption), DrawTime(ADrawTime)
{
}

TGenericAnnotation::~TGenericAnnotation()
{
    if (Graph)
        Graph->RemoveAnnotation(ID);
    delete std::exchange(next, nullptr);
}

void TGenericAnnotation::RepaintRequest()
{
    if (Graph && Graph->GetPlotting())
        Graph->Paint();
}

void TGenericAnnotation::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    RepaintRequest();
}

void TGenericAnnotation::WriteAnnotationSection(TPlotWriter& W)
{
    W.WriteSectionHeader("Annotation");
    W.WriteTaggedString(1, "Type", TypeName());
    W.WriteTaggedInteger(2, "ID ", ID);
    W.WriteTaggedString(3, "Caption", Caption);
    W.WriteTaggedInteger(4, "DrawTime", DrawTime);
    W.WriteTaggedBoolean(5, "Visible", FVisible);
    W.WriteSectionEnd();
    WriteOwnData(W);
}

// --- Marks: settings

template <class V>
void TMark::Store(V& Field, V Value)
{
    if (Value == Field)
        return;
    Field = Value;
    RepaintRequest();
}

void TMark::SetColor(TColor Value) { Store(FColor, Value); }
void TMark::SetX1(double Value) { Store(FX1, Value); }
void TMark::SetY1(double Value) { Store(FY1, Value); }
void TMark::SetX2(double Value) { Store(FX2, Value); }
void TMark::SetY2(double Value) { Store(FY2, Value); }
void TMark::SetMarkType(uint8_t Value) { Store(FTypeOfMark, Value); }
void TMark::SetMarkPosition(uint8_t Value) { Store(FMarkPosition, Value); }

void TMark::WriteOwnData(TPlotWriter&) { throw Exception(SNotCodedYet); }

void TMark::ReadOwnData(TPlotReader&) { throw Exception(SNotCodedYet); }

// --- Marks: drawing on the graph's drawing canvas

void TMark::Draw()
{
    if (!Graph)
        return;
    switch (FTypeOfMark) {
    case 0: DrawVertical(); break;
    case 1: DrawHorizontal(); break;
    case 2: DrawBox(); break;
    case 3: DrawFreeLine(); break;
    default: break;
    }
}

// The caption starts Distance pixels from (X, Y) at right angles to the text, which runs at
// Angle (radians) counter-clockwise; the font is made rotated for this one text.
void TMark::RotatedCaption(int X, int Y, int Distance, double Angle)
{
    TCanvas& C = *Graph->GetDrawingCanvas();
    // The canvas selects its own font first, so that the rotated one is not replaced by it.
    C.TextExtent(Caption);
    LOGFONTA Font = C.GetFont()->LogFont();
    Font.lfEscapement = Font.lfOrientation = static_cast<int32_t>(std::trunc(Angle * 10 * 180 / std::numbers::pi));
    Font.lfOutPrecision = TrueTypeOnly;
    HFONT Rotated = CreateFontIndirect(Font);
    HDC Dc = C.GetHandle();
    HGDIOBJ Previous = SelectObject(Dc, Rotated);
    const double S = Graph->GetSizeFactor();
    C.TextOut(X - int(Round(std::sin(Angle) * Distance * S)), Y - int(Round(std::cos(Angle) * Distance * S)), Caption);
    SelectObject(Dc, Previous);
    DeleteObject(Rotated);
}

namespace {

// The canvas font becomes the caption font in the mark's colour; answers its size in points.
int UseCaptionFont(TPlotGraph& G, TCanvas& C, TColor Color)
{
    C.SetFont(*G.GetAppearance()->GetCaptionFont());
    C.GetFont()->SetColor(Color);
    return C.GetFont()->GetSize();
}

} // namespace

void TMark::DrawVertical()
{
    TCanvas& C = *Graph->GetDrawingCanvas();
    const TAxis& Y = *Graph->GetYAxis();
    C.GetPen()->SetColor(FColor);
    const int N = UseCaptionFont(*Graph, C, FColor);
    const int X = Graph->XValueToPixel(FX1);
    RotatedCaption(X, Graph->YValueToPixel(Y.GetMin()) - 3, N + 5, std::numbers::pi / 2);
    Graph->DrawLine(X, Graph->YValueToPixel(Y.GetMin()), X, Graph->YValueToPixel(Y.GetMax()));
}

void TMark::DrawHorizontal()
{
    TCanvas& C = *Graph->GetDrawingCanvas();
    UseCaptionFont(*Graph, C, FColor);
    TCanvas& Measure = *Graph->GetMeasuringCanvas();
    Measure.SetFont(*C.GetFont());
    const SIZE Text = Measure.TextExtent(Caption);
    const double S = Graph->GetSizeFactor();
    const TDimensions& D = *Graph->GetDimensions();
    const int PY = Graph->YValueToPixel(FY1);
    const int Gap = int(Round(2 * S)), Indent = int(Round(10 * S));
    const int LeftX = Graph->GetOriginX() + D.GetLeftMargin() + Indent;
    const int RightX = Graph->GetPlotWidth() - Graph->GetOriginX() - D.GetRightMargin() - Text.cx - Indent;
    int X = 0, Y = 0;
    switch (FMarkPosition) {
    case 0: X = LeftX, Y = PY - Gap - Text.cy; break;
    case 1: X = LeftX, Y = PY + Gap; break;
    case 2: X = RightX, Y = PY - Gap - Text.cy; break;
    case 3: X = RightX, Y = PY + Gap; break;
    default: break;
    }
    C.TextOut(X, Y, Caption);
    const TAxis& XA = *Graph->GetXAxis();
    C.GetPen()->SetColor(FColor);
    Graph->DrawLine(Graph->XValueToPixel(XA.GetMin()), PY, Graph->XValueToPixel(XA.GetMax()), PY);
}

void TMark::DrawBox()
{
    TCanvas& C = *Graph->GetDrawingCanvas();
    const double H = std::trunc(Graph->GetSizeFactor() * FX2);
    const int Half = std::isfinite(H) ? int(std::clamp(H, -20000.0, 20000.0)) : 0;
    const int PX = Graph->XValueToPixel(FX1), PY = Graph->YValueToPixel(FY1);
    C.GetPen()->SetColor(FColor);
    C.GetBrush()->SetStyle(bsClear);
    C.Rectangle(PX - Half, PY - Half, PX + Half, PY + Half);
    C.GetFont()->SetColor(FColor);
    C.TextOut(PX - Half, PY + Half, Caption);
}

void TMark::DrawFreeLine()
{
    TCanvas& C = *Graph->GetDrawingCanvas();
    TPoint P1 { Graph->XValueToPixel(FX1), Graph->YValueToPixel(FY1) };
    TPoint P2 { Graph->XValueToPixel(FX2), Graph->YValueToPixel(FY2) };
    if (P2.X < P1.X)
        std::swap(P1, P2);
    const double Angle = P1.X == P2.X ? std::numbers::pi / 2 : -std::atan(double(P2.Y - P1.Y) / (P2.X - P1.X));
    C.GetPen()->SetColor(FColor);
    const int N = UseCaptionFont(*Graph, C, FColor);
    RotatedCaption(P1.X, P1.Y, N + 5, Angle);
    Graph->DrawLine(P1.X, P1.Y, P2.X, P2.Y);
}

// --- The "Mark" section

void TMark::WriteSection(TPlotWriter& W) const
{
    W.WriteSectionHeader("Mark");
    W.WriteTaggedInteger(1, "ID ", ID);
    W.WriteTaggedReal(2, "X1Value", FX1);
    W.WriteTaggedReal(3, "Y1Value", FY1);
    W.WriteTaggedReal(4, "X2Value", FX2);
    W.WriteTaggedReal(5, "Y2Value", FY2);
    W.WriteTaggedInteger(6, "Color", FColor);
    W.WriteTaggedString(7, "Caption", Caption);
    W.WriteTaggedInteger(8, "TypeOfMark", FTypeOfMark);
    W.WriteTaggedInteger(10, "MarkPosition", FMarkPosition);
    W.WriteTaggedInteger(11, "DrawTime", DrawTime);
    W.WriteSectionEnd();
}

TMark* TMark::ReadSection(TPlotReader& R, TPlotGraph& Graph)
{
    int32_t AID = 0, Color = 0, Type = 0, Position = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    std::string ACaption = "uninitialised";
    bool Early = false;
    std::optional<int32_t> Time;
    for (int Index = R.ReadTag(); Index != 0; Index = R.ReadTag()) {
        switch (Index) {
        case 1: AID = R.ReadAsInteger(); break;
        case 2: X1 = R.ReadAsReal(); break;
        case 3: Y1 = R.ReadAsReal(); break;
        case 4: X2 = R.ReadAsReal(); break;
        case 5: Y2 = R.ReadAsReal(); break;
        case 6: Color = R.ReadAsInteger(); break;
        case 7: ACaption = R.ReadAsString(); break;
        case 8: Type = R.ReadAsInteger(); break;
        case 9: Early = R.ReadAsBoolean(); break;
        case 10: Position = R.ReadAsInteger(); break;
        case 11: Time = R.ReadAsInteger(); break;
        default: R.Skip(); break;
        }
    }
    auto* M = new TMark(AID, ACaption, static_cast<uint8_t>(Time ? *Time : Early ? 1 : 3));
    M->SetColor(Color);
    M->SetX1(X1);
    M->SetY1(Y1);
    M->SetX2(X2);
    M->SetY2(Y2);
    M->SetMarkType(static_cast<uint8_t>(Type));
    M->SetMarkPosition(static_cast<uint8_t>(Position));
    try {
        Graph.AddAnnotation(M);
    } catch (...) {
        delete M;
        throw;
    }
    return M;
}
