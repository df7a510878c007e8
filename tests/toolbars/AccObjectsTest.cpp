// Accessibility objects of views and viewers: children numbered over the viewers that are there, names,
// states, shortcuts and default actions, navigation, bad children and directions, the default action run
// later from the deferred calls, and objects held by a client after their viewer has gone.
#include "MenusTestSupport.h"
#include "ViewsTestSupport.h"

#include "toolbars/AccObjects.h"
#include "toolbars/Viewers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolbars::testing;
using toolkit::TPoint;

std::string NameOf(ITBAccessible* object)
{
    std::string name;
    EXPECT_EQ(object->get_accName(TAccChild::Self(), name), S_OK);
    return name;
}

ui::LONG NumberOf(const TAccVariant& value)
{
    EXPECT_EQ(value.Kind, TAccVariant::TKind::Number);
    return value.Number;
}

class AccObjects : public MenusFixture {
protected:
    AccObjects()
    {
        Open = AddChild(Root.get(), "&Open");
        Open->SetShortCut(toolkit::ShortCut('O', toolkit::TShiftState{toolkit::ssCtrl}));
        Hidden = AddChild(Root.get(), "Hidden");
        Hidden->SetVisible(false);
        AddChild<TTBSeparatorItem>(Root.get());
        Checked = AddChild(Root.get(), "&Wrap");
        Checked->SetChecked(true);
        Disabled = AddChild(Root.get(), "&Delete");
        Disabled->SetEnabled(false);
        Recent = AddSubmenu(Root.get(), "&Recent");
        AddChild(Recent, "One");
        Popup.reset(dynamic_cast<TTBPopupWindow*>(
            Root->CreatePopup(nullptr, nullptr, false, false, false, TPoint{300, 200}, toolkit::paLeft)));
        View = Popup->GetView();
    }
    ~AccObjects() override { Popup.reset(); }

    ITBAccessible* ObjectOf(const TTBCustomItem* item) { return View->FindViewerOfItem(item)->GetAccObject(); }

    std::unique_ptr<TTBRootItem> Root = std::make_unique<TTBRootItem>(nullptr);
    TTBCustomItem* Open;
    TTBCustomItem* Hidden;
    TTBCustomItem* Checked;
    TTBCustomItem* Disabled;
    TTBCustomItem* Recent;
    std::unique_ptr<TTBPopupWindow> Popup;
    TTBView* View = nullptr;
};

TEST_F(AccObjects, AViewNumbersOnlyTheViewersThatAreThere)
{
    ITBAccessible* menu = View->GetAccObject();
    ui::LONG count = 0;
    ASSERT_EQ(menu->get_accChildCount(count), S_OK);
    EXPECT_EQ(count, 5) << "the hidden item is left out, the separator counts";
    TAccRef child;
    ASSERT_EQ(menu->get_accChild(TAccChild::Self(), child), S_OK);
    EXPECT_EQ(child.Get(), menu);
    const std::vector<std::string> expected{"Open\tCtrl+O", "", "Wrap", "Delete", "Recent"};
    for (ui::LONG n = 1; n <= count; ++n) {
        ASSERT_EQ(menu->get_accChild(TAccChild::Of(n), child), S_OK);
        EXPECT_EQ(NameOf(child.Get()), expected[static_cast<std::size_t>(n - 1)]);
    }
    for (const TAccChild bad : {TAccChild::Of(6), TAccChild::Of(-1), TAccChild::NotANumber()}) {
        EXPECT_EQ(menu->get_accChild(bad, child), E_INVALIDARG);
        EXPECT_FALSE(child);
    }
    std::string name;
    EXPECT_EQ(menu->get_accName(TAccChild::NotANumber(), name), E_INVALIDARG);
    EXPECT_EQ(menu->get_accName(TAccChild::Of(1), name), E_INVALIDARG);
}

TEST_F(AccObjects, ViewersTellTheirNameStateShortcutAndDefaultAction)
{
    View->Select(View->FindViewerOfItem(Open));
    struct Row {
        const TTBCustomItem* item;
        const char* name;
        ui::LONG state;
        const char* shortCut;
        const char* action;
    };
    const ui::LONG focusable = STATE_SYSTEM_FOCUSABLE;
    const Row rows[] = {
        {Open, "Open\tCtrl+O", STATE_SYSTEM_HOTTRACKED | STATE_SYSTEM_FOCUSED | focusable, "o", "Execute"},
        {Checked, "Wrap", STATE_SYSTEM_CHECKED | focusable, "w", "Execute"},
        {Disabled, "Delete", STATE_SYSTEM_UNAVAILABLE | focusable, "d", ""},
        {Recent, "Recent", STATE_SYSTEM_HASPOPUP | focusable, "r", "Open"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ITBAccessible* object = ObjectOf(row.item);
        EXPECT_EQ(NameOf(object), row.name);
        TAccVariant state;
        ASSERT_EQ(object->get_accState(TAccChild::Self(), state), S_OK);
        EXPECT_EQ(NumberOf(state), row.state);
        std::string text;
        object->get_accKeyboardShortcut(TAccChild::Self(), text);
        EXPECT_EQ(text, row.shortCut);
        EXPECT_EQ(object->get_accDefaultAction(TAccChild::Self(), text), *row.action != 0 ? S_OK : S_FALSE);
        EXPECT_EQ(text, row.action);
        TAccVariant role;
        ASSERT_EQ(object->get_accRole(TAccChild::Self(), role), S_OK);
        EXPECT_EQ(NumberOf(role), ui::ROLE_SYSTEM_MENUITEM);
    }
}

TEST_F(AccObjects, ViewersNavigateOverTheViewersThatAreThereAndIntoTheirOpenMenu)
{
    ITBAccessible* open = ObjectOf(Open);
    TAccVariant next;
    ASSERT_EQ(open->accNavigate(NAVDIR_NEXT, TAccChild::Self(), next), S_OK);
    ASSERT_EQ(next.Kind, TAccVariant::TKind::Object);
    EXPECT_EQ(NameOf(next.Object.Get()), "") << "the separator, the hidden item skipped";
    EXPECT_EQ(open->accNavigate(NAVDIR_UP, TAccChild::Self(), next), S_FALSE);
    EXPECT_EQ(next.Kind, TAccVariant::TKind::Empty);
    for (const ui::LONG bad : {0, 9, -1})
        EXPECT_EQ(open->accNavigate(bad, TAccChild::Self(), next), E_INVALIDARG) << bad;
    EXPECT_EQ(open->accSelect(2, TAccChild::Self()), E_INVALIDARG);

    ITBAccessible* recent = ObjectOf(Recent);
    ui::LONG count = -1;
    recent->get_accChildCount(count);
    EXPECT_EQ(count, 0);
    View->Select(View->FindViewerOfItem(Recent));
    ASSERT_TRUE(View->OpenChildPopup(false));
    recent->get_accChildCount(count);
    EXPECT_EQ(count, 1);
    TAccVariant first;
    ASSERT_EQ(recent->accNavigate(NAVDIR_FIRSTCHILD, TAccChild::Self(), first), S_OK);
    EXPECT_EQ(first.Object.Get(), View->GetOpenViewerView()->GetAccObject());
    EXPECT_EQ(NameOf(first.Object.Get()), "Recent") << "a submenu is named after its item";
    std::string action;
    recent->get_accDefaultAction(TAccChild::Self(), action);
    EXPECT_EQ(action, "Close");
    EXPECT_EQ(recent->accDoDefaultAction(TAccChild::Self()), S_OK);
    EXPECT_EQ(View->GetOpenViewerView(), nullptr);
}

TEST_F(AccObjects, ViewsTellWhatKindOfMenuTheyAre)
{
    TAccVariant role;
    View->GetAccObject()->get_accRole(TAccChild::Self(), role);
    EXPECT_EQ(NumberOf(role), ROLE_SYSTEM_MENUPOPUP);
    std::unique_ptr<TTBView> bar(
        TTBView::CreateView(TTBViewClass::Of<TTBView>(), nullptr, nullptr, Root.get(), Form.get(), true, false, false));
    std::string shortCut;
    bar->GetAccObject()->get_accRole(TAccChild::Self(), role);
    EXPECT_EQ(NumberOf(role), ROLE_SYSTEM_TOOLBAR);
    EXPECT_EQ(bar->GetAccObject()->get_accKeyboardShortcut(TAccChild::Self(), shortCut), S_FALSE);
    bar->SetStyle(ViewStyleMenuBar);
    bar->GetAccObject()->get_accRole(TAccChild::Self(), role);
    EXPECT_EQ(NumberOf(role), ROLE_SYSTEM_MENUBAR);
    EXPECT_EQ(bar->GetAccObject()->get_accKeyboardShortcut(TAccChild::Self(), shortCut), S_OK);
    EXPECT_EQ(shortCut, "Alt");
    // A button of a menu bar is reached with Alt.
    bar->FindViewerOfItem(Open)->GetAccObject()->get_accKeyboardShortcut(TAccChild::Self(), shortCut);
    EXPECT_EQ(shortCut, "Alt+o");
    TAccRef parent;
    EXPECT_EQ(bar->GetAccObject()->get_accParent(parent), E_UNEXPECTED) << "no standard object of the window";
}

TEST_F(AccObjects, AHeldObjectAnswersEFailOnceItsViewerIsGone)
{
    TAccRef held(ObjectOf(Checked));
    TAccRef heldView(View->GetAccObject());
    const int viewers = LiveViewerAccObjects();
    delete Checked;
    std::string text;
    TAccVariant value;
    int l = 0;
    int t = 0;
    int w = 0;
    int h = 0;
    EXPECT_EQ(held->get_accName(TAccChild::Self(), text), E_FAIL);
    EXPECT_EQ(held->get_accState(TAccChild::Self(), value), E_FAIL);
    EXPECT_EQ(held->accDoDefaultAction(TAccChild::Self()), E_FAIL);
    EXPECT_EQ(held->accLocation(l, t, w, h, TAccChild::Self()), E_FAIL);
    EXPECT_EQ(held->get_accName(TAccChild::NotANumber(), text), E_FAIL);
    EXPECT_EQ(LiveViewerAccObjects(), viewers) << "the client's reference keeps it";
    held.Reset();
    EXPECT_EQ(LiveViewerAccObjects(), viewers - 1);
    Popup.reset();
    ui::LONG count = 0;
    EXPECT_EQ(heldView->get_accChildCount(count), E_FAIL);
}

// A toolbar on the form, out of any menu loop: its default action runs the item later, from the loop.
class AccToolbar : public MenusFixture {
protected:
    AccToolbar()
    {
        Button = AddChild(Items.get(), "&Bold");
        Clicks.Attach(Button);
        Off = AddChild(Items.get(), "&Off");
        Off->SetEnabled(false);
        Window = new TViewWindow(Form.get());
        Window->SetParent(Form.get());
        Window->SetBounds(0, 0, 200, 24);
        Bar.reset(TTBView::CreateView(TTBViewClass::Of<TTBView>(), nullptr, nullptr, Items.get(), Window, true, false,
                                      false));
        Window->View = Bar.get();
        Bar->EnsureLayout();
    }
    ~AccToolbar() override
    {
        Window->View = nullptr;
        Bar.reset();
    }

    std::unique_ptr<TTBRootItem> Items = std::make_unique<TTBRootItem>(nullptr);
    TTBCustomItem* Button;
    TTBCustomItem* Off;
    TViewWindow* Window;
    std::unique_ptr<TTBView> Bar;
    ClickLog Clicks;
};

TEST_F(AccToolbar, TheDefaultActionRunsLaterFromTheMessageLoop)
{
    ITBAccessible* button = Bar->FindViewerOfItem(Button)->GetAccObject();
    std::string text;
    button->get_accDefaultAction(TAccChild::Self(), text);
    EXPECT_EQ(text, "Press");
    EXPECT_EQ(NameOf(button), "Bold") << "no shortcut text on a button";
    EXPECT_EQ(Bar->FindViewerOfItem(Off)->GetAccObject()->accDoDefaultAction(TAccChild::Self()), E_FAIL);
    ASSERT_EQ(button->accDoDefaultAction(TAccChild::Self()), S_OK);
    EXPECT_TRUE(Clicks.Clicks.empty()) << "not inside the call";
    PumpApplication();
    PumpApplication();
    EXPECT_EQ(Clicks.Clicks, std::vector<std::string>{"&Bold"});
    EXPECT_EQ(Clicks.LoopRunning, std::vector<bool>{false});
}

}  // namespace
}  // namespace ovrel::toolbars
