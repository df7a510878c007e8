// Themed viewers over a view of the framework and the recording theme: the sizes they measure in toolbars and
// menus, the calls they make of the theme and the records they hand it, their text sizes, hit parts and roles,
// and the separator's sizes and lines.

#include "ThemedItemsTestSupport.h"

#include "themes/ThemedCommon.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/SysTables.h"
#include "toolbars/Common.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace ovrel::themes {
namespace {

using namespace ovrel::themes::testing;
using namespace ovrel::toolbars;
using toolkit::TRect;
using toolkit::TSize;

using Strings = std::vector<std::string>;

// ---- Measuring ------------------------------------------------------------------------------------------

/// What a size row's expectation reads: the caption's extent, the font's height and leading, the theme.
struct Measured {
    TSize Text;  // of "Open"
    TSize ShortCut;  // of "Ctrl+O"
    int FontHeight;
    int Leading;
    std::function<int(int)> Metric;
    int PopupMargin;  // of the viewer
};

class ThemedViewerSizes;

struct SizeCase {
    const char* Name;
    bool Toolbar;
    int ViewType;
    TTBViewOrientation Orientation;
    std::function<TTBXCustomItem*(ThemedViewerSizes&)> Make;
    std::function<TSize(const Measured&)> Expected;
};

class ThemedViewerSizes : public ThemedViewTest, public ::testing::WithParamInterface<SizeCase> {
public:
    // The fixture's helpers, for the rows.
    template <class T = TTBXItem> T* AddItem(const std::string& caption) { return Add<T>(caption); }
    toolkit::TImageList* ImageList() { return Images.get(); }
    RecordingTheme& ThemeDouble() { return Recorder(); }
};

constexpr int Iw = 12;  // the fixture's image size
constexpr int Ih = 10;

template <class T> T* WithImage(T* item, toolkit::TImageList* images, TTBItemDisplayMode mode = nbdmImageAndText)
{
    item->SetImages(images);
    item->SetImageIndex(0);
    item->SetDisplayMode(mode);
    return item;
}

TTBXSubmenuItem* Submenu(ThemedViewerSizes& t, bool split, bool arrow)
{
    auto* item = t.AddItem<TTBXSubmenuItem>("Open");
    item->SetDropdownCombo(split);
    if (arrow)
        item->SetOptions(TTBItemOptions{tboDropdownArrow});
    return item;
}

TEST_P(ThemedViewerSizes, MeasureAsTheirStyleAndLayoutAsk)
{
    const SizeCase& c = GetParam();
    TTBXCustomItem* item = c.Make(*this);
    ShowView(c.Toolbar, c.ViewType, c.Orientation);
    TTBXItemViewer& viewer = ViewerOf(item);
    const ui::TEXTMETRIC metrics = FontMetrics(Font);
    const Measured m{Text("Open"),
                     Text("Ctrl+O"),
                     metrics.tmHeight,
                     metrics.tmExternalLeading,
                     [this](int i) { return Metric(i); },
                     GetPopupMargin(&viewer)};
    const TSize expected = c.Expected(m);
    const TSize size = Measure(viewer);
    EXPECT_EQ(size.cx, expected.cx);
    EXPECT_EQ(size.cy, expected.cy);
}

// A menu row: its cell margins around the text, the image column, the gaps and the arrow's room (its height).
TSize MenuRow(const Measured& m, int imageHeight, int extraWidth = 0)
{
    const int height = std::max(2 * m.Metric(30) + m.Text.cy + m.Leading, 2 * m.Metric(30) + imageHeight);
    const int width = 2 * m.Metric(31) + m.Text.cx + m.Metric(32) + m.PopupMargin + m.Metric(33) + m.Metric(34);
    return TSize{width + extraWidth + height, height};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ThemedViewerSizes,
    ::testing::Values(SizeCase{"ToolbarCaption", true, VT_TOOLBARVIEW, tbvoHorizontal,
                               [](ThemedViewerSizes& t) { return t.AddItem("Open"); },
                               [](const Measured& m) {
                                   return TSize{6 + m.Text.cx + 4, 6 + m.Text.cy};
                               }},
                      // Toolbar-sized with an image and the default display mode: the caption is not shown.
                      SizeCase{
                          "ToolbarImageOnly", true, VT_TOOLBARVIEW, tbvoHorizontal,
                          [](ThemedViewerSizes& t) { return WithImage(t.AddItem("Open"), t.ImageList(), nbdmDefault); },
                          [](const Measured&) {
                              return TSize{6 + Iw + 1, Ih + 6};
                          }},
                      SizeCase{"ToolbarGlyphLeft", true, VT_TOOLBARVIEW, tbvoHorizontal,
                               [](ThemedViewerSizes& t) { return WithImage(t.AddItem("Open"), t.ImageList()); },
                               [](const Measured& m) {
                                   return TSize{6 + m.Text.cx + 4 + Iw + 1, std::max(6 + m.Text.cy, Ih + 6)};
                               }},
                      SizeCase{"ToolbarGlyphTop", true, VT_TOOLBARVIEW, tbvoHorizontal,
                               [](ThemedViewerSizes& t) {
                                   TTBXItem* item = WithImage(t.AddItem("Open"), t.ImageList());
                                   item->SetLayout(tbxlGlyphTop);
                                   return item;
                               },
                               [](const Measured& m) {
                                   return TSize{std::max(6 + m.Text.cx + 4, Iw + 7), 6 + m.Text.cy + Ih};
                               }},
                      SizeCase{"ToolbarAutoLayoutWithImageAboveCaption", true, VT_TOOLBARVIEW, tbvoHorizontal,
                               [](ThemedViewerSizes& t) {
                                   TTBXItem* item = WithImage(t.AddItem("Open"), t.ImageList(), nbdmDefault);
                                   item->SetOptions(TTBItemOptions{tboImageAboveCaption});
                                   return item;
                               },
                               [](const Measured& m) {
                                   return TSize{std::max(6 + m.Text.cx + 4, Iw + 7), 6 + m.Text.cy + Ih};
                               }},
                      SizeCase{"ToolbarSplitAddsTheSplitWidth", true, VT_TOOLBARVIEW, tbvoHorizontal,
                               [](ThemedViewerSizes& t) { return Submenu(t, true, false); },
                               [](const Measured& m) {
                                   return TSize{6 + m.Text.cx + 4 + m.Metric(10), 6 + m.Text.cy};
                               }},
                      SizeCase{"ToolbarDropdownArrowAddsTheArrowWidth", true, VT_TOOLBARVIEW, tbvoHorizontal,
                               [](ThemedViewerSizes& t) { return Submenu(t, false, true); },
                               [](const Measured& m) {
                                   return TSize{6 + m.Text.cx + 4 + m.Metric(20), 6 + m.Text.cy};
                               }},
                      SizeCase{"ToolbarDropdownArrowBesideATopImage", true, VT_TOOLBARVIEW, tbvoHorizontal,
                               [](ThemedViewerSizes& t) {
                                   t.ThemeDouble().IntegerMetrics[20] =
                                       60;  // the arrow and the image outgrow the caption
                                   TTBXSubmenuItem* item = Submenu(t, false, true);
                                   WithImage(item, t.ImageList());
                                   item->SetLayout(tbxlGlyphTop);
                                   return item;
                               },
                               [](const Measured& m) {
                                   return TSize{m.Metric(20) + Iw + 2 + 7, 6 + m.Text.cy + Ih};
                               }},
                      SizeCase{"ToolbarLeastWidthAndHeight", true, VT_TOOLBARVIEW, tbvoHorizontal,
                               [](ThemedViewerSizes& t) {
                                   TTBXItem* item = t.AddItem("Open");
                                   item->SetMinWidth(200);
                                   item->SetMinHeight(3);  // below the natural height: no effect
                                   return item;
                               },
                               [](const Measured& m) {
                                   return TSize{200, 6 + m.Text.cy};
                               }},
                      SizeCase{"VerticalToolbarTurnsTheCaption", true, VT_TOOLBARVIEW, tbvoVertical,
                               [](ThemedViewerSizes& t) { return t.AddItem("Open"); },
                               [](const Measured& m) {
                                   return TSize{6 + m.FontHeight, 6 + m.Text.cx + 4};
                               }},
                      SizeCase{"VerticalToolbarArrowGoesBelow", true, VT_TOOLBARVIEW, tbvoVertical,
                               [](ThemedViewerSizes& t) { return Submenu(t, false, true); },
                               [](const Measured& m) {
                                   return TSize{6 + m.FontHeight, 6 + m.Text.cx + 4 + m.Metric(20)};
                               }},
                      SizeCase{"VerticalToolbarKeepsAChosenLayoutUpright", true, VT_TOOLBARVIEW, tbvoVertical,
                               [](ThemedViewerSizes& t) {
                                   TTBXItem* item = t.AddItem("Open");
                                   item->SetLayout(tbxlGlyphLeft);
                                   return item;
                               },
                               [](const Measured& m) {
                                   return TSize{6 + m.Text.cx + 4, 6 + m.Text.cy};
                               }},
                      // A menu without images counts a 16 x 16 image for its row height.
                      SizeCase{"MenuCaption", false, VT_POPUPMENU, tbvoHorizontal,
                               [](ThemedViewerSizes& t) { return t.AddItem("Open"); },
                               [](const Measured& m) { return MenuRow(m, 16); }},
                      SizeCase{"MenuWithImages", false, VT_POPUPMENU, tbvoHorizontal,
                               [](ThemedViewerSizes& t) { return WithImage(t.AddItem("Open"), t.ImageList()); },
                               [](const Measured& m) { return MenuRow(m, Ih); }},
                      SizeCase{"MenuShortcut", false, VT_POPUPMENU, tbvoHorizontal,
                               [](ThemedViewerSizes& t) { return t.AddItem("Open\tCtrl+O"); },
                               [](const Measured& m) {
                                   const TSize row = MenuRow(m, 16);
                                   return TSize{row.cx + m.ShortCut.cx + row.cy - 6, row.cy};
                               }},
                      SizeCase{"MenuLeastHeight", false, VT_POPUPMENU, tbvoHorizontal,
                               [](ThemedViewerSizes& t) {
                                   TTBXItem* item = t.AddItem("Open");
                                   item->SetMinHeight(40);
                                   return item;
                               },
                               [](const Measured& m) {
                                   return TSize{MenuRow(m, 16).cx, 40};
                               }},
                      SizeCase{"ToolboxPopupSizesItemsAsButtons", false, VT_TOOLBOXPOPUP, tbvoHorizontal,
                               [](ThemedViewerSizes& t) { return t.AddItem("Open"); },
                               [](const Measured& m) {
                                   return TSize{6 + m.Text.cx + 4, 6 + m.Text.cy};
                               }}),
    [](const auto& row) { return std::string(row.param.Name); });

// ---- Painting -------------------------------------------------------------------------------------------

class ThemedViewerPaint : public ThemedViewTest {};

TEST_F(ThemedViewerPaint, ASplitItemWithItsSubmenuOpenPaintsTheDropPartPushedAndTheButtonNot)
{
    auto* split = Add<TTBXSubmenuItem>("Back");
    split->SetDropdownCombo(true);
    toolbars::testing::AddChild<TTBXItem>(split, "One");
    ShowView(true, VT_TOOLBARVIEW);
    TTBXItemViewer& viewer = ViewerOf(split);
    toolbars::testing::TFakePopupFactory popups(Form.get());
    View->Select(&viewer);
    ASSERT_TRUE(View->OpenChildPopup(false));
    ui::SetActiveWindow(Form->GetHandle());

    Paint(viewer);
    ASSERT_EQ(Recorder().Names(), (Strings{"PaintButton", "PaintButton", "PaintCaption"}));
    const std::vector<ThemeCall> parts = Recorder().Of("PaintButton");
    const int w = Width(viewer.GetBoundsRect());
    const int h = Height(viewer.GetBoundsRect());
    const ThemeCall& button = parts[0];
    const ThemeCall& drop = parts[1];
    EXPECT_EQ(button.Rect, (TRect{0, 0, w - Metric(10), h}));
    EXPECT_EQ(button.Info.SplitPart, SP_BUTTON);
    EXPECT_FALSE(button.Info.Pushed);
    EXPECT_EQ(drop.Rect, (TRect{w - Metric(10), 0, w, h}));
    EXPECT_EQ(drop.Info.SplitPart, SP_DROPPART);
    EXPECT_TRUE(drop.Info.Pushed);
    for (const ThemeCall& part : parts) {
        EXPECT_TRUE(part.Info.IsPopupParent);
        EXPECT_EQ(part.Info.ItemOptions, IO_TOOLBARSTYLE | IO_SUBMENUITEM | IO_COMBO | IO_APPACTIVE);
        EXPECT_EQ(part.Info.ViewType, VT_TOOLBARVIEW);
        EXPECT_EQ(part.Info.HoverKind, HK_HOT);
    }
    // The caption stays in the button part.
    EXPECT_LE(Recorder().Of("PaintCaption")[0].Rect.right, w - Metric(10) - 2);
}

TEST_F(ThemedViewerPaint, ASplitItemHeldWithTheMouseIsPushedInItsButtonPartAndChecksOnlyThere)
{
    auto* split = Add<TTBXSubmenuItem>("Back");
    split->SetDropdownCombo(true);
    split->SetChecked(true);
    ShowView(true, VT_TOOLBARVIEW);
    TTBXItemViewer& viewer = ViewerOf(split);
    View->Select(&viewer);
    View->BeginCapture();
    Recorder().Calls.clear();
    viewer.Paint(&Target.Canvas, TRect{0, 0, 40, 20}, true, true, false);
    const std::vector<ThemeCall> parts = Recorder().Of("PaintButton");
    ASSERT_EQ(parts.size(), 2U);
    EXPECT_TRUE(parts[0].Info.Pushed);
    EXPECT_TRUE(parts[0].Info.Checked);
    EXPECT_FALSE(parts[0].Info.IsPopupParent);
    EXPECT_FALSE(parts[1].Info.Pushed);
    EXPECT_FALSE(parts[1].Info.Checked) << "the drop part never shows checked";
    // Later calls get the button part's record back.
    const ThemeCall caption = Recorder().Of("PaintCaption")[0];
    EXPECT_EQ(caption.Info.SplitPart, SP_BUTTON);
    EXPECT_TRUE(caption.Info.Checked);
}

TEST_F(ThemedViewerPaint, ACheckedMenuItemWithoutAnImageGetsTheCheckMarkInASquareAsHighAsTheItem)
{
    TTBXItem* item = Add("Status bar");
    item->SetChecked(true);
    ShowView(false, VT_POPUPMENU);
    TTBXItemViewer& viewer = ViewerOf(item);
    Paint(viewer);
    ASSERT_EQ(Recorder().Names(), (Strings{"PaintMenuItem", "PaintCaption", "PaintCheckMark"}));
    const TRect& bounds = viewer.GetBoundsRect();
    const int h = Height(bounds);
    const ThemeCall mark = Recorder().Of("PaintCheckMark")[0];
    EXPECT_EQ(mark.Rect, (TRect{Metric(31), 0, Metric(31) + h, h}));
    EXPECT_TRUE(mark.Info.Checked);
    EXPECT_FALSE(mark.Info.ImageShown);
    EXPECT_EQ(mark.Info.ItemOptions, 0) << "menu style, and no window of the program is active";
    EXPECT_EQ(mark.Info.ViewType, VT_POPUPMENU);
    EXPECT_EQ(mark.Info.PopupMargin, GetPopupMargin(&viewer));
    EXPECT_EQ(Recorder().Of("PaintMenuItem")[0].Rect, (TRect{0, 0, Width(bounds), h}));

    // The caption begins after the image column and the gaps; it is as wide as its text.
    const ThemeCall caption = Recorder().Of("PaintCaption")[0];
    EXPECT_EQ(caption.Text, "Status bar");
    EXPECT_EQ(caption.Rect.left, Metric(31) + mark.Info.PopupMargin + Metric(32) + Metric(33));
    EXPECT_EQ(Width(caption.Rect), Text("Status bar").cx);
    EXPECT_NE(caption.Format & ui::DT_SINGLELINE, 0U);
    EXPECT_NE(caption.Format & ui::DT_VCENTER, 0U);
}

TEST_F(ThemedViewerPaint, AMenuShortcutEndsOneRowHeightBeforeTheRightEdge)
{
    TTBXItem* item = Add("Open\tCtrl+O");
    ShowView(false, VT_POPUPMENU);
    TTBXItemViewer& viewer = ViewerOf(item);
    Paint(viewer);
    const std::vector<ThemeCall> captions = Recorder().Of("PaintCaption");
    ASSERT_EQ(captions.size(), 2U);
    EXPECT_EQ(captions[0].Text, "Open");
    EXPECT_EQ(captions[1].Text, "Ctrl+O");
    const TRect& bounds = viewer.GetBoundsRect();
    EXPECT_EQ(captions[1].Rect.right, Width(bounds) - Metric(31) - Height(bounds));
    EXPECT_EQ(Width(captions[1].Rect), Text("Ctrl+O").cx);
    EXPECT_EQ(captions[1].Rect.top, captions[0].Rect.top);
    EXPECT_FALSE(captions[1].Rotated);
}

struct ImageIndexCase {
    const char* Name;
    int Index;
    bool Drawn;
};

class ThemedViewerImageIndex : public ThemedViewTest, public ::testing::WithParamInterface<ImageIndexCase> {
public:
    struct Drawn {
        TRect Rect;
        toolkit::TPoint Offset;
        int Flags;
    };
    void DrawImage(TTBCustomItem*, TTBItemViewer*, toolkit::TCanvas*, const TRect& rect, toolkit::TPoint offset,
                   int flags)
    {
        DrawnImages.push_back({rect, offset, flags});
    }
    std::vector<Drawn> DrawnImages;
};

TEST_P(ThemedViewerImageIndex, AnIndexAtOrPastTheCountDrawsNothingAndFiresNothing)
{
    TTBXItem* item = Add("Open");
    item->SetImages(Images.get());  // two images
    item->SetImageIndex(GetParam().Index);
    item->SetChecked(true);
    item->OnDrawImage = TDrawImageEvent(static_cast<ThemedViewerImageIndex*>(this), &ThemedViewerImageIndex::DrawImage);
    ShowView(true, VT_TOOLBARVIEW);
    TTBXItemViewer& viewer = ViewerOf(item);
    DrawnImages.clear();  // those of showing the form
    Paint(viewer);
    const std::vector<ThemeCall> painted = Recorder().Of("PaintImage");
    if (!GetParam().Drawn) {
        EXPECT_TRUE(painted.empty());
        EXPECT_TRUE(DrawnImages.empty());
        return;
    }
    ASSERT_EQ(painted.size(), 1U);
    ASSERT_EQ(DrawnImages.size(), 1U);
    EXPECT_EQ(painted[0].ImageIndex, GetParam().Index);
    // An image-only button: the image centred in the left part of the content, image width + 2 wide.
    const int h = Height(viewer.GetBoundsRect());
    const TRect expected{3, 2 + (h - 4 - Ih) / 2, 3 + Iw, 2 + (h - 4 - Ih) / 2 + Ih};
    EXPECT_EQ(painted[0].Rect, expected);
    EXPECT_EQ(DrawnImages[0].Rect, expected);
    EXPECT_EQ(DrawnImages[0].Offset, Recorder().ImageOffset);
    EXPECT_EQ(DrawnImages[0].Flags, ISF_CHECKED);
    EXPECT_TRUE(painted[0].Info.ImageShown);
    EXPECT_EQ(painted[0].Info.ImageWidth, Iw);
    EXPECT_EQ(painted[0].Info.ImageHeight, Ih);
}

INSTANTIATE_TEST_SUITE_P(Rows, ThemedViewerImageIndex,
                         ::testing::Values(ImageIndexCase{"LastImage", 1, true}, ImageIndexCase{"TheCount", 2, false},
                                           ImageIndexCase{"FarPast", 9, false}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(ThemedViewerPaint, ADropdownArrowIsPaintedAtTheEndOfTheButtonAndTheCaptionKeepsOutOfIt)
{
    for (const TTBViewOrientation orientation : {tbvoHorizontal, tbvoVertical}) {
        SCOPED_TRACE(orientation == tbvoVertical ? "vertical" : "horizontal");
        Root->Clear();
        auto* item = Add<TTBXSubmenuItem>("Open");
        item->SetOptions(TTBItemOptions{tboDropdownArrow});
        ShowView(true, VT_TOOLBARVIEW, orientation);
        TTBXItemViewer& viewer = ViewerOf(item);
        Paint(viewer);
        ASSERT_EQ(Recorder().Names(), (Strings{"PaintButton", "PaintDropDownArrow", "PaintCaption"}));
        const int w = Width(viewer.GetBoundsRect());
        const int h = Height(viewer.GetBoundsRect());
        const ThemeCall button = Recorder().Of("PaintButton")[0];
        EXPECT_EQ(button.Rect, (TRect{0, 0, w, h}));
        EXPECT_EQ(button.Info.SplitPart, SP_DROPDOWN);
        const int arrow = Metric(20);
        const int inset = Metric(21);
        const ThemeCall caption = Recorder().Of("PaintCaption")[0];
        if (orientation == tbvoHorizontal) {
            EXPECT_EQ(Recorder().Of("PaintDropDownArrow")[0].Rect, (TRect{w - arrow - inset, 0, w - inset, h}));
            EXPECT_LE(caption.Rect.right, w - arrow - 2);
            EXPECT_FALSE(caption.Rotated);
        } else {
            EXPECT_EQ(Recorder().Of("PaintDropDownArrow")[0].Rect, (TRect{0, h - arrow - inset, w, h - inset}));
            EXPECT_LE(caption.Rect.bottom, h - arrow - 2);
            EXPECT_TRUE(caption.Rotated);
            EXPECT_TRUE(button.Info.IsVertical);
        }
        Window->View = nullptr;
        View.reset();
    }
}

struct HoverCase {
    const char* Name;
    bool Enabled;
    bool Selected;
    bool ViaMouse;
    std::uint8_t HoverKind;
    int StateFlags;
};

class ThemedViewerHover : public ThemedViewTest, public ::testing::WithParamInterface<HoverCase> {
public:
    void AdjustFont(TTBCustomItem*, TTBItemViewer*, toolkit::TFont* font, int flags)
    {
        Flags.push_back(flags);
        Bold = font->GetStyle().Contains(toolkit::fsBold);
    }
    std::vector<int> Flags;
    bool Bold = false;
};

TEST_P(ThemedViewerHover, TheHoverKindAndStateFlagsFollowTheSelection)
{
    const HoverCase& c = GetParam();
    TTBXItem* item = Add("Open");
    item->SetEnabled(c.Enabled);
    item->OnAdjustFont = TAdjustFontEvent(static_cast<ThemedViewerHover*>(this), &ThemedViewerHover::AdjustFont);
    ShowView(false, VT_POPUPMENU);
    TTBXItemViewer& viewer = ViewerOf(item);
    if (c.Selected)
        View->SetSelected(&viewer, c.ViaMouse);
    Flags.clear();
    Paint(viewer);
    const ThemeCall menuItem = Recorder().Of("PaintMenuItem")[0];
    EXPECT_EQ(menuItem.Info.HoverKind, c.HoverKind);
    EXPECT_EQ(menuItem.Info.Enabled, c.Enabled);
    ASSERT_FALSE(Flags.empty());
    for (const int flags : Flags)
        EXPECT_EQ(flags, c.StateFlags);
}

INSTANTIATE_TEST_SUITE_P(Rows, ThemedViewerHover,
                         ::testing::Values(HoverCase{"NotSelected", true, false, false, HK_NONE, 0},
                                           HoverCase{"Selected", true, true, true, HK_HOT, ISF_HOT},
                                           HoverCase{"DisabledByKeyboard", false, true, false, HK_DISABLED,
                                                     ISF_DISABLED},
                                           HoverCase{"DisabledByMouse", false, true, true, HK_NONE, ISF_DISABLED}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(ThemedViewerPaint, TheCaptionKeepsTheThemesTextColourUnlessTheItemSetsItsOwn)
{
    TTBXItem* plain = Add("Open");
    TTBXItem* red = Add("Save");
    red->GetFontSettings()->SetColor(toolkit::clRed);
    ShowView(false, VT_POPUPMENU);
    // Measuring the caption sets the view's font again; the colour must survive it.
    Paint(ViewerOf(plain));
    EXPECT_EQ(Recorder().Of("PaintCaption")[0].FontColor, Recorder().ItemTextColor);
    EXPECT_EQ(Recorder().Of("GetItemTextColor").size(), 1U);
    Paint(ViewerOf(red));
    EXPECT_EQ(Recorder().Of("PaintCaption")[0].FontColor, toolkit::clRed);
}

TEST_F(ThemedViewerPaint, AGlyphLeftCaptionStartsBesideTheImageAndAGlyphTopOneBelowIt)
{
    TTBXItem* left = WithImage(Add("Open"), Images.get());
    TTBXItem* top = WithImage(Add("Save"), Images.get());
    top->SetLayout(tbxlGlyphTop);
    ShowView(true, VT_TOOLBARVIEW);

    Paint(ViewerOf(left));
    ThemeCall caption = Recorder().Of("PaintCaption")[0];
    const int h = Height(ViewerOf(left).GetBoundsRect());
    const TSize open = Text("Open");
    const int w = Width(ViewerOf(left).GetBoundsRect());
    // Beside the image, centred in what is left of the content.
    EXPECT_EQ(caption.Rect.left, 2 + Iw + 3 + (w - 2 - (2 + Iw + 3) - open.cx) / 2);
    EXPECT_EQ(Width(caption.Rect), open.cx);
    EXPECT_EQ(caption.Rect.top, (2 + h - 2 - open.cy) / 2);
    EXPECT_EQ(caption.Format & (ui::DT_CENTER | ui::DT_VCENTER), ui::DT_VCENTER);
    EXPECT_EQ(Recorder().Names(), (Strings{"PaintButton", "PaintCaption", "PaintImage"}));

    Paint(ViewerOf(top));
    caption = Recorder().Of("PaintCaption")[0];
    const TRect& bounds = ViewerOf(top).GetBoundsRect();
    EXPECT_GE(caption.Rect.top, 2 + Ih + 1);
    EXPECT_EQ(caption.Rect.left, 2 + (Width(bounds) - 4 - Text("Save").cx) / 2);
    EXPECT_EQ(caption.Format & (ui::DT_CENTER | ui::DT_VCENTER), ui::DT_CENTER);
    const ThemeCall image = Recorder().Of("PaintImage")[0];
    EXPECT_EQ(image.Rect.top, 2 + 1) << "centred in a box image height + 2 high";
}

// ---- Text, hit parts, roles ----------------------------------------------------------------------------

TEST_F(ThemedViewerPaint, TextSizesProcessAccelMarksAndTurnedTextMeasuresItsLength)
{
    TTBXItem* item = Add("Open");
    TTBXItem* bold = Add("Bold");
    bold->SetOptions(TTBItemOptions{tboDefault});
    ShowView(true, VT_TOOLBARVIEW);
    const int fontHeight = FontMetrics(Font).tmHeight;
    toolkit::TFont boldFont;
    boldFont.Assign(&Font);
    boldFont.SetStyle(toolkit::TFontStyles{toolkit::fsBold});
    struct Row {
        const char* Name;
        TTBXItem* Item;
        std::string Text;
        bool Rotated;
        TSize Expected;
    };
    const Row rows[] = {
        {"Empty", item, "", false, TSize{0, 0}},
        {"Plain", item, "Open", false, Text("Open")},
        {"AccelMark", item, "&Open", false, Text("Open")},
        {"TurnedAccelMark", item, "&Open", true, TSize{fontHeight, Text("Open").cx}},
        {"TurnedDoubledAmpersand", item, "A&&B", true, TSize{fontHeight, Text("A&B").cx}},
        {"DefaultItemIsBold", bold, "Open", false, TextExtent(boldFont, "Open")},
    };
    ASSERT_NE(Text("Open").cx, TextExtent(boldFont, "Open").cx);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TSize size{-1, -1};
        ViewerOf(row.Item).GetTextSize(&Target.Canvas, row.Text, size, 0, row.Rotated,
                                       row.Rotated ? ui::DT_SINGLELINE : 0);
        EXPECT_EQ(size.cx, row.Expected.cx);
        EXPECT_EQ(size.cy, row.Expected.cy);
    }
}

TEST_F(ThemedViewerPaint, ASplitItemsButtonPartEndsWhereTheThemesDropPartBegins)
{
    auto* split = Add<TTBXSubmenuItem>("Back");
    split->SetDropdownCombo(true);
    auto* submenu = Add<TTBXSubmenuItem>("More");
    TTBXItem* plain = Add("Open");
    ShowView(true, VT_TOOLBARVIEW);
    const int w = Width(ViewerOf(split).GetBoundsRect());
    EXPECT_TRUE(ViewerOf(split).IsPtInButtonPart(w - Metric(10) - 1, 0));
    EXPECT_FALSE(ViewerOf(split).IsPtInButtonPart(w - Metric(10), 0));
    EXPECT_FALSE(ViewerOf(submenu).IsPtInButtonPart(0, 0));
    EXPECT_TRUE(ViewerOf(plain).IsPtInButtonPart(0, 0));
}

TEST_F(ThemedViewerPaint, AMenuSplitItemsDropPartIsTheMenuCheckWidth)
{
    auto* split = Add<TTBXSubmenuItem>("Back");
    split->SetDropdownCombo(true);
    ShowView(false, VT_POPUPMENU);
    const int w = Width(ViewerOf(split).GetBoundsRect());
    const int check = ui::GetSystemMetrics(ui::SM_CXMENUCHECK);
    EXPECT_TRUE(ViewerOf(split).IsPtInButtonPart(w - check - 1, 0));
    EXPECT_FALSE(ViewerOf(split).IsPtInButtonPart(w - check, 0));
}

TEST_F(ThemedViewerPaint, AToolboxSubmenuIsADropDownGridButton)
{
    auto* toolbox = Add<TTBXSubmenuItem>("Colours");
    toolbox->SetToolBoxPopup(true);
    auto* submenu = Add<TTBXSubmenuItem>("More");
    TTBXItem* plain = Add("Open");
    plain->SetToolBoxPopup(true);
    ShowView(true, VT_TOOLBARVIEW);
    EXPECT_EQ(ViewerOf(toolbox).GetAccRole(), ui::ROLE_SYSTEM_BUTTONDROPDOWNGRID);
    EXPECT_EQ(ViewerOf(submenu).GetAccRole(), ui::ROLE_SYSTEM_BUTTONMENU);
    EXPECT_EQ(ViewerOf(plain).GetAccRole(), ui::ROLE_SYSTEM_PUSHBUTTON);
}

TEST_F(ThemedViewerPaint, AcceleratorsHideOnlyWhileTheViewHidesThem)
{
    ui::SystemTableOverride table;
    table.Table().KeyboardCues = ui::FALSE;
    TTBXItem* item = Add("&Open");
    ShowView(false, VT_POPUPMENU);
    TTBXItemViewer& viewer = ViewerOf(item);
    EXPECT_EQ(viewer.GetTextFlags(), 0U) << "the view does not follow the system";
    View->SetStyle(ViewStyleAccelsFollowSystem);
    EXPECT_EQ(viewer.GetTextFlags(), ui::DT_HIDEPREFIX);
    Paint(viewer);
    EXPECT_NE(Recorder().Of("PaintCaption")[0].Format & ui::DT_HIDEPREFIX, 0U);
    View->SetAccelsVisibility(true);
    EXPECT_EQ(viewer.GetTextFlags(), 0U);
}

// ---- Separators ----------------------------------------------------------------------------------------

struct SeparatorSizeCase {
    const char* Name;
    bool Toolbar;
    int Size;
    int ThemeSize;  // metric 50 in toolbars, 35 in menus
    TSize Expected;  // width -1: the framework's own size
};

class ThemedSeparatorSizes : public ThemedViewTest, public ::testing::WithParamInterface<SeparatorSizeCase> {};

TEST_P(ThemedSeparatorSizes, TakeTheirOwnSizeTheThemesOrTheFrameworks)
{
    const SeparatorSizeCase& c = GetParam();
    Recorder().IntegerMetrics[c.Toolbar ? 50 : 35] = c.ThemeSize;
    Add("Open");
    auto* separator = Add<TTBXSeparatorItem>("");
    separator->SetSize(c.Size);
    Add("Save");
    ShowView(c.Toolbar, c.Toolbar ? VT_TOOLBARVIEW : VT_POPUPMENU);
    TTBItemViewer* viewer = View->FindViewerOfItem(separator);
    ASSERT_NE(dynamic_cast<TTBXSeparatorItemViewer*>(viewer), nullptr);
    TSize expected = c.Expected;
    if (expected.cx < 0)
        expected = c.Toolbar ? TSize{6, 6} : TSize{0, DivRoundUp(2 * FontMetrics(Font).tmHeight, 3)};
    const TSize size = Measure(*viewer);
    EXPECT_EQ(size.cx, expected.cx);
    EXPECT_EQ(size.cy, expected.cy);
}

INSTANTIATE_TEST_SUITE_P(Rows, ThemedSeparatorSizes,
                         ::testing::Values(SeparatorSizeCase{"ToolbarTheme", true, -1, 4, TSize{4, 4}},
                                           SeparatorSizeCase{"MenuTheme", false, -1, 7, TSize{0, 7}},
                                           SeparatorSizeCase{"ToolbarFramework", true, -1, -1, TSize{-1, -1}},
                                           SeparatorSizeCase{"MenuFramework", false, -1, -1, TSize{-1, -1}},
                                           SeparatorSizeCase{"ToolbarOwn", true, 5, 4, TSize{5, 5}},
                                           SeparatorSizeCase{"MenuOwn", false, 5, 7, TSize{0, 5}},
                                           SeparatorSizeCase{"MenuNone", false, 0, 7, TSize{0, 0}},
                                           SeparatorSizeCase{"BelowMinusOneIsMinusOne", true, -5, 4, TSize{4, 4}}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(ThemedViewerPaint, ASeparatorLiesAcrossItsViewAndABlankOneIsPaintedDisabled)
{
    struct Row {
        const char* Name;
        bool Toolbar;
        int ViewType;
        TTBViewOrientation Orientation;
        bool Horizontal;
    };
    const Row rows[] = {
        {"HorizontalToolbar", true, VT_TOOLBARVIEW, tbvoHorizontal, false},
        {"VerticalToolbar", true, VT_TOOLBARVIEW, tbvoVertical, true},
        {"Menu", false, VT_POPUPMENU, tbvoHorizontal, true},
        // Laid out as toolbars: a toolbox pop-up's line runs across, a chevron pop-up's as on its toolbar.
        {"ToolboxPopup", true, VT_TOOLBOXPOPUP, tbvoHorizontal, true},
        {"ChevronPopup", true, VT_CHEVRONPOPUP, tbvoHorizontal, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Root->Clear();
        Add("Open");
        auto* separator = Add<TTBXSeparatorItem>("");
        Add("Save");
        ShowView(row.Toolbar, row.ViewType, row.Orientation);
        TTBItemViewer* viewer = View->FindViewerOfItem(separator);
        Paint(*viewer);
        ASSERT_EQ(Recorder().Names(), Strings{"PaintSeparator"});
        const ThemeCall line = Recorder().Of("PaintSeparator")[0];
        EXPECT_EQ(line.Horizontal, row.Horizontal);
        EXPECT_FALSE(line.LineSeparator);
        EXPECT_TRUE(line.Info.Enabled);
        EXPECT_EQ(line.Info.ViewType, row.ViewType);
        EXPECT_EQ(line.Info.PopupMargin, row.Toolbar ? 0 : GetPopupMargin(viewer));

        separator->SetBlank(true);
        Paint(*viewer);
        ASSERT_EQ(Recorder().Names(), Strings{"PaintSeparator"});
        EXPECT_FALSE(Recorder().Of("PaintSeparator")[0].Info.Enabled);
        separator->SetSize(0);
        View->EnsureLayout();
        Paint(*View->FindViewerOfItem(separator));
        EXPECT_TRUE(Recorder().Names().empty()) << "a separator of size 0 paints nothing";
        Window->View = nullptr;
        View.reset();
    }
}

}  // namespace
}  // namespace ovrel::themes
