//===- TSeries.h - A plotted series: point store plus drawing settings -*- C++ -*-===//
//
// Every setter reports change code 5 through Changed when the value differs; Changed decides
// whether the graph repaints (see the redraw decision in TSeries.cpp). Drawing is in
// SeriesDrawing.cpp.
//
#pragma once

#include "plot/TDataSeries.h"

#include "platform/ui/components/Colors.h"
#include "platform/ui/graphics/GraphicsObjects.h"

#include <cstdint>

class TAxis;
class TPlotGraph;

/// The pen style a stored byte names; a number that names none draws solid.
TPenStyle PenStyleOf(uint8_t Style);

class TSeries : public TDataSeries {
public:
    /// Made by the graph only (TPlotGraph::CreateSeries); the defaults follow the number.
    TSeries(TPlotGraph& Graph, int32_t Number);
    /// Leaves the graph's list, raises OnDeleteSeries, restores the axes' tick types; no repaint.
    ~TSeries() override;

    /// The next series of the graph's list.
    TSeries* next = nullptr;
    TPlotGraph& GetGraph() const { return FGraph; }
    int32_t GetSeriesNumber() const { return FSeriesNumber; }

    // --- Settings
    TAxis* GetAxis() const { return FAxis; }
    void SetAxis(TAxis* Value);
    bool GetActive() const { return FActive; }
    void SetActive(bool Value);
    bool GetDrawLine() const { return FDrawLine; }
    void SetDrawLine(bool Value);
    bool GetDrawPoints() const { return FDrawPoints; }
    void SetDrawPoints(bool Value);
    bool GetFillPoints() const { return FFillPoints; }
    void SetFillPoints(bool Value);
    TColor GetLineColor() const { return FLineColor; }
    void SetLineColor(TColor Value);
    TColor GetPointColor() const { return FPointColor; }
    void SetPointColor(TColor Value);
    TColor GetBoundsColor() const { return FBoundsColor; }
    void SetBoundsColor(TColor Value);
    /// 0 square, 1 circle, 2 diamond, 3 plus, 4 steps, 5 bars. Symbols keep an even size of at
    /// least 2.
    uint8_t GetPointShape() const { return FPointShape; }
    void SetPointShape(uint8_t Value);
    uint8_t GetLineStyle() const { return FLineStyle; }
    void SetLineStyle(uint8_t Value);
    uint8_t GetBoundLineMode() const { return FBoundLineMode; }
    void SetBoundLineMode(uint8_t Value);
    uint16_t GetPointSize() const { return FPointSize; }
    void SetPointSize(uint16_t Value);
    /// Report a change only while BoundsMode is 1 (fixed bounds).
    double GetUpperBound() const { return FUpperBound; }
    void SetUpperBound(double Value);
    double GetLowerBound() const { return FLowerBound; }
    void SetLowerBound(double Value);
    /// 0 none, 1 fixed, 2..4 mean +- 1..3 deviations, 5 all three pairs.
    uint8_t GetBoundsMode() const { return FBoundsMode; }
    void SetBoundsMode(uint8_t Value);
    uint8_t GetShowInLegend() const { return FShowInLegend; }
    void SetShowInLegend(uint8_t Value);
    /// Report a change only while a regression is chosen.
    TColor GetRegressionLineColor() const { return FRegressionLineColor; }
    void SetRegressionLineColor(TColor Value);
    uint8_t GetRegressionLineStyle() const { return FRegressionLineStyle; }
    void SetRegressionLineStyle(uint8_t Value);
    double GetBarWidth() const { return FBarWidth; }
    void SetBarWidth(double Value);
    double GetBarOffset() const { return FBarOffset; }
    void SetBarOffset(double Value);
    bool GetShowErrorBars() const { return FShowErrorBars; }
    void SetShowErrorBars(bool Value);
    TColor GetErrorLineColor() const { return FErrorLineColor; }
    void SetErrorLineColor(TColor Value);
    uint8_t GetErrorLineStyle() const { return FErrorLineStyle; }
    void SetErrorLineStyle(uint8_t Value);
    bool GetHighlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value);

    // --- Held updates: changes are noted, and releasing reports one change code 4
    bool GetHoldUpdates() const { return FHoldUpdates; }
    void SetHoldUpdates(bool Hold);
    bool GetChangePending() const { return FChangePending; }

    // --- The point store's hooks
    /// The redraw decision.
    void Changed(uint8_t Code) override;
    /// Raises the graph's OnTooManyPoints, then the store's event.
    void TooManyPoints() override;
    /// Reads the "Series" entries up to their section end, then the store's section.
    void ReadFromStream(TPlotReader& Reader) override;
    /// One change code 4 for the whole reload.
    void ReloadFromSource() override;
    /// The "Series" section, then the store's section and points.
    void WriteSection(TPlotWriter& Writer, bool WithPoints);

    // --- Drawing on the graph's drawing canvas
    void Draw();
    void DrawBounds();
    void DrawRegression();
    void DrawLine();
    void DrawPoints();
    void DrawSquare(int X, int Y, int R);
    void DrawCircle(int X, int Y, int R);
    void DrawDiamond(int X, int Y, int R);
    void DrawPlus(int X, int Y, int R);
    void DrawBar(int Left, int Right, int Top, int Bottom);

private:
    template <class V>
    void Store(V& Field, V Value);
    void EvenSymbolSize();
    bool LastPointInRange() const;
    int YPixel(double Y) const;
    void DrawSymbols(bool Tested);
    void DrawSteps(bool Tested);
    void DrawBars(bool Tested);
    void DrawSymbol(int X, int Y, int R);

    TPlotGraph& FGraph;
    TAxis* FAxis = nullptr;
    bool FActive = true, FDrawLine = true, FDrawPoints = true, FFillPoints = true;
    bool FHoldUpdates = false, FChangePending = false;
    TColor FLineColor = 0, FPointColor = 0, FBoundsColor = 0;
    uint8_t FPointShape = 0, FLineStyle = 0, FBoundLineMode = 3;
    int32_t FSeriesNumber;
    uint16_t FPointSize = 4;
    double FUpperBound = 0, FLowerBound = 0;
    uint8_t FBoundsMode = 0, FShowInLegend = 0;
    TColor FRegressionLineColor = 0x808080;
    uint8_t FRegressionLineStyle = 2;
    double FBarWidth = 0, FBarOffset = 0;
    TColor FErrorLineColor = 0;
    uint8_t FErrorLineStyle = 0;
    bool FShowErrorBars = false, FHighlighted = false;
};
