//===- Simulator.h - Finding and closing the laser simulator a test started -*- C++ -*-===//
#pragma once

#include "platform/user/Messages.h"

namespace testsupport {

/// The simulator's window, from the mark it leaves in the status it publishes; 0 without one.
HWND SimulatorWindow();
/// Asks a simulator that is there to close and waits for its window to go; false when it stays.
bool CloseSimulator();

} // namespace testsupport
