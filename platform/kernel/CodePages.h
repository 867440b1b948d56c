//===- CodePages.h - Converting between code pages and UTF-16 -----*- C++ -*-===//
//
// The original platform's conversions for the code pages its font character sets stand for:
// 874 (Thai), 932, 936, 949, 950 (East Asian double-byte), 1250-1258 (the Windows pages), 1361
// (Johab), 10000 (Macintosh Roman), and CP_ACP, which is 1252 here.
//
#pragma once

#include <cstdint>

using WCHAR = char16_t; // one UTF-16 code unit, as the original's wide strings hold

constexpr uint32_t CP_ACP = 0;
constexpr uint32_t MB_PRECOMPOSED = 0x1, MB_ERR_INVALID_CHARS = 0x8;
constexpr uint32_t WC_NO_BEST_FIT_CHARS = 0x400;

/// Converts Count bytes (-1: up to and including the terminating NUL) to UTF-16 and answers
/// the number of code units. With BufferSize 0 nothing is written and the answer is the size
/// needed. Answers 0 for an unknown code page, unknown flags, Count 0, a missing buffer or one
/// too small (nothing is written then). A byte that stands for no character becomes the code
/// page's default character (U+30FB in the double-byte pages, '?' elsewhere; bytes 0x80-0x9F
/// of the single-byte pages become U+0080-U+009F), or fails the call with MB_ERR_INVALID_CHARS.
int MultiByteToWideChar(uint32_t CodePage, uint32_t Flags, const char* MultiByteStr, int Count, WCHAR* WideCharStr,
                        int BufferSize);

/// Converts Count UTF-16 units (-1: up to and including the terminating NUL) to the code page
/// and answers the number of bytes, with the same rules for the size query and a small or
/// missing buffer. A character the code page lacks (or a lone surrogate) becomes DefaultChar
/// (its first one or two bytes; '?' when null) and sets *UsedDefaultChar when that is given.
/// No best-fit replacements are made.
int WideCharToMultiByte(uint32_t CodePage, uint32_t Flags, const WCHAR* WideCharStr, int Count, char* MultiByteStr,
                        int BufferSize, const char* DefaultChar, bool* UsedDefaultChar);
