// Skinned tooltips. TskSkinHint is a non-visual component that makes the application's hints
// skinned: it installs TskSkinHintWindow as the application's hint window class, takes the title
// and image of the skinned control under the mouse, and shows hints on request (ShowHintText /
// HideHint). TskSkinHintWindow draws a hint from the skin's HINTWINDOW record (or in the plain
// default look), one font line per line of text (LineSeparator starts a new line) with margins
// around the whole text, with an optional bold title and image, a frame region from the skin's
// mask, and optional alpha blending with a busy-loop fade-in (3 ms steps).
//
// Contract: a hint window finds the component in charge at each activation: the first active
// TskSkinHint owned by the application's main form; without one it shows nothing. Nothing is
// reported; without usable skin data the default look is used. GUI thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/HintWindow.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Timer.h"
#include "skin/foundation/SkinData.h"

class TskSkinHint;

class TskSkinHintWindow : public THintWindow {
public:
  explicit TskSkinHintWindow(TComponent* AOwner);
  ~TskSkinHintWindow() override;

  // Shows Hint with its top-left corner at Rect's (the size is the hint's own).
  void ActivateHint(const TRect& Rect, const String& AHint) override;
  // Everything of ActivateHint but placing and showing: finds the component in charge, takes
  // the look, sets the text and answers the window size W x H; false without a component.
  bool PrepareHint(const String& AHint, int& W, int& H);
  // Paints the whole hint into Canvas at (0, 0) (what Paint draws).
  void PaintTo(TCanvas* Canvas);

  // The first active TskSkinHint owned by the application's main form, or null.
  static TskSkinHint* FindActiveHint();

  TskSkinHint* ActiveHint = nullptr;
  TskSkinData* SkinInUse = nullptr;
  bool RichMode = false;
  TRect FrameClientRect{};
  TPoint FrameLeftTop{}, FrameRightTop{}, FrameLeftBottom{}, FrameRightBottom{};
  std::unique_ptr<TBitmap> BlendCapture;
  bool LastAlphaBlend = false;
  int LastAlphaBlendValue = 0;
  // The alpha values applied by the last fade-in, in order (for checks of the fade).
  std::vector<int> FadeSteps;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;

private:
  // Size of the hint's text in the hint's font (DT_CALCRECT; at least one line per line).
  SIZE TextSize(TCanvas* Canvas, const String& Text) const;
  void SetHintFont(TFont* Font) const;
  // The frame arithmetic of the skinned look: grows the text size W x H to the window size.
  void FrameSize(int& W, int& H, bool Rich);
  void Show(const TRect& ARect, int W, int H);
  void FadeIn(int Target);
};

class TskSkinHint : public TComponent {
public:
  explicit TskSkinHint(TComponent* AOwner);
  ~TskSkinHint() override;

  const String& GetLineSeparator() const { return FLineSeparator; }
  void SetLineSeparator(const String& Value) { FLineSeparator = Value; }
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  bool GetAlphaBlendSupport() const { return FAlphaBlendSupport; }
  // True only where layered windows exist.
  void SetAlphaBlendSupport(bool Value);
  bool GetAlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
  int GetAlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte Value) { FAlphaBlendValue = Value; }
  bool GetAlphaBlendAnimation() const { return FAlphaBlendAnimation; }
  void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
  TskSkinData* GetSkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  bool GetActive() const { return FActive; }
  // Activating one hint component of the main form deactivates its others.
  void SetActive(bool Value);
  TShowHintEvent OnShowHint;

  // Shows Text at the cursor after the application's HintPause (the hint then hides after
  // HintHidePause); a request still waiting is replaced.
  void ShowHintText(const String& Text);
  // Drops a waiting request and hides a shown hint.
  void HideHint();
  // The show-hint handler the component installs as the application's OnShowHint.
  void DoShowHint(String& HintStr, bool& CanShow, THintInfo& HintInfo);
  // Fires the waiting request now (what its timer does).
  void RequestTimerFired();
  // Distance from the cursor's hot spot to the bottom of its picture.
  static int CursorMargin();

  TskSkinHintWindow* GetHintWindow() const { return FHintWindow; }
  TTimer* GetRequestTimer() const { return FRequestTimer; }

  String TitleText;
  int TitleImageIndex = 0;
  TCustomImageList* TitleImages = nullptr;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ClearTitle();
  void InstallHandler();
  String FLineSeparator = "@";
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  bool FAlphaBlendSupport = true;
  bool FAlphaBlend = false;
  int FAlphaBlendValue = 200;
  bool FAlphaBlendAnimation = false;
  TskSkinData* FSkinData = nullptr;
  bool FActive = true;
  TskSkinHintWindow* FHintWindow = nullptr;
  TTimer* FRequestTimer = nullptr;
  String FRequestText;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
