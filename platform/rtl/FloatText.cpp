//===- FloatText.cpp - Floats as text: FloatToStr, FloatToStrF, FormatFloat -===//
#include "platform/rtl/SysUtils.h"

#include "platform/rtl/FloatDigits_p.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

using rtl_private::DecimalDigits;
using rtl_private::digitAt;
using rtl_private::roundToDecimals;
using rtl_private::roundToSignificant;
using rtl_private::toDecimalDigits;

namespace {

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
    PictureWriter(const Picture& P, const PictureDigits& D) : P(P), D(D) {}

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

} // namespace

// --- Floats as text

std::string FloatToStr(double Value) { return FloatToStrF(Value, ffGeneral, 15, 0); }

std::string FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits)
{
    if (const std::optional<std::string> Special = specialText(Value))
        return *Special;
    Precision = std::clamp(Precision, 1, 18);
    const DecimalDigits D = toDecimalDigits(Value);
    switch (Format) {
    case ffGeneral: return generalText(D, Precision, std::clamp(Digits, 0, 4));
    case ffExponent: return exponentText(D, Precision, std::clamp(Digits, 0, 4));
    case ffFixed:
    case ffNumber: return fixedOrGeneralText(D, Precision, std::clamp(Digits, 0, 18), Format == ffNumber);
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
