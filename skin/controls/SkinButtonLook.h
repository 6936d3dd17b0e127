// What the skinned push button and speed button share of their looks: the fields copied from a
// button record (fonts, caption colours, state rectangles, effect keys, menu marker), the font and
// caption colour of a state, the glyph cell of a state, the default looks drawn without a record,
// and the free-size painter that stretches a record to any button size.
#pragma once

#include <functional>

#include "platform/vcl/Bitmap.h"
#include "skin/controls/SkinControlGeometry.h"
#include "skin/foundation/SkinDrawUtils.h"

// The paint event of the skinned buttons: Cnvs is the painter's canvas, R the text rectangle;
// clearing DrawDefault leaves out glyph and caption.
using TskButtonPaintEvent =
    std::function<void(TObject* Sender, TCanvas* Cnvs, TRect R, bool ADown, bool AMouseIn, bool& DrawDefault)>;

// The default look's colours: hot and pressed fills, and their frame.
constexpr TColor DefaultHotFill = 0xD2BDB6;
constexpr TColor DefaultDownFill = 0xB59385;
constexpr TColor DefaultActiveFrame = 0x800000;
// A record whose disabled caption colour equals its normal one draws disabled captions in grey.
constexpr TColor DefaultDisabledFontColor = 8421504;

struct TskButtonLook {
  String FontName = "Arial";
  int FontHeight = 14;
  TFontStyles FontStyle = 0;
  TColor FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, DisabledFontColor = 0;
  TRect ActiveSkinRect{}, DownSkinRect{}, DisabledSkinRect{}, FocusedSkinRect{};
  bool Morphing = false;
  TskMorphKind MorphKind = mkDefault;
  TRect AnimateSkinRect{};
  int FrameCount = 0;
  int AnimateInterval = 25;
  bool ShowFocus = false;
  int GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
  int GlowLayerOffsetLeft = 0, GlowLayerOffsetRight = 0, GlowLayerOffsetTop = 0, GlowLayerOffsetBottom = 0;
  int GlowLayerShowOffsetX = 0, GlowLayerShowOffsetY = 0;
  int GlowLayerAlphaBlendValue = 255;
  TRect MenuMarkerFlatRect{}, MenuMarkerRect{}, MenuMarkerActiveRect{}, MenuMarkerDownRect{};
  TColor MenuMarkerTransparentColor = 0;

  // Copies the record's keys with the defaults of an empty state rectangle (active = SkinRect,
  // down = active, marker active = marker, marker down = marker active, flat marker = marker)
  // and of a disabled caption colour equal to the normal one (grey).
  void CopyFrom(const TskDataSkinButtonControl* Record, const TRect& SkinRect);
};

// The glyph cell of a strip of NumGlyphs cells (1 up, 2 disabled, 3 down, 4 hot) for a state.
int ButtonGlyphNum(bool ADown, bool AMouseIn, int NumGlyphs, bool Enabled);

// The caption font of a skinned button state on Canvas: the record's name, height and style
// (UseSkinFont) or DefaultFont whole; the charset of the skin's string table when it has one.
void SetButtonFont(TCanvas* Canvas, const TskButtonLook& Look, bool UseSkinFont, TFont* DefaultFont,
                   TskSkinData* SkinData);
// The caption colour, first match: DefaultFont's colour while enabled without UseSkinFontColor;
// disabled; down and hot; hot; normal.
TColor ButtonCaptionColor(const TskButtonLook& Look, bool Enabled, bool UseSkinFontColor, TFont* DefaultFont,
                          bool ADown, bool AMouseIn);
// DefaultFont with the string table's charset, in clBtnShadow while disabled.
void SetDefaultButtonFont(TCanvas* Canvas, TFont* DefaultFont, TskSkinData* SkinData, bool Enabled);

// The default face in R: pressed (navy frame, pressed fill), hot (navy frame, hot fill) or
// normal (clBtnShadow frame, clBtnFace fill).
void DrawDefaultButtonFace(TCanvas* Canvas, const TRect& R, bool Pressed, bool Hot);

// The free-size painter's picture: the state rectangle R of the geometry's picture laid on the
// whole bitmap (fixed skins stretched, one-way skins rebuilt with their corners); answers the
// text rectangle: the record's client rectangle grown by the size difference.
TRect BuildFreeSizeButtonImage(const TskSkinGeometry& Geometry, TBitmap* Bitmap, const TRect& R);

// The morph kind's cross-fade of Normal toward Active by Factor, then (AlphaBlend) toward what
// lies under Control, drawn on Canvas at (0, 0).
void DrawMorphedButton(TControl* Control, TCanvas* Canvas, TBitmap* Normal, TBitmap* Active, TskMorphKind Kind,
                       double Factor, bool AlphaBlend, Byte AlphaBlendValue);
