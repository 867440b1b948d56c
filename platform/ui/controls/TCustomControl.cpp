//===- TCustomControl.cpp - Windowed controls that paint themselves ---------===//
#include "platform/ui/controls/TCustomControl.h"

#include "platform/ui/qt/PaintBuffer_p.h"
#include "platform/ui/qt/PaintedView_p.h"
#include "platform/ui/components/Published.h"

namespace {

const PublishedClass& CustomControlClass = PublishClass<TCustomControl, TWinControl>("TCustomControl");

} // namespace

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FBuffer(std::make_unique<ui_private::PaintBuffer>(*this))
{
}

TCustomControl::~TCustomControl() = default;

TCanvas* TCustomControl::GetCanvas() const { return FBuffer->canvas(); }

std::unique_ptr<ui_private::View> TCustomControl::CreateView()
{
    return std::make_unique<ui_private::PaintedView>(*this, ui_private::Access::containerOf(*GetParent()));
}

void TCustomControl::Invalidate()
{
    FBuffer->invalidate();
    TWinControl::Invalidate();
}

void TCustomControl::Update()
{
    if (FBuffer->dirty() && ui_private::Access::hasWidget(*this))
        FBuffer->render();
    TWinControl::Invalidate();
}

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(HDC) { Paint(); }
