#pragma once
// The arithmetic of the themes' own drop shadows: how a shadow window shows (by the platform's capabilities),
// the fading alpha of its band, and where the bands of a pop-up (and the item it hangs from) lie.

#include "toolkit/Graphics.h"

#include "platform/ui/SysTables.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace ovrel::themes {

/// Which ends of a band fade out as corners: the start (left or top) and the finishing end (right or bottom).
inline constexpr unsigned SHADOW_START = 0x01;
inline constexpr unsigned SHADOW_FINISH = 0x02;

/// How a shadow window shows: a plain band in the button-shadow colour, a layered window with per-pixel alpha,
/// or a band alpha-blended over what lies behind it.
enum class TShadowStyle : std::uint8_t { Plain = 0, Layered = 1, AlphaBlended = 2 };

/// Plain when flat; else layered when per-pixel layered windows exist, alpha-blended when alpha blending does,
/// plain otherwise.
[[nodiscard]] TShadowStyle ChooseShadowStyle(bool flat, const ui::Capabilities& capabilities);

/// The alpha of every pixel (row by row) of a band below an edge: fading downwards, with corners at the ends
/// named by edges. Empty for a width or height of 0 or less.
[[nodiscard]] std::vector<std::uint8_t> HorzShadowAlpha(int width, int height, unsigned edges);
/// The same for a band right of an edge, fading rightwards, with corners at its top and bottom.
[[nodiscard]] std::vector<std::uint8_t> VertShadowAlpha(int width, int height, unsigned edges);

/// One shadow window of a group.
struct TShadowPart {
    bool Vertical = false;
    toolkit::TRect Bounds;  // screen coordinates
    unsigned Edges = 0;  // SHADOW_ bits
};

/// The windows of a group in their order: first vertical, first horizontal, second vertical, second horizontal,
/// third vertical, third horizontal; absent ones empty.
using TShadowLayout = std::array<std::optional<TShadowPart>, 6>;

/// Where the shadows of a pop-up (and of the item it hangs from, when itemRect is not empty) lie. halveSize:
/// the shadows are flat, or neither layered windows nor alpha blending exist. A band of no width or height is
/// left out.
[[nodiscard]] TShadowLayout PlaceShadows(const toolkit::TRect& itemRect, const toolkit::TRect& popupRect, int size,
                                         bool halveSize);

}  // namespace ovrel::themes
