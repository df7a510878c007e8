#include "toolbars/DockableWindow.h"

#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/FloatingWindow.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <utility>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

constexpr THookProcCodes kHookCodes{hcActivateApp, hcWindowPosChanged, hcDestroyWindow};

TTBFloatingWindowParent* FrameOf(TWinControl* parent) { return dynamic_cast<TTBFloatingWindowParent*>(parent); }

// A name that is never looked up: the eight hex digits only have to differ between frames.
std::string NextFrameName()
{
    static std::atomic<unsigned> counter{0};
    char name[40];
    std::snprintf(name, sizeof name, "NBFloatingWindowParent_%.8x", ++counter);
    return name;
}

bool OwnedBy(HWND window, HWND owner)
{
    for (HWND w = GetWindow(window, GW_OWNER); w != nullptr; w = GetWindow(w, GW_OWNER))
        if (w == owner)
            return true;
    return false;
}

bool IsTopMost(HWND window) { return (GetWindowLongPtr(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace

// ---- Free helpers -----------------------------------------------------------------------------------------

int DragHandleWidth(TTBDragHandleStyle style, bool closeButtonWhenDocked)
{
    if (closeButtonWhenDocked)
        return 14;
    switch (style) {
    case dhDouble: return 9;
    case dhNone: return 0;
    case dhSingle: return 6;
    }
    return 0;
}

int DragHandleGripOffset(TTBDragHandleStyle style, bool closeButtonWhenDocked)
{
    switch (style) {
    case dhDouble: return closeButtonWhenDocked ? 3 : 2;
    case dhNone: return 0;
    case dhSingle: return closeButtonWhenDocked ? 5 : 1;
    }
    return 0;
}

void ActivateOtherTopLevel(HWND leaving)
{
    const HWND application = Application()->GetHandle();
    HWND toolWindow = nullptr;
    for (HWND w : GetTopLevelWindows()) {
        if (w == leaving || w == application || IsWindowVisible(w) == FALSE || IsWindowEnabled(w) == FALSE ||
            IsIconic(w) != FALSE)
            continue;
        if ((GetWindowLongPtr(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
            SetActiveWindow(w);
            return;
        }
        if (toolWindow == nullptr)
            toolWindow = w;
    }
    if (toolWindow != nullptr)
        SetActiveWindow(toolWindow);
}

// ---- The window as a dock sees it -------------------------------------------------------------------------

class TTBCustomDockableWindow::TDockedLink final : public ITBDockedWindow {
public:
    explicit TDockedLink(TTBCustomDockableWindow& window) : Window(window) {}

    bool IsBeingDestroyed() const override { return Window.IsDestroying(); }
    bool IsShownOnDock() const override
    {
        return Window.FCurrentDock != nullptr && Window.GetParent() == Window.FCurrentDock && Window.GetVisible();
    }
    int GetDockRow() const override { return Window.FDockRow; }
    void SetDockRow(int value) override { Window.FDockRow = value; }
    int GetDockPos() const override { return Window.FDockPos; }
    void SetDockPos(int value) override { Window.FDockPos = value; }
    bool GetFullSize() const override { return Window.FFullSize; }
    bool GetStretch() const override { return Window.FStretch; }
    bool GetStartsNewRow() const override { return Window.FStartsNewRow; }
    int GetEffectiveRow() const override { return Window.FEffectiveRow; }
    int GetEffectivePos() const override { return Window.FEffectivePos; }
    void SetEffectivePlace(int row, int pos) override
    {
        Window.FEffectiveRow = row;
        Window.FEffectivePos = pos;
    }
    int GetLastRowThickness() const override { return Window.FLastRowThickness; }
    void SetLastRowThickness(int value) override { Window.FLastRowThickness = value; }
    int GetShrunkLength() const override { return Window.FShrunkLength; }
    void SetShrunkLength(int value) override { Window.FShrunkLength = value; }
    TSize GetOuterSize() const override { return TSize{Window.GetWidth(), Window.GetHeight()}; }
    TSize NaturalSize() override { return Window.GetNaturalSize(); }
    TPoint DockedFrameSize() override { return Window.GetDockedFrameSize(Window.FCurrentDock); }
    int MinimumLength() override { return Window.GetMinimumLength(); }
    TTBShrinkMode ShrinkModeOf() override { return Window.ShrinkModeOf(); }
    TSize ComputeDockedSize(TTBDockType kind) override
    {
        return Window.ComputeSize(false, kind, Window.FCurrentDock, false);
    }
    void PlaceInDock(const TRect& bounds, bool recalculate) override { Window.PlaceInDock(bounds, recalculate); }

    TTBCustomDockableWindow& Window;
};

ITBDockedWindow& TTBCustomDockableWindow::GetDockedLink() { return *FDockedLink; }

const ITBDockedWindow& TTBCustomDockableWindow::GetDockedLink() const { return *FDockedLink; }

TTBCustomDockableWindow* TTBCustomDockableWindow::FromDockedLink(const ITBDockedWindow* link)
{
    // Docks hold only the links of dockable windows.
    return &static_cast<const TDockedLink*>(link)->Window;
}

// ---- The counters of a parent change ----------------------------------------------------------------------

// What a parent change holds while the window moves: the window hidden and its moves, both docks'
// arrangements, its bounds and its own size recalculation suspended. Finish gives them back in reverse, and so
// does the destructor when the change fails, so that a failed change leaves the window and both docks working.
class TTBCustomDockableWindow::TTransitionScope {
public:
    TTransitionScope(TTBCustomDockableWindow& window, TTBDock* oldDock, TTBDock* newDock)
        : FWindow(window), FOldDock(oldDock), FNewDock(newDock)
    {
        ++FWindow.FHidden;
        ++FWindow.FDisableOnMove;
        FRaised = true;
        FWindow.UpdateVisibility();
        if (FOldDock != nullptr)
            FOldDock->BeginUpdate();
        if (FNewDock != nullptr)
            FNewDock->BeginUpdate();
        ++FWindow.FUpdatingBounds;
    }
    ~TTransitionScope()
    {
        if (FFinished)
            return;
        // Failing already: a second failure while the counters come down is only reported.
        try {
            Lower();
        } catch (...) {
            ReportException(std::current_exception());
        }
    }
    TTransitionScope(const TTransitionScope&) = delete;
    TTransitionScope& operator=(const TTransitionScope&) = delete;

    void SuspendOwnSize()
    {
        FWindow.BeginUpdate();
        FOwnSuspended = true;
        FWindow.FShrunkLength = 0;
    }
    void Finish()
    {
        FFinished = true;
        Lower();
    }

private:
    void Lower()
    {
        if (FOwnSuspended) {
            FOwnSuspended = false;
            FWindow.EndUpdate();
        }
        if (!FRaised)
            return;
        FRaised = false;
        --FWindow.FUpdatingBounds;
        if (FNewDock != nullptr)
            FNewDock->EndUpdate();
        if (FOldDock != nullptr)
            FOldDock->EndUpdate();
        --FWindow.FDisableOnMove;
        --FWindow.FHidden;
        FWindow.UpdateVisibility();
    }

    TTBCustomDockableWindow& FWindow;
    TTBDock* FOldDock;
    TTBDock* FNewDock;
    bool FRaised = false;
    bool FOwnSuspended = false;
    bool FFinished = false;
};

// ---- Life -------------------------------------------------------------------------------------------------

TTBCustomDockableWindow::TTBCustomDockableWindow(TComponent* owner)
    : TCustomControl(owner), FDockedLink(std::make_unique<TDockedLink>(*this))
{
    SetControlStyle(GetControlStyle()
                        .Include(csAcceptsControls)
                        .Include(csClickEvents)
                        .Include(csSetCaption)
                        .Include(csDoubleClicks)
                        .Exclude(csCaptureMouse)
                        .Exclude(csOpaque));
    SetColor(clBtnFace);
    RegisterHookProc(&TTBCustomDockableWindow::HookCallback, kHookCodes);
}

TTBCustomDockableWindow::~TTBCustomDockableWindow()
{
    RemoveFromList(FloatingWindows(), this);
    UnregisterHookProc(&TTBCustomDockableWindow::HookCallback);
}

void TTBCustomDockableWindow::BeforeDestruction()
{
    TCustomControl::BeforeDestruction();
    // Leaving the parent while the window is still whole takes it out of its dock's lists and frees its frame.
    if (GetParent() != nullptr) {
        try {
            SetParent(nullptr);
        } catch (...) {
            ReportException(std::current_exception());
        }
    }
    if (FFloatParent != nullptr)
        std::exchange(FFloatParent, nullptr)->Dispose();
    RemoveFromList(FloatingWindows(), this);
}

bool TTBCustomDockableWindow::IsDestroying() const { return GetComponentState().Contains(csDestroying); }

bool TTBCustomDockableWindow::IsLoading() const { return GetComponentState().Contains(csLoading); }

std::vector<TTBCustomDockableWindow*>& TTBCustomDockableWindow::FloatingWindows()
{
    static std::vector<TTBCustomDockableWindow*> windows;
    return windows;
}

// ---- Place ------------------------------------------------------------------------------------------------

void TTBCustomDockableWindow::SetCurrentDock(TTBDock* value)
{
    if (IsLoading())
        return;
    if (value != nullptr) {
        SetParent(value);
        return;
    }
    TCustomForm* form = GetOwningForm();
    if (form == nullptr)
        throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
    SetParent(form);
}

TCustomForm* TTBCustomDockableWindow::GetOwningForm() const
{
    if (TTBFloatingWindowParent* frame = FrameOf(GetParent()))
        return frame->GetOwnerForm();
    return GetParentForm();
}

void TTBCustomDockableWindow::SetFloating(bool value)
{
    TCustomForm* form = GetOwningForm();
    if (form == nullptr)
        throw EInvalidOperation("Control '" + GetName() + "' has no parent window");
    if (!value || GetComponentState().Contains(csDesigning)) {
        SetParent(form);
        return;
    }
    if (FFloatParent == nullptr || FFloatParent->GetOwnerForm() != form) {
        TTBFloatingWindowParent* frame = GetFloatingParentClass().Create(nullptr);
        try {
            frame->SetOwnerForm(form);
            frame->SetDockableWindow(this);
            frame->SetName(NextFrameName());
            frame->SetCaption(GetCaption());
            const TSize outer =
                FloatingFrameSize(TSize{GetClientWidth(), GetClientHeight()}, GetFloatingFrameMetrics());
            frame->SetBounds(FFloatingPosition.x, FFloatingPosition.y, outer.cx, outer.cy);
            frame->SetShowHint(true);
            frame->SetVisible(true);
        } catch (...) {
            delete frame;
            throw;
        }
        // A frame for another form is no longer used: the window is docked or on a form now.
        if (FFloatParent != nullptr && FrameOf(GetParent()) != FFloatParent)
            FFloatParent->Dispose();
        FFloatParent = frame;
    }
    form->FreeNotification(this);
    SetParent(FFloatParent);
    SetBounds(0, 0, GetWidth(), GetHeight());
}

void TTBCustomDockableWindow::MoveFloatingTo(TPoint position)
{
    FFloatingPosition = position;
    if (TTBFloatingWindowParent* frame = FFloating ? FrameOf(GetParent()) : nullptr)
        frame->SetBounds(position.x, position.y, frame->GetWidth(), frame->GetHeight());
}

void TTBCustomDockableWindow::MoveOnScreen(bool onlyIfFullyOff)
{
    TTBFloatingWindowParent* frame = FFloating ? FrameOf(GetParent()) : nullptr;
    if (frame == nullptr)
        return;
    TRect r = frame->GetBoundsRect();
    const TRect area = GetRectOfMonitorContainingRect(r, true);
    TRect overlap;
    if (onlyIfFullyOff && IntersectRect(&overlap, &r, &area) != FALSE)
        return;
    if (r.right > area.right)
        OffsetRect(&r, area.right - r.right, 0);
    if (r.bottom > area.bottom)
        OffsetRect(&r, 0, area.bottom - r.bottom);
    if (r.left < area.left)
        OffsetRect(&r, area.left - r.left, 0);
    if (r.top < area.top)
        OffsetRect(&r, 0, area.top - r.top);
    MoveFloatingTo(TPoint{r.left, r.top});
}

void TTBCustomDockableWindow::ArrangeCurrentDock()
{
    if (FDocked && FCurrentDock != nullptr)
        FCurrentDock->ArrangeDockedWindows();
}

void TTBCustomDockableWindow::SetDockRow(int value)
{
    if (FDockRow == value)
        return;
    FDockRow = value;
    ArrangeCurrentDock();
}

void TTBCustomDockableWindow::SetDockPos(int value)
{
    if (FDockPos == value)
        return;
    FDockPos = value;
    ArrangeCurrentDock();
}

void TTBCustomDockableWindow::SetDefaultDock(TTBDock* value)
{
    if (FDefaultDock == value)
        return;
    FDefaultDock = value;
    if (value != nullptr)
        value->FreeNotification(this);
}

void TTBCustomDockableWindow::SetLastDock(TTBDock* value)
{
    if (FUseLastDock && FCurrentDock != nullptr)
        value = FCurrentDock;
    if (FLastDock == value)
        return;
    if (FLastDock != nullptr && FLastDock != GetParent())
        FLastDock->UpdateWindowList(false, this);
    FLastDock = value;
    if (value != nullptr) {
        FUseLastDock = true;
        value->FreeNotification(this);
        value->UpdateWindowList(true, this);
    }
}

void TTBCustomDockableWindow::SetUseLastDock(bool value)
{
    if (FUseLastDock == value)
        return;
    FUseLastDock = value;
    if (!value)
        SetLastDock(nullptr);
    else if (FCurrentDock != nullptr)
        SetLastDock(FCurrentDock);
}

void TTBCustomDockableWindow::AddDockForm(TCustomForm* form)
{
    if (form != nullptr && AddToList(FDockForms, form))
        form->FreeNotification(this);
}

void TTBCustomDockableWindow::RemoveDockForm(TCustomForm* form) { RemoveFromList(FDockForms, form); }

// ---- Settings ---------------------------------------------------------------------------------------------

void TTBCustomDockableWindow::SetAutoResize(bool value)
{
    if (FAutoResize == value)
        return;
    FAutoResize = value;
    if (value)
        RecalcSize();
}

void TTBCustomDockableWindow::SetHideWhenInactive(bool value)
{
    if (FHideWhenInactive == value)
        return;
    FHideWhenInactive = value;
    UpdateVisibility();
}

void TTBCustomDockableWindow::SetCloseButton(bool value)
{
    if (FCloseButton == value)
        return;
    FCloseButton = value;
    if (TTBFloatingWindowParent* frame = FFloating ? FrameOf(GetParent()) : nullptr)
        frame->RedrawFloatingFrame(ffpCaption | ffpCloseButton);
}

void TTBCustomDockableWindow::DockedFrameChanged()
{
    if (!FDocked || !HandleAllocated())
        return;
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The handle's width is part of the window's length along the dock.
    ArrangeCurrentDock();
}

void TTBCustomDockableWindow::SetCloseButtonWhenDocked(bool value)
{
    if (FCloseButtonWhenDocked == value)
        return;
    FCloseButtonWhenDocked = value;
    DockedFrameChanged();
}

void TTBCustomDockableWindow::SetBorderStyle(TBorderStyle value)
{
    if (FBorderStyle == value)
        return;
    FBorderStyle = value;
    DockedFrameChanged();
}

void TTBCustomDockableWindow::SetDragHandleStyle(TTBDragHandleStyle value)
{
    if (FDragHandleStyle == value)
        return;
    FDragHandleStyle = value;
    DockedFrameChanged();
}

void TTBCustomDockableWindow::SetFullSize(bool value)
{
    if (FFullSize == value)
        return;
    FFullSize = value;
    ArrangeCurrentDock();
}

void TTBCustomDockableWindow::SetStretch(bool value)
{
    if (FStretch == value)
        return;
    FStretch = value;
    ArrangeCurrentDock();
}

void TTBCustomDockableWindow::SetResizable(bool value)
{
    if (FResizable == value)
        return;
    FResizable = value;
    // The sizing frame is a style of the frame's window; the new border changes the frame's size around the
    // window.
    if (TTBFloatingWindowParent* frame = FFloating ? FrameOf(GetParent()) : nullptr) {
        frame->RecreateWnd();
        RecalcSize();
    }
}

void TTBCustomDockableWindow::SetShowCaption(bool value)
{
    if (FShowCaption == value)
        return;
    FShowCaption = value;
    TTBFloatingWindowParent* frame = FFloating ? FrameOf(GetParent()) : nullptr;
    if (frame == nullptr)
        return;
    if (frame->HandleAllocated())
        SetWindowPos(frame->GetHandle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcSize();
}

void TTBCustomDockableWindow::SetFloatingMode(TTBFloatingMode value)
{
    if (FFloatingMode == value)
        return;
    FFloatingMode = value;
    // The frame's owner and topmost state follow the mode even when its visibility stays.
    if (FFloating && HandleAllocated())
        Perform(CM_SHOWINGCHANGED, 0, 0);
}

// ---- Operations -------------------------------------------------------------------------------------------

void TTBCustomDockableWindow::EndUpdate()
{
    if (FDisableArrange <= 0)
        return;
    if (--FDisableArrange == 0 && FRecalcPending)
        RecalcSize();
}

TTBDockType TTBCustomDockableWindow::GetDockType() const
{
    if (FFloating)
        return dtFloating;
    if (FDocked && FCurrentDock != nullptr)
        return DockTypeOf(FCurrentDock->GetPosition());
    return dtNotDocked;
}

void TTBCustomDockableWindow::RecalcSize()
{
    if (FDisableArrange > 0 || IsLoading() || GetParent() == nullptr) {
        FRecalcPending = true;
        return;
    }
    FRecalcPending = false;
    ApplyRecalculatedSize(ComputeSize(true, GetDockType(), FCurrentDock, FFloating));
}

void TTBCustomDockableWindow::ApplyRecalculatedSize(TSize size)
{
    if (!FAutoResize && !FDocked && !FFloating)
        return;
    if (FDocked) {
        ArrangeCurrentDock();
        return;
    }
    // Off a dock the docked frame is nothing, so the content size is the window's.
    int width = size.cx;
    int height = size.cy;
    if (!FFloating) {
        const TAnchors anchors = GetAnchors();
        if (anchors.Contains(akLeft) && anchors.Contains(akRight))
            width = GetWidth();
        if (anchors.Contains(akTop) && anchors.Contains(akBottom))
            height = GetHeight();
    }
    ++FUpdatingBounds;
    try {
        SetBounds(GetLeft(), GetTop(), width, height);
    } catch (...) {
        --FUpdatingBounds;
        throw;
    }
    --FUpdatingBounds;
}

void TTBCustomDockableWindow::PlaceInDock(const TRect& bounds, bool recalculate)
{
    ++FUpdatingBounds;
    try {
        SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
        if (recalculate)
            (void)ComputeSize(true, GetDockType(), FCurrentDock, false);
    } catch (...) {
        --FUpdatingBounds;
        throw;
    }
    --FUpdatingBounds;
}

void TTBCustomDockableWindow::Close()
{
    bool canClose = true;
    OnCloseQuery(this, canClose);
    if (!canClose)
        return;
    Hide();
    OnClose(this);
}

void TTBCustomDockableWindow::DoubleClick()
{
    if (FDocked) {
        if (FDblClickUndock && FDockMode == dmCanFloat) {
            SetFloating(true);
            MoveOnScreen(true);
        }
    } else if (FFloating) {
        if (FLastDock != nullptr) {
            SetParent(FLastDock);
        } else if (FDefaultDock != nullptr) {
            // Before the window that starts the first row.
            FDockRow = 0;
            FDockPos = -8;
            SetParent(FDefaultDock);
        }
    }
}

bool TTBCustomDockableWindow::CanBeDragged() const
{
    return (FDocked && FCurrentDock != nullptr && FCurrentDock->GetAllowDrag()) || FFloating;
}

TFloatingFrameMetrics TTBCustomDockableWindow::GetFloatingFrameMetrics()
{
    TFloatingFrameMetrics metrics;
    metrics.Border = FloatingBorderSize();
    metrics.CaptionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    metrics.ShowCaption = FShowCaption;
    metrics.CloseButton = FCloseButton;
    metrics.Resizable = FResizable;
    metrics.EightCorners = FFloatingResizeOptions.Contains(froEightCorners);
    return metrics;
}

// ---- Base answers -----------------------------------------------------------------------------------------

bool TTBCustomDockableWindow::AcceptsDock(TTBDock* dock)
{
    return dock != nullptr && FDockableTo.Contains(dock->GetPosition());
}

bool TTBCustomDockableWindow::PointBlocksDrag(TPoint point)
{
    for (int i = 0; i < GetControlCount(); ++i) {
        TControl* child = GetControl(i);
        const TRect bounds = child->GetBoundsRect();
        if (child->GetVisible() && !ChildIgnoredForDrag(child) && PtInRect(&bounds, point) != FALSE)
            return true;
    }
    return false;
}

int TTBCustomDockableWindow::GetMinimumLength() { return 0; }

TResizeLimits TTBCustomDockableWindow::GetSizeLimits() { return {}; }

TTBShrinkMode TTBCustomDockableWindow::ShrinkModeOf() { return tbsmNone; }

void TTBCustomDockableWindow::BeforeSizeChange(int, int) {}

TSize TTBCustomDockableWindow::FloatingBorderSize()
{
    if (FResizable)
        return TSize{GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
    return TSize{GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME)};
}

void TTBCustomDockableWindow::ReadPositionData(const TTBReadPositionData&) {}

void TTBCustomDockableWindow::WritePositionData(const TTBWritePositionData&) {}

bool TTBCustomDockableWindow::ChildIgnoredForDrag(TControl*) { return false; }

void TTBCustomDockableWindow::DoDockChangingHidden(bool floating, TTBDock* dockingTo)
{
    if (!IsDestroying())
        OnDockChangingHidden(this, floating, dockingTo);
}

TTBFloatingWindowParentClass TTBCustomDockableWindow::GetFloatingParentClass()
{
    return TTBFloatingWindowParentClass::Of<TTBFloatingWindowParent>();
}

void TTBCustomDockableWindow::AfterLoaded() {}

void TTBCustomDockableWindow::ResizeBegin(int) {}

void TTBCustomDockableWindow::ResizeTrack(TRect&, const TRect&) {}

void TTBCustomDockableWindow::ResizeAccept() {}

void TTBCustomDockableWindow::ResizeEnd() {}

// ---- The parent change ------------------------------------------------------------------------------------

void TTBCustomDockableWindow::RefreshParentState()
{
    FCurrentDock = dynamic_cast<TTBDock*>(GetParent());
    FDocked = FCurrentDock != nullptr;
    FFloating = FrameOf(GetParent()) != nullptr;
    if (FFloating)
        AddToList(FloatingWindows(), this);
    else
        RemoveFromList(FloatingWindows(), this);
}

void TTBCustomDockableWindow::SetParent(TWinControl* value)
{
    TWinControl* oldParent = GetParent();
    auto* oldDock = dynamic_cast<TTBDock*>(oldParent);
    auto* newDock = dynamic_cast<TTBDock*>(value);
    const bool newFloating = FrameOf(value) != nullptr;
    if (value == oldParent) {
        RefreshParentState();
        return;
    }
    const bool announce = !IsDestroying() && value != nullptr;
    if (announce) {
        OnDockChanging(this, newFloating, newDock);
        OnRecreating(this);
    }

    TTransitionScope scope(*this, oldDock, newDock);
    if (value != nullptr)
        DoDockChangingHidden(newFloating, newDock);
    scope.SuspendOwnSize();

    if (oldDock != nullptr) {
        if (!(FUseLastDock && FLastDock == oldDock) || IsDestroying())
            oldDock->UpdateWindowList(false, this);
        oldDock->UpdateVisibleList(this, true);
    }

    if (value != nullptr) {
        FCurrentDock = newDock;
        FDocked = newDock != nullptr;
        FFloating = newFloating;
        FEffectiveRow = -1;
        try {
            // Moved from one parent to another, the window keeps its handle: the capture of a drag and
            // everything shown in it stay. Its frame depends on where it is, so it is computed anew.
            TCustomControl::SetParent(value);
        } catch (...) {
            RefreshParentState();
            throw;
        }
        if (HandleAllocated())
            SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        TCustomControl::SetParent(nullptr);
        RefreshParentState();
    }

    // During a smooth drag the frame waits: the window may float again before the drag ends.
    if (!FSmoothDragging) {
        if (TTBFloatingWindowParent* oldFrame = FrameOf(oldParent)) {
            if (oldFrame == FFloatParent)
                FFloatParent = nullptr;
            oldFrame->Dispose();
        }
    }

    if (newDock != nullptr) {
        if (!FUseLastDock || FSmoothDragging) {
            newDock->UpdateWindowList(true, this);
        } else {
            SetLastDock(newDock);
            newDock->UpdateVisibleList(this, false);
        }
    }

    RefreshParentState();
    if (FFloating) {
        TTBFloatingWindowParent* frame = FrameOf(GetParent());
        frame->SetBounds(FFloatingPosition.x, FFloatingPosition.y, frame->GetWidth(), frame->GetHeight());
    }
    RecalcSize();

    scope.Finish();
    if (GetParent() != nullptr && !IsLoading() && FDisableOnMove == 0)
        OnMove(this);
    if (announce) {
        OnRecreated(this);
        OnDockChanged(this);
    }
}

void TTBCustomDockableWindow::SetBounds(int left, int top, int width, int height)
{
    if (FUpdatingBounds == 0 && (width != GetWidth() || height != GetHeight()))
        BeforeSizeChange(width, height);
    TTBFloatingWindowParent* frame = FFloating ? FrameOf(GetParent()) : nullptr;
    if (frame == nullptr) {
        TCustomControl::SetBounds(left, top, width, height);
        return;
    }
    // The frame takes the size around the window, which fills its client area.
    const TSize outer = FloatingFrameSize(TSize{width, height}, GetFloatingFrameMetrics());
    frame->SetBounds(frame->GetLeft(), frame->GetTop(), outer.cx, outer.cy);
    TCustomControl::SetBounds(0, 0, width, height);
}

bool TTBCustomDockableWindow::HasParent() const { return GetParent() != nullptr && !FFloating; }

TComponent* TTBCustomDockableWindow::GetParentComponent() const { return FFloating ? nullptr : GetParent(); }

const TPropertyTable& TTBCustomDockableWindow::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TCustomControl::ClassProperties())
            .Enumeration("SavedAtRunTime", &TTBCustomDockableWindow::GetSavedAtRunTime,
                         &TTBCustomDockableWindow::SetSavedAtRunTime, {"False", "True"});
    return table;
}

const TPropertyTable& TTBCustomDockableWindow::GetPropertyTable() const { return ClassProperties(); }

// ---- Visibility of floating windows -----------------------------------------------------------------------

bool TTBCustomDockableWindow::ShouldBeVisible() const
{
    if (!GetShowing() || FHidden > 0)
        return false;
    if (!FFloating || GetComponentState().Contains(csDesigning))
        return true;
    if (FFloatingMode == fmOnTopOfParentForm) {
        TCustomForm* form = GetOwningForm();
        if (form == nullptr || !form->HandleAllocated())
            return false;
        const HWND handle = form->GetHandle();
        if (IsWindowVisible(handle) == FALSE || IsIconic(handle) != FALSE || Application()->GetMinimized())
            return false;
    }
    return !(FHideWhenInactive && IsApplicationActive() == FALSE);
}

void TTBCustomDockableWindow::UpdateVisibility()
{
    const bool inactive =
        FFloating && !FHideWhenInactive && IsApplicationActive() == FALSE && !GetComponentState().Contains(csDesigning);
    if (inactive != FInactiveCaption) {
        FInactiveCaption = inactive;
        if (TTBFloatingWindowParent* frame = FFloating ? FrameOf(GetParent()) : nullptr)
            frame->RedrawFloatingFrame(ffpCaption);
    }
    if (!HandleAllocated())
        return;
    const bool visible = (GetWindowLongPtr(GetHandle(), GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible != ShouldBeVisible())
        Perform(CM_SHOWINGCHANGED, 0, 0);
}

void TTBCustomDockableWindow::CMShowingChanged(TMessage&)
{
    if (!HandleAllocated())
        return;
    const bool show = ShouldBeVisible();
    TTBFloatingWindowParent* frame = FFloating ? FrameOf(GetParent()) : nullptr;
    if (frame != nullptr && frame->HandleAllocated()) {
        if (show)
            SynchronizeFrameOwner();
        SynchronizeFrameTopmost();
        if (!show && GetActiveWindow() == frame->GetHandle())
            ActivateOtherTopLevel(frame->GetHandle());
        frame->SetShouldShow(show);
    }
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TTBCustomDockableWindow::SynchronizeFrameOwner()
{
    TTBFloatingWindowParent* frame = FrameOf(GetParent());
    TCustomForm* form = GetOwningForm();
    HWND owner = nullptr;
    if (FFloatingMode == fmOnTopOfAllForms)
        owner = Application()->GetHandle();
    else if (form != nullptr && form->HandleAllocated())
        owner = form->GetHandle();
    if (owner == nullptr)
        return;
    const HWND handle = frame->GetHandle();
    if (reinterpret_cast<HWND>(GetWindowLongPtr(handle, GWL_HWNDPARENT)) == owner)
        return;
    SetWindowLongPtr(handle, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    // Just above the owner and everything it owns, under whatever else lies above it.
    HWND insertAfter = HWND_TOP;
    if (FFloatingMode == fmOnTopOfParentForm) {
        const bool topMost = IsTopMost(handle);
        for (HWND w = GetWindow(owner, GW_HWNDPREV); w != nullptr; w = GetWindow(w, GW_HWNDPREV)) {
            if (w == handle || OwnedBy(w, owner) || (topMost && !IsTopMost(w)))
                continue;
            insertAfter = w;
            break;
        }
    }
    SetWindowPos(handle, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TTBCustomDockableWindow::SynchronizeFrameTopmost()
{
    TTBFloatingWindowParent* frame = FrameOf(GetParent());
    if (frame == nullptr || !frame->HandleAllocated())
        return;
    const HWND handle = frame->GetHandle();
    bool topMost = false;
    if (FFloatingMode == fmOnTopOfAllForms) {
        topMost = HandleAllocated() && IsWindowEnabled(GetHandle()) != FALSE;
    } else {
        const auto owner = reinterpret_cast<HWND>(GetWindowLongPtr(handle, GWL_HWNDPARENT));
        topMost = owner != nullptr && IsTopMost(owner);
    }
    if (topMost != IsTopMost(handle))
        SetWindowPos(handle, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TTBCustomDockableWindow::HookCallback(THookProcCode code, HWND window, WPARAM, LPARAM lParam)
{
    // A window may stop floating while another one updates: each is checked again before its turn.
    const std::vector<TTBCustomDockableWindow*> windows = FloatingWindows();
    const auto stillFloating = [](TTBCustomDockableWindow* w) {
        const auto& list = FloatingWindows();
        return std::find(list.begin(), list.end(), w) != list.end();
    };
    switch (code) {
    case hcActivateApp:
        for (TTBCustomDockableWindow* w : windows)
            if (stillFloating(w))
                w->UpdateVisibility();
        break;
    case hcWindowPosChanged: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos == nullptr || (pos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)) == 0)
            break;
        for (TTBCustomDockableWindow* w : windows) {
            if (!stillFloating(w) || w->FFloatingMode != fmOnTopOfParentForm)
                continue;
            TCustomForm* form = w->GetOwningForm();
            if (form == nullptr || !form->HandleAllocated())
                continue;
            const HWND formHandle = form->GetHandle();
            if (formHandle == window || IsChild(window, formHandle) != FALSE)
                w->UpdateVisibility();
        }
        break;
    }
    case hcDestroyWindow:
        // The frames of a form that goes stay owned by something, the application.
        for (TTBCustomDockableWindow* w : windows) {
            TTBFloatingWindowParent* frame = stillFloating(w) ? FrameOf(w->GetParent()) : nullptr;
            if (frame != nullptr && frame->HandleAllocated() &&
                reinterpret_cast<HWND>(GetWindowLongPtr(frame->GetHandle(), GWL_HWNDPARENT)) == window)
                SetWindowLongPtr(frame->GetHandle(), GWL_HWNDPARENT,
                                 reinterpret_cast<LONG_PTR>(Application()->GetHandle()));
        }
        break;
    case hcGetMessage: break;
    }
}

// ---- Loading and notifications ----------------------------------------------------------------------------

void TTBCustomDockableWindow::Loaded()
{
    TCustomControl::Loaded();
    // A window floated while its form was built keeps its floating position relative to that form.
    if (!FSavedAtRunTime && !GetComponentState().Contains(csDesigning) && FFloating) {
        if (TCustomForm* form = GetOwningForm())
            MoveFloatingTo(form->ClientToScreen(FFloatingPosition));
        MoveOnScreen(false);
    }
    if (FRecalcPending)
        RecalcSize();
    AfterLoaded();
}

void TTBCustomDockableWindow::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == FDefaultDock)
        FDefaultDock = nullptr;
    if (component == FLastDock)
        FLastDock = nullptr;
    if (component == FCurrentDock) {
        FCurrentDock = nullptr;
        FDocked = false;
    }
    if (component == FFloatParent)
        FFloatParent = nullptr;
    std::erase(FDockForms, component);
    if (FFloatParent == nullptr || component != FFloatParent->GetOwnerForm())
        return;
    if (FrameOf(GetParent()) != FFloatParent) {
        std::exchange(FFloatParent, nullptr)->Dispose();
    } else if (FFloatingMode == fmOnTopOfAllForms) {
        FFloatParent->SetOwnerForm(nullptr);
    } else {
        SetParent(nullptr);
    }
}

void TTBCustomDockableWindow::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

}  // namespace ovrel::toolbars
