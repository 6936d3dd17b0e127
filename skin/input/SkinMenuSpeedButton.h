// TskSkinMenuSpeedButton: a skinned speed button that opens a skinned popup menu and/or an images
// menu. With TrackButtonMode the button is split into a main part that clicks like a speed
// button and a 15-pixel drop-down part (at the right, or at the bottom for the new style) that
// opens the menus; without it a press anywhere opens them whenever a menu is assigned. The
// images menu's chosen item can stand for the button's image and caption.
//
// Contract: a press on the drop-down part keeps the button down (its own mouse-up is ignored)
// until the menu reports its closing: SkinMenuClosedMessage from the popup menu, the close
// notification from the images menu; OnHideTrackMenu then follows. OnShowTrackMenu comes before
// each menu opens (twice when both are assigned). Drawn from its own record ("toolmenubutton"
// by default), from the plain button records "toolbutton", "bigtoolbutton", "resizebutton" and
// "resizetoolbutton" with a drop-down mark in the 15-pixel part, or in the default look.
// GUI thread only.
#pragma once

#include "skin/controls/SkinSpeedButton.h"
#include "skin/input/SkinImagesMenu.h"
#include "skin/input/SkinMenu.h"

enum TskTrackPosition { sptpRight, sptpBottom };

class TskSkinMenuSpeedButton : public TskSkinSpeedButton {
public:
  explicit TskSkinMenuSpeedButton(TComponent* AOwner);
  ~TskSkinMenuSpeedButton() override;

  bool GetNewStyle() const { return FNewStyle; }
  // True also binds the button to "resizetoolbutton".
  void SetNewStyle(bool Value);
  TskTrackPosition GetTrackPosition() const { return FTrackPosition; }
  void SetTrackPosition(TskTrackPosition Value);
  TskSkinImagesMenu* GetSkinImagesMenu() const { return FSkinImagesMenu; }
  void SetSkinImagesMenu(TskSkinImagesMenu* Value);
  bool GetUseImagesMenuImage() const { return FUseImagesMenuImage; }
  void SetUseImagesMenuImage(bool Value) { FUseImagesMenuImage = Value; }
  bool GetUseImagesMenuCaption() const { return FUseImagesMenuCaption; }
  void SetUseImagesMenuCaption(bool Value) { FUseImagesMenuCaption = Value; }
  TskSkinPopupMenu* GetSkinPopupMenu() const { return FSkinPopupMenu; }
  void SetSkinPopupMenu(TskSkinPopupMenu* Value);
  bool GetTrackButtonMode() const { return FTrackButtonMode; }
  void SetTrackButtonMode(bool Value);
  TNotifyEvent OnShowTrackMenu;
  TNotifyEvent OnHideTrackMenu;

  // Draw an arrow of ArrowDirection (1 left, 2 right, 3 up, 4 down) as the drop-down mark.
  bool UseArrowGlyph = false;
  int ArrowDirection = 0;

  // The drop-down part in control coordinates.
  TRect GetTrackRect() const;
  // Whether a press at (X, Y) opens the menus.
  bool InTrackPart(int X, int Y) const;
  bool GetMenuOpen() const { return FMenuOpen; }
  // Opens the assigned menus at the button's screen rectangle.
  void OpenMenus();
  // The images menu's closing notice.
  void ImagesMenuClosed();

  void GetSkinData() override;
  void CreateButtonImage(TBitmap* Bitmap, const TRect& R, bool ADown, bool AMouseIn) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TRect TrackButtonRect{};

protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CreateControlDefaultImage(TBitmap* B) override;
  bool GetImagesMenuContent(TCustomImageList*& Images, int& Index, String& Caption) override;

private:
  bool IsPlainRecord() const;
  // The client rectangle less the 15-pixel drop-down strip.
  TRect ContentRect() const;
  TRect StripRect() const;
  // The drop-down mark in R.
  void DrawMark(TCanvas* Canvas, TRect R, bool Moved, bool Active, bool Down, bool Flat, TColor Color);
  // The picture of the record's menu marker of that state centred in R; false without one.
  bool DrawMenuMarker(TCanvas* Canvas, const TRect& R, bool Active, bool Down, bool Flat);
  // The tool-button and resize-button painters (the record of the button's own name).
  void PaintPlainRecord(TBitmap* Bitmap, bool ADown, bool AMouseIn);
  void PaintNewStyle(TBitmap* Bitmap, bool ADown, bool AMouseIn);
  bool FNewStyle = false;
  TskTrackPosition FTrackPosition = sptpRight;
  TskSkinImagesMenu* FSkinImagesMenu = nullptr;
  bool FUseImagesMenuImage = false;
  bool FUseImagesMenuCaption = false;
  TskSkinPopupMenu* FSkinPopupMenu = nullptr;
  bool FTrackButtonMode = false;
  bool FMenuOpen = false;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
