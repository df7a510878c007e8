// Panel objects on a shown form: hover tracking with the shared timer over a fake clock, the pressed state, focus
// on click, the colour a parent without one lends, theme changes; the alignment panel's margins and minima.

#include "ThemedControlsTestSupport.h"

#include "themes/PanelObjects.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace ovrel::themes {
namespace {

using namespace ovrel::toolkit;
using testing::Shot;

// A panel object whose options the tests switch and whose events go to a shared log.
class LoggedObject : public TTBXPanelObject {
public:
    LoggedObject(TComponent* owner, std::string name, std::vector<std::string>& log)
        : TTBXPanelObject(owner), FName(std::move(name)), FLog(log)
    {}
    using TTBXPanelObject::SetFocusOnClick;
    using TTBXPanelObject::SetPushOnSpace;

protected:
    void MouseEntered() override
    {
        FLog.push_back("enter " + FName);
        TTBXPanelObject::MouseEntered();
    }
    void MouseLeft() override
    {
        FLog.push_back("leave " + FName);
        TTBXPanelObject::MouseLeft();
    }
    void Click() override
    {
        FLog.push_back("click " + FName);
        TTBXPanelObject::Click();
    }

private:
    std::string FName;
    std::vector<std::string>& FLog;
};

class PanelObjectTest : public testing::ThemedControlTest {
protected:
    void SetUp() override
    {
        ThemedControlTest::SetUp();
        A = Add("A", 10);
        B = Add("B", 100);
    }
    LoggedObject* Add(const std::string& name, int left)
    {
        auto* object = new LoggedObject(Form.get(), name, Log);
        object->SetParent(Form.get());
        object->SetBounds(left, 10, 50, 30);
        return object;
    }
    void MoveTo(const TControl& control, int x = 5, int y = 5) { Mouse(ui::WM_MOUSEMOVE, control, x, y); }
    // The background of the form, where no panel object sees the pointer.
    void MoveToGap() { MoveTo(*Form, 300, 150); }
    [[nodiscard]] bool TimerRunning() const
    {
        return !Driver.Changes().empty() && Driver.Changes().back().Interval == 125;
    }

    std::vector<std::string> Log;
    LoggedObject* A = nullptr;
    LoggedObject* B = nullptr;
};

using Events = std::vector<std::string>;

// ---- Hover ----------------------------------------------------------------------------------------------------

TEST_F(PanelObjectTest, EntersOnceAndLeavesForTheNextObject)
{
    MoveTo(*A);
    MoveTo(*A, 20, 10);
    EXPECT_EQ(Log, (Events{"enter A"}));
    EXPECT_TRUE(A->GetHovering());
    EXPECT_TRUE(TimerRunning());
    Wait(125);
    EXPECT_TRUE(A->GetHovering()) << "a tick with the pointer still there keeps the hover";

    MoveTo(*B);
    EXPECT_EQ(Log, (Events{"enter A", "leave A", "enter B"}));
    EXPECT_FALSE(A->GetHovering());
    EXPECT_TRUE(B->GetHovering());

    MoveToGap();
    Wait(125);
    MoveTo(*B);
    EXPECT_EQ(Log, (Events{"enter A", "leave A", "enter B", "leave B", "enter B"}))
        << "an object left can be entered again";
}

TEST_F(PanelObjectTest, LeavingThroughAGapEndsTheHoverWithinOneTick)
{
    MoveTo(*A);
    MoveToGap();  // the form sees this move, the object does not
    Wait(124);
    EXPECT_TRUE(A->GetHovering());
    Wait(1);
    EXPECT_FALSE(A->GetHovering());
    EXPECT_EQ(Log, (Events{"enter A", "leave A"}));
    EXPECT_FALSE(TimerRunning()) << "nothing hovers, so nothing ticks";
}

TEST_F(PanelObjectTest, AnObjectDisabledWhileHoveredStillStopsHovering)
{
    MoveTo(*A);
    A->SetEnabled(false);
    MoveToGap();
    Wait(125);
    EXPECT_FALSE(A->GetHovering());
    EXPECT_EQ(Log, (Events{"enter A", "leave A"}));
    EXPECT_FALSE(TimerRunning());

    // Disabled, it does not hover again.
    MoveTo(*A);
    EXPECT_FALSE(A->GetHovering());
}

TEST_F(PanelObjectTest, FreeingTheHoveredObjectStopsTheSharedTimer)
{
    MoveTo(*A);
    delete A;
    EXPECT_FALSE(TimerRunning());
    Wait(500);  // no tick reaches the freed object
    MoveTo(*B);
    EXPECT_EQ(Log, (Events{"enter A", "enter B"}));
    EXPECT_TRUE(TimerRunning()) << "the timer still serves the objects that remain";
}

// ---- Press, keys and focus ------------------------------------------------------------------------------------

TEST_F(PanelObjectTest, APressHoldsThePressedStateAndSpaceClicksWhenAsked)
{
    Mouse(ui::WM_LBUTTONDOWN, *A, 5, 5);
    EXPECT_TRUE(A->GetPressed());
    EXPECT_TRUE(A->GetHovering()) << "a press enters as well";
    Mouse(ui::WM_LBUTTONUP, *A, 5, 5);
    EXPECT_FALSE(A->GetPressed());
    Log.clear();

    A->SetFocus();
    for (const bool pushOnSpace : {false, true}) {
        SCOPED_TRACE(pushOnSpace ? "push on space" : "plain");
        A->SetPushOnSpace(pushOnSpace);
        ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_SPACE, " ");
        Application.ProcessMessages();
        EXPECT_EQ(A->GetPressed(), pushOnSpace);
        ui::PostKeyInput(ui::WM_KEYUP, ui::VK_SPACE);
        Application.ProcessMessages();
        EXPECT_FALSE(A->GetPressed());
    }
    EXPECT_EQ(Log, (Events{"click A"}));

    // Losing the focus lets go of a press.
    ui::PostKeyInput(ui::WM_KEYDOWN, ui::VK_SPACE, " ");
    Application.ProcessMessages();
    ASSERT_TRUE(A->GetPressed());
    B->SetFocus();
    EXPECT_FALSE(A->GetPressed());
}

TEST_F(PanelObjectTest, FocusOnClickTakesTheFocusOnlyFromWithinTheParent)
{
    auto* container = new TPanel(Form.get());
    container->SetParent(Form.get());
    container->SetBounds(0, 60, 300, 100);
    auto* object = new LoggedObject(Form.get(), "C", Log);
    object->SetParent(container);
    object->SetBounds(10, 10, 50, 30);
    object->SetFocusOnClick(true);
    auto* inside = new TPanel(Form.get());
    inside->SetParent(container);
    inside->SetBounds(100, 10, 50, 30);

    B->SetFocus();  // outside the object's parent
    Mouse(ui::WM_LBUTTONDOWN, *object, 5, 5);
    Mouse(ui::WM_LBUTTONUP, *object, 5, 5);
    EXPECT_TRUE(B->Focused());

    inside->SetFocus();
    Mouse(ui::WM_LBUTTONDOWN, *object, 5, 5);
    Mouse(ui::WM_LBUTTONUP, *object, 5, 5);
    EXPECT_TRUE(object->Focused());
}

// ---- Colour and theme changes ---------------------------------------------------------------------------------

// A parent without a colour of its own that answers its effective colour, as themed docks and panels do.
class ThemedParent : public TCustomControl {
public:
    explicit ThemedParent(TComponent* owner) : TCustomControl(owner) { SetColor(clNone); }

protected:
    void Dispatch(TMessage& message) override
    {
        if (message.Msg == WM_TBX_GETEFFECTIVECOLOR) {
            message.WParam = static_cast<std::uintptr_t>(clRed);
            message.Result = 1;
            return;
        }
        TCustomControl::Dispatch(message);
    }
};

TEST_F(PanelObjectTest, AParentWithoutAColourLendsItsEffectiveColour)
{
    auto* themed = new ThemedParent(Form.get());
    themed->SetParent(Form.get());
    themed->SetBounds(0, 60, 100, 60);
    A->SetParent(themed);
    EXPECT_EQ(A->GetColor(), clRed);
    EXPECT_TRUE(A->GetParentColor());
    Shot shot(*A);
    EXPECT_EQ(shot.Image.At(25, 15), ui::testing::Red) << "the background is erased in that colour";

    auto* plain = new TPanel(Form.get());
    plain->SetParent(Form.get());
    plain->SetColor(clBlue);
    A->SetParent(plain);
    EXPECT_EQ(A->GetColor(), clBlue) << "any other parent gives its own colour";
}

TEST_F(PanelObjectTest, AThemeChangeRepaintsTheObject)
{
    ui::HWND window = A->GetHandle();
    ui::ValidateRect(window, nullptr);
    ui::RECT dirty{};
    ASSERT_EQ(ui::GetUpdateRect(window, &dirty, ui::FALSE), ui::FALSE);
    SendToManager(ui::WM_SYSCOLORCHANGE);
    EXPECT_NE(ui::GetUpdateRect(window, &dirty, ui::FALSE), ui::FALSE);
}

// ---- Alignment panel ------------------------------------------------------------------------------------------

class AlignmentPanelTest : public PanelObjectTest {
protected:
    TTBXAlignmentPanel* AddPanel(TWinControl* parent)
    {
        auto* panel = new TTBXAlignmentPanel(Form.get());
        panel->SetParent(parent);
        return panel;
    }
    static TControl* AddChild(TControl* child, TWinControl* parent, TAlign align, int width, int height)
    {
        child->SetParent(parent);
        child->SetBounds(0, 0, width, height);
        child->SetAlign(align);
        return child;
    }
};

TEST_F(AlignmentPanelTest, MinimaAddTheMarginsTheEdgeChildrenAndTheLeastSizeOfTheClientChildren)
{
    TTBXAlignmentPanel* panel = AddPanel(Form.get());
    panel->SetBounds(0, 50, 300, 140);
    panel->GetMargins()->SetLeft(1);
    panel->GetMargins()->SetTop(2);
    panel->GetMargins()->SetRight(3);
    panel->GetMargins()->SetBottom(4);
    AddChild(new TPanel(Form.get()), panel, alTop, 0, 10);
    AddChild(new TPanel(Form.get()), panel, alBottom, 0, 5);
    AddChild(new TPanel(Form.get()), panel, alLeft, 20, 0);
    AddChild(new TPanel(Form.get()), panel, alRight, 7, 0);
    AddChild(new TPanel(Form.get()), panel, alNone, 100, 100);  // placed by hand: no claim
    AddChild(new TPanel(Form.get()), panel, alTop, 0, 50)->Hide();

    struct Case {
        const char* Name;
        std::function<TControl*(TWinControl*)> Client;
        int MinHeight;
        int MinWidth;
    };
    const Case cases[] = {
        {"a nested alignment panel counts with its own minima",
         [this](TWinControl* parent) {
             TTBXAlignmentPanel* nested = AddPanel(parent);
             nested->SetAlign(alClient);
             for (auto setter : {&TTBXControlMargins::SetLeft, &TTBXControlMargins::SetTop,
                                 &TTBXControlMargins::SetRight, &TTBXControlMargins::SetBottom})
                 (nested->GetMargins()->*setter)(6);
             AddChild(new TPanel(Form.get()), nested, alTop, 0, 9);
             return nested;
         },
         2 + 4 + 10 + 5 + (6 + 6 + 9), 1 + 3 + 20 + 7 + (6 + 6)},
        {"another control with its constraints",
         [this](TWinControl* parent) {
             TControl* child = AddChild(new TPanel(Form.get()), parent, alClient, 0, 0);
             child->GetConstraints()->SetMinHeight(13);
             child->GetConstraints()->SetMinWidth(17);
             return child;
         },
         2 + 4 + 10 + 5 + 13, 1 + 3 + 20 + 7 + 17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TControl* client = c.Client(panel);
        EXPECT_EQ(panel->GetMinHeight(), c.MinHeight);
        EXPECT_EQ(panel->GetMinWidth(), c.MinWidth);
        EXPECT_EQ(GetMinHeight(*panel), panel->GetHeight()) << "not client-aligned: its own size counts";
        delete client;
    }
}

// The Properties panel of the main window: a 32-pixel strip at its bottom filled by the Edit button.
TEST_F(AlignmentPanelTest, ChildrenFillTheAreaInsideTheMarginsAndFollowAChange)
{
    auto* properties = new TPanel(Form.get());
    properties->SetParent(Form.get());
    properties->SetBevelOuter(bvNone);
    properties->SetBounds(0, 0, 196, 190);
    TTBXAlignmentPanel* strip = AddPanel(properties);
    strip->SetHeight(32);
    strip->SetAlign(alBottom);
    auto* edit = new TButton(Form.get());
    edit->SetParent(strip);
    edit->SetCaption("Edit...");
    edit->SetAlign(alClient);
    EXPECT_EQ(strip->GetBoundsRect(), Rect(0, 158, 196, 190));
    EXPECT_EQ(edit->GetBoundsRect(), Rect(0, 0, 196, 32));

    TTBXControlMargins margins;
    margins.SetLeft(4);
    margins.SetTop(3);
    margins.SetRight(4);
    margins.SetBottom(5);
    strip->SetMargins(&margins);
    EXPECT_EQ(edit->GetBoundsRect(), Rect(4, 3, 192, 27)) << "realigned as the margins change";
    EXPECT_EQ(strip->GetMinHeight(), 3 + 5) << "the button sets no least height";

    strip->GetMargins()->SetBottom(1);
    EXPECT_EQ(edit->GetBoundsRect(), Rect(4, 3, 192, 31));
}

}  // namespace
}  // namespace ovrel::themes
