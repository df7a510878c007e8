// The docked frame of a dockable window: its non-client area with the drag handle and the close button, what
// each point of it is, the cursor, presses and double clicks on it, the context menu, the background behind
// the content, repainting on moves, and the base look that the themed windows replace.
#include "toolbars/DockableWindow.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/FloatingWindow.h"

#include <algorithm>
#include <array>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

// The close cross, 8 x 8, most significant bit leftmost.
constexpr std::array<BYTE, 8> kCloseGlyph{0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};

TPoint ScreenPointOf(LPARAM lParam) { return TPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// A raised strip of the grip, with the highlight carried to its far end.
void DrawGripStrip(HDC dc, TRect strip, bool alongY)
{
    if (IsRectEmpty(&strip) != FALSE)
        return;
    DrawEdge(dc, &strip, BDR_RAISEDINNER, BF_RECT);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (alongY)
        SetPixel(dc, strip.left, strip.bottom - 1, highlight);
    else
        SetPixel(dc, strip.right - 1, strip.top, highlight);
}

}  // namespace

// ---- Geometry ---------------------------------------------------------------------------------------------

TPoint TTBCustomDockableWindow::GetDockedFrameSize(const TTBDock* dock) const
{
    if (dock == nullptr)
        return TPoint{0, 0};
    TPoint size{4, 4};
    if (dock->GetAllowDrag()) {
        const int along = DragHandleWidth(FDragHandleStyle, FCloseButtonWhenDocked) + 4;
        (dock->IsVertical() ? size.y : size.x) = along;
    }
    return size;
}

int TTBCustomDockableWindow::GetDragHandleSize() const
{
    if (!FDocked || FCurrentDock == nullptr || !FCurrentDock->GetAllowDrag())
        return 0;
    return DragHandleWidth(FDragHandleStyle, FCloseButtonWhenDocked);
}

TRect TTBCustomDockableWindow::DockedCloseButtonRect(bool vertical)
{
    const int side = DragHandleWidth(FDragHandleStyle, FCloseButtonWhenDocked) - 3;
    if (vertical) {
        const int left = GetClientWidth() - 9;
        return TRect{left, 3, left + side, 3 + side};
    }
    return TRect{3, 2, 3 + side, 2 + side};
}

TPoint TTBCustomDockableWindow::ScreenToWindow(TPoint screen) const
{
    TRect window{};
    GetWindowRect(const_cast<TTBCustomDockableWindow*>(this)->GetHandle(), &window);
    return TPoint{screen.x - window.left, screen.y - window.top};
}

// ---- Messages ---------------------------------------------------------------------------------------------

void TTBCustomDockableWindow::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_NCPAINT: WMNCPaint(message); return;
    case WM_NCMOUSEMOVE: WMNCMouseMove(message); return;
    case WM_NCMOUSELEAVE: WMNCMouseLeave(message); return;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(message); return;
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(message); return;
    case WM_NCRBUTTONUP: WMNCRButtonUp(message); return;
    case WM_MOVE: WMMove(message); return;
    case WM_ENABLE: WMEnable(message); return;
    case WM_PRINT:
        EmulatePrintMessage(GetHandle(), message, [this](HWND, HDC dc) {
            if (FDocked)
                PaintDockedFrame(true, dc, nullptr);
        });
        return;
    case WM_PRINTCLIENT: PaintForPrintClient(this, message); return;
    default: TCustomControl::Dispatch(message);
    }
}

void TTBCustomDockableWindow::WMNCCalcSize(TMessage& message)
{
    if (!FDocked || FCurrentDock == nullptr || message.WParam == 0) {
        TCustomControl::WMNCCalcSize(message);
        return;
    }
    RECT& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0];
    InflateRect(&r, -2, -2);
    const int handle = GetDragHandleSize();
    (FCurrentDock->IsVertical() ? r.top : r.left) += handle;
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
    message.Result = 0;
}

void TTBCustomDockableWindow::WMNCHitTest(TMessage& message)
{
    if (!FDocked || FCurrentDock == nullptr) {
        TCustomControl::WMNCHitTest(message);
        return;
    }
    const TPoint p = ScreenToWindow(ScreenPointOf(message.LParam));
    const TRect client = GetClientInset(GetHandle());
    if (PtInRect(&client, p) != FALSE) {
        message.Result = HTCLIENT;
        return;
    }
    message.Result = HT_TB_DRAGAREA;
    if (FCloseButtonWhenDocked && FCurrentDock->GetAllowDrag()) {
        const TRect button = DockedCloseButtonRect(FCurrentDock->IsVertical());
        if (PtInRect(&button, p) != FALSE)
            message.Result = HT_TB_CLOSEBUTTON;
    }
}

void TTBCustomDockableWindow::WMSetCursor(TMessage& message)
{
    if (FDocked && FCurrentDock != nullptr && FCurrentDock->GetAllowDrag() && FDragHandleStyle != dhNone &&
        reinterpret_cast<HWND>(message.WParam) == GetHandle() && LOWORD(message.LParam) == HT_TB_DRAGAREA) {
        TPoint cursor{};
        GetCursorPos(&cursor);
        const TPoint p = ScreenToWindow(cursor);
        if ((FCurrentDock->IsVertical() ? p.y : p.x) < GetDragHandleSize() + 2) {
            ui::SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
            message.Result = 1;
            return;
        }
    }
    TCustomControl::WMSetCursor(message);
}

// ---- Close button -----------------------------------------------------------------------------------------

void TTBCustomDockableWindow::SetCloseButtonHover(bool value)
{
    if (FCloseButtonHover == value)
        return;
    FCloseButtonHover = value;
    RedrawDockedFrame();
}

void TTBCustomDockableWindow::WMNCMouseMove(TMessage& message)
{
    const bool over = message.WParam == HT_TB_CLOSEBUTTON;
    if (over && !FCloseButtonHover && NonClientLeaveSupported())
        RequestMouseTracking(GetHandle(), TME_LEAVE | TME_NONCLIENT);
    SetCloseButtonHover(over);
    DefaultHandler(message);
}

void TTBCustomDockableWindow::WMNCMouseLeave(TMessage& message)
{
    if (GetCapture() != GetHandle())
        SetCloseButtonHover(false);
    DefaultHandler(message);
}

void TTBCustomDockableWindow::CMMouseLeave(TMessage& message)
{
    SetCloseButtonHover(false);
    TCustomControl::CMMouseLeave(message);
}

void TTBCustomDockableWindow::MouseMove(TShiftState shift, int x, int y)
{
    SetCloseButtonHover(false);
    TCustomControl::MouseMove(shift, x, y);
}

// ---- Presses ----------------------------------------------------------------------------------------------

void TTBCustomDockableWindow::WMNCLButtonDown(TMessage& message)
{
    if (FDocked && FCurrentDock != nullptr) {
        if (message.WParam == HT_TB_DRAGAREA && CanBeDragged()) {
            const TPoint p = ScreenToClient(ScreenPointOf(message.LParam));
            RunDragLoop(p.x, p.y);
            message.Result = 0;
            return;
        }
        if (message.WParam == HT_TB_CLOSEBUTTON) {
            const TRect button = DockedCloseButtonRect(FCurrentDock->IsVertical());
            const bool released = TrackCloseButton(GetHandle(), button, [this](bool pressed) {
                if (FCloseButtonDown != pressed) {
                    FCloseButtonDown = pressed;
                    RedrawDockedFrame();
                }
            });
            if (FCloseButtonDown) {
                FCloseButtonDown = false;
                RedrawDockedFrame();
            }
            if (released)
                Close();
            message.Result = 0;
            return;
        }
    }
    DefaultHandler(message);
}

void TTBCustomDockableWindow::WMNCLButtonDblClk(TMessage& message)
{
    if (message.WParam == HT_TB_DRAGAREA && CanBeDragged()) {
        DoubleClick();
        message.Result = 0;
        return;
    }
    DefaultHandler(message);
}

void TTBCustomDockableWindow::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !CanBeDragged() || PointBlocksDrag(TPoint{x, y}))
        return;
    if (shift.Contains(ssDouble)) {
        DoubleClick();
        return;
    }
    RunDragLoop(x, y);
    // The press has been used up by the drag: the control sees its release where no click can come of it.
    Perform(WM_LBUTTONUP, 0, MAKELPARAM(-1, -1));
}

void TTBCustomDockableWindow::WMNCRButtonUp(TMessage& message)
{
    message.Result = SendMessage(GetHandle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetHandle()), message.LParam);
}

void TTBCustomDockableWindow::WMContextMenu(TMessage& message)
{
    if (message.Result != 0)
        return;
    const TPoint screen = ScreenPointOf(message.LParam);
    const bool fromKeyboard = screen.x == -1 && screen.y == -1;
    if (!fromKeyboard) {
        const TPoint client = ScreenToClient(screen);
        const TRect clientRect = GetClientRect();
        if (PtInRect(&clientRect, client) != FALSE) {
            TCustomControl::WMContextMenu(message);
            return;
        }
    }
    // The frame belongs to the window itself, not to what lies in its client area.
    TControl::WMContextMenu(message);
}

// ---- Background, moves, changes ---------------------------------------------------------------------------

void TTBCustomDockableWindow::WMEraseBkgnd(TMessage& message)
{
    if (!FDocked || FCurrentDock == nullptr || !FCurrentDock->UsingBackground() ||
        !FCurrentDock->GetBackgroundOnToolbars()) {
        TCustomControl::WMEraseBkgnd(message);
        return;
    }
    auto* dc = reinterpret_cast<HDC>(message.WParam);
    // The dock draws in its parent's coordinates; the window's client origin lies this far into them.
    TPoint origin = ClientToScreen(TPoint{0, 0});
    if (TWinControl* dockParent = FCurrentDock->GetParent())
        origin = dockParent->ScreenToClient(origin);
    TRect client = GetClientRect();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    OffsetRect(&client, origin.x, origin.y);
    SetWindowOrgEx(dc, origin.x, origin.y, nullptr);
    FCurrentDock->DrawBackground(dc, client);
    RestoreDC(dc, saved);
    message.Result = 1;
}

void TTBCustomDockableWindow::WMMove(TMessage& message)
{
    DefaultHandler(message);
    FMoved = true;
    if (FDocked && FCurrentDock != nullptr && FCurrentDock->UsingBackground() && HandleAllocated()) {
        // The background behind the window moved with it: paint at once, off screen, so it does not flicker.
        const HWND handle = GetHandle();
        const TRect client = GetClientRect();
        TRect update{};
        const bool allInvalid = GetUpdateRect(handle, &update, FALSE) != FALSE && update == client;
        RedrawDockedFrame();
        if (!allInvalid && IsRectEmpty(&client) == FALSE) {
            HDC windowDC = GetDC(handle);
            HDC memory = CreateCompatibleDC(windowDC);
            HBITMAP bitmap = CreateCompatibleBitmap(windowDC, client.right, client.bottom);
            HGDIOBJ old = SelectObject(memory, bitmap);
            Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
            Perform(WM_PAINT, reinterpret_cast<WPARAM>(memory), 0);
            BitBlt(windowDC, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteObject(bitmap);
            DeleteDC(memory);
            ReleaseDC(handle, windowDC);
            ValidateRect(handle, nullptr);
        }
    }
    if (FDisableOnMove == 0)
        OnMove(this);
}

void TTBCustomDockableWindow::WMEnable(TMessage& message)
{
    DefaultHandler(message);
    if (FFloating && FFloatingMode == fmOnTopOfAllForms)
        SynchronizeFrameTopmost();
}

void TTBCustomDockableWindow::CMColorChanged(TMessage& message)
{
    TCustomControl::CMColorChanged(message);
    RedrawDockedFrame();
}

void TTBCustomDockableWindow::CMTextChanged(TMessage& message)
{
    TCustomControl::CMTextChanged(message);
    if (TTBFloatingWindowParent* frame = dynamic_cast<TTBFloatingWindowParent*>(GetParent()))
        frame->SetCaption(GetCaption());
}

void TTBCustomDockableWindow::CMVisibleChanged(TMessage& message)
{
    TCustomControl::CMVisibleChanged(message);
    if (FCurrentDock != nullptr && !GetComponentState().Contains(csDesigning))
        FCurrentDock->UpdateVisibleList(this, false);
    OnVisibleChanged(this);
}

// ---- Painting ---------------------------------------------------------------------------------------------

void TTBCustomDockableWindow::RedrawDockedFrame()
{
    if (HandleAllocated() && FDocked)
        SendMessage(GetHandle(), WM_NCPAINT, 1, 0);
}

void TTBCustomDockableWindow::WMNCPaint(TMessage& message)
{
    if (!FDocked || FCurrentDock == nullptr) {
        DefaultHandler(message);
        return;
    }
    HDC dc = GetWindowDC(GetHandle());
    PaintDockedFrame(false, dc, reinterpret_cast<HRGN>(message.WParam));
    ReleaseDC(GetHandle(), dc);
    message.Result = 0;
}

void TTBCustomDockableWindow::PaintDockedFrame(bool drawToDC, HDC dc, HRGN clip)
{
    if (!FDocked || FCurrentDock == nullptr || !HandleAllocated() || dc == nullptr)
        return;
    const HWND handle = GetHandle();
    const int saved = SaveDC(dc);
    if (!drawToDC) {
        ClipToNonClientUpdateRegion(handle, dc, clip);
        const TRect inset = GetClientInset(handle);
        ExcludeClipRect(dc, inset.left, inset.top, inset.right, inset.bottom);
    }
    TRect r{0, 0, GetWidth(), GetHeight()};
    HBRUSH face = CreateSolidBrush(ColorToRGB(GetColor()));
    if (FBorderStyle == TBorderStyle::bsSingle) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    } else {
        FrameRect(dc, &r, face);
        InflateRect(&r, -1, -1);
    }
    if (FCurrentDock->UsingBackground() && FCurrentDock->GetBackgroundOnToolbars()) {
        // The inner ring shows the dock's background, continuous with the dock's own.
        const int ring = SaveDC(dc);
        TRect inner = r;
        InflateRect(&inner, -1, -1);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        TRect inParent = r;
        const TPoint origin = ClientToParent(TPoint{0, 0}, FCurrentDock->GetParent());
        const TRect inset = GetClientInset(handle);
        OffsetRect(&inParent, origin.x - inset.left, origin.y - inset.top);
        SetWindowOrgEx(dc, origin.x - inset.left, origin.y - inset.top, nullptr);
        FCurrentDock->DrawBackground(dc, inParent);
        RestoreDC(dc, ring);
    } else {
        FrameRect(dc, &r, face);
    }
    InflateRect(&r, -1, -1);

    const int handleSize = GetDragHandleSize();
    if (handleSize > 0) {
        const bool vertical = FCurrentDock->IsVertical();
        const TRect area = vertical ? TRect{r.left, r.top, r.right, r.top + handleSize}
                                    : TRect{r.left, r.top, r.left + handleSize, r.bottom};
        FillRect(dc, &area, face);
        const TRect button = DockedCloseButtonRect(vertical);
        const int strips = FDragHandleStyle == dhDouble ? 2 : FDragHandleStyle == dhSingle ? 1 : 0;
        const int start = DragHandleGripOffset(FDragHandleStyle, FCloseButtonWhenDocked) + 2;
        for (int i = 0; i < strips; ++i) {
            const int at = start + 3 * i;
            if (vertical)
                DrawGripStrip(dc, TRect{r.left + 1, at, FCloseButtonWhenDocked ? button.left - 2 : r.right - 1, at + 3},
                              false);
            else
                DrawGripStrip(
                    dc, TRect{at, FCloseButtonWhenDocked ? button.bottom + 2 : r.top + 1, at + 3, r.bottom - 1}, true);
        }
        if (FCloseButtonWhenDocked) {
            TRect edge = button;
            if (FCloseButtonDown)
                DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
            else if (FCloseButtonHover)
                DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
            const int shift = FCloseButtonDown ? 1 : 0;
            DrawMonoGlyph(dc, kCloseGlyph, button.left + 3 + shift, button.top + 2 + shift,
                          GetSysColorBrush(COLOR_BTNTEXT));
        }
    }
    DeleteObject(face);
    RestoreDC(dc, saved);
}

}  // namespace ovrel::toolbars
