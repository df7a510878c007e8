// The default window procedure: the emulated non-client area (size, hit test, paint, standard scroll bars),
// cursors, key-menu synthesis, closing, text, printing, and the hand-back of native controls' Qt events.

#include "platform/ui/Window.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window_p.h"

#include <QGuiApplication>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstring>
#include <optional>

namespace ovrel::ui {
namespace {

bool HasEmulatedFrame(const Window* w) { return !w->MessageOnly && !IsFramedTopLevel(w); }

// A native control draws the frame its styles ask for, and its own scroll bars; only a window procedure
// that answers WM_NCCALCSIZE gives it a frame of ours.
bool HasStyleFrame(const Window* w) { return HasEmulatedFrame(w) && !w->Native; }

// Frame thickness on each side, outside the scroll bars.
RECT FrameInsets(const Window* w)
{
    RECT in{};
    if (!HasStyleFrame(w))
        return in;
    int t = 0;
    if ((w->Style & WS_THICKFRAME) != 0)
        t += std::max(0, GetSystemMetrics(SM_CXSIZEFRAME));
    if ((w->Style & WS_BORDER) != 0)
        t += 1;
    if ((w->ExStyle & WS_EX_CLIENTEDGE) != 0)
        t += 2;
    if ((w->ExStyle & WS_EX_STATICEDGE) != 0)
        t += 1;
    return RECT{t, t, t, t};
}

int BarSize(int metric)
{
    const int size = GetSystemMetrics(metric);
    return size > 0 ? size : 16;
}

LRESULT DefaultCalcSize(Window* w, WPARAM wParam, LPARAM lParam)
{
    RECT* rect = wParam != 0 ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    if (rect == nullptr || !HasStyleFrame(w))
        return 0;
    const RECT in = FrameInsets(w);
    rect->left += in.left;
    rect->top += in.top;
    rect->right -= in.right;
    rect->bottom -= in.bottom;
    if (w->VertBar.Visible)
        rect->right -= BarSize(SM_CXVSCROLL);
    if (w->HorzBar.Visible)
        rect->bottom -= BarSize(SM_CYHSCROLL);
    rect->right = std::max(rect->right, rect->left);
    rect->bottom = std::max(rect->bottom, rect->top);
    return 0;
}

bool InRect(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

int SizingCursor(LRESULT hit)
{
    switch (hit) {
    case HTLEFT:
    case HTRIGHT: return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM: return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return IDC_SIZENESW;
    default: return IDC_ARROW;
    }
}

LRESULT DefaultHitTest(Window* w, LPARAM lParam)
{
    const POINT origin = WindowOriginOnScreen(w);
    const POINT p{GET_X_LPARAM(lParam) - origin.x, GET_Y_LPARAM(lParam) - origin.y};
    if (!InRect(RECT{0, 0, w->Width(), w->Height()}, p))
        return HTNOWHERE;
    if (!HasEmulatedFrame(w) || InRect(w->Client, p))
        return HTCLIENT;
    if (InRect(ScrollBarRect(w, SB_VERT), p))
        return HTVSCROLL;
    if (InRect(ScrollBarRect(w, SB_HORZ), p))
        return HTHSCROLL;
    if ((w->Style & WS_THICKFRAME) != 0) {
        const int frame = std::max(1, GetSystemMetrics(SM_CXSIZEFRAME));
        const int corner = frame + std::max(0, GetSystemMetrics(SM_CYSMCAPTION));
        const bool left = p.x < frame;
        const bool right = p.x >= w->Width() - frame;
        const bool top = p.y < frame;
        const bool bottom = p.y >= w->Height() - frame;
        const bool nearLeft = p.x < corner;
        const bool nearRight = p.x >= w->Width() - corner;
        const bool nearTop = p.y < corner;
        const bool nearBottom = p.y >= w->Height() - corner;
        if ((top && nearLeft) || (left && nearTop))
            return HTTOPLEFT;
        if ((top && nearRight) || (right && nearTop))
            return HTTOPRIGHT;
        if ((bottom && nearLeft) || (left && nearBottom))
            return HTBOTTOMLEFT;
        if ((bottom && nearRight) || (right && nearBottom))
            return HTBOTTOMRIGHT;
        if (left)
            return HTLEFT;
        if (right)
            return HTRIGHT;
        if (top)
            return HTTOP;
        if (bottom)
            return HTBOTTOM;
    }
    return HTBORDER;
}

// Where the thumb lies along a bar of the given length (arrow boxes excluded); {start, size}.
std::pair<int, int> ThumbSpan(const ScrollBarState& bar, int length, int arrow)
{
    const int track = std::max(0, length - 2 * arrow);
    const long long range = static_cast<long long>(bar.Info.nMax) - bar.Info.nMin + 1;
    if (range <= 0 || track <= 0)
        return {arrow, 0};
    int thumb =
        bar.Info.nPage == 0
            ? arrow
            : static_cast<int>(std::min<long long>(track, track * static_cast<long long>(bar.Info.nPage) / range));
    thumb = std::clamp(thumb, std::min(8, track), track);
    const long long span = range - std::max<long long>(bar.Info.nPage, 1);
    const long long offset =
        span > 0 ? (track - thumb) * static_cast<long long>(bar.Info.nPos - bar.Info.nMin) / span : 0;
    return {arrow + static_cast<int>(std::clamp<long long>(offset, 0, track - thumb)), thumb};
}

void PaintScrollBar(HDC dc, const Window* w, int which)
{
    const RECT r = ScrollBarRect(w, which);
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    const ScrollBarState& bar = which == SB_VERT ? w->VertBar : w->HorzBar;
    const bool vertical = which == SB_VERT;
    const int thickness = vertical ? r.right - r.left : r.bottom - r.top;
    const int length = vertical ? r.bottom - r.top : r.right - r.left;
    const int arrow = std::min(thickness, length / 2);
    FillRect(dc, &r, GetSysColorBrush(COLOR_SCROLLBAR));
    const UINT inactive = bar.Enabled ? 0 : DFCS_INACTIVE;
    RECT first = vertical ? RECT{r.left, r.top, r.right, r.top + arrow} : RECT{r.left, r.top, r.left + arrow, r.bottom};
    RECT second =
        vertical ? RECT{r.left, r.bottom - arrow, r.right, r.bottom} : RECT{r.right - arrow, r.top, r.right, r.bottom};
    DrawFrameControl(dc, &first, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
    DrawFrameControl(dc, &second, DFC_SCROLL, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
    if (!bar.Enabled)
        return;
    const auto [start, size] = ThumbSpan(bar, length, arrow);
    if (size <= 0)
        return;
    RECT thumb = vertical ? RECT{r.left, r.top + start, r.right, r.top + start + size}
                          : RECT{r.left + start, r.top, r.left + start + size, r.bottom};
    FillRect(dc, &thumb, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
}

void DefaultNcPaint(Window* w)
{
    const bool noFrame = w->Native && w->Client == RECT{0, 0, w->Width(), w->Height()};
    if (!HasEmulatedFrame(w) || noFrame)
        return;
    HDC dc = GetWindowDC(w);
    if (dc == nullptr)
        return;
    RECT r{0, 0, w->Width(), w->Height()};
    if (w->Native) {
        // A frame given to a control is plain until its window procedure paints one.
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, w->Client.left, w->Client.top, w->Client.right, w->Client.bottom);
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        RestoreDC(dc, saved);
        ReleaseDC(w, dc);
        return;
    }
    if ((w->Style & WS_THICKFRAME) != 0) {
        const int frame = std::max(0, GetSystemMetrics(SM_CXSIZEFRAME));
        const RECT bands[] = {
            RECT{r.left, r.top, r.right, r.top + frame}, RECT{r.left, r.bottom - frame, r.right, r.bottom},
            RECT{r.left, r.top, r.left + frame, r.bottom}, RECT{r.right - frame, r.top, r.right, r.bottom}};
        for (const RECT& band : bands)
            FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
        RECT outer = r;
        DrawEdge(dc, &outer, EDGE_RAISED, BF_RECT);
        r = RECT{r.left + frame, r.top + frame, r.right - frame, r.bottom - frame};
    }
    if ((w->Style & WS_BORDER) != 0) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if ((w->ExStyle & WS_EX_CLIENTEDGE) != 0) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
    if ((w->ExStyle & WS_EX_STATICEDGE) != 0) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    PaintScrollBar(dc, w, SB_VERT);
    PaintScrollBar(dc, w, SB_HORZ);
    if (w->VertBar.Visible && w->HorzBar.Visible) {
        const RECT v = ScrollBarRect(w, SB_VERT);
        const RECT h = ScrollBarRect(w, SB_HORZ);
        const RECT box{v.left, h.top, v.right, h.bottom};
        FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    }
    ReleaseDC(w, dc);
}

// A press on a standard bar: arrows scroll a line, the track a page. The thumb is not dragged.
void ScrollBarClick(Window* w, int which, LPARAM screenPoint)
{
    const RECT r = ScrollBarRect(w, which);
    const ScrollBarState& bar = which == SB_VERT ? w->VertBar : w->HorzBar;
    if (!bar.Enabled || r.right <= r.left)
        return;
    const POINT origin = WindowOriginOnScreen(w);
    const bool vertical = which == SB_VERT;
    const int along =
        vertical ? GET_Y_LPARAM(screenPoint) - origin.y - r.top : GET_X_LPARAM(screenPoint) - origin.x - r.left;
    const int length = vertical ? r.bottom - r.top : r.right - r.left;
    const int thickness = vertical ? r.right - r.left : r.bottom - r.top;
    const int arrow = std::min(thickness, length / 2);
    const auto [start, size] = ThumbSpan(bar, length, arrow);
    WORD code;
    if (along < arrow)
        code = SB_LINEUP;
    else if (along >= length - arrow)
        code = SB_LINEDOWN;
    else if (along < start)
        code = SB_PAGEUP;
    else if (along >= start + size)
        code = SB_PAGEDOWN;
    else
        return;
    const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
    SendMessage(w, message, MAKEWPARAM(code, 0), 0);
    if (ToWindow(w) != nullptr)
        SendMessage(w, message, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

LRESULT DefaultSetCursor(Window* w, WPARAM wParam, LPARAM lParam)
{
    if ((w->Style & WS_CHILD) != 0 && w->Parent != nullptr && SendMessage(w->Parent, WM_SETCURSOR, wParam, lParam) != 0)
        return TRUE;
    const auto hit = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)));
    if (hit == HTCLIENT) {
        Window* target = ToWindow(reinterpret_cast<HWND>(wParam));
        if (target == nullptr)
            target = w;
        SetCursor(target->ClassCursor != nullptr ? target->ClassCursor : LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
    }
    SetCursor(LoadCursor(nullptr, SizingCursor(hit)));
    return TRUE;
}

// The client as it shows: a native control as it paints itself with the window's layer over it, any other
// window as it last painted its backing image.
void PrintClient(Window* w, HDC dc)
{
    const RECT client = w->ClientSize();
    if (dc == nullptr || w->MessageOnly || client.right <= 0 || client.bottom <= 0)
        return;
    if (w->Control != nullptr)
        StretchImage(dc, client, w->Control->grab().toImage());
    if (!w->Image.isNull())
        StretchImage(dc, client, w->Image.copy(QtFromRect(w->Client)));
}

void DefaultPrint(Window* w, HDC dc, LPARAM flags)
{
    if ((flags & PRF_CHECKVISIBLE) != 0 && IsWindowVisible(w) == FALSE)
        return;
    if ((flags & PRF_NONCLIENT) != 0 && !w->MessageOnly) {
        if (w->FrameInvalid) {
            w->FrameInvalid = false;
            SendMessage(w, WM_NCPAINT, 1, 0);
        }
        // The frame is already in the backing image.
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, w->Client.left, w->Client.top, w->Client.right, w->Client.bottom);
        StretchImage(dc, RECT{0, 0, w->Width(), w->Height()}, w->Image);
        RestoreDC(dc, saved);
    }
    const bool withFrame = (flags & PRF_NONCLIENT) != 0;
    const int saved = SaveDC(dc);
    if (withFrame)
        OffsetViewportOrgEx(dc, w->Client.left, w->Client.top, nullptr);
    const RECT client = w->ClientSize();
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    if ((flags & PRF_ERASEBKGND) != 0)
        SendMessage(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if ((flags & PRF_CLIENT) != 0 && ToWindow(w) != nullptr)
        SendMessage(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    if ((flags & PRF_CHILDREN) != 0 && ToWindow(w) != nullptr) {
        const std::vector<Window*> children = w->Children;
        for (auto it = children.rbegin(); it != children.rend(); ++it) {  // bottom of the z-order first
            Window* child = *it;
            if (child->Destroyed || (child->Style & WS_VISIBLE) == 0)
                continue;
            const int childSaved = SaveDC(dc);
            OffsetViewportOrgEx(dc, child->Bounds.left, child->Bounds.top, nullptr);
            SendMessage(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), (flags & ~PRF_OWNED) | PRF_NONCLIENT);
            RestoreDC(dc, childSaved);
        }
    }
    RestoreDC(dc, saved);
}

bool MovesLeft(LRESULT hit) { return hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT; }
bool MovesRight(LRESULT hit) { return hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT; }
bool MovesTop(LRESULT hit) { return hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT; }
bool MovesBottom(LRESULT hit) { return hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT; }

// The window rectangle a sizing drag by delta gives: only the grabbed edges move, and a size outside the
// limits is corrected on the moving side, so the opposite edge stays where it was.
RECT TrackSizingRect(const RECT& start, LRESULT hit, POINT delta, const MINMAXINFO& limits)
{
    RECT r = start;
    const int minWidth = limits.ptMinTrackSize.x;
    const int maxWidth = std::max(minWidth, static_cast<int>(limits.ptMaxTrackSize.x));
    const int minHeight = limits.ptMinTrackSize.y;
    const int maxHeight = std::max(minHeight, static_cast<int>(limits.ptMaxTrackSize.y));
    if (MovesLeft(hit))
        r.left = std::clamp(start.left + delta.x, start.right - maxWidth, start.right - minWidth);
    if (MovesRight(hit))
        r.right = std::clamp(start.right + delta.x, start.left + minWidth, start.left + maxWidth);
    if (MovesTop(hit))
        r.top = std::clamp(start.top + delta.y, start.bottom - maxHeight, start.bottom - minHeight);
    if (MovesBottom(hit))
        r.bottom = std::clamp(start.bottom + delta.y, start.top + minHeight, start.top + maxHeight);
    return r;
}

// The layer's own sizing loop for a top-level window whose frame the window manager does not draw (or where
// there is no window manager): follows the pointer until the button goes up; Escape puts the window back.
// Capture stays on the window that got the press, so its loss (the application deactivating) ends the loop.
void RunSizingLoop(Window* top, Window* pressed, LRESULT hit, POINT start)
{
    const RECT startRect = top->Bounds;
    const MINMAXINFO limits = QueryTrackLimits(top);
    SetCapture(pressed);
    SetCursor(LoadCursor(nullptr, SizingCursor(hit)));
    auto place = [top](const RECT& r) {
        SetWindowPos(top, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    MSG msg;
    while (GetCapture() == pressed && ToWindow(top) != nullptr) {
        if (GetMessage(&msg, nullptr, 0, 0) == FALSE) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns the quit
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            ClientToScreen(msg.hwnd, &p);
            place(TrackSizingRect(startRect, hit, POINT{p.x - start.x, p.y - start.y}, limits));
            if (msg.message == WM_LBUTTONUP)
                break;
        } else if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            if (msg.wParam == VK_ESCAPE) {
                place(startRect);
                break;
            }
        } else if ((msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                   (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)) {
            // Other keys and buttons do nothing while sizing.
        } else {
            DispatchMessage(&msg);
        }
    }
    if (ToWindow(pressed) != nullptr && GetCapture() == pressed)
        ReleaseCapture();
}

// A press on a sizing edge, of a resizable top-level window or of a child answering with the code (a status
// bar's grip): the top-level window is sized, by the window manager where it draws the frame.
void StartSizing(Window* w, LRESULT hit, LPARAM screenPoint)
{
    Window* top = Root(w);
    if (top == nullptr || top->MessageOnly || (top->Style & WS_THICKFRAME) == 0 || top->Minimized || top->Maximized)
        return;
    if (IsFramedTopLevel(top) && top->Widget != nullptr && top->Widget->windowHandle() != nullptr &&
        QGuiApplication::platformName() != QStringLiteral("offscreen")) {
        Qt::Edges edges;
        if (MovesLeft(hit))
            edges |= Qt::LeftEdge;
        if (MovesRight(hit))
            edges |= Qt::RightEdge;
        if (MovesTop(hit))
            edges |= Qt::TopEdge;
        if (MovesBottom(hit))
            edges |= Qt::BottomEdge;
        if (top->Widget->windowHandle()->startSystemResize(edges))
            return;  // the new size comes back as a move of the window manager's
    }
    RunSizingLoop(top, w, hit, POINT{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)});
}

// Each family answers the messages it knows and leaves the rest (nullopt) to the next.
using Answer = std::optional<LRESULT>;

Answer NonClientDefault(Window* w, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_NCCALCSIZE: return DefaultCalcSize(w, wParam, lParam);
    case WM_NCHITTEST: return DefaultHitTest(w, lParam);
    case WM_NCPAINT: DefaultNcPaint(w); return 0;
    case WM_NCACTIVATE: return TRUE;
    case WM_NCLBUTTONDOWN:
        if (wParam == static_cast<WPARAM>(HTVSCROLL))
            ScrollBarClick(w, SB_VERT, lParam);
        else if (wParam == static_cast<WPARAM>(HTHSCROLL))
            ScrollBarClick(w, SB_HORZ, lParam);
        else if (static_cast<LRESULT>(wParam) >= HTLEFT && static_cast<LRESULT>(wParam) <= HTBOTTOMRIGHT)
            StartSizing(w, static_cast<LRESULT>(wParam), lParam);
        return 0;
    default: return std::nullopt;
    }
}

Answer PaintDefault(Window* w, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(w, &paint);
        EndPaint(w, &paint);
        return 0;
    }
    case WM_ERASEBKGND: {
        if (w->ClassBrush == nullptr || wParam == 0)
            return 0;
        const RECT client = w->ClientSize();
        FillRect(reinterpret_cast<HDC>(wParam), &client, w->ClassBrush);
        return 1;
    }
    case WM_PRINT: DefaultPrint(w, reinterpret_cast<HDC>(wParam), lParam); return 0;
    case WM_PRINTCLIENT: PrintClient(w, reinterpret_cast<HDC>(wParam)); return 0;
    default: return std::nullopt;
    }
}

// A child passes what it does not take itself on to its parent.
Answer ToParent(Window* w, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((w->Style & WS_CHILD) == 0 || w->Parent == nullptr)
        return std::nullopt;
    return SendMessage(w->Parent, message, wParam, lParam);
}

Answer MouseDefault(Window* w, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR: return DefaultSetCursor(w, wParam, lParam);
    case WM_MOUSEACTIVATE: {
        const Answer answer = ToParent(w, message, wParam, lParam);
        return answer.value_or(0) != 0 ? *answer : MA_ACTIVATE;
    }
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU: return ToParent(w, message, wParam, lParam).value_or(0);
    case WM_RBUTTONUP: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(w, &p);
        SendMessage(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w), MAKELPARAM(p.x, p.y));
        return 0;
    }
    case WM_CANCELMODE:
        if (System().Capture == w)
            ReleaseCapture();
        return 0;
    default: return std::nullopt;
    }
}

// The keyboard's ways to the context menu, the menu bar and closing.
Answer KeyDefault(Window* w, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowSystem& s = System();
    switch (message) {
    case WM_KEYUP:
        if (wParam == VK_APPS)
            SendMessage(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w), MAKELPARAM(-1, -1));
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29)) != 0)
            SendMessage(Root(w), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSKEYUP:
        if (wParam == VK_MENU && s.AltAlone) {
            s.AltAlone = false;
            SendMessage(Root(w), WM_SYSCOMMAND, SC_KEYMENU, 0);
        } else if (wParam == VK_F10) {
            if ((GetKeyState(VK_SHIFT) & 0x8000) != 0)
                SendMessage(w, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w), MAKELPARAM(-1, -1));
            else
                SendMessage(Root(w), WM_SYSCOMMAND, SC_KEYMENU, 0);
        }
        return 0;
    case WM_SYSCHAR:
        // Alt+Space and Alt+'-' would open system menus, which this program does not have.
        if ((lParam & (1 << 29)) != 0 && wParam >= 0x20 && wParam != ' ' && wParam != '-')
            SendMessage(Root(w), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
        return 0;
    default: return std::nullopt;
    }
}

// The window's state: system commands, closing, activation, text, moves and sizes, keyboard cues.
Answer WindowDefault(Window* w, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessage(w, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(w, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(w, SW_SHOWMAXIMIZED); break;
        case SC_RESTORE: ShowWindow(w, SW_RESTORE); break;
        default: break;  // SC_KEYMENU: no system menu to open
        }
        return 0;
    case WM_CLOSE: DestroyWindow(w); return 0;
    case WM_ACTIVATE: {
        Window* focus = System().Focus;
        if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0 && (focus == nullptr || Root(focus) != w))
            SetFocus(w);
        return 0;
    }
    case WM_SETTEXT:
        w->Text = lParam != 0 ? std::string(reinterpret_cast<const char*>(lParam)) : std::string();
        if (w->Widget != nullptr && w->IsTopLevel())
            w->Widget->setWindowTitle(QString::fromStdString(w->Text));
        return TRUE;
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0)
            return 0;
        const std::size_t count = std::min<std::size_t>(wParam - 1, w->Text.size());
        std::memcpy(reinterpret_cast<char*>(lParam), w->Text.data(), count);
        reinterpret_cast<char*>(lParam)[count] = '\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->Text.size());
    case WM_WINDOWPOSCHANGING: {
        // A resizable top-level window keeps to the sizes WM_GETMINMAXINFO allows.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (pos != nullptr && (pos->flags & SWP_NOSIZE) == 0 && w->IsTopLevel() && (w->Style & WS_THICKFRAME) != 0) {
            const MINMAXINFO limits = QueryTrackLimits(w);
            if (ToWindow(w) == nullptr)
                return 0;
            pos->cx = std::clamp<int>(pos->cx, limits.ptMinTrackSize.x,
                                      std::max(limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x));
            pos->cy = std::clamp<int>(pos->cy, limits.ptMinTrackSize.y,
                                      std::max(limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y));
        }
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos == nullptr)
            return 0;
        if ((pos->flags & SWP_NOMOVE) == 0)
            SendMessage(w, WM_MOVE, 0, MAKELPARAM(w->Bounds.left + w->Client.left, w->Bounds.top + w->Client.top));
        if (((pos->flags & SWP_NOSIZE) == 0 || (pos->flags & SWP_STATECHANGED) != 0) && ToWindow(w) != nullptr) {
            const WPARAM kind = w->Minimized ? SIZE_MINIMIZED : w->Maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
            // A minimised window shows no client area, whatever its bounds still say.
            const RECT c = w->Minimized ? RECT{} : w->ClientSize();
            SendMessage(w, WM_SIZE, kind, MAKELPARAM(c.right, c.bottom));
        }
        return 0;
    }
    case WM_QUERYUISTATE:
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE: return 0;  // keyboard cues are always shown
    default: return std::nullopt;
    }
}

}  // namespace

MINMAXINFO QueryTrackLimits(Window* w)
{
    MINMAXINFO info;
    const int frameX = GetSystemMetrics(SM_CXSIZEFRAME);
    const int frameY = GetSystemMetrics(SM_CYSIZEFRAME);
    const RECT screen = CurrentScreenFacts().Primary;
    info.ptMaxSize = POINT{screen.right - screen.left + 2 * frameX, screen.bottom - screen.top + 2 * frameY};
    info.ptMaxPosition = POINT{-frameX, -frameY};
    info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    info.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendMessage(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    info.ptMinTrackSize.x = std::max<LONG>(0, info.ptMinTrackSize.x);
    info.ptMinTrackSize.y = std::max<LONG>(0, info.ptMinTrackSize.y);
    return info;
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return 0;
    const bool input = (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
                       (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
                       (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
    if (w->Native && input && DeliverOriginalEvent(window, message) && message != WM_SYSKEYDOWN &&
        message != WM_SYSKEYUP && message != WM_RBUTTONUP)
        return 0;
    for (const auto family : {NonClientDefault, PaintDefault, MouseDefault, KeyDefault, WindowDefault})
        if (const Answer answer = family(w, message, wParam, lParam))
            return *answer;
    return 0;
}

}  // namespace ovrel::ui
