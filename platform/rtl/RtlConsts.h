//===- RtlConsts.h - Message texts of the runtime library ------*- C++ -*-===//
#pragma once

// One table of every text the runtime library raises. Callers match some of them (the stream
// readers of the plot component and the PDF writer pass them on to the operator), so the
// spelling and case are those of the class library and stay as they are.

// Conversions ('%s' is the text that failed).
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr const char* SInvalidDate = "'%s' is not a valid date";
inline constexpr const char* SInvalidTime = "'%s' is not a valid time";
inline constexpr const char* SInvalidDateTime = "'%s' is not a valid date and time";
inline constexpr const char* SDateEncodeError = "Invalid argument to date encode";
inline constexpr const char* STimeEncodeError = "Invalid argument to time encode";
inline constexpr const char* SInvalidDateTimeValue = "Invalid date-time value";
inline constexpr const char* SInvalidFormat = "Format '%s' invalid or incompatible with argument";
inline constexpr const char* SArgumentMissing = "No argument for format '%s'";
inline constexpr const char* SInvalidOp = "Invalid floating point operation";

// Streams ('%s' is the file name, then the system's reason).
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SFOpenErrorEx = "Cannot open file \"%s\". %s";
inline constexpr const char* SFCreateErrorEx = "Cannot create file \"%s\". %s";
inline constexpr const char* SSetSizeError = "Cannot change the size of \"%s\". %s";
inline constexpr const char* SMemoryStreamError = "Out of memory while expanding memory stream";

// String lists.
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
