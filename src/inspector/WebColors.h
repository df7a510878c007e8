#pragma once
// The web colour names and the "#RRGGBB" texts of colour items in web format.

#include "toolkit/Graphics.h"

#include <array>
#include <string>
#include <string_view>

namespace ovrel::inspector {

struct TWebColor {
    std::string_view Name;  // lower case
    std::string_view Value;  // "#" and six upper-case hexadecimal digits: red, green, blue
};

/// "transparent" (as white) first, then the 140 named web colours in alphabetical order.
extern const std::array<TWebColor, 141> WebColors;

/// The "#RRGGBB" value of a colour name (any case); any other text unchanged.
[[nodiscard]] std::string WebColorToHex(std::string_view text);
/// A colour name or a text whose characters after the first are one to six hexadecimal digits (red first);
/// clNone for anything else. Never raises.
[[nodiscard]] toolkit::TColor WebColorToColor(std::string_view text);
/// "#RRGGBB" of a colour, system colours resolved; the empty text for clNone, which has none.
[[nodiscard]] std::string ColorToWebColor(toolkit::TColor color);

}  // namespace ovrel::inspector
