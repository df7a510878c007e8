// The grid shown on the offscreen platform, driven through the queue: rows under points, the splitter,
// keys over hidden and collapsed rows, the expand box, double clicks, the wheel, what it paints, what its
// writers repaint, the input its rows' displays get, focus, events, and rows freed under it.

#include "GridTestSupport.h"

#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

// A tree of three levels, with a hidden row and collapsed rows:
//   A: A1, A2 (hidden), A3 (collapsed: A3a), A4: A4a, A4b: A4b1
//   B: B1, B2
//   C (collapsed): C1
class GridTest : public ShownGrid {
public:
    GridTest()
    {
        A = Add(nullptr, "A");
        A1 = Add(A, "A1");
        A2 = Add(A, "A2");
        A3 = Add(A, "A3");
        A3a = Add(A3, "A3a");
        A4 = Add(A, "A4");
        A4a = Add(A4, "A4a");
        A4b = Add(A4, "A4b");
        A4b1 = Add(A4b, "A4b1");
        B = Add(nullptr, "B");
        B1 = Add(B, "B1");
        B2 = Add(B, "B2");
        C = Add(nullptr, "C");
        C1 = Add(C, "C1");
        A2->SetVisible(false);
        A3->SetExpanded(false);
        C->SetExpanded(false);
    }

    // Read only, as the application's rows: the keys and clicks stay with the grid, no editor opens.
    TCustomPropertyItem* Add(TCustomPropertyItem* parent, const std::string& caption)
    {
        TPropertyItems* list = parent != nullptr ? parent->GetItems() : Grid->GetCategories();
        TCustomPropertyItem* item =
            list->Add(TPropertyItemClass::Of<TTextualItem>(), caption, parent != nullptr ? "v" + caption : "");
        item->SetReadOnly(true);
        return item;
    }
    /// The rows shown, top to bottom.
    std::vector<TCustomPropertyItem*> Shown() const { return {A, A1, A3, A4, A4a, A4b, A4b1, B, B1, B2, C}; }
    int Top() const { return Grid->GetTopRow(); }
    void ScrollTo(int row)
    {
        Pump();
        Grid->GetVertScrollBar()->SetPosition(row);
        Pump();
    }

    TCustomPropertyItem *A, *A1, *A2, *A3, *A3a, *A4, *A4a, *A4b, *A4b1, *B, *B1, *B2, *C, *C1;
};

std::string Name(const TCustomPropertyItem* item) { return item != nullptr ? item->GetCaption() : "none"; }

// ---- Rows under points ------------------------------------------------------------------------------------

TEST_F(GridTest, TheRowUnderAPointIsTheRowWhoseTopIsThere)
{
    Show();  // 98 pixels of client: five rows of 17, six of 16
    for (bool lines : {true, false}) {
        for (int top : {0, 3}) {
            SCOPED_TRACE(::testing::Message() << (lines ? "grid lines" : "no lines") << ", scrolled " << top);
            Grid->SetOptions(lines ? TPropertyViewOptions{poGrid, poEnterSelectNext} : TPropertyViewOptions{});
            ScrollTo(top);
            ASSERT_EQ(Top(), top);
            const int pitch = lines ? 17 : 16;
            const std::vector<TCustomPropertyItem*> rows = Shown();
            for (std::size_t i = 0; i < rows.size(); ++i) {
                SCOPED_TRACE(Name(rows[i]));
                const int y = (static_cast<int>(i) - top) * pitch;
                EXPECT_EQ(rows[i]->GetRowTop(), y);
                EXPECT_EQ(Grid->ItemAtPoint({50, y}), rows[i]);
                EXPECT_EQ(Grid->ItemAtPoint({50, y + pitch - 1}), rows[i]);  // its grid line included
            }
            EXPECT_EQ(Grid->ItemAtPoint({50, (11 - top) * pitch}), nullptr);
            for (TCustomPropertyItem* hidden : {A2, A3a, C1})
                EXPECT_EQ(hidden->GetRowTop(), -1);
        }
    }
}

// ---- The splitter -----------------------------------------------------------------------------------------

TEST_F(GridTest, TheSplitterHasAFloorAndRepaintsOnlyForANewValue)
{
    const struct {
        int Value;
        int Stored;
    } rows[] = {{10, 14}, {14, 14}, {-3, 14}, {15, 15}, {150, 150}};
    for (const auto& row : rows) {
        Grid->SetSplitterPosition(row.Value);
        EXPECT_EQ(Grid->GetSplitterPosition(), row.Stored) << row.Value;
    }
    Show();
    Grid->SetSplitterPosition(150);
    EXPECT_TRUE(Invalidated.empty());
    Grid->SetSplitterPosition(151);
    EXPECT_TRUE(WasInvalidated(Grid->GetClientRect()));
}

TEST_F(GridTest, APositionSetBeforeTheWindowOrByTheUserIsKeptWhenTheWindowIsMade)
{
    Grid->SetSplitterPosition(120);
    Show();
    EXPECT_EQ(Grid->GetSplitterPosition(), 120);
    Grid->SetBorderStyle(TBorderStyle::bsNone);  // makes the window again
    Pump();
    EXPECT_EQ(Grid->GetSplitterPosition(), 120);
}

TEST_F(GridTest, WithoutAPositionTheSplitterStartsAtHalfTheClientPlusSeven)
{
    Show(300, 100);
    EXPECT_EQ(Grid->GetSplitterPosition(), 298 / 2 + 7);  // the static edge takes a pixel each side
    Grid->SetBorderStyle(TBorderStyle::bsNone);
    Pump();
    EXPECT_EQ(Grid->GetSplitterPosition(), 300 / 2 + 7);
    // Dragged by the user, it stays when the window is made again.
    const int s = Grid->GetSplitterPosition();
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, Grid->ClientToScreen({s, 50}));
    Mouse(ui::WM_MOUSEMOVE, {200, 50});
    Mouse(ui::WM_LBUTTONUP, {200, 50});
    Grid->SetBorderStyle(TBorderStyle::bsSingle);
    Pump();
    EXPECT_EQ(Grid->GetSplitterPosition(), 200);
}

TEST_F(GridTest, DraggingTheSplitterMovesItWithTheSplitCursorAndSelectsNothing)
{
    Grid->SetSplitterPosition(100);
    Show();
    Grid->SelectItem(B);
    const struct {
        int X;
        bool Zone;
    } zone[] = {{97, false}, {98, true}, {100, true}, {102, true}, {103, false}};
    for (const auto& z : zone) {
        Mouse(ui::WM_MOUSEMOVE, {z.X, 20});
        EXPECT_EQ(Grid->GetCursor(), z.Zone ? crHSplit : crDefault) << z.X;
    }
    Mouse(ui::WM_LBUTTONDOWN, {101, 20});
    Mouse(ui::WM_MOUSEMOVE, {160, 60});
    EXPECT_EQ(Grid->GetSplitterPosition(), 160);
    EXPECT_EQ(Grid->GetCursor(), crHSplit);
    Mouse(ui::WM_MOUSEMOVE, {3, 60});  // the floor holds while dragging
    EXPECT_EQ(Grid->GetSplitterPosition(), 14);
    Mouse(ui::WM_MOUSEMOVE, {130, 60});
    Mouse(ui::WM_LBUTTONUP, {130, 60});
    EXPECT_EQ(Grid->GetSplitterPosition(), 130);
    EXPECT_EQ(Grid->GetSelectedItem(), B);
    Mouse(ui::WM_MOUSEMOVE, {200, 60});  // the drag is over
    EXPECT_EQ(Grid->GetSplitterPosition(), 130);
    EXPECT_EQ(Grid->GetCursor(), crDefault);
}

// ---- Keys -------------------------------------------------------------------------------------------------

TEST_F(GridTest, NavigationKeysPassOverHiddenAndCollapsedRowsAndScrollTheSelectionIntoView)
{
    Show();  // five whole rows
    struct Row {
        const char* Name;
        TCustomPropertyItem* GridTest::*From;
        int FromTop;
        ui::WORD Key;
        TCustomPropertyItem* GridTest::*To;
        int Top;
    };
    const Row rows[] = {
        {"DownPassesOverAHiddenRow", &GridTest::A1, 0, ui::VK_DOWN, &GridTest::A3, 0},
        {"DownPassesOverCollapsedChildren", &GridTest::A3, 0, ui::VK_DOWN, &GridTest::A4, 0},
        {"DownEntersExpandedChildren", &GridTest::A4, 0, ui::VK_DOWN, &GridTest::A4a, 0},
        {"DownLeavesTheDeepestRowForTheNextCategory", &GridTest::A4b1, 3, ui::VK_DOWN, &GridTest::B, 3},
        {"DownOnTheLastRowDoesNothing", &GridTest::C, 6, ui::VK_DOWN, &GridTest::C, 6},
        {"UpPassesOverAHiddenRow", &GridTest::A3, 0, ui::VK_UP, &GridTest::A1, 0},
        {"UpFromACategoryToTheDeepestRowAbove", &GridTest::B, 3, ui::VK_UP, &GridTest::A4b1, 3},
        {"UpOnTheFirstRowDoesNothing", &GridTest::A, 0, ui::VK_UP, &GridTest::A, 0},
        {"DownBelowTheViewScrollsOneLine", &GridTest::A4a, 0, ui::VK_DOWN, &GridTest::A4b, 1},
        {"UpAboveTheViewScrollsOneLine", &GridTest::A4, 3, ui::VK_UP, &GridTest::A3, 2},
        {"DownFromARowScrolledAwayBringsItsNeighbourBack", &GridTest::A1, 5, ui::VK_DOWN, &GridTest::A3, 2},
        {"HomeSelectsTheFirstRowAndScrollsToIt", &GridTest::B2, 6, ui::VK_HOME, &GridTest::A, 0},
        {"EndSelectsTheLastRowShownNotItsCollapsedChild", &GridTest::A, 0, ui::VK_END, &GridTest::C, 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Grid->SelectItem(this->*row.From);
        ScrollTo(row.FromTop);
        ASSERT_EQ(Top(), row.FromTop);
        Key(row.Key);
        EXPECT_EQ(Name(Grid->GetSelectedItem()), Name(this->*row.To));
        EXPECT_EQ(Top(), row.Top);
        const int rowTop = Grid->GetSelectedItem()->GetRowTop();
        EXPECT_GE(rowTop, 0);
        EXPECT_LE(rowTop + 17, Grid->GetClientHeight());
    }
}

TEST_F(GridTest, PlusAndMinusExpandAndCollapseTheSelectedRowAndKeysWithoutSelectionMoveNothing)
{
    Show();
    Key(ui::VK_DOWN);
    Key(ui::VK_RETURN);
    EXPECT_EQ(Grid->GetSelectedItem(), nullptr);
    Grid->SelectItem(A3);
    Key(ui::VK_OEM_PLUS);
    EXPECT_TRUE(A3->GetExpanded());
    Key(ui::VK_DOWN);
    EXPECT_EQ(Grid->GetSelectedItem(), A3a);
    Grid->SelectItem(A);
    Key(ui::VK_OEM_MINUS);
    EXPECT_FALSE(A->GetExpanded());
    Key(ui::VK_DOWN);
    EXPECT_EQ(Grid->GetSelectedItem(), B);
    // Enter moves to the next row with poEnterSelectNext, and stays without it.
    Key(ui::VK_RETURN);
    EXPECT_EQ(Grid->GetSelectedItem(), B1);
    Grid->SetOptions({poGrid});
    Key(ui::VK_RETURN);
    EXPECT_EQ(Grid->GetSelectedItem(), B1);
}

// ---- Expand box and double click --------------------------------------------------------------------------

TEST_F(GridTest, ClicksInTheExpandBoxAndDoubleClicksRightOfItToggleTheRow)
{
    Grid->SetSplitterPosition(150);
    Show(300, 200);
    struct Row {
        const char* Name;
        bool Double;
        TCustomPropertyItem* GridTest::*Item;
        int X;
        bool Toggled;
        int Expands;  // OnExpand reports
    };
    const Row rows[] = {
        {"ClickLevelOneInTheBox", false, &GridTest::A3, 7, true, 1},
        {"ClickLevelOneOnTheBoxEdge", false, &GridTest::A3, 14, false, 0},
        {"ClickLevelOneRightOfTheBox", false, &GridTest::A3, 40, false, 0},
        {"ClickCategoryInTheBox", false, &GridTest::C, 1, true, 1},
        {"ClickLevelTwoInItsIndentedBox", false, &GridTest::A4b, 20, true, 1},
        {"ClickLevelTwoLeftOfItsBox", false, &GridTest::A4b, 7, false, 0},
        {"ClickRowWithoutChildren", false, &GridTest::A1, 7, false, 0},
        {"DoubleOnTheCaption", true, &GridTest::A3, 40, true, 1},
        {"DoubleOnTheValue", true, &GridTest::A4, 200, true, 1},
        {"DoubleInTheBoxTwiceOver", true, &GridTest::A3, 7, false, 2},  // each press toggles, the double click not
        {"DoubleLevelTwoOverItsBox", true, &GridTest::A4b, 20, false, 2},
        {"DoubleRowWithoutChildren", true, &GridTest::A1, 40, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TCustomPropertyItem* item = this->*row.Item;
        const bool before = item->GetExpanded();
        int expands = 0;
        struct Counter {
            int* Count;
            void Expand(TObject*, TCustomPropertyItem*) { ++*Count; }
        } counter{&expands};
        Grid->OnExpand = TItemNotifyEvent(&counter, &Counter::Expand);
        const TPoint at{row.X, item->GetRowTop() + 8};
        if (row.Double)
            DoubleClick(at);
        else
            Click(at);
        Grid->OnExpand = {};
        EXPECT_EQ(Grid->GetSelectedItem(), item);
        EXPECT_EQ(item->GetExpanded(), row.Toggled ? !before : before);
        EXPECT_EQ(expands, row.Expands);
        item->SetExpanded(before);
    }
}

// ---- Wheel and scrolling ----------------------------------------------------------------------------------

TEST_F(GridTest, TheWheelScrollsOneRowOrFourWithCtrl)
{
    Show();  // at most six rows down
    const struct {
        const char* Name;
        int Start;
        int Delta;
        ui::UINT Modifiers;
        int Expected;
    } rows[] = {
        {"DownOne", 0, -120, 0, 1},
        {"UpOne", 3, 120, 0, 2},
        {"DownFourWithCtrl", 0, -120, ui::MOD_CONTROL, 4},
        {"UpFourWithCtrl", 5, 120, ui::MOD_CONTROL, 1},
        {"StopsAtTheEnd", 5, -120, ui::MOD_CONTROL, 6},
        {"StopsAtTheTop", 0, 120, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        ScrollTo(row.Start);
        std::vector<int> scrolls;
        struct Sink {
            std::vector<int>* Scrolls;
            void Scroll(TObject*, int position) { Scrolls->push_back(position); }
        } sink{&scrolls};
        Grid->OnVerticalScroll = TScrollEvent(&sink, &Sink::Scroll);
        Mouse(ui::WM_MOUSEWHEEL, {50, 50}, row.Modifiers, row.Delta);
        Grid->OnVerticalScroll = {};
        EXPECT_EQ(Top(), row.Expected);
        if (row.Expected != row.Start) {
            EXPECT_EQ(scrolls, std::vector<int>{row.Expected});
        }
        EXPECT_EQ(Grid->ItemAtPoint({50, 0}), Shown()[static_cast<std::size_t>(row.Expected)]);
    }
}

TEST_F(GridTest, ACollapseWhileScrolledDownBringsTheRowsBack)
{
    Show();
    ScrollTo(6);
    ASSERT_EQ(Top(), 6);
    ASSERT_TRUE(Grid->GetVertScrollBar()->GetVisible());
    A->SetExpanded(false);  // five rows left: A, B, B1, B2, C
    Pump();
    EXPECT_EQ(Top(), 0);
    EXPECT_EQ(A->GetRowTop(), 0);
    EXPECT_EQ(Grid->ItemAtPoint({50, 5}), A);
    EXPECT_FALSE(Grid->GetVertScrollBar()->GetVisible());
    // What shows is the first rows: A's category background at the top, C's caption on the fifth row.
    EXPECT_EQ(Pixel(200, 2), Resolved(clBtnFace));
    EXPECT_TRUE(HasInk({17, 4 * 17, 40, 4 * 17 + 16}, Resolved(clBtnFace)));
}

// ---- Painting ---------------------------------------------------------------------------------------------

TEST_F(GridTest, PaintsCaptionsValuesGridLinesTheSplitLineAndTheSelection)
{
    const TColor grid = static_cast<TColor>(ui::RGB(200, 0, 0));
    const TColor margin = static_cast<TColor>(ui::RGB(0, 200, 0));
    const TColor selection = static_cast<TColor>(ui::RGB(0, 0, 200));
    Grid->SetGridColor(grid);
    Grid->SetMarginColor(margin);
    Grid->SetSelectionColor(selection);
    Grid->SetSplitterPosition(100);
    for (TCustomPropertyItem* row : Shown())
        if (row->GetLevel() > 0)
            row->SetColor(clWhite);
    Show(300, 220);
    Grid->SelectItem(A1);
    Pump();
    const TColor window = Resolved(clWindow);
    // A category row: its caption across the row in the categories colour, the margin in the margin colour.
    EXPECT_EQ(Pixel(12, 8), margin);
    EXPECT_EQ(Pixel(250, 2), Resolved(clBtnFace));
    EXPECT_TRUE(HasInk({17, 0, 40, 16}, Resolved(clBtnFace)));
    // The grid line under each row, in the margin colour over the margin and the grid colour after it.
    for (int line : {16, 33, 50}) {
        EXPECT_EQ(Pixel(5, line), margin) << line;
        EXPECT_EQ(Pixel(150, line), grid) << line;
    }
    // The selected row: the caption cell in the selection colour with the text, the split line, the value.
    EXPECT_EQ(Pixel(90, 20), selection);
    EXPECT_TRUE(HasInk({17, 17, 60, 33}, selection));
    EXPECT_EQ(Pixel(100, 25), grid);
    EXPECT_EQ(Pixel(104, 18), clWhite);
    EXPECT_TRUE(HasInk({104, 17, 140, 33}, clWhite));  // "vA1"
    // An unselected row: the caption on the item's colour.
    EXPECT_EQ(Pixel(90, 2 * 17 + 3), clWhite);
    EXPECT_TRUE(HasInk({17, 34, 60, 50}, clWhite));
    // Below the last row the grid's colour.
    EXPECT_EQ(Pixel(150, 11 * 17 + 5), window);
    EXPECT_EQ(Pixel(5, 11 * 17 + 5), window);

    // Without grid lines the rows follow each other directly.
    Grid->SetOptions({poEnterSelectNext});
    Pump();
    EXPECT_EQ(Pixel(150, 16), clWhite);
    EXPECT_EQ(A1->GetRowTop(), 16);
}

TEST_F(GridTest, WritersRepaintWhatTheyChange)
{
    Show();
    ui::RECT client = Grid->GetClientRect();
    struct Row {
        const char* Name;
        std::function<void()> Write;
        bool Repaints;
    };
    TImageList images(nullptr);
    const Row rows[] = {
        {"Options", [&] { Grid->SetOptions({poGrid}); }, true},
        {"RowHeight", [&] { Grid->SetRowHeight(18); }, true},
        {"SuffixWidth", [&] { Grid->SetSuffixWidth(40); }, true},
        {"GridColor", [&] { Grid->SetGridColor(clRed); }, true},
        {"CategoriesColor", [&] { Grid->SetCategoriesColor(clRed); }, true},
        {"MarginColor", [&] { Grid->SetMarginColor(clRed); }, true},
        {"Style", [&] { Grid->SetStyle(psWhidbey); }, true},
        {"EnableVisualStyles", [&] { Grid->SetEnableVisualStyles(true); }, true},
        {"Images", [&] { Grid->SetImages(&images); }, true},
        {"TheSameImages", [&] { Grid->SetImages(&images); }, false},
        {"SelectionColorOnlyStores", [&] { Grid->SetSelectionColor(clRed); }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Pump();
        Invalidated.clear();
        row.Write();
        EXPECT_EQ(WasInvalidated(client), row.Repaints);
    }
    Grid->SetImages(nullptr);
}

TEST_F(GridTest, ItemChangesRepaintTheirPartOfTheRowAndRaiseTheEvents)
{
    Grid->SetSplitterPosition(100);
    Show(300, 200);
    const int w = Grid->GetClientWidth();
    const int top = B1->GetRowTop();
    std::vector<std::string> events;
    struct Sink {
        std::vector<std::string>* Events;
        void Change(TObject*, TCustomPropertyItem* item, const std::string& value)
        {
            Events->push_back("change " + item->GetCaption() + " " + value);
        }
        void Select(TObject*, TCustomPropertyItem* item) { Events->push_back("select " + item->GetCaption()); }
        void Expand(TObject*, TCustomPropertyItem* item) { Events->push_back("expand " + item->GetCaption()); }
    } sink{&events};
    Grid->OnChange = TChangeEvent(&sink, &Sink::Change);
    Grid->OnSelectItem = TItemNotifyEvent(&sink, &Sink::Select);
    Grid->OnExpand = TItemNotifyEvent(&sink, &Sink::Expand);

    B1->SetValue("new");
    EXPECT_TRUE(WasInvalidated({101, top, w, top + 16}));
    EXPECT_FALSE(WasInvalidated({0, top, w, top + 16}));
    Invalidated.clear();
    B1->SetCaption("B1");
    EXPECT_TRUE(WasInvalidated({0, top, w, top + 16}));
    Click({50, top + 5});
    A3->SetExpanded(true);
    EXPECT_EQ(events, (std::vector<std::string>{"change B1 new", "select B1", "expand A3"}));
    Grid->OnChange = {};
    Grid->OnSelectItem = {};
    Grid->OnExpand = {};
}

// ---- Input for the rows' displays -------------------------------------------------------------------------

class RecordingDisplay;

// A row whose display records the input the grid hands it. Like the check-box rows, whose displays take
// the input, it opens no editor over its value cell.
class RecordingItem : public TTextualItem {
public:
    using TTextualItem::TTextualItem;
    bool CanEdit() const override { return false; }
    TItemDisplayClass GetDisplayClass() const override;
    std::vector<std::string>* Log = nullptr;
};

class RecordingDisplay : public TTextualItemDisplay {
public:
    using TTextualItemDisplay::TTextualItemDisplay;
    void MouseDown(TMouseButton, TShiftState, int x, int y) override { Write("down", x, y); }
    void MouseMove(TShiftState, int x, int y) override { Write("move", x, y); }
    void MouseUp(TMouseButton, TShiftState, int x, int y) override { Write("up", x, y); }
    void MouseLeave() override { Write("leave"); }
    void KeyDown(std::uint16_t& key, TShiftState) override { Write("key", key); }

private:
    void Write(const std::string& what, int a = -1, int b = -1)
    {
        std::string entry = what + " " + GetItem()->GetCaption();
        if (a >= 0) {
            entry += ' ';
            entry += std::to_string(a);
        }
        if (b >= 0) {
            entry += ',';
            entry += std::to_string(b);
        }
        auto* item = static_cast<RecordingItem*>(GetItem());
        item->Log->push_back(entry);
    }
};

TItemDisplayClass RecordingItem::GetDisplayClass() const { return TItemDisplayClass::Of<RecordingDisplay>(); }

class DisplayInputTest : public ShownGrid {
protected:
    DisplayInputTest()
    {
        Grid->SetSplitterPosition(100);
        TCustomPropertyItem* category = Make(Grid->GetCategories(), "Cat");
        R1 = Make(category->GetItems(), "R1");
        R2 = Make(category->GetItems(), "R2");
        R3 = Make(category->GetItems(), "R3");
        Show(300, 120);
    }
    TCustomPropertyItem* Make(TPropertyItems* list, const std::string& caption)
    {
        auto* item = static_cast<RecordingItem*>(list->Add(TPropertyItemClass::Of<RecordingItem>(), caption, "x"));
        item->Log = &Log;
        return item;
    }
    // A point of a row's value cell, relative to the cell.
    TPoint InValue(TCustomPropertyItem* item, int x, int y) const { return {101 + x, item->GetRowTop() + y}; }

    std::vector<std::string> Log;
    TCustomPropertyItem* R1 = nullptr;
    TCustomPropertyItem* R2 = nullptr;
    TCustomPropertyItem* R3 = nullptr;
};

TEST_F(DisplayInputTest, TheValueCellTakesPressMoveAndReleaseRelativeToItsCorner)
{
    Mouse(ui::WM_MOUSEMOVE, InValue(R1, 4, 3));
    Mouse(ui::WM_LBUTTONDOWN, InValue(R1, 10, 5));
    Mouse(ui::WM_MOUSEMOVE, InValue(R1, 20, 6));
    Mouse(ui::WM_LBUTTONUP, InValue(R1, 20, 6));
    EXPECT_EQ(Log, (std::vector<std::string>{"move R1 4,3", "down R1 10,5", "move R1 20,6", "up R1 20,6"}));
    EXPECT_EQ(Grid->GetSelectedItem(), R1);
    // The caption cell is no value cell: the press selects and the row's display hears of leaving.
    Log.clear();
    Mouse(ui::WM_MOUSEMOVE, {50, R2->GetRowTop() + 5});
    Click({50, R2->GetRowTop() + 5});
    EXPECT_EQ(Grid->GetSelectedItem(), R2);
    EXPECT_EQ(Log, (std::vector<std::string>{"leave R1"}));
}

TEST_F(DisplayInputTest, AReleaseGoesOnlyToTheRowThatGotThePressAndOnlyOverItsCell)
{
    R2->SetReadOnly(true);
    Mouse(ui::WM_LBUTTONDOWN, InValue(R1, 10, 5));
    Mouse(ui::WM_MOUSEMOVE, InValue(R2, 10, 5));
    Mouse(ui::WM_LBUTTONUP, InValue(R2, 10, 5));
    EXPECT_EQ(Log, std::vector<std::string>{"down R1 10,5"});
    Log.clear();
    Mouse(ui::WM_LBUTTONDOWN, InValue(R1, 10, 5));
    Mouse(ui::WM_MOUSEMOVE, InValue(R3, 10, 5));
    Mouse(ui::WM_MOUSEMOVE, InValue(R1, 12, 5));
    Mouse(ui::WM_LBUTTONUP, InValue(R1, 12, 5));
    EXPECT_EQ(Log, (std::vector<std::string>{"down R1 10,5", "leave R2", "move R3 10,5", "leave R3", "move R1 12,5",
                                             "up R1 12,5"}));
    // A row made read only while it is pressed hears no release.
    Log.clear();
    Mouse(ui::WM_LBUTTONDOWN, InValue(R1, 12, 5));
    R1->SetReadOnly(true);
    Mouse(ui::WM_LBUTTONUP, InValue(R1, 12, 5));
    EXPECT_EQ(Log, std::vector<std::string>{"down R1 12,5"});
}

TEST_F(DisplayInputTest, ReadOnlyAndDisabledRowsTakeNoValueInputAndNoKeys)
{
    const struct {
        const char* Name;
        bool ReadOnly;
        bool Enabled;
        std::vector<std::string> Expected;
    } rows[] = {
        {"Editable", false, true, {"down R1 10,5", "up R1 10,5", "key R1 32", "key R1 16"}},
        {"ReadOnly", true, true, {}},
        {"Disabled", false, false, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        R1->SetReadOnly(row.ReadOnly);
        R1->SetEnabled(row.Enabled);
        Grid->SelectItem(nullptr);
        Log.clear();
        Click(InValue(R1, 10, 5));
        EXPECT_EQ(Grid->GetSelectedItem(), R1);  // selected all the same
        Key(ui::VK_SPACE);
        Key(ui::VK_SHIFT);
        std::erase_if(Log, [](const std::string& e) { return e.starts_with("move") || e.starts_with("leave"); });
        EXPECT_EQ(Log, row.Expected);
    }
}

TEST_F(DisplayInputTest, TheHotRowFollowsThePointerAndLeavesWithIt)
{
    Mouse(ui::WM_MOUSEMOVE, InValue(R1, 5, 5));
    EXPECT_EQ(Grid->GetHotItem(), R1);
    EXPECT_TRUE(R1->GetState().Contains(isHot));
    Invalidated.clear();
    Mouse(ui::WM_MOUSEMOVE, InValue(R2, 5, 5));
    EXPECT_EQ(Grid->GetHotItem(), R2);
    EXPECT_FALSE(R1->GetState().Contains(isHot));
    const int w = Grid->GetClientWidth();
    EXPECT_TRUE(WasInvalidated({0, R1->GetRowTop(), w, R1->GetRowTop() + 16}));
    EXPECT_TRUE(WasInvalidated({0, R2->GetRowTop(), w, R2->GetRowTop() + 16}));
    EXPECT_EQ(Invalidated.size(), 2u);
    Log.clear();
    ui::PostMouseInput(ui::WM_MOUSEMOVE, Form->ClientToScreen({5, 250}));  // off the grid, on the form
    Pump();
    EXPECT_EQ(Grid->GetHotItem(), nullptr);
    EXPECT_FALSE(R2->GetState().Contains(isHot));
    EXPECT_EQ(Log, std::vector<std::string>{"leave R2"});
}

TEST_F(DisplayInputTest, RowsFreedUnderThePointerAreForgotten)
{
    Mouse(ui::WM_MOUSEMOVE, InValue(R2, 10, 5));
    Mouse(ui::WM_LBUTTONDOWN, InValue(R2, 10, 5));  // selected, hot and pressed
    ASSERT_EQ(Grid->GetSelectedItem(), R2);
    ASSERT_EQ(Grid->GetHotItem(), R2);
    delete R2;
    EXPECT_EQ(Grid->GetSelectedItem(), nullptr);
    EXPECT_EQ(Grid->GetHotItem(), nullptr);
    Mouse(ui::WM_MOUSEMOVE, InValue(R3, 10, 5));  // R3 has moved up into R2's place
    Mouse(ui::WM_LBUTTONUP, InValue(R3, 10, 5));
    EXPECT_EQ(Grid->GetHotItem(), R3);
    EXPECT_EQ(R3->GetRowTop(), 2 * 17);
    Key(ui::VK_UP);
    EXPECT_EQ(Grid->GetSelectedItem(), nullptr);
    Grid->SelectItem(R3);
    Key(ui::VK_UP);
    EXPECT_EQ(Grid->GetSelectedItem(), R1);
    Pump();
    EXPECT_TRUE(HasInk({17, 2 * 17, 40, 2 * 17 + 16}, Resolved(clWindow)));  // R3's caption where R2 was
}

// ---- Focus ------------------------------------------------------------------------------------------------

class Focusable : public TCustomControl {
public:
    explicit Focusable(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
};

TEST_F(GridTest, FocusEntersAndLeavesTheGridWithItsChildrenAndRepaintsTheSelectedRow)
{
    auto* inside = new Focusable(Form.get());
    inside->SetParent(Grid);
    inside->SetBounds(250, 60, 20, 20);
    auto* outside = new Focusable(Form.get());
    outside->SetParent(Form.get());
    outside->SetBounds(10, 200, 50, 20);
    Show();
    Grid->SelectItem(A1);
    int enters = 0;
    int exits = 0;
    struct Counter {
        int* Enters;
        int* Exits;
        void Enter(TObject*) { ++*Enters; }
        void Exit(TObject*) { ++*Exits; }
    } counter{&enters, &exits};
    Grid->OnEnter = TNotifyEvent(&counter, &Counter::Enter);
    Grid->OnExit = TNotifyEvent(&counter, &Counter::Exit);
    const TRect row{0, A1->GetRowTop(), Grid->GetClientWidth(), A1->GetRowTop() + 16};
    inside->SetFocus();
    EXPECT_EQ(exits, 0);
    Invalidated.clear();
    outside->SetFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(WasInvalidated(row));
    Invalidated.clear();
    Grid->SetFocus();
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(WasInvalidated(row));
    Grid->OnEnter = {};
    Grid->OnExit = {};
}

}  // namespace
