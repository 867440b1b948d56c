//===- TPlotGraph.h - The graph control: axes, settings, series, annotations -*- C++ -*-===//
//
// The control owns its three axes, its three settings objects, its series (in ascending
// series number) and its annotations (in ascending ID). Series and annotations are linked
// lists whose nodes unlink themselves when they are freed, so a caller may delete one directly.
//
#pragma once

#include "platform/ui/components/Events.h"
#include "platform/ui/controls/TCustomPanel.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TAppearance;
class TAxis;
class TCanvas;
class TDimensions;
class TFiler;
class TGenericAnnotation;
class TBitmap;
class TLegend;
class TMetafile;
class TPlotReader;
class TPlotWriter;
class TSeries;
class TStream;

/// The number of the "Internal PlotGraph Format" clipboard format, registered once when the
/// first graph is made (0 before, or when the registration failed).
UINT PlotGraphClipboardFormat();

/// A series event: the series (or the graph) and the series number.
using TSeriesEvent = std::function<void(TObject* Sender, int Index)>;
/// A paint event: the graph and the canvas it draws on.
using TPaintEvent = std::function<void(TObject* Sender, TCanvas* Canvas)>;
template <>
inline constexpr std::string_view EventTypeName<TSeriesEvent> = "TSeriesEvent";
template <>
inline constexpr std::string_view EventTypeName<TPaintEvent> = "TPaintEvent";

class TPlotGraph : public TCustomPanel {
public:
    explicit TPlotGraph(TComponent* AOwner);
    ~TPlotGraph() override;

    // --- Owned parts
    TAxis* GetXAxis() const { return FXAxis.get(); }
    TAxis* GetYAxis() const { return FYAxis.get(); }
    TAxis* GetYAxis_Second() const { return FYAxis_Second.get(); }
    TDimensions* GetDimensions() const { return FDimensions.get(); }
    TAppearance* GetAppearance() const { return FAppearance.get(); }
    TLegend* GetLegend() const { return FLegend.get(); }

    // --- Drawing switches
    bool GetPlotting() const { return FPlotting; }
    /// Stores; switched on, paints and notifies a rescale.
    void SetPlotting(bool Value);
    bool GetShowValue() const { return FShowValue; }
    void SetShowValue(bool Value);
    /// The window corners move and size the control.
    bool DragAllowed = true;

    // --- Painting (the paint core draws on the drawing canvas)
    /// Renders the graph anew into its off-screen bitmap and shows it; nothing without a handle.
    void Paint() override;
    /// The paint core: the whole graph on the drawing canvas, whatever it is.
    void PaintGraph();
    /// Renders the graph at the control's size into a new metafile and assigns it to Metafile.
    void DrawToMetafile(TMetafile& Metafile);
    /// The cross wire over the plot area at (X, Y); WithOffset adds the client origin.
    void DrawCrossWire(int X, int Y, bool WithOffset);
    /// Focus outlines around the legend and the two window corners, on the control's canvas.
    void DrawHandles();
    /// The text of a tick label; a value beyond 9999 sets the axis' LabelDecimals to 0.
    std::string FormatAxisLabel(TAxis& Axis, double Value);
    /// Raises OnRescale when plotting, the last scale check passed and a handler is set.
    void NotifyRescale();
    /// The canvas all graph drawing goes to.
    TCanvas* GetDrawingCanvas() const { return FDrawingCanvas; }
    /// The control's own canvas: text is measured on it.
    TCanvas* GetMeasuringCanvas() const;
    /// True while the drawing goes to the printer's canvas.
    bool DrawingOnPrinter() const;
    int GetPlotWidth() const { return FPlotWidth; }
    int GetPlotHeight() const { return FPlotHeight; }
    /// Multiplies the legend's geometry, the cross length and the marks' sizes.
    double GetSizeFactor() const { return FSizeFactor; }
    int GetOriginX() const { return FOriginX; }
    int GetOriginY() const { return FOriginY; }
    bool GetScaleValid() const { return FScaleValid; }
    bool GetFullRedraw() const { return FFullRedraw; }

    // --- Conversions: values beyond +-20000 pixels (and logarithms of values <= 0) clamp there
    int XValueToPixel(double X) const;
    int YValueToPixel(double Y) const;
    int Y2ValueToPixel(double Y) const;
    double PixelToXValue(int Pixel) const;
    double PixelToYValue(int Pixel) const;
    double PixelToY2Value(int Pixel) const;
    void ClipToPlotArea();
    void ClipToGraph();
    void DrawLine(int X1, int Y1, int X2, int Y2);

    // --- Series
    TSeries* GetSeries(int Number);
    TSeries* CreateSeries(int Number);
    /// The first series, in ascending series number; each links to the next.
    TSeries* GetFirstSeries() const { return FFirstSeries; }
    /// True when some series holds a point and Axis is null, the x axis or that series' y axis.
    bool HasSeriesData(const TAxis* Axis) const;
    void ClearSeries();
    /// Every axis' DateTickType back to its UserDateTickType, with the automatic format.
    void ResetDateTicks();

    // --- Annotations
    TGenericAnnotation* GetFirstAnnotation() const { return FFirstAnnotation; }
    TGenericAnnotation* FindAnnotation(int32_t ID) const;
    /// Takes the annotation into the list by ID; an ID already there raises "Attempt to create a
    /// duplicate Annotation ID" and the annotation stays the caller's.
    void AddAnnotation(TGenericAnnotation* Annotation);
    bool RemoveAnnotation(int32_t ID);
    void ClearAnnotations();

    // --- Mouse
    /// Starts a zoom rectangle at (X, Y); the first zoom saves the axes' ranges.
    void StartZoom(int X, int Y);
    bool GetCrossShown() const { return FCrossShown; }

    // --- The graph stream
    /// Settings, series (with their points when WithPoints), marks and annotations.
    void SaveToStream(TStream& Stream, bool WithPoints);
    /// Clears the graph and reads it back; what was read before a failure stays, and Plotting
    /// is restored either way.
    void LoadFromStream(TStream& Stream);
    /// Copies another graph through the graph stream; any other source is ignored.
    void Assign(const TPersistent& Source) override;
    // Count values and blocks of the stream (also the stored properties of form resources)
    void WriteSeriesCount(TPlotWriter& Writer);
    void WriteMarkCount(TPlotWriter& Writer);
    void WriteAnnotationCount(TPlotWriter& Writer);
    void ReadSeriesCount(TPlotReader& Reader, TStream& Stream);
    void ReadMarkCount(TPlotReader& Reader, TStream& Stream);
    void ReadAnnotationCount(TPlotReader& Reader, TStream& Stream);
    void WriteSeriesInfo(TStream& Stream);
    void ReadSeriesInfo(TStream& Stream);
    void WriteMarksInfo(TStream& Stream);
    void ReadMarksInfo(TStream& Stream);
    void WriteAnnotationInfo(TStream& Stream);
    void ReadAnnotationInfo(TStream& Stream);
    /// Stored in form resources: the three counts always, each block when its count is not 0.
    void DefineProperties(TFiler& Filer) override;
    uint16_t GetSeriesCount() const { return FSeriesCount; }
    uint16_t GetMarkCount() const { return FMarkCount; }
    uint16_t GetAnnotationCount() const { return FAnnotationCount; }

    // --- Events
    TSeriesEvent OnNewSeries, OnLogError, OnTooManyPoints, OnDeleteSeries;
    TNotifyEvent OnRescale, OnWantDesigner;
    /// Published for forms that set it; the graph never raises it.
    TNotifyEvent OnScaleError;
    TPaintEvent OnPaintStart, OnPaintEnd;

protected:
    /// A window repaint copies the cached bitmap once a full render exists.
    void PaintWindow(HDC DC) override;
    void Resize() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;

    // --- The paint core's steps
    void CollectDataBounds();
    bool CheckScales();
    void UpdateMetrics();
    void DrawFrame();
    void FillBackground();
    void DrawCrossAtZero();
    void DrawAnnotations(uint8_t DrawTime);
    void DrawLegend();
    void DrawLegendEntry(TSeries& Series, int X, int Y, int R, int SymbolSpace, int LineHeight);

    // --- Axes, grid, ticks, labels and titles
    void DrawXAxis();
    void DrawYAxis();
    void DrawY2Axis();
    void DrawVerticalGrid();
    void DrawHorizontalGrid(TAxis& Axis);
    void DrawXTicks(int Y, bool Reversed);
    void DrawYTicks(TAxis& Axis, int X, bool Reversed);
    TCanvas& PrepareLabelCanvases();
    int DrawXLabels(int Y, bool Reversed);
    int DrawYLabels(TAxis& Axis, int X, bool Reversed);
    void DrawGraphTitle();

    /// The values the constructor and every stream load start from.
    void ResetToDefaults();
    void ResetAxis(TAxis& Axis, const char* Title);

    TCanvas* FDrawingCanvas = nullptr;
    int FPlotWidth = 0, FPlotHeight = 0;
    double FSizeFactor = 1.0;
    int FOriginX = 0, FOriginY = 0;
    /// Top-left of the panel inside its bevels: mouse pixels are taken relative to it.
    int FClientX = 0, FClientY = 0;
    bool FScaleValid = false;
    bool FFullRedraw = true;
    /// The cached picture and the part of it the last render filled.
    std::unique_ptr<TBitmap> FBitmap;
    TRect FBitmapRect {}, FPanelRect {};
    bool FBitmapValid = false, FPaintedOnce = false;
    // Mouse states
    bool FZooming = false, FLegendDragging = false, FHandlesShown = false, FAxesSaved = false;
    TRect FFocusRect {};
    int FCrossX = 0, FCrossY = 0;
    bool FCrossShown = false;
    TRect FMoveCorner {}, FLegendRect {}, FSizeCorner {};
    /// Where a zoom started, or the grip point inside the dragged legend.
    int FDragX = 0, FDragY = 0;
    struct SavedRange {
        bool AutoSizing = false;
        double Min = 0, Max = 1;
    };
    SavedRange FSavedRanges[3];
    uint16_t FSeriesCount = 0, FMarkCount = 0, FAnnotationCount = 0;
    bool FWithPoints = true;

private:
    friend class TSeries;
    int ValueToPixel(const TAxis& Axis, double V, bool Vertical) const;
    void DrawYAxisOf(TAxis& Axis, bool Second);
    void PictureStep(TAxis& Axis);
    int AxisValueToPixel(const TAxis& Axis, double V) const;
    void PaintBorder(TRect& R);
    void WindowCommand(TCursor Cursor, WPARAM Command);
    void RestoreZoom();
    void Zoom(int Left, int Right, int Upper, int Lower);
    double PixelToValue(const TAxis& Axis, int Pixel, bool Vertical) const;

    std::unique_ptr<TDimensions> FDimensions;
    std::unique_ptr<TAppearance> FAppearance;
    std::unique_ptr<TAxis> FXAxis, FYAxis, FYAxis_Second;
    std::unique_ptr<TLegend> FLegend;
    TSeries* FFirstSeries = nullptr;
    TGenericAnnotation* FFirstAnnotation = nullptr;
    bool FPlotting = true, FShowValue = true;
};
