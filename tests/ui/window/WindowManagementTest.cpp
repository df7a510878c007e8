#include "WindowTestSupport.h"

#include "platform/ui/SysTables.h"

#include <QWidget>

#include <algorithm>

namespace ovrel::ui::test {
namespace {

constexpr DWORD Popup = WS_POPUP | WS_VISIBLE;
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;
constexpr UINT KeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;

using ActivationTest = WindowTest;
using RelationsTest = WindowTest;
using WindowPosTest = WindowTest;
using MessageOnlyTest = WindowTest;
using MonitorTest = WindowTest;

// The (window, message, wParam) triples of the activation messages, in order.
std::vector<std::tuple<HWND, UINT, WPARAM>> Activations(const Recorder& rec)
{
    std::vector<std::tuple<HWND, UINT, WPARAM>> out;
    for (const Received& r : rec.Log) {
        if (r.Message == WM_NCACTIVATE || r.Message == WM_ACTIVATE || r.Message == WM_ACTIVATEAPP)
            out.emplace_back(r.Window, r.Message, r.WParam);
    }
    return out;
}

TEST_F(ActivationTest, TheOldWindowIsDeactivatedBeforeTheNewOneIsActivated)
{
    HWND a = Create(Popup, RECT{100, 100, 200, 200});
    HWND b = Create(Popup, RECT{300, 100, 400, 200});
    SetActiveWindow(a);
    Rec.Log.clear();
    EXPECT_EQ(SetActiveWindow(b), a);
    const std::vector<std::tuple<HWND, UINT, WPARAM>> expected{
        {a, WM_NCACTIVATE, FALSE},
        {a, WM_ACTIVATE, WA_INACTIVE},
        {b, WM_NCACTIVATE, TRUE},
        {b, WM_ACTIVATE, WA_ACTIVE},
    };
    EXPECT_EQ(Activations(Rec), expected);
    EXPECT_EQ(Rec.Of(WM_ACTIVATE)[0].LParam, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(Rec.Of(WM_ACTIVATE)[1].LParam, reinterpret_cast<LPARAM>(a));
    // The default handler gives the focus to the window activated.
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(GetTopLevelWindows().front(), b);
}

TEST_F(ActivationTest, TheApplicationFlagTellsEveryTopLevelWindowAndHooksSeeIt)
{
    HWND a = Create(Popup, RECT{100, 100, 200, 200});
    HWND b = Create(Popup, RECT{300, 100, 400, 200});
    SetActiveWindow(a);
    std::vector<std::pair<HWND, WPARAM>> hooked;
    HHOOK hook = SetWindowsHookEx(
        WH_CALLWNDPROC,
        [&hooked](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (sent->message == WM_ACTIVATEAPP)
                hooked.emplace_back(sent->hwnd, sent->wParam);
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    Rec.Log.clear();
    SetApplicationActive(false);
    EXPECT_FALSE(IsApplicationActive());
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    const auto apps = Rec.Of(WM_ACTIVATEAPP);
    ASSERT_EQ(apps.size(), 2u);
    for (const Received& r : apps)
        EXPECT_EQ(r.WParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(hooked.size(), 2u);
    // Deactivation reaches the active window before the application message.
    EXPECT_EQ(Activations(Rec).front(),
              std::make_tuple(a, static_cast<UINT>(WM_NCACTIVATE), static_cast<WPARAM>(FALSE)));

    // Activating a window while inactive makes the application active first.
    Rec.Log.clear();
    SetActiveWindow(b);
    EXPECT_TRUE(IsApplicationActive());
    const auto order = Activations(Rec);
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(std::get<1>(order.front()), static_cast<UINT>(WM_ACTIVATEAPP));
    EXPECT_EQ(std::get<1>(order.back()), static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(GetActiveWindow(), b);
    UnhookWindowsHookEx(hook);
}

TEST_F(ActivationTest, ShowingWithoutActivationLeavesTheActiveWindowAlone)
{
    struct Row {
        const char* name;
        std::function<void(HWND)> show;
        bool activates;
    };
    const Row rows[] = {
        {"ShowNA", [](HWND w) { ShowWindow(w, SW_SHOWNA); }, false},
        {"ShowNoActivate", [](HWND w) { ShowWindow(w, SW_SHOWNOACTIVATE); }, false},
        {"SetWindowPosShowNoActivate",
         [](HWND w) { SetWindowPos(w, nullptr, 0, 0, 0, 0, KeepPlace | SWP_SHOWWINDOW | SWP_NOACTIVATE); }, false},
        {"Show", [](HWND w) { ShowWindow(w, SW_SHOW); }, true},
    };
    HWND main = Create(Popup, RECT{100, 100, 200, 200});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetActiveWindow(main);
        HWND shown = Create(WS_POPUP, RECT{300, 100, 400, 200});
        Pump();
        Rec.Log.clear();
        row.show(shown);
        Pump();
        EXPECT_TRUE(IsWindowVisible(shown));
        EXPECT_TRUE(GetWindowWidget(shown)->isVisible());
        EXPECT_EQ(GetActiveWindow(), row.activates ? shown : main);
        bool told = false;
        for (const Received& r : Rec.Of(WM_ACTIVATE))
            told = told || (r.Window == shown && LOWORD(r.WParam) != WA_INACTIVE);
        EXPECT_EQ(told, row.activates);
        // Hiding without activation gives nothing away either.
        SetWindowPos(shown, nullptr, 0, 0, 0, 0, KeepPlace | SWP_HIDEWINDOW | SWP_NOACTIVATE);
        EXPECT_FALSE(IsWindowVisible(shown));
        DestroyWindow(shown);
        EXPECT_EQ(GetActiveWindow(), main);
    }
}

TEST_F(ActivationTest, HidingTheActiveWindowHandsActivationOn)
{
    HWND normal = Create(Popup, RECT{100, 100, 200, 200});
    HWND tool = Create(Popup, RECT{300, 100, 400, 200}, nullptr, WS_EX_TOOLWINDOW);
    HWND leaving = Create(Popup, RECT{500, 100, 600, 200});
    SetActiveWindow(tool);
    SetActiveWindow(leaving);  // the tool window is now above the normal one
    ShowWindow(leaving, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), normal);  // non-tool windows are preferred

    // An owned window hands activation back to its owner, tool window or not.
    CreateWindowInfo info;
    info.ClassName = "OvrelTest";
    info.Style = Popup;
    info.X = 320;
    info.Y = 120;
    info.Width = 40;
    info.Height = 40;
    info.Parent = tool;
    info.WindowProc = Rec.Proc();
    HWND owned = CreateWindowEx(info);
    SetActiveWindow(owned);
    ShowWindow(owned, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), tool);

    // A disabled or hidden window is never chosen; with none left, nothing is active.
    EnableWindow(normal, FALSE);
    ShowWindow(tool, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(ActivationTest, HiddenParentsAndMinimisedWindowsAreNotShownOrHit)
{
    HWND a = Create(Popup, RECT{100, 100, 200, 200});
    HWND inner = Create(Child, RECT{10, 10, 50, 50}, a);
    HWND b = Create(Popup, RECT{300, 100, 400, 200});
    ShowWindow(a, SW_HIDE);
    EXPECT_NE(GetWindowLongPtr(inner, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_FALSE(IsWindowVisible(inner));
    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), nullptr);
    ShowWindow(a, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(inner));
    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), inner);
    EXPECT_EQ(GetActiveWindow(), a);

    ShowWindow(a, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(a));
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), nullptr);
    WINDOWPLACEMENT placement;
    ASSERT_TRUE(GetWindowPlacement(a, &placement));
    EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
    EXPECT_EQ(placement.rcNormalPosition, RECT(100, 100, 200, 200));

    ShowWindow(a, SW_RESTORE);
    EXPECT_FALSE(IsIconic(a));
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), inner);
}

TEST_F(RelationsTest, OwnedWindowsFollowTheirOwner)
{
    HWND owner = Create(Popup, RECT{100, 100, 200, 200});
    HWND other = Create(Popup, RECT{300, 100, 400, 200});
    HWND owned = Create(Popup, RECT{120, 120, 160, 160}, owner);
    HWND inner = Create(Child, RECT{0, 0, 10, 10}, owned);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    EXPECT_EQ(GetParent(owned), owner);  // a pop-up answers its owner
    EXPECT_EQ(GetWindowLongPtr(owned, GWL_HWNDPARENT), reinterpret_cast<LONG_PTR>(owner));
    EXPECT_EQ(GetAncestor(owned, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetAncestor(inner, GA_ROOT), owned);
    EXPECT_EQ(GetAncestor(inner, GA_ROOTOWNER), owner);
    EXPECT_EQ(GetOwnedWindows(owner), std::vector<HWND>{owned});
    EXPECT_TRUE(GetOwnedWindows(other).empty());

    SetWindowLongPtr(owned, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(other));
    EXPECT_EQ(GetWindow(owned, GW_OWNER), other);
    EXPECT_EQ(GetOwnedWindows(other), std::vector<HWND>{owned});
    EXPECT_TRUE(GetOwnedWindows(owner).empty());
    EXPECT_TRUE(IsWindowVisible(owned));

    // Destroying the owner destroys what it owns, and tells each one.
    DestroyWindow(other);
    EXPECT_FALSE(IsWindow(owned));
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_TRUE(IsWindow(owner));
    bool ownedDestroyed = false;
    for (const Received& r : Rec.Of(WM_DESTROY))
        ownedDestroyed = ownedDestroyed || r.Window == owned;
    EXPECT_TRUE(ownedDestroyed);
}

TEST_F(RelationsTest, OwnedWindowsStayAboveTheirOwner)
{
    HWND form = Create(Popup, RECT{100, 100, 400, 300});
    HWND floating = Create(Popup, RECT{150, 150, 250, 250}, form);
    HWND dropDown = Create(Popup, RECT{160, 160, 200, 200}, floating);
    HWND other = Create(Popup, RECT{500, 100, 600, 200});
    SetActiveWindow(other);
    // Activating the owner raises what it owns with it, and keeps it on top.
    SetActiveWindow(form);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{dropDown, floating, form, other}));
    EXPECT_EQ(WindowFromPoint(POINT{170, 170}), dropDown);
    EXPECT_EQ(WindowFromPoint(POINT{240, 240}), floating);
    BringWindowToTop(other);
    SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{dropDown, floating, form, other}));
    // Unless the move says otherwise.
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{form, other, dropDown, floating}));
}

TEST_F(RelationsTest, EachKindOfWindowGetsTheWidgetItNeeds)
{
    HWND form = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{50, 50, 450, 350});
    struct Row {
        const char* name;
        DWORD style;
        DWORD exStyle;
        HWND parent;
        bool topLevel;
        bool frameless;
        bool tool;
        bool staysOnTop;
    };
    const Row rows[] = {
        {"FramedForm", 0, 0, nullptr, true, false, false, false},  // the form above; style unused
        {"Popup", Popup, 0, nullptr, true, true, true, false},
        {"TopmostPopup", Popup, WS_EX_TOPMOST, nullptr, true, true, true, true},
        {"FramedToolWindow", WS_CAPTION | WS_VISIBLE, WS_EX_TOOLWINDOW, nullptr, true, false, true, false},
        {"Child", Child, 0, form, false, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HWND w = row.style == 0 ? form : Create(row.style, RECT{60, 60, 160, 160}, row.parent, row.exStyle);
        QWidget* widget = GetWindowWidget(w);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(widget->isVisible());
        EXPECT_EQ(widget->isWindow(), row.topLevel);
        if (!row.topLevel) {
            EXPECT_EQ(widget->parentWidget(), GetWindowWidget(row.parent));
            continue;
        }
        const Qt::WindowFlags flags = widget->windowFlags();
        EXPECT_EQ(flags.testFlag(Qt::FramelessWindowHint), row.frameless);
        EXPECT_EQ(widget->windowType() == Qt::Tool, row.tool);
        EXPECT_EQ(flags.testFlag(Qt::WindowStaysOnTopHint), row.staysOnTop);
        // Frameless windows never take activation from Qt; a framed form is ours to activate.
        EXPECT_EQ(widget->testAttribute(Qt::WA_ShowWithoutActivating), row.frameless);
    }
    // The window manager draws a framed form's frame: the whole window is client.
    RECT formRect;
    GetWindowRect(form, &formRect);
    EXPECT_EQ(GetClientInset(form), RECT(0, 0, formRect.right - formRect.left, formRect.bottom - formRect.top));
}

TEST_F(RelationsTest, AChildTakenOffItsParentBecomesAFramelessTopLevelWindow)
{
    HWND form = Create(Popup, RECT{100, 100, 400, 300});
    HWND panel = Create(Child | WS_BORDER, RECT{10, 10, 110, 60}, form);
    EXPECT_EQ(SetParent(panel, nullptr), form);
    EXPECT_TRUE(IsWindow(panel));
    EXPECT_TRUE(IsWindowVisible(panel));
    EXPECT_TRUE(GetChildWindows(form).empty());
    const std::vector<HWND> tops = GetTopLevelWindows();
    EXPECT_NE(std::find(tops.begin(), tops.end(), panel), tops.end());
    QWidget* widget = GetWindowWidget(panel);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->isWindow());
    EXPECT_TRUE(widget->isVisible());
    EXPECT_TRUE(widget->windowFlags().testFlag(Qt::FramelessWindowHint));
    // Its position is now on the screen; the border stays emulated.
    SetWindowPos(panel, nullptr, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(WindowFromPoint(POINT{550, 420}), panel);
    EXPECT_EQ(GetClientInset(panel), RECT(1, 1, 99, 49));

    EXPECT_EQ(SetParent(panel, form), GetDesktopWindow());
    EXPECT_EQ(GetChildWindows(form), std::vector<HWND>{panel});
    EXPECT_EQ(GetWindowWidget(panel)->parentWidget(), GetWindowWidget(form));
    EXPECT_TRUE(IsWindowVisible(panel));
    // Destroying the old parent now takes the panel with it.
    DestroyWindow(form);
    EXPECT_FALSE(IsWindow(panel));
}

TEST_F(RelationsTest, SiblingsStackNewestOnTopAndSetWindowPosReordersThem)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 300});
    HWND c1 = Create(Child, RECT{0, 0, 50, 50}, top);
    HWND c2 = Create(Child, RECT{0, 0, 50, 50}, top);
    HWND c3 = Create(Child, RECT{0, 0, 50, 50}, top);
    EXPECT_EQ(GetChildWindows(top), (std::vector<HWND>{c3, c2, c1}));
    EXPECT_EQ(GetWindow(top, GW_CHILD), c3);
    EXPECT_EQ(GetWindow(c3, GW_HWNDNEXT), c2);
    EXPECT_EQ(GetWindow(c1, GW_HWNDPREV), c2);
    EXPECT_EQ(GetWindow(c2, GW_HWNDLAST), c1);
    EXPECT_EQ(WindowFromPoint(POINT{110, 110}), c3);

    struct Row {
        const char* name;
        HWND moved;
        HWND insertAfter;
        std::vector<HWND> order;
    };
    const Row rows[] = {
        {"ToTheTop", c1, HWND_TOP, {c1, c3, c2}},
        {"ToTheBottom", c3, HWND_BOTTOM, {c1, c2, c3}},
        {"BelowASibling", c1, c2, {c2, c1, c3}},
        {"BelowTheLast", c2, c3, {c1, c3, c2}},
        {"ZOrderFlagIgnoresInsertAfter", c2, HWND_TOP, {c1, c3, c2}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const UINT keepOrder = std::string(row.name) == "ZOrderFlagIgnoresInsertAfter" ? SWP_NOZORDER : 0u;
        ASSERT_TRUE(SetWindowPos(row.moved, row.insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | keepOrder));
        EXPECT_EQ(GetChildWindows(top), row.order);
        EXPECT_EQ(WindowFromPoint(POINT{110, 110}), row.order.front());
    }
}

TEST_F(RelationsTest, TopmostWindowsStayAboveTheOthers)
{
    HWND pinned = Create(Popup, RECT{100, 100, 200, 200}, nullptr, WS_EX_TOPMOST);
    HWND normal = Create(Popup, RECT{100, 100, 200, 200});
    HWND other = Create(Popup, RECT{100, 100, 200, 200});
    // Activation raises a window, but not above the topmost band.
    SetActiveWindow(normal);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{pinned, normal, other}));
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), pinned);
    BringWindowToTop(other);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{pinned, other, normal}));
    // Inserting below a window of the other band keeps the band.
    SetWindowPos(pinned, normal, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetTopLevelWindows().front(), pinned);

    SetWindowPos(normal, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_NE(GetWindowLongPtr(normal, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{normal, pinned, other}));
    SetWindowPos(pinned, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindowLongPtr(pinned, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{normal, pinned, other}));
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), normal);
}

// What WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED carried, copied while the records are alive.
struct PosLog {
    std::vector<WINDOWPOS> Changing;
    std::vector<WINDOWPOS> Changed;
};

TEST_F(WindowPosTest, ChangingMayAlterTheRequestAndChangedReportsTheResult)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child | WS_BORDER, RECT{10, 10, 60, 50}, top);
    PosLog log;
    Rec.OnMessage = [&log, inner](HWND w, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        if (w != inner)
            return std::nullopt;
        auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
        if (m == WM_WINDOWPOSCHANGING) {
            log.Changing.push_back(*pos);
            pos->x -= pos->x % 10;  // snap to a grid of 10
            pos->cy = 30;
        } else if (m == WM_WINDOWPOSCHANGED) {
            log.Changed.push_back(*pos);
        }
        return std::nullopt;
    };
    Rec.Log.clear();
    ASSERT_TRUE(SetWindowPos(inner, nullptr, 27, 15, 80, 60, SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_EQ(log.Changing.size(), 1u);
    EXPECT_EQ(log.Changing[0].x, 27);
    EXPECT_EQ(log.Changing[0].cx, 80);
    ASSERT_EQ(log.Changed.size(), 1u);
    const WINDOWPOS& done = log.Changed[0];
    EXPECT_EQ(done.hwnd, inner);
    EXPECT_EQ(RECT(done.x, done.y, done.x + done.cx, done.y + done.cy), RECT(20, 15, 100, 45));
    EXPECT_EQ(done.flags & (SWP_NOMOVE | SWP_NOSIZE), 0u);
    RECT r;
    GetWindowRect(inner, &r);
    EXPECT_EQ(r, RECT(120, 115, 200, 145));
    // The default handler of the change reports the client origin in the parent and the client size.
    EXPECT_EQ(Rec.Sequence({WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}),
              (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    EXPECT_EQ(Rec.Of(WM_MOVE)[0].LParam, MAKELPARAM(21, 16));
    EXPECT_EQ(Rec.Of(WM_SIZE)[0].LParam, MAKELPARAM(78, 28));
}

TEST_F(WindowPosTest, FlagsDecideWhichMessagesFollow)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child, RECT{10, 10, 60, 50}, top);
    struct Row {
        const char* name;
        int x, y, cx, cy;
        UINT flags;
        std::vector<UINT> messages;
        UINT reported;  // flags of WM_WINDOWPOSCHANGED that must be set
    };
    const Row rows[] = {
        {"Move",
         20,
         20,
         0,
         0,
         SWP_NOSIZE | SWP_NOZORDER,
         {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE},
         SWP_NOSIZE},
        {"Size",
         0,
         0,
         70,
         70,
         SWP_NOMOVE | SWP_NOZORDER,
         {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_SIZE},
         SWP_NOMOVE},
        {"NoSendChanging",
         30,
         30,
         0,
         0,
         SWP_NOSIZE | SWP_NOZORDER | SWP_NOSENDCHANGING,
         {WM_WINDOWPOSCHANGED, WM_MOVE},
         SWP_NOSIZE},
        {"FrameChanged",
         0,
         0,
         0,
         0,
         KeepPlace | SWP_NOACTIVATE | SWP_FRAMECHANGED,
         {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED},
         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE},
        {"SamePlace",
         30,
         30,
         70,
         70,
         SWP_NOZORDER,
         {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED},
         SWP_NOMOVE | SWP_NOSIZE},
    };
    PosLog log;
    Rec.OnMessage = [&log](HWND, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
        if (m == WM_WINDOWPOSCHANGED)
            log.Changed.push_back(*reinterpret_cast<const WINDOWPOS*>(lp));
        return std::nullopt;
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rec.Log.clear();
        log.Changed.clear();
        ASSERT_TRUE(SetWindowPos(inner, nullptr, row.x, row.y, row.cx, row.cy, row.flags));
        EXPECT_EQ(Rec.Sequence({WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}),
                  row.messages);
        ASSERT_EQ(log.Changed.size(), 1u);
        EXPECT_EQ(log.Changed[0].flags & row.reported, row.reported);
    }
}

TEST_F(WindowPosTest, ShowingWithoutRedrawLeavesTheDrawingToTheCaller)
{
    HWND plain = Create(WS_POPUP, RECT{100, 100, 200, 200});
    HWND quiet = Create(WS_POPUP, RECT{300, 100, 400, 200});
    Pump();
    ASSERT_TRUE(SetWindowPos(plain, nullptr, 0, 0, 0, 0, KeepPlace | SWP_NOACTIVATE | SWP_SHOWWINDOW));
    ASSERT_TRUE(SetWindowPos(quiet, nullptr, 0, 0, 0, 0, KeepPlace | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW));
    EXPECT_TRUE(IsWindowVisible(quiet));
    RECT update;
    EXPECT_TRUE(GetUpdateRect(plain, &update, FALSE));
    EXPECT_FALSE(GetUpdateRect(quiet, &update, FALSE));
}

TEST_F(WindowPosTest, HooksSeeShowingAndHidingInTheChangeMessage)
{
    HWND w = Create(WS_POPUP, RECT{100, 100, 200, 200});
    std::vector<UINT> seen;
    HHOOK hook = SetWindowsHookEx(
        WH_CALLWNDPROC,
        [&seen, w](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (sent->hwnd == w && sent->message == WM_WINDOWPOSCHANGED)
                seen.push_back(reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags &
                               (SWP_SHOWWINDOW | SWP_HIDEWINDOW));
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    ShowWindow(w, SW_SHOWNA);
    ShowWindow(w, SW_HIDE);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(seen, (std::vector<UINT>{SWP_SHOWWINDOW, SWP_HIDEWINDOW}));
}

TEST_F(WindowPosTest, AMoveByTheWindowManagerIsOnlyReported)
{
    HWND w = Create(Popup, RECT{100, 100, 300, 250});
    Pump();
    Rec.Log.clear();
    GetWindowWidget(w)->setGeometry(400, 300, 250, 150);
    ProcessQtEvents();
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r, RECT(400, 300, 650, 450));
    const auto seen = Rec.Sequence({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE});
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), static_cast<UINT>(WM_WINDOWPOSCHANGED));
    EXPECT_EQ(std::count(seen.begin(), seen.end(), WM_WINDOWPOSCHANGING), 0);
    EXPECT_NE(std::find(seen.begin(), seen.end(), WM_MOVE), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), WM_SIZE), seen.end());
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client, RECT(0, 0, 250, 150));
}

// What a change of show state sent: the flags of each WM_WINDOWPOSCHANGED and each WM_SIZE (kind, size).
struct StateLog {
    std::vector<UINT> Changed;
    std::vector<std::pair<WPARAM, LPARAM>> Sizes;
};

void RecordStateChanges(Recorder& rec, StateLog& log)
{
    rec.OnMessage = [&log](HWND, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
        if (m == WM_WINDOWPOSCHANGED)
            log.Changed.push_back(reinterpret_cast<const WINDOWPOS*>(lp)->flags);
        else if (m == WM_SIZE)
            log.Sizes.emplace_back(wp, lp);
        return std::nullopt;
    };
}

TEST_F(WindowPosTest, MinimisingAndRestoringAreToldAsAPositionChangeWithTheNewState)
{
    HWND w = Create(Popup, RECT{100, 100, 300, 250});
    HWND hidden = Create(WS_POPUP, RECT{400, 100, 500, 200});
    constexpr UINT State = SWP_STATECHANGED | SWP_FRAMECHANGED;
    const LPARAM client = MAKELPARAM(200, 150);
    struct Row {
        const char* name;
        HWND window;
        int command;
        bool iconic;
        std::vector<UINT> changed;  // the flags each change must carry
        std::vector<std::pair<WPARAM, LPARAM>> sizes;
    };
    const Row rows[] = {
        {"minimise", w, SW_MINIMIZE, true, {State}, {{SIZE_MINIMIZED, 0}}},
        {"minimised again", w, SW_SHOWMINNOACTIVE, true, {}, {}},
        {"restore", w, SW_RESTORE, false, {State}, {{SIZE_RESTORED, client}}},
        {"restored again", w, SW_RESTORE, false, {}, {}},
        {"minimise by the system command", w, -1, true, {State}, {{SIZE_MINIMIZED, 0}}},
        {"shown normal", w, SW_SHOWNORMAL, false, {State}, {{SIZE_RESTORED, client}}},
        {"hidden window shown minimised",
         hidden,
         SW_SHOWMINNOACTIVE,
         true,
         {State | SWP_SHOWWINDOW},
         {{SIZE_MINIMIZED, 0}}},
    };
    StateLog log;
    RecordStateChanges(Rec, log);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Rec.Log.clear();
        log = StateLog{};
        if (row.command < 0)
            SendMessage(row.window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        else
            ShowWindow(row.window, row.command);
        EXPECT_EQ(IsIconic(row.window) != FALSE, row.iconic);
        ASSERT_EQ(log.Changed.size(), row.changed.size());
        for (std::size_t i = 0; i < row.changed.size(); ++i)
            EXPECT_EQ(log.Changed[i] & row.changed[i], row.changed[i]);
        EXPECT_EQ(log.Sizes, row.sizes);
        if (!row.changed.empty()) {
            EXPECT_EQ(Rec.Sequence({WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_SIZE}).front(),
                      static_cast<UINT>(WM_WINDOWPOSCHANGING));
        }
    }
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r, RECT(100, 100, 300, 250));  // the state changed, the place did not
}

TEST_F(WindowPosTest, MinimisingByTheWindowManagerIsToldAndHooksSeeIt)
{
    HWND w = Create(Popup, RECT{100, 100, 300, 250});
    Pump();
    std::vector<UINT> hooked;
    HHOOK hook = SetWindowsHookEx(
        WH_CALLWNDPROC,
        [&hooked, w](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (sent->hwnd == w && sent->message == WM_WINDOWPOSCHANGED)
                hooked.push_back(reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags & SWP_STATECHANGED);
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    StateLog log;
    RecordStateChanges(Rec, log);
    QWidget* widget = GetWindowWidget(w);
    widget->setWindowState(widget->windowState() | Qt::WindowMinimized);
    ProcessQtEvents();
    EXPECT_TRUE(IsIconic(w));
    widget->setWindowState(widget->windowState() & ~Qt::WindowMinimized);
    ProcessQtEvents();
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(IsIconic(w));
    EXPECT_EQ(hooked, (std::vector<UINT>{SWP_STATECHANGED, SWP_STATECHANGED}));
    EXPECT_EQ(log.Sizes,
              (std::vector<std::pair<WPARAM, LPARAM>>{{SIZE_MINIMIZED, 0}, {SIZE_RESTORED, MAKELPARAM(200, 150)}}));
}

TEST_F(WindowPosTest, DestroyObserversRunBeforeTheWindowIsTold)
{
    HWND top = Create(Popup, RECT{100, 100, 300, 250});
    HWND inner = Create(Child, RECT{10, 10, 60, 50}, top);
    std::vector<std::pair<HWND, UINT>> order;
    HHOOK hook = SetWindowsHookEx(
        WH_CBT,
        [&order](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (code == HCBT_DESTROYWND)
                order.emplace_back(reinterpret_cast<HWND>(wParam), 0u);
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    Rec.OnMessage = [&order](HWND w, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_DESTROY || m == WM_NCDESTROY)
            order.emplace_back(w, m);
        return std::nullopt;
    };
    DestroyWindow(top);
    UnhookWindowsHookEx(hook);
    ASSERT_FALSE(order.empty());
    EXPECT_EQ(order.front(), std::make_pair(top, 0u));
    // WM_DESTROY parent first, WM_NCDESTROY children first.
    std::vector<std::pair<HWND, UINT>> told(order.begin() + 1, order.end());
    told.erase(std::remove_if(told.begin(), told.end(), [](const auto& e) { return e.second == 0; }), told.end());
    const std::vector<std::pair<HWND, UINT>> expected{
        {top, WM_DESTROY}, {inner, WM_DESTROY}, {inner, WM_NCDESTROY}, {top, WM_NCDESTROY}};
    EXPECT_EQ(told, expected);
}

TEST_F(MessageOnlyTest, AMessageOnlyWindowTakesMessagesButIsNeverShownOrHit)
{
    HWND visible = Create(Popup, RECT{0, 0, 500, 500});
    HWND w = Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 500, 500}, HWND_MESSAGE);
    ASSERT_TRUE(IsWindow(w));
    EXPECT_EQ(GetWindowWidget(w), nullptr);
    EXPECT_EQ(GetWindowImage(w), nullptr);
    ShowWindow(w, SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(GetTopLevelWindows(), std::vector<HWND>{visible});
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), visible);
    EXPECT_EQ(SetActiveWindow(w), nullptr);
    EXPECT_EQ(GetActiveWindow(), visible);
    EXPECT_EQ(SetFocus(w), nullptr);
    EXPECT_EQ(GetFocus(), visible);

    // It is reached by posts, sends and timers like any window.
    Rec.Log.clear();
    PostMessage(w, WM_USER + 1, 7, 8);
    EXPECT_EQ(SendMessage(w, WM_USER + 2, 0, 0), 0);
    SetTimer(w, 5, 50);
    FakeClock.Advance(50);
    Pump();
    KillTimer(w, 5);
    std::vector<UINT> got;
    for (const Received& r : Rec.Log) {
        if (r.Window == w)
            got.push_back(r.Message);
    }
    EXPECT_EQ(got, (std::vector<UINT>{WM_USER + 2, WM_USER + 1, WM_TIMER}));
    EXPECT_TRUE(Rec.Of(WM_PAINT).empty() || Rec.Of(WM_PAINT)[0].Window != w);
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(MessageOnlyTest, HiddenWindowsHearApplicationAndSystemBroadcasts)
{
    HWND top = Create(Popup, RECT{100, 100, 200, 200});
    HWND hidden = Create(0, RECT{}, HWND_MESSAGE);
    SystemTableOverride keep;  // puts the colours back
    auto heard = [this](HWND w, UINT message) {
        std::vector<WPARAM> out;
        for (const Received& r : Rec.Of(message)) {
            if (r.Window == w)
                out.push_back(r.WParam);
        }
        return out;
    };
    Rec.Log.clear();
    SetApplicationActive(false);
    SetApplicationActive(true);
    const int index = COLOR_BTNFACE;
    const COLORREF colour = 0x00123456;
    SetSysColors(1, &index, &colour);
    for (HWND w : {top, hidden}) {
        SCOPED_TRACE(w == top ? "TopLevel" : "MessageOnly");
        EXPECT_EQ(heard(w, WM_ACTIVATEAPP), (std::vector<WPARAM>{FALSE, TRUE}));
        EXPECT_EQ(heard(w, WM_SYSCOLORCHANGE).size(), 1u);
    }
}

TEST_F(MonitorTest, PointsAndRectanglesFindTheirMonitor)
{
    const HMONITOR primary = MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL);
    const HMONITOR second = MonitorFromPoint(POINT{1500, 500}, MONITOR_DEFAULTTONULL);
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(primary, second);
    struct PointRow {
        const char* name;
        POINT point;
        DWORD flags;
        HMONITOR expected;
    };
    const PointRow points[] = {
        {"LeftOfEverythingNearest", POINT{-100, 300}, MONITOR_DEFAULTTONEAREST, primary},
        {"BelowTheSecondNearest", POINT{2000, 1500}, MONITOR_DEFAULTTONEAREST, second},
        {"BelowThePrimaryToNull", POINT{500, 900}, MONITOR_DEFAULTTONULL, nullptr},
        {"BelowThePrimaryToPrimary", POINT{1500, 1500}, MONITOR_DEFAULTTOPRIMARY, primary},
        {"FirstPixelOfTheSecond", POINT{1024, 0}, MONITOR_DEFAULTTONULL, second},
    };
    for (const PointRow& row : points) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MonitorFromPoint(row.point, row.flags), row.expected);
    }
    struct RectRow {
        const char* name;
        RECT rect;
        DWORD flags;
        HMONITOR expected;
    };
    const RectRow rects[] = {
        {"MostlyOnTheSecond", RECT{1000, 100, 1200, 200}, MONITOR_DEFAULTTONULL, second},
        {"MostlyOnThePrimary", RECT{900, 100, 1050, 200}, MONITOR_DEFAULTTONULL, primary},
        {"OffEveryScreenToNull", RECT{-500, -500, -400, -400}, MONITOR_DEFAULTTONULL, nullptr},
        {"OffEveryScreenNearest", RECT{3000, 100, 3100, 200}, MONITOR_DEFAULTTONEAREST, second},
    };
    for (const RectRow& row : rects) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(MonitorFromRect(&row.rect, row.flags), row.expected);
    }
    HWND w = Create(Popup, RECT{1100, 100, 1300, 300});
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), second);

    MONITORINFO info;
    ASSERT_TRUE(GetMonitorInfo(primary, &info));
    EXPECT_EQ(info.rcMonitor, RECT(0, 0, 1024, 768));
    EXPECT_EQ(info.rcWork, RECT(0, 0, 1024, 728));
    EXPECT_EQ(info.dwFlags & MONITORINFOF_PRIMARY, MONITORINFOF_PRIMARY);
    ASSERT_TRUE(GetMonitorInfo(second, &info));
    EXPECT_EQ(info.rcWork, RECT(1024, 0, 2304, 1024));
    EXPECT_EQ(info.dwFlags & MONITORINFOF_PRIMARY, 0u);
    EXPECT_FALSE(GetMonitorInfo(nullptr, &info));

    // The system tables answer from the same screens.
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    RECT work{};
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work, RECT(0, 0, 1024, 728));
}

TEST_F(MonitorTest, RectanglesAndPlacementsAreKeptOnAWorkArea)
{
    struct Row {
        const char* name;
        RECT in;
        RECT out;
    };
    const Row rows[] = {
        {"Inside", RECT{100, 100, 300, 300}, RECT{100, 100, 300, 300}},
        {"UnderTheTaskBar", RECT{100, 700, 300, 760}, RECT{100, 668, 300, 728}},
        {"OffTheLeft", RECT{-150, 10, 50, 110}, RECT{0, 10, 200, 110}},
        {"OffTheRightOfTheSecond", RECT{2200, 10, 2400, 110}, RECT{2104, 10, 2304, 110}},
        {"TallerThanTheWorkArea", RECT{10, 10, 110, 1010}, RECT{10, 0, 110, 728}},
        {"FarAwayGoesToTheNearest", RECT{5000, 5000, 5100, 5100}, RECT{2204, 924, 2304, 1024}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ClampRectToWorkArea(row.in), row.out);
    }

    HWND w = Create(Popup, RECT{100, 100, 300, 300});
    WINDOWPLACEMENT placement;
    placement.showCmd = SW_SHOWMINIMIZED;
    placement.rcNormalPosition = RECT{-400, 100, -200, 300};
    ASSERT_TRUE(SetWindowPlacement(w, &placement));
    EXPECT_FALSE(IsIconic(w));
    WINDOWPLACEMENT back;
    ASSERT_TRUE(GetWindowPlacement(w, &back));
    EXPECT_EQ(back.length, 44u);
    EXPECT_EQ(back.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
    EXPECT_EQ(back.rcNormalPosition, RECT(0, 100, 200, 300));
}

}  // namespace
}  // namespace ovrel::ui::test
