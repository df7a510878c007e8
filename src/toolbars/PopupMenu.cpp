#include "toolbars/PopupMenu.h"

#include <utility>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;

TTBPopupMenu::TTBPopupMenu(TComponent* owner) : TPopupMenu(owner) {}

TTBPopupMenu::~TTBPopupMenu()
{
    // The items go before the menu's own state: their viewers and listeners may still ask it.
    delete std::exchange(FItems, nullptr);
}

TTBCustomItem* TTBPopupMenu::GetItems()
{
    if (FItems == nullptr) {
        FItems = GetRootItemClass().Create(this);
        FItems->SetHostComponent(this);
        FItems->OnClick = TNotifyEvent(this, &TTBPopupMenu::RootItemClick);
    }
    return FItems;
}

TTBRootItemClass TTBPopupMenu::GetRootItemClass() const { return TTBRootItemClass::Of<TTBRootItem>(); }

TCustomImageList* TTBPopupMenu::GetImages() { return GetItems()->GetSubMenuImages(); }

void TTBPopupMenu::SetImages(TCustomImageList* value) { GetItems()->SetSubMenuImages(value); }

TTBCustomItem* TTBPopupMenu::GetLinkSubitems() { return GetItems()->GetLinkSubitems(); }

void TTBPopupMenu::SetLinkSubitems(TTBCustomItem* value) { GetItems()->SetLinkSubitems(value); }

TTBItemOptions TTBPopupMenu::GetOptions() { return GetItems()->GetOptions(); }

void TTBPopupMenu::SetOptions(TTBItemOptions value) { GetItems()->SetOptions(value); }

void TTBPopupMenu::RootItemClick(TObject* sender) { DoPopup(sender == FItems ? static_cast<TObject*>(this) : sender); }

void TTBPopupMenu::Popup(int x, int y)
{
    SetPopupPoint(TPoint{x, y});
    GetItems()->Popup(x, y, GetTrackButton() == tbRightButton, GetAlignment());
}

bool TTBPopupMenu::IsShortCut(TMessage& message) { return GetItems()->IsShortCut(message); }

void TTBPopupMenu::GetChildren(const TGetChildProc& proc, TComponent* root) { GetItems()->GetChildren(proc, root); }

void TTBPopupMenu::SetChildOrder(TComponent* child, int order) { GetItems()->SetChildOrder(child, order); }

}  // namespace ovrel::toolbars
