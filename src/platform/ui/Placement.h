#pragma once
// The window placement record as the configuration stores it: 44 bytes, little-endian, in the field order of
// WINDOWPLACEMENT (Window.h). GetWindowPlacement/SetWindowPlacement read and apply it.

#include "platform/ui/Window.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <type_traits>

namespace ovrel::ui {

inline constexpr std::size_t PlacementSize = 44;
static_assert(sizeof(WINDOWPLACEMENT) == PlacementSize);
static_assert(std::is_standard_layout_v<WINDOWPLACEMENT> && std::is_trivially_copyable_v<WINDOWPLACEMENT>);

[[nodiscard]] std::array<std::uint8_t, PlacementSize> PlacementToBytes(const WINDOWPLACEMENT& placement);
/// None unless the block is 44 bytes and its length field holds 44 (a zeroed block is no placement).
[[nodiscard]] std::optional<WINDOWPLACEMENT> PlacementFromBytes(std::span<const std::uint8_t> block);

}  // namespace ovrel::ui
