#include "inspector/ScrollView.h"

#include "inspector/Resources.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

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

TRollShadow::TRollShadow(TComponent* owner) : TFlyoutControl(owner)
{
    SetVisible(false);
    SetBounds(0, 0, 32, 32);
    SetColor(clGrayText);
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
    }
    return FRollTimer;
}

}  // namespace ovrel::inspector
