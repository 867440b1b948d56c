//===- bmp_file.cpp - Fuzzes reading BMP files ----------------------------===//
//
// A file that loads must save and load again to the same picture: the same size, depth, stored
// bytes and colours (a short colour table is written out in full, so the table may grow).
//
#include "platform/gdi/bitmaps/Dib.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::unique_ptr<Dib> Picture = Dib::LoadBmp(std::span<const uint8_t>(Data, Size));
    if (!Picture)
        return 0;
    const std::unique_ptr<Dib> Again = Dib::LoadBmp(Picture->SaveBmp());
    if (!Again || Again->Width() != Picture->Width() || Again->Height() != Picture->Height()
        || Again->Bits() != Picture->Bits() || !std::ranges::equal(Again->Bytes(), Picture->Bytes()))
        std::abort();
    for (int Y = 0; Y < Picture->Height(); ++Y)
        for (int X = 0; X < Picture->Width(); ++X)
            if (Again->GetPixel(X, Y) != Picture->GetPixel(X, Y))
                std::abort();
    return 0;
}
