#include "themes/ThemeUtils.h"

#include "themes/Themes_p.h"

#include "toolbars/Common.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace ovrel::themes {

using namespace ovrel::toolkit;
using namespace ovrel::ui;
using detail::TOwnedObject;

namespace {

bool IsSystemColor(TColor color) { return (static_cast<std::uint32_t>(color) & 0x80000000u) != 0; }

TColor FromRGB(int r, int g, int b) { return static_cast<TColor>(RGB(r, g, b)); }

// A system colour's own brush (never freed) or a fresh solid brush, which the holder deletes.
class TColorBrush {
public:
    explicit TColorBrush(TColor color)
    {
        if (IsSystemColor(color))
            FBrush = GetSysColorBrush(static_cast<int>(static_cast<std::uint32_t>(color) & 0xFF));
        if (FBrush == nullptr) {
            FBrush = CreateSolidBrush(ResolveColor(color));
            FOwned = true;
        }
    }
    ~TColorBrush()
    {
        if (FOwned)
            DeleteObject(FBrush);
    }
    TColorBrush(const TColorBrush&) = delete;
    TColorBrush& operator=(const TColorBrush&) = delete;

    [[nodiscard]] HBRUSH Get() const { return FBrush; }

private:
    HBRUSH FBrush = nullptr;
    bool FOwned = false;
};

std::unique_ptr<TThemeWorkObjects>& WorkObjectsSlot()
{
    static std::unique_ptr<TThemeWorkObjects> objects;
    return objects;
}

}  // namespace

// ---- Colours ----------------------------------------------------------------------------------------------

COLORREF ResolveColor(TColor color)
{
    if (IsSystemColor(color))
        return GetSysColor(static_cast<int>(static_cast<std::uint32_t>(color) & 0xFF));
    return static_cast<COLORREF>(color);
}

TColor WeightedColor(TColor c1, TColor c2, int weight1)
{
    Assert(weight1 >= 0 && weight1 < 256, "WeightedColor: weight outside 0..255 (ThemeUtils)");
    const COLORREF a = ResolveColor(c1);
    const COLORREF b = ResolveColor(c2);
    const auto mix = [weight1](int x, int y) { return (x * weight1 + y * (255 - weight1)) / 256; };
    return FromRGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

TColor WeightedColorNearest(TColor c1, TColor c2, int weight1) { return WeightedColor(c1, c2, weight1); }

TColor LightenColor(TColor color, int amount)
{
    const COLORREF c = ResolveColor(color);
    const auto lighten = [amount](int channel) { return std::clamp(channel + amount, 0, 255); };
    return FromRGB(lighten(GetRValue(c)), lighten(GetGValue(c)), lighten(GetBValue(c)));
}

bool IsDarkColor(TColor color, int threshold)
{
    const COLORREF c = ResolveColor(color);
    return 76 * GetRValue(c) + 150 * GetGValue(c) + 30 * GetBValue(c) < threshold * 256;
}

std::uint32_t SwapRedBlue(std::uint32_t color)
{
    return (color & 0xFF00FF00u) | ((color & 0xFF) << 16) | ((color >> 16) & 0xFF);
}

// ---- Drawing primitives -----------------------------------------------------------------------------------

void DitherRect(TCanvas& canvas, const TRect& rect, TColor c1, TColor c2)
{
    const COLORREF a = ResolveColor(c1);
    const COLORREF b = ResolveColor(c2);
    std::array<std::uint8_t, 8 * 8 * 4> bits{};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const COLORREF c = (x + y) % 2 == 0 ? a : b;
            std::uint8_t* pixel = &bits[static_cast<std::size_t>((y * 8 + x) * 4)];
            pixel[0] = GetBValue(c);
            pixel[1] = GetGValue(c);
            pixel[2] = GetRValue(c);
            pixel[3] = 0xFF;
        }
    TOwnedObject pattern(CreateBitmap(8, 8, 1, 32, bits.data()));
    TOwnedObject brush(CreatePatternBrush(pattern.Get()));
    FillRect(canvas.GetHandle(), &rect, brush.Get());
}

void DrawEdgeColors(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight)
{
    TPen* pen = canvas.GetPen();
    pen->SetWidth(1);
    pen->SetStyle(psSolid);
    pen->SetColor(topLeft);
    const std::array<TPoint, 3> first{Point(rect.left, rect.bottom - 1), Point(rect.left, rect.top),
                                      Point(rect.right - 1, rect.top)};
    canvas.Polyline(first);
    pen->SetColor(bottomRight);
    const std::array<TPoint, 3> second{Point(rect.right - 1, rect.top), Point(rect.right - 1, rect.bottom - 1),
                                       Point(rect.left - 1, rect.bottom - 1)};
    canvas.Polyline(second);
    InflateRect(&rect, -1, -1);
}

bool FillRectColorDC(HDC dc, const TRect& rect, TColor color)
{
    if (color == clNone)
        return false;
    TColorBrush brush(color);
    FillRect(dc, &rect, brush.Get());
    return true;
}

bool FillRectColor(TCanvas& canvas, const TRect& rect, TColor color)
{
    if (color == clNone)
        return false;
    return FillRectColorDC(canvas.GetHandle(), rect, color);
}

bool FrameRectColor(TCanvas& canvas, TRect& rect, TColor color, bool shrink)
{
    const bool drawn = color != clNone;
    if (drawn) {
        TColorBrush brush(color);
        FrameRect(canvas.GetHandle(), &rect, brush.Get());
    }
    if (shrink)
        InflateRect(&rect, -1, -1);
    return drawn;
}

void DrawLineColor(TCanvas& canvas, int x1, int y1, int x2, int y2, TColor color)
{
    canvas.GetPen()->SetColor(color);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

void DrawDragFrame(HDC dc, const TRect* newRect, const TRect* oldRect)
{
    constexpr TSize FrameSize{3, 2};
    toolbars::DrawHalftoneDragRect(dc, newRect, oldRect, FrameSize, FrameSize);
}

// ---- Memory and controls ----------------------------------------------------------------------------------

// ---- Image effects ----------------------------------------------------------------------------------------

namespace {

// Marks the pixels of the image layer the image did not draw; 0x00RRGGBB like every work pixel.
constexpr std::uint32_t EffectKey = 0x203241;

std::uint32_t Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFFu; }

std::uint32_t Pack(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return (r << 16) | (g << 8) | b; }

void EnsureSize(TBitmap& bitmap, int width, int height)
{
    if (bitmap.GetWidth() < width || bitmap.GetHeight() < height)
        bitmap.SetSize(std::max(bitmap.GetWidth(), width), std::max(bitmap.GetHeight(), height));
}

// The frame every effect shares: the canvas under the area goes into the background bitmap, the image layer is
// prepared (the key colour, or a copy of the background), the image is drawn into it, combine(background pixel,
// layer pixel, background pixel before) writes each result into the background, which goes back to the canvas.
// Work pixels are taken as 24-bit values: a top byte set would read as a system colour.
template <class Combine>
void ImageEffect(TCanvas& canvas, const TRect& rect, const TCustomImageList* imageList, int imageIndex,
                 bool layerFromBackground, const Combine& combine)
{
    if (imageList == nullptr || imageIndex < 0 || imageIndex >= imageList->GetCount())
        return;
    const int width = std::min(imageList->GetWidth(), rect.right - rect.left);
    const int height = std::min(imageList->GetHeight(), rect.bottom - rect.top);
    if (width <= 0 || height <= 0)
        return;
    TThemeWorkObjects& objects = GetThemeWorkObjects();
    TBitmap& background = *objects.GetBackground();
    TBitmap& layer = *objects.GetImageLayer();
    EnsureSize(background, width, height);
    EnsureSize(layer, width, height);
    HDC backgroundDC = background.GetCanvas()->GetHandle();
    HDC layerDC = layer.GetCanvas()->GetHandle();
    BitBlt(backgroundDC, 0, 0, width, height, canvas.GetHandle(), rect.left, rect.top, SRCCOPY);
    if (layerFromBackground) {
        BitBlt(layerDC, 0, 0, width, height, backgroundDC, 0, 0, SRCCOPY);
    } else {
        const TRect area{0, 0, width, height};
        FillRectColorDC(layerDC, area, static_cast<TColor>(SwapRedBlue(EffectKey)));
    }
    imageList->Draw(layer.GetCanvas(), 0, 0, imageIndex, true);
    for (int y = 0; y < height; ++y) {
        auto* back = static_cast<std::uint32_t*>(background.GetScanLine(y));
        const auto* image = static_cast<const std::uint32_t*>(layer.GetScanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::uint32_t result = combine(back[x] & 0xFFFFFFu, image[x] & 0xFFFFFFu);
            back[x] = (back[x] & 0xFF000000u) | (result & 0xFFFFFFu);
        }
    }
    BitBlt(canvas.GetHandle(), rect.left, rect.top, width, height, backgroundDC, 0, 0, SRCCOPY);
}

}  // namespace

void DrawImageContrasted(TCanvas& canvas, const TRect& rect, const TCustomImageList* imageList, int imageIndex,
                         bool effect)
{
    if (!effect) {
        if (imageList != nullptr && imageIndex >= 0 && imageIndex < imageList->GetCount())
            imageList->Draw(&canvas, rect.left, rect.top, imageIndex, true);
        return;
    }
    ImageEffect(canvas, rect, imageList, imageIndex, false, [](std::uint32_t back, std::uint32_t pixel) {
        if (pixel == EffectKey)
            return back;
        const std::uint32_t l = 76 * Channel(pixel, 16) + 150 * Channel(pixel, 8) + 29 * Channel(pixel, 0);
        if (l > 0xFD00)
            pixel = 0;
        else if (l < 0x6400)
            pixel = 0xFFFFFF;
        // LightenColor works on 0x00BBGGRR colours.
        return SwapRedBlue(static_cast<std::uint32_t>(LightenColor(static_cast<TColor>(SwapRedBlue(pixel)), 32)));
    });
}

void DrawImageTinted(TCanvas& canvas, const TRect& rect, const TCustomImageList* imageList, int imageIndex,
                     TColor color, std::uint8_t weight)
{
    const std::uint32_t tint = SwapRedBlue(ResolveColor(color));
    ImageEffect(canvas, rect, imageList, imageIndex, false, [tint, weight](std::uint32_t back, std::uint32_t pixel) {
        if (pixel == EffectKey)
            return back;
        const auto mix = [&](int shift) {
            return (Channel(pixel, shift) * weight + Channel(tint, shift) * (255u - weight)) / 256;
        };
        return Pack(mix(16), mix(8), mix(0));
    });
}

void DrawImageShadow(TCanvas& canvas, const TRect& rect, const TCustomImageList* imageList, int imageIndex,
                     int strength)
{
    Assert(strength >= 0 && strength <= 2, "DrawImageShadow: strength outside 0..2 (ThemeUtils)");
    static constexpr std::uint32_t Divisor[3] = {3, 8, 20};
    static constexpr std::uint32_t Offset[3] = {170, 224, 243};
    const std::uint32_t d = Divisor[strength];
    const std::uint32_t o = Offset[strength];
    // The layer starts as the background itself: a pixel the image left alone still equals it.
    ImageEffect(canvas, rect, imageList, imageIndex, true, [d, o](std::uint32_t back, std::uint32_t pixel) {
        if (pixel == back)
            return back;
        const std::uint32_t l = (29 * Channel(pixel, 16) + 150 * Channel(pixel, 8) + 76 * Channel(pixel, 0)) / 256;
        const std::uint32_t f = l / d + o;
        return Pack(Channel(back, 16) * f / 256, Channel(back, 8) * f / 256, Channel(back, 0) * f / 256);
    });
}

void FillLongs(std::uint32_t* destination, int count, std::uint32_t value)
{
    if (count > 0)
        std::fill_n(destination, count, value);
}

void MoveLongs(const std::uint32_t* source, std::uint32_t* destination, int count)
{
    if (count > 0 && source != destination)
        std::memmove(destination, source, static_cast<std::size_t>(count) * sizeof(std::uint32_t));
}

TSize GetClientSizeOf(const TControl& control)
{
    // A multiple-document parent would answer its client window's size; this program has none.
    const TRect r = control.GetClientRect();
    return TSize{r.right - r.left, r.bottom - r.top};
}

// ---- Shared work objects ----------------------------------------------------------------------------------

TThemeWorkObjects::TThemeWorkObjects()
    : FBackground(std::make_unique<TBitmap>()), FImageLayer(std::make_unique<TBitmap>()),
      FMonoBitmap(std::make_unique<TBitmap>()), FSmallCaptionFont(std::make_unique<TFont>())
{
    FBackground->SetPixelFormat(pf32bit);
    FImageLayer->SetPixelFormat(pf32bit);
    FMonoBitmap->SetMonochrome(true);
    NONCLIENTMETRICS metrics;
    if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) != FALSE)
        FSmallCaptionFont->SetHandle(CreateFontIndirect(metrics.lfSmCaptionFont));
}

TThemeWorkObjects::~TThemeWorkObjects() = default;

TThemeWorkObjects& GetThemeWorkObjects()
{
    const auto& objects = WorkObjectsSlot();
    Assert(objects != nullptr, "GetThemeWorkObjects: no theme runtime (ThemeUtils)");
    return *objects;
}

void RecreateUtilityObjects()
{
    auto& objects = WorkObjectsSlot();
    objects.reset();
    objects = std::make_unique<TThemeWorkObjects>();
}

void StartThemeUtilities() { RecreateUtilityObjects(); }

void StopThemeUtilities() { WorkObjectsSlot().reset(); }

}  // namespace ovrel::themes
