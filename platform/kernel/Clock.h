//===- Clock.h - Millisecond clock, local time and its UTC offset -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <functional>

/// Milliseconds of a monotonic clock; wraps after 49.7 days like the original (timeGetTime).
uint32_t timeGetTime();
/// Tests drive the millisecond clock: timeGetTime answers what Clock answers (called once per
/// reading, so it may advance) until an empty function restores the real clock.
void SetTimeGetTimeOverride(std::function<uint32_t()> Clock);

struct SYSTEMTIME {
    uint16_t wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

/// The local wall-clock time (GetLocalTime); wDayOfWeek counts from Sunday = 0.
SYSTEMTIME GetLocalTime();
/// Minutes to add to UTC to get local time now, daylight saving included (east positive).
int32_t LocalUtcOffsetMinutes();
