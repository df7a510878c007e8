// Pop-up windows as an item opens them: where they go, how they show (without activation, with one
// WM_TB_POPUPSHOWING, animated only when the system asks and the window agrees), the sound, the frame and the
// scroll bands read back from pixels, WM_CLOSE and the hint of the selected viewer.
#include "MenusTestSupport.h"

#include "platform/ui/Gdi.h"
#include "toolbars/Animation.h"
#include "toolkit/Controls.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolbars::testing;
using toolkit::TPoint;
using toolkit::TRect;

// The window an item opens at a point, freed with the test.
std::unique_ptr<TTBPopupWindow> OpenAt(TTBCustomItem& item, TPoint point)
{
    toolkit::TWinControl* window = item.CreatePopup(nullptr, nullptr, false, false, false, point, toolkit::paLeft);
    return std::unique_ptr<TTBPopupWindow>(dynamic_cast<TTBPopupWindow*>(window));
}

QRgb Rgb(ui::COLORREF c) { return qRgb(ui::GetRValue(c), ui::GetGValue(c), ui::GetBValue(c)); }

class PopupWindows : public MenusFixture {
protected:
    PopupWindows()
    {
        for (const char* caption : {"&Open", "&Save", "Save &As"})
            AddChild(Root.get(), caption);
        Sub = AddChild<TRecordingPopupItem>(Root.get(), "&Recent");
        AddChild(Sub, "One");
    }

    std::unique_ptr<TRecordingPopupItem> Root = std::make_unique<TRecordingPopupItem>(nullptr);
    TTBCustomItem* Sub;
};

TEST_F(PopupWindows, ShowWithoutActivationAndTellItOnce)
{
    const auto popup = OpenAt(*Root, TPoint{300, 200});
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(ui::IsWindowVisible(popup->GetHandle()));
    EXPECT_EQ(ui::GetActiveWindow(), Form->GetHandle());
    EXPECT_EQ(TRecordingPopupWindow::Showing, std::vector<ui::WPARAM>{tbpsShown});
    ui::RECT bounds;
    ui::GetWindowRect(popup->GetHandle(), &bounds);
    EXPECT_EQ(bounds.left, 300);
    EXPECT_EQ(bounds.top, 200);
    // The view sized it: its widest row and the frame on each side.
    int widest = 0;
    for (int i = 0; i < popup->GetView()->GetViewerCount(); ++i)
        widest = std::max(widest, popup->GetView()->GetViewer(i)->GetBoundsRect().right);
    EXPECT_EQ(bounds.right - bounds.left, widest + 6);
}

TEST_F(PopupWindows, IgnoreWMClose)
{
    const auto popup = OpenAt(*Root, TPoint{300, 200});
    ui::SendMessage(popup->GetHandle(), ui::WM_CLOSE, 0, 0);
    EXPECT_TRUE(ui::IsWindow(popup->GetHandle()));
    EXPECT_TRUE(ui::IsWindowVisible(popup->GetHandle()));
}

TEST_F(PopupWindows, AnimateOnlyWhenTheSystemAsksAndTheWindowAgrees)
{
    struct Row {
        const char* name;
        ui::BOOL animation;
        ui::LRESULT answer;
        bool animates;
        std::vector<ui::WPARAM> told;  // while open
    };
    const Row rows[] = {
        {"SettingOff", ui::FALSE, 0, false, {tbpsShown}},
        {"WindowAgrees", ui::TRUE, 0, true, {tbpsAnimationAllowed}},
        {"WindowDeclines", ui::TRUE, 1, false, {tbpsAnimationAllowed, tbpsShown}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ui::SystemTableOverride table;
        table.Table().MenuAnimation = row.animation;
        TRecordingPopupWindow::Showing.clear();
        TRecordingPopupWindow::AnimationAnswer = row.answer;
        auto popup = OpenAt(*Root, TPoint{300, 200});
        EXPECT_EQ(AnimatedWindow() == popup->GetHandle(), row.animates);
        EXPECT_EQ(TRecordingPopupWindow::Showing, row.told);
        EXPECT_TRUE(ui::IsWindowVisible(popup->GetHandle()));
        popup.reset();
        EXPECT_EQ(AnimatedWindow(), nullptr);
        if (row.animates) {
            EXPECT_EQ(TRecordingPopupWindow::Showing.back(), tbpsAnimationEnded);
        }
    }
}

TEST_F(PopupWindows, ASubmenuOfAToolbarThatClosedAPopupShowsWithoutAnimation)
{
    ui::SystemTableOverride table;
    table.Table().MenuAnimation = ui::TRUE;
    std::unique_ptr<TTBView> toolbar(
        TTBView::CreateView(TTBViewClass::Of<TTBView>(), nullptr, nullptr, Root.get(), Form.get(), true, false, false));
    toolbar->SetState(toolbar->GetState() | ViewStateNoAnimation);
    toolbar->Select(toolbar->FindViewerOfItem(Sub));
    ASSERT_TRUE(toolbar->OpenChildPopup(false));
    EXPECT_EQ(AnimatedWindow(), nullptr);
    EXPECT_EQ(TRecordingPopupWindow::Showing, std::vector<ui::WPARAM>{tbpsShown});
    toolbar->CloseChildPopups();
}

// Records at each sound whether a pop-up showed and had been painted.
class TSoundWitness final : public ui::ISound {
public:
    bool Play(const std::string& alias, ui::DWORD) override
    {
        Plays.push_back(alias + (ShownPopups().empty() ? " hidden" : " shown") +
                        (TRecordingPopupWindow::Paints > 0 ? " painted" : ""));
        return true;
    }
    void Beep(ui::UINT) override {}
    std::vector<std::string> Plays;
};

TEST_F(PopupWindows, TheFirstSoundPlaysOnceTheMenuIsPaintedLaterOnesBeforeItShows)
{
    EnableMenuSounds();
    TSoundWitness witness;
    ui::ScopedService<ui::ISound> sound(ui::SetSound, witness);
    OpenAt(*Root, TPoint{300, 200}).reset();
    TRecordingPopupWindow::Paints = 0;
    OpenAt(*Root, TPoint{300, 200}).reset();
    EXPECT_EQ(witness.Plays, (std::vector<std::string>{"MenuPopup shown painted", "MenuPopup hidden"}));
}

TEST_F(PopupWindows, NoSoundWhileTheUserHasNone)
{
    OpenAt(*Root, TPoint{300, 200}).reset();
    EXPECT_TRUE(Sound.Events.empty());
}

TEST_F(PopupWindows, ASubmenuOpensBesideItsItemAndLeftwardsAtTheScreenEdge)
{
    struct Row {
        const char* name;
        int parentX;
        bool leftwards;
    };
    for (const Row& row : {Row{"RoomOnTheRight", 300, false}, Row{"AtTheRightEdge", 900, true}}) {
        SCOPED_TRACE(row.name);
        auto parent = OpenAt(*Root, TPoint{row.parentX, 200});
        TTBView* view = parent->GetView();
        TTBItemViewer* viewer = view->FindViewerOfItem(Sub);
        view->Select(viewer);
        ASSERT_TRUE(view->OpenChildPopup(false));
        auto* sub = dynamic_cast<TTBPopupWindow*>(view->GetOpenViewerWindow());
        ASSERT_NE(sub, nullptr);
        ui::RECT item = viewer->GetBoundsRect();
        ui::MapWindowPoints(parent->GetHandle(), nullptr, reinterpret_cast<ui::POINT*>(&item), 2);
        ui::RECT bounds;
        ui::GetWindowRect(sub->GetHandle(), &bounds);
        EXPECT_EQ(bounds.top, item.top - 3);
        if (row.leftwards)
            EXPECT_EQ(bounds.right, item.left + 3);
        else
            EXPECT_EQ(bounds.left, item.right - 3);
        EXPECT_EQ((sub->GetView()->GetState() & ViewStateOpenedLeftwards) != 0, row.leftwards);
        view->CloseChildPopups();
    }
}

TEST_F(PopupWindows, TheFrameIsThreePixelsOnEachSide)
{
    struct Row {
        const char* name;
        ui::BOOL flat;
        int inner;  // the colour index of the ring next to the client area
    };
    for (const Row& row : {Row{"Raised", ui::FALSE, ui::COLOR_BTNFACE}, Row{"Flat", ui::TRUE, ui::COLOR_MENU}}) {
        SCOPED_TRACE(row.name);
        ui::SystemTableOverride table;
        table.Table().FlatMenu = row.flat;
        auto popup = OpenAt(*Root, TPoint{300, 200});
        ui::HWND handle = popup->GetHandle();
        ui::UpdateWindow(handle);
        const ui::RECT inset = ui::GetClientInset(handle);
        ui::RECT bounds;
        ui::GetWindowRect(handle, &bounds);
        EXPECT_EQ(inset.left, 3);
        EXPECT_EQ(inset.top, 3);
        EXPECT_EQ(bounds.right - bounds.left - inset.right, 3);
        EXPECT_EQ(bounds.bottom - bounds.top - inset.bottom, 3);
        const QImage& image = *ui::GetWindowImage(handle);
        const int midY = image.height() / 2;
        const int midX = image.width() / 2;
        for (const TPoint p :
             {TPoint{2, midY}, TPoint{image.width() - 3, midY}, TPoint{midX, 2}, TPoint{midX, image.height() - 3}})
            EXPECT_EQ(image.pixel(p.x, p.y), Rgb(ui::GetSysColor(row.inner))) << p.x << "," << p.y;
        if (row.flat) {
            EXPECT_EQ(image.pixel(0, midY), Rgb(ui::GetSysColor(ui::COLOR_BTNSHADOW)));
            EXPECT_EQ(image.pixel(1, midY), Rgb(ui::GetSysColor(ui::COLOR_MENU)));
        } else {
            EXPECT_EQ(image.pixel(1, midY), Rgb(ui::GetSysColor(ui::COLOR_BTNHIGHLIGHT)));
            EXPECT_EQ(image.pixel(image.width() - 1, midY), Rgb(ui::GetSysColor(ui::COLOR_3DDKSHADOW)));
        }
    }
}

TEST_F(PopupWindows, AnswerTheHintOfTheSelectedItem)
{
    auto popup = OpenAt(*Root, TPoint{300, 200});
    TTBView* view = popup->GetView();
    toolkit::THintInfo info;
    info.HintStr = "the control's own";
    popup->Perform(toolkit::CM_HINTSHOW, 0, reinterpret_cast<std::intptr_t>(&info));
    EXPECT_EQ(info.HintStr, "");
    TTBItemViewer* saveAs = view->FindViewerOfItem(Root->GetItem(2));
    view->Select(saveAs);
    popup->Perform(toolkit::CM_HINTSHOW, 0, reinterpret_cast<std::intptr_t>(&info));
    EXPECT_EQ(info.HintStr, "Save As");
    EXPECT_EQ(info.CursorRect, saveAs->GetBoundsRect());
}

// A screen too low for the menu: it scrolls, with a band and its triangle at each end that has more.
class TallPopup : public MenusFixture {
protected:
    TallPopup() : MenusFixture({0, 0, 1024, 200})
    {
        for (int i = 0; i < 20; ++i)
            AddChild(Root.get(), "Item " + std::to_string(i));
    }

    // The pixels of the menu text colour in a band of the client area, as (left, top, right, bottom).
    static TRect Triangle(const QImage& image, int bandTop)
    {
        TRect box{1 << 20, 1 << 20, -1, -1};
        const QRgb ink = Rgb(ui::GetSysColor(ui::COLOR_MENUTEXT));
        for (int y = bandTop; y < bandTop + ScrollBandHeight; ++y)
            for (int x = 3; x < image.width() - 3; ++x)
                if (image.pixel(x, y + 3) == ink) {
                    box.left = std::min(box.left, x - 3);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x - 3 + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        return box;
    }

    std::unique_ptr<TTBRootItem> Root = std::make_unique<TTBRootItem>(nullptr);
};

TEST_F(TallPopup, ShowsAScrollTriangleInTheBandOfEachEndThatHasMore)
{
    auto popup = OpenAt(*Root, TPoint{100, 0});
    TTBView* view = popup->GetView();
    const int clientWidth = popup->GetClientWidth();
    const int clientHeight = popup->GetClientHeight();
    EXPECT_EQ(clientHeight, 200 - 6);
    ASSERT_TRUE(view->GetShowDownArrow());
    ASSERT_FALSE(view->GetShowUpArrow());
    ui::UpdateWindow(popup->GetHandle());
    const int centre = clientWidth / 2;
    // Down: the base 7 pixels wide at the band's middle less one, the tip 3 below.
    const TRect down = Triangle(*ui::GetWindowImage(popup->GetHandle()), clientHeight - ScrollBandHeight);
    EXPECT_EQ(down, (TRect{centre - 3, clientHeight - 11, centre + 4, clientHeight - 7}));
    EXPECT_EQ(Triangle(*ui::GetWindowImage(popup->GetHandle()), 0).right, -1) << "no band at the top yet";

    view->SelectAndScroll(view->NextSelectable(nullptr, false));
    ASSERT_TRUE(view->GetShowUpArrow());
    ASSERT_FALSE(view->GetShowDownArrow());
    ui::UpdateWindow(popup->GetHandle());
    // Up: the tip at the band's middle less one, the base 3 below.
    const TRect up = Triangle(*ui::GetWindowImage(popup->GetHandle()), 0);
    EXPECT_EQ(up, (TRect{centre - 3, 8, centre + 4, 12}));
}

}  // namespace
}  // namespace ovrel::toolbars
