//===- GraphMouse.cpp - Zooming, legend dragging, the cross wire and moving the graph's window ===//
#include "plot/TPlotGraph.h"

#include "plot/TAppearance.h"
#include "plot/TAxis.h"
#include "plot/TDimensions.h"
#include "plot/TLegend.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/forms/TScreen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The system commands that let the operator size the window from its bottom-right corner and
// move it with the mouse.
constexpr WPARAM SizeFromBottomRight = 61440 + 8;
constexpr WPARAM MoveWithMouse = 61456 + 2;

bool Inside(const TRect& R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

} // namespace

void TPlotGraph::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const TLegend& L = *FLegend;
    FMoveCorner = Rect(0, 0, 20, 20);
    FLegendRect = Rect(FClientX + L.Getleft(), FClientY + L.Gettop(), FClientX + L.Getleft() + L.Getwidth(),
                       FClientY + L.Gettop() + L.Getheight());
    FSizeCorner = Rect(GetWidth() - 20, GetHeight() - 20, GetWidth(), GetHeight());
    if (Button == mbLeft) {
        if (Shift.Contains(ssCtrl)) {
            if (OnWantDesigner)
                OnWantDesigner(this);
        } else if (Shift.Contains(ssShift)) {
            StartZoom(X, Y);
        } else if (L.Getvisible() && Inside(FLegendRect, X, Y)) {
            FLegendDragging = true;
            FDragX = X - FClientX - L.Getleft();
            FDragY = Y - FClientY - L.Gettop();
            FFocusRect = TRect {};
        } else if (DragAllowed && Inside(FSizeCorner, X, Y)) {
            WindowCommand(crSizeNWSE, SizeFromBottomRight);
        } else if (DragAllowed && Inside(FMoveCorner, X, Y)) {
            WindowCommand(crSizeAll, MoveWithMouse);
        } else {
            FHandlesShown = true;
            DrawHandles();
        }
    }
    TCustomPanel::MouseDown(Button, Shift, X, Y);
}

void TPlotGraph::WindowCommand(TCursor Cursor, WPARAM Command)
{
    Screen->SetCursor(Cursor);
    SetMouseCapture(false);
    Perform(WM_SYSCOMMAND, Command, 0);
    Screen->SetCursor(crDefault);
}

void TPlotGraph::StartZoom(int X, int Y)
{
    FZooming = true;
    FDragX = X;
    FDragY = Y;
    Screen->SetCursor(crCross);
    FFocusRect = TRect {};
    if (!FAxesSaved) {
        TAxis* Axes[] = { FXAxis.get(), FYAxis.get(), FYAxis_Second.get() };
        for (int I = 0; I < 3; ++I)
            FSavedRanges[I] = { Axes[I]->FAutoSizing, Axes[I]->FMin, Axes[I]->FMax };
    }
    FAxesSaved = true;
}

void TPlotGraph::MouseMove(TShiftState Shift, int X, int Y)
{
    TCanvas& C = *GetCanvas();
    if (FLegendDragging) {
        C.DrawFocusRect(FFocusRect);
        FFocusRect = Rect(X - FDragX, Y - FDragY, X - FDragX + FLegend->Getwidth(), Y - FDragY + FLegend->Getheight());
        C.DrawFocusRect(FFocusRect);
    } else if (FZooming) {
        C.DrawFocusRect(FFocusRect);
        FFocusRect = Rect(std::min(FDragX, X), std::min(FDragY, Y), std::max(FDragX, X), std::max(FDragY, Y));
        C.DrawFocusRect(FFocusRect);
    } else if (FAppearance->CrossWire) {
        TCanvas& D = *FDrawingCanvas;
        D.GetPen()->SetColor(clBlack);
        D.GetPen()->SetMode(pmNot);
        if (FCrossShown) {
            DrawCrossWire(FCrossX, FCrossY, true);
            FCrossShown = false;
        }
        const TDimensions& Dm = *FDimensions;
        const int Px = X - FClientX, Py = Y - FClientY;
        if (Dm.FLeftMargin < Px && Px < FPlotWidth - Dm.FRightMargin && Dm.FTopMargin < Py
            && Py < FPlotHeight - Dm.FBottomMargin) {
            DrawCrossWire(Px, Py, true);
            FCrossX = Px;
            FCrossY = Py;
            FCrossShown = true;
        }
        D.GetPen()->SetMode(pmCopy);
    }
    TCustomPanel::MouseMove(Shift, X, Y);
}

void TPlotGraph::MouseLeave()
{
    TCustomPanel::MouseLeave();
    FCrossShown = false;
    if (FAppearance->CrossWire)
        Paint();
}

void TPlotGraph::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FLegendDragging || FZooming) {
        GetCanvas()->GetPen()->SetColor(clBlack);
        GetCanvas()->GetPen()->SetMode(pmCopy);
        FFocusRect = TRect {};
        SetMouseCapture(false);
    }
    if (FLegendDragging) {
        FLegend->Setleft(X - FClientX - FDragX);
        FLegend->Settop(Y - FClientY - FDragY);
        FLegendDragging = false;
    }
    if (FZooming) {
        FZooming = false;
        Screen->SetCursor(crDefault);
        if (std::abs(X - FDragX) < 5 || std::abs(Y - FDragY) < 5)
            RestoreZoom();
        else
            Zoom(std::min(FDragX, X), std::max(FDragX, X), std::min(FDragY, Y), std::max(FDragY, Y));
        ResetDateTicks();
        SetPlotting(true);
    }
    TCustomPanel::MouseUp(Button, Shift, X, Y);
    FHandlesShown = false;
    Paint();
}

void TPlotGraph::RestoreZoom()
{
    FAxesSaved = false;
    FPlotting = false;
    TAxis* Axes[] = { FXAxis.get(), FYAxis.get(), FYAxis_Second.get() };
    for (int I = 0; I < 3; ++I) {
        Axes[I]->SetAutoSizing(FSavedRanges[I].AutoSizing);
        if (!FSavedRanges[I].AutoSizing) {
            Axes[I]->SetMin(FSavedRanges[I].Min);
            Axes[I]->SetMax(FSavedRanges[I].Max);
        }
    }
}

// All six values come from the ranges before the zoom: assigning x Min first would move the
// pixel scale that x Max is taken from. An axis without a usable pixel scale stays as it is.
void TPlotGraph::Zoom(int Left, int Right, int Upper, int Lower)
{
    FPlotting = false;
    struct Range {
        TAxis* Axis;
        double Min, Max;
    };
    const Range New[] = {
        { FXAxis.get(), PixelToXValue(Left), PixelToXValue(Right) },
        { FYAxis.get(), PixelToYValue(Lower), PixelToYValue(Upper) },
        { FYAxis_Second.get(), PixelToY2Value(Lower), PixelToY2Value(Upper) },
    };
    for (const Range& R : New) {
        const double Ppu = R.Axis->GetPixelsPerUnit();
        if (!(Ppu > 0) || !std::isfinite(Ppu) || !R.Axis->GetRangeValid() || !(R.Min < R.Max) || !std::isfinite(R.Min)
            || !std::isfinite(R.Max))
            continue;
        R.Axis->SetMin(R.Min);
        R.Axis->SetMax(R.Max);
    }
}
