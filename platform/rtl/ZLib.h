//===- ZLib.h - Deflate compression in the zlib format -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <span>
#include <vector>

/// Compression levels, as the runtime library names them (scoped: the colour names clNone and
/// clDefault are taken).
enum class TCompressionLevel { clNone, clFastest, clDefault, clMax };

/// The zlib stream (header, deflate data, Adler-32) of Data. Raises EStreamError when the
/// compressor fails (it only does when memory runs out).
std::vector<uint8_t> ZCompress(std::span<const uint8_t> Data, TCompressionLevel Level = TCompressionLevel::clDefault);
