//===- TGraphic.cpp - Pictures that a canvas can draw, and the picture holder ---===//
#include "platform/ui/graphics/TGraphic.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/components/UiConsts.h"

#include "platform/rtl/Format.h"

namespace {

const PublishedClass& GraphicClass = PublishClass<TGraphic, TPersistent>("TGraphic");
const PublishedClass& PictureClass = PublishClass<TPicture, TPersistent>("TPicture");

} // namespace

// --- TGraphic

TGraphic::~TGraphic() = default;

void TGraphic::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    Changed();
}

void TGraphic::Changed()
{
    if (OnChange)
        OnChange(this);
}

// --- TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::adopt(std::unique_ptr<TGraphic> Graphic)
{
    FGraphic = std::move(Graphic);
    if (FGraphic)
        FGraphic->OnChange = [this](TObject* Sender) { changed(Sender); };
    changed(this);
}

void TPicture::SetGraphic(const TGraphic* Value)
{
    if (!Value) {
        adopt(nullptr);
        return;
    }
    const auto* Bitmap = dynamic_cast<const TBitmap*>(Value);
    if (!Bitmap)
        throw EConvertError(Format(SAssignError, { Value->ClassName(), std::string("TPicture") }));
    auto Copy = std::make_unique<TBitmap>();
    Copy->Assign(*Bitmap);
    adopt(std::move(Copy));
}

TBitmap* TPicture::GetBitmap()
{
    auto* Bitmap = dynamic_cast<TBitmap*>(FGraphic.get());
    if (!Bitmap) {
        adopt(std::make_unique<TBitmap>());
        Bitmap = static_cast<TBitmap*>(FGraphic.get());
    }
    return Bitmap;
}

void TPicture::SetBitmap(const TBitmap& Value) { GetBitmap()->Assign(Value); }

int TPicture::GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }

int TPicture::GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

void TPicture::Assign(const TPersistent& Source)
{
    if (const auto* Picture = dynamic_cast<const TPicture*>(&Source)) {
        SetGraphic(Picture->GetGraphic());
        return;
    }
    if (const auto* Graphic = dynamic_cast<const TGraphic*>(&Source)) {
        SetGraphic(Graphic);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::changed(TObject*)
{
    if (OnChange)
        OnChange(this);
}
