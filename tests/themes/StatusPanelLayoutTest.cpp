// How a status bar lays out its panels: hiding by view priority, stretching by stretch priority with the
// maximum sizes, and the placement in collection order.

#include "themes/StatusPanelLayout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace ovrel::themes {
namespace {

using toolkit::Rect;
using toolkit::TRect;

TStatusPanelLayout Panel(int size, int viewPriority = 100, int stretchPriority = 0, int maxSize = 0)
{
    TStatusPanelLayout p;
    p.Size = size;
    p.ViewPriority = viewPriority;
    p.StretchPriority = stretchPriority;
    p.MaxSize = maxSize;
    return p;
}

struct Placed {
    int Left;
    int Right;  // 0, 0: not shown
    bool AtRightEdge = false;
    friend bool operator==(const Placed&, const Placed&) = default;
    friend void PrintTo(const Placed& p, std::ostream* os)
    {
        *os << '[' << p.Left << ',' << p.Right << (p.AtRightEdge ? ",edge]" : "]");
    }
};
constexpr Placed Hidden{0, 0};

struct ArrangeCase {
    const char* Name;
    std::vector<TStatusPanelLayout> Panels;
    int Width;
    std::vector<Placed> Expected;
    friend void PrintTo(const ArrangeCase& c, std::ostream* os) { *os << c.Name; }
};

class ArrangePanelsTable : public ::testing::TestWithParam<ArrangeCase> {};

TEST_P(ArrangePanelsTable, PlacesThePanelsOfTheRow)
{
    std::vector<TStatusPanelLayout> panels = GetParam().Panels;
    ArrangePanels(panels, Rect(0, 0, GetParam().Width, 22));
    std::vector<Placed> placed;
    for (const TStatusPanelLayout& p : panels) {
        EXPECT_EQ(p.Shown, p.Rect.right != 0);
        if (p.Shown) {
            EXPECT_EQ(p.Rect.top, 2);
            EXPECT_EQ(p.Rect.bottom, 22);
            EXPECT_EQ(p.Rect.right - p.Rect.left, p.Width);
        } else {
            EXPECT_EQ(p.Rect, TRect{});
        }
        placed.push_back(Placed{p.Rect.left, p.Rect.right, p.AtRightEdge});
    }
    EXPECT_EQ(placed, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ArrangePanelsTable,
    ::testing::Values(
        ArrangeCase{"TheLowestPriorityIsHiddenAndTheRestStaysEmpty",
                    {Panel(100, 100), Panel(100, 50), Panel(100, 20)},
                    220,
                    {{0, 100}, {100, 200}, Hidden}},
        ArrangeCase{"TheLastShownPanelStretchesToTheEdge",
                    {Panel(100, 100), Panel(100, 50, 10), Panel(100, 20)},
                    220,
                    {{0, 100}, {100, 220, true}, Hidden}},
        ArrangeCase{"OnlyTheHigherStretchPriorityGrows",
                    {Panel(50, 100, 20), Panel(50, 100, 10)},
                    200,
                    {{0, 150}, {150, 200, true}}},
        ArrangeCase{
            "AMaximumPassesTheRestOn", {Panel(50, 100, 10), Panel(50, 100, 20, 80)}, 200, {{0, 120}, {120, 200, true}}},
        // Already at its maximum, the favourite takes nothing and the next panel gets the spare width.
        ArrangeCase{"APanelAtItsMaximumTakesNothing",
                    {Panel(50, 100, 10), Panel(80, 100, 20, 80)},
                    200,
                    {{0, 120}, {120, 200, true}}},
        ArrangeCase{"AMaximumAboveTheSpareDoesNotHold",
                    {Panel(50, 100, 10), Panel(50, 100, 20, 500)},
                    200,
                    {{0, 50}, {50, 200, true}}},
        ArrangeCase{"NobodyStretchesWithoutAPriority", {Panel(50), Panel(50)}, 200, {{0, 50}, {50, 100}}},
        ArrangeCase{"ViewPriorityZeroIsNeverShown", {Panel(50, 0, 50), Panel(50)}, 200, {Hidden, {0, 50}}},
        // Priority 100 is never hidden for lack of room, but a panel starting past the edge is not shown.
        ArrangeCase{"PanelsStartingPastTheEdgeAreHidden",
                    {Panel(100), Panel(100), Panel(100), Panel(100)},
                    220,
                    {{0, 100}, {100, 200}, {200, 300}, Hidden}},
        ArrangeCase{"ALonePanelStaysEvenWhenTooWide", {Panel(300, 10)}, 220, {{0, 300}}},
        ArrangeCase{"AmongEqualViewPrioritiesTheLaterIsHiddenFirst",
                    {Panel(100, 50), Panel(100, 50), Panel(100, 50)},
                    220,
                    {{0, 100}, {100, 200}, Hidden}},
        ArrangeCase{"AmongEqualStretchPrioritiesTheLaterStretchesFirst",
                    {Panel(50, 100, 10), Panel(50, 100, 10)},
                    200,
                    {{0, 50}, {50, 200, true}}},
        ArrangeCase{"TheMainWindowsTwoPanels", {Panel(8), Panel(800)}, 640, {{0, 8}, {8, 808}}},
        ArrangeCase{"NoPanels", {}, 200, {}}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(ArrangePanels, ClearsTheFlagsOfAnEarlierLayout)
{
    std::vector<TStatusPanelLayout> panels{Panel(100, 100, 10), Panel(100, 50)};
    ArrangePanels(panels, Rect(0, 0, 300, 22));
    ASSERT_TRUE(panels[1].AtRightEdge);
    ArrangePanels(panels, Rect(0, 0, 150, 22));
    EXPECT_FALSE(panels[1].Shown);
    EXPECT_FALSE(panels[1].AtRightEdge);
    EXPECT_TRUE(panels[0].AtRightEdge) << "the first panel now fills the bar";
    EXPECT_EQ(panels[0].Rect, Rect(0, 2, 150, 22));
}

}  // namespace
}  // namespace ovrel::themes
