//===- RtlTestSupport.h - Guards for the runtime library's process-wide settings -*- C++ -*-===//
#pragma once

#include "platform/rtl/DateTimeText.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

#include <optional>

/// Sets the decimal separator for one test and puts the old one back.
class DecimalSeparatorGuard {
public:
    explicit DecimalSeparatorGuard(char Separator) : old_(DecimalSeparator) { DecimalSeparator = Separator; }
    ~DecimalSeparatorGuard() { DecimalSeparator = old_; }

private:
    char old_;
};

/// Fixes the clock for one test and lets it run again afterwards.
class FixedNow {
public:
    explicit FixedNow(TDateTime At) { SetNowOverride(At); }
    ~FixedNow() { SetNowOverride(std::nullopt); }
};

/// Restores every date and time setting that a test may change.
class DateSettingsGuard {
public:
    DateSettingsGuard() = default;
    ~DateSettingsGuard()
    {
        DateSeparator = date_;
        TimeSeparator = time_;
        ShortDateFormat = shortDate_;
        LongTimeFormat = longTime_;
    }

private:
    char date_ = DateSeparator;
    char time_ = TimeSeparator;
    std::string shortDate_ = ShortDateFormat;
    std::string longTime_ = LongTimeFormat;
};
