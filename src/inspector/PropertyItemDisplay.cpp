#include "inspector/PropertyItemDisplay.h"

#include "inspector/Drawing.h"
#include "inspector/ItemDisplay_p.h"
#include "inspector/Pickers.h"
#include "inspector/PropertyItemClasses.h"
#include "inspector/Resources.h"
#include "inspector/Themes.h"

#include "platform/ui/Gdi.h"
#include "toolkit/SysUtils.h"

#include <array>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

using namespace detail;

namespace {

int Width(const TRect& r) { return r.right - r.left; }
int Height(const TRect& r) { return r.bottom - r.top; }

// A one-pixel frame: top and left in one colour, bottom and right in the other.
void Frame3D(TCanvas* canvas, const TRect& r, TColor topLeft, TColor bottomRight)
{
    Fill(canvas, TRect{r.left, r.top, r.right, r.top + 1}, topLeft);
    Fill(canvas, TRect{r.left, r.top, r.left + 1, r.bottom}, topLeft);
    Fill(canvas, TRect{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    Fill(canvas, TRect{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

TRect Shrunk(const TRect& r, int by) { return TRect{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

// The system's check box or radio button (kind) in rect shrunk by one.
void DrawButtonControl(TCanvas* canvas, const TRect& rect, ui::UINT kind, bool pressed, bool checked, bool enabled,
                       bool flat)
{
    ui::UINT flags = kind;
    if (pressed)
        flags |= ui::DFCS_PUSHED;
    if (checked)
        flags |= ui::DFCS_CHECKED;
    if (!enabled)
        flags |= ui::DFCS_INACTIVE;
    if (flat)
        flags |= ui::DFCS_FLAT;
    ui::RECT box = Shrunk(rect, 1);
    ui::DrawFrameControl(canvas->GetHandle(), &box, ui::DFC_BUTTON, flags);
}

// Draws a display's value again at once through the grid's canvas, outside the grid's paint, and hands the
// drawing over so that it shows.
template <class D> void RedrawValue(D* display)
{
    if (display->Canvas == nullptr)
        return;
    display->DrawValue();
    if (auto* canvas = dynamic_cast<TControlCanvas*>(display->Canvas))
        canvas->FreeHandle();
}

}  // namespace

bool IsToggleKey(std::uint16_t key, TShiftState shift)
{
    if (shift.Contains(ssCtrl) || shift.Contains(ssAlt))
        return false;
    return key == ui::VK_SPACE || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ||
           (key >= ui::VK_NUMPAD0 && key <= ui::VK_DIVIDE) || (key >= ui::VK_OEM_1 && key <= 0xE2);
}

// ---- TMemoItemDisplay -------------------------------------------------------------------------------------

void TMemoItemDisplay::DrawText()
{
    const auto* memo = dynamic_cast<const TMemoItem*>(GetItem());
    if (Canvas == nullptr || memo == nullptr || memo->GetValue().empty()) {
        TTextualItemDisplay::DrawText();
        return;
    }
    Canvas->SetFont(memo->GetValueFont());
    TRect r;
    GetTextRect(r);
    const TStrings* lines = memo->GetLines();
    TBitmap* symbol = GetWorkBitmap();
    int left = r.left;
    for (int i = 0; i < lines->GetCount() && left <= r.right; ++i) {
        const std::string line = lines->Get(i);
        DrawEllipsisText(Canvas, TRect{left, r.top, r.right, r.bottom}, line);
        left += Canvas->TextWidth(line);
        if (memo->GetMultiLineSymbol() && i + 1 < lines->GetCount()) {
            if (symbol->GetEmpty()) {
                LoadResourceBitmap(symbol, "NEWROW");
                symbol->SetTransparent(true);
                symbol->SetTransparentColor(clLime);
            }
            if (left + symbol->GetWidth() > r.right)
                break;  // the symbol too stops at the edge
            Canvas->Draw(left, r.top + (Height(r) - symbol->GetHeight()) / 2, symbol);
            left += symbol->GetWidth();
        }
        left += 4;
    }
}

// ---- TColorItemDisplay and TFontNameItemDisplay -----------------------------------------------------------

void TColorItemDisplay::DrawPreview(const TRect& rect)
{
    const auto* item = dynamic_cast<const TColorItem*>(GetItem());
    // Text that names no colour is drawn as no value: painting must not raise at every repaint.
    const TColor color = item != nullptr ? PickerColor(item->GetValue(), item->GetColorKind() == ckWeb) : clNone;
    if (color != clNone) {
        Fill(Canvas, rect, color);
        return;
    }
    Fill(Canvas, rect, clWhite);
    Canvas->GetPen()->SetColor(clRed);
    Canvas->MoveTo(rect.left, rect.top);
    Canvas->LineTo(rect.right, rect.bottom);
    Canvas->MoveTo(rect.left, rect.bottom - 1);
    Canvas->LineTo(rect.right, rect.top - 1);
}

void TFontNameItemDisplay::DrawPreview(const TRect& rect)
{
    Canvas->SetFont(GetItem()->GetValueFont());
    TDisplayProvider::DrawFontSample(Canvas, rect, GetItem()->GetValue());
}

// ---- TToolbarItemDisplay ----------------------------------------------------------------------------------

namespace {

const TToolbarItem* ToolbarOf(const TItemDisplay* display) { return dynamic_cast<TToolbarItem*>(display->GetItem()); }

}  // namespace

TRect TToolbarItemDisplay::ButtonRect(int index) const
{
    const TToolbarItem* item = ToolbarOf(this);
    const int width = item->GetButtonWidth();
    const int left = ToolbarButtonLeft(Rect, index, item->ButtonCount(), width, item->GetAlignment() == baRightJustify);
    return TRect{left, Rect.top, left + width, Rect.bottom};
}

int TToolbarItemDisplay::ButtonAt(int x) const
{
    const TToolbarItem* item = ToolbarOf(this);
    if (item == nullptr)
        return -1;
    return ToolbarButtonAt(x, Width(Rect), item->ButtonCount(), item->GetButtonWidth(),
                           item->GetAlignment() == baRightJustify);
}

void TToolbarItemDisplay::DrawValueBackground()
{
    const TToolbarItem* item = ToolbarOf(this);
    if (Canvas == nullptr || item == nullptr || !item->GetDrawBackground()) {
        TItemDisplay::DrawValueBackground();
        return;
    }
    switch (Style) {
    case psDefault:
        if (GetThemed())
            DrawThemedBackground(CanvasWindow(Canvas), Canvas->GetHandle(), Rect, 1, 0, "rebar");
        else
            Fill(Canvas, Rect, clBtnFace);
        break;
    case psOffice2003: TGraphicsProvider::DrawGradient(Canvas, Rect, SchemeColor(10), SchemeColor(11)); break;
    case psWhidbey: break;
    }
}

void TToolbarItemDisplay::DrawValue()
{
    if (Canvas == nullptr)
        return;
    TItemDisplay::DrawValue();
    DrawButtons();
}

void TToolbarItemDisplay::DrawButtons()
{
    const TToolbarItem* item = ToolbarOf(this);
    if (item == nullptr)
        return;
    const int count = item->ButtonCount();
    for (int i = 0; i < count; ++i) {
        const TToolbarItemButton* button = item->GetButtons()->GetButton(i);
        const TRect r = ButtonRect(i);
        if (button->GetDivider()) {
            const int x = r.left + Width(r) / 2;
            Fill(Canvas, TRect{x, Rect.top + 2, x + 1, Rect.bottom - 2}, clGrayText);
            continue;
        }
        DrawButton(r, button->GetChecked(), i, i == FPressedButton, i == FHotButton);
    }
    if (!item->GetShowText())
        return;
    Canvas->SetFont(item->GetValueFont());
    const int buttons = count * item->GetButtonWidth();
    const TRect text = item->GetAlignment() == baRightJustify
                           ? TRect{Rect.left + 2, Rect.top, Rect.right - buttons, Rect.bottom}
                           : TRect{Rect.left + buttons + 2, Rect.top, Rect.right, Rect.bottom};
    DrawEllipsisText(Canvas, text, item->GetValue());
}

void TToolbarItemDisplay::DrawButton(const TRect& r, bool checked, int index, bool pressed, bool hot)
{
    if (checked || hot) {
        switch (Style) {
        case psDefault:
            if (GetThemed()) {
                const int state = pressed ? 3 : checked && hot ? 6 : checked ? 5 : 2;
                DrawThemedBackground(CanvasWindow(Canvas), Canvas->GetHandle(), r, state, 1, "toolbar");
            } else if (hot && !checked && !pressed) {
                Fill(Canvas, r, clBtnFace);
                Frame3D(Canvas, r, clBtnHighlight, clBtnShadow);
            } else {
                Fill(Canvas, r, hot ? clBtnFace : cl3DLight);
                Frame3D(Canvas, r, clBtnShadow, clBtnHighlight);
            }
            break;
        case psOffice2003:
            if (hot && (pressed || checked))
                TGraphicsProvider::DrawGradient(Canvas, r, SchemeColor(8), SchemeColor(9));
            else if (hot)
                TGraphicsProvider::DrawGradient(Canvas, r, SchemeColor(6), SchemeColor(7));
            else
                TGraphicsProvider::DrawGradient(Canvas, r, SchemeColor(4), SchemeColor(5));
            Frame(Canvas, r, SchemeColor(3));
            break;
        case psWhidbey: {
            const int share = hot && (pressed || checked) ? 160 : hot ? 80 : 35;
            FramedBox(Canvas, r, clHighlight, BlendColor(clHighlight, clWindow, share));
            break;
        }
        }
    }
    const TToolbarItem* item = ToolbarOf(this);
    TBitmap* glyph = item->GetButtons()->GetButton(index)->GetGlyph();
    if (glyph->GetEmpty())
        return;
    glyph->SetTransparent(true);
    glyph->SetTransparentColor(glyph->GetCanvas()->GetPixel(0, glyph->GetHeight() - 1));
    DrawAlphaBitmap(Canvas, r.left + (Width(r) - glyph->GetWidth()) / 2,
                    Rect.top + (Height(Rect) - glyph->GetHeight()) / 2, glyph);
}

void TToolbarItemDisplay::KeyDown(std::uint16_t& key, TShiftState)
{
    auto* item = dynamic_cast<TToolbarItem*>(GetItem());
    if (item == nullptr || key < '1' || key > '1' + 10)
        return;
    // The n-th button that is not a divider; the first such button when there are fewer.
    const int wanted = key - '1';
    int first = -1;
    int chosen = -1;
    for (int i = 0, n = 0; i < item->ButtonCount() && chosen < 0; ++i) {
        if (item->GetButtons()->GetButton(i)->GetDivider())
            continue;
        if (first < 0)
            first = i;
        if (n++ == wanted)
            chosen = i;
    }
    if (chosen < 0)
        chosen = first;
    if (chosen < 0 || !item->GetButtons()->GetButton(chosen)->GetAutoCheck())
        return;
    // As a click does: the value report reaches OnChange and the binding.
    item->SetButtonChecked(chosen, !item->ButtonChecked(chosen));
}

void TToolbarItemDisplay::MouseDown(TMouseButton, TShiftState, int x, int)
{
    auto* item = dynamic_cast<TToolbarItem*>(GetItem());
    const int index = ButtonAt(x);
    if (item == nullptr || index < 0)
        return;
    FPressedButton = index;
    item->ButtonChanged(index);
}

void TToolbarItemDisplay::MouseMove(TShiftState, int x, int)
{
    auto* item = dynamic_cast<TToolbarItem*>(GetItem());
    const int index = ButtonAt(x);
    if (item == nullptr || index == FHotButton)
        return;
    const int old = FHotButton;
    FHotButton = index;
    if (index >= 0)
        item->ButtonChanged(index);
    if (old >= 0 && old < item->ButtonCount())
        item->ButtonChanged(old);
}

void TToolbarItemDisplay::MouseUp(TMouseButton, TShiftState, int x, int)
{
    auto* item = dynamic_cast<TToolbarItem*>(GetItem());
    if (item == nullptr)
        return;
    const int pressed = FPressedButton;
    FPressedButton = -1;
    if (pressed < 0 || pressed >= item->ButtonCount())
        return;
    item->ButtonChanged(pressed);
    // Only a release over the button that was pressed acts.
    if (ButtonAt(x) != pressed || item->GetButtons()->GetButton(pressed)->GetDivider())
        return;
    if (item->GetButtons()->GetButton(pressed)->GetAutoCheck())
        item->SetButtonChecked(pressed, !item->ButtonChecked(pressed));
    else
        item->ButtonClick(pressed);
}

void TToolbarItemDisplay::MouseLeave()
{
    auto* item = dynamic_cast<TToolbarItem*>(GetItem());
    const int old = FHotButton;
    FHotButton = -1;
    if (item != nullptr && old >= 0 && old < item->ButtonCount())
        item->ButtonChanged(old);
}

// ---- TCheckBoxItemDisplay ---------------------------------------------------------------------------------

void TCheckBoxItemDisplay::DrawButton(const TRect& r, bool checked, int index, bool pressed, bool hot)
{
    const auto* item = dynamic_cast<const TCheckBoxItem*>(GetItem());
    if (item == nullptr || item->GetStyle() == bsButton) {
        TToolbarItemDisplay::DrawButton(r, checked, index, pressed, hot);
        return;
    }
    switch (Style) {
    case psDefault:
        if (GetThemed()) {
            // The plain unchecked box for the state that is neither checked, hot nor pressed.
            const int state = pressed ? 3 : checked && hot ? 6 : checked ? 5 : hot ? 2 : 1;
            DrawThemedBackground(CanvasWindow(Canvas), Canvas->GetHandle(), r, state, 3, "button");
        } else {
            DrawButtonControl(Canvas, r, ui::DFCS_BUTTONCHECK, pressed, checked, item->GetEnabled(),
                              item->GetFlatStyle());
        }
        break;
    case psOffice2003:
    case psWhidbey: {
        TBitmap* bitmap = GetWorkBitmap();
        LoadResourceBitmap(bitmap, checked ? "CHECKED" : "UNCHECKED");
        TDrawProvider::DrawBitmap(Canvas, r.left, r.top, bitmap);
        break;
    }
    }
}

void TCheckBoxItemDisplay::KeyDown(std::uint16_t& key, TShiftState shift)
{
    auto* item = GetItem();
    if (item != nullptr && IsToggleKey(key, shift))
        item->SetAsBoolean(!item->GetAsBoolean());
}

// ---- TTrackBarItemDisplay ---------------------------------------------------------------------------------

namespace {

TTrackBarItem* TrackOf(const TItemDisplay* display) { return dynamic_cast<TTrackBarItem*>(display->GetItem()); }

}  // namespace

int TTrackBarItemDisplay::TextWidth()
{
    const TTrackBarItem* item = TrackOf(this);
    if (item == nullptr || !item->GetShowText() || Canvas == nullptr)
        return 0;
    Canvas->SetFont(item->GetValueFont());
    return Canvas->TextWidth(IntToStr(item->GetMax()) + item->GetTextAfter()) + 2;
}

int TTrackBarItemDisplay::TrackLength()
{
    const TTrackBarItem* item = TrackOf(this);
    return item != nullptr ? Width(Rect) - 2 * item->GetMargin() - TextWidth() : 0;
}

bool TTrackBarItemDisplay::PositionAt(int x, int y, int& position)
{
    const TTrackBarItem* item = TrackOf(this);
    return item != nullptr && TrackPositionAt(x, y, Width(Rect), Height(Rect), item->GetMargin(), TextWidth(),
                                              item->GetMin(), item->GetMax(), position);
}

void TTrackBarItemDisplay::DrawValue()
{
    const TTrackBarItem* item = TrackOf(this);
    if (Canvas == nullptr || item == nullptr)
        return;
    TItemDisplay::DrawValue();
    DrawTrack();
    if (item->GetShowText()) {
        Canvas->SetFont(item->GetValueFont());
        DrawEllipsisText(Canvas, TRect{Rect.left + 2, Rect.top, Rect.right, Rect.bottom},
                         IntToStr(item->GetPosition()) + item->GetTextAfter());
    }
}

void TTrackBarItemDisplay::DrawTrack()
{
    const TTrackBarItem* item = TrackOf(this);
    if (Canvas == nullptr || item == nullptr)
        return;
    const int margin = item->GetMargin();
    const TRect groove{Rect.left + TextWidth() + margin, Rect.top + margin, Rect.right - margin, Rect.bottom - margin};
    const int offset = TrackThumbOffset(TrackLength(), item->GetPosition(), item->GetMin(), item->GetMax());
    const int height = Height(groove) + 10;
    const int width = height - 4;
    const int centre = groove.left + offset;
    const int top = groove.top + Height(groove) / 2 - height / 2;
    const TRect thumb{centre - width / 2, top, centre - width / 2 + width, top + height};
    if (GetThemed()) {
        const ui::HWND window = CanvasWindow(Canvas);
        DrawThemedBackground(window, Canvas->GetHandle(), groove, 1, 1, "trackbar");
        const int state = !item->GetEnabled() ? 5 : FPressed ? 3 : FHot ? 2 : 1;
        DrawThemedBackground(window, Canvas->GetHandle(), thumb, state, 4, "trackbar");
        return;
    }
    Fill(Canvas, groove, clBtnFace);
    Frame3D(Canvas, groove, cl3DDkShadow, clBtnHighlight);
    // The thumb: a box whose lower end points down.
    const TRect t = Shrunk(thumb, 1);
    const int w = Width(t);
    const int shoulder = t.bottom - w / 2;
    const int middle = t.left + w / 2;
    const std::array<TPoint, 5> shape{TPoint{t.left, t.top}, TPoint{t.right - 1, t.top}, TPoint{t.right - 1, shoulder},
                                      TPoint{middle, t.bottom - 1}, TPoint{t.left, shoulder}};
    Canvas->GetPen()->SetColor(clBtnFace);
    Canvas->GetBrush()->SetColor(clBtnFace);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->Polygon(shape);
    const auto line = [&](TColor color, TPoint from, TPoint to) {
        Canvas->GetPen()->SetColor(color);
        Canvas->MoveTo(from.x, from.y);
        Canvas->LineTo(to.x, to.y);
    };
    // Light on the top and left, dark on the lower right, with an inner line on each side.
    line(clBtnHighlight, shape[4], shape[0]);
    line(clBtnHighlight, shape[0], shape[1]);
    line(cl3DDkShadow, shape[1], shape[2]);
    line(cl3DDkShadow, shape[2], shape[3]);
    line(cl3DDkShadow, shape[3], shape[4]);
    line(cl3DLight, TPoint{t.left + 1, shoulder}, TPoint{t.left + 1, t.top + 1});
    line(cl3DLight, TPoint{t.left + 1, t.top + 1}, TPoint{t.right - 2, t.top + 1});
    line(clBtnShadow, TPoint{t.right - 2, t.top + 1}, TPoint{t.right - 2, shoulder});
    line(clBtnShadow, TPoint{t.right - 2, shoulder}, TPoint{middle, t.bottom - 2});
}

void TTrackBarItemDisplay::Redraw() { RedrawValue(this); }

void TTrackBarItemDisplay::KeyDown(std::uint16_t& key, TShiftState shift)
{
    TTrackBarItem* item = TrackOf(this);
    if (item == nullptr || (key != ui::VK_LEFT && key != ui::VK_RIGHT))
        return;
    const int step = shift.Contains(ssCtrl) ? 10 : shift.Contains(ssShift) ? 5 : 1;
    item->SetPosition(item->GetPosition() + (key == ui::VK_LEFT ? -step : step));
}

void TTrackBarItemDisplay::MouseDown(TMouseButton, TShiftState, int, int) { FPressed = true; }

void TTrackBarItemDisplay::MouseMove(TShiftState, int x, int y)
{
    TTrackBarItem* item = TrackOf(this);
    if (item == nullptr)
        return;
    if (!FHot) {
        FHot = true;
        Redraw();
    }
    if (int position = 0; FPressed && PositionAt(x, y, position)) {
        item->SetPosition(position);
        Redraw();
    }
}

void TTrackBarItemDisplay::MouseUp(TMouseButton, TShiftState, int x, int y)
{
    TTrackBarItem* item = TrackOf(this);
    if (item == nullptr)
        return;
    if (int position = 0; FPressed && PositionAt(x, y, position))
        item->SetPosition(position);
    FPressed = false;
    Redraw();
}

void TTrackBarItemDisplay::MouseLeave()
{
    FPressed = false;
    if (FHot) {
        FHot = false;
        Redraw();
    }
}

// ---- TRadioItemDisplay ------------------------------------------------------------------------------------

void TRadioItemDisplay::DrawValue()
{
    const auto* item = dynamic_cast<const TRadioItem*>(GetItem());
    if (Canvas == nullptr || item == nullptr)
        return;
    TItemDisplay::DrawValue();
    const bool checked = item->GetChecked();
    if (GetThemed()) {
        int state = 0;
        if (!item->GetEnabled())
            state = checked ? 8 : 4;
        else if (checked)
            state = FPressed ? 7 : FHot ? 6 : 5;
        else
            state = FPressed ? 3 : FHot ? 2 : 1;
        DrawThemedBackground(CanvasWindow(Canvas), Canvas->GetHandle(), Rect, state, 2, "button");
        return;
    }
    DrawButtonControl(Canvas, Rect, ui::DFCS_BUTTONRADIO, FPressed, checked, item->GetEnabled(), item->GetFlatStyle());
}

void TRadioItemDisplay::Redraw() { RedrawValue(this); }

void TRadioItemDisplay::KeyDown(std::uint16_t& key, TShiftState shift)
{
    auto* item = GetItem();
    if (item != nullptr && IsToggleKey(key, shift))
        item->SetAsBoolean(!item->GetAsBoolean());
}

void TRadioItemDisplay::MouseDown(TMouseButton, TShiftState, int, int)
{
    if (FPressed)
        return;
    FPressed = true;
    Redraw();
}

void TRadioItemDisplay::MouseMove(TShiftState, int, int)
{
    if (FHot)
        return;
    FHot = true;
    Redraw();
}

void TRadioItemDisplay::MouseLeave()
{
    FHot = false;
    Redraw();
}

void TRadioItemDisplay::MouseUp(TMouseButton, TShiftState, int, int)
{
    auto* item = dynamic_cast<TRadioItem*>(GetItem());
    // A click only ever checks.
    if (item != nullptr && !item->GetChecked())
        item->SetChecked(true);
    if (FPressed) {
        FPressed = false;
        Redraw();
    }
}

}  // namespace ovrel::inspector
