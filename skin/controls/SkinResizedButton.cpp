#include "skin/controls/SkinResizedButton.h"

#include "platform/vcl/Bitmap.h"
#include "skin/controls/SkinControlGeometry.h"
#include "skin/foundation/SkinCustomControlRecords.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinImages.h"

namespace {

bool EmptyRect(const TRect& R) { return RectWidth(R) <= 0 || RectHeight(R) <= 0; }

TPoint Moved(const TPoint& P, int DX, int DY) { return TPoint{P.x + DX, P.y + DY}; }

}  // namespace

bool DrawResizedButton(TskSkinData* SkinData, const String& RecordName, TCanvas* Canvas, const TRect& Target,
                       TskResizedButtonState State, int ArrowDirection, TColor* TextColor)
{
  const int w = RectWidth(Target), h = RectHeight(Target);
  const int index = FindSkinControlIndex(SkinData, RecordName);
  auto* record = dynamic_cast<TskDataSkinButtonControl*>(SkinControlRecord(SkinData, index));
  if (!record)
    return false;
  if (w <= 0 || h <= 0)
    return true;
  const int dW = w - RectWidth(record->skinrect);
  const int dH = h - RectHeight(record->skinrect);
  TRect source = record->skinrect;
  TColor textColor = record->fontcolor;
  if (State == TskResizedButtonState::Pressed) {
    source = !EmptyRect(record->downskinrect)
                 ? record->downskinrect
                 : (!EmptyRect(record->activeskinrect) ? record->activeskinrect : record->skinrect);
    textColor = record->downfontcolor;
  } else if (State == TskResizedButtonState::Hot) {
    source = !EmptyRect(record->activeskinrect) ? record->activeskinrect : record->skinrect;
    textColor = record->activefontcolor;
  }
  if (TextColor)
    *TextColor = textColor;
  TBitmap* picture = SkinPicture(SkinData, record->pictureindex);
  if (picture && !EmptyRect(source)) {
    TBitmap image;
    image.SetPixelFormat(pf24bit);
    image.SetSize(w, h);
    TRect client = record->clientrect;
    TRect newClient{client.left, client.top, client.right + dW, client.bottom + dH};
    BuildNineSliceBitmap(record->lefttoppoint, record->righttoppoint, record->leftbottompoint,
                         record->rightbottompoint, client, record->lefttoppoint, Moved(record->righttoppoint, dW, 0),
                         Moved(record->leftbottompoint, 0, dH), Moved(record->rightbottompoint, dW, dH), newClient,
                         &image, picture, source, w, h, true, record->leftstretch, record->topstretch,
                         record->rightstretch, record->bottomstretch, record->stretcheffect, record->stretchtype);
    Canvas->Draw(Target.left, Target.top, &image);
  }
  if (ArrowDirection != 0) {
    TRect glyph = Target;
    if (State == TskResizedButtonState::Pressed) {
      glyph.left += 2;
      glyph.top += 2;
    }
    DrawArrowGlyph(Canvas, glyph, textColor, ArrowDirection);
  }
  return true;
}

void DrawBlankResizedButton(TCanvas* Canvas, const TRect& Target)
{
  if (EmptyRect(Target))
    return;
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->GetBrush()->SetColor(clWhite);
  Canvas->FillRect(Target);
}
