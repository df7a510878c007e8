// Views: the viewer list against the item tree, and the layout (separators, inline groups, the chevron,
// wrapping, right alignment, vertical lines, scrolling, same widths, the empty size). Viewers of a fixed
// size keep the tables in whole pixels; the rows that measure text use the shared menu font.
#include "ViewsTestSupport.h"

#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolbars::testing;
using toolkit::TPoint;
using toolkit::TRect;

// Builds children from a pattern: an upper-case letter is a 30 x 20 item, a lower-case one the same item
// hidden, "|" a separator.
void Build(TTBCustomItem* root, std::string_view pattern)
{
    for (char c : pattern) {
        if (c == '|') {
            AddSeparator(root);
            continue;
        }
        TTBCustomItem* item = AddFixed(root, std::string(1, static_cast<char>(std::toupper(c))), 30, 20);
        item->SetVisible(std::isupper(static_cast<unsigned char>(c)) != 0);
    }
}

// ---- Separators ---------------------------------------------------------------------------------------------

struct SeparatorCase {
    const char* Name;
    const char* Spec;
    const char* Shown;
};

class SeparatorRules : public ::testing::TestWithParam<SeparatorCase> {};

TEST_P(SeparatorRules, NoneAtTheEndsOrTwoInARow)
{
    for (bool toolbar : {true, false}) {
        SCOPED_TRACE(toolbar ? "toolbar" : "menu");
        ItemPtr root = MakeRoot();
        Build(root.get(), GetParam().Spec);
        auto view = MakeView(root.get(), toolbar);
        view->EnsureLayout();
        EXPECT_EQ(Placed(*view), GetParam().Shown);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SeparatorRules,
                         ::testing::Values(SeparatorCase{"LeadingTrailingAndDoubled", "||A||B||", "A|B"},
                                           SeparatorCase{"HiddenItemBetweenTwo", "A|b|C", "A|C"},
                                           SeparatorCase{"HiddenItemFirst", "a|B", "B"},
                                           SeparatorCase{"HiddenItemLast", "A|b", "A"},
                                           SeparatorCase{"OnlySeparators", "|||", ""},
                                           SeparatorCase{"EachBetweenItems", "A|B|C", "A|B|C"}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST(ViewLayout, AViewShowingNothingIs23By22)
{
    for (const char* pattern : {"", "|a|", "bc"}) {
        SCOPED_TRACE(pattern);
        ItemPtr root = MakeRoot();
        Build(root.get(), pattern);
        auto view = MakeView(root.get(), true);
        TPoint base{0, 0};
        TPoint total{0, 0};
        int lines = 0;
        view->ComputeLayout(true, tbvoHorizontal, 0, 0, 0, base, total, lines);
        EXPECT_EQ(base, (TPoint{23, 22}));
        EXPECT_EQ(total, (TPoint{23, 22}));
        EXPECT_EQ(lines, 1);
    }
}

// ---- Inline groups ----------------------------------------------------------------------------------------

std::string Numbered(char prefix, int n)
{
    std::string out(1, prefix);
    out += std::to_string(n);
    return out;
}

class InlineGroups : public ::testing::Test {
protected:
    InlineGroups()
    {
        // Groups nested twelve deep, each with one leaf: group k shows at level k, its leaf at k + 1.
        TTBCustomItem* parent = Root.get();
        for (int k = 0; k < 12; ++k) {
            auto* group = AddChild<TInlineGroupItem>(parent, Numbered('G', k));
            Leaves.push_back(AddFixed(group, Numbered('L', k), 30, 20));
            Groups.push_back(group);
            parent = group;
        }
    }
    [[nodiscard]] int LevelOf(const TTBCustomItem* item) const
    {
        for (int i = 0; i < View->GetViewerCount(); ++i)
            if (View->GetViewer(i)->GetItem() == item)
                return View->GetViewer(i)->GetGroupLevel();
        return -1;
    }

    ItemPtr Root = MakeRoot();
    std::vector<TTBCustomItem*> Groups;
    std::vector<TTBCustomItem*> Leaves;
    std::unique_ptr<TTestView> View;
};

TEST_F(InlineGroups, ShowTheirChildrenInlineDownToLevel10)
{
    View = MakeView(Root.get(), false);
    EXPECT_EQ(View->SelfCheck(), "");
    for (int k = 0; k <= 10; ++k)
        EXPECT_EQ(LevelOf(Groups[k]), k) << "group " << k;
    for (int k = 0; k <= 9; ++k)
        EXPECT_EQ(LevelOf(Leaves[k]), k + 1) << "leaf " << k;
    EXPECT_EQ(LevelOf(Leaves[10]), -1);
    EXPECT_EQ(LevelOf(Groups[11]), -1);
    View->EnsureLayout();
    EXPECT_EQ(Placed(*View), "L0L1L2L3L4L5L6L7L8L9");  // the groups themselves take no room
}

TEST_F(InlineGroups, ChangesInsideAGroupReachTheViewAtTheRightPlace)
{
    View = MakeView(Root.get(), false, true);
    TTBCustomItem* first = new TFixedItem(nullptr, 30, 20);
    first->SetCaption("N");
    Groups[4]->Insert(0, first);  // before leaf 4, which comes before group 5
    EXPECT_EQ(View->SelfCheck(), "");
    EXPECT_EQ(View->IndexOfViewer(View->FindViewerOfItem(first)) + 1,
              View->IndexOfViewer(View->FindViewerOfItem(Leaves[4])));
    EXPECT_EQ(LevelOf(first), 5);

    AddFixed(Groups[10], "Deep", 30, 20);  // level 11: not shown
    EXPECT_EQ(View->SelfCheck(), "");

    delete Groups[3];  // the group goes with everything inside it
    EXPECT_EQ(View->SelfCheck(), "");
    EXPECT_EQ(View->GetViewerCount(), 6);  // G0 L0 G1 L1 G2 L2
}

TEST_F(InlineGroups, CustomizingShowsGroupsAsItems)
{
    View.reset(static_cast<TTestView*>(
        TTBView::CreateView(TTBViewClass::Of<TTestView>(), nullptr, nullptr, Root.get(), nullptr, false, true, false)));
    EXPECT_EQ(View->GetViewerCount(), 1);
    AddFixed(Groups[0], "Later", 30, 20);
    EXPECT_EQ(View->GetViewerCount(), 1);
    EXPECT_EQ(View->SelfCheck(), "");
}

// ---- Item notifications -----------------------------------------------------------------------------------

TEST(ViewNotifications, TheViewersFollowEveryKindOfChange)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem* a = AddFixed(root.get(), "A", 30, 20);
    auto* group = AddChild<TInlineGroupItem>(root.get(), "G");
    AddFixed(group, "G1", 30, 20);
    AddFixed(group, "G2", 30, 20);
    AddFixed(root.get(), "B", 30, 20);
    ItemPtr other = MakeRoot();
    AddFixed(other.get(), "O1", 30, 20);
    auto view = MakeView(root.get(), true, true);

    struct Step {
        const char* Name;
        std::function<void()> Do;
    };
    const Step steps[] = {
        {"insert first", [&] { root->Insert(0, new TFixedItem(nullptr, 30, 20)); }},
        {"add last", [&] { AddFixed(root.get(), "Z", 30, 20); }},
        {"insert into the group", [&] { group->Insert(1, new TFixedItem(nullptr, 30, 20)); }},
        {"move", [&] { root->Move(root->IndexOf(a), 3); }},
        {"delete from the group", [&] { delete group->GetItem(0); }},
        {"link the group", [&] { group->SetLinkSubitems(other.get()); }},
        {"add to the linked item", [&] { AddFixed(other.get(), "O2", 30, 20); }},
        {"rebuild the viewers of one item", [&] { root->Notify(tbcRebuildViewers, -1, a); }},
        {"unlink the group", [&] { group->SetLinkSubitems(nullptr); }},
        {"clear the group", [&] { group->Clear(); }},
        {"link the view's item", [&] { root->SetLinkSubitems(other.get()); }},
        {"unlink the view's item", [&] { root->SetLinkSubitems(nullptr); }},
        {"free an item", [&] { delete a; }},
        {"clear", [&] { root->Clear(); }},
    };
    for (const Step& step : steps) {
        step.Do();
        EXPECT_EQ(view->SelfCheck(), "") << "after: " << step.Name;
    }
}

TEST(ViewNotifications, LayoutWaitsForTheLastEndOfAnUpdate)
{
    ItemPtr root = MakeRoot();
    AddFixed(root.get(), "A", 30, 20);
    auto view = MakeView(root.get(), true);
    view->EnsureLayout();
    root->BeginUpdate();
    AddFixed(root.get(), "B", 30, 20);
    AddFixed(root.get(), "C", 30, 20);
    EXPECT_FALSE(view->GetValidated());
    root->EndUpdate();
    EXPECT_TRUE(view->GetValidated());
    EXPECT_EQ(Placed(*view), "ABC");
}

TEST(ViewNotifications, NoViewerOfAnItemRaises)
{
    ItemPtr root = MakeRoot();
    TTBCustomItem stranger(nullptr);
    auto view = MakeView(root.get(), false);
    EXPECT_THROW((void)view->FindViewerOfItem(&stranger), ETBItemError);
}

TEST(ViewNotifications, DeletingTheSelectedViewerWhileItHoldsTheMouse)
{
    ItemPtr root = MakeRoot();
    AddFixed(root.get(), "A", 30, 20);
    TTBCustomItem* b = AddFixed(root.get(), "B", 30, 20);
    auto view = MakeView(root.get(), true, true);
    view->Select(view->FindViewerOfItem(b));
    view->BeginCapture();
    delete b;  // as a command run inside the menu loop may do
    EXPECT_EQ(view->GetSelected(), nullptr);
    EXPECT_FALSE(view->GetCapture());
    EXPECT_FALSE(view->GetMouseOverSelected());
    EXPECT_EQ(view->SelfCheck(), "");
    view->CancelCapture();  // the release that follows finds nothing to tell
    EXPECT_EQ(view->SelfCheck(), "");
}

TEST(ViewNotifications, AFreedParentItemLeavesTheRootViewEmpty)
{
    auto root = MakeRoot();
    AddFixed(root.get(), "A", 30, 20);
    auto view = MakeView(root.get(), true);
    root.reset();
    EXPECT_EQ(view->GetParentItem(), nullptr);
    EXPECT_EQ(view->GetCurParentItem(), nullptr);
    EXPECT_EQ(view->GetViewerCount(), 0);
    view->EnsureLayout();
    EXPECT_EQ(view->GetBaseSize(), (TPoint{23, 22}));
}

// ---- Chevron ----------------------------------------------------------------------------------------------

class ChevronLayout : public ::testing::Test {
protected:
    ChevronLayout()
    {
        Chevron.SetCaption(">>");
        for (const char* name : {"A", "B"})
            Items.push_back(AddFixed(Root.get(), name, 30, 20));
        AddSeparator(Root.get());
        for (const char* name : {"C", "D"})
            Items.push_back(AddFixed(Root.get(), name, 30, 20));
    }
    void MakeToolbar(bool usePriorityList)
    {
        View = MakeView(Root.get(), true, usePriorityList);
        View->Chevron = &Chevron;
        View->RecreateAllViewers();
        View->SetChevronSize(12);
    }
    void LayOut(int chevronOffset)
    {
        View->SetChevronOffset(chevronOffset);
        View->InvalidatePositions();
        View->EnsureLayout();
    }
    [[nodiscard]] const TTBItemViewer* ChevronViewer() const { return View->FindViewerOfItem(&Chevron); }

    ItemPtr Root = MakeRoot();
    TStyledItem Chevron{nullptr, itsSubmenu};
    std::vector<TTBCustomItem*> Items;
    std::unique_ptr<TTestView> View;
};

TEST_F(ChevronLayout, StaysHiddenWhileEverythingFits)
{
    MakeToolbar(true);
    LayOut(200);
    EXPECT_EQ(Placed(*View), "AB|CD");
    EXPECT_FALSE(ChevronViewer()->IsPlaced());
}

TEST_F(ChevronLayout, LowestPriorityGoesFirstAndTheChevronIsPlacedAndEnabled)
{
    MakeToolbar(true);
    Chevron.SetEnabled(false);
    LayOut(80);  // 68 before the chevron
    EXPECT_EQ(Placed(*View), "AB>>");
    EXPECT_TRUE(View->FindViewerOfItem(Items[3])->IsOverflowed());
    EXPECT_TRUE(View->FindViewerOfItem(Items[2])->IsOverflowed());
    EXPECT_EQ(View->GetBaseSize().x, 60);
    EXPECT_TRUE(Chevron.GetEnabled());
    ASSERT_TRUE(ChevronViewer()->IsPlaced());
    EXPECT_EQ(ChevronViewer()->GetBoundsRect(), (TRect{68, 0, 80, 20}));
    EXPECT_EQ(View->ViewerFromPoint(TPoint{74, 10}), ChevronViewer());  // painted and hit like any viewer

    // The item just used keeps its place from now on.
    View->GivePriority(View->FindViewerOfItem(Items[3]));
    EXPECT_EQ(Placed(*View), "A|D>>");
    EXPECT_TRUE(View->FindViewerOfItem(Items[1])->IsOverflowed());
}

TEST_F(ChevronLayout, WithoutAPriorityListTheLastGoFirst)
{
    MakeToolbar(false);
    LayOut(80);
    EXPECT_EQ(Placed(*View), "AB>>");
    View->GivePriority(View->FindViewerOfItem(Items[3]));  // no list: nothing moves
    EXPECT_EQ(Placed(*View), "AB>>");
}

TEST_F(ChevronLayout, NeverHidesTheLastNonSeparator)
{
    MakeToolbar(true);
    LayOut(20);
    EXPECT_EQ(Placed(*View), "A>>");
    // The rest does not fit before the chevron's offset: it goes after the rest.
    EXPECT_EQ(ChevronViewer()->GetBoundsRect(), (TRect{30, 0, 42, 20}));
}

TEST_F(ChevronLayout, HighestPriorityViewerIsTheFirstShownInPriorityOrder)
{
    MakeToolbar(true);
    LayOut(200);
    EXPECT_EQ(View->HighestPriorityViewer(), View->FindViewerOfItem(Items[0]));
    View->GivePriority(View->FindViewerOfItem(Items[2]));
    EXPECT_EQ(View->HighestPriorityViewer(), View->FindViewerOfItem(Items[2]));
}

TEST_F(ChevronLayout, TheChevronsPopupShowsWhatOverflowedAndGivesPriorityBack)
{
    MakeToolbar(true);
    LayOut(80);
    Chevron.SetLinkSubitems(Root.get());
    auto popup = MakeView<TTestPopupView>(&Chevron, false);
    popup->SetChevronParentView(View.get());
    popup->SetIsToolbar(true);
    popup->EnsureLayout();
    EXPECT_EQ(Placed(*popup), "CD");  // the separator before them would lead the line

    // Using D there keeps it on the toolbar from now on.
    popup->GivePriority(popup->FindViewerOfItem(Items[3]));
    EXPECT_EQ(Placed(*View), "A|D>>");
    EXPECT_EQ(View->SelfCheck(), "");
}

class ControlOverflow : public ::testing::Test {
protected:
    ControlOverflow()
    {
        Form->SetBounds(0, 0, 400, 200);
        Window->SetParent(Form.get());
        Window->SetBounds(0, 0, 300, 40);
        Edit->SetParent(Window);
        Edit->SetBounds(0, 0, 50, 20);
        Root->Add(new TTBControlItem(nullptr, Edit));
        Plain = AddFixed(Root.get(), "A", 30, 20);
        View.reset(static_cast<TTestView*>(TTBView::CreateView(TTBViewClass::Of<TTestView>(), nullptr, nullptr,
                                                               Root.get(), Window, true, false, true)));
        View->Chevron = &Chevron;
        View->RecreateAllViewers();
        View->SetChevronSize(12);
        Window->View = View.get();
        Form->Show();
    }
    ~ControlOverflow() override
    {
        Window->View = nullptr;
        View.reset();
        Root.reset();
    }

    std::unique_ptr<toolkit::TForm> Form = std::make_unique<toolkit::TForm>(nullptr);
    TViewWindow* Window = new TViewWindow(Form.get());
    toolkit::TEdit* Edit = new toolkit::TEdit(Form.get());
    ItemPtr Root = MakeRoot();
    TTBCustomItem* Plain = nullptr;
    TStyledItem Chevron{nullptr, itsSubmenu};
    std::unique_ptr<TTestView> View;
};

TEST_F(ControlOverflow, TheChevronIsEnabledOnlyWhenAnItemItCanShowOverflowed)
{
    View->SetChevronOffset(60);
    View->InvalidatePositions();
    View->EnsureLayout();
    EXPECT_EQ(Edit->GetLeft(), 0);  // the control is placed where its viewer is
    EXPECT_TRUE(View->FindViewerOfItem(Plain)->IsOverflowed());
    EXPECT_TRUE(Chevron.GetEnabled());

    View->GivePriority(View->FindViewerOfItem(Plain));
    EXPECT_TRUE(View->GetViewer(0)->IsOverflowed());
    EXPECT_FALSE(Chevron.GetEnabled());  // a chevron's pop-up never shows controls
    // The control is put out of sight, keeping its size.
    EXPECT_EQ(Edit->GetLeft(), Window->GetClientWidth());
    EXPECT_EQ(Edit->GetTop(), Window->GetClientHeight());
    EXPECT_EQ(Edit->GetWidth(), 50);
    std::vector<toolkit::TWinControl*> overflowed;
    View->GetOverflowedWinControls(overflowed);
    EXPECT_EQ(overflowed, std::vector<toolkit::TWinControl*>{Edit});
}

// ---- Wrapping, right alignment, vertical lines -------------------------------------------------------------

struct WrapResult {
    int Lines;
    TPoint Total;
};

WrapResult LayOutWrapped(TTBView& view, TTBViewOrientation orientation, int wrapOffset, TPoint total = {0, 0})
{
    TPoint base{0, 0};
    int lines = 0;
    view.ComputeLayout(true, orientation, wrapOffset, 0, 0, base, total, lines);
    return {lines, total};
}

TEST(ViewWrapping, AnItemThatDoesNotFitStartsTheNextLine)
{
    ItemPtr root = MakeRoot();
    Build(root.get(), "ABCD");
    auto view = MakeView(root.get(), true);
    const WrapResult r = LayOutWrapped(*view, tbvoHorizontal, 70);
    EXPECT_EQ(r.Lines, 2);
    EXPECT_EQ(r.Total, (TPoint{70, 40}));
    EXPECT_EQ(BoundsOf(*view, root->GetItem(1)), (TRect{30, 0, 60, 20}));
    EXPECT_EQ(BoundsOf(*view, root->GetItem(2)), (TRect{0, 20, 30, 40}));
}

TEST(ViewWrapping, ASeparatorBeforeAGroupThatDoesNotFitBecomesALineBreakAcrossTheToolbar)
{
    ItemPtr root = MakeRoot();
    Build(root.get(), "AB|CD");
    auto view = MakeView(root.get(), true);
    const WrapResult r = LayOutWrapped(*view, tbvoHorizontal, 70);
    EXPECT_EQ(r.Lines, 2);
    const TTBItemViewer* separator = view->GetViewer(2);
    EXPECT_TRUE(separator->IsDrawnAsLineBreak());
    EXPECT_EQ(separator->GetBoundsRect(), (TRect{0, 20, 70, 26}));
    EXPECT_EQ(BoundsOf(*view, root->GetItem(3)), (TRect{0, 26, 30, 46}));
    EXPECT_EQ(r.Total, (TPoint{70, 46}));
}

TEST(ViewWrapping, AfterAWrapSeparatorsBreakLinesUnlessTheySayNot)
{
    for (bool noWrapBreak : {false, true}) {
        SCOPED_TRACE(noWrapBreak ? "itsNoWrapBreak" : "plain separator");
        ItemPtr root = MakeRoot();
        Build(root.get(), "ABC");
        AddSeparator(root.get(), noWrapBreak ? itsNoWrapBreak : 0);
        Build(root.get(), "D");
        auto view = MakeView(root.get(), true);
        // C wraps; the separator and D would still fit after it on the second line.
        const WrapResult r = LayOutWrapped(*view, tbvoHorizontal, 70);
        EXPECT_EQ(r.Lines, noWrapBreak ? 2 : 3);
        EXPECT_EQ(view->GetViewer(3)->IsDrawnAsLineBreak(), !noWrapBreak);
        const TRect d = BoundsOf(*view, root->GetItem(4));
        EXPECT_EQ(d, noWrapBreak ? (TRect{36, 20, 66, 40}) : (TRect{0, 46, 30, 66}));
    }
}

TEST(ViewWrapping, RightAlignedItemsGoToTheEndOfTheirLine)
{
    ItemPtr root = MakeRoot();
    Build(root.get(), "AB");
    TTBCustomItem* right = AddFixed(root.get(), "R", 30, 20, itsRightAlign);
    Build(root.get(), "C");
    auto view = MakeView(root.get(), true);
    // One line, as wide as a full-size menu bar makes it.
    LayOutWrapped(*view, tbvoHorizontal, 200, TPoint{200, 0});
    EXPECT_EQ(BoundsOf(*view, root->GetItem(1)), (TRect{30, 0, 60, 20}));
    EXPECT_EQ(BoundsOf(*view, right), (TRect{140, 0, 170, 20}));
    EXPECT_EQ(BoundsOf(*view, root->GetItem(3)), (TRect{170, 0, 200, 20}));
    // Wrapped: the second line's right-aligned run ends at the wrap offset.
    LayOutWrapped(*view, tbvoHorizontal, 70);
    EXPECT_EQ(BoundsOf(*view, right), (TRect{10, 20, 40, 40}));
    EXPECT_EQ(BoundsOf(*view, root->GetItem(3)), (TRect{40, 20, 70, 40}));
}

TEST(ViewWrapping, VerticalLinesRunFromRightToLeft)
{
    ItemPtr root = MakeRoot();
    Build(root.get(), "ABC");
    auto view = MakeView(root.get(), true);
    const WrapResult r = LayOutWrapped(*view, tbvoVertical, 50);
    EXPECT_EQ(r.Lines, 2);
    EXPECT_EQ(r.Total, (TPoint{60, 50}));
    EXPECT_EQ(BoundsOf(*view, root->GetItem(0)), (TRect{30, 0, 60, 20}));
    EXPECT_EQ(BoundsOf(*view, root->GetItem(1)), (TRect{30, 20, 60, 40}));
    EXPECT_EQ(BoundsOf(*view, root->GetItem(2)), (TRect{0, 0, 30, 20}));
}

TEST(ViewWrapping, ItemsAreCentredAcrossTheirLineAndStretchedOnesFillIt)
{
    ItemPtr root = MakeRoot();
    AddFixed(root.get(), "Tall", 30, 30);
    AddFixed(root.get(), "Low", 30, 10);
    AddFixed(root.get(), "Stretch", 30, 10, itsStretch);
    auto view = MakeView(root.get(), true);
    LayOutWrapped(*view, tbvoHorizontal, 0);
    EXPECT_EQ(BoundsOf(*view, root->GetItem(1)), (TRect{30, 10, 60, 20}));
    EXPECT_EQ(BoundsOf(*view, root->GetItem(2)), (TRect{60, 0, 90, 30}));
    // A docked toolbar centres its single line in the row it is given.
    LayOutWrapped(*view, tbvoHorizontal, 0, TPoint{0, 40});
    EXPECT_EQ(BoundsOf(*view, root->GetItem(1)), (TRect{30, 15, 60, 25}));
}

TEST(ViewWrapping, FloatingMarginsSurroundTheLines)
{
    ItemPtr root = MakeRoot();
    Build(root.get(), "AB");
    auto view = MakeView(root.get(), true);
    const WrapResult r = LayOutWrapped(*view, tbvoFloating, 0);
    EXPECT_EQ(BoundsOf(*view, root->GetItem(0)), (TRect{4, 2, 34, 22}));
    EXPECT_EQ(r.Total, (TPoint{4 + 60 + 4, 2 + 20 + 1}));
}

// ---- Pop-ups: menu rows and scrolling ---------------------------------------------------------------------

TEST(PopupLayout, RowsTakeTheWidestWidthAndSeparatorsTheirOwnHeight)
{
    ItemPtr root = MakeRoot();
    AddChild(root.get(), "&Open");
    AddSeparator(root.get());
    AddChild(root.get(), "E&xit the program");
    auto view = MakeView(root.get(), false);
    view->EnsureLayout();
    const TRect open = view->GetViewer(0)->GetBoundsRect();
    const TRect separator = view->GetViewer(1)->GetBoundsRect();
    const TRect exit = view->GetViewer(2)->GetBoundsRect();
    EXPECT_EQ(open.right, exit.right);
    EXPECT_EQ(separator.left, 0);
    EXPECT_EQ(separator.right, exit.right);
    EXPECT_EQ(separator.top, open.bottom);
    EXPECT_EQ(exit.top, separator.bottom);
    EXPECT_LT(separator.bottom - separator.top, open.bottom - open.top);
}

class PopupScrolling : public ::testing::Test {
protected:
    PopupScrolling()
    {
        for (int i = 0; i < 10; ++i)
            AddFixed(Root.get(), std::string(1, static_cast<char>('0' + i)), 50, 20);
        View = MakeView<TTestPopupView>(Root.get(), false);
        View->SetMaxHeight(117);  // the down band starts at 98
        View->EnsureLayout();
    }
    [[nodiscard]] const TTBItemViewer* V(int i) const { return View->GetViewer(i); }

    ItemPtr Root = MakeRoot();
    std::unique_ptr<TTestPopupView> View;
};

TEST_F(PopupScrolling, ItemsUnderTheBandsAreScrolledOutAndThePopupIsTheMaximumHeight)
{
    EXPECT_EQ(Placed(*View), "0123");
    EXPECT_TRUE(V(4)->IsScrolledOut());  // its bottom, 100, is in the band
    EXPECT_FALSE(View->GetShowUpArrow());
    EXPECT_TRUE(View->GetShowDownArrow());
    TPoint base{0, 0};
    TPoint total{0, 0};
    int lines = 0;
    View->ComputeLayout(false, tbvoHorizontal, 0, 0, 0, base, total, lines);
    EXPECT_EQ(total.y, 117);
}

TEST_F(PopupScrolling, ScrollingByItemsAtTheBandEdges)
{
    View->ScrollByItem(true);  // the first bottom below 98 is 100: two pixels
    EXPECT_EQ(View->GetScrollOffset(), 2);
    EXPECT_TRUE(View->GetShowUpArrow());
    EXPECT_EQ(V(1)->GetBoundsRect().top, 18);  // under the up band by one pixel
    EXPECT_TRUE(V(1)->IsScrolledOut());
    EXPECT_EQ(Placed(*View), "234");

    // Its top is 18: scrolled by top - 19, it sits just below the band.
    View->Select(View->GetViewer(1));
    View->ScrollSelectedIntoView();
    EXPECT_EQ(View->GetScrollOffset(), 1);
    EXPECT_EQ(V(1)->GetBoundsRect().top, 19);
    EXPECT_TRUE(V(1)->IsPlaced());

    // A viewer below (top 99) comes in by its bottom.
    View->Select(View->GetViewer(5));
    View->ScrollSelectedIntoView();
    EXPECT_EQ(View->GetScrollOffset(), 1 + (119 - 98));
    EXPECT_EQ(V(5)->GetBoundsRect().bottom, 98);
    EXPECT_TRUE(V(5)->IsPlaced());

    // Up by items until the top shows: the band goes with the offset.
    while (View->GetShowUpArrow())
        View->ScrollByItem(false);
    EXPECT_EQ(View->GetScrollOffset(), 0);
    EXPECT_TRUE(V(0)->IsPlaced());
    View->ScrollByItem(false);  // nothing above any more
    EXPECT_EQ(View->GetScrollOffset(), 0);
}

TEST_F(PopupScrolling, ThePopupWindowTakesTheMaximumHeightAndItsFrame)
{
    toolkit::TForm form(nullptr);
    auto* window = new TFakePopupWindow(&form);
    window->SetParent(&form);
    auto view = std::unique_ptr<TTBView>(TTBView::CreateView(TTBViewClass::Of<TTBPopupView>(), nullptr, nullptr,
                                                             Root.get(), window, false, false, false));
    view->SetMaxHeight(117);
    view->EnsureLayout();
    EXPECT_EQ(window->GetHeight(), 117 + 2 * 3);
    EXPECT_EQ(window->GetWidth(), 50 + 2 * 3);
}

// ---- Same width -------------------------------------------------------------------------------------------

TEST(ViewLayout, SameWidthItemsAllTakeTheWidestOnesWidth)
{
    ItemPtr root = MakeRoot();
    std::vector<TTBCustomItem*> same;
    for (const char* caption : {"A", "A much wider caption", "B"}) {
        TTBCustomItem* item = AddChild(root.get(), caption);
        item->SetOptions({tboImageAboveCaption, tboSameWidth});
        same.push_back(item);
    }
    TTBCustomItem* own = AddChild(root.get(), "A");
    own->SetOptions({tboImageAboveCaption});
    auto view = MakeView(root.get(), true);
    view->EnsureLayout();
    const auto width = [&](const TTBCustomItem* item) {
        const TRect& r = BoundsOf(*view, item);
        return r.right - r.left;
    };
    EXPECT_EQ(width(same[0]), width(same[1]));
    EXPECT_EQ(width(same[2]), width(same[1]));
    EXPECT_LT(width(own), width(same[1]));
    EXPECT_EQ(BoundsOf(*view, own).left, 3 * width(same[1]));
}

}  // namespace
}  // namespace ovrel::toolbars
