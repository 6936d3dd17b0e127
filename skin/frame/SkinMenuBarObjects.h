// The objects a skinned menu bar (TskSkinMainMenuBar) holds: one TskSkinMainMenuBarItem per shown
// top item of its menu and, while an MDI child is maximised, the four TskSkinMainMenuBarButtons
// of that child (system menu, close, restore, minimise). They are plain objects owned by the bar,
// not controls: the bar hit-tests them, passes the mouse and the keyboard selection on to them and
// gives them a canvas to draw on; an object shows a change of state through the bar's
// RedrawObject or the bar's morph and animation timers.
//
// Contract:
// - ObjectBounds are bar client coordinates; an item lays itself out at each Draw, to the right of
//   the item before it.
// - An item that does not fit the bar is not drawn and is disabled until it fits again, when it
//   gets back the enabled state it had.
// - MorphFactor stays within 0..1 (0 the cold look, 1 the hot look); a morph step moves it by 0.2.
// - Without the bar's SkinnedForm items open nothing and run nothing; without a maximised MDI
//   child the buttons' commands do nothing.
// GUI thread only. Nothing is raised.
#pragma once

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Menus.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinObjectRecords.h"

class TskSkinMainMenuBar;

class TskMenuBarObject : public TObject {
public:
  // An object of ABar built from Data (nullptr: no record, the default look).
  TskMenuBarObject(TskSkinMainMenuBar* ABar, TskDataSkinObject* Data);

  virtual void ReDraw();
  virtual void Draw(TCanvas*) {}
  virtual void DblClick() {}
  virtual void MouseDown(int, int, TMouseButton) {}
  virtual void MouseUp(int, int, TMouseButton) {}
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual bool CanMorphing() const;

  // Morphing asked for by the record and the bar's skin has its effects on.
  bool EnableMorphing() const;
  // A fade between the cold and the hot look is under way.
  bool FadeUnderWay() const { return (Hot && MorphFactor != 1) || (!Hot && MorphFactor != 0); }
  // One tick of the morph timer: 0.2 toward the state's end, then a draw on the bar's canvas.
  void MorphStep();

  TskSkinMainMenuBar* Bar;
  double MorphFactor = 0;
  bool Hovered = false;
  TBitmap* SkinPicture = nullptr;
  bool Pressed = false;
  String ObjectName;
  TRect SkinRect{};
  TRect ActiveSkinRect{};
  TRect DownRect{};
  bool Morphing = false;
  TskMorphKind MorphKind = mkDefault;
  TRect ObjectBounds{};
  bool Hot = false;
  bool Enabled = true;
  bool Visible = true;

protected:
  // Blends Cold and HotLook at MorphFactor by MorphKind and draws the result at ObjectBounds.
  void DrawBlend(TCanvas* Cnvs, TBitmap* Cold, TBitmap* HotLook);
  // The default look's face: a navy frame and a fill when pressed or hot, else button face.
  // Returns the rectangle inside the frame.
  static TRect DrawDefaultFace(TCanvas* C, TRect R, bool PressedLook, bool HotLook);
};

class TskSkinMainMenuBarItem : public TskMenuBarObject {
public:
  TskSkinMainMenuBarItem(TskSkinMainMenuBar* ABar, TskDataSkinMainMenuBarItem* Data);

  void ReDraw() override;
  void Draw(TCanvas* Cnvs) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;

  // Presses the item and opens its sub-menu, or releases it.
  void SetDown(bool Value);
  void PopupSubMenu();
  // The animation frames are set and the bar's skin has its effects on.
  bool EnableAnimation() const;
  // One tick of the animation timer; true when the item moved a frame.
  bool AnimateStep();
  // Lays the item out (ObjectBounds, fitting) without drawing it.
  void Layout(TCanvas* Cnvs);

  bool HasSkin = false;
  bool SavedEnabled = true;
  bool InBar = true;
  TMenuItem* MenuItem = nullptr;
  String FontName;
  int FontHeight = 0;
  TFontStyles FontStyle = 0;
  TColor UnEnabledFontColor = 0;
  TColor FontColor = 0;
  TColor ActiveFontColor = 0;
  TColor DownFontColor = 0;
  TRect TextRect{};
  int ItemLeftOffset = 0;
  int ItemRightOffset = 0;
  bool StretchEffect = false;
  TRect AnimateSkinRect{};
  int FrameCount = 0;
  int AnimateInterval = 25;
  int FrameIndex = 0;
  bool InActiveAnimation = false;

private:
  void SetItemFont(TCanvas* Cnvs) const;
  WideString Caption() const;
  TRect FrameRect(int Index) const;
  void BuildImage(TBitmap* B, TCanvas* BarCanvas, const TRect& Source, bool HotLook);
  void DrawDefault(TCanvas* Cnvs);
};

class TskSkinMainMenuBarButton : public TskMenuBarObject {
public:
  TskSkinMainMenuBarButton(TskSkinMainMenuBar* ABar, TskDataSkinMainMenuBarButton* Data);

  void Draw(TCanvas* Cnvs) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void DblClick() override;
  // The command on the maximised MDI child: 0 close, 1 restore, 2 minimise, 3 its system menu.
  void DoCommand();

  bool HasSkin = false;
  Byte Command = 0;

private:
  void DrawDefault(TCanvas* Cnvs);
};
