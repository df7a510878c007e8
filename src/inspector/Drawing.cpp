#include "inspector/Drawing.h"

#include "inspector/Themes.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"

#include <algorithm>
#include <cmath>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

namespace {

constexpr std::uint32_t AlphaMask = 0xFF000000u;

// A 32-bit pixel (B, G, R, A bytes in memory) as a colour, its alpha byte left out.
TColor PixelColor(std::uint32_t pixel)
{
    return static_cast<TColor>(ui::RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
}

std::uint32_t ColorPixel(TColor color, std::uint32_t alpha)
{
    const auto rgb = static_cast<ui::COLORREF>(color);
    return (alpha << 24) | (static_cast<std::uint32_t>(ui::GetRValue(rgb)) << 16) |
           (static_cast<std::uint32_t>(ui::GetGValue(rgb)) << 8) | ui::GetBValue(rgb);
}

// The arithmetic of BlendColors and BlendColor: one channel of each, system colours resolved first.
TColor Blend(TColor a, TColor b, int p)
{
    Assert(p >= 0 && p < 256, "Assertion failure");
    const ui::COLORREF ca = ColorToRGB(a);
    const ui::COLORREF cb = ColorToRGB(b);
    const auto channel = [p](int x, int y) { return (x * p + y * (255 - p)) / 256; };
    return static_cast<TColor>(ui::RGB(channel(ui::GetRValue(ca), ui::GetRValue(cb)),
                                       channel(ui::GetGValue(ca), ui::GetGValue(cb)),
                                       channel(ui::GetBValue(ca), ui::GetBValue(cb))));
}

ui::UINT HorizontalFormat(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify: return ui::DT_RIGHT;
    case taCenter: return ui::DT_CENTER;
    case taLeftJustify: break;
    }
    return ui::DT_LEFT;
}

// Text drawn over what is there: the brush is clear for the call and solid again afterwards.
void DrawClearText(TCanvas* canvas, const TRect& rect, std::string_view text, ui::UINT format)
{
    if (canvas == nullptr)
        return;
    canvas->GetBrush()->SetStyle(bsClear);
    TRect r = rect;
    ui::DrawText(canvas->GetHandle(), text, &r, format);
    canvas->GetBrush()->SetStyle(bsSolid);
}

// Composites a 32-bit bitmap over the canvas at (x, y): what the canvas shows there is read into a work
// bitmap, blend mixes the bitmap into it, and the result goes back. Other bitmaps are drawn as they are.
template <class F> void Composite(TCanvas* canvas, int x, int y, TBitmap* bitmap, F blend)
{
    if (canvas == nullptr || bitmap == nullptr || bitmap->GetEmpty())
        return;
    if (bitmap->GetPixelFormat() != pf32bit) {
        canvas->Draw(x, y, bitmap);
        return;
    }
    const int width = bitmap->GetWidth();
    const int height = bitmap->GetHeight();
    TBitmap work;
    work.SetPixelFormat(pf32bit);
    work.SetSize(width, height);
    ui::BitBlt(work.GetCanvas()->GetHandle(), 0, 0, width, height, canvas->GetHandle(), x, y, ui::SRCCOPY);
    blend(work);
    ui::BitBlt(canvas->GetHandle(), x, y, width, height, work.GetCanvas()->GetHandle(), 0, 0, ui::SRCCOPY);
}

}  // namespace

// ---- TGraphicsProvider and friends ------------------------------------------------------------------------

TColor TGraphicsProvider::BlendColors(TColor color1, TColor color2, int alpha) { return Blend(color1, color2, alpha); }

TColor TGraphicsProvider::MixColors(TColor color1, TColor color2, double ratio)
{
    const ui::COLORREF c1 = ColorToRGB(color1);
    const ui::COLORREF c2 = ColorToRGB(color2);
    const auto channel = [ratio](int x1, int x2) {
        const double v = std::nearbyint(x2 * ratio + x1 * (1.0 - ratio));  // half to even
        if (!std::isfinite(v) || std::fabs(v) > 1e9)
            return 0;
        return static_cast<int>(static_cast<long long>(v) & 0xFF);
    };
    return static_cast<TColor>(ui::RGB(channel(ui::GetRValue(c1), ui::GetRValue(c2)),
                                       channel(ui::GetGValue(c1), ui::GetGValue(c2)),
                                       channel(ui::GetBValue(c1), ui::GetBValue(c2))));
}

void TGraphicsProvider::DrawFocusRect(TCanvas* canvas, const TRect& rect, bool solid)
{
    if (canvas == nullptr)
        return;
    if (solid) {
        TBrush* brush = canvas->GetBrush();
        const TColor oldColor = brush->GetColor();
        const TBrushStyle oldStyle = brush->GetStyle();
        brush->SetColor(clHighlight);
        canvas->FrameRect(rect);
        brush->SetColor(oldColor);
        brush->SetStyle(oldStyle);
        return;
    }
    ui::HDC dc = canvas->GetHandle();
    const ui::COLORREF oldBk = ui::SetBkColor(dc, ui::RGB(0, 0, 0));
    const ui::COLORREF oldText = ui::SetTextColor(dc, ui::RGB(255, 255, 255));
    ui::DrawFocusRect(dc, &rect);
    ui::SetBkColor(dc, oldBk);
    ui::SetTextColor(dc, oldText);
}

void TGraphicsProvider::DrawGradient(TCanvas* canvas, const TRect& rect, TColor color1, TColor color2)
{
    if (canvas == nullptr || rect.bottom <= rect.top || rect.right <= rect.left)
        return;
    TPen* pen = canvas->GetPen();
    const TColor oldColor = pen->GetColor();
    const double height = rect.bottom - rect.top;
    for (int y = rect.top; y < rect.bottom; ++y) {
        pen->SetColor(MixColors(color1, color2, (y - rect.top) / height));
        canvas->MoveTo(rect.left, y);
        canvas->LineTo(rect.right, y);
    }
    pen->SetColor(oldColor);
}

ui::UINT TGraphicsProvider::DrawTextFormat(TAlignment alignment, bool rightToLeft)
{
    ui::UINT format = ui::DT_END_ELLIPSIS | ui::DT_NOPREFIX | ui::DT_SINGLELINE | ui::DT_VCENTER;
    format |= HorizontalFormat(alignment);
    if (rightToLeft)
        format |= ui::DT_RTLREADING;
    return format;
}

ui::UINT TGraphicsProvider::DrawTextExFormat(TAlignment alignment, TVerticalAlignment verticalAlignment, bool wordWrap)
{
    ui::UINT format = ui::DT_NOPREFIX | HorizontalFormat(alignment);
    if (verticalAlignment == vaMiddle)
        format |= ui::DT_VCENTER;
    else if (verticalAlignment == vaBottom)
        format |= ui::DT_BOTTOM;
    format |= wordWrap ? ui::DT_WORDBREAK : ui::DT_SINGLELINE;
    return format;
}

void TGraphicsProvider::DrawText(TCanvas* canvas, const TRect& rect, TAlignment alignment, std::string_view text,
                                 bool rightToLeft)
{
    DrawClearText(canvas, rect, text, DrawTextFormat(alignment, rightToLeft));
}

void TGraphicsProvider::DrawTextEx(TCanvas* canvas, const TRect& rect, TAlignment alignment,
                                   TVerticalAlignment verticalAlignment, bool wordWrap, std::string_view text)
{
    DrawClearText(canvas, rect, text, DrawTextExFormat(alignment, verticalAlignment, wordWrap));
}

TColor TMaskProvider::BlendColors(TColor color1, TColor color2, int alpha) { return Blend(color1, color2, alpha); }

void TDrawProvider::DrawBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap)
{
    Composite(canvas, x, y, bitmap, [bitmap](TBitmap& work) {
        for (int row = 0; row < work.GetHeight(); ++row) {
            const auto* src = static_cast<const std::uint32_t*>(bitmap->GetScanLine(row));
            auto* dst = static_cast<std::uint32_t*>(work.GetScanLine(row));
            for (int col = 0; col < work.GetWidth(); ++col) {
                // The colour bytes only: a whole pixel with a high alpha byte would read as a system colour.
                const TColor blended = TMaskProvider::BlendColors(PixelColor(src[col]), PixelColor(dst[col]),
                                                                  static_cast<int>(src[col] >> 24));
                dst[col] = ColorPixel(blended, 0xFF);
            }
        }
    });
}

void TDisplayProvider::DrawFontSample(TCanvas* canvas, const TRect& rect, const std::string& fontName)
{
    if (canvas == nullptr)
        return;
    canvas->GetBrush()->SetColor(clHighlight);
    TFont* font = canvas->GetFont();
    font->SetSize(8);
    font->SetColor(clHighlightText);
    font->SetName(fontName);
    canvas->TextRect(rect, rect.left, rect.top, "ab");
}

// ---- Scheme colours and alpha bitmaps ---------------------------------------------------------------------

TColor BlendColor(TColor a, TColor b, int p) { return Blend(a, b, p); }

TColor SchemeColor(int index)
{
    const auto rgb = [](int r, int g, int b) { return static_cast<TColor>(ui::RGB(r, g, b)); };
    const TColor hotLight = static_cast<TColor>(ui::GetSysColor(ui::COLOR_HOTLIGHT));
    const bool themed = ThemesEnabled();
    switch (index) {
    case 0: return themed ? rgb(255, 238, 194) : BlendColor(clHighlight, clWindow, 80);
    case 1: return themed ? rgb(255, 213, 140) : cl3DLight;
    case 2: return themed ? rgb(255, 166, 76) : cl3DLight;
    case 3: return hotLight;
    case 4: return rgb(255, 213, 140);
    case 5: return rgb(255, 173, 85);
    case 6: return rgb(255, 244, 204);
    case 7: return rgb(255, 208, 145);
    case 8: return themed ? rgb(254, 145, 78) : rgb(254, 145, 178);
    case 9: return rgb(255, 211, 142);
    case 10: return themed ? clInactiveCaptionText : clWindow;
    case 11: return themed ? BlendColor(clHighlight, clInactiveCaptionText, 132) : clBtnFace;
    case 12: return themed ? rgb(127, 157, 185) : clGrayText;
    default: return clNone;
    }
}

void AlphaBlendRow(const std::uint32_t* src, std::uint32_t* dst, int count)
{
    if (src == nullptr || dst == nullptr)
        return;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t s = src[i];
        const std::uint32_t a = s >> 24;
        if (a == 0)
            continue;
        if (a == 255) {
            dst[i] = s;
            continue;
        }
        const std::uint32_t d = dst[i];
        std::uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const std::uint32_t sb = (s >> shift) & 0xFF;
            const std::uint32_t db = (d >> shift) & 0xFF;
            result |= ((((a * sb + 128) >> 8) + (((255 - a) * db + 128) >> 8)) & 0xFF) << shift;
        }
        dst[i] = result;
    }
}

void AlphaBlendBitmap(TBitmap* dst, TBitmap* src)
{
    if (dst == nullptr || src == nullptr || dst->GetMonochrome() || src->GetMonochrome())
        return;
    // Each row through its own scan line, and only as far as both bitmaps reach.
    const int rows = std::min(dst->GetHeight(), src->GetHeight());
    const int columns = std::min(dst->GetWidth(), src->GetWidth());
    for (int row = 0; row < rows; ++row)
        AlphaBlendRow(static_cast<const std::uint32_t*>(src->GetScanLine(row)),
                      static_cast<std::uint32_t*>(dst->GetScanLine(row)), columns);
}

void DrawAlphaBitmap(TCanvas* canvas, int x, int y, TBitmap* bitmap)
{
    Composite(canvas, x, y, bitmap, [bitmap](TBitmap& work) { AlphaBlendBitmap(&work, bitmap); });
}

void DrawEllipsisText(TCanvas* canvas, const TRect& rect, std::string_view text)
{
    DrawClearText(canvas, rect, text, EllipsisTextFormat);
}

void DrawExpandBox(TCanvas* canvas, TPoint point, bool expanded, TColor color, bool category)
{
    if (canvas == nullptr)
        return;
    TColor brush = clWindow;
    TColor pen = clWindowFrame;
    if (category) {
        brush = color;
        if (color == clBlack)
            pen = clWindow;
    } else if (color == clBlack) {
        pen = clWindow;
        brush = clBlack;
    }
    canvas->GetBrush()->SetColor(brush);
    canvas->GetPen()->SetColor(pen);
    const int x = point.x;
    const int y = point.y;
    canvas->Rectangle(x, y, x + 9, y + 9);
    canvas->MoveTo(x + 2, y + 4);
    canvas->LineTo(x + 7, y + 4);
    if (!expanded) {
        canvas->MoveTo(x + 4, y + 2);
        canvas->LineTo(x + 4, y + 7);
    }
}

void SetCanvasClipRect(TCanvas* canvas, const TRect& rect)
{
    if (canvas == nullptr)
        return;
    ui::HRGN region = ui::CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
    ui::SelectClipRgn(canvas->GetHandle(), region);
    ui::DeleteObject(region);
}

}  // namespace ovrel::inspector
