// What the row displays draw, read back from an image canvas: where the caption text starts, the frame
// around a selected category, the caption looks of the three styles, the expand button, the value text with
// its password mask and placeholder, the preview frame and the suffix cell.

#include "inspector/Drawing.h"
#include "inspector/ItemDisplay.h"
#include "inspector/PropertyItemClasses.h"

#include "InspectorTestSupport.h"

#include "platform/ui/SysTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

TColor Resolved(TColor color) { return static_cast<TColor>(ColorToRGB(color)); }

// The leftmost column within [from, to) of rows [top, bottom) holding a pixel other than the given ones.
int FirstInkColumn(const ImageCanvas& image, int from, int to, int top, int bottom, TColor a, TColor b = clNone)
{
    for (int x = from; x < to; ++x)
        for (int y = top; y < bottom; ++y)
            if (const TColor c = image.At(x, y); c != a && c != b)
                return x;
    return -1;
}

// What a cell shows when it holds text in font and colour from textLeft, over background: the reference
// the displays' drawing is compared with. Outside the cell the image is red.
QImage TextInCell(const TFont* font, TColor colour, TColor background, const TRect& cell, int textLeft,
                  const std::string& text, int width, int height)
{
    ImageCanvas image(width, height, clRed);
    TCanvas* canvas = image.Canvas();
    canvas->GetBrush()->SetColor(background);
    canvas->FillRect(cell);
    canvas->SetFont(font);
    canvas->GetFont()->SetColor(colour);
    TGraphicsProvider::DrawText(canvas, TRect{textLeft, cell.top, cell.right, cell.bottom}, taLeftJustify, text, false);
    return image.Image().copy();
}

// A three-level tree on a stand-in grid: category "Cat", its row "Row", that row's child "Deep". The rows
// are white with black captions, so that what they draw stands out.
class DisplayTest : public ::testing::Test {
protected:
    DisplayTest()
    {
        const auto textual = TPropertyItemClass::Of<TTextualItem>();
        Category = View.Categories()->Add(textual, "Cat", "");
        Row = static_cast<TTextualItem*>(Category->GetItems()->Add(textual, "Row", ""));
        Deep = static_cast<TTextualItem*>(Row->GetItems()->Add(textual, "Deep", ""));
        for (TCustomPropertyItem* item :
             {Category, static_cast<TCustomPropertyItem*>(Row), static_cast<TCustomPropertyItem*>(Deep)}) {
            item->SetColor(clWhite);
            item->GetFont()->SetColor(clBlack);
            item->GetFont()->SetStyle({});
            item->GetValueFont()->SetColor(clBlack);
        }
        Images.SetSize(16, 16);
        TBitmap glyph;
        glyph.SetSize(16, 16);
        glyph.GetCanvas()->GetBrush()->SetColor(clLime);
        glyph.GetCanvas()->FillRect(TRect{0, 0, 16, 16});
        Images.Add(&glyph, nullptr);
    }

    // The display of item set up as the grid sets it, drawing on image.
    TItemDisplay* Prepare(TCustomPropertyItem* item, ImageCanvas& image, const TRect& rect, bool selected = false,
                          TPropertiesStyle style = psDefault)
    {
        TItemDisplay* display = item->GetDisplay();
        display->SetColors(clHighlight, clWhite, false, clBtnFace, clBtnFace);
        display->Canvas = image.Canvas();
        display->Rect = rect;
        display->Selected = selected;
        display->Style = style;
        display->Images = nullptr;
        return display;
    }

    ui::SystemTableOverride Colours;  // classic system colours
    FakeView View;
    TCustomPropertyItem* Category = nullptr;
    TTextualItem* Row = nullptr;
    TTextualItem* Deep = nullptr;
    TImageList Images{nullptr};
};

TEST_F(DisplayTest, CaptionTextStartsAfterTheIndentAndTheImage)
{
    struct Case {
        const char* Name;
        bool Deeper;
        bool Image;
        int TextLeft;
    };
    const Case cases[] = {
        {"LevelOne", false, false, 17},
        {"LevelTwo", true, false, 14 + 17},
        {"LevelOneWithImage", false, true, 16 + 25},
        {"LevelTwoWithImage", true, true, 14 + 16 + 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TTextualItem* item = c.Deeper ? Deep : Row;
        item->SetCaption("Hello");
        item->SetImageIndex(c.Image ? 0 : -1);
        ImageCanvas image(120, 16, clRed);
        TItemDisplay* display = Prepare(item, image, TRect{14, 0, 120, 16});
        display->Images = &Images;
        display->DrawCaption();
        EXPECT_EQ(display->CaptionTextLeft(), c.TextLeft);
        const int ink = FirstInkColumn(image, 14, 120, 0, 16, clWhite, clLime);
        EXPECT_GE(ink, c.TextLeft);
        EXPECT_LE(ink, c.TextLeft + 2);
        const int imageLeft = item->GetIndent() + 14 + 3;
        EXPECT_EQ(image.At(imageLeft, 8) == clLime, c.Image);
        EXPECT_EQ(image.At(imageLeft + 15, 8) == clLime, c.Image);
        EXPECT_NE(image.At(imageLeft - 1, 8), clLime);
        EXPECT_NE(image.At(imageLeft + 16, 8), clLime);
        EXPECT_EQ(image.At(13, 8), clRed);  // nothing left of the cell
    }
}

TEST_F(DisplayTest, TheFrameOfASelectedCategoryFollowsTheCaptionWidth)
{
    for (const char* caption : {"W", "A much wider caption"}) {
        for (bool withImage : {false, true}) {
            SCOPED_TRACE(::testing::Message() << caption << (withImage ? " with image" : ""));
            Category->SetCaption(caption);
            Category->SetImageIndex(withImage ? 0 : -1);
            ImageCanvas image(300, 16, clRed);
            TItemDisplay* display = Prepare(Category, image, TRect{14, 0, 300, 16}, true);
            display->Images = &Images;
            display->DrawCaption();
            image.Canvas()->SetFont(Category->GetFont());
            int right = 18 + image.Canvas()->TextWidth(caption);
            if (withImage)
                right += 16 + 8;
            // The dotted frame is on the top and bottom rows of the cell, from x 14 to right.
            const std::string top = image.Row(0, clWhite, 14, right + 2);
            EXPECT_NE(top.find('.'), std::string::npos);
            EXPECT_EQ(top.substr(top.size() - 2), "##") << top;
            const std::string left = image.Column(14, clWhite, 0, 16);
            const std::string edge = image.Column(right - 1, clWhite, 0, 16);
            EXPECT_NE(left.find('.'), std::string::npos);
            EXPECT_NE(edge.find('.'), std::string::npos);
            EXPECT_EQ(image.Column(right, clWhite, 0, 16), std::string(16, '#'));
        }
    }
}

TEST_F(DisplayTest, UnselectedCategoriesHaveNoFrame)
{
    ImageCanvas image(200, 16, clRed);
    Prepare(Category, image, TRect{14, 0, 200, 16})->DrawCaption();
    EXPECT_EQ(image.Row(0, clWhite, 14, 200), std::string(186, '#'));
}

TEST_F(DisplayTest, CaptionBackgroundsFollowTheStyleTheRowKindAndTheSelection)
{
    const TColor hotLight = Resolved(clHotLight);
    struct Case {
        const char* Name;
        TPropertiesStyle Style;
        bool Category;
        bool Selected;
        TColor Edge;  // the top-left pixel of the cell
        TColor Inside;  // a pixel inside, clear of the text
        TColor Bottom;  // the bottom-left pixel
    };
    const Case cases[] = {
        {"DefaultRow", psDefault, false, false, clWhite, clWhite, clWhite},
        {"DefaultSelectedRow", psDefault, false, true, Resolved(clHighlight), Resolved(clHighlight),
         Resolved(clHighlight)},
        {"OfficeRow", psOffice2003, false, false, clWhite, clWhite, clWhite},
        {"OfficeSelectedRow", psOffice2003, false, true, hotLight, Resolved(SchemeColor(0)), hotLight},
        {"OfficeCategory", psOffice2003, true, false, Resolved(SchemeColor(10)), clNone, clNone},
        {"OfficeSelectedCategory", psOffice2003, true, true, Resolved(SchemeColor(1)), clNone, clNone},
        {"WhidbeyRow", psWhidbey, false, false, clWhite, clWhite, clWhite},
        {"WhidbeySelectedRow", psWhidbey, false, true, Resolved(clHighlight),
         Resolved(BlendColor(clHighlight, clWindow, 80)), Resolved(clHighlight)},
        {"WhidbeyCategory", psWhidbey, true, false, Resolved(clWindow), clNone, clNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TCustomPropertyItem* item = c.Category ? Category : Row;
        item->SetCaption("x");
        ImageCanvas image(200, 16, clRed);
        Prepare(item, image, TRect{14, 0, 200, 16}, c.Selected, c.Style)->DrawCaption();
        EXPECT_EQ(image.At(14, 0), c.Edge);
        if (c.Inside != clNone) {
            EXPECT_EQ(image.At(150, 8), c.Inside);
        }
        if (c.Bottom != clNone) {
            EXPECT_EQ(image.At(14, 15), c.Bottom);
        }
        EXPECT_NE(image.At(200 - 1, 8), clRed);  // the whole cell is covered
    }
    // The category gradients end in their second colour.
    ImageCanvas image(200, 16, clRed);
    Prepare(Category, image, TRect{14, 0, 200, 16}, false, psWhidbey)->DrawCaption();
    EXPECT_EQ(image.At(100, 15), Resolved(TGraphicsProvider::MixColors(clWindow, clBtnFace, 15.0 / 16)));
}

TEST_F(DisplayTest, CaptionTextIsHighlightedWhenSelectedAndGreyWhenDisabled)
{
    struct Case {
        const char* Name;
        bool Selected;
        bool Enabled;
        TColor Background;
        TColor Text;
    };
    const Case cases[] = {
        {"Plain", false, true, clWhite, clBlack},
        {"Selected", true, true, clHighlight, clHighlightText},
        {"Disabled", false, false, clWhite, clGrayText},
        {"SelectedAndDisabled", true, false, clHighlight, clGrayText},
    };
    const TRect cell{14, 0, 120, 16};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Row->SetCaption("Caption");
        Row->SetEnabled(c.Enabled);
        ImageCanvas image(130, 16, clRed);
        Prepare(Row, image, cell, c.Selected)->DrawCaption();
        EXPECT_EQ(image.Image(), TextInCell(Row->GetFont(), c.Text, c.Background, cell, 17, "Caption", 130, 16));
    }
}

TEST_F(DisplayTest, TheExpandButtonSitsInTheIndentAtTheMiddleOfTheRow)
{
    const TColor frame = Resolved(clWindowFrame);
    struct Case {
        const char* Name;
        TCustomPropertyItem* Item;
        bool Expanded;
        int X;
    };
    const Case cases[] = {
        {"LevelOneExpanded", Row, true, 2},
        {"LevelTwoCollapsed", Deep, false, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Item->SetExpanded(c.Expanded);
        ImageCanvas image(60, 40, clRed);
        Prepare(c.Item, image, TRect{14, 20, 60, 36})->DrawExpandButton();  // y = 20 + 8 − 5
        EXPECT_EQ(image.InkBounds(clRed), (TRect{c.X, 23, c.X + 9, 32}));
        EXPECT_EQ(image.At(c.X, 23), frame);
        // A collapsed row shows a plus: the middle column is crossed by the vertical stroke too.
        EXPECT_EQ(image.Column(c.X + 4, frame, 24, 31), c.Expanded ? "...#..." : ".#####.");
    }
    // The office looks draw their bitmaps at the same place.
    ImageCanvas image(60, 40, clRed);
    Prepare(Row, image, TRect{14, 20, 60, 36}, false, psOffice2003)->DrawExpandButton();
    const TRect ink = image.InkBounds(clRed);
    EXPECT_GE(ink.left, 2);
    EXPECT_GE(ink.top, 23);
    EXPECT_FALSE(ui::IsRectEmpty(&ink));
}

// The value cell against what a plain text draws there.
class ValueTextTest : public DisplayTest {
protected:
    QImage Draw(TTextualItem* item, const TRect& cell = TRect{0, 0, 150, 16})
    {
        ImageCanvas image(150, 16, clRed);
        Prepare(item, image, cell)->DrawValue();
        return image.Image().copy();
    }
};

TEST_F(ValueTextTest, APasswordShowsOneMaskCharacterPerCharacterOfTheValue)
{
    Row->SetValue("***");
    const QImage stars = Draw(Row);
    for (const char* value : {"abc", "\xC3\xA4\xC3\xB6\xC3\xBC"}) {  // three letters, three umlauts
        SCOPED_TRACE(value);
        Row->SetPasswordChar(u'*');
        Row->SetValue(value);
        EXPECT_EQ(Draw(Row), stars);
        Row->SetPasswordChar(0);
        EXPECT_NE(Draw(Row), stars);
    }
    EXPECT_EQ(PasswordMask("ab", u'\u2022'), "\xE2\x80\xA2\xE2\x80\xA2");
}

TEST_F(ValueTextTest, AnEmptyValueShowsThePlaceholderInGrey)
{
    const TRect cell{0, 0, 150, 16};
    Row->SetEmptyValue("nothing here");
    Row->SetValue("");
    EXPECT_EQ(Draw(Row), TextInCell(Row->GetValueFont(), clGrayText, clWhite, cell, 3, "nothing here", 150, 16));
    // The same text as a value is in the value font's colour.
    Row->SetValue("nothing here");
    EXPECT_EQ(Draw(Row), TextInCell(Row->GetValueFont(), clBlack, clWhite, cell, 3, "nothing here", 150, 16));
    // Without a placeholder an empty value leaves the background alone.
    Row->SetValue("");
    Row->SetEmptyValue("");
    ImageCanvas blank(150, 16, clRed);
    Prepare(Row, blank, cell)->DrawValue();
    EXPECT_EQ(blank.InkBounds(clWhite), TRect{});
}

TEST_F(ValueTextTest, ThePreviewFrameComesFirstAndTheTextAfterIt)
{
    Row->SetValue("Text");
    Row->SetShowPreview(true);
    ImageCanvas image(150, 16, clRed);
    Prepare(Row, image, TRect{10, 0, 150, 16})->DrawValue();
    // The frame: (Left + 1, Top + 1) to (Left + 21, Bottom − 1), in black.
    EXPECT_EQ(image.Row(1, clBlack, 10, 33), ".####################..");
    EXPECT_EQ(image.Column(11, clBlack, 0, 16), ".##############.");
    EXPECT_EQ(image.Column(30, clBlack, 0, 16), ".##############.");
    const int text = FirstInkColumn(image, 32, 150, 0, 16, clWhite);
    EXPECT_GE(text, 10 + 30);
    EXPECT_LE(text, 10 + 32);

    // A category row has no value background of its own.
    ImageCanvas category(150, 16, clRed);
    Prepare(Category, category, TRect{10, 0, 150, 16})->DrawValue();
    EXPECT_EQ(category.InkBounds(clRed), TRect{});
}

TEST_F(DisplayTest, TheSuffixCellHasItsLineInTheGridColourAndItsText)
{
    Row->SetSuffixValue("mm");
    ImageCanvas image(100, 16, clRed);
    TItemDisplay* display = Prepare(Row, image, TRect{40, 0, 100, 16});
    display->SetColors(clHighlight, clWhite, false, clBlue, clBtnFace);
    display->DrawSuffix();
    EXPECT_EQ(image.Column(40, clBlue, 0, 16), std::string(16, '#'));
    EXPECT_EQ(image.At(39, 8), clRed);
    const int ink = FirstInkColumn(image, 41, 100, 0, 16, clWhite);
    EXPECT_GE(ink, 43);
    EXPECT_LE(ink, 45);
}

}  // namespace
