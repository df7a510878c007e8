#include "toolkit/DateUtils.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ovrel::toolkit;

TEST(DateTime, EpochAndKnownDays)
{
    struct Row {
        const char* name;
        int y, m, d;
        double value;
        int weekDay;
    };
    const Row rows[] = {
        {"Epoch", 1899, 12, 30, 0, 7},      {"DayBefore", 1899, 12, 29, -1, 6}, {"CenturyStart", 1900, 1, 1, 2, 2},
        {"Y2K", 2000, 1, 1, 36526, 7},      {"LeapDay", 2024, 2, 29, 45351, 5}, {"First", 1, 1, 1, -693593, 2},
        {"Last", 9999, 12, 31, 2958465, 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TDateTime value = EncodeDate(row.y, row.m, row.d);
        EXPECT_EQ(value, row.value);
        int y = 0, m = 0, d = 0;
        DecodeDate(value, y, m, d);
        EXPECT_EQ(y, row.y);
        EXPECT_EQ(m, row.m);
        EXPECT_EQ(d, row.d);
        EXPECT_EQ(DayOfWeek(value), row.weekDay);
    }
}

TEST(DateTime, EncodeDecodeRoundTripsEveryMillisecondField)
{
    const int samples[][7] = {
        {2024, 1, 5, 14, 3, 9, 0}, {1899, 12, 29, 6, 0, 0, 0},      {1850, 6, 15, 23, 59, 59, 999},
        {2000, 2, 29, 0, 0, 0, 1}, {9999, 12, 31, 23, 59, 59, 999},
    };
    for (const auto& s : samples) {
        SCOPED_TRACE(std::to_string(s[0]) + "-" + std::to_string(s[1]) + "-" + std::to_string(s[2]));
        const TDateTime value = EncodeDateTime(s[0], s[1], s[2], s[3], s[4], s[5], s[6]);
        int f[7];
        DecodeDateTime(value, f[0], f[1], f[2], f[3], f[4], f[5], f[6]);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(f[i], s[i]) << "field " << i;
    }
}

TEST(DateTime, NegativeValuesCountTheTimeForwardFromMidnight)
{
    const TDateTime value = EncodeDateTime(1899, 12, 29, 6, 0, 0, 0);
    EXPECT_DOUBLE_EQ(value, -1.25);
    int h = 0, n = 0, s = 0, ms = 0;
    DecodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(h, 6);
    EXPECT_DOUBLE_EQ(DateOf(-1.25), -1);
    EXPECT_DOUBLE_EQ(TimeOf(-1.25), 0.25);
}

TEST(DateTime, InvalidPartsRaiseOrFail)
{
    const int bad[][3] = {{2023, 2, 29}, {2024, 13, 1}, {2024, 0, 1}, {2024, 4, 31},
                          {0, 1, 1},     {10000, 1, 1}, {1900, 2, 29}};
    for (const auto& b : bad) {
        SCOPED_TRACE(std::to_string(b[0]) + "-" + std::to_string(b[1]) + "-" + std::to_string(b[2]));
        TDateTime value = 123;
        EXPECT_FALSE(TryEncodeDate(b[0], b[1], b[2], value));
        EXPECT_EQ(value, 123);
        EXPECT_THROW(EncodeDate(b[0], b[1], b[2]), EConvertError);
    }
    TDateTime value = 0;
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, value));
    EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, value));
    EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, value));
    EXPECT_FALSE(TryEncodeDateTime(2024, 1, 1, 0, 0, 60, 0, value));
    EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_TRUE(IsLeapYear(2000));
}

TEST(DateTime, DecodingRoundsToTheMillisecondAcrossMidnight)
{
    int y, m, d, h, n, s, ms;
    DecodeDateTime(1.0 - 1e-10, y, m, d, h, n, s, ms);  // a hair before midnight of day 1
    EXPECT_EQ(d, 31);
    EXPECT_EQ(h, 0);
    DecodeDateTime(std::nan(""), y, m, d, h, n, s, ms);
    EXPECT_EQ(y, 0);
}

TEST(FormatDateTime, Patterns)
{
    TFormatSettings s;  // US defaults: M/d/yyyy, h:nn:ss AMPM
    const TDateTime afternoon = EncodeDateTime(2024, 1, 5, 14, 3, 9, 45);
    const TDateTime morning = EncodeDateTime(2024, 11, 25, 0, 7, 0, 0);
    struct Row {
        const char* name;
        const char* format;
        TDateTime value;
        std::string text;
    };
    const Row rows[] = {
        {"Exif", "yyyy:mm:dd hh:nn:ss", afternoon, "2024:01:05 14:03:09"},
        {"ShortNumbers", "d/m/yy", afternoon, "5/1/24"},
        {"Names", "ddd dddd mmm mmmm", afternoon, "Fri Friday Jan January"},
        {"MinutesAfterHours", "hh:mm", afternoon, "14:03"},
        {"MonthNotAfterHours", "mm", afternoon, "01"},
        {"Milliseconds", "z zzz", afternoon, "45 045"},
        {"TwelveHourAmPm", "h:nn am/pm", afternoon, "2:03 pm"},
        {"TwelveHourUpper", "h:nn AM/PM", morning, "12:07 AM"},
        {"AP", "h a/p", afternoon, "2 p"},
        {"AmPmStrings", "hh AMPM", morning, "12 AM"},
        {"Quoted", "'at' h \"o'clock\"", afternoon, "at 14 o'clock"},
        {"ShortDate", "ddddd", afternoon, "1/5/2024"},
        {"LongDate", "dddddd", afternoon, "Friday, January 5, 2024"},
        {"ShortTime", "t", afternoon, "2:03 PM"},
        {"LongTime", "tt", afternoon, "2:03:09 PM"},
        {"C", "c", afternoon, "1/5/2024 2:03:09 PM"},
        {"CAtMidnight", "c", EncodeDate(2024, 1, 5), "1/5/2024"},
        {"CAtEpoch", "c", 0, "12/30/1899"},
        {"UpperCaseLetters", "YYYY-MM-DD", afternoon, "2024-01-05"},
        {"Negative", "yyyy-mm-dd hh:nn", -1.25, "1899-12-29 06:00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatDateTime(row.format, row.value, s), row.text);
    }
}

TEST(FormatDateTime, SeparatorsComeFromTheSettings)
{
    TFormatSettings s;
    s.DateSeparator = '.';
    s.TimeSeparator = '-';
    s.ShortDateFormat = "dd/mm/yyyy";
    s.LongTimeFormat = "hh:nn:ss";
    EXPECT_EQ(FormatDateTime("c", EncodeDateTime(2024, 3, 7, 9, 5, 1, 0), s), "07.03.2024 09-05-01");
    s.ShortDateFormat = "c";  // refers to itself: must stop
    EXPECT_NO_FATAL_FAILURE(FormatDateTime("c", 1.5, s));
}

TEST(StrToDate, ReadsInTheOrderOfTheShortDateFormat)
{
    TFormatSettings us;
    TFormatSettings de;
    de.ShortDateFormat = "dd/mm/yyyy";
    de.DateSeparator = '.';
    EXPECT_EQ(StrToDate("1/5/2024", us), EncodeDate(2024, 1, 5));
    EXPECT_EQ(StrToDate("05.01.2024", de), EncodeDate(2024, 1, 5));
    EXPECT_THROW(StrToDate("2/30/2024", us), EConvertError);
    EXPECT_THROW(StrToDate("1/5/2024x", us), EConvertError);
    EXPECT_THROW(StrToDate("", us), EConvertError);
    EXPECT_EQ(StrToDateTime("1/5/2024 2:03:09 PM", us), EncodeDateTime(2024, 1, 5, 14, 3, 9, 0));
    EXPECT_EQ(StrToDateTime("1/5/2024 14:03", us), EncodeDateTime(2024, 1, 5, 14, 3, 0, 0));
    EXPECT_EQ(StrToDateTime(DateTimeToStr(EncodeDateTime(2023, 7, 8, 0, 0, 1, 0)), FormatSettings()),
              EncodeDateTime(2023, 7, 8, 0, 0, 1, 0));
    TDateTime value = 0;
    EXPECT_FALSE(TryStrToDateTime("1/5/2024 25:00", value, us));
}

TEST(StrToDate, TwoDigitYearsAndMissingYearUseTheClock)
{
    SetNowFunction([] { return EncodeDateTime(2026, 6, 1, 12, 0, 0, 0); });
    TFormatSettings us;
    EXPECT_EQ(StrToDate("1/5/24", us), EncodeDate(2024, 1, 5));
    EXPECT_EQ(StrToDate("1/5/80", us), EncodeDate(1980, 1, 5));
    EXPECT_EQ(StrToDate("3/4", us), EncodeDate(2026, 3, 4));
    SetNowFunction({});
}

TEST(Clock, NowAndTicksCanBeReplaced)
{
    SetNowFunction([] { return 45351.75; });
    EXPECT_EQ(Now(), 45351.75);
    EXPECT_EQ(Date(), 45351);
    EXPECT_EQ(Time(), 0.75);
    SetNowFunction({});
    EXPECT_GT(Now(), EncodeDate(2020, 1, 1));

    SetTickCountFunction([] { return 1234u; });
    EXPECT_EQ(GetTickCount(), 1234u);
    SetTickCountFunction({});
    const std::uint32_t a = GetTickCount();
    const std::uint32_t b = GetTickCount();
    EXPECT_LE(static_cast<std::uint32_t>(b - a), 1000u);
}
