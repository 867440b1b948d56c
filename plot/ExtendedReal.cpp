//===- ExtendedReal.cpp - 10-byte x87 extended reals, bit by bit ----------===//
#include "plot/ExtendedReal.h"

#include <bit>
#include <cmath>
#include <limits>

namespace {

using uint128 = unsigned __int128;

constexpr int ExtendedBias = 16383;
constexpr int DoubleBias = 1023;
constexpr uint64_t IntegerBit = uint64_t(1) << 63;
constexpr uint64_t DoubleHidden = uint64_t(1) << 52;
constexpr uint64_t DoubleFraction = DoubleHidden - 1;

TExtendedBytes Pack(bool Negative, int Exponent, uint64_t Mantissa)
{
    TExtendedBytes B {};
    for (int I = 0; I < 8; ++I)
        B[I] = static_cast<uint8_t>(Mantissa >> (8 * I));
    const unsigned Top = static_cast<unsigned>(Exponent) | (Negative ? 0x8000u : 0u);
    B[8] = static_cast<uint8_t>(Top);
    B[9] = static_cast<uint8_t>(Top >> 8);
    return B;
}

double FromBits(bool Negative, uint64_t Bits) { return std::bit_cast<double>(Bits | (Negative ? IntegerBit : 0)); }

// Mantissa M (53 significant bits, M >= 2^52 unless the double is subnormal) and exponent E with
// Value = M * 2^E, for a finite positive double.
void Decompose(double Value, uint64_t& M, int& E)
{
    const uint64_t Bits = std::bit_cast<uint64_t>(Value);
    const int Field = static_cast<int>((Bits >> 52) & 0x7FF);
    M = Bits & DoubleFraction;
    if (Field == 0) {
        E = 1 - DoubleBias - 52;
        while (M < DoubleHidden) {
            M <<= 1;
            --E;
        }
    } else {
        M |= DoubleHidden;
        E = Field - DoubleBias - 52;
    }
}

} // namespace

TExtendedBytes DoubleToExtended(double Value)
{
    const uint64_t Bits = std::bit_cast<uint64_t>(Value);
    const bool Negative = (Bits >> 63) != 0;
    const int Field = static_cast<int>((Bits >> 52) & 0x7FF);
    const uint64_t Fraction = Bits & DoubleFraction;
    if (Field == 0x7FF) {
        // A NaN keeps its payload and becomes quiet, as the x87 unit loads it.
        const uint64_t M = Fraction == 0 ? IntegerBit : IntegerBit | (uint64_t(1) << 62) | (Fraction << 11);
        return Pack(Negative, 0x7FFF, M);
    }
    if (Field == 0 && Fraction == 0)
        return Pack(Negative, 0, 0);
    uint64_t M;
    int E;
    Decompose(std::abs(Value), M, E);
    // M has its top bit at 52; the extended mantissa has it at 63.
    return Pack(Negative, E + 52 + ExtendedBias, M << 11);
}

std::optional<double> ExtendedToDouble(const TExtendedBytes& Bytes)
{
    uint64_t M = 0;
    for (int I = 7; I >= 0; --I)
        M = (M << 8) | Bytes[I];
    const bool Negative = (Bytes[9] & 0x80) != 0;
    int Field = ((Bytes[9] & 0x7F) << 8) | Bytes[8];
    if (Field == 0x7FFF) {
        if ((M << 1) == 0)
            return Negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return Negative ? -std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::quiet_NaN();
    }
    if (M == 0)
        return FromBits(Negative, 0);
    if (Field == 0)
        Field = 1; // denormal: the same scale as the smallest exponent, without the integer bit
    // Unnormal encodings (integer bit clear) are taken by their value like denormals.
    const int Shift = std::countl_zero(M);
    M <<= Shift;
    const int E = Field - ExtendedBias - Shift; // Value = 1.f * 2^E
    if (E > DoubleBias)
        return std::nullopt;

    const int Drop = E >= 1 - DoubleBias ? 11 : 11 + (1 - DoubleBias - E);
    if (Drop > 65)
        return FromBits(Negative, 0);
    const uint128 Wide = M;
    uint64_t Kept = static_cast<uint64_t>(Wide >> Drop);
    const uint128 Rest = Wide & ((uint128(1) << Drop) - 1);
    const uint128 Half = uint128(1) << (Drop - 1);
    if (Rest > Half || (Rest == Half && (Kept & 1) != 0))
        ++Kept;
    if (Drop > 11) // subnormal; rounding up to 2^52 lands exactly on the smallest normal
        return FromBits(Negative, Kept);
    int Biased = E + DoubleBias;
    if (Kept == DoubleHidden << 1) {
        Kept = DoubleHidden;
        ++Biased;
    }
    if (Biased >= 0x7FF)
        return std::nullopt;
    return FromBits(Negative, (uint64_t(Biased) << 52) | (Kept & DoubleFraction));
}

std::optional<uint64_t> ExtendedReciprocalTrunc(double Value)
{
    if (!(Value > 0) || Value == std::numeric_limits<double>::infinity())
        return std::nullopt;
    uint64_t M;
    int E;
    Decompose(Value, M, E);
    // 1 / Value = 2^-E / M = Q * 2^S with Q the 64-bit mantissa of the quotient.
    uint64_t Q;
    int S;
    if (M == DoubleHidden) {
        Q = IntegerBit;
        S = -E - 52 - 63;
    } else {
        const uint128 Numerator = uint128(1) << 116;
        uint128 Quotient = Numerator / M;
        const uint128 Rest = Numerator % M;
        if (2 * Rest > M || (2 * Rest == M && (Quotient & 1) != 0))
            ++Quotient;
        S = -E - 116;
        if (Quotient >> 64) {
            Quotient >>= 1;
            ++S;
        }
        Q = static_cast<uint64_t>(Quotient);
    }
    if (S >= 0)
        return std::nullopt; // Q >= 2^63 already
    if (S <= -64)
        return 0;
    return Q >> -S;
}
