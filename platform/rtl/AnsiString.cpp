//===- AnsiString.cpp - 8-bit Windows-1252 text: UTF-8, case, trimming ----===//
#include "platform/rtl/AnsiString.h"

#include <algorithm>
#include <array>

namespace {

// Code points of the bytes 0x80..0x9F; the rest of Windows-1252 equals Latin-1.
constexpr std::array<char32_t, 32> highControlBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

void appendUtf8(std::string& Out, char32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        // Windows-1252 reaches no further than the Basic Multilingual Plane.
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

/// Decodes one UTF-8 sequence at S[Pos]; moves Pos past it. Answers nothing for a malformed
/// sequence, after moving Pos past its longest valid beginning (at least one byte), so that one
/// broken character gives one '?'.
std::optional<char32_t> decodeUtf8(std::string_view S, size_t& Pos)
{
    const unsigned char Lead = static_cast<unsigned char>(S[Pos++]);
    if (Lead < 0x80)
        return Lead;
    int Following;
    char32_t C;
    unsigned char Low = 0x80, High = 0xBF; // the allowed range of the second byte
    if (Lead >= 0xC2 && Lead <= 0xDF) {
        Following = 1, C = Lead & 0x1F;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
        Following = 2, C = Lead & 0x0F;
        if (Lead == 0xE0)
            Low = 0xA0; // overlong
        if (Lead == 0xED)
            High = 0x9F; // surrogates
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
        Following = 3, C = Lead & 0x07;
        if (Lead == 0xF0)
            Low = 0x90; // overlong
        if (Lead == 0xF4)
            High = 0x8F; // above U+10FFFF
    } else {
        return std::nullopt;
    }
    for (int I = 0; I < Following; ++I) {
        if (Pos >= S.size())
            return std::nullopt;
        const unsigned char B = static_cast<unsigned char>(S[Pos]);
        if (B < Low || B > High)
            return std::nullopt;
        Low = 0x80, High = 0xBF;
        C = (C << 6) | (B & 0x3F);
        ++Pos;
    }
    return C;
}

unsigned char asciiUpper(unsigned char C) { return (C >= 'a' && C <= 'z') ? C - 0x20 : C; }
unsigned char asciiLower(unsigned char C) { return (C >= 'A' && C <= 'Z') ? C + 0x20 : C; }

unsigned char ansiUpper(unsigned char C)
{
    if ((C >= 'a' && C <= 'z') || (C >= 0xE0 && C <= 0xFE && C != 0xF7))
        return C - 0x20;
    switch (C) {
    case 0x9A: return 0x8A; // s caron
    case 0x9C: return 0x8C; // oe
    case 0x9E: return 0x8E; // z caron
    case 0xFF: return 0x9F; // y diaeresis
    default: return C;      // sharp s and micro have no upper case of their own here
    }
}

unsigned char ansiLower(unsigned char C)
{
    if ((C >= 'A' && C <= 'Z') || (C >= 0xC0 && C <= 0xDE && C != 0xD7))
        return C + 0x20;
    switch (C) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return C;
    }
}

template <typename Map>
std::string mapBytes(std::string_view S, Map M)
{
    std::string Out(S);
    for (char& C : Out)
        C = static_cast<char>(M(static_cast<unsigned char>(C)));
    return Out;
}

template <typename Map>
int compareMapped(std::string_view S1, std::string_view S2, Map M)
{
    const size_t N = std::min(S1.size(), S2.size());
    for (size_t I = 0; I < N; ++I) {
        const int A = M(static_cast<unsigned char>(S1[I]));
        const int B = M(static_cast<unsigned char>(S2[I]));
        if (A != B)
            return A - B;
    }
    return S1.size() < S2.size() ? -1 : (S1.size() > S2.size() ? 1 : 0);
}

bool isBlank(char C) { return static_cast<unsigned char>(C) <= ' '; }

} // namespace

char32_t AnsiCharToUnicode(unsigned char Ansi)
{
    if (Ansi >= 0x80 && Ansi <= 0x9F)
        return highControlBlock[Ansi - 0x80];
    return Ansi;
}

std::optional<unsigned char> UnicodeToAnsiChar(char32_t Code)
{
    if (Code < 0x80 || (Code >= 0xA0 && Code <= 0xFF))
        return static_cast<unsigned char>(Code);
    for (size_t I = 0; I < highControlBlock.size(); ++I)
        if (highControlBlock[I] == Code)
            return static_cast<unsigned char>(0x80 + I);
    return std::nullopt;
}

std::string AnsiToUtf8(std::string_view Ansi)
{
    std::string Out;
    Out.reserve(Ansi.size());
    for (char C : Ansi)
        appendUtf8(Out, AnsiCharToUnicode(static_cast<unsigned char>(C)));
    return Out;
}

std::string Utf8ToAnsi(std::string_view Utf8)
{
    std::string Out;
    Out.reserve(Utf8.size());
    size_t Pos = 0;
    while (Pos < Utf8.size()) {
        const std::optional<char32_t> Code = decodeUtf8(Utf8, Pos);
        const std::optional<unsigned char> Ansi = Code ? UnicodeToAnsiChar(*Code) : std::nullopt;
        Out += Ansi ? static_cast<char>(*Ansi) : '?';
    }
    return Out;
}

std::string UpperCase(std::string_view S) { return mapBytes(S, asciiUpper); }
std::string LowerCase(std::string_view S) { return mapBytes(S, asciiLower); }
std::string AnsiUpperCase(std::string_view S) { return mapBytes(S, ansiUpper); }
std::string AnsiLowerCase(std::string_view S) { return mapBytes(S, ansiLower); }

int CompareStr(std::string_view S1, std::string_view S2)
{
    return compareMapped(S1, S2, [](unsigned char C) { return C; });
}

int CompareText(std::string_view S1, std::string_view S2) { return compareMapped(S1, S2, asciiUpper); }
bool SameText(std::string_view S1, std::string_view S2) { return CompareText(S1, S2) == 0; }
int AnsiCompareText(std::string_view S1, std::string_view S2) { return compareMapped(S1, S2, ansiUpper); }
bool AnsiSameText(std::string_view S1, std::string_view S2) { return AnsiCompareText(S1, S2) == 0; }

std::string Trim(std::string_view S) { return TrimLeft(TrimRight(S)); }

std::string TrimLeft(std::string_view S)
{
    size_t First = 0;
    while (First < S.size() && isBlank(S[First]))
        ++First;
    return std::string(S.substr(First));
}

std::string TrimRight(std::string_view S)
{
    size_t End = S.size();
    while (End > 0 && isBlank(S[End - 1]))
        --End;
    return std::string(S.substr(0, End));
}
