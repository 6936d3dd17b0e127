// TskSkinCustomListView: the class library's list view with the font and colours of the skin's
// "listview" record (or a default look), linked skinned scroll bars in place of its own, and a
// column header that it subclasses and paints itself, section by section, from a button record
// of the skin ("resizebutton" by default). The open dialog's shell file list derives from it.
//
// The contract callers rely on (beyond the tree view's, see SkinTreeView.h):
// - The bars follow the view style: icons scroll by pixels (half an item per step), the list
//   view moves by whole columns through the horizontal bar only (the vertical bar stays
//   hidden), the report view by rows (a page = the rows per page). A bar shows only while its
//   content does not fit and the view is Visible; a view of 5 pixels or less never
//   synchronises. Positions are full 32-bit values.
// - The header: a pressed section draws pressed until the button is released, a drag on a
//   divider redraws on every move; it reaches 25 pixels beyond the view's right edge (under
//   the place of the list's own bar). HeaderSectionDraw, when set, draws a section's content.
// - Nothing raises; the header is given back its own window procedure on destruction.
#pragma once

#include <functional>
#include <memory>

#include "platform/vcl/ListViewCtrl.h"
#include "skin/foundation/SkinIniLayout.h"
#include "skin/input/SkinViewLook.h"

using TskHeaderSectionDrawEvent =
    std::function<void(TCanvas* Canvas, TListColumn* Column, bool Pressed, const TRect& Rect)>;

class TskSkinCustomListView : public TCustomListView {
public:
  explicit TskSkinCustomListView(TComponent* AOwner);
  ~TskSkinCustomListView() override;

  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  TColor GetDefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value) { FDefaultColor = Value; }
  const String& GetSkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
  const String& GetHeaderSkinDataName() const { return FHeaderSkinDataName; }
  void SetHeaderSkinDataName(const String& Value) { FHeaderSkinDataName = Value; }
  TskSkinData* GetSkinDataComponent() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  IskScrollBarLink* GetVScrollBar() const { return FBars.V.Bar; }
  void SetVScrollBar(IskScrollBarLink* Bar);
  IskScrollBarLink* GetHScrollBar() const { return FBars.H.Bar; }
  void SetHScrollBar(IskScrollBarLink* Bar);
  int GetSkinIndex() const { return FIndex; }
  int GetHeaderSkinIndex() const { return FHeaderIndex; }
  // The subclassed header window (null when none).
  HWND GetHeaderHandle() const { return FHeader; }
  // The pressed section (-1 none) and whether it draws pressed.
  int GetPressedSection() const { return FPressedSection; }
  bool GetSectionPressed() const { return FSectionPressed; }
  bool GetHeaderResizing() const { return FHeaderResizing; }

  void ChangeSkinData();
  void SyncScrollBars();
  TRect HeaderSectionRect(int Index);
  void PaintHeader(HDC DC);
  void DrawHeaderSection(TCanvas* Canvas, TListColumn* Column, bool Pressed, const TRect& R);
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Change(TListItem* Item, TItemChange AChange) override;

  TskHeaderSectionDrawEvent FOnHeaderSectionDraw;

private:
  static LRESULT HeaderProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  LRESULT HeaderWndProc(UINT Msg, WPARAM WParam, LPARAM LParam);
  void SubclassHeader(HWND Header);
  void ReleaseHeader();
  void InvalidateHeader(bool Erase);
  void GetHeaderSkinData();
  int ItemHeight();
  int ItemWidth();
  void SyncIcons();
  void SyncList();
  void SyncReport();
  void VScrollChanged();
  void HScrollChanged();

  bool FUseSkinFont = true;
  bool FHeaderResizing = false;
  String FHeaderSkinDataName = "resizebutton";
  int FHeaderIndex = -1;
  HWND FHeader = nullptr;
  WNDPROC FHeaderOldProc = nullptr;
  TskViewBars FBars;
  int FLastVPosition = 0;
  int FLastHPosition = 0;
  TskSkinData* FSkinData = nullptr;
  int FIndex = -1;
  std::unique_ptr<TFont> FDefaultFont;
  TColor FDefaultColor = clWindow;
  String FSkinDataName = "listview";
  bool FScrolling = false;
  int FPressedSection = -1;
  bool FSectionPressed = false;

  // Copies of the header's button record.
  TPoint LTPoint{}, RTPoint{}, LBPoint{}, RBPoint{};
  TRect SkinRect{}, ClRect{}, ActiveSkinRect{}, DownSkinRect{};
  bool StretchEffect = false, LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  TskStretchType StretchType = stFull;
  TBitmap* Picture = nullptr;
  TColor FontColor = 0, DownFontColor = 0;
};
