// The dockable panel: its settings and their storage rules, its docked frame and what each point of it is, its
// view type and colour, and how it answers a theme change.
#include "DockPanelsTestSupport.h"

#include "themes/ThemeUtils.h"

#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "toolkit/ExtCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

namespace ovrel::themes::testing {
namespace {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;

class DockablePanelTest : public PanelFormTest {};

TEST_F(DockablePanelTest, StartsAsAFullSizeThemedPanelWithACloseButtonThatADoubleClickDoesNotUndock)
{
    TTBXDockablePanel* panel = AddPanel(nullptr, "Panel");
    EXPECT_TRUE(panel->GetCloseButtonWhenDocked());
    EXPECT_FALSE(panel->GetDblClickUndock());
    EXPECT_TRUE(panel->GetFullSize());
    EXPECT_EQ(panel->GetColor(), clNone);
    EXPECT_EQ(panel->GetWidth(), 128);
    EXPECT_EQ(panel->GetHeight(), 128);
    const auto& notifies = GetNexus()->GetNotifies();
    EXPECT_EQ(std::count(notifies.begin(), notifies.end(), panel), 1);
    delete panel;
    EXPECT_EQ(std::count(notifies.begin(), notifies.end(), panel), 0);
}

// ---- Storage rules ----------------------------------------------------------------------------------------

struct StorageRow {
    const char* Name;
    std::function<void(TTBXDockablePanel&)> Set;
    std::function<int(const TTBXDockablePanel&)> Get;
    int Expected;
};

TEST_F(DockablePanelTest, StoresSizesByItsRules)
{
    const StorageRow rows[] = {
        {"a client minimum below 8 is 8", [](auto& p) { p.SetMinClientHeight(3); },
         [](const auto& p) { return p.GetMinClientHeight(); }, 8},
        {"a docked width below the minimum is raised to it", [](auto& p) { p.SetDockedWidth(10); },
         [](const auto& p) { return p.GetDockedWidth(); }, 32},
        {"a docked height follows a larger minimum",
         [](auto& p) {
             p.SetDockedHeight(40);
             p.SetMinClientHeight(60);
         },
         [](const auto& p) { return p.GetDockedHeight(); }, 60},
        {"a negative floating width is 0", [](auto& p) { p.SetFloatingWidth(-5); },
         [](const auto& p) { return p.GetFloatingWidth(); }, 0},
        {"a floating height below the minimum stays while not floating", [](auto& p) { p.SetFloatingHeight(12); },
         [](const auto& p) { return p.GetFloatingHeight(); }, 12},
        {"a negative split width is 0", [](auto& p) { p.SetSplitWidth(-1); },
         [](const auto& p) { return p.GetSplitWidth(); }, 0},
        {"a negative split height is 0", [](auto& p) { p.SetSplitHeight(-20); },
         [](const auto& p) { return p.GetSplitHeight(); }, 0},
        {"a negative snap distance is 0", [](auto& p) { p.SetSnapDistance(-3); },
         [](const auto& p) { return p.GetSnapDistance(); }, 0},
    };
    for (const StorageRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TTBXDockablePanel* panel = AddPanel(nullptr, "Panel");
        row.Set(*panel);
        EXPECT_EQ(row.Get(*panel), row.Expected);
        delete panel;
    }
}

TEST_F(DockablePanelTest, TakesItsDockedWidthInASideDockAndItsDockedHeightInATopDock)
{
    TTBXDock* left = AddDock(dpLeft, "Left");
    TTBXDock* top = AddDock(dpTop, "Top");
    TTBXDockablePanel* side = AddPanel(left, "Side");
    TTBXDockablePanel* strip = AddPanel(top, "Strip");
    EXPECT_EQ(side->GetWidth(), 128 + 4);
    EXPECT_EQ(left->GetWidth(), 128 + 4);
    EXPECT_EQ(strip->GetHeight(), 128 + 4);

    side->SetDockedWidth(150);
    Pump();
    EXPECT_EQ(side->GetWidth(), 154);
    EXPECT_EQ(left->GetWidth(), 154);
    // Across a top dock the panel runs the dock's length, whatever its docked width says.
    const int length = strip->GetWidth();
    strip->SetDockedWidth(60);
    Pump();
    EXPECT_EQ(strip->GetWidth(), length);
    strip->SetDockedHeight(90);
    Pump();
    EXPECT_EQ(strip->GetHeight(), 94);
    EXPECT_EQ(top->GetHeight(), 94);
}

// ---- The docked frame -------------------------------------------------------------------------------------

struct FrameRow {
    const char* Name;
    TTBDockPosition Side;
    bool Caption;
    TDPCaptionRotation Rotation;
    TPoint Frame;  // GetDockedFrameSize
    TRect Inset;  // the client in window coordinates, right and bottom measured from the far edges
};

TEST_F(DockablePanelTest, FramesItsClientWithTwoPixelsAndTheCaptionStripOnItsSide)
{
    const int c = ui::GetSystemMetrics(ui::SM_CYSMCAPTION);
    const FrameRow rows[] = {
        {"left dock, caption across the top", dpLeft, true, dpcrAuto, {4, 4 + c}, {2, 2 + c, 2, 2}},
        {"top dock, caption down the left", dpTop, true, dpcrAuto, {4 + c, 4}, {2 + c, 2, 2, 2}},
        {"bottom dock, caption down the left", dpBottom, true, dpcrAuto, {4 + c, 4}, {2 + c, 2, 2, 2}},
        {"top dock, caption kept horizontal", dpTop, true, dpcrAlwaysHorz, {4, 4 + c}, {2, 2 + c, 2, 2}},
        {"right dock, caption kept vertical", dpRight, true, dpcrAlwaysVert, {4 + c, 4}, {2 + c, 2, 2, 2}},
        {"left dock without a caption", dpLeft, false, dpcrAuto, {4, 4}, {2, 2, 2, 2}},
        {"top dock without a caption", dpTop, false, dpcrAuto, {4, 4}, {2, 2, 2, 2}},
    };
    for (const FrameRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TTBXDock* dock = AddDock(row.Side, "Dock");
        TTBXDockablePanel* panel = AddPanel(nullptr, "Panel");
        panel->SetShowCaptionWhenDocked(row.Caption);
        panel->SetCaptionRotation(row.Rotation);
        panel->SetParent(dock);
        Pump();
        EXPECT_EQ(panel->GetDockedFrameSize(dock), row.Frame);
        const TRect inset = ui::GetClientInset(panel->GetHandle());
        EXPECT_EQ(inset, (TRect{row.Inset.left, row.Inset.top, panel->GetWidth() - row.Inset.right,
                                panel->GetHeight() - row.Inset.bottom}));
        EXPECT_EQ(panel->GetWidth() - panel->GetClientWidth(), row.Frame.x);
        EXPECT_EQ(panel->GetHeight() - panel->GetClientHeight(), row.Frame.y);
        delete panel;
        delete dock;
    }
}

TEST_F(DockablePanelTest, HasNoFrameWhileFloatingOrOnItsForm)
{
    TTBXDockablePanel* panel = AddPanel(nullptr, "Panel");
    EXPECT_EQ(panel->GetDockedFrameSize(nullptr), (TPoint{0, 0}));
    EXPECT_EQ(panel->GetClientWidth(), panel->GetWidth());
    panel->SetFloating(true);
    Pump();
    EXPECT_EQ(panel->GetClientWidth(), panel->GetWidth());
    EXPECT_EQ(panel->GetClientHeight(), panel->GetHeight());
}

TEST_F(DockablePanelTest, ReframesWhenTheCaptionIsTurnedOffAndTheDockLaysItOutAgain)
{
    TTBXDock* left = AddDock(dpLeft, "Left");
    TTBXDockablePanel* panel = AddPanel(left, "Panel");
    const int c = ui::GetSystemMetrics(ui::SM_CYSMCAPTION);
    EXPECT_EQ(panel->GetClientHeight(), panel->GetHeight() - 4 - c);
    panel->SetShowCaptionWhenDocked(false);
    Pump();
    EXPECT_EQ(panel->GetClientHeight(), panel->GetHeight() - 4);
    EXPECT_EQ(ui::GetClientInset(panel->GetHandle()).top, 2);
}

TEST_F(DockablePanelTest, PaintsItsFrameThroughTheThemeWithTheCaptionAndTheCloseButtonState)
{
    TTBXDock* left = AddDock(dpLeft, "Left");
    TTBXDockablePanel* panel = AddPanel(left, "Folders");
    Recorder().PanelFrames.clear();
    ui::SendMessage(panel->GetHandle(), ui::WM_NCPAINT, 1, 0);
    ASSERT_FALSE(Recorder().PanelFrames.empty());
    const PanelRecordingTheme::PanelFrame& frame = Recorder().PanelFrames.back();
    EXPECT_EQ(frame.Caption, "Folders");
    EXPECT_EQ(frame.Rect, (TRect{0, 0, panel->GetWidth(), panel->GetHeight()}));
    EXPECT_EQ(frame.Info.WindowHandle, panel->GetHandle());
    EXPECT_EQ(frame.Info.ViewType, 0x4401);
    EXPECT_TRUE(frame.Info.IsVertical);  // the caption runs across
    EXPECT_TRUE(frame.Info.AllowDrag);
    EXPECT_EQ(frame.Info.Handle & 0xFF, 1);
    EXPECT_EQ(frame.Info.CloseButtonState, CDBS_VISIBLE);
    EXPECT_EQ(frame.Info.ClientWidth, panel->GetClientWidth());
    EXPECT_EQ(frame.Info.BorderSize.x, 2);

    // The close zone under the mouse turns the button hot.
    const TRect button = panel->DockedCloseButtonRect(false);
    ui::PostMouseInput(ui::WM_MOUSEMOVE, OnWindow(panel, button.left + 3, button.top + 3));
    Pump();
    EXPECT_EQ(Recorder().PanelFrames.back().Info.CloseButtonState, CDBS_VISIBLE | CDBS_HOT);

    panel->SetCloseButtonWhenDocked(false);
    ui::SendMessage(panel->GetHandle(), ui::WM_NCPAINT, 1, 0);
    EXPECT_EQ(Recorder().PanelFrames.back().Info.CloseButtonState, 0);
}

TEST_F(DockablePanelTest, ClosesFromItsCloseButtonAndAnOnlyPanelLeavesItsMultiDockEmpty)
{
    TTBXMultiDock* left = AddMultiDock(dpLeft, "Left");
    TTBXDockablePanel* panel = AddPanel(left, "Panel");
    ASSERT_GT(left->GetWidth(), 0);
    const TRect button = panel->DockedCloseButtonRect(false);
    const TPoint at = OnWindow(panel, button.left + 4, button.top + 4);
    EXPECT_EQ(HitAt(panel, button.left + 4, button.top + 4), HT_TB_CLOSEBUTTON);
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, at);
    ui::PostMouseInput(ui::WM_LBUTTONUP, at);
    Pump();
    EXPECT_FALSE(panel->GetVisible());
    EXPECT_EQ(left->GetWidth(), 0);
    panel->Show();
    Pump();
    EXPECT_EQ(left->GetWidth(), 128 + 4);
}

// ---- Hit testing ------------------------------------------------------------------------------------------

struct HitRow {
    const char* Name;
    TTBDockPosition Side;
    int Panel;  // 0 the first of two panels along the dock, 1 the second
    bool Resizable;
    int X;  // negative: from the right edge (-1 is the last column)
    int Y;  // negative: from the bottom edge
    ui::LRESULT Expected;
};

TEST_F(DockablePanelTest, AnswersSizingSplitCloseAndDragCodesByDockSide)
{
    const int c = ui::GetSystemMetrics(ui::SM_CYSMCAPTION);
    const HitRow rows[] = {
        // A left dock: the sizing band is the right edge; the split runs between the panels' top and bottom.
        {"left: outer edge", dpLeft, 0, true, -1, 40, ui::HTRIGHT},
        {"left: outer edge, second column", dpLeft, 0, true, -2, 40, ui::HTRIGHT},
        {"left: inner edge is no band", dpLeft, 0, true, 0, 40, ui::HTBORDER},
        {"left: not resizable", dpLeft, 0, false, -1, 40, ui::HTBORDER},
        {"left: split below the first panel", dpLeft, 0, true, 40, -1, HT_TBX_SPLITBOTTOM},
        {"left: no split above the first panel", dpLeft, 0, true, 40, 0, ui::HTBORDER},
        {"left: split above the second panel", dpLeft, 1, true, 40, 1, HT_TBX_SPLITTOP},
        {"left: no split below the last panel", dpLeft, 1, true, 40, -1, ui::HTBORDER},
        {"left: caption", dpLeft, 0, true, 20, 2 + c / 2, HT_TB_DRAGAREA},
        {"left: close button", dpLeft, 0, true, -6, 2 + c / 2, HT_TB_CLOSEBUTTON},
        {"left: close zone left of the button", dpLeft, 0, true, -2 - c - 3, 2 + c / 2, HT_TB_CLOSEBUTTON},
        {"left: caption left of the close zone", dpLeft, 0, true, -2 - c - 5, 2 + c / 2, HT_TB_DRAGAREA},
        {"left: client", dpLeft, 0, true, 40, 2 + c + 10, ui::HTCLIENT},
        // A right dock sizes by its left edge.
        {"right: outer edge", dpRight, 0, true, 0, 40, ui::HTLEFT},
        {"right: inner edge is no band", dpRight, 0, true, -1, 40, ui::HTBORDER},
        {"right: split below the first panel", dpRight, 0, true, 40, -2, HT_TBX_SPLITBOTTOM},
        // A top dock sizes by its bottom edge; the panels stack from left to right, the caption down the left.
        {"top: outer edge", dpTop, 0, true, 40, -1, ui::HTBOTTOM},
        {"top: split right of the first panel", dpTop, 0, true, -1, 40, HT_TBX_SPLITRIGHT},
        {"top: no split left of the first panel", dpTop, 0, true, 0, 40, ui::HTBORDER},
        {"top: split left of the second panel", dpTop, 1, true, 0, 40, HT_TBX_SPLITLEFT},
        {"top: no split right of the last panel", dpTop, 1, true, -1, 40, ui::HTBORDER},
        {"top: vertical caption", dpTop, 0, true, 2 + c / 2, 20, HT_TB_DRAGAREA},
        {"top: close button at the bottom of the caption", dpTop, 0, true, 2 + c / 2, -6, HT_TB_CLOSEBUTTON},
        // A bottom dock sizes by its top edge.
        {"bottom: outer edge", dpBottom, 1, true, 40, 0, ui::HTTOP},
        {"bottom: inner edge is no band", dpBottom, 1, true, 40, -1, ui::HTBORDER},
    };
    for (const HitRow& row : rows) {
        SCOPED_TRACE(row.Name);
        TTBXMultiDock* dock = AddMultiDock(row.Side, "Dock");
        TTBXDockablePanel* panels[] = {AddPanel(nullptr, "First"), AddPanel(nullptr, "Second")};
        for (int i = 0; i < 2; ++i) {
            panels[i]->SetDockPos(i * 100);
            panels[i]->SetResizable(row.Resizable);
            panels[i]->SetParent(dock);
        }
        Pump();
        TTBXDockablePanel* panel = panels[row.Panel];
        const int x = row.X < 0 ? panel->GetWidth() + row.X : row.X;
        const int y = row.Y < 0 ? panel->GetHeight() + row.Y : row.Y;
        EXPECT_EQ(HitAt(panel, x, y), row.Expected);
        delete panels[0];
        delete panels[1];
        delete dock;
    }
}

TEST_F(DockablePanelTest, OffersNoSplitInAStandardDockAndNoCaptionCodesWithoutACaption)
{
    TTBXDock* left = AddDock(dpLeft, "Left");
    TTBXDockablePanel* panel = AddPanel(left, "Panel");
    EXPECT_EQ(HitAt(panel, 40, panel->GetHeight() - 1), ui::HTBORDER);
    panel->SetShowCaptionWhenDocked(false);
    Pump();
    EXPECT_EQ(HitAt(panel, panel->GetWidth() - 6, 3), ui::HTCLIENT);
    EXPECT_EQ(HitAt(panel, 40, 1), ui::HTBORDER);
}

TEST_F(DockablePanelTest, ShowsSizingCursorsOverSplitEdgesAndTheArrowOverItsCaption)
{
    TTBXMultiDock* left = AddMultiDock(dpLeft, "Left");
    TTBXDockablePanel* first = AddPanel(left, "First");
    AddPanel(left, "Second")->SetDockPos(200);
    Pump();
    const auto cursorAt = [&](ui::LRESULT hit) {
        ui::SetCursor(nullptr);
        ui::SendMessage(first->GetHandle(), ui::WM_SETCURSOR, reinterpret_cast<ui::WPARAM>(first->GetHandle()),
                        ui::MAKELPARAM(static_cast<ui::WORD>(hit), ui::WM_MOUSEMOVE));
        return ui::GetCursor();
    };
    EXPECT_EQ(cursorAt(HT_TBX_SPLITBOTTOM), ui::LoadCursor(nullptr, ui::IDC_SIZENS));
    EXPECT_EQ(cursorAt(HT_TBX_SPLITRIGHT), ui::LoadCursor(nullptr, ui::IDC_SIZEWE));
    EXPECT_EQ(cursorAt(HT_TB_DRAGAREA), ui::LoadCursor(nullptr, ui::IDC_ARROW));
}

// ---- View type, colour and theme changes ------------------------------------------------------------------

TEST_F(DockablePanelTest, AnswersItsViewTypeDockedAndFloating)
{
    TTBXDock* left = AddDock(dpLeft, "Left");
    TTBXDockablePanel* panel = AddPanel(left, "Panel");
    EXPECT_EQ(GetWinViewType(panel), 0x4401);
    panel->SetResizable(false);
    EXPECT_EQ(GetWinViewType(panel), 0x4001);
    panel->SetFloating(true);
    EXPECT_EQ(GetWinViewType(panel), 0x4801);
    panel->SetResizable(true);
    EXPECT_EQ(GetWinViewType(panel), 0x4C01);
}

TEST_F(DockablePanelTest, ShowsTheThemesPanelColourUnlessItHasAColourAndHandsItToItsChildren)
{
    TTBXDock* left = AddDock(dpLeft, "Left");
    TTBXDockablePanel* panel = AddPanel(left, "Panel");
    const TColor themed = Theme().GetViewColor(0x4401);
    EXPECT_EQ(themed, WeightedColor(dynamic_cast<TTBXDefaultTheme&>(Theme()).GetToolbarColor(), clWindow, 64));
    EXPECT_EQ(GetEffectiveColor(panel), themed);

    auto* child = new TPanel(Form);
    child->SetParentColor(true);
    child->SetParent(panel);
    EXPECT_EQ(child->GetColor(), themed);  // not the panel's clNone

    panel->SetColor(clRed);
    EXPECT_EQ(GetEffectiveColor(panel), clRed);
    EXPECT_EQ(child->GetColor(), clRed);
    panel->SetColor(clNone);
    EXPECT_EQ(child->GetColor(), themed);

    // What the client shows.
    Canvas image(panel->GetClientWidth(), panel->GetClientHeight());
    ui::SendMessage(panel->GetHandle(), ui::WM_ERASEBKGND, reinterpret_cast<ui::WPARAM>(image.Dc()), 0);
    EXPECT_EQ(image.At(1, 1), ResolveColor(themed));
}

TEST_F(DockablePanelTest, KeepsItsClientSizeWhenAThemeChangeReframesIt)
{
    // Docked: a taller caption strip is taken from the dock's length, the client keeps its width.
    TTBXMultiDock* left = AddMultiDock(dpLeft, "Left");
    TTBXDockablePanel* docked = AddPanel(left, "Docked");
    const int clientWidth = docked->GetClientWidth();
    const int c = ui::GetSystemMetrics(ui::SM_CYSMCAPTION);
    Table().Metrics[ui::SM_CYSMCAPTION] = c + 6;
    GetNexus()->Broadcast(WM_TBX_THEMECHANGED, 1, 0);
    GetNexus()->Broadcast(WM_TBX_THEMECHANGED, 3, 0);
    Pump();
    EXPECT_EQ(ui::GetClientInset(docked->GetHandle()).top, 2 + c + 6);
    EXPECT_EQ(docked->GetClientWidth(), clientWidth);
    EXPECT_EQ(docked->GetClientHeight(), docked->GetHeight() - 4 - c - 6);

    // Floating: the frame is framed again in its own size, so a wider theme border narrows what it holds.
    TTBXDockablePanel* floating = AddPanel(nullptr, "Floating");
    floating->SetFloating(true);
    Pump();
    auto* frame = dynamic_cast<TTBXFloatingWindowParent*>(floating->GetParent());
    ASSERT_NE(frame, nullptr);
    const TSize client{frame->GetClientWidth(), frame->GetClientHeight()};
    const TSize outer{frame->GetWidth(), frame->GetHeight()};
    const TPoint border = Theme().GetViewBorder(0x4C01);
    Recorder().FloatingBorder = TPoint{border.x + 3, border.y + 3};
    GetNexus()->Broadcast(WM_TBX_THEMECHANGED, 1, 0);
    GetNexus()->Broadcast(WM_TBX_THEMECHANGED, 3, 0);
    Pump();
    EXPECT_EQ((TSize{frame->GetWidth(), frame->GetHeight()}), outer);
    EXPECT_EQ(frame->GetClientWidth(), client.cx - 6);
    EXPECT_EQ(frame->GetClientHeight(), client.cy - 6);
}

}  // namespace
}  // namespace ovrel::themes::testing
