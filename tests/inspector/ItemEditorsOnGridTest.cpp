// The row kinds with their own editors on a shown grid: the editor each opens and its settings, the
// execute button reaching the grid's OnExecute, picks from the drop-downs becoming the row's value, the
// spin buttons stepping the row, and a bound row keeping its property while the user types a text that is
// no value yet.

#include "EditorTestSupport.h"

#include "inspector/NumericEditors.h"
#include "inspector/Pickers.h"
#include "inspector/PropertyItemClasses.h"
#include "inspector/WebColors.h"

#include "platform/ui/Services.h"
#include "toolkit/Filer.h"
#include "toolkit/Forms.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

enum TMode : std::uint8_t { mdOff, mdOn, mdAuto };

// The component the bound rows write into, counting its writes.
class Target : public TComponent {
public:
    Target() : TComponent(nullptr) {}
    int GetWidth() const { return FWidth; }
    void SetWidth(int value) { FWidth = value, ++Writes; }
    TMode GetMode() const { return FMode; }
    void SetMode(TMode value) { FMode = value, ++Writes; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double value) { FRatio = value, ++Writes; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor value) { FColor = value, ++Writes; }

    static const TPropertyTable& ClassProperties()
    {
        using C = Target;
        static const TPropertyTable table =
            TPropertyTable(&TComponent::ClassProperties())
                .Integer("Width", &C::GetWidth, &C::SetWidth)
                .Enumeration("Mode", &C::GetMode, &C::SetMode, {"mdOff", "mdOn", "mdAuto"})
                .Float("Ratio", &C::GetRatio, &C::SetRatio)
                .Integer("Color", &C::GetColor, &C::SetColor);
        return table;
    }
    const TPropertyTable& GetPropertyTable() const override { return ClassProperties(); }

    int Writes = 0;

private:
    int FWidth = 120;
    TMode FMode = mdOn;
    double FRatio = 1.5;
    TColor FColor = clRed;
};

struct ExecuteLog {
    void Executed(TObject* sender, TCustomPropertyItem* item)
    {
        Log.push_back((sender != nullptr ? "grid " : "none ") + item->GetCaption());
    }
    std::vector<std::string> Log;
};

// Cat: Execute, Image, Font, Color (web), Date, Spin; one screen; today 15 January 2025.
class ItemEditorsOnGrid : public ShownGrid {
protected:
    ItemEditorsOnGrid()
    {
        SetNowFunction([] { return EncodeDate(2025, 1, 15) + 0.5; });
        Grid->SetSplitterPosition(100);
        Category = Grid->GetCategories()->Add(TPropertyItemClass::Of<TTextualItem>(), "Cat", "");
        Execute = Add<TExecuteItem>("Execute", "run");
        Image = Add<TImageItem>("Image", "/old.png");
        Font = Add<TFontNameItem>("Font", Screen()->GetFonts()->Get(0));
        Color = Add<TColorItem>("Color", "#FF0000");
        Color->SetColorKind(ckWeb);
        Date = Add<TDateItem>("Date", DateToStr(EncodeDate(2024, 3, 9)));
        Spin = Add<TSpinItem>("Spin", "5");
        Spin->SetMin(-10);
        Spin->SetMax(10);
        Spin->SetIncrement(2.5);
        Combo = Add<TComboBoxItem>("Combo", "");
        for (const char* line : {"alpha", "beta", "gamma"})
            Combo->GetLines()->Add(line);
        Grid->OnExecute = TItemNotifyEvent(&Executions, &ExecuteLog::Executed);
        Show(300, 160);
    }
    ~ItemEditorsOnGrid() override
    {
        Grid->OnExecute = {};
        SetNowFunction(nullptr);
        EXPECT_TRUE(Errors.Messages.empty()) << Errors.Messages.front();
    }
    template <class T> T* Add(const std::string& caption, const std::string& value)
    {
        return static_cast<T*>(Category->GetItems()->Add(TPropertyItemClass::Of<T>(), caption, value));
    }
    // The user's click in a row's value cell, which opens its editor.
    TCellEditor* Open(TCustomPropertyItem* item)
    {
        Click({150, item->GetRowTop() + 5});
        return Grid->GetEditingItem() == item ? item->GetEditor() : nullptr;
    }
    void ClickAt(const TControl* control, TPoint client)
    {
        Clock.Advance(1000);
        MouseAt(control, ui::WM_MOUSEMOVE, client);
        MouseAt(control, ui::WM_LBUTTONDOWN, client);
        MouseAt(control, ui::WM_LBUTTONUP, client);
    }
    void ClickButton(TCellEditor* editor)
    {
        ClickAt(static_cast<TCustomButtonCellEditor*>(editor)->GetButton(), {5, 5});
    }
    void Type(TWinControl* editor, const QString& text)
    {
        ovrel::test::SendQtText(qobject_cast<QLineEdit*>(ui::GetWindowWidget(editor->GetHandle())), text,
                                [this] { Pump(); });
    }

    ui::RecordingExceptionHandler Errors;
    ui::ScopedService<ui::IExceptionHandler> ErrorsInPlace{ui::SetExceptionHandler, Errors};
    ui::FixedScreens Screens{{{ui::RECT{0, 0, 1024, 768}, ui::RECT{0, 0, 1024, 728}, true}}};
    ui::ScopedService<ui::IScreens> ScreensInPlace{ui::SetScreens, Screens};
    ExecuteLog Executions;
    TCustomPropertyItem* Category = nullptr;
    TExecuteItem* Execute = nullptr;
    TImageItem* Image = nullptr;
    TFontNameItem* Font = nullptr;
    TColorItem* Color = nullptr;
    TDateItem* Date = nullptr;
    TSpinItem* Spin = nullptr;
    TComboBoxItem* Combo = nullptr;
};

TEST_F(ItemEditorsOnGrid, EachRowOpensItsOwnEditorWithTheRowsSettingsAndValue)
{
    const struct {
        TCustomPropertyItem* Item;
        bool (*IsItsEditor)(TCellEditor*);
    } rows[] = {
        {Execute, [](TCellEditor* e) { return dynamic_cast<TButtonEditor*>(e) != nullptr; }},
        {Image, [](TCellEditor* e) { return dynamic_cast<TImagePathEditor*>(e) != nullptr; }},
        {Font, [](TCellEditor* e) { return dynamic_cast<TFontEditor*>(e) != nullptr; }},
        {Color, [](TCellEditor* e) { return dynamic_cast<TColorPickerEditor*>(e) != nullptr; }},
        {Date, [](TCellEditor* e) { return dynamic_cast<TDatePickerEditor*>(e) != nullptr; }},
        {Spin, [](TCellEditor* e) { return dynamic_cast<TSpinEditor*>(e) != nullptr; }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Item->GetCaption());
        TCellEditor* editor = Open(row.Item);
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(row.IsItsEditor(editor));
        EXPECT_TRUE(editor->GetVisible());
        EXPECT_EQ(editor->GetAsString(), row.Item->GetValue());
    }
    auto* spin = static_cast<TSpinEditor*>(Spin->GetEditor());
    EXPECT_EQ(spin->GetIncrement(), 2.5);
    EXPECT_EQ(spin->GetMax(), 10);
    EXPECT_EQ(spin->GetMin(), -10);
    auto* color = static_cast<TColorPickerEditor*>(Color->GetEditor());
    EXPECT_TRUE(color->GetWebColorFormat());
    Color->SetColorKind(ckKorvel);
    Color->SetValue("clBlue");
    Open(Color);
    EXPECT_FALSE(color->GetWebColorFormat());
}

TEST_F(ItemEditorsOnGrid, TheExecuteButtonRaisesTheGridsOnExecuteForItsRowWithTheRowsGlyph)
{
    TBitmap glyph;
    glyph.SetSize(8, 8);
    glyph.GetCanvas()->GetBrush()->SetColor(clFuchsia);
    glyph.GetCanvas()->FillRect(TRect(0, 0, 8, 8));
    Execute->SetGlyph(&glyph);
    Execute->SetTransparentColor(clFuchsia);
    auto* editor = static_cast<TButtonEditor*>(Open(Execute));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetGlyph()->GetWidth(), 8);
    EXPECT_EQ(editor->GetTransparentColor(), clFuchsia);
    ClickButton(editor);
    EXPECT_EQ(Executions.Log, std::vector<std::string>{"grid Execute"});
    EXPECT_EQ(Execute->GetValue(), "run");

    // The picture row runs the grid's handler, then the dialog; the chosen file is the row's value.
    ui::ScriptedFileDialogs dialogs;
    ui::ScopedService<ui::IFileDialogs> inPlace{ui::SetFileDialogs, dialogs};
    dialogs.Answers = {std::string("/pictures/new.png"), std::nullopt};
    TCellEditor* image = Open(Image);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(static_cast<TButtonEditor*>(image)->GetGlyph()->GetEmpty()) << "a row without a glyph";
    ClickButton(image);
    EXPECT_EQ(Executions.Log, (std::vector<std::string>{"grid Execute", "grid Image"}));
    EXPECT_EQ(Image->GetValue(), "/pictures/new.png");
    ClickButton(image);  // cancelled
    EXPECT_EQ(Image->GetValue(), "/pictures/new.png");
}

TEST_F(ItemEditorsOnGrid, APickFromEachDropDownBecomesTheRowsValue)
{
    // A font family from the list, which opens at its top on the first family.
    ASSERT_GE(Screen()->GetFonts()->GetCount(), 2);
    TCellEditor* font = Open(Font);
    ASSERT_NE(font, nullptr);
    ClickButton(font);
    auto* fonts = static_cast<TPopupList*>(static_cast<TFontEditor*>(font)->GetPopup());
    ClickAt(fonts, {10, fonts->GetItemHeight() + 3});
    EXPECT_EQ(Font->GetValue(), Screen()->GetFonts()->Get(1));
    EXPECT_EQ(Font->GetItemIndex(), 1);

    // A swatch of the palette, in the row's web format.
    TCellEditor* color = Open(Color);
    ASSERT_NE(color, nullptr);
    ClickButton(color);
    const TRect swatch = PaletteCellRect(3, 2);
    ClickAt(static_cast<TColorPickerEditor*>(color)->GetPopup(),
            {(swatch.left + swatch.right) / 2, (swatch.top + swatch.bottom) / 2});
    EXPECT_EQ(Color->GetValue(), ColorToWebColor(PaletteColor(3, 2)));

    // A day of the calendar, which opens on the row's date: the cell under the pointer is the day.
    TCellEditor* date = Open(Date);
    ASSERT_NE(date, nullptr);
    ClickButton(date);
    auto* calendar = static_cast<TDatePopup*>(static_cast<TDatePickerEditor*>(date)->GetPopup());
    ASSERT_EQ(calendar->GetDate(), EncodeDate(2024, 3, 9));
    const TDateTime target = EncodeDate(2024, 3, 20);
    TRect cell{0, 0, 0, 0};
    for (int row = 0; row < CalendarRows; ++row)
        for (int column = 0; column < CalendarColumns; ++column)
            if (CalendarCellDate(2024, 3, column, row) == target)
                cell = CalendarCellRect(column, row);
    ASSERT_NE(cell.right, 0);
    ClickAt(calendar, {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2});
    EXPECT_EQ(StrToDate(Date->GetValue()), target);
}

TEST_F(ItemEditorsOnGrid, AComboRowTakesAPickedLineAndKeepsFreeTextTypedAfterIt)
{
    auto* combo = static_cast<TComboBoxEditor*>(Open(Combo));
    ASSERT_NE(combo, nullptr);
    ClickButton(combo);
    ClickAt(combo->GetPopup(), {10, 16 + 5});
    EXPECT_EQ(Combo->GetValue(), "beta");
    Open(Spin);  // leaving the row applies the picked line
    EXPECT_EQ(Combo->GetItemIndex(), 1);

    Open(Combo);
    combo->SelectAll();
    Type(combo, QStringLiteral("free"));
    EXPECT_EQ(Combo->GetValue(), "free");
    Open(Spin);
    EXPECT_EQ(Combo->GetValue(), "free") << "the stale pick does not come back";
}

TEST_F(ItemEditorsOnGrid, TheSpinButtonsAndTypingSetTheRowsNumberInsideItsRange)
{
    auto* spin = static_cast<TSpinEditor*>(Open(Spin));
    ASSERT_NE(spin, nullptr);
    TSpinButtons* buttons = spin->GetButtons();
    const TPoint up{buttons->GetWidth() / 2, 2};
    const TPoint down{buttons->GetWidth() / 2, buttons->GetHeight() - 3};
    ClickAt(buttons, up);
    EXPECT_EQ(Spin->GetAsFloat(), 7.5);
    ClickAt(buttons, up);
    ClickAt(buttons, up);  // past Max: no step
    EXPECT_EQ(Spin->GetAsFloat(), 10);
    ClickAt(buttons, down);
    EXPECT_EQ(Spin->GetValue(), "7.5");

    spin->SelectAll();
    Type(spin, QStringLiteral("-2.5"));
    EXPECT_EQ(Spin->GetAsFloat(), -2.5);
    EXPECT_EQ(spin->GetText(), "-2.5") << "no echo while typing";
}

class BoundRowsOnGrid : public ItemEditorsOnGrid {
protected:
    BoundRowsOnGrid() { Grid->SetAssociate(&Component); }
    ~BoundRowsOnGrid() override { Grid->SetAssociate(nullptr); }
    template <class T> T* Bound(const std::string& path)
    {
        T* item = Add<T>(path, "");
        item->SetMapProperty(path);
        return item;
    }
    Target Component;
};

TEST_F(BoundRowsOnGrid, TypingSavesOnlyTextThatConvertsAndTheLastValidValueStays)
{
    auto* width = Bound<TTextualItem>("Width");
    auto* mode = Bound<TTextualItem>("Mode");
    auto* ratio = Bound<TTextualItem>("Ratio");
    auto* color = Bound<TColorItem>("Color");
    Show(300, 300);
    const auto widthOf = [](const Target& t) { return std::to_string(t.GetWidth()); };
    const auto modeOf = [](const Target& t) { return std::to_string(t.GetMode()); };
    const auto ratioOf = [](const Target& t) { return FloatToStr(t.GetRatio()); };
    const auto colorOf = [](const Target& t) { return t.GetColor() == clBlue ? std::string("blue") : "red"; };
    const struct {
        TCustomPropertyItem* Item;
        const char* Typed;
        std::string (*Read)(const Target&);
        std::vector<std::string> Held;  // the property after each character
    } rows[] = {
        {width, "64x", widthOf, {"6", "64", "64"}},
        {width, "-3", widthOf, {"64", "-3"}},
        {mode, "mdOff", modeOf, {"1", "1", "1", "1", "0"}},
        {ratio, "-.5", ratioOf, {"1.5", "1.5", "-0.5"}},
        {color, "clBlue", colorOf, {"red", "red", "red", "red", "red", "blue"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Typed);
        TCellEditor* editor = Open(row.Item);
        ASSERT_NE(editor, nullptr);
        editor->SelectAll();  // the row may be open already
        std::vector<std::string> held;
        for (const char c : std::string(row.Typed)) {
            Type(editor, QString(QChar(c)));
            held.push_back(row.Read(Component));
        }
        EXPECT_EQ(held, row.Held);
        EXPECT_EQ(row.Item->GetValue(), row.Typed) << "the row keeps the text";
    }
    // A program's writer still raises for text that is no value.
    EXPECT_THROW(mode->SetValue("mdNone"), EPropertyError);
    EXPECT_THROW(color->SetValue("clRe"), EConvertError);
}

// Items read from a stream report nothing as they come: the shown grid catches up once the read ends.
using ReadIntoShownGrid = ShownGrid;

TEST_F(ReadIntoShownGrid, TheBarGetsItsRangeAndTheGridRepaintsWhole)
{
    Show(300, 100);
    TPropertiesView source(nullptr);
    source.SetBounds(10, 10, 300, 100);
    TCustomPropertyItem* cat = source.GetCategories()->Add(TPropertyItemClass::Of<TTextualItem>(), "Cat", "");
    for (int i = 0; i < 20; ++i)
        cat->GetItems()->Add(TPropertyItemClass::Of<TTextualItem>(), "Row " + std::to_string(i), "v");
    TMemoryStream stream;
    TWriter(stream).WriteRootComponent(&source);
    stream.SetPosition(0);
    ASSERT_FALSE(Grid->GetVertScrollBar()->GetVisible());
    TReader(stream).ReadRootComponent(Grid);
    EXPECT_EQ(Grid->GetAbsoluteCount(), 21);
    EXPECT_TRUE(Grid->GetVertScrollBar()->GetVisible());
    EXPECT_TRUE(WasInvalidated(Grid->GetClientRect()));
}

}  // namespace
