// The item model without showing a window: the walks, row geometry, the change reports a grid hears, Add's
// defaults, Assign and the textual rows.

#include "inspector/CellEditors.h"
#include "inspector/PropertyItemClasses.h"
#include "inspector/PropertyItems.h"

#include "InspectorTestSupport.h"

#include "toolkit/SysUtils.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;

namespace {

const TPropertyItemClass Textual = TPropertyItemClass::Of<TTextualItem>();
const TPropertyItemClass Plain = TPropertyItemClass::Of<TCustomPropertyItem>();

TCustomPropertyItem* AddTo(TCustomPropertyItem* parent, const std::string& caption)
{
    return parent->GetItems()->Add(Textual, caption, "");
}

std::vector<std::string> Captions(const std::vector<Report>& reports, int kind)
{
    std::vector<std::string> captions;
    for (const Report& r : reports)
        if (r.Kind == kind)
            captions.push_back(r.Caption);
    return captions;
}

// Three levels under two categories, with hidden items and a collapsed subtree:
//   A            B
//     A1           B1 (hidden)
//       A1a          B1a
//       A1b (hidden) B2
//     A2 (collapsed)
//       A2a
//         A2ai
class ItemTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        A = View.Categories()->Add(Textual, "A", "");
        A1 = AddTo(A, "A1");
        A1a = AddTo(A1, "A1a");
        A1b = AddTo(A1, "A1b");
        A2 = AddTo(A, "A2");
        A2a = AddTo(A2, "A2a");
        A2ai = AddTo(A2a, "A2ai");
        B = View.Categories()->Add(Textual, "B", "");
        B1 = AddTo(B, "B1");
        B1a = AddTo(B1, "B1a");
        B2 = AddTo(B, "B2");
        A1b->SetVisible(false);
        A2->SetExpanded(false);
        B1->SetVisible(false);
        View.Reports.clear();
        View.ListChanges = 0;
    }

    std::vector<TCustomPropertyItem*> All() const { return {A, A1, A1a, A1b, A2, A2a, A2ai, B, B1, B1a, B2}; }

    FakeView View;
    TCustomPropertyItem *A, *A1, *A1a, *A1b, *A2, *A2a, *A2ai, *B, *B1, *B1a, *B2;
};

TEST_F(ItemTree, OnePreOrderWalkGivesAbsoluteIndicesAndItems)
{
    const auto all = All();
    EXPECT_EQ(View.Categories()->GetAbsoluteCount(), 11);
    for (int i = 0; i < static_cast<int>(all.size()); ++i) {
        SCOPED_TRACE(all[i]->GetCaption());
        EXPECT_EQ(all[i]->GetAbsoluteIndex(), i);
        EXPECT_EQ(View.Categories()->GetAbsoluteItem(i), all[i]);
    }
    EXPECT_EQ(View.Categories()->GetAbsoluteItem(11), nullptr);
    EXPECT_EQ(View.Categories()->GetAbsoluteItem(-1), nullptr);
    EXPECT_EQ(View.Categories()->GetAbsoluteItem(0), A);
    // A parent's position in the same walk links each item to its parent.
    for (TCustomPropertyItem* item : all) {
        const TCustomPropertyItem* parent = item->GetParentItem();
        EXPECT_EQ(item->GetParentIndex(), parent != nullptr ? parent->GetAbsoluteIndex() : -1) << item->GetCaption();
    }
    EXPECT_EQ(A2ai->GetParentIndex(), 5);
    EXPECT_EQ(B->GetParentIndex(), -1);
}

TEST_F(ItemTree, LevelsIndentsParentsAndIndices)
{
    struct Row {
        TCustomPropertyItem* Item;
        int Level;
        int Indent;
        TCustomPropertyItem* Parent;
        int Index;
    };
    const Row rows[] = {{A, 0, 0, nullptr, 0}, {A1, 1, 0, A, 0},      {A1b, 2, 14, A1, 1},
                        {A2, 1, 0, A, 1},      {A2ai, 3, 28, A2a, 0}, {B2, 1, 0, B, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Item->GetCaption());
        EXPECT_EQ(row.Item->GetLevel(), row.Level);
        EXPECT_EQ(row.Item->GetIndent(), row.Indent);
        EXPECT_EQ(row.Item->GetParentItem(), row.Parent);
        EXPECT_EQ(row.Item->GetIndex(), row.Index);
        EXPECT_EQ(row.Item->GetView(), &View);
    }
    EXPECT_EQ(A->GetCount(), 2);
    EXPECT_TRUE(A1a->AncestorsExpanded());
    EXPECT_FALSE(A2a->AncestorsExpanded());
    EXPECT_FALSE(A2ai->AncestorsExpanded());
}

TEST_F(ItemTree, RowTopsCountShownRowsAtThePitchLessTheScrolledRows)
{
    struct Case {
        bool GridLines;
        int TopRow;
        std::vector<int> Tops;  // A, A1, A1a, A2, B, B2
    };
    const Case cases[] = {
        {true, 0, {0, 17, 34, 51, 68, 85}},
        {false, 0, {0, 16, 32, 48, 64, 80}},
        {true, 2, {-34, -17, 0, 17, 34, 51}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "grid lines " << c.GridLines << ", top row " << c.TopRow);
        View.GridLines = c.GridLines;
        View.TopRow = c.TopRow;
        const TCustomPropertyItem* shown[] = {A, A1, A1a, A2, B, B2};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(shown[i]->GetRowTop(), c.Tops[i]) << shown[i]->GetCaption();
        // Hidden items, items under a hidden or collapsed parent: not shown, whatever the scroll.
        for (const TCustomPropertyItem* item : {A1b, A2a, A2ai, B1, B1a})
            EXPECT_EQ(item->GetRowTop(), -1) << item->GetCaption();
    }
    // A hidden item keeps its place in the absolute order.
    EXPECT_EQ(B1->GetAbsoluteIndex(), 8);
    A2->SetExpanded(true);
    EXPECT_EQ(A2ai->GetRowTop(), 51);  // top row 2: A2 at 17, A2a at 34, A2ai at 51
}

TEST_F(ItemTree, RowsAreFoundByPositionAndByNeighbour)
{
    EXPECT_EQ(VisibleRowCount(View.Categories()), 6);  // A, A1, A1a, A2, B, B2
    struct Hit {
        int Y;
        int TopRow;
        TCustomPropertyItem* Row;
    };
    const Hit hits[] = {{0, 0, A},        {16, 0, A},  {17, 0, A1}, {101, 0, B2},     {102, 0, nullptr},
                        {-1, 0, nullptr}, {0, 2, A1a}, {-34, 2, A}, {-35, 2, nullptr}};
    for (const Hit& hit : hits) {
        SCOPED_TRACE(::testing::Message() << "y " << hit.Y << ", top row " << hit.TopRow);
        EXPECT_EQ(RowAt(View.Categories(), hit.Y, 17, hit.TopRow), hit.Row);
    }
    const std::pair<TCustomPropertyItem*, TCustomPropertyItem*> below[] = {{A, A1}, {A1a, A2},     {A2, B},
                                                                           {B, B2}, {B2, nullptr}, {A2a, nullptr}};
    for (const auto& [item, next] : below)
        EXPECT_EQ(NextRow(item), next) << item->GetCaption();
    const std::pair<TCustomPropertyItem*, TCustomPropertyItem*> above[] = {{A, nullptr}, {A2, A1a}, {B, A2}, {B2, B}};
    for (const auto& [item, previous] : above)
        EXPECT_EQ(PreviousRow(item), previous) << item->GetCaption();
    A2->SetExpanded(true);
    EXPECT_EQ(NextRow(A2), A2a);
    EXPECT_EQ(PreviousRow(B), A2ai);
}

TEST_F(ItemTree, CellRectanglesByPart)
{
    View.TopRow = 0;  // A1 at 17, 16 high; splitter 100, width 300, suffix 60
    A1->SetShowPreview(true);
    A1->SetShowSuffix(true);
    struct Row {
        int Part;
        TRect Expected;
    };
    const Row withBoth[] = {
        {0, {0, 17, 300, 33}},
        {1, {}},
        {2, {14, 17, 300, 33}},
        {3, {0, 17, 14, 33}},
        {4, {}},
        {5, {101, 17, 130, 33}},
        {6, {100, 17, 101, 33}},
        {7, {240, 17, 300, 33}},
        {8, {130, 17, 240, 33}},
        {9, {101, 17, 300, 33}},
        {10, {}},
    };
    for (const Row& row : withBoth) {
        SCOPED_TRACE(row.Part);
        EXPECT_EQ(A1->GetCellRect(row.Part), row.Expected);
    }
    A1->SetShowPreview(false);
    A1->SetShowSuffix(false);
    EXPECT_EQ(A1->GetCellRect(ipPreviewBox), TRect{});
    EXPECT_EQ(A1->GetCellRect(ipSuffixCell), TRect{});
    EXPECT_EQ(A1->GetCellRect(ipValueText), (TRect{101, 17, 300, 33}));
    EXPECT_EQ(A1a->GetCellRect(ipMarginAndIndent), (TRect{0, 34, 28, 50}));
    EXPECT_EQ(A->GetCellRect(ipValueCell), TRect{});  // category rows have no value cell
    EXPECT_EQ(A2a->GetCellRect(ipRow), TRect{});  // not shown

    // Preview and suffix count only for textual rows.
    TCustomPropertyItem* plain = B->GetItems()->Add(Plain, "Plain", "");
    plain->SetShowPreview(true);
    plain->SetShowSuffix(true);
    EXPECT_EQ(plain->GetCellRect(ipPreviewBox), TRect{});
    EXPECT_EQ(plain->GetCellRect(ipSuffixCell), TRect{});
    EXPECT_EQ(plain->GetCellRect(ipValueText), TRect{});
    EXPECT_EQ(plain->GetCellRect(ipValueCell).left, 101);
}

struct KindRow {
    const char* Name;
    std::function<void(TCustomPropertyItem*)> Action;
    std::vector<int> Kinds;
};

TEST_F(ItemTree, EveryWriterReportsItsKindsUpToTheGrid)
{
    TFont other;
    other.SetName("Other");
    TStringList suffixes;
    suffixes.Add("m");
    const KindRow rows[] = {
        {"Caption", [](auto* i) { i->SetCaption("New"); }, {0}},
        {"Color", [](auto* i) { i->SetColor(clRed); }, {0, 6}},
        {"Font", [&](auto* i) { i->SetFont(&other); }, {0}},
        {"FontChange", [](auto* i) { i->GetFont()->SetSize(12); }, {0}},
        {"ImageIndex", [](auto* i) { i->SetImageIndex(3); }, {0}},
        {"ValueFont", [&](auto* i) { i->SetValueFont(&other); }, {0, 6}},
        {"ValueFontChange", [](auto* i) { i->GetValueFont()->SetColor(clRed); }, {0}},
        {"Enabled", [](auto* i) { i->SetEnabled(false); }, {3}},
        {"Collapse", [](auto* i) { i->SetExpanded(false); }, {1}},
        {"ExpandUnchanged", [](auto* i) { i->SetExpanded(true); }, {}},
        {"CollapseCollapsed", [](auto* i) { i->SetExpanded(false), i->SetExpanded(false); }, {1}},
        {"CollapseLocked", [](auto* i) { i->SetExpandLock(true), i->SetExpanded(false); }, {}},
        {"ReadOnly", [](auto* i) { i->SetReadOnly(true); }, {6}},
        {"ShowPreview", [](auto* i) { i->SetShowPreview(true); }, {6}},
        {"ShowSuffix", [](auto* i) { i->SetShowSuffix(true); }, {6}},
        {"ShowSuffixUnchanged", [](auto* i) { i->SetShowSuffix(false); }, {}},
        {"EmptyValue", [](auto* i) { i->SetEmptyValue("none"), i->SetEmptyValue("none"); }, {6}},
        {"EmptyValueEmptied", [](auto* i) { i->SetEmptyValue("none"), i->SetEmptyValue(""); }, {6, 6}},
        {"SuffixValue", [](auto* i) { i->SetSuffixValue("m"); }, {9}},
        {"Visible", [](auto* i) { i->SetVisible(false); }, {14}},
        {"Value", [](auto* i) { i->SetValue("v"); }, {7}},
        {"AsString", [](auto* i) { i->SetAsString("v"); }, {7}},
        {"AsInteger", [](auto* i) { i->SetAsInteger(3); }, {7}},
        {"AsFloat", [](auto* i) { i->SetAsFloat(2.5); }, {7}},
        {"AsBoolean", [](auto* i) { i->SetAsBoolean(true); }, {7}},
        {"PlainStores",
         [&](auto* i) {
             i->SetSuffixes(suffixes);
             i->SetHelpContext(5);
             i->SetMapXML("x");
             i->SetTagString("t");
             i->SetSuffixStyle(ssDropDownList);
             i->SetExpandLock(true);
             i->SetMapProperty("Width");
         },
         {}},
    };
    for (const KindRow& row : rows) {
        SCOPED_TRACE(row.Name);
        FakeView view;
        TCustomPropertyItem* category = view.Categories()->Add(Textual, "Cat", "");
        TCustomPropertyItem* item = AddTo(AddTo(category, "Mid"), "Leaf");  // two lists below the top
        view.Reports.clear();
        row.Action(item);
        std::vector<int> kinds;
        for (const Report& r : view.Reports) {
            EXPECT_EQ(r.Index, -1);
            kinds.push_back(r.Kind);
        }
        EXPECT_EQ(kinds, row.Kinds);
    }
}

TEST(ItemReports, NothingIsReportedWithoutAGridOrWhileAnItemIsRead)
{
    // A list whose owner is no grid: its callback never hears of its items.
    TPropertyItems loose(nullptr);
    std::vector<int> heard;
    struct Ear {
        std::vector<int>* Heard;
        void Hear(TObject*, TCustomPropertyItem*, int, std::uint8_t kind) { Heard->push_back(kind); }
    } ear{&heard};
    loose.OnItemChange = TItemChangeEvent(&ear, &Ear::Hear);
    TCustomPropertyItem* item = loose.Add(Textual, "Loose", "value");
    item->SetCaption("x");
    item->SetValue("y");
    delete item;
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(loose.GetCount(), 0);

    FakeView view;
    TCustomPropertyItem* read = view.Categories()->Add(Textual, "Read", "");
    view.Reports.clear();
    BeginLoading(*read);
    read->SetCaption("x");
    read->SetValue("y");
    read->SetVisible(false);
    EndLoading(*read);
    EXPECT_TRUE(view.Reports.empty());
    read->SetCaption("z");
    EXPECT_EQ(view.Reports.size(), 1u);
}

TEST_F(ItemTree, FreeingReportsWhileTheItemIsWholeAndLeavesTheList)
{
    std::vector<std::string> seen;
    View.OnReport = [&](TCustomPropertyItem* item, int kind) {
        if (kind != icDestroying)
            return;
        // The item, its fonts, its children and its way up to the grid are all still there.
        seen.push_back(item->GetCaption() + "/" + std::to_string(item->GetCount()) + "/" + item->GetFont()->GetName() +
                       "/" + (item->GetView() == &View ? "view" : "none"));
    };
    (void)A2->GetEditor();
    delete A2;
    // The item first, then its children as Clear frees them (depth first), each while its parent is whole.
    EXPECT_EQ(seen,
              (std::vector<std::string>{"A2/1/DejaVu Sans/view", "A2ai/0/DejaVu Sans/view", "A2a/0/DejaVu Sans/view"}));
    EXPECT_EQ(A->GetCount(), 1);
    EXPECT_EQ(View.Categories()->GetAbsoluteCount(), 8);
    EXPECT_EQ(B->GetAbsoluteIndex(), 4);
}

TEST_F(ItemTree, ClearFreesEachItemAfterItsChildrenInOrder)
{
    View.Categories()->Clear();
    EXPECT_EQ(Captions(View.Reports, icDestroying),
              (std::vector<std::string>{"A1a", "A1b", "A1", "A2ai", "A2a", "A2", "A", "B1a", "B1", "B2", "B"}));
    EXPECT_EQ(View.Categories()->GetCount(), 0);
    EXPECT_EQ(View.Categories()->GetAbsoluteCount(), 0);
    EXPECT_GE(View.ListChanges, 1);
}

TEST(ItemAdd, CategoryRowsAreBoldGreyAndReadOnlyAndRowsTakeTheGridsLook)
{
    FakeView view;
    view.Color = clCream;
    TCustomPropertyItem* category = view.Categories()->Add(Textual, "General", "");
    EXPECT_EQ(view.ListChanges, 1);
    EXPECT_EQ(category->GetCaption(), "General");
    EXPECT_TRUE(category->GetReadOnly());
    EXPECT_TRUE(category->GetFont()->GetStyle().Contains(fsBold));
    EXPECT_EQ(category->GetFont()->GetColor(), clGrayText);
    EXPECT_EQ(category->GetFont()->GetName(), "DejaVu Sans");
    EXPECT_EQ(category->GetValueFont()->GetName(), "DejaVu Sans");
    EXPECT_EQ(category->GetValueFont()->GetColor(), clBlack);
    EXPECT_EQ(category->GetColor(), clCream);
    EXPECT_EQ(category->GetValue(), "");

    TCustomPropertyItem* row = category->GetItems()->Add(Textual, "Width", "640");
    EXPECT_EQ(view.ListChanges, 2);  // a child list's change reaches the grid too
    EXPECT_FALSE(row->GetReadOnly());
    EXPECT_FALSE(row->GetFont()->GetStyle().Contains(fsBold));
    EXPECT_EQ(row->GetFont()->GetColor(), clBlack);
    EXPECT_EQ(row->GetValue(), "640");
    EXPECT_EQ(row->GetColor(), clCream);

    // Item defaults, before the grid gives its own.
    TPropertyItems loose(nullptr);
    TCustomPropertyItem* item = loose.Add(Plain, "Loose", "");
    EXPECT_EQ(item->GetColor(), clWindow);
    EXPECT_TRUE(item->GetEnabled());
    EXPECT_TRUE(item->GetExpanded());
    EXPECT_TRUE(item->GetVisible());
    EXPECT_EQ(item->GetImageIndex(), -1);
    EXPECT_TRUE(item->GetReadOnly());  // level 0, as every category row
    EXPECT_EQ(item->GetSuffixStyle(), ssDropDown);
}

TEST(ItemAssign, CopiesTheRowThroughItsWritersWithTheirReports)
{
    FakeView view;
    TCustomPropertyItem* category = view.Categories()->Add(Textual, "Cat", "");
    TCustomPropertyItem* source = AddTo(category, "Source");
    source->SetEmptyValue("none");
    source->SetEnabled(false);
    source->SetImageIndex(4);
    source->SetReadOnly(true);
    source->GetSuffixes()->Add("mm");
    source->SetSuffixValue("mm");
    source->SetValue("12");
    source->GetValueFont()->SetSize(14);
    source->SetHelpContext(9);  // not copied
    TCustomPropertyItem* target = AddTo(category, "Target");
    view.Reports.clear();

    target->Assign(source);
    EXPECT_EQ(target->GetCaption(), "Source");
    EXPECT_EQ(target->GetEmptyValue(), "none");
    EXPECT_FALSE(target->GetEnabled());
    EXPECT_EQ(target->GetImageIndex(), 4);
    EXPECT_TRUE(target->GetReadOnly());
    EXPECT_EQ(target->GetSuffixes()->GetText(), source->GetSuffixes()->GetText());
    EXPECT_EQ(target->GetFullText(), "12mm");
    EXPECT_EQ(target->GetValueFont()->GetSize(), 14);
    EXPECT_EQ(target->GetHelpContext(), 0);
    std::vector<int> kinds;
    for (const Report& r : view.Reports)
        kinds.push_back(r.Kind);
    // Caption, EmptyValue, Enabled, Font, ImageIndex, ReadOnly, SuffixValue, Value, ValueFont.
    EXPECT_EQ(kinds, (std::vector<int>{0, 6, 3, 0, 0, 6, 9, 7, 0, 6}));
    EXPECT_THROW(target->Assign(view.Categories()), EConvertError);
}

TEST(TextualItems, HoldTextAndReadNumbersFromIt)
{
    FakeView view;
    auto* item = static_cast<TTextualItem*>(AddTo(view.Categories()->Add(Textual, "Cat", ""), "Row"));
    item->SetAsInteger(42);
    EXPECT_EQ(item->GetValue(), "42");
    EXPECT_EQ(item->GetAsInteger(), 42);
    item->SetAsFloat(2.5);
    EXPECT_EQ(item->GetAsString(), "2.5");
    EXPECT_DOUBLE_EQ(item->GetAsFloat(), 2.5);
    item->SetValue("not a number");
    EXPECT_EQ(item->GetAsInteger(), 0);
    EXPECT_DOUBLE_EQ(item->GetAsFloat(), 0.0);
    EXPECT_FALSE(item->GetAsBoolean());

    const TFormatSettings saved = FormatSettings();
    FormatSettings().DecimalSeparator = ',';
    item->SetAsFloat(2.5);
    EXPECT_EQ(item->GetValue(), "2,5");
    EXPECT_DOUBLE_EQ(item->GetAsFloat(), 2.5);
    FormatSettings() = saved;

    EXPECT_TRUE(item->CanEdit());
    EXPECT_TRUE(item->HasPreview());
    EXPECT_NE(dynamic_cast<TTextualItemDisplay*>(item->GetDisplay()), nullptr);
    TPropertyItems loose(nullptr);
    EXPECT_EQ(dynamic_cast<TTextualItemDisplay*>(loose.Add(Plain, "p", "")->GetDisplay()), nullptr);
}

TEST(TextualItems, EditorsAreMadeWhenAskedForAndMakeNoWindowWhileHidden)
{
    FakeView view;
    const int widgets = QApplication::allWidgets().size();
    TCustomPropertyItem* category = view.Categories()->Add(Textual, "Cat", "");
    for (int i = 0; i < 51; ++i)
        category->GetItems()->Add(Textual, "Row " + std::to_string(i), "value");
    EXPECT_EQ(category->GetComponentCount(), 0) << "no editor until one is asked for";

    auto* item = static_cast<TTextualItem*>(category->GetItems()->GetItem(3));
    item->SetPasswordChar(u'*');
    auto* editor = dynamic_cast<TTextualEditor*>(item->GetEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetOwner(), item);
    EXPECT_EQ(editor->GetPasswordChar(), u'*');
    EXPECT_FALSE(editor->GetVisible());
    TComboBoxEditor* suffix = item->GetSuffixEditor();
    EXPECT_FALSE(suffix->GetVisible());
    EXPECT_NE(dynamic_cast<TPopupList*>(suffix->GetPopup()), nullptr);
    EXPECT_FALSE(suffix->GetPopup()->GetVisible());
    EXPECT_NE(dynamic_cast<TDropDownButton*>(suffix->GetButton()), nullptr);
    EXPECT_FALSE(editor->HandleAllocated());
    EXPECT_FALSE(suffix->HandleAllocated());
    EXPECT_FALSE(suffix->GetPopup()->HandleAllocated());
    EXPECT_EQ(QApplication::allWidgets().size(), widgets);
    TPropertyItems loose(nullptr);
    EXPECT_EQ(loose.Add(Plain, "no editor", "")->GetEditor(), nullptr);
}

}  // namespace
