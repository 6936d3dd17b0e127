// The live objects of a skinned frame: one per SKINOBJECTS record of the frame skin (caption
// buttons, the caption ...) or, without a skin, the six default caption buttons. The skinned form
// owns them, lays them out, finds the one under the mouse and routes the mouse to it; an object
// draws itself and asks the form for its commands.
//
// Contract:
// - Coordinates given to the mouse slots are frame coordinates: window coordinates of a frame in
//   the non-client area, client coordinates of a client-drawn frame.
// - Draw(Canvas, Alone): Alone is false inside a full frame paint (an object whose normal look is
//   part of the frame picture then draws nothing), true when the object is redrawn by itself.
// - A default caption button (made without a record) draws the built-in glyph of its command.
// GUI thread only.
#pragma once

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Classes.h"
#include "skin/foundation/SkinObjectRecords.h"

class TskSkinnedForm;

class TskActiveSkinObject : public TObject {
public:
  // An object of Form made from Data (nullptr: an object without a record).
  TskActiveSkinObject(TskSkinnedForm* AParent, TskDataSkinObject* Data);

  virtual bool InActiveArea(int X, int Y);
  virtual void ShowLayer() {}
  virtual void HideLayer() {}
  virtual void Draw(TCanvas* Cnvs, bool Alone);
  virtual void DblClick() {}
  virtual void MouseDown(int X, int Y, TMouseButton Button);
  virtual void MouseUp(int X, int Y, TMouseButton Button);
  virtual void MouseMove(int X, int Y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual bool CanMorphing();

  // Redraws the object in place through the form.
  void ReDraw();

  TskSkinnedForm* Parent;
  double MorphFactor = 0;
  bool MouseIn = false;
  TBitmap* Picture = nullptr;
  TBitmap* ActivePicture = nullptr;
  TBitmap* ActiveMaskPicture = nullptr;
  String IDName;
  String Hint;
  TRect SkinRect{};
  TRect ActiveSkinRect{};
  TRect InActiveSkinRect{};
  bool Morphing = false;
  TRect ObjectRect{};
  bool Active = false;
  bool Enabled = true;
  bool Visible = true;
  int CursorIndex = -1;
  bool RollUp = false;
  bool SkinRectInAPicture = false;

protected:
  // Copies Source of Bitmap onto ObjectRect of Cnvs (stretching when the sizes differ).
  void CopyLook(TCanvas* Cnvs, TBitmap* Bitmap, const TRect& Source);
};

// A caption button: a window command (close, maximise, minimise, system menu, roll-up, tray or
// none), a pressed look, and restore looks while its command would restore.
class TskSkinStdButtonObject : public TskActiveSkinObject {
public:
  TskSkinStdButtonObject(TskSkinnedForm* AParent, TskDataSkinStdButton* Data);
  // A default button of the plain frame: no record, skin rectangle (0, 0, 1, 1) in no picture.
  TskSkinStdButtonObject(TskSkinnedForm* AParent, const String& AName, TskButtonCommand ACommand);

  void Draw(TCanvas* Cnvs, bool Alone) override;
  void DblClick() override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;

  // Whether the command would restore (maximise on a maximised form ...).
  bool RestoreState() const;

  bool Skinned = false;
  bool Down = false;
  TskButtonCommand Command = cmDefault;
  TRect DownRect{};
  TRect RestoreRect{};
  TRect RestoreActiveRect{};
  TRect RestoreDownRect{};
  TRect RestoreInActiveRect{};
  String RestoreHint;
  String NormalHint;

private:
  void DrawDefault(TCanvas* Cnvs);
};

// The window caption: the form's text in the record's text rectangle, with its font, colours
// for the active and inactive form, alignment and shadow.
class TskSkinCaptionObject : public TskActiveSkinObject {
public:
  TskSkinCaptionObject(TskSkinnedForm* AParent, TskDataSkinCaption* Data);

  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseEnter() override { MouseIn = true; }
  void MouseLeave() override { MouseIn = false; }
  void SetText(const String& Value);

  String Text;
  bool DefaultCaption = false;
  TRect TextRect{};
  String FontName = "Arial";
  int FontHeight = 14;
  TFontStyles FontStyle = 0;
  TColor FontColor = 0;
  TColor ActiveFontColor = 0;
  TAlignment Alignment = taLeftJustify;
  bool Shadow = false;
  TColor ShadowColor = 0;
  TColor ActiveShadowColor = 0;
};
