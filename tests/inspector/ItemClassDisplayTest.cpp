// What the displays of the row kinds draw, read back from an image canvas: memo lines side by side, colour
// previews, toolbar buttons in each look and at either end of the cell, check marks, the track bar's thumb
// and the radio button; and the themed parts each asks for.

#include "inspector/Drawing.h"
#include "inspector/PropertyItemClasses.h"
#include "inspector/PropertyItemDisplay.h"
#include "inspector/Resources.h"

#include "GridTestSupport.h"
#include "InspectorTestSupport.h"

#include "platform/ui/SysTables.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <string>
#include <functional>
#include <tuple>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

bool HasInk(const ImageCanvas& image, const TRect& r)
{
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (image.At(x, y) != clWhite)
                return true;
    return false;
}

// The value cell the displays draw in: right of a splitter at 100, 200 wide, 16 high.
const TRect Cell{101, 0, 301, 16};

class ClassDisplayTest : public ::testing::Test {
public:
    template <class T> T* Row(const std::string& value = "")
    {
        if (Category == nullptr)
            Category = View.Categories()->Add(TPropertyItemClass::Of<TTextualItem>(), "Cat", "");
        auto* item = static_cast<T*>(Category->GetItems()->Add(TPropertyItemClass::Of<T>(), "Row", value));
        item->SetColor(clWhite);
        item->GetValueFont()->SetColor(clBlack);
        return item;
    }
    // The display of item set up as the grid sets it, drawing on Image (made white).
    template <class D = TItemDisplay>
    D* Prepare(TCustomPropertyItem* item, TPropertiesStyle style = psDefault, bool themed = false)
    {
        Image.Fill(clWhite);
        TItemDisplay* display = item->GetDisplay();
        display->SetColors(clHighlight, clBtnFace, themed, clBtnFace, clBtnFace);
        display->Canvas = Image.Canvas();
        display->Rect = Cell;
        display->Style = style;
        return static_cast<D*>(display);
    }
    QImage Drawn(TCustomPropertyItem* item, TPropertiesStyle style = psDefault)
    {
        Prepare(item, style)->DrawValue();
        return Image.Image().copy();
    }

    ui::SystemTableOverride Colours;  // classic system colours
    FakeView View;
    TCustomPropertyItem* Category = nullptr;
    ImageCanvas Image{320, 16, clRed};
};

TEST_F(ClassDisplayTest, MemoLinesStandSideBySideWithTheSymbolBetweenAndStopAtTheEdge)
{
    auto* memo = Row<TMemoItem>("aaa\nbbb\nccc\nddd\neee\nfff\nggg\nhhh\niii\njjj\nkkk\nlll\nmmm\nnnn\nooo");
    TBitmap symbol;
    LoadResourceBitmap(&symbol, "NEWROW");
    Image.Canvas()->SetFont(memo->GetValueFont());
    const int first = Cell.left + 3 + Image.Canvas()->TextWidth("aaa");

    Prepare(memo)->DrawValue();
    const TRect ink = Image.InkBounds(clWhite);
    EXPECT_GT(ink.right, Cell.right - 40) << "lines up to the edge";
    EXPECT_LE(ink.right, Cell.right) << "cut at the cell's edge";
    const TRect band{first, 0, first + symbol.GetWidth(), 16};
    EXPECT_TRUE(HasInk(Image, band)) << "the line-break symbol";

    memo->SetMultiLineSymbol(false);
    Prepare(memo)->DrawValue();
    for (int x = band.left; x < band.left + 4; ++x)
        EXPECT_EQ(Image.Column(x, clWhite, 0, 16), std::string(16, '#')) << "the gap after a line, x " << x;
}

TEST_F(ClassDisplayTest, ColourPreviewsFillTheBoxOrCrossItOutForNoColour)
{
    struct Case {
        const char* Value;
        TColorKind Kind;
        TColor Fill;  // clNone: the red cross
    };
    const Case cases[] = {
        {"", ckKorvel, clNone},        {"clRe", ckKorvel, clNone}, {"clRed", ckKorvel, clRed},
        {"$00FF00", ckKorvel, clLime}, {"#0000FF", ckWeb, clBlue}, {"#0000FF", ckKorvel, clNone},
        {"#", ckWeb, clNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        auto* item = Row<TColorItem>(c.Value);
        item->SetColorKind(c.Kind);
        item->SetShowPreview(true);
        ASSERT_NO_THROW(Prepare(item)->DrawValue());
        // The box inside the black frame: (103, 2) to (121, 14).
        EXPECT_EQ(Image.At(102, 1), clBlack);
        if (c.Fill != clNone) {
            EXPECT_EQ(Image.At(103, 2), Resolved(c.Fill));
            EXPECT_EQ(Image.At(112, 8), Resolved(c.Fill));
            continue;
        }
        EXPECT_EQ(Image.At(103, 2), clRed) << "the cross from the top-left";
        EXPECT_EQ(Image.At(103, 13), clRed) << "and from the bottom-left";
        EXPECT_EQ(Image.At(112, 3), clWhite);
    }
}

struct ButtonLook {
    const char* Name;
    TPropertiesStyle Style;
    bool Checked;
    bool Hot;
    TColor Corner;  // the top-left pixel of the button
    TColor Inside;  // one pixel in from it
    TColor FarCorner;  // the bottom-right pixel; clNone: not looked at
};

TEST_F(ClassDisplayTest, ToolbarButtonsDrawTheirFacesInEachLookAtEitherEndOfTheCell)
{
    const ButtonLook looks[] = {
        {"ClassicChecked", psDefault, true, false, clBtnShadow, cl3DLight, clBtnHighlight},
        {"ClassicCheckedHot", psDefault, true, true, clBtnShadow, clBtnFace, clBtnHighlight},
        {"ClassicHot", psDefault, false, true, clBtnHighlight, clBtnFace, clBtnShadow},
        {"ClassicPlain", psDefault, false, false, clWhite, clWhite, clWhite},
        {"OfficeChecked", psOffice2003, true, false, SchemeColor(3), clNone, SchemeColor(3)},
        {"WhidbeyChecked", psWhidbey, true, false, clHighlight, BlendColor(clHighlight, clWindow, 35), clHighlight},
        {"WhidbeyHot", psWhidbey, false, true, clHighlight, BlendColor(clHighlight, clWindow, 80), clHighlight},
        {"WhidbeyCheckedHot", psWhidbey, true, true, clHighlight, BlendColor(clHighlight, clWindow, 160), clHighlight},
    };
    for (const ButtonLook& look : looks) {
        for (bool right : {false, true}) {
            SCOPED_TRACE(std::string(look.Name) + (right ? " right" : " left"));
            auto* item = Row<TToolbarItem>();
            for (const char* text : {"a", "b", "c"})
                item->AddButton(text, true);
            item->SetAlignment(right ? baRightJustify : baLeftJustify);
            item->SetButtonChecked(1, look.Checked);
            auto* display = Prepare<TToolbarItemDisplay>(item, look.Style);
            const int left = right ? Cell.right - 17 * 2 : Cell.left + 17;
            if (look.Hot)
                display->MouseMove({}, left - Cell.left + 8, 8);
            display->DrawValue();
            EXPECT_EQ(Image.At(left, 0), Resolved(look.Corner));
            if (look.Inside != clNone) {
                EXPECT_EQ(Image.At(left + 1, 1), Resolved(look.Inside));
            }
            EXPECT_EQ(Image.At(left + 16, 15), Resolved(look.FarCorner));
            // The neighbours are neither checked nor hot: no face.
            EXPECT_EQ(Image.At(left - 16, 1), clWhite);
            EXPECT_EQ(Image.At(left + 18, 1), clWhite);
        }
    }
}

TEST_F(ClassDisplayTest, ToolbarTextStandsBesideTheButtonsAndDividersAreLines)
{
    for (bool right : {false, true}) {
        SCOPED_TRACE(right ? "right" : "left");
        auto* item = Row<TToolbarItem>();
        item->AddButton("first", true);
        item->AddButton("", true)->SetDivider(true);
        item->AddButton("third", true);
        item->SetAlignment(right ? baRightJustify : baLeftJustify);
        item->SetShowText(true);
        item->SetValue("first");
        Prepare(item)->DrawValue();
        const int buttons = right ? Cell.right - 51 : Cell.left;
        EXPECT_EQ(Image.Column(buttons + 17 + 8, Resolved(clGrayText), 0, 16), "..############..") << "the divider";
        const TRect text = right ? TRect{Cell.left, 0, buttons, 16} : TRect{buttons + 51, 0, Cell.right, 16};
        bool ink = false;
        for (int x = text.left; x < text.right; ++x)
            for (int y = 0; y < 16; ++y)
                ink = ink || Image.At(x, y) == clBlack;
        EXPECT_TRUE(ink) << "the value's text";
    }
}

TEST_F(ClassDisplayTest, CheckMarksDrawForBothStatesInEachLook)
{
    for (TPropertiesStyle style : {psDefault, psOffice2003, psWhidbey}) {
        SCOPED_TRACE(static_cast<int>(style));
        auto* item = Row<TCheckBoxItem>();
        const QImage unchecked = Drawn(item, style);
        EXPECT_TRUE(HasInk(Image, TRect{Cell.left, 0, Cell.left + 17, 16})) << "an unchecked box is drawn too";
        item->SetAsBoolean(true);
        EXPECT_NE(Drawn(item, style), unchecked);
        if (style == psDefault) {
            item->SetEnabled(false);
            EXPECT_NE(Drawn(item, style), Drawn(Row<TCheckBoxItem>("true"), style)) << "inactive";
        }
    }
}

TEST_F(ClassDisplayTest, TheTrackThumbStandsAtThePositionsShareAndAtTheStartWhenMaxIsMin)
{
    struct Case {
        const char* Name;
        int Min;
        int Max;
        int Position;
        int ThumbCentre;
    };
    // Groove from 107 to 295 (margins 6, no text): 188 pixels of track.
    const Case cases[] = {
        {"AtMin", 0, 100, 0, 107},
        {"AtMax", 0, 100, 100, 295},
        {"Half", 0, 100, 50, 201},
        {"MaxIsMin", 0, 0, 0, 107},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* item = Row<TTrackBarItem>();
        item->SetShowText(false);
        item->SetMax(c.Max);
        item->SetMin(c.Min);
        item->SetPosition(c.Position);
        ASSERT_NO_THROW(Prepare(item)->DrawValue());
        const TColor face = Resolved(clBtnFace);
        EXPECT_EQ(Image.At(c.ThumbCentre, 4), face) << "the thumb's body";
        EXPECT_EQ(Image.At(c.ThumbCentre - 10, 4), clWhite);
        EXPECT_EQ(Image.At(c.ThumbCentre + 10, 4), clWhite);
        EXPECT_EQ(Image.At(c.ThumbCentre, 13), Resolved(cl3DDkShadow)) << "the point at the bottom";
    }
    auto* texted = Row<TTrackBarItem>();
    texted->SetTextAfter(" %");
    texted->SetPosition(7);
    Prepare(texted)->DrawValue();
    EXPECT_TRUE(HasInk(Image, TRect{Cell.left, 0, Cell.left + 2, 16}) == false);
    EXPECT_TRUE(HasInk(Image, TRect{Cell.left + 2, 0, Cell.left + 14, 16})) << "\"7 %\" left of the groove";
}

TEST_F(ClassDisplayTest, RadioButtonsShowCheckedPressedAndInactive)
{
    auto* item = Row<TRadioItem>();
    const QImage unchecked = Drawn(item);
    EXPECT_TRUE(HasInk(Image, Cell)) << "a drawn button";
    item->SetChecked(true);
    const QImage checked = Drawn(item);
    EXPECT_NE(checked, unchecked);
    item->SetEnabled(false);
    EXPECT_NE(Drawn(item), checked);
}

TEST_F(ClassDisplayTest, ToolbarDisplaysMakeNoWindow)
{
    const auto widgets = QApplication::allWidgets().size();
    auto* item = Row<TAlignmentItem>();
    Prepare(item)->DrawValue();
    EXPECT_NE(Row<TCheckBoxItem>()->GetDisplay(), nullptr);
    EXPECT_EQ(QApplication::allWidgets().size(), widgets);
}

// ---- Themed parts through the recording backend -----------------------------------------------------------

using Asked = std::tuple<std::string, int, int>;  // class, part, state

// The pointer over the cell's first button (and pressed there) as asked, then the value drawn.
void PointAndDraw(TItemDisplay* display, bool hot, bool pressed)
{
    if (hot)
        display->MouseMove({}, 3, 3);
    if (pressed)
        display->MouseDown(mbLeft, {}, 3, 3);
    display->DrawValue();
}

std::vector<Asked> Requests(const ui::RecordingVisualStyles& styles)
{
    std::vector<Asked> asked;
    for (const auto& r : styles.Requests)
        asked.emplace_back(r.ClassList, r.Part, r.State);
    return asked;
}

TEST_F(ClassDisplayTest, ThemedButtonsChecksRadiosAndTrackBarsAskForTheirStates)
{
    ThemedScope themed;
    struct Case {
        const char* Name;
        std::function<void(ClassDisplayTest&)> Draw;
        std::vector<Asked> Want;
    };
    const auto toolbar = [](bool checked, bool hot, bool pressed) {
        return [=](ClassDisplayTest& t) {
            auto* item = t.Row<TToolbarItem>();
            item->AddButton("a", true);
            item->SetButtonChecked(0, checked);
            auto* display = t.Prepare<TToolbarItemDisplay>(item, psDefault, true);
            PointAndDraw(display, hot, pressed);
        };
    };
    const auto check = [](bool checked, bool hot, bool pressed) {
        return [=](ClassDisplayTest& t) {
            auto* item = t.Row<TCheckBoxItem>();
            item->SetAsBoolean(checked);
            auto* display = t.Prepare<TCheckBoxItemDisplay>(item, psDefault, true);
            display->DrawButton(Cell, checked, 0, pressed, hot);
        };
    };
    const auto radio = [](bool checked, bool enabled, bool hot, bool pressed) {
        return [=](ClassDisplayTest& t) {
            auto* item = t.Row<TRadioItem>();
            item->SetChecked(checked);
            item->SetEnabled(enabled);
            auto* display = t.Prepare(item, psDefault, true);
            PointAndDraw(display, hot, pressed);
        };
    };
    const auto track = [](bool enabled, bool hot, bool pressed) {
        return [=](ClassDisplayTest& t) {
            auto* item = t.Row<TTrackBarItem>();
            item->SetEnabled(enabled);
            auto* display = t.Prepare(item, psDefault, true);
            PointAndDraw(display, hot, pressed);
        };
    };
    const Case cases[] = {
        {"ToolbarPlain", toolbar(false, false, false), {}},
        {"ToolbarChecked", toolbar(true, false, false), {{"toolbar", 1, 5}}},
        {"ToolbarCheckedHot", toolbar(true, true, false), {{"toolbar", 1, 6}}},
        {"ToolbarHot", toolbar(false, true, false), {{"toolbar", 1, 2}}},
        {"ToolbarPressed", toolbar(false, true, true), {{"toolbar", 1, 3}}},
        {"CheckPlain", check(false, false, false), {{"button", 3, 1}}},
        {"CheckChecked", check(true, false, false), {{"button", 3, 5}}},
        {"CheckCheckedHot", check(true, true, false), {{"button", 3, 6}}},
        {"CheckHot", check(false, true, false), {{"button", 3, 2}}},
        {"CheckPressed", check(true, true, true), {{"button", 3, 3}}},
        {"RadioPlain", radio(false, true, false, false), {{"button", 2, 1}}},
        {"RadioHot", radio(false, true, true, false), {{"button", 2, 2}}},
        {"RadioPressed", radio(false, true, true, true), {{"button", 2, 3}}},
        {"RadioChecked", radio(true, true, false, false), {{"button", 2, 5}}},
        {"RadioCheckedHot", radio(true, true, true, false), {{"button", 2, 6}}},
        {"RadioCheckedPressed", radio(true, true, true, true), {{"button", 2, 7}}},
        {"RadioDisabled", radio(false, false, false, false), {{"button", 2, 4}}},
        {"RadioDisabledChecked", radio(true, false, false, false), {{"button", 2, 8}}},
        {"Track", track(true, false, false), {{"trackbar", 1, 1}, {"trackbar", 4, 1}}},
        {"TrackHot", track(true, true, false), {{"trackbar", 1, 1}, {"trackbar", 4, 2}}},
        {"TrackPressed", track(true, true, true), {{"trackbar", 1, 1}, {"trackbar", 4, 3}}},
        {"TrackDisabled", track(false, true, true), {{"trackbar", 1, 1}, {"trackbar", 4, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        themed.Styles.Requests.clear();
        c.Draw(*this);
        std::vector<Asked> asked = Requests(themed.Styles);
        // A hot or pressed track bar draws itself at once on entering either state; the last drawing counts.
        if (asked.size() > c.Want.size())
            asked.erase(asked.begin(), asked.end() - static_cast<std::ptrdiff_t>(c.Want.size()));
        EXPECT_EQ(asked, c.Want);
    }
}

}  // namespace
