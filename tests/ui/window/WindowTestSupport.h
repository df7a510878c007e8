#pragma once
// A QApplication for the whole executable, a recording window procedure, and a fixture that puts fake
// services in place and leaves no window or message behind.

#include "platform/ui/Services.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::ui::test {

struct Received {
    HWND Window;
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
};

// Records every message that reaches the windows it serves; an optional handler answers before the default.
class Recorder {
public:
    using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

    WNDPROC Proc()
    {
        return [this](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            Log.push_back({w, m, wp, lp});
            if (OnMessage) {
                if (const auto answer = OnMessage(w, m, wp, lp))
                    return *answer;
            }
            return DefWindowProc(w, m, wp, lp);
        };
    }
    // The messages of one number, in order.
    std::vector<Received> Of(UINT message) const
    {
        std::vector<Received> out;
        for (const Received& r : Log) {
            if (r.Message == message)
                out.push_back(r);
        }
        return out;
    }
    // The order of a set of messages as they arrived.
    std::vector<UINT> Sequence(std::initializer_list<UINT> interesting) const
    {
        std::vector<UINT> out;
        for (const Received& r : Log) {
            for (UINT m : interesting) {
                if (r.Message == m)
                    out.push_back(m);
            }
        }
        return out;
    }

    std::vector<Received> Log;
    Handler OnMessage;
};

class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    HWND Create(DWORD style, RECT bounds, HWND parent = nullptr, DWORD exStyle = 0,
                std::string className = "OvrelTest");
    // A visible native child of the given class that the widget stands for (the window owns the widget).
    HWND CreateNative(const std::string& className, QWidget* widget, RECT bounds, HWND parent);
    // Retrieves and dispatches everything queued, as a message loop would, without waiting.
    void Pump();

    Recorder Rec;
    ManualClock FakeClock;
    FakeTimerDriver Timers{FakeClock};
    RecordingExceptionHandler Errors;
    FixedScreens TwoScreens{{{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 728}, true},
                             {RECT{1024, 0, 2304, 1024}, RECT{1024, 0, 2304, 1024}, false}}};

private:
    std::vector<HWND> FCreated;  // message-only windows are in no list of the layer's
    ScopedService<IClock> FClock{SetClock, FakeClock};
    ScopedService<ITimerDriver> FTimers{SetTimerDriver, Timers};
    ScopedService<IExceptionHandler> FErrors{SetExceptionHandler, Errors};
    ScopedService<IScreens> FScreens{SetScreens, TwoScreens};
};

}  // namespace ovrel::ui::test
