#pragma once
// Docks: the strips along the edges of a form that hold dockable windows in rows. A dock keeps the list of
// its windows, lays them out whenever something changes, takes the thickness of its rows, paints its bound
// lines and an optional background, and hands menu keys to the floating windows that belong to it.

#include "platform/ui/Types.h"
#include "toolbars/DockArrange.h"
#include "toolbars/DockTypes.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <string>

namespace ovrel::toolbars {

class TTBCustomDockableWindow;

enum TTBDockBoundLinesValues : std::uint8_t { blTop, blBottom, blLeft, blRight };
using TTBDockBoundLines = toolkit::TSet<TTBDockBoundLinesValues>;

using TTBInsertRemoveEvent = toolkit::TEvent<toolkit::TObject*, bool, TTBCustomDockableWindow*>;
/// Accept starts true; a handler that clears it keeps the dock from being offered to the dragged window.
using TTBRequestDockEvent = toolkit::TEvent<toolkit::TObject*, TTBCustomDockableWindow*, bool&>;

/// Something that paints the background of docks (and of the windows on them). The program has none of its
/// own; a dock only asks one.
class TTBBasicBackground : public toolkit::TComponent {
public:
    using TComponent::TComponent;

    /// Paints rect, given in the client coordinates of the dock's parent, so that docks side by side continue
    /// one picture.
    virtual void Draw(ui::HDC dc, const toolkit::TRect& rect) = 0;
    /// change is called whenever the background changes; Unregister takes the same method pointer back.
    virtual void RegisterChanges(const toolkit::TNotifyEvent& change) = 0;
    virtual void SysColorChanged() = 0;
    virtual void UnregisterChanges(const toolkit::TNotifyEvent& change) = 0;
    [[nodiscard]] virtual bool UsingBackground() = 0;
};

/// A strip along one edge of a form holding dockable windows in rows.
class TTBDock : public toolkit::TCustomControl {
public:
    explicit TTBDock(toolkit::TComponent* owner);
    ~TTBDock() override;

    // -- Settings --------------------------------------------------------------------------------------------
    [[nodiscard]] TTBDockPosition GetPosition() const { return FLayout.Position; }
    /// Also aligns the dock to that edge. EInvalidOperation while the dock holds controls.
    void SetPosition(TTBDockPosition value);
    [[nodiscard]] bool IsVertical() const { return FLayout.IsVertical(); }
    /// Without it docked windows show no drag handle and cannot be dragged out.
    [[nodiscard]] bool GetAllowDrag() const { return FAllowDrag; }
    void SetAllowDrag(bool value);
    [[nodiscard]] TTBDockBoundLines GetBoundLines() const { return FBoundLines; }
    void SetBoundLines(TTBDockBoundLines value);
    /// Not owned; cleared when it is freed.
    [[nodiscard]] TTBBasicBackground* GetBackground() const { return FBackground; }
    void SetBackground(TTBBasicBackground* value);
    /// Whether the windows on the dock paint the dock's background behind their content too.
    [[nodiscard]] bool GetBackgroundOnToolbars() const { return FBackgroundOnToolbars; }
    void SetBackgroundOnToolbars(bool value);
    /// An empty dock stays 1 pixel thick instead of 0.
    [[nodiscard]] bool GetFixAlign() const { return FLayout.FixAlign; }
    void SetFixAlign(bool value);
    /// Every window on row 0; no wrapping.
    [[nodiscard]] bool GetLimitToOneRow() const { return FLayout.LimitToOneRow; }
    void SetLimitToOneRow(bool value) { FLayout.LimitToOneRow = value; }

    /// The pixels the bound lines take: left and right lines, top and bottom lines.
    [[nodiscard]] int GetNonClientWidth() const { return FLayout.NonClientWidth; }
    [[nodiscard]] int GetNonClientHeight() const { return FLayout.NonClientHeight; }

    // -- Drag state (set by the drag loop) -------------------------------------------------------------------
    [[nodiscard]] TTBCustomDockableWindow* GetDragWindow() const;
    void SetDragWindow(TTBCustomDockableWindow* value);
    [[nodiscard]] bool GetDragSplitAllowed() const { return FLayout.DragSplitAllowed; }
    void SetDragSplitAllowed(bool value) { FLayout.DragSplitAllowed = value; }
    [[nodiscard]] bool GetDragSplitRequested() const { return FLayout.DragSplitRequested; }
    void SetDragSplitRequested(bool value) { FLayout.DragSplitRequested = value; }
    /// The next arrangement writes its rows and positions back into the windows' DockRow and DockPos.
    [[nodiscard]] bool GetCommitPositions() const { return FLayout.CommitPositions; }
    void SetCommitPositions(bool value) { FLayout.CommitPositions = value; }

    // -- Arrangement -----------------------------------------------------------------------------------------
    /// Arrangements asked for meanwhile run at the EndUpdate that ends the last BeginUpdate.
    void BeginUpdate() { ++FLayout.SuspendCount; }
    void EndUpdate();
    [[nodiscard]] bool GetArrangePending() const { return FLayout.ArrangePending; }
    /// Lays out the windows and takes the thickness of their rows; only noted while suspended or loading.
    virtual void ArrangeDockedWindows();
    /// Every window's DockRow and DockPos take its effective row and position.
    void CommitEffectivePositions() { FLayout.CommitEffectivePositions(); }
    /// Resizes the dock keeping the edge it is aligned to.
    void ChangeSize(int newWidth, int newHeight);

    // -- Windows ---------------------------------------------------------------------------------------------
    /// The windows that belong to the dock: docked in it, and floating or hidden ones whose last dock it is.
    [[nodiscard]] int GetWindowCount() const { return static_cast<int>(FLayout.WindowList.size()); }
    [[nodiscard]] TTBCustomDockableWindow* GetWindow(int index) const;
    /// The windows shown on the dock.
    [[nodiscard]] int GetVisibleCount() const { return static_cast<int>(FLayout.VisibleList.size()); }
    [[nodiscard]] TTBCustomDockableWindow* GetVisibleWindow(int index) const;
    [[nodiscard]] bool HasVisibleWindows() const { return FLayout.HasVisibleWindows(); }
    /// Adds the window (insert) or removes it, then refreshes its place in the visible list.
    void UpdateWindowList(bool insert, TTBCustomDockableWindow* window);
    /// Puts the window into the visible list when it is shown on the dock (never with forceRemove), or takes
    /// it out; a change re-arranges and fires OnInsertRemoveBar.
    void UpdateVisibleList(TTBCustomDockableWindow* window, bool forceRemove);

    // -- Row queries -----------------------------------------------------------------------------------------
    [[nodiscard]] int RowSize(int row, bool* fullSize = nullptr) const { return FLayout.RowSize(row, fullSize); }
    [[nodiscard]] int RowLastThickness(int row, const TTBCustomDockableWindow* except) const;
    [[nodiscard]] int RowAt(int offset) const { return FLayout.RowAt(offset); }
    [[nodiscard]] int HighestRow(bool effective) const { return FLayout.HighestRow(effective); }

    /// The layout state behind the queries, for the drag code.
    [[nodiscard]] const TDockLayout& GetLayout() const { return FLayout; }

    /// For tests: an empty string while the lists hold what they should (every visible window in the window
    /// list, each window once, every window with this dock as its parent or last dock), else the first fault.
    [[nodiscard]] std::string SelfCheck() const;

    // -- Overridable -----------------------------------------------------------------------------------------
    /// Whether a dragged window may dock here; AllowDrag in the base.
    [[nodiscard]] virtual bool AcceptsDockableWindow(TTBCustomDockableWindow* window);
    /// Paints the background into rect (client coordinates of the dock's parent).
    virtual void DrawBackground(ui::HDC dc, const toolkit::TRect& rect);
    [[nodiscard]] virtual bool UsingBackground();

    /// A dock never goes inside a dockable window or another dock (EInvalidOperation).
    void SetParent(toolkit::TWinControl* value) override;

    TTBInsertRemoveEvent OnInsertRemoveBar;
    TTBRequestDockEvent OnRequestDock;

protected:
    /// The layout state for descendants with an arrangement of their own.
    [[nodiscard]] TDockLayout& Layout() { return FLayout; }
    /// Invalidates the dock and redraws the frames of its windows (the background moved or changed).
    void InvalidateBackground();
    /// Takes an arrangement's outer thickness across the dock, keeping its length; the realignment that follows
    /// does not arrange again.
    void TakeThickness(int thickness);

    void Loaded() override;
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;
    void AlignControls(toolkit::TControl* control, ui::RECT& rect) override;
    void CreateParams(toolkit::TCreateParams& params) override;
    void Dispatch(toolkit::TMessage& message) override;

    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void WMNCCalcSize(toolkit::TMessage& message) override;
    virtual void WMNCPaint(toolkit::TMessage& message);
    virtual void WMMove(toolkit::TMessage& message);
    void CMDialogKey(toolkit::TMessage& message) override;
    void CMDialogChar(toolkit::TMessage& message) override;
    void CMSysColorChange(toolkit::TMessage& message) override;
    /// Paints the bound lines into dc, whose origin is the dock's top-left.
    void PaintBoundLines(ui::HDC dc);

private:
    void BackgroundChanged(toolkit::TObject* sender);
    /// Offers a menu key to the floating windows of the list; true when one took it.
    bool ForwardToFloatingWindows(toolkit::TMessage& message);

    TDockLayout FLayout;
    bool FAllowDrag = true;
    TTBDockBoundLines FBoundLines;
    TTBBasicBackground* FBackground = nullptr;
    bool FBackgroundOnToolbars = true;
    bool FChangingSize = false;
};

}  // namespace ovrel::toolbars
