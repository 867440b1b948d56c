//===- ExtendedReal.h - 10-byte x87 extended reals, bit by bit -*- C++ -*-===//
//
// Stored graphs hold their reals as 10-byte x87 extended values (64-bit mantissa with an explicit
// integer bit, 15-bit exponent, sign), little-endian. The conversion is done on the bits, so it
// gives the same bytes on every machine whatever its long double is.
//
#pragma once

#include <array>
#include <cstdint>
#include <optional>

using TExtendedBytes = std::array<uint8_t, 10>;

/// Exact: every double, NaN and infinities included, has an extended value.
TExtendedBytes DoubleToExtended(double Value);
/// Rounds to the nearest double (ties to even); NaN and infinities stay what they are. A finite
/// value beyond the double range gives nothing.
std::optional<double> ExtendedToDouble(const TExtendedBytes& Bytes);
/// 1 / Value rounded to an extended (64-bit mantissa) and truncated toward zero, as the x87 unit
/// computes it: 1 / 0.05 lies just below 20 there, while in double it rounds to 20. Nothing for
/// zero, NaN, infinities, negative values and quotients of 2^63 or more.
std::optional<uint64_t> ExtendedReciprocalTrunc(double Value);
