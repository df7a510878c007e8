#pragma once
// The context-menu component of the framework: a pop-up menu whose menu is an item tree, shown through the
// framework's pop-up windows and menu loop. Forms use it as any pop-up menu: a control's pop-up menu, Popup
// at a screen point, and its shortcuts through the form's key handling while it is hidden.

#include "toolbars/Items.h"

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/Menus.h"

namespace ovrel::toolbars {

/// The class of a pop-up menu's root item.
using TTBRootItemClass = toolkit::TClassOf<TTBCustomItem, toolkit::TComponent*>;

class TTBPopupMenu : public toolkit::TPopupMenu, public IItemsProvider {
public:
    explicit TTBPopupMenu(toolkit::TComponent* owner);
    ~TTBPopupMenu() override;

    /// The root item, owned by the menu; its children are the menu's items. Made on first use, of the class
    /// GetRootItemClass gives.
    [[nodiscard]] TTBCustomItem* GetItems() override;
    /// The root item's SubMenuImages.
    [[nodiscard]] toolkit::TCustomImageList* GetImages();
    void SetImages(toolkit::TCustomImageList* value);
    [[nodiscard]] TTBCustomItem* GetLinkSubitems();
    void SetLinkSubitems(TTBCustomItem* value);
    [[nodiscard]] TTBItemOptions GetOptions();
    void SetOptions(TTBItemOptions value);

    /// Shows the menu at a screen point and tracks it (following the right button when TrackButton is
    /// tbRightButton); OnPopup fires first, from the root item's click. The chosen command runs afterwards.
    void Popup(int x, int y) override;
    /// Runs the item whose shortcut the key message is, the menu showing or not.
    bool IsShortCut(toolkit::TMessage& message) override;

    void GetChildren(const TGetChildProc& proc, toolkit::TComponent* root) override;
    void SetChildOrder(toolkit::TComponent* child, int order) override;

protected:
    [[nodiscard]] virtual TTBRootItemClass GetRootItemClass() const;

private:
    void RootItemClick(toolkit::TObject* sender);

    TTBCustomItem* FItems = nullptr;  // owned (as a component of the menu)
};

}  // namespace ovrel::toolbars
