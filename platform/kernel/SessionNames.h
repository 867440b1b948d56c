//===- SessionNames.h - Names of the objects one session shares -*- C++ -*-===//
#pragma once

#include <string>
#include <string_view>

/// Named objects (mappings, mutexes, windows, registered messages) are scoped like a logon
/// session of the original platform: per user, and per VARNEX_SESSION when that variable is
/// set, so that tests running side by side never meet each other's objects.
///
/// Answers "varnex-<uid>[-<session>]-<kind>-<name>" with '/' and NUL made safe; the result is
/// used as a file name under /dev/shm and as an abstract socket name.
std::string SessionObjectName(std::string_view Kind, std::string_view Name);
