// The grid's rows written to a stream and read back: the same tree in the same order with every row's
// values, fonts, suffixes and toolbar buttons; ParentIndex as the parent's pre-order position; damaged and
// truncated streams that end in a read error and leave nothing half linked; rows read into anything but a
// grid passed over.

#include "inspector/PropertiesView.h"
#include "inspector/PropertyItemClasses.h"

#include "toolkit/Filer.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::toolkit;

namespace {

template <class T> T* Add(TPropertyItems* list, const std::string& caption, const std::string& value = "")
{
    return static_cast<T*>(list->Add(TPropertyItemClass::Of<T>(), caption, value));
}

// Two categories, three levels, a hidden and a collapsed row, and one row of each kind that keeps state of
// its own.
void BuildFixture(TPropertiesView& grid)
{
    TPropertyItems* top = grid.GetCategories();
    auto* a = Add<TTextualItem>(top, "A");
    auto* text = Add<TTextualItem>(a->GetItems(), "Text", "hello");
    text->GetFont()->SetStyle({fsItalic});
    text->GetValueFont()->SetName("DejaVu Serif");
    text->GetSuffixes()->SetText("m\nkm");
    text->SetSuffixValue("km");
    text->SetShowSuffix(true);
    text->SetTag(47);
    text->SetPasswordChar(u'*');
    Add<TTextualItem>(text->GetItems(), "Deep", "3")->SetVisible(false);
    auto* combo = Add<TComboBoxItem>(a->GetItems(), "Combo");
    combo->GetLines()->SetText("red\ngreen");
    combo->SetItemIndex(1);
    Add<TAlignmentItem>(a->GetItems(), "Align", "center");
    auto* check = Add<TCheckBoxItem>(a->GetItems(), "Check");
    check->SetTextKind(tkYesNo);
    check->SetValue("yes");
    auto* b = Add<TTextualItem>(top, "B");
    auto* track = Add<TTrackBarItem>(b->GetItems(), "Track");
    track->SetMax(50);
    track->SetMin(10);
    track->SetPosition(20);
    track->SetTextAfter(" %");
    Add<TMemoItem>(b->GetItems(), "Memo", "one\ntwo");
    auto* toolbar = Add<TToolbarItem>(b->GetItems(), "Toolbar");
    toolbar->AddButton("x", true);
    toolbar->AddButton("", true)->SetDivider(true);
    toolbar->AddButton("y", false);
    toolbar->SetValue("y");
    toolbar->SetExpanded(false);
    Add<TRadioItem>(toolbar->GetItems(), "Radio")->SetChecked(true);
    auto* spin = Add<TSpinItem>(b->GetItems(), "Spin", "2.5");
    spin->SetMax(10);
    auto* color = Add<TColorItem>(b->GetItems(), "Colour", "#102030");
    color->SetColorKind(ckWeb);
}

// One line per row in pre-order: what a row is and holds.
std::vector<std::string> Describe(const TPropertiesView& grid)
{
    std::vector<std::string> rows;
    for (int i = 0; i < grid.GetAbsoluteCount(); ++i) {
        const TCustomPropertyItem* item = grid.GetAbsoluteItem(i);
        std::string row = ClassNameOf(*item) + " " + item->GetCaption() + " =" + item->GetValue() + " level " +
                          std::to_string(item->GetLevel()) + " parent " + std::to_string(item->GetParentIndex()) +
                          (item->GetVisible() ? "" : " hidden") + (item->GetExpanded() ? "" : " collapsed") +
                          (item->GetReadOnly() ? " readonly" : "") + " font " + item->GetFont()->GetName() + "/" +
                          std::to_string(item->GetFont()->GetStyle().GetBits()) + " value font " +
                          item->GetValueFont()->GetName() + " suffixes " + item->GetSuffixes()->GetText() + "|" +
                          item->GetSuffixValue() + " tag " + std::to_string(item->GetTag());
        if (const auto* toolbar = dynamic_cast<const TToolbarItem*>(item))
            for (int b = 0; b < toolbar->ButtonCount(); ++b) {
                const TToolbarItemButton* button = toolbar->GetButtons()->GetButton(b);
                row += " [" + button->GetText() + (button->GetChecked() ? " on" : "") +
                       (button->GetDivider() ? " divider" : "") + (button->GetAutoCheck() ? "" : " click") +
                       (button->GetGlyph()->GetEmpty() ? "" : " glyph") + "]";
            }
        if (const auto* track = dynamic_cast<const TTrackBarItem*>(item))
            row += " track " + std::to_string(track->GetMin()) + ".." + std::to_string(track->GetMax()) +
                   track->GetTextAfter();
        if (const auto* check = dynamic_cast<const TCheckBoxItem*>(item))
            row += " kind " + std::to_string(check->GetTextKind());
        if (const auto* text = dynamic_cast<const TTextualItem*>(item))
            row += " mask " + std::to_string(text->GetPasswordChar());
        if (const auto* combo = dynamic_cast<const TComboBoxItem*>(item))
            row += " index " + std::to_string(combo->GetItemIndex()) + " " + combo->GetLines()->GetText();
        if (const auto* color = dynamic_cast<const TColorItem*>(item))
            row += " web " + std::to_string(color->GetColorKind());
        rows.push_back(row);
    }
    return rows;
}

std::unique_ptr<TMemoryStream> Written(TPropertiesView& grid)
{
    auto stream = std::make_unique<TMemoryStream>();
    TWriter writer(*stream);
    writer.WriteRootComponent(&grid);
    stream->SetPosition(0);
    return stream;
}

TEST(Streaming, TheTreeComesBackInTheSameShapeOrderAndValues)
{
    TPropertiesView grid(nullptr);
    BuildFixture(grid);
    const std::vector<std::string> before = Describe(grid);
    ASSERT_EQ(before.size(), 13u);
    const auto stream = Written(grid);

    TPropertiesView copy(nullptr);
    TReader reader(*stream);
    reader.ReadRootComponent(&copy);
    EXPECT_EQ(Describe(copy), before);
    EXPECT_EQ(stream->GetPosition(), stream->GetSize()) << "everything written was read";
    for (int i = 0; i < copy.GetAbsoluteCount(); ++i) {
        const TCustomPropertyItem* item = copy.GetAbsoluteItem(i);
        EXPECT_FALSE(item->GetComponentState().Contains(csReading)) << item->GetCaption();
    }
    // The copy is a grid like any other: its rows report again.
    int changes = 0;
    struct Sink {
        int* Changes;
        void Changed(TObject*, TCustomPropertyItem*, const std::string&) { ++*Changes; }
    } sink{&changes};
    copy.OnChange = TChangeEvent(&sink, &Sink::Changed);
    copy.GetAbsoluteItem(1)->SetValue("again");
    EXPECT_EQ(changes, 1);
}

TEST(Streaming, EveryRowRecordsItsParentsPreOrderPosition)
{
    TPropertiesView grid(nullptr);
    BuildFixture(grid);
    for (int i = 0; i < grid.GetAbsoluteCount(); ++i) {
        TMemoryStream stream;
        TWriter writer(stream);
        writer.WriteComponent(grid.GetAbsoluteItem(i));
        // The last property before the list's end is the defined one.
        const std::string bytes(static_cast<const char*>(stream.GetMemory()),
                                static_cast<std::size_t>(stream.GetSize()));
        const std::size_t at = bytes.rfind("ParentIndex");
        ASSERT_NE(at, std::string::npos);
        std::int64_t value = 0;
        for (int b = 7; b >= 0; --b)
            value = value << 8 | static_cast<std::uint8_t>(bytes[at + 11 + 1 + static_cast<std::size_t>(b)]);
        const TCustomPropertyItem* parent = grid.GetAbsoluteItem(i)->GetParentItem();
        EXPECT_EQ(value, parent != nullptr ? parent->GetAbsoluteIndex() : -1) << i;
    }
}

// A stream of a grid whose rows are written by hand: each (class, caption, parent index).
struct HandRow {
    const char* Class;
    const char* Caption;
    int ParentIndex;
};

std::unique_ptr<TMemoryStream> HandWritten(const std::vector<HandRow>& rows)
{
    auto stream = std::make_unique<TMemoryStream>();
    TWriter writer(*stream);
    writer.WriteSignature();
    writer.WriteStr("TPropertiesView");
    writer.WriteStr("");
    writer.WriteListEnd();  // no properties of the grid
    for (const HandRow& row : rows) {
        writer.WriteStr(row.Class);
        writer.WriteStr("");
        writer.WriteStr("Caption");
        writer.WriteString(row.Caption);
        writer.WriteStr("ParentIndex");
        writer.WriteInteger(row.ParentIndex);
        writer.WriteListEnd();
        writer.WriteListEnd();  // no children
    }
    writer.WriteListEnd();
    stream->SetPosition(0);
    return stream;
}

TEST(Streaming, AnIndexThatNamesNoItemReadSoFarIsAReadErrorAndLeavesNothingHalfLinked)
{
    struct Case {
        const char* Name;
        std::vector<HandRow> Rows;
        int Kept;  // rows linked before the error
    };
    const Case cases[] = {
        {"PastTheItems", {{"TTextualItem", "A", -1}, {"TTextualItem", "A1", 0}, {"TTextualItem", "X", 2}}, 2},
        {"ItsOwnPosition", {{"TTextualItem", "A", -1}, {"TTextualItem", "X", 1}}, 1},
        {"BelowMinusOne", {{"TTextualItem", "X", -2}}, 0},
        {"UnknownClass", {{"TTextualItem", "A", -1}, {"TNoSuchItem", "X", 0}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto stream = HandWritten(c.Rows);
        TPropertiesView grid(nullptr);
        TReader reader(*stream);
        EXPECT_THROW(reader.ReadRootComponent(&grid), EReadError);
        ASSERT_EQ(grid.GetAbsoluteCount(), c.Kept);
        for (int i = 0; i < c.Kept; ++i)
            EXPECT_EQ(grid.GetAbsoluteItem(i)->GetCaption(), c.Rows[static_cast<std::size_t>(i)].Caption);
        EXPECT_FALSE(grid.GetComponentState().Contains(csReading));
    }
}

TEST(Streaming, EveryTruncationOfAStreamEndsInAReadError)
{
    TPropertiesView grid(nullptr);
    BuildFixture(grid);
    const auto stream = Written(grid);
    const auto* bytes = static_cast<const std::uint8_t*>(stream->GetMemory());
    const auto size = static_cast<std::int32_t>(stream->GetSize());
    for (std::int32_t length = 0; length < size; length += 7) {
        SCOPED_TRACE(length);
        TMemoryStream cut;
        cut.WriteBuffer(bytes, length);
        cut.SetPosition(0);
        TPropertiesView copy(nullptr);
        TReader reader(cut);
        EXPECT_THROW(reader.ReadRootComponent(&copy), EReadError);
        for (int i = 0; i < copy.GetAbsoluteCount(); ++i)
            EXPECT_EQ(copy.GetAbsoluteItem(i)->GetAbsoluteIndex(), i);  // every row read is linked
    }
}

TEST(Streaming, AnAbsurdLengthIsRefusedBeforeAnythingIsAllocated)
{
    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteSignature();
    const std::uint8_t huge[4] = {0xFF, 0xFF, 0xFF, 0x7F};  // a class name of 2 GB
    stream.WriteBuffer(huge, 4);
    stream.SetPosition(0);
    TPropertiesView grid(nullptr);
    TReader reader(stream);
    EXPECT_THROW(reader.ReadRootComponent(&grid), EReadError);
}

// A root that is no grid, with rows among its children.
class Holder : public TComponent {
public:
    using TComponent::TComponent;
};

TEST(Streaming, RowsReadIntoAnythingButAGridArePassedOverAndFreed)
{
    RegisterClass(TComponentClass::Of<Holder>());
    Holder holder(nullptr);
    TMemoryStream sound;
    TWriter soundWriter(sound);
    soundWriter.WriteSignature();
    soundWriter.WriteStr("Holder");
    soundWriter.WriteStr("");
    soundWriter.WriteListEnd();
    TPropertiesView grid(nullptr);
    BuildFixture(grid);
    soundWriter.WriteComponent(grid.GetAbsoluteItem(1));  // a row with fonts, suffixes and a child list
    soundWriter.WriteComponent(grid.GetAbsoluteItem(4));  // the alignment row and its buttons
    soundWriter.WriteListEnd();
    sound.SetPosition(0);
    TReader soundReader(sound);
    soundReader.ReadRootComponent(&holder);
    EXPECT_EQ(holder.GetComponentCount(), 0) << "the rows went nowhere and were freed";
    EXPECT_EQ(sound.GetPosition(), sound.GetSize()) << "their properties were consumed";
    UnRegisterClass(TComponentClass::Of<Holder>());
}

}  // namespace
