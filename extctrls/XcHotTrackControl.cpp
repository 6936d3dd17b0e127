#include "extctrls/XcHotTrackControl.h"

#include "extctrls/XcDrawUtils.h"

void TXcHotTrackValues::SetHotTrackFont(TFont* Value)
{
  if (Value && Value != FHotTrackFont.get()) FHotTrackFont->Assign(Value);
}

void TXcHotTrackValues::SetHotTrackFontOptions(TXcTrackFontOptions Value)
{
  FHotTrackFontOptions = Value;
  FollowFont();
}

void TXcHotTrackValues::FollowFont() { ApplyTrackFont(FHotTrackFont.get(), HotTrackBaseFont(), FHotTrackFontOptions); }

void TXcHotTrackValues::SetHotTrackOptions(TXcHotTrackOptions* Value)
{
  if (Value && FHotTrackOptions && Value != FHotTrackOptions) FHotTrackOptions->Assign(Value);
}

void TXcHotTrackValues::Assign(IXcHotTrack* Source)
{
  if (!Source || Source == this) return;
  IXcHotTrack::Assign(Source);
}
