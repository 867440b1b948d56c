//===- PdfCodePages.h - Font character sets, their code pages and UTF-16 hex text -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// The code page of a font character set; DEFAULT_CHARSET stands for the system's default
/// font's character set first.
uint32_t CharSetToCodePage(uint8_t Charset);
/// The character set of the system's default font (that of DEFAULT_GUI_FONT).
uint8_t SystemDefaultCharset();
/// "FEFF" and four upper-case hex digits per UTF-16 unit of the text read in the code page of
/// Charset (a narrower table than CharSetToCodePage's); empty when nothing converts.
std::string StrToUnicodeHex(std::string_view Text, uint8_t Charset);
