// Dockable windows between hidden, docked and floating: the parent change with its events, lists and kept
// window, a parent change that fails, floating and coming back, the last and default docks, the settings
// that a toolbar on a form relies on, size recalculation, closing and loading.
#include "toolbars/DockableWindow.h"

#include "platform/ui/Messages.h"
#include "toolbars/DockWindowsTestSupport.h"
#include "toolbars/FloatingWindow.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;
using testing::DockFormFixture;
using testing::TTestWindow;

using DockableWindowTest = DockFormFixture;

// Counts the window messages that come with making and destroying a control's window.
class WindowLifeWatch {
public:
    explicit WindowLifeWatch(TControl* control) : FControl(control), FSaved(control->GetWindowProc())
    {
        control->SetWindowProc(TWndMethod(this, &WindowLifeWatch::Proc));
    }
    ~WindowLifeWatch() { FControl->SetWindowProc(FSaved); }
    WindowLifeWatch(const WindowLifeWatch&) = delete;
    WindowLifeWatch& operator=(const WindowLifeWatch&) = delete;

    int Created = 0;
    int Destroyed = 0;

private:
    void Proc(TMessage& message)
    {
        if (message.Msg == ui::WM_CREATE)
            ++Created;
        if (message.Msg == ui::WM_DESTROY)
            ++Destroyed;
        FSaved(message);
    }

    TControl* FControl;
    TWndMethod FSaved;
};

TEST_F(DockableWindowTest, DockingElsewhereKeepsTheWindowAndAnnouncesEachStep)
{
    TTestWindow* a = AddWindow(Top, "A");
    a->Follow(Top);
    a->Follow(Left);
    const ui::HWND handle = a->GetHandle();
    a->Log.clear();
    {
        WindowLifeWatch watch(a);
        a->SetCurrentDock(Left);
        EXPECT_EQ(watch.Created, 0);
        EXPECT_EQ(watch.Destroyed, 0);
    }
    EXPECT_EQ(a->GetHandle(), handle);
    EXPECT_EQ(a->Log, (std::vector<std::string>{"DockChanging Left", "Recreating", "DockChangingHidden Left hidden",
                                                "Remove Top", "Insert Left", "Move", "Recreated", "DockChanged"}));
    EXPECT_EQ(a->GetCurrentDock(), Left);
    EXPECT_TRUE(a->GetDocked());
    EXPECT_EQ(a->GetLastDock(), Left);
    EXPECT_EQ(Top->GetWindowCount(), 0);
    EXPECT_EQ(Left->GetWindowCount(), 1);
    EXPECT_EQ(Left->GetVisibleCount(), 1);
    EXPECT_EQ(Top->SelfCheck(), "");
    EXPECT_EQ(Left->SelfCheck(), "");
    // Laid out across the side dock, and shown again.
    EXPECT_EQ(a->GetWidth(), 22 + 4);
    EXPECT_EQ(a->GetHeight(), 60 + 10);
    EXPECT_EQ(Left->GetWidth(), 26);
    EXPECT_TRUE(ui::IsWindowVisible(handle));
    EXPECT_EQ(a->GetEffectiveRow(), 0);
}

TEST_F(DockableWindowTest, FloatingKeepsTheWindowInItsLastDocksListAndReturnsThere)
{
    TTestWindow* a = AddWindow(Top, "A");
    AddWindow(Top, "B", {60, 22}, 0, 100);
    const ui::HWND handle = a->GetHandle();
    a->MoveFloatingTo(TPoint{200, 150});
    a->Log.clear();
    a->SetFloating(true);

    EXPECT_EQ(a->GetHandle(), handle);
    EXPECT_EQ(a->Log,
              (std::vector<std::string>{"DockChanging floating", "Recreating", "DockChangingHidden floating hidden",
                                        "Move", "Recreated", "DockChanged"}));
    EXPECT_TRUE(a->GetFloating());
    EXPECT_EQ(a->GetCurrentDock(), nullptr);
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(a->GetParent(), frame);
    EXPECT_EQ(frame->GetOwnerForm(), Form);
    EXPECT_EQ(a->GetOwningForm(), Form);
    EXPECT_TRUE(std::regex_match(frame->GetName(), std::regex("NBFloatingWindowParent_[0-9a-f]{8}")));
    // The frame lies at the floating position with the window filling its client area.
    EXPECT_EQ(frame->GetLeft(), 200);
    EXPECT_EQ(frame->GetTop(), 150);
    EXPECT_EQ(frame->GetClientWidth(), 60);
    EXPECT_EQ(frame->GetClientHeight(), 22);
    EXPECT_EQ(a->GetLeft(), 0);
    EXPECT_EQ(a->GetTop(), 0);
    EXPECT_TRUE(ui::IsWindowVisible(handle));
    // Still listed by the dock it came from, but not shown there.
    EXPECT_EQ(Top->GetWindowCount(), 2);
    EXPECT_EQ(Top->GetVisibleCount(), 1);
    EXPECT_EQ(Top->SelfCheck(), "");

    a->DoubleClick();
    EXPECT_EQ(a->GetCurrentDock(), Top);
    EXPECT_EQ(a->GetFloatParent(), nullptr);
    EXPECT_EQ(a->GetHandle(), handle);
    EXPECT_EQ(Top->GetVisibleCount(), 2);
    EXPECT_EQ(Top->SelfCheck(), "");
    Pump();
}

TEST_F(DockableWindowTest, DoubleClickDocksIntoTheDefaultDockFirstOnItsRowOrDoesNothing)
{
    TTestWindow* b = AddWindow(Top, "B", {60, 22}, 0, 0);
    TTestWindow* a = AddWindow(Left, "A");
    a->SetUseLastDock(false);
    a->SetFloating(true);
    EXPECT_EQ(Left->GetWindowCount(), 0);
    EXPECT_EQ(a->GetLastDock(), nullptr);

    // Neither dock: nothing happens.
    a->DoubleClick();
    EXPECT_TRUE(a->GetFloating());

    a->SetDefaultDock(Top);
    a->DoubleClick();
    EXPECT_EQ(a->GetCurrentDock(), Top);
    EXPECT_EQ(a->GetEffectiveRow(), 0);
    EXPECT_EQ(a->GetLeft(), 0);
    EXPECT_EQ(b->GetLeft(), a->GetWidth());

    // A docked window floats on a double click unless it may not.
    a->SetDockMode(dmCannotFloat);
    a->DoubleClick();
    EXPECT_TRUE(a->GetDocked());
    a->SetDockMode(dmCanFloat);
    a->SetDblClickUndock(false);
    a->DoubleClick();
    EXPECT_TRUE(a->GetDocked());
    a->SetDblClickUndock(true);
    a->DoubleClick();
    EXPECT_TRUE(a->GetFloating());
    Pump();
}

TEST_F(DockableWindowTest, FreedDocksAreForgotten)
{
    TTestWindow* a = AddWindow(Left, "A");
    a->SetDefaultDock(Bottom);
    a->SetFloating(true);
    ASSERT_EQ(a->GetLastDock(), Left);
    delete Left;
    Left = nullptr;
    delete Bottom;
    Bottom = nullptr;
    EXPECT_EQ(a->GetLastDock(), nullptr);
    EXPECT_EQ(a->GetDefaultDock(), nullptr);
    a->DoubleClick();
    EXPECT_TRUE(a->GetFloating());
}

TEST_F(DockableWindowTest, WindowsWithoutAFormCannotFloat)
{
    TTestWindow window(nullptr);
    window.SetName("Loose");
    // A place asked for off a dock is only kept.
    window.SetDockPos(30);
    EXPECT_EQ(window.GetDockPos(), 30);
    try {
        window.SetFloating(true);
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Control 'Loose' has no parent window");
    }
    EXPECT_THROW(window.SetCurrentDock(nullptr), EInvalidOperation);
    EXPECT_FALSE(window.GetFloating());
}

// A dock that refuses windows by failing while one is inserted.
class TFailingDock : public TTBDock {
public:
    using TTBDock::TTBDock;
    bool Fail = true;

protected:
    void WndProc(TMessage& message) override
    {
        if (Fail && message.Msg == CM_CONTROLLISTCHANGE && message.LParam != 0)
            throw EInvalidOperation("refused");
        TTBDock::WndProc(message);
    }
};

TEST_F(DockableWindowTest, AParentChangeThatFailsLeavesTheWindowAndBothDocksWorking)
{
    TTestWindow* a = AddWindow(Top, "A");
    TTestWindow* b = AddWindow(Top, "B", {60, 22}, 0, 100);
    auto* failing = new TFailingDock(Form);
    failing->SetName("Failing");
    failing->SetPosition(dpBottom);
    failing->SetParent(Form);
    Pump();

    EXPECT_THROW(a->SetParent(failing), EInvalidOperation);
    // Nothing is left suspended: the flags follow the actual parent, and the docks arrange again.
    EXPECT_EQ(a->GetParent(), nullptr);
    EXPECT_EQ(a->GetCurrentDock(), nullptr);
    EXPECT_FALSE(a->GetDocked());
    EXPECT_FALSE(a->GetFloating());
    EXPECT_FALSE(Top->GetArrangePending());
    EXPECT_FALSE(failing->GetArrangePending());
    EXPECT_EQ(failing->GetWindowCount(), 0);
    EXPECT_EQ(b->GetLeft(), 100);
    b->SetDockPos(20);
    EXPECT_EQ(b->GetLeft(), 20);

    failing->Fail = false;
    a->SetParent(failing);
    EXPECT_EQ(a->GetCurrentDock(), failing);
    EXPECT_TRUE(ui::IsWindowVisible(a->GetHandle()));
    EXPECT_EQ(a->GetWidth(), 60 + 10);
    EXPECT_EQ(failing->GetHeight(), 26);
    EXPECT_EQ(failing->SelfCheck(), "");
    EXPECT_EQ(Top->SelfCheck(), "");
}

TEST_F(DockableWindowTest, StartsWithTheSettingsOfAToolbarOnAForm)
{
    TTestWindow window(nullptr);
    EXPECT_TRUE(window.GetAutoResize());
    EXPECT_TRUE(window.GetDblClickUndock());
    EXPECT_EQ(window.GetDockPos(), -1);
    EXPECT_EQ(window.GetDockRow(), 0);
    EXPECT_EQ(window.GetEffectiveRow(), -1);
    EXPECT_TRUE(window.GetCloseButton());
    EXPECT_FALSE(window.GetCloseButtonWhenDocked());
    EXPECT_TRUE(window.GetResizable());
    EXPECT_TRUE(window.GetShowCaption());
    EXPECT_TRUE(window.GetUseLastDock());
    EXPECT_TRUE(window.GetHideWhenInactive());
    EXPECT_TRUE(window.GetSmoothDrag());
    EXPECT_EQ(window.GetBorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(window.GetDockMode(), dmCanFloat);
    EXPECT_EQ(window.GetDragHandleStyle(), dhSingle);
    EXPECT_EQ(window.GetFloatingMode(), fmOnTopOfParentForm);
    EXPECT_EQ(window.GetDockableTo(), (TTBDockableTo{dpTop, dpBottom, dpLeft, dpRight}));
    EXPECT_EQ(window.GetFloatingResizeOptions(), (TTBFloatingResizeOptions{froEightCorners, froClipCursor}));
    EXPECT_EQ(window.GetColor(), clBtnFace);
    EXPECT_EQ(window.GetDockedFrameSize(nullptr), (TPoint{0, 0}));
    EXPECT_EQ(window.GetMinimumLength(), 0);
    EXPECT_EQ(window.ShrinkModeOf(), tbsmNone);
    const TResizeLimits none = window.TTBCustomDockableWindow::GetSizeLimits();
    EXPECT_EQ(none.MinWidth + none.MinHeight + none.MaxWidth + none.MaxHeight, 0);
    EXPECT_TRUE(window.AcceptsDock(Left));
    window.SetDockableTo({dpTop});
    EXPECT_FALSE(window.AcceptsDock(Left));
}

TEST_F(DockableWindowTest, OnAFormTheSizeFollowsTheContentOnceUpdatesEnd)
{
    auto* a = new TTestWindow(Form);
    a->SetBounds(10, 300, 40, 40);
    a->SetParent(Form);
    a->RecalcSize();
    EXPECT_EQ(a->GetWidth(), 60);
    EXPECT_EQ(a->GetHeight(), 22);

    a->BeginUpdate();
    a->BeginUpdate();
    a->Natural = TSize{90, 30};
    a->RecalcSize();
    a->EndUpdate();
    EXPECT_EQ(a->GetWidth(), 60);
    a->EndUpdate();
    EXPECT_EQ(a->GetWidth(), 90);
    EXPECT_EQ(a->GetHeight(), 30);

    // Anchored on both sides it keeps that dimension; without AutoResize it keeps its size.
    a->SetAnchors({akLeft, akTop, akRight});
    a->Natural = TSize{50, 20};
    a->RecalcSize();
    EXPECT_EQ(a->GetWidth(), 90);
    EXPECT_EQ(a->GetHeight(), 20);
    a->SetAnchors({akLeft, akTop});
    a->SetAutoResize(false);
    a->Natural = TSize{70, 25};
    a->RecalcSize();
    EXPECT_EQ(a->GetWidth(), 90);
    a->SetAutoResize(true);
    EXPECT_EQ(a->GetWidth(), 70);
}

TEST_F(DockableWindowTest, CloseAsksFirstThenHides)
{
    struct Closer {
        bool Allow = false;
        int Closed = 0;
        void Query(TObject*, bool& canClose) { canClose = Allow; }
        void Close(TObject*) { ++Closed; }
    } closer;
    TTestWindow* a = AddWindow(Top, "A");
    a->OnCloseQuery = TTBCloseQueryEvent(&closer, &Closer::Query);
    a->OnClose = TNotifyEvent(&closer, &Closer::Close);
    a->Close();
    EXPECT_TRUE(a->GetVisible());
    EXPECT_EQ(closer.Closed, 0);
    closer.Allow = true;
    a->Close();
    EXPECT_FALSE(a->GetVisible());
    EXPECT_EQ(closer.Closed, 1);
    EXPECT_EQ(Top->GetVisibleCount(), 0);
    EXPECT_EQ(Top->GetHeight(), 0);
}

TEST_F(DockableWindowTest, AWindowFloatedWhileItsFormIsBuiltKeepsItsPlaceOnTheForm)
{
    for (const bool savedAtRunTime : {false, true}) {
        SCOPED_TRACE(savedAtRunTime);
        auto* form = new TForm(nullptr);
        TTestWindow* window = nullptr;
        {
            TFormBuilder builder(*form);
            form->SetBounds(50, 60, 300, 200);
            window = builder.Add<TTestWindow>(form);
            window->SetSavedAtRunTime(savedAtRunTime);
            window->MoveFloatingTo(TPoint{30, 40});
            window->SetFloating(true);
        }
        const TPoint expected = savedAtRunTime ? TPoint{30, 40} : form->ClientToScreen(TPoint{30, 40});
        EXPECT_EQ(window->GetFloatingPosition(), expected);
        EXPECT_EQ(window->GetFloatParent()->GetLeft(), expected.x);
        EXPECT_EQ(window->GetFloatParent()->GetTop(), expected.y);
        // Sized once loading ended.
        EXPECT_EQ(window->GetFloatParent()->GetClientWidth(), 60);
        EXPECT_EQ(GetPropInfo(window, "SavedAtRunTime") != nullptr, true);
        delete form;
        Pump();
    }
}

}  // namespace
}  // namespace ovrel::toolbars
