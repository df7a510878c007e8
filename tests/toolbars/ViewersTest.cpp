// Item viewers: the texts and predicates they answer, and the sizes they ask for in toolbars and menus,
// measured against DejaVu Sans as the text layer measures it.
#include "ViewsTestSupport.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/SysTables.h"
#include "toolbars/Common.h"
#include "toolkit/ActnList.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolbars::testing;
using toolkit::TFont;
using toolkit::TImageList;
using toolkit::TSize;

// Measures with a font on the screen DC, as the views do.
class Metrics {
public:
    explicit Metrics(const TFont& font) : FDC(ui::GetDC(nullptr))
    {
        FOld = ui::SelectObject(FDC, font.GetHandle());
        ui::GetTextMetrics(FDC, &FText);
    }
    ~Metrics()
    {
        ui::SelectObject(FDC, FOld);
        ui::ReleaseDC(nullptr, FDC);
    }
    Metrics(const Metrics&) = delete;
    Metrics& operator=(const Metrics&) = delete;

    [[nodiscard]] int Width(std::string_view text) const
    {
        ui::SIZE size;
        ui::GetTextExtentPoint32(FDC, text, &size);
        return size.cx;
    }
    [[nodiscard]] int VerticalWidth(std::string_view text) const
    {
        ui::HFONT vertical = CreateVerticalFont(FDC);
        ui::HGDIOBJ old = ui::SelectObject(FDC, vertical);
        const int width = Width(text);
        ui::TEXTMETRIC metrics;
        ui::GetTextMetrics(FDC, &metrics);
        ui::SelectObject(FDC, old);
        ui::DeleteObject(vertical);
        return width;
    }
    [[nodiscard]] int Height() const { return FText.tmHeight; }
    [[nodiscard]] int Leading() const { return FText.tmExternalLeading; }

private:
    ui::HDC FDC;
    ui::HGDIOBJ FOld;
    ui::TEXTMETRIC FText;
};

// DejaVu Sans at the first size whose text height is no multiple of 3, so that two thirds of it must round.
std::unique_ptr<TFont> FontOfOddHeight()
{
    for (int height = -11; height > -40; --height) {
        auto font = std::make_unique<TFont>();
        font->SetName("DejaVu Sans");
        font->SetHeight(height);
        if (Metrics(*font).Height() % 3 != 0)
            return font;
    }
    ADD_FAILURE() << "no DejaVu Sans size with a text height that is not a multiple of 3";
    return std::make_unique<TFont>();
}

class ViewersTest : public ::testing::Test {
protected:
    ViewersTest()
    {
        Images.SetSize(16, 16);
        WideImages.SetSize(24, 16);
    }

    // The size viewer asks for, measured as the view measures.
    TSize SizeOf(TTBItemViewer* viewer)
    {
        ui::HDC dc = ui::GetDC(nullptr);
        toolkit::TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.GetFont()->Assign(Font.get());
        int width = -1;
        int height = -1;
        viewer->CalcSize(&canvas, width, height);
        canvas.SetHandle(nullptr);
        ui::ReleaseDC(nullptr, dc);
        return TSize{width, height};
    }

    std::unique_ptr<TFont> Font = FontOfOddHeight();
    TImageList Images{nullptr};
    TImageList WideImages{nullptr};
    ItemPtr Root = MakeRoot();
};

// ---- Sizes ------------------------------------------------------------------------------------------------

struct SizeCase {
    const char* Name;
    bool Toolbar;
    bool Vertical;
    std::function<TTBCustomItem*(TTBCustomItem* root, TImageList& images, TImageList& wide)> Make;
    std::function<TSize(const Metrics& m)> Expected;
};

class ViewerSizes : public ViewersTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(ViewerSizes, FollowTheCaptionImageAndKind)
{
    const SizeCase& row = GetParam();
    row.Make(Root.get(), Images, WideImages);
    auto view = MakeView(Root.get(), row.Toolbar);
    view->Font = Font.get();
    view->SetOrientation(row.Vertical ? tbvoVertical : tbvoHorizontal);
    const Metrics m(*Font);
    const TSize expected = row.Expected(m);
    const TSize size = SizeOf(view->GetViewer(0));
    EXPECT_EQ(size.cx, expected.cx);
    EXPECT_EQ(size.cy, expected.cy);
}

// Item makers
TTBCustomItem* Plain(TTBCustomItem* root, const std::string& caption) { return AddChild(root, caption); }
TTBCustomItem* WithImage(TTBCustomItem* root, TImageList& images, TTBItemDisplayMode mode)
{
    TTBCustomItem* item = AddChild(root, "&Save");
    item->SetImages(&images);
    item->SetImageIndex(0);
    item->SetDisplayMode(mode);
    return item;
}

// Menu rows: the text, then the image column (a square of the row height without images), 6, and the
// arrow area (the row height again).
int MenuRowHeight(const Metrics& m) { return m.Height() + m.Leading() + 4; }

INSTANTIATE_TEST_SUITE_P(
    Rows, ViewerSizes,
    ::testing::Values(
        SizeCase{"ToolbarCaption", true, false, [](auto* r, auto&, auto&) { return Plain(r, "&Save"); },
                 [](const Metrics& m) {
                     return TSize{6 + m.Width("Save") + 6, 6 + m.Height()};
                 }},
        SizeCase{"ToolbarImageOnly", true, false,
                 [](auto* r, auto& images, auto&) { return WithImage(r, images, nbdmDefault); },
                 [](const Metrics&) {
                     return TSize{23, 22};
                 }},
        SizeCase{"ToolbarImageBesideCaption", true, false,
                 [](auto* r, auto& images, auto&) { return WithImage(r, images, nbdmImageAndText); },
                 [](const Metrics& m) {
                     return TSize{6 + m.Width("Save") + 6 + 17, std::max(6 + m.Height(), 22)};
                 }},
        SizeCase{"ToolbarImageAboveCaption", true, false,
                 [](auto* r, auto& images, auto&) {
                     TTBCustomItem* item = WithImage(r, images, nbdmDefault);
                     item->SetOptions({tboImageAboveCaption});
                     return item;
                 },
                 [](const Metrics& m) {
                     return TSize{std::max(6 + m.Width("Save") + 6, 23), 6 + m.Height() + 16};
                 }},
        SizeCase{"ToolbarSplitButton", true, false,
                 [](auto* r, auto&, auto&) {
                     TTBCustomItem* item = AddStyled(r, "&Undo", itsSubmenu | itsSplitButton);
                     item->SetOptions({tboDropdownArrow});  // a split button has its own arrow part
                     return item;
                 },
                 [](const Metrics& m) {
                     return TSize{6 + m.Width("Undo") + 6 + 11, 6 + m.Height()};
                 }},
        SizeCase{"ToolbarDropdownArrow", true, false,
                 [](auto* r, auto&, auto&) {
                     TTBCustomItem* item = AddSubmenu(r, "&Open");
                     item->SetOptions({tboDropdownArrow});
                     return item;
                 },
                 [](const Metrics& m) {
                     return TSize{6 + m.Width("Open") + 6 + 8, 6 + m.Height()};
                 }},
        SizeCase{"VerticalToolbarTurnsTheCaption", true, true, [](auto* r, auto&, auto&) { return Plain(r, "&Save"); },
                 [](const Metrics& m) {
                     return TSize{6 + m.Height(), 6 + m.VerticalWidth("Save") + 6};
                 }},
        SizeCase{"VerticalToolbarArrowBelow", true, true,
                 [](auto* r, auto&, auto&) {
                     TTBCustomItem* item = AddSubmenu(r, "&Open");
                     item->SetOptions({tboDropdownArrow, tboNoRotation});
                     return item;
                 },
                 [](const Metrics& m) {
                     return TSize{6 + m.Width("Open") + 6, 6 + m.Height() + 8};
                 }},
        SizeCase{"MenuCaption", false, false, [](auto* r, auto&, auto&) { return Plain(r, "&Open"); },
                 [](const Metrics& m) {
                     const int h = MenuRowHeight(m);
                     return TSize{m.Width("Open") + h + 6 + h, h};
                 }},
        SizeCase{"MenuShortCut", false, false,
                 [](auto* r, auto&, auto&) {
                     TTBCustomItem* item = Plain(r, "&Open");
                     item->SetShortCut(toolkit::ShortCut('O', {toolkit::ssCtrl}));
                     return item;
                 },
                 [](const Metrics& m) {
                     const int h = MenuRowHeight(m);
                     const int shortCut = m.Width(toolkit::ShortCutToText(toolkit::ShortCut('O', {toolkit::ssCtrl})));
                     return TSize{m.Width("Open") + h + 6 + shortCut + h - 6 + h, h};
                 }},
        SizeCase{"MenuShortCutTextAfterTheTab", false, false,
                 [](auto* r, auto&, auto&) { return Plain(r, "&Open\tCtrl+Shift+O"); },
                 [](const Metrics& m) {
                     const int h = MenuRowHeight(m);
                     return TSize{m.Width("Open") + h + 6 + m.Width("Ctrl+Shift+O") + h - 6 + h, h};
                 }},
        SizeCase{"MenuImageColumnScaled", false, false,
                 [](auto* r, auto&, auto& wide) {
                     TTBCustomItem* item = Plain(r, "&Open");
                     item->SetImages(&wide);
                     return item;
                 },
                 [](const Metrics& m) {
                     const int h = std::max(MenuRowHeight(m), 16 + 3);
                     return TSize{m.Width("Open") + toolkit::MulDiv(24 + 3, h, 16 + 3) + 6 + h, h};
                 }},
        SizeCase{"ToolbarSizedItemInAMenu", false, false,
                 [](auto* r, auto&, auto&) {
                     TTBCustomItem* item = Plain(r, "&Bold");
                     item->SetOptions({tboToolbarStyle, tboToolbarSize});
                     return item;
                 },
                 [](const Metrics& m) {
                     return TSize{6 + m.Width("Bold") + 6, 6 + m.Height()};
                 }},
        SizeCase{"MenuSeparatorTwoThirdsRoundedUp", false, false, [](auto* r, auto&, auto&) { return AddSeparator(r); },
                 [](const Metrics& m) {
                     return TSize{0, (2 * m.Height() + 2) / 3};
                 }},
        SizeCase{"ToolbarSeparator", true, false, [](auto* r, auto&, auto&) { return AddSeparator(r); },
                 [](const Metrics&) {
                     return TSize{6, 6};
                 }}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(ViewersTest, TheTestFontHasATextHeightThatThirdsDoNotDivide) { EXPECT_NE(Metrics(*Font).Height() % 3, 0); }

// ---- Texts ------------------------------------------------------------------------------------------------

struct TextCase {
    const char* Name;
    bool Toolbar;
    std::function<void(TTBCustomItem* item)> Setup;
    TTBItemStyle Style;
    const char* Caption;
    const char* Hint;
    const char* CaptionText;
    const char* HintText;
};

class ViewerTexts : public ViewersTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(ViewerTexts, ComeFromTheCaptionAndHint)
{
    const TextCase& row = GetParam();
    TTBCustomItem* item = AddStyled(Root.get(), row.Caption, row.Style);
    item->SetHint(row.Hint);
    if (row.Setup)
        row.Setup(item);
    auto view = MakeView(Root.get(), row.Toolbar);
    const TTBItemViewer* viewer = view->FindViewerOfItem(item);
    EXPECT_EQ(viewer->GetCaptionText(), row.CaptionText);
    EXPECT_EQ(viewer->GetHintText(), row.HintText);
}

void SetCtrlS(TTBCustomItem* item) { item->SetShortCut(toolkit::ShortCut('S', {toolkit::ssCtrl})); }

INSTANTIATE_TEST_SUITE_P(
    Rows, ViewerTexts,
    ::testing::Values(
        TextCase{"CaptionStopsAtTheTab", false, nullptr, 0, "&Open\tCtrl+O", "", "&Open", "Open"},
        TextCase{"EmptyHintGivesTheCaptionWithoutMarks", false, nullptr, 0, "&Open...", "", "&Open...", "Open"},
        TextCase{"TrailingColonGoes", false, nullptr, 0, "&Zoom:", "", "&Zoom:", "Zoom"},
        TextCase{"ShortHintFirst", false, nullptr, 0, "&Open", "Opens a file|Opens a file from the disk", "&Open",
                 "Opens a file"},
        TextCase{"SubmenuShowingItsCaptionHasNone", false, nullptr, itsSubmenu, "&Recent", "", "&Recent", ""},
        TextCase{"SplitSubmenuUsesItsCaption", false, nullptr, itsSubmenu | itsSplitButton, "&Undo", "", "&Undo",
                 "Undo"},
        TextCase{"SubmenuShowingOnlyItsImage", true, [](TTBCustomItem* item) { item->SetImageIndex(0); }, itsSubmenu,
                 "&Recent", "", "&Recent", "Recent"},
        TextCase{"ShortCutJoinsTheHint", false, SetCtrlS, 0, "&Save", "", "&Save", "Save (Ctrl+S)"},
        TextCase{"NoShortCutOnAnEmptyHint", true, SetCtrlS, itsSubmenu, "&Save", "", "&Save", ""}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(ViewersTest, HintLeavesOutTheShortCutWhenTheApplicationSaysSo)
{
    TTBCustomItem* item = AddChild(Root.get(), "&Save");
    SetCtrlS(item);
    auto view = MakeView(Root.get(), false);
    toolkit::TApplication* app = toolkit::Application();
    app->SetHintShortCuts(false);
    EXPECT_EQ(view->GetViewer(0)->GetHintText(), "Save");
    app->SetHintShortCuts(true);
}

class HintVeto : public toolkit::TObject {
public:
    void OnHint(std::string&, bool& canShow) { canShow = false; }
};

TEST_F(ViewersTest, TheActionMayVetoTheHint)
{
    toolkit::TAction action(nullptr);
    action.SetCaption("&Save");
    HintVeto veto;
    action.OnHint = toolkit::THintEvent(&veto, &HintVeto::OnHint);
    TTBCustomItem* item = AddChild(Root.get());
    item->SetAction(&action);
    auto view = MakeView(Root.get(), false);
    EXPECT_EQ(view->GetViewer(0)->GetHintText(), "");
    item->SetAction(nullptr);
}

// ---- Predicates -------------------------------------------------------------------------------------------

TEST_F(ViewersTest, CaptionAndImageShownByDisplayModeAndKind)
{
    struct Row {
        TTBItemDisplayMode Mode;
        bool Toolbar;
        bool CaptionShown;
        bool ImageShown;
    };
    const Row rows[] = {
        {nbdmDefault, true, false, true},         {nbdmDefault, false, true, true},
        {nbdmTextOnly, true, true, false},        {nbdmTextOnly, false, true, false},
        {nbdmTextOnlyInMenus, true, false, true}, {nbdmTextOnlyInMenus, false, true, false},
        {nbdmImageAndText, true, true, true},     {nbdmImageAndText, false, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "mode " << int(row.Mode) << (row.Toolbar ? " toolbar" : " menu"));
        ItemPtr root = MakeRoot();
        TTBCustomItem* item = AddChild(root.get(), "&Save");
        item->SetImageIndex(0);
        item->SetDisplayMode(row.Mode);
        auto view = MakeView(root.get(), row.Toolbar);
        EXPECT_EQ(view->GetViewer(0)->CaptionShown(), row.CaptionShown);
        EXPECT_EQ(view->GetViewer(0)->ImageShown(), row.ImageShown);
    }
    // Without a caption, only "image above caption" keeps the (empty) caption's line.
    ItemPtr root = MakeRoot();
    TTBCustomItem* empty = AddChild(root.get(), "");
    auto view = MakeView(root.get(), true);
    EXPECT_FALSE(view->GetViewer(0)->CaptionShown());
    empty->SetOptions({tboImageAboveCaption});
    EXPECT_TRUE(view->GetViewer(0)->CaptionShown());
}

TEST_F(ViewersTest, ImageListComesFromTheItemElseFromTheViewsUpTheChain)
{
    TImageList own(nullptr);
    TImageList sub(nullptr);
    TTBCustomItem* item = AddChild(Root.get(), "A");
    auto view = MakeView(Root.get(), false);
    TTBItemViewer* viewer = view->GetViewer(0);
    EXPECT_EQ(viewer->GetImageList(), nullptr);
    Root->SetSubMenuImages(&sub);
    EXPECT_EQ(viewer->GetImageList(), &sub);
    item->SetImages(&own);
    EXPECT_EQ(viewer->GetImageList(), &own);
    item->SetImages(nullptr);
    Root->SetSubMenuImages(nullptr);

    // A submenu's viewers find the images of the menu above them.
    TTBCustomItem* sublevel = AddSubmenu(Root.get(), "Sub");
    AddChild(sublevel, "Deep");
    auto child = MakeView(sublevel, false, false, view.get());
    Root->SetSubMenuImages(&sub);
    EXPECT_EQ(child->GetViewer(0)->GetImageList(), &sub);
    Root->SetSubMenuImages(nullptr);
}

TEST_F(ViewersTest, ButtonPartOfSplitAndSubmenuItems)
{
    AddStyled(Root.get(), "Split", itsSubmenu | itsSplitButton);
    AddSubmenu(Root.get(), "Sub");
    AddChild(Root.get(), "Plain");
    for (bool toolbar : {true, false}) {
        SCOPED_TRACE(toolbar ? "toolbar" : "menu");
        auto view = MakeView(Root.get(), toolbar);
        view->EnsureLayout();
        const TTBItemViewer* split = view->GetViewer(0);
        const int width = split->GetBoundsRect().right - split->GetBoundsRect().left;
        const int arrow = toolbar ? 11 : ui::GetSystemMetrics(ui::SM_CXMENUCHECK);
        EXPECT_TRUE(split->IsPtInButtonPart(width - arrow - 1, 2));
        EXPECT_FALSE(split->IsPtInButtonPart(width - arrow, 2));
        EXPECT_FALSE(view->GetViewer(1)->IsPtInButtonPart(0, 0));
        EXPECT_TRUE(view->GetViewer(2)->IsPtInButtonPart(0, 0));
    }
}

TEST_F(ViewersTest, AccessibilityRoles)
{
    toolkit::TEdit* edit = new toolkit::TEdit(nullptr);
    auto* control = new TTBControlItem(nullptr, edit);
    Root->Add(control);
    AddSeparator(Root.get());
    AddSubmenu(Root.get(), "Sub");
    AddChild(Root.get(), "Plain");
    auto toolbar = MakeView(Root.get(), true);
    EXPECT_EQ(toolbar->GetViewer(0)->GetAccRole(), ui::ROLE_SYSTEM_CLIENT);
    EXPECT_EQ(toolbar->GetViewer(1)->GetAccRole(), ui::ROLE_SYSTEM_SEPARATOR);
    EXPECT_EQ(toolbar->GetViewer(2)->GetAccRole(), ui::ROLE_SYSTEM_BUTTONMENU);
    EXPECT_EQ(toolbar->GetViewer(3)->GetAccRole(), ui::ROLE_SYSTEM_PUSHBUTTON);
    toolbar->SetStyle(ViewStyleMenuBar);
    EXPECT_EQ(toolbar->GetViewer(2)->GetAccRole(), ui::ROLE_SYSTEM_MENUITEM);
    auto menu = MakeView(Root.get(), false);
    EXPECT_EQ(menu->GetViewer(3)->GetAccRole(), ui::ROLE_SYSTEM_MENUITEM);
}

TEST_F(ViewersTest, SameWidthNeedsBothOptionsAndAToolbarSize)
{
    TTBCustomItem* item = AddChild(Root.get(), "A");
    auto toolbar = MakeView(Root.get(), true);
    auto menu = MakeView(Root.get(), false);
    item->SetOptions({tboSameWidth});
    EXPECT_FALSE(toolbar->GetViewer(0)->UsesSameWidth());
    item->SetOptions({tboSameWidth, tboImageAboveCaption});
    EXPECT_TRUE(toolbar->GetViewer(0)->UsesSameWidth());
    EXPECT_FALSE(menu->GetViewer(0)->UsesSameWidth());
    auto separators = MakeRoot();
    AddSeparator(separators.get())->SetOptions({tboSameWidth, tboImageAboveCaption});
    EXPECT_FALSE(MakeView(separators.get(), true)->GetViewer(0)->UsesSameWidth());
}

}  // namespace
}  // namespace ovrel::toolbars
