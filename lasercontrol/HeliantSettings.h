//===- HeliantSettings.h - The program's settings file: hints and window position -*- C++ -*-===//
//
//   [Main]
//   ShowHint=1
//   [WND]
//   Xpos=120
//   Ypos=40
//
// The file lies beside the executable and is named like it with the extension ".INI". It is
// read once at start and written only at a confirmed closing (and by the Options dialog's Save),
// and then only when something changed and the server's automatic saving of options is on.
//
#pragma once

#include <cstdint>

class TIniFile;

struct HeliantSettings {
    bool ShowHint = true;
    int32_t Xpos = 0, Ypos = 0;
    /// Xpos or Ypos is not 0: the window goes there; otherwise it is centred on the screen.
    bool PositionSet = false;
    /// The file lacks a key or no longer matches the window; cleared by Write.
    bool Dirty = false;

    /// Reads the file; a missing file or key gives the defaults (hints on, the window centred),
    /// and a missing "ShowHint" key marks the settings dirty so that the next saving adds it.
    static HeliantSettings Read(const TIniFile& Ini);
    /// Writes "ShowHint" (section "Main"), "Xpos" and "Ypos" (section "WND") and clears Dirty.
    /// Raises EIniFileException when the file cannot be written; Dirty then stays set.
    void Write(TIniFile& Ini, bool AShowHint, int32_t Left, int32_t Top);
};
