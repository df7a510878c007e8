// How a multi-dock shares its length among its panels, and how a split drag moves the sizes on both sides of a
// boundary: tables of sizes and limits.

#include "themes/PanelArrangement.h"

#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace ovrel::themes {
namespace {

constexpr int NoLimit = -1;  // a maximum below the minimum

struct StackingCase {
    const char* Name;
    std::vector<TStackingRecord> Records;  // MinSize, MaxSize, Size
    int Length;
    std::vector<int> Sizes;
    friend void PrintTo(const StackingCase& c, std::ostream* os) { *os << c.Name; }
};

class StackingTable : public ::testing::TestWithParam<StackingCase> {};

TEST_P(StackingTable, FillsTheLengthWithinTheLimits)
{
    std::vector<TStackingRecord> records = GetParam().Records;
    StackPanels(records, GetParam().Length);
    std::vector<int> sizes;
    int position = 0;
    for (const TStackingRecord& r : records) {
        sizes.push_back(r.Size);
        EXPECT_EQ(r.Position, position);
        position += r.Size;
    }
    EXPECT_EQ(sizes, GetParam().Sizes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StackingTable,
    ::testing::Values(
        // One third per record: the rounded running sum steps at the second (0.33, 0.67, 1.0 round to 0, 1, 1).
        StackingCase{"OneExtraPixelWhereTheSumSteps",
                     {{0, NoLimit, 100}, {0, NoLimit, 100}, {0, NoLimit, 100}},
                     301,
                     {100, 101, 100}},
        StackingCase{"OverfilledMinimaTakeTheirMinimum", {{200, NoLimit, 100}, {200, NoLimit, 100}}, 300, {200, 200}},
        StackingCase{"AMaximumHoldsAndTheRestGoesOn", {{0, 150, 100}, {0, NoLimit, 100}}, 400, {150, 250}},
        StackingCase{"SeveralPassesUntilTheDifferenceIsGone",
                     {{0, 120, 100}, {0, 130, 100}, {0, NoLimit, 100}},
                     450,
                     {120, 130, 200}},
        StackingCase{"ShrinkingStopsAtTheMinima",
                     {{140, NoLimit, 150}, {32, NoLimit, 150}, {32, NoLimit, 150}},
                     300,
                     {140, 80, 80}},
        // 2.5 rounds to 2, not 3: half to even.
        StackingCase{"HalfwayRoundsToEven", {{0, NoLimit, 100}, {0, NoLimit, 100}}, 205, {102, 103}},
        StackingCase{"NegativeHalfwayRoundsToEven", {{0, NoLimit, 100}, {0, NoLimit, 100}}, 195, {98, 97}},
        StackingCase{"AtLeastTheMaximaTakesThem", {{0, 50, 10}, {0, 60, 10}}, 200, {50, 60}},
        StackingCase{"SizesAreClampedFirst", {{0, 80, 500}, {0, NoLimit, 0}}, 300, {80, 220}},
        StackingCase{"AFittingStackIsLeftAlone", {{0, NoLimit, 100}, {0, NoLimit, 200}}, 300, {100, 200}},
        StackingCase{"RecordsThatCannotMoveKeepTheirSize",
                     {{100, 100, 100}, {0, NoLimit, 50}, {0, NoLimit, 50}},
                     301,
                     {100, 100, 101}},
        StackingCase{"NoRecords", {}, 300, {}}),
    [](const auto& row) { return std::string(row.param.Name); });

struct SplitCase {
    const char* Name;
    std::vector<TSplitRecord> Records;  // Size, MinSize, MaxSize
    int Boundary;
    int Travel;
    std::vector<int> Sizes;
    friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.Name; }
};

class SplitDragTable : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitDragTable, MovesTheBoundaryWithinTheLimitsOnBothSides)
{
    const std::vector<TSplitResult> result =
        DistributeSplitDrag(GetParam().Records, GetParam().Boundary, GetParam().Travel);
    std::vector<int> sizes;
    int position = 0;
    for (const TSplitResult& r : result) {
        sizes.push_back(r.Size);
        EXPECT_EQ(r.Position, position);
        position += r.Size;
    }
    EXPECT_EQ(sizes, GetParam().Sizes);
}

constexpr TSplitRecord Free{100, 20, 1000};

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitDragTable,
    ::testing::Values(
        SplitCase{"NearGrowsFarShrinks", {Free, Free, Free}, 0, 30, {130, 70, 100}},
        SplitCase{"TheNearSideTakesBackwards", {Free, {100, 20, 110}, Free}, 1, 30, {120, 110, 70}},
        SplitCase{"TheFarSideGivesForwards", {Free, Free, {100, 80, 1000}, {100, 50, 1000}}, 1, 50, {100, 150, 80, 70}},
        SplitCase{"AShortFarSideReducesTheTravel", {Free, Free, {100, 80, 1000}}, 1, 50, {100, 120, 80}},
        SplitCase{"TowardsTheStart", {Free, Free, Free}, 1, -90, {90, 20, 190}},
        SplitCase{"AFullNearSideMovesNothing", {{100, 20, 100}, Free}, 0, 40, {100, 100}},
        SplitCase{"NoTravel", {Free, Free}, 0, 0, {100, 100}}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(SplitDrag, ABoundaryWithoutAPanelOnEachSideIsAnAssertionFailure)
{
    const std::vector<TSplitRecord> records{Free, Free};
    EXPECT_THROW((void)DistributeSplitDrag(records, -1, 10), toolkit::EAssertionFailed);
    EXPECT_THROW((void)DistributeSplitDrag(records, 1, 10), toolkit::EAssertionFailed);
}

}  // namespace
}  // namespace ovrel::themes
