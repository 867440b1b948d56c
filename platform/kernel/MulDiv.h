//===- MulDiv.h - Scaling by a fraction with a 64-bit intermediate --*- C++ -*-===//
#pragma once

#include <cstdint>

/// Number × Numerator / Denominator, computed in 64 bits and rounded half away from zero.
/// Answers -1 when Denominator is 0 or the result does not fit in 32 bits (its magnitude above
/// 2^31 - 1), as the original does; callers cannot tell that -1 from a true -1.
int32_t MulDiv(int32_t Number, int32_t Numerator, int32_t Denominator);
