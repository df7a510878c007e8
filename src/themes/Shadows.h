#pragma once
// The themes' own drop shadows: how a shadow window shows (by the platform's capabilities), the fading alpha of
// its band, where the bands of a pop-up (and the item it hangs from) lie, and the shadow windows themselves,
// which never take the mouse.

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include "platform/ui/SysTables.h"
#include "platform/ui/Types.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace ovrel::themes {

/// Which ends of a band fade out as corners: the start (left or top) and the finishing end (right or bottom).
inline constexpr unsigned SHADOW_START = 0x01;
inline constexpr unsigned SHADOW_FINISH = 0x02;

/// How a shadow window shows: a plain band in the button-shadow colour, a layered window with per-pixel alpha,
/// or a band alpha-blended over what lies behind it.
enum class TShadowStyle : std::uint8_t { Plain = 0, Layered = 1, AlphaBlended = 2 };

/// Plain when flat; else layered when per-pixel layered windows exist, alpha-blended when alpha blending does,
/// plain otherwise.
[[nodiscard]] TShadowStyle ChooseShadowStyle(bool flat, const ui::Capabilities& capabilities);

/// The alpha of every pixel (row by row) of a band below an edge: fading downwards, with corners at the ends
/// named by edges. Empty for a width or height of 0 or less.
[[nodiscard]] std::vector<std::uint8_t> HorzShadowAlpha(int width, int height, unsigned edges);
/// The same for a band right of an edge, fading rightwards, with corners at its top and bottom.
[[nodiscard]] std::vector<std::uint8_t> VertShadowAlpha(int width, int height, unsigned edges);

/// One shadow window of a group.
struct TShadowPart {
    bool Vertical = false;
    toolkit::TRect Bounds;  // screen coordinates
    unsigned Edges = 0;  // SHADOW_ bits
};

/// The windows of a group in their order: first vertical, first horizontal, second vertical, second horizontal,
/// third vertical, third horizontal; absent ones empty.
using TShadowLayout = std::array<std::optional<TShadowPart>, 6>;

/// Where the shadows of a pop-up (and of the item it hangs from, when itemRect is not empty) lie. halveSize:
/// the shadows are flat, or neither layered windows nor alpha blending exist. A band of no width or height is
/// left out.
[[nodiscard]] TShadowLayout PlaceShadows(const toolkit::TRect& itemRect, const toolkit::TRect& popupRect, int size,
                                         bool halveSize);

/// One band of a drop shadow: a hidden top-level tool window that shows black fading by its alpha, or a plain
/// band in the button-shadow colour. Owned by its TShadows.
class TShadow : public toolkit::TCustomControl {
public:
    TShadow(const toolkit::TRect& bounds, std::uint8_t opacity, bool flat, unsigned edges);

    [[nodiscard]] TShadowStyle GetStyle() const { return FStyle; }
    [[nodiscard]] std::uint8_t GetOpacity() const { return FOpacity; }
    [[nodiscard]] unsigned GetEdges() const { return FEdges; }
    [[nodiscard]] bool GetSaveBits() const { return FSaveBits; }
    void SetSaveBits(bool value) { FSaveBits = value; }
    /// A layered shadow hands its picture to the platform once; the others paint when erased.
    void Render();
    /// Shows the shadow right behind window, without moving, sizing or activating anything.
    void ShowAfter(ui::HWND window);

protected:
    /// The alpha of every pixel, row by row, over the window's size.
    [[nodiscard]] virtual std::vector<std::uint8_t> FillBuffer() const = 0;
    /// Black with each pixel's alpha scaled by opacity, as straight-alpha RGBA rows.
    [[nodiscard]] std::vector<std::uint8_t> RgbaBuffer(std::uint8_t opacity) const;

    void CreateParams(toolkit::TCreateParams& params) override;
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void WMNCHitTest(toolkit::TMessage& message) override;

private:
    std::uint8_t FOpacity;
    unsigned FEdges;
    TShadowStyle FStyle;
    bool FSaveBits = false;
};

/// A band below an edge, fading downwards.
class THorzShadow : public TShadow {
public:
    using TShadow::TShadow;

protected:
    [[nodiscard]] std::vector<std::uint8_t> FillBuffer() const override;
};

/// A band right of an edge, fading rightwards.
class TVertShadow : public TShadow {
public:
    using TShadow::TShadow;

protected:
    [[nodiscard]] std::vector<std::uint8_t> FillBuffer() const override;
};

/// The shadow windows of one pop-up (and the item it hangs from), in PlaceShadows' order.
class TShadows {
public:
    /// itemRect and popupRect in screen coordinates; size is halved when the shadows are plain.
    TShadows(const toolkit::TRect& itemRect, const toolkit::TRect& popupRect, int size, std::uint8_t opacity,
             bool flat);
    ~TShadows();
    TShadows(const TShadows&) = delete;
    TShadows& operator=(const TShadows&) = delete;

    void SetSaveBits(bool value);
    /// Shows every shadow behind window.
    void ShowAfter(ui::HWND window);
    /// The windows in their slots; absent ones null.
    [[nodiscard]] const std::array<std::unique_ptr<TShadow>, 6>& GetShadows() const { return FShadows; }

private:
    std::array<std::unique_ptr<TShadow>, 6> FShadows;
    bool FSaveBits = false;
};

}  // namespace ovrel::themes
