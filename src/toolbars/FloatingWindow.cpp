#include "toolbars/FloatingWindow.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/DockableWindow.h"

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

TPoint ScreenPointOf(LPARAM lParam) { return TPoint{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool GradientCaptions()
{
    BOOL on = FALSE;
    return SystemParametersInfo(SPI_GETGRADIENTCAPTIONS, 0, &on, 0) != FALSE && on != FALSE;
}

}  // namespace

TTBFloatingWindowParent::TTBFloatingWindowParent(TComponent* owner) : TCustomForm(owner)
{
    SetControlStyle(GetControlStyle().Include(csDoubleClicks));
}

TTBFloatingWindowParent::~TTBFloatingWindowParent() = default;

void TTBFloatingWindowParent::Dispose()
{
    FDockableWindow = nullptr;
    if (FDispatchDepth == 0) {
        delete this;
        return;
    }
    FFreePending = true;
    if (HandleAllocated())
        ShowWindow(GetHandle(), SW_HIDE);
}

void TTBFloatingWindowParent::SetShouldShow(bool value)
{
    FShouldShow = value;
    if (HandleAllocated())
        Perform(CM_SHOWINGCHANGED, 0, 0);
}

void TTBFloatingWindowParent::SetCloseButtonDown(bool value)
{
    if (FCloseButtonDown == value)
        return;
    FCloseButtonDown = value;
    RedrawFloatingFrame(ffpCloseButton);
}

TCustomForm* TTBFloatingWindowParent::TargetForm() const
{
    // MDI forms are not used: the owning form itself is the target.
    return FOwnerForm;
}

TFloatingFrameMetrics TTBFloatingWindowParent::Metrics() const
{
    return FDockableWindow != nullptr ? FDockableWindow->GetFloatingFrameMetrics() : TFloatingFrameMetrics{};
}

TRect TTBFloatingWindowParent::GetCaptionRect(bool excludeClose) const
{
    return FloatingCaptionRect(TSize{GetWidth(), GetHeight()}, Metrics(), excludeClose);
}

TRect TTBFloatingWindowParent::GetCloseButtonRect() const
{
    return FloatingCloseButtonRect(TSize{GetWidth(), GetHeight()}, Metrics());
}

void TTBFloatingWindowParent::CreateParams(TCreateParams& params)
{
    TCustomForm::CreateParams(params);
    FloatingFrameCreateParams(params, FDockableWindow == nullptr || FDockableWindow->GetResizable(),
                              GetComponentState().Contains(csDesigning));
}

void TTBFloatingWindowParent::AlignControls(TControl*, RECT&) {}

// ---- Messages ---------------------------------------------------------------------------------------------

void TTBFloatingWindowParent::Dispatch(TMessage& message)
{
    // A handler may end with the frame given up (the window docked from its caption): it is freed only
    // once the outermost handler of the frame has returned.
    ++FDispatchDepth;
    try {
        switch (message.Msg) {
        case WM_GETMINMAXINFO: WMGetMinMaxInfo(message); break;
        case WM_NCPAINT: WMNCPaint(message); break;
        case WM_NCLBUTTONDOWN: WMNCLButtonDown(message); break;
        case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(message); break;
        case WM_NCRBUTTONUP: WMNCRButtonUp(message); break;
        case WM_MOUSEACTIVATE: WMMouseActivate(message); break;
        case WM_MOVE: WMMove(message); break;
        case WM_PRINT:
            EmulatePrintMessage(GetHandle(), message,
                                [this](HWND, HDC dc) { PaintFloatingFrame(true, dc, ffpAll, nullptr); });
            break;
        case WM_PRINTCLIENT: PaintForPrintClient(this, message); break;
        default: TCustomForm::Dispatch(message);
        }
    } catch (...) {
        if (--FDispatchDepth == 0 && FFreePending)
            delete this;
        throw;
    }
    if (--FDispatchDepth == 0 && FFreePending)
        delete this;
}

void TTBFloatingWindowParent::WMGetMinMaxInfo(TMessage& message)
{
    if (auto* info = reinterpret_cast<MINMAXINFO*>(message.LParam))
        FloatingFrameMinMaxInfo(*info);
    message.Result = 0;
}

void TTBFloatingWindowParent::WMNCCalcSize(TMessage& message)
{
    if (message.WParam == 0) {
        TCustomForm::WMNCCalcSize(message);
        return;
    }
    RECT& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0];
    r = FloatingFrameClientRect(r, Metrics());
    message.Result = 0;
}

void TTBFloatingWindowParent::WMNCHitTest(TMessage& message)
{
    TCustomForm::WMNCHitTest(message);
    TRect window{};
    GetWindowRect(GetHandle(), &window);
    const TPoint screen = ScreenPointOf(message.LParam);
    const TPoint p{screen.x - window.left, screen.y - window.top};
    message.Result = FloatingFrameHitTest(p, TSize{window.right - window.left, window.bottom - window.top}, Metrics(),
                                          message.Result);
}

void TTBFloatingWindowParent::WMNCLButtonDown(TMessage& message)
{
    TTBCustomDockableWindow* window = FDockableWindow;
    const auto hit = static_cast<LRESULT>(message.WParam);
    if (window != nullptr && hit >= HTLEFT && hit <= HTBOTTOMRIGHT && window->GetResizable()) {
        window->RunResizeLoop(static_cast<int>(hit - HTLEFT));
        message.Result = 0;
        return;
    }
    if (window != nullptr && hit == HT_TB_CLOSEBUTTON) {
        TRect button = GetCloseButtonRect();
        const bool released =
            TrackCloseButton(GetHandle(), button, [this](bool pressed) { SetCloseButtonDown(pressed); });
        SetCloseButtonDown(false);
        if (released && FDockableWindow != nullptr)
            FDockableWindow->Close();
        message.Result = 0;
        return;
    }
    if (window != nullptr && hit == HT_TB_FLOATCAPTION) {
        const TPoint p = window->ScreenToClient(ScreenPointOf(message.LParam));
        window->RunDragLoop(p.x, p.y);
        message.Result = 0;
        return;
    }
    DefaultHandler(message);
}

void TTBFloatingWindowParent::WMNCLButtonDblClk(TMessage& message)
{
    if (FDockableWindow != nullptr && static_cast<LRESULT>(message.WParam) == HT_TB_FLOATCAPTION) {
        FDockableWindow->DoubleClick();
        message.Result = 0;
        return;
    }
    DefaultHandler(message);
}

void TTBFloatingWindowParent::WMNCRButtonUp(TMessage& message)
{
    if (FDockableWindow != nullptr && FDockableWindow->HandleAllocated()) {
        const HWND hosted = FDockableWindow->GetHandle();
        SendMessage(hosted, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hosted), message.LParam);
        message.Result = 0;
        return;
    }
    DefaultHandler(message);
}

void TTBFloatingWindowParent::WMClose(TMessage& message)
{
    // Alt+F4 on the frame means the application's form, not the toolbar.
    message.Result = 0;
    if (TCustomForm* form = TargetForm(); form != nullptr && form->HandleAllocated())
        SendMessage(form->GetHandle(), WM_CLOSE, 0, 0);
}

void TTBFloatingWindowParent::CMDialogKey(TMessage& message)
{
    const bool shifts = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    TCustomForm* form = TargetForm();
    if (message.WParam == VK_ESCAPE && !shifts && form != nullptr) {
        if (form->CanFocus())
            form->SetFocus();
        message.Result = 1;
        return;
    }
    TCustomForm::CMDialogKey(message);
}

void TTBFloatingWindowParent::CMTextChanged(TMessage& message)
{
    TCustomForm::CMTextChanged(message);
    RedrawFloatingFrame(ffpCaption);
}

void TTBFloatingWindowParent::CMShowingChanged(TMessage&)
{
    if (!HandleAllocated())
        return;
    const bool show = GetShowing() && FShouldShow && !FFreePending;
    const bool visible = (GetWindowLongPtr(GetHandle(), GWL_STYLE) & WS_VISIBLE) != 0;
    if (show != visible)
        SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                     SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                         (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TTBFloatingWindowParent::WMMove(TMessage& message)
{
    DefaultHandler(message);
    // Not while the window is still on its way in or out, when its moves are not announced.
    TTBCustomDockableWindow* window = FDockableWindow;
    if (window != nullptr && window->GetParent() == this && window->FDisableOnMove == 0)
        window->OnMove(window);
}

void TTBFloatingWindowParent::WMActivate(TMessage& message)
{
    if (GetComponentState().Contains(csDesigning)) {
        TCustomForm::WMActivate(message);
        return;
    }
    TCustomForm* form = TargetForm();
    const HWND formHandle = form != nullptr && form->HandleAllocated() ? form->GetHandle() : nullptr;
    const bool active = LOWORD(message.WParam) != WA_INACTIVE;
    // The form's caption stays active while its floating frame is.
    if (formHandle != nullptr)
        SendMessage(formHandle, WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    if (active) {
        if (IsWindowVisible(GetHandle()) == FALSE) {
            ActivateOtherTopLevel(GetHandle());
            return;
        }
        if (formHandle != nullptr && reinterpret_cast<HWND>(message.LParam) != formHandle) {
            SetActiveWindow(formHandle);
            return;
        }
    }
    TCustomForm::WMActivate(message);
}

void TTBFloatingWindowParent::WMMouseActivate(TMessage& message)
{
    message.Result = MA_NOACTIVATE;
    if (GetComponentState().Contains(csDesigning))
        return;
    const HWND handle = GetHandle();
    TCustomForm* form = TargetForm();
    // The form is activated first: activating it brings it forward, and the frame goes above it afterwards.
    if (FDockableWindow != nullptr && FDockableWindow->GetFloatingMode() == fmOnTopOfParentForm &&
        FDockableWindow->GetActivateParent() && GetActiveWindow() != handle && form != nullptr &&
        form->HandleAllocated())
        SetActiveWindow(form->GetHandle());
    SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- Painting ---------------------------------------------------------------------------------------------

void TTBFloatingWindowParent::WMNCPaint(TMessage& message)
{
    PaintFloatingFrame(false, nullptr, ffpAll, reinterpret_cast<HRGN>(message.WParam));
    message.Result = 0;
}

void TTBFloatingWindowParent::RedrawFloatingFrame(unsigned what)
{
    if (HandleAllocated() && IsWindowVisible(GetHandle()) != FALSE)
        PaintFloatingFrame(false, nullptr, what, nullptr);
}

void TTBFloatingWindowParent::PaintFloatingFrame(bool drawToDC, HDC dc, unsigned what, HRGN clip)
{
    if (!HandleAllocated())
        return;
    const HWND handle = GetHandle();
    const bool ownDC = !drawToDC || dc == nullptr;
    if (ownDC)
        dc = GetWindowDC(handle);
    const int saved = SaveDC(dc);
    if (!drawToDC)
        ClipToNonClientUpdateRegion(handle, dc, clip);
    const TFloatingFrameMetrics metrics = Metrics();
    const TSize size{GetWidth(), GetHeight()};
    const TRect client = FloatingFrameClientRect(TRect{0, 0, size.cx, size.cy}, metrics);
    const TRect caption = FloatingCaptionRect(size, metrics, false);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);

    if ((what & ffpBorder) != 0) {
        TRect r{0, 0, size.cx, size.cy};
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        const int band = SaveDC(dc);
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        if (metrics.ShowCaption)
            ExcludeClipRect(dc, caption.left, caption.top, caption.right, caption.bottom);
        FillRect(dc, &r, face);
        RestoreDC(dc, band);
    }
    const bool closeShown = metrics.ShowCaption && metrics.CloseButton;
    const TRect square = FloatingCloseButtonRect(size, metrics);
    if ((what & ffpCaption) != 0 && metrics.ShowCaption) {
        const bool active = FDockableWindow == nullptr || !FDockableWindow->GetInactiveCaption();
        const bool gradient = GradientCaptions();
        TRect bar = FloatingCaptionRect(size, metrics, closeShown);
        DrawCaption(handle, dc, &bar,
                    DC_SMALLCAP | DC_TEXT | (active ? DC_ACTIVE : 0u) | (gradient ? DC_GRADIENT : 0u));
        if (closeShown) {
            // Around the button the square takes the colour the caption ends in.
            const int index = active ? (gradient ? COLOR_GRADIENTACTIVECAPTION : COLOR_ACTIVECAPTION)
                                     : (gradient ? COLOR_GRADIENTINACTIVECAPTION : COLOR_INACTIVECAPTION);
            FillRect(dc, &square, GetSysColorBrush(index));
            what |= ffpCloseButton;
        }
        const TRect line{caption.left, caption.bottom, caption.right, caption.bottom + 1};
        FillRect(dc, &line, face);
    }
    if ((what & ffpCloseButton) != 0 && closeShown) {
        TRect button{square.left, square.top + 2, square.right - 2, square.bottom - 2};
        DrawFrameControl(dc, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE | (FCloseButtonDown ? DFCS_PUSHED : 0u));
    }
    RestoreDC(dc, saved);
    if (ownDC)
        ReleaseDC(handle, dc);
}

}  // namespace ovrel::toolbars
