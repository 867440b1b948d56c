//===- SysUtils.cpp - Numbers: rounding, integer and float text -----------===//
#include "platform/rtl/SysUtils.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/FloatDigits_p.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

using rtl_detail::DecimalDigits;
using rtl_detail::digitAt;
using rtl_detail::roundToDecimals;
using rtl_detail::roundToSignificant;
using rtl_detail::toDecimalDigits;

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

[[noreturn]] void raiseInvalidInteger(std::string_view S)
{
    throw EConvertError(Format(SInvalidInteger, { S }));
}

// --- Floats

std::optional<std::string> specialText(double Value)
{
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value < 0 ? "-INF" : "INF";
    return std::nullopt;
}

std::string integerDigits(const DecimalDigits& D)
{
    std::string Out;
    for (int Power = D.exponent - 1; Power >= 0; --Power)
        Out += digitAt(D, Power);
    return Out;
}

std::string groupThousands(const std::string& Digits)
{
    std::string Out;
    for (size_t I = 0; I < Digits.size(); ++I) {
        Out += Digits[I];
        const size_t Left = Digits.size() - 1 - I;
        if (Left > 0 && Left % 3 == 0)
            Out += ThousandSeparator;
    }
    return Out;
}

/// D already rounded to Decimals decimals.
std::string fixedText(const DecimalDigits& D, int Decimals, bool Thousands)
{
    std::string Int = integerDigits(D);
    if (Int.empty())
        Int = "0";
    std::string Out = D.negative ? "-" : "";
    Out += Thousands ? groupThousands(Int) : Int;
    if (Decimals > 0) {
        Out += DecimalSeparator;
        for (int Power = -1; Power >= -Decimals; --Power)
            Out += digitAt(D, Power);
    }
    return Out;
}

std::string exponentPart(int Exponent, int ExpDigits, bool PlusSign)
{
    std::string Out = "E";
    if (Exponent < 0)
        Out += '-';
    else if (PlusSign)
        Out += '+';
    std::string Digits = std::to_string(std::abs(Exponent));
    if (static_cast<int>(Digits.size()) < ExpDigits)
        Digits.insert(0, ExpDigits - Digits.size(), '0');
    return Out + Digits;
}

std::string generalText(DecimalDigits D, int Precision, int ExpDigits)
{
    roundToSignificant(D, Precision);
    if (D.isZero())
        return "0";
    const int IntDigits = D.exponent;
    if (IntDigits <= Precision && IntDigits >= -4)
        return fixedText(D, std::max(0, static_cast<int>(D.digits.size()) - IntDigits), false);
    std::string Out = D.negative ? "-" : "";
    Out += D.digits[0];
    if (D.digits.size() > 1)
        Out += DecimalSeparator + D.digits.substr(1);
    return Out + exponentPart(D.exponent - 1, ExpDigits, false);
}

std::string exponentText(DecimalDigits D, int Precision, int ExpDigits)
{
    roundToSignificant(D, Precision);
    std::string Mantissa = D.digits;
    Mantissa.resize(Precision, '0');
    std::string Out = D.negative ? "-" : "";
    Out += Mantissa[0];
    if (Precision > 1)
        Out += DecimalSeparator + Mantissa.substr(1);
    return Out + exponentPart(D.isZero() ? 0 : D.exponent - 1, ExpDigits, true);
}

std::string fixedOrGeneralText(const DecimalDigits& D, int Precision, int Decimals, bool Thousands)
{
    DecimalDigits Probe = D;
    roundToSignificant(Probe, Precision);
    if (Probe.exponent > Precision)
        return generalText(D, Precision, 0); // too many integer digits for the precision
    DecimalDigits R = D;
    roundToSignificant(R, std::min(Precision, R.exponent + Decimals));
    return fixedText(R, Decimals, Thousands);
}

// --- FormatFloat pictures

/// What one section of a picture asks for.
struct Picture {
    std::string_view text;
    int intPlaceholders = 0;
    int firstIntZero = -1; // among the integer placeholders
    int fracPlaceholders = 0;
    int forcedFrac = 0; // fraction placeholders up to the last '0'
    bool thousands = false;
    bool scientific = false;
    int expDigits = 0;
};

bool isQuote(char C) { return C == '"' || C == '\''; }

/// Index just past the quoted text that starts at I.
size_t skipQuoted(std::string_view S, size_t I)
{
    const size_t Close = S.find(S[I], I + 1);
    return Close == std::string_view::npos ? S.size() : Close + 1;
}

/// The text between the quote at Open and the one before End (End from skipQuoted).
std::string_view quotedText(std::string_view S, size_t Open, size_t End)
{
    const bool Closed = End - 1 > Open && S[End - 1] == S[Open];
    return S.substr(Open + 1, End - Open - 1 - (Closed ? 1 : 0));
}

bool startsExponent(std::string_view S, size_t I)
{
    return (S[I] == 'E' || S[I] == 'e') && I + 1 < S.size() && (S[I + 1] == '+' || S[I + 1] == '-');
}

std::vector<std::string_view> splitSections(std::string_view S)
{
    std::vector<std::string_view> Sections;
    size_t Start = 0;
    for (size_t I = 0; I < S.size();) {
        if (isQuote(S[I])) {
            I = skipQuoted(S, I);
        } else if (S[I] == ';') {
            Sections.push_back(S.substr(Start, I - Start));
            Start = ++I;
        } else {
            ++I;
        }
    }
    Sections.push_back(S.substr(Start));
    return Sections;
}

Picture parsePicture(std::string_view S)
{
    Picture P;
    P.text = S;
    bool SeenPoint = false;
    for (size_t I = 0; I < S.size();) {
        const char C = S[I];
        if (isQuote(C)) {
            I = skipQuoted(S, I);
            continue;
        }
        if (C == '0' || C == '#') {
            if (!SeenPoint) {
                if (C == '0' && P.firstIntZero < 0)
                    P.firstIntZero = P.intPlaceholders;
                ++P.intPlaceholders;
            } else {
                ++P.fracPlaceholders;
                if (C == '0')
                    P.forcedFrac = P.fracPlaceholders;
            }
        } else if (C == '.') {
            SeenPoint = true;
        } else if (C == ',') {
            P.thousands = true;
        } else if (startsExponent(S, I)) {
            P.scientific = true;
            I += 2;
            while (I < S.size() && S[I] == '0')
                ++P.expDigits, ++I;
            P.expDigits = std::min(P.expDigits, 4);
            break; // what follows the exponent is literal text
        }
        ++I;
    }
    return P;
}

/// The digits that a picture shows of a value: integer digits (padded to the forced width),
/// fraction digits (trimmed to the ones shown), and the exponent in scientific notation.
struct PictureDigits {
    std::string intText;
    std::string fracText;
    int exponent = 0;
    bool zero = false;
};

PictureDigits pictureDigits(const Picture& P, double Value)
{
    PictureDigits Out;
    DecimalDigits D = toDecimalDigits(std::fabs(Value));
    if (P.scientific) {
        roundToSignificant(D, std::max(1, P.intPlaceholders + P.fracPlaceholders));
        Out.exponent = D.isZero() ? 0 : D.exponent - P.intPlaceholders;
        std::string Mantissa = D.digits;
        Mantissa.resize(P.intPlaceholders + P.fracPlaceholders, '0');
        Out.intText = Mantissa.substr(0, P.intPlaceholders);
        Out.intText.erase(0, std::min(Out.intText.find_first_not_of('0'), Out.intText.size()));
        Out.fracText = Mantissa.substr(P.intPlaceholders);
    } else {
        roundToDecimals(D, P.fracPlaceholders);
        Out.intText = integerDigits(D);
        for (int Power = -1; Power >= -P.fracPlaceholders; --Power)
            Out.fracText += digitAt(D, Power);
    }
    Out.zero = D.isZero();
    const size_t MinInt = P.firstIntZero < 0 ? 0 : P.intPlaceholders - P.firstIntZero;
    if (Out.intText.size() < MinInt)
        Out.intText.insert(0, MinInt - Out.intText.size(), '0');
    const size_t LastSignificant = Out.fracText.find_last_not_of('0');
    const size_t Shown = LastSignificant == std::string::npos ? 0 : LastSignificant + 1;
    Out.fracText.resize(std::max<size_t>(Shown, P.forcedFrac));
    return Out;
}

/// Writes the section, placing the digits at its placeholders.
class PictureWriter {
public:
    PictureWriter(const Picture& P, const PictureDigits& D) : P(P), D(D) { }

    std::string write(bool Negative)
    {
        if (Negative)
            Out += '-';
        const std::string_view S = P.text;
        for (size_t I = 0; I < S.size();) {
            const char C = S[I];
            if (isQuote(C)) {
                const size_t End = skipQuoted(S, I);
                Out += quotedText(S, I, End);
                I = End;
                continue;
            }
            if (SeenExponent) {
                Out += C; // the rest of the section after the exponent is plain text
            } else if (C == '0' || C == '#') {
                SeenPoint ? fractionPlaceholder() : integerPlaceholder();
            } else if (C == '.') {
                decimalPoint();
            } else if (P.scientific && startsExponent(S, I)) {
                I = exponent(S, I);
                continue;
            } else if (C != ',') {
                Out += C;
            }
            ++I;
        }
        return Out; // a section without digit placeholders shows only its text
    }

private:
    void putIntDigit(size_t J)
    {
        Out += D.intText[J];
        const size_t Left = D.intText.size() - 1 - J;
        if (P.thousands && Left > 0 && Left % 3 == 0)
            Out += ThousandSeparator;
    }

    void integerPlaceholder()
    {
        const int Offset = P.intPlaceholders - static_cast<int>(D.intText.size());
        if (IntIndex == 0)
            for (int J = 0; J < -Offset; ++J)
                putIntDigit(J); // digits beyond the placeholders go to the first one
        const int J = IntIndex++ - Offset;
        if (J >= 0)
            putIntDigit(J);
    }

    void fractionPlaceholder()
    {
        if (FracIndex < D.fracText.size())
            Out += D.fracText[FracIndex];
        ++FracIndex;
    }

    void decimalPoint()
    {
        if (SeenPoint)
            return; // only the first '.' is the decimal point
        if (P.intPlaceholders == 0)
            flushIntegerWithoutPlaceholders();
        SeenPoint = true;
        if (!D.fracText.empty())
            Out += DecimalSeparator;
    }

    void flushIntegerWithoutPlaceholders()
    {
        if (Flushed)
            return;
        Flushed = true;
        for (size_t J = 0; J < D.intText.size(); ++J)
            putIntDigit(J);
    }

    size_t exponent(std::string_view S, size_t I)
    {
        SeenExponent = true;
        Out += S[I];
        if (D.exponent < 0)
            Out += '-';
        else if (S[I + 1] == '+')
            Out += '+';
        std::string Digits = std::to_string(std::abs(D.exponent));
        if (static_cast<int>(Digits.size()) < P.expDigits)
            Digits.insert(0, P.expDigits - Digits.size(), '0');
        Out += Digits;
        I += 2;
        while (I < S.size() && S[I] == '0')
            ++I;
        return I;
    }

    const Picture& P;
    const PictureDigits& D;
    std::string Out;
    int IntIndex = 0;
    size_t FracIndex = 0;
    bool SeenPoint = false;
    bool SeenExponent = false;
    bool Flushed = false;
};

// --- Float text parsing

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

// --- Floats as text

std::string FloatToStr(double Value) { return FloatToStrF(Value, ffGeneral, 15, 0); }

std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits)
{
    if (const std::optional<std::string> Special = specialText(Value))
        return *Special;
    Precision = std::clamp(Precision, 1, 18);
    const DecimalDigits D = toDecimalDigits(Value);
    switch (Format) {
    case ffGeneral:
        return generalText(D, Precision, std::clamp(Digits, 0, 4));
    case ffExponent:
        return exponentText(D, Precision, std::clamp(Digits, 0, 4));
    case ffFixed:
    case ffNumber:
        return fixedOrGeneralText(D, Precision, std::clamp(Digits, 0, 18), Format == ffNumber);
    }
    return generalText(D, Precision, 0);
}

std::string FormatFloat(std::string_view PictureText, double Value)
{
    if (const std::optional<std::string> Special = specialText(Value))
        return *Special;
    const std::vector<std::string_view> Sections = splitSections(PictureText);
    const auto Usable = [&](size_t Index) { return Index < Sections.size() && !Sections[Index].empty(); };
    const size_t ZeroSection = Usable(2) ? 2 : 0;
    size_t Index = Value < 0 ? (Usable(1) ? 1 : 0) : (Value == 0 ? ZeroSection : 0);
    if (!Usable(Index))
        return FloatToStrF(Value, ffGeneral, 15, 0);

    Picture P = parsePicture(Sections[Index]);
    PictureDigits D = pictureDigits(P, Value);
    if (D.zero && Index != ZeroSection) {
        // A value that rounds to zero is shown by the zero section, without a sign.
        Index = ZeroSection;
        P = parsePicture(Sections[Index]);
        D = pictureDigits(P, 0.0);
    }
    const bool Sign = Value < 0 && Index == 0 && !D.zero;
    return PictureWriter(P, D).write(Sign);
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
