#include "extctrls/XcExtComponent.h"

bool TXcCustomPanel::ReadStoredValue(const String& Name, bool Value)
{
  if (Name == "Ctl3D") {
    SetCtl3D(Value);
    return true;
  }
  if (Name == "ParentCtl3D") {
    SetParentCtl3D(Value);
    return true;
  }
  return false;
}

void TXcCustomPanel::Paint()
{
  TXcExCustomPanel::Paint();
  PaintContent(GetClientRect());
}

void TXcCustomPanel::PaintContent(const TRect& Rect)
{
  if (OnPaintContent) OnPaintContent(this, GetCanvas(), Rect);
}
