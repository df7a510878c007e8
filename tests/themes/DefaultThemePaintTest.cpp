// The classic paints of the default theme, drawn into images and read back: the geometry and colours of
// buttons, captions, glyphs, separators, menu items, frames of pop-ups, toolbars, panels and floating windows,
// and the parts of a status bar.

#include "ThemeTestSupport.h"

#include "themes/DefaultTheme.h"
#include "themes/ThemeUtils.h"

#include "platform/ui/VisualStyles.h"

#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace ovrel::themes {
namespace {

using namespace ovrel::toolkit;
using testing::InkNear;
using testing::InkOf;
using testing::Item;
using testing::Nearer;
using testing::PaintTarget;
using testing::Palette;

constexpr ui::COLORREF Back = ui::RGB(90, 200, 90);

// A row or column as the canvas spells it: dots, then marks, then dots.
std::string Marks(int before, int marks, int after)
{
    std::string s(static_cast<std::size_t>(before), '.');
    s.append(static_cast<std::size_t>(marks), '#');
    s.append(static_cast<std::size_t>(after), '.');
    return s;
}

TRect Moved(TRect r, int d)
{
    ui::OffsetRect(&r, d, d);
    return r;
}

constexpr int ToolbarItem = IO_TOOLBARSTYLE | IO_APPACTIVE;
constexpr int MenuItem = IO_APPACTIVE;

class DefaultThemePaint : public testing::ThemeRuntimeTest {
protected:
    void SetFlatMenus()
    {
        Table().FlatMenu = ui::TRUE;
        Manager().RefreshColors();
    }
};

// ---- Buttons ----------------------------------------------------------------------------------------------

struct ButtonCase {
    const char* Name;
    friend void PrintTo(const ButtonCase& c, std::ostream* os) { *os << c.Name; }
    bool FlatMenus;
    TItemPaintInfo Info;
    // Colours at (0, 0), (19, 19), (1, 1), (2, 1) and (5, 5) of a 20 by 20 button.
    ui::COLORREF Corner, FarCorner, Inner, NextInner, Middle;
};

class ButtonTable : public DefaultThemePaint, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ButtonTable, DrawsTheEdgeOfItsStateAndDithersACheckedButton)
{
    const ButtonCase& c = GetParam();
    if (c.FlatMenus)
        SetFlatMenus();
    PaintTarget target(20, 20, Back);
    Theme().PaintButton(target.Canvas, Rect(0, 0, 20, 20), c.Info);
    const auto& image = target.Image;
    EXPECT_EQ(image.At(0, 0), c.Corner);
    EXPECT_EQ(image.At(19, 19), c.FarCorner);
    EXPECT_EQ(image.At(1, 1), c.Inner);
    EXPECT_EQ(image.At(2, 1), c.NextInner);
    EXPECT_EQ(image.At(5, 5), c.Middle);
}

TItemPaintInfo With(TItemPaintInfo info, bool pushed, bool checked)
{
    info.Pushed = pushed;
    info.Checked = checked;
    return info;
}

constexpr ui::COLORREF Hl = Palette::Highlight;
constexpr ui::COLORREF Sh = Palette::Shadow;
constexpr ui::COLORREF Face = Palette::Face;
const TItemPaintInfo Plain = Item(VT_TOOLBARVIEW, ToolbarItem, true);
const TItemPaintInfo Hot = Item(VT_TOOLBARVIEW, ToolbarItem, true, HK_HOT);
const TItemPaintInfo Opaque = Item(VT_TOOLBARVIEW | VT_OPAQUE, ToolbarItem, true);
const TItemPaintInfo OpaqueHot = Item(VT_TOOLBARVIEW | VT_OPAQUE, ToolbarItem, true, HK_HOT);

INSTANTIATE_TEST_SUITE_P(
    Rows, ButtonTable,
    ::testing::Values(
        ButtonCase{"Normal", false, Plain, Back, Back, Back, Back, Back},
        ButtonCase{"Hot", false, Hot, Hl, Sh, Back, Back, Back},
        ButtonCase{"Pushed", false, With(Hot, true, false), Sh, Hl, Back, Back, Back},
        ButtonCase{"CheckedIsDithered", false, With(Plain, false, true), Sh, Hl, Face, Hl, Face},
        ButtonCase{"CheckedHotIsNot", false, With(Hot, false, true), Sh, Hl, Back, Back, Back},
        ButtonCase{"DisabledPushedIsFlat", false, With(Item(VT_TOOLBARVIEW, ToolbarItem, false), true, false), Back,
                   Back, Back, Back, Back},
        ButtonCase{"DisabledHotByKeyboard", false, Item(VT_TOOLBARVIEW, ToolbarItem, false, HK_DISABLED), Hl, Sh, Back,
                   Back, Back},
        ButtonCase{"Designing", false, Item(VT_TOOLBARVIEW, ToolbarItem | IO_DESIGNING, true), Hl, Sh, Back, Back,
                   Back},
        ButtonCase{"OpaqueIsRaisedWithAFace", false, Opaque, Palette::Light, Palette::DarkShadow, Hl, Hl, Face},
        ButtonCase{"OpaqueHotIsSoft", false, OpaqueHot, Hl, Palette::DarkShadow, Palette::Light, Palette::Light, Face},
        ButtonCase{"OpaquePushedIsSunkenAndSoft", false, With(OpaqueHot, true, false), Palette::DarkShadow, Hl, Sh, Sh,
                   Face},
        ButtonCase{"OpaqueCheckedIsDithered", false, With(Opaque, false, true), Sh, Hl, Palette::DarkShadow,
                   Palette::DarkShadow, Face},
        ButtonCase{"FlatHotIsFilledFirst", true, Hot, Hl, Sh, Face, Face, Face},
        ButtonCase{"FlatMenuBarHotIsSelected", true, Item(VT_MENUBAR, ToolbarItem, true, HK_HOT), Palette::Selection,
                   Palette::Selection, Palette::Selection, Palette::Selection, Palette::Selection},
        ButtonCase{"MenuBarHotWithoutFlatMenusIsRaised", false, Item(VT_MENUBAR, ToolbarItem, true, HK_HOT), Hl, Sh,
                   Back, Back, Back}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(DefaultThemePaint, TheDropPartOfASplitButtonGetsItsArrowUnmoved)
{
    PaintTarget target(11, 20, Back);
    TItemPaintInfo info = With(Item(VT_TOOLBARVIEW, ToolbarItem | IO_COMBO, true, HK_HOT), true, false);
    info.SplitPart = SP_DROPPART;
    Theme().PaintButton(target.Canvas, Rect(0, 0, 11, 20), info);
    // Arrow centre (5, 9); toolbar-style arrows take the menu text colour.
    EXPECT_EQ(InkOf(target.Image, Palette::MenuText), Rect(3, 9, 8, 12));
    EXPECT_EQ(target.Image.At(0, 0), Sh);
}

// ---- Captions ---------------------------------------------------------------------------------------------

class CaptionPaint : public DefaultThemePaint {
protected:
    static constexpr ui::UINT Format = ui::DT_SINGLELINE | ui::DT_VCENTER | ui::DT_CENTER;

    std::unique_ptr<PaintTarget> Paint(const TItemPaintInfo& info, TColor fontColor = clNone, bool rotated = false)
    {
        auto target = std::make_unique<PaintTarget>(60, 60, Back);
        target->Canvas.GetFont()->SetColor(fontColor);
        Theme().PaintCaption(target->Canvas, Rect(0, 0, 60, 60), info, "Hex", Format, rotated);
        return target;
    }
};

TEST_F(CaptionPaint, PushedOrCheckedToolbarCaptionsMoveByOnePixel)
{
    const TRect still = Paint(Plain)->Image.InkBounds(Back);
    ASSERT_FALSE(ui::IsRectEmpty(&still));
    EXPECT_EQ(Paint(With(Plain, true, false))->Image.InkBounds(Back), Moved(still, 1));
    EXPECT_EQ(Paint(With(Plain, false, true))->Image.InkBounds(Back), Moved(still, 1));
    // A checked menu item is no toolbar-style item: its caption stays.
    const TItemPaintInfo menu = Item(VT_POPUPMENU, MenuItem, true);
    EXPECT_EQ(Paint(With(menu, false, true))->Image.InkBounds(Back), Paint(menu)->Image.InkBounds(Back));
    EXPECT_EQ(Paint(menu)->Image.InkBounds(Back), still);
}

TEST_F(CaptionPaint, AFlatMenuBarKeepsItsPushedCaptionInPlace)
{
    SetFlatMenus();
    const TItemPaintInfo bar = Item(VT_MENUBAR, ToolbarItem, true);
    const TRect still = Paint(bar)->Image.InkBounds(Back);
    ASSERT_FALSE(ui::IsRectEmpty(&still));
    EXPECT_EQ(Paint(With(bar, true, false))->Image.InkBounds(Back), still);
}

TEST_F(CaptionPaint, DisabledCaptionsAreInReliefExceptOnASelection)
{
    const auto relief = Paint(Item(VT_TOOLBARVIEW, ToolbarItem, false));
    const TRect shadow = InkNear(relief->Image, Sh, {Back, Hl});
    const TRect light = InkNear(relief->Image, Hl, {Back, Sh});
    ASSERT_FALSE(ui::IsRectEmpty(&shadow));
    EXPECT_EQ(light.right, shadow.right + 1);
    EXPECT_EQ(light.bottom, shadow.bottom + 1);

    const auto selected = Paint(Item(VT_POPUPMENU, MenuItem, false, HK_DISABLED));
    const TRect grey = InkNear(selected->Image, Palette::GrayText, {Back, Hl});
    const TRect none = InkNear(selected->Image, Hl, {Back, Palette::GrayText});
    EXPECT_FALSE(ui::IsRectEmpty(&grey));
    EXPECT_TRUE(ui::IsRectEmpty(&none));
}

TEST_F(CaptionPaint, TheFontsOwnColourWinsAndRotatedCaptionsRunDownwards)
{
    const TRect red = InkNear(Paint(Plain, clRed)->Image, ui::testing::Red, {Back, Palette::ButtonText});
    EXPECT_FALSE(ui::IsRectEmpty(&red));
    const TRect flat = Paint(Plain)->Image.InkBounds(Back);
    const TRect down = Paint(Plain, clNone, true)->Image.InkBounds(Back);
    ASSERT_FALSE(ui::IsRectEmpty(&down));
    EXPECT_GT(flat.right - flat.left, flat.bottom - flat.top);
    EXPECT_GT(down.bottom - down.top, down.right - down.left);
}

// ---- Glyphs -----------------------------------------------------------------------------------------------

TEST_F(DefaultThemePaint, CheckMarkIsTwoPixelsThickWithALightStrokeWhenEnabled)
{
    PaintTarget enabled(16, 16, Back);
    Theme().PaintCheckMark(enabled.Canvas, Rect(0, 0, 16, 16), Item(VT_POPUPMENU, MenuItem, true));
    // Around (7, 10): from (5, 8) down to (7, 10) and up to (11, 6).
    for (const TPoint p : {TPoint{5, 8}, TPoint{5, 9}, TPoint{7, 10}, TPoint{7, 11}, TPoint{11, 6}, TPoint{11, 7}})
        EXPECT_EQ(enabled.Image.At(p.x, p.y), Palette::ButtonText) << p.x << ',' << p.y;
    for (const TPoint p : {TPoint{4, 8}, TPoint{7, 12}, TPoint{12, 7}})
        EXPECT_EQ(enabled.Image.At(p.x, p.y), Hl) << p.x << ',' << p.y;
    EXPECT_EQ(InkOf(enabled.Image, Palette::ButtonText), Rect(5, 6, 12, 12));

    PaintTarget disabled(16, 16, Back);
    Theme().PaintCheckMark(disabled.Canvas, Rect(0, 0, 16, 16), Item(VT_POPUPMENU, MenuItem, false));
    EXPECT_EQ(InkOf(disabled.Image, Palette::GrayText), Rect(5, 6, 12, 12));
    EXPECT_EQ(disabled.Image.Count(Hl), 0);
}

TEST_F(DefaultThemePaint, DropDownArrowsPointDownOrLeftAndMoveWhenPushed)
{
    const auto paint = [this](TItemPaintInfo info) {
        auto target = std::make_unique<PaintTarget>(11, 11, Back);
        Theme().PaintDropDownArrow(target->Canvas, Rect(0, 0, 11, 11), info);
        return target;
    };
    const TItemPaintInfo menu = Item(VT_POPUPMENU, MenuItem, true);
    const auto down = paint(menu);
    EXPECT_EQ(down->Image.Row(4, Palette::ButtonText, 0, 11), "...#####...");
    EXPECT_EQ(down->Image.Row(5, Palette::ButtonText, 0, 11), "....###....");
    EXPECT_EQ(down->Image.Row(6, Palette::ButtonText, 0, 11), ".....#.....");
    EXPECT_EQ(InkOf(paint(With(menu, true, false))->Image, Palette::ButtonText), Rect(4, 5, 9, 8));
    TItemPaintInfo dropPart = With(menu, true, false);
    dropPart.SplitPart = SP_DROPPART;
    EXPECT_EQ(InkOf(paint(dropPart)->Image, Palette::ButtonText), Rect(3, 4, 8, 7));

    TItemPaintInfo vertical = menu;
    vertical.IsVertical = true;
    const auto left = paint(vertical);
    EXPECT_EQ(left->Image.Column(5, Palette::ButtonText, 0, 11), "..#####....");
    EXPECT_EQ(InkOf(left->Image, Palette::ButtonText), Rect(3, 2, 6, 7));

    const auto disabled = paint(Item(VT_POPUPMENU, MenuItem, false));
    EXPECT_EQ(InkOf(disabled->Image, Sh), Rect(3, 4, 8, 7));
    EXPECT_EQ(disabled->Image.At(8, 5), Hl);
}

TEST_F(DefaultThemePaint, ChevronGlyphsSitAtTheFarEndAndMoveWhenPushed)
{
    const auto paint = [this](TItemPaintInfo info) {
        auto target = std::make_unique<PaintTarget>(13, 20, Back);
        Theme().PaintChevron(target->Canvas, Rect(0, 0, 13, 20), info);
        return target;
    };
    // Horizontal: 9 to 4 pixels from the right edge, 2 below the top.
    EXPECT_EQ(InkOf(paint(Plain)->Image, Palette::ButtonText), Rect(4, 2, 10, 7));
    EXPECT_EQ(InkOf(paint(With(Hot, true, false))->Image, Palette::ButtonText), Rect(5, 3, 11, 8));
    TItemPaintInfo vertical = Plain;
    vertical.IsVertical = true;
    EXPECT_EQ(InkOf(paint(vertical)->Image, Palette::ButtonText), Rect(2, 4, 7, 10));
    const auto disabled = paint(Item(VT_TOOLBARVIEW, ToolbarItem, false));
    EXPECT_EQ(InkOf(disabled->Image, Sh), Rect(4, 2, 10, 7));
    EXPECT_EQ(InkOf(disabled->Image, Hl).right, 11);
    EXPECT_EQ(InkOf(disabled->Image, Hl).bottom, 8);
}

TEST_F(DefaultThemePaint, ImagesMoveWhenPushedAndShowTheListsDisabledLook)
{
    TImageList images(nullptr);
    testing::AddRedImage(images, true);
    const auto paint = [&](TItemPaintInfo info, int index) {
        auto target = std::make_unique<PaintTarget>(10, 10, Back);
        Theme().PaintImage(target->Canvas, Rect(2, 2, 8, 8), info, &images, index);
        return target;
    };
    EXPECT_EQ(InkOf(paint(Plain, 0)->Image, ui::testing::Red), Rect(2, 2, 6, 6));
    EXPECT_EQ(paint(Plain, 0)->Image.At(5, 5), Back);
    EXPECT_EQ(InkOf(paint(With(Plain, true, false), 0)->Image, ui::testing::Red), Rect(3, 3, 7, 7));
    const auto disabled = paint(Item(VT_TOOLBARVIEW, ToolbarItem, false), 0);
    EXPECT_EQ(disabled->Image.Count(ui::testing::Red), 0);
    EXPECT_GT(disabled->Image.Count(Sh), 0);
    EXPECT_EQ(paint(Plain, 1)->Image.CountOther(Back), 0);
}

TEST_F(DefaultThemePaint, FlatMenusAndVisualStylesGiveImagesEffectsInsteadOfTheListsLooks)
{
    TImageList images(nullptr);
    testing::AddRedImage(images, true);
    SetFlatMenus();
    const auto paint = [&](TItemPaintInfo info) {
        auto target = std::make_unique<PaintTarget>(10, 10, Back);
        Theme().PaintImage(target->Canvas, Rect(2, 2, 8, 8), info, &images, 0);
        return target;
    };
    // A disabled menu item: the background darkened under the image (red: L = 28, F = 28 / 8 + 224).
    const auto disabled = paint(Item(VT_POPUPMENU, 0, false));
    EXPECT_EQ(disabled->Image.At(3, 3), ui::RGB(90 * 227 / 256, 200 * 227 / 256, 90 * 227 / 256));
    EXPECT_EQ(disabled->Image.At(5, 5), Back) << "the uncovered pixel";
    EXPECT_EQ(disabled->Image.Count(Sh), 0) << "not the list's disabled look";
    // An enabled menu item draws as it is; a toolbar button keeps the list's look without visual styles.
    EXPECT_EQ(paint(Item(VT_POPUPMENU, 0, true))->Image.At(3, 3), ui::testing::Red);
    EXPECT_EQ(paint(Item(VT_TOOLBARVIEW, ToolbarItem, false))->Image.Count(ui::testing::Red), 0);
    EXPECT_GT(paint(Item(VT_TOOLBARVIEW, ToolbarItem, false))->Image.Count(Sh), 0);

    // With visual styles a resting toolbar button on its light background is dimmed towards clWindow; a pushed
    // one draws as it is.
    ui::RecordingVisualStyles styles;
    ui::ScopedService<ui::IVisualStyles> installed(ui::SetVisualStyles, styles);
    Table().Profile = ui::SystemProfile{true, 5, 1};
    Manager().SetEnableVisualStyles(true);
    Manager().RefreshColors();
    ASSERT_TRUE(VisualStylesActive());
    const ui::COLORREF w = Palette::Window;
    EXPECT_EQ(
        paint(Item(VT_TOOLBARVIEW, ToolbarItem, true))->Image.At(3, 3),
        ui::RGB((255 * 178 + ui::GetRValue(w) * 77) / 256, ui::GetGValue(w) * 77 / 256, ui::GetBValue(w) * 77 / 256));
    EXPECT_EQ(paint(With(Item(VT_TOOLBARVIEW, ToolbarItem, true), true, false))->Image.At(4, 4), ui::testing::Red);
    Manager().SetEnableVisualStyles(false);
    Manager().RefreshColors();
}

// ---- Visual styles ----------------------------------------------------------------------------------------

/// The default theme with visual styles on, over the layer's recording backend.
class DefaultThemeStyles : public DefaultThemePaint {
protected:
    void SetUp() override
    {
        DefaultThemePaint::SetUp();
        Table().Profile = ui::SystemProfile{true, 5, 1};
        Manager().SetEnableVisualStyles(true);
        Manager().RefreshColors();
        ASSERT_TRUE(VisualStylesActive());
        Styles.Requests.clear();
    }
    void TearDown() override
    {
        Manager().SetEnableVisualStyles(false);
        Manager().RefreshColors();
        DefaultThemePaint::TearDown();
    }
    /// The parts drawn, as class:part/state in order; "none" when nothing was asked of the styles.
    std::string Drawn()
    {
        std::string drawn;
        for (const auto& r : Styles.Requests)
            drawn +=
                (drawn.empty() ? "" : " ") + r.ClassList + ":" + std::to_string(r.Part) + "/" + std::to_string(r.State);
        Styles.Requests.clear();
        return drawn.empty() ? "none" : drawn;
    }

    ui::RecordingVisualStyles Styles;
    ui::ScopedService<ui::IVisualStyles> Installed{ui::SetVisualStyles, Styles};
};

TEST_F(DefaultThemeStyles, ButtonsSeparatorsDocksFramesAndStatusBarsDrawTheirParts)
{
    PaintTarget target(20, 20, Back);
    TCanvas& canvas = target.Canvas;
    const TRect r = Rect(0, 0, 20, 20);
    struct Row {
        const char* Name;
        std::function<void()> Paint;
        std::string Drawn;
    };
    const TItemPaintInfo button = Item(VT_TOOLBARVIEW, ToolbarItem, true);
    const auto withHover = [](TItemPaintInfo info, std::uint8_t hover) {
        info.HoverKind = hover;
        return info;
    };
    TItemPaintInfo dropPart = button;
    dropPart.SplitPart = SP_DROPPART;
    const std::vector<Row> rows{
        {"normal", [&] { Theme().PaintButton(canvas, r, button); }, "TOOLBAR:1/1"},
        {"hot", [&] { Theme().PaintButton(canvas, r, withHover(button, HK_HOT)); }, "TOOLBAR:1/2"},
        {"pushed", [&] { Theme().PaintButton(canvas, r, With(button, true, false)); }, "TOOLBAR:1/3"},
        {"checked", [&] { Theme().PaintButton(canvas, r, With(button, false, true)); }, "TOOLBAR:1/5"},
        {"hot and checked", [&] { Theme().PaintButton(canvas, r, withHover(With(button, false, true), HK_HOT)); },
         "TOOLBAR:1/6"},
        {"disabled", [&] { Theme().PaintButton(canvas, r, Item(VT_TOOLBARVIEW, ToolbarItem, false)); }, "TOOLBAR:1/4"},
        {"disabled, hot by keyboard",
         [&] { Theme().PaintButton(canvas, r, Item(VT_TOOLBARVIEW, ToolbarItem, false, HK_DISABLED)); }, "TOOLBAR:1/2"},
        {"the drop part of a split button", [&] { Theme().PaintButton(canvas, r, dropPart); }, "TOOLBAR:4/1"},
        {"a menu bar stays classic", [&] { Theme().PaintButton(canvas, r, Item(VT_MENUBAR, ToolbarItem, true)); },
         "none"},
        {"a horizontal separator", [&] { Theme().PaintSeparator(canvas, r, button, true, false); }, "TOOLBAR:6/0"},
        {"a vertical separator", [&] { Theme().PaintSeparator(canvas, r, button, false, false); }, "TOOLBAR:5/0"},
        {"a menu's separator stays etched",
         [&] { Theme().PaintSeparator(canvas, r, Item(VT_POPUPMENU, 0, true), true, false); }, "none"},
        {"a dock", [&] { Theme().PaintDock(canvas, r, Rect(0, 0, 10, 10), 1); }, "REBAR:0/0"},
        {"a status bar's last panel", [&] { Theme().PaintStatusBar(canvas, r, SBP_LASTPANE); }, "STATUS:2/0"},
        {"a pushed close caption button", [&] { Theme().PaintCaptionButton(canvas, r, With(button, true, false), 0); },
         "WINDOW:20/3"},
        {"a hot help caption button", [&] { Theme().PaintCaptionButton(canvas, r, withHover(button, HK_HOT), 4); },
         "WINDOW:0/2"},
        {"an arrow button", [&] { Theme().PaintArrowButton(canvas, r, 2, false); }, "TOOLBAR:1/2"},
        {"a docked toolbar's frame: edge, gripper and a hot close button",
         [&] {
             TFramePaintInfo frame;
             frame.BorderStyle = 1;
             frame.AllowDrag = true;
             frame.Handle = 2;
             frame.CloseButtonState = CDBS_VISIBLE | CDBS_HOT;
             Theme().PaintToolbarNCArea(canvas, Rect(0, 0, 20, 20), frame);
         },
         "TOOLBAR:0/0 REBAR:1/0 TOOLBAR:1/2"},
        {"a floating frame: border, caption and a pressed close button",
         [&] {
             TFloatingWindowInfo frame;
             frame.FloatingBorderSize = ui::POINT{3, 3};
             frame.ClientHeight = 4;
             frame.ShowCaption = true;
             frame.CloseButtonState = CDBS_VISIBLE | CDBS_PRESSED;
             frame.RedrawPart = FWR_BORDER | FWR_CAPTION | FWR_CLOSEBUTTON;
             frame.CaptionText = "Panel";
             Theme().PaintFloatingBorder(canvas, Rect(0, 0, 20, 20), frame);
         },
         "WINDOW:12/2 WINDOW:2/2 WINDOW:10/2 WINDOW:11/2 WINDOW:19/3"},
        {"a top strip's gripper",
         [&] {
             TFramePaintInfo frame;
             frame.AllowDrag = true;
             frame.IsVertical = true;
             Theme().PaintToolbarNCArea(canvas, Rect(0, 0, 20, 20), frame);
         },
         "REBAR:2/0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        row.Paint();
        EXPECT_EQ(Drawn(), row.Drawn);
    }
}

TEST_F(DefaultThemeStyles, APressedArrowButtonDrawsItsTriangleInTheButtonTextColour)
{
    PaintTarget target(16, 16, Back);
    Theme().PaintArrowButton(target.Canvas, Rect(0, 0, 16, 16), 2, true);
    EXPECT_EQ(Drawn(), "TOOLBAR:1/3");
    // x = 8, y = 8, s = 6; down: y = 7 - 3 = 4, through (14, 4), (8, 10), (2, 4).
    const TRect ink = InkOf(target.Image, Palette::ButtonText);
    EXPECT_EQ(ink.left, 2);
    EXPECT_EQ(ink.top, 4);
    EXPECT_GE(ink.bottom, 10);
}

TEST_F(DefaultThemePaint, CaptionAndArrowButtonsAreTheFrameControlsClassically)
{
    for (int kind : {0, 1, 3}) {
        SCOPED_TRACE(kind);
        PaintTarget target(16, 14, Back);
        Theme().PaintCaptionButton(target.Canvas, Rect(0, 0, 16, 14), Item(VT_TOOLBARVIEW, ToolbarItem, true), kind);
        EXPECT_EQ(target.Image.At(2, 2), Palette::Face) << "a button face";
        EXPECT_GT(target.Image.Count(Palette::ButtonText), 0) << "with its glyph";
    }
    PaintTarget arrow(16, 16, Back);
    Theme().PaintArrowButton(arrow.Canvas, Rect(0, 0, 16, 16), 1, false);
    EXPECT_GT(arrow.Image.Count(Palette::ButtonText), 0);
    EXPECT_EQ(arrow.Image.Count(Back), 0) << "a whole scroll button";
}

TEST_F(DefaultThemeStyles, FieldsSpinsAndCheckBoxesDrawTheirPartsByState)
{
    PaintTarget target(20, 20, Back);
    TCanvas& canvas = target.Canvas;
    const TRect r = Rect(0, 0, 20, 20);
    const TItemPaintInfo item = Item(VT_TOOLBARVIEW, ToolbarItem, true);
    const auto button = [](int type, int state) {
        TEditButtonInfo info;
        info.ButtonType = type;
        info.ButtonState = state;
        return info;
    };
    struct Row {
        const char* Name;
        std::function<void()> Paint;
        std::string Drawn;
    };
    const std::vector<Row> rows{
        {"a checked hot check box", [&] { Theme().PaintFrameControl(canvas, r, 1, 1 | 8); }, "BUTTON:3/6"},
        {"a mixed pressed check box", [&] { Theme().PaintFrameControl(canvas, r, 1, 2 | 16); }, "BUTTON:3/11"},
        {"a disabled radio button", [&] { Theme().PaintFrameControl(canvas, r, 2, 4); }, "BUTTON:2/4"},
        {"no other kind", [&] { Theme().PaintFrameControl(canvas, r, 3, 1); }, "none"},
        {"a pressed drop-down button", [&] { Theme().PaintEditButton(canvas, r, item, button(1, 4)); }, "COMBOBOX:1/3"},
        {"a disabled drop-down button", [&] { Theme().PaintEditButton(canvas, r, item, button(1, 1)); },
         "COMBOBOX:1/4"},
        {"spin buttons, the upper pressed", [&] { Theme().PaintEditButton(canvas, r, item, button(2, 4)); },
         "SPIN:1/3 SPIN:2/1"},
        {"a field of a hot item",
         [&] { Theme().PaintFrame(canvas, r, Item(VT_TOOLBARVIEW, ToolbarItem, true, HK_HOT)); }, "COMBOBOX:0/0"},
        {"a field at rest", [&] { Theme().PaintFrame(canvas, r, item); }, "none"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        row.Paint();
        EXPECT_EQ(Drawn(), row.Drawn);
    }
}

TEST_F(DefaultThemePaint, CheckBoxesAndRadioButtonsAtRestAreDrawnFlat)
{
    const auto paint = [&](int kind, int state) {
        auto target = std::make_unique<PaintTarget>(13, 13, Back);
        Theme().PaintFrameControl(target->Canvas, Rect(0, 0, 13, 13), kind, state);
        return target;
    };
    const auto checked = paint(1, 1);
    EXPECT_EQ(checked->Image.At(0, 6), Back) << "inset by one";
    EXPECT_EQ(checked->Image.At(1, 6), Sh) << "framed in the shadow colour";
    EXPECT_EQ(checked->Image.At(2, 2), Palette::Window);
    EXPECT_GT(checked->Image.Count(Palette::ButtonText), 0) << "the check mark";
    const auto disabled = paint(1, 1 | 4);
    EXPECT_EQ(disabled->Image.At(2, 2), Palette::Face);
    EXPECT_GT(disabled->Image.Count(Palette::GrayText), 0);
    const auto mixed = paint(1, 2);
    EXPECT_GT(mixed->Image.Count(Palette::Window), 0);
    EXPECT_GT(mixed->Image.Count(Palette::Face), 0) << "a dither of window and face";
    const auto radio = paint(2, 1);
    EXPECT_EQ(radio->Image.At(6, 6), Palette::ButtonText) << "the dot";
    EXPECT_GT(radio->Image.Count(Sh), 0);
    EXPECT_EQ(paint(3, 1)->Image.CountOther(Back), 0) << "no other kind";
    EXPECT_NE(paint(1, 8)->Image.At(0, 0), Back) << "a hot one is the frame control";
}

TEST_F(DefaultThemePaint, AnEditFieldIsFilledAndItsButtonsSitAtTheRight)
{
    PaintTarget target(60, 20, Back);
    TEditFrameInfo edit;
    edit.RightBtnWidth = 13;
    edit.RightBtnInfo.ButtonType = 1;
    const TItemPaintInfo item = Item(VT_TOOLBARVIEW, 0, true);
    Theme().PaintEditFrame(target.Canvas, Rect(0, 0, 60, 20), item, edit);
    // Frames: the toolbar colour one pixel in, clWindow inside it; the field from 2 to 60 - 2 - 11.
    EXPECT_EQ(target.Image.At(1, 10), Palette::Face);
    EXPECT_EQ(target.Image.At(2, 10), Palette::Window);
    EXPECT_EQ(target.Image.At(30, 10), Palette::Window);
    // The drop-down button: its separator one pixel left of its moved edge, its arrow in the button text.
    EXPECT_EQ(target.Image.At(60 - 2 - 13 + 2 - 1, 10), Palette::Window);
    const TRect arrow = InkOf(target.Image, Palette::ButtonText);
    EXPECT_GE(arrow.left, 60 - 2 - 13 + 2);
    EXPECT_LE(arrow.right, 58);

    PaintTarget spin(14, 20, Back);
    TEditButtonInfo pressedUpper;
    pressedUpper.ButtonType = 2;
    pressedUpper.ButtonState = 4;
    Theme().PaintEditButton(spin.Canvas, Rect(0, 0, 14, 20), item, pressedUpper);
    EXPECT_GT(InkOf(spin.Image, Palette::ButtonText, Rect(0, 0, 14, 10)).right, 0) << "the up arrow";
    EXPECT_GT(InkOf(spin.Image, Palette::ButtonText, Rect(0, 10, 14, 20)).right, 0) << "the down arrow";
    EXPECT_EQ(spin.Image.At(2, 0), Sh) << "the pressed upper half is sunken";
}

// ---- Separators and menu items ----------------------------------------------------------------------------

struct SeparatorCase {
    const char* Name;
    friend void PrintTo(const SeparatorCase& c, std::ostream* os) { *os << c.Name; }
    int ViewType;
    int Options;
    bool LineSeparator;
    int Inset;
};

class SeparatorTable : public DefaultThemePaint, public ::testing::WithParamInterface<SeparatorCase> {};

TEST_P(SeparatorTable, EtchesALineThroughTheMiddleShortenedByTheInset)
{
    const SeparatorCase& c = GetParam();
    PaintTarget horizontal(40, 10, Back);
    Theme().PaintSeparator(horizontal.Canvas, Rect(0, 0, 40, 10), Item(c.ViewType, c.Options, true), true,
                           c.LineSeparator);
    EXPECT_EQ(InkOf(horizontal.Image, Sh), Rect(c.Inset, 4, 40 - c.Inset, 5));
    EXPECT_EQ(InkOf(horizontal.Image, Hl), Rect(c.Inset, 5, 40 - c.Inset, 6));
    if ((c.Options & IO_TOOLBARSTYLE) == 0)
        return;  // vertical separators live on toolbars
    PaintTarget vertical(10, 40, Back);
    Theme().PaintSeparator(vertical.Canvas, Rect(0, 0, 10, 40), Item(c.ViewType, c.Options, true), false,
                           c.LineSeparator);
    EXPECT_EQ(InkOf(vertical.Image, Sh), Rect(4, c.Inset, 5, 40 - c.Inset));
    EXPECT_EQ(InkOf(vertical.Image, Hl), Rect(5, c.Inset, 6, 40 - c.Inset));
}

INSTANTIATE_TEST_SUITE_P(Rows, SeparatorTable,
                         ::testing::Values(SeparatorCase{"Toolbar", VT_TOOLBARVIEW, ToolbarItem, false, 0},
                                           SeparatorCase{"LineOnAToolbar", VT_TOOLBARVIEW, ToolbarItem, true, 4},
                                           SeparatorCase{"LineOnAFloatingToolbar", VT_TOOLBARVIEW | VT_FLOATING,
                                                         ToolbarItem, true, 1},
                                           SeparatorCase{"Menu", VT_POPUPMENU, MenuItem, true, 12},
                                           SeparatorCase{"MenuBlankLine", VT_POPUPMENU, MenuItem, false, 12}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(DefaultThemePaint, ABlankSeparatorDrawsNothing)
{
    PaintTarget target(40, 10, Back);
    Theme().PaintSeparator(target.Canvas, Rect(0, 0, 40, 10), Item(VT_TOOLBARVIEW, ToolbarItem, false), true, true);
    EXPECT_EQ(target.Image.CountOther(Back), 0);
}

TEST_F(DefaultThemePaint, AHotSubmenuItemIsSelectedRightOfItsImageColumnWithItsArrow)
{
    PaintTarget target(100, 20, Back);
    TItemPaintInfo info = Item(VT_POPUPMENU, MenuItem | IO_SUBMENUITEM, true, HK_HOT);
    info.ImageShown = true;
    info.PopupMargin = 20;
    Theme().PaintMenuItem(target.Canvas, Rect(0, 0, 100, 20), info);
    // The selection starts metric 32 (1) plus the image column to the right.
    EXPECT_EQ(target.Image.At(21, 10), Palette::Selection);
    EXPECT_EQ(target.Image.At(99, 0), Palette::Selection);
    EXPECT_EQ(target.Image.At(20, 10), Back);
    // The image column of a hot item is painted as a hot button.
    EXPECT_EQ(target.Image.At(0, 0), Hl);
    EXPECT_EQ(target.Image.At(19, 19), Sh);
    // The arrow: two thirds of the check width (13) plus 2 from the right edge, centred.
    EXPECT_EQ(InkOf(target.Image, Palette::SelectionText), Rect(90, 7, 94, 14));
}

TEST_F(DefaultThemePaint, MenuItemsOfOtherStates)
{
    const auto paint = [this](TItemPaintInfo info) {
        auto target = std::make_unique<PaintTarget>(100, 20, Back);
        Theme().PaintMenuItem(target->Canvas, Rect(0, 0, 100, 20), info);
        return target;
    };
    // Disabled: no selection; the arrow in relief.
    const auto disabled = paint(Item(VT_POPUPMENU, MenuItem | IO_SUBMENUITEM, false));
    EXPECT_EQ(disabled->Image.Count(Palette::Selection), 0);
    EXPECT_EQ(InkOf(disabled->Image, Sh), Rect(90, 7, 94, 14));
    EXPECT_EQ(disabled->Image.At(94, 11), Hl);
    // Disabled and hot by keyboard: selected, the arrow drawn plainly.
    const auto keyboard = paint(Item(VT_POPUPMENU, MenuItem | IO_SUBMENUITEM, false, HK_DISABLED));
    EXPECT_EQ(keyboard->Image.At(5, 10), Palette::Selection);
    EXPECT_EQ(InkOf(keyboard->Image, Palette::SelectionText), Rect(90, 7, 94, 14));
    // A split item keeps a check-wide drop area at the right, etched at its left while not hot.
    const auto split = paint(Item(VT_POPUPMENU, MenuItem | IO_SUBMENUITEM | IO_COMBO, true));
    EXPECT_EQ(split->Image.Column(87, Sh, 0, 20), std::string(20, '#'));
    EXPECT_EQ(split->Image.Column(88, Hl, 0, 20), std::string(20, '#'));
    EXPECT_EQ(InkOf(split->Image, Palette::MenuText), Rect(90, 7, 94, 14));
    // A hot split item: the selection stops at the drop area, which is boxed.
    const auto hotSplit = paint(Item(VT_POPUPMENU, MenuItem | IO_COMBO, true, HK_HOT));
    EXPECT_EQ(hotSplit->Image.At(86, 10), Palette::Selection);
    EXPECT_EQ(hotSplit->Image.At(87, 0), Sh);
    EXPECT_EQ(hotSplit->Image.At(99, 19), Hl);
    // A checked item without an image: its image column looks like a checked button.
    TItemPaintInfo checked = Item(VT_POPUPMENU, MenuItem, true);
    checked.Checked = true;
    checked.PopupMargin = 20;
    const auto column = paint(checked);
    EXPECT_EQ(column->Image.At(0, 0), Sh);
    EXPECT_EQ(column->Image.At(19, 19), Hl);
    EXPECT_EQ(column->Image.Row(1, Face, 1, 19), "#.#.#.#.#.#.#.#.#.");
    EXPECT_EQ(column->Image.At(40, 10), Back);
}

// ---- Frames -----------------------------------------------------------------------------------------------

struct PopupBorderCase {
    const char* Name;
    friend void PrintTo(const PopupBorderCase& c, std::ostream* os) { *os << c.Name; }
    bool FlatMenus;
    int ViewType;
    std::vector<ui::COLORREF> Rings;  // from the outside in, along the left edge at mid height
};

class PopupBorderTable : public DefaultThemePaint, public ::testing::WithParamInterface<PopupBorderCase> {};

TEST_P(PopupBorderTable, FramesTheBorderByViewType)
{
    const PopupBorderCase& c = GetParam();
    if (c.FlatMenus)
        SetFlatMenus();
    PaintTarget target(30, 30, Back);
    TPopupInfo info;
    info.ViewType = c.ViewType;
    info.WindowRect = Rect(0, 0, 30, 30);
    Theme().PaintPopupNCArea(nullptr, target.Image.Dc(), info);
    for (std::size_t i = 0; i < c.Rings.size(); ++i) {
        SCOPED_TRACE(i);
        const int d = static_cast<int>(i);
        EXPECT_EQ(target.Image.At(d, 15), c.Rings[i]);
        EXPECT_EQ(target.Image.At(29 - d, 15), c.Rings[i] == Palette::Light ? Palette::DarkShadow
                                               : c.Rings[i] == Hl           ? Sh
                                                                            : c.Rings[i]);
    }
    EXPECT_EQ(target.Image.At(static_cast<int>(c.Rings.size()), 15), Back);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PopupBorderTable,
    ::testing::Values(PopupBorderCase{"Menu", false, VT_POPUPMENU, {Palette::Light, Hl, Palette::Menu}},
                      PopupBorderCase{"ToolBox", false, VT_TOOLBOXPOPUP, {Palette::Light, Hl, Face}},
                      PopupBorderCase{"Chevron", false, VT_CHEVRONPOPUP, {Palette::Light, Hl, Palette::Menu}},
                      PopupBorderCase{"FlatMenu", true, VT_POPUPMENU, {Sh, Palette::Menu, Palette::Menu}},
                      PopupBorderCase{"FlatToolBox", true, VT_TOOLBOXPOPUP, {Palette::Light, Hl, Face}},
                      // Its border is one pixel: the window-coloured frame lies inside, in the client.
                      PopupBorderCase{"ListBox", false, VT_LISTBOXPOPUP, {Palette::WindowFrame, Palette::Window}}),
    [](const auto& row) { return std::string(row.param.Name); });

class ToolbarFrame : public DefaultThemePaint {
protected:
    static constexpr ui::COLORREF Brush = ui::RGB(200, 100, 50);

    std::unique_ptr<PaintTarget> Paint(const TFramePaintInfo& info, int width = 60, int height = 26)
    {
        auto target = std::make_unique<PaintTarget>(width, height, Back);
        target->Canvas.GetBrush()->SetColor(static_cast<TColor>(Brush));
        Theme().PaintToolbarNCArea(target->Canvas, Rect(0, 0, width, height), info);
        return target;
    }
    static TFramePaintInfo Frame(int style, bool vertical, int close = 0)
    {
        TFramePaintInfo info;
        info.AllowDrag = true;
        info.Handle = style;
        info.IsVertical = vertical;
        info.CloseButtonState = close;
        info.BorderSize = TPoint{2, 2};
        info.ClientWidth = 56;
        info.ClientHeight = 22;
        return info;
    }
};

TEST_F(ToolbarFrame, DrawsRaisedBarsByHandleStyle)
{
    const std::string full = Marks(1, 24, 1);
    const auto two = Paint(Frame(0, false));
    EXPECT_EQ(two->Image.At(30, 12), Brush);
    EXPECT_EQ(two->Image.Column(2, Hl, 0, 26), full);
    EXPECT_EQ(two->Image.Column(4, Sh, 0, 26), full);
    EXPECT_EQ(two->Image.Column(5, Hl, 0, 26), full);
    EXPECT_EQ(two->Image.Column(7, Sh, 0, 26), full);
    EXPECT_EQ(two->Image.At(3, 12), Brush);
    EXPECT_EQ(two->Image.At(3, 24), Sh);
    EXPECT_EQ(two->Image.Count(Hl) + two->Image.Count(Sh), 2 * (24 + 24 + 2));

    const auto one = Paint(Frame(2, false));
    EXPECT_EQ(one->Image.Column(2, Hl, 0, 26), full);
    EXPECT_EQ(one->Image.Column(5, Hl, 0, 26), std::string(26, '.'));
    EXPECT_EQ(Paint(Frame(1, false))->Image.CountOther(Brush), 0);

    // A vertical toolbar's strip lies at the top.
    const auto top = Paint(Frame(2, true), 26, 60);
    EXPECT_EQ(top->Image.Row(2, Hl, 0, 26), Marks(1, 23, 2));
    EXPECT_EQ(top->Image.Row(4, Sh, 0, 26), Marks(2, 23, 1));
    EXPECT_EQ(top->Image.At(1, 4), Hl);

    // A single border is a raised edge inside which the strip starts.
    TFramePaintInfo bordered = Frame(2, false);
    bordered.BorderStyle = 1;
    const auto edged = Paint(bordered);
    EXPECT_EQ(edged->Image.At(0, 0), Hl);
    EXPECT_EQ(edged->Image.At(59, 25), Sh);
    EXPECT_EQ(edged->Image.Column(3, Hl, 1, 25), Marks(1, 22, 1));
}

TEST_F(ToolbarFrame, PutsTheCloseButtonInTheStripAndTheBarsBesideIt)
{
    const auto hot = Paint(Frame(0, false, CDBS_VISIBLE | CDBS_HOT));
    // The 13-pixel square at (2, 2) less 2 at its bottom and right: raised while hot.
    EXPECT_EQ(hot->Image.At(2, 2), Hl);
    EXPECT_EQ(hot->Image.At(12, 12), Sh);
    EXPECT_EQ(InkOf(hot->Image, Palette::ButtonText), Rect(4, 4, 11, 11));
    // Bars inset by 3 and starting below the button.
    EXPECT_EQ(hot->Image.Column(3, Hl, 14, 26), "..#########.");
    EXPECT_EQ(hot->Image.Column(6, Hl, 14, 26), "..#########.");

    const auto pressed = Paint(Frame(0, false, CDBS_VISIBLE | CDBS_PRESSED));
    EXPECT_EQ(pressed->Image.At(2, 2), Sh);
    EXPECT_EQ(InkOf(pressed->Image, Palette::ButtonText), Rect(5, 5, 12, 12));

    // On a vertical toolbar the button sits at the right end of the top strip, the bars left of it.
    const auto vertical = Paint(Frame(2, true, CDBS_VISIBLE), 60, 26);
    EXPECT_EQ(InkOf(vertical->Image, Palette::ButtonText), Rect(47, 4, 54, 11));
    EXPECT_EQ(vertical->Image.Row(5, Hl, 0, 60), Marks(1, 42, 17));
}

class PanelFrame : public DefaultThemePaint {
protected:
    std::unique_ptr<PaintTarget> Paint(const TFramePaintInfo& info)
    {
        auto target = std::make_unique<PaintTarget>(120, 100, Back);
        Theme().PaintDockPanelNCArea(target->Canvas, Rect(0, 0, 120, 100), info);
        return target;
    }
    static TFramePaintInfo Frame(bool horizontalCaption, std::string_view caption, int close = CDBS_VISIBLE)
    {
        TFramePaintInfo info;
        info.IsVertical = horizontalCaption;
        info.Handle = 1;
        info.CloseButtonState = close;
        info.CaptionText = caption;
        info.ClientWidth = 116;
        info.ClientHeight = 80;
        return info;
    }
};

TEST_F(PanelFrame, FramesTheClientAndDrawsTheCaptionStripWithItsCloseSquare)
{
    ASSERT_EQ(ui::GetSystemMetrics(ui::SM_CYSMCAPTION), 16);
    const auto painted = Paint(Frame(true, "Folders"));
    const auto& image = painted->Image;
    EXPECT_EQ(image.At(0, 0), Face);
    EXPECT_EQ(image.At(119, 99), Face);
    // The strip (1, 1)-(119, 17) is raised; the ring around the client below it is window-coloured.
    EXPECT_EQ(image.At(1, 1), Hl);
    EXPECT_EQ(image.At(118, 16), Sh);
    EXPECT_EQ(image.At(1, 17), Palette::Window);
    EXPECT_EQ(image.At(118, 60), Palette::Window);
    EXPECT_EQ(image.At(60, 98), Palette::Window);
    EXPECT_EQ(image.At(2, 18), Back);
    // The close square (103, 2)-(116, 15) holds the short cross, centred.
    EXPECT_EQ(InkOf(image, Palette::ButtonText).right, 113);
    EXPECT_EQ(image.Row(5, Palette::ButtonText, 103, 116), "...##...##...");
    EXPECT_EQ(image.Row(10, Palette::ButtonText, 103, 116), "...##...##...");
    EXPECT_EQ(image.Count(Palette::ButtonText, 103, 2, 116, 15), 22);  // the whole cross
    // The caption starts 2 inside the strip, in the strip's height.
    const TRect text = InkNear(image, Palette::ButtonText, {Face}, Rect(2, 2, 103, 16));
    EXPECT_GE(text.left, 4);
    EXPECT_LT(text.left, 8);
    EXPECT_LT(text.right, 60);
}

TEST_F(PanelFrame, EllipsisesALongCaptionShortOfTheCloseSquare)
{
    const char* const caption = "A caption far too long for the strip of this panel";
    const auto open = Paint(Frame(true, caption, 0));
    const TRect wide = InkNear(open->Image, Palette::ButtonText, {Face}, Rect(2, 2, 118, 16));
    EXPECT_GT(wide.right, 100);
    EXPECT_LE(wide.right, 116 - 2);
    const auto closing = Paint(Frame(true, caption));
    const TRect cut = InkNear(closing->Image, Palette::ButtonText, {Face}, Rect(2, 2, 103, 16));
    EXPECT_GT(cut.right, 80);
    EXPECT_LE(cut.right, 101);
}

TEST_F(PanelFrame, AVerticalCaptionRunsDownTheLeftStripAndAHiddenOneLeavesTwoRings)
{
    const auto vertical = Paint(Frame(false, "Folders"));
    EXPECT_EQ(vertical->Image.At(17, 1), Palette::Window);
    EXPECT_EQ(vertical->Image.At(16, 98), Sh);
    // The close square at the bottom of the strip.
    EXPECT_EQ(vertical->Image.Row(86, Palette::ButtonText, 2, 15), "...##...##...");
    const TRect text = InkNear(vertical->Image, Palette::ButtonText, {Face}, Rect(2, 2, 16, 83));
    EXPECT_GT(text.bottom - text.top, text.right - text.left);
    EXPECT_GE(text.top, 4);

    TFramePaintInfo hidden = Frame(true, "Folders");
    hidden.Handle = 0;
    const auto plain = Paint(hidden);
    EXPECT_EQ(plain->Image.At(0, 0), Face);
    EXPECT_EQ(plain->Image.At(1, 1), Palette::Window);
    EXPECT_EQ(plain->Image.At(2, 2), Back);
    EXPECT_EQ(plain->Image.Count(Palette::ButtonText), 0);
}

class FloatingFrame : public DefaultThemePaint {
protected:
    // A frame of client width 100 with a 3 by 3 border: the window is 106 wide.
    std::unique_ptr<PaintTarget> Paint(bool active, int parts, int close = CDBS_VISIBLE)
    {
        auto target = std::make_unique<PaintTarget>(106, 80, Back);
        TFloatingWindowInfo info;
        info.ClientWidth = 100;
        info.ClientHeight = 58;
        info.FloatingBorderSize = TPoint{3, 3};
        info.ShowCaption = true;
        info.CloseButtonState = close;
        info.RedrawPart = parts;
        info.CaptionText = "Preview";
        info.Active = active;
        Theme().PaintFloatingBorder(target->Canvas, Rect(0, 0, 106, 80), info);
        return target;
    }
    static constexpr int All = FWR_BORDER | FWR_CAPTION | FWR_CLOSEBUTTON;
};

TEST_F(FloatingFrame, DrawsARaisedBorderACaptionWithAFaceLineAndACloseButtonInTheCaptionColour)
{
    const auto painted = Paint(true, All);
    const auto& image = painted->Image;
    EXPECT_EQ(image.At(0, 0), Palette::Light);
    EXPECT_EQ(image.At(105, 79), Palette::DarkShadow);
    EXPECT_EQ(image.At(2, 40), Face);  // the border's middle
    EXPECT_EQ(image.At(3, 40), Back);  // inside the border nothing is painted
    // The caption rectangle (3, 3)-(88, 18), a gradient from the active caption colour.
    EXPECT_TRUE(Nearer(image.At(3, 10), Palette::ActiveCaption, Palette::GradientActiveCaption));
    EXPECT_TRUE(Nearer(image.At(87, 10), Palette::GradientActiveCaption, Palette::ActiveCaption));
    EXPECT_EQ(image.Row(18, Face, 3, 103), std::string(100, '#'));
    EXPECT_EQ(image.At(50, 19), Back);
    // The close square (88, 3)-(103, 18): a ring of the caption's end colour around the caption button.
    EXPECT_EQ(image.At(88, 3), Palette::GradientActiveCaption);
    EXPECT_EQ(image.At(89, 16), Palette::GradientActiveCaption);
    EXPECT_NE(image.At(90, 5), Palette::GradientActiveCaption);
    EXPECT_NE(image.At(95, 10), Palette::GradientActiveCaption);
}

TEST_F(FloatingFrame, InactiveAndGradientlessCaptionsTakeTheirColoursAndPartsPaintAlone)
{
    Table().GradientCaptions = ui::FALSE;
    const auto inactive = Paint(false, All);
    EXPECT_EQ(inactive->Image.At(3, 10), Palette::InactiveCaption);
    EXPECT_EQ(inactive->Image.At(80, 10), Palette::InactiveCaption);
    EXPECT_EQ(inactive->Image.At(88, 3), Palette::InactiveCaption);

    const auto borderOnly = Paint(true, FWR_BORDER);
    EXPECT_EQ(borderOnly->Image.At(0, 0), Palette::Light);
    EXPECT_EQ(borderOnly->Image.At(10, 10), Back);
    const auto captionOnly = Paint(true, FWR_CAPTION);
    EXPECT_EQ(captionOnly->Image.At(0, 0), Back);
    EXPECT_EQ(captionOnly->Image.At(3, 10), Palette::ActiveCaption);
    EXPECT_EQ(captionOnly->Image.At(95, 10), Back) << "the close button is left out of the caption";
    const auto noClose = Paint(true, All, 0);
    EXPECT_EQ(noClose->Image.At(95, 10), Palette::ActiveCaption);
}

// ---- Status bar and background ----------------------------------------------------------------------------

TEST_F(DefaultThemePaint, StatusBarPartsAreAFaceSunkenPanelsAndAGrip)
{
    PaintTarget body(50, 20, Back);
    Theme().PaintStatusBar(body.Canvas, Rect(0, 0, 50, 20), SBP_BODY);
    EXPECT_EQ(body.Image.CountOther(Face), 0);

    PaintTarget pane(50, 20, Back);
    Theme().PaintStatusBar(pane.Canvas, Rect(0, 0, 50, 20), SBP_PANE);
    EXPECT_EQ(pane.Image.Row(0, Sh, 0, 50), Marks(0, 47, 3));
    EXPECT_EQ(pane.Image.Column(47, Hl, 0, 20), Marks(0, 20, 0));
    EXPECT_EQ(pane.Image.Column(48, Back, 0, 20), std::string(20, '#'));
    PaintTarget last(50, 20, Back);
    Theme().PaintStatusBar(last.Canvas, Rect(0, 0, 50, 20), SBP_LASTPANE);
    EXPECT_EQ(last.Image.Column(49, Hl, 0, 20), Marks(0, 20, 0));

    PaintTarget grip(16, 16, Back);
    Theme().PaintStatusBar(grip.Canvas, Rect(0, 0, 16, 16), SBP_GRIPPER);
    // Along the bottom row from the corner: face, two shadows, a highlight, a face gap, three times.
    EXPECT_EQ(grip.Image.At(15, 15), Face);
    std::string ridges;
    for (int x = 15; x >= 3; --x) {
        const ui::COLORREF c = grip.Image.At(x, 15);
        ridges += c == Sh ? 's' : c == Hl ? 'h' : c == Face ? 'f' : '?';
    }
    EXPECT_EQ(ridges, "fsshfsshfsshf");
    // Each ridge is a full diagonal up to the right edge.
    EXPECT_EQ(grip.Image.At(15, 4), Hl);
    EXPECT_EQ(grip.Image.At(3, 3), Back);

    PaintTarget small(10, 10, Back);
    Theme().PaintStatusBar(small.Canvas, Rect(2, 2, 8, 8), SBP_GRIPPER);
    EXPECT_EQ(small.Image.InkBounds(Back), Rect(2, 2, 8, 8)) << "ridges that do not fit are left out";
    EXPECT_EQ(small.Image.At(2, 7), Sh);
}

TEST_F(DefaultThemePaint, BackgroundsFillTheClippedRectangleUnlessTransparent)
{
    PaintTarget target(20, 20, Back);
    Theme().PaintBackground(target.Canvas, Rect(0, 0, 20, 20), Rect(5, 5, 30, 30), clBtnShadow, true, 0);
    EXPECT_EQ(target.Image.CountOther(Back), 0);
    Theme().PaintBackground(target.Canvas, Rect(0, 0, 20, 20), Rect(5, 5, 30, 30), clBtnShadow, false, 0);
    EXPECT_EQ(InkOf(target.Image, Sh), Rect(5, 5, 20, 20));
    EXPECT_EQ(target.Image.Count(Sh), 15 * 15);
}

}  // namespace
}  // namespace ovrel::themes
