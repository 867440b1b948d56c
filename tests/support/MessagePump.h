//===- MessagePump.h - Running the program's message loop in a test -*- C++ -*-===//
#pragma once

#include <gtest/gtest.h>
#include <functional>

namespace testsupport {

/// Runs the application's message loop until Done holds; a failure after GuardMs that says the
/// guard expired (the assertion's text names the condition). A guard against a program that
/// never gets there, not a measurement.
::testing::AssertionResult PumpUntil(const std::function<bool()>& Done, int GuardMs = 90000);

} // namespace testsupport
