//===- TIniFile.h - INI profile files: sections of name=value lines -*- C++ -*-===//
#pragma once

#include "platform/rtl/Exception.h"

#include <cstdint>
#include <string>
#include <string_view>

class TStringList;

/// A write to an INI file failed (missing or unwritable folder, full disk, a folder where the
/// file should be, a name the format cannot hold). The file keeps its old contents.
class EIniFileException : public Exception {
public:
    using Exception::Exception;
};

/// One INI profile file, with the semantics the programs' settings rely on:
///  - section and key names are matched without regard to case (and to blanks around them);
///  - values are read with the blanks around them removed; 8-bit bytes pass unchanged;
///  - a missing file, section or key gives the caller's default; reading never raises;
///  - every write goes to the disk at once, atomically (a new file that replaces the old one),
///    and keeps every other line, section and comment in its place; CR LF and LF files are read,
///    and a file is written back with the line ends it had (CR LF for a new one).
/// Each call reads the file afresh, so another process's writes are seen at the next call.
class TIniFile {
public:
    /// The name is ANSI text like every file name of the system.
    explicit TIniFile(std::string FileName);
    ~TIniFile();

    const std::string& FileName() const { return FFileName; }

    // --- Reading
    std::string ReadString(std::string_view Section, std::string_view Ident, std::string_view Default) const;
    /// Decimal or hexadecimal ("$1F", "0x1F"); text that is no integer gives the default.
    int32_t ReadInteger(std::string_view Section, std::string_view Ident, int32_t Default) const;
    /// An integer: non-zero is true; text that is no integer gives the default.
    bool ReadBool(std::string_view Section, std::string_view Ident, bool Default) const;
    /// True when the section holds at least one key.
    bool SectionExists(std::string_view Section) const;
    bool ValueExists(std::string_view Section, std::string_view Ident) const;
    /// Replaces the list's contents with the section's key names, in file order.
    void ReadSection(std::string_view Section, TStringList& Strings) const;
    /// Replaces the list's contents with the section names, in file order.
    void ReadSections(TStringList& Strings) const;

    // --- Writing (each raises EIniFileException when the file cannot be written)
    /// Replaces the key's value, or adds the key at the end of its section, or adds the section
    /// at the end of the file. Names holding '=', ']' or line breaks and values holding line
    /// breaks are refused.
    void WriteString(std::string_view Section, std::string_view Ident, std::string_view Value);
    void WriteInteger(std::string_view Section, std::string_view Ident, int32_t Value);
    /// Writes "1" or "0".
    void WriteBool(std::string_view Section, std::string_view Ident, bool Value);
    /// Removes every section of that name with all its lines; nothing is written when none exists.
    void EraseSection(std::string_view Section);
    /// Removes the key's line; nothing is written when there is none.
    void DeleteKey(std::string_view Section, std::string_view Ident);
    /// Nothing to do: every write is already on the disk.
    void UpdateFile() {}

private:
    std::string FFileName;
};

/// The settings file of the running program: the executable's path with its extension replaced
/// by ".INI" (the executable ".../Heliant" gives ".../Heliant.INI").
std::string IniFileBesideExecutable();
