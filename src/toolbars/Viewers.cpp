#include "toolbars/Viewers.h"

#include "toolbars/AccObjects.h"

#include "platform/ui/Accessibility.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolbars/Common.h"
#include "toolbars/View.h"
#include "toolbars/View_p.h"
#include "toolkit/ActnList.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace ovrel::toolbars {

using namespace ovrel::toolkit;
using namespace ovrel::ui;
using detail::RectHeight;
using detail::RectWidth;

namespace {

// The arrow part of a split button in a toolbar, and the drop-down arrow of a plain one.
constexpr int kSplitArrowWidth = 11;
constexpr int kDropdownArrowWidth = 8;
// Toolbar-style viewers keep this much around their content on each side.
constexpr int kToolbarPadding = 3;

bool Has(const TTBCustomItem* item, TTBItemStyle bits) { return detail::HasStyle(item, bits); }

// Fills rect with the 8 x 8 dither of button face and button highlight that marks a checked button.
void FillDither(HDC dc, const TRect& rect)
{
    static constexpr std::array<std::uint16_t, 8> kRows{0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kRows.data());
    HBRUSH brush = CreatePatternBrush(pattern);
    const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
    const COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &rect, brush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    DeleteObject(brush);
    DeleteObject(pattern);
}

// The platform's menu arrow glyph in rect, painted through its mask; embossed when disabled.
void DrawMenuArrow(HDC dc, const TRect& rect, bool enabled, COLORREF color)
{
    const int w = RectWidth(rect);
    const int h = RectHeight(rect);
    if (w <= 0 || h <= 0)
        return;
    HDC maskDC = CreateCompatibleDC(nullptr);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(maskDC, mask);
    TRect glyph{0, 0, w, h};
    DrawFrameControl(maskDC, &glyph, DFC_MENU, DFCS_MENUARROW);
    SelectObject(maskDC, old);
    DeleteDC(maskDC);
    const auto paint = [&](int dx, COLORREF c) {
        HBRUSH brush = CreateSolidBrush(c);
        DrawMonoGlyph(dc, mask, rect.left + dx, rect.top + dx, brush);
        DeleteObject(brush);
    };
    if (enabled) {
        paint(0, color);
    } else {
        paint(1, GetSysColor(COLOR_BTNHIGHLIGHT));
        paint(0, GetSysColor(COLOR_BTNSHADOW));
    }
    DeleteObject(mask);
}

// A small triangle pointing down, centred in rect: the drop-down arrow of toolbar buttons.
void DrawDropdownArrow(HDC dc, const TRect& rect, COLORREF color)
{
    static constexpr std::array<BYTE, 3> kRows{0xF8, 0x70, 0x20};
    HBRUSH brush = CreateSolidBrush(color);
    DrawMonoGlyph(dc, kRows, rect.left + (RectWidth(rect) - 5) / 2, rect.top + (RectHeight(rect) - 3) / 2, brush);
    DeleteObject(brush);
}

// The check mark of a menu item without an image.
void DrawCheckMark(HDC dc, const TRect& column)
{
    const int cx = column.left + RectWidth(column) / 2;
    const int cy = column.top + RectHeight(column) / 2;
    const std::array<POINT, 7> mark{POINT{cx - 3, cy - 1}, POINT{cx - 1, cy + 1}, POINT{cx + 3, cy - 3},
                                    POINT{cx + 3, cy - 1}, POINT{cx - 1, cy + 3}, POINT{cx - 3, cy + 1},
                                    POINT{cx - 3, cy - 1}};
    const std::array<POINT, 5> light{POINT{cx - 3, cy + 2}, POINT{cx - 1, cy + 4}, POINT{cx + 4, cy - 1},
                                     POINT{cx + 4, cy - 3}, POINT{cx + 4, cy - 3}};
    HPEN textPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldPen = SelectObject(dc, textPen);
    Polyline(dc, mark.data(), static_cast<int>(mark.size()));
    HPEN lightPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    SelectObject(dc, lightPen);
    Polyline(dc, light.data(), static_cast<int>(light.size()));
    SelectObject(dc, oldPen);
    DeleteObject(textPen);
    DeleteObject(lightPen);
}

// Edges of the platform by their kind number.
void DrawFrame(HDC dc, TRect rect, bool sunken)
{
    DrawEdge(dc, &rect, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Life

TTBItemViewer::TTBItemViewer(TTBView* view, TTBCustomItem* item, int groupLevel)
    : FGroupLevel(groupLevel), FItem(item), FView(view)
{
    CountItemObject();
}

TTBItemViewer::~TTBItemViewer()
{
    CancelDeferredCalls(static_cast<const ITBAccActionHandler*>(this));
    // A client may still hold the object: it stays, answering that the viewer is gone.
    if (FAccObject != nullptr) {
        FAccObject->ClientIsDestroying();
        FAccObject->Release();
    }
    UncountItemObject();
}

TTBItemViewerAccObject* TTBItemViewer::GetAccObject()
{
    if (FAccObject == nullptr)
        FAccObject = new TTBItemViewerAccObject(this);
    return FAccObject;
}

// ---------------------------------------------------------------------------------------------------------
// Texts and predicates

std::string TTBItemViewer::GetCaptionText() const
{
    const std::string& caption = FItem->GetCaption();
    return caption.substr(0, caption.find('\t'));
}

std::string TTBItemViewer::GetHintText() const
{
    std::string hint = GetShortHint(FItem->GetHint());
    if (hint.empty() && (!Has(FItem, itsSubmenu) || Has(FItem, itsSplitButton) || !CaptionShown()))
        hint = StripAccelChars(StripTrailingPunctuation(GetCaptionText()));
    if (auto* action = dynamic_cast<TCustomAction*>(FItem->GetAction())) {
        if (!action->DoHint(hint))
            hint.clear();
    }
    if (!hint.empty() && Application()->GetHintShortCuts() && FItem->GetShortCut() != 0)
        hint = Format("%s (%s)", {hint, ShortCutToText(FItem->GetShortCut())});
    return hint;
}

bool TTBItemViewer::CaptionShown() const
{
    const bool imageAbove = FItem->GetEffectiveOptions().Contains(tboImageAboveCaption);
    if (GetCaptionText().empty())
        return imageAbove;
    const TTBItemDisplayMode mode = FItem->GetDisplayMode();
    const bool imageOnly =
        IsToolbarSize() && FItem->GetImageIndex() >= 0 && mode != nbdmTextOnly && mode != nbdmImageAndText;
    return !imageOnly || imageAbove;
}

bool TTBItemViewer::ImageShown() const
{
    if (FItem->GetImageIndex() < 0)
        return false;
    const TTBItemDisplayMode mode = FItem->GetDisplayMode();
    return mode == nbdmDefault || mode == nbdmImageAndText || (mode == nbdmTextOnlyInMenus && IsToolbarStyle());
}

TCustomImageList* TTBItemViewer::GetImageList() const
{
    if (FItem->GetImages() != nullptr)
        return FItem->GetImages();
    for (const TTBView* view = FView; view != nullptr; view = view->GetParentView()) {
        if (view->GetCurParentItem() != nullptr && view->GetCurParentItem()->GetSubMenuImages() != nullptr)
            return view->GetCurParentItem()->GetSubMenuImages();
        if (view->GetParentItem() != nullptr && view->GetParentItem()->GetSubMenuImages() != nullptr)
            return view->GetParentItem()->GetSubMenuImages();
    }
    return nullptr;
}

bool TTBItemViewer::IsRotated() const
{
    const TTBItemOptions options = FItem->GetEffectiveOptions();
    return FView->IsVertical() && !options.Contains(tboNoRotation) && !options.Contains(tboImageAboveCaption);
}

bool TTBItemViewer::IsToolbarSize() const
{
    return FView->IsToolbar() || FItem->GetEffectiveOptions().Contains(tboToolbarSize);
}

bool TTBItemViewer::IsToolbarStyle() const
{
    return FView->IsToolbar() || FItem->GetEffectiveOptions().Contains(tboToolbarStyle);
}

bool TTBItemViewer::IsPtInButtonPart(int x, int) const
{
    if (Has(FItem, itsSplitButton)) {
        const int arrow = IsToolbarStyle() ? kSplitArrowWidth : GetSystemMetrics(SM_CXMENUCHECK);
        return x < RectWidth(FBoundsRect) - arrow;
    }
    return !Has(FItem, itsSubmenu);
}

bool TTBItemViewer::UsesSameWidth() const
{
    const TTBItemOptions options = FItem->GetEffectiveOptions();
    return options.Contains(tboImageAboveCaption) && options.Contains(tboSameWidth) && IsToolbarSize();
}

int TTBItemViewer::GetAccRole() const
{
    if (detail::IsControlItem(FItem))
        return ROLE_SYSTEM_CLIENT;
    if (Has(FItem, itsSeparator))
        return ROLE_SYSTEM_SEPARATOR;
    if (FView->IsPopup() || (FView->GetStyle() & ViewStyleMenuBar) != 0)
        return ROLE_SYSTEM_MENUITEM;
    if (Has(FItem, itsSubmenu))
        return ROLE_SYSTEM_BUTTONMENU;
    return ROLE_SYSTEM_PUSHBUTTON;
}

bool TTBItemViewer::GetAccValue(std::string&) const { return false; }

int TTBItemViewer::IndexInView() const { return FView->IndexOfViewer(this); }

TPoint TTBItemViewer::ScreenToViewer(TPoint screenPoint) const
{
    TPoint p = screenPoint;
    if (FView->GetWindow() != nullptr)
        p = FView->GetWindow()->ScreenToClient(screenPoint);
    return TPoint{p.x - FBoundsRect.left, p.y - FBoundsRect.top};
}

// ---------------------------------------------------------------------------------------------------------
// Measuring

void TTBItemViewer::CalcSize(TCanvas* canvas, int& width, int& height)
{
    HDC dc = canvas->GetHandle();
    const bool toolbarStyle = IsToolbarStyle();
    const TTBItemOptions options = FItem->GetEffectiveOptions();
    TCustomImageList* images = GetImageList();
    width = height = toolbarStyle ? 6 : 0;

    if (!toolbarStyle || CaptionShown()) {
        const std::string caption = GetCaptionText();
        const int extra = toolbarStyle ? 6 : 0;
        if (IsRotated()) {
            const int saved = SaveDC(dc);
            HFONT vertical = CreateVerticalFont(dc);
            if (vertical != nullptr)
                SelectObject(dc, vertical);
            width += GetTextHeight(dc);
            height += MeasureCaptionWidth(dc, caption, true) + extra;
            RestoreDC(dc, saved);
            DeleteObject(vertical);
        } else {
            height += GetTextHeight(dc);
            width += MeasureCaptionWidth(dc, caption, true) + extra;
        }
    }

    if (toolbarStyle) {
        if (ImageShown() && images != nullptr) {
            if (IsRotated() || options.Contains(tboImageAboveCaption)) {
                height += images->GetHeight();
                width = std::max(width, images->GetWidth() + 7);
            } else {
                width += images->GetWidth() + 1;
                height = std::max(height, images->GetHeight() + 6);
            }
        }
        if (Has(FItem, itsSubmenu)) {
            if (Has(FItem, itsSplitButton))
                width += kSplitArrowWidth;
            else if (options.Contains(tboDropdownArrow))
                (FView->IsVertical() ? height : width) += kDropdownArrowWidth;
        }
        return;
    }

    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    height = metrics.tmHeight + metrics.tmExternalLeading + 4;
    if (images != nullptr)
        height = std::max(height, images->GetHeight() + 3);
    const int imageColumn =
        images != nullptr ? MulDiv(images->GetWidth() + 3, height, images->GetHeight() + 3) : height;
    width += imageColumn + 6;
    const std::string shortCut = FItem->GetShortCutText();
    if (!shortCut.empty())
        width += GetTextWidthPlain(dc, shortCut) + height - 6;
    width += height;
}

void TTBSeparatorItemViewer::CalcSize(TCanvas* canvas, int& width, int& height)
{
    if (IsToolbarStyle()) {
        width = height = 6;
        return;
    }
    width = 0;
    height = DivRoundUp(GetTextHeight(canvas->GetHandle()) * 2, 3);
}

// ---------------------------------------------------------------------------------------------------------
// Painting: the framework's own look, in place wherever no themed viewer is

UINT TTBItemViewer::CaptionPrefixFormat() const
{
    const bool hidden = (FView->GetStyle() & ViewStyleAccelsFollowSystem) != 0 &&
                        (FView->GetState() & ViewStateAccelsShown) == 0 && !AlwaysShowAccelerators();
    return hidden ? DT_HIDEPREFIX : 0;
}

void TTBItemViewer::DrawItemCaption(TCanvas* canvas, TRect rect, const std::string& caption, bool emboss, UINT format)
{
    HDC dc = canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    const auto draw = [&](TRect r) {
        if (IsRotated())
            DrawVerticalText(dc, caption, r, format);
        else
            DrawText(dc, caption, &r, format);
    };
    if (emboss) {
        const COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        OffsetRect(&rect, 1, 1);
        draw(rect);
        OffsetRect(&rect, -1, -1);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
        draw(rect);
        SetTextColor(dc, old);
    } else {
        draw(rect);
    }
}

void TTBItemViewer::Paint(TCanvas* canvas, const TRect& clientRect, bool selected, bool pushed, bool emboss)
{
    if (FItem->GetEffectiveOptions().Contains(tboDefault))
        canvas->GetFont()->SetStyle(canvas->GetFont()->GetStyle() + TFontStyles{fsBold});
    if (IsToolbarStyle())
        PaintToolbarStyle(canvas, clientRect, selected, pushed, emboss);
    else
        PaintMenuStyle(canvas, clientRect, selected, emboss);
}

void TTBItemViewer::PaintToolbarStyle(TCanvas* canvas, const TRect& clientRect, bool selected, bool pushed, bool emboss)
{
    HDC dc = canvas->GetHandle();
    const bool enabled = FItem->GetEnabled() || FView->GetCustomizing();
    const bool checked = FItem->GetChecked();
    const bool split = Has(FItem, itsSubmenu) && Has(FItem, itsSplitButton);
    const bool dropdown = Has(FItem, itsSubmenu) && !split && FItem->GetEffectiveOptions().Contains(tboDropdownArrow);
    const bool vertical = FView->IsVertical();

    TRect button = clientRect;
    TRect arrow{};
    if (split) {
        button.right -= kSplitArrowWidth;
        arrow = TRect{button.right, clientRect.top, clientRect.right, clientRect.bottom};
    } else if (dropdown) {
        if (vertical) {
            button.bottom -= kDropdownArrowWidth;
            arrow = TRect{clientRect.left, button.bottom, clientRect.right, clientRect.bottom};
        } else {
            button.right -= kDropdownArrowWidth;
            arrow = TRect{button.right, clientRect.top, clientRect.right, clientRect.bottom};
        }
    }

    const bool framed = (selected && enabled) || checked;
    const bool buttonDown = split ? (pushed && FView->GetCapture()) || checked : pushed || checked;
    if (split) {
        if (framed)
            DrawFrame(dc, button, buttonDown);
        if (selected && enabled)
            DrawFrame(dc, arrow, pushed && !FView->GetCapture());
    } else if (framed) {
        DrawFrame(dc, clientRect, buttonDown);
    }
    if (checked && !selected) {
        TRect inner = button;
        InflateRect(&inner, -1, -1);
        FillDither(dc, inner);
    }

    TRect content = button;
    InflateRect(&content, -kToolbarPadding, -kToolbarPadding);
    if (buttonDown)
        OffsetRect(&content, 1, 1);
    const COLORREF textColor = GetTextColor(dc);
    if (split || dropdown) {
        TRect glyph = arrow;
        if (split && pushed && !FView->GetCapture())
            OffsetRect(&glyph, 1, 1);
        if (split)
            glyph.right -= 2;
        DrawDropdownArrow(dc, glyph, enabled ? textColor : GetSysColor(COLOR_GRAYTEXT));
    }

    TCustomImageList* images = GetImageList();
    const bool showImage = ImageShown() && images != nullptr;
    const bool showCaption = CaptionShown();
    TRect captionRect = content;
    if (showImage) {
        const bool above = IsRotated() || FItem->GetEffectiveOptions().Contains(tboImageAboveCaption);
        int x = content.left + (RectWidth(content) - images->GetWidth()) / 2;
        int y = content.top + (RectHeight(content) - images->GetHeight()) / 2;
        if (showCaption && above) {
            y = content.top;
            captionRect.top = content.top + images->GetHeight();
        } else if (showCaption) {
            x = content.left;
            captionRect.left = content.left + images->GetWidth() + 1;
        }
        images->Draw(canvas, x, y, FItem->GetImageIndex(), enabled);
    }
    if (showCaption)
        DrawItemCaption(canvas, captionRect, GetCaptionText(), emboss,
                        DT_SINGLELINE | DT_CENTER | DT_VCENTER | CaptionPrefixFormat());
}

void TTBItemViewer::PaintMenuStyle(TCanvas* canvas, const TRect& clientRect, bool selected, bool emboss)
{
    HDC dc = canvas->GetHandle();
    const bool enabled = FItem->GetEnabled() || FView->GetCustomizing();
    const bool checked = FItem->GetChecked();
    const int h = RectHeight(clientRect);
    TCustomImageList* images = GetImageList();
    const int column = images != nullptr ? MulDiv(images->GetWidth() + 3, h, images->GetHeight() + 3) : h;
    const bool showImage = ImageShown() && images != nullptr;
    const bool split = Has(FItem, itsSplitButton);
    const int splitWidth = GetSystemMetrics(SM_CXMENUCHECK);
    const TRect imageColumn{clientRect.left, clientRect.top, clientRect.left + column, clientRect.bottom};

    if (selected) {
        TRect row = clientRect;
        if (showImage || checked)
            row.left = imageColumn.right;
        if (split && enabled)
            row.right -= splitWidth;
        canvas->FillRect(row);
    }
    if (showImage) {
        if (checked) {
            TRect frame = imageColumn;
            InflateRect(&frame, -1, -1);
            if (!selected)
                FillDither(dc, frame);
            DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
        }
        images->Draw(canvas, imageColumn.left + (column - images->GetWidth()) / 2,
                     imageColumn.top + (h - images->GetHeight()) / 2, FItem->GetImageIndex(), enabled);
    } else if (checked) {
        DrawCheckMark(dc, imageColumn);
    }

    const UINT prefix = CaptionPrefixFormat();
    TRect captionRect{imageColumn.right + 3, clientRect.top, clientRect.right - h, clientRect.bottom};
    DrawItemCaption(canvas, captionRect, GetCaptionText(), emboss, DT_SINGLELINE | DT_VCENTER | prefix);
    const std::string shortCut = FItem->GetShortCutText();
    if (!shortCut.empty()) {
        TRect shortCutRect = captionRect;
        shortCutRect.left = std::max(captionRect.left, captionRect.right - GetTextWidthPlain(dc, shortCut));
        DrawItemCaption(canvas, shortCutRect, shortCut, emboss, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (Has(FItem, itsSubmenu)) {
        const TRect arrowArea{clientRect.right - h, clientRect.top, clientRect.right, clientRect.bottom};
        DrawMenuArrow(dc, arrowArea, enabled, GetTextColor(dc));
        if (split) {
            TRect part{clientRect.right - splitWidth, clientRect.top, clientRect.right, clientRect.bottom};
            DrawEdge(dc, &part, BDR_SUNKENOUTER, BF_RECT);
        }
    }
}

void TTBSeparatorItemViewer::Paint(TCanvas* canvas, const TRect& clientRect, bool, bool, bool)
{
    if (const auto* separator = dynamic_cast<const TTBSeparatorItem*>(GetItem()); separator && separator->GetBlank())
        return;
    HDC dc = canvas->GetHandle();
    const bool lineBreak = IsDrawnAsLineBreak();
    const bool horizontal = (!IsToolbarStyle() || GetView()->IsVertical()) != lineBreak;
    TRect r = clientRect;
    if (horizontal) {
        int inset = 0;
        if (!IsToolbarStyle())
            inset = 12;
        else if (lineBreak)
            inset = GetView()->GetOrientation() == tbvoFloating ? 1 : 4;
        const int top = RectHeight(r) / 2 - 1;
        TRect line{r.left + inset, r.top + top, r.right - inset, r.top + top + 2};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    } else {
        const int inset = lineBreak ? 4 : 0;
        const int left = RectWidth(r) / 2 - 1;
        TRect line{r.left + left, r.top + inset, r.left + left + 2, r.bottom - inset};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Input

void TTBItemViewer::MouseDown(TShiftState shift, int x, int y, bool& mouseDownOnMenu)
{
    TTBView* view = FView;
    const bool rootToolbar = view->GetParentView() == nullptr && view->IsToolbar();
    if (!FItem->GetEnabled()) {
        if (rootToolbar)
            view->EndModal();
        return;
    }
    if (!IsPtInButtonPart(x, y)) {
        // A second press on the open menu-bar item closes its menu on the release.
        const bool wasOpen = view->GetOpenViewer() == this;
        if (!view->OpenChildPopup(false))
            return;
        if (wasOpen && rootToolbar)
            mouseDownOnMenu = true;
        if (shift.Contains(ssDouble) && !Has(FItem, itsSplitButton)) {
            TTBView* child = view->GetOpenViewerView();
            for (int i = 0; child != nullptr && i < child->GetViewerCount(); ++i) {
                TTBItemViewer* v = child->GetViewer(i);
                const TTBCustomItem* item = v->GetItem();
                if (v->IsPresent() && item->GetEffectiveOptions().Contains(tboDefault) && Has(item, itsSelectable) &&
                    item->GetEnabled() && item->GetVisible()) {
                    v->Execute(true);
                    break;
                }
            }
        }
    } else if (IsToolbarStyle()) {
        view->CancelChildPopups();
        view->BeginCapture();
        view->InvalidateViewer(this);
    }
}

void TTBItemViewer::MouseUp(int x, int y, bool mouseDownOnMenu)
{
    TTBView* view = FView;
    const bool wasCaptured = view->GetCapture();
    view->CancelCapture();
    const bool rootToolbar = view->GetParentView() == nullptr && view->IsToolbar();
    if (view->GetMouseOverSelected() && view->GetSelected() == this && FItem->GetEnabled() &&
        !Has(FItem, itsPassClicks)) {
        if (IsPtInButtonPart(x, y)) {
            if (wasCaptured || !IsToolbarStyle())
                Execute(true);
        } else if (rootToolbar && mouseDownOnMenu) {
            view->EndModal();
        }
    } else if (rootToolbar) {
        view->EndModal();
    }
}

void TTBItemViewer::MouseMove(int, int) {}

void TTBItemViewer::MouseWheel(int, int, int) {}

void TTBItemViewer::KeyDown(std::uint16_t&, TShiftState) {}

void TTBItemViewer::GetCursor(TPoint, HCURSOR&) {}

void TTBItemViewer::Entering(TTBItemViewer*) { FItem->OnSelect(FItem, this, true); }

void TTBItemViewer::Leaving() { FItem->OnSelect(FItem, this, false); }

void TTBItemViewer::LosingCapture() { FView->InvalidateViewer(this); }

// ---------------------------------------------------------------------------------------------------------
// Executing

bool TTBItemViewer::DoExecute()
{
    FView->EndModalWithExecute(this);
    return true;
}

void TTBItemViewer::Execute(bool givePriority)
{
    if (DoExecute() && givePriority)
        FView->GivePriority(this);
}

void TTBItemViewer::PostDeferredCall(WPARAM flag) { QueueDeferredCall(static_cast<ITBAccActionHandler*>(this), flag); }

bool TTBItemViewer::IsWindowUsable() const
{
    TWinControl* window = FView->GetWindow();
    if (window == nullptr || !window->HandleAllocated())
        return false;
    HWND handle = window->GetHandle();
    if (!IsWindowVisible(handle))
        return false;
    for (HWND w = handle; w != nullptr; w = ui::GetParent(w)) {
        if (!IsWindowEnabled(w))
            return false;
    }
    if ((FView->GetState() & ViewStateModal) != 0)
        return true;
    HWND active = GetActiveWindow();
    for (HWND w = handle; w != nullptr; w = ui::GetParent(w)) {
        if (w == active)
            return true;
    }
    return false;
}

void TTBItemViewer::HandleAccAction(bool execute)
{
    if (execute) {
        const bool available = IsPresent() && FItem->GetVisible() && FItem->GetEnabled() && Has(FItem, itsSelectable);
        if (!available || !IsWindowUsable())
            return;
    } else if (!IsWindowUsable()) {
        return;
    }
    TTBView* view = FView;
    view->Select(this);
    view->ScrollSelectedIntoView();
    if ((view->GetState() & ViewStateModal) != 0) {
        if (execute)
            view->ExecuteSelected(true);
    } else if (view->GetParentView() == nullptr && ui::GetCapture() == nullptr) {
        view->EnterToolbarLoop(execute ? tbetExecuteSelected : 0);
    }
}

// ---------------------------------------------------------------------------------------------------------
// The item tree's viewer classes

TTBItemViewerClass TTBCustomItem::GetItemViewerClass(TTBView*) const { return TTBItemViewerClass::Of<TTBItemViewer>(); }

TTBItemViewerClass TTBSeparatorItem::GetItemViewerClass(TTBView*) const
{
    return TTBItemViewerClass::Of<TTBSeparatorItemViewer>();
}

}  // namespace ovrel::toolbars
