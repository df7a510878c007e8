// The standard scroll bars: the range shows and hides them, and the track position a scroll message reads
// is where the thumb stands.
#include "WindowTestSupport.h"

#include "platform/ui/SysTables.h"

namespace ovrel::ui::test {
namespace {

using ScrollBarTest = WindowTest;

TEST_F(ScrollBarTest, TheTrackPositionFollowsThePositionAndTheRangeShowsTheBar)
{
    HWND w = Create(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT{100, 100, 300, 250});
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_POS;
    info.nMax = 40;
    info.nPos = 17;
    SetScrollInfo(w, SB_VERT, &info, TRUE);
    SCROLLINFO read;
    read.fMask = SIF_POS | SIF_TRACKPOS;
    ASSERT_TRUE(GetScrollInfo(w, SB_VERT, &read));
    EXPECT_EQ(read.nPos, 17);
    EXPECT_EQ(read.nTrackPos, 17);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 200 - GetSystemMetrics(SM_CXVSCROLL));

    // A position past the range is clamped, and the track position with it; an empty range hides the bar.
    info.fMask = SIF_POS;
    info.nPos = 90;
    SetScrollInfo(w, SB_VERT, &info, TRUE);
    GetScrollInfo(w, SB_VERT, &read);
    EXPECT_EQ(read.nTrackPos, 40);
    info.fMask = SIF_RANGE;
    info.nMax = 0;
    SetScrollInfo(w, SB_VERT, &info, TRUE);
    GetScrollInfo(w, SB_VERT, &read);
    EXPECT_EQ(read.nTrackPos, 0);
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 200);
}

TEST_F(ScrollBarTest, AMovedThumbRedrawsTheBarAndLeavesTheClientAlone)
{
    HWND w = Create(WS_POPUP | WS_VISIBLE | WS_VSCROLL, RECT{100, 100, 300, 250});
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_POS;
    info.nMax = 40;
    SetScrollInfo(w, SB_VERT, &info, TRUE);
    Pump();
    std::vector<RECT> invalidated;
    SetInvalidationObserver([&](HWND window, const RECT& r) {
        if (window == w)
            invalidated.push_back(r);
    });
    info.fMask = SIF_POS;
    info.nPos = 20;
    SetScrollInfo(w, SB_VERT, &info, TRUE);
    EnableScrollBar(w, SB_VERT, ESB_DISABLE_BOTH);
    SetInvalidationObserver({});
    EXPECT_TRUE(invalidated.empty());
    // The frame is painted again all the same.
    Rec.Log.clear();
    Pump();
    EXPECT_EQ(Rec.Of(WM_NCPAINT).size(), 1u);
}

}  // namespace
}  // namespace ovrel::ui::test
