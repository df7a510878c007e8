#include "inspector/ItemDisplay.h"

#include "inspector/PropertyItems.h"

#include <cmath>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

// The drawing itself comes with the grid's paint; until then a display draws nothing and takes no input.

TItemDisplay::TItemDisplay(TCustomPropertyItem* item) : FItem(item), FBitmap(std::make_unique<TBitmap>()) {}

TItemDisplay::~TItemDisplay() = default;

void TItemDisplay::SetColors(TColor selectionColor, TColor categoriesColor, bool themed, TColor gridColor,
                             TColor marginColor)
{
    FSelectionColor = selectionColor;
    FCategoriesColor = categoriesColor;
    FThemed = themed;
    FGridColor = gridColor;
    FMarginColor = marginColor;
}

void TItemDisplay::DrawValueBackground() {}
void TItemDisplay::DrawPreview(const TRect&) {}
void TItemDisplay::KeyDown(std::uint16_t&, TShiftState) {}
void TItemDisplay::MouseDown(TMouseButton, TShiftState, int, int) {}
void TItemDisplay::MouseLeave() {}
void TItemDisplay::MouseMove(TShiftState, int, int) {}
void TItemDisplay::MouseUp(TMouseButton, TShiftState, int, int) {}
void TItemDisplay::DrawCaption() {}
void TItemDisplay::DrawExpandButton() {}
void TItemDisplay::DrawSuffix() {}
void TItemDisplay::DrawValue() {}

void TTextualItemDisplay::GetTextRect(TRect& rect)
{
    rect = Rect;
    rect.left += GetItem()->GetShowPreview() ? 30 : 3;
}

void TTextualItemDisplay::DrawText() {}

// ---- Geometry of the toolbar and track-bar cells ---------------------------------------------------------

int ToolbarButtonLeft(const TRect& cell, int index, int buttonCount, int buttonWidth, bool rightJustify)
{
    return rightJustify ? cell.right + buttonWidth * (index - buttonCount) : cell.left + index * buttonWidth;
}

int ToolbarButtonAt(int x, int cellWidth, int buttonCount, int buttonWidth, bool rightJustify)
{
    if (buttonWidth <= 0 || x < 0)
        return -1;
    const int start = rightJustify ? cellWidth - buttonCount * buttonWidth : 0;
    if (x < start)
        return -1;
    const int index = (x - start) / buttonWidth;
    return index < buttonCount ? index : -1;
}

int TrackThumbOffset(int trackLength, int position, int min, int max)
{
    if (max <= min)
        return 0;
    return static_cast<int>(std::nearbyint(static_cast<double>(trackLength) * (position - min) / (max - min)));
}

bool TrackPositionAt(int x, int y, int cellWidth, int cellHeight, int margin, int textWidth, int min, int max,
                     int& position)
{
    const int trackLength = cellWidth - 2 * margin - textWidth;
    if (max <= min || trackLength <= 0)
        return false;
    if (x < margin || x >= cellWidth - margin || y < 0 || y >= cellHeight)
        return false;
    const double share = static_cast<double>(x - textWidth - margin) / trackLength;
    position = static_cast<int>(std::nearbyint(share * (max - min + 1))) + min;
    return true;
}

}  // namespace ovrel::inspector
