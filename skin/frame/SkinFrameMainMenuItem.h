// A top item of the form's main menu shown as a frame object in the skin's main-menu area (for
// skins that hold a "MAINMENUITEM" record and forms without a menu bar). The item is as wide as
// its caption, built from a stretchable skin image, opens its sub-menu as a skinned popup below
// itself and lets the mouse slide from one open menu to the next. An item that does not fit the
// main-menu area is neither drawn nor clickable, nor is any item after it; it comes back with its
// earlier enabled state when the area grows.
// GUI thread only.
#pragma once

#include "platform/vcl/Menus.h"
#include "skin/frame/SkinFrameObject.h"

class TskSkinMainMenuItem : public TskActiveSkinObject {
public:
  TskSkinMainMenuItem(TskSkinnedForm* AParent, TskDataSkinMainMenuItem* Data);

  void Draw(TCanvas* Cnvs, bool Alone) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;

  void SetDown(bool Value);
  void PopupMenu();
  // The item's rectangle as the next draw lays it out (frame coordinates, before any shift into
  // the bottom strip).
  TRect LayoutRect(TCanvas* Cnvs);

  TRect SavedRect{};
  bool Down = false;
  bool SavedEnabled = true;
  bool Fits = true;
  TMenuItem* MenuItem = nullptr;
  String FontName = "Arial";
  int FontHeight = 14;
  TFontStyles FontStyle = 0;
  TColor UnEnabledFontColor = 0;
  TColor FontColor = 0;
  TColor ActiveFontColor = 0;
  TColor DownFontColor = 0;
  TRect TextRect{};
  TRect DownRect{};
  int ItemLeftOffset = 0;
  int ItemRightOffset = 0;

private:
  void SetFont(TCanvas* Cnvs);
  void BuildImage(TBitmap* B, const TRect& Source, bool Hot);
};
