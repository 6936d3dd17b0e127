// TskSkinMessage: the program's skinned message box. Each call builds a TskMessageForm (a dialog
// with its own skinned frame, an icon, the message, a row of push buttons and, on request, a
// "do not display again" check box), shows it modally over the other windows, and frees it.
//
// Contract callers rely on:
// - The result is the ModalResult of the button pressed (1 OK, 2 Cancel, 3 Abort, 4 Retry,
//   5 Ignore, 6 Yes, 7 No, 8 All, 9 No to all, 10 Yes to all); the system's close command gives 2;
//   Help (0) does not close the dialog. Enter presses the default button (OK, else Yes, else
//   Retry), Escape the cancel button (Cancel, else No, else OK).
// - The dialog is centred on the screen and always fits it: a very long or many-line message is
//   wrapped to the screen's width and cut to its height.
// - ShowAgainFlagValue is written back after every call, also when showing the dialog failed.
// - An installed dialog handler (SetDialogHandler) answers instead of the dialog, as it does for
//   the plain message dialogs.
// - Message boxes may nest (a button handler may ask again); each call is independent.
// GUI thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/vcl/Forms.h"
#include "skin/foundation/SkinData.h"

class TskSkinnedForm;
class TskSkinCheckRadioBox;
class TskSkinStdLabel;

// The button set: bit 0 yes ... bit 10 help, in this order.
using TskMsgDlgButtons = std::uint16_t;
enum : TskMsgDlgButtons {
  skmbYes = 1u << 0,
  skmbNo = 1u << 1,
  skmbOK = 1u << 2,
  skmbCancel = 1u << 3,
  skmbAbort = 1u << 4,
  skmbRetry = 1u << 5,
  skmbIgnore = 1u << 6,
  skmbAll = 1u << 7,
  skmbNoToAll = 1u << 8,
  skmbYesToAll = 1u << 9,
  skmbHelp = 1u << 10,
};
enum TskMsgDlgType : Byte { skmtWarning, skmtError, skmtInformation, skmtConfirmation, skmtCustom };

using TskMessageSetShowPosEvent = std::function<void(int& AX, int& AY, int AWidth, int AHeight)>;

// The dialog form of one message.
class TskMessageForm : public TForm {
public:
  // Left below -10000: centred on the screen; otherwise placed at (ALeft, ATop).
  TskMessageForm(TComponent* AOwner, int ALeft, int ATop);
  void HelpButtonClick(TObject* Sender);
  TskSkinnedForm* DSF = nullptr;
  TskSkinCheckRadioBox* CheckBox = nullptr;
  TskSkinStdLabel* MessageLabel = nullptr;
  int HelpContext = 0;
};

class TskSkinMessage : public TComponent {
public:
  explicit TskSkinMessage(TComponent* AOwner);
  ~TskSkinMessage() override;

  int MessageDlg(const String& Msg, TskMsgDlgType DlgType, TskMsgDlgButtons Buttons, int HelpCtx);
  int MessageDlgCaption(const String& Msg, const String& ACaption, TskMsgDlgType DlgType, TskMsgDlgButtons Buttons,
                        int HelpCtx);

  TskSkinData* GetSkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  TskSkinData* GetCtrlSkinData() const { return FCtrlSkinData; }
  void SetCtrlSkinData(TskSkinData* Value);
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  TFont* GetDefaultButtonFont() const { return FDefaultButtonFont.get(); }
  void SetDefaultButtonFont(TFont* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  String ButtonSkinDataName = "button";
  String MessageLabelSkinDataName = "stdlabel";
  bool UseSkinFont = true;
  bool AlphaBlend = false;
  bool AlphaBlendAnimation = false;
  Byte AlphaBlendValue = 200;
  bool ShowAgainFlag = false;
  bool ShowAgainFlagValue = false;
  // Kept for streamed forms; the dialog is always centred.
  TskMessageSetShowPosEvent OnSetShowPos;

  // Called with each dialog once it is built and before it is shown (tests look at it; nothing
  // else sets it).
  std::function<void(TskMessageForm*)> OnDialogBuilt;

  // The button height for the current control skin (25, or the height of the button record).
  int ButtonHeight() const;
  // The text of a button (bit 0..10) or of a dialog type's caption.
  String ButtonText(int Bit) const;
  String TypeCaption(TskMsgDlgType DlgType) const;

private:
  TskMessageForm* CreateDialog(const String& Msg, const String& ACaption, TskMsgDlgType DlgType,
                               TskMsgDlgButtons Buttons);
  int Answer(const String& Msg, const String& ACaption, TskMsgDlgType DlgType, TskMsgDlgButtons Buttons, int HelpCtx);
  int Run(TskMessageForm* Form, int HelpCtx);
  TskSkinData* FSkinData = nullptr;
  TskSkinData* FCtrlSkinData = nullptr;
  std::unique_ptr<TFont> FDefaultFont;
  std::unique_ptr<TFont> FDefaultButtonFont;
};

// Draws the 32 x 32 system icon IconId (32513 hand, 32514 question, 32515 exclamation, 32516
// asterisk) at (X, Y); nothing for other ids.
void DrawMessageIcon(TCanvas* Canvas, int X, int Y, int IconId);
