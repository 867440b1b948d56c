//===- SessionNames.h - Names of the objects one session shares -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"

#include <string>
#include <string_view>

/// Named objects (mappings, mutexes, windows, registered messages) are scoped like a logon
/// session of the original platform: per user, and per VARNEX_SESSION when that variable is
/// set, so that tests running side by side never meet each other's objects.
///
/// Answers "varnex[-<session>]-<kind>-<name>" with '/' and NUL made safe: the name of the
/// object's file (or socket) in SessionObjectFolder().
std::string SessionObjectName(std::string_view Kind, std::string_view Name);

/// The folder of this user's named objects: "$XDG_RUNTIME_DIR/varnex" when that variable is set,
/// "/dev/shm/varnex-<uid>" otherwise. Only its user may reach it, so other users can neither
/// plant objects in it nor reach the ones there.
std::string SessionObjectFolder();

/// Opens SessionObjectFolder(), making it (mode 0700) when missing. The open directory itself
/// is checked: a symbolic link, another user's directory or one that others may enter is
/// refused (empty, errno EACCES, SessionObjectRefusal() names it) and left as it is. Empty as
/// well (errno from the system) when it cannot be made or opened.
UniqueFd OpenSessionObjectFolder();

/// Opens the object file Name in the open Folder with Flags (O_CREAT makes it with mode 0600),
/// never through a symbolic link. An object that is not a plain file of this user with no
/// permissions for others is refused like a bad folder: it is not used, changed or removed.
UniqueFd OpenSessionObjectFile(int Folder, const std::string& Name, int Flags);

/// Why this process's latest refused object was refused, naming it; empty while none was.
std::string SessionObjectRefusal();
