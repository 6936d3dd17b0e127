// TskSkinScrollBar: a stand-alone scroll bar window drawn from a scroll-bar record of the skin
// ("hscrollbar", "vscrollbar", "bothhscrollbar") or, without one, in a flat default look. The
// scrolled controls (memo, list boxes, tree, list and rich-edit views, the grids) own one or two
// of these bars beside them, push their range in through IskScrollBarLink (SetRange,
// SetPosition, SetPositionSilent) and follow the bar's events.
//
// The bar has three items: the thumb (dragged to set Position), the up button (right or bottom
// end, raises Position by SmallChange) and the down button (left or top end, lowers it). A press
// in the track pages by LargeChange towards the pointer. Held buttons and held paging repeat on
// the bar's window timer 1: the first tick comes after 500 ms and only switches to 50 ms; paging
// stops by itself when the thumb reaches the pointer.
//
// Callers rely on:
// - Position always lies in Min .. Max - PageSize + 1 (Min .. Max without a page) and never below
//   Min; out-of-range values are clamped, never rejected. SetPageSize keeps the old page size
//   when the current position would leave the new range.
// - SetPosition raises OnChange only when the value changes; SetRange and SetPositionSilent never
//   raise an event. OnPageUp / OnPageDown come after the page step they belong to;
//   OnUpButtonClick / OnDownButtonClick replace the button's own step; OnLastChange comes at the
//   release after a thumb drag.
// - The thumb always lies inside the track (a page larger than the range gives a thumb as long
//   as the track, never longer), whatever the range, page or size.
// - A disabled bar shows no thumb.
#pragma once

#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinRepeatTimer.h"
#include "skin/controls/SkinScrollBarLink.h"

class TskSkinScrollBar : public TskSkinCustomControl, public IskScrollBarLink {
public:
  enum TItem { siThumb = 0, siUpButton = 1, siDownButton = 2 };
  // What a held button or a held press in the track repeats.
  enum TRepeatMode { rmNone = 0, rmDownButton = 1, rmUpButton = 2, rmPageUp = 3, rmPageDown = 4 };
  static constexpr UINT_PTR RepeatTimerId = 1;
  static constexpr UINT FirstRepeatDelay = 500;
  static constexpr UINT RepeatInterval = 50;

  explicit TskSkinScrollBar(TComponent* AOwner);
  ~TskSkinScrollBar() override;

  // IskScrollBarLink
  TComponent* LinkComponent() override { return this; }
  int GetMin() const override { return FMin; }
  int GetMax() const override { return FMax; }
  int GetPageSize() const override { return FPageSize; }
  int GetPosition() const override { return FPosition; }
  void SetPosition(int Value) override;
  void SetPositionSilent(int Value) override;
  void SetRange(int AMin, int AMax, int APosition, int APageSize) override;
  int GetSmallChange() const override { return FSmallChange; }
  void SetSmallChange(int Value) override;
  int GetLargeChange() const override { return FLargeChange; }
  void SetLargeChange(int Value) override;
  bool GetBarVisible() override { return GetVisible(); }
  void SetBarVisible(bool Value) override { SetVisible(Value); }
  void SetBarEnabled(bool Value) override { SetEnabled(Value); }
  bool GetBoth() const override { return FBoth; }
  // Not at design time: on saves SkinDataName and takes BothSkinDataName, off restores the saved
  // name. Repaints without a record, else looks the record up again.
  void SetBoth(bool Value) override;

  TskScrollBarKind GetKind() const { return FKind; }
  // Stores and repaints. At design time also renames the record and turns the bar's sides; at run
  // time the caller sets SkinDataName itself.
  void SetKind(TskScrollBarKind Value);
  // Position is raised to the new Min when below it.
  void SetMin(int Value);
  // Position is pulled back into the new range.
  void SetMax(int Value);
  // Stored only when Position + Value <= Max + 1; repaints either way.
  void SetPageSize(int Value);
  int GetBothMarkerWidth() const { return FBothMarkerWidth; }
  // Negative values are ignored.
  void SetBothMarkerWidth(int Value);
  const String& GetBothSkinDataName() const { return FBothSkinDataName; }
  void SetBothSkinDataName(const String& Value) { FBothSkinDataName = Value; }
  bool GetCanFocused() const { return FCanFocused; }
  // Stores and sets TabStop.
  void SetCanFocused(bool Value);

  void GetSkinData() override;
  void CalcSize(int& W, int& H) override;

  // Places the track, the buttons and the thumb for the current size, range and position.
  void LayoutItems();
  // The position that a thumb offset D (pixels from the travel start) stands for.
  int PosFromOffset(int D);
  // Focused and CanFocused.
  bool HasKeyFocus();

  // State read by the painters and by tests (after LayoutItems).
  const TRect& GetItemRect(TItem Item) const { return FItems[Item].R; }
  bool GetItemHot(TItem Item) const { return FItems[Item].Hot; }
  bool GetItemPressed(TItem Item) const { return FItems[Item].Pressed; }
  const TRect& GetTrackRect() const { return FTrack; }
  int GetThumbOffset() const { return FOffset; }
  int GetTravelStart() const { return FTravelStart; }
  int GetTravelEnd() const { return FTravelEnd; }
  int GetHoverIndex() const { return FHover; }
  int GetPressedIndex() const { return FPressed; }
  TRepeatMode GetRepeatMode() const { return FRepeatMode; }
  bool GetDragging() const { return FDragging; }

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  struct TBarItem {
    TRect R{};
    bool Hot = false;
    bool Pressed = false;
  };
  // The values of a scroll-bar record, copied at every lookup.
  struct TSkinLook {
    TRect TrackArea{}, UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
    TRect DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
    TRect ThumbRect{}, ActiveThumbRect{}, DownThumbRect{};
    int ThumbOffset1 = 0, ThumbOffset2 = 0;
    bool ThumbTransparent = false;
    TColor ThumbTransparentColor = 0;
    TRect GlyphRect{}, ActiveGlyphRect{}, DownGlyphRect{};
    bool GlyphTransparent = false;
    TColor GlyphTransparentColor = 0;
    bool ThumbStretchEffect = false;
    int ThumbMinSize = 0;
    int ThumbMinPageSize = 0;
  };

  bool Horizontal() const { return FKind == sbHorizontal; }
  // The upper end of the position range (never below Min).
  int UpperPosition() const;
  int ClampPosition(int Value) const;
  // The thumb's place along the axis from its length and the track (both looks).
  void PlaceThumb(int Length, int CrossStart, int CrossEnd);
  double ThumbFraction() const;
  int HitItem(int X, int Y) const;
  void TrackHover(int X, int Y);
  void ItemEnter(int Index);
  void ItemLeave(int Index);
  void ItemDown(int Index, int X, int Y);
  void ItemUp(int Index);
  void StartRepeat(TRepeatMode Mode);
  void StopRepeat();
  // One step of the held button or the held paging.
  void RepeatStep();
  void StepUp();
  void StepDown();
  void DrawDefaultItem(TCanvas* Canvas, int Index);
  void DrawSkinItem(TBitmap* B, int Index);
  void DrawSkinThumb(TBitmap* B);

  TskScrollBarKind FKind = sbHorizontal;
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FSmallChange = 1;
  int FLargeChange = 1;
  int FPageSize = 0;
  bool FBoth = false;
  int FBothMarkerWidth = 0;
  String FBothSkinDataName = "bothhscrollbar";
  String FSavedSkinDataName;
  bool FHasSavedSkinDataName = false;
  bool FCanFocused = false;

  TSkinLook FLook;
  TBarItem FItems[3];
  TRect FTrack{};
  int FTravelStart = 0;
  int FTravelEnd = 0;
  int FOffset = 0;
  int FHover = -1;
  int FPressed = -1;
  TRepeatMode FRepeatMode = rmNone;
  TskRepeatTimer FRepeat;
  bool FMousePressed = false;
  bool FDragging = false;
  int FDragAnchor = 0;
  int FDragOffset = 0;
  TPoint FLastPoint{};
  bool FTakingFocus = false;
};
