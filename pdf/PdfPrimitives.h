//===- PdfPrimitives.h - Text, number, character and geometry helpers of the PDF writer -*- C++ -*-===//
//
// Every string and number in a PDF file goes through these: escaping of literal strings, hex
// digits, the "0.####" number format with "." whatever the locale, the WinAnsi (code page 1252)
// mapping, and the small matrix and rectangle operations that pages and the metafile player share.
//
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TRect;

// --- Text
/// LF, CR, "(", ")" and the backslash escaped for a literal string; every other byte unchanged.
std::string EscapeSpecialChar(std::string_view Text);
/// "0.####" with "." as separator, whatever DecimalSeparator holds: at most four decimals, no
/// trailing zeros. Never an exponent, INF, NAN or "-0": a value that is not finite writes 0,
/// since a reader would refuse the whole content stream over one such operand, and one beyond
/// the 32-bit integer range the nearest end of that range.
std::string FloatToPDFStr(double Value);
/// Left-padded with "0" to Width; never cut.
std::string IntToStrZero(int64_t Value, int Width);
/// An indirect reference: the object number and " 0 R".
std::string ObjectRef(int32_t Number);
std::string ReplaceChar(std::string_view Text, char Character, std::string_view Replacement);
/// Two upper-case hex digits.
std::string ByteToHex(uint8_t Value);
/// Four upper-case hex digits, high byte first.
std::string WordToHex(uint16_t Value);
/// 1-based position of Pattern in Text at or after Start (1-based); 0 when absent, when either
/// is empty, or when Start leaves less room than the pattern needs.
int PosFrom(std::string_view Pattern, std::string_view Text, int Start);
inline int ChooseInt(bool Flag, int A, int B) { return Flag ? A : B; }
inline std::string ChooseStr(bool Flag, std::string A, std::string B) { return Flag ? A : B; }
/// Skips leading blanks, answers the text up to the next comma (or the end) and moves Cursor past
/// that comma (to the end when there is none).
std::string NextCommaToken(std::string_view& Cursor);

// --- Characters (WinAnsi is code page 1252)
bool IsWinAnsiChar(uint16_t Code);
/// The WinAnsi byte of a UTF-16 code point, 0 when it has none.
uint8_t UnicodeToWinAnsi(uint16_t Code);
uint16_t WinAnsiToUnicode(uint8_t Byte);

// --- Sorting
/// Ascending, over the inclusive index range 0..Last.
void SortWordArray(std::vector<uint16_t>& Values, int Last);

// --- Geometry
/// An affine matrix (a b c d e f) in the row-vector convention of PDF.
struct TPDFMatrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    friend bool operator==(const TPDFMatrix&, const TPDFMatrix&) = default;
};
struct TExtPoint {
    double X = 0, Y = 0;
};
/// M := N x M.
void MultiplyMatrix(TPDFMatrix& M, const TPDFMatrix& N);
/// (x cos t - y sin t, x sin t + y cos t), t the angle in degrees.
TExtPoint RotateCoordinate(double X, double Y, double Angle);
void NormalizeRect(TRect& R);
void NormalizeRect(int& Left, int& Top, int& Right, int& Bottom);
void NormalizeRect(double& Left, double& Top, double& Right, double& Bottom);
inline TExtPoint SetExtPoint(double X, double Y) { return TExtPoint { X, Y }; }
