#include "toolkit/ListView.h"

#include "support/QtInput.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {
namespace {

// Appends rather than prepends: GCC 12 warns falsely about a literal placed before a temporary string.
std::string Cat(std::string head, const std::string& tail)
{
    head += tail;
    return head;
}

// A shown form with a multi-select list view of three columns; records the events it raises.
class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        List = new TListView(Form.get());
        List->SetParent(Form.get());
        List->SetMultiSelect(true);
        List->OnSelectItem = TLVSelectItemEvent(this, &ListViewTest::SelectItem);
        List->OnColumnClick = TLVColumnClickEvent(this, &ListViewTest::ColumnClick);
        List->OnColumnRightClick = TLVColumnRClickEvent(this, &ListViewTest::ColumnRightClick);
        List->GetColumns()->BeginUpdate();
        for (const char* caption : {"Name", "Size", "Date"})
            List->GetColumns()->Add()->SetCaption(caption);
        List->GetColumns()->EndUpdate();
        Form->Show();
    }

    // Rows whose caption is the key and whose Data is the row's original position.
    void Fill(const std::vector<std::string>& keys)
    {
        List->GetItems()->BeginUpdate();
        for (std::size_t i = 0; i < keys.size(); ++i) {
            TListItem* item = List->GetItems()->Add();
            item->SetCaption(keys[i]);
            item->GetSubItems()->Add(Cat("s", std::to_string(i)));
            item->Data = reinterpret_cast<void*>(i);
        }
        List->GetItems()->EndUpdate();
    }

    static std::size_t Id(const TListItem* item) { return reinterpret_cast<std::size_t>(item->Data); }

    std::string Cell(int row, int column) const
    {
        const QAbstractItemModel* model = List->View()->model();
        return model->data(model->index(row, column)).toString().toStdString();
    }

    // Selects rows as the user would: through the view's selection model.
    void UserSelect(std::initializer_list<int> rows, QItemSelectionModel::SelectionFlags flags)
    {
        QItemSelection selection;
        const QAbstractItemModel* model = List->View()->model();
        for (int row : rows)
            selection.select(model->index(row, 0), model->index(row, 2));
        List->View()->selectionModel()->select(selection, flags | QItemSelectionModel::Rows);
    }

    void SelectItem(TObject*, TListItem* item, bool selected)
    {
        std::string entry(1, selected ? '+' : '-');
        entry += item->GetCaption();
        Events.push_back(entry);
        if (FreeOnSelect) {
            FreeOnSelect = false;
            delete List;
            List = nullptr;
        }
    }
    void ColumnClick(TObject*, TListColumn* column) { Events.push_back(Cat("click ", column->GetCaption())); }
    void ColumnRightClick(TObject*, TListColumn* column, ui::POINT)
    {
        Events.push_back(Cat("right ", column->GetCaption()));
    }

    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TListView* List = nullptr;
    std::vector<std::string> Events;
    bool FreeOnSelect = false;
};

TEST_F(ListViewTest, ManyRowsReachTheViewThroughTheModel)
{
    std::vector<std::string> keys;
    for (int i = 0; i < 5000; ++i)
        keys.push_back(Cat("row", std::to_string(i)));
    Fill(keys);
    ASSERT_NE(List->View(), nullptr);
    EXPECT_EQ(List->View()->model()->rowCount(), 5000);
    EXPECT_EQ(List->View()->model()->columnCount(), 3);
    EXPECT_EQ(Cell(4999, 0), "row4999");
    EXPECT_EQ(Cell(4999, 1), "s4999");
    EXPECT_EQ(Cell(4999, 2), "");  // a missing sub-item is an empty cell
    EXPECT_EQ(List->View()->model()->headerData(1, Qt::Horizontal).toString().toStdString(), "Size");

    // Changes after the fill reach the view at once.
    List->GetItems()->GetItem(3)->SetCaption("renamed");
    List->GetItems()->GetItem(3)->GetSubItems()->Put(0, "changed");
    TListItem* added = List->GetItems()->Add();
    added->SetCaption("last");
    EXPECT_EQ(Cell(3, 0), "renamed");
    EXPECT_EQ(Cell(3, 1), "changed");
    EXPECT_EQ(List->View()->model()->rowCount(), 5001);
    EXPECT_EQ(Cell(5000, 0), "last");
    EXPECT_THROW((void)List->GetItems()->GetItem(5001), EListError);
}

TEST_F(ListViewTest, CustomSortIsStableAndSelectionAndFocusFollowTheirItems)
{
    Fill({"b", "a", "b", "a", "c", "a"});
    TListItems* items = List->GetItems();
    TListItem* focused = items->GetItem(4);  // "c"
    items->GetItem(2)->SetSelected(true);  // the second "b"
    items->GetItem(5)->SetSelected(true);  // the third "a"
    List->SetItemFocused(focused);

    auto byCaption = [](TListItem* a, TListItem* b, std::intptr_t descending) {
        const int order = a->GetCaption().compare(b->GetCaption());
        return descending != 0 ? -order : order;
    };
    for (std::intptr_t descending : {0, 1}) {
        SCOPED_TRACE(descending);
        ASSERT_TRUE(List->CustomSort(byCaption, descending));
        std::vector<std::size_t> order;
        for (int i = 0; i < items->GetCount(); ++i) {
            order.push_back(Id(items->GetItem(i)));
            EXPECT_EQ(items->GetItem(i)->GetIndex(), i);
        }
        const std::vector<std::size_t> expected =
            descending != 0 ? std::vector<std::size_t>{4, 0, 2, 1, 3, 5} : std::vector<std::size_t>{1, 3, 5, 0, 2, 4};
        EXPECT_EQ(order, expected);

        const std::vector<TListItem*> selected = List->SelectedItems();
        ASSERT_EQ(selected.size(), 2u);
        EXPECT_LT(selected[0]->GetIndex(), selected[1]->GetIndex());  // list order
        EXPECT_EQ(List->GetItemFocused(), focused);
        // The view shows the same rows selected and focused.
        for (int i = 0; i < items->GetCount(); ++i)
            EXPECT_EQ(List->View()->selectionModel()->isRowSelected(i, {}), items->GetItem(i)->GetSelected()) << i;
        EXPECT_EQ(List->View()->selectionModel()->currentIndex().row(), focused->GetIndex());
    }
    EXPECT_EQ(Events, (std::vector<std::string>{"+b", "+a"}));  // sorting tells nobody
}

TEST_F(ListViewTest, UserSelectionTellsEachChangedItemOnceInListOrder)
{
    Fill({"r0", "r1", "r2", "r3"});
    UserSelect({2, 0}, QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(Events, (std::vector<std::string>{"+r0", "+r2"}));
    UserSelect({1}, QItemSelectionModel::Select);  // Ctrl adds
    UserSelect({0}, QItemSelectionModel::Deselect);
    EXPECT_EQ(Events, (std::vector<std::string>{"+r0", "+r2", "+r1", "-r0"}));
    EXPECT_EQ(List->GetSelCount(), 2);
    EXPECT_EQ(List->GetSelected(), List->GetItems()->GetItem(1));
    EXPECT_EQ(List->GetItemIndex(), 1);
    EXPECT_EQ(List->GetNextItem(List->GetSelected(), sdAll, isSelected), List->GetItems()->GetItem(2));
    EXPECT_EQ(List->GetNextItem(List->GetItems()->GetItem(2), sdAll, isSelected), nullptr);

    List->View()->selectionModel()->setCurrentIndex(List->View()->model()->index(3, 0), QItemSelectionModel::NoUpdate);
    EXPECT_EQ(List->GetItemFocused(), List->GetItems()->GetItem(3));
    EXPECT_TRUE(List->GetItems()->GetItem(3)->GetFocused());
}

TEST_F(ListViewTest, ProgramSelectionNotifiesChangesOnlyAndKeepsSingleSelectExclusive)
{
    Fill({"r0", "r1", "r2"});
    List->SetItemIndex(1);
    List->SetItemIndex(1);  // unchanged: nobody is told
    List->GetItems()->GetItem(2)->SetSelected(true);
    EXPECT_EQ(Events, (std::vector<std::string>{"+r1", "+r2"}));
    EXPECT_EQ(List->GetSelCount(), 2);

    Events.clear();
    List->SetMultiSelect(false);  // one selected item at most: the first stays
    EXPECT_EQ(Events, (std::vector<std::string>{"-r2"}));
    List->GetItems()->GetItem(0)->SetSelected(true);
    EXPECT_EQ(Events, (std::vector<std::string>{"-r2", "-r1", "+r0"}));
    EXPECT_EQ(List->SelectedItems(), (std::vector<TListItem*>{List->GetItems()->GetItem(0)}));
    EXPECT_TRUE(List->View()->selectionModel()->isRowSelected(0, {}));
    EXPECT_FALSE(List->View()->selectionModel()->isRowSelected(1, {}));

    // Deleting a selected item deselects it first; the rows after it are renumbered.
    Events.clear();
    List->GetItems()->Delete(0);
    EXPECT_EQ(Events, (std::vector<std::string>{"-r0"}));
    EXPECT_EQ(List->GetSelCount(), 0);
    EXPECT_EQ(List->GetItems()->GetItem(1)->GetIndex(), 1);
    EXPECT_EQ(List->GetItemIndex(), -1);
    List->GetItems()->Clear();
    EXPECT_EQ(List->View()->model()->rowCount(), 0);
}

TEST_F(ListViewTest, HeaderClicksNameTheirColumn)
{
    Fill({"r0"});
    QHeaderView* header = List->View()->header();
    emit header->sectionClicked(1);
    emit header->customContextMenuRequested(QPoint(header->sectionPosition(2) + 2, 2));
    EXPECT_EQ(Events, (std::vector<std::string>{"click Size", "right Date"}));
}

TEST_F(ListViewTest, AHandlerMayFreeTheListView)
{
    Fill({"r0", "r1", "r2"});
    FreeOnSelect = true;
    UserSelect({0, 1, 2}, QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(List, nullptr);
    EXPECT_EQ(Events, (std::vector<std::string>{"+r0"}));
}

}  // namespace
}  // namespace ovrel::toolkit

namespace ovrel::toolkit {
namespace {

// A shown list view of three rows and two columns, driven by real Qt input through our queue.
class ListViewUserInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form.SetBounds(0, 0, 400, 300);
        List = new TListView(&Form);
        List->SetParent(&Form);
        List->SetBounds(10, 10, 300, 200);
        List->SetMultiSelect(true);
        List->GetColumns()->Add()->SetCaption("Name");
        List->GetColumns()->Add()->SetCaption("Size");
        for (const char* s : {"alpha", "beta", "gamma"})
            List->GetItems()->Add()->SetCaption(s);
        List->OnDblClick = TNotifyEvent(this, &ListViewUserInput::DoubleClicked);
        List->OnKeyDown = TKeyEvent(this, &ListViewUserInput::KeyDown);
        Form.Show();
        Application.ProcessMessages();
        ASSERT_NE(List->View(), nullptr);
    }

    QPointF RowCenter(int row) const
    {
        QTreeView* view = List->View();
        return view->visualRect(view->model()->index(row, 0)).center();
    }
    std::function<void()> Pump()
    {
        return [this] { Application.ProcessMessages(); };
    }
    void Click(int row, Qt::KeyboardModifiers modifiers)
    {
        test::SendQtClick(List->View()->viewport(), RowCenter(row), modifiers, Pump());
    }

    void DoubleClicked(TObject*) { Events.push_back("double " + std::to_string(List->GetItemFocused()->GetIndex())); }
    void KeyDown(TObject*, std::uint16_t& key, TShiftState) { Events.push_back("key " + std::to_string(key)); }

    TApplication Application{nullptr};
    TForm Form{nullptr};
    TListView* List = nullptr;
    std::vector<std::string> Events;
};

TEST_F(ListViewUserInput, CtrlClickAddsARowToTheSelection)
{
    Click(0, Qt::NoModifier);
    Click(2, Qt::ControlModifier);
    const std::vector<TListItem*> selected = List->SelectedItems();
    ASSERT_EQ(selected.size(), 2U);
    EXPECT_EQ(selected[0]->GetIndex(), 0);
    EXPECT_EQ(selected[1]->GetIndex(), 2);
}

TEST_F(ListViewUserInput, DoubleClickAndKeysReachTheInheritedEventsWithTheRowFocused)
{
    test::SendQtDoubleClick(List->View()->viewport(), RowCenter(1), Pump());
    EXPECT_EQ(Events, (std::vector<std::string>{"double 1"}));
    List->SetFocus();
    test::SendQtKey(List->View(), Qt::Key_Return, Qt::NoModifier, Pump());
    test::SendQtKey(List->View(), Qt::Key_Down, Qt::NoModifier, Pump());
    EXPECT_EQ(Events, (std::vector<std::string>{"double 1", "key 13", "key 40"}));
    // The key went on to the view: Down moved the focus to the next row.
    EXPECT_EQ(List->GetItemFocused(), List->GetItems()->GetItem(2));
}

TEST_F(ListViewUserInput, ColumnWidthIsTheOneTheUserDraggedTheHeaderTo)
{
    QHeaderView* header = List->View()->header();
    const int edge = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
    ASSERT_EQ(List->GetColumns()->GetItem(0)->GetWidth(), 50);
    test::SendQtDrag(header->viewport(), QPointF(edge, 5), {QPointF(edge + 10, 5), QPointF(edge + 40, 5)}, Pump());
    ASSERT_EQ(header->sectionSize(0), 90);
    EXPECT_EQ(List->GetColumns()->GetItem(0)->GetWidth(), 90);
    EXPECT_EQ(List->GetColumns()->GetItem(1)->GetWidth(), 50);

    // The dragged width stays through a sort, a column added while the rows are updated, and a new window.
    List->CustomSort([](TListItem* a, TListItem* b, std::intptr_t) { return b->GetCaption().compare(a->GetCaption()); },
                     0);
    List->GetItems()->BeginUpdate();
    List->GetColumns()->Add()->SetCaption("Date");
    List->GetItems()->EndUpdate();
    List->RecreateWnd();
    header = List->View()->header();
    for (int column : {0, 1, 2})
        EXPECT_EQ(header->sectionSize(column), List->GetColumns()->GetItem(column)->GetWidth()) << column;
    EXPECT_EQ(List->GetColumns()->GetItem(0)->GetWidth(), 90);
    EXPECT_EQ(List->GetColumns()->GetItem(2)->GetWidth(), 50);
}

}  // namespace
}  // namespace ovrel::toolkit
