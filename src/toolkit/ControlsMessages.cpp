// Messages of controls: the window procedures, the routing of each message to its handler, and the handlers
// of TControl and TWinControl.
#include "toolkit/Controls.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Window.h"
#include "toolkit/Controls_p.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

#include <algorithm>
#include <memory>

namespace ovrel::toolkit {

using namespace ovrel::ui;
using namespace ovrel::toolkit::controls_detail;

namespace {

bool IsMouseMessage(std::uint32_t msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }

// A character the control does not take goes to its form (or the top of its tree) as CM_DIALOGCHAR.
bool OfferDialogChar(TControl* control, TMessage& message)
{
    TControl* form = control->GetParentForm();
    if (form == nullptr)
        form = RootOf(control);
    if (form == nullptr || form->Perform(CM_DIALOGCHAR, message.WParam, message.LParam) == 0)
        return false;
    message.Result = 0;
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TControl

void TControl::WndProc(TMessage& message)
{
    if (IsMouseMessage(message.Msg)) {
        // Without double clicks a second press is just a press.
        if (!FControlStyle.Contains(csDoubleClicks)) {
            switch (message.Msg) {
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDBLCLK:
            case WM_MBUTTONDBLCLK: message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN; break;
            default: break;
            }
        }
        if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK)
            FControlState.Include(csLButtonDown);
        else if (message.Msg == WM_LBUTTONUP)
            FControlState.Exclude(csLButtonDown);
    }
    Dispatch(message);
}

void TControl::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_MOUSEMOVE: WMMouseMove(message); return;
    case WM_LBUTTONDOWN: WMLButtonDown(message); return;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(message); return;
    case WM_LBUTTONUP: WMLButtonUp(message); return;
    case WM_RBUTTONDOWN: WMRButtonDown(message); return;
    case WM_RBUTTONDBLCLK: WMRButtonDblClk(message); return;
    case WM_RBUTTONUP: WMRButtonUp(message); return;
    case WM_MBUTTONDOWN: WMMButtonDown(message); return;
    case WM_MBUTTONDBLCLK: WMMButtonDblClk(message); return;
    case WM_MBUTTONUP: WMMButtonUp(message); return;
    case WM_CONTEXTMENU: WMContextMenu(message); return;
    case WM_CANCELMODE: WMCancelMode(message); return;
    case WM_PAINT: WMPaint(message); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(message); return;
    case CM_COLORCHANGED: CMColorChanged(message); return;
    case CM_FONTCHANGED: CMFontChanged(message); return;
    case CM_TEXTCHANGED: CMTextChanged(message); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(message); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(message); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(message); return;
    case CM_HINTSHOW: CMHintShow(message); return;
    case CM_MOUSEENTER: CMMouseEnter(message); return;
    case CM_MOUSELEAVE: CMMouseLeave(message); return;
    default: TObject::Dispatch(message);
    }
}

// A windowed control also lets the layer see the mouse input (cursor, native widgets): each mouse handler
// ends in DefaultHandler.

void TControl::DoMouseDown(TMessage& message, TMouseButton button, bool twice)
{
    const bool left = button == mbLeft;
    if (left && FControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(true);
    if (left && FControlStyle.Contains(csClickEvents))
        FControlState.Include(csClicked);
    const POINT p = PointFromLParam(message.LParam);
    const TShiftState shift = MouseKeysToShiftState(message.WParam);
    MouseDown(button, twice ? shift + TShiftState{ssDouble} : shift, p.x, p.y);
    if (left && twice && FControlStyle.Contains(csClickEvents))
        DblClick();
    DefaultHandler(message);
}

void TControl::DoMouseUp(TMessage& message, TMouseButton button)
{
    const POINT p = PointFromLParam(message.LParam);
    MouseUp(button, MouseKeysToShiftState(message.WParam), p.x, p.y);
    DefaultHandler(message);
}

void TControl::WMMouseMove(TMessage& message)
{
    const POINT p = PointFromLParam(message.LParam);
    MouseMove(MouseKeysToShiftState(message.WParam), p.x, p.y);
    DefaultHandler(message);
}

void TControl::WMLButtonDown(TMessage& message) { DoMouseDown(message, mbLeft, false); }

void TControl::WMLButtonDblClk(TMessage& message) { DoMouseDown(message, mbLeft, true); }

void TControl::WMLButtonUp(TMessage& message)
{
    if (FControlStyle.Contains(csCaptureMouse))
        SetMouseCapture(false);
    const bool clicked = FControlState.Contains(csClicked);
    FControlState.Exclude(csClicked);
    if (clicked && PointIn(GetClientRect(), PointFromLParam(message.LParam))) {
        // A click handler may free its own control (a button that closes its panel).
        const std::unique_ptr<TFreeWatch> watch = std::make_unique<TFreeWatch>(this);
        Click();
        if (watch->Freed())
            return;
    }
    DoMouseUp(message, mbLeft);
}

void TControl::WMRButtonDown(TMessage& message) { DoMouseDown(message, mbRight, false); }

void TControl::WMRButtonDblClk(TMessage& message) { DoMouseDown(message, mbRight, true); }

void TControl::WMRButtonUp(TMessage& message) { DoMouseUp(message, mbRight); }

void TControl::WMMButtonDown(TMessage& message) { DoMouseDown(message, mbMiddle, false); }

void TControl::WMMButtonDblClk(TMessage& message) { DoMouseDown(message, mbMiddle, true); }

void TControl::WMMButtonUp(TMessage& message) { DoMouseUp(message, mbMiddle); }

void TControl::WMContextMenu(TMessage& message)
{
    POINT screen = PointFromLParam(message.LParam);
    const bool fromKeyboard = screen.x == -1 && screen.y == -1;
    bool handled = false;
    DoContextPopup(fromKeyboard ? POINT{-1, -1} : ScreenToClient(screen), handled);
    if (handled) {
        message.Result = 1;
        return;
    }
    if (FPopupMenu != nullptr && FPopupMenu->GetAutoPopup()) {
        if (fromKeyboard)
            screen = ClientToScreen(POINT{0, 0});
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(screen.x, screen.y);
        message.Result = 1;
        return;
    }
    DefaultHandler(message);
}

void TControl::WMCancelMode(TMessage& message)
{
    if (GetMouseCapture())
        SetMouseCapture(false);
    DefaultHandler(message);
}

void TControl::WMPaint(TMessage& message) { DefaultHandler(message); }

void TControl::CMVisibleChanged(TMessage&)
{
    // Also when the control has just been hidden: its area then shows what lies beneath, drawn again.
    if (FParent == nullptr || !FParent->HandleAllocated())
        return;
    const RECT r = GetBoundsRect();
    InvalidateRect(FParent->GetHandle(), &r, TRUE);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMTextChanged(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage& message)
{
    if (!FParentColor)
        return;
    const TColor color = message.WParam != 0  ? static_cast<TColor>(message.LParam)
                         : FParent != nullptr ? FParent->GetColor()
                                              : FColor;
    SetColor(color);
    FParentColor = true;
}

void TControl::CMParentFontChanged(TMessage&)
{
    if (!FParentFont || FParent == nullptr)
        return;
    FApplyingParentFont = true;
    try {
        FFont->Assign(FParent->GetFont());
    } catch (...) {
        FApplyingParentFont = false;
        throw;
    }
    FApplyingParentFont = false;
}

void TControl::CMParentShowHintChanged(TMessage&)
{
    if (!FParentShowHint || FParent == nullptr)
        return;
    FShowHint = FParent->GetShowHint();
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::CMHintShow(TMessage& message) { message.Result = 0; }

void TControl::CMMouseEnter(TMessage& message) { DefaultHandler(message); }

void TControl::CMMouseLeave(TMessage& message) { DefaultHandler(message); }

// ---------------------------------------------------------------------------------------------------------
// TWinControl

void TWinControl::WndProc(TMessage& message)
{
    if (IsMouseMessage(message.Msg) && message.Msg != WM_MOUSEWHEEL && FHandle != nullptr) {
        const POINT client = PointFromLParam(message.LParam);
        if (message.Msg == WM_MOUSEMOVE) {
            POINT screen = client;
            ui::ClientToScreen(FHandle, &screen);
            CheckMouseControl(screen);
        }
        // A windowless child holding the mouse, or the one under it, takes the message in its coordinates.
        TControl* target = nullptr;
        if (gCaptureControl != nullptr && gCaptureControl->GetParent() == this &&
            dynamic_cast<TWinControl*>(gCaptureControl) == nullptr)
            target = gCaptureControl;
        else if (gCaptureControl == nullptr || gCaptureControl == this)
            target = gCaptureControl == this ? nullptr : ControlAtPos(client, false);
        if (target != nullptr) {
            TMessage forwarded = message;
            forwarded.LParam = MAKELPARAM(client.x - target->GetLeft(), client.y - target->GetTop());
            target->GetWindowProc()(forwarded);
            message.Result = forwarded.Result;
            return;
        }
    }
    TControl::WndProc(message);
}

void TWinControl::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_ERASEBKGND: WMEraseBkgnd(message); return;
    case WM_NCCALCSIZE: WMNCCalcSize(message); return;
    case WM_NCHITTEST: WMNCHitTest(message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(message); return;
    case WM_SIZE: WMSize(message); return;
    case WM_SETCURSOR: WMSetCursor(message); return;
    case WM_SETFOCUS: WMSetFocus(message); return;
    case WM_KEYDOWN: WMKeyDown(message); return;
    case WM_SYSKEYDOWN: WMSysKeyDown(message); return;
    case WM_KEYUP: WMKeyUp(message); return;
    case WM_SYSKEYUP: WMSysKeyUp(message); return;
    case WM_CHAR: WMChar(message); return;
    case WM_SYSCHAR: WMSysChar(message); return;
    case WM_MOUSEWHEEL: WMMouseWheel(message); return;
    case WM_CAPTURECHANGED: WMCaptureChanged(message); return;
    case WM_COMMAND: WMCommand(message); return;
    case CN_COMMAND: CNCommand(message); return;
    case CM_ENTER: CMEnter(message); return;
    case CM_EXIT: CMExit(message); return;
    case CM_DIALOGKEY: CMDialogKey(message); return;
    case CM_DIALOGCHAR: CMDialogChar(message); return;
    case CM_SHOWINGCHANGED: CMShowingChanged(message); return;
    case CM_SHOWHINTCHANGED: CMShowHintChanged(message); return;
    case CM_SYSCOLORCHANGE: CMSysColorChange(message); return;
    case CM_WININICHANGE: CMWinIniChange(message); return;
    default: TControl::Dispatch(message);
    }
}

void TWinControl::DefaultHandler(TMessage& message)
{
    if (FHandle == nullptr)
        return;
    if (FDefWndProc)
        message.Result = CallWindowProc(FDefWndProc, FHandle, message.Msg, message.WParam, message.LParam);
    else
        message.Result = DefWindowProc(FHandle, message.Msg, message.WParam, message.LParam);
}

void TWinControl::WMPaint(TMessage& message)
{
    PaintHandler(message);
    message.Result = 0;
}

void TWinControl::WMEraseBkgnd(TMessage& message)
{
    if (!GetControlStyle().Contains(csOpaque)) {
        HBRUSH brush = CreateSolidBrush(ColorToRGB(GetColor()));
        const RECT r = GetClientRect();
        FillRect(reinterpret_cast<HDC>(message.WParam), &r, brush);
        DeleteObject(brush);
    }
    message.Result = 1;
}

void TWinControl::WMNCCalcSize(TMessage& message)
{
    DefaultHandler(message);
    if (message.WParam == 0 || FBorderWidth <= 0)
        return;
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam);
    RECT& r = params->rgrc[0];
    r.left += FBorderWidth;
    r.top += FBorderWidth;
    r.right = std::max(r.left, r.right - FBorderWidth);
    r.bottom = std::max(r.top, r.bottom - FBorderWidth);
}

void TWinControl::WMNCHitTest(TMessage& message) { DefaultHandler(message); }

void TWinControl::WMWindowPosChanged(TMessage& message)
{
    DefaultHandler(message);
    if (!FSettingBounds)
        UpdateBounds();
}

void TWinControl::WMSize(TMessage& message)
{
    DefaultHandler(message);
    if (!FSettingBounds)
        UpdateBounds();
    Realign();
}

void TWinControl::WMSetCursor(TMessage& message)
{
    // The screen's cursor overrides all; else the control under the pointer, windowless ones included.
    if (LOWORD(message.LParam) == HTCLIENT && reinterpret_cast<HWND>(message.WParam) == FHandle) {
        TCursor cursor = Screen()->GetCursor();
        if (cursor == crDefault) {
            POINT screen{};
            ui::GetCursorPos(&screen);
            TControl* under = ControlAtPos(ScreenToClient(screen), false);
            cursor = under != nullptr && under->GetCursor() != crDefault ? under->GetCursor() : GetCursor();
        }
        if (cursor != crDefault) {
            ui::SetCursor(Screen()->GetCursors(cursor));
            message.Result = 1;
            return;
        }
    }
    DefaultHandler(message);
}

void TWinControl::WMSetFocus(TMessage& message)
{
    DefaultHandler(message);
    // A tree being freed hands the focus from window to window; its handlers must not run half-destroyed.
    if (!InDestroyedTree(this))
        FocusChanged(this);
}

void TWinControl::WMKeyDown(TMessage& message)
{
    if (DoKeyDown(message) || HandleDialogKey(message))
        message.Result = 0;
    else
        DefaultHandler(message);
}

// A system key the control does not eat (Alt, Alt with a key, F10) is offered to the form as a dialog key,
// whatever the control wants, before the default handling turns it into a menu key.
void TWinControl::WMSysKeyDown(TMessage& message)
{
    if (DoKeyDown(message) || OfferDialogKey(message))
        message.Result = 0;
    else
        DefaultHandler(message);
}

void TWinControl::WMKeyUp(TMessage& message)
{
    if (DoKeyUp(message))
        message.Result = 0;
    else
        DefaultHandler(message);
}

void TWinControl::WMSysKeyUp(TMessage& message) { TWinControl::WMKeyUp(message); }

void TWinControl::WMChar(TMessage& message)
{
    if (DoKeyPress(message)) {
        message.Result = 0;
        return;
    }
    if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && OfferDialogChar(this, message))
        return;
    DefaultHandler(message);
}

void TWinControl::WMSysChar(TMessage& message)
{
    if (!OfferDialogChar(this, message))
        DefaultHandler(message);
}

void TWinControl::WMMouseWheel(TMessage& message)
{
    const auto delta = static_cast<short>(HIWORD(message.WParam));
    const POINT screen = PointFromLParam(message.LParam);
    if (DoMouseWheel(MouseKeysToShiftState(LOWORD(message.WParam)), delta, screen))
        message.Result = 1;
    else
        DefaultHandler(message);
}

void TWinControl::WMContextMenu(TMessage& message)
{
    const POINT screen = PointFromLParam(message.LParam);
    if (!(screen.x == -1 && screen.y == -1) && FHandle != nullptr) {
        if (TControl* child = ControlAtPos(ScreenToClient(screen), false)) {
            message.Result = child->Perform(WM_CONTEXTMENU, message.WParam, message.LParam);
            if (message.Result != 0)
                return;
        }
    }
    TControl::WMContextMenu(message);
}

void TWinControl::WMCancelMode(TMessage& message)
{
    TControl* holder = gCaptureControl;
    if (holder != nullptr && holder->GetParent() == this && dynamic_cast<TWinControl*>(holder) == nullptr)
        holder->Perform(WM_CANCELMODE, 0, 0);
    TControl::WMCancelMode(message);
}

void TWinControl::WMCommand(TMessage& message)
{
    auto* from = reinterpret_cast<HWND>(message.LParam);
    TWinControl* child = from != FHandle ? FindControl(from) : nullptr;
    if (child == nullptr) {
        DefaultHandler(message);
        return;
    }
    message.Result = child->Perform(CN_COMMAND, message.WParam, message.LParam);
}

void TWinControl::CNCommand(TMessage&) {}

void TWinControl::WMCaptureChanged(TMessage& message)
{
    if (gCaptureControl != nullptr && gCaptureControl->GetWindowedSelf() == this &&
        reinterpret_cast<HWND>(message.LParam) != FHandle)
        gCaptureControl = nullptr;
    DefaultHandler(message);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::CMDialogKey(TMessage& message) { Broadcast(message); }

void TWinControl::CMDialogChar(TMessage& message) { Broadcast(message); }

void TWinControl::CMShowingChanged(TMessage&)
{
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) { UpdateControlState(); }

void TWinControl::CMEnabledChanged(TMessage&)
{
    if (FHandle != nullptr)
        EnableWindow(FHandle, GetEnabled());
    Invalidate();
}

void TWinControl::CMColorChanged(TMessage&)
{
    Invalidate();
    NotifyChildren(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage&)
{
    Invalidate();
    NotifyChildren(CM_PARENTFONTCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyChildren(CM_PARENTSHOWHINTCHANGED); }

void TWinControl::CMSysColorChange(TMessage& message) { NotifyChildren(message.Msg, message.WParam, message.LParam); }

void TWinControl::CMWinIniChange(TMessage& message) { NotifyChildren(message.Msg, message.WParam, message.LParam); }

}  // namespace ovrel::toolkit
