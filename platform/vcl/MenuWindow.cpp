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
};
TTracker* Current = nullptr;

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
    DrawTextA(DC, Item->GetCaption().c_str(), -1, &TR, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
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
      if (Current) Current->Done = true;
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

// Opens the sub-menu of the selected item of level LevelIndex (closing deeper ones).
void OpenSubMenu(size_t LevelIndex, bool SelectFirst) {
  CloseLevelsAfter(LevelIndex + 1);
  TMenuLevel& L = *Current->Levels[LevelIndex];
  if (L.Selected < 0) return;
  TMenuItem* Item = L.Items[static_cast<size_t>(L.Selected)];
  if (!Item->GetEnabled() || !HasSubMenu(Item)) return;
  Item->Click();  // the class library's moment to update the sub-items
  RECT WR{};
  GetWindowRect(L.Wnd, &WR);
  if (!OpenLevel(Item, WR.right - Border, WR.top + L.Tops[static_cast<size_t>(L.Selected)] - Border, paLeft,
                 WR.left + Border))
    return;
  if (SelectFirst) {
    TMenuLevel& Sub = *Current->Levels.back();
    for (size_t I = 0; I < Sub.Items.size(); ++I)
      if (!Sub.Items[I]->IsLine()) {
        Select(Current->Levels.size() - 1, static_cast<int>(I));
        break;
      }
  }
}

// Acts on the selected item of a level: opens its sub-menu or chooses it.
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
  Current->Done = true;
}

void MoveSelection(TMenuLevel& L, size_t LevelIndex, int Step) {
  int N = static_cast<int>(L.Items.size());
  int I = L.Selected;
  for (int Tries = 0; Tries < N; ++Tries) {
    I = I < 0 ? (Step > 0 ? 0 : N - 1) : (I + Step + N) % N;
    if (!L.Items[static_cast<size_t>(I)]->IsLine()) {
      Select(LevelIndex, I);
      return;
    }
  }
}

void HandleKey(WPARAM Key) {
  size_t LI = Current->Levels.size() - 1;
  TMenuLevel& L = *Current->Levels[LI];
  switch (Key) {
    case VK_DOWN: MoveSelection(L, LI, 1); return;
    case VK_UP: MoveSelection(L, LI, -1); return;
    case VK_HOME: L.Selected = -1; MoveSelection(L, LI, 1); return;
    case VK_END: L.Selected = -1; MoveSelection(L, LI, -1); return;
    case VK_RIGHT: OpenSubMenu(LI, true); return;
    case VK_LEFT:
      if (LI > 0) CloseLevelsAfter(LI);
      return;
    case VK_ESCAPE:
      if (LI > 0) CloseLevelsAfter(LI);
      else Current->Done = true;
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
  if (Hits.empty()) return;
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

void HandleMouse(UINT Msg, POINT Screen) {
  size_t LI = 0;
  int Item = -1;
  bool Inside = HitTest(Screen, LI, Item);
  switch (Msg) {
    case WM_MOUSEMOVE:
      if (!Inside) return;
      if (Item >= 0 && Current->Levels[LI]->Items[static_cast<size_t>(Item)]->IsLine()) Item = -1;
      if (Item == Current->Levels[LI]->Selected) return;
      Select(LI, Item);
      CloseLevelsAfter(LI + 1);
      if (Item >= 0) OpenSubMenu(LI, false);
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (!Inside) Current->Done = true;
      return;
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

TMenuItem* TrackMenuWindow(TMenuItem* Root, int X, int Y, TPopupAlignment Alignment) {
  if (!Root || Current || !RegisterMenuClass()) return nullptr;
  TTracker Tracker;
  Current = &Tracker;
  struct TEnd {
    ~TEnd() {
      if (GetCapture() && LevelOf(GetCapture())) ReleaseCapture();
      CloseLevelsAfter(0);
      Current = nullptr;
    }
  } End;
  if (!OpenLevel(Root, X, Y, Alignment, -1)) return nullptr;
  SetCapture(Tracker.Levels[0]->Wnd);
  while (!Tracker.Done) {
    MSG M{};
    if (!GetMessageA(&M, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(M.wParam));  // the quit is for the loop outside
      break;
    }
    if (M.message == WM_KEYDOWN || M.message == WM_SYSKEYDOWN) {
      if (M.message == WM_SYSKEYDOWN && M.wParam == VK_MENU) Tracker.Done = true;
      else HandleKey(M.wParam);
      continue;
    }
    if (M.message == WM_KEYUP || M.message == WM_SYSKEYUP || M.message == WM_CHAR || M.message == WM_SYSCHAR) continue;
    if (IsMouseMessage(M.message)) {
      POINT P{GET_X_LPARAM(M.lParam), GET_Y_LPARAM(M.lParam)};
      if (M.hwnd) ClientToScreen(M.hwnd, &P);
      HandleMouse(M.message, P);
      continue;
    }
    TranslateMessage(&M);
    DispatchMessageA(&M);
    // Another window took the capture away: the menu closes, as the system's does.
    if (!Tracker.Done && GetCapture() != Tracker.Levels[0]->Wnd) Tracker.Done = true;
  }
  return Tracker.Chosen;
}

HWND GetMenuWindow(int Level) {
  if (!Current || Level < 0 || static_cast<size_t>(Level) >= Current->Levels.size()) return nullptr;
  return Current->Levels[static_cast<size_t>(Level)]->Wnd;
}

void UsePlainPopupMenus(bool Value) { PlainPopups = Value; }

void ShowPlainPopupMenu(TPopupMenu* Menu, int X, int Y) {
  if (!PlainPopups || !Menu) return;
  TMenuItem* Chosen = TrackMenuWindow(Menu->GetItems(), X, Y, Menu->GetAlignment());
  if (Chosen) Menu->DispatchCommand(Chosen->GetCommand());
}
