// A control linked to an action: it follows the action's properties until given its own, and a click runs
// the action.
#include "toolkit/ActnList.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <memory>

namespace ovrel::toolkit {
namespace {

class Clickable : public TControl {
public:
    using TControl::Click;
    using TControl::TControl;
};

struct Counter {
    int Executed = 0;
    int Updated = 0;
    int Clicked = 0;
    TObject* LastSender = nullptr;
    void Execute(TObject* sender)
    {
        ++Executed;
        LastSender = sender;
    }
    void Update(TObject*) { ++Updated; }
    void Click(TObject*) { ++Clicked; }
};

class ActionLinkTest : public ::testing::Test {
protected:
    ActionLinkTest()
    {
        Action->SetCaption("Open");
        Action->SetHint("Opens a file");
        Action->OnExecute = TNotifyEvent(&Calls, &Counter::Execute);
        Action->OnUpdate = TNotifyEvent(&Calls, &Counter::Update);
    }
    Counter Calls;
    std::unique_ptr<TAction> Action = std::make_unique<TAction>(nullptr);
    std::unique_ptr<Clickable> Control = std::make_unique<Clickable>(nullptr);
};

TEST_F(ActionLinkTest, ControlTakesAndFollowsTheActionsProperties)
{
    Control->SetAction(Action.get());
    EXPECT_EQ(Control->GetAction(), Action.get());
    EXPECT_EQ(Control->GetCaption(), "Open");
    EXPECT_EQ(Control->GetHint(), "Opens a file");
    EXPECT_TRUE(Control->GetControlStyle().Contains(csActionClient));

    Action->SetCaption("Open...");
    Action->SetEnabled(false);
    Action->SetVisible(false);
    EXPECT_EQ(Control->GetCaption(), "Open...");
    EXPECT_FALSE(Control->GetEnabled());
    EXPECT_FALSE(Control->GetVisible());

    // A caption given by hand is the control's own from then on.
    Control->SetCaption("Mine");
    Action->SetCaption("Open file");
    EXPECT_EQ(Control->GetCaption(), "Mine");
    Action->SetHint("Other");
    EXPECT_EQ(Control->GetHint(), "Other");
}

TEST_F(ActionLinkTest, ClickRunsTheActionUnlessTheControlHasItsOwnHandler)
{
    Control->SetAction(Action.get());
    Control->Click();
    EXPECT_EQ(Calls.Executed, 1);
    EXPECT_EQ(Calls.LastSender, Action.get());

    Control->OnClick = TNotifyEvent(&Calls, &Counter::Click);
    Control->Click();
    EXPECT_EQ(Calls.Executed, 1);
    EXPECT_EQ(Calls.Clicked, 1);

    // A disabled action does not run.
    Control->OnClick = Action->OnExecute;
    Action->SetEnabled(false);
    Control->Click();
    EXPECT_EQ(Calls.Executed, 1);
}

TEST_F(ActionLinkTest, InitiateActionUpdatesTheAction)
{
    Control->InitiateAction();
    EXPECT_EQ(Calls.Updated, 0);
    Control->SetAction(Action.get());
    Control->InitiateAction();
    EXPECT_EQ(Calls.Updated, 1);
}

TEST_F(ActionLinkTest, IdleUpdatesTheActionsOfShowingControlsOnly)
{
    TForm form(nullptr);
    auto* panel = new TWinControl(&form);
    panel->SetParent(&form);
    auto* control = new TControl(&form);
    control->SetParent(panel);
    control->SetAction(Action.get());
    TApplication application(nullptr);

    application.Idle();
    EXPECT_EQ(Calls.Updated, 0);  // the form is not shown
    form.Show();
    application.Idle();
    EXPECT_EQ(Calls.Updated, 1);
    panel->SetVisible(false);
    application.Idle();
    EXPECT_EQ(Calls.Updated, 1);
}

TEST_F(ActionLinkTest, EitherSideMayBeFreedFirst)
{
    Control->SetAction(Action.get());
    Action.reset();
    EXPECT_EQ(Control->GetAction(), nullptr);
    // The handler the control took over stays its click handler, now with the control as the sender.
    Control->Click();
    EXPECT_EQ(Calls.Executed, 1);
    EXPECT_EQ(Calls.LastSender, Control.get());

    Action = std::make_unique<TAction>(nullptr);
    Control->SetAction(Action.get());
    Control.reset();
    EXPECT_TRUE(Action->GetClients().empty());
    Action->SetCaption("still fine");
}

TEST_F(ActionLinkTest, ClearingTheActionKeepsTheLastValues)
{
    Control->SetAction(Action.get());
    Control->SetAction(nullptr);
    EXPECT_EQ(Control->GetAction(), nullptr);
    EXPECT_FALSE(Control->GetControlStyle().Contains(csActionClient));
    Action->SetCaption("Changed");
    EXPECT_EQ(Control->GetCaption(), "Open");
}

}  // namespace
}  // namespace ovrel::toolkit
