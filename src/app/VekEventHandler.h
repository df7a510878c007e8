#pragma once
// Components that hook one control's window procedure: every message still reaches the control, and the
// handler sees each on its way.

#include "toolkit/Controls.h"

#include <memory>

namespace ovrel::app {

/// Hooks the window procedure of its control: its own message handlers see each message first, and every
/// message then goes on to the procedure the control had. Owned by the control it is made for, so it is freed
/// with it; before that, the control's free notice (sent while the control is still whole) unhooks it.
class TVekEventHandler : public toolkit::TComponent {
public:
    /// Owned by control and hooked to it at once; a null control makes a handler that hooks nothing.
    explicit TVekEventHandler(toolkit::TControl* control);
    ~TVekEventHandler() override;

    [[nodiscard]] toolkit::TControl* GetControl() const { return FControl; }
    /// Unhooks the current control and hooks the new one; nothing when unchanged. The owner stays.
    void SetControl(toolkit::TControl* value);
    [[nodiscard]] bool GetHooked() const { return static_cast<bool>(FSavedWindowProc); }

    /// Passes the message to the control's saved procedure. Descendants handle messages in Dispatch and
    /// call up, so each ends here.
    void DefaultHandler(toolkit::TMessage& message) override;

protected:
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;
    /// Unhooks while the control is still whole when the handler is freed on its own.
    void BeforeDestruction() override;
    /// Expires when the handler is freed, so a descendant can tell that an event freed it.
    [[nodiscard]] std::weak_ptr<int> AliveToken() const { return FAlive; }

private:
    void Hook();
    void Unhook();
    void WindowProc(toolkit::TMessage& message);

    toolkit::TControl* FControl = nullptr;
    toolkit::TWndMethod FSavedWindowProc;
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};

/// Called with the control the mouse entered or left.
using TVekControlEvent = toolkit::TEvent<toolkit::TControl*>;

/// Reports the mouse entering and leaving its control (windowless ones too), then lets the control have the
/// notice as usual.
class TVekCmMouseEvent : public TVekEventHandler {
public:
    TVekCmMouseEvent(toolkit::TControl* control, const TVekControlEvent& onMouseEnter,
                     const TVekControlEvent& onMouseLeave);

    TVekControlEvent OnMouseEnter;
    TVekControlEvent OnMouseLeave;

    void Dispatch(toolkit::TMessage& message) override;
};

}  // namespace ovrel::app
