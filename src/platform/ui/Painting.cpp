// Invalidation, paint DCs over the backing images, scrolling of window contents, and window regions. A
// native control paints itself; what its window paints goes to a transparent layer above it (erasing
// included, which the control's own paint then covers, as a control's paint covers its erased background).

#include "platform/ui/Window.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Gdi_p.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window_p.h"

#include <QPainter>

namespace ovrel::ui {
namespace {

bool HasImage(const Window* w) { return !w->MessageOnly && !w->Destroyed; }

QRect ClientRectInWindow(const Window* w) { return QtFromRect(w->Client); }

QRegion RegionOf(HRGN region)
{
    auto* object = ObjectAs<RegionObject>(region, OBJ_REGION);
    return object != nullptr ? object->Region : QRegion();
}

// A DC over the window's image: origin at origin (image coordinates), clipped to clip (image coordinates)
// and to the window region.
HDC ImageDC(Window* w, POINT origin, const QRegion& clip)
{
    HRGN region = CreateNullRegion();
    if (auto* object = ObjectAs<RegionObject>(region, OBJ_REGION))
        object->Region = w->Shape ? clip.intersected(*w->Shape) : clip;
    HDC dc = CreateImageDC(w->Image, origin, region);
    DeleteObject(region);
    return dc;
}

// Live DCs handed out for windows, so ReleaseDC knows what to show.
std::vector<std::pair<HDC, Window*>>& OpenDCs()
{
    static std::vector<std::pair<HDC, Window*>> list;
    return list;
}

void AddInvalid(Window* w, const QRegion& clientRegion, bool erase)
{
    const QRegion clipped = clientRegion.intersected(QRect(QPoint(0, 0), ClientRectInWindow(w).size()));
    if (clipped.isEmpty())
        return;
    w->Update += clipped;
    if (erase)
        w->UpdateErase = true;
    for (const QRect& r : clipped)
        NotifyInvalidated(w, r);
}

void ApplyRedraw(Window* w, const QRegion& region, UINT flags)
{
    if ((flags & RDW_INVALIDATE) != 0) {
        AddInvalid(w, region, (flags & RDW_ERASE) != 0);
        if ((flags & RDW_FRAME) != 0)
            w->FrameInvalid = true;
        if ((flags & RDW_INTERNALPAINT) != 0)
            w->InternalPaint = true;
        if (w->Control != nullptr)
            w->Control->update(region.boundingRect());
    }
    if ((flags & RDW_VALIDATE) != 0) {
        w->Update -= region;
        if ((flags & RDW_NOFRAME) != 0)
            w->FrameInvalid = false;
        if ((flags & RDW_NOINTERNALPAINT) != 0)
            w->InternalPaint = false;
    }
    if ((flags & RDW_NOERASE) != 0)
        w->UpdateErase = false;
    if ((flags & RDW_ALLCHILDREN) != 0) {
        const std::vector<Window*> children = w->Children;
        for (Window* child : children) {
            if (child->Destroyed)
                continue;
            const QPoint offset(child->Bounds.left + child->Client.left, child->Bounds.top + child->Client.top);
            ApplyRedraw(child, region.translated(-offset), flags);
        }
    }
}

// The control's own paint of a native window covers that part of its layer again (image coordinates).
void UncoverControl(Window* w, const QRegion& imageRegion)
{
    if (!w->Native || w->Destroyed || imageRegion.isEmpty())
        return;
    QPainter painter(&w->Image);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    for (const QRect& r : imageRegion)
        painter.fillRect(r, Qt::transparent);
}

// Sends WM_ERASEBKGND with dc, drawing into the update region (image coordinates); the answer.
LRESULT Erase(Window* w, HDC dc, const QRegion& imageRegion)
{
    const LRESULT erased = SendMessage(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    UncoverControl(w, imageRegion);
    return erased;
}

void EraseNow(Window* w)
{
    if (w->Destroyed)
        return;
    if (w->FrameInvalid) {
        w->FrameInvalid = false;
        SendMessage(w, WM_NCPAINT, 1, 0);
    }
    if (w->UpdateErase && !w->Destroyed) {
        w->UpdateErase = false;
        const QRegion clip = w->Update.translated(w->Client.left, w->Client.top);
        HDC dc = ImageDC(w, POINT{w->Client.left, w->Client.top}, clip);
        Erase(w, dc, clip);
        DeleteImageDC(dc);
        if (!w->Destroyed)
            ShowBackingImage(w, clip.boundingRect());
    }
}

void UpdateTree(Window* w, bool children)
{
    UpdateWindow(w);
    if (!children || w->Destroyed)
        return;
    const std::vector<Window*> list = w->Children;
    for (Window* child : list) {
        if (!child->Destroyed)
            UpdateTree(child, true);
    }
}

}  // namespace

void FinishPaint(Window* w)
{
    if (w->Destroyed)
        return;
    if (w->FrameInvalid) {
        w->FrameInvalid = false;
        SendMessage(w, WM_NCPAINT, 1, 0);
    }
    if (!w->Destroyed) {
        w->Update = QRegion();
        w->UpdateErase = false;
        w->InternalPaint = false;
    }
}

void ResizeBackingImage(Window* w)
{
    if (!HasImage(w))
        return;
    const QSize size(std::max(1, w->Width()), std::max(1, w->Height()));
    if (w->Image.size() == size)
        return;
    QImage image(size, w->Native ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (w->Native)
        image.fill(Qt::transparent);
    else
        image.fill(ToQColor(GetSysColor(COLOR_BTNFACE)));
    if (!w->Image.isNull()) {
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, w->Image);
    }
    w->Image = std::move(image);
}

void ShowBackingImage(Window* w, const QRect& windowRect)
{
    if (w->Widget == nullptr)
        return;
    const QRect area = windowRect.isNull() ? w->Widget->rect() : windowRect;
    w->Widget->update(area);
    if (w->Layer != nullptr)
        w->Layer->update(area.translated(-w->Client.left, -w->Client.top));
}

void NotifyInvalidated(Window* w, const QRect& clientRect)
{
    const InvalidationObserver& observer = System().OnInvalidate;
    if (observer)
        observer(w, RectFromQt(clientRect));
}

void SetInvalidationObserver(InvalidationObserver observer) { System().OnInvalidate = std::move(observer); }

QImage* GetWindowImage(HWND window)
{
    Window* w = ToWindow(window);
    return w != nullptr && HasImage(w) ? &w->Image : nullptr;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    if (window == nullptr) {
        for (Window* top : System().TopLevels)
            InvalidateRect(top, nullptr, erase);
        return TRUE;
    }
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    const QRect all(QPoint(0, 0), ClientRectInWindow(w).size());
    ApplyRedraw(w, rect != nullptr ? QRegion(QtFromRect(*rect)) : QRegion(all),
                RDW_INVALIDATE | (erase ? RDW_ERASE : 0u));
    return TRUE;
}

BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    if (region == nullptr)
        return InvalidateRect(window, nullptr, erase);
    ApplyRedraw(w, RegionOf(region), RDW_INVALIDATE | (erase ? RDW_ERASE : 0u));
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    if (rect == nullptr) {
        w->Update = QRegion();
        w->UpdateErase = false;
        w->FrameInvalid = false;
        w->InternalPaint = false;
    } else {
        w->Update -= QRegion(QtFromRect(*rect));
    }
    return TRUE;
}

BOOL ValidateRgn(HWND window, HRGN region)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    if (region == nullptr)
        return ValidateRect(window, nullptr);
    w->Update -= RegionOf(region);
    return TRUE;
}

BOOL GetUpdateRect(HWND window, RECT* rect, BOOL erase)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    if (rect != nullptr)
        *rect = w->Update.isEmpty() ? RECT{} : RectFromQt(w->Update.boundingRect());
    const bool any = !w->Update.isEmpty();
    if (erase && any)
        EraseNow(w);
    return any ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    if (w->MessageOnly || IsWindowVisible(w) == FALSE)
        return TRUE;
    if (w->Update.isEmpty() && !w->FrameInvalid && !w->InternalPaint)
        return TRUE;
    SendMessage(w, WM_PAINT, 0, 0);
    FinishPaint(w);
    return TRUE;
}

BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags)
{
    if (window == nullptr) {
        for (Window* top : System().TopLevels)
            RedrawWindow(top, rect, region, flags);
        return TRUE;
    }
    Window* w = ToWindow(window);
    if (w == nullptr)
        return FALSE;
    QRegion area;
    if (region != nullptr)
        area = RegionOf(region);
    else if (rect != nullptr)
        area = QRegion(QtFromRect(*rect));
    else
        area = QRegion(QRect(QPoint(0, 0), ClientRectInWindow(w).size()));
    ApplyRedraw(w, area, flags);
    if ((flags & RDW_UPDATENOW) != 0)
        UpdateTree(w, (flags & RDW_ALLCHILDREN) != 0);
    else if ((flags & RDW_ERASENOW) != 0)
        EraseNow(w);
    return TRUE;
}

int ScrollWindowEx(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, RECT* updateRect,
                   UINT flags)
{
    Window* w = ToWindow(window);
    if (w == nullptr)
        return ERROR;
    const QRect client(QPoint(0, 0), ClientRectInWindow(w).size());
    const QRect area = scroll != nullptr ? QtFromRect(*scroll).intersected(client) : client;
    const QRect clipArea = clip != nullptr ? QtFromRect(*clip).intersected(client) : client;
    const QRect target = area.translated(dx, dy).intersected(clipArea);
    if (HasImage(w) && !w->Native && !area.isEmpty()) {  // a control scrolls its own contents
        const QPoint origin(w->Client.left, w->Client.top);
        const QImage copy = w->Image.copy(area.translated(origin));
        QPainter painter(&w->Image);
        painter.setClipRect(clipArea.translated(origin));
        painter.drawImage(area.topLeft() + QPoint(dx, dy) + origin, copy);
        painter.end();
        ShowBackingImage(w, clipArea.translated(origin));
    }
    // The pending update moves with the contents.
    const QRegion inside = w->Update.intersected(area);
    w->Update = (w->Update - inside) + inside.translated(dx, dy).intersected(clipArea);
    const QRegion uncovered = QRegion(clipArea.intersected(area)) - QRegion(target);
    if ((flags & SW_SCROLLCHILDREN) != 0) {
        for (Window* child : w->Children) {
            if (scroll == nullptr || QtFromRect(child->Bounds).intersects(area))
                SetWindowPos(child, nullptr, child->Bounds.left + dx, child->Bounds.top + dy, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
    }
    if ((flags & SW_INVALIDATE) != 0)
        AddInvalid(w, uncovered, (flags & SW_ERASE) != 0);
    if (auto* object = ObjectAs<RegionObject>(update, OBJ_REGION))
        object->Region = uncovered;
    if (updateRect != nullptr)
        *updateRect = uncovered.isEmpty() ? RECT{} : RectFromQt(uncovered.boundingRect());
    if (uncovered.isEmpty())
        return NULLREGION;
    return uncovered.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    Window* w = ToWindow(window);
    if (w == nullptr || paint == nullptr)
        return nullptr;
    if (w->FrameInvalid && HasImage(w)) {
        w->FrameInvalid = false;
        SendMessage(w, WM_NCPAINT, 1, 0);
        if (w->Destroyed)
            return nullptr;
    }
    const QRegion region = w->Update;
    const bool erase = w->UpdateErase;
    w->Update = QRegion();
    w->UpdateErase = false;
    w->InternalPaint = false;
    w->FrameInvalid = false;
    paint->rcPaint = region.isEmpty() ? RECT{} : RectFromQt(region.boundingRect());
    paint->fErase = FALSE;
    if (!HasImage(w)) {
        paint->hdc = CreateScreenDC();
        OpenDCs().emplace_back(paint->hdc, w);
        return paint->hdc;
    }
    const POINT origin{w->Client.left, w->Client.top};
    const QRegion imageRegion = region.translated(origin.x, origin.y);
    paint->hdc = ImageDC(w, origin, imageRegion);
    OpenDCs().emplace_back(paint->hdc, w);
    // TRUE in fErase asks the painter to erase: the background was not erased. A control erases its own.
    if (erase)
        paint->fErase = Erase(w, paint->hdc, imageRegion) == 0 && !w->Native ? TRUE : FALSE;
    else
        UncoverControl(w, imageRegion);
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint)
{
    if (paint == nullptr || paint->hdc == nullptr)
        return FALSE;
    ReleaseDC(window, paint->hdc);
    return TRUE;
}

HDC GetDC(HWND window)
{
    if (window == nullptr)
        return CreateScreenDC();
    Window* w = ToWindow(window);
    if (w == nullptr)
        return nullptr;
    HDC dc = nullptr;
    if (!HasImage(w)) {
        dc = CreateScreenDC();
    } else {
        const QRect client = ClientRectInWindow(w);
        dc = ImageDC(w, POINT{w->Client.left, w->Client.top}, QRegion(client));
    }
    OpenDCs().emplace_back(dc, w);
    return dc;
}

HDC GetWindowDC(HWND window) { return GetDCEx(window, nullptr, DCX_WINDOW); }

HDC GetDCEx(HWND window, HRGN region, DWORD flags)
{
    if (window == nullptr)
        return CreateScreenDC();
    if (window == GetDesktopWindow()) {
        const bool outline = (flags & DCX_LOCKWINDOWUPDATE) != 0;
        if (outline && !DesktopUpdateLocked())
            return nullptr;
        HDC dc = outline ? CreateDesktopOutlineDC() : CreateScreenDC();
        if ((flags & DCX_INTERSECTRGN) != 0 && region != nullptr && region != reinterpret_cast<HRGN>(1))
            SelectClipRgn(dc, region);  // screen coordinates are the outline DC's own
        OpenDCs().emplace_back(dc, nullptr);
        return dc;
    }
    Window* w = ToWindow(window);
    if (w == nullptr)
        return nullptr;
    if ((flags & DCX_WINDOW) == 0 && (flags & DCX_INTERSECTRGN) == 0)
        return GetDC(window);
    HDC dc = nullptr;
    if (!HasImage(w)) {
        dc = CreateScreenDC();
    } else {
        const bool whole = (flags & DCX_WINDOW) != 0;
        const POINT origin = whole ? POINT{0, 0} : POINT{w->Client.left, w->Client.top};
        QRegion clip(whole ? QRect(QPoint(0, 0), w->Image.size()) : ClientRectInWindow(w));
        if ((flags & DCX_INTERSECTRGN) != 0 && region != nullptr && region != reinterpret_cast<HRGN>(1)) {
            // The region is in screen coordinates.
            const POINT screen = WindowOriginOnScreen(w);
            clip &= RegionOf(region).translated(-screen.x, -screen.y);
        }
        dc = ImageDC(w, origin, clip);
    }
    OpenDCs().emplace_back(dc, w);
    return dc;
}

int ReleaseDC(HWND window, HDC dc)
{
    if (dc == nullptr)
        return 0;
    auto& open = OpenDCs();
    auto it = std::find_if(open.begin(), open.end(), [dc](const auto& entry) { return entry.first == dc; });
    Window* w = nullptr;
    if (it != open.end()) {
        w = it->second;
        open.erase(it);
    } else if (window != nullptr) {
        return 0;  // not a DC of ours
    }
    DeleteImageDC(dc);
    if (w != nullptr && ToWindow(w) != nullptr)
        ShowBackingImage(w, QRect());
    return 1;
}

// ---- Window regions ---------------------------------------------------------------------------------------

int SetWindowRgn(HWND window, HRGN region, BOOL redraw)
{
    Window* w = ToWindow(window);
    auto* object = ObjectAs<RegionObject>(region, OBJ_REGION);
    if (w == nullptr || (region != nullptr && object == nullptr))
        return 0;
    ReleaseWindowRegion(w);
    if (object != nullptr) {
        w->Shape = object->Region;
        w->ShapeHandle = region;
    }
    if (w->Widget != nullptr) {
        if (!w->Shape)
            w->Widget->clearMask();
        else if (w->Shape->isEmpty())
            w->Widget->setMask(QRegion(-1, -1, 1, 1));  // nothing shows; an empty mask would show everything
        else
            w->Widget->setMask(*w->Shape);
    }
    if (redraw != FALSE) {
        InvalidateRect(w, nullptr, TRUE);
        w->FrameInvalid = true;
    }
    return 1;
}

void ReleaseWindowRegion(Window* w)
{
    if (w->ShapeHandle != nullptr)
        DeleteObject(w->ShapeHandle);
    w->ShapeHandle = nullptr;
    w->Shape.reset();
}

}  // namespace ovrel::ui
