//===- TPDFImages.cpp - Image XObjects of a document ----------------------===//
#include "pdf/TPDFImages.h"

#include "pdf/PdfCCITT.h"
#include "pdf/PdfPrimitives.h"
#include "pdf/PdfSecurity.h"
#include "pdf/TPDFDocument.h"
#include "pdf/TPDFException.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TStream.h"
#include "platform/rtl/ZLib.h"
#include "platform/ui/graphics/TBitmap.h"
#include "platform/ui/graphics/TJPEGImage.h"

namespace {

/// Whether a 1 bit of the picture stands for black (its colour table is the other way round).
bool blackIsOne(const Dib& Picture)
{
    const bool TopBit = (Picture.ScanLine(0)[0] & 0x80) != 0;
    const bool Black = Picture.GetPixel(0, 0) == 0;
    return TopBit == Black;
}

/// The stencil of the bitmap: 1 (white) where it has the colour, 0 (black) elsewhere.
Dib maskOf(const Dib& Picture, COLORREF Colour)
{
    const Dib Full = Picture.Converted(24);
    Dib Mask(Full.Width(), Full.Height(), 1, true);
    for (int Y = 0; Y < Full.Height(); ++Y)
        for (int X = 0; X < Full.Width(); ++X)
            if (Full.GetPixel(X, Y) == Colour)
                Mask.SetIndex(X, Y, 1);
    return Mask;
}

std::vector<uint8_t> rgbRows(const Dib& Picture)
{
    const Dib Full = Picture.Converted(24);
    const size_t RowBytes = static_cast<size_t>(Full.Width()) * 3;
    std::vector<uint8_t> Rows;
    Rows.reserve(RowBytes * static_cast<size_t>(Full.Height()));
    for (int Y = 0; Y < Full.Height(); ++Y) {
        const uint8_t* Line = Full.ScanLine(Y);
        for (size_t I = 0; I < RowBytes; I += 3) {
            Rows.push_back(Line[I + 2]);
            Rows.push_back(Line[I + 1]);
            Rows.push_back(Line[I]);
        }
    }
    return Rows;
}

} // namespace

TPDFImage::TPDFImage(TPDFDocument* ADocument, const TGraphic& Graphic, int32_t Kind, TColor TransparentColor,
                     bool AIsMask, int32_t AMaskIndex)
    : Data(std::make_unique<TMemoryStream>()), FDocument(ADocument)
{
    const auto* Bitmap = dynamic_cast<const TBitmap*>(&Graphic);
    const auto* Jpeg = dynamic_cast<const TJPEGImage*>(&Graphic);
    if (AIsMask && !Bitmap)
        throw TPDFException(SMaskOnlyForBitmap);
    if ((!Bitmap && !Jpeg) || Kind < 0 || Kind >= 5)
        throw TPDFException(SNotValidImage);
    if (Kind >= 2 && !Bitmap)
        throw TPDFException(SCCITTOnlyForBitmap);
    MaskIndex = AMaskIndex;
    IsMask = AIsMask;
    Compression = Kind;
    Width = Graphic.GetWidth();
    Height = Graphic.GetHeight();
    if (!IsMask && Kind == 1) {
        TJPEGImage Coded;
        Coded.Assign(Graphic);
        Coded.SetProgressiveEncoding(false);
        Coded.SetCompressionQuality(FDocument ? FDocument->JPEGQuality : 80);
        Coded.SaveToStream(*Data);
        GrayScale = Coded.GetGrayscale();
        BitPerPixel = 8;
        Data->SetPosition(0);
        return;
    }
    if (!Bitmap) {
        TBitmap Copy;
        Copy.Assign(Graphic);
        if (Copy.GetDib()) {
            const std::vector<uint8_t> Packed = ZCompress(rgbRows(*Copy.GetDib()));
            Data->WriteBuffer(Packed.data(), static_cast<int32_t>(Packed.size()));
        }
        Data->SetPosition(0);
        return;
    }
    const Dib* Picture = Bitmap->GetDib();

    if (IsMask) {
        const TColor Colour = TransparentColor == -1 ? Bitmap->GetTransparentColor() : TransparentColor;
        if (Picture) {
            const Dib Mask = maskOf(*Picture, static_cast<COLORREF>(Colour) & 0xFFFFFF);
            BlackIs1 = blackIsOne(Mask);
            TCCITTCompression(Data.get(), 2).Compress(Mask);
        }
        Compression = 4;
        GrayScale = true;
        BitPerPixel = 1;
    } else if (Kind == 0) {
        if (Picture) {
            const std::vector<uint8_t> Packed = ZCompress(rgbRows(*Picture));
            Data->WriteBuffer(Packed.data(), static_cast<int32_t>(Packed.size()));
        }
        BitPerPixel = 8;
    } else {
        if (Bitmap->GetPixelFormat() != pf1bit)
            throw Exception("Not b/w image.");
        if (Picture)
            BlackIs1 = blackIsOne(*Picture);
        EncodeCCITT(*Bitmap, *Data, Kind - 2);
        BitPerPixel = 1;
    }
    Data->SetPosition(0);
}

TPDFImage::~TPDFImage() = default;

void TPDFImage::Save(TPDFDocument& Document)
{
    if (Saved)
        return;
    TPDFImage* Mask = MaskIndex >= 0 ? Document.Images().Items(MaskIndex) : nullptr;
    if (Mask)
        Mask->Save(Document);
    Document.StartObject(ObjectNumber);
    Document.WriteText("/Type /XObject");
    Document.WriteText("/Subtype /Image");
    // A stencil mask paints in the current colour: a colour space would make it invalid.
    if (!IsMask)
        Document.WriteText(BitPerPixel == 1 || GrayScale ? "/ColorSpace /DeviceGray" : "/ColorSpace /DeviceRGB");
    Document.WriteText("/BitsPerComponent " + IntToStr(BitPerPixel));
    Document.WriteText("/Width " + IntToStr(Width));
    Document.WriteText("/Height " + IntToStr(Height));
    if (IsMask)
        Document.WriteText("/ImageMask true");
    if (Mask)
        Document.WriteText("/Mask " + IntToStr(Mask->ObjectNumber) + " 0 R");
    if (Compression == 0)
        Document.WriteText("/Filter /FlateDecode");
    else if (Compression == 1)
        Document.WriteText("/Filter /DCTDecode");
    else
        Document.WriteText("/Filter [/CCITTFaxDecode]");
    Document.WriteText("/Length " + IntToStr(Data->GetSize()));
    if (Compression >= 2) {
        static const char* const K[] = { "0", "1", "-1" };
        Document.WriteText(std::string("/DecodeParms [<</K ") + K[Compression - 2] + " /Columns " + IntToStr(Width)
                           + " /Rows " + IntToStr(Height) + (BlackIs1 ? "/BlackIs1 true" : "") + ">>]");
    }
    Document.CloseDictionary();
    Document.StartStream();
    CryptStream(Document.GetProtectionEnabled(), Document.Key(), *Data, ObjectNumber);
    Document.WriteBytes(Data->Memory(), static_cast<size_t>(Data->GetSize()));
    Document.CloseStream();
    Document.CloseObject();
    Data->Clear();
    Saved = true;
}

TPDFImages::TPDFImages(TPDFDocument* ADocument) : FDocument(ADocument) {}

TPDFImages::~TPDFImages() = default;

TPDFImage* TPDFImages::Add(const TGraphic& Graphic, int32_t Kind, TColor TransparentColor, bool IsMask,
                           int32_t MaskIndex)
{
    if (MaskIndex >= 0) {
        if (IsMask)
            throw TPDFException(SMaskCannotHaveMask);
        if (MaskIndex >= Count())
            throw TPDFException(SUnknownMaskImage);
        if (!Items(MaskIndex)->IsMask)
            throw TPDFException(SMaskNotMarked);
    }
    auto Image = std::make_unique<TPDFImage>(FDocument, Graphic, Kind, TransparentColor, IsMask, MaskIndex);
    Image->ImageName = "Im" + IntToStr(Count());
    FItems.push_back(std::move(Image));
    return FItems.back().get();
}

void TPDFImages::Clear() { FItems.clear(); }
