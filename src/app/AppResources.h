#pragma once
// The application's pictures, built into the program: the edit dialog's glyphs, the about box's logo and the
// program icon.

#include "toolkit/Graphics.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace ovrel::app {

/// Loads the glyph of that name ("PROPDATETIME", "UNDO") into bitmap; EResNotFound when there is none.
void LoadAppBitmap(toolkit::TBitmap& bitmap, std::string_view name);
/// The bytes of the resource file of that name with its extension ("ABOUT.jpg"); EResNotFound when there is
/// none.
[[nodiscard]] std::vector<std::uint8_t> AppResourceData(std::string_view name);
/// Makes the program icon ("MAINICON.png") the icon of every window; nothing without a running Qt application.
void ApplyProgramIcon();

}  // namespace ovrel::app
