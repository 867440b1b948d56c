//===- TJPEGImage.cpp - JPEG pictures: loaded, saved, drawn and copied to and from bitmaps ===//
#include "platform/ui/graphics/TJPEGImage.h"

#include "platform/ui/graphics/JpegCodec_p.h"
#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TCanvas.h"

#include "platform/gdi/bitmaps/Dib.h"

#include "platform/rtl/TStream.h"

#include <algorithm>

namespace {

const PublishedClass& JPEGImageClass = PublishClass<TJPEGImage, TGraphic>("TJPEGImage");

constexpr const char* SJpegNotValid = "JPEG image is not valid: ";
constexpr const char* SJpegEmpty = "Cannot save an empty JPEG image";

uint8_t luma(uint8_t R, uint8_t G, uint8_t B) { return uint8_t((299 * R + 587 * G + 114 * B + 500) / 1000); }

/// The pixels as a 24-bit picture (rows top-down).
std::unique_ptr<Dib> pictureOf(const ui_private::JpegPixels& Pixels)
{
    auto Picture = std::make_unique<Dib>(Pixels.Width, Pixels.Height, 24);
    const int Step = Pixels.Gray ? 1 : 3;
    for (int Y = 0; Y < Pixels.Height; ++Y) {
        const uint8_t* From = Pixels.Bytes.data() + size_t(Y) * Pixels.Width * Step;
        uint8_t* To = Picture->ScanLine(Y);
        for (int X = 0; X < Pixels.Width; ++X, From += Step, To += 3) {
            // Dibs hold blue, green, red.
            To[0] = From[Step == 3 ? 2 : 0];
            To[1] = From[Step == 3 ? 1 : 0];
            To[2] = From[0];
        }
    }
    return Picture;
}

ui_private::JpegPixels pixelsOf(const Dib& Picture, bool Gray)
{
    ui_private::JpegPixels Pixels;
    Pixels.Width = Picture.Width();
    Pixels.Height = Picture.Height();
    Pixels.Gray = Gray;
    Pixels.Bytes.reserve(size_t(Pixels.Width) * Pixels.Height * (Gray ? 1 : 3));
    for (int Y = 0; Y < Pixels.Height; ++Y)
        for (int X = 0; X < Pixels.Width; ++X) {
            const COLORREF C = Picture.GetPixel(X, Y);
            if (Gray) {
                Pixels.Bytes.push_back(luma(GetRValue(C), GetGValue(C), GetBValue(C)));
            } else {
                Pixels.Bytes.push_back(GetRValue(C));
                Pixels.Bytes.push_back(GetGValue(C));
                Pixels.Bytes.push_back(GetBValue(C));
            }
        }
    return Pixels;
}

void makeGray(Dib& Picture)
{
    for (int Y = 0; Y < Picture.Height(); ++Y) {
        uint8_t* P = Picture.ScanLine(Y);
        for (int X = 0; X < Picture.Width(); ++X, P += 3)
            P[0] = P[1] = P[2] = luma(P[2], P[1], P[0]);
    }
}

} // namespace

TJPEGImage::TJPEGImage() : FBitmap(std::make_unique<TBitmap>()) { FBitmap->SetPixelFormat(pf24bit); }

TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() const { return FBitmap->Empty(); }
int TJPEGImage::GetWidth() const { return FBitmap->GetWidth(); }
int TJPEGImage::GetHeight() const { return FBitmap->GetHeight(); }

// --- Compression settings

void TJPEGImage::settingChanged()
{
    // The bytes kept no longer say what the settings ask for.
    FData.clear();
    Changed();
}

void TJPEGImage::SetCompressionQuality(int Value)
{
    Value = std::clamp(Value, 1, 100);
    if (Value == FQuality)
        return;
    FQuality = Value;
    settingChanged();
}

void TJPEGImage::SetGrayscale(bool Value)
{
    if (Value == FGrayscale)
        return;
    FGrayscale = Value;
    if (FGrayscale && FBitmap->GetDib())
        makeGray(*FBitmap->GetDib());
    settingChanged();
}

void TJPEGImage::SetProgressiveEncoding(bool Value)
{
    if (Value == FProgressive)
        return;
    FProgressive = Value;
    settingChanged();
}

// --- Files and streams

void TJPEGImage::LoadFromStream(TStream& Stream)
{
    std::vector<uint8_t> Data;
    uint8_t Chunk[65536];
    while (const int32_t Got = Stream.Read(Chunk, sizeof(Chunk)))
        Data.insert(Data.end(), Chunk, Chunk + Got);
    ui_private::JpegPixels Pixels;
    std::string Reason;
    if (!ui_private::decodeJpeg(Data, false, Dib::MaxPixels, Pixels, Reason))
        throw EInvalidGraphic(SJpegNotValid + Reason);
    FBitmap->replacePicture(pictureOf(Pixels), pf24bit);
    FGrayscale = Pixels.Gray;
    FData = std::move(Data);
    Changed();
}

const std::vector<uint8_t>& TJPEGImage::compressed() const
{
    if (!FData.empty())
        return FData;
    const Dib* Picture = FBitmap->GetDib();
    if (!Picture)
        throw EInvalidGraphic(SJpegEmpty);
    std::string Reason;
    if (!ui_private::encodeJpeg(pixelsOf(*Picture, FGrayscale), FQuality, FProgressive, FData, Reason))
        throw EInvalidGraphic(SJpegNotValid + Reason);
    return FData;
}

void TJPEGImage::SaveToStream(TStream& Stream) const
{
    const std::vector<uint8_t>& Data = compressed();
    Stream.WriteBuffer(Data.data(), static_cast<int32_t>(Data.size()));
}

void TJPEGImage::LoadFromFile(const std::string& FileName)
{
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(Stream);
}

void TJPEGImage::SaveToFile(const std::string& FileName) const
{
    // Compressed before the file is made, so that a failure leaves no empty file behind.
    compressed();
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(Stream);
}

// --- Copying and drawing

void TJPEGImage::Assign(const TPersistent& Source)
{
    if (const auto* Other = dynamic_cast<const TJPEGImage*>(&Source)) {
        if (Other == this)
            return;
        FBitmap->Assign(*Other->FBitmap);
        FData = Other->FData;
        FQuality = Other->FQuality;
        FGrayscale = Other->FGrayscale;
        FProgressive = Other->FProgressive;
        Changed();
        return;
    }
    if (!dynamic_cast<const TGraphic*>(&Source)) {
        TGraphic::Assign(Source);
        return;
    }
    FBitmap->Assign(Source);
    FBitmap->SetPixelFormat(pf24bit);
    if (FGrayscale && FBitmap->GetDib())
        makeGray(*FBitmap->GetDib());
    FData.clear();
    Changed();
}

void TJPEGImage::Draw(TCanvas& ACanvas, const TRect& Rect) const
{
    if (!Empty())
        ACanvas.StretchDraw(Rect, *FBitmap);
}
