//===- TMled.h - The signal lamp of the front panels -*- C++ -*-===//
//
// A lamp drawn from the bitmap strip "ALLED": eight 15 x 15 lamp shapes side by side, the body
// pure red, the surroundings olive. Painting copies the chosen shape with the surroundings in
// LedframeColor (the frame layer), then the body in the on or off colour (the colour layer),
// and stretches that over the whole control, which always stays square.
//
#pragma once

#include "controls/TLCDColors.h"

#include "platform/ui/controls/TCustomPanel.h"

#include <memory>

class TBitmap;

enum class TLedStatus { lOff, lOn };
using enum TLedStatus;
inline constexpr EnumIdent TLedStatusIdents[] = { { "lOff", lOff }, { "lOn", lOn } };
inline constexpr TEnumType<TLedStatus> TLedStatusType { "TLedStatus", TLedStatusIdents };

class TMled : public TCustomPanel {
public:
    /// Loads the strip (EResNotFound when the program lacks it) and makes the lamp 15 x 15:
    /// red when on, dark grey when off, on a silver frame.
    explicit TMled(TComponent* AOwner);
    ~TMled() override;

    // --- State (a change repaints without rebuilding the frame layer)
    bool GetLedOn() const { return FLedOn; }
    /// A value equal to the state changes nothing; otherwise sets LedStatus.
    void SetLedOn(bool Value);
    TLedStatus GetLedStatus() const { return FLedStatus; }
    /// Ignored when equal; keeps LedOn in step and repaints.
    void SetLedStatus(TLedStatus Value);
    /// Ignored when equal; a disabled lamp is grey (0x808080), on or off.
    void SetEnabled(bool Value) override;

    // --- Look (each store rebuilds the frame layer and repaints, equal or not)
    TLedOnColors GetLedOnColor() const { return FLedOnColor; }
    void SetLedOnColor(TLedOnColors Value);
    TLedOffColors GetLedOffColor() const { return FLedOffColor; }
    void SetLedOffColor(TLedOffColors Value);
    /// The colour that replaces the lamp's surroundings; forms give it their panel's face colour.
    TColor GetLedframeColor() const { return FLedframeColor; }
    void SetLedframeColor(TColor Value);
    /// Index of the shape in the strip; values past the last shape store the last one.
    uint16_t GetLedTyp() const { return FLedTyp; }
    void SetLedTyp(uint16_t Value);

protected:
    void Paint() override;
    /// The lamp stays square: the width follows the height.
    void Resize() override;
    void Loaded() override;

private:
    void buildFrameLayer();
    void buildColorLayer();
    void keepSquare();

    bool FLedOn = false;
    TLedStatus FLedStatus = lOff;
    TLedOnColors FLedOnColor = TLedOnColors::Rot;
    TLedOffColors FLedOffColor = TLedOffColors::dGrau;
    TColor FLedframeColor = clSilver;
    uint16_t FLedTyp = 0;

    std::unique_ptr<TBitmap> FStrip;
    std::unique_ptr<TBitmap> FFrameLayer;
    std::unique_ptr<TBitmap> FColorLayer;
    uint16_t FMaxTyp = 0;
    TRect FTarget;
    bool FRebuild = true;
    bool FPainted = false;
};
