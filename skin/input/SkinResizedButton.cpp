#include "skin/input/SkinResizedButton.h"

#include "platform/vcl/Bitmap.h"
#include "skin/controls/SkinControlGeometry.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinImages.h"

namespace {

TPoint Moved(TPoint P, int DX, int DY) { return Point(P.x + DX, P.y + DY); }

} // namespace

void DrawResizedSkinButton(TskSkinData* SkinData, const String& RecordName, TCanvas* Canvas, const TRect& Target,
                           bool Pressed, bool Hot, int Direction, bool BlankWhenMissing)
{
  const int BW = RectWidth(Target), BH = RectHeight(Target);
  if (BW <= 0 || BH <= 0)
    return;
  auto* r = dynamic_cast<TskDataSkinButtonControl*>(
      SkinControlRecord(SkinData, FindSkinControlIndex(SkinData, RecordName)));
  if (!r) {
    if (BlankWhenMissing) {
      TBitmap blank;
      blank.SetSize(BW, BH);
      Canvas->Draw(Target.left, Target.top, &blank);
    }
    return;
  }
  const int dW = BW - RectWidth(r->skinrect), dH = BH - RectHeight(r->skinrect);
  TRect source = r->skinrect;
  TColor color = r->fontcolor;
  if (Pressed) {
    source = !IsRectEmpty(&r->downskinrect) ? r->downskinrect
             : !IsRectEmpty(&r->activeskinrect) ? r->activeskinrect
                                                : r->skinrect;
    color = r->downfontcolor;
  } else if (Hot) {
    source = !IsRectEmpty(&r->activeskinrect) ? r->activeskinrect : r->skinrect;
    color = r->activefontcolor;
  }
  TBitmap image;
  TRect client = r->clientrect;
  client.right += dW;
  client.bottom += dH;
  BuildNineSliceBitmap(r->lefttoppoint, r->righttoppoint, r->leftbottompoint, r->rightbottompoint, r->clientrect,
                       r->lefttoppoint, Moved(r->righttoppoint, dW, 0), Moved(r->leftbottompoint, 0, dH),
                       Moved(r->rightbottompoint, dW, dH), client, &image, SkinPicture(SkinData, r->pictureindex),
                       source, BW, BH, true, r->leftstretch, r->topstretch, r->rightstretch, r->bottomstretch,
                       r->stretcheffect, r->stretchtype);
  Canvas->Draw(Target.left, Target.top, &image);
  if (Direction != 0) {
    TRect glyph = Target;
    if (Pressed) {
      glyph.left += 2;
      glyph.top += 2;
    }
    DrawArrowGlyph(Canvas, glyph, color, Direction);
  }
}
