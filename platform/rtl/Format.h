//===- Format.h - Format: text from a pattern and a list of values -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

/// One value of Format's argument list (the original's "array of const" element). It refers to
/// the caller's text without copying; the list lives as long as the Format call.
class TVarRec {
public:
    enum class Kind { Integer, Int64, Float, String, Pointer };

    TVarRec(int V) : FKind(Kind::Integer), FInt(V) {}
    TVarRec(long V) : FKind(Kind::Int64), FInt(V) {}
    TVarRec(long long V) : FKind(Kind::Int64), FInt(V) {}
    TVarRec(unsigned V) : FKind(Kind::Int64), FInt(V) {}
    TVarRec(unsigned long V) : FKind(Kind::Int64), FInt(static_cast<int64_t>(V)) {}
    TVarRec(unsigned long long V) : FKind(Kind::Int64), FInt(static_cast<int64_t>(V)) {}
    TVarRec(double V) : FKind(Kind::Float), FFloat(V) {}
    TVarRec(long double V) : FKind(Kind::Float), FFloat(static_cast<double>(V)) {}
    TVarRec(char V) : FKind(Kind::String), FChar(V), FString(&FChar, 1) {}
    TVarRec(const char* V) : FKind(Kind::String), FString(V ? V : "") {}
    TVarRec(std::string_view V) : FKind(Kind::String), FString(V) {}
    TVarRec(const std::string& V) : FKind(Kind::String), FString(V) {}
    TVarRec(const void* V) : FKind(Kind::Pointer), FInt(static_cast<int64_t>(reinterpret_cast<uintptr_t>(V))) {}
    TVarRec(bool) = delete; // the original refuses booleans; say "1"/"0" or "true" explicitly

    TVarRec(const TVarRec& Other)
        : FKind(Other.FKind), FInt(Other.FInt), FFloat(Other.FFloat), FChar(Other.FChar),
          FString(Other.FString.data() == &Other.FChar ? std::string_view(&FChar, 1) : Other.FString)
    {
    }
    TVarRec& operator=(const TVarRec&) = delete;

    Kind kind() const { return FKind; }
    int64_t integer() const { return FInt; }
    double floating() const { return FFloat; }
    std::string_view string() const { return FString; }

private:
    Kind FKind;
    int64_t FInt = 0;
    double FFloat = 0;
    char FChar = 0;
    std::string_view FString;
};

/// Builds text from a pattern. Each "%" [index ":"] ["-"] [width] ["." precision] type takes
/// the next value (or the one at index); width and precision may be '*', taken from the list.
/// Types: d (integer; precision = minimum digits), u (unsigned: a negative 32-bit value shows
/// its two's complement), x (upper-case hexadecimal; negative like u), s (text; precision =
/// maximum characters), f (fixed, precision decimals, default 2), n (f with thousand
/// separators), e (scientific, precision significant digits, default 15), g (the shorter of
/// f and e, default precision 15), p (pointer), "%%" a percent sign. Width pads with blanks on
/// the left, or on the right after '-'. Floats use DecimalSeparator and round half away from
/// zero ("%.2f" of 2.675 is "2.68"; "%4.0f" of 2.5 is "   3").
/// Raises EConvertError "Format '%d' invalid or incompatible with argument" for a type that does
/// not suit its value and "No argument for format '%d'" when the list runs out.
std::string Format(std::string_view Pattern, std::initializer_list<TVarRec> Args);
