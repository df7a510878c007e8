#include "themes/ThemedViewers.h"

#include "themes/Nexus.h"
#include "themes/ThemedCommon.h"
#include "themes/ThemedItems.h"
#include "themes/Themes_p.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"
#include "toolbars/Common.h"
#include "toolbars/View.h"

#include <algorithm>

namespace ovrel::themes {

using namespace ovrel::toolkit;
using namespace ovrel::toolbars;
using ui::HDC;
using ui::UINT;

namespace {

int Width(const TRect& r) { return r.right - r.left; }
int Height(const TRect& r) { return r.bottom - r.top; }

bool HasStyle(const TTBCustomItem* item, TTBItemStyle bits) { return (item->GetItemStyle() & bits) != 0; }

const TTBXCustomItem* ThemedItem(const TTBCustomItem* item) { return dynamic_cast<const TTBXCustomItem*>(item); }

TTBXItemLayout ItemLayout(const TTBCustomItem* item)
{
    const TTBXCustomItem* themed = ThemedItem(item);
    return themed != nullptr ? themed->GetLayout() : tbxlAuto;
}

// The theme's size by index; 0 while no theme runs.
int Metric(int index)
{
    const TTBXTheme* theme = CurrentTheme();
    return theme != nullptr ? theme->GetIntegerMetric(index) : 0;
}

ui::TEXTMETRIC MetricsOf(TCanvas* canvas)
{
    ui::TEXTMETRIC metrics;
    ui::GetTextMetrics(canvas->GetHandle(), &metrics);
    return metrics;
}

bool InToolboxPopup(const TTBView* view) { return GetViewType(view) == VT_TOOLBOXPOPUP; }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TTBXItemViewer: predicates

TTBXItemViewer::TTBXItemViewer(TTBView* view, TTBCustomItem* item, int groupLevel)
    : TTBItemViewer(view, item, groupLevel)
{}

bool TTBXItemViewer::IsToolbarSize() const { return TTBItemViewer::IsToolbarSize() || InToolboxPopup(GetView()); }

bool TTBXItemViewer::IsToolbarStyle() const { return TTBItemViewer::IsToolbarStyle() || InToolboxPopup(GetView()); }

bool TTBXItemViewer::IsPtInButtonPart(int x, int) const
{
    if (!HasStyle(GetItem(), itsSplitButton))
        return !HasStyle(GetItem(), itsSubmenu);
    const int dropPart = IsToolbarStyle() ? Metric(10) : ui::GetSystemMetrics(ui::SM_CXMENUCHECK);
    return x < Width(GetBoundsRect()) - dropPart;
}

int TTBXItemViewer::GetAccRole() const
{
    const TTBXCustomItem* themed = ThemedItem(GetItem());
    if (themed != nullptr && themed->GetToolBoxPopup() && HasStyle(themed, itsSubmenu))
        return ui::ROLE_SYSTEM_BUTTONDROPDOWNGRID;
    return TTBItemViewer::GetAccRole();
}

bool TTBXItemViewer::IsImageShown() const { return ImageShown(); }

int TTBXItemViewer::GetItemMarginKind() const { return IsToolbarStyle() ? MID_TOOLBARITEM : MID_MENUITEM; }

TSize TTBXItemViewer::GetImageSize() const
{
    const TCustomImageList* images = GetImageList();
    return images != nullptr ? TSize{images->GetWidth(), images->GetHeight()} : TSize{0, 0};
}

UINT TTBXItemViewer::GetTextFlags() const
{
    const TTBView* view = GetView();
    const bool hidden = !AlwaysShowAccelerators() && (view->GetStyle() & ViewStyleAccelsFollowSystem) != 0 &&
                        (view->GetState() & ViewStateAccelsShown) == 0;
    return hidden ? ui::DT_HIDEPREFIX : 0;
}

// ---------------------------------------------------------------------------------------------------------
// Fonts and text

void TTBXItemViewer::AdjustFont(TFont* font, int stateFlags)
{
    TTBCustomItem* item = GetItem();
    if (item->GetEffectiveOptions().Contains(tboDefault))
        font->SetStyle(font->GetStyle() + TFontStyles{fsBold});
    if (auto* themed = dynamic_cast<TTBXCustomItem*>(item)) {
        ApplyFontSettings(*themed->GetFontSettings(), *font);
        themed->OnAdjustFont(item, this, font, stateFlags);
    }
}

void TTBXItemViewer::GetTextSize(TCanvas* canvas, const std::string& text, TSize& size, int stateFlags, bool rotated,
                                 UINT format)
{
    size = TSize{0, 0};
    if (text.empty())
        return;
    TFont* font = canvas->GetFont();
    font->Assign(GetView()->GetFont());
    AdjustFont(font, stateFlags);
    HDC dc = canvas->GetHandle();
    if (rotated) {
        const int fontHeight = MetricsOf(canvas).tmHeight;
        detail::TSavedDC saved(dc);
        detail::TOwnedObject vertical(CreateVerticalFont(dc));
        if (vertical.Get() != nullptr)
            ui::SelectObject(dc, vertical.Get());
        TRect bounds{0, 0, 1, 0};
        ui::DrawText(dc, text, &bounds, ui::DT_CALCRECT | ui::DT_SINGLELINE);  // '&' marks processed
        size = TSize{fontHeight, Width(bounds)};
        return;
    }
    TRect bounds{0, 0, 1, 0};
    ui::DrawText(dc, text, &bounds, ui::DT_CALCRECT | format);
    size = TSize{bounds.right, bounds.bottom};
}

// ---------------------------------------------------------------------------------------------------------
// Measuring

namespace {

// The layout in force: auto puts the image on top with tboImageAboveCaption or in a vertical view.
TTBXItemLayout ResolvedLayout(const TTBCustomItem* item, const TTBView* view)
{
    const TTBXItemLayout layout = ItemLayout(item);
    if (layout != tbxlAuto)
        return layout;
    return item->GetEffectiveOptions().Contains(tboImageAboveCaption) || view->IsVertical() ? tbxlGlyphTop
                                                                                            : tbxlGlyphLeft;
}

// A caption turns with a vertical toolbar unless the form chose the layout or put the image above it.
bool IsCaptionRotated(const TTBCustomItem* item, const TTBView* view, bool toolbarStyle)
{
    return toolbarStyle && view->IsVertical() && ItemLayout(item) == tbxlAuto &&
           !item->GetEffectiveOptions().Contains(tboImageAboveCaption);
}

}  // namespace

void TTBXItemViewer::CalcSize(TCanvas* canvas, int& width, int& height)
{
    TTBCustomItem* item = GetItem();
    const TTBView* view = GetView();
    const bool toolbarStyle = IsToolbarStyle();
    TSize image = GetImageSize();
    if (image.cx <= 0 || image.cy <= 0)
        image = TSize{0, 0};
    const TTBXItemLayout layout = ResolvedLayout(item, view);

    const bool captionShown = CaptionShown();
    bool rotated = false;
    TSize text{0, 0};
    if (captionShown) {
        rotated = IsCaptionRotated(item, view, toolbarStyle);
        const UINT format = rotated || !toolbarStyle ? ui::DT_SINGLELINE : 0;
        GetTextSize(canvas, GetCaptionText(), text, 0, rotated, format);
    }

    if (toolbarStyle) {
        width = height = 6;
        if (captionShown) {
            width += text.cx;
            height += text.cy;
            (rotated ? height : width) += 4;
        }
        const bool imageShown = IsImageShown() && image.cx > 0;
        if (imageShown) {
            if (layout == tbxlGlyphLeft) {
                width += image.cx + (FWide ? 1 : 0);
                height = std::max<int>(height, image.cy + 6);
            } else {
                height += image.cy;
                width = std::max<int>(width, image.cx + 7);
            }
        }
        if (HasStyle(item, itsSubmenu)) {
            if (HasStyle(item, itsSplitButton)) {
                width += Metric(10);
            } else if (item->GetEffectiveOptions().Contains(tboDropdownArrow)) {
                const int arrow = Metric(20);
                if (layout == tbxlGlyphTop && imageShown && !rotated) {
                    if (view->IsVertical())
                        height = std::max<int>(height, arrow + image.cy + 2 + 7);
                    else
                        width = std::max<int>(width, arrow + image.cx + 2 + 7);
                } else {
                    (view->IsVertical() ? height : width) += arrow;
                }
            }
        }
    } else {
        const int cellX = Metric(31);
        const int cellY = Metric(30);
        width = 2 * cellX + text.cx;
        height = 2 * cellY + text.cy + MetricsOf(canvas).tmExternalLeading;
        if (image.cx == 0)
            image = TSize{16, 16};
        height = std::max<int>(height, 2 * cellY + image.cy);
        width += Metric(32) + GetPopupMargin(this) + Metric(33) + Metric(34);
        const std::string shortCut = item->GetShortCutText();
        if (!shortCut.empty()) {
            TSize shortCutSize;
            GetTextSize(canvas, shortCut, shortCutSize, 0, false, ui::DT_SINGLELINE);
            width += shortCutSize.cx + height - 6;
        }
        width += height;  // the submenu arrow
    }

    if (const TTBXCustomItem* themed = ThemedItem(item)) {
        width = std::max(width, themed->GetMinWidth());
        height = std::max(height, themed->GetMinHeight());
    }
}

// ---------------------------------------------------------------------------------------------------------
// Painting

void TTBXItemViewer::DoPaintCaption(TCanvas*, const TRect&, bool&, bool, const TRect&) {}

void TTBXItemViewer::DrawItemImage(TCanvas* canvas, const TRect& imageRect, const TItemPaintInfo& info)
{
    const TTBXTheme* theme = CurrentTheme();
    const TCustomImageList* images = GetImageList();
    TTBCustomItem* item = GetItem();
    const int index = item->GetImageIndex();
    if (theme == nullptr || images == nullptr || index < 0 || index >= images->GetCount())
        return;
    theme->PaintImage(*canvas, imageRect, info, images, index);
    if (auto* themed = dynamic_cast<TTBXCustomItem*>(item); themed != nullptr && themed->OnDrawImage)
        themed->OnDrawImage(item, this, canvas, imageRect, theme->GetImageOffset(*canvas, info, images),
                            GetStateFlags(info));
}

void TTBXItemViewer::Paint(TCanvas* canvas, const TRect& clientRect, bool selected, bool pushed, bool)
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr)
        return;
    TTBCustomItem* item = GetItem();
    TTBView* view = GetView();
    const TTBItemOptions options = item->GetEffectiveOptions();
    const bool submenu = HasStyle(item, itsSubmenu);

    // 1. A split item pushed without the mouse held on it is pushed by its open pop-up: the drop part shows it.
    const bool toolbarStyle = IsToolbarStyle();
    const bool split = HasStyle(item, itsSplitButton);
    bool dropPartPushed = false;
    if (split && pushed && !view->GetCapture()) {
        pushed = false;
        dropPartPushed = true;
    }

    // 2.
    const TSize image = GetImageSize();
    const bool imageShown = IsImageShown() && image.cx >= 1 && image.cy >= 1;

    // 3.
    TItemPaintInfo info;
    info.ViewType = GetViewType(view);
    info.ItemOptions = (toolbarStyle ? IO_TOOLBARSTYLE : 0) | (split ? IO_COMBO : 0) | (submenu ? IO_SUBMENUITEM : 0) |
                       (ApplicationIsActive() ? IO_APPACTIVE : 0);
    info.Enabled = item->GetEnabled() || view->GetCustomizing();
    info.Pushed = pushed;
    info.Checked = item->GetChecked();
    info.ImageShown = imageShown;
    info.ImageWidth = image.cx;
    info.ImageHeight = image.cy;
    if (selected) {
        if (info.Enabled)
            info.HoverKind = HK_HOT;
        else if (!view->GetSelectedViaMouse())
            info.HoverKind = HK_DISABLED;
    }
    info.IsPopupParent = toolbarStyle && (view->GetOpenViewer() != nullptr || submenu) &&
                         ((split && dropPartPushed) || (!split && pushed));
    info.IsVertical = view->IsVertical() && !split;
    info.PopupMargin = GetPopupMargin(this);
    const int stateFlags = GetStateFlags(info);

    // 5. The font; its colour is kept for the captions, as measuring them sets the font again.
    TFont* font = canvas->GetFont();
    font->Assign(view->GetFont());
    font->SetColor(theme->GetItemTextColor(info));
    AdjustFont(font, stateFlags);
    const TColor textColor = font->GetColor();

    // 6.
    const UINT textFlags = GetTextFlags();
    const bool captionShown = CaptionShown();
    const std::string caption = captionShown ? GetCaptionText() : std::string();
    const bool rotated = captionShown && IsCaptionRotated(item, view, toolbarStyle);
    UINT format = textFlags | (rotated || !toolbarStyle ? ui::DT_SINGLELINE : 0);
    TSize text{0, 0};
    if (captionShown)
        GetTextSize(canvas, caption, text, stateFlags, rotated, format);

    // 4.
    const TTBXItemLayout layout = ResolvedLayout(item, view);
    const bool glyphTopAsked =
        ItemLayout(item) == tbxlGlyphTop || (ItemLayout(item) == tbxlAuto && options.Contains(tboImageAboveCaption));
    const bool hasArrow = submenu && (split || options.Contains(tboDropdownArrow));
    const bool arrowBelow =
        hasArrow && !split && toolbarStyle && glyphTopAsked && imageShown && !rotated && text.cx > 0;

    // 7. The face, and the content rectangle inside it.
    const int arrowSize = Metric(20);
    TRect content = clientRect;
    TRect captionRect = clientRect;
    if (toolbarStyle) {
        TRect arrow{};
        if (split) {
            info.SplitPart = SP_BUTTON;
            arrow = content;
            arrow.left = content.right - Metric(10);
            content.right = arrow.left;
        } else if (arrowBelow) {
            arrow.right = (clientRect.left + clientRect.right + image.cx + arrowSize + 4) / 2;
            arrow.left = arrow.right - arrowSize;
            arrow.top = clientRect.top + 2;
            arrow.bottom = arrow.top + image.cy + 2;
        } else if (hasArrow) {
            const int inset = Metric(21);
            if (view->IsVertical())
                arrow = TRect{content.left, content.bottom - arrowSize - inset, content.right, content.bottom - inset};
            else
                arrow = TRect{content.right - arrowSize - inset, content.top, content.right - inset, content.bottom};
        }
        if (hasArrow && !split)
            info.SplitPart = SP_DROPDOWN;

        if (split) {
            theme->PaintButton(*canvas, content, info);
            const TItemPaintInfo buttonPart = info;
            info.Pushed = dropPartPushed;
            info.Checked = false;
            info.SplitPart = SP_DROPPART;
            theme->PaintButton(*canvas, arrow, info);
            info = buttonPart;
        } else {
            theme->PaintButton(*canvas, content, info);
            if (hasArrow) {
                theme->PaintDropDownArrow(*canvas, arrow, info);
                if (!arrowBelow)
                    (view->IsVertical() ? content.bottom : content.right) -= arrowSize;
            }
        }
        ui::InflateRect(&content, -2, -2);
    } else {
        theme->PaintMenuItem(*canvas, clientRect, info);
        const int cellX = Metric(31);
        captionRect.left += info.PopupMargin + cellX;
        captionRect.right -= cellX;
        content.left += cellX;
        content.right -= cellX;
    }

    const auto drawText = [&](const TRect& rect, const std::string& value, UINT textFormat, bool turned) {
        bool paintDefault = true;
        DoPaintCaption(canvas, clientRect, paintDefault, turned, rect);
        if (!paintDefault)
            return;
        canvas->GetFont()->SetColor(textColor);
        theme->PaintCaption(*canvas, rect, info, value, textFormat, turned);
    };

    // 8. The caption.
    if (toolbarStyle) {
        if (captionShown) {
            format |= ui::DT_CENTER | ui::DT_VCENTER;
            captionRect = content;
            if (imageShown && layout == tbxlGlyphLeft) {
                captionRect.left = content.left + image.cx + 3;
                captionRect.left += (content.right - captionRect.left - text.cx) / 2;
                captionRect.top = (content.top + content.bottom - text.cy) / 2;
                format &= ~ui::DT_CENTER;
            } else if (imageShown) {
                captionRect.top = content.top + image.cy + 1 + (rotated ? 3 : 0);
                captionRect.top += (content.bottom - captionRect.top - text.cy) / 2;
                captionRect.left = content.left + (Width(content) - text.cx) / 2;
                format &= ~ui::DT_VCENTER;
            } else {
                captionRect.left = content.left + (Width(content) - text.cx) / 2;
                captionRect.top = content.top + (Height(content) - text.cy) / 2;
            }
            captionRect.right = captionRect.left + text.cx;
            captionRect.bottom = captionRect.top + text.cy;
            drawText(captionRect, caption, format, rotated);
        }
    } else {
        format |= ui::DT_VCENTER;
        captionRect.left += Metric(32) + Metric(33);
        const ui::TEXTMETRIC metrics = MetricsOf(canvas);
        if (Metric(30) == Height(content) - metrics.tmHeight - metrics.tmExternalLeading)
            --captionRect.bottom;
        captionRect.top += metrics.tmExternalLeading;
        if (captionShown) {
            TRect rect = captionRect;
            rect.right = rect.left + text.cx;
            drawText(rect, caption, format, false);
        }
        // 9. The shortcut ends one row height before the right edge, where the submenu arrow would go.
        const std::string shortCut = item->GetShortCutText();
        if (!shortCut.empty()) {
            TSize size;
            GetTextSize(canvas, shortCut, size, stateFlags, false, format);
            TRect rect = captionRect;
            rect.right = content.right - Height(clientRect);
            rect.left = rect.right - size.cx;
            drawText(rect, shortCut, format, false);
        }
    }

    // 10. The image, or the check mark of a menu item without one.
    if (imageShown || (!toolbarStyle && info.Checked)) {
        TRect imageRect = content;
        if (toolbarStyle) {
            if (arrowBelow)
                ui::OffsetRect(&imageRect, -(arrowSize - 1) / 2, 0);
            if (layout == tbxlGlyphLeft)
                imageRect.right = imageRect.left + image.cx + 2;
            else
                imageRect.bottom = imageRect.top + image.cy + 2;
        } else {
            imageRect.right = imageRect.left + Height(clientRect);
        }
        if (imageShown) {
            const int x = imageRect.left + (Width(imageRect) - image.cx) / 2;
            const int y = imageRect.top + (Height(imageRect) - image.cy) / 2;
            DrawItemImage(canvas, TRect{x, y, x + image.cx, y + image.cy}, info);
        } else {
            theme->PaintCheckMark(*canvas, imageRect, info);
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// TTBXSeparatorItemViewer

bool TTBXSeparatorItemViewer::IsToolbarSize() const
{
    return TTBSeparatorItemViewer::IsToolbarSize() || InToolboxPopup(GetView());
}

bool TTBXSeparatorItemViewer::IsToolbarStyle() const
{
    return TTBSeparatorItemViewer::IsToolbarStyle() || InToolboxPopup(GetView());
}

namespace {

int SeparatorSize(const TTBCustomItem* item)
{
    const auto* separator = dynamic_cast<const TTBXSeparatorItem*>(item);
    return separator != nullptr ? separator->GetSize() : -1;
}

}  // namespace

void TTBXSeparatorItemViewer::CalcSize(TCanvas* canvas, int& width, int& height)
{
    const bool toolbarStyle = IsToolbarStyle();
    int size = SeparatorSize(GetItem());
    if (size == -1)
        size = Metric(toolbarStyle ? 50 : 35);
    if (size < 0) {
        TTBSeparatorItemViewer::CalcSize(canvas, width, height);
        return;
    }
    width = toolbarStyle ? size : 0;
    height = size;
}

void TTBXSeparatorItemViewer::Paint(TCanvas* canvas, const TRect& clientRect, bool, bool, bool)
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr || SeparatorSize(GetItem()) == 0)
        return;
    const TTBView* view = GetView();
    const bool toolbarStyle = IsToolbarStyle();
    const auto* separator = dynamic_cast<const TTBSeparatorItem*>(GetItem());
    TItemPaintInfo info;
    info.ViewType = GetViewType(view);
    info.ItemOptions = toolbarStyle ? IO_TOOLBARSTYLE : 0;
    info.Enabled = separator == nullptr || !separator->GetBlank();
    if (!toolbarStyle)
        info.PopupMargin = GetPopupMargin(this);
    const bool lineSeparator = IsDrawnAsLineBreak();
    const bool popupType = (info.ViewType & VT_POPUP) != 0 && (info.ViewType & VT_CHEVRONPOPUP) != VT_CHEVRONPOPUP;
    const bool horizontal = view->IsVertical() != lineSeparator || view->IsPopup() || popupType;
    theme->PaintSeparator(*canvas, clientRect, info, horizontal, lineSeparator);
}

}  // namespace ovrel::themes
