//===- DateUtils_p.h - Date-time numbers split into day and milliseconds -*- C++ -*-===//
#pragma once

#include "platform/rtl/DateUtils.h"

namespace rtl_private {

/// A date-time number as its day number and the milliseconds of that day (0..86399999).
struct DayAndTime {
    int64_t day = 0;
    int64_t msec = 0;
};

/// Rounds to whole milliseconds, carrying 24:00 into the next day. Raises EConvertError for
/// NaN, infinities and values outside the years 1 to 9999.
DayAndTime splitDateTime(TDateTime DateTime);
/// A day number with a time of day (a fraction 0 <= Time < 1) as one date-time number.
TDateTime composeDateTime(TDateTime Date, TDateTime Time);

} // namespace rtl_private
