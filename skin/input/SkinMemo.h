// TskSkinMemo: the class library's memo dressed by the skin's "memo" record. It paints its own
// frame and background inside its client area (as a picture with BitMapBG, over which the edit
// draws its text transparently, optionally blended over what lies under the memo), keeps the
// text inside the frame with the edit's formatting rectangle, switches to the active look while
// the pointer is over it or it has the focus, feeds up to two separate skinned scroll bars with
// the edit's scroll state, has a read-only mode of its own, draws its text itself while disabled
// and offers the skinned edit context menu.
//
// The contract callers rely on:
// - Lines, Text and the events are the class library's; the program appends to Lines.
// - The linked bars (VScrollBar, HScrollBar) follow every change of text, size, scroll position
//   and enabled state: a bar is enabled with Max = the last scroll position when the text does
//   not fit, disabled with an empty range when it does (the same test both ways); moving a bar
//   scrolls the memo. The memo never frees a bar and forgets one that is freed.
// - ReadOnly: typing, Delete, cut, paste, clear and undo are dropped (Ctrl+C copies).
// - Transparent with BitMapBG: AlphaBlendValue 0 shows only what lies under the memo, 255 only
//   the memo's background, values between mix the two.
// - Nothing raises: a missing or foreign record gives the default look.
#pragma once

#include <memory>

#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/Menus.h"
#include "skin/controls/SkinScrollBarLink.h"
#include "skin/foundation/SkinData.h"
#include "skin/input/SkinEditCommands.h"

class TskSkinMemo : public TMemo {
public:
  explicit TskSkinMemo(TComponent* AOwner);
  ~TskSkinMemo() override;

  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  bool GetUseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }
  bool GetBitMapBG() const { return FBitMapBG; }
  void SetBitMapBG(bool Value);
  IskScrollBarLink* GetVScrollBar() const { return FVScrollBar; }
  void SetVScrollBar(IskScrollBarLink* Bar);
  IskScrollBarLink* GetHScrollBar() const { return FHScrollBar; }
  void SetHScrollBar(IskScrollBarLink* Bar);
  TskSkinData* GetSkinDataComponent() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  const String& GetSkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  Byte GetAlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte Value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // The index of the record in the skin data (-1: the default look).
  int GetSkinIndex() const { return FIndex; }
  TRect GetFormatRect() const { return FFormatRect; }
  TskSkinPopupMenu* GetContextMenu() const { return FContextMenu.Menu(); }
  TPoint GetContextMenuPoint() const { return FContextMenu.Point(); }
  std::vector<TskEditMenuEntry> ContextMenuEntries();

  void GetSkinData();
  void ChangeSkinData();
  void UpdateScrollBars();
  void AdjustTextRect();
  void DrawBackground(TCanvas* Canvas);
  void DrawFrame(TCanvas* Canvas);
  void Invalidate() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Change() override;

private:
  bool Skinned() const { return FIndex != -1; }
  bool Hot();
  void SetHotColors(bool Active);
  void PaintDisabled(TMessage& Message);
  void VScrollBarChange();
  void HScrollBarChange();
  void DefaultFontChange(TObject* Sender);

  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  bool FUseSkinFontColor = true;
  bool FBitMapBG = true;
  IskScrollBarLink* FVScrollBar = nullptr;
  IskScrollBarLink* FHScrollBar = nullptr;
  // The bars as components, kept apart: a bar being freed can no longer answer LinkComponent.
  TComponent* FVScrollBarComponent = nullptr;
  TComponent* FHScrollBarComponent = nullptr;
  TskSkinData* FSkinData = nullptr;
  String FSkinDataName = "memo";
  bool FTransparent = false;
  Byte FAlphaBlendValue = 0;
  bool FReadOnly = false;

  int FIndex = -1;
  bool MouseIn = false;
  TRect FFormatRect{};
  bool PaintLock = false;
  bool MouseSelecting = false;
  TskEditContextMenu FContextMenu;

  // Copies of the "memo" record.
  TBitmap* Picture = nullptr;
  TRect SkinRect{}, ActiveSkinRect{}, ClRect{};
  TPoint LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  String FontName;
  TFontStyles FontStyle = 0;
  int FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, BGColor = 0, ActiveBGColor = 0;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TskStretchType StretchType = stFull;
};
