// The layout of a dock over windows that only have sizes: rows, wrapping, positions with their gaps and
// overlaps, shrinking, full-size and stretched windows, bound lines, the dragged window, commits, suspension
// and failure; and the row queries read back from an arranged dock.
#include "toolbars/DockArrange.h"

#include "DockTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;
using testing::FakeDockedWindow;

// Lengths are along the dock with the docked frame (10 along a horizontal dock); every content is 22 thick,
// so a row is 26.
struct Win {
    const char* name = "";
    int length = 50;
    int row = 0;
    int pos = -1;
    TTBShrinkMode shrink = tbsmNone;
    int minimum = 0;
    bool fullSize = false;
    bool stretch = false;
    bool startsNewRow = false;
    bool hidden = false;
    bool dragged = false;
};

class TestDock {
public:
    TestDock(TTBDockPosition position, const std::vector<Win>& specs)
    {
        Layout.Position = position;
        const bool vertical = IsVerticalDock(position);
        for (const Win& spec : specs) {
            auto& w = *Windows.emplace_back(std::make_unique<FakeDockedWindow>());
            w.Name = spec.name;
            w.Frame = vertical ? TPoint{4, 10} : TPoint{10, 4};
            const int content = spec.length - 10;
            w.Natural = vertical ? TSize{22, content} : TSize{content, 22};
            w.DockRow = spec.row;
            w.DockPos = spec.pos;
            w.Shrink = spec.shrink;
            w.Minimum = spec.minimum;
            w.FullSize = spec.fullSize;
            w.Stretch = spec.stretch;
            w.StartsNewRow = spec.startsNewRow;
            w.Shown = !spec.hidden;
            Layout.WindowList.push_back(&w);
            if (w.Shown)
                Layout.VisibleList.push_back(&w);
            if (spec.dragged)
                Layout.DragWindow = &w;
        }
    }

    std::optional<int> Arrange(int length, bool loading = false)
    {
        return ArrangeDockedWindows(Layout, TDockArrangeInput{.Length = length, .Loading = loading});
    }
    FakeDockedWindow& operator[](std::size_t i) { return *Windows[i]; }

    TDockLayout Layout;
    std::vector<std::unique_ptr<FakeDockedWindow>> Windows;
};

struct ArrangeRow {
    const char* name;
    int length;
    std::vector<Win> windows;
    std::vector<TRect> bounds;  // in the order of windows; hidden windows are never placed
    std::vector<int> rows;  // effective rows
    int thickness;
    TTBDockPosition position = dpTop;
    int nonClientWidth = 0;
    int nonClientHeight = 0;
    bool limitToOneRow = false;
};

class Arrangement : public ::testing::TestWithParam<ArrangeRow> {};

TEST_P(Arrangement, PlacesEveryWindowAndSizesTheDock)
{
    const ArrangeRow& row = GetParam();
    TestDock dock(row.position, row.windows);
    dock.Layout.NonClientWidth = row.nonClientWidth;
    dock.Layout.NonClientHeight = row.nonClientHeight;
    dock.Layout.LimitToOneRow = row.limitToOneRow;
    EXPECT_EQ(dock.Arrange(row.length), row.thickness);
    ASSERT_EQ(row.bounds.size(), row.windows.size());
    for (std::size_t i = 0; i < row.windows.size(); ++i) {
        SCOPED_TRACE(row.windows[i].name);
        EXPECT_EQ(dock[i].Bounds, row.bounds[i]);
        EXPECT_EQ(dock[i].EffectiveRow, row.rows[i]);
        EXPECT_EQ(dock[i].Placements, row.windows[i].hidden ? 0 : 1);
    }
    EXPECT_EQ(dock.Layout.SuspendCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Arrangement,
    ::testing::Values(
        ArrangeRow{.name = "PacksWindowsFromTheStart",
                   .length = 200,
                   .windows = {{.name = "A"}, {.name = "B"}},
                   .bounds = {{0, 0, 50, 26}, {50, 0, 100, 26}},
                   .rows = {0, 0},
                   .thickness = 26},
        ArrangeRow{.name = "KeepsTheGapBeforeARequestedPosition",
                   .length = 200,
                   .windows = {{.name = "A", .pos = 0}, {.name = "B", .pos = 100}},
                   .bounds = {{0, 0, 50, 26}, {100, 0, 150, 26}},
                   .rows = {0, 0},
                   .thickness = 26},
        ArrangeRow{.name = "PlacesTheSecondOfTwoEqualPositionsAfterTheFirst",
                   .length = 200,
                   .windows = {{.name = "A", .pos = 30}, {.name = "B", .pos = 30}},
                   .bounds = {{30, 0, 80, 26}, {80, 0, 130, 26}},
                   .rows = {0, 0},
                   .thickness = 26},
        ArrangeRow{.name = "WrapsTheFirstWindowThatOverflows",
                   .length = 120,
                   .windows = {{.name = "A"}, {.name = "B"}, {.name = "C"}},
                   .bounds = {{0, 0, 50, 26}, {50, 0, 100, 26}, {0, 26, 50, 52}},
                   .rows = {0, 0, 1},
                   .thickness = 52},
        ArrangeRow{.name = "NeverWrapsTheFirstWindowOfARow",
                   .length = 60,
                   .windows = {{.name = "A", .length = 90}, {.name = "B"}},
                   .bounds = {{0, 0, 90, 26}, {0, 26, 50, 52}},
                   .rows = {0, 1},
                   .thickness = 52},
        ArrangeRow{.name = "RenumbersRowsLeftEmpty",
                   .length = 200,
                   .windows = {{.name = "A"}, {.name = "B", .row = 3}, {.name = "C", .row = 7}},
                   .bounds = {{0, 0, 50, 26}, {0, 26, 50, 52}, {0, 52, 50, 78}},
                   .rows = {0, 1, 2},
                   .thickness = 78},
        // A hidden window keeps its row; that row is 0 pixels thick.
        ArrangeRow{.name = "KeepsTheRowOfAHiddenWindow",
                   .length = 200,
                   .windows = {{.name = "A"}, {.name = "H", .row = 1, .hidden = true}, {.name = "B", .row = 2}},
                   .bounds = {{0, 0, 50, 26}, {}, {0, 26, 50, 52}},
                   .rows = {0, 1, 2},
                   .thickness = 52},
        ArrangeRow{.name = "LimitToOneRowNeitherWrapsNorStartsRows",
                   .length = 120,
                   .windows = {{.name = "A"}, {.name = "B", .row = 2}, {.name = "C", .row = 1, .startsNewRow = true}},
                   .bounds = {{0, 0, 50, 26}, {50, 0, 100, 26}, {100, 0, 150, 26}},
                   .rows = {0, 0, 0},
                   .thickness = 26,
                   .limitToOneRow = true},
        ArrangeRow{
            .name = "GivesAFullSizeWindowARowOfItsOwnAcrossTheDock",
            .length = 300,
            .windows = {{.name = "A", .pos = 0}, {.name = "F", .pos = 60, .fullSize = true}, {.name = "B", .pos = 120}},
            .bounds = {{0, 26, 50, 52}, {0, 0, 300, 26}, {120, 26, 170, 52}},
            .rows = {1, 0, 1},
            .thickness = 52},
        ArrangeRow{.name = "StartsANewRowBeforeTheRowDroppedOn",
                   .length = 300,
                   .windows = {{.name = "A", .pos = 0},
                               {.name = "B", .pos = 100},
                               {.name = "S", .pos = 40, .startsNewRow = true},
                               {.name = "C", .row = 1, .pos = 0}},
                   .bounds = {{0, 26, 50, 52}, {100, 26, 150, 52}, {40, 0, 90, 26}, {0, 52, 50, 78}},
                   .rows = {1, 1, 0, 2},
                   .thickness = 78},
        ArrangeRow{.name = "StretchesIntoTheGapAfterIt",
                   .length = 200,
                   .windows = {{.name = "T", .pos = 30, .stretch = true}, {.name = "B", .pos = 100}},
                   .bounds = {{0, 0, 100, 26}, {100, 0, 150, 26}},
                   .rows = {0, 0},
                   .thickness = 26},
        ArrangeRow{.name = "StretchesTheLastWindowToTheDockEnd",
                   .length = 200,
                   .windows = {{.name = "A", .pos = 0}, {.name = "T", .pos = 60, .stretch = true}},
                   .bounds = {{0, 0, 50, 26}, {50, 0, 200, 26}},
                   .rows = {0, 0},
                   .thickness = 26},
        ArrangeRow{.name = "ShrinksChevronWindowsFromTheLastBackwards",
                   .length = 80,
                   .windows = {{.name = "A", .pos = 0, .shrink = tbsmChevron, .minimum = 20},
                               {.name = "B", .pos = 50, .shrink = tbsmChevron, .minimum = 20}},
                   .bounds = {{0, 0, 50, 26}, {50, 0, 80, 26}},
                   .rows = {0, 0},
                   .thickness = 26},
        ArrangeRow{.name = "ShrinksTheChevronWindowThatAnotherOverlaps",
                   .length = 120,
                   .windows = {{.name = "A", .length = 100, .pos = 0, .shrink = tbsmChevron, .minimum = 20},
                               {.name = "B", .pos = 60, .shrink = tbsmChevron, .minimum = 20}},
                   .bounds = {{0, 0, 70, 26}, {70, 0, 120, 26}},
                   .rows = {0, 0},
                   .thickness = 26},
        // Wrapped into two lines of 50 at 60 (its frame takes 10): twice as thick.
        ArrangeRow{.name = "WrapsAWrappingWindowAloneOnItsRow",
                   .length = 60,
                   .windows = {{.name = "W", .length = 110, .shrink = tbsmWrap, .minimum = 20}},
                   .bounds = {{0, 0, 60, 48}},
                   .rows = {0},
                   .thickness = 48},
        ArrangeRow{.name = "LeavesAWrappingWindowWithCompanyAtItsLength",
                   .length = 100,
                   .windows = {{.name = "W", .length = 60, .pos = 0, .shrink = tbsmWrap, .minimum = 20},
                               {.name = "A", .pos = 60, .shrink = tbsmChevron, .minimum = 10}},
                   .bounds = {{0, 0, 60, 26}, {60, 0, 100, 26}},
                   .rows = {0, 0},
                   .thickness = 26},
        ArrangeRow{.name = "TakesGapsBackAtTheDockEnd",
                   .length = 170,
                   .windows = {{.name = "A", .pos = 0}, {.name = "B", .pos = 150}},
                   .bounds = {{0, 0, 50, 26}, {120, 0, 170, 26}},
                   .rows = {0, 0},
                   .thickness = 26},
        // The dragged window D goes where it was dropped: the gap before B gives way, E stays.
        ArrangeRow{.name = "PutsTheDraggedWindowWhereItWasDropped",
                   .length = 400,
                   .windows = {{.name = "A", .pos = 0},
                               {.name = "B", .pos = 100},
                               {.name = "D", .pos = 120, .dragged = true},
                               {.name = "E", .pos = 250}},
                   .bounds = {{0, 0, 50, 26}, {70, 0, 120, 26}, {120, 0, 170, 26}, {250, 0, 300, 26}},
                   .rows = {0, 0, 0, 0},
                   .thickness = 26},
        ArrangeRow{.name = "AddsTheTopAndBottomLinesToAHorizontalDock",
                   .length = 200,
                   .windows = {{.name = "A"}},
                   .bounds = {{0, 0, 50, 26}},
                   .rows = {0},
                   .thickness = 28,
                   .nonClientWidth = 0,
                   .nonClientHeight = 2},
        ArrangeRow{.name = "ShortensTheRowsOfAHorizontalDockByItsSideLines",
                   .length = 101,
                   .windows = {{.name = "A"}, {.name = "B"}},
                   .bounds = {{0, 0, 50, 26}, {0, 26, 50, 52}},
                   .rows = {0, 1},
                   .thickness = 52,
                   .nonClientWidth = 2,
                   .nonClientHeight = 0},
        ArrangeRow{.name = "LaysAVerticalDockOutDownwardsAndAddsItsSideLines",
                   .length = 120,
                   .windows = {{.name = "A"}, {.name = "B"}, {.name = "C"}},
                   .bounds = {{0, 0, 26, 50}, {0, 50, 26, 100}, {26, 0, 52, 50}},
                   .rows = {0, 0, 1},
                   .thickness = 54,
                   .position = dpLeft,
                   .nonClientWidth = 2,
                   .nonClientHeight = 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct EmptyRow {
    const char* name;
    bool fixAlign;
    bool designing;
    bool hiddenWindow;
    int thickness;
};

TEST(DockArrangement, GivesADockWithNothingShownItsEmptyThickness)
{
    const EmptyRow rows[] = {
        {"Plain", false, false, false, 0},
        {"FixAlign", true, false, false, 1},
        {"Designing", false, true, false, 9},
        {"OnlyAHiddenWindow", false, false, true, 0},
    };
    for (const EmptyRow& row : rows) {
        SCOPED_TRACE(row.name);
        TestDock dock(dpTop, row.hiddenWindow ? std::vector<Win>{{.name = "H", .hidden = true}} : std::vector<Win>{});
        dock.Layout.FixAlign = row.fixAlign;
        dock.Layout.CommitPositions = true;
        EXPECT_EQ(ArrangeDockedWindows(dock.Layout, TDockArrangeInput{.Length = 300, .Designing = row.designing}),
                  row.thickness);
        EXPECT_EQ(dock.Layout.SuspendCount, 0);
        EXPECT_FALSE(dock.Layout.CommitPositions);
    }
}

TEST(DockArrangement, OnlyNotesTheArrangementWhileSuspendedOrLoading)
{
    TestDock dock(dpTop, {{.name = "A"}});
    dock.Layout.SuspendCount = 1;
    EXPECT_EQ(dock.Arrange(200), std::nullopt);
    EXPECT_TRUE(dock.Layout.ArrangePending);
    dock.Layout.SuspendCount = 0;
    dock.Layout.ArrangePending = false;
    EXPECT_EQ(dock.Arrange(200, true), std::nullopt);
    EXPECT_TRUE(dock.Layout.ArrangePending);
    EXPECT_EQ(dock[0].Placements, 0);

    EXPECT_EQ(dock.Arrange(200), 26);
    EXPECT_FALSE(dock.Layout.ArrangePending);
    EXPECT_EQ(dock[0].Placements, 1);
}

TEST(DockArrangement, LeavesTheDockUnsuspendedWhenAWindowFails)
{
    TestDock dock(dpTop, {{.name = "A"}, {.name = "B"}});
    dock[1].ThrowOnNaturalSize = true;
    dock.Layout.CommitPositions = true;
    dock.Layout.ArrangePending = true;
    EXPECT_THROW((void)dock.Arrange(200), std::runtime_error);
    EXPECT_EQ(dock.Layout.SuspendCount, 0);
    EXPECT_FALSE(dock.Layout.ArrangePending);
    EXPECT_FALSE(dock.Layout.CommitPositions);

    dock[1].ThrowOnNaturalSize = false;
    EXPECT_EQ(dock.Arrange(200), 26);
    EXPECT_EQ(dock[1].Bounds, (TRect{50, 0, 100, 26}));
}

TEST(DockArrangement, CommitsPlacesAndListOrderKeepingTiesInListOrder)
{
    // Listed C, B, A: B and A ask for the same place, so B stays first.
    TestDock dock(dpTop, {{.name = "C", .row = 4, .pos = 0}, {.name = "B", .pos = 30}, {.name = "A", .pos = 30}});
    dock.Layout.CommitPositions = true;
    EXPECT_EQ(dock.Arrange(200), 52);
    EXPECT_FALSE(dock.Layout.CommitPositions);
    const std::vector<ITBDockedWindow*> order{&dock[1], &dock[2], &dock[0]};
    EXPECT_EQ(dock.Layout.WindowList, order);
    EXPECT_EQ((TPoint{dock[1].DockRow, dock[1].DockPos}), (TPoint{0, 30}));
    EXPECT_EQ((TPoint{dock[2].DockRow, dock[2].DockPos}), (TPoint{0, 80}));
    EXPECT_EQ((TPoint{dock[0].DockRow, dock[0].DockPos}), (TPoint{1, 0}));

    // The committed places give the same layout again, as often as the dock arranges.
    for (int i = 0; i < 2; ++i) {
        dock.Layout.CommitPositions = true;
        EXPECT_EQ(dock.Arrange(200), 52);
        EXPECT_EQ(dock[1].Bounds, (TRect{30, 0, 80, 26}));
        EXPECT_EQ(dock[2].Bounds, (TRect{80, 0, 130, 26}));
        EXPECT_EQ(dock.Layout.WindowList, order);
    }
}

TEST(DockArrangement, KeepsAnyNumberOfEqualPlacesInListOrder)
{
    // Enough windows for a sort that is not stable to reorder them.
    std::vector<Win> windows(40, Win{.pos = 0});
    TestDock dock(dpTop, windows);
    EXPECT_EQ(dock.Arrange(4000), 26);
    for (std::size_t i = 0; i < windows.size(); ++i)
        EXPECT_EQ(dock[i].Bounds.left, static_cast<int>(i) * 50) << "window " << i;
}

TEST(DockArrangement, DropsWindowsBeingDestroyedAndSortsTheVisibleList)
{
    TestDock dock(dpTop, {{.name = "B", .pos = 60}, {.name = "X", .pos = 0}, {.name = "A", .pos = 0}});
    dock[1].Destroying = true;
    EXPECT_EQ(dock.Arrange(200), 26);
    const std::vector<ITBDockedWindow*> windows{&dock[0], &dock[2]};
    const std::vector<ITBDockedWindow*> visible{&dock[2], &dock[0]};
    EXPECT_EQ(dock.Layout.WindowList, windows);
    EXPECT_EQ(dock.Layout.VisibleList, visible);
    EXPECT_EQ(dock[1].Placements, 0);
    EXPECT_EQ(dock[0].Bounds, (TRect{60, 0, 110, 26}));
}

// A is a chevron window; D, dragged in split mode, asks to start before it.
TEST(DockArrangement, KeepsTheDraggedWindowsIndexInSplitModeAndShrinksItsNeighbour)
{
    const std::vector<Win> windows{{.name = "A", .length = 100, .pos = 20, .shrink = tbsmChevron, .minimum = 20},
                                   {.name = "D", .pos = 10, .dragged = true}};
    TestDock split(dpTop, windows);
    split.Layout.DragSplitRequested = true;
    EXPECT_EQ(split.Arrange(120), 26);
    EXPECT_EQ(split[0].Bounds, (TRect{0, 0, 70, 26}));
    EXPECT_EQ(split[1].Bounds, (TRect{70, 0, 120, 26}));
    EXPECT_TRUE(split.Layout.DragSplitAllowed);

    // Without split mode D sorts first and A gives way at the end instead.
    TestDock plain(dpTop, windows);
    EXPECT_EQ(plain.Arrange(120), 26);
    EXPECT_EQ(plain[1].Bounds, (TRect{0, 0, 50, 26}));
    EXPECT_EQ(plain[0].Bounds, (TRect{50, 0, 120, 26}));

    // On a row with room there is nothing to split.
    TestDock roomy(dpTop, windows);
    EXPECT_EQ(roomy.Arrange(300), 26);
    EXPECT_FALSE(roomy.Layout.DragSplitAllowed);
}

TEST(DockArrangement, RecomputesAShrunkWindowOnlyWhenItsShrunkLengthChanges)
{
    TestDock dock(dpTop, {{.name = "W", .length = 110, .shrink = tbsmWrap, .minimum = 20}});
    FakeDockedWindow& w = dock[0];
    EXPECT_EQ(dock.Arrange(60), 48);
    EXPECT_TRUE(w.Recalculated);
    EXPECT_EQ(w.Computed, 1);
    EXPECT_EQ(w.ShrunkLength, 60);
    EXPECT_EQ(w.LastRowThickness, 44);

    // Unchanged: the thickness comes from the size it has, less its frame.
    EXPECT_EQ(dock.Arrange(60), 48);
    EXPECT_FALSE(w.Recalculated);
    EXPECT_EQ(w.Computed, 1);
    EXPECT_EQ(w.ShrunkLength, 60);

    // Room again: no longer shrunk, laid out at its natural length.
    EXPECT_EQ(dock.Arrange(200), 26);
    EXPECT_TRUE(w.Recalculated);
    EXPECT_EQ(w.ShrunkLength, 0);
    EXPECT_EQ(w.Bounds, (TRect{0, 0, 110, 26}));
}

TEST(DockRowQueries, ReadTheRowsOfTheLastArrangement)
{
    TestDock dock(dpTop, {{.name = "F", .fullSize = true},
                          {.name = "A", .row = 3},
                          {.name = "T", .row = 3},
                          {.name = "H", .row = 9, .hidden = true}});
    dock[2].Natural = TSize{40, 30};
    EXPECT_EQ(dock.Layout.HighestRow(false), 9);
    EXPECT_EQ(dock.Arrange(200), 26 + 34);
    EXPECT_EQ(dock[1].Bounds, (TRect{0, 26, 50, 60}));

    bool fullSize = false;
    EXPECT_EQ(dock.Layout.RowSize(0, &fullSize), 26);
    EXPECT_TRUE(fullSize);
    EXPECT_EQ(dock.Layout.RowSize(1, &fullSize), 34);
    EXPECT_FALSE(fullSize);
    EXPECT_EQ(dock.Layout.RowSize(2), 0);
    EXPECT_EQ(dock.Layout.RowSize(-1, &fullSize), 0);

    EXPECT_EQ(dock.Layout.RowLastThickness(1, &dock[1]), 30);
    EXPECT_EQ(dock.Layout.RowLastThickness(1, &dock[2]), 22);
    EXPECT_EQ(dock.Layout.RowLastThickness(1, nullptr), 30);

    EXPECT_EQ(dock.Layout.RowAt(0), 0);
    EXPECT_EQ(dock.Layout.RowAt(25), 0);
    EXPECT_EQ(dock.Layout.RowAt(26), 1);
    EXPECT_EQ(dock.Layout.RowAt(59), 1);
    EXPECT_EQ(dock.Layout.RowAt(60), 3);  // past the last row, the hidden window's empty one included

    EXPECT_EQ(dock.Layout.HighestRow(true), 2);
    EXPECT_EQ(dock.Layout.HighestRow(false), 9);
    dock.Layout.CommitEffectivePositions();
    EXPECT_EQ(dock.Layout.HighestRow(false), 2);
    EXPECT_EQ((TPoint{dock[2].DockRow, dock[2].DockPos}), (TPoint{1, 50}));

    EXPECT_EQ(TDockLayout{}.HighestRow(true), -1);
    EXPECT_FALSE(TDockLayout{}.HasVisibleWindows());
}

}  // namespace
}  // namespace ovrel::toolbars
