// The grid as the main window uses it: set up before its window exists, its rows rebuilt on show and again
// while scrolled down, values written and read through every row's Value over the walk of all rows, grid
// lines toggled, the splitter kept, and the window procedure hooked for the mouse-enter notice.

#include "ApplicationRows.h"
#include "GridTestSupport.h"

#include "inspector/CellEditors.h"
#include "inspector/PopupView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

// What the main window's mouse-enter handler does: takes the window procedure over, passes every message
// on, and gives the procedure back when it goes.
class EnterHook {
public:
    explicit EnterHook(TControl* control) : FControl(control), FSaved(control->GetWindowProc())
    {
        control->SetWindowProc(TWndMethod(this, &EnterHook::Proc));
    }
    ~EnterHook() { FControl->SetWindowProc(FSaved); }
    EnterHook(const EnterHook&) = delete;
    EnterHook& operator=(const EnterHook&) = delete;

    int Enters = 0;

private:
    void Proc(TMessage& message)
    {
        if (message.Msg == CM_MOUSEENTER)
            ++Enters;
        FSaved(message);
    }

    TControl* FControl;
    TWndMethod FSaved;
};

using ApplicationUse = ShownGrid;

TEST_F(ApplicationUse, TheMainWindowsGridShowsSelectsScrollsAndIsRebuilt)
{
    // Before the window exists: the options, the stored splitter position and the hook.
    ConfigureLikeTheMainWindow(*Grid, 104);
    EnterHook hook(Grid);
    Form->SetBounds(100, 100, 240, 480);
    Show(200, 400);
    BuildPropertyRows(*Grid);
    ShowSampleValues(*Grid);
    Pump();
    EXPECT_EQ(Grid->GetSplitterPosition(), 104);

    // Four categories with their rows under them, in the order of the walk.
    ASSERT_EQ(Grid->GetAbsoluteCount(), 4 + 47);
    EXPECT_EQ(Grid->GetAbsoluteItem(51), nullptr);
    int categories = 0;
    for (int i = 0; i < Grid->GetAbsoluteCount(); ++i) {
        TCustomPropertyItem* item = Grid->GetAbsoluteItem(i);
        EXPECT_TRUE(item->GetReadOnly());
        if (item->GetLevel() == 0) {
            EXPECT_EQ(item->GetCaption(), GroupCaptions[categories]);
            EXPECT_EQ(item->GetTag(), 0);
            EXPECT_EQ(item->GetFont()->GetColor(), clBlack);
            EXPECT_TRUE(item->GetFont()->GetStyle().Empty());
            ++categories;
            continue;
        }
        EXPECT_EQ(item->GetLevel(), 1);
        EXPECT_EQ(item->GetParentItem()->GetCaption(), GroupCaptions[categories - 1]);
        EXPECT_EQ(item->GetValue(), SampleValue(item->GetTag()));
    }
    EXPECT_EQ(categories, 4);

    // What the window shows: the first rows at their pitch, values right of the splitter, empty ones blank.
    TCustomPropertyItem* first = Grid->GetAbsoluteItem(1);  // "File name"
    TCustomPropertyItem* empty = nullptr;
    for (int i = 1; empty == nullptr; ++i)
        if (Grid->GetAbsoluteItem(i)->GetValue().empty())
            empty = Grid->GetAbsoluteItem(i);
    EXPECT_EQ(first->GetRowTop(), 17);
    const TColor window = Resolved(clWindow);
    EXPECT_TRUE(HasInk({17, 17, 100, 33}, window));
    EXPECT_TRUE(HasInk({108, 17, Grid->GetClientWidth(), 33}, window));
    ASSERT_GE(empty->GetRowTop(), 0);
    EXPECT_FALSE(HasInk({106, empty->GetRowTop() + 1, Grid->GetClientWidth(), empty->GetRowTop() + 15}, window));

    // The pointer comes onto the grid: the hook hears of it, and the grid behind the hook still tracks it.
    ui::PostMouseInput(ui::WM_MOUSEMOVE, Form->ClientToScreen({215, 200}));
    Pump();
    Mouse(ui::WM_MOUSEMOVE, {150, 20});
    EXPECT_EQ(hook.Enters, 1);
    EXPECT_EQ(Grid->GetHotItem(), first);

    // A click selects a row but opens no editor: every row is read only. Nothing has made a window.
    Click({150, first->GetRowTop() + 5});
    EXPECT_EQ(Grid->GetSelectedItem(), first);
    EXPECT_EQ(Grid->GetEditingItem(), nullptr);
    EXPECT_EQ(Pixel(60, first->GetRowTop() + 2), Resolved(clHighlight));
    for (int i = 0; i < Grid->GetControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(Grid->GetControl(i));
        EXPECT_TRUE(child == nullptr || !child->HandleAllocated());
    }
    TComboBoxEditor* suffix = first->GetSuffixEditor();
    EXPECT_FALSE(suffix->HandleAllocated());
    EXPECT_FALSE(suffix->GetPopup()->HandleAllocated());
    EXPECT_FALSE(first->GetEditor()->HandleAllocated());

    // Grid lines off and on again, as the configuration says.
    Grid->SetOptions(Grid->GetOptions().Exclude(poGrid));
    EXPECT_EQ(first->GetRowTop(), 16);
    Grid->SetOptions(Grid->GetOptions().Include(poGrid));
    EXPECT_EQ(first->GetRowTop(), 17);

    // Scrolled to the bottom, then every row made again, as after a change of language.
    Key(ui::VK_END);
    Pump();
    const int bottom = Grid->GetTopRow();
    ASSERT_GT(bottom, 0);
    ASSERT_EQ(bottom, Grid->MaxTopRow());
    BuildPropertyRows(*Grid);
    ShowSampleValues(*Grid);
    EXPECT_EQ(Grid->GetSelectedItem(), nullptr);
    EXPECT_EQ(Grid->GetHotItem(), nullptr);
    Pump();
    EXPECT_EQ(Grid->GetTopRow(), bottom);
    TCustomPropertyItem* last = Grid->GetAbsoluteItem(50);
    EXPECT_EQ(Grid->ItemAtPoint({150, last->GetRowTop() + 3}), last);
    EXPECT_LE(last->GetRowTop() + 17, Grid->GetClientHeight());
    EXPECT_TRUE(HasInk({17, last->GetRowTop(), 100, last->GetRowTop() + 16}, window));
    Mouse(ui::WM_MOUSEMOVE, {150, last->GetRowTop() + 3});
    EXPECT_EQ(Grid->GetHotItem(), last);

    // The user moves the splitter; the main window reads it back to store it.
    Mouse(ui::WM_LBUTTONDOWN, {104, 30});
    Mouse(ui::WM_MOUSEMOVE, {120, 30});
    Mouse(ui::WM_LBUTTONUP, {120, 30});
    EXPECT_EQ(Grid->GetSplitterPosition(), 120);
}

}  // namespace
