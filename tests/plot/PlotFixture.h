//===- PlotFixture.h - A graph that counts its paints and rescales, for tests -*- C++ -*-===//
#pragma once

#include "plot/TPlotGraph.h"

class TAxis;

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plottest {

/// The graph with its paint replaced by a count, and its paint state set by hand.
class CountingGraph : public TPlotGraph {
public:
    using TPlotGraph::TPlotGraph;

    void Paint() override
    {
        ++Paints;
        PaintsFull.push_back(GetFullRedraw());
    }
    int Paints = 0;
    /// OnRescale calls, counted from construction.
    int Rescales = 0;

    void SetScaleValid(bool Value) { FScaleValid = Value; }
    void SetPlotSize(int Width, int Height)
    {
        FPlotWidth = Width;
        FPlotHeight = Height;
    }
    void SetSizeFactor(double Value) { FSizeFactor = Value; }
    void DrawOn(TCanvas* Canvas) { FDrawingCanvas = Canvas; }
    /// The full-redraw flag at each paint, in order.
    std::vector<bool> PaintsFull;
};

/// A private session and a counting graph of 200 x 200 pixels with a valid scale.
class PlotTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CountingGraph* Graph = nullptr;
};

/// The records that Draw leaves on a metafile canvas of the graph's size, one line each as
/// DumpEnhMetaFile lists them; the graph draws on the control's canvas again afterwards.
std::string Recording(CountingGraph& Graph, const std::function<void()>& Draw);
/// The lines of the records named Name ("POLYLINE16", "RECTANGLE" ...).
std::vector<std::string> Records(const std::string& Dump, std::string_view Name);

/// Sets the range of an axis and computes its pixel scale.
void Range(TAxis& Axis, double Min, double Max);

} // namespace plottest
