#include "themes/PanelPlacement.h"

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

}  // namespace ovrel::themes
