// THintWindow: the small pop-up window that shows a control's hint (plain look: info colours,
// a one-pixel border). Skinned hint windows derive from it.
#pragma once

#include "platform/vcl/Controls.h"

class THintWindow : public TCustomControl {
public:
  explicit THintWindow(TComponent* AOwner);
  // Shows Hint in Rect (screen coordinates), above every other window, without activating. A
  // rectangle reaching past the desktop is moved back onto it; its size stays.
  virtual void ActivateHint(const TRect& Rect, const String& AHint);
  // ActivateHint for a hint that carries data of its own (the plain window ignores AData).
  virtual void ActivateHintData(const TRect& Rect, const String& AHint, void* AData);
  // The size Hint needs, wrapped at MaxWidth, placed at (0, 0): the text's lines in the
  // window's font (at least one line's height), HintMargin pixels around them and the border.
  virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData = nullptr);
  // The space between the border and the text.
  static constexpr int HintMargin = 2;
  // Whether Msg ends the hint: keys, mouse buttons, commands and activation changes.
  virtual bool IsHintMsg(const MSG& Msg);
  // Hides the window and gives its handle back.
  void ReleaseHandle();

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  // Visible shows and hides the window itself (it has no parent to do it).
  void WndProc(TMessage& Message) override;
};
