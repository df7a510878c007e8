// Hints: shown when the mouse rests on a control, asked of the control first, hidden when the mouse leaves,
// presses or types, and forgotten when the control is freed. Time runs on a fake clock.
#include "ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {
namespace {

// Answers CM_HINTSHOW as the test tells it: veto, other text, a smaller cursor rect, or freeing itself.
class HintPad : public TControl {
public:
    using TControl::TControl;
    bool Veto = false;
    std::string Text;  // replaces the hint text when set
    bool SmallRect = false;
    bool FreeSelf = false;
    int Asked = 0;

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg != CM_HINTSHOW) {
            TControl::WndProc(message);
            return;
        }
        ++Asked;
        auto* info = reinterpret_cast<THintInfo*>(message.LParam);
        EXPECT_EQ(info->HintControl, this);
        if (!Text.empty())
            info->HintStr = Text;
        if (SmallRect)
            info->CursorRect = {0, 0, 10, 10};
        message.Result = Veto ? 1 : 0;
        if (FreeSelf)
            delete this;
    }
};

// A status-bar-like control without a hint of its own: parts A [0, 20) and B [40, 60) answer with their own
// hints and cursor rectangles; the gap between them answers with its rectangle and no text.
class PartedBar : public TControl {
public:
    using TControl::TControl;
    int Asked = 0;

protected:
    void CMHintShow(TMessage& message) override
    {
        ++Asked;
        auto* info = reinterpret_cast<THintInfo*>(message.LParam);
        const int x = info->CursorPos.x;
        const int part = x < 20 ? 0 : x < 40 ? 1 : 2;
        info->CursorRect = {part * 20, 0, part * 20 + 20, GetHeight()};
        static const std::string texts[] = {"A", "", "B"};
        info->HintStr = texts[part];
        message.Result = 0;
    }
};

struct Shown {
    std::string Text;  // empty: hidden
    ui::POINT Pos;
};

class HintTest : public ::testing::Test {
protected:
    HintTest()
    {
        ui::ClearMessageQueue();
        Form->SetBounds(0, 0, 300, 200);
        Panel->SetParent(Form.get());
        Panel->SetBounds(100, 10, 60, 40);
        Panel->SetHint("Panel");
        Panel->SetShowHint(true);
        Form->Show();
        Application.SetHintDisplay([this](const std::string& text, ui::POINT pos) { Display.push_back({text, pos}); });
        Application.OnHint = TNotifyEvent(this, &HintTest::HintChanged);
    }
    ~HintTest() override
    {
        CheckMouseControl({-1000, -1000});
        ui::ClearMessageQueue();
    }
    HintPad* AddPad(const std::string& hint)
    {
        auto* pad = new HintPad(Form.get());
        pad->SetParent(Form.get());
        pad->SetBounds(10, 10, 60, 40);
        pad->SetHint(hint);
        pad->SetShowHint(true);
        return pad;
    }
    void HintChanged(TObject*) { Hints.push_back(Application.GetHint()); }
    void MoveTo(TControl* control, int x = 5, int y = 5)
    {
        ui::PostMouseInput(ui::WM_MOUSEMOVE, control->ClientToScreen({x, y}));
        Application.ProcessMessages();
    }
    void Wait(std::uint64_t ms)
    {
        Clock.Advance(ms);
        Application.ProcessMessages();
    }
    [[nodiscard]] std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& s : Display)
            texts.push_back(s.Text);
        return texts;
    }

    // Before the application and the form: freeing them may still hide a hint.
    std::vector<Shown> Display;
    std::vector<std::string> Hints;
    ui::ManualClock Clock;
    ui::FakeTimerDriver Driver{Clock};
    ui::ScopedService<ui::IClock> ClockGuard{ui::SetClock, Clock};
    ui::ScopedService<ui::ITimerDriver> DriverGuard{ui::SetTimerDriver, Driver};
    TApplication Application{nullptr};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    HintPad* Pad = AddPad("Pad|Pad in long");
    TWinControl* Panel = new TWinControl(Form.get());
};

TEST_F(HintTest, ShowsTheShortHintNearTheCursorAfterThePause)
{
    MoveTo(Pad, 5, 5);
    EXPECT_EQ(Application.GetHint(), "Pad in long");
    EXPECT_EQ(Hints, (std::vector<std::string>{"Pad in long"}));
    Wait(499);
    EXPECT_TRUE(Display.empty());
    Wait(1);
    ASSERT_EQ(Texts(), (std::vector<std::string>{"Pad"}));
    const ui::POINT cursor = Pad->ClientToScreen({5, 5});
    EXPECT_EQ(Display[0].Pos.x, cursor.x);
    EXPECT_GT(Display[0].Pos.y, cursor.y);  // below the pointer, not under it
    EXPECT_TRUE(Application.GetHintShowing());

    // Resting on longer neither shows it again nor asks again.
    Wait(2000);
    EXPECT_EQ(Display.size(), 1u);
    EXPECT_EQ(Pad->Asked, 1);
}

TEST_F(HintTest, NothingShowsUnlessEverySwitchIsOnAndTheShortHintHasText)
{
    struct Case {
        const char* Name;
        bool Application;
        bool Control;
        const char* Hint;
        bool Expected;
    };
    const Case cases[] = {
        {"all on", true, true, "Tip", true},        {"application off", false, true, "Tip", false},
        {"control off", true, false, "Tip", false}, {"long hint only", true, true, "|only long", false},
        {"no hint", true, true, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        for (TControl* control : {static_cast<TControl*>(Pad), static_cast<TControl*>(Panel)}) {
            MoveTo(Form.get(), 250, 150);
            Application.SetShowHint(c.Application);
            control->SetShowHint(c.Control);
            control->SetHint(c.Hint);
            Display.clear();
            MoveTo(control);
            Wait(1000);
            EXPECT_EQ(!Display.empty(), c.Expected) << control->GetName();
            if (c.Expected) {
                EXPECT_EQ(Texts().front(), "Tip");
            }
        }
    }
}

TEST_F(HintTest, TheControlMayVetoOrChangeTheHint)
{
    Pad->Veto = true;
    MoveTo(Pad);
    Wait(500);
    EXPECT_EQ(Pad->Asked, 1);
    EXPECT_TRUE(Display.empty());
    EXPECT_FALSE(Application.GetHintShowing());

    Pad->Veto = false;
    Pad->Text = "Changed";
    MoveTo(Form.get(), 250, 150);
    MoveTo(Pad);
    Wait(500);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Changed"}));
}

TEST_F(HintTest, HidesOnLeavePressKeyAndLeavingTheCursorRect)
{
    struct Case {
        const char* Name;
        std::function<void()> Act;
    };
    const Case cases[] = {
        {"onto the form", [this] { MoveTo(Form.get(), 250, 150); }},
        {"out of the program",
         [this] {
             ui::PostMouseLeftApplication();
             Application.ProcessMessages();
             Application.Idle();
         }},
        {"mouse press",
         [this] {
             ui::PostMouseInput(ui::WM_LBUTTONDOWN, Pad->ClientToScreen({5, 5}));
             ui::PostMouseInput(ui::WM_LBUTTONUP, Pad->ClientToScreen({5, 5}));
             Application.ProcessMessages();
         }},
        {"key press",
         [this] {
             ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_ESCAPE);
             Application.ProcessMessages();
         }},
        {"out of the cursor rect", [this] { MoveTo(Pad, 30, 30); }},
    };
    Pad->SmallRect = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MoveTo(Form.get(), 250, 150);
        Display.clear();
        MoveTo(Pad);
        Wait(500);
        ASSERT_TRUE(Application.GetHintShowing());
        c.Act();
        EXPECT_FALSE(Application.GetHintShowing());
        EXPECT_EQ(Texts(), (std::vector<std::string>{"Pad", ""}));
        // Still over the control (or back on it without leaving it): no second hint by itself.
        Wait(2000);
        EXPECT_EQ(Display.size(), 2u);
    }
}

TEST_F(HintTest, MovingToAnotherControlWhileShownShowsItAtOnce)
{
    // Without a hint showing, the full pause starts again on the new control.
    MoveTo(Pad);
    Wait(300);
    MoveTo(Panel);
    Wait(300);
    EXPECT_TRUE(Display.empty());
    Wait(200);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Panel"}));

    Display.clear();
    MoveTo(Pad);
    EXPECT_EQ(Texts(), (std::vector<std::string>{""}));
    Wait(100);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"", "Pad"}));
    EXPECT_EQ(Application.GetHintControl(), Pad);
    EXPECT_EQ(Hints.back(), "Pad in long");
}

TEST_F(HintTest, AFreedControlTakesItsHintWithIt)
{
    MoveTo(Pad);
    Wait(500);
    delete Pad;
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Pad", ""}));
    EXPECT_EQ(Application.GetHintControl(), nullptr);
    MoveTo(Form.get(), 250, 150);
    Wait(1000);
    EXPECT_EQ(Display.size(), 2u);

    // Freed while its hint is pending, or by its own answer to the question: nothing shows.
    HintPad* pending = AddPad("Pending");
    MoveTo(pending);
    Wait(200);
    delete pending;
    Wait(1000);

    HintPad* self = AddPad("Self");
    self->FreeSelf = true;
    MoveTo(Form.get(), 250, 150);
    MoveTo(self);
    Wait(500);
    EXPECT_EQ(Display.size(), 2u);
    EXPECT_EQ(Application.GetHintControl(), nullptr);
}

TEST_F(HintTest, TurningTheSwitchOffHidesAndCancelHintWaitsForAnotherControl)
{
    MoveTo(Pad);
    Wait(500);
    Application.SetShowHint(false);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Pad", ""}));
    Wait(1000);
    EXPECT_EQ(Display.size(), 2u);

    Application.SetShowHint(true);
    Display.clear();
    MoveTo(Panel);
    Application.CancelHint();  // before the pause ends
    Wait(1000);
    EXPECT_TRUE(Display.empty());
    MoveTo(Pad);
    Wait(500);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Pad"}));
}

class PartHintTest : public HintTest {
protected:
    PartHintTest()
    {
        Bar->SetParent(Form.get());
        Bar->SetBounds(10, 100, 60, 20);
        Bar->SetShowHint(true);
    }
    PartedBar* Bar = new PartedBar(Form.get());
};

TEST_F(PartHintTest, AControlWithoutAHintOfItsOwnShowsTheHintOfThePartUnderThePointer)
{
    MoveTo(Bar, 5, 5);
    Wait(500);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A"}));
    MoveTo(Bar, 15, 10);  // still in A's rectangle: nothing new, nothing asked
    Wait(1000);
    EXPECT_EQ(Bar->Asked, 1);

    // Into B while A shows: A goes at once, B comes after the short pause.
    MoveTo(Bar, 45, 5);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A", ""}));
    Wait(50);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A", "", "B"}));

    // Into the gap: B goes, the gap is asked and has nothing to show.
    MoveTo(Bar, 30, 5);
    Wait(1000);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A", "", "B", ""}));
    EXPECT_EQ(Bar->Asked, 3);
    EXPECT_FALSE(Application.GetHintShowing());

    // Out of the gap with nothing showing: the whole pause again.
    MoveTo(Bar, 55, 5);
    Wait(499);
    EXPECT_EQ(Display.size(), 4u);
    Wait(1);
    EXPECT_EQ(Texts().back(), "B");
    EXPECT_EQ(Application.GetHintControl(), Bar);
}

TEST_F(PartHintTest, ALoopPumpingItsOwnMessagesFeedsTheHintItsMouseMoves)
{
    // The loop moves the pointer and hands the move to the hint machinery itself; nothing is posted.
    auto feed = [this](int x, int y) {
        const ui::POINT screen = Bar->ClientToScreen({x, y});
        ui::SetCursorPos(screen.x, screen.y);
        TMessage move{ui::WM_MOUSEMOVE, 0, ui::MAKELPARAM(x, y), 0};
        Application.HintMouseMessage(Bar, move);
    };
    feed(5, 5);
    Wait(500);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A"}));
    EXPECT_EQ(Application.GetHintControl(), Bar);
    feed(50, 5);
    Wait(50);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A", "", "B"}));
    TMessage nowhere{ui::WM_MOUSEMOVE, 0, 0, 0};
    Application.HintMouseMessage(nullptr, nowhere);  // no control: nothing changes
    EXPECT_TRUE(Application.GetHintShowing());
}

}  // namespace
}  // namespace ovrel::toolkit
