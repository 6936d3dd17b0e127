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
//
// What another process may deliver (any process of the same user can connect): only to a
// window listed in the directory, and only WM_COPYDATA (at most MaxRemoteCopyData bytes),
// registered messages (0xC000..0xFFFF) and the few messages whose parameters are plain numbers
// (RemoteMessageAllowed). Everything else, and every request that carries bytes without being
// WM_COPYDATA, is answered 0 without reaching the handler: a pointer in wParam or lParam
// (WM_SETTEXT, WM_GETTEXT ...) never reaches a window procedure. The receiving side holds at
// most MaxRemoteConnections connections and MaxRemoteBufferedBytes bytes of incomplete
// requests; a connection that brings nothing for RemoteRequestDeadlineMs, or whose request is
// not complete RemoteRequestLimitMs after it was accepted, is dropped. When the process runs out of descriptors, accepting pauses for a
// moment instead of waking the loop again and again.
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
  // runtime folder or the socket cannot be made, or when the directory entry cannot be
  // written (ERROR_DISK_FULL on a full file system): a copy nobody could find must not take
  // itself for the only one. At most one per process: a second one raises EOSError with
  // ERROR_ALREADY_EXISTS. A socket path longer than a socket address holds is reached through
  // the folder's descriptor.
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

  // The directory of this copy's windows, as other copies see it. FALSE with the last error
  // (ERROR_DISK_FULL ...) when the entry could not be rewritten; the list kept in memory has
  // the change, and the next successful write carries it.
  BOOL RegisterWindow(HWND Window, const String& ClassName, const String& Title, DWORD ThreadId);
  BOOL SetWindowTitle(HWND Window, const String& Title);
  BOOL UnregisterWindow(HWND Window);
  // Whether Window is listed (only listed windows receive requests).
  bool IsListed(HWND Window) const;
  // Open connections (for tests of the limits).
  int GetConnectionCount() const;

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

constexpr DWORD MaxRemoteCopyData = 1u << 20;
constexpr int MaxRemoteConnections = 16;
constexpr DWORD MaxRemoteBufferedBytes = 4u << 20;
constexpr int RemoteRequestDeadlineMs = 3000;
constexpr int RemoteRequestLimitMs = 20000;

// WM_COPYDATA, a registered message, or one of the messages whose parameters are numbers only
// (WM_NULL, WM_CLOSE, WM_QUERYENDSESSION, WM_ENDSESSION, WM_ACTIVATEAPP, WM_SYSCOMMAND).
bool RemoteMessageAllowed(UINT Msg);

// While the calling thread's handler runs a request of another copy: that copy's process id
// (from the connection's credentials, not from anything the peer wrote). 0 otherwise.
DWORD RemoteRequestSender();

// A request as it travels on a connection: a fixed header, then DataSize bytes.
struct TInstanceRequest {
  bool Send = false;  // the sender waits for the result
  UINT Msg = 0;
  std::uint64_t Target = 0;
  std::uint64_t WParam = 0;
  std::int64_t LParam = 0;
  std::vector<char> Data;
};
enum class TFrameStatus { NeedMore, Complete, Damaged };
// Reads one request from the start of Bytes. NeedMore with Needed set to the total size known
// so far (the header's, then the whole request's); Complete with Request filled and Needed its
// size; Damaged for anything that is not a request of ours (wrong magic or kind, data larger
// than MaxRemoteCopyData).
TFrameStatus ParseInstanceRequest(const char* Bytes, std::size_t Size, TInstanceRequest& Request, std::size_t& Needed);

}  // namespace qv::os
