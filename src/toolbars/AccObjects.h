#pragma once
// Accessibility objects: what toolbars, menu bars and pop-up menus tell assistive technology. Each view hands
// out one view object and each item viewer one viewer object, answering the operations of the platform's
// accessibility interface with its result codes. The objects are reference counted; a view or viewer keeps one
// reference to its object and gives it up when it goes, after which the object answers E_FAIL to whoever
// still holds it. No bridge to the desktop's accessibility stack is built in.

#include "platform/ui/Types.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace ovrel::toolbars {

class TTBView;
class TTBItemViewer;

// ---- Result codes and constants ---------------------------------------------------------------------------

using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);

inline constexpr ui::LONG NAVDIR_UP = 1;
inline constexpr ui::LONG NAVDIR_DOWN = 2;
inline constexpr ui::LONG NAVDIR_LEFT = 3;
inline constexpr ui::LONG NAVDIR_RIGHT = 4;
inline constexpr ui::LONG NAVDIR_NEXT = 5;
inline constexpr ui::LONG NAVDIR_PREVIOUS = 6;
inline constexpr ui::LONG NAVDIR_FIRSTCHILD = 7;
inline constexpr ui::LONG NAVDIR_LASTCHILD = 8;

inline constexpr ui::LONG SELFLAG_TAKEFOCUS = 1;

inline constexpr ui::LONG ROLE_SYSTEM_MENUBAR = 2;
inline constexpr ui::LONG ROLE_SYSTEM_MENUPOPUP = 11;
inline constexpr ui::LONG ROLE_SYSTEM_TOOLBAR = 22;

inline constexpr ui::LONG STATE_SYSTEM_UNAVAILABLE = 0x1;
inline constexpr ui::LONG STATE_SYSTEM_FOCUSED = 0x4;
inline constexpr ui::LONG STATE_SYSTEM_PRESSED = 0x8;
inline constexpr ui::LONG STATE_SYSTEM_CHECKED = 0x10;
inline constexpr ui::LONG STATE_SYSTEM_HOTTRACKED = 0x80;
inline constexpr ui::LONG STATE_SYSTEM_INVISIBLE = 0x8000;
inline constexpr ui::LONG STATE_SYSTEM_FOCUSABLE = 0x100000;
inline constexpr ui::LONG STATE_SYSTEM_HASPOPUP = 0x40000000;

// ---- Values ---------------------------------------------------------------------------------------------

/// A child as the operations name one: a number (0 is the object itself) or something of another kind,
/// which no object takes.
struct TAccChild {
    bool IsNumber = true;
    ui::LONG Number = 0;

    static TAccChild Self() { return TAccChild{}; }
    static TAccChild Of(ui::LONG number) { return TAccChild{true, number}; }
    static TAccChild NotANumber() { return TAccChild{false, 0}; }
};

class ITBAccessible;

/// A counted reference to an accessibility object.
class TAccRef {
public:
    TAccRef() = default;
    /// Takes a reference of its own.
    explicit TAccRef(ITBAccessible* object);
    TAccRef(const TAccRef& other);
    TAccRef& operator=(const TAccRef& other);
    ~TAccRef();

    [[nodiscard]] ITBAccessible* Get() const { return FObject; }
    ITBAccessible* operator->() const { return FObject; }
    explicit operator bool() const { return FObject != nullptr; }
    void Reset();

private:
    ITBAccessible* FObject = nullptr;
};

/// What an operation hands back: nothing, a number (a child, a role, a state) or an object.
struct TAccVariant {
    enum class TKind : std::uint8_t { Empty, Number, Object };
    TKind Kind = TKind::Empty;
    ui::LONG Number = 0;
    TAccRef Object;

    static TAccVariant OfNumber(ui::LONG number)
    {
        TAccVariant v;
        v.Kind = TKind::Number;
        v.Number = number;
        return v;
    }
    static TAccVariant OfObject(const TAccRef& object)
    {
        TAccVariant v;
        v.Kind = TKind::Object;
        v.Object = object;
        return v;
    }
};

/// The operations of an accessibility object. Each checks its child (E_INVALIDARG for anything but the
/// object itself), answers E_FAIL once its view or viewer is gone and E_UNEXPECTED when something throws.
/// S_FALSE with the out value cleared means "nothing".
class ITBAccessible {
public:
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

    virtual HRESULT accDoDefaultAction(const TAccChild& child) = 0;
    /// A screen point.
    virtual HRESULT accHitTest(int x, int y, TAccVariant& result) = 0;
    /// Screen coordinates.
    virtual HRESULT accLocation(int& left, int& top, int& width, int& height, const TAccChild& child) = 0;
    virtual HRESULT accNavigate(ui::LONG direction, const TAccChild& start, TAccVariant& result) = 0;
    virtual HRESULT accSelect(ui::LONG flags, const TAccChild& child) = 0;
    virtual HRESULT get_accChild(const TAccChild& child, TAccRef& result) = 0;
    virtual HRESULT get_accChildCount(ui::LONG& count) = 0;
    virtual HRESULT get_accDefaultAction(const TAccChild& child, std::string& action) = 0;
    virtual HRESULT get_accDescription(const TAccChild& child, std::string& description) = 0;
    virtual HRESULT get_accFocus(TAccVariant& result) = 0;
    virtual HRESULT get_accHelp(const TAccChild& child, std::string& help) = 0;
    virtual HRESULT get_accHelpTopic(std::string& helpFile, const TAccChild& child, ui::LONG& topic) = 0;
    virtual HRESULT get_accKeyboardShortcut(const TAccChild& child, std::string& shortCut) = 0;
    virtual HRESULT get_accName(const TAccChild& child, std::string& name) = 0;
    virtual HRESULT get_accParent(TAccRef& result) = 0;
    virtual HRESULT get_accRole(const TAccChild& child, TAccVariant& role) = 0;
    virtual HRESULT get_accSelection(TAccVariant& result) = 0;
    virtual HRESULT get_accState(const TAccChild& child, TAccVariant& state) = 0;
    virtual HRESULT get_accValue(const TAccChild& child, std::string& value) = 0;
    virtual HRESULT put_accName(const TAccChild& child, const std::string& name) = 0;
    virtual HRESULT put_accValue(const TAccChild& child, const std::string& value) = 0;

protected:
    ~ITBAccessible() = default;
};

// ---- Objects ----------------------------------------------------------------------------------------------

/// The base of the objects: the reference count, the process-wide list of live objects, and the notice
/// that its view or viewer is going.
class TTBBaseAccObject : public ITBAccessible {
public:
    TTBBaseAccObject(const TTBBaseAccObject&) = delete;
    TTBBaseAccObject& operator=(const TTBBaseAccObject&) = delete;

    std::uint32_t AddRef() override;
    std::uint32_t Release() override;
    /// The view or viewer is going: the object forgets it and answers E_FAIL from now on.
    virtual void ClientIsDestroying() = 0;

protected:
    TTBBaseAccObject();
    virtual ~TTBBaseAccObject();

private:
    std::atomic<std::uint32_t> FRefCount{1};
    TTBBaseAccObject* FPrevious = nullptr;  // in the live list, under its mutex
    TTBBaseAccObject* FNext = nullptr;
    friend struct TLiveAccObjects;
};

/// A toolbar, a menu bar or a pop-up menu.
class TTBViewAccObject final : public TTBBaseAccObject {
public:
    /// Starts with the one reference the view keeps.
    explicit TTBViewAccObject(TTBView* view);

    void ClientIsDestroying() override;

    HRESULT accDoDefaultAction(const TAccChild& child) override;
    HRESULT accHitTest(int x, int y, TAccVariant& result) override;
    HRESULT accLocation(int& left, int& top, int& width, int& height, const TAccChild& child) override;
    HRESULT accNavigate(ui::LONG direction, const TAccChild& start, TAccVariant& result) override;
    HRESULT accSelect(ui::LONG flags, const TAccChild& child) override;
    HRESULT get_accChild(const TAccChild& child, TAccRef& result) override;
    HRESULT get_accChildCount(ui::LONG& count) override;
    HRESULT get_accDefaultAction(const TAccChild& child, std::string& action) override;
    HRESULT get_accDescription(const TAccChild& child, std::string& description) override;
    HRESULT get_accFocus(TAccVariant& result) override;
    HRESULT get_accHelp(const TAccChild& child, std::string& help) override;
    HRESULT get_accHelpTopic(std::string& helpFile, const TAccChild& child, ui::LONG& topic) override;
    HRESULT get_accKeyboardShortcut(const TAccChild& child, std::string& shortCut) override;
    HRESULT get_accName(const TAccChild& child, std::string& name) override;
    HRESULT get_accParent(TAccRef& result) override;
    HRESULT get_accRole(const TAccChild& child, TAccVariant& role) override;
    HRESULT get_accSelection(TAccVariant& result) override;
    HRESULT get_accState(const TAccChild& child, TAccVariant& state) override;
    HRESULT get_accValue(const TAccChild& child, std::string& value) override;
    HRESULT put_accName(const TAccChild& child, const std::string& name) override;
    HRESULT put_accValue(const TAccChild& child, const std::string& value) override;

private:
    ~TTBViewAccObject() override;

    TTBView* FView;
};

/// One item of a toolbar, menu bar or pop-up menu.
class TTBItemViewerAccObject final : public TTBBaseAccObject {
public:
    /// Starts with the one reference the viewer keeps.
    explicit TTBItemViewerAccObject(TTBItemViewer* viewer);

    void ClientIsDestroying() override;

    HRESULT accDoDefaultAction(const TAccChild& child) override;
    HRESULT accHitTest(int x, int y, TAccVariant& result) override;
    HRESULT accLocation(int& left, int& top, int& width, int& height, const TAccChild& child) override;
    HRESULT accNavigate(ui::LONG direction, const TAccChild& start, TAccVariant& result) override;
    HRESULT accSelect(ui::LONG flags, const TAccChild& child) override;
    HRESULT get_accChild(const TAccChild& child, TAccRef& result) override;
    HRESULT get_accChildCount(ui::LONG& count) override;
    HRESULT get_accDefaultAction(const TAccChild& child, std::string& action) override;
    HRESULT get_accDescription(const TAccChild& child, std::string& description) override;
    HRESULT get_accFocus(TAccVariant& result) override;
    HRESULT get_accHelp(const TAccChild& child, std::string& help) override;
    HRESULT get_accHelpTopic(std::string& helpFile, const TAccChild& child, ui::LONG& topic) override;
    HRESULT get_accKeyboardShortcut(const TAccChild& child, std::string& shortCut) override;
    HRESULT get_accName(const TAccChild& child, std::string& name) override;
    HRESULT get_accParent(TAccRef& result) override;
    HRESULT get_accRole(const TAccChild& child, TAccVariant& role) override;
    HRESULT get_accSelection(TAccVariant& result) override;
    HRESULT get_accState(const TAccChild& child, TAccVariant& state) override;
    HRESULT get_accValue(const TAccChild& child, std::string& value) override;
    HRESULT put_accName(const TAccChild& child, const std::string& name) override;
    HRESULT put_accValue(const TAccChild& child, const std::string& value) override;

private:
    ~TTBItemViewerAccObject() override;
    [[nodiscard]] bool IsAvailable() const;
    [[nodiscard]] bool IsOpen() const;

    TTBItemViewer* FViewer;
};

// ---- Free functions ---------------------------------------------------------------------------------------

/// Whether the platform's accessibility library is there to hand objects to clients; never here.
[[nodiscard]] bool InitAccessibilityLibrary();
/// The standard object of a window (a control placed on a toolbar, the window around a top view); none
/// here, as no accessibility library is bound.
[[nodiscard]] bool AccObjectFromWindow(ui::HWND window, TAccRef& object);
/// The name of the Alt key as menus show it.
[[nodiscard]] std::string GetAltKeyName();
/// Accessibility objects alive in the process: views', viewers' and all.
[[nodiscard]] int LiveViewAccObjects();
[[nodiscard]] int LiveViewerAccObjects();
[[nodiscard]] int LiveAccObjects();

}  // namespace ovrel::toolbars
