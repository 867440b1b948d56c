//===- TMLCD.h - Seven-segment display of an integer, decimal or hexadecimal -*- C++ -*-===//
//
// The digits come from the bitmap strip "LCDDIGITS": eighteen 13 x 23 glyphs (0-9, A-F, blank,
// minus), black background, lit segments pure red, unlit segments white. A paint first recolours
// the strip when its colours changed (white to the off colour, then red to the on colour, then
// black to the frame colour, in that order), then stretches one glyph into each cell. The width
// always follows from the height and the number of digits.
//
#pragma once

#include "controls/TLCDColors.h"

#include "platform/ui/controls/TCustomPanel.h"

#include <cstdint>
#include <memory>
#include <string>

class TBitmap;

enum class TLcdFormat { DEZ, HEX };
inline constexpr EnumIdent TLcdFormatIdents[] = { { "DEZ", TLcdFormat::DEZ }, { "HEX", TLcdFormat::HEX } };
inline constexpr TEnumType<TLcdFormat> TLcdFormatType { "TLcdFormat", TLcdFormatIdents };

class TMLCD : public TCustomPanel {
public:
    /// Loads the strip (EResNotFound when the program lacks it); 4 digits, 23 high, 52 wide,
    /// yellow on dark yellow on black.
    explicit TMLCD(TComponent* AOwner);
    ~TMLCD() override;

    // --- What is shown (ignored when equal; repaint without recolouring)
    int32_t GetValue() const { return FValue; }
    void SetValue(int32_t Value);
    TLcdFormat GetFormat() const { return FFormat; }
    void SetFormat(TLcdFormat Value);
    /// False shows blanks.
    bool GetLCDOn() const { return FLCDOn; }
    void SetLCDOn(bool Value);
    /// False shows blanks.
    void SetEnabled(bool Value) override;
    /// The text of the last paint: NumOfDigits characters, or ten blanks while dark. Read only.
    const std::string& GetValueString() const { return FValueString; }

    // --- Layout and colours (ignored when equal; recolour and repaint)
    uint16_t GetNumOfDigits() const { return FNumOfDigits; }
    /// 1 to 10 (0 stores 1, more than 10 stores 10); the width follows.
    void SetNumOfDigits(uint16_t Value);
    TLCDColors GetLCDOnColor() const { return FLCDOnColor; }
    void SetLCDOnColor(TLCDColors Value);
    TLCDColors GetLCDOffColor() const { return FLCDOffColor; }
    void SetLCDOffColor(TLCDColors Value);
    TColor GetLCDframeColor() const { return FLCDframeColor; }
    void SetLCDframeColor(TColor Value);

protected:
    void Paint() override;
    void Resize() override;
    void Loaded() override;

private:
    void adjustSize();
    void recolor();
    std::string valueText() const;

    int32_t FValue = 0;
    TLcdFormat FFormat = TLcdFormat::DEZ;
    uint16_t FNumOfDigits = 4;
    TLCDColors FLCDOnColor = TLCDColors::Gelb;
    TLCDColors FLCDOffColor = TLCDColors::dGelb;
    TColor FLCDframeColor = clBlack;
    bool FLCDOn = true;
    std::string FValueString;

    std::unique_ptr<TBitmap> FStrip;
    std::unique_ptr<TBitmap> FColored;
    int FCell = 13;
    bool FRebuild = true;
    bool FPainted = false;
};
