// Brushes and the brush origin, pens, raster operations, blits between DCs, monochrome glyphs, alpha blending
// and the life of GDI objects, checked by reading pixels back.

#include "support/GdiTestSupport.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace ovrel::ui {
namespace {

using namespace testing;  // the canvas, colours and helpers of GdiTestSupport.h

// An 8 x 8 monochrome pattern from one byte per row (1-bpp rows are padded to 16 bits).
HBITMAP MonoPattern(const std::array<BYTE, 8>& rows)
{
    std::array<BYTE, 16> bits{};
    for (std::size_t i = 0; i < rows.size(); ++i)
        bits[i * 2] = rows[i];
    return CreateBitmap(8, 8, 1, 1, bits.data());
}

// All bits set but the top-left one: the text colour shows only where the pattern's (0,0) falls.
constexpr std::array<BYTE, 8> CornerPattern{0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::array<BYTE, 8> Halftone{0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};

// ---- Brushes ----------------------------------------------------------------------------------------------

TEST(Brushes, MonoPatternPaintsZeroBitsInTextColourAndOnesInBackground)
{
    Canvas canvas(16, 16);
    HDC dc = canvas.Dc();
    HBITMAP bits = MonoPattern(Halftone);
    HBRUSH brush = CreatePatternBrush(bits);
    DeleteObject(bits);  // the brush has its own copy
    SetTextColor(dc, Red);
    SetBkColor(dc, Blue);
    const RECT all{0, 0, 16, 16};
    FillRect(dc, &all, brush);
    EXPECT_EQ(canvas.Row(0, Red, 0, 16), "#.#.#.#.#.#.#.#.");
    EXPECT_EQ(canvas.Row(1, Red, 0, 16), ".#.#.#.#.#.#.#.#");
    EXPECT_EQ(canvas.Count(Red) + canvas.Count(Blue), 256);

    // The colours are taken at drawing time, from the DC the brush is used in.
    SetTextColor(dc, Green);
    SetBkColor(dc, Black);
    FillRect(dc, &all, brush);
    EXPECT_EQ(canvas.Count(Green), 128);
    EXPECT_EQ(canvas.Count(Black), 128);
    LOGBRUSH log;
    ASSERT_TRUE(GetObject(brush, log));
    EXPECT_EQ(log.lbStyle, BS_PATTERN);
    DeleteObject(brush);
}

// The brush origin shifts a pattern in device space, whatever draws with it; a viewport or window origin
// does not move it.
TEST(Brushes, BrushOriginAlignsPatternsForEveryFillPath)
{
    struct Path {
        const char* Name;
        void (*Draw)(HDC dc);
        bool DeviceCoordinates = false;  // regions ignore the viewport origin
    };
    const Path paths[] = {
        {"FillRect",
         [](HDC dc) {
             const RECT r{0, 0, 20, 20};
             FillRect(dc, &r, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
         }},
        {"PatBlt PATCOPY", [](HDC dc) { PatBlt(dc, 0, 0, 20, 20, PATCOPY); }},
        {"PatBlt PATINVERT on black",
         [](HDC dc) {
             const RECT r{0, 0, 20, 20};
             FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
             PatBlt(dc, 0, 0, 20, 20, PATINVERT);
         }},
        {"Polygon",
         [](HDC dc) {
             SelectObject(dc, GetStockObject(NULL_PEN));
             const POINT pts[] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}};
             Polygon(dc, pts, 4);
         }},
        {"FillRgn",
         [](HDC dc) {
             HRGN r = CreateRectRgn(0, 0, 20, 20);
             FillRgn(dc, r, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
             DeleteObject(r);
         },
         true},
    };
    struct Origin {
        POINT Brush;
        POINT Viewport;
        std::array<POINT, 3> Marks;  // image pixels in the text colour (more may follow)
    };
    const Origin origins[] = {
        {{0, 0}, {0, 0}, {{{0, 0}, {8, 0}, {8, 8}}}},
        {{3, 2}, {0, 0}, {{{3, 2}, {11, 2}, {3, 10}}}},
        {{-1, -1}, {0, 0}, {{{7, 7}, {15, 7}, {7, 15}}}},
        {{0, 0}, {5, 5}, {{{8, 8}, {16, 8}, {8, 16}}}},  // painted from (5,5) on, still aligned to (0,0)
    };
    HBITMAP bits = MonoPattern(CornerPattern);
    HBRUSH brush = CreatePatternBrush(bits);
    DeleteObject(bits);
    for (const Path& path : paths) {
        for (const Origin& o : origins) {
            SCOPED_TRACE(std::string(path.Name) + " brush origin " + std::to_string(o.Brush.x) + "," +
                         std::to_string(o.Brush.y) + " viewport " + std::to_string(o.Viewport.x));
            Canvas canvas(24, 24);
            HDC dc = canvas.Dc();
            SelectObject(dc, brush);
            SetTextColor(dc, Red);
            SetBkColor(dc, White);
            SetBrushOrgEx(dc, o.Brush.x, o.Brush.y, nullptr);
            SetViewportOrgEx(dc, o.Viewport.x, o.Viewport.y, nullptr);
            path.Draw(dc);
            for (const POINT& m : o.Marks)
                EXPECT_EQ(canvas.At(m.x, m.y), Red) << m.x << "," << m.y;
            const POINT start = path.DeviceCoordinates ? POINT{0, 0} : o.Viewport;
            int expected = 0;
            for (int y = start.y; y < std::min(24, start.y + 20); ++y)
                for (int x = start.x; x < std::min(24, start.x + 20); ++x)
                    if (((x - o.Brush.x) % 8 + 8) % 8 == 0 && ((y - o.Brush.y) % 8 + 8) % 8 == 0)
                        ++expected;
            EXPECT_EQ(canvas.Count(Red), expected);
            SelectObject(dc, GetStockObject(WHITE_BRUSH));
        }
    }
    DeleteObject(brush);
}

TEST(Brushes, PatternOriginOfAnImageDcIsItsDeviceOrigin)
{
    QImage image(30, 30, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    HDC dc = CreateImageDC(image, POINT{10, 5}, nullptr);
    HBITMAP bits = MonoPattern(CornerPattern);
    HBRUSH brush = CreatePatternBrush(bits);
    SetTextColor(dc, Red);
    const RECT r{0, 0, 16, 16};
    FillRect(dc, &r, brush);
    EXPECT_EQ(image.pixel(10, 5), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(18, 13), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(11, 5), qRgb(255, 255, 255));
    DeleteImageDC(dc);
    DeleteObject(brush);
    DeleteObject(bits);
}

TEST(Brushes, ColourPatternsSystemBrushesAndTheNullBrush)
{
    Canvas canvas(8, 8);
    HDC dc = canvas.Dc();
    // A 32-bit pattern keeps its own colours.
    std::array<std::uint8_t, 2 * 2 * 4> bgrx{};
    const COLORREF colours[] = {Red, Green, Blue, Black};
    for (int i = 0; i < 4; ++i) {
        bgrx[static_cast<std::size_t>(i * 4)] = GetBValue(colours[i]);
        bgrx[static_cast<std::size_t>(i * 4 + 1)] = GetGValue(colours[i]);
        bgrx[static_cast<std::size_t>(i * 4 + 2)] = GetRValue(colours[i]);
    }
    HBITMAP tile = CreateBitmap(2, 2, 1, 32, bgrx.data());
    HBRUSH pattern = CreatePatternBrush(tile);
    const RECT all{0, 0, 8, 8};
    FillRect(dc, &all, pattern);
    EXPECT_EQ(canvas.At(0, 0), Red);
    EXPECT_EQ(canvas.At(1, 0), Green);
    EXPECT_EQ(canvas.At(0, 1), Blue);
    EXPECT_EQ(canvas.At(7, 7), Black);

    // A system colour brush, given as a handle or as the index + 1, follows the table.
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(canvas.At(3, 3), GetSysColor(COLOR_BTNFACE));
    {
        SystemTableOverride override;
        override.Table().Colors[COLOR_HIGHLIGHT] = RGB(1, 2, 3);
        FillRect(dc, &all, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_HIGHLIGHT + 1)));
        EXPECT_EQ(canvas.At(3, 3), RGB(1, 2, 3));
        FillRect(dc, &all, GetSysColorBrush(COLOR_HOTLIGHT));
        EXPECT_EQ(canvas.At(3, 3), GetSysColor(COLOR_HOTLIGHT));
    }
    EXPECT_NE(GetSysColorBrush(COLOR_HOTLIGHT), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE)));  // refused quietly: it stays usable
    EXPECT_EQ(GetObjectType(GetSysColorBrush(COLOR_BTNFACE)), OBJ_BRUSH);

    canvas.Clear(White);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, 8, 8);
    EXPECT_EQ(canvas.Count(White, 1, 1, 7, 7), 36);  // only the black frame
    EXPECT_EQ(canvas.Count(Black), 28);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pattern);
    DeleteObject(tile);
}

TEST(Brushes, HatchedBrushFillsOnlyTheRegionWithItsBackground)
{
    Canvas canvas(16, 16);
    HDC dc = canvas.Dc();
    HBRUSH hatch = CreateHatchBrush(HS_CROSS, Red);
    SetBkColor(dc, Blue);
    // An L-shaped region: the opaque background must not spill into the square's missing corner.
    HRGN region = CreateRectRgn(0, 0, 16, 8);
    HRGN leg = CreateRectRgn(0, 0, 8, 16);
    CombineRgn(region, region, leg, RGN_OR);
    FillRgn(dc, region, hatch);
    EXPECT_EQ(canvas.Count(White, 8, 8, 16, 16), 64);
    EXPECT_GT(canvas.Count(Red), 0);
    EXPECT_GT(canvas.Count(Blue), 0);
    for (HGDIOBJ o : {hatch, static_cast<HGDIOBJ>(region), static_cast<HGDIOBJ>(leg)})
        DeleteObject(o);
}

// ---- Pens and lines ---------------------------------------------------------------------------------------

TEST(Pens, LinesLeaveOutTheirEndPointAndDotsAlternate)
{
    struct Case {
        const char* Name;
        int Style;
        const char* Row;
    };
    const Case cases[] = {
        {"solid", PS_SOLID, "##########.."},
        {"dotted", PS_DOT, "#.#.#.#.#..."},
        {"null", PS_NULL, "............"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Canvas canvas(12, 12);
        HDC dc = canvas.Dc();
        HPEN pen = CreatePen(c.Style, 1, Red);
        const HGDIOBJ old = SelectObject(dc, pen);
        POINT previous{5, 5};
        MoveToEx(dc, 0, 1, &previous);
        EXPECT_EQ(previous, (POINT{0, 0}));
        LineTo(dc, 10, 1);
        EXPECT_EQ(canvas.Row(1, Red, 0, 12), c.Row);
        POINT at;
        GetCurrentPositionEx(dc, &at);
        EXPECT_EQ(at, (POINT{10, 1}));
        // Vertical, upwards.
        MoveToEx(dc, 11, 10, nullptr);
        LineTo(dc, 11, 0);
        std::string column = canvas.Column(11, Red, 1, 11);
        std::reverse(column.begin(), column.end());
        EXPECT_EQ(column + "..", c.Row);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

TEST(Pens, DottedRectangleAndPolylineAndWidePens)
{
    Canvas canvas(12, 12);
    HDC dc = canvas.Dc();
    HPEN dot = CreatePen(PS_DOT, 1, Red);
    const HGDIOBJ old = SelectObject(dc, dot);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, 9, 9);
    EXPECT_EQ(canvas.Row(0, Red, 0, 10), "#.#.#.#.#.");
    EXPECT_EQ(canvas.Column(0, Red, 0, 10), "#.#.#.#.#.");
    EXPECT_EQ(canvas.Count(Red), 16);  // a closed path of 32 pixels, every other one set

    canvas.Clear(White);
    HPEN solid = CreatePen(PS_SOLID, 1, Blue);
    SelectObject(dc, solid);
    const POINT tick[] = {{1, 5}, {3, 7}, {8, 2}};
    Polyline(dc, tick, 3);
    EXPECT_EQ(canvas.At(1, 5), Blue);
    EXPECT_EQ(canvas.At(2, 6), Blue);
    EXPECT_EQ(canvas.At(3, 7), Blue);
    EXPECT_EQ(canvas.At(7, 3), Blue);
    EXPECT_EQ(canvas.At(8, 2), White);  // the last point is left out
    EXPECT_EQ(canvas.Count(Blue), 7);

    canvas.Clear(White);
    HPEN wide = CreatePen(PS_SOLID, 3, Green);
    SelectObject(dc, wide);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, 0, 0, 12, 12);
    EXPECT_EQ(canvas.Row(6, Green, 0, 12), "###......###");  // inside the bounds
    LOGPEN log;
    ASSERT_TRUE(GetObject(wide, log));
    EXPECT_EQ(log.lopnWidth.x, 3);
    EXPECT_EQ(log.lopnColor, Green);
    SelectObject(dc, old);
    for (HGDIOBJ o : {dot, solid, wide})
        DeleteObject(o);
}

TEST(Pens, RectangleWithoutPenFillsOnePixelLess)
{
    Canvas canvas(10, 10);
    HDC dc = canvas.Dc();
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Rectangle(dc, 2, 2, 6, 6);
    EXPECT_EQ(canvas.InkBounds(White), (RECT{2, 2, 5, 5}));
    canvas.Clear(White);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, 6, 6, 2, 2);  // corners in either order
    EXPECT_EQ(canvas.InkBounds(White), (RECT{2, 2, 6, 6}));
    EXPECT_EQ(canvas.Count(Black), 12);
}

// ---- Shapes -----------------------------------------------------------------------------------------------

TEST(Shapes, PolygonFillModeDecidesOverlaps)
{
    // A pentagram: its inner pentagon is wound twice.
    const POINT star[] = {{10, 0}, {16, 18}, {0, 7}, {20, 7}, {4, 18}};
    struct Case {
        const char* Name;
        int Mode;
        COLORREF Centre;
    };
    const Case cases[] = {{"alternate", ALTERNATE, White}, {"winding", WINDING, Red}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Canvas canvas(21, 21);
        HDC dc = canvas.Dc();
        HBRUSH red = CreateSolidBrush(Red);
        SelectObject(dc, red);
        SelectObject(dc, GetStockObject(NULL_PEN));
        SetPolyFillMode(dc, c.Mode);
        EXPECT_TRUE(Polygon(dc, star, 5));
        EXPECT_EQ(canvas.At(10, 10), c.Centre);
        EXPECT_EQ(canvas.At(10, 3), Red);  // a tip
        EXPECT_EQ(canvas.At(2, 2), White);
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(red);
    }
}

TEST(Shapes, EllipsesAndRoundRectsStayInTheirBounds)
{
    Canvas canvas(14, 14);
    HDC dc = canvas.Dc();
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Ellipse(dc, 2, 2, 12, 12);
    RECT ink = canvas.InkBounds(White);
    EXPECT_GE(ink.left, 2);
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.right, 12);
    EXPECT_LE(ink.bottom, 12);
    EXPECT_EQ(canvas.At(7, 7), Black);
    EXPECT_EQ(canvas.At(2, 2), White);
    EXPECT_EQ(canvas.At(11, 11), White);

    canvas.Clear(White);
    RoundRect(dc, 2, 2, 12, 12, 6, 6);
    ink = canvas.InkBounds(White);
    EXPECT_EQ(ink, (RECT{2, 2, 12, 12}));
    EXPECT_EQ(canvas.At(2, 2), White);
    EXPECT_EQ(canvas.At(7, 2), Black);
    EXPECT_EQ(canvas.At(2, 7), Black);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
}

TEST(Shapes, InvertTransparentCopyAndStretchedImages)
{
    Canvas canvas(6, 6, Red);
    const RECT part{1, 1, 3, 3};
    EXPECT_TRUE(InvertRect(canvas.Dc(), &part));
    EXPECT_EQ(canvas.Count(RGB(0, 255, 255)), 4);
    EXPECT_EQ(canvas.At(0, 0), Red);

    Canvas src(2, 1);
    SetPixel(src.Dc(), 0, 0, Green);  // pixel 1 stays white: the key
    canvas.Clear(Blue);
    EXPECT_TRUE(TransparentBlt(canvas.Dc(), 0, 0, 4, 2, src.Dc(), 0, 0, 2, 1, White));
    EXPECT_EQ(canvas.Row(0, Green, 0, 6), "##....");
    EXPECT_EQ(canvas.Row(1, Blue, 0, 6), "..####");

    QImage image(1, 1, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    canvas.Clear(White);
    EXPECT_TRUE(StretchImage(canvas.Dc(), RECT{2, 2, 6, 6}, image));
    EXPECT_EQ(canvas.Count(Red), 16);
    EXPECT_EQ(canvas.InkBounds(White), (RECT{2, 2, 6, 6}));
    EXPECT_EQ(GetNearestColor(canvas.Dc(), RGB(1, 2, 3)), RGB(1, 2, 3));
}

// ---- Raster operations ------------------------------------------------------------------------------------

constexpr COLORREF Dest = RGB(0xF0, 0x0F, 0x55);
constexpr COLORREF Source = RGB(0x3C, 0xAA, 0x0F);
constexpr COLORREF Pattern = RGB(0x81, 0x42, 0xFF);

struct RopCase {
    const char* Name;
    DWORD Rop;
    COLORREF Expected;
};

class RopTest : public ::testing::TestWithParam<RopCase> {};

TEST_P(RopTest, BitBltCombinesSourcePatternAndDestination)
{
    Canvas src(4, 4, Source);
    Canvas dst(6, 6, Dest);
    HBRUSH brush = CreateSolidBrush(Pattern);
    const HGDIOBJ old = SelectObject(dst.Dc(), brush);
    EXPECT_TRUE(BitBlt(dst.Dc(), 1, 1, 4, 4, src.Dc(), 0, 0, GetParam().Rop));
    EXPECT_EQ(dst.At(1, 1), GetParam().Expected);
    EXPECT_EQ(dst.At(4, 4), GetParam().Expected);
    EXPECT_EQ(dst.At(0, 0), Dest);
    EXPECT_EQ(dst.At(5, 5), Dest);
    EXPECT_EQ(dst.Count(GetParam().Expected, 1, 1, 5, 5), 16);
    SelectObject(dst.Dc(), old);
    DeleteObject(brush);
}

INSTANTIATE_TEST_SUITE_P(
    Rops, RopTest,
    ::testing::Values(RopCase{"SrcCopy", SRCCOPY, Source}, RopCase{"SrcPaint", SRCPAINT, Source | Dest},
                      RopCase{"SrcAnd", SRCAND, Source& Dest}, RopCase{"SrcInvert", SRCINVERT, Source ^ Dest},
                      RopCase{"NotSrcCopy", NOTSRCCOPY, ~Source & 0xFFFFFF},
                      RopCase{"DstInvert", DSTINVERT, ~Dest & 0xFFFFFF}, RopCase{"PatCopy", PATCOPY, Pattern},
                      RopCase{"PatInvert", PATINVERT, Pattern ^ Dest}, RopCase{"Blackness", BLACKNESS, Black},
                      RopCase{"Whiteness", WHITENESS, White}),
    [](const ::testing::TestParamInfo<RopCase>& info) { return std::string(info.param.Name); });

TEST(Rops, PatInvertTwiceRestoresAndHonoursTheClip)
{
    Canvas canvas(10, 10, Dest);
    HDC dc = canvas.Dc();
    HBITMAP bits = MonoPattern(Halftone);
    HBRUSH brush = CreatePatternBrush(bits);
    SelectObject(dc, brush);
    ExcludeClipRect(dc, 0, 0, 5, 10);
    EXPECT_TRUE(PatBlt(dc, 0, 0, 10, 10, PATINVERT));
    EXPECT_EQ(canvas.Count(Dest, 0, 0, 5, 10), 50);
    // Text colour black leaves the 0 bits alone, background white inverts the 1 bits.
    EXPECT_EQ(canvas.Count(Dest, 5, 0, 10, 10), 25);
    EXPECT_EQ(canvas.Count(~Dest & 0xFFFFFF), 25);
    // Negative extents count from the other side.
    EXPECT_TRUE(PatBlt(dc, 10, 10, -10, -10, PATINVERT));
    EXPECT_EQ(canvas.Count(Dest), 100);
    EXPECT_FALSE(PatBlt(dc, 0, 0, 10, 10, SRCCOPY));  // needs a source
    // Operations without a source take none from BitBlt either.
    EXPECT_TRUE(BitBlt(dc, 0, 0, 10, 10, nullptr, 0, 0, DSTINVERT));
    EXPECT_EQ(canvas.Count(~Dest & 0xFFFFFF), 50);  // the clip still holds
    EXPECT_TRUE(BitBlt(dc, 0, 0, 10, 10, nullptr, 0, 0, DSTINVERT));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 10, 10, nullptr, 0, 0, SRCCOPY));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
    DeleteObject(bits);
}

TEST(Blits, CopiesBetweenOffsetsOriginsAndClips)
{
    Canvas src(10, 10);
    Fill(src.Dc(), RECT{2, 2, 5, 5}, Red);
    Canvas dst(10, 10);
    SetViewportOrgEx(src.Dc(), -2, -2, nullptr);  // logical (4,4) is image (2,2)
    IntersectClipRect(dst.Dc(), 0, 0, 7, 10);
    EXPECT_TRUE(BitBlt(dst.Dc(), 5, 1, 3, 3, src.Dc(), 4, 4, SRCCOPY));
    EXPECT_EQ(dst.Row(1, Red, 0, 10), ".....##...");  // column 7 is clipped away
    EXPECT_EQ(dst.Count(Red), 6);

    // The source is read back from any DC, an image DC included.
    QImage image(6, 6, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    HDC window = CreateImageDC(image, POINT{0, 0}, nullptr);
    dst.Clear(White);
    EXPECT_TRUE(BitBlt(dst.Dc(), 0, 0, 2, 2, window, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.Count(Blue), 4);
    DeleteImageDC(window);
    EXPECT_FALSE(BitBlt(dst.Dc(), 0, 0, 2, 2, window, 0, 0, SRCCOPY));  // a freed DC is refused
    EXPECT_FALSE(BitBlt(dst.Dc(), 0, 0, 2, 2, src.Dc(), 0, 0, 0x00123456));
}

TEST(Blits, StretchScalesByPixelReplication)
{
    Canvas src(2, 1);
    SetPixel(src.Dc(), 0, 0, Red);
    SetPixel(src.Dc(), 1, 0, Blue);
    Canvas dst(8, 2);
    EXPECT_TRUE(StretchBlt(dst.Dc(), 0, 0, 8, 2, src.Dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.Row(0, Red, 0, 8), "####....");
    EXPECT_EQ(dst.Row(1, Blue, 0, 8), "....####");
}

TEST(Blits, MonochromeAndColourConvertThroughTheDcColours)
{
    // Mono to colour: 0 bits take the destination's text colour, 1 bits its background colour.
    HBITMAP mono = MonoPattern(Halftone);
    HDC monoDc = CreateCompatibleDC(nullptr);
    const HGDIOBJ oldMono = SelectObject(monoDc, mono);
    Canvas colour(8, 2);
    SetTextColor(colour.Dc(), Red);
    SetBkColor(colour.Dc(), Green);
    BitBlt(colour.Dc(), 0, 0, 8, 2, monoDc, 0, 0, SRCCOPY);
    EXPECT_EQ(colour.Row(0, Red, 0, 8), "#.#.#.#.");
    EXPECT_EQ(colour.Row(0, Green, 0, 8), ".#.#.#.#");

    // Colour to mono: the source's background colour becomes white, everything else black.
    SetBkColor(colour.Dc(), Green);
    BitBlt(monoDc, 0, 0, 8, 2, colour.Dc(), 0, 0, SRCCOPY);
    const QImage& bits = *GetBitmapImage(mono);
    EXPECT_EQ(bits.pixelIndex(0, 0), 0);
    EXPECT_EQ(bits.pixelIndex(1, 0), 1);
    EXPECT_EQ(bits.pixelIndex(0, 1), 1);
    EXPECT_EQ(GetPixel(monoDc, 1, 0), White);
    EXPECT_EQ(GetPixel(monoDc, 0, 0), Black);

    // Drawing on a monochrome surface thresholds to black and white.
    Fill(monoDc, RECT{0, 0, 8, 8}, RGB(250, 250, 250));
    EXPECT_EQ(GetPixel(monoDc, 3, 3), White);
    Fill(monoDc, RECT{0, 0, 8, 8}, RGB(20, 20, 20));
    EXPECT_EQ(GetPixel(monoDc, 3, 3), Black);
    BITMAP info;
    ASSERT_TRUE(GetObject(mono, info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidthBytes, 2);
    SelectObject(monoDc, oldMono);
    DeleteDC(monoDc);
    DeleteObject(mono);
}

TEST(Blits, ACompatibleBitmapOfAFreshMemoryDcIsMonochrome)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP fromMemory = CreateCompatibleBitmap(memory, 4, 4);
    HBITMAP fromScreen = CreateCompatibleBitmap(nullptr, 4, 4);
    BITMAP info;
    GetObject(fromMemory, info);
    EXPECT_EQ(info.bmBitsPixel, 1);
    GetObject(fromScreen, info);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmWidthBytes, 16);
    ASSERT_NE(info.bmBits, nullptr);
    // A new colour bitmap is black, and its bits are the pixels.
    EXPECT_EQ(static_cast<const std::uint8_t*>(info.bmBits)[0], 0);
    static_cast<std::uint8_t*>(info.bmBits)[2] = 0xFF;  // red of pixel (0,0)
    SelectObject(memory, fromScreen);
    EXPECT_EQ(GetPixel(memory, 0, 0), Red);
    EXPECT_EQ(GetDeviceCaps(memory, BITSPIXEL) * GetDeviceCaps(memory, PLANES), 32);
    DeleteDC(memory);
    DeleteObject(fromMemory);
    DeleteObject(fromScreen);
}

// Bitmap bits written directly often leave the fourth byte of each pixel 0; a copy must not take that for
// transparency and lose the colour.
TEST(Blits, CopyKeepsColoursWhateverTheFourthByte)
{
    Canvas src(2, 1);
    BITMAP info;
    GetObject(src.Bitmap(), info);
    auto* p = static_cast<std::uint8_t*>(info.bmBits);
    const std::uint8_t pixels[] = {0, 0, 255, 0, 255, 0, 0, 0};  // red and blue, fourth byte 0
    std::memcpy(p, pixels, sizeof pixels);
    EXPECT_EQ(GetPixel(src.Dc(), 0, 0), Red);

    Canvas memory(2, 1, White);
    EXPECT_TRUE(BitBlt(memory.Dc(), 0, 0, 2, 1, src.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(memory.At(0, 0), Red);
    EXPECT_EQ(memory.At(1, 0), Blue);

    QImage window(2, 1, QImage::Format_RGB32);
    window.fill(qRgb(255, 255, 255));
    HDC dc = CreateImageDC(window, POINT{0, 0}, nullptr);
    EXPECT_TRUE(BitBlt(dc, 0, 0, 2, 1, src.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(window.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(window.pixel(1, 0), qRgb(0, 0, 255));
    Canvas stretched(4, 2, White);
    EXPECT_TRUE(StretchBlt(stretched.Dc(), 0, 0, 4, 2, src.Dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(stretched.At(1, 1), Red);
    EXPECT_EQ(stretched.At(3, 0), Blue);
    DeleteImageDC(dc);

    Canvas blended(2, 1, White);
    EXPECT_TRUE(AlphaBlend(blended.Dc(), 0, 0, 2, 1, src.Dc(), 0, 0, 2, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0}));
    EXPECT_EQ(blended.At(0, 0), Red);
}

// ---- Monochrome glyphs ------------------------------------------------------------------------------------

TEST(MonoGlyphs, SetBitsArePaintedThroughTheBrush)
{
    static constexpr std::array<BYTE, 8> cross{0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};
    static const char* const expected[] = {"..........", "..##..##..", "...####...", "....##....",
                                           "...####...", "..##..##..", "..........", ".........."};
    Canvas canvas(12, 12);
    HDC dc = canvas.Dc();
    HBRUSH red = CreateSolidBrush(Red);
    SetViewportOrgEx(dc, 1, 1, nullptr);
    DrawMonoGlyph(dc, cross, 1, 0, red);
    for (int row = 0; row < 8; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(canvas.Row(row + 1, Red, 0, 10), expected[row]);
    }

    // The disabled look: highlight one pixel down and right, then shadow on top.
    canvas.Clear(White);
    DrawMonoGlyph(dc, cross, 1, 0, reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_BTNHIGHLIGHT + 1)));
    DrawMonoGlyph(dc, cross, 0, -1, GetSysColorBrush(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(2, 1), GetSysColor(COLOR_BTNSHADOW));

    // Clipping applies.
    canvas.Clear(White);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    IntersectClipRect(dc, 0, 0, 5, 12);
    DrawMonoGlyph(dc, cross, 0, 0, red);
    EXPECT_EQ(canvas.Row(1, Red, 0, 10), "##..#.....");
    DeleteObject(red);
}

TEST(MonoGlyphs, ThroughAPatternBrushAndFromAMonochromeBitmap)
{
    static constexpr std::array<BYTE, 2> bar{0xFF, 0xFF};
    Canvas canvas(8, 4);
    HDC dc = canvas.Dc();
    HBITMAP bits = MonoPattern(Halftone);
    HBRUSH halftone = CreatePatternBrush(bits);
    SetTextColor(dc, Red);
    SetBkColor(dc, Blue);
    DrawMonoGlyph(dc, bar, 0, 1, halftone);
    EXPECT_EQ(canvas.Row(0, White, 0, 8), "########");
    EXPECT_EQ(canvas.Row(1, Red, 0, 8), ".#.#.#.#");  // row 1 of the pattern starts with a 1 bit
    EXPECT_EQ(canvas.Row(2, Red, 0, 8), "#.#.#.#.");

    // From a bitmap, the black (0) pixels are the ink: the mask convention of frame-control glyphs.
    canvas.Clear(White);
    HBRUSH blue = CreateSolidBrush(Blue);
    DrawMonoGlyph(dc, bits, 0, 0, blue);
    EXPECT_EQ(canvas.Row(0, Blue, 0, 8), "#.#.#.#.");
    EXPECT_EQ(canvas.Row(3, Blue, 0, 8), ".#.#.#.#");
    for (HGDIOBJ o : {halftone, bits, blue})
        DeleteObject(o);
}

// ---- Alpha blending and images ----------------------------------------------------------------------------

TEST(Alpha, ConstantAndPerPixelAlphaBlendOverTheDestination)
{
    Canvas src(2, 1, White);
    Canvas dst(2, 1, Black);
    BLENDFUNCTION constant{AC_SRC_OVER, 0, 128, 0};
    EXPECT_TRUE(AlphaBlend(dst.Dc(), 0, 0, 2, 1, src.Dc(), 0, 0, 2, 1, constant));
    EXPECT_NEAR(GetRValue(dst.At(0, 0)), 128, 1);
    EXPECT_NEAR(GetBValue(dst.At(1, 0)), 128, 1);

    // Premultiplied source pixels: half-transparent white, and fully transparent.
    BITMAP info;
    GetObject(src.Bitmap(), info);
    auto* p = static_cast<std::uint8_t*>(info.bmBits);
    const std::uint8_t half[] = {128, 128, 128, 128, 0, 0, 0, 0};
    std::memcpy(p, half, sizeof half);
    dst.Clear(Black);
    BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_TRUE(AlphaBlend(dst.Dc(), 0, 0, 2, 1, src.Dc(), 0, 0, 2, 1, perPixel));
    EXPECT_NEAR(GetGValue(dst.At(0, 0)), 128, 1);
    EXPECT_EQ(dst.At(1, 0), Black);
    dst.Clear(Red);
    AlphaBlend(dst.Dc(), 0, 0, 2, 1, src.Dc(), 0, 0, 2, 1, perPixel);
    EXPECT_NEAR(GetRValue(dst.At(0, 0)), 255, 1);
    EXPECT_NEAR(GetGValue(dst.At(0, 0)), 128, 1);
    EXPECT_EQ(dst.At(1, 0), Red);

    BLENDFUNCTION bad{1, 0, 255, 0};
    EXPECT_FALSE(AlphaBlend(dst.Dc(), 0, 0, 2, 1, src.Dc(), 0, 0, 2, 1, bad));
}

TEST(Alpha, PremultipliedImageSourceIsNotPremultipliedTwice)
{
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.setPixel(0, 0, qRgba(100, 50, 0, 128));  // premultiplied: 200, 100, 0 at half alpha
    HDC source = CreateImageDC(image, POINT{0, 0}, nullptr);
    Canvas dst(1, 1, Black);
    BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    EXPECT_TRUE(AlphaBlend(dst.Dc(), 0, 0, 1, 1, source, 0, 0, 1, 1, perPixel));
    EXPECT_NEAR(GetRValue(dst.At(0, 0)), 100, 1);
    EXPECT_NEAR(GetGValue(dst.At(0, 0)), 50, 1);
    DeleteImageDC(source);
}

TEST(Alpha, RgbaPixelsAreStretchedAndBlended)
{
    Canvas canvas(4, 2, Blue);
    // Left pixel opaque red, right one transparent.
    const std::uint8_t rgba[] = {255, 0, 0, 255, 0, 255, 0, 0};
    EXPECT_TRUE(StretchRgbaPixels(canvas.Dc(), RECT{0, 0, 4, 2}, 2, 1, rgba));
    EXPECT_EQ(canvas.Row(0, Red, 0, 4), "##..");
    EXPECT_EQ(canvas.Row(1, Blue, 0, 4), "..##");
    EXPECT_FALSE(StretchRgbaPixels(canvas.Dc(), RECT{0, 0, 4, 2}, 3, 1, rgba));  // too few bytes
}

// ---- Object life ------------------------------------------------------------------------------------------

TEST(Objects, SelectingReturnsThePreviousAndNothingLeaks)
{
    const int before = GdiObjectCount();
    {
        Canvas canvas(4, 4);
        HDC dc = canvas.Dc();
        EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
        HPEN pen = CreatePen(PS_SOLID, 1, Red);
        const HGDIOBJ stockPen = SelectObject(dc, pen);
        EXPECT_EQ(stockPen, GetStockObject(BLACK_PEN));
        EXPECT_EQ(SelectObject(dc, stockPen), pen);
        // A region selects as the clip and answers with its kind.
        HRGN region = CreateRectRgn(0, 0, 2, 2);
        EXPECT_EQ(reinterpret_cast<std::intptr_t>(SelectObject(dc, region)), SIMPLEREGION);
        // Deleting a selected object is deferred.
        HBRUSH brush = CreateSolidBrush(Green);
        const HGDIOBJ oldBrush = SelectObject(dc, brush);
        EXPECT_TRUE(DeleteObject(brush));
        EXPECT_EQ(GetObjectType(brush), OBJ_BRUSH);
        PatBlt(dc, 0, 0, 4, 4, PATCOPY);
        EXPECT_EQ(canvas.Count(Green), 4);
        SelectObject(dc, oldBrush);
        EXPECT_EQ(GetObjectType(brush), 0u);
        EXPECT_EQ(SelectObject(dc, brush), nullptr);  // a freed handle is refused
        DeleteObject(pen);
        DeleteObject(region);
    }
    EXPECT_EQ(GdiObjectCount(), before);
}

TEST(Objects, ScreenDcMeasuresAndImageDcsAreNotMemoryDcs)
{
    HDC screen = CreateScreenDC();
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(screen, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96);
    SIZE size;
    EXPECT_TRUE(GetTextExtentPoint32(screen, "Wide", &size));
    EXPECT_GT(size.cx, 0);
    EXPECT_FALSE(DeleteDC(nullptr));
    DeleteImageDC(screen);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 0);
}

}  // namespace
}  // namespace ovrel::ui
