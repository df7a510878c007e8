// The scroll view on the offscreen platform with input through the queue and a clock that moves only when
// told: scroll codes to positions and events, the bar's own visibility, and middle-button rolling with its
// mark, cursors, intervals and the ways it ends.

#include "inspector/Resources.h"
#include "inspector/ScrollView.h"

#include "GridTestSupport.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Services.h"
#include "platform/ui/Window.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

// A view whose rows are 10 pixels and columns 3, recording what reaches it.
class RecordingView : public TScrollView {
public:
    using TScrollView::GetRollTimer;
    using TScrollView::TScrollView;

    int GetVertScrollDelta(int oldPos, int newPos) override { return (oldPos - newPos) * 10; }
    int GetHorzScrollDelta(int oldPos, int newPos) override { return (oldPos - newPos) * 3; }
    void ScrollClientBy(int dx, int dy) override
    {
        Moves.push_back({dx, dy});
        TScrollView::ScrollClientBy(dx, dy);
    }

    std::vector<TPoint> Moves;
};

// "V12": the vertical event with position 12.
std::string Entry(char kind, int position)
{
    std::string entry(1, kind);
    entry += std::to_string(position);
    return entry;
}

struct EventLog {
    std::vector<std::string> Entries;
    void Vertical(TObject*, int position) { Entries.push_back(Entry('V', position)); }
    void Horizontal(TObject*, int position) { Entries.push_back(Entry('H', position)); }
};

class ScrollViewTest : public ovrel::inspector::testing::OnForm {
public:
    ScrollViewTest()
    {
        Form->SetBounds(100, 100, 300, 240);
        View->SetParent(Form.get());
        View->SetBounds(10, 10, 200, 200);
        View->OnVerticalScroll = TScrollEvent(&Events, &EventLog::Vertical);
        View->OnHorizontalScroll = TScrollEvent(&Events, &EventLog::Horizontal);
        Form->Show();
        Pump();
        View->GetVertScrollBar()->SetRange(50);
        View->GetVertScrollBar()->SetPosition(25);
        View->Moves.clear();
    }

    void Post(ui::UINT msg, TPoint client) { MouseAt(View, msg, client); }
    [[nodiscard]] bool BarShown() const
    {
        return (ui::GetWindowLong(View->GetHandle(), ui::GWL_STYLE) & ui::WS_VSCROLL) != 0;
    }

    RecordingView* View = new RecordingView(Form.get());
    EventLog Events;
};

TEST_F(ScrollViewTest, ScrollCodesMoveThroughTheBarAndRaiseTheEventEveryTime)
{
    TControlScrollBar* bar = View->GetVertScrollBar();
    bar->SetLineStep(2);
    bar->SetPageStep(5);
    struct Row {
        const char* Name;
        ui::WORD Code;
        int Start;
        int Expected;
    };
    const Row rows[] = {
        {"LineUp", ui::SB_LINEUP, 25, 23},
        {"LineDown", ui::SB_LINEDOWN, 25, 27},
        {"LineDownStopsAtMax", ui::SB_LINEDOWN, 49, 50},
        {"LineUpStopsAtMin", ui::SB_LINEUP, 1, 0},
        {"PageUp", ui::SB_PAGEUP, 25, 20},
        {"PageDown", ui::SB_PAGEDOWN, 25, 30},
        {"Top", ui::SB_TOP, 25, 0},
        {"Bottom", ui::SB_BOTTOM, 25, 50},
        {"ThumbTrack", ui::SB_THUMBTRACK, 25, 17},  // where the window's thumb stands
        {"ThumbPosition", ui::SB_THUMBPOSITION, 25, 17},
        {"EndScroll", ui::SB_ENDSCROLL, 25, 25},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        bar->SetPosition(row.Start);
        ui::SCROLLINFO thumb;
        thumb.fMask = ui::SIF_POS;
        thumb.nPos = 17;
        ui::SetScrollInfo(View->GetHandle(), ui::SB_VERT, &thumb, ui::TRUE);
        View->Moves.clear();
        Events.Entries.clear();
        ui::SendMessage(View->GetHandle(), ui::WM_VSCROLL, ui::MAKEWPARAM(row.Code, 0), 0);
        EXPECT_EQ(bar->GetPosition(), row.Expected);
        EXPECT_EQ(Events.Entries, std::vector<std::string>{Entry('V', row.Expected)});
        if (row.Code == ui::SB_ENDSCROLL) {
            EXPECT_TRUE(View->Moves.empty());
            continue;
        }
        ASSERT_EQ(View->Moves.size(), 1u);
        EXPECT_EQ(View->Moves[0], (TPoint{0, (row.Start - row.Expected) * 10}));
        ui::SCROLLINFO window;  // the bar hands the new position to the window
        window.fMask = ui::SIF_POS;
        ui::GetScrollInfo(View->GetHandle(), ui::SB_VERT, &window);
        EXPECT_EQ(window.nPos, row.Expected);
    }

    // The horizontal bar by the same rules, with its own delta and event.
    TControlScrollBar* horz = View->GetHorzScrollBar();
    horz->SetRange(10);
    horz->SetPosition(4);
    View->Moves.clear();
    Events.Entries.clear();
    ui::SendMessage(View->GetHandle(), ui::WM_HSCROLL, ui::MAKEWPARAM(ui::SB_LINEDOWN, 0), 0);
    EXPECT_EQ(horz->GetPosition(), 5);
    EXPECT_EQ(Events.Entries, std::vector<std::string>{"H5"});
    EXPECT_EQ(View->Moves, (std::vector<TPoint>{TPoint{-3, 0}}));
    EXPECT_EQ(bar->GetPosition(), 25);
}

TEST_F(ScrollViewTest, AScrollMessageLeavesTheBarAsItsOwnVisibleSays)
{
    TControlScrollBar* bar = View->GetVertScrollBar();
    EXPECT_TRUE(BarShown());
    bar->SetVisible(false);
    EXPECT_FALSE(BarShown());
    bar->SetRange(60);  // the window shows a bar with a range by itself
    ui::SendMessage(View->GetHandle(), ui::WM_VSCROLL, ui::MAKEWPARAM(ui::SB_LINEDOWN, 0), 0);
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(bar->GetPosition(), 26);
    bar->SetVisible(true);
    ui::SendMessage(View->GetHandle(), ui::WM_VSCROLL, ui::MAKEWPARAM(ui::SB_LINEUP, 0), 0);
    EXPECT_TRUE(BarShown());
}

TEST_F(ScrollViewTest, AMiddlePressShowsTheMarkAtThePressAndTakesTheMouse)
{
    Post(ui::WM_MBUTTONDOWN, TPoint{50, 40});
    ASSERT_TRUE(View->GetRolling());
    TRollShadow* mark = View->GetRollShadow();
    const TPoint press = View->ClientToScreen(TPoint{50, 40});
    EXPECT_TRUE(mark->GetVisible());
    EXPECT_EQ(mark->GetShownAt(), press);
    ui::RECT bounds;
    ui::GetWindowRect(mark->GetHandle(), &bounds);
    EXPECT_EQ(bounds, (ui::RECT{press.x - 7, press.y - 11, press.x + 25, press.y + 21}));
    // Shaped as the mark: the dot is part of the window, the square's far corner is not.
    EXPECT_EQ(ui::WindowFromPoint(ui::POINT{bounds.left + 7, bounds.top + 11}), mark->GetHandle());
    EXPECT_NE(ui::WindowFromPoint(ui::POINT{bounds.left + 31, bounds.top + 31}), mark->GetHandle());
    EXPECT_EQ(mark->GetCursor(), crRoll);
    EXPECT_EQ(ui::GetCapture(), View->GetHandle());
    // The view asks for 1 ms; the platform gives no less than 10.
    EXPECT_EQ(View->GetRollTimer()->GetInterval(), 1u);
    ASSERT_FALSE(Timers.Changes().empty());
    EXPECT_EQ(Timers.Changes().back().Interval, 10u);
    // A mark that does not activate: the form stays the active window.
    EXPECT_EQ(ui::GetActiveWindow(), Form->GetHandle());
}

TEST_F(ScrollViewTest, ThePointerDistanceChoosesCursorDirectionAndInterval)
{
    struct Row {
        const char* Name;
        int Dy;
        TCursor Cursor;
        int Step;  // rows per tick
        unsigned Interval;  // asked for
    };
    const Row rows[] = {
        {"AtTheOrigin", 0, crRoll, 0, 100}, {"FiveAbove", -5, crRoll, 0, 95},
        {"SixAbove", -6, crRollUp, -1, 94}, {"SixBelow", 6, crRollDown, 1, 94},
        {"FarBelow", 95, crRollDown, 1, 5}, {"BeyondAHundred", 120, crRollDown, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        View->GetVertScrollBar()->SetPosition(25);
        Post(ui::WM_MBUTTONDOWN, TPoint{50, 60});
        Post(ui::WM_MOUSEMOVE, TPoint{50, 60 + row.Dy});
        EXPECT_EQ(Screen()->GetCursor(), row.Cursor);
        EXPECT_EQ(View->GetRollShadow()->GetCursor(), row.Cursor);
        Wait(10);  // the first tick
        EXPECT_EQ(View->GetRollTimer()->GetInterval(), row.Interval);
        EXPECT_EQ(Timers.Changes().back().Interval, std::max(10u, row.Interval));
        EXPECT_EQ(View->GetVertScrollBar()->GetPosition(), 25 + row.Step);
        Wait(static_cast<int>(std::max(10u, row.Interval)));  // and the next
        EXPECT_EQ(View->GetVertScrollBar()->GetPosition(), 25 + 2 * row.Step);
        Post(ui::WM_MBUTTONUP, TPoint{50, 60 + row.Dy});
        EXPECT_FALSE(View->GetRolling());
    }
}

TEST_F(ScrollViewTest, RollingEndsOnReleaseCaptureLossCancelModeAndDeactivation)
{
    struct Row {
        const char* Name;
        void (*End)(ScrollViewTest&);
    };
    const Row rows[] = {
        {"LeftRelease",
         [](ScrollViewTest& t) {
             t.Post(ui::WM_LBUTTONDOWN, TPoint{50, 90});
             t.Post(ui::WM_LBUTTONUP, TPoint{50, 90});
         }},
        {"MiddleRelease",
         [](ScrollViewTest& t) {
             t.Post(ui::WM_MBUTTONUP, TPoint{50, 90});
         }},
        {"AnotherWindowTakesTheMouse", [](ScrollViewTest& t) { ui::SetCapture(t.Form->GetHandle()); }},
        {"CancelMode", [](ScrollViewTest& t) { ui::SendMessage(t.View->GetHandle(), ui::WM_CANCELMODE, 0, 0); }},
        {"Deactivation",
         [](ScrollViewTest& t) {
             ui::SetApplicationActive(false);
             t.Pump();
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ui::SetApplicationActive(true);
        ui::ReleaseCapture();
        View->GetVertScrollBar()->SetPosition(25);
        Post(ui::WM_MBUTTONDOWN, TPoint{50, 60});
        Post(ui::WM_MOUSEMOVE, TPoint{50, 90});
        ASSERT_TRUE(View->GetRolling());
        row.End(*this);
        EXPECT_FALSE(View->GetRolling());
        EXPECT_FALSE(View->GetRollShadow()->GetVisible());
        EXPECT_FALSE(View->GetRollTimer()->GetEnabled());
        EXPECT_EQ(Screen()->GetCursor(), crDefault);
        EXPECT_NE(ui::GetCapture(), View->GetHandle());
        Wait(200);
        EXPECT_EQ(View->GetVertScrollBar()->GetPosition(), 25);
    }
    ui::SetApplicationActive(true);
}

TEST_F(ScrollViewTest, OrdinaryClicksLeaveABusyCursorAndMiddleClicksRollOnlyWhenAllowed)
{
    Screen()->SetCursor(crHourGlass);
    Post(ui::WM_LBUTTONDOWN, TPoint{50, 60});
    Post(ui::WM_LBUTTONUP, TPoint{50, 60});
    EXPECT_EQ(Screen()->GetCursor(), crHourGlass);

    View->SetAutoScroll(false);
    Post(ui::WM_MBUTTONDOWN, TPoint{50, 60});
    EXPECT_FALSE(View->GetRolling());
    EXPECT_FALSE(View->GetRollShadow()->HandleAllocated());
    Post(ui::WM_MBUTTONUP, TPoint{50, 60});
    EXPECT_EQ(Screen()->GetCursor(), crHourGlass);
}

TEST(RollMark, IsShapedAsTwoArrowsAndADot)
{
    ui::HRGN region = RollMarkRegion();
    struct Row {
        const char* Name;
        int X;
        int Y;
        bool Inside;
    };
    const Row rows[] = {
        {"UpArrowTip", 7, 1, true},          {"UpArrowMiddle", 5, 5, true},   {"Dot", 7, 11, true},
        {"DownArrowTip", 6, 20, true},       {"DownArrowBase", 10, 16, true}, {"BetweenArrowAndDot", 1, 9, false},
        {"RightOfTheArrows", 16, 10, false}, {"BelowTheMark", 6, 24, false},  {"FarCorner", 31, 31, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(ui::PtInRegion(region, row.X, row.Y) != ui::FALSE, row.Inside);
    }
    ui::DeleteObject(region);
}

}  // namespace
