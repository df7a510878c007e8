// The list controls on a shown form: items and selection set before the window, program sets against the
// widget's own selection and toggle signals, and the progress bar's range.
#include "../controls/ControlsTestSupport.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/StdLists.h"

#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace ovrel::toolkit {
namespace {

struct Counter {
    int Count = 0;
    void Notify(TObject*) { ++Count; }
};

class ListControlsTest : public ::testing::Test {
protected:
    ListControlsTest()
    {
        Form->SetBounds(0, 0, 400, 300);
        for (auto* control :
             {static_cast<TControl*>(List), static_cast<TControl*>(Checks), static_cast<TControl*>(Combo)})
            control->SetParent(Form.get());
        List->SetBounds(10, 10, 120, 120);
        Checks->SetBounds(140, 10, 120, 120);
        Combo->SetBounds(270, 10, 120, 22);
        List->OnClick = TNotifyEvent(&ListClicks, &Counter::Notify);
        Checks->OnClickCheck = TNotifyEvent(&CheckClicks, &Counter::Notify);
        Combo->OnClick = TNotifyEvent(&ComboClicks, &Counter::Notify);
        for (const char* s : {"alpha", "beta", "gamma"}) {
            List->Items()->Add(s);
            Checks->Items()->Add(s);
            Combo->Items()->Add(s);
        }
    }
    // What the widget signals when the user clicks a row: the control's wiring of it is checked here.
    static void UserClicksRow(TListBox* box, int row)
    {
        auto* widget = static_cast<QListWidget*>(box->GetWidget());
        widget->setCurrentRow(row);
        Q_EMIT widget->itemClicked(widget->item(row));
    }

    Counter ListClicks;
    Counter CheckClicks;
    Counter ComboClicks;
    TApplication Application{nullptr};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TListBox* List = new TListBox(Form.get());
    TCheckListBox* Checks = new TCheckListBox(Form.get());
    TComboBox* Combo = new TComboBox(Form.get());
};

TEST_F(ListControlsTest, StateSetBeforeTheWindowReachesTheWidgetAndSurvivesARecreate)
{
    List->SetItemIndex(2);
    Combo->SetItemIndex(1);
    Checks->SetChecked(1, true);
    Form->Show();
    for (const char* stage : {"made", "remade"}) {
        SCOPED_TRACE(stage);
        auto* list = static_cast<QListWidget*>(List->GetWidget());
        auto* combo = static_cast<QComboBox*>(Combo->GetWidget());
        auto* checks = static_cast<QListWidget*>(Checks->GetWidget());
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(combo->count(), 3);
        EXPECT_EQ(List->GetItemIndex(), 2);
        EXPECT_EQ(combo->currentText().toStdString(), "beta");
        EXPECT_EQ(checks->item(1)->checkState(), Qt::Checked);
        EXPECT_EQ(checks->item(0)->checkState(), Qt::Unchecked);
        List->RecreateWnd();
        Combo->RecreateWnd();
        Checks->RecreateWnd();
        Form->HandleNeeded();
        List->HandleNeeded();
        Combo->HandleNeeded();
        Checks->HandleNeeded();
    }
    // Program sets notify nobody.
    List->SetItemIndex(0);
    Combo->SetItemIndex(2);
    Checks->SetChecked(0, true);
    List->SetItemIndex(7);
    EXPECT_EQ(List->GetItemIndex(), -1);
    EXPECT_EQ(ListClicks.Count + ComboClicks.Count + CheckClicks.Count, 0);
}

TEST_F(ListControlsTest, UserSelectionsAndTogglesNotifyOnce)
{
    Form->Show();
    UserClicksRow(List, 1);
    EXPECT_EQ(List->GetItemIndex(), 1);
    EXPECT_EQ(ListClicks.Count, 1);

    // Deleting the selected entry leaves no selection.
    List->Items()->Delete(1);
    EXPECT_EQ(List->GetItemIndex(), -1);

    // A toggle in the widget (mouse or space) is recorded and reported once; a program set is not reported.
    auto* checks = static_cast<QListWidget*>(Checks->GetWidget());
    checks->item(2)->setCheckState(Qt::Checked);
    EXPECT_TRUE(Checks->GetChecked(2));
    EXPECT_EQ(CheckClicks.Count, 1);
    checks->item(2)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(Checks->GetChecked(2));
    Checks->SetChecked(2, true);
    EXPECT_EQ(checks->item(2)->checkState(), Qt::Checked);
    EXPECT_EQ(CheckClicks.Count, 2);

    auto* combo = static_cast<QComboBox*>(Combo->GetWidget());
    combo->setCurrentIndex(1);
    Q_EMIT combo->activated(1);
    EXPECT_EQ(Combo->GetItemIndex(), 1);
    EXPECT_EQ(ComboClicks.Count, 1);
}

TEST(ProgressBar, PositionStaysInsideTheRange)
{
    TApplication application{nullptr};
    TForm form(nullptr);
    auto* bar = new TProgressBar(&form);
    bar->SetParent(&form);
    struct Case {
        const char* Name;
        int Min, Max, Position;
        int ExpectedMin, ExpectedMax, ExpectedPosition;
    };
    const Case cases[] = {
        {"inside", 0, 10, 4, 0, 10, 4},
        {"below", 5, 10, 1, 5, 10, 5},
        {"above", 0, 10, 99, 0, 10, 10},
        {"max below min pulls min", 20, 10, 15, 10, 10, 10},
    };
    form.Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        bar->SetMax(100);
        bar->SetMin(0);
        bar->SetMin(c.Min);
        bar->SetMax(c.Max);
        bar->SetPosition(c.Position);
        EXPECT_EQ(bar->GetMin(), c.ExpectedMin);
        EXPECT_EQ(bar->GetMax(), c.ExpectedMax);
        EXPECT_EQ(bar->GetPosition(), c.ExpectedPosition);
        auto* widget = static_cast<QProgressBar*>(bar->GetWidget());
        EXPECT_EQ(widget->value(), c.ExpectedPosition);
        EXPECT_EQ(widget->maximum(), c.ExpectedMax);
    }
}

}  // namespace
}  // namespace ovrel::toolkit
