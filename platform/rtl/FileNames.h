//===- FileNames.h - Parts of file names, and whether a file exists -*- C++ -*-===//
#pragma once

#include <string>
#include <string_view>

// File names are ANSI text like the rest of the system's text; '/' separates folders.

constexpr char PathDelim = '/';

/// The folder part with its trailing '/' ("/opt/varnex/Heliant" gives "/opt/varnex/").
std::string ExtractFilePath(std::string_view FileName);
/// The name after the last '/'.
std::string ExtractFileName(std::string_view FileName);
/// The extension with its dot (".INI"), empty when the name has none; a dot in a folder name
/// is no extension.
std::string ExtractFileExt(std::string_view FileName);
/// The name with its extension replaced, or Extension appended when it has none
/// (ChangeFileExt("/opt/Heliant", ".INI") = "/opt/Heliant.INI").
std::string ChangeFileExt(std::string_view FileName, std::string_view Extension);
/// The name with a '/' at its end (none added when one is there).
std::string IncludeTrailingPathDelimiter(std::string_view Path);
/// True for an existing file that is not a folder.
bool FileExists(const std::string& FileName);
