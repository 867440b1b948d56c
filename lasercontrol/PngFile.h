//===- PngFile.h - A picture as a PNG file, for the panel's screenshot -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <vector>

class Dib;

/// The picture as a PNG file: 8-bit RGB, no interlace, the image data in stored (uncompressed)
/// deflate blocks. Larger than a compressed file, but it needs no compressor and every viewer
/// reads it.
std::vector<uint8_t> EncodePng(const Dib& Picture);
