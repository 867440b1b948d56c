//===- Clock.cpp - Millisecond clock, local time and its UTC offset -----===//
#include "platform/kernel/Clock.h"

#include <atomic>
#include <ctime>
#include <mutex>

namespace {

std::mutex overrideLock;
std::function<uint32_t()> clockOverride;
// Checked without the lock: timeGetTime stamps every message taken from the queue.
std::atomic<bool> overridden { false };

} // namespace

void SetTimeGetTimeOverride(std::function<uint32_t()> Clock)
{
    std::lock_guard<std::mutex> guard(overrideLock);
    overridden = bool(Clock);
    clockOverride = std::move(Clock);
}

uint32_t timeGetTime()
{
    if (overridden) {
        std::function<uint32_t()> clock;
        {
            std::lock_guard<std::mutex> guard(overrideLock);
            clock = clockOverride;
        }
        if (clock)
            return clock();
    }
    timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    // Truncated to 32 bits on purpose: callers compare differences, which survive the wrap.
    return uint32_t(uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000);
}

SYSTEMTIME GetLocalTime()
{
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local;
    ::tzset(); // localtime_r alone would keep the zone it met first
    ::localtime_r(&now.tv_sec, &local);
    SYSTEMTIME time;
    time.wYear = uint16_t(local.tm_year + 1900);
    time.wMonth = uint16_t(local.tm_mon + 1);
    time.wDayOfWeek = uint16_t(local.tm_wday);
    time.wDay = uint16_t(local.tm_mday);
    time.wHour = uint16_t(local.tm_hour);
    time.wMinute = uint16_t(local.tm_min);
    // A leap second (tm_sec 60) is shown as the last second of its minute.
    time.wSecond = uint16_t(local.tm_sec < 60 ? local.tm_sec : 59);
    time.wMilliseconds = uint16_t(now.tv_nsec / 1000000);
    return time;
}

int32_t LocalUtcOffsetMinutes()
{
    time_t now = ::time(nullptr);
    tm local;
    ::tzset();
    ::localtime_r(&now, &local);
    return int32_t(local.tm_gmtoff / 60);
}
