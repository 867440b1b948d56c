//===- TCanvas.cpp - Drawing with a pen, a brush and a font on a device context ===//
#include "platform/ui/graphics/TCanvas.h"

#include "platform/ui/components/Published.h"
#include "platform/ui/graphics/TGraphic.h"
#include "platform/ui/components/UiConsts.h"

#include "platform/gdi/Gdi.h"

#include "platform/rtl/Exception.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

std::vector<POINT> toPoints(std::span<const TPoint> Points)
{
    std::vector<POINT> Result;
    Result.reserve(Points.size());
    for (const TPoint& P : Points)
        Result.push_back(POINT { P.X, P.Y });
    return Result;
}

constexpr int AllNeeds = 7;

} // namespace

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
    FFont->OnChange = [this](TObject*) { FValid &= ~int(Need::Font); };
    FPen->OnChange = [this](TObject*) { FValid &= ~int(Need::Pen); };
    FBrush->OnChange = [this](TObject*) { FValid &= ~int(Need::Brush); };
}

TCanvas::~TCanvas() = default;

void TCanvas::SetFont(const TFont& Value) { FFont->Assign(Value); }
void TCanvas::SetPen(const TPen& Value) { FPen->Assign(Value); }
void TCanvas::SetBrush(const TBrush& Value) { FBrush->Assign(Value); }

// --- The device context

HDC TCanvas::GetHandle()
{
    Changing();
    return ready(AllNeeds);
}

void TCanvas::SetHandle(HDC Value)
{
    FHandle = Value;
    FValid = 0;
}

void TCanvas::CreateHandle() {}

void TCanvas::Changing()
{
    if (OnChanging)
        OnChanging(this);
}

void TCanvas::Changed()
{
    if (OnChange)
        OnChange(this);
}

HDC TCanvas::ready(int Needs)
{
    if (!FHandle) {
        CreateHandle();
        if (!FHandle)
            throw Exception(SNoCanvasHandle);
    }
    const int Missing = Needs & ~FValid;
    if (Missing & int(Need::Pen))
        selectPen(FHandle);
    if (Missing & int(Need::Brush))
        selectBrush(FHandle);
    if (Missing & int(Need::Font))
        selectFont(FHandle);
    FValid |= Needs;
    return FHandle;
}

void TCanvas::selectPen(HDC Dc)
{
    SelectObject(Dc, FPen->GetHandle());
    SetROP2(Dc, PenModeToRop2(FPen->GetMode()));
}

void TCanvas::selectBrush(HDC Dc)
{
    // The brush decides how text and dashed lines treat what lies between them.
    SelectObject(Dc, FBrush->GetHandle());
    SetBkColor(Dc, ColorToRGB(static_cast<uint32_t>(FBrush->GetColor())));
    SetBkMode(Dc, FBrush->GetStyle() == bsSolid ? OPAQUE : TRANSPARENT);
}

void TCanvas::selectFont(HDC Dc)
{
    SelectObject(Dc, FFont->GetHandle());
    SetTextColor(Dc, ColorToRGB(static_cast<uint32_t>(FFont->GetColor())));
}

// --- Lines and shapes

TPoint TCanvas::GetPenPos()
{
    POINT P;
    GetCurrentPositionEx(ready(0), &P);
    return Point(P.x, P.y);
}

void TCanvas::MoveTo(int X, int Y)
{
    HDC Dc = ready(0);
    MoveToEx(Dc, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y)
{
    Changing();
    ::LineTo(ready(int(Need::Pen) | int(Need::Brush)), X, Y);
    Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points)
{
    Changing();
    const std::vector<POINT> P = toPoints(Points);
    ::Polyline(ready(int(Need::Pen) | int(Need::Brush)), P.data(), static_cast<int>(P.size()));
    Changed();
}

void TCanvas::Polygon(std::span<const TPoint> Points)
{
    Changing();
    const std::vector<POINT> P = toPoints(Points);
    ::Polygon(ready(int(Need::Pen) | int(Need::Brush)), P.data(), static_cast<int>(P.size()));
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    Changing();
    ::Rectangle(ready(int(Need::Pen) | int(Need::Brush)), X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    Changing();
    ::Ellipse(ready(int(Need::Pen) | int(Need::Brush)), X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4)
{
    Changing();
    ::Pie(ready(int(Need::Pen) | int(Need::Brush)), X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    Changed();
}

void TCanvas::FillRect(const TRect& R)
{
    Changing();
    ::FillRect(ready(int(Need::Brush)), R, FBrush->GetHandle());
    Changed();
}

void TCanvas::FrameRect(const TRect& R)
{
    Changing();
    ::FrameRect(ready(int(Need::Brush)), R, FBrush->GetHandle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& R)
{
    Changing();
    const RECT Rect = R;
    ::DrawFocusRect(ready(int(Need::Brush)), Rect);
    Changed();
}

// --- Text

void TCanvas::TextOut(int X, int Y, std::string_view Text)
{
    Changing();
    HDC Dc = ready(int(Need::Font) | int(Need::Brush));
    ::TextOut(Dc, X, Y, Text);
    // The pen moves on to the end of the text, as on the original.
    SIZE Size;
    GetTextExtentPoint32(Dc, Text, &Size);
    MoveToEx(Dc, X + Size.cx, Y, nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& R, int X, int Y, std::string_view Text)
{
    Changing();
    HDC Dc = ready(int(Need::Font) | int(Need::Brush));
    const RECT Clip = R;
    UINT Options = ETO_CLIPPED;
    if (FBrush->GetStyle() != bsClear)
        Options |= ETO_OPAQUE;
    ExtTextOut(Dc, X, Y, Options, &Clip, Text, nullptr);
    Changed();
}

SIZE TCanvas::TextExtent(std::string_view Text)
{
    SIZE Size;
    GetTextExtentPoint32(ready(int(Need::Font)), Text, &Size);
    return Size;
}

// --- Pictures

void TCanvas::Draw(int X, int Y, const TGraphic& Graphic)
{
    if (Graphic.Empty())
        return;
    Changing();
    ready(AllNeeds);
    // The far edges in 64 bits, clamped: a picture may be as large as an int, so X + Width may
    // not fit one; the clamped rectangle's width still does.
    constexpr int64_t Highest = std::numeric_limits<int>::max();
    const TRect R { X, Y, int(std::min(int64_t(X) + Graphic.GetWidth(), Highest)),
                    int(std::min(int64_t(Y) + Graphic.GetHeight(), Highest)) };
    Graphic.Draw(*this, R);
    Changed();
}

void TCanvas::StretchDraw(const TRect& R, const TGraphic& Graphic)
{
    if (Graphic.Empty())
        return;
    Changing();
    ready(AllNeeds);
    Graphic.Draw(*this, R);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas& Canvas, const TRect& Source)
{
    Changing();
    HDC From = Canvas.ready(int(Need::Brush));
    HDC To = ready(int(Need::Brush));
    StretchBlt(To, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), From, Source.Left, Source.Top, Source.Width(),
               Source.Height(), FCopyMode);
    Changed();
}

// --- Pixels

TColor TCanvas::GetPixels(int X, int Y) { return static_cast<TColor>(GetPixel(ready(0), X, Y)); }

void TCanvas::SetPixels(int X, int Y, TColor Colour)
{
    Changing();
    SetPixel(ready(int(Need::Pen)), X, Y, ColorToRGB(static_cast<uint32_t>(Colour)));
    Changed();
}

TRect TCanvas::GetClipRect()
{
    RECT Box;
    GetClipBox(ready(0), &Box);
    return ToRect(Box);
}
