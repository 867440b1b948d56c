//===- FloatDigits_p.h - Decimal digits of a double, rounded for display -*- C++ -*-===//
#pragma once

#include <string>

namespace rtl_private {

/// A finite double as sign, decimal digits and exponent: |value| = 0.D1 D2 D3 ... x 10^exponent.
/// `digits` holds no leading or trailing zeros and is empty for zero (which is never negative).
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool isZero() const { return digits.empty(); }
};

/// The shortest digits that read back as the same double: 2.675 gives "2675", exponent 1.
/// Formatting rounds these digits, not the binary value, so 2.675 shows as 2.68 with two
/// decimals, as the original's formatting of its long decimal expansion does.
DecimalDigits toDecimalDigits(double Value);

/// Keeps at most Count significant digits, rounding half away from zero.
void roundToSignificant(DecimalDigits& D, int Count);
/// Keeps the digits down to 10^-Decimals, rounding half away from zero.
void roundToDecimals(DecimalDigits& D, int Decimals);

/// The digit at a power of ten (10^Power, Power 0 = units, -1 = tenths), '0' where none is held.
char digitAt(const DecimalDigits& D, int Power);

} // namespace rtl_private
