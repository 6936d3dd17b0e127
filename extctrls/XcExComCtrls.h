// The message layer over the stock track bar (see XcExControls.h).
#pragma once

#include "extctrls/XcExControls.h"
#include "platform/vcl/TrackBarCtrl.h"

class TXcExTrackBar : public TXcExWinControlLayer<TTrackBar> {
public:
  explicit TXcExTrackBar(TComponent* AOwner) : TXcExWinControlLayer<TTrackBar>(AOwner) {}
};
