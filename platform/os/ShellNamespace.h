// The shell namespace of Linux, behind the interfaces the shell controls browse: IShellFolder
// (a folder of the namespace), IEnumIDList (its items) and the desktop folder at the top.
//
// The namespace, in item-id lists (ItemIdList.h):
//   []                                   the desktop: Home, Computer, then the entries of the
//                                        XDG desktop folder (when it exists)
//   [V "Home"] [F name]...               the user's home folder and what lies below it
//   [V "Computer"]                       the volumes of the volume table: "/" first, then optical
//                                        and removable media, then the other mounts (mounted ones
//                                        only: an empty optical drive has no folder to show)
//   [V "Computer"] [VOL mount] [F name]... a volume's mount point and the folders below it
//   [F name]...                          an entry of the desktop folder and what lies below it
// (V = ITEMKIND_VIRTUAL, VOL = ITEMKIND_VOLUME, F = ITEMKIND_FOLDER or ITEMKIND_FILE.)
//
// Names are data: any byte a Linux name may hold ('"', '\\', newlines, bytes that are not
// UTF-8) passes through ids, display names and parsing names unchanged. A folder is whatever
// stat (links followed) calls a directory; a link whose target is missing or loops is an item
// that is no folder. Hidden = a name starting with '.'. Attributes are read when asked; the
// has-subfolders bit opens the folder and stops at its first subfolder.
//
// Texts come back in STRRET_WSTR form holding the bytes themselves (pOleStr, allocated with
// CoTaskMemAlloc; whoever receives it frees it). Parsing names are absolute paths for
// file-system items, and "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}" for Computer.
//
// Every folder object is reference counted (AddRef/Release); it deletes itself at zero. The
// objects may be used from any one thread at a time; the desktop folder is process-wide.
#pragma once

#include <cstdint>

#include "platform/os/ItemIdList.h"
#include "platform/os/ShellTypes.h"

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
using IID = GUID;
using REFIID = const IID&;
bool IsEqualGUID(const GUID& A, const GUID& B);

extern const IID IID_IUnknown;
extern const IID IID_IShellFolder;
extern const IID IID_IShellFolder2;
extern const IID IID_IShellDetails;
extern const IID IID_IEnumIDList;
extern const IID IID_IContextMenu;
extern const IID IID_IContextMenu2;

// The identifier of Computer, as the shell writes it in parsing names.
inline constexpr const char* ComputerParsingName = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID Iid, void** Object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

protected:
  ~IUnknown() = default;
};

// SHGDN_*: what GetDisplayNameOf names.
constexpr DWORD SHGDN_NORMAL = 0x0000;
constexpr DWORD SHGDN_INFOLDER = 0x0001;
constexpr DWORD SHGDN_FOREDITING = 0x1000;
constexpr DWORD SHGDN_FORADDRESSBAR = 0x4000;
constexpr DWORD SHGDN_FORPARSING = 0x8000;

// SHCONTF_*: what EnumObjects lists.
constexpr DWORD SHCONTF_FOLDERS = 0x0020;
constexpr DWORD SHCONTF_NONFOLDERS = 0x0040;
constexpr DWORD SHCONTF_INCLUDEHIDDEN = 0x0080;

// SFGAO_*: item attributes.
constexpr ULONG SFGAO_CANCOPY = 0x00000001;
constexpr ULONG SFGAO_CANMOVE = 0x00000002;
constexpr ULONG SFGAO_CANLINK = 0x00000004;
constexpr ULONG SFGAO_CANRENAME = 0x00000010;
constexpr ULONG SFGAO_CANDELETE = 0x00000020;
constexpr ULONG SFGAO_HASPROPSHEET = 0x00000040;
constexpr ULONG SFGAO_DROPTARGET = 0x00000100;
constexpr ULONG SFGAO_LINK = 0x00010000;
constexpr ULONG SFGAO_SHARE = 0x00020000;
constexpr ULONG SFGAO_READONLY = 0x00040000;
constexpr ULONG SFGAO_HIDDEN = 0x00080000;
constexpr ULONG SFGAO_VALIDATE = 0x01000000;
constexpr ULONG SFGAO_REMOVABLE = 0x02000000;
constexpr ULONG SFGAO_FILESYSANCESTOR = 0x10000000;
constexpr ULONG SFGAO_FOLDER = 0x20000000;
constexpr ULONG SFGAO_FILESYSTEM = 0x40000000;
constexpr ULONG SFGAO_HASSUBFOLDER = 0x80000000;

// STRRET: a text handed back by the namespace.
constexpr UINT STRRET_WSTR = 0;
constexpr UINT STRRET_OFFSET = 1;
constexpr UINT STRRET_CSTR = 2;
struct STRRET {
  UINT uType;
  union {
    char* pOleStr;  // STRRET_WSTR: zero-terminated bytes from CoTaskMemAlloc (may hold no zero byte inside)
    UINT uOffset;   // STRRET_OFFSET: offset of the text inside the item id
    char cStr[MAX_PATH];
  };
};

struct IEnumIDList : IUnknown {
  // Up to Count ids (each a new one-item list the caller frees); S_FALSE when fewer were left.
  virtual HRESULT Next(ULONG Count, LPITEMIDLIST* Lists, ULONG* Fetched) = 0;
  virtual HRESULT Skip(ULONG Count) = 0;
  virtual HRESULT Reset() = 0;

protected:
  ~IEnumIDList() = default;
};

struct IShellFolder : IUnknown {
  // An absolute path (or ComputerParsingName) for the desktop; a name or relative path below
  // the folder for the others. The result is relative to this folder. Missing items fail with
  // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND).
  virtual HRESULT ParseDisplayName(HWND Owner, void* BindContext, LPCSTR DisplayName, ULONG* Eaten,
                                   LPITEMIDLIST* List, ULONG* Attributes) = 0;
  // E_ACCESSDENIED (or another failure) when the folder cannot be read.
  virtual HRESULT EnumObjects(HWND Owner, DWORD Flags, IEnumIDList** Enum) = 0;
  // The folder object of a folder below (IID_IShellFolder); E_FAIL for an item that is no folder.
  virtual HRESULT BindToObject(LPCITEMIDLIST List, void* BindContext, REFIID Iid, void** Object) = 0;
  virtual HRESULT BindToStorage(LPCITEMIDLIST List, void* BindContext, REFIID Iid, void** Object) = 0;
  // The order of two lists relative to this folder, in the low 16 bits of the result (signed):
  // folders first, then by name (A-Z case-insensitive, then by bytes), shorter lists first.
  virtual HRESULT CompareIDs(LPARAM Param, LPCITEMIDLIST First, LPCITEMIDLIST Second) = 0;
  virtual HRESULT CreateViewObject(HWND Owner, REFIID Iid, void** Object) = 0;
  // *InOut: the attributes asked on entry, those every given item has on return.
  virtual HRESULT GetAttributesOf(UINT Count, LPCITEMIDLIST* Lists, ULONG* InOut) = 0;
  virtual HRESULT GetUIObjectOf(HWND Owner, UINT Count, LPCITEMIDLIST* Lists, REFIID Iid, UINT* Reserved,
                                void** Object) = 0;
  virtual HRESULT GetDisplayNameOf(LPCITEMIDLIST List, DWORD Flags, STRRET* Name) = 0;
  // Renames a file-system item to Name (one name: no '/', not "." or ".."; never over an
  // existing item); Out gets the new relative id.
  virtual HRESULT SetNameOf(HWND Owner, LPCITEMIDLIST List, LPCSTR Name, DWORD Flags, LPITEMIDLIST* Out) = 0;

protected:
  ~IShellFolder() = default;
};
using LPSHELLFOLDER = IShellFolder*;

// The desktop folder (a new reference).
HRESULT SHGetDesktopFolder(IShellFolder** Folder);

// The icons of the namespace (indexes of the image list the shell controls draw).
enum TShellIconIndex : int {
  siFolder,
  siFolderOpen,
  siFolderLocked,  // a folder that cannot be read
  siFolderLink,
  siFile,
  siFileLink,
  siDesktop,
  siComputer,
  siHome,
  siHardDisk,
  siOpticalDisc,
  siRemovable,
  siNetworkDrive,
  siShellIconCount
};

// The icon of an absolute list (Open: the open look of a folder); -1 for a damaged list.
int ShellIconIndexOf(LPCITEMIDLIST List, bool Open);

// What a find on one name gives (FindFirstFile on one item, not a pattern).
struct FILETIME {
  DWORD dwLowDateTime;   // 100 ns since 1601-01-01 UTC
  DWORD dwHighDateTime;
};
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
struct TFindData {
  DWORD dwFileAttributes = 0;
  FILETIME ftLastWriteTime{};
  DWORD nFileSizeHigh = 0;
  DWORD nFileSizeLow = 0;
  String cFileName;
};
// The find data of Path (links followed for size, kind and time; REPARSE_POINT marks a link);
// false with the system error code in Error when it cannot be read.
bool FindDataOfPath(const String& Path, TFindData& Data, DWORD& Error);

// The context menu of items (GetUIObjectOf with IID_IContextMenu). The namespace of this system
// offers none: the shell controls then show no shell menu.
constexpr UINT CMF_EXPLORE = 0x04;
constexpr UINT CMF_CANRENAME = 0x10;
constexpr UINT GCS_VERBA = 0x0;
constexpr DWORD CMIC_MASK_ASYNCOK = 0x00100000;
struct CMINVOKECOMMANDINFO {
  DWORD cbSize;
  DWORD fMask;
  HWND hwnd;
  LPCSTR lpVerb;  // a verb text, or a command offset (MAKEINTRESOURCE)
  LPCSTR lpParameters;
  LPCSTR lpDirectory;
  int nShow;
  DWORD dwHotKey;
  HANDLE hIcon;
};
struct IContextMenu : IUnknown {
  virtual HRESULT QueryContextMenu(HMENU Menu, UINT IndexMenu, UINT CmdFirst, UINT CmdLast, UINT Flags) = 0;
  virtual HRESULT InvokeCommand(CMINVOKECOMMANDINFO* Info) = 0;
  virtual HRESULT GetCommandString(UINT_PTR Command, UINT Type, UINT* Reserved, LPSTR Name, UINT Max) = 0;

protected:
  ~IContextMenu() = default;
};
struct IContextMenu2 : IContextMenu {
  virtual HRESULT HandleMenuMsg(UINT Msg, WPARAM WParam, LPARAM LParam) = 0;

protected:
  ~IContextMenu2() = default;
};
