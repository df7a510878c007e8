#include "toolkit/Classes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ovrel::toolkit;

namespace {

std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

// A component that logs its destruction and the notifications it hears, and keeps a pointer to another.
class TProbe : public TComponent {
public:
    TProbe(TComponent* owner, std::string name) : TComponent(owner) { SetName(name); }
    ~TProbe() override { Log().push_back("~" + GetName()); }

    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (component == this)
            return;
        if (operation == opRemove && component == Watched) {
            Watched = nullptr;
            if (FreeOnNotice != nullptr) {
                TComponent* victim = FreeOnNotice;
                FreeOnNotice = nullptr;
                delete victim;
            }
        }
        if (operation == opInsert)
            Inserted.push_back(component);
        if (operation == opRemove)
            Removed.push_back(component->GetName());
        if (ReadDying && operation == opRemove && component != nullptr)
            SeenDuringNotice = component->GetComponentState().Contains(csDestroying) ? "destroying" : "alive";
    }

    virtual std::string Kind() const { return "probe"; }

    TComponent* Watched = nullptr;
    TComponent* FreeOnNotice = nullptr;
    bool ReadDying = false;
    std::string SeenDuringNotice;
    std::vector<TComponent*> Inserted;  // names are not set yet when the constructor inserts
    std::vector<std::string> Removed;
};

class TDerivedProbe : public TProbe {
public:
    using TProbe::TProbe;
    std::string Kind() const override { return "derived"; }
};

// Asks the dying component for its most derived behaviour while it is being notified about.
class TKindReader : public TComponent {
public:
    using TComponent::TComponent;
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove)
            if (auto* probe = dynamic_cast<TProbe*>(component))
                KindSeen = probe->Kind();
    }
    std::string KindSeen;
};

}  // namespace

TEST(TComponent, OwnerFreesWhatItOwnsLastMadeFirst)
{
    Log().clear();
    auto* root = new TProbe(nullptr, "root");
    new TProbe(root, "a");
    auto* b = new TProbe(root, "b");
    new TProbe(b, "b1");
    new TProbe(root, "c");
    delete root;
    EXPECT_EQ(Log(), (std::vector<std::string>{"~root", "~c", "~b", "~b1", "~a"}));
}

TEST(TComponent, DeletingAnOwnedComponentLeavesItsOwner)
{
    Log().clear();
    auto root = std::make_unique<TProbe>(nullptr, "root");
    auto* a = new TProbe(root.get(), "a");
    new TProbe(root.get(), "b");
    delete a;
    ASSERT_EQ(root->GetComponentCount(), 1);
    EXPECT_EQ(root->GetComponent(0)->GetName(), "b");
    root.reset();
    EXPECT_EQ(Log(), (std::vector<std::string>{"~a", "~root", "~b"}));
}

TEST(TComponent, InsertComponentMovesOwnershipAndRemoveComponentHandsItBack)
{
    auto first = std::make_unique<TProbe>(nullptr, "first");
    auto second = std::make_unique<TProbe>(nullptr, "second");
    auto* child = new TProbe(first.get(), "child");
    second->InsertComponent(child);
    EXPECT_EQ(first->GetComponentCount(), 0);
    EXPECT_EQ(child->GetOwner(), second.get());
    second->RemoveComponent(child);
    EXPECT_EQ(child->GetOwner(), nullptr);
    std::unique_ptr<TProbe> orphan(child);  // the caller owns it now
    EXPECT_EQ(second->GetComponentCount(), 0);
}

TEST(TComponent, SiblingsHearOfInsertionAndRemovalThroughTheOwner)
{
    auto root = std::make_unique<TProbe>(nullptr, "root");
    auto* listener = new TProbe(root.get(), "listener");
    auto* other = new TProbe(root.get(), "other");
    EXPECT_EQ(listener->Inserted, (std::vector<TComponent*>{other}));
    delete other;
    EXPECT_EQ(listener->Removed, (std::vector<std::string>{"other"}));
}

TEST(TComponent, FreeNotificationClearsTheListenersPointerBothWays)
{
    auto a = std::make_unique<TProbe>(nullptr, "a");
    auto b = std::make_unique<TProbe>(nullptr, "b");
    auto c = std::make_unique<TProbe>(nullptr, "c");
    a->Watched = b.get();
    b->FreeNotification(a.get());
    c->Watched = a.get();
    c->FreeNotification(a.get());  // c asks a: a is told when c goes, and c when a goes
    b.reset();
    EXPECT_EQ(a->Watched, nullptr);
    a.reset();
    EXPECT_EQ(c->Watched, nullptr);
}

TEST(TComponent, RemoveFreeNotificationStopsTheNotice)
{
    auto a = std::make_unique<TProbe>(nullptr, "a");
    auto b = std::make_unique<TProbe>(nullptr, "b");
    a->Watched = b.get();
    b->FreeNotification(a.get());
    b->RemoveFreeNotification(a.get());
    b.reset();
    EXPECT_TRUE(a->Removed.empty());
}

TEST(TComponent, ListenerThatFreesAnotherListenerDuringTheNoticeIsTolerated)
{
    Log().clear();
    auto subject = std::make_unique<TProbe>(nullptr, "subject");
    auto* first = new TProbe(nullptr, "first");
    auto* second = new TProbe(nullptr, "second");
    auto* third = new TProbe(nullptr, "third");
    for (TProbe* listener : {first, second, third}) {
        listener->Watched = subject.get();
        subject->FreeNotification(listener);
    }
    // The last registered hears first and frees the one before it; the remaining one must still hear.
    third->FreeOnNotice = second;
    subject.reset();
    EXPECT_EQ(first->Watched, nullptr);
    EXPECT_EQ(third->Watched, nullptr);
    EXPECT_EQ(Log(), (std::vector<std::string>{"~second", "~subject"}));
    delete first;
    delete third;
}

TEST(TComponent, ListenersHearWhileTheWholeObjectStillExists)
{
    auto reader = std::make_unique<TKindReader>(nullptr);
    auto* probe = new TDerivedProbe(nullptr, "p");
    auto watcher = std::make_unique<TProbe>(nullptr, "watcher");
    watcher->ReadDying = true;
    probe->FreeNotification(reader.get());
    probe->FreeNotification(watcher.get());
    delete probe;
    EXPECT_EQ(reader->KindSeen, "derived");
    EXPECT_EQ(watcher->SeenDuringNotice, "destroying");
}

TEST(TComponent, DestroyingMarksTheWholeOwnedTree)
{
    auto root = std::make_unique<TProbe>(nullptr, "root");
    auto* child = new TProbe(root.get(), "child");
    auto* grandChild = new TProbe(child, "grandchild");
    auto watcher = std::make_unique<TProbe>(nullptr, "watcher");
    watcher->ReadDying = true;
    grandChild->FreeNotification(watcher.get());
    root.reset();
    EXPECT_EQ(watcher->SeenDuringNotice, "destroying");
}

TEST(TComponent, StackComponentCleansUpInItsDestructor)
{
    Log().clear();
    auto watcher = std::make_unique<TProbe>(nullptr, "watcher");
    {
        TProbe local(nullptr, "local");
        new TProbe(&local, "owned");
        watcher->Watched = &local;
        local.FreeNotification(watcher.get());
    }
    EXPECT_EQ(watcher->Watched, nullptr);
    EXPECT_EQ(Log(), (std::vector<std::string>{"~local", "~owned"}));
}

TEST(TComponent, FindComponentIgnoresCaseAndTakesTheFirstOfEqualNames)
{
    TComponent root(nullptr);
    auto* first = new TComponent(&root);
    first->SetName("OkButton");
    auto* second = new TComponent(&root);
    second->SetName("okbutton");
    EXPECT_EQ(root.FindComponent("OKBUTTON"), first);
    EXPECT_EQ(root.FindComponent(""), nullptr);
    EXPECT_EQ(root.FindComponent("Cancel"), nullptr);
}

TEST(TComponent, ComponentIndexMovesWithinTheOwner)
{
    TComponent root(nullptr);
    auto* a = new TComponent(&root);
    auto* b = new TComponent(&root);
    auto* c = new TComponent(&root);
    c->SetComponentIndex(0);
    EXPECT_EQ(root.GetComponent(0), c);
    EXPECT_EQ(root.GetComponent(1), a);
    EXPECT_EQ(b->GetComponentIndex(), 2);
    a->SetComponentIndex(99);
    EXPECT_EQ(a->GetComponentIndex(), 2);
    EXPECT_THROW((void)root.GetComponent(3), EListError);
    EXPECT_THROW((void)root.GetComponent(-1), EListError);
}

// ---------------------------------------------------------------------------------------------------------
// Loading a tree built in code

namespace {

class TLoadProbe : public TComponent {
public:
    TLoadProbe(TComponent* owner, std::string name, std::vector<std::string>* order) : TComponent(owner), FOrder(order)
    {
        SetName(name);
    }
    TComponent* FreeInLoaded = nullptr;
    bool WasLoadingInLoaded = false;

protected:
    void Loaded() override
    {
        WasLoadingInLoaded = GetComponentState().Contains(csLoading);
        TComponent::Loaded();
        FOrder->push_back(GetName());
        if (FreeInLoaded != nullptr)
            delete std::exchange(FreeInLoaded, nullptr);
    }

private:
    std::vector<std::string>* FOrder;
};

}  // namespace

TEST(Loading, ComponentsMadeDuringTheBuildJoinItAndLoadedRunsDepthFirst)
{
    std::vector<std::string> order;
    TLoadProbe form(nullptr, "form", &order);
    auto* early = new TLoadProbe(&form, "early", &order);
    BeginLoading(form);
    auto* panel = new TLoadProbe(&form, "panel", &order);
    auto* button = new TLoadProbe(panel, "button", &order);
    EXPECT_TRUE(early->GetComponentState().Contains(csLoading));
    EXPECT_TRUE(button->GetComponentState().Contains(csLoading));
    EXPECT_TRUE(button->GetComponentState().Contains(csReading));
    EndLoading(form);
    EXPECT_EQ(order, (std::vector<std::string>{"form", "early", "panel", "button"}));
    EXPECT_TRUE(button->WasLoadingInLoaded);
    for (TComponent* component : {static_cast<TComponent*>(&form), static_cast<TComponent*>(early),
                                  static_cast<TComponent*>(panel), static_cast<TComponent*>(button)}) {
        EXPECT_FALSE(component->GetComponentState().Contains(csLoading));
        EXPECT_FALSE(component->GetComponentState().Contains(csReading));
    }
    auto* later = new TLoadProbe(&form, "later", &order);
    EXPECT_FALSE(later->GetComponentState().Contains(csLoading));
}

TEST(Loading, ALoadedThatFreesALaterComponentSkipsIt)
{
    std::vector<std::string> order;
    TLoadProbe form(nullptr, "form", &order);
    BeginLoading(form);
    auto* first = new TLoadProbe(&form, "first", &order);
    auto* doomed = new TLoadProbe(&form, "doomed", &order);
    new TLoadProbe(&form, "last", &order);
    first->FreeInLoaded = doomed;
    EndLoading(form);
    EXPECT_EQ(order, (std::vector<std::string>{"form", "first", "last"}));
}

// ---------------------------------------------------------------------------------------------------------
// Property table

namespace {

enum TLook : std::uint8_t { lkFlat, lkRaised, lkSunken };
enum TPart : std::uint8_t { ptLeft, ptTop, ptRight };
using TParts = TSet<TPart>;

class TWidgetProps : public TComponent {
public:
    using TComponent::TComponent;
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value) { FCaption = value; }
    std::string GetSummary() const { return "summary"; }
    TLook GetLook() const { return FLook; }
    void SetLook(TLook value) { FLook = value; }
    TParts GetParts() const { return FParts; }
    void SetParts(TParts value) { FParts = value; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double value) { FRatio = value; }
    int GetCount() const { return FCount; }
    void SetCount(int value) { FCount = value; }
    TComponent* GetBuddy() const { return FBuddy; }
    void SetBuddy(TComponent* value) { FBuddy = value; }

    static const TPropertyTable& ClassProperties()
    {
        static const TPropertyTable table =
            TPropertyTable(&TComponent::ClassProperties())
                .String("Caption", &TWidgetProps::GetCaption, &TWidgetProps::SetCaption)
                .String("Summary", &TWidgetProps::GetSummary, nullptr)
                .Enumeration("Look", &TWidgetProps::GetLook, &TWidgetProps::SetLook, {"lkFlat", "lkRaised", "lkSunken"})
                .Set("Parts", &TWidgetProps::GetParts, &TWidgetProps::SetParts, {"ptLeft", "ptTop", "ptRight"})
                .Float("Ratio", &TWidgetProps::GetRatio, &TWidgetProps::SetRatio)
                .Integer("Count", &TWidgetProps::GetCount, &TWidgetProps::SetCount)
                .Object("Buddy", &TWidgetProps::GetBuddy, &TWidgetProps::SetBuddy);
        return table;
    }
    const TPropertyTable& GetPropertyTable() const override { return ClassProperties(); }

private:
    std::string FCaption;
    TLook FLook = lkFlat;
    TParts FParts;
    double FRatio = 0;
    int FCount = 0;
    TComponent* FBuddy = nullptr;
};

class TPlainPersistent : public TPersistent {};

}  // namespace

TEST(PropertyTable, SetsAndGetsEachKindByNameWithoutRegardToCase)
{
    TWidgetProps widget(nullptr);
    SetStrProp(widget, "caption", "Hello");
    SetEnumProp(widget, "LOOK", "lksunken");
    SetOrdProp(widget, "Parts", TParts{ptLeft, ptRight}.GetBits());
    SetFloatProp(widget, "Ratio", 1.5);
    SetOrdProp(widget, "Count", -7);
    TComponent buddy(nullptr);
    SetObjectProp(widget, "Buddy", &buddy);
    SetStrProp(widget, "Name", "Inherited");

    EXPECT_EQ(widget.GetCaption(), "Hello");
    EXPECT_EQ(GetStrProp(widget, "Caption"), "Hello");
    EXPECT_EQ(widget.GetLook(), lkSunken);
    EXPECT_EQ(GetEnumProp(widget, "Look"), "lkSunken");
    EXPECT_EQ(widget.GetParts(), (TParts{ptLeft, ptRight}));
    EXPECT_DOUBLE_EQ(GetFloatProp(widget, "Ratio"), 1.5);
    EXPECT_EQ(GetOrdProp(widget, "Count"), -7);
    EXPECT_EQ(GetObjectProp(widget, "Buddy"), &buddy);
    EXPECT_EQ(widget.GetName(), "Inherited");
    EXPECT_EQ(GetStrProp(widget, "Summary"), "summary");
}

TEST(PropertyTable, SetsReadAndWriteAsTheNamesOfTheirElements)
{
    const TPropInfo* info = TWidgetProps::ClassProperties().Find("Parts");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(SetToString(*info, 0b101, true), "[ptLeft,ptRight]");
    EXPECT_EQ(SetToString(*info, 0, false), "");
    EXPECT_EQ(StringToSet(*info, "[ pttop , ptLeft ]"), 0b011);
    EXPECT_EQ(StringToSet(*info, ""), 0);
    EXPECT_EQ(StringToSet(*info, "[]"), 0);
    EXPECT_THROW((void)StringToSet(*info, "ptLeft,ptBottom"), EPropertyError);
    EXPECT_THROW((void)StringToSet(*info, "[ptLeft"), EPropertyError);
    TWidgetProps widget(nullptr);
    SetSetProp(widget, "Parts", "ptRight");
    EXPECT_EQ(GetSetProp(widget, "Parts", true), "[ptRight]");
    EXPECT_THROW(SetSetProp(widget, "Caption", "ptRight"), EPropertyError);
}

TEST(PropertyTable, LooksUpOnlyPublishedPropertiesOfTheObjectsOwnClass)
{
    TWidgetProps widget(nullptr);
    TComponent component(nullptr);
    TPlainPersistent plain;
    EXPECT_NE(GetPropInfo(&widget, "Caption"), nullptr);
    EXPECT_EQ(GetPropInfo(&component, "Caption"), nullptr);
    EXPECT_NE(GetPropInfo(&component, "Tag"), nullptr);
    EXPECT_EQ(GetPropInfo(&plain, "Name"), nullptr);
    EXPECT_EQ(GetPropInfo(nullptr, "Name"), nullptr);
    EXPECT_TRUE(IsPublishedProp(&widget, "parts"));
    EXPECT_FALSE(GetPropInfo(&widget, "Summary")->IsWritable());
    EXPECT_TRUE(GetPropInfo(&widget, "Caption")->IsWritable());
}

TEST(PropertyTable, RefusesWhatTheObjectCannotTake)
{
    struct Row {
        const char* name;
        std::function<void(TWidgetProps&)> call;
    };
    TComponent stranger(nullptr);
    TPlainPersistent notAComponent;
    const std::vector<Row> rows = {
        {"UnknownName", [](TWidgetProps& w) { SetStrProp(w, "Colour", "x"); }},
        {"ReadOnly", [](TWidgetProps& w) { SetStrProp(w, "Summary", "x"); }},
        {"StringAsOrdinal", [](TWidgetProps& w) { SetOrdProp(w, "Caption", 1); }},
        {"OrdinalAsString", [](TWidgetProps& w) { SetStrProp(w, "Count", "1"); }},
        {"EnumOutOfRange", [](TWidgetProps& w) { SetOrdProp(w, "Look", 3); }},
        {"EnumNegative", [](TWidgetProps& w) { SetOrdProp(w, "Look", -1); }},
        {"EnumUnknownName", [](TWidgetProps& w) { SetEnumProp(w, "Look", "lkShiny"); }},
        {"SetBitWithoutElement", [](TWidgetProps& w) { SetOrdProp(w, "Parts", 8); }},
        {"GetUnknown", [](TWidgetProps& w) { (void)GetStrProp(w, "Nothing"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TWidgetProps widget(nullptr);
        EXPECT_THROW(row.call(widget), EPropertyError);
        EXPECT_EQ(widget.GetLook(), lkFlat);
        EXPECT_TRUE(widget.GetParts().Empty());
    }
    TWidgetProps widget(nullptr);
    EXPECT_THROW(SetObjectProp(widget, "Buddy", &notAComponent), EInvalidCast);
    EXPECT_EQ(widget.GetBuddy(), nullptr);
    SetObjectProp(widget, "Buddy", &stranger);
    SetObjectProp(widget, "Buddy", nullptr);
    EXPECT_EQ(widget.GetBuddy(), nullptr);
}

TEST(TPersistent, DefaultAssignRaisesWithBothClassNames)
{
    TPlainPersistent target;
    TComponent source(nullptr);
    try {
        target.Assign(&source);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TPlainPersistent");
    }
    try {
        target.Assign(nullptr);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TPlainPersistent");
    }
}

TEST(TSet, CombinesAndComparesLikeAPascalSet)
{
    const TParts a{ptLeft, ptTop};
    const TParts b{ptTop, ptRight};
    EXPECT_EQ(a + b, (TParts{ptLeft, ptTop, ptRight}));
    EXPECT_EQ(a - b, (TParts{ptLeft}));
    EXPECT_EQ(a * b, (TParts{ptTop}));
    EXPECT_TRUE(TParts{ptTop} <= a);
    EXPECT_FALSE(b <= a);
    EXPECT_EQ(TParts::FromBits(a.GetBits()), a);
}

// ---------------------------------------------------------------------------------------------------------
// Class references and registry

namespace {
class TRegisteredA : public TComponent {
public:
    using TComponent::TComponent;
};
class TRegisteredB : public TComponent {
public:
    using TComponent::TComponent;
};
}  // namespace

TEST(ClassRegistry, FindsRegisteredClassesByNameAndMakesThem)
{
    RegisterClasses({TComponentClass::Of<TRegisteredA>(), TComponentClass::Of<TRegisteredB>()});
    RegisterClass(TComponentClass::Of<TRegisteredA>());  // again: no error
    const TComponentClass found = FindClass("tregistereda");
    EXPECT_EQ(found, TComponentClass::Of<TRegisteredA>());
    EXPECT_NE(found, TComponentClass::Of<TRegisteredB>());
    TComponent owner(nullptr);
    TComponent* made = found.Create(&owner);
    EXPECT_NE(dynamic_cast<TRegisteredA*>(made), nullptr);
    EXPECT_EQ(made->GetOwner(), &owner);
    EXPECT_FALSE(GetClass("TMissing"));
    EXPECT_THROW((void)FindClass("TMissing"), EClassNotFound);
    UnRegisterClass(TComponentClass::Of<TRegisteredA>());
    EXPECT_FALSE(GetClass("TRegisteredA"));
    EXPECT_THROW((void)TComponentClass().Create(nullptr), EInvalidOperation);
}

// ---------------------------------------------------------------------------------------------------------
// Collections

namespace {

class TPanelItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    void Assign(const TPersistent* source) override
    {
        if (auto* other = dynamic_cast<const TPanelItem*>(source)) {
            Text = other->Text;
            Changed(false);
            return;
        }
        TCollectionItem::Assign(source);
    }
    void SetText(std::string value)
    {
        Text = std::move(value);
        Changed(false);
    }
    std::string Text;
};

class TPanels : public TCollection {
public:
    TPanels() : TCollection(TCollectionItemClass::Of<TPanelItem>()) {}
    std::vector<std::string> Events;

protected:
    void Update(TCollectionItem* item) override
    {
        Events.push_back(item ? "update " + static_cast<TPanelItem*>(item)->Text : "update all");
    }
    void Notify(TCollectionItem*, TCollectionNotification action) override
    {
        static const char* const names[] = {"added", "extracting", "deleting"};
        Events.push_back(names[action]);
    }
};

TPanelItem* Panel(TCollection& c, int i) { return static_cast<TPanelItem*>(c.GetItem(i)); }

}  // namespace

TEST(TCollection, AddDeleteAndItemDestructionReportInOrder)
{
    TPanels panels;
    auto* first = static_cast<TPanelItem*>(panels.Add());
    panels.Add();
    first->SetText("one");
    panels.Delete(1);
    delete first;
    EXPECT_EQ(panels.GetCount(), 0);
    EXPECT_EQ(panels.Events,
              (std::vector<std::string>{"added", "update all", "added", "update all", "update one", "deleting",
                                        "extracting", "update all", "extracting", "update all"}));
}

TEST(TCollection, UpdatesOnceAtTheOutermostEndUpdate)
{
    TPanels panels;
    panels.BeginUpdate();
    panels.BeginUpdate();
    panels.Add();
    Panel(panels, 0)->SetText("x");
    panels.EndUpdate();
    panels.Add();
    panels.EndUpdate();
    panels.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(panels.Events, (std::vector<std::string>{"added", "added", "update all"}));
}

TEST(TCollection, IdsStayWithTheirItemsWhenTheyMove)
{
    TPanels panels;
    for (const char* text : {"a", "b", "c"})
        static_cast<TPanelItem*>(panels.Add())->Text = text;
    TCollectionItem* c = panels.GetItem(2);
    const int id = c->GetID();
    c->SetIndex(0);
    EXPECT_EQ(Panel(panels, 0)->Text, "c");
    EXPECT_EQ(Panel(panels, 1)->Text, "a");
    EXPECT_EQ(panels.FindItemID(id), c);
    EXPECT_EQ(c->GetIndex(), 0);
    EXPECT_NE(panels.GetItem(1)->GetID(), panels.GetItem(2)->GetID());
    panels.Delete(0);
    EXPECT_NE(static_cast<TPanelItem*>(panels.Add())->GetID(), id);  // ids are never reused
    EXPECT_THROW(panels.GetItem(0)->SetIndex(5), EListError);
    EXPECT_THROW((void)panels.GetItem(3), EListError);
    EXPECT_THROW(panels.Delete(-1), EListError);
    TCollectionItem* inserted = panels.Insert(1);
    EXPECT_EQ(inserted->GetIndex(), 1);
}

TEST(TCollection, AssignCopiesEveryItemAndMovingAnItemChangesItsCollection)
{
    TPanels source;
    for (const char* text : {"a", "b"})
        static_cast<TPanelItem*>(source.Add())->Text = text;
    TPanels target;
    target.Add();
    target.Assign(&source);
    ASSERT_EQ(target.GetCount(), 2);
    EXPECT_EQ(Panel(target, 0)->Text, "a");
    EXPECT_EQ(Panel(target, 1)->Text, "b");
    EXPECT_EQ(target.GetItem(0)->GetCollection(), &target);

    TCollectionItem* moved = source.GetItem(0);
    moved->SetCollection(&target);
    EXPECT_EQ(source.GetCount(), 1);
    EXPECT_EQ(target.GetCount(), 3);
    EXPECT_EQ(moved->GetIndex(), 2);
    moved->SetCollection(nullptr);
    std::unique_ptr<TCollectionItem> owned(moved);
    EXPECT_EQ(target.GetCount(), 2);
}

TEST(TCollection, OwnedCollectionNamesItsOwner)
{
    TComponent owner(nullptr);
    owner.SetName("StatusBar");
    TOwnedCollection panels(&owner, TCollectionItemClass::Of<TPanelItem>());
    TCollectionItem* item = panels.Add();
    panels.Add();
    EXPECT_EQ(item->GetOwner(), &panels);
    EXPECT_EQ(panels.GetOwner(), &owner);
    EXPECT_EQ(panels.GetItem(1)->GetNamePath(), "StatusBar.TOwnedCollection[1]");
}
