// Input: the display backend and its events turned into messages (hit testing, mouse
// activation, cursor, capture, double clicks, mouse leave and hover, keys and characters,
// focus and activation, drops), the keyboard state, the cursor and the caret.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>

#include "platform/gdi/SurfaceDC.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Thread.h"
#include "platform/win/WinInternal.h"

namespace QvWin {

TWnd* HitWindow(POINT P, LRESULT& Hit, bool SendHitTest, TWnd* StartTop);
TWnd* WindowOfDisplay(TDisplayWindow D);
void DisplayConfigured(TWnd* W, const RECT& Bounds);

namespace {

constexpr UINT_PTR kHoverTimer = 0x51;
constexpr UINT_PTR kCaretTimer = 0x52;

struct TDropData {
  std::vector<String> Files;
  POINT Point{};
  bool NonClient = false;
};

struct TInputState {
  std::unique_ptr<TDisplayBackend> Backend;
  std::recursive_mutex BackendLock;
  HWND Active = nullptr;
  HWND Focus = nullptr;
  HWND Capture = nullptr;
  bool CaptureGrab = false;
  BYTE Keys[256]{};
  POINT Cursor{};
  HCURSOR CurrentCursor = nullptr;
  int CursorShow = 0;
  UINT DoubleClickTime = 500;
  // Double clicks.
  HWND LastClickWnd = nullptr;
  UINT LastClickMsg = 0;
  DWORD LastClickTime = 0;
  POINT LastClickPt{};
  bool LastClickNc = false;
  LRESULT LastClickHit = 0;
  // Mouse leave / hover.
  HWND LeaveWnd = nullptr;
  bool LeaveNc = false;
  HWND HoverWnd = nullptr;
  DWORD HoverTime = 400;
  POINT HoverStart{};
  bool HoverNc = false;
  HWND LastMouseWnd = nullptr;
  // Key text from the display, by the serial in a key message's scan-code byte.
  std::map<BYTE, String> KeyTexts;
  BYTE NextSerial = 1;
  BYTE LastKeySerial = 0;
  bool LastKeyTranslated = false;
  String LastTranslatedText;
  bool PendingFocusOut = false;
  bool AltAlone = false;  // Alt pressed and no other key since
  // Events from the display not yet turned into messages: input is converted one event at a
  // time, when the previous input message has been taken from the queue, so that what a
  // handler does (capture, a modal loop) decides where the next input goes, as on Windows.
  std::deque<TDisplayEvent> Raw;
  // Caret.
  HWND CaretWnd = nullptr;
  int CaretW = 0, CaretH = 0;
  POINT CaretPos{};
  int CaretHide = 1;
  bool CaretDrawn = false;
  UINT CaretBlink = 530;
  // The shape of a grey or bitmap caret (owned; nullptr for a solid caret): white where the
  // pixels under it are inverted, black where they are left alone, other colours XOR-ed in.
  HBITMAP CaretShape = nullptr;
  HDC CaretShapeDc = nullptr;
  HGDIOBJ CaretShapeOld = nullptr;
  // Drops.
  std::vector<std::unique_ptr<TDropData>> Drops;
};

TInputState& S()
{
  static TInputState* St = new TInputState;
  return *St;
}

struct TSink : IDisplaySink {
  void DisplayEvent(const TDisplayEvent& E) override;
};

struct TRawSink : IDisplaySink {
  void DisplayEvent(const TDisplayEvent& E) override;
};

TSink& Sink()
{
  static TSink T;
  return T;
}

TRawSink& RawSink()
{
  static TRawSink T;
  return T;
}

bool IsInputEvent(TDisplayEvent::TKind K)
{
  switch (K) {
    case TDisplayEvent::MouseMove:
    case TDisplayEvent::ButtonDown:
    case TDisplayEvent::ButtonUp:
    case TDisplayEvent::Wheel:
    case TDisplayEvent::KeyDown:
    case TDisplayEvent::KeyUp:
    case TDisplayEvent::Char: return true;
    default: return false;
  }
}

bool IsInputMessage(UINT M)
{
  return (M >= WM_KEYFIRST && M <= WM_KEYLAST) || (M >= WM_MOUSEFIRST && M <= WM_MOUSELAST) ||
         (M >= WM_NCMOUSEMOVE && M <= WM_NCMBUTTONDBLCLK);
}

bool InputWaiting()
{
  TThreadQueue& Queue = CurrentQueue();
  std::lock_guard<std::mutex> Guard(Queue.Lock);
  for (const MSG& M : Queue.Posted)
    if (IsInputMessage(M.message)) return true;
  return false;
}

WPARAM KeyFlags(unsigned Modifiers)
{
  WPARAM F = 0;
  auto& St = S();
  if (St.Keys[VK_LBUTTON] & 0x80) F |= MK_LBUTTON;
  if (St.Keys[VK_RBUTTON] & 0x80) F |= MK_RBUTTON;
  if (St.Keys[VK_MBUTTON] & 0x80) F |= MK_MBUTTON;
  if (Modifiers & MK_SHIFT) F |= MK_SHIFT;
  if (Modifiers & MK_CONTROL) F |= MK_CONTROL;
  return F;
}

LPARAM PointParam(POINT P) { return MAKELPARAM(static_cast<WORD>(P.x), static_cast<WORD>(P.y)); }

void CaretInvert()
{
  auto& St = S();
  TWnd* W = LookupLive(St.CaretWnd);
  if (W == nullptr) return;
  HDC Dc = GetDC(St.CaretWnd);
  if (Dc == nullptr) return;
  if (St.CaretShapeDc != nullptr)
    BitBlt(Dc, St.CaretPos.x, St.CaretPos.y, St.CaretW, St.CaretH, St.CaretShapeDc, 0, 0, SRCINVERT);
  else
    PatBlt(Dc, St.CaretPos.x, St.CaretPos.y, St.CaretW, St.CaretH, DSTINVERT);
  ReleaseDC(St.CaretWnd, Dc);
}

void FreeCaretShape()
{
  auto& St = S();
  if (St.CaretShapeDc != nullptr) {
    SelectObject(St.CaretShapeDc, St.CaretShapeOld);
    DeleteDC(St.CaretShapeDc);
  }
  if (St.CaretShape != nullptr) DeleteObject(St.CaretShape);
  St.CaretShapeDc = nullptr;
  St.CaretShapeOld = nullptr;
  St.CaretShape = nullptr;
}

// The pixels of a caret shape, 0x00RRGGBB top-down: a halftone pattern for the grey caret,
// a copy of the application's bitmap otherwise (so that the caret does not depend on the
// bitmap staying alive or unselected). False when Bitmap is not a bitmap.
bool CaretShapePixels(HBITMAP Bitmap, bool Grey, int& Width, int& Height, std::vector<std::uint32_t>& Pixels)
{
  if (Grey) {
    Pixels.assign(static_cast<std::size_t>(Width) * Height, 0);
    for (int Y = 0; Y < Height; ++Y)
      for (int X = 0; X < Width; ++X)
        if (((X + Y) & 1) == 0) Pixels[static_cast<std::size_t>(Y) * Width + X] = 0xFFFFFF;
    return true;
  }
  BITMAP Info{};
  if (GetObjectType(Bitmap) != OBJ_BITMAP || GetObjectA(Bitmap, sizeof Info, &Info) != static_cast<int>(sizeof Info) || Info.bmWidth <= 0 ||
      Info.bmHeight == 0)
    return false;
  Width = Info.bmWidth;
  Height = Info.bmHeight < 0 ? -Info.bmHeight : Info.bmHeight;
  Pixels.assign(static_cast<std::size_t>(Width) * Height, 0);
  HDC Dc = CreateCompatibleDC(nullptr);
  if (Dc == nullptr) return false;
  BITMAPINFO Bi{};
  Bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Bi.bmiHeader.biWidth = Width;
  Bi.bmiHeader.biHeight = -Height;
  Bi.bmiHeader.biPlanes = 1;
  Bi.bmiHeader.biBitCount = 32;
  Bi.bmiHeader.biCompression = BI_RGB;
  int Lines = GetDIBits(Dc, Bitmap, 0, static_cast<UINT>(Height), Pixels.data(), &Bi, DIB_RGB_COLORS);
  DeleteDC(Dc);
  if (Lines != Height) return false;
  for (auto& P : Pixels) P &= 0xFFFFFF;
  return true;
}

bool MakeCaretShape(const std::vector<std::uint32_t>& Pixels, int Width, int Height)
{
  auto& St = S();
  St.CaretShape = CreateBitmap(Width, Height, 1, 32, Pixels.data());
  if (St.CaretShape != nullptr) St.CaretShapeDc = CreateCompatibleDC(nullptr);
  if (St.CaretShapeDc == nullptr) {
    FreeCaretShape();
    return false;
  }
  St.CaretShapeOld = SelectObject(St.CaretShapeDc, St.CaretShape);
  return true;
}

void CaretErase()
{
  auto& St = S();
  if (St.CaretDrawn) {
    CaretInvert();
    St.CaretDrawn = false;
  }
}

void CaretBlinkTick()
{
  auto& St = S();
  if (St.CaretWnd == nullptr || St.CaretHide > 0) return;
  CaretInvert();
  St.CaretDrawn = !St.CaretDrawn;
}

void CheckLeave(HWND Under, bool UnderNc)
{
  auto& St = S();
  if (St.LeaveWnd != nullptr && (St.LeaveWnd != Under || St.LeaveNc != UnderNc)) {
    HWND L = St.LeaveWnd;
    bool Nc = St.LeaveNc;
    St.LeaveWnd = nullptr;
    if (LookupLive(L) != nullptr) {
      MSG M{};
      M.hwnd = L;
      M.message = Nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE;
      M.time = Now();
      M.pt = St.Cursor;
      PostInput(M);
      CurrentQueue().Wake();
    }
  }
  if (St.HoverWnd != nullptr && (St.HoverWnd != Under || St.HoverNc != UnderNc)) {
    St.HoverWnd = nullptr;
    KillInternalTimer(kHoverTimer);
  }
}

void HoverFired()
{
  auto& St = S();
  KillInternalTimer(kHoverTimer);
  HWND H = St.HoverWnd;
  St.HoverWnd = nullptr;
  if (H == nullptr || LookupLive(H) == nullptr) return;
  POINT P = St.Cursor;
  if (!St.HoverNc) ScreenToClient(H, &P);
  MSG M{};
  M.hwnd = H;
  M.message = St.HoverNc ? WM_NCMOUSEHOVER : WM_MOUSEHOVER;
  M.wParam = St.HoverNc ? static_cast<WPARAM>(HTCLIENT) : KeyFlags(0);
  M.lParam = PointParam(St.HoverNc ? St.Cursor : P);
  M.time = Now();
  M.pt = St.Cursor;
  PostInput(M);
}

void RestartHover(POINT P)
{
  auto& St = S();
  if (St.HoverWnd == nullptr) return;
  int Hw = 4, Hh = 4;
  if (std::abs(P.x - St.HoverStart.x) > Hw / 2 || std::abs(P.y - St.HoverStart.y) > Hh / 2 ||
      P == St.HoverStart) {
    St.HoverStart = P;
    SetInternalTimer(kHoverTimer, St.HoverTime, HoverFired);
  }
}

UINT ButtonMessage(int Button, bool Down, bool Nc)
{
  UINT Base;
  switch (Button) {
    case 1: Base = WM_LBUTTONDOWN; break;
    case 3: Base = WM_RBUTTONDOWN; break;
    default: Base = WM_MBUTTONDOWN; break;
  }
  UINT M = Down ? Base : Base + 1;
  if (Nc) M = M - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN;
  return M;
}

int ButtonVk(int Button) { return Button == 1 ? VK_LBUTTON : (Button == 3 ? VK_RBUTTON : VK_MBUTTON); }

void RouteMouse(const TDisplayEvent& E)
{
  auto& St = S();
  POINT P{E.X, E.Y};
  St.Cursor = P;
  bool Down = E.Kind == TDisplayEvent::ButtonDown;
  bool Up = E.Kind == TDisplayEvent::ButtonUp;
  if (Down || Up) {
    BYTE& K = St.Keys[ButtonVk(E.Button)];
    if (Down) K = static_cast<BYTE>((K ^ 1) | 0x80);
    else K &= ~0x80;
  }
  DWORD Time = E.Time != 0 && GetMessageClock().IsRealTime() ? E.Time : Now();
  TWnd* Target = nullptr;
  LRESULT Hit = HTCLIENT;
  if (St.Capture != nullptr && LookupLive(St.Capture) != nullptr) {
    Target = LookupLive(St.Capture);
    // Leave tracking still follows the window that is really under the pointer.
    TWnd* Top = TopLevelAt(P);
    TWnd* Under = Top != nullptr ? ChildAt(Top, P, true, false) : nullptr;
    CheckLeave(Under != nullptr ? Under->Handle : nullptr, false);
  } else {
    Target = HitWindow(P, Hit, true, nullptr);
    HWND Th = Target != nullptr ? Target->Handle : nullptr;
    CheckLeave(Th, Hit != HTCLIENT);
    if (Target == nullptr) {
      St.LastMouseWnd = nullptr;
      return;
    }
    Target = LookupLive(Th);
    if (Target == nullptr) return;
  }
  HWND H = Target->Handle;
  St.LastMouseWnd = H;
  UINT MouseMsg = E.Kind == TDisplayEvent::MouseMove ? WM_MOUSEMOVE : ButtonMessage(E.Button, Down, false);
  bool Captured = St.Capture == H;

  if (Hit == HTERROR) {
    SendMessageA(H, WM_SETCURSOR, reinterpret_cast<WPARAM>(H), MAKELPARAM(static_cast<WORD>(HTERROR), static_cast<WORD>(MouseMsg)));
    if (Down) {
      // A window disabled by a modal one: bring the modal one forward.
      HWND Popup = GetWindow(H, GW_ENABLEDPOPUP);
      if (Popup != nullptr) SetActiveWindow(Popup);
    }
    return;
  }

  if (Down && !Captured) {
    TWnd* Top = TopLevelOf(Target);
    HWND TopH = Top->Handle;
    if (TopH != St.Active && !(Top->ExStyle & WS_EX_NOACTIVATE)) {
      LRESULT Ma = SendMessageA(H, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(TopH),
                                MAKELPARAM(static_cast<WORD>(Hit), static_cast<WORD>(MouseMsg)));
      if (Ma == MA_ACTIVATE || Ma == MA_ACTIVATEANDEAT || Ma == 0) {
        if ((Top = LookupLive(TopH)) != nullptr) ActivateWindow(Top, WA_CLICKACTIVE);
      }
      if (Ma == MA_ACTIVATEANDEAT || Ma == MA_NOACTIVATEANDEAT) return;
      if ((Target = LookupLive(H)) == nullptr) return;
    }
    MdiChildPressed(Target);
    if ((Target = LookupLive(H)) == nullptr) return;
  }
  if (!Captured) {
    SendMessageA(H, WM_SETCURSOR, reinterpret_cast<WPARAM>(H),
                 MAKELPARAM(static_cast<WORD>(Hit), static_cast<WORD>(MouseMsg)));
    if ((Target = LookupLive(H)) == nullptr) return;
  }
  bool Nc = Hit != HTCLIENT && !Captured;
  MSG M{};
  M.hwnd = H;
  M.time = Time;
  M.pt = P;
  if (E.Kind == TDisplayEvent::MouseMove) {
    M.message = Nc ? WM_NCMOUSEMOVE : WM_MOUSEMOVE;
    if (St.HoverWnd == H) RestartHover(P);
  } else {
    M.message = ButtonMessage(E.Button, Down, Nc);
    if (Down) {
      int Cx = GetSystemMetrics(SM_CXDOUBLECLK), Cy = GetSystemMetrics(SM_CYDOUBLECLK);
      bool Double = St.LastClickWnd == H && St.LastClickMsg == M.message && St.LastClickNc == Nc &&
                    (!Nc || St.LastClickHit == Hit) && (Time - St.LastClickTime) <= St.DoubleClickTime &&
                    std::abs(P.x - St.LastClickPt.x) <= Cx / 2 && std::abs(P.y - St.LastClickPt.y) <= Cy / 2;
      if (Double && Target->Class != nullptr && (Target->Class->Style & CS_DBLCLKS)) {
        M.message += 2;  // ...BUTTONDBLCLK
        St.LastClickWnd = nullptr;
      } else {
        St.LastClickWnd = H;
        St.LastClickMsg = M.message;
        St.LastClickTime = Time;
        St.LastClickPt = P;
        St.LastClickNc = Nc;
        St.LastClickHit = Hit;
      }
    }
  }
  if (Nc) {
    M.wParam = static_cast<WPARAM>(Hit);
    M.lParam = PointParam(P);
  } else {
    POINT C = P;
    ScreenToClient(H, &C);
    M.wParam = KeyFlags(E.Modifiers);
    M.lParam = PointParam(C);
  }
  PostInput(M);
}

void RouteWheel(const TDisplayEvent& E)
{
  auto& St = S();
  St.Cursor = POINT{E.X, E.Y};
  HWND T = St.Focus != nullptr ? St.Focus : St.Active;
  if (T == nullptr || LookupLive(T) == nullptr) return;
  MSG M{};
  M.hwnd = T;
  M.message = WM_MOUSEWHEEL;
  M.wParam = MAKEWPARAM(static_cast<WORD>(KeyFlags(E.Modifiers)), static_cast<WORD>(static_cast<SHORT>(E.WheelDelta)));
  M.lParam = PointParam(St.Cursor);
  M.time = E.Time != 0 ? E.Time : Now();
  M.pt = St.Cursor;
  PostInput(M);
}

int GenericVk(unsigned Vk)
{
  switch (Vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return static_cast<int>(Vk & 0xFF);
  }
}

void RouteKey(const TDisplayEvent& E)
{
  auto& St = S();
  bool Down = E.Kind == TDisplayEvent::KeyDown;
  int Vk = GenericVk(E.VirtualKey);
  bool WasDown = (St.Keys[Vk] & 0x80) != 0;
  SetKeyStateFromEvent(E.VirtualKey, Down);
  bool Alt = (St.Keys[VK_MENU] & 0x80) != 0 || (E.Modifiers & 0x100) != 0;
  bool Ctrl = (St.Keys[VK_CONTROL] & 0x80) != 0;
  HWND T = St.Focus;
  bool Sys = (Alt && !Ctrl) || Vk == VK_F10 || (Vk == VK_MENU);
  if (Down) St.AltAlone = Vk == VK_MENU ? (St.AltAlone || !WasDown) : false;
  // Alt released after a combination comes as a plain key-up, so that it opens no menu.
  if (!Down && Vk == VK_MENU) {
    Sys = St.AltAlone;
    St.AltAlone = false;
  }
  if (T == nullptr) {
    // Without a focus window the active window gets the keys as system keys.
    T = St.Active;
    Sys = true;
  }
  if (T == nullptr || LookupLive(T) == nullptr) return;
  MSG M{};
  M.hwnd = T;
  M.message = Down ? (Sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (Sys ? WM_SYSKEYUP : WM_KEYUP);
  M.wParam = static_cast<WPARAM>(Vk);
  BYTE Serial = 0;
  if (Down) {
    Serial = St.NextSerial;
    St.NextSerial = static_cast<BYTE>(St.NextSerial == 255 ? 1 : St.NextSerial + 1);
    St.KeyTexts.erase(Serial);
    St.LastKeySerial = Serial;
    St.LastKeyTranslated = false;
  }
  LPARAM L = 1 | (static_cast<LPARAM>(Serial) << 16);
  if (Alt && Vk != VK_MENU ? true : (Alt && !Down)) L |= KF_ALTDOWN_BIT;
  if (Down && (WasDown || E.Repeat)) L |= KF_REPEAT_BIT;
  if (!Down) L |= KF_REPEAT_BIT | KF_UP_BIT;
  M.lParam = L;
  M.time = E.Time != 0 ? E.Time : Now();
  M.pt = St.Cursor;
  PostInput(M);
}

void PostChars(HWND T, const String& Text, bool Sys)
{
  for (unsigned char C : Text) {
    MSG M{};
    M.hwnd = T;
    M.message = Sys ? WM_SYSCHAR : WM_CHAR;
    M.wParam = C;
    M.lParam = 1;
    M.time = Now();
    M.pt = S().Cursor;
    PostInput(M);
  }
}

void RouteChar(const TDisplayEvent& E)
{
  auto& St = S();
  if (E.Text.empty()) return;
  if (St.LastKeySerial != 0 && !St.LastKeyTranslated) {
    St.KeyTexts[St.LastKeySerial] = E.Text;
    return;
  }
  if (St.LastKeyTranslated && St.LastTranslatedText == E.Text) {
    St.LastTranslatedText.clear();
    return;
  }
  HWND T = St.Focus != nullptr ? St.Focus : St.Active;
  if (T != nullptr && LookupLive(T) != nullptr) PostChars(T, E.Text, false);
}

// The character a key gives on a US keyboard, 0 for none.
int KeyChar(int Vk, bool Shift, bool Ctrl, bool Caps)
{
  if (Vk >= 'A' && Vk <= 'Z') {
    if (Ctrl) return Vk - 'A' + 1;
    bool Upper = Shift != Caps;
    return Upper ? Vk : Vk + 32;
  }
  if (Ctrl) {
    if (Vk == VK_OEM_4) return 0x1B;
    if (Vk == VK_OEM_5) return 0x1C;
    if (Vk == VK_OEM_6) return 0x1D;
    if (Vk == VK_RETURN) return 0x0A;
    if (Vk == VK_BACK) return 0x7F;
    if (Vk == VK_SPACE) return ' ';
    return 0;
  }
  if (Vk >= '0' && Vk <= '9') return Shift ? ")!@#$%^&*("[Vk - '0'] : Vk;
  if (Vk >= VK_NUMPAD0 && Vk <= VK_NUMPAD9) return '0' + (Vk - VK_NUMPAD0);
  switch (Vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_ESCAPE: return 27;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_1: return Shift ? ':' : ';';
    case VK_OEM_PLUS: return Shift ? '+' : '=';
    case VK_OEM_COMMA: return Shift ? '<' : ',';
    case VK_OEM_MINUS: return Shift ? '_' : '-';
    case VK_OEM_PERIOD: return Shift ? '>' : '.';
    case VK_OEM_2: return Shift ? '?' : '/';
    case VK_OEM_3: return Shift ? '~' : '`';
    case VK_OEM_4: return Shift ? '{' : '[';
    case VK_OEM_5: return Shift ? '|' : '\\';
    case VK_OEM_6: return Shift ? '}' : ']';
    case VK_OEM_7: return Shift ? '"' : '\'';
    default: return 0;
  }
}

void DeliverDrop(const TDisplayEvent& E)
{
  auto& St = S();
  POINT P{E.X, E.Y};
  TWnd* Top = WindowOfDisplay(E.Window);
  TWnd* W = Top != nullptr ? ChildAt(Top, P, false, false) : nullptr;
  if (W == nullptr) {
    Top = TopLevelAt(P);
    W = Top != nullptr ? ChildAt(Top, P, false, false) : nullptr;
  }
  while (W != nullptr && !W->IsDesktop && !W->AcceptFiles) W = W->Parent;
  if (W == nullptr || W->IsDesktop) return;
  auto D = std::make_unique<TDropData>();
  D->Files = E.Files;
  RECT C = ScreenClientRect(W);
  D->NonClient = !PtInRect(&C, P);
  D->Point = POINT{P.x - C.left, P.y - C.top};
  HDROP H = reinterpret_cast<HDROP>(D.get());
  St.Drops.push_back(std::move(D));
  PostMessageA(W->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(H), 0);
}

TDropData* DropOf(HDROP Drop)
{
  for (auto& D : S().Drops)
    if (reinterpret_cast<HDROP>(D.get()) == Drop) return D.get();
  return nullptr;
}

void TRawSink::DisplayEvent(const TDisplayEvent& E) { S().Raw.push_back(E); }

void TSink::DisplayEvent(const TDisplayEvent& E)
{
  auto& St = S();
  switch (E.Kind) {
    case TDisplayEvent::MouseMove:
    case TDisplayEvent::ButtonDown:
    case TDisplayEvent::ButtonUp: RouteMouse(E); break;
    case TDisplayEvent::Wheel: RouteWheel(E); break;
    case TDisplayEvent::MouseLeave: {
      TWnd* Top = WindowOfDisplay(E.Window);
      if (Top == nullptr) break;
      HWND Last = St.LastMouseWnd;
      TWnd* L = LookupLive(Last);
      if (L != nullptr && TopLevelOf(L) == Top && St.Capture == nullptr) {
        CheckLeave(nullptr, false);
        St.LastMouseWnd = nullptr;
      }
      break;
    }
    case TDisplayEvent::KeyDown:
    case TDisplayEvent::KeyUp: RouteKey(E); break;
    case TDisplayEvent::Char: RouteChar(E); break;
    case TDisplayEvent::FocusIn: {
      St.PendingFocusOut = false;
      TWnd* W = WindowOfDisplay(E.Window);
      if (W != nullptr && W->Handle != St.Active && !(W->ExStyle & WS_EX_NOACTIVATE)) ActivateWindow(W, WA_ACTIVE);
      break;
    }
    case TDisplayEvent::FocusOut: St.PendingFocusOut = true; break;
    case TDisplayEvent::Expose: {
      TWnd* W = WindowOfDisplay(E.Window);
      if (W != nullptr) ExposeWindow(W, E.Bounds);
      break;
    }
    case TDisplayEvent::CloseRequest: {
      TWnd* W = WindowOfDisplay(E.Window);
      if (W != nullptr) PostMessageA(W->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    }
    case TDisplayEvent::Configured: {
      TWnd* W = WindowOfDisplay(E.Window);
      if (W != nullptr) DisplayConfigured(W, E.Bounds);
      break;
    }
    case TDisplayEvent::Iconified: {
      TWnd* W = WindowOfDisplay(E.Window);
      if (W != nullptr && !(W->Style & WS_MINIMIZE)) SendMessageA(W->Handle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      break;
    }
    case TDisplayEvent::Restored: {
      TWnd* W = WindowOfDisplay(E.Window);
      if (W != nullptr && (W->Style & WS_MINIMIZE)) SendMessageA(W->Handle, WM_SYSCOMMAND, SC_RESTORE, 0);
      break;
    }
    case TDisplayEvent::Drop: DeliverDrop(E); break;
    case TDisplayEvent::DisplayChanged: {
      int Cx = GetSystemMetrics(SM_CXSCREEN), Cy = GetSystemMetrics(SM_CYSCREEN);
      SetScreenSize(Cx, Cy);
      std::vector<HWND> Tops;
      for (TWnd* T : Desktop()->Children) Tops.push_back(T->Handle);
      for (HWND T : Tops) SendMessageA(T, WM_DISPLAYCHANGE, 32, MAKELPARAM(static_cast<WORD>(Cx), static_cast<WORD>(Cy)));
      break;
    }
    case TDisplayEvent::TrayIconLost: {
      TWnd* W = WindowOfDisplay(E.Window);
      if (W != nullptr && W->TrayIcon) ForgetDockedIcon(W->Handle);
      break;
    }
    case TDisplayEvent::TrayRestarted: TrayRestarted(); break;
  }
}

}  // namespace


void SetKeyStateFromEvent(unsigned VirtualKey, bool Down)
{
  auto& St = S();
  auto Set = [&](int Vk) {
    BYTE& K = St.Keys[Vk & 0xFF];
    if (Down) {
      if (!(K & 0x80)) K ^= 1;
      K |= 0x80;
    } else {
      K &= ~0x80;
    }
  };
  Set(static_cast<int>(VirtualKey));
  int G = GenericVk(VirtualKey);
  if (G != static_cast<int>(VirtualKey & 0xFF)) Set(G);
}

HWND& ActiveWindowRef() { return S().Active; }
HWND& FocusWindowRef() { return S().Focus; }
HWND& CaptureWindowRef() { return S().Capture; }

void SetLastCursorMessagePos(MSG& Msg) { Msg.pt = S().Cursor; }

void EnsureDisplaySink() { GetDisplayBackend(); }

void PumpDisplay()
{
  auto& St = S();
  if (!St.Backend) return;
  St.Backend->PumpEvents(RawSink());
  while (!St.Raw.empty()) {
    if (IsInputEvent(St.Raw.front().Kind) && InputWaiting()) break;
    TDisplayEvent E = std::move(St.Raw.front());
    St.Raw.pop_front();
    if (E.Kind == TDisplayEvent::FocusIn || E.Kind == TDisplayEvent::FocusOut) {
      // Only the latest focus change counts: earlier ones are echoes of requests made since.
      bool Later = std::any_of(St.Raw.begin(), St.Raw.end(), [](const TDisplayEvent& X) {
        return X.Kind == TDisplayEvent::FocusIn || X.Kind == TDisplayEvent::FocusOut;
      });
      if (Later) continue;
    }
    Sink().DisplayEvent(E);
    if (E.Kind == TDisplayEvent::KeyDown && !St.Raw.empty() && St.Raw.front().Kind == TDisplayEvent::Char) {
      // The text this key typed travels with it.
      Sink().DisplayEvent(St.Raw.front());
      St.Raw.pop_front();
    }
  }
  if (St.PendingFocusOut && (St.Raw.empty() || St.Raw.front().Kind != TDisplayEvent::FocusIn)) {
    St.PendingFocusOut = false;
    if (St.Active != nullptr) ActivateWindow(nullptr, WA_INACTIVE);
  }
}

bool DisplayEventsWaiting()
{
  auto& St = S();
  if (!St.Backend) return false;
  St.Backend->PumpEvents(RawSink());
  return !St.Raw.empty() && !(IsInputEvent(St.Raw.front().Kind) && InputWaiting());
}

void ActivateWindow(TWnd* W, WORD How)
{
  auto& St = S();
  HWND Old = St.Active;
  HWND New = W != nullptr ? TopLevelOf(W)->Handle : nullptr;
  if (Old == New) return;
  if (New != nullptr) {
    W = LookupLive(New);
    if (W == nullptr) return;
    if (W->ThreadId != GetCurrentThreadId()) return;
    // The newly active window comes to the front.
    SetPos(W, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (LookupLive(New) == nullptr) return;
  }
  if (St.Active != Old) return;  // a handler changed the activation meanwhile
  St.Active = New;
  if (Old != nullptr && LookupLive(Old) != nullptr) {
    SendMessageA(Old, WM_NCACTIVATE, FALSE, 0);
    TWnd* O = LookupLive(Old);
    if (O != nullptr)
      SendMessageA(Old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, (O->Style & WS_MINIMIZE) ? 1 : 0),
                   reinterpret_cast<LPARAM>(New));
  }
  bool AppChanges = (Old == nullptr) != (New == nullptr);
  if (AppChanges) {
    std::vector<HWND> Tops;
    for (TWnd* T : Desktop()->Children)
      if (T->ThreadId == GetCurrentThreadId()) Tops.push_back(T->Handle);
    for (HWND T : Tops)
      SendMessageA(T, WM_ACTIVATEAPP, New != nullptr ? TRUE : FALSE, New != nullptr ? 0 : 0);
  }
  if (New == nullptr) {
    if (St.Focus != nullptr) SetFocus(nullptr);
    return;
  }
  if (St.Active != New || LookupLive(New) == nullptr) return;
  SendMessageA(New, WM_NCACTIVATE, TRUE, 0);
  W = LookupLive(New);
  if (W == nullptr || St.Active != New) return;
  TDisplayWindow D = GetDisplayWindow(New);
  if (D != 0) GetDisplayBackend().Activate(D);
  SendMessageA(New, WM_ACTIVATE, MAKEWPARAM(How, (W->Style & WS_MINIMIZE) ? 1 : 0), reinterpret_cast<LPARAM>(Old));
}

void InputWindowDestroyed(TWnd* W)
{
  auto& St = S();
  HWND H = W->Handle;
  if (St.Active == H) St.Active = nullptr;
  if (St.Focus == H) St.Focus = nullptr;
  if (St.Capture == H) St.Capture = nullptr;
  if (St.LeaveWnd == H) St.LeaveWnd = nullptr;
  if (St.HoverWnd == H) {
    St.HoverWnd = nullptr;
    KillInternalTimer(kHoverTimer);
  }
  if (St.LastClickWnd == H) St.LastClickWnd = nullptr;
  if (St.LastMouseWnd == H) St.LastMouseWnd = nullptr;
}

void CaretWindowDestroyed(TWnd* W)
{
  if (S().CaretWnd == W->Handle) DestroyCaret();
}

void HideCaretForPaint(TWnd* W, bool Hide)
{
  auto& St = S();
  if (St.CaretWnd != W->Handle) return;
  if (Hide) {
    if (!W->CaretHiddenForPaint) {
      W->CaretHiddenForPaint = true;
      HideCaret(W->Handle);
    }
  } else if (W->CaretHiddenForPaint) {
    W->CaretHiddenForPaint = false;
    ShowCaret(W->Handle);
  }
}

void TranslateKey(const MSG& Msg)
{
  auto& St = S();
  BYTE Serial = static_cast<BYTE>((Msg.lParam >> 16) & 0xFF);
  bool Sys = Msg.message == WM_SYSKEYDOWN;
  String Text;
  auto It = Serial != 0 ? St.KeyTexts.find(Serial) : St.KeyTexts.end();
  if (It != St.KeyTexts.end()) {
    Text = It->second;
    St.KeyTexts.erase(It);
  } else {
    bool Shift = (St.Keys[VK_SHIFT] & 0x80) != 0;
    bool Ctrl = (St.Keys[VK_CONTROL] & 0x80) != 0;
    bool Caps = (St.Keys[VK_CAPITAL] & 1) != 0;
    bool Alt = (Msg.lParam & KF_ALTDOWN_BIT) != 0;
    int C = KeyChar(static_cast<int>(Msg.wParam), Shift, Ctrl && !Alt, Caps);
    if (C != 0) Text = String(1, static_cast<char>(C));
  }
  if (Serial != 0 && Serial == St.LastKeySerial) {
    St.LastKeyTranslated = true;
    St.LastTranslatedText = Text;
  }
  if (!Text.empty()) {
    // The characters follow the key message at once, ahead of later input.
    TThreadQueue& Queue = CurrentQueue();
    std::lock_guard<std::mutex> Guard(Queue.Lock);
    std::vector<MSG> Chars;
    for (unsigned char C : Text) {
      MSG M{};
      M.hwnd = Msg.hwnd;
      M.message = Sys ? WM_SYSCHAR : WM_CHAR;
      M.wParam = C;
      M.lParam = Msg.lParam & ~static_cast<LPARAM>(0xFF0000);
      M.time = Msg.time;
      M.pt = Msg.pt;
      Chars.push_back(M);
    }
    Queue.Posted.insert(Queue.Posted.begin(), Chars.begin(), Chars.end());
  }
}

}  // namespace QvWin

using namespace QvWin;

// ---------------------------------------------------------------------------------------------
// The backend

void SetDisplayBackend(std::unique_ptr<TDisplayBackend> Backend)
{
  auto& St = S();
  std::lock_guard<std::recursive_mutex> Guard(St.BackendLock);
  if (GetWindowCount() > 0) throw Exception("SetDisplayBackend: windows exist");
  St.Backend = std::move(Backend);
  if (St.Backend) {
    auto Mons = St.Backend->Monitors();
    int Cx = GetSystemMetrics(SM_CXSCREEN), Cy = GetSystemMetrics(SM_CYSCREEN);
    SetScreenSize(Cx, Cy);
    St.Cursor = St.Backend->CursorPos();
  }
  St.Active = St.Focus = St.Capture = nullptr;
  std::memset(St.Keys, 0, sizeof St.Keys);
  St.LastClickWnd = nullptr;
  St.LeaveWnd = St.HoverWnd = St.LastMouseWnd = nullptr;
  St.KeyTexts.clear();
  St.LastKeySerial = 0;
  St.Raw.clear();
  St.PendingFocusOut = false;
}

TDisplayBackend& GetDisplayBackend()
{
  auto& St = S();
  std::lock_guard<std::recursive_mutex> Guard(St.BackendLock);
  if (!St.Backend) {
    St.Backend = CreateDisplayBackend();
    SetScreenSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    St.Cursor = St.Backend->CursorPos();
  }
  return *St.Backend;
}

// ---------------------------------------------------------------------------------------------
// Capture, focus, activation

HWND SetCapture(HWND Wnd)
{
  auto& St = S();
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return nullptr;
  HWND Old = St.Capture;
  if (Old == Wnd) return Old;
  St.Capture = Wnd;
  TDisplayWindow D = GetDisplayWindow(TopLevelOf(W)->Handle);
  if (D != 0) {
    GetDisplayBackend().GrabPointer(D, true);
    St.CaptureGrab = true;
  }
  if (Old != nullptr && LookupLive(Old) != nullptr) SendMessageA(Old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(Wnd));
  return Old;
}

BOOL ReleaseCapture()
{
  auto& St = S();
  HWND Old = St.Capture;
  St.Capture = nullptr;
  if (Old == nullptr) return TRUE;
  TWnd* W = LookupLive(Old);
  if (St.CaptureGrab && W != nullptr) {
    TDisplayWindow D = GetDisplayWindow(TopLevelOf(W)->Handle);
    if (D != 0) GetDisplayBackend().GrabPointer(D, false);
  }
  St.CaptureGrab = false;
  if (W != nullptr) SendMessageA(Old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return LookupLive(S().Capture) != nullptr ? S().Capture : nullptr; }

HWND SetFocus(HWND Wnd)
{
  auto& St = S();
  HWND Old = St.Focus;
  if (Wnd == nullptr) {
    St.Focus = nullptr;
    if (Old != nullptr && LookupLive(Old) != nullptr) SendMessageA(Old, WM_KILLFOCUS, 0, 0);
    return Old;
  }
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || W->IsDesktop) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (W->ThreadId != GetCurrentThreadId()) return nullptr;
  if (Old == Wnd) return Old;
  TWnd* Top = TopLevelOf(W);
  if (Top->Handle != St.Active && !(Top->ExStyle & WS_EX_NOACTIVATE)) {
    ActivateWindow(Top, WA_ACTIVE);
    if (St.Focus == Wnd) return Old;
    if (LookupLive(Wnd) == nullptr) return nullptr;
    Old = St.Focus;
  }
  St.Focus = Wnd;
  if (Old != nullptr && LookupLive(Old) != nullptr) SendMessageA(Old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(Wnd), 0);
  if (St.Focus == Wnd && LookupLive(Wnd) != nullptr)
    SendMessageA(Wnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(LookupLive(Old) ? Old : nullptr), 0);
  return Old;
}

HWND GetFocus() { return LookupLive(S().Focus) != nullptr ? S().Focus : nullptr; }

HWND SetActiveWindow(HWND Wnd)
{
  HWND Old = S().Active;
  TWnd* W = LookupLive(Wnd);
  if (Wnd != nullptr && W == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  ActivateWindow(W != nullptr ? TopLevelOf(W) : nullptr, WA_ACTIVE);
  return Old;
}

HWND GetActiveWindow() { return LookupLive(S().Active) != nullptr ? S().Active : nullptr; }

BOOL SetForegroundWindow(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return FALSE;
  W = TopLevelOf(W);
  if (S().Active != W->Handle) ActivateWindow(W, WA_ACTIVE);
  TDisplayWindow D = GetDisplayWindow(W->Handle);
  if (D != 0) GetDisplayBackend().Activate(D);
  return TRUE;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

// ---------------------------------------------------------------------------------------------
// Mouse tracking and double clicks

BOOL TrackMouseEvent(TRACKMOUSEEVENT* Event)
{
  auto& St = S();
  if (Event == nullptr || Event->cbSize < sizeof(TRACKMOUSEEVENT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (Event->dwFlags & TME_QUERY) {
    Event->dwFlags = 0;
    Event->hwndTrack = nullptr;
    if (St.LeaveWnd != nullptr) {
      Event->dwFlags |= TME_LEAVE | (St.LeaveNc ? TME_NONCLIENT : 0);
      Event->hwndTrack = St.LeaveWnd;
    }
    if (St.HoverWnd != nullptr) {
      Event->dwFlags |= TME_HOVER | (St.HoverNc ? TME_NONCLIENT : 0);
      Event->hwndTrack = St.HoverWnd;
      Event->dwHoverTime = St.HoverTime;
    }
    return TRUE;
  }
  HWND H = Event->hwndTrack;
  TWnd* W = LookupLive(H);
  if (W == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  bool Nc = (Event->dwFlags & TME_NONCLIENT) != 0;
  if (Event->dwFlags & TME_CANCEL) {
    if ((Event->dwFlags & TME_LEAVE) && St.LeaveWnd == H) St.LeaveWnd = nullptr;
    if ((Event->dwFlags & TME_HOVER) && St.HoverWnd == H) {
      St.HoverWnd = nullptr;
      KillInternalTimer(kHoverTimer);
    }
    return TRUE;
  }
  // Is the pointer in the tracked part of the window now?
  TWnd* Top = TopLevelAt(St.Cursor);
  TWnd* Under = Top != nullptr ? ChildAt(Top, St.Cursor, true, false) : nullptr;
  RECT C = ScreenClientRect(W);
  bool InClient = PtInRect(&C, St.Cursor) != FALSE;
  bool Inside = Under == W && (Nc ? !InClient : InClient);
  if (Event->dwFlags & TME_LEAVE) {
    if (!Inside) {
      MSG M{};
      M.hwnd = H;
      M.message = Nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE;
      M.time = Now();
      M.pt = St.Cursor;
      PostInput(M);
    } else {
      St.LeaveWnd = H;
      St.LeaveNc = Nc;
    }
  }
  if ((Event->dwFlags & TME_HOVER) && Inside) {
    St.HoverWnd = H;
    St.HoverNc = Nc;
    St.HoverTime = Event->dwHoverTime == HOVER_DEFAULT ? 400 : std::max<DWORD>(Event->dwHoverTime, 1);
    St.HoverStart = St.Cursor;
    SetInternalTimer(kHoverTimer, St.HoverTime, HoverFired);
  }
  return TRUE;
}

UINT GetDoubleClickTime() { return S().DoubleClickTime; }

BOOL SetDoubleClickTime(UINT Interval)
{
  S().DoubleClickTime = Interval == 0 ? 500 : Interval;
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Keyboard state

SHORT GetKeyState(int VirtKey)
{
  BYTE K = S().Keys[VirtKey & 0xFF];
  SHORT R = 0;
  if (K & 0x80) R = static_cast<SHORT>(0xFF80);
  if (K & 1) R = static_cast<SHORT>(R | 1);
  return R;
}

SHORT GetAsyncKeyState(int VirtKey)
{
  int Vk = VirtKey & 0xFF;
  bool Down = GetDisplayBackend().KeyDown(static_cast<unsigned>(Vk)) || (S().Keys[Vk] & 0x80);
  if (Vk == VK_SHIFT) Down = Down || GetDisplayBackend().KeyDown(VK_LSHIFT) || GetDisplayBackend().KeyDown(VK_RSHIFT);
  if (Vk == VK_CONTROL)
    Down = Down || GetDisplayBackend().KeyDown(VK_LCONTROL) || GetDisplayBackend().KeyDown(VK_RCONTROL);
  if (Vk == VK_MENU) Down = Down || GetDisplayBackend().KeyDown(VK_LMENU) || GetDisplayBackend().KeyDown(VK_RMENU);
  return Down ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetKeyboardState(BYTE* KeyState)
{
  if (KeyState == nullptr) return FALSE;
  std::memcpy(KeyState, S().Keys, 256);
  return TRUE;
}

BOOL SetKeyboardState(const BYTE* KeyState)
{
  if (KeyState == nullptr) return FALSE;
  std::memcpy(S().Keys, KeyState, 256);
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Cursor

BOOL GetCursorPos(POINT* Point)
{
  if (Point == nullptr) return FALSE;
  *Point = S().Cursor;
  return TRUE;
}

BOOL SetCursorPos(int X, int Y)
{
  S().Cursor = POINT{X, Y};
  GetDisplayBackend().SetCursorPos(POINT{X, Y});
  return TRUE;
}

HCURSOR LoadCursorA(HINSTANCE Instance, LPCSTR CursorName)
{
  if (Instance != nullptr || !IS_INTRESOURCE(CursorName)) return nullptr;
  std::uintptr_t Id = reinterpret_cast<std::uintptr_t>(CursorName);
  if ((Id >= 32512 && Id <= 32516) || (Id >= 32640 && Id <= 32651 && Id != 32647)) return reinterpret_cast<HCURSOR>(Id);
  return nullptr;
}

HICON LoadIconA(HINSTANCE Instance, LPCSTR IconName)
{
  if (Instance != nullptr || !IS_INTRESOURCE(IconName)) return nullptr;
  std::uintptr_t Id = reinterpret_cast<std::uintptr_t>(IconName);
  if (Id >= 32512 && Id <= 32517) return reinterpret_cast<HICON>(Id);
  return nullptr;
}

HCURSOR SetCursor(HCURSOR Cursor)
{
  auto& St = S();
  HCURSOR Old = St.CurrentCursor;
  St.CurrentCursor = Cursor;
  std::uintptr_t Id = reinterpret_cast<std::uintptr_t>(Cursor);
  int Shape = Id >= 32512 && Id <= 32651 ? static_cast<int>(Id) : 32512;
  if (Cursor == nullptr) Shape = 0;
  TWnd* Under = LookupLive(St.LastMouseWnd);
  if (Under == nullptr) Under = LookupLive(St.Active);
  if (Under != nullptr) {
    TDisplayWindow D = GetDisplayWindow(TopLevelOf(Under)->Handle);
    if (D != 0 && St.CursorShow >= 0) GetDisplayBackend().SetCursor(D, Shape);
  }
  return Old;
}

HCURSOR GetCursor() { return S().CurrentCursor; }

int ShowCursor(BOOL Show)
{
  auto& St = S();
  St.CursorShow += Show ? 1 : -1;
  return St.CursorShow;
}

// ---------------------------------------------------------------------------------------------
// Caret

BOOL CreateCaret(HWND Wnd, HBITMAP Bitmap, int Width, int Height)
{
  auto& St = S();
  if (LookupLive(Wnd) == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  // Bitmap nullptr: a solid caret; (HBITMAP)1: a grey one; any other: the bitmap is the shape
  // and gives the size. A bad bitmap fails before the current caret is touched.
  bool Grey = Bitmap == reinterpret_cast<HBITMAP>(static_cast<std::intptr_t>(1));
  int W = Width > 0 ? Width : GetSystemMetrics(SM_CXBORDER);
  int H = Height > 0 ? Height : GetSystemMetrics(SM_CYBORDER);
  std::vector<std::uint32_t> Pixels;
  if (Bitmap != nullptr && !CaretShapePixels(Bitmap, Grey, W, H, Pixels)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  DestroyCaret();
  if (Bitmap != nullptr && !MakeCaretShape(Pixels, W, H)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  St.CaretWnd = Wnd;
  St.CaretW = W;
  St.CaretH = H;
  St.CaretHide = 1;
  St.CaretDrawn = false;
  St.CaretPos = POINT{0, 0};
  return TRUE;
}

BOOL DestroyCaret()
{
  auto& St = S();
  if (St.CaretWnd == nullptr) return FALSE;
  CaretErase();
  KillInternalTimer(kCaretTimer);
  FreeCaretShape();
  St.CaretWnd = nullptr;
  St.CaretHide = 1;
  return TRUE;
}

BOOL ShowCaret(HWND Wnd)
{
  auto& St = S();
  if (St.CaretWnd == nullptr || (Wnd != nullptr && Wnd != St.CaretWnd)) return FALSE;
  if (St.CaretHide == 0) return TRUE;
  if (--St.CaretHide == 0) {
    CaretInvert();
    St.CaretDrawn = true;
    SetInternalTimer(kCaretTimer, St.CaretBlink, CaretBlinkTick);
  }
  return TRUE;
}

BOOL HideCaret(HWND Wnd)
{
  auto& St = S();
  if (St.CaretWnd == nullptr || (Wnd != nullptr && Wnd != St.CaretWnd)) return FALSE;
  if (St.CaretHide++ == 0) {
    CaretErase();
    KillInternalTimer(kCaretTimer);
  }
  return TRUE;
}

BOOL SetCaretPos(int X, int Y)
{
  auto& St = S();
  if (St.CaretWnd == nullptr) return FALSE;
  bool Was = St.CaretDrawn;
  CaretErase();
  St.CaretPos = POINT{X, Y};
  if (Was || St.CaretHide == 0) {
    CaretInvert();
    St.CaretDrawn = true;
    if (St.CaretHide == 0) SetInternalTimer(kCaretTimer, St.CaretBlink, CaretBlinkTick);
  }
  return TRUE;
}

BOOL GetCaretPos(POINT* Point)
{
  if (Point == nullptr) return FALSE;
  *Point = S().CaretPos;
  return S().CaretWnd != nullptr ? TRUE : FALSE;
}

UINT GetCaretBlinkTime() { return S().CaretBlink; }

BOOL SetCaretBlinkTime(UINT Milliseconds)
{
  S().CaretBlink = Milliseconds == 0 ? 530 : Milliseconds;
  return TRUE;
}

BOOL MessageBeep(UINT)
{
  GetDisplayBackend().Beep();
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Drag and drop

UINT DragQueryFileA(HDROP Drop, UINT Index, LPSTR File, UINT Count)
{
  TDropData* D = DropOf(Drop);
  if (D == nullptr) return 0;
  if (Index == 0xFFFFFFFF) return static_cast<UINT>(D->Files.size());
  if (Index >= D->Files.size()) return 0;
  const String& F = D->Files[Index];
  if (File == nullptr) return static_cast<UINT>(F.size());
  if (Count == 0) return 0;
  std::size_t N = std::min<std::size_t>(F.size(), Count - 1);
  std::memcpy(File, F.data(), N);
  File[N] = '\0';
  return static_cast<UINT>(N);
}

BOOL DragQueryPoint(HDROP Drop, POINT* Point)
{
  TDropData* D = DropOf(Drop);
  if (D == nullptr || Point == nullptr) return FALSE;
  *Point = D->Point;
  return D->NonClient ? FALSE : TRUE;
}

void DragFinish(HDROP Drop)
{
  auto& V = S().Drops;
  V.erase(std::remove_if(V.begin(), V.end(),
                         [&](const std::unique_ptr<TDropData>& D) { return reinterpret_cast<HDROP>(D.get()) == Drop; }),
          V.end());
}

void DragAcceptFiles(HWND Wnd, BOOL Accept)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return;
  W->AcceptFiles = Accept != FALSE;
  if (Accept) W->ExStyle |= WS_EX_ACCEPTFILES;
  else W->ExStyle &= ~WS_EX_ACCEPTFILES;
}
