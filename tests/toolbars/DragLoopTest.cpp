// The drag and resize loops driven by scripted input: the press, the moves and the release (or Escape) are
// queued before the press starts the loop, exactly as the user's input would arrive.
#include "toolbars/DockableWindow.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "toolbars/DockWindowsTestSupport.h"
#include "toolbars/ToolbarsTestSupport.h"
#include "toolkit/ExtCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;
using testing::DockFormFixture;
using testing::TTestWindow;

class DragLoopTest : public DockFormFixture {
protected:
    /// The press point on a docked window's drag handle.
    static TPoint Handle(TTestWindow* window) { return OnWindow(window, 4, 10); }
    static TPoint Offset(TPoint p, int dx, int dy) { return TPoint{p.x + dx, p.y + dy}; }
    static bool IsCursor(int id) { return ui::GetCursor() == ui::LoadCursor(nullptr, id); }
    void ExpectLoopCleanedUp(TTestWindow* window)
    {
        EXPECT_EQ(ui::GetCapture(), nullptr);
        EXPECT_FALSE(window->GetSmoothDragging());
        for (TTBDock* dock : {Top, Bottom, Left, Right}) {
            EXPECT_EQ(dock->GetDragWindow(), nullptr);
            EXPECT_FALSE(dock->GetDragSplitRequested());
            EXPECT_EQ(dock->SelfCheck(), "");
        }
    }
};

TEST_F(DragLoopTest, EscapeLeavesASmoothDragWhereItsLastMovePutTheWindow)
{
    TTestWindow* a = AddWindow(Top, "A");
    TTestWindow* b = AddWindow(Top, "B", {60, 22}, 0, 300);
    const TPoint press = Handle(a);
    PostDrag(press, {Offset(press, 50, 0), Offset(press, 100, 0)}, false);
    Pump();
    EXPECT_EQ(a->GetCurrentDock(), Top);
    EXPECT_EQ(a->GetLeft(), 100);
    EXPECT_EQ(b->GetLeft(), 300);
    ExpectLoopCleanedUp(a);
}

TEST_F(DragLoopTest, WithoutSmoothDragOnlyTheReleaseMovesTheWindow)
{
    TTestWindow* a = AddWindow(Top, "A");
    a->SetSmoothDrag(false);
    const TPoint press = Handle(a);
    PostDrag(press, {Offset(press, 50, 0), Offset(press, 100, 0)}, false);
    Pump();
    EXPECT_EQ(a->GetLeft(), 0);
    EXPECT_EQ(a->GetDockPos(), 0);
    ExpectLoopCleanedUp(a);

    PostDrag(press, {Offset(press, 50, 0), Offset(press, 100, 0)});
    Pump();
    EXPECT_EQ(a->GetLeft(), 100);
    EXPECT_EQ(a->GetDockPos(), 100);
    ExpectLoopCleanedUp(a);
}

// What the desktop outline showed each time it changed, with where the dragged window was meanwhile.
class OutlineWatch final : public ui::IOutlineOverlay {
public:
    explicit OutlineWatch(TControl* window) : FWindow(window) {}
    void Show(const std::vector<ui::RECT>& rects) override
    {
        TRect bounds{};
        int area = 0;
        for (const ui::RECT& r : rects) {
            ui::UnionRect(&bounds, &bounds, &r);
            area += (r.right - r.left) * (r.bottom - r.top);
        }
        Bounds.push_back(bounds);
        Areas.push_back(area);
        WindowLeft.push_back(FWindow->GetLeft());
    }
    std::vector<TRect> Bounds;  // empty when the overlay was hidden
    std::vector<int> Areas;
    std::vector<int> WindowLeft;

private:
    TControl* FWindow;
};

int FrameArea(const TRect& r, int thickness)
{
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    return w * h - (w - 2 * thickness) * (h - 2 * thickness);
}

TEST_F(DragLoopTest, WithoutSmoothDragAnOutlineFollowsThePointerUntilTheDrop)
{
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Release");
        TTestWindow* a = AddWindow(Top, "A");
        a->SetSmoothDrag(false);
        OutlineWatch watch(a);
        ui::ScopedService<ui::IOutlineOverlay> overlay(ui::SetOutlineOverlay, watch);
        TRect start{};
        ui::GetWindowRect(a->GetHandle(), &start);
        const TPoint press = Handle(a);
        PostDrag(press, {Offset(press, 50, 0), Offset(press, 100, 0)}, !escape);
        Pump();

        ASSERT_GE(watch.Bounds.size(), 3u);
        // Each move showed the window's rectangle where the drop would put it, as a frame one pixel thick
        // inside a dock, while the window itself stayed.
        for (const int dx : {50, 100}) {
            TRect expected = start;
            ui::OffsetRect(&expected, dx, 0);
            const auto it = std::find(watch.Bounds.begin(), watch.Bounds.end(), expected);
            ASSERT_NE(it, watch.Bounds.end()) << dx;
            EXPECT_EQ(watch.Areas[it - watch.Bounds.begin()], FrameArea(expected, 1));
        }
        EXPECT_EQ(std::count(watch.WindowLeft.begin(), watch.WindowLeft.end(), 0),
                  static_cast<std::ptrdiff_t>(watch.WindowLeft.size()));
        // The loop's end erased it and let go of the desktop.
        EXPECT_TRUE(ui::IsRectEmpty(&watch.Bounds.back()));
        EXPECT_NE(ui::LockWindowUpdate(Form->GetHandle()), ui::FALSE);
        ui::LockWindowUpdate(nullptr);
        EXPECT_EQ(a->GetLeft(), escape ? 0 : 100);
        ExpectLoopCleanedUp(a);
        delete a;
    }
}

struct CtrlScript {
    const char* Name;
    bool CtrlAtPress;
    bool CtrlDownDuring;
    bool CtrlUpBeforeRelease;
    bool Floats;
};

class DragWithCtrl : public DragLoopTest, public ::testing::WithParamInterface<CtrlScript> {};

TEST_P(DragWithCtrl, CtrlKeepsTheWindowOutOfEveryDock)
{
    const CtrlScript& script = GetParam();
    TTestWindow* a = AddWindow(Top, "A");
    TTestWindow* b = AddWindow(Top, "B", {60, 22}, 0, 10);
    ASSERT_EQ(b->GetLeft(), 70);
    const TPoint press = Handle(b);
    const ui::UINT atPress = script.CtrlAtPress ? ui::MOD_CONTROL : 0;
    PostMouse(ui::WM_LBUTTONDOWN, press, atPress);
    PostMouse(ui::WM_MOUSEMOVE, Offset(press, 40, 3), atPress);
    if (script.CtrlDownDuring)
        ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_CONTROL, {}, ui::MOD_CONTROL);
    if (script.CtrlUpBeforeRelease)
        ui::PostKeyInput(ui::WM_KEYUP, ui::VK_CONTROL);
    PostMouse(ui::WM_LBUTTONUP, Offset(press, 40, 3), atPress);
    Pump();
    EXPECT_EQ(b->GetFloating(), script.Floats);
    if (script.Floats) {
        // Its requested place in the dock is the one it had before the drag, for when it comes back.
        EXPECT_EQ(b->GetDockPos(), 10);
        EXPECT_EQ(b->GetDockRow(), 0);
        TRect frame{};
        ui::GetWindowRect(b->GetFloatParent()->GetHandle(), &frame);
        const TPoint cursor = Offset(press, 40, 3);
        EXPECT_NE(ui::PtInRect(&frame, cursor), ui::FALSE);
    } else {
        EXPECT_EQ(b->GetCurrentDock(), Top);
        EXPECT_EQ(b->GetLeft(), 110);
    }
    EXPECT_EQ(a->GetLeft(), 0);
    ExpectLoopCleanedUp(b);
}

INSTANTIATE_TEST_SUITE_P(Scripts, DragWithCtrl,
                         ::testing::Values(CtrlScript{"HeldAtThePress", true, false, false, true},
                                           CtrlScript{"PressedDuringTheDrag", false, true, false, true},
                                           CtrlScript{"ReleasedBeforeTheDrop", false, true, true, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DragLoopTest, ALiveDragThroughDocksAndFloatingKeepsTheWindowAndItsChildren)
{
    TTestWindow* a = AddWindow(Top, "A");
    auto* inner = new TPanel(a);
    inner->SetParent(a);
    inner->SetBounds(2, 2, 20, 10);
    Pump();
    const ui::HWND handle = a->GetHandle();
    const ui::HWND innerHandle = inner->GetHandle();
    const TPoint press = Handle(a);
    const TPoint floating = OnWindow(Form, 320, 240);
    const TPoint overLeft = OnWindow(Left, 0, 100);
    const TPoint overBottom{OnWindow(Bottom, 100, 0).x, OnWindow(Bottom, 0, 0).y};
    const TPoint alongBottom = Offset(overBottom, 30, 0);
    // Every move after a parent change still reaches the loop, so the mouse stayed with the window.
    PostDrag(press, {floating, overLeft, overBottom, alongBottom});
    Pump();
    EXPECT_EQ(a->GetCurrentDock(), Bottom);
    EXPECT_EQ(a->GetHandle(), handle);
    EXPECT_EQ(inner->GetHandle(), innerHandle);
    EXPECT_EQ(ui::GetParent(innerHandle), handle);
    EXPECT_EQ(ui::GetParent(handle), Bottom->GetHandle());
    TRect placed{};
    ui::GetWindowRect(handle, &placed);
    EXPECT_EQ(placed.left, alongBottom.x - 4);
    EXPECT_TRUE(ui::IsWindowVisible(innerHandle));
    ExpectLoopCleanedUp(a);
}

TEST_F(DragLoopTest, AWindowThatCannotFloatShowsNoAndStaysWhenDroppedNowhere)
{
    TTestWindow* a = AddWindow(Top, "A", {60, 22}, 0, 40);
    a->SetDockMode(dmCannotFloat);
    const TPoint press = Handle(a);
    const TPoint nowhere = OnWindow(Form, 320, 240);
    PostDrag(press, {nowhere});
    Pump();
    EXPECT_TRUE(IsCursor(ui::IDC_NO));
    EXPECT_FALSE(a->GetFloating());
    EXPECT_EQ(a->GetCurrentDock(), Top);
    EXPECT_EQ(a->GetLeft(), 40);
    EXPECT_EQ(a->GetFloatParent(), nullptr);
    ExpectLoopCleanedUp(a);
}

struct RowScript {
    const char* Name;
    bool FirstRowFullSize;
    int CursorY;  // relative to the dock's top; the press is 10 pixels into the dragged window
    int RowOfDragged;
    int RowOfOther;
};

class DropOntoARow : public DragLoopTest, public ::testing::WithParamInterface<RowScript> {};

TEST_P(DropOntoARow, TheMiddleHalfJoinsTheRowAndItsEdgesStartANewOne)
{
    const RowScript& script = GetParam();
    TTestWindow* a = AddWindow(Top, "A", {60, 22}, 0, 0);
    a->SetFullSize(script.FirstRowFullSize);
    TTestWindow* c = AddWindow(Top, "C", {60, 22}, 1, 0);
    ASSERT_EQ(c->GetTop(), 26);
    const TPoint press = Handle(c);
    const TPoint drop{press.x + 300, OnWindow(Top, 0, 0).y + script.CursorY};
    PostDrag(press, {Offset(press, 300, 0), drop});
    Pump();
    EXPECT_EQ(c->GetEffectiveRow(), script.RowOfDragged);
    EXPECT_EQ(a->GetEffectiveRow(), script.RowOfOther);
    EXPECT_EQ(c->GetDockRow(), script.RowOfDragged);
    EXPECT_EQ(Top->GetHeight(), script.RowOfDragged == script.RowOfOther ? 26 : 52);
    EXPECT_FALSE(c->GetStartsNewRow());
    ExpectLoopCleanedUp(c);
}

// Rows are 26 pixels: the outline's centre is 3 pixels below the cursor.
INSTANTIATE_TEST_SUITE_P(Scripts, DropOntoARow,
                         ::testing::Values(RowScript{"MiddleHalfJoins", false, 10, 0, 0},
                                           RowScript{"UpperQuarterStartsARowAbove", false, 0, 0, 1},
                                           RowScript{"FullSizeRowIsNeverJoined", true, 10, 1, 0},
                                           RowScript{"FullSizeRowsUpperHalfStartsARowAbove", true, 5, 0, 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

class SplitDrag : public DragLoopTest {
protected:
    // Two chevron windows that overflow their row, the second one dragged.
    void SetUp() override
    {
        DragLoopTest::SetUp();
        A = AddWindow(Top, "A", {400, 22}, 0, 0);
        B = AddWindow(Top, "B", {400, 22}, 0, 410);
        for (TTestWindow* w : {A, B}) {
            w->Shrink = tbsmChevron;
            w->Minimum = 40;
        }
        Top->ArrangeDockedWindows();
        ASSERT_EQ(B->GetEffectiveRow(), 0);
        ASSERT_LT(B->GetWidth(), 410);
        Top->OnRequestDock = TTBRequestDockEvent(this, &SplitDrag::Asked);
    }
    void Asked(TObject*, TTBCustomDockableWindow*, bool&) { ++Asks; }

    TTestWindow* A = nullptr;
    TTestWindow* B = nullptr;
    int Asks = 0;
};

TEST_F(SplitDrag, MovingMoreThanNinePixelsAlongTheStartingRowSwitchesToSplitMode)
{
    const TPoint press = Handle(B);
    // Each evaluation outside split mode asks the dock; in split mode the dock is the target without asking.
    PostDrag(press, {Offset(press, 5, 0), Offset(press, 9, 0), Offset(press, 12, 0), Offset(press, 20, 0),
                     Offset(press, 30, 0)});
    Pump();
    EXPECT_EQ(Asks, 4);
    EXPECT_TRUE(IsCursor(ui::IDC_SIZEWE));
    ExpectLoopCleanedUp(B);
}

TEST_F(SplitDrag, InSplitModeTheDraggedWindowKeepsItsPlaceInTheRow)
{
    const TPoint press = Handle(B);
    PostDrag(press, {Offset(press, 12, 0), Offset(press, -600, 0)});
    Pump();
    // Pushed against A, which gives way behind its chevron; outside split mode B would have passed A.
    EXPECT_EQ(B->GetEffectiveRow(), 0);
    EXPECT_EQ(A->GetLeft(), 0);
    EXPECT_LT(A->GetWidth(), 410);
    EXPECT_EQ(B->GetLeft(), A->GetWidth());
    // The drop commits the place, so the next arrangement keeps it.
    EXPECT_EQ(B->GetDockPos(), B->GetLeft());
    Top->ArrangeDockedWindows();
    EXPECT_EQ(B->GetLeft(), A->GetWidth());
    ExpectLoopCleanedUp(B);
}

TEST_F(DragLoopTest, AFailureInsideTheLoopStillCleansUp)
{
    struct Refuser {
        void Request(TObject*, TTBCustomDockableWindow*, bool&) { throw std::runtime_error("refused"); }
    } refuser;
    testing::ApplicationExceptions exceptions;
    TTestWindow* a = AddWindow(Top, "A", {60, 22}, 0, 25);
    Left->OnRequestDock = TTBRequestDockEvent(&refuser, &Refuser::Request);
    const TPoint press = Handle(a);
    const TPoint away = OnWindow(Form, 320, 240);
    const TPoint overLeft = OnWindow(Left, 0, 100);
    PostDrag(press, {away, overLeft});
    Pump();
    EXPECT_EQ(exceptions.Messages, (std::vector<std::string>{"refused"}));
    EXPECT_TRUE(a->GetFloating());
    EXPECT_EQ(a->GetDockPos(), 25);
    EXPECT_EQ(a->GetDockRow(), 0);
    ExpectLoopCleanedUp(a);
    Left->OnRequestDock.Clear();
}

TEST_F(DragLoopTest, DraggingAFloatingWindowByItsCaptionDocksItAndFreesTheFrame)
{
    auto* a = new TTestWindow(Form);
    a->SetParent(Top);
    a->MoveFloatingTo(TPoint{300, 200});
    a->SetFloating(true);
    Pump();
    const int border = ui::GetSystemMetrics(ui::SM_CXFRAME);
    const TPoint press = OnWindow(a->GetFloatParent(), border + 3, border + 3);
    const TPoint overBottom{OnWindow(Bottom, 200, 0).x, OnWindow(Bottom, 0, 0).y};
    PostDrag(press, {Offset(press, 20, 20), overBottom});
    Pump();
    EXPECT_EQ(a->GetCurrentDock(), Bottom);
    EXPECT_EQ(a->GetFloatParent(), nullptr);
    EXPECT_EQ(a->GetLastDock(), Bottom);
    EXPECT_EQ(Bottom->GetHeight(), 26);
    EXPECT_EQ(Top->GetWindowCount(), 0);
    ExpectLoopCleanedUp(a);
}

struct ResizeScript {
    const char* Name;
    bool Smooth;
    bool Escape;
    bool FromCorner;  // the top-left corner, else the left edge
};

class ResizeLoop : public DragLoopTest, public ::testing::WithParamInterface<ResizeScript> {};

TEST_P(ResizeLoop, BelowTheMinimumTheOppositeEdgeStays)
{
    const ResizeScript& script = GetParam();
    auto* a = new TTestWindow(Form);
    a->Natural = TSize{120, 60};
    a->Limits.MinWidth = 50;
    a->Limits.MinHeight = 30;
    a->SetSmoothDrag(script.Smooth);
    a->SetParent(Top);
    a->MoveFloatingTo(TPoint{300, 200});
    a->SetFloating(true);
    Pump();
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    const TRect before = frame->GetBoundsRect();
    const TPoint press = script.FromCorner ? OnWindow(frame, 0, 0) : OnWindow(frame, 0, frame->GetHeight() / 2);
    a->Log.clear();
    PostDrag(press, {Offset(press, 100, script.FromCorner ? 100 : 0), Offset(press, 200, script.FromCorner ? 200 : 0)},
             !script.Escape);
    Pump();

    const TRect after = frame->GetBoundsRect();
    EXPECT_EQ(ui::GetCapture(), nullptr);
    EXPECT_EQ(a->Log.front(), std::string("ResizeBegin ") + (script.FromCorner ? "3" : "0"));
    EXPECT_EQ(a->Log.back(), "ResizeEnd");
    const bool accepted = std::find(a->Log.begin(), a->Log.end(), "ResizeAccept") != a->Log.end();
    if (script.Escape && !script.Smooth) {
        EXPECT_EQ(after, before);
        EXPECT_FALSE(accepted);
        return;
    }
    EXPECT_TRUE(accepted);
    const int border = ui::GetSystemMetrics(ui::SM_CXFRAME);
    const int caption = ui::GetSystemMetrics(ui::SM_CYSMCAPTION);
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(after.right - after.left, 50 + 2 * border);
    EXPECT_EQ(a->GetWidth(), 50);
    if (script.FromCorner) {
        EXPECT_EQ(after.bottom - after.top, 30 + 2 * border + caption);
        EXPECT_EQ(a->GetHeight(), 30);
    } else {
        EXPECT_EQ(after.top, before.top);
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, ResizeLoop,
                         ::testing::Values(ResizeScript{"LeftEdgeLive", true, false, false},
                                           ResizeScript{"LeftEdgeLiveThenEscape", true, true, false},
                                           ResizeScript{"CornerByOutline", false, false, true},
                                           ResizeScript{"EscapeFromAnOutline", false, true, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace ovrel::toolbars
