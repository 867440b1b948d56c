//===- PdfRC4.h - The writer's own RC4 stream cipher -*- C++ -*-===//
#pragma once

#include <array>
#include <cstdint>
#include <span>

struct TRC4Context {
    std::array<uint8_t, 256> S;
    uint8_t I, J;
};

/// The key schedule. A key of 0 or more than 256 bytes raises Exception "RC4: Invalid key length".
void RC4Init(TRC4Context& Context, std::span<const uint8_t> Key);
/// XORs the keystream into Data in place, continuing from where the last call stopped.
void RC4Crypt(TRC4Context& Context, std::span<uint8_t> Data);
