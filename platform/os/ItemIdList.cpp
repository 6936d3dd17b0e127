#include "platform/os/ItemIdList.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "platform/os/Folders.h"
#include "platform/os/Volumes.h"
#include "platform/rtl/Paths.h"

namespace {

USHORT ReadCount(const void* At)
{
  USHORT cb = 0;
  std::memcpy(&cb, At, sizeof cb);
  return cb;
}

bool IsPlainName(const String& Name)
{
  return !Name.empty() && Name != "." && Name != ".." && Name.find('/') == String::npos && Name.find('\0') == String::npos;
}

}  // namespace

LPVOID CoTaskMemAlloc(SIZE_T Size) { return std::malloc(Size ? Size : 1); }

LPVOID CoTaskMemRealloc(LPVOID Block, SIZE_T Size) { return std::realloc(Block, Size ? Size : 1); }

void CoTaskMemFree(LPVOID Block) { std::free(Block); }

UINT ILGetSize(LPCITEMIDLIST List)
{
  if (!List) return 0;
  const BYTE* p = reinterpret_cast<const BYTE*>(List);
  UINT size = 0;
  for (USHORT cb = ReadCount(p); cb != 0; cb = ReadCount(p + size)) size += cb;
  return size + 2;
}

LPITEMIDLIST ILGetNext(LPCITEMIDLIST List)
{
  if (!List) return nullptr;
  const USHORT cb = ReadCount(List);
  if (cb == 0) return nullptr;
  const BYTE* next = reinterpret_cast<const BYTE*>(List) + cb;
  return ReadCount(next) == 0 ? nullptr : reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(next));
}

LPITEMIDLIST ILClone(LPCITEMIDLIST List)
{
  if (!List) return nullptr;
  const UINT size = ILGetSize(List);
  void* copy = CoTaskMemAlloc(size);
  if (copy) std::memcpy(copy, List, size);
  return static_cast<LPITEMIDLIST>(copy);
}

LPITEMIDLIST ILCombine(LPCITEMIDLIST First, LPCITEMIDLIST Second)
{
  if (!Second) return ILClone(First);
  const UINT first = First ? ILGetSize(First) - 2 : 0;
  const UINT second = ILGetSize(Second);
  BYTE* list = static_cast<BYTE*>(CoTaskMemAlloc(first + second));
  if (!list) return nullptr;
  if (first) std::memcpy(list, First, first);
  std::memcpy(list + first, Second, second);
  return reinterpret_cast<LPITEMIDLIST>(list);
}

void ILFree(LPITEMIDLIST List) { CoTaskMemFree(List); }

LPITEMIDLIST ItemIdListFromItems(const std::vector<TItemId>& Items)
{
  std::size_t size = 2;
  for (const TItemId& item : Items) {
    if (item.Name.size() + 3 > 0xFFFF) return nullptr;
    size += item.Name.size() + 3;
  }
  BYTE* list = static_cast<BYTE*>(CoTaskMemAlloc(size));
  if (!list) return nullptr;
  BYTE* p = list;
  for (const TItemId& item : Items) {
    const USHORT cb = static_cast<USHORT>(item.Name.size() + 3);
    std::memcpy(p, &cb, 2);
    p[2] = item.Kind;
    std::memcpy(p + 3, item.Name.data(), item.Name.size());
    p += cb;
  }
  p[0] = 0;
  p[1] = 0;
  return reinterpret_cast<LPITEMIDLIST>(list);
}

bool ItemIdListItems(LPCITEMIDLIST List, std::vector<TItemId>& Items)
{
  Items.clear();
  if (!List) return false;
  const BYTE* p = reinterpret_cast<const BYTE*>(List);
  for (USHORT cb = ReadCount(p); cb != 0; p += cb, cb = ReadCount(p)) {
    if (cb < 3) return false;
    Items.push_back(TItemId{p[2], String(reinterpret_cast<const char*>(p + 3), cb - 3u)});
  }
  return true;
}

LPITEMIDLIST ItemIdListFromPath(const String& Path)
{
  String p = Path;
  if (p.empty() || p[0] != '/') return nullptr;
  p = ExpandFileName(p);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  Volumes().Refresh();
  TVolume volume;
  String mount = "/";
  if (Volumes().FindContaining(p, volume)) mount = volume.MountPoint;
  std::vector<TItemId> items{{ITEMKIND_VIRTUAL, ComputerItemName}, {ITEMKIND_VOLUME, mount}};
  String rest = p.substr(mount == "/" ? 1 : mount.size());
  std::size_t start = 0;
  while (start < rest.size()) {
    if (rest[start] == '/') {
      ++start;
      continue;
    }
    std::size_t end = rest.find('/', start);
    if (end == String::npos) end = rest.size();
    items.push_back({ITEMKIND_FOLDER, rest.substr(start, end - start)});
    start = end;
  }
  struct stat st {};
  if (items.size() > 2 && stat(p.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) items.back().Kind = ITEMKIND_FILE;
  return ItemIdListFromItems(items);
}

String ItemIdListToPath(LPCITEMIDLIST List)
{
  std::vector<TItemId> items;
  if (!ItemIdListItems(List, items)) return "";
  if (items.empty()) return SpecialFolderPath(CSIDL_DESKTOPDIRECTORY, false);
  String path;
  std::size_t first = 0;
  if (items[0].Kind == ITEMKIND_VIRTUAL && items[0].Name == HomeItemName) {
    path = HomeFolder();
    first = 1;
  } else if (items[0].Kind == ITEMKIND_FOLDER || items[0].Kind == ITEMKIND_FILE) {
    path = SpecialFolderPath(CSIDL_DESKTOPDIRECTORY, false);
  } else {
    if (items.size() < 2 || items[0].Kind != ITEMKIND_VIRTUAL || items[0].Name != ComputerItemName ||
        items[1].Kind != ITEMKIND_VOLUME || items[1].Name.empty() || items[1].Name[0] != '/')
      return "";
    path = items[1].Name;
    first = 2;
  }
  if (path.empty()) return "";
  for (std::size_t i = first; i < items.size(); ++i) {
    if ((items[i].Kind != ITEMKIND_FOLDER && items[i].Kind != ITEMKIND_FILE) || !IsPlainName(items[i].Name)) return "";
    if (path.back() != '/') path += '/';
    path += items[i].Name;
  }
  return path;
}
