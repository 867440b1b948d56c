//===- TMetafile.cpp - Enhanced metafiles as pictures, and their recording canvas ===//
#include "platform/ui/graphics/TMetafile.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TBitmap.h"

#include "platform/gdi/Gdi.h"

#include "platform/rtl/TStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

const PublishedClass& MetafileClass = PublishClass<TMetafile, TGraphic>("TMetafile");

// Header fields that the size depends on (the published layout).
constexpr size_t HeaderTypeAt = 0, SignatureAt = 40, BytesAt = 48, DeviceAt = 72, MillimetersAt = 80,
                 MicrometersAt = 100, HeaderSizeAt = 4;
constexpr size_t MinHeaderSize = 88;
constexpr uint32_t HeaderType = 1, Signature = 0x464D4520;
// Nothing this system draws comes near; a larger claim is a damaged or foreign file.
constexpr uint32_t MaxMetafileBytes = 256u << 20;

int32_t readI32(std::span<const uint8_t> Bytes, size_t At)
{
    int32_t Value = 0;
    if (At + 4 <= Bytes.size())
        std::memcpy(&Value, Bytes.data() + At, 4);
    return Value;
}

/// Reference pixels per 0.01 mm along x and y, as playback places the frame: from the
/// micrometre size when the header has it, else from the millimetre size, else 96 dpi.
std::pair<double, double> pixelsPer01mm(const EnhMetaFile& Image)
{
    const std::span<const uint8_t> Bytes = Image.Bytes();
    const bool Micrometers = uint32_t(readI32(Bytes, HeaderSizeAt)) >= MicrometersAt + 8;
    auto Axis = [&](size_t Offset) {
        const int32_t Device = readI32(Bytes, DeviceAt + Offset);
        const int32_t Micro = Micrometers ? readI32(Bytes, MicrometersAt + Offset) : 0;
        const int32_t Milli = readI32(Bytes, MillimetersAt + Offset);
        if (Device > 0 && Micro > 0)
            return Device * 10.0 / Micro;
        if (Device > 0 && Milli > 0)
            return Device / (Milli * 100.0);
        return 96 / 2540.0;
    };
    return { Axis(0), Axis(4) };
}

/// A size in pixels from the frame: 0..INT_MAX, clamped before it is narrowed, since a damaged
/// header may give any frame.
int pixelsOf(double Size)
{
    if (!(Size > 0))
        return 0;
    return int(std::lround(std::min(Size, double(std::numeric_limits<int>::max()))));
}

/// The whole of a metafile's bytes from the stream's position: the header names how many.
/// Empty when the stream holds no metafile header there or fewer bytes than it names.
std::vector<uint8_t> readMetafileBytes(TStream& Stream)
{
    std::vector<uint8_t> Bytes(MinHeaderSize);
    if (Stream.Read(Bytes.data(), int32_t(MinHeaderSize)) != int32_t(MinHeaderSize))
        return {};
    uint32_t Type = 0, Sign = 0, Total = 0;
    std::memcpy(&Type, Bytes.data() + HeaderTypeAt, 4);
    std::memcpy(&Sign, Bytes.data() + SignatureAt, 4);
    std::memcpy(&Total, Bytes.data() + BytesAt, 4);
    if (Type != HeaderType || Sign != Signature || Total < MinHeaderSize || Total > MaxMetafileBytes)
        return {};
    const int64_t Left = Stream.GetSize() - Stream.GetPosition();
    if (Left < int64_t(Total - MinHeaderSize))
        return {};
    Bytes.resize(Total);
    const int32_t Rest = int32_t(Total - MinHeaderSize);
    if (Stream.Read(Bytes.data() + MinHeaderSize, Rest) != Rest)
        return {};
    return Bytes;
}

} // namespace

// --- TMetafile

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

bool TMetafile::Empty() const { return !FImage; }

void TMetafile::SetWidth(int Value)
{
    Value = std::max(0, Value);
    if (Value == FWidth)
        return;
    FWidth = Value;
    Changed();
}

void TMetafile::SetHeight(int Value)
{
    Value = std::max(0, Value);
    if (Value == FHeight)
        return;
    FHeight = Value;
    Changed();
}

void TMetafile::adopt(HENHMETAFILE Image)
{
    FImage = std::move(Image);
    FWidth = FHeight = 0;
    if (FImage) {
        const RECT Frame = FImage->Frame();
        const auto [Kx, Ky] = pixelsPer01mm(*FImage);
        FWidth = pixelsOf((double(Frame.right) - Frame.left) * Kx);
        FHeight = pixelsOf((double(Frame.bottom) - Frame.top) * Ky);
    }
    Changed();
}

void TMetafile::SetHandle(HENHMETAFILE Value) { adopt(std::move(Value)); }

HENHMETAFILE TMetafile::ReleaseHandle()
{
    HENHMETAFILE Image = std::move(FImage);
    adopt(nullptr);
    return Image;
}

void TMetafile::Clear() { adopt(nullptr); }

std::optional<RECT> TMetafile::frameFor(HDC Reference) const
{
    if (FWidth <= 0 || FHeight <= 0)
        return std::nullopt;
    HDC Screen = Reference ? nullptr : GetDC(0);
    HDC Dc = Reference ? Reference : Screen;
    int DpiX = GetDeviceCaps(Dc, LOGPIXELSX), DpiY = GetDeviceCaps(Dc, LOGPIXELSY);
    if (Screen)
        ReleaseDC(0, Screen);
    // A reference that is no device context records as the screen does.
    if (DpiX <= 0 || DpiY <= 0)
        DpiX = DpiY = 96;
    return RECT { 0, 0, int(std::lround(FWidth * 2540.0 / DpiX)), int(std::lround(FHeight * 2540.0 / DpiY)) };
}

// --- Copying, files and streams

void TMetafile::Assign(const TPersistent& Source)
{
    const auto* Other = dynamic_cast<const TMetafile*>(&Source);
    if (!Other) {
        TGraphic::Assign(Source);
        return;
    }
    if (Other == this)
        return;
    FImage = Other->FImage ? CopyEnhMetaFile(*Other->FImage) : nullptr;
    // The size is the other's, which may differ from its frame after SetWidth.
    FWidth = Other->FWidth;
    FHeight = Other->FHeight;
    SetTransparent(Other->GetTransparent());
    Changed();
}

void TMetafile::LoadFromStream(TStream& Stream)
{
    const int64_t Start = Stream.GetPosition();
    const std::vector<uint8_t> Bytes = readMetafileBytes(Stream);
    HENHMETAFILE Image = Bytes.empty() ? nullptr : SetEnhMetaFileBits(Bytes);
    if (!Image) {
        // The caller may try another reader at the same place.
        Stream.Seek(Start, soFromBeginning);
        throw EInvalidGraphic(SInvalidMetafile);
    }
    adopt(std::move(Image));
}

void TMetafile::SaveToStream(TStream& Stream) const
{
    if (!FImage)
        return;
    const std::span<const uint8_t> Bytes = FImage->Bytes();
    Stream.WriteBuffer(Bytes.data(), int32_t(Bytes.size()));
}

void TMetafile::LoadFromFile(const std::string& FileName)
{
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(Stream);
}

void TMetafile::SaveToFile(const std::string& FileName) const
{
    TFileStream Stream(FileName, fmCreate);
    SaveToStream(Stream);
}

// --- Drawing

void TMetafile::Draw(TCanvas& ACanvas, const TRect& Rect) const
{
    if (!FImage)
        return;
    PlayEnhMetaFile(ACanvas.GetHandle(), *FImage, Rect);
}

// --- TMetafileCanvas

TMetafileCanvas::TMetafileCanvas(TMetafile& AMetafile, HDC ReferenceDevice) : FMetafile(AMetafile)
{
    const std::optional<RECT> Frame = AMetafile.frameFor(ReferenceDevice);
    FRecording = CreateEnhMetaFile(ReferenceDevice, Frame ? &*Frame : nullptr);
    SetHandle(FRecording);
}

TMetafileCanvas::~TMetafileCanvas()
{
    // The canvas lets go of the context first, so nothing is selected into it afterwards.
    SetHandle(nullptr);
    if (HENHMETAFILE Image = CloseEnhMetaFile(FRecording))
        FMetafile.adopt(std::move(Image));
}
