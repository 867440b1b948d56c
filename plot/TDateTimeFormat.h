//===- TDateTimeFormat.h - Time tick types and their label formats -*- C++ -*-===//
#pragma once

#include "platform/ui/components/TComponent.h"
#include "platform/ui/components/TypeInfo.h"

#include <cstdint>
#include <string>

/// The time tick types. Stored graphs may carry other numbers, which are kept and mean no type.
enum class Dateticks : int32_t {
    dt_second,
    dt_30second,
    dt_minute,
    dt_5minute,
    dt_halfhourly,
    dt_hourly,
    dt_daily,
    dt_weekly,
    dt_monthly,
    dt_2monthly,
    dt_quarterly,
    dt_annually,
    dt_decade,
    dt_century,
    dt_custom,
};
using enum Dateticks;
inline constexpr EnumIdent DateticksIdents[] = {
    { "dt_second", dt_second },     { "dt_30second", dt_30second },     { "dt_minute", dt_minute },
    { "dt_5minute", dt_5minute },   { "dt_halfhourly", dt_halfhourly }, { "dt_hourly", dt_hourly },
    { "dt_daily", dt_daily },       { "dt_weekly", dt_weekly },         { "dt_monthly", dt_monthly },
    { "dt_2monthly", dt_2monthly }, { "dt_quarterly", dt_quarterly },   { "dt_annually", dt_annually },
    { "dt_decade", dt_decade },     { "dt_century", dt_century },       { "dt_custom", dt_custom },
};
inline constexpr TEnumType<Dateticks> DateticksType { "Dateticks", DateticksIdents };

/// One label format per tick type (format strings of FormatDateTime, n standing for minutes).
class TDateTimeFormat : public TPersistent {
public:
    std::string F_second = "h:nn:ss";
    std::string F_30second = "h:nn:ss";
    std::string F_minute = "hh:nn";
    std::string F_5minute = "hh:nn";
    std::string F_halfhourly = "hh:nn";
    std::string F_hourly = "h\"h\"";
    std::string F_daily = "dd.mmm";
    std::string F_weekly = "dd.mmm";
    std::string F_monthly = "mmm/yy";
    std::string F_2monthly = "mmm/yy";
    std::string F_quarterly = "mmm/yy";
    std::string F_annually = "yyyy";
    std::string F_decade = "yyyy";
    std::string F_century = "yyyy";
    std::string F_custom = "hh:nn:ss";

    /// The format of a tick type; null for a number that is no type.
    const std::string* ForTickType(Dateticks TickType) const;
};
