//===- TDimensions.cpp - A graph's margins, tick length, offsets and print placement ===//
#include "plot/TDimensions.h"

#include "plot/TAppearance.h"
#include "plot/TPlotGraph.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "platform/ui/components/Published.h"

#include <algorithm>

const PublishedClass& DimensionsClass =
    PublishClass<TDimensions, TPersistent>("TDimensions", [](Published<TDimensions>& P) {
        P.Int("LeftMargin", &TDimensions::GetLeftMargin, &TDimensions::SetLeftMargin);
        P.Int("RightMargin", &TDimensions::GetRightMargin, &TDimensions::SetRightMargin);
        P.Int("TopMargin", &TDimensions::GetTopMargin, &TDimensions::SetTopMargin);
        P.Int("BottomMargin", &TDimensions::GetBottomMargin, &TDimensions::SetBottomMargin);
        P.Int("TickLength", &TDimensions::GetTickLength, &TDimensions::SetTickLength);
        P.Int("XAxisTitleOffset", &TDimensions::GetXAxisTitleOffset, &TDimensions::SetXAxisTitleOffset);
        P.Int("YAxisTitleOffset", &TDimensions::GetYAxisTitleOffset, &TDimensions::SetYAxisTitleOffset);
        P.Int("XAxisLabelOffset", &TDimensions::GetXAxisLabelOffset, &TDimensions::SetXAxisLabelOffset);
        P.Int("YAxisLabelOffset", &TDimensions::GetYAxisLabelOffset, &TDimensions::SetYAxisLabelOffset);
        P.Int("GraphTitleOffset", &TDimensions::GetGraphTitleOffset, &TDimensions::SetGraphTitleOffset);
        P.Int("PrintScalePct", &TDimensions::GetPrintScalePct, &TDimensions::SetPrintScalePct);
        P.Int("PrintXOffsetPct", &TDimensions::GetPrintXOffsetPct, &TDimensions::SetPrintXOffsetPct);
        P.Int("PrintYOffsetPct", &TDimensions::GetPrintYOffsetPct, &TDimensions::SetPrintYOffsetPct);
    });

// Out of line, so that a program linking the graph links this file's published table too.
TDimensions::TDimensions(TPlotGraph& Graph) : FGraph(Graph) {}

void TDimensions::Repaint()
{
    if (FGraph.GetPlotting())
        FGraph.Paint();
}

void TDimensions::SetLeftMargin(uint16_t Value)
{
    FLeftMargin = Value;
    Repaint();
}

void TDimensions::SetRightMargin(uint16_t Value)
{
    FRightMargin = Value;
    Repaint();
}

void TDimensions::SetTopMargin(uint16_t Value)
{
    FTopMargin = Value;
    Repaint();
}

void TDimensions::SetBottomMargin(uint16_t Value)
{
    FBottomMargin = Value;
    Repaint();
}

void TDimensions::SetTickLength(uint16_t Value)
{
    FTickLength = Value;
    if (Value == 0)
        FGraph.GetAppearance()->SetShowTicks(false);
    Repaint();
}

void TDimensions::SetXAxisTitleOffset(int32_t Value)
{
    FXAxisTitleOffset = Value;
    Repaint();
}

void TDimensions::SetYAxisTitleOffset(int32_t Value)
{
    FYAxisTitleOffset = Value;
    Repaint();
}

void TDimensions::SetXAxisLabelOffset(int32_t Value)
{
    FXAxisLabelOffset = Value;
    Repaint();
}

void TDimensions::SetYAxisLabelOffset(int32_t Value)
{
    FYAxisLabelOffset = Value;
    Repaint();
}

void TDimensions::SetGraphTitleOffset(int32_t Value)
{
    FGraphTitleOffset = Value;
    Repaint();
}

void TDimensions::SetPrintScalePct(int32_t Value)
{
    FPrintScalePct = static_cast<uint16_t>(std::clamp(Value, 20, 100));
}

void TDimensions::SetPrintXOffsetPct(int32_t Value) { FPrintXOffsetPct = std::clamp(Value, 0, 100); }

void TDimensions::SetPrintYOffsetPct(int32_t Value) { FPrintYOffsetPct = std::clamp(Value, 0, 100); }

// --- The "Dimensions" section (all integers)

void TDimensions::WriteSection(TPlotWriter& W) const
{
    W.WriteSectionHeader("Dimensions");
    W.WriteTaggedInteger(1, "BottomMargin", FBottomMargin);
    W.WriteTaggedInteger(2, "LeftMargin", FLeftMargin);
    W.WriteTaggedInteger(3, "RightMargin", FRightMargin);
    W.WriteTaggedInteger(4, "TopMargin", FTopMargin);
    W.WriteTaggedInteger(5, "TickLength", FTickLength);
    W.WriteTaggedInteger(6, "XAxisTitleOffset", FXAxisTitleOffset);
    W.WriteTaggedInteger(7, "XAxisLabelOffset", FXAxisLabelOffset);
    W.WriteTaggedInteger(8, "YAxisTitleOffset", FYAxisTitleOffset);
    W.WriteTaggedInteger(9, "YAxisLabelOffset", FYAxisLabelOffset);
    W.WriteTaggedInteger(10, "GraphTitleOffset", FGraphTitleOffset);
    W.WriteTaggedInteger(11, "PrintXOffsetPct", FPrintXOffsetPct);
    W.WriteTaggedInteger(12, "PrintYOffsetPct", FPrintYOffsetPct);
    W.WriteTaggedInteger(13, "PrintScalePct", FPrintScalePct);
    W.WriteSectionEnd();
}

void TDimensions::ReadSection(TPlotReader& R)
{
    for (int Index = R.ReadTag(); Index != 0; Index = R.ReadTag()) {
        if (Index < 1 || Index > 13) {
            R.Skip();
            continue;
        }
        const int32_t V = R.ReadAsInteger();
        const auto U = static_cast<uint16_t>(V);
        switch (Index) {
        case 1: SetBottomMargin(U); break;
        case 2: SetLeftMargin(U); break;
        case 3: SetRightMargin(U); break;
        case 4: SetTopMargin(U); break;
        case 5: SetTickLength(U); break;
        case 6: SetXAxisTitleOffset(V); break;
        case 7: SetXAxisLabelOffset(V); break;
        case 8: SetYAxisTitleOffset(V); break;
        case 9: SetYAxisLabelOffset(V); break;
        case 10: SetGraphTitleOffset(V); break;
        case 11: SetPrintXOffsetPct(V); break;
        case 12: SetPrintYOffsetPct(V); break;
        default: SetPrintScalePct(V); break;
        }
    }
}
