// Floating windows and their frame: when a floating window shows (the application's activity, its form's
// visibility and state), whom its frame belongs to and whether it stays on top, where the activation goes,
// the frame's own geometry and look, closing and Escape sent on to the form, the form going away, and the
// keyboard focus inside a floating window.
#include "toolbars/FloatingWindow.h"

#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "toolbars/DockWindowsTestSupport.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;
using testing::DockFormFixture;
using testing::TTestWindow;

class FloatingWindowTest : public DockFormFixture {
protected:
    /// A window floating at (300, 200), owned by the form unless an owner is given.
    TTestWindow* Float(TComponent* owner = nullptr)
    {
        auto* window = new TTestWindow(owner != nullptr ? owner : Form);
        window->SetName("Floater");
        window->SetParent(Top);
        window->MoveFloatingTo(TPoint{300, 200});
        window->SetFloating(true);
        Pump();
        return window;
    }
    static bool Visible(TWinControl* control) { return ui::IsWindowVisible(control->GetHandle()) != ui::FALSE; }
    static ui::HWND OwnerOf(TWinControl* control)
    {
        return reinterpret_cast<ui::HWND>(ui::GetWindowLongPtr(control->GetHandle(), ui::GWL_HWNDPARENT));
    }
    static bool TopMost(TWinControl* control)
    {
        return (ui::GetWindowLongPtr(control->GetHandle(), ui::GWL_EXSTYLE) & ui::WS_EX_TOPMOST) != 0;
    }
};

struct InactiveRow {
    const char* Name;
    TTBFloatingMode Mode;
    bool HideWhenInactive;
    bool VisibleWhileInactive;
};

class FloatingWhileInactive : public FloatingWindowTest, public ::testing::WithParamInterface<InactiveRow> {};

TEST_P(FloatingWhileInactive, HidesWithTheApplicationOnlyWhenAskedTo)
{
    const InactiveRow& row = GetParam();
    TTestWindow* a = Float();
    a->SetFloatingMode(row.Mode);
    a->SetHideWhenInactive(row.HideWhenInactive);
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    ASSERT_TRUE(Visible(frame));
    ASSERT_TRUE(Visible(a));
    EXPECT_FALSE(a->GetInactiveCaption());

    ui::SetApplicationActive(false);
    EXPECT_EQ(Visible(frame), row.VisibleWhileInactive);
    EXPECT_EQ(Visible(a), row.VisibleWhileInactive);
    EXPECT_EQ(a->GetInactiveCaption(), row.VisibleWhileInactive);

    ui::SetApplicationActive(true);
    EXPECT_TRUE(Visible(frame));
    EXPECT_TRUE(Visible(a));
    EXPECT_FALSE(a->GetInactiveCaption());
}

INSTANTIATE_TEST_SUITE_P(Rows, FloatingWhileInactive,
                         ::testing::Values(InactiveRow{"OnParentFormHiding", fmOnTopOfParentForm, true, false},
                                           InactiveRow{"OnParentFormStaying", fmOnTopOfParentForm, false, true},
                                           InactiveRow{"OnAllFormsHiding", fmOnTopOfAllForms, true, false},
                                           InactiveRow{"OnAllFormsStaying", fmOnTopOfAllForms, false, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(FloatingWindowTest, FollowsItsFormsVisibilityAndState)
{
    TTestWindow* a = Float();
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    Form->Hide();
    EXPECT_FALSE(Visible(frame));
    Form->Show();
    EXPECT_TRUE(Visible(frame));

    // A form minimised hides it at once, whether the program or the window manager minimises it, and the
    // restored form shows it again.
    const ui::HWND form = Form->GetHandle();
    QWidget* widget = ui::GetWindowWidget(form);
    struct Way {
        const char* Name;
        std::function<void()> Minimise, Restore;
    };
    const Way ways[] = {
        {"ShowWindow", [form] { ui::ShowWindow(form, ui::SW_MINIMIZE); },
         [form] { ui::ShowWindow(form, ui::SW_RESTORE); }},
        {"window manager",
         [widget] {
             widget->setWindowState(widget->windowState() | Qt::WindowMinimized);
             ui::ProcessQtEvents();
         },
         [widget] {
             widget->setWindowState(widget->windowState() & ~Qt::WindowMinimized);
             ui::ProcessQtEvents();
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.Name);
        way.Minimise();
        EXPECT_TRUE(ui::IsIconic(form));
        EXPECT_FALSE(Visible(frame));
        EXPECT_FALSE(Visible(a));
        way.Restore();
        EXPECT_FALSE(ui::IsIconic(form));
        EXPECT_TRUE(Visible(frame));
        EXPECT_TRUE(Visible(a));
    }

    // Nor while the application is minimised: its main form is, even when the window's own form is not.
    auto main = std::make_unique<TForm>(nullptr);
    main->SetBounds(0, 0, 200, 100);
    main->Show();
    TCustomForm* savedMain = Application()->GetMainForm();
    Application()->SetMainForm(main.get());
    ui::ShowWindow(main->GetHandle(), ui::SW_MINIMIZE);
    ui::SetApplicationActive(false);
    ui::SetApplicationActive(true);
    EXPECT_FALSE(Visible(frame));
    Application()->SetMainForm(savedMain);
    main.reset();
    ui::SetApplicationActive(false);
    ui::SetApplicationActive(true);
    EXPECT_TRUE(Visible(frame));

    // On top of all forms it does not care about the form.
    a->SetFloatingMode(fmOnTopOfAllForms);
    Form->Hide();
    EXPECT_TRUE(Visible(frame));
    Form->Show();
}

TEST_F(FloatingWindowTest, FrameBelongsToTheFormOrTheApplicationAndStaysOnTopWhileEnabled)
{
    TTestWindow* a = Float();
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    EXPECT_EQ(OwnerOf(frame), Form->GetHandle());
    EXPECT_FALSE(TopMost(frame));

    a->SetFloatingMode(fmOnTopOfAllForms);
    EXPECT_EQ(OwnerOf(frame), Application()->GetHandle());
    EXPECT_TRUE(TopMost(frame));
    a->SetEnabled(false);
    EXPECT_FALSE(TopMost(frame));
    a->SetEnabled(true);
    EXPECT_TRUE(TopMost(frame));

    a->SetFloatingMode(fmOnTopOfParentForm);
    EXPECT_EQ(OwnerOf(frame), Form->GetHandle());
    EXPECT_FALSE(TopMost(frame));
}

TEST_F(FloatingWindowTest, ShowsWithoutTakingTheActivationAndOutlivesTheWindowThatOwnedItsFrame)
{
    ui::SetActiveWindow(Form->GetHandle());
    TTestWindow* a = Float();
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    EXPECT_EQ(ui::GetActiveWindow(), Form->GetHandle());

    // A window that owns the frame goes: the application takes it over.
    ui::CreateWindowInfo info;
    info.ClassName = "FrameOwner";
    info.Style = ui::WS_POPUP;
    ui::HWND owner = ui::CreateWindowEx(info);
    ui::SetWindowLongPtr(frame->GetHandle(), ui::GWL_HWNDPARENT, reinterpret_cast<ui::LONG_PTR>(owner));
    ASSERT_EQ(OwnerOf(frame), owner);
    ui::DestroyWindow(owner);
    EXPECT_EQ(OwnerOf(frame), Application()->GetHandle());
    EXPECT_TRUE(Visible(frame));
}

TEST_F(FloatingWindowTest, ActivationStaysInTheFrameFromItsFormAndLeavesItWhenItHides)
{
    // A tool window above the form: it must not be the one that takes the activation over.
    auto tool = std::make_unique<TForm>(nullptr);
    tool->SetBorderStyle(bsToolWindow);
    tool->SetBounds(20, 20, 100, 80);
    tool->Show();
    TTestWindow* a = Float();
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    ui::SetActiveWindow(Form->GetHandle());

    ui::SetActiveWindow(frame->GetHandle());
    EXPECT_EQ(ui::GetActiveWindow(), frame->GetHandle());

    a->Hide();
    EXPECT_FALSE(Visible(frame));
    EXPECT_EQ(ui::GetActiveWindow(), Form->GetHandle());

    // Activated from another window, the frame hands the activation to its form.
    a->Show();
    ui::SetActiveWindow(tool->GetHandle());
    ui::SetActiveWindow(frame->GetHandle());
    EXPECT_EQ(ui::GetActiveWindow(), Form->GetHandle());

    // A click on the frame does not activate it but brings its form forward.
    ui::SetActiveWindow(tool->GetHandle());
    EXPECT_EQ(
        ui::SendMessage(frame->GetHandle(), ui::WM_MOUSEACTIVATE, reinterpret_cast<ui::WPARAM>(frame->GetHandle()),
                        ui::MAKELPARAM(static_cast<int>(HT_TB_FLOATCAPTION), static_cast<int>(ui::WM_LBUTTONDOWN))),
        ui::MA_NOACTIVATE);
    EXPECT_EQ(ui::GetActiveWindow(), Form->GetHandle());
}

TEST_F(FloatingWindowTest, FrameGeometryComesFromTheHostedWindow)
{
    TTestWindow* a = Float();
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    const ui::HWND handle = frame->GetHandle();
    EXPECT_EQ(ui::GetWindowLongPtr(handle, ui::GWL_STYLE) & (ui::WS_POPUP | ui::WS_BORDER | ui::WS_THICKFRAME),
              static_cast<ui::LONG_PTR>(ui::WS_POPUP | ui::WS_BORDER | ui::WS_THICKFRAME));
    EXPECT_NE(ui::GetWindowLongPtr(handle, ui::GWL_EXSTYLE) & ui::WS_EX_TOOLWINDOW, 0);
    ui::MINMAXINFO info;
    ui::SendMessage(handle, ui::WM_GETMINMAXINFO, 0, reinterpret_cast<ui::LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize, (TPoint{1, 1}));
    EXPECT_EQ(info.ptMaxTrackSize, (TPoint{32767, 32767}));

    const int border = ui::GetSystemMetrics(ui::SM_CXFRAME);
    const int caption = ui::GetSystemMetrics(ui::SM_CYSMCAPTION);
    EXPECT_EQ(ui::GetClientInset(handle), (TRect{border, border + caption, border + 60, border + caption + 22}));
    const auto hit = [&](int x, int y) {
        const TPoint p = OnWindow(frame, x, y);
        return ui::SendMessage(handle, ui::WM_NCHITTEST, 0, ui::MAKELPARAM(p.x, p.y));
    };
    const TRect close = frame->GetCloseButtonRect();
    EXPECT_EQ(hit(border + 2, border + 2), HT_TB_FLOATCAPTION);
    EXPECT_EQ(hit((close.left + close.right) / 2, (close.top + close.bottom) / 2), HT_TB_CLOSEBUTTON);
    EXPECT_EQ(hit(border + 5, border + caption + 5), ui::HTCLIENT);
    EXPECT_EQ(hit(0, frame->GetHeight() / 2), ui::HTLEFT);
    EXPECT_EQ(hit(0, 0), ui::HTTOPLEFT);

    // Without Resizable: the fixed frame, and no sizing edges.
    a->SetResizable(false);
    Pump();
    const ui::HWND fixed = frame->GetHandle();
    EXPECT_EQ(ui::GetWindowLongPtr(fixed, ui::GWL_STYLE) & ui::WS_THICKFRAME, 0);
    const int thin = ui::GetSystemMetrics(ui::SM_CXFIXEDFRAME);
    EXPECT_EQ(frame->GetClientWidth(), 60);
    EXPECT_EQ(frame->GetWidth(), 60 + 2 * thin);
    EXPECT_EQ(hit(0, frame->GetHeight() / 2), ui::HTNOWHERE);
    EXPECT_TRUE(Visible(a));
}

TEST_F(FloatingWindowTest, CaptionIsPaintedInactiveOnlyWhileTheWindowStaysThroughInactivity)
{
    ui::SystemTableOverride flat;
    flat.Table().GradientCaptions = ui::FALSE;
    TTestWindow* a = Float();
    a->SetHideWhenInactive(false);
    a->SetCaption("Panel");
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    EXPECT_EQ(frame->GetCaption(), "Panel");
    const int border = ui::GetSystemMetrics(ui::SM_CXFRAME);
    const TRect close = frame->GetCloseButtonRect();
    const auto captionPixel = [&] {
        Pump();
        const QImage* image = ui::GetWindowImage(frame->GetHandle());
        // Around the close button the square has the caption's colour too.
        EXPECT_EQ(image->pixel(close.left, close.top) & 0xFFFFFF, image->pixel(border, border + 1) & 0xFFFFFF);
        return image->pixel(border, border + 1) & 0xFFFFFF;
    };
    const auto rgb = [](int index) {
        const ui::COLORREF c = ui::GetSysColor(index);
        return qRgb(ui::GetRValue(c), ui::GetGValue(c), ui::GetBValue(c)) & 0xFFFFFF;
    };
    EXPECT_EQ(captionPixel(), rgb(ui::COLOR_ACTIVECAPTION));
    ui::SetApplicationActive(false);
    EXPECT_EQ(captionPixel(), rgb(ui::COLOR_INACTIVECAPTION));
    ui::SetApplicationActive(true);
    EXPECT_EQ(captionPixel(), rgb(ui::COLOR_ACTIVECAPTION));
}

TEST_F(FloatingWindowTest, ClosingTheFrameClosesTheFormAndEscapeReturnsToIt)
{
    struct Closes {
        int Count = 0;
        void Close(TObject*, TCloseAction& action)
        {
            ++Count;
            action = caNone;
        }
    } closes;
    Form->OnClose = TCloseEvent(&closes, &Closes::Close);
    TTestWindow* a = Float();
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    ui::SendMessage(frame->GetHandle(), ui::WM_CLOSE, 0, 0);
    EXPECT_EQ(closes.Count, 1);
    EXPECT_TRUE(Visible(frame));
    EXPECT_TRUE(a->GetVisible());

    // Escape typed in the floating window gives the focus back to the form.
    auto* field = new TCustomControl(Form);
    field->SetBounds(5, 3, 40, 16);
    field->SetParent(a);
    field->SetTabStop(true);
    ui::SetActiveWindow(Form->GetHandle());
    field->SetFocus();
    ASSERT_EQ(ui::GetActiveWindow(), frame->GetHandle());
    ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_ESCAPE);
    Pump();
    EXPECT_EQ(ui::GetActiveWindow(), Form->GetHandle());
    EXPECT_NE(ui::GetFocus(), field->GetHandle());
    Form->OnClose.Clear();
}

TEST_F(FloatingWindowTest, KeysReachTheFocusedControlOfAFloatingWindow)
{
    struct KeyLog {
        std::vector<std::uint16_t> Keys;
        void Down(TObject*, std::uint16_t& key, TShiftState) { Keys.push_back(key); }
    } log;
    TTestWindow* a = Float();
    auto* tree = new TCustomControl(Form);
    tree->SetBounds(2, 2, 50, 18);
    tree->SetParent(a);
    tree->SetTabStop(true);
    tree->OnKeyDown = TKeyEvent(&log, &KeyLog::Down);
    ui::SetActiveWindow(Form->GetHandle());
    // The layer's focus change activates the frame, which keeps the activation since it came from its form.
    tree->SetFocus();
    EXPECT_EQ(ui::GetActiveWindow(), a->GetFloatParent()->GetHandle());
    EXPECT_EQ(ui::GetFocus(), tree->GetHandle());
    ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_DOWN);
    ui::PostKeyInput(ui::WM_KEYUP, ui::VK_DOWN);
    Pump();
    EXPECT_EQ(log.Keys, (std::vector<std::uint16_t>{ui::VK_DOWN}));
}

TEST_F(FloatingWindowTest, AFormThatGoesTakesItsFloatingWindowsOffOrLeavesThemFormless)
{
    TComponent owner(nullptr);
    TTestWindow* parentForm = Float(&owner);
    auto* allForms = new TTestWindow(&owner);
    allForms->SetParent(Left);
    allForms->SetFloatingMode(fmOnTopOfAllForms);
    allForms->SetFloating(true);
    TTBFloatingWindowParent* allFrame = allForms->GetFloatParent();
    Pump();

    delete Form;
    Form = nullptr;
    Top = Bottom = Left = Right = nullptr;
    Pump();
    EXPECT_EQ(parentForm->GetParent(), nullptr);
    EXPECT_EQ(parentForm->GetFloatParent(), nullptr);
    EXPECT_FALSE(parentForm->GetFloating());
    EXPECT_EQ(parentForm->GetLastDock(), nullptr);

    // On top of all forms it floats on, in a frame without a form: closing and Escape there do nothing.
    EXPECT_TRUE(allForms->GetFloating());
    EXPECT_EQ(allFrame->GetOwnerForm(), nullptr);
    ui::SendMessage(allFrame->GetHandle(), ui::WM_CLOSE, 0, 0);
    EXPECT_EQ(allFrame->Perform(CM_DIALOGKEY, ui::VK_ESCAPE, 0), 0);
    ui::SetActiveWindow(allFrame->GetHandle());
    EXPECT_TRUE(allForms->GetFloating());
    EXPECT_TRUE(Visible(allFrame));
    delete allForms;
    delete parentForm;
    Pump();
}

TEST_F(FloatingWindowTest, CaptionDoubleClickDocksTheWindowAndFreesTheFrameAfterwards)
{
    TTestWindow* a = Float();
    const int border = ui::GetSystemMetrics(ui::SM_CXFRAME);
    PostMouse(ui::WM_LBUTTONDBLCLK, OnWindow(a->GetFloatParent(), border + 3, border + 3));
    Pump();
    EXPECT_EQ(a->GetCurrentDock(), Top);
    EXPECT_EQ(a->GetFloatParent(), nullptr);
    EXPECT_EQ(Top->SelfCheck(), "");
}

TEST_F(FloatingWindowTest, CloseButtonOfTheFrameClosesTheWindow)
{
    TTestWindow* a = Float();
    TTBFloatingWindowParent* frame = a->GetFloatParent();
    const TRect close = frame->GetCloseButtonRect();
    const TPoint centre = OnWindow(frame, (close.left + close.right) / 2, (close.top + close.bottom) / 2);
    PostMouse(ui::WM_LBUTTONDOWN, centre);
    PostMouse(ui::WM_LBUTTONUP, centre);
    Pump();
    EXPECT_FALSE(a->GetVisible());
    EXPECT_FALSE(Visible(frame));
    EXPECT_FALSE(frame->GetCloseButtonDown());
    EXPECT_TRUE(a->GetFloating());
}

}  // namespace
}  // namespace ovrel::toolbars
