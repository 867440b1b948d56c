//===- MulDiv.cpp - Scaling by a fraction with a 64-bit intermediate ------===//
#include "platform/kernel/MulDiv.h"

int32_t MulDiv(int32_t Number, int32_t Numerator, int32_t Denominator)
{
    if (Denominator == 0)
        return -1;
    int64_t product = int64_t(Number) * Numerator;
    int64_t divisor = Denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const int64_t half = divisor / 2;
    const int64_t result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
    // -2^31 is refused too: the original keeps the result symmetric.
    if (result > INT32_MAX || result < -INT32_MAX)
        return -1;
    return int32_t(result);
}
