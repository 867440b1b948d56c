//===- Gdi.h - Device contexts, drawing objects and drawing calls ---*- C++ -*-===//
//
// The drawing calls the system may make, with the original platform's names, values and pixel
// rules. A device context (HDC) keeps the drawing state and hands every call to its backend:
// memory bitmaps draw through the raster backend, the screen context only measures. Coordinates
// are logical units, mapped to device pixels by the map mode, the window and viewport and (in
// GM_ADVANCED) the world transform. Colours are 0x00BBGGRR.
//
// Pixel rules kept from the original:
//  - lines leave out their last pixel; a pen of width 0 or 1 draws one pixel wide; dashed and
//    dotted styles apply to one-pixel pens only (wider ones draw solid), their gaps painted in
//    the background colour when the background mode is OPAQUE;
//  - rectangles, ellipses and fills leave out the right and bottom edges: Rectangle(0, 0, 10, 10)
//    with a one-pixel pen covers pixels 0..9, and with the null pen fills one pixel less to the
//    right and bottom; PS_INSIDEFRAME keeps a wide pen inside the box;
//  - arcs, pies and chords run counter-clockwise on the device from the start radial to the end
//    radial (or clockwise after SetArcDirection(AD_CLOCKWISE)); equal radials give the whole
//    ellipse; rectangles, ellipses and arcs under a turning world transform are drawn in the
//    device box of their mapped corners;
//  - nothing is antialiased: a pixel takes the text colour where the glyph's outline covers at
//    least 40 % of it, and areas take the pixels whose centres they contain.
//
#pragma once

#include "platform/gdi/GdiTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <utility>

class Dib;
struct OUTLINETEXTMETRICA;

// --- Device contexts
/// A memory device context compatible with the screen, holding a 1 x 1 monochrome stock bitmap
/// until a bitmap is selected (what is drawn on the stock bitmap goes nowhere). Reference may be
/// null or any device context.
HDC CreateCompatibleDC(HDC Reference);
/// A memory device context drawing on the caller's bitmap, which must outlive the context.
/// Drawing into 1-, 4-, 8- and 24-bit bitmaps stores each pixel as its nearest colour.
HDC CreateDibDC(Dib& Target);
bool DeleteDC(HDC Dc);
/// GetDC(0) is the screen: 96 dots per inch, 1920 x 1080 pixels whatever the machine. It keeps
/// state and measures text; what is drawn on it goes nowhere. Other windows answer null.
HDC GetDC(HWND Window);
int ReleaseDC(HWND Window, HDC Dc);
/// HORZRES, VERTRES, HORZSIZE, VERTSIZE (mm), LOGPIXELSX/Y, BITSPIXEL, PLANES, TECHNOLOGY,
/// NUMCOLORS and the PHYSICAL* values of printers; 0 for other indexes.
int GetDeviceCaps(HDC Dc, int Index);
/// Pushes the whole state; answers the new depth (1 for the first save), 0 on failure.
int SaveDC(HDC Dc);
/// Negative: pops that many levels; positive: returns to the state that SaveDC numbered so,
/// discarding it and every later one. Out of range fails and changes nothing.
bool RestoreDC(HDC Dc, int SavedDc);

// --- Drawing objects
/// Stock objects 0..19 (9 is none). Deleting one does nothing; DC_PEN and DC_BRUSH take the
/// colours of SetDCPenColor/SetDCBrushColor of the context they are selected into.
HGDIOBJ GetStockObject(int Index);
HPEN CreatePen(int Style, int Width, COLORREF Colour);
HPEN CreatePenIndirect(const LOGPEN& Pen);
/// PS_COSMETIC (width 1, a solid brush) or PS_GEOMETRIC (any width; a solid, hatched or null
/// brush, a hatch drawing in its colour) or-ed with PS_SOLID..PS_INSIDEFRAME (inside frame:
/// geometric only), an end cap and a join, which wide geometric pens draw with. User styles
/// and PS_ALTERNATE are not kept here: StyleCount must be 0 and Style null. Null otherwise.
/// GetObject answers an EXTLOGPEN for these pens.
HPEN ExtCreatePen(UINT PenStyle, UINT Width, const LOGBRUSH& Brush, UINT StyleCount, const UINT* Style);
HBRUSH CreateSolidBrush(COLORREF Colour);
/// BS_SOLID, BS_NULL, BS_HATCHED (lbHatch one of HS_*); others fail.
HBRUSH CreateBrushIndirect(const LOGBRUSH& Brush);
HBRUSH CreateHatchBrush(int Hatch, COLORREF Colour);
/// The bitmap's pixels are copied into the brush and tile the device from its origin; the bits
/// of a monochrome pattern paint in the text colour (0) and the background colour (1).
HBRUSH CreatePatternBrush(HBITMAP Bitmap);
HFONT CreateFontIndirect(const LOGFONTA& Font);
inline HFONT CreateFontIndirectA(const LOGFONTA& Font) { return CreateFontIndirect(Font); }
/// The face name is taken in code page 1252 (up to 31 bytes); the rest as CreateFontIndirect.
HFONT CreateFontIndirectW(const LOGFONTW& Font);
/// A zero-filled bitmap of 1, 4, 8, 24 or 32 bits per pixel (Planes 1); Bits, when given, holds
/// the rows top first, each padded to an even number of bytes as the original expects.
HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits);
/// Monochrome when the context still holds its stock monochrome bitmap, else 32 bits.
HBITMAP CreateCompatibleBitmap(HDC Dc, int Width, int Height);
/// A bitmap object owning the picture; null for a null picture.
HBITMAP CreateBitmapFromDib(std::unique_ptr<Dib> Picture);
/// A bitmap object over the caller's picture, which must outlive the object.
HBITMAP CreateBitmapOnDib(Dib& Picture);
/// The picture of a bitmap object, for pixel access; null for anything else.
Dib* GetBitmapDib(HBITMAP Bitmap);
/// Answers the object that was selected (for a region: the region type of the new clip), null
/// when the object or the context is invalid or a bitmap is already selected elsewhere.
HGDIOBJ SelectObject(HDC Dc, HGDIOBJ Object);
/// An object still selected or saved in a context answers true and lives on until the last
/// context lets it go; its handle stays valid for that time.
bool DeleteObject(HGDIOBJ Object);
/// Copies LOGPEN, LOGBRUSH, LOGFONTA or BITMAP (a palette answers its entry count as a 16-bit
/// value); a null Buffer asks the size. Answers the bytes copied, 0 for an invalid object.
int GetObject(HGDIOBJ Object, int Size, void* Buffer);
inline int GetObjectA(HGDIOBJ Object, int Size, void* Buffer) { return GetObject(Object, Size, Buffer); }
/// OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP, OBJ_REGION, OBJ_PAL; OBJ_DC or OBJ_MEMDC for a
/// context; 0 for anything else.
UINT GetObjectType(HGDIOBJ Object);
inline UINT GetObjectType(HDC Dc) { return GetObjectType(reinterpret_cast<HGDIOBJ>(Dc)); }
HGDIOBJ GetCurrentObject(HDC Dc, UINT ObjectType);
COLORREF SetDCPenColor(HDC Dc, COLORREF Colour);
COLORREF SetDCBrushColor(HDC Dc, COLORREF Colour);
COLORREF GetDCPenColor(HDC Dc);
COLORREF GetDCBrushColor(HDC Dc);
/// Entries of the stock palette (DEFAULT_PALETTE, 20 entries); answers the number copied.
UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries);

// --- Attributes (each setter answers the previous value; 0 or CLR_INVALID for a bad context)
COLORREF SetTextColor(HDC Dc, COLORREF Colour);
COLORREF GetTextColor(HDC Dc);
COLORREF SetBkColor(HDC Dc, COLORREF Colour);
COLORREF GetBkColor(HDC Dc);
int SetBkMode(HDC Dc, int Mode); // TRANSPARENT or OPAQUE
int GetBkMode(HDC Dc);
/// TA_LEFT/TA_CENTER/TA_RIGHT | TA_TOP/TA_BASELINE/TA_BOTTOM | TA_UPDATECP; GDI_ERROR on failure.
UINT SetTextAlign(HDC Dc, UINT Align);
UINT GetTextAlign(HDC Dc);
/// R2_BLACK..R2_WHITE: how pens and brushes mix with the picture; text and blits ignore it.
int SetROP2(HDC Dc, int Mode);
int GetROP2(HDC Dc);
int SetPolyFillMode(HDC Dc, int Mode); // ALTERNATE or WINDING
int GetPolyFillMode(HDC Dc);
/// Kept and reported; stretching is always nearest-neighbour (see StretchBlt).
int SetStretchBltMode(HDC Dc, int Mode);
int GetStretchBltMode(HDC Dc);
int SetArcDirection(HDC Dc, int Direction);
int GetArcDirection(HDC Dc);

// --- Coordinates
/// MM_TEXT, the metric modes (y up, exact at the context's dots per inch), MM_ISOTROPIC,
/// MM_ANISOTROPIC; answers the previous mode, 0 for others.
int SetMapMode(HDC Dc, int Mode);
int GetMapMode(HDC Dc);
/// Extents are kept only in MM_ISOTROPIC and MM_ANISOTROPIC (isotropic shrinks the viewport
/// extent to square units); zero extents fail. Old values go to Previous when it is given.
bool SetWindowOrgEx(HDC Dc, int X, int Y, POINT* Previous);
bool SetWindowExtEx(HDC Dc, int X, int Y, SIZE* Previous);
bool SetViewportOrgEx(HDC Dc, int X, int Y, POINT* Previous);
bool SetViewportExtEx(HDC Dc, int X, int Y, SIZE* Previous);
bool OffsetWindowOrgEx(HDC Dc, int X, int Y, POINT* Previous);
bool OffsetViewportOrgEx(HDC Dc, int X, int Y, POINT* Previous);
bool GetWindowOrgEx(HDC Dc, POINT* Origin);
bool GetWindowExtEx(HDC Dc, SIZE* Extent);
bool GetViewportOrgEx(HDC Dc, POINT* Origin);
bool GetViewportExtEx(HDC Dc, SIZE* Extent);
/// GM_ADVANCED allows a world transform; going back to GM_COMPATIBLE fails unless it is the
/// identity. Answers the previous mode, 0 on failure.
int SetGraphicsMode(HDC Dc, int Mode);
int GetGraphicsMode(HDC Dc);
/// Only in GM_ADVANCED; a transform that cannot be inverted fails.
bool SetWorldTransform(HDC Dc, const XFORM& Xform);
/// MWT_IDENTITY, MWT_LEFTMULTIPLY (Xform x current), MWT_RIGHTMULTIPLY (current x Xform), and
/// MWT_SET; only in GM_ADVANCED.
bool ModifyWorldTransform(HDC Dc, const XFORM* Xform, int Mode);
bool GetWorldTransform(HDC Dc, XFORM* Xform);
/// Logical to device and back, rounded to the nearest pixel.
bool LPtoDP(HDC Dc, POINT* Points, int Count);
bool DPtoLP(HDC Dc, POINT* Points, int Count);

// --- Regions and clipping (regions are in device pixels, right and bottom excluded)
HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateRectRgnIndirect(const RECT& Rect);
/// RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY (Source2 unused) into Destination; answers the
/// region type or ERROR.
int CombineRgn(HRGN Destination, HRGN Source1, HRGN Source2, int Mode);
int GetRgnBox(HRGN Region, RECT* Box);
bool PtInRegion(HRGN Region, int X, int Y);
int OffsetRgn(HRGN Region, int X, int Y);
/// A copy of the region becomes the clip (null removes it); answers the new clip's type.
int SelectClipRgn(HDC Dc, HRGN Region);
/// Combines the region with the current clip (the whole surface when there is none); RGN_COPY
/// with a null region removes the clip.
int ExtSelectClipRgn(HDC Dc, HRGN Region, int Mode);
/// Logical rectangles, mapped to device pixels.
int IntersectClipRect(HDC Dc, int Left, int Top, int Right, int Bottom);
int ExcludeClipRect(HDC Dc, int Left, int Top, int Right, int Bottom);
/// The bounds of what may be drawn, in logical units.
int GetClipBox(HDC Dc, RECT* Box);
/// Copies the clip into Region: 1, or 0 when there is no clip (Region unchanged), -1 on failure.
int GetClipRgn(HDC Dc, HRGN Region);

// --- Lines and shapes (current pen and brush, ROP2)
bool MoveToEx(HDC Dc, int X, int Y, POINT* Previous);
bool GetCurrentPositionEx(HDC Dc, POINT* Position);
/// From the current position to (X, Y), leaving out (X, Y), which becomes the current position.
bool LineTo(HDC Dc, int X, int Y);
bool Polyline(HDC Dc, const POINT* Points, int Count);
bool Polygon(HDC Dc, const POINT* Points, int Count); // closed, filled by the fill mode
bool PolyPolygon(HDC Dc, const POINT* Points, const int* Counts, int Polygons);
bool Rectangle(HDC Dc, int Left, int Top, int Right, int Bottom);
bool Ellipse(HDC Dc, int Left, int Top, int Right, int Bottom);
bool RoundRect(HDC Dc, int Left, int Top, int Right, int Bottom, int CornerWidth, int CornerHeight);
/// The box, then the points that fix the start and end radials.
bool Arc(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
bool Pie(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
bool Chord(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
/// Fills with the brush, right and bottom edges excluded; neither pen nor ROP2 take part.
int FillRect(HDC Dc, const RECT& Rect, HBRUSH Brush);
/// A one-pixel frame in the brush inside the rectangle.
int FrameRect(HDC Dc, const RECT& Rect, HBRUSH Brush);
/// A dotted outline inverted into the picture: drawing it twice restores the picture.
bool DrawFocusRect(HDC Dc, const RECT& Rect);
bool InvertRect(HDC Dc, const RECT& Rect);
/// Answers the colour set (the nearest the bitmap holds), CLR_INVALID outside or on failure.
COLORREF SetPixel(HDC Dc, int X, int Y, COLORREF Colour);
COLORREF GetPixel(HDC Dc, int X, int Y);

// --- Text (8-bit Windows-1252 text in the selected font; advances from the font engine)
bool TextOut(HDC Dc, int X, int Y, std::string_view Text);
/// ETO_OPAQUE fills Rect with the background colour, ETO_CLIPPED clips to it. Dx, when given,
/// holds one advance per character (logical units); otherwise the font's advances are used.
/// With background mode OPAQUE the text's cell is filled with the background colour.
bool ExtTextOut(HDC Dc, int X, int Y, UINT Options, const RECT* Rect, std::string_view Text, const int* Dx);
/// DT_LEFT/CENTER/RIGHT, DT_TOP/VCENTER/BOTTOM (single line), DT_SINGLELINE, DT_WORDBREAK,
/// DT_EXPANDTABS, DT_NOCLIP, DT_CALCRECT (sets Rect to the text's bounds and draws nothing),
/// DT_NOPREFIX ('&' underlines the next character, "&&" shows one '&'), DT_END_ELLIPSIS,
/// DT_EXTERNALLEADING. Answers the height of the text (with DT_VCENTER or DT_BOTTOM: from the
/// rectangle's top to the text's bottom), 0 on failure.
int DrawText(HDC Dc, std::string_view Text, RECT* Rect, UINT Format);
inline int DrawTextEx(HDC Dc, std::string_view Text, RECT* Rect, UINT Format, const void* /*Params*/)
{
    return DrawText(Dc, Text, Rect, Format);
}
/// Width = the sum of the characters' advances; height = tmHeight.
bool GetTextExtentPoint32(HDC Dc, std::string_view Text, SIZE* Size);
bool GetTextMetrics(HDC Dc, TEXTMETRICA* Metrics);
bool GetCharABCWidths(HDC Dc, UINT First, UINT Last, ABC* Widths);
bool GetCharWidth32(HDC Dc, UINT First, UINT Last, int* Widths);
/// Answers the record size (212) and fills Metrics when Size allows; 0 on failure.
UINT GetOutlineTextMetrics(HDC Dc, UINT Size, OUTLINETEXTMETRICA* Metrics);
/// The selected font's file or one of its tables; see RealizedFont::GetFontData.
uint32_t GetFontData(HDC Dc, uint32_t Table, uint32_t Offset, void* Buffer, uint32_t Size);
/// The face name of the selected font; answers its length.
int GetTextFace(HDC Dc, int Size, char* Name);
/// Called once per face reported; Font points at an ENUMLOGFONTEXA and Metrics at a
/// NEWTEXTMETRICEXA. Answering 0 ends the enumeration.
using FONTENUMPROCA =
    std::function<int(const LOGFONTA* Font, const TEXTMETRICA* Metrics, uint32_t FontType, LPARAM Param)>;
/// Reports the installed faces of Font->lfFaceName, each style once per character set its
/// OS/2 table lists (only Font->lfCharSet unless that is DEFAULT_CHARSET), lighter before
/// bolder, upright before italic; the metrics are those of a 16-pixel cell. TrueType faces
/// come as TRUETYPE_FONTTYPE; the original's bitmap and printer faces ("MS Sans Serif",
/// "Courier" ...) as one RASTER_FONTTYPE entry, although they are drawn with outlines here.
/// An empty name reports every face name the font engine knows once per character set, in
/// its regular style. Answers the callback's last answer, 1 when nothing was reported, and 0
/// for a missing font, callback or non-zero Flags.
int EnumFontFamiliesEx(HDC Dc, const LOGFONTA* Font, FONTENUMPROCA Proc, LPARAM Param, uint32_t Flags);
inline int EnumFontFamiliesExA(HDC Dc, const LOGFONTA* Font, FONTENUMPROCA Proc, LPARAM Param, uint32_t Flags)
{
    return EnumFontFamiliesEx(Dc, Font, std::move(Proc), Param, Flags);
}
// The 8-bit names the original's text calls also go by.
inline bool TextOutA(HDC Dc, int X, int Y, std::string_view Text) { return TextOut(Dc, X, Y, Text); }
inline bool ExtTextOutA(HDC Dc, int X, int Y, UINT Options, const RECT* Rect, std::string_view Text, const int* Dx)
{
    return ExtTextOut(Dc, X, Y, Options, Rect, Text, Dx);
}
inline int DrawTextA(HDC Dc, std::string_view Text, RECT* Rect, UINT Format)
{
    return DrawText(Dc, Text, Rect, Format);
}
inline bool GetTextExtentPoint32A(HDC Dc, std::string_view Text, SIZE* Size)
{
    return GetTextExtentPoint32(Dc, Text, Size);
}
inline bool GetTextMetricsA(HDC Dc, TEXTMETRICA* Metrics) { return GetTextMetrics(Dc, Metrics); }
inline bool GetCharABCWidthsA(HDC Dc, UINT First, UINT Last, ABC* Widths)
{
    return GetCharABCWidths(Dc, First, Last, Widths);
}
inline bool GetCharWidth32A(HDC Dc, UINT First, UINT Last, int* Widths)
{
    return GetCharWidth32(Dc, First, Last, Widths);
}
inline UINT GetOutlineTextMetricsA(HDC Dc, UINT Size, OUTLINETEXTMETRICA* Metrics)
{
    return GetOutlineTextMetrics(Dc, Size, Metrics);
}
inline int GetTextFaceA(HDC Dc, int Size, char* Name) { return GetTextFace(Dc, Size, Name); }

// --- Bitmaps and raster operations
/// Raster operations are the original's ternary codes: the result is the boolean function of
/// pattern (the brush), source and destination that the code's high word names, bit by bit.
/// A monochrome source paints its 0 bits in the destination's text colour and its 1 bits in
/// its background colour; a colour source copied into a monochrome destination gives 1 where
/// it matches the source context's background colour and 0 elsewhere.
bool BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSource, int YSource, uint32_t Rop);
/// Nearest-neighbour: destination pixel d (from 0) of a run of n takes source pixel
/// floor((d + 0.5) * m / n) of the source run of m, in each direction; negative sizes mirror.
bool StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Source, int XSource, int YSource, int SourceWidth,
                int SourceHeight, uint32_t Rop);
/// A raster operation without a source (PATCOPY, PATINVERT, DSTINVERT, BLACKNESS, WHITENESS).
bool PatBlt(HDC Dest, int X, int Y, int Width, int Height, uint32_t Rop);
/// Draws a picture that is not selected anywhere, stretched as StretchBlt does. The source
/// rectangle counts rows from the top of the picture, whatever its storage order.
int StretchDIBits(HDC Dest, int X, int Y, int Width, int Height, int XSource, int YSource, int SourceWidth,
                  int SourceHeight, const Dib& Picture, uint32_t Rop);
int SetDIBitsToDevice(HDC Dest, int X, int Y, int Width, int Height, int XSource, int YSource, const Dib& Picture);
/// The same from a packed DIB as metafile records carry it: Info is the info header and its
/// colour table (Usage DIB_RGB_COLORS: colours; DIB_PAL_COLORS: 16-bit indexes into the stock
/// palette), Bits the rows. As on the original, the source rectangle of a bottom-up picture
/// counts its rows from the bottom. Answers the rows drawn, 0 when the header is malformed or
/// the bits are fewer than it describes (nothing is drawn then).
int StretchDIBits(HDC Dest, int X, int Y, int Width, int Height, int XSource, int YSource, int SourceWidth,
                  int SourceHeight, std::span<const uint8_t> Bits, std::span<const uint8_t> Info, UINT Usage,
                  uint32_t Rop);
/// Copies the Width x Height source rectangle whose lower-left corner (upper-left for a
/// top-down picture) is (XSource, YSource) to (X, Y), 1:1. Bits holds only ScanLines rows,
/// from stored row StartScan on (the bottom row of a bottom-up picture is row 0); only the
/// part of the rectangle in those rows is drawn. Answers the rows given, 0 on failure.
int SetDIBitsToDevice(HDC Dest, int X, int Y, UINT Width, UINT Height, int XSource, int YSource, UINT StartScan,
                      UINT ScanLines, std::span<const uint8_t> Bits, std::span<const uint8_t> Info, UINT Usage);

// --- Colours
/// One fixed classic table (button face 0xC0C0C0, shadow 0x808080, highlight 0xFFFFFF, window
/// 0xFFFFFF, window text 0, selection 0x800000 ...); 0 for unknown indexes.
COLORREF GetSysColor(int Index);
/// A colour value as the class library stores it: 0x80000000 + n names system colour n,
/// 0x01000000 + n entry n of the stock palette, anything else its low three bytes.
COLORREF ColorToRGB(uint32_t Colour);
