#pragma once
// Rectangles of the core (thumbnail placement) and the integer arithmetic that places them.

#include <cstdint>

namespace ovrel::core {

struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    [[nodiscard]] std::int32_t Width() const noexcept { return Right - Left; }
    [[nodiscard]] std::int32_t Height() const noexcept { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

/// A rectangle at (0,0) of the given size, each side limited to what 32 bits hold.
[[nodiscard]] TRect RectOfSize(std::int64_t width, std::int64_t height) noexcept;
/// A*B/C rounded towards minus infinity; 0 when C is 0.
[[nodiscard]] std::int32_t MulDivFloor(std::int32_t a, std::int32_t b, std::int32_t c) noexcept;
/// A rectangle of r's size centred on bounds.
[[nodiscard]] TRect CenterRect(const TRect& r, const TRect& bounds) noexcept;
/// The largest rectangle of src's aspect ratio inside box, centred; small sources are enlarged.
[[nodiscard]] TRect FitRect(const TRect& src, const TRect& box) noexcept;

}  // namespace ovrel::core
