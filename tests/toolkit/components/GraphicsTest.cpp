// Colours, drawing objects, canvases, bitmaps and image lists, checked by reading pixels back.

#include "toolkit/Graphics.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"

#include <QImage>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

// An image with a canvas on a DC over it; pixels are read back as TColor (0x00BBGGRR).
class ImageCanvas {
public:
    ImageCanvas(int width, int height, TColor background = clWhite) : FImage(width, height, QImage::Format_ARGB32)
    {
        const auto rgb = static_cast<ui::COLORREF>(background);
        FImage.fill(qRgb(ui::GetRValue(rgb), ui::GetGValue(rgb), ui::GetBValue(rgb)));
        FDC = ui::CreateImageDC(FImage, ui::POINT{0, 0}, nullptr);
        FCanvas.SetHandle(FDC);
    }
    ~ImageCanvas()
    {
        FCanvas.SetHandle(nullptr);
        ui::DeleteImageDC(FDC);
    }
    ImageCanvas(const ImageCanvas&) = delete;
    ImageCanvas& operator=(const ImageCanvas&) = delete;

    TCanvas& Canvas() { return FCanvas; }
    ui::HDC Dc() const { return FDC; }
    TColor At(int x, int y) const
    {
        const QRgb p = FImage.pixel(x, y);
        return static_cast<TColor>(ui::RGB(qRed(p), qGreen(p), qBlue(p)));
    }
    int Count(TColor color) const
    {
        int n = 0;
        for (int y = 0; y < FImage.height(); ++y)
            for (int x = 0; x < FImage.width(); ++x)
                n += At(x, y) == color ? 1 : 0;
        return n;
    }
    // One character per pixel of a row: '#' where the pixel has the colour, '.' elsewhere.
    std::string Row(int y, TColor color, int from, int to) const
    {
        std::string row;
        for (int x = from; x < to; ++x)
            row += At(x, y) == color ? '#' : '.';
        return row;
    }

private:
    QImage FImage;
    ui::HDC FDC = nullptr;
    TCanvas FCanvas;
};

// Counts the change events of whatever it is attached to.
struct TCounter : TObject {
    int Count = 0;
    TObject* LastSender = nullptr;
    void Hit(TObject* sender)
    {
        ++Count;
        LastSender = sender;
    }
    TNotifyEvent Event() { return TNotifyEvent(this, &TCounter::Hit); }
};

// A bitmap of 32-bit pixels, every row given as a string of colour keys.
std::unique_ptr<TBitmap> PaintedBitmap(const std::vector<std::string>& rows, TColor (*colorOf)(char))
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            bitmap->GetCanvas()->SetPixel(static_cast<int>(x), static_cast<int>(y), colorOf(rows[y][x]));
    return bitmap;
}

TColor Key(char c)
{
    switch (c) {
    case 'R': return clRed;
    case 'B': return clBlue;
    case 'L': return clLime;
    case 'K': return clBlack;
    default: return clWhite;
    }
}

// ---- Colours ----------------------------------------------------------------------------------------------

TEST(Colors, ColorToRGBResolvesSystemColoursThroughTheTableAndKeepsOthers)
{
    ui::SystemTableOverride table;
    table.Table().Colors[ui::COLOR_BTNFACE] = ui::RGB(1, 2, 3);
    table.Table().Colors[ui::COLOR_HIGHLIGHT] = ui::RGB(10, 20, 30);
    struct Row {
        const char* name;
        TColor color;
        ui::COLORREF expected;
    };
    const std::array<Row, 5> rows{{
        {"BtnFace", clBtnFace, ui::RGB(1, 2, 3)},
        {"Highlight", clHighlight, ui::RGB(10, 20, 30)},
        {"Plain", clRed, 0x0000FF},
        {"Mixed", static_cast<TColor>(0x00123456), 0x00123456},
        {"None", clNone, 0x1FFFFFFF},
    }};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ColorToRGB(row.color), row.expected);
    }
}

TEST(Colors, NamesAndHexTextRoundTrip)
{
    struct Row {
        TColor color;
        const char* text;
    };
    const std::array<Row, 7> rows{{
        {clBlack, "clBlack"},
        {clLime, "clLime"},
        {clBtnFace, "clBtnFace"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
        {static_cast<TColor>(0x00123456), "$00123456"},
        {static_cast<TColor>(0xFF0000FFu), "$FF0000FF"},
    }};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ColorToString(row.color), row.text);
        EXPECT_EQ(StringToColor(row.text), row.color);
    }
}

TEST(Colors, StringToColorTakesAnyCaseDecimalAndHexButRejectsOtherText)
{
    EXPECT_EQ(StringToColor("CLWINDOW"), clWindow);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_EQ(StringToColor("$FF00"), clLime);
    EXPECT_EQ(StringToColor("-16777201"), clBtnFace);
    for (const char* bad : {"", "clNoSuchColour", "$XYZ", "12a", "99999999999"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(StringToColor(bad), EConvertError);
    }
    TColor color = clBlack;
    EXPECT_FALSE(IdentToColor("Red", color));
    EXPECT_EQ(color, clBlack);
    std::string ident;
    EXPECT_FALSE(ColorToIdent(static_cast<TColor>(0x00010203), ident));
}

// ---- Drawing objects --------------------------------------------------------------------------------------

TEST(Fonts, SizeAndHeightConvertAtNinetySixPixelsPerInch)
{
    TFont font;
    EXPECT_EQ(font.GetHeight(), -11);
    EXPECT_EQ(font.GetSize(), 8);
    font.SetSize(10);
    EXPECT_EQ(font.GetHeight(), -13);
    font.SetHeight(-16);
    EXPECT_EQ(font.GetSize(), 12);
}

TEST(Fonts, FiresOnceForEachChangeAndNeverForAnUnchangedValue)
{
    TFont font;
    TCounter counter;
    font.OnChange = counter.Event();
    font.SetName("DejaVu Sans");
    font.SetName("DejaVu Sans");
    font.SetSize(font.GetSize());
    font.SetStyle({fsBold});
    font.SetStyle({fsBold});
    font.SetColor(clRed);
    font.SetColor(clRed);
    EXPECT_EQ(counter.Count, 3);
    EXPECT_EQ(counter.LastSender, &font);

    TFont copy;
    copy.OnChange = counter.Event();
    copy.Assign(&font);
    EXPECT_EQ(counter.Count, 4);
    EXPECT_EQ(copy.GetName(), "DejaVu Sans");
    EXPECT_EQ(copy.GetStyle(), TFontStyles({fsBold}));
    EXPECT_EQ(copy.GetColor(), clRed);
    EXPECT_EQ(copy.GetLogFont(), font.GetLogFont());
}

TEST(Fonts, HandleRealisesTheDescriptionAndATakenHandleDescribesTheFont)
{
    TFont font;
    font.SetStyle({fsItalic, fsUnderline});
    font.SetHeight(-20);
    ui::LOGFONT log;
    ASSERT_TRUE(ui::GetObject(font.GetHandle(), log));
    EXPECT_EQ(log.lfHeight, -20);
    EXPECT_EQ(log.lfWeight, ui::FW_NORMAL);
    EXPECT_EQ(log.lfItalic, 1);
    EXPECT_EQ(log.lfUnderline, 1);

    ui::LOGFONT menu;
    menu.lfHeight = -12;
    menu.lfWeight = ui::FW_BOLD;
    menu.lfFaceName = "DejaVu Sans";
    ui::HFONT handle = ui::CreateFontIndirect(menu);
    TCounter counter;
    font.OnChange = counter.Event();
    font.SetHandle(handle);
    EXPECT_EQ(counter.Count, 1);
    EXPECT_EQ(font.GetHandle(), handle);
    EXPECT_EQ(font.GetName(), "DejaVu Sans");
    EXPECT_EQ(font.GetHeight(), -12);
    EXPECT_EQ(font.GetStyle(), TFontStyles({fsBold}));
    EXPECT_THROW(font.SetHandle(reinterpret_cast<ui::HFONT>(&counter)), EInvalidGraphicOperation);
}

TEST(Fonts, PropertiesAreReachableByName)
{
    TFont font;
    SetStrProp(font, "Name", "DejaVu Sans Mono");
    SetOrdProp(font, "Size", 14);
    EXPECT_EQ(font.GetName(), "DejaVu Sans Mono");
    EXPECT_EQ(font.GetSize(), 14);
    EXPECT_EQ(GetOrdProp(font, "Color"), clWindowText);
}

TEST(Brushes, AColourMakesAClearBrushSolidAndAssignCopiesEverything)
{
    TBrush brush;
    TCounter counter;
    brush.OnChange = counter.Event();
    brush.SetStyle(bsClear);
    brush.SetColor(clRed);
    EXPECT_EQ(brush.GetStyle(), bsSolid);
    EXPECT_EQ(counter.Count, 2);

    TBitmap pattern;
    brush.SetBitmap(&pattern);
    TBrush copy;
    copy.Assign(&brush);
    EXPECT_EQ(copy.GetColor(), clRed);
    EXPECT_EQ(copy.GetBitmap(), &pattern);
    EXPECT_THROW(copy.Assign(nullptr), EConvertError);
}

TEST(Pens, StyleAndWidthReachTheHandle)
{
    TPen pen;
    pen.SetStyle(psDot);
    pen.SetWidth(3);
    pen.SetColor(clBlue);
    ui::LOGPEN log;
    ASSERT_TRUE(ui::GetObject(pen.GetHandle(), log));
    EXPECT_EQ(log.lopnStyle, static_cast<ui::UINT>(ui::PS_DOT));
    EXPECT_EQ(log.lopnWidth.x, 3);
    EXPECT_EQ(log.lopnColor, 0xFF0000u);
}

// ---- Canvas -----------------------------------------------------------------------------------------------

TEST(Canvas, FillsFramesAndOutlinesWithItsBrushAndPen)
{
    ImageCanvas image(12, 12);
    TCanvas& canvas = image.Canvas();
    canvas.GetBrush()->SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(image.Count(clRed), 16);

    // A change of colour between two operations reaches the DC.
    canvas.GetBrush()->SetColor(clBlue);
    canvas.FrameRect(Rect(4, 4, 8, 8));
    EXPECT_EQ(image.Row(4, clBlue, 4, 8), "####");
    EXPECT_EQ(image.Row(5, clBlue, 4, 8), "#..#");

    canvas.GetPen()->SetColor(clLime);
    canvas.GetBrush()->SetColor(clBlack);
    canvas.Rectangle(8, 0, 12, 4);
    EXPECT_EQ(image.Row(0, clLime, 8, 12), "####");
    EXPECT_EQ(image.Row(1, clLime, 8, 12), "#..#");
    EXPECT_EQ(image.Row(1, clBlack, 8, 12), ".##.");
}

TEST(Canvas, ClearBrushLeavesTheInsideOfShapesAndTheBackOfText)
{
    ImageCanvas image(40, 20);
    TCanvas& canvas = image.Canvas();
    canvas.GetBrush()->SetColor(clLime);
    canvas.GetBrush()->SetStyle(bsClear);
    canvas.GetPen()->SetColor(clBlue);
    canvas.Rectangle(0, 0, 6, 6);
    EXPECT_EQ(image.Row(2, clBlue, 0, 6), "#....#");

    canvas.GetFont()->SetColor(clRed);
    canvas.TextOut(10, 2, "Wg");
    EXPECT_GT(image.Count(clRed), 0);
    EXPECT_EQ(image.Count(clLime), 0);
    // Text without a clear brush paints its background in the brush colour.
    canvas.GetBrush()->SetColor(clLime);
    canvas.TextOut(22, 2, "W");
    EXPECT_GT(image.Count(clLime), 0);
}

TEST(Canvas, TextOutMovesThePenToTheEndOfTheText)
{
    ImageCanvas image(100, 20);
    TCanvas& canvas = image.Canvas();
    const int width = canvas.TextWidth("Hello");
    EXPECT_GT(width, 0);
    EXPECT_GT(canvas.TextHeight("Hello"), 0);
    canvas.TextOut(5, 3, "Hello");
    EXPECT_EQ(canvas.GetPenPos(), Point(5 + width, 3));
}

TEST(Canvas, TextRectFillsTheRectangleAndDrawsNothingOutsideIt)
{
    ImageCanvas image(60, 20);
    TCanvas& canvas = image.Canvas();
    canvas.GetBrush()->SetColor(clLime);
    canvas.GetFont()->SetColor(clRed);
    canvas.TextRect(Rect(10, 0, 20, 20), 0, 0, "WWWWWWWWWW");
    EXPECT_EQ(image.At(0, 5), clWhite);
    EXPECT_EQ(image.At(25, 5), clWhite);
    int inside = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 20; ++x)
            inside += image.At(x, y) == clWhite ? 0 : 1;
    EXPECT_EQ(inside, 200);
}

TEST(Canvas, HatchesLeaveTheBackgroundAndPatternsTakeTheBrushColourForTheirOnes)
{
    ImageCanvas image(16, 16);
    TCanvas& canvas = image.Canvas();
    canvas.GetBrush()->SetColor(clRed);
    canvas.GetBrush()->SetStyle(bsFDiagonal);
    canvas.FillRect(Rect(0, 0, 16, 16));
    EXPECT_GT(image.Count(clRed), 0);
    EXPECT_EQ(image.Count(clRed) + image.Count(clWhite), 256);
    EXPECT_GT(image.Count(clWhite), image.Count(clRed));

    // Columns alternate: 0 bits in the DC's text colour (black here), 1 bits in the brush colour.
    TBitmap pattern;
    pattern.SetMonochrome(true);
    pattern.SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
        static_cast<std::uint8_t*>(pattern.GetScanLine(y))[0] = 0x55;
    canvas.GetBrush()->SetStyle(bsSolid);
    canvas.GetBrush()->SetColor(clLime);
    canvas.GetBrush()->SetBitmap(&pattern);
    canvas.FillRect(Rect(0, 0, 16, 16));
    EXPECT_EQ(image.Row(0, clLime, 0, 8), ".#.#.#.#");
    EXPECT_EQ(image.Row(5, clBlack, 0, 8), "#.#.#.#.");
    canvas.GetBrush()->SetBitmap(nullptr);
}

TEST(Canvas, PixelsAndClipRect)
{
    ImageCanvas image(8, 8);
    TCanvas& canvas = image.Canvas();
    canvas.SetPixel(3, 4, clBtnShadow);
    EXPECT_EQ(canvas.GetPixel(3, 4), static_cast<TColor>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(image.At(3, 4), static_cast<TColor>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(canvas.GetClipRect(), Rect(0, 0, 8, 8));
    ui::IntersectClipRect(image.Dc(), 2, 2, 5, 5);
    EXPECT_EQ(canvas.GetClipRect(), Rect(2, 2, 5, 5));
}

TEST(Canvas, SystemColourBrushFollowsTheColourTable)
{
    ImageCanvas image(4, 4);
    ui::SystemTableOverride table;
    table.Table().Colors[ui::COLOR_BTNFACE] = ui::RGB(0x12, 0x34, 0x56);
    image.Canvas().GetBrush()->SetColor(clBtnFace);
    image.Canvas().FillRect(Rect(0, 0, 4, 4));
    EXPECT_EQ(image.Count(static_cast<TColor>(ui::RGB(0x12, 0x34, 0x56))), 16);
}

TEST(Canvas, WithoutADcItRaisesAndChangeEventsSurroundEachOperation)
{
    TCanvas canvas;
    EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidGraphicOperation);
    EXPECT_THROW((void)canvas.GetHandle(), EInvalidGraphicOperation);

    ImageCanvas image(4, 4);
    TCounter changing;
    TCounter changed;
    image.Canvas().OnChanging = changing.Event();
    image.Canvas().OnChange = changed.Event();
    image.Canvas().FillRect(Rect(0, 0, 2, 2));
    image.Canvas().LineTo(3, 3);
    EXPECT_EQ(changing.Count, 2);
    EXPECT_EQ(changed.Count, 2);
}

TEST(Canvas, GivesTheDcBackWithItsOwnObjectsAndLeaksNothing)
{
    QImage target(4, 4, QImage::Format_ARGB32);
    ui::HDC dc = ui::CreateImageDC(target, ui::POINT{0, 0}, nullptr);
    const ui::HGDIOBJ pen = ui::GetCurrentObject(dc, ui::OBJ_PEN);
    const ui::HGDIOBJ brush = ui::GetCurrentObject(dc, ui::OBJ_BRUSH);
    const ui::HGDIOBJ font = ui::GetCurrentObject(dc, ui::OBJ_FONT);
    const int objects = ui::GdiObjectCount();
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.GetBrush()->SetColor(clRed);
        canvas.Rectangle(0, 0, 4, 4);
        canvas.GetFont()->SetSize(20);  // replaces a selected font
        canvas.GetPen()->SetWidth(2);
        canvas.TextOut(0, 0, "x");
        canvas.Rectangle(0, 0, 4, 4);
        EXPECT_NE(ui::GetCurrentObject(dc, ui::OBJ_BRUSH), brush);
        canvas.SetHandle(nullptr);
        EXPECT_EQ(ui::GetCurrentObject(dc, ui::OBJ_PEN), pen);
        EXPECT_EQ(ui::GetCurrentObject(dc, ui::OBJ_BRUSH), brush);
        EXPECT_EQ(ui::GetCurrentObject(dc, ui::OBJ_FONT), font);
    }
    EXPECT_EQ(ui::GdiObjectCount(), objects);
    ui::DeleteImageDC(dc);
}

TEST(Canvas, CopyRectStretchesAnotherCanvasThroughTheCopyMode)
{
    ImageCanvas source(2, 2);
    source.Canvas().SetPixel(0, 0, clRed);
    source.Canvas().SetPixel(1, 1, clBlue);
    ImageCanvas dest(4, 4);
    dest.Canvas().CopyRect(Rect(0, 0, 4, 4), &source.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(dest.Row(0, clRed, 0, 4), "##..");
    EXPECT_EQ(dest.Row(1, clRed, 0, 4), "##..");
    EXPECT_EQ(dest.Row(3, clBlue, 0, 4), "..##");

    dest.Canvas().SetCopyMode(ui::NOTSRCCOPY);
    dest.Canvas().CopyRect(Rect(0, 0, 2, 2), &source.Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(dest.At(0, 0), static_cast<TColor>(0xFFFF00));  // not red
    EXPECT_EQ(dest.At(1, 0), clBlack);  // not white
}

TEST(ControlCanvas, AcquiresTheDcOnFirstUseAndReleasesIt)
{
    QImage target(4, 4, QImage::Format_ARGB32);
    target.fill(Qt::white);
    std::vector<std::string> log;
    TControlCanvas canvas;
    auto* control = reinterpret_cast<TControl*>(&log);  // only compared, never used
    canvas.SetControl(
        control,
        [&] {
            log.push_back("acquire");
            return ui::CreateImageDC(target, ui::POINT{0, 0}, nullptr);
        },
        [&](ui::HDC dc) {
            log.push_back("release");
            ui::DeleteImageDC(dc);
        });
    EXPECT_EQ(canvas.GetControl(), control);
    EXPECT_FALSE(canvas.HandleAllocated());
    canvas.GetBrush()->SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 2, 2));
    canvas.FillRect(Rect(2, 2, 4, 4));
    EXPECT_EQ(target.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(3, 3), qRgb(255, 0, 0));
    // A paint handler's DC in between: the acquired DC serves again afterwards.
    QImage other(2, 2, QImage::Format_ARGB32);
    ui::HDC paintDc = ui::CreateImageDC(other, ui::POINT{0, 0}, nullptr);
    canvas.SetHandle(paintDc);
    canvas.SetHandle(nullptr);
    ui::DeleteImageDC(paintDc);
    canvas.GetBrush()->SetColor(clBlue);
    canvas.FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 0, 255));
    canvas.FreeHandle();
    EXPECT_FALSE(canvas.HandleAllocated());
    canvas.FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(log, (std::vector<std::string>{"acquire", "release", "acquire"}));
}

// ---- Bitmaps ----------------------------------------------------------------------------------------------

TEST(Bitmaps, ResizingKeepsThePixelsInsideAndMakesNewOnesWhite)
{
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.GetEmpty());
    EXPECT_EQ(bitmap.GetHandle(), nullptr);
    bitmap.SetSize(2, 2);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(1, 1), clWhite);
    bitmap.GetCanvas()->SetPixel(1, 1, clRed);
    bitmap.SetSize(3, 3);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(1, 1), clRed);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(2, 2), clWhite);
    bitmap.SetWidth(1);
    EXPECT_EQ(bitmap.GetWidth(), 1);
    EXPECT_EQ(bitmap.GetHeight(), 3);
    bitmap.SetHeight(0);
    EXPECT_TRUE(bitmap.GetEmpty());

    // Width and height set one after the other on an empty bitmap.
    TBitmap fresh;
    fresh.SetWidth(5);
    EXPECT_TRUE(fresh.GetEmpty());
    fresh.SetHeight(4);
    EXPECT_EQ(fresh.GetWidth(), 5);
    EXPECT_EQ(fresh.GetHeight(), 4);
    EXPECT_FALSE(fresh.GetEmpty());
    EXPECT_EQ(fresh.GetCanvas()->GetPixel(4, 3), clWhite);
}

TEST(Bitmaps, ScanLinesAreThePixelsTheCanvasSees)
{
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(3, 2);
    auto* row = static_cast<std::uint8_t*>(bitmap.GetScanLine(1));
    row[4] = 0xFF;  // pixel 1: blue byte
    row[5] = 0x00;
    row[6] = 0x00;
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(1, 1), clBlue);
    bitmap.GetCanvas()->SetPixel(2, 0, clRed);
    const auto* top = static_cast<const std::uint8_t*>(bitmap.GetScanLine(0));
    EXPECT_EQ(top[8], 0x00);
    EXPECT_EQ(top[10], 0xFF);
    for (int bad : {-1, 2}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW((void)bitmap.GetScanLine(bad), EInvalidGraphicOperation);
    }
}

TEST(Bitmaps, MonochromeKeepsWhiteAndTurnsEveryOtherColourBlack)
{
    auto bitmap = PaintedBitmap({"RW", "WK"}, Key);
    bitmap->SetMonochrome(true);
    EXPECT_EQ(bitmap->GetPixelFormat(), pf1bit);
    const auto* row = static_cast<const std::uint8_t*>(bitmap->GetScanLine(0));
    EXPECT_EQ(row[0] & 0xC0, 0x40);  // red became black (0), white stays 1
    EXPECT_EQ(bitmap->GetTransparentColor(), clWhite);
    bitmap->SetMonochrome(false);
    EXPECT_EQ(bitmap->GetCanvas()->GetPixel(0, 0), clBlack);
    EXPECT_EQ(bitmap->GetCanvas()->GetPixel(1, 0), clWhite);
    EXPECT_THROW(bitmap->SetPixelFormat(pf8bit), EInvalidGraphicOperation);
}

TEST(Bitmaps, DrawCopiesAndStretchDrawScales)
{
    auto bitmap = PaintedBitmap({"RB", "BR"}, Key);
    ImageCanvas image(8, 8);
    image.Canvas().Draw(1, 1, bitmap.get());
    EXPECT_EQ(image.Row(1, clRed, 0, 4), ".#..");
    EXPECT_EQ(image.Row(2, clRed, 0, 4), "..#.");
    image.Canvas().StretchDraw(Rect(4, 4, 8, 8), bitmap.get());
    EXPECT_EQ(image.Row(4, clRed, 4, 8), "##..");
    EXPECT_EQ(image.Row(7, clRed, 4, 8), "..##");
    EXPECT_EQ(image.Row(7, clBlue, 4, 8), "##..");
    TBitmap empty;
    image.Canvas().Draw(0, 0, &empty);
    image.Canvas().Draw(0, 0, nullptr);
}

TEST(Bitmaps, TransparentDrawLeavesOutTheAutomaticOrFixedColour)
{
    struct Row {
        const char* name;
        TColor fixed;  // clDefault: the bottom-left pixel's colour
        TTransparentMode mode;
        const char* limeRow0;
        const char* limeRow1;
        const char* blueRow1;
    };
    // Bitmap "RLRB" over "BLBB", drawn on black: the left-out colour shows black.
    const std::array<Row, 2> rows{{
        {"BottomLeftPixelIsBlue", clDefault, tmAuto, ".#..", ".#..", "...."},
        {"FixedLime", clLime, tmFixed, "....", "....", "#.##"},
    }};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto bitmap = PaintedBitmap({"RLRB", "BLBB"}, Key);
        bitmap->SetTransparent(true);
        bitmap->SetTransparentColor(row.fixed);
        EXPECT_EQ(bitmap->GetTransparentMode(), row.mode);
        ImageCanvas image(4, 2, clBlack);
        image.Canvas().Draw(0, 0, bitmap.get());
        EXPECT_EQ(image.Row(0, clRed, 0, 4), "#.#.");
        EXPECT_EQ(image.Row(0, clLime, 0, 4), row.limeRow0);
        EXPECT_EQ(image.Row(1, clLime, 0, 4), row.limeRow1);
        EXPECT_EQ(image.Row(1, clBlue, 0, 4), row.blueRow1);
    }
}

TEST(Bitmaps, AssignMakesAnIndependentCopy)
{
    auto original = PaintedBitmap({"RB"}, Key);
    original->SetTransparentColor(clBlue);
    TBitmap copy;
    copy.Assign(original.get());
    EXPECT_EQ(copy.GetWidth(), 2);
    EXPECT_EQ(copy.GetTransparentColor(), clBlue);
    EXPECT_NE(copy.GetHandle(), original->GetHandle());
    copy.GetCanvas()->SetPixel(0, 0, clLime);
    EXPECT_EQ(original->GetCanvas()->GetPixel(0, 0), clRed);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.GetEmpty());
}

TEST(Bitmaps, HandlesAreTakenOverAndGivenUp)
{
    const int objects = ui::GdiObjectCount();
    {
        TBitmap bitmap;
        TCounter counter;
        bitmap.OnChange = counter.Event();
        ui::HBITMAP handle = ui::CreateBitmap(5, 3, 1, 1, nullptr);
        bitmap.SetHandle(handle);
        EXPECT_EQ(bitmap.GetWidth(), 5);
        EXPECT_EQ(bitmap.GetHeight(), 3);
        EXPECT_TRUE(bitmap.GetMonochrome());
        EXPECT_EQ(counter.Count, 1);
        bitmap.GetCanvas()->FillRect(Rect(0, 0, 1, 1));  // a drawing DC is held now
        EXPECT_EQ(bitmap.ReleaseHandle(), handle);
        EXPECT_TRUE(bitmap.GetEmpty());
        ui::DeleteObject(handle);
        bitmap.SetSize(4, 4);
        bitmap.GetCanvas()->TextOut(0, 0, "x");
        EXPECT_THROW(bitmap.SetHandle(reinterpret_cast<ui::HBITMAP>(&counter)), EInvalidGraphicOperation);
    }
    EXPECT_EQ(ui::GdiObjectCount(), objects);
}

TEST(Bitmaps, DrawingOnTheCanvasTellsTheBitmap)
{
    TBitmap bitmap;
    bitmap.SetSize(2, 2);
    TCounter counter;
    bitmap.OnChange = counter.Event();
    bitmap.GetCanvas()->FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(counter.Count, 1);
    EXPECT_EQ(counter.LastSender, &bitmap);
}

TEST(Bitmaps, LoadsImagesAndReportsMissingResources)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 255));
    TBitmap bitmap;
    bitmap.LoadFromImage(image);
    EXPECT_EQ(bitmap.GetWidth(), 3);
    EXPECT_EQ(bitmap.GetPixelFormat(), pf32bit);
    EXPECT_EQ(bitmap.GetCanvas()->GetPixel(2, 1), clBlue);
    EXPECT_THROW(bitmap.LoadFromResourceName("NO_SUCH_RESOURCE"), EResNotFound);
}

// ---- Image lists ------------------------------------------------------------------------------------------

class ImageLists : public ::testing::Test {
protected:
    ImageLists() { FList.SetSize(3, 2); }
    // Two 3 x 2 images in one strip, lime as the background.
    int AddTwo() { return FList.AddMasked(PaintedBitmap({"RLLBBL", "LRLLBB"}, Key).get(), clLime); }
    TImageList FList{nullptr};
};

TEST_F(ImageLists, AddingAStripAddsOneImagePerWidth)
{
    EXPECT_EQ(AddTwo(), 0);
    EXPECT_EQ(FList.GetCount(), 2);
    EXPECT_EQ(AddTwo(), 2);
    EXPECT_EQ(FList.AddMasked(PaintedBitmap({"RR"}, Key).get(), clDefault), -1);  // narrower than one image
    EXPECT_EQ(FList.Add(nullptr, nullptr), -1);
    EXPECT_EQ(FList.GetCount(), 4);
    FList.Delete(0);
    EXPECT_EQ(FList.GetCount(), 3);
    for (int bad : {-1, 3}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(FList.Delete(bad), EListError);
    }
    FList.SetWidth(4);
    EXPECT_EQ(FList.GetCount(), 0);
    EXPECT_THROW(FList.SetSize(0, 2), EInvalidOperation);
}

TEST_F(ImageLists, DrawHonoursTransparencyAndIgnoresABadIndex)
{
    AddTwo();
    ImageCanvas image(8, 3, clBlack);
    FList.Draw(&image.Canvas(), 1, 1, 0);
    EXPECT_EQ(image.Row(1, clRed, 0, 8), ".#......");
    EXPECT_EQ(image.Row(1, clBlack, 0, 8), "#.######");
    EXPECT_EQ(image.Row(2, clRed, 0, 8), "..#.....");
    FList.Draw(&image.Canvas(), 4, 1, 1);
    EXPECT_EQ(image.Row(1, clBlue, 0, 8), "....##..");
    EXPECT_EQ(image.Row(2, clBlue, 0, 8), ".....##.");

    ImageCanvas untouched(4, 4, clBlack);
    for (int bad : {-1, 2, 100}) {
        SCOPED_TRACE(bad);
        FList.Draw(&untouched.Canvas(), 0, 0, bad);
    }
    FList.Draw(nullptr, 0, 0, 0);
    EXPECT_EQ(untouched.Count(clBlack), 16);
}

TEST_F(ImageLists, DisabledImagesAreEmbossedInTheButtonColours)
{
    ui::SystemTableOverride table;
    table.Table().Colors[ui::COLOR_BTNHIGHLIGHT] = ui::RGB(0xFF, 0xFF, 0xFE);
    table.Table().Colors[ui::COLOR_BTNSHADOW] = ui::RGB(0x80, 0x80, 0x80);
    const TColor highlight = static_cast<TColor>(ui::RGB(0xFF, 0xFF, 0xFE));
    const TColor shadow = static_cast<TColor>(ui::RGB(0x80, 0x80, 0x80));
    // A white pixel takes no part in the shape.
    FList.AddMasked(PaintedBitmap({"RLW", "LLL"}, Key).get(), clLime);
    ImageCanvas image(5, 4, clBlack);
    FList.Draw(&image.Canvas(), 1, 1, 0, false);
    EXPECT_EQ(image.Row(1, shadow, 0, 5), ".#...");
    EXPECT_EQ(image.Row(2, highlight, 0, 5), "..#..");
    EXPECT_EQ(image.Count(clRed), 0);
    EXPECT_EQ(image.Count(clBlack), 18);
}

TEST_F(ImageLists, MasksAndAlphaDecideWhatShowsAndGetBitmapKeepsAlpha)
{
    auto colour = PaintedBitmap({"RRR", "BBB"}, Key);
    auto mask = PaintedBitmap({"WKK", "KKW"}, Key);  // white: transparent
    EXPECT_EQ(FList.Add(colour.get(), mask.get()), 0);

    TBitmap alpha;
    alpha.SetPixelFormat(pf32bit);
    alpha.SetSize(3, 2);
    for (int y = 0; y < 2; ++y) {
        auto* row = static_cast<std::uint8_t*>(alpha.GetScanLine(y));
        for (int x = 0; x < 3; ++x) {
            row[x * 4 + 0] = 0xFF;  // blue
            row[x * 4 + 1] = 0;
            row[x * 4 + 2] = 0;
            row[x * 4 + 3] = x == 0 ? 0 : 0xFF;  // first column fully transparent
        }
    }
    EXPECT_EQ(FList.Add(&alpha, nullptr), 1);

    ImageCanvas image(3, 2, clBlack);
    FList.Draw(&image.Canvas(), 0, 0, 0);
    EXPECT_EQ(image.Row(0, clRed, 0, 3), ".##");
    EXPECT_EQ(image.Row(1, clBlue, 0, 3), "##.");
    ImageCanvas second(3, 2, clBlack);
    FList.Draw(&second.Canvas(), 0, 0, 1);
    EXPECT_EQ(second.Row(0, clBlue, 0, 3), ".##");

    TBitmap out;
    FList.GetBitmap(1, &out);
    EXPECT_EQ(out.GetPixelFormat(), pf32bit);
    EXPECT_EQ(out.GetWidth(), 3);
    EXPECT_EQ(static_cast<const std::uint8_t*>(out.GetScanLine(0))[3], 0);
    EXPECT_EQ(static_cast<const std::uint8_t*>(out.GetScanLine(0))[7], 0xFF);
    TBitmap untouched;
    FList.GetBitmap(5, &untouched);
    EXPECT_TRUE(untouched.GetEmpty());
}

TEST_F(ImageLists, ChangeLinksHearChangesUntilEitherSideGoes)
{
    TCounter counter;
    TCounter listCounter;
    FList.OnChange = listCounter.Event();
    auto first = std::make_unique<TChangeLink>();
    TChangeLink second;
    first->OnChange = counter.Event();
    second.OnChange = counter.Event();
    FList.RegisterChanges(first.get());
    FList.RegisterChanges(first.get());  // once only
    FList.RegisterChanges(&second);
    EXPECT_EQ(first->GetSender(), &FList);

    AddTwo();
    EXPECT_EQ(counter.Count, 2);
    EXPECT_EQ(counter.LastSender, &FList);
    EXPECT_EQ(listCounter.Count, 1);

    first.reset();  // unregisters itself
    FList.Delete(0);
    EXPECT_EQ(counter.Count, 3);

    FList.UnRegisterChanges(&second);
    EXPECT_EQ(second.GetSender(), nullptr);
    FList.Clear();
    EXPECT_EQ(counter.Count, 3);

    // A list freed first leaves its links without a sender, so their destructors touch nothing.
    TChangeLink survivor;
    {
        TImageList shortLived(nullptr);
        shortLived.RegisterChanges(&survivor);
    }
    EXPECT_EQ(survivor.GetSender(), nullptr);
}

// A link whose handler unregisters another link: the change must not reach a link already gone.
struct TUnregisterer : TObject {
    TCustomImageList* List = nullptr;
    TChangeLink* Victim = nullptr;
    int Count = 0;
    void Hit(TObject*)
    {
        ++Count;
        List->UnRegisterChanges(Victim);
    }
};

TEST_F(ImageLists, AHandlerMayUnregisterLinksWhileTheChangeRuns)
{
    TChangeLink killer;
    TChangeLink victim;
    TUnregisterer handler;
    handler.List = &FList;
    handler.Victim = &victim;
    killer.OnChange = TNotifyEvent(&handler, &TUnregisterer::Hit);
    TCounter victimCounter;
    victim.OnChange = victimCounter.Event();
    FList.RegisterChanges(&killer);
    FList.RegisterChanges(&victim);
    AddTwo();
    EXPECT_EQ(handler.Count, 1);
    EXPECT_EQ(victimCounter.Count, 0);
}

TEST_F(ImageLists, AssignCopiesSizeAndImages)
{
    AddTwo();
    TImageList copy(nullptr);
    copy.Assign(&FList);
    EXPECT_EQ(copy.GetWidth(), 3);
    EXPECT_EQ(copy.GetHeight(), 2);
    EXPECT_EQ(copy.GetCount(), 2);
    SetOrdProp(copy, "Width", 5);
    EXPECT_EQ(copy.GetCount(), 0);
    EXPECT_EQ(FList.GetCount(), 2);
}

}  // namespace
