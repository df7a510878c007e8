#include "toolkit/ExtCtrls.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <string_view>

namespace ovrel::toolkit {

using namespace ui;

namespace {

// Measuring must work before the control has a parent window (a caption set right after creation), so it
// uses a screen-compatible DC of its own.
SIZE MeasureText(const TFont& font, std::string_view text, UINT flags, int width)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.GetHandle());
    RECT r{0, 0, width, 0};
    // An empty caption still takes one line, so an emptied label keeps its height.
    DrawText(dc, text.empty() ? std::string_view(" ") : text, &r, flags | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void DrawCaption(TCanvas& canvas, const TFont& font, std::string_view text, RECT rect, UINT flags, TColor color)
{
    HDC dc = canvas.GetHandle();
    const int saved = SaveDC(dc);
    SelectObject(dc, font.GetHandle());
    SetTextColor(dc, ColorToRGB(color));
    SetBkMode(dc, TRANSPARENT);
    DrawText(dc, text, &rect, flags);
    RestoreDC(dc, saved);
}

void FillWith(TCanvas& canvas, TColor color, const RECT& rect)
{
    canvas.GetBrush()->SetStyle(bsSolid);
    canvas.GetBrush()->SetColor(color);
    canvas.FillRect(rect);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 65, 17);
    SetAutoSize(true);
}

void TLabel::SetAlignment(TAlignment value)
{
    if (FAlignment == value)
        return;
    FAlignment = value;
    Invalidate();
}

void TLabel::SetTransparent(bool value)
{
    if (FTransparent == value)
        return;
    FTransparent = value;
    TControlStyle style = GetControlStyle();
    if (value)
        style.Exclude(csOpaque);
    else
        style.Include(csOpaque);
    SetControlStyle(style);
    Invalidate();
}

void TLabel::SetWordWrap(bool value)
{
    if (FWordWrap == value)
        return;
    FWordWrap = value;
    AdjustSize();
    Invalidate();
}

UINT TLabel::DrawFlags() const
{
    UINT flags = DT_NOPREFIX | DT_EXPANDTABS;
    if (FAlignment == taRightJustify)
        flags |= DT_RIGHT;
    else if (FAlignment == taCenter)
        flags |= DT_CENTER;
    if (FWordWrap)
        flags |= DT_WORDBREAK;
    return flags;
}

bool TLabel::CanAutoSize(int& newWidth, int& newHeight)
{
    const SIZE size = MeasureText(*GetFont(), GetCaption(), DrawFlags(), FWordWrap ? GetWidth() : 0);
    if (!FWordWrap)
        newWidth = size.cx;
    newHeight = size.cy;
    return true;
}

void TLabel::CMTextChanged(TMessage& message)
{
    AdjustSize();
    TGraphicControl::CMTextChanged(message);
}

void TLabel::CMFontChanged(TMessage& message)
{
    AdjustSize();
    TGraphicControl::CMFontChanged(message);
}

void TLabel::Paint()
{
    TCanvas& canvas = *GetCanvas();
    const RECT rect = GetClientRect();
    if (!FTransparent)
        FillWith(canvas, GetColor(), rect);
    DrawCaption(canvas, *GetFont(), GetCaption(), rect, DrawFlags(), GetEnabled() ? GetFont()->GetColor() : clGrayText);
}

// ---------------------------------------------------------------------------------------------------------
// TPaintBox

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

void TPaintBox::Paint() { OnPaint(this); }

// ---------------------------------------------------------------------------------------------------------
// TPanel

TPanel::TPanel(TComponent* owner) : TCustomControl(owner)
{
    TControlStyle style = GetControlStyle();
    style.Include(csAcceptsControls);
    style.Include(csOpaque);
    // A panel made in code starts without a caption rather than showing its name.
    style.Exclude(csSetCaption);
    SetControlStyle(style);
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

int TPanel::FrameWidth() const { return (FBorderStyle != bsNone ? 1 : 0) + (FBevelOuter != bvNone ? 1 : 0); }

void TPanel::FrameChanged()
{
    Realign();
    Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel value)
{
    if (FBevelOuter == value)
        return;
    FBevelOuter = value;
    FrameChanged();
}

void TPanel::SetBorderStyle(TFormBorderStyle value)
{
    if (FBorderStyle == value)
        return;
    FBorderStyle = value;
    FrameChanged();
}

void TPanel::AdjustClientRect(RECT& rect)
{
    TCustomControl::AdjustClientRect(rect);
    const int frame = FrameWidth();
    InflateRect(&rect, -frame, -frame);
}

void TPanel::CMTextChanged(TMessage& message)
{
    if (HandleAllocated())
        Invalidate();
    TCustomControl::CMTextChanged(message);
}

void TPanel::Paint()
{
    TCanvas& canvas = *GetCanvas();
    RECT rect = GetClientRect();
    FillWith(canvas, GetColor(), rect);
    if (FBorderStyle != bsNone) {
        canvas.GetBrush()->SetColor(clWindowFrame);
        canvas.FrameRect(rect);
        InflateRect(&rect, -1, -1);
    }
    if (FBevelOuter == bvRaised || FBevelOuter == bvLowered)
        DrawEdge(canvas.GetHandle(), &rect, FBevelOuter == bvRaised ? BDR_RAISEDOUTER : BDR_SUNKENOUTER,
                 BF_RECT | BF_ADJUST);
    else if (FBevelOuter == bvSpace)
        InflateRect(&rect, -1, -1);
    const std::string caption = GetCaption();
    if (!caption.empty())
        DrawCaption(canvas, *GetFont(), caption, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                    GetEnabled() ? GetFont()->GetColor() : clGrayText);
}

// ---------------------------------------------------------------------------------------------------------
// TSpeedButton

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), FGlyph(std::make_unique<TBitmap>())
{
    TControlStyle style = GetControlStyle();
    // Every press is a press: a quick second click must not turn into a double click.
    style.Exclude(csDoubleClicks);
    style.Include(csOpaque);
    SetControlStyle(style);
    SetBounds(0, 0, 23, 22);
    FGlyph->OnChange = TNotifyEvent(this, &TSpeedButton::GlyphChanged);
}

TSpeedButton::~TSpeedButton() { FGlyph->OnChange = {}; }

void TSpeedButton::SetGlyph(const TBitmap* value) { FGlyph->Assign(value); }

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::SetNumGlyphs(int value)
{
    if (value < 1 || value > 4 || value == FNumGlyphs)
        return;
    FNumGlyphs = value;
    Invalidate();
}

void TSpeedButton::SetFlat(bool value)
{
    if (FFlat == value)
        return;
    FFlat = value;
    Invalidate();
}

void TSpeedButton::SetLook(bool held, bool inside)
{
    const bool before = GetPressed();
    FHeld = held;
    FPointerInside = inside;
    if (GetPressed() != before)
        Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && GetEnabled())
        SetLook(true, true);
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y)
{
    if (FHeld) {
        const RECT client = GetClientRect();
        SetLook(true, PtInRect(&client, POINT{x, y}) != 0);
    }
    TGraphicControl::MouseMove(shift, x, y);
}

void TSpeedButton::WMLButtonUp(TMessage& message)
{
    // The button comes up before the click runs, so a click handler sees (and paints) it released.
    SetLook(false, false);
    TGraphicControl::WMLButtonUp(message);
}

void TSpeedButton::WMCancelMode(TMessage& message)
{
    SetLook(false, false);
    TGraphicControl::WMCancelMode(message);
}

void TSpeedButton::CMEnabledChanged(TMessage& message)
{
    SetLook(false, false);
    // Disabled while held: the release that follows must not click it.
    if (!GetEnabled()) {
        TControlState state = GetControlState();
        state.Exclude(csClicked);
        SetControlState(state);
        SetMouseCapture(false);
    }
    TGraphicControl::CMEnabledChanged(message);
}

void TSpeedButton::SetHovered(bool value)
{
    FHovered = value;
    if (FFlat)
        Invalidate();
}

void TSpeedButton::CMMouseEnter(TMessage& message)
{
    SetHovered(true);
    TGraphicControl::CMMouseEnter(message);
}

void TSpeedButton::CMMouseLeave(TMessage& message)
{
    SetHovered(false);
    TGraphicControl::CMMouseLeave(message);
}

void TSpeedButton::Paint()
{
    TCanvas& canvas = *GetCanvas();
    RECT rect = GetClientRect();
    FillWith(canvas, clBtnFace, rect);
    const bool pressed = GetPressed();
    if (pressed)
        DrawEdge(canvas.GetHandle(), &rect, FFlat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (!FFlat || (FHovered && GetEnabled()))
        DrawEdge(canvas.GetHandle(), &rect, FFlat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);

    if (FGlyph->GetEmpty())
        return;
    const int cellWidth = FGlyph->GetWidth() / FNumGlyphs;
    const int cellHeight = FGlyph->GetHeight();
    if (cellWidth == 0)
        return;
    // The disabled look is the second cell; a glyph without one shows its normal cell.
    const int cell = (!GetEnabled() && FNumGlyphs > 1) ? 1 : 0;
    TBitmap part;
    part.SetSize(cellWidth, cellHeight);
    part.GetCanvas()->CopyRect(TRect{0, 0, cellWidth, cellHeight}, FGlyph->GetCanvas(),
                               TRect{cell * cellWidth, 0, (cell + 1) * cellWidth, cellHeight});
    // One transparent colour for every cell: the glyph's own.
    part.SetTransparentColor(FGlyph->GetTransparentColor());
    part.SetTransparent(true);
    const int shift = pressed ? 1 : 0;
    canvas.Draw((GetWidth() - cellWidth) / 2 + shift, (GetHeight() - cellHeight) / 2 + shift, &part);
}

// ---------------------------------------------------------------------------------------------------------
// TTimer

namespace {
inline constexpr UINT_PTR TimerId = 1;
}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner), FWindow(AllocateHWnd(TWndMethod(this, &TTimer::WndProc)))
{
    UpdateTimer();
}

TTimer::~TTimer()
{
    KillTimer(FWindow, TimerId);
    DeallocateHWnd(FWindow);
}

void TTimer::SetEnabled(bool value)
{
    if (FEnabled == value)
        return;
    FEnabled = value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned value)
{
    if (FInterval == value)
        return;
    FInterval = value;
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    KillTimer(FWindow, TimerId);
    if (FEnabled && FInterval > 0)
        SetTimer(FWindow, TimerId, FInterval);
}

void TTimer::Timer() { OnTimer(this); }

void TTimer::WndProc(TMessage& message)
{
    if (message.Msg == WM_TIMER && message.WParam == TimerId) {
        Timer();
        return;
    }
    message.Result = DefWindowProc(FWindow, message.Msg, message.WParam, message.LParam);
}

}  // namespace ovrel::toolkit
