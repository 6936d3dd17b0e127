// The Windows drive functions over the volume table (Volumes.h): drive types, volume
// information, the logical-drive mask, free space, network connections and the class
// library's DiskFree/DiskSize. Every call reads the table afresh, so it answers for the moment
// of the call.
//
// A root path is either a drive-letter root ("E:", "E:\" or "E:/", letters as the volume table
// assigns them) or a volume's mount point ("/media/ann/DISC", a trailing separator allowed).
// Paths given to the free-space functions may be any folder on a volume, in either form
// ("E:\VIDEO_TS" is the folder VIDEO_TS below the mount point of E).
#pragma once

#include "platform/os/Volumes.h"
#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

constexpr DWORD ERROR_INVALID_DRIVE = 15;
constexpr DWORD ERROR_NOT_READY = 21;
constexpr DWORD ERROR_DIR_NOT_ROOT = 144;
constexpr DWORD ERROR_BAD_DEVICE = 1200;
constexpr DWORD ERROR_NOT_CONNECTED = 2250;

// Volume flags of GetVolumeInformation.
constexpr DWORD FS_CASE_SENSITIVE = 0x00000001;
constexpr DWORD FS_CASE_IS_PRESERVED = 0x00000002;
constexpr DWORD FS_UNICODE_STORED_ON_DISK = 0x00000004;
constexpr DWORD FILE_READ_ONLY_VOLUME = 0x00080000;

// Error modes of SetErrorMode. There are no system error boxes here: the mode is only kept.
constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOGPFAULTERRORBOX = 0x0002;
constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;

union ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  } u;
  ULONGLONG QuadPart;
};
using PULARGE_INTEGER = ULARGE_INTEGER*;

// DRIVE_* of the root; DRIVE_NO_ROOT_DIR when RootPathName is not a drive root. Null means the
// root of the current directory's volume.
UINT GetDriveTypeA(LPCSTR RootPathName);
inline UINT GetDriveType(LPCSTR RootPathName) { return GetDriveTypeA(RootPathName); }

// Label, serial number, longest name, FS_* flags and file-system name ("ext4", "iso9660",
// "udf": the Linux names) of a drive root; every output may be null. Fails with
// ERROR_PATH_NOT_FOUND for an unknown drive, ERROR_DIR_NOT_ROOT for a folder that is not a
// root, ERROR_NOT_READY for an optical drive without a disc, ERROR_INSUFFICIENT_BUFFER when a
// text does not fit (with its terminating zero).
BOOL GetVolumeInformationA(LPCSTR RootPathName, LPSTR VolumeNameBuffer, DWORD VolumeNameSize,
                           DWORD* VolumeSerialNumber, DWORD* MaximumComponentLength, DWORD* FileSystemFlags,
                           LPSTR FileSystemNameBuffer, DWORD FileSystemNameSize);
inline BOOL GetVolumeInformation(LPCSTR RootPathName, LPSTR VolumeNameBuffer, DWORD VolumeNameSize,
                                 DWORD* VolumeSerialNumber, DWORD* MaximumComponentLength, DWORD* FileSystemFlags,
                                 LPSTR FileSystemNameBuffer, DWORD FileSystemNameSize)
{
  return GetVolumeInformationA(RootPathName, VolumeNameBuffer, VolumeNameSize, VolumeSerialNumber,
                               MaximumComponentLength, FileSystemFlags, FileSystemNameBuffer, FileSystemNameSize);
}

// Bit i set for every drive letter 'A' + i in use.
DWORD GetLogicalDrives();

// Bytes available to the caller, total and free on the volume of DirectoryName (null: the
// current directory). Any output may be null. ERROR_NOT_READY for a drive without a mounted
// medium, ERROR_PATH_NOT_FOUND when the folder does not exist.
BOOL GetDiskFreeSpaceExA(LPCSTR DirectoryName, PULARGE_INTEGER FreeBytesAvailableToCaller,
                         PULARGE_INTEGER TotalNumberOfBytes, PULARGE_INTEGER TotalNumberOfFreeBytes);

// The remote name of a network drive ("X:"): the mount source ("server:/export",
// "//server/share"). ERROR_NOT_CONNECTED for a local drive, ERROR_BAD_DEVICE for a name that is
// no listed drive, ERROR_MORE_DATA (with the size needed in *Length) when the buffer is short.
DWORD WNetGetConnectionA(LPCSTR LocalName, LPSTR RemoteName, DWORD* Length);

// Keeps the process's error mode and returns the previous one.
UINT SetErrorMode(UINT Mode);

// The class library's DiskFree and DiskSize: Drive 0 is the current directory's drive, 1 is A,
// 3 is C. -1 when there is no such drive or it holds no mounted medium.
Int64 DiskFree(Byte Drive);
Int64 DiskSize(Byte Drive);

// The mount point of a drive letter ("" when the letter is not listed or nothing is mounted).
String DriveRootPath(char Letter);
