//===- TDimensions.h - A graph's margins, tick length, offsets and print placement -*- C++ -*-===//
#pragma once

#include "platform/ui/components/TComponent.h"

#include <cstdint>

class TPlotGraph;
class TPlotReader;
class TPlotWriter;

class TDimensions : public TPersistent {
public:
    explicit TDimensions(TPlotGraph& Graph);
    TDimensions(const TDimensions&) = delete;
    TDimensions& operator=(const TDimensions&) = delete;

    // --- Published properties; all but the print settings repaint
    uint16_t GetLeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(uint16_t Value);
    uint16_t GetRightMargin() const { return FRightMargin; }
    void SetRightMargin(uint16_t Value);
    uint16_t GetTopMargin() const { return FTopMargin; }
    void SetTopMargin(uint16_t Value);
    uint16_t GetBottomMargin() const { return FBottomMargin; }
    void SetBottomMargin(uint16_t Value);
    uint16_t GetTickLength() const { return FTickLength; }
    /// A length of 0 also switches the graph's ticks off (and 4 later does not switch them on).
    void SetTickLength(uint16_t Value);
    int32_t GetXAxisTitleOffset() const { return FXAxisTitleOffset; }
    void SetXAxisTitleOffset(int32_t Value);
    int32_t GetYAxisTitleOffset() const { return FYAxisTitleOffset; }
    void SetYAxisTitleOffset(int32_t Value);
    int32_t GetXAxisLabelOffset() const { return FXAxisLabelOffset; }
    void SetXAxisLabelOffset(int32_t Value);
    int32_t GetYAxisLabelOffset() const { return FYAxisLabelOffset; }
    void SetYAxisLabelOffset(int32_t Value);
    int32_t GetGraphTitleOffset() const { return FGraphTitleOffset; }
    void SetGraphTitleOffset(int32_t Value);
    /// Clamped to 20..100.
    int32_t GetPrintScalePct() const { return FPrintScalePct; }
    void SetPrintScalePct(int32_t Value);
    /// Clamped to 0..100.
    int32_t GetPrintXOffsetPct() const { return FPrintXOffsetPct; }
    void SetPrintXOffsetPct(int32_t Value);
    int32_t GetPrintYOffsetPct() const { return FPrintYOffsetPct; }
    void SetPrintYOffsetPct(int32_t Value);

    // --- The "Dimensions" section of the graph stream
    void WriteSection(TPlotWriter& Writer) const;
    void ReadSection(TPlotReader& Reader);

private:
    friend class TPlotGraph;
    void Repaint();

    TPlotGraph& FGraph;
    uint16_t FLeftMargin = 40, FRightMargin = 15, FTopMargin = 30, FBottomMargin = 40;
    uint16_t FTickLength = 4;
    int32_t FXAxisTitleOffset = 4, FYAxisTitleOffset = 4, FXAxisLabelOffset = 2, FYAxisLabelOffset = 2;
    int32_t FGraphTitleOffset = 7;
    uint16_t FPrintScalePct = 90;
    int32_t FPrintXOffsetPct = 5, FPrintYOffsetPct = 20;
};
