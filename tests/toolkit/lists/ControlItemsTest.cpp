#include "toolkit/StdLists.h"

#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

namespace ovrel::toolkit {
namespace {

std::vector<std::string> TextsOf(const TStrings& list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetCount(); ++i)
        texts.push_back(list.Get(i));
    return texts;
}

std::vector<std::string> TextsOf(const QComboBox& widget)
{
    std::vector<std::string> texts;
    for (int i = 0; i < widget.count(); ++i)
        texts.push_back(widget.itemText(i).toStdString());
    return texts;
}

std::vector<std::string> TextsOf(const QListWidget& widget)
{
    std::vector<std::string> texts;
    for (int i = 0; i < widget.count(); ++i)
        texts.push_back(widget.item(i)->text().toStdString());
    return texts;
}

struct EditCase {
    const char* Name;
    std::function<void(TControlItems&)> Edit;
    std::vector<std::string> Expected;
};

// Starts from a, b, c, d already in the widget.
const std::vector<EditCase> EditCases = {
    {"Add", [](TControlItems& l) { l.Add("e"); }, {"a", "b", "c", "d", "e"}},
    {"Insert at front", [](TControlItems& l) { l.Insert(0, "z"); }, {"z", "a", "b", "c", "d"}},
    {"Delete middle", [](TControlItems& l) { l.Delete(1); }, {"a", "c", "d"}},
    {"Put", [](TControlItems& l) { l.Put(2, "C"); }, {"a", "b", "C", "d"}},
    {"Move down", [](TControlItems& l) { l.Move(0, 2); }, {"b", "c", "a", "d"}},
    {"Move up", [](TControlItems& l) { l.Move(3, 1); }, {"a", "d", "b", "c"}},
    {"Exchange", [](TControlItems& l) { l.Exchange(3, 0); }, {"d", "b", "c", "a"}},
    {"Clear then add",
     [](TControlItems& l) {
         l.Clear();
         l.Add("x");
     },
     {"x"}},
    {"SetText", [](TControlItems& l) { l.SetText("p\nq\n"); }, {"p", "q"}},
};

TEST(ControlItems, EveryEditReachesBothWidgets)
{
    for (const auto& c : EditCases) {
        SCOPED_TRACE(c.Name);
        QComboBox combo;
        QListWidget listWidget;
        TControlItems comboItems;
        TControlItems listItems;
        for (const char* s : {"a", "b", "c", "d"}) {
            comboItems.Add(s);
            listItems.Add(s);
        }
        // Attaching late fills the widget with what is already there.
        const auto comboView = MakeComboBoxView(combo);
        const auto listView = MakeListWidgetView(listWidget, false);
        comboItems.SetView(comboView.get());
        listItems.SetView(listView.get());

        c.Edit(comboItems);
        c.Edit(listItems);
        EXPECT_EQ(TextsOf(comboItems), c.Expected);
        EXPECT_EQ(TextsOf(combo), c.Expected);
        EXPECT_EQ(TextsOf(listWidget), c.Expected);
    }
}

TEST(ControlItems, SelectionFollowsItsItemAndProgramEditsRaiseNoSignal)
{
    QComboBox combo;
    QListWidget listWidget;
    TControlItems comboItems;
    TControlItems listItems;
    const auto comboView = MakeComboBoxView(combo);
    const auto listView = MakeListWidgetView(listWidget, false);
    comboItems.SetView(comboView.get());
    listItems.SetView(listView.get());
    for (const char* s : {"a", "b", "c", "d"}) {
        comboItems.Add(s);
        listItems.Add(s);
    }
    combo.setCurrentIndex(1);
    listWidget.setCurrentRow(1);
    int notices = 0;
    QObject::connect(&combo, &QComboBox::currentIndexChanged, [&notices] { ++notices; });
    QObject::connect(&listWidget, &QListWidget::currentRowChanged, [&notices] { ++notices; });

    struct Step {
        const char* Name;
        std::function<void(TControlItems&)> Edit;
        int Current;  // row of "b" afterwards, or -1
    };
    const Step steps[] = {
        {"move b down", [](TControlItems& l) { l.Move(1, 3); }, 3},
        {"move another across b", [](TControlItems& l) { l.Move(0, 3); }, 2},
        {"exchange b with the front", [](TControlItems& l) { l.Exchange(0, 2); }, 0},
        {"insert before b", [](TControlItems& l) { l.Insert(0, "n"); }, 1},
        {"delete another", [](TControlItems& l) { l.Delete(0); }, 0},
        {"delete b", [](TControlItems& l) { l.Delete(0); }, -1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.Name);
        step.Edit(comboItems);
        step.Edit(listItems);
        EXPECT_EQ(combo.currentIndex(), step.Current);
        EXPECT_EQ(listWidget.currentRow(), step.Current);
        if (step.Current >= 0) {
            EXPECT_EQ(comboItems.Get(step.Current), "b");
            EXPECT_EQ(combo.currentText().toStdString(), "b");
        }
    }
    EXPECT_EQ(notices, 0);
}

TEST(ControlItems, ObjectsAndCheckStatesTravelWithTheirText)
{
    QListWidget listWidget;
    TControlItems items;
    const auto view = MakeListWidgetView(listWidget, true);
    items.SetView(view.get());
    TObject first;
    TObject third;
    items.AddObject("one", &first);
    items.Add("two");
    items.AddObject("three", &third);
    items.SetChecked(0, true);

    items.Move(0, 2);
    EXPECT_EQ(TextsOf(items), (std::vector<std::string>{"two", "three", "one"}));
    EXPECT_EQ(items.GetObject(2), &first);
    EXPECT_EQ(items.GetObject(1), &third);
    EXPECT_EQ(items.IndexOfObject(&first), 2);
    EXPECT_TRUE(items.GetChecked(2));
    EXPECT_FALSE(items.GetChecked(0));
    EXPECT_EQ(listWidget.item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(listWidget.item(0)->checkState(), Qt::Unchecked);

    items.SetChecked(2, false);
    EXPECT_EQ(listWidget.item(2)->checkState(), Qt::Unchecked);

    // A toggle the widget made is recorded without being written back.
    listWidget.item(1)->setCheckState(Qt::Checked);
    items.CheckToggledByView(1, true);
    EXPECT_TRUE(items.GetChecked(1));
    EXPECT_EQ(listWidget.item(1)->checkState(), Qt::Checked);
}

class RecordingView final : public IItemView {
public:
    void ItemInserted(int, const std::string&, bool) override { ++Calls; }
    void ItemDeleted(int) override { ++Calls; }
    void ItemTextChanged(int, const std::string&) override { ++Calls; }
    void ItemCheckChanged(int, bool) override { ++Calls; }
    void ItemMoved(int, int) override { ++Calls; }
    void ItemsCleared() override { ++Calls; }
    int Calls = 0;
};

TEST(ControlItems, UnchangedValuesAndBadIndexesLeaveTheViewAlone)
{
    TControlItems items;
    items.Add("a");
    items.Add("b");
    RecordingView view;
    items.SetView(&view);
    view.Calls = 0;

    items.Put(0, "a");
    items.SetChecked(1, false);
    items.Move(1, 1);
    items.Exchange(0, 0);
    EXPECT_EQ(view.Calls, 0);

    EXPECT_THROW(items.Delete(2), EListError);
    EXPECT_THROW(items.Insert(3, "x"), EListError);
    EXPECT_THROW(items.Move(0, 2), EListError);
    EXPECT_THROW(items.SetChecked(-1, true), EListError);
    EXPECT_EQ(view.Calls, 0);
    EXPECT_EQ(TextsOf(items), (std::vector<std::string>{"a", "b"}));

    items.SetView(nullptr);
    items.Clear();
    EXPECT_EQ(view.Calls, 0);
}

}  // namespace
}  // namespace ovrel::toolkit
