// The two windowed bases of every windowed skinned control.
//
// TskSkinControl binds a control to one record of a loaded skin by SkinData + SkinDataName and
// paints it double-buffered through two image builders (CreateControlSkinImage with a record,
// CreateControlDefaultImage without one), optionally blended over what lies under the control
// (AlphaBlend). The record is looked up again (GetSkinData) at every paint, size change and skin
// change, so a new SkinDataName takes effect at the next paint. A skinned form calls
// ChangeSkinData on every control of a changed skin; ParentImageChangedMessage runs down the
// window tree through the blended controls.
//
// TskSkinCustomControl adds the resizable skin picture of a TskDataSkinCustomControl record: the
// size rules of the skin (CalcSize), the control image at any size (CreateSkinImage), the window
// region cut from the record's mask, direct frame painting for large containers, and the default
// look used without a record (clBtnFace, DefaultFont "Arial" 14 pixels, DefaultWidth and
// DefaultHeight).
//
// Callers rely on: no skin data, an empty skin or a missing record gives the default look and
// never an error; a picture index below 0 or beyond the skin's pictures gives no picture; a zero
// or negative size paints nothing; freeing the skin data clears SkinData (the control is then
// unskinned).
#pragma once

#include <memory>

#include "platform/vcl/ImgList.h"
#include "skin/controls/SkinControlGeometry.h"

class TskSkinControl : public TCustomControl {
public:
  explicit TskSkinControl(TComponent* AOwner);
  ~TskSkinControl() override;

  const String& GetHintTitle() const { return FHintTitle; }
  void SetHintTitle(const String& Value) { FHintTitle = Value; }
  int GetHintImageIndex() const { return FHintImageIndex; }
  void SetHintImageIndex(int Value) { FHintImageIndex = Value; }
  TCustomImageList* GetHintImageList() const { return FHintImageList; }
  void SetHintImageList(TCustomImageList* Value);
  bool GetDrawDefault() const { return FDrawDefault; }
  void SetDrawDefault(bool Value) { FDrawDefault = Value; }
  // The SkinData property (its reader has this name because GetSkinData is the record lookup).
  TskSkinData* GetSkinDataComponent() const { return FSkinData; }
  // Stores Value; unless it is null, empty or the control is designed: ChangeSkinData.
  virtual void SetSkinData(TskSkinData* Value);
  const String& GetAreaName() const { return FAreaName; }
  void SetAreaName(const String& Value) { FAreaName = Value; }
  const String& GetSkinDataName() const { return FSkinDataName; }
  // Stores only: the record is looked up again at the next GetSkinData.
  virtual void SetSkinDataName(const String& Value);
  bool GetAlphaBlend() const { return FAlphaBlend; }
  virtual void SetAlphaBlend(bool Value);
  Byte GetAlphaBlendValue() const { return FAlphaBlendValue; }
  virtual void SetAlphaBlendValue(Byte Value);
  bool GetUseSkinCursor() const { return FUseSkinCursor; }
  void SetUseSkinCursor(bool Value) { FUseSkinCursor = Value; }

  // The index of the control's record in the skin data's ControlList; -1 = no record.
  int GetSkinIndex() const { return FIndex; }
  int GetCursorIndex() const { return CursorIndex; }
  HRGN GetRegionHandle() const { return RegionHandle; }
  bool GetInWMPaint() const { return InWMPaint; }

  // Looks the record up again (see the header comment).
  virtual void GetSkinData();
  // Re-reads the record, takes the skin cursor when UseSkinCursor, repaints.
  virtual void ChangeSkinData();
  // Marks the control unskinned until the next lookup.
  virtual void ResetSkinIndex();
  // What lies under the control changed: with AlphaBlend, repaint and tell the children.
  virtual void UpdateAlphaBlend();
  // Sends ParentImageChangedMessage to every child (windowed children get a window of their own
  // when they have none yet).
  void SendParentImageChanged();

  // Asked of a parent by its skinned children in SetBounds: true when they are to be centred
  // vertically in Area (the skinned tool bar with AdjustControls answers it).
  virtual bool GetControlsCentringArea(TRect& Area);

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  virtual void CreateControlDefaultImage(TBitmap* B);
  virtual void CreateControlSkinImage(TBitmap* B);
  // The double-buffered paint (see the header comment); the record is looked up first.
  void Paint() override;
  // Fills a W x H bitmap with the skinned or default image and draws (or blends) it.
  void PaintBuffered();
  bool Designing() const { return (GetComponentState() & csDesigning) != 0; }
  // Takes the cursor of CursorIndex when UseSkinCursor.
  void ApplySkinCursor();

  void Dispatch(TMessage& Message) override;
  void WMMove(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  virtual void WMParentImageChanged(TMessage& Message);

  TskSkinData* FSkinData = nullptr;
  String FSkinDataName;
  int FIndex = -1;
  int CursorIndex = -1;
  HRGN RegionHandle = nullptr;
  bool InWMPaint = false;

private:
  String FHintTitle;
  int FHintImageIndex = 0;
  TCustomImageList* FHintImageList = nullptr;
  bool FDrawDefault = true;
  String FAreaName;
  bool FAlphaBlend = false;
  Byte FAlphaBlendValue = 200;
  bool FUseSkinCursor = false;
};

class TskSkinCustomControl : public TskSkinControl, public TskSkinGeometry {
public:
  explicit TskSkinCustomControl(TComponent* AOwner);
  ~TskSkinCustomControl() override;

  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  // Assigns Value and calls DefaultFontChanged.
  void SetDefaultFont(TFont* Value);
  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  int GetDefaultWidth() const { return FDefaultWidth; }
  // Stores; applied at once (values above 0) while the control has no record.
  void SetDefaultWidth(int Value);
  int GetDefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);

  TBitmap* GetMaskPicture() const { return MaskPicture; }

  void GetSkinData() override;
  void ChangeSkinData() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  // The control image of the current size from Source of APicture (other state rectangles of
  // the same picture may be given).
  void CreateSkinImage(TBitmap* B, TBitmap* APicture, const TRect& Source);
  // A rectangle of skin coordinates placed onto the control at its current size.
  TRect MapSkinRect(const TRect& R) const { return MapSkinRectFor(R, GetWidth(), GetHeight()); }

  virtual void DefaultFontChanged() {}
  // The skin's size rules for a requested W x H; refreshes the New... geometry.
  virtual void CalcSize(int& W, int& H);
  // Cuts the window to the record's mask, or removes the region without one.
  virtual void SetControlRegion();

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void Paint() override;
  void CreateControlRegion();

  TBitmap* MaskPicture = nullptr;
  // Panels and list boxes paint a both-ways frame as four edge pieces and fill the client area.
  bool DirectFramePaint = false;
  bool FillClientArea = true;

private:
  void OnDefaultFontChange(TObject* Sender);
  void PaintDirectFrame();

  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  int FDefaultWidth = 0;
  int FDefaultHeight = 0;
};
