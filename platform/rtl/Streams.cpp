#include "platform/rtl/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/RtlConsts.h"

// --- TStream ---

Int64 TStream::Seek(Int64 Offset, int Origin)
{
  const TSeekOrigin origin = Origin == soFromCurrent ? soCurrent : Origin == soFromEnd ? soEnd : soBeginning;
  return Seek(Offset, origin);
}

Int64 TStream::GetPosition()
{
  return Seek(0, soCurrent);
}

void TStream::SetPosition(Int64 Pos)
{
  Seek(Pos, soBeginning);
}

Int64 TStream::GetSize()
{
  const Int64 pos = Seek(0, soCurrent);
  const Int64 result = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return result;
}

void TStream::SetSize(Int64 /*NewSize*/) {}

void TStream::ReadBuffer(void* Buffer, Int64 Count)
{
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError(RtlConsts::SReadError);
}

void TStream::WriteBuffer(const void* Buffer, Int64 Count)
{
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError(RtlConsts::SWriteError);
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count)
{
  if (Count <= 0) {
    Source->SetPosition(0);
    Count = Source->GetSize();
    // A stream without a size (a pipe) can't say what "all of it" is.
    if (Count < 0) throw EReadError(RtlConsts::SReadError);
  }
  const Int64 result = Count;
  constexpr Int64 MaxBufSize = 0xF000;
  std::vector<char> buffer(static_cast<std::size_t>(std::min(Count, MaxBufSize)));
  while (Count != 0) {
    const Int64 n = std::min(Count, MaxBufSize);
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    Count -= n;
  }
  return result;
}

// --- THandleStream ---

Int64 THandleStream::Read(void* Buffer, Int64 Count)
{
  if (Count <= 0) return 0;
  const Int64 result = FileRead(FHandle, Buffer, Count);
  if (result < 0) throw EReadError(RtlConsts::SReadError);
  return result;
}

Int64 THandleStream::Write(const void* Buffer, Int64 Count)
{
  if (Count <= 0) return 0;
  const Int64 result = FileWrite(FHandle, Buffer, Count);
  return result < 0 ? 0 : result;
}

Int64 THandleStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
  return FileSeek(FHandle, Offset, static_cast<int>(Origin));
}

void THandleStream::SetSize(Int64 NewSize)
{
  if (!FileTruncate(FHandle, NewSize)) RaiseLastOSError();
  Seek(NewSize, soBeginning);
}

// --- TFileStream ---

namespace {

int OpenFileStreamHandle(const String& FileName, unsigned Mode)
{
  if ((Mode & fmCreate) == fmCreate) {
    const int handle = FileCreate(FileName);
    if (handle < 0) throw EFCreateError(RtlConsts::SFCreateErrorEx, {FileName, SysErrorMessage(GetLastError())});
    return handle;
  }
  // Only the access bits: share modes have no meaning here.
  const int handle = FileOpen(FileName, Mode & 0x0F);
  if (handle < 0) throw EFOpenError(RtlConsts::SFOpenErrorEx, {FileName, SysErrorMessage(GetLastError())});
  return handle;
}

}  // namespace

TFileStream::TFileStream(const String& AFileName, unsigned Mode)
    : THandleStream(OpenFileStreamHandle(AFileName, Mode)), FFileName(AFileName)
{
}

TFileStream::~TFileStream()
{
  if (FHandle >= 0) FileClose(FHandle);
}

// --- TCustomMemoryStream ---

Int64 TCustomMemoryStream::Read(void* Buffer, Int64 Count)
{
  if (FPosition < 0 || Count <= 0) return 0;
  Int64 result = FSize - FPosition;
  if (result <= 0) return 0;
  if (result > Count) result = Count;
  std::memcpy(Buffer, static_cast<const char*>(FMemory) + FPosition, static_cast<std::size_t>(result));
  FPosition += result;
  return result;
}

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
  switch (Origin) {
    case soBeginning: FPosition = Offset; break;
    case soCurrent: FPosition += Offset; break;
    case soEnd: FPosition = FSize + Offset; break;
  }
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream)
{
  if (FSize != 0) Stream->WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const String& FileName)
{
  AtomicSaveToFile(FileName, FMemory, static_cast<std::size_t>(FSize));
}

void TCustomMemoryStream::SetPointer(void* Ptr, Int64 Size)
{
  FMemory = Ptr;
  FSize = Size;
}

// --- TMemoryStream ---

namespace {

constexpr Int64 MemoryDelta = 0x2000;

Int64 RoundToDelta(Int64 Capacity)
{
  return (Capacity + (MemoryDelta - 1)) & ~(MemoryDelta - 1);
}

}  // namespace

TMemoryStream::~TMemoryStream()
{
  Clear();
}

void TMemoryStream::SetCapacity(Int64 NewCapacity)
{
  // Beyond this the rounding itself would overflow; no allocation could succeed anyway.
  if (NewCapacity > std::numeric_limits<Int64>::max() - MemoryDelta) throw EOutOfMemory(RtlConsts::SMemoryStreamError);
  if (NewCapacity > 0) NewCapacity = RoundToDelta(NewCapacity);
  if (NewCapacity == FCapacity) return;
  if (NewCapacity <= 0) {
    std::free(FMemory);
    FMemory = nullptr;
    FCapacity = 0;
    return;
  }
  if (static_cast<UInt64>(NewCapacity) > SIZE_MAX) throw EOutOfMemory(RtlConsts::SMemoryStreamError);
  void* memory = std::realloc(FMemory, static_cast<std::size_t>(NewCapacity));
  if (memory == nullptr) throw EOutOfMemory(RtlConsts::SMemoryStreamError);
  FMemory = memory;
  FCapacity = NewCapacity;
}

Int64 TMemoryStream::Write(const void* Buffer, Int64 Count)
{
  // Nothing before the start, nor where the end would be beyond any size.
  if (FPosition < 0 || Count <= 0 || Count > std::numeric_limits<Int64>::max() - FPosition) return 0;
  const Int64 pos = FPosition + Count;
  if (pos > FSize) {
    // Grow by at least half, so that writing piece by piece stays linear.
    if (pos > FCapacity) SetCapacity(std::max(pos, FCapacity + FCapacity / 2));
    // A gap left by seeking past the end reads as zeros.
    if (FPosition > FSize)
      std::memset(static_cast<char*>(FMemory) + FSize, 0, static_cast<std::size_t>(FPosition - FSize));
    FSize = pos;
  }
  std::memcpy(static_cast<char*>(FMemory) + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition = pos;
  return Count;
}

void TMemoryStream::SetSize(Int64 NewSize)
{
  if (NewSize < 0) NewSize = 0;
  const Int64 oldSize = FSize;
  SetCapacity(NewSize);
  if (NewSize > oldSize)
    std::memset(static_cast<char*>(FMemory) + oldSize, 0, static_cast<std::size_t>(NewSize - oldSize));
  FSize = NewSize;
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear()
{
  SetCapacity(0);
  FSize = 0;
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream)
{
  Stream->SetPosition(0);
  const Int64 count = Stream->GetSize();
  // Read into fresh memory first: a failing read leaves the old contents as they were.
  TMemoryStream fresh;
  fresh.SetSize(count);
  if (count != 0) Stream->ReadBuffer(fresh.FMemory, count);
  std::swap(FMemory, fresh.FMemory);
  std::swap(FCapacity, fresh.FCapacity);
  FSize = count;
  if (FPosition > FSize) FPosition = FSize;
}

void TMemoryStream::LoadFromFile(const String& FileName)
{
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

// --- TStringStream ---

Int64 TStringStream::Read(void* Buffer, Int64 Count)
{
  if (Count <= 0) return 0;
  Int64 result = GetSize() - FPosition;
  if (result <= 0) return 0;
  if (result > Count) result = Count;
  std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<std::size_t>(result));
  FPosition += result;
  return result;
}

Int64 TStringStream::Write(const void* Buffer, Int64 Count)
{
  if (Count <= 0) return 0;
  const Int64 end = FPosition + Count;
  if (end > GetSize()) FDataString.resize(static_cast<std::size_t>(end));
  std::memcpy(FDataString.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition = end;
  return Count;
}

Int64 TStringStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
  switch (Origin) {
    case soBeginning: FPosition = Offset; break;
    case soCurrent: FPosition += Offset; break;
    case soEnd: FPosition = GetSize() + Offset; break;
  }
  FPosition = std::clamp<Int64>(FPosition, 0, GetSize());
  return FPosition;
}

void TStringStream::SetSize(Int64 NewSize)
{
  FDataString.resize(static_cast<std::size_t>(std::max<Int64>(NewSize, 0)));
  if (FPosition > GetSize()) FPosition = GetSize();
}

String TStringStream::ReadString(Int64 Count)
{
  const Int64 n = std::clamp<Int64>(GetSize() - FPosition, 0, std::max<Int64>(Count, 0));
  String result = FDataString.substr(static_cast<std::size_t>(FPosition), static_cast<std::size_t>(n));
  FPosition += n;
  return result;
}

void TStringStream::WriteString(const String& AString)
{
  Write(AString.data(), static_cast<Int64>(AString.size()));
}

// --- AtomicSaveToFile ---

namespace {

[[noreturn]] void RaiseCreateError(const String& FileName, int ErrorCode)
{
  SetLastError(Win32ErrorOfErrno(ErrorCode));
  throw EFCreateError(RtlConsts::SFCreateErrorEx, {FileName, SysErrorMessage(GetLastError())});
}

// The parts of a path between its '/'.
std::vector<String> PathParts(const String& Path)
{
  std::vector<String> parts;
  std::size_t start = 0;
  while (start <= Path.size()) {
    std::size_t end = Path.find('/', start);
    if (end == String::npos) end = Path.size();
    if (end > start) parts.push_back(Path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// A link the kernel's rule for shared folders lets us follow: outside a sticky world-writable
// folder any link; inside one only a link that is ours or the folder owner's, so that a link
// another user planted in /tmp never leads a save into our files.
bool MayFollow(const String& Folder, const struct stat& Link)
{
  struct stat dir;
  if (::stat(Folder.empty() ? "/" : Folder.c_str(), &dir) != 0) return false;
  const bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
  return !shared || Link.st_uid == ::geteuid() || Link.st_uid == dir.st_uid;
}

// The file a save should replace: where FileName's links lead, each link followed under the
// rule above (false with errno EACCES for a link that must not be followed, ELOOP for a loop).
// A name that does not exist yet is created where its folder's links lead; a dangling link is
// replaced itself.
bool ResolveSaveTarget(const String& FileName, String& Target)
{
  Target = FileName;
  if (FileName.empty()) return true;
  std::vector<String> pending = PathParts(FileName);
  std::reverse(pending.begin(), pending.end());  // the next part at the back
  String done;  // the resolved folder so far, "" for "/" (relative names start at the current folder)
  if (FileName[0] != '/') {
    std::unique_ptr<char, void (*)(void*)> cwd(::getcwd(nullptr, 0), std::free);
    if (!cwd) return true;
    done = cwd.get();
    if (done == "/") done.clear();
  }
  String finalLink;  // the last link that stood at the end of the name
  int links = 0;
  while (!pending.empty()) {
    const String part = pending.back();
    pending.pop_back();
    if (part == ".") continue;
    if (part == "..") {
      done.erase(done.empty() ? 0 : done.rfind('/'));
      continue;
    }
    const String candidate = done + "/" + part;
    struct stat st;
    if (::lstat(candidate.c_str(), &st) != 0) {
      if (errno != ENOENT || !pending.empty()) {
        Target = FileName;  // the save reports what is wrong with the name
        return true;
      }
      Target = finalLink.empty() ? candidate : finalLink;
      return true;
    }
    if (!S_ISLNK(st.st_mode)) {
      done = candidate;
      continue;
    }
    if (++links > 40) {
      errno = ELOOP;
      return false;
    }
    if (!MayFollow(done, st)) {
      errno = EACCES;
      return false;
    }
    std::vector<char> text(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 2);
    const ssize_t n = ::readlink(candidate.c_str(), text.data(), text.size() - 1);
    if (n <= 0) {
      Target = FileName;
      return true;
    }
    const String linkText(text.data(), static_cast<std::size_t>(n));
    if (pending.empty()) finalLink = candidate;
    std::vector<String> more = PathParts(linkText);
    pending.insert(pending.end(), more.rbegin(), more.rend());
    if (linkText[0] == '/') done.clear();
  }
  Target = done.empty() ? String("/") : done;
  return true;
}

}  // namespace

void AtomicSaveToFile(const String& FileName, const void* Data, std::size_t Count)
{
  String target;
  if (!ResolveSaveTarget(FileName, target)) RaiseCreateError(FileName, errno);
  struct stat st;
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) RaiseCreateError(FileName, EISDIR);

  TReplacementFile out(target);
  if (out.GetHandle() < 0) RaiseCreateError(FileName, errno);
  // The replacement keeps the old file's permissions (best effort: ownership can't follow).
  if (exists && S_ISREG(st.st_mode)) (void)::fchmod(out.GetHandle(), st.st_mode & 07777);
  if (!out.Write(Data, Count) || !out.Commit(true, false)) RaiseCreateError(FileName, errno);
}
