// The shell's special-folder functions over the folder map of Folders.h and the item-id lists
// of ItemIdList.h.
#pragma once

#include "platform/os/Folders.h"
#include "platform/os/ItemIdList.h"
#include "platform/os/ShellTypes.h"

// The shell's allocator (CoTaskMemAlloc underneath). One process-wide object: AddRef and
// Release only count.
struct IMalloc {
  virtual HRESULT QueryInterface(const void* Iid, void** Object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual void* Alloc(SIZE_T Size) = 0;
  virtual void* Realloc(void* Block, SIZE_T Size) = 0;
  virtual void Free(void* Block) = 0;
  virtual SIZE_T GetSize(void* Block) = 0;  // -1 (as SIZE_T): not known
  virtual int DidAlloc(void* Block) = 0;    // -1: not known
  virtual void HeapMinimize() = 0;

protected:
  ~IMalloc() = default;
};
using LPMALLOC = IMalloc*;

HRESULT SHGetMalloc(IMalloc** Malloc);

// The item-id list of a special folder (the empty list for CSIDL_DESKTOP, the "Computer" item
// for CSIDL_DRIVES). E_INVALIDARG for an unmapped CSIDL; HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
// when its folder does not exist (add CSIDL_FLAG_CREATE to make it). Owner is ignored.
HRESULT SHGetSpecialFolderLocation(HWND Owner, int Csidl, LPITEMIDLIST* List);

// The file-system path of List into Path (MAX_PATH bytes). FALSE, with Path empty, for a virtual
// item, a damaged list, or a path that does not fit.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST List, LPSTR Path);
inline BOOL SHGetPathFromIDList(LPCITEMIDLIST List, LPSTR Path) { return SHGetPathFromIDListA(List, Path); }

// The folder of Csidl into Path (MAX_PATH bytes); Create makes a missing folder. FALSE (Path
// empty) when unmapped, virtual, missing without Create, or too long.
BOOL SHGetSpecialFolderPathA(HWND Owner, LPSTR Path, int Csidl, BOOL Create);
inline BOOL SHGetSpecialFolderPath(HWND Owner, LPSTR Path, int Csidl, BOOL Create)
{
  return SHGetSpecialFolderPathA(Owner, Path, Csidl, Create);
}

// The same with a result code: S_OK, E_INVALIDARG (unmapped or virtual),
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) (missing), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER).
HRESULT SHGetFolderPathA(HWND Owner, int Csidl, HANDLE Token, DWORD Flags, LPSTR Path);
