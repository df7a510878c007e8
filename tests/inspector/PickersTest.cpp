// The calendar's and the palette's cells: dates and colours, where each cell is, and which cell a point hits.

#include "inspector/Pickers.h"

#include "toolkit/DateUtils.h"
#include "toolkit/Lists.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace ovrel::inspector;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

TEST(CalendarCells, RunFromTheSundayOnOrBeforeTheFirstOfTheMonth)
{
    struct Month {
        int Year;
        int Month;
        int FirstCellDay;  // the day number shown top left
    };
    const Month months[] = {
        {2015, 3, 1},  // 1 March 2015 is a Sunday: it opens the grid
        {2025, 1, 29},  // a Wednesday: three days of December first
        {2024, 2, 28},  // leap February, from Sunday 28 January
        {2015, 2, 1},  // 28 days from a Sunday: exactly four rows, then March
        {2026, 12, 29},  // into January of the next year
        {2000, 1, 26},
    };
    for (const Month& m : months) {
        SCOPED_TRACE(::testing::Message() << m.Year << "-" << m.Month);
        const TDateTime first = EncodeDate(m.Year, m.Month, 1);
        const TDateTime start = first - (DayOfWeek(first) - 1);  // the plain computation
        for (int row = 0; row < CalendarRows; ++row)
            for (int column = 0; column < CalendarColumns; ++column)
                ASSERT_EQ(CalendarCellDate(m.Year, m.Month, column, row), start + 7 * row + column)
                    << "column " << column << ", row " << row;
        int year = 0;
        int month = 0;
        int day = 0;
        DecodeDate(CalendarCellDate(m.Year, m.Month, 0, 0), year, month, day);
        EXPECT_EQ(day, m.FirstCellDay);
    }
}

TEST(CalendarCells, APointPicksThePaintedCellAndNothingBelowOrBesideTheGrid)
{
    const int width = 151;
    const int height = 163;
    for (int row = 0; row < CalendarRows; ++row)
        for (int column = 0; column < CalendarColumns; ++column) {
            const TRect cell = CalendarCellRect(column, row);
            for (int y = cell.top; y < cell.bottom; ++y)
                for (int x = cell.left; x < cell.right; ++x) {
                    int c = -1;
                    int r = -1;
                    if (!CalendarCellAt(x, y, width, height, c, r)) {
                        // Only the two pixel rows above the grid area and its right margin stay outside.
                        EXPECT_TRUE(y < 38 || x >= width - 14) << x << "," << y;
                        continue;
                    }
                    ASSERT_EQ(c, column) << x << "," << y;
                    ASSERT_EQ(r, row) << x << "," << y;
                }
        }
    int c = 0;
    int r = 0;
    EXPECT_FALSE(CalendarCellAt(20, 130, width, height, c, r));  // below row 5, still inside the area
    EXPECT_FALSE(CalendarCellAt(134, 50, width, height, c, r));  // right of column 6
    EXPECT_FALSE(CalendarCellAt(13, 50, width, height, c, r));
    EXPECT_FALSE(CalendarCellAt(20, 143, width, height, c, r));
    EXPECT_EQ(CalendarCellRect(0, 0), (TRect{14, 36, 31, 51}));
}

TEST(CalendarCells, MonthNamesComeFromTwelveStringsOrElseInEnglish)
{
    TStringList names;
    for (const char* name : {"M1", "M2", "M3", "M4", "M5", "M6", "M7", "M8", "M9", "M10", "M11"})
        names.Add(name);
    EXPECT_EQ(CalendarMonthName(&names, 3), "March");
    names.Add("M12");
    EXPECT_EQ(CalendarMonthName(&names, 3), "M3");
    EXPECT_EQ(CalendarMonthName(nullptr, 12), "December");
}

TEST(PaletteCells, HoldBlackGreysPureColoursAndTheWebSafeCube)
{
    std::set<TColor> cube;
    for (int row = 0; row < PaletteRows; ++row) {
        EXPECT_EQ(PaletteColor(0, row), clBlack);
        EXPECT_EQ(PaletteColor(2, row), clBlack);
        for (int column = 3; column < PaletteColumns; ++column) {
            const auto rgb = static_cast<ui::COLORREF>(PaletteColor(column, row));
            for (int channel : {ui::GetRValue(rgb), ui::GetGValue(rgb), ui::GetBValue(rgb)})
                EXPECT_EQ(channel % 51, 0);
            cube.insert(PaletteColor(column, row));
        }
    }
    EXPECT_EQ(cube.size(), 216u);
    EXPECT_EQ(PaletteColor(1, 3), static_cast<TColor>(ui::RGB(153, 153, 153)));
    const TColor pure[] = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(PaletteColor(1, 6 + i), pure[i]);
    EXPECT_EQ(PaletteColor(3, 6), static_cast<TColor>(ui::RGB(153, 0, 0)));
    EXPECT_EQ(PaletteColor(20, 11), static_cast<TColor>(ui::RGB(255, 255, 255)));
}

TEST(PaletteCells, APointPicksTheSwatchUnderItAndNothingAboveOrRightOfThem)
{
    for (int row = 0; row < PaletteRows; ++row)
        for (int column = 0; column < PaletteColumns; ++column) {
            const TRect cell = PaletteCellRect(column, row);
            int c = -1;
            int r = -1;
            // The inside of the swatch, within its border lines.
            ASSERT_TRUE(PaletteCellAt(cell.left + 1, cell.top + 1, c, r));
            EXPECT_EQ(c, column);
            EXPECT_EQ(r, row);
            ASSERT_TRUE(PaletteCellAt(cell.right - 2, cell.bottom - 2, c, r));
            EXPECT_EQ(c, column);
            EXPECT_EQ(r, row);
        }
    int c = 0;
    int r = 0;
    for (int y = 0; y < 28; ++y)
        EXPECT_FALSE(PaletteCellAt(50, y, c, r)) << y;  // the colour text, not row 0
    EXPECT_TRUE(PaletteCellAt(209, 100, c, r));
    EXPECT_EQ(c, 20);
    EXPECT_FALSE(PaletteCellAt(210, 100, c, r));
    EXPECT_FALSE(PaletteCellAt(50, 148, c, r));
    EXPECT_FALSE(PaletteCellAt(-5, 100, c, r));  // left of the palette, as a held mouse reports it
}

TEST(PickerValues, TextThatIsNoDateOrColourOpensOnTodayOrNoColourInsteadOfRaising)
{
    const TDateTime today = EncodeDate(2025, 1, 15);
    struct DateRow {
        const char* Text;
        TDateTime Expected;
    };
    const DateRow dates[] = {
        {"", today},
        {"0", today},
        {"31.02.2024", today},
        {"yesterday", today},
    };
    for (const DateRow& row : dates) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(PickerDate(row.Text, today), row.Expected);
    }
    EXPECT_EQ(PickerDate(DateToStr(EncodeDate(2024, 2, 29)), today), EncodeDate(2024, 2, 29));

    struct ColorRow {
        const char* Text;
        bool Web;
        TColor Expected;
    };
    const ColorRow colors[] = {
        {"", false, clNone},
        {"", true, clNone},
        {"clRed", false, clRed},
        {"clRe", false, clNone},
        {"$00FF0000", false, static_cast<TColor>(0x00FF0000)},
        {"#FF0000", true, clRed},
        {"#FF0000", false, clNone},
        {"red", true, clRed},
        {"clRed", true, clNone},
        {"#", true, clNone},
    };
    for (const ColorRow& row : colors) {
        SCOPED_TRACE(::testing::Message() << row.Text << (row.Web ? " web" : ""));
        EXPECT_EQ(PickerColor(row.Text, row.Web), row.Expected);
    }
}

}  // namespace
