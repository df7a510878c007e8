// What the default theme answers without painting: its metric tables, the colours of views and items by view
// type, options, hover, enabled state, flat menus and application activity, borders and margins.

#include "ThemeTestSupport.h"

#include "themes/DefaultTheme.h"
#include "themes/ThemeUtils.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace ovrel::themes {
namespace {

using namespace ovrel::toolkit;
using testing::Item;

class DefaultThemeAnswers : public testing::ThemeRuntimeTest {
protected:
    void SetFlatMenus(bool on)
    {
        Table().FlatMenu = on ? ui::TRUE : ui::FALSE;
        Manager().RefreshColors();
    }
};

TEST_F(DefaultThemeAnswers, IntegerAndBooleanMetricsFollowTheTable)
{
    const std::pair<int, int> integers[] = {{10, 11}, {20, 8},  {21, 3}, {34, 3},  {30, 2},  {33, 2},  {36, 2},
                                            {60, 2},  {61, 2},  {31, 0}, {32, 1},  {62, 1},  {37, 4},  {64, 4},
                                            {40, 6},  {65, 13}, {0, -1}, {11, -1}, {35, -1}, {63, -1}, {1000, -1}};
    for (const auto& [index, value] : integers) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Theme().GetIntegerMetric(index), value);
    }
    for (int index : {0, 1, 2, 4, 5, 7, 100})
        EXPECT_FALSE(Theme().GetBooleanMetric(index)) << index;
    EXPECT_TRUE(Theme().GetBooleanMetric(3));
    EXPECT_TRUE(Theme().GetBooleanMetric(6));
    EXPECT_EQ(Theme().GetPopupShadowType(), PST_WINDOWSXP);
}

TEST_F(DefaultThemeAnswers, WithVisualStylesTheSplitPartIsTheToolbarPartTwoWider)
{
    ui::RecordingVisualStyles styles;
    ui::ScopedService<ui::IVisualStyles> installed(ui::SetVisualStyles, styles);
    Manager().RefreshColors();
    ASSERT_TRUE(VisualStylesActive());
    EXPECT_EQ(Theme().GetIntegerMetric(10), 11) << "no part size: the classic width";
    styles.PartSizes[4] = ui::SIZE{13, 22};  // the split button's drop-down part
    EXPECT_EQ(Theme().GetIntegerMetric(10), 15);
    EXPECT_TRUE(Theme().GetBooleanMetric(5));
}

enum class Ask { Text, Item, ImageBackground };

struct ItemColorCase {
    const char* Name;
    friend void PrintTo(const ItemColorCase& c, std::ostream* os) { *os << c.Name; }
    bool FlatMenus;
    Ask Question;
    TItemPaintInfo Info;
    TColor Expected;
};

class ItemColorTable : public DefaultThemeAnswers, public ::testing::WithParamInterface<ItemColorCase> {};

TEST_P(ItemColorTable, AnswersByViewOptionsHoverAndState)
{
    const ItemColorCase& c = GetParam();
    SetFlatMenus(c.FlatMenus);
    ASSERT_EQ(FlatMenus(), c.FlatMenus);
    TColor actual = clNone;
    switch (c.Question) {
    case Ask::Text: actual = Theme().GetItemTextColor(c.Info); break;
    case Ask::Item: actual = Theme().GetItemColor(c.Info); break;
    case Ask::ImageBackground: actual = Theme().GetItemImageBackground(c.Info); break;
    }
    EXPECT_EQ(actual, c.Expected);
}

std::string QuestionName(Ask question)
{
    switch (question) {
    case Ask::Text: return "Text";
    case Ask::Item: return "Item";
    case Ask::ImageBackground: return "Image";
    }
    return "";
}

constexpr int Active = IO_APPACTIVE;
constexpr int ToolbarItem = IO_TOOLBARSTYLE | IO_APPACTIVE;

INSTANTIATE_TEST_SUITE_P(
    Rows, ItemColorTable,
    ::testing::Values(
        // Captions.
        ItemColorCase{"DisabledIsGrey", false, Ask::Text, Item(VT_TOOLBARVIEW, ToolbarItem, false), clGrayText},
        ItemColorCase{"DisabledHotMenuItemIsGrey", false, Ask::Text, Item(VT_POPUPMENU, Active, false, HK_DISABLED),
                      clGrayText},
        ItemColorCase{"MenuItem", false, Ask::Text, Item(VT_POPUPMENU, Active, true), clMenuText},
        ItemColorCase{"HotMenuItem", false, Ask::Text, Item(VT_POPUPMENU, Active, true, HK_HOT), clHighlightText},
        ItemColorCase{"ToolbarButton", false, Ask::Text, Item(VT_TOOLBARVIEW, ToolbarItem, true), clBtnText},
        ItemColorCase{"HotToolbarButton", false, Ask::Text, Item(VT_TOOLBARVIEW, ToolbarItem, true, HK_HOT), clBtnText},
        ItemColorCase{"MenuBarItem", false, Ask::Text, Item(VT_MENUBAR, ToolbarItem, true, HK_HOT), clBtnText},
        ItemColorCase{"MenuBarOfAnInactiveApplication", false, Ask::Text, Item(VT_MENUBAR, IO_TOOLBARSTYLE, true),
                      clGrayText},
        ItemColorCase{"FlatMenuBarHot", true, Ask::Text, Item(VT_MENUBAR, ToolbarItem, true, HK_HOT), clHighlightText},
        ItemColorCase{"FlatMenuBar", true, Ask::Text, Item(VT_MENUBAR, ToolbarItem, true), clMenuText},
        ItemColorCase{"FlatMenuBarInactive", true, Ask::Text, Item(VT_MENUBAR, IO_TOOLBARSTYLE, true), clGrayText},
        ItemColorCase{"ToolbarButtonOfAnInactiveApplication", false, Ask::Text,
                      Item(VT_TOOLBARVIEW, IO_TOOLBARSTYLE, true), clBtnText},
        // Backgrounds.
        ItemColorCase{"HotMenuItemIsSelected", false, Ask::Item, Item(VT_POPUPMENU, Active, true, HK_HOT), clHighlight},
        ItemColorCase{"KeyboardHotDisabledMenuItemIsSelected", false, Ask::Item,
                      Item(VT_POPUPMENU, Active, false, HK_DISABLED), clHighlight},
        ItemColorCase{"MenuItem", false, Ask::Item, Item(VT_POPUPMENU, Active, true), clMenu},
        ItemColorCase{"HotToolbarStyleItemInAMenu", false, Ask::Item, Item(VT_POPUPMENU, ToolbarItem, true, HK_HOT),
                      clMenu},
        ItemColorCase{"HotToolbarButton", false, Ask::Item, Item(VT_TOOLBARVIEW, ToolbarItem, true, HK_HOT), clBtnFace},
        // Behind images.
        ItemColorCase{"ImageOfAHotMenuItem", false, Ask::ImageBackground, Item(VT_POPUPMENU, Active, true, HK_HOT),
                      clMenu},
        ItemColorCase{"FlatImageOfAHotMenuBarItem", true, Ask::ImageBackground,
                      Item(VT_MENUBAR, ToolbarItem, true, HK_HOT), clHighlight},
        ItemColorCase{"FlatImageOfAHotMenuItem", true, Ask::ImageBackground, Item(VT_POPUPMENU, Active, true, HK_HOT),
                      clBtnFace},
        ItemColorCase{"FlatImageInAChevronPopup", true, Ask::ImageBackground, Item(VT_CHEVRONPOPUP, Active, true),
                      clBtnFace},
        ItemColorCase{"FlatImageOfAMenuItem", true, Ask::ImageBackground, Item(VT_POPUPMENU, Active, true), clMenu}),
    [](const auto& row) { return QuestionName(row.param.Question) + "_" + row.param.Name; });

TEST_F(DefaultThemeAnswers, WithVisualStylesAHotMenuItemKeepsTheMenuColour)
{
    ui::RecordingVisualStyles styles;
    ui::ScopedService<ui::IVisualStyles> installed(ui::SetVisualStyles, styles);
    Manager().RefreshColors();
    EXPECT_EQ(Theme().GetItemColor(Item(VT_POPUPMENU, Active, true, HK_HOT)), clMenu);
}

TEST_F(DefaultThemeAnswers, ViewColoursByViewType)
{
    const std::pair<int, TColor> cases[] = {
        {VT_TOOLBARVIEW, clBtnFace},
        {VT_MENUBAR, clBtnFace},
        {VT_TOOLBARVIEW | VT_FLOATING | VT_OPAQUE, clBtnFace},
        {VT_POPUPMENU, clMenu},
        {VT_LISTBOXPOPUP, clWindow},
        {VT_TOOLBOXPOPUP, clBtnFace},
        {VT_CHEVRONPOPUP, clMenu},
        {VT_POPUP, clBtnFace},
        // The toolbar colour carries the weight: a quarter face (212, 208, 200), three quarters window.
        {VT_DOCKPANEL | 1, static_cast<TColor>(ui::RGB(239, 238, 229))},
        {VT_DOCKPANEL | VT_FLOATING | 1, static_cast<TColor>(ui::RGB(239, 238, 229))},
        {0, clBtnFace},
    };
    for (const auto& [viewType, color] : cases) {
        SCOPED_TRACE(viewType);
        EXPECT_EQ(Theme().GetViewColor(viewType), color);
    }
}

TEST_F(DefaultThemeAnswers, BordersAndMarginsByViewType)
{
    Table().Metrics[ui::SM_CXFIXEDFRAME] = 3;
    Table().Metrics[ui::SM_CYFIXEDFRAME] = 5;
    Table().Metrics[ui::SM_CXSIZEFRAME] = 4;
    Table().Metrics[ui::SM_CYSIZEFRAME] = 6;
    const std::pair<int, TPoint> borders[] = {
        {VT_POPUPMENU, {3, 3}},
        {VT_LISTBOXPOPUP, {1, 1}},
        {VT_CHEVRONPOPUP, {3, 3}},
        {VT_TOOLBARVIEW, {2, 2}},
        {VT_TOOLBARVIEW | VT_FLOATING, {3, 5}},
        {VT_TOOLBARVIEW | VT_FLOATING | VT_RESIZABLE, {4, 6}},
        {VT_DOCKPANEL | 1, {2, 2}},
        {VT_DOCKPANEL | VT_FLOATING | VT_RESIZABLE | 1, {4, 6}},
        {0, {0, 0}},
    };
    for (const auto& [viewType, border] : borders) {
        SCOPED_TRACE(viewType);
        EXPECT_EQ(Theme().GetViewBorder(viewType), border);
    }

    TTBXMargins margins{9, 9, 9, 9};
    Theme().GetViewMargins(VT_TOOLBARVIEW | VT_FLOATING, margins);
    EXPECT_EQ((std::array{margins.LeftWidth, margins.RightWidth, margins.TopHeight, margins.BottomHeight}),
              (std::array{4, 4, 2, 1}));
    for (int viewType : {VT_TOOLBARVIEW, VT_DOCKPANEL | VT_FLOATING | 1, VT_POPUPMENU}) {
        margins = TTBXMargins{9, 9, 9, 9};
        Theme().GetViewMargins(viewType, margins);
        EXPECT_EQ(margins.LeftWidth + margins.RightWidth + margins.TopHeight + margins.BottomHeight, 0) << viewType;
    }

    Theme().GetMargins(MID_TOOLBARITEM, margins);
    EXPECT_EQ((std::array{margins.LeftWidth, margins.RightWidth, margins.TopHeight, margins.BottomHeight}),
              (std::array{2, 2, 2, 2}));
    Theme().GetMargins(MID_STATUSPANE, margins);
    EXPECT_EQ((std::array{margins.LeftWidth, margins.RightWidth, margins.TopHeight, margins.BottomHeight}),
              (std::array{1, 3, 1, 1}));
    Theme().GetMargins(MID_MENUITEM, margins);
    EXPECT_EQ(margins.LeftWidth + margins.RightWidth + margins.TopHeight + margins.BottomHeight, 0);
}

TEST_F(DefaultThemeAnswers, APushedOrCheckedImageMovesOnePixelRightAndDown)
{
    TCanvas canvas;
    TItemPaintInfo info = Item(VT_TOOLBARVIEW, ToolbarItem, true, HK_HOT);
    EXPECT_EQ(Theme().GetImageOffset(canvas, info, nullptr), (TPoint{0, 0}));
    info.Pushed = true;
    EXPECT_EQ(Theme().GetImageOffset(canvas, info, nullptr), (TPoint{1, 1}));
    info.Pushed = false;
    info.Checked = true;
    EXPECT_EQ(Theme().GetImageOffset(canvas, info, nullptr), (TPoint{1, 1}));
}

TEST_F(DefaultThemeAnswers, TheToolbarColourIsReReadAtTheSecondStepOfAChangeOnly)
{
    ui::RecordingVisualStyles styles;
    styles.Colors = {{3802, ui::RGB(1, 2, 3)}};
    ui::ScopedService<ui::IVisualStyles> installed(ui::SetVisualStyles, styles);
    Manager().RefreshColors();
    ASSERT_EQ(ToolbarFillColor(), static_cast<TColor>(ui::RGB(1, 2, 3)));
    auto& theme = dynamic_cast<TTBXDefaultTheme&>(Theme());
    for (std::uintptr_t step : {1u, 3u, 4u, 5u}) {
        TMessage message{WM_TBX_THEMENOTIFY, step, 0, 0};
        theme.Dispatch(message);
        EXPECT_EQ(theme.GetToolbarColor(), clBtnFace) << step;
    }
    TMessage second{WM_TBX_THEMENOTIFY, 2, 0, 0};
    theme.Dispatch(second);
    EXPECT_EQ(theme.GetToolbarColor(), static_cast<TColor>(ui::RGB(1, 2, 3)));
    EXPECT_EQ(theme.GetViewColor(VT_TOOLBARVIEW), static_cast<TColor>(ui::RGB(1, 2, 3)));
}

}  // namespace
}  // namespace ovrel::themes
