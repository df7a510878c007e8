// The docked frame of a dockable window as the user meets it: the room its handle takes, what each point of
// it answers, the cursor over the handle, the close button's press and hover, double clicks and the context
// menu, and the look painted into the window's image.
#include "toolbars/DockableWindow.h"

#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "toolbars/DockWindowsTestSupport.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolkit;
using testing::DockFormFixture;
using testing::TTestWindow;

struct FrameRow {
    const char* Name;
    bool Vertical;
    bool AllowDrag;
    TTBDragHandleStyle Style;
    bool CloseButton;
    TRect Inset;  // client area in window coordinates, as distances from each side
    bool CloseHit;  // the point at the close button's centre answers HT_TB_CLOSEBUTTON
};

class DockedFrameTable : public DockFormFixture, public ::testing::WithParamInterface<FrameRow> {};

TEST_P(DockedFrameTable, HandleTakesItsWidthAndEveryPointOutsideTheClientIsFrame)
{
    const FrameRow& row = GetParam();
    TTBDock* dock = row.Vertical ? Left : Top;
    dock->SetAllowDrag(row.AllowDrag);
    TTestWindow* a = AddWindow(dock, "A");
    a->SetDragHandleStyle(row.Style);
    a->SetCloseButtonWhenDocked(row.CloseButton);
    Pump();

    const TRect inset = ui::GetClientInset(a->GetHandle());
    EXPECT_EQ(inset.left, row.Inset.left);
    EXPECT_EQ(inset.top, row.Inset.top);
    EXPECT_EQ(a->GetWidth() - inset.right, row.Inset.right);
    EXPECT_EQ(a->GetHeight() - inset.bottom, row.Inset.bottom);
    // The content keeps its size; the dock gave the window room for the frame.
    EXPECT_EQ(a->GetClientWidth(), row.Vertical ? 22 : 60);
    EXPECT_EQ(a->GetClientHeight(), row.Vertical ? 60 : 22);
    const TPoint frame = a->GetDockedFrameSize(dock);
    EXPECT_EQ(frame.x, row.Inset.left + row.Inset.right);
    EXPECT_EQ(frame.y, row.Inset.top + row.Inset.bottom);

    const auto hit = [&](int x, int y) {
        const TPoint p = OnWindow(a, x, y);
        return ui::SendMessage(a->GetHandle(), ui::WM_NCHITTEST, 0, ui::MAKELPARAM(p.x, p.y));
    };
    EXPECT_EQ(hit(inset.left + 2, inset.top + 2), ui::HTCLIENT);
    EXPECT_EQ(hit(0, 0), HT_TB_DRAGAREA);
    EXPECT_EQ(hit(a->GetWidth() - 1, a->GetHeight() - 1), HT_TB_DRAGAREA);
    const TRect button = a->DockedCloseButtonRect(row.Vertical);
    const ui::LRESULT atButton = hit((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    if (row.CloseHit)
        EXPECT_EQ(atButton, HT_TB_CLOSEBUTTON);
    else
        EXPECT_NE(atButton, HT_TB_CLOSEBUTTON);

    // Over the handle the cursor offers moving; over the far side of the frame it does not.
    const auto cursorAt = [&](int x, int y) {
        const TPoint p = OnWindow(a, x, y);
        ui::SetCursorPos(p.x, p.y);
        ui::SetCursor(nullptr);
        ui::SendMessage(a->GetHandle(), ui::WM_SETCURSOR, reinterpret_cast<ui::WPARAM>(a->GetHandle()),
                        ui::MAKELPARAM(static_cast<int>(HT_TB_DRAGAREA), static_cast<int>(ui::WM_MOUSEMOVE)));
        return ui::GetCursor();
    };
    const ui::HCURSOR sizeAll = ui::LoadCursor(nullptr, ui::IDC_SIZEALL);
    const bool moveCursor = row.AllowDrag && row.Style != dhNone;
    EXPECT_EQ(cursorAt(1, 1) == sizeAll, moveCursor);
    EXPECT_NE(cursorAt(a->GetWidth() - 1, a->GetHeight() - 1), sizeAll);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DockedFrameTable,
    ::testing::Values(FrameRow{"SingleInTop", false, true, dhSingle, false, {8, 2, 2, 2}, false},
                      FrameRow{"DoubleInTop", false, true, dhDouble, false, {11, 2, 2, 2}, false},
                      FrameRow{"NoHandleInTop", false, true, dhNone, false, {2, 2, 2, 2}, false},
                      FrameRow{"CloseButtonInTop", false, true, dhSingle, true, {16, 2, 2, 2}, true},
                      FrameRow{"CloseButtonWidensEveryStyle", false, true, dhNone, true, {16, 2, 2, 2}, true},
                      FrameRow{"SingleInLeft", true, true, dhSingle, false, {2, 8, 2, 2}, false},
                      FrameRow{"CloseButtonInLeft", true, true, dhDouble, true, {2, 16, 2, 2}, true},
                      FrameRow{"DockWithoutDragging", false, false, dhSingle, true, {2, 2, 2, 2}, false}),
    [](const auto& info) { return std::string(info.param.Name); });

using DockedFrameTest = DockFormFixture;

TEST_F(DockedFrameTest, CloseButtonClosesOnlyWhenReleasedOverIt)
{
    TTestWindow* a = AddWindow(Top, "A");
    a->SetCloseButtonWhenDocked(true);
    Pump();
    const TRect button = a->DockedCloseButtonRect(false);
    const TPoint centre = OnWindow(a, (button.left + button.right) / 2, (button.top + button.bottom) / 2);

    PostMouse(ui::WM_LBUTTONDOWN, centre);
    PostMouse(ui::WM_MOUSEMOVE, OnWindow(a, 40, 30));
    PostMouse(ui::WM_LBUTTONUP, OnWindow(a, 40, 30));
    Pump();
    EXPECT_TRUE(a->GetVisible());
    EXPECT_FALSE(a->GetCloseButtonDown());
    EXPECT_EQ(ui::GetCapture(), nullptr);

    PostMouse(ui::WM_LBUTTONDOWN, centre);
    PostMouse(ui::WM_MOUSEMOVE, OnWindow(a, 40, 30));
    PostMouse(ui::WM_MOUSEMOVE, centre);
    PostMouse(ui::WM_LBUTTONUP, centre);
    Pump();
    EXPECT_FALSE(a->GetVisible());
    EXPECT_EQ(ui::GetCapture(), nullptr);
}

TEST_F(DockedFrameTest, CloseButtonLooksPressedAndHot)
{
    TTestWindow* a = AddWindow(Top, "A");
    a->SetCloseButtonWhenDocked(true);
    Pump();
    const TRect button = a->DockedCloseButtonRect(false);
    const auto pixel = [&](int x, int y) {
        Pump();
        return ui::GetWindowImage(a->GetHandle())->pixel(x, y) & 0xFFFFFF;
    };
    const auto rgb = [](int index) {
        const ui::COLORREF c = ui::GetSysColor(index);
        return qRgb(ui::GetRValue(c), ui::GetGValue(c), ui::GetBValue(c)) & 0xFFFFFF;
    };
    // The raised outer edge, the grip strips and the cross.
    EXPECT_EQ(pixel(0, 0), rgb(ui::COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(a->GetWidth() - 1, a->GetHeight() - 1), rgb(ui::COLOR_BTNSHADOW));
    EXPECT_EQ(pixel(button.left + 3, button.top + 3), rgb(ui::COLOR_BTNTEXT));
    EXPECT_EQ(pixel(button.left + 5, button.top + 3), rgb(ui::COLOR_BTNFACE));
    EXPECT_EQ(pixel(button.left, button.top), rgb(ui::COLOR_BTNFACE));

    PostMouse(ui::WM_MOUSEMOVE, OnWindow(a, button.left + 5, button.top + 5));
    Pump();
    EXPECT_TRUE(a->GetCloseButtonHover());
    EXPECT_EQ(pixel(button.left, button.top), rgb(ui::COLOR_BTNHIGHLIGHT));
    PostMouse(ui::WM_MOUSEMOVE, OnWindow(a, 40, 12));
    Pump();
    EXPECT_FALSE(a->GetCloseButtonHover());
    EXPECT_EQ(pixel(button.left, button.top), rgb(ui::COLOR_BTNFACE));
}

TEST_F(DockedFrameTest, DoubleClicksOnTheHandleOrTheContentFloatTheWindow)
{
    TTestWindow* a = AddWindow(Top, "A");
    PostMouse(ui::WM_LBUTTONDBLCLK, OnWindow(a, 4, 10));
    Pump();
    EXPECT_TRUE(a->GetFloating());
    a->DoubleClick();
    ASSERT_TRUE(a->GetDocked());
    Pump();
    PostMouse(ui::WM_LBUTTONDBLCLK, OnWindow(a, 30, 12));
    Pump();
    EXPECT_TRUE(a->GetFloating());
    // And floating, a double click on the content docks it again (its frame goes at once).
    PostMouse(ui::WM_LBUTTONDBLCLK, OnWindow(a, 30, 12));
    Pump();
    EXPECT_EQ(a->GetCurrentDock(), Top);
    EXPECT_EQ(a->GetFloatParent(), nullptr);
}

TEST_F(DockedFrameTest, RightClickOnTheFrameIsTheWindowsContextMenu)
{
    struct Popups {
        std::vector<TPoint> At;
        void Popup(TObject*, ui::POINT p, bool& handled)
        {
            At.push_back(p);
            handled = true;
        }
    } popups;
    TTestWindow* a = AddWindow(Top, "A");
    a->OnContextPopup = TContextPopupEvent(&popups, &Popups::Popup);
    PostMouse(ui::WM_RBUTTONDOWN, OnWindow(a, 3, 10));
    PostMouse(ui::WM_RBUTTONUP, OnWindow(a, 3, 10));
    Pump();
    ASSERT_EQ(popups.At.size(), 1u);
    // In client coordinates: left of the content, over the handle.
    EXPECT_EQ(popups.At[0], (TPoint{3 - 8, 10 - 2}));
}

// A background whose every request is noted, in the coordinates of the dock's parent.
class TNotingBackground : public TTBBasicBackground {
public:
    using TTBBasicBackground::TTBBasicBackground;
    void Draw(ui::HDC, const TRect& rect) override { Drawn.push_back(rect); }
    void RegisterChanges(const TNotifyEvent&) override {}
    void SysColorChanged() override {}
    void UnregisterChanges(const TNotifyEvent&) override {}
    bool UsingBackground() override { return true; }
    std::vector<TRect> Drawn;
};

TEST_F(DockedFrameTest, WindowsShowTheDocksBackgroundContinuedBehindThemAndRepaintWhenMoved)
{
    TComponent owner(nullptr);
    auto* background = new TNotingBackground(&owner);
    Top->SetBackground(background);
    TTestWindow* a = AddWindow(Top, "A", {60, 22}, 0, 40);
    background->Drawn.clear();
    ui::InvalidateRect(a->GetHandle(), nullptr, ui::TRUE);
    Pump();
    // The window's client area, where it lies on the form.
    const TPoint onForm = Form->ScreenToClient(a->ClientToScreen(TPoint{0, 0}));
    const auto covers = [&](const TRect& r) {
        return r.left == onForm.x && r.top == onForm.y && r.right - r.left == 60 && r.bottom - r.top == 22;
    };
    EXPECT_TRUE(std::any_of(background->Drawn.begin(), background->Drawn.end(), covers));

    // Moved along the dock, it repaints at once with the background at its new place.
    background->Drawn.clear();
    a->SetDockPos(100);
    const TPoint moved = Form->ScreenToClient(a->ClientToScreen(TPoint{0, 0}));
    EXPECT_EQ(moved.x, onForm.x + 60);
    EXPECT_TRUE(std::any_of(background->Drawn.begin(), background->Drawn.end(),
                            [&](const TRect& r) { return r.left == moved.x && r.top == moved.y; }));

    // Without BackgroundOnToolbars the content has the window's own colour.
    Top->SetBackgroundOnToolbars(false);
    background->Drawn.clear();
    ui::InvalidateRect(a->GetHandle(), nullptr, ui::TRUE);
    Pump();
    EXPECT_FALSE(std::any_of(background->Drawn.begin(), background->Drawn.end(), [&](const TRect& r) {
        return r.left == moved.x && r.top == moved.y && r.right - r.left == 60;
    }));
    Top->SetBackground(nullptr);
}

}  // namespace
}  // namespace ovrel::toolbars
