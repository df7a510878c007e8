#pragma once
// The arithmetic of panels stacked along a multi-dock: how a dock's length is shared among its panels, and how
// a split drag between two of them moves the sizes. Pure functions; the dock and the panels apply the results.

#include <span>
#include <vector>

namespace ovrel::themes {

/// One panel along the stacking direction of a multi-dock.
struct TStackingRecord {
    int MinSize = 0;
    int MaxSize = 0;  // below MinSize: no limit
    int Size = 0;  // in: the panel's split size; out: its share of the length
    int Position = 0;  // out: its offset from the start of the dock
};

/// Shares length among the records so that they fill it exactly, as far as the limits allow: a MaxSize below
/// MinSize becomes length (and at least MinSize), each Size is clamped into its limits; then, when the sizes do
/// not add up to length, every record takes its MinSize (length at most the sum of the minima) or its MaxSize
/// (at least the sum of the maxima), or the difference is handed out in passes among the records that can still
/// move, over running sums rounded half to even, a record that passes a limit being held at it. Positions are
/// the running sums of the sizes.
void StackPanels(std::span<TStackingRecord> records, int length);

/// One panel of a multi-dock during a split drag, along the stacking direction.
struct TSplitRecord {
    int Size = 0;  // as recorded when the drag began
    int MinSize = 0;
    int MaxSize = 0;
};

/// One panel's working size and position after a split drag step.
struct TSplitResult {
    int Size = 0;
    int Position = 0;
};

/// The sizes after moving the boundary that follows record boundary by travel pixels (negative: towards the
/// start): walking back from that record, each panel takes what its limits allow and passes the rest on; walking
/// forwards from the next one, each gives up the same amount; when the far side cannot give it all, the travel is
/// reduced to what it could give. Positions are running sums from 0. boundary must lie before the last record
/// (EAssertionFailed otherwise).
[[nodiscard]] std::vector<TSplitResult> DistributeSplitDrag(std::span<const TSplitRecord> records, int boundary,
                                                            int travel);

}  // namespace ovrel::themes
