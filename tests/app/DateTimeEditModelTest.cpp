#include "app/DateTimeEditModel.h"

#include "AppTestSupport.h"

#include <gtest/gtest.h>

namespace ovrel::app {
namespace {

using toolkit::EncodeDateTime;
using toolkit::EncodeTime;
using toolkit::TDateTime;

TEST(DateTimeEditStart, ReadsTheTextInTheLocaleFormatElseStartsNow)
{
    const TDateTime now = EncodeDateTime(2030, 1, 1, 8, 0, 0, 0);
    test::TPinnedClock clock(now);
    for (const auto kind : {test::TPinnedLocale::TKind::Point, test::TPinnedLocale::TKind::Comma}) {
        test::TPinnedLocale locale(kind);
        const bool comma = kind == test::TPinnedLocale::TKind::Comma;
        SCOPED_TRACE(comma ? "comma" : "point");
        EXPECT_EQ(DateTimeEditStartValue(comma ? "29.02.2024 12:34:56" : "2/29/2024 12:34:56"),
                  EncodeDateTime(2024, 2, 29, 12, 34, 56, 0));
        EXPECT_EQ(DateTimeEditStartValue(""), now);
        EXPECT_EQ(DateTimeEditStartValue("+ 1 / 1:30"), now);
        EXPECT_EQ(DateTimeEditStartValue("2023:07:08 10:00:00"), now);  // the file's own form is not the locale's
    }
}

TEST(DateTimeEditOk, GivesTheCheckedChoicesValues)
{
    TDateTimeEditInput input;
    input.Date = EncodeDateTime(2024, 2, 29, 23, 59, 59, 0);
    input.Time = EncodeDateTime(1990, 5, 5, 6, 7, 8, 0);
    input.AddTime = EncodeTime(3, 0, 0, 0);
    input.AddDays = 2;
    input.SubtractTime = EncodeTime(0, 0, 30, 0);
    input.SubtractDays = 1000;
    const struct {
        const char* Name;
        std::uint8_t Choice;
        TDateTimeEditResult Expected;
    } rows[] = {
        {"Set", DateModeSet, {DateModeSet, EncodeDateTime(2024, 2, 29, 6, 7, 8, 0), 7}},  // days stay as they were
        {"Add", DateModeAdd, {DateModeAdd, EncodeTime(3, 0, 0, 0), 2}},
        {"Subtract", DateModeSubtract, {DateModeSubtract, EncodeTime(0, 0, 30, 0), 1000}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        input.Choice = row.Choice;
        TDateTimeEditResult result{DateModeNone, 0, 7};
        ApplyDateTimeEdit(input, result);
        EXPECT_EQ(result.Mode, row.Expected.Mode);
        EXPECT_DOUBLE_EQ(result.Value, row.Expected.Value);
        EXPECT_EQ(result.Days, row.Expected.Days);
    }

    // Before 1899-12-30 the date and the time of day are still joined as the pickers show them.
    input.Choice = DateModeSet;
    input.Date = EncodeDateTime(1850, 6, 1, 0, 0, 0, 0);
    input.Time = EncodeTime(18, 0, 0, 0);
    TDateTimeEditResult result;
    ApplyDateTimeEdit(input, result);
    EXPECT_DOUBLE_EQ(result.Value, EncodeDateTime(1850, 6, 1, 18, 0, 0, 0));
}

}  // namespace
}  // namespace ovrel::app
