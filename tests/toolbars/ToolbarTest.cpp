// Toolbars: their size on a form, floating and in docks of each kind (wrapping, the chevron and what it
// shows, the row they share), the minimum length, control items, presses that drag and presses that do not,
// the floating sizes and the snapping of the frame, the shared menu font, the chevron's glyph read back from
// pixels, and the hint of each button.
#include "MenusTestSupport.h"
#include "ViewsTestSupport.h"

#include "toolbars/Dock.h"
#include "toolbars/FloatingWindow.h"
#include "toolbars/Toolbar.h"
#include "toolkit/Forms.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolbars::testing;
using toolkit::TPoint;
using toolkit::TRect;
using toolkit::TSize;

// A toolbar whose resize hooks the tests call as the resize loop would.
class TSnappingToolbar : public TTBToolbar {
public:
    using TTBToolbar::ResizeAccept;
    using TTBToolbar::ResizeBegin;
    using TTBToolbar::ResizeEnd;
    using TTBToolbar::ResizeTrack;
    using TTBToolbar::TTBToolbar;
};

// A control that can be placed on a toolbar.
class TBox : public toolkit::TCustomControl {
public:
    explicit TBox(toolkit::TComponent* owner) : TCustomControl(owner)
    {
        SetBounds(0, 0, 40, 20);
        SetTabStop(true);
    }
};

class Toolbars : public MenusFixture {
protected:
    Toolbars()
    {
        Top = AddDock(dpTop);
        Left = AddDock(dpLeft);
    }

    TTBDock* AddDock(TTBDockPosition position)
    {
        auto* dock = new TTBDock(Form.get());
        dock->SetPosition(position);
        dock->SetParent(Form.get());
        return dock;
    }
    /// A toolbar owned by the form with fixed-size buttons of the given widths (22 high).
    template <class T = TTBToolbar> T* AddToolbar(std::vector<int> widths)
    {
        auto* toolbar = new T(Form.get());
        for (std::size_t i = 0; i < widths.size(); ++i) {
            std::string caption(1, 'B');
            caption += std::to_string(i);
            AddFixed(toolbar->GetItems(), caption, widths[i], 22);
        }
        return toolbar;
    }
    static std::string Overflowed(TTBView* view)
    {
        std::string out;
        for (int i = 0; i < view->GetViewerCount(); ++i)
            if (view->GetViewer(i)->IsOverflowed())
                out += view->GetViewer(i)->GetCaptionText();
        return out;
    }
    static const TTBItemViewer* ChevronOf(TTBCustomToolbar* toolbar)
    {
        return toolbar->GetView()->FindViewerOfItem(toolbar->GetChevronItem());
    }

    TTBDock* Top;
    TTBDock* Left;
};

TEST_F(Toolbars, OnAFormTheToolbarTakesTheSizeOfItsItems)
{
    TTBToolbar* toolbar = AddToolbar({20, 30, 25});
    toolbar->SetParent(Form.get());
    PumpApplication();
    EXPECT_EQ(toolbar->GetWidth(), 75);
    EXPECT_EQ(toolbar->GetHeight(), 22);
    AddFixed(toolbar->GetItems(), "B3", 10, 30);
    PumpApplication();
    EXPECT_EQ(toolbar->GetWidth(), 85) << "an item added resizes it";
    EXPECT_EQ(toolbar->GetHeight(), 30);
}

TEST_F(Toolbars, OnAFormAToolbarThatKeepsItsWidthShrinksIntoIt)
{
    struct Row {
        const char* name;
        TTBShrinkMode mode;
        const char* overflowed;
        bool chevronPlaced;
        int lines;
    };
    // The last item added comes first: the first ones go behind the chevron.
    for (const Row& row : {Row{"Chevron", tbsmChevron, "B0B1B2", true, 1}, Row{"Wrap", tbsmWrap, "", false, 2}}) {
        SCOPED_TRACE(row.name);
        TTBToolbar* toolbar = AddToolbar({20, 20, 20, 20});
        toolbar->SetShrinkMode(row.mode);
        toolbar->SetAutoResize(false);
        toolbar->SetBounds(0, 100, 50, 22);
        toolbar->SetParent(Form.get());
        toolbar->RecalcSize();
        EXPECT_EQ(toolbar->GetWidth(), 50);
        TTBView* view = toolbar->GetView();
        EXPECT_EQ(Overflowed(view), row.overflowed);
        EXPECT_EQ(ChevronOf(toolbar)->IsPlaced(), row.chevronPlaced);
        (void)toolbar->ComputeSize(false, dtNotDocked, nullptr, false);
        EXPECT_EQ(toolbar->GetLastWrappedLines(), row.lines);
        delete toolbar;
    }
}

TEST_F(Toolbars, InANarrowDockTheLeastUsedItemsGoBehindTheChevronAndShowInItsPopup)
{
    TTBToolbar* toolbar = AddToolbar({40, 40, 40, 40, 40});
    toolbar->SetParent(Top);
    PumpApplication();
    EXPECT_EQ(Overflowed(toolbar->GetView()), "");
    // Used last: the first item.
    toolbar->GetView()->GivePriority(toolbar->GetView()->FindViewerOfItem(toolbar->GetItems()->GetItem(0)));
    Form->SetBounds(100, 100, 150, 300);
    PumpApplication();
    TTBView* view = toolbar->GetView();
    EXPECT_LE(toolbar->GetWidth(), Top->GetClientWidth());
    // 150 pixels less the frame and the chevron leave room for three: the least important two go, not the
    // first item, which was just used.
    EXPECT_EQ(Overflowed(view), "B1B2");
    ASSERT_TRUE(ChevronOf(toolbar)->IsPlaced());
    EXPECT_TRUE(toolbar->GetChevronItem()->GetEnabled());
    // The chevron's pop-up shows what is hidden.
    view->Select(const_cast<TTBItemViewer*>(ChevronOf(toolbar)));
    ASSERT_TRUE(view->OpenChildPopup(false));
    TTBView* chevron = view->GetOpenViewerView();
    std::string shown;
    for (int i = 0; i < chevron->GetViewerCount(); ++i)
        if (chevron->GetViewer(i)->IsPlaced())
            shown += chevron->GetViewer(i)->GetCaptionText();
    EXPECT_EQ(shown, "B1B2");
    view->CloseChildPopups();
    // Room again: everything shows.
    Form->SetBounds(100, 100, 400, 300);
    PumpApplication();
    EXPECT_EQ(Overflowed(toolbar->GetView()), "");
}

TEST_F(Toolbars, InASideDockTheItemsRunDown)
{
    TTBToolbar* toolbar = AddToolbar({20, 30, 25});
    toolbar->SetParent(Left);
    PumpApplication();
    EXPECT_EQ(toolbar->GetView()->GetOrientation(), tbvoVertical);
    const TPoint frame = toolbar->GetDockedFrameSize(Left);
    EXPECT_EQ(toolbar->GetHeight(), 3 * 22 + frame.y);
    const TRect& second = toolbar->GetView()->FindViewerOfItem(toolbar->GetItems()->GetItem(1))->GetBoundsRect();
    EXPECT_EQ(second.top, 22);
}

TEST_F(Toolbars, FloatingTheFloatingWidthWraps)
{
    TTBToolbar* toolbar = AddToolbar({30, 30, 30, 30});
    toolbar->SetParent(Top);
    toolbar->SetFloating(true);
    PumpApplication();
    EXPECT_EQ(toolbar->GetView()->GetOrientation(), tbvoFloating);
    const int oneLine = toolbar->GetHeight();
    toolbar->SetFloatingWidth(70);
    EXPECT_GT(toolbar->GetHeight(), oneLine);
    EXPECT_LE(toolbar->GetWidth(), 70 + 8);
}

TEST_F(Toolbars, AToolbarTakesTheThicknessOfItsRow)
{
    TTBToolbar* small = AddToolbar({20, 20});
    TTBToolbar* tall = new TTBToolbar(Form.get());
    AddFixed(tall->GetItems(), "T", 20, 34);
    small->SetParent(Top);
    tall->SetDockPos(100);
    tall->SetParent(Top);
    PumpApplication();
    EXPECT_EQ(small->GetEffectiveRow(), tall->GetEffectiveRow());
    EXPECT_EQ(small->GetHeight(), tall->GetHeight());
    EXPECT_EQ(small->GetClientHeight(), 34);
}

TEST_F(Toolbars, TheMinimumLengthIsTheFirstItemTheFrameAndTheChevron)
{
    TTBToolbar* toolbar = AddToolbar({40, 25});
    toolbar->SetParent(Top);
    PumpApplication();
    const int frame = toolbar->GetDockedFrameSize(Top).x;
    EXPECT_EQ(toolbar->GetMinimumLength(), 25 + frame + 12) << "the item added last is the most important";
    toolbar->GetView()->GivePriority(toolbar->GetView()->FindViewerOfItem(toolbar->GetItems()->GetItem(0)));
    EXPECT_EQ(toolbar->GetMinimumLength(), 40 + frame + 12);
}

TEST_F(Toolbars, ItemsKeepAPressFromDraggingUnlessTheyLetClicksPass)
{
    TTBToolbar* toolbar = AddToolbar({30});
    AddSeparator(toolbar->GetItems());
    AddFixed(toolbar->GetItems(), "B1", 30, 22);
    toolbar->SetParent(Top);
    PumpApplication();
    TTBView* view = toolbar->GetView();
    const auto centre = [&](int index) {
        const TRect& r = view->GetViewer(index)->GetBoundsRect();
        return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    EXPECT_TRUE(toolbar->PointBlocksDrag(centre(0)));
    EXPECT_FALSE(toolbar->PointBlocksDrag(centre(1))) << "a separator lets the press drag";
    // A press on the separator drags the toolbar to the other dock.
    const TPoint press = toolbar->ClientToScreen(centre(1));
    const TPoint overLeft = Left->ClientToScreen(TPoint{5, 100});
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, press);
    ui::PostMouseInput(ui::WM_MOUSEMOVE, TPoint{press.x + 5, press.y + 40});
    ui::PostKeyInput(ui::WM_KEYUP, ui::VK_F24);
    ui::PostMouseInput(ui::WM_MOUSEMOVE, overLeft);
    ui::PostKeyInput(ui::WM_KEYUP, ui::VK_F24);
    ui::PostMouseInput(ui::WM_LBUTTONUP, overLeft);
    PumpApplication();
    EXPECT_EQ(toolbar->GetCurrentDock(), Left);
}

TEST_F(Toolbars, APressOnAButtonRunsItOnItsRelease)
{
    TTBToolbar* toolbar = AddToolbar({30, 30});
    ClickLog clicks;
    clicks.Attach(toolbar->GetItems()->GetItem(1));
    toolbar->SetParent(Top);
    PumpApplication();
    const TPoint on = CentreOf(*toolbar->GetView(), toolbar->GetItems()->GetItem(1));
    Script.Release(InputScript::At(on));
    ui::PostMouseInput(ui::WM_MOUSEMOVE, on);
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, on);
    PumpApplication();
    EXPECT_EQ(clicks.Clicks, std::vector<std::string>{"B1"});
    EXPECT_EQ(toolbar->GetCurrentDock(), Top);
}

TEST_F(Toolbars, TheItemUnderTheMouseIsHotUntilTheMouseLeaves)
{
    TTBToolbar* toolbar = AddToolbar({30, 30});
    toolbar->GetItems()->GetItem(1)->SetHint("Second|The second button");
    toolbar->SetParent(Top);
    PumpApplication();
    ui::PostMouseInput(ui::WM_MOUSEMOVE, CentreOf(*toolbar->GetView(), toolbar->GetItems()->GetItem(1)));
    PumpApplication();
    ASSERT_NE(toolbar->GetView()->GetSelected(), nullptr);
    EXPECT_EQ(toolbar->GetView()->GetSelected()->GetItem(), toolbar->GetItems()->GetItem(1));
    EXPECT_EQ(toolbar->GetHint(), "Second|The second button");
    ui::PostMouseInput(ui::WM_MOUSEMOVE, Form->ClientToScreen(TPoint{200, 200}));
    PumpApplication();
    EXPECT_EQ(toolbar->GetView()->GetSelected(), nullptr);
    EXPECT_EQ(toolbar->GetHint(), "");
}

TEST_F(Toolbars, ControlsOnAToolbarAreItemsOfIt)
{
    TTBToolbar* toolbar = AddToolbar({30});
    toolbar->SetParent(Top);
    auto* box = new TBox(Form.get());
    box->SetParent(toolbar);
    PumpApplication();
    ASSERT_EQ(toolbar->GetItems()->GetCount(), 2);
    auto* item = dynamic_cast<TTBControlItem*>(toolbar->GetItems()->GetItem(1));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetControl(), box);
    EXPECT_EQ(box->GetLeft(), 30) << "laid out after the button";
    // Taken off the toolbar, the control stays and its item goes.
    box->SetParent(Form.get());
    EXPECT_EQ(toolbar->GetItems()->GetCount(), 1);
    EXPECT_EQ(box->GetParent(), Form.get());
}

TEST_F(Toolbars, ControlsPlacedWhileTheFormIsBuiltBecomeItemsInTheirOrder)
{
    toolkit::TForm built(nullptr);
    TTBToolbar* toolbar = nullptr;
    {
        toolkit::TFormBuilder builder(built);
        toolbar = builder.Add<TTBToolbar>(&built);
        builder.Add<TBox>(toolbar)->SetName("First");
        builder.Add<TBox>(toolbar)->SetName("Second");
    }
    ASSERT_EQ(toolbar->GetItems()->GetCount(), 2);
    const auto nameOf = [&](int i) {
        return dynamic_cast<TTBControlItem*>(toolbar->GetItems()->GetItem(i))->GetControl()->GetName();
    };
    EXPECT_EQ(nameOf(0), "First");
    EXPECT_EQ(nameOf(1), "Second");
}

TEST_F(Toolbars, AControlBehindTheChevronIsOutOfTheTabOrder)
{
    TTBToolbar* toolbar = AddToolbar({30});
    toolbar->SetAutoResize(false);
    toolbar->SetBounds(0, 150, 60, 22);
    auto* box = new TBox(Form.get());
    box->SetParent(toolbar);
    toolbar->SetParent(Form.get());
    // The button was used: the box is the one to go.
    toolbar->GetView()->GivePriority(toolbar->GetView()->FindViewerOfItem(toolbar->GetItems()->GetItem(0)));
    toolbar->RecalcSize();
    std::vector<toolkit::TWinControl*> order;
    toolbar->GetTabOrderList(order);
    EXPECT_TRUE(order.empty());
    EXPECT_GE(box->GetLeft(), toolbar->GetClientWidth()) << "moved out of sight";
    toolbar->SetBounds(0, 150, 200, 22);
    toolbar->RecalcSize();
    order.clear();
    toolbar->GetTabOrderList(order);
    EXPECT_EQ(order, std::vector<toolkit::TWinControl*>{box});
}

TEST_F(Toolbars, FloatingSizesOneForEachNumberOfLinesTheWidestFirst)
{
    auto* toolbar = AddToolbar<TSnappingToolbar>({30, 30, 30, 30});
    toolbar->SetParent(Top);
    toolbar->SetFloating(true);
    toolbar->SetFloatingWidth(0);
    PumpApplication();
    const std::vector<TSize> sizes = toolbar->BuildFloatingSizes();
    EXPECT_EQ(toolbar->GetFloatingWidth(), 0) << "left as it was";
    ASSERT_GE(sizes.size(), 3u);
    EXPECT_EQ(sizes[0].cx, 4 * 30 + 8);
    for (std::size_t i = 1; i < sizes.size(); ++i) {
        EXPECT_LT(sizes[i].cx, sizes[i - 1].cx);
        EXPECT_GT(sizes[i].cy, sizes[i - 1].cy);
    }
    // Pulling the right edge in snaps to the next narrower size, which the toolbar wraps to.
    TTBFloatingWindowParent* frame = toolbar->GetFloatParent();
    ASSERT_NE(frame, nullptr);
    TRect start;
    ui::GetWindowRect(frame->GetHandle(), &start);
    toolbar->ResizeBegin(1);
    TRect rect = start;
    rect.right -= 40;
    toolbar->ResizeTrack(rect, start);
    EXPECT_EQ(rect.left, start.left);
    EXPECT_EQ(rect.right - rect.left - (start.right - start.left - sizes[0].cx), sizes[1].cx);
    toolbar->ResizeAccept();
    toolbar->ResizeEnd();
    EXPECT_GT(toolbar->GetFloatingWidth(), 0);
    EXPECT_EQ(toolbar->GetHeight(), sizes[1].cy);
}

TEST_F(Toolbars, AChangeOfTheMenuFontResizesTheToolbarsThatUseIt)
{
    struct Row {
        const char* name;
        bool throughTheSystem;  // the system's setting changes and its form passes the news on; else told directly
    };
    for (const Row& row : {Row{"ToldDirectly", false}, Row{"ThroughItsForm", true}}) {
        SCOPED_TRACE(row.name);
        auto* toolbar = new TTBToolbar(Form.get());
        AddChild(toolbar->GetItems(), "Text");
        toolbar->SetParent(Form.get());
        PumpApplication();
        const int before = toolbar->GetHeight();
        ui::SystemTableOverride table;
        ui::NONCLIENTMETRICS metrics = table.Table().NonClientMetrics;
        metrics.lfMenuFont.lfHeight = -30;
        if (row.throughTheSystem) {
            ASSERT_TRUE(
                ui::SystemParametersInfo(ui::SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, ui::SPIF_SENDCHANGE));
            PumpApplication();
        } else {
            table.Table().NonClientMetrics = metrics;
            toolbar->Perform(toolkit::CM_WININICHANGE, ui::SPI_SETNONCLIENTMETRICS, 0);
        }
        EXPECT_EQ(SharedMenuFont()->GetHeight(), -30);
        EXPECT_GT(toolbar->GetHeight(), before);
        table.Table() = ui::ClassicSystemTable();
        UpdateSharedMenuFont();
        delete toolbar;
    }
}

TEST_F(Toolbars, TheChevronShowsADoubleArrowAlongTheToolbar)
{
    struct Row {
        const char* name;
        TTBDock* dock;
        std::vector<std::uint8_t> rows;
        int width;
    };
    TTBToolbar* toolbar = AddToolbar(std::vector<int>(15, 40));
    for (const Row& row : {Row{"Horizontal", Top, {0xCC, 0x66, 0x33, 0x66, 0xCC}, 8},
                           Row{"Vertical", Left, {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20}, 5}}) {
        SCOPED_TRACE(row.name);
        toolbar->SetParent(row.dock);
        PumpApplication();
        const TTBItemViewer* chevron = ChevronOf(toolbar);
        ASSERT_TRUE(chevron->IsPlaced());
        ui::UpdateWindow(toolbar->GetHandle());
        const QImage& image = *ui::GetWindowImage(toolbar->GetHandle());
        const ui::RECT inset = ui::GetClientInset(toolbar->GetHandle());
        const TRect& r = chevron->GetBoundsRect();
        const bool vertical = row.dock == Left;
        const int x0 = inset.left + (vertical ? r.right - 9 : r.left + 2);
        const int y0 = inset.top + (vertical ? r.top + 2 : 4);
        const QRgb ink = qRgb(0, 0, 0);
        for (std::size_t y = 0; y < row.rows.size(); ++y) {
            std::string seen;
            std::string wanted;
            for (int x = 0; x < row.width; ++x) {
                seen += image.pixel(x0 + x, y0 + static_cast<int>(y)) == ink ? '#' : '.';
                wanted += (row.rows[y] & (0x80 >> x)) != 0 ? '#' : '.';
            }
            EXPECT_EQ(seen, wanted) << "row " << y;
        }
    }
}

TEST_F(Toolbars, EachButtonHasItsOwnHint)
{
    TTBToolbar* toolbar = AddToolbar({30, 30});
    toolbar->GetItems()->GetItem(0)->SetHint("Bold|Makes the text bold");
    toolbar->GetItems()->GetItem(1)->SetHint("Italic");
    toolbar->SetShowHint(true);
    toolbar->SetParent(Top);
    PumpApplication();
    std::vector<std::string> shown;
    toolkit::Application()->SetHintDisplay([&shown](const std::string& text, ui::POINT) {
        if (!text.empty())
            shown.push_back(text);
    });
    for (int i : {0, 1}) {
        ui::PostMouseInput(ui::WM_MOUSEMOVE, CentreOf(*toolbar->GetView(), toolbar->GetItems()->GetItem(i)));
        PumpApplication();
        Clock.Advance(1000);
        PumpApplication();
    }
    toolkit::Application()->SetHintDisplay(nullptr);
    EXPECT_EQ(shown, (std::vector<std::string>{"Bold", "Italic"}));
    EXPECT_EQ(toolbar->GetHint(), "Italic") << "the long hint follows the item under the mouse";
}

}  // namespace
}  // namespace ovrel::toolbars
