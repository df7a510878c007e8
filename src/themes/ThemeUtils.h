#pragma once
// Colour arithmetic and small drawing primitives of the themes: mixing, lightening, the darkness test, fills and
// frames that accept the no-colour value and system colours, the halftone drag frame, and the work objects
// shared by the themes (work bitmaps and the small-caption font). UI thread only.

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include "platform/ui/Types.h"

#include <cstdint>
#include <memory>

namespace ovrel::themes {

// ---- Colours ----------------------------------------------------------------------------------------------
// A colour with the top bit set is a system colour, resolved by its low byte, so 0x8000001A resolves like
// 0xFF00001A. Everything else is 0x00BBGGRR.

/// The colour value a colour stands for: a system colour resolved, any other value as it is.
[[nodiscard]] ui::COLORREF ResolveColor(toolkit::TColor color);
/// Per channel (c1 * weight1 + c2 * (255 - weight1)) / 256, truncated; so white over black at 255 is 254.
/// A weight of 256 or more is a programming error (EAssertionFailed).
[[nodiscard]] toolkit::TColor WeightedColor(toolkit::TColor c1, toolkit::TColor c2, int weight1);
/// WeightedColor; every colour of a 32-bit display is its own nearest colour.
[[nodiscard]] toolkit::TColor WeightedColorNearest(toolkit::TColor c1, toolkit::TColor c2, int weight1);
/// Each channel plus amount (which may be negative), clamped to 0..255.
[[nodiscard]] toolkit::TColor LightenColor(toolkit::TColor color, int amount);
/// 76 R + 150 G + 30 B below threshold * 256.
[[nodiscard]] bool IsDarkColor(toolkit::TColor color, int threshold);
/// The red and blue bytes exchanged (0x00BBGGRR to and from the 0x00RRGGBB of work pixels).
[[nodiscard]] std::uint32_t SwapRedBlue(std::uint32_t color);

// ---- Drawing primitives -----------------------------------------------------------------------------------

/// Fills rect with an 8 x 8 checker of c1 and c2 (c1 where x + y is even, counted from the brush origin).
void DitherRect(toolkit::TCanvas& canvas, const toolkit::TRect& rect, toolkit::TColor c1, toolkit::TColor c2);
/// A one-pixel edge: left and top in topLeft, right and bottom (with the top-right and bottom-left pixels) in
/// bottomRight. rect shrinks by 1 on every side.
void DrawEdgeColors(toolkit::TCanvas& canvas, toolkit::TRect& rect, toolkit::TColor topLeft,
                    toolkit::TColor bottomRight);
/// Fills rect unless color is clNone; returns whether a colour was given. The canvas brush is left alone.
bool FillRectColor(toolkit::TCanvas& canvas, const toolkit::TRect& rect, toolkit::TColor color);
bool FillRectColorDC(ui::HDC dc, const toolkit::TRect& rect, toolkit::TColor color);
/// A one-pixel frame unless color is clNone; with shrink the rectangle shrinks by 1 on every side, also for
/// clNone. Returns whether a colour was given.
bool FrameRectColor(toolkit::TCanvas& canvas, toolkit::TRect& rect, toolkit::TColor color, bool shrink);
/// A line from (x1, y1) up to, not including, (x2, y2) with the canvas pen set to color.
void DrawLineColor(toolkit::TCanvas& canvas, int x1, int y1, int x2, int y2, toolkit::TColor color);
/// The halftone XOR frame of a drag: frame sizes 3 across the vertical edges and 2 across the horizontal ones.
/// Once with a rectangle draws the frame, with (new, old) moves it, with only the old one erases it.
void DrawDragFrame(ui::HDC dc, const toolkit::TRect* newRect, const toolkit::TRect* oldRect);

// ---- Image effects ----------------------------------------------------------------------------------------
// Each draws image index of the list onto the canvas at rect's top-left, clipped to rect and to the image size,
// through the shared work bitmaps (so not reentrant). Nothing for an area of no width or height, a missing list
// or an index outside it.

/// With effect: each image pixel lighter by 32, black where the pixel is very light and white where it is very
/// dark, for a dark background; without: the list's own drawing.
void DrawImageContrasted(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                         const toolkit::TCustomImageList* imageList, int imageIndex, bool effect);
/// Each image pixel mixed with color, weight / 256 of the pixel.
void DrawImageTinted(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const toolkit::TCustomImageList* imageList,
                     int imageIndex, toolkit::TColor color, std::uint8_t weight);
/// What lies under the image darkened where the image covers it, the more the darker the image; strength 0 to 2
/// (lighter with more), above 2 a programming error (EAssertionFailed). Pixels the image leaves uncovered stay.
void DrawImageShadow(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const toolkit::TCustomImageList* imageList,
                     int imageIndex, int strength);

// ---- Memory and controls ----------------------------------------------------------------------------------

void FillLongs(std::uint32_t* destination, int count, std::uint32_t value);
/// Moves count values; the ranges may overlap.
void MoveLongs(const std::uint32_t* source, std::uint32_t* destination, int count);
/// The size of the control's client rectangle.
[[nodiscard]] toolkit::TSize GetClientSizeOf(const toolkit::TControl& control);

// ---- Shared work objects ----------------------------------------------------------------------------------

/// What the themes draw with and share: two 32-bit work bitmaps (a background copy and an image layer), a
/// monochrome bitmap, and the small-caption font of the non-client metrics (the default font when the
/// metrics cannot be read). Made by the theme runtime; one set at a time.
class TThemeWorkObjects {
public:
    TThemeWorkObjects();
    ~TThemeWorkObjects();
    TThemeWorkObjects(const TThemeWorkObjects&) = delete;
    TThemeWorkObjects& operator=(const TThemeWorkObjects&) = delete;

    [[nodiscard]] toolkit::TBitmap* GetBackground() const { return FBackground.get(); }
    [[nodiscard]] toolkit::TBitmap* GetImageLayer() const { return FImageLayer.get(); }
    [[nodiscard]] toolkit::TBitmap* GetMonoBitmap() const { return FMonoBitmap.get(); }
    [[nodiscard]] toolkit::TFont* GetSmallCaptionFont() const { return FSmallCaptionFont.get(); }

private:
    std::unique_ptr<toolkit::TBitmap> FBackground;
    std::unique_ptr<toolkit::TBitmap> FImageLayer;
    std::unique_ptr<toolkit::TBitmap> FMonoBitmap;
    std::unique_ptr<toolkit::TFont> FSmallCaptionFont;
};

/// The work objects of the running theme runtime; EAssertionFailed when none runs.
[[nodiscard]] TThemeWorkObjects& GetThemeWorkObjects();
/// Frees the work objects and makes them again (after the system's fonts changed).
void RecreateUtilityObjects();
/// Called by the theme runtime: makes the work objects (start) or frees them (stop).
void StartThemeUtilities();
void StopThemeUtilities();

}  // namespace ovrel::themes
