#include "toolkit/DateUtils.h"

#include "toolkit/Base_p.h"
#include "toolkit/SysUtils.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <mutex>

namespace ovrel::toolkit {

namespace {

// Day 0 of TDateTime, counted from 1970-01-01 as the civil-day routines below count.
inline constexpr long long EpochShift = 25569;
inline constexpr long long MSecsPerDayInt = 86400000;
// 0001-01-01 and 9999-12-31 as day numbers.
inline constexpr long long MinDay = -693593;
inline constexpr long long MaxDay = 2958465;

long long DaysFromCivil(long long y, long long m, long long d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// The calendar day and the milliseconds into it. Before the epoch the fraction still counts forward from
// midnight, so -1.25 is day -1 at 06:00. False for values outside years 1..9999 (and NaN).
bool SplitDateTime(TDateTime value, long long& dayNumber, long long& msOfDay)
{
    if (!(value > static_cast<double>(MinDay - 1) && value < static_cast<double>(MaxDay + 1)))
        return false;
    double whole = std::trunc(value);
    msOfDay = std::llround(std::fabs(value - whole) * MSecsPerDayInt);
    dayNumber = static_cast<long long>(whole);
    if (msOfDay >= MSecsPerDayInt) {  // rounded up to the next midnight
        msOfDay -= MSecsPerDayInt;
        ++dayNumber;
    }
    return dayNumber >= MinDay && dayNumber <= MaxDay;
}

std::mutex ClockMutex;
TNowFunction NowFunction;
TTickCountFunction TickCountFunction;

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    value = static_cast<double>(DaysFromCivil(year, month, day) + EpochShift);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return false;
    value = ((hour * 3600000.0) + (minute * 60000.0) + (second * 1000.0) + millisecond) / MSecsPerDay;
    return true;
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond,
                       TDateTime& value)
{
    TDateTime date = 0;
    TDateTime time = 0;
    if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second, millisecond, time))
        return false;
    value = date >= 0 ? date + time : date - time;
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime value = 0;
    if (!TryEncodeDate(year, month, day, value))
        throw EConvertError("Invalid argument to date encode");
    return value;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond)
{
    TDateTime value = 0;
    if (!TryEncodeTime(hour, minute, second, millisecond, value))
        throw EConvertError("Invalid argument to time encode");
    return value;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    const TDateTime date = EncodeDate(year, month, day);
    const TDateTime time = EncodeTime(hour, minute, second, millisecond);
    return date >= 0 ? date + time : date - time;
}

void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& millisecond)
{
    long long dayNumber = 0;
    long long ms = 0;
    if (!SplitDateTime(value, dayNumber, ms)) {
        year = month = day = hour = minute = second = millisecond = 0;
        return;
    }
    CivilFromDays(dayNumber - EpochShift, year, month, day);
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    millisecond = static_cast<int>(ms % 1000);
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    int hour, minute, second, millisecond;
    DecodeDateTime(value, year, month, day, hour, minute, second, millisecond);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond)
{
    int year, month, day;
    DecodeDateTime(value, year, month, day, hour, minute, second, millisecond);
}

int DayOfWeek(TDateTime value)
{
    long long dayNumber = 0;
    long long ms = 0;
    if (!SplitDateTime(value, dayNumber, ms))
        return 0;
    return static_cast<int>(((dayNumber % 7) + 13) % 7) + 1;  // day 0 was a Saturday
}

TDateTime DateOf(TDateTime value) { return std::trunc(value); }

TDateTime TimeOf(TDateTime value) { return std::fabs(value - std::trunc(value)); }

// ---------------------------------------------------------------------------------------------------------
// Clocks

namespace detail {

TDateTime LocalDateTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return 0;
    TDateTime value = 0;
    if (!TryEncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                           std::min(local.tm_sec, 59), static_cast<int>(nanoseconds / 1000000), value))
        return 0;
    return value;
}

}  // namespace detail

TDateTime Now()
{
    {
        std::lock_guard lock(ClockMutex);
        if (NowFunction)
            return NowFunction();
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return detail::LocalDateTimeFromUnix(now.tv_sec, now.tv_nsec);
}

TDateTime Date() { return DateOf(Now()); }

TDateTime Time() { return TimeOf(Now()); }

void SetNowFunction(TNowFunction function)
{
    std::lock_guard lock(ClockMutex);
    NowFunction = std::move(function);
}

std::uint32_t GetTickCount()
{
    {
        std::lock_guard lock(ClockMutex);
        if (TickCountFunction)
            return TickCountFunction();
    }
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SetTickCountFunction(TTickCountFunction function)
{
    std::lock_guard lock(ClockMutex);
    TickCountFunction = std::move(function);
}

// ---------------------------------------------------------------------------------------------------------
// FormatDateTime

namespace {

inline constexpr int MaxNesting = 3;  // "c" and "ddddd" expand settings that could name themselves

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix)
{
    if (text.size() - at < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[at + i]) != prefix[i])
            return false;
    }
    return true;
}

std::string TwoDigits(int value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

std::string Digits(int value, std::size_t width)
{
    std::string text = std::to_string(value);
    if (text.size() < width)
        text.insert(0, width - text.size(), '0');
    return text;
}

struct TDateParts {
    int Year, Month, Day, Hour, Minute, Second, MSec, WeekDay;
    bool Midnight;
};

// Whether an am/pm marker follows in the format, which makes hours 12-hour.
bool HasAmPmFrom(std::string_view format, std::size_t at)
{
    for (std::size_t i = at; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const std::size_t close = format.find(c, i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close;
        } else if (StartsWithNoCase(format, i, "am/pm") || StartsWithNoCase(format, i, "a/p") ||
                   StartsWithNoCase(format, i, "ampm")) {
            return true;
        }
    }
    return false;
}

void AppendFormatted(std::string& out, std::string_view format, const TDateParts& p, const TFormatSettings& s,
                     int depth)
{
    if (depth > MaxNesting)
        return;
    char lastLetter = 0;
    std::size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        const char token = Lower(c);
        std::size_t run = 1;
        while (i + run < format.size() && Lower(format[i + run]) == token)
            ++run;
        const bool isLetter = token >= 'a' && token <= 'z';
        char thisLetter = token;
        switch (token) {
        case '"':
        case '\'': {
            const std::size_t close = format.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? format.size() : close;
            out.append(format.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? format.size() : close + 1;
            continue;
        }
        case 'c':
            AppendFormatted(out, s.ShortDateFormat, p, s, depth + 1);
            if (!p.Midnight) {
                out += ' ';
                AppendFormatted(out, s.LongTimeFormat, p, s, depth + 1);
            }
            run = 1;
            break;
        case 'd':
            if (run == 1)
                out += std::to_string(p.Day);
            else if (run == 2)
                out += TwoDigits(p.Day);
            else if (run == 3)
                out += s.ShortDayNames[static_cast<std::size_t>(p.WeekDay - 1)];
            else if (run == 4)
                out += s.LongDayNames[static_cast<std::size_t>(p.WeekDay - 1)];
            else if (run == 5)
                AppendFormatted(out, s.ShortDateFormat, p, s, depth + 1);
            else
                AppendFormatted(out, s.LongDateFormat, p, s, depth + 1);
            break;
        case 'm':
            if (lastLetter == 'h' && run <= 2) {
                out += run == 1 ? std::to_string(p.Minute) : TwoDigits(p.Minute);
                thisLetter = 'n';
            } else if (run == 1) {
                out += std::to_string(p.Month);
            } else if (run == 2) {
                out += TwoDigits(p.Month);
            } else if (run == 3) {
                out += s.ShortMonthNames[static_cast<std::size_t>(p.Month - 1)];
            } else {
                out += s.LongMonthNames[static_cast<std::size_t>(p.Month - 1)];
            }
            break;
        case 'y': out += run <= 2 ? TwoDigits(p.Year % 100) : Digits(p.Year, 4); break;
        case 'h': {
            int hour = p.Hour;
            if (HasAmPmFrom(format, i)) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            out += run == 1 ? std::to_string(hour) : TwoDigits(hour);
            break;
        }
        case 'n': out += run == 1 ? std::to_string(p.Minute) : TwoDigits(p.Minute); break;
        case 's': out += run == 1 ? std::to_string(p.Second) : TwoDigits(p.Second); break;
        case 'z': out += run < 3 ? std::to_string(p.MSec) : Digits(p.MSec, 3); break;
        case 't':
            if (run > 2)
                run = 2;
            AppendFormatted(out, run == 1 ? s.ShortTimeFormat : s.LongTimeFormat, p, s, depth + 1);
            break;
        case 'a': {
            const bool pm = p.Hour >= 12;
            run = 1;
            if (StartsWithNoCase(format, i, "am/pm")) {
                const bool upper = c == 'A';
                out += pm ? (upper ? "PM" : "pm") : (upper ? "AM" : "am");
                run = 5;
            } else if (StartsWithNoCase(format, i, "a/p")) {
                const bool upper = c == 'A';
                out += pm ? (upper ? "P" : "p") : (upper ? "A" : "a");
                run = 3;
            } else if (StartsWithNoCase(format, i, "ampm")) {
                out += pm ? s.TimePMString : s.TimeAMString;
                run = 4;
            } else {
                out += c;
            }
            break;
        }
        case '/': out.append(run, s.DateSeparator); break;
        case ':': out.append(run, s.TimeSeparator); break;
        default: out.append(format.substr(i, run)); break;
        }
        if (isLetter)
            lastLetter = thisLetter;
        i += run;
    }
}

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& settings)
{
    TDateParts parts{};
    long long dayNumber = 0;
    long long ms = 0;
    if (!SplitDateTime(value, dayNumber, ms))
        return {};
    DecodeDateTime(value, parts.Year, parts.Month, parts.Day, parts.Hour, parts.Minute, parts.Second, parts.MSec);
    parts.WeekDay = DayOfWeek(value);
    parts.Midnight = ms == 0;
    std::string out;
    AppendFormatted(out, format, parts, settings, 0);
    return out;
}

std::string FormatDateTime(std::string_view format, TDateTime value)
{
    return FormatDateTime(format, value, FormatSettings());
}

std::string DateToStr(TDateTime value) { return FormatDateTime("ddddd", value); }

std::string TimeToStr(TDateTime value) { return FormatDateTime("tt", value); }

std::string DateTimeToStr(TDateTime value) { return FormatDateTime("c", value); }

// ---------------------------------------------------------------------------------------------------------
// Reading dates and times

namespace {

class TScanner {
public:
    explicit TScanner(std::string_view text) : FText(text) {}

    void SkipBlanks()
    {
        while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\t'))
            ++FPos;
    }
    bool Number(int& value, int& digits)
    {
        SkipBlanks();
        value = 0;
        digits = 0;
        while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9' && digits < 9) {
            value = value * 10 + (FText[FPos++] - '0');
            ++digits;
        }
        return digits > 0;
    }
    bool Char(char c)
    {
        SkipBlanks();
        if (FPos < FText.size() && FText[FPos] == c) {
            ++FPos;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word)
    {
        SkipBlanks();
        if (word.empty() || !StartsWithNoCase(FText, FPos, LowerCase(word)))
            return false;
        FPos += word.size();
        return true;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return FPos == FText.size();
    }
    std::size_t GetPos() const { return FPos; }
    void SetPos(std::size_t pos) { FPos = pos; }

private:
    std::string_view FText;
    std::size_t FPos = 0;
};

// 'D', 'M' and 'Y' in the order the short date format names them.
std::string DateOrder(std::string_view format)
{
    std::string order;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = Lower(format[i]);
        if (c == '"' || c == '\'') {
            const std::size_t close = format.find(format[i], i + 1);
            if (close == std::string_view::npos)
                break;
            i = close;
        } else if ((c == 'd' || c == 'm' || c == 'y') && order.find(static_cast<char>(c - 32)) == std::string::npos) {
            order += static_cast<char>(c - 32);
        }
    }
    return order.size() == 3 ? order : "MDY";
}

bool ScanDate(TScanner& scan, const TFormatSettings& s, TDateTime& value)
{
    int n[3] = {};
    int digits[3] = {};
    int count = 0;
    if (!scan.Number(n[0], digits[0]))
        return false;
    count = 1;
    while (count < 3) {
        const std::size_t before = scan.GetPos();
        if (!scan.Char(s.DateSeparator))
            break;
        if (!scan.Number(n[count], digits[count])) {
            scan.SetPos(before);
            break;
        }
        ++count;
    }
    if (count < 2)
        return false;
    const std::string order = DateOrder(s.ShortDateFormat);
    int year = 0, month = 0, day = 0, yearDigits = 4;
    if (count == 3) {
        for (int k = 0; k < 3; ++k) {
            if (order[static_cast<std::size_t>(k)] == 'Y') {
                year = n[k];
                yearDigits = digits[k];
            } else if (order[static_cast<std::size_t>(k)] == 'M') {
                month = n[k];
            } else {
                day = n[k];
            }
        }
    } else {
        int currentMonth = 0, currentDay = 0;
        DecodeDate(Date(), year, currentMonth, currentDay);
        // Two numbers are month and day in the order the format gives them.
        const bool monthFirst = order.find('M') < order.find('D');
        month = monthFirst ? n[0] : n[1];
        day = monthFirst ? n[1] : n[0];
    }
    if (yearDigits <= 2) {
        // Two-digit years fall in the 100 years starting 50 years before now.
        int currentYear = 0, currentMonth = 0, currentDay = 0;
        DecodeDate(Date(), currentYear, currentMonth, currentDay);
        const int century = currentYear - 50;
        year += century / 100 * 100;
        if (year < century)
            year += 100;
    }
    return TryEncodeDate(year, month, day, value);
}

bool ScanTime(TScanner& scan, const TFormatSettings& s, TDateTime& value)
{
    int hour = 0, minute = 0, second = 0, msec = 0, digits = 0;
    if (!scan.Number(hour, digits))
        return false;
    if (!scan.Char(s.TimeSeparator) || !scan.Number(minute, digits))
        return false;
    if (scan.Char(s.TimeSeparator)) {
        if (!scan.Number(second, digits))
            return false;
        if (scan.Char(s.DecimalSeparator)) {
            if (!scan.Number(msec, digits) || digits > 3)
                return false;
            for (; digits < 3; ++digits)
                msec *= 10;
        }
    }
    int half = -1;  // 0 am, 1 pm
    if (scan.Word(s.TimeAMString) || scan.Word("AM"))
        half = 0;
    else if (scan.Word(s.TimePMString) || scan.Word("PM"))
        half = 1;
    if (half >= 0) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + half * 12;
    }
    return TryEncodeTime(hour, minute, second, msec, value);
}

}  // namespace

bool TryStrToDate(std::string_view text, TDateTime& value, const TFormatSettings& settings)
{
    TScanner scan(text);
    TDateTime date = 0;
    if (!ScanDate(scan, settings, date) || !scan.AtEnd())
        return false;
    value = date;
    return true;
}

bool TryStrToDate(std::string_view text, TDateTime& value) { return TryStrToDate(text, value, FormatSettings()); }

TDateTime StrToDate(std::string_view text, const TFormatSettings& settings)
{
    return detail::ConvertOrRaise<TDateTime>(text, "date",
                                             [&](TDateTime& value) { return TryStrToDate(text, value, settings); });
}

TDateTime StrToDate(std::string_view text) { return StrToDate(text, FormatSettings()); }

bool TryStrToTime(std::string_view text, TDateTime& value)
{
    TScanner scan(text);
    TDateTime time = 0;
    if (!ScanTime(scan, FormatSettings(), time) || !scan.AtEnd())
        return false;
    value = time;
    return true;
}

TDateTime StrToTime(std::string_view text)
{
    return detail::ConvertOrRaise<TDateTime>(text, "time", [&](TDateTime& value) { return TryStrToTime(text, value); });
}

bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& settings)
{
    TScanner scan(text);
    TDateTime date = 0;
    TDateTime time = 0;
    if (ScanDate(scan, settings, date)) {
        if (!scan.AtEnd() && (!ScanTime(scan, settings, time) || !scan.AtEnd()))
            return false;
        value = date >= 0 ? date + time : date - time;
        return true;
    }
    scan.SetPos(0);
    if (!ScanTime(scan, settings, time) || !scan.AtEnd())
        return false;
    value = time;
    return true;
}

bool TryStrToDateTime(std::string_view text, TDateTime& value)
{
    return TryStrToDateTime(text, value, FormatSettings());
}

TDateTime StrToDateTime(std::string_view text, const TFormatSettings& settings)
{
    return detail::ConvertOrRaise<TDateTime>(text, "date and time",
                                             [&](TDateTime& value) { return TryStrToDateTime(text, value, settings); });
}

TDateTime StrToDateTime(std::string_view text) { return StrToDateTime(text, FormatSettings()); }

}  // namespace ovrel::toolkit
