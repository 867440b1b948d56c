//===- TMetafilePlayerBitmaps.cpp - Bitmap records as images of the document -===//
#include "pdf/TMetafilePlayer.h"

#include "pdf/PdfEmfRecord.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFPage.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TCanvas.h"

namespace {

/// The packed bitmap a record carries: its info (header and colour table) and its rows.
struct PackedBitmap {
    std::span<const uint8_t> Info, Bits;
};

PackedBitmap packedBitmap(const TEmfRecord& R, size_t BmiOffset, size_t BitsOffset)
{
    const uint32_t OffBmi = R.U32(BmiOffset), CbBmi = R.U32(BmiOffset + 4);
    const uint32_t OffBits = R.U32(BitsOffset), CbBits = R.U32(BitsOffset + 4);
    return PackedBitmap { R.Bytes(OffBmi, CbBmi), R.Bytes(OffBits, CbBits) };
}

/// A bitmap of the size, in one bit per pixel when the source has one (so that it is coded
/// as a fax image), else in 24 bits.
std::unique_ptr<TBitmap> blankBitmap(int Bits, int32_t Width, int32_t Height)
{
    auto Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetPixelFormat(Bits == 1 ? pf1bit : pf24bit);
    Bitmap->SetSize(Width, Height);
    return Bitmap;
}

} // namespace

int32_t TMetafilePlayer::addBitmap(const TEmfRecord& R, size_t BmiOffset, size_t BitsOffset, uint32_t Usage,
                                   int32_t XSrc, int32_t YSrc, int32_t Width, int32_t Height, uint32_t Rop)
{
    const PackedBitmap Packed = packedBitmap(R, BmiOffset, BitsOffset);
    if (!R.Ok() || Packed.Info.empty())
        return -1;
    const std::unique_ptr<Dib> Picture = Dib::FromPackedScans(Packed.Info, Packed.Bits, Usage, 0, UINT32_MAX);
    // Only a part that lies inside the picture is taken: the record's sizes cannot ask for more
    // pixels than it carries.
    if (!Picture || Width <= 0 || Height <= 0 || XSrc < 0 || YSrc < 0 || int64_t(XSrc) + Width > Picture->Width()
        || int64_t(YSrc) + Height > Picture->Height())
        return -1;
    std::unique_ptr<TBitmap> Bitmap = blankBitmap(Picture->Bits(), Width, Height);
    StretchDIBits(Bitmap->GetCanvas()->GetHandle(), 0, 0, Width, Height, XSrc, YSrc, Width, Height, Packed.Bits,
                  Packed.Info, Usage, Rop);
    const int32_t Kind = Picture->Bits() == 1 ? 4 : (Page.Document.EMFImageAsJpeg ? 1 : 0);
    return Page.Document.AddImage(*Bitmap, Kind, -1, false, -1);
}

void TMetafilePlayer::showAtBounds(int32_t Image, const TEmfRecord& R)
{
    const RECT B = R.Rect(8);
    Page.ShowImage(Image, plainX(B.left), plainY(B.top), plainX(double(B.right) - B.left),
                   plainY(double(B.bottom) - B.top), 0);
}

void TMetafilePlayer::fillDestination(int32_t X, int32_t Y, int32_t Width, int32_t Height)
{
    // A hollow brush paints nothing.
    if (BrushNull)
        return Page.NewPath();
    brushFillColor();
    Page.Rectangle(pointX(X), pointY(Y), pointX(double(X) + Width), pointY(double(Y) + Height));
    Page.Fill();
}

void TMetafilePlayer::stretchDIBits(const TEmfRecord& R)
{
    const RECT B = R.Rect(8);
    const int32_t XDest = R.I32(24), YDest = R.I32(28), XSrc = R.I32(32), YSrc = R.I32(36);
    const int32_t CxSrc = R.I32(40), CySrc = R.I32(44), CxDest = R.I32(72), CyDest = R.I32(76);
    const uint32_t Usage = R.U32(64), Rop = R.U32(68);
    if (!R.Ok())
        return;
    const int32_t Image = addBitmap(R, 48, 56, Usage, XSrc, YSrc, CxSrc, CySrc, Rop);
    if (Image < 0)
        return;
    if (plainX(double(B.right) - B.left) >= 1 && plainY(double(B.bottom) - B.top) >= 1)
        return showAtBounds(Image, R);
    const double X = pointX(XDest), Y = pointY(YDest);
    Page.ShowImage(Image, X, Y, pointX(double(XDest) + CxDest) - X, pointY(double(YDest) + CyDest) - Y, 0);
}

void TMetafilePlayer::setDIBitsToDevice(const TEmfRecord& R)
{
    const RECT B = R.Rect(8);
    const int32_t XSrc = R.I32(32), YSrc = R.I32(36), CxSrc = R.I32(40), CySrc = R.I32(44);
    const uint32_t Usage = R.U32(64), StartScan = R.U32(68), Scans = R.U32(72);
    const PackedBitmap Packed = packedBitmap(R, 48, 56);
    if (!R.Ok() || Packed.Info.empty())
        return;
    // The bitmap is no larger than the rows the record gives.
    const std::unique_ptr<Dib> Band = Dib::FromPackedScans(Packed.Info, Packed.Bits, Usage, StartScan, Scans);
    if (!Band || CxSrc <= 0 || CySrc <= 0 || CxSrc > Band->Width() || CySrc > Band->Height())
        return;
    std::unique_ptr<TBitmap> Bitmap = blankBitmap(Band->Bits(), CxSrc, CySrc);
    SetDIBitsToDevice(Bitmap->GetCanvas()->GetHandle(), 0, 0, UINT(CxSrc), UINT(CySrc), XSrc, YSrc, StartScan, Scans,
                      Packed.Bits, Packed.Info, Usage);
    const int32_t Kind = Band->Bits() == 1 ? 4 : (Page.Document.EMFImageAsJpeg ? 1 : 0);
    const int32_t Image = Page.Document.AddImage(*Bitmap, Kind, -1, false, -1);
    Page.ShowImage(Image, plainX(B.left), plainY(B.top), plainX(CxSrc), plainY(CySrc), 0);
}

void TMetafilePlayer::bitBlt(const TEmfRecord& R, bool Stretch)
{
    const int32_t XDest = R.I32(24), YDest = R.I32(28), CxDest = R.I32(32), CyDest = R.I32(36);
    const uint32_t Rop = R.U32(40);
    const int32_t XSrc = R.I32(44), YSrc = R.I32(48);
    const uint32_t Usage = R.U32(80), CbBmi = R.U32(88), CbBits = R.U32(96);
    const int32_t CxSrc = Stretch ? R.I32(100) : CxDest, CySrc = Stretch ? R.I32(104) : CyDest;
    if (!R.Ok())
        return;
    const bool WasText = TextColorMode;
    if (WasText) {
        TextColorMode = false;
        brushFillColor();
    }
    // Without a bitmap the record is a fill with the brush, whatever its source sizes say.
    if (CbBmi != 0 && CbBits != 0 && CxSrc != 0 && CySrc != 0) {
        const int32_t Image = addBitmap(R, 84, 92, Usage, XSrc, YSrc, CxSrc, CySrc, Rop);
        if (Image >= 0)
            showAtBounds(Image, R);
    } else if (CxDest != 0 && CyDest != 0) {
        fillDestination(XDest, YDest, CxDest, CyDest);
    } else {
        Page.NewPath();
    }
    if (WasText)
        TextColorMode = true;
}
