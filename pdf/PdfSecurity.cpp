//===- PdfSecurity.cpp - The standard security handler: permissions, O, U, keys and RC4 -===//
#include "pdf/PdfSecurity.h"

#include "pdf/PdfMD5.h"
#include "pdf/PdfPrimitives.h"
#include "pdf/PdfRC4.h"

#include "platform/rtl/TStream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t Padding[32] = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
    0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A,
};

size_t keyBytes(TPDFKeyLength KeyLength) { return KeyLength == kl128 ? 16 : 5; }

void rc4(std::span<const uint8_t> Key, std::span<uint8_t> Data)
{
    TRC4Context Context;
    RC4Init(Context, Key);
    RC4Crypt(Context, Data);
}

/// MD5 of the digest, again and again: revision 3 strengthens its keys so.
void rehash50(TMD5Digest& Digest)
{
    for (int I = 0; I < 50; ++I)
        Digest = MD5Buffer(Digest);
}

int hexValue(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return 0;
}

} // namespace

int32_t CalcPermissions(TPDFCtiptoOptions Options, TPDFKeyLength KeyLength)
{
    struct Bit {
        TPDFCriptoOption Option;
        int32_t Value;
        bool Only128;
    };
    static constexpr Bit Bits[] = {
        { coPrint, 4, false },
        { coModifyStructure, 8, false },
        { coCopyInformation, 16, false },
        { coModifyAnnotation, 32, false },
        { coFillAnnotation, 256, true },
        { coExtractInfo, 512, true },
        { coAssemble, 1024, true },
        { coPrintHi, 2048, true },
    };
    int32_t P = KeyLength == kl128 ? -3904 : -64;
    for (const Bit& B : Bits)
        if (Options.Contains(B.Option) && (KeyLength == kl128 || !B.Only128))
            P += B.Value;
    return P;
}

TPDFEntry32 PreparePassword(std::string_view Password)
{
    TPDFEntry32 R;
    const size_t N = std::min<size_t>(Password.size(), 32);
    std::memcpy(R.data(), Password.data(), N);
    std::memcpy(R.data() + N, Padding, 32 - N);
    return R;
}

TPDFEntry32 CalcOwnerKey(std::string_view OwnerPassword, std::string_view UserPassword, TPDFKeyLength KeyLength)
{
    const TPDFEntry32 Owner = PreparePassword(OwnerPassword.empty() ? UserPassword : OwnerPassword);
    TMD5Digest Digest = MD5Buffer(Owner);
    if (KeyLength == kl128)
        rehash50(Digest);
    const size_t N = keyBytes(KeyLength);
    TPDFEntry32 O = PreparePassword(UserPassword);
    rc4(std::span(Digest.data(), N), O);
    if (KeyLength == kl128) {
        for (uint8_t I = 1; I <= 19; ++I) {
            uint8_t K[16];
            for (size_t J = 0; J < 16; ++J)
                K[J] = Digest[J] ^ I;
            rc4(K, O);
        }
    }
    return O;
}

std::array<uint8_t, 16> FileIDBytes(std::string_view FileID)
{
    std::array<uint8_t, 16> R {};
    for (size_t I = 0; I < 16 && I * 2 + 1 < FileID.size(); ++I)
        R[I] = uint8_t(hexValue(FileID[I * 2]) << 4 | hexValue(FileID[I * 2 + 1]));
    return R;
}

TPDFKey CalcKey(std::string_view UserPassword, const TPDFEntry32& O, int32_t Permissions, std::string_view FileID,
                TPDFKeyLength KeyLength)
{
    TMD5Context Context;
    MD5Init(Context);
    MD5Update(Context, PreparePassword(UserPassword));
    MD5Update(Context, O);
    const uint32_t P = static_cast<uint32_t>(Permissions);
    const uint8_t PBytes[4] = { uint8_t(P), uint8_t(P >> 8), uint8_t(P >> 16), uint8_t(P >> 24) };
    MD5Update(Context, PBytes);
    MD5Update(Context, FileIDBytes(FileID));
    TMD5Digest Digest = MD5Final(Context);
    if (KeyLength == kl128)
        rehash50(Digest);
    return TPDFKey(Digest.begin(), Digest.begin() + keyBytes(KeyLength));
}

TPDFEntry32 CalcUserKey(const TPDFKey& Key, std::string_view FileID, TPDFKeyLength KeyLength,
                        const std::function<uint32_t()>& RandomNumber)
{
    TPDFEntry32 U;
    if (KeyLength == kl40) {
        std::memcpy(U.data(), Padding, 32);
        rc4(Key, U);
        return U;
    }
    TMD5Context Context;
    MD5Init(Context);
    MD5Update(Context, std::span<const uint8_t>(Padding, 32));
    MD5Update(Context, FileIDBytes(FileID));
    TMD5Digest Digest = MD5Final(Context);
    for (uint8_t I = 0; I <= 19; ++I) {
        TPDFKey K = Key;
        for (uint8_t& B : K)
            B ^= I;
        rc4(K, Digest);
    }
    std::memcpy(U.data(), Digest.data(), 16);
    for (size_t I = 16; I < 32; ++I)
        U[I] = uint8_t(32 + RandomNumber() % 200);
    return U;
}

TPDFKey ObjectKey(const TPDFKey& Key, int32_t Number)
{
    std::vector<uint8_t> Material = Key;
    const uint32_t N = static_cast<uint32_t>(Number);
    Material.insert(Material.end(), { uint8_t(N), uint8_t(N >> 8), uint8_t(N >> 16), 0, 0 });
    const TMD5Digest Digest = MD5Buffer(Material);
    return TPDFKey(Digest.begin(), Digest.begin() + std::min<size_t>(Key.size() + 5, 16));
}

std::string CryptString(bool Protection, const TPDFKey& Key, std::string_view Text, int32_t Number)
{
    if (!Protection || Text.empty())
        return std::string(Text);
    std::string S(Text);
    rc4(ObjectKey(Key, Number), std::span(reinterpret_cast<uint8_t*>(S.data()), S.size()));
    return S;
}

std::string CryptHexString(bool Protection, const TPDFKey& Key, std::string_view HexText, int32_t Number)
{
    if (!Protection || HexText.empty())
        return std::string(HexText);
    std::vector<uint8_t> Bytes;
    for (size_t I = 0; I + 1 < HexText.size(); I += 2)
        Bytes.push_back(uint8_t(hexValue(HexText[I]) << 4 | hexValue(HexText[I + 1])));
    if (Bytes.empty())
        return std::string(HexText);
    rc4(ObjectKey(Key, Number), Bytes);
    std::string S;
    for (uint8_t B : Bytes)
        S += ByteToHex(B);
    return S;
}

void CryptStream(bool Protection, const TPDFKey& Key, TMemoryStream& Stream, int32_t Number)
{
    if (!Protection || Stream.GetSize() == 0)
        return;
    rc4(ObjectKey(Key, Number), std::span(Stream.Memory(), static_cast<size_t>(Stream.GetSize())));
}
