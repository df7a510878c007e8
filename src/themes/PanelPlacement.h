#pragma once
// The placement of a dockable panel as the configuration stores it: a block of 47 little-endian bytes
// (offset: size field)
//    0: 4 Size (47 in a valid block)      4: 1 Visible          5: 1 Floating
//    6: 4 FloatingX                      10: 4 FloatingY       14: 4 FloatingWidth    18: 4 FloatingHeight
//   22: 1 DockPosition (0 top, 1 bottom, 2 left, 3 right)
//   23: 4 DockPos   27: 4 DockRow   31: 4 DockedWidth   35: 4 DockedHeight   39: 4 SplitWidth   43: 4 SplitHeight
// Offsets 6 to 21 are the floating half, 22 to 46 the docked half; a save writes only one of them. A panel is
// saved into such a block and restored from it through its setters.

#include "toolbars/DockTypes.h"

#include <cstdint>
#include <optional>
#include <span>

namespace ovrel::themes {

class TTBXDockablePanel;

inline constexpr std::size_t DockablePanelPlacementSize = 47;

/// The values of a placement block. Read from a block they are checked: Visible and Floating are true when
/// their byte is not zero, DockPosition is empty outside 0..3, sizes and DockRow lie in 0..32767, FloatingX,
/// FloatingY and DockPos in -32768..32767.
struct TDockablePanelPlacement {
    bool Visible = false;
    bool Floating = false;
    int FloatingX = 0;
    int FloatingY = 0;
    int FloatingWidth = 0;
    int FloatingHeight = 0;
    std::optional<int> DockPosition;
    int DockPos = 0;
    int DockRow = 0;
    int DockedWidth = 0;
    int DockedHeight = 0;
    int SplitWidth = 0;
    int SplitHeight = 0;
};

/// Which half of the block a save writes besides Size, Visible and Floating.
enum class TPlacementHalf : std::uint8_t { None, Floating, Docked };

/// Writes Size (47), Visible, Floating and the chosen half; every other byte keeps its value. A docked half
/// without a DockPosition writes 0 there.
void WritePlacementBlock(std::span<std::uint8_t, DockablePanelPlacementSize> block,
                         const TDockablePanelPlacement& placement, TPlacementHalf half);
/// The checked values of a block; none when the block is not 47 bytes long or its Size field is not 47.
[[nodiscard]] std::optional<TDockablePanelPlacement> ReadPlacementBlock(std::span<const std::uint8_t> block);

/// Writes Size, Visible, Floating and the half the panel is in: a floating panel its frame's place on the screen
/// and its floating sizes, a docked one its dock's side, place and sizes. A panel in neither keeps both halves
/// as the block held them. Returns true.
bool SaveDockablePanelPlacement(const TTBXDockablePanel& panel,
                                std::span<std::uint8_t, DockablePanelPlacementSize> block);
/// Applies a block through the panel's setters: visibility, then floating (at the saved place, brought back onto
/// a screen when it lies off every one) or docked (into the first dock of the saved side, then DockPos, DockRow
/// and the docked and split sizes). A docked block without a dock of its side on the form leaves the panel in
/// its dock. Returns false and changes nothing when the block is no placement.
bool RestoreDockablePanelPlacement(TTBXDockablePanel& panel, std::span<const std::uint8_t> block);
/// The first dock (multi-docks included) of that side among the direct children of the panel's owner; none when
/// there is none or the owner is no windowed control.
[[nodiscard]] toolbars::TTBDock* FindDockByPosition(const TTBXDockablePanel& panel, toolbars::TTBDockPosition position);

}  // namespace ovrel::themes
