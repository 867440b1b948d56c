//===- TDateTimeFormat.cpp - Time tick types and their label formats ===//
#include "plot/TDateTimeFormat.h"

#include "platform/ui/components/Published.h"

namespace {

// In tick type order.
constexpr std::string TDateTimeFormat::*Formats[] = {
    &TDateTimeFormat::F_second,   &TDateTimeFormat::F_30second,   &TDateTimeFormat::F_minute,
    &TDateTimeFormat::F_5minute,  &TDateTimeFormat::F_halfhourly, &TDateTimeFormat::F_hourly,
    &TDateTimeFormat::F_daily,    &TDateTimeFormat::F_weekly,     &TDateTimeFormat::F_monthly,
    &TDateTimeFormat::F_2monthly, &TDateTimeFormat::F_quarterly,  &TDateTimeFormat::F_annually,
    &TDateTimeFormat::F_decade,   &TDateTimeFormat::F_century,    &TDateTimeFormat::F_custom,
};

constexpr const char* FormatNames[] = {
    "F_second",  "F_30second", "F_minute",    "F_5minute",  "F_halfhourly", "F_hourly",  "F_daily",  "F_weekly",
    "F_monthly", "F_2monthly", "F_quarterly", "F_annually", "F_decade",     "F_century", "F_custom",
};

} // namespace

const PublishedClass& DateTimeFormatClass =
    PublishClass<TDateTimeFormat, TPersistent>("TDateTimeFormat", [](Published<TDateTimeFormat>& P) {
        for (size_t I = 0; I < std::size(Formats); ++I)
            P.String(FormatNames[I], Formats[I]);
    });

const std::string* TDateTimeFormat::ForTickType(Dateticks TickType) const
{
    const auto I = static_cast<int32_t>(TickType);
    if (I < 0 || I >= static_cast<int32_t>(std::size(Formats)))
        return nullptr;
    return &(this->*Formats[I]);
}
