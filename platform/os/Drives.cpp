#include "platform/os/Drives.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Paths.h"

namespace {

constexpr DWORD ErrorPathNotFound = 3;

std::atomic<UINT> ErrorMode{0};

bool CopyOut(const String& Text, LPSTR Buffer, DWORD Size)
{
  if (!Buffer) return true;
  if (Text.size() + 1 > Size) return false;
  std::memcpy(Buffer, Text.c_str(), Text.size() + 1);
  return true;
}

// The native folder a path names: drive-letter paths are resolved against the letter's mount.
bool ResolvePath(const String& Path, String& Native, TVolume& Volume)
{
  char letter = 0;
  String rest;
  if (SplitDriveLetterPath(Path, letter, rest)) {
    if (!Volumes().FindLetter(letter, Volume)) return false;
    if (Volume.MountPoint.empty()) {
      Native.clear();
      return true;
    }
    Native = rest.empty() ? Volume.MountPoint : IncludeTrailingPathDelimiter(Volume.MountPoint) + rest;
    return true;
  }
  Native = Path.empty() ? GetCurrentDir() : ExpandFileName(Path);
  return Volumes().FindContaining(Native, Volume);
}

bool DiskSpace(const String& Path, ULONGLONG& Available, ULONGLONG& Total, ULONGLONG& Free)
{
  Volumes().Refresh();
  String native;
  TVolume volume;
  if (!ResolvePath(Path, native, volume)) {
    SetLastError(ErrorPathNotFound);
    return false;
  }
  if (native.empty() || !volume.HasMedia) {
    SetLastError(ERROR_NOT_READY);
    return false;
  }
  struct statvfs sv {};
  if (statvfs(native.c_str(), &sv) != 0) {
    SetLastError(errno == ENOENT || errno == ENOTDIR ? ErrorPathNotFound : Win32ErrorOfErrno(errno));
    return false;
  }
  const ULONGLONG unit = sv.f_frsize ? sv.f_frsize : sv.f_bsize;
  Available = static_cast<ULONGLONG>(sv.f_bavail) * unit;
  Total = static_cast<ULONGLONG>(sv.f_blocks) * unit;
  Free = static_cast<ULONGLONG>(sv.f_bfree) * unit;
  return true;
}

String DriveNumberPath(Byte Drive)
{
  if (Drive == 0) return GetCurrentDir();
  if (Drive > 26) return "";
  return String(1, static_cast<char>('A' + Drive - 1)) + ":\\";
}

}  // namespace

UINT GetDriveTypeA(LPCSTR RootPathName)
{
  Volumes().Refresh();
  TVolume volume;
  if (!RootPathName) return Volumes().FindContaining(GetCurrentDir(), volume) ? volume.DriveType : DRIVE_NO_ROOT_DIR;
  return Volumes().FindRoot(RootPathName, volume) ? volume.DriveType : DRIVE_NO_ROOT_DIR;
}

BOOL GetVolumeInformationA(LPCSTR RootPathName, LPSTR VolumeNameBuffer, DWORD VolumeNameSize,
                           DWORD* VolumeSerialNumber, DWORD* MaximumComponentLength, DWORD* FileSystemFlags,
                           LPSTR FileSystemNameBuffer, DWORD FileSystemNameSize)
{
  Volumes().Refresh();
  TVolume volume;
  const String root = RootPathName ? String(RootPathName) : String();
  bool found = RootPathName ? Volumes().FindRoot(root, volume) : Volumes().FindContaining(GetCurrentDir(), volume);
  if (!found) {
    char letter = 0;
    String rest;
    struct stat st {};
    const bool isFolder = !SplitDriveLetterPath(root, letter, rest) && stat(root.c_str(), &st) == 0;
    SetLastError(isFolder ? ERROR_DIR_NOT_ROOT : ErrorPathNotFound);
    return FALSE;
  }
  if (!volume.HasMedia) {
    SetLastError(ERROR_NOT_READY);
    return FALSE;
  }
  if (!CopyOut(volume.Label, VolumeNameBuffer, VolumeNameSize) ||
      !CopyOut(volume.FileSystem, FileSystemNameBuffer, FileSystemNameSize)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (VolumeSerialNumber) *VolumeSerialNumber = volume.Serial;
  if (MaximumComponentLength) {
    DWORD maxName = 255;
    struct statvfs sv {};
    if (!volume.MountPoint.empty() && statvfs(volume.MountPoint.c_str(), &sv) == 0 && sv.f_namemax > 0)
      maxName = static_cast<DWORD>(sv.f_namemax);
    *MaximumComponentLength = maxName;
  }
  if (FileSystemFlags) {
    DWORD flags = FS_CASE_IS_PRESERVED | FS_UNICODE_STORED_ON_DISK;
    if (volume.CaseSensitive) flags |= FS_CASE_SENSITIVE;
    if (volume.ReadOnly) flags |= FILE_READ_ONLY_VOLUME;
    *FileSystemFlags = flags;
  }
  SetLastError(0);
  return TRUE;
}

DWORD GetLogicalDrives()
{
  Volumes().Refresh();
  return Volumes().LogicalDrives();
}

BOOL GetDiskFreeSpaceExA(LPCSTR DirectoryName, PULARGE_INTEGER FreeBytesAvailableToCaller,
                         PULARGE_INTEGER TotalNumberOfBytes, PULARGE_INTEGER TotalNumberOfFreeBytes)
{
  ULONGLONG available = 0, total = 0, free = 0;
  if (!DiskSpace(DirectoryName ? String(DirectoryName) : String(), available, total, free)) return FALSE;
  if (FreeBytesAvailableToCaller) FreeBytesAvailableToCaller->QuadPart = available;
  if (TotalNumberOfBytes) TotalNumberOfBytes->QuadPart = total;
  if (TotalNumberOfFreeBytes) TotalNumberOfFreeBytes->QuadPart = free;
  SetLastError(0);
  return TRUE;
}

DWORD WNetGetConnectionA(LPCSTR LocalName, LPSTR RemoteName, DWORD* Length)
{
  char letter = 0;
  String rest;
  if (!LocalName || !Length || !SplitDriveLetterPath(LocalName, letter, rest) || !rest.empty()) return ERROR_BAD_DEVICE;
  Volumes().Refresh();
  TVolume volume;
  if (!Volumes().FindLetter(letter, volume)) return ERROR_BAD_DEVICE;
  if (volume.DriveType != DRIVE_REMOTE) return ERROR_NOT_CONNECTED;
  if (!RemoteName || volume.Device.size() + 1 > *Length) {
    *Length = static_cast<DWORD>(volume.Device.size() + 1);
    return ERROR_MORE_DATA;
  }
  std::memcpy(RemoteName, volume.Device.c_str(), volume.Device.size() + 1);
  return NO_ERROR;
}

UINT SetErrorMode(UINT Mode) { return ErrorMode.exchange(Mode); }

Int64 DiskFree(Byte Drive)
{
  const String path = DriveNumberPath(Drive);
  ULONGLONG available = 0, total = 0, free = 0;
  if (path.empty() || !DiskSpace(path, available, total, free)) return -1;
  return static_cast<Int64>(available);
}

Int64 DiskSize(Byte Drive)
{
  const String path = DriveNumberPath(Drive);
  ULONGLONG available = 0, total = 0, free = 0;
  if (path.empty() || !DiskSpace(path, available, total, free)) return -1;
  return static_cast<Int64>(total);
}

String DriveRootPath(char Letter)
{
  Volumes().Refresh();
  TVolume volume;
  return Volumes().FindLetter(Letter, volume) ? volume.MountPoint : String();
}
