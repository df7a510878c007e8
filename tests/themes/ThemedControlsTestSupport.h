#pragma once
// The fixture of the themed-control tests: a theme runtime, a fake clock and timer driver, an application
// that pumps the queue, and a form shown on the offscreen platform; mouse input is scripted at screen points
// and what a control shows is read back from an image.

#include "ThemeTestSupport.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "platform/ui/Window.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace ovrel::themes::testing {

/// What a windowed control shows, drawn into an image of its client size (erase, paint, windowless children).
class Shot {
public:
    explicit Shot(toolkit::TWinControl& control) : Image(control.GetClientWidth(), control.GetClientHeight())
    {
        control.PaintTo(Image.Dc(), 0, 0);
    }
    ui::testing::Canvas Image;
};

class ThemedControlTest : public ThemeRuntimeTest {
protected:
    void SetUp() override
    {
        ThemeRuntimeTest::SetUp();
        ui::ClearMessageQueue();
        Form = std::make_unique<toolkit::TForm>(nullptr);
        Form->SetBorderStyle(toolkit::bsNone);
        Form->SetBounds(100, 100, 400, 200);
        Form->Show();
    }
    void TearDown() override
    {
        // Before the runtime: the controls leave the nexus as they go.
        Form.reset();
        ui::ClearMessageQueue();
        ThemeRuntimeTest::TearDown();
    }

    /// Mouse input at a client point of control, then a pass of the queue.
    void Mouse(ui::UINT msg, const toolkit::TControl& control, int x, int y)
    {
        ui::PostMouseInput(msg, control.ClientToScreen({x, y}));
        Application.ProcessMessages();
    }
    void MouseAtScreen(ui::UINT msg, ui::POINT screen)
    {
        ui::PostMouseInput(msg, screen);
        Application.ProcessMessages();
    }
    void Wait(std::uint64_t ms)
    {
        Clock.Advance(ms);
        Application.ProcessMessages();
    }

    ui::ManualClock Clock;
    ui::FakeTimerDriver Driver{Clock};
    ui::ScopedService<ui::IClock> ClockGuard{ui::SetClock, Clock};
    ui::ScopedService<ui::ITimerDriver> DriverGuard{ui::SetTimerDriver, Driver};
    toolkit::TApplication Application{nullptr};
    std::unique_ptr<toolkit::TForm> Form;
};

}  // namespace ovrel::themes::testing
