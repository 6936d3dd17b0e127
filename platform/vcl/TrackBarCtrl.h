// TTrackBar: the class library's slider over the "msctls_trackbar32" window class.
#pragma once

#include "platform/vcl/Controls.h"
#include "platform/vcl/ListCtrlsConsts.h"

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };

class TTrackBar : public TWinControl {
public:
  explicit TTrackBar(TComponent* AOwner);
  void WndProc(TMessage& Message) override;

  TTrackBarOrientation GetOrientation() const { return FOrientation; }
  // Turns the bar (width and height swap).
  void SetOrientation(TTrackBarOrientation Value);
  int GetMin() const { return FMin; }
  void SetMin(int Value);
  int GetMax() const { return FMax; }
  void SetMax(int Value);
  // Min and Max at once; the position is kept inside.
  void SetRange(int AMin, int AMax);
  int GetPosition() const;
  void SetPosition(int Value);
  int GetFrequency() const { return FFrequency; }
  void SetFrequency(int Value);
  int GetLineSize() const { return FLineSize; }
  void SetLineSize(int Value);
  int GetPageSize() const { return FPageSize; }
  void SetPageSize(int Value);
  int GetSelStart() const { return FSelStart; }
  void SetSelStart(int Value);
  int GetSelEnd() const { return FSelEnd; }
  void SetSelEnd(int Value);
  int GetThumbLength() const { return FThumbLength; }
  void SetThumbLength(int Value);
  TTickMark GetTickMarks() const { return FTickMarks; }
  void SetTickMarks(TTickMark Value);
  TTickStyle GetTickStyle() const { return FTickStyle; }
  void SetTickStyle(TTickStyle Value);
  bool GetSliderVisible() const { return FSliderVisible; }
  void SetSliderVisible(bool Value);
  // A tip with the position while the thumb is dragged (TBS_TOOLTIPS), on TipSide (TBTS_*).
  bool GetShowToolTips() const { return FShowToolTips; }
  void SetShowToolTips(bool Value);
  WPARAM GetTipSide() const { return FTipSide; }
  void SetTipSide(WPARAM Value);
  // A manual tick mark at Value (tsManual).
  void SetTick(int Value);

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Changed();

private:
  void ApplyRange();
  TTrackBarOrientation FOrientation = trHorizontal;
  TTickMark FTickMarks = tmBottomRight;
  TTickStyle FTickStyle = tsAuto;
  int FMin = 0;
  int FMax = 10;
  int FPosition = 0;
  int FFrequency = 1;
  int FLineSize = 1;
  int FPageSize = 2;
  int FSelStart = 0;
  int FSelEnd = 0;
  int FThumbLength = 20;
  bool FSliderVisible = true;
  bool FShowToolTips = false;
  WPARAM FTipSide = TBTS_TOP;
  std::vector<int> FTicks;
};
