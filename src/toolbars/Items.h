#pragma once
// The item tree of toolbars, menu bars and pop-up menus. Every command they show is an item: what is shown
// (caption, image, shortcut, check state, visibility, options) lives here, how it is shown lives in the views,
// which listen to the items whose children they show. Items also find and run the item of a keyboard
// shortcut, follow an action, and run commands later from the message loop (the deferred calls), so that a
// command chosen in a menu runs after the menu has closed.

#include "platform/ui/Types.h"
#include "platform/ui/Window.h"
#include "toolkit/ActnList.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"
#include "toolkit/Menus.h"
#include "toolkit/System.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ovrel::toolbars {

class TTBCustomItem;
// The views and viewers that show items; the tree only passes them on.
class TTBView;
class TTBItemViewer;
class TTBPopupWindow;

/// A viewer class: makes the viewer of an item in a view, at a group level.
using TTBItemViewerClass = toolkit::TClassOf<TTBItemViewer, TTBView*, TTBCustomItem*, int>;
/// A pop-up window class: (owner, parent view, item whose children it shows, customizing).
using TTBPopupWindowClass = toolkit::TClassOf<TTBPopupWindow, toolkit::TComponent*, TTBView*, TTBCustomItem*, bool>;

/// Posted to the deferred-call window: WParam the flag, LParam the slot of the queued object.
inline constexpr ui::UINT WM_TB_DEFERREDCALL = 0x500;

/// Raised by the child list; the tree is unchanged when it is.
class ETBItemError : public toolkit::Exception {
public:
    using Exception::Exception;
};

// ---- Item style -------------------------------------------------------------------------------------------

/// Bits fixed by the class of an item, read by viewers and views.
using TTBItemStyle = std::uint16_t;
inline constexpr TTBItemStyle itsSubmenu = 0x0001;  // opens a pop-up of its children
inline constexpr TTBItemStyle itsSelectable = 0x0002;
inline constexpr TTBItemStyle itsSeparator = 0x0004;
inline constexpr TTBItemStyle itsInlineGroup = 0x0008;  // its children show inline in the parent's view
inline constexpr TTBItemStyle itsPassClicks = 0x0010;  // clicks neither select nor execute it
inline constexpr TTBItemStyle itsSplitButton = 0x0020;  // a button part and a drop-down arrow part
inline constexpr TTBItemStyle itsNoAutoOpen = 0x0040;
inline constexpr TTBItemStyle itsEditableSubitems = 0x0080;
inline constexpr TTBItemStyle itsNoWrapBreak = 0x0100;
inline constexpr TTBItemStyle itsRightAlign = 0x0200;
inline constexpr TTBItemStyle itsSkipWhenSelectingFirst = 0x0400;
inline constexpr TTBItemStyle itsRedrawOnSelect = 0x0800;
inline constexpr TTBItemStyle itsRedrawOnHover = 0x1000;
inline constexpr TTBItemStyle itsStretch = 0x2000;

/// What a change listener is told.
enum TTBItemChange : std::uint8_t {
    tbcInserted,  // index, the new child
    tbcDeleting,  // index, the child, still in place
    tbcSubitemsRelinked,
    tbcBeginUpdate,
    tbcEndUpdate,
    tbcRepaint,  // -1, the child
    tbcRepaintAndResize,  // -1, the child
    tbcRebuildViewers,  // never sent by items; views rebuild the viewers of the item
    tbcRenamed,  // -1, the child
    tbcSubMenuImages,
};

enum TTBItemDisplayMode : std::uint8_t { nbdmDefault, nbdmTextOnly, nbdmTextOnlyInMenus, nbdmImageAndText };

enum TTBItemOption : std::uint8_t {
    tboDefault,
    tboDropdownArrow,
    tboImageAboveCaption,
    tboLongHintInMenuOnly,
    tboNoRotation,
    tboSameWidth,
    tboShowHint,
    tboToolbarStyle,
    tboToolbarSize,
};
using TTBItemOptions = toolkit::TSet<TTBItemOption>;

/// A change listener: (sender, relayed, kind, index, item). Relayed notices come from the children of an
/// inline group or of a linked item, with that group or linking item as the sender.
using TTBItemChangeProc = toolkit::TEvent<TTBCustomItem*, bool, TTBItemChange, int, TTBCustomItem*>;
/// (sender, fromLink): fired before the children are shown.
using TTBPopupEvent = toolkit::TEvent<TTBCustomItem*, bool>;
/// (item, viewer, selecting): fired by viewers when the selection comes or goes.
using TTBSelectEvent = toolkit::TEvent<TTBCustomItem*, TTBItemViewer*, bool>;

// ---- Menu results -----------------------------------------------------------------------------------------

enum TTBDoneActionKind : std::uint8_t {
    tbdaNone,
    tbdaClose,
    tbdaExecuteItem,  // Item; Extra non-zero when it was chosen in a pop-up view
    tbdaSystemMenuKey,  // Window; Extra the character
    tbdaHelp,  // HelpContext
};

/// What a finished menu loop does. Each field is typed and pointer-sized, so nothing is cut on the way.
struct TMenuDoneAction {
    TTBDoneActionKind Action = tbdaNone;
    TTBCustomItem* Item = nullptr;
    ui::HWND Window = nullptr;
    int HelpContext = 0;
    std::uintptr_t Extra = 0;
};

/// Runs a done action after its menu loop: posts the click of the item, sends the system-menu key, or shows
/// the help context.
void ExecuteDoneAction(const TMenuDoneAction& action);

// ---- Pop-up placement -------------------------------------------------------------------------------------

/// AnimationDirection bits of TPopupPositionRec.
inline constexpr std::uint8_t tbadLeft = 0x01;
inline constexpr std::uint8_t tbadRight = 0x02;
inline constexpr std::uint8_t tbadDown = 0x04;
inline constexpr std::uint8_t tbadUp = 0x08;

/// Where a pop-up goes: filled by the pop-up's creation, adjusted by GetPopupPosition. Screen coordinates.
struct TPopupPositionRec {
    bool AsSubmenu = false;
    toolkit::TPopupAlignment Alignment = toolkit::paLeft;
    bool OppositeSide = false;  // in: the parent pop-up opened leftwards
    toolkit::TRect MonitorRect;
    toolkit::TRect ParentItemRect;
    int FrameX = 0;  // the pop-up window's border
    int FrameY = 0;
    int X = 0;  // the window rectangle
    int Y = 0;
    int Width = 0;
    int Height = 0;
    std::uint8_t AnimationDirection = 0;  // out: tbad bits
    bool PlaySound = true;
    bool OpenedLeftwards = false;  // out: the submenu went to the left of its parent item
};

/// What placing a pop-up needs of the view it opens from.
class ITBPopupParentView {
public:
    [[nodiscard]] virtual bool IsVertical() const = 0;
    /// The screen position of the client origin of the view's window.
    [[nodiscard]] virtual toolkit::TPoint GetClientOriginOnScreen() const = 0;
    /// Calls visit with the rectangle (window client coordinates) of every viewer that is shown.
    virtual void ForEachShownViewer(const std::function<void(const toolkit::TRect&)>& visit) const = 0;

protected:
    ~ITBPopupParentView() = default;
};

/// The shown viewers of parentView that a pop-up of the record's size at (x, y) would cover completely;
/// 0 without a parent view.
[[nodiscard]] int CountCoveredViewers(const ITBPopupParentView* parentView, const TPopupPositionRec& rec, int x, int y);

// ---- Interfaces the tree works with -----------------------------------------------------------------------

/// Makes the pop-up windows of items: the window that shows an item's children from a parent view (or at a
/// point), each hosting one view. The item's CreatePopup asks the factory in place.
class ITBPopupFactory {
public:
    virtual ~ITBPopupFactory() = default;
    /// As TTBCustomItem::CreatePopup; once open from a parent view, the factory tells that view
    /// (TTBView::PopupOpened). Returns the window, which its caller frees; none when nothing opened.
    virtual toolkit::TWinControl* CreatePopup(TTBCustomItem& item, TTBView* parentView, TTBItemViewer* parentViewer,
                                              bool asSubmenu, bool selectFirstItem, bool customizing,
                                              toolkit::TPoint popupPoint, toolkit::TPopupAlignment alignment) = 0;
};

/// The factory in place; by default one that opens nothing.
[[nodiscard]] ITBPopupFactory& PopupFactory();
/// Puts factory in place (borrowed; must outlive its use); null restores the default. Returns the previous one.
ITBPopupFactory* SetPopupFactory(ITBPopupFactory* factory);

/// A control that holds a root item (toolbars, pop-up menus): items whose parent component is set to it
/// join that root item.
class IItemsProvider {
public:
    [[nodiscard]] virtual TTBCustomItem* GetItems() = 0;

protected:
    ~IItemsProvider() = default;
};

/// What a deferred call runs on an item viewer: its accessibility action.
class ITBAccActionHandler {
public:
    virtual void HandleAccAction(bool execute) = 0;

protected:
    ~ITBAccActionHandler() = default;
};

// ---- Image change link and action link --------------------------------------------------------------------

/// An image-list change link that remembers the list's size when last seen.
class TTBImageChangeLink : public toolkit::TChangeLink {
private:
    friend class TTBCustomItem;
    int FLastWidth = -1;
    int FLastHeight = -1;
};

/// The link between an item and its action. A property is linked while the item's value equals the action's,
/// so that a value given to the item by hand is left alone.
class TTBCustomItemActionLink : public toolkit::TActionLink {
public:
    explicit TTBCustomItemActionLink(TTBCustomItem* client);

    [[nodiscard]] virtual bool IsAutoCheckLinked() const;
    [[nodiscard]] bool IsCaptionLinked() const override;
    [[nodiscard]] bool IsCheckedLinked() const override;
    [[nodiscard]] bool IsEnabledLinked() const override;
    [[nodiscard]] bool IsHelpContextLinked() const override;
    [[nodiscard]] bool IsHintLinked() const override;
    [[nodiscard]] bool IsImageIndexLinked() const override;
    [[nodiscard]] bool IsShortCutLinked() const override;
    [[nodiscard]] bool IsVisibleLinked() const override;
    [[nodiscard]] bool IsOnExecuteLinked() const override;

    void SetAutoCheck(bool value) override;
    void SetCaption(const std::string& value) override;
    void SetChecked(bool value) override;
    void SetEnabled(bool value) override;
    void SetHelpContext(int value) override;
    void SetHint(const std::string& value) override;
    void SetImageIndex(int value) override;
    void SetShortCut(toolkit::TShortCut value) override;
    void SetVisible(bool value) override;
    void SetOnExecute(const toolkit::TNotifyEvent& value) override;

protected:
    /// The action as a custom action; null for any other action.
    [[nodiscard]] const toolkit::TCustomAction* Action() const;

    TTBCustomItem* FClient;
};

using TTBCustomItemActionLinkClass = toolkit::TClassOf<TTBCustomItemActionLink, TTBCustomItem*>;

// ---- Items ------------------------------------------------------------------------------------------------

/// A node of the item tree. An item belongs to its component owner and to its parent item: whichever frees
/// it first, the other stays consistent. Freeing an item frees its children, the last first.
class TTBCustomItem : public toolkit::TComponent {
public:
    explicit TTBCustomItem(toolkit::TComponent* owner);
    ~TTBCustomItem() override;

    // -- Children (ETBItemError for a bad index, an item that has a parent, or a cycle) --------------------
    [[nodiscard]] int GetCount() const { return static_cast<int>(FItems.size()); }
    [[nodiscard]] TTBCustomItem* GetItem(int index) const;
    void Add(TTBCustomItem* item) { Insert(GetCount(), item); }
    void Insert(int newIndex, TTBCustomItem* item);
    /// Takes the child out of the list without freeing it.
    void Delete(int index);
    [[nodiscard]] int IndexOf(const TTBCustomItem* item) const;
    void Remove(TTBCustomItem* item);
    void Move(int curIndex, int newIndex);
    /// Frees every child, the last first.
    void Clear();
    [[nodiscard]] TTBCustomItem* GetParent() const { return FParent; }

    // -- Change listeners ------------------------------------------------------------------------------------
    /// Registering the same listener again counts one more reference.
    void RegisterNotification(const TTBItemChangeProc& proc);
    void UnregisterNotification(const TTBItemChangeProc& proc);
    /// Tells the listeners, and those of the parents this item relays to (inline groups, linking items).
    void Notify(TTBItemChange kind, int index, TTBCustomItem* item);
    void BeginUpdate();
    void EndUpdate();

    // -- Properties ------------------------------------------------------------------------------------------
    [[nodiscard]] toolkit::TBasicAction* GetAction() const;
    void SetAction(toolkit::TBasicAction* value);
    [[nodiscard]] bool GetAutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool value) { FAutoCheck = value; }
    /// The part after the first Tab is the shortcut text shown in menus.
    [[nodiscard]] const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value);
    [[nodiscard]] bool GetChecked() const { return FChecked; }
    /// Checking an item of a group (GroupIndex not 0) unchecks its siblings of that group.
    void SetChecked(bool value);
    [[nodiscard]] TTBItemDisplayMode GetDisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(TTBItemDisplayMode value);
    [[nodiscard]] bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool value);
    [[nodiscard]] int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    [[nodiscard]] int GetHelpContext() const { return FHelpContext; }
    void SetHelpContext(int value) { FHelpContext = value; }
    [[nodiscard]] const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& value) { FHint = value; }
    /// -1: no image.
    [[nodiscard]] int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    /// Not owned; cleared when the list is freed.
    [[nodiscard]] toolkit::TCustomImageList* GetImages() const { return FImages; }
    void SetImages(toolkit::TCustomImageList* value);
    /// Images for the children's pop-up; not owned, cleared when the list is freed.
    [[nodiscard]] toolkit::TCustomImageList* GetSubMenuImages() const { return FSubMenuImages; }
    void SetSubMenuImages(toolkit::TCustomImageList* value);
    [[nodiscard]] bool GetInheritOptions() const { return FInheritOptions; }
    void SetInheritOptions(bool value);
    [[nodiscard]] TTBItemOptions GetMaskOptions() const { return FMaskOptions; }
    void SetMaskOptions(TTBItemOptions value);
    /// tboToolbarSize is dropped from a set without tboToolbarStyle.
    [[nodiscard]] TTBItemOptions GetOptions() const { return FOptions; }
    void SetOptions(TTBItemOptions value);
    /// The options in force: the parent's (less tboDefault) when inherited, less MaskOptions, plus Options.
    [[nodiscard]] TTBItemOptions GetEffectiveOptions() const { return FEffectiveOptions; }
    /// Another item whose children are shown in place of this item's own; the item itself counts as none.
    /// Not owned; cleared when that item is freed.
    [[nodiscard]] TTBCustomItem* GetLinkSubitems() const { return FLinkSubitems; }
    void SetLinkSubitems(TTBCustomItem* value);
    [[nodiscard]] toolkit::TShortCut GetShortCut() const { return FShortCut; }
    void SetShortCut(toolkit::TShortCut value) { FShortCut = value; }
    [[nodiscard]] bool GetVisible() const { return FVisible; }
    void SetVisible(bool value);
    [[nodiscard]] TTBItemStyle GetItemStyle() const { return FItemStyle; }
    /// The toolbar or pop-up menu that holds this root item; its children stream as that control's children.
    [[nodiscard]] toolkit::TComponent* GetHostComponent() const { return FHostComponent; }
    void SetHostComponent(toolkit::TComponent* value) { FHostComponent = value; }
    /// Whether a property ("Caption", "OnClick", ...) is written when streamed: not while the action supplies it.
    [[nodiscard]] bool IsPropertyStored(std::string_view name) const;

    // -- Shortcuts -------------------------------------------------------------------------------------------
    /// The text after the first Tab of Caption; else the shortcut's name.
    [[nodiscard]] std::string GetShortCutText() const;
    /// The first item at any depth below this one (through linked items) with that shortcut; topItem becomes
    /// the child of this item (or of the item it links to) that holds it, none when the hit is such a child.
    TTBCustomItem* FindItemWithShortCut(toolkit::TShortCut shortCut, TTBCustomItem*& topItem);
    /// For a key message (WParam key, LParam key data): opens the way to the item of that shortcut as a menu
    /// would (actions updated, OnPopup from the top down) and clicks it; whether one was clicked.
    bool IsShortCut(toolkit::TMessage& message);

    // -- Pop-up menus ----------------------------------------------------------------------------------------
    /// Shows the children as a context menu at a screen point and tracks it (trackRightButton: the right
    /// button works as the left does), then runs what was chosen: a command later, from the message loop.
    void PopupEx(bool selectFirstItem, bool trackRightButton, toolkit::TPoint point,
                 toolkit::TPopupAlignment alignment);
    void Popup(int x, int y, bool trackRightButton, toolkit::TPopupAlignment alignment = toolkit::paLeft);

    // -- Overridable operations ------------------------------------------------------------------------------
    /// The parent tells its listeners that this item needs a repaint (and a new layout when needResize).
    virtual void Change(bool needResize);
    /// OnPopup, then Click unless the item is a split button.
    virtual void DoPopup(TTBCustomItem* sender, bool fromLink);
    virtual void Invalidate();
    /// The toolbar view whose overflowing items a chevron shows; none for other items.
    [[nodiscard]] virtual TTBView* GetChevronParentView() const;
    /// The class of this item's viewers in view.
    [[nodiscard]] virtual TTBItemViewerClass GetItemViewerClass(TTBView* view) const;
    /// Opens a pop-up of this item's children from parentViewer of parentView (as a submenu beside it, or
    /// dropped from a toolbar), or at popupPoint without a parent view. Returns the window (the caller frees
    /// it); none when nothing opened.
    virtual toolkit::TWinControl* CreatePopup(TTBView* parentView, TTBItemViewer* parentViewer, bool asSubmenu,
                                              bool selectFirstItem, bool customizing, toolkit::TPoint popupPoint,
                                              toolkit::TPopupAlignment alignment);
    /// Places a pop-up of this item's children that opens from parentView (none for a context menu), keeping
    /// it on the record's monitor and off its parent item.
    virtual void GetPopupPosition(const ITBPopupParentView* parentView, TPopupPositionRec& rec);
    /// The class of the windows CreatePopup opens.
    [[nodiscard]] virtual TTBPopupWindowClass GetPopupWindowClass() const;
    [[nodiscard]] virtual bool NeedToRecreateViewer(TTBItemViewer* viewer);
    /// Runs the item: nothing while disabled; AutoCheck toggles Checked; then OnClick or the action.
    virtual void Click();
    /// Lets the action update the item.
    virtual void InitiateAction();

    // -- Component streaming ---------------------------------------------------------------------------------
    void GetChildren(const TGetChildProc& proc, toolkit::TComponent* root) override;
    void SetChildOrder(toolkit::TComponent* child, int order) override;
    [[nodiscard]] bool HasParent() const override { return true; }
    [[nodiscard]] toolkit::TComponent* GetParentComponent() const override;
    /// Joins value: an item, or the root item of an IItemsProvider.
    void SetParentComponent(toolkit::TComponent* value) override;
    void SetName(const std::string& value) override;
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;

    toolkit::TNotifyEvent OnClick;
    TTBPopupEvent OnPopup;
    TTBSelectEvent OnSelect;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

protected:
    void Loaded() override;
    /// Cancels the item's deferred calls, frees the children (the last first) and leaves the parent, while
    /// the whole item still exists for its listeners.
    void BeforeDestruction() override;
    /// Copies the action's properties; with checkDefaults only into those the item still has at their default.
    virtual void ActionChange(toolkit::TBasicAction* sender, bool checkDefaults);
    [[nodiscard]] virtual TTBCustomItemActionLinkClass GetActionLinkClass() const;
    [[nodiscard]] TTBCustomItemActionLink* GetActionLink() const { return FActionLink.get(); }
    /// Recomputes the effective options of this item and of the children that inherit them.
    void RefreshOptions();

    TTBItemStyle FItemStyle = itsSelectable | itsRedrawOnSelect | itsRedrawOnHover;

private:
    friend class TTBCustomItemActionLink;

    struct TListener {
        TTBItemChangeProc Proc;
        int RefCount = 0;
    };

    void TearDown();
    void FreeChildren();
    void CheckIndex(int index, int count) const;
    void NotifyListeners(TTBCustomItem* ancestor, int depth, TTBItemChange kind, int index, TTBCustomItem* item);
    void RelayToParent(TTBCustomItem* from, TTBCustomItem* ancestor, int depth, TTBItemChange kind, int index,
                       TTBCustomItem* item);
    void UncheckGroupSiblings();
    bool AssignImageList(toolkit::TCustomImageList*& list, toolkit::TCustomImageList* newList,
                         std::unique_ptr<TTBImageChangeLink>& link, void (TTBCustomItem::*changed)(toolkit::TObject*));
    void ImagesChanged(toolkit::TObject* sender);
    void SubMenuImagesChanged(toolkit::TObject* sender);
    void DoActionChange(toolkit::TObject* sender);

    std::unique_ptr<TTBCustomItemActionLink> FActionLink;
    bool FAutoCheck = false;
    std::string FCaption;
    bool FChecked = false;
    TTBItemDisplayMode FDisplayMode = nbdmDefault;
    bool FEnabled = true;
    TTBItemOptions FEffectiveOptions;
    int FGroupIndex = 0;
    int FHelpContext = 0;
    std::string FHint;
    int FImageIndex = -1;
    toolkit::TCustomImageList* FImages = nullptr;
    std::unique_ptr<TTBImageChangeLink> FImagesChangeLink;
    std::vector<TTBCustomItem*> FItems;
    std::vector<TTBCustomItem*> FLinkParents;  // the items whose LinkSubitems is this item
    TTBItemOptions FMaskOptions;
    TTBItemOptions FOptions;
    bool FInheritOptions = true;
    // Created on demand; kept while a notification walks it, so a listener may unregister anyone.
    std::unique_ptr<std::vector<TListener>> FListeners;
    int FNotifyDepth = 0;
    TTBCustomItem* FParent = nullptr;
    toolkit::TComponent* FHostComponent = nullptr;
    toolkit::TShortCut FShortCut = 0;
    toolkit::TCustomImageList* FSubMenuImages = nullptr;
    std::unique_ptr<TTBImageChangeLink> FSubMenuImagesChangeLink;
    TTBCustomItem* FLinkSubitems = nullptr;
    bool FVisible = true;
    bool FTornDown = false;
};

/// The invisible top of the tree of a toolbar or pop-up menu.
class TTBRootItem : public TTBCustomItem {
public:
    using TTBCustomItem::TTBCustomItem;
};

/// A separator; Blank reserves its space but draws nothing.
class TTBSeparatorItem : public TTBCustomItem {
public:
    explicit TTBSeparatorItem(toolkit::TComponent* owner);

    [[nodiscard]] TTBItemViewerClass GetItemViewerClass(TTBView* view) const override;
    [[nodiscard]] bool GetBlank() const { return FBlank; }
    void SetBlank(bool value);

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    bool FBlank = false;
};

/// An item that places a control on a toolbar. The control is freed with the item.
class TTBControlItem : public TTBCustomItem {
public:
    explicit TTBControlItem(toolkit::TComponent* owner);
    TTBControlItem(toolkit::TComponent* owner, toolkit::TControl* control);

    /// Not owned until the item is freed, which frees it; cleared when it is freed first.
    [[nodiscard]] toolkit::TControl* GetControl() const { return FControl; }
    void SetControl(toolkit::TControl* value);

    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

protected:
    void BeforeDestruction() override;

private:
    toolkit::TControl* FControl = nullptr;
};

// ---- Free functions ---------------------------------------------------------------------------------------

/// The item item links to, else item itself; none for none.
[[nodiscard]] TTBCustomItem* ResolveLinkSubitems(TTBCustomItem* item);

/// Runs item's Click later, from the message loop.
void PostClick(TTBCustomItem* item);
/// Queues item (flag 0: a click) or a viewer's accessibility action (flag 1: execute) for the message loop.
void QueueDeferredCall(TTBCustomItem* item, ui::WPARAM flag);
void QueueDeferredCall(ITBAccActionHandler* viewer, ui::WPARAM flag);
/// Forgets every queued call of the object; its messages then do nothing.
void CancelDeferredCalls(const TTBCustomItem* item);
void CancelDeferredCalls(const ITBAccActionHandler* viewer);
/// The thread's live items and item viewers. When the last one goes, the deferred-call window goes too.
void CountItemObject();
void UncountItemObject();
/// The thread's deferred-call window; none while nothing was queued since it last went.
[[nodiscard]] ui::HWND GetDeferredCallWindow();

/// The menu font of the system, shared by every view; made on first use.
[[nodiscard]] toolkit::TFont* SharedMenuFont();
/// Reads the menu font again (after the non-client metrics changed).
void UpdateSharedMenuFont();

}  // namespace ovrel::toolbars
