// Edge snapping of floating frames moved near the work area's edges.

#include "themes/FloatingSnap.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace ovrel::themes {
namespace {

using ui::RECT;
using ui::WINDOWPOS;

constexpr RECT WorkArea{0, 0, 1000, 700};

struct SnapCase {
    const char* Name;
    RECT Current;  // where the frame is
    WINDOWPOS Request;  // x, y, cx, cy and flags asked for
    int SnapDistance;
    int X;
    int Y;  // where it ends up
    friend void PrintTo(const SnapCase& c, std::ostream* os) { *os << c.Name; }
};

class SnapTable : public ::testing::TestWithParam<SnapCase> {};

TEST_P(SnapTable, MovesCloseEdgesOntoTheWorkArea)
{
    const SnapCase& c = GetParam();
    WINDOWPOS pos = c.Request;
    const bool changed = SnapWindowPos(pos, c.Current, WorkArea, c.SnapDistance);
    EXPECT_EQ(pos.x, c.X);
    EXPECT_EQ(pos.y, c.Y);
    EXPECT_EQ(changed, c.X != c.Request.x || c.Y != c.Request.y);
    EXPECT_EQ(pos.cx, c.Request.cx);
    EXPECT_EQ(pos.cy, c.Request.cy);
}

constexpr RECT Frame{300, 300, 500, 400};  // 200 by 100

WINDOWPOS Move(int x, int y, ui::UINT flags = 0, int cx = 200, int cy = 100)
{
    WINDOWPOS pos;
    pos.x = x;
    pos.y = y;
    pos.cx = cx;
    pos.cy = cy;
    pos.flags = flags;
    return pos;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SnapTable,
    ::testing::Values(
        SnapCase{"SevenFromTheLeftSnaps", Frame, Move(7, 300), 10, 0, 300},
        SnapCase{"ElevenFromTheLeftDoesNot", Frame, Move(11, 300), 10, 11, 300},
        SnapCase{"JustPastTheLeftSnapsBack", Frame, Move(-7, 300), 10, 0, 300},
        SnapCase{"Right", Frame, Move(793, 300), 10, 800, 300}, SnapCase{"Bottom", Frame, Move(300, 595), 10, 300, 600},
        SnapCase{"Top", Frame, Move(300, 4), 10, 300, 0}, SnapCase{"ACorner", Frame, Move(805, 605), 10, 800, 600},
        // Right is tried first, left last: a frame nearly as wide as the area lands on the left.
        SnapCase{"LeftWinsOverRight", RECT{0, 0, 995, 100}, Move(2, 300, 0, 995, 100), 10, 0, 300},
        SnapCase{"AMoveWithoutASizeKeepsTheCurrentSize", Frame, Move(793, 300, ui::SWP_NOSIZE, 0, 0), 10, 800, 300},
        SnapCase{"AResizeNeverSnaps", Frame, Move(7, 300, 0, 210, 100), 10, 7, 300},
        SnapCase{"NoMoveNoSnap", Frame, Move(7, 300, ui::SWP_NOMOVE), 10, 7, 300},
        SnapCase{"NoDistanceNoSnap", Frame, Move(3, 3), 0, 3, 3}),
    [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace ovrel::themes
