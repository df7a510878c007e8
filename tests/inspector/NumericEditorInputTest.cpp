// The numeric and spin editors on a form, typed into and pasted into with real Qt keys: what the key
// filter takes, the reformat on leaving, both decimal separators, paste by key through the fake
// clipboard, and the spin buttons on the fake clock.

#include "EditorTestSupport.h"

#include "inspector/NumericEditors.h"

#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

// The decimal separator in force for a scope.
class SeparatorScope {
public:
    explicit SeparatorScope(char separator) : FWas(FormatSettings().DecimalSeparator)
    {
        FormatSettings().DecimalSeparator = separator;
    }
    ~SeparatorScope() { FormatSettings().DecimalSeparator = FWas; }
    SeparatorScope(const SeparatorScope&) = delete;
    SeparatorScope& operator=(const SeparatorScope&) = delete;

private:
    char FWas;
};

template <class T> class NumberOnForm : public EditorOnForm<T> {
public:
    NumberOnForm()
    {
        Other->SetParent(this->Form.get());
        Other->SetBounds(10, 80, 100, 22);
    }
    /// Types into the emptied editor, then leaves it; gives the text as typed.
    std::string TypeAndLeave(const QString& text)
    {
        this->Editor->SetFocus();
        this->Pump();
        this->Editor->SetText("");
        this->Type(text);
        const std::string typed = this->Editor->GetText();
        Other->SetFocus();
        this->Pump();
        return typed;
    }

    TTextualEditor* Other = new TTextualEditor(this->Form.get());
    ui::FakeClipboard Board;
    ui::ScopedService<ui::IClipboard> BoardInPlace{ui::SetClipboard, Board};
};

using NumericEditorTest = NumberOnForm<TNumericEditor>;

TEST_F(NumericEditorTest, TheKeyFilterAndTheReformatOnLeavingFollowTheSettingsForBothSeparators)
{
    EXPECT_EQ(Editor->GetText(), "0.00");
    Show();
    struct Row {
        const char* Name;
        char Separator;
        std::function<void(TNumericEditor*)> Set;
        QString Keys;
        const char* Typed;
        const char* Left;
    };
    const auto none = [](TNumericEditor*) {};
    const Row rows[] = {
        {"NegativeClampedToMin", '.', none, "-5", "-5", "0.00"},
        {"NegativeMin", '.', [](TNumericEditor* e) { e->SetMin(-10); }, "-5", "-5", "-5.00"},
        {"AboveMax", '.', [](TNumericEditor* e) { e->SetMax(10); }, "25", "25", "10.00"},
        {"NoMaxAtZero", '.', none, "25", "25", "25.00"},
        {"SecondSeparatorRefused", '.', none, "1.2.3", "1.23", "1.23"},
        {"SignOnlyFirst", '.', [](TNumericEditor* e) { e->SetMin(-10); }, "5-+", "5", "5.00"},
        {"LettersRefused", '.', none, "a1b", "1", "1.00"},
        {"NoFloat", '.', [](TNumericEditor* e) { e->SetOptions({eoAllowSigns}); }, "1.5", "15", "15"},
        {"NoSigns", '.', [](TNumericEditor* e) { e->SetOptions({eoAllowFloat}); }, "-3", "3", "3.00"},
        {"AllowAll", '.', [](TNumericEditor* e) { e->SetOptions({eoAllowAll}); }, "abc", "abc", "abc"},
        {"LoneSeparatorReadsZero", '.', none, ".", ".", "0.00"},
        {"Comma", ',', none, "1,5", "1,5", "1,50"},
        {"CommaRefusesThePoint", ',', none, "1.5", "15", "15,00"},
        {"PrecisionZero", '.', [](TNumericEditor* e) { e->SetPrecision(0); }, "2.5", "2.5", "2.5"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        SeparatorScope separator(row.Separator);
        Editor->SetOptions({eoAllowFloat, eoAllowSigns});
        Editor->SetMin(0);
        Editor->SetMax(0);
        Editor->SetPrecision(2);
        row.Set(Editor);
        EXPECT_EQ(TypeAndLeave(row.Keys), row.Typed);
        EXPECT_EQ(Editor->GetText(), row.Left);
    }
}

TEST_F(NumericEditorTest, UnitAndNullTextsShowAndReadBackWithoutJoiningTheNumber)
{
    Show();
    Editor->SetPrecision(1);
    Editor->SetTextAfter(" m2");
    Editor->SetValue(2.5);
    EXPECT_EQ(Editor->GetText(), "2.5 m2");
    EXPECT_DOUBLE_EQ(Editor->GetValue(), 2.5);
    for (int i = 0; i < 3; ++i) {  // leaving again and again changes nothing
        Editor->SetFocus();
        Pump();
        Other->SetFocus();
        Pump();
    }
    EXPECT_EQ(Editor->GetText(), "2.5 m2");

    Editor->SetTextAfter("");
    Editor->SetNullText("none 0");
    EXPECT_EQ(Editor->GetText(), "none 0");
    EXPECT_DOUBLE_EQ(Editor->GetValue(), 0);
    Editor->SetFocus();
    Pump();
    Other->SetFocus();
    Pump();
    EXPECT_EQ(Editor->GetText(), "none 0");
}

TEST_F(NumericEditorTest, PastingByKeyInsertsOnlyTheClipboardsNumberCharacters)
{
    Show();
    struct Row {
        const char* Clipboard;  // null: nothing on it
        int SelStart;
        int SelEnd;
        const char* Result;
    };
    const Row rows[] = {
        {"a1b2", 1, 1, "112.20"}, {"x-y", 0, 0, "1.20"},  {nullptr, 0, 4, ""},
        {"7", 0, 4, "7"},         {"-4", 0, 0, "-41.20"}, {"3.5", 4, 4, "1.2035"},
    };
    Editor->SetMin(-100);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Clipboard != nullptr ? row.Clipboard : "(empty)");
        Board.Content.reset();
        if (row.Clipboard != nullptr)
            Board.Content = row.Clipboard;
        Editor->SetText("1.20");
        ui::SendMessage(Editor->GetHandle(), ui::EM_SETSEL, static_cast<ui::WPARAM>(row.SelStart), row.SelEnd);
        Press(Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
        EXPECT_EQ(Editor->GetText(), row.Result);
        EXPECT_EQ(Editor->GetSelStart(), row.SelStart);
    }
    Board.Content = "9";
    Editor->SetText("1");
    Editor->SetSelStart(1);
    Press(Qt::Key_Insert, QString(), Qt::ShiftModifier);
    EXPECT_EQ(Editor->GetText(), "19");
}

TEST_F(NumericEditorTest, AssignCopiesTheRangeAndTheValueOfAnotherNumericEditor)
{
    TNumericEditor source(nullptr);
    source.SetMin(-3);
    source.SetMax(8);
    source.SetPrecision(1);
    source.SetValue(4.25);
    Editor->Assign(&source);
    EXPECT_DOUBLE_EQ(Editor->GetMin(), -3);
    EXPECT_DOUBLE_EQ(Editor->GetMax(), 8);
    EXPECT_EQ(Editor->GetPrecision(), 1);
    EXPECT_EQ(Editor->GetText(), source.GetText());
    TFont font;
    EXPECT_THROW(Editor->Assign(&font), EConvertError);
}

using SpinEditorTest = NumberOnForm<TSpinEditor>;

TEST_F(SpinEditorTest, HoldingAButtonStepsAtOnceThenAfter400MsEvery20MsUntilReleased)
{
    Editor->SetBounds(10, 10, 150, 22);
    Show();
    TSpinButtons* buttons = Editor->GetButtons();
    EXPECT_EQ(Editor->GetText(), "0");
    EXPECT_EQ(buttons->GetWidth(), ui::GetSystemMetrics(ui::SM_CXVSCROLL));
    EXPECT_EQ(buttons->GetLeft(), Editor->GetClientWidth() - buttons->GetWidth());
    EXPECT_EQ(buttons->GetTop(), 1);

    const int upper = 2;
    const int lower = buttons->GetHeight() - 3;
    MouseAt(buttons, ui::WM_LBUTTONDOWN, {4, upper});
    EXPECT_EQ(Editor->GetAsInteger(), 1);
    Wait(399);
    EXPECT_EQ(Editor->GetAsInteger(), 1);
    Wait(1);
    Wait(19);
    EXPECT_EQ(Editor->GetAsInteger(), 1);
    Wait(1);
    EXPECT_EQ(Editor->GetAsInteger(), 2);
    for (int i = 0; i < 3; ++i)
        Wait(20);
    EXPECT_EQ(Editor->GetAsInteger(), 5);
    MouseAt(buttons, ui::WM_LBUTTONUP, {4, upper});
    Wait(200);
    EXPECT_EQ(Editor->GetAsInteger(), 5);
    EXPECT_FALSE(buttons->GetDelayTimer()->GetEnabled());
    EXPECT_FALSE(buttons->GetRepeatTimer()->GetEnabled());

    // The lower half steps down; losing the mouse stops the repeat as a release would.
    Clock.Advance(1000);
    MouseAt(buttons, ui::WM_LBUTTONDOWN, {4, lower});
    EXPECT_EQ(Editor->GetAsInteger(), 4);
    Wait(400);
    Wait(20);
    EXPECT_EQ(Editor->GetAsInteger(), 3);
    ui::ReleaseCapture();
    Pump();
    for (int i = 0; i < 5; ++i)
        Wait(20);
    EXPECT_EQ(Editor->GetAsInteger(), 3);
    EXPECT_FALSE(buttons->GetRepeatTimer()->GetEnabled());
    EXPECT_EQ(buttons->GetPressed(), TSpinDirections{});
}

TEST_F(SpinEditorTest, StepsStayInTheRangeAndTheWheelAndArrowsStepOnceOutsideTheGrid)
{
    Show();
    Editor->SetMax(5);
    Editor->SetValue(5);
    Editor->SpinClick({sdUp});
    EXPECT_EQ(Editor->GetText(), "5");
    Editor->SetMin(0);
    Editor->SetPrecision(1);
    Editor->SetValue(0.5);
    Editor->SpinClick({sdDown});
    EXPECT_EQ(Editor->GetText(), "0.5");
    Editor->SetValue(2.5);
    EXPECT_EQ(Editor->GetAsInteger(), 2) << "ties to even";
    Editor->SetValue(3.5);
    EXPECT_EQ(Editor->GetAsInteger(), 4);

    Editor->SetPrecision(0);
    Editor->SetValue(2);
    MouseAt(Editor, ui::WM_MOUSEWHEEL, {20, 8}, 0, -120);
    EXPECT_EQ(Editor->GetText(), "1");
    MouseAt(Editor, ui::WM_MOUSEWHEEL, {20, 8}, 0, 120);
    EXPECT_EQ(Editor->GetText(), "2");
    Wait(1000);
    EXPECT_EQ(Editor->GetText(), "2") << "a notch leaves no timer running";

    Press(Qt::Key_Up);
    EXPECT_EQ(Editor->GetText(), "3");
    Wait(1000);
    EXPECT_EQ(Editor->GetText(), "3") << "the key's release stopped it";
    Editor->SetEmbedded(true);
    Press(Qt::Key_Up);
    Press(Qt::Key_Down);
    EXPECT_EQ(Editor->GetText(), "3");
}

TEST_F(SpinEditorTest, TheButtonsFollowTheEditorsWidthAndLeavingStopsThem)
{
    Show();
    Editor->SetWidth(200);
    Pump();
    TSpinButtons* buttons = Editor->GetButtons();
    EXPECT_EQ(buttons->GetLeft(), Editor->GetClientWidth() - buttons->GetWidth());
    TRect r;
    Editor->GetEditRect(r);
    EXPECT_EQ(r.right, buttons->GetLeft());
    Editor->SetBorderStyle(TBorderStyle::bsNone);
    Pump();
    EXPECT_EQ(buttons->GetTop(), 0);
    EXPECT_EQ(buttons->GetHeight(), Editor->GetClientHeight() + 1);

    MouseAt(buttons, ui::WM_LBUTTONDOWN, {4, 2});
    const std::string held = Editor->GetText();
    Other->SetFocus();
    Pump();
    Wait(1000);
    EXPECT_EQ(Editor->GetText(), held);
    EXPECT_FALSE(buttons->GetRepeatTimer()->GetEnabled());
}

TEST_F(SpinEditorTest, AStepThatRaisesStopsTheRepeat)
{
    Show();
    TSpinButtons* buttons = Editor->GetButtons();
    struct Failing {
        int Calls = 0;
        void Spin(TObject*, TSpinDirections)
        {
            ++Calls;
            throw EConvertError("no step");
        }
    } failing;
    buttons->OnSpin = TSpinEvent(&failing, &Failing::Spin);
    EXPECT_THROW(buttons->SetPressed({sdUp}), EConvertError);
    EXPECT_FALSE(buttons->GetDelayTimer()->GetEnabled());
    EXPECT_FALSE(buttons->GetRepeatTimer()->GetEnabled());
    EXPECT_EQ(buttons->GetPressed(), TSpinDirections{});
    for (int i = 0; i < 30; ++i)
        Wait(20);
    EXPECT_EQ(failing.Calls, 1);
}

TEST_F(SpinEditorTest, ThemedHalvesAskForTheSpinClassInTheirState)
{
    ThemedScope themed;
    Show();
    TSpinButtons* buttons = Editor->GetButtons();
    struct Row {
        TSpinDirections Hot;
        TSpinDirections Pressed;
        int Up;
        int Down;
    };
    for (const Row& row :
         {Row{{}, {}, 1, 1}, Row{{sdUp, sdDown}, {}, 2, 2}, Row{{sdUp}, {sdDown}, 2, 3}, Row{{sdDown}, {sdUp}, 3, 2}}) {
        buttons->SetHot(row.Hot);
        buttons->Stop();
        if (row.Pressed != TSpinDirections{}) {
            buttons->OnSpin = {};
            buttons->SetPressed(row.Pressed);
        }
        themed.Styles.Requests.clear();
        buttons->Repaint();
        ASSERT_EQ(themed.Styles.Requests.size(), 2u);
        EXPECT_EQ(themed.Styles.Requests[0].ClassList, "spin");
        EXPECT_EQ(themed.Styles.Requests[0].Part, 1);
        EXPECT_EQ(themed.Styles.Requests[0].State, row.Up);
        EXPECT_EQ(themed.Styles.Requests[1].Part, 2);
        EXPECT_EQ(themed.Styles.Requests[1].State, row.Down);
    }
    buttons->Stop();
}

}  // namespace
