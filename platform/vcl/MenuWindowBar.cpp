#include "platform/vcl/MenuWindowBar.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/MenuWindow.h"

namespace {

constexpr int ItemPadding = 6;  // on each side of a caption

HFONT BarFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

int BarHeight() {
  int H = GetSystemMetrics(SM_CYMENU);
  return H > 0 ? H : 20;
}

bool HasSubMenu(TMenuItem* Item) {
  for (int I = 0; I < Item->GetCount(); ++I)
    if (Item->GetItem(I)->GetVisible()) return true;
  return false;
}

bool IsMouseMessage(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK; }

}  // namespace

TMainMenuBar::TMainMenuBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csOpaque;
  SetAlign(alTop);
  SetHeight(BarHeight());
  SetParentColor(false);
  SetColor(clMenu);
}

TMainMenuBar::~TMainMenuBar() {
  if (TCustomForm* Form = GetParentForm(this))
    if (Form->GetMenuBar() == this) Form->SetMenuBar(nullptr);
  if (FMenu) FMenu->RemoveFreeNotification(this);
}

void TMainMenuBar::SetMenu(TMainMenu* Value) {
  if (FMenu == Value) return;
  if (FMenu) FMenu->RemoveFreeNotification(this);
  FMenu = Value;
  if (FMenu) FMenu->FreeNotification(this);
  RegisterWithForm();
  Invalidate();
}

void TMainMenuBar::SetParent(TWinControl* AParent) {
  TCustomForm* Old = GetParentForm(this);
  TCustomControl::SetParent(AParent);
  if (Old && Old != GetParentForm(this) && Old->GetMenuBar() == this) Old->SetMenuBar(nullptr);
  RegisterWithForm();
}

void TMainMenuBar::CreateWnd() {
  TCustomControl::CreateWnd();
  RegisterWithForm();
}

void TMainMenuBar::RegisterWithForm() {
  if (TCustomForm* Form = GetParentForm(this)) Form->SetMenuBar(this);
}

void TMainMenuBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FMenu) {
    FMenu = nullptr;
    FOpenIndex = -1;
    FCancelLoop = FInLoop;
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

int TMainMenuBar::ItemAtScreen(POINT P) {
  if (!HandleAllocated()) return -1;
  TPoint C = ScreenToClient(Point(P.x, P.y));
  TMenuItem* Hit = ItemAtPos(C.x, C.y);
  if (!Hit) return -1;
  std::vector<TMenuItem*> Items = VisibleItems();
  auto It = std::find(Items.begin(), Items.end(), Hit);
  return It == Items.end() ? -1 : static_cast<int>(It - Items.begin());
}

int TMainMenuBar::FindAccelItem(char Key, int After) {
  std::vector<TMenuItem*> Items = VisibleItems();
  int N = static_cast<int>(Items.size());
  for (int K = 1; K <= N; ++K) {
    int I = ((After + K) % N + N) % N;
    if (IsAccel(static_cast<unsigned char>(Key), Items[static_cast<size_t>(I)]->GetCaption())) return I;
  }
  return -1;
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
    RECT E = R;
    if (I == FOpenIndex) DrawEdge(DC, &E, BDR_SUNKENOUTER, BF_RECT);
    else if (FInLoop && I == FHotIndex) DrawEdge(DC, &E, BDR_RAISEDINNER, BF_RECT);
    SetTextColor(DC, GetSysColor(Item->GetEnabled() ? COLOR_MENUTEXT : COLOR_GRAYTEXT));
    RECT T = R;
    if (I == FOpenIndex) OffsetRect(&T, 1, 1);
    UINT Prefix = FShowAccel ? 0 : DT_HIDEPREFIX;
    DrawTextA(DC, Item->GetCaption().c_str(), -1, &T, DT_CENTER | DT_SINGLELINE | DT_VCENTER | Prefix);
  }
  SelectObject(DC, Old);
}

void TMainMenuBar::OpenItem(int Index) {
  std::vector<TMenuItem*> Items = VisibleItems();
  if (!FMenu || Index < 0 || Index >= static_cast<int>(Items.size())) return;
  if (!Items[static_cast<size_t>(Index)]->GetEnabled()) return;
  MenuLoop(Index, true, false);
}

void TMainMenuBar::MenuLoop(int Index, bool Drop, bool ByKey) {
  if (FInLoop || !FMenu) return;
  HWND Wnd = GetHandle();
  Word ChosenCommand = 0;
  FInLoop = true;
  FCancelLoop = false;
  FHotIndex = Index;
  FShowAccel = ByKey;
  Invalidate();
  bool Running = true;
  // Drop came from moving over the bar out of a dropped menu (not from a press, Enter or a
  // hotkey): an item without sub-items is then only highlighted.
  bool Follow = false;
  // A menu was dropped when the highlight moved onto an item without one: moving on drops
  // the next item's menu again.
  bool KeepDropped = false;
  // Moves reported where the pointer rests do not take the highlight away from the keyboard.
  POINT Pointer{};
  GetCursorPos(&Pointer);
  while (Running && !FCancelLoop) {
    std::vector<TMenuItem*> Items = VisibleItems();
    int N = static_cast<int>(Items.size());
    if (!FMenu || N == 0) break;
    if (FHotIndex < 0 || FHotIndex >= N) FHotIndex = 0;

    if (Drop) {
      Drop = false;
      bool Following = Follow;
      Follow = false;
      TMenuItem* Item = Items[static_cast<size_t>(FHotIndex)];
      KeepDropped = false;
      if (!Item->GetEnabled()) {  // a disabled item drops nothing; it stays highlighted
        KeepDropped = Following;
        Invalidate();
        continue;
      }
      if (!HasSubMenu(Item)) {
        if (Following) {
          KeepDropped = true;
          Invalidate();
          continue;
        }
        ChosenCommand = Item->GetCommand();
        break;
      }
      Item->Click();  // the class library's moment to update the sub-items
      if (FCancelLoop || !FMenu) break;
      TRect R = ItemRect(FHotIndex);
      TPoint P = ClientToScreen(Point(R.left, R.bottom));
      FOpenIndex = FHotIndex;
      Repaint();
      TMenuTrackParams Params;
      Params.ByKey = ByKey;
      Params.ShowAccel = FShowAccel;
      Params.BarItemAt = [this](POINT S) { return ItemAtScreen(S); };
      Params.BarIndex = FHotIndex;
      TMenuTrackResult Result = TrackMenuWindowEx(Item, P.x, P.y, Params);
      FOpenIndex = -1;
      FShowAccel = FShowAccel || Result.ShowAccel;
      switch (Result.End) {
        case mteChosen:
          ChosenCommand = Result.Chosen->GetCommand();
          Running = false;
          break;
        case mteEscape: break;  // back to the highlighted bar item
        case mteNext:
          FHotIndex = (FHotIndex + 1) % N;
          Drop = ByKey = Follow = true;
          break;
        case mtePrev:
          FHotIndex = (FHotIndex + N - 1) % N;
          Drop = ByKey = Follow = true;
          break;
        case mteBarItem:
          FHotIndex = Result.BarIndex;
          Drop = Follow = true;
          ByKey = false;
          break;
        default: Running = false; break;
      }
      Invalidate();
      continue;
    }

    // The bar item is highlighted and no menu is dropped: the keys come here, wherever the
    // focus is.
    if (GetCapture() != Wnd) SetCapture(Wnd);
    MSG M{};
    if (!GetMessageA(&M, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(M.wParam));  // the quit is for the loop outside
      break;
    }
    bool MenuKey = M.wParam == static_cast<WPARAM>(VK_MENU) || M.wParam == static_cast<WPARAM>(VK_F10);
    switch (M.message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        FShowAccel = true;
        switch (M.wParam) {
          case VK_LEFT:
          case VK_RIGHT:
            FHotIndex = (FHotIndex + (M.wParam == VK_LEFT ? N - 1 : 1)) % N;
            if (KeepDropped) Drop = Follow = true;
            break;
          case VK_DOWN:
          case VK_UP:
          case VK_RETURN: Drop = ByKey = true; break;
          case VK_ESCAPE: Running = false; break;
          default:
            if (MenuKey) break;  // Alt or F10 act when released
            if ((M.wParam >= '0' && M.wParam <= '9') || (M.wParam >= 'A' && M.wParam <= 'Z')) {
              int Hit = FindAccelItem(static_cast<char>(M.wParam), FHotIndex);
              if (Hit >= 0) {
                FHotIndex = Hit;
                Drop = ByKey = true;
              } else {
                MessageBeep(0);
              }
            }
            break;
        }
        Invalidate();
        break;
      case WM_SYSKEYUP:
        if (MenuKey) Running = false;
        break;
      case WM_KEYUP:
      case WM_CHAR:
      case WM_SYSCHAR:
      case WM_DEADCHAR:
      case WM_SYSDEADCHAR: break;
      default: {
        if (IsMouseMessage(M.message)) {
          POINT P{GET_X_LPARAM(M.lParam), GET_Y_LPARAM(M.lParam)};
          if (M.hwnd) ::ClientToScreen(M.hwnd, &P);
          int Hit = ItemAtScreen(P);
          if (M.message == WM_MOUSEMOVE) {
            if (P.x == Pointer.x && P.y == Pointer.y) break;
            Pointer = P;
            if (Hit >= 0 && Hit != FHotIndex) {
              FHotIndex = Hit;
              if (KeepDropped) {
                Drop = Follow = true;
                ByKey = false;
              }
              Invalidate();
            }
          } else if (M.message == WM_LBUTTONDOWN && Hit >= 0) {
            FHotIndex = Hit;
            Drop = true;
            ByKey = false;
          } else if (M.message == WM_LBUTTONDOWN || M.message == WM_RBUTTONDOWN || M.message == WM_MBUTTONDOWN) {
            Running = false;  // a press elsewhere leaves the menu mode
          }
          break;
        }
        TranslateMessage(&M);
        DispatchMessageA(&M);
        // Another window took the capture away: the menu mode ends.
        if (Running && !FCancelLoop && GetCapture() != Wnd) Running = false;
        break;
      }
    }
  }
  if (GetCapture() == Wnd) ReleaseCapture();
  FInLoop = false;
  FCancelLoop = false;
  FHotIndex = -1;
  FOpenIndex = -1;
  FShowAccel = false;
  Invalidate();
  if (ChosenCommand && FMenu) FMenu->DispatchCommand(ChosenCommand);
}

void TMainMenuBar::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_KEYMENU) {
    Message.Result = 0;
    if (FInLoop || !FMenu || !GetEnabled() || !HandleAllocated() || !IsWindowVisible(GetHandle())) return;
    if (VisibleItems().empty()) return;
    if (Message.LParam == 0) {  // Alt or F10 alone
      MenuLoop(0, false, true);
      return;
    }
    int Index = FindAccelItem(static_cast<char>(Message.LParam & 0xFF));
    if (Index < 0) {
      MessageBeep(0);
      return;
    }
    MenuLoop(Index, true, true);
    return;
  }
  if (Message.Msg == WM_CANCELMODE && FInLoop) FCancelLoop = true;
  TCustomControl::Dispatch(Message);
}

void TMainMenuBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  std::vector<TMenuItem*> Items = VisibleItems();
  TMenuItem* Hit = ItemAtPos(X, Y);
  auto It = std::find(Items.begin(), Items.end(), Hit);
  if (Hit && It != Items.end()) OpenItem(static_cast<int>(It - Items.begin()));
}
