#include "platform/vcl/MenuWindow.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace {

constexpr int Border = 3;        // raised edge and one pixel of face
constexpr int CheckWidth = 20;   // room for a check or radio mark before the caption
constexpr int ArrowWidth = 16;   // room for the sub-menu arrow after the shortcut
constexpr int ShortCutGap = 24;  // between the caption and the shortcut text
constexpr int SeparatorHeight = 8;

bool PlainPopups = false;

struct TMenuLevel {
  HWND Wnd = nullptr;
  TMenuItem* Parent = nullptr;
  std::vector<TMenuItem*> Items;  // the visible sub-items
  std::vector<int> Tops;          // client top of each item
  std::vector<int> Heights;
  int Width = 0;
  int Selected = -1;
};

// The menu being tracked (one at a time, like the system's).
struct TTracker {
  std::vector<std::unique_ptr<TMenuLevel>> Levels;
  TMenuItem* Chosen = nullptr;
  bool Done = false;
  TMenuTrackEnd End = mteDismissed;
  bool ShowAccel = true;
  std::function<int(POINT)> BarItemAt;  // set for a menu dropped from a bar
  int BarIndex = -1;
  int BarTarget = -1;
  // Where the pointer was when the menu opened: moves reported there (a window appearing
  // under a resting pointer) select nothing until the pointer really moves.
  POINT StartPointer{};
  bool PointerMoved = false;
};
TTracker* Current = nullptr;

void Finish(TMenuTrackEnd End) {
  Current->End = End;
  Current->Done = true;
}

bool FromBar() { return static_cast<bool>(Current->BarItemAt); }

// Items the keyboard can highlight.
bool Selectable(TMenuItem* Item) { return !Item->IsLine() && Item->GetEnabled(); }

bool HasSubMenu(TMenuItem* Item) {
  for (int I = 0; I < Item->GetCount(); ++I)
    if (Item->GetItem(I)->GetVisible()) return true;
  return false;
}

HFONT MenuFont() {
  static HFONT Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  return Font;
}

SIZE TextSize(HDC DC, const String& S) {
  SIZE Sz{0, 0};
  GetTextExtentPoint32A(DC, S.c_str(), static_cast<int>(S.size()), &Sz);
  return Sz;
}

TMenuLevel* LevelOf(HWND Wnd) {
  if (!Current) return nullptr;
  for (auto& L : Current->Levels)
    if (L->Wnd == Wnd) return L.get();
  return nullptr;
}

void PaintLevel(TMenuLevel& L, HDC DC) {
  RECT Client{};
  GetClientRect(L.Wnd, &Client);
  HBRUSH Face = GetSysColorBrush(COLOR_MENU);
  FillRect(DC, &Client, Face);
  RECT Edge = Client;
  DrawEdge(DC, &Edge, EDGE_RAISED, BF_RECT);
  HGDIOBJ OldFont = SelectObject(DC, MenuFont());
  SetBkMode(DC, TRANSPARENT);
  for (size_t I = 0; I < L.Items.size(); ++I) {
    TMenuItem* Item = L.Items[I];
    RECT R{Border, L.Tops[I], L.Width - Border, L.Tops[I] + L.Heights[I]};
    if (Item->IsLine()) {
      int Y = (R.top + R.bottom) / 2 - 1;
      RECT Line{R.left + 1, Y, R.right - 1, Y + 2};
      DrawEdge(DC, &Line, EDGE_ETCHED, BF_TOP);
      continue;
    }
    bool Sel = static_cast<int>(I) == L.Selected;
    if (Sel) FillRect(DC, &R, GetSysColorBrush(COLOR_HIGHLIGHT));
    COLORREF Text = !Item->GetEnabled() ? GetSysColor(COLOR_GRAYTEXT)
                    : Sel               ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                        : GetSysColor(COLOR_MENUTEXT);
    SetTextColor(DC, Text);
    if (Item->GetChecked()) {
      HPEN Pen = CreatePen(PS_SOLID, 1, Text);
      HBRUSH Brush = CreateSolidBrush(Text);
      HGDIOBJ OldPen = SelectObject(DC, Pen), OldBrush = SelectObject(DC, Brush);
      int CX = R.left + CheckWidth / 2, CY = (R.top + R.bottom) / 2;
      if (Item->GetRadioItem()) Ellipse(DC, CX - 3, CY - 3, CX + 3, CY + 3);
      else
        for (int D = 0; D < 3; ++D) {  // a tick three pixels thick
          MoveToEx(DC, CX - 4, CY - 2 + D, nullptr);
          LineTo(DC, CX - 1, CY + 1 + D);
          LineTo(DC, CX + 5, CY - 5 + D);
        }
      SelectObject(DC, OldPen);
      SelectObject(DC, OldBrush);
      DeleteObject(Pen);
      DeleteObject(Brush);
    }
    RECT TR{R.left + CheckWidth, R.top, R.right - ArrowWidth, R.bottom};
    UINT Prefix = Current && Current->ShowAccel ? 0 : DT_HIDEPREFIX;
    DrawTextA(DC, Item->GetCaption().c_str(), -1, &TR, DT_LEFT | DT_SINGLELINE | DT_VCENTER | Prefix);
    String SC = ShortCutToText(Item->GetShortCut());
    if (!SC.empty()) DrawTextA(DC, SC.c_str(), -1, &TR, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (HasSubMenu(Item)) {
      HBRUSH Brush = CreateSolidBrush(Text);
      HPEN Pen = CreatePen(PS_SOLID, 1, Text);
      HGDIOBJ OldPen = SelectObject(DC, Pen), OldBrush = SelectObject(DC, Brush);
      int AX = R.right - ArrowWidth / 2 - 2, CY = (R.top + R.bottom) / 2;
      POINT Tri[3] = {{AX, CY - 4}, {AX + 4, CY}, {AX, CY + 4}};
      Polygon(DC, Tri, 3);
      SelectObject(DC, OldPen);
      SelectObject(DC, OldBrush);
      DeleteObject(Pen);
      DeleteObject(Brush);
    }
  }
  SelectObject(DC, OldFont);
}

LRESULT MenuWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_PAINT: {
      PAINTSTRUCT PS{};
      HDC DC = BeginPaint(Wnd, &PS);
      if (TMenuLevel* L = LevelOf(Wnd)) PaintLevel(*L, DC);
      EndPaint(Wnd, &PS);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_CANCELMODE:
      if (Current) Finish(mteDismissed);
      return 0;
    default:
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
}

bool RegisterMenuClass() {
  static const bool Registered = [] {
    WNDCLASSA C{};
    C.style = CS_SAVEBITS | CS_DBLCLKS;
    C.lpfnWndProc = MenuWndProc;
    C.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    C.lpszClassName = MenuWindowClassName;
    return RegisterClassA(&C) != 0;
  }();
  return Registered;
}

// Opens a level for Parent's visible items with its top-left corner near (X, Y); Right is
// the edge to flip to when the level does not fit on the right of the screen.
bool OpenLevel(TMenuItem* Parent, int X, int Y, TPopupAlignment Alignment, int FlipRight) {
  TMenu* Menu = Parent->GetParentMenu();
  if (Menu && Menu->GetAutoLineReduction() == maAutomatic) Parent->RethinkLines();
  auto L = std::make_unique<TMenuLevel>();
  L->Parent = Parent;
  for (int I = 0; I < Parent->GetCount(); ++I)
    if (Parent->GetItem(I)->GetVisible()) L->Items.push_back(Parent->GetItem(I));
  if (L->Items.empty()) return false;
  L->Wnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, MenuWindowClassName, "", WS_POPUP, 0, 0,
                           0, 0, nullptr, nullptr, nullptr, nullptr);
  if (!L->Wnd) return false;
  // Measure the items with the menu font.
  HDC DC = GetDC(L->Wnd);
  HGDIOBJ Old = SelectObject(DC, MenuFont());
  int TextH = TextSize(DC, "Wg").cy;
  int CaptionW = 0, ShortCutW = 0, Y0 = Border;
  for (TMenuItem* Item : L->Items) {
    int H = Item->IsLine() ? SeparatorHeight : std::max(TextH + 6, 18);
    L->Tops.push_back(Y0);
    L->Heights.push_back(H);
    Y0 += H;
    if (Item->IsLine()) continue;
    CaptionW = std::max(CaptionW, static_cast<int>(TextSize(DC, StripHotkey(Item->GetCaption())).cx));
    String SC = ShortCutToText(Item->GetShortCut());
    if (!SC.empty()) ShortCutW = std::max(ShortCutW, static_cast<int>(TextSize(DC, SC).cx));
  }
  SelectObject(DC, Old);
  ReleaseDC(L->Wnd, DC);
  L->Width = 2 * Border + CheckWidth + CaptionW + (ShortCutW ? ShortCutGap + ShortCutW : 0) + ArrowWidth;
  int Height = Y0 + Border;
  if (Alignment == paRight) X -= L->Width;
  else if (Alignment == paCenter) X -= L->Width / 2;
  int SW = GetSystemMetrics(SM_CXSCREEN), SH = GetSystemMetrics(SM_CYSCREEN);
  if (X + L->Width > SW) X = FlipRight >= 0 ? FlipRight - L->Width : SW - L->Width;
  if (Y + Height > SH) Y = std::max(0, SH - Height);
  X = std::max(X, 0);
  SetWindowPos(L->Wnd, HWND_TOPMOST, X, Y, L->Width, Height, SWP_NOACTIVATE);
  ShowWindow(L->Wnd, SW_SHOWNOACTIVATE);
  Current->Levels.push_back(std::move(L));
  return true;
}

void CloseLevelsAfter(size_t Count) {
  while (Current->Levels.size() > Count) {
    DestroyWindow(Current->Levels.back()->Wnd);
    Current->Levels.pop_back();
  }
}

void Select(size_t LevelIndex, int Index) {
  TMenuLevel& L = *Current->Levels[LevelIndex];
  if (L.Selected == Index) return;
  L.Selected = Index;
  InvalidateRect(L.Wnd, nullptr, TRUE);
}

// Highlights the first (Step 1) or last (Step -1) item the keyboard can reach.
void SelectEnd(size_t LevelIndex, int Step) {
  TMenuLevel& L = *Current->Levels[LevelIndex];
  int N = static_cast<int>(L.Items.size());
  for (int K = 0; K < N; ++K) {
    int I = Step > 0 ? K : N - 1 - K;
    if (Selectable(L.Items[static_cast<size_t>(I)])) {
      Select(LevelIndex, I);
      return;
    }
  }
}

// Opens the sub-menu of the selected item of level LevelIndex (closing deeper ones).
void OpenSubMenu(size_t LevelIndex, bool SelectFirst) {
  CloseLevelsAfter(LevelIndex + 1);
  TMenuLevel& L = *Current->Levels[LevelIndex];
  if (L.Selected < 0) return;
  TMenuItem* Item = L.Items[static_cast<size_t>(L.Selected)];
  if (!Item->GetEnabled() || !HasSubMenu(Item)) return;
  Item->Click();  // the class library's moment to update the sub-items
  if (!Current || Current->Done) return;
  RECT WR{};
  GetWindowRect(L.Wnd, &WR);
  if (!OpenLevel(Item, WR.right - Border, WR.top + L.Tops[static_cast<size_t>(L.Selected)] - Border, paLeft,
                 WR.left + Border))
    return;
  if (SelectFirst) SelectEnd(Current->Levels.size() - 1, 1);
}

// Acts on the selected item of a level: opens its sub-menu or chooses it. A disabled item
// does nothing.
void Execute(size_t LevelIndex) {
  TMenuLevel& L = *Current->Levels[LevelIndex];
  if (L.Selected < 0) return;
  TMenuItem* Item = L.Items[static_cast<size_t>(L.Selected)];
  if (!Item->GetEnabled() || Item->IsLine()) return;
  if (HasSubMenu(Item)) {
    OpenSubMenu(LevelIndex, true);
    return;
  }
  Current->Chosen = Item;
  Finish(mteChosen);
}

// Moves the highlight to the next (Step 1) or previous (Step -1) enabled item, wrapping
// around the ends; from no highlight, to the first or the last.
void MoveSelection(size_t LevelIndex, int Step) {
  TMenuLevel& L = *Current->Levels[LevelIndex];
  int N = static_cast<int>(L.Items.size());
  int I = L.Selected;
  for (int Tries = 0; Tries < N; ++Tries) {
    I = I < 0 ? (Step > 0 ? 0 : N - 1) : (I + Step + N) % N;
    if (Selectable(L.Items[static_cast<size_t>(I)])) {
      Select(LevelIndex, I);
      return;
    }
  }
}

void ShowAccelerators() {
  if (Current->ShowAccel) return;
  Current->ShowAccel = true;
  for (auto& L : Current->Levels) InvalidateRect(L->Wnd, nullptr, TRUE);
}

void HandleKey(WPARAM Key) {
  ShowAccelerators();
  size_t LI = Current->Levels.size() - 1;
  TMenuLevel& L = *Current->Levels[LI];
  switch (Key) {
    case VK_DOWN: MoveSelection(LI, 1); return;
    case VK_UP: MoveSelection(LI, -1); return;
    case VK_HOME: SelectEnd(LI, 1); return;
    case VK_END: SelectEnd(LI, -1); return;
    case VK_RIGHT: {
      TMenuItem* Item = L.Selected >= 0 ? L.Items[static_cast<size_t>(L.Selected)] : nullptr;
      if (Item && Item->GetEnabled() && HasSubMenu(Item)) OpenSubMenu(LI, true);
      else if (FromBar()) Finish(mteNext);
      return;
    }
    case VK_LEFT:
      if (LI > 0) CloseLevelsAfter(LI);
      else if (FromBar()) Finish(mtePrev);
      return;
    case VK_ESCAPE:
      if (LI > 0) CloseLevelsAfter(LI);
      else Finish(FromBar() ? mteEscape : mteDismissed);
      return;
    case VK_RETURN: Execute(LI); return;
    default: break;
  }
  // A hotkey: the items whose caption marks this key; one alone is acted on at once,
  // several are stepped through.
  if (!((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))) return;
  std::vector<int> Hits;
  for (size_t I = 0; I < L.Items.size(); ++I)
    if (!L.Items[I]->IsLine() && IsAccel(static_cast<Word>(Key), L.Items[I]->GetCaption())) Hits.push_back(static_cast<int>(I));
  if (Hits.empty()) {
    MessageBeep(0);
    return;
  }
  if (Hits.size() == 1) {
    Select(LI, Hits[0]);
    Execute(LI);
    return;
  }
  auto Next = std::upper_bound(Hits.begin(), Hits.end(), L.Selected);
  Select(LI, Next == Hits.end() ? Hits[0] : *Next);
}

// The level and item under a screen point; false outside every level.
bool HitTest(POINT P, size_t& LevelIndex, int& Item) {
  for (size_t LI = Current->Levels.size(); LI-- > 0;) {
    TMenuLevel& L = *Current->Levels[LI];
    RECT WR{};
    GetWindowRect(L.Wnd, &WR);
    if (!PtInRect(&WR, P)) continue;
    LevelIndex = LI;
    Item = -1;
    int Y = P.y - WR.top, X = P.x - WR.left;
    for (size_t I = 0; I < L.Items.size(); ++I)
      if (X >= Border && X < L.Width - Border && Y >= L.Tops[I] && Y < L.Tops[I] + L.Heights[I]) Item = static_cast<int>(I);
    return true;
  }
  return false;
}

// The bar item under a screen point for a menu dropped from a bar, else -1.
int BarItemAt(POINT Screen) { return FromBar() ? Current->BarItemAt(Screen) : -1; }

void HandleMouse(UINT Msg, POINT Screen) {
  size_t LI = 0;
  int Item = -1;
  bool Inside = HitTest(Screen, LI, Item);
  switch (Msg) {
    case WM_MOUSEMOVE:
      if (!Current->PointerMoved) {
        if (Screen.x == Current->StartPointer.x && Screen.y == Current->StartPointer.y) return;
        Current->PointerMoved = true;
      }
      if (!Inside) {
        // Onto another item of the bar: its menu takes this one's place.
        int Bar = BarItemAt(Screen);
        if (Bar >= 0 && Bar != Current->BarIndex) {
          Current->BarTarget = Bar;
          Finish(mteBarItem);
        }
        return;
      }
      if (Item >= 0 && Current->Levels[LI]->Items[static_cast<size_t>(Item)]->IsLine()) Item = -1;
      if (Item == Current->Levels[LI]->Selected) return;
      Select(LI, Item);
      CloseLevelsAfter(LI + 1);
      if (Item >= 0) OpenSubMenu(LI, false);
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      if (Inside) return;
      // A press on another bar item drops that one's menu; on this menu's own bar item or
      // anywhere else it closes the menu.
      int Bar = BarItemAt(Screen);
      if (Bar >= 0 && Bar != Current->BarIndex) {
        Current->BarTarget = Bar;
        Finish(mteBarItem);
      } else {
        Finish(mteDismissed);
      }
      return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (!Inside || Item < 0) return;
      Select(LI, Item);
      if (!HasSubMenu(Current->Levels[LI]->Items[static_cast<size_t>(Item)])) Execute(LI);
      return;
    default: return;
  }
}

bool IsMouseMessage(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK; }

}  // namespace

TMenuTrackResult TrackMenuWindowEx(TMenuItem* Root, int X, int Y, const TMenuTrackParams& Params) {
  TMenuTrackResult Result;
  if (!Root || Current || !RegisterMenuClass()) return Result;
  TTracker Tracker;
  Tracker.ShowAccel = Params.ShowAccel;
  Tracker.BarItemAt = Params.BarItemAt;
  Tracker.BarIndex = Params.BarIndex;
  Current = &Tracker;
  struct TEnd {
    ~TEnd() {
      if (GetCapture() && LevelOf(GetCapture())) ReleaseCapture();
      CloseLevelsAfter(0);
      Current = nullptr;
    }
  } End;
  GetCursorPos(&Tracker.StartPointer);
  if (!OpenLevel(Root, X, Y, Params.Alignment, -1)) return Result;
  if (Params.ByKey) SelectEnd(0, 1);
  SetCapture(Tracker.Levels[0]->Wnd);
  while (!Tracker.Done) {
    MSG M{};
    if (!GetMessageA(&M, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(M.wParam));  // the quit is for the loop outside
      break;
    }
    bool MenuKey = M.wParam == static_cast<WPARAM>(VK_MENU) || M.wParam == static_cast<WPARAM>(VK_F10);
    if (M.message == WM_KEYDOWN || M.message == WM_SYSKEYDOWN) {
      if (!MenuKey) HandleKey(M.wParam);
      continue;
    }
    if (M.message == WM_SYSKEYUP && MenuKey) {
      // Alt (alone) or F10 released: the menu mode ends. Taking the key-up here keeps it from
      // starting the menu mode again.
      Finish(mteMenuKey);
      continue;
    }
    if (M.message == WM_KEYUP || M.message == WM_SYSKEYUP || M.message == WM_CHAR || M.message == WM_SYSCHAR ||
        M.message == WM_DEADCHAR || M.message == WM_SYSDEADCHAR)
      continue;
    if (IsMouseMessage(M.message)) {
      POINT P{GET_X_LPARAM(M.lParam), GET_Y_LPARAM(M.lParam)};
      if (M.hwnd) ClientToScreen(M.hwnd, &P);
      HandleMouse(M.message, P);
      continue;
    }
    TranslateMessage(&M);
    DispatchMessageA(&M);
    // Another window took the capture away: the menu closes, as the system's does.
    if (!Tracker.Done && GetCapture() != Tracker.Levels[0]->Wnd) Finish(mteDismissed);
  }
  Result.End = Tracker.End;
  Result.Chosen = Tracker.End == mteChosen ? Tracker.Chosen : nullptr;
  Result.BarIndex = Tracker.End == mteBarItem ? Tracker.BarTarget : -1;
  Result.ShowAccel = Tracker.ShowAccel;
  return Result;
}

TMenuItem* TrackMenuWindow(TMenuItem* Root, int X, int Y, TPopupAlignment Alignment) {
  TMenuTrackParams Params;
  Params.Alignment = Alignment;
  return TrackMenuWindowEx(Root, X, Y, Params).Chosen;
}

HWND GetMenuWindow(int Level) {
  if (!Current || Level < 0 || static_cast<size_t>(Level) >= Current->Levels.size()) return nullptr;
  return Current->Levels[static_cast<size_t>(Level)]->Wnd;
}

TMenuItem* GetMenuSelection(int Level) {
  if (!GetMenuWindow(Level)) return nullptr;
  TMenuLevel& L = *Current->Levels[static_cast<size_t>(Level)];
  return L.Selected >= 0 ? L.Items[static_cast<size_t>(L.Selected)] : nullptr;
}

void UsePlainPopupMenus(bool Value) { PlainPopups = Value; }

void ShowPlainPopupMenu(TPopupMenu* Menu, int X, int Y) {
  if (!PlainPopups || !Menu) return;
  TMenuItem* Chosen = TrackMenuWindow(Menu->GetItems(), X, Y, Menu->GetAlignment());
  if (Chosen) Menu->DispatchCommand(Chosen->GetCommand());
}
