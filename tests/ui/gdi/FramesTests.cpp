// Edges, frame controls, focus rectangles and captions, drawn from the system colours and read back.

#include "support/GdiTestSupport.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace ovrel::ui {
namespace {

using namespace testing;  // the canvas, colours and helpers of GdiTestSupport.h

COLORREF Sys(int index) { return GetSysColor(index); }

// ---- DrawEdge ---------------------------------------------------------------------------------------------

struct EdgeCase {
    const char* Name;
    UINT Edge;
    UINT Flags;
    // Expected system colours (-1: the red background) at the outer corners and sides and one pixel in.
    int TopLeft, TopRight, BottomLeft, Top, Bottom, Left, Right, InnerTop, InnerBottom, Middle;
    RECT Adjusted;
};

class DrawEdgeTest : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(DrawEdgeTest, PaintsRingsInTheSystemColours)
{
    const EdgeCase& c = GetParam();
    Canvas canvas(12, 12, Red);
    RECT r{0, 0, 10, 10};
    EXPECT_TRUE(DrawEdge(canvas.Dc(), &r, c.Edge, c.Flags));
    auto colour = [](int index) { return index < 0 ? Red : Sys(index); };
    EXPECT_EQ(canvas.At(0, 0), colour(c.TopLeft));
    EXPECT_EQ(canvas.At(9, 0), colour(c.TopRight));
    EXPECT_EQ(canvas.At(0, 9), colour(c.BottomLeft));
    EXPECT_EQ(canvas.At(5, 0), colour(c.Top));
    EXPECT_EQ(canvas.At(5, 9), colour(c.Bottom));
    EXPECT_EQ(canvas.At(0, 5), colour(c.Left));
    EXPECT_EQ(canvas.At(9, 5), colour(c.Right));
    EXPECT_EQ(canvas.At(5, 1), colour(c.InnerTop));
    EXPECT_EQ(canvas.At(5, 8), colour(c.InnerBottom));
    EXPECT_EQ(canvas.At(5, 5), colour(c.Middle));
    EXPECT_EQ(canvas.Count(Red, 10, 0, 12, 12) + canvas.Count(Red, 0, 10, 10, 12), 2 * 12 + 2 * 10);
    EXPECT_EQ(r, c.Adjusted);
}

constexpr int Bg = -1;
constexpr RECT Whole{0, 0, 10, 10};

INSTANTIATE_TEST_SUITE_P(
    Edges, DrawEdgeTest,
    ::testing::Values(
        EdgeCase{"Raised", EDGE_RAISED, BF_RECT, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT,
                 COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, Bg, Whole},
        EdgeCase{"RaisedSoftMiddleAdjust", EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST | BF_SOFT, COLOR_BTNHIGHLIGHT,
                 COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT,
                 COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_BTNSHADOW, COLOR_BTNFACE, RECT{2, 2, 8, 8}},
        EdgeCase{"Sunken", EDGE_SUNKEN, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT,
                 COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW,
                 COLOR_3DLIGHT, Bg, Whole},
        EdgeCase{"Etched", EDGE_ETCHED, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT,
                 COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT,
                 COLOR_BTNSHADOW, Bg, Whole},
        EdgeCase{"SunkenOuterOnly", BDR_SUNKENOUTER, BF_RECT | BF_ADJUST, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT,
                 COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, Bg, Bg,
                 Bg, RECT{1, 1, 9, 9}},
        EdgeCase{"RaisedInnerOnly", BDR_RAISEDINNER, BF_RECT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNSHADOW,
                 COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, Bg, Bg, Bg, Whole},
        // Only the top and left: the other sides stay, and the top side runs to the right edge.
        EdgeCase{"TopLeftOnly", EDGE_RAISED, BF_LEFT | BF_TOP | BF_ADJUST, COLOR_3DLIGHT, COLOR_3DLIGHT, COLOR_3DLIGHT,
                 COLOR_3DLIGHT, Bg, COLOR_3DLIGHT, Bg, COLOR_BTNHIGHLIGHT, Bg, Bg, RECT{2, 2, 10, 10}},
        EdgeCase{"Flat", EDGE_RAISED, BF_RECT | BF_FLAT | BF_MIDDLE, COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNSHADOW,
                 COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNFACE,
                 COLOR_BTNFACE, Whole}),
    [](const ::testing::TestParamInfo<EdgeCase>& info) { return std::string(info.param.Name); });

TEST(DrawEdge, FollowsTheSystemTableAndTheDcOrigin)
{
    SystemTableOverride override;
    override.Table().Colors[COLOR_3DDKSHADOW] = RGB(1, 2, 3);
    Canvas canvas(12, 12, Red);
    SetViewportOrgEx(canvas.Dc(), 2, 2, nullptr);
    RECT r{0, 0, 10, 10};
    DrawEdge(canvas.Dc(), &r, EDGE_RAISED, BF_RECT);
    EXPECT_EQ(canvas.At(11, 11), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(2, 2), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.At(1, 1), Red);
    EXPECT_FALSE(DrawEdge(canvas.Dc(), nullptr, EDGE_RAISED, BF_RECT));
}

// ---- DrawFrameControl -------------------------------------------------------------------------------------

TEST(DrawFrameControl, PushButtonsRaiseAndSink)
{
    Canvas canvas(20, 20, Red);
    RECT r{0, 0, 20, 20};
    EXPECT_TRUE(DrawFrameControl(canvas.Dc(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
    EXPECT_EQ(r, (RECT{2, 2, 18, 18}));
    EXPECT_EQ(canvas.At(10, 10), Sys(COLOR_BTNFACE));
    EXPECT_EQ(canvas.At(19, 19), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.Count(Red), 0);

    r = RECT{0, 0, 20, 20};
    DrawFrameControl(canvas.Dc(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(r, (RECT{0, 0, 20, 20}));  // no DFCS_ADJUSTRECT
    EXPECT_EQ(canvas.At(0, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(19, 19), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(10, 10), Sys(COLOR_BTNFACE));
    EXPECT_FALSE(DrawFrameControl(canvas.Dc(), &r, 99, 0));
}

TEST(DrawFrameControl, CheckBoxesShowTheirStates)
{
    struct Case {
        const char* Name;
        UINT State;
        int Face;  // inside the box
        int Mark;  // -1: no mark
    };
    const Case cases[] = {
        {"unchecked", DFCS_BUTTONCHECK, COLOR_WINDOW, -1},
        {"checked", DFCS_BUTTONCHECK | DFCS_CHECKED, COLOR_WINDOW, COLOR_WINDOWTEXT},
        {"disabled checked", DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, COLOR_BTNFACE, COLOR_BTNSHADOW},
        {"pushed", DFCS_BUTTONCHECK | DFCS_PUSHED, COLOR_BTNFACE, -1},
        {"third state", DFCS_BUTTON3STATE | DFCS_CHECKED, COLOR_WINDOW, COLOR_BTNSHADOW},
    };
    const int side = GetSystemMetrics(SM_CXMENUCHECK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Canvas canvas(side, side, Red);
        RECT r{0, 0, side, side};
        EXPECT_TRUE(DrawFrameControl(canvas.Dc(), &r, DFC_BUTTON, c.State));
        EXPECT_EQ(canvas.At(0, 0), Sys(COLOR_BTNSHADOW));  // sunken box
        EXPECT_EQ(canvas.At(2, 2), Sys(c.Face));
        EXPECT_EQ(canvas.Count(Red), 0);
        if (c.Mark < 0) {
            EXPECT_EQ(canvas.Count(Sys(c.Face), 2, 2, side - 2, side - 2), (side - 4) * (side - 4));
        } else {
            const int mark = canvas.Count(Sys(c.Mark), 2, 2, side - 2, side - 2);
            EXPECT_GE(mark, 15);  // a tick, three pixels thick
            EXPECT_LE(mark, 25);
        }
    }
}

TEST(DrawFrameControl, RadioButtonIsRoundWithADotWhenChecked)
{
    const int side = 13;
    Canvas canvas(side, side, Red);
    RECT r{0, 0, side, side};
    DrawFrameControl(canvas.Dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    EXPECT_EQ(canvas.At(0, 0), Red);  // corners outside the circle
    EXPECT_EQ(canvas.At(side - 1, side - 1), Red);
    EXPECT_EQ(canvas.At(6, 6), Sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(canvas.At(6, 2), Sys(COLOR_WINDOW));
    canvas.Clear(Red);
    DrawFrameControl(canvas.Dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIO);
    EXPECT_EQ(canvas.At(6, 6), Sys(COLOR_WINDOW));
    EXPECT_EQ(canvas.Count(Sys(COLOR_WINDOWTEXT)), 0);
}

// Rows (or columns) of glyph pixels: an arrow widens from its point to its base.
std::vector<int> InkProfile(const Canvas& canvas, COLORREF ink, bool columns)
{
    std::vector<int> counts;
    const int n = columns ? canvas.Width() : canvas.Height();
    for (int i = 0; i < n; ++i) {
        const int count =
            columns ? canvas.Count(ink, i, 0, i + 1, canvas.Height()) : canvas.Count(ink, 0, i, canvas.Width(), i + 1);
        if (count > 0)
            counts.push_back(count);
    }
    return counts;
}

TEST(DrawFrameControl, ScrollArrowsPointTheirWay)
{
    struct Case {
        const char* Name;
        UINT Kind;
        bool Columns;  // profile across columns (left/right) or rows (up/down)
        bool WidensLater;  // the base comes after the point
    };
    const Case cases[] = {
        {"up", DFCS_SCROLLUP, false, true},
        {"down", DFCS_SCROLLDOWN, false, false},
        {"left", DFCS_SCROLLLEFT, true, true},
        {"right", DFCS_SCROLLRIGHT, true, false},
        {"combo box", DFCS_SCROLLCOMBOBOX, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Canvas canvas(16, 16, Red);
        RECT r{0, 0, 16, 16};
        EXPECT_TRUE(DrawFrameControl(canvas.Dc(), &r, DFC_SCROLL, c.Kind));
        const COLORREF ink = Sys(COLOR_BTNTEXT);
        const std::vector<int> profile = InkProfile(canvas, ink, c.Columns);
        ASSERT_GE(profile.size(), 3u);
        EXPECT_TRUE(c.WidensLater ? std::is_sorted(profile.begin(), profile.end())
                                  : std::is_sorted(profile.rbegin(), profile.rend()));
        EXPECT_LT(profile.front() + profile.back(), 2 * std::max(profile.front(), profile.back()));
        const RECT bounds = [&] {
            RECT b{16, 16, 0, 0};
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    if (canvas.At(x, y) == ink) {
                        b.left = std::min<LONG>(b.left, x);
                        b.top = std::min<LONG>(b.top, y);
                        b.right = std::max<LONG>(b.right, x + 1);
                        b.bottom = std::max<LONG>(b.bottom, y + 1);
                    }
            return b;
        }();
        SCOPED_TRACE(ToString(bounds));
        // Centred in the button, within a pixel.
        EXPECT_LE(std::abs(bounds.left + bounds.right - 16), 2);
        EXPECT_LE(std::abs(bounds.top + bounds.bottom - 16), 2);

        // Disabled: embossed in highlight and shadow, no text colour.
        canvas.Clear(Red);
        DrawFrameControl(canvas.Dc(), &r, DFC_SCROLL, c.Kind | DFCS_INACTIVE);
        EXPECT_EQ(canvas.Count(ink, 2, 2, 14, 14), 0);
        EXPECT_GT(canvas.Count(Sys(COLOR_BTNSHADOW), 3, 3, 13, 13), 0);
    }
}

TEST(DrawFrameControl, CaptionCloseCrossIsCentredAndSymmetric)
{
    Canvas canvas(16, 14, Red);
    RECT r{0, 0, 16, 14};
    EXPECT_TRUE(DrawFrameControl(canvas.Dc(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    const COLORREF ink = Sys(COLOR_BTNTEXT);
    std::vector<POINT> pixels;
    for (int y = 2; y < 12; ++y)
        for (int x = 2; x < 14; ++x)
            if (canvas.At(x, y) == ink)
                pixels.push_back(POINT{x, y});
    ASSERT_FALSE(pixels.empty());
    // Mirror-symmetric left to right about the cross's own centre column pair.
    LONG minX = 16, maxX = 0;
    for (const POINT& p : pixels) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
    }
    for (const POINT& p : pixels)
        EXPECT_EQ(canvas.At(minX + maxX - p.x, p.y), ink) << p.x << "," << p.y;
    EXPECT_LE(std::abs(static_cast<int>(minX + maxX + 1) - 16), 2);

    canvas.Clear(Red);
    DrawFrameControl(canvas.Dc(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_INACTIVE);
    EXPECT_EQ(canvas.Count(ink, 2, 2, 14, 12), 0);
    EXPECT_GT(canvas.Count(Sys(COLOR_BTNSHADOW), 2, 2, 14, 12), 0);
}

// The other caption glyphs: each keeps inside the face, moves with a press, and is embossed when inactive.
TEST(DrawFrameControl, CaptionGlyphsShowTheirButtons)
{
    const COLORREF text = Sys(COLOR_BTNTEXT);
    Canvas canvas(16, 14, Red);
    // Draws a glyph and gives the bounds of its text-coloured pixels.
    auto draw = [&](UINT state) {
        canvas.Clear(Red);
        RECT r{0, 0, 16, 14};
        EXPECT_TRUE(DrawFrameControl(canvas.Dc(), &r, DFC_CAPTION, state));
        RECT bounds{16, 14, 0, 0};
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 16; ++x)
                if (canvas.At(x, y) == text)
                    bounds = RECT{std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                                  std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
        return bounds.right == 0 ? RECT{} : bounds;
    };
    std::vector<std::string> shapes;
    for (UINT kind : {DFCS_CAPTIONMIN, DFCS_CAPTIONMAX, DFCS_CAPTIONRESTORE, DFCS_CAPTIONHELP}) {
        SCOPED_TRACE(kind);
        const RECT ink = draw(kind);
        ASSERT_GT(ink.right, ink.left);
        // Inside the raised face, clear of its two-pixel edge.
        EXPECT_GE(ink.left, 2);
        EXPECT_GE(ink.top, 2);
        EXPECT_LE(ink.right, 14);
        EXPECT_LE(ink.bottom, 12);
        std::string shape;
        for (int y = 2; y < 12; ++y)
            shape += canvas.Row(y, text, 2, 14) + "\n";
        shapes.push_back(shape);
        switch (kind) {
        case DFCS_CAPTIONMIN:  // a bar in the lower half, two pixels high
            EXPECT_GE(ink.top, 7);
            EXPECT_EQ(ink.bottom - ink.top, 2);
            break;
        case DFCS_CAPTIONMAX:  // a closed window whose title bar is thicker than its other sides
            for (int y = ink.top; y < ink.bottom; ++y) {
                EXPECT_EQ(canvas.At(ink.left, y), text) << y;
                EXPECT_EQ(canvas.At(ink.right - 1, y), text) << y;
            }
            EXPECT_EQ(canvas.Count(text, ink.left, ink.top + 1, ink.right, ink.top + 2), ink.right - ink.left);
            EXPECT_EQ(canvas.Count(text, ink.left, ink.top + 2, ink.right, ink.top + 3), 2);
            break;
        case DFCS_CAPTIONRESTORE:  // two windows, one behind at the top right: two corners stay empty
            EXPECT_NE(canvas.At(ink.left, ink.top), text);
            EXPECT_NE(canvas.At(ink.right - 1, ink.bottom - 1), text);
            EXPECT_EQ(canvas.At(ink.right - 1, ink.top), text);
            EXPECT_EQ(canvas.At(ink.left, ink.bottom - 1), text);
            break;
        default:  // a question mark: taller than wide, its dot apart from the stem by an empty row
            EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left);
            EXPECT_EQ(canvas.Count(text, ink.left, ink.bottom - 2, ink.right, ink.bottom - 1), 0);
            EXPECT_GT(canvas.Count(text, ink.left, ink.bottom - 1, ink.right, ink.bottom), 0);
            break;
        }
        EXPECT_EQ(draw(kind | DFCS_PUSHED), (RECT{ink.left + 1, ink.top + 1, ink.right + 1, ink.bottom + 1}));
        EXPECT_EQ(draw(kind | DFCS_INACTIVE), RECT{});
        EXPECT_GT(canvas.Count(Sys(COLOR_BTNSHADOW), 2, 2, 14, 12), 0);
        EXPECT_GT(canvas.Count(Sys(COLOR_BTNHIGHLIGHT), 2, 2, 14, 12), 0);
    }
    for (std::size_t i = 0; i < shapes.size(); ++i)
        for (std::size_t j = i + 1; j < shapes.size(); ++j)
            EXPECT_NE(shapes[i], shapes[j]) << i << " and " << j << " look alike";
}

TEST(DrawFrameControl, MenuArrowIsAMaskForMonochromeGlyphs)
{
    // The menu code draws the arrow into a monochrome bitmap and paints its black pixels with a brush.
    HDC mask = CreateCompatibleDC(nullptr);
    HBITMAP bits = CreateBitmap(9, 9, 1, 1, nullptr);
    const HGDIOBJ old = SelectObject(mask, bits);
    RECT r{0, 0, 9, 9};
    EXPECT_TRUE(DrawFrameControl(mask, &r, DFC_MENU, DFCS_MENUARROW));
    SelectObject(mask, old);
    DeleteDC(mask);

    Canvas canvas(9, 9, White);
    HBRUSH red = CreateSolidBrush(Red);
    DrawMonoGlyph(canvas.Dc(), bits, 0, 0, red);
    const int painted = canvas.Count(Red);
    EXPECT_GT(painted, 3);
    EXPECT_LT(painted, 30);  // the arrow, not the white around it
    const std::vector<int> profile = InkProfile(canvas, Red, true);
    ASSERT_GE(profile.size(), 2u);
    EXPECT_TRUE(std::is_sorted(profile.rbegin(), profile.rend()));  // points right
    EXPECT_GT(profile.front(), profile.back());
    DeleteObject(red);
    DeleteObject(bits);
}

// ---- DrawFocusRect ----------------------------------------------------------------------------------------

TEST(DrawFocusRect, DottedFrameThatASecondCallErases)
{
    Canvas canvas(16, 12);
    HDC dc = canvas.Dc();
    const RECT r{2, 2, 12, 10};
    EXPECT_TRUE(DrawFocusRect(dc, &r));
    EXPECT_EQ(canvas.Row(2, Black, 0, 14), "...#.#.#.#.#..");
    EXPECT_EQ(canvas.Row(9, Black, 0, 14), "..#.#.#.#.#...");
    EXPECT_EQ(canvas.Column(2, Black, 0, 12), "...#.#.#.#..");
    EXPECT_EQ(canvas.Count(Black), 16);  // half of the 32 frame pixels, none inverted twice
    EXPECT_EQ(canvas.Count(Black, 3, 3, 11, 9), 0);
    EXPECT_TRUE(DrawFocusRect(dc, &r));
    EXPECT_EQ(canvas.Count(White), 16 * 12);

    // Thin rectangles still invert each pixel once; an empty one draws nothing.
    const RECT line{0, 0, 6, 1};
    DrawFocusRect(dc, &line);
    EXPECT_EQ(canvas.Row(0, Black, 0, 8), ".#.#.#..");
    DrawFocusRect(dc, &line);
    const RECT empty{5, 5, 5, 9};
    EXPECT_TRUE(DrawFocusRect(dc, &empty));
    EXPECT_EQ(canvas.Count(White), 16 * 12);
}

TEST(DrawFocusRect, UsesTheDcColoursAndLeavesTheBrushSelected)
{
    Canvas canvas(10, 10, Black);
    HDC dc = canvas.Dc();
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(0, 255, 0));
    HBRUSH mine = CreateSolidBrush(Red);
    SelectObject(dc, mine);
    const RECT r{0, 0, 10, 10};
    DrawFocusRect(dc, &r);
    EXPECT_EQ(canvas.Count(RGB(0, 255, 0)), 18);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), mine);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(mine);
}

// ---- Captions ---------------------------------------------------------------------------------------------

TEST(DrawCaption, GradientAndTextFollowTheFlagsAndTheTable)
{
    struct Case {
        const char* Name;
        UINT Flags;
        BOOL GradientCaptions;
        int Left, Right;  // colours at the two ends
    };
    const Case cases[] = {
        {"active gradient", DC_ACTIVE | DC_GRADIENT, TRUE, COLOR_ACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION},
        {"inactive gradient", DC_GRADIENT, TRUE, COLOR_INACTIVECAPTION, COLOR_GRADIENTINACTIVECAPTION},
        {"active flat", DC_ACTIVE, TRUE, COLOR_ACTIVECAPTION, COLOR_ACTIVECAPTION},
        {"gradients switched off", DC_ACTIVE | DC_GRADIENT, FALSE, COLOR_ACTIVECAPTION, COLOR_ACTIVECAPTION},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        SystemTableOverride override;
        override.Table().GradientCaptions = c.GradientCaptions;
        Canvas canvas(100, 16, Red);
        const RECT r{0, 0, 100, 16};
        EXPECT_TRUE(DrawCaptionText(canvas.Dc(), &r, "", c.Flags));
        auto near = [](COLORREF a, COLORREF b) {
            return std::abs(GetRValue(a) - GetRValue(b)) <= 4 && std::abs(GetGValue(a) - GetGValue(b)) <= 4 &&
                   std::abs(GetBValue(a) - GetBValue(b)) <= 4;
        };
        EXPECT_TRUE(near(canvas.At(0, 8), Sys(c.Left)));
        EXPECT_TRUE(near(canvas.At(99, 8), Sys(c.Right)));
        EXPECT_EQ(canvas.Count(Red), 0);
    }

    Canvas canvas(100, 16, Red);
    const RECT r{0, 0, 100, 16};
    DrawCaptionText(canvas.Dc(), &r, "Caption", DC_ACTIVE | DC_TEXT | DC_SMALLCAP);
    const COLORREF text = Sys(COLOR_CAPTIONTEXT);
    EXPECT_GT(canvas.Count(text), 10);
    EXPECT_EQ(canvas.Count(text, 0, 0, 2, 16), 0);  // a small margin before the text
    EXPECT_EQ(GetBkMode(canvas.Dc()), OPAQUE);  // the DC's state is left as it was
    canvas.Clear(Red);
    DrawCaptionText(canvas.Dc(), &r, "Caption", DC_TEXT);
    EXPECT_EQ(canvas.Count(text), 0);
    EXPECT_GT(canvas.Count(Sys(COLOR_INACTIVECAPTIONTEXT)), 10);
}

}  // namespace
}  // namespace ovrel::ui
