// TskSkinUpDown: a pair of arrow buttons stepping an integer Position between Min and Max by
// Increment, drawn from an up-down record of the skin ("hupdown" for the horizontal pair,
// "vupdown" for the vertical one) or in a default look. With UseSkinSize off the two buttons
// fill the control and are drawn by the resized-button drawing with the record "resizebutton".
// The page control scrolls its tabs with one; spin edits step their value with one.
//
// Button 0 is the up button (top, or right when horizontal) and raises Position; button 1 is the
// down button (bottom, or left) and lowers it. The step happens when the pressed button is
// released (also off the button), followed by OnUpButtonClick / OnDownButtonClick. Held buttons
// repeat on the control's window timer 1: the first tick comes 500 ms after the press and only
// switches to 100 ms; sliding off the button pauses the repeat and sliding back resumes it at
// 50 ms.
//
// Callers rely on:
// - Setting Position to a value outside Min .. Max is ignored and raises nothing; every accepted
//   set raises OnChange, also when the value does not change.
// - SetMin / SetMax pull Position into the new limits without raising OnChange.
// - Increment 0 turns stepping and repeating off; the button events still come.
#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinRepeatTimer.h"

enum TUDOrientation { udHorizontal, udVertical };

class TskSkinUpDown : public TskSkinCustomControl {
public:
  static constexpr UINT_PTR RepeatTimerId = 1;
  static constexpr UINT FirstRepeatDelay = 500;
  static constexpr UINT RepeatInterval = 100;
  static constexpr UINT ResumeInterval = 50;

  explicit TskSkinUpDown(TComponent* AOwner);
  ~TskSkinUpDown() override;

  TUDOrientation GetOrientation() const { return FOrientation; }
  // Stores and repaints; at design time also names the record ("vupdown" / "hupdown").
  void SetOrientation(TUDOrientation Value);
  int GetMin() const { return FMin; }
  void SetMin(int Value);
  int GetMax() const { return FMax; }
  void SetMax(int Value);
  int GetIncrement() const { return FIncrement; }
  void SetIncrement(int Value) { FIncrement = Value; }
  int GetPosition() const { return FPosition; }
  // See the header comment.
  void SetPosition(int Value);
  bool GetUseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnUpButtonClick;
  TNotifyEvent OnDownButtonClick;

  void GetSkinData() override;
  void CalcSize(int& W, int& H) override;
  void SetControlRegion() override;
  // Places the two buttons for the current size and record.
  void CalcRects();

  // State read by tests.
  const TRect& GetButtonRect(int Index) const { return FButtons[Index].R; }
  bool GetButtonMouseIn(int Index) const { return FButtons[Index].MouseIn; }
  bool GetButtonDown(int Index) const { return FButtons[Index].Down; }
  int GetActiveButton() const { return FActive; }
  int GetCapturedButton() const { return FCaptured; }
  int GetTimerMode() const { return FTimerMode; }

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Dispatch(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  struct TUpDownButton {
    TRect R{};
    bool MouseIn = false;
    bool Down = false;
  };
  struct TSkinLook {
    TRect UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
    TRect DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
  };

  // The arrow of button Index for DrawArrowGlyph.
  int ArrowDirection(int Index) const;
  void TestActive(int X, int Y);
  void ButtonEnter(int Index);
  void ButtonLeave(int Index);
  void ButtonDown(int Index);
  void ButtonUp(int Index);
  void RepeatStep();

  TUDOrientation FOrientation = udHorizontal;
  int FMin = 0;
  int FMax = 100;
  int FIncrement = 1;
  int FPosition = 0;
  bool FUseSkinSize = true;
  TSkinLook FLook;
  TUpDownButton FButtons[2];
  int FActive = -1;
  int FOldActive = -1;
  int FCaptured = -1;
  int FTimerMode = 0;
  TskRepeatTimer FRepeat;
};
