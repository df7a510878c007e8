#include "toolbars/DockArrange.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <set>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;

namespace {

// What the arrangement works out for one window of the dock's list, in the sorted order.
struct TArrangeRecord {
    ITBDockedWindow* Window = nullptr;
    bool Shown = false;
    int Row = 0;
    int Gap = 0;  // before the window, along the dock
    int Natural = 0;  // along, docked frame included
    int Minimum = 0;
    int Current = 0;
    int Overlap = 0;
    int Position = 0;
    TTBShrinkMode Shrink = tbsmNone;
    TSize NaturalSize;  // of the content
    TPoint Frame;
};

int Along(TSize size, bool vertical) { return vertical ? size.cy : size.cx; }
int Across(TSize size, bool vertical) { return vertical ? size.cx : size.cy; }
int Along(TPoint frame, bool vertical) { return vertical ? frame.y : frame.x; }

// Counts the dock as suspended while it arranges and leaves its flags clear however the arrangement ends.
class TArrangeScope {
public:
    explicit TArrangeScope(TDockLayout& dock) : FDock(dock) { ++FDock.SuspendCount; }
    ~TArrangeScope()
    {
        --FDock.SuspendCount;
        FDock.ArrangePending = false;
        FDock.CommitPositions = false;
    }
    TArrangeScope(const TArrangeScope&) = delete;
    TArrangeScope& operator=(const TArrangeScope&) = delete;

private:
    TDockLayout& FDock;
};

// By DockRow, then DockPos; equal places keep their list order, so that they do not swap from one arrangement
// to the next. A window dragged in split mode keeps its index, so that it cannot pass its neighbours.
void SortByPlace(std::vector<ITBDockedWindow*>& list, const TDockLayout& dock)
{
    std::ptrdiff_t dragIndex = -1;
    if (dock.DragSplitRequested && dock.DragWindow != nullptr) {
        const auto found = std::find(list.begin(), list.end(), dock.DragWindow);
        if (found != list.end())
            dragIndex = std::distance(list.begin(), found);
    }
    std::stable_sort(list.begin(), list.end(), [](const ITBDockedWindow* a, const ITBDockedWindow* b) {
        if (a->GetDockRow() != b->GetDockRow())
            return a->GetDockRow() < b->GetDockRow();
        return a->GetDockPos() < b->GetDockPos();
    });
    if (dragIndex >= 0) {
        std::erase(list, dock.DragWindow);
        list.insert(list.begin() + dragIndex, dock.DragWindow);
    }
}

int HighestRecordRow(const std::vector<TArrangeRecord>& records)
{
    int highest = -1;
    for (const TArrangeRecord& r : records)
        highest = std::max(highest, r.Row);
    return highest;
}

// A StartsNewRow window (first pass) and a FullSize one (second pass) end up alone on their row: the others
// on it, and every later row, move one row down.
void SplitRows(std::vector<TArrangeRecord>& records, bool limitToOneRow)
{
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0 && limitToOneRow)
            continue;
        for (int row = 0; row <= HighestRecordRow(records); ++row) {
            for (TArrangeRecord& r : records) {
                if (r.Row != row || !(pass == 0 ? r.Window->GetStartsNewRow() : r.Window->GetFullSize()))
                    continue;
                const bool shared = std::any_of(records.begin(), records.end(),
                                                [&](const TArrangeRecord& o) { return &o != &r && o.Row == row; });
                if (!shared)
                    continue;
                for (TArrangeRecord& o : records)
                    if (&o != &r && o.Row >= row)
                        ++o.Row;
            }
        }
    }
}

// Rows that no window is on, shown or not, disappear; the rows left are numbered from 0.
void RemoveEmptyRows(std::vector<TArrangeRecord>& records)
{
    std::set<int> used;
    for (const TArrangeRecord& r : records)
        used.insert(r.Row);
    for (TArrangeRecord& r : records)
        r.Row = static_cast<int>(std::distance(used.begin(), used.find(r.Row)));
}

// Sizes of the shown windows of one row; a window that does not fit (never the first) moves, with the rest of
// the row and every later row, one row down. Returns the indexes of the windows left on the row, in list order.
std::vector<std::size_t> FillRow(std::vector<TArrangeRecord>& records, int row, int available, bool vertical,
                                 bool limitToOneRow, int& rowLength)
{
    std::vector<std::size_t> onRow;
    int total = 0;
    rowLength = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        TArrangeRecord& r = records[i];
        if (!r.Shown || r.Row != row)
            continue;
        r.NaturalSize = r.Window->NaturalSize();
        r.Frame = r.Window->DockedFrameSize();
        r.Natural = Along(r.NaturalSize, vertical) + Along(r.Frame, vertical);
        r.Current = r.Natural;
        r.Shrink = r.Window->ShrinkModeOf();
        r.Minimum = std::min(r.Window->MinimumLength(), r.Natural);
        // A chevron window can give way down to its minimum, so only that much of it must fit.
        total += r.Shrink == tbsmChevron ? r.Minimum : r.Natural;
        if (total > available && !onRow.empty() && !limitToOneRow) {
            for (std::size_t j = 0; j < records.size(); ++j)
                if (records[j].Row > row || (records[j].Row == row && j >= i))
                    ++records[j].Row;
            break;
        }
        rowLength += r.Natural;
        onRow.push_back(i);
    }
    return onRow;
}

// Takes gaps back, from the window at index `from` of the row towards the first, by at most amount; returns
// what was taken.
int TakeBackGaps(std::vector<TArrangeRecord>& records, const std::vector<std::size_t>& onRow, std::size_t from,
                 int amount)
{
    int taken = 0;
    for (std::size_t k = from + 1; k-- > 0 && amount > taken;) {
        TArrangeRecord& r = records[onRow[k]];
        const int take = std::min(r.Gap, amount - taken);
        r.Gap -= take;
        taken += take;
    }
    return taken;
}

// Positions and lengths along one row.
void LayOutRow(std::vector<TArrangeRecord>& records, const std::vector<std::size_t>& onRow, int rowLength,
               int available, TDockLayout& dock)
{
    if (onRow.empty())
        return;
    int overflow = rowLength - available;

    // Desired positions: gaps where there is room, overlaps where a window asks to start inside the one before.
    int shift = 0;
    int end = 0;
    int minimums = 0;
    std::ptrdiff_t dragAt = -1;
    int dragDesired = 0;
    for (std::size_t k = 0; k < onRow.size(); ++k) {
        TArrangeRecord& r = records[onRow[k]];
        int desired = r.Position + shift;
        if (k == 0 && (r.Window->GetFullSize() || r.Window->GetStretch()))
            desired = 0;
        if (r.Window == dock.DragWindow) {
            dragAt = static_cast<std::ptrdiff_t>(k);
            dragDesired = desired;
        }
        desired = std::max(desired, minimums);
        if (desired > end) {
            if (overflow > 0)
                shift += desired - end;
            else
                r.Gap = desired - end;
            end = desired;
        } else if (desired < end) {
            r.Overlap = end - desired;
        }
        end += r.Current;
        minimums += r.Minimum;
    }

    // The dragged window goes where the cursor put it: the gaps before it give way, the windows after it stay.
    if (overflow < 0 && dragAt > 0) {
        int extent = 0;
        for (std::ptrdiff_t k = 0; k < dragAt; ++k)
            extent += records[onRow[k]].Gap + records[onRow[k]].Current;
        const int taken = TakeBackGaps(records, onRow, static_cast<std::size_t>(dragAt - 1), extent - dragDesired);
        if (static_cast<std::size_t>(dragAt) + 1 < onRow.size())
            records[onRow[dragAt + 1]].Gap += taken;
    }

    int extent = 0;
    for (const std::size_t i : onRow)
        extent += records[i].Gap + records[i].Current;
    TakeBackGaps(records, onRow, onRow.size() - 1, extent - available);

    if (overflow > 0) {
        // Overlaps shrink the chevron windows before them, nearest first, never past the dragged window.
        int owed = 0;
        for (std::size_t k = 0; k < onRow.size(); ++k) {
            const TArrangeRecord& r = records[onRow[k]];
            if (onRow.size() > 1 && r.Window == dock.DragWindow)
                dock.DragSplitAllowed = true;
            owed = std::min(owed + r.Overlap, overflow);
            for (std::size_t j = k; j-- > 0 && owed > 0;) {
                TArrangeRecord& before = records[onRow[j]];
                if (before.Shrink == tbsmChevron) {
                    const int loss = std::min(owed, before.Current - before.Minimum);
                    before.Current -= loss;
                    owed -= loss;
                    overflow -= loss;
                }
                if (before.Window == dock.DragWindow)
                    break;
            }
        }
    }
    for (std::size_t k = onRow.size(); k-- > 0 && overflow > 0;) {
        TArrangeRecord& r = records[onRow[k]];
        if (r.Shrink == tbsmChevron || (r.Shrink == tbsmWrap && onRow.size() == 1)) {
            const int loss = std::min(overflow, r.Current - r.Minimum);
            r.Current -= loss;
            overflow -= loss;
        }
    }

    int pos = 0;
    for (std::size_t k = 0; k < onRow.size(); ++k) {
        TArrangeRecord& r = records[onRow[k]];
        const bool fullSize = r.Window->GetFullSize();
        const bool stretch = r.Window->GetStretch();
        if (fullSize || stretch) {
            r.Current += r.Gap;
            r.Gap = 0;
        }
        if (fullSize)
            r.Current = std::max(r.Current, available);
        r.Position = pos + r.Gap;
        if (stretch) {
            if (k + 1 < onRow.size()) {
                TArrangeRecord& next = records[onRow[k + 1]];
                r.Current += next.Gap;
                next.Gap = 0;
            } else {
                r.Current = std::max(r.Current, available - r.Position);
            }
        }
        pos = r.Position + r.Current;
    }
}

// Thickness of one row from what its windows need at their new lengths; each window is placed. Returns the
// row's thickness.
int PlaceRow(std::vector<TArrangeRecord>& records, const std::vector<std::size_t>& onRow, int offset, bool vertical,
             TTBDockType kind)
{
    std::vector<bool> recalculate(onRow.size());
    std::vector<int> shrunk(onRow.size());
    int largest = 0;
    for (std::size_t k = 0; k < onRow.size(); ++k) {
        TArrangeRecord& r = records[onRow[k]];
        shrunk[k] = r.Current < r.Natural ? r.Current : 0;
        recalculate[k] = r.Shrink != tbsmNone && shrunk[k] != r.Window->GetShrunkLength();
        r.Window->SetShrunkLength(shrunk[k]);
        TSize size = r.NaturalSize;
        if (recalculate[k]) {
            size = r.Window->ComputeDockedSize(kind);
        } else if (r.Shrink == tbsmWrap && r.Current < r.Natural) {
            const TSize outer = r.Window->GetOuterSize();
            size = TSize{outer.cx - r.Frame.x, outer.cy - r.Frame.y};
        }
        const int thickness = Across(size, vertical);
        r.Window->SetLastRowThickness(thickness);
        largest = std::max(largest, thickness);
    }
    // The docked frame takes 2 pixels on either side across the row.
    const int rowThickness = largest > 0 ? largest + 4 : 0;
    for (std::size_t k = 0; k < onRow.size(); ++k) {
        const TArrangeRecord& r = records[onRow[k]];
        const TRect bounds = vertical ? TRect{offset, r.Position, offset + rowThickness, r.Position + r.Current}
                                      : TRect{r.Position, offset, r.Position + r.Current, offset + rowThickness};
        r.Window->PlaceInDock(bounds, recalculate[k]);
        // Placing lays the window out again, which forgets the shrunk length.
        r.Window->SetShrunkLength(shrunk[k]);
    }
    return rowThickness;
}

std::vector<std::size_t> ShownOnRow(const std::vector<TArrangeRecord>& records, int row)
{
    std::vector<std::size_t> onRow;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].Shown && records[i].Row == row)
            onRow.push_back(i);
    return onRow;
}

}  // namespace

// ---- Row queries ------------------------------------------------------------------------------------------

bool TDockLayout::HasVisibleWindows() const
{
    return std::any_of(WindowList.begin(), WindowList.end(),
                       [](const ITBDockedWindow* w) { return w->IsShownOnDock(); });
}

int TDockLayout::RowSize(int row, bool* fullSize) const
{
    if (fullSize != nullptr)
        *fullSize = false;
    if (row < 0)
        return 0;
    int size = 0;
    for (const ITBDockedWindow* w : WindowList) {
        if (!w->IsShownOnDock() || w->GetEffectiveRow() != row)
            continue;
        size = std::max(size, Across(w->GetOuterSize(), IsVertical()));
        if (fullSize != nullptr && w->GetFullSize())
            *fullSize = true;
    }
    return size;
}

int TDockLayout::RowLastThickness(int row, const ITBDockedWindow* except) const
{
    int thickness = 0;
    for (const ITBDockedWindow* w : WindowList)
        if (w != except && w->IsShownOnDock() && w->GetEffectiveRow() == row)
            thickness = std::max(thickness, w->GetLastRowThickness());
    return thickness;
}

int TDockLayout::RowAt(int offset) const
{
    const int highest = HighestRow(true);
    int sum = 0;
    for (int row = 0; row <= highest; ++row) {
        sum += RowSize(row);
        if (sum > offset)
            return row;
    }
    return highest + 1;
}

int TDockLayout::HighestRow(bool effective) const
{
    int highest = -1;
    for (const ITBDockedWindow* w : WindowList)
        highest = std::max(highest, effective ? w->GetEffectiveRow() : w->GetDockRow());
    return highest;
}

void TDockLayout::CommitEffectivePositions()
{
    for (ITBDockedWindow* w : WindowList) {
        w->SetDockRow(w->GetEffectiveRow());
        w->SetDockPos(w->GetEffectivePos());
    }
}

// ---- Arrangement ------------------------------------------------------------------------------------------

std::optional<int> ArrangeDockedWindows(TDockLayout& dock, const TDockArrangeInput& input)
{
    if (dock.SuspendCount > 0 || input.Loading) {
        dock.ArrangePending = true;
        return std::nullopt;
    }
    const TArrangeScope scope(dock);
    if (!dock.HasVisibleWindows())
        return input.Designing ? 9 : (dock.FixAlign ? 1 : 0);

    const bool vertical = dock.IsVertical();
    const int available = std::max(0, input.Length - (vertical ? dock.NonClientHeight : dock.NonClientWidth));
    const auto destroying = [](const ITBDockedWindow* w) { return w->IsBeingDestroyed(); };
    std::erase_if(dock.WindowList, destroying);
    std::erase_if(dock.VisibleList, destroying);
    if (dock.LimitToOneRow)
        for (ITBDockedWindow* w : dock.WindowList)
            w->SetDockRow(0);

    std::vector<ITBDockedWindow*> sorted = dock.WindowList;
    SortByPlace(sorted, dock);
    SortByPlace(dock.VisibleList, dock);

    std::vector<TArrangeRecord> records;
    records.reserve(sorted.size());
    for (ITBDockedWindow* w : sorted) {
        TArrangeRecord& r = records.emplace_back();
        r.Window = w;
        r.Shown = w->IsShownOnDock();
        r.Row = w->GetDockRow();
        r.Position = w->GetDockPos();
    }
    SplitRows(records, dock.LimitToOneRow);
    RemoveEmptyRows(records);

    // A row that wraps makes the next one, so the number of rows grows while they are laid out.
    for (int row = 0; row <= HighestRecordRow(records); ++row) {
        int rowLength = 0;
        const std::vector<std::size_t> onRow =
            FillRow(records, row, available, vertical, dock.LimitToOneRow, rowLength);
        LayOutRow(records, onRow, rowLength, available, dock);
    }

    for (const TArrangeRecord& r : records) {
        r.Window->SetEffectivePlace(r.Row, r.Position);
        if (dock.CommitPositions) {
            r.Window->SetDockRow(r.Row);
            r.Window->SetDockPos(r.Position);
        }
    }
    if (dock.CommitPositions)
        dock.WindowList = sorted;

    int rows = 0;
    const int highest = HighestRecordRow(records);
    for (int row = 0; row <= highest; ++row)
        rows += PlaceRow(records, ShownOnRow(records, row), rows, vertical, DockTypeOf(dock.Position));
    // The bound lines across the dock: top and bottom lines for a horizontal dock.
    return (vertical ? dock.NonClientWidth : dock.NonClientHeight) + rows;
}

}  // namespace ovrel::toolbars
