// The frame objects the user presses: a picture button with a pressed look, radio-like groups and
// an optional popup menu; the caption button, which carries a window command (close, maximise or
// restore, minimise, system menu, roll-up, minimise to tray, or none); and the filmstrip
// animation, which can act as a caption button with the same commands.
//
// Contract:
// - A press counts as a click only when released over the object (Active still set); dragging
//   out shows the normal look, dragging back in the pressed look again.
// - The close command tells its release (OnMouseUpEvent) before the form closes; every other
//   command runs before the release is told, so nothing of the object is used after a close.
// - A button holding a menu stays pressed until the form releases it when the menu closes.
// - An animation has at least one frame; its frame number stays within 1..CountFrames.
// GUI thread only.
#pragma once

#include "platform/vcl/Menus.h"
#include "skin/frame/SkinFrameObject.h"

class TskSkinButtonObject : public TskActiveSkinObject {
public:
  TskSkinButtonObject(TskSkinnedForm* AParent, TskDataSkinButton* Data);

  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool CanMorphing() override;

  void SetDown(bool Value);
  void PopupMenu();

  bool Down = false;
  bool UpwardPopup = false;
  TRect DownRect{};
  TRect DisableSkinRect{};
  TMenuItem* MenuItem = nullptr;
  int GroupIndex = -1;

protected:
  TskLayerManager* GlowManager() const override;
};

class TskSkinStdButtonObject : public TskSkinButtonObject {
public:
  TskSkinStdButtonObject(TskSkinnedForm* AParent, TskDataSkinStdButton* Data);
  // A default button of the plain frame: no record, skin rectangle (0, 0, 1, 1) in no picture.
  TskSkinStdButtonObject(TskSkinnedForm* AParent, const String& AName, TskButtonCommand ACommand);

  bool InActiveArea(int X, int Y) override;
  void ShowLayer() override;
  void HideLayer() override;
  void Draw(TCanvas* Cnvs, bool Alone) override;
  void DblClick() override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool CanMorphing() override;

  void ExecuteCommand();
  // Whether the command would restore (maximise on a maximised form ...).
  bool RestoreState() const;

  bool Skinned = false;
  TskButtonCommand Command = cmDefault;
  TRect RestoreRect{};
  TRect RestoreActiveRect{};
  TRect RestoreDownRect{};
  TRect RestoreInActiveRect{};
  String RestoreHint;
  String NormalHint;

private:
  // A system-menu button showing the form's icon: hit everywhere, no glow, no morph.
  bool ShowsIcon() const;
  void DrawDefault(TCanvas* Cnvs);
  void RedrawDefaultLook();
};

class TskSkinAnimateObject : public TskActiveSkinObject {
public:
  TskSkinAnimateObject(TskSkinnedForm* AParent, TskDataSkinAnimate* Data);

  void Draw(TCanvas* Cnvs, bool Alone) override;
  void DblClick() override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;

  void ExecuteCommand();
  void PopupMenu();
  // One tick (25 ms) of the form's animation timer.
  void AnimationStep();
  void SetFrame(int F);
  // The animation may step now: hot, not shown pressed, no menu open.
  bool CanAnimate() const;
  bool RestoreState() const;
  // The form's menu closed: back to the end frame, running back to the first.
  void MenuClosed();

  bool MenuOpen = false;
  int Frame = 1;
  int StepCounter = 25;
  int TimerInterval = 50;
  TMenuItem* MenuItem = nullptr;
  bool Down = false;
  bool UpwardPopup = false;
  int CountFrames = 1;
  bool Cycle = false;
  bool ButtonStyle = false;
  bool Forward = true;
  TskButtonCommand Command = cmDefault;
  TRect DownSkinRect{};
  TRect RestoreRect{};
  TRect RestoreActiveRect{};
  TRect RestoreDownRect{};
  TRect RestoreInActiveRect{};
  String RestoreHint;
  String NormalHint;

protected:
  TskLayerManager* GlowManager() const override;

private:
  void StartOrRedraw();
};

// The hint a caption button shows now: its restore hint while its command would restore (when it
// has one), else its normal hint.
String CaptionButtonHint(bool Restore, const String& RestoreHint, const String& NormalHint);
