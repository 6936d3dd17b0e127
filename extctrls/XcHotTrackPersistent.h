// TXcHotTrackOptions: what an extended control does while the mouse is over it: whether it
// changes its look at all (Enabled), the colour it then paints with, and whether and in which
// colour it draws a frame. The object only stores the values and reports changes; its control
// reads them when painting.
//
// A setter that really changes a value reports, in this order: changing, property changing
// (with the property's name), the new value stored, property changed, changed. Assign from
// other options copies all four values inside one update bracket: one changing and one changed
// notification for the whole copy, plus the per-property ones of the values that differ.
#pragma once

#include "extctrls/XcTypes.h"
#include "platform/vcl/GraphicsObjects.h"

constexpr TColor XcHotTrackDefaultColor = 0x00D2BDB6;
constexpr TColor XcHotTrackDefaultFrameColor = 0x006A240A;

class TXcHotTrackOptions : public TXcPersistentProperty {
public:
  explicit TXcHotTrackOptions(TPersistent* AOwner);

  void Assign(TPersistent* Source) override;

  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value) { ChangeProperty(FEnabled, Value, "Enabled"); }
  bool GetFrameVisible() const { return FFrameVisible; }
  void SetFrameVisible(bool Value) { ChangeProperty(FFrameVisible, Value, "FrameVisible"); }
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value) { ChangeProperty(FColor, Value, "Color"); }
  TColor GetFrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value) { ChangeProperty(FFrameColor, Value, "FrameColor"); }

private:
  bool FEnabled = false;
  bool FFrameVisible = false;
  TColor FColor = XcHotTrackDefaultColor;
  TColor FFrameColor = XcHotTrackDefaultFrameColor;
};

// What the controls that carry hot-track settings (the extended speed button and panel) have
// in common, so that they can be treated alike.
class IXcHotTrack {
public:
  virtual ~IXcHotTrack() = default;
  virtual bool GetHotTrack() = 0;
  virtual TFont* GetHotTrackFont() = 0;
  virtual TXcTrackFontOptions GetHotTrackFontOptions() = 0;
  virtual TXcHotTrackOptions* GetHotTrackOptions() = 0;
  virtual void SetHotTrack(bool Value) = 0;
  virtual void SetHotTrackFont(TFont* Value) = 0;
  virtual void SetHotTrackFontOptions(TXcTrackFontOptions Value) = 0;
  virtual void SetHotTrackOptions(TXcHotTrackOptions* Value) = 0;
  // Copies the four values above from Source.
  virtual void Assign(IXcHotTrack* Source)
  {
    SetHotTrack(Source->GetHotTrack());
    SetHotTrackFont(Source->GetHotTrackFont());
    SetHotTrackFontOptions(Source->GetHotTrackFontOptions());
    SetHotTrackOptions(Source->GetHotTrackOptions());
  }
};
