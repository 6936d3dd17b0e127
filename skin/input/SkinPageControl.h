// TskSkinPageControl: the class library's page control painted from the skin's "tab" record: a
// frame around the page area, tab pictures for the normal, active, focused and hot states, tab
// captions, optional close buttons on the tabs and a skinned up-down (TskSkinUpDown) in place of
// the native tab scroller. The native control still lays the tabs out, selects and handles the
// keyboard; this class sets the tab size, adjusts the native tab and display rectangles and
// paints. Its pages are TskSkinTabSheet.
//
// TskSkinTabSheet: a page of the skinned page control. It paints its own background: its
// WallPaper tiled when it has one, else the page control's background picture or the skin's
// client part (stretched or tiled by the record's stretch settings), else clBtnFace. It carries
// the close-button state of its tab.
//
// Callers rely on:
// - A close button closes the page whose button was pressed and released, after OnClose allows
//   it (its tab is hidden; with FreeOnClose the page is freed before OnAfterClose), also when a
//   refused page switch left another page active.
// - The up-down exists only while single-line tabs are cut off; its Max is the number of cut-off
//   tabs and it scrolls the native tabs.
// - No skin data, an empty skin or a missing record gives the default look.
#pragma once

#include <functional>
#include <memory>

#include "platform/vcl/ImgList.h"
#include "platform/vcl/PageCtrl.h"
#include "skin/foundation/SkinControlRecords.h"
#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"

class TskSkinUpDown;
class TskSkinPageControl;

using TskCloseEvent = std::function<void(TObject* Sender, bool& CanClose)>;
// Draws the contents of tab TabIndex (a page index) into Rct of the tab picture's canvas Cnvs, in
// place of the image and caption.
using TskDrawSkinTabEvent =
    std::function<void(int TabIndex, const TRect& Rct, bool Active, bool MouseIn, TCanvas* Cnvs)>;

class TskSkinCustomTabSheet : public TTabSheet {
public:
  explicit TskSkinCustomTabSheet(TComponent* AOwner);
  ~TskSkinCustomTabSheet() override;

  TBitmap* GetWallPaper() const { return FWallPaper.get(); }
  void SetWallPaper(TBitmap* Value);

  // The close-button state of the sheet's tab (the rectangle relative to the tab's top-left).
  TRect CloseRect{};
  bool CloseHot = false;
  bool CloseDown = false;

  // Paints the sheet's background into DC (see the header comment).
  void PaintSheetBackground(HDC DC);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  std::unique_ptr<TBitmap> FWallPaper;
};

class TskSkinTabSheet : public TskSkinCustomTabSheet {
public:
  using TskSkinCustomTabSheet::TskSkinCustomTabSheet;
};

class TskSkinPageControl : public TPageControl {
public:
  explicit TskSkinPageControl(TComponent* AOwner);
  ~TskSkinPageControl() override;

  TskSkinData* GetSkinDataComponent() const { return FSkinData; }
  // Stores Value; unless it is null, empty or designed: ChangeSkinData.
  void SetSkinData(TskSkinData* Value);
  const String& GetSkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
  bool GetShowCloseButtons() const { return FShowCloseButtons; }
  void SetShowCloseButtons(bool Value);
  bool GetFreeOnClose() const { return FFreeOnClose; }
  void SetFreeOnClose(bool Value) { FFreeOnClose = Value; }
  bool GetTabsBGTransparent() const { return FTabsBGTransparent; }
  void SetTabsBGTransparent(bool Value);
  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  int GetDefaultItemHeight() const { return FDefaultItemHeight; }
  void SetDefaultItemHeight(int Value);
  bool GetTabsInCenter() const { return FTabsInCenter; }
  // Needs a fixed TabWidth (stays off without one); on puts the tabs on top in one row over the
  // parent's background.
  void SetTabsInCenter(bool Value);
  // How far centred tabs are moved right: half the room the visible tabs leave, never below 0.
  int CenterOffset();
  int GetTabMargin() const { return FTabMargin; }
  // Values below -1 are refused.
  void SetTabMargin(int Value);

  // The tab images (each page's ImageIndex); every tab keeps room for one.
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool GetTabExtededDraw() const { return FTabExtededDraw; }
  // On: image and caption are laid out by TabLayout, TabMargin and TabSpacing.
  void SetTabExtededDraw(bool Value);
  int GetTabSpacing() const { return FTabSpacing; }
  void SetTabSpacing(int Value);
  TskButtonLayout GetTabLayout() const { return FTabLayout; }
  void SetTabLayout(TskButtonLayout Value);
  bool GetTextInHorizontal() const { return FTextInHorizontal; }
  // On: tabs on the left or right keep their caption horizontal (the tab picture is turned).
  void SetTextInHorizontal(bool Value);

  TskCloseEvent OnClose;
  TNotifyEvent OnAfterClose;
  TskDrawSkinTabEvent OnDrawSkinTab;

  // Where the active tab reaches into the page frame (the active tab's item rect grown toward
  // the page by how much taller the active tab picture is); empty without an active visible
  // tab or skin.
  TRect ActiveTabExtension();

  // Looks the record up again and copies its values.
  void GetSkinData();
  // Re-reads the record, sets the font and the tab size, renews the up-down, repaints.
  void ChangeSkinData();
  // The skin index (-1 = the default look).
  int GetSkinIndex() const { return FIndex; }
  // The record of the last lookup (null while unskinned).
  TskDataSkinTabControl* GetLook() const { return FRecord; }
  TBitmap* GetPicture() const { return FPicture; }
  TskSkinUpDown* GetUpDown() const { return FUpDown; }
  int GetCloseButtonSize() const { return FCloseButtonSize; }
  // The hot tab (visible-tab index, -1 none).
  int GetHotTab() const { return FHotTab; }

  // Visible tabs cut off at either end, and those at or before the left edge.
  int ScrolledOutCount();
  int LeftScrolledCount();
  // Creates, updates or frees the up-down that scrolls cut-off tabs.
  void CheckUpDown();
  // The native tab rectangle of visible tab I (the first moved right by one on a single row).
  TRect GetItemRect(int I);
  // Closes Page as its close button asks: OnClose, then hide (or free) it and OnAfterClose.
  void ClosePage(TTabSheet* Page);

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void WndProc(TMessage& Message) override;
  void PaintWindow(HDC DC) override;
  void Change() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  int VisibleTabCount();
  TTabSheet* PageOfVisibleTab(int I);
  void SetItemSize(int W, int H);
  void DrawDefaultFrame(TCanvas* C);
  void DrawSkinFrame(TCanvas* C);
  void DrawTabs(TCanvas* C);
  void DrawTab(TCanvas* C, int VisibleIndex, const TRect& R, bool Active, bool MouseIn);
  void DrawCloseButton(TCanvas* C, const TRect& Area, TskSkinCustomTabSheet* Sheet);
  void DrawTabImageAndText(TCanvas* C, int W, int H, int Dy, bool Enabled, int ImageIndex, const String& Caption);
  void EraseSkinBackground(HDC DC);
  void TrackMouse(int X, int Y);
  // The close rectangle of the hot tab in control coordinates (empty without one); ForPress:
  // where a press lands, which centred tabs move left by the centring.
  TRect HotCloseRect(bool ForPress = false);
  void UpDownChange(TObject* Sender);
  void RedrawTabs();
  // Grows (shrinks) the room every tab keeps beside its caption.
  void ReserveRoom(int Delta);

  TskSkinData* FSkinData = nullptr;
  String FSkinDataName = "tab";
  int FIndex = -1;
  TskDataSkinTabControl* FRecord = nullptr;
  TBitmap* FPicture = nullptr;
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  int FDefaultItemHeight = 20;
  int FTabMargin = -1;
  bool FShowCloseButtons = false;
  bool FFreeOnClose = false;
  bool FTabsBGTransparent = false;
  int FCloseButtonSize = 14;
  int FHotTab = -1;
  int FPressedCloseTab = -1;
  TskSkinUpDown* FUpDown = nullptr;
  TCustomImageList* FInternalImages = nullptr;
  bool FCheckingUpDown = false;
  bool FTabsInCenter = false;
  TCustomImageList* FImages = nullptr;
  int FImagesRoom = 0;  // what the internal list keeps for Images in every tab
  bool FTabExtededDraw = false;
  int FTabSpacing = 1;
  TskButtonLayout FTabLayout = blGlyphLeft;
  bool FTextInHorizontal = false;
};
