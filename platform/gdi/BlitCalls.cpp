//===- BlitCalls.cpp - BitBlt, StretchBlt, PatBlt and pictures onto contexts -===//
#include "platform/gdi/Gdi.h"

#include "platform/gdi/DcBackend_p.h"
#include "platform/gdi/DeviceContext_p.h"
#include "platform/gdi/CoverageMask_p.h"
#include "platform/gdi/Dib.h"

bool BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSource, int YSource, uint32_t Rop) {
    return StretchBlt(Dest, X, Y, Width, Height, Source, XSource, YSource, Width, Height, Rop);
}

bool StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSource, int YSource,
    int SourceWidth, int SourceHeight, uint32_t Rop) {
    DeviceContext* dest = FindDeviceContext(Dest);
    if (!dest) return false;
    const RECT target{X, Y, X + Width, Y + Height};
    if (!ropUsesSource(Rop)) {
        dest->backend().patBlt(dest->state(), target, Rop);
        return true;
    }
    DeviceContext* source = FindDeviceContext(Source);
    if (!source) return false;
    BlitSource from{source, RECT{XSource, YSource, XSource + SourceWidth, YSource + SourceHeight}};
    dest->backend().stretchBlt(dest->state(), target, from, Rop);
    return true;
}

bool PatBlt(HDC Dest, int X, int Y, int Width, int Height, uint32_t Rop) {
    DeviceContext* dest = FindDeviceContext(Dest);
    if (!dest || ropUsesSource(Rop)) return false;
    dest->backend().patBlt(dest->state(), RECT{X, Y, X + Width, Y + Height}, Rop);
    return true;
}

int StretchDIBits(HDC Dest, int X, int Y, int Width, int Height, int XSource, int YSource, int SourceWidth,
    int SourceHeight, const Dib& Picture, uint32_t Rop) {
    DeviceContext* dest = FindDeviceContext(Dest);
    if (!dest) return 0;
    dest->backend().stretchDib(dest->state(), RECT{X, Y, X + Width, Y + Height}, Picture,
        RECT{XSource, YSource, XSource + SourceWidth, YSource + SourceHeight}, Rop);
    return Height < 0 ? -Height : Height;
}

int SetDIBitsToDevice(HDC Dest, int X, int Y, int Width, int Height, int XSource, int YSource, const Dib& Picture) {
    return StretchDIBits(Dest, X, Y, Width, Height, XSource, YSource, Width, Height, Picture, SRCCOPY);
}
