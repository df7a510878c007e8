#pragma once
// Mouse input scripted through our queue for the modal loops of docks, panels and frames: everything a loop reads
// is posted before the loop starts, and the queue is pumped in between.

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <vector>

namespace ovrel::test {

/// Dispatches what the queue holds now (a bounded number of messages).
inline void PumpQueue()
{
    ui::MSG msg;
    for (int guard = 0; guard < 10000 && ui::PeekMessage(&msg, nullptr, 0, 0, ui::PM_REMOVE); ++guard)
        ui::DispatchMessage(&msg);
}

/// The screen point of a point of control's window (frame included).
inline toolkit::TPoint OnWindow(toolkit::TWinControl* control, int x, int y)
{
    toolkit::TRect r{};
    ui::GetWindowRect(control->GetHandle(), &r);
    return toolkit::TPoint{r.left + x, r.top + y};
}

/// Keeps the queue from folding the moves before and after it into one; the loops swallow it.
inline void PostSeparator() { ui::PostKeyInput(ui::WM_KEYUP, ui::VK_F24); }

/// A press at from, moves through the points, then the release at the last one (or Escape instead). Each move
/// is one step of a loop.
inline void PostDrag(toolkit::TPoint from, const std::vector<toolkit::TPoint>& moves, bool release = true,
                     ui::UINT modifiers = 0)
{
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, from, modifiers);
    toolkit::TPoint at = from;
    for (const toolkit::TPoint& p : moves) {
        at = p;
        ui::PostMouseInput(ui::WM_MOUSEMOVE, p, modifiers);
        PostSeparator();
    }
    if (release)
        ui::PostMouseInput(ui::WM_LBUTTONUP, at, modifiers);
    else
        ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_ESCAPE);
}

}  // namespace ovrel::test
