// A windowed control moved from one parent to another keeps its window: the same handle, its children's windows,
// the focus and the mouse, with no WM_DESTROY, as a docked window that floats off and docks again needs.
#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace ovrel::toolkit {
namespace {

using testing::LoggedMessage;
using testing::MessageLog;

// form: left, right (docks); other: a second form (a floating frame); the window holds inner, which has the focus.
class KeepWindowTest : public ::testing::Test {
protected:
    KeepWindowTest()
    {
        Form->SetBounds(0, 0, 400, 300);
        Left->SetParent(Form.get());
        Left->SetBounds(0, 0, 150, 300);
        Right->SetParent(Form.get());
        Right->SetBounds(200, 0, 150, 300);
        Window->SetParent(Left);
        Window->SetBounds(10, 10, 100, 80);
        Inner->SetParent(Window);
        Inner->SetBounds(5, 5, 50, 20);
        Inner->SetTabStop(true);
        Other->SetBounds(500, 0, 200, 150);
        Form->Show();
        Other->Show();
        Inner->SetFocus();
        Application.ProcessMessages();
        WindowHandle = Window->GetHandle();
        InnerHandle = Inner->GetHandle();
        Log.Watch(Window, "window");
        Log.Watch(Inner, "inner");
    }
    ~KeepWindowTest() override
    {
        Log.Forget(Window);
        Log.Forget(Inner);
    }
    // The window went along; with focus, the focus too (a window that hides cannot keep it).
    void ExpectKept(TWinControl* parent, bool focus = true)
    {
        EXPECT_EQ(Window->GetParent(), parent);
        ASSERT_TRUE(Window->HandleAllocated());
        EXPECT_EQ(Window->GetHandle(), WindowHandle);
        EXPECT_EQ(Inner->GetHandle(), InnerHandle);
        EXPECT_TRUE(ui::IsWindow(WindowHandle));
        EXPECT_EQ(ui::GetParent(WindowHandle), parent->GetHandle());
        EXPECT_EQ(ui::GetParent(InnerHandle), WindowHandle);
        EXPECT_EQ(std::count(Log.Entries.begin(), Log.Entries.end(), LoggedMessage{"window", ui::WM_DESTROY}), 0);
        EXPECT_EQ(std::count(Log.Entries.begin(), Log.Entries.end(), LoggedMessage{"inner", ui::WM_DESTROY}), 0);
        if (!focus)
            return;
        EXPECT_EQ(ui::GetFocus(), InnerHandle);
        EXPECT_TRUE(Inner->Focused());
        EXPECT_TRUE(Log.Entries.empty()) << "no focus leaving or entering";
    }

    TApplication Application{nullptr};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    std::unique_ptr<TForm> Other = std::make_unique<TForm>(nullptr);
    TWinControl* Left = new TWinControl(Form.get());
    TWinControl* Right = new TWinControl(Form.get());
    TWinControl* Window = new TWinControl(Form.get());
    TWinControl* Inner = new TWinControl(Form.get());
    ui::HWND WindowHandle = nullptr;
    ui::HWND InnerHandle = nullptr;
    MessageLog Log{{ui::WM_DESTROY, ui::WM_NCDESTROY, CM_ENTER, CM_EXIT}};
};

TEST_F(KeepWindowTest, MovingBetweenParentsAndFormsKeepsTheWindowItsChildrenAndTheFocus)
{
    Window->SetParent(Right);
    ExpectKept(Right);
    EXPECT_EQ(Form->GetActiveControl(), Inner);

    // Floating: another form, another top-level window.
    Window->SetParent(Other.get());
    ExpectKept(Other.get());
    EXPECT_EQ(Other->GetActiveControl(), Inner);
    EXPECT_TRUE(Inner->GetShowing());

    Window->SetParent(Left);
    ExpectKept(Left);
    EXPECT_EQ(Form->GetActiveControl(), Inner);
    EXPECT_EQ(Left->GetControlCount(), 1);
    EXPECT_EQ(Other->GetControlCount(), 0);
}

TEST_F(KeepWindowTest, TheMouseStaysWithTheMovedControlAndAHiddenNewParentHidesIt)
{
    SetCaptureControl(Window);
    Window->SetParent(Right);
    EXPECT_EQ(GetCaptureControl(), Window);
    EXPECT_EQ(ui::GetCapture(), WindowHandle);
    SetCaptureControl(nullptr);

    // A form not shown yet gets its window made for the control, which is hidden with it until it shows.
    auto later = std::make_unique<TForm>(nullptr);
    Window->SetParent(later.get());
    ExpectKept(later.get(), false);
    EXPECT_FALSE(Window->GetShowing());
    EXPECT_FALSE(ui::IsWindowVisible(WindowHandle));
    later->Show();
    EXPECT_TRUE(ui::IsWindowVisible(WindowHandle));
    Window->SetParent(Left);
    EXPECT_EQ(Window->GetHandle(), WindowHandle);
}

TEST_F(KeepWindowTest, WithoutAWindowToGoIntoOrWithoutANewParentTheWindowGoes)
{
    // A parentless control with no window of its own to live in cannot take the window.
    TWinControl loose(nullptr);
    Window->SetParent(&loose);
    EXPECT_FALSE(Window->HandleAllocated());
    EXPECT_FALSE(ui::IsWindow(WindowHandle));
    EXPECT_NE(std::find(Log.Entries.begin(), Log.Entries.end(), LoggedMessage{"window", ui::WM_DESTROY}),
              Log.Entries.end());
    Window->SetParent(Left);
    Application.ProcessMessages();
    EXPECT_TRUE(Window->GetShowing());

    const ui::HWND again = Window->GetHandle();
    Window->SetParent(nullptr);
    EXPECT_FALSE(Window->HandleAllocated());
    EXPECT_FALSE(ui::IsWindow(again));
    Window->SetParent(Left);
}

}  // namespace
}  // namespace ovrel::toolkit
