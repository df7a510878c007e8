// Views during menu tracking, with the menu loop played by hand: the key table and the done action it
// leaves, accelerators, hover and the submenu timers (one pop-up, never two), the scroll bands, the mouse
// on viewers, focus events and the toolbar loop. Pop-ups come from a fake factory; time from a manual clock.
#include "ViewsTestSupport.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Services.h"
#include "toolbars/Common.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolbars::testing;
using toolkit::TPoint;
using toolkit::TRect;

TTBItemViewer* ViewerNamed(const TTBView& view, const std::string& caption)
{
    for (int i = 0; i < view.GetViewerCount(); ++i) {
        if (StripAccelChars(view.GetViewer(i)->GetCaptionText()) == caption)
            return view.GetViewer(i);
    }
    ADD_FAILURE() << "no viewer " << caption;
    return nullptr;
}

std::string SelectedCaption(const TTBView& view)
{
    return view.GetSelected() != nullptr ? StripAccelChars(view.GetSelected()->GetCaptionText()) : std::string();
}

// The selections down the chain of open pop-ups: "File>Recent>Two".
std::string Chain(const TTBView& root)
{
    std::string out = SelectedCaption(root);
    for (const TTBView* view = root.GetOpenViewerView(); view != nullptr; view = view->GetOpenViewerView()) {
        out += '>';
        out += SelectedCaption(*view);
    }
    return out;
}

std::string Done(const TTBView& root)
{
    const TMenuDoneAction& done = root.GetDoneAction();
    switch (done.Action) {
    case tbdaNone: return "none";
    case tbdaClose: return "close";
    case tbdaExecuteItem: {
        std::string out = "run ";
        out += StripAccelChars(done.Item->GetCaption());
        if (done.Extra != 0)
            out += " from a pop-up";
        return out;
    }
    case tbdaHelp: {
        std::string out = "help ";
        out += std::to_string(done.HelpContext);
        return out;
    }
    case tbdaSystemMenuKey: return "system key";
    }
    return "?";
}

TTBView* Deepest(TTBView* root)
{
    TTBView* view = root;
    while (view->GetOpenViewerView() != nullptr)
        view = view->GetOpenViewerView();
    return view;
}

TPoint CentreOnScreen(const TTBItemViewer* viewer)
{
    const TRect& r = viewer->GetBoundsRect();
    return viewer->GetView()->GetWindow()->ClientToScreen(TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

/// A form with a menu bar, a vertical toolbar and a context menu, each a view in the menu loop.
class MenuTracking : public ::testing::Test {
protected:
    MenuTracking()
    {
        Form->SetBounds(0, 0, 800, 600);
        TTBCustomItem* file = AddSubmenu(BarItems.get(), "&File");
        AddChild(file, "&Open");
        Save = AddChild(file, "&Save");
        AddSeparator(file);
        TTBCustomItem* recent = AddSubmenu(file, "&Recent");
        recent->SetHelpContext(7);
        AddChild(recent, "&One");
        AddChild(recent, "&Two");
        AddChild(file, "E&xit");
        TTBCustomItem* edit = AddSubmenu(BarItems.get(), "&Edit");
        AddChild(edit, "&Undo");
        AddChild(edit, "&Copy");
        AddChild(BarItems.get(), "&Help")->SetHelpContext(5);

        TTBCustomItem* x = AddSubmenu(SideItems.get(), "X");
        AddChild(x, "X1");
        AddChild(x, "X2");
        AddChild(SideItems.get(), "Y");

        AddChild(ContextItems.get(), "Cut");
        AddChild(AddSubmenu(ContextItems.get(), "Paste"), "P1");
        AddChild(ContextItems.get(), "Delete");

        Bar = MakeRootView<TTBView>(BarWindow, BarItems.get(), TRect{0, 0, 400, 24}, true);
        Bar->SetStyle(ViewStyleMenuBar);
        Side = MakeRootView<TTBView>(SideWindow, SideItems.get(), TRect{700, 100, 740, 300}, true);
        Side->SetOrientation(tbvoVertical);
        Context = MakeRootView<TTBPopupView>(ContextWindow, ContextItems.get(), TRect{300, 300, 400, 400}, false);
        Form->Show();
        for (TTBView* view : {Bar.get(), Side.get(), Context.get()}) {
            view->SetState(ViewStateModal);
            view->EnsureLayout();
        }
    }
    ~MenuTracking() override
    {
        Bar.reset();
        Side.reset();
        Context.reset();
    }

    template <class V>
    std::unique_ptr<TTBView> MakeRootView(TViewWindow*& window, TTBCustomItem* items, TRect bounds, bool toolbar)
    {
        window = toolbar ? new TViewWindow(Form.get()) : new TFakePopupWindow(Form.get());
        window->SetParent(Form.get());
        window->SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
        auto view = std::unique_ptr<TTBView>(
            TTBView::CreateView(TTBViewClass::Of<V>(), nullptr, nullptr, items, window, toolbar, false, false));
        window->View = view.get();
        return view;
    }

    // Selects down a path, opening each pop-up on the way: "File>Recent>Two"; an empty last part opens the
    // pop-up with nothing selected in it.
    TTBView* Open(TTBView* root, const std::string& path)
    {
        TTBView* view = root;
        std::size_t from = 0;
        for (bool first = true;; first = false) {
            const std::size_t to = path.find('>', from);
            const std::string part = path.substr(from, to == std::string::npos ? std::string::npos : to - from);
            if (!first) {
                EXPECT_TRUE(view->OpenChildPopup(false)) << part;
                view = view->GetOpenViewerView();
            }
            if (!part.empty())
                view->Select(ViewerNamed(*view, part));
            if (to == std::string::npos)
                return view;
            from = to + 1;
        }
    }

    ItemPtr BarItems = MakeRoot();
    ItemPtr SideItems = MakeRoot();
    ItemPtr ContextItems = MakeRoot();
    TTBCustomItem* Save = nullptr;
    std::unique_ptr<toolkit::TForm> Form = std::make_unique<toolkit::TForm>(nullptr);
    TFakePopupFactory Factory{Form.get()};
    TViewWindow* BarWindow = nullptr;
    TViewWindow* SideWindow = nullptr;
    TViewWindow* ContextWindow = nullptr;
    std::unique_ptr<TTBView> Bar;
    std::unique_ptr<TTBView> Side;
    std::unique_ptr<TTBView> Context;
};

// ---- Keys -------------------------------------------------------------------------------------------------

enum class Which : std::uint8_t { MenuBar, VerticalToolbar, ContextMenu };

struct KeyCase {
    const char* Name;
    Which Root;
    const char* Start;
    std::uint16_t Key;
    bool Shift;
    const char* After;
    const char* Done;
};

class MenuKeys : public MenuTracking, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(MenuKeys, MoveOpenCloseOrEndTheMenu)
{
    const KeyCase& row = GetParam();
    TTBView* root = row.Root == Which::MenuBar           ? Bar.get()
                    : row.Root == Which::VerticalToolbar ? Side.get()
                                                         : Context.get();
    Open(root, row.Start);
    std::uint16_t key = row.Key;
    Deepest(root)->KeyDown(key, row.Shift ? toolkit::TShiftState{toolkit::ssShift} : toolkit::TShiftState{});
    EXPECT_EQ(key, 0) << "the key is used";
    EXPECT_EQ(Chain(*root), row.After);
    EXPECT_EQ(Done(*root), row.Done);
    const std::string after = row.After;
    EXPECT_EQ(OpenPopupWindows(*Form), static_cast<int>(std::count(after.begin(), after.end(), '>')));
    for (TTBView* view = root; view != nullptr; view = view->GetOpenViewerView())
        EXPECT_EQ(view->SelfCheck(), "");
}

using ui::VK_DOWN;
using ui::VK_END;
using ui::VK_ESCAPE;
using ui::VK_F1;
using ui::VK_F10;
using ui::VK_HOME;
using ui::VK_LEFT;
using ui::VK_MENU;
using ui::VK_RETURN;
using ui::VK_RIGHT;
using ui::VK_TAB;
using ui::VK_UP;

INSTANTIATE_TEST_SUITE_P(
    Rows, MenuKeys,
    ::testing::Values(
        KeyCase{"TabGoesToTheNext", Which::MenuBar, "File>Open", VK_TAB, false, "File>Save", "none"},
        KeyCase{"TabStepsOverTheSeparator", Which::MenuBar, "File>Save", VK_TAB, false, "File>Recent", "none"},
        KeyCase{"ShiftTabWrapsToTheLast", Which::MenuBar, "File>Open", VK_TAB, true, "File>Exit", "none"},
        KeyCase{"HomeSelectsTheFirst", Which::MenuBar, "File>Recent", VK_HOME, false, "File>Open", "none"},
        KeyCase{"EndSelectsTheLast", Which::MenuBar, "File>Open", VK_END, false, "File>Exit", "none"},
        KeyCase{"DownOnTheBarOpensWithTheFirstItem", Which::MenuBar, "File", VK_DOWN, false, "File>Open", "none"},
        KeyCase{"UpInAPopup", Which::MenuBar, "File>Save", VK_UP, false, "File>Open", "none"},
        KeyCase{"RightOpensASubmenu", Which::MenuBar, "File>Recent", VK_RIGHT, false, "File>Recent>One", "none"},
        KeyCase{"RightOnAPlainItemGoesAlongTheBar", Which::MenuBar, "File>Open", VK_RIGHT, false, "Edit>Undo", "none"},
        KeyCase{"LeftInAFirstPopupGoesAlongTheBar", Which::MenuBar, "Edit>Copy", VK_LEFT, false, "File>Open", "none"},
        KeyCase{"LeftInASubmenuClosesIt", Which::MenuBar, "File>Recent>Two", VK_LEFT, false, "File>Recent", "none"},
        KeyCase{"LeftOnTheBar", Which::MenuBar, "Edit", VK_LEFT, false, "File", "none"},
        KeyCase{"RightOnTheBarWraps", Which::MenuBar, "Help", VK_RIGHT, false, "File", "none"},
        KeyCase{"EscapeInASubmenuGoesBackOneLevel", Which::MenuBar, "File>Recent>Two", VK_ESCAPE, false, "File>Recent",
                "none"},
        KeyCase{"EscapeInAFirstPopupLeavesTheBarItemSelected", Which::MenuBar, "File>Save", VK_ESCAPE, false, "File",
                "none"},
        KeyCase{"EscapeOnTheBarEndsTheMenu", Which::MenuBar, "File", VK_ESCAPE, false, "File", "close"},
        KeyCase{"ReturnRunsAnItem", Which::MenuBar, "File>Save", VK_RETURN, false, "File>Save",
                "run Save from a pop-up"},
        KeyCase{"ReturnOpensASubmenu", Which::MenuBar, "File>Recent", VK_RETURN, false, "File>Recent>One", "none"},
        KeyCase{"ReturnOnAPlainBarItem", Which::MenuBar, "Help", VK_RETURN, false, "Help", "run Help"},
        KeyCase{"AltEndsTheMenu", Which::MenuBar, "File>Open", VK_MENU, false, "File>Open", "close"},
        KeyCase{"F10EndsTheMenu", Which::MenuBar, "File>Open", VK_F10, false, "File>Open", "close"},
        KeyCase{"F1TakesTheNearestHelpUpTheParents", Which::MenuBar, "File>Recent>Two", VK_F1, false, "File>Recent>Two",
                "help 7"},
        KeyCase{"F1WithoutAnyHelp", Which::MenuBar, "Edit>Copy", VK_F1, false, "Edit>Copy", "none"},
        KeyCase{"RightOpensFromAVerticalToolbar", Which::VerticalToolbar, "X", VK_RIGHT, false, "X>X1", "none"},
        KeyCase{"LeftOpensFromAVerticalToolbarToo", Which::VerticalToolbar, "X", VK_LEFT, false, "X>X1", "none"},
        KeyCase{"LeftInAVerticalToolbarsPopupGoesBack", Which::VerticalToolbar, "X>X2", VK_LEFT, false, "X", "none"},
        KeyCase{"DownInAVerticalToolbar", Which::VerticalToolbar, "X", VK_DOWN, false, "Y", "none"},
        KeyCase{"LeftInAContextMenuDoesNothing", Which::ContextMenu, "Cut", VK_LEFT, false, "Cut", "none"},
        KeyCase{"RightOnAPlainContextItemDoesNothing", Which::ContextMenu, "Cut", VK_RIGHT, false, "Cut", "none"},
        KeyCase{"RightOpensAContextSubmenu", Which::ContextMenu, "Paste", VK_RIGHT, false, "Paste>P1", "none"},
        KeyCase{"LeftInAContextSubmenuGoesBack", Which::ContextMenu, "Paste>P1", VK_LEFT, false, "Paste", "none"},
        KeyCase{"EscapeEndsAContextMenu", Which::ContextMenu, "Cut", VK_ESCAPE, false, "Cut", "close"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(MenuTracking, OtherKeysAreLeftAlone)
{
    Open(Bar.get(), "File>Open");
    std::uint16_t key = 'Q';
    Deepest(Bar.get())->KeyDown(key, {});
    EXPECT_EQ(key, 'Q');
    EXPECT_EQ(Chain(*Bar), "File>Open");
}

// ---- Accelerators -----------------------------------------------------------------------------------------

struct AccelCase {
    const char* Name;
    const char* From;
    char32_t Char;
    bool ExplicitOnly;
    const char* Found;
    bool Unique;
};

class Accelerators : public ::testing::TestWithParam<AccelCase> {
protected:
    Accelerators()
    {
        for (const char* caption : {"&New", "&Open", "&Save", "Save &As", "Print", "Preview", " Indented"})
            AddChild(Root.get(), caption);
        AddChild(Root.get(), "Ex&it")->SetEnabled(false);
        AddChild(Root.get(), "\xC3\x89&\xC3\xA9"
                             "clair");  // "É&éclair": the accelerator is é
        AddChild(Root.get(), "&Hidden")->SetVisible(false);
        AddStyled(Root.get(), "&Unselectable", 0, itsSelectable);
        View = MakeView(Root.get(), false);
    }
    ItemPtr Root = MakeRoot();
    std::unique_ptr<TTestView> View;
};

TEST_P(Accelerators, FindTheMarkedLetterElseAFirstLetter)
{
    const AccelCase& row = GetParam();
    const TTBItemViewer* from = *row.From != '\0' ? ViewerNamed(*View, row.From) : nullptr;
    bool unique = !row.Unique;
    const TTBItemViewer* found = View->FindAccelerator(from, row.Char, row.ExplicitOnly, unique);
    EXPECT_EQ(found != nullptr ? StripAccelChars(found->GetCaptionText()) : std::string(), row.Found);
    if (found != nullptr) {
        EXPECT_EQ(unique, row.Unique);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Accelerators,
    ::testing::Values(AccelCase{"UniqueMark", "", U'o', false, "Open", true},
                      AccelCase{"CaseIgnored", "", U'O', false, "Open", true},
                      AccelCase{"MarkBeforeFirstLetters", "", U's', false, "Save", true},
                      AccelCase{"MarkAfterTheFirstLetter", "", U'a', false, "Save As", true},
                      AccelCase{"SharedFirstLetterFromTheStart", "", U'p', false, "Print", false},
                      AccelCase{"SharedFirstLetterAfterTheSelection", "Print", U'p', false, "Preview", false},
                      AccelCase{"SharedFirstLetterWraps", "Preview", U'p', false, "Print", false},
                      AccelCase{"CaptionsWithAMarkHaveNoFirstLetter", "", U'e', false, "", false},
                      AccelCase{"ExplicitOnlyIgnoresFirstLetters", "", U'p', true, "", false},
                      AccelCase{"ADisabledMatchIsOnlySelected", "", U'i', false, "Exit", false},
                      AccelCase{"FoldedPerCodePoint", "", U'\u00C9', false,
                                "\xC3\x89\xC3\xA9"
                                "clair",
                                true},
                      AccelCase{"SpaceIsNoFirstLetter", "", U' ', false, "", false},
                      AccelCase{"HiddenAndUnselectableItemsDoNotMatch", "", U'h', false, "", false},
                      AccelCase{"UnselectableMarkDoesNotMatch", "", U'u', false, "", false}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(FirstSelectable, SkipsWhatAsksToBeSkippedUnlessNothingElseIsLeft)
{
    ItemPtr root = MakeRoot();
    AddSeparator(root.get());
    AddStyled(root.get(), "Skipped", itsSkipWhenSelectingFirst);
    AddChild(root.get(), "Taken");
    auto view = MakeView(root.get(), false);
    EXPECT_EQ(SelectedCaption(*view), "");
    EXPECT_EQ(view->FirstSelectable()->GetCaptionText(), "Taken");

    ItemPtr only = MakeRoot();
    AddStyled(only.get(), "One", itsSkipWhenSelectingFirst);
    AddStyled(only.get(), "Two", itsSkipWhenSelectingFirst);
    auto skipping = MakeView(only.get(), false);
    ASSERT_NE(skipping->FirstSelectable(), nullptr);  // a keyboard-opened menu still gets a selection
    EXPECT_EQ(skipping->FirstSelectable()->GetCaptionText(), "One");

    ItemPtr none = MakeRoot();
    AddSeparator(none.get());
    EXPECT_EQ(MakeView(none.get(), false)->FirstSelectable(), nullptr);
}

TEST(NextSelectable, BackwardsFromNothingStartsAtTheLast)
{
    ItemPtr root = MakeRoot();
    AddChild(root.get(), "A");
    AddChild(root.get(), "B");
    AddSeparator(root.get());
    auto view = MakeView(root.get(), false);
    EXPECT_EQ(view->NextSelectable(nullptr, false)->GetCaptionText(), "B");
    EXPECT_EQ(view->NextSelectable(nullptr, true)->GetCaptionText(), "A");
    // The only selectable one is its own next.
    ItemPtr single = MakeRoot();
    AddChild(single.get(), "Only");
    auto one = MakeView(single.get(), false);
    EXPECT_EQ(one->NextSelectable(one->GetViewer(0), true), one->GetViewer(0));
}

// ---- Submenus on timers -----------------------------------------------------------------------------------

class SubmenuTimers : public MenuTracking {
protected:
    ui::ManualClock Clock;
    ui::ScopedService<ui::IClock> ClockInstalled{ui::SetClock, Clock};
    const int Delay = GetMenuShowDelay();
};

TEST_F(SubmenuTimers, HoverOpensAfterTheDelayAndReturningInTimeKeepsTheSamePopup)
{
    TTBItemViewer* paste = ViewerNamed(*Context, "Paste");
    TTBItemViewer* cut = ViewerNamed(*Context, "Cut");
    Context->SetSelected(paste, true);
    EXPECT_TRUE(Context->IsTimerRunning(tiOpen));
    Clock.Advance(static_cast<std::uint64_t>(Delay) - 1);
    EXPECT_EQ(RunDueViewTimers(), 0);
    Clock.Advance(1);
    EXPECT_EQ(RunDueViewTimers(), 1);
    EXPECT_EQ(Factory.Openings.size(), 1u);
    EXPECT_FALSE(Context->IsTimerRunning(tiOpen));

    // Off to a plain item: the submenu stays open for now.
    Context->SetSelected(cut, true);
    EXPECT_TRUE(Context->IsTimerRunning(tiClose));
    Clock.Advance(static_cast<std::uint64_t>(Delay) / 2);
    EXPECT_EQ(RunDueViewTimers(), 0);
    EXPECT_EQ(OpenPopupWindows(*Form), 1);

    // Back in time: nothing more happens, however long the mouse rests there.
    Context->SetSelected(paste, true);
    EXPECT_FALSE(Context->IsTimerRunning(tiClose));
    EXPECT_FALSE(Context->IsTimerRunning(tiOpen));
    Clock.Advance(3 * static_cast<std::uint64_t>(Delay));
    EXPECT_EQ(RunDueViewTimers(), 0);
    EXPECT_EQ(Factory.Openings.size(), 1u);
    EXPECT_EQ(OpenPopupWindows(*Form), 1);
    EXPECT_EQ(Context->GetOpenViewer(), paste);

    // Off again and staying off: it closes after the delay.
    Context->SetSelected(cut, true);
    Clock.Advance(static_cast<std::uint64_t>(Delay));
    EXPECT_EQ(RunDueViewTimers(), 1);
    EXPECT_EQ(OpenPopupWindows(*Form), 0);
    EXPECT_EQ(Context->GetOpenViewer(), nullptr);
    EXPECT_EQ(Context->SelfCheck(), "");
}

TEST_F(SubmenuTimers, MovingIntoTheSubmenuKeepsItsItemHighlighted)
{
    TTBItemViewer* paste = ViewerNamed(*Context, "Paste");
    Context->Select(paste);
    ASSERT_TRUE(Context->OpenChildPopup(false));
    // On its way the mouse crossed a plain item, which started the close timer.
    Context->SetSelected(ViewerNamed(*Context, "Delete"), true);
    TTBView* submenu = Context->GetOpenViewerView();
    submenu->SetSelected(ViewerNamed(*submenu, "P1"), true);
    EXPECT_EQ(Context->GetSelected(), paste);
    EXPECT_FALSE(Context->IsTimerRunning(tiClose));
    Clock.Advance(3 * static_cast<std::uint64_t>(Delay));
    RunDueViewTimers();
    EXPECT_EQ(Chain(*Context), "Paste>P1");
}

TEST_F(SubmenuTimers, AnOpenSubmenuIsNeverOpenedTwice)
{
    Open(Context.get(), "Paste>");
    std::uint16_t key = ui::VK_RIGHT;
    Context->KeyDown(key, {});  // Right on the item whose submenu is open
    EXPECT_EQ(Factory.Openings.size(), 1u);
    EXPECT_EQ(OpenPopupWindows(*Form), 1);
    EXPECT_TRUE(Context->OpenChildPopup(true));
    EXPECT_EQ(Factory.Openings.size(), 1u);
}

// ---- Scroll bands -----------------------------------------------------------------------------------------

class ScrollBands : public ::testing::Test {
protected:
    ScrollBands()
    {
        for (int i = 0; i < 10; ++i)
            AddFixed(Items.get(), std::string(1, static_cast<char>('0' + i)), 50, 20);
        Form->SetBounds(0, 0, 400, 400);
        Window->SetParent(Form.get());
        Window->SetBounds(10, 10, 50, 117);
        View.reset(TTBView::CreateView(TTBViewClass::Of<TTBView>(), nullptr, nullptr, Items.get(), Window, false, false,
                                       false));
        Window->View = View.get();
        View->SetMaxHeight(117);
        View->SetState(ViewStateModal);
        Form->Show();
        View->EnsureLayout();
    }
    ~ScrollBands() override { View.reset(); }
    [[nodiscard]] TPoint At(int y) const { return Window->ClientToScreen(TPoint{25, y}); }

    ui::ManualClock Clock;
    ui::ScopedService<ui::IClock> ClockInstalled{ui::SetClock, Clock};
    ui::FakeTimerDriver Driver{Clock};
    ui::ScopedService<ui::ITimerDriver> DriverInstalled{ui::SetTimerDriver, Driver};
    ItemPtr Items = MakeRoot();
    std::unique_ptr<toolkit::TForm> Form = std::make_unique<toolkit::TForm>(nullptr);
    TFakePopupWindow* Window = new TFakePopupWindow(Form.get());
    std::unique_ptr<TTBView> View;
};

TEST_F(ScrollBands, RestingOnTheDownBandScrollsEvery100msUntilTheLastItemShows)
{
    const TPoint band = At(117 - 5);
    View->TrackMouse(&band, true);
    ASSERT_TRUE(View->IsTimerRunning(tiScrollDown));
    ASSERT_FALSE(Driver.Changes().empty());
    EXPECT_EQ(Driver.Changes().back().Id, ViewTimerBaseId + tiScrollDown);
    EXPECT_EQ(Driver.Changes().back().Interval, 100u);

    // The mouse rests on the band: only the timer moves things.
    std::vector<int> offsets;
    for (int step = 0; step < 20 && View->IsTimerRunning(tiScrollDown); ++step) {
        Clock.Advance(100);
        RunDueViewTimers();
        offsets.push_back(View->GetScrollOffset());
    }
    // Item by item (the first step only uncovers the band), then the band goes and its timer stops.
    EXPECT_EQ(offsets, (std::vector<int>{2, 22, 42, 62, 82, 83, 83}));
    EXPECT_FALSE(View->GetShowDownArrow());
    EXPECT_TRUE(View->GetViewer(9)->IsPlaced());
    EXPECT_FALSE(View->IsTimerRunning(tiScrollDown));
}

TEST_F(ScrollBands, TheUpBandScrollsBackAndLeavingTheBandsStopsBoth)
{
    View->ScrollByItem(true);
    View->ScrollByItem(true);
    const TPoint up = At(5);
    View->TrackMouse(&up, true);
    EXPECT_TRUE(View->IsTimerRunning(tiScrollUp));
    Clock.Advance(100);
    RunDueViewTimers();
    EXPECT_EQ(View->GetScrollOffset(), 22 + (18 - 19));  // the item whose top was 18 comes below the band
    const TPoint middle = At(60);
    View->TrackMouse(&middle, true);
    EXPECT_FALSE(View->IsTimerRunning(tiScrollUp));
    EXPECT_FALSE(View->IsTimerRunning(tiScrollDown));
}

// ---- The mouse on viewers ---------------------------------------------------------------------------------

TEST_F(MenuTracking, TrackingFollowsTheMouseAndKeepsTheItemOfAnOpenSubmenu)
{
    TTBItemViewer* cut = ViewerNamed(*Context, "Cut");
    const TPoint overCut = CentreOnScreen(cut);
    SetMessagePos(overCut);
    Context->TrackMouse(&overCut, true);
    EXPECT_EQ(Context->GetSelected(), cut);
    EXPECT_TRUE(Context->GetSelectedViaMouse());
    EXPECT_TRUE(Context->GetMouseOverSelected());
    EXPECT_NE(Context->GetState() & ViewStateMouseInView, 0);

    // Out into nothing: a pop-up lets go of its selection.
    const TPoint nowhere{790, 590};
    SetMessagePos(nowhere);
    Context->TrackMouse(&nowhere, true);
    EXPECT_EQ(Context->GetSelected(), nullptr);

    // Out with the submenu open, from the item that opened it: the item stays.
    TTBItemViewer* paste = ViewerNamed(*Context, "Paste");
    const TPoint overPaste = CentreOnScreen(paste);
    SetMessagePos(overPaste);
    Context->TrackMouse(&overPaste, true);
    ASSERT_TRUE(Context->OpenChildPopup(false));
    const TPoint inSubmenu = CentreOnScreen(Context->GetOpenViewerView()->GetViewer(0));
    SetMessagePos(inSubmenu);
    Context->TrackMouse(&inSubmenu, true);
    EXPECT_EQ(Context->GetSelected(), paste);
    EXPECT_FALSE(Context->GetMouseOverSelected());
}

TEST_F(MenuTracking, WhileItHoldsTheMouseTheSelectionStays)
{
    TTBItemViewer* cut = ViewerNamed(*Context, "Cut");
    const TPoint overCut = CentreOnScreen(cut);
    SetMessagePos(overCut);
    Context->TrackMouse(&overCut, true);
    Context->BeginCapture();
    const TPoint overDelete = CentreOnScreen(ViewerNamed(*Context, "Delete"));
    SetMessagePos(overDelete);
    Context->TrackMouse(&overDelete, true);
    EXPECT_EQ(Context->GetSelected(), cut);
    EXPECT_FALSE(Context->GetMouseOverSelected());
    SetMessagePos(overCut);
    Context->TrackMouse(&overCut, true);
    EXPECT_TRUE(Context->GetMouseOverSelected());
    Context->CancelCapture();
    EXPECT_EQ(LastMousePos().x, LastMousePosUnknown);  // the cursor and hint are looked at again
}

// Press and release as the loop hands them to the viewer under the mouse.
class MouseOnViewers : public MenuTracking {
protected:
    void Press(TTBItemViewer* viewer, TPoint local, bool& onMenu, toolkit::TShiftState shift = {})
    {
        const TRect& r = viewer->GetBoundsRect();
        const TPoint screen = viewer->GetView()->GetWindow()->ClientToScreen(TPoint{r.left + local.x, r.top + local.y});
        SetMessagePos(screen);
        viewer->GetView()->TrackMouse(&screen, true);
        viewer->MouseDown(shift, local.x, local.y, onMenu);
    }
    void Release(TTBItemViewer* viewer, TPoint local, bool onMenu)
    {
        const TRect& r = viewer->GetBoundsRect();
        const TPoint screen = viewer->GetView()->GetWindow()->ClientToScreen(TPoint{r.left + local.x, r.top + local.y});
        SetMessagePos(screen);
        viewer->GetView()->TrackMouse(&screen, false);
        viewer->MouseUp(local.x, local.y, onMenu);
    }
};

TEST_F(MouseOnViewers, PressingTheOpenMenuBarItemAgainClosesTheMenuOnRelease)
{
    TTBItemViewer* file = ViewerNamed(*Bar, "File");
    bool onMenu = false;
    Press(file, TPoint{5, 5}, onMenu);
    EXPECT_FALSE(onMenu);
    EXPECT_EQ(Factory.Openings.size(), 1u);
    Release(file, TPoint{5, 5}, onMenu);
    EXPECT_EQ(Done(*Bar), "none");  // the first release leaves the menu open
    EXPECT_EQ(OpenPopupWindows(*Form), 1);

    onMenu = false;
    Press(file, TPoint{5, 5}, onMenu);
    EXPECT_TRUE(onMenu);
    EXPECT_EQ(Factory.Openings.size(), 1u) << "no second pop-up for the open item";
    Release(file, TPoint{5, 5}, onMenu);
    EXPECT_EQ(Done(*Bar), "close");
}

TEST_F(MouseOnViewers, ReleasingOnAMenuItemRunsIt)
{
    TTBView* file = Open(Bar.get(), "File>");
    TTBItemViewer* save = ViewerNamed(*file, "Save");
    bool onMenu = false;
    Press(save, TPoint{5, 5}, onMenu);
    Release(save, TPoint{5, 5}, onMenu);
    EXPECT_EQ(Done(*Bar), "run Save from a pop-up");
}

TEST_F(MouseOnViewers, ADoubleClickRunsTheSubmenusDefaultItem)
{
    Save->SetOptions({tboDefault});
    bool onMenu = false;
    Press(ViewerNamed(*Bar, "File"), TPoint{5, 5}, onMenu, toolkit::TShiftState{toolkit::ssDouble});
    EXPECT_EQ(Done(*Bar), "run Save from a pop-up");
}

TEST_F(MouseOnViewers, ADisabledMenuBarItemEndsTheMenuAndNeverRuns)
{
    TTBItemViewer* help = ViewerNamed(*Bar, "Help");
    help->GetItem()->SetEnabled(false);
    bool onMenu = false;
    Press(help, TPoint{5, 5}, onMenu);
    EXPECT_EQ(Done(*Bar), "close");
    Bar->SetDoneAction(TMenuDoneAction{});
    Release(help, TPoint{5, 5}, onMenu);
    EXPECT_EQ(Done(*Bar), "close");
}

TEST_F(MouseOnViewers, ASplitButtonRunsFromItsButtonAndOpensFromItsArrow)
{
    TTBCustomItem* undo = AddStyled(BarItems.get(), "Undo", itsSubmenu | itsSplitButton);
    AddChild(undo, "Undo all");
    Bar->EnsureLayout();
    TTBItemViewer* split = ViewerNamed(*Bar, "Undo");
    const int width = split->GetBoundsRect().right - split->GetBoundsRect().left;
    const int height = split->GetBoundsRect().bottom - split->GetBoundsRect().top;

    bool onMenu = false;
    Press(split, TPoint{width - 5, height / 2}, onMenu);  // the arrow part
    EXPECT_EQ(Factory.Openings.size(), 1u);
    EXPECT_EQ(Bar->GetOpenViewer(), split);

    Press(split, TPoint{3, height / 2}, onMenu);  // the button part: the pop-up goes, the button is held
    EXPECT_EQ(OpenPopupWindows(*Form), 0);
    EXPECT_TRUE(Bar->GetCapture());
    Release(split, TPoint{3, height / 2}, onMenu);
    EXPECT_EQ(Done(*Bar), "run Undo");

    // Released over the arrow part after pressing the button: nothing runs, the menu ends.
    Bar->SetDoneAction(TMenuDoneAction{});
    Press(split, TPoint{3, height / 2}, onMenu);
    Release(split, TPoint{width - 5, height / 2}, onMenu);
    EXPECT_EQ(Done(*Bar), "close");
}

// ---- Focus events -----------------------------------------------------------------------------------------

TEST_F(MenuTracking, FocusEventsNumberThePresentViewers)
{
    ui::RecordingAccessibilitySink sink;
    ui::ScopedService<ui::IAccessibilitySink> installed(ui::SetAccessibilitySink, sink);
    ContextItems->GetItem(0)->SetVisible(false);  // "Cut" is not counted
    Context->EnsureLayout();
    Context->Select(ViewerNamed(*Context, "Delete"));
    ASSERT_FALSE(sink.Events.empty());
    const auto& event = sink.Events.back();
    EXPECT_EQ(event.Event, ui::EVENT_OBJECT_FOCUS);
    EXPECT_EQ(event.Window, ContextWindow->GetHandle());
    EXPECT_EQ(event.ObjectId, ui::OBJID_CLIENT);
    EXPECT_EQ(event.ChildId, 2);

    // A submenu with nothing selected lets its parent speak.
    Context->Select(ViewerNamed(*Context, "Paste"));
    Context->OpenChildPopup(false);
    sink.Events.clear();
    Context->GetOpenViewerView()->NotifyFocus();
    ASSERT_EQ(sink.Events.size(), 1u);
    EXPECT_EQ(sink.Events[0].Window, ContextWindow->GetHandle());
    EXPECT_EQ(sink.Events[0].ChildId, 1);

    // Outside the menu loop nothing is announced.
    Context->CloseChildPopups();
    Context->SetState(0);
    sink.Events.clear();
    Context->Select(ViewerNamed(*Context, "Delete"));
    EXPECT_TRUE(sink.Events.empty());
}

// ---- The toolbar loop -------------------------------------------------------------------------------------

class ScriptedLoop final : public ITBModalLoop {
public:
    ScriptedLoop() : FPrevious(SetModalLoop(this)) {}
    ~ScriptedLoop() override { SetModalLoop(FPrevious); }
    ScriptedLoop(const ScriptedLoop&) = delete;
    ScriptedLoop& operator=(const ScriptedLoop&) = delete;
    void Run(TTBView& view, TTBEnterToolbarLoopOptions options) override { Script(view, options); }
    std::function<void(TTBView&, TTBEnterToolbarLoopOptions)> Script;

private:
    ITBModalLoop* FPrevious;
};

struct ClickLog {
    void Click(toolkit::TObject*) { ++Clicks; }
    int Clicks = 0;
};

TEST_F(MenuTracking, TheToolbarLoopRunsThenTidiesUpAndCarriesOutTheDoneAction)
{
    ClickLog log;
    Save->OnClick = toolkit::TNotifyEvent(&log, &ClickLog::Click);
    ScriptedLoop loop;
    TTBViewState inside = 0;
    TTBEnterToolbarLoopOptions given = 0;
    loop.Script = [&](TTBView& view, TTBEnterToolbarLoopOptions options) {
        inside = view.GetState();
        given = options;
        TTBView* file = Open(&view, "File>Save");
        ViewerNamed(*file, "Save")->Execute(true);
    };
    Bar->SetState(ViewStateAccelsShown | ViewStateDropDownMode);
    Bar->EnterToolbarLoop(tbetExecuteSelected);
    EXPECT_EQ(inside, ViewStateAccelsShown | ViewStateModal);
    EXPECT_EQ(given, tbetExecuteSelected);
    EXPECT_EQ(Bar->GetState() & ViewStateModal, 0);
    EXPECT_EQ(OpenPopupWindows(*Form), 0);
    EXPECT_EQ(Bar->GetSelected(), nullptr);
    EXPECT_EQ(Done(*Bar), "none");
    EXPECT_EQ(log.Clicks, 0) << "the command runs after the loop, from the message queue";
    toolkit::Application()->ProcessMessages();
    EXPECT_EQ(log.Clicks, 1);
}

TEST_F(MenuTracking, AFailingLoopStillTidiesUpAndRunsNothing)
{
    ClickLog log;
    Save->OnClick = toolkit::TNotifyEvent(&log, &ClickLog::Click);
    ScriptedLoop loop;
    loop.Script = [&](TTBView& view, TTBEnterToolbarLoopOptions) {
        TTBView* file = Open(&view, "File>Save");
        ViewerNamed(*file, "Save")->Execute(true);
        throw std::runtime_error("the loop failed");
    };
    Bar->SetState(0);
    EXPECT_THROW(Bar->EnterToolbarLoop(0), std::runtime_error);
    EXPECT_EQ(Bar->GetState() & ViewStateModal, 0);
    EXPECT_EQ(OpenPopupWindows(*Form), 0);
    toolkit::Application()->ProcessMessages();
    EXPECT_EQ(log.Clicks, 0);
}

TEST_F(MenuTracking, AViewAlreadyInTheLoopDoesNotEnterItAgain)
{
    ScriptedLoop loop;
    int runs = 0;
    loop.Script = [&](TTBView&, TTBEnterToolbarLoopOptions) { ++runs; };
    Bar->EnterToolbarLoop(0);  // the fixture put it in the loop already
    EXPECT_EQ(runs, 0);
}

TEST_F(MenuTracking, AViewersAccessibilityActionRunsLaterThroughTheToolbarLoop)
{
    ScriptedLoop loop;
    int runs = 0;
    TTBEnterToolbarLoopOptions given = 0;
    std::string selected;
    loop.Script = [&](TTBView& view, TTBEnterToolbarLoopOptions options) {
        ++runs;
        given = options;
        selected = SelectedCaption(view);
    };
    Bar->SetState(0);
    ui::SetActiveWindow(Form->GetHandle());  // outside the loop the action needs its form active
    ViewerNamed(*Bar, "Edit")->PostDeferredCall(1);
    ViewerNamed(*Bar, "Help")->GetItem()->SetEnabled(false);
    ViewerNamed(*Bar, "Help")->PostDeferredCall(1);  // a disabled item has no action
    EXPECT_EQ(runs, 0);
    toolkit::Application()->ProcessMessages();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(given, tbetExecuteSelected);
    EXPECT_EQ(selected, "Edit");
}

// ---- Priority through pop-ups -----------------------------------------------------------------------------

TEST_F(MenuTracking, RunningAMenuItemGivesTheMenuBarItemPriority)
{
    Bar->SetUsePriorityList(true);
    Bar->SetState(ViewStateModal);
    TTBView* edit = Open(Bar.get(), "Edit>Copy");
    ViewerNamed(*edit, "Copy")->Execute(true);
    ASSERT_FALSE(Bar->GetPriorityList().empty());
    EXPECT_EQ(Bar->GetPriorityList().front(), ViewerNamed(*Bar, "Edit"));
}

// ---- Deleting what the menu shows ---------------------------------------------------------------------------

TEST_F(MenuTracking, DeletingTheOpenViewersItemClosesItsPopup)
{
    Open(Bar.get(), "File>Recent>One");
    ASSERT_EQ(OpenPopupWindows(*Form), 2);
    delete BarItems->GetItem(0);  // File, with everything below it
    EXPECT_EQ(OpenPopupWindows(*Form), 0);
    EXPECT_EQ(Bar->GetOpenViewer(), nullptr);
    EXPECT_EQ(Bar->GetSelected(), nullptr);
    EXPECT_EQ(Bar->SelfCheck(), "");
}

TEST_F(MenuTracking, FreeingTheItemOfAPopupOutsideTheTreeClosesThePopupFromItsParent)
{
    // As a chevron's pop-up shows the children of an item that no view shows itself.
    auto loose = std::make_unique<TTBCustomItem>(nullptr);
    AddChild(loose.get(), "Inside");
    Bar->Select(ViewerNamed(*Bar, "Help"));
    Factory.CreatePopup(*loose, Bar.get(), Bar->GetSelected(), false, false, false, TPoint{0, 0}, toolkit::paLeft);
    ASSERT_EQ(OpenPopupWindows(*Form), 1);
    loose.reset();
    EXPECT_EQ(OpenPopupWindows(*Form), 0);
    EXPECT_EQ(Bar->GetOpenViewer(), nullptr);
    EXPECT_EQ(Bar->SelfCheck(), "");
}

}  // namespace
}  // namespace ovrel::toolbars
