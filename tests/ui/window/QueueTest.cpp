#include "WindowTestSupport.h"

#include <atomic>
#include <stdexcept>
#include <thread>

namespace ovrel::ui::test {
namespace {

constexpr DWORD Popup = WS_POPUP | WS_VISIBLE;

using QueueTest = WindowTest;

TEST_F(QueueTest, RetrievesPostedThenQuitThenInputThenPaintThenTimer)
{
    HWND w = Create(Popup, RECT{100, 100, 300, 250});
    SetTimer(w, 7, 50);
    FakeClock.Advance(60);
    ValidateRect(w, nullptr);
    InvalidateRect(w, nullptr, FALSE);
    PostMouseInput(WM_MOUSEMOVE, POINT{150, 150});
    PostMessage(w, WM_USER + 1, 0, 0);
    PostQuitMessage(3);

    std::vector<UINT> order;
    MSG msg;
    while (order.size() < 5 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(msg.message);
        if (msg.message != WM_QUIT)
            DispatchMessage(&msg);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_QUIT, WM_MOUSEMOVE, WM_PAINT, WM_TIMER}));
}

TEST_F(QueueTest, PeekWithoutRemovalLeavesTheMessageAndFiltersByWindowAndRange)
{
    HWND a = Create(Popup, RECT{0, 0, 50, 50});
    HWND child = Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, a);
    HWND b = Create(Popup, RECT{60, 0, 110, 50});
    Pump();
    PostMessage(b, WM_USER + 1, 0, 0);
    PostMessage(child, WM_USER + 2, 0, 0);
    PostMessage(a, WM_USER + 3, 0, 0);
    PostMessage(nullptr, WM_USER + 4, 0, 0);

    struct Row {
        const char* name;
        HWND filter;
        UINT min, max;
        UINT expected;  // 0: nothing
    };
    const Row rows[] = {
        {"AnyWindowAnyNumber", nullptr, 0, 0, WM_USER + 1},
        {"WindowFilterTakesDescendants", a, 0, 0, WM_USER + 2},
        {"RangeFilter", nullptr, WM_USER + 3, WM_USER + 4, WM_USER + 3},
        {"ThreadMessagesOnly", reinterpret_cast<HWND>(-1), 0, 0, WM_USER + 4},
        {"NothingInRange", nullptr, WM_APP, WM_APP + 10, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MSG msg{};
        const BOOL found = PeekMessage(&msg, row.filter, row.min, row.max, PM_NOREMOVE);
        EXPECT_EQ(found != FALSE, row.expected != 0);
        if (found) {
            EXPECT_EQ(msg.message, row.expected);
        }
    }
    // Nothing was removed by looking.
    int count = 0;
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_USER, WM_USER + 10, PM_REMOVE))
        ++count;
    EXPECT_EQ(count, 4);
}

TEST_F(QueueTest, TranslateMessagePostsOneCharacterMessagePerCharacter)
{
    HWND w = Create(Popup, RECT{0, 0, 50, 50});
    SetFocus(w);
    Pump();
    struct Row {
        const char* name;
        WORD vk;
        const char* text;
        UINT modifiers;
        UINT expectedMessage;
        std::vector<WPARAM> expected;
    };
    const Row rows[] = {
        {"Letter", 'A', "a", 0, WM_CHAR, {'a'}},
        {"TextWithTwoCharacters", 'E', "\xC3\xA9\xC3\xA8", 0, WM_CHAR, {0xE9, 0xE8}},
        {"CtrlCIsControlCodeThree", 'C', "", MOD_CONTROL, WM_CHAR, {3}},
        {"CtrlVIsTwentyTwo", 'V', "v", MOD_CONTROL, WM_CHAR, {22}},
        {"Backspace", VK_BACK, "", 0, WM_CHAR, {8}},
        {"Escape", VK_ESCAPE, "", 0, WM_CHAR, {27}},
        {"AltLetterIsSysChar", 'F', "f", MOD_ALT, WM_SYSCHAR, {'f'}},
        {"ArrowTypesNothing", VK_LEFT, "", 0, 0, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rec.Log.clear();
        PostKeyInput(WM_KEYDOWN, row.vk, row.text, row.modifiers);
        Pump();
        const auto chars = Rec.Of(row.expectedMessage == 0 ? WM_CHAR : row.expectedMessage);
        std::vector<WPARAM> got;
        for (const Received& r : chars)
            got.push_back(r.WParam);
        EXPECT_EQ(got, row.expected);
        PostKeyInput(WM_KEYUP, row.vk, "", row.modifiers);
        Pump();
    }
}

TEST_F(QueueTest, RemovingPendingCharactersDropsThem)
{
    HWND w = Create(Popup, RECT{0, 0, 50, 50});
    SetFocus(w);
    Pump();
    PostKeyInput(WM_KEYDOWN, VK_ESCAPE);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    TranslateMessage(&msg);
    while (PeekMessage(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE)) {}
    Rec.Log.clear();
    Pump();
    EXPECT_TRUE(Rec.Of(WM_CHAR).empty());
}

TEST_F(QueueTest, TimersAreClampedCoalescedAndRestartedById)
{
    HWND w = Create(Popup, RECT{0, 0, 50, 50});
    Pump();
    SetTimer(w, 9000, 1);  // becomes 10 ms
    FakeClock.Advance(9);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    FakeClock.Advance(1);
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 9000u);
    // Late by many intervals: still one message.
    FakeClock.Advance(100);
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    // Setting the id again restarts it.
    FakeClock.Advance(5);
    SetTimer(w, 9000, 400);
    FakeClock.Advance(395);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    KillTimer(w, 9000);
    FakeClock.Advance(10'000);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    ASSERT_GE(Timers.Changes().size(), 3u);
    EXPECT_EQ(Timers.Changes().front().Interval, 10u);
    EXPECT_EQ(Timers.Changes().back().Interval, 0u);
}

TEST_F(QueueTest, TimerWaitsBehindOtherMessages)
{
    HWND w = Create(Popup, RECT{0, 0, 50, 50});
    Pump();
    SetTimer(w, 1, 10);
    FakeClock.Advance(20);
    PostMessage(w, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_TIMER);
}

TEST_F(QueueTest, GetMessageWaitsForTheNextTimerAndEndsOnQuit)
{
    HWND w = Create(Popup, RECT{0, 0, 50, 50});
    Pump();
    SetTimer(w, 5, 100);
    int ticks = 0;
    Rec.OnMessage = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_TIMER && ++ticks == 3)
            PostQuitMessage(0);
        return std::nullopt;
    };
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0))
        DispatchMessage(&msg);
    EXPECT_EQ(ticks, 3);
    EXPECT_GE(Timers.WaitCount(), 3);
}

TEST_F(QueueTest, DispatchingPaintValidatesEvenWhenTheHandlerDoesNotPaint)
{
    HWND w = Create(Popup, RECT{0, 0, 50, 50});
    Rec.OnMessage = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_PAINT)
            return 0;  // never calls BeginPaint
        return std::nullopt;
    };
    InvalidateRect(w, nullptr, TRUE);
    int paints = 0;
    MSG msg;
    while (paints < 10 && PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        ++paints;
        DispatchMessage(&msg);
    }
    EXPECT_EQ(paints, 1);
}

TEST_F(QueueTest, ExceptionsInAProcedureGoToTheHandler)
{
    HWND w = Create(Popup, RECT{0, 0, 50, 50});
    Rec.OnMessage = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER)
            throw std::runtime_error("boom");
        return std::nullopt;
    };
    PostMessage(w, WM_USER, 0, 0);
    Pump();
    EXPECT_EQ(SendMessage(w, WM_USER, 0, 0), 0);
    EXPECT_EQ(Errors.Messages, (std::vector<std::string>{"boom", "boom"}));
}

TEST_F(QueueTest, PostingFromAWorkerThreadArrivesInOrder)
{
    HWND w = Create(Popup, RECT{0, 0, 50, 50});
    Pump();
    std::thread worker([w] {
        for (int i = 0; i < 200; ++i)
            SendNotifyMessage(w, WM_APP + 1, static_cast<WPARAM>(i), 0);
    });
    worker.join();
    Rec.Log.clear();
    Pump();
    const auto steps = Rec.Of(WM_APP + 1);
    ASSERT_EQ(steps.size(), 200u);
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(steps[i].WParam, i);
}

TEST_F(QueueTest, AModalLoopLooksAtAPressAndLeavesItForItsTarget)
{
    HWND menu = Create(Popup, RECT{100, 100, 200, 200});
    HWND other = Create(Popup, RECT{300, 100, 400, 200});
    Pump();
    PostMouseInput(WM_MOUSEMOVE, POINT{150, 150});
    PostMouseInput(WM_LBUTTONDOWN, POINT{350, 150});
    SetCapture(menu);
    // The loop: dispatch until a press outside the menu shows up, which it leaves in the queue.
    bool endedByOutsidePress = false;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (msg.message == WM_LBUTTONDOWN) {
            POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            ClientToScreen(msg.hwnd, &p);
            if (WindowFromPoint(p) != menu) {
                endedByOutsidePress = true;
                break;
            }
        }
        PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
        DispatchMessage(&msg);
    }
    ASSERT_TRUE(endedByOutsidePress);
    ReleaseCapture();
    Rec.Log.clear();
    Pump();
    const auto presses = Rec.Of(WM_LBUTTONDOWN);
    ASSERT_EQ(presses.size(), 1u);
    // Looked at while the menu held capture, but left: it goes where the press is now that the menu is gone.
    EXPECT_EQ(presses[0].Window, other);
    EXPECT_EQ(GET_X_LPARAM(presses[0].LParam), 50);
}

TEST_F(QueueTest, GetMessageObserversMayRewriteTheMessage)
{
    HWND w = Create(Popup, RECT{0, 0, 50, 50});
    Pump();
    std::vector<WPARAM> removeFlags;
    HHOOK hook = nullptr;
    hook = SetWindowsHookEx(
        WH_GETMESSAGE,
        [&](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            auto* msg = reinterpret_cast<MSG*>(lParam);
            removeFlags.push_back(wParam);
            if (msg->message == WM_USER)
                msg->message = WM_NULL;
            return CallNextHookEx(hook, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    PostMessage(w, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_NULL);
    EXPECT_EQ(removeFlags, (std::vector<WPARAM>{PM_NOREMOVE, PM_REMOVE}));
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    PostMessage(w, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER);
}

}  // namespace
}  // namespace ovrel::ui::test
