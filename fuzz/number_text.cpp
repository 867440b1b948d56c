//===- number_text.cpp - Fuzzes the runtime library's text-to-number conversions ===//
#include "platform/rtl/Exception.h"
#include "platform/rtl/SysUtils.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// The conversions must agree with each other; a disagreement is as much a finding as a crash.
void check(bool Holds)
{
    if (!Holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view S(reinterpret_cast<const char*>(Data), Size);

    int32_t I = 0;
    const bool IsInt = TryStrToInt(S, I);
    check(StrToIntDef(S, -7) == (IsInt ? I : -7));
    if (IsInt)
        check(StrToInt(IntToStr(I)) == I);

    int64_t L = 0;
    const bool IsInt64 = TryStrToInt64(S, L);
    check(StrToInt64Def(S, -7) == (IsInt64 ? L : -7));
    check(!IsInt || (IsInt64 && L == I) || S.find_first_of("$xX") != std::string_view::npos);
    if (IsInt64)
        check(StrToInt64(IntToStr(L)) == L);

    double D = 0;
    const bool IsFloat = TryStrToFloat(S, D);
    try {
        const double Raised = StrToFloat(S);
        check(IsFloat && (Raised == D || (std::isnan(Raised) && std::isnan(D))));
    } catch (const EConvertError&) {
        check(!IsFloat);
    }
    if (IsFloat) {
        // The parsed value printed in every format, as the programs show numbers they read.
        for (TFloatFormat F : { ffGeneral, ffExponent, ffFixed, ffNumber })
            FloatToStrF(D, F, 1 + Size % 18, int(Size % 20));
        FloatToStr(D);
    }
    return 0;
}
