// The dock as a control: its place on the form, its errors, its lists and events with real windows, the
// thickness it takes from its rows and bound lines, suspension, menu keys for floating windows and the
// background it paints.
#include "toolbars/Dock.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "toolbars/DockWindowsTestSupport.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;
using testing::DockFormFixture;
using testing::TTestWindow;

using DockTest = DockFormFixture;

TEST_F(DockTest, PositionAlignsTheDockToItsEdge)
{
    EXPECT_EQ(Top->GetAlign(), alTop);
    EXPECT_EQ(Bottom->GetAlign(), alBottom);
    EXPECT_EQ(Left->GetAlign(), alLeft);
    EXPECT_EQ(Right->GetAlign(), alRight);
    EXPECT_FALSE(Top->IsVertical());
    EXPECT_TRUE(Left->IsVertical());
    // Empty docks take no room until FixAlign keeps them one pixel thick.
    EXPECT_EQ(Top->GetHeight(), 0);
    Top->SetFixAlign(true);
    EXPECT_EQ(Top->GetHeight(), 1);
    EXPECT_EQ(Top->GetWidth(), Form->GetClientWidth());
}

TEST_F(DockTest, RefusesAPositionChangeWithControlsAndANestedPlace)
{
    AddWindow(Top, "A");
    try {
        Top->SetPosition(dpLeft);
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot change Position of a TTBDock if it already contains controls");
    }
    EXPECT_EQ(Top->GetPosition(), dpTop);

    auto* inner = new TTBDock(Form);
    for (TWinControl* parent : std::vector<TWinControl*>{Top, Top->GetVisibleWindow(0)}) {
        try {
            inner->SetParent(parent);
            FAIL() << "no exception";
        } catch (const EInvalidOperation& e) {
            EXPECT_STREQ(e.what(), "A TTBDock control cannot be placed inside a tool window or another TTBDock");
        }
        EXPECT_EQ(inner->GetParent(), nullptr);
    }
    delete inner;
}

TEST_F(DockTest, TakesTheThicknessOfItsRowsAndBoundLines)
{
    TTestWindow* a = AddWindow(Top, "A", {60, 22});
    AddWindow(Top, "B", {80, 30}, 1);
    // Each row is its thickest window with its docked frame (2 pixels either side) plus 4.
    EXPECT_EQ(Top->GetHeight(), (22 + 4) + (30 + 4));
    EXPECT_EQ(a->GetHeight(), 26);

    Top->SetBoundLines({blTop, blBottom, blLeft, blRight});
    EXPECT_EQ(Top->GetNonClientWidth(), 2);
    EXPECT_EQ(Top->GetNonClientHeight(), 2);
    EXPECT_EQ(Top->GetHeight(), 26 + 34 + 2);
    EXPECT_EQ(Top->GetClientHeight(), 26 + 34);
    EXPECT_EQ(Top->GetClientWidth(), Top->GetWidth() - 2);
    // The windows sit in the client area, inside the lines.
    EXPECT_EQ(a->GetTop(), 0);
    const TPoint client = Top->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(client, OnWindow(Top, 1, 1));
}

TEST_F(DockTest, BoundLinesArePaintedShadowAboveHighlightBelow)
{
    AddWindow(Top, "A");
    Top->SetBoundLines({blTop, blBottom});
    Pump();
    QImage* image = ui::GetWindowImage(Top->GetHandle());
    ASSERT_NE(image, nullptr);
    const auto rgb = [](ui::COLORREF c) { return qRgb(ui::GetRValue(c), ui::GetGValue(c), ui::GetBValue(c)); };
    EXPECT_EQ(image->pixel(10, 0) & 0xFFFFFF, rgb(ui::GetSysColor(ui::COLOR_BTNSHADOW)) & 0xFFFFFF);
    EXPECT_EQ(image->pixel(10, Top->GetHeight() - 1) & 0xFFFFFF,
              rgb(ui::GetSysColor(ui::COLOR_BTNHIGHLIGHT)) & 0xFFFFFF);
}

TEST_F(DockTest, WindowListsFollowDockingAndVisibilityWithOneEventEach)
{
    TTestWindow* a = AddWindow(Top, "A");
    TTestWindow* b = AddWindow(Top, "B", {60, 22}, 0, 100);
    a->Follow(Top);
    a->Log.clear();
    EXPECT_EQ(Top->GetWindowCount(), 2);
    EXPECT_EQ(Top->GetVisibleCount(), 2);
    EXPECT_TRUE(Top->HasVisibleWindows());

    b->Hide();
    EXPECT_EQ(Top->GetWindowCount(), 2);
    EXPECT_EQ(Top->GetVisibleCount(), 1);
    EXPECT_EQ(Top->GetVisibleWindow(0), a);
    EXPECT_EQ(Top->SelfCheck(), "");
    b->Show();
    EXPECT_EQ(Top->GetVisibleCount(), 2);
    EXPECT_EQ(a->Log, (std::vector<std::string>{"Remove Top", "Insert Top"}));
    EXPECT_EQ(Top->SelfCheck(), "");

    // A freed window leaves both lists at once.
    delete b;
    EXPECT_EQ(Top->GetWindowCount(), 1);
    EXPECT_EQ(Top->GetVisibleCount(), 1);
    EXPECT_EQ(Top->SelfCheck(), "");
}

TEST_F(DockTest, ArrangementsWaitForTheLastEndUpdate)
{
    TTestWindow* a = AddWindow(Top, "A");
    Top->BeginUpdate();
    Top->BeginUpdate();
    a->SetDockRow(3);
    a->SetFullSize(true);
    EXPECT_TRUE(Top->GetArrangePending());
    EXPECT_EQ(a->GetWidth(), 60 + 10);
    Top->EndUpdate();
    EXPECT_TRUE(Top->GetArrangePending());
    Top->EndUpdate();
    EXPECT_FALSE(Top->GetArrangePending());
    EXPECT_EQ(a->GetWidth(), Top->GetClientWidth());
    EXPECT_EQ(a->GetEffectiveRow(), 0);
}

TEST_F(DockTest, LoadedArrangesWhatWasBuilt)
{
    auto* form = new TForm(nullptr);
    TTBDock* dock = nullptr;
    TTestWindow* window = nullptr;
    {
        TFormBuilder builder(*form);
        form->SetBounds(0, 0, 300, 200);
        dock = builder.Add<TTBDock>(form);
        window = builder.Add<TTestWindow>(dock);
        window->SetDockPos(20);
        EXPECT_EQ(dock->GetHeight(), 0);
    }
    EXPECT_FALSE(dock->GetArrangePending());
    EXPECT_EQ(dock->GetHeight(), 26);
    EXPECT_EQ(window->GetLeft(), 20);
    delete form;
}

// A window that takes menu keys and answers them with a result of its own.
class TMenuKeyWindow : public TTestWindow {
public:
    explicit TMenuKeyWindow(TComponent* owner) : TTestWindow(owner)
    {
        SetControlStyle(GetControlStyle().Include(csMenuEvents));
    }
    std::intptr_t Answer = 0;
    std::vector<std::uint32_t> Heard;

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg == CM_DIALOGKEY || message.Msg == CM_DIALOGCHAR || message.Msg == ui::WM_SYSCOMMAND) {
            Heard.push_back(message.Msg);
            message.Result = Answer;
            return;
        }
        TTestWindow::WndProc(message);
    }
};

TEST_F(DockTest, MenuKeysReachTheFloatingWindowsWhoseLastDockItIs)
{
    const auto floatFrom = [&](TMenuKeyWindow* w) {
        w->SetParent(Top);
        w->SetFloating(true);
    };
    auto* first = new TMenuKeyWindow(Form);
    auto* second = new TMenuKeyWindow(Form);
    auto* hidden = new TMenuKeyWindow(Form);
    floatFrom(first);
    floatFrom(second);
    floatFrom(hidden);
    hidden->Hide();
    second->Answer = 1;
    Pump();
    ASSERT_EQ(Top->GetWindowCount(), 3);

    EXPECT_EQ(Top->Perform(CM_DIALOGKEY, 'F', 0), 1);
    EXPECT_EQ(Top->Perform(CM_DIALOGCHAR, 'f', 0), 1);
    EXPECT_EQ(Top->Perform(ui::WM_SYSCOMMAND, ui::SC_KEYMENU, 'f'), 1);
    // In list order until one takes it; a hidden one is passed over.
    const std::vector<std::uint32_t> all{CM_DIALOGKEY, CM_DIALOGCHAR, ui::WM_SYSCOMMAND};
    EXPECT_EQ(first->Heard, all);
    EXPECT_EQ(second->Heard, all);
    EXPECT_TRUE(hidden->Heard.empty());

    // Back on the dock a window takes the keys as the dock's child, not as a floating window.
    second->Answer = 0;
    first->SetCurrentDock(Top);
    first->Heard.clear();
    second->Heard.clear();
    EXPECT_EQ(Top->Perform(ui::WM_SYSCOMMAND, ui::SC_KEYMENU, 'f'), 0);
    EXPECT_TRUE(first->Heard.empty());
    EXPECT_EQ(second->Heard, (std::vector<std::uint32_t>{ui::WM_SYSCOMMAND}));
}

// A background that records what it is asked.
class TRecordingBackground : public TTBBasicBackground {
public:
    using TTBBasicBackground::TTBBasicBackground;
    void Draw(ui::HDC, const TRect& rect) override { Drawn.push_back(rect); }
    void RegisterChanges(const TNotifyEvent& change) override { Change = change; }
    void SysColorChanged() override { ++SysColorChanges; }
    void UnregisterChanges(const TNotifyEvent& change) override
    {
        if (Change == change)
            Change.Clear();
    }
    bool UsingBackground() override { return true; }

    std::vector<TRect> Drawn;
    TNotifyEvent Change;
    int SysColorChanges = 0;
};

TEST_F(DockTest, BackgroundDrawsInTheParentsCoordinatesAndIsForgottenWhenFreed)
{
    AddWindow(Top, "A");
    auto* background = new TRecordingBackground(nullptr);
    Left->SetFixAlign(true);
    Left->SetBackground(background);
    Top->SetBackground(background);
    EXPECT_TRUE(Top->UsingBackground());
    EXPECT_TRUE(static_cast<bool>(background->Change));
    Pump();
    // The left dock lies below the top one: its client rectangle is handed over where it lies on the form.
    ASSERT_FALSE(background->Drawn.empty());
    bool leftSeen = false;
    for (const TRect& r : background->Drawn)
        leftSeen = leftSeen || (r.top == Left->GetTop() && r.left == Left->GetLeft() && r.top > 0);
    EXPECT_TRUE(leftSeen);

    Top->Perform(CM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(background->SysColorChanges, 1);
    delete background;
    EXPECT_EQ(Top->GetBackground(), nullptr);
    EXPECT_EQ(Left->GetBackground(), nullptr);
    EXPECT_FALSE(Top->UsingBackground());
    Pump();
}

}  // namespace
}  // namespace ovrel::toolbars
