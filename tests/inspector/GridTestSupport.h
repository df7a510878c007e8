#pragma once
// Forms of the offscreen platform for the window tests: input through the queue, a clock that moves only
// when told, and a grid whose pixels are read back and whose invalidations are recorded.

#include "inspector/PropertiesView.h"
#include "inspector/PropertyItemClasses.h"

#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolkit/Forms.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::inspector::testing {

inline toolkit::TColor Resolved(toolkit::TColor color)
{
    return static_cast<toolkit::TColor>(toolkit::ColorToRGB(color));
}

/// A form of the offscreen platform, with a clock and timers that move only when told and input through
/// the queue. Left with nothing queued, captured or overridden.
class OnForm : public ::testing::Test {
public:
    OnForm()
    {
        ui::ClearMessageQueue();
        ui::SetApplicationActive(true);
        Form->SetBounds(100, 100, 340, 300);
    }
    ~OnForm() override
    {
        toolkit::Screen()->SetCursor(toolkit::crDefault);
        ui::ReleaseCapture();
        Form.reset();
        ui::ClearMessageQueue();
    }

    void Pump() { Application.ProcessMessages(); }
    /// Runs what falls due within ms.
    void Wait(int ms)
    {
        Clock.Advance(static_cast<std::uint64_t>(ms));
        Pump();
    }
    /// Mouse input at a client point of control, as the desktop delivers it.
    void MouseAt(const toolkit::TControl* control, ui::UINT msg, toolkit::TPoint client, ui::UINT modifiers = 0,
                 int wheel = 0)
    {
        ui::PostMouseInput(msg, control->ClientToScreen(client), modifiers, wheel);
        Pump();
    }

    ui::SystemTableOverride Colours;  // classic system colours
    ui::ManualClock Clock;
    ui::FakeTimerDriver Timers{Clock};
    ui::ScopedService<ui::IClock> ClockService{ui::SetClock, Clock};
    ui::ScopedService<ui::ITimerDriver> TimerService{ui::SetTimerDriver, Timers};
    toolkit::TApplication Application{nullptr};
    std::unique_ptr<toolkit::TForm> Form = std::make_unique<toolkit::TForm>(nullptr);
};

/// A grid on the form, with the pixels of its client area read back and its invalidations recorded.
class ShownGrid : public OnForm {
public:
    ShownGrid()
    {
        Grid->SetParent(Form.get());
        ui::SetInvalidationObserver([this](ui::HWND window, const ui::RECT& rect) {
            if (Grid->HandleAllocated() && window == Grid->GetHandle())
                Invalidated.push_back(rect);
        });
    }
    ~ShownGrid() override { ui::SetInvalidationObserver({}); }

    /// Shows the form with the grid at (10, 10) in the given size, painted and focused.
    void Show(int width = 300, int height = 100)
    {
        Grid->SetBounds(10, 10, width, height);
        Form->Show();
        Pump();
        Grid->SetFocus();
        Pump();
        Invalidated.clear();
    }
    void Mouse(ui::UINT msg, toolkit::TPoint client, ui::UINT modifiers = 0, int wheel = 0)
    {
        MouseAt(Grid, msg, client, modifiers, wheel);
    }
    /// A single click: long enough after the last one not to make a double click.
    void Click(toolkit::TPoint client)
    {
        Clock.Advance(1000);
        Mouse(ui::WM_LBUTTONDOWN, client);
        Mouse(ui::WM_LBUTTONUP, client);
    }
    /// As the desktop sends it: a click, then the second press as a double click, and its release.
    void DoubleClick(toolkit::TPoint client)
    {
        Click(client);
        Mouse(ui::WM_LBUTTONDBLCLK, client);
        Mouse(ui::WM_LBUTTONUP, client);
    }
    void Key(ui::WORD key, ui::UINT modifiers = 0)
    {
        ui::PostKeyInput(ui::WM_KEYDOWN, key, {}, modifiers);
        ui::PostKeyInput(ui::WM_KEYUP, key, {}, modifiers);
        Pump();
    }

    /// A pixel of the client area as the window shows it.
    [[nodiscard]] toolkit::TColor Pixel(int x, int y) const
    {
        const QImage* image = ui::GetWindowImage(Grid->GetHandle());
        const ui::RECT inset = ui::GetClientInset(Grid->GetHandle());
        const QRgb p = image->pixel(inset.left + x, inset.top + y);
        return static_cast<toolkit::TColor>(ui::RGB(qRed(p), qGreen(p), qBlue(p)));
    }
    /// Whether any pixel of a client rectangle differs from colour (text, a line, a box).
    [[nodiscard]] bool HasInk(const toolkit::TRect& r, toolkit::TColor background) const
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (Pixel(x, y) != background)
                    return true;
        return false;
    }
    /// Whether one of the recorded invalidations covers the rectangle.
    [[nodiscard]] bool WasInvalidated(const toolkit::TRect& r) const
    {
        for (const ui::RECT& i : Invalidated)
            if (i.left <= r.left && i.top <= r.top && i.right >= r.right && i.bottom >= r.bottom)
                return true;
        return false;
    }

    TPropertiesView* Grid = new TPropertiesView(Form.get());
    std::vector<ui::RECT> Invalidated;
};

}  // namespace ovrel::inspector::testing
