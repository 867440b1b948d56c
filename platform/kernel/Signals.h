//===- Signals.h - Being asked to terminate --------------------*- C++ -*-===//
#pragma once

#include <functional>

/// Calls Handler each time the process is asked to terminate (SIGTERM, SIGINT, SIGHUP) instead
/// of ending it. The handler runs on a thread of its own, so it should only pass the request on
/// to the program's thread, e.g. post WM_CLOSE to its window. A later call replaces the handler;
/// an empty handler restores the default (the request ends the process).
void SetTerminateHandler(std::function<void()> Handler);
