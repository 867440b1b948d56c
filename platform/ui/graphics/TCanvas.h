//===- TCanvas.h - Drawing with a pen, a brush and a font on a device context -*- C++ -*-===//
//
// A canvas draws on an HDC: a control's backing image, a bitmap's memory context or whatever
// context it is given. Before each call it selects its Pen, Brush and Font into the context when
// they changed since the last call, so the same drawing code serves every kind of target.
//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/ui/components/Colors.h"
#include "platform/ui/components/Events.h"
#include "platform/ui/graphics/GraphicsObjects.h"
#include "platform/ui/components/TComponent.h"
#include "platform/ui/controls/UiTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class TGraphic;

/// The raster operation of CopyRect, Draw and StretchDraw.
using TCopyMode = uint32_t;
inline constexpr TCopyMode cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                           cmMergePaint = MERGEPAINT, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                           cmPatCopy = PATCOPY, cmPatInvert = PATINVERT, cmPatPaint = PATPAINT, cmSrcAnd = SRCAND,
                           cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE, cmSrcInvert = SRCINVERT, cmSrcPaint = SRCPAINT,
                           cmWhiteness = WHITENESS;

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // --- Drawing objects (owned by the canvas; the setters copy)
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(const TFont& Value);
    TPen* GetPen() const { return FPen.get(); }
    void SetPen(const TPen& Value);
    TBrush* GetBrush() const { return FBrush.get(); }
    void SetBrush(const TBrush& Value);
    TCopyMode GetCopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
    TPoint GetPenPos();
    void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }

    // --- Lines and shapes: pen outlines, brush fills, right and bottom edges excluded
    void MoveTo(int X, int Y);
    /// From the pen position to (X, Y), leaving out (X, Y), which becomes the pen position.
    void LineTo(int X, int Y);
    void Polyline(std::span<const TPoint> Points);
    void Polygon(std::span<const TPoint> Points);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    /// The box, then the points that fix the start and end radials (counter-clockwise).
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    /// With the brush only: no outline, the pen position is unchanged.
    void FillRect(const TRect& R);
    /// A one-pixel frame in the brush colour just inside R.
    void FrameRect(const TRect& R);
    /// A dotted frame inverted into the picture; drawing it twice restores the picture.
    void DrawFocusRect(const TRect& R);

    // --- Text, in the font; with a solid brush the text cell is filled with the brush colour
    void TextOut(int X, int Y, std::string_view Text);
    /// The text at (X, Y), clipped to R (filled with the brush first unless it is clear).
    void TextRect(const TRect& R, int X, int Y, std::string_view Text);
    SIZE TextExtent(std::string_view Text);
    int TextWidth(std::string_view Text) { return TextExtent(Text).cx; }
    int TextHeight(std::string_view Text) { return TextExtent(Text).cy; }

    // --- Pictures
    void Draw(int X, int Y, const TGraphic& Graphic);
    void StretchDraw(const TRect& R, const TGraphic& Graphic);
    /// Copies Source of Canvas onto Dest of this canvas with CopyMode, stretching as needed.
    void CopyRect(const TRect& Dest, TCanvas& Canvas, const TRect& Source);

    // --- Pixels
    /// The colour at (X, Y); -1 (CLR_INVALID) outside the picture.
    TColor GetPixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Colour);
    /// The part of the picture that drawing reaches, in logical units.
    TRect GetClipRect();

    // --- The device context
    /// Made on demand by canvases that own their context (bitmaps, controls); raises
    /// Exception "Canvas does not allow drawing" when there is none.
    HDC GetHandle();
    /// Hands the canvas a context (or none); the drawing objects are selected again at the next call.
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    /// Raised before and after each drawing call.
    TNotifyEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    /// Gives a canvas without a context one; the default has none to give.
    virtual void CreateHandle();
    virtual void Changing();
    virtual void Changed();

private:
    enum class Need { Pen = 1, Brush = 2, Font = 4 };
    /// The context with the objects of Needs selected (Need bits).
    HDC ready(int Needs);
    void selectPen(HDC Dc);
    void selectBrush(HDC Dc);
    void selectFont(HDC Dc);

    HDC FHandle = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TCopyMode FCopyMode = cmSrcCopy;
    int FValid = 0; // Need bits of the objects selected into FHandle
};
