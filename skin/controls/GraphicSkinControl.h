// The two non-windowed bases of the skinned controls that need no window of their own (the speed
// buttons). They bind, look up, size and paint exactly as the windowed bases of SkinControl.h,
// with these differences: no window region and no mask picture, no children (a parent-image
// notice only repaints a blended control), no tab order, no direct frame painting (a both-ways
// skin always builds its whole image), and SkinDataName is a plain field.
#pragma once

#include <memory>

#include "platform/vcl/ImgList.h"
#include "skin/controls/SkinControlGeometry.h"

class TskGraphicSkinControl : public TGraphicControl {
public:
  explicit TskGraphicSkinControl(TComponent* AOwner);
  ~TskGraphicSkinControl() override;

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
  void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
  bool GetAlphaBlend() const { return FAlphaBlend; }
  virtual void SetAlphaBlend(bool Value);
  Byte GetAlphaBlendValue() const { return FAlphaBlendValue; }
  virtual void SetAlphaBlendValue(Byte Value);
  bool GetUseSkinCursor() const { return FUseSkinCursor; }
  void SetUseSkinCursor(bool Value) { FUseSkinCursor = Value; }

  int GetSkinIndex() const { return FIndex; }
  int GetCursorIndex() const { return CursorIndex; }

  virtual void GetSkinData();
  virtual void ChangeSkinData();
  virtual void ResetSkinIndex();

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  virtual void CreateControlDefaultImage(TBitmap* B);
  virtual void CreateControlSkinImage(TBitmap* B);
  void Paint() override;
  void PaintBuffered();
  bool Designing() const { return (GetComponentState() & csDesigning) != 0; }
  void ApplySkinCursor();

  void Dispatch(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

  TskSkinData* FSkinData = nullptr;
  String FSkinDataName;
  int FIndex = -1;
  int CursorIndex = -1;

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

class TskGraphicSkinCustomControl : public TskGraphicSkinControl, public TskSkinGeometry {
public:
  explicit TskGraphicSkinCustomControl(TComponent* AOwner);
  ~TskGraphicSkinCustomControl() override;

  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  int GetDefaultWidth() const { return FDefaultWidth; }
  // Stores; applied at once (values above 0) while the control has no record.
  void SetDefaultWidth(int Value);
  int GetDefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);

  void GetSkinData() override;
  void ChangeSkinData() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  void CreateSkinImage(TBitmap* B, TBitmap* APicture, const TRect& Source);
  TRect MapSkinRect(const TRect& R) const { return MapSkinRectFor(R, GetWidth(), GetHeight()); }

  virtual void DefaultFontChanged() {}
  virtual void CalcSize(int& W, int& H);

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;

private:
  void OnDefaultFontChange(TObject* Sender);

  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  int FDefaultWidth = 0;
  int FDefaultHeight = 0;
};
