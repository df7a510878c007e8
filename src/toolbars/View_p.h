#pragma once
// Small helpers shared by the viewers and the views.

#include "toolbars/Items.h"

#include "toolkit/Graphics.h"

namespace ovrel::toolbars::detail {

[[nodiscard]] inline bool HasStyle(const TTBCustomItem* item, TTBItemStyle bits)
{
    return (item->GetItemStyle() & bits) != 0;
}

[[nodiscard]] inline bool IsControlItem(const TTBCustomItem* item)
{
    return dynamic_cast<const TTBControlItem*>(item) != nullptr;
}

[[nodiscard]] inline int RectWidth(const toolkit::TRect& r) { return r.right - r.left; }
[[nodiscard]] inline int RectHeight(const toolkit::TRect& r) { return r.bottom - r.top; }

}  // namespace ovrel::toolbars::detail
