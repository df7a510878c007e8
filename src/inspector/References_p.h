#pragma once
// A component's reference to another it does not own, kept valid by free notification.

#include "toolkit/Classes.h"

namespace ovrel::inspector {

/// Points field at value and asks to hear when value is freed (the holder's Notification clears the field);
/// the previous component is let go.
template <class T> void SetReference(toolkit::TComponent* holder, T*& field, T* value)
{
    if (value == field)
        return;
    if (field != nullptr)
        field->RemoveFreeNotification(holder);
    field = value;
    if (field != nullptr)
        field->FreeNotification(holder);
}

}  // namespace ovrel::inspector
