#pragma once
// What every themed control shares: registration for theme changes, the view type and effective colour a control
// answers, the background of its parent behind it, and re-framing after a change of its non-client area.

#include "themes/ThemeInterface.h"

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include "platform/ui/Types.h"

namespace ovrel::themes {

/// Registers the control for WM_TBX_THEMECHANGED with the running nexus (listed once); nothing without one.
void AddThemeControl(toolkit::TControl* control);
void RemoveThemeControl(toolkit::TControl* control);

/// The colour a control shows: its answer to WM_TBX_GETEFFECTIVECOLOR when it gives one, else its Color;
/// clBtnFace for none.
[[nodiscard]] toolkit::TColor GetEffectiveColor(toolkit::TControl* control);
/// The control's answer to WM_TBX_GETVIEWTYPE; 0 for none.
[[nodiscard]] int GetWinViewType(toolkit::TControl* control);

/// Paints what lies behind control into rect of dc (the control's client coordinates): the background of a dock
/// it sits in, else its parent's effective colour (clBtnFace without a parent).
void DrawParentBackground(toolkit::TControl* control, ui::HDC dc, const toolkit::TRect& rect);

/// The window is framed again (WM_NCCALCSIZE) and keeps its client size; then it is invalidated.
void UpdateNCArea(toolkit::TWinControl* control);
/// Repaints the frame and the client of the window (when it has one).
void RedrawFrame(toolkit::TWinControl* control);

}  // namespace ovrel::themes
