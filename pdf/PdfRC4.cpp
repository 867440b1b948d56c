//===- PdfRC4.cpp - The writer's own RC4 stream cipher -===//
#include "pdf/PdfRC4.h"

#include "pdf/TPDFException.h"

#include <utility>

void RC4Init(TRC4Context& Context, std::span<const uint8_t> Key)
{
    if (Key.empty() || Key.size() > 256)
        throw Exception(SRC4InvalidKeyLength);
    for (int I = 0; I < 256; ++I)
        Context.S[I] = uint8_t(I);
    uint8_t J = 0;
    for (int I = 0; I < 256; ++I) {
        J = uint8_t(J + Context.S[I] + Key[I % Key.size()]);
        std::swap(Context.S[I], Context.S[J]);
    }
    Context.I = 0;
    Context.J = 0;
}

void RC4Crypt(TRC4Context& Context, std::span<uint8_t> Data)
{
    auto& S = Context.S;
    for (uint8_t& B : Data) {
        Context.I = uint8_t(Context.I + 1);
        Context.J = uint8_t(Context.J + S[Context.I]);
        std::swap(S[Context.I], S[Context.J]);
        B ^= S[uint8_t(S[Context.I] + S[Context.J])];
    }
}
