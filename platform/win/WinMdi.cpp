// The "MDICLIENT" class, its children's activation and window list, and the default procedures of
// frames and children.
#include "platform/win/WinMdi.h"

#include <algorithm>
#include <map>

#include "platform/win/WinInternal.h"

namespace QvWin {
namespace {

constexpr const char* kClientClass = "MDICLIENT";

struct TMdiClient {
  HWND Client = nullptr;
  HWND Frame = nullptr;
  HANDLE WindowMenu = nullptr;
  UINT FirstChildId = 0;
  bool AllChildStyles = false;
  std::vector<HWND> Children;  // creation order
  HWND Active = nullptr;
  String FrameTitle;
};

std::map<HWND, TMdiClient>& Clients()
{
  static std::map<HWND, TMdiClient> C;
  return C;
}

TMdiClient* ClientData(HWND Client)
{
  auto It = Clients().find(Client);
  return It == Clients().end() ? nullptr : &It->second;
}

// The client data of the client that Child belongs to.
TMdiClient* ClientOfChild(HWND Child)
{
  TWnd* W = LookupLive(Child);
  if (W == nullptr || W->Parent == nullptr || W->Parent->IsDesktop) return nullptr;
  TMdiClient* C = ClientData(W->Parent->Handle);
  if (C == nullptr || std::find(C->Children.begin(), C->Children.end(), Child) == C->Children.end()) return nullptr;
  return C;
}

bool Shown(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  return W != nullptr && (W->Style & WS_VISIBLE) != 0 && !W->Destroying;
}

// The visible children in z-order, topmost first.
std::vector<HWND> VisibleInZOrder(const TMdiClient& C)
{
  std::vector<HWND> R;
  TWnd* Client = LookupLive(C.Client);
  if (Client == nullptr) return R;
  for (TWnd* K : Client->Children)
    if ((K->Style & WS_VISIBLE) && !K->Destroying &&
        std::find(C.Children.begin(), C.Children.end(), K->Handle) != C.Children.end())
      R.push_back(K->Handle);
  return R;
}

void Renumber(TMdiClient& C)
{
  for (std::size_t I = 0; I < C.Children.size(); ++I)
    if (TWnd* K = LookupLive(C.Children[I])) K->Id = static_cast<LONG_PTR>(C.FirstChildId + I);
}

// The frame's text: the title, with the active child's text while that child is maximised.
void UpdateFrameTitle(TMdiClient& C)
{
  if (LookupLive(C.Frame) == nullptr) return;
  String Text = C.FrameTitle;
  if (C.Active != nullptr && Shown(C.Active) && IsZoomed(C.Active)) {
    char Buffer[1024];
    int N = GetWindowTextA(C.Active, Buffer, sizeof Buffer);
    Text += " - [" + String(Buffer, static_cast<std::size_t>(std::max(N, 0))) + "]";
  }
  TWnd* F = LookupLive(C.Frame);
  if (F->Text != Text) DefWindowProcA(C.Frame, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

// Where a maximised child stands: its client area fills the client window, its frame outside.
RECT MaximizedRect(const TWnd* K)
{
  RECT Area{};
  if (K->Parent != nullptr) GetClientRect(K->Parent->Handle, &Area);
  RECT In = DefaultNcInsets(K->Style, K->ExStyle, false);
  return RECT{-In.left, -In.top, Area.right + In.right, Area.bottom + In.bottom};
}

// Makes Child (or none) the active child; see the header for the messages.
void Activate(HWND ClientWnd, HWND Child)
{
  TMdiClient* C = ClientData(ClientWnd);
  if (C == nullptr) return;
  if (Child != nullptr && (std::find(C->Children.begin(), C->Children.end(), Child) == C->Children.end() || !Shown(Child)))
    return;
  HWND Old = C->Active;
  if (Old == Child) {
    if (Child != nullptr) SetWindowPos(Child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  C->Active = Child;
  bool CarryMaximized = Old != nullptr && Child != nullptr && Shown(Old) && IsZoomed(Old) && !IsZoomed(Child);
  if (Old != nullptr && LookupLive(Old) != nullptr) {
    SendMessageA(Old, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(Old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Old), reinterpret_cast<LPARAM>(Child));
  }
  if ((C = ClientData(ClientWnd)) == nullptr || C->Active != Child) return;
  if (Child != nullptr && LookupLive(Child) != nullptr) {
    SetWindowPos(Child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (CarryMaximized) {
      ShowWindow(Child, SW_MAXIMIZE);
      if (LookupLive(Old) != nullptr) ShowWindow(Old, SW_RESTORE);
    }
    SendMessageA(Child, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(Child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Old), reinterpret_cast<LPARAM>(Child));
    // The keyboard follows when the frame's window is the active one.
    TWnd* K = LookupLive(Child);
    TWnd* Focus = LookupLive(GetFocus());
    if (K != nullptr && ActiveWindowRef() == TopLevelOf(K)->Handle && (Focus == nullptr || (Focus != K && !IsDescendant(K, Focus))))
      SetFocus(Child);
  }
  if ((C = ClientData(ClientWnd)) != nullptr) UpdateFrameTitle(*C);
}

// The active child is going away (hidden or destroyed): the next visible one takes over.
void HandOver(TMdiClient& C, HWND Leaving)
{
  if (C.Active != Leaving) return;
  HWND Next = nullptr;
  for (HWND K : VisibleInZOrder(C))
    if (K != Leaving) {
      Next = K;
      break;
    }
  HWND ClientWnd = C.Client;
  if (Next != nullptr) {
    Activate(ClientWnd, Next);
  } else {
    C.Active = nullptr;
    if (LookupLive(Leaving) != nullptr) {
      SendMessageA(Leaving, WM_NCACTIVATE, FALSE, 0);
      SendMessageA(Leaving, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Leaving), 0);
    }
    if (TMdiClient* D = ClientData(ClientWnd)) UpdateFrameTitle(*D);
  }
}

void Next(HWND ClientWnd, HWND From, bool Previous)
{
  TMdiClient* C = ClientData(ClientWnd);
  if (C == nullptr) return;
  if (From == nullptr) From = C->Active;
  std::vector<HWND> Z = VisibleInZOrder(*C);
  if (Z.empty()) return;
  auto It = std::find(Z.begin(), Z.end(), From);
  if (It == Z.end()) {
    Activate(ClientWnd, Z.front());
    return;
  }
  if (Z.size() < 2) return;
  if (Previous) {
    Activate(ClientWnd, Z.back());
    return;
  }
  HWND Target = (It + 1 == Z.end()) ? Z.front() : *(It + 1);
  Activate(ClientWnd, Target);
  if (LookupLive(From) != nullptr)
    SetWindowPos(From, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CALLBACK_ClientProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  switch (Msg) {
    case WM_CREATE: {
      auto* Cs = reinterpret_cast<CREATESTRUCTA*>(LParam);
      TMdiClient C;
      C.Client = Wnd;
      C.Frame = GetParent(Wnd);
      if (Cs != nullptr && Cs->lpCreateParams != nullptr) {
        auto* Cc = static_cast<CLIENTCREATESTRUCT*>(Cs->lpCreateParams);
        C.WindowMenu = Cc->hWindowMenu;
        C.FirstChildId = Cc->idFirstChild;
      }
      C.AllChildStyles = Cs != nullptr && (Cs->style & MDIS_ALLCHILDSTYLES) != 0;
      if (TWnd* F = LookupLive(C.Frame)) C.FrameTitle = F->Text;
      Clients()[Wnd] = std::move(C);
      return 0;
    }
    case WM_MDICREATE: {
      auto* Mc = reinterpret_cast<MDICREATESTRUCTA*>(LParam);
      if (Mc == nullptr) return 0;
      return reinterpret_cast<LRESULT>(CreateWindowExA(WS_EX_MDICHILD, Mc->szClass, Mc->szTitle, Mc->style, Mc->x, Mc->y,
                                                       Mc->cx, Mc->cy, Wnd, nullptr,
                                                       static_cast<HINSTANCE>(Mc->hOwner), Mc));
    }
    case WM_MDIDESTROY: {
      HWND Child = reinterpret_cast<HWND>(WParam);
      if (ClientOfChild(Child) != nullptr && ClientOfChild(Child)->Client == Wnd) DestroyWindow(Child);
      return 0;
    }
    case WM_MDIACTIVATE: Activate(Wnd, reinterpret_cast<HWND>(WParam)); return 0;
    case WM_MDINEXT: Next(Wnd, reinterpret_cast<HWND>(WParam), LParam != 0); return 0;
    case WM_MDIMAXIMIZE:
    case WM_MDIRESTORE: {
      HWND Child = reinterpret_cast<HWND>(WParam);
      TMdiClient* C = ClientOfChild(Child);
      if (C == nullptr || C->Client != Wnd) return 0;
      ShowWindow(Child, Msg == WM_MDIMAXIMIZE ? SW_MAXIMIZE : SW_RESTORE);
      if ((C = ClientData(Wnd)) != nullptr) UpdateFrameTitle(*C);
      return 0;
    }
    case WM_MDIGETACTIVE: {
      TMdiClient* C = ClientData(Wnd);
      HWND Active = C != nullptr ? C->Active : nullptr;
      if (LParam != 0) *reinterpret_cast<BOOL*>(LParam) = Active != nullptr && IsZoomed(Active);
      return reinterpret_cast<LRESULT>(Active);
    }
    case WM_MDISETMENU: {
      TMdiClient* C = ClientData(Wnd);
      if (C != nullptr && LParam != 0) C->WindowMenu = reinterpret_cast<HANDLE>(LParam);
      return 0;
    }
    case WM_MDITILE:
    case WM_MDICASCADE:
    case WM_MDIICONARRANGE: return FALSE;
    case WM_SIZE: {
      // A maximised child keeps filling the client area.
      TMdiClient* C = ClientData(Wnd);
      if (C != nullptr)
        for (HWND K : std::vector<HWND>(C->Children))
          if (TWnd* KW = LookupLive(K); KW != nullptr && (KW->Style & WS_MAXIMIZE)) {
            RECT R = MaximizedRect(KW);
            SetWindowPos(K, nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top, SWP_NOZORDER | SWP_NOACTIVATE);
          }
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    }
    case WM_SETFOCUS: {
      TMdiClient* C = ClientData(Wnd);
      if (C != nullptr && C->Active != nullptr && Shown(C->Active)) SetFocus(C->Active);
      return 0;
    }
    default: return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
}

bool SameName(const String& A, const char* B)
{
  String Bs(B);
  if (A.size() != Bs.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I) {
    char X = A[I], Y = Bs[I];
    if (X >= 'a' && X <= 'z') X = static_cast<char>(X - 32);
    if (Y >= 'a' && Y <= 'z') Y = static_cast<char>(Y - 32);
    if (X != Y) return false;
  }
  return true;
}

}  // namespace

bool RegisterMdiClientClass()
{
  WNDCLASSA Existing{};
  if (GetClassInfoA(nullptr, kClientClass, &Existing)) return true;
  WNDCLASSA C{};
  C.lpfnWndProc = CALLBACK_ClientProc;
  C.lpszClassName = kClientClass;
  C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_APPWORKSPACE + 1));
  C.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  return RegisterClassA(&C) != 0;
}

bool IsMdiClientClassName(LPCSTR Name)
{
  return Name != nullptr && !IS_INTRESOURCE(Name) && SameName(String(Name), kClientClass);
}

void MdiAdjustChildStyle(HWND Parent, DWORD& Style, DWORD ExStyle)
{
  if (Parent == nullptr || !(ExStyle & WS_EX_MDICHILD) || ClientData(Parent) == nullptr) return;
  Style |= WS_CHILD | WS_CLIPSIBLINGS;
  Style &= ~WS_POPUP;
  if (!ClientData(Parent)->AllChildStyles)
    Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
}

void MdiChildLinked(TWnd* W)
{
  if (!(W->ExStyle & WS_EX_MDICHILD) || W->Parent == nullptr) return;
  TMdiClient* C = ClientData(W->Parent->Handle);
  if (C == nullptr) return;
  C->Children.push_back(W->Handle);
  Renumber(*C);
}

void MdiChildShown(TWnd* W)
{
  if (W == nullptr || !(W->ExStyle & WS_EX_MDICHILD)) return;
  if (TMdiClient* C = ClientOfChild(W->Handle)) Activate(C->Client, W->Handle);
}

void MdiWindowFreed(TWnd* W)
{
  if (Clients().erase(W->Handle) > 0) return;
  if (!(W->ExStyle & WS_EX_MDICHILD) || W->Parent == nullptr || W->Parent->IsDesktop) return;
  TMdiClient* C = ClientData(W->Parent->Handle);
  if (C == nullptr) return;
  auto It = std::find(C->Children.begin(), C->Children.end(), W->Handle);
  if (It == C->Children.end()) return;
  C->Children.erase(It);
  Renumber(*C);
  if (C->Active == W->Handle) {
    C->Active = nullptr;
    HWND ClientWnd = C->Client;
    std::vector<HWND> Z = VisibleInZOrder(*C);
    Z.erase(std::remove(Z.begin(), Z.end(), W->Handle), Z.end());
    if (!Z.empty()) Activate(ClientWnd, Z.front());
    else if (TMdiClient* D = ClientData(ClientWnd)) UpdateFrameTitle(*D);
  }
}

void MdiChildPressed(TWnd* Target)
{
  for (TWnd* W = Target; W != nullptr && !W->IsDesktop; W = W->Parent) {
    if (!(W->ExStyle & WS_EX_MDICHILD)) continue;
    TMdiClient* C = ClientOfChild(W->Handle);
    if (C != nullptr && C->Active != W->Handle) Activate(C->Client, W->Handle);
    return;
  }
}

}  // namespace QvWin

using namespace QvWin;

std::vector<HWND> GetMDIChildWindows(HWND Client)
{
  TMdiClient* C = ClientData(Client);
  if (C == nullptr) return {};
  std::vector<HWND> R;
  for (HWND K : C->Children)
    if (LookupLive(K) != nullptr) R.push_back(K);
  return R;
}

bool IsMDIClientWindow(HWND Wnd) { return LookupLive(Wnd) != nullptr && ClientData(Wnd) != nullptr; }

LRESULT DefFrameProcA(HWND Frame, HWND Client, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  TMdiClient* C = Client != nullptr ? ClientData(Client) : nullptr;
  if (C == nullptr) return DefWindowProcA(Frame, Msg, WParam, LParam);
  switch (Msg) {
    case WM_SETTEXT:
      C->FrameTitle = LParam != 0 ? String(reinterpret_cast<LPCSTR>(LParam)) : String();
      UpdateFrameTitle(*C);
      return TRUE;
    case WM_SIZE:
      if (GetParent(Client) == Frame)
        MoveWindow(Client, 0, 0, LOWORD(static_cast<std::uintptr_t>(LParam)), HIWORD(static_cast<std::uintptr_t>(LParam)), TRUE);
      return 0;
    case WM_NCACTIVATE:
      if (C->Active != nullptr && Shown(C->Active)) SendMessageA(C->Active, WM_NCACTIVATE, WParam, 0);
      return DefWindowProcA(Frame, Msg, WParam, LParam);
    case WM_SETFOCUS:
      if (C->Active != nullptr && Shown(C->Active) && !IsIconic(C->Active)) SetFocus(C->Active);
      else SetFocus(Client);
      return 0;
    case WM_COMMAND: {
      UINT Id = LOWORD(WParam);
      if (HIWORD(WParam) == 0 && LParam == 0 && C->FirstChildId != 0 && Id >= C->FirstChildId &&
          Id < C->FirstChildId + C->Children.size()) {
        HWND Child = C->Children[Id - C->FirstChildId];
        if (IsIconic(Child)) ShowWindow(Child, SW_RESTORE);
        if (!Shown(Child)) ShowWindow(Child, SW_SHOW);
        Activate(Client, Child);
        return 0;
      }
      return DefWindowProcA(Frame, Msg, WParam, LParam);
    }
    case WM_SYSCOMMAND:
      if ((WParam & 0xFFF0) == SC_NEXTWINDOW || (WParam & 0xFFF0) == SC_PREVWINDOW) {
        Next(Client, nullptr, (WParam & 0xFFF0) == SC_PREVWINDOW);
        return 0;
      }
      return DefWindowProcA(Frame, Msg, WParam, LParam);
    default: return DefWindowProcA(Frame, Msg, WParam, LParam);
  }
}

LRESULT DefMDIChildProcA(HWND Child, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  TMdiClient* C = ClientOfChild(Child);
  if (C == nullptr) return DefWindowProcA(Child, Msg, WParam, LParam);
  HWND ClientWnd = C->Client;
  switch (Msg) {
    case WM_SETTEXT: {
      LRESULT R = DefWindowProcA(Child, Msg, WParam, LParam);
      if ((C = ClientData(ClientWnd)) != nullptr && C->Active == Child) UpdateFrameTitle(*C);
      return R;
    }
    case WM_CLOSE: SendMessageA(ClientWnd, WM_MDIDESTROY, reinterpret_cast<WPARAM>(Child), 0); return 0;
    case WM_CHILDACTIVATE: Activate(ClientWnd, Child); return 0;
    case WM_WINDOWPOSCHANGING: {
      // Maximised, the client area (not the frame) fills the client window.
      auto* Wp = reinterpret_cast<WINDOWPOS*>(LParam);
      TWnd* K = LookupLive(Child);
      if (Wp != nullptr && K != nullptr && (K->Style & WS_MAXIMIZE) && !(Wp->flags & SWP_NOSIZE)) {
        RECT R = MaximizedRect(K);
        Wp->x = R.left;
        Wp->y = R.top;
        Wp->cx = R.right - R.left;
        Wp->cy = R.bottom - R.top;
        Wp->flags &= ~SWP_NOMOVE;
      }
      return DefWindowProcA(Child, Msg, WParam, LParam);
    }
    case WM_SYSCOMMAND:
      if ((WParam & 0xFFF0) == SC_NEXTWINDOW || (WParam & 0xFFF0) == SC_PREVWINDOW) {
        Next(ClientWnd, Child, (WParam & 0xFFF0) == SC_PREVWINDOW);
        return 0;
      }
      return DefWindowProcA(Child, Msg, WParam, LParam);
    case WM_WINDOWPOSCHANGED: {
      LRESULT R = DefWindowProcA(Child, Msg, WParam, LParam);
      auto* Wp = reinterpret_cast<WINDOWPOS*>(LParam);
      if (Wp != nullptr && (Wp->flags & SWP_HIDEWINDOW)) {
        if ((C = ClientData(ClientWnd)) != nullptr) HandOver(*C, Child);
      } else if (Wp != nullptr && (Wp->flags & SWP_SHOWWINDOW)) {
        Activate(ClientWnd, Child);
      } else if ((C = ClientData(ClientWnd)) != nullptr && C->Active == Child) {
        UpdateFrameTitle(*C);
      }
      return R;
    }
    default: return DefWindowProcA(Child, Msg, WParam, LParam);
  }
}

BOOL TranslateMDISysAccel(HWND Client, MSG* Msg)
{
  TMdiClient* C = ClientData(Client);
  if (C == nullptr || Msg == nullptr || (Msg->message != WM_KEYDOWN && Msg->message != WM_SYSKEYDOWN)) return FALSE;
  if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return FALSE;
  HWND Active = C->Active;
  if (Active == nullptr || !Shown(Active)) return FALSE;
  WPARAM Command = 0;
  switch (Msg->wParam) {
    case VK_F4: Command = SC_CLOSE; break;
    case VK_F6:
    case VK_TAB: Command = GetKeyState(VK_SHIFT) < 0 ? SC_PREVWINDOW : SC_NEXTWINDOW; break;
    default: return FALSE;
  }
  SendMessageA(Active, WM_SYSCOMMAND, Command, 0);
  return TRUE;
}
