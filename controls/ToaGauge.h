//===- ToaGauge.h - Progress gauge: percentage text, bar, pie or needle -*- C++ -*-===//
//
// The gauge keeps two images of its own size: the picture, which it copies to the screen, and
// a work image. A redraw paints the bevels into the picture with a black inside, draws the kind
// into the black work image and XORs it in, then XORs in the percentage written in white, so
// the text shows inverted against whatever lies beneath it.
//
#pragma once

#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/controls/TGraphicControl.h"

#include <cstdint>
#include <memory>

class TCanvas;

enum class TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
using enum TGaugeKind;
inline constexpr EnumIdent TGaugeKindIdents[] = {
    { "gkText", gkText },
    { "gkHorizontalBar", gkHorizontalBar },
    { "gkVerticalBar", gkVerticalBar },
    { "gkPie", gkPie },
    { "gkNeedle", gkNeedle },
};
inline constexpr TEnumType<TGaugeKind> TGaugeKindType { "TGaugeKind", TGaugeKindIdents };

// The gauge's bevel shapes share their identifiers with the panels' bevel cuts (bvNone ...), so
// they stay inside the unit's namespace.
namespace oaGauges {
enum class TBevelShape { bvNone, bvRaised, bvLowered, bvBorder, bvFrame };
inline constexpr EnumIdent TBevelShapeIdents[] = {
    { "bvNone", TBevelShape::bvNone },       { "bvRaised", TBevelShape::bvRaised },
    { "bvLowered", TBevelShape::bvLowered }, { "bvBorder", TBevelShape::bvBorder },
    { "bvFrame", TBevelShape::bvFrame },
};
inline constexpr TEnumType<TBevelShape> TBevelShapeType { "TBevelShape", TBevelShapeIdents };
} // namespace oaGauges

/// A bitmap that can take another bitmap's size.
class TBltBitmap : public TBitmap {
public:
    /// Gives this bitmap ATemplate's width and height.
    void MakeLike(const TBitmap& ATemplate);
};

class ToaGauge : public TGraphicControl {
public:
    /// 50 x 50, a black horizontal bar on white with the percentage, 0 of 0..100.
    explicit ToaGauge(TComponent* AOwner);
    ~ToaGauge() override;

    // --- Range and progress (each change recomputes the percentage; a new one redraws)
    int32_t GetMinValue() const { return FMinValue; }
    void SetMinValue(int32_t Value);
    int32_t GetMaxValue() const { return FMaxValue; }
    void SetMaxValue(int32_t Value);
    int32_t GetProgress() const { return FProgress; }
    /// Values outside MinValue..MaxValue are ignored.
    void SetProgress(int32_t Value);
    /// 0..100, truncated; -1 until the first paint. Read only.
    int GetPercentDone() const { return FPercentDone; }

    // --- Look (a change redraws)
    TGaugeKind GetKind() const { return FKind; }
    void SetKind(TGaugeKind Value);
    bool GetShowText() const { return FShowText; }
    void SetShowText(bool Value);
    TColor GetForeColor() const { return FForeColor; }
    void SetForeColor(TColor Value);
    TColor GetBackColor() const { return FBackColor; }
    void SetBackColor(TColor Value);
    oaGauges::TBevelShape GetBevel() const { return FBevel; }
    void SetBevel(oaGauges::TBevelShape Value);
    oaGauges::TBevelShape GetProgressBevel() const { return FProgressBevel; }
    void SetProgressBevel(oaGauges::TBevelShape Value);
    int GetBevelMargin() const { return FBevelMargin; }
    void SetBevelMargin(int Value);

protected:
    void Paint() override;
    void FontChanged() override;
    void ColorChanged() override;

private:
    void recalcPercent();
    void redraw();
    void drawBevel(TCanvas& Canvas, TRect& R, oaGauges::TBevelShape Shape) const;
    void drawKind(TCanvas& Canvas, const TRect& R) const;
    void drawPie(TCanvas& Canvas, const TRect& R, int W, int H) const;
    void drawNeedle(TCanvas& Canvas, const TRect& R, int W, int H) const;
    void drawText();
    void xorWorkIntoPicture();

    int32_t FMinValue = 0;
    int32_t FMaxValue = 100;
    int32_t FProgress = 0;
    int FPercentDone = -1;
    TGaugeKind FKind = gkHorizontalBar;
    bool FShowText = true;
    TColor FForeColor = clBlack;
    TColor FBackColor = clWhite;
    oaGauges::TBevelShape FBevel = oaGauges::TBevelShape::bvNone;
    oaGauges::TBevelShape FProgressBevel = oaGauges::TBevelShape::bvNone;
    int FBevelMargin = 0;

    std::unique_ptr<TBltBitmap> FPicture;
    std::unique_ptr<TBltBitmap> FWork;
    bool FPainted = false;
};
