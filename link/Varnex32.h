//===- Varnex32.h - Exports of the link library --------------*- C++ -*-===//
//
// The programs and the laser server call these by name. The original exports used the
// stdcall convention of 32-bit Windows; on x86-64 Linux there is one C calling convention, so
// they are plain C symbols here. Results are the LINK_ codes of LinkRecords.h.
//
#pragma once

#include "link/LinkRecords.h"

#include <cstdint>

#define VARNEX32_API __attribute__((visibility("default")))

extern "C" {

// Client exports
VARNEX32_API int32_t registerapplication(uint32_t Window);
VARNEX32_API int32_t RegisterAdlApplication(uint32_t Window);
VARNEX32_API int32_t releasedll(uint32_t Window);
/// The number of LinkAppMessage in this process.
VARNEX32_API uint32_t getmessagenumber();
/// This process's copy of the status, refreshed from the block; null without a block. The
/// copy belongs to the library and stays valid while it is loaded.
VARNEX32_API LaserStatus* getstatuspointer();
VARNEX32_API int32_t putcommand(const LaserCommand* Command);

// Server exports
VARNEX32_API int32_t registerexcimer(uint32_t Key, uint32_t Window);
VARNEX32_API int32_t excommand(const ServerNotice* Notice, void* Data);

} // extern "C"
