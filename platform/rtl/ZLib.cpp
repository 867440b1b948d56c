//===- ZLib.cpp - Deflate compression in the zlib format -===//
#include "platform/rtl/ZLib.h"

#include "platform/rtl/Exception.h"

#include <zlib.h>

std::vector<uint8_t> ZCompress(std::span<const uint8_t> Data, TCompressionLevel Level)
{
    int ZLevel = Z_DEFAULT_COMPRESSION;
    switch (Level) {
    case TCompressionLevel::clNone: ZLevel = Z_NO_COMPRESSION; break;
    case TCompressionLevel::clFastest: ZLevel = Z_BEST_SPEED; break;
    case TCompressionLevel::clDefault: ZLevel = Z_DEFAULT_COMPRESSION; break;
    case TCompressionLevel::clMax: ZLevel = Z_BEST_COMPRESSION; break;
    }
    uLongf Size = compressBound(static_cast<uLong>(Data.size()));
    std::vector<uint8_t> Out(Size);
    if (compress2(Out.data(), &Size, Data.data(), static_cast<uLong>(Data.size()), ZLevel) != Z_OK)
        throw EStreamError("Compression error");
    Out.resize(Size);
    return Out;
}
