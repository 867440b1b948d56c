//===- PdfFontProbes.h - Asking the system which TrueType faces it has -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// Whether the last face the system reports for the name is TrueType; false for an empty name.
/// Names are cut to 31 characters, as every face name in a font description is.
bool IsTrueTypeFont(std::string_view FaceName);
/// Looks for a TrueType face of the name with Style (bit 0 bold, bit 1 italic); failing that,
/// without italic, then without bold too, then plain, then in the style of the first face
/// found. On success FaceName becomes the name the system reports and Style the one matched;
/// without any TrueType face of the name both stay and the answer is false.
bool FindTrueTypeFace(std::string& FaceName, uint8_t& Style);
