// Mouse input through the queue: presses, clicks and the implicit capture of windowless controls, the wheel,
// and the context menu.
#include "ControlsTestSupport.h"

#include "toolkit/Menus.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {
namespace {

class Pad : public TControl {
public:
    Pad(TComponent* owner, std::vector<std::string>& log) : TControl(owner), FLog(log) {}

protected:
    void MouseDown(TMouseButton button, TShiftState, int x, int y) override
    {
        FLog.push_back("down " + std::to_string(button) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseMove(TShiftState, int x, int y) override
    {
        FLog.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseUp(TMouseButton button, TShiftState, int x, int y) override
    {
        FLog.push_back("up " + std::to_string(button) + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void Click() override { FLog.push_back("click"); }

private:
    std::vector<std::string>& FLog;
};

class RecordingMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    std::vector<ui::POINT> Shown;
    void Popup(int x, int y) override
    {
        TPopupMenu::Popup(x, y);
        Shown.push_back({x, y});
    }
};

class InputTest : public ::testing::Test {
protected:
    InputTest()
    {
        Form->SetBounds(0, 0, 300, 200);
        Target->SetParent(Form.get());
        Target->SetBounds(50, 50, 40, 40);
        Form->Show();
    }
    ui::POINT At(int x, int y) const { return Target->ClientToScreen({x, y}); }
    void Post(ui::UINT msg, ui::POINT screen, ui::UINT modifiers = 0, int wheel = 0)
    {
        ui::PostMouseInput(msg, screen, modifiers, wheel);
        Application.ProcessMessages();
    }

    std::vector<std::string> Log;
    TApplication Application{nullptr};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    Pad* Target = new Pad(Form.get(), Log);
};

TEST_F(InputTest, PressAndReleaseInsideIsAClick)
{
    Post(ui::WM_LBUTTONDOWN, At(5, 6));
    EXPECT_EQ(GetCaptureControl(), Target);
    Post(ui::WM_LBUTTONUP, At(7, 8));
    EXPECT_EQ(GetCaptureControl(), nullptr);
    EXPECT_EQ(Log, (std::vector<std::string>{"down 0 5,6", "click", "up 0 7,8"}));
}

TEST_F(InputTest, TheControlKeepsTheMouseUntilReleaseAndNoClickOutside)
{
    Post(ui::WM_LBUTTONDOWN, At(5, 5));
    Post(ui::WM_MOUSEMOVE, At(100, 90));  // outside the control, still its own
    Post(ui::WM_LBUTTONUP, At(100, 90));
    EXPECT_EQ(Log, (std::vector<std::string>{"down 0 5,5", "move 100,90", "up 0 100,90"}));

    // After the release the form has the mouse again.
    Log.clear();
    Post(ui::WM_MOUSEMOVE, At(100, 90));
    EXPECT_TRUE(Log.empty());
}

TEST_F(InputTest, RightButtonsDoNotClick)
{
    Post(ui::WM_RBUTTONDOWN, At(5, 5));
    Post(ui::WM_RBUTTONUP, At(5, 5));
    EXPECT_EQ(Log, (std::vector<std::string>{"down 1 5,5", "up 1 5,5"}));
}

struct WheelSink {
    int Delta = 0;
    bool Ctrl = false;
    bool Handle = true;
    void Wheel(TObject*, TShiftState shift, int delta, ui::POINT, bool& handled)
    {
        Delta += delta;
        Ctrl = shift.Contains(ssCtrl);
        handled = Handle;
    }
};

TEST_F(InputTest, WheelReachesTheWindowUnderThePointerWithItsShiftState)
{
    WheelSink sink;
    Form->OnMouseWheel = TMouseWheelEvent(&sink, &WheelSink::Wheel);
    Post(ui::WM_MOUSEWHEEL, Form->ClientToScreen({10, 10}), ui::MOD_CONTROL, -120);
    EXPECT_EQ(sink.Delta, -120);
    EXPECT_TRUE(sink.Ctrl);
}

TEST_F(InputTest, ContextMenuPopsUpTheMenuOfTheControlUnderThePointer)
{
    RecordingMenu menu(nullptr);
    Target->SetPopupMenu(&menu);
    const ui::POINT screen = At(10, 10);
    Form->Perform(ui::WM_CONTEXTMENU, reinterpret_cast<std::uintptr_t>(Form->GetHandle()),
                  static_cast<std::intptr_t>(ui::MAKELPARAM(screen.x, screen.y)));
    ASSERT_EQ(menu.Shown.size(), 1u);
    EXPECT_EQ(menu.Shown[0].x, screen.x);
    EXPECT_EQ(menu.Shown[0].y, screen.y);
    EXPECT_EQ(menu.GetPopupComponent(), Target);

    // A menu that does not pop up by itself is left alone.
    menu.SetAutoPopup(false);
    Form->Perform(ui::WM_CONTEXTMENU, reinterpret_cast<std::uintptr_t>(Form->GetHandle()),
                  static_cast<std::intptr_t>(ui::MAKELPARAM(screen.x, screen.y)));
    EXPECT_EQ(menu.Shown.size(), 1u);
}

TEST_F(InputTest, CursorComesFromTheControlUnderThePointerUnlessTheScreenOverrides)
{
    auto setCursor = [this] {
        ui::SetCursor(nullptr);
        ui::SendMessage(Form->GetHandle(), ui::WM_SETCURSOR, reinterpret_cast<ui::WPARAM>(Form->GetHandle()),
                        ui::MAKELPARAM(static_cast<int>(ui::HTCLIENT), static_cast<int>(ui::WM_MOUSEMOVE)));
        return ui::GetCursor();
    };
    Form->SetCursor(crSizeWE);
    Target->SetCursor(crHandPoint);
    Mouse()->SetCursorPos(At(5, 5));
    EXPECT_EQ(Mouse()->GetCursorPos().x, At(5, 5).x);
    EXPECT_EQ(setCursor(), ui::LoadCursor(nullptr, ui::IDC_HAND));
    Mouse()->SetCursorPos(Form->ClientToScreen({5, 5}));
    EXPECT_EQ(setCursor(), ui::LoadCursor(nullptr, ui::IDC_SIZEWE));

    Screen()->SetCursor(crHourGlass);
    EXPECT_EQ(setCursor(), ui::LoadCursor(nullptr, ui::IDC_WAIT));
    Screen()->SetCursor(crDefault);
    EXPECT_EQ(setCursor(), ui::LoadCursor(nullptr, ui::IDC_SIZEWE));
}

TEST_F(InputTest, TheSplitCursorShowsAsTheDesktopsSplitter)
{
    Target->SetCursor(crHSplit);
    Post(ui::WM_MOUSEMOVE, At(3, 4));  // somewhere the pointer was not: a move that goes nowhere is none
    Post(ui::WM_MOUSEMOVE, At(4, 5));
    EXPECT_EQ(ui::GetCursor(), Screen()->GetCursors(crHSplit));
    EXPECT_EQ(ui::GetWindowWidget(Form->GetHandle())->cursor().shape(), Qt::SplitHCursor);
}

TEST(ScreenCursors, StandardRegisteredAndUnknownIdentifiers)
{
    EXPECT_EQ(Screen()->GetCursors(crIBeam), ui::LoadCursor(nullptr, ui::IDC_IBEAM));
    EXPECT_EQ(Screen()->GetCursors(crNone), nullptr);
    EXPECT_EQ(Screen()->GetCursors(4711), ui::LoadCursor(nullptr, ui::IDC_ARROW));
    const ui::HCURSOR own = ui::LoadCursor(nullptr, ui::IDC_HELP);
    Screen()->SetCursors(100, own);
    EXPECT_EQ(Screen()->GetCursors(100), own);
    Screen()->SetCursors(100, nullptr);
    EXPECT_EQ(Screen()->GetCursors(100), ui::LoadCursor(nullptr, ui::IDC_ARROW));
}

TEST_F(InputTest, FreedMenuIsForgotten)
{
    auto menu = std::make_unique<RecordingMenu>(nullptr);
    Target->SetPopupMenu(menu.get());
    menu.reset();
    EXPECT_EQ(Target->GetPopupMenu(), nullptr);
}

}  // namespace
}  // namespace ovrel::toolkit
