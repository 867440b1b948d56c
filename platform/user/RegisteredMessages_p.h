//===- RegisteredMessages_p.h - The session's table of registered messages -*- C++ -*-===//
#pragma once

#include "platform/rtl/UniqueFd.h"

#include <cstddef>
#include <cstdint>

namespace user_private {

/// The table is the session file "messages" (see SessionFiles): records of one length byte (1..255) followed by the
/// name's bytes as first registered. The record at index i stands for message FirstRegisteredMessage
/// + i. Readers and writers hold an exclusive flock on the file; a record cut short by a writer
/// that died is dropped by the next one.
/// The last process of the session that registered a name removes the table.
inline constexpr const char* RegisteredMessageTable = "messages";
inline constexpr uint32_t FirstRegisteredMessage = 0xC000;
inline constexpr size_t MaxRegisteredMessages = 0x4000;
inline constexpr size_t MaxRegisteredNameLength = 255;

/// A descriptor of its own on the session's table, which this process holds from now on. Empty
/// when the table cannot be used.
UniqueFd openRegisteredMessageTable();

} // namespace user_private
