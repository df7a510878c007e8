// The drag loop's decisions without the loop: the outline under the cursor, which dock the cursor is over,
// the reachable floating outline, the cursor, the row a drop chooses, and when a drag switches its dock to
// split mode.
#include "toolbars/DragLoopGeometry.h"

#include "DockTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;
using testing::FakeDockedWindow;

// Docks are only compared, never used: two distinct addresses stand for them.
alignas(8) char dockStorage[3];
TTBDock* const kDockA = reinterpret_cast<TTBDock*>(&dockStorage[0]);
TTBDock* const kDockB = reinterpret_cast<TTBDock*>(&dockStorage[1]);
TTBDock* const kDockL = reinterpret_cast<TTBDock*>(&dockStorage[2]);

struct OutlineRow {
    const char* name;
    TPoint press;
    TSize start;
    TSize target;
    TPoint cursor;
    TRect outline;
};

TEST(DragOutline, KeepsTheGrabPointsProportionalPlace)
{
    const OutlineRow rows[] = {
        {"SameSize", {10, 5}, {100, 26}, {100, 26}, {300, 200}, {290, 195, 390, 221}},
        {"TwiceAsLarge", {50, 10}, {101, 21}, {201, 41}, {300, 200}, {200, 180, 401, 221}},
        // 3 * 1 / 2 = 1.5 rounds away from zero.
        {"RoundsHalves", {1, 1}, {3, 3}, {4, 4}, {10, 10}, {8, 8, 12, 12}},
        // No proportion to keep: the zero divisor's -1 puts the outline one pixel past the cursor.
        {"OnePixelStart", {0, 0}, {1, 1}, {50, 20}, {10, 10}, {11, 11, 61, 31}},
    };
    for (const OutlineRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(PlaceDragOutline(MakeDragGrab(row.press, row.start), row.cursor, row.target), row.outline);
    }
}

TDragTarget TopDock()
{
    return TDragTarget{.Dock = kDockA, .Position = dpTop, .ScreenRect = {0, 0, 400, 30}, .OuterSize = {100, 26}};
}
TDragTarget LeftDock()
{
    return TDragTarget{.Dock = kDockL, .Position = dpLeft, .ScreenRect = {0, 30, 30, 300}, .OuterSize = {26, 100}};
}

struct HitRow {
    const char* name;
    TDragTarget dock;
    TPoint press;  // in a window of 101 x 26 at the start
    TPoint cursor;
    bool hit;
};

class DockHit : public ::testing::TestWithParam<HitRow> {};

TEST_P(DockHit, ReachesAsFarAsTheGrabPointSkewsIt)
{
    const HitRow& row = GetParam();
    EXPECT_EQ(DockHitTest(row.dock, MakeDragGrab(row.press, TSize{101, 26}), row.cursor), row.hit);
}

TDragTarget Narrow(TDragTarget dock)
{
    dock.OuterSize = TSize{10, 10};
    return dock;
}

// The top dock grown by 3 is (-3, -3, 403, 33); grabbed at the top left the cursor may be up to 25 pixels
// before it, grabbed at the bottom right up to 25 pixels after it.
INSTANTIATE_TEST_SUITE_P(
    Rows, DockHit,
    ::testing::Values(HitRow{"Inside", TopDock(), {0, 0}, {200, 15}, true},
                      HitRow{"InTheThreePixelsAround", TopDock(), {0, 0}, {200, 32}, true},
                      HitRow{"BelowWhenGrabbedAtTheTop", TopDock(), {0, 0}, {200, 33}, false},
                      HitRow{"BeforeWhenGrabbedAtTheLeft", TopDock(), {0, 0}, {-28, 15}, true},
                      HitRow{"TooFarBefore", TopDock(), {0, 0}, {-29, 15}, false},
                      HitRow{"BelowWhenGrabbedAtTheBottom", TopDock(), {100, 25}, {200, 57}, true},
                      HitRow{"TooFarBelow", TopDock(), {100, 25}, {200, 58}, false},
                      HitRow{"AfterWhenGrabbedAtTheRight", TopDock(), {100, 25}, {427, 15}, true},
                      HitRow{"NotBeforeWhenGrabbedAtTheRight", TopDock(), {100, 25}, {-4, 15}, false},
                      HitRow{"OutlineMustMeetTheDock", Narrow(TopDock()), {0, 0}, {-28, 15}, false},
                      // Side docks reach no further up or down than their own rectangle.
                      HitRow{"SideDockNotAbove", LeftDock(), {0, 0}, {10, 26}, false},
                      HitRow{"SideDockAtItsTop", LeftDock(), {0, 0}, {10, 27}, true},
                      HitRow{"SideDockBeforeWhenGrabbedAtTheLeft", LeftDock(), {0, 0}, {-20, 100}, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClampRow {
    const char* name;
    TRect outline;
    TRect clamped;
};

TEST(FloatingOutline, StaysWithinReachOfTheWorkArea)
{
    // A border of 3 keeps 7 pixels inside (0, 0, 800, 600); a frame 18 thick at the top may go 14 above it.
    const ClampRow rows[] = {
        {"Inside", {100, 100, 200, 150}, {100, 100, 200, 150}},
        {"FarAbove", {100, -200, 200, -150}, {100, -14, 200, 36}},
        {"SlightlyAbove", {100, -10, 200, 40}, {100, -10, 200, 40}},
        {"CaptionAboveTheTop", {100, -20, 200, 30}, {100, -14, 200, 36}},
        {"FarBelow", {100, 700, 200, 750}, {100, 593, 200, 643}},
        {"FarLeft", {-300, 100, -200, 150}, {-93, 100, 7, 150}},
        {"FarRight", {900, 100, 1000, 150}, {793, 100, 893, 150}},
    };
    for (const ClampRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ClampFloatingOutline(row.outline, TRect{0, 0, 800, 600}, TSize{3, 3}, 18), row.clamped);
    }
}

struct EvaluationRow {
    const char* name;
    TPoint cursor;
    bool seekDocks;
    bool canFloat;
    int currentDock;
    bool splitRequested;
    const char* refused;  // "T" refuses the top dock in OnRequestDock
    int target;
    TRect outline;
    TSize frame;
    TDragCursor shownCursor;
};

class DragEvaluation : public ::testing::TestWithParam<EvaluationRow> {};

TEST_P(DragEvaluation, ChoosesTheTargetOutlineAndCursor)
{
    const EvaluationRow& row = GetParam();
    const std::vector<TDragTarget> docks{TopDock(), LeftDock()};
    const TDragTarget floating{.OuterSize = {106, 47}};
    TDragEvaluationInput input{.Cursor = row.cursor,
                               .SeekDocks = row.seekDocks,
                               .CanFloat = row.canFloat,
                               .CurrentDock = row.currentDock,
                               .SplitRequested = row.splitRequested,
                               .WorkArea = {0, 0, 800, 600},
                               .FloatingBorder = {3, 3},
                               .TopFrameThickness = 18};
    const std::string refused = row.refused;
    const TDragEvaluation result =
        EvaluateDrag(docks, floating, MakeDragGrab(TPoint{0, 0}, TSize{101, 26}), input,
                     [&](const TDragTarget& dock) { return !(refused == "T" && dock.Dock == kDockA); });
    EXPECT_EQ(result.Target, row.target);
    EXPECT_EQ(result.Outline, row.outline);
    EXPECT_EQ(result.FrameSize, row.frame);
    EXPECT_EQ(result.Cursor, row.shownCursor);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DragEvaluation,
    ::testing::Values(
        EvaluationRow{
            "OverTheTopDock", {200, 10}, true, true, -1, false, "", 0, {200, 10, 300, 36}, {1, 1}, TDragCursor::Start},
        EvaluationRow{
            "OverTheLeftDock", {10, 100}, true, true, -1, false, "", 1, {10, 100, 36, 200}, {1, 1}, TDragCursor::Start},
        EvaluationRow{"RefusedDockPassesToTheNext",
                      {10, 28},
                      true,
                      true,
                      -1,
                      false,
                      "T",
                      1,
                      {10, 28, 36, 128},
                      {1, 1},
                      TDragCursor::Start},
        // Ctrl held, or the first evaluation of a floating window.
        EvaluationRow{"NotSeekingDocksFloats",
                      {200, 10},
                      false,
                      true,
                      0,
                      false,
                      "",
                      -1,
                      {200, 10, 306, 57},
                      {3, 3},
                      TDragCursor::Start},
        EvaluationRow{"FloatingTakesTheCursorOntoTheWorkArea",
                      {-500, 300},
                      true,
                      true,
                      -1,
                      false,
                      "",
                      -1,
                      {0, 300, 106, 347},
                      {3, 3},
                      TDragCursor::Start},
        EvaluationRow{
            "NowhereWhenItCannotFloat", {500, 300}, true, false, 0, false, "", -1, {}, {3, 3}, TDragCursor::No},
        EvaluationRow{"SplitModeStaysOnTheCurrentDock",
                      {600, 400},
                      true,
                      true,
                      0,
                      true,
                      "",
                      0,
                      {600, 400, 700, 426},
                      {1, 1},
                      TDragCursor::SplitWE},
        EvaluationRow{"SplitModeInASideDock",
                      {600, 400},
                      false,
                      false,
                      1,
                      true,
                      "",
                      1,
                      {600, 400, 626, 500},
                      {1, 1},
                      TDragCursor::SplitNS}),
    [](const auto& info) { return std::string(info.param.name); });

struct RowChoiceRow {
    const char* name;
    std::vector<TDragTargetRow> rows;
    int centre;
    bool fullSize;
    TDragRowChoice choice;
};

class DragRowChoice : public ::testing::TestWithParam<RowChoiceRow> {};

TEST_P(DragRowChoice, StartsARowAtTheEdgesAndJoinsInTheMiddle)
{
    const RowChoiceRow& row = GetParam();
    const TDragRowChoice choice = ChooseDragRow(row.rows, row.centre, row.fullSize);
    EXPECT_EQ(choice.Row, row.choice.Row);
    EXPECT_EQ(choice.NewRow, row.choice.NewRow);
}

const std::vector<TDragTargetRow> kThreeRows{{22, false}, {22, false}, {22, false}};

// Rows of 22 have edges of 5 (a quarter) or 11 (a half).
INSTANTIATE_TEST_SUITE_P(
    Rows, DragRowChoice,
    ::testing::Values(RowChoiceRow{"AboveTheDock", kThreeRows, -10, false, {0, true}},
                      RowChoiceRow{"UpperQuarter", kThreeRows, 4, false, {0, true}},
                      RowChoiceRow{"MiddleHalfFromItsStart", kThreeRows, 5, false, {0, false}},
                      RowChoiceRow{"MiddleHalfToItsEnd", kThreeRows, 16, false, {0, false}},
                      RowChoiceRow{"LowerQuarterStartsTheNextRow", kThreeRows, 17, false, {1, true}},
                      RowChoiceRow{"UpperQuarterOfTheSecondRow", kThreeRows, 26, false, {1, true}},
                      RowChoiceRow{"JoinsTheSecondRow", kThreeRows, 27, false, {1, false}},
                      RowChoiceRow{"JoinsTheLastRow", kThreeRows, 60, false, {2, false}},
                      RowChoiceRow{"PastTheLastRow", kThreeRows, 61, false, {3, false}},
                      RowChoiceRow{"FullSizeWindowUpperHalf", kThreeRows, 10, true, {0, true}},
                      RowChoiceRow{"FullSizeWindowNeverJoins", kThreeRows, 11, true, {1, true}},
                      RowChoiceRow{
                          "RowHoldingAFullSizeWindowIsNotJoined", {{22, true}, {22, false}}, 12, false, {1, true}},
                      RowChoiceRow{"SkipsEmptyRows", {{22, false}, {0, false}, {22, false}}, 24, false, {2, true}},
                      RowChoiceRow{"NoRows", {}, 40, false, {0, false}}),
    [](const auto& info) { return std::string(info.param.name); });

struct DropRow {
    const char* name;
    TDragTarget dock;
    TRect outline;  // in the dock's client coordinates
    bool splitRequested;
    bool allowed;  // the split permission before
    TPoint cursor;  // the drag began at (100, 10)
    TDockDrop drop;
    bool allowedAfter;
};

class DockDrop : public ::testing::TestWithParam<DropRow> {};

TEST_P(DockDrop, SetsTheRowAndPositionAndDecidesSplitMode)
{
    const DropRow& row = GetParam();
    TDragSplitState split{.Allowed = row.allowed, .StartDock = kDockA, .StartRow = 0, .StartCursor = {100, 10}};
    const TDockDrop drop = DecideDockDrop(row.dock, row.outline, row.splitRequested, 1, false, row.cursor, split);
    EXPECT_EQ(drop.DockRow, row.drop.DockRow);
    EXPECT_EQ(drop.DockPos, row.drop.DockPos);
    EXPECT_EQ(drop.StartsNewRow, row.drop.StartsNewRow);
    EXPECT_EQ(drop.RequestSplit, row.drop.RequestSplit);
    EXPECT_EQ(split.Allowed, row.allowedAfter);
}

TDragTarget WithRows(TDragTarget dock, std::vector<TDragTargetRow> rows)
{
    dock.Rows = std::move(rows);
    return dock;
}
const TDragTarget kStartDock = WithRows(TopDock(), {{22, false}, {22, false}});
const TDragTarget kOtherDock = [] {
    TDragTarget dock = kStartDock;
    dock.Dock = kDockB;
    return dock;
}();
const TDragTarget kSideDock = [] {
    TDragTarget dock = WithRows(LeftDock(), {{26, false}});
    dock.Dock = kDockA;
    return dock;
}();

INSTANTIATE_TEST_SUITE_P(
    Rows, DockDrop,
    ::testing::Values(
        DropRow{"JoiningTheStartingRowKeepsThePermission",
                kStartDock,
                {150, 0, 250, 22},
                false,
                true,
                {105, 11},
                {0, 150, false, false},
                true},
        DropRow{"NinePixelsAlongAreNotEnough",
                kStartDock,
                {150, 0, 250, 22},
                false,
                true,
                {91, 11},
                {0, 150, false, false},
                true},
        DropRow{"MovingAcrossDoesNotCount",
                kStartDock,
                {150, 0, 250, 22},
                false,
                true,
                {100, 40},
                {0, 150, false, false},
                true},
        DropRow{"TenPixelsAlongSwitchToSplitMode",
                kStartDock,
                {150, 0, 250, 22},
                false,
                true,
                {110, 11},
                {0, 150, false, true},
                false},
        DropRow{
            "AnotherRowCancels", kStartDock, {150, 22, 250, 44}, false, true, {130, 11}, {1, 150, false, false}, false},
        DropRow{"ANewRowCancelsAndStartsTheRow",
                kStartDock,
                {150, -10, 250, 12},
                false,
                true,
                {130, 11},
                {0, 150, true, false},
                false},
        DropRow{
            "AnotherDockCancels", kOtherDock, {150, 0, 250, 22}, false, true, {130, 11}, {0, 150, false, false}, false},
        DropRow{"SplitModeKeepsTheWindowsRow",
                kStartDock,
                {150, -10, 250, 12},
                true,
                false,
                {130, 11},
                {1, 150, false, false},
                false},
        DropRow{"ASideDockMeasuresDownwards",
                kSideDock,
                {0, 80, 26, 180},
                false,
                true,
                {101, 20},
                {0, 80, false, true},
                false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DragTargetRows, ListEveryRowUpToTheHighestWithItsFullSizeFlag)
{
    FakeDockedWindow full, other, hidden;
    full.EffectiveRow = 0;
    full.OuterSize = TSize{300, 26};
    full.FullSize = true;
    other.EffectiveRow = 2;
    other.OuterSize = TSize{50, 30};
    hidden.EffectiveRow = 1;
    hidden.OuterSize = TSize{50, 40};
    hidden.Shown = false;
    TDockLayout dock;
    dock.WindowList = {&full, &other, &hidden};
    const std::vector<TDragTargetRow> rows = MakeDragTargetRows(dock);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Size, 26);
    EXPECT_TRUE(rows[0].HasFullSize);
    EXPECT_EQ(rows[1].Size, 0);
    EXPECT_EQ(rows[2].Size, 30);
    EXPECT_FALSE(rows[2].HasFullSize);
}

}  // namespace
}  // namespace ovrel::toolbars
