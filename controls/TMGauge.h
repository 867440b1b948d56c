//===- TMGauge.h - Segmented level bar on a bevelled panel -*- C++ -*-===//
//
// A row of segments ("spots") lit in proportion to value within MinValue..MaxValue, or one
// continuous bar, horizontal or vertical. While it shows segments the gauge trims its length so
// that every segment gets the same whole number of pixels. The bar is drawn off-screen and only
// the area inside the bevels is copied to the control; the bevels are painted again only after
// a change that can move them.
//
#pragma once

#include "platform/ui/controls/TCustomPanel.h"

#include <cstdint>
#include <memory>

class TBitmap;

enum class Tbartype { gkhorizontal, gkvertikal };
using enum Tbartype;
inline constexpr EnumIdent TbartypeIdents[] = { { "gkhorizontal", gkhorizontal }, { "gkvertikal", gkvertikal } };
inline constexpr TEnumType<Tbartype> TbartypeType { "Tbartype", TbartypeIdents };

using TSpotCount = uint16_t;
using TStepCount = int32_t;

class TMGauge : public TCustomPanel {
public:
    /// 200 x 20, ten navy segments showing 100 of 0..100 in a lowered bevel.
    explicit TMGauge(TComponent* AOwner);
    ~TMGauge() override;

    // --- Value and range
    int32_t Getvalue() const { return Fvalue; }
    /// Ignored when equal; stored within MinValue..MaxValue.
    void Setvalue(int32_t Value);
    int32_t GetMinValue() const { return FMinValue; }
    /// Ignored when equal to either bound; raises value to it when below.
    void SetMinValue(int32_t Value);
    int32_t GetMaxValue() const { return FMaxValue; }
    /// Ignored when equal to either bound; lowers value to it when above.
    void SetMaxValue(int32_t Value);

    // --- Segments (a change trims the length again at the next paint)
    TSpotCount GetSpots() const { return FSpots; }
    /// At least 1.
    void SetSpots(TSpotCount Value);
    uint16_t GetHSpace() const { return FHSpace; }
    void SetHSpace(uint16_t Value);
    uint16_t GetVSpace() const { return FVSpace; }
    void SetVSpace(uint16_t Value);
    Tbartype GetBartype() const { return FBartype; }
    void SetBartype(Tbartype Value);
    /// False shows one continuous bar.
    bool GetSpotEnabled() const { return FSpotEnabled; }
    void SetSpotEnabled(bool Value);
    /// Kept for the form resources; it changes nothing that is drawn.
    TStepCount GetSteps() const { return FSteps; }
    void SetSteps(TStepCount Value);

    // --- Colour
    TColor GetBarColor() const { return FBarColor; }
    void SetBarColor(TColor Value);
    /// Ignored when equal; a disabled bar is grey (0x808080).
    void SetEnabled(bool Value) override;

protected:
    void Paint() override;

private:
    int borderSize() const;
    bool framingChanged() const;
    void trimLength();
    void rememberFraming();
    void drawBar();
    void keepShown();

    int32_t Fvalue = 100;
    int32_t FMinValue = 0;
    int32_t FMaxValue = 100;
    TSpotCount FSpots = 10;
    TStepCount FSteps = 100;
    uint16_t FHSpace = 1;
    uint16_t FVSpace = 1;
    Tbartype FBartype = gkhorizontal;
    TColor FBarColor = clNavy;
    bool FSpotEnabled = true;

    // Framing values of the last trim; -1 until the first paint.
    int FLastInner = -1, FLastOuter = -1, FLastBevelWidth = -1, FLastBorderWidth = -1;
    int FLastWidth = -1, FLastHeight = -1;
    bool FGeometryChanged = false;
    bool FPaintFrame = true;
    bool FPainted = false;
    // What the last paint showed: a paint that leaves the bevels alone starts from it.
    std::unique_ptr<TBitmap> FShown;
};
