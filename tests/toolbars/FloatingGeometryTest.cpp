// The floating frame's geometry: styles, limits, non-client area, caption and close button, the hit test;
// the resize loop's tracked rectangle with its limits; the sizes of a floating toolbar and the snapping of its
// frame to them.
#include "toolbars/FloatingGeometry.h"

#include "platform/ui/Messages.h"
#include "toolbars/DockTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;

struct StyleRow {
    const char* name;
    bool resizable;
    bool designing;
    ui::DWORD style;
    ui::DWORD exStyle;
    ui::UINT classStyle;
};

TEST(FloatingFrame, HasASizingFrameOnlyWhenResizable)
{
    constexpr ui::DWORD kFormStyle = ui::WS_CAPTION | ui::WS_SYSMENU;
    constexpr ui::UINT kClassStyle = ui::CS_HREDRAW | ui::CS_VREDRAW | ui::CS_DBLCLKS;
    const StyleRow rows[] = {
        {"Fixed", false, false, ui::WS_POPUP | ui::WS_BORDER, ui::WS_EX_TOOLWINDOW, ui::CS_DBLCLKS},
        {"Resizable", true, false, ui::WS_POPUP | ui::WS_BORDER | ui::WS_THICKFRAME, ui::WS_EX_TOOLWINDOW,
         ui::CS_DBLCLKS},
        {"DesignedFixed", false, true, kFormStyle | ui::WS_BORDER, ui::WS_EX_APPWINDOW, kClassStyle},
        {"DesignedResizable", true, true, kFormStyle | ui::WS_BORDER | ui::WS_THICKFRAME, ui::WS_EX_APPWINDOW,
         kClassStyle},
    };
    for (const StyleRow& row : rows) {
        SCOPED_TRACE(row.name);
        TCreateParams params;
        params.Style = kFormStyle;
        params.ExStyle = ui::WS_EX_APPWINDOW;
        params.ClassStyle = kClassStyle;
        FloatingFrameCreateParams(params, row.resizable, row.designing);
        EXPECT_EQ(params.Style, row.style);
        EXPECT_EQ(params.ExStyle, row.exStyle);
        EXPECT_EQ(params.ClassStyle, row.classStyle);
    }

    ui::MINMAXINFO info;
    info.ptMinTrackSize = TPoint{100, 100};
    FloatingFrameMinMaxInfo(info);
    EXPECT_EQ(info.ptMinTrackSize, (TPoint{1, 1}));
    EXPECT_EQ(info.ptMaxTrackSize, (TPoint{32767, 32767}));
}

// A sizing border of 4 and a small caption of 16 around a frame 120 x 60.
TFloatingFrameMetrics Metrics() { return TFloatingFrameMetrics{.Border = {4, 4}, .CaptionHeight = 16}; }
constexpr TSize kWindow{120, 60};

TEST(FloatingFrame, TakesItsBorderEverywhereAndItsCaptionOnTop)
{
    TFloatingFrameMetrics metrics = Metrics();
    EXPECT_EQ(FloatingFrameInsets(metrics), (TRect{4, 20, 4, 4}));
    EXPECT_EQ(FloatingFrameSize(TSize{100, 30}, metrics), (TSize{108, 54}));
    EXPECT_EQ(FloatingFrameClientRect(TRect{10, 10, 130, 70}, metrics), (TRect{14, 30, 126, 66}));

    // The caption runs across the client width; the close button is its last 15-pixel square.
    EXPECT_EQ(FloatingCaptionRect(kWindow, metrics, false), (TRect{4, 4, 116, 19}));
    EXPECT_EQ(FloatingCaptionRect(kWindow, metrics, true), (TRect{4, 4, 101, 19}));
    EXPECT_EQ(FloatingCloseButtonRect(kWindow, metrics), (TRect{101, 4, 116, 19}));

    metrics.ShowCaption = false;
    EXPECT_EQ(FloatingFrameInsets(metrics), (TRect{4, 4, 4, 4}));
    EXPECT_EQ(FloatingFrameClientRect(TRect{10, 10, 130, 70}, metrics), (TRect{14, 14, 126, 66}));
}

enum class Frame { EightCorners, FourBands, Fixed, NoCloseButton };

struct HitRow {
    const char* name;
    Frame frame;
    TPoint point;
    ui::LRESULT standard;
    ui::LRESULT code;
};

class FloatingHit : public ::testing::TestWithParam<HitRow> {};

TEST_P(FloatingHit, NamesThePartOfTheFrameUnderThePoint)
{
    const HitRow& row = GetParam();
    TFloatingFrameMetrics metrics = Metrics();
    metrics.EightCorners = row.frame != Frame::FourBands;
    metrics.Resizable = row.frame != Frame::Fixed;
    metrics.CloseButton = row.frame != Frame::NoCloseButton;
    EXPECT_EQ(FloatingFrameHitTest(row.point, kWindow, metrics, row.standard), row.code);
}

// Corners reach 19 pixels (caption + border - 1) along each edge.
INSTANTIATE_TEST_SUITE_P(
    Rows, FloatingHit,
    ::testing::Values(
        HitRow{"Client", Frame::EightCorners, {60, 40}, ui::HTCLIENT, ui::HTCLIENT},
        HitRow{"Caption", Frame::EightCorners, {50, 10}, ui::HTBORDER, HT_TB_FLOATCAPTION},
        HitRow{"CloseButton", Frame::EightCorners, {105, 10}, ui::HTBORDER, HT_TB_CLOSEBUTTON},
        HitRow{"CaptionWithoutCloseButton", Frame::NoCloseButton, {105, 10}, ui::HTBORDER, HT_TB_FLOATCAPTION},
        HitRow{"LeftNearTheTop", Frame::EightCorners, {1, 10}, ui::HTBORDER, ui::HTTOPLEFT},
        HitRow{"Left", Frame::EightCorners, {1, 30}, ui::HTBORDER, ui::HTLEFT},
        HitRow{"LeftNearTheBottom", Frame::EightCorners, {1, 41}, ui::HTBORDER, ui::HTBOTTOMLEFT},
        HitRow{"Right", Frame::EightCorners, {116, 30}, ui::HTBORDER, ui::HTRIGHT},
        HitRow{"RightNearTheTop", Frame::EightCorners, {118, 5}, ui::HTBORDER, ui::HTTOPRIGHT},
        HitRow{"Top", Frame::EightCorners, {50, 1}, ui::HTBORDER, ui::HTTOP},
        HitRow{"TopNearTheLeft", Frame::EightCorners, {10, 1}, ui::HTBORDER, ui::HTTOPLEFT},
        HitRow{"TopNearTheRight", Frame::EightCorners, {110, 1}, ui::HTBORDER, ui::HTTOPRIGHT},
        HitRow{"Bottom", Frame::EightCorners, {50, 57}, ui::HTBORDER, ui::HTBOTTOM},
        HitRow{"BottomNearTheLeft", Frame::EightCorners, {10, 58}, ui::HTBORDER, ui::HTBOTTOMLEFT},
        HitRow{"BelowTheCaption", Frame::EightCorners, {50, 19}, ui::HTBORDER, ui::HTBORDER},
        HitRow{"BandLeftNearTheTop", Frame::FourBands, {1, 10}, ui::HTBORDER, ui::HTLEFT},
        HitRow{"BandTopWinsTheCorner", Frame::FourBands, {1, 1}, ui::HTBORDER, ui::HTTOP},
        HitRow{"BandBottomWinsTheCorner", Frame::FourBands, {1, 58}, ui::HTBORDER, ui::HTBOTTOM},
        HitRow{"BandRight", Frame::FourBands, {118, 30}, ui::HTBORDER, ui::HTRIGHT},
        HitRow{"FixedEdge", Frame::Fixed, {1, 30}, ui::HTBORDER, ui::HTNOWHERE},
        HitRow{"FixedCaption", Frame::Fixed, {50, 10}, ui::HTBORDER, HT_TB_FLOATCAPTION},
        HitRow{"Outside", Frame::EightCorners, {130, 10}, ui::HTNOWHERE, ui::HTNOWHERE}),
    [](const auto& info) { return std::string(info.param.name); });

struct TrackRow {
    const char* name;
    int edge;
    TPoint move;
    TRect rect;
};

class ResizeTracking : public ::testing::TestWithParam<TrackRow> {};

// From (100, 100, 300, 200), at least 50 x 40, at most 400 wide and as high as it likes.
TEST_P(ResizeTracking, MovesTheDraggedSidesWithinTheLimits)
{
    const TrackRow& row = GetParam();
    const TPoint start{200, 150};
    const TResizeLimits limits{.MinWidth = 50, .MinHeight = 40, .MaxWidth = 400};
    EXPECT_EQ(TrackResizeRect(row.edge, TRect{100, 100, 300, 200}, start,
                              TPoint{start.x + row.move.x, start.y + row.move.y}, limits),
              row.rect);
}

INSTANTIATE_TEST_SUITE_P(Rows, ResizeTracking,
                         ::testing::Values(TrackRow{"Right", 1, {20, 5}, {100, 100, 320, 200}},
                                           TrackRow{"RightBelowTheMinimum", 1, {-180, 0}, {100, 100, 150, 200}},
                                           TrackRow{"RightAboveTheMaximum", 1, {300, 0}, {100, 100, 500, 200}},
                                           TrackRow{"Left", 0, {-30, 0}, {70, 100, 300, 200}},
                                           TrackRow{"LeftBelowTheMinimum", 0, {180, 0}, {250, 100, 300, 200}},
                                           TrackRow{"TopBelowTheMinimum", 2, {0, 90}, {100, 160, 300, 200}},
                                           TrackRow{"BottomIgnoresSideways", 5, {50, 10}, {100, 100, 300, 210}},
                                           TrackRow{"BottomWithoutMaximum", 5, {0, 1000}, {100, 100, 300, 1200}},
                                           TrackRow{"BottomRight", 7, {10, 10}, {100, 100, 310, 210}},
                                           TrackRow{"TopLeftBelowBothMinimums", 3, {190, 90}, {250, 160, 300, 200}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ResizeLimits, GrowByTheFrameExceptMaximaOfNone)
{
    const TResizeLimits frame =
        FrameResizeLimits(TResizeLimits{.MinWidth = 40, .MinHeight = 20, .MaxWidth = 0, .MaxHeight = 300}, {8, 24});
    EXPECT_EQ(frame.MinWidth, 48);
    EXPECT_EQ(frame.MinHeight, 44);
    EXPECT_EQ(frame.MaxWidth, 0);
    EXPECT_EQ(frame.MaxHeight, 324);
}

// Buttons 23 x 22 between margins of 2: at a wrap width, as many buttons a line as fit (at least one).
class FakeToolbar {
public:
    explicit FakeToolbar(int buttons) : FButtons(buttons) {}

    TFloatingLayout At(int floatingWidth)
    {
        ++Calls;
        const int perLine = floatingWidth == 0 ? FButtons : std::max(1, (floatingWidth - 4) / 23);
        const int lines = (FButtons + perLine - 1) / perLine;
        return TFloatingLayout{TSize{4 + std::min(FButtons, perLine) * 23, lines * 22}, lines};
    }

    int Calls = 0;

private:
    int FButtons;
};

TEST(FloatingSizes, ListTheNarrowestSizeOfEachLineCountWidestFirst)
{
    FakeToolbar toolbar(5);
    const TFloatingSizeFunction sizeAt = [&](int width) { return toolbar.At(width); };
    // 96 wide also gives two lines, but 73 is narrower.
    const std::vector<TSize> all{{119, 22}, {73, 44}, {50, 66}, {27, 110}};
    EXPECT_EQ(BuildFloatingSizes(sizeAt, 4), all);
    EXPECT_LT(toolbar.Calls, 12);

    const std::vector<TSize> wide{{119, 22}, {73, 44}};
    EXPECT_EQ(BuildFloatingSizes(sizeAt, 60), wide);

    FakeToolbar single(1);
    const std::vector<TSize> one{{27, 22}};
    EXPECT_EQ(BuildFloatingSizes([&](int width) { return single.At(width); }, 4), one);
}

// The frame adds 3 on either side and 18 above, 3 below: frame sizes 125 x 43, 79 x 65, 56 x 87, 33 x 131.
const std::vector<TSize> kContentSizes{{119, 22}, {73, 44}, {50, 66}, {27, 110}};
constexpr TRect kInsets{3, 18, 3, 3};
// The frame as it is at the start, two lines high.
constexpr TRect kStart{100, 100, 179, 165};

struct SnapRow {
    const char* name;
    int edge;
    int move;  // of the dragged edge, rightwards or downwards
    TRect rect;
    int floatingWidth;
};

class ResizeSnap : public ::testing::TestWithParam<SnapRow> {};

TEST_P(ResizeSnap, SnapsTheFrameToAWrappedSize)
{
    const SnapRow& row = GetParam();
    TFloatingResizeSnap snap(row.edge, kStart, kInsets, 73, kContentSizes);
    TRect rect = kStart;
    if (ResizeEdgeMovesLeft(row.edge))
        rect.left += row.move;
    else if (ResizeEdgeMovesRight(row.edge))
        rect.right += row.move;
    else if (ResizeEdgeMovesTop(row.edge))
        rect.top += row.move;
    else
        rect.bottom += row.move;
    snap.Track(rect, kStart);
    EXPECT_EQ(rect, row.rect);
    EXPECT_EQ(snap.GetFloatingWidth(), row.floatingWidth);
}

INSTANTIATE_TEST_SUITE_P(Rows, ResizeSnap,
                         ::testing::Values(
                             // A move along the edge, or a small one, keeps the start size in either direction.
                             SnapRow{"NoMoveAlongTheEdge", 1, 0, kStart, 73}, SnapRow{"SmallGrowth", 1, 11, kStart, 73},
                             SnapRow{"SmallShrink", 1, -12, kStart, 73},
                             SnapRow{"GrowsPastTheThreshold", 1, 12, {100, 100, 225, 143}, 0},
                             SnapRow{"ShrinksPastTheThreshold", 1, -13, {100, 100, 156, 187}, 50},
                             SnapRow{"NarrowestWhenNothingFits", 1, -70, {100, 100, 133, 231}, 27},
                             SnapRow{"LeftEdgeKeepsTheRightOne", 0, -50, {54, 100, 179, 143}, 0},
                             SnapRow{"BottomEdgeGoesByHeight", 5, 30, {100, 100, 133, 231}, 27},
                             // Sorted by height, the widest size is the last; the top edge moves, the bottom stays.
                             SnapRow{"TopEdgeShrinksToTheWidest", 2, 30, {100, 122, 225, 165}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ResizeSnap, KeepsTheSnappedSizeWhileTheDragGoesOnTheSameWay)
{
    TFloatingResizeSnap snap(1, kStart, kInsets, 73, kContentSizes);
    const auto trackTo = [&](int right) {
        TRect rect = kStart;
        rect.right = right;
        snap.Track(rect, kStart);
        return rect.right - rect.left;
    };
    EXPECT_EQ(trackTo(179 + 12), 125);
    EXPECT_EQ(trackTo(179 + 5), 125);  // still growing: no threshold to fall back into
    EXPECT_EQ(trackTo(179 - 5), 79);  // turned: the threshold holds the start size again
    EXPECT_EQ(trackTo(179 - 13), 56);
    EXPECT_EQ(snap.GetFloatingWidth(), 50);
}

TEST(ResizeSnap, LowersTheThresholdToStopShortOfANeighbour)
{
    struct Row {
        const char* name;
        std::vector<TSize> sizes;
        TRect frame;
        int threshold;
    };
    const Row rows[] = {
        {"FarNeighbours", kContentSizes, kStart, 12},
        {"NeighbourFivePixelsAway", {{100, 22}, {95, 44}}, {0, 0, 95, 44}, 4},
        {"NeighbourOnePixelAway", {{100, 22}, {99, 44}}, {0, 0, 99, 44}, 0},
        {"FrameNotAListedSize", {{100, 22}, {95, 44}}, {0, 0, 97, 44}, 12},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const bool framed = row.sizes == kContentSizes;
        EXPECT_EQ(TFloatingResizeSnap(1, row.frame, framed ? kInsets : TRect{}, 0, row.sizes).GetThreshold(),
                  row.threshold);
    }
}

}  // namespace
}  // namespace ovrel::toolbars
