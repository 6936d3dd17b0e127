#include "platform/os/Pipes.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/os/KernelObjectInternal.h"
#include "platform/os/OsInit.h"

namespace qv::os {

namespace {

constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_READ_FAULT = 30;

// A pipe end or another descriptor. The descriptor is closed when the object goes; closing the
// last handle first wakes the calls blocked on it (through WakeFd), which then let go of it.
class TFdObject : public TKernelObject {
public:
  explicit TFdObject(int Fd) : FFd(Fd)
  {
    struct stat St {};
    IsPipe = fstat(Fd, &St) == 0 && (S_ISFIFO(St.st_mode) || S_ISSOCK(St.st_mode));
    WakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  }
  ~TFdObject() override
  {
    if (FFd >= 0)
      close(FFd);
    if (WakeFd >= 0)
      close(WakeFd);
  }
  int Fd() const override { return FFd; }
  void LastHandleClosed() override
  {
    Closed.store(true);
    std::uint64_t One = 1;
    [[maybe_unused]] ssize_t N = write(WakeFd, &One, sizeof One);
  }
  // Waits until the descriptor is ready for Events; false when the handle was closed meanwhile.
  bool WaitReady(short Events)
  {
    for (;;) {
      if (Closed.load())
        return false;
      pollfd P[2] = {{FFd, Events, 0}, {WakeFd, POLLIN, 0}};
      int N = poll(P, 2, -1);
      if (N < 0) {
        if (errno == EINTR)
          continue;
        return true;  // let the call itself report the error
      }
      if (P[1].revents)
        return false;
      if (P[0].revents)
        return true;
    }
  }
  int FFd;
  int WakeFd;
  bool IsPipe = false;
  std::atomic<bool> Closed{false};
};

std::shared_ptr<TFdObject> FdObjectOf(HANDLE Handle) { return ObjectAs<TFdObject>(Handle); }

}  // namespace

HANDLE CreateHandleForFd(int Fd)
{
  if (Fd < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return InsertObject(std::make_shared<TFdObject>(Fd));
}

int FdOfHandle(HANDLE Handle)
{
  auto Object = FdObjectOf(Handle);
  return Object ? Object->Fd() : -1;
}

}  // namespace qv::os

using namespace qv::os;

BOOL CreatePipe(HANDLE* ReadPipe, HANDLE* WritePipe, LPSECURITY_ATTRIBUTES, DWORD Size)
{
  OsInitialize();
  if (!ReadPipe || !WritePipe) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int Fds[2];
  if (pipe2(Fds, O_CLOEXEC) != 0) {
    SetLastError(errno == EMFILE || errno == ENFILE ? 4 /* ERROR_TOO_MANY_OPEN_FILES */ : ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  if (Size > 0)
    fcntl(Fds[1], F_SETPIPE_SZ, static_cast<int>(Size > 1048576 ? 1048576 : Size));  // a hint; may be refused
  *ReadPipe = CreateHandleForFd(Fds[0]);
  *WritePipe = CreateHandleForFd(Fds[1]);
  return TRUE;
}

BOOL ReadFile(HANDLE File, LPVOID Buffer, DWORD BytesToRead, DWORD* BytesRead, LPOVERLAPPED Overlapped)
{
  if (BytesRead)
    *BytesRead = 0;
  if (Overlapped || (!Buffer && BytesToRead > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto Object = FdObjectOf(File);
  if (!Object)
    return FALSE;
  if (BytesToRead == 0)
    return TRUE;
  for (;;) {
    if (Object->IsPipe && !Object->WaitReady(POLLIN)) {
      SetLastError(ERROR_BROKEN_PIPE);
      return FALSE;
    }
    ssize_t N = read(Object->Fd(), Buffer, BytesToRead);
    if (N > 0) {
      if (BytesRead)
        *BytesRead = static_cast<DWORD>(N);
      return TRUE;
    }
    if (N == 0) {
      if (!Object->IsPipe)
        return TRUE;  // end of a file: success with nothing read
      SetLastError(ERROR_BROKEN_PIPE);
      return FALSE;
    }
    if (errno == EINTR || errno == EAGAIN)
      continue;
    SetLastError(errno == EBADF ? ERROR_INVALID_HANDLE : ERROR_READ_FAULT);
    return FALSE;
  }
}

BOOL WriteFile(HANDLE File, LPCVOID Buffer, DWORD BytesToWrite, DWORD* BytesWritten, LPOVERLAPPED Overlapped)
{
  if (BytesWritten)
    *BytesWritten = 0;
  if (Overlapped || (!Buffer && BytesToWrite > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto Object = FdObjectOf(File);
  if (!Object)
    return FALSE;
  const char* Data = static_cast<const char*>(Buffer);
  DWORD Done = 0;
  while (Done < BytesToWrite) {
    // After POLLOUT a pipe has room for PIPE_BUF bytes, so a write of at most that many does
    // not block, and a close of the handle can still wake us between the pieces.
    std::size_t Piece = BytesToWrite - Done;
    if (Object->IsPipe) {
      if (!Object->WaitReady(POLLOUT)) {
        SetLastError(ERROR_NO_DATA);
        return FALSE;
      }
      if (Piece > PIPE_BUF)
        Piece = PIPE_BUF;
    }
    ssize_t N = write(Object->Fd(), Data + Done, Piece);
    if (N < 0) {
      if (errno == EINTR || errno == EAGAIN)
        continue;
      if (errno == EPIPE) {
        SetLastError(ERROR_NO_DATA);
      } else {
        SetLastError(errno == EBADF ? ERROR_INVALID_HANDLE : ERROR_WRITE_FAULT);
      }
      return FALSE;
    }
    Done += static_cast<DWORD>(N);
    if (BytesWritten)
      *BytesWritten = Done;
  }
  return TRUE;
}

BOOL PeekNamedPipe(HANDLE NamedPipe, LPVOID Buffer, DWORD BufferSize, DWORD* BytesRead, DWORD* TotalBytesAvail,
                   DWORD* BytesLeftThisMessage)
{
  if (BytesRead)
    *BytesRead = 0;
  if (TotalBytesAvail)
    *TotalBytesAvail = 0;
  if (BytesLeftThisMessage)
    *BytesLeftThisMessage = 0;
  auto Object = FdObjectOf(NamedPipe);
  if (!Object)
    return FALSE;
  if (!Object->IsPipe) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
  }
  int Available = 0;
  if (ioctl(Object->Fd(), FIONREAD, &Available) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (Available == 0) {
    pollfd P{Object->Fd(), POLLIN, 0};
    if (poll(&P, 1, 0) > 0 && (P.revents & POLLHUP)) {
      SetLastError(ERROR_BROKEN_PIPE);
      return FALSE;
    }
  }
  if (TotalBytesAvail)
    *TotalBytesAvail = static_cast<DWORD>(Available);
  if (Buffer && BufferSize > 0 && Available > 0) {
    // Copy without consuming: tee duplicates the pipe's content into a pipe of our own.
    int Copy[2];
    if (pipe2(Copy, O_CLOEXEC | O_NONBLOCK) == 0) {
      DWORD Want = BufferSize < static_cast<DWORD>(Available) ? BufferSize : static_cast<DWORD>(Available);
      ssize_t N = tee(Object->Fd(), Copy[1], Want, SPLICE_F_NONBLOCK);
      if (N > 0) {
        ssize_t R = read(Copy[0], Buffer, static_cast<std::size_t>(N));
        if (BytesRead && R > 0)
          *BytesRead = static_cast<DWORD>(R);
      }
      close(Copy[0]);
      close(Copy[1]);
    }
  }
  return TRUE;
}
