//===- dib_calls.cpp - Fuzzes drawing packed DIBs with StretchDIBits and SetDIBitsToDevice ===//
//
// The first eight bytes give the calls' numbers (usage, start scan, scan lines, source x and
// y, width, height, a destination offset), each a signed byte; the next two the length of the
// info part (header and colour table); the rest are the bits. Both calls draw onto a small
// bitmap; a refusal is fine, a read past the data is not.
//
#include "platform/gdi/bitmaps/Dib.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 10)
        return 0;
    auto number = [&](int I) { return int(int8_t(Data[I])); };
    const std::span<const uint8_t> rest(Data + 10, Size - 10);
    const size_t infoSize = std::min<size_t>(Data[8] | Data[9] << 8, rest.size());
    const auto info = rest.first(infoSize), bits = rest.subspan(infoSize);
    static Dib target(32, 32, 32);
    static HDC dc = CreateDibDC(target);
    const UINT usage = UINT(Data[0] & 3);
    StretchDIBits(dc, number(7), number(7), number(5), number(6), number(3), number(4), number(5), number(6), bits,
                  info, usage, SRCCOPY);
    SetDIBitsToDevice(dc, number(7), number(7), UINT(Data[5]), UINT(Data[6]), number(3), number(4), UINT(Data[1]),
                      UINT(Data[2]), bits, info, usage);
    return 0;
}
