#pragma once
// Menu animation: a pop-up window fades in (where windows can be layered) or slides out of its parent item
// in the direction its placement chose. The window's final image is captured once; a worker thread keeps the
// time and tells the window's thread, one step message at a time, when the next step is due; the window's
// thread draws each step. One animation runs in the process at a time.

#include "platform/ui/Types.h"
#include "toolkit/System.h"

#include <cstdint>
#include <functional>
#include <thread>

namespace ovrel::toolbars {

/// Posted to the animated window by the worker: LParam the animation's serial number. The next step is due,
/// or the animation is over.
inline constexpr ui::UINT WM_TB_ANIMSTEP = 0x955;
/// Sent to the window once the animation has ended and it shows its final image.
inline constexpr ui::UINT WM_TB_ANIMENDED = 0x956;

/// Ends any running animation, captures window's look, hides all of it and shows the window without
/// activation, then animates it over milliseconds: fading when blend and the platform can, else sliding
/// towards direction (tbad bits; none shows it all at the first step).
void StartMenuAnimation(ui::HWND window, int milliseconds, bool blend, std::uint8_t direction);
/// The window's handling of WM_TB_ANIMSTEP: draws the step that is due, or ends the animation when the worker
/// has finished. A step of an animation that was replaced, or for another window, is ignored.
void ProcessAnimationStep(ui::HWND window, const toolkit::TMessage& message);
/// Ends the running animation (only window's when given) and shows the final image; waits for the worker.
void EndMenuAnimation(ui::HWND window);
/// The window being animated; none when no animation runs.
[[nodiscard]] ui::HWND AnimatedWindow();

/// Starts the worker into thread; false when no thread could be made (the window then shows complete at
/// once). Tests put a failing one in place; null restores the default. Returns the previous one.
using TAnimationWorkerStarter = bool (*)(std::thread& thread, std::function<void()> work);
TAnimationWorkerStarter SetAnimationWorkerStarter(TAnimationWorkerStarter starter);

}  // namespace ovrel::toolbars
