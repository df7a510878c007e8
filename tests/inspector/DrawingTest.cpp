// The shared drawing and colour services: colour arithmetic as tables, and the drawing read back from an
// image canvas.

#include "inspector/Drawing.h"
#include "inspector/Themes.h"

#include "InspectorTestSupport.h"

#include "platform/ui/SysTables.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

TColor Rgb(int r, int g, int b) { return static_cast<TColor>(ui::RGB(r, g, b)); }

// ---- Colour arithmetic --------------------------------------------------------------------------------------

struct BlendRow {
    const char* Name;
    TColor A;
    TColor B;
    int Alpha;
    TColor Expected;
};

TEST(ColorArithmetic, BlendsEveryChannelByAlphaDividedBy256)
{
    ui::SystemTableOverride tables;
    tables.Table().Colors[ui::COLOR_HIGHLIGHT] = ui::RGB(10, 20, 30);
    const BlendRow rows[] = {
        {"WhiteOverBlackOpaqueIs254", clWhite, clBlack, 255, Rgb(254, 254, 254)},
        {"TransparentGivesTheSecond", clWhite, clBlack, 0, clBlack},
        {"Middle", clWhite, clBlack, 128, Rgb(127, 127, 127)},
        {"ChannelsStayApart", Rgb(200, 100, 50), Rgb(0, 50, 250), 64, Rgb(50, 62, 199)},
        // The system colour's own value, not its index bytes, takes part.
        {"SystemColourResolved", clWhite, clHighlight, 0, Rgb(9, 19, 29)},
    };
    const std::function<TColor(TColor, TColor, int)> blends[] = {TGraphicsProvider::BlendColors,
                                                                 TMaskProvider::BlendColors, BlendColor};
    for (const BlendRow& row : rows)
        for (const auto& blend : blends) {
            SCOPED_TRACE(row.Name);
            EXPECT_EQ(blend(row.A, row.B, row.Alpha), row.Expected);
        }
}

TEST(ColorArithmetic, AnAlphaOutsideAByteFailsTheAssertion)
{
    for (int alpha : {256, 1000, -1}) {
        SCOPED_TRACE(alpha);
        EXPECT_THROW((void)BlendColor(clWhite, clBlack, alpha), EAssertionFailed);
        EXPECT_THROW((void)TGraphicsProvider::BlendColors(clWhite, clBlack, alpha), EAssertionFailed);
    }
    try {
        (void)TMaskProvider::BlendColors(clWhite, clBlack, 256);
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Assertion failure");
    }
}

TEST(ColorArithmetic, MixRoundsHalvesToEven)
{
    // 0.5 × (1, 3, 5): 0.5 goes to 0, 1.5 to 2, 2.5 to 2.
    EXPECT_EQ(TGraphicsProvider::MixColors(clBlack, Rgb(1, 3, 5), 0.5), Rgb(0, 2, 2));
    EXPECT_EQ(TGraphicsProvider::MixColors(Rgb(10, 20, 30), Rgb(200, 100, 0), 0.0), Rgb(10, 20, 30));
    EXPECT_EQ(TGraphicsProvider::MixColors(Rgb(10, 20, 30), Rgb(200, 100, 0), 1.0), Rgb(200, 100, 0));
    EXPECT_EQ(TGraphicsProvider::MixColors(Rgb(0, 0, 0), Rgb(255, 255, 255), 0.25), Rgb(64, 64, 64));
    ui::SystemTableOverride tables;
    tables.Table().Colors[ui::COLOR_BTNFACE] = ui::RGB(100, 100, 100);
    EXPECT_EQ(TGraphicsProvider::MixColors(clBtnFace, clBlack, 0.0), Rgb(100, 100, 100));
}

TEST(SchemeColors, FollowTheVisualStyles)
{
    ui::SystemTableOverride tables;
    tables.Table().Colors[ui::COLOR_HOTLIGHT] = ui::RGB(1, 2, 3);
    struct Row {
        int Index;
        TColor Classic;
        TColor Themed;
    };
    const Row rows[] = {
        {0, BlendColor(clHighlight, clWindow, 80), Rgb(255, 238, 194)},
        {1, cl3DLight, Rgb(255, 213, 140)},
        {2, cl3DLight, Rgb(255, 166, 76)},
        {3, Rgb(1, 2, 3), Rgb(1, 2, 3)},
        {4, Rgb(255, 213, 140), Rgb(255, 213, 140)},
        {5, Rgb(255, 173, 85), Rgb(255, 173, 85)},
        {6, Rgb(255, 244, 204), Rgb(255, 244, 204)},
        {7, Rgb(255, 208, 145), Rgb(255, 208, 145)},
        {8, Rgb(254, 145, 178), Rgb(254, 145, 78)},
        {9, Rgb(255, 211, 142), Rgb(255, 211, 142)},
        {10, clWindow, clInactiveCaptionText},
        {11, clBtnFace, BlendColor(clHighlight, clInactiveCaptionText, 132)},
        {12, clGrayText, Rgb(127, 157, 185)},
        {13, clNone, clNone},
        {-1, clNone, clNone},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Index);
        EXPECT_EQ(SchemeColor(row.Index), row.Classic);
    }
    ThemedScope themed;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Index);
        EXPECT_EQ(SchemeColor(row.Index), row.Themed);
    }
}

// ---- Visual styles ----------------------------------------------------------------------------------------

TEST(Themes, AreOnOnlyWhenTheLibraryTheApplicationAndTheDesktopAllAre)
{
    EXPECT_FALSE(ThemesEnabled());  // the production backend has no library
    ThemedScope themed;
    EXPECT_TRUE(ThemesEnabled());
    themed.Styles.AppThemed = ui::FALSE;
    EXPECT_FALSE(ThemesEnabled());
    themed.Styles.AppThemed = ui::TRUE;
    themed.Styles.ThemeActive = ui::FALSE;
    EXPECT_FALSE(ThemesEnabled());
    themed.Styles.ThemeActive = ui::TRUE;
    themed.Styles.LibraryPresent = false;
    EXPECT_FALSE(ThemesEnabled());
}

TEST(Themes, ABrokenBackendCountsAsUnthemedAndDrawsNothing)
{
    ThemedScope themed;
    themed.Styles.FailQueries = true;
    EXPECT_NO_THROW(EXPECT_FALSE(ThemesEnabled()));
}

TEST(Themes, ThemedBackgroundAsksForClassPartStateAndRectangleAndClosesItsData)
{
    ThemedScope themed;
    ImageCanvas image(20, 20);
    DrawThemedBackground(nullptr, image.Canvas()->GetHandle(), TRect{1, 2, 11, 12}, 3, 1, "button");
    ASSERT_EQ(themed.Styles.Requests.size(), 1u);
    const auto& request = themed.Styles.Requests[0];
    EXPECT_EQ(request.ClassList, "button");
    EXPECT_EQ(request.Part, 1);
    EXPECT_EQ(request.State, 3);
    EXPECT_EQ(request.Rect, (TRect{1, 2, 11, 12}));
    EXPECT_FALSE(request.Clipped);
    EXPECT_EQ(themed.Styles.OpenCount(), 0);
}

// ---- Gradient, focus, text ----------------------------------------------------------------------------------

TEST(Gradient, DrawsOneLinePerRowFromTheFirstColourDown)
{
    ImageCanvas image(6, 6, clWhite);
    TGraphicsProvider::DrawGradient(image.Canvas(), TRect{1, 1, 5, 5}, clBlack, Rgb(0, 0, 255));
    // Ratios 0, 1/4, 1/2 and 3/4: the last row stops short of the second colour; 127.5 goes to 128.
    const int blues[] = {0, 64, 128, 191};
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(image.Row(row + 1, Rgb(0, 0, blues[row]), 0, 6), ".####.");
    }
    EXPECT_EQ(image.Row(0, clWhite, 0, 6), "######");
    EXPECT_EQ(image.Row(5, clWhite, 0, 6), "######");
}

TEST(Gradient, OneRowIsTheFirstColourAndAnEmptyRectangleDrawsNothing)
{
    ImageCanvas image(6, 6, clWhite);
    TGraphicsProvider::DrawGradient(image.Canvas(), TRect{0, 2, 6, 3}, Rgb(10, 20, 30), clBlack);
    EXPECT_EQ(image.Row(2, Rgb(10, 20, 30), 0, 6), "######");
    image.Fill(clWhite);
    for (const TRect& r : {TRect{0, 3, 6, 3}, TRect{0, 4, 6, 2}, TRect{4, 0, 2, 6}})
        TGraphicsProvider::DrawGradient(image.Canvas(), r, clBlack, clBlack);
    EXPECT_EQ(image.InkBounds(clWhite), TRect{});
}

TEST(FocusRect, SolidFramesInTheHighlightColourAndLeavesTheBrush)
{
    ImageCanvas image(10, 10, clWhite);
    image.Canvas()->GetBrush()->SetColor(clRed);
    TGraphicsProvider::DrawFocusRect(image.Canvas(), TRect{2, 2, 8, 8}, true);
    const TColor highlight = static_cast<TColor>(ColorToRGB(clHighlight));
    EXPECT_EQ(image.Row(2, highlight, 0, 10), "..######..");
    EXPECT_EQ(image.Row(4, highlight, 0, 10), "..#....#..");
    EXPECT_EQ(image.Canvas()->GetBrush()->GetColor(), clRed);
}

TEST(FocusRect, DottedDrawsInsideTheRectangleOnly)
{
    ImageCanvas image(10, 10, clWhite);
    TGraphicsProvider::DrawFocusRect(image.Canvas(), TRect{2, 2, 8, 8}, false);
    const TRect ink = image.InkBounds(clWhite);
    EXPECT_FALSE(ui::IsRectEmpty(&ink));
    EXPECT_GE(ink.left, 2);
    EXPECT_GE(ink.top, 2);
    EXPECT_LE(ink.right, 8);
    EXPECT_LE(ink.bottom, 8);
}

TEST(CellText, UsesTheExactFlagSets)
{
    const ui::UINT line = ui::DT_END_ELLIPSIS | ui::DT_NOPREFIX | ui::DT_SINGLELINE | ui::DT_VCENTER;
    EXPECT_EQ(TGraphicsProvider::DrawTextFormat(taLeftJustify, false), line | ui::DT_LEFT);
    EXPECT_EQ(TGraphicsProvider::DrawTextFormat(taRightJustify, false), line | ui::DT_RIGHT);
    EXPECT_EQ(TGraphicsProvider::DrawTextFormat(taCenter, true), line | ui::DT_CENTER | ui::DT_RTLREADING);
    EXPECT_EQ(TGraphicsProvider::DrawTextExFormat(taLeftJustify, vaTop, false), ui::DT_NOPREFIX | ui::DT_SINGLELINE);
    EXPECT_EQ(TGraphicsProvider::DrawTextExFormat(taCenter, vaMiddle, false),
              ui::DT_NOPREFIX | ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);
    EXPECT_EQ(TGraphicsProvider::DrawTextExFormat(taRightJustify, vaBottom, true),
              ui::DT_NOPREFIX | ui::DT_RIGHT | ui::DT_BOTTOM | ui::DT_WORDBREAK);
    EXPECT_EQ(EllipsisTextFormat,
              ui::DT_SINGLELINE | ui::DT_VCENTER | ui::DT_END_ELLIPSIS | ui::DT_NOPREFIX | ui::DT_EXTERNALLEADING);
}

TEST(CellText, CentresALineOverTheBackgroundAndCutsWhatDoesNotFit)
{
    ImageCanvas image(120, 30, clWhite);
    TCanvas* canvas = image.Canvas();
    canvas->GetFont()->SetName("DejaVu Sans");
    canvas->GetFont()->SetColor(clBlack);
    canvas->GetBrush()->SetColor(clRed);  // a solid brush that must not fill behind the text
    const TRect cell{10, 5, 110, 25};
    TGraphicsProvider::DrawText(canvas, cell, taCenter, "Mid", false);
    const TRect ink = image.InkBounds(clWhite);
    ASSERT_FALSE(ui::IsRectEmpty(&ink));
    EXPECT_EQ(image.At(cell.left, cell.top), clWhite);  // no fill behind the text
    EXPECT_NEAR((ink.left - cell.left) - (cell.right - ink.right), 0, 2);
    EXPECT_NEAR((ink.top - cell.top) - (cell.bottom - ink.bottom), 0, 3);
    EXPECT_EQ(canvas->GetBrush()->GetStyle(), bsSolid);

    image.Fill(clWhite);
    const TRect narrow{10, 5, 50, 25};
    TGraphicsProvider::DrawText(canvas, narrow, taCenter, "A caption far too long for its cell", false);
    const TRect cut = image.InkBounds(clWhite);
    EXPECT_GE(cut.left, narrow.left);
    EXPECT_LE(cut.right, narrow.right);
}

TEST(CellText, EllipsisTextDrawsOverTheBackgroundInsideItsRectangle)
{
    ImageCanvas image(80, 20, clWhite);
    TCanvas* canvas = image.Canvas();
    canvas->GetFont()->SetName("DejaVu Sans");
    canvas->GetFont()->SetColor(clBlack);
    canvas->GetBrush()->SetColor(clRed);
    DrawEllipsisText(canvas, TRect{5, 0, 40, 20}, "Something rather long");
    const TRect ink = image.InkBounds(clWhite);
    EXPECT_GE(ink.left, 5);
    EXPECT_LE(ink.right, 40);
    EXPECT_EQ(image.At(5, 1), clWhite);  // no fill behind
    EXPECT_EQ(canvas->GetBrush()->GetStyle(), bsSolid);
}

TEST(FontSample, FillsItsRectangleWithTheHighlightAndLeavesTheFontChanged)
{
    ImageCanvas image(40, 20, clWhite);
    TDisplayProvider::DrawFontSample(image.Canvas(), TRect{2, 2, 30, 18}, "DejaVu Sans");
    EXPECT_EQ(image.At(29, 17), static_cast<TColor>(ColorToRGB(clHighlight)));
    EXPECT_EQ(image.At(30, 17), clWhite);
    EXPECT_EQ(image.Canvas()->GetFont()->GetSize(), 8);
    EXPECT_EQ(image.Canvas()->GetFont()->GetName(), "DejaVu Sans");
    EXPECT_EQ(image.Canvas()->GetFont()->GetColor(), clHighlightText);
}

TEST(CanvasClip, LimitsDrawingToTheRectangle)
{
    ImageCanvas image(10, 10, clWhite);
    SetCanvasClipRect(image.Canvas(), TRect{2, 3, 5, 6});
    image.Canvas()->GetBrush()->SetColor(clBlack);
    image.Canvas()->FillRect(TRect{0, 0, 10, 10});
    EXPECT_EQ(image.InkBounds(clWhite), (TRect{2, 3, 5, 6}));
}

// ---- Bitmaps ----------------------------------------------------------------------------------------------

struct PixelRow {
    const char* Name;
    std::uint32_t Pixel;  // 0xAARRGGBB
    TColor Background;
    TColor DrawBitmap;  // the colour DrawBitmap leaves (BlendColors: div 256)
    TColor DrawAlphaBitmap;  // the colour DrawAlphaBitmap leaves (rounded, exact at 0 and 255)
};

const PixelRow PixelRows[] = {
    {"Transparent", 0x00FFFFFF, Rgb(10, 200, 30), Rgb(9, 199, 29), Rgb(10, 200, 30)},
    {"Opaque", 0xFFFFFFFF, clBlack, Rgb(254, 254, 254), clWhite},
    {"Middle", 0x80FFFFFF, clBlack, Rgb(127, 127, 127), Rgb(128, 128, 128)},
    // An alpha byte of 128 or more makes the whole pixel negative: it is still a colour, not a system colour.
    {"HighAlphaIsNoSystemColour", 0xC0FF0000, clBlack, Rgb(191, 0, 0), Rgb(191, 0, 0)},
};

TEST(Bitmaps, DrawBitmapBlendsEachPixelOverTheCanvasByItsAlpha)
{
    for (const PixelRow& row : PixelRows) {
        SCOPED_TRACE(row.Name);
        ImageCanvas image(8, 8, row.Background);
        auto bitmap = SolidBitmap(3, 2, row.Pixel);
        TDrawProvider::DrawBitmap(image.Canvas(), 2, 3, bitmap.get());
        EXPECT_EQ(image.At(2, 3), row.DrawBitmap);
        EXPECT_EQ(image.At(4, 4), row.DrawBitmap);
        EXPECT_EQ(image.At(5, 3), row.Background);
        EXPECT_EQ(image.At(2, 5), row.Background);
    }
}

TEST(Bitmaps, DrawAlphaBitmapBlendsWithRoundingAndLeavesTransparentPixelsAlone)
{
    for (const PixelRow& row : PixelRows) {
        SCOPED_TRACE(row.Name);
        ImageCanvas image(8, 8, row.Background);
        auto bitmap = SolidBitmap(3, 2, row.Pixel);
        DrawAlphaBitmap(image.Canvas(), 2, 3, bitmap.get());
        EXPECT_EQ(image.At(2, 3), row.DrawAlphaBitmap);
        EXPECT_EQ(image.At(4, 4), row.DrawAlphaBitmap);
        EXPECT_EQ(image.At(5, 3), row.Background);
    }
}

TEST(Bitmaps, BlendingReadsTheCanvasUnderEachPixel)
{
    ImageCanvas image(4, 1, clBlack);
    image.Image().setPixel(2, 0, qRgb(255, 255, 255));
    image.Image().setPixel(3, 0, qRgb(255, 255, 255));
    auto bitmap = SolidBitmap(4, 1, 0x80FFFFFF);
    TDrawProvider::DrawBitmap(image.Canvas(), 0, 0, bitmap.get());
    EXPECT_EQ(image.At(1, 0), Rgb(127, 127, 127));
    EXPECT_EQ(image.At(2, 0), Rgb(254, 254, 254));
}

TEST(Bitmaps, OtherPixelFormatsAreDrawnAsTheyAre)
{
    for (auto draw : {&TDrawProvider::DrawBitmap, &DrawAlphaBitmap}) {
        ImageCanvas image(4, 4, clBlack);
        TBitmap bitmap;
        bitmap.SetSize(2, 2);  // device format, white: no alpha to go by
        draw(image.Canvas(), 1, 1, &bitmap);
        EXPECT_EQ(image.At(1, 1), clWhite);
        EXPECT_EQ(image.At(2, 2), clWhite);
        EXPECT_EQ(image.At(3, 3), clBlack);
    }
}

TEST(AlphaRows, BlendEveryByteWithRounding)
{
    struct Row {
        const char* Name;
        std::uint32_t Src;
        std::uint32_t Dst;
        std::uint32_t Expected;
    };
    const Row rows[] = {
        {"TransparentKeeps", 0x00123456, 0xFF0000FF, 0xFF0000FF},
        {"OpaqueCopies", 0xFF123456, 0xFF000000, 0xFF123456},
        // a = 128 over opaque black: colour (128 × 255 + 128) >> 8 = 128; alpha 64 + 127 = 191.
        {"MiddleRoundsUpAndBlendsTheAlphaByte", 0x80FFFFFF, 0xFF000000, 0xBF808080},
        {"OneOverWhite", 0x01000000, 0xFFFFFFFF, 0xFDFDFDFD},  // 0 + (254 × 255 + 128) >> 8 = 253
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        std::uint32_t dst = row.Dst;
        AlphaBlendRow(&row.Src, &dst, 1);
        EXPECT_EQ(dst, row.Expected);
    }
    std::uint32_t src = 0xFF000000;
    std::uint32_t dst = 0xFFFFFFFF;
    AlphaBlendRow(&src, &dst, 0);
    AlphaBlendRow(&src, &dst, -3);
    EXPECT_EQ(dst, 0xFFFFFFFFu);
}

TEST(AlphaRows, BitmapsBlendRowByRowOnlyWhereBothHavePixels)
{
    // A source wider and taller than the destination: nothing is written past the destination's rows.
    auto small = SolidBitmap(2, 2, 0xFF000000);
    auto large = SolidBitmap(5, 4, 0xFFFF0000);
    AlphaBlendBitmap(small.get(), large.get());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(static_cast<std::uint32_t*>(small->GetScanLine(y))[x], 0xFFFF0000u);

    // A narrower source lands row for row, not packed into the destination's first row.
    auto wide = SolidBitmap(4, 3, 0xFF000000);
    auto source = SolidBitmap(2, 2, 0xFF0000FF);
    static_cast<std::uint32_t*>(source->GetScanLine(1))[0] = 0xFF00FF00;
    AlphaBlendBitmap(wide.get(), source.get());
    const auto* row0 = static_cast<std::uint32_t*>(wide->GetScanLine(0));
    const auto* row1 = static_cast<std::uint32_t*>(wide->GetScanLine(1));
    EXPECT_EQ(row0[0], 0xFF0000FFu);
    EXPECT_EQ(row0[2], 0xFF000000u);
    EXPECT_EQ(row1[0], 0xFF00FF00u);
    EXPECT_EQ(row1[2], 0xFF000000u);
    EXPECT_EQ(static_cast<std::uint32_t*>(wide->GetScanLine(2))[0], 0xFF000000u);
}

// ---- Expand box -------------------------------------------------------------------------------------------

TEST(ExpandBox, DrawsAFrameAMinusAndForACollapsedRowAPlus)
{
    const TColor frame = static_cast<TColor>(ColorToRGB(clWindowFrame));
    const TColor window = static_cast<TColor>(ColorToRGB(clWindow));
    ImageCanvas image(12, 12, clRed);
    DrawExpandBox(image.Canvas(), TPoint{1, 1}, false, clBtnFace, false);
    EXPECT_EQ(image.Row(1, frame, 0, 11), ".#########.");
    EXPECT_EQ(image.Row(5, frame, 0, 11), ".#.#####.#.");
    EXPECT_EQ(image.Column(5, frame, 0, 11), ".#.#####.#.");
    EXPECT_EQ(image.At(2, 2), window);

    image.Fill(clRed);
    DrawExpandBox(image.Canvas(), TPoint{1, 1}, true, clBtnFace, false);
    EXPECT_EQ(image.Row(5, frame, 0, 11), ".#.#####.#.");
    EXPECT_EQ(image.Column(5, frame, 0, 11), ".#...#...#.");
}

TEST(ExpandBox, ColoursFollowTheRowKindAndABlackMargin)
{
    const TColor frame = static_cast<TColor>(ColorToRGB(clWindowFrame));
    const TColor window = static_cast<TColor>(ColorToRGB(clWindow));
    struct Row {
        const char* Name;
        TColor Margin;
        bool Category;
        TColor Pen;
        TColor Fill;
    };
    const Row rows[] = {
        {"Normal", Rgb(1, 2, 3), false, frame, window},
        {"NormalOnBlack", clBlack, false, window, clBlack},
        {"Category", Rgb(1, 2, 3), true, frame, Rgb(1, 2, 3)},
        {"CategoryOnBlack", clBlack, true, window, clBlack},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ImageCanvas image(12, 12, clRed);
        DrawExpandBox(image.Canvas(), TPoint{0, 0}, true, row.Margin, row.Category);
        EXPECT_EQ(image.At(0, 0), row.Pen);
        EXPECT_EQ(image.At(3, 4), row.Pen);  // the minus
        EXPECT_EQ(image.At(1, 1), row.Fill);
        EXPECT_EQ(image.At(9, 9), clRed);
    }
}

}  // namespace
