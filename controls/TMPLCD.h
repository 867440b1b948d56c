//===- TMPLCD.h - Seven-segment display of a value with decimals -*- C++ -*-===//
//
// The digits come from the bitmap strip "LCDPDIGITS": twenty-four 16 x 23 glyphs (0-9, blank,
// minus, then the same twelve with a decimal point in the three columns at their left edge).
// The point takes no cell of its own: it is drawn with the digit after it. With AutoDist the
// cells are narrow (the point columns are left out) except the one that carries the point.
// Colours and recolouring as for TMLCD.
//
#pragma once

#include "controls/TLCDColors.h"

#include "platform/ui/controls/TCustomPanel.h"

#include <cstdint>
#include <memory>
#include <string>

class TBitmap;

class TMPLCD : public TCustomPanel {
public:
    /// Loads the strip (EResNotFound when the program lacks it); 4 digits without decimals,
    /// narrow cells, 23 high, 56 wide, yellow on dark yellow on black.
    explicit TMPLCD(TComponent* AOwner);
    ~TMPLCD() override;

    // --- What is shown (ignored when equal; repaint without recolouring)
    double GetValue() const { return FValue; }
    void SetValue(double Value);
    /// False shows blanks.
    bool GetLCDOn() const { return FLCDOn; }
    void SetLCDOn(bool Value);
    /// False shows blanks.
    void SetEnabled(bool Value) override;

    // --- Layout and colours (ignored when equal; recolour and repaint)
    uint16_t GetNumOfDigits() const { return FNumOfDigits; }
    /// 1 to 10 (0 stores 1, more than 10 stores 10); lowers NumOfDecimals to it; the width follows.
    void SetNumOfDigits(uint16_t Value);
    uint16_t GetNumOfDecimals() const { return FNumOfDecimals; }
    /// At most NumOfDigits.
    void SetNumOfDecimals(uint16_t Value);
    bool GetAutoDist() const { return FAutoDist; }
    void SetAutoDist(bool Value);
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
    void drawText(const std::string& Text);

    double FValue = 0.0;
    uint16_t FNumOfDigits = 4;
    uint16_t FNumOfDecimals = 0;
    bool FAutoDist = true;
    TLCDColors FLCDOnColor = TLCDColors::Gelb;
    TLCDColors FLCDOffColor = TLCDColors::dGelb;
    TColor FLCDframeColor = clBlack;
    bool FLCDOn = true;

    std::unique_ptr<TBitmap> FStrip;
    std::unique_ptr<TBitmap> FColored;
    int FCellWidth = 16; // a full cell, point columns included
    int FGap = 1;        // one point column at this height
    bool FRebuild = true;
    bool FPainted = false;
};
