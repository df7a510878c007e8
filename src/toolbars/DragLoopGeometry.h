#pragma once
// The decisions of the drag loop of a dockable window, apart from the loop: where the window would go for a
// cursor position (a dock it is over, or floating), the outline it would take there, the cursor to show, and
// the row and position a drop into a dock gives, with the split mode of an overflowing row. The loop captures
// the mouse, pumps messages, draws and applies; it calls these once per evaluation.

#include "toolbars/DockArrange.h"
#include "toolbars/DockTypes.h"
#include "toolkit/Graphics.h"

#include <functional>
#include <vector>

namespace ovrel::toolbars {

/// One row of a candidate dock: its thickness and whether a FullSize window is on it.
struct TDragTargetRow {
    int Size = 0;
    bool HasFullSize = false;
};

/// A place the dragged window may go: a candidate dock, or floating (no dock).
struct TDragTarget {
    TTBDock* Dock = nullptr;
    TTBDockPosition Position = dpTop;
    /// The dock's screen rectangle; empty for floating.
    toolkit::TRect ScreenRect{};
    /// The window's outer size were it placed here: in its own dock its present size; in another dock its
    /// size computed for that dock plus the docked frame there; floating, its size computed for floating inside
    /// the floating frame (FloatingFrameSize).
    toolkit::TSize OuterSize{};
    /// Rows 0 to the dock's highest effective row.
    std::vector<TDragTargetRow> Rows{};
};

/// The rows of a dock as a drag target, after the dock committed its effective positions.
[[nodiscard]] std::vector<TDragTargetRow> MakeDragTargetRows(const TDockLayout& dock);

/// Where the press was, relative to the window's outer rectangle at the start (the floating frame's when
/// floating), and that rectangle's size less one.
struct TDragGrab {
    toolkit::TPoint Point{};
    toolkit::TSize Extent{};
};

[[nodiscard]] TDragGrab MakeDragGrab(toolkit::TPoint pressInOuter, toolkit::TSize startOuterSize);

/// The outline of a window of outerSize under the cursor, placed so that the grab point keeps its proportional
/// place in it.
[[nodiscard]] toolkit::TRect PlaceDragOutline(const TDragGrab& grab, toolkit::TPoint cursor, toolkit::TSize outerSize);

/// Whether the cursor is over a candidate dock: its rectangle grown by 3 pixels, skewed by up to 25 pixels
/// towards the side of the window the grab point is on, and met by the outline the window would take there.
[[nodiscard]] bool DockHitTest(const TDragTarget& dock, const TDragGrab& grab, toolkit::TPoint cursor);

/// Moves a floating outline so that it can still be reached on the work area: some of it stays inside the
/// area less the floating border and 4 pixels, and its caption does not go above the top.
[[nodiscard]] toolkit::TRect ClampFloatingOutline(toolkit::TRect outline, const toolkit::TRect& workArea,
                                                  toolkit::TSize floatingBorder, int topFrameThickness);

enum class TDragCursor { Start, SplitWE, SplitNS, No };

/// What the loop knows of one evaluation.
struct TDragEvaluationInput {
    toolkit::TPoint Cursor{};
    /// Docks are sought: not the first evaluation of a floating window, and Ctrl is not held.
    bool SeekDocks = true;
    bool CanFloat = true;
    /// The index among the candidate docks of the dock the window is in, -1 when it is in none of them.
    int CurrentDock = -1;
    /// The current dock's DragSplitRequested.
    bool SplitRequested = false;
    /// The work area of the monitor the cursor is on.
    toolkit::TRect WorkArea{};
    /// The floating border of the window, and the thickness of its floating frame at the top.
    toolkit::TSize FloatingBorder{};
    int TopFrameThickness = 0;
};

/// Where an evaluation puts the window.
struct TDragEvaluation {
    /// The index of the target dock among the candidates, -1 for floating or nowhere.
    int Target = -1;
    /// In screen coordinates; empty when the window can go nowhere.
    toolkit::TRect Outline{};
    /// The thickness of the outline frame drawn without a live move.
    toolkit::TSize FrameSize{};
    TDragCursor Cursor = TDragCursor::Start;
};

/// The dock's OnRequestDock: whether the dock is offered to the window.
using TDragRequestDock = std::function<bool(const TDragTarget& dock)>;

/// Evaluates the cursor position: the current dock while it is in split mode, else the first candidate that
/// the cursor is over and that accepts the window, else floating (or nowhere when the window cannot float).
[[nodiscard]] TDragEvaluation EvaluateDrag(const std::vector<TDragTarget>& docks, const TDragTarget& floating,
                                           const TDragGrab& grab, const TDragEvaluationInput& input,
                                           const TDragRequestDock& requestDock);

/// The row a drop at the outline's centre across the dock chooses. NewRow: a new row is started before Row.
struct TDragRowChoice {
    int Row = 0;
    bool NewRow = false;
};

/// Rows count a quarter of their size at either edge as "new row before" (half for FullSize windows and rows
/// holding one, which are never joined); empty rows are skipped; past them all is the row after the last.
[[nodiscard]] TDragRowChoice ChooseDragRow(const std::vector<TDragTargetRow>& rows, int centre, bool windowFullSize);

/// The split bookkeeping of one drag: whether the dragged window may still switch its dock to split mode, and
/// where the drag started. Allowed starts as the dock's DragSplitAllowed after the drag's first arrangement;
/// a move to floating cancels it.
struct TDragSplitState {
    bool Allowed = false;
    TTBDock* StartDock = nullptr;
    /// The window's row after the arrangement at the start of the drag.
    int StartRow = 0;
    /// Screen coordinates.
    toolkit::TPoint StartCursor{};
};

/// What a drop into a dock sets.
struct TDockDrop {
    int DockRow = 0;
    int DockPos = 0;
    /// For the one arrangement that follows.
    bool StartsNewRow = false;
    /// The dock switches to split mode now (its DragSplitRequested is set and the split cursor shown).
    bool RequestSplit = false;
};

/// The row and position of a drop into dock, the outline in the dock's client coordinates. While the dock is in
/// split mode the window keeps dockRow. The split permission lasts while the cursor stays on the starting dock
/// and row; it is spent once the cursor has moved more than 9 pixels along the dock, and cancelled by another
/// dock, another row or a new row.
[[nodiscard]] TDockDrop DecideDockDrop(const TDragTarget& dock, const toolkit::TRect& outlineInDock,
                                       bool splitRequested, int dockRow, bool windowFullSize, toolkit::TPoint cursor,
                                       TDragSplitState& split);

}  // namespace ovrel::toolbars
