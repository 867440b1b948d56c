//===- clock_test.cpp - Millisecond clock, local time and UTC offset ------===//
#include "platform/kernel/Clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

uint32_t monotonicMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000);
}

/// Sets TZ for one test and puts the old value back.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* Zone)
    {
        if (const char* old = std::getenv("TZ"))
            old_ = old, hadOld_ = true;
        setenv("TZ", Zone, 1);
        tzset();
    }
    ~ZoneGuard()
    {
        if (hadOld_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::string old_;
    bool hadOld_ = false;
};

TEST(ClockTest, TimeGetTimeFollowsTheMonotonicClockAndNeverGoesBack)
{
    uint32_t previous = timeGetTime();
    for (int i = 0; i < 100000; ++i) {
        uint32_t before = monotonicMs();
        uint32_t now = timeGetTime();
        uint32_t after = monotonicMs();
        ASSERT_LE(uint32_t(now - before), uint32_t(after - before)) << "outside its own clock";
        ASSERT_GE(int32_t(now - previous), 0) << "went back"; // differences survive the wrap
        previous = now;
    }
}

TEST(ClockTest, LocalTimeAgreesWithTheCLibrary)
{
    // Retried when a second boundary falls between the two readings.
    for (int attempt = 0; attempt < 10; ++attempt) {
        time_t before = time(nullptr);
        SYSTEMTIME local = GetLocalTime();
        time_t after = time(nullptr);
        if (before != after)
            continue;
        tm expected;
        localtime_r(&before, &expected);
        EXPECT_EQ(local.wYear, expected.tm_year + 1900);
        EXPECT_EQ(local.wMonth, expected.tm_mon + 1);
        EXPECT_EQ(local.wDay, expected.tm_mday);
        EXPECT_EQ(local.wDayOfWeek, expected.tm_wday) << "Sunday is 0";
        EXPECT_EQ(local.wHour, expected.tm_hour);
        EXPECT_EQ(local.wMinute, expected.tm_min);
        EXPECT_EQ(local.wSecond, expected.tm_sec);
        EXPECT_LT(local.wMilliseconds, 1000);
        return;
    }
    FAIL() << "no reading within one second";
}

TEST(ClockTest, LocalTimeFollowsTheZone)
{
    ZoneGuard utc("UTC0");
    SYSTEMTIME inUtc = GetLocalTime();
    ZoneGuard plusHalf("XXX-5:30");
    SYSTEMTIME inIndia = GetLocalTime();
    int minutesUtc = inUtc.wHour * 60 + inUtc.wMinute;
    int minutesIndia = inIndia.wHour * 60 + inIndia.wMinute;
    int difference = ((minutesIndia - minutesUtc) % 1440 + 1440) % 1440;
    // 330 minutes, or 331 when a minute passed between the two readings.
    EXPECT_GE(difference, 330);
    EXPECT_LE(difference, 331);
}

TEST(ClockTest, UtcOffsetAgreesWithTheCLibraryForNow)
{
    time_t now = time(nullptr);
    tm local;
    localtime_r(&now, &local);
    EXPECT_EQ(LocalUtcOffsetMinutes(), local.tm_gmtoff / 60);
}

TEST(ClockTest, UtcOffsetCountsEastPositiveAndIncludesDaylightSaving)
{
    struct Row {
        const char* zone;
        int32_t minutes;
    };
    const Row rows[] = {
        { "UTC0", 0 },
        { "XXX-5:30", 330 }, // POSIX zones count west positive; the answer counts east
        { "XXX+3", -180 },
        { "XXX-1YYY,0/0,J365/25", 120 }, // daylight saving all year round
        { "XXX5YYY,0/0,J365/25", -240 },
    };
    for (const Row& row : rows) {
        ZoneGuard zone(row.zone);
        EXPECT_EQ(LocalUtcOffsetMinutes(), row.minutes) << row.zone;
    }
}

} // namespace

TEST(ClockTest, AnOverrideDrivesTimeGetTimeUntilCleared)
{
    uint32_t fake = 0xFFFFFF00u;
    SetTimeGetTimeOverride([&] { return fake += 0x80; });
    EXPECT_EQ(timeGetTime(), 0xFFFFFF80u);
    EXPECT_EQ(timeGetTime(), 0u) << "wraps like the real clock";
    SetTimeGetTimeOverride({});
    uint32_t before = monotonicMs();
    EXPECT_LE(uint32_t(timeGetTime() - before), 1000u) << "the real clock is back";
}
