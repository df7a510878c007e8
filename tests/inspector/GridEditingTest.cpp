// Editing in the grid, shown on the offscreen platform with real Qt keys: which rows open an editor and
// where, typing into the item, Enter, Escape, the OnEdit decision, the suffix editor, and the faults of
// editing that must not come back (late writes into another row, half-typed numbers, echoes into the
// typing editor, editors left over folded rows or with no row).

#include "EditorTestSupport.h"

#include "inspector/NumericEditors.h"

#include "platform/ui/Services.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

// A number row edited in a spin editor: it keeps a double and reads back as the shortest text, and its
// text writer raises for text that is no number.
class NumberItem : public TCustomTextualItem {
public:
    using TCustomTextualItem::TCustomTextualItem;
    [[nodiscard]] std::string GetAsString() const override { return FloatToStr(FValue); }
    [[nodiscard]] double GetAsFloat() const override { return FValue; }
    void SetAsString(const std::string& value) override
    {
        FValue = value.empty() ? 0 : StrToFloat(value);
        TCustomTextualItem::SetAsString(value);
    }
    [[nodiscard]] TCellEditorClass GetEditorClass() const override { return TCellEditorClass::Of<TSpinEditor>(); }
    [[nodiscard]] TItemDisplayClass GetDisplayClass() const override
    {
        return TItemDisplayClass::Of<TTextualItemDisplay>();
    }
    void ShowEditor() override
    {
        if (auto* spin = dynamic_cast<TSpinEditor*>(GetEditor())) {
            spin->SetMin(-10);
            spin->SetPrecision(2);
        }
        TCustomTextualItem::ShowEditor();
    }

private:
    double FValue = 0;
};

// A row picked from a list: its editor takes no typing.
class ListItem : public TTextualItem {
public:
    using TTextualItem::TTextualItem;
    [[nodiscard]] TCellEditorClass GetEditorClass() const override { return TCellEditorClass::Of<TComboBoxEditor>(); }
    void ShowEditor() override
    {
        if (auto* combo = dynamic_cast<TComboBoxEditor*>(GetEditor()))
            combo->SetStyle(dsDropDownList);
        TTextualItem::ShowEditor();
    }
};

struct GridEvents {
    void Change(TObject*, TCustomPropertyItem* item, const std::string& value)
    {
        Log.push_back("change " + item->GetCaption() + " " + value);
    }
    void Edit(TObject*, TCustomPropertyItem* item, const std::string& value, bool& accept)
    {
        Log.push_back("edit " + item->GetCaption() + " " + value);
        accept = value != Refused;
    }
    void Suffix(TObject*, TCustomPropertyItem* item, const std::string& value)
    {
        Log.push_back("suffix " + item->GetCaption() + " " + value);
    }
    std::vector<std::string> Log;
    std::string Refused = "\x01";
};

// Cat: Text, Text2, ReadOnly, Number, Disabled, Folder (Inner), Below, Suffixed; Other (collapsed): Hidden.
class GridEditingTest : public ShownGrid {
public:
    GridEditingTest()
    {
        Grid->SetSplitterPosition(100);
        TCustomPropertyItem* cat = Add(Grid->GetCategories(), "Cat", "");
        Text = Add(cat->GetItems(), "Text", "value");
        Text2 = Add(cat->GetItems(), "Text2", "second");
        ReadOnly = Add(cat->GetItems(), "ReadOnly", "fixed");
        ReadOnly->SetReadOnly(true);
        Number = cat->GetItems()->Add(TPropertyItemClass::Of<NumberItem>(), "Number", "1");
        Disabled = Add(cat->GetItems(), "Disabled", "off");
        Disabled->SetEnabled(false);
        Folder = Add(cat->GetItems(), "Folder", "folder");
        Inner = Add(Folder->GetItems(), "Inner", "inner");
        Below = Add(cat->GetItems(), "Below", "below");
        Suffixed = Add(cat->GetItems(), "Suffixed", "12");
        Suffixed->GetSuffixes()->Add("m");
        Suffixed->GetSuffixes()->Add("cm");
        Suffixed->SetSuffixValue("m");
        Suffixed->SetShowSuffix(true);
        TCustomPropertyItem* other = Add(Grid->GetCategories(), "Other", "");
        Hidden = Add(other->GetItems(), "Hidden", "h");
        other->SetExpanded(false);
        Grid->OnChange = TChangeEvent(&Events, &GridEvents::Change);
        Grid->OnEdit = TEditEvent(&Events, &GridEvents::Edit);
        Grid->OnSuffixEdit = TChangeEvent(&Events, &GridEvents::Suffix);
        Show(300, 220);
    }
    ~GridEditingTest() override
    {
        Grid->OnChange = {};
        Grid->OnEdit = {};
        Grid->OnSuffixEdit = {};
        EXPECT_TRUE(Errors.Messages.empty()) << Errors.Messages.front();
    }
    static TCustomPropertyItem* Add(TPropertyItems* list, const std::string& caption, const std::string& value)
    {
        return list->Add(TPropertyItemClass::Of<TTextualItem>(), caption, value);
    }
    // A click in a row's value cell, as the user opens its editor.
    void ClickValue(TCustomPropertyItem* item) { Click({150, item->GetRowTop() + 5}); }
    [[nodiscard]] TCellEditor* Open() const
    {
        return Grid->GetEditingItem() != nullptr ? Grid->GetEditingItem()->GetEditor() : nullptr;
    }
    [[nodiscard]] QLineEdit* LineOf(TWinControl* editor) const
    {
        return qobject_cast<QLineEdit*>(ui::GetWindowWidget(editor->GetHandle()));
    }
    void Type(TWinControl* editor, const QString& text)
    {
        ovrel::test::SendQtText(LineOf(editor), text, [this] { Pump(); });
    }
    void Press(TWinControl* editor, Qt::Key key, const QString& text = QString())
    {
        ovrel::test::SendQtKey(LineOf(editor), key, Qt::NoModifier, text, [this] { Pump(); });
    }

    ui::RecordingExceptionHandler Errors;
    ui::ScopedService<ui::IExceptionHandler> ErrorsInPlace{ui::SetExceptionHandler, Errors};
    GridEvents Events;
    TCustomPropertyItem *Text, *Text2, *ReadOnly, *Number, *Disabled, *Folder, *Inner, *Below, *Suffixed, *Hidden;
};

TEST_F(GridEditingTest, AnEditorOpensOnlyOnAnEditableShownRowOverItsValueCellAndTakesTheFocus)
{
    const int w = Grid->GetClientWidth();
    ClickValue(Text);
    TCellEditor* editor = Open();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(Grid->GetEditingItem(), Text);
    EXPECT_EQ(editor->GetParent(), Grid);
    EXPECT_TRUE(editor->GetVisible());
    EXPECT_EQ(editor->GetBoundsRect(), TRect(101, Text->GetRowTop(), w, Text->GetRowTop() + 16));
    EXPECT_EQ(editor->GetBorderStyle(), TBorderStyle::bsNone);
    EXPECT_TRUE(editor->GetEmbedded());
    EXPECT_FALSE(editor->GetChangeLock()) << "held only while the value loads";
    EXPECT_TRUE(editor->Focused());
    EXPECT_EQ(editor->GetText(), "value");
    EXPECT_TRUE(Events.Log.empty()) << "loading the value is no edit";

    for (TCustomPropertyItem* row : {ReadOnly, Disabled}) {
        SCOPED_TRACE(row->GetCaption());
        ClickValue(row);
        EXPECT_EQ(Grid->GetSelectedItem(), row);
        EXPECT_EQ(Grid->GetEditingItem(), nullptr);
        EXPECT_FALSE(editor->GetVisible());
        EXPECT_TRUE(Grid->Focused());
    }
    // Rows not shown open nothing, whoever asks.
    Folder->SetExpanded(false);
    for (TCustomPropertyItem* row : {Inner, Hidden}) {
        SCOPED_TRACE(row->GetCaption());
        Grid->ShowValueEditor(row);
        EXPECT_EQ(Grid->GetEditingItem(), nullptr);
    }
}

TEST_F(GridEditingTest, TypingGoesIntoTheItemAtOnceAndEnterCommitsAndMovesOn)
{
    ClickValue(Text);
    Type(Open(), QStringLiteral("ab"));  // the value was selected: typing replaces it
    EXPECT_EQ(Text->GetValue(), "ab");
    EXPECT_EQ(Events.Log, (std::vector<std::string>{"edit Text a", "change Text a", "edit Text ab", "change Text ab"}));

    Events.Log.clear();
    Press(Open(), Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(Grid->GetSelectedItem(), Text2);
    EXPECT_EQ(Grid->GetEditingItem(), Text2);
    EXPECT_TRUE(Open()->Focused());
    EXPECT_TRUE(Events.Log.empty()) << "the texts agree: nothing to ask";

    // Without poEnterSelectNext the editor stays, its text selected.
    Grid->SetOptions({poGrid});
    ClickValue(Text);
    ClickValue(Text2);
    ASSERT_NE(Open(), nullptr);
    auto* editor = static_cast<TTextualEditor*>(Open());
    editor->SetSelStart(2);
    Press(editor, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(Grid->GetEditingItem(), Text2);
    EXPECT_EQ(editor->GetSelText(), "second");
}

TEST_F(GridEditingTest, EscapeClosesTheEditorAndGivesTheFocusBack)
{
    ClickValue(Text);
    TCellEditor* editor = Open();
    Type(editor, QStringLiteral("x"));
    Press(editor, Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_EQ(Grid->GetEditingItem(), nullptr);
    EXPECT_FALSE(editor->GetVisible());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->GetSelectedItem(), Text);
    EXPECT_EQ(Text->GetValue(), "x");
}

TEST_F(GridEditingTest, ARefusedTextStaysOutOfTheItemAndCommittingPutsTheItemsValueBack)
{
    Grid->SetOptions({poGrid});
    Events.Refused = "bad";
    ClickValue(Text);
    TCellEditor* editor = Open();
    Type(editor, QStringLiteral("bad"));
    EXPECT_EQ(Text->GetValue(), "ba");
    EXPECT_EQ(editor->GetText(), "bad");
    Events.Log.clear();
    Press(editor, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(Events.Log, std::vector<std::string>{"edit Text bad"});
    EXPECT_EQ(editor->GetText(), "ba");
    EXPECT_EQ(Grid->GetEditingItem(), Text) << "without closing the editor stays";

    // Closing on a refusal hides the editors.
    editor->MoveCaretToEnd();
    Type(editor, QStringLiteral("d"));
    Grid->CommitEdit(true);
    EXPECT_EQ(Grid->GetEditingItem(), nullptr);
    EXPECT_EQ(Text->GetValue(), "ba");
}

TEST_F(GridEditingTest, HalfTypedNumbersRaiseNothingAndAreNotEchoedBack)
{
    ClickValue(Number);
    auto* spin = dynamic_cast<TSpinEditor*>(Open());
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->GetText(), "1.00");
    spin->SelectAll();
    Type(spin, QStringLiteral("1.5"));
    EXPECT_EQ(spin->GetText(), "1.5") << "the point stays while typing";
    EXPECT_DOUBLE_EQ(Number->GetAsFloat(), 1.5);
    spin->SelectAll();
    Type(spin, QStringLiteral("-"));
    EXPECT_EQ(spin->GetText(), "-");
    EXPECT_DOUBLE_EQ(Number->GetAsFloat(), 1.5) << "not a number yet: the item keeps its own";
    Type(spin, QStringLiteral("5"));
    EXPECT_DOUBLE_EQ(Number->GetAsFloat(), -5);
    EXPECT_EQ(spin->GetText(), "-5");
}

TEST_F(GridEditingTest, TheReformatOfALeftEditorGoesIntoItsOwnRowNotTheNextOne)
{
    ClickValue(Number);
    TCellEditor* spin = Open();
    spin->SelectAll();
    Type(spin, QStringLiteral("2.5"));
    Events.Log.clear();
    Press(spin, Qt::Key_Down);  // onto the read-only row below
    EXPECT_EQ(Grid->GetSelectedItem(), Disabled);
    EXPECT_EQ(spin->GetText(), "2.50") << "reformatted as it lost the focus";
    EXPECT_EQ(Disabled->GetValue(), "off");
    EXPECT_DOUBLE_EQ(Number->GetAsFloat(), 2.5);
    EXPECT_EQ(ReadOnly->GetValue(), "fixed");
    for (const std::string& entry : Events.Log)
        EXPECT_EQ(entry.find("Disabled"), std::string::npos) << entry;
}

TEST_F(GridEditingTest, AChangeFromElsewhereReachesTheOpenEditorOnce)
{
    ClickValue(Text);
    TCellEditor* editor = Open();
    Text->SetValue("from the program");
    EXPECT_EQ(editor->GetText(), "from the program");
    EXPECT_EQ(Events.Log, std::vector<std::string>{"change Text from the program"});
    // Plus and minus typed into a value are text, not folding.
    ClickValue(Folder);
    TCellEditor* folder = Open();
    folder->SelectAll();
    Type(folder, QStringLiteral("a-b+"));
    EXPECT_EQ(Folder->GetValue(), "a-b+");
    EXPECT_TRUE(Folder->GetExpanded());
}

TEST_F(GridEditingTest, PlusAndMinusFromAListEditorFoldTheRow)
{
    TCustomPropertyItem* list = Text->GetOwningList()->Add(TPropertyItemClass::Of<ListItem>(), "List", "pick");
    Add(list->GetItems(), "Child", "c");
    Pump();
    ClickValue(list);
    ASSERT_EQ(Grid->GetSelectedItem(), list);
    TCellEditor* editor = Open();
    ASSERT_NE(editor, nullptr);
    Press(editor, Qt::Key_Minus, QStringLiteral("-"));
    EXPECT_FALSE(list->GetExpanded());
    EXPECT_EQ(list->GetValue(), "pick");
    Press(editor, Qt::Key_Equal, QStringLiteral("="));
    EXPECT_TRUE(list->GetExpanded());
}

TEST_F(GridEditingTest, EditorsFollowTheirRowWhenRowsFoldAndCloseWhenTheirRowGoes)
{
    ClickValue(Below);
    TCellEditor* editor = Open();
    const int before = Below->GetRowTop();
    Folder->SetExpanded(false);
    EXPECT_EQ(Grid->GetEditingItem(), Below);
    EXPECT_EQ(Below->GetRowTop(), before - Grid->GetRowPitch());
    EXPECT_EQ(editor->GetTop(), Below->GetRowTop());
    Folder->SetExpanded(true);
    EXPECT_EQ(editor->GetTop(), before);

    ClickValue(Inner);
    ASSERT_EQ(Grid->GetEditingItem(), Inner);
    TCellEditor* inner = Open();
    Folder->SetExpanded(false);
    EXPECT_EQ(Grid->GetEditingItem(), nullptr);
    EXPECT_FALSE(inner->GetVisible());
}

TEST_F(GridEditingTest, NoEditorStaysWithoutASelectionAndAFreedRowTakesItsEditorAlong)
{
    ClickValue(Text);
    TCellEditor* editor = Open();
    Click({150, 210});  // below the last row
    EXPECT_EQ(Grid->GetSelectedItem(), nullptr);
    EXPECT_EQ(Grid->GetEditingItem(), nullptr);
    EXPECT_FALSE(editor->GetVisible());
    Key('Z');
    EXPECT_EQ(Text->GetValue(), "value");

    ClickValue(Text2);
    ASSERT_EQ(Grid->GetEditingItem(), Text2);
    Mouse(ui::WM_MOUSEMOVE, {150, Text2->GetRowTop() + 3});
    delete Text2;
    Text2 = nullptr;
    EXPECT_EQ(Grid->GetEditingItem(), nullptr);
    EXPECT_EQ(Grid->GetSelectedItem(), nullptr);
    Mouse(ui::WM_MOUSEMOVE, {160, 40});
    Key('Q');
    Pump();
    EXPECT_EQ(Text->GetValue(), "value");
}

TEST_F(GridEditingTest, TheSuffixEditorOpensOverTheSuffixCellAndWritesTheSuffix)
{
    const int w = Grid->GetClientWidth();
    ClickValue(Suffixed);
    TComboBoxEditor* suffix = Suffixed->GetSuffixEditor();
    EXPECT_EQ(Grid->GetSuffixEditingItem(), Suffixed);
    EXPECT_TRUE(suffix->GetVisible());
    const int top = Suffixed->GetRowTop();
    EXPECT_EQ(suffix->GetBoundsRect(), TRect(w - 60 + 1, top, w, top + 16));
    EXPECT_EQ(Open()->GetBoundsRect(), TRect(101, top, w - 60, top + 16));
    EXPECT_EQ(suffix->GetText(), "m");
    EXPECT_TRUE(suffix->GetEmbedded());
    EXPECT_EQ(suffix->GetItems()->GetCount(), 2);

    suffix->SetFocus();
    Pump();
    suffix->SelectAll();
    Type(suffix, QStringLiteral("km"));
    EXPECT_EQ(Suffixed->GetSuffixValue(), "km");
    EXPECT_EQ(Events.Log.back(), "suffix Suffixed km");
    // Another row closes it.
    ClickValue(Text);
    EXPECT_EQ(Grid->GetSuffixEditingItem(), nullptr);
    EXPECT_FALSE(suffix->GetVisible());
}

TEST_F(GridEditingTest, TheWheelAndScrollingCloseTheEditors)
{
    Show(300, 80);
    ClickValue(Text2);
    ASSERT_NE(Open(), nullptr);
    Mouse(ui::WM_MOUSEWHEEL, {150, 30}, 0, -120);
    EXPECT_EQ(Grid->GetEditingItem(), nullptr);
    EXPECT_EQ(Grid->GetTopRow(), 1);
}

}  // namespace
