#include "themes/PanelPlacement.h"

#include "themes/DockablePanels.h"

#include "toolbars/Dock.h"
#include "toolbars/FloatingWindow.h"
#include "toolkit/Controls.h"

#include <algorithm>

namespace ovrel::themes {

namespace {

constexpr std::size_t SizeOffset = 0;
constexpr std::size_t VisibleOffset = 4;
constexpr std::size_t FloatingOffset = 5;
constexpr std::size_t FloatingXOffset = 6;
constexpr std::size_t FloatingYOffset = 10;
constexpr std::size_t FloatingWidthOffset = 14;
constexpr std::size_t FloatingHeightOffset = 18;
constexpr std::size_t DockPositionOffset = 22;
constexpr std::size_t DockPosOffset = 23;
constexpr std::size_t DockRowOffset = 27;
constexpr std::size_t DockedWidthOffset = 31;
constexpr std::size_t DockedHeightOffset = 35;
constexpr std::size_t SplitWidthOffset = 39;
constexpr std::size_t SplitHeightOffset = 43;

void PutInt32(std::span<std::uint8_t> block, std::size_t at, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i)
        block[at + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t GetInt32(std::span<const std::uint8_t> block, std::size_t at)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(block[at + i]) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

// Sizes stay small enough that a frame added to them cannot overflow; positions stay on a plausible desktop.
int SizeAt(std::span<const std::uint8_t> block, std::size_t at) { return std::clamp(GetInt32(block, at), 0, 32767); }
int PositionAt(std::span<const std::uint8_t> block, std::size_t at)
{
    return std::clamp(GetInt32(block, at), -32768, 32767);
}

}  // namespace

void WritePlacementBlock(std::span<std::uint8_t, DockablePanelPlacementSize> block,
                         const TDockablePanelPlacement& placement, TPlacementHalf half)
{
    PutInt32(block, SizeOffset, static_cast<std::int32_t>(DockablePanelPlacementSize));
    block[VisibleOffset] = placement.Visible ? 1 : 0;
    block[FloatingOffset] = placement.Floating ? 1 : 0;
    if (half == TPlacementHalf::Floating) {
        PutInt32(block, FloatingXOffset, placement.FloatingX);
        PutInt32(block, FloatingYOffset, placement.FloatingY);
        PutInt32(block, FloatingWidthOffset, placement.FloatingWidth);
        PutInt32(block, FloatingHeightOffset, placement.FloatingHeight);
    } else if (half == TPlacementHalf::Docked) {
        block[DockPositionOffset] = static_cast<std::uint8_t>(placement.DockPosition.value_or(0));
        PutInt32(block, DockPosOffset, placement.DockPos);
        PutInt32(block, DockRowOffset, placement.DockRow);
        PutInt32(block, DockedWidthOffset, placement.DockedWidth);
        PutInt32(block, DockedHeightOffset, placement.DockedHeight);
        PutInt32(block, SplitWidthOffset, placement.SplitWidth);
        PutInt32(block, SplitHeightOffset, placement.SplitHeight);
    }
}

std::optional<TDockablePanelPlacement> ReadPlacementBlock(std::span<const std::uint8_t> block)
{
    if (block.size() != DockablePanelPlacementSize ||
        GetInt32(block, SizeOffset) != static_cast<std::int32_t>(DockablePanelPlacementSize))
        return std::nullopt;
    TDockablePanelPlacement p;
    p.Visible = block[VisibleOffset] != 0;
    p.Floating = block[FloatingOffset] != 0;
    p.FloatingX = PositionAt(block, FloatingXOffset);
    p.FloatingY = PositionAt(block, FloatingYOffset);
    p.FloatingWidth = SizeAt(block, FloatingWidthOffset);
    p.FloatingHeight = SizeAt(block, FloatingHeightOffset);
    if (block[DockPositionOffset] <= 3)
        p.DockPosition = block[DockPositionOffset];
    p.DockPos = PositionAt(block, DockPosOffset);
    p.DockRow = SizeAt(block, DockRowOffset);
    p.DockedWidth = SizeAt(block, DockedWidthOffset);
    p.DockedHeight = SizeAt(block, DockedHeightOffset);
    p.SplitWidth = SizeAt(block, SplitWidthOffset);
    p.SplitHeight = SizeAt(block, SplitHeightOffset);
    return p;
}

// ---- Panels -----------------------------------------------------------------------------------------------

bool SaveDockablePanelPlacement(const TTBXDockablePanel& panel,
                                std::span<std::uint8_t, DockablePanelPlacementSize> block)
{
    TDockablePanelPlacement placement;
    placement.Visible = panel.GetVisible();
    placement.Floating = panel.GetFloating();
    TPlacementHalf half = TPlacementHalf::None;
    if (placement.Floating) {
        // Where the frame is: resizing by an edge, snapping and being moved back on screen leave the panel's
        // own floating position behind.
        toolkit::TPoint at = panel.GetFloatingPosition();
        if (const auto* frame = dynamic_cast<const toolbars::TTBFloatingWindowParent*>(panel.GetParent()))
            at = toolkit::TPoint{frame->GetLeft(), frame->GetTop()};
        placement.FloatingX = at.x;
        placement.FloatingY = at.y;
        placement.FloatingWidth = panel.GetFloatingWidth();
        placement.FloatingHeight = panel.GetFloatingHeight();
        half = TPlacementHalf::Floating;
    } else if (const toolbars::TTBDock* dock = panel.GetDocked() ? panel.GetCurrentDock() : nullptr) {
        placement.DockPosition = dock->GetPosition();
        placement.DockPos = panel.GetDockPos();
        placement.DockRow = panel.GetDockRow();
        placement.DockedWidth = panel.GetDockedWidth();
        placement.DockedHeight = panel.GetDockedHeight();
        placement.SplitWidth = panel.GetSplitWidth();
        placement.SplitHeight = panel.GetSplitHeight();
        half = TPlacementHalf::Docked;
    }
    WritePlacementBlock(block, placement, half);
    return true;
}

bool RestoreDockablePanelPlacement(TTBXDockablePanel& panel, std::span<const std::uint8_t> block)
{
    const std::optional<TDockablePanelPlacement> placement = ReadPlacementBlock(block);
    if (!placement)
        return false;
    const TDockablePanelPlacement& p = *placement;
    panel.SetVisible(p.Visible);
    if (p.Floating) {
        panel.SetFloating(true);
        panel.MoveFloatingTo(toolkit::TPoint{p.FloatingX, p.FloatingY});
        panel.SetFloatingWidth(p.FloatingWidth);
        panel.SetFloatingHeight(p.FloatingHeight);
        // A panel saved on a monitor that is gone stays within reach.
        panel.MoveOnScreen(true);
        return true;
    }
    toolbars::TTBDock* dock =
        p.DockPosition ? FindDockByPosition(panel, static_cast<toolbars::TTBDockPosition>(*p.DockPosition)) : nullptr;
    if (dock == nullptr) {
        // No dock of that side (or none named): the panel stays in the dock its form gave it; a floating one
        // goes back to the dock it came from.
        if (panel.GetFloating()) {
            if (panel.GetLastDock() != nullptr)
                panel.SetCurrentDock(panel.GetLastDock());
            else
                panel.SetFloating(false);
        }
        return true;
    }
    panel.SetCurrentDock(dock);
    panel.SetDockPos(p.DockPos);
    panel.SetDockRow(p.DockRow);
    panel.SetDockedWidth(p.DockedWidth);
    panel.SetDockedHeight(p.DockedHeight);
    panel.SetSplitWidth(p.SplitWidth);
    panel.SetSplitHeight(p.SplitHeight);
    return true;
}

toolbars::TTBDock* FindDockByPosition(const TTBXDockablePanel& panel, toolbars::TTBDockPosition position)
{
    const auto* owner = dynamic_cast<const toolkit::TWinControl*>(panel.GetOwner());
    if (owner == nullptr)
        return nullptr;
    for (int i = 0; i < owner->GetControlCount(); ++i) {
        auto* dock = dynamic_cast<toolbars::TTBDock*>(owner->GetControl(i));
        if (dock != nullptr && dock->GetPosition() == position)
            return dock;
    }
    return nullptr;
}

}  // namespace ovrel::themes
