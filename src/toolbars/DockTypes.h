#pragma once
// The small vocabulary that docks, dockable windows, floating frames and their loops share: where a dock sits,
// what kind of place a window is laid out for, how a window gives way when its row is too short, and the
// hit-test codes of the docked and floating frames.

#include "platform/ui/Types.h"

#include <cstdint>

namespace ovrel::toolbars {

class TTBDock;

/// The edge of the form a dock runs along.
enum TTBDockPosition : std::uint8_t { dpTop, dpBottom, dpLeft, dpRight };

/// Left and right docks stack their rows from left to right and lay windows out downwards.
[[nodiscard]] constexpr bool IsVerticalDock(TTBDockPosition position)
{
    return position == dpLeft || position == dpRight;
}

/// What a window is laid out for: no dock and not floating, its floating frame, a horizontal or a vertical dock.
enum TTBDockType : std::uint8_t { dtNotDocked, dtFloating, dtTopBottom, dtLeftRight };

[[nodiscard]] constexpr TTBDockType DockTypeOf(TTBDockPosition position)
{
    return IsVerticalDock(position) ? dtLeftRight : dtTopBottom;
}

/// How a docked window gives way on a row that is too short: not at all, by wrapping its items, or by hiding
/// them behind a chevron.
enum TTBShrinkMode : std::uint8_t { tbsmNone, tbsmWrap, tbsmChevron };

enum TTBDockMode : std::uint8_t { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };

/// Hit-test codes of our own frames, beyond the platform's: the drag area of a docked window, the close button
/// (docked or floating) and the caption of a floating frame.
inline constexpr ui::LRESULT HT_TB_DRAGAREA = 2000;
inline constexpr ui::LRESULT HT_TB_CLOSEBUTTON = 2001;
inline constexpr ui::LRESULT HT_TB_FLOATCAPTION = 2002;

}  // namespace ovrel::toolbars
