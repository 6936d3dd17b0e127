// THintWindow: the small pop-up window that shows a control's hint (plain look: info colours,
// a one-pixel border). Skinned hint windows derive from it.
#pragma once

#include "platform/vcl/Controls.h"

class THintWindow : public TCustomControl {
public:
  explicit THintWindow(TComponent* AOwner);
  // Shows Hint in Rect (screen coordinates), above every other window, without activating.
  virtual void ActivateHint(const TRect& Rect, const String& AHint);
  // The size Hint needs, wrapped at MaxWidth, placed at (0, 0).
  virtual TRect CalcHintRect(int MaxWidth, const String& AHint);
  // Hides the window (gives its handle back).
  void ReleaseHandle();

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
};
