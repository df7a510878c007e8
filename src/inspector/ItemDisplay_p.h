#pragma once
// Drawing steps the row displays share.

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

namespace ovrel::inspector::detail {

/// The window themed parts are drawn for: the one the canvas paints, when it has one.
inline ui::HWND CanvasWindow(toolkit::TCanvas* canvas)
{
    auto* controlCanvas = dynamic_cast<toolkit::TControlCanvas*>(canvas);
    toolkit::TControl* control = controlCanvas != nullptr ? controlCanvas->GetControl() : nullptr;
    toolkit::TWinControl* windowed = control != nullptr ? control->GetWindowedSelf() : nullptr;
    return windowed != nullptr && windowed->HandleAllocated() ? windowed->GetHandle() : nullptr;
}

inline void Fill(toolkit::TCanvas* canvas, const toolkit::TRect& rect, toolkit::TColor color)
{
    canvas->GetBrush()->SetColor(color);
    canvas->GetBrush()->SetStyle(toolkit::bsSolid);
    canvas->FillRect(rect);
}

/// A rectangle in the pen colour, filled with the brush colour.
inline void FramedBox(toolkit::TCanvas* canvas, const toolkit::TRect& rect, toolkit::TColor pen, toolkit::TColor brush)
{
    canvas->GetPen()->SetColor(pen);
    canvas->GetBrush()->SetColor(brush);
    canvas->GetBrush()->SetStyle(toolkit::bsSolid);
    canvas->Rectangle(rect);
}

inline void Frame(toolkit::TCanvas* canvas, const toolkit::TRect& rect, toolkit::TColor color)
{
    canvas->GetBrush()->SetColor(color);
    canvas->GetBrush()->SetStyle(toolkit::bsSolid);
    canvas->FrameRect(rect);
}

inline bool RightToLeft(toolkit::TBiDiMode mode) { return mode != toolkit::bdLeftToRight; }

}  // namespace ovrel::inspector::detail
