//===- TPDFPageShapes.cpp - Circles, ellipses, arcs, pies and rounded rectangles as Bezier paths -===//
#include "pdf/TPDFPage.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

/// Control point distance of a quarter circle of radius 1.
constexpr double Kappa = 0.5522847498;
constexpr double Pi = std::numbers::pi;

} // namespace

// --- Shapes in points

void TPDFPage::CirclePt(double X, double Y, double R) { EllipsePt(X - R, Y - R, X + R, Y + R); }

void TPDFPage::EllipsePt(double X1, double Y1, double X2, double Y2)
{
    const double Rx = (X2 - X1) / 2, Ry = (Y2 - Y1) / 2;
    const double X = X1 + Rx, Y = Y1 + Ry;
    const double Kx = Rx * Kappa, Ky = Ry * Kappa;
    MoveToPt(X + Rx, Y);
    CurveToPt(X + Rx, Y + Ky, X + Kx, Y + Ry, X, Y + Ry);
    CurveToPt(X - Kx, Y + Ry, X - Rx, Y + Ky, X - Rx, Y);
    CurveToPt(X - Rx, Y - Ky, X - Kx, Y - Ry, X, Y - Ry);
    CurveToPt(X + Kx, Y - Ry, X + Rx, Y - Ky, X + Rx, Y);
}

void TPDFPage::arcSegmentPt(bool First, double Sweep, double Start, double Cx, double Cy, double Rx, double Ry)
{
    if (Sweep == 0) {
        const double X = Cx + Rx * std::cos(Start), Y = Cy - Ry * std::sin(Start);
        if (First)
            MoveToPt(X, Y);
        LineToPt(X, Y);
        return;
    }
    const double H = Sweep / 2, S = std::sin(H), C = std::cos(H);
    const double Q = (1 - C) * 4 / 3, V = S - Q * C / S;
    const double Theta = Start + H, CosT = std::cos(Theta), SinT = std::sin(Theta);
    auto place = [&](double U, double W) {
        return TExtPoint { Cx + Rx * (U * CosT + W * SinT) - 0.0001, Cy + Ry * (-U * SinT + W * CosT) - 0.0001 };
    };
    const TExtPoint P0 = place(C, S), P1 = place(C + Q, V), P2 = place(C + Q, -V), P3 = place(C, -S);
    if (First)
        MoveToPt(P0.X, P0.Y);
    CurveToPt(P1.X, P1.Y, P2.X, P2.Y, P3.X, P3.Y);
}

TExtPoint TPDFPage::arcSpanPt(double Start, double Span, double Cx, double Cy, double Rx, double Ry)
{
    const TExtPoint StartPoint { Cx + Rx * std::cos(Start), Cy - Ry * std::sin(Start) };
    bool First = true;
    while (Span > Pi / 2) {
        arcSegmentPt(First, Pi / 2, Start, Cx, Cy, Rx, Ry);
        First = false;
        Span -= Pi / 2;
        Start += Pi / 2;
    }
    if (Span >= 0)
        arcSegmentPt(First, Span, Start, Cx, Cy, Rx, Ry);
    return StartPoint;
}

TExtPoint TPDFPage::ArcPt(double X1, double Y1, double X2, double Y2, double BegAngle, double EndAngle)
{
    const double Rx = std::max(0.0, (std::abs(X1 - X2) - 1) / 2), Ry = std::max(0.0, (std::abs(Y1 - Y2) - 1) / 2);
    const double Start = BegAngle * Pi / 180, End = EndAngle * Pi / 180;
    double Span = End - Start;
    if (Span < 0)
        Span += 2 * Pi;
    return arcSpanPt(Start, Span, (X1 + X2) / 2, (Y1 + Y2) / 2, Rx, Ry);
}

TExtPoint TPDFPage::ArcByPointsPt(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4,
                                  double Y4)
{
    const double Rx = std::max(0.0, (std::abs(X1 - X2) - 1) / 2), Ry = std::max(0.0, (std::abs(Y1 - Y2) - 1) / 2);
    const double Cx = (X1 + X2) / 2, Cy = (Y1 + Y2) / 2;
    const double Start = std::atan2(-Rx * (Y3 - Cy), Ry * (X3 - Cx));
    const double End = std::atan2(-Rx * (Y4 - Cy), Ry * (X4 - Cx));
    double Span = End - Start;
    if (Span <= 0)
        Span += 2 * Pi;
    return arcSpanPt(Start, Span, Cx, Cy, Rx, Ry);
}

void TPDFPage::PiePt(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4)
{
    const TExtPoint Start = ArcByPointsPt(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    const double Cx = X1 + (X2 - X1) / 2, Cy = Y1 + (Y2 - Y1) / 2;
    LineToPt(Cx, Cy);
    MoveToPt(Start.X, Start.Y);
    LineToPt(Cx, Cy);
}

void TPDFPage::RotatedRectanglePt(double X, double Y, double W, double H, double Angle)
{
    const double R = Angle * Pi / 180, C = std::cos(R), S = std::sin(R);
    MoveToPt(X, Y);
    LineToPt(X + W * C, Y + W * S);
    LineToPt(X + W * C - H * S, Y + W * S + H * C);
    LineToPt(X - H * S, Y + H * C);
}

// --- Device units

void TPDFPage::CurveTo(double X1, double Y1, double X2, double Y2, double X3, double Y3)
{
    CurveToPt(ToPtX(X1), ToPtY(Y1), ToPtX(X2), ToPtY(Y2), ToPtX(X3), ToPtY(Y3));
}

void TPDFPage::Rectangle(double X1, double Y1, double X2, double Y2)
{
    NormalizeRect(X1, Y1, X2, Y2);
    const double L = ToPtX(X1), T = ToPtY(Y1);
    RectanglePt(L, T, ToPtX(X2) - L, ToPtY(Y2) - T);
}

void TPDFPage::Circle(double X, double Y, double R) { CirclePt(ToPtX(X), ToPtY(Y), R / ScaleFactor); }

void TPDFPage::Ellipse(double X1, double Y1, double X2, double Y2)
{
    EllipsePt(ToPtX(X1), ToPtY(Y1), ToPtX(X2), ToPtY(Y2));
}

TExtPoint TPDFPage::ArcByAngles(double X1, double Y1, double X2, double Y2, double BegAngle, double EndAngle)
{
    const TExtPoint P = ArcPt(ToPtX(X1), ToPtY(Y1), ToPtX(X2), ToPtY(Y2), -EndAngle, -BegAngle);
    return TExtPoint { FromPtX(P.X), FromPtY(P.Y) };
}

TExtPoint TPDFPage::Arc(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4)
{
    // The radial points change places: the flip of the y axis would otherwise turn the arc.
    const TExtPoint P =
        ArcByPointsPt(ToPtX(X1), ToPtY(Y1), ToPtX(X2), ToPtY(Y2), ToPtX(X4), ToPtY(Y4), ToPtX(X3), ToPtY(Y3));
    return TExtPoint { FromPtX(P.X), FromPtY(P.Y) };
}

void TPDFPage::Pie(double X1, double Y1, double X2, double Y2, double X3, double Y3, double X4, double Y4)
{
    PiePt(ToPtX(X1), ToPtY(Y1), ToPtX(X2), ToPtY(Y2), ToPtX(X4), ToPtY(Y4), ToPtX(X3), ToPtY(Y3));
}

void TPDFPage::RoundRect(int X1, int Y1, int X2, int Y2, int CornerWidth, int CornerHeight)
{
    NormalizeRect(X1, Y1, X2, Y2);
    const double Rx = CornerWidth / 2.0, Ry = CornerHeight / 2.0;
    const double Kx = Rx * Kappa, Ky = Ry * Kappa;
    MoveTo(X1 + Rx, Y1);
    LineTo(X2 - Rx, Y1);
    CurveTo(X2 - Rx + Kx, Y1, X2, Y1 + Ry - Ky, X2, Y1 + Ry);
    LineTo(X2, Y2 - Ry);
    CurveTo(X2, Y2 - Ry + Ky, X2 - Rx + Kx, Y2, X2 - Rx, Y2);
    LineTo(X1 + Rx, Y2);
    CurveTo(X1 + Rx - Kx, Y2, X1, Y2 - Ry + Ky, X1, Y2 - Ry);
    LineTo(X1, Y1 + Ry);
    CurveTo(X1, Y1 + Ry - Ky, X1 + Rx - Kx, Y1, X1 + Rx, Y1);
    ClosePath();
}
