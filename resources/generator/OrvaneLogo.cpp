//===- OrvaneLogo.cpp - Drawing the maker's logo for Tessaly's report -===//
#include "resources/generator/ResourceBitmaps.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace resourcebitmaps {
namespace {

struct Point {
    double x, y;
};

/// A stroke of the drawing: a polyline of round-capped lines RADIUS wide on either side.
struct Stroke {
    std::vector<Point> points;
    double radius;
};

/// The box a stroke covers, so that most pixels skip it at once.
struct Box {
    double left, top, right, bottom;
    bool Holds(Point P) const { return P.x >= left && P.x <= right && P.y >= top && P.y <= bottom; }
};
Box boxOf(const Stroke& S)
{
    Box b { 1e9, 1e9, -1e9, -1e9 };
    for (Point p : S.points) {
        b.left = std::min(b.left, p.x - S.radius);
        b.top = std::min(b.top, p.y - S.radius);
        b.right = std::max(b.right, p.x + S.radius);
        b.bottom = std::max(b.bottom, p.y + S.radius);
    }
    return b;
}

double distanceToSegment(Point P, Point A, Point B)
{
    const double dx = B.x - A.x, dy = B.y - A.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((P.x - A.x) * dx + (P.y - A.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(P.x - (A.x + t * dx), P.y - (A.y + t * dy));
}

bool insideStroke(const Stroke& S, Point P)
{
    if (S.points.size() == 1)
        return std::hypot(P.x - S.points[0].x, P.y - S.points[0].y) <= S.radius;
    for (size_t i = 1; i < S.points.size(); ++i)
        if (distanceToSegment(P, S.points[i - 1], S.points[i]) <= S.radius)
            return true;
    return false;
}

/// The points of an elliptic arc from angle A0 to A1 (radians, y down), closely enough for
/// strokes a few pixels wide.
std::vector<Point> arc(Point Centre, double Rx, double Ry, double A0, double A1)
{
    std::vector<Point> points;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const double a = A0 + (A1 - A0) * i / steps;
        points.push_back({ Centre.x + Rx * std::cos(a), Centre.y + Ry * std::sin(a) });
    }
    return points;
}

constexpr double pi = 3.14159265358979323846;

// The word mark: centre lines of capitals from y = capTop to capBottom, drawn with strokeRadius.
constexpr double capTop = 19, capBottom = 57, strokeRadius = 4.5;
constexpr double capMiddle = (capTop + capBottom) / 2;

void addLetter(std::vector<Stroke>& Out, char Letter, double X, double W)
{
    const double t = capTop, b = capBottom, m = capMiddle, r = strokeRadius;
    switch (Letter) {
    case 'O': Out.push_back({ arc({ X + W / 2, m }, W / 2, (b - t) / 2, 0, 2 * pi), r }); break;
    case 'R': {
        const double bowl = (m - t) / 2, join = X + W - bowl;
        Out.push_back({ { { X, b }, { X, t }, { join, t } }, r });
        Out.push_back({ arc({ join, t + bowl }, bowl, bowl, -pi / 2, pi / 2), r });
        Out.push_back({ { { join, m }, { X, m } }, r });
        Out.push_back({ { { join - 4, m }, { X + W, b } }, r });
        break;
    }
    case 'V': Out.push_back({ { { X, t }, { X + W / 2, b }, { X + W, t } }, r }); break;
    case 'A':
        Out.push_back({ { { X, b }, { X + W / 2, t }, { X + W, b } }, r });
        Out.push_back({ { { X + W * 0.23, m + 6 }, { X + W * 0.77, m + 6 } }, r * 0.8 });
        break;
    case 'N': Out.push_back({ { { X, b }, { X, t }, { X + W, b }, { X + W, t } }, r }); break;
    case 'E':
        Out.push_back({ { { X + W, t }, { X, t }, { X, b }, { X + W, b } }, r });
        Out.push_back({ { { X, m }, { X + W * 0.8, m } }, r });
        break;
    default: break;
    }
}

/// The emblem: a ring around the trace of one laser pulse over its base line.
void addEmblem(std::vector<Stroke>& Ring, std::vector<Stroke>& Pulse)
{
    const Point centre { 46, 45 };
    Ring.push_back({ arc(centre, 37, 37, 0, 2 * pi), 3.5 });
    std::vector<Point> trace;
    for (double x = 20; x <= 72; x += 0.5) {
        const double u = (x - 44) / 6.5;
        trace.push_back({ x, 60 - 36 * std::exp(-u * u) });
    }
    Pulse.push_back({ trace, 2.2 });
}

COLORREF blend(COLORREF Over, COLORREF Under, double Coverage)
{
    auto mix = [&](int Shift) {
        const double a = (Over >> Shift) & 0xFF, b = (Under >> Shift) & 0xFF;
        return COLORREF(std::lround(a * Coverage + b * (1 - Coverage))) << Shift;
    };
    return mix(0) | mix(8) | mix(16);
}

/// Paints the strokes in Colour, each pixel covered as much as 4 x 4 samples of it lie inside.
void paint(Dib& Target, const std::vector<Stroke>& Strokes, COLORREF Colour)
{
    std::vector<Box> boxes;
    for (const Stroke& s : Strokes)
        boxes.push_back(boxOf(s));
    for (int y = 0; y < Target.Height(); ++y)
        for (int x = 0; x < Target.Width(); ++x) {
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const Point p { x + (sx + 0.5) / 4, y + (sy + 0.5) / 4 };
                    for (size_t i = 0; i < Strokes.size(); ++i)
                        if (boxes[i].Holds(p) && insideStroke(Strokes[i], p)) {
                            ++inside;
                            break;
                        }
                }
            if (inside)
                Target.SetPixel(x, y, blend(Colour, Target.GetPixel(x, y), inside / 16.0));
        }
}

} // namespace

Dib DrawOrvaneLogo()
{
    Dib logo(LogoWidth, LogoHeight, 24);
    for (int y = 0; y < LogoHeight; ++y)
        for (int x = 0; x < LogoWidth; ++x)
            logo.SetPixel(x, y, LogoWhite);

    std::vector<Stroke> ring, pulse, word, beam;
    addEmblem(ring, pulse);
    struct Glyph {
        char letter;
        double width;
    };
    const Glyph glyphs[] = { { 'O', 38 }, { 'R', 29 }, { 'V', 34 }, { 'A', 34 }, { 'N', 30 }, { 'E', 25 } };
    double x = 108;
    for (const Glyph& g : glyphs) {
        addLetter(word, g.letter, x, g.width);
        x += g.width + 13;
    }
    beam.push_back({ { { 108, 73 }, { x - 13, 73 } }, 1.6 }); // under the whole word

    paint(logo, ring, LogoNavy);
    paint(logo, pulse, LogoRed);
    paint(logo, word, LogoNavy);
    paint(logo, beam, LogoRed);
    return logo;
}

} // namespace resourcebitmaps
