#include "core/Rect.h"

#include <algorithm>
#include <limits>

namespace ovrel::core {

namespace {

std::int32_t ClampToInt32(std::int64_t value) noexcept
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

TRect RectOfSize(std::int64_t width, std::int64_t height) noexcept
{
    return TRect{0, 0, ClampToInt32(width), ClampToInt32(height)};
}

std::int32_t MulDivFloor(std::int32_t a, std::int32_t b, std::int32_t c) noexcept
{
    if (c == 0)
        return 0;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t quotient = product / c;
    if (product % c != 0 && ((product < 0) != (c < 0)))
        --quotient;
    return ClampToInt32(quotient);
}

TRect CenterRect(const TRect& r, const TRect& bounds) noexcept
{
    const std::int64_t left =
        (static_cast<std::int64_t>(bounds.Left) + bounds.Right) / 2 - (static_cast<std::int64_t>(r.Left) + r.Right) / 2;
    const std::int64_t top =
        (static_cast<std::int64_t>(bounds.Top) + bounds.Bottom) / 2 - (static_cast<std::int64_t>(r.Top) + r.Bottom) / 2;
    TRect result;
    result.Left = ClampToInt32(left);
    result.Top = ClampToInt32(top);
    result.Right = ClampToInt32(left + (static_cast<std::int64_t>(r.Right) - r.Left));
    result.Bottom = ClampToInt32(top + (static_cast<std::int64_t>(r.Bottom) - r.Top));
    return result;
}

TRect FitRect(const TRect& src, const TRect& box) noexcept
{
    const std::int32_t sourceWidth = src.Width() == 0 ? 1 : src.Width();
    const std::int32_t sourceHeight = src.Height() == 0 ? 1 : src.Height();
    const std::int32_t boxWidth = box.Width();
    const std::int32_t boxHeight = box.Height();
    TRect result = box;
    if (static_cast<double>(boxHeight) / sourceHeight > static_cast<double>(boxWidth) / sourceWidth) {
        const std::int32_t height = MulDivFloor(sourceHeight, boxWidth, sourceWidth);
        result.Top = box.Top + ((boxHeight - height) >> 1);
        result.Bottom = result.Top + height;
    } else {
        const std::int32_t width = MulDivFloor(sourceWidth, boxHeight, sourceHeight);
        result.Left = box.Left + ((boxWidth - width) >> 1);
        result.Right = result.Left + width;
    }
    return result;
}

}  // namespace ovrel::core
