// Messages between running copies of the program: the transport behind a registered window
// message, SendMessage/SendNotifyMessage to another copy's window and WM_COPYDATA.
//
// Each copy that opens a TInstanceChannel gets a Unix-domain socket and an entry in the
// instance directory (both in the user's runtime folder, see Sync.h). The entry lists the
// windows the window system registers (handle value, thread, class name, title). Another copy
// finds a window by class and/or title (FindRemoteWindows) and sends it a message: the
// request arrives on the receiving copy's GUI thread, when its message loop sees the
// channel's descriptor readable and calls Pump, which hands each request to the handler and
// sends the handler's result back. The sender blocks until then, or until its time-out.
//
// Entries of copies that have died (crashed without closing) are recognised by their lock,
// which the kernel released, and are ignored and removed by whoever lists the directory.
//
// Re-entrancy: while a thread that owns the process's channel waits for a reply, it keeps
// handing incoming requests to its handler (as a Windows thread blocked in SendMessage still
// receives sent messages), so two copies that send to each other do not deadlock.
//
// WM_COPYDATA: SendRemoteCopyData carries dwData in lParam and the bytes in Data; the window
// system rebuilds a COPYDATASTRUCT over Data for the window procedure. Other messages carry
// wParam/lParam as plain numbers and Data empty.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/os/KernelObjects.h"

namespace qv::os {

struct TRemoteWindow {
  DWORD ProcessId = 0;
  DWORD ThreadId = 0;
  HWND Window = nullptr;  // the handle value in its own process
  String ClassName;
  String Title;
};

// Target: the window the sender addressed (its handle value in this process). A sender that
// means the copy's GUI thread rather than one window (PostThreadMessage) sends with a null
// Target; the window system then puts the message into that thread's queue.
using TInstanceHandler =
    std::function<LRESULT(HWND Target, UINT Msg, WPARAM wParam, LPARAM lParam, const std::vector<char>& Data)>;

class TInstanceChannel {
public:
  // Opens this process's channel (socket and directory entry). Raises EOSError when the
  // runtime folder or the socket cannot be made. At most one per process: a second one
  // raises EOSError with ERROR_ALREADY_EXISTS.
  TInstanceChannel();
  ~TInstanceChannel();
  TInstanceChannel(const TInstanceChannel&) = delete;
  TInstanceChannel& operator=(const TInstanceChannel&) = delete;

  // The descriptor the message loop polls for reading (POLLIN); it stays the same.
  int GetFd() const;
  void SetHandler(TInstanceHandler Handler);
  // Reads what has arrived without blocking, calls the handler for every complete request
  // (in arrival order per sender) and replies. Returns the number of requests handled.
  // Requests without a handler are answered with 0.
  int Pump();
  // Whether the calling thread opened the channel (only that thread pumps it).
  bool OwnedByCallingThread() const;

  // The directory of this copy's windows, as other copies see it.
  void RegisterWindow(HWND Window, const String& ClassName, const String& Title, DWORD ThreadId);
  void SetWindowTitle(HWND Window, const String& Title);
  void UnregisterWindow(HWND Window);

  // The open channel of this process, or nullptr.
  static TInstanceChannel* Current();

  struct TImpl;

private:
  std::unique_ptr<TImpl> FImpl;
};

// Windows of other running copies (and of this one when IncludeSelf), in ascending process
// id order and, within a copy, in registration order. A null ClassName or Title matches any;
// otherwise the comparison is exact (case-sensitive), as FindWindow's class comparison here.
std::vector<TRemoteWindow> FindRemoteWindows(LPCSTR ClassName, LPCSTR Title, bool IncludeSelf = false);

// Sends and waits for the result (SendMessageTimeout-shaped): TRUE with *Result set, or FALSE
// with ERROR_TIMEOUT when no reply came within Timeout ms (INFINITE waits for ever), or
// ERROR_INVALID_WINDOW_HANDLE when the copy is gone. Data may be null when DataSize is 0.
BOOL SendRemoteMessage(const TRemoteWindow& Target, UINT Msg, WPARAM wParam, LPARAM lParam, const void* Data,
                       DWORD DataSize, DWORD Timeout, LRESULT* Result);
// Delivers without waiting for the result (PostMessage/SendNotifyMessage-shaped).
BOOL PostRemoteMessage(const TRemoteWindow& Target, UINT Msg, WPARAM wParam, LPARAM lParam, const void* Data,
                       DWORD DataSize);
// WM_COPYDATA: wParam = the sending window, lParam = dwData, Data = the cbData bytes.
BOOL SendRemoteCopyData(const TRemoteWindow& Target, HWND From, ULONG_PTR dwData, const void* lpData, DWORD cbData,
                        DWORD Timeout, LRESULT* Result);

// A message number in 0xC000..0xFFFF that is the same in every process of this user for the
// same name (A-Z case ignored), as RegisterWindowMessage gives. 0 on failure.
UINT RegisterSharedMessage(const String& Name);

constexpr UINT WM_COPYDATA_MESSAGE = 0x004A;

}  // namespace qv::os
