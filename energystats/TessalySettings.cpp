//===- TessalySettings.cpp - The program's settings file: window, data folder and the run ---===//
#include "energystats/TessalySettings.h"

#include "platform/kernel/TIniFile.h"

namespace {

constexpr const char* MainSection = "Main";
constexpr const char* WindowSection = "WND";

} // namespace

TessalySettings TessalySettings::Read(const TIniFile& Ini, const std::string& ProgramFolder)
{
    TessalySettings s;
    s.Xpos = Ini.ReadInteger(WindowSection, "Xpos", 0);
    s.Ypos = Ini.ReadInteger(WindowSection, "Ypos", 0);
    s.Form_mainH = Ini.ReadInteger(WindowSection, "Form_mainH", 0);
    s.Form_mainW = Ini.ReadInteger(WindowSection, "Form_mainW", 0);
    s.DataPath = Ini.ReadString(MainSection, "DataPath", ProgramFolder);
    s.Freq = Ini.ReadInteger(MainSection, "Freq", 50);
    s.Count = Ini.ReadInteger(MainSection, "Count", 6000);
    s.hv = Ini.ReadInteger(MainSection, "hv", 50);
    s.RedLine = Ini.ReadInteger(MainSection, "RedLine", 60);
    s.YellowLine = Ini.ReadInteger(MainSection, "YellowLine", 85);
    s.GreenLine = Ini.ReadInteger(MainSection, "GreenLine", 100);
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
