//===- TCustomPanel.h - Panels: a colour, bevels, a border and a centred caption -*- C++ -*-===//
#pragma once

#include "platform/ui/controls/TCustomControl.h"
#include "platform/ui/forms/TForm.h"
#include "platform/ui/controls/UiTypes.h"

/// Draws Width rectangles inside Rect, each one pixel smaller: left and top edges in TopColor,
/// right and bottom edges in BottomColor. Rect comes back shrunk by Width on every side.
void Frame3D(TCanvas& Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

/// The inherited paint of panels, which panel-based controls call first: from the outside in,
/// the outer bevel (BevelWidth pixels, raised: highlight top-left and shadow bottom-right,
/// lowered: the other way round), BorderWidth pixels of Color, the inner bevel, then the rest
/// filled with Color and the caption centred vertically in the font. BorderStyle bsSingle adds
/// a one-pixel frame outside all of it.
class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelWidth GetBevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(TBevelWidth Value);
    TBorderWidth GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(TBorderWidth Value);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void Paint() override;
    TRect AlignRect() const override;

private:
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    TBevelWidth FBevelWidth = 1;
    TBorderWidth FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
public:
    using TCustomPanel::TCustomPanel;
};
