//===- PdfMD5.cpp - The writer's own MD5 digest (RFC 1321) -===//
#include "pdf/PdfMD5.h"

#include <bit>
#include <cstring>

namespace {

constexpr uint32_t Sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};
constexpr int Shifts[64] = {
    7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
    14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
    4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21,
};

void transform(std::array<uint32_t, 4>& State, const uint8_t* Block)
{
    uint32_t X[16];
    for (int I = 0; I < 16; ++I)
        X[I] = uint32_t(Block[I * 4]) | uint32_t(Block[I * 4 + 1]) << 8 | uint32_t(Block[I * 4 + 2]) << 16
               | uint32_t(Block[I * 4 + 3]) << 24;
    uint32_t A = State[0], B = State[1], C = State[2], D = State[3];
    for (int I = 0; I < 64; ++I) {
        uint32_t F;
        int G;
        if (I < 16) {
            F = (B & C) | (~B & D);
            G = I;
        } else if (I < 32) {
            F = (D & B) | (~D & C);
            G = (5 * I + 1) % 16;
        } else if (I < 48) {
            F = B ^ C ^ D;
            G = (3 * I + 5) % 16;
        } else {
            F = C ^ (B | ~D);
            G = (7 * I) % 16;
        }
        const uint32_t Next = D;
        D = C;
        C = B;
        B = B + std::rotl(A + F + Sines[I] + X[G], Shifts[I]);
        A = Next;
    }
    State[0] += A;
    State[1] += B;
    State[2] += C;
    State[3] += D;
}

} // namespace

void MD5Init(TMD5Context& Context)
{
    Context.State = { 0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476 };
    Context.Count = 0;
    Context.Buffer.fill(0);
}

void MD5Update(TMD5Context& Context, std::span<const uint8_t> Data)
{
    size_t Used = Context.Count % 64;
    Context.Count += Data.size();
    size_t I = 0;
    if (Used > 0) {
        const size_t Take = std::min(Data.size(), 64 - Used);
        std::memcpy(Context.Buffer.data() + Used, Data.data(), Take);
        I = Take;
        if (Used + Take < 64)
            return;
        transform(Context.State, Context.Buffer.data());
    }
    for (; I + 64 <= Data.size(); I += 64)
        transform(Context.State, Data.data() + I);
    if (I < Data.size())
        std::memcpy(Context.Buffer.data(), Data.data() + I, Data.size() - I);
}

TMD5Digest MD5Final(TMD5Context& Context)
{
    const uint64_t Bits = Context.Count * 8;
    const size_t Used = Context.Count % 64;
    uint8_t Padding[72] = { 0x80 };
    const size_t PadLength = Used < 56 ? 56 - Used : 120 - Used;
    MD5Update(Context, std::span<const uint8_t>(Padding, PadLength));
    uint8_t Length[8];
    for (int I = 0; I < 8; ++I)
        Length[I] = uint8_t(Bits >> (8 * I));
    MD5Update(Context, std::span<const uint8_t>(Length, 8));
    TMD5Digest Digest;
    for (int I = 0; I < 4; ++I)
        for (int J = 0; J < 4; ++J)
            Digest[I * 4 + J] = uint8_t(Context.State[I] >> (8 * J));
    return Digest;
}

TMD5Digest MD5Buffer(std::span<const uint8_t> Data)
{
    TMD5Context Context;
    MD5Init(Context);
    MD5Update(Context, Data);
    return MD5Final(Context);
}

std::string MD5String(std::string_view Text)
{
    TMD5Context Context;
    MD5Init(Context);
    MD5Update(Context, Text);
    return MD5DigestToStr(MD5Final(Context));
}

std::string MD5DigestToStr(const TMD5Digest& Digest)
{
    static constexpr char Hex[] = "0123456789abcdef";
    std::string S;
    for (uint8_t B : Digest) {
        S += Hex[B >> 4];
        S += Hex[B & 15];
    }
    return S;
}
