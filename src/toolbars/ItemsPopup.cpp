// The pop-up operations of items: where a pop-up of an item's children goes, how it opens, and the
// context menu that an item's children make.
#include "toolbars/Items.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "toolbars/Common.h"
#include "toolbars/Popup.h"
#include "toolbars/View.h"
#include "toolbars/View_p.h"

#include <memory>
#include <utility>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

bool Overlaps(const TPopupPositionRec& r, int x, int y)
{
    const TRect& item = r.ParentItemRect;
    return y < item.bottom && y + r.Height > item.top && x < item.right && x + r.Width > item.left;
}

bool gPopupSoundPlayed = false;

// Opens the pop-up windows of the items' own window classes.
class TPopupWindows final : public ITBPopupFactory {
public:
    TWinControl* CreatePopup(TTBCustomItem& item, TTBView* parentView, TTBItemViewer* parentViewer, bool asSubmenu,
                             bool selectFirstItem, bool customizing, TPoint popupPoint,
                             TPopupAlignment alignment) override;
};

TWinControl* TPopupWindows::CreatePopup(TTBCustomItem& item, TTBView* parentView, TTBItemViewer* parentViewer,
                                        bool asSubmenu, bool selectFirstItem, bool customizing, TPoint popupPoint,
                                        TPopupAlignment alignment)
{
    TTBCustomItem* linked = ResolveLinkSubitems(&item);
    if (linked != &item)
        linked->DoPopup(&item, true);
    item.DoPopup(&item, false);

    // A chevron shows the children of its toolbar's items.
    TTBView* chevronView = item.GetChevronParentView();
    TTBCustomItem* shown = chevronView != nullptr ? chevronView->GetParentItem() : &item;
    const bool oppositeSide = parentView != nullptr && (parentView->GetState() & ViewStateOpenedLeftwards) != 0;

    std::unique_ptr<TTBPopupWindow> window(
        TTBPopupWindow::CreatePopupWindow(item.GetPopupWindowClass(), nullptr, parentView, shown, customizing));
    TTBView* view = window->GetView();
    if (chevronView != nullptr) {
        view->SetChevronParentView(chevronView);
        view->SetIsToolbar(true);
        view->SetStyle(static_cast<TTBViewStyle>(view->GetStyle() | (chevronView->GetStyle() & ViewStyleShowHints)));
        window->SetColor(clBtnFace);
    }

    TRect parentItemRect{popupPoint.x, popupPoint.y, popupPoint.x, popupPoint.y};
    TRect monitor;
    if (parentView != nullptr) {
        parentItemRect = parentViewer->GetBoundsRect();
        const TPoint origin = parentView->GetClientOriginOnScreen();
        OffsetRect(&parentItemRect, origin.x, origin.y);
        monitor = parentView->GetMonitorRect();
        if (IsRectEmpty(&monitor))
            monitor = GetRectOfMonitorContainingRect(parentItemRect, false);
    } else {
        monitor = GetRectOfMonitorContainingPoint(popupPoint, false);
    }
    view->SetMonitorRect(monitor);

    const TPoint frame = window->GetNCSize();
    if (chevronView != nullptr)
        view->SetWrapOffset(monitor.right - monitor.left - 2 * frame.x);
    else
        view->SetMaxHeight(monitor.bottom - monitor.top - 2 * frame.y);

    if (selectFirstItem)
        view->Select(view->FirstSelectable());
    view->EnsureLayout();
    const int width = window->GetWidth();
    const int height = window->GetHeight();

    int x = 0;
    int y = 0;
    if (parentView == nullptr) {
        x = alignment == paRight    ? popupPoint.x - width
            : alignment == paCenter ? popupPoint.x - width / 2
                                    : popupPoint.x;
        y = popupPoint.y;
    } else if (asSubmenu) {
        x = parentItemRect.right - frame.x;
        y = parentItemRect.top - frame.y;
    } else if (chevronView != nullptr) {
        if (chevronView->IsVertical()) {
            x = parentItemRect.left - width;
            y = parentItemRect.top;
        } else {
            x = parentItemRect.right - width;
            y = parentItemRect.bottom;
        }
    } else if (parentView->IsVertical()) {
        x = parentItemRect.left - width;
        y = parentItemRect.top;
    } else {
        x = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? parentItemRect.right - width : parentItemRect.left;
        y = parentItemRect.bottom;
    }

    TPopupPositionRec rec;
    rec.AsSubmenu = asSubmenu;
    rec.Alignment = alignment;
    rec.OppositeSide = oppositeSide;
    rec.MonitorRect = monitor;
    rec.ParentItemRect = parentItemRect;
    rec.FrameX = frame.x;
    rec.FrameY = frame.y;
    rec.X = x;
    rec.Y = y;
    rec.Width = width;
    rec.Height = height;
    item.GetPopupPosition(parentView, rec);
    if (rec.OpenedLeftwards)
        view->SetState(static_cast<TTBViewState>(view->GetState() | ViewStateOpenedLeftwards));
    window->SetAnimationDirection(rec.AnimationDirection);
    window->SetBounds(rec.X, rec.Y, rec.Width, rec.Height);

    if (parentView != nullptr)
        parentView->PopupOpened(window.get(), view, parentViewer);

    view->SetState(static_cast<TTBViewState>(view->GetState() | ViewStateDrawInOrder));
    if (!rec.PlaySound || !IsMenuSoundEnabled("MenuPopup")) {
        window->Show();
    } else if (!gPopupSoundPlayed) {
        // The first sound of the process can take a while to load: the menu shows complete before it.
        gPopupSoundPlayed = true;
        window->Show();
        UpdateWindow(window->GetHandle());
        PlaySound("MenuPopup", SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP);
    } else {
        PlaySound("MenuPopup", SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP);
        window->Show();
    }

    ui::NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, window->GetHandle(), OBJID_CLIENT, CHILDID_SELF);
    if (view->GetSelected() != nullptr)
        view->NotifyFocus();
    return window.release();
}

ITBPopupFactory*& InstalledFactory()
{
    static ITBPopupFactory* factory = nullptr;
    return factory;
}

}  // namespace

ITBPopupFactory& PopupFactory()
{
    static TPopupWindows windows;
    ITBPopupFactory* factory = InstalledFactory();
    return factory != nullptr ? *factory : windows;
}

ITBPopupFactory* SetPopupFactory(ITBPopupFactory* factory) { return std::exchange(InstalledFactory(), factory); }

bool GetPopupSoundPlayed() { return gPopupSoundPlayed; }

void SetPopupSoundPlayed(bool value) { gPopupSoundPlayed = value; }

TTBPopupWindowClass TTBCustomItem::GetPopupWindowClass() const { return TTBPopupWindowClass::Of<TTBPopupWindow>(); }

TWinControl* TTBCustomItem::CreatePopup(TTBView* parentView, TTBItemViewer* parentViewer, bool asSubmenu,
                                        bool selectFirstItem, bool customizing, TPoint popupPoint,
                                        TPopupAlignment alignment)
{
    return PopupFactory().CreatePopup(*this, parentView, parentViewer, asSubmenu, selectFirstItem, customizing,
                                      popupPoint, alignment);
}

void TTBCustomItem::PopupEx(bool selectFirstItem, bool trackRightButton, TPoint point, TPopupAlignment alignment)
{
    std::unique_ptr<detail::TDoneActionGuard> done;
    {
        TTBModalHandler handler(nullptr);
        std::unique_ptr<TWinControl> window(
            CreatePopup(nullptr, nullptr, false, selectFirstItem, false, point, alignment));
        auto* popup = dynamic_cast<ITBPopupWindow*>(window.get());
        TTBView* view = popup != nullptr ? popup->GetView() : nullptr;
        if (view == nullptr)
            return;
        // Whatever ends the loop, the view leaves it before its window goes.
        struct TLeaveModal {
            TTBView* View;
            ~TLeaveModal() { View->SetState(static_cast<TTBViewState>(View->GetState() & ~ViewStateModal)); }
        } leave{view};
        view->SetState(static_cast<TTBViewState>(view->GetState() | ViewStateIgnoreNextMouseUp));
        handler.Loop(view, false, false, false, trackRightButton);
        done = std::make_unique<detail::TDoneActionGuard>(view->GetDoneAction());
    }
    ExecuteDoneAction(done->Take());
}

void TTBCustomItem::Popup(int x, int y, bool trackRightButton, TPopupAlignment alignment)
{
    PopupEx(false, trackRightButton, TPoint{x, y}, alignment);
}

int CountCoveredViewers(const ITBPopupParentView* parentView, const TPopupPositionRec& rec, int x, int y)
{
    if (parentView == nullptr)
        return 0;
    const TPoint origin = parentView->GetClientOriginOnScreen();
    const TRect area{x - origin.x, y - origin.y, x - origin.x + rec.Width, y - origin.y + rec.Height};
    int count = 0;
    parentView->ForEachShownViewer([&area, &count](const TRect& r) {
        if (r.left >= area.left && r.right <= area.right && r.top >= area.top && r.bottom <= area.bottom)
            ++count;
    });
    return count;
}

void TTBCustomItem::GetPopupPosition(const ITBPopupParentView* parentView, TPopupPositionRec& rec)
{
    const TRect& mon = rec.MonitorRect;
    const TRect& pir = rec.ParentItemRect;
    const bool vertical = parentView != nullptr && parentView->IsVertical();
    const auto covered = [&](int x, int y) { return CountCoveredViewers(parentView, rec, x, y); };

    // Vertical fit: flip above the parent item when there is room, then keep on the monitor.
    if (rec.Y + rec.Height > mon.bottom && !vertical) {
        const int y2 = (rec.AsSubmenu ? pir.bottom + rec.FrameY : pir.top) - rec.Height;
        if (y2 >= mon.top)
            rec.Y = y2;
    }
    if (rec.Y + rec.Height > mon.bottom)
        rec.Y = mon.bottom - rec.Height;
    if (rec.Y < mon.top)
        rec.Y = mon.top;

    if (!rec.AsSubmenu) {
        if (parentView == nullptr && rec.Alignment == paRight && rec.X < mon.left)
            rec.X += rec.Width;
        if (rec.X + rec.Width > mon.right)
            rec.X = (parentView != nullptr || rec.Alignment != paLeft ? mon.right : rec.X) - rec.Width;
        if (rec.X < mon.left)
            rec.X = mon.left;
        if (!vertical) {
            const int y2 = pir.top - rec.Height;
            if (y2 >= mon.top && (covered(rec.X, y2) < covered(rec.X, rec.Y) || Overlaps(rec, rec.X, rec.Y)))
                rec.Y = y2;
            if (Overlaps(rec, rec.X, rec.Y)) {
                rec.X = pir.right + rec.Width <= mon.right ? pir.right : pir.left - rec.Width;
                if (rec.X < mon.left)
                    rec.X = mon.left;
            }
        } else {
            const int x2 = pir.right;
            if (x2 + rec.Width <= mon.right &&
                (covered(x2, rec.Y) < covered(rec.X, rec.Y) || Overlaps(rec, rec.X, rec.Y)))
                rec.X = x2;
            if (Overlaps(rec, rec.X, rec.Y)) {
                rec.Y = pir.bottom + rec.Height <= mon.bottom ? pir.bottom : pir.top - rec.Height;
                if (rec.Y < mon.top)
                    rec.Y = mon.top;
            }
        }
    } else {
        // A submenu opens on the side its parent pop-up opened to, and turns back only when it does not fit.
        for (;;) {
            int x2 = rec.X;
            if (rec.OppositeSide || x2 + rec.Width > mon.right) {
                if (parentView != nullptr)
                    x2 = pir.left + rec.FrameX;
                x2 -= rec.Width;
                if (rec.OppositeSide && x2 < mon.left) {
                    rec.OppositeSide = false;
                    continue;
                }
                rec.OpenedLeftwards = true;
            }
            rec.X = x2;
            break;
        }
        if (rec.X < mon.left)
            rec.X = mon.left;
    }

    if (!rec.AsSubmenu) {
        if (rec.Y >= pir.bottom)
            rec.AnimationDirection |= tbadDown;
        else if (rec.Y + rec.Height <= pir.top)
            rec.AnimationDirection |= tbadUp;
        if (rec.X >= pir.right)
            rec.AnimationDirection |= tbadRight;
        else if (rec.X + rec.Width <= pir.left)
            rec.AnimationDirection |= tbadLeft;
    } else {
        rec.AnimationDirection |= rec.X + rec.Width / 2 >= pir.left + (pir.right - pir.left) / 2 ? tbadRight : tbadLeft;
    }
}

}  // namespace ovrel::toolbars
