#include "platform/win/SystemMenus.h"

bool GetSystemEditMenuString(UINT Command, String& Text, int MaxLength)
{
  (void)Command;
  (void)MaxLength;
  Text.clear();
  return false;
}
