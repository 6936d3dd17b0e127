// The window system's own records: windows, classes, thread queues and timers, shared by the
// files of this folder. Nothing here is part of the public interface.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi/Region.h"
#include "platform/win/WinUser.h"

namespace QvWin {

struct TWndClass {
  ATOM Atom = 0;
  String Name;
  UINT Style = 0;
  WNDPROC Proc = nullptr;
  int ClsExtra = 0;
  int WndExtra = 0;
  HINSTANCE Instance = nullptr;
  HICON Icon = nullptr;
  HICON IconSm = nullptr;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
  String MenuName;
  bool MenuNameIsInt = false;
  std::vector<BYTE> Extra;
  int Windows = 0;  // live windows of the class
};

struct TScrollBar {
  int Min = 0;
  int Max = 100;
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  bool Shown = false;     // WS_VSCROLL / WS_HSCROLL is the truth; kept in sync
  UINT Disabled = 0;      // ESB_* arrows
  bool Tracking = false;
};

struct TWnd;

// The pixels and display window of a top-level window.
struct TTopLevelSurface {
  TDisplayWindow Display = 0;
  HBITMAP Bitmap = nullptr;
  std::uint32_t* Pixels = nullptr;
  int Width = 0;
  int Height = 0;
  std::vector<RECT> Dirty;  // window coordinates
  bool AllDirty = false;
  bool Shown = false;
  unsigned Flags = 0;  // dwf* flags the display has
};

struct TWnd {
  HWND Handle = nullptr;
  TWndClass* Class = nullptr;
  WNDPROC Proc = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  HINSTANCE Instance = nullptr;
  LONG_PTR Id = 0;
  LONG_PTR UserData = 0;
  HMENU Menu = nullptr;
  TWnd* Parent = nullptr;  // the desktop for top-level windows
  TWnd* Owner = nullptr;
  std::vector<TWnd*> Children;  // z-order, topmost first
  RECT Window{};  // parent client coordinates (screen for top-level windows)
  RECT Client{};  // same coordinates
  String Text;
  std::vector<std::pair<String, HANDLE>> Props;
  std::vector<BYTE> Extra;
  DWORD ThreadId = 0;
  bool IsDesktop = false;
  bool MessageOnly = false;
  bool Destroying = false;  // WM_DESTROY sent
  bool Dead = false;        // WM_NCDESTROY sent, handle invalid

  // Show state.
  RECT NormalRect{};  // restored position (parent coordinates)
  bool HasNormalRect = false;
  POINT MinPosition{-1, -1};
  POINT MaxPosition{-1, -1};
  bool RestoreToMaximized = false;

  // Painting.
  TRegion Update;          // window coordinates (relative to Window's top-left)
  bool EraseNeeded = false;
  bool FrameNeeded = false;
  bool InternalPaint = false;
  bool RedrawOff = false;  // WM_SETREDRAW FALSE
  bool InPaint = false;
  bool PaintServiced = false;
  bool CaretHiddenForPaint = false;

  // Window region (window coordinates), owned.
  bool HasRegion = false;
  TRegion Region;

  // Layered attributes.
  bool LayeredAttrSet = false;
  DWORD LayeredFlags = 0;
  BYTE LayeredAlpha = 255;
  COLORREF LayeredKey = 0;
  bool LayeredPerPixel = false;  // content from UpdateLayeredWindow

  TScrollBar HScroll;
  TScrollBar VScroll;

  bool AcceptFiles = false;
  bool TrayIcon = false;  // an icon window docked in the window system's tray
  bool HiddenByOwner = false;  // hidden because its owner was minimised
  HCURSOR LastCursor = nullptr;

  // Native child window for an embedded player.
  TDisplayWindow NativeChild = 0;
  bool WantsNative = false;
  std::vector<RECT> NativeShape;  // the visible part last handed to the backend
  bool NativeShaped = false;

  std::unique_ptr<TTopLevelSurface> Surface;  // top-level windows only

  bool IsChild() const { return (Style & WS_CHILD) != 0; }
  bool IsTopLevel() const { return Parent != nullptr && Parent->IsDesktop; }
};

struct TThreadQueue;

// A message sent across threads, waiting for its result.
struct TSentMessage {
  HWND Wnd = nullptr;
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
  bool Done = false;
  bool NoReply = false;  // SendNotifyMessage
  DWORD SenderThread = 0;
  std::weak_ptr<TThreadQueue> Sender;  // woken when Done is set
};

// One timer (window timer, thread timer or internal callback).
struct TTimer {
  HWND Wnd = nullptr;
  UINT_PTR Id = 0;
  UINT Elapse = 0;
  TIMERPROC Proc = nullptr;
  DWORD Due = 0;
  DWORD ThreadId = 0;
  std::function<void()> Internal;  // system timer: called instead of a message
};

// The queue of one thread.
struct TThreadQueue {
  DWORD ThreadId = 0;
  int WakeFd = -1;  // eventfd: readable when something arrived
  std::mutex Lock;
  std::condition_variable Replied;        // senders wait for results here
  std::deque<MSG> Posted;                 // posted and input messages
  std::deque<std::shared_ptr<TSentMessage>> Sent;
  bool QuitPosted = false;
  int QuitCode = 0;
  // Touched by the owner thread only.
  MSG Current{};          // the message being handled (time, position)
  int SendDepth = 0;      // cross-thread messages being handled
  DWORD LastTimerSeq = 0;

  TThreadQueue();
  ~TThreadQueue();
  void Wake();
  void Drain();
};

// ---- Global state (WinCore.cpp) ----

// Guards the handle table and the queue table: other threads post messages.
std::recursive_mutex& TableLock();
TWnd* Lookup(HWND Wnd);               // nullptr for stale handles; any thread, under TableLock
TWnd* LookupLive(HWND Wnd);           // not dead
TWnd* Desktop();
TWnd* MessageRoot();
DWORD WindowThread(HWND Wnd);         // 0 for a bad handle
// The thread that pumps the display (the first thread that made a window).
DWORD GuiThread();
bool IsGuiThread();
void CollectGarbage();
LRESULT DefaultTextMessage(TWnd* W, UINT Msg, WPARAM WParam, LPARAM LParam);
bool NameMatches(const String& A, const String& B);
const String& ClassNameOf(const TWnd* W);
extern std::function<HWND(LPCSTR ClassName, LPCSTR WindowName)> RemoteFindWindow;
HWND AllocateHandleValue();

// ---- Other copies of the program (WinRemote.cpp) ----

void HookInstanceChannel();
void InstallRemoteFind();
void RemoteWindowCreated(TWnd* W);
void RemoteWindowRetitled(TWnd* W);
void RemoteWindowDestroyed(TWnd* W);
bool IsRemoteProxy(HWND Wnd);
bool RemoteClassName(HWND Wnd, String& ClassName);
bool RemoteSend(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, DWORD Timeout, LRESULT* Result, BOOL* Ok);
bool RemotePost(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, BOOL* Ok);
DWORD RemoteThreadProcess(HWND Wnd, DWORD* ProcessId);
void AddLoopFd(int Fd, std::function<void()> OnReadable);
void RemoveLoopFd(int Fd);

// ---- Queues (WinQueue.cpp) ----

TThreadQueue& CurrentQueue();
std::shared_ptr<TThreadQueue> QueueOf(DWORD ThreadId);  // nullptr: the thread has none
void WakeAllQueues();
// Posts an input message into the current thread's queue (from the display).
void PostInput(const MSG& Msg);
// Calls the window's procedure on this thread.
LRESULT CallProc(TWnd* W, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT Send(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
void KillWindowTimers(HWND Wnd);
void RemoveWindowMessages(HWND Wnd);
// Internal timers (hover, caret blink): Id must be unique among internal timers.
void SetInternalTimer(UINT_PTR Id, UINT Elapse, std::function<void()> Callback);
void KillInternalTimer(UINT_PTR Id);
DWORD Now();

// ---- Tree and geometry (WinPos.cpp) ----

POINT ClientOrigin(const TWnd* W);   // screen position of client (0,0)
POINT WindowOrigin(const TWnd* W);   // screen position of the window's top-left
RECT ScreenWindowRect(const TWnd* W);
RECT ScreenClientRect(const TWnd* W);
TWnd* TopLevelOf(TWnd* W);
bool IsReallyVisible(const TWnd* W);   // this and every ancestor visible
bool IsDescendant(const TWnd* Ancestor, const TWnd* W);
void Unlink(TWnd* W);
void LinkAt(TWnd* Parent, TWnd* W, TWnd* InsertAfter, bool Top);
// Deepest visible enabled window at a screen point among Root's children (Root included);
// honours window regions. Does not send WM_NCHITTEST.
TWnd* ChildAt(TWnd* Root, POINT Screen, bool SkipDisabled, bool SkipTransparent);
// The top-level window at a screen point, in our z-order.
TWnd* TopLevelAt(POINT Screen, TWnd* Below = nullptr);
// Sends WM_NCCALCSIZE for a window rect (parent coordinates) and returns the client rect.
RECT CalcClient(TWnd* W, const RECT& WindowRect, bool Changed, WINDOWPOS* Pos);
void SetPos(TWnd* W, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags);
void GetMinMax(TWnd* W, MINMAXINFO& Info);
// A window was hidden, destroyed or disabled: move activation and focus away from it.
void WindowGone(TWnd* W, bool Destroying);

// ---- Non-client area (WinDefProc.cpp) ----

// Frame thickness from the styles (what the default WM_NCCALCSIZE takes off).
RECT DefaultNcInsets(DWORD Style, DWORD ExStyle, bool HasMenu);
LRESULT DefaultHitTest(TWnd* W, POINT Screen);
void RunMoveSizeLoop(TWnd* W, LRESULT Hit, POINT Start);
// Areas of the standard scroll bars in window coordinates; empty when absent.
RECT ScrollBarRect(TWnd* W, int Bar);
void PaintDefaultFrame(TWnd* W, HDC Dc);
// The classic scroll-bar track: a checkerboard of the face and highlight colours. Shared (never
// deleted by callers); made again when those system colours change.
HBRUSH ScrollTrackBrush();
void TrackScrollBar(TWnd* W, int Bar, POINT Screen);

// ---- Input (WinInput.cpp) ----

void InputWindowDestroyed(TWnd* W);
void ActivateWindow(TWnd* W, WORD How);
void EnsureDisplaySink();
void PumpDisplay();
// True when display events wait to be turned into messages (pulls what the backend has).
bool DisplayEventsWaiting();
void SetKeyStateFromEvent(unsigned VirtualKey, bool Down);
HWND& ActiveWindowRef();
HWND& FocusWindowRef();
HWND& CaptureWindowRef();
void CaretWindowDestroyed(TWnd* W);
void HideCaretForPaint(TWnd* W, bool Hide);

// ---- Painting (WinPaint.cpp) ----

void InvalidateWindow(TWnd* W, const TRegion* Area /*window coordinates, nullptr all*/, bool Erase, bool Frame,
                      bool Children);
// Whether any window of the thread needs WM_PAINT; the first in tree order.
TWnd* FindPaintWindow(DWORD ThreadId);
void SurfaceCreate(TWnd* W);
void SurfaceDestroy(TWnd* W);
// Brings the pixels of a top-level window that has them to the window's present size, keeping
// what they show; a no-op when the size has not changed.
void SurfaceResize(TWnd* W);
void SurfaceShow(TWnd* W, bool Show, bool Activate);
void PresentAll();
// A queue that never runs empty (a fast timer, a tool's steady output) would otherwise keep
// painted windows from reaching the screen: retrieval presents them at least this often.
constexpr DWORD PresentIntervalMs = 40;
void PresentIfOverdue();
void ExposeWindow(TWnd* W, const RECT& Area);
// A window moved or changed size (old rect in parent coordinates): invalidate what is needed.
void WindowMoved(TWnd* W, const RECT& OldWindow, const RECT& OldClient, UINT Flags);
void UpdateDisplayShape(TWnd* W);
void UpdateDisplayOpacity(TWnd* W);
void UpdateDisplayFlags(TWnd* W);
void ReleaseWindowDCs(TWnd* W);
void UpdateNativeChild(TWnd* W);

// ---- Multiple-document windows (WinMdi.cpp) ----

bool RegisterMdiClientClass();
bool IsMdiClientClassName(LPCSTR Name);
// Creation of a WS_EX_MDICHILD window under an MDI client: its styles, its place in the window
// list, and activation once it was shown at the end of creation.
void MdiAdjustChildStyle(HWND Parent, DWORD& Style, DWORD ExStyle);
void MdiChildLinked(TWnd* W);
void MdiChildShown(TWnd* W);
// A window's record is freed: a client forgets its children, a child leaves its client's list
// and hands activation over.
void MdiWindowFreed(TWnd* W);
// A button went down on Target: the MDI child holding it becomes the active child.
void MdiChildPressed(TWnd* Target);

// ---- Misc ----

void TrayWindowDestroyed(HWND Wnd);
// Icons docked in a tray of the window system (backends with HasTrayProtocol): DockTrayIcon
// makes the icon's window and has the tray take it; null when no tray runs. The window reports
// the mouse to Owner with Callback (wParam Id, lParam the mouse message).
HWND DockTrayIcon(HWND Owner, UINT Id, UINT Callback, HICON Icon, const String& Tip);
void UpdateDockedIcon(HWND IconWindow, UINT Callback, HICON Icon, const String& Tip);
void RemoveDockedIcon(HWND IconWindow);
// The tray let go of the docked icon window IconWindow (it went away with it): the icon leaves
// the icon model, as the icons of a notification area that ended do, and the window is
// destroyed. Unknown windows are ignored.
void ForgetDockedIcon(HWND IconWindow);
// A new tray took over (the icons of the tray before were forgotten already, see above): the
// program's top-level windows get the registered message "TaskbarCreated" (posted), as the
// notification area sends when it starts again, so that the owners add their icons anew.
void TrayRestarted();
// Paints Icon into Rect of DC through the painter the class library installed (nothing without).
void PaintTrayIcon(HDC DC, HICON Icon, const RECT& Rect);

// ---- Icons shown by the panel over the session bus (WinTraySni.cpp) ----

// Whether a StatusNotifierWatcher owns its name on the session bus (connects to the bus named by
// DBUS_SESSION_BUS_ADDRESS on first use; never starts a bus).
bool StatusNotifierAvailable();
// Exports an item for the icon and registers it with the watcher: the answer is a hidden window
// that stands for the item (DestroyWindow withdraws it), null when that failed. The item's
// activation, secondary activation and context menu reach Owner as the mouse messages of
// Callback, with the point the panel asked for as the message position.
HWND AddStatusNotifierItem(HWND Owner, UINT Id, UINT Callback, HICON Icon, const String& Tip);
// False when IconWindow is not such an item.
bool UpdateStatusNotifierItem(HWND IconWindow, UINT Callback, HICON Icon, const String& Tip);
// Posts a message whose position (GetMessagePos) is Point rather than the pointer's.
BOOL PostMessageAt(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, POINT Point);
void ClipboardWindowDestroyed(HWND Wnd);

}  // namespace QvWin
