//===- FontAliases_p.h - The original face names and the installed files behind them -*- C++ -*-===//
//
// The system asks for faces by the names of the original platform ("Arial", "MS Sans Serif");
// one table maps them to installed metric-compatible families, and fontconfig finds the files.
//
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gdi_private {

/// One entry of the alias table.
struct FaceAlias {
    std::string_view Name;     // the original's spelling, reported by the font enumeration
    std::string_view Family;   // the installed family drawn instead
    std::string_view Fallback; // a second family of the same design class
    bool TrueType;             // whether the original had a TrueType face of this name
};

/// Every entry of the table, in its order.
std::span<const FaceAlias> faceAliases();

/// The alias for a face name (letter case and surrounding blanks ignored), or null.
const FaceAlias* findFaceAlias(std::string_view FaceName);

/// One installed font file (or face of a collection) as fontconfig names it.
struct FontFileRef {
    std::string Path;
    int Index = 0;
    std::string Family;
};

/// The files to try for a face name and style, best first: the alias family (or, for a name
/// not in the table, an installed family of exactly that name), then Liberation Sans, DejaVu
/// Sans and whatever fontconfig offers for "sans-serif". Only TrueType/OpenType outline files
/// are offered. Bold and italic pick the style through fontconfig's weight and slant.
std::vector<FontFileRef> candidateFontFiles(std::string_view FaceName, bool Bold, bool Italic);

/// The outline styles installed under a family: weight on the original's 100..900 scale.
struct FamilyStyle {
    std::string Family; // as installed
    int Weight = 400;
    bool Italic = false;
};
std::vector<FamilyStyle> installedFamilyStyles(std::string_view Family);

} // namespace gdi_private
