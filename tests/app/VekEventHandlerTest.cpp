#include "app/VekEventHandler.h"

#include "platform/ui/Window.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::app {
namespace {

using namespace ovrel::toolkit;

constexpr std::uint32_t MessageAnswered = CM_BASE + 0x300;  // answered 42 by the controls below

using TLog = std::vector<std::string>;

// Controls that write down the mouse notices they get and answer one message of their own.
template <class Base> class TRecording : public Base {
public:
    TRecording(TComponent* owner, TLog& log, std::string name) : Base(owner), FLog(log), FName(std::move(name)) {}
    void Dispatch(TMessage& message) override
    {
        if (message.Msg == CM_MOUSEENTER)
            FLog.push_back(FName + " got enter");
        else if (message.Msg == CM_MOUSELEAVE)
            FLog.push_back(FName + " got leave");
        else if (message.Msg == MessageAnswered) {
            message.Result = 42;
            return;
        }
        Base::Dispatch(message);
    }

private:
    TLog& FLog;
    std::string FName;
};

// A shown form with a windowless paint box and a windowed panel side by side; the mouse is moved with real
// input through the queue.
class MouseHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form->SetBounds(0, 0, 300, 200);
        Box->SetParent(Form.get());
        Box->SetBounds(10, 10, 80, 80);
        Panel->SetParent(Form.get());
        Panel->SetBounds(150, 10, 80, 80);
        Box->OnPaint = TNotifyEvent(this, &MouseHandlerTest::Painted);
        Form->Show();
        Application.ProcessMessages();
    }
    void TearDown() override { CheckMouseControl({-1000, -1000}); }

    void MoveTo(TControl* control)
    {
        const ui::POINT screen =
            control != nullptr ? control->ClientToScreen({5, 5}) : Form->ClientToScreen({120, 150});
        ui::PostMouseInput(ui::WM_MOUSEMOVE, screen);
        Application.ProcessMessages();
    }
    TVekControlEvent Entered() { return TVekControlEvent(this, &MouseHandlerTest::MouseEnter); }
    TVekControlEvent Left() { return TVekControlEvent(this, &MouseHandlerTest::MouseLeave); }
    std::string NameOf(const TControl* control) const
    {
        return control == Box ? "box" : control == Panel ? "panel" : "other";
    }
    void MouseEnter(TControl* control)
    {
        Log.push_back("enter " + NameOf(control));
        if (FreeOnEnter) {
            delete control;
            Box = nullptr;
        }
    }
    void MouseLeave(TControl* control) { Log.push_back("leave " + NameOf(control)); }
    void Painted(TObject*) { ++Paints; }

    TApplication Application{nullptr};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TLog Log;
    TRecording<TPaintBox>* Box = new TRecording<TPaintBox>(Form.get(), Log, "box");
    TRecording<TPanel>* Panel = new TRecording<TPanel>(Form.get(), Log, "panel");
    int Paints = 0;
    bool FreeOnEnter = false;
};

TEST_F(MouseHandlerTest, EnterAndLeaveReachTheEventsAndThenTheControlWindowlessOrNot)
{
    new TVekCmMouseEvent(Box, Entered(), Left());
    new TVekCmMouseEvent(Panel, Entered(), {});
    MoveTo(Box);
    MoveTo(Panel);
    MoveTo(nullptr);
    EXPECT_EQ(Log, (TLog{"enter box", "box got enter", "leave box", "box got leave", "enter panel", "panel got enter",
                         "panel got leave"}));
}

TEST_F(MouseHandlerTest, EveryOtherMessageGoesOnToTheControl)
{
    auto* handler = new TVekCmMouseEvent(Box, Entered(), Left());
    EXPECT_TRUE(handler->GetHooked());
    EXPECT_EQ(handler->GetOwner(), Box);
    EXPECT_EQ(Box->Perform(MessageAnswered, 0, 0), 42);
    const int before = Paints;
    Box->Repaint();
    Application.ProcessMessages();
    EXPECT_GT(Paints, before);
}

TEST_F(MouseHandlerTest, FreeingTheControlUnhooksWhileItIsWholeAndFreesTheHandler)
{
    // Owned by the box but hooked into the panel: the box's end frees it, and the panel must get its own
    // procedure back before that (the sanitizers see a call into the freed handler otherwise).
    auto* handler = new TVekCmMouseEvent(Box, Entered(), Left());
    handler->SetControl(Panel);
    delete Box;
    Box = nullptr;
    MoveTo(Panel);
    EXPECT_EQ(Panel->Perform(MessageAnswered, 0, 0), 42);
    EXPECT_EQ(Log, (TLog{"panel got enter"}));

    // Hooked to its owner, as the main window uses it: freed with the control, the sanitizers watching.
    new TVekCmMouseEvent(Panel, Entered(), Left());
    delete Panel;
    Panel = nullptr;
    MoveTo(nullptr);
}

TEST_F(MouseHandlerTest, SetControlMovesTheHookAndAFreedControlLeavesTheHandlerUnhooked)
{
    auto* handler = new TVekCmMouseEvent(Box, Entered(), Left());
    handler->SetControl(Panel);
    EXPECT_EQ(handler->GetControl(), Panel);
    MoveTo(Box);
    MoveTo(Panel);
    EXPECT_EQ(Log, (TLog{"box got enter", "box got leave", "enter panel", "panel got enter"}));

    delete Panel;  // the handler stays, owned by the box
    Panel = nullptr;
    EXPECT_EQ(handler->GetControl(), nullptr);
    EXPECT_FALSE(handler->GetHooked());
    handler->SetControl(Box);
    Log.clear();
    MoveTo(nullptr);
    MoveTo(Box);
    EXPECT_EQ(Log, (TLog{"enter box", "box got enter"}));
}

TEST_F(MouseHandlerTest, AHandlerFreedAloneGivesTheControlItsProcedureBack)
{
    auto* handler = new TVekCmMouseEvent(Box, Entered(), Left());
    delete handler;
    MoveTo(Box);
    EXPECT_EQ(Log, (TLog{"box got enter"}));
    EXPECT_EQ(Box->Perform(MessageAnswered, 0, 0), 42);
}

TEST_F(MouseHandlerTest, TheEnterEventMayFreeTheControl)
{
    new TVekCmMouseEvent(Box, Entered(), Left());
    FreeOnEnter = true;
    MoveTo(Box);
    EXPECT_EQ(Box, nullptr);
    EXPECT_EQ(Log, (TLog{"enter box"}));
    MoveTo(Panel);
}

}  // namespace
}  // namespace ovrel::app
