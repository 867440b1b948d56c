//===- DateTimeText.cpp - Dates and times as text -------------------------===//
#include "platform/rtl/DateTimeText.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/DateUtils_p.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

#include <cmath>
#include <optional>
#include <vector>

char DateSeparator = '/';
char TimeSeparator = ':';
std::string ShortDateFormat = "dd/mm/yyyy";
std::string LongDateFormat = "dddd, d mmmm yyyy";
std::string ShortTimeFormat = "hh:nn";
std::string LongTimeFormat = "hh:nn:ss";
std::string TimeAMString = "AM";
std::string TimePMString = "PM";
std::array<std::string, 12> ShortMonthNames = { "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
std::array<std::string, 12> LongMonthNames = { "January", "February", "March",     "April",   "May",      "June",
                                               "July",    "August",   "September", "October", "November", "December" };
std::array<std::string, 7> ShortDayNames = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
std::array<std::string, 7> LongDayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"
};

namespace {

char upper(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 0x20) : C; }

bool startsWithText(std::string_view S, size_t I, std::string_view Word)
{
    return S.size() - I >= Word.size() && SameText(S.substr(I, Word.size()), Word);
}

size_t skipQuoted(std::string_view S, size_t I)
{
    const size_t Close = S.find(S[I], I + 1);
    return Close == std::string_view::npos ? S.size() : Close + 1;
}

bool holdsAmPm(std::string_view F)
{
    for (size_t I = 0; I < F.size();) {
        if (F[I] == '"' || F[I] == '\'') {
            I = skipQuoted(F, I);
            continue;
        }
        if (startsWithText(F, I, "am/pm") || startsWithText(F, I, "a/p") || startsWithText(F, I, "ampm"))
            return true;
        ++I;
    }
    return false;
}

std::string twoDigits(int V) { return (V < 10 ? "0" : "") + std::to_string(V); }

/// Writes one format, with the value decoded once.
class DateTimeWriter {
public:
    explicit DateTimeWriter(TDateTime DateTime)
    {
        DecodeDateTime(DateTime, Year, Month, Day, Hour, Minute, Second, MSec);
        WeekDay = DayOfWeek(DateTime);
    }

    std::string text(std::string_view F)
    {
        write(F.empty() ? "c" : F, 0);
        return Out;
    }

private:
    void write(std::string_view F, int Depth)
    {
        // ShortDateFormat may itself hold "ddddd"; the original stops such loops as well.
        if (Depth > 2)
            return;
        const bool Hour12 = holdsAmPm(F);
        char Last = 0; // the last token letter, for "h:mm" meaning minutes
        for (size_t I = 0; I < F.size();) {
            const char C = F[I];
            const char U = upper(C);
            if (C == '"' || C == '\'') {
                const size_t End = skipQuoted(F, I);
                const bool Closed = End - 1 > I && F[End - 1] == C;
                Out += F.substr(I + 1, End - I - 1 - (Closed ? 1 : 0));
                I = End;
                continue;
            }
            size_t Run = 1;
            while (I + Run < F.size() && upper(F[I + Run]) == U)
                ++Run;
            switch (U) {
            case 'C': writeC(Depth), Run = 1; break;
            case 'D': writeD(Run, Depth); break;
            case 'Y': Out += Run <= 2 ? twoDigits(Year % 100) : fourDigits(Year); break;
            case 'M':
                if (Last == 'H' && Run <= 2)
                    number(Minute, Run);
                else
                    writeMonth(Run);
                break;
            case 'H': number(Hour12 ? (Hour % 12 == 0 ? 12 : Hour % 12) : Hour, Run); break;
            case 'N': number(Minute, Run); break;
            case 'S': number(Second, Run); break;
            case 'Z': Out += Run == 1 ? std::to_string(MSec) : Format("%.3d", { int(MSec) }); break;
            case 'T': write(Run == 1 ? ShortTimeFormat : LongTimeFormat, Depth + 1); break;
            case 'A': Run = writeAmPm(F, I); break;
            case '/': Out.append(Run, DateSeparator); break;
            case ':': Out.append(Run, TimeSeparator); break;
            default: Out.append(F.substr(I, Run)); break;
            }
            if (std::string_view("CDYMHNSZT").find(U) != std::string_view::npos)
                Last = U;
            I += Run;
        }
    }

    static std::string fourDigits(int V) { return Format("%.4d", { V }); }

    void number(int V, size_t Run) { Out += Run == 1 ? std::to_string(V) : twoDigits(V); }

    void writeC(int Depth)
    {
        write(ShortDateFormat, Depth + 1);
        if (Hour != 0 || Minute != 0 || Second != 0 || MSec != 0) {
            Out += ' ';
            write(LongTimeFormat, Depth + 1);
        }
    }

    void writeD(size_t Run, int Depth)
    {
        switch (Run) {
        case 1:
        case 2: number(Day, Run); break;
        case 3: Out += ShortDayNames[WeekDay - 1]; break;
        case 4: Out += LongDayNames[WeekDay - 1]; break;
        case 5: write(ShortDateFormat, Depth + 1); break;
        default: write(LongDateFormat, Depth + 1); break;
        }
    }

    void writeMonth(size_t Run)
    {
        if (Run <= 2)
            number(Month, Run);
        else
            Out += Run == 3 ? ShortMonthNames[Month - 1] : LongMonthNames[Month - 1];
    }

    /// Answers the characters taken.
    size_t writeAmPm(std::string_view F, size_t I)
    {
        const bool Pm = Hour >= 12;
        if (startsWithText(F, I, "am/pm")) {
            Out += F.substr(Pm ? I + 3 : I, 2); // in the case written
            return 5;
        }
        if (startsWithText(F, I, "a/p")) {
            Out += F[Pm ? I + 2 : I];
            return 3;
        }
        if (startsWithText(F, I, "ampm")) {
            Out += Pm ? TimePMString : TimeAMString;
            return 4;
        }
        Out += F[I];
        return 1;
    }

    uint16_t Year, Month, Day, Hour, Minute, Second, MSec;
    int WeekDay;
    std::string Out;
};

// --- Parsing

/// A cursor over the text being parsed.
struct Scanner {
    std::string_view s;
    size_t pos = 0;

    bool atEnd() const { return pos >= s.size(); }
    void skipBlanks()
    {
        while (!atEnd() && (s[pos] == ' ' || s[pos] == '\t'))
            ++pos;
    }
    bool take(char C)
    {
        if (atEnd() || s[pos] != C)
            return false;
        ++pos;
        return true;
    }
    /// Up to MaxDigits decimal digits; Digits gets how many were read.
    std::optional<int> number(int MaxDigits, int* Digits = nullptr)
    {
        int N = 0, Count = 0;
        while (!atEnd() && Count < MaxDigits && s[pos] >= '0' && s[pos] <= '9')
            N = N * 10 + (s[pos++] - '0'), ++Count;
        if (Digits)
            *Digits = Count;
        return Count > 0 ? std::optional<int>(N) : std::nullopt;
    }
};

/// The order of day, month and year in ShortDateFormat, e.g. "DMY".
std::string dateOrder()
{
    std::string Order;
    const std::string_view F = ShortDateFormat;
    for (size_t I = 0; I < F.size();) {
        if (F[I] == '"' || F[I] == '\'') {
            I = skipQuoted(F, I);
            continue;
        }
        const char U = upper(F[I++]);
        if ((U == 'D' || U == 'M' || U == 'Y') && Order.find(U) == std::string::npos)
            Order += U;
    }
    return Order.size() == 3 ? Order : "DMY";
}

int currentYear()
{
    uint16_t Y, M, D;
    DecodeDate(Now(), Y, M, D);
    return Y;
}

int expandYear(int Year, int Digits)
{
    if (Digits > 2)
        return Year;
    const int Current = currentYear();
    int Full = Current / 100 * 100 + Year;
    if (Full > Current + 49)
        Full -= 100;
    else if (Full < Current - 50)
        Full += 100;
    return Full;
}

bool scanDate(Scanner& Sc, TDateTime& Value)
{
    int Numbers[3], Digits[3], Count = 0;
    for (; Count < 3; ++Count) {
        if (Count > 0 && !Sc.take(DateSeparator))
            break;
        const std::optional<int> N = Sc.number(4, &Digits[Count]);
        if (!N)
            return false;
        Numbers[Count] = *N;
    }
    if (Count < 2)
        return false;
    std::string Order = dateOrder();
    int Year = 0, YearDigits = 4;
    if (Count == 2) {
        Order.erase(Order.find('Y'), 1);
        Year = currentYear();
    }
    int Day = 0, Month = 0;
    for (int I = 0; I < Count; ++I) {
        if (Order[I] == 'D')
            Day = Numbers[I];
        else if (Order[I] == 'M')
            Month = Numbers[I];
        else
            Year = Numbers[I], YearDigits = Digits[I];
    }
    Year = expandYear(Year, YearDigits);
    return Year >= 1 && Year <= 9999 && Month >= 1 && Month <= 12 && Day >= 1
           && TryEncodeDate(static_cast<uint16_t>(Year), static_cast<uint16_t>(Month), static_cast<uint16_t>(Day),
                            Value);
}

/// Answers 0 for none, 1 for AM, 2 for PM.
int scanDesignator(Scanner& Sc)
{
    Sc.skipBlanks();
    const std::pair<std::string_view, int> Designators[] = {
        { TimeAMString, 1 }, { TimePMString, 2 }, { "AM", 1 }, { "PM", 2 }
    };
    for (const auto& [Word, Kind] : Designators) {
        if (!Word.empty() && startsWithText(Sc.s, Sc.pos, Word)) {
            Sc.pos += Word.size();
            return Kind;
        }
    }
    return 0;
}

bool scanTime(Scanner& Sc, TDateTime& Value)
{
    std::optional<int> Hour = Sc.number(2), Min = 0, Sec = 0, MSec = 0;
    if (!Hour)
        return false;
    const bool HasMinutes = Sc.take(TimeSeparator);
    if (HasMinutes) {
        if (!(Min = Sc.number(2)))
            return false;
        if (Sc.take(TimeSeparator)) {
            if (!(Sec = Sc.number(2)))
                return false;
            if (Sc.take(DecimalSeparator) || Sc.take('.')) {
                int Digits = 0;
                if (!(MSec = Sc.number(3, &Digits)))
                    return false;
                for (; Digits < 3; ++Digits)
                    *MSec *= 10; // ".5" is 500 ms
            }
        }
    }
    const int Designator = scanDesignator(Sc);
    if (!HasMinutes && Designator == 0)
        return false; // a lone number is no time
    int H = *Hour;
    if (Designator != 0) {
        if (H < 1 || H > 12)
            return false;
        H = (H % 12) + (Designator == 2 ? 12 : 0);
    }
    return H < 24
           && TryEncodeTime(static_cast<uint16_t>(H), static_cast<uint16_t>(*Min), static_cast<uint16_t>(*Sec),
                            static_cast<uint16_t>(*MSec), Value);
}

template <typename Step>
bool scanWhole(std::string_view S, Step Scan)
{
    Scanner Sc { S };
    Sc.skipBlanks();
    if (!Scan(Sc))
        return false;
    Sc.skipBlanks();
    return Sc.atEnd();
}

} // namespace

std::string FormatDateTime(std::string_view Format, TDateTime DateTime)
{
    return DateTimeWriter(DateTime).text(Format);
}

std::string DateToStr(TDateTime Date) { return FormatDateTime(ShortDateFormat, Date); }
std::string TimeToStr(TDateTime Time) { return FormatDateTime(LongTimeFormat, Time); }
std::string DateTimeToStr(TDateTime DateTime) { return FormatDateTime("c", DateTime); }

bool TryStrToDate(std::string_view S, TDateTime& Value)
{
    return scanWhole(S, [&](Scanner& Sc) { return scanDate(Sc, Value); });
}

bool TryStrToTime(std::string_view S, TDateTime& Value)
{
    return scanWhole(S, [&](Scanner& Sc) { return scanTime(Sc, Value); });
}

bool TryStrToDateTime(std::string_view S, TDateTime& Value)
{
    TDateTime Date = 0, Time = 0;
    const bool Ok = scanWhole(S, [&](Scanner& Sc) {
        const size_t Start = Sc.pos;
        if (scanDate(Sc, Date)) {
            const size_t AfterDate = Sc.pos;
            Sc.skipBlanks();
            if (Sc.atEnd())
                return true;
            if (Sc.pos > AfterDate && scanTime(Sc, Time))
                return true;
            return false;
        }
        Sc.pos = Start;
        Date = 0;
        return scanTime(Sc, Time);
    });
    if (Ok)
        Value = rtl_private::composeDateTime(Date, Time);
    return Ok;
}

TDateTime StrToDate(std::string_view S)
{
    TDateTime Value;
    if (!TryStrToDate(S, Value))
        throw EConvertError(Format(SInvalidDate, { S }));
    return Value;
}

TDateTime StrToTime(std::string_view S)
{
    TDateTime Value;
    if (!TryStrToTime(S, Value))
        throw EConvertError(Format(SInvalidTime, { S }));
    return Value;
}

TDateTime StrToDateTime(std::string_view S)
{
    TDateTime Value;
    if (!TryStrToDateTime(S, Value))
        throw EConvertError(Format(SInvalidDateTime, { S }));
    return Value;
}
