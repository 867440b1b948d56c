//===- ShellExecute.h - Opening a document with the desktop's program -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <functional>
#include <string>

constexpr uint32_t SW_SHOWNORMAL = 1;
constexpr uintptr_t SE_ERR_NOASSOC = 31;

/// Opens File (an ANSI name, or a URL) with the program the desktop associates with it
/// (xdg-open), without waiting. Only the "open" verb (or none) is known; another verb answers
/// SE_ERR_NOASSOC. Answers above 32 on success, ERROR_FILE_NOT_FOUND for a file that is not
/// there. Window, Parameters, Directory and ShowCmd are accepted and have no effect: the
/// opening program places its own window.
uintptr_t ShellExecute(uint32_t Window, const char* Operation, const char* File, const char* Parameters,
                       const char* Directory, int ShowCmd);

/// Tests replace the opening to see what would be opened. Answers the old hook; an empty hook
/// restores the real one.
using ShellExecuteHook = std::function<uintptr_t(const std::string& Operation, const std::string& File,
                                                 const std::string& Parameters, int ShowCmd)>;
ShellExecuteHook SetShellExecuteHook(ShellExecuteHook Hook);
