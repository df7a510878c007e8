#pragma once
// Small helpers shared by the viewers, the views, the pop-ups and the menu loop.

#include "toolbars/Items.h"

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

namespace ovrel::toolbars {
class ITBModalLoop;
}

namespace ovrel::toolbars::detail {

[[nodiscard]] inline bool HasStyle(const TTBCustomItem* item, TTBItemStyle bits)
{
    return (item->GetItemStyle() & bits) != 0;
}

[[nodiscard]] inline bool IsControlItem(const TTBCustomItem* item)
{
    return dynamic_cast<const TTBControlItem*>(item) != nullptr;
}

[[nodiscard]] inline int RectWidth(const toolkit::TRect& r) { return r.right - r.left; }
[[nodiscard]] inline int RectHeight(const toolkit::TRect& r) { return r.bottom - r.top; }

/// The menu loop that is in place while no other was set: the modal handler over the view's window.
[[nodiscard]] ITBModalLoop& DefaultModalLoop();

/// Keeps a finished loop's done action until it runs. Closing the pop-ups and the handler can free the chosen
/// item (an OnPopup that rebuilds, a command run inside the loop), so the item is watched until then.
class TDoneActionGuard final : public toolkit::TComponent {
public:
    explicit TDoneActionGuard(const TMenuDoneAction& action) : TComponent(nullptr), FAction(action)
    {
        if (FAction.Item != nullptr)
            FAction.Item->FreeNotification(this);
    }
    ~TDoneActionGuard() override
    {
        if (FAction.Item != nullptr)
            FAction.Item->RemoveFreeNotification(this);
    }

    /// The action; an item that went in the meantime leaves nothing to do.
    [[nodiscard]] TMenuDoneAction Take()
    {
        TMenuDoneAction action = FAction;
        if (action.Action == tbdaExecuteItem && action.Item == nullptr)
            action = TMenuDoneAction{};
        return action;
    }

protected:
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == toolkit::opRemove && component == FAction.Item)
            FAction.Item = nullptr;
    }

private:
    TMenuDoneAction FAction;
};

}  // namespace ovrel::toolbars::detail
