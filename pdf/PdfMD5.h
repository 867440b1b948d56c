//===- PdfMD5.h - The writer's own MD5 digest (RFC 1321) -*- C++ -*-===//
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

using TMD5Digest = std::array<uint8_t, 16>;

/// The running state of one digest: MD5Init, any number of MD5Update, then MD5Final.
struct TMD5Context {
    std::array<uint32_t, 4> State;
    uint64_t Count; // bytes taken so far
    std::array<uint8_t, 64> Buffer;
};

void MD5Init(TMD5Context& Context);
void MD5Update(TMD5Context& Context, std::span<const uint8_t> Data);
inline void MD5Update(TMD5Context& Context, std::string_view Data)
{
    MD5Update(Context, std::span(reinterpret_cast<const uint8_t*>(Data.data()), Data.size()));
}
/// Pads, finishes and answers the digest; the context must be initialised again before reuse.
TMD5Digest MD5Final(TMD5Context& Context);

TMD5Digest MD5Buffer(std::span<const uint8_t> Data);
/// The digest of the text's bytes as 32 lower-case hex digits.
std::string MD5String(std::string_view Text);
/// 32 lower-case hex digits.
std::string MD5DigestToStr(const TMD5Digest& Digest);
