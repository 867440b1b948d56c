//===- TessalySettings.cpp - The program's settings file: window, data folder and the run ---===//
#include "energystats/TessalySettings.h"

#include "platform/kernel/TIniFile.h"
#include "platform/rtl/SysUtils.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace {

constexpr const char* MainSection = "Main";
constexpr const char* WindowSection = "WND";

/// The number Text holds: an integer as the INI file class reads one, else a decimal number
/// (also with an exponent), rounded; none for anything else.
std::optional<double> numberIn(const std::string& Text, bool& Whole)
{
    int32_t integer = 0;
    Whole = TryStrToInt(Text, integer);
    if (Whole)
        return integer;
    double value = 0;
    const char* end = Text.data() + Text.size();
    const auto [stop, error] = std::from_chars(Text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

/// An integer key and the values it may take.
struct Bounded {
    const char* section;
    const char* key;
    int32_t fallback; // the default, used for what is not a number
    int32_t low, high;
    /// Set: a value outside is refused (the default is used and named so), not clamped.
    const char* refusedAs = nullptr;
};

/// Reads a key that must lie within its range; whatever is not used as written is noted in
/// Corrections.
int32_t readBounded(const TIniFile& Ini, const Bounded& K, std::vector<std::string>& Corrections)
{
    const std::string text = Ini.ReadString(K.section, K.key, "");
    if (text.empty())
        return K.fallback;
    bool whole = false;
    const std::optional<double> number = numberIn(text, whole);
    const std::string written = std::string(K.key) + "=" + text;
    const std::string fallback = K.refusedAs ? std::string(K.refusedAs) : std::to_string(K.fallback);
    if (!number) {
        Corrections.push_back(written + " is not a number; " + fallback + " is used");
        return K.fallback;
    }
    if (*number < K.low || *number > K.high) {
        const int32_t used = K.refusedAs ? K.fallback : *number < K.low ? K.low : K.high;
        Corrections.push_back(written + " is outside " + std::to_string(K.low) + " to " + std::to_string(K.high) + "; "
                              + (K.refusedAs ? fallback : std::to_string(used)) + " is used");
        return used;
    }
    const auto used = static_cast<int32_t>(std::lround(*number));
    if (!whole)
        Corrections.push_back(written + " is not a whole number; " + std::to_string(used) + " is used");
    return used;
}

} // namespace

TessalySettings TessalySettings::Read(const TIniFile& Ini, const std::string& ProgramFolder)
{
    TessalySettings s;
    std::vector<std::string>& notes = s.Corrections;
    s.Xpos = Ini.ReadInteger(WindowSection, "Xpos", 0);
    s.Ypos = Ini.ReadInteger(WindowSection, "Ypos", 0);
    // 0 leaves the window its own size; a size no window can have is refused.
    constexpr const char* ownSize = "the window's own size";
    s.Form_mainH = readBounded(Ini, { WindowSection, "Form_mainH", 0, 0, MaxWindowSide, ownSize }, notes);
    s.Form_mainW = readBounded(Ini, { WindowSection, "Form_mainW", 0, 0, MaxWindowSide, ownSize }, notes);
    s.DataPath = Ini.ReadString(MainSection, "DataPath", ProgramFolder);
    s.Freq = readBounded(Ini, { MainSection, "Freq", 50, 1, MaxRate }, notes);
    s.Count = readBounded(Ini, { MainSection, "Count", 6000, 1, INT32_MAX }, notes);
    s.hv = readBounded(Ini, { MainSection, "hv", 50, 0, 100 }, notes);
    s.RedLine = readBounded(Ini, { MainSection, "RedLine", 60, 0, MaxLine }, notes);
    s.YellowLine = readBounded(Ini, { MainSection, "YellowLine", 85, 0, MaxLine }, notes);
    s.GreenLine = readBounded(Ini, { MainSection, "GreenLine", 100, 0, MaxLine }, notes);
    s.SecifiedEnergy = Ini.ReadInteger(MainSection, "SecifiedEnergy", 100);
    return s;
}

void TessalySettings::Write(TIniFile& Ini, int32_t Left, int32_t Top, int32_t Height, int32_t Width)
{
    Ini.WriteInteger(WindowSection, "Xpos", Left);
    Ini.WriteInteger(WindowSection, "Ypos", Top);
    Ini.WriteInteger(WindowSection, "Form_mainH", Height);
    Ini.WriteInteger(WindowSection, "Form_mainW", Width);
    Ini.WriteString(MainSection, "DataPath", DataPath);
}
