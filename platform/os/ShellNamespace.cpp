#include "platform/os/ShellNamespace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/os/Folders.h"
#include "platform/os/ShellFileInfo.h"
#include "platform/os/Volumes.h"

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IShellFolder = {0x000214E6, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IShellFolder2 = {0x93F2F68C, 0x1D1B, 0x11D3, {0xA3, 0x0E, 0x00, 0xC0, 0x4F, 0x79, 0xAB, 0xD1}};
const IID IID_IShellDetails = {0x000214EC, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IEnumIDList = {0x000214F2, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IContextMenu = {0x000214E4, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IContextMenu2 = {0x000214F4, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool IsEqualGUID(const GUID& A, const GUID& B) { return std::memcmp(&A, &B, sizeof(GUID)) == 0; }

namespace {

constexpr DWORD ErrorFileNotFound = 2;
constexpr DWORD ErrorAlreadyExists = 183;
constexpr DWORD ErrorInvalidName = 123;

bool IsHiddenName(const String& Name) { return !Name.empty() && Name[0] == '.'; }

bool IsComponent(const String& Name)
{
  return !Name.empty() && Name != "." && Name != ".." && Name.find('/') == String::npos &&
         Name.find('\0') == String::npos;
}

// What an absolute list names.
enum TPlace { plDesktop, plComputer, plVolume, plPath, plNone };

struct TResolved {
  TPlace Place = plNone;
  String Path;     // plDesktop, plVolume, plPath: the folder or file
  TVolume Volume;  // plVolume
  bool Home = false;
};

bool FindMountedVolume(const String& MountPoint, TVolume& Volume)
{
  for (const TVolume& v : Volumes().Snapshot())
    if (!v.MountPoint.empty() && v.MountPoint == MountPoint) {
      Volume = v;
      return true;
    }
  return false;
}

TResolved Resolve(const std::vector<TItemId>& Items)
{
  TResolved r;
  if (Items.empty()) {
    r.Place = plDesktop;
    r.Path = SpecialFolderPath(CSIDL_DESKTOPDIRECTORY, false);
    return r;
  }
  if (Items.size() == 1 && Items[0].Kind == ITEMKIND_VIRTUAL && Items[0].Name == ComputerItemName) {
    r.Place = plComputer;
    return r;
  }
  if (Items.size() == 2 && Items[0].Kind == ITEMKIND_VIRTUAL && Items[0].Name == ComputerItemName &&
      Items[1].Kind == ITEMKIND_VOLUME) {
    if (!FindMountedVolume(Items[1].Name, r.Volume)) {
      r.Volume = TVolume{};
      r.Volume.MountPoint = Items[1].Name;
      r.Volume.DriveType = DRIVE_FIXED;
    }
    r.Place = plVolume;
    r.Path = Items[1].Name;
    return r;
  }
  std::vector<TItemId> copy = Items;
  String path;
  // ItemIdListToPath knows the chains; it fails for anything else.
  LPITEMIDLIST list = ItemIdListFromItems(copy);
  if (list) path = ItemIdListToPath(list);
  ILFree(list);
  if (path.empty()) return r;
  r.Place = plPath;
  r.Path = path;
  r.Home = Items.size() == 1 && Items[0].Kind == ITEMKIND_VIRTUAL;
  return r;
}

bool ItemsOf(LPCITEMIDLIST List, std::vector<TItemId>& Items) { return ItemIdListItems(List, Items); }

std::vector<TItemId> Joined(const std::vector<TItemId>& A, const std::vector<TItemId>& B)
{
  std::vector<TItemId> r = A;
  r.insert(r.end(), B.begin(), B.end());
  return r;
}

bool IsDirectoryPath(const String& Path)
{
  struct stat st {};
  return stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Opens Path and stops at its first subfolder (links to folders count; hidden ones only when
// asked).
bool FolderHasSubFolder(const String& Path, bool Hidden)
{
  DIR* dir = opendir(Path.c_str());
  if (!dir) return false;
  bool found = false;
  const int fd = dirfd(dir);
  while (!found) {
    errno = 0;
    const dirent* e = readdir(dir);
    if (!e) break;
    const String name = e->d_name;
    if (name == "." || name == "..") continue;
    if (!Hidden && IsHiddenName(name)) continue;
    if (e->d_type == DT_DIR) {
      found = true;
    } else if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
      struct stat st {};
      found = fstatat(fd, e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
  }
  closedir(dir);
  return found;
}

std::vector<TVolume> ComputerVolumes()
{
  Volumes().Refresh();
  std::vector<TVolume> all = Volumes().Snapshot();
  std::vector<TVolume> r;
  for (const TVolume& v : all)
    if (v.MountPoint == "/") r.push_back(v);
  for (const TVolume& v : all)
    if (v.MountPoint != "/" && !v.MountPoint.empty() && (v.Optical || v.DriveType == DRIVE_CDROM || v.DriveType == DRIVE_REMOVABLE))
      r.push_back(v);
  for (const TVolume& v : all)
    if (v.MountPoint != "/" && !v.MountPoint.empty() && !(v.Optical || v.DriveType == DRIVE_CDROM || v.DriveType == DRIVE_REMOVABLE))
      r.push_back(v);
  return r;
}

ULONG AttributesOf(const std::vector<TItemId>& Items, ULONG Asked, bool HiddenSubFolders)
{
  const TResolved r = Resolve(Items);
  ULONG a = 0;
  switch (r.Place) {
    case plNone:
      return 0;
    case plDesktop:
      a = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR;
      if (!r.Path.empty()) a |= SFGAO_FILESYSTEM;
      return a & Asked;
    case plComputer:
      return (SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR) & Asked;
    case plVolume:
      a = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_FILESYSTEM | SFGAO_DROPTARGET;
      if (r.Volume.ReadOnly) a |= SFGAO_READONLY;
      if (r.Volume.Optical || r.Volume.DriveType == DRIVE_CDROM || r.Volume.DriveType == DRIVE_REMOVABLE)
        a |= SFGAO_REMOVABLE;
      if ((Asked & SFGAO_HASSUBFOLDER) && FolderHasSubFolder(r.Path, HiddenSubFolders)) a |= SFGAO_HASSUBFOLDER;
      return a & Asked;
    case plPath:
      break;
  }
  struct stat lst {};
  if (lstat(r.Path.c_str(), &lst) != 0) return 0;
  struct stat st {};
  const bool followed = stat(r.Path.c_str(), &st) == 0;
  const bool folder = followed && S_ISDIR(st.st_mode);
  a = SFGAO_FILESYSTEM;
  if (!r.Home) a |= SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE;
  if (S_ISLNK(lst.st_mode)) a |= SFGAO_LINK;
  if (!Items.empty() && IsHiddenName(Items.back().Name) && Items.back().Kind != ITEMKIND_VIRTUAL) a |= SFGAO_HIDDEN;
  if (folder) a |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_DROPTARGET;
  if ((Asked & SFGAO_READONLY) && faccessat(AT_FDCWD, r.Path.c_str(), W_OK, AT_EACCESS) != 0) a |= SFGAO_READONLY;
  if (folder && (Asked & SFGAO_HASSUBFOLDER) && FolderHasSubFolder(r.Path, HiddenSubFolders)) a |= SFGAO_HASSUBFOLDER;
  return a & Asked;
}

String DisplayNameOf(const std::vector<TItemId>& Items)
{
  LPITEMIDLIST list = ItemIdListFromItems(Items);
  String name = ItemIdListDisplayName(list);
  ILFree(list);
  return name;
}

String ParsingNameOf(const std::vector<TItemId>& Items)
{
  const TResolved r = Resolve(Items);
  if (r.Place == plComputer) return ComputerParsingName;
  return r.Path;
}

HRESULT TextResult(const String& Text, STRRET* Name)
{
  char* copy = static_cast<char*>(CoTaskMemAlloc(Text.size() + 1));
  if (!copy) return E_OUTOFMEMORY;
  std::memcpy(copy, Text.data(), Text.size());
  copy[Text.size()] = 0;
  Name->uType = STRRET_WSTR;
  Name->pOleStr = copy;
  return S_OK;
}

// The order of one item against another of the same level.
int ItemRank(const TItemId& Item)
{
  if (Item.Kind == ITEMKIND_VIRTUAL) return Item.Name == HomeItemName ? 0 : 1;
  if (Item.Kind == ITEMKIND_VOLUME) return 2;
  if (Item.Kind == ITEMKIND_FOLDER) return 3;
  return 4;
}

int VolumeRank(const String& MountPoint, const std::vector<TVolume>& Order)
{
  for (std::size_t i = 0; i < Order.size(); ++i)
    if (Order[i].MountPoint == MountPoint) return static_cast<int>(i);
  return static_cast<int>(Order.size());
}

int CompareNames(const String& A, const String& B)
{
  const std::size_t n = std::min(A.size(), B.size());
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char a = static_cast<unsigned char>(A[i]);
    unsigned char b = static_cast<unsigned char>(B[i]);
    if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a + 32);
    if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b + 32);
    if (a != b) return a < b ? -1 : 1;
  }
  if (A.size() != B.size()) return A.size() < B.size() ? -1 : 1;
  const int c = A.compare(B);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CompareItems(const TItemId& A, const TItemId& B)
{
  const int ra = ItemRank(A);
  const int rb = ItemRank(B);
  if (ra != rb) return ra < rb ? -1 : 1;
  if (A.Kind == ITEMKIND_VOLUME && A.Name != B.Name) {
    const std::vector<TVolume> order = ComputerVolumes();
    const int va = VolumeRank(A.Name, order);
    const int vb = VolumeRank(B.Name, order);
    if (va != vb) return va < vb ? -1 : 1;
  }
  return CompareNames(A.Name, B.Name);
}

HRESULT CompareResult(int Order) { return static_cast<HRESULT>(static_cast<USHORT>(static_cast<SHORT>(Order))); }

// The IUnknown part of our objects: one interface, reference counted, deleted at zero.
template <class TInterface, const IID* Iid>
class TComObject : public TInterface {
public:
  HRESULT QueryInterface(REFIID Asked, void** Object) override
  {
    if (!Object) return E_POINTER;
    if (!IsEqualGUID(Asked, IID_IUnknown) && !IsEqualGUID(Asked, *Iid)) {
      *Object = nullptr;
      return E_NOINTERFACE;
    }
    *Object = static_cast<TInterface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++FCount; }
  ULONG Release() override
  {
    const ULONG n = --FCount;
    if (n == 0) delete this;
    return n;
  }

protected:
  virtual ~TComObject() = default;

private:
  std::atomic<ULONG> FCount{1};
};

class TIdEnum final : public TComObject<IEnumIDList, &IID_IEnumIDList> {
public:
  explicit TIdEnum(std::vector<TItemId> Items) : FItems(std::move(Items)) {}
  HRESULT Next(ULONG Count, LPITEMIDLIST* Lists, ULONG* Fetched) override
  {
    if (!Lists) return E_POINTER;
    ULONG n = 0;
    while (n < Count && FNext < FItems.size()) {
      LPITEMIDLIST list = ItemIdListFromItems({FItems[FNext]});
      if (!list) break;
      Lists[n++] = list;
      ++FNext;
    }
    if (Fetched) *Fetched = n;
    return n == Count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG Count) override
  {
    FNext = std::min(FItems.size(), FNext + Count);
    return FNext < FItems.size() ? S_OK : S_FALSE;
  }
  HRESULT Reset() override
  {
    FNext = 0;
    return S_OK;
  }

private:
  ~TIdEnum() override = default;
  std::vector<TItemId> FItems;
  std::size_t FNext = 0;
};

// Reads a folder of the file system into items: folders and other items as Flags ask.
HRESULT ReadFolder(const String& Path, DWORD Flags, std::vector<TItemId>& Items)
{
  DIR* dir = opendir(Path.c_str());
  if (!dir) return errno == ENOENT || errno == ENOTDIR ? HRESULT_FROM_WIN32(ErrorFileNotFound) : E_ACCESSDENIED;
  const int fd = dirfd(dir);
  const bool hidden = (Flags & SHCONTF_INCLUDEHIDDEN) != 0;
  const bool folders = (Flags & SHCONTF_FOLDERS) != 0;
  const bool others = (Flags & SHCONTF_NONFOLDERS) != 0;
  for (;;) {
    errno = 0;
    const dirent* e = readdir(dir);
    if (!e) break;
    String name = e->d_name;
    if (name == "." || name == "..") continue;
    if (!hidden && IsHiddenName(name)) continue;
    bool folder = false;
    if (e->d_type == DT_DIR) {
      folder = true;
    } else if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
      struct stat st {};
      folder = fstatat(fd, e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    if (folder ? folders : others) Items.push_back({folder ? ITEMKIND_FOLDER : ITEMKIND_FILE, std::move(name)});
  }
  closedir(dir);
  return S_OK;
}

class TNamespaceFolder final : public TComObject<IShellFolder, &IID_IShellFolder> {
public:
  explicit TNamespaceFolder(std::vector<TItemId> Items) : FItems(std::move(Items)) {}

  HRESULT ParseDisplayName(HWND, void*, LPCSTR DisplayName, ULONG* Eaten, LPITEMIDLIST* List,
                           ULONG* Attributes) override
  {
    if (!List) return E_POINTER;
    *List = nullptr;
    if (!DisplayName) return E_INVALIDARG;
    String name = DisplayName;
    if (name.empty()) return E_INVALIDARG;
    char letter = 0;
    String rest;
    if (FItems.empty() && SplitDriveLetterPath(name, letter, rest)) {  // "E:\..." lies on the drive's mount point
      Volumes().Refresh();
      TVolume volume;
      if (!Volumes().FindLetter(letter, volume) || volume.MountPoint.empty()) return HRESULT_FROM_WIN32(ErrorFileNotFound);
      name = volume.MountPoint;
      if (!rest.empty()) name += (name.back() == '/' ? "" : "/") + rest;
    }
    std::vector<TItemId> result;
    if (FItems.empty() && name == ComputerParsingName) {
      result.push_back({ITEMKIND_VIRTUAL, ComputerItemName});
    } else if (FItems.empty()) {
      if (name[0] != '/') return E_INVALIDARG;
      struct stat st {};
      if (lstat(name.c_str(), &st) != 0) return HRESULT_FROM_WIN32(ErrorFileNotFound);
      LPITEMIDLIST list = ItemIdListFromPath(name);
      if (!list) return E_OUTOFMEMORY;
      ItemsOf(list, result);
      ILFree(list);
    } else {
      const TResolved here = Resolve(FItems);
      if (here.Path.empty() || name[0] == '/') return E_INVALIDARG;
      String path = here.Path;
      std::size_t start = 0;
      while (start < name.size()) {
        std::size_t end = name.find('/', start);
        if (end == String::npos) end = name.size();
        const String part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty()) continue;
        if (!IsComponent(part)) return E_INVALIDARG;
        if (path.back() != '/') path += '/';
        path += part;
        result.push_back({IsDirectoryPath(path) ? ITEMKIND_FOLDER : ITEMKIND_FILE, part});
      }
      struct stat st {};
      if (result.empty() || lstat(path.c_str(), &st) != 0) return HRESULT_FROM_WIN32(ErrorFileNotFound);
    }
    *List = ItemIdListFromItems(result);
    if (!*List) return E_OUTOFMEMORY;
    if (Eaten) *Eaten = static_cast<ULONG>(name.size());
    if (Attributes) *Attributes = AttributesOf(Joined(FItems, result), *Attributes, true);
    return S_OK;
  }

  HRESULT EnumObjects(HWND, DWORD Flags, IEnumIDList** Enum) override
  {
    if (!Enum) return E_POINTER;
    *Enum = nullptr;
    std::vector<TItemId> items;
    const TResolved here = Resolve(FItems);
    switch (here.Place) {
      case plNone:
        return E_FAIL;
      case plDesktop:
        if (Flags & SHCONTF_FOLDERS) {
          items.push_back({ITEMKIND_VIRTUAL, HomeItemName});
          items.push_back({ITEMKIND_VIRTUAL, ComputerItemName});
        }
        if (!here.Path.empty()) ReadFolder(here.Path, Flags, items);  // a missing desktop folder adds nothing
        break;
      case plComputer:
        if (Flags & SHCONTF_FOLDERS)
          for (const TVolume& v : ComputerVolumes()) items.push_back({ITEMKIND_VOLUME, v.MountPoint});
        break;
      case plVolume:
      case plPath: {
        const HRESULT result = ReadFolder(here.Path, Flags, items);
        if (FAILED(result)) return result;
        break;
      }
    }
    *Enum = new TIdEnum(std::move(items));
    return S_OK;
  }

  HRESULT BindToObject(LPCITEMIDLIST List, void*, REFIID Iid, void** Object) override
  {
    if (!Object) return E_POINTER;
    *Object = nullptr;
    if (!IsEqualGUID(Iid, IID_IShellFolder)) return E_NOINTERFACE;
    std::vector<TItemId> rel;
    if (!ItemsOf(List, rel)) return E_INVALIDARG;
    std::vector<TItemId> full = Joined(FItems, rel);
    if (!(AttributesOf(full, SFGAO_FOLDER, true) & SFGAO_FOLDER)) return E_FAIL;
    *Object = static_cast<IShellFolder*>(new TNamespaceFolder(std::move(full)));
    return S_OK;
  }

  HRESULT BindToStorage(LPCITEMIDLIST, void*, REFIID, void** Object) override
  {
    if (Object) *Object = nullptr;
    return E_NOTIMPL;
  }

  HRESULT CompareIDs(LPARAM, LPCITEMIDLIST First, LPCITEMIDLIST Second) override
  {
    std::vector<TItemId> a;
    std::vector<TItemId> b;
    if (!ItemsOf(First, a) || !ItemsOf(Second, b)) return E_INVALIDARG;
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
      const int c = CompareItems(a[i], b[i]);
      if (c != 0) return CompareResult(c);
    }
    return CompareResult(a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1);
  }

  HRESULT CreateViewObject(HWND, REFIID, void** Object) override
  {
    if (Object) *Object = nullptr;
    return E_NOTIMPL;
  }

  HRESULT GetAttributesOf(UINT Count, LPCITEMIDLIST* Lists, ULONG* InOut) override
  {
    if (!InOut) return E_POINTER;
    ULONG asked = *InOut;
    ULONG result = asked;
    if (Count == 0) {
      result = AttributesOf(FItems, asked, true);
    } else {
      if (!Lists) return E_POINTER;
      for (UINT i = 0; i < Count; ++i) {
        std::vector<TItemId> rel;
        if (!ItemsOf(Lists[i], rel)) return E_INVALIDARG;
        result &= AttributesOf(Joined(FItems, rel), asked, true);
      }
    }
    *InOut = result;
    return S_OK;
  }

  HRESULT GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void** Object) override
  {
    if (Object) *Object = nullptr;
    return E_NOINTERFACE;
  }

  HRESULT GetDisplayNameOf(LPCITEMIDLIST List, DWORD Flags, STRRET* Name) override
  {
    if (!Name) return E_POINTER;
    std::vector<TItemId> rel;
    if (!ItemsOf(List, rel)) return E_INVALIDARG;
    const std::vector<TItemId> full = Joined(FItems, rel);
    if ((Flags & SHGDN_FORPARSING) && !(Flags & SHGDN_INFOLDER)) {
      const String parsing = ParsingNameOf(full);
      if (parsing.empty() && Resolve(full).Place != plDesktop) return E_INVALIDARG;
      return TextResult(parsing, Name);
    }
    return TextResult(DisplayNameOf(full), Name);
  }

  HRESULT SetNameOf(HWND, LPCITEMIDLIST List, LPCSTR Name, DWORD, LPITEMIDLIST* Out) override
  {
    if (Out) *Out = nullptr;
    if (!Name) return E_INVALIDARG;
    const String name = Name;
    if (!IsComponent(name)) return HRESULT_FROM_WIN32(ErrorInvalidName);
    std::vector<TItemId> rel;
    if (!ItemsOf(List, rel) || rel.empty()) return E_INVALIDARG;
    const std::vector<TItemId> full = Joined(FItems, rel);
    if (!(AttributesOf(full, SFGAO_CANRENAME, true) & SFGAO_CANRENAME)) return E_ACCESSDENIED;
    const String from = Resolve(full).Path;
    const std::size_t slash = from.rfind('/');
    if (slash == String::npos) return E_FAIL;
    const String to = from.substr(0, slash + 1) + name;
    // Never over an existing item: a link made and the old name removed, or a failure.
    if (from != to) {
      if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
        return errno == EEXIST ? HRESULT_FROM_WIN32(ErrorAlreadyExists) : E_ACCESSDENIED;
    }
    rel.back().Name = name;
    if (Out) {
      *Out = ItemIdListFromItems(rel);
      if (!*Out) return E_OUTOFMEMORY;
    }
    return S_OK;
  }

private:
  ~TNamespaceFolder() override = default;
  std::vector<TItemId> FItems;
};

}  // namespace

HRESULT SHGetDesktopFolder(IShellFolder** Folder)
{
  if (!Folder) return E_POINTER;
  static TNamespaceFolder* desktop = new TNamespaceFolder({});  // process-wide, never freed
  desktop->AddRef();
  *Folder = desktop;
  return S_OK;
}

int ShellIconIndexOf(LPCITEMIDLIST List, bool Open)
{
  std::vector<TItemId> items;
  if (!ItemsOf(List, items)) return -1;
  const TResolved r = Resolve(items);
  switch (r.Place) {
    case plNone:
      return -1;
    case plDesktop:
      return siDesktop;
    case plComputer:
      return siComputer;
    case plVolume:
      if (r.Volume.Optical || r.Volume.DriveType == DRIVE_CDROM) return siOpticalDisc;
      if (r.Volume.DriveType == DRIVE_REMOVABLE) return siRemovable;
      if (r.Volume.DriveType == DRIVE_REMOTE) return siNetworkDrive;
      return siHardDisk;
    case plPath:
      break;
  }
  if (r.Home) return siHome;
  struct stat lst {};
  const bool link = lstat(r.Path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode);
  if (!IsDirectoryPath(r.Path)) return link ? siFileLink : siFile;
  if (faccessat(AT_FDCWD, r.Path.c_str(), R_OK | X_OK, AT_EACCESS) != 0) return siFolderLocked;
  if (link) return siFolderLink;
  return Open ? siFolderOpen : siFolder;
}

bool FindDataOfPath(const String& Path, TFindData& Data, DWORD& Error)
{
  Data = TFindData{};
  struct stat lst {};
  if (lstat(Path.c_str(), &lst) != 0) {
    Error = errno == ENOENT || errno == ENOTDIR ? ErrorFileNotFound : static_cast<DWORD>(errno == EACCES ? 5 : 31);
    return false;
  }
  struct stat st = lst;
  if (S_ISLNK(lst.st_mode) && stat(Path.c_str(), &st) != 0) st = lst;  // a dangling or looping link: itself
  if (S_ISDIR(st.st_mode)) {
    Data.dwFileAttributes |= FILE_ATTRIBUTE_DIRECTORY;
  } else {
    const auto size = static_cast<std::uint64_t>(st.st_size);
    Data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    Data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  }
  if (S_ISLNK(lst.st_mode)) Data.dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  const std::size_t slash = Path.rfind('/');
  Data.cFileName = slash == String::npos ? Path : Path.substr(slash + 1);
  if (IsHiddenName(Data.cFileName)) Data.dwFileAttributes |= FILE_ATTRIBUTE_HIDDEN;
  if (faccessat(AT_FDCWD, Path.c_str(), W_OK, AT_EACCESS) != 0) Data.dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  if (Data.dwFileAttributes == 0) Data.dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
  // 100 ns steps since 1601-01-01.
  const std::uint64_t ticks = (static_cast<std::uint64_t>(st.st_mtim.tv_sec) + 11644473600ull) * 10000000ull +
                              static_cast<std::uint64_t>(st.st_mtim.tv_nsec) / 100u;
  Data.ftLastWriteTime.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  Data.ftLastWriteTime.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  Error = 0;
  return true;
}
