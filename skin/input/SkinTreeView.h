// TskSkinCustomTreeView: the class library's tree view with the font and colours of the skin's
// "treeview" record (or a default look) and, instead of its own scroll bars, up to two linked
// skinned scroll bars that mirror its scroll state. The shell dialogs derive from it.
//
// The contract callers rely on:
// - ChangeSkinData re-reads the record: without one Color := DefaultColor and Font :=
//   DefaultFont; with one the font colour and Color come from it, the font's name, style and
//   height too unless UseSkinFont is off (then DefaultFont). The image lists take Color as
//   their background. It does nothing while the view is loading.
// - A linked bar is enabled, hidden and drives the view through its OnChange (32-bit
//   positions). The view shows the vertical bar only while its rows do not fit and it is
//   Visible, the horizontal one while its content is wider than the view; the horizontal bar
//   takes its "both" look while the vertical one shows; an aligned view makes the bars' parent
//   re-align when a bar appears or vanishes. Hiding the view hides its bars.
// - The view has no border and no scroll bars of its own on screen. Nothing raises.
#pragma once

#include <memory>

#include "platform/vcl/TreeViewCtrl.h"
#include "skin/input/SkinViewLook.h"

class TskSkinCustomTreeView : public TCustomTreeView {
public:
  explicit TskSkinCustomTreeView(TComponent* AOwner);
  ~TskSkinCustomTreeView() override;

  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  TColor GetDefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value) { FDefaultColor = Value; }
  const String& GetSkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
  TskSkinData* GetSkinDataComponent() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  IskScrollBarLink* GetVScrollBar() const { return FBars.V.Bar; }
  void SetVScrollBar(IskScrollBarLink* Bar);
  IskScrollBarLink* GetHScrollBar() const { return FBars.H.Bar; }
  void SetHScrollBar(IskScrollBarLink* Bar);
  // The index of the record in the skin data (-1: the default look).
  int GetSkinIndex() const { return FIndex; }

  virtual void ChangeSkinData();
  void SyncScrollBars();
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Change(TTreeNode* Node) override;

private:
  bool FUseSkinFont = true;
  TskViewBars FBars;
  TskSkinData* FSkinData = nullptr;
  int FIndex = -1;
  std::unique_ptr<TFont> FDefaultFont;
  TColor FDefaultColor = clWindow;
  String FSkinDataName = "treeview";
};
