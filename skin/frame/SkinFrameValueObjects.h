// Frame objects that show a value or a text: a gauge, a track bar dragged by its button, a
// two-state switch, filmstrip objects that show one frame of a picture strip (a gauge, and a
// regulator turned round or slid with the mouse), a text label and a label drawn from a bitmap
// font. Track bar, switch and regulator report every change through the form's
// OnTrackBarChangeValueEvent, OnSwitchChangeStateEvent and OnFrameRegulatorChangeValueEvent.
//
// Contract:
// - Values keep what the records gave them; the track bar and the regulator never store a value
//   outside minvalue..maxvalue.
// - A record whose range is empty (maxvalue = minvalue) shows and reports its minimum; a
//   regulator with fewer than two frames never changes its value; a point at a round
//   regulator's centre keeps its last angle.
// - Strips, cells and buttons are drawn only as far as the pictures and the object reach.
// GUI thread only.
#pragma once

#include <vector>

#include "skin/frame/SkinFrameObject.h"

enum TSwitchState { swsOn, swsOff };

class TskSkinGaugeObject : public TskActiveSkinObject {
public:
  TskSkinGaugeObject(TskSkinnedForm* AParent, TskDataSkinGauge* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseEnter() override;
  void MouseLeave() override;
  // The progress point of the current value.
  TPoint CalcProgressPoint() const;

  TPoint ProgressPoint{};
  TPoint OldProgressPoint{};
  int Value = 0;
  int MinValue = 0;
  int MaxValue = 0;
  TskGaugeKind Kind = gkHorizontal;
};

class TskSkinTrackBarObject : public TskActiveSkinObject {
public:
  TskSkinTrackBarObject(TskSkinnedForm* AParent, TskDataSkinTrackBar* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseMove(int X, int Y) override;

  TPoint PointOfValue(int V) const;
  int ValueOfPoint(TPoint P) const;
  // The button's rectangle (object coordinates) around ButtonPos.
  TRect ButtonRectAtPos() const;
  void SetButtonPos(TPoint P);

  TPoint ButtonPos{};
  TPoint OldButtonPos{};
  int Value = 0;
  bool Down = false;
  TPoint LastPoint{};
  bool Vertical = false;
  TRect ButtonRect{};
  TRect ActiveButtonRect{};
  TPoint BeginPoint{};
  TPoint EndPoint{};
  int MinValue = 0;
  int MaxValue = 0;
  bool MouseDownChangeValue = false;
  bool ButtonTransparent = false;
  TColor ButtonTransparentColor = 0;
};

class TskSkinSwitchObject : public TskActiveSkinObject {
public:
  TskSkinSwitchObject(TskSkinnedForm* AParent, TskDataSkinSwitch* Data);
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;

  TSwitchState State = swsOff;
};

// One frame of a strip of equal frames in the active picture, starting at the top-left of
// "activeskinrect".
class TskSkinFrameObject : public TskActiveSkinObject {
public:
  TskSkinFrameObject(TskSkinnedForm* AParent, TskDataSkinObject* Data, int ACountFrames,
                     TskFramesPlacement APlacement);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  // The frame (1-based) that shows V within Min..Max.
  int FrameOfValue(int V, int Min, int Max) const;
  TRect FrameRect(int Index) const;

  int FrameIndex = 1;
  int FrameWidth = 0;
  int FrameHeight = 0;
  int CountFrames = 0;
  TskFramesPlacement FramesPlacement = fpHorizontal;
};

class TskSkinFrameGaugeObject : public TskSkinFrameObject {
public:
  TskSkinFrameGaugeObject(TskSkinnedForm* AParent, TskDataSkinFrameGaugeObject* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseEnter() override;
  void MouseLeave() override;

  int Value = 0;
  int MinValue = 0;
  int MaxValue = 0;
};

class TskSkinFrameRegulatorObject : public TskSkinFrameObject {
public:
  TskSkinFrameRegulatorObject(TskSkinnedForm* AParent, TskDataSkinFrameRegulatorObject* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseMove(int X, int Y) override;

  // Degrees clockwise from straight down of an object-relative point (round kind); Previous
  // for the centre.
  int AngleOf(TPoint P, int Previous) const;
  void SetValue(int V);

  int PixelStep = 0;
  int ValueStep = 0;
  bool Down = false;
  int StartMeasure = 0;
  int CurrentMeasure = 0;
  int PreviousMeasure = 0;
  int WorkValue = 0;
  int Value = 0;
  int MinValue = 0;
  int MaxValue = 0;
  TskRegulatorKind Kind = rkRound;

private:
  int Measure(TPoint L) const;
  void RoundStep();
  void LinearStep();
  void Step(bool Up);
};

class TskSkinLabelObject : public TskActiveSkinObject {
public:
  TskSkinLabelObject(TskSkinnedForm* AParent, TskDataSkinLabel* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseEnter() override;
  void MouseLeave() override;

  String Text;
  String FontName = "Arial";
  TFontStyles FontStyle = 0;
  int FontHeight = 14;
  TColor FontColor = 0;
  TColor ActiveFontColor = 0;
  TAlignment Alignment = taLeftJustify;

private:
  void BuildImage(TBitmap* B, bool ActiveBackground, TColor Color);
};

class TskSkinBitLabelObject : public TskActiveSkinObject {
public:
  TskSkinBitLabelObject(TskSkinnedForm* AParent, TskDataSkinBitLabel* Data);
  void Draw(TCanvas* Cnvs, bool Alone) override;

  String Text;
  int SymbolWidth = 0;
  int SymbolHeight = 0;
  std::vector<String> Symbols;
  bool Transparent = false;
  TColor TransparentColor = static_cast<TColor>(0xFF00FF);
};
