#include "platform/os/Volumes.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/rtl/Paths.h"

namespace {

constexpr std::size_t SectorSize = 2048;

bool HasPrefixDir(const String& Path, const String& Dir)
{
  if (Path == Dir) return true;
  return Path.size() > Dir.size() && Path.compare(0, Dir.size(), Dir) == 0 && Path[Dir.size()] == '/';
}

String ReadSmallFile(const String& FileName)
{
  std::ifstream in(FileName, std::ios::binary);
  if (!in) return "";
  std::string data;
  char buf[4096];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    data.append(buf, static_cast<std::size_t>(in.gcount()));
    if (data.size() > (8u << 20)) break;  // a mount table is never this large
  }
  return data;
}

String TrimText(const String& S)
{
  std::size_t b = S.find_first_not_of(" \t\r\n");
  if (b == String::npos) return "";
  std::size_t e = S.find_last_not_of(" \t\r\n");
  return S.substr(b, e - b + 1);
}

// Mount-table fields escape blanks, tabs, newlines and backslashes as \ooo.
String UnescapeOctal(const String& S)
{
  String out;
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (S[i] == '\\' && i + 3 < S.size()) {
      const char a = S[i + 1], b = S[i + 2], c = S[i + 3];
      if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
        out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
        i += 3;
        continue;
      }
    }
    out += S[i];
  }
  return out;
}

// udev's by-label names escape unsafe characters as \xHH.
String UnescapeHex(const String& S)
{
  String out;
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (S[i] == '\\' && i + 3 < S.size() && S[i + 1] == 'x' && std::isxdigit(static_cast<unsigned char>(S[i + 2])) &&
        std::isxdigit(static_cast<unsigned char>(S[i + 3]))) {
      out += static_cast<char>(std::stoi(S.substr(i + 2, 2), nullptr, 16));
      i += 3;
      continue;
    }
    out += S[i];
  }
  return out;
}

struct TMountEntry {
  String MajMin;
  String Root;
  String MountPoint;
  String Options;
  String FsType;
  String Source;
};

std::vector<TMountEntry> ParseMountInfo(const String& Text)
{
  std::vector<TMountEntry> entries;
  std::istringstream lines(Text);
  String line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::vector<String> f;
    String word;
    while (fields >> word) f.push_back(word);
    // id parent major:minor root mount-point options [optional...] - type source super-options
    auto dash = std::find(f.begin(), f.end(), String("-"));
    if (f.size() < 6 || dash == f.end() || dash - f.begin() < 6 || f.end() - dash < 3) continue;
    TMountEntry e;
    e.MajMin = f[2];
    e.Root = UnescapeOctal(f[3]);
    e.MountPoint = UnescapeOctal(f[4]);
    e.Options = f[5];
    e.FsType = UnescapeOctal(*(dash + 1));
    e.Source = UnescapeOctal(*(dash + 2));
    if (e.MountPoint.empty() || e.MountPoint[0] != '/') continue;
    // The kernel writes no trailing "/"; a table that does still names the same folder.
    while (e.MountPoint.size() > 1 && e.MountPoint.back() == '/') e.MountPoint.pop_back();
    entries.push_back(e);
  }
  return entries;
}

bool IsSystemMount(const TMountEntry& E)
{
  static const std::set<String> pseudo = {
      "proc", "sysfs", "devtmpfs", "devpts", "securityfs", "cgroup", "cgroup2", "pstore", "bpf",
      "debugfs", "tracefs", "configfs", "fusectl", "mqueue", "hugetlbfs", "autofs", "binfmt_misc",
      "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "nfsd"};
  if (E.MountPoint == "/") return false;
  if (pseudo.count(E.FsType)) return true;
  for (const char* dir : {"/proc", "/sys", "/dev", "/snap"})
    if (HasPrefixDir(E.MountPoint, dir)) return true;
  if (HasPrefixDir(E.MountPoint, "/run") && !HasPrefixDir(E.MountPoint, "/run/media")) return true;
  // A bind mount of a sub-folder (or of a single file) repeats a volume listed elsewhere.
  if (E.Root != "/") return true;
  return false;
}

bool IsRemoteFs(const String& Fs)
{
  static const std::set<String> remote = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "sshfs",
                                          "ncpfs", "afs", "ceph", "glusterfs", "fuse.glusterfs", "davfs",
                                          "fuse.davfs2"};
  return remote.count(Fs) != 0;
}

bool IsCaseInsensitiveFs(const String& Fs)
{
  static const std::set<String> fs = {"vfat", "msdos", "exfat", "ntfs", "ntfs3", "fuseblk", "iso9660", "udf"};
  return fs.count(Fs) != 0;
}

bool HasOption(const String& Options, const String& Name)
{
  std::istringstream in(Options);
  String item;
  while (std::getline(in, item, ','))
    if (item == Name) return true;
  return false;
}

struct TBlockInfo {
  String Name;       // the disk's name ("sr0", "sdb"), also for its partitions
  bool Removable = false;
  bool Optical = false;
};

// Device numbers ("11:0") of the disks and partitions under <root>sys/block.
std::map<String, TBlockInfo> ReadBlockDevices(const String& Root, std::vector<String>& OpticalNames)
{
  std::map<String, TBlockInfo> result;
  const String blockDir = Root + "sys/block/";
  DIR* dir = opendir(blockDir.c_str());
  if (!dir) return result;
  std::vector<String> names;
  while (dirent* d = readdir(dir))
    if (d->d_name[0] != '.') names.push_back(d->d_name);
  closedir(dir);
  std::sort(names.begin(), names.end());
  for (const String& name : names) {
    TBlockInfo info;
    info.Name = name;
    info.Optical = name.compare(0, 2, "sr") == 0;
    info.Removable = TrimText(ReadSmallFile(blockDir + name + "/removable")) == "1";
    if (info.Optical) OpticalNames.push_back(name);
    const String dev = TrimText(ReadSmallFile(blockDir + name + "/dev"));
    if (!dev.empty()) result[dev] = info;
    // Partitions are sub-folders with their own "dev" file.
    if (DIR* sub = opendir((blockDir + name).c_str())) {
      while (dirent* p = readdir(sub)) {
        if (p->d_name[0] == '.') continue;
        const String partDev = TrimText(ReadSmallFile(blockDir + name + "/" + p->d_name + "/dev"));
        if (!partDev.empty() && partDev.find(':') != String::npos) result[partDev] = info;
      }
      closedir(sub);
    }
  }
  return result;
}

String LabelFromByLabel(const String& Root, const String& Device)
{
  if (Device.empty()) return "";
  const String dirName = Root + "dev/disk/by-label/";
  const String deviceBase = ExtractFileName(Device);
  DIR* dir = opendir(dirName.c_str());
  if (!dir) return "";
  String label;
  while (dirent* d = readdir(dir)) {
    if (d->d_name[0] == '.') continue;
    char target[4096];
    const ssize_t n = readlink((dirName + d->d_name).c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    target[n] = 0;
    if (ExtractFileName(target) == deviceBase) {
      label = UnescapeHex(d->d_name);
      break;
    }
  }
  closedir(dir);
  return label;
}

// A disc in the drive: the drive says so; a regular file standing for a drive (an image)
// counts as a disc when it is not empty.
bool OpticalMediaPresent(const String& Node)
{
  const int fd = open(Node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  bool present = false;
  const int status = ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
  if (status >= 0) {
    present = status == CDS_DISC_OK;
  } else {
    struct stat st {};
    present = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
  }
  close(fd);
  return present;
}

DWORD FsSerial(const String& MountPoint)
{
  struct statvfs sv {};
  if (statvfs(MountPoint.c_str(), &sv) != 0) return 0;
  return static_cast<DWORD>(sv.f_fsid ^ (static_cast<unsigned long long>(sv.f_fsid) >> 32));
}

bool ReadSector(int Fd, std::uint64_t Sector, std::array<unsigned char, SectorSize>& Buf)
{
  const ssize_t n = pread(Fd, Buf.data(), SectorSize, static_cast<off_t>(Sector * SectorSize));
  return n == static_cast<ssize_t>(SectorSize);
}

DWORD DescriptorChecksum(const std::array<unsigned char, SectorSize>& Sector)
{
  unsigned char sum[4] = {0, 0, 0, 0};
  for (std::size_t i = 0; i < SectorSize; i += 4)
    for (int k = 0; k < 4; ++k) sum[k] = static_cast<unsigned char>(sum[k] + Sector[i + k]);
  return static_cast<DWORD>(sum[0]) | (static_cast<DWORD>(sum[1]) << 8) | (static_cast<DWORD>(sum[2]) << 16) |
         (static_cast<DWORD>(sum[3]) << 24);
}

std::uint32_t Le32(const unsigned char* P)
{
  return static_cast<std::uint32_t>(P[0]) | (static_cast<std::uint32_t>(P[1]) << 8) |
         (static_cast<std::uint32_t>(P[2]) << 16) | (static_cast<std::uint32_t>(P[3]) << 24);
}

// A UDF descriptor tag: its identifier when the tag checksum holds, else -1.
int UdfTagId(const std::array<unsigned char, SectorSize>& S)
{
  unsigned sum = 0;
  for (int i = 0; i < 16; ++i)
    if (i != 4) sum += S[i];
  if ((sum & 0xFF) != S[4]) return -1;
  return S[0] | (S[1] << 8);
}

void AppendUtf8(String& Out, unsigned Code)
{
  if (Code < 0x80) {
    Out += static_cast<char>(Code);
  } else if (Code < 0x800) {
    Out += static_cast<char>(0xC0 | (Code >> 6));
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  } else {
    Out += static_cast<char>(0xE0 | (Code >> 12));
    Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (Code & 0x3F));
  }
}

// A UDF "dstring": compression id 8 (one byte per character) or 16 (UTF-16 big-endian), the
// used length in the field's last byte.
String DecodeDString(const unsigned char* Field, std::size_t FieldSize)
{
  std::size_t used = Field[FieldSize - 1];
  if (used == 0 || used > FieldSize - 1) return "";
  String out;
  if (Field[0] == 8) {
    for (std::size_t i = 1; i < used; ++i) AppendUtf8(out, Field[i]);
  } else if (Field[0] == 16) {
    for (std::size_t i = 1; i + 1 < used; i += 2) {
      const unsigned code = (Field[i] << 8) | Field[i + 1];
      if (code >= 0xD800 && code <= 0xDFFF) continue;  // no surrogate pairs in a label
      AppendUtf8(out, code);
    }
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == 0)) out.pop_back();
  return out;
}

}  // namespace

String CleanVolumeLabel(const String& Label)
{
  String clean = Label;
  for (char& c : clean) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || c == '"' || c == '/' || c == '\\') c = '_';
  }
  return clean;
}

bool ReadDiscLabel(const String& DeviceOrImage, String& Label, DWORD& Serial, String& FileSystem)
{
  Label.clear();
  Serial = 0;
  FileSystem.clear();
  // Without O_NONBLOCK, opening a drive would pull its open tray back in.
  const int fd = open(DeviceOrImage.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  std::array<unsigned char, SectorSize> s{};
  bool found = false;
  // ISO 9660 primary volume descriptor at sector 16: type 1, "CD001", version 1.
  if (ReadSector(fd, 16, s) && s[0] == 1 && std::memcmp(&s[1], "CD001", 5) == 0 && s[6] == 1) {
    // The name is meant to be upper-case ASCII; other bytes are read as Latin-1, and a zero ends it.
    String id;
    for (std::size_t i = 40; i < 72 && s[i] != 0; ++i) AppendUtf8(id, s[i] < 0x20 ? '_' : s[i]);
    while (!id.empty() && id.back() == ' ') id.pop_back();
    Label = id;
    Serial = DescriptorChecksum(s);
    FileSystem = "iso9660";
    found = true;
  }
  // UDF: the anchor at sector 256 points at the main volume descriptor sequence, which holds
  // the logical volume descriptor (tag 6) with the volume's name at offset 84 (128 bytes).
  if (ReadSector(fd, 256, s) && UdfTagId(s) == 2) {
    const std::uint32_t length = Le32(&s[16]);
    const std::uint32_t location = Le32(&s[20]);
    const std::uint32_t count = std::min<std::uint32_t>(length / SectorSize, 64);
    for (std::uint32_t i = 0; i < count; ++i) {
      if (!ReadSector(fd, static_cast<std::uint64_t>(location) + i, s)) break;
      const int tag = UdfTagId(s);
      if (tag == 8 || tag < 0) break;  // terminating descriptor, or not a descriptor
      if (tag == 6) {
        const String name = DecodeDString(&s[84], 128);
        if (!name.empty()) Label = name;
        if (!found) Serial = DescriptorChecksum(s);
        FileSystem = "udf";
        found = true;
        break;
      }
    }
  }
  close(fd);
  Label = CleanVolumeLabel(Label);
  return found;
}

bool SplitDriveLetterPath(const String& Path, char& Letter, String& Rest)
{
  if (Path.size() < 2 || Path[1] != ':' || !std::isalpha(static_cast<unsigned char>(Path[0]))) return false;
  if (Path.size() > 2 && Path[2] != '\\' && Path[2] != '/') return false;
  Letter = static_cast<char>(std::toupper(static_cast<unsigned char>(Path[0])));
  Rest = Path.size() > 3 ? SubPath("", Path.substr(3)) : "";  // a drive path is the program's own
  return true;
}

TVolumeTable::TVolumeTable(const String& Root) : FRoot(IncludeTrailingPathDelimiter(Root)) {}

void TVolumeTable::SetRoot(const String& Root)
{
  std::lock_guard<std::mutex> refresh(FRefreshLock);
  std::lock_guard<std::mutex> lock(FLock);
  FRoot = IncludeTrailingPathDelimiter(Root);
  FVolumes.clear();
}

String TVolumeTable::GetRoot() const
{
  std::lock_guard<std::mutex> lock(FLock);
  return FRoot;
}

std::vector<TVolume> TVolumeTable::ReadVolumes(const std::vector<TVolume>& Previous) const
{
  const String root = GetRoot();
  std::vector<String> opticalNames;
  const auto blocks = ReadBlockDevices(root, opticalNames);
  const auto mounts = ParseMountInfo(ReadSmallFile(root + "proc/self/mountinfo"));

  std::vector<TVolume> list;
  std::set<String> mountedOptical;
  std::map<String, std::size_t> byMountPoint;  // a later mount on the same point hides the earlier
  for (const TMountEntry& e : mounts) {
    if (IsSystemMount(e)) continue;
    TVolume v;
    v.MountPoint = e.MountPoint;
    v.Device = e.Source;
    v.FileSystem = e.FsType;
    v.HasMedia = true;
    v.ReadOnly = HasOption(e.Options, "ro");
    v.NoExec = HasOption(e.Options, "noexec");
    auto block = blocks.find(e.MajMin);
    const bool removable = block != blocks.end() && block->second.Removable;
    if (block != blocks.end() && block->second.Optical && !mountedOptical.count(block->second.Name)) {
      v.Optical = true;
      v.Device = root + "dev/" + block->second.Name;
      mountedOptical.insert(block->second.Name);
    }
    if (v.Optical || e.FsType == "iso9660" || e.FsType == "udf")
      v.DriveType = DRIVE_CDROM;
    else if (IsRemoteFs(e.FsType))
      v.DriveType = DRIVE_REMOTE;
    else if (e.FsType == "tmpfs" || e.FsType == "ramfs")
      v.DriveType = DRIVE_RAMDISK;
    else if (removable || HasPrefixDir(e.MountPoint, "/media") || HasPrefixDir(e.MountPoint, "/run/media"))
      v.DriveType = DRIVE_REMOVABLE;
    else
      v.DriveType = DRIVE_FIXED;
    v.CaseSensitive = !IsCaseInsensitiveFs(e.FsType);
    auto same = byMountPoint.find(v.MountPoint);
    if (same != byMountPoint.end()) {
      list[same->second] = v;
    } else {
      byMountPoint[v.MountPoint] = list.size();
      list.push_back(v);
    }
  }
  if (!byMountPoint.count("/")) {
    TVolume v;
    v.MountPoint = "/";
    v.DriveType = DRIVE_FIXED;
    v.HasMedia = true;
    list.push_back(v);
  }
  // Optical drives without a mounted disc.
  for (const String& name : opticalNames) {
    if (mountedOptical.count(name)) continue;
    TVolume v;
    v.Optical = true;
    v.Device = root + "dev/" + name;
    v.DriveType = DRIVE_CDROM;
    v.HasMedia = OpticalMediaPresent(v.Device);
    v.ReadOnly = true;
    v.CaseSensitive = false;
    list.push_back(v);
  }

  // Labels and serials: kept from the last reading while the medium stayed in.
  std::map<String, const TVolume*> previous;
  for (const TVolume& p : Previous) previous[p.Key()] = &p;
  for (TVolume& v : list) {
    auto old = previous.find(v.Key());
    if (old != previous.end() && old->second->HasMedia && v.HasMedia && old->second->Device == v.Device &&
        old->second->MountPoint == v.MountPoint) {
      v.Label = old->second->Label;
      v.Serial = old->second->Serial;
      if (v.MountPoint.empty()) v.FileSystem = old->second->FileSystem;
      continue;
    }
    if (!v.HasMedia) continue;
    if (v.DriveType == DRIVE_CDROM) {
      String label, fs;
      DWORD serial = 0;
      if (ReadDiscLabel(v.Device, label, serial, fs)) {
        v.Label = label;
        v.Serial = serial;
        if (v.MountPoint.empty()) v.FileSystem = fs;
      }
    }
    if (v.Label.empty()) v.Label = LabelFromByLabel(root, v.Device);
    if (v.Label.empty() && !v.MountPoint.empty() && (v.DriveType == DRIVE_CDROM || v.DriveType == DRIVE_REMOVABLE) &&
        (HasPrefixDir(v.MountPoint, "/media") || HasPrefixDir(v.MountPoint, "/run/media")))
      v.Label = ExtractFileName(v.MountPoint);  // udisks names the mount point after the label
    v.Label = CleanVolumeLabel(v.Label);
    if (v.Serial == 0 && !v.MountPoint.empty()) v.Serial = FsSerial(v.MountPoint);
  }

  // Letters: "/" is C; known volumes keep theirs; the rest get the lowest free one in the
  // order optical drives (by device), then mount points.
  std::stable_sort(list.begin(), list.end(), [](const TVolume& A, const TVolume& B) {
    auto rank = [](const TVolume& V) { return V.MountPoint == "/" && !V.Optical ? 0 : V.Optical ? 1 : 2; };
    if (rank(A) != rank(B)) return rank(A) < rank(B);
    return A.Optical ? A.Device < B.Device : A.MountPoint < B.MountPoint;
  });
  std::set<char> used{'A', 'B', 'C'};
  for (TVolume& v : list)
    if (v.MountPoint == "/" && !v.Optical) v.Letter = 'C';
  for (TVolume& v : list) {
    if (v.Letter) continue;
    auto old = previous.find(v.Key());
    if (old != previous.end() && old->second->Letter && !used.count(old->second->Letter)) {
      v.Letter = old->second->Letter;
      used.insert(v.Letter);
    }
  }
  for (TVolume& v : list) {
    if (v.Letter) continue;
    for (char l = 'D'; l <= 'Z'; ++l) {
      if (!used.count(l)) {
        v.Letter = l;
        used.insert(l);
        break;
      }
    }
  }
  std::stable_sort(list.begin(), list.end(), [](const TVolume& A, const TVolume& B) {
    return (A.Letter ? A.Letter : 127) < (B.Letter ? B.Letter : 127);
  });
  return list;
}

void TVolumeTable::Refresh()
{
  std::lock_guard<std::mutex> refresh(FRefreshLock);
  std::vector<TVolume> previous = Snapshot();
  std::vector<TVolume> fresh = ReadVolumes(previous);
  std::lock_guard<std::mutex> lock(FLock);
  FVolumes = std::move(fresh);
}

std::vector<TVolume> TVolumeTable::Snapshot() const
{
  std::lock_guard<std::mutex> lock(FLock);
  return FVolumes;
}

bool TVolumeTable::FindLetter(char Letter, TVolume& Volume) const
{
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(Letter)));
  std::lock_guard<std::mutex> lock(FLock);
  for (const TVolume& v : FVolumes) {
    if (v.Letter && v.Letter == upper) {
      Volume = v;
      return true;
    }
  }
  return false;
}

bool TVolumeTable::FindRoot(const String& Path, TVolume& Volume) const
{
  char letter = 0;
  String rest;
  if (SplitDriveLetterPath(Path, letter, rest)) return rest.empty() && FindLetter(letter, Volume);
  String p = Path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  if (p.empty()) return false;
  std::lock_guard<std::mutex> lock(FLock);
  for (const TVolume& v : FVolumes) {
    if (!v.MountPoint.empty() && v.MountPoint == p) {
      Volume = v;
      return true;
    }
  }
  return false;
}

bool TVolumeTable::FindContaining(const String& Path, TVolume& Volume) const
{
  char letter = 0;
  String rest;
  if (SplitDriveLetterPath(Path, letter, rest)) return FindLetter(letter, Volume);
  const String& p = Path;
  if (p.empty() || p[0] != '/') return false;
  std::lock_guard<std::mutex> lock(FLock);
  const TVolume* best = nullptr;
  for (const TVolume& v : FVolumes) {
    if (v.MountPoint.empty()) continue;
    const bool inside = v.MountPoint == "/" || HasPrefixDir(p, v.MountPoint);
    if (inside && (!best || v.MountPoint.size() > best->MountPoint.size())) best = &v;
  }
  if (!best) return false;
  Volume = *best;
  return true;
}

DWORD TVolumeTable::LogicalDrives() const
{
  std::lock_guard<std::mutex> lock(FLock);
  DWORD mask = 0;
  for (const TVolume& v : FVolumes)
    if (v.Letter >= 'A' && v.Letter <= 'Z') mask |= 1u << (v.Letter - 'A');
  return mask;
}

TVolumeTable& Volumes()
{
  static TVolumeTable table("/");
  return table;
}
