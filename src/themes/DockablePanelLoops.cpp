// The modal mouse loops of a docked panel: dragging its outer edge to resize it in its dock, and dragging the
// split edge between two panels of a multi-dock. Each holds the capture and pumps the queue itself; Escape ends
// it like a button does, keeping the last size; what a loop holds is given back however it ends.
#include "themes/DockablePanels.h"

#include "themes/PanelArrangement.h"
#include "themes/ThemeUtils.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace ovrel::themes {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

TPoint MessagePos()
{
    const DWORD pos = GetMessagePos();
    return TPoint{GET_X_LPARAM(static_cast<LPARAM>(pos)), GET_Y_LPARAM(static_cast<LPARAM>(pos))};
}

TRect ScreenClientRect(TWinControl& control)
{
    const TPoint origin = control.ClientToScreen(TPoint{0, 0});
    return TRect{origin.x, origin.y, origin.x + control.GetClientWidth(), origin.y + control.GetClientHeight()};
}

// Pumps the queue while the capture holds: each move to a new point goes to track; Escape (down or up) and
// any button end the loop; other mouse input is dropped and everything else dispatched. A quit is put back.
void RunMouseLoop(const TCaptureHold& capture, TPoint start, const std::function<void(TPoint)>& track)
{
    TPoint last = start;
    while (capture.Held()) {
        MSG msg;
        if (GetMessage(&msg, nullptr, 0, 0) == FALSE) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE)
            return;
        if (msg.message == WM_MOUSEMOVE) {
            if (msg.pt != last) {
                last = msg.pt;
                track(msg.pt);
            }
            continue;
        }
        if (msg.message >= WM_LBUTTONDOWN && msg.message <= WM_MBUTTONDBLCLK)
            return;
        if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST)
            continue;
        DispatchMessage(&msg);
    }
}

// The halftone line that shows where a docked edge or a split would go when the panels do not follow live.
class TDragLine {
public:
    TDragLine() = default;
    ~TDragLine() { End(); }
    TDragLine(const TDragLine&) = delete;
    TDragLine& operator=(const TDragLine&) = delete;

    void Begin()
    {
        FActive = true;
        FDesktop.emplace(0);
    }
    /// Shows the line at rect (screen coordinates), erasing it where it was.
    void Move(const TRect& rect)
    {
        if (!FActive)
            return;
        if (FDesktop && FDesktop->GetDC() != nullptr)
            DrawDragFrame(FDesktop->GetDC(), &rect, FShown ? &FRect : nullptr);
        FShown = true;
        FRect = rect;
    }
    void End()
    {
        if (!FActive)
            return;
        FActive = false;
        if (FShown && FDesktop && FDesktop->GetDC() != nullptr)
            DrawDragFrame(FDesktop->GetDC(), nullptr, &FRect);
        FDesktop.reset();
        FShown = false;
    }

private:
    bool FActive = false;
    std::optional<toolbars::TLockedDesktopDC> FDesktop;
    bool FShown = false;
    TRect FRect{};
};

}  // namespace

// ---- Docked resize ----------------------------------------------------------------------------------------

class TTBXDockablePanel::TDockedResizeLoop {
public:
    TDockedResizeLoop(TTBXDockablePanel& panel, int hitCode)
        : P(panel), FVertical(hitCode != HTLEFT && hitCode != HTRIGHT),
          FSign(hitCode == HTRIGHT || hitCode == HTBOTTOM ? 1 : -1)
    {}
    ~TDockedResizeLoop()
    {
        // Ended by an exception: the end steps still run, so the panel is left sized and the mouse free.
        try {
            End();
        } catch (...) {
            ReportException(std::current_exception());
        }
    }
    TDockedResizeLoop(const TDockedResizeLoop&) = delete;
    TDockedResizeLoop& operator=(const TDockedResizeLoop&) = delete;

    void Run()
    {
        TTBDock* dock = P.GetCurrentDock();
        int size = 0;
        if (dock == nullptr || !P.BeginDockedResizing(FVertical, size))
            return;
        if (size != Current())
            P.ApplyDockedSize(FVertical, size);
        const TRect client = ScreenClientRect(*dock);
        const TPoint cursor = MessagePos();
        FStartCursor = TPoint{std::clamp<int>(cursor.x, client.left, std::max(client.left, client.right - 1)),
                              std::clamp<int>(cursor.y, client.top, std::max(client.top, client.bottom - 1))};
        FStartBounds = P.GetBoundsRect();
        FStartScreen = ScreenBounds();
        FStartSize = Current();
        FLastSize = FStartSize;
        FSmooth = P.FSmoothDockedResize;

        FCapture = std::make_unique<TCaptureHold>(P.GetHandle());
        FActive = true;
        P.FResizing = true;
        ui::SetCursor(LoadCursor(nullptr, FVertical ? IDC_SIZENS : IDC_SIZEWE));
        if (!FSmooth) {
            FLine.Begin();
            FLine.Move(LineAt(FStartSize));
        }
        RunMouseLoop(*FCapture, FStartCursor, [this](TPoint p) { Track(p); });
        End();
    }

private:
    [[nodiscard]] int Current() const { return FVertical ? P.GetHeight() : P.GetWidth(); }
    [[nodiscard]] int Along(TPoint p) const { return FVertical ? p.y : p.x; }

    [[nodiscard]] TRect ScreenBounds() const
    {
        const TRect r = P.GetBoundsRect();
        const TPoint origin = P.GetParent()->ClientToScreen(TPoint{r.left, r.top});
        return TRect{origin.x, origin.y, origin.x + r.right - r.left, origin.y + r.bottom - r.top};
    }

    // The 2-pixel line where the moving edge would be at that size.
    [[nodiscard]] TRect LineAt(int size) const
    {
        TRect r = FStartScreen;
        if (FVertical) {
            const int edge = FSign > 0 ? r.top + size : r.bottom - size;
            r.top = FSign > 0 ? edge - 2 : edge;
            r.bottom = r.top + 2;
        } else {
            const int edge = FSign > 0 ? r.left + size : r.right - size;
            r.left = FSign > 0 ? edge - 2 : edge;
            r.right = r.left + 2;
        }
        return r;
    }

    void Track(TPoint cursor)
    {
        int size = FStartSize + FSign * (Along(cursor) - Along(FStartCursor));
        if (!P.DockedResizing(FVertical, size))
            return;
        FLastSize = size;
        if (FSmooth)
            P.ApplyDockedSize(FVertical, size);
        else
            FLine.Move(LineAt(size));
    }

    void End()
    {
        if (!FActive)
            return;
        FActive = false;
        FCapture->Release();
        const TResizingFlag clear(P);
        const bool allowed = P.EndDockedResizing(FVertical, FLastSize);
        if (!FSmooth) {
            FLine.End();
            if (allowed)
                P.ApplyDockedSize(FVertical, FLastSize);
        } else if (!allowed) {
            P.SetBounds(FStartBounds.left, FStartBounds.top, FStartBounds.right - FStartBounds.left,
                        FStartBounds.bottom - FStartBounds.top);
        }
        if (allowed)
            P.ShareDockedSize(FVertical);
    }

    // Clears the panel's resizing flag on leaving End, then lets a multi-dock lay out by its usual rule again.
    class TResizingFlag {
    public:
        explicit TResizingFlag(TTBXDockablePanel& panel) : FPanel(panel) {}
        ~TResizingFlag()
        {
            FPanel.FResizing = false;
            if (auto* dock = dynamic_cast<TTBXMultiDock*>(FPanel.GetCurrentDock())) {
                try {
                    dock->ArrangeDockedWindows();
                } catch (...) {
                    ReportException(std::current_exception());
                }
            }
        }
        TResizingFlag(const TResizingFlag&) = delete;
        TResizingFlag& operator=(const TResizingFlag&) = delete;

    private:
        TTBXDockablePanel& FPanel;
    };

    TTBXDockablePanel& P;
    bool FVertical;
    int FSign;
    bool FSmooth = true;
    TRect FStartBounds{};
    TRect FStartScreen{};
    TPoint FStartCursor{};
    int FStartSize = 0;
    int FLastSize = 0;
    std::unique_ptr<TCaptureHold> FCapture;
    TDragLine FLine;
    bool FActive = false;
};

void TTBXDockablePanel::RunDockedResize(int hitCode)
{
    if (!GetDocked() || GetCurrentDock() == nullptr || !HandleAllocated())
        return;
    TDockedResizeLoop loop(*this, hitCode);
    loop.Run();
}

bool TTBXDockablePanel::BeginDockedResizing(bool vertical, int& newSize)
{
    newSize = vertical ? GetHeight() : GetWidth();
    return DoDockedResizing(vertical, newSize, rsBeginResizing);
}

bool TTBXDockablePanel::DockedResizing(bool vertical, int& newSize)
{
    TTBDock* dock = GetCurrentDock();
    TWinControl* form = dock != nullptr ? dock->GetParent() : nullptr;
    Assert(form != nullptr, "TTBXDockablePanel: a docked resize needs a dock with a parent");
    // The rest of the form keeps at least 32 pixels across the resize: the room left beside the controls aligned
    // to either end of that direction is all the panel may take.
    const int current = vertical ? GetHeight() : GetWidth();
    int room = vertical ? form->GetClientHeight() : form->GetClientWidth();
    for (int i = 0; i < form->GetControlCount(); ++i) {
        const TControl* control = form->GetControl(i);
        if (!control->GetVisible())
            continue;
        const TAlign align = control->GetAlign();
        if (vertical && (align == alTop || align == alBottom))
            room -= control->GetHeight();
        else if (!vertical && (align == alLeft || align == alRight))
            room -= control->GetWidth();
    }
    newSize = std::min(newSize, std::max(current, current + room - 32));
    const TPoint frame = GetDockedFrameSize(dock);
    const int frameAlong = vertical ? frame.y : frame.x;
    const int minClient = vertical ? FMinClientHeight : FMinClientWidth;
    const int maxClient = vertical ? FMaxClientHeight : FMaxClientWidth;
    int client = std::max(newSize - frameAlong, minClient);
    if (maxClient > 0 && maxClient >= minClient)
        client = std::min(client, maxClient);
    newSize = client + frameAlong;
    return DoDockedResizing(vertical, newSize, rsResizing);
}

bool TTBXDockablePanel::EndDockedResizing(bool vertical, int& newSize)
{
    return DoDockedResizing(vertical, newSize, rsEndResizing);
}

void TTBXDockablePanel::ApplyDockedSize(bool vertical, int outerSize)
{
    TTBDock* dock = GetCurrentDock();
    if (dock == nullptr)
        return;
    const TPoint frame = GetDockedFrameSize(dock);
    // The dock lays the panel out once, with the size it takes here.
    dock->BeginUpdate();
    try {
        const TOwnSizeChange own(*this);
        if (vertical) {
            StoreDockedHeight(outerSize - frame.y);
            SetHeight(frame.y + FDockedHeight);
        } else {
            StoreDockedWidth(outerSize - frame.x);
            SetWidth(frame.x + FDockedWidth);
        }
    } catch (...) {
        dock->EndUpdate();
        throw;
    }
    dock->EndUpdate();
}

void TTBXDockablePanel::ShareDockedSize(bool vertical)
{
    // The panels of a multi-dock are all as thick as the dock; each keeps that size as its own.
    auto* dock = dynamic_cast<TTBXMultiDock*>(GetCurrentDock());
    if (dock == nullptr)
        return;
    for (TTBXDockablePanel* panel : dock->GetStackedPanels()) {
        if (panel == this)
            continue;
        const TPoint frame = panel->GetDockedFrameSize(dock);
        if (vertical)
            panel->StoreDockedHeight(GetHeight() - frame.y);
        else
            panel->StoreDockedWidth(GetWidth() - frame.x);
    }
}

// ---- Split drag -------------------------------------------------------------------------------------------

class TTBXDockablePanel::TSplitDragLoop {
public:
    TSplitDragLoop(TTBXDockablePanel& panel, TTBXMultiDock& dock, int hitCode)
        : P(panel), FDock(dock), FVertical(dock.IsVertical()),
          FAfterThis(hitCode == HT_TBX_SPLITRIGHT || hitCode == HT_TBX_SPLITBOTTOM)
    {}
    ~TSplitDragLoop()
    {
        try {
            End();
        } catch (...) {
            ReportException(std::current_exception());
        }
    }
    TSplitDragLoop(const TSplitDragLoop&) = delete;
    TSplitDragLoop& operator=(const TSplitDragLoop&) = delete;

    void Run()
    {
        FPanels = FDock.GetStackedPanels();
        const auto found = std::find(FPanels.begin(), FPanels.end(), &P);
        if (found == FPanels.end())
            return;
        const auto index = static_cast<int>(found - FPanels.begin());
        Assert(FAfterThis || index > 0, "TTBXDockablePanel: a split at the first panel");
        FBoundary = FAfterThis ? index : index - 1;
        if (FBoundary + 1 >= static_cast<int>(FPanels.size()))
            return;
        const int length = FVertical ? FDock.GetClientHeight() : FDock.GetClientWidth();
        long long minima = 0;
        long long maxima = 0;
        bool live = true;
        for (TTBXDockablePanel* panel : FPanels) {
            const TResizeLimits limits = panel->GetConstrainedLimits();
            TSplitRecord& r = FRecords.emplace_back();
            r.Size = FVertical ? panel->GetHeight() : panel->GetWidth();
            r.MinSize = FVertical ? limits.MinHeight : limits.MinWidth;
            r.MaxSize = FVertical ? limits.MaxHeight : limits.MaxWidth;
            if (r.MaxSize < r.MinSize)
                r.MaxSize = std::max(length, r.MinSize);  // no limit
            minima += r.MinSize;
            maxima += r.MaxSize;
            FThickness.push_back(FVertical ? panel->GetWidth() : panel->GetHeight());
            live = live && panel->FSmoothDockedResize;
        }
        // Panels that cannot fill the dock exactly have nothing to share.
        if (length < minima || length > maxima)
            return;
        FLive = live;
        FStartCursor = MessagePos();
        FCapture = std::make_unique<TCaptureHold>(P.GetHandle());
        FActive = true;
        P.FSplitting = true;
        ui::SetCursor(LoadCursor(nullptr, FVertical ? IDC_SIZENS : IDC_SIZEWE));
        if (!FLive) {
            FLine.Begin();
            FLine.Move(LineAt(DistributeSplitDrag(FRecords, FBoundary, 0)));
        }
        RunMouseLoop(*FCapture, FStartCursor, [this](TPoint p) { Track(p); });
        End();
    }

private:
    void Track(TPoint cursor)
    {
        const int travel = FVertical ? cursor.y - FStartCursor.y : cursor.x - FStartCursor.x;
        FResult = DistributeSplitDrag(FRecords, FBoundary, travel);
        if (FLive)
            Apply(*FResult);
        else
            FLine.Move(LineAt(*FResult));
    }

    // The line along the boundary, across the whole dock.
    [[nodiscard]] TRect LineAt(const std::vector<TSplitResult>& result) const
    {
        const TSplitResult& r = result[static_cast<std::size_t>(FBoundary)];
        const int at = r.Position + r.Size;
        const TRect client = ScreenClientRect(FDock);
        if (FVertical)
            return TRect{client.left, client.top + at - 1, client.right, client.top + at + 1};
        return TRect{client.left + at - 1, client.top, client.left + at + 1, client.bottom};
    }

    void Apply(const std::vector<TSplitResult>& result)
    {
        FDock.BeginUpdate();
        try {
            for (std::size_t i = 0; i < FPanels.size(); ++i) {
                TTBXDockablePanel* panel = FPanels[i];
                const TSplitResult& r = result[i];
                if (FVertical)
                    panel->SetSplitHeight(r.Size);
                else
                    panel->SetSplitWidth(r.Size);
                const TOwnSizeChange own(*panel);
                if (FVertical)
                    panel->SetBounds(0, r.Position, FThickness[i], r.Size);
                else
                    panel->SetBounds(r.Position, 0, r.Size, FThickness[i]);
            }
        } catch (...) {
            FDock.EndUpdate();
            throw;
        }
        FDock.EndUpdate();
    }

    void End()
    {
        if (!FActive)
            return;
        FActive = false;
        FCapture->Release();
        FLine.End();
        P.FSplitting = false;
        if (!FLive && FResult)
            Apply(*FResult);
    }

    TTBXDockablePanel& P;
    TTBXMultiDock& FDock;
    bool FVertical;
    bool FAfterThis;
    std::vector<TTBXDockablePanel*> FPanels;
    std::vector<TSplitRecord> FRecords;
    std::vector<int> FThickness;
    int FBoundary = 0;
    bool FLive = true;
    TPoint FStartCursor{};
    std::optional<std::vector<TSplitResult>> FResult;
    std::unique_ptr<TCaptureHold> FCapture;
    TDragLine FLine;
    bool FActive = false;
};

void TTBXDockablePanel::RunSplitDrag(int hitCode)
{
    auto* dock = dynamic_cast<TTBXMultiDock*>(GetCurrentDock());
    if (!GetDocked() || dock == nullptr || !HandleAllocated())
        return;
    TSplitDragLoop loop(*this, *dock, hitCode);
    loop.Run();
}

}  // namespace ovrel::themes
