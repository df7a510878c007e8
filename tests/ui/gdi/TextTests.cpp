// Text output and fonts: DrawText's flags, prefixes, ellipses, measuring, text alignment and vertical fonts.
// The checks compare geometry (where ink lands, how wide and high), never glyph shapes.

#include "support/GdiTestSupport.h"

#include "platform/ui/Gdi.h"

#include <QFont>
#include <QFontInfo>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace ovrel::ui {
namespace {

using namespace testing;  // the canvas, colours and helpers of GdiTestSupport.h

// A canvas with a 16 px sans font selected, black text on a transparent background.
class TextCanvas : public Canvas {
public:
    explicit TextCanvas(int width = 200, int height = 60) : Canvas(width, height)
    {
        LOGFONT lf;
        lf.lfHeight = -16;
        lf.lfFaceName = "Tahoma";
        FFont = CreateFontIndirect(lf);
        FOld = SelectObject(Dc(), FFont);
        SetTextColor(Dc(), Black);
        SetBkMode(Dc(), TRANSPARENT);
    }
    ~TextCanvas()
    {
        SelectObject(Dc(), FOld);
        DeleteObject(FFont);
    }
    SIZE Extent(const char* text) const
    {
        SIZE size;
        GetTextExtentPoint32(Dc(), text, &size);
        return size;
    }
    int LineHeight() const
    {
        TEXTMETRIC tm;
        GetTextMetrics(Dc(), &tm);
        return tm.tmHeight;
    }
    RECT Ink() const { return InkBounds(White); }

private:
    HFONT FFont = nullptr;
    HGDIOBJ FOld = nullptr;
};

TEST(DrawText, CalcRectMeasuresWithoutDrawing)
{
    TextCanvas canvas;
    HDC dc = canvas.Dc();
    const int line = canvas.LineHeight();
    RECT r{10, 5, 10, 5};
    EXPECT_EQ(DrawText(dc, "Hello", &r, DT_CALCRECT | DT_SINGLELINE), line);
    EXPECT_EQ(r, (RECT{10, 5, 10 + canvas.Extent("Hello").cx, 5 + line}));
    EXPECT_EQ(canvas.CountOther(White), 0);

    // Lines stack and the widest one sets the width.
    r = RECT{0, 0, 0, 0};
    EXPECT_EQ(DrawText(dc, "a\nwidest\r\nbb", &r, DT_CALCRECT), 3 * line);
    EXPECT_EQ(r, (RECT{0, 0, canvas.Extent("widest").cx, 3 * line}));

    // Under DT_SINGLELINE the breaks are ordinary characters: one line.
    r = RECT{0, 0, 0, 0};
    EXPECT_EQ(DrawText(dc, "a\nb", &r, DT_CALCRECT | DT_SINGLELINE), line);

    // Word breaks wrap at the rectangle's width; a word longer than that keeps a line of its own.
    const int width = canvas.Extent("one two").cx;
    r = RECT{0, 0, width, 0};
    EXPECT_EQ(DrawText(dc, "one two three", &r, DT_CALCRECT | DT_WORDBREAK), 2 * line);
    EXPECT_LE(r.right, width);
    r = RECT{0, 0, canvas.Extent("on").cx, 0};
    EXPECT_EQ(DrawText(dc, "one two", &r, DT_CALCRECT | DT_WORDBREAK), 2 * line);
    EXPECT_EQ(r.right, canvas.Extent("one").cx);

    EXPECT_EQ(DrawText(dc, "x", nullptr, DT_CALCRECT), 0);
    EXPECT_EQ(DrawText(nullptr, "x", &r, DT_CALCRECT), 0);
}

TEST(DrawText, HorizontalAlignment)
{
    struct Case {
        const char* Name;
        UINT Format;
    };
    const Case cases[] = {{"left", DT_LEFT}, {"center", DT_CENTER}, {"right", DT_RIGHT}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TextCanvas canvas;
        RECT r{20, 10, 180, 50};
        DrawText(canvas.Dc(), "Mmm", &r, c.Format | DT_SINGLELINE);
        const RECT ink = canvas.Ink();
        SCOPED_TRACE(ToString(ink));
        const int w = canvas.Extent("Mmm").cx;
        const int expectedLeft = c.Format == DT_LEFT ? 20 : c.Format == DT_RIGHT ? 180 - w : 20 + (160 - w) / 2;
        // The ink sits inside the advance box that DrawText placed; side bearings are a pixel or two.
        EXPECT_GE(ink.left, expectedLeft);
        EXPECT_LE(ink.left, expectedLeft + 3);
        EXPECT_LE(ink.right, expectedLeft + w + 1);
        EXPECT_GE(ink.right, expectedLeft + w - 3);
        EXPECT_GE(ink.top, 10);
        EXPECT_LE(ink.bottom, 10 + canvas.LineHeight());
    }
}

TEST(DrawText, SingleLineVerticalCentreAndBottom)
{
    struct Case {
        const char* Name;
        UINT Format;
        int BoxTop;  // where the line box starts in the rectangle (10, 40)
    };
    TextCanvas probe;
    const int line = probe.LineHeight();
    const Case cases[] = {
        {"top", DT_SINGLELINE, 10},
        {"vcenter", DT_SINGLELINE | DT_VCENTER, 10 + (40 - line) / 2},
        {"bottom", DT_SINGLELINE | DT_BOTTOM, 50 - line},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TextCanvas canvas;
        RECT r{0, 10, 200, 50};
        // The result is the text's height, counted from the rectangle's top when the text is moved down.
        EXPECT_EQ(DrawText(canvas.Dc(), "Hxg", &r, c.Format), c.BoxTop - 10 + line);
        const RECT ink = canvas.Ink();
        SCOPED_TRACE(ToString(ink));
        EXPECT_GE(ink.top, c.BoxTop);
        EXPECT_LE(ink.bottom, c.BoxTop + line);
        EXPECT_GE(ink.bottom, c.BoxTop + line / 2);
    }
    // Without DT_SINGLELINE, DT_VCENTER does nothing.
    TextCanvas canvas;
    RECT r{0, 10, 200, 50};
    DrawText(canvas.Dc(), "Hxg", &r, DT_VCENTER);
    EXPECT_LE(canvas.Ink().bottom, 10 + line);
}

TEST(DrawText, EndEllipsisFitsTheRectangleAndClippingIsTheDefault)
{
    const char* text = "A rather long caption that cannot fit";
    TextCanvas canvas;
    HDC dc = canvas.Dc();
    const int full = canvas.Extent(text).cx;
    const int width = full / 2;
    RECT r{0, 0, width, 30};
    DrawText(dc, text, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT ink = canvas.Ink();
    EXPECT_LE(ink.right, width);
    EXPECT_GT(ink.right, width - canvas.Extent("...").cx - canvas.Extent("W").cx);

    RECT calc{0, 0, width, 30};
    DrawText(dc, text, &calc, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(calc.right, width);
    EXPECT_GT(calc.right, width / 2);

    // Text that fits is left whole: the same ink as without the flag.
    canvas.Clear(White);
    RECT wide{0, 0, 200, 30};
    DrawText(dc, "Short", &wide, DT_SINGLELINE | DT_END_ELLIPSIS);
    const RECT withFlag = canvas.Ink();
    canvas.Clear(White);
    DrawText(dc, "Short", &wide, DT_SINGLELINE);
    EXPECT_EQ(canvas.Ink(), withFlag);

    // Without an ellipsis the text is clipped to the rectangle, unless DT_NOCLIP.
    canvas.Clear(White);
    DrawText(dc, text, &r, DT_SINGLELINE);
    EXPECT_LE(canvas.Ink().right, width);
    canvas.Clear(White);
    DrawText(dc, text, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(canvas.Ink().right, width + 10);
}

TEST(DrawText, PrefixesUnderlineAndDoubleAmpersandsCollapse)
{
    auto draw = [](const char* text, UINT format) {
        auto canvas = std::make_unique<TextCanvas>(120, 30);
        RECT r{2, 2, 118, 28};
        DrawText(canvas->Dc(), text, &r, format | DT_SINGLELINE);
        return canvas;
    };
    auto same = [](const TextCanvas& a, const TextCanvas& b) { return a.Image() == b.Image(); };

    const auto plain = draw("File", DT_NOPREFIX);
    const auto prefixed = draw("&File", 0);
    // The underline adds ink below the first letter only.
    EXPECT_FALSE(same(*plain, *prefixed));
    const int fWidth = plain->Extent("F").cx;
    const RECT plainInk = plain->Ink();
    const RECT prefixInk = prefixed->Ink();
    EXPECT_GT(prefixInk.bottom, plainInk.bottom - 2);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            if (plain->At(x, y) != prefixed->At(x, y)) {
                EXPECT_LT(x, 2 + fWidth + 1) << x << "," << y;
                EXPECT_GE(y, plainInk.top + (plainInk.bottom - plainInk.top) / 2) << x << "," << y;
            }

    const auto middle = draw("Fi&le", 0);
    EXPECT_FALSE(same(*plain, *middle));
    EXPECT_TRUE(same(*plain, *draw("&File", DT_HIDEPREFIX)));
    EXPECT_TRUE(same(*draw("A&B", DT_NOPREFIX), *draw("A&&B", 0)));
    EXPECT_FALSE(same(*plain, *draw("&File", DT_NOPREFIX)));  // the ampersand is shown

    // Measuring leaves the prefix out too.
    TextCanvas canvas;
    RECT r{0, 0, 0, 0};
    DrawText(canvas.Dc(), "&File", &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, canvas.Extent("File").cx);
    r = RECT{0, 0, 0, 0};
    DrawText(canvas.Dc(), "&File", &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(r.right, canvas.Extent("&File").cx);
    r = RECT{0, 0, 0, 0};
    DrawText(canvas.Dc(), "a&&b", &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, canvas.Extent("a&b").cx);
}

// The combinations the program's controls use, with short and too long texts.
TEST(DrawText, FixedSingleLineCombinationsCentreAndFit)
{
    const UINT formats[] = {0x24, 0x25, 0x824, 0x8824, 0x8A24};
    for (const UINT format : formats) {
        for (const char* text : {"Ok", "A caption far too long for its little box"}) {
            SCOPED_TRACE(std::to_string(format) + " " + text);
            TextCanvas canvas(120, 40);
            RECT r{10, 5, 90, 35};
            DrawText(canvas.Dc(), text, &r, format);
            const RECT ink = canvas.Ink();
            EXPECT_GE(ink.left, 10);
            EXPECT_LE(ink.right, 90);
            const int boxTop = 5 + (30 - canvas.LineHeight()) / 2;
            EXPECT_GE(ink.top, boxTop);
            EXPECT_LE(ink.bottom, boxTop + canvas.LineHeight());
            if (format & DT_CENTER) {
                EXPECT_LE(std::abs(ink.left + ink.right - 100), 4);
            }
            if ((format & DT_END_ELLIPSIS) && text[1] == ' ') {
                EXPECT_GT(ink.right, 70);  // shortened to fit, not cut off at the start
            }
        }
    }
}

TEST(DrawText, PathEllipsisKeepsTheLastComponent)
{
    const std::string head = "/home/someone/pictures/holidays";
    const std::string tail = "/beach.jpg";
    TextCanvas shortened(200, 30);
    const int width = shortened.Extent((head + tail).c_str()).cx / 2;
    RECT r{0, 0, width, 30};
    DrawText(shortened.Dc(), head + tail, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS);
    EXPECT_LE(shortened.Ink().right, width);

    // The same as the longest start of the folders that fits with "..." and the whole file name.
    std::string kept = head;
    while (!kept.empty() && shortened.Extent((kept + "..." + tail).c_str()).cx > width)
        kept.pop_back();
    ASSERT_FALSE(kept.empty());
    TextCanvas expected(200, 30);
    RECT e{0, 0, width, 30};
    DrawText(expected.Dc(), kept + "..." + tail, &e, DT_SINGLELINE);
    EXPECT_TRUE(shortened.Image() == expected.Image());

    RECT calc{0, 0, width, 30};
    DrawText(shortened.Dc(), head + tail, &calc, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(calc.right, width);
    EXPECT_GE(calc.right, shortened.Extent(("..." + tail).c_str()).cx);
}

TEST(DrawText, TabsMarginsAndExternalLeading)
{
    TextCanvas canvas;
    HDC dc = canvas.Dc();
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    RECT r{0, 0, 0, 0};
    DrawText(dc, "a\tb", &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(r.right, 8 * tm.tmAveCharWidth + canvas.Extent("b").cx);

    DRAWTEXTPARAMS params;
    params.iTabLength = 2;
    r = RECT{0, 0, 0, 0};
    DrawTextEx(dc, "a\tb", &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS, &params);
    EXPECT_EQ(r.right, 2 * tm.tmAveCharWidth + canvas.Extent("b").cx);
    EXPECT_EQ(params.uiLengthDrawn, 3u);

    // A left margin moves the text in.
    r = RECT{10, 0, 200, 30};
    DrawText(dc, "Hat", &r, DT_SINGLELINE);  // H: no ink left of its origin that the clip could cut
    const int unmoved = canvas.Ink().left;
    canvas.Clear(White);
    params = DRAWTEXTPARAMS{};
    params.iLeftMargin = 30;
    DrawTextEx(dc, "Hat", &r, DT_SINGLELINE, &params);
    EXPECT_EQ(canvas.Ink().left, unmoved + 30);
    canvas.Clear(White);

    // External leading only ever adds to the line height.
    r = RECT{0, 0, 0, 0};
    const int plain = DrawText(dc, "a\nb", &r, DT_CALCRECT);
    r = RECT{0, 0, 0, 0};
    const int leading = DrawText(dc, "a\nb", &r, DT_CALCRECT | DT_EXTERNALLEADING);
    EXPECT_EQ(leading, plain + 2 * tm.tmExternalLeading);
}

TEST(DrawText, OpaqueBackgroundAndTheDcClip)
{
    TextCanvas canvas;
    HDC dc = canvas.Dc();
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, Blue);
    RECT r{10, 10, 190, 50};
    DrawText(dc, "Text", &r, DT_SINGLELINE);
    // The background covers the text's line box, not the whole rectangle.
    EXPECT_EQ(canvas.InkBounds(White), (RECT{10, 10, 10 + canvas.Extent("Text").cx, 10 + canvas.LineHeight()}));
    EXPECT_GT(canvas.Count(Blue), 0);

    canvas.Clear(White);
    SetBkMode(dc, TRANSPARENT);
    IntersectClipRect(dc, 0, 0, 15, 60);
    DrawText(dc, "Text", &r, DT_SINGLELINE);
    EXPECT_LE(canvas.Ink().right, 15);
}

TEST(Text, TextOutAlignmentAndExtTextOutClipping)
{
    TextCanvas canvas;
    HDC dc = canvas.Dc();
    const int line = canvas.LineHeight();
    TextOut(dc, 10, 30, "Hxg");
    RECT ink = canvas.Ink();
    EXPECT_GE(ink.top, 30);
    EXPECT_LE(ink.bottom, 30 + line);

    canvas.Clear(White);
    EXPECT_EQ(SetTextAlign(dc, TA_BOTTOM), TA_TOP);
    TextOut(dc, 10, 30, "Hxg");
    ink = canvas.Ink();
    EXPECT_LE(ink.bottom, 30);
    EXPECT_GE(ink.top, 30 - line);
    EXPECT_EQ(SetTextAlign(dc, TA_TOP), TA_BOTTOM);

    canvas.Clear(White);
    SetTextAlign(dc, TA_RIGHT);
    TextOut(dc, 100, 10, "Hxg");
    EXPECT_LE(canvas.Ink().right, 100);
    EXPECT_GE(canvas.Ink().left, 100 - canvas.Extent("Hxg").cx);
    SetTextAlign(dc, TA_TOP);

    // ETO_OPAQUE fills the rectangle in the background colour; ETO_CLIPPED keeps the text inside it.
    canvas.Clear(White);
    SetBkColor(dc, Blue);
    const RECT box{10, 10, 30, 40};
    ExtTextOut(dc, 10, 10, ETO_OPAQUE | ETO_CLIPPED, &box, "Wide text here");
    EXPECT_EQ(canvas.InkBounds(White), box);
    EXPECT_GT(canvas.Count(Black, 10, 10, 30, 40), 0);
}

TEST(Text, ExtTextOutPlacesCharactersByTheirAdvances)
{
    TextCanvas canvas;
    HDC dc = canvas.Dc();
    const int advances[] = {60, 60};
    ExtTextOut(dc, 10, 10, 0, nullptr, "II", advances);
    // Two narrow strokes 60 px apart, nothing between them.
    const RECT ink = canvas.Ink();
    EXPECT_GE(ink.right - ink.left, 60);
    EXPECT_LE(ink.right - ink.left, 60 + canvas.Extent("I").cx);
    EXPECT_EQ(canvas.Count(White, 25, 0, 65, 60), 40 * 60);

    // One advance per character, also for characters outside the basic plane (two UTF-16 units).
    canvas.Clear(White);
    const int two[] = {20, 20};
    EXPECT_TRUE(ExtTextOut(dc, 10, 10, 0, nullptr, "\xF0\x9F\x98\x80I", two));
    SetTextAlign(dc, TA_UPDATECP);
    MoveToEx(dc, 5, 5, nullptr);
    ExtTextOut(dc, 0, 0, 0, nullptr, "\xF0\x9F\x98\x80I", two);
    POINT at;
    GetCurrentPositionEx(dc, &at);
    EXPECT_EQ(at, (POINT{45, 5}));
    SetTextAlign(dc, TA_TOP);
}

TEST(Fonts, HeightsFacesAndMetrics)
{
    LOGFONT lf;
    lf.lfHeight = -11;  // 8 pt at 96 dpi
    for (const char* face : {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Tahoma", ""}) {
        SCOPED_TRACE(face);
        lf.lfFaceName = face;
        HFONT font = CreateFontIndirect(lf);
        const QFont realised = GetRealizedFont(font);
        EXPECT_EQ(realised.pixelSize(), 11);
        EXPECT_EQ(QFontInfo(realised).family().toStdString(), SansFamily());
        LOGFONT back;
        ASSERT_TRUE(GetObject(font, back));
        EXPECT_EQ(back, lf);
        DeleteObject(font);
    }

    lf.lfFaceName = "Tahoma";
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = 1;
    HFONT bold = CreateFontIndirect(lf);
    Canvas canvas(10, 10);
    const HGDIOBJ old = SelectObject(canvas.Dc(), bold);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), bold);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(canvas.Dc(), &tm));
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    EXPECT_EQ(tm.tmItalic, 1);
    EXPECT_GE(tm.tmHeight, 11);
    EXPECT_LE(tm.tmHeight, 16);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GT(tm.tmDescent, 0);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    SIZE size;
    GetTextExtentPoint32(canvas.Dc(), "", &size);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, tm.tmHeight);
    SelectObject(canvas.Dc(), old);
    DeleteObject(bold);

    // A positive height is the cell height.
    lf = LOGFONT{};
    lf.lfHeight = 20;
    HFONT cell = CreateFontIndirect(lf);
    SelectObject(canvas.Dc(), cell);
    GetTextMetrics(canvas.Dc(), &tm);
    EXPECT_NEAR(tm.tmHeight, 20, 1);
    SelectObject(canvas.Dc(), old);
    DeleteObject(cell);
}

TEST(Fonts, VerticalFontRunsDownwards)
{
    LOGFONT lf;
    lf.lfHeight = -16;
    HFONT font = CreateFontIndirect(lf);
    HFONT vertical = CreateVerticalFont(font);
    LOGFONT log;
    ASSERT_TRUE(GetObject(vertical, log));
    EXPECT_EQ(log.lfEscapement, 2700);
    EXPECT_EQ(log.lfOrientation, 2700);
    EXPECT_EQ(log.lfHeight, -16);

    Canvas canvas(60, 160);
    SelectObject(canvas.Dc(), vertical);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    TextOut(canvas.Dc(), 40, 10, "Vertical");
    const RECT ink = canvas.InkBounds(White);
    SCOPED_TRACE(ToString(ink));
    EXPECT_GT(ink.bottom - ink.top, 3 * (ink.right - ink.left));
    EXPECT_GE(ink.top, 10);
    // Rotated clockwise, the line's top is on the right: the glyphs hang to the left of x.
    EXPECT_LE(ink.right, 41);
    SelectObject(canvas.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    DeleteObject(vertical);
    DeleteObject(font);
    EXPECT_EQ(CreateVerticalFont(nullptr), nullptr);
}

}  // namespace
}  // namespace ovrel::ui
