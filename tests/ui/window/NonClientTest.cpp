#include "WindowTestSupport.h"

#include "platform/ui/SysTables.h"

namespace ovrel::ui::test {
namespace {

constexpr DWORD Popup = WS_POPUP | WS_VISIBLE;
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;

using NonClientTest = WindowTest;

LRESULT HitAt(HWND w, POINT screen) { return SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)); }

TEST_F(NonClientTest, TheDefaultHitTestOfAnEmulatedResizableFrame)
{
    // A frameless floating frame at (100, 100), 200x150, whose whole frame is ours.
    HWND frame = Create(Popup | WS_THICKFRAME, RECT{100, 100, 300, 250});
    const int f = GetSystemMetrics(SM_CXSIZEFRAME);
    ASSERT_GT(f, 1);
    EXPECT_EQ(GetClientInset(frame), RECT(f, f, 200 - f, 150 - f));
    struct Row {
        const char* name;
        POINT screen;
        LRESULT hit;
    };
    const Row rows[] = {
        {"LeftEdge", POINT{100, 175}, HTLEFT},
        {"RightEdge", POINT{299, 175}, HTRIGHT},
        {"TopEdge", POINT{200, 100}, HTTOP},
        {"BottomEdge", POINT{200, 249}, HTBOTTOM},
        {"TopLeftCorner", POINT{100, 100}, HTTOPLEFT},
        {"LeftEdgeNearTheTop", POINT{100, 100 + f + 1}, HTTOPLEFT},
        {"TopRightCorner", POINT{299, 100}, HTTOPRIGHT},
        {"BottomLeftCorner", POINT{100, 249}, HTBOTTOMLEFT},
        {"BottomRightCorner", POINT{299, 249}, HTBOTTOMRIGHT},
        {"FirstClientPixel", POINT{100 + f, 100 + f}, HTCLIENT},
        {"Middle", POINT{200, 175}, HTCLIENT},
        {"Outside", POINT{350, 175}, HTNOWHERE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(HitAt(frame, row.screen), row.hit);
    }
    // A standard bar takes its strip of the client area.
    HWND list = Create(Child | WS_BORDER | WS_VSCROLL, RECT{20, 20, 120, 120}, frame);
    ShowScrollBar(list, SB_VERT, TRUE);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    POINT origin{0, 0};
    ClientToScreen(frame, &origin);
    const POINT onBar{origin.x + 20 + 99 - bar / 2, origin.y + 70};
    EXPECT_EQ(HitAt(list, onBar), HTVSCROLL);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(client, RECT(0, 0, 98 - bar, 98));
}

TEST_F(NonClientTest, TheHitCodeChoosesTheCursorAndTravelsWithTheMessages)
{
    WNDCLASS handClass;
    handClass.lpszClassName = "OvrelHand";
    handClass.hCursor = LoadCursor(nullptr, IDC_HAND);
    ASSERT_TRUE(RegisterClass(handClass));
    HWND w = Create(Popup, RECT{100, 100, 300, 250}, nullptr, 0, "OvrelHand");
    LRESULT answer = HTCLIENT;
    Rec.OnMessage = [&answer, w](HWND target, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (target == w && m == WM_NCHITTEST)
            return answer;
        return std::nullopt;
    };
    Pump();
    struct Row {
        const char* name;
        LRESULT hit;
        int cursor;
        UINT message;  // the message the move became
    };
    const Row rows[] = {
        {"Client", HTCLIENT, IDC_HAND, WM_MOUSEMOVE},
        {"Left", HTLEFT, IDC_SIZEWE, WM_NCMOUSEMOVE},
        {"Bottom", HTBOTTOM, IDC_SIZENS, WM_NCMOUSEMOVE},
        {"TopLeft", HTTOPLEFT, IDC_SIZENWSE, WM_NCMOUSEMOVE},
        {"BottomLeft", HTBOTTOMLEFT, IDC_SIZENESW, WM_NCMOUSEMOVE},
        {"Border", HTBORDER, IDC_ARROW, WM_NCMOUSEMOVE},
        {"PrivateCloseButton", 2001, IDC_ARROW, WM_NCMOUSEMOVE},
        {"PrivateSplitBand", 87, IDC_ARROW, WM_NCMOUSEMOVE},
    };
    int x = 150;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        answer = row.hit;
        SetCursor(nullptr);
        Rec.Log.clear();
        PostMouseInput(WM_MOUSEMOVE, POINT{++x, 150});
        Pump();
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, row.cursor));
        const auto setCursor = Rec.Of(WM_SETCURSOR);
        ASSERT_EQ(setCursor.size(), 1u);
        EXPECT_EQ(setCursor[0].WParam, reinterpret_cast<WPARAM>(w));
        EXPECT_EQ(setCursor[0].LParam, MAKELPARAM(static_cast<int>(row.hit), static_cast<int>(WM_MOUSEMOVE)));
        const auto moves = Rec.Of(row.message);
        ASSERT_EQ(moves.size(), 1u);
        if (row.message == WM_NCMOUSEMOVE) {
            EXPECT_EQ(moves[0].WParam, static_cast<WPARAM>(row.hit));
            EXPECT_EQ(moves[0].LParam, MAKELPARAM(x, 150));
        }
    }
    // A press on a private code arrives as the non-client press with that code.
    answer = 2002;
    Rec.Log.clear();
    PostMouseInput(WM_LBUTTONDOWN, POINT{x, 150});
    PostMouseInput(WM_LBUTTONUP, POINT{x, 150});
    Pump();
    EXPECT_EQ(Rec.Sequence({WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_NCLBUTTONUP}));
    EXPECT_EQ(Rec.Of(WM_NCLBUTTONDOWN)[0].WParam, static_cast<WPARAM>(2002));
    DestroyWindow(w);
    UnregisterClass("OvrelHand");
}

TEST_F(NonClientTest, AParentAnsweringSetCursorDecidesForItsChildren)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child, RECT{10, 10, 60, 50}, top);
    Rec.OnMessage = [top](HWND w, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (w == top && m == WM_SETCURSOR) {
            SetCursor(LoadCursor(nullptr, IDC_WAIT));
            return TRUE;
        }
        return std::nullopt;
    };
    Pump();
    PostMouseInput(WM_MOUSEMOVE, POINT{120, 120});
    Pump();
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
    const auto asked = Rec.Of(WM_SETCURSOR);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].Window, inner);
    EXPECT_EQ(asked[1].Window, top);
    EXPECT_EQ(asked[1].WParam, reinterpret_cast<WPARAM>(inner));
}

TEST_F(NonClientTest, AnAnsweredCalcSizeMovesTheClientAreaUntilTheFrameChanges)
{
    int inset = 3;
    Rec.OnMessage = [&inset](HWND, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
        if (m != WM_NCCALCSIZE || wp == 0)
            return std::nullopt;
        RECT& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0];
        r.left += inset;
        r.top += inset;
        r.right -= inset;
        r.bottom -= inset;
        return 0;
    };
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child, RECT{10, 10, 110, 90}, top);
    EXPECT_FALSE(Rec.Of(WM_NCCALCSIZE).empty());  // asked at creation
    RECT client;
    GetClientRect(inner, &client);
    EXPECT_EQ(client, RECT(0, 0, 94, 74));
    POINT origin{0, 0};
    ClientToScreen(inner, &origin);
    EXPECT_EQ(origin, POINT(116, 116));  // both windows keep 3 pixels
    Pump();

    struct Row {
        const char* name;
        POINT screen;
        UINT message;
        LPARAM lParam;
    };
    const Row rows[] = {
        {"InTheInset", POINT{114, 114}, WM_NCLBUTTONDOWN, MAKELPARAM(114, 114)},
        {"FirstClientPixel", POINT{116, 116}, WM_LBUTTONDOWN, MAKELPARAM(0, 0)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rec.Log.clear();
        PostMouseInput(WM_LBUTTONDOWN, row.screen);
        PostMouseInput(WM_LBUTTONUP, row.screen);
        Pump();
        const auto downs = Rec.Of(row.message);
        ASSERT_EQ(downs.size(), 1u);
        EXPECT_EQ(downs[0].Window, inner);
        EXPECT_EQ(downs[0].LParam, row.lParam);
    }

    // A changed answer counts only after SWP_FRAMECHANGED asks again; the frame is then repainted.
    inset = 5;
    GetClientRect(inner, &client);
    EXPECT_EQ(client, RECT(0, 0, 94, 74));
    Rec.Log.clear();
    SetWindowPos(inner, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    GetClientRect(inner, &client);
    EXPECT_EQ(client, RECT(0, 0, 90, 70));
    Pump();
    bool framePainted = false;
    for (const Received& r : Rec.Of(WM_NCPAINT))
        framePainted = framePainted || r.Window == inner;
    EXPECT_TRUE(framePainted);
}

}  // namespace
}  // namespace ovrel::ui::test
