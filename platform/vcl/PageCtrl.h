// The tab control of the class library (TCustomTabControl / TTabControl) on the
// "SysTabControl32" window class, and the page control (TPageControl) whose tabs are its
// visible pages (TTabSheet).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/ViewCtrlsConsts.h"

// Registers the "SysTabControl32" window class (once; later calls do nothing).
void RegisterTabControlClass();

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

class TCustomTabControl;
using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent = std::function<void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;
using TTabGetImageEvent = std::function<void(TObject* Sender, int TabIndex, int& ImageIndex)>;

class TCustomTabControl : public TCustomControl {
public:
  explicit TCustomTabControl(TComponent* AOwner);
  ~TCustomTabControl() override;

  // The tab captions (Objects free for the owner's use); changes reach the window at once.
  TStrings* GetTabs() const { return FTabs.get(); }
  void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
  // The selected tab, -1 for none. Setting it fires no events.
  int GetTabIndex();
  virtual void SetTabIndex(int Value);
  bool GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  bool GetRaggedRight() const { return FRaggedRight; }
  void SetRaggedRight(bool Value);
  bool GetScrollOpposite() const { return FScrollOpposite; }
  void SetScrollOpposite(bool Value);
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  bool GetOwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value);
  TTabPosition GetTabPosition() const { return FTabPosition; }
  void SetTabPosition(TTabPosition Value);
  TTabStyle GetStyle() const { return FStyle; }
  void SetStyle(TTabStyle Value);
  // Tab size (0 = from the text / font).
  int GetTabHeight() const { return FTabHeight; }
  void SetTabHeight(int Value);
  int GetTabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);

  // The tab at a client point, or -1.
  int IndexOfTabAt(int X, int Y);
  THitTests GetHitTestInfoAt(int X, int Y);
  // The rectangle of a tab in client coordinates (empty for a bad index).
  TRect TabRect(int Index);
  int RowCount();
  // Scrolls a single row of tabs by Delta tabs.
  void ScrollTabs(int Delta);
  // The area inside the frame, where pages go.
  TRect GetDisplayRect() { return DisplayRect(); }

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  TDrawTabEvent OnDrawTab;
  TTabGetImageEvent OnGetImageIndex;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  // Loading done: the tabs take their images.
  void Loaded() override;
  void AdjustClientRect(TRect& Rect) override;
  virtual TRect DisplayRect();
  // Asks OnChanging; false keeps the current tab.
  virtual bool CanChange();
  // Whether tab Index may show (all do here).
  virtual bool CanShowTab(int Index);
  // The selected tab changed by the user: fires OnChange.
  virtual void Change();
  // Owner drawing of a tab: fires OnDrawTab, else fills the rectangle.
  virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
  virtual int GetImageIndex(int TabIndex);
  void UpdateTabImages();
  void WndProc(TMessage& Message) override;
  void Paint() override {}
  void PaintWindow(HDC DC) override;

private:
  bool EnsureHandle();
  void TabsChanged(TObject* Sender);
  void SyncTabs();
  void UpdateTabSize();
  std::unique_ptr<TStringList> FTabs;
  int FSavedTabIndex = -1;
  bool FMultiLine = false;
  bool FRaggedRight = false;
  bool FScrollOpposite = false;
  bool FHotTrack = false;
  bool FOwnerDraw = false;
  TTabPosition FTabPosition = tpTop;
  TTabStyle FStyle = tsTabs;
  int FTabHeight = 0;
  int FTabWidth = 0;
  TCustomImageList* FImages = nullptr;
  bool FSyncing = false;
};

class TTabControl : public TCustomTabControl {
public:
  using TCustomTabControl::TCustomTabControl;
};

class TPageControl;

class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* AOwner);
  // Leaves its page control first.
  ~TTabSheet() override;

  TPageControl* GetPageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  // The place among all pages of the page control (-1 without one).
  int GetPageIndex();
  void SetPageIndex(int Value);
  // The place among the shown tabs (-1 while the tab is hidden).
  int GetTabIndex();
  bool GetTabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  // The tab's image in the page control's Images (0, the first image, unless set; -1 for none).
  // A tab with an image index keeps room for the image even when the list lacks that image.
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool GetHighlighted() const { return FHighlighted; }
  void SetHighlighted(bool Value);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

protected:
  void CreateParams(TCreateParams& Params) override;
  virtual void DoShow();
  virtual void DoHide();
  void WndProc(TMessage& Message) override;

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
  bool FTabShowing = false;
  int FImageIndex = 0;
  bool FHighlighted = false;
};

class TPageControl : public TCustomTabControl {
public:
  explicit TPageControl(TComponent* AOwner);
  // Pages it owns are deleted with it; the others only leave.
  ~TPageControl() override;

  int GetPageCount() const { return static_cast<int>(FPages.size()); }
  TTabSheet* GetPage(int Index) const;
  TTabSheet* GetActivePage() const { return FActivePage; }
  // Shows Page (a page of this control, or null for none) and selects its tab; no events.
  void SetActivePage(TTabSheet* Page);
  int GetActivePageIndex() const;
  void SetActivePageIndex(int Value);
  // The page after (before) CurPage, wrapping round; only pages with visible tabs when
  // CheckTabVisible. CurPage null starts at the ends.
  TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
  // Moves to the next page as the user would (CanChange, then Change).
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
  void SetTabIndex(int Value) override;

protected:
  bool CanShowTab(int Index) override;
  void Change() override;
  int GetImageIndex(int TabIndex) override;
  void WndProc(TMessage& Message) override;

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void InsertTab(TTabSheet* Page);
  void DeleteTab(TTabSheet* Page, int Index);
  void UpdateTab(TTabSheet* Page);
  void UpdateActivePage();
  void ChangeActivePage(TTabSheet* Page);
  void MoveTab(int CurIndex, int NewIndex);
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
};
