#pragma once
// The cells of the date and colour pickers' pop-ups: which date or colour a cell holds, where a cell is and
// which cell lies under a point. The calendar and the palette paint and hit-test through these, so a click
// picks exactly the cell that is shown there.

#include "toolkit/DateUtils.h"
#include "toolkit/Graphics.h"
#include "toolkit/Lists.h"

#include <string>
#include <string_view>

namespace ovrel::inspector {

// ---- Calendar: 7 columns (Sunday first) × 6 rows of 17 × 15 pixel cells from (14, 36) ----------------------

inline constexpr int CalendarColumns = 7;
inline constexpr int CalendarRows = 6;

/// The date shown in the cell of column 0..6 and row 0..5 when month of year is shown: days of the previous
/// month fill the first row up to the first of the month, days of the next month follow the last.
[[nodiscard]] toolkit::TDateTime CalendarCellDate(int year, int month, int column, int row);
/// The cell rectangle (X, Y, X + 17, Y + 15) with X = 14 + 17 × column and Y = 36 + 15 × row.
[[nodiscard]] toolkit::TRect CalendarCellRect(int column, int row);
/// The cell under a client point of a calendar of that client size. False outside the grid area
/// (14, 38, clientWidth − 14, clientHeight − 20) and, within it, below or beside the 6 × 7 cells shown.
[[nodiscard]] bool CalendarCellAt(int x, int y, int clientWidth, int clientHeight, int& column, int& row);
/// Month 1..12 from names when it holds exactly 12 strings, else the English name.
[[nodiscard]] std::string CalendarMonthName(const toolkit::TStrings* names, int month);

// ---- Palette: 21 columns × 12 rows of swatches on a 10 pixel pitch from (0, 28) --------------------------

inline constexpr int PaletteColumns = 21;
inline constexpr int PaletteRows = 12;

/// The colour of the swatch at column 0..20 and row 0..11: black in columns 0 and 2, greys and the six pure
/// colours in column 1, and the 216 colours whose channels are multiples of 51 in columns 3 to 20.
[[nodiscard]] toolkit::TColor PaletteColor(int column, int row);
/// The swatch rectangle (10C, 28 + 10R, 10C + 11, 39 + 10R): 11-pixel cells sharing their borders.
[[nodiscard]] toolkit::TRect PaletteCellRect(int column, int row);
/// The swatch under a client point: column x div 10 and row (y − 28) divided by 10 rounding down, so the
/// strip above the swatches, where the colour text is, picks nothing. False outside 0..20 × 0..11.
[[nodiscard]] bool PaletteCellAt(int x, int y, int& column, int& row);

// ---- Opening values: what a picker's text shows, never raising ---------------------------------------------

/// The date a date picker's calendar opens on: the date of text, or today when the text is empty, "0" or no
/// date at all.
[[nodiscard]] toolkit::TDateTime PickerDate(std::string_view text, toolkit::TDateTime today);
/// The colour a colour picker's text stands for: through the web format's reading with webFormat, else the
/// class library's colour names and numbers; clNone for the empty text and for text that is no colour.
[[nodiscard]] toolkit::TColor PickerColor(std::string_view text, bool webFormat);

}  // namespace ovrel::inspector
