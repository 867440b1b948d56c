//===- HeliantSettings.cpp - The program's settings file: hints and window position ---===//
#include "lasercontrol/HeliantSettings.h"

#include "platform/kernel/TIniFile.h"

namespace {

constexpr const char* MainSection = "Main";
constexpr const char* WindowSection = "WND";

} // namespace

HeliantSettings HeliantSettings::Read(const TIniFile& Ini)
{
    HeliantSettings s;
    // A key that is there answers the same whatever the default; only a missing (or unreadable)
    // one answers each default, which is how the program notices a file that lacks it.
    const bool hintsIfMissing = Ini.ReadBool(MainSection, "ShowHint", true);
    const bool noHintsIfMissing = Ini.ReadBool(MainSection, "ShowHint", false);
    s.Dirty = hintsIfMissing != noHintsIfMissing;
    s.ShowHint = hintsIfMissing;
    s.Xpos = Ini.ReadInteger(WindowSection, "Xpos", 0);
    s.Ypos = Ini.ReadInteger(WindowSection, "Ypos", 0);
    s.PositionSet = s.Xpos != 0 || s.Ypos != 0;
    return s;
}

void HeliantSettings::Write(TIniFile& Ini, bool AShowHint, int32_t Left, int32_t Top)
{
    Ini.WriteBool(MainSection, "ShowHint", AShowHint);
    Ini.WriteInteger(WindowSection, "Xpos", Left);
    Ini.WriteInteger(WindowSection, "Ypos", Top);
    Dirty = false;
}
