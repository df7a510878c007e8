#include "inspector/Pickers.h"

#include "inspector/WebColors.h"

#include "toolkit/SysUtils.h"

#include <array>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

TDateTime CalendarCellDate(int year, int month, int column, int row)
{
    const int first = DayOfWeek(EncodeDate(year, month, 1));  // Sunday 1 .. Saturday 7
    const int days = DaysInMonth(year, month);
    const int n = 7 * row + column;
    if (n < first - 1) {
        const int previousYear = month == 1 ? year - 1 : year;
        const int previousMonth = month == 1 ? 12 : month - 1;
        const int previousDays = DaysInMonth(previousYear, previousMonth);
        const int last = DayOfWeek(EncodeDate(previousYear, previousMonth, previousDays));
        return EncodeDate(previousYear, previousMonth, previousDays + column - last + 1);
    }
    if (first + days >= n + 2)
        return EncodeDate(year, month, n - first + 2);
    const int nextYear = month == 12 ? year + 1 : year;
    const int nextMonth = month == 12 ? 1 : month + 1;
    return EncodeDate(nextYear, nextMonth, n - first - days + 2);
}

TRect CalendarCellRect(int column, int row)
{
    const int x = 14 + 17 * column;
    const int y = 36 + 15 * row;
    return TRect{x, y, x + 17, y + 15};
}

bool CalendarCellAt(int x, int y, int clientWidth, int clientHeight, int& column, int& row)
{
    if (x < 14 || y < 38 || x >= clientWidth - 14 || y >= clientHeight - 20)
        return false;
    column = (x - 14) / 17;
    row = (y - 36) / 15;
    // The area reaches below the last row of cells; a row 6 there would name a date nobody sees.
    return column < CalendarColumns && row < CalendarRows;
}

std::string CalendarMonthName(const TStrings* names, int month)
{
    static const std::array<const char*, 12> english = {"January",   "February", "March",    "April",
                                                        "May",       "June",     "July",     "August",
                                                        "September", "October",  "November", "December"};
    if (month < 1 || month > 12)
        return std::string();
    if (names != nullptr && names->GetCount() == 12)
        return names->Get(month - 1);
    return english[static_cast<std::size_t>(month - 1)];
}

TColor PaletteColor(int column, int row)
{
    const auto rgb = [](int r, int g, int b) { return static_cast<TColor>(ui::RGB(r, g, b)); };
    if (column == 0 || column == 2)
        return clBlack;
    if (column == 1) {
        if (row < 6)
            return rgb(51 * row, 51 * row, 51 * row);
        static const std::array<TColor, 6> pure = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};
        return pure[static_cast<std::size_t>(row - 6)];
    }
    const int g = column - 3;
    const int base = row < 6 ? 0 : 153;
    return rgb(base + 51 * (g / 6), 51 * (g % 6), 51 * (row % 6));
}

TRect PaletteCellRect(int column, int row)
{
    return TRect{10 * column, 28 + 10 * row, 10 * column + 11, 39 + 10 * row};
}

bool PaletteCellAt(int x, int y, int& column, int& row)
{
    if (x < 0)
        return false;  // left of the palette, where truncation would give column 0
    column = x / 10;
    const int dy = y - 28;
    row = dy >= 0 ? dy / 10 : -((9 - dy) / 10);  // rounding down: the rows above the swatches are negative
    return column >= 0 && column < PaletteColumns && row >= 0 && row < PaletteRows;
}

TDateTime PickerDate(std::string_view text, TDateTime today)
{
    TDateTime date = 0;
    if (text.empty() || text == "0" || !TryStrToDate(text, date))
        return today;
    return date;
}

TColor PickerColor(std::string_view text, bool webFormat)
{
    if (text.empty())
        return clNone;
    if (webFormat)
        return WebColorToColor(text);
    try {
        return StringToColor(text);
    } catch (const EConvertError&) {
        return clNone;  // a half-typed name such as "clRe"
    }
}

}  // namespace ovrel::inspector
