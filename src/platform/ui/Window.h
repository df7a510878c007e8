#pragma once
// Windows of our own paired with Qt widgets, our own message queue, and the services around them: window
// classes and procedures, the default window procedure, the emulated non-client area, painting through
// per-window backing images, timers, capture, focus, activation, cursors, keyboard state, mouse tracking,
// monitors and hooks. UI thread only, except PostMessage and SendNotifyMessage, which any thread may call.

#include "platform/ui/Messages.h"
#include "platform/ui/Types.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;
class QImage;

namespace ovrel::ui {

struct BLENDFUNCTION;  // Gdi.h

using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using SHORT = std::int16_t;

using WNDPROC = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
// Creates the Qt widget of a native control class; the window owns and deletes it.
using WidgetFactory = std::function<QWidget*()>;

// Special windows. HWND_MESSAGE as a parent makes a message-only window (no widget, never visible).
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
inline HWND const HWND_MESSAGE = reinterpret_cast<HWND>(-3);
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// ---- Records ----------------------------------------------------------------------------------------------

struct WNDCLASS {
    UINT style = 0;  // CS_*
    WNDPROC lpfnWndProc;  // empty: DefWindowProc
    HCURSOR hCursor = nullptr;  // null: the arrow
    HBRUSH hbrBackground = nullptr;  // erases in DefWindowProc(WM_ERASEBKGND); may be a colour index + 1
    std::string lpszClassName;
    WidgetFactory widgetFactory;  // set for native controls: the widget fills the client area
};

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    LONG style = 0;
    std::string lpszName;
    std::string lpszClass;
    DWORD dwExStyle = 0;
};

// Everything CreateWindowEx takes, plus a window procedure that replaces the class's from the very first
// message (so WM_NCCREATE and WM_CREATE reach it) and an optional Qt control that the window holds.
struct CreateWindowInfo {
    DWORD ExStyle = 0;
    std::string ClassName;
    std::string WindowName;
    DWORD Style = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND Parent = nullptr;  // HWND_MESSAGE for a message-only window
    void* Param = nullptr;
    WNDPROC WindowProc;  // empty: the class's procedure
    QWidget* Widget = nullptr;  // takes ownership; empty: the class's factory or our own widget
};

struct WINDOWPOS {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
};

struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];  // [0]: the proposed window rectangle in parent coordinates; out: the client
    WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = FALSE;
    RECT rcPaint;
};

struct TRACKMOUSEEVENT {
    DWORD cbSize = 16;
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = HOVER_DEFAULT;
};

struct WINDOWPLACEMENT {
    UINT length = 44;
    UINT flags = 0;
    UINT showCmd = SW_SHOWNORMAL;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;  // screen coordinates
};

struct MONITORINFO {
    DWORD cbSize = 40;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags = 0;  // MONITORINFOF_PRIMARY
};

struct SCROLLINFO {
    UINT cbSize = 28;
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

struct CWPSTRUCT {
    LPARAM lParam = 0;
    WPARAM wParam = 0;
    UINT message = 0;
    HWND hwnd = nullptr;
};

// ---- Window classes ---------------------------------------------------------------------------------------

// Registers or replaces a class. FALSE for an empty name.
BOOL RegisterClass(const WNDCLASS& windowClass);
BOOL UnregisterClass(std::string_view className);
BOOL GetClassInfo(std::string_view className, WNDCLASS& out);
std::string GetClassName(HWND window);

// ---- Creation and destruction -----------------------------------------------------------------------------

// An unknown class creates a plain custom window with DefWindowProc. Null when WM_NCCREATE answers 0 or
// WM_CREATE answers -1.
HWND CreateWindowEx(DWORD exStyle, std::string_view className, std::string_view windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, void* param = nullptr);
HWND CreateWindowEx(const CreateWindowInfo& info);
// CBT observers run first; then the window is hidden, WM_DESTROY goes to it and its children (parent first),
// owned windows are destroyed, and WM_NCDESTROY ends each (children first). Pending messages are dropped.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
// A sentinel that stands for the screen as the parent of top-level windows; never a real window.
HWND GetDesktopWindow();

// ---- Window procedures and data ---------------------------------------------------------------------------

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(const WNDPROC& procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
WNDPROC GetWindowProc(HWND window);
// Returns the previous procedure, so a subclass can chain to it and later put it back.
WNDPROC SetWindowProc(HWND window, WNDPROC procedure);
// GWL_STYLE, GWL_EXSTYLE, GWL_ID, GWL_USERDATA, GWL_HWNDPARENT (the owner).
LONG_PTR GetWindowLongPtr(HWND window, int index);
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);
LONG GetWindowLong(HWND window, int index);
LONG SetWindowLong(HWND window, int index, LONG value);
UINT GetClassStyle(HWND window);
void SetClassStyle(HWND window, UINT style);  // this window only; CS_HREDRAW/CS_VREDRAW may be dropped per window

// ---- Text -------------------------------------------------------------------------------------------------

// Both go through WM_SETTEXT (lParam: a NUL-terminated UTF-8 string) and WM_GETTEXT/WM_GETTEXTLENGTH.
BOOL SetWindowText(HWND window, std::string_view text);
std::string GetWindowText(HWND window);
int GetWindowTextLength(HWND window);

// ---- Parent, owner, relations and z-order -----------------------------------------------------------------

// The parent of a child window, else the owner (as the platform answers).
HWND GetParent(HWND window);
// Keeps the handle; a visible window stays visible. newParent null: a top-level window. Returns the old parent.
HWND SetParent(HWND window, HWND newParent);
HWND GetAncestor(HWND window, UINT flags);  // GA_PARENT, GA_ROOT, GA_ROOTOWNER
HWND GetWindow(HWND window, UINT command);  // GW_*: siblings in z-order, GW_OWNER, GW_CHILD (topmost child)
BOOL IsChild(HWND parent, HWND window);  // a descendant
std::vector<HWND> GetChildWindows(HWND parent);  // direct children, top of the z-order first
std::vector<HWND> GetTopLevelWindows();  // this program's top-level windows, top of the z-order first
std::vector<HWND> GetOwnedWindows(HWND owner);  // top-level windows owned by owner, in z-order

// ---- Bounds and coordinates -------------------------------------------------------------------------------

// Sends WM_WINDOWPOSCHANGING (its WINDOWPOS may be changed), applies it, then sends WM_WINDOWPOSCHANGED;
// positions are in the parent's client coordinates (screen for top-level windows).
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND window, RECT* rect);  // screen coordinates
BOOL GetClientRect(HWND window, RECT* rect);  // (0, 0, width, height) of the client area
// The client area inside the window rectangle, in window coordinates (what WM_NCCALCSIZE left).
RECT GetClientInset(HWND window);
BOOL ClientToScreen(HWND window, POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);
// null stands for the screen.
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
// Restores a minimised state as normal and keeps the normal rectangle on an existing screen.
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);
BOOL BringWindowToTop(HWND window);

// ---- Visibility, enabling, activation and focus -----------------------------------------------------------

BOOL ShowWindow(HWND window, int command);  // returns whether it was visible before
BOOL IsWindowVisible(HWND window);  // itself and all its parents
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);  // returns whether it was disabled before; sends WM_ENABLE
BOOL IsWindowEnabled(HWND window);
HWND GetActiveWindow();
// Deactivates the old window (WM_NCACTIVATE, WM_ACTIVATE WA_INACTIVE), then activates the new one. Activating
// while the application is inactive makes it active first (WM_ACTIVATEAPP).
HWND SetActiveWindow(HWND window);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND window);
HWND GetFocus();
// WM_KILLFOCUS to the old window, then WM_SETFOCUS to the new one; mirrored to the Qt widget.
HWND SetFocus(HWND window);
// The application-active flag. A change sends WM_ACTIVATEAPP to every top-level window (hooks see it) and,
// on deactivation, releases capture.
BOOL IsApplicationActive();
void SetApplicationActive(bool active);

// ---- Hit testing ------------------------------------------------------------------------------------------

// The deepest visible window under a screen point. Disabled windows are skipped unless includeDisabled (the
// point then belongs to their parent); windows answering HTTRANSPARENT pass the point to those below.
HWND WindowFromPoint(POINT screen);
HWND WindowFromPointEx(POINT screen, bool includeDisabled);
HWND ChildWindowFromPointEx(HWND parent, POINT client, UINT flags);  // CWP_*; direct children only
// The window the pointer was last seen over; null when it left this program's windows.
HWND GetWindowUnderPointer();

// ---- Invalidation and painting ----------------------------------------------------------------------------

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);  // client coordinates; null: all
BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL ValidateRgn(HWND window, HRGN region);
BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
// Scrolls the backing image and invalidates what was uncovered (SW_INVALIDATE, SW_ERASE, SW_SCROLLCHILDREN).
int ScrollWindowEx(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags);
// Sends WM_NCPAINT when the frame is invalid and WM_ERASEBKGND when erasing was asked for; the DC draws into
// the backing image, clipped to the update region, with its origin at the client area. For a native control
// that image is a layer above the control: the update region of it is cleared first, so the control's own
// paint shows there again until the painter draws over it (what erasing drew is cleared too: the control
// covers its background).
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
// A client DC over the backing image (over a native control, its layer); GetDC(nullptr) is a screen DC for
// measuring. Pair with ReleaseDC.
HDC GetDC(HWND window);
HDC GetWindowDC(HWND window);  // the whole window, frame included
// DCX_WINDOW for the whole window, DCX_INTERSECTRGN to clip to region (screen coordinates; (HRGN)1 = none).
HDC GetDCEx(HWND window, HRGN region, DWORD flags);
// Frees the DC and shows what was drawn.
int ReleaseDC(HWND window, HDC dc);
// The backing image of a window (frame included); for a native control its frame and the layer above the
// control, transparent where nothing was painted. Null for message-only windows.
QImage* GetWindowImage(HWND window);
// The window region (window coordinates, frame included): the window shows, paints and is hit only inside
// it. On success the window owns region (freed when replaced or with the window) and the caller must not
// use it again; on failure (0) it stays the caller's. A null region gives the whole window back.
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);
// Observes every invalidation (client coordinates of the window); empty to stop.
using InvalidationObserver = std::function<void(HWND window, const RECT& rect)>;
void SetInvalidationObserver(InvalidationObserver observer);
// One window at a time may be locked; null unlocks. FALSE when another window is locked already. Locking the
// desktop (GetDesktopWindow()) lets GetDCEx(desktop, region, DCX_LOCKWINDOWUPDATE) hand out the desktop's
// outline DC (null without the lock): it takes PatBlt PATINVERT only, inverting frames on the desktop's outline (shown through the
// outline overlay service), and ignores every other drawing. Unlocking the desktop clears its outline, as a
// repaint of the screen would.
BOOL LockWindowUpdate(HWND window);

// ---- Layered windows --------------------------------------------------------------------------------------

inline constexpr DWORD LWA_COLORKEY = 0x1;
inline constexpr DWORD LWA_ALPHA = 0x2;
inline constexpr DWORD ULW_COLORKEY = 0x1;
inline constexpr DWORD ULW_ALPHA = 0x2;
inline constexpr DWORD ULW_OPAQUE = 0x4;

// Constant alpha of a top-level WS_EX_LAYERED window, shown as the window's opacity. Only where the platform
// composites windows (GetCapabilities().LayeredConstantAlpha); FALSE elsewhere, for colour keys, and for
// windows that are not layered. Clearing WS_EX_LAYERED makes the window opaque again.
BOOL SetLayeredWindowAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND window, COLORREF* key, BYTE* alpha, DWORD* flags);
// As SetLayeredWindowAttributes with ULW_ALPHA and a constant-alpha blend; position and size, when given,
// move and size the window, and a source DC, when given, becomes its picture (from sourcePoint, or 0,0).
// Per-pixel alpha (AC_SRC_ALPHA) is not available: FALSE. screenDc is accepted and ignored.
BOOL UpdateLayeredWindow(HWND window, HDC screenDc, const POINT* position, const SIZE* size, HDC source,
                         const POINT* sourcePoint, COLORREF key, const BLENDFUNCTION* blend, DWORD flags);

// ---- Qt widgets -------------------------------------------------------------------------------------------

// The widget of a window; for a native control the Qt control itself, which fills the client area (the
// frame lies around it, what the window paints above it, and its child windows above that). Null for
// message-only windows.
QWidget* GetWindowWidget(HWND window);
HWND WindowFromWidget(const QWidget* widget);  // the window a widget (or one of its ancestors) stands for
// A native control asks for its original Qt input event; DefWindowProc hands it back. True when a pending
// Qt event was delivered for this message.
bool DeliverOriginalEvent(HWND window, UINT message);

// ---- Message queue ----------------------------------------------------------------------------------------

// Order: posted messages, WM_QUIT, input (arrival order, mouse moves coalesced), WM_PAINT, WM_TIMER. A window
// filter takes the window and its descendants; (HWND)-1 takes messages posted without a window. min = max = 0
// takes every number. Qt is pumped when nothing matches.
BOOL PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits (pumping Qt) until a message matches; FALSE for WM_QUIT.
BOOL GetMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
// Thread-safe.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window procedure now; CALLWNDPROC observers see it first. Exceptions are handed to the exception
// handler and the result is 0.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// From the UI thread the same as SendMessage; from another thread a post. Thread-safe.
BOOL SendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Dispatching WM_PAINT always validates the window. Exceptions are handed to the exception handler.
LRESULT DispatchMessage(const MSG* msg);
// Posts one WM_CHAR (WM_SYSCHAR for a WM_SYSKEYDOWN) per character the key produced; TRUE when it posted.
BOOL TranslateMessage(const MSG* msg);
// Pumps Qt until a message is queued or a timer is due.
BOOL WaitMessage();
void PostQuitMessage(int exitCode);
DWORD GetMessagePos();  // screen position of the last message retrieved, MAKELPARAM(x, y)
LONG GetMessageTime();
// Processes pending Qt events without waiting (paint events, widget updates, our filter's input).
void ProcessQtEvents();
// Hands an exception to the installed exception handler; for every place that calls in from Qt.
void ReportException(std::exception_ptr exception) noexcept;

// ---- Timers -----------------------------------------------------------------------------------------------

// Restarts an existing id. Intervals under 10 ms become 10 ms. WM_TIMER is generated only when nothing else is
// queued, once per due timer.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse);
BOOL KillTimer(HWND window, UINT_PTR id);

// ---- Capture, tracking, cursors ---------------------------------------------------------------------------

// All mouse input goes to the capture window as client messages. The window losing capture gets
// WM_CAPTURECHANGED (lParam: the new owner).
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
// While capture is held and a pop-up of the program shows (an open menu), the topmost such pop-up holds a
// pointer grab where the platform has one, so a press outside the program's windows comes in and, like any
// press while captured, goes to the capture window. Null when nothing holds it. Offscreen the layer still
// chooses the window but grabs nothing.
HWND GetPointerGrabWindow();
// TME_LEAVE: one WM_MOUSELEAVE once the pointer leaves the client area; with TME_NONCLIENT one WM_NCMOUSELEAVE
// once it leaves the frame. TME_CANCEL stops; TME_QUERY fills in the current tracking.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);

HCURSOR LoadCursor(std::nullptr_t instance, int id);  // IDC_*; null for an unknown id
// A cursor from an image (hot spot in image pixels). Free with DestroyCursor.
HCURSOR CreateCursorFromImage(const QImage& image, POINT hotSpot);
BOOL DestroyCursor(HCURSOR cursor);
HCURSOR SetCursor(HCURSOR cursor);  // shown over the window that got the last mouse message
HCURSOR GetCursor();
// A global override shown over every window until the guard ends (an hourglass during long work).
class ScopedOverrideCursor {
public:
    explicit ScopedOverrideCursor(HCURSOR cursor);
    ~ScopedOverrideCursor();
    ScopedOverrideCursor(const ScopedOverrideCursor&) = delete;
    ScopedOverrideCursor& operator=(const ScopedOverrideCursor&) = delete;
};
BOOL ClipCursor(const RECT* rect);  // accepted and ignored

// Thread-safe: the last known pointer position in screen coordinates.
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);

// ---- Keyboard ---------------------------------------------------------------------------------------------

// High bit: down as of the last message retrieved; low bit: toggled.
SHORT GetKeyState(int virtualKey);
SHORT GetAsyncKeyState(int virtualKey);
// The virtual key of a Qt key code (Qt::Key), 0 when none.
WORD VirtualKeyFromQtKey(int qtKey);
UINT GetInputCodePage();  // always CP_UTF8
BOOL MessageBeep(UINT type);

// ---- Scripted input (tests, and the Qt event filter itself) -----------------------------------------------

inline constexpr UINT MOD_ALT = 0x0001;
inline constexpr UINT MOD_CONTROL = 0x0002;
inline constexpr UINT MOD_SHIFT = 0x0004;

// Queues mouse input at a screen point as if it came from Qt. message is the client message of the action
// (WM_MOUSEMOVE, WM_LBUTTONDOWN ... WM_MBUTTONDBLCLK, WM_MOUSEWHEEL); routing, hit testing and the
// non-client and double-click variants happen when the message is retrieved.
void PostMouseInput(UINT message, POINT screen, UINT modifiers = 0, int wheelDelta = 0);
// Queues a key press or release (WM_KEYDOWN or WM_KEYUP) with the text the key types (UTF-8).
void PostKeyInput(UINT message, WORD virtualKey, std::string_view text = {}, UINT modifiers = 0,
                  bool autoRepeat = false);
// The pointer left this program's windows.
void PostMouseLeftApplication();
// Sets the key state GetKeyState and GetAsyncKeyState report, until the next input changes it.
void SetKeyState(int virtualKey, bool down);
// Drops every queued message, pending input, paint and the quit flag; for tests that start from a clean queue.
void ClearMessageQueue();

// ---- Monitors ---------------------------------------------------------------------------------------------

HMONITOR MonitorFromPoint(POINT point, DWORD flags);
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);
// Moves rect (keeping its size, shrunk only when larger) into the work area of the nearest monitor.
RECT ClampRectToWorkArea(const RECT& rect);

// ---- Hooks ------------------------------------------------------------------------------------------------

using HHOOK = struct HookRecord*;
using HOOKPROC = std::function<LRESULT(int code, WPARAM wParam, LPARAM lParam)>;
// WH_GETMESSAGE: lParam a MSG* that may be changed, wParam PM_REMOVE or PM_NOREMOVE. WH_CALLWNDPROC: lParam a
// CWPSTRUCT* for every sent message. WH_CBT: HCBT_DESTROYWND with wParam the window. Newest hook first; each
// calls CallNextHookEx to pass on. module and threadId are accepted and ignored.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC procedure, void* module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);
DWORD GetCurrentThreadId();

// ---- Scroll bars ------------------------------------------------------------------------------------------

int SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, BOOL redraw);  // returns the position
BOOL GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
BOOL ShowScrollBar(HWND window, int bar, BOOL show);
BOOL EnableScrollBar(HWND window, int bar, UINT arrows);

}  // namespace ovrel::ui
