//===- TGraphicControl.h - Controls that only paint: labels, bevels, speed buttons -*- C++ -*-===//
#pragma once

#include "platform/ui/controls/TControl.h"

#include <memory>

class TCanvas;

namespace ui_private {
class PaintBuffer;
} // namespace ui_private

/// A control that paints itself and takes no focus. Its Canvas draws into the control's picture
/// at any time; Paint renders the whole picture whenever the control needs painting (after
/// Invalidate, Repaint, a change of size or being shown again). Before Paint the picture holds
/// what the parent shows beneath the control, so what Paint leaves alone looks transparent.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    TCanvas* GetCanvas() const;

    void Invalidate() override;
    void Update() override;

protected:
    /// Draws the control on Canvas; the default draws nothing.
    virtual void Paint();

private:
    friend class ui_private::Access;
    std::unique_ptr<ui_private::View> CreateView() override;
    std::unique_ptr<ui_private::PaintBuffer> FBuffer;
};
