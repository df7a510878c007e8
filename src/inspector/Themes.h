#pragma once
// Whether the inspector's controls draw themed, and the one themed drawing call they share.

#include "platform/ui/Types.h"

#include <string_view>

namespace ovrel::inspector {

/// True when the styles library is there and both the application and the desktop are themed. A backend
/// that fails counts as unthemed, so painting falls back to the classic look instead of failing.
[[nodiscard]] bool ThemesEnabled();

/// Draws the background of part in state into rect on dc with the theme data of window for className
/// ("button", "combobox", "toolbar" ...), no clip rectangle. Callers ask only when ThemesEnabled; a backend
/// that fails draws nothing.
void DrawThemedBackground(ui::HWND window, ui::HDC dc, const ui::RECT& rect, int state, int part,
                          std::string_view className);

}  // namespace ovrel::inspector
