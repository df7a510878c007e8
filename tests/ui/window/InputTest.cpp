#include "WindowTestSupport.h"
#include "support/QtInput.h"

#include "platform/ui/SysTables.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace ovrel::ui::test {
namespace {

constexpr DWORD Popup = WS_POPUP | WS_VISIBLE;
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;

using InputTest = WindowTest;

// A 200x150 pop-up at (100, 100) with a bordered child at (10, 10) of 50x40 in its client area.
struct TwoLevels {
    HWND Top;
    HWND Inner;
};

TEST_F(InputTest, MouseMessagesAreClientOrNonClientByHitTest)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child | WS_BORDER, RECT{10, 10, 60, 50}, top);
    Pump();
    struct Row {
        const char* name;
        POINT screen;
        HWND expectedWindow;
        UINT expectedMessage;
        LPARAM expectedLParam;  // client point, or the screen point for non-client messages
        WPARAM expectedWParam;
    };
    const Row rows[] = {
        {"ParentClient", POINT{105, 105}, top, WM_LBUTTONDOWN, MAKELPARAM(5, 5), MK_LBUTTON},
        {"ChildClientInsideItsBorder", POINT{115, 115}, inner, WM_LBUTTONDOWN, MAKELPARAM(4, 4), MK_LBUTTON},
        {"ChildBorder", POINT{110, 112}, inner, WM_NCLBUTTONDOWN, MAKELPARAM(110, 112), static_cast<WPARAM>(HTBORDER)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rec.Log.clear();
        PostMouseInput(WM_LBUTTONDOWN, row.screen);
        PostMouseInput(WM_LBUTTONUP, row.screen);
        Pump();
        std::vector<Received> downs = Rec.Of(row.expectedMessage);
        ASSERT_EQ(downs.size(), 1u);
        EXPECT_EQ(downs[0].Window, row.expectedWindow);
        EXPECT_EQ(downs[0].LParam, row.expectedLParam);
        EXPECT_EQ(downs[0].WParam, row.expectedWParam);
        // Every routed mouse message asked the hit test first and set the cursor.
        EXPECT_FALSE(Rec.Of(WM_NCHITTEST).empty());
        EXPECT_FALSE(Rec.Of(WM_SETCURSOR).empty());
    }
}

TEST_F(InputTest, TransparentWindowsPassThePointToTheWindowBelow)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND cover = Create(Child, RECT{0, 0, 100, 100}, top);
    Rec.OnMessage = [cover](HWND w, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (w == cover && m == WM_NCHITTEST)
            return HTTRANSPARENT;
        return std::nullopt;
    };
    Pump();
    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), top);
    Rec.Log.clear();
    PostMouseInput(WM_MOUSEMOVE, POINT{120, 120});
    Pump();
    ASSERT_EQ(Rec.Of(WM_MOUSEMOVE).size(), 1u);
    EXPECT_EQ(Rec.Of(WM_MOUSEMOVE)[0].Window, top);
}

TEST_F(InputTest, DisabledWindowsGiveThePointToTheirParent)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child, RECT{10, 10, 60, 50}, top);
    EnableWindow(inner, FALSE);
    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), top);
    EXPECT_EQ(WindowFromPointEx(POINT{120, 120}, true), inner);
    EnableWindow(top, FALSE);
    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), nullptr);
}

TEST_F(InputTest, DoubleClicksNeedTheClassStyle)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    Pump();
    PostMouseInput(WM_LBUTTONDBLCLK, POINT{150, 150});
    PostMouseInput(WM_LBUTTONUP, POINT{150, 150});
    Pump();
    EXPECT_TRUE(Rec.Of(WM_LBUTTONDBLCLK).empty());
    EXPECT_EQ(Rec.Of(WM_LBUTTONDOWN).size(), 1u);
    SetClassStyle(top, CS_DBLCLKS);
    Rec.Log.clear();
    PostMouseInput(WM_LBUTTONDBLCLK, POINT{150, 150});
    Pump();
    EXPECT_EQ(Rec.Of(WM_LBUTTONDBLCLK).size(), 1u);
}

TEST_F(InputTest, MouseMovesAreCoalesced)
{
    Create(Popup, RECT{100, 100, 300, 250});
    Pump();
    Rec.Log.clear();
    for (int x = 0; x < 10; ++x)
        PostMouseInput(WM_MOUSEMOVE, POINT{110 + x, 110});
    Pump();
    ASSERT_EQ(Rec.Of(WM_MOUSEMOVE).size(), 1u);
    EXPECT_EQ(Rec.Of(WM_MOUSEMOVE)[0].LParam, MAKELPARAM(19, 10));
}

TEST_F(InputTest, CaptureTakesAllMouseInputAndTheLoserIsTold)
{
    HWND a = Create(Popup, RECT{100, 100, 200, 200});
    HWND b = Create(Popup, RECT{300, 100, 400, 200});
    Pump();
    SetCapture(a);
    PostMouseInput(WM_MOUSEMOVE, POINT{350, 150});
    Pump();
    ASSERT_EQ(Rec.Of(WM_MOUSEMOVE).size(), 1u);
    EXPECT_EQ(Rec.Of(WM_MOUSEMOVE)[0].Window, a);
    EXPECT_EQ(Rec.Of(WM_MOUSEMOVE)[0].LParam, MAKELPARAM(250, 50));
    SetCapture(b);
    ASSERT_EQ(Rec.Of(WM_CAPTURECHANGED).size(), 1u);
    EXPECT_EQ(Rec.Of(WM_CAPTURECHANGED)[0].Window, a);
    EXPECT_EQ(Rec.Of(WM_CAPTURECHANGED)[0].LParam, reinterpret_cast<LPARAM>(b));
    // Switching to another application ends capture.
    SetApplicationActive(false);
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(Rec.Of(WM_CAPTURECHANGED).size(), 2u);
    EXPECT_EQ(Rec.Of(WM_CAPTURECHANGED)[1].Window, b);
}

TEST_F(InputTest, LeaveTrackingSendsOneLeaveWhenThePointerGoes)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child | WS_BORDER, RECT{10, 10, 60, 50}, top);
    Pump();
    PostMouseInput(WM_MOUSEMOVE, POINT{120, 120});
    Pump();
    TRACKMOUSEEVENT track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = inner;
    ASSERT_TRUE(TrackMouseEvent(&track));
    PostMouseInput(WM_MOUSEMOVE, POINT{121, 120});
    Pump();
    EXPECT_TRUE(Rec.Of(WM_MOUSELEAVE).empty());
    // Onto the border: out of the client area.
    for (POINT p : {POINT{110, 112}, POINT{105, 105}, POINT{130, 130}}) {
        PostMouseInput(WM_MOUSEMOVE, p);
        Pump();
    }
    ASSERT_EQ(Rec.Of(WM_MOUSELEAVE).size(), 1u);
    EXPECT_EQ(Rec.Of(WM_MOUSELEAVE)[0].Window, inner);
    // The frame variant ends when the pointer leaves the frame.
    PostMouseInput(WM_MOUSEMOVE, POINT{110, 112});
    Pump();
    track.dwFlags = TME_LEAVE | TME_NONCLIENT;
    ASSERT_TRUE(TrackMouseEvent(&track));
    PostMouseInput(WM_MOUSEMOVE, POINT{130, 130});
    Pump();
    ASSERT_EQ(Rec.Of(WM_NCMOUSELEAVE).size(), 1u);
    PostMouseLeftApplication();
    Pump();
    EXPECT_EQ(GetWindowUnderPointer(), nullptr);
}

TEST_F(InputTest, KeysGoToTheFocusWindowWithKeyDataAndState)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child, RECT{10, 10, 60, 50}, top);
    SetFocus(inner);
    Pump();
    Rec.Log.clear();
    PostKeyInput(WM_KEYDOWN, VK_SHIFT, "", MOD_SHIFT);
    PostKeyInput(WM_KEYDOWN, 'A', "A", MOD_SHIFT);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_NE(GetKeyState(VK_SHIFT) & 0x8000, 0);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, inner);
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(msg.lParam & 0xFFFF, 1);
    EXPECT_EQ(msg.lParam & (1 << 29), 0);
    PostKeyInput(WM_KEYUP, 'A', "", 0);
    PostKeyInput(WM_KEYUP, VK_SHIFT, "", 0);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_KEYUP);
    EXPECT_NE(static_cast<std::uint32_t>(msg.lParam) & (1u << 31), 0u);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
}

TEST_F(InputTest, KeyboardOpensTheMenuBarAndAltF4Closes)
{
    HWND form = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child, RECT{10, 10, 60, 50}, form);
    SetFocus(inner);
    Pump();
    struct Step {
        UINT message;
        WORD vk;
        const char* text;
        UINT modifiers;
        bool repeat = false;
    };
    struct Row {
        const char* name;
        std::vector<Step> keys;  // mouse messages are presses inside the inner window
        std::vector<std::pair<WPARAM, LPARAM>> commands;  // WM_SYSCOMMAND at the form
    };
    const Row rows[] = {
        {"BareAlt", {{WM_KEYDOWN, VK_MENU, "", MOD_ALT}, {WM_KEYUP, VK_MENU, "", 0}}, {{SC_KEYMENU, 0}}},
        {"AltLetter",
         {{WM_KEYDOWN, VK_MENU, "", MOD_ALT},
          {WM_KEYDOWN, 'F', "f", MOD_ALT},
          {WM_KEYUP, 'F', "", MOD_ALT},
          {WM_KEYUP, VK_MENU, "", 0}},
         {{SC_KEYMENU, 'f'}}},
        {"F10", {{WM_KEYDOWN, VK_F10, "", 0}, {WM_KEYUP, VK_F10, "", 0}}, {{SC_KEYMENU, 0}}},
        {"AltHeldWithRepeat",
         {{WM_KEYDOWN, VK_MENU, "", MOD_ALT}, {WM_KEYDOWN, VK_MENU, "", MOD_ALT, true}, {WM_KEYUP, VK_MENU, "", 0}},
         {{SC_KEYMENU, 0}}},
        {"AltWithAnotherKeyIsNoMenu",
         {{WM_KEYDOWN, VK_MENU, "", MOD_ALT},
          {WM_KEYDOWN, VK_LEFT, "", MOD_ALT},
          {WM_KEYUP, VK_LEFT, "", MOD_ALT},
          {WM_KEYUP, VK_MENU, "", 0}},
         {}},
        {"AltInterruptedByAClick",
         {{WM_KEYDOWN, VK_MENU, "", MOD_ALT},
          {WM_LBUTTONDOWN, 0, "", MOD_ALT},
          {WM_LBUTTONUP, 0, "", MOD_ALT},
          {WM_KEYUP, VK_MENU, "", 0}},
         {}},
        {"ControlAltLetterTypesInstead",
         {{WM_KEYDOWN, VK_CONTROL, "", MOD_CONTROL},
          {WM_KEYDOWN, VK_MENU, "", MOD_ALT | MOD_CONTROL},
          {WM_KEYDOWN, 'E', "e", MOD_ALT | MOD_CONTROL},
          {WM_KEYUP, 'E', "", MOD_ALT | MOD_CONTROL},
          {WM_KEYUP, VK_MENU, "", MOD_CONTROL},
          {WM_KEYUP, VK_CONTROL, "", 0}},
         {}},
        {"AltSpaceDoesNothing",
         {{WM_KEYDOWN, VK_MENU, "", MOD_ALT},
          {WM_KEYDOWN, VK_SPACE, " ", MOD_ALT},
          {WM_KEYUP, VK_SPACE, "", MOD_ALT},
          {WM_KEYUP, VK_MENU, "", 0}},
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rec.Log.clear();
        for (const Step& key : row.keys) {
            if (key.message >= WM_MOUSEFIRST && key.message <= WM_MOUSELAST)
                PostMouseInput(key.message, POINT{120, 120}, key.modifiers);
            else
                PostKeyInput(key.message, key.vk, key.text, key.modifiers, key.repeat);
        }
        Pump();
        std::vector<std::pair<WPARAM, LPARAM>> commands;
        for (const Received& r : Rec.Of(WM_SYSCOMMAND)) {
            EXPECT_EQ(r.Window, form);
            commands.emplace_back(r.WParam, r.LParam);
        }
        EXPECT_EQ(commands, row.commands);
    }
    PostKeyInput(WM_KEYDOWN, VK_MENU, "", MOD_ALT);
    PostKeyInput(WM_KEYDOWN, VK_F4, "", MOD_ALT);
    Pump();
    EXPECT_FALSE(IsWindow(form));
    EXPECT_FALSE(IsWindow(inner));
}

TEST_F(InputTest, RightButtonUpAsksForAContextMenuThroughTheParents)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child, RECT{10, 10, 60, 50}, top);
    Pump();
    PostMouseInput(WM_RBUTTONDOWN, POINT{120, 125});
    PostMouseInput(WM_RBUTTONUP, POINT{120, 125});
    Pump();
    const auto menus = Rec.Of(WM_CONTEXTMENU);
    ASSERT_EQ(menus.size(), 2u);  // the child, then its parent through the default handler
    EXPECT_EQ(menus[0].Window, inner);
    EXPECT_EQ(menus[1].Window, top);
    EXPECT_EQ(menus[1].WParam, reinterpret_cast<WPARAM>(inner));
    EXPECT_EQ(menus[1].LParam, MAKELPARAM(120, 125));
}

TEST_F(InputTest, APressActivatesUnlessTheWindowSaysNo)
{
    HWND a = Create(Popup, RECT{100, 100, 200, 200});
    HWND b = Create(Popup, RECT{300, 100, 400, 200});
    SetActiveWindow(a);
    Rec.OnMessage = [b](HWND w, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (w == b && m == WM_MOUSEACTIVATE)
            return MA_NOACTIVATE;
        return std::nullopt;
    };
    Pump();
    ASSERT_EQ(GetActiveWindow(), a);
    PostMouseInput(WM_LBUTTONDOWN, POINT{350, 150});
    Pump();
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(Rec.Of(WM_LBUTTONDOWN).size(), 1u);
    Rec.OnMessage = nullptr;
    PostMouseInput(WM_LBUTTONUP, POINT{350, 150});
    PostMouseInput(WM_LBUTTONDOWN, POINT{350, 150});
    Pump();
    EXPECT_EQ(GetActiveWindow(), b);
    const auto activations = Rec.Of(WM_ACTIVATE);
    ASSERT_FALSE(activations.empty());
    EXPECT_EQ(activations.back().Window, b);
    EXPECT_EQ(LOWORD(activations.back().WParam), WA_CLICKACTIVE);
}

TEST_F(InputTest, QtEventsOfOurWidgetsBecomeQueuedMessages)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    SetFocus(top);
    Pump();
    QWidget* widget = GetWindowWidget(top);
    ASSERT_NE(widget, nullptr);
    struct Row {
        const char* name;
        std::function<QEvent*()> event;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const QPointF local(5, 6);
    const QPointF global(105, 106);
    const Row rows[] = {
        {"LeftPress",
         [&] {
             return new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                                    Qt::NoModifier);
         },
         WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6)},
        {"LeftReleaseWithShift",
         [&] {
             return new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                                    Qt::ShiftModifier);
         },
         WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(5, 6)},
        {"RightPress",
         [&] {
             return new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::RightButton, Qt::RightButton,
                                    Qt::NoModifier);
         },
         WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 6)},
        {"MoveWhileHeld",
         [&] {
             return new QMouseEvent(QEvent::MouseMove, local, global, Qt::NoButton, Qt::RightButton,
                                    Qt::ControlModifier);
         },
         WM_MOUSEMOVE, MK_RBUTTON | MK_CONTROL, MAKELPARAM(5, 6)},
        {"WheelNotchToTheFocus",
         [&] {
             return new QWheelEvent(local, global, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                                    Qt::NoScrollPhase, false);
         },
         WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(105, 106)},
        {"Key", [] { return new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a")); },
         WM_KEYDOWN, 'A', 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rec.Log.clear();
        std::unique_ptr<QEvent> event(row.event());
        QCoreApplication::sendEvent(widget, event.get());
        MSG msg;
        ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.hwnd, top);
        EXPECT_EQ(msg.message, row.message);
        EXPECT_EQ(msg.wParam, row.wParam);
        EXPECT_EQ(msg.lParam, row.lParam);
        TranslateMessage(&msg);
        DispatchMessage(&msg);
        Pump();
    }
    // The key typed its character through TranslateMessage.
    ASSERT_EQ(Rec.Of(WM_CHAR).size(), 1u);
    EXPECT_EQ(Rec.Of(WM_CHAR)[0].WParam, static_cast<WPARAM>('a'));

    // Leaving the top-level widget ends the window under the pointer and a tracking.
    PostMouseInput(WM_MOUSEMOVE, POINT{150, 150});
    Pump();
    TRACKMOUSEEVENT track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = top;
    TrackMouseEvent(&track);
    EXPECT_EQ(GetWindowUnderPointer(), top);
    Rec.Log.clear();
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
    Pump();
    EXPECT_EQ(GetWindowUnderPointer(), nullptr);
    ASSERT_EQ(Rec.Of(WM_MOUSELEAVE).size(), 1u);
    EXPECT_EQ(Rec.Of(WM_MOUSELEAVE)[0].Window, top);
}

TEST_F(InputTest, CaptureEdges)
{
    HWND a = Create(Popup, RECT{100, 100, 200, 200});
    HWND b = Create(Popup, RECT{300, 100, 400, 200});
    HWND inner = Create(Child, RECT{10, 10, 50, 50}, a);
    Pump();
    {
        SCOPED_TRACE("AMessageOnlyWindowMayHoldCapture");
        HWND hidden = Create(WS_POPUP, RECT{0, 0, 0, 0}, HWND_MESSAGE);
        SetCapture(hidden);
        Rec.Log.clear();
        PostMouseInput(WM_LBUTTONDOWN, POINT{350, 150});
        PostMouseInput(WM_LBUTTONUP, POINT{350, 150});
        Pump();
        // The window under the pointer may be hit-tested, but gets no mouse message and sets no cursor.
        for (const Received& r : Rec.Log) {
            const bool mouse = (r.Message >= WM_MOUSEFIRST && r.Message <= WM_MOUSELAST) ||
                               (r.Message >= WM_NCMOUSEMOVE && r.Message <= WM_NCMBUTTONDBLCLK) ||
                               r.Message == WM_SETCURSOR || r.Message == WM_MOUSEACTIVATE;
            EXPECT_FALSE(mouse && r.Window == b) << r.Message;
        }
        const auto downs = Rec.Of(WM_LBUTTONDOWN);
        ASSERT_EQ(downs.size(), 1u);
        EXPECT_EQ(downs[0].Window, hidden);
        EXPECT_EQ(downs[0].LParam, MAKELPARAM(350, 150));
        DestroyWindow(hidden);
        EXPECT_EQ(GetCapture(), nullptr);
    }
    {
        SCOPED_TRACE("ReleaseTellsTheOwnerWithNoSuccessor");
        SetCapture(a);
        Rec.Log.clear();
        ReleaseCapture();
        EXPECT_EQ(GetCapture(), nullptr);
        ASSERT_EQ(Rec.Of(WM_CAPTURECHANGED).size(), 1u);
        EXPECT_EQ(Rec.Of(WM_CAPTURECHANGED)[0].Window, a);
        EXPECT_EQ(Rec.Of(WM_CAPTURECHANGED)[0].LParam, 0);
    }
    {
        SCOPED_TRACE("ThePointerIsFollowedUnderCapture");
        PostMouseInput(WM_MOUSEMOVE, POINT{150, 150});
        Pump();
        SetCapture(inner);
        TRACKMOUSEEVENT track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = inner;
        ASSERT_TRUE(TrackMouseEvent(&track));  // the pointer is over a, not inner: the leave comes at once
        Pump();
        EXPECT_EQ(Rec.Of(WM_MOUSELEAVE).size(), 1u);
        PostMouseInput(WM_MOUSEMOVE, POINT{130, 130});
        Pump();
        EXPECT_EQ(GetWindowUnderPointer(), inner);
        ASSERT_TRUE(TrackMouseEvent(&track));
        Rec.Log.clear();
        PostMouseInput(WM_MOUSEMOVE, POINT{350, 150});
        Pump();
        EXPECT_EQ(GetWindowUnderPointer(), b);
        ASSERT_EQ(Rec.Of(WM_MOUSEMOVE).size(), 1u);
        EXPECT_EQ(Rec.Of(WM_MOUSEMOVE)[0].Window, inner);
        ASSERT_EQ(Rec.Of(WM_MOUSELEAVE).size(), 1u);
        EXPECT_EQ(Rec.Of(WM_MOUSELEAVE)[0].Window, inner);
    }
    {
        SCOPED_TRACE("DestroyingAnAncestorEndsCapture");
        DestroyWindow(a);
        EXPECT_EQ(GetCapture(), nullptr);
        Rec.Log.clear();
        PostMouseInput(WM_MOUSEMOVE, POINT{351, 150});
        Pump();
        ASSERT_EQ(Rec.Of(WM_MOUSEMOVE).size(), 1u);
        EXPECT_EQ(Rec.Of(WM_MOUSEMOVE)[0].Window, b);
    }
}

TEST_F(InputTest, TrackingCanBeQueriedAndCancelled)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    Pump();
    PostMouseInput(WM_MOUSEMOVE, POINT{150, 150});
    Pump();
    TRACKMOUSEEVENT track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = top;
    ASSERT_TRUE(TrackMouseEvent(&track));
    TRACKMOUSEEVENT query;
    query.dwFlags = TME_QUERY;
    ASSERT_TRUE(TrackMouseEvent(&query));
    EXPECT_EQ(query.hwndTrack, top);
    EXPECT_EQ(query.dwFlags & (TME_LEAVE | TME_NONCLIENT), TME_LEAVE);
    track.dwFlags = TME_LEAVE | TME_CANCEL;
    ASSERT_TRUE(TrackMouseEvent(&track));
    PostMouseInput(WM_MOUSEMOVE, POINT{500, 500});
    Pump();
    EXPECT_TRUE(Rec.Of(WM_MOUSELEAVE).empty());
    query.dwFlags = TME_QUERY;
    TrackMouseEvent(&query);
    EXPECT_EQ(query.hwndTrack, nullptr);
    // Asked for while the pointer is already elsewhere, the leave comes at once, and only once.
    track.dwFlags = TME_LEAVE;
    ASSERT_TRUE(TrackMouseEvent(&track));
    PostMouseInput(WM_MOUSEMOVE, POINT{501, 500});
    Pump();
    EXPECT_EQ(Rec.Of(WM_MOUSELEAVE).size(), 1u);
}

TEST_F(InputTest, ButtonStateIsAsOfTheLastMessageRetrieved)
{
    Create(Popup, RECT{100, 100, 300, 250});
    Pump();
    struct Row {
        const char* name;
        UINT down;
        int vk;
    };
    const Row rows[] = {
        {"Left", WM_LBUTTONDOWN, VK_LBUTTON},
        {"Right", WM_RBUTTONDOWN, VK_RBUTTON},
        {"Middle", WM_MBUTTONDOWN, VK_MBUTTON},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PostMouseInput(row.down, POINT{150, 150});
        EXPECT_EQ(GetKeyState(row.vk) & 0x8000, 0);  // queued, not yet retrieved
        EXPECT_NE(GetAsyncKeyState(row.vk) & 0x8000, 0);
        Pump();
        EXPECT_NE(GetKeyState(row.vk) & 0x8000, 0);
        PostMouseInput(row.down + 1, POINT{150, 150});
        EXPECT_NE(GetKeyState(row.vk) & 0x8000, 0);
        Pump();
        EXPECT_EQ(GetKeyState(row.vk) & 0x8000, 0);
    }
    EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELPARAM(150, 150)));
}

TEST_F(InputTest, TheKeyboardAsksForAContextMenuAtNoPoint)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child, RECT{10, 10, 60, 50}, top);
    SetFocus(inner);
    Pump();
    struct Row {
        const char* name;
        WORD vk;
        UINT modifiers;
    };
    const Row rows[] = {{"ShiftF10", VK_F10, MOD_SHIFT}, {"MenuKey", VK_APPS, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rec.Log.clear();
        if (row.modifiers != 0)
            PostKeyInput(WM_KEYDOWN, VK_SHIFT, "", row.modifiers);
        PostKeyInput(WM_KEYDOWN, row.vk, "", row.modifiers);
        PostKeyInput(WM_KEYUP, row.vk, "", row.modifiers);
        if (row.modifiers != 0)
            PostKeyInput(WM_KEYUP, VK_SHIFT, "", 0);
        Pump();
        const auto menus = Rec.Of(WM_CONTEXTMENU);
        ASSERT_EQ(menus.size(), 2u);
        EXPECT_EQ(menus[0].Window, inner);
        EXPECT_EQ(menus[1].Window, top);
        EXPECT_EQ(menus[0].LParam, MAKELPARAM(-1, -1));
        EXPECT_TRUE(Rec.Of(WM_SYSCOMMAND).empty());
    }
}

TEST_F(InputTest, ANativeControlGetsItsOwnEventBackThroughTheDefaultProcedure)
{
    HWND form = Create(Popup, RECT{100, 100, 300, 250});
    bool swallow = false;
    Rec.OnMessage = [&swallow](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (swallow && m == WM_KEYDOWN)
            return 0;  // handled: the control never sees the key
        return std::nullopt;
    };
    auto* edit = new QLineEdit;
    HWND w = CreateNative("EDIT", edit, RECT{10, 10, 130, 34}, form);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WindowFromWidget(edit), w);
    SetFocus(w);
    Pump();
    struct Row {
        const char* name;
        bool handled;
    };
    const Row rows[] = {{"PassedOn", false}, {"Handled", true}, {"PassedOnAgain", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        swallow = row.handled;
        Rec.Log.clear();
        const QString before = edit->text();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QCoreApplication::sendEvent(edit, &press);
        EXPECT_EQ(edit->text(), before);  // queued, not yet typed
        Pump();
        ASSERT_EQ(Rec.Of(WM_KEYDOWN).size(), 1u);
        EXPECT_EQ(Rec.Of(WM_KEYDOWN)[0].Window, w);
        EXPECT_EQ(edit->text(), row.handled ? before : before + QStringLiteral("x"));
    }
}

// A native button's click handler that runs a loop of its own (a modal dialog): the input of that loop is new
// input, which goes through the procedures like any other, however it arrives.
TEST_F(InputTest, InputDuringALoopRunByANativeControlsOwnEventGoesThroughTheProcedures)
{
    constexpr UINT SendKeyNow = WM_USER + 1;
    HWND form = Create(Popup, RECT{100, 100, 300, 250});
    auto* button = new QPushButton;
    HWND buttonWindow = CreateNative("BUTTON", button, RECT{10, 50, 90, 74}, form);
    auto* edit = new QLineEdit;
    HWND editWindow = CreateNative("EDIT", edit, RECT{10, 10, 130, 34}, form);
    auto sendKey = [edit](bool posted) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            auto* key = new QKeyEvent(type, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
            if (posted) {
                QCoreApplication::postEvent(edit, key);  // arrives while the loop waits
            } else {
                QCoreApplication::sendEvent(edit, key);
                delete key;
            }
        }
    };
    Rec.OnMessage = [&](HWND w, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (w == form && m == SendKeyNow) {
            sendKey(false);
            return 0;
        }
        return std::nullopt;
    };
    struct Row {
        const char* name;
        bool posted;
    };
    const Row rows[] = {{"ArrivingWhileTheLoopWaits", true}, {"SentByAMessageTheLoopDispatches", false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        edit->clear();
        bool clicked = false;
        const QMetaObject::Connection connection = QObject::connect(button, &QPushButton::clicked, [&] {
            clicked = true;
            SetFocus(editWindow);
            if (row.posted)
                sendKey(true);
            else
                PostMessage(form, SendKeyNow, 0, 0);
            Pump();
        });
        Pump();
        Rec.Log.clear();
        ovrel::test::SendQtClick(button, QPointF(5, 5), Qt::NoModifier, [this] { Pump(); });
        QObject::disconnect(connection);
        ASSERT_TRUE(clicked);
        EXPECT_EQ(Rec.Of(WM_LBUTTONUP).size(), 1u);
        EXPECT_EQ(Rec.Of(WM_LBUTTONUP).at(0).Window, buttonWindow);
        ASSERT_EQ(Rec.Of(WM_KEYDOWN).size(), 1u);
        EXPECT_EQ(Rec.Of(WM_KEYDOWN)[0].Window, editWindow);
        EXPECT_EQ(edit->text(), QStringLiteral("x"));
    }
    Rec.OnMessage = nullptr;
}

}  // namespace
}  // namespace ovrel::ui::test
