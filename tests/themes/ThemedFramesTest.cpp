// The window helpers every themed control shares: view types and effective colours asked by message, what is
// painted behind a control, frame updates, the menu image column, and registration for theme changes.

#include "ThemedItemsTestSupport.h"

#include "themes/ThemeUtils.h"
#include "themes/ThemedCommon.h"

#include "platform/ui/Messages.h"
#include "platform/ui/VisualStyles.h"
#include "platform/ui/Window.h"
#include "toolbars/Dock.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::themes {
namespace {

using namespace ovrel::themes::testing;
using namespace ovrel::toolbars;
using toolkit::TColor;
using toolkit::TRect;

/// A control that answers the themes' questions as told; a zero answer means it does not answer.
class TAnsweringControl : public toolkit::TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int ViewType = 0;
    std::intptr_t ColorResult = 0;
    TColor EffectiveColor = toolkit::clNone;
    int Border = 0;  // of the frame, on each side
    int NCPaints = 0;

    void Dispatch(toolkit::TMessage& message) override
    {
        switch (message.Msg) {
        case WM_TBX_GETVIEWTYPE: message.Result = ViewType; return;
        case WM_TBX_GETEFFECTIVECOLOR:
            message.Result = ColorResult;
            if (ColorResult != 0)
                message.WParam = static_cast<std::uintptr_t>(EffectiveColor);
            return;
        case ui::WM_NCCALCSIZE: {
            auto* params = reinterpret_cast<ui::NCCALCSIZE_PARAMS*>(message.LParam);
            ui::InflateRect(&params->rgrc[0], -Border, -Border);
            message.Result = 0;
            return;
        }
        case ui::WM_NCPAINT: ++NCPaints; return;
        default: TCustomControl::Dispatch(message);
        }
    }
};

class ThemedFrames : public ThemedViewTest {};

TEST_F(ThemedFrames, ViewTypesComeFromTheViewsWindowOrTheControlItself)
{
    EXPECT_EQ(GetViewType(nullptr), 0);
    EXPECT_EQ(GetWinViewType(nullptr), 0);
    Add("Open");
    const std::unique_ptr<TTBView> windowless = toolbars::testing::MakeView(Root.get(), true);
    EXPECT_EQ(GetViewType(windowless.get()), 0);
    ShowView(false, VT_TOOLBOXPOPUP);
    EXPECT_EQ(GetViewType(View.get()), VT_TOOLBOXPOPUP);
    EXPECT_EQ(GetWinViewType(Window), VT_TOOLBOXPOPUP);
    toolkit::TPanel plain(nullptr);
    EXPECT_EQ(GetWinViewType(&plain), 0);
}

TEST_F(ThemedFrames, TheEffectiveColourIsTheAnswerWhenThereIsOneElseTheColour)
{
    EXPECT_EQ(GetEffectiveColor(nullptr), toolkit::clBtnFace);
    TAnsweringControl control(nullptr);
    control.SetColor(toolkit::clYellow);
    EXPECT_EQ(GetEffectiveColor(&control), toolkit::clYellow);
    control.ColorResult = 1;
    control.EffectiveColor = toolkit::clNavy;
    EXPECT_EQ(GetEffectiveColor(&control), toolkit::clNavy);
}

// Paints behind a 20 x 10 control at (10, 20) of parent into an image of the control's size.
ui::COLORREF Behind(toolkit::TWinControl* parent, toolkit::TControl& control, Canvas& image)
{
    control.SetParent(parent);
    control.SetBounds(10, 20, 20, 10);
    DrawParentBackground(&control, image.Dc(), TRect{0, 0, 20, 10});
    return image.At(5, 5);
}

TEST_F(ThemedFrames, APlainParentsBackgroundIsItsEffectiveColour)
{
    Canvas image(20, 10);
    toolkit::TPanel child(nullptr);
    EXPECT_EQ(Behind(nullptr, child, image), Palette::Face) << "no parent: button face";

    auto* parent = new TAnsweringControl(Form.get());
    parent->SetParent(Form.get());
    parent->SetColor(toolkit::clYellow);
    EXPECT_EQ(Behind(parent, child, image), ui::RGB(255, 255, 0));
    parent->ColorResult = 1;
    parent->EffectiveColor = toolkit::clNavy;
    EXPECT_EQ(Behind(parent, child, image), ui::RGB(0, 0, 128));
    child.SetParent(nullptr);
}

/// A dock that paints its background in blue and records where it was asked to.
class TBlueDock : public toolbars::TTBDock {
public:
    using TTBDock::TTBDock;
    void DrawBackground(ui::HDC dc, const TRect& rect) override
    {
        Asked.push_back(rect);
        FillRectColorDC(dc, rect, toolkit::clBlue);
    }
    std::vector<TRect> Asked;
};

TEST_F(ThemedFrames, ADockPaintsItsOwnBackgroundInItsOwnCoordinates)
{
    auto* dock = new TBlueDock(Form.get());
    dock->SetParent(Form.get());
    toolkit::TPanel child(nullptr);
    Canvas image(20, 10);
    ui::SetWindowOrgEx(image.Dc(), 0, 0, nullptr);
    EXPECT_EQ(Behind(dock, child, image), ui::RGB(0, 0, 255));
    ASSERT_EQ(dock->Asked.size(), 1U);
    EXPECT_EQ(dock->Asked[0], (TRect{10, 20, 30, 30}));
    EXPECT_EQ(image.Count(ui::RGB(0, 0, 255)), 20 * 10) << "lands on the whole control";
    ui::POINT origin{-1, -1};
    ui::GetWindowOrgEx(image.Dc(), &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    child.SetParent(nullptr);
}

TEST_F(ThemedFrames, ATabSheetWithVisualStylesPaintsItsBodyBehindTheControl)
{
    auto* pages = new toolkit::TPageControl(Form.get());
    pages->SetParent(Form.get());
    pages->SetBounds(0, 0, 200, 150);
    auto* sheet = new toolkit::TTabSheet(Form.get());
    sheet->SetPageControl(pages);
    sheet->SetColor(toolkit::clLime);
    Form->Show();
    toolkit::TPanel child(nullptr);
    Canvas image(20, 10);

    EXPECT_EQ(Behind(sheet, child, image), ui::RGB(0, 255, 0)) << "classic: the sheet's colour";

    ui::RecordingVisualStyles drawing;
    {
        ui::ScopedService<ui::IVisualStyles> installed(ui::SetVisualStyles, drawing);
        Table().Profile = ui::SystemProfile{true, 5, 1};
        Manager().SetEnableVisualStyles(true);
        Manager().RefreshColors();
        ASSERT_TRUE(VisualStylesActive());
        drawing.Requests.clear();
        image.Clear(ui::testing::White);
        Behind(sheet, child, image);
        Manager().SetEnableVisualStyles(false);
        Manager().RefreshColors();
    }
    child.SetParent(nullptr);

    ASSERT_EQ(drawing.Requests.size(), 1U);
    const auto& body = drawing.Requests[0];
    EXPECT_EQ(body.ClassList, "TAB");
    EXPECT_EQ(body.Part, 10);
    EXPECT_EQ(body.State, 0);
    const TRect client = sheet->GetClientRect();
    EXPECT_EQ(body.Rect, (TRect{client.left - 10, client.top - 20, client.right - 10, client.bottom - 20}));
    EXPECT_TRUE(body.Clipped);
    EXPECT_EQ(drawing.OpenCount(), 0) << "the theme data is closed again";
    EXPECT_EQ(image.At(5, 5), ui::testing::White) << "no fill besides the body";
}

TEST_F(ThemedFrames, UpdatingTheFrameRecomputesItAndRepaints)
{
    auto* control = new TAnsweringControl(Form.get());
    control->SetParent(Form.get());
    control->SetBounds(0, 0, 100, 50);
    Form->Show();
    ui::UpdateWindow(control->GetHandle());
    control->Border = 3;
    UpdateNCArea(control);
    EXPECT_EQ(control->GetClientWidth(), 100 - 6);
    EXPECT_EQ(control->GetClientHeight(), 50 - 6);
    ui::RECT update{};
    EXPECT_TRUE(ui::GetUpdateRect(control->GetHandle(), &update, ui::FALSE));

    ui::UpdateWindow(control->GetHandle());
    control->NCPaints = 0;
    RedrawFrame(control);
    ui::UpdateWindow(control->GetHandle());
    EXPECT_EQ(control->NCPaints, 1);

    TAnsweringControl windowless(nullptr);
    RedrawFrame(&windowless);
    EXPECT_FALSE(windowless.HandleAllocated()) << "no window is made just to redraw it";
}

TEST_F(ThemedFrames, TheMenuImageColumnScalesTheImageToTheRowHeight)
{
    TTBXItem* bare = Add("Open");
    TTBXItem* imaged = Add("Save");
    imaged->SetImages(Images.get());
    auto* plain = new TTBCustomItem(nullptr);
    plain->SetCaption("Exit");
    Root->Add(plain);
    ShowView(false, VT_POPUPMENU);
    // A framework item keeps the framework's viewer, which has no image size of its own.
    ASSERT_EQ(dynamic_cast<TTBXItemViewer*>(View->FindViewerOfItem(plain)), nullptr);

    const ui::TEXTMETRIC metrics = FontMetrics(Font);
    const int cell = 2 * Metric(30);
    const int text = metrics.tmHeight + metrics.tmExternalLeading + cell;
    const auto column = [&](int width, int height) {
        return (width + cell) * std::max(text, height + cell) / (height + cell);
    };
    // A themed viewer without images takes their size, 0 x 0: the column is as wide as the row's text.
    EXPECT_EQ(GetPopupMargin(&ViewerOf(bare)), text);
    EXPECT_EQ(GetPopupMargin(&ViewerOf(imaged)), column(ImageWidth, ImageHeight));
    EXPECT_EQ(GetPopupMargin(View->FindViewerOfItem(plain)), column(16, 16)) << "other viewers count 16 x 16";

    // Without cell margins there is no image height to scale by.
    Recorder().IntegerMetrics[30] = 0;
    EXPECT_EQ(GetPopupMargin(&ViewerOf(bare)), metrics.tmHeight + metrics.tmExternalLeading);
}

TEST_F(ThemedFrames, AControlIsRegisteredForThemeChangesOnce)
{
    std::vector<Heard> log;
    RecordingControl control("control", log);
    AddThemeControl(&control);
    AddThemeControl(&control);
    ASSERT_EQ(GetNexus()->GetNotifies().size(), 1U);
    toolkit::TMessage notify{WM_TBX_THEMENOTIFY, 3, 0, 0};
    GetNexus()->Dispatch(notify);
    EXPECT_EQ(log, (std::vector<Heard>{{"control", WM_TBX_THEMECHANGED, 3}}));
    RemoveThemeControl(&control);
    EXPECT_TRUE(GetNexus()->GetNotifies().empty());
}

}  // namespace
}  // namespace ovrel::themes
