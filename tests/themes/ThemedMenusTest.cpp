// Themed menus end to end on a shown form: a menu bar in a themed dock opened with the mouse, its submenu and a
// context menu in themed pop-up windows, all read back from the windows' pixels; the toolbar's view types, its
// effective colour reaching child controls, and a theme change reaching it through the nexus.
#include "ThemeTestSupport.h"
#include "toolbars/MenusTestSupport.h"

#include "themes/ThemedDocks.h"
#include "themes/ThemedItems.h"
#include "themes/ThemedPopups.h"
#include "themes/ThemedToolbars.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/ExtCtrls.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::themes {
namespace {

using namespace ovrel::themes::testing;
using namespace ovrel::toolbars::testing;
using toolbars::TTBCustomItem;
using toolbars::TTBView;
using toolkit::TPoint;
using toolkit::TRect;

ui::COLORREF PixelAt(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return ui::RGB(qRed(p), qGreen(p), qBlue(p));
}

/// The bounds of the pixels of area nearer to color than to any of the others.
TRect InkIn(const QImage& image, ui::COLORREF color, std::initializer_list<ui::COLORREF> others, const TRect& area)
{
    TRect r{image.width(), image.height(), 0, 0};
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, image.height()); ++y)
        for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, image.width()); ++x) {
            const ui::COLORREF pixel = PixelAt(image, x, y);
            const int mine = Distance(pixel, color);
            if (std::all_of(others.begin(), others.end(), [&](ui::COLORREF o) { return mine < Distance(pixel, o); })) {
                r.left = std::min<ui::LONG>(r.left, x);
                r.top = std::min<ui::LONG>(r.top, y);
                r.right = std::max<ui::LONG>(r.right, x + 1);
                r.bottom = std::max<ui::LONG>(r.bottom, y + 1);
            }
        }
    return r.right == 0 ? TRect{} : r;
}

/// The menu fixture's form and scripted input over a theme runtime with the distinct palette.
class ThemedMenus : public MenusFixture {
protected:
    ThemedMenus()
    {
        Palette::Apply(FTable.Table());
        ui::SetApplicationActive(true);
        FRuntime = std::make_unique<TThemeRuntime>();
        Dock = new TTBXDock(Form.get());
        Dock->SetPosition(toolbars::dpTop);
        Dock->SetParent(Form.get());
        Bar = new TTBXToolbar(Form.get());
        Bar->SetMenuBar(true);
        File = AddSubmenu(Bar->GetItems(), "&File");
        Open = AddItem(File, "&Open");
        Save = AddItem(File, "&Save");
        AddItem(Bar->GetItems(), "&Help");
        Bar->SetParent(Dock);
        PumpApplication();
    }
    ~ThemedMenus() override
    {
        // The controls leave the nexus before the runtime goes.
        Form.reset();
        FRuntime.reset();
    }

    static TTBCustomItem* AddSubmenu(TTBCustomItem* parent, const std::string& caption)
    {
        auto* item = new TTBXSubmenuItem(nullptr);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    }
    static TTBCustomItem* AddItem(TTBCustomItem* parent, const std::string& caption)
    {
        auto* item = new TTBXItem(nullptr);
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
    ui::SystemTable& Table() { return FTable.Table(); }

private:
    ui::SystemTableOverride FTable;
    std::unique_ptr<TThemeRuntime> FRuntime;

protected:
    TTBXDock* Dock;  // owned by the form
    TTBXToolbar* Bar;
    TTBCustomItem* File;
    TTBCustomItem* Open;
    TTBCustomItem* Save;
};

TEST_F(ThemedMenus, TheMenuBarOpensAThemedSubmenuWhoseLookComesFromTheTheme)
{
    bool checked = false;
    Script.Release(OnBar(File))
        .Move(On(File, Save))
        .Then([&] {
            const std::vector<toolbars::TTBPopupWindow*> popups = ShownPopups();
            ASSERT_EQ(popups.size(), 1u);
            auto* popup = dynamic_cast<TTBXPopupWindow*>(popups.front());
            ASSERT_NE(popup, nullptr) << "a themed submenu opens a themed window";
            const ui::HWND handle = popup->GetHandle();
            EXPECT_EQ(GetWinViewType(popup), VT_POPUPMENU);
            // The default theme asks for the platform's shadow, which the platform profile has.
            EXPECT_NE(ui::GetClassStyle(handle) & ui::CS_DROPSHADOW, 0u);
            EXPECT_EQ(ui::GetClassName(handle).back(), 'S');

            ui::UpdateWindow(handle);
            ui::UpdateWindow(Bar->GetHandle());
            const QImage& image = *ui::GetWindowImage(handle);
            const int midY = image.height() / 2;
            // A raised edge, then rings of the menu colour up to the theme's three-pixel border.
            EXPECT_EQ(PixelAt(image, 0, midY), Palette::Light);
            EXPECT_EQ(PixelAt(image, 1, midY), Palette::Highlight);
            EXPECT_EQ(PixelAt(image, 2, midY), Palette::Menu) << "not the framework's button face";
            EXPECT_EQ(PixelAt(image, image.width() - 1, midY), Palette::DarkShadow);
            EXPECT_EQ(ui::GetClientInset(handle).left, 3);

            // The hovered item in the selection colour with its text, the other on the menu colour.
            TRect save = popup->GetView()->FindViewerOfItem(Save)->GetBoundsRect();
            TRect open = popup->GetView()->FindViewerOfItem(Open)->GetBoundsRect();
            ui::OffsetRect(&save, 3, 3);
            ui::OffsetRect(&open, 3, 3);
            EXPECT_EQ(PixelAt(image, save.right - 3, (save.top + save.bottom) / 2), Palette::Selection);
            EXPECT_EQ(PixelAt(image, open.right - 3, (open.top + open.bottom) / 2), Palette::Menu);
            const TRect text = InkIn(image, Palette::SelectionText, {Palette::Selection}, save);
            EXPECT_GT(text.right - text.left, 10) << "the caption of the selection";
            EXPECT_EQ(InkIn(image, Palette::SelectionText, {Palette::Selection, Palette::Menu}, open), TRect{});
            const TRect openText = InkIn(image, Palette::MenuText, {Palette::Menu}, open);
            EXPECT_GT(openText.right - openText.left, 10) << "the other caption in the menu text colour";

            // The menu bar's open item is pushed in: a sunken edge, its caption on the button face.
            const QImage& bar = *ui::GetWindowImage(Bar->GetHandle());
            const ui::RECT inset = ui::GetClientInset(Bar->GetHandle());
            TRect file = Bar->GetView()->FindViewerOfItem(File)->GetBoundsRect();
            ui::OffsetRect(&file, inset.left, inset.top);
            EXPECT_EQ(PixelAt(bar, file.left, file.top + 2), Palette::Shadow);
            EXPECT_EQ(PixelAt(bar, file.right - 1, file.top + 2), Palette::Highlight);
            const TRect caption = InkIn(bar, Palette::ButtonText, {Palette::Face, Palette::Shadow}, file);
            EXPECT_GT(caption.right - caption.left, 5);
            EXPECT_EQ(PixelAt(bar, bar.width() - 4, (file.top + file.bottom) / 2), Palette::Face)
                << "the bar's own colour behind the items";
            checked = true;
        })
        .Key(ui::VK_ESCAPE)
        .Key(ui::VK_ESCAPE);
    ui::PostMouseInput(ui::WM_MOUSEMOVE, OnBar(File)());
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, OnBar(File)());
    PumpApplication();
    EXPECT_TRUE(checked);
    EXPECT_TRUE(ShownPopups().empty());
}

TEST_F(ThemedMenus, AContextMenuShowsItsItemsInAThemedWindow)
{
    auto* menu = new TTBXPopupMenu(Form.get());
    TTBCustomItem* copy = AddItem(menu->GetItems(), "&Copy");
    AddItem(menu->GetItems(), "&Paste");
    EXPECT_NE(dynamic_cast<TTBXRootItem*>(menu->GetItems()), nullptr);
    toolkit::TMessage question{WM_TBX_GETVIEWTYPE, 0, 0, 0};
    menu->Dispatch(question);
    EXPECT_EQ(question.Result, VT_POPUPMENU);

    bool checked = false;
    std::vector<std::string> clicks;
    ClickLog log;
    log.Attach(copy);
    Script
        .Then([&] {
            const std::vector<toolbars::TTBPopupWindow*> popups = ShownPopups();
            ASSERT_EQ(popups.size(), 1u);
            ASSERT_NE(dynamic_cast<TTBXPopupWindow*>(popups.front()), nullptr);
            const ui::HWND handle = popups.front()->GetHandle();
            ui::UpdateWindow(handle);
            const QImage& image = *ui::GetWindowImage(handle);
            EXPECT_EQ(PixelAt(image, 2, image.height() / 2), Palette::Menu);
            EXPECT_EQ(PixelAt(image, image.width() - 5, image.height() - 5), Palette::Menu);
            checked = true;
            ui::PostMouseInput(ui::WM_MOUSEMOVE, On(menu->GetItems(), copy)());
        })
        .Click(On(menu->GetItems(), copy));
    menu->Popup(300, 250);
    PumpApplication();
    EXPECT_TRUE(checked);
    EXPECT_EQ(log.Clicks, std::vector<std::string>{"&Copy"});
}

TEST_F(ThemedMenus, TheToolbarsViewTypeFollowsItsPlaceAndSettings)
{
    auto* plain = new TTBXToolbar(Form.get());
    constexpr int Resizable = VT_RESIZABLE;
    struct Row {
        const char* name;
        std::function<void()> place;
        int viewType;
    };
    const std::vector<Row> rows{
        {"on the form, auto: opaque", [&] { plain->SetParent(Form.get()); }, VT_TOOLBARVIEW | Resizable | VT_OPAQUE},
        {"docked, auto: transparent", [&] { plain->SetParent(Dock); }, VT_TOOLBARVIEW | Resizable},
        {"docked, disabled transparency", [&] { plain->SetItemTransparency(itDisable); },
         VT_TOOLBARVIEW | Resizable | VT_OPAQUE},
        {"on the form, enabled transparency",
         [&] {
             plain->SetItemTransparency(itEnable);
             plain->SetParent(Form.get());
         },
         VT_TOOLBARVIEW | Resizable},
        {"floating", [&] { plain->SetFloating(true); }, VT_TOOLBARVIEW | Resizable | VT_FLOATING},
        {"not resizable", [&] { plain->SetResizable(false); }, VT_TOOLBARVIEW | VT_FLOATING},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.place();
        EXPECT_EQ(GetWinViewType(plain), row.viewType);
    }
    EXPECT_EQ(GetWinViewType(Bar), VT_MENUBAR | Resizable);
}

TEST_F(ThemedMenus, TheEffectiveColourReachesChildControlsAndFollowsAThemeChange)
{
    auto* bar = new TTBXToolbar(Form.get());
    EXPECT_EQ(bar->GetColor(), toolkit::clNone);
    bar->SetParent(Dock);
    EXPECT_EQ(GetEffectiveColor(bar), toolkit::clBtnFace) << "docked: the theme's toolbar colour";

    // On a form the toolbar shows the form's colour, and a child added to it takes that colour.
    Form->SetColor(toolkit::clTeal);
    bar->SetParent(Form.get());
    EXPECT_EQ(GetEffectiveColor(bar), toolkit::clTeal);
    auto* child = new toolkit::TPanel(Form.get());
    child->SetParentColor(true);
    child->SetParent(bar);
    EXPECT_EQ(child->GetColor(), toolkit::clTeal) << "not the toolbar's clNone";

    // A colour of its own reaches the child at once.
    bar->SetColor(toolkit::clOlive);
    EXPECT_EQ(GetEffectiveColor(bar), toolkit::clOlive);
    EXPECT_EQ(child->GetColor(), toolkit::clOlive);

    // Back in the dock with no colour: a change of the system colours reaches it through the nexus.
    bar->SetColor(toolkit::clNone);
    bar->SetParent(Dock);
    Table().Colors[ui::COLOR_BTNFACE] = ui::RGB(1, 2, 3);
    ui::SendMessage(GetThemeManager()->GetWindowHandle(), ui::WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(toolkit::ColorToRGB(GetEffectiveColor(bar)), ui::RGB(1, 2, 3));
    EXPECT_EQ(toolkit::ColorToRGB(child->GetColor()), ui::RGB(1, 2, 3));
}

}  // namespace
}  // namespace ovrel::themes
