#pragma once
// Edge snapping of floating frames: a frame moved close to the edges of its monitor's work area lands on them.

#include "platform/ui/Types.h"
#include "platform/ui/Window.h"

namespace ovrel::themes {

/// Changes a WM_WINDOWPOSCHANGING request of a frame now at current: when it moves the frame and keeps its size,
/// each edge that comes within snapDistance of the matching edge of workArea is moved onto it, in the order
/// right, bottom, left, top (so on a frame as wide as the work area the left edge wins). A resize, a request
/// without a move and a snapDistance of 0 or less change nothing. Returns whether pos changed.
bool SnapWindowPos(ui::WINDOWPOS& pos, const ui::RECT& current, const ui::RECT& workArea, int snapDistance);

}  // namespace ovrel::themes
