//===- TAppearance.cpp - A graph's colours, fonts, titles, flags and step limits ===//
#include "plot/TAppearance.h"

#include "plot/TPlotGraph.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "plot/TSeries.h"

#include "platform/ui/components/Published.h"

#include <algorithm>
#include <optional>

const PublishedClass& AppearanceClass =
    PublishClass<TAppearance, TPersistent>("TAppearance", [](Published<TAppearance>& P) {
        P.Bool("ShowTicks", &TAppearance::GetShowTicks, &TAppearance::SetShowTicks);
        P.Bool("ShowMarks", &TAppearance::GetShowMarks, &TAppearance::SetShowMarks);
        P.Bool("CrossAtZero", &TAppearance::GetCrossAtZero, &TAppearance::SetCrossAtZero);
        P.Bool("PrintLineStyle", &TAppearance::PrintLineStyle);
        P.Bool("PlotOffGraph", &TAppearance::GetPlotOffGraph, &TAppearance::SetPlotOffGraph);
        P.Bool("AllowDuplicates", &TAppearance::GetAllowDuplicates, &TAppearance::SetAllowDuplicates);
        P.Bool("PreventFlicker", &TAppearance::PreventFlicker);
        P.Bool("ShowGraphLabels", &TAppearance::GetShowGraphLabels, &TAppearance::SetShowGraphLabels);
        P.Color("GridColor", &TAppearance::GetGridColor, &TAppearance::SetGridColor);
        P.Color("AxesColor", &TAppearance::GetAxesColor, &TAppearance::SetAxesColor);
        P.Color("BackgroundColor", &TAppearance::GetBackgroundColor, &TAppearance::SetBackgroundColor);
        P.Color("MarginColor", &TAppearance::GetMarginColor, &TAppearance::SetMarginColor);
        P.Color("CrossColor", &TAppearance::GetCrossColor, &TAppearance::SetCrossColor);
        P.Enum("GridStyle", TPenStyleType, &TAppearance::GetGridStyle, &TAppearance::SetGridStyle);
        P.Bool("PrintBkgndColor", &TAppearance::PrintBkgndColor);
        P.String("ErrorCaption", &TAppearance::GetErrorCaption, &TAppearance::SetErrorCaption);
        P.String("GraphTitle", &TAppearance::GetGraphTitle, &TAppearance::SetGraphTitle);
        P.Int("MinSteps", &TAppearance::GetMinSteps, &TAppearance::SetMinSteps);
        P.Int("MaxSteps", &TAppearance::GetMaxSteps, &TAppearance::SetMaxSteps);
        P.Int("Crosslength", &TAppearance::GetCrosslength, &TAppearance::SetCrosslength);
        P.Object("TitleFont", &TAppearance::GetTitleFont);
        P.Object("CaptionFont", &TAppearance::GetCaptionFont);
        P.Object("LabelFont", &TAppearance::GetLabelFont);
        P.Double("MinPointClearance", &TAppearance::GetMinPointClearance, &TAppearance::SetMinPointClearance);
        P.Bool("CrossWire", &TAppearance::CrossWire);
    });

TAppearance::TAppearance(TPlotGraph& Graph)
    : FGraph(Graph), FTitleFont(std::make_unique<TFont>()), FCaptionFont(std::make_unique<TFont>()),
      FLabelFont(std::make_unique<TFont>())
{
    for (TFont* Font : { FTitleFont.get(), FCaptionFont.get(), FLabelFont.get() }) {
        Font->Assign(*Graph.GetFont());
        Font->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
    }
}

TAppearance::~TAppearance() = default;

void TAppearance::Repaint()
{
    if (FGraph.GetPlotting())
        FGraph.Paint();
}

// A font changed in place (by a form resource or a caller's Font.Size = ...).
void TAppearance::FontChanged(TObject*)
{
    if (FGraph.GetPlotting() && !FGraph.DrawingOnPrinter())
        FGraph.Paint();
}

void TAppearance::SetAllowDuplicates(bool Value)
{
    FAllowDuplicates = Value;
    for (TSeries* S = FGraph.GetFirstSeries(); S; S = S->next)
        S->SetDuplicatesAllowed(Value);
    FGraph.Paint();
}

void TAppearance::SetMinSteps(uint16_t Value)
{
    if (Value == 0 || !(FMaxSteps / 2.5 > Value))
        return;
    FMinSteps = Value;
    Repaint();
}

void TAppearance::SetMaxSteps(uint16_t Value)
{
    if (!(Value > FMinSteps * 2.5) || Value > 90)
        return;
    FMaxSteps = Value;
    Repaint();
}

void TAppearance::SetErrorCaption(const std::string& Value)
{
    FErrorCaption = Value;
    if (!FGraph.GetScaleValid() && FGraph.GetPlotting())
        FGraph.Paint();
}

// --- Setters that act on a change only

void TAppearance::SetShowMarks(bool Value)
{
    if (Value == FShowMarks)
        return;
    FShowMarks = Value;
    Repaint();
}

void TAppearance::SetCrossAtZero(bool Value)
{
    if (Value == FCrossAtZero)
        return;
    FCrossAtZero = Value;
    Repaint();
}

void TAppearance::SetCrossColor(TColor Value)
{
    if (Value == FCrossColor)
        return;
    FCrossColor = Value;
    Repaint();
}

void TAppearance::SetCrosslength(uint16_t Value)
{
    if (Value == FCrosslength)
        return;
    FCrosslength = Value;
    Repaint();
}

void TAppearance::SetMinPointClearance(double Value)
{
    if (Value == FMinPointClearance)
        return;
    FMinPointClearance = Value;
    Repaint();
}

// --- Setters that always store and repaint

void TAppearance::SetPlotOffGraph(bool Value)
{
    FPlotOffGraph = Value;
    Repaint();
}

void TAppearance::SetShowGraphLabels(bool Value)
{
    FShowGraphLabels = Value;
    Repaint();
}

void TAppearance::SetShowTicks(bool Value)
{
    FShowTicks = Value;
    Repaint();
}

void TAppearance::SetGridColor(TColor Value)
{
    FGridColor = Value;
    Repaint();
}

void TAppearance::SetAxesColor(TColor Value)
{
    FAxesColor = Value;
    Repaint();
}

void TAppearance::SetBackgroundColor(TColor Value)
{
    FBackgroundColor = Value;
    Repaint();
}

void TAppearance::SetMarginColor(TColor Value)
{
    FMarginColor = Value;
    Repaint();
}

void TAppearance::SetGridStyle(TPenStyle Value)
{
    FGridStyle = Value;
    Repaint();
}

void TAppearance::SetGraphTitle(const std::string& Value)
{
    FGraphTitle = Value;
    Repaint();
}

// Copying raises the owned font's own change notification as well.
void TAppearance::SetTitleFont(const TFont& Value)
{
    FTitleFont->Assign(Value);
    Repaint();
}

void TAppearance::SetCaptionFont(const TFont& Value)
{
    FCaptionFont->Assign(Value);
    Repaint();
}

void TAppearance::SetLabelFont(const TFont& Value)
{
    FLabelFont->Assign(Value);
    Repaint();
}

// --- The "Appearance" section (index 6 is not used)

void TAppearance::WriteSection(TPlotWriter& W) const
{
    W.WriteSectionHeader("Appearance");
    W.WriteTaggedBoolean(1, "DuplicatesAllowed", FAllowDuplicates);
    W.WriteTaggedInteger(2, "AxesColor", FAxesColor);
    W.WriteTaggedInteger(3, "Color", FBackgroundColor);
    W.WriteTaggedInteger(4, "MarginColor", FMarginColor);
    W.WriteTaggedBoolean(5, "PrintwithBackground", PrintBkgndColor);
    W.WriteTaggedInteger(7, "GridColor", FGridColor);
    W.WriteTaggedInteger(8, "GridLineStyle", static_cast<int32_t>(FGridStyle));
    W.WriteTaggedBoolean(9, "GridLabelsShown", FShowGraphLabels);
    W.WriteTaggedBoolean(10, "ShowPointsOutsidePlotArea", FPlotOffGraph);
    W.WriteTaggedBoolean(11, "MarksAreShown", FShowMarks);
    W.WriteTaggedBoolean(12, "TicksAreShown", FShowTicks);
    W.WriteTaggedString(13, "TitleOfGraph", FGraphTitle);
    W.WriteTaggedInteger(14, "MinimumStepsShown", FMinSteps);
    W.WriteTaggedInteger(15, "MaximumStepsShown", FMaxSteps);
    W.WriteTaggedFont(16, "FontForAxesTitles", *FTitleFont);
    W.WriteTaggedFont(17, "FontForTitle", *FCaptionFont);
    W.WriteTaggedFont(18, "FontForLabels", *FLabelFont);
    W.WriteTaggedBoolean(19, "ShowCrossAtZero", FCrossAtZero);
    W.WriteTaggedInteger(20, "ColorOfCross", FCrossColor);
    W.WriteTaggedInteger(21, "LengthOfCross", FCrosslength);
    W.WriteTaggedBoolean(22, "PrintStyleforLines", PrintLineStyle);
    W.WriteTaggedBoolean(23, "PreventFlicker", PreventFlicker);
    W.WriteTaggedReal(24, "MinPointClearance", FMinPointClearance);
    W.WriteSectionEnd();
}

namespace {

uint16_t StepCount(int32_t V) { return static_cast<uint16_t>(std::clamp(V, 0, 0xFFFF)); }

} // namespace

void TAppearance::ReadSection(TPlotReader& R)
{
    auto ReadFontInto = [&R](void (TAppearance::*Set)(const TFont&), TAppearance& A) {
        TFont Read;
        R.ReadFont(Read);
        (A.*Set)(Read);
    };
    std::optional<uint16_t> MinSteps, MaxSteps;
    for (int Index = R.ReadTag(); Index != 0; Index = R.ReadTag()) {
        switch (Index) {
        case 1: SetAllowDuplicates(R.ReadAsBoolean()); break;
        case 2: SetAxesColor(R.ReadAsInteger()); break;
        case 3: SetBackgroundColor(R.ReadAsInteger()); break;
        case 4: SetMarginColor(R.ReadAsInteger()); break;
        case 5: PrintBkgndColor = R.ReadAsBoolean(); break;
        case 7: SetGridColor(R.ReadAsInteger()); break;
        case 8: SetGridStyle(PenStyleOf(static_cast<uint8_t>(std::clamp(R.ReadAsInteger(), 0, 255)))); break;
        case 9: SetShowGraphLabels(R.ReadAsBoolean()); break;
        case 10: SetPlotOffGraph(R.ReadAsBoolean()); break;
        case 11: SetShowMarks(R.ReadAsBoolean()); break;
        case 12: SetShowTicks(R.ReadAsBoolean()); break;
        case 13: SetGraphTitle(R.ReadAsString()); break;
        case 14: MinSteps = StepCount(R.ReadAsInteger()); break;
        case 15: MaxSteps = StepCount(R.ReadAsInteger()); break;
        case 16: ReadFontInto(&TAppearance::SetTitleFont, *this); break;
        case 17: ReadFontInto(&TAppearance::SetCaptionFont, *this); break;
        case 18: ReadFontInto(&TAppearance::SetLabelFont, *this); break;
        case 19: SetCrossAtZero(R.ReadAsBoolean()); break;
        case 20: SetCrossColor(R.ReadAsInteger()); break;
        case 21: SetCrosslength(static_cast<uint16_t>(R.ReadAsInteger())); break;
        case 22: PrintLineStyle = R.ReadAsBoolean(); break;
        case 23: PreventFlicker = R.ReadAsBoolean(); break;
        case 24: SetMinPointClearance(R.ReadAsReal()); break;
        default: R.Skip(); break;
        }
    }
    // The step limits are applied as a pair at the end, each through its setter: one by one in
    // stream order, a stored MinSteps of 20 or more would be refused against the old MaxSteps.
    if (MaxSteps)
        SetMaxSteps(*MaxSteps);
    if (MinSteps)
        SetMinSteps(*MinSteps);
    if (MaxSteps)
        SetMaxSteps(*MaxSteps);
}
