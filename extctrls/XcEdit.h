// TXcEdit: the extended single-line edit as forms use it: the stock edit's Text and Visible on
// the extended message layer (clipboard commands that ClipboardCommands lacks are refused).
// The main window keeps the command line of the tool started last in one.
#pragma once

#include "extctrls/XcExStdCtrls.h"

class TXcEdit : public TXcExCustomEdit {
public:
  explicit TXcEdit(TComponent* AOwner) : TXcExCustomEdit(AOwner) {}
};
