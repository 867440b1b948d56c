//===- PdfPrimitives.cpp - Text, number, character and geometry helpers of the PDF writer -===//
#include "pdf/PdfPrimitives.h"

#include "platform/rtl/SysUtils.h"
#include "platform/ui/controls/UiTypes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr uint16_t WinAnsiHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

/// Switches the process-wide separator for one formatting call.
class DecimalPointScope {
public:
    DecimalPointScope() : FSaved(DecimalSeparator) { DecimalSeparator = '.'; }
    ~DecimalPointScope() { DecimalSeparator = FSaved; }

private:
    char FSaved;
};

void quickSort(std::vector<uint16_t>& V, int First, int Last)
{
    while (First < Last) {
        const uint16_t Pivot = V[(First + Last) / 2];
        int I = First, J = Last;
        while (I <= J) {
            while (V[I] < Pivot)
                ++I;
            while (V[J] > Pivot)
                --J;
            if (I <= J)
                std::swap(V[I++], V[J--]);
        }
        // Recurse into the smaller half so that a sorted input cannot exhaust the stack.
        if (J - First < Last - I) {
            quickSort(V, First, J);
            First = I;
        } else {
            quickSort(V, I, Last);
            Last = J;
        }
    }
}

} // namespace

std::string EscapeSpecialChar(std::string_view Text)
{
    std::string S;
    S.reserve(Text.size() + 8);
    for (char C : Text) {
        switch (C) {
        case '\n': S += "\\n"; break;
        case '\r': S += "\\r"; break;
        case '(': S += "\\("; break;
        case ')': S += "\\)"; break;
        case '\\': S += "\\\\"; break;
        default: S += C;
        }
    }
    return S;
}

std::string FloatToPDFStr(double Value)
{
    if (!std::isfinite(Value))
        return "0";
    // Whole values are written without a point, so readers take them for integers: beyond the
    // 32-bit range they refuse them (qpdf: "overflow converting ... to 64-bit integer").
    constexpr double Largest = 2147483647;
    Value = std::clamp(Value, -Largest, Largest);
    DecimalPointScope Scope;
    std::string S = FormatFloat("0.####", Value);
    if (S == "-0")
        return "0";
    return S;
}

std::string IntToStrZero(int64_t Value, int Width)
{
    std::string S = IntToStr(Value);
    if (static_cast<int>(S.size()) < Width)
        S.insert(0, Width - S.size(), '0');
    return S;
}

std::string ObjectRef(int32_t Number) { return IntToStr(Number) + " 0 R"; }

std::string ReplaceChar(std::string_view Text, char Character, std::string_view Replacement)
{
    std::string S;
    for (char C : Text) {
        if (C == Character)
            S += Replacement;
        else
            S += C;
    }
    return S;
}

std::string ByteToHex(uint8_t Value)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    return std::string { Hex[Value >> 4], Hex[Value & 15] };
}

std::string WordToHex(uint16_t Value) { return ByteToHex(uint8_t(Value >> 8)) + ByteToHex(uint8_t(Value)); }

int PosFrom(std::string_view Pattern, std::string_view Text, int Start)
{
    if (Pattern.empty() || Text.empty() || Start < 1)
        return 0;
    if (static_cast<int64_t>(Text.size()) - (Start - 1) < static_cast<int64_t>(Pattern.size()))
        return 0;
    const size_t At = Text.find(Pattern, Start - 1);
    return At == std::string_view::npos ? 0 : static_cast<int>(At) + 1;
}

std::string NextCommaToken(std::string_view& Cursor)
{
    size_t I = 0;
    while (I < Cursor.size() && Cursor[I] == ' ')
        ++I;
    Cursor.remove_prefix(I);
    const size_t Comma = Cursor.find(',');
    std::string Token(Cursor.substr(0, Comma));
    Cursor.remove_prefix(Comma == std::string_view::npos ? Cursor.size() : Comma + 1);
    return Token;
}

bool IsWinAnsiChar(uint16_t Code) { return Code < 128 || (Code >= 160 && Code <= 255) || UnicodeToWinAnsi(Code) != 0; }

uint8_t UnicodeToWinAnsi(uint16_t Code)
{
    if (Code < 128 || (Code >= 160 && Code <= 255))
        return uint8_t(Code);
    for (int I = 0; I < 32; ++I)
        if (WinAnsiHigh[I] == Code)
            return uint8_t(128 + I);
    return 0;
}

uint16_t WinAnsiToUnicode(uint8_t Byte) { return Byte >= 128 && Byte < 160 ? WinAnsiHigh[Byte - 128] : Byte; }

void SortWordArray(std::vector<uint16_t>& Values, int Last)
{
    if (Last >= static_cast<int>(Values.size()))
        Last = static_cast<int>(Values.size()) - 1;
    quickSort(Values, 0, Last);
}

void MultiplyMatrix(TPDFMatrix& M, const TPDFMatrix& N)
{
    const TPDFMatrix R {
        N.a * M.a + N.b * M.c, N.a * M.b + N.b * M.d,       N.c * M.a + N.d * M.c,
        N.c * M.b + N.d * M.d, N.e * M.a + N.f * M.c + M.e, N.e * M.b + N.f * M.d + M.f,
    };
    M = R;
}

TExtPoint RotateCoordinate(double X, double Y, double Angle)
{
    const double T = Angle * std::numbers::pi / 180;
    return TExtPoint { X * std::cos(T) - Y * std::sin(T), X * std::sin(T) + Y * std::cos(T) };
}

void NormalizeRect(TRect& R) { NormalizeRect(R.Left, R.Top, R.Right, R.Bottom); }

void NormalizeRect(int& Left, int& Top, int& Right, int& Bottom)
{
    if (Right < Left)
        std::swap(Left, Right);
    if (Bottom < Top)
        std::swap(Top, Bottom);
}

void NormalizeRect(double& Left, double& Top, double& Right, double& Bottom)
{
    if (Right < Left)
        std::swap(Left, Right);
    if (Bottom < Top)
        std::swap(Top, Bottom);
}
