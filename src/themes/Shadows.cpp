#include "themes/Shadows.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolkit/Forms.h"

#include <algorithm>
#include <cstdlib>

namespace ovrel::themes {

using namespace ovrel::toolkit;

namespace {

// Slots of a TShadowLayout.
constexpr std::size_t V1 = 0;
constexpr std::size_t H1 = 1;
constexpr std::size_t V2 = 2;
constexpr std::size_t H2 = 3;
constexpr std::size_t V3 = 4;
constexpr std::size_t H3 = 5;

std::uint8_t CornerAlpha(int dx, int dy, int m)
{
    const int t = (dx + dy + std::max(dx, dy)) * 128 / m;
    return static_cast<std::uint8_t>(t > 254 ? 0 : 255 - t);
}

// The lengths of the two fading ends of a band of that length whose corners are thickness long.
void CornerLengths(int length, int thickness, unsigned edges, int& start, int& finish)
{
    start = (edges & SHADOW_START) != 0 ? thickness : 0;
    finish = (edges & SHADOW_FINISH) != 0 ? thickness : 0;
    if (length >= start + finish)
        return;
    if (start > 0 && finish > 0) {
        start = length / 2;
        finish = length / 2;
    } else if (start > 0) {
        start = length;
    } else {
        finish = length;
    }
}

void Place(TShadowLayout& layout, std::size_t slot, bool vertical, const TRect& bounds, unsigned edges)
{
    if (bounds.right > bounds.left && bounds.bottom > bounds.top)
        layout[slot] = TShadowPart{vertical, bounds, edges};
}

}  // namespace

TShadowStyle ChooseShadowStyle(bool flat, const ui::Capabilities& capabilities)
{
    if (flat)
        return TShadowStyle::Plain;
    if (capabilities.LayeredPerPixelAlpha)
        return TShadowStyle::Layered;
    if (capabilities.AlphaBlend)
        return TShadowStyle::AlphaBlended;
    return TShadowStyle::Plain;
}

std::vector<std::uint8_t> HorzShadowAlpha(int width, int height, unsigned edges)
{
    if (width <= 0 || height <= 0)
        return {};
    std::vector<std::uint8_t> alpha(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    int start = 0;
    int finish = 0;
    CornerLengths(width, height, edges, start, finish);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t a = 0;
            if (x < start) {
                const int m = std::max(start, height);
                a = CornerAlpha(std::abs(x - m + 1), std::abs(y + m - height), m);
            } else if (x >= width - finish) {
                const int cx = x - (width - finish);
                const int m = std::max(finish, height);
                a = CornerAlpha(std::abs(cx + m - finish), std::abs(y + m - height), m);
            } else {
                a = static_cast<std::uint8_t>(255 - y * 256 / height);
            }
            alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = a;
        }
    return alpha;
}

std::vector<std::uint8_t> VertShadowAlpha(int width, int height, unsigned edges)
{
    // The vertical band is the horizontal one turned on its side: the corner formulas are symmetric in their two
    // distances, so a transposed horizontal band is exact.
    const std::vector<std::uint8_t> lying = HorzShadowAlpha(height, width, edges);
    std::vector<std::uint8_t> alpha(lying.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                lying[static_cast<std::size_t>(x) * static_cast<std::size_t>(height) + static_cast<std::size_t>(y)];
    return alpha;
}

TShadowLayout PlaceShadows(const TRect& itemRect, const TRect& popupRect, int size, bool halveSize)
{
    TShadowLayout layout;
    const int s = halveSize ? size / 2 : size;
    const bool hasItem = !ui::IsRectEmpty(&itemRect);
    const bool hasPopup = !ui::IsRectEmpty(&popupRect);
    constexpr unsigned Both = SHADOW_START | SHADOW_FINISH;
    if (!hasItem && !hasPopup)
        return layout;
    if (hasItem != hasPopup) {
        const TRect& z = hasItem ? itemRect : popupRect;
        Place(layout, V1, true, Rect(z.right, z.top + s, z.right + s, z.bottom), SHADOW_START);
        Place(layout, H1, false, Rect(z.left + s, z.bottom, z.right + s, z.bottom + s), Both);
        return layout;
    }
    const TRect& i = itemRect;
    const TRect& p = popupRect;
    if (p.top + 2 < i.bottom && i.top < p.bottom - 2) {
        // Overlapping vertically: shadows only for rectangles side by side.
        const bool itemLeft = p.left + 2 >= i.right;
        if (!itemLeft && !(i.left >= p.right - 2))
            return layout;
        const TRect& a = itemLeft ? i : p;
        const TRect& c = itemLeft ? p : i;
        if (a.top + s < c.top)
            Place(layout, V1, true, Rect(a.right, a.top + s, a.right + s, c.top), SHADOW_START);
        Place(layout, V2, true, Rect(c.right, c.top + s, c.right + s, c.bottom + s), Both);
        Place(layout, H1, false, Rect(a.left + s, a.bottom, a.right, a.bottom + s), SHADOW_START);
        if (c.bottom < a.bottom)
            Place(layout, V3, true, Rect(a.right, c.bottom, a.right + s, a.bottom + s), Both);
        if (a.bottom + s < c.bottom)
            Place(layout, H2, false, Rect(c.left + s, c.bottom, c.right, c.bottom + s), SHADOW_START);
        else
            Place(layout, H2, false, Rect(c.left, c.bottom, c.right, c.bottom + s), 0);
        return layout;
    }
    const bool itemAbove = p.top + 2 >= i.bottom;
    const TRect& a = itemAbove ? i : p;
    const TRect& c = itemAbove ? p : i;
    if (a.left + s < c.left)
        Place(layout, H1, false, Rect(a.left + s, a.bottom, c.left, a.bottom + s), SHADOW_START);
    Place(layout, H2, false, Rect(c.left + s, c.bottom, c.right + s, c.bottom + s), Both);
    Place(layout, V1, true, Rect(a.right, a.top + s, a.right + s, a.bottom), SHADOW_START);
    if (c.right < a.right)
        Place(layout, H3, false, Rect(c.right, a.bottom, a.right + s, a.bottom + s), Both);
    if (a.right + s < c.right)
        Place(layout, V2, true, Rect(c.right, c.top + s, c.right + s, c.bottom), SHADOW_START);
    else
        Place(layout, V2, true, Rect(c.right, c.top + 1, c.right + s, c.bottom), 0);
    return layout;
}

// ---- Shadow windows ---------------------------------------------------------------------------------------

TShadow::TShadow(const TRect& bounds, std::uint8_t opacity, bool flat, unsigned edges)
    : TCustomControl(nullptr), FOpacity(opacity), FEdges(edges), FStyle(ChooseShadowStyle(flat, ui::GetCapabilities()))
{
    SetVisible(false);
    SetColor(clBtnShadow);
    SetParentWindow(Application()->GetHandle());
    SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

void TShadow::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Style = (params.Style & ~(ui::WS_CHILD | ui::WS_TABSTOP | ui::WS_GROUP)) | ui::WS_POPUP;
    params.ExStyle |= ui::WS_EX_TOOLWINDOW;
    if (FSaveBits)
        params.ClassStyle |= ui::CS_SAVEBITS;
}

std::vector<std::uint8_t> TShadow::RgbaBuffer(std::uint8_t opacity) const
{
    const std::vector<std::uint8_t> alpha = FillBuffer();
    std::vector<std::uint8_t> rgba(alpha.size() * 4, 0);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(alpha[i] * opacity / 255);
    return rgba;
}

void TShadow::Render()
{
    if (FStyle != TShadowStyle::Layered)
        return;
    const ui::HWND handle = GetHandle();
    ui::SetWindowLong(handle, ui::GWL_EXSTYLE, ui::GetWindowLong(handle, ui::GWL_EXSTYLE) | ui::WS_EX_LAYERED);
    const int width = GetWidth();
    const int height = GetHeight();
    if (width <= 0 || height <= 0)
        return;
    // The buffer lives only while the platform takes the picture.
    ui::HDC screen = ui::GetDC(nullptr);
    ui::HDC memory = ui::CreateCompatibleDC(screen);
    ui::HBITMAP bitmap = ui::CreateCompatibleBitmap(screen, width, height);
    ui::HGDIOBJ old = ui::SelectObject(memory, bitmap);
    const TRect all{0, 0, width, height};
    ui::StretchRgbaPixels(memory, all, width, height, RgbaBuffer(255));
    const ui::POINT position{GetLeft(), GetTop()};
    const ui::SIZE size{width, height};
    const ui::POINT origin{0, 0};
    ui::BLENDFUNCTION blend;
    blend.SourceConstantAlpha = FOpacity;
    blend.AlphaFormat = ui::AC_SRC_ALPHA;
    ui::UpdateLayeredWindow(handle, screen, &position, &size, memory, &origin, 0, &blend, ui::ULW_ALPHA);
    ui::SelectObject(memory, old);
    ui::DeleteObject(bitmap);
    ui::DeleteDC(memory);
    ui::ReleaseDC(nullptr, screen);
}

void TShadow::ShowAfter(ui::HWND window)
{
    ui::SetWindowPos(GetHandle(), window, 0, 0, 0, 0,
                     ui::SWP_NOMOVE | ui::SWP_NOSIZE | ui::SWP_NOACTIVATE | ui::SWP_SHOWWINDOW | ui::SWP_NOOWNERZORDER |
                         ui::SWP_NOSENDCHANGING);
}

void TShadow::WMEraseBkgnd(TMessage& message)
{
    if (FStyle != TShadowStyle::AlphaBlended) {
        TCustomControl::WMEraseBkgnd(message);
        return;
    }
    // What lies behind must be up to date before the band is blended over it.
    toolbars::DispatchPendingPaintMessages();
    const TRect all{0, 0, GetWidth(), GetHeight()};
    ui::StretchRgbaPixels(reinterpret_cast<ui::HDC>(message.WParam), all, all.right, all.bottom, RgbaBuffer(FOpacity));
    message.Result = 1;
}

void TShadow::WMNCHitTest(TMessage& message) { message.Result = ui::HTTRANSPARENT; }

std::vector<std::uint8_t> THorzShadow::FillBuffer() const
{
    return HorzShadowAlpha(GetWidth(), GetHeight(), GetEdges());
}

std::vector<std::uint8_t> TVertShadow::FillBuffer() const
{
    return VertShadowAlpha(GetWidth(), GetHeight(), GetEdges());
}

TShadows::TShadows(const TRect& itemRect, const TRect& popupRect, int size, std::uint8_t opacity, bool flat)
{
    const bool plain = ChooseShadowStyle(flat, ui::GetCapabilities()) == TShadowStyle::Plain;
    const TShadowLayout layout = PlaceShadows(itemRect, popupRect, size, plain);
    for (std::size_t i = 0; i < layout.size(); ++i) {
        if (!layout[i])
            continue;
        const TShadowPart& part = *layout[i];
        if (part.Vertical)
            FShadows[i] = std::make_unique<TVertShadow>(part.Bounds, opacity, flat, part.Edges);
        else
            FShadows[i] = std::make_unique<THorzShadow>(part.Bounds, opacity, flat, part.Edges);
        FShadows[i]->Render();
    }
    SetSaveBits(true);
}

TShadows::~TShadows()
{
    for (auto it = FShadows.rbegin(); it != FShadows.rend(); ++it)
        it->reset();
}

void TShadows::SetSaveBits(bool value)
{
    FSaveBits = value;
    for (const std::unique_ptr<TShadow>& shadow : FShadows)
        if (shadow)
            shadow->SetSaveBits(value);
}

void TShadows::ShowAfter(ui::HWND window)
{
    for (const std::unique_ptr<TShadow>& shadow : FShadows)
        if (shadow)
            shadow->ShowAfter(window);
}

}  // namespace ovrel::themes
