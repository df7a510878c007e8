#pragma once
// The drawing and colour services every control of the inspector shares: colour arithmetic, focus
// rectangles, gradients, text in cells, bitmaps with per-pixel alpha, the scheme colours of the office looks,
// the plain expand box, and clipping a canvas to a rectangle. Stateless; nothing here makes a window.

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ovrel::inspector {

enum TVerticalAlignment : std::uint8_t { vaTop, vaMiddle, vaBottom };

/// Colour arithmetic and the text, focus and gradient drawing of cells.
class TGraphicsProvider {
public:
    TGraphicsProvider() = delete;

    /// Per channel (color1 × alpha + color2 × (255 − alpha)) div 256, system colours resolved first.
    /// EAssertionFailed for an alpha outside 0..255.
    static toolkit::TColor BlendColors(toolkit::TColor color1, toolkit::TColor color2, int alpha);
    /// Per channel the nearest integer (half to even) of color2 × ratio + color1 × (1 − ratio), as a byte.
    static toolkit::TColor MixColors(toolkit::TColor color1, toolkit::TColor color2, double ratio);
    /// solid: a clHighlight frame; else the dotted focus rectangle, drawn white on black.
    static void DrawFocusRect(toolkit::TCanvas* canvas, const toolkit::TRect& rect, bool solid);
    /// One line per pixel row, color1 at the top; an empty rectangle draws nothing.
    static void DrawGradient(toolkit::TCanvas* canvas, const toolkit::TRect& rect, toolkit::TColor color1,
                             toolkit::TColor color2);
    /// One line, vertically centred, cut with an ellipsis, in the canvas font over a clear background.
    static void DrawText(toolkit::TCanvas* canvas, const toolkit::TRect& rect, toolkit::TAlignment alignment,
                         std::string_view text, bool rightToLeft);
    /// As DrawText with a vertical alignment, and wrapped at words when wordWrap (no ellipsis).
    static void DrawTextEx(toolkit::TCanvas* canvas, const toolkit::TRect& rect, toolkit::TAlignment alignment,
                           TVerticalAlignment verticalAlignment, bool wordWrap, std::string_view text);

    /// The DrawText flags of the two routines above.
    [[nodiscard]] static ui::UINT DrawTextFormat(toolkit::TAlignment alignment, bool rightToLeft);
    [[nodiscard]] static ui::UINT DrawTextExFormat(toolkit::TAlignment alignment, TVerticalAlignment verticalAlignment,
                                                   bool wordWrap);
};

/// The blend of the mask drawing: the same operation as TGraphicsProvider::BlendColors.
class TMaskProvider {
public:
    TMaskProvider() = delete;
    static toolkit::TColor BlendColors(toolkit::TColor color1, toolkit::TColor color2, int alpha);
};

class TDrawProvider {
public:
    TDrawProvider() = delete;
    /// A 32-bit bitmap is composited over the canvas by its alpha bytes (each pixel's colour blended with
    /// BlendColors); any other is drawn as it is, honouring its own transparency.
    static void DrawBitmap(toolkit::TCanvas* canvas, int x, int y, toolkit::TBitmap* bitmap);
};

class TDisplayProvider {
public:
    TDisplayProvider() = delete;
    /// "ab" in an 8-point fontName in clHighlightText on clHighlight. The canvas font stays changed.
    static void DrawFontSample(toolkit::TCanvas* canvas, const toolkit::TRect& rect, const std::string& fontName);
};

/// Per channel (a × p + b × (255 − p)) div 256, system colours resolved first; EAssertionFailed for a p
/// outside 0..255.
[[nodiscard]] toolkit::TColor BlendColor(toolkit::TColor a, toolkit::TColor b, int p);

/// The colours of the office looks by index 0..12, with and without visual styles; clNone for others.
[[nodiscard]] toolkit::TColor SchemeColor(int index);

/// Blends count 32-bit pixels (B, G, R, A bytes) of src over dst by the alpha byte of each source pixel:
/// 0 keeps dst, 255 copies src, others mix every byte with rounding.
void AlphaBlendRow(const std::uint32_t* src, std::uint32_t* dst, int count);
/// AlphaBlendRow over the rows and columns both 32-bit bitmaps have.
void AlphaBlendBitmap(toolkit::TBitmap* dst, toolkit::TBitmap* src);
/// A 32-bit bitmap blended over the canvas at (x, y) by its alpha; any other drawn as it is.
void DrawAlphaBitmap(toolkit::TCanvas* canvas, int x, int y, toolkit::TBitmap* bitmap);

/// The DrawText flags of DrawEllipsisText: single line, vertically centred, end ellipsis, no prefix,
/// external leading.
inline constexpr ui::UINT EllipsisTextFormat = 0x8A24;
/// One line in rect over a clear background, cut with an ellipsis.
void DrawEllipsisText(toolkit::TCanvas* canvas, const toolkit::TRect& rect, std::string_view text);

/// The plain 9 × 9 plus or minus box with its top-left at point; color is the grid's margin colour.
void DrawExpandBox(toolkit::TCanvas* canvas, toolkit::TPoint point, bool expanded, toolkit::TColor color,
                   bool category);

/// Clips the canvas to rect.
void SetCanvasClipRect(toolkit::TCanvas* canvas, const toolkit::TRect& rect);

}  // namespace ovrel::inspector
