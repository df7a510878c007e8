// The dockable panel: its settings and sizes, the sizing answers it gives its dock and its floating frame, its
// docked frame with the caption strip, what each point of that frame is, and its answers to theme changes.
#include "themes/DockablePanels.h"

#include "themes/Nexus.h"
#include "themes/ThemeUtils.h"
#include "themes/ThemedCommon.h"
#include "themes/Themes_p.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <string>

namespace ovrel::themes {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

constexpr UINT ReframeFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

int CaptionHeight() { return GetSystemMetrics(SM_CYSMCAPTION); }

}  // namespace

// ---- Life -------------------------------------------------------------------------------------------------

TTBXDockablePanel::TTBXDockablePanel(TComponent* owner) : TTBCustomDockableWindow(owner)
{
    SetCloseButtonWhenDocked(true);
    SetDblClickUndock(false);
    SetFullSize(true);
    SetColor(clNone);
    SetBounds(GetLeft(), GetTop(), 128, 128);
    AddThemeControl(this);
}

TTBXDockablePanel::~TTBXDockablePanel() { RemoveThemeControl(this); }

// ---- Settings ---------------------------------------------------------------------------------------------

void TTBXDockablePanel::SetBorderSize(int value)
{
    if (FBorderSize == value)
        return;
    FBorderSize = value;
    Realign();
}

void TTBXDockablePanel::SetCaptionRotation(TDPCaptionRotation value)
{
    if (FCaptionRotation == value)
        return;
    FCaptionRotation = value;
    DockedFrameChanged();
}

bool TTBXDockablePanel::IsDockedIn(bool verticalDock) const
{
    return GetDocked() && GetCurrentDock() != nullptr && GetCurrentDock()->IsVertical() == verticalDock;
}

void TTBXDockablePanel::StoreDockedWidth(int value) { FDockedWidth = std::max(value, FMinClientWidth); }

void TTBXDockablePanel::StoreDockedHeight(int value) { FDockedHeight = std::max(value, FMinClientHeight); }

void TTBXDockablePanel::SetDockedWidth(int value)
{
    value = std::max(value, FMinClientWidth);
    if (FDockedWidth == value)
        return;
    FDockedWidth = value;
    if (IsDockedIn(true)) {
        const TOwnSizeChange own(*this);
        SetWidth(GetDockedFrameSize(GetCurrentDock()).x + value);
    }
}

void TTBXDockablePanel::SetDockedHeight(int value)
{
    value = std::max(value, FMinClientHeight);
    if (FDockedHeight == value)
        return;
    FDockedHeight = value;
    if (IsDockedIn(false)) {
        const TOwnSizeChange own(*this);
        SetHeight(GetDockedFrameSize(GetCurrentDock()).y + value);
    }
}

void TTBXDockablePanel::SetFloatingWidth(int value)
{
    value = std::max(value, GetFloating() ? FMinClientWidth : 0);
    if (FFloatingWidth == value)
        return;
    FFloatingWidth = value;
    if (GetFloating()) {
        const TOwnSizeChange own(*this);
        SetWidth(value);
    }
}

void TTBXDockablePanel::SetFloatingHeight(int value)
{
    value = std::max(value, GetFloating() ? FMinClientHeight : 0);
    if (FFloatingHeight == value)
        return;
    FFloatingHeight = value;
    if (GetFloating()) {
        const TOwnSizeChange own(*this);
        SetHeight(value);
    }
}

void TTBXDockablePanel::SetMinClientWidth(int value)
{
    value = std::max(value, 8);
    if (FMinClientWidth == value)
        return;
    FMinClientWidth = value;
    StoreDockedWidth(FDockedWidth);
    RecalcSize();
}

void TTBXDockablePanel::SetMinClientHeight(int value)
{
    value = std::max(value, 8);
    if (FMinClientHeight == value)
        return;
    FMinClientHeight = value;
    StoreDockedHeight(FDockedHeight);
    RecalcSize();
}

void TTBXDockablePanel::SetMaxClientWidth(int value)
{
    if (FMaxClientWidth == value)
        return;
    FMaxClientWidth = value;
    RecalcSize();
}

void TTBXDockablePanel::SetMaxClientHeight(int value)
{
    if (FMaxClientHeight == value)
        return;
    FMaxClientHeight = value;
    RecalcSize();
}

void TTBXDockablePanel::SetShowCaptionWhenDocked(bool value)
{
    if (FShowCaptionWhenDocked == value)
        return;
    FShowCaptionWhenDocked = value;
    DockedFrameChanged();
}

void TTBXDockablePanel::SetSnapDistance(int value)
{
    FSnapDistance = std::max(value, 0);
    if (auto* frame = dynamic_cast<TTBXFloatingWindowParent*>(GetParent()))
        frame->SetSnapDistance(FSnapDistance);
}

void TTBXDockablePanel::SetSplitWidth(int value)
{
    value = std::max(value, 0);
    if (FSplitWidth == value)
        return;
    FSplitWidth = value;
    if (auto* dock = dynamic_cast<TTBXMultiDock*>(GetCurrentDock()); dock != nullptr && !dock->IsVertical())
        dock->ArrangeDockedWindows();
}

void TTBXDockablePanel::SetSplitHeight(int value)
{
    value = std::max(value, 0);
    if (FSplitHeight == value)
        return;
    FSplitHeight = value;
    if (auto* dock = dynamic_cast<TTBXMultiDock*>(GetCurrentDock()); dock != nullptr && dock->IsVertical())
        dock->ArrangeDockedWindows();
}

void TTBXDockablePanel::DockedFrameChanged()
{
    if (!GetDocked() || !HandleAllocated())
        return;
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0, ReframeFlags);
    RecalcSize();  // the frame is part of the size the dock lays out
}

// ---- State ------------------------------------------------------------------------------------------------

int TTBXDockablePanel::GetViewType() const
{
    return VT_DOCKPANEL | 1 | (GetFloating() ? VT_FLOATING : 0) | (GetResizable() ? VT_RESIZABLE : 0);
}

TColor TTBXDockablePanel::GetEffectiveColor() const
{
    if (GetColor() != clNone)
        return GetColor();
    const TTBXTheme* theme = CurrentTheme();
    return theme != nullptr ? theme->GetViewColor(GetViewType()) : clBtnFace;
}

bool TTBXDockablePanel::IsVerticalCaptionIn(const TTBDock* dock) const
{
    if (dock == nullptr)
        return false;
    switch (FCaptionRotation) {
    case dpcrAlwaysHorz: return false;
    case dpcrAlwaysVert: return true;
    case dpcrAuto: return !dock->IsVertical();
    }
    return false;
}

bool TTBXDockablePanel::IsVerticalCaption() const { return GetDocked() && IsVerticalCaptionIn(GetCurrentDock()); }

void TTBXDockablePanel::GetFrameInfo(TFramePaintInfo& info)
{
    info = TFramePaintInfo{};
    info.WindowHandle = HandleAllocated() ? GetHandle() : nullptr;
    info.ViewType = GetViewType();
    info.IsVertical = !IsVerticalCaption();
    info.AllowDrag = GetCurrentDock() != nullptr && GetCurrentDock()->GetAllowDrag();
    info.BorderStyle = GetBorderStyle() == TBorderStyle::bsSingle ? 1 : 0;
    if (const TTBXTheme* theme = CurrentTheme()) {
        const TPoint border = theme->GetViewBorder(info.ViewType);
        info.BorderSize = POINT{border.x, border.y};
    }
    info.ClientWidth = GetClientWidth();
    info.ClientHeight = GetClientHeight();
    info.Handle = FShowCaptionWhenDocked ? 1 : 0;
    if (FShowCaptionWhenDocked && GetCloseButtonWhenDocked()) {
        info.CloseButtonState = CDBS_VISIBLE;
        if (GetCloseButtonDown())
            info.CloseButtonState |= CDBS_PRESSED;
        if (GetCloseButtonHover())
            info.CloseButtonState |= CDBS_HOT;
    }
}

TResizeLimits TTBXDockablePanel::GetConstrainedLimits()
{
    const TSizeConstraints* constraints = GetConstraints();
    TResizeLimits limits{constraints->GetMinWidth(), constraints->GetMinHeight(), constraints->GetMaxWidth(),
                         constraints->GetMaxHeight()};
    ConstrainedResize(limits.MinWidth, limits.MinHeight, limits.MaxWidth, limits.MaxHeight);
    return limits;
}

// ---- Sizes as the dock and the frame ask for them ---------------------------------------------------------

TPoint TTBXDockablePanel::GetDockedFrameSize(const TTBDock* dock) const
{
    if (dock == nullptr)
        return TPoint{0, 0};
    TPoint size{4, 4};
    if (FShowCaptionWhenDocked)
        (IsVerticalCaptionIn(dock) ? size.x : size.y) += CaptionHeight();
    return size;
}

bool TTBXDockablePanel::AcceptsDock(TTBDock* dock)
{
    if (!TTBCustomDockableWindow::AcceptsDock(dock))
        return false;
    return FSupportedDocks.Contains(dynamic_cast<TTBXMultiDock*>(dock) != nullptr ? dkMultiDock : dkStandardDock);
}

TSize TTBXDockablePanel::ComputeSize(bool, TTBDockType dockType, TTBDock* dock, bool floating)
{
    if (floating || dockType == dtFloating) {
        // Floated for the first time: the size it has in its dock.
        if (FFloatingWidth == 0)
            FFloatingWidth = GetDocked() ? GetClientWidth() : FDockedWidth;
        if (FFloatingHeight == 0)
            FFloatingHeight = GetDocked() ? GetClientHeight() : FDockedHeight;
        return TSize{std::max(FFloatingWidth, FMinClientWidth), std::max(FFloatingHeight, FMinClientHeight)};
    }
    const TPoint frame = GetDockedFrameSize(dock);
    if (dockType == dtLeftRight && dock != nullptr)
        return TSize{FDockedWidth, std::max(0, dock->GetClientHeight() - frame.y)};
    if (dockType == dtTopBottom && dock != nullptr)
        return TSize{std::max(0, dock->GetClientWidth() - frame.x), FDockedHeight};
    return TSize{GetClientWidth(), GetClientHeight()};
}

TSize TTBXDockablePanel::GetNaturalSize() { return ComputeSize(false, GetDockType(), GetCurrentDock(), GetFloating()); }

void TTBXDockablePanel::BeforeSizeChange(int newWidth, int newHeight)
{
    if (FOwnSizeChanges > 0)
        return;
    if (GetFloating()) {
        FFloatingWidth = std::max(newWidth, 0);
        FFloatingHeight = std::max(newHeight, 0);
        return;
    }
    TTBDock* dock = GetCurrentDock();
    if (!GetDocked() || dock == nullptr)
        return;
    const TPoint frame = GetDockedFrameSize(dock);
    if (dock->IsVertical())
        StoreDockedWidth(newWidth - frame.x);
    else
        StoreDockedHeight(newHeight - frame.y);
}

TRect TTBXDockablePanel::DockedCloseButtonRect(bool)
{
    const int caption = CaptionHeight();
    const int side = caption - 1;
    if (IsVerticalCaption()) {
        const int top = GetClientHeight() - caption + 3;
        return TRect{2, top, 2 + side, top + side};
    }
    const int left = GetClientWidth() - caption + 3;
    return TRect{left, 2, left + side, 2 + side};
}

TResizeLimits TTBXDockablePanel::GetSizeLimits()
{
    const auto maximum = [](int max, int min) { return max >= min ? max : 0; };
    return TResizeLimits{FMinClientWidth, FMinClientHeight, maximum(FMaxClientWidth, FMinClientWidth),
                         maximum(FMaxClientHeight, FMinClientHeight)};
}

TSize TTBXDockablePanel::FloatingBorderSize()
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr)
        return TTBCustomDockableWindow::FloatingBorderSize();
    const TPoint border = theme->GetViewBorder(GetViewType() | VT_FLOATING);
    return TSize{border.x, border.y};
}

TTBFloatingWindowParentClass TTBXDockablePanel::GetFloatingParentClass()
{
    return TTBFloatingWindowParentClass::Of<TTBXFloatingWindowParent>();
}

void TTBXDockablePanel::SetParent(TWinControl* value)
{
    TTBCustomDockableWindow::SetParent(value);
    if (auto* frame = dynamic_cast<TTBXFloatingWindowParent*>(GetParent()))
        frame->SetSnapDistance(FSnapDistance);
}

bool TTBXDockablePanel::CanAutoSize(int&, int&) { return true; }

void TTBXDockablePanel::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight)
{
    const TPoint frame = GetDockedFrameSize(GetDocked() ? GetCurrentDock() : nullptr);
    minWidth = FMinClientWidth + frame.x;
    minHeight = FMinClientHeight + frame.y;
    // A maximum below the minimum is none, as in a docked resize.
    if (FMaxClientWidth > 0 && FMaxClientWidth >= FMinClientWidth)
        maxWidth = FMaxClientWidth + frame.x;
    if (FMaxClientHeight > 0 && FMaxClientHeight >= FMinClientHeight)
        maxHeight = FMaxClientHeight + frame.y;
}

void TTBXDockablePanel::AdjustClientRect(RECT& rect)
{
    TTBCustomDockableWindow::AdjustClientRect(rect);
    InflateRect(&rect, -FBorderSize, -FBorderSize);
}

bool TTBXDockablePanel::DoDockedResizing(bool vertical, int& newSize, TTBXResizingStage stage)
{
    bool allow = true;
    OnDockedResizing(this, vertical, newSize, stage, allow);
    return allow;
}

// ---- The docked frame -------------------------------------------------------------------------------------

void TTBXDockablePanel::WMNCCalcSize(TMessage& message)
{
    if (!GetDocked() || GetCurrentDock() == nullptr || message.WParam == 0) {
        TTBCustomDockableWindow::WMNCCalcSize(message);
        return;
    }
    RECT& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0];
    InflateRect(&r, -2, -2);
    if (FShowCaptionWhenDocked)
        (IsVerticalCaption() ? r.left : r.top) += CaptionHeight();
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
    message.Result = 0;
}

void TTBXDockablePanel::PaintDockedFrame(bool drawToDC, HDC dc, HRGN clip)
{
    Assert(dc != nullptr, "TTBXToolWindow.DrawNCArea Error");
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr) {
        TTBCustomDockableWindow::PaintDockedFrame(drawToDC, dc, clip);
        return;
    }
    if (!GetDocked() || GetCurrentDock() == nullptr || !HandleAllocated())
        return;
    TFramePaintInfo info;
    GetFrameInfo(info);
    const HWND handle = GetHandle();
    const detail::TSavedDC saved(dc);
    if (!drawToDC) {
        ClipToNonClientUpdateRegion(handle, dc, clip);
        const TRect inner = GetClientInset(handle);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    }
    const std::string caption = GetCaption();
    info.CaptionText = caption;
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.GetBrush()->SetColor(GetEffectiveColor());
    theme->PaintDockPanelNCArea(canvas, TRect{0, 0, GetWidth(), GetHeight()}, info);
    canvas.SetHandle(nullptr);
}

void TTBXDockablePanel::WMEraseBkgnd(TMessage& message)
{
    FillRectColorDC(reinterpret_cast<HDC>(message.WParam), GetClientRect(), GetEffectiveColor());
    message.Result = 1;
}

// ---- What a point of the docked frame is ------------------------------------------------------------------

LRESULT TTBXDockablePanel::DockedHitTest(TPoint p, LRESULT standard)
{
    if (standard != HTBORDER)
        return standard;  // the client, or outside the panel
    TTBDock* dock = GetCurrentDock();
    const int width = GetWidth();
    const int height = GetHeight();
    if (GetResizable()) {
        // The edge away from the form's border.
        switch (dock->GetPosition()) {
        case dpTop:
            if (p.y >= height - 2)
                return HTBOTTOM;
            break;
        case dpBottom:
            if (p.y < 2)
                return HTTOP;
            break;
        case dpLeft:
            if (p.x >= width - 2)
                return HTRIGHT;
            break;
        case dpRight:
            if (p.x < 2)
                return HTLEFT;
            break;
        }
    }
    if (auto* multi = dynamic_cast<TTBXMultiDock*>(dock); multi != nullptr && multi->HandleAllocated()) {
        const int pos = GetEffectivePos();
        bool last = true;
        for (int i = 0; i < multi->GetVisibleCount(); ++i)
            if (multi->GetVisibleWindow(i)->GetEffectivePos() > pos)
                last = false;
        const bool first = pos <= 0;
        if (!multi->IsVertical()) {
            if (p.x >= width - 2 && !last)
                return HT_TBX_SPLITRIGHT;
            if (p.x < 2 && !first)
                return HT_TBX_SPLITLEFT;
        } else {
            if (p.y >= height - 2 && !last)
                return HT_TBX_SPLITBOTTOM;
            if (p.y < 2 && !first)
                return HT_TBX_SPLITTOP;
        }
    }
    const TRect inner{2, 2, width - 2, height - 2};
    if (!FShowCaptionWhenDocked || PtInRect(&inner, p) == FALSE)
        return standard;
    if (GetCloseButtonWhenDocked()) {
        // As wide as the painted button and a little more, in both orientations.
        const int side = CaptionHeight() + 4;
        const TRect zone = IsVerticalCaption() ? TRect{inner.left, inner.bottom - side, inner.left + side, inner.bottom}
                                               : TRect{inner.right - side, inner.top, inner.right, inner.top + side};
        if (PtInRect(&zone, p) != FALSE)
            return HT_TB_CLOSEBUTTON;
    }
    return HT_TB_DRAGAREA;
}

void TTBXDockablePanel::WMNCHitTest(TMessage& message)
{
    if (!GetDocked() || GetCurrentDock() == nullptr) {
        TTBCustomDockableWindow::WMNCHitTest(message);
        return;
    }
    TCustomControl::WMNCHitTest(message);
    TRect window{};
    GetWindowRect(GetHandle(), &window);
    const TPoint p{GET_X_LPARAM(message.LParam) - window.left, GET_Y_LPARAM(message.LParam) - window.top};
    message.Result = DockedHitTest(p, message.Result);
}

void TTBXDockablePanel::WMSetCursor(TMessage& message)
{
    TTBDock* dock = GetCurrentDock();
    if (GetDocked() && dock != nullptr && dock->GetAllowDrag() &&
        reinterpret_cast<HWND>(message.WParam) == GetHandle()) {
        int cursor = 0;
        switch (static_cast<short>(LOWORD(message.LParam))) {
        case HT_TB_DRAGAREA: cursor = FShowCaptionWhenDocked ? IDC_ARROW : 0; break;
        case HT_TBX_SPLITLEFT:
        case HT_TBX_SPLITRIGHT: cursor = IDC_SIZEWE; break;
        case HT_TBX_SPLITTOP:
        case HT_TBX_SPLITBOTTOM: cursor = IDC_SIZENS; break;
        default: break;
        }
        if (cursor != 0) {
            ui::SetCursor(LoadCursor(nullptr, cursor));
            message.Result = 1;
            return;
        }
    }
    TTBCustomDockableWindow::WMSetCursor(message);
}

void TTBXDockablePanel::WMNCLButtonDown(TMessage& message)
{
    if (GetDocked() && GetCurrentDock() != nullptr) {
        const auto hit = static_cast<LRESULT>(message.WParam);
        if (hit >= HTLEFT && hit <= HTBOTTOM) {
            RunDockedResize(static_cast<int>(hit));
            message.Result = 0;
            return;
        }
        if (hit >= HT_TBX_SPLITLEFT && hit <= HT_TBX_SPLITBOTTOM) {
            RunSplitDrag(static_cast<int>(hit));
            message.Result = 0;
            return;
        }
        if (hit == HT_TB_DRAGAREA && CanBeDragged())
            ui::SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
    }
    TTBCustomDockableWindow::WMNCLButtonDown(message);
}

// ---- Messages and changes ---------------------------------------------------------------------------------

void TTBXDockablePanel::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_TBX_GETVIEWTYPE: message.Result = GetViewType(); return;
    case WM_TBX_GETEFFECTIVECOLOR:
        message.WParam = static_cast<WPARAM>(GetEffectiveColor());
        message.Result = 1;
        return;
    case WM_TBX_THEMECHANGED: WMTBXThemeChanged(message); return;
    case CM_CONTROLCHANGE: CMControlChange(message); return;
    default: TTBCustomDockableWindow::Dispatch(message);
    }
}

void TTBXDockablePanel::BroadcastEffectiveColor()
{
    NotifyChildren(CM_PARENTCOLORCHANGED, 1, static_cast<std::intptr_t>(GetEffectiveColor()));
}

void TTBXDockablePanel::Reframe()
{
    if (auto* frame = dynamic_cast<TTBXFloatingWindowParent*>(GetParent())) {
        if (!GetComponentState().Contains(csDestroying))
            UpdateNCArea(frame);
        return;
    }
    if (!HandleAllocated())
        return;
    const int clientWidth = GetClientWidth();
    const int clientHeight = GetClientHeight();
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0, ReframeFlags);
    const int dx = clientWidth - GetClientWidth();
    const int dy = clientHeight - GetClientHeight();
    if (dx != 0 || dy != 0)
        SetBounds(GetLeft() - dx / 2, GetTop() - dy / 2, GetWidth() + dx, GetHeight() + dy);
    RedrawWindow(GetHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TTBXDockablePanel::WMTBXThemeChanged(TMessage& message)
{
    switch (message.WParam) {
    case 1: BeginUpdate(); break;
    case 3:
        EndUpdate();
        Reframe();
        Invalidate();
        BroadcastEffectiveColor();
        break;
    default: break;
    }
}

void TTBXDockablePanel::CMControlChange(TMessage& message)
{
    // A child that follows the panel's colour would take clNone.
    auto* child = reinterpret_cast<TControl*>(message.WParam);
    if (message.LParam != 0 && child != nullptr && GetColor() == clNone)
        child->Perform(CM_PARENTCOLORCHANGED, 1, static_cast<std::intptr_t>(GetEffectiveColor()));
    TTBCustomDockableWindow::Dispatch(message);
}

void TTBXDockablePanel::WMWindowPosChanged(TMessage& message)
{
    TTBCustomDockableWindow::WMWindowPosChanged(message);
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
    if (pos != nullptr && (pos->flags & SWP_SHOWWINDOW) != 0)
        RedrawDockedFrame();
}

void TTBXDockablePanel::CMColorChanged(TMessage& message)
{
    TTBCustomDockableWindow::CMColorChanged(message);
    BroadcastEffectiveColor();
}

void TTBXDockablePanel::CMTextChanged(TMessage& message)
{
    TTBCustomDockableWindow::CMTextChanged(message);
    RedrawDockedFrame();
}

}  // namespace ovrel::themes
