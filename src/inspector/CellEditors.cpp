#include "inspector/CellEditors.h"

#include "inspector/Resources.h"

#include "platform/ui/EditControl.h"
#include "platform/ui/Gdi.h"
#include "inspector/References_p.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/SysUtils.h"

#include <algorithm>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

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
    FBorderStyle = value;
    Invalidate();
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

}  // namespace CellEditors

TExecuteButton::TExecuteButton(TComponent* owner) : TSmallButton(owner) { SetWidth(21); }

TDropDownButton::TDropDownButton(TComponent* owner) : TSmallButton(owner) { SetWidth(16); }

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

void TCustomButtonCellEditor::CreateWnd()
{
    (void)GetButton();
    TTextualEditor::CreateWnd();
    UpdateEditRect();
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

}  // namespace ovrel::inspector
