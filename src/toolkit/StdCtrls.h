#pragma once

// Controls whose window is a Qt widget: the common base, edits, buttons, radio buttons and group boxes.

#include "toolkit/Controls.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

class QWidget;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;

namespace ovrel::toolkit {

/// A windowed control whose window is a native Qt widget. Properties set before the window exists are kept
/// and pushed into the widget whenever it is made (the first time and after RecreateWnd). Bounds, Visible
/// and Enabled reach the widget through the layer (the widget is the window); Font and Color are mapped here.
class TNativeControl : public TWinControl {
public:
    explicit TNativeControl(TComponent* owner);
    ~TNativeControl() override;

    /// The widget of the window; null while there is no window.
    [[nodiscard]] QWidget* GetWidget() const;

protected:
    /// Makes the widget of a new window; the window owns it.
    virtual QWidget* CreateWidget() = 0;
    /// Pushes the kept properties into a fresh widget; subclasses add theirs and call the base.
    virtual void InitWidget(QWidget* widget);

    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandle(const TCreateParams& params) override;
    /// Font and Color reach the widget as they change.
    void CMFontChanged(TMessage& message) override;
    void CMColorChanged(TMessage& message) override;
    /// A press takes the focus for a control in the tab order, as the platform's own controls do, before the
    /// widget sees it.
    void WMLButtonDown(TMessage& message) override;
    std::string GetTextValue() const override;
    void SetTextValue(const std::string& value) override;
    /// The widget's own text (a caption or an edit's contents); the base has none.
    [[nodiscard]] virtual std::string WidgetText(QWidget* widget) const;
    virtual void SetWidgetText(QWidget* widget, const std::string& value);

    /// Runs a call out of the control (an event handler). Exceptions go to the layer's reporter. Returns
    /// false when the control was freed during the call: the caller must then touch nothing of it.
    bool CallOut(const std::function<void()>& call);
    /// A callable for a Qt signal: it runs handler through CallOut, and does nothing once the control is gone.
    template <class... Args>
    [[nodiscard]] std::function<void(Args...)> Slot(std::type_identity_t<std::function<void(Args...)>> handler)
    {
        return [this, life = FLife.Observe(), handler = std::move(handler)](Args... args) {
            if (life.Expired())
                return;
            CallOut([&] { handler(args...); });
        };
    }

    /// The text kept while there is no window (and the last one read from the widget).
    std::string FNativeText;

private:
    void ApplyFont(QWidget* widget) const;
    void ApplyColor(QWidget* widget) const;

    TLifeToken FLife;
};

enum class TBorderStyle { bsNone, bsSingle };

/// A one-line edit over QLineEdit.
class TCustomEdit : public TNativeControl {
public:
    explicit TCustomEdit(TComponent* owner);
    ~TCustomEdit() override;

    [[nodiscard]] bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    [[nodiscard]] TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    /// 0: no limit.
    [[nodiscard]] int GetMaxLength() const { return FMaxLength; }
    void SetMaxLength(int value);
    void SelectAll();
    [[nodiscard]] int GetSelStart() const;
    void SetSelStart(int value);
    [[nodiscard]] int GetSelLength() const;
    void SetSelLength(int value);

    TNotifyEvent OnChange;

protected:
    QWidget* CreateWidget() override;
    void InitWidget(QWidget* widget) override;
    /// A text set by the program notifies as the user's edits do.
    void CMTextChanged(TMessage& message) override;
    std::string WidgetText(QWidget* widget) const override;
    void SetWidgetText(QWidget* widget, const std::string& value) override;
    virtual void Change();

private:
    [[nodiscard]] QLineEdit* Edit() const;

    bool FReadOnly = false;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    int FMaxLength = 0;
    int FSelStart = 0;
    int FSelLength = 0;
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

/// A push button over QPushButton.
class TButton : public TNativeControl {
public:
    explicit TButton(TComponent* owner);
    ~TButton() override;

    [[nodiscard]] bool GetDefault() const { return FDefault; }
    void SetDefault(bool value);
    [[nodiscard]] bool GetCancel() const { return FCancel; }
    void SetCancel(bool value) { FCancel = value; }
    /// Set into the parent form's ModalResult by a click.
    [[nodiscard]] int GetModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }
    void Click() override;

protected:
    QWidget* CreateWidget() override;
    void InitWidget(QWidget* widget) override;
    /// Enter for the focused or the default button, Escape for the cancel button: a click.
    void CMDialogKey(TMessage& message) override;
    std::string WidgetText(QWidget* widget) const override;
    void SetWidgetText(QWidget* widget, const std::string& value) override;

private:
    bool FDefault = false;
    bool FCancel = false;
    int FModalResult = 0;
};

/// A radio button; the radio buttons of one parent are exclusive.
class TRadioButton : public TNativeControl {
public:
    explicit TRadioButton(TComponent* owner);
    ~TRadioButton() override;

    [[nodiscard]] bool GetChecked() const { return FChecked; }
    /// Checking unchecks the siblings and raises OnClick; an unchanged value does nothing.
    void SetChecked(bool value);

protected:
    QWidget* CreateWidget() override;
    void InitWidget(QWidget* widget) override;
    std::string WidgetText(QWidget* widget) const override;
    void SetWidgetText(QWidget* widget, const std::string& value) override;

private:
    void ShowChecked();

    bool FChecked = false;
};

/// A captioned frame that holds other controls.
class TGroupBox : public TNativeControl {
public:
    explicit TGroupBox(TComponent* owner);
    ~TGroupBox() override;

protected:
    QWidget* CreateWidget() override;
    std::string WidgetText(QWidget* widget) const override;
    void SetWidgetText(QWidget* widget, const std::string& value) override;
};

}  // namespace ovrel::toolkit
