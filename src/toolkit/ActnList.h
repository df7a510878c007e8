#pragma once
// Actions: commands with a caption, state and shortcut that menu items and controls link to, so that the
// action's state flows into every client; and the lists that hold them.

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/Menus.h"
#include "toolkit/System.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {

class TBasicAction;
class TBasicActionLink;
class TCustomActionList;

/// Where an action that has no handler of its own looks for a target to execute or update it: the
/// application installs a source that lists the focus control, its form and the application itself, in
/// that order. Without a source there are no targets.
using TActionTargetSource = std::function<std::vector<TComponent*>()>;
void SetActionTargetSource(TActionTargetSource source);

/// A command. Execute and Update run the action's own handlers, else the first target that the action
/// handles (HandlesTarget) gets ExecuteTarget or UpdateTarget.
class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* owner);
    /// Every link forgets the action.
    ~TBasicAction() override;

    /// True when something handled it.
    virtual bool Execute();
    virtual bool Update();
    virtual void ExecuteTarget(TObject* target);
    [[nodiscard]] virtual bool HandlesTarget(TObject* target);
    virtual void UpdateTarget(TObject* target);

    /// The client whose link is executing the action, during Execute only.
    [[nodiscard]] TComponent* GetActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* value) { FActionComponent = value; }

    void RegisterChanges(TBasicActionLink* link);
    void UnRegisterChanges(TBasicActionLink* link);
    [[nodiscard]] const std::vector<TBasicActionLink*>& GetClients() const { return FClients; }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    TNotifyEvent OnChange;

protected:
    /// Fires OnChange, then tells every link.
    virtual void Change();
    /// The first target that HandlesTarget, given ExecuteTarget (or UpdateTarget); whether there was one.
    bool ExecuteOnTargets();
    bool UpdateOnTargets();

private:
    friend class TBasicActionLink;
    friend class TCustomActionList;
    friend class TCustomAction;
    /// Calls visit for each link still registered, on a copy of the list; stops when the action is freed.
    template <class F> void ForEachClient(F visit);
    /// Every link's Change.
    void ChangeClients();
    /// serve (ExecuteTarget or UpdateTarget) for the first target that HandlesTarget.
    bool ServeFirstTarget(void (TBasicAction::*serve)(TObject*));

    std::vector<TBasicActionLink*> FClients;
    TComponent* FActionComponent = nullptr;
    // Code running a handler can tell whether the action survived it.
    TLifeToken FLife;
};

/// Connects a client (menu item, control) to an action. The base constructor cannot reach a descendant's
/// AssignClient, so a descendant's constructor calls AssignClient(client) itself.
class TBasicActionLink : public TObject {
public:
    explicit TBasicActionLink(TObject* client);
    /// Unregisters from the action.
    ~TBasicActionLink() override;

    [[nodiscard]] TBasicAction* GetAction() const { return FAction; }
    /// Unregisters from the old action and registers with the new one (or none).
    virtual void SetAction(TBasicAction* value);
    /// Executes the action with component as its ActionComponent; false without an action. The handler
    /// may free the link, its client or the action.
    virtual bool Execute(TComponent* component = nullptr);
    virtual bool Update();
    [[nodiscard]] virtual bool IsOnExecuteLinked() const;
    virtual void SetOnExecute(const TNotifyEvent& value);

    /// Fired with the action as sender when the action changes.
    TNotifyEvent OnChange;

protected:
    friend class TBasicAction;
    virtual void AssignClient(TObject* client);
    virtual void Change();

    TBasicAction* FAction = nullptr;
};

/// A link that also carries caption, state, image and shortcut. Each IsXLinked says whether the client
/// takes that property from the action; each SetX, called by the action before it stores a new value, is
/// where a descendant copies the value into the client. Nothing in the base.
class TActionLink : public TBasicActionLink {
public:
    using TBasicActionLink::TBasicActionLink;

    [[nodiscard]] virtual bool IsCaptionLinked() const;
    [[nodiscard]] virtual bool IsCheckedLinked() const;
    [[nodiscard]] virtual bool IsEnabledLinked() const;
    [[nodiscard]] virtual bool IsHelpContextLinked() const;
    [[nodiscard]] virtual bool IsHintLinked() const;
    [[nodiscard]] virtual bool IsImageIndexLinked() const;
    [[nodiscard]] virtual bool IsShortCutLinked() const;
    [[nodiscard]] virtual bool IsVisibleLinked() const;

    virtual void SetAutoCheck(bool value);
    virtual void SetCaption(const std::string& value);
    virtual void SetChecked(bool value);
    virtual void SetEnabled(bool value);
    virtual void SetHelpContext(int value);
    virtual void SetHint(const std::string& value);
    virtual void SetImageIndex(int value);
    virtual void SetShortCut(TShortCut value);
    virtual void SetVisible(bool value);

private:
    [[nodiscard]] bool IsCustomAction() const;
};

/// An action that can belong to an action list.
class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(TComponent* owner);
    /// Leaves its action list.
    ~TContainedAction() override;

    [[nodiscard]] TCustomActionList* GetActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* value);
    /// The position in the action list; -1 without one.
    [[nodiscard]] int GetIndex() const;
    [[nodiscard]] const std::string& GetCategory() const { return FCategory; }
    void SetCategory(const std::string& value);

    /// The list's OnExecute first, then the action's own handlers and the targets.
    bool Execute() override;
    bool Update() override;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* value) override;

protected:
    /// Its list is suspended: the action neither executes nor updates.
    [[nodiscard]] bool IsSuspended() const;

private:
    friend class TCustomActionList;
    TCustomActionList* FActionList = nullptr;
    std::string FCategory;
};

/// Returns through its second argument whether it vetoes the hint (false = do not show it) and may change
/// the hint text.
using THintEvent = TEvent<std::string&, bool&>;

/// An action with the properties its clients show. Every setter does nothing for an equal value; else it
/// tells each TActionLink client (SetX, while the action still holds the old value, so a link can compare
/// its client with it), stores the value and calls Change.
class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* owner);

    /// Updates, gives up when disabled, toggles Checked under AutoCheck, then runs as TContainedAction.
    bool Execute() override;
    /// Runs OnHint; false when it vetoed the hint.
    virtual bool DoHint(std::string& hint);

    [[nodiscard]] bool GetAutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool value);
    [[nodiscard]] const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value);
    [[nodiscard]] bool GetChecked() const { return FChecked; }
    void SetChecked(bool value);
    [[nodiscard]] bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool value);
    [[nodiscard]] int GetHelpContext() const { return FHelpContext; }
    void SetHelpContext(int value);
    [[nodiscard]] const std::string& GetHint() const { return FHint; }
    void SetHint(const std::string& value);
    [[nodiscard]] int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    [[nodiscard]] TShortCut GetShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut value);
    [[nodiscard]] bool GetVisible() const { return FVisible; }
    void SetVisible(bool value);

    THintEvent OnHint;

    static const TPropertyTable& ClassProperties();
    [[nodiscard]] const TPropertyTable& GetPropertyTable() const override;

private:
    template <class V, class F> void SetLinked(V& field, const V& value, F toLink);

    bool FAutoCheck = false;
    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    int FHelpContext = 0;
    std::string FHint;
    int FImageIndex = -1;
    TShortCut FShortCut = 0;
    bool FVisible = true;
};

class TAction : public TCustomAction {
public:
    using TCustomAction::TCustomAction;
};

/// Handler of a list for one of its actions; sets handled to stop the action's own handling.
using TActionEvent = TEvent<TBasicAction*, bool&>;

/// asSuspended: the list's actions neither execute nor update; asSuspendedEnabled: the same, and entering
/// it enables every action of the list (for a form that lets everything be chosen while it is inactive).
enum TActionListState : std::uint8_t { asNormal, asSuspended, asSuspendedEnabled };

/// The actions of a form or the application. The list frees its actions when it is freed.
class TCustomActionList : public TComponent {
public:
    explicit TCustomActionList(TComponent* owner);
    ~TCustomActionList() override;

    [[nodiscard]] int GetActionCount() const { return static_cast<int>(FActions.size()); }
    /// EListError outside 0..ActionCount-1.
    [[nodiscard]] TContainedAction* GetAction(int index) const;
    void AddAction(TContainedAction* action)
    {
        if (action != nullptr)
            action->SetActionList(this);
    }
    void RemoveAction(TContainedAction* action);

    /// OnExecute / OnUpdate; whether the list handled the action.
    virtual bool ExecuteAction(TBasicAction* action);
    virtual bool UpdateAction(TBasicAction* action);
    /// Executes the first enabled, visible TCustomAction of that shortcut; whether there was one.
    /// Never for shortcut 0 or while suspended.
    bool IsShortCut(TShortCut shortCut);

    [[nodiscard]] TActionListState GetState() const { return FState; }
    void SetState(TActionListState value);

    /// Images for the clients (borrowed; cleared when the image list is freed).
    [[nodiscard]] TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* value);

    void Notification(TComponent* component, TOperation operation) override;
    void GetChildren(const TGetChildProc& proc, TComponent* root) override;

    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    TNotifyEvent OnChange;

protected:
    /// Fires OnChange and tells every action's clients (the images changed).
    virtual void Change();

private:
    friend class TContainedAction;
    void ImageListChange(TObject* sender);

    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
    TChangeLink FImageChangeLink;
    TActionListState FState = asNormal;
};

class TActionList : public TCustomActionList {
public:
    using TCustomActionList::TCustomActionList;
};

}  // namespace ovrel::toolkit
