// Menu animation: one process-wide state, a worker thread that only keeps the time, and the window's thread
// that draws each step.
#include "toolbars/Animation.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

// Levels move in steps of this size, so an animation draws at most 15 steps whatever its length.
constexpr int kLevelStep = 16;
constexpr int kBlendStartLevel = 32;

// What the worker and the window's thread share. Everything the worker writes or reads while it runs is
// atomic: the window's thread sees "finished" only after the level the worker left, and the worker sees
// "stop" as soon as it is set.
struct TShared {
    std::atomic<int> Level{0};
    std::atomic<bool> Stop{false};
    std::atomic<bool> Finished{false};
    std::atomic<bool> StepPending{false};
};

// Fixed before the worker starts; the worker reads its own copy.
struct TWorkerInput {
    HWND Window = nullptr;
    int Time = 0;
    std::uint32_t Serial = 0;
    std::int64_t Start = 0;  // the clock's count when the animation started
    RECT ClientOnScreen;
    POINT Cursor;
};

// The running animation; cleared at each start. Only the window's thread touches it, the worker only Shared.
struct TAnimation {
    HWND Window = nullptr;
    int Time = 0;
    bool Blend = false;
    std::uint8_t Direction = 0;
    HDC MemoryDC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ OldBitmap = nullptr;
    int Width = 0;
    int Height = 0;
    std::thread Worker;
    bool Running = false;
};

struct TAnimationProcess {
    TAnimation Animation;
    TShared Shared;
    // Outlives every animation and only grows, so a late step of a replaced animation is never taken for
    // the current one.
    std::atomic<std::uint32_t> Serial{0};

    TAnimationProcess() = default;
    TAnimationProcess(const TAnimationProcess&) = delete;
    TAnimationProcess& operator=(const TAnimationProcess&) = delete;
    // At the end of the process nothing is drawn any more; the worker is only stopped.
    ~TAnimationProcess()
    {
        Shared.Stop.store(true, std::memory_order_release);
        if (Animation.Worker.joinable())
            Animation.Worker.join();
    }
};

TAnimationProcess& Process()
{
    static TAnimationProcess process;
    return process;
}

void Work(TShared& shared, TWorkerInput input)
{
    IClock& clock = Clock();
    const std::int64_t ticksPerMs = std::max<std::int64_t>(clock.PerformanceFrequency() / 1000, 1);
    const std::int64_t start = input.Start;
    POINT lastCursor = input.Cursor;
    while (!shared.Stop.load(std::memory_order_acquire)) {
        const auto elapsed = static_cast<int>((clock.PerformanceCounter() - start) / ticksPerMs);
        const int step = MulDiv(255, elapsed, input.Time);
        const int target = step & ~(kLevelStep - 1);
        if (step < 0 || target > 254 || elapsed >= input.Time)
            break;
        POINT cursor;
        if (GetCursorPos(&cursor) != FALSE && (cursor.x != lastCursor.x || cursor.y != lastCursor.y)) {
            // The user reached the menu: show it at once.
            if (PtInRect(&input.ClientOnScreen, cursor) != FALSE)
                break;
            lastCursor = cursor;
        }
        const int level = shared.Level.load(std::memory_order_relaxed);
        if (target > level) {
            shared.Level.store(target, std::memory_order_release);
            if (!shared.StepPending.exchange(true, std::memory_order_acq_rel))
                SendNotifyMessage(input.Window, WM_TB_ANIMSTEP, 0, static_cast<LPARAM>(input.Serial));
            continue;
        }
        const int wait = std::max(MulDiv(level - step + kLevelStep, input.Time, 255), 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
    }
    shared.Finished.store(true, std::memory_order_release);
    SendNotifyMessage(input.Window, WM_TB_ANIMSTEP, 0, static_cast<LPARAM>(input.Serial));
}

bool StartWorkerThread(std::thread& thread, std::function<void()> work)
{
    try {
        thread = std::thread(std::move(work));
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

TAnimationWorkerStarter& InstalledStarter()
{
    static TAnimationWorkerStarter starter = nullptr;
    return starter;
}

BLENDFUNCTION ConstantAlpha(int level)
{
    BLENDFUNCTION blend;
    blend.BlendOp = AC_SRC_OVER;
    blend.SourceConstantAlpha = static_cast<BYTE>(std::clamp(level, 0, 255));
    return blend;
}

void SetRegion(HWND window, HRGN region)
{
    if (SetWindowRgn(window, region, FALSE) == 0 && region != nullptr)
        DeleteObject(region);
}

// Copies the captured image to the window at an offset.
void ShowImage(const TAnimation& a, int x, int y)
{
    HDC dc = GetDCEx(a.Window, nullptr, DCX_WINDOW | DCX_CACHE);
    BitBlt(dc, x, y, a.Width, a.Height, a.MemoryDC, 0, 0, SRCCOPY);
    ReleaseDC(a.Window, dc);
}

// The final image, the capture freed, and the window told. Runs on the window's thread only.
void Finish()
{
    TAnimation& a = Process().Animation;
    HWND window = a.Window;
    if (a.Blend)
        SetWindowLong(window, GWL_EXSTYLE, GetWindowLong(window, GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_LAYERED));
    else
        SetRegion(window, nullptr);
    ShowImage(a, 0, 0);
    SelectObject(a.MemoryDC, a.OldBitmap);
    DeleteObject(a.Bitmap);
    DeleteDC(a.MemoryDC);
    a.MemoryDC = nullptr;
    a.Bitmap = nullptr;
    a.Window = nullptr;
    SendMessage(window, WM_TB_ANIMENDED, 0, 0);
}

}  // namespace

TAnimationWorkerStarter SetAnimationWorkerStarter(TAnimationWorkerStarter starter)
{
    return std::exchange(InstalledStarter(), starter);
}

void StartMenuAnimation(HWND window, int milliseconds, bool blend, std::uint8_t direction)
{
    EndMenuAnimation(nullptr);
    TAnimationProcess& process = Process();
    TAnimation& a = process.Animation;
    TShared& shared = process.Shared;
    a = TAnimation{};
    shared.Level.store(0);
    shared.Stop.store(false);
    shared.Finished.store(false);
    shared.StepPending.store(false);
    a.Window = window;
    a.Time = milliseconds;
    a.Blend = blend && GetCapabilities().LayeredConstantAlpha;
    a.Direction = direction;

    TWorkerInput input;
    input.Window = window;
    input.Time = milliseconds;
    GetCursorPos(&input.Cursor);
    GetClientRect(window, &input.ClientOnScreen);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&input.ClientOnScreen), 2);

    // The final look, captured once.
    RECT bounds;
    GetWindowRect(window, &bounds);
    a.Width = bounds.right - bounds.left;
    a.Height = bounds.bottom - bounds.top;
    HDC windowDC = GetDCEx(window, nullptr, DCX_WINDOW | DCX_CACHE);
    a.Bitmap = CreateCompatibleBitmap(windowDC, a.Width, a.Height);
    a.MemoryDC = CreateCompatibleDC(windowDC);
    ReleaseDC(window, windowDC);
    a.OldBitmap = SelectObject(a.MemoryDC, a.Bitmap);
    SendMessage(window, WM_PRINT, reinterpret_cast<WPARAM>(a.MemoryDC),
                PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    // The capture is what the window would paint now, and the steps draw it. A paint still owed from before
    // the capture would only end the animation as soon as the window shows; a later change still does.
    ValidateRect(window, nullptr);

    if (a.Blend) {
        SetWindowLong(window, GWL_EXSTYLE, GetWindowLong(window, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_LAYERED));
        shared.Level.store(kBlendStartLevel);
        const POINT position{bounds.left, bounds.top};
        const SIZE size{a.Width, a.Height};
        const POINT origin{0, 0};
        const BLENDFUNCTION alpha = ConstantAlpha(kBlendStartLevel);
        UpdateLayeredWindow(window, nullptr, &position, &size, a.MemoryDC, &origin, 0, &alpha, ULW_ALPHA);
    } else {
        SetRegion(window, CreateRectRgn(0, 0, 0, 0));
    }
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW |
                     SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS);

    input.Serial = process.Serial.fetch_add(1) + 1;
    input.Start = Clock().PerformanceCounter();
    TAnimationWorkerStarter starter = InstalledStarter() != nullptr ? InstalledStarter() : &StartWorkerThread;
    a.Running = starter(a.Worker, [&shared, input] { Work(shared, input); });
    if (!a.Running)
        Finish();
}

void ProcessAnimationStep(HWND window, const TMessage& message)
{
    TAnimationProcess& process = Process();
    TAnimation& a = process.Animation;
    if (!a.Running || window != a.Window || static_cast<std::uint32_t>(message.LParam) != process.Serial.load())
        return;
    TShared& shared = process.Shared;
    if (shared.Finished.load(std::memory_order_acquire)) {
        EndMenuAnimation(window);
        return;
    }
    const int level = shared.Level.load(std::memory_order_acquire);
    if (a.Blend) {
        const BLENDFUNCTION alpha = ConstantAlpha(level);
        UpdateLayeredWindow(window, nullptr, nullptr, nullptr, nullptr, nullptr, 0, &alpha, ULW_ALPHA);
    } else {
        const int visibleHeight = MulDiv(a.Height, level, 255);
        const int visibleWidth = MulDiv(a.Width, level, 255);
        int y = 0;
        if ((a.Direction & 0x04) != 0)
            y = visibleHeight - a.Height;
        else if ((a.Direction & 0x08) != 0)
            y = a.Height - visibleHeight;
        int x = 0;
        if ((a.Direction & 0x02) != 0)
            x = visibleWidth - a.Width;
        else if ((a.Direction & 0x01) != 0)
            x = a.Width - visibleWidth;
        SetRegion(window, CreateRectRgn(x, y, x + a.Width, y + a.Height));
        ShowImage(a, x, y);
    }
    shared.StepPending.store(false, std::memory_order_release);
}

void EndMenuAnimation(HWND window)
{
    TAnimationProcess& process = Process();
    TAnimation& a = process.Animation;
    if (!a.Running || (window != nullptr && window != a.Window))
        return;
    process.Shared.Stop.store(true, std::memory_order_release);
    if (a.Worker.joinable())
        a.Worker.join();
    a.Running = false;
    Finish();
}

HWND AnimatedWindow()
{
    const TAnimation& a = Process().Animation;
    return a.Running ? a.Window : nullptr;
}

}  // namespace ovrel::toolbars
