//===- MessagePump.h - Running the program's message loop in a test -*- C++ -*-===//
#pragma once

#include <functional>

namespace testsupport {

/// Runs the application's message loop until Done holds; false after GuardMs. A guard against a
/// program that never gets there, not a measurement.
bool PumpUntil(const std::function<bool()>& Done, int GuardMs = 90000);

} // namespace testsupport
