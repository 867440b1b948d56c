//===- TGraphicControl.cpp - Controls that only paint -----------------------===//
#include "platform/ui/controls/TGraphicControl.h"

#include "platform/ui/qt/PaintBuffer_p.h"
#include "platform/ui/qt/PaintedView_p.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/controls/TWinControl.h"

namespace {

const PublishedClass& GraphicControlClass = PublishClass<TGraphicControl, TControl>("TGraphicControl");

} // namespace

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FBuffer(std::make_unique<ui_private::PaintBuffer>(*this))
{
}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::GetCanvas() const { return FBuffer->canvas(); }

std::unique_ptr<ui_private::View> TGraphicControl::CreateView()
{
    return std::make_unique<ui_private::PaintedView>(*this, ui_private::Access::containerOf(*GetParent()));
}

void TGraphicControl::Invalidate()
{
    FBuffer->invalidate();
    TControl::Invalidate();
}

void TGraphicControl::Update()
{
    // Painted at once while the control is on a form; otherwise when it gets there.
    if (FBuffer->dirty() && ui_private::Access::hasWidget(*this))
        FBuffer->render();
    TControl::Invalidate();
}

void TGraphicControl::Paint() {}
