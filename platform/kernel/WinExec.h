//===- WinExec.h - Starting another program --------------------*- C++ -*-===//
#pragma once

#include <cstdint>
#include <functional>
#include <string>

constexpr uint32_t SW_SHOWDEFAULT = 10;
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;

/// Starts a program without waiting for it and answers above 31 on success, or an error
/// code (ERROR_FILE_NOT_FOUND ...). "Name.exe" finds the executable "Name" beside the calling
/// executable, then on PATH; the words after the name (separated by blanks, grouped by double
/// quotes) are its arguments. CmdShow is accepted and has no effect. The child is detached
/// (it outlives the caller and leaves no zombie) and inherits none of the caller's descriptors;
/// standard input is /dev/null, and so are standard output and error where they were pipes.
uint32_t WinExec(const char* CmdLine, uint32_t CmdShow);

/// Tests replace the start of programs to see what would be started. Answers the old hook;
/// an empty hook restores the real start.
using WinExecHook = std::function<uint32_t(const std::string& CmdLine, uint32_t CmdShow)>;
WinExecHook SetWinExecHook(WinExecHook Hook);

/// The folder of the running executable, with a trailing '/' (ANSI, like every name here).
std::string ExecutableDirectory();
/// The full path of the running executable (ParamStr(0)).
std::string ExecutablePath();
