#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>

namespace ovrel::toolkit {

/// Gives a variable a value for the length of a scope and puts the old one back on every way out.
template <class T> class TRestore {
public:
    TRestore(T& field, T value) : FField(field), FSaved(std::exchange(field, std::move(value))) {}
    ~TRestore() { FField = std::move(FSaved); }
    TRestore(const TRestore&) = delete;
    TRestore& operator=(const TRestore&) = delete;

private:
    T& FField;
    T FSaved;
};

/// A message handed to an object's Dispatch: a number and two parameters, plus the handler's result.
struct TMessage {
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

/// The root of the class library: polymorphic, non-copyable, with message dispatch.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    /// Handles a message; the base passes every message to DefaultHandler. Descendants override and call up.
    virtual void Dispatch(TMessage& message);
    /// Called for messages nobody handled; does nothing in the base.
    virtual void DefaultHandler(TMessage& message);
};

/// Expires with the object that holds it, or earlier by Expire. Code that calls out into handlers that may
/// free the object takes Observe() first and asks afterwards whether the object survived them.
class TLifeToken {
public:
    /// What the caller keeps; copyable, so a callback can carry it.
    class TObserver {
    public:
        [[nodiscard]] bool Expired() const { return FToken.expired(); }

    private:
        friend class TLifeToken;
        explicit TObserver(const std::shared_ptr<bool>& token) : FToken(token) {}
        std::weak_ptr<bool> FToken;
    };

    TLifeToken() = default;
    TLifeToken(const TLifeToken&) = delete;
    TLifeToken& operator=(const TLifeToken&) = delete;

    [[nodiscard]] TObserver Observe() const { return TObserver(FToken); }
    /// For a destructor whose later steps may call back into the holder's handlers.
    void Expire() { FToken.reset(); }

private:
    std::shared_ptr<bool> FToken = std::make_shared<bool>(true);
};

/// A method pointer: an object and one of its member functions. Two events are equal when both the object
/// and the member function are the same, so a list of handlers can drop every entry of one object.
template <class... Args> class TEvent {
public:
    TEvent() = default;

    template <class C> TEvent(C* object, void (C::*method)(Args...))
    {
        Bind<C, decltype(method)>(object, method, &CallMethod<C, decltype(method)>);
    }

    template <class C> TEvent(const C* object, void (C::*method)(Args...) const)
    {
        Bind<const C, decltype(method)>(object, method, &CallMethod<const C, decltype(method)>);
    }

    /// Calls the method when one is assigned; an empty event does nothing.
    void operator()(Args... args) const
    {
        if (FCall)
            FCall(FObject, FMethod, args...);
    }

    explicit operator bool() const { return FCall != nullptr; }
    /// The object part, for comparing against an object being freed.
    const void* GetObject() const { return FObject; }

    friend bool operator==(const TEvent& a, const TEvent& b)
    {
        return a.FObject == b.FObject && a.FCall == b.FCall && a.FMethod == b.FMethod;
    }

    void Clear() { *this = TEvent(); }

private:
    // Member function pointers are two words on the ABIs we build for; room for more, checked below.
    using Storage = std::array<unsigned char, 4 * sizeof(void*)>;
    using Caller = void (*)(void* object, const Storage& method, Args... args);

    template <class C, class M> void Bind(C* object, M method, Caller caller)
    {
        static_assert(sizeof(M) <= sizeof(Storage), "member function pointer larger than expected");
        static_assert(std::is_trivially_copyable_v<M>);
        if (object == nullptr || method == nullptr)
            return;
        FObject = const_cast<std::remove_const_t<C>*>(object);
        std::memcpy(FMethod.data(), &method, sizeof(M));  // the rest stays zero, so bytes compare
        FCall = caller;
    }

    template <class C, class M> static void CallMethod(void* object, const Storage& storage, Args... args)
    {
        M method;
        std::memcpy(&method, storage.data(), sizeof(M));
        (static_cast<C*>(object)->*method)(args...);
    }

    void* FObject = nullptr;
    Storage FMethod{};
    Caller FCall = nullptr;
};

/// An event whose only argument is the sender.
using TNotifyEvent = TEvent<TObject*>;
/// A parameterless method of an object.
using TMethodEvent = TEvent<>;

}  // namespace ovrel::toolkit
