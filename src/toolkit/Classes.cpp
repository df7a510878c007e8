#include "toolkit/Classes.h"

#include <algorithm>
#include <cxxabi.h>
#include <cstdlib>
#include <memory>

namespace ovrel::toolkit {

std::string ClassNameOf(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : type.name();
    // Only the innermost name: "ovrel::toolkit::TFont" reads "TFont".
    const std::size_t open = name.find('<');
    const std::size_t colons = name.rfind("::", open);
    if (colons != std::string::npos)
        name.erase(0, colons + 2);
    return name;
}

std::string ClassNameOf(const TObject& object) { return ClassNameOf(typeid(object)); }

// ---------------------------------------------------------------------------------------------------------
// Property table

bool TPropInfo::IsWritable() const
{
    switch (Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkEnumeration:
    case TTypeKind::tkSet: return static_cast<bool>(SetOrd);
    case TTypeKind::tkFloat: return static_cast<bool>(SetFloat);
    case TTypeKind::tkString: return static_cast<bool>(SetString);
    case TTypeKind::tkClass: return static_cast<bool>(SetObject);
    case TTypeKind::tkStrings: return static_cast<bool>(SetStrings);
    }
    return false;
}

TPropInfo TPropertyTable::Make(std::string name, TTypeKind kind, std::vector<std::string> names)
{
    TPropInfo info;
    info.Name = std::move(name);
    info.Kind = kind;
    info.Names = std::move(names);
    return info;
}

TPropertyTable& TPropertyTable::Add(TPropInfo info)
{
    FProperties.push_back(std::move(info));
    return *this;
}

const TPropInfo* TPropertyTable::Find(std::string_view name) const
{
    for (const TPropertyTable* table = this; table != nullptr; table = table->FParent)
        for (const TPropInfo& info : table->FProperties)
            if (SameText(info.Name, name))
                return &info;
    return nullptr;
}

void TPropertyTable::RaiseInvalidObject(const TPersistent& value)
{
    throw EInvalidCast("Invalid class typecast: " + ClassNameOf(value));
}

namespace {

const TPropInfo& RequireProp(const TPersistent& object, std::string_view name, std::initializer_list<TTypeKind> kinds)
{
    const TPropInfo* info = object.GetPropertyTable().Find(name);
    if (info == nullptr)
        throw EPropertyError("Property " + std::string(name) + " does not exist");
    if (std::find(kinds.begin(), kinds.end(), info->Kind) == kinds.end())
        throw EPropertyError("Invalid property type: " + info->Name);
    return *info;
}

const TPropInfo& RequireWritable(const TPersistent& object, std::string_view name,
                                 std::initializer_list<TTypeKind> kinds)
{
    const TPropInfo& info = RequireProp(object, name, kinds);
    if (!info.IsWritable())
        throw EPropertyError("Property " + info.Name + " is read-only");
    return info;
}

constexpr auto OrdinalKinds = {TTypeKind::tkInteger, TTypeKind::tkEnumeration, TTypeKind::tkSet};

}  // namespace

const TPropInfo* GetPropInfo(const TPersistent* object, std::string_view name)
{
    return object == nullptr ? nullptr : object->GetPropertyTable().Find(name);
}

bool IsPublishedProp(const TPersistent* object, std::string_view name) { return GetPropInfo(object, name) != nullptr; }

std::string GetStrProp(const TPersistent& object, std::string_view name)
{
    return RequireProp(object, name, {TTypeKind::tkString}).GetString(object);
}

void SetStrProp(TPersistent& object, std::string_view name, const std::string& value)
{
    RequireWritable(object, name, {TTypeKind::tkString}).SetString(object, value);
}

std::int64_t GetOrdProp(const TPersistent& object, std::string_view name)
{
    return RequireProp(object, name, OrdinalKinds).GetOrd(object);
}

void SetOrdProp(TPersistent& object, std::string_view name, std::int64_t value)
{
    const TPropInfo& info = RequireWritable(object, name, OrdinalKinds);
    // An enumeration or set value outside its names would put a value into the object that its type lacks.
    const auto count = static_cast<std::int64_t>(info.Names.size());
    if (info.Kind == TTypeKind::tkEnumeration && (value < 0 || value >= count))
        throw EPropertyError("Invalid value for property " + info.Name);
    if (info.Kind == TTypeKind::tkSet && count < 64 && (static_cast<std::uint64_t>(value) >> count) != 0)
        throw EPropertyError("Invalid value for property " + info.Name);
    info.SetOrd(object, value);
}

std::string GetEnumProp(const TPersistent& object, std::string_view name)
{
    const TPropInfo& info = RequireProp(object, name, {TTypeKind::tkEnumeration});
    const std::int64_t value = info.GetOrd(object);
    if (value < 0 || value >= static_cast<std::int64_t>(info.Names.size()))
        return std::to_string(value);
    return info.Names[static_cast<std::size_t>(value)];
}

void SetEnumProp(TPersistent& object, std::string_view name, std::string_view valueName)
{
    const TPropInfo& info = RequireWritable(object, name, {TTypeKind::tkEnumeration});
    for (std::size_t i = 0; i < info.Names.size(); ++i)
        if (SameText(info.Names[i], valueName)) {
            info.SetOrd(object, static_cast<std::int64_t>(i));
            return;
        }
    throw EPropertyError("Invalid property element: " + std::string(valueName));
}

std::string SetToString(const TPropInfo& info, std::int64_t value, bool brackets)
{
    std::string text;
    for (std::size_t i = 0; i < info.Names.size() && i < 64; ++i) {
        if ((static_cast<std::uint64_t>(value) >> i & 1U) == 0)
            continue;
        if (!text.empty())
            text += ',';
        text += info.Names[i];
    }
    return brackets ? "[" + text + "]" : text;
}

std::int64_t StringToSet(const TPropInfo& info, std::string_view text)
{
    const auto trim = [](std::string_view t) {
        while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
            t.remove_prefix(1);
        while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
            t.remove_suffix(1);
        return t;
    };
    text = trim(text);
    if (!text.empty() && text.front() == '[') {
        if (text.back() != ']')
            throw EPropertyError("Invalid property element: " + std::string(text));
        text = trim(text.substr(1, text.size() - 2));
    }
    std::uint64_t bits = 0;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view name = trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        std::size_t i = 0;
        while (i < info.Names.size() && i < 64 && !SameText(info.Names[i], name))
            ++i;
        if (i == info.Names.size() || i == 64)
            throw EPropertyError("Invalid property element: " + std::string(name));
        bits |= std::uint64_t{1} << i;
    }
    return static_cast<std::int64_t>(bits);
}

std::string GetSetProp(const TPersistent& object, std::string_view name, bool brackets)
{
    const TPropInfo& info = RequireProp(object, name, {TTypeKind::tkSet});
    return SetToString(info, info.GetOrd(object), brackets);
}

void SetSetProp(TPersistent& object, std::string_view name, std::string_view text)
{
    const TPropInfo& info = RequireWritable(object, name, {TTypeKind::tkSet});
    info.SetOrd(object, StringToSet(info, text));
}

double GetFloatProp(const TPersistent& object, std::string_view name)
{
    return RequireProp(object, name, {TTypeKind::tkFloat}).GetFloat(object);
}

void SetFloatProp(TPersistent& object, std::string_view name, double value)
{
    RequireWritable(object, name, {TTypeKind::tkFloat}).SetFloat(object, value);
}

TPersistent* GetObjectProp(const TPersistent& object, std::string_view name)
{
    return RequireProp(object, name, {TTypeKind::tkClass}).GetObject(object);
}

void SetObjectProp(TPersistent& object, std::string_view name, TPersistent* value)
{
    RequireWritable(object, name, {TTypeKind::tkClass}).SetObject(object, value);
}

// ---------------------------------------------------------------------------------------------------------
// TPersistent

TPersistent::~TPersistent() = default;

void TPersistent::Assign(const TPersistent* source)
{
    if (source != nullptr)
        source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) const { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const
{
    const std::string sourceName = source != nullptr ? ClassNameOf(*source) : std::string("nil");
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassNameOf(*this));
}

TPersistent* TPersistent::GetOwner() const { return nullptr; }

std::string TPersistent::GetNamePath() const
{
    std::string result = ClassNameOf(*this);
    if (const TPersistent* owner = GetOwner()) {
        const std::string ownerPath = owner->GetNamePath();
        if (!ownerPath.empty())
            result = ownerPath + "." + result;
    }
    return result;
}

const TPropertyTable& TPersistent::ClassProperties()
{
    static const TPropertyTable table;
    return table;
}

const TPropertyTable& TPersistent::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* owner)
{
    if (owner != nullptr)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    // A component not freed through delete (one on the stack) takes its first steps only now.
    if (!FComponentState.Contains(csDestroying))
        Destroying();
    RemoveFreeNotifications();
    DestroyComponents();
    if (FOwner != nullptr)
        FOwner->RemoveComponent(this);
}

void TComponent::operator delete(TComponent* component, std::destroying_delete_t)
{
    // Listeners hear of the end while the object is still whole, so they may still call it.
    component->BeforeDestruction();
    component->RemoveFreeNotifications();
    void* memory = dynamic_cast<void*>(component);
    component->~TComponent();
    ::operator delete(memory);
}

void TComponent::BeforeDestruction() { Destroying(); }

void TComponent::Destroying()
{
    if (FComponentState.Contains(csDestroying))
        return;
    FComponentState.Include(csDestroying);
    for (TComponent* component : FComponents)
        component->Destroying();
}

TComponent* TComponent::GetComponent(int index) const
{
    if (index < 0 || index >= GetComponentCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FComponents[static_cast<std::size_t>(index)];
}

int TComponent::GetComponentIndex() const
{
    if (FOwner == nullptr)
        return -1;
    const auto& list = FOwner->FComponents;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TComponent::SetComponentIndex(int value)
{
    if (FOwner == nullptr)
        return;
    auto& list = FOwner->FComponents;
    const int current = GetComponentIndex();
    value = std::clamp(value, 0, static_cast<int>(list.size()) - 1);
    if (value == current)
        return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + value, this);
}

void TComponent::SetName(const std::string& value) { FName = value; }

TComponent* TComponent::FindComponent(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    for (TComponent* component : FComponents)
        if (SameText(component->FName, name))
            return component;
    return nullptr;
}

std::string TComponent::GetNamePath() const { return FName; }

void TComponent::InsertComponent(TComponent* component)
{
    if (component == nullptr || component->FOwner == this)
        return;
    if (component->FOwner != nullptr)
        component->FOwner->RemoveComponent(component);
    FComponents.push_back(component);
    component->FOwner = this;
    // Made while its owner's tree is being built: it is part of the build.
    if (FComponentState.Contains(csReading)) {
        component->FComponentState.Include(csLoading);
        component->FComponentState.Include(csReading);
    }
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    if (component == nullptr || component->FOwner != this)
        return;
    Notification(component, opRemove);
    auto it = std::find(FComponents.begin(), FComponents.end(), component);
    if (it != FComponents.end())
        FComponents.erase(it);
    component->FOwner = nullptr;
}

void TComponent::DestroyComponents()
{
    while (!FComponents.empty()) {
        TComponent* component = FComponents.back();
        FComponents.pop_back();
        component->FOwner = nullptr;
        delete component;
    }
}

void TComponent::FreeNotification(TComponent* component)
{
    if (component == nullptr || component == this)
        return;
    FComponentState.Include(csFreeNotification);
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) != FFreeNotifies.end())
        return;
    FFreeNotifies.push_back(component);
    component->FreeNotification(this);
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    if (component == nullptr)
        return;
    std::erase(FFreeNotifies, component);
    std::erase(component->FFreeNotifies, this);
}

void TComponent::RemoveFreeNotifications()
{
    // Each listener leaves the list before it hears, so a listener that frees others (who then leave the
    // list themselves) or ignores the notice cannot make this loop skip or repeat anyone.
    while (!FFreeNotifies.empty()) {
        TComponent* listener = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        std::erase(listener->FFreeNotifies, this);
        listener->Notification(this, opRemove);
    }
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component != nullptr)
        RemoveFreeNotification(component);
    // Walk down from the end; a handler may remove components, so clamp the index after each call.
    int i = GetComponentCount() - 1;
    while (i >= 0) {
        FComponents[static_cast<std::size_t>(i)]->Notification(component, operation);
        --i;
        i = std::min(i, GetComponentCount() - 1);
    }
}

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

TComponent* TComponent::GetChildOwner() { return nullptr; }

TComponent* TComponent::GetChildParent() { return this; }

void TComponent::SetChildOrder(TComponent*, int) {}

bool TComponent::HasParent() const { return false; }

TComponent* TComponent::GetParentComponent() const { return nullptr; }

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::SetComponentStateItem(TComponentStateItem item, bool on)
{
    if (on)
        FComponentState.Include(item);
    else
        FComponentState.Exclude(item);
}

const TPropertyTable& TComponent::ClassProperties()
{
    static const TPropertyTable table = TPropertyTable(&TPersistent::ClassProperties())
                                            .String("Name", &TComponent::GetName, &TComponent::SetName)
                                            .Integer("Tag", &TComponent::GetTag, &TComponent::SetTag);
    return table;
}

const TPropertyTable& TComponent::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// Loading a tree built in code

namespace {

void CollectTree(TComponent& root, std::vector<TComponent*>& out)
{
    out.push_back(&root);
    for (int i = 0; i < root.GetComponentCount(); ++i)
        CollectTree(*root.GetComponent(i), out);
}

// Watches the components about to be told Loaded: one freed by an earlier Loaded drops out of the list.
class TLoadWatch final : public TComponent {
public:
    explicit TLoadWatch(std::vector<TComponent*>& list) : TComponent(nullptr), FList(list)
    {
        for (TComponent* component : FList)
            FreeNotification(component);
    }
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove)
            std::replace(FList.begin(), FList.end(), component, static_cast<TComponent*>(nullptr));
    }

private:
    std::vector<TComponent*>& FList;
};

}  // namespace

void BeginLoading(TComponent& root)
{
    std::vector<TComponent*> tree;
    CollectTree(root, tree);
    for (TComponent* component : tree) {
        component->FComponentState.Include(csLoading);
        component->FComponentState.Include(csReading);
    }
}

void EndLoading(TComponent& root)
{
    std::vector<TComponent*> tree;
    CollectTree(root, tree);
    for (TComponent* component : tree)
        component->FComponentState.Exclude(csReading);
    TLoadWatch watch(tree);
    for (std::size_t i = 0; i < tree.size(); ++i)
        if (TComponent* component = tree[i]; component != nullptr && component->FComponentState.Contains(csLoading))
            component->Loaded();
}

// ---------------------------------------------------------------------------------------------------------
// Class registry

namespace {

std::vector<TComponentClass>& Registry()
{
    static std::vector<TComponentClass> classes;
    return classes;
}

}  // namespace

void RegisterClass(const TComponentClass& componentClass)
{
    if (!componentClass)
        return;
    const std::string name = componentClass.ClassName();
    for (const TComponentClass& known : Registry())
        if (SameText(known.ClassName(), name)) {
            if (known == componentClass)
                return;
            throw EInvalidOperation("A class named " + name + " already exists");
        }
    Registry().push_back(componentClass);
}

void RegisterClasses(std::initializer_list<TComponentClass> componentClasses)
{
    for (const TComponentClass& componentClass : componentClasses)
        RegisterClass(componentClass);
}

void UnRegisterClass(const TComponentClass& componentClass) { std::erase(Registry(), componentClass); }

TComponentClass GetClass(std::string_view className)
{
    for (const TComponentClass& known : Registry())
        if (SameText(known.ClassName(), className))
            return known;
    return {};
}

TComponentClass FindClass(std::string_view className)
{
    TComponentClass result = GetClass(className);
    if (!result)
        throw EClassNotFound("Class " + std::string(className) + " not found");
    return result;
}

// ---------------------------------------------------------------------------------------------------------
// Collections

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem()
{
    if (FCollection != nullptr)
        FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* value)
{
    if (FCollection == value)
        return;
    if (FCollection != nullptr)
        FCollection->RemoveItem(this);
    if (value != nullptr)
        value->InsertItem(this);
}

int TCollectionItem::GetIndex() const
{
    if (FCollection == nullptr)
        return -1;
    const auto& items = FCollection->FItems;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int value)
{
    const int current = GetIndex();
    if (current < 0 || current == value)
        return;
    auto& items = FCollection->FItems;
    if (value < 0 || value >= static_cast<int>(items.size()))
        throw EListError(Format("List index out of bounds (%d)", {value}));
    items.erase(items.begin() + current);
    items.insert(items.begin() + value, this);
    Changed(true);
}

std::string TCollectionItem::GetDisplayName() const { return ClassNameOf(*this); }

void TCollectionItem::SetDisplayName(const std::string&) { Changed(false); }

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

std::string TCollectionItem::GetNamePath() const
{
    if (FCollection == nullptr)
        return ClassNameOf(*this);
    return FCollection->GetNamePath() + "[" + std::to_string(GetIndex()) + "]";
}

void TCollectionItem::Changed(bool allItems)
{
    if (FCollection != nullptr && FCollection->FUpdateCount == 0)
        FCollection->Update(allItems ? nullptr : this);
}

TCollection::TCollection(TCollectionItemClass itemClass) : FItemClass(std::move(itemClass)) {}

TCollection::~TCollection()
{
    FUpdateCount = 1;  // no updates while the items go
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::Add() { return FItemClass.Create(this); }

TCollectionItem* TCollection::Insert(int index)
{
    if (index < 0 || index > GetCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index)
{
    TCollectionItem* item = GetItem(index);
    Notify(item, cnDeleting);
    delete item;
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty())
            delete FItems.back();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<std::size_t>(index)];
}

void TCollection::SetItem(int index, const TCollectionItem* value) { GetItem(index)->Assign(value); }

TCollectionItem* TCollection::FindItemID(int id) const
{
    for (TCollectionItem* item : FItems)
        if (item->FID == id)
            return item;
    return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        Changed();
}

void TCollection::Assign(const TPersistent* source)
{
    const auto* other = dynamic_cast<const TCollection*>(source);
    if (other == nullptr) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (const TCollectionItem* item : other->FItems)
            Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TPersistent* TCollection::GetOwner() const { return nullptr; }

std::string TCollection::GetNamePath() const
{
    const TPersistent* owner = GetOwner();
    if (owner == nullptr)
        return ClassNameOf(*this);
    const std::string ownerPath = owner->GetNamePath();
    return ownerPath.empty() ? ClassNameOf(*this) : ownerPath + "." + ClassNameOf(*this);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* item)
{
    FItems.push_back(item);
    item->FCollection = this;
    item->FID = FNextID++;
    Notify(item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item)
{
    Notify(item, cnExtracting);
    std::erase(FItems, item);
    item->FCollection = nullptr;
    Changed();
}

TOwnedCollection::TOwnedCollection(TPersistent* owner, TCollectionItemClass itemClass)
    : TCollection(std::move(itemClass)), FOwner(owner)
{}

}  // namespace ovrel::toolkit
