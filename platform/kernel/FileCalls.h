//===- FileCalls.h - Deleting files by name ----------------------*- C++ -*-===//
#pragma once

/// Removes the file (an ANSI name). False when it does not exist, is a folder or cannot be
/// removed; a missing name (null or empty) is refused too.
bool DeleteFile(const char* FileName);
