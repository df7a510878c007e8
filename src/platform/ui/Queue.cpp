// The one message queue: posted messages, routed input, generated WM_PAINT and WM_TIMER, hooks, capture and
// mouse tracking.

#include "platform/ui/Window.h"

#include "platform/ui/Services.h"
#include "platform/ui/Window_p.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

namespace ovrel::ui {
namespace {

constexpr std::size_t RetrievedCapacity = 32;
constexpr UINT MinimumTimerInterval = 10;

struct DispatchRecord {
    std::shared_ptr<RetrievedInput> Input;
    bool Delivered;
};
std::vector<DispatchRecord> DispatchStack;

bool InRange(UINT message, UINT filterMin, UINT filterMax)
{
    if (filterMin == 0 && filterMax == 0)
        return true;
    return message >= filterMin && message <= filterMax;
}

// The window filter takes the window and its descendants; (HWND)-1 takes only window-less messages.
bool WindowMatches(HWND target, HWND filter)
{
    if (filter == nullptr)
        return true;
    if (filter == reinterpret_cast<HWND>(-1))
        return target == nullptr;
    if (target == filter)
        return true;
    return IsChild(filter, target) != FALSE;
}

bool IsUiThread() { return std::this_thread::get_id() == System().UiThread; }

void StoreCursorPos(POINT p)
{
    System().CursorPos.store((static_cast<std::int64_t>(p.x) << 32) | static_cast<std::uint32_t>(p.y));
}

POINT LoadCursorPos()
{
    const std::int64_t packed = System().CursorPos.load();
    return POINT{static_cast<LONG>(packed >> 32), static_cast<LONG>(static_cast<std::int32_t>(packed & 0xFFFFFFFF))};
}

WPARAM MouseKeys(const RawInput& raw)
{
    WPARAM keys = raw.Buttons;
    if ((raw.Modifiers & MOD_SHIFT) != 0)
        keys |= MK_SHIFT;
    if ((raw.Modifiers & MOD_CONTROL) != 0)
        keys |= MK_CONTROL;
    return keys;
}

bool IsButtonDown(UINT m)
{
    return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_LBUTTONDBLCLK ||
           m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK;
}

bool IsDoubleClick(UINT m) { return m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK; }

// WM_LBUTTONDOWN + 0x200 - 0xA0 ... the client and non-client mouse messages differ by a fixed offset.
UINT NonClientMessage(UINT client) { return client - WM_MOUSEMOVE + WM_NCMOUSEMOVE; }

void PostLeave(Window* tracked)
{
    WindowSystem& s = System();
    const bool nonClient = (s.TrackFlags & TME_NONCLIENT) != 0;
    s.Tracked = nullptr;
    s.TrackFlags = 0;
    PostMessage(tracked, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

// The pointer is over `under` with hit code `hit`: end a tracking that no longer holds.
// True when a leave message was posted.
bool CheckTracking(Window* under, LRESULT hit)
{
    WindowSystem& s = System();
    s.UnderPointer = under;
    Window* tracked = s.Tracked;
    if (tracked == nullptr)
        return false;
    const bool nonClient = (s.TrackFlags & TME_NONCLIENT) != 0;
    const bool stays = under == tracked && (nonClient ? hit != HTCLIENT : hit == HTCLIENT);
    if (stays)
        return false;
    PostLeave(tracked);
    return true;
}

// A routed message and whether it should be dropped instead (no target, or eaten by activation).
struct Routed {
    bool Drop = false;
    MSG Msg;
};

Routed RouteMouse(RawInput& raw)
{
    WindowSystem& s = System();
    Routed r;
    r.Msg.time = raw.Time;
    r.Msg.pt = raw.Screen;
    const auto [under, hit] = HitTestScreen(raw.Screen);
    if (raw.Message == WM_MOUSEWHEEL) {
        Window* target = s.Focus != nullptr ? s.Focus : s.Active != nullptr ? s.Active : under;
        if (target == nullptr) {
            r.Drop = true;
            return r;
        }
        r.Msg.hwnd = target;
        r.Msg.message = WM_MOUSEWHEEL;
        r.Msg.wParam = MAKEWPARAM(static_cast<int>(MouseKeys(raw)), raw.WheelDelta);
        r.Msg.lParam = MAKELPARAM(raw.Screen.x, raw.Screen.y);
        return r;
    }
    CheckTracking(under, hit);
    if (s.Capture != nullptr) {
        Window* target = s.Capture;
        POINT client = raw.Screen;
        ScreenToClient(target, &client);
        r.Msg.hwnd = target;
        r.Msg.message = raw.Message;
        if (IsDoubleClick(raw.Message) && (target->ClassStyle & CS_DBLCLKS) == 0)
            r.Msg.message = raw.Message - 2;  // a second press
        r.Msg.wParam = MouseKeys(raw);
        r.Msg.lParam = MAKELPARAM(client.x, client.y);
        s.LastMouseTarget = target;
        return r;
    }
    if (under == nullptr) {
        r.Drop = true;
        return r;
    }
    Window* target = under;
    UINT message = raw.Message;
    if (hit == HTCLIENT) {
        if (IsDoubleClick(message) && (target->ClassStyle & CS_DBLCLKS) == 0)
            message -= 2;  // a second press
        POINT client = raw.Screen;
        ScreenToClient(target, &client);
        r.Msg.message = message;
        r.Msg.wParam = MouseKeys(raw);
        r.Msg.lParam = MAKELPARAM(client.x, client.y);
    } else {
        r.Msg.message = NonClientMessage(message);
        r.Msg.wParam = static_cast<WPARAM>(hit);
        r.Msg.lParam = MAKELPARAM(raw.Screen.x, raw.Screen.y);
    }
    r.Msg.hwnd = target;
    s.LastMouseTarget = target;
    if (IsButtonDown(message)) {
        Window* top = Root(target);
        if (top != s.Active && !top->MessageOnly) {
            const LRESULT answer = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                               MAKELPARAM(static_cast<int>(hit), static_cast<int>(message)));
            if (answer != MA_NOACTIVATE && answer != MA_NOACTIVATEANDEAT && ToWindow(top) != nullptr)
                ActivateWindow(top, WA_CLICKACTIVE);
            if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT) {
                r.Drop = true;
                return r;
            }
        }
    }
    if (ToWindow(target) == nullptr) {
        r.Drop = true;
        return r;
    }
    SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                MAKELPARAM(static_cast<int>(hit), static_cast<int>(message)));
    if (ToWindow(target) == nullptr)
        r.Drop = true;
    return r;
}

Routed RouteKey(const RawInput& raw)
{
    WindowSystem& s = System();
    Routed r;
    Window* target = s.Focus != nullptr ? s.Focus : s.Active;
    if (target == nullptr) {
        r.Drop = true;
        return r;
    }
    const bool up = raw.Message == WM_KEYUP;
    const bool alt = (raw.Modifiers & MOD_ALT) != 0 || (raw.VirtualKey == VK_MENU && !up);
    const bool control = (raw.Modifiers & MOD_CONTROL) != 0;
    const bool system = (alt && !control) || raw.VirtualKey == VK_F10 || raw.VirtualKey == VK_MENU;
    r.Msg.hwnd = target;
    r.Msg.message = system ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
    r.Msg.wParam = raw.VirtualKey;
    std::uint32_t data = 1;
    if (alt && !control)
        data |= 1u << 29;
    if (up)
        data |= (1u << 30) | (1u << 31);
    else if (raw.AutoRepeat)
        data |= 1u << 30;
    r.Msg.lParam = static_cast<LPARAM>(static_cast<std::int32_t>(data));
    r.Msg.time = raw.Time;
    r.Msg.pt = LoadCursorPos();
    return r;
}

void SetKeyBit(std::array<BYTE, 256>& table, int vk, bool down)
{
    BYTE& b = table[static_cast<std::size_t>(vk & 0xFF)];
    if (down && (b & 0x80) == 0)
        b ^= 0x01;  // toggles on each press
    b = static_cast<BYTE>(down ? (b | 0x80) : (b & ~0x80));
}

void ApplyInputState(std::array<BYTE, 256>& table, const RawInput& raw)
{
    SetKeyBit(table, VK_LBUTTON, (raw.Buttons & MK_LBUTTON) != 0);
    SetKeyBit(table, VK_RBUTTON, (raw.Buttons & MK_RBUTTON) != 0);
    SetKeyBit(table, VK_MBUTTON, (raw.Buttons & MK_MBUTTON) != 0);
    if (raw.Type == RawInput::Kind::LeftApplication)
        return;
    SetKeyBit(table, VK_SHIFT, (raw.Modifiers & MOD_SHIFT) != 0);
    SetKeyBit(table, VK_CONTROL, (raw.Modifiers & MOD_CONTROL) != 0);
    SetKeyBit(table, VK_MENU, (raw.Modifiers & MOD_ALT) != 0);
    if (raw.Type == RawInput::Kind::Key)
        SetKeyBit(table, raw.VirtualKey, raw.Message == WM_KEYDOWN);
}

// Runs the get-message observers; they may change the message.
void CallGetMessageHooks(MSG* msg, UINT removeFlags)
{
    if (!HasHooks(WH_GETMESSAGE))
        return;
    try {
        CallHookChain(WH_GETMESSAGE, HC_ACTION, removeFlags & PM_REMOVE, reinterpret_cast<LPARAM>(msg));
    } catch (...) {
        ReportException(std::current_exception());
    }
}

bool NeedsPaint(const Window* w)
{
    return !w->Destroyed && !w->MessageOnly && (!w->Update.isEmpty() || w->FrameInvalid || w->InternalPaint) &&
           IsWindowVisible(const_cast<Window*>(w)) != FALSE;
}

Window* FindPaintWindow(const std::vector<Window*>& windows, HWND filter)
{
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        Window* w = *it;
        if (NeedsPaint(w) && WindowMatches(w, filter))
            return w;
        if (Window* child = FindPaintWindow(w->Children, filter))
            return child;
    }
    return nullptr;
}

std::optional<std::uint64_t> MsUntilNextTimer()
{
    WindowSystem& s = System();
    if (s.Timers.empty())
        return std::nullopt;
    const std::uint64_t now = Clock().TickCount();
    std::uint64_t due = UINT64_MAX;
    for (const TimerRecord& t : s.Timers)
        due = std::min(due, t.Due);
    return due > now ? due - now : 0;
}

void RememberRetrieved(const MSG& msg, const RawInput& raw)
{
    WindowSystem& s = System();
    if (s.Retrieved.size() >= RetrievedCapacity)
        s.Retrieved.pop_front();
    s.Retrieved.push_back(
        std::make_shared<RetrievedInput>(RetrievedInput{msg, raw.Text, raw.Original, raw.OriginalTarget}));
}

std::shared_ptr<RetrievedInput> FindRetrieved(const MSG& msg)
{
    const auto& list = System().Retrieved;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        const MSG& m = (*it)->Msg;
        if (m.hwnd == msg.hwnd && m.message == msg.message && m.wParam == msg.wParam && m.lParam == msg.lParam &&
            m.time == msg.time)
            return *it;
    }
    return nullptr;
}

// What a look at the input queue found; Again when routing it changed the queues, which are then looked at
// afresh from the posted messages on.
enum class InputTake { Found, None, Again };

InputTake TakeInput(MSG* out, HWND filter, UINT filterMin, UINT filterMax, bool remove)
{
    WindowSystem& s = System();
    for (std::size_t i = 0; i < s.Input.size();) {
        RawInput& raw = s.Input[i];
        if (raw.Type == RawInput::Kind::LeftApplication) {
            if (i == 0) {
                const RawInput leaving = raw;
                s.Input.pop_front();
                s.UnderPointer = nullptr;
                if (s.Tracked != nullptr)
                    PostLeave(s.Tracked);
                ApplyInputState(s.AsyncKeyState, leaving);
                return InputTake::Again;
            }
            ++i;
            continue;
        }
        // Routing happens once, when the input is first looked at, and is then kept.
        if (!raw.Routed) {
            const std::size_t before = s.Input.size();
            Routed routed = raw.Type == RawInput::Kind::Mouse ? RouteMouse(raw) : RouteKey(raw);
            // Routing sends messages; the handlers may have changed the queue.
            if (s.Input.size() != before || i >= s.Input.size())
                return InputTake::Again;
            RawInput& again = s.Input[i];
            if (routed.Drop) {
                s.Input.erase(s.Input.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            again.Routed = true;
            again.Result = routed.Msg;
            bool posted = false;
            {
                std::lock_guard lock(s.PostedLock);
                posted = !s.Posted.empty();
            }
            // A leave was posted: it goes first. The lock is released before looking again.
            if (posted)
                return InputTake::Again;
        }
        RawInput& current = s.Input[i];
        if (ToWindow(current.Result.hwnd) == nullptr) {
            s.Input.erase(s.Input.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (!WindowMatches(current.Result.hwnd, filter) || !InRange(current.Result.message, filterMin, filterMax)) {
            ++i;
            continue;
        }
        *out = current.Result;
        if (remove) {
            const RawInput taken = current;
            s.Input.erase(s.Input.begin() + static_cast<std::ptrdiff_t>(i));
            ApplyInputState(s.KeyState, taken);
            if (taken.Type == RawInput::Kind::Key && taken.Message == WM_KEYDOWN)
                s.AltAlone = taken.VirtualKey == VK_MENU && (!taken.AutoRepeat || s.AltAlone);
            else if (taken.Type == RawInput::Kind::Mouse && IsButtonDown(taken.Message))
                s.AltAlone = false;
            RememberRetrieved(*out, taken);
            s.LastMessagePos = static_cast<DWORD>(MAKELPARAM(taken.Screen.x, taken.Screen.y));
            if (taken.Type == RawInput::Kind::Key)
                s.LastMessagePos = static_cast<DWORD>(MAKELPARAM(out->pt.x, out->pt.y));
            s.LastMessageTime = static_cast<LONG>(out->time);
        }
        return InputTake::Found;
    }
    return InputTake::None;
}

// Takes a message in the platform's order: posted, quit, input, paint, timer; false when nothing matches.
bool TakeMessage(MSG* out, HWND filter, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    WindowSystem& s = System();
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    for (InputTake input = InputTake::Again; input == InputTake::Again;) {
        {
            std::lock_guard lock(s.PostedLock);
            for (auto it = s.Posted.begin(); it != s.Posted.end(); ++it) {
                if (!WindowMatches(it->hwnd, filter) || !InRange(it->message, filterMin, filterMax))
                    continue;
                *out = *it;
                if (remove)
                    s.Posted.erase(it);
                return true;
            }
        }
        if (s.QuitPosted && InRange(WM_QUIT, filterMin, filterMax) &&
            (filter == nullptr || filter == reinterpret_cast<HWND>(-1))) {
            *out = MSG{};
            out->message = WM_QUIT;
            out->wParam = static_cast<WPARAM>(s.QuitCode);
            out->time = static_cast<DWORD>(Clock().TickCount());
            out->pt = LoadCursorPos();
            if (remove)
                s.QuitPosted = false;
            return true;
        }
        input = TakeInput(out, filter, filterMin, filterMax, remove);
        if (input == InputTake::Found)
            return true;
    }
    if (InRange(WM_PAINT, filterMin, filterMax)) {
        if (Window* w = FindPaintWindow(s.TopLevels, filter)) {
            *out = MSG{w, WM_PAINT, 0, 0, static_cast<DWORD>(Clock().TickCount()), LoadCursorPos()};
            return true;  // stays until the window is validated
        }
    }
    if (InRange(WM_TIMER, filterMin, filterMax) && !s.Timers.empty()) {
        const std::uint64_t now = Clock().TickCount();
        TimerRecord* best = nullptr;
        for (TimerRecord& t : s.Timers) {
            if (t.Due <= now && WindowMatches(t.Owner, filter) && (best == nullptr || t.Due < best->Due))
                best = &t;
        }
        if (best != nullptr) {
            *out = MSG{best->Owner, WM_TIMER, best->Id, 0, static_cast<DWORD>(now), LoadCursorPos()};
            if (remove)
                best->Due = now + best->Interval;  // once per due time, however late
            return true;
        }
    }
    return false;
}

bool AnyMessage()
{
    MSG msg;
    return TakeMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

void QueueRaw(RawInput raw)
{
    WindowSystem& s = System();
    if (raw.Time == 0)
        raw.Time = static_cast<DWORD>(Clock().TickCount());
    ApplyInputState(s.AsyncKeyState, raw);
    if (raw.Type != RawInput::Kind::Key && raw.Type != RawInput::Kind::LeftApplication)
        StoreCursorPos(raw.Screen);
    // Moves are coalesced: a newer position replaces a move still waiting at the end of the queue.
    if (raw.Type == RawInput::Kind::Mouse && raw.Message == WM_MOUSEMOVE && !s.Input.empty()) {
        RawInput& last = s.Input.back();
        if (last.Type == RawInput::Kind::Mouse && last.Message == WM_MOUSEMOVE && !last.Routed &&
            last.Buttons == raw.Buttons && last.Modifiers == raw.Modifiers) {
            last = std::move(raw);
            return;
        }
    }
    s.Input.push_back(std::move(raw));
}

}  // namespace

// ---- Posting and retrieval --------------------------------------------------------------------------------

namespace {

// A re-sent event's handler may run a loop of its own (a button's click opening a modal form): what arrives
// while it waits or dispatches is new input, which the filter must take as any other, or the form would see
// no keys and no clicks.
class ScopedNewInput {
public:
    ScopedNewInput() : FSaved(std::exchange(System().PassThrough, 0)) {}
    ~ScopedNewInput() { System().PassThrough = FSaved; }
    ScopedNewInput(const ScopedNewInput&) = delete;
    ScopedNewInput& operator=(const ScopedNewInput&) = delete;

private:
    int FSaved;
};

void WaitForEvents()
{
    ScopedNewInput newInput;
    TimerDriver().Wait(MsUntilNextTimer());
}

}  // namespace

BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (msg == nullptr)
        return FALSE;
    CollectGraveyard();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (TakeMessage(msg, window, filterMin, filterMax, removeFlags)) {
            CallGetMessageHooks(msg, removeFlags);
            return TRUE;
        }
        if (attempt == 0)
            ProcessQtEvents();
    }
    return FALSE;
}

BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (msg == nullptr)
        return FALSE;
    for (;;) {
        if (PeekMessage(msg, window, filterMin, filterMax, PM_REMOVE) != FALSE)
            return msg->message == WM_QUIT ? FALSE : TRUE;
        WaitForEvents();
    }
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowSystem& s = System();
    if (IsUiThread() && window != nullptr && ToWindow(window) == nullptr)
        return FALSE;
    {
        std::lock_guard lock(s.PostedLock);
        s.Posted.push_back(
            MSG{window, message, wParam, lParam, static_cast<DWORD>(Clock().TickCount()), LoadCursorPos()});
    }
    if (!IsUiThread())
        WakeQueue();
    return TRUE;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsUiThread()) {
        // Only the UI thread may run window procedures; another thread's send becomes a post.
        PostMessage(window, message, wParam, lParam);
        return 0;
    }
    Window* w = ToWindow(window);
    if (w == nullptr)
        return 0;
    try {
        if (HasHooks(WH_CALLWNDPROC)) {
            CWPSTRUCT cwp{lParam, wParam, message, window};
            CallHookChain(WH_CALLWNDPROC, HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp));
            if (ToWindow(window) == nullptr)
                return 0;
        }
        return CallProc(w, message, wParam, lParam);
    } catch (...) {
        ReportException(std::current_exception());
        return 0;
    }
}

BOOL SendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsUiThread())
        return PostMessage(window, message, wParam, lParam);
    if (ToWindow(window) == nullptr)
        return FALSE;
    SendMessage(window, message, wParam, lParam);
    return TRUE;
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (msg == nullptr)
        return 0;
    Window* w = ToWindow(msg->hwnd);
    if (w == nullptr)
        return 0;
    // A message dispatched while a re-sent event is handled is new, and so is any input its handler sends.
    ScopedNewInput newInput;
    DispatchStack.push_back(DispatchRecord{FindRetrieved(*msg), false});
    LRESULT result = 0;
    try {
        ++w->InUse;
        struct Release {
            Window* W;
            ~Release() { --W->InUse; }
        } release{w};
        result = CallProc(w, msg->message, msg->wParam, msg->lParam);
        // The frame is painted even by a handler that never called BeginPaint, and the window is always
        // validated, so a loop that dispatches pending paints ends.
        if (msg->message == WM_PAINT)
            FinishPaint(w);
    } catch (...) {
        ReportException(std::current_exception());
    }
    DispatchStack.pop_back();
    CollectGraveyard();
    return result;
}

bool DeliverOriginalEvent(HWND window, UINT message)
{
    if (DispatchStack.empty())
        return false;
    DispatchRecord& record = DispatchStack.back();
    if (record.Delivered || record.Input == nullptr || !record.Input->Original)
        return false;
    if (record.Input->Msg.hwnd != window || record.Input->Msg.message != message)
        return false;
    QWidget* target = record.Input->OriginalTarget.data();
    if (target == nullptr)
        return false;
    record.Delivered = true;
    std::unique_ptr<QEvent> copy(record.Input->Original->clone());
    ++System().PassThrough;
    ++System().Delivering;
    struct Restore {
        ~Restore()
        {
            --System().PassThrough;
            --System().Delivering;
        }
    } restore;
    QCoreApplication::sendEvent(target, copy.get());
    return true;
}

namespace {

// The character a key produces when Qt gave no text, or a control code Qt may not give.
std::u32string CharactersOf(const std::shared_ptr<RetrievedInput>& input, const MSG& msg)
{
    const WORD vk = static_cast<WORD>(msg.wParam);
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const bool alt = (msg.lParam & (1 << 29)) != 0;
    switch (vk) {
    case VK_BACK: return U"\x08";
    case VK_TAB: return U"\x09";
    case VK_RETURN: return U"\x0D";
    case VK_ESCAPE: return U"\x1B";
    default: break;
    }
    if (control && !alt && vk >= 'A' && vk <= 'Z')
        return std::u32string(1, static_cast<char32_t>(vk - 'A' + 1));
    if (control && !alt)
        return std::u32string();
    if (input != nullptr && !input->Text.empty())
        return input->Text;
    if (vk >= 'A' && vk <= 'Z')
        return std::u32string(1, static_cast<char32_t>(shift ? vk : vk - 'A' + 'a'));
    if (vk >= '0' && vk <= '9' && !shift)
        return std::u32string(1, static_cast<char32_t>(vk));
    if (vk == VK_SPACE)
        return U" ";
    return std::u32string();
}

}  // namespace

std::u32string TextOfDispatchedKey(HWND window, UINT message)
{
    if (DispatchStack.empty())
        return std::u32string();
    const DispatchRecord& record = DispatchStack.back();
    if (record.Input == nullptr || record.Input->Msg.hwnd != window || record.Input->Msg.message != message)
        return std::u32string();
    return CharactersOf(record.Input, record.Input->Msg);
}

BOOL TranslateMessage(const MSG* msg)
{
    if (msg == nullptr || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    const std::u32string text = CharactersOf(FindRetrieved(*msg), *msg);
    if (text.empty())
        return FALSE;
    const UINT charMessage = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    for (char32_t c : text)
        PostMessage(msg->hwnd, charMessage, static_cast<WPARAM>(c), msg->lParam);
    return TRUE;
}

BOOL WaitMessage()
{
    for (;;) {
        if (AnyMessage())
            return TRUE;
        ProcessQtEvents();
        if (AnyMessage())
            return TRUE;
        WaitForEvents();
    }
}

void PostQuitMessage(int exitCode)
{
    WindowSystem& s = System();
    s.QuitPosted = true;
    s.QuitCode = exitCode;
}

DWORD GetMessagePos() { return System().LastMessagePos; }
LONG GetMessageTime() { return System().LastMessageTime; }

void ProcessQtEvents()
{
    ScopedNewInput newInput;
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ReportException(std::exception_ptr exception) noexcept { ExceptionHandler().Report(exception); }

void PurgeWindowMessages(Window* w)
{
    WindowSystem& s = System();
    {
        std::lock_guard lock(s.PostedLock);
        s.Posted.erase(std::remove_if(s.Posted.begin(), s.Posted.end(), [w](const MSG& m) { return m.hwnd == w; }),
                       s.Posted.end());
    }
    s.Input.erase(std::remove_if(s.Input.begin(), s.Input.end(),
                                 [w](const RawInput& r) { return r.Routed && r.Result.hwnd == w; }),
                  s.Input.end());
    s.Retrieved.erase(
        std::remove_if(s.Retrieved.begin(), s.Retrieved.end(), [w](const auto& r) { return r->Msg.hwnd == w; }),
        s.Retrieved.end());
    for (DispatchRecord& record : DispatchStack) {
        if (record.Input != nullptr && record.Input->Msg.hwnd == w)
            record.Input = nullptr;
    }
    for (const TimerRecord& t : s.Timers) {
        if (t.Owner == w)
            TimerDriver().TimerChanged(w, t.Id, 0);
    }
    s.Timers.erase(std::remove_if(s.Timers.begin(), s.Timers.end(), [w](const TimerRecord& t) { return t.Owner == w; }),
                   s.Timers.end());
}

void ClearMessageQueue()
{
    WindowSystem& s = System();
    {
        std::lock_guard lock(s.PostedLock);
        s.Posted.clear();
    }
    s.Input.clear();
    s.Retrieved.clear();
    s.QuitPosted = false;
    for (const Window* w : s.Live) {
        Window* m = const_cast<Window*>(w);
        m->Update = QRegion();
        m->FrameInvalid = false;
        m->InternalPaint = false;
    }
}

// ---- Timers -----------------------------------------------------------------------------------------------

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse)
{
    WindowSystem& s = System();
    Window* w = ToWindow(window);
    if (window != nullptr && w == nullptr)
        return 0;
    if (w == nullptr) {
        // A timer without a window gets a fresh id, as the platform gives one.
        static UINT_PTR next = 0x7F00;
        id = ++next;
    }
    const UINT interval = std::max(elapse, MinimumTimerInterval);
    const std::uint64_t due = Clock().TickCount() + interval;
    auto it = std::find_if(s.Timers.begin(), s.Timers.end(),
                           [w, id](const TimerRecord& t) { return t.Owner == w && t.Id == id; });
    if (it != s.Timers.end()) {
        it->Interval = interval;
        it->Due = due;
    } else {
        s.Timers.push_back(TimerRecord{w, id, interval, due});
    }
    TimerDriver().TimerChanged(w, id, interval);
    return id;
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    WindowSystem& s = System();
    Window* w = ToWindow(window);
    auto it = std::find_if(s.Timers.begin(), s.Timers.end(),
                           [w, id](const TimerRecord& t) { return t.Owner == w && t.Id == id; });
    if (it == s.Timers.end())
        return FALSE;
    s.Timers.erase(it);
    TimerDriver().TimerChanged(w, id, 0);
    return TRUE;
}

// ---- Capture and tracking ---------------------------------------------------------------------------------

namespace {

// Mouse input looked at but left in the queue goes where the capture now sends it: a press that ends a menu
// loop stays for the window under it, not for the loop's capture window.
void RerouteWaitingMouseInput()
{
    for (RawInput& raw : System().Input) {
        if (raw.Type == RawInput::Kind::Mouse && raw.Message != WM_MOUSEWHEEL)
            raw.Routed = false;
    }
}

}  // namespace

HWND SetCapture(HWND window)
{
    WindowSystem& s = System();
    Window* w = ToWindow(window);
    Window* old = s.Capture;
    if (w == old)
        return old;
    s.Capture = w;
    UpdatePointerGrab();
    RerouteWaitingMouseInput();
    if (old != nullptr && ToWindow(old) != nullptr)
        SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(w));
    return old;
}

BOOL ReleaseCapture()
{
    WindowSystem& s = System();
    Window* old = s.Capture;
    s.Capture = nullptr;
    UpdatePointerGrab();
    if (old != nullptr)
        RerouteWaitingMouseInput();
    if (old != nullptr && ToWindow(old) != nullptr)
        SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return System().Capture; }

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track)
{
    if (track == nullptr)
        return FALSE;
    WindowSystem& s = System();
    if ((track->dwFlags & TME_QUERY) != 0) {
        track->hwndTrack = s.Tracked;
        track->dwFlags = s.Tracked != nullptr ? s.TrackFlags : 0;
        return TRUE;
    }
    Window* w = ToWindow(track->hwndTrack);
    if (w == nullptr)
        return FALSE;
    const DWORD kind = track->dwFlags & (TME_LEAVE | TME_NONCLIENT);
    if ((track->dwFlags & TME_CANCEL) != 0) {
        if (s.Tracked == w && (s.TrackFlags & TME_NONCLIENT) == (kind & TME_NONCLIENT))
            s.Tracked = nullptr;
        return TRUE;
    }
    if ((track->dwFlags & TME_LEAVE) == 0)
        return TRUE;
    if (s.Tracked != nullptr && s.Tracked != w)
        PostLeave(s.Tracked);
    s.Tracked = w;
    s.TrackFlags = kind;
    // Already outside: the leave comes at once, as the platform does.
    POINT pointer = LoadCursorPos();
    const auto [under, hit] = HitTestScreen(pointer);
    if (s.UnderPointer == nullptr && under == nullptr)
        PostLeave(w);
    else
        CheckTracking(under, hit);
    return TRUE;
}

// ---- Pointer and keyboard ---------------------------------------------------------------------------------

BOOL GetCursorPos(POINT* point)
{
    if (point == nullptr)
        return FALSE;
    *point = LoadCursorPos();
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    StoreCursorPos(POINT{x, y});
    if (IsUiThread() && QCoreApplication::instance() != nullptr &&
        QCoreApplication::instance()->inherits("QGuiApplication"))
        QCursor::setPos(x, y);
    return TRUE;
}

SHORT GetKeyState(int virtualKey)
{
    const BYTE b = System().KeyState[static_cast<std::size_t>(virtualKey & 0xFF)];
    return static_cast<SHORT>(((b & 0x80) != 0 ? 0x8000 : 0) | (b & 0x01));
}

SHORT GetAsyncKeyState(int virtualKey)
{
    const BYTE b = System().AsyncKeyState[static_cast<std::size_t>(virtualKey & 0xFF)];
    return static_cast<SHORT>((b & 0x80) != 0 ? 0x8000 : 0);
}

void SetKeyState(int virtualKey, bool down)
{
    WindowSystem& s = System();
    SetKeyBit(s.KeyState, virtualKey, down);
    SetKeyBit(s.AsyncKeyState, virtualKey, down);
    if (virtualKey == VK_LBUTTON || virtualKey == VK_RBUTTON || virtualKey == VK_MBUTTON) {
        const WPARAM bit = virtualKey == VK_LBUTTON ? MK_LBUTTON : virtualKey == VK_RBUTTON ? MK_RBUTTON : MK_MBUTTON;
        s.ButtonsDown = down ? (s.ButtonsDown | bit) : (s.ButtonsDown & ~bit);
    }
}

UINT GetInputCodePage() { return CP_UTF8; }

BOOL MessageBeep(UINT type)
{
    Sound().Beep(type);
    return TRUE;
}

DWORD GetCurrentThreadId() { return static_cast<DWORD>(std::hash<std::thread::id>{}(std::this_thread::get_id())); }

// ---- Scripted input ---------------------------------------------------------------------------------------

void QueueInput(RawInput raw) { QueueRaw(std::move(raw)); }

void PostMouseInput(UINT message, POINT screen, UINT modifiers, int wheelDelta)
{
    WindowSystem& s = System();
    RawInput raw;
    raw.Type = RawInput::Kind::Mouse;
    raw.Message = message;
    raw.Screen = screen;
    raw.Modifiers = modifiers;
    raw.WheelDelta = wheelDelta;
    WPARAM bit = 0;
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: bit = MK_LBUTTON; break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: bit = MK_RBUTTON; break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: bit = MK_MBUTTON; break;
    default: break;
    }
    if (IsButtonDown(message))
        s.ButtonsDown |= bit;
    else if (bit != 0)
        s.ButtonsDown &= ~bit;
    raw.Buttons = s.ButtonsDown;
    QueueRaw(std::move(raw));
}

void PostKeyInput(UINT message, WORD virtualKey, std::string_view text, UINT modifiers, bool autoRepeat)
{
    RawInput raw;
    raw.Type = RawInput::Kind::Key;
    raw.Message = message == WM_KEYUP || message == WM_SYSKEYUP ? WM_KEYUP : WM_KEYDOWN;
    raw.VirtualKey = virtualKey;
    raw.Modifiers = modifiers;
    raw.AutoRepeat = autoRepeat;
    raw.Buttons = System().ButtonsDown;
    raw.Screen = LoadCursorPos();
    // Decode UTF-8; invalid bytes are dropped.
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > text.size()) {
            ++i;
            continue;
        }
        char32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        raw.Text.push_back(c);
        i += length;
    }
    QueueRaw(std::move(raw));
}

void PostMouseLeftApplication()
{
    RawInput raw;
    raw.Type = RawInput::Kind::LeftApplication;
    raw.Buttons = System().ButtonsDown;
    QueueRaw(std::move(raw));
}

// ---- Hooks ------------------------------------------------------------------------------------------------

namespace {

void PruneRemovedHooks()
{
    WindowSystem& s = System();
    if (s.HookDepth == 0)
        s.Hooks.erase(std::remove_if(s.Hooks.begin(), s.Hooks.end(), [](const auto& h) { return h->Removed; }),
                      s.Hooks.end());
}

// Calls the newest live hook of a type below index `below`.
LRESULT CallHookBelow(int type, std::size_t below, int code, WPARAM wParam, LPARAM lParam)
{
    WindowSystem& s = System();
    for (std::size_t i = below; i-- > 0;) {
        HookRecord* h = s.Hooks[i].get();
        if (h->Type != type || h->Removed)
            continue;
        ++s.HookDepth;
        struct Depth {
            ~Depth()
            {
                --System().HookDepth;
                PruneRemovedHooks();
            }
        } depth;
        const HOOKPROC proc = h->Proc;  // the hook may unhook itself while it runs
        return proc(code, wParam, lParam);
    }
    return 0;
}

}  // namespace

HHOOK SetWindowsHookEx(int idHook, HOOKPROC procedure, void*, DWORD)
{
    if (!procedure || (idHook != WH_GETMESSAGE && idHook != WH_CALLWNDPROC && idHook != WH_CBT))
        return nullptr;
    auto& hooks = System().Hooks;
    hooks.push_back(std::make_unique<HookRecord>(HookRecord{idHook, std::move(procedure), false}));
    return hooks.back().get();
}

BOOL UnhookWindowsHookEx(HHOOK hook)
{
    WindowSystem& s = System();
    auto it = std::find_if(s.Hooks.begin(), s.Hooks.end(), [hook](const auto& h) { return h.get() == hook; });
    if (it == s.Hooks.end() || (*it)->Removed)
        return FALSE;
    (*it)->Removed = true;
    PruneRemovedHooks();
    return TRUE;
}

bool HasHooks(int type)
{
    const auto& hooks = System().Hooks;
    return std::any_of(hooks.begin(), hooks.end(), [type](const auto& h) { return h->Type == type && !h->Removed; });
}

LRESULT CallHookChain(int type, int code, WPARAM wParam, LPARAM lParam)
{
    return CallHookBelow(type, System().Hooks.size(), code, wParam, lParam);
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam)
{
    WindowSystem& s = System();
    auto it = std::find_if(s.Hooks.begin(), s.Hooks.end(), [hook](const auto& h) { return h.get() == hook; });
    if (it == s.Hooks.end())
        return 0;
    return CallHookBelow((*it)->Type, static_cast<std::size_t>(it - s.Hooks.begin()), code, wParam, lParam);
}

}  // namespace ovrel::ui
