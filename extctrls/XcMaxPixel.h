// TXcMaxPixel: a limit on the width in pixels a control's text may take. TrimToWidth removes
// characters from the end of a text until it fits, measured on the control with the control's
// font (UseControlFont) or the limit's own Font. Length 0 means no limit.
#pragma once

#include <memory>

#include "platform/vcl/Controls.h"
#include "platform/vcl/GraphicsObjects.h"

class TXcMaxPixel : public TPersistent {
public:
  explicit TXcMaxPixel(TControl* AControl);
  ~TXcMaxPixel() override;
  TXcMaxPixel(const TXcMaxPixel&) = delete;
  TXcMaxPixel& operator=(const TXcMaxPixel&) = delete;

  bool GetUseControlFont() const { return FUseControlFont; }
  void SetUseControlFont(bool Value);
  int GetLength() const { return FLength; }
  void SetLength(int Value);
  TFont* GetFont() const { return FFont.get(); }
  // Copies Value (unless it is the own font); any change of the own font reports a change.
  void SetFont(TFont* Value);
  // The font is kept in stored forms only when the control's font is not used.
  bool IsFontStored() const { return !FUseControlFont; }

  // Shortens Text (never splitting a UTF-8 character) until it fits; True when there is no
  // limit or the text was too wide, False when it already fitted.
  bool TrimToWidth(String& Text, TFont* ControlFont);

  TNotifyEvent OnChange;

private:
  void Changed();
  TControl* FControl;
  bool FUseControlFont = true;
  int FLength = 0;
  std::unique_ptr<TFont> FFont;
};
