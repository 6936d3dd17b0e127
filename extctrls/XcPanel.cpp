#include "extctrls/XcPanel.h"

void TXcPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  const int OldWidth = GetWidth(), OldHeight = GetHeight();
  TXcCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
  const bool WidthChanged = GetWidth() != OldWidth, HeightChanged = GetHeight() != OldHeight;
  if (WidthChanged && OnWidthChanged) OnWidthChanged(this);
  if (HeightChanged && OnHeightChanged) OnHeightChanged(this);
  if ((WidthChanged || HeightChanged) && OnParentResize) OnParentResize(this);
}
