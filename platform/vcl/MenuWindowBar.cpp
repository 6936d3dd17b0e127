#include "platform/vcl/MenuWindowBar.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/MenuWindow.h"

namespace {

constexpr int ItemPadding = 6;  // on each side of a caption

HFONT BarFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

int BarHeight() {
  int H = GetSystemMetrics(SM_CYMENU);
  return H > 0 ? H : 20;
}

}  // namespace

TMainMenuBar::TMainMenuBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csOpaque;
  SetAlign(alTop);
  SetHeight(BarHeight());
  SetParentColor(false);
  SetColor(clMenu);
}

TMainMenuBar::~TMainMenuBar() {
  if (FMenu) FMenu->RemoveFreeNotification(this);
}

void TMainMenuBar::SetMenu(TMainMenu* Value) {
  if (FMenu == Value) return;
  if (FMenu) FMenu->RemoveFreeNotification(this);
  FMenu = Value;
  if (FMenu) FMenu->FreeNotification(this);
  Invalidate();
}

void TMainMenuBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FMenu) {
    FMenu = nullptr;
    FOpenIndex = -1;
    Invalidate();
  }
}

std::vector<TMenuItem*> TMainMenuBar::VisibleItems() const {
  std::vector<TMenuItem*> L;
  if (!FMenu) return L;
  TMenuItem* Root = FMenu->GetItems();
  for (int I = 0; I < Root->GetCount(); ++I)
    if (Root->GetItem(I)->GetVisible()) L.push_back(Root->GetItem(I));
  return L;
}

TRect TMainMenuBar::ItemRect(int Index) {
  std::vector<TMenuItem*> Items = VisibleItems();
  if (Index < 0 || Index >= static_cast<int>(Items.size())) return TRect{0, 0, 0, 0};
  HDC DC = GetDC(HandleAllocated() ? GetHandle() : nullptr);
  HGDIOBJ Old = SelectObject(DC, BarFont());
  int X = 0;
  TRect R{0, 0, 0, 0};
  for (int I = 0; I <= Index; ++I) {
    String S = StripHotkey(Items[static_cast<size_t>(I)]->GetCaption());
    SIZE Sz{0, 0};
    GetTextExtentPoint32A(DC, S.c_str(), static_cast<int>(S.size()), &Sz);
    R = TRect{X, 0, X + Sz.cx + 2 * ItemPadding, GetClientHeight()};
    X = R.right;
  }
  SelectObject(DC, Old);
  ReleaseDC(HandleAllocated() ? GetHandle() : nullptr, DC);
  return R;
}

TMenuItem* TMainMenuBar::ItemAtPos(int X, int Y) {
  std::vector<TMenuItem*> Items = VisibleItems();
  for (int I = 0; I < static_cast<int>(Items.size()); ++I) {
    TRect R = ItemRect(I);
    if (X >= R.left && X < R.right && Y >= R.top && Y < R.bottom) return Items[static_cast<size_t>(I)];
  }
  return nullptr;
}

void TMainMenuBar::Paint() {
  TCanvas* C = GetCanvas();
  C->GetBrush()->SetColor(clMenu);
  C->FillRect(GetClientRect());
  std::vector<TMenuItem*> Items = VisibleItems();
  HDC DC = C->GetHandle();
  HGDIOBJ Old = SelectObject(DC, BarFont());
  SetBkMode(DC, TRANSPARENT);
  for (int I = 0; I < static_cast<int>(Items.size()); ++I) {
    TMenuItem* Item = Items[static_cast<size_t>(I)];
    TRect R = ItemRect(I);
    if (I == FOpenIndex) {
      RECT E = R;
      DrawEdge(DC, &E, BDR_SUNKENOUTER, BF_RECT);
    }
    SetTextColor(DC, GetSysColor(Item->GetEnabled() ? COLOR_MENUTEXT : COLOR_GRAYTEXT));
    RECT T = R;
    if (I == FOpenIndex) OffsetRect(&T, 1, 1);
    DrawTextA(DC, Item->GetCaption().c_str(), -1, &T, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  }
  SelectObject(DC, Old);
}

void TMainMenuBar::OpenItem(int Index) {
  std::vector<TMenuItem*> Items = VisibleItems();
  if (!FMenu || Index < 0 || Index >= static_cast<int>(Items.size())) return;
  TMenuItem* Item = Items[static_cast<size_t>(Index)];
  if (!Item->GetEnabled()) return;
  bool HasSub = false;
  for (int I = 0; I < Item->GetCount(); ++I) HasSub = HasSub || Item->GetItem(I)->GetVisible();
  TMainMenu* Menu = FMenu;
  if (!HasSub) {
    Menu->DispatchCommand(Item->GetCommand());
    return;
  }
  Item->Click();  // the class library's moment to update the sub-items
  TRect R = ItemRect(Index);
  TPoint P = ClientToScreen(Point(R.left, R.bottom));
  FOpenIndex = Index;
  Repaint();
  TMenuItem* Chosen = TrackMenuWindow(Item, P.x, P.y);
  FOpenIndex = -1;
  Invalidate();
  if (Chosen) Menu->DispatchCommand(Chosen->GetCommand());
}

void TMainMenuBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  std::vector<TMenuItem*> Items = VisibleItems();
  TMenuItem* Hit = ItemAtPos(X, Y);
  auto It = std::find(Items.begin(), Items.end(), Hit);
  if (Hit && It != Items.end()) OpenItem(static_cast<int>(It - Items.begin()));
}
