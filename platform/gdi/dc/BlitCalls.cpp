//===- BlitCalls.cpp - BitBlt, StretchBlt, PatBlt and pictures onto contexts -===//
#include "platform/gdi/Gdi.h"

#include "platform/gdi/dc/DcBackend_p.h"
#include "platform/gdi/dc/DeviceContext_p.h"
#include "platform/gdi/raster/CoverageMask_p.h"
#include "platform/gdi/bitmaps/Dib.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

/// The rectangle at (X, Y) of that extent; false when its far edge does not fit an int, so that
/// absurd extents are refused instead of wrapping around.
bool extentRect(int X, int Y, int Width, int Height, RECT& Rect)
{
    const int64_t right = int64_t(X) + Width, bottom = int64_t(Y) + Height;
    constexpr int64_t low = std::numeric_limits<int32_t>::min(), high = std::numeric_limits<int32_t>::max();
    if (right < low || right > high || bottom < low || bottom > high)
        return false;
    Rect = RECT { X, Y, int32_t(right), int32_t(bottom) };
    return true;
}

/// The row, counted from the top of the picture, where a source rectangle starts whose Y is
/// counted from the picture's bottom when the picture is stored bottom-up.
int64_t topRow(const Dib& Picture, int64_t YSource, int64_t Height)
{
    return Picture.TopDown() ? YSource : int64_t(Picture.Height()) - YSource - Height;
}

bool fitsInt(int64_t V) { return V >= std::numeric_limits<int32_t>::min() && V <= std::numeric_limits<int32_t>::max(); }

} // namespace

bool BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSource, int YSource, uint32_t Rop)
{
    return StretchBlt(Dest, X, Y, Width, Height, Source, XSource, YSource, Width, Height, Rop);
}

bool StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSource, int YSource, int SourceWidth,
                int SourceHeight, uint32_t Rop)
{
    DeviceContext* dest = FindDeviceContext(Dest);
    RECT target, sourceRect;
    if (!dest || !extentRect(X, Y, Width, Height, target))
        return false;
    if (!ropUsesSource(Rop)) {
        dest->backend().patBlt(dest->state(), target, Rop);
        return true;
    }
    DeviceContext* source = FindDeviceContext(Source);
    if (!source || !extentRect(XSource, YSource, SourceWidth, SourceHeight, sourceRect))
        return false;
    BlitSource from { source, sourceRect };
    dest->backend().stretchBlt(dest->state(), target, from, Rop);
    return true;
}

bool PatBlt(HDC Dest, int X, int Y, int Width, int Height, uint32_t Rop)
{
    DeviceContext* dest = FindDeviceContext(Dest);
    RECT target;
    if (!dest || ropUsesSource(Rop) || !extentRect(X, Y, Width, Height, target))
        return false;
    dest->backend().patBlt(dest->state(), target, Rop);
    return true;
}

int StretchDIBits(HDC Dest, int X, int Y, int Width, int Height, int XSource, int YSource, int SourceWidth,
                  int SourceHeight, const Dib& Picture, uint32_t Rop)
{
    DeviceContext* dest = FindDeviceContext(Dest);
    RECT target, sourceRect;
    if (!dest || !extentRect(X, Y, Width, Height, target)
        || !extentRect(XSource, YSource, SourceWidth, SourceHeight, sourceRect))
        return 0;
    dest->backend().stretchDib(dest->state(), target, Picture, sourceRect, Rop);
    const int64_t rows = Height < 0 ? -int64_t(Height) : int64_t(Height);
    return int(std::min<int64_t>(rows, std::numeric_limits<int>::max()));
}

int SetDIBitsToDevice(HDC Dest, int X, int Y, int Width, int Height, int XSource, int YSource, const Dib& Picture)
{
    return StretchDIBits(Dest, X, Y, Width, Height, XSource, YSource, Width, Height, Picture, SRCCOPY);
}

int StretchDIBits(HDC Dest, int X, int Y, int Width, int Height, int XSource, int YSource, int SourceWidth,
                  int SourceHeight, std::span<const uint8_t> Bits, std::span<const uint8_t> Info, UINT Usage,
                  uint32_t Rop)
{
    if (!FindDeviceContext(Dest))
        return 0;
    auto picture = Dib::FromPackedScans(Info, Bits, Usage, 0, UINT32_MAX);
    const int64_t top = picture ? topRow(*picture, YSource, SourceHeight) : 0;
    if (!picture || !fitsInt(top))
        return 0;
    return StretchDIBits(Dest, X, Y, Width, Height, XSource, int(top), SourceWidth, SourceHeight, *picture, Rop);
}

int SetDIBitsToDevice(HDC Dest, int X, int Y, UINT Width, UINT Height, int XSource, int YSource, UINT StartScan,
                      UINT ScanLines, std::span<const uint8_t> Bits, std::span<const uint8_t> Info, UINT Usage)
{
    if (!FindDeviceContext(Dest) || Width > UINT(INT32_MAX) || Height > UINT(INT32_MAX))
        return 0;
    int rows = 0;
    auto band = Dib::FromPackedScans(Info, Bits, Usage, StartScan, ScanLines, nullptr, &rows);
    if (!band)
        return 0;
    const int64_t count = band->Height(), first = StartScan;
    // The source rows and the rows the band holds, both counted from the top of the picture.
    const int64_t top = band->TopDown() ? YSource : int64_t(rows) - YSource - int64_t(Height);
    const int64_t bandTop = band->TopDown() ? first : int64_t(rows) - first - count;
    const int64_t from = std::max(top, bandTop), to = std::min(top + int64_t(Height), bandTop + count);
    const int64_t destY = int64_t(Y) + (from - top);
    if (from < to && fitsInt(destY))
        StretchDIBits(Dest, X, int(destY), int(Width), int(to - from), XSource, int(from - bandTop), int(Width),
                      int(to - from), *band, SRCCOPY);
    return int(count);
}
