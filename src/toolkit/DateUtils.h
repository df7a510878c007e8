#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ovrel::toolkit {

struct TFormatSettings;

/// Days since 1899-12-30; the fraction is the time of day. Before the epoch the fraction still counts
/// forward from midnight: -1.25 is 1899-12-29 06:00.
using TDateTime = double;

inline constexpr double HoursPerDay = 24;
inline constexpr double MinsPerDay = 24 * 60;
inline constexpr double SecsPerDay = 24 * 60 * 60;
inline constexpr double MSecsPerDay = 24 * 60 * 60 * 1000.0;

bool IsLeapYear(int year);
/// 0 when the month is out of 1..12.
int DaysInMonth(int year, int month);

/// Years 1..9999; raise EConvertError when a part is out of range.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond);
[[nodiscard]] bool TryEncodeDate(int year, int month, int day, TDateTime& value);
[[nodiscard]] bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value);
[[nodiscard]] bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond,
                                     TDateTime& value);

void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);
void DecodeDateTime(TDateTime value, int& year, int& month, int& day, int& hour, int& minute, int& second,
                    int& millisecond);
/// Sunday = 1 .. Saturday = 7.
int DayOfWeek(TDateTime value);
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

/// The current local date and time, through the replaceable clock.
TDateTime Now();
TDateTime Date();
TDateTime Time();
using TNowFunction = std::function<TDateTime()>;
/// Replaces the clock behind Now, Date and Time; an empty function restores the system clock.
void SetNowFunction(TNowFunction function);

/// Milliseconds from a monotonic clock; wraps as a 32-bit counter.
std::uint32_t GetTickCount();
using TTickCountFunction = std::function<std::uint32_t()>;
/// Replaces the tick counter; an empty function restores the monotonic clock.
void SetTickCountFunction(TTickCountFunction function);

/// Patterns: c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz t tt am/pm ampm a/p / :
/// and text quoted with ' or ". Letters are case-insensitive. "m" right after an "h" means minutes.
std::string FormatDateTime(std::string_view format, TDateTime value);
std::string FormatDateTime(std::string_view format, TDateTime value, const TFormatSettings& settings);

std::string DateToStr(TDateTime value);
std::string TimeToStr(TDateTime value);
/// Short date, then the long time unless the time is exactly midnight.
std::string DateTimeToStr(TDateTime value);

/// Read in the order of ShortDateFormat with DateSeparator; raise EConvertError on a bad text.
TDateTime StrToDate(std::string_view text);
TDateTime StrToDate(std::string_view text, const TFormatSettings& settings);
[[nodiscard]] bool TryStrToDate(std::string_view text, TDateTime& value);
[[nodiscard]] bool TryStrToDate(std::string_view text, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToTime(std::string_view text);
[[nodiscard]] bool TryStrToTime(std::string_view text, TDateTime& value);
/// A date, optionally followed by a time (h:n[:s] with an optional AM/PM).
TDateTime StrToDateTime(std::string_view text);
TDateTime StrToDateTime(std::string_view text, const TFormatSettings& settings);
[[nodiscard]] bool TryStrToDateTime(std::string_view text, TDateTime& value);
[[nodiscard]] bool TryStrToDateTime(std::string_view text, TDateTime& value, const TFormatSettings& settings);

}  // namespace ovrel::toolkit
