#pragma once
// The objects behind window handles and the state of the one message queue, shared by the window, queue,
// painting and Qt-bridge sources of the UI layer.

#include "platform/ui/Window.h"

#include <QCursor>
#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <array>
#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>

namespace ovrel::ui {

class Cursor {
public:
    explicit Cursor(QCursor cursor) : Shape(std::move(cursor)) {}
    QCursor Shape;
    bool Stock = false;
};

struct ScrollBarState {
    SCROLLINFO Info;
    bool Visible = false;
    bool Enabled = true;
};

class Window {
public:
    std::string ClassName;
    WNDPROC Proc;
    UINT ClassStyle = 0;
    HCURSOR ClassCursor = nullptr;
    HBRUSH ClassBrush = nullptr;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    LONG_PTR Id = 0;
    LONG_PTR UserData = 0;
    std::string Text;

    Window* Parent = nullptr;  // null for top-level and message-only windows
    Window* Owner = nullptr;
    std::vector<Window*> Children;  // top of the z-order first
    bool MessageOnly = false;
    bool Native = false;  // the widget is a Qt control that paints itself
    bool Destroying = false;
    bool Destroyed = false;
    bool Minimized = false;
    bool Maximized = false;
    bool InputTransparent = false;  // answered HTTRANSPARENT when shown: Qt passes input through it
    BYTE LayeredAlpha = 255;  // constant alpha of a WS_EX_LAYERED window
    int InUse = 0;  // window procedure calls on the stack

    RECT Bounds;  // parent client coordinates (screen for top-level windows)
    RECT Client;  // client area in window coordinates
    RECT NormalBounds;  // placement of a minimised or maximised window

    // The widget that stands for the window (owned): the window's surface, frame included. A native window
    // holds its Qt control inside it at the client area, with a transparent layer above the control that
    // shows what the window paints over it; the window's child windows lie above both.
    QWidget* Widget = nullptr;
    QWidget* Control = nullptr;  // the Qt control of a native window; a child of Widget
    QWidget* Layer = nullptr;  // a native window's painting above its control; a child of Widget
    // Backing image, frame included. A native window's client part is the layer: transparent where nothing
    // was painted, so that the control shows through.
    QImage Image;
    std::optional<QRegion> Shape;  // the window region, window coordinates; none: the whole window
    HRGN ShapeHandle = nullptr;  // owned region object behind Shape
    QRegion Update;  // invalid part of the client area, client coordinates
    bool UpdateErase = false;
    bool FrameInvalid = false;
    bool InternalPaint = false;

    ScrollBarState HorzBar;
    ScrollBarState VertBar;

    bool IsTopLevel() const { return Parent == nullptr && !MessageOnly; }
    bool IsChild() const { return (Style & WS_CHILD) != 0 && Parent != nullptr; }
    int Width() const { return Bounds.right - Bounds.left; }
    int Height() const { return Bounds.bottom - Bounds.top; }
    RECT ClientSize() const { return RECT{0, 0, Client.right - Client.left, Client.bottom - Client.top}; }
};

// A mouse, wheel or key event waiting in the queue. It is routed (capture, hit test, non-client and
// double-click variants) when it is retrieved, as the platform routes hardware input.
struct RawInput {
    enum class Kind { Mouse, Key, LeftApplication };
    Kind Type = Kind::Mouse;
    UINT Message = 0;  // client mouse message or WM_KEYDOWN/WM_KEYUP
    POINT Screen;
    UINT Modifiers = 0;  // MOD_*
    WPARAM Buttons = 0;  // MK_LBUTTON/RBUTTON/MBUTTON held after the event
    int WheelDelta = 0;
    WORD VirtualKey = 0;
    bool AutoRepeat = false;
    std::u32string Text;
    DWORD Time = 0;
    std::shared_ptr<QEvent> Original;  // a clone for native controls
    QPointer<QWidget> OriginalTarget;
    bool Routed = false;
    MSG Result;  // the message it became, once routed
};

// A message retrieved from input, remembered so TranslateMessage finds its text and DefWindowProc its Qt event.
struct RetrievedInput {
    MSG Msg;
    std::u32string Text;
    std::shared_ptr<QEvent> Original;
    QPointer<QWidget> OriginalTarget;
};

struct TimerRecord {
    Window* Owner;
    UINT_PTR Id;
    UINT Interval;
    std::uint64_t Due;
};

struct HookRecord {
    int Type;
    HOOKPROC Proc;
    bool Removed = false;
};

struct WindowClassRecord {
    WNDCLASS Class;
};

// The whole state of the layer. UI thread only, except the posted queue and the cursor position.
struct WindowSystem {
    std::unordered_set<const Window*> Live;
    std::vector<Window*> TopLevels;  // top of the z-order first
    std::vector<Window*> MessageOnlyWindows;  // in creation order
    std::vector<std::unique_ptr<Window>> Graveyard;
    std::unordered_map<const QObject*, Window*> ByWidget;
    std::map<std::string, WNDCLASS, std::less<>> Classes;

    std::mutex PostedLock;
    std::deque<MSG> Posted;
    std::deque<RawInput> Input;
    std::deque<std::shared_ptr<RetrievedInput>> Retrieved;
    bool QuitPosted = false;
    int QuitCode = 0;
    std::vector<TimerRecord> Timers;
    std::vector<std::unique_ptr<HookRecord>> Hooks;  // newest last
    int HookDepth = 0;

    Window* Focus = nullptr;
    Window* Active = nullptr;
    Window* Capture = nullptr;
    bool AppActive = false;
    Window* Tracked = nullptr;
    DWORD TrackFlags = 0;
    Window* UnderPointer = nullptr;
    Window* LastMouseTarget = nullptr;
    bool AltAlone = false;  // Alt went down with no other key since: its release opens the menu bar

    std::atomic<std::int64_t> CursorPos{0};
    std::array<BYTE, 256> KeyState{};  // as of the last message retrieved: 0x80 down, 0x01 toggled
    std::array<BYTE, 256> AsyncKeyState{};  // as of the last input event
    WPARAM ButtonsDown = 0;  // MK_ buttons held after the last input event
    DWORD LastMessagePos = 0;
    LONG LastMessageTime = 0;

    HCURSOR CurrentCursor = nullptr;
    int OverrideCursors = 0;
    InvalidationObserver OnInvalidate;
    int PassThrough = 0;  // re-sending an original event: the filter lets it pass
    int Delivering = 0;  // original events being re-sent, loops their handlers run included
    int ControlCalls = 0;  // a Qt control's signal is calling out: widgets being destroyed go later
    bool FilterInstalled = false;
    const std::thread::id UiThread = std::this_thread::get_id();
};

WindowSystem& System();

// Around a call out of a Qt control's signal, whose handler may destroy the control's window.
class ScopedControlCall {
public:
    ScopedControlCall() { ++System().ControlCalls; }
    ~ScopedControlCall() { --System().ControlCalls; }
    ScopedControlCall(const ScopedControlCall&) = delete;
    ScopedControlCall& operator=(const ScopedControlCall&) = delete;
};
Window* ToWindow(HWND window);  // null unless a live window
LRESULT CallProc(Window* window, UINT message, WPARAM wParam, LPARAM lParam);
void EnsureQtBridge();
QWidget* CreateWindowWidget(Window* window);
void DestroyWindowWidget(Window* window);
void ReparentWidget(Window* window);  // after a parent or owner change
void SyncWidgetGeometry(Window* window);
// Tells a shown window that it was minimised or restored, as a position change with SWP_STATECHANGED.
void NotifyShowStateChanged(Window* window);
void PlaceControlInClient(Window* window);  // a native window's control and layer, after a client change
QWidget* FocusWidget(const Window* window);  // the widget Qt's focus goes to
void SyncWidgetVisibility(Window* window, bool visible, bool activate);
// Asks a window about to show whether it lets input through (HTTRANSPARENT at its centre) and tells Qt.
void ApplyInputTransparency(Window* window);
// Holds a Qt pointer grab on the topmost shown pop-up while the layer's capture is set, so that presses
// outside the program's windows come in (and reach the capture) wherever the platform can grab; releases it
// otherwise. Called whenever capture or a pop-up's visibility changes.
void UpdatePointerGrab();
// Shows a layered window's constant alpha as the widget's opacity (1 when not layered).
void ApplyWindowOpacity(Window* window);
void ResizeBackingImage(Window* window);
void ShowBackingImage(Window* window, const QRect& windowRect);  // schedules the Qt repaint of that part
void ReleaseWindowRegion(Window* window);  // frees the window region's object
bool InWindowShape(const Window* window, POINT screen);  // inside the window region (when there is one)
void NotifyInvalidated(Window* window, const QRect& clientRect);
void PurgeWindowMessages(Window* window);
void CollectGraveyard();
void RecalcClientArea(Window* window, WINDOWPOS* pos);
void ApplyCursor(HCURSOR cursor);
void RecordTopLevel(Window* window, bool front);
// What application and system broadcasts reach: the top-level windows, then the message-only windows (the
// hidden windows that listen for them).
std::vector<Window*> BroadcastTargets();
RECT RectFromQt(const QRect& rect);
QRect QtFromRect(const RECT& rect);
POINT ClientOriginOnScreen(const Window* window);
POINT WindowOriginOnScreen(const Window* window);
void WakeQueue();
void FinishPaint(Window* window);  // NC paint if still due, then validate everything
void QueueInput(RawInput raw);
// The characters the key message being dispatched to window types (what TranslateMessage posts for it);
// empty when it types none or another message is being dispatched.
std::u32string TextOfDispatchedKey(HWND window, UINT message);
// Runs the observers of one hook type, newest first; each passes on with CallNextHookEx.
LRESULT CallHookChain(int type, int code, WPARAM wParam, LPARAM lParam);
bool HasHooks(int type);
Window* Root(Window* window);
HWND ActivateWindow(Window* window, WORD state);  // state: WA_ACTIVE or WA_CLICKACTIVE
std::pair<Window*, LRESULT> HitTestScreen(POINT screen);
RECT ScrollBarRect(const Window* window, int bar);  // window coordinates; empty when hidden
bool IsFramedTopLevel(const Window* window);  // the window manager draws its frame
// The sizes a resizable top-level window allows, from the defaults and its WM_GETMINMAXINFO answer.
MINMAXINFO QueryTrackLimits(Window* window);

}  // namespace ovrel::ui
