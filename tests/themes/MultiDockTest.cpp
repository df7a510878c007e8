// The multi-dock: what it takes, how it shares its length among its panels, how thick it is, and how it
// collapses without a visible panel.
#include "DockPanelsTestSupport.h"

#include "toolbars/TestDockableWindow.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace ovrel::themes::testing {
namespace {

using namespace ovrel::toolbars;
using namespace ovrel::toolkit;

class MultiDockTest : public PanelFormTest {
protected:
    /// A panel of the given split height and docked width, placed at pos along the dock.
    TTBXDockablePanel* Stack(TTBXMultiDock* dock, const std::string& name, int split, int pos, int width = 128)
    {
        TTBXDockablePanel* panel = AddPanel(nullptr, name);
        panel->SetSplitHeight(split);
        panel->SetSplitWidth(split);
        panel->SetDockedWidth(width);
        panel->SetDockedHeight(width);
        panel->SetDockPos(pos);
        panel->SetParent(dock);
        Pump();
        return panel;
    }
};

TEST_F(MultiDockTest, CollapsesWithoutAVisiblePanelToZeroOrOneByFixAlign)
{
    TTBXMultiDock* dock = AddMultiDock(dpLeft, "Left");
    Pump();
    EXPECT_EQ(dock->GetWidth(), 0);
    dock->SetFixAlign(true);
    EXPECT_EQ(dock->GetWidth(), 1);
    TTBXDockablePanel* panel = Stack(dock, "Only", 100, 0, 196);
    EXPECT_EQ(dock->GetWidth(), 200);
    panel->Hide();
    Pump();
    EXPECT_EQ(dock->GetWidth(), 1);
    dock->SetFixAlign(false);
    EXPECT_EQ(dock->GetWidth(), 0);
    panel->Show();
    Pump();
    EXPECT_EQ(dock->GetWidth(), 200);
    EXPECT_EQ(dock->SelfCheck(), "");
}

TEST_F(MultiDockTest, RefusesAnythingButDockablePanels)
{
    TTBXMultiDock* dock = AddMultiDock(dpTop, "Top");
    auto* window = new toolbars::testing::TTestWindow(Form);
    auto* plain = new TPanel(Form);
    EXPECT_FALSE(dock->AcceptsDockableWindow(window));
    try {
        window->SetParent(dock);
        ADD_FAILURE() << "a dockable window went into the multi-dock";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot insert TTestWindow into TTBXMultiDock");
    }
    try {
        plain->SetParent(dock);
        ADD_FAILURE() << "a panel control went into the multi-dock";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot insert TPanel into TTBXMultiDock");
    }
    EXPECT_EQ(dock->GetControlCount(), 0);
    EXPECT_EQ(dock->GetWindowCount(), 0);
    EXPECT_EQ(dock->SelfCheck(), "");

    // A panel may keep to one kind of dock.
    TTBXDock* standard = AddDock(dpBottom, "Bottom");
    TTBXDockablePanel* panel = AddPanel(nullptr, "Panel");
    EXPECT_TRUE(dock->AcceptsDockableWindow(panel));
    EXPECT_TRUE(panel->AcceptsDock(dock));
    panel->SetSupportedDocks({dkStandardDock});
    EXPECT_FALSE(panel->AcceptsDock(dock));
    EXPECT_TRUE(panel->AcceptsDock(standard));
    panel->SetSupportedDocks({dkMultiDock});
    EXPECT_FALSE(panel->AcceptsDock(standard));
}

TEST_F(MultiDockTest, SharesItsLengthSoThatThePanelsFillItExactly)
{
    TTBXMultiDock* dock = AddMultiDock(dpLeft, "Left");
    Form->SetClientHeight(301);
    // Given out of order: the dock stacks them by DockPos.
    TTBXDockablePanel* c = Stack(dock, "C", 100, 500);
    TTBXDockablePanel* a = Stack(dock, "A", 100, 0);
    TTBXDockablePanel* b = Stack(dock, "B", 100, 200);
    ASSERT_EQ(dock->GetClientHeight(), 301);
    EXPECT_EQ(Bounds(a), (TRect{0, 0, 132, 100}));
    EXPECT_EQ(Bounds(b), (TRect{0, 100, 132, 201}));
    EXPECT_EQ(Bounds(c), (TRect{0, 201, 132, 301}));
    const std::vector<TTBXDockablePanel*> order{a, b, c};
    EXPECT_EQ(dock->GetStackedPanels(), order);
    EXPECT_EQ(b->GetEffectivePos(), 100);

    // The form grows: the split sizes are shared out again, still filling the dock.
    Form->SetClientHeight(451);
    Pump();
    EXPECT_EQ(a->GetHeight() + b->GetHeight() + c->GetHeight(), 451);
    EXPECT_EQ(b->GetTop(), a->GetHeight());
    EXPECT_EQ(c->GetTop() + c->GetHeight(), 451);
}

TEST_F(MultiDockTest, KeepsAFixedPanelAtItsSizeAndGivesTheRestToTheOthers)
{
    TTBXMultiDock* dock = AddMultiDock(dpRight, "Right");
    const int caption = ui::GetSystemMetrics(ui::SM_CYSMCAPTION);
    TTBXDockablePanel* preview = AddPanel(nullptr, "Preview");
    preview->SetMinClientHeight(160);
    preview->SetMaxClientHeight(160);
    preview->SetSplitHeight(124);
    preview->SetParent(dock);
    TTBXDockablePanel* properties = Stack(dock, "Properties", 398, 300);
    const int length = dock->GetClientHeight();
    EXPECT_EQ(preview->GetHeight(), 160 + 4 + caption);
    EXPECT_EQ(preview->GetClientHeight(), 160);
    EXPECT_EQ(properties->GetTop(), preview->GetHeight());
    EXPECT_EQ(properties->GetHeight(), length - preview->GetHeight());

    Form->SetHeight(Form->GetHeight() + 60);
    Pump();
    EXPECT_EQ(preview->GetClientHeight(), 160);
    EXPECT_EQ(properties->GetHeight(), dock->GetClientHeight() - preview->GetHeight());
}

TEST_F(MultiDockTest, IsAsThickAsItsWidestVisiblePanelAndMakesThemAllThatThick)
{
    TTBXMultiDock* dock = AddMultiDock(dpRight, "Right");
    TTBXDockablePanel* narrow = Stack(dock, "Narrow", 100, 0, 150);
    TTBXDockablePanel* wide = Stack(dock, "Wide", 100, 200, 240);
    EXPECT_EQ(dock->GetWidth(), 244);
    EXPECT_EQ(narrow->GetWidth(), 244);
    EXPECT_EQ(narrow->GetDockedWidth(), 150);  // taking the dock's thickness is no resize of its own
    wide->Hide();
    Pump();
    EXPECT_EQ(dock->GetWidth(), 154);
    EXPECT_EQ(narrow->GetHeight(), dock->GetClientHeight());

    // Across a top dock the panels stack from left to right and the height is the thickness.
    TTBXMultiDock* top = AddMultiDock(dpTop, "Top");
    TTBXDockablePanel* first = Stack(top, "First", 150, 0, 60);
    TTBXDockablePanel* second = Stack(top, "Second", 150, 300, 90);
    EXPECT_EQ(top->GetHeight(), 94);
    EXPECT_EQ(first->GetHeight(), 94);
    EXPECT_EQ(second->GetLeft(), first->GetWidth());
    EXPECT_EQ(first->GetWidth() + second->GetWidth(), top->GetClientWidth());
}

}  // namespace
}  // namespace ovrel::themes::testing
