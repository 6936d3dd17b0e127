#include "platform/os/Registry.h"

#include <sys/stat.h>

#include <atomic>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/os/Folders.h"
#include "platform/os/ToolLinks.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"

namespace {

constexpr LONG ErrorFileNotFound = 2;

struct TRegKey {
  String Path;  // full path, root included, in canonical case of the root ("HKEY_LOCAL_MACHINE\Software")
};

std::mutex Lock;
std::set<TRegKey*> OpenKeys;
String FileNameOverride;

String Upper(String S)
{
  for (char& c : S)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return S;
}

const std::map<String, String>& RootNames()
{
  static const std::map<String, String> names = {
      {"HKEY_CLASSES_ROOT", "HKEY_CLASSES_ROOT"},     {"HKCR", "HKEY_CLASSES_ROOT"},
      {"HKEY_CURRENT_USER", "HKEY_CURRENT_USER"},     {"HKCU", "HKEY_CURRENT_USER"},
      {"HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE"},   {"HKLM", "HKEY_LOCAL_MACHINE"},
      {"HKEY_USERS", "HKEY_USERS"},                   {"HKU", "HKEY_USERS"},
      {"HKEY_CURRENT_CONFIG", "HKEY_CURRENT_CONFIG"}, {"HKCC", "HKEY_CURRENT_CONFIG"}};
  return names;
}

// The canonical upper-case path: root long name, single "\" between parts, none at the ends.
String Canonical(const String& Path)
{
  std::vector<String> parts;
  String part;
  for (char c : Path + "\\") {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(Upper(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (parts.empty()) return "";
  auto root = RootNames().find(parts[0]);
  if (root == RootNames().end()) return "";
  parts[0] = root->second;
  String out;
  for (const String& p : parts) out += (out.empty() ? "" : "\\") + p;
  return out;
}

String RootName(HKEY Key)
{
  if (Key == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (Key == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (Key == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  if (Key == HKEY_USERS) return "HKEY_USERS";
  if (Key == HKEY_CURRENT_CONFIG) return "HKEY_CURRENT_CONFIG";
  return "";
}

bool IsNoDataRoot(HKEY Key) { return Key == HKEY_PERFORMANCE_DATA || Key == HKEY_DYN_DATA; }

// The path of an open key or a root; false for an unknown handle.
bool KeyPath(HKEY Key, String& Path)
{
  Path = RootName(Key);
  if (!Path.empty()) return true;
  std::lock_guard<std::mutex> lock(Lock);
  auto* key = reinterpret_cast<TRegKey*>(Key);
  if (!OpenKeys.count(key)) return false;
  Path = key->Path;
  return true;
}

struct TRegValue {
  DWORD Type = REG_SZ;
  std::vector<BYTE> Data;
};

// The registry file's sections: canonical key path -> value name (upper case) -> value.
using TRegData = std::map<String, std::map<String, TRegValue>>;

}  // namespace

void ParseRegistryValue(const String& Text, DWORD& Type, std::vector<BYTE>& Data)
{
  if (Upper(Text.substr(0, 6)) == "DWORD:") {
    std::uint32_t n = 0;
    bool ok = Text.size() > 6 && Text.size() <= 14;
    for (std::size_t i = 6; ok && i < Text.size(); ++i) {
      const char c = Text[i];
      if (!std::isxdigit(static_cast<unsigned char>(c))) ok = false;
      else n = n * 16 + static_cast<std::uint32_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::toupper(c) - 'A' + 10));
    }
    if (ok) {
      Type = REG_DWORD;
      Data.clear();
      for (int i = 0; i < 4; ++i) Data.push_back(static_cast<BYTE>(n >> (8 * i)));
      return;
    }
  } else if (Upper(Text.substr(0, 4)) == "HEX:") {
    std::vector<BYTE> bytes;
    bool ok = true;
    const String list = Text.substr(4);
    std::size_t start = 0;
    while (ok && start < list.size()) {
      std::size_t end = list.find(',', start);
      if (end == String::npos) end = list.size();
      String item = list.substr(start, end - start);
      item.erase(0, item.find_first_not_of(' '));
      item.erase(item.find_last_not_of(' ') + 1);
      ok = !item.empty() && item.size() <= 2 && std::isxdigit(static_cast<unsigned char>(item[0])) &&
           std::isxdigit(static_cast<unsigned char>(item.back()));
      if (ok) bytes.push_back(static_cast<BYTE>(std::stoi(item, nullptr, 16)));
      start = end + 1;
    }
    if (ok) {
      Type = REG_BINARY;
      Data = bytes;
      return;
    }
  }
  Type = REG_SZ;
  Data.assign(Text.begin(), Text.end());
  Data.push_back(0);
}

namespace {

TRegValue ParseValue(const String& Text)
{
  TRegValue v;
  ParseRegistryValue(Text, v.Type, v.Data);
  return v;
}

TRegData ReadRegistryFile(const String& FileName)
{
  TRegData data;
  TMemIniFile ini(FileName);
  TStringList sections, lines;
  ini.ReadSections(&sections);
  for (int i = 0; i < sections.GetCount(); ++i) {
    const String path = Canonical(sections[i]);
    if (path.empty()) continue;
    auto& values = data[path];
    lines.Clear();
    ini.ReadSectionValues(sections[i], &lines);
    for (int k = 0; k < lines.GetCount(); ++k) {
      const String line = lines[k];
      const std::size_t eq = line.find('=');
      if (eq == String::npos) continue;
      String name = line.substr(0, eq);
      if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
      if (name == "@") name.clear();
      const String upper = Upper(name);
      if (!values.count(upper)) values[upper] = ParseValue(line.substr(eq + 1));
    }
  }
  return data;
}

// The file's contents, read again only when the file changed (another name, or another
// device, inode, size or modification time): every call of the registry functions asks.
struct TRegCache {
  String FileName;
  bool Valid = false;
  bool Exists = false;
  dev_t Device = 0;
  ino_t Inode = 0;
  off_t Size = 0;
  timespec Modified{};
  std::shared_ptr<const TRegData> Data;
};

std::mutex CacheLock;
TRegCache Cache;
std::atomic<unsigned> FileReads{0};

std::shared_ptr<const TRegData> LoadRegistryFile()
{
  const String name = GetRegistryFileName();
  struct stat st {};
  const bool exists = ::stat(name.c_str(), &st) == 0;
  std::lock_guard<std::mutex> lock(CacheLock);
  if (Cache.Valid && Cache.FileName == name && Cache.Exists == exists &&
      (!exists || (Cache.Device == st.st_dev && Cache.Inode == st.st_ino && Cache.Size == st.st_size &&
                   Cache.Modified.tv_sec == st.st_mtim.tv_sec && Cache.Modified.tv_nsec == st.st_mtim.tv_nsec)))
    return Cache.Data;
  // The stamp is taken before reading, so a change made meanwhile is seen next time.
  Cache.FileName = name;
  Cache.Exists = exists;
  Cache.Device = st.st_dev;
  Cache.Inode = st.st_ino;
  Cache.Size = st.st_size;
  Cache.Modified = st.st_mtim;
  Cache.Data = std::make_shared<const TRegData>(exists ? ReadRegistryFile(name) : TRegData());
  Cache.Valid = true;
  ++FileReads;
  return Cache.Data;
}

// Keys that the tools in the registry file's folder (the work folder) stand for: the Windows
// Media Encoder's installation key when "qvcscript.exe" is there, unless the file says
// otherwise. Looked at on every call, as the file is.
std::shared_ptr<const TRegData> RegistryData()
{
  std::shared_ptr<const TRegData> file = LoadRegistryFile();
  const String name = GetRegistryFileName();
  const std::size_t slash = name.find_last_of('/');
  const String folder = slash == String::npos ? String(".") : name.substr(0, slash);
  if (!qv::os::IsExecutableFile(folder + "/qvcscript.exe")) return file;
  const String key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS MEDIA\\ENCODER";
  const auto section = file->find(key);
  if (section != file->end() && section->second.count("VERSION")) return file;
  auto merged = std::make_shared<TRegData>(*file);
  (*merged)[key]["VERSION"] = ParseValue("9.0");
  return merged;
}

bool KeyExistsIn(const TRegData& Data, const String& Path)
{
  if (Path.find('\\') == String::npos) return true;  // a root
  if (Data.count(Path)) return true;
  // The keys below Path sort together right from Path + "\\".
  const String below = Path + "\\";
  const auto next = Data.lower_bound(below);
  return next != Data.end() && next->first.compare(0, below.size(), below) == 0;
}

}  // namespace

unsigned RegistryFileReads() { return FileReads.load(); }

void SetRegistryFileName(const String& FileName)
{
  std::lock_guard<std::mutex> lock(Lock);
  FileNameOverride = FileName;
}

String GetRegistryFileName()
{
  {
    std::lock_guard<std::mutex> lock(Lock);
    if (!FileNameOverride.empty()) return FileNameOverride;
  }
  String data;
  SpecialFolderMapping(CSIDL_APPDATA, data);
  return data + "/Quelvo3/registry.ini";
}

LONG RegOpenKeyExA(HKEY Key, LPCSTR SubKey, DWORD, REGSAM, PHKEY Result)
{
  if (!Result) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
  *Result = nullptr;
  if (IsNoDataRoot(Key)) return ErrorFileNotFound;
  String base;
  if (!KeyPath(Key, base)) return static_cast<LONG>(ERROR_INVALID_HANDLE);
  const String path = Canonical(base + "\\" + (SubKey ? SubKey : ""));
  if (path.empty() || !KeyExistsIn(*RegistryData(), path)) return ErrorFileNotFound;
  auto* key = new TRegKey{path};
  std::lock_guard<std::mutex> lock(Lock);
  OpenKeys.insert(key);
  *Result = reinterpret_cast<HKEY>(key);
  return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegQueryValueExA(HKEY Key, LPCSTR ValueName, DWORD*, DWORD* Type, BYTE* Data, DWORD* DataSize)
{
  if (IsNoDataRoot(Key)) return ErrorFileNotFound;
  String path;
  if (!KeyPath(Key, path)) return static_cast<LONG>(ERROR_INVALID_HANDLE);
  if (Data && !DataSize) return static_cast<LONG>(ERROR_INVALID_PARAMETER);
  const std::shared_ptr<const TRegData> file = RegistryData();
  const TRegData& data = *file;
  auto section = data.find(Canonical(path));
  if (section == data.end()) return ErrorFileNotFound;
  auto value = section->second.find(Upper(ValueName ? ValueName : ""));
  if (value == section->second.end()) return ErrorFileNotFound;
  const TRegValue& v = value->second;
  if (Type) *Type = v.Type;
  const DWORD size = static_cast<DWORD>(v.Data.size());
  if (!DataSize) return static_cast<LONG>(ERROR_SUCCESS);
  if (Data && *DataSize < size) {
    *DataSize = size;
    return static_cast<LONG>(ERROR_MORE_DATA);
  }
  if (Data && size) std::memcpy(Data, v.Data.data(), size);
  *DataSize = size;
  return static_cast<LONG>(ERROR_SUCCESS);
}

LONG RegCloseKey(HKEY Key)
{
  if (!RootName(Key).empty() || IsNoDataRoot(Key)) return static_cast<LONG>(ERROR_SUCCESS);
  std::unique_ptr<TRegKey> owned;
  {
    std::lock_guard<std::mutex> lock(Lock);
    auto* key = reinterpret_cast<TRegKey*>(Key);
    if (!OpenKeys.erase(key)) return static_cast<LONG>(ERROR_INVALID_HANDLE);
    owned.reset(key);
  }
  return static_cast<LONG>(ERROR_SUCCESS);
}

TRegistry::TRegistry(REGSAM Access) : FRootKey(HKEY_CURRENT_USER), FAccess(Access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY Value)
{
  CloseKey();
  FRootKey = Value;
}

void TRegistry::CloseKey()
{
  if (FCurrentKey) RegCloseKey(FCurrentKey);
  FCurrentKey = nullptr;
  FCurrentPath.clear();
}

bool TRegistry::Open(const String& Key, REGSAM Access)
{
  const bool absolute = !Key.empty() && Key[0] == '\\';
  const String relative = absolute ? Key.substr(1) : Key;
  const HKEY base = absolute || !FCurrentKey ? FRootKey : FCurrentKey;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(base, relative.c_str(), 0, Access, &opened) != static_cast<LONG>(ERROR_SUCCESS)) return false;
  String path = absolute || FCurrentPath.empty() ? relative : FCurrentPath + "\\" + relative;
  CloseKey();
  FCurrentKey = opened;
  FCurrentPath = path;
  return true;
}

bool TRegistry::OpenKey(const String& Key, bool) { return Open(Key, FAccess); }

bool TRegistry::OpenKeyReadOnly(const String& Key) { return Open(Key, KEY_READ); }

bool TRegistry::KeyExists(const String& Key)
{
  const bool absolute = !Key.empty() && Key[0] == '\\';
  const HKEY base = absolute || !FCurrentKey ? FRootKey : FCurrentKey;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(base, absolute ? Key.substr(1).c_str() : Key.c_str(), 0, KEY_READ, &opened) !=
      static_cast<LONG>(ERROR_SUCCESS))
    return false;
  RegCloseKey(opened);
  return true;
}

bool TRegistry::ValueExists(const String& Name)
{
  const HKEY key = FCurrentKey ? FCurrentKey : FRootKey;
  return RegQueryValueExA(key, Name.c_str(), nullptr, nullptr, nullptr, nullptr) == static_cast<LONG>(ERROR_SUCCESS);
}

TRegDataType TRegistry::GetDataType(const String& Name)
{
  DWORD type = REG_NONE;
  const HKEY key = FCurrentKey ? FCurrentKey : FRootKey;
  if (RegQueryValueExA(key, Name.c_str(), nullptr, &type, nullptr, nullptr) != static_cast<LONG>(ERROR_SUCCESS))
    return rdUnknown;
  switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
  }
}

String TRegistry::ReadString(const String& Name)
{
  const HKEY key = FCurrentKey ? FCurrentKey : FRootKey;
  DWORD type = REG_NONE, size = 0;
  if (RegQueryValueExA(key, Name.c_str(), nullptr, &type, nullptr, &size) != static_cast<LONG>(ERROR_SUCCESS)) return "";
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException("Invalid data type for '" + Name + "'");
  std::vector<BYTE> data(size + 1, 0);
  if (RegQueryValueExA(key, Name.c_str(), nullptr, &type, data.data(), &size) != static_cast<LONG>(ERROR_SUCCESS))
    throw ERegistryException("Failed to get data for '" + Name + "'");
  return String(reinterpret_cast<const char*>(data.data()));
}

Integer TRegistry::ReadInteger(const String& Name)
{
  const HKEY key = FCurrentKey ? FCurrentKey : FRootKey;
  DWORD type = REG_NONE;
  BYTE data[4] = {0, 0, 0, 0};
  DWORD size = sizeof data;
  const LONG rc = RegQueryValueExA(key, Name.c_str(), nullptr, &type, data, &size);
  if (rc == static_cast<LONG>(ERROR_MORE_DATA) || (rc == static_cast<LONG>(ERROR_SUCCESS) && (type != REG_DWORD || size != 4)))
    throw ERegistryException("Invalid data type for '" + Name + "'");
  if (rc != static_cast<LONG>(ERROR_SUCCESS)) throw ERegistryException("Failed to get data for '" + Name + "'");
  return static_cast<Integer>(static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
                              (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24));
}
