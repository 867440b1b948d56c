//===- FontFace.cpp - One face of a font file, measured in font units -===//
#include "platform/gdi/fonts/FontFace_p.h"

#include "platform/gdi/fonts/FreeType_p.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/rtl/AnsiString.h"

#include FT_OUTLINE_H

#include <cmath>

namespace gdi_private {

namespace {

constexpr uint32_t SymbolArea = 0xF000; // where symbol faces keep their byte codes

// The design class as the original reports it in the high nibble of tmPitchAndFamily,
// from the PANOSE digits (family kind, serif style, proportion).
uint8_t familyFromPanose(const SfntMetrics& M, bool FixedPitch)
{
    const uint8_t Kind = M.Panose[0], SerifStyle = M.Panose[1], Proportion = M.Panose[3];
    if (Kind == 2) { // Latin text
        if (Proportion == 9 || FixedPitch)
            return FF_MODERN;
        if (SerifStyle >= 11 && SerifStyle <= 13)
            return FF_SWISS;
        if (SerifStyle >= 2 && SerifStyle <= 10)
            return FF_ROMAN;
        return FF_DONTCARE;
    }
    if (Kind == 3)
        return FF_SCRIPT;
    if (Kind == 4 || Kind == 5)
        return FF_DECORATIVE;
    return FixedPitch ? FF_MODERN : FF_DONTCARE;
}

} // namespace

FontFace::~FontFace() = default;

std::shared_ptr<const FontFace> FontFace::open(std::shared_ptr<FtLibrary> Library,
                                               std::shared_ptr<const std::vector<uint8_t>> File, int FaceIndex,
                                               std::string Path, std::string& Error)
{
    std::shared_ptr<FontFace> Face(new FontFace);
    Face->path_ = std::move(Path);
    Face->faceIndex_ = FaceIndex;
    Face->file_ = std::move(File);
    std::span<const uint8_t> Bytes(*Face->file_);

    // Named instances of variable fonts ride in the upper half of fontconfig's index.
    Face->directory_ = SfntDirectory::parse(Bytes, FaceIndex & 0xFFFF, Error);
    if (!Face->directory_)
        return nullptr;
    auto Metrics = readSfntMetrics(*Face->directory_, Error);
    if (!Metrics)
        return nullptr;
    Face->metrics_ = *Metrics;
    if (!Face->directory_->table(sfntTag('h', 'm', 't', 'x')) || Face->metrics_.NumberOfHMetrics == 0) {
        Error = "hmtx table missing";
        return nullptr;
    }
    if (!Library) {
        Error = "FreeType is not available";
        return nullptr;
    }
    Face->ft_ = FtFace::open(std::move(Library), Bytes, FaceIndex, Error);
    if (!Face->ft_)
        return nullptr;
    FT_Face Ft = Face->ft_->get();
    if (!FT_IS_SCALABLE(Ft)) {
        Error = "not a scalable face";
        return nullptr;
    }
    if (FT_Select_Charmap(Ft, FT_ENCODING_UNICODE) != 0 && FT_Select_Charmap(Ft, FT_ENCODING_MS_SYMBOL) == 0)
        Face->symbol_ = true;
    Face->familyName_ = Ft->family_name ? Ft->family_name : "";
    const SfntMetrics& M = Face->metrics_;
    Face->fixedPitch_ = M.IsFixedPitch != 0 || (M.Panose[0] == 2 && M.Panose[3] == 9);
    Face->family_ = familyFromPanose(M, Face->fixedPitch_);
    Face->measureAnsiChars();
    return Face;
}

std::shared_ptr<const FontFace> FontFace::builtIn()
{
    std::shared_ptr<FontFace> Face(new FontFace);
    SfntMetrics& M = Face->metrics_;
    M.UnitsPerEm = 1000;
    M.WinAscent = 800;
    M.WinDescent = 200;
    M.Ascender = M.TypoAscender = 800;
    M.Descender = M.TypoDescender = -200;
    M.XAvgCharWidth = 500;
    M.XMax = 500;
    M.YMax = 800;
    M.YMin = -200;
    for (CharUnits& C : Face->chars_)
        C.Advance = 500;
    Face->fixedPitch_ = true;
    Face->family_ = FF_MODERN;
    return Face;
}

std::span<const uint8_t> FontFace::fileBytes() const
{
    return file_ ? std::span<const uint8_t>(*file_) : std::span<const uint8_t>();
}

uint32_t FontFace::glyphForUnicode(uint32_t CodePoint) const
{
    if (!ft_)
        return 0;
    std::lock_guard Lock(ftMutex_);
    return lookupGlyph(CodePoint);
}

uint32_t FontFace::lookupGlyph(uint32_t CodePoint) const
{
    FT_Face Ft = ft_->get();
    uint32_t Glyph = FT_Get_Char_Index(Ft, CodePoint);
    if (Glyph == 0 && symbol_ && CodePoint <= 0xFF)
        Glyph = FT_Get_Char_Index(Ft, SymbolArea | CodePoint);
    return Glyph < uint32_t(Ft->num_glyphs) ? Glyph : 0;
}

bool FontFace::hintedChars(double EmPixels, std::array<HintedChar, 256>& Chars) const
{
    if (!ft_)
        return false;
    std::lock_guard Lock(ftMutex_);
    FT_Face Ft = ft_->get();
    const FT_F26Dot6 Size = FT_F26Dot6(std::lround(EmPixels * 64));
    if (Size < 64 || FT_Set_Char_Size(Ft, 0, Size, 72, 72) != 0)
        return false;
    for (unsigned Code = 0; Code < 256; ++Code) {
        HintedChar& H = Chars[Code];
        H = HintedChar();
        // The bi-level target: full hinting in both directions, as the glyph bitmaps are drawn.
        if (FT_Load_Glyph(Ft, chars_[Code].Glyph, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP) != 0) {
            H.Advance = -1;
            continue;
        }
        H.Advance = int((Ft->glyph->advance.x + 32) >> 6);
        if (Ft->glyph->format != FT_GLYPH_FORMAT_OUTLINE || Ft->glyph->outline.n_points == 0)
            continue;
        FT_BBox Box;
        FT_Outline_Get_CBox(&Ft->glyph->outline, &Box);
        H.InkLeft = int(Box.xMin >> 6);
        H.InkRight = int((Box.xMax + 63) >> 6);
        H.HasInk = H.InkRight > H.InkLeft;
    }
    return true;
}

void FontFace::measureAnsiChars()
{
    FT_Face Ft = ft_->get();
    auto Hmtx = *directory_->table(sfntTag('h', 'm', 't', 'x'));
    for (unsigned Code = 0; Code < 256; ++Code) {
        CharUnits& C = chars_[Code];
        C.Glyph = lookupGlyph(symbol_ ? Code : uint32_t(AnsiCharToUnicode(uint8_t(Code))));
        C.Advance = hmtxAdvance(Hmtx, metrics_.NumberOfHMetrics, C.Glyph);
        // Unscaled and unhinted: the ink box in font units, the same at every target size.
        const FT_Int32 Flags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_IGNORE_TRANSFORM | FT_LOAD_NO_BITMAP;
        if (FT_Load_Glyph(Ft, C.Glyph, Flags) != 0 || Ft->glyph->format != FT_GLYPH_FORMAT_OUTLINE
            || Ft->glyph->outline.n_points == 0)
            continue;
        FT_BBox Box;
        FT_Outline_Get_CBox(&Ft->glyph->outline, &Box);
        C.HasInk = Box.xMax > Box.xMin;
        C.InkLeft = int32_t(Box.xMin);
        C.InkRight = int32_t(Box.xMax);
    }
}

} // namespace gdi_private
