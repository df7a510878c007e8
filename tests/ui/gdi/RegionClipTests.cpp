// Regions, clipping, saved DC states and the window and viewport origins, checked by reading pixels back.

#include "support/GdiTestSupport.h"

#include "platform/ui/Gdi.h"

#include <gtest/gtest.h>

#include <vector>

namespace ovrel::ui {
namespace {

using namespace testing;  // the canvas, colours and helpers of GdiTestSupport.h

// ---- Regions ----------------------------------------------------------------------------------------------

struct CombineCase {
    const char* Name;
    int Mode;
    int Kind;
    RECT Box;
    std::vector<POINT> Inside;
    std::vector<POINT> Outside;
};

class CombineRgnTest : public ::testing::TestWithParam<CombineCase> {};

TEST_P(CombineRgnTest, GivesKindBoxAndMembership)
{
    const CombineCase& c = GetParam();
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN out = CreateNullRegion();
    EXPECT_EQ(CombineRgn(out, a, b, c.Mode), c.Kind);
    RECT box;
    EXPECT_EQ(GetRgnBox(out, &box), c.Kind);
    EXPECT_EQ(box, c.Box);
    for (const POINT& p : c.Inside)
        EXPECT_TRUE(PtInRegion(out, p.x, p.y)) << p.x << "," << p.y;
    for (const POINT& p : c.Outside)
        EXPECT_FALSE(PtInRegion(out, p.x, p.y)) << p.x << "," << p.y;
    // The sources are left alone.
    EXPECT_EQ(GetRgnBox(a, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
    for (HRGN r : {a, b, out})
        EXPECT_TRUE(DeleteObject(r));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CombineRgnTest,
    ::testing::Values(
        CombineCase{"And", RGN_AND, SIMPLEREGION, {5, 5, 10, 10}, {{5, 5}, {9, 9}}, {{4, 4}, {10, 10}, {12, 12}}},
        CombineCase{
            "Or", RGN_OR, COMPLEXREGION, {0, 0, 15, 15}, {{0, 0}, {7, 7}, {14, 14}}, {{12, 2}, {2, 12}, {15, 15}}},
        CombineCase{"Xor", RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}, {{2, 2}, {12, 12}}, {{5, 5}, {9, 9}, {12, 2}}},
        CombineCase{
            "Diff", RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}, {{2, 2}, {9, 4}, {4, 9}}, {{5, 5}, {9, 9}, {12, 12}}},
        CombineCase{"Copy", RGN_COPY, SIMPLEREGION, {0, 0, 10, 10}, {{0, 0}, {9, 9}}, {{10, 10}, {12, 12}}}),
    [](const ::testing::TestParamInfo<CombineCase>& info) { return std::string(info.param.Name); });

TEST(Regions, DisjointIntersectionIsNullAndAnInPlaceCombineWorks)
{
    HRGN a = CreateRectRgn(0, 0, 4, 4);
    HRGN b = CreateRectRgn(10, 10, 14, 14);
    HRGN out = CreateRectRgn(1, 1, 2, 2);
    EXPECT_EQ(CombineRgn(out, a, b, RGN_AND), NULLREGION);
    RECT box{1, 2, 3, 4};
    EXPECT_EQ(GetRgnBox(out, &box), NULLREGION);
    EXPECT_EQ(box, RECT{});
    // Destination and source may be the same region, as the outline code does.
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(a, 12, 12));
    EXPECT_TRUE(PtInRegion(a, 0, 0));
    EXPECT_EQ(CombineRgn(a, a, b, RGN_DIFF), SIMPLEREGION);
    EXPECT_FALSE(PtInRegion(a, 12, 12));
    EXPECT_EQ(CombineRgn(out, a, nullptr, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(out, a, b, 99), ERROR);
    for (HRGN r : {a, b, out})
        DeleteObject(r);
}

TEST(Regions, ShapesOffsetsAndComparisons)
{
    // Corners in either order give the same rectangle; the right and bottom edges are outside.
    HRGN swapped = CreateRectRgn(10, 8, 2, 1);
    HRGN plain = CreateRectRgn(2, 1, 10, 8);
    EXPECT_TRUE(EqualRgn(swapped, plain));
    EXPECT_TRUE(PtInRegion(plain, 9, 7));
    EXPECT_FALSE(PtInRegion(plain, 10, 7));
    EXPECT_FALSE(PtInRegion(plain, 9, 8));

    EXPECT_EQ(OffsetRgn(plain, 5, -1), SIMPLEREGION);
    RECT box;
    GetRgnBox(plain, &box);
    EXPECT_EQ(box, (RECT{7, 0, 15, 7}));
    EXPECT_FALSE(EqualRgn(swapped, plain));
    const RECT touching{15, 0, 20, 5};
    const RECT overlapping{14, 6, 20, 9};
    EXPECT_FALSE(RectInRegion(plain, &touching));
    EXPECT_TRUE(RectInRegion(plain, &overlapping));

    EXPECT_TRUE(SetRectRgn(plain, 0, 0, 3, 3));
    GetRgnBox(plain, &box);
    EXPECT_EQ(box, (RECT{0, 0, 3, 3}));

    // An ellipse holds its centre but not the corners of its box.
    HRGN ellipse = CreateEllipticRgn(0, 0, 20, 20);
    EXPECT_TRUE(PtInRegion(ellipse, 10, 10));
    EXPECT_TRUE(PtInRegion(ellipse, 10, 1));
    EXPECT_FALSE(PtInRegion(ellipse, 1, 1));
    EXPECT_FALSE(PtInRegion(ellipse, 18, 18));
    EXPECT_EQ(GetRgnBox(ellipse, &box), COMPLEXREGION);

    // A right triangle below its diagonal.
    const POINT tri[] = {{0, 0}, {20, 20}, {0, 20}};
    HRGN triangle = CreatePolygonRgn(tri, 3, WINDING);
    EXPECT_TRUE(PtInRegion(triangle, 2, 15));
    EXPECT_FALSE(PtInRegion(triangle, 15, 2));
    EXPECT_EQ(CreatePolygonRgn(tri, 3, 7), nullptr);

    HRGN empty = CreateNullRegion();
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
    EXPECT_FALSE(PtInRegion(empty, 0, 0));
    EXPECT_EQ(GetObjectType(empty), OBJ_REGION);
    for (HRGN r : {swapped, plain, ellipse, triangle, empty})
        DeleteObject(r);
    EXPECT_EQ(GetRgnBox(empty, &box), ERROR);  // a freed handle is refused, not followed
}

TEST(Regions, FillAndFrameRgnPaintTheRegionOnly)
{
    Canvas canvas(20, 20);
    HRGN l = CreateRectRgn(0, 0, 10, 4);
    HRGN tail = CreateRectRgn(0, 0, 4, 10);
    CombineRgn(l, l, tail, RGN_OR);
    HBRUSH red = CreateSolidBrush(Red);
    EXPECT_TRUE(FillRgn(canvas.Dc(), l, red));
    EXPECT_EQ(canvas.Count(Red), 10 * 4 + 4 * 6);
    EXPECT_EQ(canvas.At(9, 3), Red);
    EXPECT_EQ(canvas.At(9, 4), White);

    canvas.Clear(White);
    HRGN square = CreateRectRgn(2, 2, 12, 12);
    EXPECT_TRUE(FrameRgn(canvas.Dc(), square, red, 1, 2));
    EXPECT_EQ(canvas.Row(2, Red, 0, 14), "..##########..");
    EXPECT_EQ(canvas.Row(3, Red, 0, 14), "..##########..");
    EXPECT_EQ(canvas.Row(4, Red, 0, 14), "..#........#..");
    EXPECT_EQ(canvas.Column(2, Red, 0, 14), "..##########..");
    for (HGDIOBJ o : {l, tail, square, red})
        DeleteObject(o);
}

// ---- Clipping ---------------------------------------------------------------------------------------------

TEST(Clipping, IntersectAndExcludeLimitWhatIsPainted)
{
    Canvas canvas(20, 20);
    const RECT all{0, 0, 20, 20};
    EXPECT_EQ(IntersectClipRect(canvas.Dc(), 5, 5, 15, 15), SIMPLEREGION);
    Fill(canvas.Dc(), all, Red);
    EXPECT_EQ(canvas.InkBounds(White), (RECT{5, 5, 15, 15}));
    EXPECT_EQ(canvas.Count(Red), 100);
    RECT box;
    EXPECT_EQ(GetClipBox(canvas.Dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{5, 5, 15, 15}));

    // Intersections only narrow.
    EXPECT_EQ(IntersectClipRect(canvas.Dc(), 0, 0, 8, 8), SIMPLEREGION);
    GetClipBox(canvas.Dc(), &box);
    EXPECT_EQ(box, (RECT{5, 5, 8, 8}));
    EXPECT_EQ(IntersectClipRect(canvas.Dc(), 10, 10, 12, 12), NULLREGION);
    canvas.Clear(White);
    Fill(canvas.Dc(), all, Red);
    EXPECT_EQ(canvas.Count(Red), 0);

    // A null region removes the clip altogether.
    EXPECT_EQ(SelectClipRgn(canvas.Dc(), nullptr), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(canvas.Dc(), 5, 5, 15, 15), COMPLEXREGION);
    Fill(canvas.Dc(), all, Blue);
    EXPECT_EQ(canvas.Count(Blue), 400 - 100);
    EXPECT_EQ(canvas.At(5, 5), White);
    EXPECT_EQ(canvas.At(4, 5), Blue);
    GetClipBox(canvas.Dc(), &box);
    EXPECT_EQ(box, (RECT{0, 0, 20, 20}));
}

TEST(Clipping, SelectedRegionIsACopyInDeviceCoordinates)
{
    Canvas canvas(20, 20);
    HDC dc = canvas.Dc();
    HRGN region = CreateRectRgn(0, 0, 5, 5);
    SetWindowOrgEx(dc, 10, 10, nullptr);
    EXPECT_EQ(SelectClipRgn(dc, region), SIMPLEREGION);
    // Changing or freeing the region afterwards leaves the clip alone.
    SetRectRgn(region, 0, 0, 20, 20);
    DeleteObject(region);
    Fill(dc, RECT{0, 0, 40, 40}, Red);
    EXPECT_EQ(canvas.InkBounds(White), (RECT{0, 0, 5, 5}));
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{10, 10, 15, 15}));  // logical
    const RECT inside{12, 12, 13, 13};
    const RECT outside{15, 10, 18, 14};
    EXPECT_TRUE(RectVisible(dc, &inside));
    EXPECT_FALSE(RectVisible(dc, &outside));
    EXPECT_TRUE(PtVisible(dc, 14, 14));
    EXPECT_FALSE(PtVisible(dc, 15, 14));

    HRGN copy = CreateNullRegion();
    EXPECT_EQ(GetClipRgn(dc, copy), 1);
    GetRgnBox(copy, &box);
    EXPECT_EQ(box, (RECT{0, 0, 5, 5}));  // device
    SelectClipRgn(dc, nullptr);
    EXPECT_EQ(GetClipRgn(dc, copy), 0);
    DeleteObject(copy);
}

TEST(Clipping, OffsetClipRgnMovesTheClipAndRectanglesFollowTheOrigins)
{
    Canvas canvas(20, 20);
    HDC dc = canvas.Dc();
    SetViewportOrgEx(dc, 2, 3, nullptr);
    IntersectClipRect(dc, 0, 0, 4, 4);  // device (2,3)-(6,7)
    OffsetClipRgn(dc, 3, 4);  // device (5,7)-(9,11)
    Fill(dc, RECT{-10, -10, 30, 30}, Red);
    EXPECT_EQ(canvas.InkBounds(White), (RECT{5, 7, 9, 11}));
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{3, 4, 7, 8}));
}

struct ExtSelectCase {
    const char* Name;
    int Mode;
    int Painted;  // red pixels after filling everything
};

class ExtSelectClipRgnTest : public ::testing::TestWithParam<ExtSelectCase> {};

TEST_P(ExtSelectClipRgnTest, CombinesWithTheCurrentClip)
{
    Canvas canvas(20, 20);
    IntersectClipRect(canvas.Dc(), 0, 0, 10, 10);
    HRGN region = CreateRectRgn(5, 0, 15, 10);
    ExtSelectClipRgn(canvas.Dc(), region, GetParam().Mode);
    DeleteObject(region);
    Fill(canvas.Dc(), RECT{0, 0, 20, 20}, Red);
    EXPECT_EQ(canvas.Count(Red), GetParam().Painted);
}

INSTANTIATE_TEST_SUITE_P(Modes, ExtSelectClipRgnTest,
                         ::testing::Values(ExtSelectCase{"And", RGN_AND, 50}, ExtSelectCase{"Or", RGN_OR, 150},
                                           ExtSelectCase{"Xor", RGN_XOR, 100}, ExtSelectCase{"Diff", RGN_DIFF, 50},
                                           ExtSelectCase{"Copy", RGN_COPY, 100}),
                         [](const ::testing::TestParamInfo<ExtSelectCase>& info) {
                             return std::string(info.param.Name);
                         });

TEST(Clipping, ImageDcDrawsAtItsOriginWithinItsSystemClip)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    HRGN clip = CreateRectRgn(10, 5, 30, 25);  // image coordinates
    HDC dc = CreateImageDC(image, POINT{10, 5}, clip);
    DeleteObject(clip);  // the DC keeps its own copy
    EXPECT_EQ(GetObjectType(dc), OBJ_DC);

    Fill(dc, RECT{0, 0, 4, 4}, Red);
    EXPECT_EQ(image.pixel(10, 5), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(13, 8), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(14, 8), qRgb(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 0, 0), Red);
    EXPECT_EQ(GetPixel(dc, -1, 0), CLR_INVALID);  // outside the system clip

    // The DC's own clip is in its device coordinates and narrows the system clip.
    IntersectClipRect(dc, 15, 15, 100, 100);
    Fill(dc, RECT{-50, -50, 100, 100}, Blue);
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 255))
                ++blue;
    EXPECT_EQ(blue, 5 * 5);  // image (25,20)-(30,25)
    EXPECT_EQ(image.pixel(25, 20), qRgb(0, 0, 255));
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{15, 15, 20, 20}));

    // A new system clip (a later paint's update region) replaces the old one; the DC clip stays.
    SelectClipRgn(dc, nullptr);
    HRGN update = CreateRectRgn(0, 0, 12, 7);
    SetImageDCClip(dc, update);
    DeleteObject(update);
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{-10, -5, 2, 2}));
    SetImageDCClip(dc, nullptr);
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{-10, -5, 30, 25}));
    DeleteImageDC(dc);
}

// ---- Saved states -----------------------------------------------------------------------------------------

TEST(SavedStates, NestedSavesRestoreByLevelAndByMinusOne)
{
    Canvas canvas(4, 4);
    HDC dc = canvas.Dc();
    SetTextColor(dc, Red);
    EXPECT_EQ(SaveDC(dc), 1);
    SetTextColor(dc, Green);
    EXPECT_EQ(SaveDC(dc), 2);
    SetTextColor(dc, Blue);
    EXPECT_EQ(SaveDC(dc), 3);
    SetTextColor(dc, Black);

    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetTextColor(dc), Blue);
    EXPECT_TRUE(RestoreDC(dc, 1));  // drops level 2 on the way
    EXPECT_EQ(GetTextColor(dc), Red);
    EXPECT_FALSE(RestoreDC(dc, -1));
    EXPECT_FALSE(RestoreDC(dc, 1));
    EXPECT_EQ(SaveDC(dc), 1);  // levels count from the bottom again
    EXPECT_FALSE(RestoreDC(dc, 0));
    EXPECT_FALSE(RestoreDC(dc, 2));
    EXPECT_TRUE(RestoreDC(dc, 1));
    EXPECT_EQ(GetTextColor(dc), Red);
}

TEST(SavedStates, RestoreBringsBackEveryPartOfTheState)
{
    Canvas canvas(20, 20);
    HDC dc = canvas.Dc();
    const int level = SaveDC(dc);
    HPEN pen = CreatePen(PS_SOLID, 1, Red);
    HBRUSH brush = CreateSolidBrush(Blue);
    LOGFONT lf;
    lf.lfHeight = -20;
    HFONT font = CreateFontIndirect(lf);
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HGDIOBJ oldBrush = SelectObject(dc, brush);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkColor(dc, Green);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BOTTOM);
    SetWindowOrgEx(dc, 3, 3, nullptr);
    SetViewportOrgEx(dc, 5, 6, nullptr);
    SetBrushOrgEx(dc, 1, 2, nullptr);
    MoveToEx(dc, 7, 8, nullptr);
    IntersectClipRect(dc, 0, 0, 2, 2);
    SetPolyFillMode(dc, WINDING);

    ASSERT_TRUE(RestoreDC(dc, level));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), oldPen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), oldBrush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), oldFont);
    EXPECT_EQ(GetBkColor(dc), White);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetTextAlign(dc), TA_TOP);
    POINT p;
    GetWindowOrgEx(dc, &p);
    EXPECT_EQ(p, (POINT{0, 0}));
    GetViewportOrgEx(dc, &p);
    EXPECT_EQ(p, (POINT{0, 0}));
    GetBrushOrgEx(dc, &p);
    EXPECT_EQ(p, (POINT{0, 0}));
    GetCurrentPositionEx(dc, &p);
    EXPECT_EQ(p, (POINT{0, 0}));
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 20, 20}));
    EXPECT_EQ(SetPolyFillMode(dc, ALTERNATE), ALTERNATE);
    for (HGDIOBJ o : {pen, brush, font})
        EXPECT_TRUE(DeleteObject(o));
}

TEST(SavedStates, ObjectsHeldBySavedStatesOutliveDeleteObject)
{
    const int before = GdiObjectCount();
    {
        Canvas canvas(8, 8);
        HDC dc = canvas.Dc();
        HBRUSH red = CreateSolidBrush(Red);
        const HGDIOBJ old = SelectObject(dc, red);
        SaveDC(dc);
        SelectObject(dc, old);
        EXPECT_TRUE(DeleteObject(red));  // still held by the saved state
        EXPECT_EQ(GetObjectType(red), OBJ_BRUSH);
        RestoreDC(dc, -1);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), red);
        EXPECT_TRUE(PatBlt(dc, 0, 0, 8, 8, PATCOPY));
        EXPECT_EQ(canvas.Count(Red), 64);
        SelectObject(dc, old);  // the last holder lets go: freed now
        EXPECT_EQ(GetObjectType(red), 0u);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(SavedStates, RestoreReselectsTheBitmapOfAMemoryDc)
{
    Canvas canvas(4, 4);
    HDC dc = canvas.Dc();
    HBITMAP other = CreateCompatibleBitmap(nullptr, 4, 4);
    const int level = SaveDC(dc);
    SelectObject(dc, other);
    Fill(dc, RECT{0, 0, 4, 4}, Blue);
    RestoreDC(dc, level);
    Fill(dc, RECT{0, 0, 2, 2}, Red);
    EXPECT_EQ(canvas.Count(Red), 4);
    EXPECT_EQ(GetBitmapImage(other)->pixel(0, 0), qRgb(0, 0, 255));

    // The bitmap is free again for another DC.
    HDC second = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(second, other), nullptr);
    // ... and one selected elsewhere is refused.
    EXPECT_EQ(SelectObject(dc, other), nullptr);
    DeleteDC(second);
    DeleteObject(other);
}

// ---- Origins ----------------------------------------------------------------------------------------------

TEST(Origins, WindowAndViewportOriginsMoveLogicalCoordinates)
{
    struct Case {
        const char* Name;
        POINT Window;
        POINT Viewport;
        POINT Lands;  // image position of logical (10, 10)
    };
    const Case cases[] = {
        {"none", {0, 0}, {0, 0}, {10, 10}}, {"viewport", {0, 0}, {3, 5}, {13, 15}},  {"window", {4, 2}, {0, 0}, {6, 8}},
        {"both", {4, 2}, {3, 5}, {9, 13}},  {"negative", {-5, 0}, {0, -3}, {15, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Canvas canvas(30, 30);
        HDC dc = canvas.Dc();
        POINT previous{1, 1};
        SetWindowOrgEx(dc, c.Window.x, c.Window.y, &previous);
        EXPECT_EQ(previous, (POINT{0, 0}));
        SetViewportOrgEx(dc, c.Viewport.x, c.Viewport.y, nullptr);
        Fill(dc, RECT{10, 10, 12, 12}, Red);
        EXPECT_EQ(canvas.InkBounds(White), (RECT{c.Lands.x, c.Lands.y, c.Lands.x + 2, c.Lands.y + 2}));
        EXPECT_EQ(GetPixel(dc, 11, 11), Red);
        EXPECT_EQ(SetPixel(dc, 20, 20, Blue), Blue);
        EXPECT_EQ(canvas.At(c.Lands.x + 10, c.Lands.y + 10), Blue);

        POINT pts[] = {{10, 10}, {0, 0}};
        LPtoDP(dc, pts, 2);
        EXPECT_EQ(pts[0], c.Lands);
        DPtoLP(dc, pts, 2);
        EXPECT_EQ(pts[0], (POINT{10, 10}));
        EXPECT_EQ(pts[1], (POINT{0, 0}));
    }
}

TEST(Origins, OffsetsAccumulateAndReportThePreviousOrigin)
{
    Canvas canvas(4, 4);
    HDC dc = canvas.Dc();
    POINT previous;
    OffsetViewportOrgEx(dc, 2, 3, nullptr);
    OffsetViewportOrgEx(dc, 2, 3, &previous);
    EXPECT_EQ(previous, (POINT{2, 3}));
    GetViewportOrgEx(dc, &previous);
    EXPECT_EQ(previous, (POINT{4, 6}));
    OffsetWindowOrgEx(dc, -1, -1, nullptr);
    OffsetWindowOrgEx(dc, -1, -1, &previous);
    EXPECT_EQ(previous, (POINT{-1, -1}));
    GetWindowOrgEx(dc, &previous);
    EXPECT_EQ(previous, (POINT{-2, -2}));
}

TEST(Origins, GetAndSetPixelReportOutsideAsInvalid)
{
    Canvas canvas(4, 4);
    HDC dc = canvas.Dc();
    EXPECT_EQ(SetPixel(dc, 1, 2, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(1, 2), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc, 1, 2), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc, 4, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 0, -1), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, -1, 0, Red), CLR_INVALID);
    ExcludeClipRect(dc, 0, 0, 1, 1);
    EXPECT_EQ(SetPixel(dc, 0, 0, Red), CLR_INVALID);
    EXPECT_EQ(canvas.At(0, 0), White);
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

}  // namespace
}  // namespace ovrel::ui
