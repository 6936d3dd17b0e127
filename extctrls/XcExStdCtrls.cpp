#include "extctrls/XcExStdCtrls.h"

TXcExCustomEdit::TXcExCustomEdit(TComponent* AOwner) : TXcExWinControlLayer<TCustomEdit>(AOwner) {}

bool TXcExCustomEdit::DispatchHook(TMessage& Message)
{
  TXcClipboardCommand Needed;
  switch (Message.Msg) {
    case WM_CUT: Needed = caCut; break;
    case WM_COPY: Needed = caCopy; break;
    case WM_PASTE: Needed = caPaste; break;
    case WM_CLEAR: Needed = caClear; break;
    case WM_UNDO:
    case EM_UNDO: Needed = caUndo; break;
    default: return TXcExWinControlLayer<TCustomEdit>::DispatchHook(Message);
  }
  if (FClipboardCommands & XcCommand(Needed)) return false;  // the stock edit does it
  Message.Result = 1;
  return true;
}
