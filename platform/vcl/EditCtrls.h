// The class library's edit controls over the "EDIT" window class: TCustomEdit (the single-line
// edit with selection, clipboard, undo, password, read-only and text limit), TEdit, the masked
// edit base TCustomMaskEdit, and the multi-line TCustomMemo/TMemo whose Lines read and write
// the window's text line by line.
//
// The properties live in the control while it has no window and are carried over when the
// window is made again (RecreateWnd keeps text, modified flag, selection and scroll position).
// A wheel turn the control's OnMouseWheel leaves goes to the window (a multi-line edit scrolls;
// a single-line one passes it on to its parent). A change of Ctl3D (CM_CTL3DCHANGED) gives a
// single-bordered edit a new window with the other border, and AutoSize the other height.
#pragma once

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrlsConsts.h"

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent* AOwner);

  bool GetAutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  // With AutoSize a single-bordered edit takes the height of its font.
  void SetAutoSize(bool Value) override;
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TEditCharCase GetCharCase() const { return FCharCase; }
  // Also converts the text already there.
  void SetCharCase(TEditCharCase Value);
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  int GetMaxLength() const { return FMaxLength; }
  // 0 (or below) = no limit of the control's own.
  void SetMaxLength(int Value);
  bool GetModified();
  void SetModified(bool Value);
  bool GetOEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value);
  char GetPasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char Value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool GetCanUndo();

  // The selection (byte offsets). Reading or setting makes the window.
  int GetSelStart();
  void SetSelStart(int Value);
  int GetSelLength();
  void SetSelLength(int Value);
  String GetSelText();
  // Replaces the selection (not undoable, as the class library does).
  void SetSelText(const String& Value);
  // Copies the selection into Buffer (NUL-terminated, at most BufSize - 1 bytes); answers the
  // number of bytes copied.
  int GetSelTextBuf(char* Buffer, int BufSize);
  void SetSelTextBuf(const char* Buffer);

  virtual void Clear();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  void ClearUndo();
  void SelectAll();

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  // The text changed (typing, clipboard, undo, Text := ...): fires OnChange.
  virtual void Change();
  virtual void DoSetMaxLength(int Value);
  // EN_CHANGE from the window comes back as CN_COMMAND.
  virtual void CNCommand(TMessage& Message);
  virtual void WMSetFont(TMessage& Message);
  void CMTextChanged(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void UpdateHeight();
  void AdjustHeight();
  bool IsMultiLineWindow();

  bool FCreating = false;

private:
  void SaveScrollPos();
  void RestoreScrollPos();

  bool FAutoSelect = true;
  TBorderStyle FBorderStyle = bsSingle;
  TEditCharCase FCharCase = ecNormal;
  bool FHideSelection = true;
  int FMaxLength = 0;
  bool FModified = false;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  bool FReadOnly = false;
  int FSavedSelStart = 0;
  int FSavedSelEnd = 0;
  // The scroll position of the window last destroyed: its first visible line and how far its
  // text was scrolled to the left, in pixels (-1: nothing to restore).
  int FSavedTopLine = -1;
  int FSavedXOffset = 0;
};

class TEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
};

// The masked edit base. The edit mask is kept and published; text is taken as it stands
// (EditText is Text), so a mask only reports IsMasked.
class TCustomMaskEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;

  const String& GetEditMask() const { return FEditMask; }
  void SetEditMask(const String& Value);
  bool IsMasked() const { return !FEditMask.empty(); }
  // The text as typed, with the mask's literals.
  String GetEditText() { return GetText(); }
  void SetEditText(const String& Value) { SetText(Value); }
  // Checks the text against the mask; nothing to check without one.
  virtual void ValidateEdit() {}
  void Clear() override;

protected:
  void CMExit(TMessage& Message) override;

private:
  String FEditMask;
};

class TMaskEdit : public TCustomMaskEdit {
public:
  using TCustomMaskEdit::TCustomMaskEdit;
};

class TCustomMemo;

// The lines of a memo: the window's text split at line ends (the wrapped lines when the memo
// wraps, as the window shows them). Without a window they work on the memo's stored text.
class TMemoStrings : public TStrings {
public:
  explicit TMemoStrings(TCustomMemo* AMemo) : FMemo(AMemo) {}
  String Get(int Index) const override;
  int GetCount() const override;
  void Put(int Index, const String& S) override;
  void Insert(int Index, const String& S) override;
  void Delete(int Index) override;
  void Clear() override;
  String GetText() const override;
  void SetText(const String& Value) override;

protected:
  void SetUpdateState(bool Updating) override;

private:
  HWND Window() const;
  TCustomMemo* FMemo;
};

class TCustomMemo : public TCustomEdit {
public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  TStrings* GetLines() const { return FLines.get(); }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // Column (x) and line (y) of the caret.
  TPoint GetCaretPos();
  void SetCaretPos(const TPoint& Value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
  void KeyPress(char& Key) override;
  virtual void WMGetDlgCode(TMessage& Message);

private:
  std::unique_ptr<TMemoStrings> FLines;
  TAlignment FAlignment = taLeftJustify;
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
public:
  using TCustomMemo::TCustomMemo;
};
