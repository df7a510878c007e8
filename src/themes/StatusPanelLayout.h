#pragma once
// How a status bar lays its panels out in one row: panels are hidden by view priority when the bar is too narrow
// and the spare width goes to panels by stretch priority. A pure function; the bar applies the results.

#include "toolkit/Graphics.h"

#include <span>

namespace ovrel::themes {

/// One panel of a status bar: what the layout reads, then what it sets.
struct TStatusPanelLayout {
    int Size = 50;
    int MaxSize = 0;  // upper bound for stretching; 0 none
    int ViewPriority = 100;  // 0 never shown; 100 never hidden for lack of room
    int StretchPriority = 0;  // 0 never stretched
    // Results.
    bool Shown = false;
    int Width = 0;
    toolkit::TRect Rect;  // in bar coordinates; empty when not shown
    bool AtRightEdge = false;  // the right edge is exactly the bar's available width
};

/// Lays the panels out in collection order inside clientRect (its top moved down by 2). Among equal priorities
/// the later panel is hidden first and stretched first. A stretchable panel already at its MaxSize takes nothing
/// and leaves the spare width to the next one.
void ArrangePanels(std::span<TStatusPanelLayout> panels, const toolkit::TRect& clientRect);

}  // namespace ovrel::themes
