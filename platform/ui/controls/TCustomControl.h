//===- TCustomControl.h - Windowed controls that paint themselves -*- C++ -*-===//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/ui/controls/TWinControl.h"

#include <memory>

class TCanvas;

namespace ui_private {
class PaintBuffer;
} // namespace ui_private

/// A windowed control (it may hold other controls and take the focus) that paints itself. As
/// with graphic controls, Canvas draws into the control's picture at any time and Paint renders
/// it when the control needs painting; the picture starts each Paint filled with Color.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;

    TCanvas* GetCanvas() const;

    void Invalidate() override;
    void Update() override;

protected:
    /// Draws the control on Canvas; the default draws nothing.
    virtual void Paint();
    /// The window system's paint of the control into DC (the canvas's context); the default
    /// calls Paint. A control that caches its picture can tell this paint from a direct Paint.
    virtual void PaintWindow(HDC DC);

private:
    friend class ui_private::Access;
    std::unique_ptr<ui_private::View> CreateView() override;
    std::unique_ptr<ui_private::PaintBuffer> FBuffer;
};
