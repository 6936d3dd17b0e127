// What the skinned tree view, list view and rich edit share: their look from a view record of
// the skin ("fontname", "fontstyle", "fontheight", "fontcolor", "bgcolor") and the way they move
// their own window to a position given by a linked skinned scroll bar.
//
// Contract:
// - FindViewLook answers the index of Name among the skin's control records (-1 when Data is
//   null, holds no skin or has no such record) and fills Look when that record is of class
//   TRecord (Look.Found false for a record of another class).
// - ApplyViewFont sets Font from Look (name, style, height with UseSkinFont, else DefaultFont;
//   the colour always from Look).
// - ViewCharset: the skin's resource character set when Data and its strings exist, else
//   DefaultFont's.
// - SendViewThumbPosition scrolls View to Position with all 32 bits: the position is stored in
//   the view's own scroll information first and SB_THUMBPOSITION carries its low 16 bits (the
//   view windows take the stored position when it is beyond 16 bits; ThumbPosition).
// - RealignBar makes the parent of a linked bar's control re-align its controls (a bar that
//   appeared or vanished takes or gives back its room).
#pragma once

#include "platform/vcl/Graphics.h"
#include "skin/controls/SkinControlGeometry.h"
#include "skin/controls/SkinScrollBarLink.h"
#include "skin/foundation/SkinData.h"

struct TskViewLook {
  bool Found = false;
  String FontName;
  TFontStyles FontStyle = 0;
  int FontHeight = 0;
  TColor FontColor = 0;
  TColor BGColor = 0;
};

template <class TRecord>
int FindViewLook(TskSkinData* Data, const String& Name, TskViewLook& Look)
{
  Look = TskViewLook{};
  const int index = (!Data || Data->Empty) ? -1 : Data->GetControlIndex(Name);
  if (index == -1)
    return -1;
  if (auto* r = dynamic_cast<TRecord*>(SkinControlRecord(Data, index))) {
    Look.Found = true;
    Look.FontName = r->fontname;
    Look.FontStyle = r->fontstyle;
    Look.FontHeight = r->fontheight;
    Look.FontColor = r->fontcolor;
    Look.BGColor = r->bgcolor;
  }
  return index;
}

// A linked bar and its component, kept apart: a bar being freed can no longer answer
// LinkComponent. Link registers Owner for the bar's free notification (and drops the one of
// the bar it replaces); Forget clears the link when Removed is the bar's component.
struct TskLinkedBar {
  IskScrollBarLink* Bar = nullptr;
  TComponent* Component = nullptr;
  void Link(TComponent* Owner, IskScrollBarLink* NewBar);
  bool Forget(TComponent* Removed);
};

void ApplyViewFont(const TskViewLook& Look, bool UseSkinFont, TFont* Font, TFont* DefaultFont);
TFontCharset ViewCharset(TskSkinData* Data, TFont* DefaultFont);
void SendViewThumbPosition(HWND View, bool Vertical, int Position);
void RealignBar(IskScrollBarLink* Bar);
