#pragma once
// The objects behind the GDI handles, shared by the drawing, text and system-table sources of the UI layer.

#include "platform/ui/Gdi.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <optional>
#include <vector>

namespace ovrel::ui {

class GdiObject {
public:
    explicit GdiObject(DWORD type) : Type(type) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    const DWORD Type;
    bool Stock = false;  // never freed
    int Selections = 0;  // DC states holding it
    bool DeletePending = false;
};

class PenObject final : public GdiObject {
public:
    PenObject() : GdiObject(OBJ_PEN) {}
    LOGPEN Log;
};

class BrushObject final : public GdiObject {
public:
    BrushObject() : GdiObject(OBJ_BRUSH) {}
    LOGBRUSH Log;
    QImage Pattern;  // BS_PATTERN: a copy of the bitmap (Format_Mono or Format_ARGB32)
    int SysColorIndex = -1;  // a system colour brush follows the table
};

class FontObject final : public GdiObject {
public:
    FontObject() : GdiObject(OBJ_FONT) {}
    LOGFONT Log;
    QFont Font;
};

class BitmapObject final : public GdiObject {
public:
    BitmapObject() : GdiObject(OBJ_BITMAP) {}
    QImage Image;
    DeviceContext* SelectedInto = nullptr;
    bool Monochrome() const { return Image.format() == QImage::Format_Mono; }
};

class RegionObject final : public GdiObject {
public:
    RegionObject() : GdiObject(OBJ_REGION) {}
    QRegion Region;
};

struct DcState {
    PenObject* Pen = nullptr;
    BrushObject* Brush = nullptr;
    FontObject* Font = nullptr;
    BitmapObject* Bitmap = nullptr;  // memory DCs only
    COLORREF TextColor = 0;
    COLORREF BkColor = 0xFFFFFF;
    int BkMode = OPAQUE;
    UINT TextAlign = TA_TOP | TA_LEFT;
    int PolyFillMode = ALTERNATE;
    int StretchMode = BLACKONWHITE;
    POINT WindowOrg;
    POINT ViewportOrg;
    POINT BrushOrg;
    POINT CurrentPos;
    std::optional<QRegion> Clip;  // device coordinates
};

class DeviceContext {
public:
    bool Memory = false;
    bool DesktopOutline = false;  // no surface: PATINVERT inverts the desktop's outline, nothing else draws
    QImage* Target = nullptr;  // image DCs: borrowed
    QImage ScreenSurface;  // the screen stand-in's own surface
    POINT Origin;  // image position of device (0,0)
    std::optional<QRegion> SystemClip;  // image coordinates
    DcState State;
    std::vector<DcState> Saved;

    QImage* Surface() { return Memory ? (State.Bitmap ? &State.Bitmap->Image : nullptr) : Target; }
};

// Handle checks: a handle is usable only while registered.
void RegisterObject(GdiObject* object);
bool IsLiveObject(const void* handle);
bool IsLiveDC(const void* handle);
DeviceContext* ToDC(HDC dc);  // null for an unknown DC

template <class T> T* ObjectAs(HGDIOBJ handle, DWORD type)
{
    if (!IsLiveObject(handle) || handle->Type != type)
        return nullptr;
    return static_cast<T*>(handle);
}

BrushObject* ResolveBrush(HBRUSH brush);  // also takes a system colour index + 1
FontObject* StockFont(int index);
BrushObject* SysColorBrushObject(int index);

QColor ToQColor(COLORREF color);
COLORREF FromQRgb(QRgb rgb);
QRect ToQRect(const RECT& rect);  // empty when right <= left or bottom <= top

// Coordinates: logical -> image.
QPoint LogicalToImage(const DeviceContext& dc, int x, int y);
// The region a drawing call may touch, in image coordinates.
QRegion EffectiveClip(DeviceContext& dc);

// A QPainter over a DC's surface, clipped, in image coordinates. Monochrome surfaces are painted through a
// 32-bit copy that is thresholded back when the painter ends.
class SurfacePainter {
public:
    explicit SurfacePainter(DeviceContext& dc);
    ~SurfacePainter();
    SurfacePainter(const SurfacePainter&) = delete;
    SurfacePainter& operator=(const SurfacePainter&) = delete;
    bool IsActive() const { return FActive; }
    QPainter& Painter() { return FPainter; }
    const QRegion& Clip() const { return FClip; }

private:
    QImage* FSurface = nullptr;
    QImage FColorCopy;
    bool FMono = false;
    bool FActive = false;
    QRegion FClip;
    QPainter FPainter;
};

// The QBrush for a brush object under the DC's colours and brush origin (set on the painter too).
bool ApplyBrush(DeviceContext& dc, QPainter& painter, BrushObject* brush);
// Fills region (image coordinates, already clipped) with brush.
void FillImageRegion(DeviceContext& dc, const QRegion& region, BrushObject* brush);

QFont RealizeFont(const LOGFONT& font);

// The desktop's outline DC (screen coordinates, no surface). Free with DeleteImageDC.
[[nodiscard]] HDC CreateDesktopOutlineDC();
// Whether LockWindowUpdate holds the desktop: the outline DC is handed out only then.
bool DesktopUpdateLocked();
// Inverts region (screen coordinates) on the desktop's outline and shows the result through the overlay.
void InvertDesktopOutline(const QRegion& region);

}  // namespace ovrel::ui
