// Accessibility objects of views and item viewers.
#include "toolbars/AccObjects.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/View.h"
#include "toolbars/View_p.h"
#include "toolbars/Viewers.h"
#include "toolkit/SysUtils.h"

#include <exception>
#include <mutex>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;
using detail::HasStyle;

// ---- The live list ----------------------------------------------------------------------------------------

struct TLiveAccObjects {
    std::mutex Lock;
    TTBBaseAccObject* First = nullptr;  // the newest
    int Count = 0;

    void Insert(TTBBaseAccObject* object)
    {
        const std::lock_guard guard(Lock);
        object->FNext = First;
        if (First != nullptr)
            First->FPrevious = object;
        First = object;
        ++Count;
    }
    void Remove(TTBBaseAccObject* object)
    {
        const std::lock_guard guard(Lock);
        if (object->FPrevious != nullptr)
            object->FPrevious->FNext = object->FNext;
        else
            First = object->FNext;
        if (object->FNext != nullptr)
            object->FNext->FPrevious = object->FPrevious;
        --Count;
    }
};

namespace {

TLiveAccObjects& Live()
{
    static TLiveAccObjects live;
    return live;
}

std::atomic<int> gLiveViewObjects{0};
std::atomic<int> gLiveViewerObjects{0};

// A viewer is there for assistive technology when it is present in its view and its item is visible.
bool IsAccessible(const TTBItemViewer* viewer) { return viewer->IsPresent() && viewer->GetItem()->GetVisible(); }

TAccRef ObjectOf(TTBItemViewer* viewer) { return TAccRef(viewer->GetAccObject()); }
TAccRef ObjectOf(TTBView* view) { return TAccRef(view->GetAccObject()); }

HRESULT Empty(std::string& text)
{
    text.clear();
    return S_FALSE;
}

HRESULT Empty(TAccVariant& value)
{
    value = TAccVariant{};
    return S_FALSE;
}

// The object of the window a client asks for instead (a control on a toolbar, the window of a top view).
HRESULT WindowObject(HWND window, TAccRef& result) { return AccObjectFromWindow(window, result) ? S_OK : E_UNEXPECTED; }

// What every operation does first: an object whose view or viewer is gone answers E_FAIL, a child other
// than the object itself E_INVALIDARG, and nothing thrown gets out.
template <class F> HRESULT Answer(bool clientGone, const TAccChild* child, F&& body)
{
    try {
        if (clientGone)
            return E_FAIL;
        if (child != nullptr && (!child->IsNumber || child->Number != CHILDID_SELF))
            return E_INVALIDARG;
        return body();
    } catch (...) {
        return E_UNEXPECTED;
    }
}

TPoint ScreenOrigin(const TTBView* view)
{
    return view->GetWindow() != nullptr ? view->GetWindow()->ClientToScreen(TPoint{0, 0}) : TPoint{0, 0};
}

}  // namespace

// ---- TAccRef ----------------------------------------------------------------------------------------------

TAccRef::TAccRef(ITBAccessible* object) : FObject(object)
{
    if (FObject != nullptr)
        FObject->AddRef();
}

TAccRef::TAccRef(const TAccRef& other) : TAccRef(other.FObject) {}

TAccRef& TAccRef::operator=(const TAccRef& other)
{
    if (this != &other) {
        TAccRef copy(other);
        std::swap(FObject, copy.FObject);
    }
    return *this;
}

TAccRef::~TAccRef() { Reset(); }

void TAccRef::Reset()
{
    if (ITBAccessible* object = std::exchange(FObject, nullptr))
        object->Release();
}

// ---- TTBBaseAccObject -------------------------------------------------------------------------------------

TTBBaseAccObject::TTBBaseAccObject() { Live().Insert(this); }

TTBBaseAccObject::~TTBBaseAccObject() { Live().Remove(this); }

std::uint32_t TTBBaseAccObject::AddRef() { return FRefCount.fetch_add(1, std::memory_order_relaxed) + 1; }

std::uint32_t TTBBaseAccObject::Release()
{
    const std::uint32_t left = FRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0)
        delete this;
    return left;
}

// ---- TTBViewAccObject -------------------------------------------------------------------------------------

TTBViewAccObject::TTBViewAccObject(TTBView* view) : FView(view) { ++gLiveViewObjects; }

TTBViewAccObject::~TTBViewAccObject() { --gLiveViewObjects; }

void TTBViewAccObject::ClientIsDestroying() { FView = nullptr; }

HRESULT TTBViewAccObject::accDoDefaultAction(const TAccChild& child)
{
    return Answer(FView == nullptr, &child, [] { return S_FALSE; });
}

HRESULT TTBViewAccObject::accHitTest(int x, int y, TAccVariant& result)
{
    return Answer(FView == nullptr, nullptr, [&]() -> HRESULT {
        result = TAccVariant{};
        TWinControl* window = FView->GetWindow();
        if (window == nullptr || !window->HandleAllocated())
            return S_FALSE;
        HWND handle = window->GetHandle();
        RECT bounds;
        GetWindowRect(handle, &bounds);
        const TPoint screen{x, y};
        if (PtInRect(&bounds, screen) == FALSE)
            return S_FALSE;
        const TPoint client = window->ScreenToClient(screen);
        HWND under = ChildWindowFromPointEx(handle, client, CWP_SKIPINVISIBLE);
        if (under != nullptr && under != handle) {
            TAccRef object;
            const HRESULT hr = WindowObject(under, object);
            if (hr == S_OK)
                result = TAccVariant::OfObject(object);
            return hr;
        }
        if (TTBItemViewer* viewer = FView->ViewerFromPoint(client))
            result = TAccVariant::OfObject(ObjectOf(viewer));
        else
            result = TAccVariant::OfNumber(CHILDID_SELF);
        return S_OK;
    });
}

HRESULT TTBViewAccObject::accLocation(int& left, int& top, int& width, int& height, const TAccChild& child)
{
    return Answer(FView == nullptr, &child, [&]() -> HRESULT {
        TWinControl* window = FView->GetWindow();
        if (window == nullptr || !window->HandleAllocated())
            return S_FALSE;
        RECT bounds;
        GetWindowRect(window->GetHandle(), &bounds);
        left = bounds.left;
        top = bounds.top;
        width = bounds.right - bounds.left;
        height = bounds.bottom - bounds.top;
        return S_OK;
    });
}

HRESULT TTBViewAccObject::accNavigate(LONG direction, const TAccChild& start, TAccVariant& result)
{
    return Answer(FView == nullptr, &start, [&]() -> HRESULT {
        result = TAccVariant{};
        if (direction < NAVDIR_UP || direction > NAVDIR_LASTCHILD)
            return E_INVALIDARG;
        if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD)
            return S_FALSE;
        const int count = FView->GetViewerCount();
        for (int k = 0; k < count; ++k) {
            TTBItemViewer* viewer = FView->GetViewer(direction == NAVDIR_FIRSTCHILD ? k : count - 1 - k);
            if (IsAccessible(viewer)) {
                result = TAccVariant::OfObject(ObjectOf(viewer));
                return S_OK;
            }
        }
        return S_FALSE;
    });
}

HRESULT TTBViewAccObject::accSelect(LONG, const TAccChild& child)
{
    return Answer(FView == nullptr, &child, [] { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT TTBViewAccObject::get_accChild(const TAccChild& child, TAccRef& result)
{
    return Answer(FView == nullptr, nullptr, [&]() -> HRESULT {
        result.Reset();
        if (!child.IsNumber || child.Number < 0)
            return E_INVALIDARG;
        if (child.Number == CHILDID_SELF) {
            result = TAccRef(this);
            return S_OK;
        }
        LONG n = 0;
        for (int i = 0; i < FView->GetViewerCount(); ++i) {
            TTBItemViewer* viewer = FView->GetViewer(i);
            if (!IsAccessible(viewer) || ++n != child.Number)
                continue;
            if (const auto* item = dynamic_cast<const TTBControlItem*>(viewer->GetItem())) {
                auto* control = dynamic_cast<TWinControl*>(item->GetControl());
                if (control != nullptr && control->HandleAllocated())
                    return WindowObject(control->GetHandle(), result);
            }
            result = ObjectOf(viewer);
            return S_OK;
        }
        return E_INVALIDARG;
    });
}

HRESULT TTBViewAccObject::get_accChildCount(LONG& count)
{
    return Answer(FView == nullptr, nullptr, [&]() -> HRESULT {
        count = 0;
        for (int i = 0; i < FView->GetViewerCount(); ++i)
            count += IsAccessible(FView->GetViewer(i)) ? 1 : 0;
        return S_OK;
    });
}

HRESULT TTBViewAccObject::get_accDefaultAction(const TAccChild& child, std::string& action)
{
    return Answer(FView == nullptr, &child, [&] { return Empty(action); });
}

HRESULT TTBViewAccObject::get_accDescription(const TAccChild& child, std::string& description)
{
    return Answer(FView == nullptr, &child, [&] { return Empty(description); });
}

HRESULT TTBViewAccObject::get_accFocus(TAccVariant& result)
{
    return Answer(FView == nullptr, nullptr, [&] { return Empty(result); });
}

HRESULT TTBViewAccObject::get_accHelp(const TAccChild& child, std::string& help)
{
    return Answer(FView == nullptr, &child, [&] { return Empty(help); });
}

HRESULT TTBViewAccObject::get_accHelpTopic(std::string& helpFile, const TAccChild& child, LONG& topic)
{
    return Answer(FView == nullptr, &child, [&] {
        topic = 0;
        return Empty(helpFile);
    });
}

HRESULT TTBViewAccObject::get_accKeyboardShortcut(const TAccChild& child, std::string& shortCut)
{
    return Answer(FView == nullptr, &child, [&]() -> HRESULT {
        if ((FView->GetStyle() & ViewStyleMenuBar) == 0)
            return Empty(shortCut);
        shortCut = GetAltKeyName();
        return S_OK;
    });
}

HRESULT TTBViewAccObject::get_accName(const TAccChild& child, std::string& name)
{
    return Answer(FView == nullptr, &child, [&]() -> HRESULT {
        name.clear();
        const TTBView* parent = FView->GetParentView();
        if (parent != nullptr && parent->GetOpenViewerView() == FView && parent->GetOpenViewer() != nullptr)
            name = StripAccelChars(parent->GetOpenViewer()->GetCaptionText());
        if (name.empty() && FView->GetWindow() != nullptr)
            name = FView->GetWindow()->GetText();
        return S_OK;
    });
}

HRESULT TTBViewAccObject::get_accParent(TAccRef& result)
{
    return Answer(FView == nullptr, nullptr, [&]() -> HRESULT {
        result.Reset();
        const TTBView* parent = FView->GetParentView();
        if (parent != nullptr && parent->GetOpenViewerView() == FView && parent->GetOpenViewer() != nullptr) {
            result = ObjectOf(parent->GetOpenViewer());
            return S_OK;
        }
        TWinControl* window = FView->GetWindow();
        return WindowObject(window != nullptr && window->HandleAllocated() ? window->GetHandle() : nullptr, result);
    });
}

HRESULT TTBViewAccObject::get_accRole(const TAccChild& child, TAccVariant& role)
{
    return Answer(FView == nullptr, &child, [&]() -> HRESULT {
        LONG value = ROLE_SYSTEM_TOOLBAR;
        if (FView->IsPopup())
            value = ROLE_SYSTEM_MENUPOPUP;
        else if ((FView->GetStyle() & ViewStyleMenuBar) != 0)
            value = ROLE_SYSTEM_MENUBAR;
        role = TAccVariant::OfNumber(value);
        return S_OK;
    });
}

HRESULT TTBViewAccObject::get_accSelection(TAccVariant& result)
{
    return Answer(FView == nullptr, nullptr, [&] { return Empty(result); });
}

HRESULT TTBViewAccObject::get_accState(const TAccChild& child, TAccVariant& state)
{
    return Answer(FView == nullptr, &child, [&]() -> HRESULT {
        state = TAccVariant::OfNumber(0);
        return S_OK;
    });
}

HRESULT TTBViewAccObject::get_accValue(const TAccChild& child, std::string& value)
{
    return Answer(FView == nullptr, &child, [&] { return Empty(value); });
}

HRESULT TTBViewAccObject::put_accName(const TAccChild& child, const std::string&)
{
    return Answer(FView == nullptr, &child, [] { return S_FALSE; });
}

HRESULT TTBViewAccObject::put_accValue(const TAccChild& child, const std::string&)
{
    return Answer(FView == nullptr, &child, [] { return S_FALSE; });
}

// ---- TTBItemViewerAccObject -------------------------------------------------------------------------------

TTBItemViewerAccObject::TTBItemViewerAccObject(TTBItemViewer* viewer) : FViewer(viewer) { ++gLiveViewerObjects; }

TTBItemViewerAccObject::~TTBItemViewerAccObject() { --gLiveViewerObjects; }

void TTBItemViewerAccObject::ClientIsDestroying() { FViewer = nullptr; }

bool TTBItemViewerAccObject::IsAvailable() const
{
    const TTBCustomItem* item = FViewer->GetItem();
    return IsAccessible(FViewer) && item->GetEnabled() && HasStyle(item, itsSelectable) && FViewer->IsWindowUsable();
}

bool TTBItemViewerAccObject::IsOpen() const { return FViewer->GetView()->GetOpenViewer() == FViewer; }

HRESULT TTBItemViewerAccObject::accDoDefaultAction(const TAccChild& child)
{
    return Answer(FViewer == nullptr, &child, [&]() -> HRESULT {
        if (!IsAvailable())
            return E_FAIL;
        TTBView* view = FViewer->GetView();
        if (IsOpen()) {
            view->CloseChildPopups();
            if ((view->GetState() & ViewStateModal) != 0 && !view->IsPopup())
                view->EndModal();
            return S_OK;
        }
        view->Select(FViewer);
        view->ScrollSelectedIntoView();
        FViewer->PostDeferredCall(1);
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::accHitTest(int x, int y, TAccVariant& result)
{
    return Answer(FViewer == nullptr, nullptr, [&]() -> HRESULT {
        result = TAccVariant{};
        const TPoint origin = ScreenOrigin(FViewer->GetView());
        const TPoint client{x - origin.x, y - origin.y};
        if (PtInRect(&FViewer->GetBoundsRect(), client) == FALSE)
            return S_FALSE;
        result = TAccVariant::OfNumber(CHILDID_SELF);
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::accLocation(int& left, int& top, int& width, int& height, const TAccChild& child)
{
    return Answer(FViewer == nullptr, &child, [&]() -> HRESULT {
        const TRect& r = FViewer->GetBoundsRect();
        const TPoint origin = ScreenOrigin(FViewer->GetView());
        left = r.left + origin.x;
        top = r.top + origin.y;
        width = r.right - r.left;
        height = r.bottom - r.top;
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::accNavigate(LONG direction, const TAccChild& start, TAccVariant& result)
{
    return Answer(FViewer == nullptr, &start, [&]() -> HRESULT {
        result = TAccVariant{};
        TTBView* view = FViewer->GetView();
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
            if (!IsOpen() || view->GetOpenViewerView() == nullptr)
                return S_FALSE;
            result = TAccVariant::OfObject(ObjectOf(view->GetOpenViewerView()));
            return S_OK;
        case NAVDIR_UP:
        case NAVDIR_LEFT:
        case NAVDIR_PREVIOUS:
        case NAVDIR_DOWN:
        case NAVDIR_RIGHT:
        case NAVDIR_NEXT: {
            const bool forward = direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT || direction == NAVDIR_NEXT;
            const int step = forward ? 1 : -1;
            for (int i = view->IndexOfViewer(FViewer) + step; i >= 0 && i < view->GetViewerCount(); i += step) {
                if (TTBItemViewer* viewer = view->GetViewer(i); IsAccessible(viewer)) {
                    result = TAccVariant::OfObject(ObjectOf(viewer));
                    return S_OK;
                }
            }
            return S_FALSE;
        }
        default: return E_INVALIDARG;
        }
    });
}

HRESULT TTBItemViewerAccObject::accSelect(LONG flags, const TAccChild& child)
{
    return Answer(FViewer == nullptr, &child, [&]() -> HRESULT {
        if (flags != SELFLAG_TAKEFOCUS)
            return E_INVALIDARG;
        if (!FViewer->IsWindowUsable() || !FViewer->IsPresent())
            return E_FAIL;
        TTBView* view = FViewer->GetView();
        view->Select(FViewer);
        view->ScrollSelectedIntoView();
        if ((view->GetState() & ViewStateModal) == 0 && view->GetParentView() == nullptr)
            FViewer->PostDeferredCall(0);
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::get_accChild(const TAccChild& child, TAccRef& result)
{
    return Answer(FViewer == nullptr, nullptr, [&]() -> HRESULT {
        result.Reset();
        if (!child.IsNumber)
            return E_INVALIDARG;
        if (child.Number == CHILDID_SELF) {
            result = TAccRef(this);
            return S_OK;
        }
        TTBView* open = FViewer->GetView()->GetOpenViewerView();
        if (child.Number != 1 || !IsOpen() || open == nullptr)
            return E_INVALIDARG;
        result = ObjectOf(open);
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::get_accChildCount(LONG& count)
{
    return Answer(FViewer == nullptr, nullptr, [&]() -> HRESULT {
        count = IsOpen() && FViewer->GetView()->GetOpenViewerView() != nullptr ? 1 : 0;
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::get_accDefaultAction(const TAccChild& child, std::string& action)
{
    return Answer(FViewer == nullptr, &child, [&]() -> HRESULT {
        if (!IsAvailable())
            return Empty(action);
        const TTBView* view = FViewer->GetView();
        if (IsOpen())
            action = "Close";
        else if (HasStyle(FViewer->GetItem(), itsSubmenu))
            action = "Open";
        else if (view->IsPopup() || (view->GetStyle() & ViewStyleMenuBar) != 0)
            action = "Execute";
        else
            action = "Press";
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::get_accDescription(const TAccChild& child, std::string& description)
{
    return Answer(FViewer == nullptr, &child, [&] { return Empty(description); });
}

HRESULT TTBItemViewerAccObject::get_accFocus(TAccVariant& result)
{
    return Answer(FViewer == nullptr, nullptr, [&]() -> HRESULT {
        const TTBView* view = FViewer->GetView();
        if ((view->GetState() & ViewStateModal) == 0 || view->GetSelected() != FViewer)
            return Empty(result);
        result = TAccVariant::OfNumber(CHILDID_SELF);
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::get_accHelp(const TAccChild& child, std::string& help)
{
    return Answer(FViewer == nullptr, &child, [&] { return Empty(help); });
}

HRESULT TTBItemViewerAccObject::get_accHelpTopic(std::string& helpFile, const TAccChild& child, LONG& topic)
{
    return Answer(FViewer == nullptr, &child, [&] {
        topic = 0;
        return Empty(helpFile);
    });
}

HRESULT TTBItemViewerAccObject::get_accKeyboardShortcut(const TAccChild& child, std::string& shortCut)
{
    return Answer(FViewer == nullptr, &child, [&]() -> HRESULT {
        const char32_t accel = FViewer->CaptionShown() ? FindAccelChar(FViewer->GetCaptionText()) : 0;
        if (accel == 0)
            return Empty(shortCut);
        std::string key;
        AppendUtf8(key, FoldCase(accel));
        shortCut = FViewer->GetView()->IsPopup() ? key : GetAltKeyName() + "+" + key;
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::get_accName(const TAccChild& child, std::string& name)
{
    return Answer(FViewer == nullptr, &child, [&]() -> HRESULT {
        name = StripAccelChars(FViewer->GetCaptionText());
        if (!FViewer->IsToolbarStyle()) {
            const std::string shortCut = FViewer->GetItem()->GetShortCutText();
            if (!shortCut.empty())
                name += "\t" + shortCut;
        }
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::get_accParent(TAccRef& result)
{
    return Answer(FViewer == nullptr, nullptr, [&]() -> HRESULT {
        result = ObjectOf(FViewer->GetView());
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::get_accRole(const TAccChild& child, TAccVariant& role)
{
    return Answer(FViewer == nullptr, &child, [&]() -> HRESULT {
        role = TAccVariant::OfNumber(FViewer->GetAccRole());
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::get_accSelection(TAccVariant& result)
{
    return Answer(FViewer == nullptr, nullptr, [&] { return Empty(result); });
}

HRESULT TTBItemViewerAccObject::get_accState(const TAccChild& child, TAccVariant& state)
{
    return Answer(FViewer == nullptr, &child, [&]() -> HRESULT {
        const TTBView* view = FViewer->GetView();
        const TTBCustomItem* item = FViewer->GetItem();
        LONG value = 0;
        if (view->GetSelected() == FViewer) {
            value |= STATE_SYSTEM_HOTTRACKED;
            if ((view->GetState() & ViewStateModal) != 0) {
                value |= STATE_SYSTEM_FOCUSED;
                if (view->GetCapture() && view->GetMouseOverSelected())
                    value |= STATE_SYSTEM_PRESSED;
            }
        }
        if (HasStyle(item, itsSubmenu))
            value |= STATE_SYSTEM_HASPOPUP;
        // Shown is placed; clipped is scrolled out of a tall menu or gone behind the chevron.
        if (!FViewer->IsPresent())
            value |= STATE_SYSTEM_INVISIBLE;
        else if (FViewer->IsWindowUsable())
            value |= STATE_SYSTEM_FOCUSABLE;
        if (!item->GetEnabled() || !HasStyle(item, itsSelectable))
            value |= STATE_SYSTEM_UNAVAILABLE;
        if (item->GetChecked())
            value |= STATE_SYSTEM_CHECKED;
        state = TAccVariant::OfNumber(value);
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::get_accValue(const TAccChild& child, std::string& value)
{
    return Answer(FViewer == nullptr, &child, [&]() -> HRESULT {
        if (!FViewer->GetAccValue(value))
            return Empty(value);
        return S_OK;
    });
}

HRESULT TTBItemViewerAccObject::put_accName(const TAccChild& child, const std::string&)
{
    return Answer(FViewer == nullptr, &child, [] { return S_FALSE; });
}

HRESULT TTBItemViewerAccObject::put_accValue(const TAccChild& child, const std::string&)
{
    return Answer(FViewer == nullptr, &child, [] { return S_FALSE; });
}

// ---- Free functions ---------------------------------------------------------------------------------------

bool InitAccessibilityLibrary() { return false; }

bool AccObjectFromWindow(HWND, TAccRef& object)
{
    object.Reset();
    return false;
}

std::string GetAltKeyName() { return "Alt"; }

int LiveViewAccObjects() { return gLiveViewObjects.load(); }

int LiveViewerAccObjects() { return gLiveViewerObjects.load(); }

int LiveAccObjects()
{
    TLiveAccObjects& live = Live();
    const std::lock_guard guard(live.Lock);
    return live.Count;
}

}  // namespace ovrel::toolbars
