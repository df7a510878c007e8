// Focus on a shown form: CM_ENTER/CM_EXIT over subtrees, OnEnter/OnExit, the active control and Tab.
#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {
namespace {

using testing::LoggedMessage;
using testing::MessageLog;

// form
//   left (panel)   a1, a2
//   right (panel)  b1
class FocusTest : public ::testing::Test {
protected:
    FocusTest()
    {
        Form->SetBounds(10, 10, 300, 200);
        Place(Left, Form.get(), 0, 0, 150, 200, false);
        Place(Right, Form.get(), 150, 0, 150, 200, false);
        Place(A1, Left, 10, 10, 50, 20, true);
        Place(A2, Left, 10, 40, 50, 20, true);
        Place(B1, Right, 10, 10, 50, 20, true);
        Form->Show();
        for (auto [control, name] :
             {std::pair<TControl*, const char*>{Left, "left"}, {Right, "right"}, {A1, "a1"}, {A2, "a2"}, {B1, "b1"}})
            Log.Watch(control, name);
    }
    static void Place(TWinControl* c, TWinControl* parent, int x, int y, int w, int h, bool tabStop)
    {
        c->SetParent(parent);
        c->SetBounds(x, y, w, h);
        c->SetTabStop(tabStop);
    }

public:
    void Record(TObject* sender) { Events.push_back(static_cast<TComponent*>(sender)->GetName()); }

protected:
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TWinControl* Left = new TWinControl(Form.get());
    TWinControl* Right = new TWinControl(Form.get());
    TWinControl* A1 = new TWinControl(Form.get());
    TWinControl* A2 = new TWinControl(Form.get());
    TWinControl* B1 = new TWinControl(Form.get());
    MessageLog Log{{CM_ENTER, CM_EXIT}};
    std::vector<std::string> Events;
};

TEST_F(FocusTest, EnterAndExitWalkToTheCommonAncestor)
{
    A1->SetFocus();
    EXPECT_TRUE(A1->Focused());
    EXPECT_EQ(Form->GetActiveControl(), A1);
    EXPECT_EQ(Log.Entries, (std::vector<LoggedMessage>{{"left", CM_ENTER}, {"a1", CM_ENTER}}));

    Log.Entries.clear();
    A2->SetFocus();  // same panel: the panel neither exits nor enters
    EXPECT_EQ(Log.Entries, (std::vector<LoggedMessage>{{"a1", CM_EXIT}, {"a2", CM_ENTER}}));

    Log.Entries.clear();
    B1->SetFocus();
    EXPECT_EQ(Log.Entries,
              (std::vector<LoggedMessage>{{"a2", CM_EXIT}, {"left", CM_EXIT}, {"right", CM_ENTER}, {"b1", CM_ENTER}}));
    EXPECT_FALSE(A2->Focused());
    EXPECT_EQ(Form->GetActiveControl(), B1);
}

TEST_F(FocusTest, OnEnterAndOnExitFire)
{
    A1->SetName("a1");
    B1->SetName("b1");
    Left->SetName("left");
    for (TWinControl* c : {A1, B1, Left}) {
        c->OnEnter = TNotifyEvent(static_cast<FocusTest*>(this), &FocusTest::Record);
        c->OnExit = TNotifyEvent(static_cast<FocusTest*>(this), &FocusTest::Record);
    }
    A1->SetFocus();
    B1->SetFocus();
    EXPECT_EQ(Events, (std::vector<std::string>{"left", "a1", "a1", "left", "b1"}));
}

TEST_F(FocusTest, HiddenOrDisabledControlsCannotTakeTheFocus)
{
    A1->SetEnabled(false);
    EXPECT_FALSE(A1->CanFocus());
    EXPECT_THROW(A1->SetFocus(), EInvalidOperation);
    Right->SetVisible(false);
    EXPECT_FALSE(B1->CanFocus());
    EXPECT_THROW(Form->SetActiveControl(B1), EInvalidOperation);

    TForm other(nullptr);
    auto* stranger = new TWinControl(&other);
    stranger->SetParent(&other);
    EXPECT_THROW(Form->SetActiveControl(stranger), EInvalidOperation);
}

TEST_F(FocusTest, FreeingTheFocusedControlLeavesNoDanglingActiveControl)
{
    B1->SetFocus();
    Log.Forget(B1);
    delete B1;
    // The focus may pass to the freed control's parent, never stay with the freed control.
    TWinControl* active = Form->GetActiveControl();
    EXPECT_TRUE(active == nullptr || active == Right) << active;
    A1->SetFocus();  // the walk must not touch the freed control
    EXPECT_EQ(Form->GetActiveControl(), A1);
}

TEST_F(FocusTest, TabMovesThroughTheTabStopsInOrder)
{
    A1->SetFocus();
    auto tab = [](TWinControl* focused) { focused->Perform(ui::WM_KEYDOWN, ui::VK_TAB, 0); };
    tab(A1);
    EXPECT_EQ(Form->GetActiveControl(), A2);
    tab(A2);
    EXPECT_EQ(Form->GetActiveControl(), B1);
    tab(B1);
    EXPECT_EQ(Form->GetActiveControl(), A1);  // wraps around

    // A control that is no tab stop is skipped; a changed tab order is followed.
    A2->SetTabStop(false);
    tab(A1);
    EXPECT_EQ(Form->GetActiveControl(), B1);
    Right->SetTabOrder(0);
    A2->SetTabStop(true);
    std::vector<TWinControl*> order;
    Form->GetTabOrderList(order);
    EXPECT_EQ(order, (std::vector<TWinControl*>{Right, B1, Left, A1, A2}));
}

// A freed control leaves the tab order with its children, or Tab (and a modal form choosing its first
// control) would walk into freed memory.
TEST_F(FocusTest, AFreedControlLeavesTheTabOrder)
{
    Log.Forget(A2);
    delete A2;
    Log.Forget(B1);
    Log.Forget(Right);
    delete Right;
    std::vector<TWinControl*> order;
    Form->GetTabOrderList(order);
    EXPECT_EQ(order, (std::vector<TWinControl*>{Left, A1}));
    Form->SelectFirst();
    EXPECT_EQ(Form->GetActiveControl(), A1);
    A1->Perform(ui::WM_KEYDOWN, ui::VK_TAB, 0);
    EXPECT_EQ(Form->GetActiveControl(), A1);
}

// A control that wants the Tab key keeps it.
class TabEater : public TWinControl {
public:
    using TWinControl::TWinControl;
    int Tabs = 0;

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg == ui::WM_GETDLGCODE) {
            message.Result = ui::DLGC_WANTTAB;
            return;
        }
        if (message.Msg == ui::WM_KEYDOWN && message.WParam == ui::VK_TAB)
            ++Tabs;
        TWinControl::WndProc(message);
    }
};

TEST_F(FocusTest, AControlThatWantsTabKeepsIt)
{
    auto* eater = new TabEater(Form.get());
    Place(eater, Right, 10, 50, 50, 20, true);
    eater->SetFocus();
    eater->Perform(ui::WM_KEYDOWN, ui::VK_TAB, 0);
    EXPECT_EQ(eater->Tabs, 1);
    EXPECT_EQ(Form->GetActiveControl(), eater);
}

TEST_F(FocusTest, KeyPreviewLetsTheFormEatKeys)
{
    struct Eater {
        int Seen = 0;
        void Key(TObject*, std::uint16_t& key, TShiftState)
        {
            ++Seen;
            key = 0;
        }
    } formEater, controlEater;
    Form->OnKeyDown = TKeyEvent(&formEater, &Eater::Key);
    A1->OnKeyDown = TKeyEvent(&controlEater, &Eater::Key);
    A1->SetFocus();

    A1->Perform(ui::WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(formEater.Seen, 0);
    EXPECT_EQ(controlEater.Seen, 1);

    Form->SetKeyPreview(true);
    A1->Perform(ui::WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(formEater.Seen, 1);
    EXPECT_EQ(controlEater.Seen, 1);
}

struct ActivationLog {
    std::vector<std::string> Seen;
    void Activate(TObject*) { Seen.emplace_back("activate"); }
    void Deactivate(TObject*) { Seen.emplace_back("deactivate"); }
    void Destroy(TObject* sender)
    {
        Seen.push_back("destroy " + std::to_string(static_cast<TCustomForm*>(sender)->GetControlCount()));
    }
};

TEST_F(FocusTest, ReactivatingAFormGivesTheFocusBackToItsActiveControl)
{
    ActivationLog log;
    Form->OnActivate = TNotifyEvent(&log, &ActivationLog::Activate);
    Form->OnDeactivate = TNotifyEvent(&log, &ActivationLog::Deactivate);
    ui::SetActiveWindow(Form->GetHandle());
    A2->SetFocus();

    TForm other(nullptr);
    auto* field = new TWinControl(&other);
    field->SetParent(&other);
    other.Show();
    ui::SetActiveWindow(other.GetHandle());
    field->SetFocus();
    EXPECT_FALSE(A2->Focused());

    log.Seen.clear();
    ui::SetActiveWindow(Form->GetHandle());
    EXPECT_TRUE(A2->Focused());
    EXPECT_EQ(Form->GetActiveControl(), A2);
    EXPECT_EQ(other.GetActiveControl(), field);
    ASSERT_FALSE(log.Seen.empty());
    EXPECT_EQ(log.Seen.back(), "activate");
}

TEST(FormDestroy, OnDestroySeesTheWholeForm)
{
    ActivationLog log;
    auto form = std::make_unique<TForm>(nullptr);
    (new TWinControl(form.get()))->SetParent(form.get());
    form->OnDestroy = TNotifyEvent(&log, &ActivationLog::Destroy);
    form.reset();
    EXPECT_EQ(log.Seen, (std::vector<std::string>{"destroy 1"}));
}

// Answers one character as its mnemonic, as a labelled control would.
class Mnemonic : public TControl {
public:
    using TControl::TControl;
    std::vector<char32_t> Seen;

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg == CM_DIALOGCHAR) {
            Seen.push_back(static_cast<char32_t>(message.WParam));
            message.Result = message.WParam == 'x' ? 1 : 0;
            return;
        }
        TControl::WndProc(message);
    }
};

TEST_F(FocusTest, UnwantedCharactersAreOfferedToEveryControlOfTheForm)
{
    auto* label = new Mnemonic(Form.get());
    label->SetParent(Right);
    struct Presses {
        std::vector<char32_t> Seen;
        void Press(TObject*, char32_t& key) { Seen.push_back(key); }
    } presses;
    A1->OnKeyPress = TKeyPressEvent(&presses, &Presses::Press);
    A1->SetFocus();

    A1->Perform(ui::WM_CHAR, 'x', 0);
    A1->Perform(ui::WM_SYSCHAR, 'y', 0);
    EXPECT_EQ(presses.Seen, (std::vector<char32_t>{U'x'}));  // the control itself first
    EXPECT_EQ(label->Seen, (std::vector<char32_t>{U'x', U'y'}));
}

}  // namespace
}  // namespace ovrel::toolkit
