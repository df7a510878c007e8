// The pop-up menu component: its properties are its root item's, OnPopup fires before the menu shows, it
// pops up where its alignment says, and its shortcuts run through the form while it is hidden.
#include "MenusTestSupport.h"

#include "toolbars/PopupMenu.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolbars::testing;
using toolkit::TPoint;

class TFocusable : public toolkit::TCustomControl {
public:
    explicit TFocusable(toolkit::TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
};

class PopupMenus : public MenusFixture {
protected:
    PopupMenus()
    {
        Menu = new TTBPopupMenu(Form.get());
        Open = AddChild(Menu->GetItems(), "&Open");
        Save = AddChild(Menu->GetItems(), "&Save");
        Save->SetShortCut(toolkit::ShortCut('S', toolkit::TShiftState{toolkit::ssCtrl}));
        Clicks.Attach(Open);
        Clicks.Attach(Save);
        Menu->OnPopup = toolkit::TNotifyEvent(this, &PopupMenus::Popped);
    }

    void Popped(toolkit::TObject* sender)
    {
        PopupSenders.push_back(sender);
        ShownAtPopup.push_back(ShownPopups().size());
    }

    TTBPopupMenu* Menu;  // owned by the form
    TTBCustomItem* Open;
    TTBCustomItem* Save;
    ClickLog Clicks;
    std::vector<toolkit::TObject*> PopupSenders;
    std::vector<std::size_t> ShownAtPopup;
};

TEST_F(PopupMenus, PropertiesAreThoseOfTheRootItem)
{
    toolkit::TImageList images(nullptr);
    Menu->SetImages(&images);
    EXPECT_EQ(Menu->GetItems()->GetSubMenuImages(), &images);
    Menu->GetItems()->SetSubMenuImages(nullptr);
    EXPECT_EQ(Menu->GetImages(), nullptr);
    Menu->SetOptions(TTBItemOptions{tboShowHint});
    EXPECT_EQ(Menu->GetItems()->GetOptions(), TTBItemOptions{tboShowHint});
    EXPECT_EQ(Menu->GetItems()->GetHostComponent(), Menu);
}

TEST_F(PopupMenus, OnPopupFiresWithTheMenuBeforeTheMenuShows)
{
    Script.Key(ui::VK_ESCAPE);
    Menu->Popup(300, 200);
    EXPECT_EQ(PopupSenders, std::vector<toolkit::TObject*>{Menu});
    EXPECT_EQ(ShownAtPopup, std::vector<std::size_t>{0});
    EXPECT_EQ(Menu->GetPopupPoint(), (TPoint{300, 200}));
}

TEST_F(PopupMenus, ShowsTheLinkedItemsChildrenWhereTheAlignmentSays)
{
    TTBRootItem shared(nullptr);
    AddChild(&shared, "Linked one");
    AddChild(&shared, "Linked two");
    Menu->SetLinkSubitems(&shared);
    Menu->SetAlignment(toolkit::paRight);
    std::vector<std::string> shown;
    ui::RECT bounds{};
    Script.Then([&] {
        TTBPopupWindow* popup = ShownPopups().at(0);
        for (int i = 0; i < popup->GetView()->GetViewerCount(); ++i)
            shown.push_back(popup->GetView()->GetViewer(i)->GetCaptionText());
        ui::GetWindowRect(popup->GetHandle(), &bounds);
        ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_ESCAPE);
    });
    Menu->Popup(300, 200);
    EXPECT_EQ(shown, (std::vector<std::string>{"Linked one", "Linked two"}));
    EXPECT_EQ(bounds.right, 300);
    EXPECT_EQ(bounds.top, 200);
}

TEST_F(PopupMenus, AShortCutRunsItsItemThroughTheFormWhileTheMenuIsHidden)
{
    auto* control = new TFocusable(Form.get());
    control->SetParent(Form.get());
    control->SetBounds(10, 10, 50, 20);
    control->SetPopupMenu(Menu);
    control->SetFocus();
    ui::PostKeyInput(ui::WM_KEYDOWN, 'S', {}, ui::MOD_CONTROL);
    ui::PostKeyInput(ui::WM_KEYUP, 'S', {}, ui::MOD_CONTROL);
    PumpApplication();
    EXPECT_EQ(Clicks.Clicks, std::vector<std::string>{"&Save"});
    EXPECT_TRUE(ShownPopups().empty());
    // The menu brings its items up to date first, as when it shows.
    EXPECT_EQ(PopupSenders, std::vector<toolkit::TObject*>{Menu});
}

}  // namespace
}  // namespace ovrel::toolbars
