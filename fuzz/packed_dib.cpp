//===- packed_dib.cpp - Fuzzes reading packed DIBs as metafile records carry them ===//
//
// The first two bytes give the length of the info part (header and colour table); the rest
// are the bits. A bitmap that is read must pack and read again to the same picture.
//
#include "platform/gdi/bitmaps/Dib.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 2)
        return 0;
    const std::span<const uint8_t> Rest(Data + 2, Size - 2);
    const size_t InfoSize = std::min<size_t>(Data[0] | Data[1] << 8, Rest.size());
    const std::unique_ptr<Dib> Picture = Dib::FromPacked(Rest.first(InfoSize), Rest.subspan(InfoSize));
    if (!Picture)
        return 0;
    const std::vector<uint8_t> Info = Picture->PackedInfo();
    const std::unique_ptr<Dib> Again = Dib::FromPacked(Info, Picture->Bytes());
    if (!Again || Again->Width() != Picture->Width() || Again->Height() != Picture->Height()
        || Again->Bits() != Picture->Bits() || !std::ranges::equal(Again->Bytes(), Picture->Bytes()))
        std::abort();
    return 0;
}
