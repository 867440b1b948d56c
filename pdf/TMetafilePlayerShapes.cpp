//===- TMetafilePlayerShapes.cpp - Lines, polygons, boxes, arcs, paths and clips -===//
#include "pdf/TMetafilePlayer.h"

#include "pdf/PdfEmfRecord.h"
#include "pdf/TPDFPage.h"

#include "platform/gdi/metafile/EmfRecordTypes.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <iterator>
#include <numbers>
#include <string_view>

namespace {

/// The nearest integer, held inside the 32-bit range (0 for what is not a number).
int32_t toInt(double V)
{
    if (!std::isfinite(V))
        return 0;
    return static_cast<int32_t>(std::clamp(std::nearbyint(V), -2147483648.0, 2147483647.0));
}

/// Where the ray from the box's centre through P meets the ellipse inscribed in the box.
TExtPoint rayOnEllipse(const RECT& Box, POINT P)
{
    const double Cx = (double(Box.left) + Box.right) / 2, Cy = (double(Box.top) + Box.bottom) / 2;
    const double A = std::max(0.0, (std::abs(double(Box.right) - Box.left) - 1) / 2);
    const double B = std::max(0.0, (std::abs(double(Box.bottom) - Box.top) - 1) / 2);
    const double Dx = P.x - Cx, Dy = P.y - Cy;
    // A box without area, or a radial point at the centre, has no ray to follow.
    if (A == 0 || B == 0 || (Dx == 0 && Dy == 0))
        return TExtPoint { Cx + A, Cy };
    const double S = 1 / std::sqrt((Dx * Dx) / (A * A) + (Dy * Dy) / (B * B));
    return TExtPoint { Cx + S * Dx, Cy + S * Dy };
}

/// A line of the path construction operators, which alone may stand between a path's first
/// "m" or "re" and its painting operator.
bool buildsPath(std::string_view Line)
{
    const size_t Space = Line.rfind(' ');
    const std::string_view Op = Space == std::string_view::npos ? Line : Line.substr(Space + 1);
    return Op == "m" || Op == "l" || Op == "c" || Op == "v" || Op == "y" || Op == "h" || Op == "re";
}

} // namespace

// --- Points

std::vector<POINT> TMetafilePlayer::points(const TEmfRecord& R, size_t CountOffset, bool Small) const
{
    const uint32_t Count = R.U32(CountOffset);
    const std::span<const uint8_t> Bytes = R.Bytes(CountOffset + 4, Count, Small ? 4 : 8);
    std::vector<POINT> Points;
    if (!R.Ok())
        return Points;
    const TEmfRecord Run(Bytes);
    Points.reserve(Count);
    for (uint32_t I = 0; I < Count; ++I)
        Points.push_back(Small ? Run.Point16(I * 4) : Run.Point(I * 8));
    return Points;
}

// --- Lines and polylines

void TMetafilePlayer::moveToEx(const TEmfRecord& R)
{
    const POINT P = R.Point(8);
    if (!R.Ok())
        return;
    CurrentPos = P;
    if (InPath) {
        if (TextColorMode) {
            TextColorMode = false;
            brushFillColor();
        }
        moveTo(CurrentPos);
    }
}

void TMetafilePlayer::lineToRecord(const TEmfRecord& R)
{
    const POINT P = R.Point(8);
    if (!R.Ok())
        return;
    if (!InPath)
        moveTo(CurrentPos);
    lineTo(P);
    CurrentPos = P;
    strokeFinish();
}

void TMetafilePlayer::figure(POINT First, std::span<const POINT> Rest)
{
    // A new path outside a path bracket only: inside one it would drop the figures so far.
    if (!InPath)
        Page.NewPath();
    moveTo(First);
    for (const POINT& P : Rest)
        lineTo(P);
}

void TMetafilePlayer::polyline(const TEmfRecord& R, bool Small)
{
    const std::vector<POINT> P = points(R, EmfLayout::PolyCount, Small);
    if (P.empty())
        return;
    figure(P[0], std::span(P).subspan(1));
    strokeFinish();
}

void TMetafilePlayer::polylineTo(const TEmfRecord& R, bool Small)
{
    const std::vector<POINT> P = points(R, EmfLayout::PolyCount, Small);
    if (P.empty())
        return;
    figure(CurrentPos, P);
    strokeFinish();
    CurrentPos = P.back();
}

void TMetafilePlayer::polyPolyline(const TEmfRecord& R, bool Small, bool Closed)
{
    const uint32_t Polys = R.U32(EmfLayout::PolyPolyFigures), Total = R.U32(EmfLayout::PolyPolyTotal);
    const std::span<const uint8_t> Counts = R.Bytes(EmfLayout::PolyPolyCounts, Polys, 4);
    const std::span<const uint8_t> Bytes =
        R.Bytes(EmfLayout::PolyPolyCounts + uint64_t(Polys) * 4, Total, Small ? 4 : 8);
    if (!R.Ok())
        return;
    const TEmfRecord CountRun(Counts), PointRun(Bytes);
    uint64_t Sum = 0;
    for (uint32_t I = 0; I < Polys; ++I)
        Sum += CountRun.U32(I * 4);
    if (!R.Require(Sum == Total))
        return;
    if (!InPath)
        Page.NewPath();
    uint32_t At = 0;
    for (uint32_t I = 0; I < Polys; ++I) {
        const uint32_t N = CountRun.U32(I * 4);
        if (N == 0)
            continue;
        auto pointAt = [&](uint32_t K) { return Small ? PointRun.Point16(K * 4) : PointRun.Point(K * 8); };
        moveTo(pointAt(At));
        for (uint32_t K = 1; K < N; ++K)
            lineTo(pointAt(At + K));
        if (Closed)
            lineTo(pointAt(At));
        At += N;
    }
    Closed ? fillFinish() : strokeFinish();
}

void TMetafilePlayer::polygon(const TEmfRecord& R, bool Small)
{
    const std::vector<POINT> P = points(R, EmfLayout::PolyCount, Small);
    if (P.empty())
        return;
    figure(P[0], std::span(P).subspan(1));
    // A polygon is a closed figure inside a path bracket too.
    Page.ClosePath();
    fillFinish();
}

void TMetafilePlayer::polyBezier(const TEmfRecord& R, bool Small)
{
    const std::vector<POINT> P = points(R, EmfLayout::PolyCount, Small);
    if (P.size() < 4)
        return;
    moveTo(P[0]);
    for (size_t I = 1; I + 2 < P.size(); I += 3)
        Page.CurveTo(pointX(P[I].x), pointY(P[I].y), pointX(P[I + 1].x), pointY(P[I + 1].y), pointX(P[I + 2].x),
                     pointY(P[I + 2].y));
    strokeFinish();
}

void TMetafilePlayer::polyBezierTo(const TEmfRecord& R, bool Small)
{
    const std::vector<POINT> P = points(R, EmfLayout::PolyCount, Small);
    if (P.size() < 3)
        return;
    if (!InPath)
        moveTo(CurrentPos);
    for (size_t I = 0; I + 2 < P.size(); I += 3) {
        Page.CurveTo(pointX(P[I].x), pointY(P[I].y), pointX(P[I + 1].x), pointY(P[I + 1].y), pointX(P[I + 2].x),
                     pointY(P[I + 2].y));
        CurrentPos = P[I + 2];
    }
    strokeFinish();
}

void TMetafilePlayer::polyDraw(const TEmfRecord& R, bool Small)
{
    const std::vector<POINT> P = points(R, EmfLayout::PolyCount, Small);
    const std::span<const uint8_t> Types =
        R.Bytes(EmfLayout::PolyPoints + uint64_t(P.size()) * (Small ? 4 : 8), P.size());
    if (!R.Ok())
        return;
    if (!InPath)
        Page.NewPath();
    moveTo(CurrentPos);
    POINT Start = CurrentPos;
    size_t I = 0;
    while (I < P.size()) {
        const uint8_t T = Types[I];
        size_t Last = I;
        if ((T & PT_MOVETO) == PT_MOVETO) {
            moveTo(P[I]);
            CurrentPos = Start = P[I];
            ++I;
            continue;
        }
        if (T & PT_BEZIERTO) {
            if (I + 2 >= P.size())
                break;
            Page.CurveTo(pointX(P[I].x), pointY(P[I].y), pointX(P[I + 1].x), pointY(P[I + 1].y), pointX(P[I + 2].x),
                         pointY(P[I + 2].y));
            Last = I + 2;
            CurrentPos = P[Last];
        } else if (T & PT_LINETO) {
            lineTo(P[I]);
            CurrentPos = P[I];
        } else {
            ++I;
            continue;
        }
        if (Types[Last] & PT_CLOSEFIGURE) {
            lineTo(Start);
            CurrentPos = Start;
        }
        I = Last + 1;
    }
    strokeFinish();
}

void TMetafilePlayer::setPixel(const TEmfRecord& R)
{
    const POINT P = R.Point(8);
    const COLORREF Colour = R.U32(16);
    // A dot painted at once cannot join an open path.
    if (!R.Ok() || InPath)
        return;
    Page.NewPath();
    const bool OtherColour = Colour != PenColor;
    if (OtherColour)
        Page.SetRGBStrokeColor(GetRValue(Colour) / 255.0, GetGValue(Colour) / 255.0, GetBValue(Colour) / 255.0);
    if (PenWidth != 1)
        Page.SetLineWidth(1);
    const double X = pointX(P.x), Y = pointY(P.y);
    Page.MoveTo(X, Y);
    Page.LineTo(X + 0.01, Y + 0.01);
    // The pixel is painted whatever pen is selected.
    Page.Stroke();
    if (PenWidth != 1)
        Page.SetLineWidth(ScaleX * PenWidth);
    if (OtherColour)
        penStrokeColor();
}

// --- Boxes, arcs and ellipses

void TMetafilePlayer::rectangle(const TEmfRecord& R)
{
    const RECT B = R.Rect(8);
    if (!R.Ok())
        return;
    if (B.left == B.right || B.top == B.bottom) {
        if (!InPath)
            Page.NewPath();
        return;
    }
    Page.Rectangle(pointX(B.left), pointY(B.top), pointX(double(B.right) - 1), pointY(double(B.bottom) - 1));
    boxFinish();
}

void TMetafilePlayer::ellipse(const TEmfRecord& R)
{
    const RECT B = R.Rect(8);
    if (!R.Ok())
        return;
    Page.Ellipse(pointX(B.left), pointY(B.top), pointX(B.right), pointY(B.bottom));
    boxFinish();
}

void TMetafilePlayer::roundRect(const TEmfRecord& R)
{
    const RECT B = R.Rect(8);
    const POINT Corner = R.Point(24);
    if (!R.Ok())
        return;
    Page.RoundRect(toInt(pointX(B.left)), toInt(pointY(B.top)), toInt(pointX(B.right)), toInt(pointY(B.bottom)),
                   toInt(pointX(Corner.x)), toInt(pointY(Corner.y)));
    boxFinish();
}

void TMetafilePlayer::arc(const TEmfRecord& R, int Kind)
{
    const RECT B = R.Rect(8);
    const POINT S = R.Point(24), E = R.Point(32);
    if (!R.Ok())
        return;
    const double L = pointX(B.left), T = pointY(B.top), Rt = pointX(B.right), Bm = pointY(B.bottom);
    if (Kind == int(EMR_ARC) || Kind == int(EMR_CHORD)) {
        const POINT First = ArcCounterClockwise ? S : E, Second = ArcCounterClockwise ? E : S;
        const TExtPoint Start =
            Page.Arc(L, T, Rt, Bm, pointX(First.x), pointY(First.y), pointX(Second.x), pointY(Second.y));
        if (Kind == int(EMR_ARC))
            return strokeFinish();
        Page.LineTo(Start.X, Start.Y);
    } else {
        Page.Pie(L, T, Rt, Bm, pointX(S.x), pointY(S.y), pointX(E.x), pointY(E.y));
    }
    fillFinish();
}

void TMetafilePlayer::arcTo(const TEmfRecord& R)
{
    const RECT B = R.Rect(8);
    POINT First = R.Point(24), Second = R.Point(32);
    if (!R.Ok())
        return;
    moveTo(CurrentPos);
    if (!ArcCounterClockwise)
        std::swap(First, Second);
    const TExtPoint On = rayOnEllipse(B, First);
    Page.LineTo(pointX(On.X), pointY(On.Y));
    Page.Arc(pointX(B.left), pointY(B.top), pointX(B.right), pointY(B.bottom), pointX(First.x), pointY(First.y),
             pointX(Second.x), pointY(Second.y));
    const TExtPoint End = rayOnEllipse(B, Second);
    CurrentPos = POINT { toInt(End.X), toInt(End.Y) };
    strokeFinish();
}

void TMetafilePlayer::angleArc(const TEmfRecord& R)
{
    const POINT C = R.Point(8);
    const double Radius = R.U32(16);
    const double Start = R.F32(20), Sweep = R.F32(24);
    if (!R.Ok() || !std::isfinite(Start) || !std::isfinite(Sweep))
        return;
    // Whole turns change nothing, and a huge angle would make the arc walk forever.
    const double A = std::fmod(Start, 360.0);
    const double Rad = std::numbers::pi / 180;
    moveTo(CurrentPos);
    Page.LineTo(pointX(C.x + Radius * std::cos(A * Rad)), pointY(C.y - Radius * std::sin(A * Rad)));
    const double L = pointX(C.x - Radius), T = pointY(C.y - Radius), Rt = pointX(C.x + Radius),
                 Bm = pointY(C.y + Radius);
    if (std::abs(Sweep) >= 360)
        Page.Ellipse(L, T, Rt, Bm);
    else
        Page.ArcByAngles(L, T, Rt, Bm, A, A + Sweep);
    CurrentPos =
        POINT { toInt(C.x + Radius * std::cos((A + Sweep) * Rad)), toInt(C.y - Radius * std::sin((A + Sweep) * Rad)) };
    strokeFinish();
}

// --- Paths and clipping

std::vector<std::string> TMetafilePlayer::takeOpenPath()
{
    std::vector<std::string> Path = std::move(HeldPath);
    HeldPath.clear();
    if (PathStart <= Page.Content.size()) {
        const auto First = Page.Content.begin() + static_cast<std::ptrdiff_t>(PathStart);
        const auto Split =
            std::stable_partition(First, Page.Content.end(), [](const std::string& L) { return !buildsPath(L); });
        Path.insert(Path.end(), std::make_move_iterator(Split), std::make_move_iterator(Page.Content.end()));
        Page.Content.erase(Split, Page.Content.end());
    } else {
        // The page's lines from the bracket on are gone, and the held ones stood among them.
        Path.clear();
    }
    PathStart = SIZE_MAX;
    return Path;
}

void TMetafilePlayer::resumePath(std::vector<std::string> Path)
{
    PathStart = Page.Content.size();
    HeldPath = std::move(Path);
}

void TMetafilePlayer::restoreHeldPath()
{
    if (!HeldPath.empty() && PathStart <= Page.Content.size())
        Page.Content.insert(Page.Content.begin() + static_cast<std::ptrdiff_t>(PathStart),
                            std::make_move_iterator(HeldPath.begin()), std::make_move_iterator(HeldPath.end()));
    HeldPath.clear();
}

std::vector<std::string> TMetafilePlayer::finishedPath()
{
    std::vector<std::string> Path = InPath ? takeOpenPath() : std::move(PathLines);
    InPath = false;
    PathLines.clear();
    return Path;
}

void TMetafilePlayer::beginPath()
{
    // A bracket opened again drops the path so far unpainted, as a path never painted is.
    finishedPath();
    InPath = true;
    moveTo(CurrentPos);
    Page.NewPath();
    PathStart = Page.Content.size();
    moveTo(CurrentPos);
}

void TMetafilePlayer::endPath()
{
    if (!InPath)
        return;
    // The path waits off the page for its painting record: what the records between write
    // (colours, pens, other drawings) must not stand inside it.
    PathLines = takeOpenPath();
    InPath = false;
}

void TMetafilePlayer::endPathWith(uint32_t Type)
{
    std::vector<std::string> Path = finishedPath();
    // Without a path there is nothing to paint; a painting operator alone is no valid content.
    if (Path.empty())
        return;
    for (std::string& L : Path)
        Page.AppendLine(std::move(L));
    switch (Type) {
    case EMR_FILLPATH:
        if (!BrushNull)
            Page.Fill();
        break;
    case EMR_STROKEANDFILLPATH: fillFinish(); break;
    case EMR_STROKEPATH: strokeFinish(); break;
    default: break;
    }
    Page.NewPath();
}

void TMetafilePlayer::selectClipPath()
{
    // The path's lines go behind the "Q q" that the new clip needs: neither may stand inside a
    // path.
    std::vector<std::string> Path = finishedPath();
    if (Path.empty())
        return;
    if (ClipActive)
        clipRestore();
    clipSave();
    for (std::string& L : Path)
        Page.AppendLine(std::move(L));
    ClipActive = true;
    Page.Clip();
    ClipRectSaved = false;
    Page.NewPath();
}

void TMetafilePlayer::intersectClipRect(const TEmfRecord& R)
{
    const RECT B = R.Rect(8);
    if (!R.Ok())
        return;
    if (ClipActive)
        clipRestore();
    clipSave();
    ClipActive = true;
    Page.NewPath();
    const double Box[4] = { pointX(B.left), pointY(B.top), pointX(B.right), pointY(B.bottom) };
    Page.Rectangle(Box[0], Box[1], Box[2], Box[3]);
    std::copy(Box, Box + 4, SavedClipRect);
    ClipRectSaved = true;
    Page.Clip();
    Page.NewPath();
}

void TMetafilePlayer::extSelectClipRgn(const TEmfRecord& R)
{
    const uint32_t Size = R.U32(EmfLayout::ClipRgnDataSize);
    const TEmfRecord Region(R.Bytes(EmfLayout::ClipRgnData, Size));
    const uint32_t Count = Size == 0 ? 0 : Region.U32(EmfLayout::RgnDataCount);
    constexpr size_t Head = EmfLayout::RgnDataHeaderSize;
    if (!R.Ok() || (Size != 0 && (!Region.Ok() || !R.Require(Size >= Head && Count <= (Size - Head) / 16))))
        return;
    if (ClipActive) {
        ClipActive = false;
        clipRestore();
    }
    if (Size == 0)
        return;
    clipSave();
    Page.NewPath();
    ClipActive = true;
    ClipRectSaved = false;
    for (uint32_t I = 0; I < Count; ++I) {
        const RECT B = Region.Rect(Head + size_t(I) * 16);
        Page.Rectangle(plainX(B.left) + 1, plainY(B.top) + 1, plainX(B.right), plainY(B.bottom));
    }
    Page.Clip();
    Page.NewPath();
}
