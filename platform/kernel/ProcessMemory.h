//===- ProcessMemory.h - Reading memory that may not be there --*- C++ -*-===//
#pragma once

#include <cstddef>

/// Copies Size bytes from Address in this process into Buffer; false, with Buffer untouched or
/// partly filled, when the range is not readable. Never faults (ReadProcessMemory on itself).
bool ReadProcessMemory(const void* Address, void* Buffer, size_t Size);
