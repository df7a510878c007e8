#include "toolkit/ActnList.h"

#include "toolkit/SysUtils.h"

#include <algorithm>
#include <utility>

namespace ovrel::toolkit {

namespace {

TActionTargetSource& TargetSource()
{
    static TActionTargetSource source;
    return source;
}

std::vector<TComponent*> CurrentTargets()
{
    const TActionTargetSource source = TargetSource();  // a copy: the source may be replaced meanwhile
    return source ? source() : std::vector<TComponent*>();
}

template <class T> bool Contains(const std::vector<T*>& list, const T* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <class T> void Erase(std::vector<T*>& list, const T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

const std::vector<std::string>& BooleanNames()
{
    static const std::vector<std::string> names{"False", "True"};
    return names;
}

}  // namespace

void SetActionTargetSource(TActionTargetSource source) { TargetSource() = std::move(source); }

// ---------------------------------------------------------------------------------------------------------
// TBasicAction

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

TBasicAction::~TBasicAction()
{
    for (TBasicActionLink* link : FClients)
        link->FAction = nullptr;
    FClients.clear();
}

template <class F> void TBasicAction::ForEachClient(F visit)
{
    const TLifeToken::TObserver life = FLife.Observe();
    const std::vector<TBasicActionLink*> clients = FClients;
    for (TBasicActionLink* link : clients) {
        if (life.Expired())
            return;
        if (Contains(FClients, link))  // a client may have left during an earlier call
            visit(*link);
    }
}

bool TBasicAction::Execute()
{
    if (OnExecute) {
        OnExecute(this);
        return true;
    }
    return ExecuteOnTargets();
}

bool TBasicAction::Update()
{
    if (OnUpdate) {
        OnUpdate(this);
        return true;
    }
    return UpdateOnTargets();
}

void TBasicAction::ExecuteTarget(TObject*) {}

bool TBasicAction::HandlesTarget(TObject*) { return false; }

void TBasicAction::UpdateTarget(TObject*) {}

bool TBasicAction::ExecuteOnTargets() { return ServeFirstTarget(&TBasicAction::ExecuteTarget); }

bool TBasicAction::UpdateOnTargets() { return ServeFirstTarget(&TBasicAction::UpdateTarget); }

bool TBasicAction::ServeFirstTarget(void (TBasicAction::*serve)(TObject*))
{
    for (TComponent* target : CurrentTargets()) {
        if (target != nullptr && HandlesTarget(target)) {
            (this->*serve)(target);
            return true;
        }
    }
    return false;
}

void TBasicAction::RegisterChanges(TBasicActionLink* link)
{
    if (link == nullptr || Contains(FClients, link))
        return;
    if (link->FAction != nullptr)  // a link serves one action; the other would keep a stale pointer
        link->FAction->UnRegisterChanges(link);
    link->FAction = this;
    FClients.push_back(link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link)
{
    if (link == nullptr || !Contains(FClients, link))
        return;
    Erase(FClients, link);
    link->FAction = nullptr;
}

void TBasicAction::Change()
{
    const TLifeToken::TObserver life = FLife.Observe();
    OnChange(this);
    if (!life.Expired())
        ChangeClients();
}

void TBasicAction::ChangeClients()
{
    ForEachClient([](TBasicActionLink& link) { link.Change(); });
}

// ---------------------------------------------------------------------------------------------------------
// TBasicActionLink

TBasicActionLink::TBasicActionLink(TObject* client) { TBasicActionLink::AssignClient(client); }

TBasicActionLink::~TBasicActionLink()
{
    if (FAction != nullptr)
        FAction->UnRegisterChanges(this);
}

void TBasicActionLink::AssignClient(TObject*) {}

void TBasicActionLink::SetAction(TBasicAction* value)
{
    if (value == FAction)
        return;
    if (FAction != nullptr)
        FAction->UnRegisterChanges(this);
    if (value != nullptr)
        value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* component)
{
    TBasicAction* action = FAction;
    if (action == nullptr)
        return false;
    // The handler may free this link (its client went away) or the action itself: only the locals and the
    // action's life token are touched once it has run.
    class TActionComponentScope {
    public:
        TActionComponentScope(TBasicAction& action, TComponent* component)
            : FAction(action), FLife(action.FLife.Observe()), FPrevious(action.GetActionComponent())
        {
            FAction.SetActionComponent(component);
        }
        ~TActionComponentScope()
        {
            if (!FLife.Expired())
                FAction.SetActionComponent(FPrevious);
        }
        TActionComponentScope(const TActionComponentScope&) = delete;
        TActionComponentScope& operator=(const TActionComponentScope&) = delete;

    private:
        TBasicAction& FAction;
        TLifeToken::TObserver FLife;
        TComponent* FPrevious;
    };
    const TActionComponentScope scope(*action, component);
    return action->Execute();
}

bool TBasicActionLink::Update() { return FAction != nullptr && FAction->Update(); }

bool TBasicActionLink::IsOnExecuteLinked() const { return true; }

void TBasicActionLink::SetOnExecute(const TNotifyEvent&) {}

void TBasicActionLink::Change() { OnChange(FAction); }

// ---------------------------------------------------------------------------------------------------------
// TActionLink

bool TActionLink::IsCustomAction() const { return dynamic_cast<const TCustomAction*>(FAction) != nullptr; }

bool TActionLink::IsCaptionLinked() const { return IsCustomAction(); }
bool TActionLink::IsCheckedLinked() const { return IsCustomAction(); }
bool TActionLink::IsEnabledLinked() const { return IsCustomAction(); }
bool TActionLink::IsHelpContextLinked() const { return IsCustomAction(); }
bool TActionLink::IsHintLinked() const { return IsCustomAction(); }
bool TActionLink::IsImageIndexLinked() const { return IsCustomAction(); }
bool TActionLink::IsShortCutLinked() const { return IsCustomAction(); }
bool TActionLink::IsVisibleLinked() const { return IsCustomAction(); }

void TActionLink::SetAutoCheck(bool) {}
void TActionLink::SetCaption(const std::string&) {}
void TActionLink::SetChecked(bool) {}
void TActionLink::SetEnabled(bool) {}
void TActionLink::SetHelpContext(int) {}
void TActionLink::SetHint(const std::string&) {}
void TActionLink::SetImageIndex(int) {}
void TActionLink::SetShortCut(TShortCut) {}
void TActionLink::SetVisible(bool) {}

// ---------------------------------------------------------------------------------------------------------
// TContainedAction

TContainedAction::TContainedAction(TComponent* owner) : TBasicAction(owner) {}

TContainedAction::~TContainedAction()
{
    if (FActionList != nullptr)
        FActionList->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* value)
{
    if (value == FActionList)
        return;
    if (FActionList != nullptr)
        FActionList->RemoveAction(this);
    if (value != nullptr) {
        value->FActions.push_back(this);
        FActionList = value;
    }
}

int TContainedAction::GetIndex() const
{
    if (FActionList == nullptr)
        return -1;
    const auto& actions = FActionList->FActions;
    return static_cast<int>(std::find(actions.begin(), actions.end(), this) - actions.begin());
}

void TContainedAction::SetCategory(const std::string& value)
{
    if (value == FCategory)
        return;
    FCategory = value;
    Change();
}

bool TContainedAction::IsSuspended() const { return FActionList != nullptr && FActionList->GetState() != asNormal; }

bool TContainedAction::Execute()
{
    if (IsSuspended())
        return false;
    if (FActionList != nullptr && FActionList->ExecuteAction(this))
        return true;
    return TBasicAction::Execute();
}

bool TContainedAction::Update()
{
    if (IsSuspended())
        return false;
    if (FActionList != nullptr && FActionList->UpdateAction(this))
        return true;
    return TBasicAction::Update();
}

TComponent* TContainedAction::GetParentComponent() const
{
    if (FActionList != nullptr)
        return FActionList;
    return TBasicAction::GetParentComponent();
}

void TContainedAction::SetParentComponent(TComponent* value)
{
    if (auto* list = dynamic_cast<TCustomActionList*>(value))
        SetActionList(list);
}

// ---------------------------------------------------------------------------------------------------------
// TCustomAction

TCustomAction::TCustomAction(TComponent* owner) : TContainedAction(owner) {}

bool TCustomAction::Execute()
{
    if (IsSuspended())  // before AutoCheck: a suspended action must not toggle either
        return false;
    const TLifeToken::TObserver life = FLife.Observe();
    Update();
    if (life.Expired() || !FEnabled)
        return false;
    if (FAutoCheck)
        SetChecked(!FChecked);
    if (life.Expired())
        return false;
    return TContainedAction::Execute();
}

bool TCustomAction::DoHint(std::string& hint)
{
    bool canShow = true;
    OnHint(hint, canShow);
    return canShow;
}

template <class V, class F> void TCustomAction::SetLinked(V& field, const V& value, F toLink)
{
    if (field == value)
        return;
    const TLifeToken::TObserver life = FLife.Observe();
    ForEachClient([&](TBasicActionLink& client) {
        if (auto* link = dynamic_cast<TActionLink*>(&client))
            (link->*toLink)(value);
    });
    if (life.Expired())
        return;
    field = value;
    Change();
}

void TCustomAction::SetAutoCheck(bool value) { SetLinked(FAutoCheck, value, &TActionLink::SetAutoCheck); }
void TCustomAction::SetCaption(const std::string& value) { SetLinked(FCaption, value, &TActionLink::SetCaption); }
void TCustomAction::SetChecked(bool value) { SetLinked(FChecked, value, &TActionLink::SetChecked); }
void TCustomAction::SetEnabled(bool value) { SetLinked(FEnabled, value, &TActionLink::SetEnabled); }
void TCustomAction::SetHelpContext(int value) { SetLinked(FHelpContext, value, &TActionLink::SetHelpContext); }
void TCustomAction::SetHint(const std::string& value) { SetLinked(FHint, value, &TActionLink::SetHint); }
void TCustomAction::SetImageIndex(int value) { SetLinked(FImageIndex, value, &TActionLink::SetImageIndex); }
void TCustomAction::SetShortCut(TShortCut value) { SetLinked(FShortCut, value, &TActionLink::SetShortCut); }
void TCustomAction::SetVisible(bool value) { SetLinked(FVisible, value, &TActionLink::SetVisible); }

const TPropertyTable& TCustomAction::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TComponent::ClassProperties())
            .Enumeration("AutoCheck", &TCustomAction::GetAutoCheck, &TCustomAction::SetAutoCheck, BooleanNames())
            .String("Caption", &TCustomAction::GetCaption, &TCustomAction::SetCaption)
            .String("Category", &TCustomAction::GetCategory, &TCustomAction::SetCategory)
            .Enumeration("Checked", &TCustomAction::GetChecked, &TCustomAction::SetChecked, BooleanNames())
            .Enumeration("Enabled", &TCustomAction::GetEnabled, &TCustomAction::SetEnabled, BooleanNames())
            .Integer("HelpContext", &TCustomAction::GetHelpContext, &TCustomAction::SetHelpContext)
            .String("Hint", &TCustomAction::GetHint, &TCustomAction::SetHint)
            .Integer("ImageIndex", &TCustomAction::GetImageIndex, &TCustomAction::SetImageIndex)
            .Integer("ShortCut", &TCustomAction::GetShortCut, &TCustomAction::SetShortCut)
            .Enumeration("Visible", &TCustomAction::GetVisible, &TCustomAction::SetVisible, BooleanNames());
    return table;
}

const TPropertyTable& TCustomAction::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TCustomActionList

TCustomActionList::TCustomActionList(TComponent* owner) : TComponent(owner)
{
    FImageChangeLink.OnChange = TNotifyEvent(this, &TCustomActionList::ImageListChange);
}

TCustomActionList::~TCustomActionList()
{
    if (FImages != nullptr)
        FImages->UnRegisterChanges(&FImageChangeLink);
    // Each action leaves the list (and its owner) as it is freed.
    while (!FActions.empty())
        delete FActions.back();
}

TContainedAction* TCustomActionList::GetAction(int index) const
{
    if (index < 0 || index >= GetActionCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FActions[static_cast<std::size_t>(index)];
}

void TCustomActionList::RemoveAction(TContainedAction* action)
{
    if (action == nullptr || action->FActionList != this)
        return;
    Erase(FActions, action);
    action->FActionList = nullptr;
}

bool TCustomActionList::ExecuteAction(TBasicAction* action)
{
    bool handled = false;
    OnExecute(action, handled);
    return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* action)
{
    bool handled = false;
    OnUpdate(action, handled);
    return handled;
}

bool TCustomActionList::IsShortCut(TShortCut shortCut)
{
    if (shortCut == scNone || FState != asNormal)
        return false;
    for (TContainedAction* contained : FActions) {
        auto* action = dynamic_cast<TCustomAction*>(contained);
        if (action != nullptr && action->GetShortCut() == shortCut && action->GetEnabled() && action->GetVisible()) {
            action->Execute();  // may free the list: nothing of it is touched afterwards
            return true;
        }
    }
    return false;
}

void TCustomActionList::SetState(TActionListState value)
{
    if (value == FState)
        return;
    FState = value;
    if (value != asSuspendedEnabled)
        return;
    const std::vector<TContainedAction*> actions = FActions;
    for (TContainedAction* contained : actions) {
        if (!Contains(FActions, contained))
            continue;
        if (auto* action = dynamic_cast<TCustomAction*>(contained))
            action->SetEnabled(true);
    }
}

void TCustomActionList::SetImages(TCustomImageList* value)
{
    if (value == FImages)
        return;
    if (FImages != nullptr) {
        FImages->UnRegisterChanges(&FImageChangeLink);
        FImages->RemoveFreeNotification(this);
    }
    FImages = value;
    if (FImages != nullptr) {
        FImages->RegisterChanges(&FImageChangeLink);
        FImages->FreeNotification(this);
    }
    Change();
}

void TCustomActionList::ImageListChange(TObject* sender)
{
    if (sender == FImages)
        Change();
}

void TCustomActionList::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    // Actions leave the list in their own destructor.
    if (operation == opRemove && component != nullptr && component == FImages)
        SetImages(nullptr);
}

void TCustomActionList::GetChildren(const TGetChildProc& proc, TComponent* root)
{
    const std::vector<TContainedAction*> actions = FActions;
    for (TContainedAction* action : actions)
        if (action->GetOwner() == root)
            proc(action);
}

void TCustomActionList::Change()
{
    OnChange(this);
    if (GetComponentState().Contains(csDestroying))
        return;
    const std::vector<TContainedAction*> actions = FActions;
    for (TContainedAction* action : actions)
        if (Contains(FActions, action))
            action->ChangeClients();
}

}  // namespace ovrel::toolkit
