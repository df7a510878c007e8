#include "platform/ui/Window.h"

#include "platform/ui/SysTables.h"
#include "platform/ui/Window_p.h"

#include <algorithm>

namespace ovrel::ui {
namespace {

int ScrollBarSize(int metric)
{
    const int size = GetSystemMetrics(metric);
    return size > 0 ? size : 16;
}

}  // namespace

// ---- Scroll bars ------------------------------------------------------------------------------------------

namespace {

ScrollBarState* Bar(Window* w, int bar)
{
    if (bar == SB_HORZ)
        return &w->HorzBar;
    if (bar == SB_VERT)
        return &w->VertBar;
    return nullptr;
}

void SetBarVisible(Window* w, int bar, bool visible)
{
    const DWORD flag = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    ScrollBarState* state = Bar(w, bar);
    if (state->Visible == visible && ((w->Style & flag) != 0) == visible)
        return;
    state->Visible = visible;
    if (visible)
        w->Style |= flag;
    else
        w->Style &= ~flag;
    // The client area changes: WM_NCCALCSIZE, then WM_SIZE from the default handler.
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A bar lies in the frame: redrawing it leaves the client alone.
void RedrawBars(Window* w)
{
    const RECT none{};
    RedrawWindow(w, &none, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

}  // namespace

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw)
{
    Window* w = ToWindow(window);
    ScrollBarState* state = w != nullptr ? Bar(w, bar) : nullptr;
    if (state == nullptr || info == nullptr)
        return 0;
    SCROLLINFO next = state->Info;
    if ((info->fMask & SIF_RANGE) != 0) {
        next.nMin = info->nMin;
        next.nMax = std::max(info->nMin, info->nMax);
    }
    if ((info->fMask & SIF_PAGE) != 0)
        next.nPage = std::min<UINT>(info->nPage, static_cast<UINT>(next.nMax - next.nMin + 1));
    if ((info->fMask & SIF_POS) != 0)
        next.nPos = info->nPos;
    const int maxPos = next.nMax - std::max(static_cast<int>(next.nPage) - 1, 0);
    next.nPos = std::clamp(next.nPos, next.nMin, std::max(next.nMin, maxPos));
    // The thumb is not dragged here, so its track position is always the position.
    next.nTrackPos = next.nPos;
    const bool changed = next.nMin != state->Info.nMin || next.nMax != state->Info.nMax ||
                         next.nPage != state->Info.nPage || next.nPos != state->Info.nPos;
    state->Info = next;
    // An empty range hides the bar, unless asked to keep it shown disabled.
    const bool scrollable = next.nMax > next.nMin && static_cast<int>(next.nPage) <= next.nMax - next.nMin;
    if ((info->fMask & SIF_RANGE) != 0 || (info->fMask & SIF_PAGE) != 0) {
        if ((info->fMask & SIF_DISABLENOSCROLL) != 0) {
            state->Enabled = scrollable;
            SetBarVisible(w, bar, true);
        } else {
            state->Enabled = true;
            SetBarVisible(w, bar, scrollable);
        }
    }
    if (changed && redraw && state->Visible)
        RedrawBars(w);
    return state->Info.nPos;
}

BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info)
{
    Window* w = ToWindow(window);
    ScrollBarState* state = w != nullptr ? Bar(w, bar) : nullptr;
    if (state == nullptr || info == nullptr)
        return FALSE;
    const UINT mask = info->fMask;
    if ((mask & SIF_RANGE) != 0) {
        info->nMin = state->Info.nMin;
        info->nMax = state->Info.nMax;
    }
    if ((mask & SIF_PAGE) != 0)
        info->nPage = state->Info.nPage;
    if ((mask & SIF_POS) != 0)
        info->nPos = state->Info.nPos;
    if ((mask & SIF_TRACKPOS) != 0)
        info->nTrackPos = state->Info.nTrackPos;
    return TRUE;
}

BOOL ShowScrollBar(HWND window, int bar, BOOL show)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    if (bar == SB_HORZ || bar == SB_BOTH)
        SetBarVisible(w, SB_HORZ, show != FALSE);
    if (bar == SB_VERT || bar == SB_BOTH)
        SetBarVisible(w, SB_VERT, show != FALSE);
    return TRUE;
}

BOOL EnableScrollBar(HWND window, int bar, UINT arrows)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    for (int b : {SB_HORZ, SB_VERT}) {
        if (bar == b || bar == SB_BOTH) {
            ScrollBarState* state = Bar(w, b);
            const bool enabled = arrows != ESB_DISABLE_BOTH;
            if (state->Enabled != enabled) {
                state->Enabled = enabled;
                RedrawBars(w);
            }
        }
    }
    return TRUE;
}

// Where the standard bars sit, in window coordinates; empty when hidden.
RECT ScrollBarRect(const Window* w, int bar)
{
    const bool vert = w->VertBar.Visible;
    const bool horz = w->HorzBar.Visible;
    const int cx = ScrollBarSize(SM_CXVSCROLL);
    const int cy = ScrollBarSize(SM_CYHSCROLL);
    if (bar == SB_VERT && vert)
        return RECT{w->Client.right, w->Client.top, w->Client.right + cx, w->Client.bottom};
    if (bar == SB_HORZ && horz)
        return RECT{w->Client.left, w->Client.bottom, w->Client.right, w->Client.bottom + cy};
    return RECT{};
}

}  // namespace ovrel::ui
