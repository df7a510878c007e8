// The modal mouse loops of dockable windows: dragging a window within its dock, into another dock or out to
// float, and resizing a floating window by an edge of its frame; and the small loop of a pressed close
// button. Each loop holds the capture and pumps the queue itself; what it holds is given back on every exit.
#include "toolbars/DockableWindow.h"

#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/DragLoopGeometry.h"
#include "toolbars/FloatingWindow.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

bool IsKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }

bool IsOtherButtonMessage(UINT msg) { return msg >= WM_RBUTTONDOWN && msg <= WM_MBUTTONDBLCLK; }

TPoint MessagePos()
{
    const DWORD pos = GetMessagePos();
    return TPoint{GET_X_LPARAM(static_cast<LPARAM>(pos)), GET_Y_LPARAM(static_cast<LPARAM>(pos))};
}

TTBFloatingWindowParent* FrameOf(TWinControl* parent) { return dynamic_cast<TTBFloatingWindowParent*>(parent); }

// The halftone outline on the desktop while a window is dragged or sized without moving live. The desktop is
// locked against updates meanwhile, so the outline's inverted pixels stay the outline's.
class TDesktopOutline {
public:
    TDesktopOutline() = default;
    ~TDesktopOutline() { End(); }
    TDesktopOutline(const TDesktopOutline&) = delete;
    TDesktopOutline& operator=(const TDesktopOutline&) = delete;

    void Begin()
    {
        FActive = true;
        FDesktop.emplace(DCX_WINDOW);
    }
    /// Draws the new outline and erases the old one in one go; an empty rectangle shows none.
    void Move(const TRect& rect, TSize thickness)
    {
        if (!FActive)
            return;
        const bool show = IsRectEmpty(&rect) == FALSE;
        if (FDesktop && FDesktop->GetDC() != nullptr && (show || FShown))
            DrawHalftoneDragRect(FDesktop->GetDC(), show ? &rect : nullptr, FShown ? &FRect : nullptr, thickness,
                                 FThickness);
        FShown = show;
        FRect = rect;
        FThickness = thickness;
    }
    void End()
    {
        if (!FActive)
            return;
        Move(TRect{}, TSize{});
        FActive = false;
        FDesktop.reset();
    }

private:
    bool FActive = false;
    std::optional<TLockedDesktopDC> FDesktop;
    bool FShown = false;
    TRect FRect{};
    TSize FThickness{};
};

HCURSOR CursorFor(TDragCursor cursor, HCURSOR start)
{
    switch (cursor) {
    case TDragCursor::Start: return start;
    case TDragCursor::SplitWE: return LoadCursor(nullptr, IDC_SIZEWE);
    case TDragCursor::SplitNS: return LoadCursor(nullptr, IDC_SIZENS);
    case TDragCursor::No: return LoadCursor(nullptr, IDC_NO);
    }
    return start;
}

}  // namespace

// ---- Close button -----------------------------------------------------------------------------------------

bool TrackCloseButton(HWND window, const TRect& buttonInWindow, const std::function<void(bool pressed)>& setPressed)
{
    const auto inside = [&](TPoint screen) {
        TRect bounds{};
        GetWindowRect(window, &bounds);
        const TPoint p{screen.x - bounds.left, screen.y - bounds.top};
        return PtInRect(&buttonInWindow, p) != FALSE;
    };
    bool pressed = true;
    setPressed(true);
    bool released = false;
    TCaptureHold capture(window);
    while (capture.Held()) {
        MSG msg;
        if (GetMessage(&msg, nullptr, 0, 0) == FALSE) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_LBUTTONUP) {
            released = inside(msg.pt);
            break;
        }
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK)
            break;
        if (msg.message == WM_MOUSEMOVE) {
            if (const bool now = inside(msg.pt); now != pressed) {
                pressed = now;
                setPressed(now);
            }
            continue;
        }
        if (IsKeyMessage(msg.message) || IsOtherButtonMessage(msg.message))
            continue;
        DispatchMessage(&msg);
    }
    capture.Release();
    setPressed(false);
    return released;
}

// ---- Drag loop --------------------------------------------------------------------------------------------

class TTBCustomDockableWindow::TDragLoop {
public:
    TDragLoop(TTBCustomDockableWindow& window, int x, int y) : W(window), FPress(window.ClientToScreen(TPoint{x, y})) {}
    ~TDragLoop()
    {
        // Ended by an exception: the same clean-up, without the drop.
        try {
            EndTracking();
            CleanUp();
        } catch (...) {
            ReportException(std::current_exception());
        }
    }
    TDragLoop(const TDragLoop&) = delete;
    TDragLoop& operator=(const TDragLoop&) = delete;

    void Run()
    {
        Start();
        const bool drop = Loop();
        EndTracking();
        if (drop && IsRectEmpty(&FLast.Outline) == FALSE)
            Apply(FLast);
        CleanUp();
    }

private:
    void Start();
    void AddCandidate(TTBDock* dock);
    void WalkContainer(TWinControl* container);
    void BuildTargets();
    [[nodiscard]] bool Loop();
    void Evaluate(TPoint cursor);
    void Apply(const TDragEvaluation& evaluation);
    void EndTracking();
    void CleanUp();
    [[nodiscard]] int IndexOf(const TTBDock* dock) const;

    TTBCustomDockableWindow& W;
    TPoint FPress;
    TTBDock* FStartDock = nullptr;
    int FStartRow = 0;
    int FStartPos = 0;
    bool FCtrl = false;
    bool FCanFloat = true;
    bool FFirst = true;
    std::vector<TTBDock*> FCandidates;
    std::vector<TDragTarget> FTargets;
    TDragTarget FFloatingTarget;
    TDragGrab FGrab;
    TDragSplitState FSplit;
    TDragEvaluation FLast;
    TPoint FCursor{};
    HCURSOR FStartCursor = nullptr;
    TDesktopOutline FOutline;
    std::unique_ptr<TCaptureHold> FCapture;
    bool FStarted = false;
    bool FTracking = false;
    bool FCleanedUp = false;
};

void TTBCustomDockableWindow::TDragLoop::Start()
{
    FStarted = true;
    FStartRow = W.FDockRow;
    FStartPos = W.FDockPos;
    if (W.FDocked && W.FCurrentDock != nullptr) {
        FStartDock = W.FCurrentDock;
        FStartDock->SetDragWindow(&W);
        FStartDock->SetDragSplitRequested(false);
        FStartDock->SetDragSplitAllowed(false);
        FStartDock->SetCommitPositions(true);
        FStartDock->ArrangeDockedWindows();
        FSplit.Allowed = FStartDock->GetDragSplitAllowed();
        FSplit.StartDock = FStartDock;
        FSplit.StartRow = W.FEffectiveRow;
    }
    FSplit.StartCursor = FPress;
    W.FSmoothDragging = W.FSmoothDrag;
    FCtrl = GetKeyState(VK_CONTROL) < 0;
    FCanFloat = W.FDockMode == dmCanFloat;
    BuildTargets();

    TRect outer{};
    if (TTBFloatingWindowParent* frame = W.FFloating ? FrameOf(W.GetParent()) : nullptr)
        GetWindowRect(frame->GetHandle(), &outer);
    else
        GetWindowRect(W.GetHandle(), &outer);
    FGrab = MakeDragGrab(TPoint{FPress.x - outer.left, FPress.y - outer.top},
                         TSize{outer.right - outer.left, outer.bottom - outer.top});

    // The mouse is held before the queue is looked at: input already queued behind the press goes to the
    // loop then, not to the windows under the pointer.
    FCapture = std::make_unique<TCaptureHold>(W.GetHandle());
    FTracking = true;
    DispatchPendingPaintMessages();
    if (!W.FSmoothDragging)
        FOutline.Begin();
    FStartCursor = ui::GetCursor();
    Evaluate(FPress);
}

void TTBCustomDockableWindow::TDragLoop::AddCandidate(TTBDock* dock)
{
    if (std::find(FCandidates.begin(), FCandidates.end(), dock) != FCandidates.end())
        return;
    if (dock->AcceptsDockableWindow(&W) && W.AcceptsDock(dock))
        FCandidates.push_back(dock);
}

// The docks of a container by their edge (top, bottom, left, right), then those inside its other children.
void TTBCustomDockableWindow::TDragLoop::WalkContainer(TWinControl* container)
{
    for (const TTBDockPosition position : {dpTop, dpBottom, dpLeft, dpRight}) {
        for (int i = 0; i < container->GetControlCount(); ++i) {
            auto* dock = dynamic_cast<TTBDock*>(container->GetControl(i));
            if (dock != nullptr && dock->GetPosition() == position && dock->GetShowing())
                AddCandidate(dock);
        }
    }
    for (int i = 0; i < container->GetControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(container->GetControl(i));
        if (child != nullptr && child != &W && dynamic_cast<TTBDock*>(child) == nullptr && child->GetShowing())
            WalkContainer(child);
    }
}

void TTBCustomDockableWindow::TDragLoop::BuildTargets()
{
    TTBDock* current = W.FDocked ? W.FCurrentDock : nullptr;
    if (W.FDockMode == dmCannotFloatOrChangeDocks) {
        if (current != nullptr)
            FCandidates.push_back(current);
    } else {
        if (current != nullptr)
            AddCandidate(current);
        TCustomForm* own = W.GetOwningForm();
        if (own != nullptr)
            WalkContainer(own);
        for (int i = 0; i < Screen()->GetFormCount(); ++i) {
            TCustomForm* form = Screen()->GetForm(i);
            if (form != own && std::find(W.FDockForms.begin(), W.FDockForms.end(), form) != W.FDockForms.end())
                WalkContainer(form);
        }
    }
    for (TTBDock* dock : FCandidates) {
        dock->CommitEffectivePositions();
        TDragTarget& target = FTargets.emplace_back();
        target.Dock = dock;
        target.Position = dock->GetPosition();
        GetWindowRect(dock->GetHandle(), &target.ScreenRect);
        if (dock == current) {
            target.OuterSize = TSize{W.GetWidth(), W.GetHeight()};
        } else {
            const TSize content = W.ComputeSize(false, DockTypeOf(dock->GetPosition()), dock, false);
            const TPoint frame = W.GetDockedFrameSize(dock);
            target.OuterSize = TSize{content.cx + frame.x, content.cy + frame.y};
        }
        target.Rows = MakeDragTargetRows(dock->GetLayout());
    }
    FFloatingTarget.OuterSize =
        FloatingFrameSize(W.ComputeSize(false, dtFloating, nullptr, true), W.GetFloatingFrameMetrics());
}

int TTBCustomDockableWindow::TDragLoop::IndexOf(const TTBDock* dock) const
{
    const auto found = std::find(FCandidates.begin(), FCandidates.end(), dock);
    return found == FCandidates.end() ? -1 : static_cast<int>(found - FCandidates.begin());
}

bool TTBCustomDockableWindow::TDragLoop::Loop()
{
    while (FCapture->Held()) {
        MSG msg;
        if (GetMessage(&msg, nullptr, 0, 0) == FALSE) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (msg.wParam == VK_CONTROL) {
                const bool ctrl = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
                if (ctrl != FCtrl) {
                    FCtrl = ctrl;
                    Evaluate(FCursor);
                }
            } else if (msg.wParam == VK_ESCAPE) {
                return false;
            }
            break;
        case WM_MOUSEMOVE:
            if (msg.pt != FCursor)
                Evaluate(msg.pt);
            break;
        case WM_LBUTTONUP: return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return false;
        default:
            if (!IsKeyMessage(msg.message) && !IsOtherButtonMessage(msg.message))
                DispatchMessage(&msg);
        }
    }
    return false;
}

void TTBCustomDockableWindow::TDragLoop::Evaluate(TPoint cursor)
{
    FCursor = cursor;
    TDragEvaluationInput input;
    input.Cursor = cursor;
    input.SeekDocks = !(FFirst && W.FFloating) && !FCtrl;
    input.CanFloat = FCanFloat;
    TTBDock* current = W.FDocked ? W.FCurrentDock : nullptr;
    input.CurrentDock = IndexOf(current);
    input.SplitRequested = current != nullptr && current->GetDragSplitRequested();
    input.WorkArea = GetRectOfMonitorContainingPoint(cursor, true);
    input.FloatingBorder = W.FloatingBorderSize();
    input.TopFrameThickness = input.FloatingBorder.cy + (W.FShowCaption ? GetSystemMetrics(SM_CYSMCAPTION) : 0);
    FFirst = false;
    const TDragEvaluation evaluation =
        EvaluateDrag(FTargets, FFloatingTarget, FGrab, input, [this](const TDragTarget& target) {
            bool accept = true;
            target.Dock->OnRequestDock(target.Dock, &W, accept);
            return accept;
        });
    ui::SetCursor(CursorFor(evaluation.Cursor, FStartCursor));
    FLast = evaluation;
    if (!W.FSmoothDragging)
        FOutline.Move(evaluation.Outline, evaluation.FrameSize);
    else if (IsRectEmpty(&evaluation.Outline) == FALSE)
        Apply(evaluation);
}

void TTBCustomDockableWindow::TDragLoop::Apply(const TDragEvaluation& evaluation)
{
    if (evaluation.Target >= 0) {
        const TDragTarget& target = FTargets[static_cast<std::size_t>(evaluation.Target)];
        TTBDock* dock = target.Dock;
        TRect inDock = evaluation.Outline;
        const TPoint origin = dock->ClientToScreen(TPoint{0, 0});
        OffsetRect(&inDock, -origin.x, -origin.y);
        const TDockDrop drop =
            DecideDockDrop(target, inDock, dock->GetDragSplitRequested(), W.FDockRow, W.FFullSize, FCursor, FSplit);
        if (drop.RequestSplit) {
            dock->SetDragSplitRequested(true);
            ui::SetCursor(LoadCursor(nullptr, dock->IsVertical() ? IDC_SIZENS : IDC_SIZEWE));
        }
        W.FDockRow = drop.DockRow;
        W.FDockPos = drop.DockPos;
        if (!W.FSmoothDragging)
            dock->SetCommitPositions(true);
        // Only the one arrangement that follows the drop starts a row for it.
        W.FStartsNewRow = drop.StartsNewRow;
        try {
            if (W.GetParent() != dock)
                W.SetParent(dock);
            else
                dock->ArrangeDockedWindows();
        } catch (...) {
            W.FStartsNewRow = false;
            throw;
        }
        W.FStartsNewRow = false;
    } else {
        FSplit.Allowed = false;
        W.MoveFloatingTo(TPoint{evaluation.Outline.left, evaluation.Outline.top});
        W.SetFloating(true);
        W.MoveOnScreen(true);
    }
    W.Update();
}

void TTBCustomDockableWindow::TDragLoop::EndTracking()
{
    if (!FTracking)
        return;
    FTracking = false;
    if (FCapture != nullptr)
        FCapture->Release();
    FOutline.End();
    W.FSmoothDragging = false;
}

void TTBCustomDockableWindow::TDragLoop::CleanUp()
{
    if (!FStarted || FCleanedUp)
        return;
    FCleanedUp = true;
    W.FSmoothDragging = false;
    if (W.FUseLastDock && W.FCurrentDock != nullptr)
        W.SetLastDock(W.FCurrentDock);
    if (W.FFloatParent != nullptr && FrameOf(W.GetParent()) != W.FFloatParent)
        std::exchange(W.FFloatParent, nullptr)->Dispose();
    if (FStartDock != nullptr) {
        FStartDock->SetDragWindow(nullptr);
        FStartDock->SetDragSplitRequested(false);
        FStartDock->SetDragSplitAllowed(false);
    }
    if (W.FFloating) {
        W.FDockRow = FStartRow;
        W.FDockPos = FStartPos;
    }
}

void TTBCustomDockableWindow::RunDragLoop(int x, int y)
{
    if (!HandleAllocated())
        return;
    TDragLoop loop(*this, x, y);
    loop.Run();
}

// ---- Resize loop ------------------------------------------------------------------------------------------

class TTBCustomDockableWindow::TResizeLoop {
public:
    TResizeLoop(TTBCustomDockableWindow& window, TTBFloatingWindowParent& frame, int edge)
        : W(window), FFrame(frame), FEdge(edge)
    {}
    ~TResizeLoop()
    {
        try {
            EndTracking();
            if (FBegun)
                W.ResizeEnd();
        } catch (...) {
            ReportException(std::current_exception());
        }
    }
    TResizeLoop(const TResizeLoop&) = delete;
    TResizeLoop& operator=(const TResizeLoop&) = delete;

    void Run();

private:
    void Track(TPoint cursor);
    void Apply(const TRect& rect);
    void EndTracking();

    TTBCustomDockableWindow& W;
    TTBFloatingWindowParent& FFrame;
    int FEdge;
    TResizeLimits FLimits;
    TRect FStartRect{};
    TRect FRect{};
    TPoint FStartCursor{};
    TPoint FCursor{};
    TSize FThickness{};
    TDesktopOutline FOutline;
    std::unique_ptr<TCaptureHold> FCapture;
    bool FClipped = false;
    bool FBegun = false;
    bool FTracking = false;
};

void TTBCustomDockableWindow::TResizeLoop::Run()
{
    const TSize extra{FFrame.GetWidth() - W.GetWidth(), FFrame.GetHeight() - W.GetHeight()};
    FLimits = FrameResizeLimits(W.GetSizeLimits(), extra);
    W.ResizeBegin(FEdge);
    FBegun = true;

    FStartRect = FFrame.GetBoundsRect();
    FRect = FStartRect;
    FStartCursor = MessagePos();
    FCursor = FStartCursor;
    FThickness = W.FloatingBorderSize();
    FCapture = std::make_unique<TCaptureHold>(W.GetHandle());
    FTracking = true;
    DispatchPendingPaintMessages();
    if (!W.FSmoothDrag) {
        FOutline.Begin();
        FOutline.Move(FStartRect, FThickness);
    }
    if (W.FFloatingResizeOptions.Contains(froClipCursor) && !UsingMultipleMonitors()) {
        const TRect screen = GetPrimaryScreenRect(false);
        ClipCursor(&screen);
        FClipped = true;
    }

    bool apply = false;
    while (FCapture->Held()) {
        MSG msg;
        if (GetMessage(&msg, nullptr, 0, 0) == FALSE) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (IsKeyMessage(msg.message)) {
            if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE)
                break;
            continue;
        }
        if (msg.message == WM_MOUSEMOVE) {
            if (msg.pt != FCursor)
                Track(msg.pt);
            continue;
        }
        if (msg.message == WM_LBUTTONUP) {
            apply = true;
            break;
        }
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK)
            break;
        if (IsOtherButtonMessage(msg.message))
            continue;
        DispatchMessage(&msg);
    }
    EndTracking();
    if (apply && !W.FSmoothDrag)
        Apply(FRect);
}

void TTBCustomDockableWindow::TResizeLoop::Track(TPoint cursor)
{
    FCursor = cursor;
    FRect = TrackResizeRect(FEdge, FStartRect, FStartCursor, cursor, FLimits);
    W.ResizeTrack(FRect, FStartRect);
    if (W.FSmoothDrag)
        Apply(FRect);
    else
        FOutline.Move(FRect, FThickness);
}

void TTBCustomDockableWindow::TResizeLoop::Apply(const TRect& rect)
{
    // A size the hook settles on (a floating toolbar's wrap width) is laid out once, when the update ends.
    W.BeginUpdate();
    try {
        W.ResizeAccept();
        FFrame.SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        W.SetBounds(0, 0, FFrame.GetClientWidth(), FFrame.GetClientHeight());
    } catch (...) {
        W.EndUpdate();
        throw;
    }
    W.EndUpdate();
    W.MoveOnScreen(true);
}

void TTBCustomDockableWindow::TResizeLoop::EndTracking()
{
    if (!FTracking)
        return;
    FTracking = false;
    if (FCapture != nullptr)
        FCapture->Release();
    if (FClipped) {
        ClipCursor(nullptr);
        FClipped = false;
    }
    FOutline.End();
}

void TTBCustomDockableWindow::RunResizeLoop(int edge)
{
    TTBFloatingWindowParent* frame = FFloating ? FrameOf(GetParent()) : nullptr;
    if (frame == nullptr || !frame->HandleAllocated() || !HandleAllocated())
        return;
    TResizeLoop loop(*this, *frame, edge);
    loop.Run();
}

}  // namespace ovrel::toolbars
