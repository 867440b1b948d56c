//===- TessalySettings.h - The program's settings file: window, data folder and the run -*- C++ -*-===//
//
//   [WND]
//   Xpos=120
//   Ypos=40
//   Form_mainH=520
//   Form_mainW=483
//   [Main]
//   DataPath=/home/op/
//   Freq=50
//   Count=6000
//   hv=50
//   RedLine=60
//   YellowLine=85
//   GreenLine=100
//   SecifiedEnergy=100
//
// The file lies beside the executable, named like it with the extension ".INI". The key of the
// specified energy is spelled as the files in the field spell it. Only the window keys and
// "DataPath" are written, at closing.
//
// A number outside its range is clamped to it (the window sizes are refused), one that is not a
// number gives the default; each is named in Corrections, so that the operator is told what the
// file held and what is used. The ranges: hv 0 to 100 percent, Freq 1 to 500 Hz (the laser's
// highest rate), Count at least 1, the limit lines 0 to 255 uJ (the histogram's bins), the window
// sizes 0 to 32767.
//
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TIniFile;

struct TessalySettings {
    static constexpr int32_t MaxRate = 500;
    static constexpr int32_t MaxLine = 255;
    static constexpr int32_t MaxWindowSide = 32767;

    int32_t Xpos = 0, Ypos = 0;
    int32_t Form_mainH = 0, Form_mainW = 0;
    std::string DataPath;
    int32_t Freq = 50;
    int32_t Count = 6000;
    int32_t hv = 50;
    int32_t RedLine = 60;
    int32_t YellowLine = 85;
    int32_t GreenLine = 100;
    int32_t SecifiedEnergy = 100;
    /// What the file held that is not used as written, one line each ("hv=-7 is outside 0 to
    /// 100; 0 is used").
    std::vector<std::string> Corrections;

    /// Both position keys non-zero: the window goes there.
    bool PositionSet() const { return Xpos != 0 && Ypos != 0; }
    /// Both size keys non-zero: the window takes that size.
    bool SizeSet() const { return Form_mainH != 0 && Form_mainW != 0; }

    /// Reads the file; missing keys give the defaults, "DataPath" the program's folder.
    static TessalySettings Read(const TIniFile& Ini, const std::string& ProgramFolder);
    /// Writes the window keys and "DataPath". Raises EIniFileException when the file cannot be
    /// written.
    void Write(TIniFile& Ini, int32_t Left, int32_t Top, int32_t Height, int32_t Width);
};
