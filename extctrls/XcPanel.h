// TXcPanel: the extended panel as forms use it (the main window's run-button panel). Visible
// shows and hides it with its children; Width and Height read and set the size as a plain
// panel's. When a change of the bounds changes the size, OnWidthChanged (width changed),
// OnHeightChanged (height changed) and then OnParentResize (either changed) are raised, each
// only when assigned; a move that keeps the size raises none of them.
#pragma once

#include "extctrls/XcExtComponent.h"

class TXcPanel : public TXcCustomPanel {
public:
  explicit TXcPanel(TComponent* AOwner) : TXcCustomPanel(AOwner) {}

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TNotifyEvent OnWidthChanged;
  TNotifyEvent OnHeightChanged;
  TNotifyEvent OnParentResize;
};
