// TskSkinSpinEdit: a numeric input, an inner edit for typing the value and two stacked arrow
// buttons that step it, drawn from the "spinedit" record of the skin or in a default look. The
// value is a Double shown as a whole number (vtInteger) or with Decimal decimals (vtFloat).
//
// The contract callers rely on:
// - Value := x stores x clamped to MinValue .. MaxValue (no clamping while both are 0; with
//   MinValue above MaxValue the lower bound is tested first), shows it and fires OnChange once,
//   also when the value did not change. A set made inside OnChange only updates the shown text.
// - Typing: text that is not a number of the value type (empty, "-" alone, a misplaced minus or
//   separator, a number beyond the integer range) is invalid text: the value keeps its last
//   valid value and the text stays until the edit loses the focus, which shows the value again.
//   A valid text sets the clamped value (OnChange when it changed); text that typing can no
//   longer bring into range is replaced by the clamped value at once.
// - Buttons, the Up and Down keys and the wheel step by Increment and fire OnChange, then
//   OnUpButtonClick / OnDownButtonClick; a held button repeats (first tick 500 ms after the
//   press, then every 100 ms; the repeat steps fire OnChange only).
#pragma once

#include "platform/vcl/Timer.h"
#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinRepeatTimer.h"
#include "skin/input/SkinCustomEdit.h"

enum TskValueType { vtInteger, vtFloat };

class TskSkinSpinEdit : public TskSkinCustomControl {
public:
  explicit TskSkinSpinEdit(TComponent* AOwner);
  ~TskSkinSpinEdit() override;

  double GetValue() const { return FValue; }
  void SetValue(double AValue);
  double GetMinValue() const { return FMinValue; }
  void SetMinValue(double AValue);
  double GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(double AValue);
  double GetIncrement() const { return FIncrement; }
  void SetIncrement(double AValue) { FIncrement = AValue; }
  TskValueType GetValueType() const { return FValueType; }
  void SetValueType(TskValueType AValue);
  Byte GetDecimal() const { return FDecimal; }
  void SetDecimal(Byte AValue) { FDecimal = AValue; }
  bool GetEditorEnabled() const;
  void SetEditorEnabled(bool AValue);
  int GetMaxLength() const;
  void SetMaxLength(int AValue);
  TColor GetDefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor AValue);
  bool GetUseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool AValue) { FUseSkinSize = AValue; }

  // The inner edit (owned).
  TskSkinNumEdit* GetEdit() const { return FEdit; }

  // Value + Increment, then OnUpButtonClick; Value - Increment, then OnDownButtonClick.
  void StepUp();
  void StepDown();
  // The value x clamped to the limits.
  double ClampValue(double X) const;
  // The value as it is shown.
  String FormatValue(double X) const;
  // Whether S is a number text of the value type (see the header comment).
  bool IsValidText(const String& S) const;

  // The buttons' rectangles (0 up, 1 down) for the present size and skin.
  TRect GetButtonRect(int Index) const { return FButtons[Index].R; }

  void GetSkinData() override;
  void ChangeSkinData() override;
  void DefaultFontChanged() override;
  void CalcSize(int& W, int& H) override;
  void SetControlRegion() override;
  void Invalidate() override;

  TNotifyEvent OnChange;
  TNotifyEvent OnUpButtonClick;
  TNotifyEvent OnDownButtonClick;
  TKeyEvent OnEditKeyDown;
  TKeyEvent OnEditKeyUp;
  TKeyPressEvent OnEditKeyPress;
  TNotifyEvent OnEditEnter;
  TNotifyEvent OnEditExit;

protected:
  virtual void EditKeyDown(Word& Key, TShiftState Shift);
  virtual void EditKeyUp(Word& Key, TShiftState Shift);
  virtual void EditKeyPress(char& Key);
  virtual void EditEnter();
  virtual void EditExit();
  virtual void Change();
  virtual void EditMouseEnter();
  virtual void EditMouseLeave();

  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void WndProc(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;

private:
  struct TButton {
    TRect R{};
    bool MouseIn = false;
    bool Down = false;
  };

  void CalcRects();
  void AdjustEditHeight();
  void EditChange();
  void SetEditTextFromCode(const String& S);
  bool Skinned() const { return FIndex != -1; }
  bool HotLookAvailable() const { return Skinned() && !IsRectEmpty(&ActiveSkinRect); }
  void ApplyEditFontColor();

  void TestActive(int X, int Y);
  void ButtonDown(int I);
  void ButtonUp(int I);
  void ButtonEnter(int I);
  void ButtonLeave(int I);
  void RepeatStep();
  void DrawDefaultButton(TCanvas* C, int I);

  TskSkinNumEdit* FEdit = nullptr;
  double FValue = 0;
  double FMinValue = 0;
  double FMaxValue = 0;
  double FIncrement = 1;
  TskValueType FValueType = vtInteger;
  Byte FDecimal = 2;
  TColor FDefaultColor = clWindow;
  bool FUseSkinSize = true;

  bool FromCode = false;
  bool TextFromEdit = false;
  bool MouseIn = false;
  bool EditFocused = false;
  TButton FButtons[2];
  int FActive = -1;
  int FOldActive = -1;
  int FCaptured = -1;
  int FTimerMode = 0;
  TskRepeatTimer FRepeat;

  // Copies of the "spinedit" record.
  TRect ActiveSkinRect{};
  String FontName;
  TFontStyles FontStyle = 0;
  int FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, DisabledFontColor = 0;
  TRect UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  TRect DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
  int FixedLeft = 0, FixedRight = 0;
};
