#pragma once
// The inspector's pictures and cursors, from the resource file of this layer.

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <string_view>

namespace ovrel::inspector {

/// Screen cursor identifiers the inspector registers.
inline constexpr toolkit::TCursor crReversedArrow = 100;  // over the select-all strip of an editor
inline constexpr toolkit::TCursor crRoll = 3003;  // rolling, pointer near the origin
inline constexpr toolkit::TCursor crRollUp = 3004;
inline constexpr toolkit::TCursor crRollDown = 3005;

/// Loads the bitmap resource of that name ("CHECKMARK", "NEWROW" ...); EResNotFound for an unknown name.
void LoadResourceBitmap(toolkit::TBitmap* bitmap, std::string_view name);

/// Registers cursor 100 with the screen. The cursor is made once; registering again costs nothing.
void RegisterEditorCursor();
/// Registers the rolling cursors 3003 to 3005 with the screen, made once as well.
void RegisterRollCursors();

}  // namespace ovrel::inspector
