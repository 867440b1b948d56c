//===- FloatDigits.cpp - Decimal digits of a double, rounded for display --===//
#include "platform/rtl/FloatDigits_p.h"

#include <charconv>
#include <cstdlib>

namespace rtl_private {

namespace {

void stripTrailingZeros(DecimalDigits& D)
{
    while (!D.digits.empty() && D.digits.back() == '0')
        D.digits.pop_back();
    if (D.digits.empty()) {
        D.negative = false;
        D.exponent = 0;
    }
}

/// Keeps the first Keep digits (Keep may be zero or below), rounding half away from zero.
void keepDigits(DecimalDigits& D, int Keep)
{
    if (Keep >= static_cast<int>(D.digits.size()))
        return;
    if (Keep < 0) {
        D.digits.clear(); // the first dropped digit is a leading zero: rounds to nothing
        stripTrailingZeros(D);
        return;
    }
    const bool RoundUp = D.digits[Keep] >= '5';
    D.digits.resize(Keep);
    if (RoundUp) {
        int I = Keep - 1;
        while (I >= 0 && D.digits[I] == '9')
            D.digits[I--] = '0';
        if (I >= 0) {
            ++D.digits[I];
        } else {
            D.digits.insert(D.digits.begin(), '1'); // 0.999 -> 1.000: one more integer digit
            ++D.exponent;
        }
    }
    stripTrailingZeros(D);
}

} // namespace

DecimalDigits toDecimalDigits(double Value)
{
    DecimalDigits D;
    char Buffer[64];
    // Shortest round-trip form, locale-independent: "d.ddde+XX".
    const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::scientific);
    const std::string_view Text(Buffer, Result.ptr - Buffer);
    size_t Pos = 0;
    if (Text[Pos] == '-') {
        D.negative = true;
        ++Pos;
    }
    while (Pos < Text.size() && Text[Pos] != 'e') {
        if (Text[Pos] != '.')
            D.digits += Text[Pos];
        ++Pos;
    }
    const int Exponent10 = std::atoi(std::string(Text.substr(Pos + 1)).c_str());
    D.exponent = Exponent10 + 1;
    stripTrailingZeros(D);
    return D;
}

void roundToSignificant(DecimalDigits& D, int Count) { keepDigits(D, Count); }

void roundToDecimals(DecimalDigits& D, int Decimals) { keepDigits(D, D.exponent + Decimals); }

char digitAt(const DecimalDigits& D, int Power)
{
    const int Index = D.exponent - 1 - Power;
    if (Index < 0 || Index >= static_cast<int>(D.digits.size()))
        return '0';
    return D.digits[Index];
}

} // namespace rtl_private
