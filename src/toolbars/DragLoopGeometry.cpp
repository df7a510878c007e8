#include "toolbars/DragLoopGeometry.h"

#include "toolkit/SysUtils.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;

std::vector<TDragTargetRow> MakeDragTargetRows(const TDockLayout& dock)
{
    std::vector<TDragTargetRow> rows;
    const int highest = dock.HighestRow(true);
    for (int row = 0; row <= highest; ++row) {
        TDragTargetRow& r = rows.emplace_back();
        r.Size = dock.RowSize(row, &r.HasFullSize);
    }
    return rows;
}

TDragGrab MakeDragGrab(TPoint pressInOuter, TSize startOuterSize)
{
    return TDragGrab{pressInOuter, TSize{startOuterSize.cx - 1, startOuterSize.cy - 1}};
}

// A window one pixel wide or high has no proportion to keep: MulDiv answers -1 for its zero divisor, and the
// outline then starts one pixel past the cursor.
TRect PlaceDragOutline(const TDragGrab& grab, TPoint cursor, TSize outerSize)
{
    const int left = cursor.x - MulDiv(outerSize.cx - 1, grab.Point.x, grab.Extent.cx);
    const int top = cursor.y - MulDiv(outerSize.cy - 1, grab.Point.y, grab.Extent.cy);
    return TRect{left, top, left + outerSize.cx, top + outerSize.cy};
}

bool DockHitTest(const TDragTarget& dock, const TDragGrab& grab, TPoint cursor)
{
    TRect area = dock.ScreenRect;
    ui::InflateRect(&area, 3, 3);
    const int skewX = MulDiv(25, grab.Point.x, grab.Extent.cx);
    if (cursor.x < area.left + skewX - 25 || cursor.x >= area.right + skewX)
        return false;
    // Side docks sit between the top and bottom ones, so they reach no further along the form's height.
    if (IsVerticalDock(dock.Position) && (cursor.y < area.top || cursor.y >= area.bottom))
        return false;
    const int skewY = MulDiv(25, grab.Point.y, grab.Extent.cy);
    if (cursor.y < area.top + skewY - 25 || cursor.y >= area.bottom + skewY)
        return false;
    const TRect outline = PlaceDragOutline(grab, cursor, dock.OuterSize);
    TRect overlap;
    return ui::IntersectRect(&overlap, &outline, &area) != 0;
}

TRect ClampFloatingOutline(TRect outline, const TRect& workArea, TSize floatingBorder, int topFrameThickness)
{
    TRect area = workArea;
    ui::InflateRect(&area, -(floatingBorder.cx + 4), -(floatingBorder.cy + 4));
    if (outline.bottom < area.top)
        ui::OffsetRect(&outline, 0, area.top - outline.bottom);
    if (outline.top > area.bottom)
        ui::OffsetRect(&outline, 0, area.bottom - outline.top);
    if (outline.right < area.left)
        ui::OffsetRect(&outline, area.left - outline.right, 0);
    if (outline.left > area.right)
        ui::OffsetRect(&outline, area.right - outline.left, 0);
    const int highestTop = workArea.top - topFrameThickness + 4;
    if (outline.top < highestTop)
        ui::OffsetRect(&outline, 0, highestTop - outline.top);
    return outline;
}

TDragEvaluation EvaluateDrag(const std::vector<TDragTarget>& docks, const TDragTarget& floating, const TDragGrab& grab,
                             const TDragEvaluationInput& input, const TDragRequestDock& requestDock)
{
    TDragEvaluation result;
    const bool split =
        input.SplitRequested && input.CurrentDock >= 0 && static_cast<std::size_t>(input.CurrentDock) < docks.size();
    if (split) {
        result.Target = input.CurrentDock;
    } else if (input.SeekDocks) {
        for (std::size_t i = 0; i < docks.size(); ++i) {
            if (DockHitTest(docks[i], grab, input.Cursor) && (!requestDock || requestDock(docks[i]))) {
                result.Target = static_cast<int>(i);
                break;
            }
        }
    }

    if (result.Target >= 0) {
        result.Outline = PlaceDragOutline(grab, input.Cursor, docks[result.Target].OuterSize);
        result.FrameSize = TSize{1, 1};
    } else {
        TPoint cursor = input.Cursor;
        if (!ui::IsRectEmpty(&input.WorkArea)) {
            cursor.x = std::clamp(cursor.x, input.WorkArea.left, input.WorkArea.right - 1);
            cursor.y = std::clamp(cursor.y, input.WorkArea.top, input.WorkArea.bottom - 1);
        }
        result.Outline = ClampFloatingOutline(PlaceDragOutline(grab, cursor, floating.OuterSize), input.WorkArea,
                                              input.FloatingBorder, input.TopFrameThickness);
        result.FrameSize = input.FloatingBorder;
    }

    if (result.Target >= 0 || input.CanFloat) {
        if (split)
            result.Cursor =
                IsVerticalDock(docks[input.CurrentDock].Position) ? TDragCursor::SplitNS : TDragCursor::SplitWE;
    } else {
        result.Outline = TRect{};
        result.Cursor = TDragCursor::No;
    }
    return result;
}

TDragRowChoice ChooseDragRow(const std::vector<TDragTargetRow>& rows, int centre, bool windowFullSize)
{
    int sum = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TDragTargetRow& row = rows[i];
        if (row.Size <= 0)
            continue;
        const bool halves = windowFullSize || row.HasFullSize;
        const int edge = halves ? row.Size / 2 : row.Size / 4;
        if (centre < sum + edge)
            return TDragRowChoice{static_cast<int>(i), true};
        sum += row.Size;
        if (!halves && centre < sum - edge)
            return TDragRowChoice{static_cast<int>(i), false};
    }
    return TDragRowChoice{static_cast<int>(rows.size()), false};
}

TDockDrop DecideDockDrop(const TDragTarget& dock, const TRect& outlineInDock, bool splitRequested, int dockRow,
                         bool windowFullSize, TPoint cursor, TDragSplitState& split)
{
    const bool vertical = IsVerticalDock(dock.Position);
    TDockDrop drop;
    drop.DockPos = vertical ? outlineInDock.top : outlineInDock.left;
    if (splitRequested) {
        drop.DockRow = dockRow;
    } else {
        const int centre =
            vertical ? (outlineInDock.left + outlineInDock.right) / 2 : (outlineInDock.top + outlineInDock.bottom) / 2;
        const TDragRowChoice choice = ChooseDragRow(dock.Rows, centre, windowFullSize);
        drop.DockRow = choice.Row;
        // Only a drop before a row starts one; joining keeps the row.
        drop.StartsNewRow = choice.NewRow;
        if (choice.NewRow)
            split.Allowed = false;
    }
    if (split.Allowed) {
        if (dock.Dock == split.StartDock && drop.DockRow == split.StartRow) {
            const int moved = vertical ? cursor.y - split.StartCursor.y : cursor.x - split.StartCursor.x;
            if (std::abs(moved) > 9) {
                split.Allowed = false;
                drop.RequestSplit = true;
            }
        } else {
            split.Allowed = false;
        }
    }
    return drop;
}

}  // namespace ovrel::toolbars
