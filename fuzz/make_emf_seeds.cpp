//===- make_emf_seeds.cpp - Writes recorded metafiles as seeds of the metafile fuzz targets ===//
//
//   make_emf_seeds <folder>
//
// Each drawing covers a family of records as the recorder writes them, so that mutations
// start from well-formed records of every kind that playback reads.
//
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/metafile/EnhMetaFile.h"
#include "platform/gdi/Gdi.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Drawing {
    const char* Name;
    std::function<void(HDC)> Draw;
};

void shapes(HDC Dc)
{
    HPEN Pen = CreatePen(PS_DASH, 1, 0x0000FF);
    HBRUSH Brush = CreateHatchBrush(HS_DIAGCROSS, 0x00FF00);
    SelectObject(Dc, Pen);
    SelectObject(Dc, Brush);
    Rectangle(Dc, 2, 2, 30, 20);
    Ellipse(Dc, 10, 5, 40, 35);
    RoundRect(Dc, 0, 20, 25, 40, 6, 6);
    Arc(Dc, 5, 5, 45, 45, 45, 25, 5, 25);
    Pie(Dc, 20, 0, 48, 28, 48, 14, 20, 0);
    Chord(Dc, 0, 0, 28, 28, 0, 14, 28, 14);
    SelectObject(Dc, GetStockObject(BLACK_PEN));
    SelectObject(Dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(Pen);
    DeleteObject(Brush);
}

void lines(HDC Dc)
{
    const POINT Star[] = { { 20, 0 }, { 26, 40 }, { 0, 14 }, { 40, 14 }, { 14, 40 } };
    const int Counts[] = { 3, 2 };
    HPEN Wide = CreatePen(PS_SOLID, 5, 0x804020);
    SelectObject(Dc, Wide);
    SetPolyFillMode(Dc, WINDING);
    Polygon(Dc, Star, 5);
    Polyline(Dc, Star, 4);
    PolyPolygon(Dc, Star, Counts, 2);
    MoveToEx(Dc, 0, 0, nullptr);
    LineTo(Dc, 47, 31);
    SetPixel(Dc, 3, 3, 0x123456);
    SelectObject(Dc, GetStockObject(BLACK_PEN));
    DeleteObject(Wide);
}

void mapping(HDC Dc)
{
    SetMapMode(Dc, MM_ANISOTROPIC);
    SetWindowOrgEx(Dc, -100, -50, nullptr);
    SetWindowExtEx(Dc, 1000, 1000, nullptr);
    SetViewportOrgEx(Dc, 4, 4, nullptr);
    SetViewportExtEx(Dc, 40, -30, nullptr);
    Rectangle(Dc, 0, 0, 500, 500);
    SetGraphicsMode(Dc, GM_ADVANCED);
    XFORM Turn;
    Turn.eM11 = 0.8f, Turn.eM12 = 0.6f, Turn.eM21 = -0.6f, Turn.eM22 = 0.8f, Turn.eDx = 10;
    SetWorldTransform(Dc, Turn);
    ModifyWorldTransform(Dc, &Turn, MWT_LEFTMULTIPLY);
    Ellipse(Dc, 0, 0, 300, 200);
    ModifyWorldTransform(Dc, nullptr, MWT_IDENTITY);
}

void clipping(HDC Dc)
{
    SaveDC(Dc);
    IntersectClipRect(Dc, 5, 5, 40, 30);
    ExcludeClipRect(Dc, 10, 10, 20, 20);
    HRGN Region = CreateRectRgn(0, 0, 30, 30);
    ExtSelectClipRgn(Dc, Region, RGN_AND);
    FillRect(Dc, RECT { 0, 0, 48, 32 }, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    RestoreDC(Dc, -1);
    SelectClipRgn(Dc, nullptr);
    DeleteObject(Region);
    SetROP2(Dc, R2_XORPEN);
    Rectangle(Dc, 1, 1, 20, 20);
}

void text(HDC Dc)
{
    LOGFONTA Font;
    Font.lfHeight = -12;
    Font.lfWeight = 700;
    Font.lfItalic = 1;
    Font.lfEscapement = 300;
    std::snprintf(Font.lfFaceName, sizeof Font.lfFaceName, "%s", "Arial");
    HFONT Face = CreateFontIndirect(Font);
    SelectObject(Dc, Face);
    SetTextColor(Dc, 0x0000C0);
    SetBkColor(Dc, 0xC0FFC0);
    SetBkMode(Dc, OPAQUE);
    SetTextAlign(Dc, TA_BASELINE | TA_CENTER);
    TextOut(Dc, 24, 20, "Heliant \xE4\xF6");
    const RECT Box { 0, 0, 48, 16 };
    ExtTextOut(Dc, 0, 12, ETO_OPAQUE | ETO_CLIPPED, &Box, "248 nm", nullptr);
    SelectObject(Dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(Face);
}

void bitmaps(HDC Dc)
{
    for (int Bits : { 1, 4, 8, 24, 32 }) {
        Dib Picture(7, 5, Bits, Bits == 8);
        for (int Y = 0; Y < 5; ++Y)
            for (int X = 0; X < 7; ++X)
                Picture.SetPixel(X, Y, COLORREF(X * 0x240000 + Y * 0x3300 + Bits));
        StretchDIBits(Dc, Bits, Bits / 2, 14, -10, 1, 0, 6, 5, Picture, SRCCOPY);
        SetDIBitsToDevice(Dc, 40 - Bits, 2, 7, 5, 0, 0, Picture);
    }
    HDC Memory = CreateCompatibleDC(nullptr);
    HBITMAP Bitmap = CreateCompatibleBitmap(Dc, 9, 6);
    HGDIOBJ Old = SelectObject(Memory, Bitmap);
    Ellipse(Memory, 0, 0, 9, 6);
    BitBlt(Dc, 1, 1, 9, 6, Memory, 0, 0, SRCCOPY);
    StretchBlt(Dc, 10, 10, 18, -12, Memory, 0, 0, 9, 6, SRCINVERT);
    SelectObject(Dc, CreatePatternBrush(Bitmap));
    PatBlt(Dc, 0, 20, 30, 10, PATCOPY);
    DeleteObject(SelectObject(Dc, GetStockObject(WHITE_BRUSH)));
    SelectObject(Memory, Old);
    DeleteObject(Bitmap);
    DeleteDC(Memory);
}

void nested(HDC Dc)
{
    HDC Inner = CreateEnhMetaFile(nullptr, nullptr);
    IntersectClipRect(Inner, 2, 2, 20, 20);
    shapes(Inner);
    HENHMETAFILE Picture = CloseEnhMetaFile(Inner);
    PlayEnhMetaFile(Dc, *Picture, RECT { 4, 4, 40, 28 });
    lines(Dc);
}

bool writeFile(const std::string& Path, std::span<const uint8_t> Bytes)
{
    FILE* File = std::fopen(Path.c_str(), "wb");
    if (!File)
        return false;
    const bool Written = std::fwrite(Bytes.data(), 1, Bytes.size(), File) == Bytes.size();
    return std::fclose(File) == 0 && Written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_emf_seeds <folder>\n");
        return 2;
    }
    const std::vector<Drawing> Drawings = {
        { "shapes", shapes }, { "lines", lines },     { "mapping", mapping }, { "clipping", clipping },
        { "text", text },     { "bitmaps", bitmaps }, { "nested", nested },
    };
    for (const Drawing& D : Drawings) {
        HDC Dc = CreateEnhMetaFile(nullptr, nullptr);
        D.Draw(Dc);
        HENHMETAFILE Picture = CloseEnhMetaFile(Dc);
        const std::string Path = std::string(argv[1]) + "/" + D.Name + ".emf";
        if (!Picture || !writeFile(Path, Picture->Bytes())) {
            std::fprintf(stderr, "make_emf_seeds: cannot write %s\n", Path.c_str());
            return 1;
        }
    }
    return 0;
}
