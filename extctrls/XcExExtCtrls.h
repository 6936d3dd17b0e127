// The message layer over the stock panel (see XcExControls.h).
#pragma once

#include "extctrls/XcExControls.h"
#include "platform/vcl/ExtCtrls.h"

class TXcExCustomPanel : public TXcExWinControlLayer<TCustomPanel> {
public:
  explicit TXcExCustomPanel(TComponent* AOwner) : TXcExWinControlLayer<TCustomPanel>(AOwner) {}
};
