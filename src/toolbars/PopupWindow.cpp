// The pop-up window: a hidden top-level window that hosts a pop-up view, shows without activation
// (animated when the system asks for it), paints its frame and scroll bands, and answers hints for the
// selected viewer.
#include "toolbars/Popup.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Animation.h"
#include "toolbars/Common.h"
#include "toolbars/View_p.h"
#include "toolkit/Forms.h"

#include <utility>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

constexpr int kFrameSize = 3;
// A pop-up is made at this size; its view sizes it once laid out.
constexpr int kInitialWidth = 320;
constexpr int kInitialHeight = 240;
// Half the base of a scroll band's triangle; the tip is this far from the base.
constexpr int kArrowHalfWidth = 3;

void FrameWith(HDC dc, TRect& r, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
    InflateRect(&r, -1, -1);
}

// Rows of one pixel, widening from the tip by one pixel on each side per row.
void DrawTriangle(HDC dc, int x, int tipY, int baseY, HBRUSH brush)
{
    const int step = baseY > tipY ? 1 : -1;
    for (int k = 0; k <= kArrowHalfWidth; ++k) {
        const int y = tipY + k * step;
        const TRect row{x - k, y, x + k + 1, y + 1};
        FillRect(dc, &row, brush);
    }
}

}  // namespace

TTBPopupWindow::TTBPopupWindow(TComponent* owner, TTBView* parentView, TTBCustomItem* item, bool customizing)
    : TCustomControl(owner), FParentView(parentView), FItem(item), FCustomizing(customizing)
{
    SetVisible(false);
    SetBounds(0, 0, kInitialWidth, kInitialHeight);
    SetControlStyle(GetControlStyle().Exclude(csCaptureMouse));
    SetShowHint(true);
    SetColor(clMenu);
    SetFont(parentView != nullptr ? parentView->GetFont() : SharedMenuFont());
    SetParentWindow(Application()->GetHandle());
}

TTBPopupWindow::~TTBPopupWindow() = default;

TTBPopupWindow* TTBPopupWindow::CreatePopupWindow(const TTBPopupWindowClass& windowClass, TComponent* owner,
                                                  TTBView* parentView, TTBCustomItem* item, bool customizing)
{
    std::unique_ptr<TTBPopupWindow> window(windowClass.Create(owner, parentView, item, customizing));
    window->CreateView();
    return window.release();
}

void TTBPopupWindow::CreateView()
{
    FView = TTBView::CreateView(GetViewClass(), this, FParentView, FItem, this, false, FCustomizing, false);
    TTBViewState state = FView->GetState() | ViewStateModal;
    TTBViewStyle style = FView->GetStyle();
    if (FParentView == nullptr || (FParentView->GetStyle() & ViewStyleAccelsFollowSystem) != 0)
        style |= ViewStyleAccelsFollowSystem;
    if (FParentView != nullptr && (FParentView->GetState() & ViewStateAccelsShown) != 0)
        state |= ViewStateAccelsShown;
    FView->SetState(state);
    FView->SetStyle(style);
}

TTBViewClass TTBPopupWindow::GetViewClass() const { return TTBViewClass::Of<TTBPopupView>(); }

TPoint TTBPopupWindow::GetNCSize() const { return TPoint{kFrameSize, kFrameSize}; }

void TTBPopupWindow::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Style = (params.Style & ~(WS_CHILD | WS_TABSTOP | WS_GROUP)) | WS_POPUP;
    params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    params.ClassStyle |= CS_SAVEBITS;
    if (IsWindowsXPOrLater())
        params.ClassStyle |= CS_DROPSHADOW;
}

void TTBPopupWindow::CreateWnd()
{
    TCustomControl::CreateWnd();
    // A context menu follows the keyboard cues of the system; a submenu takes them from its parent.
    if (FView != nullptr && FView->GetParentView() == nullptr && !FAccelsInitialized) {
        FAccelsInitialized = true;
        HWND handle = GetHandle();
        SendMessage(handle, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
        const LRESULT cues = SendMessage(handle, WM_QUERYUISTATE, 0, 0);
        TTBViewState state = FView->GetState();
        if ((cues & UISF_HIDEACCEL) == 0)
            state |= ViewStateAccelsShown;
        else
            state &= static_cast<TTBViewState>(~ViewStateAccelsShown);
        FView->SetState(state);
    }
}

void TTBPopupWindow::DestroyWindowHandle()
{
    HWND handle = GetHandle();
    EndMenuAnimation(handle);
    if (FView != nullptr)
        FView->StopAllTimers();
    ui::NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, handle, OBJID_CLIENT, CHILDID_SELF);
    TCustomControl::DestroyWindowHandle();
}

void TTBPopupWindow::BeforeDestruction()
{
    if (FView != nullptr)
        FView->CloseChildPopups();
    TCustomControl::BeforeDestruction();
    if (HandleAllocated())
        DestroyHandle();
    delete std::exchange(FView, nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// Painting

void TTBPopupWindow::Paint()
{
    if (FView == nullptr)
        return;
    FView->PaintViewers(GetCanvas());
    PaintScrollArrows();
}

void TTBPopupWindow::PaintScrollArrows()
{
    if (FView == nullptr || (!FView->GetShowUpArrow() && !FView->GetShowDownArrow()))
        return;
    HDC dc = GetCanvas()->GetHandle();
    const TRect client = GetClientRect();
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_MENUTEXT));
    const int x = (client.left + client.right) / 2;
    if (FView->GetShowUpArrow()) {
        const int tip = ScrollBandHeight / 2 - 1;
        DrawTriangle(dc, x, tip, tip + kArrowHalfWidth, brush);
    }
    if (FView->GetShowDownArrow()) {
        const int base = client.bottom - ScrollBandHeight + ScrollBandHeight / 2 - 1;
        DrawTriangle(dc, x, base + kArrowHalfWidth, base, brush);
    }
    DeleteObject(brush);
}

void TTBPopupWindow::PaintFrame(HDC dc)
{
    TRect bounds;
    GetWindowRect(GetHandle(), &bounds);
    TRect r{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
    if (AreFlatMenusEnabled()) {
        FrameWith(dc, r, GetSysColor(COLOR_BTNSHADOW));
        FrameWith(dc, r, ColorToRGB(GetColor()));
        FrameWith(dc, r, ColorToRGB(GetColor()));
    } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        FrameWith(dc, r, GetSysColor(COLOR_BTNFACE));
    }
}

// ---------------------------------------------------------------------------------------------------------
// Messages

void TTBPopupWindow::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_CLOSE: WMClose(message); return;
    case WM_NCPAINT: WMNCPaint(message); return;
    case WM_PRINT: WMPrint(message); return;
    case WM_PRINTCLIENT: WMPrintClient(message); return;
    case WM_GETOBJECT: WMGetObject(message); return;
    case WM_TB_POPUPSHOWING: WMTBPopupShowing(message); return;
    case WM_TB_ANIMSTEP: ProcessAnimationStep(GetHandle(), message); return;
    case WM_TB_ANIMENDED: SendNotifyMessage(GetHandle(), WM_TB_POPUPSHOWING, tbpsAnimationEnded, 0); return;
    default: TCustomControl::Dispatch(message);
    }
}

void TTBPopupWindow::CMShowingChanged(TMessage&)
{
    HWND handle = GetHandle();
    const bool showing = GetShowing();
    const TTBView* parentView = FView != nullptr ? FView->GetParentView() : nullptr;
    BOOL animation = FALSE;
    if (showing && FView != nullptr && FView->GetSelected() == nullptr && IsWindowVisible(handle) == FALSE &&
        (parentView == nullptr || (parentView->GetState() & ViewStateNoAnimation) == 0) &&
        SystemParametersInfo(SPI_GETMENUANIMATION, 0, &animation, 0) != FALSE && animation != FALSE) {
        BOOL fade = FALSE;
        if (SystemParametersInfo(SPI_GETMENUFADE, 0, &fade, 0) == FALSE)
            fade = FALSE;
        if ((fade != FALSE || FAnimationDirection != 0) &&
            SendMessage(handle, WM_TB_POPUPSHOWING, tbpsAnimationAllowed, 0) == 0) {
            StartMenuAnimation(handle, PopupAnimationTime, fade != FALSE, FAnimationDirection);
            return;
        }
    }
    if (!showing)
        EndMenuAnimation(handle);
    SetWindowPos(handle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (showing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (showing)
        SendNotifyMessage(handle, WM_TB_POPUPSHOWING, tbpsShown, 0);
}

void TTBPopupWindow::CMHintShow(TMessage& message)
{
    auto* info = reinterpret_cast<THintInfo*>(message.LParam);
    info->HintStr.clear();
    if (FView != nullptr && FView->GetSelected() != nullptr) {
        info->CursorRect = FView->GetSelected()->GetBoundsRect();
        info->HintStr = FView->GetSelected()->GetHintText();
    }
}

void TTBPopupWindow::WMEraseBkgnd(TMessage& message)
{
    if (HandleAllocated())
        EndMenuAnimation(GetHandle());
    TCustomControl::WMEraseBkgnd(message);
}

void TTBPopupWindow::WMPaint(TMessage& message)
{
    if (HandleAllocated())
        EndMenuAnimation(GetHandle());
    TCustomControl::WMPaint(message);
}

void TTBPopupWindow::WMNCCalcSize(TMessage& message)
{
    RECT& r = message.WParam != 0 ? reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0]
                                  : *reinterpret_cast<RECT*>(message.LParam);
    const TPoint frame = GetNCSize();
    r.left += frame.x;
    r.top += frame.y;
    r.right = std::max(r.left, r.right - frame.x);
    r.bottom = std::max(r.top, r.bottom - frame.y);
    message.Result = 0;
}

void TTBPopupWindow::WMClose(TMessage& message) { message.Result = 0; }

void TTBPopupWindow::WMNCPaint(TMessage& message)
{
    HWND handle = GetHandle();
    HDC dc = GetWindowDC(handle);
    ClipToNonClientUpdateRegion(handle, dc, reinterpret_cast<HRGN>(message.WParam));
    PaintFrame(dc);
    ReleaseDC(handle, dc);
    message.Result = 0;
}

void TTBPopupWindow::WMPrint(TMessage& message)
{
    EmulatePrintMessage(GetHandle(), message, [this](HWND, HDC dc) { PaintFrame(dc); });
}

void TTBPopupWindow::WMPrintClient(TMessage& message) { PaintForPrintClient(this, message); }

void TTBPopupWindow::WMGetObject(TMessage& message)
{
    if (FView == nullptr || !FView->HandleGetObject(message))
        DefaultHandler(message);
}

void TTBPopupWindow::WMTBPopupShowing(TMessage& message) { message.Result = 0; }

}  // namespace ovrel::toolbars
