// Edges, frame controls, focus rectangles and captions, drawn from the system colours.

#include "platform/ui/Gdi.h"

#include "platform/ui/Gdi_p.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"

#include <QFontMetrics>
#include <QLinearGradient>

#include <algorithm>
#include <array>

namespace ovrel::ui {

namespace {

void Fill(HDC dc, int left, int top, int right, int bottom, int sysColor)
{
    const RECT r{left, top, right, bottom};
    FillRect(dc, &r, GetSysColorBrush(sysColor));
}

void FillColor(HDC dc, const RECT& r, COLORREF color)
{
    BrushObject brush;
    brush.Log.lbColor = color;
    DeviceContext* d = ToDC(dc);
    if (!d)
        return;
    const QRect area(LogicalToImage(*d, r.left, r.top), QSize(r.right - r.left, r.bottom - r.top));
    if (r.right > r.left && r.bottom > r.top)
        FillImageRegion(*d, EffectiveClip(*d) & area, &brush);
}

// One ring of an edge: the top-left colour on the top and left sides, the bottom-right colour on the
// others, which own the corner pixels they reach.
void Ring(HDC dc, RECT& r, UINT sides, int topLeft, int bottomRight)
{
    if (sides & BF_TOP)
        Fill(dc, r.left, r.top, r.right - ((sides & BF_RIGHT) ? 1 : 0), r.top + 1, topLeft);
    if (sides & BF_LEFT)
        Fill(dc, r.left, r.top, r.left + 1, r.bottom - ((sides & BF_BOTTOM) ? 1 : 0), topLeft);
    if (sides & BF_BOTTOM)
        Fill(dc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
    if (sides & BF_RIGHT)
        Fill(dc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
    if (sides & BF_LEFT)
        ++r.left;
    if (sides & BF_TOP)
        ++r.top;
    if (sides & BF_RIGHT)
        --r.right;
    if (sides & BF_BOTTOM)
        --r.bottom;
}

void Triangle(HDC dc, const std::array<POINT, 3>& points, int sysColor)
{
    DeviceContext* d = ToDC(dc);
    if (!d)
        return;
    const int saved = SaveDC(dc);
    SelectObject(dc, GetSysColorBrush(sysColor));
    SelectObject(dc, GetStockObject(NULL_PEN));
    SurfacePainter sp(*d);
    if (sp.IsActive()) {
        QPainter& p = sp.Painter();
        ApplyBrush(*d, p, d->State.Brush);
        p.setPen(QPen(ToQColor(GetSysColor(sysColor)), 1));
        QPolygon poly;
        for (const POINT& pt : points)
            poly << LogicalToImage(*d, pt.x, pt.y);
        p.drawPolygon(poly);
    }
    RestoreDC(dc, saved);
}

// A filled arrow in a square of side size centred in r; direction 0 up, 1 down, 2 left, 3 right.
void Arrow(HDC dc, const RECT& r, UINT direction, int sysColor, int shift)
{
    const int side = std::min(r.right - r.left, r.bottom - r.top);
    const int half = std::max(1, (side + 2) / 4);  // 16 px gives a 7 x 4 arrow
    const int cx = (r.left + r.right) / 2 + shift;
    const int cy = (r.top + r.bottom) / 2 + shift;
    std::array<POINT, 3> pts{};
    switch (direction) {
    case DFCS_SCROLLUP:
        pts = {POINT{cx - half + 1, cy + half / 2}, POINT{cx + half - 1, cy + half / 2},
               POINT{cx, cy - half / 2 - (half % 2 == 0 ? 1 : 0)}};
        break;
    case DFCS_SCROLLLEFT:
        pts = {POINT{cx + half / 2, cy - half + 1}, POINT{cx + half / 2, cy + half - 1},
               POINT{cx - half / 2 - (half % 2 == 0 ? 1 : 0), cy}};
        break;
    case DFCS_SCROLLRIGHT:
        pts = {POINT{cx - half / 2, cy - half + 1}, POINT{cx - half / 2, cy + half - 1},
               POINT{cx + half / 2 + (half % 2 == 0 ? 1 : 0), cy}};
        break;
    default:  // down, and the combo box button
        pts = {POINT{cx - half + 1, cy - half / 2}, POINT{cx + half - 1, cy - half / 2},
               POINT{cx, cy + half / 2 + (half % 2 == 0 ? 1 : 0)}};
        break;
    }
    Triangle(dc, pts, sysColor);
}

void Glyph(HDC dc, const RECT& r, UINT direction, UINT state)
{
    const int shift = (state & DFCS_PUSHED) ? 1 : 0;
    if (state & DFCS_INACTIVE) {
        Arrow(dc, r, direction, COLOR_BTNHIGHLIGHT, shift + 1);  // the embossed look of a disabled glyph
        Arrow(dc, r, direction, COLOR_BTNSHADOW, shift);
    } else {
        Arrow(dc, r, direction, COLOR_BTNTEXT, shift);
    }
}

// The raised (or pushed) button face shared by push buttons, scroll arrows and caption buttons.
void ButtonFace(HDC dc, RECT& r, UINT state)
{
    if (state & DFCS_FLAT) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(&r, -1, -1);
        Fill(dc, r.left, r.top, r.right, r.bottom, COLOR_BTNFACE);
        return;
    }
    if (state & (DFCS_PUSHED | DFCS_CHECKED))
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
    else
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST | BF_SOFT);
}

void CheckMark(HDC dc, const RECT& box, int sysColor)
{
    // A 7 x 7 tick, three pixels thick, centred in the box.
    static constexpr std::array<int, 7> rise{2, 3, 4, 3, 2, 1, 0};
    const int x0 = box.left + (box.right - box.left - 7) / 2;
    const int y0 = box.top + (box.bottom - box.top - 7) / 2;
    for (int c = 0; c < 7; ++c)
        Fill(dc, x0 + c, y0 + rise[static_cast<std::size_t>(c)], x0 + c + 1, y0 + rise[static_cast<std::size_t>(c)] + 3,
             sysColor);
}

BOOL CheckBox(HDC dc, RECT& r, UINT state)
{
    const int side = std::min(r.right - r.left, r.bottom - r.top);
    RECT box{r.left + (r.right - r.left - side) / 2, r.top + (r.bottom - r.top - side) / 2, 0, 0};
    box.right = box.left + side;
    box.bottom = box.top + side;
    if (state & DFCS_FLAT) {
        FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(&box, -1, -1);
    } else {
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
    const bool grey = (state & (DFCS_PUSHED | DFCS_INACTIVE)) != 0;
    Fill(dc, box.left, box.top, box.right, box.bottom, grey ? COLOR_BTNFACE : COLOR_WINDOW);
    if (state & DFCS_CHECKED) {
        const bool third = (state & 0x1F) == DFCS_BUTTON3STATE;
        CheckMark(dc, box, (state & DFCS_INACTIVE) || third ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
    }
    return TRUE;
}

BOOL RadioButton(HDC dc, RECT& r, UINT state)
{
    const int side = std::min(r.right - r.left, r.bottom - r.top);
    const int left = r.left + (r.right - r.left - side) / 2;
    const int top = r.top + (r.bottom - r.top - side) / 2;
    const int saved = SaveDC(dc);
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    SelectObject(dc, shadow);
    SelectObject(dc, GetSysColorBrush((state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW));
    Ellipse(dc, left, top, left + side, top + side);
    if (state & DFCS_CHECKED) {
        const int dot = std::max(2, side / 3);
        const int dl = left + (side - dot) / 2;
        const int dt = top + (side - dot) / 2;
        SelectObject(dc, GetStockObject(NULL_PEN));
        SelectObject(dc, GetSysColorBrush((state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
        Ellipse(dc, dl, dt, dl + dot + 1, dt + dot + 1);
    }
    RestoreDC(dc, saved);
    DeleteObject(shadow);
    return TRUE;
}

void CloseCross(HDC dc, const RECT& r, int sysColor, int shift)
{
    const int side = std::min(r.right - r.left, r.bottom - r.top);
    const int size = std::max(2, side - 2 * std::max(2, side / 4));
    const int x0 = r.left + (r.right - r.left - size) / 2 + shift;
    const int y0 = r.top + (r.bottom - r.top - size) / 2 + shift;
    for (int i = 0; i < size; ++i) {
        Fill(dc, x0 + i, y0 + i, x0 + i + 2, y0 + i + 1, sysColor);
        Fill(dc, x0 + size - 2 - i, y0 + i, x0 + size - i, y0 + i + 1, sysColor);
    }
}

// A window of the caption glyphs: a two-pixel title bar over a one-pixel frame.
void GlyphWindow(HDC dc, int left, int top, int width, int height, int sysColor)
{
    Fill(dc, left, top, left + width, top + 2, sysColor);
    Fill(dc, left, top + height - 1, left + width, top + height, sysColor);
    Fill(dc, left, top, left + 1, top + height, sysColor);
    Fill(dc, left + width - 1, top, left + width, top + height, sysColor);
}

// The minimise, maximise, restore and help glyphs, in the box the close cross takes.
void CaptionGlyph(HDC dc, const RECT& r, UINT kind, int sysColor, int shift)
{
    const int side = std::min(r.right - r.left, r.bottom - r.top);
    const int size = std::max(4, side - 2 * std::max(2, side / 4));
    const int x0 = r.left + (r.right - r.left - size) / 2 + shift;
    const int y0 = r.top + (r.bottom - r.top - size) / 2 + shift;
    switch (kind) {
    case DFCS_CAPTIONMIN:  // a bar at the foot: the window goes down
        Fill(dc, x0 + 1, y0 + size - 2, x0 + size - 1, y0 + size, sysColor);
        break;
    case DFCS_CAPTIONMAX: GlyphWindow(dc, x0, y0, size, size, sysColor); break;
    case DFCS_CAPTIONRESTORE: {
        // Two smaller windows, the front one low at the left hiding part of the one behind it.
        const int small = std::max(3, size * 3 / 4);
        const int frontTop = y0 + size - small;
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, x0, frontTop, x0 + small, frontTop + small);
        GlyphWindow(dc, x0 + size - small, y0, small, small, sysColor);
        RestoreDC(dc, saved);
        GlyphWindow(dc, x0, frontTop, small, small, sysColor);
        break;
    }
    case DFCS_CAPTIONHELP: {
        // A question mark, seven by eight, with the dot apart from the stem.
        static constexpr std::array<const char*, 8> rows{" ####  ", "##  ## ", "    ## ", "   ##  ",
                                                         "  ##   ", "  ##   ", "       ", "  ##   "};
        const int left = r.left + (r.right - r.left - 7) / 2 + shift;
        const int top = r.top + (r.bottom - r.top - 8) / 2 + shift;
        for (std::size_t y = 0; y < rows.size(); ++y)
            for (int x = 0; x < 7; ++x)
                if (rows[y][x] == '#')
                    Fill(dc, left + x, top + static_cast<int>(y), left + x + 1, top + static_cast<int>(y) + 1,
                         sysColor);
        break;
    }
    default: CloseCross(dc, r, sysColor, shift); break;
    }
}

}  // namespace

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags)
{
    if (!ToDC(dc) || !rect)
        return FALSE;
    RECT r = *rect;
    const UINT sides = flags & BF_RECT;
    const UINT outer = edge & BDR_OUTER;
    const UINT inner = edge & BDR_INNER;
    if (flags & BF_MONO) {
        if (outer)
            Ring(dc, r, sides, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
        if (inner)
            Ring(dc, r, sides, COLOR_WINDOW, COLOR_WINDOW);
    } else if (flags & BF_FLAT) {
        if (outer)
            Ring(dc, r, sides, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
        if (inner)
            Ring(dc, r, sides, COLOR_BTNFACE, COLOR_BTNFACE);
    } else {
        const bool soft = (flags & BF_SOFT) != 0;
        if (outer == BDR_RAISEDOUTER)
            Ring(dc, r, sides, soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW);
        else if (outer == BDR_SUNKENOUTER)
            Ring(dc, r, sides, soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
        if (inner == BDR_RAISEDINNER)
            Ring(dc, r, sides, soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
        else if (inner == BDR_SUNKENINNER)
            Ring(dc, r, sides, soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    }
    if (flags & BF_MIDDLE)
        Fill(dc, r.left, r.top, r.right, r.bottom, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE);
    if (flags & BF_ADJUST)
        *rect = r;
    return TRUE;
}

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state)
{
    if (!ToDC(dc) || !rect)
        return FALSE;
    RECT r = *rect;
    const UINT kind = state & 0xFF;
    BOOL done = TRUE;
    switch (type) {
    case DFC_BUTTON:
        if (kind & DFCS_BUTTONPUSH) {
            ButtonFace(dc, r, state);
        } else if ((kind & 0xF) == DFCS_BUTTONRADIO) {
            done = RadioButton(dc, r, state);
        } else {
            done = CheckBox(dc, r, state);
        }
        break;
    case DFC_SCROLL: {
        RECT face = r;
        ButtonFace(dc, face, state & DFCS_PUSHED ? state | DFCS_FLAT : state);
        Glyph(dc, r, kind == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : kind, state);
        r = face;
        break;
    }
    case DFC_CAPTION: {
        RECT face = r;
        ButtonFace(dc, face, state);
        const int shift = (state & DFCS_PUSHED) ? 1 : 0;
        if (kind <= DFCS_CAPTIONHELP) {
            if (state & DFCS_INACTIVE) {
                CaptionGlyph(dc, r, kind, COLOR_BTNHIGHLIGHT, shift + 1);  // embossed
                CaptionGlyph(dc, r, kind, COLOR_BTNSHADOW, shift);
            } else {
                CaptionGlyph(dc, r, kind, COLOR_BTNTEXT, shift);
            }
        }
        r = face;
        break;
    }
    case DFC_MENU:
        // Black on white: callers use the result as a mask.
        FillColor(dc, r, RGB(255, 255, 255));
        if (kind == DFCS_MENUARROW) {
            DeviceContext* d = ToDC(dc);
            const int side = std::min(r.right - r.left, r.bottom - r.top);
            const int half = std::max(1, side / 4);
            const int cx = (r.left + r.right) / 2;
            const int cy = (r.top + r.bottom) / 2;
            SurfacePainter sp(*d);
            if (sp.IsActive()) {
                QPainter& p = sp.Painter();
                p.setBrush(Qt::black);
                p.setPen(QPen(Qt::black, 1));
                p.drawPolygon(QPolygon({LogicalToImage(*d, cx - half / 2, cy - half),
                                        LogicalToImage(*d, cx - half / 2, cy + half),
                                        LogicalToImage(*d, cx - half / 2 + half, cy)}));
            }
        }
        break;
    default: return FALSE;
    }
    if (state & DFCS_ADJUSTRECT)
        *rect = r;
    return done;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !rect)
        return FALSE;
    if (rect->right <= rect->left || rect->bottom <= rect->top)
        return TRUE;
    static constexpr std::array<WORD, 8> halftone{0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, halftone.data());
    HBRUSH brush = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    HGDIOBJ old = SelectObject(dc, brush);
    const RECT& r = *rect;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    // Four strips that never overlap, so no pixel is inverted twice.
    PatBlt(dc, r.left, r.top, w, 1, PATINVERT);
    if (h > 1)
        PatBlt(dc, r.left, r.bottom - 1, w, 1, PATINVERT);
    if (h > 2) {
        PatBlt(dc, r.left, r.top + 1, 1, h - 2, PATINVERT);
        if (w > 1)
            PatBlt(dc, r.right - 1, r.top + 1, 1, h - 2, PATINVERT);
    }
    SelectObject(dc, old);
    DeleteObject(brush);
    return TRUE;
}

BOOL DrawCaptionText(HDC dc, const RECT* rect, std::string_view text, UINT flags)
{
    DeviceContext* d = ToDC(dc);
    if (!d || !rect)
        return FALSE;
    const bool active = (flags & DC_ACTIVE) != 0;
    const COLORREF from = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    const COLORREF to = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    const bool gradient = (flags & DC_GRADIENT) && CurrentSystemTable().GradientCaptions;
    if (gradient) {
        SurfacePainter sp(*d);
        const QRect area(LogicalToImage(*d, rect->left, rect->top),
                         QSize(std::max(0, rect->right - rect->left), std::max(0, rect->bottom - rect->top)));
        if (sp.IsActive() && !area.isEmpty()) {
            QLinearGradient g(area.left(), 0, area.right(), 0);
            g.setColorAt(0, ToQColor(from));
            g.setColorAt(1, ToQColor(to));
            sp.Painter().fillRect(area, g);
        }
    } else {
        FillColor(dc, *rect, from);
    }
    if (flags & DC_TEXT) {
        const NONCLIENTMETRICS& ncm = CurrentSystemTable().NonClientMetrics;
        HFONT font = CreateFontIndirect((flags & DC_SMALLCAP) ? ncm.lfSmCaptionFont : ncm.lfCaptionFont);
        const int saved = SaveDC(dc);
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        RECT textRect{rect->left + 2, rect->top, rect->right - 2, rect->bottom};
        DrawText(dc, text, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        RestoreDC(dc, saved);
        DeleteObject(font);
    }
    return TRUE;
}

BOOL DrawCaption(HWND window, HDC dc, const RECT* rect, UINT flags)
{
    return DrawCaptionText(dc, rect, (flags & DC_TEXT) && window ? GetWindowText(window) : std::string(), flags);
}

}  // namespace ovrel::ui
