#include "toolkit/ActnList.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace ovrel::toolkit;

namespace {

/// Collects what handlers saw, in order.
class TRecorder : public TObject {
public:
    void Executed(TObject* sender) { Log.push_back("execute " + NameOf(sender)); }
    void Updated(TObject* sender) { Log.push_back("update " + NameOf(sender)); }
    void Changed(TObject* sender) { Log.push_back("change " + NameOf(sender)); }
    void ListExecute(TBasicAction* action, bool& handled)
    {
        Log.push_back("list execute " + NameOf(action));
        handled = ListHandles;
    }
    void ListUpdate(TBasicAction* action, bool& handled)
    {
        Log.push_back("list update " + NameOf(action));
        handled = ListHandles;
    }
    void Hint(std::string& hint, bool& canShow)
    {
        Log.push_back("hint " + hint);
        hint = "changed";
        canShow = AllowHint;
    }

    static std::string NameOf(TObject* object)
    {
        auto* component = dynamic_cast<TComponent*>(object);
        return component != nullptr ? component->GetName() : std::string(object == nullptr ? "none" : "?");
    }

    std::vector<std::string> Log;
    bool ListHandles = false;
    bool AllowHint = true;
};

TCustomAction* NewAction(TComponent* owner, const std::string& name)
{
    auto* action = new TAction(owner);
    action->SetName(name);
    return action;
}

/// A client link that records each SetX call with the value the action held at that moment.
class TRecordingLink : public TActionLink {
public:
    explicit TRecordingLink(std::vector<std::string>& log) : TActionLink(nullptr), FLog(log) {}

    void SetCaption(const std::string& value) override { Record("Caption", value, Held()->GetCaption()); }
    void SetHint(const std::string& value) override { Record("Hint", value, Held()->GetHint()); }
    void SetChecked(bool value) override { Record("Checked", Text(value), Text(Held()->GetChecked())); }
    void SetEnabled(bool value) override { Record("Enabled", Text(value), Text(Held()->GetEnabled())); }
    void SetVisible(bool value) override { Record("Visible", Text(value), Text(Held()->GetVisible())); }
    void SetAutoCheck(bool value) override { Record("AutoCheck", Text(value), Text(Held()->GetAutoCheck())); }
    void SetHelpContext(int value) override
    {
        Record("HelpContext", std::to_string(value), std::to_string(Held()->GetHelpContext()));
    }
    void SetImageIndex(int value) override
    {
        Record("ImageIndex", std::to_string(value), std::to_string(Held()->GetImageIndex()));
    }
    void SetShortCut(TShortCut value) override
    {
        Record("ShortCut", std::to_string(value), std::to_string(Held()->GetShortCut()));
    }

protected:
    void Change() override
    {
        FLog.push_back("link change");
        TActionLink::Change();
    }

private:
    TCustomAction* Held() const { return static_cast<TCustomAction*>(GetAction()); }
    static std::string Text(bool value) { return value ? "true" : "false"; }
    void Record(const char* property, const std::string& value, const std::string& held)
    {
        FLog.push_back(std::string("set ") + property + " " + value + " (held " + held + ")");
    }

    std::vector<std::string>& FLog;
};

/// Installs a target source for one test and removes it afterwards.
class TTargetSourceScope {
public:
    explicit TTargetSourceScope(std::vector<TComponent*> targets)
    {
        SetActionTargetSource([targets] { return targets; });
    }
    ~TTargetSourceScope() { SetActionTargetSource(nullptr); }
    TTargetSourceScope(const TTargetSourceScope&) = delete;
    TTargetSourceScope& operator=(const TTargetSourceScope&) = delete;
};

/// An action that serves only targets of one name.
class TTargetedAction : public TAction {
public:
    TTargetedAction(TComponent* owner, std::string targetName, std::vector<std::string>& log)
        : TAction(owner), FTargetName(std::move(targetName)), FLog(log)
    {}
    bool HandlesTarget(TObject* target) override { return TRecorder::NameOf(target) == FTargetName; }
    void ExecuteTarget(TObject* target) override { FLog.push_back("execute target " + TRecorder::NameOf(target)); }
    void UpdateTarget(TObject* target) override { FLog.push_back("update target " + TRecorder::NameOf(target)); }

private:
    std::string FTargetName;
    std::vector<std::string>& FLog;
};

TComponent* Named(TComponent* owner, const std::string& name)
{
    auto* component = new TComponent(owner);
    component->SetName(name);
    return component;
}

}  // namespace

// ---- Property changes reach the clients ---------------------------------------------------------------------

TEST(CustomAction, EachSetterTellsLinksWhileTheOldValueIsHeldThenChangesOnce)
{
    struct Row {
        const char* name;
        std::function<void(TCustomAction&)> set;
        const char* expectedSet;
    };
    const std::vector<Row> rows = {
        {"Caption", [](TCustomAction& a) { a.SetCaption("&Open"); }, "set Caption &Open (held )"},
        {"Hint", [](TCustomAction& a) { a.SetHint("Opens|Opens a file"); }, "set Hint Opens|Opens a file (held )"},
        {"Checked", [](TCustomAction& a) { a.SetChecked(true); }, "set Checked true (held false)"},
        {"Enabled", [](TCustomAction& a) { a.SetEnabled(false); }, "set Enabled false (held true)"},
        {"Visible", [](TCustomAction& a) { a.SetVisible(false); }, "set Visible false (held true)"},
        {"AutoCheck", [](TCustomAction& a) { a.SetAutoCheck(true); }, "set AutoCheck true (held false)"},
        {"HelpContext", [](TCustomAction& a) { a.SetHelpContext(42); }, "set HelpContext 42 (held 0)"},
        {"ImageIndex", [](TCustomAction& a) { a.SetImageIndex(3); }, "set ImageIndex 3 (held -1)"},
        {"ShortCut", [](TCustomAction& a) { a.SetShortCut(scCtrl | 'O'); }, "set ShortCut 16463 (held 0)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> log;
        TRecorder recorder;
        std::unique_ptr<TCustomAction> action(NewAction(nullptr, "Open"));
        action->OnChange = TNotifyEvent(&recorder, &TRecorder::Changed);
        TRecordingLink link(log);
        link.SetAction(action.get());

        row.set(*action);
        recorder.Log.insert(recorder.Log.begin(), log.begin(), log.end());
        EXPECT_EQ(recorder.Log, (std::vector<std::string>{row.expectedSet, "link change", "change Open"}));

        // The same value again is no change at all.
        log.clear();
        recorder.Log.clear();
        row.set(*action);
        EXPECT_TRUE(log.empty());
        EXPECT_TRUE(recorder.Log.empty());
    }
}

TEST(CustomAction, SettersStoreTheValues)
{
    std::unique_ptr<TCustomAction> action(NewAction(nullptr, "A"));
    EXPECT_TRUE(action->GetEnabled());
    EXPECT_TRUE(action->GetVisible());
    EXPECT_EQ(action->GetImageIndex(), -1);
    action->SetCaption("Cap");
    action->SetHint("H");
    action->SetChecked(true);
    action->SetEnabled(false);
    action->SetImageIndex(2);
    action->SetShortCut(scAlt | 'X');
    EXPECT_EQ(action->GetCaption(), "Cap");
    EXPECT_EQ(action->GetHint(), "H");
    EXPECT_TRUE(action->GetChecked());
    EXPECT_FALSE(action->GetEnabled());
    EXPECT_EQ(action->GetImageIndex(), 2);
    EXPECT_EQ(action->GetShortCut(), scAlt | 'X');
}

TEST(CustomAction, PublishesCaptionAndHintByName)
{
    std::vector<std::string> log;
    std::unique_ptr<TCustomAction> action(NewAction(nullptr, "A"));
    TRecordingLink link(log);
    link.SetAction(action.get());

    SetStrProp(*action, "Caption", "Datei");
    SetStrProp(*action, "hint", "Tip");
    SetEnumProp(*action, "Checked", "True");
    EXPECT_EQ(action->GetCaption(), "Datei");
    EXPECT_EQ(action->GetHint(), "Tip");
    EXPECT_TRUE(action->GetChecked());
    EXPECT_EQ(GetStrProp(*action, "Name"), "A");
    EXPECT_EQ(log.front(), "set Caption Datei (held )");
}

TEST(CustomAction, HintHandlerMayChangeOrVetoTheHint)
{
    for (bool allow : {true, false}) {
        SCOPED_TRACE(allow ? "allowed" : "vetoed");
        TRecorder recorder;
        recorder.AllowHint = allow;
        std::unique_ptr<TCustomAction> action(NewAction(nullptr, "A"));
        std::string hint = "original";
        EXPECT_TRUE(action->DoHint(hint));  // no handler: shown unchanged
        EXPECT_EQ(hint, "original");

        action->OnHint = THintEvent(&recorder, &TRecorder::Hint);
        EXPECT_EQ(action->DoHint(hint), allow);
        EXPECT_EQ(hint, "changed");
        EXPECT_EQ(recorder.Log, (std::vector<std::string>{"hint original"}));
    }
}

// ---- Execute and Update -------------------------------------------------------------------------------------

TEST(CustomAction, ExecuteUpdatesFirstAndRunsTheHandler)
{
    TRecorder recorder;
    std::unique_ptr<TCustomAction> action(NewAction(nullptr, "A"));
    action->OnUpdate = TNotifyEvent(&recorder, &TRecorder::Updated);
    action->OnExecute = TNotifyEvent(&recorder, &TRecorder::Executed);
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(recorder.Log, (std::vector<std::string>{"update A", "execute A"}));
}

TEST(CustomAction, ADisabledActionDoesNotExecute)
{
    TRecorder recorder;
    std::unique_ptr<TCustomAction> action(NewAction(nullptr, "A"));
    action->OnExecute = TNotifyEvent(&recorder, &TRecorder::Executed);
    action->SetEnabled(false);
    EXPECT_FALSE(action->Execute());
    EXPECT_TRUE(recorder.Log.empty());
}

TEST(CustomAction, AnUpdateThatDisablesStopsTheExecution)
{
    struct TDisabler : TObject {
        void Update(TObject* sender) { static_cast<TCustomAction*>(sender)->SetEnabled(false); }
    } disabler;
    TRecorder recorder;
    std::unique_ptr<TCustomAction> action(NewAction(nullptr, "A"));
    action->OnUpdate = TNotifyEvent(&disabler, &TDisabler::Update);
    action->OnExecute = TNotifyEvent(&recorder, &TRecorder::Executed);
    EXPECT_FALSE(action->Execute());
    EXPECT_TRUE(recorder.Log.empty());
}

TEST(CustomAction, AutoCheckTogglesCheckedBeforeTheHandlerRuns)
{
    struct TProbe : TObject {
        void Execute(TObject* sender) { Seen.push_back(static_cast<TCustomAction*>(sender)->GetChecked()); }
        std::vector<bool> Seen;
    } probe;
    std::unique_ptr<TCustomAction> action(NewAction(nullptr, "A"));
    action->OnExecute = TNotifyEvent(&probe, &TProbe::Execute);
    action->Execute();
    EXPECT_FALSE(action->GetChecked());  // without AutoCheck nothing toggles

    action->SetAutoCheck(true);
    action->Execute();
    action->Execute();
    EXPECT_EQ(probe.Seen, (std::vector<bool>{false, true, false}));
}

TEST(ActionList, ItsHandlersComeFirstAndCanTakeOverTheAction)
{
    for (bool listHandles : {false, true}) {
        SCOPED_TRACE(listHandles ? "list handles" : "list passes");
        TRecorder recorder;
        recorder.ListHandles = listHandles;
        TComponent form(nullptr);
        auto* list = new TActionList(&form);
        list->OnExecute = TActionEvent(&recorder, &TRecorder::ListExecute);
        list->OnUpdate = TActionEvent(&recorder, &TRecorder::ListUpdate);
        TCustomAction* action = NewAction(&form, "A");
        list->AddAction(action);
        action->OnExecute = TNotifyEvent(&recorder, &TRecorder::Executed);
        action->OnUpdate = TNotifyEvent(&recorder, &TRecorder::Updated);

        EXPECT_TRUE(action->Execute());
        if (listHandles)
            EXPECT_EQ(recorder.Log, (std::vector<std::string>{"list update A", "list execute A"}));
        else
            EXPECT_EQ(recorder.Log,
                      (std::vector<std::string>{"list update A", "update A", "list execute A", "execute A"}));
    }
}

TEST(BasicAction, WithoutHandlersTheFirstTargetItHandlesServes)
{
    std::vector<std::string> log;
    TComponent form(nullptr);
    TComponent* edit = Named(&form, "Edit");
    TComponent* app = Named(&form, "App");
    auto* action = new TTargetedAction(&form, "App", log);
    action->SetName("A");

    EXPECT_FALSE(action->Execute()) << "no source, no targets";
    EXPECT_FALSE(action->Update());
    EXPECT_TRUE(log.empty());

    const TTargetSourceScope source({nullptr, edit, app, app});
    EXPECT_TRUE(action->Execute());
    EXPECT_TRUE(action->Update());
    EXPECT_EQ(log, (std::vector<std::string>{"update target App", "execute target App", "update target App"}));

    log.clear();
    TRecorder recorder;
    action->OnExecute = TNotifyEvent(&recorder, &TRecorder::Executed);
    EXPECT_TRUE(action->Execute());
    EXPECT_EQ(log, (std::vector<std::string>{"update target App"})) << "its own handler wins over targets";
    EXPECT_EQ(recorder.Log, (std::vector<std::string>{"execute A"}));
}

TEST(BasicAction, NoTargetHandledMeansNotExecuted)
{
    std::vector<std::string> log;
    TComponent form(nullptr);
    const TTargetSourceScope source({Named(&form, "Edit")});
    auto* action = new TTargetedAction(&form, "App", log);
    EXPECT_FALSE(action->Execute());
    EXPECT_TRUE(log.empty());
}

// ---- Links --------------------------------------------------------------------------------------------------

TEST(ActionLink, RegistersWithOneActionAtATime)
{
    std::vector<std::string> log;
    std::unique_ptr<TCustomAction> first(NewAction(nullptr, "First"));
    std::unique_ptr<TCustomAction> second(NewAction(nullptr, "Second"));
    {
        TRecordingLink link(log);
        link.SetAction(first.get());
        EXPECT_EQ(first->GetClients().size(), 1u);
        link.SetAction(second.get());
        EXPECT_EQ(link.GetAction(), second.get());
        EXPECT_TRUE(first->GetClients().empty());
        EXPECT_EQ(second->GetClients().size(), 1u);
        first->SetCaption("x");  // reaches no one
        EXPECT_TRUE(log.empty());
    }
    EXPECT_TRUE(second->GetClients().empty()) << "a freed link unregisters";
}

TEST(ActionLink, RegisteringWithAnotherActionLeavesTheFirst)
{
    // Registering straight with the action, as a client class may, must not leave the link behind in the
    // first action (it would point at the link after the link is freed).
    std::vector<std::string> log;
    std::unique_ptr<TCustomAction> first(NewAction(nullptr, "First"));
    std::unique_ptr<TCustomAction> second(NewAction(nullptr, "Second"));
    {
        TRecordingLink link(log);
        first->RegisterChanges(&link);
        second->RegisterChanges(&link);
        EXPECT_EQ(link.GetAction(), second.get());
        EXPECT_TRUE(first->GetClients().empty());
        first->UnRegisterChanges(&link);  // not registered there: changes nothing
        EXPECT_EQ(link.GetAction(), second.get());
    }
    first->SetCaption("x");
    EXPECT_TRUE(log.empty());
}

TEST(ActionLink, AFreedActionLeavesItsLinksEmpty)
{
    std::vector<std::string> log;
    TRecordingLink link(log);
    TRecordingLink other(log);
    auto* action = NewAction(nullptr, "A");
    link.SetAction(action);
    other.SetAction(action);
    delete action;
    EXPECT_EQ(link.GetAction(), nullptr);
    EXPECT_EQ(other.GetAction(), nullptr);
    EXPECT_FALSE(link.Execute());
    EXPECT_FALSE(link.Update());
}

TEST(ActionLink, PropertiesAreLinkedOnlyToCustomActions)
{
    std::vector<std::string> log;
    TRecordingLink link(log);
    std::unique_ptr<TBasicAction> basic = std::make_unique<TBasicAction>(nullptr);
    std::unique_ptr<TCustomAction> custom(NewAction(nullptr, "A"));
    const std::vector<std::pair<const char*, bool (TActionLink::*)() const>> tests = {
        {"Caption", &TActionLink::IsCaptionLinked},   {"Checked", &TActionLink::IsCheckedLinked},
        {"Enabled", &TActionLink::IsEnabledLinked},   {"HelpContext", &TActionLink::IsHelpContextLinked},
        {"Hint", &TActionLink::IsHintLinked},         {"ImageIndex", &TActionLink::IsImageIndexLinked},
        {"ShortCut", &TActionLink::IsShortCutLinked}, {"Visible", &TActionLink::IsVisibleLinked},
    };
    for (const auto& [name, linked] : tests) {
        SCOPED_TRACE(name);
        link.SetAction(nullptr);
        EXPECT_FALSE((link.*linked)());
        link.SetAction(basic.get());
        EXPECT_FALSE((link.*linked)());
        link.SetAction(custom.get());
        EXPECT_TRUE((link.*linked)());
    }
}

TEST(ActionLink, ExecuteNamesTheClientComponentOnlyWhileItRuns)
{
    struct TProbe : TObject {
        void Execute(TObject* sender) { Seen = static_cast<TBasicAction*>(sender)->GetActionComponent(); }
        TComponent* Seen = nullptr;
    } probe;
    std::vector<std::string> log;
    TComponent item(nullptr);
    std::unique_ptr<TCustomAction> action(NewAction(nullptr, "A"));
    action->OnExecute = TNotifyEvent(&probe, &TProbe::Execute);
    TRecordingLink link(log);
    link.SetAction(action.get());

    EXPECT_TRUE(link.Execute(&item));
    EXPECT_EQ(probe.Seen, &item);
    EXPECT_EQ(action->GetActionComponent(), nullptr);
}

TEST(ActionLink, ExecuteSurvivesAHandlerThatFreesTheLinkOrTheAction)
{
    struct TFreer : TObject {
        void FreeLink(TObject*) { Link.reset(); }
        void FreeAction(TObject*) { delete Action; }
        std::unique_ptr<TRecordingLink> Link;
        TCustomAction* Action = nullptr;
    };
    std::vector<std::string> log;
    TComponent item(nullptr);
    {
        TFreer freer;
        std::unique_ptr<TCustomAction> action(NewAction(nullptr, "A"));
        action->OnExecute = TNotifyEvent(&freer, &TFreer::FreeLink);
        freer.Link = std::make_unique<TRecordingLink>(log);
        freer.Link->SetAction(action.get());
        EXPECT_TRUE(freer.Link->Execute(&item));
        EXPECT_TRUE(action->GetClients().empty());
        EXPECT_EQ(action->GetActionComponent(), nullptr);
    }
    {
        TFreer freer;
        freer.Action = NewAction(nullptr, "B");
        freer.Action->OnExecute = TNotifyEvent(&freer, &TFreer::FreeAction);
        TRecordingLink link(log);
        link.SetAction(freer.Action);
        EXPECT_TRUE(link.Execute(&item));
        EXPECT_EQ(link.GetAction(), nullptr);
    }
}

TEST(ActionLink, AClientThatLeavesDuringAChangeIsNotCalledAgain)
{
    // The first link's change drops the second link from the action; the second must not be told.
    struct TLeaver : TObject {
        void Changed(TObject*) { Other->SetAction(nullptr); }
        TBasicActionLink* Other = nullptr;
    } leaver;
    std::vector<std::string> log;
    std::unique_ptr<TCustomAction> action(NewAction(nullptr, "A"));
    TRecordingLink first(log);
    TRecordingLink second(log);
    first.SetAction(action.get());
    second.SetAction(action.get());
    leaver.Other = &second;
    first.OnChange = TNotifyEvent(&leaver, &TLeaver::Changed);

    action->SetCaption("x");
    EXPECT_EQ(log, (std::vector<std::string>{"set Caption x (held )", "set Caption x (held )", "link change"}));
}

// ---- Action lists -------------------------------------------------------------------------------------------

TEST(ActionList, KeepsItsActionsInOrder)
{
    TComponent form(nullptr);
    auto* list = new TActionList(&form);
    TCustomAction* a = NewAction(&form, "A");
    TCustomAction* b = NewAction(&form, "B");
    TCustomAction* c = NewAction(list, "C");
    list->AddAction(a);
    list->AddAction(b);
    c->SetActionList(list);
    list->AddAction(a);  // already in: stays where it is

    ASSERT_EQ(list->GetActionCount(), 3);
    EXPECT_EQ(list->GetAction(0), a);
    EXPECT_EQ(list->GetAction(2), c);
    EXPECT_EQ(b->GetIndex(), 1);
    EXPECT_EQ(a->GetActionList(), list);
    EXPECT_EQ(a->GetParentComponent(), list);
    EXPECT_THROW((void)list->GetAction(3), EListError);
    EXPECT_THROW((void)list->GetAction(-1), EListError);

    list->RemoveAction(b);
    EXPECT_EQ(b->GetActionList(), nullptr);
    EXPECT_EQ(b->GetIndex(), -1);
    EXPECT_EQ(c->GetIndex(), 1);
    b->SetParentComponent(list);
    EXPECT_EQ(b->GetIndex(), 2);

    std::vector<TComponent*> children;
    list->GetChildren([&](TComponent* child) { children.push_back(child); }, &form);
    EXPECT_EQ(children, (std::vector<TComponent*>{a, b})) << "only those the root owns";
}

TEST(ActionList, AFreedActionLeavesTheList)
{
    TComponent form(nullptr);
    auto* list = new TActionList(&form);
    TCustomAction* a = NewAction(&form, "A");
    TCustomAction* b = NewAction(&form, "B");
    list->AddAction(a);
    list->AddAction(b);
    delete a;
    ASSERT_EQ(list->GetActionCount(), 1);
    EXPECT_EQ(list->GetAction(0), b);
}

TEST(ActionList, FreesItsActionsWhoeverOwnsThem)
{
    // Actions made before and after the list, by the form and by the list; both orders of freeing.
    for (bool listFirst : {true, false}) {
        SCOPED_TRACE(listFirst ? "list freed first" : "form frees all");
        auto form = std::make_unique<TComponent>(nullptr);
        TCustomAction* early = NewAction(form.get(), "Early");
        auto* list = new TActionList(form.get());
        TCustomAction* late = NewAction(form.get(), "Late");
        TCustomAction* own = NewAction(list, "Own");
        list->AddAction(early);
        list->AddAction(late);
        list->AddAction(own);
        if (listFirst) {
            delete list;
            EXPECT_EQ(form->GetComponentCount(), 0);
        }
        form.reset();  // the sanitizer catches a double free here
    }
}

TEST(ActionList, RunsTheFirstEnabledVisibleActionOfAShortCut)
{
    TRecorder recorder;
    TComponent form(nullptr);
    auto* list = new TActionList(&form);
    const TShortCut ctrlS = scCtrl | 'S';
    const std::vector<std::pair<const char*, std::function<void(TCustomAction&)>>> actions = {
        {"Disabled", [](TCustomAction& a) { a.SetEnabled(false); }},
        {"Hidden", [](TCustomAction& a) { a.SetVisible(false); }},
        {"Other", [](TCustomAction& a) { a.SetShortCut(scCtrl | 'O'); }},
        {"Save", [](TCustomAction&) {}},
        {"Second", [](TCustomAction&) {}},
    };
    for (const auto& [name, setUp] : actions) {
        TCustomAction* action = NewAction(&form, name);
        action->SetShortCut(ctrlS);
        setUp(*action);
        action->OnExecute = TNotifyEvent(&recorder, &TRecorder::Executed);
        list->AddAction(action);
    }
    EXPECT_TRUE(list->IsShortCut(ctrlS));
    EXPECT_EQ(recorder.Log, (std::vector<std::string>{"execute Save"}));
    EXPECT_FALSE(list->IsShortCut(scCtrl | 'Q'));
    EXPECT_FALSE(list->IsShortCut(scNone));
    EXPECT_EQ(recorder.Log.size(), 1u);
}

TEST(ActionList, ASuspendedListNeitherExecutesNorUpdates)
{
    TRecorder recorder;
    TComponent form(nullptr);
    auto* list = new TActionList(&form);
    TCustomAction* action = NewAction(&form, "A");
    action->SetShortCut(scCtrl | 'A');
    action->SetEnabled(false);
    action->SetAutoCheck(true);
    action->OnExecute = TNotifyEvent(&recorder, &TRecorder::Executed);
    action->OnUpdate = TNotifyEvent(&recorder, &TRecorder::Updated);
    list->AddAction(action);

    list->SetState(asSuspended);
    EXPECT_FALSE(action->GetEnabled());
    list->SetState(asSuspendedEnabled);
    EXPECT_TRUE(action->GetEnabled()) << "entering asSuspendedEnabled enables the actions";
    EXPECT_FALSE(action->Execute());
    EXPECT_FALSE(action->Update());
    EXPECT_FALSE(list->IsShortCut(scCtrl | 'A'));
    EXPECT_TRUE(recorder.Log.empty());
    EXPECT_FALSE(action->GetChecked()) << "nothing ran, so nothing toggled";

    list->SetState(asNormal);
    EXPECT_TRUE(list->IsShortCut(scCtrl | 'A'));
    EXPECT_EQ(recorder.Log, (std::vector<std::string>{"update A", "execute A"}));
}

TEST(ActionList, ImageChangesReachTheListAndEveryClient)
{
    std::vector<std::string> log;
    TRecorder recorder;
    TComponent form(nullptr);
    auto* images = new TImageList(&form);
    images->SetName("Images");
    auto* list = new TActionList(&form);
    list->SetName("List");
    list->OnChange = TNotifyEvent(&recorder, &TRecorder::Changed);
    TCustomAction* action = NewAction(&form, "A");
    list->AddAction(action);
    TRecordingLink link(log);
    link.SetAction(action);

    list->SetImages(images);
    EXPECT_EQ(list->GetImages(), images);
    EXPECT_EQ(recorder.Log, (std::vector<std::string>{"change List"}));
    EXPECT_EQ(log, (std::vector<std::string>{"link change"}));

    images->SetSize(24, 24);
    EXPECT_EQ(recorder.Log.size(), 2u);
    EXPECT_EQ(log.size(), 2u);

    delete images;
    EXPECT_EQ(list->GetImages(), nullptr);
}

TEST(ActionList, ALaterImageListNoLongerTellsTheFormerOne)
{
    TRecorder recorder;
    TComponent form(nullptr);
    auto* first = new TImageList(&form);
    auto* second = new TImageList(&form);
    auto* list = new TActionList(&form);
    list->SetName("List");
    list->SetImages(first);
    list->SetImages(second);
    list->OnChange = TNotifyEvent(&recorder, &TRecorder::Changed);
    first->SetSize(8, 8);
    EXPECT_TRUE(recorder.Log.empty());
    second->SetSize(8, 8);
    EXPECT_EQ(recorder.Log.size(), 1u);
}
