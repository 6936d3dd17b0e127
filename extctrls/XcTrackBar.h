// TXcTrackBar: the slider of the program's windows (the main window's sliders, the preview and
// crop window's). It is the stock track bar (TTrackBar) on the extended message layer with four
// additions: the selection range can be hidden (ShowRange), the bar's own position tip can be
// switched on (ToolTips), placed (ToolTipSide) and given a text of the program's (OnToolTip),
// OnChanged follows every mouse release, and the end-of-track notification raises no OnChange.
//
// Contract callers rely on:
// - Position, Min, Max, SelStart, SelEnd, Hint, ShowHint, OnChange, OnMouseDown and OnMouseUp
//   are the stock track bar's. Setting Position clamps it to Min..Max and raises OnChange only
//   when the position changes, also when the program sets it; setting Max below the position
//   (or Min above it) moves the position to the new end and raises OnChange.
// - The user's moves: every notification of the bar except TB_ENDTRACK reads the position back
//   and raises OnChange: one per key press or channel click, one per thumb movement while
//   dragging and one more when the thumb is released. TB_ENDTRACK, which ends each of those
//   actions, is dropped: no stock handling, no OnChange.
// - OnChanged is raised after OnMouseUp on every mouse release, whatever the button and whether
//   or not the position moved.
// - ShowRange (default true) keeps TBS_ENABLESELRANGE; false takes it from the window, so no
//   selection shows whatever SelStart and SelEnd hold. ToolTips (default false) adds
//   TBS_TOOLTIPS; both recreate the window when they change. ToolTipSide (default tsLeft) is
//   handed to the window (TBM_SETTIPSIDE) when it exists and whenever the side changes. ToolTips
//   and ToolTipSide act only with common controls of version 4.70 or later (this platform's
//   answer 6.0; see CommonControlsVersion).
// - OnToolTip: when set, the tip's text request (TTN_NEEDTEXTW) is answered with the decimal
//   position as the handler leaves it (an empty text shows an empty tip). The control keeps the
//   text, so the pointer handed to the tip stays valid until the next request. Without a
//   handler the tip shows the position itself.
#pragma once

#include <string>

#include "extctrls/XcExComCtrls.h"

enum TXcTrackToolTipSide { tsLeft, tsTop, tsRight, tsBottom };

using TXcTrackToolTipEvent = std::function<void(TObject* Sender, String& ToolTipText)>;

class TXcTrackBar : public TXcExTrackBar {
public:
  explicit TXcTrackBar(TComponent* AOwner);

  void WndProc(TMessage& Message) override;

  bool GetShowRange() const { return FShowRange; }
  void SetShowRange(bool Value);
  bool GetToolTips() const { return FToolTips; }
  void SetToolTips(bool Value);
  TXcTrackToolTipSide GetToolTipSide() const { return FToolTipSide; }
  void SetToolTipSide(TXcTrackToolTipSide Value);
  // The text last handed to the tip (UTF-16, as the tip reads it).
  const std::u16string& GetToolTipText() const { return FToolTipText; }

  // Raised after every mouse release.
  TNotifyEvent OnChanged;
  // May change the tip's text (it starts as the decimal position).
  TXcTrackToolTipEvent OnToolTip;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // The common controls' version, major in the high word and minor in the low word.
  virtual int CommonControlsVersion() const;

private:
  bool HasTipSupport() const;
  void ApplyToolTipSide();
  bool AnswerToolTipText(TMessage& Message);

  TXcTrackToolTipSide FToolTipSide = tsLeft;
  bool FShowRange = true;
  bool FToolTips = false;
  std::u16string FToolTipText;
};
