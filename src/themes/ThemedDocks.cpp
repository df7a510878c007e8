#include "themes/ThemedDocks.h"

#include "themes/FloatingSnap.h"
#include "themes/Nexus.h"
#include "themes/ThemeInterface.h"
#include "themes/ThemeUtils.h"
#include "themes/ThemedCommon.h"
#include "themes/ThemedToolbars.h"
#include "themes/Themes_p.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/DockableWindow.h"

#include <string>
#include <utility>

namespace ovrel::themes {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

// The position codes the theme paints docks by.
int ThemeDockPosition(TTBDockPosition position)
{
    switch (position) {
    case dpTop: return 1;
    case dpBottom: return 2;
    case dpLeft: return 3;
    case dpRight: return 4;
    }
    return 1;
}

TColor OwnOrParentColor(TControl* control)
{
    if (control->GetColor() != clNone)
        return control->GetColor();
    return control->GetParent() != nullptr ? GetEffectiveColor(control->GetParent()) : clBtnFace;
}

}  // namespace

// ---- TTBXDock ---------------------------------------------------------------------------------------------

TTBXDock::TTBXDock(TComponent* owner) : TTBDock(owner)
{
    SetColor(clNone);
    AddThemeControl(this);
}

TTBXDock::~TTBXDock() { RemoveThemeControl(this); }

void TTBXDock::SetUseParentBackground(bool value)
{
    if (FUseParentBackground == value)
        return;
    FUseParentBackground = value;
    if (HandleAllocated())
        RedrawWindow(GetHandle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool TTBXDock::UsesThemeBackground()
{
    const TTBXTheme* theme = CurrentTheme();
    return GetBackground() == nullptr && GetColor() == clNone && theme != nullptr && theme->GetBooleanMetric(5);
}

bool TTBXDock::UsingBackground()
{
    // The theme paints each dock for itself, so a move does not change what it shows.
    return FUseParentBackground || (UsesThemeBackground() && !FMoving) || TTBDock::UsingBackground();
}

void TTBXDock::DrawBackground(HDC dc, const TRect& rect)
{
    if (FUseParentBackground) {
        DrawParentBackground(this, dc, rect);
        return;
    }
    if (UsesThemeBackground()) {
        // rect and the DC are in the parent's coordinates; so is the client rectangle handed on.
        TRect client = GetClientRect();
        const TPoint origin = ClientToParent(TPoint{0, 0});
        OffsetRect(&client, origin.x, origin.y);
        TCanvas canvas;
        canvas.SetHandle(dc);
        CurrentTheme()->PaintDock(canvas, client, rect, ThemeDockPosition(GetPosition()));
        canvas.SetHandle(nullptr);
        return;
    }
    TTBDock::DrawBackground(dc, rect);
}

void TTBXDock::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_TBX_GETEFFECTIVECOLOR:
        message.WParam = static_cast<WPARAM>(OwnOrParentColor(this));
        message.Result = 1;
        return;
    case WM_TBX_THEMECHANGED: WMTBXThemeChanged(message); return;
    default: TTBDock::Dispatch(message);
    }
}

void TTBXDock::WMTBXThemeChanged(TMessage& message)
{
    switch (message.WParam) {
    case 1:
        // Each toolbar takes its new sizes at step 3; the dock arranges once for all of them.
        if (!FThemeUpdating) {
            FThemeUpdating = true;
            BeginUpdate();
        }
        break;
    case 3:
        if (FThemeUpdating) {
            for (int i = 0; i < GetControlCount(); ++i)
                if (auto* toolbar = dynamic_cast<TTBXToolbar*>(GetControl(i)))
                    toolbar->DockThemeChanged();
            FThemeUpdating = false;
            EndUpdate();
        }
        Invalidate();
        break;
    default: break;
    }
}

void TTBXDock::Resize()
{
    TTBDock::Resize();
    if (!UsingBackground())
        return;
    // The background stretches with the dock: everything on it repaints, a toolbar only around its items.
    Invalidate();
    for (int i = 0; i < GetControlCount(); ++i) {
        if (auto* toolbar = dynamic_cast<TTBXToolbar*>(GetControl(i)))
            toolbar->DockBackgroundResized();
        else if (auto* window = dynamic_cast<TTBCustomDockableWindow*>(GetControl(i)))
            window->Invalidate();
    }
}

void TTBXDock::WMEraseBkgnd(TMessage& message)
{
    if (UsingBackground()) {
        TTBDock::WMEraseBkgnd(message);  // through DrawBackground, in the parent's coordinates
        return;
    }
    FillRectColorDC(reinterpret_cast<HDC>(message.WParam), GetClientRect(), OwnOrParentColor(this));
    message.Result = 1;
}

void TTBXDock::WMMove(TMessage& message)
{
    const TRestore moving(FMoving, true);
    TTBDock::WMMove(message);
}

void TTBXDock::WMSize(TMessage& message)
{
    const TRestore sizing(FSizing, true);
    TTBDock::WMSize(message);
}

void TTBXDock::CMColorChanged(TMessage& message)
{
    TTBDock::CMColorChanged(message);
    for (int i = 0; i < GetControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(GetControl(i)))
            RedrawFrame(child);
}

// ---- TTBXFloatingWindowParent -----------------------------------------------------------------------------

TTBXFloatingWindowParent::TTBXFloatingWindowParent(TComponent* owner) : TTBFloatingWindowParent(owner) {}

void TTBXFloatingWindowParent::SetCloseButtonHover(bool value)
{
    if (FCloseButtonHover == value)
        return;
    FCloseButtonHover = value;
    RedrawFloatingFrame(ffpCloseButton);
}

void TTBXFloatingWindowParent::PaintFloatingFrame(bool drawToDC, HDC dc, unsigned what, HRGN clip)
{
    TTBCustomDockableWindow* window = GetDockableWindow();
    const TTBXTheme* theme = CurrentTheme();
    if (window == nullptr || theme == nullptr) {
        TTBFloatingWindowParent::PaintFloatingFrame(drawToDC, dc, what, clip);
        return;
    }
    if (!HandleAllocated())
        return;
    const HWND handle = GetHandle();
    const bool ownDC = !drawToDC || dc == nullptr;
    if (ownDC)
        dc = GetWindowDC(handle);
    {
        const detail::TSavedDC saved(dc);
        if (!drawToDC)
            ClipToNonClientUpdateRegion(handle, dc, clip);
        IntersectClipRect(dc, 0, 0, GetWidth(), GetHeight());

        const std::string caption = GetCaption();
        TFloatingWindowInfo info;
        info.WindowHandle = handle;
        info.DockableWindowHandle = window->HandleAllocated() ? window->GetHandle() : nullptr;
        info.ViewType = GetWinViewType(window);
        info.ClientWidth = GetClientWidth();
        info.ClientHeight = GetClientHeight();
        info.ShowCaption = window->GetShowCaption();
        const TSize border = window->FloatingBorderSize();
        info.FloatingBorderSize = POINT{border.cx, border.cy};
        if (window->GetCloseButton() && window->GetShowCaption()) {
            info.CloseButtonState = CDBS_VISIBLE;
            if (GetCloseButtonDown())
                info.CloseButtonState |= CDBS_PRESSED;
            else if (FCloseButtonHover)
                info.CloseButtonState |= CDBS_HOT;
        }
        info.RedrawPart = static_cast<std::int32_t>(what & ffpAll);
        info.CaptionText = caption;
        info.Active = !window->GetInactiveCaption();

        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.GetBrush()->SetColor(GetEffectiveColor(window));
        theme->PaintFloatingBorder(canvas, TRect{0, 0, GetWidth(), GetHeight()}, info);
        canvas.SetHandle(nullptr);
    }
    if (ownDC)
        ReleaseDC(handle, dc);
}

void TTBXFloatingWindowParent::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_NCMOUSEMOVE: WMNCMouseMove(message); return;
    case WM_NCMOUSELEAVE: WMNCMouseLeave(message); return;
    case WM_WINDOWPOSCHANGING: WMWindowPosChanging(message); return;
    default: TTBFloatingWindowParent::Dispatch(message);
    }
}

void TTBXFloatingWindowParent::WMNCMouseMove(TMessage& message)
{
    DefaultHandler(message);
    if (NonClientLeaveSupported())
        RequestMouseTracking(GetHandle(), TME_LEAVE | TME_NONCLIENT);
    SetCloseButtonHover(static_cast<LRESULT>(message.WParam) == HT_TB_CLOSEBUTTON);
}

void TTBXFloatingWindowParent::WMNCMouseLeave(TMessage& message)
{
    if (GetCapture() != GetHandle())
        SetCloseButtonHover(false);
    DefaultHandler(message);
}

void TTBXFloatingWindowParent::CMMouseLeave(TMessage& message)
{
    SetCloseButtonHover(false);
    TTBFloatingWindowParent::CMMouseLeave(message);
}

void TTBXFloatingWindowParent::WMEraseBkgnd(TMessage& message)
{
    // The hosted window fills the whole client area.
    message.Result = 1;
}

void TTBXFloatingWindowParent::WMWindowPosChanging(TMessage& message)
{
    if (auto* pos = reinterpret_cast<WINDOWPOS*>(message.LParam); pos != nullptr && FSnapDistance > 0) {
        const TRect current = GetBoundsRect();
        const TRect proposed{pos->x, pos->y, pos->x + current.right - current.left,
                             pos->y + current.bottom - current.top};
        SnapWindowPos(*pos, current, GetRectOfMonitorContainingRect(proposed, true), FSnapDistance);
    }
    TTBFloatingWindowParent::Dispatch(message);
}

}  // namespace ovrel::themes
