//===- DateUtils.h - Date-time numbers: days since 1899-12-30 -*- C++ -*-===//
#pragma once

#include <cstdint>
#include <optional>

/// A date and time as one number: whole days since 1899-12-30 00:00, the time of day as the
/// fraction (0.5 is noon). Before 1899-12-30 the fraction still counts forward from midnight:
/// -1.25 is 1899-12-29 06:00.
using TDateTime = double;

// --- Composing and decomposing (years 1 to 9999)

/// Raises EConvertError "Invalid argument to date encode" for a date that does not exist.
TDateTime EncodeDate(uint16_t Year, uint16_t Month, uint16_t Day);
/// Raises EConvertError "Invalid argument to time encode" unless Hour < 24, Min < 60, Sec < 60
/// and MSec < 1000.
TDateTime EncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec);
bool TryEncodeDate(uint16_t Year, uint16_t Month, uint16_t Day, TDateTime& Date);
bool TryEncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec, TDateTime& Time);

/// Decoding first rounds to whole milliseconds; a time that rounds up to 24:00 becomes 00:00
/// of the next day, so the hour is never 24. A value outside the years 1 to 9999, NaN or an
/// infinity raises EConvertError "Invalid date-time value".
void DecodeDate(TDateTime DateTime, uint16_t& Year, uint16_t& Month, uint16_t& Day);
void DecodeTime(TDateTime DateTime, uint16_t& Hour, uint16_t& Min, uint16_t& Sec, uint16_t& MSec);
/// Both at once, the same day as DecodeDate gives.
void DecodeDateTime(TDateTime DateTime, uint16_t& Year, uint16_t& Month, uint16_t& Day, uint16_t& Hour, uint16_t& Min,
                    uint16_t& Sec, uint16_t& MSec);

/// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime DateTime);

bool IsLeapYear(uint16_t Year);
/// 28 to 31; 0 for a month outside 1..12.
uint16_t DaysInAMonth(uint16_t Year, uint16_t Month);
/// The same day of the month NumberOfMonths later (earlier when negative), the time kept; a day
/// that the target month lacks becomes its last day (31 January + 1 month = 28/29 February).
TDateTime IncMonth(TDateTime DateTime, int NumberOfMonths = 1);

// --- The clock (local time)

/// The local date and time now, with millisecond resolution.
TDateTime Now();
/// Today at 00:00.
TDateTime Date();
/// The time of day now (Now without its whole days).
TDateTime Time();
/// Tests fix the clock: Now, Date and Time answer from this value until it is cleared with
/// std::nullopt.
void SetNowOverride(std::optional<TDateTime> Fixed);
