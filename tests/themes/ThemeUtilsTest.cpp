// The colour arithmetic, the primitives that accept clNone and system colours, the halftone drag frame and the
// shared work objects, checked on values and on pixels read back.

#include "ThemeTestSupport.h"

#include "themes/ThemeUtils.h"

#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <memory>
#include <cstdint>
#include <ostream>
#include <string>

namespace ovrel::themes {
namespace {

using namespace ovrel::toolkit;
using testing::PaintTarget;
using testing::Palette;
using ui::RGB;

TColor C(int r, int g, int b) { return static_cast<TColor>(RGB(r, g, b)); }

// ---- Colour arithmetic ------------------------------------------------------------------------------------

struct ColorCase {
    const char* Name;
    friend void PrintTo(const ColorCase& c, std::ostream* os) { *os << c.Name; }
    TColor Actual;
    TColor Expected;
};

class ColorArithmetic : public testing::ThemeRuntimeTest {};

TEST_F(ColorArithmetic, GivesTheTabledValues)
{
    const ColorCase cases[] = {
        // Truncating division by 256: the full weight never quite reaches the first colour.
        {"WhiteOverBlackAt255", WeightedColor(clWhite, clBlack, 255), C(254, 254, 254)},
        {"WeightZeroIsTheSecondColourScaled", WeightedColor(clWhite, clBlack, 0), clBlack},
        {"BlackOverWhiteAtZero", WeightedColor(clBlack, clWhite, 0), C(254, 254, 254)},
        {"ChannelsMixApart", WeightedColor(C(200, 0, 100), C(0, 200, 100), 128), C(100, 99, 99)},
        // clBtnFace (212, 208, 200) and clWindow (250, 250, 240) of the test palette, at half weight.
        {"SystemColoursResolved", WeightedColor(clBtnFace, clWindow, 128), C(230, 228, 219)},
        {"NearestIsTheSame", WeightedColorNearest(clBtnFace, clWindow, 128), C(230, 228, 219)},
        {"LightenClampsAtWhite", LightenColor(C(250, 5, 128), 10), C(255, 15, 138)},
        {"DarkenClampsAtBlack", LightenColor(C(250, 5, 128), -10), C(240, 0, 118)},
        {"LightenResolvesSystemColours", LightenColor(clBtnShadow, 1), C(129, 129, 129)},
        // Any value with the top bit set is a system colour by its low byte.
        {"TopBitAloneMarksASystemColour", LightenColor(static_cast<TColor>(0x80000010u), 0), C(128, 128, 128)},
    };
    for (const ColorCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Actual, c.Expected);
    }
    EXPECT_EQ(ResolveColor(static_cast<TColor>(0x8000001Au)), ResolveColor(clHotLight));
    EXPECT_EQ(SwapRedBlue(0x00112233u), 0x00332211u);
}

TEST_F(ColorArithmetic, WeightsOutsideAByteFailTheAssertionOfTheUnit)
{
    EXPECT_NO_THROW((void)WeightedColor(clWhite, clBlack, 255));
    for (int weight : {256, 1000, -1}) {
        SCOPED_TRACE(weight);
        try {
            (void)WeightedColor(clWhite, clBlack, weight);
            ADD_FAILURE() << "no assertion";
        } catch (const EAssertionFailed& e) {
            EXPECT_NE(e.Message().find("ThemeUtils"), std::string::npos) << e.Message();
        }
    }
}

TEST_F(ColorArithmetic, DarknessFlipsOneStepBelowTheThreshold)
{
    // Grey 100 weighs exactly 100 * 256: not darker than 100, darker than 101.
    EXPECT_FALSE(IsDarkColor(C(100, 100, 100), 100));
    EXPECT_TRUE(IsDarkColor(C(100, 100, 100), 101));
    EXPECT_TRUE(IsDarkColor(C(100, 100, 99), 100));
    // Green weighs most and blue least.
    EXPECT_TRUE(IsDarkColor(C(0, 0, 255), 128));
    EXPECT_FALSE(IsDarkColor(C(0, 255, 0), 128));
}

TEST_F(ColorArithmetic, SystemColoursAreReadWhenUsedNotWhenTheRuntimeStarted)
{
    Table().Colors[ui::COLOR_BTNSHADOW] = RGB(10, 20, 30);
    EXPECT_EQ(LightenColor(clBtnShadow, 0), C(10, 20, 30));
}

// ---- Image effects ----------------------------------------------------------------------------------------

/// A list of 4 x 4 images, one per colour, each with its bottom-right pixel left uncovered (white is the mask).
std::unique_ptr<TImageList> SolidImages(std::initializer_list<ui::COLORREF> colours)
{
    auto images = std::make_unique<TImageList>(nullptr);
    images->SetSize(4, 4);
    for (ui::COLORREF colour : colours) {
        TBitmap cell;
        cell.SetSize(4, 4);
        cell.GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(colour));
        cell.GetCanvas()->FillRect(Rect(0, 0, 4, 4));
        cell.GetCanvas()->SetPixel(3, 3, clWhite);
        images->AddMasked(&cell, clWhite);
    }
    return images;
}

class ImageEffects : public testing::ThemeRuntimeTest {
protected:
    static constexpr ui::COLORREF Back = RGB(200, 100, 50);
    PaintTarget Target{8, 8, Back};
    // The pixel the effect gave a covered pixel, after checking that the uncovered one kept the background.
    ui::COLORREF Covered()
    {
        EXPECT_EQ(Target.Image.At(5, 5), Back) << "left uncovered by the image";
        EXPECT_EQ(Target.Image.At(6, 2), Back) << "outside the image";
        return Target.Image.At(3, 3);
    }
};

TEST_F(ImageEffects, AShadowDarkensWhatLiesUnderTheImageByItsStrength)
{
    const auto images = SolidImages({RGB(255, 0, 0)});
    // L = 29 * 255 / 256 = 28 for pure red; F = L / D + O.
    struct Row {
        int Strength;
        ui::COLORREF Expected;
    };
    for (const Row& row : {Row{0, RGB(200 * 179 / 256, 100 * 179 / 256, 50 * 179 / 256)},
                           Row{1, RGB(200 * 227 / 256, 100 * 227 / 256, 50 * 227 / 256)},
                           Row{2, RGB(200 * 244 / 256, 100 * 244 / 256, 50 * 244 / 256)}}) {
        SCOPED_TRACE(row.Strength);
        FillRectColor(Target.Canvas, Rect(0, 0, 8, 8), static_cast<TColor>(Back));
        DrawImageShadow(Target.Canvas, Rect(2, 2, 8, 8), images.get(), 0, row.Strength);
        EXPECT_EQ(Covered(), row.Expected);
    }
    EXPECT_THROW(DrawImageShadow(Target.Canvas, Rect(2, 2, 8, 8), images.get(), 0, 3), EAssertionFailed);
}

TEST_F(ImageEffects, ATintMixesEachImagePixelWithTheColour)
{
    const auto images = SolidImages({RGB(255, 0, 0)});
    DrawImageTinted(Target.Canvas, Rect(2, 2, 8, 8), images.get(), 0, static_cast<TColor>(RGB(0, 0, 255)), 178);
    EXPECT_EQ(Covered(), RGB(255 * 178 / 256, 0, 255 * 77 / 256));
}

TEST_F(ImageEffects, HighContrastTurnsTheExtremesAroundAndLightensTheRest)
{
    const auto images = SolidImages({RGB(0, 0, 0), RGB(254, 254, 254), RGB(128, 128, 128)});
    struct Row {
        const char* Name;
        int Index;
        ui::COLORREF Expected;
    };
    for (const Row& row : {Row{"black becomes white", 0, RGB(255, 255, 255)},
                           Row{"near white becomes black, lightened", 1, RGB(32, 32, 32)},
                           Row{"a middle grey keeps its colour, lightened", 2, RGB(160, 160, 160)}}) {
        SCOPED_TRACE(row.Name);
        FillRectColor(Target.Canvas, Rect(0, 0, 8, 8), static_cast<TColor>(Back));
        DrawImageContrasted(Target.Canvas, Rect(2, 2, 8, 8), images.get(), row.Index, true);
        EXPECT_EQ(Covered(), row.Expected);
    }
    FillRectColor(Target.Canvas, Rect(0, 0, 8, 8), static_cast<TColor>(Back));
    DrawImageContrasted(Target.Canvas, Rect(2, 2, 8, 8), images.get(), 0, false);
    EXPECT_EQ(Covered(), RGB(0, 0, 0)) << "without the effect the list draws it";
}

TEST_F(ImageEffects, AnEmptyAreaOrAMissingImageDrawsNothing)
{
    const auto images = SolidImages({RGB(255, 0, 0)});
    DrawImageShadow(Target.Canvas, Rect(2, 2, 2, 8), images.get(), 0, 1);
    DrawImageTinted(Target.Canvas, Rect(2, 2, 8, 1), images.get(), 0, clRed, 100);
    DrawImageContrasted(Target.Canvas, Rect(2, 2, 8, 8), images.get(), 1, true);
    DrawImageShadow(Target.Canvas, Rect(2, 2, 8, 8), nullptr, 0, 1);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(Target.Image.At(x, y), Back) << x << "," << y;
}

// ---- Primitives -------------------------------------------------------------------------------------------

using ThemePrimitives = testing::ThemeRuntimeTest;

TEST_F(ThemePrimitives, NoColourDrawsNothingButFramesStillShrink)
{
    PaintTarget target(10, 10);
    const TRect whole = Rect(0, 0, 10, 10);
    EXPECT_FALSE(FillRectColor(target.Canvas, whole, clNone));
    TRect framed = whole;
    EXPECT_FALSE(FrameRectColor(target.Canvas, framed, clNone, true));
    EXPECT_EQ(framed, Rect(1, 1, 9, 9));
    framed = whole;
    EXPECT_FALSE(FrameRectColor(target.Canvas, framed, clNone, false));
    EXPECT_EQ(framed, whole);
    EXPECT_EQ(target.Image.CountOther(ui::testing::White), 0);

    EXPECT_TRUE(FillRectColor(target.Canvas, Rect(2, 2, 5, 5), clBtnShadow));
    EXPECT_EQ(target.Image.Count(Palette::Shadow), 9);
    framed = whole;
    EXPECT_TRUE(FrameRectColor(target.Canvas, framed, clRed, true));
    EXPECT_EQ(framed, Rect(1, 1, 9, 9));
    EXPECT_EQ(target.Image.Count(ui::testing::Red), 36);
    EXPECT_EQ(target.Image.At(1, 1), ui::testing::White);
}

TEST_F(ThemePrimitives, EdgeColoursGiveTheOuterCornersToTheBottomRight)
{
    PaintTarget target(6, 6);
    TRect r = Rect(1, 1, 5, 5);
    DrawEdgeColors(target.Canvas, r, clBtnHighlight, clBtnShadow);
    EXPECT_EQ(r, Rect(2, 2, 4, 4));
    const auto& image = target.Image;
    EXPECT_EQ(image.Row(1, Palette::Shadow, 0, 6), "....#.");
    EXPECT_EQ(image.At(1, 1), Palette::Highlight);
    EXPECT_EQ(image.At(3, 1), Palette::Highlight);
    EXPECT_EQ(image.At(4, 1), Palette::Shadow);  // top-right
    EXPECT_EQ(image.At(1, 4), Palette::Shadow);  // bottom-left
    EXPECT_EQ(image.At(1, 3), Palette::Highlight);
    EXPECT_EQ(image.Row(4, Palette::Shadow, 0, 6), ".####.");
    EXPECT_EQ(image.Column(4, Palette::Shadow, 0, 6), ".####.");
    EXPECT_EQ(image.Count(ui::testing::White, 2, 2, 4, 4), 4);
}

TEST_F(ThemePrimitives, DitherAlternatesTheTwoColoursFromTheBrushOrigin)
{
    PaintTarget target(10, 4);
    DitherRect(target.Canvas, Rect(0, 0, 10, 3), clBtnFace, clBtnHighlight);
    EXPECT_EQ(target.Image.Row(0, Palette::Face, 0, 10), "#.#.#.#.#.");
    EXPECT_EQ(target.Image.Row(1, Palette::Face, 0, 10), ".#.#.#.#.#");
    EXPECT_EQ(target.Image.Row(1, Palette::Highlight, 0, 10), "#.#.#.#.#.");
    EXPECT_EQ(target.Image.Row(3, ui::testing::White, 0, 10), "##########");
}

TEST_F(ThemePrimitives, LinesLeaveOutTheirEndPoint)
{
    PaintTarget target(8, 3);
    DrawLineColor(target.Canvas, 1, 1, 6, 1, clBtnText);
    EXPECT_EQ(target.Image.Row(1, Palette::ButtonText, 0, 8), ".#####..");
}

TEST_F(ThemePrimitives, ClientSizeIsTheClientRectangle)
{
    TControl control(nullptr);
    control.SetBounds(3, 4, 30, 20);
    EXPECT_EQ(GetClientSizeOf(control), (TSize{30, 20}));
}

TEST(ThemeMemory, FillsAndMovesLongsEvenWhenTheRangesOverlap)
{
    std::array<std::uint32_t, 6> values{1, 2, 3, 4, 5, 6};
    MoveLongs(values.data(), values.data() + 2, 3);
    EXPECT_EQ(values, (std::array<std::uint32_t, 6>{1, 2, 1, 2, 3, 6}));
    MoveLongs(values.data() + 2, values.data(), 4);
    EXPECT_EQ(values, (std::array<std::uint32_t, 6>{1, 2, 3, 6, 3, 6}));
    MoveLongs(values.data(), values.data(), 6);
    FillLongs(values.data() + 1, 2, 0xABCDu);
    EXPECT_EQ(values, (std::array<std::uint32_t, 6>{1, 0xABCD, 0xABCD, 6, 3, 6}));
    FillLongs(values.data(), 0, 7);
    EXPECT_EQ(values[0], 1u);
}

// ---- The drag frame ---------------------------------------------------------------------------------------

class DragFrame : public ::testing::Test {
protected:
    ui::testing::Canvas Image{40, 30, RGB(100, 150, 200)};
    static constexpr ui::COLORREF Back = RGB(100, 150, 200);
    static constexpr ui::COLORREF Inverted = RGB(155, 105, 55);

    void Snapshot(std::vector<ui::COLORREF>& out) const
    {
        out.clear();
        for (int y = 0; y < Image.Height(); ++y)
            for (int x = 0; x < Image.Width(); ++x)
                out.push_back(Image.At(x, y));
    }
};

TEST_F(DragFrame, InvertsAHalftoneFrameThreeAcrossTheSidesAndTwoAcrossTopAndBottom)
{
    const TRect r = Rect(5, 5, 25, 20);
    DrawDragFrame(Image.Dc(), &r, nullptr);
    // Every other pixel of the frame is inverted; the pattern shifts by one from row to row.
    EXPECT_EQ(Image.Row(5, Inverted, 0, 30), "......#.#.#.#.#.#.#.#.#.#.....");
    EXPECT_EQ(Image.Row(6, Inverted, 0, 30), ".....#.#.#.#.#.#.#.#.#.#......");
    EXPECT_EQ(Image.Row(7, Inverted, 0, 30), "......#...............#.#.....");
    EXPECT_EQ(Image.Row(8, Inverted, 0, 30), ".....#.#...............#......");
    EXPECT_EQ(Image.Row(19, Inverted, 0, 30), "......#.#.#.#.#.#.#.#.#.#.....");
    EXPECT_EQ(Image.Count(Inverted, 8, 7, 22, 18), 0);
    EXPECT_EQ(Image.Count(Inverted, 0, 0, 40, 5) + Image.Count(Inverted, 0, 20, 40, 30), 0);
    EXPECT_EQ(Image.Count(Inverted) + Image.Count(Back), 40 * 30);
}

TEST_F(DragFrame, ErasingRestoresEveryPixelAndAMoveEqualsEraseThenDraw)
{
    std::vector<ui::COLORREF> before, moved, stepwise;
    Snapshot(before);
    const TRect a = Rect(5, 5, 25, 20);
    const TRect b = Rect(8, 7, 30, 26);
    DrawDragFrame(Image.Dc(), &a, nullptr);
    DrawDragFrame(Image.Dc(), &b, &a);
    Snapshot(moved);
    DrawDragFrame(Image.Dc(), nullptr, &b);
    Snapshot(stepwise);
    EXPECT_EQ(stepwise, before);

    DrawDragFrame(Image.Dc(), &b, nullptr);
    Snapshot(stepwise);
    EXPECT_EQ(stepwise, moved);
    DrawDragFrame(Image.Dc(), nullptr, &b);
    Snapshot(stepwise);
    EXPECT_EQ(stepwise, before);
}

// ---- Work objects -----------------------------------------------------------------------------------------

using ThemeWorkObjects = testing::ThemeRuntimeTest;

TEST_F(ThemeWorkObjects, TheSmallCaptionFontFollowsTheNonClientMetricsWhenRemade)
{
    const ui::LOGFONT classic = Table().NonClientMetrics.lfSmCaptionFont;
    EXPECT_EQ(GetThemeWorkObjects().GetSmallCaptionFont()->GetHeight(), classic.lfHeight);

    Table().NonClientMetrics.lfSmCaptionFont.lfHeight = -20;
    Table().NonClientMetrics.lfSmCaptionFont.lfWeight = ui::FW_BOLD;
    RecreateUtilityObjects();
    const TFont* font = GetThemeWorkObjects().GetSmallCaptionFont();
    EXPECT_EQ(font->GetHeight(), -20);
    EXPECT_TRUE(font->GetStyle().Contains(fsBold));

    // Without the metrics the font stays the class library's default.
    Table().FailingParameters.insert(ui::SPI_GETNONCLIENTMETRICS);
    RecreateUtilityObjects();
    EXPECT_EQ(GetThemeWorkObjects().GetSmallCaptionFont()->GetHeight(), TFont().GetHeight());
    EXPECT_TRUE(GetThemeWorkObjects().GetBackground()->GetPixelFormat() == pf32bit);
    EXPECT_TRUE(GetThemeWorkObjects().GetMonoBitmap()->GetMonochrome());
}

TEST(ThemeWorkObjectsWithoutRuntime, AreAnAssertionFailure)
{
    EXPECT_THROW((void)GetThemeWorkObjects(), EAssertionFailed);
}

}  // namespace
}  // namespace ovrel::themes
