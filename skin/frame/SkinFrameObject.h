// The live objects of a skinned frame: one per SKINOBJECTS record of the frame skin (caption
// buttons, the caption, labels, gauges ...) or, without a skin, the six default caption buttons.
// The skinned form owns them, lays them out, finds the one under the mouse and routes the mouse
// to it, runs their morph and animation timers; an object draws itself and asks the form for its
// commands. This file holds the shared base (looks from the skin pictures, the morph between the
// normal and the active look, the glow layer, mouse forwarding to the form's events) and the
// plain user object; the other kinds have files of their own.
//
// Contract:
// - Coordinates given to the mouse slots are frame coordinates: window coordinates of a frame in
//   the non-client area, client coordinates of a client-drawn frame.
// - Draw(Canvas, Alone): Alone is false inside a full frame paint (an object whose normal look is
//   part of the frame picture then draws nothing), true when the object is redrawn by itself.
// - MorphFactor stays within 0..1; a morph step moves it by 0.2 toward the state's end.
// - Rectangles outside the pictures or the frame are drawn as far as they reach, never beyond.
// GUI thread only.
#pragma once

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Classes.h"
#include "skin/foundation/SkinIniLayout.h"
#include "skin/foundation/SkinObjectRecords.h"

class TskSkinnedForm;
class TskSkinData;
class TskLayerManager;
class TskEffectBmp;

class TskActiveSkinObject : public TObject {
public:
  // An object of Form made from Data (nullptr: an object without a record).
  TskActiveSkinObject(TskSkinnedForm* AParent, TskDataSkinObject* Data);

  virtual bool InActiveArea(int X, int Y);
  virtual void ShowLayer();
  virtual void HideLayer();
  virtual void Draw(TCanvas* Cnvs, bool Alone);
  virtual void DblClick() {}
  virtual void MouseDown(int X, int Y, TMouseButton Button);
  virtual void MouseUp(int X, int Y, TMouseButton Button);
  virtual void MouseMove(int X, int Y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual bool CanMorphing();

  // Morphing is asked for by the record and the form's skin has its effects on.
  bool EnableMorphing() const;
  // With morphing the form's morph timer runs; otherwise the object is redrawn at once.
  void ReDraw();
  // One morph step (0.2 toward the active or the normal look), then a redraw.
  void MorphStep();
  // A morph between the two looks is under way.
  bool MorphUnderWay() const { return (Active && MorphFactor != 1) || (!Active && MorphFactor != 0); }
  // ObjectRect in screen coordinates.
  TRect ScreenObjectRect() const;

  TskSkinnedForm* Parent;
  double MorphFactor = 0;
  bool MouseIn = false;
  TBitmap* Picture = nullptr;
  TBitmap* ActivePicture = nullptr;
  TBitmap* ActiveMaskPicture = nullptr;
  TskSkinData* SkinData = nullptr;
  String IDName;
  String Hint;
  TRect SkinRect{};
  TRect ActiveSkinRect{};
  TRect InActiveSkinRect{};
  bool Morphing = false;
  TskMorphKind MorphKind = mkDefault;
  TRect ObjectRect{};
  bool Active = false;
  bool Enabled = true;
  int CursorIndex = -1;
  bool RollUp = false;
  bool Visible = true;
  bool SkinRectInAPicture = false;
  int GlowLayerPictureIndex = -1;
  int GlowLayerMaskPictureIndex = -1;
  int GlowLayerOffsetX = 0;
  int GlowLayerOffsetY = 0;
  Byte GlowLayerAlphaBlendValue = 255;

protected:
  // The form's skin is set and loaded.
  bool SkinReady() const;
  // Copies Source of Bitmap onto ObjectRect of Cnvs (stretching when the sizes differ).
  void CopyLook(TCanvas* Cnvs, TBitmap* Bitmap, const TRect& Source);
  // Copies Source of Bitmap onto Target, stretched to Target's size.
  static void CopyToBitmap(TBitmap* Target, TBitmap* Bitmap, const TRect& Source);
  // Normal morphed toward Active by MorphFactor with MorphKind, drawn at ObjectRect's top-left.
  void DrawMorph(TCanvas* Cnvs, TBitmap* Normal, TBitmap* Active);
  // The layer manager the glow uses (the form's first; objects holding a menu use the second).
  virtual TskLayerManager* GlowManager() const;
  // The glow may be shown at all (skin, glow picture, skin's glow switch).
  bool GlowAllowed() const;
};

// A plain object: the form's OnPaintEvent draws it.
class TskUserObject : public TskActiveSkinObject {
public:
  using TskActiveSkinObject::TskActiveSkinObject;
  void Draw(TCanvas* Cnvs, bool Alone) override;
};

// The bitmap of the given picture at index Index of the skin's active pictures, nullptr when the
// index is -1 or beyond the list.
TBitmap* SkinActivePictureAt(TskSkinData* Skin, int Index);

// A moved toward B by X (0..1) with the morph of Kind.
void MorphByKind(TskEffectBmp* A, const TskEffectBmp* B, TskMorphKind Kind, double X);
