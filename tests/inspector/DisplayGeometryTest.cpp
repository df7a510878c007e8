// Where the toolbar buttons and the track-bar thumb of a value cell are, and what a point there hits.

#include "inspector/ItemDisplay.h"

#include <gtest/gtest.h>

using namespace ovrel::inspector;
using namespace ovrel::toolkit;

namespace {

TEST(ToolbarCells, ButtonsStartAtTheLeftOrEndAtTheRight)
{
    const TRect cell{100, 0, 300, 16};
    EXPECT_EQ(ToolbarButtonLeft(cell, 0, 4, 17, false), 100);
    EXPECT_EQ(ToolbarButtonLeft(cell, 2, 4, 17, false), 134);
    EXPECT_EQ(ToolbarButtonLeft(cell, 0, 4, 17, true), 232);
    EXPECT_EQ(ToolbarButtonLeft(cell, 3, 4, 17, true), 283);
}

TEST(ToolbarCells, APointHitsTheButtonUnderItOrNone)
{
    struct Row {
        int X;
        bool Right;
        int Width;
        int Expected;  // cell 200 wide, 4 buttons
    };
    const Row rows[] = {
        {0, false, 17, 0},   {16, false, 17, 0},  {17, false, 17, 1},  {67, false, 17, 3},
        {68, false, 17, -1}, {-1, false, 17, -1}, {131, true, 17, -1}, {132, true, 17, 0},
        {199, true, 17, 3},  {10, false, 0, -1},  {10, true, -3, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "x " << row.X << (row.Right ? " right" : " left") << ", width " << row.Width);
        EXPECT_EQ(ToolbarButtonAt(row.X, 200, 4, row.Width, row.Right), row.Expected);
    }
}

TEST(TrackCells, TheThumbSitsAtThePositionsShareAndAtTheStartWithoutARange)
{
    EXPECT_EQ(TrackThumbOffset(100, 50, 0, 100), 50);
    EXPECT_EQ(TrackThumbOffset(100, 0, 0, 100), 0);
    EXPECT_EQ(TrackThumbOffset(100, 100, 0, 100), 100);
    EXPECT_EQ(TrackThumbOffset(5, 1, 0, 2), 2);  // 2.5, halves to even
    EXPECT_EQ(TrackThumbOffset(100, 7, 7, 7), 0);  // Max = Min
    EXPECT_EQ(TrackThumbOffset(100, 7, 9, 7), 0);
}

TEST(TrackCells, APointGivesAPositionOnlyOverTheTrack)
{
    int position = -99;
    // Cell 120 × 16, margin 6, text 20: the track is 88 long.
    ASSERT_TRUE(TrackPositionAt(70, 8, 120, 16, 6, 20, 0, 100, position));
    EXPECT_EQ(position, 50);  // 44 / 88 × 101 = 50.5, halves to even
    ASSERT_TRUE(TrackPositionAt(113, 8, 120, 16, 6, 20, 10, 20, position));
    EXPECT_EQ(position, 21);  // past Max: the writer clamps
    position = -99;
    EXPECT_FALSE(TrackPositionAt(5, 8, 120, 16, 6, 20, 0, 100, position));  // in the margin
    EXPECT_FALSE(TrackPositionAt(114, 8, 120, 16, 6, 20, 0, 100, position));
    EXPECT_FALSE(TrackPositionAt(70, 16, 120, 16, 6, 20, 0, 100, position));
    EXPECT_FALSE(TrackPositionAt(70, 8, 120, 16, 6, 20, 5, 5, position));  // Max = Min
    EXPECT_FALSE(TrackPositionAt(10, 8, 30, 16, 6, 20, 0, 100, position));  // a cell too narrow for a track
    EXPECT_EQ(position, -99);
}

}  // namespace
