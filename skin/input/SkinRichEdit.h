// TskSkinRichEdit: the class library's rich edit without border and without visible scroll bars
// of its own; linked skinned scroll bars mirror and drive its scrolling, and with SkinSupport
// its font and background come from the skin's "richedit" record. The main window shows the
// program's release notes in one (read-only, SkinSupport off, a vertical bar at its right).
//
// The contract callers rely on:
// - A linked bar is enabled with the edit's own range, page and position while the edit has
//   something to scroll, and disabled (the edit's range emptied) while it has not; the edit
//   never shows or hides a bar. Moving the bar scrolls the edit (32-bit positions); the
//   vertical bar's up button scrolls one line of the edit down (until the last page shows),
//   its down button one line up (nothing at position 0).
// - ChangeSkinData: with SkinSupport the record (or DefaultFont / DefaultColor without one)
//   gives font and colour; always the font's character set follows the skin's strings and the
//   bars are re-synchronised. Nothing raises.
#pragma once

#include <memory>

#include "platform/vcl/RichEditCtrl.h"
#include "skin/input/SkinViewLook.h"

class TskSkinRichEdit : public TCustomRichEdit {
public:
  explicit TskSkinRichEdit(TComponent* AOwner);
  ~TskSkinRichEdit() override;

  bool GetSkinSupport() const { return FSkinSupport; }
  void SetSkinSupport(bool Value) { FSkinSupport = Value; }
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  TColor GetDefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value);
  const String& GetSkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
  TskSkinData* GetSkinDataComponent() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  IskScrollBarLink* GetVScrollBar() const { return FBars.V.Bar; }
  void SetVScrollBar(IskScrollBarLink* Bar);
  IskScrollBarLink* GetHScrollBar() const { return FBars.H.Bar; }
  void SetHScrollBar(IskScrollBarLink* Bar);
  // The index of the record in the skin data (-1: none).
  int GetSkinIndex() const { return FIndex; }

  void ChangeSkinData();
  void SyncScrollBars();
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Change() override;

private:
  void VScrollLineDown();
  void VScrollLineUp();

  bool FSkinSupport = false;
  TskViewBars FBars;
  std::unique_ptr<TFont> FDefaultFont;
  TskSkinData* FSkinData = nullptr;
  String FSkinDataName = "richedit";
  TColor FDefaultColor = clWindow;
  int FIndex = -1;
};
