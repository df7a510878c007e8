// The row kinds on a shown grid, with input through the queue: single toolbar buttons repainted, the text
// beside them after a click, the track bar drawn at once outside the grid's paint, and read-only check-box,
// radio and toolbar rows that keys and releases leave alone.

#include "inspector/PropertyItemDisplay.h"

#include "GridTestSupport.h"

#include "platform/ui/Messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ovrel::inspector;
using namespace ovrel::inspector::testing;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

class RowsOnGrid : public ShownGrid {
protected:
    RowsOnGrid()
    {
        Grid->SetSplitterPosition(100);
        Category = Grid->GetCategories()->Add(TPropertyItemClass::Of<TTextualItem>(), "Cat", "");
        Toolbar = Add<TToolbarItem>("Toolbar");
        for (const char* text : {"a", "b", "c"})
            Toolbar->AddButton(text, true);
        Check = Add<TCheckBoxItem>("Check");
        Radio = Add<TRadioItem>("Radio");
        Track = Add<TTrackBarItem>("Track");
        Track->SetShowText(false);
        Show(301, 120);  // a value cell from 101 to 301
    }
    template <class T> T* Add(const std::string& caption)
    {
        return static_cast<T*>(Category->GetItems()->Add(TPropertyItemClass::Of<T>(), caption, ""));
    }
    TPoint InValue(const TCustomPropertyItem* item, int x, int y = 8) const { return {101 + x, item->GetRowTop() + y}; }
    std::string Checked() const
    {
        std::string flags;
        for (int i = 0; i < Toolbar->ButtonCount(); ++i)
            flags += Toolbar->ButtonChecked(i) ? '1' : '0';
        return flags;
    }

    TCustomPropertyItem* Category = nullptr;
    TToolbarItem* Toolbar = nullptr;
    TCheckBoxItem* Check = nullptr;
    TRadioItem* Radio = nullptr;
    TTrackBarItem* Track = nullptr;
};

TEST_F(RowsOnGrid, AToolbarButtonRepaintsOnlyItselfAndAClickTheTextBesideTheButtons)
{
    const int width = Grid->GetClientWidth();
    for (bool right : {false, true}) {
        SCOPED_TRACE(right ? "right" : "left");
        Toolbar->SetAlignment(right ? baRightJustify : baLeftJustify);
        Pump();
        Invalidated.clear();
        Toolbar->ButtonChanged(1);
        const int top = Toolbar->GetRowTop();
        const int left = right ? width - 17 * 2 : 101 + 17;
        ASSERT_EQ(Invalidated.size(), 1u);
        EXPECT_EQ(Invalidated[0], (ui::RECT{left, top, left + 17, top + 16}));
        Pump();

        Toolbar->SetShowText(true);
        Pump();
        Invalidated.clear();
        Toolbar->ButtonClick(0);
        EXPECT_TRUE(WasInvalidated({101, top, width, top + 16})) << "the value beside the buttons";
        Toolbar->SetShowText(false);
        Pump();
    }
}

TEST_F(RowsOnGrid, AClickOnAButtonTogglesItAndRaisesOnToolbarClickWithTheButton)
{
    std::vector<int> clicks;
    struct Sink {
        std::vector<int>* Clicks;
        void Clicked(TObject*, TCustomPropertyItem*, int index) { Clicks->push_back(index); }
    } sink{&clicks};
    Grid->OnToolbarClick = TToolbarClickEvent(&sink, &Sink::Clicked);
    Click(InValue(Toolbar, 20));
    EXPECT_EQ(Checked(), "010");
    // Pressed on "a", released over "c": nothing.
    Clock.Advance(1000);
    Mouse(ui::WM_LBUTTONDOWN, InValue(Toolbar, 5));
    Mouse(ui::WM_MOUSEMOVE, InValue(Toolbar, 40));
    Mouse(ui::WM_LBUTTONUP, InValue(Toolbar, 40));
    EXPECT_EQ(Checked(), "010");
    EXPECT_EQ(clicks, std::vector<int>{1});
    Grid->OnToolbarClick = {};
}

TEST_F(RowsOnGrid, ReadOnlyRowsTakeNeitherKeysNorAReleaseFromAPressElsewhere)
{
    Check->SetReadOnly(true);
    Radio->SetReadOnly(true);
    Grid->SelectItem(Check);
    Key(ui::VK_SPACE);
    Key('X');
    Grid->SelectItem(Radio);
    Key(ui::VK_SPACE);
    EXPECT_FALSE(Check->GetAsBoolean());
    EXPECT_FALSE(Radio->GetChecked());

    // A press on the editable toolbar row, released over the read-only check-box row.
    Clock.Advance(1000);
    Mouse(ui::WM_LBUTTONDOWN, InValue(Toolbar, 5));
    Mouse(ui::WM_MOUSEMOVE, InValue(Check, 5));
    Mouse(ui::WM_LBUTTONUP, InValue(Check, 5));
    EXPECT_FALSE(Check->GetAsBoolean());
    EXPECT_EQ(Checked(), "000");

    Check->SetReadOnly(false);
    Grid->SelectItem(Check);
    Key(ui::VK_SPACE);
    EXPECT_TRUE(Check->GetAsBoolean());
    Key(ui::VK_F2);
    Key(ui::VK_CONTROL, ui::MK_CONTROL);
    EXPECT_TRUE(Check->GetAsBoolean());
}

TEST_F(RowsOnGrid, TheTrackBarDrawsItselfAtOnceWhileItsThumbIsDragged)
{
    const TColor face = Resolved(clBtnFace);
    const int top = Track->GetRowTop();
    const int cell = Grid->GetClientWidth() - 101;
    const int start = 101 + 6;  // the groove, between margins of 6
    const int end = start + cell - 12;
    ASSERT_EQ(Pixel(start, top + 4), face);
    ASSERT_NE(Pixel(end, top + 4), face);
    const auto send = [&](ui::UINT msg, int x) {
        const TPoint p = InValue(Track, x);
        const bool held = msg == ui::WM_MOUSEMOVE || msg == ui::WM_LBUTTONDOWN;
        ui::SendMessage(Grid->GetHandle(), msg, held ? ui::MK_LBUTTON : 0, ui::MAKELPARAM(p.x, p.y));
    };
    Clock.Advance(1000);
    send(ui::WM_MOUSEMOVE, cell / 2);
    send(ui::WM_LBUTTONDOWN, cell / 2);
    send(ui::WM_MOUSEMOVE, cell - 7);  // the last point inside the right margin
    ASSERT_EQ(Track->GetPosition(), 100);
    // Nothing was painted since: the new thumb is in the window already.
    EXPECT_EQ(Pixel(end, top + 4), face);
    EXPECT_NE(Pixel(start, top + 4), face);
    send(ui::WM_LBUTTONUP, cell - 7);
    Pump();
    EXPECT_EQ(Pixel(end, top + 4), face);
    EXPECT_EQ(Track->GetPosition(), 100);
}

}  // namespace
