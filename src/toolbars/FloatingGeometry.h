#pragma once
// The geometry of the floating frame that hosts one dockable window: its styles, size limits, non-client
// area, caption and close button, and what each point of it is; and the resizing of a floating window: the
// rectangle the resize loop tracks, and the sizes a floating toolbar snaps to while its frame is resized.

#include "platform/ui/Types.h"
#include "platform/ui/Window.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <functional>
#include <vector>

namespace ovrel::toolbars {

/// What the floating frame's geometry depends on, read from the hosted window and the system tables.
struct TFloatingFrameMetrics {
    /// The hosted window's FloatingBorderSize: the sizing frame when it is Resizable, else the fixed frame.
    toolkit::TSize Border;
    /// The small caption height.
    int CaptionHeight = 0;
    bool ShowCaption = true;
    bool CloseButton = true;
    bool Resizable = true;
    /// froEightCorners: the corners of the frame size in two directions.
    bool EightCorners = true;
};

/// The pixels the frame takes on each side: the border everywhere, and the caption on top when shown.
[[nodiscard]] toolkit::TRect FloatingFrameInsets(const TFloatingFrameMetrics& metrics);
/// The frame's outer size around a client of the given size.
[[nodiscard]] toolkit::TSize FloatingFrameSize(toolkit::TSize client, const TFloatingFrameMetrics& metrics);
/// WM_NCCALCSIZE: the client rectangle inside the window rectangle.
[[nodiscard]] toolkit::TRect FloatingFrameClientRect(const toolkit::TRect& window,
                                                     const TFloatingFrameMetrics& metrics);

/// A border always, the sizing frame only for a Resizable window; a tool window that does not redraw itself
/// whole on every size change. At design time the form's own styles only gain the border and sizing frame.
void FloatingFrameCreateParams(toolkit::TCreateParams& params, bool resizable, bool designing);
/// WM_GETMINMAXINFO: from 1 x 1 to 32767 x 32767.
void FloatingFrameMinMaxInfo(ui::MINMAXINFO& info);

/// The caption bar in window coordinates, without the close button's square when excludeClose.
[[nodiscard]] toolkit::TRect FloatingCaptionRect(toolkit::TSize window, const TFloatingFrameMetrics& metrics,
                                                 bool excludeClose);
/// The close button's square at the caption's right end.
[[nodiscard]] toolkit::TRect FloatingCloseButtonRect(toolkit::TSize window, const TFloatingFrameMetrics& metrics);

/// WM_NCHITTEST at a point in window coordinates, given the platform's own answer: the client stays the client;
/// the caption is HT_TB_FLOATCAPTION (HT_TB_CLOSEBUTTON on the close button); a Resizable frame answers the
/// platform's edge codes (eight with EightCorners, else the four bands); elsewhere a fixed frame is nowhere.
[[nodiscard]] ui::LRESULT FloatingFrameHitTest(toolkit::TPoint point, toolkit::TSize window,
                                               const TFloatingFrameMetrics& metrics, ui::LRESULT standard);

// ---- Resizing ---------------------------------------------------------------------------------------------
// Edges are the resize loop's: the platform's edge hit code less HTLEFT, 0 left, 1 right, 2 top, 3 top-left,
// 4 top-right, 5 bottom, 6 bottom-left, 7 bottom-right.

[[nodiscard]] bool ResizeEdgeMovesLeft(int edge);
[[nodiscard]] bool ResizeEdgeMovesRight(int edge);
[[nodiscard]] bool ResizeEdgeMovesTop(int edge);
[[nodiscard]] bool ResizeEdgeMovesBottom(int edge);

/// Size limits; a maximum of 0 is none.
struct TResizeLimits {
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
};

/// The window's limits as limits of its frame, which is frameExtra larger.
[[nodiscard]] TResizeLimits FrameResizeLimits(const TResizeLimits& window, toolkit::TSize frameExtra);

/// The frame rectangle while one edge is dragged: the moving sides follow the cursor from where it was pressed,
/// and a size outside the limits is corrected on the moving side, so that the opposite edge stays.
[[nodiscard]] toolkit::TRect TrackResizeRect(int edge, const toolkit::TRect& startRect, toolkit::TPoint startCursor,
                                             toolkit::TPoint cursor, const TResizeLimits& limits);

/// A floating toolbar's size at a wrap width (0: no wrap), and the lines it wraps into there.
struct TFloatingLayout {
    toolkit::TSize Size;
    int WrappedLines = 0;
};
using TFloatingSizeFunction = std::function<TFloatingLayout(int floatingWidth)>;

/// The sizes a floating toolbar can take, widest (unwrapped) first, one for each number of wrapped lines: the
/// narrowest width that still gives it. sizeAt computes without applying; candidates stop below
/// horizontalMargins.
[[nodiscard]] std::vector<toolkit::TSize> BuildFloatingSizes(const TFloatingSizeFunction& sizeAt,
                                                             int horizontalMargins);

/// The resize data of a floating toolbar: its frame snaps to the sizes of its wrapped layouts, and the wrap
/// width that goes with the chosen size is given to the toolbar when the resize is applied.
class TFloatingResizeSnap {
public:
    /// frameInsets: the floating frame's pixels on each side; contentSizes as BuildFloatingSizes gives them.
    TFloatingResizeSnap(int edge, const toolkit::TRect& frameRect, const toolkit::TRect& frameInsets, int floatingWidth,
                        const std::vector<toolkit::TSize>& contentSizes);

    /// ResizeTrack: rect comes from the resize loop and leaves as the snapped frame rectangle.
    void Track(toolkit::TRect& rect, const toolkit::TRect& startRect);

    /// The wrap width of the last snapped size (0 for the widest, which does not wrap); what ResizeAccept sets.
    [[nodiscard]] int GetFloatingWidth() const { return FFloatingWidth; }
    /// Frame sizes, sorted by the dimension the edge changes, largest first.
    [[nodiscard]] const std::vector<toolkit::TSize>& GetSizes() const { return FSizes; }
    /// How far the cursor must move before the frame leaves its start size.
    [[nodiscard]] int GetThreshold() const { return FThreshold; }

private:
    [[nodiscard]] bool UsesHeight() const;
    [[nodiscard]] int Dimension(toolkit::TSize size) const;

    int FEdge;
    toolkit::TPoint FClientOffset;
    int FFloatingWidth;
    std::vector<toolkit::TSize> FSizes;
    int FThreshold = 12;
    bool FLastChanged = false;
    bool FLastShrinking = false;
};

}  // namespace ovrel::toolbars
