//===- StartProgram_p.h - The detached start behind WinExec and ShellExecute -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Starts the program named by the first word (UTF-8; found as WinExec finds it) with the
/// other words as its arguments, detached. Answers as WinExec does.
uint32_t StartProgram(const std::vector<std::string>& Words);
