//===- SysUtils.cpp - Numbers: rounding, integer text, reading floats -----===//
#include "platform/rtl/SysUtils.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

char DecimalSeparator = '.';
char ThousandSeparator = ',';

namespace {

// --- Integers

// Every double below 2^63 in magnitude converts to int64 without overflow.
constexpr double twoPow63 = 9223372036854775808.0;

void checkIntegral(double X)
{
    if (!std::isfinite(X) || X >= twoPow63 || X < -twoPow63)
        throw EInvalidOp(SInvalidOp);
}

std::string hexDigits(uint64_t Value, int Digits)
{
    std::string Out;
    do {
        Out += "0123456789ABCDEF"[Value & 0xF];
        Value >>= 4;
    } while (Value != 0);
    while (static_cast<int>(Out.size()) < Digits)
        Out += '0';
    std::reverse(Out.begin(), Out.end());
    return Out;
}

struct ParsedInteger {
    bool negative = false;
    bool hex = false;
    uint64_t magnitude = 0;
};

/// Leading blanks, sign, then decimal or '$' / "0x" hexadecimal digits up to the end.
std::optional<ParsedInteger> parseInteger(std::string_view S)
{
    ParsedInteger P;
    size_t I = 0;
    while (I < S.size() && (S[I] == ' ' || S[I] == '\t'))
        ++I;
    if (I < S.size() && (S[I] == '+' || S[I] == '-'))
        P.negative = S[I++] == '-';
    if (I < S.size() && S[I] == '$') {
        P.hex = true;
        ++I;
    } else if (I + 1 < S.size() && S[I] == '0' && (S[I + 1] == 'x' || S[I + 1] == 'X')) {
        P.hex = true;
        I += 2;
    }
    if (I == S.size())
        return std::nullopt;
    const int Base = P.hex ? 16 : 10;
    for (; I < S.size(); ++I) {
        const char C = S[I];
        int Digit;
        if (C >= '0' && C <= '9')
            Digit = C - '0';
        else if (P.hex && C >= 'a' && C <= 'f')
            Digit = C - 'a' + 10;
        else if (P.hex && C >= 'A' && C <= 'F')
            Digit = C - 'A' + 10;
        else
            return std::nullopt;
        if (P.magnitude > (UINT64_MAX - Digit) / Base)
            return std::nullopt;
        P.magnitude = P.magnitude * Base + Digit;
    }
    return P;
}

/// Hexadecimal text may use all Bits bits (it wraps to negative, "$FFFFFFFF" is -1); decimal
/// text must fit the signed range.
std::optional<int64_t> toSigned(const ParsedInteger& P, int Bits)
{
    const uint64_t Mask = Bits == 64 ? UINT64_MAX : (uint64_t(1) << Bits) - 1;
    const uint64_t SignBit = uint64_t(1) << (Bits - 1);
    if (P.hex) {
        if (P.magnitude > Mask)
            return std::nullopt;
        uint64_t Bitsv = P.negative ? (0 - P.magnitude) & Mask : P.magnitude;
        if (Bitsv & SignBit)
            Bitsv |= ~Mask; // sign-extend
        return static_cast<int64_t>(Bitsv);
    }
    if (P.magnitude > (P.negative ? SignBit : SignBit - 1))
        return std::nullopt;
    return P.negative ? static_cast<int64_t>(0 - P.magnitude) : static_cast<int64_t>(P.magnitude);
}

std::optional<int64_t> strToInteger(std::string_view S, int Bits)
{
    const std::optional<ParsedInteger> P = parseInteger(S);
    return P ? toSigned(*P, Bits) : std::nullopt;
}

[[noreturn]] void raiseInvalidInteger(std::string_view S) { throw EConvertError(Format(SInvalidInteger, { S })); }

// --- Reading floats

/// Blanks around, sign, digits with DecimalSeparator, exponent; nothing else.
std::optional<double> parseFloat(std::string_view S)
{
    size_t I = 0, End = S.size();
    while (I < End && static_cast<unsigned char>(S[I]) <= ' ')
        ++I;
    while (End > I && static_cast<unsigned char>(S[End - 1]) <= ' ')
        --End;
    std::string Normal;
    if (I < End && (S[I] == '+' || S[I] == '-')) {
        if (S[I] == '-')
            Normal += '-';
        ++I;
    }
    std::string IntDigits, FracDigits;
    while (I < End && S[I] >= '0' && S[I] <= '9')
        IntDigits += S[I++];
    if (I < End && S[I] == DecimalSeparator) {
        ++I;
        while (I < End && S[I] >= '0' && S[I] <= '9')
            FracDigits += S[I++];
    }
    if (IntDigits.empty() && FracDigits.empty())
        return std::nullopt;
    Normal += (IntDigits.empty() ? "0" : IntDigits) + "." + FracDigits + "0";
    int Exponent = 0;
    if (I < End && (S[I] == 'e' || S[I] == 'E')) {
        ++I;
        const size_t ExpStart = I;
        if (I < End && (S[I] == '+' || S[I] == '-'))
            ++I;
        if (I == End || S[I] < '0' || S[I] > '9')
            return std::nullopt;
        while (I < End && S[I] >= '0' && S[I] <= '9')
            ++I;
        const auto [Ptr, Ec] = std::from_chars(S.data() + ExpStart + (S[ExpStart] == '+'), S.data() + I, Exponent);
        if (Ec != std::errc())
            Exponent = S[ExpStart] == '-' ? -100000 : 100000; // beyond any double either way
        Normal += "e" + std::to_string(Exponent);
    }
    if (I != End)
        return std::nullopt;
    double Value = 0;
    const auto [Ptr, Ec] = std::from_chars(Normal.data(), Normal.data() + Normal.size(), Value);
    if (Ec == std::errc::result_out_of_range) {
        // Too small for a double reads as zero; too large is refused.
        const size_t Lead = IntDigits.find_first_not_of('0');
        const long long Magnitude = Lead != std::string::npos
                                        ? static_cast<long long>(IntDigits.size() - Lead) - 1 + Exponent
                                        : -static_cast<long long>(FracDigits.find_first_not_of('0')) - 1 + Exponent;
        if (Magnitude >= 0)
            return std::nullopt;
        return Normal[0] == '-' ? -0.0 : 0.0;
    }
    if (Ec != std::errc() || Ptr != Normal.data() + Normal.size())
        return std::nullopt;
    return Value;
}

} // namespace

// --- Rounding

int64_t Round(double X)
{
    checkIntegral(X);
    double R = std::floor(X);
    const double Rest = X - R; // exact for every double
    if (Rest > 0.5 || (Rest == 0.5 && std::fmod(R, 2.0) != 0))
        R += 1;
    checkIntegral(R);
    return static_cast<int64_t>(R);
}

int64_t Trunc(double X)
{
    checkIntegral(X);
    return static_cast<int64_t>(std::trunc(X));
}

double Frac(double X) { return X - std::trunc(X); }

// --- Integers as text

std::string IntToStr(int64_t Value) { return std::to_string(Value); }

std::string IntToHex(int32_t Value, int Digits) { return hexDigits(static_cast<uint32_t>(Value), Digits); }

std::string IntToHex(int64_t Value, int Digits) { return hexDigits(static_cast<uint64_t>(Value), Digits); }

int32_t StrToInt(std::string_view S)
{
    int32_t Value;
    if (!TryStrToInt(S, Value))
        raiseInvalidInteger(S);
    return Value;
}

int32_t StrToIntDef(std::string_view S, int32_t Default)
{
    int32_t Value;
    return TryStrToInt(S, Value) ? Value : Default;
}

bool TryStrToInt(std::string_view S, int32_t& Value)
{
    const std::optional<int64_t> V = strToInteger(S, 32);
    if (V)
        Value = static_cast<int32_t>(*V);
    return V.has_value();
}

int64_t StrToInt64(std::string_view S)
{
    int64_t Value;
    if (!TryStrToInt64(S, Value))
        raiseInvalidInteger(S);
    return Value;
}

int64_t StrToInt64Def(std::string_view S, int64_t Default)
{
    int64_t Value;
    return TryStrToInt64(S, Value) ? Value : Default;
}

bool TryStrToInt64(std::string_view S, int64_t& Value)
{
    const std::optional<int64_t> V = strToInteger(S, 64);
    if (V)
        Value = *V;
    return V.has_value();
}

double StrToFloat(std::string_view S)
{
    double Value;
    if (!TryStrToFloat(S, Value))
        throw EConvertError(Format(SInvalidFloat, { S }));
    return Value;
}

double StrToFloatDef(std::string_view S, double Default)
{
    double Value;
    return TryStrToFloat(S, Value) ? Value : Default;
}

bool TryStrToFloat(std::string_view S, double& Value)
{
    const std::optional<double> V = parseFloat(S);
    if (V)
        Value = *V;
    return V.has_value();
}
