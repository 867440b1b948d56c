//===- ResourceBitmaps.cpp - Drawing the lamp and seven-segment bitmap strips -===//
#include "resources/generator/ResourceBitmaps.h"

#include <algorithm>
#include <cstdlib>

namespace resourcebitmaps {
namespace {

// Cells -------------------------------------------------------------------------------------

/// One cell of a strip: drawing functions use cell coordinates and never reach a neighbour.
struct Cell {
    Dib& Target;
    int Left, Width, Height;

    void Set(int X, int Y, COLORREF Colour) const
    {
        if (X >= 0 && X < Width && Y >= 0 && Y < Height)
            Target.SetPixel(Left + X, Y, Colour);
    }
    void Fill(COLORREF Colour) const
    {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                Set(x, y, Colour);
    }
};

// Lamps --------------------------------------------------------------------------------------

constexpr int lampCentre = LampSize / 2;

/// Light falls from the upper left: a shading pixel on that side of a rim is "near", the
/// others "far". The pixels on the dividing diagonal go to the far side, as the corners of a
/// drawn 3D frame do.
bool facesLight(int Dx, int Dy) { return Dx + Dy < 0; }

/// A rim sunk into the panel: shadow on the side facing the light, highlight opposite.
COLORREF sunkenOuter(int Dx, int Dy) { return facesLight(Dx, Dy) ? KeyGrey : KeyWhite; }
COLORREF sunkenInner(int Dx, int Dy) { return facesLight(Dx, Dy) ? KeyBlack : KeySilver; }

/// Squared distance from the cell centre, in quarter pixels so that half radii stay exact.
int distance2(int X, int Y)
{
    const int dx = 2 * (X - lampCentre), dy = 2 * (Y - lampCentre);
    return dx * dx + dy * dy;
}
bool within(int X, int Y, double Radius) { return distance2(X, Y) <= int(4 * Radius * Radius); }

// 6.5 gives a 13-pixel disc with rows 5, 9, 11, 11 and 13 wide, which reads as round, and
// leaves a one-pixel edge of surroundings; 3.6 gives a 7-pixel disc.
constexpr double lampRadius = 6.5, smallLampRadius = 3.6;

template <typename Inside>
void paintWhere(const Cell& C, COLORREF Colour, Inside In)
{
    for (int y = 0; y < LampSize; ++y)
        for (int x = 0; x < LampSize; ++x)
            if (In(x, y))
                C.Set(x, y, Colour);
}

/// The glint of a lens: three white pixels inside the upper left of the body.
void paintGlint(const Cell& C, int X, int Y)
{
    C.Set(X, Y + 1, KeyWhite);
    C.Set(X + 1, Y, KeyWhite);
    C.Set(X + 1, Y + 1, KeyWhite);
}

/// True when the pixel lies at least Steps outlines deep in a disc of the given radius: one step
/// is the disc's outline (pixels with a side-neighbour outside), two the outline of what remains
/// without it, and so on. Peeling whole outlines keeps every rim closed and one pixel wide.
bool deepInDisc(int X, int Y, double Radius, int Steps)
{
    if (Steps == 0)
        return true;
    if (!within(X, Y, Radius))
        return false;
    return deepInDisc(X - 1, Y, Radius, Steps - 1) && deepInDisc(X + 1, Y, Radius, Steps - 1)
           && deepInDisc(X, Y - 1, Radius, Steps - 1) && deepInDisc(X, Y + 1, Radius, Steps - 1);
}

void drawBevelledRound(const Cell& C)
{
    for (int y = 0; y < LampSize; ++y)
        for (int x = 0; x < LampSize; ++x) {
            const int dx = x - lampCentre, dy = y - lampCentre;
            if (deepInDisc(x, y, lampRadius, 3))
                C.Set(x, y, KeyRed);
            else if (deepInDisc(x, y, lampRadius, 2))
                C.Set(x, y, sunkenInner(dx, dy));
            else if (deepInDisc(x, y, lampRadius, 1))
                C.Set(x, y, sunkenOuter(dx, dy));
        }
    paintGlint(C, 4, 4);
}

void drawBevelledSquare(const Cell& C)
{
    for (int y = 1; y < LampSize - 1; ++y)
        for (int x = 1; x < LampSize - 1; ++x) {
            const int last = LampSize - 1;
            const int ring = std::min(std::min(x, y), std::min(last - x, last - y));
            const bool far = x == last - ring || y == last - ring;
            if (ring == 1)
                C.Set(x, y, far ? KeyWhite : KeyGrey);
            else if (ring == 2)
                C.Set(x, y, far ? KeySilver : KeyBlack);
            else
                C.Set(x, y, KeyRed);
        }
    paintGlint(C, 4, 4);
}

void drawShape(const Cell& C, LampShape Shape)
{
    C.Fill(KeyOlive);
    const auto box = [](int X0, int Y0, int X1, int Y1) {
        return [=](int X, int Y) { return X >= X0 && X <= X1 && Y >= Y0 && Y <= Y1; };
    };
    const auto disc = [](double Radius) { return [=](int X, int Y) { return within(X, Y, Radius); }; };
    switch (Shape) {
    case LampShape::BevelledRound: drawBevelledRound(C); break;
    case LampShape::BevelledSquare: drawBevelledSquare(C); break;
    case LampShape::Round: paintWhere(C, KeyRed, disc(lampRadius)); break;
    case LampShape::SmallRound: paintWhere(C, KeyRed, disc(smallLampRadius)); break;
    case LampShape::Square: paintWhere(C, KeyRed, box(2, 2, 12, 12)); break;
    case LampShape::HorizontalBar: paintWhere(C, KeyRed, box(1, 5, 13, 9)); break;
    case LampShape::VerticalBar: paintWhere(C, KeyRed, box(5, 1, 9, 13)); break;
    case LampShape::Diamond:
        paintWhere(C, KeyRed,
                   [](int X, int Y) { return std::abs(X - lampCentre) + std::abs(Y - lampCentre) <= lampCentre - 1; });
        break;
    }
}

// Seven segments ------------------------------------------------------------------------------

/// A segment three pixels thick along its centre line From..To, with pointed ends: each row
/// (or column) away from the centre line is one pixel shorter at both ends.
struct Bar {
    bool Vertical;
    int Across;   // the centre row of a horizontal bar, the centre column of a vertical one
    int From, To; // the centre line's extent along the bar
};

// Centre lines of the digit frame: verticals at columns 2 and 10, horizontals at rows 2, 11 and
// 20. Horizontal bars stop two pixels short of a corner and vertical bars one, which leaves a
// one-pixel gap at every joint even diagonally and keeps the verticals long, so the digits
// read tall as on a real display.
constexpr int colLeft = 2, colRight = 10, rowTop = 2, rowMiddle = 11, rowBottom = 20;

constexpr Bar segmentBars[7] = {
    { false, rowTop, colLeft + 2, colRight - 2 },     // a top
    { true, colRight, rowTop + 1, rowMiddle - 1 },    // b upper right
    { true, colRight, rowMiddle + 1, rowBottom - 1 }, // c lower right
    { false, rowBottom, colLeft + 2, colRight - 2 },  // d bottom
    { true, colLeft, rowMiddle + 1, rowBottom - 1 },  // e lower left
    { true, colLeft, rowTop + 1, rowMiddle - 1 },     // f upper left
    { false, rowMiddle, colLeft + 2, colRight - 2 },  // g middle
};

// Lit segments per glyph, bit n for segment n of segmentBars (a = bit 0 ... g = bit 6).
constexpr unsigned char glyphSegments[DigitGlyphs] = {
    0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, // 0-9
    0x77, 0x7C, 0x39, 0x5E, 0x79, 0x71,                         // A b C d E F
    0x00, 0x40,                                                 // blank, minus
};

void paintBar(const Cell& C, int Dx, const Bar& B, COLORREF Colour)
{
    for (int off = -1; off <= 1; ++off)
        for (int along = B.From + std::abs(off); along <= B.To - std::abs(off); ++along) {
            if (B.Vertical)
                C.Set(Dx + B.Across + off, along, Colour);
            else
                C.Set(Dx + along, B.Across + off, Colour);
        }
}

/// A digit glyph whose left edge is column Dx of the cell: all seven segments, lit or not.
void drawDigit(const Cell& C, int Dx, int Glyph)
{
    for (int s = 0; s < 7; ++s)
        paintBar(C, Dx, segmentBars[s], (glyphSegments[Glyph] >> s) & 1 ? KeyRed : KeyWhite);
}

/// The decimal point: two by two at the bottom of the margin, level with the bottom segment.
void drawPoint(const Cell& C)
{
    for (int y = rowBottom; y <= rowBottom + 1; ++y)
        for (int x = PointMargin - 2; x < PointMargin; ++x)
            C.Set(x, y, KeyRed);
}

} // namespace

// Strips --------------------------------------------------------------------------------------

Dib DrawLampStrip()
{
    Dib strip(LampSize * LampShapes, LampSize, 24);
    for (int n = 0; n < LampShapes; ++n)
        drawShape(Cell { strip, n * LampSize, LampSize, LampSize }, LampShape(n));
    return strip;
}

Dib DrawDigitStrip()
{
    Dib strip(DigitWidth * DigitGlyphs, DigitHeight, 24); // starts black: the background
    for (int g = 0; g < DigitGlyphs; ++g)
        drawDigit(Cell { strip, g * DigitWidth, DigitWidth, DigitHeight }, 0, g);
    return strip;
}

Dib DrawPointDigitStrip()
{
    // The controls' source rectangles never reach the last column; it stays background.
    Dib strip(PointWidth * PointGlyphs + 1, DigitHeight, 24);
    for (int g = 0; g < PointGlyphs; ++g) {
        const Cell cell { strip, g * PointWidth, PointWidth, DigitHeight };
        const int plain = g % PointOffset;
        drawDigit(cell, PointMargin, plain < 10 ? plain : plain == PointBlank ? DigitBlank : DigitMinus);
        if (g >= PointOffset)
            drawPoint(cell);
    }
    return strip;
}

const std::array<Strip, 4>& Strips()
{
    static const std::array<Strip, 4> strips = {
        Strip { "controls", "ALLED.bmp", DrawLampStrip },
        Strip { "controls", "LCDDIGITS.bmp", DrawDigitStrip },
        Strip { "controls", "LCDPDIGITS.bmp", DrawPointDigitStrip },
        Strip { "energystats", "ORVANELOGO.bmp", DrawOrvaneLogo },
    };
    return strips;
}

} // namespace resourcebitmaps
