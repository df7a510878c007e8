#include "toolbars/Items.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "toolbars/Common.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

constexpr const char* kIndexOutOfRange = "Toolbar item index out of range";
constexpr const char* kAlreadyInserted = "Toolbar item already inserted";
constexpr const char* kInsertNil = "Cannot insert a nil toolbar item";
constexpr const char* kInsertIntoItself = "Cannot insert a toolbar item into itself or into one of its subitems";

// Relaying through inline groups and linking items stops here, so cyclic set-ups end.
constexpr int kMaxRelayDepth = 10;
// Link levels followed along one path of a shortcut search.
constexpr int kMaxLinkLevels = 25;
// The options whose change alters what viewers draw or how large they are.
constexpr TTBItemOptions kRepaintOptions{tboDefault,   tboDropdownArrow, tboImageAboveCaption, tboNoRotation,
                                         tboSameWidth, tboToolbarStyle,  tboToolbarSize};

bool IsDesigning(const TComponent& component) { return component.GetComponentState().Contains(csDesigning); }

TTBItemOptions FixOptions(TTBItemOptions options)
{
    if (!options.Contains(tboToolbarStyle))
        options.Exclude(tboToolbarSize);
    return options;
}

// Runs f; an exception goes to the application's handler and no further.
template <class F> void Guarded(F f)
{
    try {
        f();
    } catch (...) {
        Application()->HandleException(std::current_exception());
    }
}

// Ends an update on every way out.
class TUpdateScope {
public:
    explicit TUpdateScope(TTBCustomItem& item) : FItem(item) { FItem.BeginUpdate(); }
    ~TUpdateScope() { FItem.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TTBCustomItem& FItem;
};

TTBCustomItem* SearchShortCut(TTBCustomItem* item, TShortCut shortCut, TTBCustomItem*& topItem, int linkLevels)
{
    TTBCustomItem* source = item;
    if (item->GetLinkSubitems() != nullptr) {
        if (++linkLevels > kMaxLinkLevels)
            return nullptr;
        source = item->GetLinkSubitems();
    }
    for (int i = 0; i < source->GetCount(); ++i) {
        TTBCustomItem* child = source->GetItem(i);
        if (child->GetShortCut() == shortCut) {
            topItem = nullptr;
            return child;
        }
        TTBCustomItem* below = nullptr;
        if (TTBCustomItem* hit = SearchShortCut(child, shortCut, below, linkLevels)) {
            topItem = child;
            return hit;
        }
    }
    return nullptr;
}

// ---- Deferred calls ---------------------------------------------------------------------------------------

struct TDeferredSlot {
    enum class TKind : std::uint8_t { Empty, Cancelled, Item, Viewer };
    TKind Kind = TKind::Empty;
    TTBCustomItem* Item = nullptr;
    ITBAccActionHandler* Viewer = nullptr;
};

struct TThreadItems {
    HWND Window = nullptr;
    std::vector<TDeferredSlot> Queue;
    int LiveObjects = 0;

    TThreadItems() = default;
    TThreadItems(const TThreadItems&) = delete;
    TThreadItems& operator=(const TThreadItems&) = delete;
    ~TThreadItems() { Release(); }

    void Release()
    {
        if (Window != nullptr) {
            HWND window = std::exchange(Window, nullptr);
            DestroyWindow(window);
        }
        Queue.clear();
        Queue.shrink_to_fit();
    }
};

TThreadItems& ThreadItems()
{
    thread_local TThreadItems items;
    return items;
}

void RunDeferredCall(WPARAM flag, LPARAM slot)
{
    std::vector<TDeferredSlot>& queue = ThreadItems().Queue;
    if (slot < 0 || static_cast<std::size_t>(slot) >= queue.size())
        return;
    const TDeferredSlot call = std::exchange(queue[static_cast<std::size_t>(slot)], TDeferredSlot{});
    while (!queue.empty() && queue.back().Kind == TDeferredSlot::TKind::Empty)
        queue.pop_back();
    // Nothing of the queue is touched once the call runs: it may free the last item, and the queue with it.
    Guarded([&call, flag] {
        if (call.Kind == TDeferredSlot::TKind::Item)
            call.Item->Click();
        else if (call.Kind == TDeferredSlot::TKind::Viewer)
            call.Viewer->HandleAccAction(flag != 0);
    });
}

HWND DeferredCallWindow()
{
    TThreadItems& items = ThreadItems();
    if (items.Window == nullptr) {
        CreateWindowInfo info;
        info.ClassName = "TTBDeferredCallWindow";
        info.Parent = HWND_MESSAGE;
        info.WindowProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message != WM_TB_DEFERREDCALL)
                return DefWindowProc(window, message, wParam, lParam);
            RunDeferredCall(wParam, lParam);
            return 0;
        };
        items.Window = CreateWindowEx(info);
    }
    return items.Window;
}

void Queue(TDeferredSlot call, WPARAM flag)
{
    HWND window = DeferredCallWindow();
    std::vector<TDeferredSlot>& queue = ThreadItems().Queue;
    auto free = std::find_if(queue.begin(), queue.end(),
                             [](const TDeferredSlot& s) { return s.Kind == TDeferredSlot::TKind::Empty; });
    if (free == queue.end())
        free = queue.insert(queue.end(), TDeferredSlot{});
    *free = call;
    PostMessage(window, WM_TB_DEFERREDCALL, flag, static_cast<LPARAM>(free - queue.begin()));
}

void ReadMenuFont(TFont& font)
{
    NONCLIENTMETRICS metrics;
    if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) != FALSE)
        font.SetHandle(CreateFontIndirect(metrics.lfMenuFont));
}

template <class P> void Cancel(P match)
{
    for (TDeferredSlot& slot : ThreadItems().Queue) {
        if (match(slot))
            slot = TDeferredSlot{TDeferredSlot::TKind::Cancelled, nullptr, nullptr};
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TTBCustomItemActionLink

TTBCustomItemActionLink::TTBCustomItemActionLink(TTBCustomItem* client) : TActionLink(client), FClient(client) {}

const TCustomAction* TTBCustomItemActionLink::Action() const { return dynamic_cast<const TCustomAction*>(FAction); }

bool TTBCustomItemActionLink::IsAutoCheckLinked() const
{
    return Action() != nullptr && FClient->GetAutoCheck() == Action()->GetAutoCheck();
}

bool TTBCustomItemActionLink::IsCaptionLinked() const
{
    return TActionLink::IsCaptionLinked() && FClient->GetCaption() == Action()->GetCaption();
}

bool TTBCustomItemActionLink::IsCheckedLinked() const
{
    return TActionLink::IsCheckedLinked() && FClient->GetChecked() == Action()->GetChecked();
}

bool TTBCustomItemActionLink::IsEnabledLinked() const
{
    return TActionLink::IsEnabledLinked() && FClient->GetEnabled() == Action()->GetEnabled();
}

bool TTBCustomItemActionLink::IsHelpContextLinked() const
{
    return TActionLink::IsHelpContextLinked() && FClient->GetHelpContext() == Action()->GetHelpContext();
}

bool TTBCustomItemActionLink::IsHintLinked() const
{
    return TActionLink::IsHintLinked() && FClient->GetHint() == Action()->GetHint();
}

bool TTBCustomItemActionLink::IsImageIndexLinked() const
{
    return TActionLink::IsImageIndexLinked() && FClient->GetImageIndex() == Action()->GetImageIndex();
}

bool TTBCustomItemActionLink::IsShortCutLinked() const
{
    return TActionLink::IsShortCutLinked() && FClient->GetShortCut() == Action()->GetShortCut();
}

bool TTBCustomItemActionLink::IsVisibleLinked() const
{
    return TActionLink::IsVisibleLinked() && FClient->GetVisible() == Action()->GetVisible();
}

bool TTBCustomItemActionLink::IsOnExecuteLinked() const
{
    return TActionLink::IsOnExecuteLinked() && FAction != nullptr && FClient->OnClick == FAction->OnExecute;
}

// AutoCheck, HelpContext, Hint and ShortCut go straight into the item: none of them changes what is drawn.
void TTBCustomItemActionLink::SetAutoCheck(bool value)
{
    if (IsAutoCheckLinked())
        FClient->FAutoCheck = value;
}

void TTBCustomItemActionLink::SetCaption(const std::string& value)
{
    if (IsCaptionLinked())
        FClient->SetCaption(value);
}

void TTBCustomItemActionLink::SetChecked(bool value)
{
    if (IsCheckedLinked())
        FClient->SetChecked(value);
}

void TTBCustomItemActionLink::SetEnabled(bool value)
{
    if (IsEnabledLinked())
        FClient->SetEnabled(value);
}

void TTBCustomItemActionLink::SetHelpContext(int value)
{
    if (IsHelpContextLinked())
        FClient->FHelpContext = value;
}

void TTBCustomItemActionLink::SetHint(const std::string& value)
{
    if (IsHintLinked())
        FClient->FHint = value;
}

void TTBCustomItemActionLink::SetImageIndex(int value)
{
    if (IsImageIndexLinked())
        FClient->SetImageIndex(value);
}

void TTBCustomItemActionLink::SetShortCut(TShortCut value)
{
    if (IsShortCutLinked())
        FClient->FShortCut = value;
}

void TTBCustomItemActionLink::SetVisible(bool value)
{
    if (IsVisibleLinked())
        FClient->SetVisible(value);
}

void TTBCustomItemActionLink::SetOnExecute(const TNotifyEvent& value)
{
    if (IsOnExecuteLinked())
        FClient->OnClick = value;
}

// ---------------------------------------------------------------------------------------------------------
// TTBCustomItem: life

TTBCustomItem::TTBCustomItem(TComponent* owner) : TComponent(owner) { CountItemObject(); }

TTBCustomItem::~TTBCustomItem()
{
    // An item freed without delete (a member, a local) takes its first steps only now.
    TearDown();
    FActionLink.reset();
    FImagesChangeLink.reset();
    FSubMenuImagesChangeLink.reset();
    UncountItemObject();
}

void TTBCustomItem::BeforeDestruction()
{
    TComponent::BeforeDestruction();
    TearDown();
}

void TTBCustomItem::TearDown()
{
    if (FTornDown)
        return;
    FTornDown = true;
    CancelDeferredCalls(this);
    FreeChildren();
    if (FParent != nullptr)
        FParent->Remove(this);
    // The items that show this one's children let go of it now, while it is whole: an item ended by its
    // destructor alone (a local, a member) tells them only after its lists are gone.
    while (!FLinkParents.empty())
        FLinkParents.back()->SetLinkSubitems(nullptr);
    SetLinkSubitems(nullptr);
}

void TTBCustomItem::FreeChildren()
{
    while (!FItems.empty()) {
        TTBCustomItem* child = FItems.back();
        delete child;  // the child leaves this item as it goes, telling the listeners
        if (!FItems.empty() && FItems.back() == child)
            FItems.pop_back();
    }
}

// ---------------------------------------------------------------------------------------------------------
// TTBCustomItem: children

void TTBCustomItem::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw ETBItemError(kIndexOutOfRange);
}

TTBCustomItem* TTBCustomItem::GetItem(int index) const
{
    CheckIndex(index, GetCount());
    return FItems[static_cast<std::size_t>(index)];
}

void TTBCustomItem::Insert(int newIndex, TTBCustomItem* item)
{
    if (item == nullptr)
        throw ETBItemError(kInsertNil);
    if (item->FParent != nullptr)
        throw ETBItemError(kAlreadyInserted);
    CheckIndex(newIndex, GetCount() + 1);
    // A cycle would make option refreshes recurse without end and free items twice.
    for (const TTBCustomItem* p = this; p != nullptr; p = p->FParent) {
        if (p == item)
            throw ETBItemError(kInsertIntoItself);
    }
    FItems.insert(FItems.begin() + newIndex, item);
    item->FParent = this;
    TUpdateScope update(*this);
    Notify(tbcInserted, newIndex, item);
    item->RefreshOptions();
}

void TTBCustomItem::Delete(int index)
{
    CheckIndex(index, GetCount());
    TTBCustomItem* child = FItems[static_cast<std::size_t>(index)];
    Notify(tbcDeleting, index, child);
    // A listener may have moved things meanwhile: take the child out wherever it is now.
    child->FParent = nullptr;
    std::erase(FItems, child);
}

int TTBCustomItem::IndexOf(const TTBCustomItem* item) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TTBCustomItem::Remove(TTBCustomItem* item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
}

void TTBCustomItem::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    CheckIndex(newIndex, GetCount());
    TTBCustomItem* child = GetItem(curIndex);
    TUpdateScope update(*this);
    Delete(curIndex);
    Insert(newIndex, child);
}

void TTBCustomItem::Clear()
{
    // One update around it all: a view that listens lays out once, not after each child.
    BeginUpdate();
    try {
        FreeChildren();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---------------------------------------------------------------------------------------------------------
// TTBCustomItem: change listeners

void TTBCustomItem::RegisterNotification(const TTBItemChangeProc& proc)
{
    if (FListeners == nullptr)
        FListeners = std::make_unique<std::vector<TListener>>();
    for (TListener& listener : *FListeners) {
        if (listener.Proc == proc) {
            ++listener.RefCount;
            return;
        }
    }
    FListeners->push_back(TListener{proc, 1});
}

void TTBCustomItem::UnregisterNotification(const TTBItemChangeProc& proc)
{
    if (FListeners == nullptr)
        return;
    auto it =
        std::find_if(FListeners->begin(), FListeners->end(), [&proc](const TListener& l) { return l.Proc == proc; });
    if (it == FListeners->end() || --it->RefCount > 0)
        return;
    FListeners->erase(it);
    if (FListeners->empty() && FNotifyDepth == 0)
        FListeners.reset();
}

void TTBCustomItem::Notify(TTBItemChange kind, int index, TTBCustomItem* item)
{
    NotifyListeners(this, 0, kind, index, item);
}

void TTBCustomItem::NotifyListeners(TTBCustomItem* ancestor, int depth, TTBItemChange kind, int index,
                                    TTBCustomItem* item)
{
    RelayToParent(this, ancestor, depth, kind, index, item);
    const std::vector<TTBCustomItem*> linkParents = FLinkParents;
    for (TTBCustomItem* linkParent : linkParents) {
        if (linkParent != FParent)
            RelayToParent(linkParent, ancestor, depth, kind, index, item);
    }
    if (FListeners == nullptr)
        return;
    class TWalk {
    public:
        explicit TWalk(TTBCustomItem& item) : FItem(item) { ++FItem.FNotifyDepth; }
        ~TWalk()
        {
            if (--FItem.FNotifyDepth == 0 && FItem.FListeners != nullptr && FItem.FListeners->empty())
                FItem.FListeners.reset();
        }
        TWalk(const TWalk&) = delete;
        TWalk& operator=(const TWalk&) = delete;

    private:
        TTBCustomItem& FItem;
    } walk(*this);
    const std::vector<TListener>& listeners = *FListeners;
    std::size_t i = 0;
    while (i < listeners.size()) {
        const TTBItemChangeProc proc = listeners[i].Proc;
        proc(ancestor, ancestor != this, kind, index, item);
        // A listener that unregistered itself leaves the next one at this index.
        if (i < listeners.size() && listeners[i].Proc == proc)
            ++i;
    }
}

void TTBCustomItem::RelayToParent(TTBCustomItem* from, TTBCustomItem* ancestor, int depth, TTBItemChange kind,
                                  int index, TTBCustomItem* item)
{
    if (depth > kMaxRelayDepth || (from->FItemStyle & itsInlineGroup) == 0 || from->FParent == nullptr)
        return;
    from->FParent->NotifyListeners(ancestor == this ? from : ancestor, depth + 1, kind, index, item);
}

void TTBCustomItem::BeginUpdate() { Notify(tbcBeginUpdate, -1, nullptr); }

void TTBCustomItem::EndUpdate() { Notify(tbcEndUpdate, -1, nullptr); }

void TTBCustomItem::Change(bool needResize)
{
    if (FParent != nullptr)
        FParent->Notify(needResize ? tbcRepaintAndResize : tbcRepaint, -1, this);
}

void TTBCustomItem::Invalidate() { Change(false); }

// ---------------------------------------------------------------------------------------------------------
// TTBCustomItem: properties

void TTBCustomItem::SetCaption(const std::string& value)
{
    if (value == FCaption)
        return;
    FCaption = value;
    Change(true);
}

void TTBCustomItem::SetChecked(bool value)
{
    if (value == FChecked)
        return;
    FChecked = value;
    Change(false);
    if (value)
        UncheckGroupSiblings();
}

void TTBCustomItem::UncheckGroupSiblings()
{
    if (FGroupIndex == 0 || FParent == nullptr)
        return;
    for (int i = 0; i < FParent->GetCount(); ++i) {
        TTBCustomItem* sibling = FParent->GetItem(i);
        if (sibling != this && sibling->FGroupIndex == FGroupIndex)
            sibling->SetChecked(false);
    }
}

void TTBCustomItem::SetDisplayMode(TTBItemDisplayMode value)
{
    if (value == FDisplayMode)
        return;
    FDisplayMode = value;
    Change(true);
}

void TTBCustomItem::SetEnabled(bool value)
{
    if (value == FEnabled)
        return;
    FEnabled = value;
    Invalidate();
}

void TTBCustomItem::SetGroupIndex(int value)
{
    if (value == FGroupIndex)
        return;
    FGroupIndex = value;
    if (FChecked)
        UncheckGroupSiblings();
}

void TTBCustomItem::SetImageIndex(int value)
{
    if (value == FImageIndex)
        return;
    const bool hadImage = FImageIndex != -1;
    FImageIndex = value;
    Change(hadImage != (value != -1));  // only gaining or losing an image changes the size
}

void TTBCustomItem::SetVisible(bool value)
{
    if (value == FVisible)
        return;
    FVisible = value;
    Change(true);
}

bool TTBCustomItem::AssignImageList(TCustomImageList*& list, TCustomImageList* newList,
                                    std::unique_ptr<TTBImageChangeLink>& link, void (TTBCustomItem::*changed)(TObject*))
{
    const int oldWidth = list != nullptr ? list->GetWidth() : -1;
    const int oldHeight = list != nullptr ? list->GetHeight() : -1;
    if (list != nullptr && link != nullptr)
        list->UnRegisterChanges(link.get());
    list = newList;
    if (newList == nullptr) {
        link.reset();
        return true;
    }
    if (link == nullptr) {
        link = std::make_unique<TTBImageChangeLink>();
        link->OnChange = TNotifyEvent(this, changed);
    }
    link->FLastWidth = newList->GetWidth();
    link->FLastHeight = newList->GetHeight();
    newList->RegisterChanges(link.get());
    newList->FreeNotification(this);
    return oldWidth != newList->GetWidth() || oldHeight != newList->GetHeight();
}

void TTBCustomItem::SetImages(TCustomImageList* value)
{
    if (value == FImages)
        return;
    Change(AssignImageList(FImages, value, FImagesChangeLink, &TTBCustomItem::ImagesChanged));
}

void TTBCustomItem::SetSubMenuImages(TCustomImageList* value)
{
    if (value == FSubMenuImages)
        return;
    AssignImageList(FSubMenuImages, value, FSubMenuImagesChangeLink, &TTBCustomItem::SubMenuImagesChanged);
    Notify(tbcSubMenuImages, -1, nullptr);
}

void TTBCustomItem::ImagesChanged(TObject*)
{
    if (FImages == nullptr || FImagesChangeLink == nullptr)
        return;
    TTBImageChangeLink& link = *FImagesChangeLink;
    const bool resized = link.FLastWidth != FImages->GetWidth() || link.FLastHeight != FImages->GetHeight();
    link.FLastWidth = FImages->GetWidth();
    link.FLastHeight = FImages->GetHeight();
    Change(resized);
}

void TTBCustomItem::SubMenuImagesChanged(TObject*)
{
    if (FSubMenuImages == nullptr || FSubMenuImagesChangeLink == nullptr)
        return;
    FSubMenuImagesChangeLink->FLastWidth = FSubMenuImages->GetWidth();
    FSubMenuImagesChangeLink->FLastHeight = FSubMenuImages->GetHeight();
    Notify(tbcSubMenuImages, -1, nullptr);
}

void TTBCustomItem::SetOptions(TTBItemOptions value)
{
    value = FixOptions(value);
    if (value == FOptions)
        return;
    FOptions = value;
    RefreshOptions();
}

void TTBCustomItem::SetMaskOptions(TTBItemOptions value)
{
    if (value == FMaskOptions)
        return;
    FMaskOptions = value;
    RefreshOptions();
}

void TTBCustomItem::SetInheritOptions(bool value)
{
    if (value == FInheritOptions)
        return;
    FInheritOptions = value;
    RefreshOptions();
}

void TTBCustomItem::RefreshOptions()
{
    TTBItemOptions options;
    if (FInheritOptions && FParent != nullptr)
        options = FParent->FEffectiveOptions - TTBItemOptions{tboDefault};
    options = FixOptions(options - FMaskOptions + FOptions);
    if (options != FEffectiveOptions) {
        const TTBItemOptions old = FEffectiveOptions;
        FEffectiveOptions = options;
        // A change of the hint options alone is not seen.
        if (!(((old - options) + (options - old)) * kRepaintOptions).Empty())
            Change(true);
    }
    for (int i = 0; i < GetCount(); ++i) {
        TTBCustomItem* child = FItems[static_cast<std::size_t>(i)];
        if (child->FInheritOptions)
            child->RefreshOptions();
    }
}

void TTBCustomItem::SetLinkSubitems(TTBCustomItem* value)
{
    if (value == this)
        value = nullptr;
    if (value == FLinkSubitems)
        return;
    if (FLinkSubitems != nullptr)
        RemoveFromList(FLinkSubitems->FLinkParents, this);
    FLinkSubitems = value;
    if (value != nullptr) {
        value->FreeNotification(this);
        AddToList(value->FLinkParents, this);
    }
    Notify(tbcSubitemsRelinked, -1, nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// TTBCustomItem: actions

TBasicAction* TTBCustomItem::GetAction() const { return FActionLink != nullptr ? FActionLink->GetAction() : nullptr; }

TTBCustomItemActionLinkClass TTBCustomItem::GetActionLinkClass() const
{
    return TTBCustomItemActionLinkClass::Of<TTBCustomItemActionLink>();
}

void TTBCustomItem::SetAction(TBasicAction* value)
{
    if (value == GetAction())
        return;
    if (TBasicAction* old = GetAction())
        old->RemoveFreeNotification(this);
    if (value == nullptr) {
        FActionLink.reset();
        return;
    }
    if (FActionLink == nullptr)
        FActionLink.reset(GetActionLinkClass().Create(this));
    FActionLink->SetAction(value);
    FActionLink->OnChange = TNotifyEvent(this, &TTBCustomItem::DoActionChange);
    ActionChange(value, value->GetComponentState().Contains(csLoading));
    value->FreeNotification(this);
}

void TTBCustomItem::DoActionChange(TObject* sender)
{
    if (sender == GetAction())
        ActionChange(GetAction(), false);
}

void TTBCustomItem::ActionChange(TBasicAction* sender, bool checkDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (action == nullptr)
        return;
    if (!checkDefaults || !FAutoCheck)
        FAutoCheck = action->GetAutoCheck();
    if (!checkDefaults || FCaption.empty())
        SetCaption(action->GetCaption());
    if (!checkDefaults || !FChecked)
        SetChecked(action->GetChecked());
    if (!checkDefaults || FEnabled)
        SetEnabled(action->GetEnabled());
    if (!checkDefaults || FHelpContext == 0)
        FHelpContext = action->GetHelpContext();
    if (!checkDefaults || FHint.empty())
        FHint = action->GetHint();
    if (!checkDefaults || FImageIndex == -1)
        SetImageIndex(action->GetImageIndex());
    if (!checkDefaults || FShortCut == 0)
        FShortCut = action->GetShortCut();
    if (!checkDefaults || FVisible)
        SetVisible(action->GetVisible());
    if (!checkDefaults || !OnClick)
        OnClick = action->OnExecute;
}

void TTBCustomItem::InitiateAction()
{
    if (FActionLink != nullptr)
        FActionLink->Update();
}

bool TTBCustomItem::IsPropertyStored(std::string_view name) const
{
    const TTBCustomItemActionLink* link = FActionLink.get();
    if (link == nullptr || link->GetAction() == nullptr)
        return true;
    using TTest = bool (TTBCustomItemActionLink::*)() const;
    static constexpr std::pair<std::string_view, TTest> kTests[] = {
        {"AutoCheck", &TTBCustomItemActionLink::IsAutoCheckLinked},
        {"Caption", &TTBCustomItemActionLink::IsCaptionLinked},
        {"Checked", &TTBCustomItemActionLink::IsCheckedLinked},
        {"Enabled", &TTBCustomItemActionLink::IsEnabledLinked},
        {"HelpContext", &TTBCustomItemActionLink::IsHelpContextLinked},
        {"Hint", &TTBCustomItemActionLink::IsHintLinked},
        {"ImageIndex", &TTBCustomItemActionLink::IsImageIndexLinked},
        {"ShortCut", &TTBCustomItemActionLink::IsShortCutLinked},
        {"Visible", &TTBCustomItemActionLink::IsVisibleLinked},
        {"OnClick", &TTBCustomItemActionLink::IsOnExecuteLinked},
    };
    for (const auto& [property, test] : kTests) {
        if (SameText(property, name))
            return !(link->*test)();
    }
    return true;
}

void TTBCustomItem::Click()
{
    if (!FEnabled)
        return;
    if (FAutoCheck && (FActionLink == nullptr || !FActionLink->IsAutoCheckLinked()))
        SetChecked(!FChecked);
    TBasicAction* action = GetAction();
    if (OnClick && action != nullptr && OnClick != action->OnExecute) {
        OnClick(this);
    } else if (!IsDesigning(*this) && FActionLink != nullptr) {
        FActionLink->Execute(this);
    } else {
        OnClick(this);
    }
}

// ---------------------------------------------------------------------------------------------------------
// TTBCustomItem: pop-up hooks and shortcuts

void TTBCustomItem::DoPopup(TTBCustomItem* sender, bool fromLink)
{
    OnPopup(sender, fromLink);
    if ((FItemStyle & itsSplitButton) == 0)
        Click();
}

TTBView* TTBCustomItem::GetChevronParentView() const { return nullptr; }

bool TTBCustomItem::NeedToRecreateViewer(TTBItemViewer*) { return false; }

std::string TTBCustomItem::GetShortCutText() const
{
    const std::size_t tab = FCaption.find('\t');
    if (tab != std::string::npos)
        return FCaption.substr(tab + 1);
    return FShortCut != 0 ? ShortCutToText(FShortCut) : std::string();
}

TTBCustomItem* TTBCustomItem::FindItemWithShortCut(TShortCut shortCut, TTBCustomItem*& topItem)
{
    topItem = nullptr;
    if (shortCut == 0)  // items without a shortcut all have 0
        return nullptr;
    return SearchShortCut(this, shortCut, topItem, 0);
}

bool TTBCustomItem::IsShortCut(TMessage& message)
{
    const TShortCut shortCut = ShortCut(LOWORD(message.WParam), KeyDataToShiftState(message.LParam));
    if (shortCut == 0)
        return false;
    // An OnPopup may rebuild its children, losing the item found: the search starts over once, no more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        TTBCustomItem* topItem = nullptr;
        TTBCustomItem* found = FindItemWithShortCut(shortCut, topItem);
        if (found == nullptr)
            return false;
        TTBCustomItem* level = this;
        while (level != nullptr) {
            if (!level->FEnabled)
                return false;
            if (!IsDesigning(*this)) {
                TTBCustomItem* linked = ResolveLinkSubitems(level);
                for (int i = 0; i < linked->GetCount(); ++i)
                    linked->GetItem(i)->InitiateAction();
            }
            if ((level->FItemStyle & itsInlineGroup) == 0) {
                TTBCustomItem* linked = ResolveLinkSubitems(level);
                if (linked != level)
                    Guarded([linked, level] { linked->DoPopup(level, true); });
                Guarded([level] { level->DoPopup(level, false); });
            }
            found = level->FindItemWithShortCut(shortCut, topItem);
            if (found == nullptr)
                break;
            level = topItem;
        }
        if (found == nullptr)
            continue;
        if (!found->FEnabled)
            return false;
        Guarded([found] { found->Click(); });
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------------------
// TTBCustomItem: streaming and component hooks

void TTBCustomItem::GetChildren(const TGetChildProc& proc, TComponent*)
{
    for (TTBCustomItem* child : std::vector<TTBCustomItem*>(FItems))
        proc(child);
}

void TTBCustomItem::SetChildOrder(TComponent* child, int order)
{
    const int index = IndexOf(dynamic_cast<TTBCustomItem*>(child));
    if (index >= 0)
        Move(index, order);
}

TComponent* TTBCustomItem::GetParentComponent() const
{
    if (FParent != nullptr && FParent->FHostComponent != nullptr)
        return FParent->FHostComponent;
    return FParent;
}

void TTBCustomItem::SetParentComponent(TComponent* value)
{
    if (FParent != nullptr)
        FParent->Remove(this);
    if (auto* item = dynamic_cast<TTBCustomItem*>(value))
        item->Add(this);
    else if (auto* provider = dynamic_cast<IItemsProvider*>(value))
        provider->GetItems()->Add(this);
}

void TTBCustomItem::SetName(const std::string& value)
{
    if (value == GetName())
        return;
    TComponent::SetName(value);
    if (FParent != nullptr)
        FParent->Notify(tbcRenamed, -1, this);
}

void TTBCustomItem::Loaded()
{
    TComponent::Loaded();
    if (TBasicAction* action = GetAction())
        ActionChange(action, true);
}

void TTBCustomItem::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove || component == nullptr)
        return;
    std::erase(FLinkParents, component);
    if (component == GetAction())
        SetAction(nullptr);
    if (component == FImages)
        SetImages(nullptr);
    if (component == FSubMenuImages)
        SetSubMenuImages(nullptr);
    if (component == FLinkSubitems)
        SetLinkSubitems(nullptr);
}

const TPropertyTable& TTBCustomItem::ClassProperties()
{
    // Caption and Hint are what the language files change by name.
    static const TPropertyTable table = TPropertyTable(&TComponent::ClassProperties())
                                            .String("Caption", &TTBCustomItem::GetCaption, &TTBCustomItem::SetCaption)
                                            .String("Hint", &TTBCustomItem::GetHint, &TTBCustomItem::SetHint);
    return table;
}

const TPropertyTable& TTBCustomItem::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TTBSeparatorItem and TTBControlItem

TTBSeparatorItem::TTBSeparatorItem(TComponent* owner) : TTBCustomItem(owner)
{
    FItemStyle = static_cast<TTBItemStyle>((FItemStyle & ~(itsSelectable | itsRedrawOnSelect | itsRedrawOnHover)) |
                                           itsSeparator | itsPassClicks);
}

void TTBSeparatorItem::SetBlank(bool value)
{
    if (value == FBlank)
        return;
    FBlank = value;
    Change(false);
}

const TPropertyTable& TTBSeparatorItem::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TTBCustomItem::ClassProperties())
            .Enumeration("Blank", &TTBSeparatorItem::GetBlank, &TTBSeparatorItem::SetBlank, {"False", "True"})
            .Enumeration("Visible", &TTBSeparatorItem::GetVisible, &TTBSeparatorItem::SetVisible, {"False", "True"});
    return table;
}

const TPropertyTable& TTBSeparatorItem::GetPropertyTable() const { return ClassProperties(); }

TTBControlItem::TTBControlItem(TComponent* owner) : TTBCustomItem(owner)
{
    FItemStyle = static_cast<TTBItemStyle>((FItemStyle & ~itsSelectable) | itsPassClicks);
}

TTBControlItem::TTBControlItem(TComponent* owner, TControl* control) : TTBControlItem(owner)
{
    FControl = control;
    if (control != nullptr)
        control->FreeNotification(this);
}

void TTBControlItem::SetControl(TControl* value)
{
    if (value == FControl)
        return;
    if (FControl != nullptr)
        FControl->RemoveFreeNotification(this);
    FControl = value;
    if (value != nullptr)
        value->FreeNotification(this);
    Change(true);
}

void TTBControlItem::Notification(TComponent* component, TOperation operation)
{
    TTBCustomItem::Notification(component, operation);
    if (operation == opRemove && component != nullptr && component == FControl)
        SetControl(nullptr);
}

void TTBControlItem::BeforeDestruction()
{
    TTBCustomItem::BeforeDestruction();
    // After the item has left its tree, so the views no longer place the control.
    if (TControl* control = std::exchange(FControl, nullptr)) {
        control->RemoveFreeNotification(this);
        if (!control->GetComponentState().Contains(csAncestor))
            delete control;
    }
}

const TPropertyTable& TTBControlItem::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TTBCustomItem::ClassProperties())
            .Object("Control", &TTBControlItem::GetControl, &TTBControlItem::SetControl);
    return table;
}

const TPropertyTable& TTBControlItem::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// Free functions

TTBCustomItem* ResolveLinkSubitems(TTBCustomItem* item)
{
    if (item == nullptr)
        return nullptr;
    return item->GetLinkSubitems() != nullptr ? item->GetLinkSubitems() : item;
}

void PostClick(TTBCustomItem* item) { QueueDeferredCall(item, 0); }

void QueueDeferredCall(TTBCustomItem* item, WPARAM flag)
{
    if (item != nullptr)
        Queue(TDeferredSlot{TDeferredSlot::TKind::Item, item, nullptr}, flag);
}

void QueueDeferredCall(ITBAccActionHandler* viewer, WPARAM flag)
{
    if (viewer != nullptr)
        Queue(TDeferredSlot{TDeferredSlot::TKind::Viewer, nullptr, viewer}, flag);
}

void CancelDeferredCalls(const TTBCustomItem* item)
{
    Cancel([item](const TDeferredSlot& s) { return s.Kind == TDeferredSlot::TKind::Item && s.Item == item; });
}

void CancelDeferredCalls(const ITBAccActionHandler* viewer)
{
    Cancel([viewer](const TDeferredSlot& s) { return s.Kind == TDeferredSlot::TKind::Viewer && s.Viewer == viewer; });
}

void CountItemObject() { ++ThreadItems().LiveObjects; }

void UncountItemObject()
{
    TThreadItems& items = ThreadItems();
    if (--items.LiveObjects == 0)
        items.Release();
}

HWND GetDeferredCallWindow() { return ThreadItems().Window; }

void ExecuteDoneAction(const TMenuDoneAction& action)
{
    switch (action.Action) {
    case tbdaExecuteItem:
        if (action.Extra != 0 && IsMenuSoundEnabled("MenuCommand"))
            PlaySound("MenuCommand", SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP);
        PostClick(action.Item);
        break;
    case tbdaSystemMenuKey:
        SendMessage(action.Window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(action.Extra));
        break;
    case tbdaHelp: {
        const TCustomForm* form = Screen()->GetActiveForm();
        if (form != nullptr && form->GetBorderIcons().Contains(biHelp))
            Application()->HelpCommand(HELP_CONTEXTPOPUP, static_cast<std::uintptr_t>(action.HelpContext));
        else
            Application()->HelpContext(action.HelpContext);
        break;
    }
    default: break;
    }
}

TFont* SharedMenuFont()
{
    static const std::unique_ptr<TFont> font = [] {
        auto made = std::make_unique<TFont>();
        ReadMenuFont(*made);
        return made;
    }();
    return font.get();
}

void UpdateSharedMenuFont() { ReadMenuFont(*SharedMenuFont()); }

}  // namespace ovrel::toolbars
