// Where Qt meets the window layer: the widgets that show backing images, the application-wide event filter
// that turns Qt input into queued messages, focus and activation from Qt, cursors and the key map.

#include "platform/ui/Window.h"

#include "platform/ui/Gdi_p.h"
#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window_p.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWheelEvent>

#include <map>

namespace ovrel::ui {
namespace {

bool Syncing = false;  // our own geometry changes: the filter must not take them for the window manager's

struct PointerGrab {
    Window* Holder = nullptr;  // the layer's choice, also where the platform cannot grab
    QPointer<QWidget> Grabbed;  // the widget Qt grabbed the pointer for
};

PointerGrab& TheGrab()
{
    static PointerGrab grab;
    return grab;
}

class WindowWidget final : public QWidget {
public:
    explicit WindowWidget(Window* window) : FWindow(window)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setMouseTracking(true);
        setFocusPolicy(Qt::NoFocus);
    }
    void Detach() { FWindow = nullptr; }
    bool InEvent() const { return FDepth > 0; }

protected:
    bool event(QEvent* e) override  // Qt calls in here; nothing may unwind through Qt
    {
        if (e->type() == QEvent::DeferredDelete)
            return QWidget::event(e);  // deletes this: nothing of it may be touched afterwards
        ++FDepth;
        struct Depth {
            int& D;
            ~Depth() { --D; }
        } depth{FDepth};
        try {
            return QWidget::event(e);
        } catch (...) {
            ReportException(std::current_exception());
            return true;
        }
    }
    void paintEvent(QPaintEvent* e) override
    {
        if (FWindow == nullptr || FWindow->Image.isNull())
            return;
        QPainter painter(this);
        if (FWindow->Native) {
            // Only the frame is ours here: the control covers the client area and the layer lies above it.
            painter.fillRect(e->rect(), ToQColor(GetSysColor(COLOR_BTNFACE)));
            painter.setClipRegion(e->region() - QRegion(QtFromRect(FWindow->Client)));
        }
        painter.drawImage(e->rect(), FWindow->Image, e->rect());
    }

private:
    Window* FWindow;
    int FDepth = 0;
};

// What a native window paints over its control: the client part of the window's image, input passing
// through to the control below.
class LayerWidget final : public QWidget {
public:
    LayerWidget(Window* window, QWidget* parent) : QWidget(parent), FWindow(window)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }
    void Detach() { FWindow = nullptr; }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        if (FWindow == nullptr || FWindow->Image.isNull())
            return;
        QPainter painter(this);
        const QPoint client(FWindow->Client.left, FWindow->Client.top);
        painter.drawImage(e->rect(), FWindow->Image, e->rect().translated(client));
    }

private:
    Window* FWindow;
};

UINT ModifiersOf(Qt::KeyboardModifiers m)
{
    UINT result = 0;
    if ((m & Qt::ShiftModifier) != 0)
        result |= MOD_SHIFT;
    if ((m & Qt::ControlModifier) != 0)
        result |= MOD_CONTROL;
    if ((m & Qt::AltModifier) != 0)
        result |= MOD_ALT;
    return result;
}

WPARAM ButtonsOf(Qt::MouseButtons b)
{
    WPARAM result = 0;
    if ((b & Qt::LeftButton) != 0)
        result |= MK_LBUTTON;
    if ((b & Qt::RightButton) != 0)
        result |= MK_RBUTTON;
    if ((b & Qt::MiddleButton) != 0)
        result |= MK_MBUTTON;
    return result;
}

UINT MouseMessage(QEvent::Type type, Qt::MouseButton button)
{
    UINT down = 0;
    switch (button) {
    case Qt::LeftButton: down = WM_LBUTTONDOWN; break;
    case Qt::RightButton: down = WM_RBUTTONDOWN; break;
    case Qt::MiddleButton: down = WM_MBUTTONDOWN; break;
    default: return 0;
    }
    switch (type) {
    case QEvent::MouseButtonPress: return down;
    case QEvent::MouseButtonRelease: return down + 1;
    case QEvent::MouseButtonDblClick: return down + 2;
    default: return 0;
    }
}

std::u32string Utf32(const QString& text)
{
    std::u32string result;
    for (char32_t c : text.toUcs4())
        result.push_back(c);
    return result;
}

Qt::WindowFlags TopLevelFlags(const Window* w)
{
    Qt::WindowFlags flags;
    if (IsFramedTopLevel(w)) {
        flags = (w->ExStyle & WS_EX_TOOLWINDOW) != 0 ? Qt::Tool : Qt::Window;
    } else {
        flags = Qt::Tool | Qt::FramelessWindowHint;
        if ((w->Style & WS_POPUP) != 0 || (w->Style & WS_CHILD) != 0)
            flags |= Qt::WindowDoesNotAcceptFocus;
    }
    if ((w->ExStyle & WS_EX_TOPMOST) != 0)
        flags |= Qt::WindowStaysOnTopHint;
    if (w->InputTransparent)
        flags |= Qt::WindowTransparentForInput;
    return flags;
}

// Puts the widget under its parent's widget (child windows) or its owner's (owned top-level windows).
void PlaceWidget(Window* w, QWidget* widget)
{
    if (w->Parent != nullptr) {
        widget->setParent(w->Parent->Widget);
    } else {
        QWidget* owner = w->Owner != nullptr ? w->Owner->Widget : nullptr;
        widget->setParent(owner, TopLevelFlags(w));
        widget->setAttribute(Qt::WA_ShowWithoutActivating, !IsFramedTopLevel(w));
    }
}

bool HasTrackLimits(const Window* w) { return w->IsTopLevel() && (w->Style & WS_THICKFRAME) != 0; }

// Hands the window's size limits to the window manager, which keeps a user's resize within them.
void ApplySizeHints(Window* w, const MINMAXINFO& limits)
{
    if (w->Widget == nullptr)
        return;
    const auto hint = [](LONG value) { return std::clamp<int>(value, 0, QWIDGETSIZE_MAX); };
    const bool syncing = Syncing;
    Syncing = true;
    w->Widget->setMinimumSize(hint(limits.ptMinTrackSize.x), hint(limits.ptMinTrackSize.y));
    w->Widget->setMaximumSize(hint(std::max(limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x)),
                              hint(std::max(limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y)));
    Syncing = syncing;
}

// The window manager moved or resized a top-level window: take the new bounds, then tell the window with
// WM_WINDOWPOSCHANGED only (there was nothing to ask beforehand). A size outside what a resizable window
// allows is taken back to the nearest allowed one.
void TakeGeometryFromQt(Window* w, const QRect& geometry)
{
    RECT bounds = RectFromQt(geometry);
    if (bounds == w->Bounds)
        return;
    if (HasTrackLimits(w) && (bounds.right - bounds.left != w->Width() || bounds.bottom - bounds.top != w->Height())) {
        const MINMAXINFO limits = QueryTrackLimits(w);
        if (w->Destroyed)
            return;
        if (IsFramedTopLevel(w))
            ApplySizeHints(w, limits);
        const int width = std::clamp<int>(bounds.right - bounds.left, limits.ptMinTrackSize.x,
                                          std::max(limits.ptMinTrackSize.x, limits.ptMaxTrackSize.x));
        const int height = std::clamp<int>(bounds.bottom - bounds.top, limits.ptMinTrackSize.y,
                                           std::max(limits.ptMinTrackSize.y, limits.ptMaxTrackSize.y));
        bounds.right = bounds.left + width;
        bounds.bottom = bounds.top + height;
        if (bounds == w->Bounds)
            return;
    }
    const bool moved = bounds.left != w->Bounds.left || bounds.top != w->Bounds.top;
    const bool sized = bounds.right - bounds.left != w->Width() || bounds.bottom - bounds.top != w->Height();
    w->Bounds = bounds;
    if (!w->Minimized && !w->Maximized)
        w->NormalBounds = bounds;
    WINDOWPOS pos{w,
                  nullptr,
                  bounds.left,
                  bounds.top,
                  w->Width(),
                  w->Height(),
                  SWP_NOZORDER | SWP_NOACTIVATE | (moved ? 0u : SWP_NOMOVE) | (sized ? 0u : SWP_NOSIZE)};
    if (sized) {
        ResizeBackingImage(w);
        RecalcClientArea(w, &pos);
        if (w->Destroyed)
            return;
        InvalidateRect(w, nullptr, TRUE);
        w->FrameInvalid = true;
    }
    if (QtFromRect(bounds) != geometry)
        SyncWidgetGeometry(w);
    SendMessage(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

class Bridge final : public QObject {
public:
    explicit Bridge(QObject* parent) : QObject(parent) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        try {
            return Filter(watched, event);
        } catch (...) {
            ReportException(std::current_exception());
            return true;
        }
    }

    void FocusChanged(QWidget*, QWidget* now)
    {
        try {
            if (now == nullptr)
                return;
            Window* w = ToWindow(WindowFromWidget(now));
            if (w == nullptr || w == GetFocus())
                return;
            // Qt gives focus to windows it shows, pop-ups included; activation is the layer's. Only the window
            // manager activating a framed form on a real desktop moves focus into another top-level window.
            Window* root = Root(w);
            const bool byWindowManager =
                IsFramedTopLevel(root) && QGuiApplication::platformName() != QStringLiteral("offscreen");
            if (root != GetActiveWindow() && !byWindowManager)
                return;
            SetFocus(w);
        } catch (...) {
            ReportException(std::current_exception());
        }
    }

    void StateChanged(Qt::ApplicationState state)
    {
        try {
            SetApplicationActive(state == Qt::ApplicationActive);
        } catch (...) {
            ReportException(std::current_exception());
        }
    }

    void WatchScreen(QScreen* screen)
    {
        QObject::connect(screen, &QScreen::geometryChanged, this, &Bridge::ScreensChanged);
        QObject::connect(screen, &QScreen::availableGeometryChanged, this, &Bridge::ScreensChanged);
    }

    void ScreensChanged()
    {
        try {
            NotifyDisplayChange();
        } catch (...) {
            ReportException(std::current_exception());
        }
    }

private:
    // A mouse event for one of our windows becomes queued input; the event is kept for a native control, to be
    // handed back to its widget. A button the layer has no message for is swallowed.
    static bool QueueMouse(QWidget* widget, QSinglePointEvent* event, UINT msg, int wheelDelta)
    {
        Window* w = ToWindow(WindowFromWidget(widget));
        if (w == nullptr)
            return false;
        if (msg == 0)
            return true;
        RawInput raw;
        raw.Type = RawInput::Kind::Mouse;
        raw.Message = msg;
        const QPointF global = event->globalPosition();
        raw.Screen = POINT{static_cast<LONG>(global.x()), static_cast<LONG>(global.y())};
        raw.Modifiers = ModifiersOf(event->modifiers());
        raw.Buttons = ButtonsOf(event->buttons());
        raw.WheelDelta = wheelDelta;
        if (msg != WM_MOUSEWHEEL)
            System().ButtonsDown = raw.Buttons;
        if (w->Native && widget != w->Widget) {  // the frame around a control takes nothing back
            raw.Original.reset(event->clone());
            raw.OriginalTarget = widget;
        }
        QueueInput(std::move(raw));
        return true;
    }

    bool Filter(QObject* watched, QEvent* event)
    {
        WindowSystem& s = System();
        if (s.PassThrough > 0 || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const UINT msg =
                event->type() == QEvent::MouseMove ? WM_MOUSEMOVE : MouseMessage(event->type(), mouse->button());
            return QueueMouse(widget, mouse, msg, 0);
        }
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            return QueueMouse(widget, wheel, WM_MOUSEWHEEL, wheel->angleDelta().y());
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            Window* w = ToWindow(WindowFromWidget(widget));
            if (w == nullptr)
                return false;
            auto* key = static_cast<QKeyEvent*>(event);
            const WORD vk = VirtualKeyFromQtKey(key->key());
            if (vk == 0 && key->text().isEmpty())
                return false;
            RawInput raw;
            raw.Type = RawInput::Kind::Key;
            raw.Message = event->type() == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP;
            raw.VirtualKey = vk;
            raw.Modifiers = ModifiersOf(key->modifiers());
            raw.AutoRepeat = key->isAutoRepeat();
            raw.Text = Utf32(key->text());
            raw.Buttons = s.ButtonsDown;
            if (w->Native || (s.Focus != nullptr && s.Focus->Native)) {
                raw.Original.reset(event->clone());
                raw.OriginalTarget = s.Focus != nullptr && s.Focus->Native ? s.Focus->Control : widget;
            }
            GetCursorPos(&raw.Screen);
            QueueInput(std::move(raw));
            return true;
        }
        case QEvent::Leave: {
            Window* w = ToWindow(WindowFromWidget(widget));
            if (w != nullptr && widget->isWindow())
                PostMouseLeftApplication();
            return false;
        }
        case QEvent::Close: {
            Window* w = s.ByWidget.count(widget) != 0 ? s.ByWidget[widget] : nullptr;
            if (w == nullptr || !widget->isWindow() || w->Destroying)
                return false;
            // The window manager's close button: the window decides, as with any WM_CLOSE.
            event->ignore();
            PostMessage(w, WM_CLOSE, 0, 0);
            return true;
        }
        case QEvent::Move:
        case QEvent::Resize: {
            if (Syncing || !widget->isWindow())
                return false;
            Window* w = s.ByWidget.count(widget) != 0 ? s.ByWidget[widget] : nullptr;
            if (w != nullptr && !w->Destroying && widget->isVisible())
                TakeGeometryFromQt(w, widget->geometry());
            return false;
        }
        case QEvent::WindowStateChange: {
            Window* w = s.ByWidget.count(widget) != 0 ? s.ByWidget[widget] : nullptr;
            if (w != nullptr && widget->isWindow()) {
                const bool wasMinimized = w->Minimized;
                w->Minimized = (widget->windowState() & Qt::WindowMinimized) != 0;
                w->Maximized = (widget->windowState() & Qt::WindowMaximized) != 0;
                // Minimised or restored by the window manager; ShowWindow has told its own changes already.
                if (w->Minimized != wasMinimized && !w->Destroying && (w->Style & WS_VISIBLE) != 0)
                    NotifyShowStateChanged(w);
            }
            return false;
        }
        default: return false;
        }
    }
};

QPointer<Bridge>& TheBridge()
{
    static QPointer<Bridge> bridge;
    return bridge;
}

std::map<int, std::unique_ptr<Cursor>>& StockCursors()
{
    static std::map<int, std::unique_ptr<Cursor>> cursors;
    return cursors;
}

std::vector<std::unique_ptr<Cursor>>& OwnCursors()
{
    static std::vector<std::unique_ptr<Cursor>> cursors;
    return cursors;
}

std::vector<Cursor*>& OverrideStack()
{
    static std::vector<Cursor*> stack;
    return stack;
}

}  // namespace

void EnsureQtBridge()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr || !TheBridge().isNull())
        return;
    auto* bridge = new Bridge(app);  // the application frees it
    TheBridge() = bridge;
    app->installEventFilter(bridge);
    QObject::connect(app, &QApplication::focusChanged, bridge, &Bridge::FocusChanged);
    // Offscreen (tests) the active flag is ours to set; elsewhere it follows the desktop.
    if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
        QObject::connect(app, &QGuiApplication::applicationStateChanged, bridge, &Bridge::StateChanged);
    for (QScreen* screen : QGuiApplication::screens())
        bridge->WatchScreen(screen);
    QObject::connect(app, &QGuiApplication::screenAdded, bridge, [bridge](QScreen* screen) {
        bridge->WatchScreen(screen);
        bridge->ScreensChanged();
    });
    QObject::connect(app, &QGuiApplication::screenRemoved, bridge, &Bridge::ScreensChanged);
    SetScreenFactsSource([] {
        ScreenFacts facts;
        const std::vector<MonitorRects> monitors = Screens().Monitors();
        facts.Primary = monitors.front().Monitor;
        facts.PrimaryWork = monitors.front().Work;
        RECT all = facts.Primary;
        for (const MonitorRects& m : monitors) {
            all.left = std::min(all.left, m.Monitor.left);
            all.top = std::min(all.top, m.Monitor.top);
            all.right = std::max(all.right, m.Monitor.right);
            all.bottom = std::max(all.bottom, m.Monitor.bottom);
        }
        facts.Virtual = all;
        facts.MonitorCount = static_cast<int>(monitors.size());
        return facts;
    });
    SetSystemChangeHandler([](UINT message, WPARAM wParam, LPARAM lParam) {
        for (Window* w : BroadcastTargets()) {
            if (ToWindow(w) != nullptr)
                SendMessage(w, message, wParam, lParam);
        }
    });
}

void WakeQueue()
{
    Bridge* bridge = TheBridge().data();
    if (bridge != nullptr)
        QCoreApplication::postEvent(bridge, new QEvent(QEvent::User));
}

QWidget* CreateWindowWidget(Window* w)
{
    if (QCoreApplication::instance() == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    auto* widget = new WindowWidget(w);
    if (w->Control != nullptr) {
        // The control's own frame styles are its own; an emulated frame lies around it.
        w->Control->setParent(widget);
        w->Control->show();  // shown with the window; re-parenting hid it
        auto* layer = new LayerWidget(w, widget);
        layer->show();
        w->Layer = layer;
    }
    Syncing = true;
    PlaceWidget(w, widget);
    Syncing = false;
    System().ByWidget[widget] = w;
    w->Widget = widget;
    SyncWidgetGeometry(w);
    widget->hide();
    return widget;
}

void ReparentWidget(Window* w)
{
    if (w->Widget == nullptr)
        return;
    Syncing = true;
    PlaceWidget(w, w->Widget);
    Syncing = false;
    SyncWidgetGeometry(w);
    if ((w->Style & WS_VISIBLE) != 0)
        SyncWidgetVisibility(w, true, false);  // re-parenting in Qt hides the widget
}

void DestroyWindowWidget(Window* w)
{
    QWidget* widget = w->Widget;
    if (widget == nullptr)
        return;
    WindowSystem& s = System();
    s.ByWidget.erase(widget);
    w->Widget = nullptr;
    if (TheGrab().Holder == w)
        TheGrab().Holder = nullptr;
    if (TheGrab().Grabbed.data() == widget) {
        if (QWidget::mouseGrabber() == widget)
            widget->releaseMouse();
        TheGrab().Grabbed = nullptr;
    }
    Syncing = true;
    widget->hide();
    Syncing = false;
    auto* own = static_cast<WindowWidget*>(widget);
    own->Detach();
    if (auto* layer = static_cast<LayerWidget*>(w->Layer))
        layer->Detach();
    w->Control = nullptr;  // freed with the widget it lies in
    w->Layer = nullptr;
    // A widget inside its own event handler, or being handed an event, goes once Qt is done with it.
    if (own->InEvent() || s.Delivering > 0 || s.ControlCalls > 0) {
        widget->setParent(nullptr);
        widget->deleteLater();
    } else {
        delete widget;
    }
}

void SyncWidgetGeometry(Window* w)
{
    if (w->Widget == nullptr)
        return;
    Syncing = true;
    if (w->Parent != nullptr) {
        w->Widget->setGeometry(w->Parent->Client.left + w->Bounds.left, w->Parent->Client.top + w->Bounds.top,
                               w->Width(), w->Height());
    } else if (!w->Minimized && !w->Maximized) {
        w->Widget->setGeometry(w->Bounds.left, w->Bounds.top, std::max(1, w->Width()), std::max(1, w->Height()));
    }
    Syncing = false;
    PlaceControlInClient(w);
}

void PlaceControlInClient(Window* w)
{
    if (w->Control == nullptr)
        return;
    const QRect client = QtFromRect(w->Client);
    w->Control->setGeometry(client);
    if (w->Layer != nullptr)
        w->Layer->setGeometry(client);
}

QWidget* FocusWidget(const Window* w) { return w->Control != nullptr ? w->Control : w->Widget; }

void SyncWidgetVisibility(Window* w, bool visible, bool activate)
{
    if (w->Widget == nullptr)
        return;
    if (visible && IsFramedTopLevel(w) && HasTrackLimits(w)) {
        const MINMAXINFO limits = QueryTrackLimits(w);
        if (w->Destroyed || w->Widget == nullptr)
            return;
        ApplySizeHints(w, limits);
    }
    Syncing = true;
    if (visible) {
        if (w->IsTopLevel())
            w->Widget->setAttribute(Qt::WA_ShowWithoutActivating, !activate || !IsFramedTopLevel(w));
        w->Widget->show();
    } else {
        w->Widget->hide();
    }
    Syncing = false;
}

void ApplyInputTransparency(Window* w)
{
    if (w->Widget == nullptr || w->Native || w->MessageOnly)
        return;
    const POINT origin = WindowOriginOnScreen(w);
    const LRESULT hit =
        SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(origin.x + w->Width() / 2, origin.y + w->Height() / 2));
    if (w->Destroyed || w->Widget == nullptr)
        return;
    const bool transparent = hit == HTTRANSPARENT;
    w->Widget->setAttribute(Qt::WA_TransparentForMouseEvents, transparent);
    if (transparent == w->InputTransparent)
        return;
    w->InputTransparent = transparent;
    if (w->IsTopLevel()) {
        // The window is still hidden here, so changing its flags needs no re-show.
        Syncing = true;
        w->Widget->setWindowFlag(Qt::WindowTransparentForInput, transparent);
        Syncing = false;
    }
}

void ApplyWindowOpacity(Window* w)
{
    if (w->Widget == nullptr || !w->IsTopLevel())
        return;
    const bool layered = (w->ExStyle & WS_EX_LAYERED) != 0;
    w->Widget->setWindowOpacity(layered ? w->LayeredAlpha / 255.0 : 1.0);
}

// ---- Pointer grab -----------------------------------------------------------------------------------------

namespace {

Window* GrabCandidate()
{
    const WindowSystem& s = System();
    // A native control holding the mouse needs Qt's own delivery of its drag; a grab would take it away.
    if (s.Capture == nullptr || s.Capture->Destroyed || s.Capture->Native)
        return nullptr;
    for (Window* w : s.TopLevels) {
        if (!w->Destroyed && !w->Native && w->Widget != nullptr && !w->Minimized && (w->Style & WS_VISIBLE) != 0 &&
            (w->Style & WS_POPUP) != 0 && !IsFramedTopLevel(w))
            return w;
    }
    return nullptr;
}

}  // namespace

void UpdatePointerGrab()
{
    PointerGrab& grab = TheGrab();
    grab.Holder = GrabCandidate();
    // Offscreen nothing lies outside the program's windows, and a grab would only re-route Qt's own events.
    if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
        return;
    QWidget* widget = grab.Holder != nullptr ? grab.Holder->Widget : nullptr;
    if (grab.Grabbed.data() == widget)
        return;
    if (QWidget* old = grab.Grabbed.data(); old != nullptr && QWidget::mouseGrabber() == old)
        old->releaseMouse();
    grab.Grabbed = widget;
    if (widget != nullptr && widget->isVisible())
        widget->grabMouse();
}

HWND GetPointerGrabWindow()
{
    Window* holder = TheGrab().Holder;
    return ToWindow(holder) != nullptr && !holder->Destroyed ? holder : nullptr;
}

QWidget* GetWindowWidget(HWND window)
{
    Window* w = ToWindow(window);
    return w != nullptr ? FocusWidget(w) : nullptr;
}

HWND WindowFromWidget(const QWidget* widget)
{
    const auto& map = System().ByWidget;
    for (const QWidget* up = widget; up != nullptr; up = up->parentWidget()) {
        auto it = map.find(up);
        if (it != map.end())
            return it->second;
    }
    return nullptr;
}

// ---- Cursors ----------------------------------------------------------------------------------------------

HCURSOR LoadCursor(std::nullptr_t, int id)
{
    static const std::map<int, Qt::CursorShape> shapes = {
        {IDC_ARROW, Qt::ArrowCursor},        {IDC_IBEAM, Qt::IBeamCursor},     {IDC_WAIT, Qt::WaitCursor},
        {IDC_CROSS, Qt::CrossCursor},        {IDC_UPARROW, Qt::UpArrowCursor}, {IDC_SIZENWSE, Qt::SizeFDiagCursor},
        {IDC_SIZENESW, Qt::SizeBDiagCursor}, {IDC_SIZEWE, Qt::SizeHorCursor},  {IDC_SIZENS, Qt::SizeVerCursor},
        {IDC_SIZEALL, Qt::SizeAllCursor},    {IDC_NO, Qt::ForbiddenCursor},    {IDC_HAND, Qt::PointingHandCursor},
        {IDC_APPSTARTING, Qt::BusyCursor},   {IDC_HELP, Qt::WhatsThisCursor},  {IDC_HSPLIT, Qt::SplitHCursor}};
    auto shape = shapes.find(id);
    if (shape == shapes.end())
        return nullptr;
    auto& stock = StockCursors();
    auto& slot = stock[id];
    if (!slot) {
        slot = std::make_unique<Cursor>(QCursor(shape->second));
        slot->Stock = true;
    }
    return slot.get();
}

HCURSOR CreateCursorFromImage(const QImage& image, POINT hotSpot)
{
    if (image.isNull() || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    OwnCursors().push_back(std::make_unique<Cursor>(QCursor(QPixmap::fromImage(image), hotSpot.x, hotSpot.y)));
    return OwnCursors().back().get();
}

BOOL DestroyCursor(HCURSOR cursor)
{
    auto& own = OwnCursors();
    auto it = std::find_if(own.begin(), own.end(), [cursor](const auto& c) { return c.get() == cursor; });
    if (it == own.end())
        return FALSE;
    WindowSystem& s = System();
    if (s.CurrentCursor == cursor)
        s.CurrentCursor = nullptr;
    own.erase(it);
    return TRUE;
}

void ApplyCursor(HCURSOR cursor)
{
    WindowSystem& s = System();
    Window* target = ToWindow(s.LastMouseTarget);
    if (target == nullptr || target->Widget == nullptr)
        return;
    const QCursor shape = cursor != nullptr ? cursor->Shape : QCursor(Qt::BlankCursor);
    target->Widget->setCursor(shape);
    if (target->Control != nullptr)  // the control has a cursor of its own
        target->Control->setCursor(shape);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    WindowSystem& s = System();
    HCURSOR old = s.CurrentCursor;
    s.CurrentCursor = cursor;
    if (cursor != old)
        ApplyCursor(cursor);
    return old;
}

HCURSOR GetCursor() { return System().CurrentCursor; }

ScopedOverrideCursor::ScopedOverrideCursor(HCURSOR cursor)
{
    OverrideStack().push_back(cursor);
    if (cursor != nullptr && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        QGuiApplication::setOverrideCursor(cursor->Shape);
}

ScopedOverrideCursor::~ScopedOverrideCursor()
{
    Cursor* cursor = OverrideStack().back();
    OverrideStack().pop_back();
    if (cursor != nullptr && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
        QGuiApplication::restoreOverrideCursor();
}

BOOL ClipCursor(const RECT*) { return TRUE; }

// ---- Keys -------------------------------------------------------------------------------------------------

WORD VirtualKeyFromQtKey(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<WORD>('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<WORD>('0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<WORD>(VK_F1 + (qtKey - Qt::Key_F1));
    static const std::map<int, WORD> keys = {{Qt::Key_Escape, VK_ESCAPE},
                                             {Qt::Key_Tab, VK_TAB},
                                             {Qt::Key_Backtab, VK_TAB},
                                             {Qt::Key_Backspace, VK_BACK},
                                             {Qt::Key_Return, VK_RETURN},
                                             {Qt::Key_Enter, VK_RETURN},
                                             {Qt::Key_Insert, VK_INSERT},
                                             {Qt::Key_Delete, VK_DELETE},
                                             {Qt::Key_Pause, VK_PAUSE},
                                             {Qt::Key_Print, VK_SNAPSHOT},
                                             {Qt::Key_Clear, VK_CLEAR},
                                             {Qt::Key_Home, VK_HOME},
                                             {Qt::Key_End, VK_END},
                                             {Qt::Key_Left, VK_LEFT},
                                             {Qt::Key_Up, VK_UP},
                                             {Qt::Key_Right, VK_RIGHT},
                                             {Qt::Key_Down, VK_DOWN},
                                             {Qt::Key_PageUp, VK_PRIOR},
                                             {Qt::Key_PageDown, VK_NEXT},
                                             {Qt::Key_Shift, VK_SHIFT},
                                             {Qt::Key_Control, VK_CONTROL},
                                             {Qt::Key_Meta, VK_LWIN},
                                             {Qt::Key_Alt, VK_MENU},
                                             {Qt::Key_AltGr, VK_MENU},
                                             {Qt::Key_CapsLock, VK_CAPITAL},
                                             {Qt::Key_NumLock, VK_NUMLOCK},
                                             {Qt::Key_ScrollLock, VK_SCROLL},
                                             {Qt::Key_Space, VK_SPACE},
                                             {Qt::Key_Menu, VK_APPS},
                                             {Qt::Key_Help, VK_HELP},
                                             {Qt::Key_Plus, VK_OEM_PLUS},
                                             {Qt::Key_Equal, VK_OEM_PLUS},
                                             {Qt::Key_Minus, VK_OEM_MINUS},
                                             {Qt::Key_Underscore, VK_OEM_MINUS},
                                             {Qt::Key_Comma, VK_OEM_COMMA},
                                             {Qt::Key_Period, VK_OEM_PERIOD},
                                             {Qt::Key_Slash, VK_OEM_2},
                                             {Qt::Key_Semicolon, VK_OEM_1},
                                             {Qt::Key_Asterisk, VK_MULTIPLY}};
    auto it = keys.find(qtKey);
    return it != keys.end() ? it->second : 0;
}

}  // namespace ovrel::ui
