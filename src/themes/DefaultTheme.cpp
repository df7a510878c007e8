#include "themes/DefaultTheme.h"

#include "themes/ThemeManager.h"
#include "themes/ThemeUtils.h"
#include "themes/Themes_p.h"

#include "toolbars/Common.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/SysTables.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>

namespace ovrel::themes {

using namespace ovrel::toolkit;
using namespace ovrel::ui;
using detail::TOwnedObject;
using detail::TSavedDC;

namespace {

// Our own 8 x 8 glyphs, one byte per row, leftmost pixel in the top bit.
// A right-pointing double chevron, 6 wide and 5 high.
constexpr std::array<BYTE, 8> HorzChevronGlyph{0x90, 0x48, 0x24, 0x48, 0x90, 0, 0, 0};
// A downward double chevron, 5 wide and 6 high.
constexpr std::array<BYTE, 8> VertChevronGlyph{0x88, 0x50, 0x20, 0x88, 0x50, 0x20, 0, 0};
// A close cross, 7 by 7, and a shorter one, 7 by 6, for the caption strip of a panel.
constexpr std::array<BYTE, 8> CrossGlyph{0xC6, 0x6C, 0x38, 0x10, 0x38, 0x6C, 0xC6, 0};
constexpr std::array<BYTE, 8> ShortCrossGlyph{0xC6, 0x6C, 0x38, 0x38, 0x6C, 0xC6, 0, 0};

// Visual-style parts and properties the answers read.
constexpr int TP_SPLITBUTTONDROPDOWN = 4;
constexpr int TP_BUTTON = 1;
constexpr int TP_SEPARATOR = 5;
constexpr int TP_SEPARATORVERT = 6;
constexpr int TS_NORMAL = 1;
constexpr int TS_HOT = 2;
constexpr int TS_PRESSED = 3;
constexpr int SP_PANE = 1;
// The toolbar part of each split part: plain, drop-down, split button, its drop part.
constexpr std::array<int, 4> ToolbarButtonPart{1, 2, 3, 4};
// The "WINDOW" parts of caption buttons by kind: close, minimise, (maximise), restore.
constexpr int WP_MDICLOSEBUTTON = 20;
constexpr int WP_MDIMINBUTTON = 16;
constexpr int WP_MDIRESTOREBUTTON = 22;

// Draws one part of a visual style over rect; false when the style cannot be opened.
bool DrawStylePart(TVisualStyleClass styleClass, HDC dc, int part, int state, const TRect& rect,
                   const TRect* clip = nullptr)
{
    const HTHEME style = GetVisualStyleHandle(styleClass);
    return style != nullptr && DrawThemeBackground(style, dc, part, state, &rect, clip) == S_OK;
}

// The state of a visual-style part for a pressed, hot and otherwise normal look.
int PressedHotNormal(bool pressed, bool hot) { return pressed ? TS_PRESSED : hot ? TS_HOT : TS_NORMAL; }

bool IsToolbarStyle(const TItemPaintInfo& info) { return (info.ItemOptions & IO_TOOLBARSTYLE) != 0; }
bool IsMenuBar(int viewType) { return (viewType & 0x100F) == VT_MENUBAR; }
bool IsPopupKind(int viewType, int kind) { return (viewType & 0x200F) == kind; }
bool IsOpaque(int viewType) { return (viewType & (VT_TOOLBAR | VT_OPAQUE)) == (VT_TOOLBAR | VT_OPAQUE); }
// A menu item in the narrow sense: in a menu and not shown in toolbar style.
bool IsMenuItem(const TItemPaintInfo& info)
{
    return IsPopupKind(info.ViewType, VT_POPUPMENU) && !IsToolbarStyle(info);
}
// Hot: enabled and hovered, or disabled and hot by keyboard.
bool IsHot(const TItemPaintInfo& info)
{
    return (info.Enabled && info.HoverKind != HK_NONE) || (!info.Enabled && info.HoverKind == HK_DISABLED);
}

TRect Shifted(TRect r, int dx, int dy)
{
    OffsetRect(&r, dx, dy);
    return r;
}

void DrawGlyph(TCanvas& canvas, std::span<const BYTE> rows, int x, int y, TColor color)
{
    TOwnedObject brush(CreateSolidBrush(ResolveColor(color)));
    DrawMonoGlyph(canvas.GetHandle(), rows, x, y, brush.Get());
}

// A filled polygon, pen and brush in one colour.
void FillPolygon(TCanvas& canvas, std::span<const TPoint> points, TColor color)
{
    canvas.GetPen()->SetColor(color);
    canvas.GetBrush()->SetColor(color);
    canvas.Polygon(points);
}

// The same drawing twice: in clBtnHighlight one pixel right and down, then in clBtnShadow in place.
template <class Draw> void DrawRelief(Draw draw)
{
    draw(1, clBtnHighlight);
    draw(0, clBtnShadow);
}

template <std::size_t N> std::array<TPoint, N> Moved(std::array<TPoint, N> points, int d)
{
    for (TPoint& p : points) {
        p.x += d;
        p.y += d;
    }
    return points;
}

// Text in the canvas font and a colour, without a background.
void DrawTextIn(TCanvas& canvas, std::string_view text, TRect rect, UINT format, TColor color)
{
    HDC dc = canvas.GetHandle();
    TSavedDC saved(dc);
    SelectObject(dc, canvas.GetFont()->GetHandle());
    SetTextColor(dc, ResolveColor(color));
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, text, &rect, format);
}

// Text running downwards in the canvas font and a colour, without a background.
void DrawRotatedText(TCanvas& canvas, std::string_view text, const TRect& rect, UINT format, TColor color)
{
    HDC dc = canvas.GetHandle();
    TSavedDC saved(dc);
    SelectObject(dc, canvas.GetFont()->GetHandle());
    SetTextColor(dc, ResolveColor(color));
    SetBkMode(dc, TRANSPARENT);
    toolbars::DrawVerticalText(dc, text, rect, format);
}

}  // namespace

TTBXDefaultTheme::TTBXDefaultTheme(std::string name) : TTBXTheme(std::move(name)) { UpdateColors(); }

void TTBXDefaultTheme::UpdateColors() { FToolbarColor = ToolbarFillColor(); }

void TTBXDefaultTheme::Dispatch(TMessage& message)
{
    if (message.Msg == WM_TBX_THEMENOTIFY && message.WParam == 2)
        UpdateColors();
    TTBXTheme::Dispatch(message);
}

// ---- Metrics ----------------------------------------------------------------------------------------------

int TTBXDefaultTheme::GetIntegerMetric(int index) const
{
    switch (index) {
    case 10: {
        if (VisualStylesActive()) {
            SIZE size;
            if (GetThemePartSize(GetVisualStyleHandle(TVisualStyleClass::Toolbar), nullptr, TP_SPLITBUTTONDROPDOWN,
                                 TS_NORMAL, nullptr, TS_TRUE, &size) == S_OK)
                return size.cx + 2;
        }
        return 11;
    }
    case 20: return 8;
    case 21:
    case 34: return 3;
    case 30:
    case 33:
    case 36:
    case 60:
    case 61: return 2;
    case 31: return 0;
    case 32:
    case 62: return 1;
    case 37:
    case 64: return 4;
    case 40: return 6;
    case 65: return 13;
    default: return -1;
    }
}

bool TTBXDefaultTheme::GetBooleanMetric(int index) const
{
    switch (index) {
    case 3:
    case 6: return true;
    case 5: return VisualStylesActive();
    default: return false;
    }
}

// ---- Answers ----------------------------------------------------------------------------------------------

TPoint TTBXDefaultTheme::GetImageOffset(TCanvas& /*canvas*/, const TItemPaintInfo& info,
                                        const TCustomImageList* /*imageList*/) const
{
    return info.Pushed || info.Checked ? Point(1, 1) : Point(0, 0);
}

int TTBXDefaultTheme::GetPopupShadowType() const { return PST_WINDOWSXP; }

TColor TTBXDefaultTheme::GetViewColor(int viewType) const
{
    if ((viewType & VT_TOOLBAR) != 0)
        return FToolbarColor;
    if ((viewType & VT_POPUP) != 0) {
        switch (viewType & 0x200F) {
        case VT_POPUPMENU:
        case VT_CHEVRONPOPUP: return MenuColor();
        case VT_LISTBOXPOPUP: return clWindow;
        default: return FToolbarColor;
        }
    }
    if ((viewType & VT_DOCKPANEL) != 0)
        return WeightedColor(FToolbarColor, clWindow, 64);
    return FToolbarColor;
}

TColor TTBXDefaultTheme::GetItemColor(const TItemPaintInfo& info) const
{
    if (!VisualStylesActive() && IsMenuItem(info) && info.HoverKind != HK_NONE)
        return clHighlight;
    return GetViewColor(info.ViewType);
}

TColor TTBXDefaultTheme::GetItemTextColor(const TItemPaintInfo& info) const
{
    if (!info.Enabled)
        return clGrayText;
    const bool menuBar = IsMenuBar(info.ViewType);
    const bool inactiveMenuBar = menuBar && (info.ItemOptions & IO_APPACTIVE) == 0;
    if (!IsToolbarStyle(info) || (menuBar && FlatMenus())) {
        if (info.HoverKind != HK_NONE)
            return clHighlightText;
        return inactiveMenuBar ? clGrayText : MenuTextColor();
    }
    return inactiveMenuBar ? clGrayText : clBtnText;
}

TColor TTBXDefaultTheme::GetItemImageBackground(const TItemPaintInfo& info) const
{
    if (FlatMenus()) {
        const bool hot = info.HoverKind != HK_NONE;
        if (hot && IsMenuBar(info.ViewType))
            return clHighlight;
        if (IsPopupKind(info.ViewType, VT_CHEVRONPOPUP) || (hot && IsMenuItem(info)))
            return FToolbarColor;
    }
    return GetViewColor(info.ViewType);
}

TPoint TTBXDefaultTheme::GetViewBorder(int viewType) const
{
    if ((viewType & VT_POPUP) != 0)
        return IsPopupKind(viewType, VT_LISTBOXPOPUP) ? Point(1, 1) : Point(3, 3);
    if ((viewType & (VT_TOOLBAR | VT_DOCKPANEL)) == 0)
        return Point(0, 0);
    if ((viewType & VT_FLOATING) == 0)
        return Point(2, 2);
    if ((viewType & VT_RESIZABLE) != 0)
        return Point(GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME));
    return Point(GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME));
}

void TTBXDefaultTheme::GetViewMargins(int viewType, TTBXMargins& margins) const
{
    margins = TTBXMargins{};
    if ((viewType & VT_TOOLBAR) != 0 && (viewType & VT_FLOATING) != 0)
        margins = TTBXMargins{4, 4, 2, 1};
}

void TTBXDefaultTheme::GetMargins(int kind, TTBXMargins& margins) const
{
    margins = TTBXMargins{};
    if (kind == MID_TOOLBARITEM) {
        margins = TTBXMargins{2, 2, 2, 2};
        if (VisualStylesActive()) {
            MARGINS m;
            if (GetThemeMargins(GetVisualStyleHandle(TVisualStyleClass::Toolbar), nullptr, TP_BUTTON, TS_HOT,
                                TMT_CAPTIONMARGINS, nullptr, &m) == S_OK)
                margins = TTBXMargins{m.cxLeftWidth, m.cxRightWidth, m.cyTopHeight, m.cyBottomHeight};
        }
    } else if (kind == MID_STATUSPANE) {
        margins = TTBXMargins{1, 3, 1, 1};
        if (VisualStylesActive()) {
            const RECT bounds{0, 0, 100, 100};
            RECT content;
            if (GetThemeBackgroundContentRect(GetVisualStyleHandle(TVisualStyleClass::Status), nullptr, SP_PANE, 0,
                                              &bounds, &content) == S_OK)
                margins = TTBXMargins{content.left, 100 - content.right, content.top, 100 - content.bottom};
        }
    }
}

// ---- Item paints ------------------------------------------------------------------------------------------

void TTBXDefaultTheme::PaintBackground(TCanvas& canvas, const TRect& rect, const TRect& clipRect, TColor color,
                                       bool transparent, int /*viewType*/) const
{
    if (transparent)
        return;
    TRect r;
    if (IntersectRect(&r, &rect, &clipRect))
        FillRectColor(canvas, r, color);
}

void TTBXDefaultTheme::PaintButton(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info) const
{
    HDC dc = canvas.GetHandle();
    const bool hot = IsHot(info);
    const bool down = info.Pushed || info.Checked;
    if (IsMenuBar(info.ViewType) && FlatMenus()) {
        if (down || hot)
            FillRectColor(canvas, rect, clHighlight);
        return;
    }
    if (VisualStylesActive() && !IsMenuBar(info.ViewType)) {
        // 4 disabled, 2 hot and disabled; enabled: 3 pushed, else 1 normal, 2 hot, 5 checked, 6 hot and checked.
        const int state = !info.Enabled ? (hot ? TS_HOT : 4)
                          : info.Pushed ? TS_PRESSED
                                        : 6 - (hot ? 0 : 1) - (info.Checked ? 0 : 4);
        const bool opaque = IsOpaque(info.ViewType);
        if (opaque || (info.ItemOptions & IO_DESIGNING) != 0) {
            TRect frame = rect;
            if (opaque)
                FillRectColor(canvas, frame, FToolbarColor);
            FrameRectColor(canvas, frame, clBtnShadow, false);
        }
        DrawStylePart(TVisualStyleClass::Toolbar, dc, ToolbarButtonPart[std::min<std::size_t>(info.SplitPart, 3)],
                      state, rect);
        return;
    }
    TRect r = rect;
    if (FlatMenus() && (down || hot))
        FillRectColor(canvas, r, FToolbarColor);
    if (IsOpaque(info.ViewType)) {
        // A button face of its own: raised, sunken while down, soft while hot.
        const bool dither = info.Checked && info.Enabled && !hot;
        const UINT flags = BF_RECT | BF_ADJUST | (dither ? 0 : BF_MIDDLE) | (hot ? BF_SOFT : 0);
        DrawEdge(dc, &r, down ? EDGE_SUNKEN : EDGE_RAISED, flags);
        if (dither)
            DitherRect(canvas, r, FToolbarColor, clBtnHighlight);
    } else if (down && info.Enabled) {
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        if (info.Checked && !hot)
            DitherRect(canvas, r, FToolbarColor, clBtnHighlight);
    } else if (hot || (info.ItemOptions & IO_DESIGNING) != 0) {
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
    if (info.SplitPart == SP_DROPPART)
        PaintDropDownArrow(canvas, rect, info);
}

void TTBXDefaultTheme::PaintCaption(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info,
                                    std::string_view caption, UINT format, bool rotated) const
{
    TColor color = canvas.GetFont()->GetColor();
    if (color == clNone)
        color = GetItemTextColor(info);
    const auto draw = [&](const TRect& r, TColor c) {
        if (rotated)
            DrawRotatedText(canvas, caption, r, format, c);
        else
            DrawTextIn(canvas, caption, r, format, c);
    };
    if (!info.Enabled && !IsToolbarStyle(info) && info.HoverKind != HK_NONE) {
        draw(rect, color);  // on the selection of a menu, relief would not show
    } else if (info.Enabled) {
        const bool shifted =
            IsToolbarStyle(info) && (info.Pushed || info.Checked) && !(IsMenuBar(info.ViewType) && FlatMenus());
        draw(shifted ? Shifted(rect, 1, 1) : rect, color);
    } else if (VisualStylesActive()) {
        draw(rect, color);
    } else {
        DrawRelief([&](int d, TColor c) { draw(Shifted(rect, d, d), c); });
    }
}

void TTBXDefaultTheme::PaintCheckMark(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info) const
{
    const int x = (rect.left + rect.right) / 2 - 1;
    const int y = (rect.top + rect.bottom) / 2 + 2;
    const std::array<TPoint, 7> mark{Point(x - 2, y - 2), Point(x, y),         Point(x + 4, y - 4), Point(x + 4, y - 3),
                                     Point(x, y + 1),     Point(x - 2, y - 1), Point(x - 2, y - 2)};
    canvas.GetPen()->SetColor(info.Enabled ? clBtnText : clGrayText);
    canvas.Polyline(mark);
    if (info.Enabled) {
        const std::array<TPoint, 5> light{Point(x - 3, y - 2), Point(x - 3, y - 1), Point(x, y + 2),
                                          Point(x + 5, y - 3), Point(x + 5, y - 5)};
        canvas.GetPen()->SetColor(clBtnHighlight);
        canvas.Polyline(light);
    }
}

void TTBXDefaultTheme::PaintChevron(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info) const
{
    PaintButton(canvas, rect, info);
    const bool vertical = info.IsVertical;
    const int push = info.Pushed ? 1 : 0;
    const int x = (vertical ? rect.left + 2 : rect.right - 9) + push;
    const int y = (vertical ? rect.top + 4 : rect.top + 2) + push;
    const std::span<const BYTE> glyph = vertical ? std::span<const BYTE>(VertChevronGlyph) : HorzChevronGlyph;
    if (info.Enabled)
        DrawGlyph(canvas, glyph, x, y, clBtnText);
    else
        DrawRelief([&](int d, TColor c) { DrawGlyph(canvas, glyph, x + d, y + d, c); });
}

void TTBXDefaultTheme::PaintDropDownArrow(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info) const
{
    int x = (rect.left + rect.right) / 2;
    int y = (rect.top + rect.bottom) / 2 - 1;
    if ((info.Pushed || info.Checked) && info.SplitPart != SP_DROPPART) {
        ++x;
        ++y;
    }
    const std::array<TPoint, 3> arrow = info.IsVertical
                                            ? std::array<TPoint, 3>{Point(x, y + 2), Point(x, y - 2), Point(x - 2, y)}
                                            : std::array<TPoint, 3>{Point(x - 2, y), Point(x + 2, y), Point(x, y + 2)};
    if (info.Enabled)
        FillPolygon(canvas, arrow, IsToolbarStyle(info) ? MenuTextColor() : clBtnText);
    else
        DrawRelief([&](int d, TColor c) { FillPolygon(canvas, Moved(arrow, d), c); });
}

void TTBXDefaultTheme::PaintMenuItem(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info) const
{
    HDC dc = canvas.GetHandle();
    const bool hot = IsHot(info);
    const bool split = (info.ItemOptions & IO_COMBO) != 0;
    const bool imageColumn = info.ImageShown || info.Checked;
    TRect selection = rect;
    if (imageColumn)
        selection.left += GetIntegerMetric(32) + info.PopupMargin;
    TRect drop{};
    if (info.Enabled && split) {
        drop = selection;
        drop.left = selection.right - GetSystemMetrics(SM_CXMENUCHECK);
        selection.right = drop.left;
    }
    PaintMenuItemFrame(canvas, selection, info);
    if (info.Enabled && split) {
        if (hot)
            DrawEdge(dc, &drop, BDR_SUNKENOUTER, BF_RECT);
        else
            DrawEdge(dc, &drop, EDGE_ETCHED, BF_LEFT);
    }
    if ((info.ItemOptions & IO_SUBMENUITEM) != 0) {
        const int x = rect.right - (2 * GetSystemMetrics(SM_CXMENUCHECK) / 3 + 2);
        const int y = (rect.top + rect.bottom) / 2;
        const std::array<TPoint, 3> arrow{Point(x, y - 3), Point(x + 3, y), Point(x, y + 3)};
        const TColor color = hot && !split ? clHighlightText : MenuTextColor();
        if (info.Enabled || info.HoverKind == HK_DISABLED)
            FillPolygon(canvas, arrow, color);
        else
            DrawRelief([&](int d, TColor c) { FillPolygon(canvas, Moved(arrow, d), c); });
    }
    if (info.Enabled && imageColumn && (hot || info.Checked)) {
        const TRect column = Rect(rect.left, rect.top, rect.left + info.PopupMargin, rect.bottom);
        if (FlatMenus())
            FillRectColor(canvas, column, FToolbarColor);
        PaintButton(canvas, column, info);
    }
}

void TTBXDefaultTheme::PaintMenuItemFrame(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info) const
{
    if (IsHot(info))
        FillRectColor(canvas, rect, clHighlight);
}

void TTBXDefaultTheme::PaintSeparator(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info, bool horizontal,
                                      bool lineSeparator) const
{
    if (!info.Enabled)
        return;  // a blank separator
    if (VisualStylesActive() && !IsPopupKind(info.ViewType, VT_POPUPMENU) &&
        DrawStylePart(TVisualStyleClass::Toolbar, canvas.GetHandle(), horizontal ? TP_SEPARATORVERT : TP_SEPARATOR, 0,
                      rect))
        return;
    int inset = 0;
    if (lineSeparator)
        inset = (info.ViewType & VT_FLOATING) != 0 ? 1 : 4;
    if (horizontal && !IsToolbarStyle(info))
        inset = 12;
    HDC dc = canvas.GetHandle();
    if (horizontal) {
        const int y = (rect.top + rect.bottom) / 2 - 1;
        TRect line = Rect(rect.left + inset, y, rect.right - inset, y + 2);
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    } else {
        const int x = (rect.left + rect.right) / 2 - 1;
        TRect line = Rect(x, rect.top + inset, x + 2, rect.bottom - inset);
        DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
    }
}

void TTBXDefaultTheme::PaintImage(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info,
                                  const TCustomImageList* imageList, int imageIndex) const
{
    if (imageList == nullptr)
        return;
    const TRect r = info.Pushed || info.Checked ? Shifted(rect, 1, 1) : rect;
    const bool menuItem = IsMenuItem(info);
    if ((!menuItem || !FlatMenus()) && (menuItem || !VisualStylesActive())) {
        imageList->Draw(&canvas, r.left, r.top, imageIndex, info.Enabled);
        return;
    }
    // Flat menus and visual styles: the images take effects instead of the list's own looks.
    if (!info.Enabled) {
        DrawImageShadow(canvas, r, imageList, imageIndex, 1);
        return;
    }
    const bool dark = IsDarkColor(GetItemImageBackground(info), 128);
    const bool resting = !info.Pushed && !info.Checked && !IsHot(info);
    if (!menuItem && resting && !dark && !LowColorDisplay())
        DrawImageTinted(canvas, r, imageList, imageIndex, clWindow, 178);
    else
        DrawImageContrasted(canvas, r, imageList, imageIndex, !menuItem && dark);
}

// ---- Frames -----------------------------------------------------------------------------------------------

void TTBXDefaultTheme::PaintCloseButton(TCanvas& canvas, const TRect& rect, int state, bool tall, bool styled) const
{
    TRect r = rect;
    const bool pressed = (state & CDBS_PRESSED) != 0;
    if (styled)
        DrawStylePart(TVisualStyleClass::Toolbar, canvas.GetHandle(), TP_BUTTON,
                      PressedHotNormal(pressed, (state & CDBS_HOT) != 0), r);
    else if (pressed)
        DrawEdge(canvas.GetHandle(), &r, BDR_SUNKENOUTER, BF_RECT);
    else if ((state & CDBS_HOT) != 0)
        DrawEdge(canvas.GetHandle(), &r, BDR_RAISEDINNER, BF_RECT);
    const int height = tall ? 7 : 6;
    const int push = pressed ? 1 : 0;
    const int x = (rect.left + rect.right - 7) / 2 + push;
    const int y = (rect.top + rect.bottom - height) / 2 + push;
    DrawGlyph(canvas, tall ? std::span<const BYTE>(CrossGlyph) : ShortCrossGlyph, x, y, clBtnText);
}

void TTBXDefaultTheme::PaintToolbarNCArea(TCanvas& canvas, const TRect& rect, const TFramePaintInfo& info) const
{
    HDC dc = canvas.GetHandle();
    const bool styled = VisualStylesActive();
    TRect r = rect;
    canvas.FillRect(r);
    if (info.BorderStyle == 1) {
        const HTHEME toolbar = styled ? GetVisualStyleHandle(TVisualStyleClass::Toolbar) : nullptr;
        if (toolbar != nullptr) {
            RECT content{};
            DrawThemeEdge(toolbar, dc, 0, 0, &r, BDR_RAISEDINNER, BF_RECT, &content);
            InflateRect(&r, -1, -1);
        } else {
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        }
    }
    if (!info.AllowDrag)
        return;
    const bool close = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    const TRect closeRect = GetToolbarCloseButtonRect(info);
    const int handleSize = GetDragHandleSize(info);
    if (info.Handle != 1 && handleSize > 0 && styled) {
        // A 6-pixel gripper band centred in the strip, clear of the close button.
        const int start = (handleSize - 6) / 2;
        const TRect band = info.IsVertical
                               ? Rect(r.left, r.top + start, close ? closeRect.left : r.right, r.top + start + 6)
                               : Rect(r.left + start, close ? closeRect.bottom : r.top, r.left + start + 6, r.bottom);
        DrawStylePart(TVisualStyleClass::Rebar, dc, info.IsVertical ? 2 : 1, 0, band);
    } else if (info.Handle != 1 && handleSize > 0) {
        static constexpr std::array<int, 3> Inset{2, 0, 2};
        static constexpr std::array<int, 3> InsetWithClose{3, 0, 5};
        const auto style = static_cast<std::size_t>(std::clamp(info.Handle, 0, 2));
        const int inset = close ? InsetWithClose[style] : Inset[style];
        const int bars = info.Handle == 0 ? 2 : 1;
        for (int i = 0; i < bars; ++i) {
            const int offset = inset + 3 * i;
            // Along the strip, shortened by one at both ends and kept clear of the close button.
            TRect bar =
                info.IsVertical
                    ? Rect(r.left + 1, r.top + offset, (close ? closeRect.left : r.right) - 1, r.top + offset + 3)
                    : Rect(r.left + offset, (close ? closeRect.bottom : r.top) + 1, r.left + offset + 3, r.bottom - 1);
            if (IsRectEmpty(&bar))
                continue;
            DrawEdge(dc, &bar, BDR_RAISEDINNER, BF_RECT);
            SetPixel(dc, bar.left, bar.bottom - 1, ResolveColor(clBtnHighlight));
        }
    }
    if (close) {
        TRect button = closeRect;
        const int shrink = styled ? 1 : 2;
        button.right -= shrink;
        button.bottom -= shrink;
        PaintCloseButton(canvas, button, info.CloseButtonState, true, styled);
    }
}

void TTBXDefaultTheme::PaintDockPanelNCArea(TCanvas& canvas, const TRect& rect, const TFramePaintInfo& info) const
{
    HDC dc = canvas.GetHandle();
    TRect r = rect;
    FrameRectColor(canvas, r, FToolbarColor, true);
    const bool captionShown = (info.Handle & 0xFF) != 0;
    const bool verticalCaption = !info.IsVertical;
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    TRect strip = r;
    TRect inner = r;
    if (captionShown) {
        if (verticalCaption) {
            strip.right = strip.left + caption;
            inner.left = strip.right;
        } else {
            strip.bottom = strip.top + caption;
            inner.top = strip.bottom;
        }
    }
    FrameRectColor(canvas, inner, clWindow, false);
    if (!captionShown)
        return;
    // The close square is the one the panel's hit test answers: side SM_CYSMCAPTION - 1 at the strip's end.
    TRect button{};
    const bool close = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    if (close)
        button = verticalCaption ? Rect(strip.left + 1, strip.bottom - caption, strip.left + caption, strip.bottom - 1)
                                 : Rect(strip.right - caption, strip.top + 1, strip.right - 1, strip.top + caption);
    TRect face = strip;
    DrawEdge(dc, &face, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    if (close) {
        if (verticalCaption)
            face.bottom = std::min(face.bottom, button.top);
        else
            face.right = std::min(face.right, button.left);
        TRect square = button;
        square.right -= 2;
        square.bottom -= 2;
        FillRectColor(canvas, square, FToolbarColor);
        PaintCloseButton(canvas, square, info.CloseButtonState, false, false);
    }
    FillRectColor(canvas, face, FToolbarColor);
    TRect text = face;
    if (verticalCaption)
        InflateRect(&text, 0, -2);
    else
        InflateRect(&text, -2, 0);
    canvas.GetFont()->Assign(GetThemeWorkObjects().GetSmallCaptionFont());
    constexpr UINT Format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (verticalCaption)
        DrawRotatedText(canvas, info.CaptionText, text, Format, clBtnText);
    else
        DrawTextIn(canvas, info.CaptionText, text, Format, clBtnText);
}

void TTBXDefaultTheme::PaintStyledFloatingBorder(TCanvas& canvas, const TRect& rect,
                                                 const TFloatingWindowInfo& info) const
{
    constexpr int WP_SMALLCAPTION = 2;
    constexpr int WP_SMALLFRAMELEFT = 10;
    constexpr int WP_SMALLFRAMERIGHT = 11;
    constexpr int WP_SMALLFRAMEBOTTOM = 12;
    constexpr int WP_SMALLCLOSEBUTTON = 19;
    HDC dc = canvas.GetHandle();
    const int state = info.Active ? 1 : 2;
    const int bx = info.FloatingBorderSize.x;
    const int by = info.FloatingBorderSize.y;
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    if ((info.RedrawPart & FWR_BORDER) != 0) {
        const int top = by + caption;
        DrawStylePart(TVisualStyleClass::Window, dc, WP_SMALLFRAMEBOTTOM, state,
                      Rect(rect.left, rect.bottom - by, rect.right, rect.bottom));
        DrawStylePart(TVisualStyleClass::Window, dc, WP_SMALLCAPTION, state,
                      Rect(rect.left, rect.top, rect.right, rect.top + top));
        DrawStylePart(TVisualStyleClass::Window, dc, WP_SMALLFRAMELEFT, state,
                      Rect(rect.left, rect.top + top, rect.left + bx, rect.bottom - by));
        DrawStylePart(TVisualStyleClass::Window, dc, WP_SMALLFRAMERIGHT, state,
                      Rect(rect.right - bx, rect.top + top, rect.right, rect.bottom - by));
    }
    if (!info.ShowCaption)
        return;
    const bool close = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    const TRect captionRect =
        Rect(rect.left + bx, rect.top + by, rect.right - bx, rect.bottom - by - info.ClientHeight);
    if ((info.RedrawPart & FWR_CAPTION) != 0) {
        TRect text = captionRect;
        if (close && (info.RedrawPart & FWR_CLOSEBUTTON) != 0)
            text.right -= caption;
        canvas.GetFont()->Assign(GetThemeWorkObjects().GetSmallCaptionFont());
        DrawTextIn(canvas, info.CaptionText, text, DT_HIDEPREFIX | DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER,
                   info.Active ? clCaptionText : clInactiveCaptionText);
    }
    if (close && (info.RedrawPart & FWR_CLOSEBUTTON) != 0) {
        const int side = captionRect.bottom - captionRect.top;
        TRect button = Rect(captionRect.right - side, captionRect.top, captionRect.right, captionRect.bottom);
        InflateRect(&button, -2, -2);
        DrawStylePart(
            TVisualStyleClass::Window, dc, WP_SMALLCLOSEBUTTON,
            PressedHotNormal((info.CloseButtonState & CDBS_PRESSED) != 0, (info.CloseButtonState & CDBS_HOT) != 0),
            button);
    }
}

void TTBXDefaultTheme::PaintFloatingBorder(TCanvas& canvas, const TRect& rect, const TFloatingWindowInfo& info) const
{
    if (VisualStylesActive() && GetVisualStyleHandle(TVisualStyleClass::Window) != nullptr) {
        PaintStyledFloatingBorder(canvas, rect, info);
        return;
    }
    HDC dc = canvas.GetHandle();
    if ((info.RedrawPart & FWR_BORDER) != 0) {
        TSavedDC saved(dc);
        TRect inner = rect;
        InflateRect(&inner, -info.FloatingBorderSize.x, -info.FloatingBorderSize.y);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        TRect border = rect;
        DrawEdge(dc, &border, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
    if (!info.ShowCaption)
        return;
    const bool close = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    BOOL gradient = FALSE;
    if (SystemParametersInfo(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0) == FALSE)
        gradient = FALSE;
    if ((info.RedrawPart & FWR_CAPTION) != 0) {
        TSavedDC saved(dc);
        const TRect captionRect = GetCaptionRect(info, true, close);
        if (close) {
            const TRect button = GetCloseButtonRect(info, true);
            ExcludeClipRect(dc, button.left, button.top, button.right, button.bottom);
        }
        const UINT flags = DC_SMALLCAP | DC_TEXT | (info.Active ? DC_ACTIVE : 0) | (gradient ? DC_GRADIENT : 0);
        DrawCaptionText(dc, &captionRect, info.CaptionText, flags);
        const TRect whole = GetCaptionRect(info, true, false);
        DrawLineColor(canvas, whole.left, whole.bottom, whole.right, whole.bottom, clBtnFace);
    }
    if (close && (info.RedrawPart & FWR_CLOSEBUTTON) != 0) {
        TRect button = GetCloseButtonRect(info, true);
        const int captionColor = info.Active ? (gradient ? COLOR_GRADIENTACTIVECAPTION : COLOR_ACTIVECAPTION)
                                             : (gradient ? COLOR_GRADIENTINACTIVECAPTION : COLOR_INACTIVECAPTION);
        FillRectColor(canvas, button, clSystemColor | captionColor);
        InflateRect(&button, -2, -2);
        DrawFrameControl(dc, &button, DFC_CAPTION,
                         DFCS_CAPTIONCLOSE | ((info.CloseButtonState & CDBS_PRESSED) != 0 ? DFCS_PUSHED : 0));
    }
}

void TTBXDefaultTheme::PaintPopupNCArea(HWND /*window*/, HDC dc, const TPopupInfo& info) const
{
    TCanvas canvas;
    canvas.SetHandle(dc);
    TRect r = info.WindowRect;
    const TPoint border = GetViewBorder(info.ViewType);
    const TRect client = Rect(r.left + border.x, r.top + border.y, r.right - border.x, r.bottom - border.y);
    TColor borderColor = MenuColor();
    if (IsPopupKind(info.ViewType, VT_LISTBOXPOPUP)) {
        FrameRectColor(canvas, r, clWindowFrame, true);
        FrameRectColor(canvas, r, clWindow, true);
        borderColor = clWindow;
    } else if (IsPopupKind(info.ViewType, VT_TOOLBOXPOPUP) || !FlatMenus()) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        borderColor = IsPopupKind(info.ViewType, VT_TOOLBOXPOPUP) ? FToolbarColor : MenuColor();
    } else {
        FrameRectColor(canvas, r, clBtnShadow, true);
        FrameRectColor(canvas, r, MenuColor(), true);
    }
    while (r.left < client.left && r.top < client.top && !IsRectEmpty(&r))
        FrameRectColor(canvas, r, borderColor, true);
    canvas.SetHandle(nullptr);
}

void TTBXDefaultTheme::PaintDock(TCanvas& canvas, const TRect& clientRect, const TRect& dockRect,
                                 int /*dockPosition*/) const
{
    // Classically the dock's own colour shows.
    if (VisualStylesActive())
        DrawStylePart(TVisualStyleClass::Rebar, canvas.GetHandle(), 0, 0, clientRect, &dockRect);
}

void TTBXDefaultTheme::PaintStatusBar(TCanvas& canvas, const TRect& rect, int part) const
{
    if (VisualStylesActive() && part >= SBP_BODY && part <= SBP_GRIPPER &&
        DrawStylePart(TVisualStyleClass::Status, canvas.GetHandle(), part, 0, rect))
        return;
    switch (part) {
    case SBP_BODY: FillRectColor(canvas, rect, clBtnFace); break;
    case SBP_PANE:
    case SBP_LASTPANE: {
        TRect r = rect;
        if (part == SBP_PANE)
            r.right -= 2;
        DrawEdgeColors(canvas, r, clBtnShadow, clBtnHighlight);
        break;
    }
    case SBP_GRIPPER: {
        // Three ridges from the bottom-right corner outwards: two shadow lines under a highlight line, then a
        // face gap; the corner line itself in the face colour. Ridges that do not fit are left out.
        const int side = std::min(rect.right - rect.left, rect.bottom - rect.top);
        const auto diagonal = [&](int d, TColor color) {
            if (d < side)
                DrawLineColor(canvas, rect.right - 1 - d, rect.bottom - 1, rect.right, rect.bottom - 2 - d, color);
        };
        for (int ridge = 0; ridge < 3; ++ridge) {
            diagonal(4 * ridge + 1, clBtnShadow);
            diagonal(4 * ridge + 2, clBtnShadow);
            diagonal(4 * ridge + 3, clBtnHighlight);
            diagonal(4 * ridge + 4, clBtnFace);
        }
        diagonal(0, clBtnFace);
        break;
    }
    default: break;
    }
}

// ---- Operations no control of this program calls ----------------------------------------------------------

void TTBXDefaultTheme::PaintEditFrame(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info,
                                      const TEditFrameInfo& editInfo) const
{
    PaintFrame(canvas, rect, info);
    const int inset = GetIntegerMetric(60);
    TRect field = Rect(rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset);
    const TRect inner = field;
    const int button = editInfo.RightBtnWidth;
    if (button > 0)
        field.right -= button - 2;
    canvas.GetBrush()->SetColor(clWindow);
    if (info.Enabled)
        canvas.FillRect(field);
    if (button > 0)
        PaintEditButton(canvas, Rect(inner.right - button, inner.top, inner.right, inner.bottom), info,
                        editInfo.RightBtnInfo);
}

void TTBXDefaultTheme::PaintEditButton(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info,
                                       const TEditButtonInfo& buttonInfo) const
{
    constexpr int Disabled = 1;
    constexpr int Hot = 2;
    constexpr int Pressed = 4;
    constexpr int LowerPressed = 8;
    HDC dc = canvas.GetHandle();
    const int state = buttonInfo.ButtonState;
    const bool enabled = (state & Disabled) == 0;
    const bool hot = (state & Hot) != 0;
    const bool opaque = IsOpaque(info.ViewType);
    const auto styleState = [&](bool pressed) { return !enabled ? 4 : PressedHotNormal(pressed, hot); };
    // A separator line left of the button, and the button's edge: sunken pressed, raised hot, else a frame in
    // clWindow (nothing for an opaque item) that does not shrink it.
    const auto separator = [&](const TRect& r, bool active) {
        if (active)
            DrawLineColor(canvas, r.left - 1, r.top - 1, r.left - 1, r.bottom + 1, FToolbarColor);
        else
            DrawLineColor(canvas, r.left - 1, r.top, r.left - 1, r.bottom, opaque ? clBtnShadow : clWindow);
    };
    const auto edge = [&](TRect& r, bool pressed) {
        if (pressed)
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        else if (hot)
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        else if (!opaque) {
            TRect frame = r;
            FrameRectColor(canvas, frame, clWindow, false);
        }
    };
    if (buttonInfo.ButtonType == 1) {
        const bool pressed = (state & Pressed) != 0;
        if (VisualStylesActive()) {
            TRect r = rect;
            if (hot)
                InflateRect(&r, 1, 1);
            DrawStylePart(TVisualStyleClass::ComboBox, dc, 1, styleState(pressed), r);
            return;
        }
        TRect r = rect;
        r.left += 2;
        if (enabled) {
            separator(r, pressed || hot);
            edge(r, pressed);
        }
        PaintDropDownArrow(canvas, r, info);
        return;
    }
    if (buttonInfo.ButtonType != 2)
        return;
    const bool upper = (state & Pressed) != 0;
    const bool lower = (state & LowerPressed) != 0;
    if (VisualStylesActive()) {
        TRect r = rect;
        if (hot)
            InflateRect(&r, 1, 1);
        DrawStylePart(TVisualStyleClass::Spin, dc, 1, styleState(upper),
                      Rect(r.left, r.top, r.right, (r.top + r.bottom - 1) / 2));
        DrawStylePart(TVisualStyleClass::Spin, dc, 2, styleState(lower),
                      Rect(r.left, (r.top + r.bottom) / 2, r.right, r.bottom));
        return;
    }
    TRect r = rect;
    r.left += 2;
    if (enabled && (hot || !(upper || lower)))
        separator(r, hot);
    TRect top = Rect(r.left, r.top, r.right, (r.top + r.bottom + 1) / 2);
    TRect bottom = Rect(r.left, (r.top + r.bottom) / 2, r.right, r.bottom);
    if (upper || hot)
        --top.bottom;
    if (lower || hot)
        ++bottom.top;
    if (enabled) {
        edge(top, upper);
        edge(bottom, lower);
    }
    const int x = (r.left + r.right) / 2;
    const auto arrow = [&](int y, bool down, bool pressed) {
        const int push = pressed ? 1 : 0;
        const int tip = down ? y + 2 : y - 2;
        return std::array<TPoint, 3>{Point(x - 2 + push, y + push), Point(x + 2 + push, y + push),
                                     Point(x + push, tip + push)};
    };
    const std::array<TPoint, 3> up = arrow((3 * r.top + r.bottom + 3) / 4, false, upper);
    const std::array<TPoint, 3> down = arrow((r.top + 3 * r.bottom - 4) / 4, true, lower);
    if (enabled) {
        const TColor color = IsToolbarStyle(info) ? MenuTextColor() : clBtnText;
        FillPolygon(canvas, up, color);
        FillPolygon(canvas, down, color);
    } else {
        DrawRelief([&](int d, TColor c) {
            FillPolygon(canvas, Moved(up, d), c);
            FillPolygon(canvas, Moved(down, d), c);
        });
    }
}

void TTBXDefaultTheme::PaintFrame(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info) const
{
    HDC dc = canvas.GetHandle();
    const bool active = info.Pushed || info.Checked || IsHot(info) || (info.ItemOptions & IO_DESIGNING) != 0;
    const bool opaque = IsOpaque(info.ViewType);
    TRect r = rect;
    if (VisualStylesActive()) {
        InflateRect(&r, -1, -1);
        FrameRectColor(canvas, r, opaque ? clBtnShadow : FToolbarColor, true);
        if (active)
            DrawStylePart(TVisualStyleClass::ComboBox, dc, 0, 0, rect);
        TRect inner = Rect(rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2);
        FrameRectColor(canvas, inner, clWindow, false);
        return;
    }
    const bool lit = info.Pushed || info.Checked || IsHot(info);
    if (opaque) {
        if (lit) {
            DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        } else {
            InflateRect(&r, -1, -1);
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT);
        }
        return;
    }
    if (active)
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    InflateRect(&r, -1, -1);
    FrameRectColor(canvas, r, FToolbarColor, true);
    FrameRectColor(canvas, r, clWindow, false);
}

void TTBXDefaultTheme::PaintCaptionButton(TCanvas& canvas, const TRect& rect, const TItemPaintInfo& info,
                                          int buttonKind) const
{
    HDC dc = canvas.GetHandle();
    if (VisualStylesActive()) {
        const int part = buttonKind == 0   ? WP_MDICLOSEBUTTON
                         : buttonKind == 1 ? WP_MDIMINBUTTON
                         : buttonKind == 3 ? WP_MDIRESTOREBUTTON
                                           : 0;
        DrawStylePart(TVisualStyleClass::Window, dc, part, PressedHotNormal(info.Pushed, info.HoverKind != HK_NONE),
                      rect);
        return;
    }
    TRect r = rect;
    DrawFrameControl(dc, &r, DFC_CAPTION, static_cast<UINT>(buttonKind) | (info.Pushed ? DFCS_PUSHED : 0));
}

void TTBXDefaultTheme::PaintArrowButton(TCanvas& canvas, const TRect& rect, int direction, bool pressed) const
{
    HDC dc = canvas.GetHandle();
    if (!VisualStylesActive()) {
        static constexpr std::array<UINT, 4> ScrollState{DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT,
                                                         DFCS_SCROLLRIGHT};
        const UINT state = direction >= 1 && direction <= 4 ? ScrollState[static_cast<std::size_t>(direction - 1)] : 0;
        TRect r = rect;
        DrawFrameControl(dc, &r, DFC_SCROLL, state | (pressed ? DFCS_FLAT : 0));
        return;
    }
    DrawStylePart(TVisualStyleClass::Toolbar, dc, TP_BUTTON, pressed ? TS_PRESSED : TS_HOT, rect);
    int x = (rect.left + rect.right) / 2;
    int y = (rect.top + rect.bottom) / 2;
    const int s = 3 * std::min(x - rect.left, y - rect.top) / 4;
    std::array<TPoint, 3> arrow{};
    switch (direction) {
    case 1:
        y += s / 2;
        arrow = {Point(x + s, y), Point(x, y - s), Point(x - s, y)};
        break;
    case 2:
        y = (rect.top + rect.bottom - 1) / 2 - s / 2;
        arrow = {Point(x + s, y), Point(x, y + s), Point(x - s, y)};
        break;
    case 3:
        x += s / 2;
        arrow = {Point(x, y + s), Point(x - s, y), Point(x, y - s)};
        break;
    case 4:
        x = (rect.left + rect.right - 1) / 2 - s / 2;
        arrow = {Point(x, y + s), Point(x + s, y), Point(x, y - s)};
        break;
    default: return;
    }
    // A pressed arrow in the button text colour; otherwise the caller's pen colour.
    if (pressed)
        canvas.GetPen()->SetColor(clBtnText);
    canvas.GetBrush()->SetColor(canvas.GetPen()->GetColor());
    canvas.Polygon(arrow);
}

void TTBXDefaultTheme::PaintFrameControl(TCanvas& canvas, const TRect& rect, int kind, int state) const
{
    constexpr int Checked = 1;
    constexpr int Mixed = 2;
    constexpr int Disabled = 4;
    constexpr int HotBit = 8;
    constexpr int PressedBit = 16;
    if (kind != 1 && kind != 2)
        return;
    HDC dc = canvas.GetHandle();
    const bool checkBox = kind == 1;
    const bool checked = (state & Checked) != 0;
    const bool mixed = checkBox && (state & Mixed) != 0;
    const bool disabled = (state & Disabled) != 0;
    const bool pressed = (state & PressedBit) != 0;
    const bool hot = (state & HotBit) != 0;
    if (VisualStylesActive()) {
        const int base = checked ? 5 : mixed ? 9 : 1;
        const int offset = disabled ? 3 : pressed ? 2 : hot ? 1 : 0;
        DrawStylePart(TVisualStyleClass::Button, dc, checkBox ? 3 : 2, base + offset, rect);
        return;
    }
    if (!disabled && (hot || pressed)) {
        UINT flags = checkBox ? (mixed     ? DFCS_BUTTON3STATE | DFCS_CHECKED
                                 : checked ? DFCS_CHECKED
                                           : 0)
                              : DFCS_BUTTONRADIO | (checked ? DFCS_CHECKED : 0);
        if (pressed)
            flags |= DFCS_PUSHED;
        TRect r = rect;
        DrawFrameControl(dc, &r, DFC_BUTTON, flags);
        return;
    }
    TRect r = Rect(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1);
    if (checkBox) {
        FrameRectColor(canvas, r, clBtnShadow, true);
        if (disabled)
            FillRectColor(canvas, r, clBtnFace);
        else if (mixed)
            DitherRect(canvas, r, clWindow, clBtnFace);
        else
            FillRectColor(canvas, r, clWindow);
        if (checked || mixed) {
            const int x = (r.left + r.right) / 2 - 1;
            const int y = (r.top + r.bottom) / 2 + 1;
            const std::array<TPoint, 7> mark{Point(x - 2, y),     Point(x, y + 2), Point(x + 4, y - 2),
                                             Point(x + 4, y - 4), Point(x, y),     Point(x - 2, y - 2),
                                             Point(x - 2, y)};
            FillPolygon(canvas, mark, disabled ? clGrayText : mixed ? clBtnShadow : clBtnText);
        }
        return;
    }
    r.left += 1;
    r.bottom -= 1;
    canvas.GetPen()->SetColor(clBtnShadow);
    canvas.GetBrush()->SetColor(disabled ? clBtnFace : clWindow);
    canvas.RoundRect(r.left, r.top, r.right, r.bottom, r.right - r.left - 2, r.bottom - r.top - 2);
    if (checked) {
        InflateRect(&r, -3, -3);
        canvas.GetPen()->SetColor(clBtnText);
        canvas.GetBrush()->SetColor(clBtnText);
        canvas.RoundRect(r.left, r.top, r.right, r.bottom, r.right - r.left, r.bottom - r.top);
    }
}

}  // namespace ovrel::themes
