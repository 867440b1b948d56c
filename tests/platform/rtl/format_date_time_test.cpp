//===- format_date_time_test.cpp - FormatDateTime and the date-time parsers -===//
#include "tests/platform/rtl/RtlTestSupport.h"

#include "platform/rtl/DateTimeText.h"
#include "platform/rtl/Exception.h"

#include <gtest/gtest.h>

namespace {

// Tuesday, 5 March 2024, 07:08:09.045
const TDateTime morning = EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 45);
const TDateTime evening = EncodeDate(2024, 3, 5) + EncodeTime(19, 30, 0, 0);

TEST(FormatDateTime, Tokens)
{
    DateSettingsGuard Settings;
    const std::pair<const char*, const char*> Rows[] = {
        { "yyyy-mm-dd hh:nn:ss.zzz", "2024-03-05 07:08:09.045" },
        { "d/m/yy", "5/3/24" },
        { "D/M/YYYY", "5/3/2024" },
        { "ddd dd-mm-yyyy hh:nn:ss.zzz", "Tue 05-03-2024 07:08:09.045" }, // the PDF file id
        { "yyyymmddhhnnss", "20240305070809" },                           // the PDF creation date
        // The graph's tick label formats.
        { "h:nn:ss", "7:08:09" },
        { "hh:nn", "07:08" },
        { "h\"h\"", "7h" },
        { "dd.mmm", "05.Mar" },
        { "mmm/yy", "Mar/24" },
        { "yyyy", "2024" },
        { "dd-mmm", "05-Mar" },
        { "hh:nn:ss", "07:08:09" },
        // Names, minutes after hours, single digits.
        { "dddd, mmmm d", "Tuesday, March 5" },
        { "h:mm", "7:08" },
        { "hh mm", "07 08" },
        { "mm", "03" },
        { "s z", "9 45" },
        { "n", "8" },
        // Composite tokens and literal text.
        { "c", "05/03/2024 07:08:09" },
        { "", "05/03/2024 07:08:09" },
        { "ddddd", "05/03/2024" },
        { "t", "07:08" },
        { "tt", "07:08:09" },
        { "'quoted yyyy'", "quoted yyyy" },
        { "\"at\" hh", "at 07" },
        { "[yyyy]", "[2024]" },
    };
    for (const auto& [Format, Expected] : Rows)
        EXPECT_EQ(FormatDateTime(Format, morning), Expected) << '"' << Format << '"';
}

TEST(FormatDateTime, TwelveHourClock)
{
    EXPECT_EQ(FormatDateTime("h am/pm", morning), "7 am");
    EXPECT_EQ(FormatDateTime("h AM/PM", evening), "7 PM");
    EXPECT_EQ(FormatDateTime("h:nn a/p", evening), "7:30 p");
    EXPECT_EQ(FormatDateTime("hh ampm", morning), "07 AM");
    EXPECT_EQ(FormatDateTime("h am/pm", EncodeDate(2024, 3, 5)), "12 am");
    EXPECT_EQ(FormatDateTime("h am/pm", EncodeDate(2024, 3, 5) + 0.5), "12 pm");
    EXPECT_EQ(FormatDateTime("hh", evening), "19") << "24-hour clock without am/pm";
}

TEST(FormatDateTime, MidnightShowsNoTimeInC)
{
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 5)), "05/03/2024");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "05/03/2024");
}

TEST(FormatDateTime, RoundsToMillisecondsAndNeverShowsHour24)
{
    const TDateTime AlmostMidnight = EncodeDate(2024, 3, 5) + 0.9999999999;
    EXPECT_EQ(FormatDateTime("dd hh:nn:ss.zzz", AlmostMidnight), "06 00:00:00.000");
    EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", EncodeDate(2024, 3, 5) + 0.99999999), "23:59:59.999");
}

TEST(FormatDateTime, SeparatorsComeFromTheSettings)
{
    DateSettingsGuard Settings;
    DateSeparator = '.';
    TimeSeparator = '-';
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", morning), "05.03.2024 07-08");
    EXPECT_EQ(FormatDateTime("\"a/b\"", morning), "a/b") << "quoted separators stay";
}

TEST(FormatDateTime, SettingsThatReferToThemselvesStop)
{
    DateSettingsGuard Settings;
    ShortDateFormat = "ddddd";
    EXPECT_EQ(FormatDateTime("ddddd|", morning), "|");
}

TEST(DateToStr, ShortDateAndLongTime)
{
    EXPECT_EQ(DateToStr(morning), "05/03/2024");
    EXPECT_EQ(TimeToStr(morning), "07:08:09");
}

TEST(StrToDate, ReadsTheShortDateOrder)
{
    FixedNow Clock(morning);
    const std::pair<const char*, TDateTime> Rows[] = {
        { "05/03/2024", EncodeDate(2024, 3, 5) }, { " 5/3/2024 ", EncodeDate(2024, 3, 5) },
        { "5/3", EncodeDate(2024, 3, 5) },        { "5/3/24", EncodeDate(2024, 3, 5) },
        { "5/3/80", EncodeDate(1980, 3, 5) },     { "29/2/2024", EncodeDate(2024, 2, 29) },
        { "1/1/0001", EncodeDate(1, 1, 1) },
    };
    for (const auto& [Text, Expected] : Rows)
        EXPECT_EQ(StrToDate(Text), Expected) << Text;

    DateSettingsGuard Settings;
    ShortDateFormat = "yyyy-mm-dd";
    DateSeparator = '-';
    EXPECT_EQ(StrToDate("2024-03-05"), EncodeDate(2024, 3, 5));
}

TEST(StrToDate, RefusesWhatIsNoDate)
{
    for (const char* Text : { "", "abc", "31/2/2024", "5-3-2024", "5", "5/3/2024/1", "32/1/2024", "5/3/2024 7:00" })
        EXPECT_THROW(StrToDate(Text), EConvertError) << Text;
    try {
        StrToDate("abc");
        FAIL() << "no exception";
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "'abc' is not a valid date");
    }
}

TEST(StrToTime, HoursMinutesSecondsAndAmPm)
{
    const std::pair<const char*, TDateTime> Rows[] = {
        { "7:08", EncodeTime(7, 8, 0, 0) },          { "07:08:09", EncodeTime(7, 8, 9, 0) },
        { "07:08:09.045", EncodeTime(7, 8, 9, 45) }, { "07:08:09.5", EncodeTime(7, 8, 9, 500) },
        { "7:08 PM", EncodeTime(19, 8, 0, 0) },      { "12:00 am", 0 },
        { "12:30 PM", EncodeTime(12, 30, 0, 0) },    { "5 pm", EncodeTime(17, 0, 0, 0) },
    };
    for (const auto& [Text, Expected] : Rows)
        EXPECT_DOUBLE_EQ(StrToTime(Text), Expected) << Text;
    for (const char* Text : { "25:00", "7", "7:60", "13:00 PM", "0:30 AM", "7:08:", "x" })
        EXPECT_THROW(StrToTime(Text), EConvertError) << Text;
}

TEST(StrToDateTime, DateTimeOrEitherAlone)
{
    FixedNow Clock(morning);
    EXPECT_DOUBLE_EQ(StrToDateTime("05/03/2024 07:08:09"), EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("05/03/2024"), EncodeDate(2024, 3, 5));
    EXPECT_DOUBLE_EQ(StrToDateTime("07:08"), EncodeTime(7, 8, 0, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("29/12/1899 06:00"), -1.25);
    for (const char* Text : { "05/03/2024x", "05/03/202407:08", "", "05/03/2024 25:00" })
        EXPECT_THROW(StrToDateTime(Text), EConvertError) << Text;
}

TEST(StrToDateTime, ReadsWhatDateTimeToStrWrites)
{
    for (TDateTime D : { EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 0), EncodeDate(2024, 2, 29) + 0.5,
                         EncodeDate(1850, 6, 1) })
        EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(D)), D) << DateTimeToStr(D);
}

} // namespace
