//===- DateTimeText.h - Dates and times as text: FormatDateTime, StrToDateTime -*- C++ -*-===//
#pragma once

#include "platform/rtl/DateUtils.h"

#include <array>
#include <string>
#include <string_view>

// --- Process-wide date and time settings (fixed, never taken from the C library's locale)

extern char DateSeparator;                          // '/' in a format; default '/'
extern char TimeSeparator;                          // ':' in a format; default ':'
extern std::string ShortDateFormat;                 // "ddddd"; default "dd/mm/yyyy"
extern std::string LongDateFormat;                  // "dddddd"; default "dddd, d mmmm yyyy"
extern std::string ShortTimeFormat;                 // "t"; default "hh:nn"
extern std::string LongTimeFormat;                  // "tt"; default "hh:nn:ss"
extern std::string TimeAMString;                    // "ampm"; default "AM"
extern std::string TimePMString;                    // default "PM"
extern std::array<std::string, 12> ShortMonthNames; // "Jan" ...
extern std::array<std::string, 12> LongMonthNames;  // "January" ...
extern std::array<std::string, 7> ShortDayNames;    // "Sun" ... (Sunday first)
extern std::array<std::string, 7> LongDayNames;     // "Sunday" ...

// --- Formatting

/// Letters may be written in either case:
///   c          ShortDateFormat, then " " and LongTimeFormat unless the time is exactly 00:00:00
///   d dd       day without / with a leading zero;  ddd dddd  short / long day name
///   ddddd      ShortDateFormat;  dddddd  LongDateFormat
///   m mm       month without / with a leading zero;  mmm mmmm  short / long month name;
///              directly after an h or hh (text in between allowed), m and mm are the minutes
///   yy yyyy    year in two / four digits
///   h hh       hour (12-hour clock when the format holds am/pm, a/p or ampm)
///   n nn       minute;  s ss  second;  z zzz  millisecond without / with leading zeros
///   t tt       ShortTimeFormat / LongTimeFormat
///   am/pm a/p  "am"/"pm" or "a"/"p" in the case written;  ampm  TimeAMString / TimePMString
///   /  :       DateSeparator / TimeSeparator
///   "text" 'text'  the text itself; any other character stands for itself
/// An empty format means "c". The value is rounded to milliseconds first (23:59:59.9999 shows as
/// 00:00:00 of the next day). FormatDateTime("ddd dd-mm-yyyy hh:nn:ss.zzz", EncodeDate(2024, 3, 5))
/// = "Tue 05-03-2024 00:00:00.000".
std::string FormatDateTime(std::string_view Format, TDateTime DateTime);

std::string DateToStr(TDateTime Date);         // ShortDateFormat
std::string TimeToStr(TDateTime Time);         // LongTimeFormat
std::string DateTimeToStr(TDateTime DateTime); // "c"

// --- Parsing

/// A date of two or three numbers separated by DateSeparator, in the order of ShortDateFormat
/// (day, month, year by default); without a year the current year; a year of one or two digits
/// lies within 50 years of now. Blanks around are allowed.
bool TryStrToDate(std::string_view S, TDateTime& Value);
/// h[:n[:s[.z]]] with TimeSeparator, optionally followed by "AM"/"PM" (or TimeAMString /
/// TimePMString), which makes the hour a 12-hour clock hour.
bool TryStrToTime(std::string_view S, TDateTime& Value);
/// A date, then blanks and a time; or either alone.
bool TryStrToDateTime(std::string_view S, TDateTime& Value);

/// The same, raising EConvertError "'x' is not a valid date" / "... time" / "... date and time".
TDateTime StrToDate(std::string_view S);
TDateTime StrToTime(std::string_view S);
TDateTime StrToDateTime(std::string_view S);
