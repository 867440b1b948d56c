//===- code_pages.cpp - Fuzzes the code-page conversions to UTF-16 and back ===//
//
// The first byte picks the code page (and, with its top bit, MB_ERR_INVALID_CHARS); the rest is
// the text. The size query must agree with the conversion, a buffer one unit short must get
// nothing, and no conversion may write past the buffer it is given. The same bytes, read as
// UTF-16, must convert to the code page under the same rules.
//
#include "platform/kernel/CodePages.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t Pages[] = { 874,  932,  936,  949,  950,  1250, 1251, 1252,
                               1253, 1254, 1255, 1256, 1257, 1258, 1361, 10000 };

void toWide(uint32_t Page, uint32_t Flags, const char* Text, int Count)
{
    const int needed = MultiByteToWideChar(Page, Flags, Text, Count, nullptr, 0);
    if (needed <= 0)
        return;
    if (needed > Count)
        std::abort(); // never more code units than bytes
    std::vector<WCHAR> wide(size_t(needed) + 1, WCHAR(0xDEAD));
    if (MultiByteToWideChar(Page, Flags, Text, Count, wide.data(), needed) != needed || wide[size_t(needed)] != 0xDEAD)
        std::abort();
    if (needed > 1 && MultiByteToWideChar(Page, Flags, Text, Count, wide.data(), needed - 1) != 0)
        std::abort();
}

void toBytes(uint32_t Page, const WCHAR* Text, int Count)
{
    bool used = false;
    const int needed = WideCharToMultiByte(Page, 0, Text, Count, nullptr, 0, nullptr, &used);
    if (needed <= 0)
        return;
    std::vector<char> bytes(size_t(needed) + 1, 'x');
    if (WideCharToMultiByte(Page, 0, Text, Count, bytes.data(), needed, "*", &used) != needed
        || bytes[size_t(needed)] != 'x')
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 2 || Size > 1 << 16)
        return 0;
    const uint32_t page = Pages[Data[0] % 16];
    const uint32_t flags = (Data[0] & 0x80) ? MB_ERR_INVALID_CHARS : 0;
    toWide(page, flags, reinterpret_cast<const char*>(Data + 1), int(Size - 1));
    std::vector<WCHAR> units((Size - 1) / 2);
    if (!units.empty()) {
        std::memcpy(units.data(), Data + 1, units.size() * sizeof(WCHAR));
        toBytes(page, units.data(), int(units.size()));
    }
    return 0;
}
