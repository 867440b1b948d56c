//===- RegisteredMessages_p.h - The session's table of registered messages -*- C++ -*-===//
#pragma once

#include <cstddef>
#include <cstdint>

namespace user_private {

/// The table is the session file "messages": records of one length byte (1..255) followed by the
/// name's bytes as first registered. The record at index i stands for message FirstRegisteredMessage
/// + i. Readers and writers hold an exclusive flock on the file; a record cut short by a writer
/// that died is dropped by the next one.
inline constexpr const char* RegisteredMessageTable = "messages";
inline constexpr uint32_t FirstRegisteredMessage = 0xC000;
inline constexpr size_t MaxRegisteredMessages = 0x4000;
inline constexpr size_t MaxRegisteredNameLength = 255;

} // namespace user_private
