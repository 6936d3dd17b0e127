// The class library's rich edit (TCustomRichEdit / TRichEdit) on the "RICHEDIT20A" window
// class: a read-only view of plain text or a small RTF subset, with its lines as a string list.
#pragma once

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/Forms.h"

// Registers the "RICHEDIT20A" window class (once; later calls do nothing).
void RegisterRichEditClass();

class TCustomRichEdit;

// The lines of a rich edit: reading gives the plain text line by line; loading a file or a
// stream takes RTF (or plain text when it is not RTF, or with PlainText); any edit through the
// list replaces the whole text with plain text.
class TRichEditStrings : public TStrings {
public:
  explicit TRichEditStrings(TCustomRichEdit* AOwner) : FOwner(AOwner) {}
  String Get(int Index) const override;
  int GetCount() const override;
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const String& S) override;
  void Put(int Index, const String& S) override;
  String GetText() const override;
  void SetText(const String& Value) override;
  void LoadFromStream(TStream* Stream) override;

private:
  std::vector<String> Split() const;
  void Join(const std::vector<String>& Lines);
  TCustomRichEdit* FOwner;
};

class TCustomRichEdit : public TWinControl {
public:
  explicit TCustomRichEdit(TComponent* AOwner);

  TStrings* GetLines() const { return FLines.get(); }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Loading takes the content as plain text even when it is RTF.
  bool GetPlainText() const { return FPlainText; }
  void SetPlainText(bool Value) { FPlainText = Value; }
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value) { FHideSelection = Value; }
  // Tab belongs to the edit rather than to the dialog around it; without WantReturns Enter
  // goes to the dialog whatever the window class says.
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  bool GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  int GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value; }
  // Shows Content: RTF when it starts as RTF (and PlainText is off), else plain text.
  void SetContent(const String& Content);
  void Clear() { SetContent(""); }

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  // The text changed (OnChange).
  virtual void Change();
  String GetTextValue() override;
  void SetTextValue(const String& Value) override;

private:
  friend class TRichEditStrings;
  void ApplyColors();
  std::unique_ptr<TRichEditStrings> FLines;
  String FContent;  // what the window shows, as it was given (RTF or text)
  bool FReadOnly = false;
  bool FWordWrap = true;
  TScrollStyle FScrollBars = ssNone;
  TBorderStyle FBorderStyle = bsSingle;
  bool FPlainText = false;
  bool FHideSelection = true;
  int FMaxLength = 0;
  bool FWantTabs = false;
  bool FWantReturns = true;
};

class TRichEdit : public TCustomRichEdit {
public:
  using TCustomRichEdit::TCustomRichEdit;
};
