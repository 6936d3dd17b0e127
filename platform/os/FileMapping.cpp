#include "platform/os/FileMapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "platform/os/KernelObjectInternal.h"

namespace qv::os {

namespace {

constexpr std::uint64_t AllocationGranularity = 65536;
constexpr DWORD ERROR_MAPPED_ALIGNMENT = 1132;

std::uint64_t RoundToPage(std::uint64_t Size)
{
  const std::uint64_t Page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
  return (Size + Page - 1) / Page * Page;
}

class TMappingObject : public TKernelObject {
public:
  ~TMappingObject() override
  {
    if (AnonymousFd >= 0)
      close(AnonymousFd);
  }
  int DataFd() const { return Named ? Named->Fd : AnonymousFd; }
  std::shared_ptr<TNamedFile> Named;  // a named mapping: the data follows the header page
  int AnonymousFd = -1;               // an unnamed one: a memory file of its own
  std::uint64_t Base = 0;
  std::uint64_t Size = 0;
  DWORD Protect = PAGE_READWRITE;
};

struct TView {
  std::shared_ptr<TMappingObject> Mapping;  // keeps the mapping alive while mapped
  std::size_t Length = 0;
};

struct TViews {
  std::mutex Lock;
  std::map<std::uintptr_t, TView> ByAddress;
};

TViews& Views()
{
  static TViews* Instance = new TViews();
  return *Instance;
}

// Reserves the memory of a new mapping at once, so that touching it later cannot fail.
bool Reserve(int Fd, std::uint64_t From, std::uint64_t Length)
{
  if (ftruncate(Fd, static_cast<off_t>(From + Length)) != 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  int Rc = posix_fallocate(Fd, static_cast<off_t>(From), static_cast<off_t>(Length));
  if (Rc != 0 && Rc != EOPNOTSUPP && Rc != EINVAL) {
    SetLastError(Rc == ENOSPC ? ERROR_DISK_FULL : ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  return true;
}

bool ValidProtection(DWORD Protect)
{
  switch (Protect & 0xFF) {
  case PAGE_READONLY:
  case PAGE_READWRITE:
  case PAGE_WRITECOPY:
  case PAGE_EXECUTE_READ:
  case PAGE_EXECUTE_READWRITE: return true;
  default: return false;
  }
}

}  // namespace

}  // namespace qv::os

using namespace qv::os;

HANDLE CreateFileMappingA(HANDLE File, LPSECURITY_ATTRIBUTES, DWORD Protect, DWORD MaximumSizeHigh,
                          DWORD MaximumSizeLow, LPCSTR Name)
{
  if (File != INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const std::uint64_t Size = (static_cast<std::uint64_t>(MaximumSizeHigh) << 32) | MaximumSizeLow;
  if (Size == 0 || !ValidProtection(Protect)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto Mapping = std::make_shared<TMappingObject>();
  Mapping->Protect = Protect & 0xFF;
  bool Existed = false;
  if (!Name || !*Name) {
    Mapping->AnonymousFd = memfd_create("quelvo3-mapping", MFD_CLOEXEC);
    if (Mapping->AnonymousFd < 0) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if (!Reserve(Mapping->AnonymousFd, 0, RoundToPage(Size)))
      return nullptr;
    Mapping->Size = Size;
  } else {
    Mapping->Named = OpenNamedObject(Name, TNamedKind::Mapping, true,
                                     [&](TNamedFile& F) {
                                       F.Header->MappingSize = Size;
                                       return Reserve(F.Fd, NamedHeaderSize, RoundToPage(Size));
                                     },
                                     Existed);
    if (!Mapping->Named)
      return nullptr;
    Mapping->Base = NamedHeaderSize;
    Mapping->Size = Mapping->Named->Header->MappingSize;
  }
  HANDLE Result = InsertObject(std::move(Mapping));
  SetLastError(Existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return Result;
}

HANDLE OpenFileMappingA(DWORD, BOOL, LPCSTR Name)
{
  if (!Name || !*Name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto Mapping = std::make_shared<TMappingObject>();
  bool Existed;
  Mapping->Named = OpenNamedObject(Name, TNamedKind::Mapping, false, nullptr, Existed);
  if (!Mapping->Named)
    return nullptr;
  Mapping->Base = NamedHeaderSize;
  Mapping->Size = Mapping->Named->Header->MappingSize;
  HANDLE Result = InsertObject(std::move(Mapping));
  SetLastError(ERROR_SUCCESS);
  return Result;
}

LPVOID MapViewOfFile(HANDLE Handle, DWORD DesiredAccess, DWORD OffsetHigh, DWORD OffsetLow, SIZE_T BytesToMap)
{
  auto Mapping = ObjectAs<TMappingObject>(Handle);
  if (!Mapping)
    return nullptr;
  const std::uint64_t Offset = (static_cast<std::uint64_t>(OffsetHigh) << 32) | OffsetLow;
  if (Offset % AllocationGranularity != 0) {
    SetLastError(ERROR_MAPPED_ALIGNMENT);
    return nullptr;
  }
  if (Offset >= Mapping->Size || BytesToMap > Mapping->Size - Offset) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  const std::size_t Length = BytesToMap ? BytesToMap : static_cast<std::size_t>(Mapping->Size - Offset);
  int Prot = PROT_READ;
  int Flags = MAP_SHARED;
  const bool ReadOnlyMapping = Mapping->Protect == PAGE_READONLY || Mapping->Protect == PAGE_EXECUTE_READ;
  if (DesiredAccess & FILE_MAP_COPY && !(DesiredAccess & FILE_MAP_WRITE)) {
    Prot |= PROT_WRITE;
    Flags = MAP_PRIVATE;
  } else if (DesiredAccess & FILE_MAP_WRITE) {
    if (ReadOnlyMapping) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    if (Mapping->Protect == PAGE_WRITECOPY)
      Flags = MAP_PRIVATE;
    Prot |= PROT_WRITE;
  } else if (!(DesiredAccess & (FILE_MAP_READ | FILE_MAP_EXECUTE))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* Address = mmap(nullptr, Length, Prot, Flags, Mapping->DataFd(), static_cast<off_t>(Mapping->Base + Offset));
  if (Address == MAP_FAILED) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  TViews& V = Views();
  std::lock_guard<std::mutex> Guard(V.Lock);
  V.ByAddress[reinterpret_cast<std::uintptr_t>(Address)] = TView{std::move(Mapping), Length};
  return Address;
}

BOOL UnmapViewOfFile(LPCVOID BaseAddress)
{
  TView View;
  {
    TViews& V = Views();
    std::lock_guard<std::mutex> Guard(V.Lock);
    auto It = V.ByAddress.find(reinterpret_cast<std::uintptr_t>(BaseAddress));
    if (It == V.ByAddress.end()) {
      SetLastError(ERROR_INVALID_ADDRESS);
      return FALSE;
    }
    View = std::move(It->second);
    V.ByAddress.erase(It);
  }
  munmap(const_cast<void*>(BaseAddress), View.Length);
  return TRUE;  // View.Mapping goes here, outside the lock
}

BOOL FlushViewOfFile(LPCVOID BaseAddress, SIZE_T BytesToFlush)
{
  const std::uintptr_t Address = reinterpret_cast<std::uintptr_t>(BaseAddress);
  TViews& V = Views();
  std::lock_guard<std::mutex> Guard(V.Lock);
  auto It = V.ByAddress.upper_bound(Address);
  if (It == V.ByAddress.begin()) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  --It;
  if (Address >= It->first + It->second.Length) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  const std::uintptr_t Page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t Start = Address / Page * Page;
  std::size_t Length = BytesToFlush ? BytesToFlush : It->first + It->second.Length - Address;
  msync(reinterpret_cast<void*>(Start), Length + (Address - Start), MS_SYNC);
  return TRUE;
}
