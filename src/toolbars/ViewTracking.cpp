// Views during menu tracking: the selection, child pop-ups, view timers, scrolling, priority, the menu keys
// and the result of the loop.
#include "toolbars/View.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolbars/AccObjects.h"
#include "toolbars/Common.h"
#include "toolbars/View_p.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;
using detail::HasStyle;

namespace {

// Scroll bands repeat this often while the mouse rests on them.
constexpr int kScrollInterval = 100;

ITBModalLoop*& InstalledLoop()
{
    static ITBModalLoop* loop = nullptr;
    return loop;
}

std::uint8_t TimerBit(TViewTimer timer) { return static_cast<std::uint8_t>(1u << static_cast<unsigned>(timer)); }

bool Selectable(const TTBItemViewer* viewer)
{
    return (viewer->IsPlaced() || viewer->IsScrolledOut()) && viewer->GetItem()->GetVisible() &&
           HasStyle(viewer->GetItem(), itsSelectable);
}

}  // namespace

TPoint& LastMousePos()
{
    static TPoint position{LastMousePosUnknown, 0};
    return position;
}

ITBModalLoop& ModalLoop()
{
    ITBModalLoop* loop = InstalledLoop();
    return loop != nullptr ? *loop : detail::DefaultModalLoop();
}

ITBModalLoop* SetModalLoop(ITBModalLoop* loop) { return std::exchange(InstalledLoop(), loop); }

// ---------------------------------------------------------------------------------------------------------
// Selection

bool TTBView::ComputeMouseOver(const TTBItemViewer* viewer)
{
    if (viewer == nullptr || FWindow == nullptr || !FWindow->HandleAllocated())
        return false;
    const DWORD position = GetMessagePos();
    const TPoint screen{static_cast<short>(position & 0xFFFF), static_cast<short>((position >> 16) & 0xFFFF)};
    if (FindDragTarget(screen, true) != FWindow)
        return false;
    const TPoint client = FWindow->ScreenToClient(screen);
    if (ViewerFromPoint(client) != viewer)
        return false;
    const TRect& bounds = viewer->GetBoundsRect();
    return !FCapture || viewer->IsPtInButtonPart(client.x - bounds.left, client.y - bounds.top);
}

void TTBView::SetSelected(TTBItemViewer* viewer, bool viaMouse)
{
    TTBItemViewer* old = FSelected;
    const bool modal = (FState & ViewStateModal) != 0;
    if (viewer != old) {
        // The item that opened this pop-up stays highlighted in the parent. A pop-up selects its first item
        // before its parent records it as open: the parent then has no open viewer to go back to.
        if (viewer != nullptr && FParentView != nullptr && FParentView->FOpenViewer != nullptr &&
            FParentView->FOpenViewer != FParentView->FSelected) {
            FParentView->SetSelected(FParentView->FOpenViewer, false);
            FParentView->StopTimer(tiClose);
            FParentView->StopTimer(tiOpen);
        }
        if (modal) {
            if (FIsToolbar || !viaMouse) {
                StopTimer(tiClose);
                if (viewer != FOpenViewer)
                    CloseChildPopups();
            } else if (FOpenViewer != nullptr) {
                // Back on the open submenu in time: it stays open.
                if (viewer == FOpenViewer)
                    StopTimer(tiClose);
                else if (!IsTimerRunning(tiClose))
                    StartTimer(tiClose, GetMenuShowDelay());
            }
        }
        CancelCapture();
        if (old != nullptr)
            old->Leaving();
        FSelected = viewer;
        FSelectedViaMouse = viaMouse;
    }

    const bool mouseOver = ComputeMouseOver(viewer);
    if (viewer == old) {
        if (mouseOver != FMouseOverSelected) {
            FMouseOverSelected = mouseOver;
            if (FCapture && viewer != nullptr && HasStyle(viewer->GetItem(), itsRedrawOnHover))
                InvalidateViewer(viewer);
        }
        return;
    }
    FMouseOverSelected = mouseOver;
    if (old != nullptr && HasStyle(old->GetItem(), itsRedrawOnSelect))
        InvalidateViewer(old);
    if (viewer != nullptr) {
        if (HasStyle(viewer->GetItem(), itsRedrawOnSelect))
            InvalidateViewer(viewer);
        viewer->Entering(old);
    }
    NotifyFocus();

    if (!modal)
        return;
    if (!FIsToolbar) {
        StopTimer(tiOpen);
        if (viaMouse && viewer != nullptr && viewer != FOpenViewer && HasStyle(viewer->GetItem(), itsSubmenu))
            StartTimer(tiOpen, GetMenuShowDelay());
    } else if (viewer != nullptr) {
        if (viaMouse && FParentView != nullptr)
            FState |= ViewStateDropDownMode;
        if ((FState & ViewStateDropDownMode) != 0 && (viaMouse || !HasStyle(viewer->GetItem(), itsNoAutoOpen)))
            OpenChildPopup(!viaMouse);
    }
}

void TTBView::TrackMouse(const TPoint* screenPoint, bool allowNewSelection)
{
    EnsureLayout();
    TTBItemViewer* candidate = (FState & ViewStateModal) != 0 ? FSelected : nullptr;
    const bool wasInView = (FState & ViewStateMouseInView) != 0;
    bool inView = false;
    if (screenPoint != nullptr && FWindow != nullptr && FindDragTarget(*screenPoint, true) == FWindow) {
        inView = true;
        FState |= ViewStateMouseInView;
        if (!FIsToolbar)
            candidate = nullptr;
        if (allowNewSelection || FSelected != nullptr) {
            if (TTBItemViewer* under = ViewerFromPoint(FWindow->ScreenToClient(*screenPoint)))
                candidate = under;
        }
    } else {
        FState &= static_cast<TTBViewState>(~ViewStateMouseInView);
    }
    if (FCapture) {
        candidate = FSelected;
    } else if (!FIsToolbar && wasInView && !inView) {
        // Leaving a pop-up for its open submenu keeps the item that opened it.
        if (FOpenViewer == nullptr || candidate == nullptr || !HasStyle(candidate->GetItem(), itsSubmenu))
            candidate = nullptr;
    }
    SetSelected(candidate, true);
    TrackScrollBands(screenPoint);
}

void TTBView::TrackScrollBands(const TPoint* screenPoint)
{
    if ((FState & ViewStateModal) == 0)
        return;
    bool up = false;
    bool down = false;
    if (screenPoint != nullptr && FWindow != nullptr) {
        const TPoint client = FWindow->ScreenToClient(*screenPoint);
        const TRect area = FWindow->GetClientRect();
        if (PtInRect(&area, client)) {
            up = FShowUpArrow && client.y < ScrollBandHeight;
            down = !up && FShowDownArrow && client.y >= area.bottom - ScrollBandHeight;
        }
    }
    if (up) {
        StopTimer(tiScrollDown);
        if (!IsTimerRunning(tiScrollUp))
            StartTimer(tiScrollUp, kScrollInterval);
    } else if (down) {
        StopTimer(tiScrollUp);
        if (!IsTimerRunning(tiScrollDown))
            StartTimer(tiScrollDown, kScrollInterval);
    } else {
        StopTimer(tiScrollUp);
        StopTimer(tiScrollDown);
    }
}

TTBItemViewer* TTBView::NextSelectable(const TTBItemViewer* from, bool forward)
{
    EnsureLayout();
    const int count = GetViewerCount();
    if (count == 0)
        return nullptr;
    int i = IndexOfViewer(from);
    int first = -1;
    for (;;) {
        i = forward ? (i + 1 >= count ? 0 : i + 1) : (i - 1 < 0 ? count - 1 : i - 1);
        if (i == first)
            return nullptr;
        if (first < 0)
            first = i;
        if (Selectable(GetViewer(i)))
            return GetViewer(i);
    }
}

TTBItemViewer* TTBView::FirstSelectable()
{
    TTBItemViewer* first = NextSelectable(nullptr, true);
    TTBItemViewer* viewer = first;
    while (viewer != nullptr && HasStyle(viewer->GetItem(), itsSkipWhenSelectingFirst)) {
        viewer = NextSelectable(viewer, true);
        // Every candidate asks to be skipped: a menu opened from the keyboard still gets a selection.
        if (viewer == first)
            return first;
    }
    return viewer;
}

TTBItemViewer* TTBView::FindAccelerator(const TTBItemViewer* from, char32_t ch, bool explicitOnly, bool& unique)
{
    unique = false;
    EnsureLayout();
    const int count = GetViewerCount();
    if (count == 0)
        return nullptr;
    const auto matches = [ch](const TTBItemViewer* viewer, bool explicitPass, bool enabledPass) {
        const TTBCustomItem* item = viewer->GetItem();
        if (!(viewer->IsPlaced() || viewer->IsScrolledOut()) || !HasStyle(item, itsSelectable) || !item->GetVisible() ||
            item->GetEnabled() != enabledPass || !viewer->CaptionShown())
            return false;
        const std::string caption = viewer->GetCaptionText();
        if (caption.empty())
            return false;
        const char32_t accel = FindAccelChar(caption);
        if (explicitPass)
            return accel != 0 && SameCharText(accel, ch);
        return accel == 0 && ch != U' ' && SameCharText(CodePointAt(caption, 0), ch);
    };
    const auto search = [&](const TTBItemViewer* start, bool explicitPass, bool enabledPass) -> TTBItemViewer* {
        const int at = IndexOfViewer(start);
        for (int k = 1; k <= count; ++k) {
            TTBItemViewer* viewer = GetViewer((at + k + count) % count);
            if (matches(viewer, explicitPass, enabledPass))
                return viewer;
        }
        return nullptr;
    };
    for (const bool explicitPass : {true, false}) {
        if (!explicitPass && explicitOnly)
            break;
        for (const bool enabledPass : {true, false}) {
            TTBItemViewer* found = search(from, explicitPass, enabledPass);
            if (found == nullptr)
                continue;
            // A disabled match is only selected: running it would end the menu without a command.
            if (enabledPass) {
                const TTBItemViewer* other = search(found, explicitPass, enabledPass);
                unique = other == nullptr || other == found;
            }
            return found;
        }
    }
    return nullptr;
}

void TTBView::SelectAndScroll(TTBItemViewer* viewer)
{
    if (viewer == nullptr)
        return;
    Select(viewer);
    ScrollSelectedIntoView();
}

// ---------------------------------------------------------------------------------------------------------
// Child pop-ups

bool TTBView::OpenChildPopup(bool selectFirstItem)
{
    StopTimer(tiClose);
    StopTimer(tiOpen);
    if (FSelected != FOpenViewer)
        CloseChildPopups();
    // The selection's pop-up opens once: a second press or Right on it must not orphan the first.
    if (FSelected != nullptr && FOpenViewer == nullptr) {
        TTBCustomItem* item = FSelected->GetItem();
        if (item->GetEnabled() && HasStyle(item, itsSubmenu))
            item->CreatePopup(this, FSelected, !FIsToolbar, selectFirstItem, false, TPoint{0, 0}, paLeft);
    }
    return FOpenViewer != nullptr;
}

void TTBView::CloseChildPopups()
{
    if (FOpenViewerView != nullptr)
        FOpenViewerView->CloseChildPopups();
    StopTimer(tiClose);
    if (TWinControl* window = FOpenViewerWindow) {
        // The open viewer stays recorded while the pop-up's view goes, so that it repaints as closed.
        window->RemoveFreeNotification(this);
        delete window;
    }
    FOpenViewerWindow = nullptr;
    FOpenViewerView = nullptr;
    FOpenViewer = nullptr;
}

void TTBView::CancelChildPopups()
{
    if (FIsToolbar)
        FState &= static_cast<TTBViewState>(~ViewStateDropDownMode);
    CloseChildPopups();
}

void TTBView::PopupOpened(TWinControl* window, TTBView* view, TTBItemViewer* viewer)
{
    if (FOpenViewerWindow != nullptr && FOpenViewerWindow != window)
        CloseChildPopups();
    FOpenViewerWindow = window;
    FOpenViewerView = view;
    FOpenViewer = viewer;
    window->FreeNotification(this);
    if (FIsToolbar) {
        FState |= ViewStateDropDownMode;
        InvalidateViewer(viewer);
        if (FWindow != nullptr && FWindow->HandleAllocated())
            UpdateWindow(FWindow->GetHandle());
    }
}

// ---------------------------------------------------------------------------------------------------------
// Timers and scrolling

HWND TTBView::TimerWindow() const
{
    if (dynamic_cast<const ITBPopupWindow*>(FWindow) == nullptr || !FWindow->HandleAllocated())
        return nullptr;
    return FWindow->GetHandle();
}

void TTBView::StartTimer(TViewTimer timer, int milliseconds)
{
    StopTimer(timer);
    if (HWND window = TimerWindow()) {
        SetTimer(window, ViewTimerBaseId + timer, static_cast<UINT>(std::max(milliseconds, 0)));
        FActiveTimers |= TimerBit(timer);
    }
}

void TTBView::StopTimer(TViewTimer timer)
{
    if ((FActiveTimers & TimerBit(timer)) == 0)
        return;
    if (HWND window = TimerWindow())
        KillTimer(window, ViewTimerBaseId + timer);
    FActiveTimers &= static_cast<std::uint8_t>(~TimerBit(timer));
}

void TTBView::StopAllTimers()
{
    for (TViewTimer timer : {tiOpen, tiClose, tiScrollUp, tiScrollDown})
        StopTimer(timer);
}

bool TTBView::IsTimerRunning(TViewTimer timer) const { return (FActiveTimers & TimerBit(timer)) != 0; }

void TTBView::HandleTimer(TViewTimer timer)
{
    switch (timer) {
    case tiOpen:
        CloseChildPopups();
        OpenChildPopup(false);
        break;
    case tiClose: CloseChildPopups(); break;
    case tiScrollUp:
        if (FShowUpArrow)
            ScrollByItem(false);
        else
            StopTimer(tiScrollUp);
        break;
    case tiScrollDown:
        if (FShowDownArrow)
            ScrollByItem(true);
        else
            StopTimer(tiScrollDown);
        break;
    }
}

void TTBView::ScrollByItem(bool down)
{
    const int bandBottom = FMaxHeight - ScrollBandHeight;
    bool found = false;
    int edge = 0;
    for (const auto& viewer : FViewers) {
        if (!viewer->IsScrolledOut() || HasStyle(viewer->GetItem(), itsSeparator))
            continue;
        const TRect& r = viewer->GetBoundsRect();
        if (down && r.bottom > bandBottom && (!found || r.bottom < edge)) {
            edge = r.bottom;
            found = true;
        } else if (!down && r.top < ScrollBandHeight && (!found || r.top > edge)) {
            edge = r.top;
            found = true;
        }
    }
    if (!found)
        return;
    FScrollOffset += down ? edge - bandBottom : edge - ScrollBandHeight;
    RelayoutScrolled();
}

void TTBView::ScrollSelectedIntoView()
{
    EnsureLayout();
    if (FSelected == nullptr || !FSelected->IsScrolledOut())
        return;
    const TRect& r = FSelected->GetBoundsRect();
    const int bandBottom = FMaxHeight - ScrollBandHeight;
    if (r.top > ScrollBandHeight - 1) {
        if (r.bottom > bandBottom) {
            FScrollOffset += r.bottom - bandBottom;
            RelayoutScrolled();
        }
    } else {
        FScrollOffset += r.top - ScrollBandHeight;
        RelayoutScrolled();
    }
}

// ---------------------------------------------------------------------------------------------------------
// Priority

void TTBView::GivePriority(TTBItemViewer* viewer)
{
    if (viewer == nullptr)
        return;
    if (FChevronParentView != nullptr) {
        const int index = IndexOfViewer(viewer);
        if (index >= 0) {
            TTBView* toolbar = FChevronParentView;
            if (TTBItemViewer* shown = toolbar->GetViewer(index + toolbar->FInternalViewersAtFront))
                toolbar->GivePriority(shown);
        }
        return;
    }
    const auto listed = std::find(FPriorityList.begin(), FPriorityList.end(), viewer);
    if (listed != FPriorityList.end()) {
        const bool wasOverflowed = viewer->IsOverflowed();
        FPriorityList.erase(listed);
        FPriorityList.insert(FPriorityList.begin(), viewer);
        if (!FValidated || wasOverflowed) {
            InvalidatePositions();
            TryEnsureLayout();
        }
    }
    if (FParentView != nullptr && FParentView->FOpenViewer != nullptr)
        FParentView->GivePriority(FParentView->FOpenViewer);
}

// ---------------------------------------------------------------------------------------------------------
// The menu loop

void TTBView::CancelCapture()
{
    if (!FCapture)
        return;
    FCapture = false;
    LastMousePos().x = LastMousePosUnknown;
    if (FSelected != nullptr)
        FSelected->LosingCapture();
}

void TTBView::EndModal()
{
    TMenuDoneAction action;
    action.Action = tbdaClose;
    GetRootView()->FDoneAction = action;
}

void TTBView::EndModalWithExecute(TTBItemViewer* viewer)
{
    TMenuDoneAction action;
    action.Action = tbdaExecuteItem;
    action.Item = viewer->GetItem();
    action.Extra = viewer->GetView()->IsPopup() ? 1 : 0;
    GetRootView()->FDoneAction = action;
}

void TTBView::EndModalWithHelp(int helpContext)
{
    TMenuDoneAction action;
    action.Action = tbdaHelp;
    action.HelpContext = helpContext;
    GetRootView()->FDoneAction = action;
}

void TTBView::EndModalWithSystemKey(HWND window, char32_t ch)
{
    TMenuDoneAction action;
    action.Action = tbdaSystemMenuKey;
    action.Window = window;
    action.Extra = ch;
    GetRootView()->FDoneAction = action;
}

void TTBView::ExecuteSelected(bool givePriority)
{
    if (FSelected != nullptr && FSelected->GetItem()->GetEnabled()) {
        const TTBCustomItem* item = FSelected->GetItem();
        if (!HasStyle(item, itsSplitButton) && OpenChildPopup(true))
            return;
        if (HasStyle(item, itsSelectable)) {
            FSelected->Execute(givePriority);
            return;
        }
    }
    EndModal();
}

void TTBView::KeyDown(std::uint16_t& key, TShiftState shift)
{
    TTBView* toolbar = GetToolbarView();
    const bool horizontalToolbar = toolbar != nullptr && !toolbar->IsVertical();
    // Every branch that closes pop-ups may free this view, so each one ends the call.
    switch (key) {
    case VK_TAB:
        key = 0;
        SelectAndScroll(NextSelectable(FSelected, !shift.Contains(ssShift)));
        return;
    case VK_RETURN:
        key = 0;
        ExecuteSelected(true);
        return;
    case VK_ESCAPE:
        key = 0;
        if (FParentView != nullptr)
            FParentView->CancelChildPopups();
        else
            EndModal();
        return;
    case VK_MENU:
    case VK_F10:
        key = 0;
        EndModal();
        return;
    case VK_HOME:
    case VK_END:
        SelectAndScroll(NextSelectable(nullptr, key == VK_HOME));
        key = 0;
        return;
    case VK_LEFT:
    case VK_RIGHT: {
        const bool left = key == VK_LEFT;
        key = 0;
        bool opened = false;
        if (toolbar == this && toolbar->IsVertical())
            opened = OpenChildPopup(true);
        if (left) {
            if (horizontalToolbar) {
                if (toolbar == this || FParentView == toolbar)
                    toolbar->SelectAndScroll(toolbar->NextSelectable(toolbar->FSelected, false));
                else
                    FParentView->CloseChildPopups();
            } else if (FParentView != nullptr) {
                FParentView->CancelChildPopups();
            }
            return;
        }
        if (toolbar != this)
            opened = OpenChildPopup(true);
        if ((toolbar == this || !opened) && horizontalToolbar)
            toolbar->SelectAndScroll(toolbar->NextSelectable(toolbar->FSelected, true));
        return;
    }
    case VK_UP:
    case VK_DOWN:
        if (toolbar == this && !toolbar->IsVertical())
            OpenChildPopup(true);
        else
            SelectAndScroll(NextSelectable(FSelected, key == VK_DOWN));
        key = 0;
        return;
    case VK_F1:
        key = 0;
        for (TTBView* view = this; view != nullptr; view = view->FParentView) {
            if (view->FSelected != nullptr && view->FSelected->GetItem()->GetHelpContext() != 0) {
                EndModalWithHelp(view->FSelected->GetItem()->GetHelpContext());
                return;
            }
        }
        return;
    default: return;
    }
}

void TTBView::SetAccelsVisibility(bool show)
{
    bool target = show;
    if (!show && (FStyle & ViewStyleAccelsFollowSystem) != 0)
        target = AlwaysShowAccelerators();
    if (target == ((FState & ViewStateAccelsShown) != 0))
        return;
    FState ^= ViewStateAccelsShown;
    if (FWindow == nullptr || !FWindow->HandleAllocated() || !IsWindowVisible(FWindow->GetHandle()))
        return;
    for (const auto& viewer : FViewers) {
        if (viewer->CaptionShown() && FindAccelChar(viewer->GetCaptionText()) != 0)
            InvalidateViewer(viewer.get());
    }
}

void TTBView::NotifyFocus()
{
    if ((FState & ViewStateModal) == 0 || (GetRootView()->FState & ViewStateModal) == 0 || FWindow == nullptr ||
        !FWindow->HandleAllocated() || !IsWindowVisible(FWindow->GetHandle()))
        return;
    LONG child = 0;
    if (FSelected != nullptr && FSelected->IsPresent()) {
        for (const auto& viewer : FViewers) {
            if (viewer.get() == FSelected)
                break;
            if (viewer->IsPresent())
                ++child;
        }
        ++child;
    } else if (FParentView != nullptr) {
        FParentView->NotifyFocus();
        return;
    }
    ui::NotifyWinEvent(EVENT_OBJECT_FOCUS, FWindow->GetHandle(), OBJID_CLIENT, child);
}

TTBViewAccObject* TTBView::GetAccObject()
{
    if (FAccObject == nullptr)
        FAccObject = new TTBViewAccObject(this);
    return FAccObject;
}

bool TTBView::HandleGetObject(TMessage& message)
{
    if (static_cast<LONG>(message.LParam) != OBJID_CLIENT || !InitAccessibilityLibrary())
        return false;
    (void)GetAccObject();
    return false;
}

void TTBView::EnterToolbarLoop(TTBEnterToolbarLoopOptions options)
{
    if ((FState & ViewStateModal) != 0)
        return;
    FDoneAction = TMenuDoneAction{};
    FState = static_cast<TTBViewState>((FState & ViewStateAccelsShown) | ViewStateModal);
    if (FSelected != nullptr)
        NotifyFocus();
    const auto afterLoop = [this] {
        FState &= static_cast<TTBViewState>(~ViewStateModal);
        StopAllTimers();
        CloseChildPopups();
        TPoint cursor;
        GetCursorPos(&cursor);
        TrackMouse(&cursor, true);
        SetAccelsVisibility(false);
        Select(nullptr);
    };
    try {
        ModalLoop().Run(*this, options);
    } catch (...) {
        afterLoop();
        FDoneAction = TMenuDoneAction{};
        throw;
    }
    detail::TDoneActionGuard done(std::exchange(FDoneAction, TMenuDoneAction{}));
    afterLoop();
    ExecuteDoneAction(done.Take());
}

}  // namespace ovrel::toolbars
