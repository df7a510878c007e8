// The pop-up operations of items: where a pop-up of an item's children goes, and who makes it.
#include "toolbars/Items.h"

#include <utility>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;

namespace {

bool Overlaps(const TPopupPositionRec& r, int x, int y)
{
    const TRect& item = r.ParentItemRect;
    return y < item.bottom && y + r.Height > item.top && x < item.right && x + r.Width > item.left;
}

// Opens nothing: the default while no pop-up windows are in place.
class TNoPopups final : public ITBPopupFactory {
public:
    TWinControl* CreatePopup(TTBCustomItem&, TTBView*, TTBItemViewer*, bool, bool, bool, TPoint,
                             TPopupAlignment) override
    {
        return nullptr;
    }
};

ITBPopupFactory*& InstalledFactory()
{
    static ITBPopupFactory* factory = nullptr;
    return factory;
}

}  // namespace

ITBPopupFactory& PopupFactory()
{
    static TNoPopups none;
    ITBPopupFactory* factory = InstalledFactory();
    return factory != nullptr ? *factory : none;
}

ITBPopupFactory* SetPopupFactory(ITBPopupFactory* factory) { return std::exchange(InstalledFactory(), factory); }

TWinControl* TTBCustomItem::CreatePopup(TTBView* parentView, TTBItemViewer* parentViewer, bool asSubmenu,
                                        bool selectFirstItem, bool customizing, TPoint popupPoint,
                                        TPopupAlignment alignment)
{
    return PopupFactory().CreatePopup(*this, parentView, parentViewer, asSubmenu, selectFirstItem, customizing,
                                      popupPoint, alignment);
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
