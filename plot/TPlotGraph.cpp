//===- TPlotGraph.cpp - The graph control: construction, defaults, conversions, clipping ===//
#include "plot/TPlotGraph.h"

#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TLegend.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/printing/Clipbrd.h"
#include "platform/ui/printing/Printers.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"

#include <cmath>

namespace {

// Device coordinates stay within this, whatever the zoom.
constexpr double PixelLimit = 20000;

UINT GraphClipboardFormat = 0;

void RegisterGraphClipboardFormat()
{
    // Once per program; the number is kept for whoever copies graphs.
    static const bool Registered = [] {
        GraphClipboardFormat = RegisterClipboardFormat("Internal PlotGraph Format");
        return true;
    }();
    (void)Registered;
}

} // namespace

UINT PlotGraphClipboardFormat() { return GraphClipboardFormat; }

const PublishedClass& PlotGraphClass =
    PublishClass<TPlotGraph, TCustomPanel>("TPlotGraph", [](Published<TPlotGraph>& P) {
        P.Object("XAxis", &TPlotGraph::GetXAxis);
        P.Object("YAxis", &TPlotGraph::GetYAxis);
        P.Object("YAxis_Second", &TPlotGraph::GetYAxis_Second);
        P.Object("Dimensions", &TPlotGraph::GetDimensions);
        P.Object("Appearance", &TPlotGraph::GetAppearance);
        P.Object("Legend", &TPlotGraph::GetLegend);
        P.Bool("Plotting", &TPlotGraph::GetPlotting, &TPlotGraph::SetPlotting);
        P.Bool("ShowValue", &TPlotGraph::GetShowValue, &TPlotGraph::SetShowValue);
        P.Bool("DragAllowed", &TPlotGraph::DragAllowed);
        P.Event("OnLogError", &TPlotGraph::OnLogError);
        P.Event("OnNewSeries", &TPlotGraph::OnNewSeries);
        P.Event("OnDeleteSeries", &TPlotGraph::OnDeleteSeries);
        P.Event("OnTooManyPoints", &TPlotGraph::OnTooManyPoints);
        P.Event("OnRescale", &TPlotGraph::OnRescale);
        P.Event("OnScaleError", &TPlotGraph::OnScaleError);
        P.Event("OnPaintStart", &TPlotGraph::OnPaintStart);
        P.Event("OnPaintEnd", &TPlotGraph::OnPaintEnd);
        P.Event("OnWantDesigner", &TPlotGraph::OnWantDesigner);
    });

TPlotGraph::TPlotGraph(TComponent* AOwner) : TCustomPanel(AOwner)
{
    RegisterGraphClipboardFormat();
    FDrawingCanvas = GetCanvas();
    SetWidth(200);
    SetHeight(200);
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    SetBorderStyle(bsSingle);
    GetFont()->SetColor(clBlack);
    GetFont()->SetHeight(-9);
    GetFont()->SetName("Arial");
    GetFont()->SetStyle({});
    SetColor(clWhite);
    FXAxis = std::make_unique<TAxis>(*this);
    FYAxis = std::make_unique<TAxis>(*this);
    FYAxis_Second = std::make_unique<TAxis>(*this);
    FYAxis_Second->FSecondAxis = true;
    FDimensions = std::make_unique<TDimensions>(*this);
    FAppearance = std::make_unique<TAppearance>(*this);
    FBitmap = std::make_unique<TBitmap>();
    FLegend = std::make_unique<TLegend>(*this);
    ResetToDefaults();
}

TPlotGraph::~TPlotGraph()
{
    Destroying();
    // Nothing repaints a graph on its way out.
    FPlotting = false;
    ClearSeries();
    ClearAnnotations();
}

void TPlotGraph::ResetAxis(TAxis& A, const char* Title)
{
    A.FShowAxis = true;
    A.FReversed = false;
    A.FMinScaleLength = 0;
    A.FMin = 0;
    A.FMax = 1.0;
    A.FStepSize = A.FMax / 5;
    A.FLogTicks.LogCycleDivisions = 2;
    A.BuildLogTable();
    A.FAutoSizing = A.FAutoStepping = A.FLogScale = false;
    A.FTitle = Title;
    A.FGridlines = true;
    A.FLabelDecimals = 1;
    A.AutoLabelDecimals = true;
    A.FShowAsTime = false;
    A.FDateTimeFormat = "dd-mmm";
    A.FOffsetType = ao_Minimum;
    A.FOffset = 0;
}

void TPlotGraph::ResetToDefaults()
{
    ResetAxis(*FXAxis, "X axis");
    ResetAxis(*FYAxis, "Y axis");
    ResetAxis(*FYAxis_Second, "Second Y axis");
    FYAxis_Second->FShowAxis = false;
    FYAxis_Second->FReversed = true;
    FYAxis_Second->FGridlines = false;
    FYAxis_Second->FOffsetType = ao_Maximum;

    TDimensions& D = *FDimensions;
    D.FBottomMargin = 40;
    D.FLeftMargin = 40;
    D.FRightMargin = 15;
    D.FTopMargin = 30;
    D.FTickLength = 4;
    D.FGraphTitleOffset = 7;
    D.FXAxisTitleOffset = 4;
    D.FXAxisLabelOffset = 2;
    D.FYAxisTitleOffset = 4;
    D.FYAxisLabelOffset = 2;
    D.FPrintScalePct = 90;
    D.FPrintXOffsetPct = 5;
    D.FPrintYOffsetPct = 20;

    TAppearance& A = *FAppearance;
    A.FAllowDuplicates = false;
    A.FShowGraphLabels = true;
    A.FShowMarks = false;
    A.FShowTicks = true;
    A.FPlotOffGraph = false;
    A.FErrorCaption = "MAX/MIN VALUES INCONSISTENT";
    A.FAxesColor = clBlack;
    A.FGridColor = clSilver;
    A.FGridStyle = psDot;
    A.FBackgroundColor = A.FMarginColor = GetColor();
    A.FGraphTitle = "PlotGraph 3.20";
    A.FMinSteps = 5;
    A.FMaxSteps = 50;
    A.FCrossAtZero = true;
    A.FCrossColor = clRed;
    A.FCrosslength = 4;
    A.PrintLineStyle = true;
    A.FMinPointClearance = 0;

    TLegend& L = *FLegend;
    L.Fvisible = false;
    L.Fcolor = A.FBackgroundColor;
    L.FborderStyle = bsNone;
    L.FLayout = lsAcross;
    L.Ftop = 10;
    L.Fleft = 10;
    L.Fwidth = GetWidth() - 20;
    L.Fheight = 20;
    L.FSymbolSpace = 20;
    L.FXMargin = 10;
    L.FYMargin = 5;

    FAxesSaved = false;
    FFocusRect = TRect {};
}

// --- Drawing switches

void TPlotGraph::SetPlotting(bool Value)
{
    FPlotting = Value;
    if (Value) {
        Paint();
        NotifyRescale();
    }
}

void TPlotGraph::SetShowValue(bool Value)
{
    FShowValue = Value;
    if (Value) {
        Paint();
        NotifyRescale();
    }
}

// --- Painting

void TPlotGraph::NotifyRescale()
{
    if (FPlotting && FScaleValid && OnRescale)
        OnRescale(this);
}

TCanvas* TPlotGraph::GetMeasuringCanvas() const { return GetCanvas(); }

bool TPlotGraph::DrawingOnPrinter() const { return FDrawingCanvas == Printer()->GetCanvas(); }

// --- Conversions

int TPlotGraph::ValueToPixel(const TAxis& A, double V, bool Vertical) const
{
    double D;
    if (A.FLogScale)
        D = Vertical ? std::log(A.FMax) - std::log(V) : std::log(V) - std::log(A.FMin);
    else
        D = Vertical ? A.FMax - V : V - A.FMin;
    const double P = D * A.FPixelsPerUnit;
    // The logarithm of a value <= 0 (NaN or -infinity) lies below every value of the axis.
    if (std::isnan(P))
        return Vertical ? int(PixelLimit) : -int(PixelLimit);
    if (P > PixelLimit)
        return int(PixelLimit);
    if (P < -PixelLimit)
        return -int(PixelLimit);
    return int(Round(P)) + (Vertical ? FDimensions->FTopMargin : FDimensions->FLeftMargin);
}

int TPlotGraph::XValueToPixel(double X) const { return ValueToPixel(*FXAxis, X, false); }

int TPlotGraph::YValueToPixel(double Y) const { return ValueToPixel(*FYAxis, Y, true); }

int TPlotGraph::Y2ValueToPixel(double Y) const { return ValueToPixel(*FYAxis_Second, Y, true); }

double TPlotGraph::PixelToValue(const TAxis& A, int Pixel, bool Vertical) const
{
    const double U = Vertical ? (Pixel - FDimensions->FTopMargin - FClientY) / A.FPixelsPerUnit
                              : (Pixel - FDimensions->FLeftMargin - FClientX) / A.FPixelsPerUnit;
    if (Vertical)
        return A.FLogScale ? A.FMax * std::exp(-U) : A.FMax - U;
    return A.FLogScale ? A.FMin * std::exp(U) : U + A.FMin;
}

double TPlotGraph::PixelToXValue(int Pixel) const { return PixelToValue(*FXAxis, Pixel, false); }

double TPlotGraph::PixelToYValue(int Pixel) const { return PixelToValue(*FYAxis, Pixel, true); }

double TPlotGraph::PixelToY2Value(int Pixel) const { return PixelToValue(*FYAxis_Second, Pixel, true); }

// --- Clipping and lines

namespace {

void ClipTo(TCanvas& Canvas, int Left, int Top, int Right, int Bottom)
{
    HRGN Region = CreateRectRgn(Left, Top, Right, Bottom);
    SelectClipRgn(Canvas.GetHandle(), Region);
    DeleteObject(Region);
}

} // namespace

void TPlotGraph::ClipToPlotArea()
{
    const TDimensions& D = *FDimensions;
    ClipTo(*FDrawingCanvas, D.FLeftMargin, D.FTopMargin, FPlotWidth - D.FRightMargin + 1,
           FPlotHeight - D.FBottomMargin + 1);
}

void TPlotGraph::ClipToGraph() { ClipTo(*FDrawingCanvas, 0, 0, FPlotWidth + 1, FPlotHeight + 1); }

void TPlotGraph::DrawLine(int X1, int Y1, int X2, int Y2)
{
    FDrawingCanvas->MoveTo(X1, Y1);
    FDrawingCanvas->LineTo(X2, Y2);
}

void TPlotGraph::ResetDateTicks()
{
    for (TAxis* A : { FXAxis.get(), FYAxis.get(), FYAxis_Second.get() }) {
        A->FDateTickType = A->FUserDateTickType;
        A->ApplyAutoFormat();
    }
}
