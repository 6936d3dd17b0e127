// TskSkinToolBar: the skinned panel ("toolpanel") for tool buttons. It keeps its children
// vertically centred (AdjustControls), hands its skin, flat look, image lists and caption switch
// to its speed buttons, and, with CanScroll, shows two 12-pixel scroll arrows in its non-client
// area when the buttons do not fit; the arrows scroll the children sideways on a click, while
// held, or on hover (HotScroll).
//
// Contract: the scroll position never goes below 0 nor past the content's end; each step moves
// the children by exactly the step taken (the position is recorded after every scroll). Without
// CanScroll the arrows never appear and no arrow hit-test codes (119, 120) are answered.
// GUI thread only.
#pragma once

#include "skin/controls/SkinPanel.h"
#include "skin/controls/SkinSpeedButton.h"

class TskSkinToolBar : public TskSkinPanel, public TskToolBarImageSource {
public:
  explicit TskSkinToolBar(TComponent* AOwner);
  ~TskSkinToolBar() override;

  bool GetAdjustControls() const { return FAdjustControls; }
  void SetAdjustControls(bool Value) { FAdjustControls = Value; }
  bool GetCanScroll() const { return FCanScroll; }
  void SetCanScroll(bool Value) { FCanScroll = Value; }
  bool GetHotScroll() const { return FHotScroll; }
  void SetHotScroll(bool Value) { FHotScroll = Value; }
  int GetScrollOffset() const { return FScrollOffset; }
  // Values below 0 are ignored; 0 scrolls by the client width.
  void SetScrollOffset(int Value);
  int GetScrollTimerInterval() const { return FScrollTimerInterval; }
  // Values of 0 or less are ignored.
  void SetScrollTimerInterval(int Value);
  int GetWidthWithCaptions() const { return FWidthWithCaptions; }
  void SetWidthWithCaptions(int Value) { FWidthWithCaptions = Value; }
  int GetWidthWithoutCaptions() const { return FWidthWithoutCaptions; }
  void SetWidthWithoutCaptions(int Value) { FWidthWithoutCaptions = Value; }
  bool GetAutoShowHideCaptions() const { return FAutoShowHideCaptions; }
  void SetAutoShowHideCaptions(bool Value) { FAutoShowHideCaptions = Value; }
  bool GetShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool Value);
  bool GetFlat() const { return FFlat; }
  void SetFlat(bool Value);
  TCustomImageList* GetImages() const override { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* GetHotImages() const override { return FHotImages; }
  void SetHotImages(TCustomImageList* Value);
  TCustomImageList* GetDisabledImages() const override { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* Value);

  bool CentresBevels() const override { return true; }
  bool GetControlsCentringArea(TRect& Area) override;
  void SetSkinData(TskSkinData* Value) override;
  // At design time also gives the child buttons the records that go with the bar's.
  void SetSkinDataName(const String& Value) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Child layout and scrolling (public for the tests).
  void CenterControls();
  void UpdateScrollButtons();
  // One step: 1 left, 2 right.
  void ScrollStep(int Direction);
  bool GetArrowsVisible() const { return FLeft.Visible; }
  int GetScrollPosition() const { return FPosition; }
  // The arrow hit-test code at a client point: 119 left, 120 right, 0 none.
  int ArrowHitTest(int X) const;

  static constexpr int ArrowWidth = 12;
  static constexpr int HitLeftArrow = 119;
  static constexpr int HitRightArrow = 120;

protected:
  void AdjustClientRect(TRect& Rect) override;
  void WndProc(TMessage& Message) override;
  void CreateControlSkinImage(TBitmap* B) override;

private:
  struct TArrow {
    TRect Rect{};
    bool Hot = false;
    bool Down = false;
    bool Visible = false;
  };
  void ShowScrollButtons(bool Value);
  void ScrollContent(int D);
  void StartScroll(int Direction);
  void StopScroll();
  void DrawScrollButton(HDC DC, const TArrow& Arrow, int Direction);
  void PaintArrows();
  void ClearHot(TArrow& Arrow);

  bool FAdjustControls = true;
  bool FCanScroll = false;
  bool FHotScroll = false;
  int FScrollOffset = 0;
  int FScrollTimerInterval = 50;
  int FWidthWithCaptions = 0;
  int FWidthWithoutCaptions = 0;
  bool FAutoShowHideCaptions = false;
  bool FShowCaptions = false;
  bool FFlat = false;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  TArrow FLeft, FRight;
  int FTimerDirection = 0;
  int FPosition = 0;
  int FContentRight = 0;
  int FLastClientWidth = 0;
  int FLastPosition = 0;
  int FGrowth = 0;
  bool FInUpdate = false;
};
