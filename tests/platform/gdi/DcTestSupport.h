//===- DcTestSupport.h - Bitmaps with a device context, read back by pixel -*- C++ -*-===//
#pragma once

#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"

#include <string>

namespace gditest {

/// A white 32-bit picture with a memory context drawing on it; both go together.
class Canvas {
public:
    Canvas(int Width, int Height, int Bits = 32, bool TopDown = false) : dib_(Width, Height, Bits, TopDown)
    {
        dc_ = CreateDibDC(dib_);
        RECT all { 0, 0, Width, Height };
        FillRect(dc_, all, HBRUSH(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() { DeleteDC(dc_); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    Dib& dib() { return dib_; }
    COLORREF at(int X, int Y) const { return dib_.GetPixel(X, Y); }

    /// Pixels of exactly this colour.
    int count(COLORREF Colour) const
    {
        int n = 0;
        for (int y = 0; y < dib_.Height(); ++y)
            for (int x = 0; x < dib_.Width(); ++x)
                n += dib_.GetPixel(x, y) == Colour;
        return n;
    }
    /// The bounds of every pixel that is not Background (right and bottom excluded); empty when
    /// there is none.
    RECT inkBounds(COLORREF Background = 0xFFFFFF) const
    {
        RECT r { dib_.Width(), dib_.Height(), 0, 0 };
        for (int y = 0; y < dib_.Height(); ++y)
            for (int x = 0; x < dib_.Width(); ++x)
                if (dib_.GetPixel(x, y) != Background) {
                    r.left = std::min(r.left, x), r.top = std::min(r.top, y);
                    r.right = std::max(r.right, x + 1), r.bottom = std::max(r.bottom, y + 1);
                }
        if (r.right <= r.left)
            return RECT {};
        return r;
    }
    /// One text line per row, '#' for pixels of Colour and '.' for the rest: readable failures.
    std::string picture(COLORREF Colour) const
    {
        std::string s;
        for (int y = 0; y < dib_.Height(); ++y) {
            for (int x = 0; x < dib_.Width(); ++x)
                s += dib_.GetPixel(x, y) == Colour ? '#' : '.';
            s += '\n';
        }
        return s;
    }

private:
    Dib dib_;
    HDC dc_;
};

/// An object selected into a context for the scope, then the previous one again and deleted.
class Selected {
public:
    Selected(HDC Dc, HGDIOBJ Object) : dc_(Dc), object_(Object), previous_(SelectObject(Dc, Object)) {}
    ~Selected()
    {
        SelectObject(dc_, previous_);
        DeleteObject(object_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_, previous_;
};

inline LOGFONTA logFont(const char* Face, int Height, int Weight = FW_NORMAL, int Escapement = 0)
{
    LOGFONTA f;
    f.lfHeight = Height;
    f.lfWeight = Weight;
    f.lfEscapement = f.lfOrientation = Escapement;
    for (int i = 0; Face[i] && i < LF_FACESIZE - 1; ++i)
        f.lfFaceName[i] = Face[i];
    return f;
}

} // namespace gditest
