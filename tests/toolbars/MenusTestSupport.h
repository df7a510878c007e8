#pragma once
// Menus end to end: real pop-up windows and the real menu loop, fed by a script of input that plays one step
// each time the loop waits with nothing queued (so a step can follow what the previous one opened), on a
// manual clock with fixed screens, a sound recorder and an accessibility recorder.

#include "ItemsTestSupport.h"
#include "ToolbarsTestSupport.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Messages.h"
#include "platform/ui/RegistryValues.h"
#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/Popup.h"
#include "toolbars/View.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ovrel::toolbars::testing {

/// Plays one step whenever the queue runs dry: input, a pause on the clock (timers come due), or a check.
/// With no step left it lets due timers come a few times, then throws, so a loop that never ends fails.
class InputScript final : public ui::ITimerDriver {
public:
    explicit InputScript(ui::ManualClock& clock) : FClock(clock) {}

    void Wait(std::optional<std::uint64_t> msUntilDue) override
    {
        if (!Steps.empty()) {
            std::function<void()> step = std::move(Steps.front());
            Steps.pop_front();
            step();
            return;
        }
        if (msUntilDue.has_value() && ++FIdleTimers < 50) {
            FClock.Advance(*msUntilDue);
            return;
        }
        throw std::runtime_error("the input script ran out");
    }
    void TimerChanged(ui::HWND, std::uintptr_t, ui::UINT) override {}

    InputScript& Then(std::function<void()> step)
    {
        Steps.push_back(std::move(step));
        return *this;
    }
    /// Where a mouse step goes, found when the step plays (what it points at may open only just before).
    using TWhere = std::function<toolkit::TPoint()>;
    static TWhere At(toolkit::TPoint screen)
    {
        return [screen] { return screen; };
    }

    InputScript& Mouse(ui::UINT message, TWhere where)
    {
        return Then([message, where = std::move(where)] { ui::PostMouseInput(message, where()); });
    }
    InputScript& Move(TWhere where) { return Mouse(ui::WM_MOUSEMOVE, std::move(where)); }
    InputScript& Press(TWhere where, ui::UINT message = ui::WM_LBUTTONDOWN) { return Mouse(message, std::move(where)); }
    InputScript& Release(TWhere where, ui::UINT message = ui::WM_LBUTTONUP) { return Mouse(message, std::move(where)); }
    /// Move, press and release at one point.
    InputScript& Click(const TWhere& where) { return Move(where).Press(where).Release(where); }
    /// A key pressed and released; text is what it types.
    InputScript& Key(ui::WORD key, std::string text = {}, ui::UINT modifiers = 0)
    {
        return Then([key, text, modifiers] {
            ui::PostKeyInput(ui::WM_KEYDOWN, key, text, modifiers);
            ui::PostKeyInput(ui::WM_KEYUP, key, {}, modifiers);
        });
    }
    /// Lets the clock run, so that the timers due by then fire.
    InputScript& Pause(std::uint64_t milliseconds)
    {
        return Then([this, milliseconds] { FClock.Advance(milliseconds); });
    }

    std::deque<std::function<void()>> Steps;

private:
    ui::ManualClock& FClock;
    int FIdleTimers = 0;
};

/// A pop-up window that records what it is told as it shows, and answers the animation question as told.
class TRecordingPopupWindow : public TTBPopupWindow {
public:
    using TTBPopupWindow::TTBPopupWindow;

    static inline std::vector<ui::WPARAM> Showing;  // every WM_TB_POPUPSHOWING, in order
    static inline ui::LRESULT AnimationAnswer = 0;  // the answer to tbpsAnimationAllowed
    static inline int Paints = 0;

protected:
    void WMTBPopupShowing(toolkit::TMessage& message) override
    {
        Showing.push_back(message.WParam);
        message.Result = message.WParam == tbpsAnimationAllowed ? AnimationAnswer : 0;
    }
    void Paint() override
    {
        ++Paints;
        TTBPopupWindow::Paint();
    }
};

/// A submenu item whose pop-ups are recording windows.
class TRecordingPopupItem : public TTBCustomItem {
public:
    explicit TRecordingPopupItem(toolkit::TComponent* owner) : TTBCustomItem(owner) { FItemStyle |= itsSubmenu; }
    [[nodiscard]] TTBPopupWindowClass GetPopupWindowClass() const override
    {
        return TTBPopupWindowClass::Of<TRecordingPopupWindow>();
    }
};

/// Counts the clicks of items, with what was open when each ran.
class ClickLog {
public:
    void Attach(TTBCustomItem* item) { item->OnClick = toolkit::TNotifyEvent(this, &ClickLog::Clicked); }
    std::vector<std::string> Clicks;
    std::vector<bool> LoopRunning;  // whether the menu still held the mouse when the click ran

private:
    void Clicked(toolkit::TObject* sender)
    {
        Clicks.push_back(static_cast<TTBCustomItem*>(sender)->GetCaption());
        LoopRunning.push_back(ui::GetCapture() != nullptr);
    }
};

/// A form on a fixed 1024 x 768 screen, active, with the services a menu reads replaced by recorders.
class MenusFixture : public ::testing::Test {
protected:
    explicit MenusFixture(ui::RECT screen = {0, 0, 1024, 768})
        : FScreens({ui::MonitorRects{screen, screen, true}}), Script(Clock), FClockGuard(ui::SetClock, Clock),
          FDriverGuard(ui::SetTimerDriver, Script), FScreensGuard(ui::SetScreens, FScreens),
          FSoundGuard(ui::SetSound, Sound), FSinkGuard(ui::SetAccessibilitySink, Events),
          FRegistryGuard(ui::SetRegistryValues, Registry)
    {
        ui::ClearMessageQueue();
        SetPopupSoundPlayed(false);
        TRecordingPopupWindow::Showing.clear();
        TRecordingPopupWindow::AnimationAnswer = 0;
        TRecordingPopupWindow::Paints = 0;
        Form = std::make_unique<toolkit::TForm>(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Form->Show();
        ui::SetActiveWindow(Form->GetHandle());
        LastMousePos() = toolkit::TPoint{LastMousePosUnknown, 0};
    }
    ~MenusFixture() override
    {
        Form.reset();
        ui::ClearMessageQueue();
        ui::MSG msg;
        ui::PeekMessage(&msg, nullptr, 0, 0, ui::PM_NOREMOVE);
    }

    /// Handles what the loop left in the queue: deferred commands, presses it left for their targets.
    void PumpApplication() { toolkit::Application()->ProcessMessages(); }

    /// Makes the sounds of menus be on, as the user's settings would.
    void EnableMenuSounds()
    {
        Registry.SetString("AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current", "", "popup.wav");
        Registry.SetString("AppEvents\\Schemes\\Apps\\.Default\\MenuCommand\\.Current", "", "command.wav");
    }

    ui::ManualClock Clock;

private:
    ui::FixedScreens FScreens;

protected:
    InputScript Script;
    ui::RecordingSound Sound;
    ui::RecordingAccessibilitySink Events;
    ui::FakeRegistryValues Registry;
    std::unique_ptr<toolkit::TForm> Form;

private:
    ui::ScopedService<ui::IClock> FClockGuard;
    ui::ScopedService<ui::ITimerDriver> FDriverGuard;
    ui::ScopedService<ui::IScreens> FScreensGuard;
    ui::ScopedService<ui::ISound> FSoundGuard;
    ui::ScopedService<ui::IAccessibilitySink> FSinkGuard;
    ui::ScopedService<ui::IRegistryValues> FRegistryGuard;
};

/// The pop-up windows of menus that are showing, top of the z-order first.
inline std::vector<TTBPopupWindow*> ShownPopups()
{
    std::vector<TTBPopupWindow*> popups;
    for (ui::HWND window : ui::GetTopLevelWindows()) {
        auto* popup = dynamic_cast<TTBPopupWindow*>(toolkit::TWinControl::FindControl(window));
        if (popup != nullptr && ui::IsWindowVisible(window))
            popups.push_back(popup);
    }
    return popups;
}

/// The centre of the viewer of item in the view of a shown pop-up, on the screen.
inline toolkit::TPoint CentreOf(const TTBView& view, const TTBCustomItem* item)
{
    const toolkit::TRect& r = view.FindViewerOfItem(item)->GetBoundsRect();
    return view.GetWindow()->ClientToScreen(toolkit::TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

/// The view of the shown pop-up that shows item's children.
inline TTBView* PopupViewOf(const TTBCustomItem* item)
{
    for (TTBPopupWindow* popup : ShownPopups()) {
        if (popup->GetView()->GetParentItem() == item)
            return popup->GetView();
    }
    return nullptr;
}

}  // namespace ovrel::toolbars::testing
