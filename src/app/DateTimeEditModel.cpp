#include "app/DateTimeEditModel.h"

namespace ovrel::app {

using namespace ovrel::toolkit;

TDateTime DateTimeEditStartValue(std::string_view initialText)
{
    TDateTime value = 0;
    if (!initialText.empty() && TryStrToDateTime(initialText, value))
        return value;
    return Now();
}

void ApplyDateTimeEdit(const TDateTimeEditInput& input, TDateTimeEditResult& result)
{
    switch (input.Choice) {
    case DateModeSet: {
        // Joined through the fields: before 1899-12-30, adding a time of day to a date moves it the wrong way.
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
        DecodeDate(input.Date, year, month, day);
        DecodeTime(input.Time, hour, minute, second, millisecond);
        result.Mode = DateModeSet;
        result.Value = EncodeDateTime(year, month, day, hour, minute, second, millisecond);
        return;
    }
    case DateModeAdd:
        result.Mode = DateModeAdd;
        result.Value = input.AddTime;
        result.Days = input.AddDays;
        return;
    case DateModeSubtract:
        result.Mode = DateModeSubtract;
        result.Value = input.SubtractTime;
        result.Days = input.SubtractDays;
        return;
    default: return;
    }
}

}  // namespace ovrel::app
