//===- ResourceBitmaps.h - Lamp and seven-segment bitmap strips of the display controls -===//
#pragma once

#include "platform/gdi/bitmaps/Dib.h"

#include <array>
#include <string_view>

/// Our own pixel art for the lamp and digit-display controls, drawn into 24-bit bitmaps. The
/// controls recolour the strips at run time by exact colour keys, so every strip uses only the
/// colours named here and the same calls always give the same pixels. Tessaly's report adds the
/// maker's logo, which nothing recolours.
namespace resourcebitmaps {

// Colour keys (0x00BBGGRR)
constexpr COLORREF KeyRed = 0x0000FF;    ///< lamp body, lit segment, decimal point
constexpr COLORREF KeyOlive = 0x008080;  ///< surroundings of a lamp
constexpr COLORREF KeyBlack = 0x000000;  ///< background of a digit; dark shading of a lamp
constexpr COLORREF KeyWhite = 0xFFFFFF;  ///< unlit segment; light shading of a lamp
constexpr COLORREF KeySilver = 0xC0C0C0; ///< lamp shading
constexpr COLORREF KeyGrey = 0x808080;   ///< lamp shading

// The lamp strip: LampShapes shapes of LampSize x LampSize side by side
constexpr int LampSize = 15;
constexpr int LampShapes = 8;
enum class LampShape { BevelledRound, BevelledSquare, Round, SmallRound, Square, HorizontalBar, VerticalBar, Diamond };

// The digit strip: DigitGlyphs glyphs of DigitWidth x DigitHeight
constexpr int DigitWidth = 13;
constexpr int DigitHeight = 23;
constexpr int DigitGlyphs = 18; // 0-9, A-F, blank, minus
constexpr int DigitBlank = 16, DigitMinus = 17;

// The point-digit strip: PointGlyphs glyphs of PointWidth x DigitHeight and one spare column;
// each cell is PointMargin columns for the decimal point, then a digit glyph.
constexpr int PointWidth = 16;
constexpr int PointMargin = PointWidth - DigitWidth;
constexpr int PointGlyphs = 24; // 0-9, blank, minus, then the same twelve with the point
constexpr int PointBlank = 10, PointMinus = 11, PointOffset = 12;

// Drawing
/// 120 x 15: the eight lamp shapes, body KeyRed, surroundings KeyOlive; the two bevelled
/// shapes add black, white, silver and grey shading that the controls keep as drawn.
Dib DrawLampStrip();
/// 234 x 23: all seven segments in every glyph, lit ones KeyRed, unlit ones KeyWhite, on KeyBlack.
Dib DrawDigitStrip();
/// 385 x 23: the digit glyphs shifted right by PointMargin; glyphs PointOffset and up add a
/// KeyRed point in the margin's lower part. The last column is background.
Dib DrawPointDigitStrip();

// The maker's logo (Orvane) on the report page: a ring around a laser pulse and the word mark
constexpr int LogoWidth = 380;
constexpr int LogoHeight = 90;
constexpr COLORREF LogoWhite = 0xFFFFFF; ///< background
constexpr COLORREF LogoNavy = 0x6B3A12;  ///< ring and letters
constexpr COLORREF LogoRed = 0x281ED2;   ///< the pulse and the beam under the word
/// 380 x 90, smoothed edges (colours between the three above and white).
Dib DrawOrvaneLogo();

/// The bitmaps under the file names the resources use, each in its program's folder of
/// resources/ ("controls", "energystats").
struct Strip {
    std::string_view Folder;
    std::string_view FileName;
    Dib (*Draw)();
};
const std::array<Strip, 4>& Strips();

} // namespace resourcebitmaps
