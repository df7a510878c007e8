#include "app/VekForm.h"

#include "app/Localizer.h"

namespace ovrel::app {

TVekForm::TVekForm(toolkit::TComponent* owner) : TForm(owner)
{
    if (TVekLocalizer* localizer = GetLocalizer(); localizer != nullptr) {
        localizer->AddLocalizeHandler(toolkit::TMethodEvent(this, &TVekForm::LocalizeHandler));
        FRegistered = true;
    }
}

TVekForm::~TVekForm()
{
    // The localiser may be gone already: it clears the global when it is freed.
    if (TVekLocalizer* localizer = GetLocalizer(); localizer != nullptr)
        localizer->RemoveLocalizeHandlers(this);
}

void TVekForm::Localize() {}

void TVekForm::Constructed()
{
    if (FConstructed)
        return;
    FConstructed = true;
    if (FPending) {
        FPending = false;
        Localize();
    }
}

void TVekForm::LocalizeHandler()
{
    if (FConstructed)
        Localize();
    else
        FPending = true;
}

}  // namespace ovrel::app
