#pragma once
// The component model: persistent objects with a per-class property table, components that own and free
// each other and notify listeners when freed, collections of items, class references and a class registry.
// No Qt and no window system here: the image core links this half of the class library.

#include "toolkit/SysUtils.h"
#include "toolkit/System.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

namespace ovrel::toolkit {

class TPersistent;
class TComponent;
class TStrings;
class TFiler;
class TReader;
class TWriter;
class TCollection;
class TCollectionItem;

/// A set of up to 64 enumeration values, as the class library's "set of" types.
template <class E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items)
    {
        for (E item : items)
            Include(item);
    }

    [[nodiscard]] constexpr bool Contains(E item) const { return (FBits & Bit(item)) != 0; }
    [[nodiscard]] constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E item)
    {
        FBits |= Bit(item);
        return *this;
    }
    constexpr TSet& Exclude(E item)
    {
        FBits &= ~Bit(item);
        return *this;
    }
    /// Bit n stands for the value n.
    [[nodiscard]] constexpr std::uint64_t GetBits() const { return FBits; }
    static constexpr TSet FromBits(std::uint64_t bits)
    {
        TSet result;
        result.FBits = bits;
        return result;
    }

    friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.FBits | b.FBits); }
    friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.FBits & ~b.FBits); }
    friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.FBits & b.FBits); }
    friend constexpr bool operator==(const TSet&, const TSet&) = default;
    /// Subset test.
    friend constexpr bool operator<=(TSet a, TSet b) { return (a.FBits & ~b.FBits) == 0; }

private:
    static constexpr std::uint64_t Bit(E item) { return std::uint64_t{1} << static_cast<unsigned>(item); }
    std::uint64_t FBits = 0;
};

/// Keyboard and mouse-button state that comes with input events.
enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

/// The readable name of a class: the C++ name without its namespaces ("TComponent").
std::string ClassNameOf(const std::type_info& type);
std::string ClassNameOf(const TObject& object);

// ---------------------------------------------------------------------------------------------------------
// Property table: names of the published properties of a class with their kinds and accessors.

// tkStrings: a string list the object owns (TStrings is no persistent object); the setter copies the lines.
enum class TTypeKind : std::uint8_t { tkInteger, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkStrings };

/// One published property. Integer, enumeration and set properties travel as ordinals (a set as its bits);
/// Names holds the value names of an enumeration or the element names of a set, in value order.
/// A property without a setter is read-only.
struct TPropInfo {
    std::string Name;
    TTypeKind Kind = TTypeKind::tkInteger;
    std::vector<std::string> Names;
    std::function<std::int64_t(const TPersistent&)> GetOrd;
    std::function<void(TPersistent&, std::int64_t)> SetOrd;
    std::function<double(const TPersistent&)> GetFloat;
    std::function<void(TPersistent&, double)> SetFloat;
    std::function<std::string(const TPersistent&)> GetString;
    std::function<void(TPersistent&, const std::string&)> SetString;
    std::function<TPersistent*(const TPersistent&)> GetObject;
    std::function<void(TPersistent&, TPersistent*)> SetObject;  // raises EInvalidCast for a wrong class
    std::function<const TStrings*(const TPersistent&)> GetStrings;
    std::function<void(TPersistent&, const TStrings&)> SetStrings;

    [[nodiscard]] bool IsWritable() const;
};

namespace detail {
template <class M> struct TMemberClass;
template <class C, class R, class... A> struct TMemberClass<R (C::*)(A...)> {
    using Type = C;
};
template <class C, class R, class... A> struct TMemberClass<R (C::*)(A...) const> {
    using Type = C;
};
template <class C, class R, class... A> struct TMemberClass<R (C::*)(A...) noexcept> {
    using Type = C;
};
template <class C, class R, class... A> struct TMemberClass<R (C::*)(A...) const noexcept> {
    using Type = C;
};
template <class T> struct TIsSet : std::false_type {};
template <class E> struct TIsSet<TSet<E>> : std::true_type {};
}  // namespace detail

/// The published properties of one class; the table of its base class is searched after its own entries.
/// Built once per class with the chained adders, from the getter and setter member functions:
///     static const TPropertyTable table = TPropertyTable(&TComponent::ClassProperties())
///         .String("Caption", &TFoo::GetCaption, &TFoo::SetCaption);
/// Pass nullptr as the setter of a read-only property.
class TPropertyTable {
public:
    explicit TPropertyTable(const TPropertyTable* parent = nullptr) : FParent(parent) {}

    template <class G, class S> TPropertyTable& Integer(std::string name, G get, S set)
    {
        return Ordinal(std::move(name), TTypeKind::tkInteger, {}, get, set);
    }
    template <class G, class S>
    TPropertyTable& Enumeration(std::string name, G get, S set, std::vector<std::string> valueNames)
    {
        return Ordinal(std::move(name), TTypeKind::tkEnumeration, std::move(valueNames), get, set);
    }
    template <class G, class S>
    TPropertyTable& Set(std::string name, G get, S set, std::vector<std::string> elementNames)
    {
        return Ordinal(std::move(name), TTypeKind::tkSet, std::move(elementNames), get, set);
    }
    template <class G, class S> TPropertyTable& Float(std::string name, G get, S set)
    {
        using C = typename detail::TMemberClass<G>::Type;
        TPropInfo info = Make(std::move(name), TTypeKind::tkFloat);
        info.GetFloat = [get](const TPersistent& o) { return static_cast<double>((Self<C>(o).*get)()); };
        if constexpr (!std::is_null_pointer_v<S>)
            info.SetFloat = [set](TPersistent& o, double v) { (Self<C>(o).*set)(v); };
        return Add(std::move(info));
    }
    template <class G, class S> TPropertyTable& String(std::string name, G get, S set)
    {
        using C = typename detail::TMemberClass<G>::Type;
        TPropInfo info = Make(std::move(name), TTypeKind::tkString);
        info.GetString = [get](const TPersistent& o) { return std::string((Self<C>(o).*get)()); };
        if constexpr (!std::is_null_pointer_v<S>)
            info.SetString = [set](TPersistent& o, const std::string& v) { (Self<C>(o).*set)(v); };
        return Add(std::move(info));
    }
    /// An object property; the setter receives only objects of its parameter's class (or none).
    template <class G, class S> TPropertyTable& Object(std::string name, G get, S set)
    {
        using C = typename detail::TMemberClass<G>::Type;
        TPropInfo info = Make(std::move(name), TTypeKind::tkClass);
        info.GetObject = [get](const TPersistent& o) -> TPersistent* { return (Self<C>(o).*get)(); };
        if constexpr (!std::is_null_pointer_v<S>)
            info.SetObject = [set](TPersistent& o, TPersistent* v) { SetObjectChecked<C>(o, set, v); };
        return Add(std::move(info));
    }

    /// A string list the object owns; the setter takes the lines to copy.
    template <class G, class S> TPropertyTable& Strings(std::string name, G get, S set)
    {
        using C = typename detail::TMemberClass<G>::Type;
        TPropInfo info = Make(std::move(name), TTypeKind::tkStrings);
        info.GetStrings = [get](const TPersistent& o) -> const TStrings* { return (Self<C>(o).*get)(); };
        if constexpr (!std::is_null_pointer_v<S>)
            info.SetStrings = [set](TPersistent& o, const TStrings& v) { (Self<C>(o).*set)(v); };
        return Add(std::move(info));
    }

    /// The property of that name (ASCII case ignored), own entries before the base class's; none when absent.
    [[nodiscard]] const TPropInfo* Find(std::string_view name) const;
    /// Own entries only, in the order they were added.
    [[nodiscard]] const std::vector<TPropInfo>& GetOwnProperties() const { return FProperties; }
    [[nodiscard]] const TPropertyTable* GetParent() const { return FParent; }

private:
    template <class C> static const C& Self(const TPersistent& o) { return static_cast<const C&>(o); }
    template <class C> static C& Self(TPersistent& o) { return static_cast<C&>(o); }

    template <class V> static std::int64_t ToOrdinal(const V& value)
    {
        if constexpr (detail::TIsSet<std::remove_cvref_t<V>>::value)
            return static_cast<std::int64_t>(value.GetBits());
        else
            return static_cast<std::int64_t>(value);
    }
    template <class V> static V FromOrdinal(std::int64_t value)
    {
        if constexpr (detail::TIsSet<V>::value)
            return V::FromBits(static_cast<std::uint64_t>(value));
        else
            return static_cast<V>(value);
    }

    template <class P> struct TSetterArg;
    template <class C, class A> struct TSetterArg<void (C::*)(A)> {
        using Type = std::remove_cvref_t<A>;
    };
    template <class C, class A> struct TSetterArg<void (C::*)(A) noexcept> {
        using Type = std::remove_cvref_t<A>;
    };

    template <class G, class S>
    TPropertyTable& Ordinal(std::string name, TTypeKind kind, std::vector<std::string> names, G get, S set)
    {
        using C = typename detail::TMemberClass<G>::Type;
        TPropInfo info = Make(std::move(name), kind, std::move(names));
        info.GetOrd = [get](const TPersistent& o) { return ToOrdinal((Self<C>(o).*get)()); };
        if constexpr (!std::is_null_pointer_v<S>) {
            using V = typename TSetterArg<S>::Type;
            info.SetOrd = [set](TPersistent& o, std::int64_t v) { (Self<C>(o).*set)(FromOrdinal<V>(v)); };
        }
        return Add(std::move(info));
    }

    template <class C, class S> static void SetObjectChecked(TPersistent& o, S set, TPersistent* value)
    {
        using P = std::remove_pointer_t<typename TSetterArg<S>::Type>;
        P* typed = nullptr;
        if (value != nullptr) {
            typed = dynamic_cast<P*>(value);
            if (typed == nullptr)
                RaiseInvalidObject(*value);
        }
        (Self<C>(o).*set)(typed);
    }
    [[noreturn]] static void RaiseInvalidObject(const TPersistent& value);

    static TPropInfo Make(std::string name, TTypeKind kind, std::vector<std::string> names = {});
    TPropertyTable& Add(TPropInfo info);

    const TPropertyTable* FParent = nullptr;
    std::vector<TPropInfo> FProperties;
};

/// Raised for an unknown property name, a read-only property or a value of the wrong kind.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

/// The published property of that name of an object's class; none for an unknown name or no object.
const TPropInfo* GetPropInfo(const TPersistent* object, std::string_view name);
bool IsPublishedProp(const TPersistent* object, std::string_view name);
// Typed access by name; each raises EPropertyError for an unknown or read-only property of another kind.
std::string GetStrProp(const TPersistent& object, std::string_view name);
void SetStrProp(TPersistent& object, std::string_view name, const std::string& value);
std::int64_t GetOrdProp(const TPersistent& object, std::string_view name);  // integer, enumeration, set
void SetOrdProp(TPersistent& object, std::string_view name, std::int64_t value);
std::string GetEnumProp(const TPersistent& object, std::string_view name);  // the value's name
void SetEnumProp(TPersistent& object, std::string_view name, std::string_view valueName);  // case ignored
double GetFloatProp(const TPersistent& object, std::string_view name);
void SetFloatProp(TPersistent& object, std::string_view name, double value);
TPersistent* GetObjectProp(const TPersistent& object, std::string_view name);
void SetObjectProp(TPersistent& object, std::string_view name, TPersistent* value);
/// A set value as the names of its elements joined by "," in element order, in brackets when asked:
/// "[fsBold,fsItalic]" or "fsBold,fsItalic"; the empty set is "[]" or "".
std::string SetToString(const TPropInfo& info, std::int64_t value, bool brackets);
/// The set a text of element names stands for (brackets, spaces and ASCII case ignored); EPropertyError
/// for a name that is no element.
std::int64_t StringToSet(const TPropInfo& info, std::string_view text);
std::string GetSetProp(const TPersistent& object, std::string_view name, bool brackets = false);
void SetSetProp(TPersistent& object, std::string_view name, std::string_view text);

// ---------------------------------------------------------------------------------------------------------

/// An object that can copy itself from another (Assign) and publishes properties by name.
class TPersistent : public TObject {
public:
    ~TPersistent() override;

    /// Copies source into this object. The base asks source to AssignTo this object and raises
    /// EConvertError "Cannot assign a <source> to a <this>" when neither side knows the other; a null source
    /// reads "nil" in the message.
    virtual void Assign(const TPersistent* source);
    /// The object that owns this one for naming and streaming; none in the base.
    [[nodiscard]] virtual TPersistent* GetOwner() const;
    /// "Owner.Name" style path for messages.
    [[nodiscard]] virtual std::string GetNamePath() const;

    /// The published properties of this class; every class with properties of its own overrides both.
    static const TPropertyTable& ClassProperties();
    [[nodiscard]] virtual const TPropertyTable& GetPropertyTable() const;

protected:
    virtual void AssignTo(TPersistent* dest) const;
    [[noreturn]] void AssignError(const TPersistent* source) const;
};

// ---------------------------------------------------------------------------------------------------------

/// A class reference: makes objects of one class derived from Base through its constructor, and compares
/// equal to another reference of the same class. TComponentClass::Of<TFoo>() refers to TFoo.
template <class Base, class... Args> class TClassOf {
public:
    TClassOf() = default;

    template <class T> static TClassOf Of()
    {
        static_assert(std::is_base_of_v<Base, T>);
        TClassOf result;
        result.FCreate = [](Args... args) -> Base* { return new T(args...); };
        result.FType = &typeid(T);
        return result;
    }

    /// A new object of the referred class (owned as the class's constructor says).
    Base* Create(Args... args) const
    {
        if (FCreate == nullptr)
            throw EInvalidOperation("Class reference is not assigned");
        return FCreate(args...);
    }
    [[nodiscard]] std::string ClassName() const { return FType ? ClassNameOf(*FType) : std::string(); }
    [[nodiscard]] const std::type_info* GetType() const { return FType; }
    explicit operator bool() const { return FCreate != nullptr; }
    friend bool operator==(const TClassOf& a, const TClassOf& b)
    {
        return a.FType == b.FType || (a.FType && b.FType && *a.FType == *b.FType);
    }

private:
    Base* (*FCreate)(Args...) = nullptr;
    const std::type_info* FType = nullptr;
};

enum TOperation : std::uint8_t { opInsert, opRemove };

enum TComponentStateItem : std::uint8_t {
    csLoading,  // between the start of a load (or a form build) and Loaded
    csReading,  // while its properties are read: components made now join the load
    csWriting,
    csDestroying,  // from the first step of freeing
    csDesigning,  // never set: there is no designer
    csAncestor,  // never set
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

using TComponentClass = TClassOf<TComponent, TComponent*>;

/// A component: owned by another component, which frees it; owns and frees the components made with it
/// as their owner (the last made first). Other components ask for a free notification to clear the
/// pointers they keep to it.
///
/// Freeing with delete runs the component's first steps while the whole object is still intact:
/// BeforeDestruction (csDestroying on it and on everything it owns) and the free notifications to its
/// listeners. Then the destructors run, most derived first; the last of them frees the owned components
/// and leaves the owner.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    // Runs the first steps of freeing before the destructors; see the class comment.
    void operator delete(TComponent* component, std::destroying_delete_t);
    // Paired with the destroying delete, so that the compiler sees matching allocation functions.
    // (The second delete frees the memory when a constructor throws.)
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* memory) { ::operator delete(memory); }

    [[nodiscard]] TComponent* GetOwner() const override { return FOwner; }
    [[nodiscard]] int GetComponentCount() const { return static_cast<int>(FComponents.size()); }
    /// Raises EListError outside 0..ComponentCount-1.
    [[nodiscard]] TComponent* GetComponent(int index) const;
    /// The position in the owner's list; -1 without an owner.
    [[nodiscard]] int GetComponentIndex() const;
    void SetComponentIndex(int value);

    [[nodiscard]] const std::string& GetName() const { return FName; }
    /// Names need not be unique among the owner's components.
    virtual void SetName(const std::string& value);
    /// The first owned component of that name, ASCII case ignored; none for an empty name.
    [[nodiscard]] TComponent* FindComponent(std::string_view name) const;
    [[nodiscard]] std::intptr_t GetTag() const { return FTag; }
    void SetTag(std::intptr_t value) { FTag = value; }
    [[nodiscard]] TComponentState GetComponentState() const { return FComponentState; }
    std::string GetNamePath() const override;

    /// Adds component to the owned list (taking it from a previous owner) and tells everything owned.
    void InsertComponent(TComponent* component);
    /// Takes component out of the owned list without freeing it; the caller owns it then.
    void RemoveComponent(TComponent* component);
    /// Frees every owned component, the last first.
    void DestroyComponents();
    /// Marks this component and everything it owns as being destroyed.
    void Destroying();

    /// component hears Notification(this, opRemove) when this component is freed, and the other way round.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    /// Told when component joins or leaves this component's owned list or, after FreeNotification, when it
    /// is freed. The base passes the notice on to every owned component and forgets a freed listener.
    virtual void Notification(TComponent* component, TOperation operation);

    // Streaming hooks that trees built in code also use.
    using TGetChildProc = std::function<void(TComponent* child)>;
    virtual void GetChildren(const TGetChildProc& proc, TComponent* root);
    virtual TComponent* GetChildOwner();
    virtual TComponent* GetChildParent();
    virtual void SetChildOrder(TComponent* child, int order);
    [[nodiscard]] virtual bool HasParent() const;
    [[nodiscard]] virtual TComponent* GetParentComponent() const;
    virtual void SetParentComponent(TComponent* value);
    /// Reads the component's properties from a stream (Filer.h); the base reads them all.
    virtual void ReadState(TReader& reader);
    /// Writes the component's properties; the base writes its published properties and DefineProperties'.
    virtual void WriteState(TWriter& writer);

    static const TPropertyTable& ClassProperties();
    [[nodiscard]] const TPropertyTable& GetPropertyTable() const override;

protected:
    /// Properties the component streams beside its published ones (DefineProperty on filer); none in the base.
    virtual void DefineProperties(TFiler& filer);
    /// Called once the component and its tree have been built; the base clears csLoading.
    virtual void Loaded();
    /// The first step of freeing, while the object is whole; the base calls Destroying.
    virtual void BeforeDestruction();
    void SetComponentStateItem(TComponentStateItem item, bool on);

private:
    friend void BeginLoading(TComponent& root);
    friend void EndLoading(TComponent& root);
    friend class TReader;
    friend class TWriter;

    void RemoveFreeNotifications();
    void DetachFromOwner();

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    std::string FName;
    std::intptr_t FTag = 0;
    TComponentState FComponentState;
};

/// Starts building root's tree in code as a load would: csLoading and csReading on root and on everything
/// it owns; components made with an owner that is reading join the load.
void BeginLoading(TComponent& root);
/// Ends the build: csReading goes, then Loaded runs on root and, depth-first in creation order, on every
/// component it owns (each clears its csLoading).
void EndLoading(TComponent& root);

// ---------------------------------------------------------------------------------------------------------

/// A registry of component classes by name, for trees rebuilt from a description.
void RegisterClass(const TComponentClass& componentClass);
void RegisterClasses(std::initializer_list<TComponentClass> componentClasses);
void UnRegisterClass(const TComponentClass& componentClass);
/// The registered class of that name (ASCII case ignored); an empty reference when none.
TComponentClass GetClass(std::string_view className);
/// As GetClass, but raises EClassNotFound "Class <name> not found".
TComponentClass FindClass(std::string_view className);

class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};

// ---------------------------------------------------------------------------------------------------------

enum TCollectionNotification : std::uint8_t { cnAdded, cnExtracting, cnDeleting };

using TCollectionItemClass = TClassOf<TCollectionItem, TCollection*>;

/// One item of a collection: made with its collection, which owns and frees it.
class TCollectionItem : public TPersistent {
public:
    /// Joins collection when given (which then owns the item).
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;

    [[nodiscard]] TCollection* GetCollection() const { return FCollection; }
    /// Moves the item to another collection (or none: the caller owns it then).
    virtual void SetCollection(TCollection* value);
    [[nodiscard]] int GetIndex() const;
    /// Moves the item inside its collection; EListError outside 0..Count-1.
    virtual void SetIndex(int value);
    /// A number unique in the collection, kept when items move.
    [[nodiscard]] int GetID() const { return FID; }
    /// The base returns the class name.
    [[nodiscard]] virtual std::string GetDisplayName() const;
    virtual void SetDisplayName(const std::string& value);
    [[nodiscard]] TPersistent* GetOwner() const override;
    std::string GetNamePath() const override;

protected:
    /// Tells the collection; allItems asks it to update all items, otherwise only this one.
    virtual void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

/// An ordered list of items of one class, owned by the collection.
class TCollection : public TPersistent {
public:
    explicit TCollection(TCollectionItemClass itemClass);
    ~TCollection() override;

    /// A new item of the item class, appended.
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    /// Frees the item at index; EListError outside 0..Count-1.
    void Delete(int index);
    /// Frees every item.
    void Clear();
    [[nodiscard]] int GetCount() const { return static_cast<int>(FItems.size()); }
    /// EListError outside 0..Count-1.
    [[nodiscard]] TCollectionItem* GetItem(int index) const;
    /// Assigns value to the item at index.
    void SetItem(int index, const TCollectionItem* value);
    [[nodiscard]] TCollectionItem* FindItemID(int id) const;
    [[nodiscard]] const TCollectionItemClass& GetItemClass() const { return FItemClass; }

    /// Update is called once, at the EndUpdate that closes the outermost BeginUpdate.
    virtual void BeginUpdate();
    virtual void EndUpdate();
    [[nodiscard]] int GetUpdateCount() const { return FUpdateCount; }

    /// Copies the items of another collection: clears, then adds one item per source item and assigns it.
    void Assign(const TPersistent* source) override;
    [[nodiscard]] TPersistent* GetOwner() const override;
    std::string GetNamePath() const override;

protected:
    /// An item changed (item), or items were added, removed or reordered (none). Nothing in the base.
    virtual void Update(TCollectionItem* item);
    virtual void Notify(TCollectionItem* item, TCollectionNotification action);
    /// Calls Update(none) unless inside BeginUpdate.
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    void ItemChanged(TCollectionItem* item);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
};

/// A collection that names an owner, so that the owner can be found from the items.
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* owner, TCollectionItemClass itemClass);
    [[nodiscard]] TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

}  // namespace ovrel::toolkit
