// A control's reference to another component (an image list, a skin data ...) kept safe: the
// control asks for a free notification from the component it points at, so that its Notification
// can clear the reference when that component goes, and drops the request when it points elsewhere.
#pragma once

#include "platform/vcl/Component.h"

// Points Field at Value for the component Self: drops Self's free notification from the old
// component and asks for one from Value. Answers false, changing nothing, when Field already is
// Value. Either may be null.
template <typename T>
bool SetComponentReference(TComponent* Self, T*& Field, T* Value)
{
  if (Field == Value)
    return false;
  if (Field)
    Field->RemoveFreeNotification(Self);
  Field = Value;
  if (Value)
    Value->FreeNotification(Self);
  return true;
}
