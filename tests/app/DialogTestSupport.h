#pragma once
// Helpers of the dialog tests: real Qt clicks and typing on a dialog's controls, the pixels a window shows, and a
// script run inside a form's modal loop.

#include "platform/ui/Window.h"
#include "support/QtInput.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <optional>
#include <string_view>
#include <utility>

namespace ovrel::app::test {

inline void Pump() { toolkit::Application()->ProcessMessages(); }

/// The widget a control's input arrives at, and the control's client point in that widget: its own window, or
/// the parent's for a windowless control.
inline QWidget* InputWidget(toolkit::TControl* control, ui::POINT& point)
{
    auto* windowed = dynamic_cast<toolkit::TWinControl*>(control);
    if (windowed == nullptr) {
        point = control->ClientToParent(point);
        windowed = control->GetParent();
    }
    return ui::GetWindowWidget(windowed->GetHandle());
}

inline QPointF Local(ui::POINT point) { return QPointF(point.x + 0.5, point.y + 0.5); }

/// A left click at a client point of the control, its middle by default.
inline void Click(toolkit::TControl* control, std::optional<ui::POINT> at = std::nullopt)
{
    ui::POINT point = at.value_or(ui::POINT{control->GetWidth() / 2, control->GetHeight() / 2});
    QWidget* widget = InputWidget(control, point);
    ovrel::test::SendQtClick(widget, Local(point), Qt::NoModifier, Pump);
}

/// The pointer moved onto the control's middle.
inline void Hover(toolkit::TControl* control)
{
    ui::POINT point{control->GetWidth() / 2, control->GetHeight() / 2};
    QWidget* widget = InputWidget(control, point);
    ovrel::test::SendQtMouse(widget, QEvent::MouseMove, Local(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier, Pump);
}

inline void Type(toolkit::TWinControl* control, std::string_view text)
{
    ovrel::test::SendQtText(ui::GetWindowWidget(control->GetHandle()),
                            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), Pump);
}

inline void Key(toolkit::TWinControl* control, Qt::Key key)
{
    ovrel::test::SendQtKey(ui::GetWindowWidget(control->GetHandle()), key, Qt::NoModifier, Pump);
}

/// What the window of the control shows, its native children included.
inline QImage Shot(toolkit::TWinControl* control)
{
    Pump();
    QCoreApplication::processEvents();
    return ui::GetWindowWidget(control->GetHandle())->grab().toImage();
}

/// Runs the action once the form's modal loop runs. A timer asks until the form is modal: a timer message only
/// arrives when the queue is otherwise empty, so a loop that pumps the queue dry (the click that opens the form)
/// does not use up the waiting. The action ends the loop, as a user would.
class TModalScript {
public:
    /// Waits for this form to run modally.
    TModalScript(toolkit::TCustomForm& form, std::function<void()> action)
        : TModalScript([&form] { return form.GetModal() ? &form : nullptr; },
                       [action = std::move(action)](toolkit::TCustomForm&) { action(); })
    {}
    /// Waits for a form made later to run modally: the active form once it is modal, other than except.
    TModalScript(const toolkit::TCustomForm* except, std::function<void(toolkit::TCustomForm&)> action)
        : TModalScript(
              [except] {
                  auto* form =
                      dynamic_cast<toolkit::TCustomForm*>(toolkit::TWinControl::FindControl(ui::GetActiveWindow()));
                  return form != nullptr && form != except && form->GetModal() ? form : nullptr;
              },
              std::move(action))
    {}
    ~TModalScript()
    {
        ui::KillTimer(FWindow, TimerId);
        toolkit::DeallocateHWnd(FWindow);
    }
    TModalScript(const TModalScript&) = delete;
    TModalScript& operator=(const TModalScript&) = delete;

    [[nodiscard]] bool GetRan() const { return FRan; }

private:
    static constexpr ui::UINT_PTR TimerId = 0x51;

    TModalScript(std::function<toolkit::TCustomForm*()> find, std::function<void(toolkit::TCustomForm&)> action)
        : FFind(std::move(find)), FAction(std::move(action)),
          FWindow(toolkit::AllocateHWnd(toolkit::TWndMethod(this, &TModalScript::Proc)))
    {
        ui::SetTimer(FWindow, TimerId, 1);
    }

    void Proc(toolkit::TMessage& message)
    {
        if (message.Msg != ui::WM_TIMER || message.WParam != TimerId || FRan)
            return;
        toolkit::TCustomForm* form = FFind();
        if (form == nullptr) {
            // The form never became modal: give up after a while rather than wait for ever.
            if (++FWaits >= 5000)
                ui::KillTimer(FWindow, TimerId);
            return;
        }
        ui::KillTimer(FWindow, TimerId);
        FRan = true;
        FAction(*form);
    }

    std::function<toolkit::TCustomForm*()> FFind;
    std::function<void(toolkit::TCustomForm&)> FAction;
    ui::HWND FWindow;
    bool FRan = false;
    int FWaits = 0;
};

}  // namespace ovrel::app::test
