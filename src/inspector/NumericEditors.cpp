#include "inspector/NumericEditors.h"

#include "inspector/Themes.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolkit/Clipbrd.h"
#include "toolkit/SysUtils.h"

#include <cmath>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

// ---- TNumericEditor ---------------------------------------------------------------------------------------

TNumericEditor::TNumericEditor(TComponent* owner) : TTextualEditor(owner)
{
    SetControlStyle(GetControlStyle().Exclude(csSetCaption));
    DisplayValue(0);
}

TNumberRules TNumericEditor::Rules() const
{
    TNumberRules rules;
    rules.Max = FMax;
    rules.Min = FMin;
    rules.NullText = FNullText;
    rules.Options = FOptions;
    rules.Precision = FPrecision;
    rules.TextAfter = FTextAfter;
    rules.DecimalSeparator = FormatSettings().DecimalSeparator;
    return rules;
}

double TNumericEditor::GetValue() const { return ReadNumber(GetText(), Rules()); }

void TNumericEditor::DisplayValue(double x) { SetText(NumberText(x, Rules())); }

void TNumericEditor::SetNullText(const std::string& value)
{
    FNullText = value;
    DisplayValue(0);
}

void TNumericEditor::SetPrecision(int value)
{
    const double current = GetValue();
    FPrecision = value;
    DisplayValue(current);
}

void TNumericEditor::SetTextAfter(const std::string& value)
{
    // Read with the old unit, shown with the new one.
    const double current = GetValue();
    FTextAfter = value;
    if (!FOptions.Contains(eoAllowAll))
        DisplayValue(current);
}

double TNumericEditor::GetAsFloat() const { return GetValue(); }

void TNumericEditor::SetAsFloat(double value)
{
    TTextualEditor::SetAsFloat(value);
    DisplayValue(value);
}

void TNumericEditor::Assign(const TPersistent* source)
{
    if (const auto* other = dynamic_cast<const TNumericEditor*>(source)) {
        FMax = other->FMax;
        FMin = other->FMin;
        const double value = other->GetValue();
        SetNullText(other->FNullText);
        SetOptions(other->FOptions);
        SetPrecision(other->FPrecision);
        SetValue(value);
        return;
    }
    TTextualEditor::Assign(source);
}

void TNumericEditor::CreateWnd()
{
    const double value = GetValue();
    TTextualEditor::CreateWnd();
    DisplayValue(value);
}

void TNumericEditor::Dispatch(TMessage& message)
{
    if (message.Msg == ui::WM_PASTE) {
        WMPaste(message);
        return;
    }
    TTextualEditor::Dispatch(message);
}

void TNumericEditor::KeyPress(char32_t& key)
{
    const char32_t taken = FilterNumberKey(key, GetText(), GetSelStart(), GetSelLength(), Rules());
    if (taken == 0) {
        key = 0;  // refused keys reach no handler
        return;
    }
    key = taken;
    TTextualEditor::KeyPress(key);
}

void TNumericEditor::WMPaste(TMessage& message)
{
    const int start = GetSelStart();
    const std::string clipboard = Clipboard()->HasFormat(CF_TEXT) ? Clipboard()->GetAsText() : std::string();
    const std::string text = PasteNumber(GetText(), start, GetSelLength(), clipboard, Rules());
    // A paste is the user's edit, as typing is.
    SetText(text);
    SetSelStart(start);
    message.Result = 0;
}

void TNumericEditor::Reformat()
{
    if (!FOptions.Contains(eoAllowAll))
        DisplayValue(GetValue());
}

void TNumericEditor::DoExit()
{
    TTextualEditor::DoExit();
    Invalidate();
    Reformat();
}

// ---- TSpinButtons -----------------------------------------------------------------------------------------

TSpinButtons::TSpinButtons(TComponent* owner)
    : TCustomControl(owner), FDelayTimer(new TTimer(this)), FRepeatTimer(new TTimer(this))
{
    SetControlStyle(GetControlStyle().Include(csOpaque));  // its background is never erased
    FDelayTimer->SetEnabled(false);
    FDelayTimer->SetInterval(400);
    FDelayTimer->OnTimer = TNotifyEvent(this, &TSpinButtons::DelayElapsed);
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(20);
    FRepeatTimer->OnTimer = TNotifyEvent(this, &TSpinButtons::RepeatElapsed);
}

TSpinButtons::~TSpinButtons() = default;

TSpinDirections TSpinButtons::HalfAt(int y) const
{
    return y < GetHeight() / 2 ? TSpinDirections{sdUp} : TSpinDirections{sdDown};
}

void TSpinButtons::Stop()
{
    FDelayTimer->SetEnabled(false);
    FRepeatTimer->SetEnabled(false);
    if (FPressed != TSpinDirections{}) {
        FPressed = TSpinDirections{};
        Invalidate();
    }
}

void TSpinButtons::Spin()
{
    // A step that raises stops the repeat: it would raise again every 20 ms.
    try {
        OnSpin(this, FPressed);
    } catch (...) {
        Stop();
        throw;
    }
}

void TSpinButtons::SetPressed(TSpinDirections value)
{
    FPressed = value;
    if (value != TSpinDirections{}) {
        FDelayTimer->SetEnabled(true);
        Spin();
    } else {
        FDelayTimer->SetEnabled(false);
        FRepeatTimer->SetEnabled(false);
    }
    Invalidate();
}

void TSpinButtons::SetHot(TSpinDirections value)
{
    if (GetComponentState().Contains(csDesigning) || value == FHot)
        return;
    FHot = value;
    Invalidate();
}

void TSpinButtons::DelayElapsed(TObject*)
{
    FDelayTimer->SetEnabled(false);
    FRepeatTimer->SetEnabled(true);
}

void TSpinButtons::RepeatElapsed(TObject*)
{
    if (FPressed == TSpinDirections{}) {
        Stop();
        return;
    }
    Spin();
}

void TSpinButtons::Dispatch(TMessage& message)
{
    if (message.Msg == ui::WM_ERASEBKGND) {
        message.Result = 1;
        return;
    }
    TCustomControl::Dispatch(message);
}

void TSpinButtons::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    FPressed = HalfAt(y);
    FDelayTimer->SetEnabled(true);
    Invalidate();
    Spin();
}

void TSpinButtons::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    SetHot(HalfAt(y));
}

void TSpinButtons::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    Stop();
}

void TSpinButtons::CMMouseLeave(TMessage& message)
{
    TCustomControl::CMMouseLeave(message);
    SetHot(TSpinDirections{});
}

void TSpinButtons::WMCaptureChanged(TMessage& message)
{
    TCustomControl::WMCaptureChanged(message);
    // Without the mouse no release comes: the repeat must not run on.
    if (reinterpret_cast<ui::HWND>(message.LParam) != GetHandle())
        Stop();
}

void TSpinButtons::Paint()
{
    TCanvas* canvas = GetCanvas();
    const int w = GetClientWidth();
    const int h = GetClientHeight();
    TRect upper{0, -1, w, h / 2};
    TRect lower{0, h / 2, w, h};
    const auto state = [this](TSpinDirection d) { return FPressed.Contains(d) ? 3 : FHot.Contains(d) ? 2 : 1; };
    if (ThemesEnabled()) {
        DrawThemedBackground(GetHandle(), canvas->GetHandle(), upper, state(sdUp), 1, "spin");
        DrawThemedBackground(GetHandle(), canvas->GetHandle(), lower, state(sdDown), 2, "spin");
        return;
    }
    ui::DrawFrameControl(canvas->GetHandle(), &upper, ui::DFC_SCROLL,
                         ui::DFCS_SCROLLUP | ui::DFCS_ADJUSTRECT | (FPressed.Contains(sdUp) ? ui::DFCS_PUSHED : 0));
    ui::DrawFrameControl(canvas->GetHandle(), &lower, ui::DFC_SCROLL,
                         ui::DFCS_SCROLLDOWN | ui::DFCS_ADJUSTRECT | (FPressed.Contains(sdDown) ? ui::DFCS_PUSHED : 0));
}

// ---- TSpinEditor ------------------------------------------------------------------------------------------

TSpinEditor::TSpinEditor(TComponent* owner) : TNumericEditor(owner), FButtons(new TSpinButtons(this))
{
    FButtons->SetParent(this);
    FButtons->SetWidth(ui::GetSystemMetrics(ui::SM_CXVSCROLL));
    FButtons->OnSpin = TSpinEvent(this, &TSpinEditor::Spun);
    SetPrecision(0);
}

void TSpinEditor::Spun(TObject*, TSpinDirections direction) { SpinClick(direction); }

void TSpinEditor::SpinClick(TSpinDirections direction)
{
    const double value = GetValue();
    if (direction.Contains(sdUp)) {
        if (GetMax() > 0 && value + FIncrement > GetMax())
            return;
        SetValue(value + FIncrement);
    } else if (direction.Contains(sdDown)) {
        if (value - FIncrement >= GetMin())
            SetValue(value - FIncrement);
    }
}

double TSpinEditor::GetAsFloat() const { return GetValue(); }

int TSpinEditor::GetAsInteger() const { return static_cast<int>(std::nearbyint(GetValue())); }

void TSpinEditor::SetAsFloat(double value) { SetValue(value); }

void TSpinEditor::SetAsInteger(int value) { SetValue(value); }

void TSpinEditor::MoveCaretToEnd()
{
    TNumericEditor::MoveCaretToEnd();
    FButtons->Invalidate();
}

void TSpinEditor::GetEditRect(TRect& rect)
{
    TNumericEditor::GetEditRect(rect);
    rect.right = GetClientWidth() - FButtons->GetWidth();
}

void TSpinEditor::CreateWnd()
{
    TNumericEditor::CreateWnd();
    PlaceButtons();
    FButtons->Invalidate();
}

void TSpinEditor::PlaceButtons()
{
    if (!HandleAllocated())
        return;
    const int width = ui::GetSystemMetrics(ui::SM_CXVSCROLL);
    // At the new width: the old one would leave the buttons off the edge after it changed.
    const int x = GetClientWidth() - width;
    if (GetBorderStyle() == TBorderStyle::bsSingle)
        FButtons->SetBounds(x, 1, width, GetClientHeight() - 1);
    else
        FButtons->SetBounds(x, 0, width, GetClientHeight() + 1);
    FButtons->Show();
    FButtons->Invalidate();
}

void TSpinEditor::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case ui::WM_KEYDOWN:
        TNumericEditor::Dispatch(message);
        if (!GetEmbedded() && message.WParam == ui::VK_UP)
            FButtons->SetPressed(TSpinDirections{sdUp});
        else if (!GetEmbedded() && message.WParam == ui::VK_DOWN)
            FButtons->SetPressed(TSpinDirections{sdDown});
        return;
    case ui::WM_KEYUP:
        TNumericEditor::Dispatch(message);
        if (!GetEmbedded())
            FButtons->SetPressed(TSpinDirections{});
        return;
    default: TNumericEditor::Dispatch(message);
    }
}

void TSpinEditor::WMSize(TMessage& message)
{
    TNumericEditor::WMSize(message);
    PlaceButtons();
}

void TSpinEditor::WMWindowPosChanged(TMessage& message)
{
    TNumericEditor::WMWindowPosChanged(message);
    Invalidate();
    // A new frame (a border style) changes the client without a size message.
    PlaceButtons();
}

void TSpinEditor::CMMouseEnter(TMessage& message)
{
    TNumericEditor::CMMouseEnter(message);
    FButtons->SetHot(TSpinDirections{sdUp, sdDown});
}

void TSpinEditor::CMMouseLeave(TMessage& message)
{
    TNumericEditor::CMMouseLeave(message);
    FButtons->SetHot(TSpinDirections{});
}

bool TSpinEditor::DoMouseWheelDown(TShiftState shift, ui::POINT mousePos)
{
    TNumericEditor::DoMouseWheelDown(shift, mousePos);
    FButtons->SetPressed(TSpinDirections{sdDown});
    FButtons->SetPressed(TSpinDirections{});
    return true;
}

bool TSpinEditor::DoMouseWheelUp(TShiftState shift, ui::POINT mousePos)
{
    TNumericEditor::DoMouseWheelUp(shift, mousePos);
    FButtons->SetPressed(TSpinDirections{sdUp});
    FButtons->SetPressed(TSpinDirections{});
    return true;
}

void TSpinEditor::DoExit()
{
    FButtons->Stop();
    TNumericEditor::DoExit();
}

}  // namespace ovrel::inspector
