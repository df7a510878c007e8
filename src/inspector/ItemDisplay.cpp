#include "inspector/ItemDisplay.h"

#include "inspector/PropertyItems.h"

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

}  // namespace ovrel::inspector
