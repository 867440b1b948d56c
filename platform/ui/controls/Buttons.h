//===- Buttons.h - Bitmap buttons and speed buttons -*- C++ -*-===//
#pragma once

#include "platform/ui/controls/StdCtrls.h"
#include "platform/ui/controls/TGraphicControl.h"

/// A push button of the bitmap-button family; it behaves as TButton.
class TBitBtn : public TButton {
public:
    using TButton::TButton;
};

/// A button without a window of its own that takes no focus: raised (or flat until the mouse is
/// over it), sunk while pressed or down. With a GroupIndex it stays down when clicked and
/// releases the other down button of its parent and group; AllowAllUp lets a click release it.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);

    bool GetDown() const { return FDown; }
    /// Ignored for GroupIndex 0.
    void SetDown(bool Value);
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool Value);

    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    bool DialogChar(char Key) override;
    void EnabledChanged() override;

private:
    void releaseGroup();

    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FPressed = false;
    bool FHot = false;
};
