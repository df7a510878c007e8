#include "inspector/ScrollView.h"

#include "inspector/Resources.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/Forms.h"

#include <algorithm>
#include <cstdlib>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

// ---- Rolling ----------------------------------------------------------------------------------------------

TRollDirection RollDirection(int dy)
{
    if (dy < -5)
        return TRollDirection::Up;
    return dy > 5 ? TRollDirection::Down : TRollDirection::None;
}

TCursor RollCursor(TRollDirection direction)
{
    switch (direction) {
    case TRollDirection::Up: return crRollUp;
    case TRollDirection::Down: return crRollDown;
    case TRollDirection::None: break;
    }
    return crRoll;
}

unsigned RollInterval(int dy) { return static_cast<unsigned>(std::max(1, 100 - std::abs(dy))); }

// ---- TControlScrollBar ------------------------------------------------------------------------------------

TControlScrollBar::TControlScrollBar(TScrollView* view, TScrollBarKind kind) : FView(view), FKind(kind) {}

void TControlScrollBar::Assign(const TPersistent* source)
{
    if (dynamic_cast<const TControlScrollBar*>(source) != nullptr)
        return;
    TPersistent::Assign(source);
}

void TControlScrollBar::SetEnabled(bool value)
{
    FEnabled = value;
    Update();
}

void TControlScrollBar::SetRange(int value)
{
    FMax = std::max(value, 0);
    // A position left past the range would keep the rows above the client with no bar to bring them back.
    const int clamped = std::clamp(FPosition, FMin, std::max(FMin, FMax));
    if (clamped == FPosition) {
        Update();
        return;
    }
    FOldPosition = FPosition;
    FPosition = clamped;
    Update();
    FView->Scrolled(FKind);
    FView->Invalidate();
}

void TControlScrollBar::SetPage(int value)
{
    FPage = value;
    Update();
}

void TControlScrollBar::SetPosition(int value)
{
    FOldPosition = FPosition;
    FPosition = std::clamp(value, FMin, std::max(FMin, FMax));
    Update();
    FView->Scrolled(FKind);
    if (FMax == 0)
        return;
    if (FKind == sbVertical)
        FView->ScrollClientBy(0, FView->GetVertScrollDelta(FOldPosition, FPosition));
    else
        FView->ScrollClientBy(FView->GetHorzScrollDelta(FOldPosition, FPosition), 0);
}

void TControlScrollBar::SetVisible(bool value)
{
    FVisible = value;
    if (FView->HandleAllocated())
        ui::ShowScrollBar(FView->GetHandle(), Bar(), value ? ui::TRUE : ui::FALSE);
}

void TControlScrollBar::LineUp() { Send(ui::SB_LINEUP); }
void TControlScrollBar::LineDown() { Send(ui::SB_LINEDOWN); }
void TControlScrollBar::PageUp() { Send(ui::SB_PAGEUP); }
void TControlScrollBar::PageDown() { Send(ui::SB_PAGEDOWN); }

void TControlScrollBar::Send(std::uint16_t code)
{
    if (FMax < 1)
        return;
    FView->Perform(FKind == sbVertical ? ui::WM_VSCROLL : ui::WM_HSCROLL, code, 0);
}

int TControlScrollBar::Bar() const { return FKind == sbVertical ? ui::SB_VERT : ui::SB_HORZ; }

void TControlScrollBar::Update()
{
    if (!FView->HandleAllocated())
        return;
    ui::HWND window = FView->GetHandle();
    ui::SCROLLINFO info;
    info.fMask = ui::SIF_RANGE | ui::SIF_PAGE | ui::SIF_POS;
    info.nMin = FMin;
    info.nMax = FMax;
    info.nPage = static_cast<ui::UINT>(std::max(FPage, 0));
    info.nPos = FPosition;
    ui::SetScrollInfo(window, Bar(), &info, ui::TRUE);
    ui::EnableScrollBar(window, Bar(), FEnabled ? ui::ESB_ENABLE_BOTH : ui::ESB_DISABLE_BOTH);
}

// ---- TCustomScrollView ------------------------------------------------------------------------------------

TCustomScrollView::TCustomScrollView(TComponent* owner) : TCustomControl(owner) {}

TCustomScrollView::~TCustomScrollView() = default;

int TCustomScrollView::GetHorzScrollDelta(int, int) { return 0; }

int TCustomScrollView::GetVertScrollDelta(int, int) { return 0; }

void TCustomScrollView::ScrollClientBy(int dx, int dy)
{
    if (!HandleAllocated())
        return;
    const TRect& clip = dx != 0 ? FHorzClipRect : FVertClipRect;
    ui::ScrollWindowEx(GetHandle(), dx, dy, nullptr, &clip, nullptr, nullptr, ui::SW_INVALIDATE);
}

// ---- TFlyoutControl and TRollShadow -----------------------------------------------------------------------

TFlyoutControl::TFlyoutControl(TComponent* owner) : TCustomControl(owner)
{
    SetControlStyle(GetControlStyle().Include(csOpaque));  // its background is never erased
}

void TFlyoutControl::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Style = (params.Style & ~(ui::WS_CHILD | ui::WS_TABSTOP | ui::WS_GROUP)) | ui::WS_POPUP;
    params.ExStyle |= ui::WS_EX_TOPMOST | ui::WS_EX_TOOLWINDOW;
    params.ClassStyle |= ui::CS_SAVEBITS;
}

ui::HRGN RollMarkRegion()
{
    const ui::POINT up[] = {{-1, 7}, {7, -1}, {8, 0}, {14, 7}, {0, 6}};
    const ui::POINT down[] = {{-1, 15}, {14, 15}, {6, 22}, {6, 22}, {-1, 14}};
    ui::HRGN region = ui::CreatePolygonRgn(up, 5, ui::WINDING);
    ui::HRGN part = ui::CreatePolygonRgn(down, 5, ui::WINDING);
    ui::CombineRgn(region, region, part, ui::RGN_OR);
    ui::DeleteObject(part);
    part = ui::CreateEllipticRgn(5, 9, 10, 14);
    ui::CombineRgn(region, region, part, ui::RGN_OR);
    ui::DeleteObject(part);
    return region;
}

TRollShadow::TRollShadow(TComponent* owner) : TFlyoutControl(owner)
{
    SetVisible(false);
    SetBounds(0, 0, 32, 32);
    SetColor(clGrayText);
}

void TRollShadow::ShowAt(TPoint screen)
{
    UpdateRegion();
    FShownAt = screen;
    SetBounds(screen.x - 7, screen.y - 11, 32, 32);
}

void TRollShadow::UpdateRegion()
{
    // The window is made here, hidden, ready to show, and shaped as the mark.
    HandleNeeded();
    ui::HRGN region = RollMarkRegion();
    if (ui::SetWindowRgn(GetHandle(), region, ui::TRUE) == 0)
        ui::DeleteObject(region);  // still ours when the window did not take it
}

void TRollShadow::Paint()
{
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(GetClientRect());
}

// ---- TScrollView ------------------------------------------------------------------------------------------

TScrollView::TScrollView(TComponent* owner)
    : TCustomScrollView(owner), FHorzScrollBar(std::make_unique<TControlScrollBar>(this, sbHorizontal)),
      FVertScrollBar(std::make_unique<TControlScrollBar>(this, sbVertical))
{
    FRollShadow = new TRollShadow(this);
    FRollShadow->SetParent(this);
    RegisterRollCursors();
}

TScrollView::~TScrollView() = default;

void TScrollView::Scrolled(TScrollBarKind) {}

void TScrollView::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case ui::WM_HSCROLL: WMHScroll(message); return;
    case ui::WM_VSCROLL: WMVScroll(message); return;
    case ui::WM_GETDLGCODE: WMGetDlgCode(message); return;
    default: TCustomScrollView::Dispatch(message);
    }
}

void TScrollView::WMHScroll(TMessage& message)
{
    DefaultHandler(message);
    ScrollMessage(*FHorzScrollBar, message);
}

void TScrollView::WMVScroll(TMessage& message)
{
    DefaultHandler(message);
    ScrollMessage(*FVertScrollBar, message);
}

void TScrollView::ScrollMessage(TControlScrollBar& bar, const TMessage& message)
{
    const int position = bar.GetPosition();
    switch (ui::LOWORD(message.WParam)) {
    case ui::SB_LINEUP: bar.SetPosition(position - bar.GetLineStep()); break;
    case ui::SB_LINEDOWN: bar.SetPosition(position + bar.GetLineStep()); break;
    case ui::SB_PAGEUP: bar.SetPosition(position - bar.GetPageStep()); break;
    case ui::SB_PAGEDOWN: bar.SetPosition(position + bar.GetPageStep()); break;
    case ui::SB_THUMBPOSITION:
    case ui::SB_THUMBTRACK:
        if (HandleAllocated()) {
            ui::SCROLLINFO info;
            info.fMask = ui::SIF_TRACKPOS;
            ui::GetScrollInfo(GetHandle(), bar.GetKind() == sbVertical ? ui::SB_VERT : ui::SB_HORZ, &info);
            bar.SetPosition(info.nTrackPos);
        }
        break;
    case ui::SB_TOP: bar.SetPosition(0); break;
    case ui::SB_BOTTOM: bar.SetPosition(bar.GetMax()); break;
    default: break;
    }
    // The window may have shown the bar by itself; the bar's own setting decides.
    bar.SetVisible(bar.GetVisible());
    if (bar.GetKind() == sbVertical)
        OnVerticalScroll(this, bar.GetPosition());
    else
        OnHorizontalScroll(this, bar.GetPosition());
}

void TScrollView::WMGetDlgCode(TMessage& message) { message.Result = ui::DLGC_WANTARROWS; }

void TScrollView::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

void TScrollView::WMCaptureChanged(TMessage& message)
{
    TCustomScrollView::WMCaptureChanged(message);
    if (FRolling && (!HandleAllocated() || reinterpret_cast<ui::HWND>(message.LParam) != GetHandle()))
        StopRolling();
}

void TScrollView::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomScrollView::MouseDown(button, shift, x, y);
    if (button != mbMiddle || !FAutoScroll || FRolling)
        return;
    FRolling = true;
    FDirection = TRollDirection::None;
    FRollShadow->SetCursor(crRoll);
    FOrigin = TPoint{x, y};
    FRollShadow->ShowAt(ClientToScreen(FOrigin));
    FRollShadow->Show();
    TTimer* timer = GetRollTimer();
    timer->SetInterval(1);
    timer->SetEnabled(true);
    SetMouseCapture(true);
}

void TScrollView::MouseMove(TShiftState shift, int x, int y)
{
    TCustomScrollView::MouseMove(shift, x, y);
    if (!FRolling)
        return;
    FDirection = RollDirection(y - FOrigin.y);
    Screen()->SetCursor(RollCursor(FDirection));
    FRollShadow->SetCursor(Screen()->GetCursor());
}

void TScrollView::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomScrollView::MouseUp(button, shift, x, y);
    StopRolling();
}

void TScrollView::StopRolling()
{
    if (!FRolling)
        return;
    FRolling = false;
    FDirection = TRollDirection::None;
    if (FRollTimer != nullptr)
        FRollTimer->SetEnabled(false);
    FRollShadow->Hide();
    Screen()->SetCursor(crDefault);
    if (GetMouseCapture())
        SetMouseCapture(false);
}

void TScrollView::RollTick(TObject*)
{
    // A capture taken away without a notice still ends rolling at the next tick.
    if (!HandleAllocated() || ui::GetCapture() != GetHandle()) {
        StopRolling();
        return;
    }
    const TPoint pointer = ScreenToClient(Mouse()->GetCursorPos());
    FRollTimer->SetInterval(RollInterval(pointer.y - FOrigin.y));
    if (FDirection == TRollDirection::Up)
        FVertScrollBar->LineUp();
    else if (FDirection == TRollDirection::Down)
        FVertScrollBar->LineDown();
}

void TScrollView::CreateParams(TCreateParams& params)
{
    TCustomScrollView::CreateParams(params);
    params.Style |= ui::WS_HSCROLL | ui::WS_VSCROLL | ui::WS_CLIPCHILDREN;
}

void TScrollView::CreateWnd()
{
    TCustomScrollView::CreateWnd();
    FVertScrollBar->Update();
    FHorzScrollBar->Update();
}

TTimer* TScrollView::GetRollTimer()
{
    if (FRollTimer == nullptr) {
        FRollTimer = new TTimer(this);
        FRollTimer->SetEnabled(false);
        FRollTimer->SetInterval(1);
        FRollTimer->OnTimer = TNotifyEvent(this, &TScrollView::RollTick);
    }
    return FRollTimer;
}

}  // namespace ovrel::inspector
