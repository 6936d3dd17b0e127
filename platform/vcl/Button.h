// TButton: a push button drawn in the plain look, with a modal result, default (Enter) and
// cancel (Esc) roles and its caption's accelerator. The standard button of dialogs.
#pragma once

#include "platform/vcl/Controls.h"

class TButton : public TCustomControl {
public:
  explicit TButton(TComponent* AOwner);

  bool GetDefault() const { return FDefault; }
  void SetDefault(bool Value);
  bool GetCancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  int GetModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  // Sets the form's ModalResult to the button's, then fires OnClick.
  void Click() override;

protected:
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void KeyUp(Word& Key, TShiftState Shift) override;

private:
  bool FDefault = false;
  bool FCancel = false;
  bool FActive = false;
  bool FPressed = false;
  int FModalResult = 0;
};
