#include "platform/os/ShellFolders.h"

#include <atomic>
#include <cstring>

namespace {

constexpr DWORD ErrorFileNotFound = 2;

class TShellMalloc final : public IMalloc {
public:
  HRESULT QueryInterface(const void*, void** Object) override
  {
    if (!Object) return E_POINTER;
    *Object = this;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++FCount; }
  ULONG Release() override { return FCount > 1 ? --FCount : 1; }
  void* Alloc(SIZE_T Size) override { return CoTaskMemAlloc(Size); }
  void* Realloc(void* Block, SIZE_T Size) override { return CoTaskMemRealloc(Block, Size); }
  void Free(void* Block) override { CoTaskMemFree(Block); }
  SIZE_T GetSize(void*) override { return static_cast<SIZE_T>(-1); }
  int DidAlloc(void*) override { return -1; }
  void HeapMinimize() override {}

private:
  std::atomic<ULONG> FCount{1};
};

HRESULT FolderPath(int Csidl, bool Create, String& Path)
{
  String mapped;
  if (SpecialFolderMapping(Csidl, mapped) != sfFolder) return E_INVALIDARG;
  Path = SpecialFolderPath(Csidl, Create || (Csidl & CSIDL_FLAG_CREATE) != 0);
  return Path.empty() ? HRESULT_FROM_WIN32(ErrorFileNotFound) : S_OK;
}

bool CopyPath(const String& Path, LPSTR Buffer)
{
  if (!Buffer) return false;
  if (Path.empty() || Path.size() >= static_cast<std::size_t>(MAX_PATH)) {
    Buffer[0] = 0;
    return false;
  }
  std::memcpy(Buffer, Path.c_str(), Path.size() + 1);
  return true;
}

}  // namespace

HRESULT SHGetMalloc(IMalloc** Malloc)
{
  static TShellMalloc shellMalloc;
  if (!Malloc) return E_INVALIDARG;
  shellMalloc.AddRef();
  *Malloc = &shellMalloc;
  return S_OK;
}

HRESULT SHGetSpecialFolderLocation(HWND, int Csidl, LPITEMIDLIST* List)
{
  if (!List) return E_INVALIDARG;
  *List = nullptr;
  String mapped;
  const TSpecialFolderKind kind = SpecialFolderMapping(Csidl, mapped);
  if (kind == sfUnknown) return E_INVALIDARG;
  if (kind == sfVirtual) {
    *List = ItemIdListFromItems({{ITEMKIND_VIRTUAL, mapped}});
    return *List ? S_OK : E_OUTOFMEMORY;
  }
  if ((Csidl & ~CSIDL_FLAG_MASK) == CSIDL_DESKTOP) {
    *List = ItemIdListFromItems({});  // the namespace's root is there even without its folder
    return *List ? S_OK : E_OUTOFMEMORY;
  }
  String path;
  const HRESULT result = FolderPath(Csidl, false, path);
  if (FAILED(result)) return result;
  *List = ItemIdListFromPath(path);
  return *List ? S_OK : E_OUTOFMEMORY;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST List, LPSTR Path) { return CopyPath(ItemIdListToPath(List), Path); }

BOOL SHGetSpecialFolderPathA(HWND, LPSTR Path, int Csidl, BOOL Create)
{
  String path;
  if (FAILED(FolderPath(Csidl, Create != FALSE, path))) {
    if (Path) Path[0] = 0;
    return FALSE;
  }
  return CopyPath(path, Path);
}

HRESULT SHGetFolderPathA(HWND, int Csidl, HANDLE, DWORD, LPSTR Path)
{
  if (!Path) return E_INVALIDARG;
  Path[0] = 0;
  String path;
  const HRESULT result = FolderPath(Csidl, false, path);
  if (FAILED(result)) return result;
  return CopyPath(path, Path) ? S_OK : HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
}
