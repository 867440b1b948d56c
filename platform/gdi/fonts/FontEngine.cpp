//===- FontEngine.cpp - Installed fonts, their metrics and their tables -===//
#include "platform/gdi/fonts/FontEngine.h"

#include "platform/gdi/fonts/FontAliases_p.h"
#include "platform/gdi/fonts/FontEngine_p.h"
#include "platform/gdi/fonts/FontFace_p.h"
#include "platform/gdi/fonts/FreeType_p.h"
#include "platform/gdi/fonts/SfntTables_p.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <set>

using gdi_private::FontFace;
using gdi_private::SfntMetrics;

namespace {

// A request for height 0 gets a cell of this many pixels, about what the original's default
// of "no preference" yields on a 96-dpi screen.
constexpr double DefaultCellHeight = 16;
// Beyond this no face is drawn meaningfully; the limit keeps int32 metrics far from overflow.
constexpr double MaxEmPixels = 16384, MinEmPixels = 1.0 / 64;
// Font files beyond this size are refused rather than read into memory.
constexpr std::streamoff MaxFontFileBytes = std::streamoff(512) << 20;
// Realized fonts are cached by LOGFONT; past this many the cache starts afresh (fonts in use
// stay alive through their holders).
constexpr size_t MaxRealizedFonts = 1024;
constexpr int Dpi = 96;
// Ems up to this many pixels are hinted (FontEngine.h); beyond it hinting moves nothing that
// shows, and a glyph bitmap would cost its whole area whatever the clip.
constexpr double MaxHintedEmPixels = 96;

// Whole pixels from scaled font units: to the nearest, halves away from zero, once for every
// metric, so that sums of rounded advances are what every backend lays out.
int32_t px(double Value) { return int32_t(std::lround(Value)); }

std::string faceNameOf(const LOGFONTA& Font)
{
    return std::string(Font.lfFaceName, strnlen(Font.lfFaceName, LF_FACESIZE));
}

// The LOGFONT with whatever follows the face name's terminator cleared, so equal requests
// share one cache entry.
LOGFONTA normalized(const LOGFONTA& Font)
{
    LOGFONTA Copy = Font;
    size_t Length = std::min<size_t>(strnlen(Font.lfFaceName, LF_FACESIZE), LF_FACESIZE - 1);
    std::fill(Copy.lfFaceName + Length, Copy.lfFaceName + LF_FACESIZE, '\0');
    return Copy;
}

std::string cacheKey(const LOGFONTA& Font)
{
    static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA has no padding for the key to carry");
    return std::string(reinterpret_cast<const char*>(&Font), sizeof Font);
}

// The em size in pixels: a negative height is the em itself, a positive one the cell
// (usWinAscent + usWinDescent) that the em is scaled to fill.
double emPixels(int32_t Height, const SfntMetrics& M)
{
    const double Cell = std::max(1, M.WinAscent + M.WinDescent);
    double Em = Height < 0   ? -double(Height)
                : Height > 0 ? double(Height) * M.UnitsPerEm / Cell
                             : DefaultCellHeight * M.UnitsPerEm / Cell;
    return std::clamp(Em, MinEmPixels, MaxEmPixels);
}

TEXTMETRICA textMetrics(const FontFace& Face, const LOGFONTA& Font, double Em, double Scale,
                        const std::array<int, 256>& Advances)
{
    const SfntMetrics& M = Face.metrics();
    TEXTMETRICA Tm;
    // The height is rounded as one figure and the descent takes the rest, so a positive
    // lfHeight comes back as tmHeight exactly.
    Tm.tmHeight = px((M.WinAscent + M.WinDescent) * Scale);
    Tm.tmAscent = px(M.WinAscent * Scale);
    Tm.tmDescent = Tm.tmHeight - Tm.tmAscent;
    Tm.tmInternalLeading = Tm.tmHeight - px(Em);
    // The line gap that hhea asks for beyond the Windows cell, as the original computes it.
    const int HheaHeight = M.Ascender - M.Descender;
    Tm.tmExternalLeading = px(std::max(0, M.LineGap - ((M.WinAscent + M.WinDescent) - HheaHeight)) * Scale);
    Tm.tmAveCharWidth = M.XAvgCharWidth > 0 ? px(M.XAvgCharWidth * Scale) : Advances['x'];
    Tm.tmMaxCharWidth = px((M.XMax - M.XMin) * Scale);
    Tm.tmWeight = Font.lfWeight > 0 ? Font.lfWeight : FW_NORMAL;
    Tm.tmOverhang = 0;
    Tm.tmDigitizedAspectX = Tm.tmDigitizedAspectY = Dpi;
    // The range the original reports for single-byte TrueType faces.
    Tm.tmFirstChar = 0x1E;
    Tm.tmLastChar = 0xFF;
    Tm.tmDefaultChar = 0x1F;
    Tm.tmBreakChar = 0x20;
    Tm.tmItalic = Font.lfItalic;
    Tm.tmUnderlined = Font.lfUnderline;
    Tm.tmStruckOut = Font.lfStrikeOut;
    // TMPF_FIXED_PITCH set means a VARIABLE pitch: the original's bit has the inverted sense,
    // and the PDF writer's fixed-pitch test reads it that way.
    uint8_t Pitch = Face.isFixedPitch() ? 0 : TMPF_FIXED_PITCH;
    uint8_t Kind = Face.isBuiltIn() ? 0 : uint8_t(TMPF_VECTOR | TMPF_TRUETYPE);
    Tm.tmPitchAndFamily = uint8_t(Face.family() | Kind | Pitch);
    Tm.tmCharSet = Face.isSymbol() ? SYMBOL_CHARSET : ANSI_CHARSET;
    return Tm;
}

// A from the left edge of the ink, B the pixel columns the ink touches, C the rest of the
// advance, so A + B + C is exactly the advance used for layout.
ABC charAbc(const gdi_private::CharUnits& C, double Scale, int Advance)
{
    ABC R;
    if (!C.HasInk) {
        R.abcC = Advance;
        return R;
    }
    constexpr double Slack = 1e-9; // 2.0000000001 columns of ink are two columns
    int32_t Left = int32_t(std::floor(C.InkLeft * Scale + Slack));
    int32_t Right = std::max(Left, int32_t(std::ceil(C.InkRight * Scale - Slack)));
    R.abcA = Left;
    R.abcB = uint32_t(Right - Left);
    R.abcC = Advance - Right;
    return R;
}

// The same split for a hinted glyph: its bitmap's columns against its hinted advance.
ABC hintedAbc(const gdi_private::HintedChar& H)
{
    ABC R;
    if (!H.HasInk) {
        R.abcC = H.Advance;
        return R;
    }
    R.abcA = H.InkLeft;
    R.abcB = uint32_t(H.InkRight - H.InkLeft);
    R.abcC = H.Advance - H.InkRight;
    return R;
}

POINT scaledPoint(int16_t X, int16_t Y, double Scale) { return POINT { px(X * Scale), px(Y * Scale) }; }

} // namespace

struct RealizedFont::Impl {
    LOGFONTA LogFont;
    std::string Family;
    std::shared_ptr<const FontFace> Face;
    double Em = 0;
    double Scale = 0; // pixels per font unit
    bool Hinted = false;
    TEXTMETRICA Tm;
    std::array<int, 256> Advances {};
    std::array<double, 256> DesignAdvances {};
    std::array<ABC, 256> Abcs {};
};

/// The process's caches of font files, faces, name resolutions and realized fonts. One lock
/// guards them all: realization is rare next to measuring, which needs no lock.
class FontCache {
public:
    static FontCache& instance();

    std::shared_ptr<const RealizedFont> realize(const LOGFONTA& Font);
    std::shared_ptr<const RealizedFont> realizeFromFile(const std::string& Path, int FaceIndex, const LOGFONTA& Font);

private:
    struct Resolved {
        std::shared_ptr<const FontFace> Face;
        std::string Family;
    };
    FontCache() : library_(gdi_private::FtLibrary::create()) {}
    Resolved resolve(const LOGFONTA& Font);
    std::shared_ptr<const FontFace> loadFace(const std::string& Path, int FaceIndex);
    std::shared_ptr<const std::vector<uint8_t>> loadFile(const std::string& Path, std::string& Error);
    std::shared_ptr<const RealizedFont> remember(const std::string& Key, const LOGFONTA& Font, Resolved Source);
    void reportOnce(const std::string& What, const std::string& Message);

    std::mutex mutex_;
    std::shared_ptr<gdi_private::FtLibrary> library_;
    std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>> files_;
    std::map<std::pair<std::string, int>, std::shared_ptr<const FontFace>> faces_; // null: unusable
    std::map<std::string, Resolved> resolutions_;
    std::map<std::string, std::shared_ptr<const RealizedFont>> realized_;
    std::set<std::string> reported_;
};

FontCache& FontCache::instance()
{
    static FontCache Cache;
    return Cache;
}

std::shared_ptr<const RealizedFont> FontCache::realize(const LOGFONTA& Request)
{
    const LOGFONTA Font = normalized(Request);
    const std::string Key = cacheKey(Font);
    std::lock_guard Lock(mutex_);
    if (auto It = realized_.find(Key); It != realized_.end())
        return It->second;
    return remember(Key, Font, resolve(Font));
}

std::shared_ptr<const RealizedFont> FontCache::realizeFromFile(const std::string& Path, int FaceIndex,
                                                               const LOGFONTA& Request)
{
    const LOGFONTA Font = normalized(Request);
    const std::string Key = Path + '\0' + std::to_string(FaceIndex) + '\0' + cacheKey(Font);
    std::lock_guard Lock(mutex_);
    if (auto It = realized_.find(Key); It != realized_.end())
        return It->second;
    if (auto Face = loadFace(Path, FaceIndex))
        return remember(Key, Font, Resolved { Face, Face->familyName() });
    return remember(Key, Font, resolve(Font));
}

// Name and style to face: the alias table's candidates in order, the first that loads wins.
FontCache::Resolved FontCache::resolve(const LOGFONTA& Font)
{
    const bool Bold = Font.lfWeight >= 600, Italic = Font.lfItalic != 0;
    const std::string Name = faceNameOf(Font);
    const std::string Key = Name + (Bold ? "\1b" : "\1r") + (Italic ? "i" : "u");
    if (auto It = resolutions_.find(Key); It != resolutions_.end())
        return It->second;
    Resolved Result;
    for (const gdi_private::FontFileRef& File : gdi_private::candidateFontFiles(Name, Bold, Italic))
        if (auto Face = loadFace(File.Path, File.Index)) {
            Result = Resolved { Face, File.Family };
            break;
        }
    if (!Result.Face) {
        reportOnce("*built-in*", "no usable font file is installed; text is measured with fixed proportions");
        Result = Resolved { FontFace::builtIn(), "(built-in)" };
    }
    resolutions_.emplace(Key, Result);
    return Result;
}

std::shared_ptr<const FontFace> FontCache::loadFace(const std::string& Path, int FaceIndex)
{
    auto Key = std::make_pair(Path, FaceIndex);
    if (auto It = faces_.find(Key); It != faces_.end())
        return It->second;
    std::string Error;
    std::shared_ptr<const FontFace> Face;
    if (auto File = loadFile(Path, Error))
        Face = FontFace::open(library_, std::move(File), FaceIndex, Path, Error);
    if (!Face)
        reportOnce(Path + '#' + std::to_string(FaceIndex),
                   Path + " (face " + std::to_string(FaceIndex) + "): " + Error + "; using another face");
    faces_.emplace(Key, Face);
    return Face;
}

// File bytes are read once per file and shared by all faces of a collection.
std::shared_ptr<const std::vector<uint8_t>> FontCache::loadFile(const std::string& Path, std::string& Error)
{
    if (auto It = files_.find(Path); It != files_.end())
        return It->second;
    std::ifstream In(Path, std::ios::binary | std::ios::ate);
    if (!In) {
        Error = "cannot open the file";
        return nullptr;
    }
    std::streamoff Size = In.tellg();
    if (Size < 0 || Size > MaxFontFileBytes) {
        Error = "file size " + std::to_string(Size) + " is not that of a font";
        return nullptr;
    }
    auto Bytes = std::make_shared<std::vector<uint8_t>>(size_t(Size));
    In.seekg(0);
    if (!In.read(reinterpret_cast<char*>(Bytes->data()), Size)) {
        Error = "cannot read the file";
        return nullptr;
    }
    files_.emplace(Path, Bytes);
    return Bytes;
}

void FontCache::reportOnce(const std::string& What, const std::string& Message)
{
    if (reported_.insert(What).second)
        std::fprintf(stderr, "FontEngine: %s\n", Message.c_str());
}

std::shared_ptr<const RealizedFont> FontCache::remember(const std::string& Key, const LOGFONTA& Font, Resolved Source)
{
    auto Impl = std::make_unique<RealizedFont::Impl>();
    const FontFace& Face = *Source.Face;
    Impl->LogFont = Font;
    Impl->Family = std::move(Source.Family);
    Impl->Em = emPixels(Font.lfHeight, Face.metrics());
    Impl->Scale = Impl->Em / Face.metrics().UnitsPerEm;
    // The one advance rule (FontEngine.h): the hinted advance at this size, the linear one
    // rounded where the face cannot be hinted.
    std::array<gdi_private::HintedChar, 256> Hinted;
    const bool HasHinted = Impl->Em <= MaxHintedEmPixels && Face.hintedChars(Impl->Em, Hinted);
    Impl->Hinted = HasHinted;
    for (unsigned C = 0; C < 256; ++C) {
        const gdi_private::CharUnits& Units = Face.ansiChar(uint8_t(C));
        Impl->DesignAdvances[C] = Units.Advance * Impl->Scale;
        if (HasHinted && Hinted[C].Advance >= 0) {
            Impl->Advances[C] = Hinted[C].Advance;
            Impl->Abcs[C] = hintedAbc(Hinted[C]);
        } else {
            Impl->Advances[C] = px(Units.Advance * Impl->Scale);
            Impl->Abcs[C] = charAbc(Units, Impl->Scale, Impl->Advances[C]);
        }
    }
    Impl->Tm = textMetrics(Face, Font, Impl->Em, Impl->Scale, Impl->Advances);
    Impl->Face = std::move(Source.Face);

    std::shared_ptr<const RealizedFont> Realized(new RealizedFont(std::move(Impl)));
    if (realized_.size() >= MaxRealizedFonts)
        realized_.clear();
    realized_.emplace(Key, Realized);
    return Realized;
}

namespace gdi_private {

std::shared_ptr<const RealizedFont> realizeFontFromFile(const std::string& Path, int FaceIndex, const LOGFONTA& Font)
{
    return FontCache::instance().realizeFromFile(Path, FaceIndex, Font);
}

} // namespace gdi_private

// --- RealizedFont

RealizedFont::RealizedFont(std::unique_ptr<Impl> I) : impl_(std::move(I)) {}
RealizedFont::~RealizedFont() = default;

std::shared_ptr<const RealizedFont> RealizedFont::Realize(const LOGFONTA& Font)
{
    return FontCache::instance().realize(Font);
}

std::vector<FontFaceStyle> RealizedFont::EnumTrueTypeFaces(std::string_view FaceName)
{
    std::vector<FontFaceStyle> Faces;
    const gdi_private::FaceAlias* Alias = gdi_private::findFaceAlias(FaceName);
    if (Alias && !Alias->TrueType)
        return Faces;
    std::string_view Family = Alias ? Alias->Family : FaceName;
    if (Family.find_first_not_of(" \t") == std::string_view::npos)
        return Faces;
    auto Styles = gdi_private::installedFamilyStyles(Family);
    if (Styles.empty() && Alias)
        Styles = gdi_private::installedFamilyStyles(Alias->Fallback);
    for (const gdi_private::FamilyStyle& S : Styles)
        Faces.push_back(FontFaceStyle { Alias ? std::string(Alias->Name) : S.Family, S.Weight, S.Italic });
    return Faces;
}

const LOGFONTA& RealizedFont::LogFont() const { return impl_->LogFont; }
const std::string& RealizedFont::FamilyName() const { return impl_->Family; }
const std::string& RealizedFont::FilePath() const { return impl_->Face->path(); }
int RealizedFont::FaceIndex() const { return impl_->Face->faceIndex(); }
double RealizedFont::PixelSize() const { return impl_->Em; }
bool RealizedFont::Hinted() const { return impl_->Hinted; }
const TEXTMETRICA& RealizedFont::TextMetrics() const { return impl_->Tm; }
int RealizedFont::Advance(uint8_t Char) const { return impl_->Advances[Char]; }

std::vector<int> RealizedFont::Advances(std::string_view Text) const
{
    std::vector<int> Result;
    Result.reserve(Text.size());
    for (char C : Text)
        Result.push_back(impl_->Advances[uint8_t(C)]);
    return Result;
}

std::vector<int> RealizedFont::DesignAdvances(std::string_view Text, double ToLogical) const
{
    std::vector<int> Result;
    Result.reserve(Text.size());
    double End = 0;
    int32_t Placed = 0;
    for (char C : Text) {
        End += impl_->DesignAdvances[uint8_t(C)] * ToLogical;
        const int32_t Next = px(End);
        Result.push_back(Next - Placed);
        Placed = Next;
    }
    return Result;
}

SIZE RealizedFont::TextExtent(std::string_view Text) const
{
    SIZE Size;
    for (char C : Text)
        Size.cx += impl_->Advances[uint8_t(C)];
    Size.cy = impl_->Tm.tmHeight;
    return Size;
}

ABC RealizedFont::CharABC(uint8_t Char) const { return impl_->Abcs[Char]; }

bool RealizedFont::OutlineTextMetrics(OUTLINETEXTMETRICA& Out) const
{
    const FontFace& Face = *impl_->Face;
    if (Face.isBuiltIn())
        return false;
    const SfntMetrics& M = Face.metrics();
    const double S = impl_->Scale;
    Out = OUTLINETEXTMETRICA();
    Out.otmSize = sizeof(OUTLINETEXTMETRICA);
    Out.otmTextMetrics = impl_->Tm;
    std::memcpy(&Out.otmPanoseNumber, M.Panose, sizeof M.Panose);
    // The file's selection bits, with the simulated underline (bit 1) and strike-out (bit 4)
    // of the LOGFONT added, as the realized font shows them.
    Out.otmfsSelection =
        M.FsSelection | (impl_->LogFont.lfUnderline ? 0x02u : 0u) | (impl_->LogFont.lfStrikeOut ? 0x10u : 0u);
    Out.otmfsType = M.FsType;
    Out.otmsCharSlopeRise = M.CaretSlopeRise;
    Out.otmsCharSlopeRun = M.CaretSlopeRun;
    Out.otmItalicAngle = int32_t(std::lround(M.ItalicAngle / 65536.0 * 10));
    Out.otmEMSquare = M.UnitsPerEm;
    Out.otmAscent = px(M.TypoAscender * S);
    Out.otmDescent = px(M.TypoDescender * S);
    Out.otmLineGap = uint32_t(std::max(0, px(M.TypoLineGap * S)));
    Out.otmsCapEmHeight = uint32_t(std::max(0, px(M.CapHeight * S)));
    Out.otmsXHeight = uint32_t(std::max(0, px(M.XHeight * S)));
    Out.otmrcFontBox = RECT { px(M.XMin * S), px(M.YMax * S), px(M.XMax * S), px(M.YMin * S) };
    Out.otmMacAscent = px(M.Ascender * S);
    Out.otmMacDescent = px(M.Descender * S);
    Out.otmMacLineGap = uint32_t(std::max(0, px(M.LineGap * S)));
    Out.otmusMinimumPPEM = M.LowestRecPPEM;
    Out.otmptSubscriptSize = scaledPoint(M.SubscriptXSize, M.SubscriptYSize, S);
    Out.otmptSubscriptOffset = scaledPoint(M.SubscriptXOffset, M.SubscriptYOffset, S);
    Out.otmptSuperscriptSize = scaledPoint(M.SuperscriptXSize, M.SuperscriptYSize, S);
    Out.otmptSuperscriptOffset = scaledPoint(M.SuperscriptXOffset, M.SuperscriptYOffset, S);
    Out.otmsStrikeoutSize = uint32_t(std::max(0, px(M.StrikeoutSize * S)));
    Out.otmsStrikeoutPosition = px(M.StrikeoutPosition * S);
    Out.otmsUnderscoreSize = px(M.UnderlineThickness * S);
    Out.otmsUnderscorePosition = px(M.UnderlinePosition * S);
    return true;
}

uint32_t RealizedFont::GlyphIndex(uint8_t Char) const { return impl_->Face->ansiChar(Char).Glyph; }

uint32_t RealizedFont::GlyphIndexForUnicode(uint32_t CodePoint) const
{
    return impl_->Face->glyphForUnicode(CodePoint);
}

uint32_t RealizedFont::GetFontData(uint32_t Table, uint32_t Offset, void* Buffer, uint32_t Size) const
{
    const FontFace& Face = *impl_->Face;
    std::span<const uint8_t> Data;
    if (Table == 0) {
        // The whole file; for a collection that is every face, as the original answers.
        Data = Face.fileBytes();
        if (Data.empty())
            return GDI_ERROR;
    } else {
        const gdi_private::SfntDirectory* Directory = Face.directory();
        // The caller's tag is the file's four letters read as a little-endian number.
        auto Found = Directory ? Directory->table(__builtin_bswap32(Table)) : std::nullopt;
        if (!Found)
            return GDI_ERROR;
        Data = *Found;
    }
    if (Offset > Data.size())
        return GDI_ERROR;
    const uint32_t Available = uint32_t(Data.size() - Offset);
    if (!Buffer)
        return Available;
    const uint32_t Count = std::min(Size, Available);
    if (Count > 0)
        std::memcpy(Buffer, Data.data() + Offset, Count);
    return Count;
}

std::span<const uint8_t> RealizedFont::FileBytes() const { return impl_->Face->fileBytes(); }
