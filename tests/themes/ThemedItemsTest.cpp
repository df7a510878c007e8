// Themed items: their style bits and property tables, setters that re-lay the item out once per real change,
// the pop-up that selects its first item, and the View menu's visibility toggle with a control that goes away.

#include "ThemedItemsTestSupport.h"

#include "toolbars/ItemsTestSupport.h"
#include "toolkit/ExtCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::themes {
namespace {

using namespace ovrel::themes::testing;
using namespace ovrel::toolbars;
using toolbars::testing::Listener;

TEST(ThemedItems, StyleBitsOfTheClasses)
{
    TTBXItem item(nullptr);
    TTBXSubmenuItem submenu(nullptr);
    EXPECT_EQ(item.GetItemStyle() & (itsSubmenu | itsEditableSubitems), 0);
    EXPECT_EQ(submenu.GetItemStyle() & 0x81, 0x81) << "submenu and editable subitems";
    EXPECT_FALSE(submenu.GetDropdownCombo());
    submenu.SetDropdownCombo(true);
    EXPECT_EQ(submenu.GetItemStyle() & 0x20, 0x20);
    item.SetStretch(true);
    EXPECT_EQ(item.GetItemStyle() & 0x2000, 0x2000);
    item.SetStretch(false);
    EXPECT_EQ(item.GetItemStyle() & 0x2000, 0);
    EXPECT_NE(item.GetItemStyle() & itsSelectable, 0) << "the other bits stay";
}

TEST(ThemedItems, EveryClassKeepsTheCaptionInItsPropertyTableForTheLanguageFiles)
{
    TTBXItem item(nullptr);
    TTBXSubmenuItem submenu(nullptr);
    TTBXVisibilityToggleItem toggle(nullptr);
    TTBXSeparatorItem separator(nullptr);
    for (toolkit::TPersistent* object :
         std::initializer_list<toolkit::TPersistent*>{&item, &submenu, &toggle, &separator}) {
        SCOPED_TRACE(toolkit::ClassNameOf(*object));
        toolkit::SetStrProp(*object, "Caption", "&Status bar");
        EXPECT_EQ(toolkit::GetStrProp(*object, "Caption"), "&Status bar");
    }
    EXPECT_EQ(item.GetCaption(), "&Status bar");
    toolkit::SetOrdProp(submenu, "DropdownCombo", 1);
    EXPECT_TRUE(submenu.GetDropdownCombo());
    toolkit::SetOrdProp(item, "Layout", tbxlGlyphTop);
    EXPECT_EQ(item.GetLayout(), tbxlGlyphTop);
    toolkit::SetOrdProp(separator, "Size", -7);
    EXPECT_EQ(separator.GetSize(), -1) << "values below -1 are stored as -1";
}

// Each setter of a themed item, with a value other than its default.
struct Setter {
    const char* Name;
    std::function<void(TTBXCustomItem&)> Set;
};

class ThemedItemSetters : public ::testing::TestWithParam<Setter> {};

TEST_P(ThemedItemSetters, RelayTheItemOutOnceAndOnlyForARealChange)
{
    TTBXRootItem root(nullptr);
    auto* item = new TTBXSubmenuItem(nullptr);
    root.Add(item);
    Listener listener(&root);
    GetParam().Set(*item);
    ASSERT_EQ(listener.Notices.size(), 1U);
    EXPECT_EQ(listener.Notices[0].Kind, tbcRepaintAndResize);
    EXPECT_EQ(listener.Notices[0].Item, item);
    GetParam().Set(*item);
    EXPECT_EQ(listener.Notices.size(), 1U) << "the same value again";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ThemedItemSetters,
    ::testing::Values(Setter{"Layout", [](TTBXCustomItem& i) { i.SetLayout(tbxlGlyphTop); }},
                      Setter{"MinHeight", [](TTBXCustomItem& i) { i.SetMinHeight(30); }},
                      Setter{"MinWidth", [](TTBXCustomItem& i) { i.SetMinWidth(30); }},
                      Setter{"Stretch", [](TTBXCustomItem& i) { i.SetStretch(true); }},
                      Setter{"AlwaysSelectFirst", [](TTBXCustomItem& i) { i.SetAlwaysSelectFirst(true); }},
                      Setter{"ToolBoxPopup", [](TTBXCustomItem& i) { i.SetToolBoxPopup(true); }},
                      Setter{"DropdownCombo",
                             [](TTBXCustomItem& i) { static_cast<TTBXSubmenuItem&>(i).SetDropdownCombo(true); }},
                      Setter{"FontSettingsSize", [](TTBXCustomItem& i) { i.GetFontSettings()->SetSize(150); }},
                      Setter{"FontSettingsAssigned",
                             [](TTBXCustomItem& i) {
                                 TFontSettings settings;
                                 settings.SetBold(tsOn);
                                 settings.SetName("DejaVu Serif");
                                 i.SetFontSettings(&settings);
                             }}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST(ThemedItems, ASeparatorsSizeRelaysOutAndStopsAtMinusOne)
{
    TTBXRootItem root(nullptr);
    auto* separator = new TTBXSeparatorItem(nullptr);
    root.Add(separator);
    Listener listener(&root);
    EXPECT_EQ(separator->GetSize(), -1);
    separator->SetSize(-5);
    EXPECT_EQ(separator->GetSize(), -1);
    EXPECT_TRUE(listener.Notices.empty()) << "-5 is -1, the value it had";
    separator->SetSize(4);
    EXPECT_EQ(listener.Kinds(), std::vector<TTBItemChange>{tbcRepaintAndResize});
}

class ThemedItemPopups : public ThemedViewTest {};

TEST_F(ThemedItemPopups, APopupOfAnItemThatAlwaysSelectsFirstOpensWithItsFirstItemSelected)
{
    auto* always = Add<TTBXSubmenuItem>("File");
    always->SetAlwaysSelectFirst(true);
    toolbars::testing::AddChild<TTBXItem>(always, "Open");
    auto* plain = Add<TTBXSubmenuItem>("Edit");
    toolbars::testing::AddChild<TTBXItem>(plain, "Copy");
    ShowView(true, VT_MENUBAR);
    toolbars::testing::TFakePopupFactory popups(Form.get());
    for (TTBXSubmenuItem* item : {always, plain}) {
        View->Select(&ViewerOf(item));
        ASSERT_TRUE(View->OpenChildPopup(false));
        View->CloseChildPopups();
    }
    ASSERT_EQ(popups.Openings.size(), 2U);
    EXPECT_TRUE(popups.Openings[0].SelectFirstItem);
    EXPECT_FALSE(popups.Openings[1].SelectFirstItem);
    EXPECT_NE(dynamic_cast<TTBXItemViewer*>(View->FindViewerOfItem(plain)), nullptr) << "themed items, themed viewers";
}

// ---- The visibility toggle ------------------------------------------------------------------------------

class VisibilityToggle : public ::testing::Test {
public:
    void Clicked(toolkit::TObject*) { VisibleWhenClicked.push_back(Panel->GetVisible()); }

protected:
    toolkit::TPanel* Panel = new toolkit::TPanel(nullptr);
    std::unique_ptr<toolkit::TPanel> PanelOwner{Panel};
    std::unique_ptr<TTBXVisibilityToggleItem> Item = std::make_unique<TTBXVisibilityToggleItem>(nullptr);
    std::vector<bool> VisibleWhenClicked;
};

TEST_F(VisibilityToggle, TakesTheControlsTextAndFollowsItsVisibility)
{
    Panel->SetCaption("Preview");
    Item->SetControl(Panel);
    EXPECT_EQ(Item->GetCaption(), "Preview");
    EXPECT_TRUE(Item->GetChecked());

    Panel->SetVisible(false);
    EXPECT_TRUE(Item->GetChecked()) << "until the item is brought up to date";
    Item->InitiateAction();
    EXPECT_FALSE(Item->GetChecked());

    TTBXVisibilityToggleItem named(nullptr);
    named.SetCaption("&Properties");
    named.SetControl(Panel);
    EXPECT_EQ(named.GetCaption(), "&Properties") << "a caption of its own stays";
    EXPECT_FALSE(named.GetChecked());
}

TEST_F(VisibilityToggle, AClickTogglesTheControlBeforeTheItemRuns)
{
    Item->SetControl(Panel);
    Item->OnClick = toolkit::TNotifyEvent(static_cast<VisibilityToggle*>(this), &VisibilityToggle::Clicked);
    Item->Click();
    EXPECT_FALSE(Panel->GetVisible());
    Item->Click();
    EXPECT_TRUE(Panel->GetVisible());
    EXPECT_EQ(VisibleWhenClicked, (std::vector<bool>{false, true}));
}

TEST_F(VisibilityToggle, AFreedControlLeavesTheItemWithoutOneAndUsable)
{
    Item->SetControl(Panel);
    PanelOwner.reset();
    Panel = nullptr;
    EXPECT_EQ(Item->GetControl(), nullptr);
    EXPECT_FALSE(Item->GetChecked());
    int clicks = 0;
    struct Counter {
        int* Count;
        void Clicked(toolkit::TObject*) { ++*Count; }
    } counter{&clicks};
    Item->OnClick = toolkit::TNotifyEvent(&counter, &Counter::Clicked);
    Item->Click();
    Item->InitiateAction();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(Item->GetChecked());
}

TEST_F(VisibilityToggle, AnItemFreedFirstIsForgottenByItsControl)
{
    Item->SetControl(Panel);
    Item.reset();
    Panel->SetVisible(false);  // would reach a freed item if it were still listening
    PanelOwner.reset();
    SUCCEED();
}

}  // namespace
}  // namespace ovrel::themes
