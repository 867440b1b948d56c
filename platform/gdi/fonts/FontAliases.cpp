//===- FontAliases.cpp - The original face names and the installed files behind them -===//
#include "platform/gdi/fonts/FontAliases_p.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <optional>

namespace gdi_private {

namespace {

constexpr std::string_view Sans = "Liberation Sans", Serif = "Liberation Serif", Mono = "Liberation Mono";
constexpr std::string_view SansFallback = "DejaVu Sans", SerifFallback = "DejaVu Serif",
                           MonoFallback = "DejaVu Sans Mono";

// The one name table. TrueType tells the font enumeration whether the original listed a
// TrueType face under the name: the bitmap faces (MS Sans Serif, System, Fixedsys), the printer
// faces (Courier, Times, Helvetica) and the dialog alias are drawn with outline faces here, but
// code that asks "is this a TrueType face?" must still hear no, as the PDF writer's font
// substitution depends on that answer.
constexpr std::array<FaceAlias, 13> Aliases { {
    { "Arial", Sans, SansFallback, true },
    { "Helvetica", Sans, SansFallback, false },
    { "MS Sans Serif", Sans, SansFallback, false },
    { "Microsoft Sans Serif", Sans, SansFallback, true },
    { "Tahoma", Sans, SansFallback, true },
    { "Verdana", Sans, SansFallback, true },
    { "System", Sans, SansFallback, false },
    { "MS Shell Dlg", Sans, SansFallback, false },
    { "Times New Roman", Serif, SerifFallback, true },
    { "Times", Serif, SerifFallback, false },
    { "Courier New", Mono, MonoFallback, true },
    { "Courier", Mono, MonoFallback, false },
    { "Fixedsys", Mono, MonoFallback, false },
} };

char asciiLower(char C) { return C >= 'A' && C <= 'Z' ? char(C - 'A' + 'a') : C; }

std::string_view trimBlanks(std::string_view S)
{
    while (!S.empty() && (S.front() == ' ' || S.front() == '\t'))
        S.remove_prefix(1);
    while (!S.empty() && (S.back() == ' ' || S.back() == '\t'))
        S.remove_suffix(1);
    return S;
}

bool sameIgnoringCase(std::string_view A, std::string_view B)
{
    return A.size() == B.size()
           && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) { return asciiLower(X) == asciiLower(Y); });
}

// Family names compare as fontconfig compares them: without regard to case or blanks.
bool sameFamily(std::string_view A, std::string_view B)
{
    auto Next = [](std::string_view& S) {
        while (!S.empty() && S.front() == ' ')
            S.remove_prefix(1);
    };
    for (;;) {
        Next(A);
        Next(B);
        if (A.empty() || B.empty())
            return A.empty() && B.empty();
        if (asciiLower(A.front()) != asciiLower(B.front()))
            return false;
        A.remove_prefix(1);
        B.remove_prefix(1);
    }
}

struct PatternDeleter {
    void operator()(FcPattern* P) const { FcPatternDestroy(P); }
};
struct FontSetDeleter {
    void operator()(FcFontSet* S) const { FcFontSetDestroy(S); }
};
struct ObjectSetDeleter {
    void operator()(FcObjectSet* S) const { FcObjectSetDestroy(S); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

const FcChar8* fcText(std::string_view S, std::string& Storage)
{
    Storage.assign(S);
    return reinterpret_cast<const FcChar8*>(Storage.c_str());
}

std::string patternString(FcPattern* P, const char* Object, int N = 0)
{
    FcChar8* Value = nullptr;
    if (FcPatternGetString(P, Object, N, &Value) != FcResultMatch || !Value)
        return {};
    return reinterpret_cast<const char*>(Value);
}

bool hasFamily(FcPattern* P, std::string_view Family)
{
    for (int N = 0;; ++N) {
        FcChar8* Value = nullptr;
        if (FcPatternGetString(P, FC_FAMILY, N, &Value) != FcResultMatch)
            return false;
        if (sameFamily(reinterpret_cast<const char*>(Value), Family))
            return true;
    }
}

// Only sfnt files carry the tables the engine reports; Type 1 and bitmap files are skipped
// rather than reported as broken.
bool isOutlineSfnt(FcPattern* P)
{
    FcBool Outline = FcFalse;
    if (FcPatternGetBool(P, FC_OUTLINE, 0, &Outline) != FcResultMatch || !Outline)
        return false;
    std::string Format = patternString(P, FC_FONTFORMAT);
    return Format.empty() || Format == "TrueType" || Format == "CFF";
}

// A configuration of our own rather than fontconfig's process-wide default: it is released
// at exit, so the process ends without leaked allocations, and whatever Qt does with the
// default one cannot touch it.
class FontconfigSession {
public:
    static FontconfigSession& instance()
    {
        static FontconfigSession Session;
        return Session;
    }
    ~FontconfigSession()
    {
        if (config_)
            FcConfigDestroy(config_);
    }
    /// Null when fontconfig cannot load its configuration; no file is then found by name.
    FcConfig* config() const { return config_; }
    std::mutex& mutex() { return mutex_; }

private:
    FontconfigSession() : config_(FcInitLoadConfigAndFonts()) {}
    FcConfig* config_;
    std::mutex mutex_;
};

// The file fontconfig picks for a family and style; RequireFamily refuses its substitutes.
std::optional<FontFileRef> matchFamily(FcConfig* Config, std::string_view Family, bool Bold, bool Italic,
                                       bool RequireFamily)
{
    PatternPtr Pattern(FcPatternCreate());
    if (!Pattern)
        return std::nullopt;
    std::string Storage;
    FcPatternAddString(Pattern.get(), FC_FAMILY, fcText(Family, Storage));
    FcPatternAddInteger(Pattern.get(), FC_WEIGHT, Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(Pattern.get(), FC_SLANT, Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(Pattern.get(), FC_OUTLINE, FcTrue);
    FcPatternAddBool(Pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(Config, Pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(Pattern.get());
    FcResult Result = FcResultNoMatch;
    PatternPtr Match(FcFontMatch(Config, Pattern.get(), &Result));
    if (!Match || Result != FcResultMatch || !isOutlineSfnt(Match.get()))
        return std::nullopt;
    if (RequireFamily && !hasFamily(Match.get(), Family))
        return std::nullopt;
    FontFileRef Ref;
    Ref.Path = patternString(Match.get(), FC_FILE);
    if (Ref.Path.empty())
        return std::nullopt;
    FcPatternGetInteger(Match.get(), FC_INDEX, 0, &Ref.Index);
    Ref.Family = RequireFamily ? std::string(Family) : patternString(Match.get(), FC_FAMILY);
    return Ref;
}

} // namespace

const FaceAlias* findFaceAlias(std::string_view FaceName)
{
    FaceName = trimBlanks(FaceName);
    for (const FaceAlias& A : Aliases)
        if (sameIgnoringCase(A.Name, FaceName))
            return &A;
    return nullptr;
}

std::vector<FontFileRef> candidateFontFiles(std::string_view FaceName, bool Bold, bool Italic)
{
    std::vector<FontFileRef> Files;
    FontconfigSession& Session = FontconfigSession::instance();
    if (!Session.config())
        return Files;
    std::lock_guard Lock(Session.mutex());
    FcConfig* Config = Session.config();
    auto Add = [&](std::optional<FontFileRef> Ref) {
        if (Ref && std::none_of(Files.begin(), Files.end(), [&](const FontFileRef& F) {
                return F.Path == Ref->Path && F.Index == Ref->Index;
            }))
            Files.push_back(std::move(*Ref));
    };
    FaceName = trimBlanks(FaceName);
    if (const FaceAlias* Alias = findFaceAlias(FaceName)) {
        Add(matchFamily(Config, Alias->Family, Bold, Italic, true));
        Add(matchFamily(Config, Alias->Fallback, Bold, Italic, true));
    } else if (!FaceName.empty()) {
        // fontconfig answers every request with some face; only a family of exactly the
        // requested name counts, otherwise the text would silently change its design.
        Add(matchFamily(Config, FaceName, Bold, Italic, true));
    }
    Add(matchFamily(Config, Sans, Bold, Italic, true));
    Add(matchFamily(Config, SansFallback, Bold, Italic, true));
    Add(matchFamily(Config, "sans-serif", Bold, Italic, false));
    return Files;
}

std::vector<FamilyStyle> installedFamilyStyles(std::string_view Family)
{
    std::vector<FamilyStyle> Styles;
    FontconfigSession& Session = FontconfigSession::instance();
    if (!Session.config())
        return Styles;
    std::lock_guard Lock(Session.mutex());
    PatternPtr Pattern(FcPatternCreate());
    if (!Pattern)
        return Styles;
    std::string Storage;
    FcPatternAddString(Pattern.get(), FC_FAMILY, fcText(Family, Storage));
    std::unique_ptr<FcObjectSet, ObjectSetDeleter> Objects(
        FcObjectSetBuild(FC_FAMILY, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_OUTLINE, FC_FONTFORMAT, nullptr));
    std::unique_ptr<FcFontSet, FontSetDeleter> Set(FcFontList(Session.config(), Pattern.get(), Objects.get()));
    if (!Set)
        return Styles;
    for (int I = 0; I < Set->nfont; ++I) {
        FcPattern* Font = Set->fonts[I];
        if (!isOutlineSfnt(Font) || !hasFamily(Font, Family))
            continue;
        int Weight = FC_WEIGHT_REGULAR, Slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(Font, FC_WEIGHT, 0, &Weight);
        FcPatternGetInteger(Font, FC_SLANT, 0, &Slant);
        int Width = FC_WIDTH_NORMAL;
        FcPatternGetInteger(Font, FC_WIDTH, 0, &Width);
        if (Width != FC_WIDTH_NORMAL)
            continue; // condensed and expanded cuts are no style of their own on the original
        FamilyStyle S;
        for (int N = 0;; ++N) {
            std::string Name = patternString(Font, FC_FAMILY, N);
            if (Name.empty() || sameFamily(Name, Family)) {
                S.Family = Name;
                break;
            }
        }
        S.Weight = std::clamp(FcWeightToOpenType(Weight), 100, 900);
        S.Italic = Slant != FC_SLANT_ROMAN;
        bool Seen = std::any_of(Styles.begin(), Styles.end(),
                                [&](const FamilyStyle& X) { return X.Weight == S.Weight && X.Italic == S.Italic; });
        if (!Seen)
            Styles.push_back(std::move(S));
    }
    std::sort(Styles.begin(), Styles.end(), [](const FamilyStyle& A, const FamilyStyle& B) {
        return A.Weight != B.Weight ? A.Weight < B.Weight : A.Italic < B.Italic;
    });
    return Styles;
}

std::span<const FaceAlias> faceAliases() { return Aliases; }

} // namespace gdi_private
