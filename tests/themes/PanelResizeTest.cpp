// The loops of docked panels with scripted input: dragging the outer edge of a panel (live or by a line, with
// its limits, the room the form keeps and the answers of OnDockedResizing) and dragging the split between two
// panels of a multi-dock.
#include "DockPanelsTestSupport.h"

#include "platform/ui/Messages.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ovrel::themes::testing {
namespace {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;

/// Logs what OnDockedResizing hears, with the panel's and its dock's width at that moment; can refuse a stage.
struct ResizeLog {
    struct Entry {
        TTBXResizingStage Stage;
        int NewSize;
        int Width;
        int DockWidth;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    void Handler(TObject*, bool, int& newSize, TTBXResizingStage stage, bool& allow)
    {
        Entries.push_back({stage, newSize, Panel->GetWidth(), Panel->GetParent()->GetWidth()});
        if (Refuse && *Refuse == stage)
            allow = false;
        if (During && stage == rsResizing)
            During();
    }
    void Attach(TTBXDockablePanel* panel)
    {
        Panel = panel;
        panel->OnDockedResizing = TTBXDockedResizing(this, &ResizeLog::Handler);
    }
    [[nodiscard]] std::vector<int> Sizes(TTBXResizingStage stage) const
    {
        std::vector<int> sizes;
        for (const Entry& e : Entries)
            if (e.Stage == stage)
                sizes.push_back(e.NewSize);
        return sizes;
    }

    TTBXDockablePanel* Panel = nullptr;
    std::optional<TTBXResizingStage> Refuse;
    std::function<void()> During;
    std::vector<Entry> Entries;
};

inline void PrintTo(const ResizeLog::Entry& e, std::ostream* os)
{
    *os << "{stage " << int(e.Stage) << ", size " << e.NewSize << ", width " << e.Width << ", dock " << e.DockWidth
        << '}';
}

/// A left multi-dock with one panel 196 wide, a right multi-dock with one 128 wide, and the client between.
class PanelResizeTest : public PanelFormTest {
protected:
    void SetUp() override
    {
        PanelFormTest::SetUp();
        Left = AddMultiDock(dpLeft, "Left");
        Right = AddMultiDock(dpRight, "Right");
        Folders = AddPanel(nullptr, "Folders");
        Folders->SetDockedWidth(196);
        Folders->SetParent(Left);
        Properties = AddPanel(Right, "Properties");
        Client = AddClient();
        Log.Attach(Folders);
    }

public:
    /// The screen point of the middle of a panel's edge that sizes it (its right edge in the left dock).
    TPoint RightEdge(TTBXDockablePanel* panel) { return OnWindow(panel, panel->GetWidth() - 1, 40); }
    TPoint Moved(TPoint p, int dx, int dy = 0) { return TPoint{p.x + dx, p.y + dy}; }
    /// What the form has left for the client between the docks.
    int Room() { return Form->GetClientWidth() - Left->GetWidth() - Right->GetWidth(); }

    TTBXMultiDock* Left = nullptr;
    TTBXMultiDock* Right = nullptr;
    TTBXDockablePanel* Folders = nullptr;
    TTBXDockablePanel* Properties = nullptr;
    TWinControl* Client = nullptr;
    ResizeLog Log;
};

TEST_F(PanelResizeTest, FollowsTheMouseLiveAndKeepsTheLastSizeAsItsDockedWidth)
{
    const TPoint edge = RightEdge(Folders);
    const int room = Room();
    test::PostDrag(edge, {Moved(edge, 30), Moved(edge, 60)});
    Pump();
    const std::vector<ResizeLog::Entry> expected{
        {rsBeginResizing, 200, 200, 200},
        {rsResizing, 230, 200, 200},
        {rsResizing, 260, 230, 230},  // the previous step is on screen
        {rsEndResizing, 260, 260, 260},
    };
    EXPECT_EQ(Log.Entries, expected);
    EXPECT_EQ(Folders->GetWidth(), 260);
    EXPECT_EQ(Folders->GetDockedWidth(), 256);
    EXPECT_EQ(Left->GetWidth(), 260);
    EXPECT_EQ(Room(), room - 60);
    EXPECT_EQ(Client->GetWidth(), room - 60);
    EXPECT_FALSE(Folders->GetResizing());
    EXPECT_EQ(ui::GetCapture(), nullptr);
}

TEST_F(PanelResizeTest, EndsOnEscapeWithTheLastSizeAsAReleaseDoes)
{
    const TPoint edge = RightEdge(Folders);
    test::PostDrag(edge, {Moved(edge, -20), Moved(edge, -50)}, false);
    Pump();
    EXPECT_EQ(Folders->GetWidth(), 150);
    EXPECT_EQ(Folders->GetDockedWidth(), 146);
    EXPECT_EQ(Log.Entries.back().Stage, rsEndResizing);
    EXPECT_EQ(ui::GetCapture(), nullptr);
}

TEST_F(PanelResizeTest, ARefusalAtEachStageKeepsOrRestoresTheStartingSize)
{
    struct Row {
        const char* Name;
        TTBXResizingStage Refused;
        std::vector<int> Tracked;  // the sizes asked at rsResizing
    } const rows[] = {
        {"at the start: no resize at all", rsBeginResizing, {}},
        {"every step: the edge never moves", rsResizing, {240, 280}},
        {"at the end: back to the start", rsEndResizing, {240, 280}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Log.Entries.clear();
        Log.Refuse = row.Refused;
        const TPoint edge = RightEdge(Folders);
        test::PostDrag(edge, {Moved(edge, 40), Moved(edge, 80)});
        Pump();
        EXPECT_EQ(Log.Sizes(rsResizing), row.Tracked);
        EXPECT_EQ(Folders->GetWidth(), 200);
        EXPECT_EQ(Folders->GetDockedWidth(), 196);
        EXPECT_EQ(Left->GetWidth(), 200);
        EXPECT_EQ(ui::GetCapture(), nullptr);
    }
}

TEST_F(PanelResizeTest, KeepsToTheClientLimitsAndLeavesTheFormThirtyTwoPixels)
{
    struct Row {
        const char* Name;
        std::function<void(PanelResizeTest&)> Prepare;
        int Travel;
        std::function<int(PanelResizeTest&)> Expected;
    } const rows[] = {
        {"the client minimum", [](auto&) {}, -400, [](auto&) { return 32 + 4; }},
        {"a larger minimum", [](auto& t) { t.Folders->SetMinClientWidth(120); }, -400, [](auto&) { return 124; }},
        {"the client maximum", [](auto& t) { t.Folders->SetMaxClientWidth(220); }, 100, [](auto&) { return 224; }},
        {"a maximum below the minimum is none", [](auto& t) { t.Folders->SetMaxClientWidth(20); }, 40,
         [](auto&) { return 240; }},
        {"the form keeps 32 pixels", [](auto&) {}, 1000, [](auto& t) { return 200 + t.Room() - 32; }},
        {"a form already fuller keeps the size", [](auto& t) { t.Properties->SetDockedWidth(t.Room() + 128 - 20); }, 50,
         [](auto&) { return 200; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Folders->SetMinClientWidth(32);
        Folders->SetMaxClientWidth(0);
        Folders->SetDockedWidth(196);
        Properties->SetDockedWidth(128);
        Pump();
        row.Prepare(*this);
        Pump();
        const int expected = row.Expected(*this);
        const TPoint edge = RightEdge(Folders);
        test::PostDrag(edge, {Moved(edge, row.Travel / 2), Moved(edge, row.Travel)});
        Pump();
        EXPECT_EQ(Folders->GetWidth(), expected);
        EXPECT_GE(Room(), std::min(32, Form->GetClientWidth() - 200 - Right->GetWidth()));
    }
}

TEST_F(PanelResizeTest, HoldsTheMultiDockAtTheDraggedPanelsWidthAndEveryPanelKeepsIt)
{
    TTBXDockablePanel* wide = AddPanel(nullptr, "Wide");
    wide->SetDockedWidth(296);
    wide->SetDockPos(300);
    wide->SetParent(Left);
    Pump();
    ASSERT_EQ(Left->GetWidth(), 300);
    ASSERT_EQ(Folders->GetWidth(), 300);  // as thick as the dock, its docked width still 196

    const TPoint edge = RightEdge(Folders);
    test::PostDrag(edge, {Moved(edge, -40), Moved(edge, -100)});
    Pump();
    ASSERT_EQ(Log.Entries.size(), 4U);
    EXPECT_EQ(Log.Entries[2].DockWidth, 260);  // the dock follows the dragged panel, not the widest one
    EXPECT_EQ(Left->GetWidth(), 200);
    EXPECT_EQ(wide->GetWidth(), 200);
    EXPECT_EQ(wide->GetDockedWidth(), 196);
    Form->SetWidth(Form->GetWidth() + 40);
    Pump();
    EXPECT_EQ(Left->GetWidth(), 200);

    // No panel is made thinner than the largest minimum among them.
    wide->SetMinClientWidth(150);
    Pump();
    const TPoint again = RightEdge(Folders);
    test::PostDrag(again, {Moved(again, -20), Moved(again, -150)});
    Pump();
    EXPECT_EQ(Left->GetWidth(), 154);
    EXPECT_EQ(Folders->GetWidth(), 154);
}

TEST_F(PanelResizeTest, WithoutSmoothResizeAppliesTheSizeOnlyAtTheEnd)
{
    Folders->SetSmoothDockedResize(false);
    const TPoint edge = RightEdge(Folders);
    test::PostDrag(edge, {Moved(edge, 30), Moved(edge, 50)});
    Pump();
    ASSERT_EQ(Log.Entries.size(), 4U);
    EXPECT_EQ(Log.Entries[2].Width, 200);
    EXPECT_EQ(Log.Entries[3].Width, 200);
    EXPECT_EQ(Folders->GetWidth(), 250);
    EXPECT_EQ(Left->GetWidth(), 250);
}

TEST_F(PanelResizeTest, DropsOtherMouseInputPutsAQuitBackAndEndsWhenTheCaptureGoes)
{
    const TPoint edge = RightEdge(Folders);
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, edge);
    ui::PostMouseInput(ui::WM_MOUSEMOVE, Moved(edge, 10));
    test::PostSeparator();
    ui::PostMouseInput(ui::WM_MOUSEWHEEL, Moved(edge, 10), 0, 120);
    ui::PostMouseInput(ui::WM_MOUSEMOVE, Moved(edge, 25));
    test::PostSeparator();
    ui::PostMouseInput(ui::WM_MOUSEMOVE, Moved(edge, 40));
    int steps = 0;
    Log.During = [&steps] {
        if (++steps == 2)
            ui::PostQuitMessage(7);
    };
    ui::MSG msg;
    ASSERT_TRUE(ui::PeekMessage(&msg, nullptr, 0, 0, ui::PM_REMOVE));
    ui::DispatchMessage(&msg);  // the press: the loop runs until the quit
    EXPECT_EQ(Log.Sizes(rsResizing), (std::vector<int>{210, 225}));
    EXPECT_EQ(Folders->GetWidth(), 225);
    EXPECT_EQ(ui::GetCapture(), nullptr);
    ASSERT_TRUE(ui::PeekMessage(&msg, nullptr, ui::WM_QUIT, ui::WM_QUIT, ui::PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7U);
    Pump();
    EXPECT_EQ(Folders->GetWidth(), 225);

    // Losing the mouse at the first step ends the resize there.
    Log.Entries.clear();
    Log.During = [] { ui::ReleaseCapture(); };
    const TPoint again = RightEdge(Folders);
    test::PostDrag(again, {Moved(again, 10), Moved(again, 30)});
    Pump();
    EXPECT_EQ(Log.Sizes(rsResizing), std::vector<int>{235});
    EXPECT_EQ(Log.Entries.back().Stage, rsEndResizing);
    EXPECT_EQ(Folders->GetWidth(), 235);
}

// ---- Split drag -------------------------------------------------------------------------------------------

class SplitDragTest : public PanelFormTest {
protected:
    void SetUp() override
    {
        PanelFormTest::SetUp();
        Dock = AddMultiDock(dpLeft, "Left");
        Upper = AddPanel(nullptr, "Upper");
        Upper->SetSplitHeight(150);
        Upper->SetParent(Dock);
        Lower = AddPanel(nullptr, "Lower");
        Lower->SetSplitHeight(Dock->GetClientHeight() - 150);
        Lower->SetDockPos(1000);
        Lower->SetParent(Dock);
        Pump();
    }
    TPoint UpperBottom() { return OnWindow(Upper, 40, Upper->GetHeight() - 1); }
    TPoint LowerTop() { return OnWindow(Lower, 40, 0); }
    static TPoint Moved(TPoint p, int dy) { return TPoint{p.x, p.y + dy}; }

public:
    void NoteResize(TObject*) { ++Resizes; }

protected:
    TTBXMultiDock* Dock = nullptr;
    TTBXDockablePanel* Upper = nullptr;
    TTBXDockablePanel* Lower = nullptr;
    int Resizes = 0;
};

TEST_F(SplitDragTest, MovesTheBoundaryBetweenTwoPanelsFromEitherSide)
{
    const int length = Dock->GetClientHeight();
    ASSERT_EQ(Upper->GetHeight(), 150);
    ASSERT_EQ(HitAt(Upper, 40, Upper->GetHeight() - 1), HT_TBX_SPLITBOTTOM);
    const TPoint edge = UpperBottom();
    test::PostDrag(edge, {Moved(edge, 20), Moved(edge, 30)});
    Pump();
    EXPECT_EQ(Upper->GetHeight(), 180);
    EXPECT_EQ(Lower->GetTop(), 180);
    EXPECT_EQ(Lower->GetHeight(), length - 180);
    EXPECT_EQ(Upper->GetSplitHeight(), 180);
    EXPECT_EQ(Lower->GetSplitHeight(), length - 180);

    const TPoint top = LowerTop();
    test::PostDrag(top, {Moved(top, -40), Moved(top, -60)}, false);  // Escape keeps it too
    Pump();
    EXPECT_EQ(Upper->GetHeight(), 120);
    EXPECT_EQ(Lower->GetTop(), 120);
    EXPECT_EQ(Lower->GetHeight(), length - 120);
    EXPECT_FALSE(Upper->GetSplitting());
    EXPECT_FALSE(Lower->GetSplitting());
    EXPECT_EQ(ui::GetCapture(), nullptr);
}

TEST_F(SplitDragTest, StopsWhereAPanelReachesItsLimit)
{
    const int length = Dock->GetClientHeight();
    Lower->SetMinClientHeight(length - 150 - 20 - 4 - ui::GetSystemMetrics(ui::SM_CYSMCAPTION));
    Pump();
    const TPoint edge = UpperBottom();
    test::PostDrag(edge, {Moved(edge, 50)});
    Pump();
    EXPECT_EQ(Upper->GetHeight(), 170);
    EXPECT_EQ(Lower->GetHeight(), length - 170);
}

TEST_F(SplitDragTest, ByALineWhenAPanelDoesNotFollowLiveAndAppliesAtTheEnd)
{
    Lower->SetSmoothDockedResize(false);
    Upper->OnResize = TNotifyEvent(static_cast<SplitDragTest*>(this), &SplitDragTest::NoteResize);
    const TPoint edge = UpperBottom();
    test::PostDrag(edge, {Moved(edge, 25), Moved(edge, 45)});
    Pump();
    EXPECT_EQ(Resizes, 1);  // once, at the end
    EXPECT_EQ(Upper->GetHeight(), 195);
    EXPECT_EQ(Lower->GetTop(), 195);
}

}  // namespace
}  // namespace ovrel::themes::testing
