#include "toolkit/StdCtrls.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <QFont>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QWidget>

namespace ovrel::toolkit {

using ui::FromQString;
using ui::ToQString;

namespace {

// Native control classes share one window class; the widget of the window being made is handed to the
// class's factory through this slot (window creation is single-threaded and not reentrant per control).
inline constexpr const char* NativeClassName = "OvrelNativeControl";
thread_local QWidget* PendingWidget = nullptr;

void RegisterNativeClass()
{
    ui::WNDCLASS windowClass;
    if (ui::GetClassInfo(NativeClassName, windowClass))
        return;
    windowClass.lpszClassName = NativeClassName;
    windowClass.widgetFactory = [] { return std::exchange(PendingWidget, nullptr); };
    ui::RegisterClass(windowClass);
}

}  // namespace

// ---- TNativeControl ---------------------------------------------------------------------------------------

TNativeControl::TNativeControl(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }

TNativeControl::~TNativeControl()
{
    // Freeing the window below may fire the widget's signals; they must find the control gone.
    FLife.Expire();
}

QWidget* TNativeControl::GetWidget() const
{
    return HandleAllocated() ? ui::GetWindowWidget(const_cast<TNativeControl*>(this)->GetHandle()) : nullptr;
}

void TNativeControl::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.WinClassName = NativeClassName;
}

void TNativeControl::CreateWindowHandle(const TCreateParams& params)
{
    RegisterNativeClass();
    PendingWidget = CreateWidget();
    TWinControl::CreateWindowHandle(params);
    if (PendingWidget != nullptr) {  // the window was not made
        delete PendingWidget;
        PendingWidget = nullptr;
        return;
    }
    if (QWidget* widget = GetWidget())
        InitWidget(widget);
}

void TNativeControl::InitWidget(QWidget* widget)
{
    SetWidgetText(widget, FNativeText);
    ApplyFont(widget);
    ApplyColor(widget);
    widget->setFocusPolicy(GetTabStop() ? Qt::StrongFocus : Qt::ClickFocus);
}

void TNativeControl::ApplyFont(QWidget* widget) const
{
    const TFont* font = GetFont();
    QFont qfont = widget->font();
    if (!font->GetName().empty())
        qfont.setFamily(ToQString(font->GetName()));
    if (font->GetSize() > 0)
        qfont.setPointSize(font->GetSize());
    const TFontStyles style = font->GetStyle();
    qfont.setBold(style.Contains(fsBold));
    qfont.setItalic(style.Contains(fsItalic));
    qfont.setUnderline(style.Contains(fsUnderline));
    qfont.setStrikeOut(style.Contains(fsStrikeOut));
    widget->setFont(qfont);
    QPalette palette = widget->palette();
    const ui::COLORREF text = ColorToRGB(font->GetColor());
    palette.setColor(QPalette::Text, QColor(ui::GetRValue(text), ui::GetGValue(text), ui::GetBValue(text)));
    palette.setColor(QPalette::WindowText, QColor(ui::GetRValue(text), ui::GetGValue(text), ui::GetBValue(text)));
    widget->setPalette(palette);
}

void TNativeControl::ApplyColor(QWidget* widget) const
{
    const ui::COLORREF color = ColorToRGB(GetColor());
    QPalette palette = widget->palette();
    const QColor qcolor(ui::GetRValue(color), ui::GetGValue(color), ui::GetBValue(color));
    palette.setColor(QPalette::Base, qcolor);
    palette.setColor(QPalette::Window, qcolor);
    palette.setColor(QPalette::Button, qcolor);
    widget->setPalette(palette);
}

void TNativeControl::CMFontChanged(TMessage& message)
{
    TWinControl::CMFontChanged(message);
    if (QWidget* widget = GetWidget())
        ApplyFont(widget);
}

void TNativeControl::CMColorChanged(TMessage& message)
{
    TWinControl::CMColorChanged(message);
    if (QWidget* widget = GetWidget())
        ApplyColor(widget);
}

void TNativeControl::WMLButtonDown(TMessage& message)
{
    // Controls out of the tab order (a group box) leave the focus where it is.
    if (GetTabStop() && !Focused() && CanFocus())
        SetFocus();
    TWinControl::WMLButtonDown(message);
}

std::string TNativeControl::GetTextValue() const
{
    if (QWidget* widget = GetWidget())
        return WidgetText(widget);
    return FNativeText;
}

void TNativeControl::SetTextValue(const std::string& value)
{
    FNativeText = value;
    if (QWidget* widget = GetWidget())
        SetWidgetText(widget, value);
}

std::string TNativeControl::WidgetText(QWidget*) const { return FNativeText; }

void TNativeControl::SetWidgetText(QWidget*, const std::string&) {}

bool TNativeControl::CallOut(const std::function<void()>& call)
{
    const TLifeToken::TObserver life = FLife.Observe();
    try {
        call();
    } catch (...) {
        ui::ReportException(std::current_exception());
    }
    return !life.Expired();
}

// ---- TCustomEdit ------------------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* owner) : TNativeControl(owner)
{
    SetBounds(GetLeft(), GetTop(), 121, 21);
    SetColor(clWindow);
}

TCustomEdit::~TCustomEdit() = default;

QLineEdit* TCustomEdit::Edit() const { return static_cast<QLineEdit*>(GetWidget()); }

QWidget* TCustomEdit::CreateWidget() { return new QLineEdit; }

void TCustomEdit::InitWidget(QWidget* widget)
{
    auto* edit = static_cast<QLineEdit*>(widget);
    edit->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
    TNativeControl::InitWidget(widget);
    edit->setReadOnly(FReadOnly);
    edit->setFrame(FBorderStyle != TBorderStyle::bsNone);
    edit->setSelection(FSelStart, FSelLength);
    // Only the user's edits arrive here: a program set notifies through CM_TEXTCHANGED.
    QObject::connect(edit, &QLineEdit::textEdited, edit, Slot<const QString&>([this](const QString& text) {
                         FNativeText = FromQString(text);
                         Change();
                     }));
}

std::string TCustomEdit::WidgetText(QWidget* widget) const
{
    return FromQString(static_cast<QLineEdit*>(widget)->text());
}

void TCustomEdit::SetWidgetText(QWidget* widget, const std::string& value)
{
    auto* edit = static_cast<QLineEdit*>(widget);
    const QString text = ToQString(value);
    if (edit->text() != text)
        edit->setText(text);
}

void TCustomEdit::CMTextChanged(TMessage& message)
{
    TNativeControl::CMTextChanged(message);
    Change();
}

void TCustomEdit::Change()
{
    CallOut([this] { OnChange(this); });
}

void TCustomEdit::SetReadOnly(bool value)
{
    FReadOnly = value;
    if (QLineEdit* edit = Edit())
        edit->setReadOnly(value);
}

void TCustomEdit::SetBorderStyle(TBorderStyle value)
{
    FBorderStyle = value;
    if (QLineEdit* edit = Edit())
        edit->setFrame(value != TBorderStyle::bsNone);
}

void TCustomEdit::SetMaxLength(int value)
{
    FMaxLength = value < 0 ? 0 : value;
    if (QLineEdit* edit = Edit())
        edit->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
}

void TCustomEdit::SelectAll()
{
    if (QLineEdit* edit = Edit()) {
        edit->selectAll();
        return;
    }
    FSelStart = 0;
    FSelLength = static_cast<int>(ToQString(FNativeText).size());
}

int TCustomEdit::GetSelStart() const
{
    if (QLineEdit* edit = Edit())
        return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    return FSelStart;
}

void TCustomEdit::SetSelStart(int value)
{
    FSelStart = value;
    FSelLength = 0;
    if (QLineEdit* edit = Edit())
        edit->setCursorPosition(value);
}

int TCustomEdit::GetSelLength() const
{
    if (QLineEdit* edit = Edit())
        return static_cast<int>(edit->selectedText().size());
    return FSelLength;
}

void TCustomEdit::SetSelLength(int value)
{
    const int start = GetSelStart();
    FSelStart = start;
    FSelLength = value;
    if (QLineEdit* edit = Edit())
        edit->setSelection(start, value);
}

// ---- TButton ----------------------------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TNativeControl(owner)
{
    // A click comes from the widget's own signal (mouse, space), not from the press and release seen here.
    SetControlStyle(GetControlStyle().Exclude(csClickEvents));
    SetBounds(GetLeft(), GetTop(), 75, 25);
}

TButton::~TButton() = default;

QWidget* TButton::CreateWidget() { return new QPushButton; }

void TButton::InitWidget(QWidget* widget)
{
    auto* button = static_cast<QPushButton*>(widget);
    TNativeControl::InitWidget(widget);
    button->setDefault(FDefault);
    QObject::connect(button, &QPushButton::clicked, button, Slot<bool>([this](bool) { Click(); }));
}

std::string TButton::WidgetText(QWidget* widget) const
{
    return FromQString(static_cast<QPushButton*>(widget)->text());
}

void TButton::SetWidgetText(QWidget* widget, const std::string& value)
{
    static_cast<QPushButton*>(widget)->setText(ToQString(value));
}

void TButton::SetDefault(bool value)
{
    FDefault = value;
    if (auto* button = static_cast<QPushButton*>(GetWidget()))
        button->setDefault(value);
}

void TButton::Click()
{
    if (FModalResult != mrNone) {
        if (TCustomForm* form = GetParentForm())
            form->SetModalResult(FModalResult);
    }
    CallOut([this] { TNativeControl::Click(); });
}

void TButton::CMDialogKey(TMessage& message)
{
    const auto key = static_cast<std::uint16_t>(message.WParam);
    bool mine = false;
    if (key == ui::VK_RETURN) {
        // A focused button takes Enter itself; otherwise the default button does.
        TCustomForm* form = GetParentForm();
        TWinControl* active = form != nullptr ? form->GetActiveControl() : nullptr;
        mine = active == this || (FDefault && dynamic_cast<TButton*>(active) == nullptr);
    } else if (key == ui::VK_ESCAPE && FCancel) {
        mine = true;
    }
    if (mine && GetEnabled() && GetVisible()) {
        message.Result = 1;
        Click();
        return;
    }
    TNativeControl::CMDialogKey(message);
}

// ---- TRadioButton -----------------------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TNativeControl(owner)
{
    // Checking raises the click; the press and release seen here do not add another.
    SetControlStyle(GetControlStyle().Exclude(csClickEvents));
    SetBounds(GetLeft(), GetTop(), 113, 17);
}

TRadioButton::~TRadioButton() = default;

QWidget* TRadioButton::CreateWidget()
{
    auto* button = new QRadioButton;
    button->setAutoExclusive(false);  // the siblings are unchecked here, across Qt parents too
    return button;
}

void TRadioButton::InitWidget(QWidget* widget)
{
    auto* button = static_cast<QRadioButton*>(widget);
    TNativeControl::InitWidget(widget);
    button->setChecked(FChecked);
    QObject::connect(button, &QRadioButton::clicked, button, Slot<bool>([this](bool) {
                         if (FChecked)
                             ShowChecked();  // a click on a checked button leaves it checked
                         else
                             SetChecked(true);
                     }));
}

std::string TRadioButton::WidgetText(QWidget* widget) const
{
    return FromQString(static_cast<QRadioButton*>(widget)->text());
}

void TRadioButton::SetWidgetText(QWidget* widget, const std::string& value)
{
    static_cast<QRadioButton*>(widget)->setText(ToQString(value));
}

void TRadioButton::ShowChecked()
{
    if (auto* button = static_cast<QRadioButton*>(GetWidget()))
        button->setChecked(FChecked);
}

void TRadioButton::SetChecked(bool value)
{
    if (FChecked == value)
        return;
    FChecked = value;
    ShowChecked();
    if (!value)
        return;
    if (TWinControl* parent = GetParent()) {
        for (int i = 0; i < parent->GetControlCount(); ++i) {
            auto* sibling = dynamic_cast<TRadioButton*>(parent->GetControl(i));
            if (sibling != nullptr && sibling != this)
                sibling->SetChecked(false);
        }
    }
    CallOut([this] { Click(); });
}

// ---- TGroupBox --------------------------------------------------------------------------------------------

TGroupBox::TGroupBox(TComponent* owner) : TNativeControl(owner)
{
    SetControlStyle(GetControlStyle() + TControlStyle{csAcceptsControls});
    SetBounds(GetLeft(), GetTop(), 185, 105);
    SetTabStop(false);
}

TGroupBox::~TGroupBox() = default;

namespace {

// A group box that also draws the windowless controls placed on it (labels, paint boxes), which have no
// window of their own and would otherwise not show on a native widget.
class GroupBoxWidget : public QGroupBox {
public:
    explicit GroupBoxWidget(TGroupBox& control) : FControl(control) {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QGroupBox::paintEvent(event);
        try {
            PaintWindowless();
        } catch (...) {
            ui::ReportException(std::current_exception());  // nothing may unwind through Qt
        }
    }

private:
    void PaintWindowless()
    {
        bool any = false;
        for (int i = 0; i < FControl.GetControlCount() && !any; ++i)
            any = dynamic_cast<TWinControl*>(FControl.GetControl(i)) == nullptr;
        if (!any || width() <= 0 || height() <= 0)
            return;
        QImage image(size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        ui::HDC dc = ui::CreateImageDC(image, ui::POINT{0, 0}, nullptr);
        FControl.PaintControls(dc, nullptr);
        ui::DeleteDC(dc);
        QPainter(this).drawImage(0, 0, image);
    }

    TGroupBox& FControl;  // owns the window that owns this widget
};

}  // namespace

QWidget* TGroupBox::CreateWidget() { return new GroupBoxWidget(*this); }

std::string TGroupBox::WidgetText(QWidget* widget) const
{
    return FromQString(static_cast<QGroupBox*>(widget)->title());
}

void TGroupBox::SetWidgetText(QWidget* widget, const std::string& value)
{
    static_cast<QGroupBox*>(widget)->setTitle(ToQString(value));
}

}  // namespace ovrel::toolkit
