// What shows over or through windows: the desktop's outline (drags that draw a frame instead of moving the
// window) with its overlay window and the update lock, and the constant alpha of layered windows.

#include "platform/ui/Window.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Gdi_p.h"
#include "platform/ui/Services.h"
#include "platform/ui/Services_p.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window_p.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <memory>

namespace ovrel::ui {
namespace {

// The overlay window: frameless, on top, never activated and transparent for input, so the drag loop that
// draws the outline keeps every press and move.
class OverlayWidget final : public QWidget {
public:
    OverlayWidget()
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setObjectName(QStringLiteral("OutlineOverlay"));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));  // the halftone of an inverted frame
    }
};

// The overlay window lives only while there is an outline to show, so none outlives the application.
class QtOutlineOverlay final : public IOutlineOverlay {
public:
    ~QtOutlineOverlay() override
    {
        if (QCoreApplication::instance() == nullptr)
            (void)FWidget.release();  // no widget may be freed after the application; the process ends anyway
    }
    void Show(const std::vector<RECT>& rects) override
    {
        if (rects.empty()) {
            FWidget.reset();
            return;
        }
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return;
        if (!FWidget)
            FWidget = std::make_unique<OverlayWidget>();
        QRegion region;
        for (const RECT& r : rects)
            region += QtFromRect(r);
        const QRect bounds = region.boundingRect();
        FWidget->setGeometry(bounds);
        FWidget->setMask(region.translated(-bounds.topLeft()));
        FWidget->show();
        FWidget->update();
    }

private:
    std::unique_ptr<OverlayWidget> FWidget;
};

Slot<IOutlineOverlay, QtOutlineOverlay>& OverlaySlot()
{
    static Slot<IOutlineOverlay, QtOutlineOverlay> slot;
    return slot;
}

struct Desktop {
    HWND Locked = nullptr;
    QRegion Outline;  // screen coordinates
};

Desktop& TheDesktop()
{
    static Desktop desktop;
    return desktop;
}

void ShowOutline(const QRegion& outline)
{
    std::vector<RECT> rects;
    for (const QRect& r : outline)
        rects.push_back(RectFromQt(r));
    OutlineOverlay().Show(rects);
}

// The layered window the alpha calls may change, or null.
Window* LayeredTopLevel(HWND window)
{
    Window* w = ToWindow(window);
    if (w == nullptr || !w->IsTopLevel() || (w->ExStyle & WS_EX_LAYERED) == 0 ||
        !GetCapabilities().LayeredConstantAlpha)
        return nullptr;
    return w;
}

}  // namespace

IOutlineOverlay& OutlineOverlay() { return OverlaySlot().Get(); }
IOutlineOverlay* SetOutlineOverlay(IOutlineOverlay* overlay) { return OverlaySlot().Set(overlay); }

void InvertDesktopOutline(const QRegion& region)
{
    if (region.isEmpty())
        return;
    Desktop& desktop = TheDesktop();
    desktop.Outline ^= region;
    ShowOutline(desktop.Outline);
}

bool DesktopUpdateLocked() { return TheDesktop().Locked == GetDesktopWindow(); }

BOOL LockWindowUpdate(HWND window)
{
    Desktop& desktop = TheDesktop();
    if (window == nullptr) {
        const bool wasDesktop = desktop.Locked == GetDesktopWindow();
        desktop.Locked = nullptr;
        if (wasDesktop && !desktop.Outline.isEmpty()) {
            desktop.Outline = QRegion();
            ShowOutline(desktop.Outline);
        }
        return TRUE;
    }
    if (window != GetDesktopWindow() && ToWindow(window) == nullptr)
        return FALSE;
    if (desktop.Locked != nullptr && desktop.Locked != window)
        return FALSE;
    desktop.Locked = window;
    return TRUE;
}

BOOL SetLayeredWindowAttributes(HWND window, COLORREF, BYTE alpha, DWORD flags)
{
    Window* w = LayeredTopLevel(window);
    if (w == nullptr || (flags & LWA_COLORKEY) != 0)
        return FALSE;
    if ((flags & LWA_ALPHA) != 0) {
        w->LayeredAlpha = alpha;
        ApplyWindowOpacity(w);
    }
    return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND window, COLORREF* key, BYTE* alpha, DWORD* flags)
{
    Window* w = ToWindow(window);
    if (w == nullptr || (w->ExStyle & WS_EX_LAYERED) == 0)
        return FALSE;
    if (key != nullptr)
        *key = 0;
    if (alpha != nullptr)
        *alpha = w->LayeredAlpha;
    if (flags != nullptr)
        *flags = LWA_ALPHA;
    return TRUE;
}

BOOL UpdateLayeredWindow(HWND window, HDC, const POINT* position, const SIZE* size, HDC source,
                         const POINT* sourcePoint, COLORREF, const BLENDFUNCTION* blend, DWORD flags)
{
    Window* w = LayeredTopLevel(window);
    if (w == nullptr || (flags & ULW_COLORKEY) != 0)
        return FALSE;
    if ((flags & ULW_ALPHA) != 0 &&
        (blend == nullptr || blend->BlendOp != AC_SRC_OVER || (blend->AlphaFormat & AC_SRC_ALPHA) != 0))
        return FALSE;  // per-pixel alpha needs a compositor path the layer does not have
    if (position != nullptr || size != nullptr) {
        const POINT at = position != nullptr ? *position : POINT{w->Bounds.left, w->Bounds.top};
        const SIZE extent = size != nullptr ? *size : SIZE{w->Width(), w->Height()};
        SetWindowPos(w, nullptr, at.x, at.y, extent.cx, extent.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | (size == nullptr ? SWP_NOSIZE : 0u) |
                         (position == nullptr ? SWP_NOMOVE : 0u));
        if (ToWindow(window) == nullptr)
            return FALSE;
    }
    if (source != nullptr) {
        const POINT from = sourcePoint != nullptr ? *sourcePoint : POINT{};
        HDC dc = GetWindowDC(w);
        BitBlt(dc, 0, 0, w->Width(), w->Height(), source, from.x, from.y, SRCCOPY);
        ReleaseDC(w, dc);
    }
    w->LayeredAlpha = (flags & ULW_ALPHA) != 0 ? blend->SourceConstantAlpha : 255;
    ApplyWindowOpacity(w);
    return TRUE;
}

}  // namespace ovrel::ui
