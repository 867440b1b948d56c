//===- AnsiString.h - 8-bit Windows-1252 text: UTF-8, case, trimming -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The system's text is 8-bit Windows-1252 ("ANSI") in std::string, as in the original; only the
// platform converts it, where it meets the outside world (window texts, file names, fonts).

// --- Conversion to and from Unicode

/// The Unicode code point of one ANSI byte. The five bytes that Windows-1252 leaves undefined
/// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control code points of the same value.
char32_t AnsiCharToUnicode(unsigned char Ansi);
/// The ANSI byte of a code point, or nothing when Windows-1252 has no byte for it.
std::optional<unsigned char> UnicodeToAnsiChar(char32_t Code);

/// ANSI text as UTF-8. Every byte has a code point, so nothing is lost.
std::string AnsiToUtf8(std::string_view Ansi);
/// UTF-8 text as ANSI. A code point without an ANSI byte, and each malformed sequence, becomes '?'.
std::string Utf8ToAnsi(std::string_view Utf8);

// --- Case

/// Only 'a'..'z' and 'A'..'Z' change (UpperCase, LowerCase of the original).
std::string UpperCase(std::string_view S);
std::string LowerCase(std::string_view S);
/// Every Windows-1252 letter changes ('\xE4' and '\xC4', '\x9A' and '\x8A', '\xFF' and '\x9F' ...).
std::string AnsiUpperCase(std::string_view S);
std::string AnsiLowerCase(std::string_view S);

// --- Comparison (< 0, 0, > 0 like strcmp; bytes compare unsigned)

int CompareStr(std::string_view S1, std::string_view S2);
/// Ignores the case of 'a'..'z' only.
int CompareText(std::string_view S1, std::string_view S2);
bool SameText(std::string_view S1, std::string_view S2);
/// Ignores the case of every Windows-1252 letter; the order is that of the upper-case bytes.
int AnsiCompareText(std::string_view S1, std::string_view S2);
bool AnsiSameText(std::string_view S1, std::string_view S2);

// --- Trimming: removes blanks and control characters (every byte up to ' ')

std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);
