// The value logic of the row kinds without a window: toolbar values and the buttons' check rule with the
// reports it makes, check-box words, track-bar bounds, radio rows of one list, spin numbers, memo lines,
// combo indexes, and the keys and clicks their displays take.

#include "inspector/CellEditors.h"
#include "inspector/PropertyItemClasses.h"
#include "inspector/PropertyItemDisplay.h"

#include "InspectorTestSupport.h"

#include "platform/ui/Messages.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

// A row of class T under a category of a stand-in grid.
template <class T> T* RowOf(FakeView& view, const std::string& caption = "Row", const std::string& value = "")
{
    TCustomPropertyItem* category = view.Categories()->GetCount() > 0
                                        ? view.Categories()->GetItem(0)
                                        : view.Categories()->Add(TPropertyItemClass::Of<TTextualItem>(), "Cat", "");
    return static_cast<T*>(category->GetItems()->Add(TPropertyItemClass::Of<T>(), caption, value));
}

std::vector<std::string> Captions(const std::vector<Report>& reports, int kind)
{
    std::vector<std::string> captions;
    for (const Report& r : reports)
        if (r.Kind == kind)
            captions.push_back(r.Caption);
    return captions;
}

std::string Checked(const TToolbarItem* item)
{
    std::string flags;
    for (int i = 0; i < item->ButtonCount(); ++i)
        flags += item->ButtonChecked(i) ? '1' : '0';
    return flags;
}

// A plain toolbar row with buttons "a", "b", "c".
TToolbarItem* ThreeButtons(FakeView& view, bool grouped, bool allowAllUp)
{
    auto* item = RowOf<TToolbarItem>(view);
    for (const char* text : {"a", "b", "c"})
        item->AddButton(text, true);
    item->SetGrouped(grouped);
    item->SetAllowAllUp(allowAllUp);
    return item;
}

TEST(ToolbarItems, FixedButtonRowsReadAndTakeTheirValuesAsText)
{
    FakeView view;
    auto* alignment = RowOf<TAlignmentItem>(view);
    EXPECT_EQ(alignment->ButtonCount(), 4);
    alignment->SetAsString("center");
    EXPECT_EQ(alignment->GetValue(), "center");
    alignment->SetValue("right");
    EXPECT_EQ(Checked(alignment), "0010");

    auto* style = RowOf<TFontStyleItem>(view);
    style->SetValue("italic");
    style->SetValue("bold,underline");
    EXPECT_EQ(Checked(style), "101");
    EXPECT_EQ(style->GetValue(), "bold,underline");
    // A substring test, not a split at the commas.
    style->SetValue("boldface");
    EXPECT_EQ(style->GetValue(), "bold");

    auto* vertical = RowOf<TVertAlignmentItem>(view);
    EXPECT_EQ(vertical->ButtonCount(), 3);
    EXPECT_FALSE(vertical->GetButtons()->GetButton(0)->GetGlyph()->GetEmpty()) << "glyphs from the resources";
    vertical->SetValue("");
    EXPECT_EQ(vertical->GetValue(), "");
}

TEST(ToolbarItems, TheCheckRuleKeepsGroupedRowsToOneAndTheLastButtonOfRowsThatMayNotBeAllUp)
{
    struct Row {
        const char* Name;
        bool Grouped;
        bool AllowAllUp;
        std::function<void(TToolbarItem*)> Action;
        const char* Want;
    };
    const Row rows[] = {
        {"FreeRowTakesAny", false, true, [](auto* i) { i->SetButtonChecked(0, true), i->SetButtonChecked(2, true); },
         "101"},
        {"GroupedKeepsTheLast", true, true, [](auto* i) { i->SetButtonChecked(0, true), i->SetButtonChecked(2, true); },
         "001"},
        {"GroupedMayGoAllUp", true, true, [](auto* i) { i->SetButtonChecked(1, true), i->SetButtonChecked(1, false); },
         "000"},
        {"TheLastStaysDown", true, false, [](auto* i) { i->SetButtonChecked(1, true), i->SetButtonChecked(1, false); },
         "010"},
        {"OthersMayGoUp", false, false,
         [](auto* i) { i->SetButtonChecked(0, true), i->SetButtonChecked(1, true), i->SetButtonChecked(0, false); },
         "010"},
        {"ByTheButtonsWriter", true, false,
         [](auto* i) {
             i->GetButtons()->GetButton(0)->SetChecked(true), i->GetButtons()->GetButton(1)->SetChecked(true);
         },
         "010"},
        {"GroupedValueText", true, true, [](auto* i) { i->SetValue("a,c"); }, "001"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        FakeView view;
        TToolbarItem* item = ThreeButtons(view, row.Grouped, row.AllowAllUp);
        row.Action(item);
        EXPECT_EQ(Checked(item), row.Want);
        EXPECT_EQ(item->GetButtons()->GetCheckedCount(), static_cast<int>(std::count(row.Want, row.Want + 3, '1')));
    }
}

TEST(ToolbarItems, ACheckReportsTheUncheckedOtherTheClickTheButtonAndTheValue)
{
    FakeView view;
    TToolbarItem* item = ThreeButtons(view, true, true);
    item->SetButtonChecked(0, true);
    view.Reports.clear();
    item->SetButtonChecked(2, true);
    const std::vector<Report> want{{"Row", 12, 0}, {"Row", 11, 2}, {"Row", 12, 2}, {"Row", 7, -1}};
    EXPECT_EQ(view.Reports, want);

    view.Reports.clear();
    item->GetButtons()->GetButton(1)->GetGlyph()->SetSize(4, 4);
    item->SetShowText(true);
    item->SetButtonWidth(20);
    item->ButtonClick(1);
    const std::vector<Report> looks{{"Row", 12, 1}, {"Row", 10, -1}, {"Row", 6, -1}, {"Row", 11, 1}};
    EXPECT_EQ(view.Reports, looks);
}

TEST(ToolbarItems, AButtonWithoutTextIsNeverCheckedByAValue)
{
    FakeView view;
    auto* item = RowOf<TToolbarItem>(view);
    item->AddButton("bold", true);
    item->AddButton("", true)->SetDivider(true);
    item->AddButton("italic", true);
    item->SetValue("bold,italic");
    EXPECT_EQ(Checked(item), "101");
    EXPECT_EQ(item->GetValue(), "bold,italic");
}

TEST(CheckBoxItems, ReadTheWordsOfTheirKindAndTakeExactlyTheTrueWord)
{
    struct Row {
        const char* Name;
        TCheckBoxTextKind Kind;
        const char* TrueText;
        const char* FalseText;
        const char* TrueWord;
        const char* FalseWord;
        std::vector<const char*> NotTrue;
    };
    const Row rows[] = {
        {"TrueFalse", tkTrueFalse, "", "", "true", "false", {"True", "yes", ""}},
        {"YesNo", tkYesNo, "", "", "yes", "no", {"Yes", "true", "yes!"}},
        {"EnabledDisabled", tkEnabledDisabled, "", "", "enabled", "disabled", {"Enabled", "true"}},
        {"Custom", tkCustom, "on", "off", "on", "off", {"On", "true"}},
        {"CustomEmpty", tkCustom, "", "", "true", "false", {"TRUE", "on"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        FakeView view;
        auto* item = RowOf<TCheckBoxItem>(view);
        item->SetTextKind(row.Kind);
        item->SetTrueText(row.TrueText);
        item->SetFalseText(row.FalseText);
        EXPECT_EQ(item->GetValue(), row.FalseWord);
        item->SetValue(row.TrueWord);
        EXPECT_TRUE(item->GetAsBoolean());
        EXPECT_EQ(item->GetValue(), row.TrueWord);
        // What the row reads goes back in unchanged: Value := Value, and Assign.
        item->SetValue(item->GetValue());
        EXPECT_TRUE(item->GetAsBoolean());
        auto* copy = RowOf<TCheckBoxItem>(view, "Copy");
        copy->SetTextKind(row.Kind);
        copy->SetTrueText(row.TrueText);
        copy->Assign(item);
        EXPECT_TRUE(copy->GetAsBoolean());
        for (const char* text : row.NotTrue) {
            SCOPED_TRACE(text);
            item->SetValue(row.TrueWord);
            item->SetValue(text);
            EXPECT_FALSE(item->GetAsBoolean());
        }
    }
}

TEST(CheckBoxItems, ABooleanReportsTheValueAndTheLook)
{
    FakeView view;
    auto* item = RowOf<TCheckBoxItem>(view);
    EXPECT_TRUE(item->GetAllowAllUp());
    view.Reports.clear();
    item->SetAsBoolean(true);
    std::vector<int> kinds;
    for (const Report& r : view.Reports)
        kinds.push_back(r.Kind);
    // The check (11, 12), the toolbar's value report, the look, then the boolean's own value report.
    EXPECT_EQ(kinds, (std::vector<int>{11, 12, 7, 8, 7}));
    item->SetAsBoolean(false);
    EXPECT_EQ(item->GetValue(), "false");
}

TEST(TrackBarItems, PositionsStayInsideTheBoundsAndABoundThatMovesThePositionReportsIt)
{
    FakeView view;
    auto* item = RowOf<TTrackBarItem>(view);
    item->SetAsInteger(150);
    EXPECT_EQ(item->GetPosition(), 100);
    view.Reports.clear();
    item->SetMax(50);
    EXPECT_EQ(item->GetPosition(), 50);
    ASSERT_EQ(view.Reports.size(), 1u);
    EXPECT_EQ(view.Reports[0].Kind, 7);
    item->SetMin(100);  // not below Max
    EXPECT_EQ(item->GetMin(), 0);
    item->SetMin(-1);
    EXPECT_EQ(item->GetMin(), 0);
    item->SetMin(20);
    item->SetAsInteger(5);
    EXPECT_EQ(item->GetPosition(), 20);
    view.Reports.clear();
    item->SetAsInteger(20);
    EXPECT_TRUE(view.Reports.empty()) << "an unchanged position reports nothing";

    item->SetAsFloat(30.5);
    EXPECT_EQ(item->GetPosition(), 30);
    item->SetAsFloat(31.5);
    EXPECT_EQ(item->GetPosition(), 32);
    item->SetValue("45");
    EXPECT_EQ(item->GetValue(), "45");
    EXPECT_THROW(item->SetValue("4x"), EConvertError);

    // Max at or below Min: the position rests at Min.
    item->SetMax(10);
    EXPECT_EQ(item->GetPosition(), 20);
    item->SetAsInteger(15);
    EXPECT_EQ(item->GetPosition(), 20);
}

TEST(RadioItems, CheckingOneUnchecksTheRadiosOfItsListOnly)
{
    FakeView view;
    TCustomPropertyItem* category = view.Categories()->Add(TPropertyItemClass::Of<TTextualItem>(), "Cat", "");
    const auto radio = TPropertyItemClass::Of<TRadioItem>();
    auto* a = static_cast<TRadioItem*>(category->GetItems()->Add(radio, "A", ""));
    auto* b = static_cast<TRadioItem*>(category->GetItems()->Add(radio, "B", ""));
    category->GetItems()->Add(TPropertyItemClass::Of<TTextualItem>(), "Text", "");
    auto* c = static_cast<TRadioItem*>(category->GetItems()->Add(radio, "C", ""));
    auto* other = static_cast<TRadioItem*>(b->GetItems()->Add(radio, "Other", ""));
    other->SetChecked(true);

    a->SetChecked(true);
    b->SetValue("TRUE");
    EXPECT_FALSE(a->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    EXPECT_FALSE(c->GetChecked());
    EXPECT_TRUE(other->GetChecked()) << "another list's radio";
    EXPECT_EQ(a->GetValue(), "false");

    view.Reports.clear();
    c->SetAsBoolean(true);
    EXPECT_TRUE(c->GetChecked());
    EXPECT_FALSE(b->GetChecked());
    EXPECT_EQ(Captions(view.Reports, 7), (std::vector<std::string>{"C", "A", "B", "C"}));
}

TEST(SpinItems, KeepANumberWhoseTextIsTheValue)
{
    FakeView view;
    auto* item = RowOf<TSpinItem>(view);
    item->SetValue("2.50");
    EXPECT_EQ(item->GetValue(), "2.5");
    EXPECT_EQ(item->GetAsInteger(), 2);
    item->SetValue("3.5");
    EXPECT_EQ(item->GetAsInteger(), 4);
    item->SetValue("");
    EXPECT_EQ(item->GetValue(), "0");
    item->SetAsInteger(7);
    EXPECT_DOUBLE_EQ(item->GetAsFloat(), 7);
    item->SetAsFloat(1e300);
    EXPECT_EQ(item->GetAsInteger(), INT_MAX);
    item->SetValue("1.25");
    EXPECT_THROW(item->SetValue("1.2.3"), EConvertError);
    EXPECT_EQ(item->GetValue(), "1.25") << "text that is no number leaves the number";
}

TEST(MemoItems, HoldLinesAndReadNumbersFromThem)
{
    FakeView view;
    auto* item = RowOf<TMemoItem>(view);
    item->SetValue("one\r\ntwo\nthree");
    EXPECT_EQ(item->GetLines()->GetCount(), 3);
    EXPECT_EQ(item->GetValue(), "one\ntwo\nthree\n");
    EXPECT_THROW((void)item->GetAsInteger(), EConvertError);
    item->SetAsInteger(12);
    EXPECT_EQ(item->GetAsInteger(), 12);
    item->SetAsFloat(2.5);
    EXPECT_DOUBLE_EQ(item->GetAsFloat(), 2.5);
    view.Reports.clear();
    item->SetMultiLineSymbol(false);
    ASSERT_EQ(view.Reports.size(), 1u);
    EXPECT_EQ(view.Reports[0].Kind, 6);
}

TEST(ComboBoxItems, AnIndexOutsideTheLinesIsIgnoredAndTypedTextOutlivesAStaleIndex)
{
    FakeView view;
    auto* item = RowOf<TComboBoxItem>(view);
    item->GetLines()->SetText("red\ngreen\nblue");
    item->SetItemIndex(1);
    EXPECT_EQ(item->GetValue(), "green");
    for (int index : {-1, 3, 100}) {
        item->SetItemIndex(index);
        EXPECT_EQ(item->GetItemIndex(), 1);
        EXPECT_EQ(item->GetValue(), "green");
    }

    auto* editor = dynamic_cast<TComboBoxEditor*>(item->GetEditor());
    ASSERT_NE(editor, nullptr);
    editor->SetItems(*item->GetLines());
    editor->SetItemIndex(2);
    item->SetValue("free text");
    editor->SetAsString("free text");
    item->HideEditor();
    EXPECT_EQ(item->GetValue(), "free text");
    editor->SetAsString("blue");
    item->HideEditor();
    EXPECT_EQ(item->GetValue(), "blue");
    EXPECT_EQ(item->GetItemIndex(), 2);
}

// ---- The input the displays take --------------------------------------------------------------------------

TEST(ToolbarDisplay, DigitKeysToggleTheNthButtonThatIsNoDividerAsAClickDoes)
{
    struct Row {
        const char* Name;
        std::vector<bool> Dividers;
        ui::WORD Key;
        const char* Want;
    };
    const Row rows[] = {
        {"First", {false, false, false}, '1', "100"},       {"Third", {false, false, false}, '3', "001"},
        {"PastADivider", {true, false, false}, '1', "010"}, {"FewerButtons", {true, false, false}, '9', "010"},
        {"NotADigit", {false, false, false}, 'A', "000"},   {"OnlyDividers", {true, true, true}, '1', "000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        FakeView view;
        auto* item = RowOf<TToolbarItem>(view);
        for (bool divider : row.Dividers)
            item->AddButton("x", true)->SetDivider(divider);
        view.Reports.clear();
        std::uint16_t key = row.Key;
        item->GetDisplay()->KeyDown(key, {});
        EXPECT_EQ(Checked(item), row.Want);
        EXPECT_EQ(Captions(view.Reports, 7).size(), std::string(row.Want) == "000" ? 0u : 1u)
            << "OnChange and the binding hear a key as they hear a click";
    }
    FakeView empty;
    std::uint16_t key = '1';
    RowOf<TToolbarItem>(empty)->GetDisplay()->KeyDown(key, {});  // no button at all: nothing
}

TEST(ToolbarDisplay, AButtonActsOnlyWhenReleasedOverTheButtonPressed)
{
    FakeView view;
    TToolbarItem* item = ThreeButtons(view, false, true);
    item->GetButtons()->GetButton(2)->SetAutoCheck(false);
    auto* display = static_cast<TToolbarItemDisplay*>(item->GetDisplay());
    display->Rect = TRect{101, 0, 301, 16};
    const auto click = [&](int downX, int upX) {
        display->MouseDown(mbLeft, {}, downX, 5);
        display->MouseUp(mbLeft, {}, upX, 5);
    };
    click(5, 20);  // pressed on "a", released over "b"
    EXPECT_EQ(Checked(item), "000");
    EXPECT_EQ(display->GetPressedButton(), -1);
    click(20, 20);
    EXPECT_EQ(Checked(item), "010");
    view.Reports.clear();
    click(40, 40);  // no auto-check: a click report only
    EXPECT_EQ(Checked(item), "010");
    EXPECT_EQ(view.Reports.back(), (Report{"Row", 11, 2}));
    click(100, 100);  // past the buttons
    EXPECT_EQ(Checked(item), "010");

    item->SetAlignment(baRightJustify);
    EXPECT_EQ(display->ButtonAt(5), -1) << "left of right-justified buttons";
    EXPECT_EQ(display->ButtonAt(200 - 17 * 3), 0);
    EXPECT_EQ(display->ButtonRect(0).left, 301 - 51);
    click(199, 199);
    EXPECT_EQ(Checked(item), "010");
    EXPECT_EQ(view.Reports.back(), (Report{"Row", 11, 2}));
}

TEST(ToolbarDisplay, HotButtonsFollowThePointerAndRepaintOldAndNew)
{
    FakeView view;
    TToolbarItem* item = ThreeButtons(view, false, true);
    auto* display = static_cast<TToolbarItemDisplay*>(item->GetDisplay());
    display->Rect = TRect{101, 0, 301, 16};
    display->MouseMove({}, 3, 3);
    view.Reports.clear();
    display->MouseMove({}, 20, 3);
    EXPECT_EQ(display->GetHotButton(), 1);
    EXPECT_EQ(view.Reports, (std::vector<Report>{{"Row", 12, 1}, {"Row", 12, 0}}));
    view.Reports.clear();
    display->MouseMove({}, 22, 3);
    EXPECT_TRUE(view.Reports.empty());
    display->MouseLeave();
    EXPECT_EQ(display->GetHotButton(), -1);
    EXPECT_EQ(view.Reports, (std::vector<Report>{{"Row", 12, 1}}));
}

TEST(CheckDisplays, OnlyCharacterKeysWithoutCtrlOrAltToggle)
{
    struct Row {
        const char* Name;
        ui::WORD Key;
        TShiftState Shift;
        bool Toggles;
    };
    const Row rows[] = {
        {"Space", ui::VK_SPACE, {}, true},
        {"Letter", 'X', {}, true},
        {"ShiftedLetter", 'X', {ssShift}, true},
        {"Digit", '5', {}, true},
        {"Punctuation", ui::VK_OEM_PERIOD, {}, true},
        {"ShiftAlone", ui::VK_SHIFT, {ssShift}, false},
        {"CtrlAlone", ui::VK_CONTROL, {ssCtrl}, false},
        {"AltAlone", ui::VK_MENU, {ssAlt}, false},
        {"F1", ui::VK_F1, {}, false},
        {"PageUp", ui::VK_PRIOR, {}, false},
        {"Left", ui::VK_LEFT, {}, false},
        {"Escape", ui::VK_ESCAPE, {}, false},
        {"Tab", ui::VK_TAB, {}, false},
        {"CtrlLetter", 'C', {ssCtrl}, false},
        {"AltLetter", 'C', {ssAlt}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        FakeView view;
        auto* check = RowOf<TCheckBoxItem>(view);
        auto* radio = RowOf<TRadioItem>(view);
        radio->SetChecked(true);
        std::uint16_t key = row.Key;
        check->GetDisplay()->KeyDown(key, row.Shift);
        key = row.Key;
        radio->GetDisplay()->KeyDown(key, row.Shift);
        EXPECT_EQ(check->GetAsBoolean(), row.Toggles);
        EXPECT_EQ(radio->GetChecked(), !row.Toggles) << "a key may uncheck a radio";
    }
}

TEST(RadioDisplay, AClickChecksAndNeverUnchecks)
{
    FakeView view;
    auto* radio = RowOf<TRadioItem>(view);
    TItemDisplay* display = radio->GetDisplay();
    for (int i = 0; i < 2; ++i) {
        display->MouseDown(mbLeft, {}, 5, 5);
        display->MouseUp(mbLeft, {}, 5, 5);
        EXPECT_TRUE(radio->GetChecked());
    }
}

TEST(TrackBarDisplay, KeysStepByOneFiveOrTenAndStopAtTheBounds)
{
    FakeView view;
    auto* item = RowOf<TTrackBarItem>(view);
    item->SetShowText(false);
    item->SetPosition(95);
    auto* display = static_cast<TTrackBarItemDisplay*>(item->GetDisplay());
    const auto key = [&](ui::WORD k, TShiftState shift) {
        std::uint16_t v = k;
        display->KeyDown(v, shift);
        return item->GetPosition();
    };
    EXPECT_EQ(key(ui::VK_RIGHT, {ssCtrl}), 100);
    EXPECT_EQ(key(ui::VK_LEFT, {ssShift}), 95);
    EXPECT_EQ(key(ui::VK_LEFT, {}), 94);
    EXPECT_EQ(key(ui::VK_UP, {}), 94);
    item->SetPosition(4);
    EXPECT_EQ(key(ui::VK_LEFT, {ssCtrl}), 0);
}

TEST(TrackBarDisplay, DraggingIntoTheMarginLeavesThePosition)
{
    FakeView view;
    auto* item = RowOf<TTrackBarItem>(view);
    item->SetShowText(false);
    auto* display = static_cast<TTrackBarItemDisplay*>(item->GetDisplay());
    display->Rect = TRect{101, 0, 213, 16};  // 112 wide: a track of 100 between margins of 6
    EXPECT_EQ(display->TrackLength(), 100);
    display->MouseDown(mbLeft, {}, 56, 8);
    display->MouseMove({}, 56, 8);  // half the track of 101 positions: 50.5, to even
    EXPECT_EQ(item->GetPosition(), 50);
    display->MouseMove({}, 3, 8);  // the left margin
    display->MouseUp(mbLeft, {}, 3, 8);
    EXPECT_EQ(item->GetPosition(), 50);
    EXPECT_FALSE(display->GetPressed());
    display->MouseMove({}, 80, 8);  // not pressed: no position
    EXPECT_EQ(item->GetPosition(), 50);
    item->SetMax(0);  // Max = Min: the mouse gives no position
    display->MouseDown(mbLeft, {}, 56, 8);
    display->MouseUp(mbLeft, {}, 56, 8);
    EXPECT_EQ(item->GetPosition(), 0);
}

}  // namespace
