// Themed toolbars: the chevron and the view, the view type and effective colour, the docked frame and the
// background through the theme, colour propagation to child controls, and theme changes.
#include "themes/ThemedToolbars.h"

#include "themes/Nexus.h"
#include "themes/ThemeUtils.h"
#include "themes/ThemedCommon.h"
#include "themes/ThemedDocks.h"
#include "themes/ThemedItems.h"
#include "themes/ThemedPopups.h"
#include "themes/Themes_p.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/FloatingWindow.h"

#include <algorithm>
#include <vector>

namespace ovrel::themes {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

const std::vector<std::string>& TransparencyNames()
{
    static const std::vector<std::string> names{"itAuto", "itEnable", "itDisable"};
    return names;
}

bool IsDesigning(const TComponent* component) { return component->GetComponentState().Contains(csDesigning); }

}  // namespace

// ---- The chevron ------------------------------------------------------------------------------------------

TTBItemViewerClass TTBXChevronItem::GetItemViewerClass(TTBView*) const
{
    return TTBItemViewerClass::Of<TTBXChevronItemViewer>();
}

TTBPopupWindowClass TTBXChevronItem::GetPopupWindowClass() const
{
    return TTBPopupWindowClass::Of<TTBXChevronPopupWindow>();
}

void TTBXChevronItemViewer::Paint(TCanvas* canvas, const TRect& clientRect, bool selected, bool pushed, bool emboss)
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr) {
        TTBItemViewer::Paint(canvas, clientRect, selected, pushed, emboss);
        return;
    }
    const TTBView* view = GetView();
    TItemPaintInfo info;
    info.ViewType = GetViewType(view);
    info.ItemOptions = IO_TOOLBARSTYLE | (IsDesigning(GetItem()) ? IO_DESIGNING : 0);
    info.Enabled = GetItem()->GetEnabled() || view->GetCustomizing();
    info.Pushed = pushed;
    if (selected)
        info.HoverKind = info.Enabled ? HK_HOT : view->GetSelectedViaMouse() ? HK_NONE : HK_DISABLED;
    info.IsVertical = view->IsVertical();
    theme->PaintChevron(*canvas, clientRect, info);
}

// ---- The view ---------------------------------------------------------------------------------------------

void TTBXToolbarView::GetMargins(TTBViewOrientation orientation, TRect& margins) const
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr) {
        TTBToolbarView::GetMargins(orientation, margins);
        return;
    }
    int viewType = GetWinViewType(GetWindow());
    if ((viewType & (VT_TOOLBAR | VT_DOCKPANEL)) != 0)
        viewType = orientation == tbvoFloating ? viewType | VT_FLOATING : viewType & ~VT_FLOATING;
    TTBXMargins m;
    theme->GetViewMargins(viewType, m);
    margins = TRect{m.LeftWidth, m.TopHeight, m.RightWidth, m.BottomHeight};
}

// ---- TTBXToolbar: life and settings -----------------------------------------------------------------------

TTBXToolbar::TTBXToolbar(TComponent* owner) : TTBCustomToolbar(owner)
{
    SetColor(clNone);
    SetControlStyle(GetControlStyle().Exclude(csOpaque));
    SetDblClickUndock(false);
    FEffectiveColor = ComputeEffectiveColor();
    AddThemeControl(this);
}

TTBXToolbar::~TTBXToolbar() { RemoveThemeControl(this); }

int TTBXToolbar::GetViewType() const
{
    int viewType = GetMenuBar() ? VT_MENUBAR : VT_TOOLBARVIEW;
    if (GetFloating())
        viewType |= VT_FLOATING;
    if (GetResizable())
        viewType |= VT_RESIZABLE;
    if (FItemTransparency == itDisable || (FItemTransparency == itAuto && !GetFloating() && !GetDocked()))
        viewType |= VT_OPAQUE;
    return viewType;
}

void TTBXToolbar::SetItemTransparency(TTBXItemTransparency value)
{
    FItemTransparency = value;
    Invalidate();
}

void TTBXToolbar::SetSnapDistance(int value)
{
    FSnapDistance = std::max(value, 0);
    if (auto* frame = dynamic_cast<TTBXFloatingWindowParent*>(GetParent()))
        frame->SetSnapDistance(FSnapDistance);
}

void TTBXToolbar::SetParent(TWinControl* value)
{
    TTBCustomToolbar::SetParent(value);
    if (auto* frame = dynamic_cast<TTBXFloatingWindowParent*>(GetParent()))
        frame->SetSnapDistance(FSnapDistance);
    // Docked, floating or on a form: each shows another colour.
    if (!GetComponentState().Contains(csDestroying))
        UpdateEffectiveColor();
}

TTBChevronItemClass TTBXToolbar::GetChevronItemClass() const { return TTBChevronItemClass::Of<TTBXChevronItem>(); }

TTBToolbarRootItemClass TTBXToolbar::GetRootItemClass() const { return TTBToolbarRootItemClass::Of<TTBXRootItem>(); }

TTBViewClass TTBXToolbar::GetViewClass() const { return TTBViewClass::Of<TTBXToolbarView>(); }

TTBFloatingWindowParentClass TTBXToolbar::GetFloatingParentClass()
{
    return TTBFloatingWindowParentClass::Of<TTBXFloatingWindowParent>();
}

TSize TTBXToolbar::FloatingBorderSize()
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr)
        return TTBCustomToolbar::FloatingBorderSize();
    const TPoint border = theme->GetViewBorder(GetViewType() | VT_FLOATING);
    return TSize{border.x, border.y};
}

const TPropertyTable& TTBXToolbar::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TTBCustomToolbar::ClassProperties())
            .Enumeration("ItemTransparency", &TTBXToolbar::GetItemTransparency, &TTBXToolbar::SetItemTransparency,
                         TransparencyNames())
            .Integer("SnapDistance", &TTBXToolbar::GetSnapDistance, &TTBXToolbar::SetSnapDistance);
    return table;
}

const TPropertyTable& TTBXToolbar::GetPropertyTable() const { return ClassProperties(); }

// ---- Colour -----------------------------------------------------------------------------------------------

TColor TTBXToolbar::ComputeEffectiveColor() const
{
    if (GetColor() != clNone)
        return GetColor();
    if (!GetFloating() && !GetDocked() && GetParent() != nullptr)
        return themes::GetEffectiveColor(GetParent());
    const TTBXTheme* theme = CurrentTheme();
    return theme != nullptr ? theme->GetViewColor(GetViewType()) : clBtnFace;
}

void TTBXToolbar::BroadcastEffectiveColor()
{
    NotifyChildren(CM_PARENTCOLORCHANGED, 1, static_cast<std::intptr_t>(FEffectiveColor));
}

void TTBXToolbar::UpdateEffectiveColor()
{
    const TColor color = ComputeEffectiveColor();
    if (color == FEffectiveColor)
        return;
    FEffectiveColor = color;
    BroadcastEffectiveColor();
    Invalidate();
}

void TTBXToolbar::CMColorChanged(TMessage& message)
{
    TTBCustomToolbar::CMColorChanged(message);
    FEffectiveColor = ComputeEffectiveColor();
    BroadcastEffectiveColor();
    Invalidate();
    if (GetDocked() && HandleAllocated())
        RedrawWindow(GetHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TTBXToolbar::CMParentColorChanged(TMessage& message)
{
    if (!GetFloating() && !GetDocked() && GetColor() == clNone) {
        UpdateEffectiveColor();
        if (message.WParam == 0) {
            message.WParam = 1;
            message.LParam = static_cast<std::intptr_t>(FEffectiveColor);
        }
    }
    TTBCustomToolbar::CMParentColorChanged(message);
    Invalidate();
}

void TTBXToolbar::CMControlChange(TMessage& message)
{
    // A child that follows the toolbar's colour would take clNone.
    auto* child = reinterpret_cast<TControl*>(message.WParam);
    if (message.LParam != 0 && child != nullptr && GetColor() == clNone)
        child->Perform(CM_PARENTCOLORCHANGED, 1, static_cast<std::intptr_t>(FEffectiveColor));
    TTBCustomToolbar::CMControlChange(message);
}

// ---- The docked frame and the background ------------------------------------------------------------------

TPoint TTBXToolbar::GetFrameInfo(TFramePaintInfo& info)
{
    info = TFramePaintInfo{};
    const TTBDock* dock = GetCurrentDock();
    info.WindowHandle = HandleAllocated() ? GetHandle() : nullptr;
    info.ViewType = GetViewType();
    info.IsVertical = dock != nullptr && dock->IsVertical();
    info.AllowDrag = dock != nullptr && dock->GetAllowDrag();
    info.BorderStyle = GetBorderStyle() == TBorderStyle::bsSingle ? 1 : 0;
    TPoint border{0, 0};
    if (const TTBXTheme* theme = CurrentTheme())
        border = theme->GetViewBorder(info.ViewType);
    info.BorderSize = POINT{border.x, border.y};
    info.ClientWidth = GetClientWidth();
    info.ClientHeight = GetClientHeight();
    info.Handle = static_cast<std::int32_t>(GetDragHandleStyle());
    if (info.AllowDrag && GetCloseButtonWhenDocked()) {
        info.CloseButtonState = CDBS_VISIBLE;
        if (GetCloseButtonDown())
            info.CloseButtonState |= CDBS_PRESSED;
        else if (GetCloseButtonHover())
            info.CloseButtonState |= CDBS_HOT;
    }
    return border;
}

TTBDock* TTBXToolbar::DockWithBackgroundOnToolbars() const
{
    TTBDock* dock = GetDocked() ? GetCurrentDock() : nullptr;
    return dock != nullptr && dock->UsingBackground() && dock->GetBackgroundOnToolbars() ? dock : nullptr;
}

void TTBXToolbar::PaintDockedFrame(bool drawToDC, HDC dc, HRGN clip)
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr) {
        TTBCustomToolbar::PaintDockedFrame(drawToDC, dc, clip);
        return;
    }
    TTBDock* dock = GetCurrentDock();
    if (!GetDocked() || dock == nullptr || !HandleAllocated() || dc == nullptr)
        return;
    TFramePaintInfo info;
    GetFrameInfo(info);
    const HWND handle = GetHandle();
    const detail::TSavedDC saved(dc);
    if (!drawToDC) {
        ClipToNonClientUpdateRegion(handle, dc, clip);
        // The client area as the frame leaves it, so the frame never paints over the items.
        const TRect inner = GetClientInset(handle);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    }
    const TRect window{0, 0, GetWidth(), GetHeight()};
    TCanvas canvas;
    canvas.SetHandle(dc);
    if (dock->UsingBackground()) {
        {
            // The dock draws in its parent's coordinates: move the origin to where the window lies there.
            const detail::TSavedDC background(dc);
            const TPoint origin = ClientToParent(TPoint{0, 0}, dock->GetParent());
            const TRect inset = GetClientInset(handle);
            TRect inParent = window;
            OffsetRect(&inParent, origin.x - inset.left, origin.y - inset.top);
            SetWindowOrgEx(dc, origin.x - inset.left, origin.y - inset.top, nullptr);
            dock->DrawBackground(dc, inParent);
        }
        if (GetColor() == clNone && dock->GetBackgroundOnToolbars())
            canvas.GetBrush()->SetStyle(bsClear);
        else
            canvas.GetBrush()->SetColor(FEffectiveColor);
    } else {
        FillRectColorDC(dc, window, theme->GetBooleanMetric(6) ? FEffectiveColor : themes::GetEffectiveColor(dock));
        canvas.GetBrush()->SetColor(FEffectiveColor);
    }
    theme->PaintToolbarNCArea(canvas, window, info);
    canvas.SetHandle(nullptr);
}

void TTBXToolbar::WMEraseBkgnd(TMessage& message)
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr) {
        TTBCustomToolbar::WMEraseBkgnd(message);
        return;
    }
    auto* dc = reinterpret_cast<HDC>(message.WParam);
    const TRect client = GetClientRect();
    bool transparent = false;
    if (GetColor() == clNone && DockWithBackgroundOnToolbars() != nullptr) {
        TTBCustomToolbar::WMEraseBkgnd(message);  // the dock's background behind the client area
        transparent = true;
    } else if (!GetFloating() && !GetDocked()) {
        DrawParentBackground(this, dc, client);
        transparent = true;
    }
    TCanvas canvas;
    canvas.SetHandle(dc);
    theme->PaintBackground(canvas, client, client, FEffectiveColor, transparent, GetViewType());
    canvas.SetHandle(nullptr);
    message.Result = 1;
}

std::vector<TRect> TTBXToolbar::ItemRects()
{
    std::vector<TRect> items;
    TTBToolbarView* view = GetView();
    for (int i = 0; i < view->GetViewerCount(); ++i) {
        const TTBItemViewer* viewer = view->GetViewer(i);
        const TRect& r = viewer->GetBoundsRect();
        if (viewer->IsPlaced() && viewer->GetItem()->GetVisible() && !IsRectEmpty(&r) &&
            dynamic_cast<const TTBControlItem*>(viewer->GetItem()) == nullptr)
            items.push_back(r);
    }
    return items;
}

void TTBXToolbar::WMSize(TMessage& message)
{
    TTBCustomToolbar::WMSize(message);
    auto* dock = dynamic_cast<TTBXDock*>(DockWithBackgroundOnToolbars());
    if (dock == nullptr || dock->GetSizing() || !HandleAllocated())
        return;
    const std::vector<TRect> items = ItemRects();
    const HWND handle = GetHandle();
    for (const TRect& r : items)
        InvalidateRect(handle, &r, TRUE);
    UpdateWindow(handle);
    InvalidateRect(handle, nullptr, TRUE);
    for (const TRect& r : items)
        ValidateRect(handle, &r);
}

void TTBXToolbar::DockBackgroundResized()
{
    if (!HandleAllocated())
        return;
    const std::vector<TRect> items = ItemRects();
    const HWND handle = GetHandle();
    InvalidateRect(handle, nullptr, TRUE);
    SetWindowPos(handle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawDockedFrame();
    for (const TRect& r : items)
        ValidateRect(handle, &r);
}

// ---- Messages and theme changes ---------------------------------------------------------------------------

void TTBXToolbar::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_TBX_GETVIEWTYPE: message.Result = GetViewType(); return;
    case WM_TBX_GETEFFECTIVECOLOR:
        message.WParam = static_cast<WPARAM>(FEffectiveColor);
        message.Result = 1;
        return;
    case WM_TBX_THEMECHANGED: WMTBXThemeChanged(message); return;
    default: TTBCustomToolbar::Dispatch(message);
    }
}

void TTBXToolbar::WMTBXThemeChanged(TMessage& message)
{
    switch (message.WParam) {
    case 1:
        if (FThemeStep == TThemeStep::Idle) {
            FThemeStep = TThemeStep::Begun;
            BeginUpdate();
        }
        break;
    case 3:
        if (FThemeStep == TThemeStep::Applied)
            FThemeStep = TThemeStep::Idle;  // the dock applied it already
        else
            ApplyThemeChange();
        break;
    case 4:
    case 5:
        if (GetMenuBar())
            Invalidate();
        break;
    default: break;
    }
}

void TTBXToolbar::DockThemeChanged()
{
    if (FThemeStep != TThemeStep::Begun)
        return;
    ApplyThemeChange();
    FThemeStep = TThemeStep::Applied;
}

void TTBXToolbar::ApplyThemeChange()
{
    // The theme's sizes may have changed: the layout is made again and the size it needs applied (through the
    // dock when docked).
    GetView()->InvalidatePositions();
    if (FThemeStep == TThemeStep::Begun)
        EndUpdate();
    else
        RecalcSize();
    FThemeStep = TThemeStep::Idle;
    FEffectiveColor = ComputeEffectiveColor();
    if (auto* frame = dynamic_cast<TTBXFloatingWindowParent*>(GetParent())) {
        if (!GetComponentState().Contains(csDestroying))
            UpdateNCArea(frame);
    } else {
        UpdateNCArea(this);
    }
    Invalidate();
    BroadcastEffectiveColor();
}

}  // namespace ovrel::themes
