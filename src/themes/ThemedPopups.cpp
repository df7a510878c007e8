// Themed pop-up windows: view types, the border and background through the theme, the platform shadow chosen
// by the theme, and the themed context menu.
#include "themes/ThemedPopups.h"

#include "themes/Nexus.h"
#include "themes/ThemeManager.h"
#include "themes/ThemedCommon.h"
#include "themes/ThemedItems.h"
#include "themes/ThemedViewers.h"
#include "themes/Themes_p.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
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

const TTBItemViewer* TTBXPopupWindow::GetOpener() const
{
    const TTBView* view = GetView();
    const TTBView* parentView = view != nullptr ? view->GetParentView() : nullptr;
    return parentView != nullptr ? parentView->GetOpenViewer() : nullptr;
}

TRect TTBXPopupWindow::OpenerOnScreen() const
{
    const TTBItemViewer* opener = GetOpener();
    TRect r = opener->GetBoundsRect();
    const TPoint origin = GetView()->GetParentView()->GetClientOriginOnScreen();
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

TRect TTBXPopupWindow::OpenerInWindow() const
{
    TRect r = OpenerOnScreen();
    TRect window{};
    GetWindowRect(const_cast<TTBXPopupWindow*>(this)->GetHandle(), &window);
    OffsetRect(&r, -window.left, -window.top);
    return r;
}

TRect TTBXPopupWindow::GetParentItemRect() const
{
    const auto* opener = dynamic_cast<const TTBXItemViewer*>(GetOpener());
    return opener != nullptr && opener->IsToolbarStyle() ? OpenerInWindow() : TRect{};
}

TRect TTBXPopupWindow::GetShadowParentRect() const
{
    // Only a drop-down from a toolbar button shades its button; a submenu lies beside a menu's own shadow.
    if (dynamic_cast<const TTBXItemViewer*>(GetOpener()) == nullptr ||
        themes::GetViewType(GetView()->GetParentView()) == VT_POPUPMENU)
        return TRect{};
    return OpenerOnScreen();
}

TTBXPopupWindow::~TTBXPopupWindow() = default;

void TTBXPopupWindow::BeforeDestruction()
{
    DestroyShadow();
    TTBPopupWindow::BeforeDestruction();
}

void TTBXPopupWindow::CreateShadow()
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr || !HandleAllocated())
        return;
    const int type = theme->GetPopupShadowType();
    const SystemProfile& profile = CurrentSystemTable().Profile;
    if (type == PST_WINDOWS2K && !(profile.NtFamily && profile.MajorVersion >= 5))
        return;
    const TRect parent = type == PST_OFFICEXP ? GetShadowParentRect() : TRect{};
    TRect window{};
    GetWindowRect(GetHandle(), &window);
    FShadows = std::make_unique<TShadows>(parent, window, 4, 61, LowColorDisplay());
    FShadows->ShowAfter(GetHandle());
}

void TTBXPopupWindow::DestroyShadow() { FShadows.reset(); }

void TTBXPopupWindow::WMTBPopupShowing(TMessage& message)
{
    TTBPopupWindow::WMTBPopupShowing(message);
    if (message.WParam != tbpsAnimationEnded && message.WParam != tbpsShown)
        return;
    const TTBXTheme* theme = CurrentTheme();
    if (GetComponentState().Contains(csDestroying) || !ShadowAllowed() || theme == nullptr)
        return;
    const int type = theme->GetPopupShadowType();
    if (type == PST_OFFICEXP || type == PST_WINDOWS2K)
        CreateShadow();
}

void TTBXPopupWindow::WMWindowPosChanged(TMessage& message)
{
    TTBPopupWindow::WMWindowPosChanged(message);
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
    if (FShadows == nullptr || (pos != nullptr && (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) != 0))
        return;
    DestroyShadow();
    CreateShadow();
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
    const TTBItemViewer* opener = GetOpener();
    return opener != nullptr && opener->IsToolbarStyle() ? OpenerInWindow() : TRect{};
}

TRect TTBXChevronPopupWindow::GetShadowParentRect() const
{
    return GetOpener() != nullptr ? OpenerOnScreen() : TRect{};
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
