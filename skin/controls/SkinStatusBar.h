// TskSkinStatusBar: the skinned status bar (record "statusbar"): a frameless panel aligned to the
// bottom of its form, with an optional size grip at its right end. The grip is the record's
// "gripperrect" picture, or diagonal lines in the skin's shadow and highlight colours; the bar
// answers the window system's hit test with HTBOTTOMRIGHT over the grip, so that a press there
// sizes the form through the window system's move/size loop.
//
// Callers rely on: the grip shows only while both SizeGrip and the grip-enabled switch (which
// the skinned form clears while its window is maximised) are on, and then narrows the client
// area; a new SkinData is handed on to every skinned child (the CPU gauges, the status panels);
// the components the bar owns are looked up by name.
#pragma once

#include "skin/controls/SkinPanel.h"

class TskSkinStatusBar : public TskSkinPanel {
public:
  explicit TskSkinStatusBar(TComponent* AOwner);

  bool GetSizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);
  bool GetGripEnabled() const { return FGripEnabled; }
  void SetGripEnabled(bool Value);
  bool GripShows() const { return FSizeGrip && FGripEnabled; }
  // Where the grip is drawn and answers the hit test.
  TRect GetGripRect();

  void SetSkinData(TskSkinData* Value) override;
  void GetSkinData() override;

  // The grip as diagonal line pairs in R: Shadow then Light, every third pixel.
  static void DrawGrip(const TRect& R, TCanvas* Canvas, TColor Shadow, TColor Light);

protected:
  void AdjustClientRect(TRect& Rect) override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void WndProc(TMessage& Message) override;

private:
  bool FSizeGrip = false;
  bool FGripEnabled = true;
  TRect FGripperRect{};
  bool FGripperTransparent = false;
  TColor FGripperTransparentColor = 0;
};
