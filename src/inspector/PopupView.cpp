#include "inspector/PopupView.h"

#include "inspector/Drawing.h"
#include "inspector/Pickers.h"
#include "inspector/References_p.h"
#include "inspector/Resources.h"
#include "inspector/Themes.h"
#include "inspector/WebColors.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/Dialogs.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <array>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

namespace {

bool Inside(const TRect& rect, int x, int y) { return ui::PtInRect(&rect, TPoint{x, y}) != ui::FALSE; }

// The DC of a whole window, frame included, given back when it goes.
class WindowDC {
public:
    explicit WindowDC(ui::HWND window) : FWindow(window), FDC(ui::GetWindowDC(window)) {}
    ~WindowDC() { ui::ReleaseDC(FWindow, FDC); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    [[nodiscard]] ui::HDC Get() const { return FDC; }

private:
    ui::HWND FWindow;
    ui::HDC FDC;
};

// A control's canvas drawn on outside a paint holds a DC of the window until it is given back.
void GiveBackCanvasDC(TCanvas* canvas)
{
    if (auto* control = dynamic_cast<TControlCanvas*>(canvas))
        control->FreeHandle();
}

PopupView::TSmallButton* MakeButton(TWinControl* parent, const TRect& bounds, const TNotifyEvent& onClick)
{
    auto* button = new PopupView::TSmallButton(parent);
    button->SetParent(parent);
    button->SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
    button->OnClick = onClick;
    return button;
}

}  // namespace

TPoint PopupPosition(TPoint point, TSize size, const TRect& workArea, int editorTop)
{
    TPoint p = point;
    if (workArea.right < p.x + size.cx)
        p.x = workArea.right - (size.cx + 1);
    p.x = std::max<int>(p.x, workArea.left);
    if (p.y + size.cy > workArea.bottom)
        p.y = editorTop - size.cy;
    return p;
}

// ---- TPopupView -------------------------------------------------------------------------------------------

TPopupView::TPopupView(TComponent* owner) : TScrollView(owner)
{
    SetControlStyle(GetControlStyle().Include(csOpaque));  // its background is never erased
    SetBorderWidth(2);
    SetVisible(false);
    // A middle press would start rolling, and its release would end the pop-up's hold on the mouse.
    SetAutoScroll(false);
    // No horizontal bar ever; the vertical one shows once a list gives it a range.
    GetHorzScrollBar()->SetRange(0);
    GetVertScrollBar()->SetRange(0);
}

TPopupView::~TPopupView() = default;

void TPopupView::CreateParams(TCreateParams& params)
{
    TScrollView::CreateParams(params);
    // A child of the desktop, detached once made: a top-level window that never takes the activation.
    params.Style = ui::WS_CHILD | ui::WS_CLIPSIBLINGS;
    params.ExStyle = ui::WS_EX_TOPMOST | ui::WS_EX_TOOLWINDOW;
    params.ClassStyle = ui::CS_SAVEBITS | ui::CS_DBLCLKS;
    params.WndParent = ui::GetDesktopWindow();
}

void TPopupView::CreateWnd()
{
    TScrollView::CreateWnd();
    ui::SetParent(GetHandle(), nullptr);
    GetVertScrollBar()->SetPageStep(10);
}

void TPopupView::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case ui::WM_NCPAINT: WMNCPaint(message); return;
    case ui::WM_ACTIVATEAPP: WMActivateApp(message); return;
    default: TScrollView::Dispatch(message);
    }
}

void TPopupView::DrawBorder()
{
    if (!HandleAllocated())
        return;
    ui::HWND window = GetHandle();
    ui::RECT r;
    ui::GetWindowRect(window, &r);
    ui::OffsetRect(&r, -r.left, -r.top);
    WindowDC dc(window);
    TCanvas canvas;
    canvas.SetHandle(dc.Get());
    canvas.GetBrush()->SetColor(cl3DDkShadow);
    canvas.FrameRect(r);
    ui::InflateRect(&r, -1, -1);
    canvas.GetBrush()->SetColor(clWhite);
    canvas.FrameRect(r);
    canvas.SetHandle(nullptr);
}

void TPopupView::SelectAt(int, int) {}

void TPopupView::Popup(int x, int y)
{
    ui::HWND window = GetHandle();  // made now, so that the size is the window's
    const TPoint at{x, y};
    ui::MONITORINFO monitor;
    ui::GetMonitorInfo(ui::MonitorFromPoint(at, ui::MONITOR_DEFAULTTONEAREST), &monitor);
    // Above the editor that owns the pop-up, when there is no room below it.
    int editorTop = y;
    if (auto* editor = dynamic_cast<TWinControl*>(GetOwner()); editor != nullptr && editor->HandleAllocated()) {
        ui::RECT bounds;
        ui::GetWindowRect(editor->GetHandle(), &bounds);
        editorTop = bounds.top;
    }
    const TPoint p = PopupPosition(at, TSize{GetWidth(), GetHeight()}, monitor.rcWork, editorTop);
    SetBounds(p.x, p.y, GetWidth(), GetHeight());
    Invalidate();  // opened again, it shows what it holds now, not its last picture
    ui::SetWindowPos(window, ui::HWND_TOPMOST, 0, 0, 0, 0,
                     ui::SWP_NOMOVE | ui::SWP_NOSIZE | ui::SWP_SHOWWINDOW | ui::SWP_NOACTIVATE);
    FClosed = false;
    FArmed = false;
    SetVisible(true);
    Capture();
}

void TPopupView::ClosePopup()
{
    FClosed = true;
    ReleaseMouse();
    if (HandleAllocated())
        ui::ShowWindow(GetHandle(), ui::SW_HIDE);
    SetVisible(false);
    DoClose();
}

void TPopupView::DoClose() { OnClose(this); }

void TPopupView::DoSelect(const std::string& value) { OnSelect(this, value); }

void TPopupView::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TScrollView::MouseUp(button, shift, x, y);
    if (!FArmed) {
        // The release of the press that opened the pop-up.
        FArmed = true;
        if (!FClosed && !PointerOver())
            Capture();
        return;
    }
    if (Inside(GetClientRect(), x, y)) {
        SelectAt(x, y);
        return;
    }
    if (!FClosed)
        ClosePopup();
}

bool TPopupView::PointerOver() const
{
    const TControl* control = GetMouseControl();
    return control != nullptr && (control == this || control->GetParent() == this);
}

bool TPopupView::HoldsCapture()
{
    return HandleAllocated() && ui::GetCapture() == GetHandle() && GetCaptureControl() == this;
}

void TPopupView::Capture() { SetCaptureControl(this); }

void TPopupView::ReleaseMouse()
{
    if (HoldsCapture())
        SetCaptureControl(nullptr);
}

void TPopupView::WMNCPaint(TMessage& message)
{
    DefaultHandler(message);
    DrawBorder();
}

void TPopupView::WMActivateApp(TMessage& message)
{
    if (message.WParam == 0 && !FClosed)
        ClosePopup();
    DefaultHandler(message);
}

void TPopupView::WMMouseMove(TMessage& message)
{
    // Holding the mouse, the pop-up hears of no enter when the pointer comes straight onto one of its
    // buttons; let go as soon as the pointer is over it, so that its parts get their input.
    if (!FClosed && PointerOver() && HoldsCapture())
        ReleaseMouse();
    TScrollView::WMMouseMove(message);
}

void TPopupView::WMCaptureChanged(TMessage& message)
{
    TScrollView::WMCaptureChanged(message);
    if (FClosed)
        return;
    const auto taker = reinterpret_cast<ui::HWND>(message.LParam);
    if (taker != nullptr && taker != GetHandle()) {
        ClosePopup();  // another window holds the mouse now; outside clicks would no longer close
        return;
    }
    // Let go (a press and release on the pop-up or a button of it): outside, take the mouse again.
    if (taker == nullptr && ui::GetCapture() == nullptr && !PointerOver())
        Capture();
}

void TPopupView::WMCancelMode(TMessage& message)
{
    if (!FClosed)
        ClosePopup();
    TScrollView::WMCancelMode(message);
}

void TPopupView::CMMouseEnter(TMessage& message)
{
    TScrollView::CMMouseEnter(message);
    if (!FClosed && HoldsCapture())
        ReleaseMouse();
}

void TPopupView::CMMouseLeave(TMessage& message)
{
    TScrollView::CMMouseLeave(message);
    if (!FClosed && ui::GetCapture() == nullptr && !PointerOver())
        Capture();
}

// ---- TPopupList -------------------------------------------------------------------------------------------

TPopupList::TPopupList(TComponent* owner) : TPopupView(owner)
{
    const int border = 2 * GetBorderWidth();
    SetBounds(GetLeft(), GetTop(), 80 + border, 50 + border);
}

TPopupList::~TPopupList() = default;

void TPopupList::SetImages(TCustomImageList* value) { SetReference(this, FImages, value); }

void TPopupList::SetItemHeight(int value) { FItemHeight = std::max(value, 1); }

int TPopupList::GetCount() const { return FItems != nullptr ? FItems->GetCount() : 0; }

int TPopupList::GetMaxTop() const { return GetCount() - GetClientHeight() / FItemHeight; }

int TPopupList::GetVertScrollDelta(int oldPos, int newPos) { return (oldPos - newPos) * FItemHeight; }

int TPopupList::RowAt(int y) const { return y / FItemHeight + GetVertScrollBar()->GetPosition(); }

TRect TPopupList::RowRect(int row) const
{
    const int top = (row - GetVertScrollBar()->GetPosition()) * FItemHeight;
    return TRect{0, top, GetClientWidth(), top + FItemHeight};
}

void TPopupList::Popup(int x, int y)
{
    HandleNeeded();
    SetVertClipRect(GetClientRect());
    TControlScrollBar* bar = GetVertScrollBar();
    bar->SetPosition(0);
    bar->SetRange(std::max(GetMaxTop(), 0));
    SynchronizeSelection();
    TPopupView::Popup(x, y);
}

void TPopupList::SynchronizeSelection()
{
    const int count = GetCount();
    int row = -1;
    if (FItemIndex >= 0 && FItemIndex < count) {
        row = FItemIndex;
    } else if (FItems != nullptr) {
        const std::string text = GetText();
        for (int i = 0; i < count && row < 0; ++i)
            if (FItems->Get(i) == text)  // exactly, case included
                row = i;
    }
    row = std::max(row, 0);
    GetVertScrollBar()->SetPosition(row);
    FHot = row;
    FPreviousHot = row;
}

void TPopupList::SelectAt(int, int y)
{
    const int row = RowAt(y);
    if (FItems == nullptr || row < 0 || row >= GetCount())
        return;  // below the last row there is nothing to pick
    FItemIndex = row;
    DoSelect(FItems->Get(row));
}

void TPopupList::MouseMove(TShiftState shift, int x, int y)
{
    TPopupView::MouseMove(shift, x, y);
    if (!Inside(GetClientRect(), x, y))
        return;
    FPreviousHot = FHot;
    FHot = RowAt(y);
    if (FHot == FPreviousHot || !HandleAllocated())
        return;
    // Only the two rows that change are painted again.
    for (int row : {FPreviousHot, FHot}) {
        const TRect r = RowRect(row);
        ui::InvalidateRect(GetHandle(), &r, ui::FALSE);
    }
}

void TPopupList::Paint()
{
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    const TRect client = GetClientRect();
    SetVertClipRect(client);
    const int count = GetCount();
    int y = 0;
    for (int i = GetVertScrollBar()->GetPosition(); i < count && y < client.bottom; ++i, y += FItemHeight) {
        const TRect row{0, y, client.right, y + FItemHeight};
        const bool hot = i == FHot;
        canvas->GetBrush()->SetColor(hot ? clHighlight : clWindow);
        canvas->GetFont()->SetColor(hot ? clHighlightText : clWindowText);
        canvas->FillRect(row);
        DrawItem(i, row);
    }
    if (y < client.bottom) {
        canvas->GetBrush()->SetColor(clWindow);
        canvas->FillRect(TRect{0, y, client.right, client.bottom});
    }
}

void TPopupList::DrawItem(int index, const TRect& rect)
{
    TCanvas* canvas = GetCanvas();
    TRect text = rect;
    text.left = rect.left + 2;
    if (FShowImages && FImages != nullptr) {
        const int y = rect.top + FItemHeight / 2 - FImages->GetHeight() / 2;
        if (index < FImages->GetCount())
            FImages->Draw(canvas, rect.left + 2, y, index);
        text.left = rect.left + FImages->GetWidth() + 5;
    }
    TGraphicsProvider::DrawText(canvas, text, taLeftJustify, FItems->Get(index), false);
}

void TPopupList::Notification(TComponent* component, TOperation operation)
{
    TPopupView::Notification(component, operation);
    if (operation == opRemove && component == FImages)
        FImages = nullptr;
}

// ---- TFontPopup -------------------------------------------------------------------------------------------

TFontPopup::TFontPopup(TComponent* owner) : TPopupList(owner) {}

void TFontPopup::DrawItem(int index, const TRect& rect)
{
    TCanvas* canvas = GetCanvas();
    const std::string name = GetItems()->Get(index);
    TRect r = rect;
    r.left = 2;
    canvas->GetFont()->SetSize(GetItemHeight() - 8);
    canvas->GetFont()->SetName(name);
    TGraphicsProvider::DrawText(canvas, r, taLeftJustify, name, false);
}

// ---- PopupView::TSmallButton ------------------------------------------------------------------------------

namespace PopupView {

TSmallButton::TSmallButton(TComponent* owner) : TGraphicControl(owner), FGlyph(std::make_unique<TBitmap>()) {}

TSmallButton::~TSmallButton() = default;

void TSmallButton::Paint()
{
    TCanvas* canvas = GetCanvas();
    const TRect client = GetClientRect();
    if (ThemesEnabled()) {
        ui::HWND parent = GetParent() != nullptr ? GetParent()->GetHandle() : nullptr;
        DrawThemedBackground(parent, canvas->GetHandle(), client, FPressed ? 3 : 1, 1, "button");
    } else {
        canvas->GetBrush()->SetColor(clBtnFace);
        canvas->FillRect(client);
        TRect edge = client;
        ui::DrawEdge(canvas->GetHandle(), &edge, FPressed ? ui::EDGE_SUNKEN : ui::EDGE_RAISED, ui::BF_RECT);
    }
    if (!FGlyph->GetEmpty()) {
        const int x = GetWidth() / 2 - FGlyph->GetWidth() / 2;
        const int y = GetHeight() / 2 - FGlyph->GetHeight() / 2;
        // A keyed glyph leaves its key colour out; any other is blended by its alpha.
        if (FGlyph->GetTransparent())
            canvas->Draw(x, y, FGlyph.get());
        else
            TDrawProvider::DrawBitmap(canvas, x, y, FGlyph.get());
    }
    canvas->SetFont(GetFont());
    TGraphicsProvider::DrawText(canvas, client, taCenter, GetCaption(), false);
}

void TSmallButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    FPressed = true;
    Repaint();
}

void TSmallButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    FPressed = false;
    Repaint();
}

void TSmallButton::CMMouseEnter(TMessage& message)
{
    TGraphicControl::CMMouseEnter(message);
    if (GetParent() != nullptr)
        GetParent()->Perform(CM_MOUSEENTER, 0, reinterpret_cast<std::intptr_t>(this));
}

void TSmallButton::CMMouseLeave(TMessage& message)
{
    TGraphicControl::CMMouseLeave(message);
    if (GetParent() != nullptr)
        GetParent()->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<std::intptr_t>(this));
}

}  // namespace PopupView

// ---- TDatePopup -------------------------------------------------------------------------------------------

TDatePopup::TDatePopup(TComponent* owner) : TPopupView(owner)
{
    SetDoubleBuffered(true);
    const TNotifyEvent click(this, &TDatePopup::ButtonClick);
    FTodayButton = MakeButton(this, TRect{18, 131, 18 + 48, 131 + 20}, click);
    FTodayButton->SetCaption("Today");
    FNoneButton = MakeButton(this, TRect{79, 131, 79 + 48, 131 + 20}, click);
    FNoneButton->SetCaption("None");
}

TDatePopup::~TDatePopup() = default;

void TDatePopup::SetDate(TDateTime value)
{
    FSelectedDate = value;
    DecodeDate(value, FYear, FMonth, FDay);
}

void TDatePopup::CreateWnd()
{
    TPopupView::CreateWnd();
    GetVertScrollBar()->SetVisible(false);
}

void TDatePopup::ShownMonth(int& year, int& month) const
{
    // The cells run into the months before and after the one shown: those have to exist as well.
    const int months = std::clamp(FYear, 1, 9999) * 12 + std::clamp(FMonth, 1, 12) - 1;
    const int shown = std::clamp(months, 1 * 12 + 1, 9999 * 12 + 10);
    year = shown / 12;
    month = shown % 12 + 1;
}

void TDatePopup::StepMonth(int delta)
{
    int year = 0;
    int month = 0;
    ShownMonth(year, month);
    month += delta;
    if (month < 1) {
        month = 12;
        --year;
    } else if (month > 12) {
        month = 1;
        ++year;
    }
    FYear = year;
    FMonth = month;
    Invalidate();
}

void TDatePopup::Paint()
{
    TCanvas* canvas = GetCanvas();
    const TRect client = GetClientRect();
    const int cw = client.right;
    const bool themed = ThemesEnabled();
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(client);
    canvas->SetFont(GetFont());
    canvas->GetFont()->SetColor(clWindowText);

    static constexpr std::array<const char*, 7> weekdays = {"S", "M", "T", "W", "T", "F", "S"};
    for (int k = 0; k < CalendarColumns; ++k)
        TGraphicsProvider::DrawText(canvas, TRect{14 + 17 * k, 20, 29 + 17 * k, 34}, taRightJustify,
                                    weekdays[static_cast<std::size_t>(k)], false);
    canvas->GetPen()->SetColor(clGrayText);
    for (int y : {34, 126}) {
        canvas->MoveTo(14, y);
        canvas->LineTo(cw - 15, y);
    }

    canvas->GetBrush()->SetColor(themed ? TGraphicsProvider::BlendColors(clGradientInactiveCaption, clWindow, 249)
                                        : clBtnFace);
    canvas->FillRect(TRect{2, 2, cw - 2, 18});
    int year = 0;
    int month = 0;
    ShownMonth(year, month);
    TGraphicsProvider::DrawText(canvas, TRect{0, 0, cw, 19}, taCenter,
                                CalendarMonthName(FMonthNames, month) + " " + IntToStr(year), false);

    canvas->GetBrush()->SetColor(clWindowText);
    canvas->GetPen()->SetColor(clWindowText);
    const std::array<TPoint, 3> previous = {TPoint{12, 5}, TPoint{12, 13}, TPoint{8, 9}};
    const std::array<TPoint, 3> next = {TPoint{cw - 13, 5}, TPoint{cw - 13, 13}, TPoint{cw - 9, 9}};
    canvas->Polygon(previous);
    canvas->Polygon(next);

    const TDateTime today = DateOf(Date());
    const TDateTime selected = DateOf(FSelectedDate);
    FHighlightRect = TRect{};
    for (int w = 0; w < CalendarRows; ++w)
        for (int k = 0; k < CalendarColumns; ++k) {
            const TDateTime date = CalendarCellDate(year, month, k, w);
            const TRect cell = CalendarCellRect(k, w);
            if (date == selected) {
                canvas->GetBrush()->SetColor(themed ? static_cast<TColor>(ui::RGB(251, 230, 148)) : clSilver);
                canvas->FillRect(cell);
                FHighlightRect = cell;
            }
            if (date == today) {
                canvas->GetBrush()->SetColor(themed ? static_cast<TColor>(ui::RGB(128, 0, 0)) : clHighlight);
                canvas->FrameRect(cell);
            }
            int cellYear = 0;
            int cellMonth = 0;
            int cellDay = 0;
            DecodeDate(date, cellYear, cellMonth, cellDay);
            canvas->GetFont()->SetColor(cellMonth == month ? clWindowText : clGrayText);
            TGraphicsProvider::DrawText(canvas, TRect{cell.left, cell.top, cell.left + 15, cell.top + 15},
                                        taRightJustify, IntToStr(cellDay), false);
        }
}

bool TDatePopup::CellDateAt(int x, int y, TDateTime& date, TRect& cell) const
{
    int column = 0;
    int row = 0;
    if (!CalendarCellAt(x, y, GetClientWidth(), GetClientHeight(), column, row))
        return false;
    int year = 0;
    int month = 0;
    ShownMonth(year, month);
    date = CalendarCellDate(year, month, column, row);
    cell = CalendarCellRect(column, row);
    return true;
}

TRect TDatePopup::GridArea() const { return TRect{14, 38, GetClientWidth() - 14, GetClientHeight() - 20}; }

void TDatePopup::HighlightPoint(int x, int y)
{
    TDateTime date = 0;
    TRect cell;
    if (!CellDateAt(x, y, date, cell) || date == DateOf(FSelectedDate))
        return;
    FSelectedDate = date;
    if (!HandleAllocated())
        return;
    ui::InvalidateRect(GetHandle(), &FHighlightRect, ui::FALSE);
    ui::InvalidateRect(GetHandle(), &cell, ui::FALSE);
}

void TDatePopup::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TPopupView::MouseDown(button, shift, x, y);
    const int cw = GetClientWidth();
    if (Inside(TRect{0, 0, 18, 18}, x, y)) {
        StepMonth(-1);
    } else if (Inside(TRect{cw - 18, 0, cw, 18}, x, y)) {
        StepMonth(1);
    } else if (Inside(GridArea(), x, y)) {
        FTracking = true;
        HighlightPoint(x, y);
    }
}

void TDatePopup::MouseMove(TShiftState shift, int x, int y)
{
    TPopupView::MouseMove(shift, x, y);
    if (FTracking && Inside(GridArea(), x, y))
        HighlightPoint(x, y);
}

void TDatePopup::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    FTracking = false;
    // The arrows are in the title band: a click on them only turns the month.
    if (Inside(TRect{0, 0, GetClientWidth(), 19}, x, y)) {
        TScrollView::MouseUp(button, shift, x, y);
        return;
    }
    TPopupView::MouseUp(button, shift, x, y);
}

void TDatePopup::SelectAt(int x, int y)
{
    TDateTime date = 0;
    TRect cell;
    if (CellDateAt(x, y, date, cell))
        DoSelect(DateTimeToStr(date));
}

void TDatePopup::ButtonClick(TObject* sender)
{
    if (sender == FTodayButton)
        DoSelect(DateTimeToStr(Date()));
    else if (sender == FNoneButton)
        DoSelect(std::string());
}

// ---- TColorPopup ------------------------------------------------------------------------------------------

TColorPopup::TColorPopup(TComponent* owner) : TPopupView(owner)
{
    SetBorderWidth(1);
    const TNotifyEvent click(this, &TColorPopup::ButtonClicked);
    FMoreButton = MakeButton(this, TRect{160, 4, 180, 24}, click);
    LoadResourceBitmap(FMoreButton->GetGlyph(), "MORECOLORSBUTTON");
    FMoreButton->GetGlyph()->SetTransparentColor(clLime);
    FMoreButton->GetGlyph()->SetTransparent(true);
    FNoneButton = MakeButton(this, TRect{180, 4, 200, 24}, click);
    LoadResourceBitmap(FNoneButton->GetGlyph(), "NONECOLOR");
}

TColorPopup::~TColorPopup() { FLife.Expire(); }

void TColorPopup::CreateWnd()
{
    TPopupView::CreateWnd();
    GetVertScrollBar()->SetVisible(false);
}

std::string TColorPopup::ColorText(TColor value) const
{
    return FWebColorFormat ? ColorToWebColor(value) : ColorToString(value);
}

void TColorPopup::Paint()
{
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetColor(clBtnFace);
    canvas->FillRect(GetClientRect());
    canvas->GetPen()->SetColor(clBlack);
    TRect selected;
    bool matched = false;
    for (int row = 0; row < PaletteRows; ++row)
        for (int column = 0; column < PaletteColumns; ++column) {
            const TColor color = PaletteColor(column, row);
            const TRect cell = PaletteCellRect(column, row);
            canvas->GetBrush()->SetColor(color);
            canvas->Rectangle(cell);
            if (color == FSelectedColor) {  // the last match in this order is framed
                selected = cell;
                matched = true;
            }
        }
    if (FSelectedColor != clNone && matched) {
        canvas->GetBrush()->SetColor(clWhite);
        canvas->FrameRect(selected);
    }
    ShowColorInfo(FSelectedColor);
}

void TColorPopup::ShowColorInfo(TColor color)
{
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    canvas->GetBrush()->SetColor(clBtnFace);
    canvas->TextRect(TRect{45, 8, 105, 25}, 45, 8, ColorText(color));
    canvas->GetPen()->SetColor(clBlack);
    const TRect box{4, 4, 39, 24};
    if (color != clNone) {
        canvas->GetBrush()->SetColor(color);
        canvas->Rectangle(box);
        return;
    }
    canvas->GetBrush()->SetColor(clWhite);
    canvas->Rectangle(box);
    TRect cross = box;
    ui::InflateRect(&cross, -1, -1);
    canvas->GetPen()->SetColor(clRed);
    canvas->MoveTo(cross.left, cross.top);
    canvas->LineTo(cross.right, cross.bottom);
    canvas->MoveTo(cross.left, cross.bottom - 1);
    canvas->LineTo(cross.right, cross.top - 1);
}

void TColorPopup::MouseMove(TShiftState shift, int x, int y)
{
    TPopupView::MouseMove(shift, x, y);
    if (!HandleAllocated())
        return;
    int column = 0;
    int row = 0;
    ShowColorInfo(PaletteCellAt(x, y, column, row) ? PaletteColor(column, row) : FSelectedColor);
    GiveBackCanvasDC(GetCanvas());
}

void TColorPopup::SelectAt(int x, int y)
{
    int column = 0;
    int row = 0;
    DoSelect(PaletteCellAt(x, y, column, row) ? ColorText(PaletteColor(column, row)) : std::string());
}

void TColorPopup::MoreColors()
{
    // The dialog is made for this one run, not left with the pop-up: a click each time would pile them up.
    auto dialog = std::make_unique<TColorDialog>(nullptr);
    ClosePopup();
    const TLifeToken::TObserver alive = FLife.Observe();
    const bool chosen = dialog->Execute();
    if (alive.Expired())
        return;  // the editor went while the dialog ran
    if (chosen)
        DoSelect(ColorText(dialog->Color));
}

void TColorPopup::NoColor() { DoSelect(std::string()); }

void TColorPopup::ButtonClicked(TObject* sender)
{
    if (sender == FMoreButton)
        MoreColors();
    else if (sender == FNoneButton)
        NoColor();
}

}  // namespace ovrel::inspector
