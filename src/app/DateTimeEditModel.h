#pragma once
// What the date/time dialog starts from and what it returns, without its window.

#include "toolkit/DateUtils.h"

#include <cstdint>
#include <string_view>

namespace ovrel::app {

inline constexpr std::uint8_t DateModeNone = 0;
inline constexpr std::uint8_t DateModeSet = 1;
inline constexpr std::uint8_t DateModeAdd = 2;
inline constexpr std::uint8_t DateModeSubtract = 3;

/// The values of the dialog's controls when OK is pressed.
struct TDateTimeEditInput {
    std::uint8_t Choice = DateModeSet;  // the checked choice
    toolkit::TDateTime Date = 0;  // "Change date": the date picker (only its date counts)
    toolkit::TDateTime Time = 0;  // and the time picker (only its time of day counts)
    toolkit::TDateTime AddTime = 0;
    int AddDays = 0;
    toolkit::TDateTime SubtractTime = 0;
    int SubtractDays = 0;
};

/// The dialog's result fields. Value is the new date and time for a set; for a shift only its time of day
/// counts, and Days holds the whole days.
struct TDateTimeEditResult {
    std::uint8_t Mode = DateModeNone;
    toolkit::TDateTime Value = 0;
    std::int32_t Days = 0;
};

/// The value both pickers of "Change date" start at: the text read in the locale's date and time format,
/// else (also for an empty text) the current date and time.
[[nodiscard]] toolkit::TDateTime DateTimeEditStartValue(std::string_view initialText);

/// OK: the result of the checked choice. A set takes the date of Date with the time of day of Time and leaves
/// Days as it was; a shift takes its time and its days.
void ApplyDateTimeEdit(const TDateTimeEditInput& input, TDateTimeEditResult& result);

}  // namespace ovrel::app
