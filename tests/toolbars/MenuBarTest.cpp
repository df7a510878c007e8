// A menu bar on a form end to end, with real input through the queue: the mouse, Alt, F10, Alt+letter, a
// letter that matches nothing, shortcuts while the menus are closed (on the active form, not on a disabled
// one), a narrow menu bar that wraps, and the hint of each button of a toolbar.
#include "MenusTestSupport.h"

#include "toolbars/Dock.h"
#include "toolbars/Toolbar.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolbars::testing;
using toolkit::TPoint;

std::string SelectedCaption(const TTBView* view)
{
    return view != nullptr && view->GetSelected() != nullptr ? view->GetSelected()->GetItem()->GetCaption()
                                                             : std::string("nothing");
}

class MenuBar : public MenusFixture {
protected:
    MenuBar()
    {
        Dock = new TTBDock(Form.get());
        Dock->SetPosition(dpTop);
        Dock->SetParent(Form.get());
        Bar = new TTBToolbar(Form.get());
        Bar->SetMenuBar(true);
        TTBCustomItem* items = Bar->GetItems();
        File = AddSubmenu(items, "&File");
        Open = AddChild(File, "&Open");
        Save = AddChild(File, "&Save");
        Save->SetShortCut(toolkit::ShortCut('S', toolkit::TShiftState{toolkit::ssCtrl}));
        Edit = AddSubmenu(items, "&Edit");
        Undo = AddChild(Edit, "&Undo");
        AddChild(items, "&Help");
        for (TTBCustomItem* item : {Open, Save, Undo})
            Clicks.Attach(item);
        Bar->SetParent(Dock);
        PumpApplication();
    }

    static TTBCustomItem* AddSubmenu(TTBCustomItem* parent, const std::string& caption)
    {
        auto* item = new TRecordingPopupItem(nullptr);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    }

    InputScript::TWhere OnBar(const TTBCustomItem* item)
    {
        return [this, item] { return CentreOf(*Bar->GetView(), item); };
    }
    static InputScript::TWhere On(const TTBCustomItem* parent, const TTBCustomItem* item)
    {
        return [parent, item] {
            TTBView* view = PopupViewOf(parent);
            return view != nullptr ? CentreOf(*view, item) : TPoint{-1, -1};
        };
    }
    void Keys(ui::WORD key, std::string text = {}, ui::UINT modifiers = 0)
    {
        ui::PostKeyInput(ui::WM_KEYDOWN, key, text, modifiers);
        ui::PostKeyInput(ui::WM_KEYUP, key, {}, modifiers);
        PumpApplication();
    }

    TTBDock* Dock;
    TTBToolbar* Bar;  // owned by the form
    TTBCustomItem* File;
    TTBCustomItem* Open;
    TTBCustomItem* Save;
    TTBCustomItem* Edit;
    TTBCustomItem* Undo;
    ClickLog Clicks;
};

TEST_F(MenuBar, IsAFullRowThatWrapsAndRunsShortCuts)
{
    EXPECT_TRUE(Bar->GetFullSize());
    EXPECT_EQ(Bar->GetShrinkMode(), tbsmWrap);
    EXPECT_FALSE(Bar->GetCloseButton());
    EXPECT_TRUE(Bar->GetProcessShortCuts());
    EXPECT_TRUE(Bar->GetControlStyle().Contains(toolkit::csMenuEvents));
    EXPECT_NE(Bar->GetView()->GetStyle() & ViewStyleMenuBar, 0);
    EXPECT_EQ(Bar->GetWidth(), Dock->GetClientWidth());
}

TEST_F(MenuBar, OpensWithTheMouseAndRunsTheChosenCommandAfterItsMenusClosed)
{
    std::vector<std::string> seen;
    Script.Release(OnBar(File))
        .Then([&] {
            seen.push_back(PopupViewOf(File) != nullptr ? "open" : "closed");
            seen.push_back(SelectedCaption(PopupViewOf(File)));
            ui::PostMouseInput(ui::WM_MOUSEMOVE, On(File, Save)());
        })
        .Press(On(File, Save))
        .Release(On(File, Save));
    ui::PostMouseInput(ui::WM_MOUSEMOVE, OnBar(File)());
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, OnBar(File)());
    PumpApplication();
    EXPECT_EQ(seen, (std::vector<std::string>{"open", "nothing"}));
    EXPECT_TRUE(ShownPopups().empty());
    EXPECT_EQ(Clicks.Clicks, std::vector<std::string>{"&Save"});
    EXPECT_EQ(Clicks.LoopRunning, std::vector<bool>{false});
}

TEST_F(MenuBar, PressingTheOpenItemAgainClosesItsMenu)
{
    std::vector<std::size_t> shown;
    Script.Release(OnBar(File)).Press(OnBar(File)).Then([&] {
        shown.push_back(ShownPopups().size());
        ui::PostMouseInput(ui::WM_LBUTTONUP, OnBar(File)());
    });
    ui::PostMouseInput(ui::WM_MOUSEMOVE, OnBar(File)());
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, OnBar(File)());
    PumpApplication();
    EXPECT_EQ(shown, std::vector<std::size_t>{1});
    EXPECT_TRUE(ShownPopups().empty());
    EXPECT_TRUE(Clicks.Clicks.empty());
}

TEST_F(MenuBar, F10SelectsTheFirstItemAndTheArrowsOpenItsMenu)
{
    ui::SystemTableOverride table;
    table.Table().KeyboardCues = ui::FALSE;  // underlines hidden until the keyboard is used
    std::vector<std::string> seen;
    Script
        .Then([&] {
            seen.push_back(SelectedCaption(Bar->GetView()));
            seen.push_back((Bar->GetView()->GetState() & ViewStateAccelsShown) != 0 ? "underlined" : "plain");
            ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_RIGHT);
        })
        .Key(ui::VK_DOWN)
        .Then([&] {
            seen.push_back(SelectedCaption(PopupViewOf(Edit)));
            ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_RETURN);
        });
    Keys(ui::VK_F10);
    EXPECT_EQ(seen, (std::vector<std::string>{"&File", "underlined", "&Undo"}));
    EXPECT_EQ(Clicks.Clicks, std::vector<std::string>{"&Undo"});
    EXPECT_EQ(Bar->GetView()->GetState() & ViewStateAccelsShown, 0) << "hidden again after the menu";
}

TEST_F(MenuBar, AltShowsTheUnderlinesAndItsReleaseEntersTheMenuBar)
{
    ui::SystemTableOverride table;
    table.Table().KeyboardCues = ui::FALSE;  // underlines hidden until the keyboard is used
    Bar->GetView()->SetAccelsVisibility(false);
    ASSERT_EQ(Bar->GetView()->GetState() & ViewStateAccelsShown, 0);
    ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_MENU);
    PumpApplication();
    EXPECT_NE(Bar->GetView()->GetState() & ViewStateAccelsShown, 0);
    std::vector<std::string> seen;
    Script.Then([&] {
        seen.push_back(SelectedCaption(Bar->GetView()));
        ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_ESCAPE);
    });
    ui::PostKeyInput(ui::WM_KEYUP, ui::VK_MENU);
    PumpApplication();
    EXPECT_EQ(seen, std::vector<std::string>{"&File"});
    EXPECT_EQ(Bar->GetView()->GetState() & ViewStateAccelsShown, 0);
}

TEST_F(MenuBar, AltAndALetterOpensThatMenuWithItsFirstItem)
{
    std::vector<std::string> seen;
    Script
        .Then([&] {
            seen.push_back(SelectedCaption(Bar->GetView()));
            seen.push_back(SelectedCaption(PopupViewOf(Edit)));
            ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_ESCAPE);
        })
        .Key(ui::VK_ESCAPE);
    Keys('E', "e", ui::MOD_ALT);
    EXPECT_EQ(seen, (std::vector<std::string>{"&Edit", "&Undo"}));
    EXPECT_TRUE(ShownPopups().empty());
    EXPECT_TRUE(Clicks.Clicks.empty());
    EXPECT_TRUE(Sound.Events.empty());
}

TEST_F(MenuBar, AltAndALetterThatMatchesNothingBeeps)
{
    Keys('Q', "q", ui::MOD_ALT);
    EXPECT_EQ(Sound.Events, std::vector<std::string>{"beep:0"});
    EXPECT_TRUE(ShownPopups().empty());
}

TEST_F(MenuBar, AShortCutRunsWhileTheMenusAreClosedButNotOnADisabledForm)
{
    Keys('S', {}, ui::MOD_CONTROL);
    EXPECT_EQ(Clicks.Clicks, std::vector<std::string>{"&Save"});
    // A modal form in front: the menu bar's form is disabled, and its shortcuts with it.
    toolkit::TForm dialog(nullptr);
    dialog.SetBounds(150, 150, 200, 100);
    dialog.Show();
    ui::EnableWindow(Form->GetHandle(), ui::FALSE);
    ui::SetActiveWindow(dialog.GetHandle());
    Keys('S', {}, ui::MOD_CONTROL);
    EXPECT_EQ(Clicks.Clicks.size(), 1u);
    ui::EnableWindow(Form->GetHandle(), ui::TRUE);
}

TEST_F(MenuBar, TheActiveFormsToolbarsComeFirstThenTheMainForms)
{
    toolkit::TForm other(nullptr);
    other.SetBounds(150, 150, 300, 200);
    auto* otherBar = new TTBToolbar(&other);
    otherBar->SetProcessShortCuts(true);
    otherBar->SetParent(&other);
    TTBCustomItem* otherSave = AddChild(otherBar->GetItems(), "Other &Save");
    otherSave->SetShortCut(toolkit::ShortCut('S', toolkit::TShiftState{toolkit::ssCtrl}));
    Clicks.Attach(otherSave);
    other.Show();
    ui::SetActiveWindow(other.GetHandle());
    toolkit::Application()->SetMainForm(Form.get());
    Keys('S', {}, ui::MOD_CONTROL);
    EXPECT_EQ(Clicks.Clicks, std::vector<std::string>{"Other &Save"});
    otherSave->SetShortCut(0);
    Keys('S', {}, ui::MOD_CONTROL);
    EXPECT_EQ(Clicks.Clicks, (std::vector<std::string>{"Other &Save", "&Save"})) << "then the main form's";
    toolkit::Application()->SetMainForm(nullptr);
}

TEST_F(MenuBar, ANarrowMenuBarWrapsInsteadOfShowingAChevron)
{
    const int oneRow = Bar->GetHeight();
    // A sizeable frame would keep the form at the least width a user can drag it to.
    Form->SetBorderStyle(toolkit::bsDialog);
    Form->SetBounds(100, 100, 90, 300);
    PumpApplication();
    EXPECT_GT(Bar->GetHeight(), oneRow);
    EXPECT_GT(Bar->GetLastWrappedLines(), 1);
    TTBView* view = Bar->GetView();
    std::set<int> tops;
    for (int i = 0; i < Bar->GetItems()->GetCount(); ++i)
        tops.insert(view->FindViewerOfItem(Bar->GetItems()->GetItem(i))->GetBoundsRect().top);
    EXPECT_GT(tops.size(), 1u) << "the items on more than one line";
    for (int i = 0; i < view->GetViewerCount(); ++i) {
        const TTBItemViewer* viewer = view->GetViewer(i);
        EXPECT_FALSE(viewer->IsOverflowed()) << viewer->GetCaptionText();
        if (viewer->GetItem() == Bar->GetChevronItem()) {
            EXPECT_FALSE(viewer->IsPlaced());
        }
    }
}

}  // namespace
}  // namespace ovrel::toolbars
