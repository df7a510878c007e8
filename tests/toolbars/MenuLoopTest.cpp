// Context menus end to end: an item's children shown by PopupEx in real pop-up windows and tracked by the
// real menu loop, fed by scripted input. The opening release, presses outside, loss of the capture, the
// deferred command, keys in the deepest view, characters and submenus that open on their timer.
#include "MenusTestSupport.h"

#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolbars::testing;
using toolkit::TPoint;

// A control that counts the presses it gets.
class TPressCounter : public toolkit::TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Presses = 0;

protected:
    void WMLButtonDown(toolkit::TMessage& message) override
    {
        ++Presses;
        TCustomControl::WMLButtonDown(message);
    }
};

class ContextMenu : public MenusFixture {
protected:
    ContextMenu()
    {
        Cut = AddChild(Root.get(), "Cu&t");
        Copy = AddChild(Root.get(), "&Copy");
        Paste = AddChild<TRecordingPopupItem>(Root.get(), "&Paste");
        Text = AddChild(Paste, "&Text");
        Image = AddChild(Paste, "&Image");
        AddChild<TTBSeparatorItem>(Root.get());
        Delete = AddChild(Root.get(), "&Delete");
        for (TTBCustomItem* item : {Cut, Copy, Text, Image, Delete})
            Clicks.Attach(item);
    }

    /// Where the viewer of item is in the shown pop-up of parent.
    static InputScript::TWhere On(const TTBCustomItem* parent, const TTBCustomItem* item)
    {
        return [parent, item] {
            TTBView* view = PopupViewOf(parent);
            return view != nullptr ? CentreOf(*view, item) : TPoint{-1, -1};
        };
    }

    std::unique_ptr<TRecordingPopupItem> Root = std::make_unique<TRecordingPopupItem>(nullptr);
    TTBCustomItem* Cut;
    TTBCustomItem* Copy;
    TTBCustomItem* Paste;
    TTBCustomItem* Text;
    TTBCustomItem* Image;
    TTBCustomItem* Delete;
    ClickLog Clicks;
    const TPoint Where{300, 200};
};

TEST_F(ContextMenu, IgnoresTheReleaseThatOpenedItAndClosesOnTheNextOneOutside)
{
    std::vector<std::size_t> shownAfterFirst;
    Script.Release(InputScript::At({20, 20}), ui::WM_RBUTTONUP).Then([&] {
        shownAfterFirst.push_back(ShownPopups().size());
        ui::PostMouseInput(ui::WM_RBUTTONUP, TPoint{20, 20});
    });
    Root->Popup(Where.x, Where.y, true);
    EXPECT_EQ(shownAfterFirst, std::vector<std::size_t>{1});
    EXPECT_TRUE(ShownPopups().empty());
    PumpApplication();
    EXPECT_TRUE(Clicks.Clicks.empty());
}

TEST_F(ContextMenu, APressOutsideEndsTheMenuAndReachesItsTarget)
{
    auto* target = new TPressCounter(Form.get());
    target->SetParent(Form.get());
    target->SetBounds(10, 10, 60, 30);
    const TPoint onTarget = target->ClientToScreen(TPoint{5, 5});
    Script.Move(On(Root.get(), Copy)).Press(InputScript::At(onTarget));
    Root->Popup(Where.x, Where.y, false);
    EXPECT_TRUE(ShownPopups().empty());
    EXPECT_EQ(target->Presses, 0);
    PumpApplication();
    EXPECT_EQ(target->Presses, 1);
    EXPECT_TRUE(Clicks.Clicks.empty());
}

TEST_F(ContextMenu, LosingTheCaptureEndsTheMenuWithoutACommand)
{
    Script.Move(On(Root.get(), Copy)).Then([this] {
        ui::ReleaseCapture();
        ui::PostMessage(Form->GetHandle(), ui::WM_NULL, 0, 0);
    });
    Root->Popup(Where.x, Where.y, false);
    EXPECT_TRUE(ShownPopups().empty());
    PumpApplication();
    EXPECT_TRUE(Clicks.Clicks.empty());
    EXPECT_EQ(ui::GetCapture(), nullptr);
}

TEST_F(ContextMenu, RunsTheChosenCommandOnceAfterTheMenuHasClosed)
{
    Script.Click(On(Root.get(), Copy));
    Root->Popup(Where.x, Where.y, false);
    EXPECT_TRUE(Clicks.Clicks.empty()) << "the command runs from the message loop, not inside the menu";
    EXPECT_TRUE(ShownPopups().empty());
    PumpApplication();
    EXPECT_EQ(Clicks.Clicks, std::vector<std::string>{"&Copy"});
    EXPECT_EQ(Clicks.LoopRunning, std::vector<bool>{false});
    PumpApplication();
    EXPECT_EQ(Clicks.Clicks.size(), 1u);
}

TEST_F(ContextMenu, KeysGoToTheDeepestOpenMenu)
{
    std::string openedWith;
    Script.Key(ui::VK_DOWN)
        .Key(ui::VK_DOWN)
        .Key(ui::VK_DOWN)
        .Key(ui::VK_RIGHT)
        .Then([&] {
            TTBView* paste = PopupViewOf(Paste);
            openedWith = paste != nullptr && paste->GetSelected() != nullptr
                             ? paste->GetSelected()->GetItem()->GetCaption()
                             : "nothing";
            ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_DOWN);
        })
        .Key(ui::VK_RETURN);
    Root->Popup(Where.x, Where.y, false);
    EXPECT_EQ(openedWith, "&Text");
    PumpApplication();
    EXPECT_EQ(Clicks.Clicks, std::vector<std::string>{"&Image"});
}

TEST_F(ContextMenu, EscapeClosesOneLevelAtATime)
{
    std::vector<std::size_t> shown;
    Script
        .Key(ui::VK_UP)  // backwards from nothing: the last item
        .Key(ui::VK_UP)
        .Key(ui::VK_RIGHT)
        .Then([&] { shown.push_back(ShownPopups().size()); })
        .Key(ui::VK_ESCAPE)
        .Then([&] { shown.push_back(ShownPopups().size()); })
        .Key(ui::VK_ESCAPE);
    Root->Popup(Where.x, Where.y, false);
    EXPECT_EQ(shown, (std::vector<std::size_t>{2, 1}));
    EXPECT_TRUE(ShownPopups().empty());
    PumpApplication();
    EXPECT_TRUE(Clicks.Clicks.empty());
}

TEST_F(ContextMenu, AUniqueAcceleratorRunsItsItemAndAnUnmatchedCharacterBeeps)
{
    Script.Key('Q', "q").Key('D', "d");
    Root->Popup(Where.x, Where.y, false);
    EXPECT_EQ(Sound.Events, std::vector<std::string>{"beep:0"});
    PumpApplication();
    EXPECT_EQ(Clicks.Clicks, std::vector<std::string>{"&Delete"});
}

TEST_F(ContextMenu, ASubmenuOpensOnItsTimerAndItsItemRuns)
{
    std::vector<bool> open;
    Script.Move(On(Root.get(), Paste))
        .Then([&] {
            open.push_back(PopupViewOf(Paste) != nullptr);
            Clock.Advance(static_cast<std::uint64_t>(GetMenuShowDelay()));
        })
        .Then([&] {
            open.push_back(PopupViewOf(Paste) != nullptr);
            ui::PostMouseInput(ui::WM_MOUSEMOVE, On(Paste, Text)());
        })
        .Click(On(Paste, Text));
    Root->Popup(Where.x, Where.y, false);
    EXPECT_EQ(open, (std::vector<bool>{false, true}));
    PumpApplication();
    EXPECT_EQ(Clicks.Clicks, std::vector<std::string>{"&Text"});
}

TEST_F(ContextMenu, ADisabledItemIsNeitherRunNorClosesTheMenu)
{
    Delete->SetEnabled(false);
    std::vector<std::size_t> shown;
    Script.Click(On(Root.get(), Delete)).Then([&] { shown.push_back(ShownPopups().size()); }).Key(ui::VK_ESCAPE);
    Root->Popup(Where.x, Where.y, false);
    EXPECT_EQ(shown, std::vector<std::size_t>{1});
    PumpApplication();
    EXPECT_TRUE(Clicks.Clicks.empty());
}

TEST_F(ContextMenu, TheHintFollowsThePointerFromItemToItemWhileTheMenuIsOpen)
{
    Root->SetOptions(Root->GetOptions().Include(tboShowHint));
    Cut->SetHint("Cut|Moves the selection to the clipboard");
    Copy->SetHint("Copy");
    std::vector<std::string> shown;
    toolkit::Application()->SetHintDisplay([&shown](const std::string& text, ui::POINT) {
        if (!text.empty())
            shown.push_back(text);
    });
    std::vector<std::string> statusHints;
    Script.Move(On(Root.get(), Cut))
        .Pause(1000)
        .Then([&] { statusHints.push_back(toolkit::Application()->GetHint()); })
        .Move(On(Root.get(), Copy))
        .Pause(1000)
        .Key(ui::VK_ESCAPE);
    Root->Popup(Where.x, Where.y, false);
    toolkit::Application()->SetHintDisplay(nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"Cut", "Copy"}));
    EXPECT_EQ(statusHints, std::vector<std::string>{"Moves the selection to the clipboard"});
    EXPECT_EQ(toolkit::Application()->GetHint(), "") << "emptied as the menu closes";
}

TEST_F(ContextMenu, TellsAssistiveTechnologyWhenTheMenuStartsAndEnds)
{
    Script.Key(ui::VK_ESCAPE);
    Root->Popup(Where.x, Where.y, false);
    std::vector<ui::DWORD> kinds;
    for (const auto& e : Events.Events)
        if (e.Event != ui::EVENT_OBJECT_FOCUS)
            kinds.push_back(e.Event);
    EXPECT_EQ(kinds, (std::vector<ui::DWORD>{ui::EVENT_SYSTEM_MENUSTART, ui::EVENT_SYSTEM_MENUPOPUPSTART,
                                             ui::EVENT_SYSTEM_MENUPOPUPEND, ui::EVENT_SYSTEM_MENUEND}));
}

}  // namespace
}  // namespace ovrel::toolbars
