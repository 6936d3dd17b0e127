#include "platform/os/ShellFileInfo.h"

#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "platform/os/ShellNamespace.h"
#include "platform/os/Volumes.h"
#include "platform/rtl/Paths.h"

namespace {

String VolumeDisplayName(const String& MountPoint)
{
  Volumes().Refresh();
  TVolume volume;
  if (Volumes().FindRoot(MountPoint, volume) && !volume.Label.empty()) return volume.Label;
  if (MountPoint == "/") return "File System";
  return ExtractFileName(ExcludeTrailingPathDelimiter(MountPoint));
}

void CopyName(const String& Name, CHAR* Buffer)
{
  std::size_t length = Name.size();
  if (length > static_cast<std::size_t>(MAX_PATH - 1)) {
    length = MAX_PATH - 1;
    while (length > 0 && (static_cast<unsigned char>(Name[length]) & 0xC0) == 0x80) --length;  // whole characters
  }
  std::memcpy(Buffer, Name.data(), length);
  Buffer[length] = 0;
}

}  // namespace

String ItemIdListDisplayName(LPCITEMIDLIST List)
{
  std::vector<TItemId> items;
  if (!ItemIdListItems(List, items)) return "";
  if (items.empty()) return "Desktop";
  const TItemId& last = items.back();
  if (last.Kind == ITEMKIND_VOLUME) return VolumeDisplayName(last.Name);
  return last.Name;
}

DWORD_PTR SHGetFileInfoA(LPCSTR Path, DWORD, SHFILEINFOA* Info, UINT InfoSize, UINT Flags)
{
  if (!Path || !Info || InfoSize < sizeof(SHFILEINFOA)) return 0;
  if (Flags & ~(SHGFI_PIDL | SHGFI_DISPLAYNAME | SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON |
                SHGFI_OPENICON))
    return 0;
  String name;
  const bool open = (Flags & SHGFI_OPENICON) != 0;
  if (Flags & SHGFI_PIDL) {
    const auto list = reinterpret_cast<LPCITEMIDLIST>(Path);
    std::vector<TItemId> items;
    if (!ItemIdListItems(list, items)) return 0;
    name = ItemIdListDisplayName(list);
    if (Flags & SHGFI_SYSICONINDEX) Info->iIcon = ShellIconIndexOf(list, open);
  } else {
    const String path = Path;
    struct stat st {};
    if (!(Flags & SHGFI_USEFILEATTRIBUTES) && stat(path.c_str(), &st) != 0) return 0;
    Volumes().Refresh();
    TVolume volume;
    if (Volumes().FindRoot(path, volume) && !volume.MountPoint.empty())
      name = VolumeDisplayName(volume.MountPoint);
    else
      name = ExtractFileName(ExcludeTrailingPathDelimiter(path));
    if (Flags & SHGFI_SYSICONINDEX) {
      LPITEMIDLIST list = ItemIdListFromPath(path);
      Info->iIcon = list ? ShellIconIndexOf(list, open) : siFile;
      ILFree(list);
    }
  }
  if (Flags & SHGFI_DISPLAYNAME) CopyName(name, Info->szDisplayName);
  return 1;
}
