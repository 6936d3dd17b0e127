// The volume table: every mounted file system that a user would see as a drive, plus the
// optical drives that hold no mounted disc (Windows lists an empty CD drive too), each with
// its drive type, label, serial number and the drive letter our layer gives it.
//
// Sources, all read below the table's root folder (normally "/", a fake tree in tests):
//   <root>proc/self/mountinfo      the mount table
//   <root>sys/block/<disk>[/<part>] device numbers, the "removable" flag; "sr*" are optical drives
//   <root>dev/<disk>               the device node of an optical drive (media test, disc label)
//   <root>dev/disk/by-label        labels of other file systems
// Mount points and mount sources are used as the mount table writes them.
//
// What is left out: kernel and system file systems (proc, sysfs, cgroup, devpts, ...), mounts
// under /proc, /sys, /dev, /run (except /run/media) and /snap, and bind mounts of a sub-folder.
//
// Drive letters: "C" is always "/". The optical drives follow in the order of their device
// names (sr0 = "D", ...), whether or not a disc is in, so a drive keeps its letter when discs
// come and go. The other volumes follow in the order of their mount points. A volume keeps its
// letter for as long as it stays in the table; a new one gets the lowest free letter; letters
// run from C to Z, and a volume beyond Z has none. So "E:\" <-> the mount point (or, for an
// optical drive, the device node "/dev/sr1" and the mount point of its disc, if mounted).
//
// Drive types: optical drives and iso9660/udf mounts are DRIVE_CDROM; nfs, cifs, smb and
// sshfs mounts DRIVE_REMOTE; tmpfs and ramfs DRIVE_RAMDISK; a disk with the kernel's
// removable flag, or a mount under /media or /run/media, DRIVE_REMOVABLE; the rest DRIVE_FIXED.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

constexpr UINT DRIVE_UNKNOWN = 0;
constexpr UINT DRIVE_NO_ROOT_DIR = 1;
constexpr UINT DRIVE_REMOVABLE = 2;
constexpr UINT DRIVE_FIXED = 3;
constexpr UINT DRIVE_REMOTE = 4;
constexpr UINT DRIVE_CDROM = 5;
constexpr UINT DRIVE_RAMDISK = 6;

struct TVolume {
  char Letter = 0;        // 'C'..'Z', or 0 when the letters ran out
  String MountPoint;      // "" for an optical drive whose disc (if any) is not mounted
  String Device;          // device node of an optical drive, else the mount source
  String FileSystem;      // the mount table's type ("ext4"), or the disc's ("iso9660", "udf")
  UINT DriveType = DRIVE_UNKNOWN;
  bool Optical = false;   // an optical drive (a block device "sr*")
  bool HasMedia = false;  // mounted, or a disc is in the optical drive
  bool ReadOnly = false;  // mounted read-only, or a disc that is not mounted
  bool NoExec = false;    // mounted with "noexec": nothing on it is started as a program
  String Label;
  DWORD Serial = 0;
  bool CaseSensitive = true;

  // The identity that keeps the letter: the device node for optical drives, else the mount point.
  String Key() const { return Optical ? "optical:" + Device : MountPoint; }
};

class TVolumeTable {
public:
  explicit TVolumeTable(const String& Root = "/");
  TVolumeTable(const TVolumeTable&) = delete;
  TVolumeTable& operator=(const TVolumeTable&) = delete;

  // Starts afresh from another root folder (letters assigned anew).
  void SetRoot(const String& Root);
  String GetRoot() const;

  // Reads the sources again. Known volumes keep their letters and, while their medium stays,
  // their label; new ones are read.
  void Refresh();

  // A copy of the table, "/" first, then by letter.
  std::vector<TVolume> Snapshot() const;
  bool FindLetter(char Letter, TVolume& Volume) const;
  // Path names a drive root: "X:", "X:\" or "X:/" of a listed letter, or a mount point (a
  // trailing separator allowed; either separator).
  bool FindRoot(const String& Path, TVolume& Volume) const;
  // The mounted volume that holds Path: the letter's volume for "X:..." paths, else the one with
  // the longest mount point that is a whole-component prefix of the path.
  bool FindContaining(const String& Path, TVolume& Volume) const;
  // Bit i set for every listed letter 'A' + i.
  DWORD LogicalDrives() const;

private:
  std::vector<TVolume> ReadVolumes(const std::vector<TVolume>& Previous) const;

  mutable std::mutex FLock;
  std::mutex FRefreshLock;  // one refresh at a time, so letters are handed out once
  String FRoot;
  std::vector<TVolume> FVolumes;
};

// The process's volume table over "/". Tests point it at a fake tree with SetRoot.
TVolumeTable& Volumes();

// A volume label made safe to become part of a name or an argument: control characters, '"',
// '/' and '\\' each become '_' (a disc or stick may carry any bytes in its label). Every label
// of the table and of ReadDiscLabel is cleaned so.
String CleanVolumeLabel(const String& Label);

// Reads the label of a disc or disc image: the UDF logical volume name when the disc has one,
// else the ISO 9660 volume name (trailing blanks removed). Serial is the checksum of the
// volume descriptor that Windows shows for discs; FileSystem "udf" or "iso9660". False when
// neither descriptor is found (no disc, not a disc image, unreadable).
bool ReadDiscLabel(const String& DeviceOrImage, String& Label, DWORD& Serial, String& FileSystem);

// Splits a drive-letter path "X:", "X:\rest" or "X:/rest": true with the upper-case letter and
// the rest after the separator (native separators); false for anything else.
bool SplitDriveLetterPath(const String& Path, char& Letter, String& Rest);
