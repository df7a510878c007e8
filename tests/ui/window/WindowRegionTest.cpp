#include "platform/ui/Gdi.h"

#include "WindowTestSupport.h"

#include <QImage>
#include <QWidget>

namespace ovrel::ui::test {
namespace {

constexpr DWORD Popup = WS_POPUP | WS_VISIBLE;
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;

using WindowRegionTest = WindowTest;

TEST_F(WindowRegionTest, TheRegionShapesHitTestingPaintingAndTheWidget)
{
    HWND parent = Create(Popup, RECT{100, 100, 300, 250});
    HWND child = Create(Child, RECT{20, 20, 120, 120}, parent);  // on screen at (120, 120), 100 x 100
    HRGN ellipse = CreateEllipticRgn(0, 0, 100, 100);
    ASSERT_NE(SetWindowRgn(child, ellipse, TRUE), 0);
    Pump();

    struct Row {
        const char* name;
        POINT screen;
        HWND want;
    };
    const Row rows[] = {
        {"Centre", POINT{170, 170}, child},
        {"CornerOutsideTheEllipse", POINT{123, 123}, parent},
        {"EdgeInsideTheEllipse", POINT{170, 122}, child},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(WindowFromPoint(row.screen), row.want);
        EXPECT_EQ(ChildWindowFromPointEx(parent, POINT{row.screen.x - 100, row.screen.y - 100}, CWP_ALL), row.want);
    }
    const QRegion mask = GetWindowWidget(child)->mask();
    EXPECT_TRUE(mask.contains(QPoint(50, 50)));
    EXPECT_FALSE(mask.contains(QPoint(3, 3)));

    // Drawing outside the region does not reach the window.
    const QRgb before = GetWindowImage(child)->pixel(3, 3);
    HDC dc = GetDC(child);
    const RECT all{0, 0, 100, 100};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, red);
    ReleaseDC(child, dc);
    DeleteObject(red);
    EXPECT_EQ(GetWindowImage(child)->pixel(3, 3), before);
    EXPECT_EQ(GetWindowImage(child)->pixel(50, 50) & 0xFFFFFF, 0xFF0000u);

    // A new region replaces the old one, which the window frees.
    HRGN square = CreateRectRgn(0, 0, 50, 50);
    ASSERT_NE(SetWindowRgn(child, square, FALSE), 0);
    EXPECT_EQ(GetObjectType(ellipse), 0u);
    EXPECT_EQ(GetObjectType(square), OBJ_REGION);
    EXPECT_EQ(WindowFromPoint(POINT{123, 123}), child);
    EXPECT_EQ(WindowFromPoint(POINT{180, 180}), parent);

    // None gives the whole window back.
    ASSERT_NE(SetWindowRgn(child, nullptr, TRUE), 0);
    EXPECT_EQ(GetObjectType(square), 0u);
    EXPECT_EQ(WindowFromPoint(POINT{180, 180}), child);
    EXPECT_TRUE(GetWindowWidget(child)->mask().isEmpty());

    // The window frees its region when it goes; a failed call leaves the region with the caller.
    HRGN last = CreateRectRgn(0, 0, 10, 10);
    ASSERT_NE(SetWindowRgn(child, last, FALSE), 0);
    DestroyWindow(child);
    EXPECT_EQ(GetObjectType(last), 0u);
    HRGN spare = CreateRectRgn(0, 0, 10, 10);
    EXPECT_EQ(SetWindowRgn(child, spare, TRUE), 0);
    EXPECT_EQ(GetObjectType(spare), OBJ_REGION);
    DeleteObject(spare);
}

TEST_F(WindowRegionTest, AnEmptyRegionLeavesNothingOfATopLevelWindowToSeeOrHit)
{
    HWND below = Create(Popup, RECT{0, 0, 400, 400});
    HWND popup = Create(Popup, RECT{100, 100, 200, 200}, nullptr, WS_EX_TOPMOST);
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), popup);
    ASSERT_NE(SetWindowRgn(popup, CreateNullRegion(), TRUE), 0);
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), below);
    const QRegion mask = GetWindowWidget(popup)->mask();
    EXPECT_FALSE(mask.isEmpty());  // an empty mask would show the whole window
    EXPECT_FALSE(mask.intersects(QRect(0, 0, 100, 100)));
}

}  // namespace
}  // namespace ovrel::ui::test
