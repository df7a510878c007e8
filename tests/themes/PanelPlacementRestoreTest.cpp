// Panels saved into placement blocks and restored from them on a shown form: the docked and floating round
// trips, the first dock of a side, a form without a dock of the saved side, a panel in no dock, a floating
// place off every screen and fields out of range.
#include "DockPanelsTestSupport.h"

#include "themes/PanelPlacement.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>

namespace ovrel::themes::testing {
namespace {

using toolkit::TPoint;
using TBlock = std::array<std::uint8_t, DockablePanelPlacementSize>;

void Put32(TBlock& block, std::size_t at, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i)
        block[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

class PanelPlacementRestore : public PanelFormTest {
protected:
    TTBXDockablePanel* Stacked(TTBXMultiDock* dock, const std::string& name, int split, int width)
    {
        TTBXDockablePanel* panel = AddPanel(nullptr, name);
        panel->SetSplitHeight(split);
        panel->SetDockedWidth(width);
        panel->SetParent(dock);
        Pump();
        return panel;
    }
    static TBlock Save(const TTBXDockablePanel& panel)
    {
        TBlock block{};
        EXPECT_TRUE(SaveDockablePanelPlacement(panel, block));
        return block;
    }
};

TEST_F(PanelPlacementRestore, ADockedRoundTripBringsEachPanelBackToItsDockAndSizes)
{
    TTBXMultiDock* left = AddMultiDock(toolbars::dpLeft, "Left");
    TTBXMultiDock* right = AddMultiDock(toolbars::dpRight, "Right");
    TTBXDockablePanel* folders = Stacked(left, "Folders", 0, 196);
    TTBXDockablePanel* preview = Stacked(right, "Preview", 124, 150);
    TTBXDockablePanel* properties = Stacked(right, "Properties", 398, 150);
    const TBlock foldersBlock = Save(*folders);
    const TBlock previewBlock = Save(*preview);
    const TBlock propertiesBlock = Save(*properties);

    // The user moves things about: Folders floats, Properties goes to the left, Preview grows wider.
    folders->SetFloating(true);
    properties->SetCurrentDock(left);
    preview->SetDockedWidth(180);
    Pump();
    ASSERT_EQ(properties->GetCurrentDock(), left);

    for (auto [panel, block] : {std::pair{folders, &foldersBlock}, std::pair{preview, &previewBlock},
                                std::pair{properties, &propertiesBlock}})
        ASSERT_TRUE(RestoreDockablePanelPlacement(*panel, *block));
    Pump();
    EXPECT_EQ(folders->GetCurrentDock(), left);
    EXPECT_FALSE(folders->GetFloating());
    EXPECT_EQ(folders->GetDockedWidth(), 196);
    EXPECT_EQ(properties->GetCurrentDock(), right);
    EXPECT_EQ(properties->GetSplitHeight(), 398);
    EXPECT_EQ(preview->GetDockedWidth(), 150);
    EXPECT_EQ(right->GetStackedPanels(), (std::vector<TTBXDockablePanel*>{preview, properties}))
        << "in their saved order";
}

TEST_F(PanelPlacementRestore, AFloatingRoundTripKeepsTheFramesPlaceAndAPlaceOffEveryScreenComesBack)
{
    TTBXMultiDock* left = AddMultiDock(toolbars::dpLeft, "Left");
    TTBXDockablePanel* panel = Stacked(left, "Folders", 0, 196);
    panel->MoveFloatingTo(TPoint{300, 200});
    panel->SetFloating(true);
    Pump();
    // The frame is moved without the panel hearing of it, as a snap or an edge resize would.
    toolkit::TWinControl* frame = panel->GetParent();
    frame->SetBounds(320, 210, frame->GetWidth(), frame->GetHeight());
    TBlock block = Save(*panel);
    panel->SetCurrentDock(left);
    Pump();

    ASSERT_TRUE(RestoreDockablePanelPlacement(*panel, block));
    Pump();
    ASSERT_TRUE(panel->GetFloating());
    EXPECT_EQ((TPoint{panel->GetParent()->GetLeft(), panel->GetParent()->GetTop()}), (TPoint{320, 210}))
        << "where the frame was, not the panel's cached place";

    // Saved on a monitor that is gone: the frame is brought back onto the screen.
    Put32(block, 6, 5000);
    Put32(block, 10, -3000);
    panel->SetCurrentDock(left);
    Pump();
    ASSERT_TRUE(RestoreDockablePanelPlacement(*panel, block));
    Pump();
    const toolkit::TRect onScreen = ScreenRect(panel->GetParent());
    EXPECT_GT(onScreen.right, 0);
    EXPECT_LT(onScreen.left, 1024);
    EXPECT_GT(onScreen.bottom, 0);
    EXPECT_LT(onScreen.top, 740);
}

TEST_F(PanelPlacementRestore, TheFirstDockOfTheSavedSideWinsAndAMissingSideKeepsThePanelWhereItIs)
{
    TTBXMultiDock* first = AddMultiDock(toolbars::dpRight, "FirstRight");
    TTBXMultiDock* second = AddMultiDock(toolbars::dpRight, "SecondRight");
    TTBXMultiDock* left = AddMultiDock(toolbars::dpLeft, "Left");
    TTBXDockablePanel* panel = Stacked(second, "Preview", 124, 150);
    EXPECT_EQ(FindDockByPosition(*panel, toolbars::dpRight), first);
    const TBlock rightBlock = Save(*panel);
    ASSERT_TRUE(RestoreDockablePanelPlacement(*panel, rightBlock));
    EXPECT_EQ(panel->GetCurrentDock(), first);

    // A block of the bottom side, which this form has no dock for, and one with a side out of range.
    TBlock bottom = rightBlock;
    bottom[22] = 1;
    TBlock outOfRange = rightBlock;
    outOfRange[22] = 9;
    panel->SetCurrentDock(left);
    Pump();
    for (const TBlock* block : {&bottom, &outOfRange}) {
        ASSERT_TRUE(RestoreDockablePanelPlacement(*panel, *block));
        EXPECT_EQ(panel->GetCurrentDock(), left);
        EXPECT_EQ(panel->GetParent(), left) << "never left loose on the form";
    }
}

TEST_F(PanelPlacementRestore, APanelInNoDockSavesWithoutTouchingTheDockedHalf)
{
    TTBXMultiDock* right = AddMultiDock(toolbars::dpRight, "Right");
    TTBXDockablePanel* panel = Stacked(right, "Preview", 124, 150);
    TBlock block = Save(*panel);
    const TBlock docked = block;
    panel->SetParent(Form);  // neither floating nor docked
    Pump();
    ASSERT_FALSE(panel->GetDocked());
    ASSERT_FALSE(panel->GetFloating());
    EXPECT_TRUE(SaveDockablePanelPlacement(*panel, block));
    EXPECT_TRUE(std::equal(block.begin() + 22, block.end(), docked.begin() + 22));
    EXPECT_EQ(block[5], 0) << "not floating";
}

TEST_F(PanelPlacementRestore, HugeFieldsReachTheSettersWithinTheirRanges)
{
    TTBXMultiDock* right = AddMultiDock(toolbars::dpRight, "Right");
    TTBXDockablePanel* panel = Stacked(right, "Preview", 124, 150);
    TBlock block = Save(*panel);
    Put32(block, 31, 0x7FFFFFFF);  // DockedWidth
    Put32(block, 43, -5);  // SplitHeight
    Put32(block, 23, static_cast<std::int32_t>(0x80000000u));  // DockPos
    ASSERT_TRUE(RestoreDockablePanelPlacement(*panel, block));
    Pump();
    EXPECT_LE(panel->GetDockedWidth(), 32767);
    EXPECT_EQ(panel->GetSplitHeight(), 0);
    EXPECT_GE(panel->GetDockPos(), -32768);
    EXPECT_LT(panel->GetWidth(), 40000) << "the frame and the size did not overflow";

    TBlock shortBlock{};
    EXPECT_FALSE(RestoreDockablePanelPlacement(*panel, std::span<const std::uint8_t>(shortBlock.data(), 46)));
}

}  // namespace
}  // namespace ovrel::themes::testing
