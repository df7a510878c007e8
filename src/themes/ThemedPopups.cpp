// Themed pop-up windows: view types, the border and background through the theme, the platform shadow chosen
// by the theme, and the themed context menu.
#include "themes/ThemedPopups.h"

#include "themes/Nexus.h"
#include "themes/ThemedItems.h"
#include "themes/ThemedViewers.h"
#include "themes/Themes_p.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolbars/Animation.h"
#include "toolbars/Common.h"
#include "toolkit/SysUtils.h"

namespace ovrel::themes {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;
using namespace ovrel::ui;

// ---- TTBXPopupWindow --------------------------------------------------------------------------------------

int TTBXPopupWindow::GetViewType() const
{
    const TTBView* view = GetView();
    const auto* item = view != nullptr ? dynamic_cast<const TTBXCustomItem*>(view->GetParentItem()) : nullptr;
    return item != nullptr && item->GetToolBoxPopup() ? VT_TOOLBOXPOPUP : VT_POPUPMENU;
}

TPoint TTBXPopupWindow::GetNCSize() const
{
    const TTBXTheme* theme = CurrentTheme();
    return theme != nullptr ? theme->GetViewBorder(GetViewType()) : TTBPopupWindow::GetNCSize();
}

bool TTBXPopupWindow::ShadowAllowed() const { return GetViewType() != VT_LISTBOXPOPUP; }

TTBViewClass TTBXPopupWindow::GetViewClass() const { return TTBViewClass::Of<TTBXPopupView>(); }

void TTBXPopupWindow::CreateParams(TCreateParams& params)
{
    TTBPopupWindow::CreateParams(params);
    params.ClassStyle &= ~(CS_DROPSHADOW | CS_DBLCLKS);
    const TTBXTheme* theme = CurrentTheme();
    if (theme != nullptr && ShadowAllowed() && theme->GetPopupShadowType() == PST_WINDOWSXP && IsWindowsXPOrLater()) {
        // A class of its own: the platform keeps the shadow style per window class.
        params.ClassStyle |= CS_DROPSHADOW;
        params.WinClassName += 'S';
    }
}

TRect TTBXPopupWindow::GetParentItemRect() const
{
    const TTBView* view = GetView();
    const TTBView* parentView = view != nullptr ? view->GetParentView() : nullptr;
    const TTBItemViewer* opener = parentView != nullptr ? parentView->GetOpenViewer() : nullptr;
    const auto* themed = dynamic_cast<const TTBXItemViewer*>(opener);
    if (themed == nullptr || !themed->IsToolbarStyle())
        return TRect{};
    return ParentItemRectIn(*parentView, *opener);
}

TRect TTBXPopupWindow::ParentItemRectIn(const TTBView& parentView, const TTBItemViewer& opener) const
{
    TRect r = opener.GetBoundsRect();
    const TPoint origin = parentView.GetClientOriginOnScreen();
    TRect window{};
    GetWindowRect(const_cast<TTBXPopupWindow*>(this)->GetHandle(), &window);
    OffsetRect(&r, origin.x - window.left, origin.y - window.top);
    return r;
}

void TTBXPopupWindow::PaintFrame(HDC dc)
{
    Assert(dc != nullptr, "TBXPopupNCPaintProc");
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr) {
        TTBPopupWindow::PaintFrame(dc);
        return;
    }
    const HWND handle = GetHandle();
    TRect bounds{};
    GetWindowRect(handle, &bounds);
    TPopupInfo info;
    info.WindowHandle = handle;
    info.ViewType = GetViewType();
    info.ParentRect = GetParentItemRect();
    info.WindowRect = TRect{0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
    const TPoint border = theme->GetViewBorder(info.ViewType);
    const detail::TSavedDC saved(dc);
    ExcludeClipRect(dc, border.x, border.y, info.WindowRect.right - border.x, info.WindowRect.bottom - border.y);
    theme->PaintPopupNCArea(handle, dc, info);
}

void TTBXPopupWindow::Dispatch(TMessage& message)
{
    if (message.Msg == WM_TBX_GETVIEWTYPE) {
        message.Result = GetViewType();
        return;
    }
    TTBPopupWindow::Dispatch(message);
}

void TTBXPopupWindow::WMEraseBkgnd(TMessage& message)
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr) {
        TTBPopupWindow::WMEraseBkgnd(message);
        return;
    }
    if (HandleAllocated())
        EndMenuAnimation(GetHandle());
    const int viewType = GetViewType();
    const TColor color = theme->GetViewColor(viewType);
    if (TTBView* view = GetView())
        view->SetBackgroundColor(color);
    TCanvas canvas;
    canvas.SetHandle(reinterpret_cast<HDC>(message.WParam));
    const TRect client = GetClientRect();
    theme->PaintBackground(canvas, client, client, color, false, viewType);
    canvas.SetHandle(nullptr);
    message.Result = 1;
}

void TTBXPopupWindow::WMNCPaint(TMessage& message)
{
    const HWND handle = GetHandle();
    HDC dc = GetWindowDC(handle);
    Assert(dc != nullptr, "TTBXPopupWindow.WMNCPaint");
    ClipToNonClientUpdateRegion(handle, dc, reinterpret_cast<HRGN>(message.WParam));
    PaintFrame(dc);
    ReleaseDC(handle, dc);
    message.Result = 0;
}

// ---- TTBXChevronPopupWindow -------------------------------------------------------------------------------

int TTBXChevronPopupWindow::GetViewType() const { return VT_CHEVRONPOPUP; }

TRect TTBXChevronPopupWindow::GetParentItemRect() const
{
    // The chevron's own viewer is no themed item viewer, yet the pop-up hangs from it all the same.
    const TTBView* view = GetView();
    const TTBView* parentView = view != nullptr ? view->GetParentView() : nullptr;
    const TTBItemViewer* opener = parentView != nullptr ? parentView->GetOpenViewer() : nullptr;
    if (opener == nullptr || !opener->IsToolbarStyle())
        return TRect{};
    return ParentItemRectIn(*parentView, *opener);
}

// ---- TTBXPopupMenu ----------------------------------------------------------------------------------------

void TTBXPopupMenu::Dispatch(TMessage& message)
{
    if (message.Msg == WM_TBX_GETVIEWTYPE) {
        message.Result = VT_POPUPMENU;
        return;
    }
    TTBPopupMenu::Dispatch(message);
}

TTBRootItemClass TTBXPopupMenu::GetRootItemClass() const { return TTBRootItemClass::Of<TTBXRootItem>(); }

}  // namespace ovrel::themes
