//===- PngFile.cpp - A picture as a PNG file, for the panel's screenshot ---===//
#include "lasercontrol/PngFile.h"

#include "platform/gdi/Dib.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace {

constexpr size_t StoredBlockMax = 65535;

uint32_t crc32(const uint8_t* Data, size_t Size, uint32_t Crc = 0)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t {};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    Crc = ~Crc;
    for (size_t i = 0; i < Size; ++i)
        Crc = table[(Crc ^ Data[i]) & 0xFF] ^ (Crc >> 8);
    return ~Crc;
}

uint32_t adler32(const std::vector<uint8_t>& Data)
{
    uint32_t a = 1, b = 0;
    for (uint8_t byte : Data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBig32(std::vector<uint8_t>& Out, uint32_t Value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        Out.push_back(uint8_t(Value >> shift));
}

void putChunk(std::vector<uint8_t>& Out, std::string_view Type, const std::vector<uint8_t>& Data)
{
    putBig32(Out, uint32_t(Data.size()));
    const size_t typeAt = Out.size();
    Out.insert(Out.end(), Type.begin(), Type.end());
    Out.insert(Out.end(), Data.begin(), Data.end());
    putBig32(Out, crc32(Out.data() + typeAt, Out.size() - typeAt));
}

/// The rows as PNG scanlines: filter type 0, then red, green, blue per pixel.
std::vector<uint8_t> scanlines(const Dib& Picture)
{
    std::vector<uint8_t> raw;
    raw.reserve(size_t(Picture.Height()) * (1 + 3 * size_t(Picture.Width())));
    for (int y = 0; y < Picture.Height(); ++y) {
        raw.push_back(0);
        for (int x = 0; x < Picture.Width(); ++x) {
            const uint32_t color = Picture.GetPixel(x, y);
            raw.push_back(uint8_t(color));
            raw.push_back(uint8_t(color >> 8));
            raw.push_back(uint8_t(color >> 16));
        }
    }
    return raw;
}

/// A zlib stream of stored deflate blocks.
std::vector<uint8_t> storedZlib(const std::vector<uint8_t>& Raw)
{
    std::vector<uint8_t> z { 0x78, 0x01 };
    size_t at = 0;
    do {
        const size_t n = std::min(StoredBlockMax, Raw.size() - at);
        const bool last = at + n == Raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), Raw.begin() + ptrdiff_t(at), Raw.begin() + ptrdiff_t(at + n));
        at += n;
    } while (at < Raw.size());
    putBig32(z, adler32(Raw));
    return z;
}

} // namespace

std::vector<uint8_t> EncodePng(const Dib& Picture)
{
    std::vector<uint8_t> png { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    std::vector<uint8_t> header;
    putBig32(header, uint32_t(Picture.Width()));
    putBig32(header, uint32_t(Picture.Height()));
    header.insert(header.end(), { 8, 2, 0, 0, 0 });   // 8 bits, RGB, deflate, filter 0, no interlace
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", storedZlib(scanlines(Picture)));
    putChunk(png, "IEND", {});
    return png;
}
