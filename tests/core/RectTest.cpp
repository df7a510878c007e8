// Rectangle placement: rounding of the scaled sides, centring and fitting by aspect ratio.
#include "core/Rect.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ovrel::core {
namespace {

TEST(Rectangles, MulDivFloorRoundsTowardsMinusInfinity)
{
    struct Row {
        std::int32_t A, B, C, Expected;
    };
    const Row rows[] = {
        {10, 3, 4, 7},   {-10, 3, 4, -8},
        {10, -3, 4, -8}, {10, 3, -4, -8},
        {-10, -3, 4, 7}, {8, 3, 4, 6},
        {-8, 3, 4, -6},  {0, 5, 7, 0},
        {5, 7, 0, 0},    {100000, 100000, 100000, 100000},  // the product needs more than 32 bits
    };
    for (const Row& row : rows)
        EXPECT_EQ(MulDivFloor(row.A, row.B, row.C), row.Expected) << row.A << '*' << row.B << '/' << row.C;
}

TEST(Rectangles, CenterRectKeepsTheSizeAndTruncatesHalves)
{
    struct Row {
        const char* Name;
        TRect R, Bounds, Expected;
    };
    const Row rows[] = {
        {"Even", {0, 0, 10, 20}, {0, 0, 100, 100}, {45, 40, 55, 60}},
        {"OddBounds", {0, 0, 10, 10}, {0, 0, 101, 51}, {45, 20, 55, 30}},
        {"OffsetSource", {5, 5, 15, 15}, {100, 200, 200, 300}, {140, 240, 150, 250}},
        {"LargerThanBounds", {0, 0, 200, 50}, {0, 0, 100, 100}, {-50, 25, 150, 75}},
        {"NegativeTruncatesTowardsZero", {0, 0, 4, 4}, {-11, -11, 0, 0}, {-7, -7, -3, -3}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const TRect result = CenterRect(row.R, row.Bounds);
        EXPECT_EQ(result, row.Expected);
        EXPECT_EQ(result.Width(), row.R.Width());
        EXPECT_EQ(result.Height(), row.R.Height());
    }
}

TEST(Rectangles, FitRectKeepsTheAspectRatioInsideTheBox)
{
    struct Row {
        const char* Name;
        TRect Src, Box, Expected;
    };
    const Row rows[] = {
        {"Landscape", {0, 0, 400, 200}, {0, 0, 150, 150}, {0, 37, 150, 112}},
        {"Portrait", {0, 0, 200, 400}, {0, 0, 150, 150}, {37, 0, 112, 150}},
        {"Square", {0, 0, 64, 64}, {0, 0, 150, 150}, {0, 0, 150, 150}},
        {"SmallIsEnlarged", {0, 0, 10, 5}, {0, 0, 100, 100}, {0, 25, 100, 75}},
        {"BoxOffset", {0, 0, 400, 200}, {10, 20, 110, 120}, {10, 45, 110, 95}},
        {"EmptySourceCountsAsOne", {0, 0, 0, 0}, {0, 0, 30, 20}, {5, 0, 25, 20}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(FitRect(row.Src, row.Box), row.Expected);
    }
}

}  // namespace
}  // namespace ovrel::core
