// The message layer over the stock edit and list box (see XcExControls.h). The edit can also
// refuse clipboard commands: a cut, copy, paste, clear or undo that ClipboardCommands lacks is
// answered with 1 and does nothing.
#pragma once

#include <cstdint>

#include "extctrls/XcExControls.h"
#include "extctrls/XcTypes.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/ListBoxCtrl.h"
#include "platform/vcl/StdCtrlsConsts.h"

class TXcExCustomEdit : public TXcExWinControlLayer<TCustomEdit> {
public:
  explicit TXcExCustomEdit(TComponent* AOwner);

  TXcClipboardCommands GetClipboardCommands() const { return FClipboardCommands; }
  virtual void SetClipboardCommands(TXcClipboardCommands Value) { FClipboardCommands = Value; }

protected:
  bool DispatchHook(TMessage& Message) override;

private:
  TXcClipboardCommands FClipboardCommands = XcAllClipboardCommands;
};

class TXcExCustomListBox : public TXcExWinControlLayer<TCustomListBox> {
public:
  explicit TXcExCustomListBox(TComponent* AOwner) : TXcExWinControlLayer<TCustomListBox>(AOwner) {}
};
