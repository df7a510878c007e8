#include "app/VekEventHandler.h"

namespace ovrel::app {

using namespace ovrel::toolkit;

TVekEventHandler::TVekEventHandler(TControl* control) : TComponent(control) { SetControl(control); }

// Nothing to unhook here: the control's free notice or BeforeDestruction did it while the control was whole.
TVekEventHandler::~TVekEventHandler() = default;

void TVekEventHandler::SetControl(TControl* value)
{
    if (value == FControl)
        return;
    Unhook();
    if (FControl != nullptr)
        FControl->RemoveFreeNotification(this);
    FControl = value;
    if (FControl != nullptr)
        FControl->FreeNotification(this);
    Hook();
}

void TVekEventHandler::Hook()
{
    if (FControl == nullptr || GetHooked())
        return;
    FSavedWindowProc = FControl->GetWindowProc();
    FControl->SetWindowProc(TWndMethod(this, &TVekEventHandler::WindowProc));
}

void TVekEventHandler::Unhook()
{
    if (!GetHooked())
        return;
    if (FControl != nullptr)
        FControl->SetWindowProc(FSavedWindowProc);
    FSavedWindowProc.Clear();
}

void TVekEventHandler::WindowProc(TMessage& message) { Dispatch(message); }

void TVekEventHandler::DefaultHandler(TMessage& message)
{
    if (FControl != nullptr && FSavedWindowProc)
        FSavedWindowProc(message);
}

void TVekEventHandler::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    // The control is being freed and is still whole: its own procedure goes back before anything of it goes.
    if (operation == opRemove && component != nullptr && component == FControl) {
        Unhook();
        FControl = nullptr;
    }
}

void TVekEventHandler::BeforeDestruction()
{
    SetControl(nullptr);
    TComponent::BeforeDestruction();
}

TVekCmMouseEvent::TVekCmMouseEvent(TControl* control, const TVekControlEvent& onMouseEnter,
                                   const TVekControlEvent& onMouseLeave)
    : TVekEventHandler(control), OnMouseEnter(onMouseEnter), OnMouseLeave(onMouseLeave)
{}

void TVekCmMouseEvent::Dispatch(TMessage& message)
{
    if (message.Msg == CM_MOUSEENTER || message.Msg == CM_MOUSELEAVE) {
        // An event may free this handler, alone or with its control: then nothing of it may be touched.
        const std::weak_ptr<int> alive = AliveToken();
        TControl* control = GetControl();
        (message.Msg == CM_MOUSEENTER ? OnMouseEnter : OnMouseLeave)(control);
        if (alive.expired())
            return;
    }
    TVekEventHandler::Dispatch(message);
}

}  // namespace ovrel::app
