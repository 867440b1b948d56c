//===- JpegCodec_p.h - JPEG coding over libjpeg-turbo, with errors as answers -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ui_private {

/// Rows top-down without padding: 3 bytes (red, green, blue) per pixel, or 1 when Gray.
struct JpegPixels {
    int Width = 0, Height = 0;
    bool Gray = false;
    std::vector<uint8_t> Bytes;
};

/// Decodes a whole JPEG file, grey when ToGray or when the file is grey. False, with Reason set
/// and Out empty, for anything the library refuses or warns about (a truncated file among
/// them) and for pictures over MaxPixels. Never reads past Data.
bool decodeJpeg(std::span<const uint8_t> Data, bool ToGray, int64_t MaxPixels, JpegPixels& Out, std::string& Reason);

/// Encodes In at Quality (1..100), baseline or progressive. False, with Reason set, when the
/// library refuses.
bool encodeJpeg(const JpegPixels& In, int Quality, bool Progressive, std::vector<uint8_t>& Out, std::string& Reason);

} // namespace ui_private
