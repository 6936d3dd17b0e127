// TXcCustomEdit / TXcEdit: the extended single-line edit. Over the stock edit and the extended
// message layer (clipboard commands that ClipboardCommands lacks are refused) it adds:
// - Alignment of the text (a new window on change);
// - EmptyValue: a placeholder shown in EmptyFontColor while the edit is empty and unfocused;
//   Text reads empty while the placeholder shows, and the placeholder goes when the edit gets
//   the focus. The placeholder works once the edit is loaded (Loaded ran).
// - clipboard commands that also govern the read-only state (only caCopy left: read-only);
//   cut, clear, undo and paste reach the window only when the edit is not read-only;
// - GroupIndex: typing or pasting into one edit clears the other edits of its owner with the
//   same group (-1: no group);
// - ProtectPassword: the text cannot be read through window messages (WM_GETTEXT,
//   WM_GETTEXTLENGTH, WM_CUT, WM_COPY answer 0, EM_SETPASSWORDCHAR is ignored), while Text
//   still reads it; ThemedPassword: the system's password look with the default GUI font;
// - DisabledColor / DisabledTextColor: a disabled edit's background and text colours (with the
//   default colours the window paints itself);
// - HotTrack: flat until the mouse is over the edit; AutoHint: the whole text as a hint when it
//   does not fit; Caret: a caret of its own (TXcCaret); MaxPixel: a limit on the text's width
//   in pixels; the replacement context menu when no PopupMenu is set (UseFixedPopup);
// - DataConnector: a field connector that shows a data source field's text and writes it back
//   when the edit is left (Escape while editing gives the stored text back).
#pragma once

#include <memory>

#include "extctrls/XcCaret.h"
#include "extctrls/XcDataConnector.h"
#include "extctrls/XcExStdCtrls.h"
#include "extctrls/XcMaxPixel.h"

class TXcCustomEdit;

// The connector of an edit: a record change shows the field's text (read-only when the field
// cannot be modified); writing back stores the edit's text and shows it as the source kept it.
class TXcCustomEditDataConnector : public TXcFieldDataConnector {
public:
  explicit TXcCustomEditDataConnector(TXcCustomEdit* AEdit) : FEdit(AEdit) {}
  TXcCustomEdit* GetEdit() const { return FEdit; }
  void CurrentRecordChanged() override;
  void WriteBackData() override;

private:
  TXcCustomEdit* FEdit;
};

class TXcCustomEdit : public TXcExCustomEdit {
public:
  explicit TXcCustomEdit(TComponent* AOwner);
  ~TXcCustomEdit() override;

  // The virtual operations, in this order.
  virtual void SetDisabledColor(TColor Value);
  virtual void SetDisabledTextColor(TColor Value);
  virtual TXcFieldDataConnector* CreateDataConnector();
  // Clears every other edit of the same owner with this edit's GroupIndex (not -1).
  virtual void UpdateGroup();
  // The text ("" while the placeholder shows), read also when the text is protected.
  virtual String GetText();
  virtual void SetText(const String& Value);
  virtual void DoEmptyValueEnter();
  virtual void DoEmptyValueExit();
  virtual void SetFlat(bool Value);

  // Stored on change; only caCopy (or nothing) left makes the edit read-only.
  void SetClipboardCommands(TXcClipboardCommands Value) override;

  TXcMaxPixel* GetMaxPixel() const { return FMaxPixel.get(); }
  void SetMaxPixel(TXcMaxPixel* Value);
  int GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TXcCaret* GetCaret() const { return FCaret.get(); }
  void SetCaret(TXcCaret* Value) { FCaret->Assign(Value); }
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  TColor GetDisabledColor() const { return FDisabledColor; }
  TColor GetDisabledTextColor() const { return FDisabledTextColor; }
  bool GetProtectPassword() const { return FProtectPassword; }
  void SetProtectPassword(bool Value) { FProtectPassword = Value; }
  bool GetUseFixedPopup() const { return FUseFixedPopup; }
  void SetUseFixedPopup(bool Value) { FUseFixedPopup = Value; }
  bool GetAutoHint() const { return FAutoHint; }
  void SetAutoHint(bool Value) { FAutoHint = Value; }
  const String& GetEmptyValue() const { return FEmptyValue; }
  void SetEmptyValue(const String& Value);
  TColor GetEmptyFontColor() const { return FEmptyFontColor; }
  void SetEmptyFontColor(TColor Value) { FEmptyFontColor = Value; }
  // True while the placeholder is on display.
  bool IsEmptyValueShown() const { return FIsEmptyValue; }
  bool GetThemedPassword() const { return FThemedPassword; }
  void SetThemedPassword(bool Value);
  TFont* GetThemedFont() const { return FThemedFont.get(); }
  TXcFieldDataConnector* GetDataConnector() const { return FDataConnector.get(); }
  void SetDataConnector(TXcFieldDataConnector* Value) { FDataConnector->Assign(Value); }
  bool GetFlat() const { return !GetCtl3D(); }
  bool IsFlatStored() const { return !GetParentFlat(); }
  bool GetParentFlat() const { return GetParentCtl3D(); }
  void SetParentFlat(bool Value) { SetParentCtl3D(Value); }
  // The window's password character when it has a window.
  char GetPasswordChar();
  void SetPasswordChar(char Value);
  bool IsPasswordCharStored() { return GetPasswordChar() != 0 && !FThemedPassword; }
  // While the form is loading they are kept and applied in Loaded.
  int GetSelStart() { return TXcExCustomEdit::GetSelStart(); }
  void SetSelStart(int Value);
  int GetSelLength() { return TXcExCustomEdit::GetSelLength(); }
  void SetSelLength(int Value);

  // Values of older stored forms: "Ctl3D" (its negation becomes Flat), "ParentCtl3D" (becomes
  // ParentFlat) and "Modified" (ignored). False for any other name.
  bool ReadStoredValue(const String& Name, bool Value);

  void Loaded() override;
  void DefaultHandler(TMessage& Message) override;
  TPopupMenu* GetPopupMenu() const override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  void Change() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DoEnter() override;
  void DoExit() override;
  bool DispatchHook(TMessage& Message) override;
  String GetTextValue() override { return GetText(); }
  void SetTextValue(const String& Value) override { ApplyText(Value, false); }

  void HookSetFocus(HWND FocusedWnd) override;
  void HookKillFocus(HWND FocusedWnd) override;
  bool HookEraseBackground(TCanvas* Canvas, LPARAM Param) override;
  void HookEnabledChanged() override;
  void HookMouseEnter(TControl* Control) override;
  void HookMouseLeave(TControl* Control) override;
  bool HookHintShow(THintInfo& Info) override;

  // MaxPixel's change notification: the limit applied to the text.
  void ApplyPixelLimit(TObject* Sender);

private:
  // The window's text as it stands (placeholder included), protection aside.
  String RawText();
  void SetRawText(const String& Value, bool Notify);
  void ApplyText(const String& Value, bool Notify);
  void ApplyPixelLimitToText();
  void CaretChanged(TObject* Sender);
  void SetFlatKeepingSelection(bool Value);
  bool PaintDisabled(TMessage& Message);
  bool UsesDefaultDisabledColors() const;
  bool Loading() const { return (GetComponentState() & csLoading) != 0; }
  bool Designing() const { return (GetComponentState() & csDesigning) != 0; }
  template <class F>
  auto Unprotected(F&& Action);

  std::unique_ptr<TXcMaxPixel> FMaxPixel;
  int FGroupIndex = -1;
  TAlignment FAlignment = taLeftJustify;
  std::unique_ptr<TXcCaret> FCaret;
  bool FHotTrack = false;
  TColor FDisabledColor = clWindow;
  TColor FDisabledTextColor = clGrayText;
  bool FProtectPassword = false;
  int FStreamedSelLength = 0;
  int FStreamedSelStart = 0;
  bool FUseFixedPopup = true;
  bool FAutoHint = false;
  String FEmptyValue;
  bool FIsEmptyValue = false;
  TColor FEmptyFontColor = clGrayText;
  TColor FOldFontColor = clWindowText;
  bool FLoaded = false;
  bool FThemedPassword = false;
  std::unique_ptr<TFont> FThemedFont;
  std::unique_ptr<TXcFieldDataConnector> FDataConnector;
  std::unique_ptr<TControlCanvas> FPaintCanvas;
};

class TXcEdit : public TXcCustomEdit {
public:
  explicit TXcEdit(TComponent* AOwner) : TXcCustomEdit(AOwner) {}
};
