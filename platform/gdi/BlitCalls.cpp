//===- BlitCalls.cpp - BitBlt, StretchBlt, PatBlt and pictures onto contexts -===//
#include "platform/gdi/Gdi.h"

#include "platform/gdi/DcBackend_p.h"
#include "platform/gdi/DeviceContext_p.h"
#include "platform/gdi/CoverageMask_p.h"
#include "platform/gdi/Dib.h"

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

} // namespace

bool BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSource, int YSource, uint32_t Rop) {
    return StretchBlt(Dest, X, Y, Width, Height, Source, XSource, YSource, Width, Height, Rop);
}

bool StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSource, int YSource,
    int SourceWidth, int SourceHeight, uint32_t Rop) {
    DeviceContext* dest = FindDeviceContext(Dest);
    RECT target, sourceRect;
    if (!dest || !extentRect(X, Y, Width, Height, target)) return false;
    if (!ropUsesSource(Rop)) {
        dest->backend().patBlt(dest->state(), target, Rop);
        return true;
    }
    DeviceContext* source = FindDeviceContext(Source);
    if (!source || !extentRect(XSource, YSource, SourceWidth, SourceHeight, sourceRect)) return false;
    BlitSource from{source, sourceRect};
    dest->backend().stretchBlt(dest->state(), target, from, Rop);
    return true;
}

bool PatBlt(HDC Dest, int X, int Y, int Width, int Height, uint32_t Rop) {
    DeviceContext* dest = FindDeviceContext(Dest);
    RECT target;
    if (!dest || ropUsesSource(Rop) || !extentRect(X, Y, Width, Height, target)) return false;
    dest->backend().patBlt(dest->state(), target, Rop);
    return true;
}

int StretchDIBits(HDC Dest, int X, int Y, int Width, int Height, int XSource, int YSource, int SourceWidth,
    int SourceHeight, const Dib& Picture, uint32_t Rop) {
    DeviceContext* dest = FindDeviceContext(Dest);
    RECT target, sourceRect;
    if (!dest || !extentRect(X, Y, Width, Height, target)
        || !extentRect(XSource, YSource, SourceWidth, SourceHeight, sourceRect))
        return 0;
    dest->backend().stretchDib(dest->state(), target, Picture, sourceRect, Rop);
    const int64_t rows = Height < 0 ? -int64_t(Height) : int64_t(Height);
    return int(std::min<int64_t>(rows, std::numeric_limits<int>::max()));
}

int SetDIBitsToDevice(HDC Dest, int X, int Y, int Width, int Height, int XSource, int YSource, const Dib& Picture) {
    return StretchDIBits(Dest, X, Y, Width, Height, XSource, YSource, Width, Height, Picture, SRCCOPY);
}
