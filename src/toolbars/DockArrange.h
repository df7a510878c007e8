#pragma once
// The layout of a dock: which row each of its windows goes on, where along the row, how long and how thick,
// and the row queries that the drag code and the toolbars ask of a dock. It works on the dock's lists through
// a small window interface, so that it runs without windows in tests and the dock keeps nothing twice.

#include "toolbars/DockTypes.h"
#include "toolkit/Graphics.h"

#include <optional>
#include <vector>

namespace ovrel::toolbars {

/// One dockable window as its dock's arrangement sees it. Lengths run along the dock, thicknesses across it;
/// sizes are the window's outer pixels unless said otherwise.
class ITBDockedWindow {
public:
    virtual ~ITBDockedWindow() = default;

    /// Windows being destroyed leave the dock's lists at the next arrangement.
    [[nodiscard]] virtual bool IsBeingDestroyed() const = 0;
    /// The window's parent is the dock and it is visible (or the form is being designed).
    [[nodiscard]] virtual bool IsShownOnDock() const = 0;

    // The requested place. The setters only store: the dock is suspended while it arranges.
    [[nodiscard]] virtual int GetDockRow() const = 0;
    virtual void SetDockRow(int value) = 0;
    [[nodiscard]] virtual int GetDockPos() const = 0;
    virtual void SetDockPos(int value) = 0;
    [[nodiscard]] virtual bool GetFullSize() const = 0;
    [[nodiscard]] virtual bool GetStretch() const = 0;
    /// Set by the drag loop for the one arrangement after a drop before a row.
    [[nodiscard]] virtual bool GetStartsNewRow() const = 0;

    // What the last arrangement decided.
    [[nodiscard]] virtual int GetEffectiveRow() const = 0;
    [[nodiscard]] virtual int GetEffectivePos() const = 0;
    virtual void SetEffectivePlace(int row, int pos) = 0;
    [[nodiscard]] virtual int GetLastRowThickness() const = 0;
    virtual void SetLastRowThickness(int value) = 0;
    /// The length the dock imposes when it is shorter than the natural one, 0 when the window is not shrunk.
    [[nodiscard]] virtual int GetShrunkLength() const = 0;
    virtual void SetShrunkLength(int value) = 0;
    /// The present width and height.
    [[nodiscard]] virtual toolkit::TSize GetOuterSize() const = 0;

    // Sizes the window computes.
    /// The size of the content, without the docked frame.
    [[nodiscard]] virtual toolkit::TSize NaturalSize() = 0;
    /// The docked frame: x the horizontal pixels, y the vertical ones.
    [[nodiscard]] virtual toolkit::TPoint DockedFrameSize() = 0;
    /// The shortest length the window can be given along the dock, its docked frame included.
    [[nodiscard]] virtual int MinimumLength() = 0;
    [[nodiscard]] virtual TTBShrinkMode ShrinkModeOf() = 0;
    /// The content size for the given kind of dock and the present shrunk length, computed, not applied.
    [[nodiscard]] virtual toolkit::TSize ComputeDockedSize(TTBDockType kind) = 0;
    /// Sets the bounds in the dock's client area with the window's bounds-updating counter raised; with
    /// recalculate the window lays out its content again for them.
    virtual void PlaceInDock(const toolkit::TRect& bounds, bool recalculate) = 0;
};

/// The state of a dock that its arrangement reads and writes. The dock keeps it as its own fields.
struct TDockLayout {
    TTBDockPosition Position = dpTop;
    /// Pixels of the bound lines: left and right lines, top and bottom lines.
    int NonClientWidth = 0;
    int NonClientHeight = 0;
    bool FixAlign = false;
    bool LimitToOneRow = false;
    int SuspendCount = 0;
    bool ArrangePending = false;
    /// The next arrangement writes the rows and positions it computes back into DockRow and DockPos and keeps
    /// the sorted order as the list order.
    bool CommitPositions = false;
    /// The window being dragged inside this dock, or null, and the split mode of that drag.
    ITBDockedWindow* DragWindow = nullptr;
    bool DragSplitRequested = false;
    bool DragSplitAllowed = false;
    /// The windows that belong to the dock (docked, or floating and hidden ones whose last dock it is), and
    /// those shown on it. Not owned.
    std::vector<ITBDockedWindow*> WindowList;
    std::vector<ITBDockedWindow*> VisibleList;

    [[nodiscard]] bool IsVertical() const { return IsVerticalDock(Position); }
    [[nodiscard]] bool HasVisibleWindows() const;

    /// The largest thickness across the dock among the windows shown on an effective row (0 for a negative
    /// row); fullSize, when given, tells whether one of them is FullSize.
    [[nodiscard]] int RowSize(int row, bool* fullSize = nullptr) const;
    /// The largest LastRowThickness among the windows shown on an effective row, except one.
    [[nodiscard]] int RowLastThickness(int row, const ITBDockedWindow* except) const;
    /// The first row whose running sum of row sizes passes offset; one past the highest row when none does.
    [[nodiscard]] int RowAt(int offset) const;
    /// The largest DockRow (or effective row) in the window list; -1 when it is empty.
    [[nodiscard]] int HighestRow(bool effective) const;
    /// DockRow and DockPos of every window take the effective ones.
    void CommitEffectivePositions();
};

/// What the dock's control tells the arrangement each time.
struct TDockArrangeInput {
    /// The dock's outer width (horizontal docks) or height (vertical ones).
    int Length = 0;
    bool Loading = false;
    bool Designing = false;
};

/// Lays out the windows of the dock: rows, positions, lengths and thicknesses, each window placed. Returns the
/// dock's new outer thickness (height of a horizontal dock, width of a vertical one), or nothing when the dock
/// is suspended or loading and the arrangement was only noted as pending. Whatever happens, the dock is no
/// longer suspended by it, and ArrangePending and CommitPositions are cleared afterwards.
[[nodiscard]] std::optional<int> ArrangeDockedWindows(TDockLayout& dock, const TDockArrangeInput& input);

}  // namespace ovrel::toolbars
