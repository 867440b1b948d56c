//===- ColorKey.cpp - Copying bitmap strips with one colour replaced --------===//
#include "controls/ColorKey.h"

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"
#include "platform/ui/graphics/TBitmap.h"

#include <algorithm>

void CopyReplacingColor(const TBitmap& From, const TRect& Source, TBitmap& To, int X, int Y, TColor Key,
                        TColor Replacement)
{
    const Dib* In = From.GetDib();
    Dib* Out = To.GetDib();
    if (!In || !Out)
        return;
    const COLORREF KeyRgb = ColorToRGB(static_cast<uint32_t>(Key));
    const COLORREF NewRgb = ColorToRGB(static_cast<uint32_t>(Replacement));
    const int Left = std::max(Source.Left, 0), Top = std::max(Source.Top, 0);
    const int Right = std::min(Source.Right, In->Width()), Bottom = std::min(Source.Bottom, In->Height());
    for (int Sy = Top; Sy < Bottom; ++Sy)
        for (int Sx = Left; Sx < Right; ++Sx) {
            const COLORREF Pixel = In->GetPixel(Sx, Sy);
            // SetPixel refuses what lies outside the target by itself.
            Out->SetPixel(X + Sx - Source.Left, Y + Sy - Source.Top, Pixel == KeyRgb ? NewRgb : Pixel);
        }
}

void RecolorDigitStrip(const TBitmap& Strip, TBitmap& Colored, TColor Off, TColor On, TColor Frame)
{
    const TRect Whole = Rect(0, 0, Strip.GetWidth(), Strip.GetHeight());
    TBitmap Temp;
    Temp.SetSize(Colored.GetWidth(), Colored.GetHeight());
    CopyReplacingColor(Strip, Whole, Colored, 0, 0, clWhite, Off);
    CopyReplacingColor(Colored, Whole, Temp, 0, 0, clRed, On);
    CopyReplacingColor(Temp, Whole, Colored, 0, 0, clBlack, Frame);
}
