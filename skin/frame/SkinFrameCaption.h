// The window caption of a skinned frame: the form's text, shortened with an ellipsis to fit,
// aligned in the record's text rectangle (which grows with the object), with optional light and
// shadow copies, a text frame behind it, glow or reflection effects, looks for the active and
// the inactive window with a morph between them, an activity animation and the skin's inactive
// image effect. In the client-drawn frame a press on the caption drags the form.
//
// Contract:
// - The drawing always uses the form's current text; the text is drawn as it stands (an "&" is
//   no mnemonic, any bytes are shown, never interpreted).
// - Active follows the form's activation, taken anew at every draw; the mouse does not change it.
// - Redrawn by itself, the caption first repaints its own background, so no earlier text shows.
// GUI thread only.
#pragma once

#include "skin/frame/SkinFrameObject.h"

class TskSkinCaptionObject : public TskActiveSkinObject {
public:
  TskSkinCaptionObject(TskSkinnedForm* AParent, TskDataSkinCaption* Data);

  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;

  void SetText(const String& Value);
  bool HasActivityAnimation() const;
  // The text area in object coordinates at the current ObjectRect.
  TRect TextArea() const;
  // The stretch kind: 0 fixed size, 1 top band, 2 bottom band, 3 left edge, 4 right edge.
  int StretchKind() const;
  // Where the text of Text would start (object coordinates) with the canvas font set; for tests.
  TPoint TextOrigin(TCanvas* Cnvs, const String& Text);

  String Text;
  String FontName = "Arial";
  TFontStyles FontStyle = 0;
  int FontHeight = 14;
  TColor FontColor = 0;
  TColor ActiveFontColor = 0;
  TColor ShadowColor = 0;
  TColor ActiveShadowColor = 0;
  bool Shadow = false;
  TAlignment Alignment = taLeftJustify;
  TRect TextRect{};
  bool DefaultCaption = false;
  TRect FrameRect{};
  TRect ActiveFrameRect{};
  int FrameLeftOffset = 0;
  int FrameRightOffset = 0;
  TRect FrameTextRect{};
  TColor LightColor = 0;
  TColor ActiveLightColor = 0;
  bool Light = false;
  bool StretchEffect = false;
  TRect AnimateSkinRect{};
  int FrameCount = 0;
  int AnimateInterval = 25;
  int StepCounter = 25;
  int AnimFrame = 0;
  bool InActiveAnimation = false;
  bool FullFrame = false;
  bool VistaGlowEffect = false;
  bool VistaGlowInActiveEffect = false;
  bool GlowEffect = false;
  bool GlowInActiveEffect = false;
  int GlowSize = 3;
  TColor GlowColor = 0;
  TColor GlowActiveColor = 0;
  int GlowOffset = 0;
  bool ReflectionEffect = false;
  TColor ReflectionColor = 0;
  TColor ReflectionActiveColor = 0;
  int ReflectionOffset = 0;

private:
  void SetFont(TCanvas* Cnvs, TColor Color);
  // The caption's text with everything the frame adds to it.
  String FormText() const;
  // Draws the text at origin (OX, OY); DrawCanvas is the canvas given to Draw (for the handler).
  void DrawText(TCanvas* Cnvs, TCanvas* DrawCanvas, int OX, int OY, bool F, TColor Color);
  // Source R of P built (or copied) to the object's size into B.
  void BuildBackground(TBitmap* B, TBitmap* P, const TRect& R, bool HorizontalOnly);
  // The image of background R of P with the text in Color.
  void BuildImage(TBitmap* B, TCanvas* DrawCanvas, TBitmap* P, const TRect& R, TColor Color, bool F);
  // Draws B at ObjectRect's top-left, through the inactive effect when Effect.
  void DrawImage(TCanvas* Cnvs, TBitmap* B, bool Effect);
};
