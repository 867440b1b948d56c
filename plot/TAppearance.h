//===- TAppearance.h - A graph's colours, fonts, titles, flags and step limits -*- C++ -*-===//
#pragma once

#include "platform/ui/components/Colors.h"
#include "platform/ui/graphics/GraphicsObjects.h"
#include "platform/ui/components/TComponent.h"

#include <cstdint>
#include <memory>
#include <string>

class TPlotGraph;
class TPlotReader;
class TPlotWriter;

class TAppearance : public TPersistent {
public:
    explicit TAppearance(TPlotGraph& Graph);
    ~TAppearance() override;
    TAppearance(const TAppearance&) = delete;
    TAppearance& operator=(const TAppearance&) = delete;

    // --- Published properties (the setters' rules in TAppearance.cpp)
    bool GetShowTicks() const { return FShowTicks; }
    void SetShowTicks(bool Value);
    bool GetShowMarks() const { return FShowMarks; }
    void SetShowMarks(bool Value);
    bool GetCrossAtZero() const { return FCrossAtZero; }
    void SetCrossAtZero(bool Value);
    /// Plain: pen width 1 for axes, series and legend.
    bool PrintLineStyle = true;
    bool GetPlotOffGraph() const { return FPlotOffGraph; }
    void SetPlotOffGraph(bool Value);
    bool GetAllowDuplicates() const { return FAllowDuplicates; }
    /// Passes the value to every series of the graph, then repaints even when not plotting.
    void SetAllowDuplicates(bool Value);
    /// Plain: a series draws only its newly added point when it can.
    bool PreventFlicker = false;
    bool GetShowGraphLabels() const { return FShowGraphLabels; }
    void SetShowGraphLabels(bool Value);
    TColor GetGridColor() const { return FGridColor; }
    void SetGridColor(TColor Value);
    TColor GetAxesColor() const { return FAxesColor; }
    void SetAxesColor(TColor Value);
    TColor GetBackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor Value);
    TColor GetMarginColor() const { return FMarginColor; }
    void SetMarginColor(TColor Value);
    TColor GetCrossColor() const { return FCrossColor; }
    void SetCrossColor(TColor Value);
    TPenStyle GetGridStyle() const { return FGridStyle; }
    void SetGridStyle(TPenStyle Value);
    /// Plain: backgrounds are filled also when printing.
    bool PrintBkgndColor = false;
    const std::string& GetErrorCaption() const { return FErrorCaption; }
    /// Repaints only while the caption is on show.
    void SetErrorCaption(const std::string& Value);
    const std::string& GetGraphTitle() const { return FGraphTitle; }
    void SetGraphTitle(const std::string& Value);
    uint16_t GetMinSteps() const { return FMinSteps; }
    /// Taken only when positive and below MaxSteps / 2.5.
    void SetMinSteps(uint16_t Value);
    uint16_t GetMaxSteps() const { return FMaxSteps; }
    /// Taken only when above MinSteps x 2.5 and at most 90.
    void SetMaxSteps(uint16_t Value);
    uint16_t GetCrosslength() const { return FCrosslength; }
    void SetCrosslength(uint16_t Value);
    TFont* GetTitleFont() const { return FTitleFont.get(); }
    void SetTitleFont(const TFont& Value);
    TFont* GetCaptionFont() const { return FCaptionFont.get(); }
    void SetCaptionFont(const TFont& Value);
    TFont* GetLabelFont() const { return FLabelFont.get(); }
    void SetLabelFont(const TFont& Value);
    double GetMinPointClearance() const { return FMinPointClearance; }
    void SetMinPointClearance(double Value);
    /// Plain: the cross wire follows the mouse.
    bool CrossWire = false;

    // --- The "Appearance" section of the graph stream
    void WriteSection(TPlotWriter& Writer) const;
    void ReadSection(TPlotReader& Reader);

private:
    friend class TPlotGraph;
    void Repaint();
    void FontChanged(TObject* Sender);

    TPlotGraph& FGraph;
    bool FShowTicks = true, FShowMarks = false, FCrossAtZero = true, FPlotOffGraph = false;
    bool FAllowDuplicates = false, FShowGraphLabels = true;
    TColor FGridColor = clSilver, FAxesColor = clBlack, FBackgroundColor = clWhite, FMarginColor = clWhite;
    TColor FCrossColor = clRed;
    TPenStyle FGridStyle = psDot;
    std::string FErrorCaption, FGraphTitle;
    uint16_t FMinSteps = 5, FMaxSteps = 50, FCrosslength = 4;
    std::unique_ptr<TFont> FTitleFont, FCaptionFont, FLabelFont;
    double FMinPointClearance = 0;
};
