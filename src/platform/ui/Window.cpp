#include "platform/ui/Window.h"

#include "platform/ui/EditControl.h"
#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window_p.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <cstring>

namespace ovrel::ui {
namespace {

// The screen as a parent; never in the live set.
Window& DesktopSentinel()
{
    static Window desktop;
    return desktop;
}

int ProcDepth = 0;

// Keeps a window object alive in memory while code of ours on the stack still uses it.
struct ProcFrame {
    explicit ProcFrame(Window* w) : FWindow(w)
    {
        ++FWindow->InUse;
        ++ProcDepth;
    }
    ~ProcFrame()
    {
        --FWindow->InUse;
        --ProcDepth;
    }
    ProcFrame(const ProcFrame&) = delete;
    ProcFrame& operator=(const ProcFrame&) = delete;
    Window* FWindow;
};

}  // namespace

bool InWindowShape(const Window* w, POINT screen)
{
    if (!w->Shape)
        return true;
    const POINT origin = WindowOriginOnScreen(w);
    return w->Shape->contains(QPoint(screen.x - origin.x, screen.y - origin.y));
}

bool IsFramedTopLevel(const Window* w)
{
    return w->IsTopLevel() && (w->Style & WS_CHILD) == 0 && (w->Style & WS_CAPTION) == WS_CAPTION;
}

Window* Root(Window* w)
{
    while (w != nullptr && w->Parent != nullptr)
        w = w->Parent;
    return w;
}

namespace {

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

bool VisibleChain(const Window* w)
{
    for (; w != nullptr; w = w->Parent) {
        if ((w->Style & WS_VISIBLE) == 0)
            return false;
    }
    return true;
}

bool EnabledChain(const Window* w)
{
    for (; w != nullptr; w = w->Parent) {
        if ((w->Style & WS_DISABLED) != 0)
            return false;
    }
    return true;
}

void RemoveFrom(std::vector<Window*>& list, Window* w)
{
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
}

RECT WindowRectOnScreen(const Window* w)
{
    const POINT origin = WindowOriginOnScreen(w);
    return RECT{origin.x, origin.y, origin.x + w->Width(), origin.y + w->Height()};
}

// Which window of a subtree is under a screen point, and its hit code. Null when the subtree lets it pass.
std::pair<Window*, LRESULT> DescendHit(Window* w, POINT screen, bool includeDisabled)
{
    const POINT clientOrigin = ClientOriginOnScreen(w);
    const std::vector<Window*> children = w->Children;  // a hit-test handler may change the list
    for (Window* child : children) {
        if (child->Destroyed || (child->Style & WS_VISIBLE) == 0)
            continue;
        const RECT r{clientOrigin.x + child->Bounds.left, clientOrigin.y + child->Bounds.top,
                     clientOrigin.x + child->Bounds.right, clientOrigin.y + child->Bounds.bottom};
        if (!Contains(r, screen) || !InWindowShape(child, screen))
            continue;
        if ((child->Style & WS_DISABLED) != 0 && !includeDisabled)
            break;  // the point belongs to the parent
        const auto found = DescendHit(child, screen, includeDisabled);
        if (found.first != nullptr)
            return found;
    }
    const LRESULT hit = SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (hit == HTTRANSPARENT || w->Destroyed)
        return {nullptr, HTNOWHERE};
    return {w, hit};
}

// Owned top-level windows stay just above their owner, in their present order, within the owner's band.
void LiftOwned(std::vector<Window*>& list, Window* owner, int depth = 0)
{
    if (depth > 32)  // an ownership cycle
        return;
    const DWORD band = owner->ExStyle & WS_EX_TOPMOST;
    std::vector<Window*> owned;
    for (Window* o : list) {
        if (o->Owner == owner && o != owner && (o->ExStyle & WS_EX_TOPMOST) == band)
            owned.push_back(o);
    }
    if (owned.empty())
        return;
    for (Window* o : owned)
        RemoveFrom(list, o);
    list.insert(std::find(list.begin(), list.end(), owner), owned.begin(), owned.end());
    for (Window* o : owned)
        LiftOwned(list, o, depth + 1);
}

void ZOrderInsert(std::vector<Window*>& list, Window* w, HWND insertAfter, bool withOwned = true)
{
    if (withOwned && &list == &System().TopLevels) {
        ZOrderInsert(list, w, insertAfter, false);
        LiftOwned(list, w);
        return;
    }
    RemoveFrom(list, w);
    // Topmost windows form a band above all others; a window is placed only within its own band.
    const auto firstNormal =
        std::find_if(list.begin(), list.end(), [](const Window* o) { return (o->ExStyle & WS_EX_TOPMOST) == 0; });
    const bool topMost = (w->ExStyle & WS_EX_TOPMOST) != 0;
    const auto lo = topMost ? list.begin() : firstNormal;
    const auto hi = topMost ? firstNormal : list.end();
    auto at = lo;
    if (insertAfter == HWND_BOTTOM) {
        at = hi;
    } else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) {
        auto it = std::find(list.begin(), list.end(), insertAfter);
        if (it != list.end())
            at = std::clamp(it + 1, lo, hi);
    }
    list.insert(at, w);
}

void ApplyZOrderToWidget(Window* w, HWND insertAfter)
{
    if (w->Widget == nullptr)
        return;
    // Top-level stacking is the window manager's; offscreen there is none to ask.
    if (w->IsTopLevel() && QGuiApplication::platformName() == QStringLiteral("offscreen"))
        return;
    if (insertAfter == HWND_BOTTOM) {
        w->Widget->lower();
        // Above a native parent's control and its painting, which stand for the parent's own surface.
        if (w->Parent != nullptr && w->Parent->Control != nullptr) {
            if (w->Parent->Layer != nullptr)
                w->Parent->Layer->lower();
            w->Parent->Control->lower();
        }
        return;
    }
    Window* after = ToWindow(insertAfter);
    if (after != nullptr && after->Widget != nullptr && after->Parent == w->Parent)
        w->Widget->stackUnder(after->Widget);
    else
        w->Widget->raise();
}

void ApplyTopMost(Window* w, bool topMost)
{
    const bool was = (w->ExStyle & WS_EX_TOPMOST) != 0;
    if (was == topMost)
        return;
    if (topMost)
        w->ExStyle |= WS_EX_TOPMOST;
    else
        w->ExStyle &= ~WS_EX_TOPMOST;
    if (w->Widget != nullptr && w->IsTopLevel()) {
        const bool visible = w->Widget->isVisible();
        w->Widget->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
        if (visible)
            SyncWidgetVisibility(w, true, false);  // changing a window flag hides the widget
    }
}

void InvalidateAll(Window* w, bool erase)
{
    InvalidateRect(w, nullptr, erase ? TRUE : FALSE);
    w->FrameInvalid = true;
}

void SendDestroy(Window* w)
{
    SendMessage(w, WM_DESTROY, 0, 0);
    const std::vector<Window*> children = w->Children;
    for (Window* child : children) {
        if (!child->Destroyed)
            SendDestroy(child);
    }
}

void FreeWindow(Window* w)
{
    const std::vector<Window*> children = w->Children;
    for (Window* child : children)
        FreeWindow(child);
    SendMessage(w, WM_NCDESTROY, 0, 0);
    WindowSystem& s = System();
    w->Destroyed = true;
    PurgeWindowMessages(w);
    if (s.Focus == w)
        s.Focus = nullptr;
    if (s.Active == w)
        s.Active = nullptr;
    if (s.Capture == w)
        s.Capture = nullptr;
    if (s.Tracked == w)
        s.Tracked = nullptr;
    if (s.UnderPointer == w)
        s.UnderPointer = nullptr;
    if (s.LastMouseTarget == w)
        s.LastMouseTarget = nullptr;
    UpdatePointerGrab();
    for (const Window* live : s.Live) {
        if (live->Owner == w)
            const_cast<Window*>(live)->Owner = nullptr;
    }
    DestroyWindowWidget(w);
    ReleaseWindowRegion(w);
    if (w->Parent != nullptr)
        RemoveFrom(w->Parent->Children, w);
    RemoveFrom(s.TopLevels, w);
    RemoveFrom(s.MessageOnlyWindows, w);
    w->Children.clear();
    s.Live.erase(w);
    s.Graveyard.emplace_back(w);
}

// Activates another visible, enabled top-level window, preferring the owner and then non-tool windows.
void ActivateOther(Window* leaving)
{
    WindowSystem& s = System();
    auto usable = [leaving](const Window* w) {
        return w != nullptr && w != leaving && !w->Destroying && !w->Destroyed && VisibleChain(w) && EnabledChain(w) &&
               !w->Minimized;
    };
    Window* next = nullptr;
    if (usable(leaving->Owner))
        next = leaving->Owner;
    for (int pass = 0; next == nullptr && pass < 2; ++pass) {
        for (Window* w : s.TopLevels) {
            if (usable(w) && (pass == 1 || (w->ExStyle & WS_EX_TOOLWINDOW) == 0)) {
                next = w;
                break;
            }
        }
    }
    if (next != nullptr) {
        SetActiveWindow(next);
    } else if (s.Active == leaving) {
        s.Active = nullptr;
        SendMessage(leaving, WM_NCACTIVATE, FALSE, 0);
        SendMessage(leaving, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, leaving->Minimized ? 1 : 0), 0);
        if (s.Focus != nullptr && Root(s.Focus) == leaving)
            SetFocus(nullptr);
    }
}

}  // namespace

HWND ActivateWindow(Window* w, WORD state)
{
    WindowSystem& s = System();
    Window* old = s.Active;
    if (w == old)
        return old;
    if (w != nullptr && !s.AppActive)
        SetApplicationActive(true);
    if (w != nullptr && w->Destroyed)
        return old;
    s.Active = w;
    if (old != nullptr && !old->Destroyed) {
        SendMessage(old, WM_NCACTIVATE, FALSE, 0);
        SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, old->Minimized ? 1 : 0), reinterpret_cast<LPARAM>(w));
    }
    if (w != nullptr && s.Active == w && !w->Destroyed) {
        ZOrderInsert(s.TopLevels, w, HWND_TOP);
        SendMessage(w, WM_NCACTIVATE, TRUE, 0);
        SendMessage(w, WM_ACTIVATE, MAKEWPARAM(state, w->Minimized ? 1 : 0), reinterpret_cast<LPARAM>(old));
        if (!w->Destroyed && w->Widget != nullptr && w->Widget->isVisible() && IsFramedTopLevel(w) &&
            QGuiApplication::platformName() != QStringLiteral("offscreen"))
            w->Widget->activateWindow();
    }
    return old;
}

WindowSystem& System()
{
    static WindowSystem system;
    return system;
}

Window* ToWindow(HWND window)
{
    if (window == nullptr)
        return nullptr;
    WindowSystem& s = System();
    return s.Live.count(window) != 0 ? window : nullptr;
}

RECT RectFromQt(const QRect& r) { return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

QRect QtFromRect(const RECT& r)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return QRect();
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

POINT WindowOriginOnScreen(const Window* w)
{
    if (w->Parent == nullptr)
        return POINT{w->Bounds.left, w->Bounds.top};
    const POINT parent = ClientOriginOnScreen(w->Parent);
    return POINT{parent.x + w->Bounds.left, parent.y + w->Bounds.top};
}

POINT ClientOriginOnScreen(const Window* w)
{
    const POINT origin = WindowOriginOnScreen(w);
    return POINT{origin.x + w->Client.left, origin.y + w->Client.top};
}

LRESULT CallProc(Window* w, UINT message, WPARAM wParam, LPARAM lParam)
{
    ProcFrame frame(w);
    const WNDPROC proc = w->Proc;  // the procedure may replace itself while it runs
    if (proc)
        return proc(w, message, wParam, lParam);
    return DefWindowProc(w, message, wParam, lParam);
}

void CollectGraveyard()
{
    if (ProcDepth != 0)
        return;
    auto& graveyard = System().Graveyard;
    graveyard.erase(std::remove_if(graveyard.begin(), graveyard.end(),
                                   [](const std::unique_ptr<Window>& w) { return w->InUse == 0; }),
                    graveyard.end());
}

std::vector<Window*> BroadcastTargets()
{
    const WindowSystem& s = System();
    std::vector<Window*> targets = s.TopLevels;
    targets.insert(targets.end(), s.MessageOnlyWindows.begin(), s.MessageOnlyWindows.end());
    return targets;
}

void RecordTopLevel(Window* w, bool front) { ZOrderInsert(System().TopLevels, w, front ? HWND_TOP : HWND_BOTTOM); }

void RecalcClientArea(Window* w, WINDOWPOS* pos)
{
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = w->Bounds;
    params.rgrc[1] = w->Bounds;
    params.rgrc[2] = RECT{w->Bounds.left + w->Client.left, w->Bounds.top + w->Client.top,
                          w->Bounds.left + w->Client.right, w->Bounds.top + w->Client.bottom};
    params.lppos = pos;
    SendMessage(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    if (w->Destroyed)
        return;
    RECT c = params.rgrc[0];
    // Whatever the answer, the client stays inside the window and has no negative size.
    c.left = std::clamp(c.left - w->Bounds.left, 0, w->Width());
    c.top = std::clamp(c.top - w->Bounds.top, 0, w->Height());
    c.right = std::clamp(c.right - w->Bounds.left, c.left, w->Width());
    c.bottom = std::clamp(c.bottom - w->Bounds.top, c.top, w->Height());
    if (!(c == w->Client)) {
        w->Client = c;
        InvalidateAll(w, true);
        PlaceControlInClient(w);
        for (Window* child : w->Children)
            SyncWidgetGeometry(child);
    }
}

// ---- Classes ----------------------------------------------------------------------------------------------

namespace {
// Built-in classes come in on the first class operation: a static initialiser in a static library might
// never be linked in.
void EnsureBuiltInClasses()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    RegisterEditClass();
}
}  // namespace

BOOL RegisterClass(const WNDCLASS& windowClass)
{
    EnsureBuiltInClasses();
    if (windowClass.lpszClassName.empty())
        return FALSE;
    System().Classes[windowClass.lpszClassName] = windowClass;
    return TRUE;
}

BOOL UnregisterClass(std::string_view className)
{
    EnsureBuiltInClasses();
    auto& classes = System().Classes;
    auto it = classes.find(className);
    if (it == classes.end())
        return FALSE;
    classes.erase(it);
    return TRUE;
}

BOOL GetClassInfo(std::string_view className, WNDCLASS& out)
{
    EnsureBuiltInClasses();
    auto& classes = System().Classes;
    auto it = classes.find(className);
    if (it == classes.end())
        return FALSE;
    out = it->second;
    return TRUE;
}

std::string GetClassName(HWND window)
{
    Window* w = ToWindow(window);
    return w != nullptr ? w->ClassName : std::string();
}

// ---- Creation and destruction -----------------------------------------------------------------------------

HWND CreateWindowEx(DWORD exStyle, std::string_view className, std::string_view windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, void* param)
{
    CreateWindowInfo info;
    info.ExStyle = exStyle;
    info.ClassName = std::string(className);
    info.WindowName = std::string(windowName);
    info.Style = style;
    info.X = x;
    info.Y = y;
    info.Width = width;
    info.Height = height;
    info.Parent = parent;
    info.Param = param;
    return CreateWindowEx(info);
}

HWND CreateWindowEx(const CreateWindowInfo& info)
{
    WindowSystem& s = System();
    EnsureQtBridge();
    EnsureBuiltInClasses();
    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    WNDCLASS windowClass;
    if (auto it = s.Classes.find(info.ClassName); it != s.Classes.end())
        windowClass = it->second;
    w->ClassName = info.ClassName;
    w->ClassStyle = windowClass.style;
    w->ClassCursor = windowClass.hCursor;
    w->ClassBrush = windowClass.hbrBackground;
    w->Proc = info.WindowProc ? info.WindowProc : windowClass.lpfnWndProc;
    w->Style = info.Style & ~WS_VISIBLE;
    w->ExStyle = info.ExStyle;
    w->Text = info.WindowName;

    Window* parent = nullptr;
    if (info.Parent == HWND_MESSAGE) {
        w->MessageOnly = true;
    } else if (info.Parent != nullptr && info.Parent != GetDesktopWindow()) {
        Window* given = ToWindow(info.Parent);
        if (given == nullptr) {
            if (info.Widget != nullptr)
                delete info.Widget;
            return nullptr;
        }
        if ((info.Style & WS_CHILD) != 0)
            parent = given;
        else
            w->Owner = Root(given);
    }
    w->Parent = parent;
    const int x = info.X == CW_USEDEFAULT ? 0 : info.X;
    const int y = info.Y == CW_USEDEFAULT ? 0 : info.Y;
    const int cx = info.Width == CW_USEDEFAULT ? 400 : std::max(0, info.Width);
    const int cy = info.Height == CW_USEDEFAULT ? 300 : std::max(0, info.Height);
    w->Bounds = RECT{x, y, x + cx, y + cy};
    w->Client = RECT{0, 0, cx, cy};
    w->NormalBounds = w->Bounds;

    s.Live.insert(owned.release());
    if (parent != nullptr)
        parent->Children.insert(parent->Children.begin(), w);
    else if (!w->MessageOnly)
        RecordTopLevel(w, true);
    else
        s.MessageOnlyWindows.push_back(w);

    if (!w->MessageOnly) {
        if (info.Widget != nullptr)
            w->Control = info.Widget;
        else if (windowClass.widgetFactory)
            w->Control = windowClass.widgetFactory();
        w->Native = w->Control != nullptr;
        QWidget* control = w->Control;
        w->Widget = CreateWindowWidget(w);
        if (w->Widget == nullptr && control != nullptr) {  // no Qt application to show it in
            delete control;
            w->Control = nullptr;
            w->Native = false;
        }
        ResizeBackingImage(w);
    } else if (info.Widget != nullptr) {
        delete info.Widget;
    }

    CREATESTRUCT create;
    create.lpCreateParams = info.Param;
    create.hwndParent = info.Parent;
    create.x = x;
    create.y = y;
    create.cx = cx;
    create.cy = cy;
    create.style = static_cast<LONG>(info.Style);
    create.lpszName = info.WindowName;
    create.lpszClass = info.ClassName;
    create.dwExStyle = info.ExStyle;

    if (SendMessage(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == 0 && !w->Destroyed) {
        // A procedure that answers 0 refuses the window.
        DestroyWindow(w);
        CollectGraveyard();
        return nullptr;
    }
    if (w->Destroyed)
        return nullptr;
    RecalcClientArea(w, nullptr);
    if (!w->Destroyed && SendMessage(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(w);
        CollectGraveyard();
        return nullptr;
    }
    if (w->Destroyed)
        return nullptr;
    SendMessage(w, WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(w->Client.right - w->Client.left, w->Client.bottom - w->Client.top));
    SendMessage(w, WM_MOVE, 0, MAKELPARAM(w->Bounds.left + w->Client.left, w->Bounds.top + w->Client.top));
    if (!w->Destroyed && (info.Style & WS_VISIBLE) != 0 && !w->MessageOnly)
        ShowWindow(w, SW_SHOW);
    return w->Destroyed ? nullptr : w;
}

BOOL DestroyWindow(HWND window)
{
    Window* w = ToWindow(window);
    if (w == nullptr || w->Destroying)
        return FALSE;
    WindowSystem& s = System();
    ProcFrame frame(w);
    // The destroy observers see the window while it is still whole.
    if (HasHooks(WH_CBT) && CallHookChain(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(w), 0) != 0)
        return FALSE;
    if (w->Destroyed)
        return TRUE;
    w->Destroying = true;
    // Owned windows go first, as the platform does.
    const std::vector<Window*> topLevels = s.TopLevels;
    for (Window* owned : topLevels) {
        if (owned->Owner == w && !owned->Destroyed)
            DestroyWindow(owned);
    }
    if ((w->Style & WS_VISIBLE) != 0 && !w->MessageOnly)
        SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (s.Capture != nullptr && (s.Capture == w || IsChild(w, s.Capture)))
        ReleaseCapture();
    if (s.Focus != nullptr && (s.Focus == w || IsChild(w, s.Focus))) {
        Window* next = (w->Parent != nullptr && !w->Parent->Destroying) ? w->Parent : nullptr;
        SetFocus(next);
    }
    if (s.Active == w)
        ActivateOther(w);
    SendDestroy(w);
    FreeWindow(w);
    return TRUE;
}

BOOL IsWindow(HWND window) { return ToWindow(window) != nullptr ? TRUE : FALSE; }

HWND GetDesktopWindow() { return &DesktopSentinel(); }

// ---- Procedures and data ----------------------------------------------------------------------------------

LRESULT CallWindowProc(const WNDPROC& procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return 0;
    ProcFrame frame(w);
    if (procedure)
        return procedure(window, message, wParam, lParam);
    return DefWindowProc(window, message, wParam, lParam);
}

WNDPROC GetWindowProc(HWND window)
{
    Window* w = ToWindow(window);
    return w != nullptr ? w->Proc : WNDPROC();
}

WNDPROC SetWindowProc(HWND window, WNDPROC procedure)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return WNDPROC();
    WNDPROC old = std::move(w->Proc);
    w->Proc = std::move(procedure);
    return old;
}

LONG_PTR GetWindowLongPtr(HWND window, int index)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return 0;
    switch (index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->Style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(w->ExStyle));
    case GWL_ID: return w->Id;
    case GWL_USERDATA: return w->UserData;
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->Parent != nullptr ? w->Parent : w->Owner);
    default: return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return 0;
    const LONG_PTR old = GetWindowLongPtr(window, index);
    switch (index) {
    case GWL_STYLE: {
        const DWORD style = static_cast<DWORD>(value);
        const bool visible = (style & WS_VISIBLE) != 0;
        w->Style = (style & ~WS_VISIBLE) | (w->Style & WS_VISIBLE);
        if (visible != ((w->Style & WS_VISIBLE) != 0))
            ShowWindow(w, visible ? SW_SHOWNA : SW_HIDE);
        break;
    }
    case GWL_EXSTYLE: {
        const DWORD exStyle = static_cast<DWORD>(value);
        ApplyTopMost(w, (exStyle & WS_EX_TOPMOST) != 0);
        const bool wasLayered = (w->ExStyle & WS_EX_LAYERED) != 0;
        w->ExStyle = exStyle;
        if (wasLayered != ((exStyle & WS_EX_LAYERED) != 0)) {
            w->LayeredAlpha = 255;
            ApplyWindowOpacity(w);
        }
        break;
    }
    case GWL_ID: w->Id = value; break;
    case GWL_USERDATA: w->UserData = value; break;
    case GWL_HWNDPARENT:
        if (w->IsTopLevel()) {
            Window* owner = ToWindow(reinterpret_cast<HWND>(value));
            w->Owner = owner != nullptr ? Root(owner) : nullptr;
            ReparentWidget(w);
        }
        break;
    default: return 0;
    }
    return old;
}

LONG GetWindowLong(HWND window, int index) { return static_cast<LONG>(GetWindowLongPtr(window, index)); }
LONG SetWindowLong(HWND window, int index, LONG value)
{
    return static_cast<LONG>(SetWindowLongPtr(window, index, value));
}

UINT GetClassStyle(HWND window)
{
    Window* w = ToWindow(window);
    return w != nullptr ? w->ClassStyle : 0;
}

void SetClassStyle(HWND window, UINT style)
{
    if (Window* w = ToWindow(window))
        w->ClassStyle = style;
}

// ---- Text -------------------------------------------------------------------------------------------------

BOOL SetWindowText(HWND window, std::string_view text)
{
    if (ToWindow(window) == nullptr)
        return FALSE;
    const std::string copy(text);
    return SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str())) != 0 ? TRUE : FALSE;
}

int GetWindowTextLength(HWND window)
{
    if (ToWindow(window) == nullptr)
        return 0;
    return static_cast<int>(SendMessage(window, WM_GETTEXTLENGTH, 0, 0));
}

std::string GetWindowText(HWND window)
{
    const int length = GetWindowTextLength(window);
    if (length <= 0)
        return std::string();
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessage(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return buffer;
}

// ---- Relations --------------------------------------------------------------------------------------------

HWND GetParent(HWND window)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return nullptr;
    if ((w->Style & WS_CHILD) != 0 && w->Parent != nullptr)
        return w->Parent;
    if (w->Parent != nullptr)
        return w->Parent;
    return w->Owner;
}

HWND SetParent(HWND window, HWND newParent)
{
    Window* w = ToWindow(window);
    if (w == nullptr || w->MessageOnly)
        return nullptr;
    Window* parent = newParent == GetDesktopWindow() ? nullptr : ToWindow(newParent);
    if (newParent != nullptr && newParent != GetDesktopWindow() && parent == nullptr)
        return nullptr;
    for (Window* p = parent; p != nullptr; p = p->Parent) {
        if (p == w)
            return nullptr;  // a window cannot become its own descendant
    }
    Window* old = w->Parent;
    if (old == parent)
        return old != nullptr ? old : GetDesktopWindow();
    WindowSystem& s = System();
    if (old != nullptr)
        RemoveFrom(old->Children, w);
    else
        RemoveFrom(s.TopLevels, w);
    w->Parent = parent;
    if (parent != nullptr)
        parent->Children.insert(parent->Children.begin(), w);
    else
        RecordTopLevel(w, true);
    ReparentWidget(w);
    InvalidateAll(w, true);
    // Qt drops the focus of a widget it moves; the focus window stays what it was.
    if (Window* focus = s.Focus;
        focus != nullptr && (focus == w || IsChild(w, focus)) && focus->Widget != nullptr && !focus->Widget->hasFocus())
        focus->Widget->setFocus(Qt::OtherFocusReason);
    return old != nullptr ? old : GetDesktopWindow();
}

HWND GetAncestor(HWND window, UINT flags)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return nullptr;
    switch (flags) {
    case GA_PARENT: return w->Parent != nullptr ? w->Parent : GetDesktopWindow();
    case GA_ROOT: return Root(w);
    case GA_ROOTOWNER: {
        Window* r = Root(w);
        while (r->Owner != nullptr)
            r = Root(r->Owner);
        return r;
    }
    default: return nullptr;
    }
}

HWND GetWindow(HWND window, UINT command)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return nullptr;
    if (command == GW_OWNER)
        return w->Owner;
    if (command == GW_CHILD)
        return w->Children.empty() ? nullptr : w->Children.front();
    const std::vector<Window*>& siblings = w->Parent != nullptr ? w->Parent->Children : System().TopLevels;
    auto it = std::find(siblings.begin(), siblings.end(), w);
    if (it == siblings.end())
        return nullptr;
    switch (command) {
    case GW_HWNDFIRST: return siblings.front();
    case GW_HWNDLAST: return siblings.back();
    case GW_HWNDNEXT: return it + 1 != siblings.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV: return it != siblings.begin() ? *(it - 1) : nullptr;
    default: return nullptr;
    }
}

BOOL IsChild(HWND parent, HWND window)
{
    Window* p = ToWindow(parent);
    Window* w = ToWindow(window);
    if (p == nullptr || w == nullptr)
        return FALSE;
    for (Window* up = w->Parent; up != nullptr; up = up->Parent) {
        if (up == p)
            return TRUE;
    }
    return FALSE;
}

std::vector<HWND> GetChildWindows(HWND parent)
{
    Window* p = ToWindow(parent);
    return p != nullptr ? p->Children : std::vector<HWND>();
}

std::vector<HWND> GetTopLevelWindows() { return System().TopLevels; }

std::vector<HWND> GetOwnedWindows(HWND owner)
{
    std::vector<HWND> result;
    for (Window* w : System().TopLevels) {
        if (w->Owner == owner)
            result.push_back(w);
    }
    return result;
}

// ---- Bounds -----------------------------------------------------------------------------------------------

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    WindowSystem& s = System();
    ProcFrame frame(w);
    WINDOWPOS pos{w, insertAfter, x, y, cx, cy, flags};
    if ((flags & SWP_NOMOVE) != 0) {
        pos.x = w->Bounds.left;
        pos.y = w->Bounds.top;
    }
    if ((flags & SWP_NOSIZE) != 0) {
        pos.cx = w->Width();
        pos.cy = w->Height();
    }
    if ((flags & SWP_NOSENDCHANGING) == 0) {
        SendMessage(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        if (w->Destroyed)
            return FALSE;
    }
    flags = pos.flags;
    const RECT old = w->Bounds;
    const int width = (flags & SWP_NOSIZE) != 0 ? w->Width() : std::max(0, pos.cx);
    const int height = (flags & SWP_NOSIZE) != 0 ? w->Height() : std::max(0, pos.cy);
    const int left = (flags & SWP_NOMOVE) != 0 ? old.left : pos.x;
    const int top = (flags & SWP_NOMOVE) != 0 ? old.top : pos.y;
    const RECT bounds{left, top, left + width, top + height};
    const bool moved = bounds.left != old.left || bounds.top != old.top;
    const bool sized = width != w->Width() || height != w->Height();
    const RECT oldClient = w->ClientSize();
    w->Bounds = bounds;
    if (!w->Minimized && !w->Maximized)
        w->NormalBounds = bounds;
    if (sized || (flags & SWP_FRAMECHANGED) != 0) {
        ResizeBackingImage(w);
        RecalcClientArea(w, &pos);
        if (w->Destroyed)
            return FALSE;
        const RECT newClient = w->ClientSize();
        const bool redrawAll = ((w->ClassStyle & CS_HREDRAW) != 0 && newClient.right != oldClient.right) ||
                               ((w->ClassStyle & CS_VREDRAW) != 0 && newClient.bottom != oldClient.bottom);
        if ((flags & SWP_NOREDRAW) == 0) {
            if (redrawAll) {
                InvalidateAll(w, true);
            } else {
                // Only what the larger size uncovered.
                QRegion uncovered(QtFromRect(newClient));
                uncovered -= QRegion(QtFromRect(oldClient));
                for (const QRect& r : uncovered) {
                    const RECT rr = RectFromQt(r);
                    InvalidateRect(w, &rr, TRUE);
                }
                w->FrameInvalid = true;
            }
        }
        if ((flags & SWP_FRAMECHANGED) != 0)
            w->FrameInvalid = true;
    }
    if ((flags & SWP_NOZORDER) == 0) {
        if (pos.hwndInsertAfter == HWND_TOPMOST)
            ApplyTopMost(w, true);
        else if (pos.hwndInsertAfter == HWND_NOTOPMOST)
            ApplyTopMost(w, false);
        if (w->Parent != nullptr)
            ZOrderInsert(w->Parent->Children, w, pos.hwndInsertAfter);
        else if (!w->MessageOnly)
            ZOrderInsert(s.TopLevels, w, pos.hwndInsertAfter, (flags & SWP_NOOWNERZORDER) == 0);
        ApplyZOrderToWidget(w, pos.hwndInsertAfter);
    }
    if (moved || sized || (flags & SWP_FRAMECHANGED) != 0)
        SyncWidgetGeometry(w);
    if ((flags & SWP_SHOWWINDOW) != 0 && (w->Style & WS_VISIBLE) == 0 && !w->MessageOnly) {
        w->Style |= WS_VISIBLE;
        const bool activate = (flags & SWP_NOACTIVATE) == 0 && w->IsTopLevel();
        ApplyInputTransparency(w);
        if (w->Destroyed)
            return FALSE;
        SyncWidgetVisibility(w, true, activate);
        UpdatePointerGrab();
        // Without redraw the caller draws what shows (a menu animating in from its captured image).
        if ((flags & SWP_NOREDRAW) == 0)
            InvalidateAll(w, true);
        if (activate)
            ActivateWindow(w, WA_ACTIVE);
    } else if ((flags & SWP_HIDEWINDOW) != 0 && (w->Style & WS_VISIBLE) != 0) {
        w->Style &= ~WS_VISIBLE;
        SyncWidgetVisibility(w, false, false);
        UpdatePointerGrab();
        if (s.Active == w)
            ActivateOther(w);
        if (s.Focus != nullptr && (s.Focus == w || IsChild(w, s.Focus)) && !w->Destroying)
            SetFocus(w->Parent);
    }
    if (w->Destroyed)
        return FALSE;
    pos.flags = flags | (moved ? 0u : SWP_NOMOVE) | (sized ? 0u : SWP_NOSIZE);
    pos.x = w->Bounds.left;
    pos.y = w->Bounds.top;
    pos.cx = w->Width();
    pos.cy = w->Height();
    SendMessage(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(window, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : SWP_NOREDRAW));
}

BOOL GetWindowRect(HWND window, RECT* rect)
{
    Window* w = ToWindow(window);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    *rect = WindowRectOnScreen(w);
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    Window* w = ToWindow(window);
    if (w == nullptr || rect == nullptr)
        return FALSE;
    *rect = w->ClientSize();
    return TRUE;
}

RECT GetClientInset(HWND window)
{
    Window* w = ToWindow(window);
    return w != nullptr ? w->Client : RECT{};
}

BOOL ClientToScreen(HWND window, POINT* point)
{
    Window* w = ToWindow(window);
    if (w == nullptr || point == nullptr)
        return FALSE;
    const POINT origin = ClientOriginOnScreen(w);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point)
{
    Window* w = ToWindow(window);
    if (w == nullptr || point == nullptr)
        return FALSE;
    const POINT origin = ClientOriginOnScreen(w);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count)
{
    POINT fromOrigin{};
    POINT toOrigin{};
    if (Window* w = ToWindow(from))
        fromOrigin = ClientOriginOnScreen(w);
    if (Window* w = ToWindow(to))
        toOrigin = ClientOriginOnScreen(w);
    const int dx = fromOrigin.x - toOrigin.x;
    const int dy = fromOrigin.y - toOrigin.y;
    for (UINT i = 0; points != nullptr && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELPARAM(dx, dy);
}

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement)
{
    Window* w = ToWindow(window);
    if (w == nullptr || placement == nullptr)
        return FALSE;
    placement->length = 44;
    placement->flags = 0;
    placement->showCmd = w->Minimized ? SW_SHOWMINIMIZED : w->Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    placement->ptMinPosition = POINT{-1, -1};
    placement->ptMaxPosition = POINT{-1, -1};
    placement->rcNormalPosition = w->IsTopLevel() ? w->NormalBounds : w->Bounds;
    return TRUE;
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement)
{
    Window* w = ToWindow(window);
    if (w == nullptr || placement == nullptr || placement->length != 44)
        return FALSE;
    RECT normal = placement->rcNormalPosition;
    if (normal.right < normal.left || normal.bottom < normal.top)
        return FALSE;
    if (w->IsTopLevel())
        normal = ClampRectToWorkArea(normal);
    const bool visible = (w->Style & WS_VISIBLE) != 0;
    w->Minimized = false;
    w->Maximized = false;
    SetWindowPos(w, nullptr, normal.left, normal.top, normal.right - normal.left, normal.bottom - normal.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // A minimised placement comes back as normal: a program restarted minimised would be lost to the user.
    if (placement->showCmd == SW_SHOWMAXIMIZED && visible)
        ShowWindow(w, SW_SHOWMAXIMIZED);
    else if (placement->showCmd == SW_SHOWMAXIMIZED)
        w->Maximized = true;
    return TRUE;
}

BOOL BringWindowToTop(HWND window) { return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

// ---- Visibility and state ---------------------------------------------------------------------------------

void NotifyShowStateChanged(Window* w)
{
    SetWindowPos(w, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_STATECHANGED);
}

BOOL ShowWindow(HWND window, int command)
{
    Window* w = ToWindow(window);
    if (w == nullptr || w->MessageOnly)
        return FALSE;
    ProcFrame frame(w);
    const bool wasVisible = (w->Style & WS_VISIBLE) != 0;
    const bool wasMinimized = w->Minimized;
    constexpr UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    // Showing the window tells its new state with the show; a shown one is told apart.
    const auto show = [&](UINT flags) {
        const UINT state = w->Minimized != wasMinimized ? SWP_FRAMECHANGED | SWP_STATECHANGED : 0u;
        if (!wasVisible) {
            SendMessage(w, WM_SHOWWINDOW, TRUE, 0);
            SetWindowPos(w, nullptr, 0, 0, 0, 0, keep | SWP_SHOWWINDOW | flags | state);
        } else if (state != 0) {
            NotifyShowStateChanged(w);
        }
    };
    switch (command) {
    case SW_HIDE:
        if (wasVisible) {
            SendMessage(w, WM_SHOWWINDOW, FALSE, 0);
            SetWindowPos(w, nullptr, 0, 0, 0, 0, keep | SWP_HIDEWINDOW | SWP_NOACTIVATE);
        }
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        w->Minimized = true;
        if (w->IsTopLevel() && w->Widget != nullptr)
            w->Widget->setWindowState(w->Widget->windowState() | Qt::WindowMinimized);
        show(SWP_NOACTIVATE);
        if (System().Active == w)
            ActivateOther(w);
        break;
    case SW_SHOWMAXIMIZED:
        w->Maximized = true;
        w->Minimized = false;
        if (w->IsTopLevel() && w->Widget != nullptr)
            w->Widget->setWindowState(Qt::WindowMaximized);
        show(0);
        break;
    default: {
        const bool activate = command != SW_SHOWNA && command != SW_SHOWNOACTIVATE;
        if (command == SW_RESTORE || command == SW_SHOWNORMAL || command == SW_SHOWDEFAULT) {
            if (w->Minimized || w->Maximized) {
                w->Minimized = false;
                w->Maximized = false;
                if (w->IsTopLevel() && w->Widget != nullptr)
                    w->Widget->setWindowState(Qt::WindowNoState);
            }
        }
        show(activate ? 0u : SWP_NOACTIVATE);
        if (wasVisible && activate && w->IsTopLevel() && !w->Destroyed)
            ActivateWindow(w, WA_ACTIVE);
        break;
    }
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window)
{
    Window* w = ToWindow(window);
    return w != nullptr && !w->MessageOnly && VisibleChain(w) ? TRUE : FALSE;
}

BOOL IsIconic(HWND window)
{
    Window* w = ToWindow(window);
    return w != nullptr && w->Minimized ? TRUE : FALSE;
}

BOOL IsZoomed(HWND window)
{
    Window* w = ToWindow(window);
    return w != nullptr && w->Maximized ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    const bool wasDisabled = (w->Style & WS_DISABLED) != 0;
    if (wasDisabled == !enable)
        return wasDisabled ? TRUE : FALSE;
    WindowSystem& s = System();
    if (enable) {
        w->Style &= ~WS_DISABLED;
    } else {
        w->Style |= WS_DISABLED;
        if (s.Capture == w)
            ReleaseCapture();
        if (s.Focus == w)
            SetFocus(nullptr);
    }
    if (w->Control != nullptr)
        w->Control->setEnabled(enable != FALSE);
    SendMessage(w, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window)
{
    Window* w = ToWindow(window);
    return w != nullptr && (w->Style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

// ---- Activation and focus ---------------------------------------------------------------------------------

HWND GetActiveWindow() { return System().Active; }

HWND SetActiveWindow(HWND window)
{
    Window* w = ToWindow(window);
    if (window != nullptr && w == nullptr)
        return nullptr;
    if (w != nullptr)
        w = Root(w);
    if (w != nullptr && w->MessageOnly)
        return nullptr;
    return ActivateWindow(w, WA_ACTIVE);
}

HWND GetForegroundWindow() { return System().AppActive ? System().Active : nullptr; }

BOOL SetForegroundWindow(HWND window)
{
    if (ToWindow(window) == nullptr)
        return FALSE;
    SetActiveWindow(window);
    return TRUE;
}

HWND GetFocus() { return System().Focus; }

HWND SetFocus(HWND window)
{
    WindowSystem& s = System();
    Window* w = ToWindow(window);
    if (window != nullptr && (w == nullptr || w->MessageOnly))
        return nullptr;
    Window* old = s.Focus;
    if (w == old)
        return old;
    if (w != nullptr) {
        Window* root = Root(w);
        if (root != s.Active)
            ActivateWindow(root, WA_ACTIVE);  // its default handler may move the focus itself
        if (w->Destroyed)
            return old;
        if (s.Focus == w)
            return old;
    }
    Window* losing = s.Focus;
    s.Focus = w;
    if (losing != nullptr && !losing->Destroyed)
        SendMessage(losing, WM_KILLFOCUS, reinterpret_cast<WPARAM>(w), 0);
    if (w != nullptr && s.Focus == w && !w->Destroyed) {
        QWidget* focus = FocusWidget(w);
        if (focus != nullptr && !focus->hasFocus())
            focus->setFocus(Qt::OtherFocusReason);
        SendMessage(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(losing), 0);
    }
    return old;
}

BOOL IsApplicationActive() { return System().AppActive ? TRUE : FALSE; }

void SetApplicationActive(bool active)
{
    WindowSystem& s = System();
    if (s.AppActive == active)
        return;
    s.AppActive = active;
    if (!active) {
        if (s.Capture != nullptr)
            ReleaseCapture();
        if (Window* old = s.Active) {
            s.Active = nullptr;
            SendMessage(old, WM_NCACTIVATE, FALSE, 0);
            SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, old->Minimized ? 1 : 0), 0);
        }
    }
    for (Window* w : BroadcastTargets()) {
        if (ToWindow(w) != nullptr && !w->Destroyed)
            SendMessage(w, WM_ACTIVATEAPP, active ? TRUE : FALSE, static_cast<LPARAM>(GetCurrentThreadId()));
    }
    if (!active && s.Focus != nullptr)
        SetFocus(nullptr);
}

// ---- Hit testing ------------------------------------------------------------------------------------------

HWND WindowFromPoint(POINT screen) { return WindowFromPointEx(screen, false); }

HWND WindowFromPointEx(POINT screen, bool includeDisabled)
{
    const std::vector<Window*> topLevels = System().TopLevels;
    for (Window* top : topLevels) {
        if (top->Destroyed || (top->Style & WS_VISIBLE) == 0 || top->Minimized)
            continue;
        if (!Contains(WindowRectOnScreen(top), screen) || !InWindowShape(top, screen))
            continue;
        if ((top->Style & WS_DISABLED) != 0 && !includeDisabled)
            return nullptr;
        const auto found = DescendHit(top, screen, includeDisabled);
        if (found.first != nullptr)
            return found.first;
    }
    return nullptr;
}

// Used by the queue: the window and its hit code in one pass.
std::pair<Window*, LRESULT> HitTestScreen(POINT screen)
{
    const std::vector<Window*> topLevels = System().TopLevels;
    for (Window* top : topLevels) {
        if (top->Destroyed || (top->Style & WS_VISIBLE) == 0 || top->Minimized)
            continue;
        if (!Contains(WindowRectOnScreen(top), screen) || !InWindowShape(top, screen))
            continue;
        if ((top->Style & WS_DISABLED) != 0)
            return {nullptr, HTNOWHERE};
        const auto found = DescendHit(top, screen, false);
        if (found.first != nullptr)
            return found;
    }
    return {nullptr, HTNOWHERE};
}

HWND ChildWindowFromPointEx(HWND parent, POINT client, UINT flags)
{
    Window* p = ToWindow(parent);
    if (p == nullptr)
        return nullptr;
    if (!Contains(p->ClientSize(), client))
        return nullptr;
    const POINT origin = ClientOriginOnScreen(p);
    for (Window* child : p->Children) {
        if ((flags & CWP_SKIPINVISIBLE) != 0 && (child->Style & WS_VISIBLE) == 0)
            continue;
        if ((flags & CWP_SKIPDISABLED) != 0 && (child->Style & WS_DISABLED) != 0)
            continue;
        if ((flags & CWP_SKIPTRANSPARENT) != 0 && (child->ExStyle & WS_EX_TRANSPARENT) != 0)
            continue;
        if (Contains(child->Bounds, client) && InWindowShape(child, POINT{origin.x + client.x, origin.y + client.y}))
            return child;
    }
    return p;
}

HWND GetWindowUnderPointer() { return System().UnderPointer; }

}  // namespace ovrel::ui
