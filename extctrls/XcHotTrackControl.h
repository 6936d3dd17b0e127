// The hot-track values a control carries (the extended panel and speed button): whether it
// changes its look under the mouse, the font it then uses (following the control's font by the
// font options) and its hot-track options. The control gives its own font and the options
// object it owns.
#pragma once

#include <memory>

#include "extctrls/XcHotTrackPersistent.h"

class TXcHotTrackValues : public IXcHotTrack {
public:
  TXcHotTrackValues() : FHotTrackFont(std::make_unique<TFont>()) {}

  bool GetHotTrack() override { return FHotTrack; }
  void SetHotTrack(bool Value) override { FHotTrack = Value; }
  TFont* GetHotTrackFont() override { return FHotTrackFont.get(); }
  // Copies a different, non-null font.
  void SetHotTrackFont(TFont* Value) override;
  TXcTrackFontOptions GetHotTrackFontOptions() override { return FHotTrackFontOptions; }
  // Stores and makes the hot-track font follow the control's font by the new options.
  void SetHotTrackFontOptions(TXcTrackFontOptions Value) override;
  TXcHotTrackOptions* GetHotTrackOptions() override { return FHotTrackOptions; }
  // Copies different, non-null options.
  void SetHotTrackOptions(TXcHotTrackOptions* Value) override;
  // Copies the four values of another implementer (not of null or of this one).
  void Assign(IXcHotTrack* Source) override;

protected:
  // The control's own font, which the hot-track font follows.
  virtual TFont* HotTrackBaseFont() = 0;
  // The hot-track font follows the control's font by the options.
  void FollowFont();
  void SetHotTrackOptionsObject(TXcHotTrackOptions* Value) { FHotTrackOptions = Value; }

private:
  bool FHotTrack = false;
  std::unique_ptr<TFont> FHotTrackFont;
  TXcTrackFontOptions FHotTrackFontOptions =
      XcOption(hoFollowFont) | XcOption(hoPreserveColor) | XcOption(hoPreserveStyle);
  TXcHotTrackOptions* FHotTrackOptions = nullptr;
};
