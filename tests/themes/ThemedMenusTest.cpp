// Themed menus end to end on a shown form: a menu bar in a themed dock opened with the mouse, its submenu and a
// context menu in themed pop-up windows, all read back from the windows' pixels; the toolbar's view types, its
// effective colour reaching child controls, and a theme change reaching it through the nexus.
#include "RecordingTheme.h"
#include "ThemeTestSupport.h"
#include "toolbars/MenusTestSupport.h"

#include "themes/DockablePanels.h"
#include "themes/PanelObjects.h"
#include "themes/Shadows.h"
#include "themes/StatusBars.h"
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
#include <optional>
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

/// The menu fixture's form and scripted input over a theme runtime with the distinct palette, and a menu bar
/// in a top dock. With a shadow type the recording theme, answering that type, is the current one.
class ThemedMenus : public MenusFixture {
protected:
    explicit ThemedMenus(std::optional<int> shadowType = std::nullopt)
    {
        Palette::Apply(FTable.Table());
        ui::SetApplicationActive(true);
        FRuntime = std::make_unique<TThemeRuntime>();
        if (shadowType) {
            StopNexus();
            RegisterTheme("Recording", [](const std::string& name) { return std::make_unique<RecordingTheme>(name); });
            StartNexus("Recording");
            static_cast<RecordingTheme*>(CurrentTheme())->ShadowType = *shadowType;
        }
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
            EXPECT_EQ(popup->GetShadows(), nullptr) << "the platform's shadow, none of its own";

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

TEST_F(ThemedMenus, TheViewMenuHidesAndShowsAPanelOfAMainWindowLikeForm)
{
    auto* left = new TTBXMultiDock(Form.get());
    left->SetPosition(toolbars::dpLeft);
    left->SetParent(Form.get());
    auto* right = new TTBXMultiDock(Form.get());
    right->SetPosition(toolbars::dpRight);
    right->SetParent(Form.get());
    const auto addPanel = [&](TTBXMultiDock* dock, const char* caption, int split) {
        auto* panel = new TTBXDockablePanel(Form.get());
        panel->SetCaption(caption);
        panel->SetDockedWidth(96);
        panel->SetSplitHeight(split);
        panel->SetParent(dock);
        return panel;
    };
    TTBXDockablePanel* folders = addPanel(left, "Folders", 0);
    TTBXDockablePanel* preview = addPanel(right, "Preview", 60);
    TTBXDockablePanel* properties = addPanel(right, "Properties", 120);
    auto* buttons = new TTBXAlignmentPanel(Form.get());
    buttons->SetAlign(toolkit::alBottom);
    buttons->SetHeight(32);
    buttons->SetParent(properties);
    auto* status = new TTBXStatusBar(Form.get());
    status->SetParent(Form.get());
    TTBCustomItem* view = AddSubmenu(Bar->GetItems(), "&View");
    std::vector<TTBXVisibilityToggleItem*> toggles;
    for (TTBXDockablePanel* panel : {folders, preview, properties}) {
        auto* toggle = new TTBXVisibilityToggleItem(nullptr);
        toggle->SetControl(panel);
        view->Add(toggle);
        toggles.push_back(toggle);
    }
    PumpApplication();
    EXPECT_EQ(toggles[0]->GetCaption(), "Folders") << "the panel's caption";
    EXPECT_TRUE(toggles[0]->GetChecked());
    EXPECT_EQ(left->GetWidth(), 100);
    EXPECT_EQ(properties->GetTop() + properties->GetHeight(), right->GetClientHeight());
    EXPECT_EQ(buttons->GetTop() + buttons->GetHeight(), properties->GetClientHeight());
    EXPECT_EQ(status->GetTop() + status->GetHeight(), Form->GetClientHeight());

    const auto chooseFolders = [&] {
        Script.Release(OnBar(view))
            .Move(On(view, toggles[0]))
            .Press(On(view, toggles[0]))
            .Release(On(view, toggles[0]));
        ui::PostMouseInput(ui::WM_MOUSEMOVE, OnBar(view)());
        ui::PostMouseInput(ui::WM_LBUTTONDOWN, OnBar(view)());
        PumpApplication();
        ASSERT_TRUE(Script.Steps.empty());
        ASSERT_TRUE(ShownPopups().empty());
    };
    chooseFolders();
    EXPECT_FALSE(folders->GetVisible());
    EXPECT_LE(left->GetWidth(), 1) << "the dock of the only panel collapses";
    toggles[0]->InitiateAction();
    EXPECT_FALSE(toggles[0]->GetChecked());
    chooseFolders();
    EXPECT_TRUE(folders->GetVisible());
    EXPECT_EQ(left->GetWidth(), 100);

    // A change of the system colours reaches the menu bar and the panels.
    // Resolved now: a system colour value would read the new table later.
    const auto colours = [&] {
        return std::vector<ui::COLORREF>{toolkit::ColorToRGB(GetEffectiveColor(Bar)),
                                         toolkit::ColorToRGB(GetEffectiveColor(folders))};
    };
    const std::vector<ui::COLORREF> before = colours();
    Table().Colors[ui::COLOR_BTNFACE] = ui::RGB(1, 2, 3);
    ui::SendMessage(GetThemeManager()->GetWindowHandle(), ui::WM_SYSCOLORCHANGE, 0, 0);
    const std::vector<ui::COLORREF> after = colours();
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_NE(after[i], before[i]) << i;
}

/// The screen rectangles of a group's shadow windows in their slots; empty for absent ones.
std::vector<TRect> BoundsOf(const TShadows& shadows)
{
    std::vector<TRect> bounds;
    for (const std::unique_ptr<TShadow>& shadow : shadows.GetShadows()) {
        TRect r{};
        if (shadow)
            ui::GetWindowRect(shadow->GetHandle(), &r);
        bounds.push_back(r);
    }
    return bounds;
}

std::vector<TRect> BoundsOf(const TShadowLayout& layout)
{
    std::vector<TRect> bounds;
    for (const std::optional<TShadowPart>& part : layout)
        bounds.push_back(part ? part->Bounds : TRect{});
    return bounds;
}

TEST_F(ThemedMenus, ShadowWindowsArePlainHalfBandsWithoutAlphaAndLetTheMousePass)
{
    const TRect popup{200, 200, 300, 260};
    {
        TShadows flat(TRect{}, popup, 4, 61, true);
        EXPECT_EQ(BoundsOf(flat), BoundsOf(PlaceShadows(TRect{}, popup, 2, false))) << "half the size";
        TShadow& right = *flat.GetShadows()[0];
        EXPECT_EQ(right.GetStyle(), TShadowStyle::Plain);
        EXPECT_TRUE(right.GetSaveBits());
        flat.ShowAfter(Form->GetHandle());
        EXPECT_TRUE(ui::IsWindowVisible(right.GetHandle()));
        ui::UpdateWindow(right.GetHandle());
        const QImage& image = *ui::GetWindowImage(right.GetHandle());
        EXPECT_EQ(PixelAt(image, 0, 10), Palette::Shadow);
        EXPECT_EQ(PixelAt(image, 1, 50), Palette::Shadow);
        const ui::HWND hit = ui::WindowFromPoint(ui::POINT{301, 230});
        EXPECT_NE(hit, right.GetHandle());
        EXPECT_NE(hit, nullptr) << "the form below takes the point";
    }
    Table().Caps.AlphaBlend = true;
    TShadows blended(TRect{}, popup, 4, 61, false);
    EXPECT_EQ(blended.GetShadows()[0]->GetStyle(), TShadowStyle::AlphaBlended);
    EXPECT_EQ(BoundsOf(blended), BoundsOf(PlaceShadows(TRect{}, popup, 4, false)));
}

class RecordedMenus : public ThemedMenus {
protected:
    RecordedMenus() : ThemedMenus(PST_WINDOWSXP) {}
    RecordingTheme& Recorder() { return *static_cast<RecordingTheme*>(CurrentTheme()); }
    void ChangeTheme() { ui::SendMessage(GetThemeManager()->GetWindowHandle(), ui::WM_SYSCOLORCHANGE, 0, 0); }
};

TEST_F(RecordedMenus, AThemeChangeLaysDockedToolbarsOutAgainAndReframesAFloatingOne)
{
    // Two toolbars in one dock, each with a separator whose size is the theme's.
    std::vector<TTBXToolbar*> bars;
    for (int i = 0; i < 2; ++i) {
        auto* bar = new TTBXToolbar(Form.get());
        AddItem(bar->GetItems(), "Cut");
        bar->GetItems()->Add(new TTBXSeparatorItem(nullptr));
        AddItem(bar->GetItems(), "Paste");
        bar->SetDockRow(1);
        bar->SetParent(Dock);
        bars.push_back(bar);
    }
    Recorder().IntegerMetrics[50] = 4;
    ChangeTheme();
    const int narrow = bars[1]->GetWidth();
    Recorder().IntegerMetrics[50] = 24;
    ChangeTheme();
    EXPECT_EQ(bars[1]->GetWidth(), narrow + 20) << "laid out with the new separator size";
    EXPECT_EQ(bars[1]->GetLeft(), bars[0]->GetLeft() + bars[0]->GetWidth()) << "the dock arranged them again";

    bars[0]->SetFloating(true);
    toolkit::TWinControl* frame = bars[0]->GetParent();
    ASSERT_NE(dynamic_cast<TTBXFloatingWindowParent*>(frame), nullptr);
    const int inset = ui::GetClientInset(frame->GetHandle()).left;
    Recorder().ViewBorder = TPoint{7, 7};
    ChangeTheme();
    EXPECT_EQ(ui::GetClientInset(frame->GetHandle()).left, inset + 4) << "the floating frame takes the new border";
}

class ThemedMenuShadows : public ThemedMenus {
protected:
    ThemedMenuShadows() : ThemedMenus(PST_OFFICEXP) {}
};

TEST_F(ThemedMenuShadows, ADropDownShadesItselfAndItsButtonAndCastsThemAgainWhenMoved)
{
    bool checked = false;
    Script.Release(OnBar(File))
        .Then([&] {
            ASSERT_EQ(ShownPopups().size(), 1u);
            auto* popup = dynamic_cast<TTBXPopupWindow*>(ShownPopups().front());
            ASSERT_NE(popup, nullptr);
            EXPECT_EQ(ui::GetClassStyle(popup->GetHandle()) & ui::CS_DROPSHADOW, 0u) << "no platform shadow";
            ASSERT_NE(popup->GetShadows(), nullptr);
            const auto expected = [&] {
                TRect window{};
                ui::GetWindowRect(popup->GetHandle(), &window);
                TRect file = Bar->GetView()->FindViewerOfItem(File)->GetBoundsRect();
                const TPoint origin = Bar->ClientToScreen(TPoint{0, 0});
                ui::OffsetRect(&file, origin.x, origin.y);
                return BoundsOf(PlaceShadows(file, window, 4, true));
            };
            EXPECT_EQ(BoundsOf(*popup->GetShadows()), expected());
            for (const std::unique_ptr<TShadow>& shadow : popup->GetShadows()->GetShadows()) {
                if (shadow) {
                    EXPECT_TRUE(ui::IsWindowVisible(shadow->GetHandle()));
                }
            }

            popup->SetBounds(popup->GetLeft() + 10, popup->GetTop(), popup->GetWidth(), popup->GetHeight() + 5);
            EXPECT_EQ(BoundsOf(*popup->GetShadows()), expected()) << "cast again for the new place";
            const TShadows* shown = popup->GetShadows();
            ui::ShowWindow(popup->GetHandle(), ui::SW_HIDE);
            EXPECT_EQ(popup->GetShadows(), shown) << "hiding keeps them";
            checked = true;
        })
        .Key(ui::VK_ESCAPE)
        .Key(ui::VK_ESCAPE);
    ui::PostMouseInput(ui::WM_MOUSEMOVE, OnBar(File)());
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, OnBar(File)());
    PumpApplication();
    EXPECT_TRUE(checked);
}

}  // namespace
}  // namespace ovrel::themes
