// The message layer over the stock edit and list box (see XcExControls.h). The edit can also
// refuse clipboard commands: a cut, copy, paste, clear or undo that ClipboardCommands lacks is
// answered with 1 and does nothing.
#pragma once

#include <cstdint>

#include "extctrls/XcExControls.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/ListBoxCtrl.h"
#include "platform/vcl/StdCtrlsConsts.h"

enum TXcClipboardCommand { caCopy, caCut, caPaste, caClear, caUndo };
using TXcClipboardCommands = std::uint8_t;
constexpr TXcClipboardCommands XcCommand(TXcClipboardCommand Command)
{
  return static_cast<TXcClipboardCommands>(1u << Command);
}
constexpr TXcClipboardCommands XcAllClipboardCommands = 0x1F;

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
