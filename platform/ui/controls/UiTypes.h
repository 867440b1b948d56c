//===- UiTypes.h - Points, rectangles and the small enumerations of controls -*- C++ -*-===//
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "platform/ui/components/TypeInfo.h"

#include <cstdint>
#include <optional>
#include <string_view>

// --- Geometry, with the class library's field names (R.Left, P.X)

struct TPoint {
    int X = 0, Y = 0;
    friend constexpr bool operator==(TPoint, TPoint) = default;
};

/// Right and bottom are outside the rectangle, as everywhere in drawing.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr operator RECT() const { return RECT { Left, Top, Right, Bottom }; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(int X, int Y) { return TPoint { X, Y }; }
constexpr TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect { Left, Top, Right, Bottom }; }
constexpr TRect Bounds(int Left, int Top, int Width, int Height)
{
    return TRect { Left, Top, Left + Width, Top + Height };
}
constexpr TRect ToRect(const RECT& R) { return TRect { R.left, R.top, R.right, R.bottom }; }
constexpr bool PtInRect(const TRect& R, TPoint P)
{
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

// --- Placement and alignment

/// How a control sticks to an edge of its parent's client area.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
using enum TAlign;
inline constexpr EnumIdent TAlignIdents[] = {
    { "alNone", alNone }, { "alTop", alTop },     { "alBottom", alBottom },
    { "alLeft", alLeft }, { "alRight", alRight }, { "alClient", alClient },
};
inline constexpr TEnumType<TAlign> TAlignType { "TAlign", TAlignIdents };

/// Horizontal placement of text.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;
inline constexpr EnumIdent TAlignmentIdents[] = {
    { "taLeftJustify", taLeftJustify },
    { "taRightJustify", taRightJustify },
    { "taCenter", taCenter },
};
inline constexpr TEnumType<TAlignment> TAlignmentType { "TAlignment", TAlignmentIdents };

// --- Mouse cursors (negative numbers are the stock cursors)

using TCursor = int16_t;
inline constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                         crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crNo = -18,
                         crHandPoint = -21, crSizeAll = -22;
/// A cursor identifier of form resources ("crHandPoint"), matched without regard to case; nothing
/// for an unknown one.
std::optional<TCursor> IdentToCursor(std::string_view Ident);

// --- Modal results: what a modal form answers; a button's ModalResult ends the modal loop

using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                              mrNo = 7, mrAll = 8;

// --- Bevels of panels

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using enum TBevelCut;
inline constexpr EnumIdent TBevelCutIdents[] = {
    { "bvNone", bvNone },
    { "bvLowered", bvLowered },
    { "bvRaised", bvRaised },
    { "bvSpace", bvSpace },
};
inline constexpr TEnumType<TBevelCut> TBevelCutType { "TBevelCut", TBevelCutIdents };

using TBevelWidth = int;
using TBorderWidth = int;
