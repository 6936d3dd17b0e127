#include "core/SxSharedMemory.h"

#include <atomic>
#include <mutex>

#include "core/ToolProcesses.h"

namespace {

struct TMMFHandleListItem {
  String Name;
  HANDLE Handle = nullptr;
  void* View = nullptr;
  int References = 0;
  TMMFHandleListItem* Next = nullptr;
};

TMMFHandleListItem* ListHead = nullptr;
std::atomic<TSxIntfCriticalSection*> ListLock{nullptr};
std::atomic<bool> ShuttingDown{false};

// Frees the lock when the program ends; from then on the list is used without one.
struct TLockOwner {
  ~TLockOwner()
  {
    ShuttingDown.store(true);
    delete ListLock.exchange(nullptr);
  }
} LockOwner;

TSxIntfCriticalSection* GetListLock()
{
  TSxIntfCriticalSection* Lock = ListLock.load();
  if (Lock || ShuttingDown.load()) return Lock;
  auto* Fresh = new TSxIntfCriticalSection;
  TSxIntfCriticalSection* Expected = nullptr;
  if (ListLock.compare_exchange_strong(Expected, Fresh)) return Fresh;
  delete Fresh;  // another thread was first
  return Expected;
}

// Holding one holds the list lock.
class TListGuard {
public:
  TListGuard() : FLock(GetListLock())
  {
    if (FLock) FLock->AddRef();
  }
  ~TListGuard()
  {
    if (FLock) FLock->Release();
  }
  TListGuard(const TListGuard&) = delete;
  TListGuard& operator=(const TListGuard&) = delete;

private:
  TSxIntfCriticalSection* FLock;
};

bool SameTextAscii(const String& A, const String& B)
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

}  // namespace

int TSxIntfCriticalSection::AddRef()
{
  FSection.lock();
  return 1;
}

int TSxIntfCriticalSection::Release()
{
  FSection.unlock();
  return 1;
}

Cardinal OpenNamedSharedMemory(void*& View, const String& Name, Cardinal Size, DWORD Access)
{
  View = nullptr;
  const TWindowsVersion Version = SystemInfoState().Version;
  if (Version <= wvWinNT4 && (Name.empty() || Name.find('\\') != String::npos))
    throw ESharedMemError(SxConsts::RsInvalidMMFName, {Name});

  TListGuard Guard;
  for (TMMFHandleListItem* Item = ListHead; Item; Item = Item->Next)
    if (SameTextAscii(Item->Name, Name)) {
      ++Item->References;
      View = Item->View;
      return ERROR_ALREADY_EXISTS;
    }

  Cardinal Result = 0;
  HANDLE Handle = OpenFileMappingA(Access, FALSE, Name.c_str());
  if (Handle) {
    Result = ERROR_ALREADY_EXISTS;
  } else {
    if (Size == 0) throw ESharedMemError(SxConsts::RsInvalidMMFEmpty, {Name});
    const bool Copy = !SystemInfoState().IsWinNT && Access == FILE_MAP_COPY;
    Handle = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, Copy ? PAGE_WRITECOPY : PAGE_READWRITE, 0, Size,
                                Name.c_str());
    if (!Handle) RaiseLastOSError();
    if (GetLastError() == ERROR_ALREADY_EXISTS) Result = ERROR_ALREADY_EXISTS;
  }
  void* Mapped = MapViewOfFile(Handle, Access, 0, 0, Size);
  if (!Mapped) {
    const DWORD Error = GetLastError();
    CloseHandle(Handle);
    RaiseLastOSError(Error);
  }
  auto* Item = new TMMFHandleListItem;
  Item->Name = Name;
  Item->Handle = Handle;
  Item->View = Mapped;
  Item->References = 1;
  Item->Next = ListHead;
  ListHead = Item;
  View = Mapped;
  return Result;
}

bool CloseNamedSharedMemory(void*& View)
{
  if (!View) return true;
  TListGuard Guard;
  TMMFHandleListItem** Link = &ListHead;
  for (TMMFHandleListItem* Item = ListHead; Item; Link = &Item->Next, Item = Item->Next) {
    if (Item->View != View) continue;
    if (Item->References < 2) {
      UnmapViewOfFile(Item->View);
      CloseHandle(Item->Handle);
      *Link = Item->Next;
      delete Item;
    } else {
      --Item->References;
    }
    View = nullptr;
    return true;
  }
  return false;
}

int SharedMemoryListCount()
{
  TListGuard Guard;
  int Count = 0;
  for (TMMFHandleListItem* Item = ListHead; Item; Item = Item->Next) ++Count;
  return Count;
}
