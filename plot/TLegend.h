//===- TLegend.h - The legend box of a graph -*- C++ -*-===//
#pragma once

#include "platform/ui/components/Colors.h"
#include "platform/ui/graphics/GraphicsObjects.h"
#include "platform/ui/components/TComponent.h"
#include "platform/ui/forms/TForm.h"

#include <cstdint>
#include <memory>

class TPlotGraph;
class TPlotReader;
class TPlotWriter;

enum class TLegendStyle { lsAcross, lsDown };
using enum TLegendStyle;
inline constexpr EnumIdent TLegendStyleIdents[] = { { "lsAcross", lsAcross }, { "lsDown", lsDown } };
inline constexpr TEnumType<TLegendStyle> TLegendStyleType { "TLegendStyle", TLegendStyleIdents };

/// Each setter stores and repaints on change; the font repaints through its own notification.
class TLegend : public TPersistent {
public:
    explicit TLegend(TPlotGraph& Graph);
    ~TLegend() override;
    TLegend(const TLegend&) = delete;
    TLegend& operator=(const TLegend&) = delete;

    // --- Published properties
    bool Getvisible() const { return Fvisible; }
    void Setvisible(bool Value);
    TColor Getcolor() const { return Fcolor; }
    void Setcolor(TColor Value);
    TBorderStyle GetborderStyle() const { return FborderStyle; }
    void SetborderStyle(TBorderStyle Value);
    TLegendStyle GetLayout() const { return FLayout; }
    void SetLayout(TLegendStyle Value);
    int32_t Gettop() const { return Ftop; }
    void Settop(int32_t Value);
    int32_t Getleft() const { return Fleft; }
    void Setleft(int32_t Value);
    int32_t Getwidth() const { return Fwidth; }
    void Setwidth(int32_t Value);
    int32_t Getheight() const { return Fheight; }
    void Setheight(int32_t Value);
    int32_t GetSymbolSpace() const { return FSymbolSpace; }
    void SetSymbolSpace(int32_t Value);
    int32_t GetXMargin() const { return FXMargin; }
    void SetXMargin(int32_t Value);
    int32_t GetYMargin() const { return FYMargin; }
    void SetYMargin(int32_t Value);
    TFont* Getfont() const { return Ffont.get(); }
    void Setfont(const TFont& Value);

    // --- The "Legend" section of the graph stream
    void WriteSection(TPlotWriter& Writer) const;
    void ReadSection(TPlotReader& Reader);

private:
    friend class TPlotGraph;
    template <class V>
    void Store(V& Field, V Value);
    void FontChanged(TObject* Sender);

    TPlotGraph& FGraph;
    bool Fvisible = false;
    TColor Fcolor = clWhite;
    TBorderStyle FborderStyle = bsNone;
    TLegendStyle FLayout = lsAcross;
    int32_t Ftop = 10, Fleft = 10, Fwidth = 180, Fheight = 20, FSymbolSpace = 20, FXMargin = 10, FYMargin = 5;
    std::unique_ptr<TFont> Ffont;
};
