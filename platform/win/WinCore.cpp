// Window classes and windows: the handle table, creation and destruction, the window's values
// (long values, text, properties), relations in the window tree, enumeration and lookup.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <unordered_map>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Thread.h"
#include "platform/win/WinInternal.h"

namespace QvWin {
namespace {

constexpr DWORD kErrorAccessDenied = 5;
constexpr DWORD kErrorTlwWithWsChild = 1406;
constexpr DWORD kErrorCannotFindWndClass = 1407;
constexpr DWORD kErrorInvalidIndex = 1413;
constexpr DWORD kErrorClassHasWindows = 1412;

struct TGlobals {
  std::recursive_mutex Lock;
  std::unordered_map<std::uintptr_t, TWnd*> Handles;
  std::vector<std::unique_ptr<TWndClass>> Classes;
  std::vector<std::unique_ptr<TWnd>> Graveyard;
  std::uintptr_t NextHandle = 0x10000;
  ATOM NextAtom = 0xC000;
  TWnd DesktopWnd;
  TWnd MessageWnd;
  std::atomic<DWORD> GuiThreadId{0};
  int Created = 0;
  int DeadRecords = 0;  // destroyed windows whose records wait in the graveyard
};

TGlobals& G()
{
  static TGlobals* Globals = [] {
    auto* Gl = new TGlobals;
    Gl->DesktopWnd.IsDesktop = true;
    Gl->DesktopWnd.Style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Gl->DesktopWnd.Handle = reinterpret_cast<HWND>(Gl->NextHandle);
    Gl->Handles[Gl->NextHandle] = &Gl->DesktopWnd;
    Gl->NextHandle += 4;
    Gl->MessageWnd.IsDesktop = true;
    Gl->MessageWnd.MessageOnly = true;
    Gl->MessageWnd.Handle = reinterpret_cast<HWND>(Gl->NextHandle);
    Gl->Handles[Gl->NextHandle] = &Gl->MessageWnd;
    Gl->NextHandle += 4;
    return Gl;
  }();
  return *Globals;
}

bool SameText(const String& A, const String& B)
{
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I) {
    char X = A[I], Y = B[I];
    if (X >= 'a' && X <= 'z') X = static_cast<char>(X - 32);
    if (Y >= 'a' && Y <= 'z') Y = static_cast<char>(Y - 32);
    if (X != Y) return false;
  }
  return true;
}

// A name argument that may be an atom (MAKEINTATOM) or a string.
String NameKey(LPCSTR Name)
{
  if (Name == nullptr) return String();
  if (IS_INTRESOURCE(Name)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(Name));
  return String(Name);
}

TWndClass* FindClass(LPCSTR Name)
{
  if (Name == nullptr) return nullptr;
  auto& Gl = G();
  std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
  if (IS_INTRESOURCE(Name)) {
    ATOM A = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(Name));
    for (auto& C : Gl.Classes)
      if (C->Atom == A) return C.get();
    return nullptr;
  }
  for (auto& C : Gl.Classes)
    if (SameText(C->Name, Name)) return C.get();
  return nullptr;
}

TWnd* Valid(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || W->IsDesktop) {
    if (W == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return W;
  }
  return W;
}

TWnd* ValidWindow(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return W;
}

void CopyText(const String& Text, LPSTR Buffer, int MaxCount, int& Copied)
{
  Copied = 0;
  if (Buffer == nullptr || MaxCount <= 0) return;
  std::size_t N = std::min<std::size_t>(Text.size(), static_cast<std::size_t>(MaxCount - 1));
  // Never cut a UTF-8 sequence in two.
  if (N < Text.size())
    while (N > 0 && (static_cast<unsigned char>(Text[N]) & 0xC0) == 0x80) --N;
  std::memcpy(Buffer, Text.data(), N);
  Buffer[N] = '\0';
  Copied = static_cast<int>(N);
}

void NotifyParents(TWnd* W, WORD Event)
{
  if (!W->IsChild() || (W->ExStyle & WS_EX_NOPARENTNOTIFY) != 0) return;
  HWND Self = W->Handle;
  WPARAM WParam = MAKEWPARAM(Event, static_cast<WORD>(W->Id));
  TWnd* P = W->Parent;
  while (P != nullptr && !P->IsDesktop) {
    HWND PH = P->Handle;
    Send(PH, WM_PARENTNOTIFY, WParam, reinterpret_cast<LPARAM>(Self));
    P = LookupLive(PH);
    if (P == nullptr || !P->IsChild() || (P->ExStyle & WS_EX_NOPARENTNOTIFY) != 0) break;
    P = P->Parent;
  }
}

void FreeWindow(TWnd* W)
{
  auto& Gl = G();
  KillWindowTimers(W->Handle);
  RemoveWindowMessages(W->Handle);
  InputWindowDestroyed(W);
  TrayWindowDestroyed(W->Handle);
  ClipboardWindowDestroyed(W->Handle);
  ReleaseWindowDCs(W);
  SurfaceDestroy(W);
  RemoteWindowDestroyed(W);
  MdiWindowFreed(W);
  if (W->Class != nullptr) --W->Class->Windows;
  Unlink(W);
  std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
  W->Dead = true;
  ++Gl.DeadRecords;
  Gl.Handles.erase(reinterpret_cast<std::uintptr_t>(W->Handle));
}

void SendDestroy(TWnd* W)
{
  W->Destroying = true;
  HWND H = W->Handle;
  // Capture and focus leave the window before it hears of its end.
  HWND& Capture = CaptureWindowRef();
  if (Capture != nullptr) {
    TWnd* C = LookupLive(Capture);
    if (C != nullptr && (C == W || IsDescendant(W, C))) ReleaseCapture();
  }
  CaretWindowDestroyed(W);
  Send(H, WM_DESTROY, 0, 0);
  if (LookupLive(H) == nullptr) return;
  std::vector<HWND> Kids;
  for (TWnd* C : W->Children) Kids.push_back(C->Handle);
  for (HWND K : Kids) {
    TWnd* C = LookupLive(K);
    if (C != nullptr && !C->Destroying) SendDestroy(C);
  }
}

void SendNcDestroy(TWnd* W)
{
  std::vector<HWND> Kids;
  for (TWnd* C : W->Children) Kids.push_back(C->Handle);
  for (HWND K : Kids) {
    TWnd* C = Lookup(K);
    if (C != nullptr && !C->Dead) SendNcDestroy(C);
  }
  HWND H = W->Handle;
  Send(H, WM_NCDESTROY, 0, 0);
  FreeWindow(W);
}

}  // namespace

std::recursive_mutex& TableLock() { return G().Lock; }

TWnd* Lookup(HWND Wnd)
{
  if (Wnd == nullptr) return nullptr;
  auto& Gl = G();
  std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
  auto It = Gl.Handles.find(reinterpret_cast<std::uintptr_t>(Wnd));
  return It == Gl.Handles.end() ? nullptr : It->second;
}

TWnd* LookupLive(HWND Wnd)
{
  if (Wnd == nullptr) return nullptr;
  auto& Gl = G();
  std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
  auto It = Gl.Handles.find(reinterpret_cast<std::uintptr_t>(Wnd));
  return It == Gl.Handles.end() || It->second->Dead ? nullptr : It->second;
}

TWnd* Desktop()
{
  TWnd* D = &G().DesktopWnd;
  return D;
}

TWnd* MessageRoot() { return &G().MessageWnd; }

DWORD WindowThread(HWND Wnd)
{
  auto& Gl = G();
  std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
  auto It = Gl.Handles.find(reinterpret_cast<std::uintptr_t>(Wnd));
  if (It == Gl.Handles.end() || It->second->Dead || It->second->IsDesktop) return 0;
  return It->second->ThreadId;
}

DWORD GuiThread()
{
  DWORD T = G().GuiThreadId.load();
  return T != 0 ? T : static_cast<DWORD>(MainThreadID.load());
}

bool IsGuiThread() { return GuiThread() == GetCurrentThreadId(); }

HWND AllocateHandleValue()
{
  auto& Gl = G();
  std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
  HWND H = reinterpret_cast<HWND>(Gl.NextHandle);
  Gl.NextHandle += 4;
  return H;
}

void SetGuiThreadIfUnset()
{
  DWORD Expected = 0;
  G().GuiThreadId.compare_exchange_strong(Expected, GetCurrentThreadId());
}

// Frees the records of destroyed windows of this thread; called where no procedure of this
// thread runs, so no caller still holds them.
void CollectGarbage()
{
  auto& Gl = G();
  DWORD Self = GetCurrentThreadId();
  std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
  if (Gl.DeadRecords == 0) return;
  auto& V = Gl.Graveyard;
  auto Keep = std::remove_if(V.begin(), V.end(),
                             [&](const std::unique_ptr<TWnd>& W) { return W->Dead && W->ThreadId == Self; });
  Gl.DeadRecords -= static_cast<int>(V.end() - Keep);
  V.erase(Keep, V.end());
}

}  // namespace QvWin

using namespace QvWin;

// ---------------------------------------------------------------------------------------------
// Classes

namespace {

ATOM RegisterClassCommon(const WNDCLASSEXA& C)
{
  if (C.lpszClassName == nullptr || (IS_INTRESOURCE(C.lpszClassName)) || C.lpszClassName[0] == '\0' ||
      C.cbClsExtra < 0 || C.cbWndExtra < 0 || C.cbClsExtra > 40000 || C.cbWndExtra > 40000) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto& Gl = G();
  std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
  if (FindClass(C.lpszClassName) != nullptr) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto K = std::make_unique<TWndClass>();
  K->Atom = Gl.NextAtom++;
  K->Name = C.lpszClassName;
  K->Style = C.style;
  K->Proc = C.lpfnWndProc;
  K->ClsExtra = C.cbClsExtra;
  K->WndExtra = C.cbWndExtra;
  K->Instance = C.hInstance;
  K->Icon = C.hIcon;
  K->IconSm = C.hIconSm;
  K->Cursor = C.hCursor;
  K->Background = C.hbrBackground;
  if (C.lpszMenuName != nullptr) {
    K->MenuNameIsInt = IS_INTRESOURCE(C.lpszMenuName);
    K->MenuName = K->MenuNameIsInt ? String() : String(C.lpszMenuName);
    if (K->MenuNameIsInt) K->MenuName = std::to_string(reinterpret_cast<std::uintptr_t>(C.lpszMenuName));
  }
  K->Extra.assign(static_cast<std::size_t>(C.cbClsExtra), 0);
  ATOM A = K->Atom;
  Gl.Classes.push_back(std::move(K));
  return A;
}

void FillClassInfo(const TWndClass* K, WNDCLASSEXA& C)
{
  C.style = K->Style;
  C.lpfnWndProc = K->Proc;
  C.cbClsExtra = K->ClsExtra;
  C.cbWndExtra = K->WndExtra;
  C.hInstance = K->Instance;
  C.hIcon = K->Icon;
  C.hIconSm = K->IconSm;
  C.hCursor = K->Cursor;
  C.hbrBackground = K->Background;
  C.lpszMenuName = K->MenuNameIsInt ? MAKEINTRESOURCEA(static_cast<WORD>(std::stoul(K->MenuName)))
                                    : (K->MenuName.empty() ? nullptr : K->MenuName.c_str());
  C.lpszClassName = K->Name.c_str();
}

}  // namespace

ATOM RegisterClassA(const WNDCLASSA* WndClass)
{
  if (WndClass == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA C;
  C.style = WndClass->style;
  C.lpfnWndProc = WndClass->lpfnWndProc;
  C.cbClsExtra = WndClass->cbClsExtra;
  C.cbWndExtra = WndClass->cbWndExtra;
  C.hInstance = WndClass->hInstance;
  C.hIcon = WndClass->hIcon;
  C.hCursor = WndClass->hCursor;
  C.hbrBackground = WndClass->hbrBackground;
  C.lpszMenuName = WndClass->lpszMenuName;
  C.lpszClassName = WndClass->lpszClassName;
  return RegisterClassCommon(C);
}

ATOM RegisterClassExA(const WNDCLASSEXA* WndClass)
{
  if (WndClass == nullptr || WndClass->cbSize != sizeof(WNDCLASSEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return RegisterClassCommon(*WndClass);
}

BOOL UnregisterClassA(LPCSTR ClassName, HINSTANCE)
{
  auto& Gl = G();
  std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
  TWndClass* K = FindClass(ClassName);
  if (K == nullptr) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (K->Windows > 0) {
    SetLastError(kErrorClassHasWindows);
    return FALSE;
  }
  // Records of destroyed windows may still point at the class: keep it, but nameless.
  K->Name.clear();
  K->Atom = 0;
  return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, LPCSTR ClassName, WNDCLASSEXA* WndClass)
{
  TWndClass* K = FindClass(ClassName);
  if (K == nullptr || K->Name.empty() || WndClass == nullptr) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  FillClassInfo(K, *WndClass);
  return K->Atom;
}

BOOL GetClassInfoA(HINSTANCE Instance, LPCSTR ClassName, WNDCLASSA* WndClass)
{
  WNDCLASSEXA C;
  BOOL R = GetClassInfoExA(Instance, ClassName, &C);
  if (!R) return FALSE;
  WndClass->style = C.style;
  WndClass->lpfnWndProc = C.lpfnWndProc;
  WndClass->cbClsExtra = C.cbClsExtra;
  WndClass->cbWndExtra = C.cbWndExtra;
  WndClass->hInstance = C.hInstance;
  WndClass->hIcon = C.hIcon;
  WndClass->hCursor = C.hCursor;
  WndClass->hbrBackground = C.hbrBackground;
  WndClass->lpszMenuName = C.lpszMenuName;
  WndClass->lpszClassName = C.lpszClassName;
  return R;
}

int GetClassNameA(HWND Wnd, LPSTR ClassName, int MaxCount)
{
  String Name;
  if (LookupLive(Wnd) == nullptr && RemoteClassName(Wnd, Name)) {
    int Copied = 0;
    CopyText(Name, ClassName, MaxCount, Copied);
    return Copied;
  }
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr) return 0;
  Name = W->IsDesktop ? String("#32769") : W->Class->Name;
  int Copied = 0;
  CopyText(Name, ClassName, MaxCount, Copied);
  return Copied;
}

ULONG_PTR GetClassLongPtrA(HWND Wnd, int Index)
{
  TWnd* W = Valid(Wnd);
  if (W == nullptr || W->Class == nullptr) return 0;
  TWndClass* K = W->Class;
  if (Index >= 0) {
    if (static_cast<std::size_t>(Index) + sizeof(ULONG_PTR) > K->Extra.size()) {
      SetLastError(kErrorInvalidIndex);
      return 0;
    }
    ULONG_PTR V;
    std::memcpy(&V, K->Extra.data() + Index, sizeof V);
    return V;
  }
  switch (Index) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(K->Background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(K->Cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(K->Icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(K->IconSm);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(K->Instance);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(K->Proc);
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(K->WndExtra);
    case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(K->ClsExtra);
    case GCL_STYLE: return K->Style;
    case GCW_ATOM: return K->Atom;
    case GCLP_MENUNAME: return 0;
    default: SetLastError(kErrorInvalidIndex); return 0;
  }
}

ULONG_PTR SetClassLongPtrA(HWND Wnd, int Index, LONG_PTR NewLong)
{
  TWnd* W = Valid(Wnd);
  if (W == nullptr || W->Class == nullptr) return 0;
  TWndClass* K = W->Class;
  ULONG_PTR Old = GetClassLongPtrA(Wnd, Index);
  if (Index >= 0) {
    if (static_cast<std::size_t>(Index) + sizeof(ULONG_PTR) > K->Extra.size()) return 0;
    std::memcpy(K->Extra.data() + Index, &NewLong, sizeof NewLong);
    return Old;
  }
  switch (Index) {
    case GCLP_HBRBACKGROUND: K->Background = reinterpret_cast<HBRUSH>(NewLong); break;
    case GCLP_HCURSOR: K->Cursor = reinterpret_cast<HCURSOR>(NewLong); break;
    case GCLP_HICON: K->Icon = reinterpret_cast<HICON>(NewLong); break;
    case GCLP_HICONSM: K->IconSm = reinterpret_cast<HICON>(NewLong); break;
    case GCLP_HMODULE: K->Instance = reinterpret_cast<HINSTANCE>(NewLong); break;
    case GCLP_WNDPROC: K->Proc = reinterpret_cast<WNDPROC>(NewLong); break;
    case GCL_STYLE: K->Style = static_cast<UINT>(NewLong); break;
    default: SetLastError(kErrorInvalidIndex); return 0;
  }
  return Old;
}

DWORD GetClassLongA(HWND Wnd, int Index)
{
  if (Index >= 0) {
    TWnd* W = Valid(Wnd);
    if (W == nullptr || W->Class == nullptr) return 0;
    if (static_cast<std::size_t>(Index) + sizeof(DWORD) > W->Class->Extra.size()) {
      SetLastError(kErrorInvalidIndex);
      return 0;
    }
    DWORD V;
    std::memcpy(&V, W->Class->Extra.data() + Index, sizeof V);
    return V;
  }
  return static_cast<DWORD>(GetClassLongPtrA(Wnd, Index));
}

DWORD SetClassLongA(HWND Wnd, int Index, LONG NewLong)
{
  if (Index >= 0) {
    TWnd* W = Valid(Wnd);
    if (W == nullptr || W->Class == nullptr) return 0;
    if (static_cast<std::size_t>(Index) + sizeof(DWORD) > W->Class->Extra.size()) {
      SetLastError(kErrorInvalidIndex);
      return 0;
    }
    DWORD Old;
    std::memcpy(&Old, W->Class->Extra.data() + Index, sizeof Old);
    std::memcpy(W->Class->Extra.data() + Index, &NewLong, sizeof NewLong);
    return Old;
  }
  return static_cast<DWORD>(SetClassLongPtrA(Wnd, Index, NewLong));
}

// ---------------------------------------------------------------------------------------------
// Creation and destruction

HWND CreateWindowExA(DWORD ExStyle, LPCSTR ClassName, LPCSTR WindowName, DWORD Style, int X, int Y, int Width,
                     int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, LPVOID Param)
{
  SetGuiThreadIfUnset();
  // The creating thread owns the window's messages: it has a queue from now on, so that posts
  // to the window are kept even before the thread first looks for messages.
  CurrentQueue();
  EnsureDisplaySink();
  InstallRemoteFind();
  TWndClass* K = FindClass(ClassName);
  if ((K == nullptr || K->Name.empty()) && IsMdiClientClassName(ClassName) && RegisterMdiClientClass())
    K = FindClass(ClassName);
  if (K == nullptr || K->Name.empty()) {
    SetLastError(kErrorCannotFindWndClass);
    return nullptr;
  }
  TWnd* ParentW = nullptr;
  TWnd* OwnerW = nullptr;
  bool MessageOnly = Parent == HWND_MESSAGE;
  if (!MessageOnly) MdiAdjustChildStyle(Parent, Style, ExStyle);
  if (MessageOnly) {
    ParentW = MessageRoot();
    Style &= ~WS_CHILD;
  } else if (Style & WS_CHILD) {
    ParentW = LookupLive(Parent);
    if (ParentW == nullptr) {
      SetLastError(Parent == nullptr ? kErrorTlwWithWsChild : ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    if (ParentW->ThreadId != GetCurrentThreadId() && !ParentW->IsDesktop) {
      // Child windows live on their parent's thread here.
      SetLastError(kErrorAccessDenied);
      return nullptr;
    }
  } else {
    ParentW = Desktop();
    if (Parent != nullptr) {
      OwnerW = LookupLive(Parent);
      if (OwnerW == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
      if (OwnerW->IsDesktop) OwnerW = nullptr;
      else OwnerW = TopLevelOf(OwnerW);
    }
  }

  bool TopLevel = ParentW->IsDesktop && !MessageOnly;
  if (TopLevel) {
    Style |= WS_CLIPSIBLINGS;
    if ((Style & WS_POPUP) == 0) Style |= WS_CAPTION;
  }
  if ((Style & WS_CAPTION) == WS_CAPTION || (Style & WS_THICKFRAME) || (ExStyle & WS_EX_DLGMODALFRAME))
    ExStyle |= WS_EX_WINDOWEDGE;
  else
    ExStyle &= ~WS_EX_WINDOWEDGE;
  if (ExStyle & WS_EX_ACCEPTFILES) ExStyle |= 0;

  DWORD InitialShow = Style & (WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);
  Style &= ~(WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE);

  // Default positions for overlapped windows.
  if (TopLevel && (Style & WS_POPUP) == 0) {
    static int Cascade = 0;
    RECT Work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    if (X == CW_USEDEFAULT) {
      int Step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
      X = Work.left + (Cascade % 8) * Step;
      Y = Work.top + (Cascade % 8) * Step;
      ++Cascade;
    }
    if (Width == CW_USEDEFAULT) {
      Width = (Work.right - Work.left) * 3 / 4;
      Height = (Work.bottom - Work.top) * 3 / 4;
    }
  } else {
    if (X == CW_USEDEFAULT) X = Y = 0;
    if (Width == CW_USEDEFAULT) Width = Height = 0;
  }
  if (Width < 0) Width = 0;
  if (Height < 0) Height = 0;

  auto Owned = std::make_unique<TWnd>();
  TWnd* W = Owned.get();
  auto& Gl = G();
  {
    std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
    W->Handle = reinterpret_cast<HWND>(Gl.NextHandle);
    Gl.Handles[Gl.NextHandle] = W;
    Gl.NextHandle += 4;
    Gl.Graveyard.push_back(std::move(Owned));
    ++Gl.Created;
  }
  W->Class = K;
  ++K->Windows;
  W->Proc = K->Proc;
  W->Style = Style;
  W->ExStyle = ExStyle;
  W->Instance = Instance;
  W->Id = (Style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(Menu) : 0;
  W->Menu = (Style & WS_CHILD) ? nullptr : Menu;
  W->Owner = OwnerW;
  W->ThreadId = GetCurrentThreadId();
  W->MessageOnly = MessageOnly;
  W->Extra.assign(static_cast<std::size_t>(K->WndExtra), 0);
  W->Text = WindowName != nullptr ? String(WindowName) : String();
  W->AcceptFiles = (ExStyle & WS_EX_ACCEPTFILES) != 0;
  W->Window = RECT{X, Y, X + Width, Y + Height};
  W->Client = W->Window;
  W->NormalRect = W->Window;
  LinkAt(ParentW, W, nullptr, (ExStyle & WS_EX_TOPMOST) != 0 || !TopLevel);
  MdiChildLinked(W);
  HWND H = W->Handle;

  // The size limits apply to windows the user can size.
  if (TopLevel && ((Style & WS_THICKFRAME) || (Style & WS_POPUP) == 0)) {
    MINMAXINFO Info{};
    GetMinMax(W, Info);
    if (LookupLive(H) == nullptr) return nullptr;
    int Cx = std::clamp<int>(Width, std::min(Info.ptMinTrackSize.x, Info.ptMaxTrackSize.x), Info.ptMaxTrackSize.x);
    int Cy = std::clamp<int>(Height, std::min(Info.ptMinTrackSize.y, Info.ptMaxTrackSize.y), Info.ptMaxTrackSize.y);
    if ((Style & WS_THICKFRAME) == 0) {
      Cx = std::min(Width, static_cast<int>(Info.ptMaxTrackSize.x));
      Cy = std::min(Height, static_cast<int>(Info.ptMaxTrackSize.y));
    }
    W->Window.right = W->Window.left + Cx;
    W->Window.bottom = W->Window.top + Cy;
    W->Client = W->Window;
    W->NormalRect = W->Window;
  }

  CREATESTRUCTA Cs;
  Cs.lpCreateParams = Param;
  Cs.hInstance = Instance;
  Cs.hMenu = Menu;
  Cs.hwndParent = MessageOnly ? HWND_MESSAGE : (ParentW->IsDesktop ? (OwnerW ? OwnerW->Handle : nullptr) : ParentW->Handle);
  Cs.cx = W->Window.right - W->Window.left;
  Cs.cy = W->Window.bottom - W->Window.top;
  Cs.x = W->Window.left;
  Cs.y = W->Window.top;
  Cs.style = static_cast<LONG>(Style);
  Cs.lpszName = WindowName;
  Cs.lpszClass = ClassName;
  Cs.dwExStyle = ExStyle;

  if (!Send(H, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&Cs))) {
    W = LookupLive(H);
    if (W != nullptr) {
      Send(H, WM_NCDESTROY, 0, 0);
      if ((W = LookupLive(H)) != nullptr) FreeWindow(W);
    }
    return nullptr;
  }
  if ((W = LookupLive(H)) == nullptr) return nullptr;
  W->Client = CalcClient(W, W->Window, false, nullptr);
  if ((W = LookupLive(H)) == nullptr) return nullptr;
  if (Send(H, WM_CREATE, 0, reinterpret_cast<LPARAM>(&Cs)) == -1) {
    if (LookupLive(H) != nullptr) DestroyWindow(H);
    return nullptr;
  }
  if ((W = LookupLive(H)) == nullptr) return nullptr;
  Send(H, WM_SIZE, SIZE_RESTORED,
       MAKELPARAM(static_cast<WORD>(W->Client.right - W->Client.left), static_cast<WORD>(W->Client.bottom - W->Client.top)));
  if ((W = LookupLive(H)) == nullptr) return nullptr;
  Send(H, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(W->Client.left), static_cast<WORD>(W->Client.top)));
  if ((W = LookupLive(H)) == nullptr) return nullptr;
  NotifyParents(W, static_cast<WORD>(WM_CREATE));
  if ((W = LookupLive(H)) == nullptr) return nullptr;
  RemoteWindowCreated(W);

  if (InitialShow & WS_MAXIMIZE) {
    if (InitialShow & WS_VISIBLE) ShowWindow(H, SW_SHOWMAXIMIZED);
    else {
      ShowWindow(H, SW_SHOWMAXIMIZED);
      ShowWindow(H, SW_HIDE);
    }
  } else if (InitialShow & WS_MINIMIZE) {
    ShowWindow(H, (InitialShow & WS_VISIBLE) ? SW_SHOWMINIMIZED : SW_MINIMIZE);
    if (!(InitialShow & WS_VISIBLE)) ShowWindow(H, SW_HIDE);
  } else if (InitialShow & WS_VISIBLE) {
    ShowWindow(H, SW_SHOW);
  }
  if ((W = LookupLive(H)) != nullptr && (W->Style & WS_VISIBLE)) MdiChildShown(W);
  return LookupLive(H) != nullptr ? H : nullptr;
}

BOOL DestroyWindow(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || W->IsDesktop) {
    SetLastError(W == nullptr ? ERROR_INVALID_WINDOW_HANDLE : kErrorAccessDenied);
    return FALSE;
  }
  if (W->ThreadId != GetCurrentThreadId()) {
    SetLastError(kErrorAccessDenied);
    return FALSE;
  }
  if (W->Destroying) return TRUE;
  NotifyParents(W, static_cast<WORD>(WM_DESTROY));
  if ((W = LookupLive(Wnd)) == nullptr || W->Destroying) return TRUE;
  if (W->Style & WS_VISIBLE) {
    if (W->IsChild())
      SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
      SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    if ((W = LookupLive(Wnd)) == nullptr || W->Destroying) return TRUE;
  }
  // Owned windows go first.
  if (W->IsTopLevel() || W->MessageOnly) {
    std::vector<HWND> Owned;
    for (TWnd* T : Desktop()->Children)
      if (T->Owner == W) Owned.push_back(T->Handle);
    for (HWND O : Owned)
      if (LookupLive(O) != nullptr) DestroyWindow(O);
    if ((W = LookupLive(Wnd)) == nullptr || W->Destroying) return TRUE;
  }
  WindowGone(W, true);
  if ((W = LookupLive(Wnd)) == nullptr || W->Destroying) return TRUE;
  SendDestroy(W);
  if ((W = LookupLive(Wnd)) == nullptr) return TRUE;
  SendNcDestroy(W);
  return TRUE;
}

BOOL IsWindow(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  return W != nullptr || IsRemoteProxy(Wnd) ? TRUE : FALSE;
}

BOOL IsChild(HWND Parent, HWND Wnd)
{
  TWnd* P = LookupLive(Parent);
  TWnd* W = LookupLive(Wnd);
  if (P == nullptr || W == nullptr) return FALSE;
  while (W->IsChild() && W->Parent != nullptr) {
    W = W->Parent;
    if (W == P) return TRUE;
  }
  return FALSE;
}

HWND GetParent(HWND Wnd)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr || W->IsDesktop) return nullptr;
  if (W->IsChild()) return W->Parent != nullptr ? W->Parent->Handle : nullptr;
  if ((W->Style & WS_POPUP) && W->Owner != nullptr) return W->Owner->Handle;
  return nullptr;
}

HWND SetParent(HWND Child, HWND NewParent)
{
  TWnd* W = ValidWindow(Child);
  if (W == nullptr || W->IsDesktop) return nullptr;
  TWnd* P = NewParent == nullptr ? Desktop() : (NewParent == HWND_MESSAGE ? MessageRoot() : ValidWindow(NewParent));
  if (P == nullptr) return nullptr;
  if (P == W || IsDescendant(W, P)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  TWnd* Old = W->Parent;
  HWND OldHandle = Old != nullptr ? Old->Handle : nullptr;
  bool WasVisible = (W->Style & WS_VISIBLE) != 0;
  if (WasVisible) ShowWindow(Child, SW_HIDE);
  if ((W = LookupLive(Child)) == nullptr) return nullptr;
  if (P->IsDesktop && !P->MessageOnly && (W->Style & WS_CHILD) == 0 && W->IsTopLevel()) {
    // Already top-level.
  }
  SurfaceDestroy(W);
  Unlink(W);
  W->MessageOnly = P->MessageOnly;
  LinkAt(P, W, nullptr, true);
  if (!P->IsDesktop) W->Owner = nullptr;
  if (WasVisible) ShowWindow(Child, SW_SHOWNA);
  return OldHandle;
}

HWND GetWindow(HWND Wnd, UINT Cmd)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr) return nullptr;
  auto Siblings = [&]() -> const std::vector<TWnd*>* { return W->Parent ? &W->Parent->Children : nullptr; };
  switch (Cmd) {
    case GW_HWNDFIRST:
    case GW_HWNDLAST: {
      auto* S = Siblings();
      if (S == nullptr || S->empty()) return nullptr;
      return Cmd == GW_HWNDFIRST ? S->front()->Handle : S->back()->Handle;
    }
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
      auto* S = Siblings();
      if (S == nullptr) return nullptr;
      auto It = std::find(S->begin(), S->end(), W);
      if (It == S->end()) return nullptr;
      if (Cmd == GW_HWNDNEXT) return (It + 1) == S->end() ? nullptr : (*(It + 1))->Handle;
      return It == S->begin() ? nullptr : (*(It - 1))->Handle;
    }
    case GW_OWNER: return W->Owner != nullptr ? W->Owner->Handle : nullptr;
    case GW_CHILD: return W->Children.empty() ? nullptr : W->Children.front()->Handle;
    case GW_ENABLEDPOPUP:
      for (TWnd* T : Desktop()->Children)
        if (T->Owner == W && (T->Style & WS_VISIBLE) && !(T->Style & WS_DISABLED)) return T->Handle;
      return nullptr;
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HWND GetAncestor(HWND Wnd, UINT Flags)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr || W->IsDesktop) return nullptr;
  switch (Flags) {
    case GA_PARENT: return W->Parent != nullptr ? W->Parent->Handle : nullptr;
    case GA_ROOT: return TopLevelOf(W)->Handle;
    case GA_ROOTOWNER: {
      TWnd* R = TopLevelOf(W);
      while (R->Owner != nullptr) R = R->Owner;
      return R->Handle;
    }
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND Wnd)
{
  TWnd* W = Wnd == nullptr ? Desktop() : ValidWindow(Wnd);
  if (W == nullptr || W->Children.empty()) return nullptr;
  return W->Children.front()->Handle;
}

HWND GetDesktopWindow() { return Desktop()->Handle; }

HWND GetLastActivePopup(HWND Wnd)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr) return nullptr;
  TWnd* Active = LookupLive(ActiveWindowRef());
  if (Active != nullptr && Active->Owner == W && (Active->Style & WS_VISIBLE)) return Active->Handle;
  return Wnd;
}

int GetDlgCtrlID(HWND Wnd)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr || !W->IsChild()) return 0;
  return static_cast<int>(W->Id);
}

HWND GetDlgItem(HWND Dlg, int Id)
{
  TWnd* W = ValidWindow(Dlg);
  if (W == nullptr) return nullptr;
  for (TWnd* C : W->Children)
    if (C->Id == Id) return C->Handle;
  return nullptr;
}

BOOL IsWindowUnicode(HWND) { return FALSE; }

// ---------------------------------------------------------------------------------------------
// Long values

namespace {

LONG_PTR SetStyleValue(TWnd* W, int Index, DWORD NewValue)
{
  HWND H = W->Handle;
  DWORD Old = Index == GWL_STYLE ? W->Style : W->ExStyle;
  STYLESTRUCT Ss{Old, NewValue};
  Send(H, WM_STYLECHANGING, static_cast<WPARAM>(static_cast<LONG_PTR>(Index)), reinterpret_cast<LPARAM>(&Ss));
  if ((W = LookupLive(H)) == nullptr) return 0;
  if (Index == GWL_STYLE) {
    // The child bit cannot change after creation.
    W->Style = (Ss.styleNew & ~WS_CHILD) | (W->Style & WS_CHILD);
    if (W->IsChild() == false && W->IsTopLevel()) W->Style |= WS_CLIPSIBLINGS;
  } else {
    DWORD N = Ss.styleNew & ~WS_EX_TOPMOST;
    N |= W->ExStyle & WS_EX_TOPMOST;
    bool WasLayered = (W->ExStyle & WS_EX_LAYERED) != 0;
    W->ExStyle = N;
    W->AcceptFiles = (N & WS_EX_ACCEPTFILES) != 0;
    if (WasLayered && !(N & WS_EX_LAYERED)) {
      W->LayeredAttrSet = false;
      W->LayeredPerPixel = false;
      W->LayeredAlpha = 255;
      W->LayeredFlags = 0;
      UpdateDisplayOpacity(W);
      InvalidateWindow(W, nullptr, true, true, true);
    }
  }
  if (W->IsTopLevel()) UpdateDisplayFlags(W);
  Ss.styleOld = Old;
  Ss.styleNew = Index == GWL_STYLE ? W->Style : W->ExStyle;
  Send(H, WM_STYLECHANGED, static_cast<WPARAM>(static_cast<LONG_PTR>(Index)), reinterpret_cast<LPARAM>(&Ss));
  return static_cast<LONG_PTR>(static_cast<LONG>(Old));
}

}  // namespace

LONG_PTR GetWindowLongPtrA(HWND Wnd, int Index)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr) return 0;
  if (Index >= 0) {
    if (static_cast<std::size_t>(Index) + sizeof(LONG_PTR) > W->Extra.size()) {
      SetLastError(kErrorInvalidIndex);
      return 0;
    }
    LONG_PTR V;
    std::memcpy(&V, W->Extra.data() + Index, sizeof V);
    return V;
  }
  switch (Index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(W->Proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(W->Instance);
    case GWLP_HWNDPARENT:
      if (W->IsChild()) return reinterpret_cast<LONG_PTR>(W->Parent->Handle);
      return reinterpret_cast<LONG_PTR>(W->Owner != nullptr ? W->Owner->Handle : nullptr);
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(W->Style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(W->ExStyle));
    case GWLP_USERDATA: return W->UserData;
    case GWLP_ID: return W->IsChild() ? W->Id : reinterpret_cast<LONG_PTR>(W->Menu);
    default: SetLastError(kErrorInvalidIndex); return 0;
  }
}

LONG_PTR SetWindowLongPtrA(HWND Wnd, int Index, LONG_PTR NewLong)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr || W->IsDesktop) return 0;
  if (Index >= 0) {
    if (static_cast<std::size_t>(Index) + sizeof(LONG_PTR) > W->Extra.size()) {
      SetLastError(kErrorInvalidIndex);
      return 0;
    }
    LONG_PTR Old;
    std::memcpy(&Old, W->Extra.data() + Index, sizeof Old);
    std::memcpy(W->Extra.data() + Index, &NewLong, sizeof NewLong);
    return Old;
  }
  LONG_PTR Old = 0;
  SetLastError(0);
  switch (Index) {
    case GWLP_WNDPROC:
      Old = reinterpret_cast<LONG_PTR>(W->Proc);
      W->Proc = reinterpret_cast<WNDPROC>(NewLong);
      return Old;
    case GWLP_HINSTANCE:
      Old = reinterpret_cast<LONG_PTR>(W->Instance);
      W->Instance = reinterpret_cast<HINSTANCE>(NewLong);
      return Old;
    case GWLP_HWNDPARENT: {
      if (W->IsChild()) {
        // Windows re-parents here; the class library never relies on it.
        return reinterpret_cast<LONG_PTR>(SetParent(Wnd, reinterpret_cast<HWND>(NewLong)));
      }
      Old = reinterpret_cast<LONG_PTR>(W->Owner != nullptr ? W->Owner->Handle : nullptr);
      TWnd* O = LookupLive(reinterpret_cast<HWND>(NewLong));
      if (O != nullptr && !O->IsDesktop) {
        O = TopLevelOf(O);
        if (O == W) O = nullptr;
        for (TWnd* X = O; X != nullptr; X = X->Owner)
          if (X == W) O = nullptr;  // no owner cycles
      } else {
        O = nullptr;
      }
      W->Owner = O;
      return Old;
    }
    case GWL_STYLE:
    case GWL_EXSTYLE: return SetStyleValue(W, Index, static_cast<DWORD>(NewLong));
    case GWLP_USERDATA:
      Old = W->UserData;
      W->UserData = NewLong;
      return Old;
    case GWLP_ID:
      if (W->IsChild()) {
        Old = W->Id;
        W->Id = NewLong;
      } else {
        Old = reinterpret_cast<LONG_PTR>(W->Menu);
        W->Menu = reinterpret_cast<HMENU>(NewLong);
      }
      return Old;
    default: SetLastError(kErrorInvalidIndex); return 0;
  }
}

LONG GetWindowLongA(HWND Wnd, int Index)
{
  if (Index >= 0) {
    TWnd* W = ValidWindow(Wnd);
    if (W == nullptr) return 0;
    if (static_cast<std::size_t>(Index) + sizeof(LONG) > W->Extra.size()) {
      SetLastError(kErrorInvalidIndex);
      return 0;
    }
    LONG V;
    std::memcpy(&V, W->Extra.data() + Index, sizeof V);
    return V;
  }
  return static_cast<LONG>(GetWindowLongPtrA(Wnd, Index));
}

LONG SetWindowLongA(HWND Wnd, int Index, LONG NewLong)
{
  if (Index >= 0) {
    TWnd* W = ValidWindow(Wnd);
    if (W == nullptr) return 0;
    if (static_cast<std::size_t>(Index) + sizeof(LONG) > W->Extra.size()) {
      SetLastError(kErrorInvalidIndex);
      return 0;
    }
    LONG Old;
    std::memcpy(&Old, W->Extra.data() + Index, sizeof Old);
    std::memcpy(W->Extra.data() + Index, &NewLong, sizeof NewLong);
    return Old;
  }
  if (Index == GWL_STYLE || Index == GWL_EXSTYLE)
    return static_cast<LONG>(SetWindowLongPtrA(Wnd, Index, static_cast<LONG_PTR>(static_cast<DWORD>(NewLong))));
  return static_cast<LONG>(SetWindowLongPtrA(Wnd, Index, NewLong));
}

LRESULT CallWindowProcA(WNDPROC PrevWndFunc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  if (PrevWndFunc == nullptr) return 0;
  return PrevWndFunc(Wnd, Msg, WParam, LParam);
}

// ---------------------------------------------------------------------------------------------
// Text and properties

BOOL SetWindowTextA(HWND Wnd, LPCSTR Text)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr) return FALSE;
  return Send(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text != nullptr ? Text : "")) != 0 ? TRUE : FALSE;
}

int GetWindowTextA(HWND Wnd, LPSTR Text, int MaxCount)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr) {
    if (Text != nullptr && MaxCount > 0) Text[0] = '\0';
    return 0;
  }
  if (Text == nullptr || MaxCount <= 0) return 0;
  if (W->ThreadId != GetCurrentThreadId()) {
    int Copied = 0;
    CopyText(W->Text, Text, MaxCount, Copied);
    return Copied;
  }
  Text[0] = '\0';
  return static_cast<int>(Send(Wnd, WM_GETTEXT, static_cast<WPARAM>(MaxCount), reinterpret_cast<LPARAM>(Text)));
}

int GetWindowTextLengthA(HWND Wnd)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr) return 0;
  if (W->ThreadId != GetCurrentThreadId()) return static_cast<int>(W->Text.size());
  return static_cast<int>(Send(Wnd, WM_GETTEXTLENGTH, 0, 0));
}

namespace QvWin {

// The default handling of the text messages (used by DefWindowProc).
LRESULT DefaultTextMessage(TWnd* W, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  switch (Msg) {
    case WM_SETTEXT: {
      LPCSTR S = reinterpret_cast<LPCSTR>(LParam);
      W->Text = S != nullptr ? String(S) : String();
      RemoteWindowRetitled(W);
      return TRUE;
    }
    case WM_GETTEXT: {
      int Copied = 0;
      CopyText(W->Text, reinterpret_cast<LPSTR>(LParam), static_cast<int>(WParam), Copied);
      return Copied;
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(W->Text.size());
    default: return 0;
  }
}

bool NameMatches(const String& A, const String& B) { return SameText(A, B); }

const String& ClassNameOf(const TWnd* W)
{
  static const String Desk = "#32769";
  return W->IsDesktop || W->Class == nullptr ? Desk : W->Class->Name;
}

int LiveWindowCount()
{
  auto& Gl = G();
  std::lock_guard<std::recursive_mutex> Guard(Gl.Lock);
  return static_cast<int>(Gl.Handles.size()) - 2;
}

}  // namespace QvWin

BOOL SetPropA(HWND Wnd, LPCSTR Name, HANDLE Data)
{
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr || Name == nullptr) return FALSE;
  String Key = NameKey(Name);
  for (auto& P : W->Props)
    if (SameText(P.first, Key)) {
      P.second = Data;
      return TRUE;
    }
  W->Props.emplace_back(Key, Data);
  return TRUE;
}

HANDLE GetPropA(HWND Wnd, LPCSTR Name)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || Name == nullptr) return nullptr;
  String Key = NameKey(Name);
  for (auto& P : W->Props)
    if (SameText(P.first, Key)) return P.second;
  return nullptr;
}

HANDLE RemovePropA(HWND Wnd, LPCSTR Name)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || Name == nullptr) return nullptr;
  String Key = NameKey(Name);
  for (auto It = W->Props.begin(); It != W->Props.end(); ++It)
    if (SameText(It->first, Key)) {
      HANDLE D = It->second;
      W->Props.erase(It);
      return D;
    }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Enumeration and lookup

namespace {

std::vector<HWND> Handles(const std::vector<TWnd*>& List)
{
  std::vector<HWND> R;
  R.reserve(List.size());
  for (TWnd* W : List) R.push_back(W->Handle);
  return R;
}

void CollectDescendants(TWnd* W, std::vector<HWND>& Out)
{
  for (TWnd* C : W->Children) {
    Out.push_back(C->Handle);
    CollectDescendants(C, Out);
  }
}

}  // namespace

BOOL EnumWindows(WNDENUMPROC EnumFunc, LPARAM LParam)
{
  if (EnumFunc == nullptr) return FALSE;
  for (HWND H : Handles(Desktop()->Children))
    if (LookupLive(H) != nullptr && !EnumFunc(H, LParam)) return FALSE;
  return TRUE;
}

BOOL EnumChildWindows(HWND Parent, WNDENUMPROC EnumFunc, LPARAM LParam)
{
  TWnd* P = Parent == nullptr ? Desktop() : ValidWindow(Parent);
  if (P == nullptr || EnumFunc == nullptr) return FALSE;
  std::vector<HWND> All;
  CollectDescendants(P, All);
  for (HWND H : All)
    if (LookupLive(H) != nullptr && !EnumFunc(H, LParam)) return FALSE;
  return TRUE;
}

BOOL EnumThreadWindows(DWORD ThreadId, WNDENUMPROC EnumFunc, LPARAM LParam)
{
  if (EnumFunc == nullptr) return FALSE;
  std::vector<HWND> List;
  for (TWnd* W : Desktop()->Children)
    if (W->ThreadId == ThreadId) List.push_back(W->Handle);
  for (HWND H : List)
    if (LookupLive(H) != nullptr && !EnumFunc(H, LParam)) return FALSE;
  return TRUE;
}

namespace QvWin {
// Cross-process lookups: set by the channel glue when another copy's windows can be reached.
std::function<HWND(LPCSTR ClassName, LPCSTR WindowName)> RemoteFindWindow;
}  // namespace QvWin

HWND FindWindowExA(HWND Parent, HWND ChildAfter, LPCSTR ClassName, LPCSTR WindowName)
{
  InstallRemoteFind();
  TWnd* P = Parent == nullptr ? Desktop() : (Parent == HWND_MESSAGE ? MessageRoot() : ValidWindow(Parent));
  if (P == nullptr) return nullptr;
  TWndClass* K = nullptr;
  if (ClassName != nullptr) {
    K = FindClass(ClassName);
    if (K == nullptr) return Parent == nullptr && ChildAfter == nullptr && RemoteFindWindow
                                 ? RemoteFindWindow(ClassName, WindowName)
                                 : nullptr;
  }
  bool Started = ChildAfter == nullptr;
  for (TWnd* C : P->Children) {
    if (!Started) {
      if (C->Handle == ChildAfter) Started = true;
      continue;
    }
    if (K != nullptr && C->Class != K) continue;
    if (WindowName != nullptr && !SameText(C->Text, WindowName)) continue;
    return C->Handle;
  }
  if (Parent == nullptr && ChildAfter == nullptr && RemoteFindWindow) return RemoteFindWindow(ClassName, WindowName);
  return nullptr;
}

HWND FindWindowA(LPCSTR ClassName, LPCSTR WindowName) { return FindWindowExA(nullptr, nullptr, ClassName, WindowName); }

DWORD GetWindowThreadProcessId(HWND Wnd, DWORD* ProcessId)
{
  if (IsRemoteProxy(Wnd)) return RemoteThreadProcess(Wnd, ProcessId);
  TWnd* W = ValidWindow(Wnd);
  if (W == nullptr) return 0;
  if (ProcessId != nullptr) *ProcessId = static_cast<DWORD>(getpid());
  return W->IsDesktop ? GuiThread() : W->ThreadId;
}

int GetWindowCount() { return LiveWindowCount(); }
