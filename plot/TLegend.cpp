//===- TLegend.cpp - The legend box of a graph ===//
#include "plot/TLegend.h"

#include "plot/TPlotGraph.h"
#include "plot/TPlotReader.h"
#include "plot/TPlotWriter.h"
#include "platform/ui/components/Published.h"

const PublishedClass& LegendClass = PublishClass<TLegend, TPersistent>("TLegend", [](Published<TLegend>& P) {
    P.Bool("visible", &TLegend::Getvisible, &TLegend::Setvisible);
    P.Color("color", &TLegend::Getcolor, &TLegend::Setcolor);
    P.Enum("borderStyle", TFormBorderStyleType, &TLegend::GetborderStyle, &TLegend::SetborderStyle);
    P.Enum("Layout", TLegendStyleType, &TLegend::GetLayout, &TLegend::SetLayout);
    P.Int("top", &TLegend::Gettop, &TLegend::Settop);
    P.Int("left", &TLegend::Getleft, &TLegend::Setleft);
    P.Int("width", &TLegend::Getwidth, &TLegend::Setwidth);
    P.Int("height", &TLegend::Getheight, &TLegend::Setheight);
    P.Int("SymbolSpace", &TLegend::GetSymbolSpace, &TLegend::SetSymbolSpace);
    P.Int("XMargin", &TLegend::GetXMargin, &TLegend::SetXMargin);
    P.Int("YMargin", &TLegend::GetYMargin, &TLegend::SetYMargin);
    P.Object("font", &TLegend::Getfont);
});

TLegend::TLegend(TPlotGraph& Graph) : FGraph(Graph), Ffont(std::make_unique<TFont>())
{
    Ffont->Assign(*Graph.GetFont());
    Ffont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
}

TLegend::~TLegend() = default;

template <class V>
void TLegend::Store(V& Field, V Value)
{
    if (Value == Field)
        return;
    Field = Value;
    if (FGraph.GetPlotting())
        FGraph.Paint();
}

void TLegend::FontChanged(TObject*)
{
    if (FGraph.GetPlotting() && !FGraph.DrawingOnPrinter())
        FGraph.Paint();
}

void TLegend::Setvisible(bool Value) { Store(Fvisible, Value); }
void TLegend::Setcolor(TColor Value) { Store(Fcolor, Value); }
void TLegend::SetborderStyle(TBorderStyle Value) { Store(FborderStyle, Value); }
void TLegend::SetLayout(TLegendStyle Value) { Store(FLayout, Value); }
void TLegend::Settop(int32_t Value) { Store(Ftop, Value); }
void TLegend::Setleft(int32_t Value) { Store(Fleft, Value); }
void TLegend::Setwidth(int32_t Value) { Store(Fwidth, Value); }
void TLegend::Setheight(int32_t Value) { Store(Fheight, Value); }
void TLegend::SetSymbolSpace(int32_t Value) { Store(FSymbolSpace, Value); }
void TLegend::SetXMargin(int32_t Value) { Store(FXMargin, Value); }
void TLegend::SetYMargin(int32_t Value) { Store(FYMargin, Value); }

// The font's own change notification repaints.
void TLegend::Setfont(const TFont& Value) { Ffont->Assign(Value); }

// --- The "Legend" section

void TLegend::WriteSection(TPlotWriter& W) const
{
    W.WriteSectionHeader("Legend");
    W.WriteTaggedBoolean(1, "LegendIsVisible", Fvisible);
    W.WriteTaggedInteger(2, "LegendColor", Fcolor);
    W.WriteTaggedInteger(3, "borderStyle", static_cast<int32_t>(FborderStyle));
    W.WriteTaggedInteger(4, "LayoutMode", static_cast<int32_t>(FLayout));
    W.WriteTaggedInteger(5, "Legendtop", Ftop);
    W.WriteTaggedInteger(6, "Legendleft", Fleft);
    W.WriteTaggedInteger(7, "Legendwidth", Fwidth);
    W.WriteTaggedInteger(8, "Legendheight", Fheight);
    W.WriteTaggedFont(9, "Legendfont", *Ffont);
    W.WriteTaggedInteger(10, "SpaceForSymbols", FSymbolSpace);
    W.WriteTaggedInteger(11, "XMargin", FXMargin);
    W.WriteTaggedInteger(12, "YMargin", FYMargin);
    W.WriteSectionEnd();
}

void TLegend::ReadSection(TPlotReader& R)
{
    for (int Index = R.ReadTag(); Index != 0; Index = R.ReadTag()) {
        switch (Index) {
        case 1: Setvisible(R.ReadAsBoolean()); break;
        case 2: Setcolor(R.ReadAsInteger()); break;
        case 3: SetborderStyle(R.ReadAsInteger() == 0 ? bsNone : bsSingle); break;
        case 4: SetLayout(R.ReadAsInteger() == 0 ? lsAcross : lsDown); break;
        case 5: Settop(R.ReadAsInteger()); break;
        case 6: Setleft(R.ReadAsInteger()); break;
        case 7: Setwidth(R.ReadAsInteger()); break;
        case 8: Setheight(R.ReadAsInteger()); break;
        case 9: {
            TFont Read;
            R.ReadFont(Read);
            Setfont(Read);
            break;
        }
        case 10: SetSymbolSpace(R.ReadAsInteger()); break;
        case 11: SetXMargin(R.ReadAsInteger()); break;
        case 12: SetYMargin(R.ReadAsInteger()); break;
        default: R.Skip(); break;
        }
    }
}
