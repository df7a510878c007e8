#pragma once
// State and helpers the control sources share: the mouse and capture controls, the focus of each root, and
// the guarded walks over controls that a handler may free.

#include "toolkit/Controls.h"

#include <unordered_map>
#include <vector>

namespace ovrel::toolkit::controls_detail {

/// The control under the mouse and the control holding it; cleared when they are freed.
extern TControl* gMouseControl;
extern TControl* gCaptureControl;

/// The control each root window (a form or a parentless control) last handed the focus to.
std::unordered_map<const TWinControl*, TWinControl*>& RootFocus();

TWinControl* RootOf(TControl* control);
bool IsAncestorOrSelf(const TControl* ancestor, const TControl* control);
/// Whether control or one of its parents is being freed.
bool InDestroyedTree(const TControl* control);
/// Moves the focus bookkeeping of newFocus's root to it: CM_EXIT up from the old control, CM_ENTER down.
void FocusChanged(TWinControl* newFocus);
bool PointIn(const ui::RECT& r, ui::POINT p);
ui::POINT PointFromLParam(std::intptr_t lParam);
/// Tells whether a component was freed while it was watched, e.g. by one of its own event handlers.
class TFreeWatch final : public TComponent {
public:
    explicit TFreeWatch(TComponent* watched) : TComponent(nullptr), FWatched(watched)
    {
        watched->FreeNotification(this);
    }
    ~TFreeWatch() override
    {
        if (FWatched != nullptr)
            FWatched->RemoveFreeNotification(this);
    }
    [[nodiscard]] bool Freed() const { return FWatched == nullptr; }

protected:
    void Notification(TComponent* component, TOperation operation) override
    {
        if (operation == opRemove && component == FWatched)
            FWatched = nullptr;
        TComponent::Notification(component, operation);
    }

private:
    TComponent* FWatched;
};

/// Sends CM_MOUSELEAVE to the old mouse control and CM_MOUSEENTER to target when they differ.
void DeliverMouseEnterLeave(TControl* target);

}  // namespace ovrel::toolkit::controls_detail
