#include "toolbars/FloatingGeometry.h"

#include "platform/ui/Messages.h"
#include "toolbars/DockTypes.h"

#include <algorithm>
#include <cstdlib>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;

TRect FloatingFrameInsets(const TFloatingFrameMetrics& metrics)
{
    const int caption = metrics.ShowCaption ? metrics.CaptionHeight : 0;
    return TRect{metrics.Border.cx, metrics.Border.cy + caption, metrics.Border.cx, metrics.Border.cy};
}

TSize FloatingFrameSize(TSize client, const TFloatingFrameMetrics& metrics)
{
    const TRect insets = FloatingFrameInsets(metrics);
    return TSize{client.cx + insets.left + insets.right, client.cy + insets.top + insets.bottom};
}

TRect FloatingFrameClientRect(const TRect& window, const TFloatingFrameMetrics& metrics)
{
    const TRect insets = FloatingFrameInsets(metrics);
    return TRect{window.left + insets.left, window.top + insets.top, window.right - insets.right,
                 window.bottom - insets.bottom};
}

void FloatingFrameCreateParams(TCreateParams& params, bool resizable, bool designing)
{
    const ui::DWORD sizing = resizable ? ui::WS_THICKFRAME : 0;
    if (designing) {
        params.Style |= ui::WS_BORDER | sizing;
        return;
    }
    params.ClassStyle &= ~(ui::CS_HREDRAW | ui::CS_VREDRAW);
    params.Style = ui::WS_POPUP | ui::WS_BORDER | sizing;
    params.ExStyle = ui::WS_EX_TOOLWINDOW;
}

void FloatingFrameMinMaxInfo(ui::MINMAXINFO& info)
{
    info.ptMinTrackSize = TPoint{1, 1};
    info.ptMaxTrackSize = TPoint{32767, 32767};
}

TRect FloatingCaptionRect(TSize window, const TFloatingFrameMetrics& metrics, bool excludeClose)
{
    const int clientWidth = window.cx - 2 * metrics.Border.cx;
    TRect caption{0, 0, clientWidth, metrics.CaptionHeight - 1};
    ui::OffsetRect(&caption, metrics.Border.cx, metrics.Border.cy);
    if (excludeClose)
        caption.right -= caption.bottom - caption.top;
    return caption;
}

TRect FloatingCloseButtonRect(TSize window, const TFloatingFrameMetrics& metrics)
{
    TRect button = FloatingCaptionRect(window, metrics, false);
    button.left = button.right - metrics.CaptionHeight + 1;
    return button;
}

namespace {

// The code at a point along one edge of the frame: a corner within reach of either end, else the edge.
ui::LRESULT AlongEdge(int at, int length, int reach, ui::LRESULT first, ui::LRESULT edge, ui::LRESULT last)
{
    if (at < reach)
        return first;
    if (at >= length - reach)
        return last;
    return edge;
}

}  // namespace

ui::LRESULT FloatingFrameHitTest(TPoint point, TSize window, const TFloatingFrameMetrics& metrics, ui::LRESULT standard)
{
    const TRect whole{0, 0, window.cx, window.cy};
    if (standard == ui::HTCLIENT || !ui::PtInRect(&whole, point))
        return standard;
    if (metrics.ShowCaption) {
        const TRect caption = FloatingCaptionRect(window, metrics, false);
        if (ui::PtInRect(&caption, point)) {
            const TRect button = FloatingCloseButtonRect(window, metrics);
            return metrics.CloseButton && ui::PtInRect(&button, point) ? HT_TB_CLOSEBUTTON : HT_TB_FLOATCAPTION;
        }
    }
    if (!metrics.Resizable)
        return ui::HTNOWHERE;

    const int bx = metrics.Border.cx;
    const int by = metrics.Border.cy;
    const int x = point.x;
    const int y = point.y;
    const bool left = x < bx;
    const bool right = x >= window.cx - bx - 1;
    const bool top = y < by;
    const bool bottom = y >= window.cy - by - 1;
    if (!metrics.EightCorners) {
        if (top)
            return ui::HTTOP;
        if (bottom)
            return ui::HTBOTTOM;
        if (left)
            return ui::HTLEFT;
        if (right)
            return ui::HTRIGHT;
        return standard;
    }
    // The corners reach as far along each edge as the caption and border together.
    const int reach = metrics.CaptionHeight + bx - 1;
    if (left)
        return AlongEdge(y, window.cy, reach, ui::HTTOPLEFT, ui::HTLEFT, ui::HTBOTTOMLEFT);
    if (right)
        return AlongEdge(y, window.cy, reach, ui::HTTOPRIGHT, ui::HTRIGHT, ui::HTBOTTOMRIGHT);
    if (top)
        return AlongEdge(x, window.cx, reach, ui::HTTOPLEFT, ui::HTTOP, ui::HTTOPRIGHT);
    if (bottom)
        return AlongEdge(x, window.cx, reach, ui::HTBOTTOMLEFT, ui::HTBOTTOM, ui::HTBOTTOMRIGHT);
    return standard;
}

// ---- Resizing ---------------------------------------------------------------------------------------------

bool ResizeEdgeMovesLeft(int edge) { return edge == 0 || edge == 3 || edge == 6; }
bool ResizeEdgeMovesRight(int edge) { return edge == 1 || edge == 4 || edge == 7; }
bool ResizeEdgeMovesTop(int edge) { return edge == 2 || edge == 3 || edge == 4; }
bool ResizeEdgeMovesBottom(int edge) { return edge == 5 || edge == 6 || edge == 7; }

TResizeLimits FrameResizeLimits(const TResizeLimits& window, TSize frameExtra)
{
    TResizeLimits frame = window;
    frame.MinWidth += frameExtra.cx;
    frame.MinHeight += frameExtra.cy;
    if (frame.MaxWidth > 0)
        frame.MaxWidth += frameExtra.cx;
    if (frame.MaxHeight > 0)
        frame.MaxHeight += frameExtra.cy;
    return frame;
}

namespace {

// Brings a size within its limits by moving one side: the near side (left or top) when that is the one
// dragged, else the far side.
void LimitExtent(int& nearSide, int& farSide, bool nearMoves, int minimum, int maximum)
{
    const int extent = farSide - nearSide;
    int wanted = extent;
    if (extent < minimum)
        wanted = minimum;
    else if (maximum > 0 && extent > maximum)
        wanted = maximum;
    if (wanted == extent)
        return;
    if (nearMoves)
        nearSide = farSide - wanted;
    else
        farSide = nearSide + wanted;
}

// Gives rect the size, keeping the sides that the edge does not move.
void SetSizeAnchored(TRect& rect, TSize size, int edge)
{
    if (ResizeEdgeMovesLeft(edge))
        rect.left = rect.right - size.cx;
    else
        rect.right = rect.left + size.cx;
    if (ResizeEdgeMovesTop(edge))
        rect.top = rect.bottom - size.cy;
    else
        rect.bottom = rect.top + size.cy;
}

}  // namespace

TRect TrackResizeRect(int edge, const TRect& startRect, TPoint startCursor, TPoint cursor, const TResizeLimits& limits)
{
    TRect rect = startRect;
    const int dx = cursor.x - startCursor.x;
    const int dy = cursor.y - startCursor.y;
    if (ResizeEdgeMovesLeft(edge))
        rect.left += dx;
    else if (ResizeEdgeMovesRight(edge))
        rect.right += dx;
    if (ResizeEdgeMovesTop(edge))
        rect.top += dy;
    else if (ResizeEdgeMovesBottom(edge))
        rect.bottom += dy;
    LimitExtent(rect.left, rect.right, ResizeEdgeMovesLeft(edge), limits.MinWidth, limits.MaxWidth);
    LimitExtent(rect.top, rect.bottom, ResizeEdgeMovesTop(edge), limits.MinHeight, limits.MaxHeight);
    return rect;
}

std::vector<TSize> BuildFloatingSizes(const TFloatingSizeFunction& sizeAt, int horizontalMargins)
{
    std::vector<TSize> sizes;
    const TFloatingLayout unwrapped = sizeAt(0);
    sizes.push_back(unwrapped.Size);
    int lines = unwrapped.WrappedLines;
    // Each step either lists the candidate or jumps to the narrower width the layout came out at, so the
    // candidates only decrease.
    int candidate = unwrapped.Size.cx - 1;
    while (candidate >= horizontalMargins) {
        const TFloatingLayout layout = sizeAt(candidate);
        if (layout.Size.cx > candidate)
            break;
        if (layout.Size.cx < candidate) {
            candidate = layout.Size.cx;
            continue;
        }
        // The narrowest width of a line count is the one kept for it.
        if (layout.WrappedLines == lines)
            sizes.back() = layout.Size;
        else
            sizes.push_back(layout.Size);
        lines = layout.WrappedLines;
        --candidate;
    }
    return sizes;
}

TFloatingResizeSnap::TFloatingResizeSnap(int edge, const TRect& frameRect, const TRect& frameInsets, int floatingWidth,
                                         const std::vector<TSize>& contentSizes)
    : FEdge(edge), FClientOffset{frameInsets.left, frameInsets.top}, FFloatingWidth(floatingWidth)
{
    FSizes.reserve(contentSizes.size());
    for (const TSize& s : contentSizes)
        FSizes.push_back(
            TSize{s.cx + frameInsets.left + frameInsets.right, s.cy + frameInsets.top + frameInsets.bottom});
    std::stable_sort(FSizes.begin(), FSizes.end(),
                     [this](const TSize& a, const TSize& b) { return Dimension(a) > Dimension(b); });

    // The frame must not pass a neighbouring size before it leaves its own.
    const TSize current{frameRect.right - frameRect.left, frameRect.bottom - frameRect.top};
    const auto found = std::find(FSizes.begin(), FSizes.end(), current);
    if (found != FSizes.end()) {
        if (found != FSizes.begin())
            FThreshold = std::min(FThreshold, std::abs(Dimension(*(found - 1)) - Dimension(current)) - 1);
        if (found + 1 != FSizes.end())
            FThreshold = std::min(FThreshold, std::abs(Dimension(*(found + 1)) - Dimension(current)) - 1);
    }
    FThreshold = std::max(FThreshold, 0);
}

bool TFloatingResizeSnap::UsesHeight() const { return FEdge == 2 || FEdge == 5; }

int TFloatingResizeSnap::Dimension(TSize size) const { return UsesHeight() ? size.cy : size.cx; }

void TFloatingResizeSnap::Track(TRect& rect, const TRect& startRect)
{
    const TSize startSize{startRect.right - startRect.left, startRect.bottom - startRect.top};
    const int start = Dimension(startSize);
    int wanted;
    if (UsesHeight())
        wanted = ResizeEdgeMovesTop(FEdge) ? startRect.bottom - rect.top : rect.bottom - startRect.top;
    else
        wanted = ResizeEdgeMovesLeft(FEdge) ? startRect.right - rect.left : rect.right - startRect.left;
    const bool shrinking = wanted < start;
    // A first move, or a turn, must go past the threshold before the size changes.
    if (!(FLastChanged && shrinking == FLastShrinking) && wanted >= start - FThreshold && wanted < start + FThreshold)
        wanted = start;

    rect = startRect;
    const std::size_t count = FSizes.size();
    std::size_t match = count;
    if (shrinking) {
        // The largest size not above the wanted one, else the smallest.
        for (std::size_t i = count; i-- > 0;)
            if (i == count - 1 || Dimension(FSizes[i]) <= wanted)
                match = i;
    } else {
        // The smallest size not below the wanted one, else the largest; a wanted size left at the start keeps
        // the start size.
        for (std::size_t i = 0; i < count; ++i)
            if (i == 0 || Dimension(FSizes[i]) >= wanted)
                match = i;
    }
    if (match < count) {
        SetSizeAnchored(rect, FSizes[match], FEdge);
        const std::size_t widest = UsesHeight() ? count - 1 : 0;
        FFloatingWidth = match == widest ? 0 : FSizes[match].cx - 2 * FClientOffset.x;
    }
    FLastChanged = rect != startRect;
    FLastShrinking = shrinking;
}

}  // namespace ovrel::toolbars
