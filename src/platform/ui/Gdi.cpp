#include "platform/ui/Gdi.h"

#include "platform/ui/Gdi_p.h"
#include "platform/ui/SysTables.h"

#include <QPolygon>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <unordered_set>

namespace ovrel::ui {

namespace {

std::unordered_set<const void*>& Objects()
{
    static auto* objects = new std::unordered_set<const void*>;  // lives as long as the stock objects
    return *objects;
}

std::unordered_set<const void*>& Dcs()
{
    static auto* dcs = new std::unordered_set<const void*>;
    return *dcs;
}

int CountStock()
{
    int n = 0;
    for (const void* p : Objects())
        if (static_cast<const GdiObject*>(p)->Stock)
            ++n;
    return n;
}

void FreeObject(GdiObject* object)
{
    Objects().erase(object);
    delete object;
}

void Retain(GdiObject* object)
{
    if (object)
        ++object->Selections;
}

void Release(GdiObject* object, DeviceContext* owner = nullptr)
{
    if (!object)
        return;
    --object->Selections;
    if (object->Selections > 0)
        return;
    if (object->Type == OBJ_BITMAP) {
        auto* bitmap = static_cast<BitmapObject*>(object);
        if (bitmap->SelectedInto == owner || !owner)
            bitmap->SelectedInto = nullptr;
    }
    if (object->DeletePending && !object->Stock)
        FreeObject(object);
}

void RetainState(const DcState& s)
{
    Retain(s.Pen);
    Retain(s.Brush);
    Retain(s.Font);
    Retain(s.Bitmap);
}

void ReleaseState(const DcState& s, DeviceContext* owner)
{
    Release(s.Pen, owner);
    Release(s.Brush, owner);
    Release(s.Font, owner);
    Release(s.Bitmap, owner);
}

QImage NewColorImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    if (!image.isNull())
        image.fill(0xFF000000);  // black, as a new bitmap is
    return image;
}

QImage NewMonoImage(int width, int height)
{
    QImage image(width, height, QImage::Format_Mono);
    if (!image.isNull()) {
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        image.fill(0);
    }
    return image;
}

// Black and white by brightness, index 0 black and 1 white. Qt's own conversion to Format_Mono may order
// its colour table the other way round, so the indices are set here.
QImage ThresholdToMono(const QImage& colour)
{
    QImage mono = NewMonoImage(colour.width(), colour.height());
    for (int y = 0; y < colour.height(); ++y)
        for (int x = 0; x < colour.width(); ++x)
            if (qGray(colour.pixel(x, y)) >= 128)
                mono.setPixel(x, y, 1);
    return mono;
}

template <class T> T* MakeStock()
{
    auto* object = new T;
    object->Stock = true;
    RegisterObject(object);
    return object;
}

BitmapObject* StockBitmap()
{
    static BitmapObject* bitmap = [] {
        auto* b = MakeStock<BitmapObject>();
        b->Image = NewMonoImage(1, 1);
        return b;
    }();
    return bitmap;
}

void InitState(DcState& s, bool memory)
{
    s = DcState{};
    s.Pen = static_cast<PenObject*>(GetStockObject(BLACK_PEN));
    s.Brush = static_cast<BrushObject*>(GetStockObject(WHITE_BRUSH));
    // The GUI font rather than the bold system font: nothing in this program wants the latter.
    s.Font = StockFont(DEFAULT_GUI_FONT);
    s.Bitmap = memory ? StockBitmap() : nullptr;
    RetainState(s);
}

HDC NewDC(bool memory)
{
    auto* dc = new DeviceContext;
    dc->Memory = memory;
    InitState(dc->State, memory);
    Dcs().insert(dc);
    return dc;
}

void FreeDC(DeviceContext* dc)
{
    for (const DcState& s : dc->Saved)
        ReleaseState(s, dc);
    ReleaseState(dc->State, dc);
    Dcs().erase(dc);
    delete dc;
}

int RegionKind(const QRegion& region)
{
    if (region.isEmpty())
        return NULLREGION;
    return region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// The device-coordinate extent of the surface, the implicit clip when a DC has no clip region.
// The outline DC reaches over every screen there may be.
const QRect DesktopExtent(-32768, -32768, 65536, 65536);

QRegion DeviceExtent(DeviceContext& dc)
{
    if (dc.DesktopOutline)
        return QRegion(DesktopExtent);
    QImage* surface = dc.Surface();
    if (!surface)
        return {};
    return QRegion(QRect(-dc.Origin.x, -dc.Origin.y, surface->width(), surface->height()));
}

QRect LogicalRectToDevice(const DeviceContext& dc, int left, int top, int right, int bottom)
{
    const int dx = dc.State.ViewportOrg.x - dc.State.WindowOrg.x;
    const int dy = dc.State.ViewportOrg.y - dc.State.WindowOrg.y;
    return ToQRect(RECT{left + dx, top + dy, right + dx, bottom + dy});
}

QRect LogicalRectToImage(const DeviceContext& dc, int left, int top, int right, int bottom)
{
    return LogicalRectToDevice(dc, left, top, right, bottom).translated(dc.Origin.x, dc.Origin.y);
}

QRgb ToOpaqueRgb(COLORREF color) { return qRgb(GetRValue(color), GetGValue(color), GetBValue(color)); }

// Calls f(x, y, pixel&) for every 32-bit pixel of region (image coordinates) on a 32-bit or mono surface.
template <class F> void ForEachPixel(DeviceContext& dc, const QRegion& region, F f)
{
    QImage* surface = dc.Surface();
    if (!surface || region.isEmpty())
        return;
    const bool mono = surface->format() == QImage::Format_Mono;
    QImage converted;
    QImage* work = surface;
    if (mono || (surface->format() != QImage::Format_RGB32 && surface->format() != QImage::Format_ARGB32 &&
                 surface->format() != QImage::Format_ARGB32_Premultiplied)) {
        converted = surface->convertToFormat(QImage::Format_ARGB32);
        work = &converted;
    }
    const bool premultiplied = work->format() == QImage::Format_ARGB32_Premultiplied;
    for (const QRect& r : region.intersected(work->rect())) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(work->scanLine(y));
            for (int x = r.left(); x <= r.right(); ++x) {
                QRgb pixel = premultiplied ? qUnpremultiply(line[x]) : line[x];
                f(x, y, pixel);
                line[x] = premultiplied ? qPremultiply(pixel) : pixel;
            }
        }
    }
    if (work == &converted) {
        *surface = mono ? ThresholdToMono(converted) : converted.convertToFormat(surface->format());
    }
}

// The colour a brush gives at image pixel (x, y) under the DC's colours and brush origin.
class BrushSampler {
public:
    BrushSampler(DeviceContext& dc, BrushObject* brush) : FBrush(brush)
    {
        if (!brush)
            return;
        if (brush->Log.lbStyle == BS_PATTERN && !brush->Pattern.isNull()) {
            FPattern = brush->Pattern.format() == QImage::Format_Mono
                           ? MonoToColor(brush->Pattern, dc.State.TextColor, dc.State.BkColor)
                           : brush->Pattern.convertToFormat(QImage::Format_ARGB32);
            FOriginX = dc.Origin.x + dc.State.BrushOrg.x;
            FOriginY = dc.Origin.y + dc.State.BrushOrg.y;
        } else {
            COLORREF color = brush->SysColorIndex >= 0 ? GetSysColor(brush->SysColorIndex) : brush->Log.lbColor;
            FSolid = ToOpaqueRgb(color);
        }
    }
    bool IsNull() const { return !FBrush || FBrush->Log.lbStyle == BS_NULL; }
    QRgb At(int x, int y) const
    {
        if (FPattern.isNull())
            return FSolid;
        const int w = FPattern.width();
        const int h = FPattern.height();
        const int px = ((x - FOriginX) % w + w) % w;
        const int py = ((y - FOriginY) % h + h) % h;
        return FPattern.pixel(px, py) | 0xFF000000;
    }
    static QImage MonoToColor(const QImage& mono, COLORREF zeroColor, COLORREF oneColor)
    {
        QImage out(mono.size(), QImage::Format_ARGB32);
        const QRgb zero = ToOpaqueRgb(zeroColor);
        const QRgb one = ToOpaqueRgb(oneColor);
        for (int y = 0; y < mono.height(); ++y)
            for (int x = 0; x < mono.width(); ++x)
                out.setPixel(x, y, mono.pixelIndex(x, y) ? one : zero);
        return out;
    }

private:
    BrushObject* FBrush;
    QImage FPattern;
    QRgb FSolid = 0xFF000000;
    int FOriginX = 0;
    int FOriginY = 0;
};

// Bresenham from a to b; the end point itself is left out, as the platform's lines do.
void LinePoints(QPoint a, QPoint b, QPolygon& out)
{
    int x = a.x();
    int y = a.y();
    const int dx = std::abs(b.x() - x);
    const int dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1;
    const int sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    while (x != b.x() || y != b.y()) {
        out << QPoint(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

bool PenIsNull(const PenObject* pen) { return !pen || pen->Log.lopnStyle == PS_NULL; }

// Draws the pen along points (image coordinates), segment by segment without their end points.
void StrokePath(DeviceContext& dc, const std::vector<QPoint>& points, bool closed)
{
    PenObject* pen = dc.State.Pen;
    if (PenIsNull(pen) || points.size() < 2)
        return;
    SurfacePainter sp(dc);
    if (!sp.IsActive())
        return;
    QPainter& p = sp.Painter();
    const QColor color = ToQColor(pen->Log.lopnColor);
    if (pen->Log.lopnWidth.x > 1) {
        QPen qpen(color, pen->Log.lopnWidth.x, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(qpen);
        p.setBrush(Qt::NoBrush);
        QPolygon poly;
        for (const QPoint& pt : points)
            poly << pt;
        if (closed)
            p.drawPolygon(poly);
        else
            p.drawPolyline(poly);
        return;
    }
    QPolygon pixels;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        LinePoints(points[i], points[i + 1], pixels);
    if (closed)
        LinePoints(points.back(), points.front(), pixels);
    if (pen->Log.lopnStyle == PS_DOT || pen->Log.lopnStyle == PS_DASH) {
        const int on = pen->Log.lopnStyle == PS_DOT ? 1 : 3;
        QPolygon dotted;
        for (int i = 0; i < pixels.size(); ++i)
            if ((i / on) % 2 == 0)
                dotted << pixels[i];
        pixels = dotted;
    }
    p.setPen(QPen(color, 1));
    p.drawPoints(pixels);
}

std::vector<QPoint> ToImagePoints(const DeviceContext& dc, const POINT* points, int count)
{
    std::vector<QPoint> out;
    out.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        out.push_back(LogicalToImage(dc, points[i].x, points[i].y));
    return out;
}

// The pixels of a source rectangle as a 32-bit image in the destination's terms: monochrome sources take
// the destination's text (0) and background (1) colours. Null when the source is unusable.
QImage SourcePixels(DeviceContext& src, DeviceContext& dst, int x, int y, int width, int height)
{
    QImage* surface = src.Surface();
    if (!surface || width <= 0 || height <= 0)
        return {};
    const QPoint at = LogicalToImage(src, x, y);
    QImage part = surface->copy(QRect(at, QSize(width, height)));  // outside the surface reads as 0
    if (part.format() == QImage::Format_Mono) {
        QImage* target = dst.Surface();
        if (target && target->format() == QImage::Format_Mono)
            return part.convertToFormat(QImage::Format_ARGB32);
        return BrushSampler::MonoToColor(part, dst.State.TextColor, dst.State.BkColor);
    }
    QImage out = part.convertToFormat(QImage::Format_ARGB32);
    QImage* target = dst.Surface();
    if (target && target->format() == QImage::Format_Mono) {
        // Colour to monochrome: the source's background colour becomes white, everything else black.
        const QRgb bk = ToOpaqueRgb(src.State.BkColor);
        for (int yy = 0; yy < out.height(); ++yy)
            for (int xx = 0; xx < out.width(); ++xx)
                out.setPixel(xx, yy, (out.pixel(xx, yy) | 0xFF000000) == bk ? 0xFFFFFFFF : 0xFF000000);
    }
    return out;
}

// Sets the fourth byte of every pixel. Bitmap bits written directly often leave it 0, and drawn as alpha
// that would turn their colours black wherever the copy is scaled or lands on an opaque surface.
void MakeOpaque(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] |= 0xFF000000;
    }
}

// Combines a prepared source image at image position at with the destination by a raster operation.
bool CombineSource(DeviceContext& dst, QPoint at, const QImage& source, DWORD rop)
{
    const QRegion clip = EffectiveClip(dst).intersected(QRect(at, source.size()));
    if (rop == SRCCOPY) {
        SurfacePainter sp(dst);
        if (!sp.IsActive())
            return false;
        sp.Painter().setCompositionMode(QPainter::CompositionMode_Source);
        sp.Painter().drawImage(at, source);
        return true;
    }
    BrushSampler brush(dst, dst.State.Brush);
    ForEachPixel(dst, clip, [&](int x, int y, QRgb& pixel) {
        const QRgb s = source.pixel(x - at.x(), y - at.y()) & 0xFFFFFF;
        const QRgb d = pixel & 0xFFFFFF;
        QRgb r = d;
        switch (rop) {
        case SRCPAINT: r = s | d; break;
        case SRCAND: r = s & d; break;
        case SRCINVERT: r = s ^ d; break;
        case NOTSRCCOPY: r = ~s & 0xFFFFFF; break;
        case PATINVERT: r = (brush.At(x, y) & 0xFFFFFF) ^ d; break;
        case PATCOPY: r = brush.At(x, y) & 0xFFFFFF; break;
        case DSTINVERT: r = ~d & 0xFFFFFF; break;
        case BLACKNESS: r = 0; break;
        case WHITENESS: r = 0xFFFFFF; break;
        default: break;
        }
        pixel = 0xFF000000 | r;
    });
    return true;
}

bool KnownRop(DWORD rop)
{
    switch (rop) {
    case SRCCOPY:
    case SRCPAINT:
    case SRCAND:
    case SRCINVERT:
    case NOTSRCCOPY:
    case DSTINVERT:
    case PATCOPY:
    case PATINVERT:
    case BLACKNESS:
    case WHITENESS: return true;
    default: return false;
    }
}

}  // namespace

// ---- Shared helpers ---------------------------------------------------------------------------------------

void RegisterObject(GdiObject* object) { Objects().insert(object); }
bool IsLiveObject(const void* handle) { return handle && Objects().count(handle) != 0; }
bool IsLiveDC(const void* handle) { return handle && Dcs().count(handle) != 0; }
DeviceContext* ToDC(HDC dc) { return IsLiveDC(dc) ? dc : nullptr; }

BrushObject* ResolveBrush(HBRUSH brush)
{
    const auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value > 0 && value <= static_cast<std::uintptr_t>(SysColorCount))
        return SysColorBrushObject(static_cast<int>(value) - 1);
    return ObjectAs<BrushObject>(brush, OBJ_BRUSH);
}

QColor ToQColor(COLORREF color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }
COLORREF FromQRgb(QRgb rgb) { return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

QRect ToQRect(const RECT& rect)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return {};
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

QPoint LogicalToImage(const DeviceContext& dc, int x, int y)
{
    return QPoint(x - dc.State.WindowOrg.x + dc.State.ViewportOrg.x + dc.Origin.x,
                  y - dc.State.WindowOrg.y + dc.State.ViewportOrg.y + dc.Origin.y);
}

QRegion EffectiveClip(DeviceContext& dc)
{
    QImage* surface = dc.Surface();
    if (!surface && !dc.DesktopOutline)
        return {};
    QRegion clip(dc.DesktopOutline ? DesktopExtent : surface->rect());
    if (dc.SystemClip)
        clip &= *dc.SystemClip;
    if (dc.State.Clip)
        clip &= dc.State.Clip->translated(dc.Origin.x, dc.Origin.y);
    return clip;
}

SurfacePainter::SurfacePainter(DeviceContext& dc) : FSurface(dc.Surface())
{
    if (!FSurface || FSurface->isNull())
        return;
    FClip = EffectiveClip(dc);
    if (FClip.isEmpty())
        return;
    FMono = FSurface->format() == QImage::Format_Mono;
    QImage* target = FSurface;
    if (FMono) {
        FColorCopy = FSurface->convertToFormat(QImage::Format_RGB32);
        target = &FColorCopy;
    }
    FActive = FPainter.begin(target);
    if (!FActive)
        return;
    FPainter.setRenderHint(QPainter::Antialiasing, false);
    FPainter.setClipRegion(FClip);
}

SurfacePainter::~SurfacePainter()
{
    if (FActive)
        FPainter.end();
    if (FActive && FMono) {
        *FSurface = ThresholdToMono(FColorCopy);
    }
}

bool ApplyBrush(DeviceContext& dc, QPainter& painter, BrushObject* brush)
{
    if (!brush || brush->Log.lbStyle == BS_NULL) {
        painter.setBrush(Qt::NoBrush);
        return false;
    }
    if (brush->Log.lbStyle == BS_PATTERN && !brush->Pattern.isNull()) {
        QImage tile = brush->Pattern.format() == QImage::Format_Mono
                          ? BrushSampler::MonoToColor(brush->Pattern, dc.State.TextColor, dc.State.BkColor)
                          : brush->Pattern.convertToFormat(QImage::Format_RGB32);
        painter.setBrush(QBrush(tile));
        painter.setBrushOrigin(dc.Origin.x + dc.State.BrushOrg.x, dc.Origin.y + dc.State.BrushOrg.y);
        return true;
    }
    const COLORREF color = brush->SysColorIndex >= 0 ? GetSysColor(brush->SysColorIndex) : brush->Log.lbColor;
    if (brush->Log.lbStyle == BS_HATCHED) {
        static constexpr std::array<Qt::BrushStyle, 6> styles{Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                              Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        const auto hatch = static_cast<std::size_t>(brush->Log.lbHatch);
        painter.setBrush(QBrush(ToQColor(color), hatch < styles.size() ? styles[hatch] : Qt::FDiagPattern));
        painter.setBrushOrigin(dc.Origin.x + dc.State.BrushOrg.x, dc.Origin.y + dc.State.BrushOrg.y);
        return true;
    }
    painter.setBrush(QBrush(ToQColor(color)));
    return true;
}

void FillImageRegion(DeviceContext& dc, const QRegion& region, BrushObject* brush)
{
    if (!brush || brush->Log.lbStyle == BS_NULL || region.isEmpty())
        return;
    SurfacePainter sp(dc);
    if (!sp.IsActive())
        return;
    QPainter& p = sp.Painter();
    p.setClipRegion(sp.Clip().intersected(region));
    if (brush->Log.lbStyle == BS_HATCHED && dc.State.BkMode == OPAQUE)
        p.fillRect(region.boundingRect(), ToQColor(dc.State.BkColor));  // clipped to the region above
    ApplyBrush(dc, p, brush);
    p.setPen(Qt::NoPen);
    for (const QRect& r : region.intersected(sp.Clip()))
        p.drawRect(r);
}

// ---- Image, screen and memory DCs -------------------------------------------------------------------------

HDC CreateImageDC(QImage& target, POINT origin, HRGN clip)
{
    HDC dc = NewDC(false);
    dc->Target = &target;
    dc->Origin = origin;
    SetImageDCClip(dc, clip);
    return dc;
}

void SetImageDCClip(HDC dc, HRGN clip)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return;
    if (auto* region = ObjectAs<RegionObject>(clip, OBJ_REGION))
        d->SystemClip = region->Region;
    else
        d->SystemClip.reset();
}

void DeleteImageDC(HDC dc)
{
    if (DeviceContext* d = ToDC(dc); d && !d->Memory)
        FreeDC(d);
}

HDC CreateScreenDC()
{
    HDC dc = NewDC(false);
    dc->ScreenSurface = QImage(1, 1, QImage::Format_RGB32);
    dc->ScreenSurface.fill(0xFFFFFFFF);
    dc->Target = &dc->ScreenSurface;
    return dc;
}

HDC CreateDesktopOutlineDC()
{
    HDC dc = NewDC(false);
    dc->DesktopOutline = true;
    return dc;
}

HDC CreateCompatibleDC(HDC dc)
{
    if (dc && !ToDC(dc))
        return nullptr;
    return NewDC(true);
}

BOOL DeleteDC(HDC dc)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return FALSE;
    FreeDC(d);
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height)
{
    if (width < 0 || height < 0 || (dc && !ToDC(dc)))
        return nullptr;
    if (width == 0 || height == 0)
        return StockBitmap();
    const bool mono = dc && dc->Memory && dc->State.Bitmap && dc->State.Bitmap->Monochrome();
    QImage image = mono ? NewMonoImage(width, height) : NewColorImage(width, height);
    if (image.isNull())
        return nullptr;
    auto* bitmap = new BitmapObject;
    bitmap->Image = std::move(image);
    RegisterObject(bitmap);
    return bitmap;
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (width <= 0 || height <= 0 || planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32))
        return nullptr;
    QImage image = bitsPerPixel == 1 ? NewMonoImage(width, height) : NewColorImage(width, height);
    if (image.isNull())
        return nullptr;
    if (bits) {
        const auto* src = static_cast<const std::uint8_t*>(bits);
        if (bitsPerPixel == 1) {
            const int stride = (width + 15) / 16 * 2;
            for (int y = 0; y < height; ++y)
                std::copy_n(src + static_cast<std::ptrdiff_t>(y) * stride, (width + 7) / 8, image.scanLine(y));
        } else {
            for (int y = 0; y < height; ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < width; ++x) {
                    const std::uint8_t* p = src + (static_cast<std::ptrdiff_t>(y) * width + x) * 4;
                    line[x] = qRgb(p[2], p[1], p[0]);
                }
            }
        }
    }
    auto* bitmap = new BitmapObject;
    bitmap->Image = std::move(image);
    RegisterObject(bitmap);
    return bitmap;
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    LOGPEN log;
    log.lopnStyle = static_cast<UINT>(style);
    log.lopnWidth.x = width;
    log.lopnColor = color;
    return CreatePenIndirect(log);
}

HPEN CreatePenIndirect(const LOGPEN& pen)
{
    auto* object = new PenObject;
    object->Log = pen;
    if (object->Log.lopnWidth.x < 0)
        object->Log.lopnWidth.x = 0;
    RegisterObject(object);
    return object;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    LOGBRUSH log;
    log.lbColor = color;
    return CreateBrushIndirect(log);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color)
{
    LOGBRUSH log;
    log.lbStyle = BS_HATCHED;
    log.lbColor = color;
    log.lbHatch = static_cast<std::uintptr_t>(hatch);
    return CreateBrushIndirect(log);
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
    LOGBRUSH log;
    log.lbStyle = BS_PATTERN;
    log.lbHatch = reinterpret_cast<std::uintptr_t>(bitmap);
    return CreateBrushIndirect(log);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH& brush)
{
    QImage pattern;
    if (brush.lbStyle == BS_PATTERN) {
        auto* bitmap = ObjectAs<BitmapObject>(reinterpret_cast<HGDIOBJ>(brush.lbHatch), OBJ_BITMAP);
        if (!bitmap || bitmap->Image.isNull())
            return nullptr;
        pattern = bitmap->Image.copy();  // the brush keeps its own copy; the bitmap may go
    } else if (brush.lbStyle != BS_SOLID && brush.lbStyle != BS_NULL && brush.lbStyle != BS_HATCHED) {
        return nullptr;
    }
    auto* object = new BrushObject;
    object->Log = brush;
    if (brush.lbStyle == BS_PATTERN)
        object->Log.lbHatch = 0;
    object->Pattern = std::move(pattern);
    RegisterObject(object);
    return object;
}

HFONT CreateFontIndirect(const LOGFONT& font)
{
    auto* object = new FontObject;
    object->Log = font;
    object->Font = RealizeFont(font);
    RegisterObject(object);
    return object;
}

HFONT CreateVerticalFont(HFONT font)
{
    auto* source = ObjectAs<FontObject>(font, OBJ_FONT);
    if (!source)
        return nullptr;
    LOGFONT log = source->Log;
    log.lfEscapement = 2700;
    log.lfOrientation = 2700;
    return CreateFontIndirect(log);
}

FontObject* StockFont(int index)
{
    static FontObject* gui = [] {
        auto* f = MakeStock<FontObject>();
        f->Log.lfHeight = -11;
        f->Log.lfFaceName = "MS Sans Serif";
        f->Font = RealizeFont(f->Log);
        return f;
    }();
    static FontObject* system = [] {
        auto* f = MakeStock<FontObject>();
        f->Log.lfHeight = 16;
        f->Log.lfWeight = FW_BOLD;
        f->Log.lfFaceName = "System";
        f->Font = RealizeFont(f->Log);
        return f;
    }();
    return index == SYSTEM_FONT ? system : gui;
}

HGDIOBJ GetStockObject(int index)
{
    auto brush = [](COLORREF color, UINT style) {
        auto* b = MakeStock<BrushObject>();
        b->Log.lbStyle = style;
        b->Log.lbColor = color;
        return b;
    };
    auto pen = [](COLORREF color, UINT style) {
        auto* p = MakeStock<PenObject>();
        p->Log.lopnStyle = style;
        p->Log.lopnColor = color;
        p->Log.lopnWidth.x = 1;
        return p;
    };
    static GdiObject* white = brush(RGB(255, 255, 255), BS_SOLID);
    static GdiObject* ltgray = brush(RGB(192, 192, 192), BS_SOLID);
    static GdiObject* gray = brush(RGB(128, 128, 128), BS_SOLID);
    static GdiObject* dkgray = brush(RGB(64, 64, 64), BS_SOLID);
    static GdiObject* black = brush(RGB(0, 0, 0), BS_SOLID);
    static GdiObject* nullBrush = brush(0, BS_NULL);
    static GdiObject* whitePen = pen(RGB(255, 255, 255), PS_SOLID);
    static GdiObject* blackPen = pen(RGB(0, 0, 0), PS_SOLID);
    static GdiObject* nullPen = pen(0, PS_NULL);
    switch (index) {
    case WHITE_BRUSH: return white;
    case LTGRAY_BRUSH: return ltgray;
    case GRAY_BRUSH: return gray;
    case DKGRAY_BRUSH: return dkgray;
    case BLACK_BRUSH: return black;
    case NULL_BRUSH: return nullBrush;
    case WHITE_PEN: return whitePen;
    case BLACK_PEN: return blackPen;
    case NULL_PEN: return nullPen;
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT: return StockFont(index);
    default: return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (!IsLiveObject(object))
        return FALSE;
    if (object->Stock)
        return TRUE;
    if (object->Selections > 0) {
        object->DeletePending = true;  // freed when the last DC lets go of it
        return TRUE;
    }
    FreeObject(object);
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ object) { return IsLiveObject(object) ? object->Type : 0; }

DWORD GetObjectType(HDC dc)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return 0;
    return d->Memory ? OBJ_MEMDC : OBJ_DC;
}

bool GetObject(HGDIOBJ font, LOGFONT& out)
{
    auto* f = ObjectAs<FontObject>(font, OBJ_FONT);
    if (!f)
        return false;
    out = f->Log;
    return true;
}

bool GetObject(HGDIOBJ pen, LOGPEN& out)
{
    auto* p = ObjectAs<PenObject>(pen, OBJ_PEN);
    if (!p)
        return false;
    out = p->Log;
    return true;
}

bool GetObject(HGDIOBJ brush, LOGBRUSH& out)
{
    auto* b = ObjectAs<BrushObject>(brush, OBJ_BRUSH);
    if (!b)
        return false;
    out = b->Log;
    if (b->SysColorIndex >= 0)
        out.lbColor = GetSysColor(b->SysColorIndex);
    return true;
}

bool GetObject(HGDIOBJ bitmap, BITMAP& out)
{
    auto* b = ObjectAs<BitmapObject>(bitmap, OBJ_BITMAP);
    if (!b)
        return false;
    out = BITMAP{};
    out.bmWidth = b->Image.width();
    out.bmHeight = b->Image.height();
    if (b->Monochrome()) {
        out.bmBitsPixel = 1;
        out.bmWidthBytes = (out.bmWidth + 15) / 16 * 2;
    } else {
        out.bmBitsPixel = 32;
        out.bmWidthBytes = out.bmWidth * 4;
        out.bmBits = b->Image.bits();
    }
    return true;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !IsLiveObject(object))
        return nullptr;
    DcState& s = d->State;
    auto swap = [&](auto*& slot, auto* next) -> HGDIOBJ {
        auto* previous = slot;
        Retain(next);
        slot = next;
        Release(previous, d);
        return previous;
    };
    switch (object->Type) {
    case OBJ_PEN: return swap(s.Pen, static_cast<PenObject*>(object));
    case OBJ_BRUSH: return swap(s.Brush, static_cast<BrushObject*>(object));
    case OBJ_FONT: return swap(s.Font, static_cast<FontObject*>(object));
    case OBJ_BITMAP: {
        auto* bitmap = static_cast<BitmapObject*>(object);
        if (!d->Memory)
            return nullptr;
        if (bitmap->SelectedInto && bitmap->SelectedInto != d && !bitmap->Stock)
            return nullptr;  // a bitmap lives in one DC at a time
        if (!bitmap->Stock)
            bitmap->SelectedInto = d;
        return swap(s.Bitmap, bitmap);
    }
    case OBJ_REGION: return reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(SelectClipRgn(dc, object)));
    default: return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return nullptr;
    switch (type) {
    case OBJ_PEN: return d->State.Pen;
    case OBJ_BRUSH: return d->State.Brush;
    case OBJ_FONT: return d->State.Font;
    case OBJ_BITMAP: return d->State.Bitmap;
    default: return nullptr;
    }
}

QImage* GetBitmapImage(HBITMAP bitmap)
{
    auto* b = ObjectAs<BitmapObject>(bitmap, OBJ_BITMAP);
    return b ? &b->Image : nullptr;
}

QFont GetRealizedFont(HFONT font)
{
    auto* f = ObjectAs<FontObject>(font, OBJ_FONT);
    return f ? f->Font : StockFont(DEFAULT_GUI_FONT)->Font;
}

int GdiObjectCount() { return static_cast<int>(Objects().size()) - CountStock() + static_cast<int>(Dcs().size()); }

int GetDeviceCaps(HDC dc, int index)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return 0;
    switch (index) {
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case HORZRES: return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return GetSystemMetrics(SM_CYSCREEN);
    default: return 0;
    }
}

// ---- State ------------------------------------------------------------------------------------------------

int SaveDC(HDC dc)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return 0;
    RetainState(d->State);
    d->Saved.push_back(d->State);
    return static_cast<int>(d->Saved.size());
}

BOOL RestoreDC(HDC dc, int savedDC)
{
    DeviceContext* d = ToDC(dc);
    if (!d || savedDC == 0)
        return FALSE;
    const int count = static_cast<int>(d->Saved.size());
    const int level = savedDC < 0 ? count + savedDC + 1 : savedDC;
    if (level < 1 || level > count)
        return FALSE;
    ReleaseState(d->State, d);
    d->State = d->Saved[static_cast<std::size_t>(level - 1)];
    for (int i = level; i < count; ++i)
        ReleaseState(d->Saved[static_cast<std::size_t>(i)], d);
    d->Saved.resize(static_cast<std::size_t>(level - 1));
    if (d->State.Bitmap && !d->State.Bitmap->Stock)
        d->State.Bitmap->SelectedInto = d;
    return TRUE;
}

namespace {

BOOL SetPoint(HDC dc, POINT DcState::*member, int x, int y, POINT* previous, bool offset)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return FALSE;
    POINT& p = d->State.*member;
    if (previous)
        *previous = p;
    p = offset ? POINT{p.x + x, p.y + y} : POINT{x, y};
    return TRUE;
}

BOOL GetPoint(HDC dc, POINT DcState::*member, POINT* out)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !out)
        return FALSE;
    *out = d->State.*member;
    return TRUE;
}

template <class T> T Exchange(HDC dc, T DcState::*member, T value, T failure)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return failure;
    T previous = d->State.*member;
    d->State.*member = value;
    return previous;
}

template <class T> T Read(HDC dc, T DcState::*member, T failure)
{
    DeviceContext* d = ToDC(dc);
    return d ? d->State.*member : failure;
}

}  // namespace

BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* previous)
{
    return SetPoint(dc, &DcState::WindowOrg, x, y, previous, false);
}
BOOL GetWindowOrgEx(HDC dc, POINT* point) { return GetPoint(dc, &DcState::WindowOrg, point); }
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous)
{
    return SetPoint(dc, &DcState::ViewportOrg, x, y, previous, false);
}
BOOL GetViewportOrgEx(HDC dc, POINT* point) { return GetPoint(dc, &DcState::ViewportOrg, point); }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* previous)
{
    return SetPoint(dc, &DcState::WindowOrg, dx, dy, previous, true);
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* previous)
{
    return SetPoint(dc, &DcState::ViewportOrg, dx, dy, previous, true);
}
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* previous)
{
    return SetPoint(dc, &DcState::BrushOrg, x, y, previous, false);
}
BOOL GetBrushOrgEx(HDC dc, POINT* point) { return GetPoint(dc, &DcState::BrushOrg, point); }
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous)
{
    return SetPoint(dc, &DcState::CurrentPos, x, y, previous, false);
}
BOOL GetCurrentPositionEx(HDC dc, POINT* point) { return GetPoint(dc, &DcState::CurrentPos, point); }

BOOL LPtoDP(HDC dc, POINT* points, int count)
{
    DeviceContext* d = ToDC(dc);
    if (!d || (!points && count > 0))
        return FALSE;
    for (int i = 0; i < count; ++i) {
        points[i].x += d->State.ViewportOrg.x - d->State.WindowOrg.x;
        points[i].y += d->State.ViewportOrg.y - d->State.WindowOrg.y;
    }
    return TRUE;
}

BOOL DPtoLP(HDC dc, POINT* points, int count)
{
    DeviceContext* d = ToDC(dc);
    if (!d || (!points && count > 0))
        return FALSE;
    for (int i = 0; i < count; ++i) {
        points[i].x -= d->State.ViewportOrg.x - d->State.WindowOrg.x;
        points[i].y -= d->State.ViewportOrg.y - d->State.WindowOrg.y;
    }
    return TRUE;
}

COLORREF SetTextColor(HDC dc, COLORREF color)
{
    return Exchange(dc, &DcState::TextColor, color & 0xFFFFFF, CLR_INVALID);
}
COLORREF GetTextColor(HDC dc) { return Read(dc, &DcState::TextColor, CLR_INVALID); }
COLORREF SetBkColor(HDC dc, COLORREF color) { return Exchange(dc, &DcState::BkColor, color & 0xFFFFFF, CLR_INVALID); }
COLORREF GetBkColor(HDC dc) { return Read(dc, &DcState::BkColor, CLR_INVALID); }

int SetBkMode(HDC dc, int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return Exchange(dc, &DcState::BkMode, mode, 0);
}

int GetBkMode(HDC dc) { return Read(dc, &DcState::BkMode, 0); }
UINT SetTextAlign(HDC dc, UINT align) { return Exchange(dc, &DcState::TextAlign, align, GDI_ERROR); }
UINT GetTextAlign(HDC dc) { return Read(dc, &DcState::TextAlign, GDI_ERROR); }

int SetPolyFillMode(HDC dc, int mode)
{
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    return Exchange(dc, &DcState::PolyFillMode, mode, 0);
}

int SetStretchBltMode(HDC dc, int mode)
{
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return Exchange(dc, &DcState::StretchMode, mode, 0);
}

// ---- Clipping ---------------------------------------------------------------------------------------------

namespace {

int ClipResult(DeviceContext& dc) { return RegionKind(EffectiveClip(dc)); }

}  // namespace

int SelectClipRgn(HDC dc, HRGN region) { return ExtSelectClipRgn(dc, region, RGN_COPY); }

int ExtSelectClipRgn(HDC dc, HRGN region, int mode)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return ERROR;
    auto* r = ObjectAs<RegionObject>(region, OBJ_REGION);
    if (!r) {
        if (region || mode != RGN_COPY)
            return ERROR;
        d->State.Clip.reset();
        return ClipResult(*d);
    }
    const QRegion current = d->State.Clip ? *d->State.Clip : DeviceExtent(*d);
    switch (mode) {
    case RGN_COPY: d->State.Clip = r->Region; break;
    case RGN_AND: d->State.Clip = current & r->Region; break;
    case RGN_OR: d->State.Clip = current | r->Region; break;
    case RGN_XOR: d->State.Clip = current ^ r->Region; break;
    case RGN_DIFF: d->State.Clip = current - r->Region; break;
    default: return ERROR;
    }
    return ClipResult(*d);
}

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return ERROR;
    const QRect rect = LogicalRectToDevice(*d, left, top, right, bottom);
    d->State.Clip = d->State.Clip ? d->State.Clip->intersected(rect) : QRegion(rect);
    return ClipResult(*d);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return ERROR;
    const QRect rect = LogicalRectToDevice(*d, left, top, right, bottom);
    const QRegion current = d->State.Clip ? *d->State.Clip : DeviceExtent(*d);
    d->State.Clip = current.subtracted(rect);
    return ClipResult(*d);
}

int OffsetClipRgn(HDC dc, int dx, int dy)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return ERROR;
    if (d->State.Clip)
        d->State.Clip->translate(dx, dy);
    return ClipResult(*d);
}

int GetClipBox(HDC dc, RECT* rect)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !rect)
        return ERROR;
    const QRegion clip = EffectiveClip(*d);
    const QRect box = clip.boundingRect();
    *rect = RECT{};
    if (!clip.isEmpty()) {
        const int dx = d->Origin.x + d->State.ViewportOrg.x - d->State.WindowOrg.x;
        const int dy = d->Origin.y + d->State.ViewportOrg.y - d->State.WindowOrg.y;
        *rect = RECT{box.left() - dx, box.top() - dy, box.right() + 1 - dx, box.bottom() + 1 - dy};
    }
    return RegionKind(clip);
}

int GetClipRgn(HDC dc, HRGN region)
{
    DeviceContext* d = ToDC(dc);
    auto* r = ObjectAs<RegionObject>(region, OBJ_REGION);
    if (!d || !r)
        return -1;
    if (!d->State.Clip)
        return 0;
    r->Region = *d->State.Clip;
    return 1;
}

BOOL RectVisible(HDC dc, const RECT* rect)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !rect)
        return FALSE;
    return EffectiveClip(*d).intersects(LogicalRectToImage(*d, rect->left, rect->top, rect->right, rect->bottom))
               ? TRUE
               : FALSE;
}

BOOL PtVisible(HDC dc, int x, int y)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return FALSE;
    return EffectiveClip(*d).contains(LogicalToImage(*d, x, y)) ? TRUE : FALSE;
}

// ---- Regions ----------------------------------------------------------------------------------------------

namespace {

HRGN NewRegion(QRegion region)
{
    auto* r = new RegionObject;
    r->Region = std::move(region);
    RegisterObject(r);
    return r;
}

RegionObject* AsRegion(HRGN region) { return ObjectAs<RegionObject>(region, OBJ_REGION); }

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    // The platform orders the corners itself.
    return NewRegion(QRegion(
        ToQRect(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)})));
}

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom)
{
    const QRect box =
        ToQRect(RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
    return NewRegion(box.isEmpty() ? QRegion() : QRegion(box, QRegion::Ellipse));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    if (!points || count < 0 || (fillMode != ALTERNATE && fillMode != WINDING))
        return nullptr;
    QPolygon polygon;
    for (int i = 0; i < count; ++i)
        polygon << QPoint(points[i].x, points[i].y);
    return NewRegion(count < 3 ? QRegion() : QRegion(polygon, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

HRGN CreateNullRegion() { return NewRegion(QRegion()); }

int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode)
{
    RegionObject* dst = AsRegion(destination);
    RegionObject* a = AsRegion(source1);
    if (!dst || !a)
        return ERROR;
    if (mode == RGN_COPY) {
        dst->Region = a->Region;
        return RegionKind(dst->Region);
    }
    RegionObject* b = AsRegion(source2);
    if (!b)
        return ERROR;
    switch (mode) {
    case RGN_AND: dst->Region = a->Region & b->Region; break;
    case RGN_OR: dst->Region = a->Region | b->Region; break;
    case RGN_XOR: dst->Region = a->Region ^ b->Region; break;
    case RGN_DIFF: dst->Region = a->Region - b->Region; break;
    default: return ERROR;
    }
    return RegionKind(dst->Region);
}

int OffsetRgn(HRGN region, int dx, int dy)
{
    RegionObject* r = AsRegion(region);
    if (!r)
        return ERROR;
    r->Region.translate(dx, dy);
    return RegionKind(r->Region);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom)
{
    RegionObject* r = AsRegion(region);
    if (!r)
        return FALSE;
    r->Region = QRegion(ToQRect(RECT{left, top, right, bottom}));
    return TRUE;
}

int GetRgnBox(HRGN region, RECT* rect)
{
    RegionObject* r = AsRegion(region);
    if (!r || !rect)
        return ERROR;
    const QRect box = r->Region.boundingRect();
    *rect = r->Region.isEmpty() ? RECT{} : RECT{box.left(), box.top(), box.right() + 1, box.bottom() + 1};
    return RegionKind(r->Region);
}

BOOL PtInRegion(HRGN region, int x, int y)
{
    RegionObject* r = AsRegion(region);
    return r && r->Region.contains(QPoint(x, y)) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN region, const RECT* rect)
{
    RegionObject* r = AsRegion(region);
    return r && rect && r->Region.intersects(ToQRect(*rect)) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    RegionObject* ra = AsRegion(a);
    RegionObject* rb = AsRegion(b);
    return ra && rb && ra->Region == rb->Region ? TRUE : FALSE;
}

namespace {

// A region given in device coordinates, moved to the image and clipped.
QRegion DeviceRegionToImage(DeviceContext& dc, const QRegion& region)
{
    return region.translated(dc.Origin.x, dc.Origin.y) & EffectiveClip(dc);
}

}  // namespace

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush)
{
    DeviceContext* d = ToDC(dc);
    RegionObject* r = AsRegion(region);
    BrushObject* b = ResolveBrush(brush);
    if (!d || !r || !b)
        return FALSE;
    FillImageRegion(*d, DeviceRegionToImage(*d, r->Region), b);
    return TRUE;
}

BOOL PaintRgn(HDC dc, HRGN region)
{
    DeviceContext* d = ToDC(dc);
    return d ? FillRgn(dc, region, d->State.Brush) : FALSE;
}

BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height)
{
    DeviceContext* d = ToDC(dc);
    RegionObject* r = AsRegion(region);
    BrushObject* b = ResolveBrush(brush);
    if (!d || !r || !b || width < 0 || height < 0)
        return FALSE;
    // The frame is the part of the region that the region shifted by up to width/height does not cover.
    QRegion inner = r->Region;
    for (int dx : {-width, width})
        inner &= r->Region.translated(dx, 0);
    for (int dy : {-height, height})
        inner &= r->Region.translated(0, dy);
    FillImageRegion(*d, DeviceRegionToImage(*d, r->Region - inner), b);
    return TRUE;
}

// ---- Drawing ----------------------------------------------------------------------------------------------

int FillRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    DeviceContext* d = ToDC(dc);
    BrushObject* b = ResolveBrush(brush);
    if (!d || !rect || !b)
        return FALSE;
    const QRect r = LogicalRectToImage(*d, rect->left, rect->top, rect->right, rect->bottom);
    FillImageRegion(*d, EffectiveClip(*d) & r, b);
    return TRUE;
}

int FrameRect(HDC dc, const RECT* rect, HBRUSH brush)
{
    DeviceContext* d = ToDC(dc);
    BrushObject* b = ResolveBrush(brush);
    if (!d || !rect || !b)
        return FALSE;
    const QRect r = LogicalRectToImage(*d, rect->left, rect->top, rect->right, rect->bottom);
    if (r.isEmpty())
        return TRUE;
    const QRegion frame = QRegion(r) - QRegion(r.adjusted(1, 1, -1, -1));
    FillImageRegion(*d, EffectiveClip(*d) & frame, b);
    return TRUE;
}

BOOL InvertRect(HDC dc, const RECT* rect)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !rect)
        return FALSE;
    const QRect r = LogicalRectToImage(*d, rect->left, rect->top, rect->right, rect->bottom);
    ForEachPixel(*d, EffectiveClip(*d) & r, [](int, int, QRgb& pixel) { pixel = 0xFF000000 | (~pixel & 0xFFFFFF); });
    return TRUE;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return FALSE;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    const bool nullPen = PenIsNull(d->State.Pen);
    // Without a pen the platform fills one pixel less to the right and bottom.
    const QRect fill = nullPen ? LogicalRectToImage(*d, left, top, right - 1, bottom - 1)
                               : LogicalRectToImage(*d, left, top, right, bottom);
    FillImageRegion(*d, EffectiveClip(*d) & fill, d->State.Brush);
    if (!nullPen && right - left > 0 && bottom - top > 0) {
        const int w = std::max<int>(1, d->State.Pen->Log.lopnWidth.x);
        const QRect outer = LogicalRectToImage(*d, left, top, right, bottom);
        const QRegion frame = QRegion(outer) - QRegion(outer.adjusted(w, w, -w, -w));
        BrushObject penBrush;
        penBrush.Log.lbColor = d->State.Pen->Log.lopnColor;
        if (d->State.Pen->Log.lopnStyle == PS_SOLID || d->State.Pen->Log.lopnStyle == PS_INSIDEFRAME || w > 1) {
            FillImageRegion(*d, EffectiveClip(*d) & frame, &penBrush);
        } else {
            const std::vector<QPoint> corners{outer.topLeft(), QPoint(outer.right(), outer.top()), outer.bottomRight(),
                                              QPoint(outer.left(), outer.bottom())};
            StrokePath(*d, corners, true);
        }
    }
    return TRUE;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return FALSE;
    const QRect r = LogicalRectToImage(*d, left, top, right, bottom);
    if (r.isEmpty())
        return TRUE;
    SurfacePainter sp(*d);
    if (!sp.IsActive())
        return TRUE;
    QPainter& p = sp.Painter();
    ApplyBrush(*d, p, d->State.Brush);
    if (PenIsNull(d->State.Pen))
        p.setPen(Qt::NoPen);
    else
        p.setPen(QPen(ToQColor(d->State.Pen->Log.lopnColor), std::max<int>(1, d->State.Pen->Log.lopnWidth.x)));
    p.drawRoundedRect(r.adjusted(0, 0, -1, -1), ellipseWidth / 2.0, ellipseHeight / 2.0, Qt::AbsoluteSize);
    return TRUE;
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return FALSE;
    const QRect r = LogicalRectToImage(*d, left, top, right, bottom);
    if (r.isEmpty())
        return TRUE;
    SurfacePainter sp(*d);
    if (!sp.IsActive())
        return TRUE;
    QPainter& p = sp.Painter();
    ApplyBrush(*d, p, d->State.Brush);
    if (PenIsNull(d->State.Pen))
        p.setPen(Qt::NoPen);
    else
        p.setPen(QPen(ToQColor(d->State.Pen->Log.lopnColor), std::max<int>(1, d->State.Pen->Log.lopnWidth.x)));
    p.drawEllipse(r.adjusted(0, 0, -1, -1));
    return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !points || count < 2)
        return FALSE;
    const std::vector<QPoint> pts = ToImagePoints(*d, points, count);
    if (d->State.Brush && d->State.Brush->Log.lbStyle != BS_NULL) {
        SurfacePainter sp(*d);
        if (sp.IsActive()) {
            QPainter& p = sp.Painter();
            ApplyBrush(*d, p, d->State.Brush);
            p.setPen(Qt::NoPen);
            QPolygon poly;
            for (const QPoint& pt : pts)
                poly << pt;
            p.drawPolygon(poly, d->State.PolyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        }
    }
    StrokePath(*d, pts, true);
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !points || count < 2)
        return FALSE;
    StrokePath(*d, ToImagePoints(*d, points, count), false);
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return FALSE;
    const POINT from = d->State.CurrentPos;
    StrokePath(*d, {LogicalToImage(*d, from.x, from.y), LogicalToImage(*d, x, y)}, false);
    d->State.CurrentPos = POINT{x, y};
    return TRUE;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return CLR_INVALID;
    const QPoint at = LogicalToImage(*d, x, y);
    if (!EffectiveClip(*d).contains(at))
        return CLR_INVALID;
    const QRgb value = ToOpaqueRgb(color);
    ForEachPixel(*d, QRegion(QRect(at, QSize(1, 1))), [&](int, int, QRgb& pixel) { pixel = value; });
    return GetPixel(dc, x, y);
}

COLORREF GetPixel(HDC dc, int x, int y)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return CLR_INVALID;
    const QPoint at = LogicalToImage(*d, x, y);
    QImage* surface = d->Surface();
    if (!surface || !EffectiveClip(*d).contains(at))
        return CLR_INVALID;
    QRgb pixel = surface->pixel(at);
    if (surface->format() == QImage::Format_ARGB32_Premultiplied)
        pixel = qUnpremultiply(pixel);
    return FromQRgb(pixel);
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop)
{
    DeviceContext* d = ToDC(dc);
    if (!d || (rop != PATCOPY && rop != PATINVERT && rop != DSTINVERT && rop != BLACKNESS && rop != WHITENESS))
        return FALSE;
    // Negative extents count from the other side, as the platform's do.
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    const QRect r = LogicalRectToImage(*d, x, y, x + width, y + height);
    if (r.isEmpty())
        return TRUE;
    if (d->DesktopOutline) {
        // Only inversions show on the desktop, and whatever the brush, as the overlay's own pattern.
        if (rop == PATINVERT && d->State.Brush && d->State.Brush->Log.lbStyle != BS_NULL)
            InvertDesktopOutline(EffectiveClip(*d) & r);
        return TRUE;
    }
    if (rop == PATCOPY) {
        FillImageRegion(*d, EffectiveClip(*d) & r, d->State.Brush);
        return TRUE;
    }
    if (rop == PATINVERT && (!d->State.Brush || d->State.Brush->Log.lbStyle == BS_NULL))
        return TRUE;
    QImage empty(r.size(), QImage::Format_ARGB32);
    empty.fill(0);
    return CombineSource(*d, r.topLeft(), empty, rop) ? TRUE : FALSE;
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop)
{
    return StretchBlt(destination, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop)
{
    DeviceContext* dst = ToDC(destination);
    if (!dst || !KnownRop(rop))
        return FALSE;
    const bool needsSource =
        rop != PATCOPY && rop != PATINVERT && rop != DSTINVERT && rop != BLACKNESS && rop != WHITENESS;
    if (!needsSource)
        return PatBlt(destination, x, y, width, height, rop);
    DeviceContext* src = ToDC(source);
    if (!src)
        return FALSE;
    // Negative extents mirror the copy.
    const bool mirrorX = (width < 0) != (sourceWidth < 0);
    const bool mirrorY = (height < 0) != (sourceHeight < 0);
    if (width < 0) {
        x += width + 1;
        width = -width;
    }
    if (height < 0) {
        y += height + 1;
        height = -height;
    }
    if (sourceWidth < 0) {
        sourceX += sourceWidth + 1;
        sourceWidth = -sourceWidth;
    }
    if (sourceHeight < 0) {
        sourceY += sourceHeight + 1;
        sourceHeight = -sourceHeight;
    }
    if (width == 0 || height == 0)
        return TRUE;
    QImage pixels = SourcePixels(*src, *dst, sourceX, sourceY, sourceWidth, sourceHeight);
    if (pixels.isNull())
        return FALSE;
    // A 32-bit copy of the same size keeps all four bytes, as the platform's does; anything else copies colour.
    const bool scaled = pixels.width() != width || pixels.height() != height;
    if (scaled || !dst->Surface() || dst->Surface()->format() != QImage::Format_ARGB32)
        MakeOpaque(pixels);
    if (scaled)
        pixels = pixels.scaled(width, height, Qt::IgnoreAspectRatio,
                               dst->State.StretchMode == HALFTONE ? Qt::SmoothTransformation : Qt::FastTransformation);
    if (mirrorX || mirrorY)
        pixels = pixels.mirrored(mirrorX, mirrorY);
    return CombineSource(*dst, LogicalToImage(*dst, x, y), pixels, rop) ? TRUE : FALSE;
}

BOOL TransparentBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, COLORREF transparent)
{
    DeviceContext* dst = ToDC(destination);
    DeviceContext* src = ToDC(source);
    if (!dst || !src || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return FALSE;
    QImage pixels = SourcePixels(*src, *dst, sourceX, sourceY, sourceWidth, sourceHeight);
    if (pixels.isNull())
        return FALSE;
    const QRgb key = ToOpaqueRgb(transparent);
    for (int yy = 0; yy < pixels.height(); ++yy) {
        auto* line = reinterpret_cast<QRgb*>(pixels.scanLine(yy));
        for (int xx = 0; xx < pixels.width(); ++xx)
            line[xx] = (line[xx] | 0xFF000000) == key ? 0 : (line[xx] | 0xFF000000);
    }
    if (pixels.width() != width || pixels.height() != height)
        pixels = pixels.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    SurfacePainter sp(*dst);
    if (!sp.IsActive())
        return TRUE;
    sp.Painter().drawImage(LogicalToImage(*dst, x, y), pixels);
    return TRUE;
}

BOOL AlphaBlend(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, BLENDFUNCTION blend)
{
    DeviceContext* dst = ToDC(destination);
    DeviceContext* src = ToDC(source);
    if (!dst || !src || blend.BlendOp != AC_SRC_OVER || width <= 0 || height <= 0 || sourceWidth <= 0 ||
        sourceHeight <= 0)
        return FALSE;
    QImage* surface = src->Surface();
    if (!surface)
        return FALSE;
    const QPoint at = LogicalToImage(*src, sourceX, sourceY);
    QImage part = surface->copy(QRect(at, QSize(sourceWidth, sourceHeight)));
    if (blend.AlphaFormat & AC_SRC_ALPHA) {
        // The source holds premultiplied pixels in its 32 bits. A premultiplied surface already says so;
        // converting it to straight alpha first would premultiply it twice.
        if (part.format() != QImage::Format_ARGB32_Premultiplied) {
            part = part.convertToFormat(QImage::Format_ARGB32);
            part.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        }
    } else {
        part = part.convertToFormat(QImage::Format_RGB32);
    }
    SurfacePainter sp(*dst);
    if (!sp.IsActive())
        return TRUE;
    QPainter& p = sp.Painter();
    p.setOpacity(blend.SourceConstantAlpha / 255.0);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(QRect(LogicalToImage(*dst, x, y), QSize(width, height)), part);
    return TRUE;
}

COLORREF GetNearestColor(HDC dc, COLORREF color) { return ToDC(dc) ? (color & 0xFFFFFF) : CLR_INVALID; }

BOOL StretchRgbaPixels(HDC dc, const RECT& dest, int width, int height, std::span<const std::uint8_t> rgba)
{
    DeviceContext* d = ToDC(dc);
    if (!d || width <= 0 || height <= 0)
        return FALSE;
    const auto needed = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (rgba.size() < needed)
        return FALSE;
    const QImage image(rgba.data(), width, height, width * 4, QImage::Format_RGBA8888);  // borrowed, read only
    return StretchImage(dc, dest, image);
}

BOOL StretchImage(HDC dc, const RECT& dest, const QImage& image)
{
    DeviceContext* d = ToDC(dc);
    if (!d || image.isNull())
        return FALSE;
    const QRect r = LogicalRectToImage(*d, dest.left, dest.top, dest.right, dest.bottom);
    if (r.isEmpty())
        return TRUE;
    SurfacePainter sp(*d);
    if (!sp.IsActive())
        return TRUE;
    sp.Painter().setRenderHint(QPainter::SmoothPixmapTransform, d->State.StretchMode == HALFTONE);
    sp.Painter().drawImage(r, image);
    return TRUE;
}

void DrawMonoGlyph(HDC dc, std::span<const BYTE> rows, int x, int y, HBRUSH brush)
{
    DeviceContext* d = ToDC(dc);
    BrushObject* b = ResolveBrush(brush);
    if (!d || !b)
        return;
    const QPoint at = LogicalToImage(*d, x, y);
    QRegion glyph;
    for (std::size_t row = 0; row < rows.size(); ++row)
        for (int bit = 0; bit < 8; ++bit)
            if (rows[row] & (0x80 >> bit))
                glyph += QRect(at.x() + bit, at.y() + static_cast<int>(row), 1, 1);
    FillImageRegion(*d, glyph & EffectiveClip(*d), b);
}

void DrawMonoGlyph(HDC dc, HBITMAP mono, int x, int y, HBRUSH brush)
{
    DeviceContext* d = ToDC(dc);
    BrushObject* b = ResolveBrush(brush);
    auto* bitmap = ObjectAs<BitmapObject>(mono, OBJ_BITMAP);
    if (!d || !b || !bitmap || !bitmap->Monochrome())
        return;
    const QPoint at = LogicalToImage(*d, x, y);
    QRegion glyph;
    const QImage& image = bitmap->Image;
    for (int row = 0; row < image.height(); ++row) {
        int start = -1;
        for (int col = 0; col <= image.width(); ++col) {
            const bool ink = col < image.width() && image.pixelIndex(col, row) == 0;
            if (ink && start < 0)
                start = col;
            if (!ink && start >= 0) {
                glyph += QRect(at.x() + start, at.y() + row, col - start, 1);
                start = -1;
            }
        }
    }
    FillImageRegion(*d, glyph & EffectiveClip(*d), b);
}

}  // namespace ovrel::ui
