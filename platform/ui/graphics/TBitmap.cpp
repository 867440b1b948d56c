//===- TBitmap.cpp - Bitmaps with a canvas, loaded from resources ------------===//
#include "platform/ui/graphics/TBitmap.h"

#include "platform/ui/components/FormReader.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/qt/QtConvert_p.h"
#include "platform/ui/graphics/TCanvas.h"
#include "platform/ui/components/UiConsts.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/bitmaps/Resources.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/Format.h"

#include <QImage>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

namespace {

const PublishedClass& BitmapClass = PublishClass<TBitmap, TGraphic>("TBitmap");

int bitsOf(TPixelFormat Format)
{
    switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    case pfDevice:
    case pf32bit: return 32;
    default: throw EInvalidGraphic(SInvalidPixelFormat);
    }
}

TPixelFormat formatOf(int Bits)
{
    switch (Bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    default: return pf32bit;
    }
}

/// A memory context with Picture selected; both go with the object.
class PictureDc {
public:
    explicit PictureDc(std::unique_ptr<Dib> Picture)
        : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateBitmapFromDib(std::move(Picture)))
    {
        old_ = SelectObject(dc_, bitmap_);
    }
    ~PictureDc()
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    PictureDc(const PictureDc&) = delete;
    PictureDc& operator=(const PictureDc&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_ = nullptr;
};

} // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap()
{
    FCanvas.reset();
    if (FDc) {
        if (FStockBitmap)
            SelectObject(FDc, FStockBitmap);
        DeleteDC(FDc);
    }
    if (FBitmap)
        DeleteObject(FBitmap);
}

// --- Size and depth

bool TBitmap::Empty() const { return !FBitmap; }

Dib* TBitmap::GetDib() const { return FBitmap ? GetBitmapDib(FBitmap) : nullptr; }

bool TBitmap::SavePictureFile(const std::string& FileName) const
{
    const Dib* Picture = GetDib();
    if (!Picture)
        return false;
    QSaveFile File(ui_private::toQString(FileName));
    if (!File.open(QIODevice::WriteOnly))
        return false;
    const bool Bmp = FileName.size() >= 4 && SameText(FileName.substr(FileName.size() - 4), ".bmp");
    if (Bmp) {
        const std::vector<uint8_t> Bytes = Picture->SaveBmp();
        if (File.write(reinterpret_cast<const char*>(Bytes.data()), qint64(Bytes.size())) != qint64(Bytes.size()))
            return false;
    } else {
        QImage Image(Picture->Width(), Picture->Height(), QImage::Format_RGB32);
        for (int Y = 0; Y < Picture->Height(); ++Y)
            for (int X = 0; X < Picture->Width(); ++X) {
                const COLORREF C = Picture->GetPixel(X, Y);
                Image.setPixel(X, Y, qRgb(GetRValue(C), GetGValue(C), GetBValue(C)));
            }
        if (!Image.save(&File, "PNG"))
            return false;
    }
    return File.commit();
}

HDC TBitmap::memoryDc() const
{
    if (!FDc) {
        FDc = CreateCompatibleDC(nullptr);
        if (FBitmap)
            FStockBitmap = SelectObject(FDc, FBitmap);
    }
    return FDc;
}

void TBitmap::replacePicture(std::unique_ptr<Dib> Picture, TPixelFormat Format)
{
    HBITMAP New = Picture ? CreateBitmapFromDib(std::move(Picture)) : nullptr;
    if (FDc) {
        if (New) {
            HGDIOBJ Old = SelectObject(FDc, New);
            if (!FStockBitmap)
                FStockBitmap = Old;
        } else if (FStockBitmap) {
            SelectObject(FDc, FStockBitmap);
            FStockBitmap = nullptr;
        }
    }
    if (FBitmap)
        DeleteObject(FBitmap);
    FBitmap = New;
    const Dib* Current = GetDib();
    FWidth = Current ? Current->Width() : 0;
    FHeight = Current ? Current->Height() : 0;
    FPixelFormat = Format;
    if (FCanvas)
        FCanvas->SetHandle(memoryDc());
    Changed();
}

void TBitmap::resize(int AWidth, int AHeight)
{
    AWidth = std::max(0, AWidth);
    AHeight = std::max(0, AHeight);
    if (AWidth == FWidth && AHeight == FHeight && (FBitmap || AWidth == 0 || AHeight == 0))
        return;
    if (AWidth == 0 || AHeight == 0) {
        replacePicture(nullptr, FPixelFormat);
        FWidth = AWidth;
        FHeight = AHeight;
        return;
    }
    const Dib* Old = GetDib();
    auto Picture = std::make_unique<Dib>(AWidth, AHeight, bitsOf(FPixelFormat), Old ? Old->TopDown() : false);
    if (Old && Old->Bits() <= 8)
        Picture->Palette() = Old->Palette();
    // New area takes the brush colour; the old picture keeps its place at the top left.
    const COLORREF Fill = ColorToRGB(static_cast<uint32_t>(FCanvas ? FCanvas->GetBrush()->GetColor() : clWhite));
    for (int Y = 0; Y < AHeight; ++Y)
        for (int X = 0; X < AWidth; ++X)
            Picture->SetPixel(X, Y, Fill);
    if (Old) {
        const int W = std::min(AWidth, Old->Width()), H = std::min(AHeight, Old->Height());
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X)
                Picture->SetIndex(X, Y, Old->GetIndex(X, Y));
    }
    replacePicture(std::move(Picture), FPixelFormat);
}

void TBitmap::SetWidth(int Value) { resize(Value, FHeight); }
void TBitmap::SetHeight(int Value) { resize(FWidth, Value); }
void TBitmap::SetSize(int AWidth, int AHeight) { resize(AWidth, AHeight); }

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
    const int Bits = bitsOf(Value);
    if (Value == FPixelFormat)
        return;
    if (const Dib* Current = GetDib(); Current && Current->Bits() != Bits)
        replacePicture(std::make_unique<Dib>(Current->Converted(Bits)), Value);
    else
        FPixelFormat = Value;
}

bool TBitmap::GetMonochrome() const
{
    const Dib* Current = GetDib();
    return Current ? Current->Bits() == 1 : FPixelFormat == pf1bit;
}

void TBitmap::SetMonochrome(bool Value)
{
    if (Value == GetMonochrome())
        return;
    SetPixelFormat(Value ? pf1bit : pfDevice);
}

// --- Transparency

TColor TBitmap::GetTransparentColor() const
{
    if (FTransparentMode == tmFixed)
        return FTransparentColor;
    const Dib* Current = GetDib();
    return Current ? static_cast<TColor>(Current->GetPixel(0, Current->Height() - 1)) : clDefault;
}

void TBitmap::SetTransparentColor(TColor Value)
{
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value)
{
    if (Value == tmAuto)
        FTransparentColor = clDefault;
    else if (FTransparentMode == tmAuto)
        FTransparentColor = GetTransparentColor();
    FTransparentMode = Value;
    Changed();
}

// --- Canvas

TCanvas* TBitmap::GetCanvas()
{
    if (!FCanvas) {
        FCanvas = std::make_unique<TCanvas>();
        FCanvas->SetHandle(memoryDc());
        FCanvas->OnChange = [this](TObject* Sender) { canvasChanged(Sender); };
    }
    return FCanvas.get();
}

void TBitmap::canvasChanged(TObject*) { Changed(); }

// --- Loading and copying

void TBitmap::LoadFromResourceName(std::string_view ResName)
{
    const std::span<const uint8_t> Bytes = FindResource(ResName);
    if (Bytes.empty())
        throw EResNotFound(Format(SResNotFound, { std::string(ResName) }));
    std::unique_ptr<Dib> Picture = Dib::LoadBmp(Bytes);
    if (!Picture)
        throw EInvalidGraphic(SInvalidBitmap);
    const TPixelFormat Format = formatOf(Picture->Bits());
    replacePicture(std::move(Picture), Format);
}

void TBitmap::Assign(const TPersistent& Source)
{
    const auto* Other = dynamic_cast<const TBitmap*>(&Source);
    if (!Other) {
        if (const auto* Graphic = dynamic_cast<const TGraphic*>(&Source))
            drawFrom(*Graphic);
        else
            TGraphic::Assign(Source);
        return;
    }
    if (Other == this)
        return;
    FTransparentColor = Other->FTransparentColor;
    FTransparentMode = Other->FTransparentMode;
    SetTransparent(Other->GetTransparent());
    const Dib* Picture = Other->GetDib();
    if (!Picture) {
        replacePicture(nullptr, Other->FPixelFormat);
        FWidth = Other->FWidth;
        FHeight = Other->FHeight;
        return;
    }
    replacePicture(std::make_unique<Dib>(*Picture), Other->FPixelFormat);
}

void TBitmap::drawFrom(const TGraphic& Graphic)
{
    const int W = Graphic.Empty() ? 0 : std::max(0, Graphic.GetWidth());
    const int H = Graphic.Empty() ? 0 : std::max(0, Graphic.GetHeight());
    if (W == 0 || H == 0) {
        replacePicture(nullptr, pf24bit);
        return;
    }
    auto Picture = std::make_unique<Dib>(W, H, 24);
    std::fill(Picture->Bytes().begin(), Picture->Bytes().end(), uint8_t(0xFF));
    replacePicture(std::move(Picture), pf24bit);
    GetCanvas()->StretchDraw(Rect(0, 0, W, H), Graphic);
}

void TBitmap::Mask(TColor TransparentColor)
{
    const Dib* Current = GetDib();
    if (!Current)
        return;
    // Through 24 bits: an indexed picture converted straight to one bit would keep its indexes.
    const Dib Colours = Current->Bits() == 24 ? Dib(*Current) : Current->Converted(24);
    replacePicture(std::make_unique<Dib>(Colours.Converted(1, ColorToRGB(static_cast<uint32_t>(TransparentColor)))),
                   pf1bit);
}

// --- Drawing

void TBitmap::Draw(TCanvas& ACanvas, const TRect& Rect) const
{
    if (Empty())
        return;
    HDC Dest = ACanvas.GetHandle();
    if (GetTransparent()) {
        drawTransparent(Dest, Rect);
        return;
    }
    // A monochrome picture shows its bits black on white, whatever the target's text colours.
    const bool Mono = GetMonochrome();
    COLORREF OldText = 0, OldBack = 0;
    if (Mono) {
        OldText = SetTextColor(Dest, 0x000000);
        OldBack = SetBkColor(Dest, 0xFFFFFF);
    }
    StretchBlt(Dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), memoryDc(), 0, 0, FWidth, FHeight,
               ACanvas.GetCopyMode());
    if (Mono) {
        SetTextColor(Dest, OldText);
        SetBkColor(Dest, OldBack);
    }
}

void TBitmap::drawTransparent(HDC Dest, const TRect& Rect) const
{
    const Dib& Picture = *GetDib();
    const COLORREF Key = ColorToRGB(static_cast<uint32_t>(GetTransparentColor()) & 0x00FFFFFF);
    // The mask has 1 where the picture shows the transparent colour; the image is black there.
    PictureDc Mask(std::make_unique<Dib>(Picture.Converted(1, Key)));
    auto Image = std::make_unique<Dib>(Picture.Converted(32));
    for (int Y = 0; Y < Image->Height(); ++Y)
        for (int X = 0; X < Image->Width(); ++X)
            if (Picture.GetPixel(X, Y) == Key)
                Image->SetPixel(X, Y, 0);
    PictureDc Colours(std::move(Image));
    const COLORREF OldText = SetTextColor(Dest, 0x000000);
    const COLORREF OldBack = SetBkColor(Dest, 0xFFFFFF);
    StretchBlt(Dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Mask.dc(), 0, 0, FWidth, FHeight, SRCAND);
    StretchBlt(Dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Colours.dc(), 0, 0, FWidth, FHeight, SRCPAINT);
    SetTextColor(Dest, OldText);
    SetBkColor(Dest, OldBack);
}
