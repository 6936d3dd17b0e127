// One open level of a skinned menu: a borderless, never-activated popup window (override-redirect
// on X11) that lists the visible sub-items of one menu item, paints them from the skin's popup
// frame and menu-item record (or in the built-in default look), scrolls when it is taller than
// the work area (or than the manager's item limit), follows the mouse with a polling timer and
// answers the arrow, Enter and Escape keys and item accelerators handed to ProcessKey.
//
// Contract: levels are created, owned, placed and freed by the menu manager (TskSkinMenu), which
// keeps them first level first. A level never takes the focus; keys reach it only through
// ProcessKey. Its entries (TskSkinMenuItem) draw themselves and carry the selection; the level
// lays them out, hit-tests them and moves the selection. GUI thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Timer.h"
#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/input/SkinMenuItem.h"

class TskSkinMenu;

class TskSkinPopupWindow : public TCustomControl {
public:
  // A level of Menu; skinned when PopupRecord is given and its window picture index is not -1.
  TskSkinPopupWindow(TskSkinMenu* AMenu, TskDataSkinPopupWindow* APopupRecord);
  ~TskSkinPopupWindow() override;

  // Fills the level with the visible sub-items of Item from StartIndex on, sizes it, places it
  // against R (screen coordinates) and shows it. SubMenu: R is the parent entry's rectangle;
  // OpenAbove: a first level opens above R rather than below.
  void Popup(const TRect& R, TMenuItem* Item, bool OpenAbove, bool SubMenu, int StartIndex);
  // The same for the sub-items of Item followed by those of OtherItem.
  void PopupMerged(const TRect& R, TMenuItem* Item, TMenuItem* OtherItem, bool OpenAbove, bool SubMenu,
                   int StartIndex);
  // Keyboard navigation; nothing while the level is not visible.
  void ProcessKey(Word Key);

  // Parts of the popup run, public for the manager, the entries and tests.
  // Fills, sizes and lays the level out for the sub-items of Item (then of OtherItem when
  // Merged) without placing or showing it; false when the level went away meanwhile.
  bool Build(TMenuItem* Item, TMenuItem* OtherItem, int StartIndex, bool Merged);
  // The TopIndex that shows the end of the list.
  int LastTopIndex() const;
  bool CanScrollUp() const { return TopIndex > 0; }
  bool CanScrollDown() const;
  void ScrollUp(bool Wrap);
  void ScrollDown(bool Wrap);
  // Mouse tracking at a client point (what the mouse poll and MouseUp do).
  void TrackMouse(int X, int Y);
  // One poll of the mouse timer.
  void MouseTimerTick();
  // One tick of the entries' animation timer.
  void AnimationTimerTick();
  // One tick of the scroll timer.
  void ScrollTimerTick();
  // Paints the whole level into DC.
  void PaintLevel(HDC DC);
  // Closes every level after this one and clears the open-sub-menu mark of this level's entries.
  void CloseDeeperLevels();
  // Screen position chosen by the placement rules for R and the flags (no side effects).
  TPoint Placement(const TRect& R, bool OpenAbove, bool SubMenu) const;
  // The height of an entry by the level's look.
  int EntryHeight(const TskSkinMenuItem* Entry) const;
  TskSkinMenuItem* Item(int Index) const { return Items[static_cast<std::size_t>(Index)].get(); }
  int ItemCount() const { return static_cast<int>(Items.size()); }
  // The level's work area (the manager's).
  TRect WorkArea() const;

  TskSkinMenu* Menu;
  TskDataSkinPopupWindow* PopupRecord = nullptr;
  TskSkinData* SkinData = nullptr;
  TBitmap* WindowPicture = nullptr;
  TBitmap* MaskPicture = nullptr;
  TskDataSkinMenuItem* ItemRecord = nullptr;
  std::vector<std::unique_ptr<TskSkinMenuItem>> Items;
  int ItemIndex = -1;
  int OldItemIndex = -1;
  int TopIndex = 0;
  int VisibleCount = 0;
  bool Scrollable = false;
  bool LimitedByMax = false;
  int ScrollDirection = 0;  // 0 none, 1 up, 2 down
  TRect ItemsRect{};
  TPoint LeftTopPoint{}, RightTopPoint{}, LeftBottomPoint{}, RightBottomPoint{};
  TCustomImageList* Images = nullptr;
  int ImageColumnWidth = 16;
  int PopupX = 0, PopupY = 0;
  int LastMouseX = -1, LastMouseY = -1;
  bool AlphaBlend = false;
  int AlphaBlendValue = 255;
  bool AlphaBlendAnimation = false;
  std::unique_ptr<TBitmap> ScreenCapture;
  std::unique_ptr<TskEffectBmp> ScreenCaptureBits;
  std::unique_ptr<TBitmap> BackgroundCopy;
  TTimer* MouseTimer = nullptr;
  TTimer* AnimationTimer = nullptr;
  TTimer* ShowTimer = nullptr;
  // The alpha values applied by the last fade-in, in order (for the fade's checks).
  std::vector<int> FadeSteps;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void Fill(const TRect& R, TMenuItem* Item, TMenuItem* OtherItem, bool OpenAbove, bool SubMenu, int StartIndex,
            bool Merged);
  void AddEntries(TMenuItem* Item, int From);
  void SizeLevel();
  void ComputeFrame();
  void Layout();
  void BuildRegion();
  void ShowLevel();
  void ShowTimerTick();
  void FadeIn();
  void SelectFirst(bool MarkOnOpen);
  void BuildBackground(TBitmap* Target, bool FillMiddle);
  void DrawScrollMarkers(TCanvas* Canvas);
  void DrawMarker(TCanvas* Canvas, const TRect& Band, int Direction);
  void StartScroll();
  void StopScroll();
  void NextItem();
  void PrevItem();
  void ChangeActive(int NewIndex, bool ByKey);
  bool LastVisible(int Index) const { return TopIndex + VisibleCount == Index + 1; }
  // A button press with the pointer grabbed by the menu: outside every level the menu closes.
  void PressWhileGrabbed(const TMessage& Message);
  int FTextHeight = 0;
  bool FScrollTimerOn = false;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
