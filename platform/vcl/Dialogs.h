// Message and input dialogs as plain modal forms: ShowMessage, MessageDlg, InputBox,
// InputQuery. A dialog handler (SetDialogHandler) answers them without showing anything, for
// tests and for programs that run without a user.
#pragma once

#include <functional>

#include "platform/vcl/Forms.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons of a message dialog (a set).
using TMsgDlgButtons = std::uint32_t;
enum : TMsgDlgButtons {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
  mbAll = 1u << 7,
  mbNoToAll = 1u << 8,
  mbYesToAll = 1u << 9,
  mbHelp = 1u << 10,
};
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbYesAllNoAllCancel = mbYes | mbYesToAll | mbNo | mbNoToAll | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;
constexpr TMsgDlgButtons mbAbortIgnore = mbAbort | mbIgnore;

// What a dialog would show; a handler answers with a modal result and, for input dialogs, the
// text in Value (which holds the default when called).
struct TDialogRequest {
  enum TKind { dkMessage, dkInput };
  TKind Kind = dkMessage;
  String Caption;
  String Text;  // the message or the prompt
  TMsgDlgType DlgType = mtCustom;
  TMsgDlgButtons Buttons = mbOK;
  String Value;
};
using TDialogHandler = std::function<int(TDialogRequest& Request)>;

// Installs the answering function (nullptr: dialogs are shown as modal forms again).
void SetDialogHandler(TDialogHandler Handler);
// The installed handler (empty when dialogs are shown); other dialogs of the program answer
// through it too.
const TDialogHandler& GetDialogHandler();

// A form with the message, an icon-less layout and the buttons (each with its modal result;
// the first of OK/Yes is the default button, Cancel/No/OK the cancel button).
TForm* CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// X, Y: the dialog's top-left corner (-1: centred on the screen).
int MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
void ShowMessage(const String& Msg);
// The text typed, or Default when cancelled.
String InputBox(const String& ACaption, const String& APrompt, const String& ADefault);
// True (and Value changed) when confirmed with OK.
bool InputQuery(const String& ACaption, const String& APrompt, String& Value);
