// Where a pop-up goes: context menus at a point with their alignments, drop-downs from horizontal and
// vertical toolbars, submenus that open leftwards when they must, and the animation direction.
#include "toolbars/Items.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;

class FakeParentView final : public ITBPopupParentView {
public:
    bool IsVertical() const override { return Vertical; }
    TPoint GetClientOriginOnScreen() const override { return Origin; }
    void ForEachShownViewer(const std::function<void(const TRect&)>& visit) const override
    {
        for (const TRect& r : Viewers)
            visit(r);
    }

    bool Vertical = false;
    TPoint Origin{0, 0};
    std::vector<TRect> Viewers;  // client coordinates
};

constexpr TRect kMonitor{0, 0, 1024, 768};

enum class Parent { None, Horizontal, Vertical };

struct PlacementRow {
    const char* name;
    Parent parent;
    bool asSubmenu;
    TPopupAlignment alignment;
    bool oppositeSide;
    TRect parentItem;
    TPoint start;  // X, Y as the pop-up's creation sets them
    TSize size;
    TPoint placed;
    bool openedLeftwards;
    std::uint8_t animation;
    TRect monitor = kMonitor;
};

class Placement : public ::testing::TestWithParam<PlacementRow> {};

TEST_P(Placement, KeepsThePopupOnItsMonitorAndOffItsParentItem)
{
    const PlacementRow& row = GetParam();
    FakeParentView view;
    view.Vertical = row.parent == Parent::Vertical;
    TPopupPositionRec rec;
    rec.AsSubmenu = row.asSubmenu;
    rec.Alignment = row.alignment;
    rec.OppositeSide = row.oppositeSide;
    rec.MonitorRect = row.monitor;
    rec.ParentItemRect = row.parentItem;
    rec.FrameX = 3;
    rec.FrameY = 3;
    rec.X = row.start.x;
    rec.Y = row.start.y;
    rec.Width = row.size.cx;
    rec.Height = row.size.cy;
    TTBCustomItem item(nullptr);
    item.GetPopupPosition(row.parent == Parent::None ? nullptr : &view, rec);
    EXPECT_EQ((TPoint{rec.X, rec.Y}), row.placed);
    EXPECT_EQ(rec.OpenedLeftwards, row.openedLeftwards);
    EXPECT_EQ(rec.AnimationDirection, row.animation);
    EXPECT_EQ(rec.Width, row.size.cx);
    EXPECT_EQ(rec.Height, row.size.cy);
}

// A context menu at a point: its parent item is the empty rectangle there.
PlacementRow AtPoint(const char* name, TPopupAlignment alignment, TPoint point, int startX, TSize size, TPoint placed,
                     std::uint8_t animation)
{
    const TRect item{point.x, point.y, point.x, point.y};
    const TPoint start{startX, point.y};
    return {name, Parent::None, false, alignment, false, item, start, size, placed, false, animation};
}

PlacementRow DropDown(const char* name, Parent parent, TRect item, TPoint start, TSize size, TPoint placed,
                      std::uint8_t animation)
{
    return {name, parent, false, paLeft, false, item, start, size, placed, false, animation};
}

PlacementRow Submenu(const char* name, bool parentOpenedLeftwards, TRect item, TSize size, TPoint placed,
                     bool leftwards, std::uint8_t animation, TRect monitor = kMonitor)
{
    // Where the pop-up's creation puts a submenu: beside the item, its frame lined up with the item's.
    const TPoint start{item.right - 3, item.top - 3};
    return {name,   Parent::Horizontal, true,      paLeft, parentOpenedLeftwards, item, start, size,
            placed, leftwards,          animation, monitor};
}

constexpr std::uint8_t L = tbadLeft, R = tbadRight, D = tbadDown, U = tbadUp;
constexpr TSize kMenu{150, 200};
INSTANTIATE_TEST_SUITE_P(
    Rows, Placement,
    ::testing::Values(
        AtPoint("PointFits", paLeft, {100, 100}, 100, kMenu, {100, 100}, R | D),
        AtPoint("LeftAlignedAtTheRightEdgeOpensLeftOfThePoint", paLeft, {950, 100}, 950, kMenu, {800, 100}, L | D),
        AtPoint("RightAlignedAtTheRightEdgeIsClamped", paRight, {1100, 100}, 950, kMenu, {874, 100}, L | D),
        AtPoint("RightAlignedPastTheLeftEdgeOpensRightOfThePoint", paRight, {50, 100}, -100, kMenu, {50, 100}, R | D),
        AtPoint("CentredAtTheRightEdgeIsClamped", paCenter, {1000, 100}, 925, kMenu, {874, 100}, D),
        AtPoint("AtTheBottomFlipsAboveThePoint", paLeft, {100, 700}, 100, kMenu, {100, 500}, R | U),
        AtPoint("TallerThanTheRoomAboveIsClamped", paLeft, {100, 700}, 100, {150, 760}, {100, 8}, R),
        // Drop-downs from a horizontal toolbar or menu bar, and from a vertical toolbar.
        DropDown("DropDownFits", Parent::Horizontal, {100, 0, 150, 20}, {100, 20}, kMenu, {100, 20}, D),
        DropDown("DropDownFromTheBottomOpensUpwards", Parent::Horizontal, {100, 740, 150, 760}, {100, 760}, kMenu,
                 {100, 540}, U),
        DropDown("DropDownAtTheRightEdgeEndsThere", Parent::Horizontal, {1000, 0, 1020, 20}, {1000, 20}, kMenu,
                 {874, 20}, D),
        DropDown("OverlappingItsItemWithoutRoomAboveMovesBesideIt", Parent::Horizontal, {100, 10, 150, 30}, {100, 20},
                 {150, 100}, {150, 20}, R),
        DropDown("BesideAVerticalToolbar", Parent::Vertical, {0, 100, 30, 130}, {-150, 100}, kMenu, {30, 100}, R),
        DropDown("LeftOfAVerticalToolbarAtTheRightEdge", Parent::Vertical, {994, 100, 1024, 130}, {844, 100}, kMenu,
                 {844, 100}, L),
        // Submenus.
        Submenu("SubmenuFitsToTheRight", false, {200, 100, 350, 120}, kMenu, {347, 97}, false, R),
        Submenu("SubmenuAtTheRightEdgeOpensLeftwards", false, {800, 100, 950, 120}, kMenu, {653, 97}, true, L),
        Submenu("SubmenuOfALeftwardsMenuKeepsGoingLeft", true, {400, 100, 550, 120}, kMenu, {253, 97}, true, L),
        Submenu("SubmenuOfALeftwardsMenuTurnsRightWhenTheLeftIsFull", true, {50, 100, 200, 120}, kMenu, {197, 97},
                false, R),
        Submenu("SubmenuFittingNeitherSideStaysOnTheMonitor", false, {50, 100, 200, 120}, {200, 200}, {0, 97}, true, L,
                {0, 0, 300, 768}),
        Submenu("SubmenuAtTheBottomEndsAtItsItemsBottom", false, {200, 700, 350, 720}, kMenu, {347, 523}, false, R)),
    [](const auto& info) { return std::string(info.param.name); });

// A submenu record as the pop-up's creation fills it.
TPopupPositionRec SubmenuRec(const TRect& item, bool parentOpenedLeftwards, TSize size)
{
    TPopupPositionRec rec;
    rec.AsSubmenu = true;
    rec.OppositeSide = parentOpenedLeftwards;
    rec.MonitorRect = kMonitor;
    rec.ParentItemRect = item;
    rec.FrameX = 3;
    rec.FrameY = 3;
    rec.X = item.right - 3;
    rec.Y = item.top - 3;
    rec.Width = size.cx;
    rec.Height = size.cy;
    return rec;
}

TEST(Placement, ADropDownGoesWhereItHidesFewerOfTheToolbarsItems)
{
    // A two-row toolbar at y = 600: the item is in the first row, another viewer right below it.
    FakeParentView toolbar;
    toolbar.Origin = TPoint{0, 600};
    toolbar.Viewers = {TRect{100, 0, 150, 20}, TRect{100, 30, 150, 50}};
    TPopupPositionRec rec;
    rec.MonitorRect = kMonitor;
    rec.ParentItemRect = TRect{100, 600, 150, 620};
    rec.X = 100;
    rec.Y = 620;
    rec.Width = 150;
    rec.Height = 100;
    EXPECT_EQ(CountCoveredViewers(&toolbar, rec, 100, 620), 1);
    EXPECT_EQ(CountCoveredViewers(&toolbar, rec, 100, 500), 0);
    EXPECT_EQ(CountCoveredViewers(nullptr, rec, 100, 620), 0);
    TTBCustomItem item(nullptr);
    item.GetPopupPosition(&toolbar, rec);
    EXPECT_EQ(rec.Y, 500) << "above, where it covers nothing";
    EXPECT_EQ(rec.AnimationDirection, tbadUp);
}

TEST(Placement, ASubmenuChainOpensLeftwardsUntilThereIsNoRoomThenRightwards)
{
    FakeParentView menu;
    TTBCustomItem item(nullptr);
    TRect parentItem{700, 100, 1000, 120};
    bool parentOpenedLeftwards = false;
    std::vector<bool> leftwards;
    for (int level = 0; level < 4; ++level) {
        TPopupPositionRec rec = SubmenuRec(parentItem, parentOpenedLeftwards, TSize{300, 100});
        item.GetPopupPosition(&menu, rec);
        leftwards.push_back(rec.OpenedLeftwards);
        parentOpenedLeftwards = rec.OpenedLeftwards;
        parentItem = TRect{rec.X, rec.Y + 10, rec.X + rec.Width, rec.Y + 30};
    }
    EXPECT_EQ(leftwards, (std::vector<bool>{true, true, false, false}));
}

}  // namespace
}  // namespace ovrel::toolbars
