#include "toolbars/Dock.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/DockableWindow.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <set>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

constexpr TAlign AlignOf(TTBDockPosition position)
{
    switch (position) {
    case dpTop: return alTop;
    case dpBottom: return alBottom;
    case dpLeft: return alLeft;
    case dpRight: return alRight;
    }
    return alTop;
}

bool Contains(const std::vector<ITBDockedWindow*>& list, const ITBDockedWindow* link)
{
    return std::find(list.begin(), list.end(), link) != list.end();
}

}  // namespace

TTBDock::TTBDock(TComponent* owner) : TCustomControl(owner)
{
    SetControlStyle(GetControlStyle()
                        .Include(csAcceptsControls)
                        .Include(csMenuEvents)
                        .Exclude(csCaptureMouse)
                        .Exclude(csClickEvents)
                        .Exclude(csOpaque));
    SetColor(clBtnFace);
    SetAlign(alTop);
}

TTBDock::~TTBDock()
{
    if (FBackground != nullptr)
        FBackground->UnregisterChanges(TNotifyEvent(this, &TTBDock::BackgroundChanged));
}

// ---- Settings ---------------------------------------------------------------------------------------------

void TTBDock::SetPosition(TTBDockPosition value)
{
    if (FLayout.Position == value)
        return;
    if (GetControlCount() > 0)
        throw EInvalidOperation("Cannot change Position of a TTBDock if it already contains controls");
    FLayout.Position = value;
    SetAlign(AlignOf(value));
    ArrangeDockedWindows();
}

void TTBDock::SetAllowDrag(bool value)
{
    if (FAllowDrag == value)
        return;
    FAllowDrag = value;
    // The drag handle comes or goes on every window, so each one's frame and length change.
    for (int i = 0; i < GetControlCount(); ++i) {
        auto* window = dynamic_cast<TTBCustomDockableWindow*>(GetControl(i));
        if (window != nullptr && window->HandleAllocated())
            SetWindowPos(window->GetHandle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ArrangeDockedWindows();
}

void TTBDock::SetBoundLines(TTBDockBoundLines value)
{
    if (FBoundLines == value)
        return;
    FBoundLines = value;
    FLayout.NonClientWidth = (value.Contains(blLeft) ? 1 : 0) + (value.Contains(blRight) ? 1 : 0);
    FLayout.NonClientHeight = (value.Contains(blTop) ? 1 : 0) + (value.Contains(blBottom) ? 1 : 0);
    if (HandleAllocated())
        SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The lines change both the room along the dock and its thickness.
    ArrangeDockedWindows();
}

void TTBDock::SetBackground(TTBBasicBackground* value)
{
    if (FBackground == value)
        return;
    const TNotifyEvent change(this, &TTBDock::BackgroundChanged);
    if (FBackground != nullptr) {
        FBackground->UnregisterChanges(change);
        FBackground->RemoveFreeNotification(this);
    }
    FBackground = value;
    if (value != nullptr) {
        value->FreeNotification(this);
        value->RegisterChanges(change);
    }
    InvalidateBackground();
}

void TTBDock::SetBackgroundOnToolbars(bool value)
{
    if (FBackgroundOnToolbars == value)
        return;
    FBackgroundOnToolbars = value;
    InvalidateBackground();
}

void TTBDock::SetFixAlign(bool value)
{
    if (FLayout.FixAlign == value)
        return;
    FLayout.FixAlign = value;
    ArrangeDockedWindows();
}

void TTBDock::BackgroundChanged(TObject*) { InvalidateBackground(); }

void TTBDock::InvalidateBackground()
{
    if (!HandleAllocated())
        return;
    InvalidateRect(GetHandle(), nullptr, TRUE);
    for (ITBDockedWindow* link : FLayout.VisibleList) {
        TTBCustomDockableWindow* window = TTBCustomDockableWindow::FromDockedLink(link);
        if (window->HandleAllocated())
            RedrawWindow(window->GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
    }
}

// ---- Drag state -------------------------------------------------------------------------------------------

TTBCustomDockableWindow* TTBDock::GetDragWindow() const
{
    return FLayout.DragWindow != nullptr ? TTBCustomDockableWindow::FromDockedLink(FLayout.DragWindow) : nullptr;
}

void TTBDock::SetDragWindow(TTBCustomDockableWindow* value)
{
    FLayout.DragWindow = value != nullptr ? &value->GetDockedLink() : nullptr;
}

// ---- Arrangement ------------------------------------------------------------------------------------------

void TTBDock::EndUpdate()
{
    if (FLayout.SuspendCount <= 0)
        return;
    if (--FLayout.SuspendCount == 0 && FLayout.ArrangePending)
        ArrangeDockedWindows();
}

void TTBDock::ArrangeDockedWindows()
{
    const TDockArrangeInput input{.Length = IsVertical() ? GetHeight() : GetWidth(),
                                  .Loading = GetComponentState().Contains(csLoading),
                                  .Designing = GetComponentState().Contains(csDesigning)};
    const std::optional<int> thickness = toolbars::ArrangeDockedWindows(FLayout, input);
    if (thickness)
        TakeThickness(*thickness);
}

void TTBDock::TakeThickness(int thickness)
{
    // Taking the new thickness realigns the dock; the rows do not depend on it, so nothing is laid out again.
    FChangingSize = true;
    try {
        if (IsVertical())
            ChangeSize(thickness, GetHeight());
        else
            ChangeSize(GetWidth(), thickness);
    } catch (...) {
        FChangingSize = false;
        throw;
    }
    FChangingSize = false;
}

void TTBDock::ChangeSize(int newWidth, int newHeight)
{
    switch (GetAlign()) {
    case alBottom: SetBounds(GetLeft(), GetTop() + GetHeight() - newHeight, newWidth, newHeight); break;
    case alRight: SetBounds(GetLeft() + GetWidth() - newWidth, GetTop(), newWidth, newHeight); break;
    case alTop:
    case alLeft:
    case alNone: SetBounds(GetLeft(), GetTop(), newWidth, newHeight); break;
    default: break;
    }
}

void TTBDock::AlignControls(TControl*, RECT&)
{
    if (!FChangingSize)
        ArrangeDockedWindows();
}

void TTBDock::Loaded()
{
    TCustomControl::Loaded();
    ArrangeDockedWindows();
}

// ---- Windows ----------------------------------------------------------------------------------------------

TTBCustomDockableWindow* TTBDock::GetWindow(int index) const
{
    if (index < 0 || index >= GetWindowCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return TTBCustomDockableWindow::FromDockedLink(FLayout.WindowList[static_cast<std::size_t>(index)]);
}

TTBCustomDockableWindow* TTBDock::GetVisibleWindow(int index) const
{
    if (index < 0 || index >= GetVisibleCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return TTBCustomDockableWindow::FromDockedLink(FLayout.VisibleList[static_cast<std::size_t>(index)]);
}

void TTBDock::UpdateWindowList(bool insert, TTBCustomDockableWindow* window)
{
    ITBDockedWindow* link = &window->GetDockedLink();
    if (insert) {
        if (AddToList(FLayout.WindowList, link))
            window->FreeNotification(this);
    } else {
        RemoveFromList(FLayout.WindowList, link);
    }
    UpdateVisibleList(window, false);
}

void TTBDock::UpdateVisibleList(TTBCustomDockableWindow* window, bool forceRemove)
{
    ITBDockedWindow* link = &window->GetDockedLink();
    const bool belongs =
        !forceRemove && Contains(FLayout.WindowList, link) && link->IsShownOnDock() && window->GetParent() == this;
    if (belongs == Contains(FLayout.VisibleList, link))
        return;
    if (belongs)
        FLayout.VisibleList.push_back(link);
    else
        RemoveFromList(FLayout.VisibleList, link);
    ArrangeDockedWindows();
    OnInsertRemoveBar(this, belongs, window);
}

int TTBDock::RowLastThickness(int row, const TTBCustomDockableWindow* except) const
{
    return FLayout.RowLastThickness(row, except != nullptr ? &except->GetDockedLink() : nullptr);
}

std::string TTBDock::SelfCheck() const
{
    std::set<const ITBDockedWindow*> seen;
    for (const ITBDockedWindow* link : FLayout.WindowList) {
        if (!seen.insert(link).second)
            return "a window is twice in the window list";
        const TTBCustomDockableWindow* window = TTBCustomDockableWindow::FromDockedLink(link);
        if (window->GetParent() != this && window->GetLastDock() != this)
            return "the window list holds " + window->GetName() + ", neither docked here nor its last dock";
    }
    std::set<const ITBDockedWindow*> visible;
    for (const ITBDockedWindow* link : FLayout.VisibleList) {
        if (!visible.insert(link).second)
            return "a window is twice in the visible list";
        if (seen.count(link) == 0)
            return "a visible window is missing from the window list";
        if (!link->IsShownOnDock() || TTBCustomDockableWindow::FromDockedLink(link)->GetParent() != this)
            return "the visible list holds a window that is not shown on the dock";
    }
    for (const ITBDockedWindow* link : FLayout.WindowList) {
        const TTBCustomDockableWindow* window = TTBCustomDockableWindow::FromDockedLink(link);
        if (window->GetParent() == this && link->IsShownOnDock() && visible.count(link) == 0)
            return window->GetName() + " is shown on the dock but missing from the visible list";
    }
    return {};
}

// ---- Overridable ------------------------------------------------------------------------------------------

bool TTBDock::AcceptsDockableWindow(TTBCustomDockableWindow*) { return FAllowDrag; }

void TTBDock::DrawBackground(HDC dc, const TRect& rect)
{
    if (FBackground != nullptr)
        FBackground->Draw(dc, rect);
}

bool TTBDock::UsingBackground() { return FBackground != nullptr && FBackground->UsingBackground(); }

void TTBDock::SetParent(TWinControl* value)
{
    if (dynamic_cast<TTBCustomDockableWindow*>(value) != nullptr || dynamic_cast<TTBDock*>(value) != nullptr)
        throw EInvalidOperation("A TTBDock control cannot be placed inside a tool window or another TTBDock");
    TCustomControl::SetParent(value);
}

void TTBDock::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == FBackground)
        FBackground = nullptr;
    if (auto* window = dynamic_cast<TTBCustomDockableWindow*>(component)) {
        ITBDockedWindow* link = &window->GetDockedLink();
        RemoveFromList(FLayout.WindowList, link);
        RemoveFromList(FLayout.VisibleList, link);
        if (FLayout.DragWindow == link)
            FLayout.DragWindow = nullptr;
    }
}

void TTBDock::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

// ---- Messages ---------------------------------------------------------------------------------------------

void TTBDock::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_NCPAINT: WMNCPaint(message); return;
    case WM_MOVE: WMMove(message); return;
    case WM_PRINT: EmulatePrintMessage(GetHandle(), message, [this](HWND, HDC dc) { PaintBoundLines(dc); }); return;
    case WM_PRINTCLIENT: PaintForPrintClient(this, message); return;
    case WM_SYSCOMMAND:
        if (!ForwardToFloatingWindows(message))
            DefaultHandler(message);
        return;
    default: TCustomControl::Dispatch(message);
    }
}

bool TTBDock::ForwardToFloatingWindows(TMessage& message)
{
    // A floating window stays in the list of its last dock, which is how its menu keys find it.
    const std::vector<ITBDockedWindow*> links = FLayout.WindowList;
    for (ITBDockedWindow* link : links) {
        if (!Contains(FLayout.WindowList, link))
            continue;
        TTBCustomDockableWindow* window = TTBCustomDockableWindow::FromDockedLink(link);
        if (!window->GetControlStyle().Contains(csMenuEvents) || !window->GetFloating() || !window->GetShowing() ||
            !window->GetEnabled())
            continue;
        message.Result = window->Perform(message.Msg, message.WParam, message.LParam);
        if (message.Result != 0)
            return true;
    }
    return false;
}

void TTBDock::CMDialogKey(TMessage& message)
{
    if (!ForwardToFloatingWindows(message))
        TCustomControl::CMDialogKey(message);
}

void TTBDock::CMDialogChar(TMessage& message)
{
    if (!ForwardToFloatingWindows(message))
        TCustomControl::CMDialogChar(message);
}

void TTBDock::CMSysColorChange(TMessage& message)
{
    TCustomControl::CMSysColorChange(message);
    if (FBackground != nullptr)
        FBackground->SysColorChanged();
}

void TTBDock::WMNCCalcSize(TMessage& message)
{
    TCustomControl::WMNCCalcSize(message);
    if (message.WParam == 0)
        return;
    RECT& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0];
    r.left += FBoundLines.Contains(blLeft) ? 1 : 0;
    r.top += FBoundLines.Contains(blTop) ? 1 : 0;
    r.right = std::max(r.left, r.right - (FBoundLines.Contains(blRight) ? 1 : 0));
    r.bottom = std::max(r.top, r.bottom - (FBoundLines.Contains(blBottom) ? 1 : 0));
}

void TTBDock::WMNCPaint(TMessage& message)
{
    HDC dc = GetWindowDC(GetHandle());
    ClipToNonClientUpdateRegion(GetHandle(), dc, reinterpret_cast<HRGN>(message.WParam));
    PaintBoundLines(dc);
    ReleaseDC(GetHandle(), dc);
    message.Result = 0;
}

void TTBDock::PaintBoundLines(HDC dc)
{
    if (FBoundLines.Empty() || !HasVisibleWindows())
        return;
    RECT window{};
    GetWindowRect(GetHandle(), &window);
    RECT r{0, 0, window.right - window.left, window.bottom - window.top};
    const auto line = [dc](int left, int top, int right, int bottom, int colorIndex) {
        const RECT part{left, top, right, bottom};
        FillRect(dc, &part, GetSysColorBrush(colorIndex));
    };
    if (FBoundLines.Contains(blTop))
        line(r.left, r.top, r.right, r.top + 1, COLOR_BTNSHADOW);
    if (FBoundLines.Contains(blLeft))
        line(r.left, r.top, r.left + 1, r.bottom, COLOR_BTNSHADOW);
    if (FBoundLines.Contains(blBottom))
        line(r.left, r.bottom - 1, r.right, r.bottom, COLOR_BTNHIGHLIGHT);
    if (FBoundLines.Contains(blRight))
        line(r.right - 1, r.top, r.right, r.bottom, COLOR_BTNHIGHLIGHT);
    r.left += FBoundLines.Contains(blLeft) ? 1 : 0;
    r.top += FBoundLines.Contains(blTop) ? 1 : 0;
    r.right -= FBoundLines.Contains(blRight) ? 1 : 0;
    r.bottom -= FBoundLines.Contains(blBottom) ? 1 : 0;
    // A descendant's frame may be wider than the lines: what lies between them and the client is the dock's.
    const RECT client = GetClientInset(GetHandle());
    if (client == r)
        return;
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    HBRUSH brush = CreateSolidBrush(ColorToRGB(GetColor()));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    RestoreDC(dc, saved);
}

void TTBDock::WMEraseBkgnd(TMessage& message)
{
    if (!UsingBackground()) {
        TCustomControl::WMEraseBkgnd(message);
        return;
    }
    auto* dc = reinterpret_cast<HDC>(message.WParam);
    const RECT client = GetClientRect();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    // In the parent's coordinates, so that the picture runs on across docks side by side.
    RECT inParent = client;
    const POINT origin = ClientToParent(POINT{0, 0});
    OffsetRect(&inParent, origin.x, origin.y);
    SetWindowOrgEx(dc, origin.x, origin.y, nullptr);
    DrawBackground(dc, inParent);
    RestoreDC(dc, saved);
    message.Result = 1;
}

void TTBDock::WMMove(TMessage& message)
{
    DefaultHandler(message);
    if (UsingBackground())
        InvalidateBackground();
}

}  // namespace ovrel::toolbars
