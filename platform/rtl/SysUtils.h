//===- SysUtils.h - Numbers: rounding, integer and float text -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Number text never depends on the C library's locale: the decimal separator is the one below,
// the same for the whole process, and only the system changes it.

// --- Process-wide number settings

/// The decimal separator of every float formatted or parsed here (default '.'). The PDF writer
/// switches it for one call at a time; the system runs its formatting on one thread.
extern char DecimalSeparator;
/// Inserted between groups of three digits by the ',' of FormatFloat and by ffNumber (default ',').
extern char ThousandSeparator;

// --- Rounding

/// Nearest integer, ties to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -2.5 -> -2).
/// Raises EInvalidOp for NaN, infinities and values that no 64-bit integer holds.
int64_t Round(double X);
/// Toward zero. Raises EInvalidOp like Round.
int64_t Trunc(double X);
/// The fractional part, with the sign of X (Frac(-1.25) = -0.25).
double Frac(double X);

// --- Integers as text

std::string IntToStr(int64_t Value);
/// Upper-case hexadecimal with at least Digits digits; a negative value shows its 32-bit two's
/// complement (IntToHex(-1, 2) = "FFFFFFFF").
std::string IntToHex(int32_t Value, int Digits);
/// The same for 64-bit values: a negative value shows 16 digits.
std::string IntToHex(int64_t Value, int Digits);
inline std::string IntToHex(uint32_t Value, int Digits) { return IntToHex(static_cast<int64_t>(Value), Digits); }
inline std::string IntToHex(uint64_t Value, int Digits) { return IntToHex(static_cast<int64_t>(Value), Digits); }

/// Text to a 32-bit integer: leading blanks, an optional sign, then decimal digits or
/// hexadecimal after '$' or "0x" ("$FFFFFFFF" is -1). Nothing may follow the digits.
/// Raises EConvertError "'abc' is not a valid integer value".
int32_t StrToInt(std::string_view S);
int32_t StrToIntDef(std::string_view S, int32_t Default);
bool TryStrToInt(std::string_view S, int32_t& Value);
/// The same for 64-bit integers.
int64_t StrToInt64(std::string_view S);
int64_t StrToInt64Def(std::string_view S, int64_t Default);
bool TryStrToInt64(std::string_view S, int64_t& Value);

// --- Floats as text

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber };
using enum TFloatFormat;

/// The shortest text: FloatToStrF(Value, ffGeneral, 15, 0) ("0.1", "1E20", "-1.5E-7").
std::string FloatToStr(double Value);
/// Precision is the number of significant digits (1..18). Digits is, by format:
///  ffGeneral  the minimum number of exponent digits (fixed notation while the value has at most
///             Precision integer digits and is at least 0.00001, else "1.5E-7")
///  ffExponent the minimum number of exponent digits ("1.23E+004" for Precision 3, Digits 3)
///  ffFixed    the number of decimals; more than Precision integer digits gives ffGeneral
///  ffNumber   as ffFixed, with ThousandSeparator between groups of three integer digits
/// Digits are rounded half away from zero; NaN and infinities give "NAN", "INF", "-INF".
std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);

/// Formats by a picture: '0' a digit always shown, '#' a digit shown when significant, '.' the
/// decimal separator (the first one), ',' anywhere before it asks for thousand separators,
/// "E+0" / "E-0" scientific notation with at least as many exponent digits as zeros, "text" and
/// 'text' literal text, other characters themselves. Up to three sections separated by ';' give
/// the pictures of positive, negative and zero values; an empty one falls back to the first.
/// FormatFloat("0.####", 1.0 / 3) = "0.3333"; FormatFloat("0.00", 2.675) = "2.68".
std::string FormatFloat(std::string_view Picture, double Value);

/// Text to a double: blanks around, an optional sign, digits with DecimalSeparator (never the
/// other separator), an optional exponent "E+12". Raises EConvertError
/// "'abc' is not a valid floating point value"; a value beyond the double range is refused too.
double StrToFloat(std::string_view S);
double StrToFloatDef(std::string_view S, double Default);
bool TryStrToFloat(std::string_view S, double& Value);
