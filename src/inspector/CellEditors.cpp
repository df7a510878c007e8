#include "inspector/CellEditors.h"

#include "inspector/Pickers.h"
#include "inspector/References_p.h"
#include "inspector/Resources.h"
#include "inspector/Themes.h"
#include "inspector/WebColors.h"

#include "platform/ui/EditControl.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <algorithm>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

namespace {

// A window DC for drawing outside a paint, given back when done.
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

// The editor's canvas holds a DC of its window while drawn on; it goes back after each drawing.
class CanvasUse {
public:
    explicit CanvasUse(TCanvas* canvas) : FCanvas(canvas) {}
    ~CanvasUse()
    {
        if (auto* control = dynamic_cast<TControlCanvas*>(FCanvas))
            control->FreeHandle();
    }
    CanvasUse(const CanvasUse&) = delete;
    CanvasUse& operator=(const CanvasUse&) = delete;

private:
    TCanvas* FCanvas;
};

// The text the window can show: one line, its breaks as blanks.
std::string OneLine(const std::string& text)
{
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        line += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
    }
    return line;
}

}  // namespace

// ---- TCellEditor ------------------------------------------------------------------------------------------

TCellEditor::TCellEditor(TComponent* owner) : TWinControl(owner), FCanvas(std::make_unique<TControlCanvas>())
{
    // Measuring needs no window: without one the canvas draws on the screen stand-in.
    FCanvas->SetControl(
        this,
        [this]() {
            FCanvasWindow = HandleAllocated() ? GetHandle() : nullptr;
            return ui::GetDC(FCanvasWindow);
        },
        [this](ui::HDC dc) { ui::ReleaseDC(FCanvasWindow, dc); });
    SetColor(clWindow);
    SetParentColor(false);
    SetBounds(GetLeft(), GetTop(), 121, 20);
    SetTabStop(true);
    RegisterEditorCursor();
}

TCellEditor::~TCellEditor() { FCanvas->FreeHandle(); }

void TCellEditor::RemakeWindow()
{
    if (HandleAllocated())
        RecreateWnd();
}

void TCellEditor::SetAlignment(TAlignment value)
{
    FAlignment = value;
    RemakeWindow();
}

void TCellEditor::SetBorderStyle(TBorderStyle value)
{
    const bool changed = value != FBorderStyle;
    FBorderStyle = value;
    Invalidate();
    if (!HandleAllocated())
        return;
    if (changed)  // the frame's width follows the style: the client area is computed again
        ui::SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                         ui::SWP_NOMOVE | ui::SWP_NOSIZE | ui::SWP_NOZORDER | ui::SWP_NOACTIVATE |
                             ui::SWP_FRAMECHANGED);
    PaintBorder();
}

int TCellEditor::GetEditorBorderWidth() const
{
    if (FBorderStyle != TBorderStyle::bsSingle)
        return 0;
    return ThemesEnabled() ? 1 : 2;
}

void TCellEditor::PaintBorder()
{
    if (!HandleAllocated() || GetEditorBorderWidth() == 0)
        return;
    ui::HWND window = GetHandle();
    const TRect r{0, 0, GetWidth(), GetHeight()};
    WindowDC dc(window);
    if (ThemesEnabled()) {
        const int saved = ui::SaveDC(dc.Get());
        ui::ExcludeClipRect(dc.Get(), r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
        DrawThemedBackground(window, dc.Get(), r, 1, 1, "edit");
        ui::RestoreDC(dc.Get(), saved);
    } else {
        TRect edge = r;
        ui::DrawEdge(dc.Get(), &edge, ui::EDGE_SUNKEN, ui::BF_RECT);
    }
}

void TCellEditor::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case ui::WM_NCPAINT:
        TWinControl::Dispatch(message);
        PaintBorder();
        message.Result = 0;
        return;
    case ui::WM_KILLFOCUS:
        TWinControl::Dispatch(message);
        Invalidate();
        return;
    case ui::WM_GETDLGCODE: message.Result = ui::DLGC_WANTARROWS | ui::DLGC_WANTCHARS; return;
    default: TWinControl::Dispatch(message);
    }
}

void TCellEditor::WMNCCalcSize(TMessage& message)
{
    TWinControl::WMNCCalcSize(message);
    const int border = GetEditorBorderWidth();
    if (message.WParam == 0 || border == 0)
        return;
    ui::RECT& r = reinterpret_cast<ui::NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0];
    r.left += border;
    r.top += border;
    r.right = std::max(r.left, r.right - border);
    r.bottom = std::max(r.top, r.bottom - border);
}

void TCellEditor::WMEraseBkgnd(TMessage& message)
{
    if (NativePaint()) {
        DefaultHandler(message);
        message.Result = 0;
    } else {
        message.Result = 1;
    }
}

void TCellEditor::WMPaint(TMessage& message)
{
    TWinControl::WMPaint(message);
    CanvasUse use(GetCanvas());
    PaintOver();
}

void TCellEditor::PaintOver()
{
    if (!NativePaint())
        PaintValue();
}

void TCellEditor::WMSetFocus(TMessage& message)
{
    TWinControl::WMSetFocus(message);
    Invalidate();
}

void TCellEditor::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TWinControl::MouseDown(button, shift, x, y);
    if (CanFocus() && !Focused())
        SetFocus();
}

void TCellEditor::SetMargin(int value)
{
    FMargin = value;
    RemakeWindow();
}

void TCellEditor::SetVerticalAlignment(TVerticalAlignment value)
{
    FVerticalAlignment = value;
    RemakeWindow();
}

bool TCellEditor::NativePaint() const { return true; }
void TCellEditor::PaintValue() {}
bool TCellEditor::GetAsBoolean() const { return StrToBool(GetText()); }
TDateTime TCellEditor::GetDate() const { return StrToDateTime(GetText()); }
double TCellEditor::GetAsFloat() const { return StrToFloat(GetText()); }
int TCellEditor::GetAsInteger() const { return StrToInt(GetText()); }
std::string TCellEditor::GetAsString() const { return GetText(); }
void TCellEditor::SetAsBoolean(bool value) { SetText(BoolToStr(value, true)); }
void TCellEditor::SetDate(TDateTime value) { SetText(DateTimeToStr(value)); }
void TCellEditor::SetAsFloat(double value) { SetText(FloatToStr(value)); }
void TCellEditor::SetAsInteger(int value) { SetText(IntToStr(value)); }
void TCellEditor::SetAsString(const std::string& value) { SetText(value); }
void TCellEditor::MoveCaretToEnd() {}
void TCellEditor::Clear() {}
void TCellEditor::SelectAll() {}
void TCellEditor::Change() { OnChange(this); }

// ---- TTextualEditor ---------------------------------------------------------------------------------------

TRect EditRectFor(int clientWidth, int clientHeight, int margin, TVerticalAlignment verticalAlignment, int textHeight,
                  bool showPreview)
{
    TRect r{margin + 2, 0, clientWidth - margin - 1, clientHeight + 1};
    switch (verticalAlignment) {
    case vaTop:
        r.top = margin;
        r.bottom = r.top + textHeight;
        break;
    case vaMiddle:
        r.top = (clientHeight - 1) / 2 - textHeight / 2;
        r.bottom = r.top + textHeight;
        break;
    case vaBottom:
        r.bottom = clientHeight - margin;
        r.top = r.bottom - textHeight;
        break;
    }
    if (showPreview)
        r.left += 27;
    return r;
}

TTextualEditor::TTextualEditor(TComponent* owner) : TCellEditor(owner) {}

TTextualEditor::~TTextualEditor() = default;

void TTextualEditor::CreateParams(TCreateParams& params)
{
    TCellEditor::CreateParams(params);
    params.WinClassName = std::string(ui::EDIT_CLASS);
    params.Style |= ui::ES_MULTILINE | ui::ES_AUTOHSCROLL | ui::ES_AUTOVSCROLL | ui::WS_CLIPCHILDREN;
    switch (GetAlignment()) {
    case taLeftJustify: params.Style |= ui::ES_LEFT; break;
    case taRightJustify: params.Style |= ui::ES_RIGHT; break;
    case taCenter: params.Style |= ui::ES_CENTER; break;
    }
    if (FPasswordChar != 0)
        params.Style |= ui::ES_PASSWORD;
    if (FReadOnly)  // set before the window existed: the window must start read-only
        params.Style |= ui::ES_READONLY;
}

void TTextualEditor::CreateWnd()
{
    FCreating = true;
    try {
        TCellEditor::CreateWnd();
    } catch (...) {
        FCreating = false;
        throw;
    }
    FCreating = false;
    if (FPasswordChar != 0)
        Perform(ui::EM_SETPASSWORDCHAR, FPasswordChar, 0);
    UpdateEditRect();
}

void TTextualEditor::SetPasswordChar(char16_t value)
{
    if (value == FPasswordChar)
        return;
    FPasswordChar = value;
    if (HandleAllocated())
        Perform(ui::EM_SETPASSWORDCHAR, value, 0);
}

void TTextualEditor::SetReadOnly(bool value)
{
    if (value == FReadOnly)
        return;
    FReadOnly = value;
    if (HandleAllocated())
        Perform(ui::EM_SETREADONLY, value ? 1 : 0, 0);
}

void TTextualEditor::SetShowPreview(bool value)
{
    FShowPreview = value;
    UpdateEditRect();
    Invalidate();
}

void TTextualEditor::GetEditRect(TRect& rect)
{
    rect = EditRectFor(GetClientWidth(), GetClientHeight(), GetMargin(), GetVerticalAlignment(), GetTextHeight(),
                       FShowPreview);
}

void TTextualEditor::DrawPreview(const TRect& rect) { CustomPreviewDraw(rect); }

void TTextualEditor::CustomPreviewDraw(const TRect& rect) { OnCustomPreviewDraw(this, rect); }

void TTextualEditor::UpdateEditRect()
{
    if (!HandleAllocated())
        return;
    TRect r;
    GetEditRect(r);
    Perform(ui::EM_SETRECTNP, 0, reinterpret_cast<std::intptr_t>(&r));
}

void TTextualEditor::Selection(int& start, int& end) const
{
    start = end = 0;
    if (!HandleAllocated())
        return;
    ui::DWORD s = 0;
    ui::DWORD e = 0;
    const_cast<TTextualEditor*>(this)->Perform(ui::EM_GETSEL, reinterpret_cast<std::uintptr_t>(&s),
                                               reinterpret_cast<std::intptr_t>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}

int TTextualEditor::GetSelStart() const
{
    int start = 0;
    int end = 0;
    Selection(start, end);
    return start;
}

int TTextualEditor::GetSelLength() const
{
    int start = 0;
    int end = 0;
    Selection(start, end);
    return end - start;
}

void TTextualEditor::SetSelStart(int pos)
{
    if (HandleAllocated())
        Perform(ui::EM_SETSEL, static_cast<std::uintptr_t>(pos), pos);
}

std::string TTextualEditor::GetSelText() const
{
    int start = 0;
    int end = 0;
    Selection(start, end);
    if (end <= start)
        return std::string();
    // Positions count UTF-16 units, as the window does.
    const std::u16string text = Utf8ToUtf16(GetText());
    if (static_cast<std::size_t>(start) >= text.size())
        return std::string();
    return Utf16ToUtf8(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

int TTextualEditor::GetTextHeight() const
{
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    ui::TEXTMETRIC metrics;
    ui::GetTextMetrics(canvas->GetHandle(), &metrics);
    return metrics.tmHeight;
}

void TTextualEditor::SetAsString(const std::string& value) { SetText(value); }

void TTextualEditor::SelectAll()
{
    if (HandleAllocated())
        Perform(ui::EM_SETSEL, 0, -1);
}

void TTextualEditor::MoveCaretToEnd()
{
    TCellEditor::MoveCaretToEnd();
    SetSelStart(static_cast<int>(Utf8ToUtf16(GetText()).size()));
}

void TTextualEditor::Clear() { SetText(std::string()); }

void TTextualEditor::PaintValue() { TCellEditor::PaintValue(); }

void TTextualEditor::Dispatch(TMessage& message) { TCellEditor::Dispatch(message); }

void TTextualEditor::CNCommand(TMessage& message)
{
    TCellEditor::CNCommand(message);
    if (ui::HIWORD(static_cast<ui::DWORD>(message.WParam)) == ui::EN_CHANGE && !FCreating) {
        FProgramText.clear();  // the user's line is the text now
        Change();
    }
}

void TTextualEditor::CMTextChanged(TMessage& message)
{
    TCellEditor::CMTextChanged(message);
    if (!GetChangeLock()) {
        Change();
        Invalidate();
    }
}

void TTextualEditor::CMFontChanged(TMessage& message)
{
    TCellEditor::CMFontChanged(message);
    UpdateEditRect();
}

void TTextualEditor::WMSize(TMessage& message)
{
    TCellEditor::WMSize(message);
    UpdateEditRect();
}

void TTextualEditor::WMLButtonDown(TMessage& message)
{
    TCellEditor::WMLButtonDown(message);
    if (InSelectStrip(ui::GET_X_LPARAM(message.LParam)))
        SelectAll();
}

void TTextualEditor::MouseMove(TShiftState shift, int x, int y)
{
    TCellEditor::MouseMove(shift, x, y);
    SetCursor(InSelectStrip(x) ? crReversedArrow : crDefault);
}

void TTextualEditor::DoEnter()
{
    TCellEditor::DoEnter();
    if (FAutoSelect)
        SelectAll();
}

void TTextualEditor::KeyPress(char32_t& key)
{
    TCellEditor::KeyPress(key);
    if (key == U'\r')
        key = 0;
}

void TTextualEditor::PaintOver()
{
    TCellEditor::PaintOver();
    if (!FShowPreview)
        return;
    TCanvas* canvas = GetCanvas();
    const TRect client = GetClientRect();
    TRect box{client.left + 1, client.top + 1, client.left + 21, client.bottom - 1};
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(clBlack);
    canvas->FrameRect(box);
    ui::InflateRect(&box, -1, -1);
    DrawPreview(box);
}

std::string TTextualEditor::GetTextValue() const
{
    std::string shown = TCellEditor::GetTextValue();
    // The window keeps one line; while it still shows the program's text, that text is the value.
    if (!FProgramText.empty() && HandleAllocated() && shown == OneLine(FProgramText))
        return FProgramText;
    return shown;
}

void TTextualEditor::SetTextValue(const std::string& value)
{
    const bool breaks = value.find_first_of("\r\n") != std::string::npos;
    FProgramText = breaks ? value : std::string();
    TCellEditor::SetTextValue(HandleAllocated() && breaks ? OneLine(value) : value);
}

// ---- Buttons ----------------------------------------------------------------------------------------------

namespace CellEditors {

TSmallButton::TSmallButton(TComponent* owner) : TCustomControl(owner)
{
    SetControlStyle(GetControlStyle().Include(csOpaque));  // its background is never erased
}

TSmallButton::~TSmallButton() = default;

void TSmallButton::SetPressed(bool value)
{
    if (value == FPressed)
        return;
    FPressed = value;
    Invalidate();
}

void TSmallButton::SetHot(bool value)
{
    if (value == FHot)
        return;
    FHot = value;
    Invalidate();
}

void TSmallButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (FEditor != nullptr && FEditor->GetVisible() && FEditor->CanFocus() && !FEditor->Focused())
        FEditor->SetFocus();
    FPressed = true;
    Invalidate();
    OnPress(this);
}

void TSmallButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    if (!FPressed)
        return;
    FPressed = false;
    Invalidate();
    OnRelease(this);
}

void TSmallButton::CMMouseEnter(TMessage& message)
{
    TCustomControl::CMMouseEnter(message);
    if (!GetComponentState().Contains(csDesigning))
        SetHot(true);
}

void TSmallButton::CMMouseLeave(TMessage& message)
{
    TCustomControl::CMMouseLeave(message);
    SetHot(false);
}

}  // namespace CellEditors

TExecuteButton::TExecuteButton(TComponent* owner) : TSmallButton(owner) { SetWidth(21); }

void TExecuteButton::Paint()
{
    TCanvas* canvas = GetCanvas();
    TRect client = GetClientRect();
    if (ThemesEnabled()) {
        canvas->GetBrush()->SetColor(GetColor());
        canvas->FillRect(client);
        TRect grown = client;
        ui::InflateRect(&grown, 1, 1);
        DrawThemedBackground(GetHandle(), canvas->GetHandle(), grown, ThemeState(), 1, "button");
    } else if (GetPressed()) {
        canvas->GetBrush()->SetColor(clBtnFace);
        canvas->GetPen()->SetColor(clBtnShadow);
        canvas->Rectangle(client);
    } else {
        ui::DrawFrameControl(canvas->GetHandle(), &client, ui::DFC_BUTTON, ui::DFCS_BUTTONPUSH | ui::DFCS_ADJUSTRECT);
    }
    if (FGlyph != nullptr && !FGlyph->GetEmpty()) {
        const int x = GetWidth() / 2 - FGlyph->GetWidth() / 2;
        const int y = GetHeight() / 2 - FGlyph->GetHeight() / 2;
        if (FGlyph->GetTransparent())
            canvas->Draw(x, y, FGlyph);
        else
            TDrawProvider::DrawBitmap(canvas, x, y, FGlyph);
    }
}

TDropDownButton::TDropDownButton(TComponent* owner) : TSmallButton(owner) { SetWidth(16); }

void TDropDownButton::Paint()
{
    TCanvas* canvas = GetCanvas();
    TRect client = GetClientRect();
    if (ThemesEnabled()) {
        DrawThemedBackground(GetHandle(), canvas->GetHandle(), client, ThemeState(), 1, "combobox");
        return;
    }
    ui::DrawFrameControl(canvas->GetHandle(), &client, ui::DFC_SCROLL,
                         ui::DFCS_SCROLLCOMBOBOX | ui::DFCS_ADJUSTRECT | (GetPressed() ? ui::DFCS_PUSHED : 0));
}

// ---- TCustomButtonCellEditor ------------------------------------------------------------------------------

TCustomButtonCellEditor::TCustomButtonCellEditor(TComponent* owner) : TTextualEditor(owner) {}

TCustomButtonCellEditor::~TCustomButtonCellEditor() = default;

CellEditors::TSmallButton* TCustomButtonCellEditor::GetButton()
{
    if (FButton == nullptr) {
        FButton = static_cast<CellEditors::TSmallButton*>(GetButtonClass().Create(this));
        FButton->SetEditor(this);
        FButton->SetVisible(false);  // until the editor's size places it
        FButton->SetParent(this);
        FButton->OnPress = TNotifyEvent(this, &TCustomButtonCellEditor::ButtonPressed);
        FButton->OnRelease = TNotifyEvent(this, &TCustomButtonCellEditor::ButtonReleased);
    }
    return FButton;
}

TPopupView* TCustomButtonCellEditor::GetPopup()
{
    if (FPopup == nullptr) {
        FPopup = GetPopupClass().Create(this);
        FPopup->OnClose = TNotifyEvent(this, &TCustomButtonCellEditor::PopupClosed);
        FPopup->OnSelect = TSelectEvent(this, &TCustomButtonCellEditor::PopupSelected);
    }
    return FPopup;
}

TSmallButtonClass TCustomButtonCellEditor::GetButtonClass() const { return TSmallButtonClass::Of<TExecuteButton>(); }

TPopupViewClass TCustomButtonCellEditor::GetPopupClass() const { return TPopupViewClass::Of<TPopupView>(); }

void TCustomButtonCellEditor::PreparePopup(TPoint&) {}

void TCustomButtonCellEditor::PopupSelected(TObject*, const std::string& value)
{
    GetPopup()->ClosePopup();
    SetText(value);
    GetButton()->SetHot(false);
    GetButton()->SetPressed(false);
}

void TCustomButtonCellEditor::GetEditRect(TRect& rect)
{
    TTextualEditor::GetEditRect(rect);
    rect.right -= GetButton()->GetWidth();
}

void TCustomButtonCellEditor::MoveCaretToEnd()
{
    TTextualEditor::MoveCaretToEnd();
    GetButton()->Invalidate();
}

void TCustomButtonCellEditor::CreateWnd()
{
    (void)GetButton();
    TTextualEditor::CreateWnd();
    UpdateEditRect();
}

void TCustomButtonCellEditor::PlaceButton()
{
    CellEditors::TSmallButton* button = GetButton();
    const int width = button->GetWidth();
    button->SetBounds(GetClientWidth() - width, 0, width, GetClientHeight());
    button->Show();
    button->Invalidate();
}

void TCustomButtonCellEditor::WMSize(TMessage& message)
{
    TTextualEditor::WMSize(message);
    Invalidate();
    PlaceButton();
}

void TCustomButtonCellEditor::WMWindowPosChanged(TMessage& message)
{
    TTextualEditor::WMWindowPosChanged(message);
    Invalidate();
    // A new frame (a border style) changes the client without a size message.
    if (HandleAllocated())
        PlaceButton();
}

void TCustomButtonCellEditor::CMMouseEnter(TMessage& message)
{
    TTextualEditor::CMMouseEnter(message);
    if (FButton != nullptr)
        FButton->SetHot(true);
}

void TCustomButtonCellEditor::CMMouseLeave(TMessage& message)
{
    TTextualEditor::CMMouseLeave(message);
    if (FButton != nullptr)
        FButton->SetHot(false);
}

void TCustomButtonCellEditor::ButtonClick() { OnButtonClick(this); }

void TCustomButtonCellEditor::ButtonPress() {}

void TCustomButtonCellEditor::ButtonPressed(TObject*) { ButtonPress(); }

void TCustomButtonCellEditor::ButtonReleased(TObject*) { ButtonClick(); }

void TCustomButtonCellEditor::PopupClosed(TObject*)
{
    if (FButton != nullptr)
        FButton->SetPressed(false);
}

// ---- TPopupEditor -----------------------------------------------------------------------------------------

TPopupEditor::TPopupEditor(TComponent* owner) : TCustomButtonCellEditor(owner) {}

TPopupEditor::~TPopupEditor() = default;

void TPopupEditor::SetStyle(TDropDownStyle value)
{
    FStyle = value;
    const bool list = value == dsDropDownList;
    SetReadOnly(list);
    SetCursor(list ? crArrow : crDefault);
    UpdateEditRect();
}

TSmallButtonClass TPopupEditor::GetButtonClass() const { return TSmallButtonClass::Of<TDropDownButton>(); }

bool TPopupEditor::NativePaint() const { return FStyle != dsDropDownList; }

void TPopupEditor::GetEditRect(TRect& rect)
{
    if (FStyle == dsDropDownList) {
        rect = TRect{};
        return;
    }
    TCustomButtonCellEditor::GetEditRect(rect);
}

void TPopupEditor::SelectAll()
{
    if (FStyle == dsDropDown)
        TCustomButtonCellEditor::SelectAll();
}

void TPopupEditor::PopupSelected(TObject* sender, const std::string& value)
{
    PopupClose();
    TCustomButtonCellEditor::PopupSelected(sender, value);
}

void TPopupEditor::PopupClose() { OnPopupClose(this); }

void TPopupEditor::ButtonPress() { DropDown(); }

void TPopupEditor::DropDown()
{
    TPoint p = ClientToScreen(TPoint{-1, GetClientHeight()});
    TPopupView* popup = GetPopup();
    popup->SetFont(GetFont());
    popup->SetWidth(GetWidth());
    popup->SetText(GetText());
    PreparePopup(p);
    popup->Popup(p.x, p.y);
}

void TPopupEditor::PaintValue()
{
    TCustomButtonCellEditor::PaintValue();
    if (FStyle != dsDropDownList)
        return;
    TCanvas* canvas = GetCanvas();
    TRect r{0, 0, GetClientWidth() - GetButton()->GetWidth(), GetClientHeight()};
    canvas->SetFont(GetFont());
    canvas->GetPen()->SetColor(GetEmbedded() ? clHighlight : GetColor());
    canvas->GetBrush()->SetStyle(bsSolid);
    if (Focused()) {
        canvas->GetBrush()->SetColor(clHighlight);
        canvas->GetFont()->SetColor(clHighlightText);
        canvas->Rectangle(r);
        if (!FHideFocus && !GetEmbedded()) {
            TRect focus = r;
            ui::InflateRect(&focus, -1, -1);
            TGraphicsProvider::DrawFocusRect(canvas, focus, false);
        }
    } else {
        canvas->GetBrush()->SetColor(GetColor());
        canvas->FillRect(r);
    }
    TRect text = r;
    ui::InflateRect(&text, -GetMargin(), -GetMargin());
    text.left += GetShowPreview() ? 29 : 2;
    TGraphicsProvider::DrawTextEx(canvas, text, GetAlignment(), GetVerticalAlignment(), false, GetText());
}

void TPopupEditor::MouseMove(TShiftState shift, int x, int y)
{
    TCustomButtonCellEditor::MouseMove(shift, x, y);
    SetCursor(FStyle == dsDropDownList ? crArrow : crDefault);
}

void TPopupEditor::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomButtonCellEditor::MouseDown(button, shift, x, y);
    if (FStyle != dsDropDownList)
        return;
    DropDown();
    GetButton()->SetPressed(true);
}

void TPopupEditor::KeyPress(char32_t& key)
{
    TCustomButtonCellEditor::KeyPress(key);
    if (key == 27)
        GetPopup()->ClosePopup();
}

void TPopupEditor::CMVisibleChanged(TMessage& message)
{
    TCustomButtonCellEditor::CMVisibleChanged(message);
    if (HasPopup() && !GetPopup()->GetClosed())
        GetPopup()->ClosePopup();
}

// ---- TComboBoxEditor --------------------------------------------------------------------------------------

TComboBoxEditor::TComboBoxEditor(TComponent* owner) : TPopupEditor(owner), FItems(std::make_unique<TStringList>()) {}

TComboBoxEditor::~TComboBoxEditor() = default;

void TComboBoxEditor::SetItems(const TStrings& value) { FItems->Assign(value); }

void TComboBoxEditor::SetItemIndex(int value)
{
    FItemIndex = value;
    if (value >= 0 && value < FItems->GetCount())
        SetText(FItems->Get(value));
}

void TComboBoxEditor::SetImages(TCustomImageList* value) { SetReference(this, FImages, value); }

TPopupViewClass TComboBoxEditor::GetPopupClass() const { return TPopupViewClass::Of<TPopupList>(); }

void TComboBoxEditor::SetStyle(TDropDownStyle value)
{
    TPopupEditor::SetStyle(value);
    if (value == dsDropDownList)
        SetItemIndex(FItemIndex);
}

void TComboBoxEditor::Notification(TComponent* component, TOperation operation)
{
    TPopupEditor::Notification(component, operation);
    if (operation == opRemove && component == FImages)
        FImages = nullptr;
}

void TComboBoxEditor::PreparePopup(TPoint& point)
{
    TPopupEditor::PreparePopup(point);
    auto* list = static_cast<TPopupList*>(GetPopup());
    list->SetItems(FItems.get());
    list->SetImages(FImages);
    list->SetShowImages(FImages != nullptr);
    list->SetItemHeight(FItemHeight);
    list->SetItemIndex(FItemIndex);
    list->SetWidth(GetWidth());
    list->SetClientHeight(std::min(FDropDownCount, FItems->GetCount()) * list->GetItemHeight());
}

void TComboBoxEditor::DrawPreview(const TRect& rect)
{
    TPopupEditor::DrawPreview(rect);
    if (FImages == nullptr)
        return;
    const int x = rect.left + (rect.right - rect.left) / 2 - FImages->GetWidth() / 2;
    int y = 0;
    switch (GetVerticalAlignment()) {
    case vaTop: y = 0; break;
    case vaMiddle: y = GetClientHeight() / 2 - FImages->GetHeight() / 2; break;
    case vaBottom: y = GetClientHeight() - FImages->GetHeight(); break;
    }
    if (FItemIndex >= 0 && FItemIndex < FImages->GetCount())
        FImages->Draw(GetCanvas(), x, y, FItemIndex);
}

void TComboBoxEditor::PopupClose()
{
    FItemIndex = static_cast<TPopupList*>(GetPopup())->GetItemIndex();
    TPopupEditor::PopupClose();
}

void TComboBoxEditor::Step(int delta)
{
    const int next = FItemIndex + delta;
    if (next >= 0 && next < FItems->GetCount())
        SetItemIndex(next);
}

void TComboBoxEditor::KeyDown(std::uint16_t& key, TShiftState shift)
{
    TPopupEditor::KeyDown(key, shift);
    if (GetEmbedded())
        return;
    if (key == ui::VK_DOWN)
        Step(1);
    else if (key == ui::VK_UP)
        Step(-1);
}

bool TComboBoxEditor::DoMouseWheelDown(TShiftState, ui::POINT)
{
    Step(1);
    return true;
}

bool TComboBoxEditor::DoMouseWheelUp(TShiftState, ui::POINT)
{
    Step(-1);
    return true;
}

// ---- TFontEditor ------------------------------------------------------------------------------------------

TFontEditor::TFontEditor(TComponent* owner) : TComboBoxEditor(owner) { SetItems(*Screen()->GetFonts()); }

TPopupViewClass TFontEditor::GetPopupClass() const { return TPopupViewClass::Of<TFontPopup>(); }

void TFontEditor::PreparePopup(TPoint& point)
{
    TComboBoxEditor::PreparePopup(point);
    static_cast<TPopupList*>(GetPopup())->SetItems(GetItems());
}

void TFontEditor::DrawPreview(const TRect& rect)
{
    TComboBoxEditor::DrawPreview(rect);
    TDisplayProvider::DrawFontSample(GetCanvas(), rect, GetText());
    GetCanvas()->SetFont(GetFont());
}

// ---- TDatePickerEditor ------------------------------------------------------------------------------------

TDatePickerEditor::TDatePickerEditor(TComponent* owner)
    : TPopupEditor(owner), FMonthNames(std::make_unique<TStringList>())
{
    TDatePickerEditor::SetDate(Date());
}

TDatePickerEditor::~TDatePickerEditor() = default;

TDateTime TDatePickerEditor::GetDate() const
{
    const std::string text = GetText();
    if (text.empty() || text == "0")
        return Date();
    return StrToDate(text);
}

void TDatePickerEditor::SetDate(TDateTime value) { SetText(DateToStr(value)); }

void TDatePickerEditor::SetMonthNames(const TStrings& value) { FMonthNames->Assign(value); }

TPopupViewClass TDatePickerEditor::GetPopupClass() const { return TPopupViewClass::Of<TDatePopup>(); }

void TDatePickerEditor::PreparePopup(TPoint& point)
{
    TPopupEditor::PreparePopup(point);
    auto* popup = static_cast<TDatePopup*>(GetPopup());
    // Text that is no date opens the calendar on today rather than failing with the button held down.
    popup->SetDate(PickerDate(GetText(), Date()));
    popup->SetBounds(popup->GetLeft(), popup->GetTop(), 151, 163);
    popup->SetMonthNames(FMonthNames->GetCount() > 0 ? FMonthNames.get() : nullptr);
}

// ---- TColorPickerEditor -----------------------------------------------------------------------------------

TColorPickerEditor::TColorPickerEditor(TComponent* owner) : TPopupEditor(owner) { SetShowPreview(true); }

TColor TColorPickerEditor::GetSelectedColor() const
{
    const std::string text = GetText();
    if (text.empty())
        return clNone;
    return FWebColorFormat ? WebColorToColor(text) : StringToColor(text);
}

void TColorPickerEditor::SetSelectedColor(TColor value)
{
    if (value == clNone)
        SetText(std::string());
    else
        SetText(FWebColorFormat ? ColorToWebColor(value) : ColorToString(value));
    Invalidate();
}

TPopupViewClass TColorPickerEditor::GetPopupClass() const { return TPopupViewClass::Of<TColorPopup>(); }

void TColorPickerEditor::PreparePopup(TPoint& point)
{
    TPopupEditor::PreparePopup(point);
    auto* popup = static_cast<TColorPopup*>(GetPopup());
    popup->SetBounds(popup->GetLeft(), popup->GetTop(), 213, 151);
    popup->SetFont(GetFont());
    popup->SetSelectedColor(PickerColor(GetText(), FWebColorFormat));
    popup->SetWebColorFormat(FWebColorFormat);
}

void TColorPickerEditor::DrawPreview(const TRect& rect)
{
    TPopupEditor::DrawPreview(rect);
    TCanvas* canvas = GetCanvas();
    // Painting never raises: text that is no colour shows as none.
    const TColor color = PickerColor(GetText(), FWebColorFormat);
    canvas->GetBrush()->SetStyle(bsSolid);
    if (color == clNone) {
        canvas->GetBrush()->SetColor(clWhite);
        canvas->FillRect(rect);
        canvas->GetPen()->SetColor(clRed);
        canvas->MoveTo(rect.left, rect.top);
        canvas->LineTo(rect.right, rect.bottom);
        canvas->MoveTo(rect.left, rect.bottom - 1);
        canvas->LineTo(rect.right, rect.top - 1);
    } else {
        canvas->GetBrush()->SetColor(color);
        canvas->FillRect(rect);
    }
}

// ---- TButtonEditor ----------------------------------------------------------------------------------------

TButtonEditor::TButtonEditor(TComponent* owner) : TCustomButtonCellEditor(owner), FGlyph(std::make_unique<TBitmap>())
{
    if (auto* button = dynamic_cast<TExecuteButton*>(GetButton()))
        button->SetGlyph(FGlyph.get());
}

TButtonEditor::~TButtonEditor()
{
    if (auto* button = dynamic_cast<TExecuteButton*>(GetButton()))
        button->SetGlyph(nullptr);
}

void TButtonEditor::SetGlyph(const TBitmap* value)
{
    if (value != nullptr)
        FGlyph->Assign(value);
    else
        FGlyph = std::make_unique<TBitmap>();
    if (auto* button = dynamic_cast<TExecuteButton*>(GetButton()))
        button->SetGlyph(FGlyph.get());
    GlyphChanged();
}

void TButtonEditor::SetTransparentColor(TColor value)
{
    FTransparentColor = value;
    GlyphChanged();
}

void TButtonEditor::GlyphChanged()
{
    if (FGlyph->GetEmpty())
        return;
    // clNone: the glyph blends by its alpha; a colour is left out where it stands.
    if (FTransparentColor != clNone)
        FGlyph->SetTransparentColor(FTransparentColor);
    FGlyph->SetTransparent(FTransparentColor != clNone);
    GetButton()->Invalidate();
}

// ---- TImagePathEditor -------------------------------------------------------------------------------------

TImagePathEditor::TImagePathEditor(TComponent* owner) : TButtonEditor(owner), FDialog(new TOpenPictureDialog(this)) {}

void TImagePathEditor::ButtonClick()
{
    TButtonEditor::ButtonClick();
    if (FDialog->Execute())
        SetText(FDialog->FileName);
}

}  // namespace ovrel::inspector
