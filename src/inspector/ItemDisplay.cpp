#include "inspector/ItemDisplay.h"

#include "inspector/Drawing.h"
#include "inspector/ItemDisplay_p.h"
#include "inspector/PropertyItemClasses.h"
#include "inspector/PropertyItems.h"
#include "inspector/Resources.h"
#include "inspector/Themes.h"

#include "toolkit/SysUtils.h"

#include <cmath>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

using namespace detail;

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

// The base takes no input.
void TItemDisplay::KeyDown(std::uint16_t&, TShiftState) {}
void TItemDisplay::MouseDown(TMouseButton, TShiftState, int, int) {}
void TItemDisplay::MouseLeave() {}
void TItemDisplay::MouseMove(TShiftState, int, int) {}
void TItemDisplay::MouseUp(TMouseButton, TShiftState, int, int) {}

int TItemDisplay::CaptionTextLeft() const
{
    const int indent = FItem->GetIndent();
    if (HasImage())
        return indent + Images->GetWidth() + 25;
    return indent + 17;
}

bool TItemDisplay::HasImage() const { return Images != nullptr && FItem->GetImageIndex() >= 0; }

TRect TItemDisplay::CaptionFocusRect()
{
    const int indent = FItem->GetIndent();
    int right = indent + 18 + Canvas->TextWidth(FItem->GetCaption());
    if (HasImage())
        right += Images->GetWidth() + 8;
    return TRect{indent + 14, Rect.top, right, Rect.bottom};
}

void TItemDisplay::DrawCaption()
{
    if (Canvas == nullptr)
        return;
    Canvas->SetFont(FItem->GetFont());
    const bool category = FItem->GetLevel() == 0;
    switch (Style) {
    case psDefault:
        if (category) {
            if (FThemed)
                DrawThemedBackground(CanvasWindow(Canvas), Canvas->GetHandle(), Rect, 1, 0, "rebar");
            else
                Fill(Canvas, Rect, FCategoriesColor);
            if (Selected)
                TGraphicsProvider::DrawFocusRect(Canvas, CaptionFocusRect(), false);
        } else if (Selected) {
            Fill(Canvas, Rect, FSelectionColor);
            Canvas->GetFont()->SetColor(clHighlightText);
        } else {
            Fill(Canvas, Rect, FItem->GetColor());
        }
        break;
    case psOffice2003:
        if (category)
            TGraphicsProvider::DrawGradient(Canvas, Rect, SchemeColor(Selected ? 1 : 10),
                                            SchemeColor(Selected ? 2 : 11));
        else if (Selected)
            FramedBox(Canvas, Rect, clHotLight, SchemeColor(0));
        else
            Fill(Canvas, Rect, FItem->GetColor());
        break;
    case psWhidbey:
        if (category) {
            TGraphicsProvider::DrawGradient(Canvas, Rect, clWindow, clBtnFace);
            if (Selected)
                Frame(Canvas, CaptionFocusRect(), clBlack);
        } else if (Selected) {
            FramedBox(Canvas, Rect, clHighlight, BlendColor(clHighlight, clWindow, 80));
        } else {
            Fill(Canvas, Rect, FItem->GetColor());
        }
        break;
    }
    if (!FItem->GetEnabled())
        Canvas->GetFont()->SetColor(clGrayText);
    if (HasImage()) {
        const int height = Rect.bottom - Rect.top;
        Images->Draw(Canvas, FItem->GetIndent() + Rect.left + 3, Rect.top + height / 2 - Images->GetHeight() / 2,
                     FItem->GetImageIndex());
    }
    const TRect text{CaptionTextLeft(), Rect.top, Rect.right, Rect.bottom};
    TGraphicsProvider::DrawText(Canvas, text, taLeftJustify, FItem->GetCaption(), RightToLeft(BiDiMode));
}

void TItemDisplay::DrawExpandButton()
{
    if (Canvas == nullptr)
        return;
    const int x = FItem->GetIndent() + 2;
    const int y = Rect.top + (Rect.bottom - Rect.top) / 2 - 5;
    const bool expanded = FItem->GetExpanded();
    if (Style == psDefault) {
        if (FThemed)
            DrawThemedBackground(CanvasWindow(Canvas), Canvas->GetHandle(), TRect{x, y, x + 9, y + 9}, expanded ? 2 : 1,
                                 2, "treeview");
        else
            DrawExpandBox(Canvas, TPoint{x, y}, expanded, FMarginColor, FItem->GetLevel() == 0);
        return;
    }
    LoadResourceBitmap(FBitmap.get(), expanded ? "OFFICE2003COLLAPSE" : "OFFICE2003EXPAND");
    TDrawProvider::DrawBitmap(Canvas, x, y, FBitmap.get());
}

void TItemDisplay::DrawSuffix()
{
    if (Canvas == nullptr)
        return;
    Canvas->SetFont(FItem->GetValueFont());
    Fill(Canvas, Rect, FItem->GetColor());
    const TRect clip = Canvas->GetClipRect();
    Fill(Canvas, TRect{Rect.left, clip.top, Rect.left + 1, clip.bottom}, FGridColor);
    const TRect text{Rect.left + 3, Rect.top, Rect.right, Rect.bottom};
    TGraphicsProvider::DrawText(Canvas, text, taLeftJustify, FItem->GetSuffixValue(), RightToLeft(BiDiMode));
}

void TItemDisplay::DrawValueBackground()
{
    if (Canvas != nullptr && FItem->GetLevel() > 0)
        Fill(Canvas, Rect, FItem->GetColor());
}

void TItemDisplay::DrawValue()
{
    if (Canvas == nullptr)
        return;
    DrawValueBackground();
    if (!FItem->GetShowPreview() || !FItem->HasPreview())
        return;
    const TRect frame{Rect.left + 1, Rect.top + 1, Rect.left + 21, Rect.bottom - 1};
    Frame(Canvas, frame, clBlack);
    DrawPreview(TRect{frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1});
}

void TItemDisplay::DrawPreview(const TRect&) {}

void TTextualItemDisplay::GetTextRect(TRect& rect)
{
    rect = Rect;
    rect.left += GetItem()->GetShowPreview() ? 30 : 3;
}

void TTextualItemDisplay::DrawValue()
{
    TItemDisplay::DrawValue();
    DrawText();
}

void TTextualItemDisplay::DrawText()
{
    if (Canvas == nullptr)
        return;
    const TCustomPropertyItem* item = GetItem();
    Canvas->SetFont(item->GetValueFont());
    std::string text = item->GetValue();
    if (text.empty()) {
        text = item->GetEmptyValue();
        Canvas->GetFont()->SetColor(clGrayText);
    } else if (const auto* textual = dynamic_cast<const TTextualItem*>(item);
               textual != nullptr && textual->GetPasswordChar() != 0) {
        text = PasswordMask(text, textual->GetPasswordChar());
    }
    if (text.empty())
        return;
    TRect r;
    GetTextRect(r);
    TGraphicsProvider::DrawText(Canvas, r, taLeftJustify, text, RightToLeft(BiDiMode));
}

std::string PasswordMask(std::string_view value, char16_t mask)
{
    std::string one;
    AppendUtf8(one, mask);
    std::string masked;
    for (std::size_t at = 0; at < value.size();) {
        NextUtf8CodePoint(value, at);
        masked += one;
    }
    return masked;
}

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
