#include "skin/shell/SkinShellItems.h"

#include <cstring>
#include <ctime>

#include "platform/os/ShellFileInfo.h"
#include "platform/os/ShellFolders.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"

const IID IID_IShellVerbHook = {0x7D2A7245, 0x2376, 0x4D33, {0x80, 0x08, 0xA1, 0x30, 0x93, 0x5A, 0x2E, 0x8B}};

IContextMenu2* ActiveContextMenu2 = nullptr;

namespace {

USHORT IdCount(const void* At)
{
  USHORT cb = 0;
  std::memcpy(&cb, At, sizeof cb);
  return cb;
}

const BYTE* Bytes(LPCITEMIDLIST List) { return reinterpret_cast<const BYTE*>(List); }

TskShellFolder*& DesktopItemSlot()
{
  static TskShellFolder* item = nullptr;
  return item;
}

const char* const RootNames[] = {"rfDesktop", "rfMyComputer", "rfNetwork", "rfRecycleBin", "rfAppData",
                                 "rfCommonDesktopDirectory", "rfCommonPrograms", "rfCommonStartMenu",
                                 "rfCommonStartup", "rfControlPanel", "rfDesktopDirectory", "rfFavorites",
                                 "rfFonts", "rfInternet", "rfPersonal", "rfPrinters", "rfPrintHood",
                                 "rfPrograms", "rfRecent", "rfSendTo", "rfStartMenu", "rfStartup",
                                 "rfTemplates"};
const int RootCsidls[] = {0, 17, 18, 10, 26, 25, 23, 22, 24, 3, 16, 6, 20, 1, 5, 4, 27, 2, 8, 9, 11, 7, 21};

ULONG AttributesInParent(const TskShellFolder& Item, ULONG Mask)
{
  IShellFolder* parent = Item.GetParentShellFolder();
  if (!parent) return 0;
  LPCITEMIDLIST id = Item.GetRelativeID();
  ULONG attributes = Mask;
  if (FAILED(parent->GetAttributesOf(1, &id, &attributes))) return 0;
  return attributes;
}

}  // namespace

[[noreturn]] void RaiseOleError(HRESULT Code)
{
  throw EOleSysError(Format("OLE error %.8X", {static_cast<unsigned>(Code)}), Code);
}

HRESULT OleCheck(HRESULT Result)
{
  if (FAILED(Result)) RaiseOleError(Result);
  return Result;
}

// ---- Item-id lists -------------------------------------------------------------------------

LPITEMIDLIST AllocItemIdList(UINT Size)
{
  IMalloc* malloc = nullptr;
  OleCheck(SHGetMalloc(&malloc));
  void* block = malloc->Alloc(Size);
  malloc->Release();
  if (!block) RaiseOleError(E_OUTOFMEMORY);
  std::memset(block, 0, Size);
  return static_cast<LPITEMIDLIST>(block);
}

LPITEMIDLIST NextItemId(LPCITEMIDLIST Id)
{
  return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(Bytes(Id) + IdCount(Id)));
}

void TrimLastItemId(LPITEMIDLIST List)
{
  if (!List || IdCount(List) == 0) return;
  LPITEMIDLIST last = List;
  for (LPITEMIDLIST p = List; IdCount(p) != 0; p = NextItemId(p)) last = p;
  std::memset(last, 0, 2);
}

int CountItemIds(LPCITEMIDLIST List)
{
  if (!List) return 0;
  int n = 0;
  for (LPCITEMIDLIST p = List; IdCount(p) != 0; p = NextItemId(p)) ++n;
  return n;
}

UINT ItemIdListSize(LPCITEMIDLIST List)
{
  if (!List) return 0;
  UINT size = 2;
  for (LPCITEMIDLIST p = List; IdCount(p) != 0; p = NextItemId(p)) size += IdCount(p);
  return size;
}

LPITEMIDLIST CloneItemIdList(LPCITEMIDLIST List)
{
  const UINT size = ItemIdListSize(List);
  LPITEMIDLIST copy = AllocItemIdList(size ? size : 2);
  if (size) std::memcpy(copy, List, size);
  return copy;
}

LPITEMIDLIST JoinItemIdLists(LPCITEMIDLIST First, LPCITEMIDLIST Second)
{
  const UINT first = First ? ItemIdListSize(First) - 2 : 0;
  const UINT second = Second ? ItemIdListSize(Second) : 2;
  LPITEMIDLIST list = AllocItemIdList(first + second);
  BYTE* p = reinterpret_cast<BYTE*>(list);
  if (first) std::memcpy(p, First, first);
  if (Second) std::memcpy(p + first, Second, second);
  return list;
}

void FreeItemIdList(LPITEMIDLIST List)
{
  if (!List) return;
  IMalloc* malloc = nullptr;
  if (FAILED(SHGetMalloc(&malloc))) return;
  malloc->Free(List);
  malloc->Release();
}

LPITEMIDLIST LastItemIdCopy(LPCITEMIDLIST List)
{
  if (CountItemIds(List) <= 1) return CloneItemIdList(List);
  LPCITEMIDLIST last = List;
  for (LPCITEMIDLIST p = List; IdCount(p) != 0; p = NextItemId(p)) last = p;
  const USHORT cb = IdCount(last);
  LPITEMIDLIST copy = AllocItemIdList(cb + 2u);
  std::memcpy(copy, last, cb);
  return copy;
}

TList* AncestorItemIdLists(LPCITEMIDLIST List)
{
  auto* lists = new TList();
  const int n = CountItemIds(List);
  try {
    UINT size = 0;
    LPCITEMIDLIST p = List;
    for (int i = 0; i < n; ++i) {
      LPITEMIDLIST prefix = AllocItemIdList(size + 2);
      if (size) std::memcpy(prefix, List, size);
      lists->Add(prefix);
      size += IdCount(p);
      p = NextItemId(p);
    }
  } catch (...) {
    FreeItemIdLists(lists);
    throw;
  }
  return lists;
}

void FreeItemIdLists(TList* Lists)
{
  if (!Lists) return;
  for (int i = 0; i < Lists->GetCount(); ++i) FreeItemIdList(static_cast<LPITEMIDLIST>(Lists->Get(i)));
  delete Lists;
}

bool SameItemIdList(LPCITEMIDLIST First, LPCITEMIDLIST Second)
{
  return DesktopShellFolder()->CompareIDs(0, First, Second) == 0;
}

// ---- Roots and types -----------------------------------------------------------------------

int RootFolderIndex(const String& Text)
{
  for (int i = 0; i <= rfTemplates; ++i)
    if (SameText(Text, RootNames[i])) return i;
  return -1;
}

String RootFolderName(TskRootFolder Root) { return RootNames[Root]; }

int RootFolderCsidl(TskRootFolder Root) { return RootCsidls[Root]; }

DWORD ObjectTypesToEnumFlags(TShellObjectTypes Types) { return (Types & 7u) << 5; }

// ---- Texts and binding ---------------------------------------------------------------------

String StrRetToText(LPCITEMIDLIST RelativeId, STRRET& StrRet)
{
  String text;
  switch (StrRet.uType) {
    case STRRET_WSTR:
      if (StrRet.pOleStr) {
        text = StrRet.pOleStr;
        CoTaskMemFree(StrRet.pOleStr);
        StrRet.pOleStr = nullptr;
      }
      break;
    case STRRET_OFFSET:
      if (RelativeId) {
        const USHORT cb = IdCount(RelativeId);
        if (StrRet.uOffset < cb) text.assign(reinterpret_cast<const char*>(Bytes(RelativeId)) + StrRet.uOffset, cb - StrRet.uOffset);
      }
      break;
    case STRRET_CSTR:
      text.assign(StrRet.cStr, strnlen(StrRet.cStr, sizeof StrRet.cStr));
      break;
    default:
      break;
  }
  if (text.size() > 1 && text[0] == '?' && text[1] >= '0' && text[1] <= '9') {
    String kept;
    for (char c : text)
      if (c != '?') kept += c;
    text = kept;
  }
  return text;
}

String ShellDisplayName(IShellFolder* Folder, LPCITEMIDLIST RelativeId, DWORD Flags)
{
  if (!Folder) return "parentfolder = nil";
  STRRET strRet;
  std::memset(&strRet, 0, sizeof strRet);
  String text;
  if (SUCCEEDED(Folder->GetDisplayNameOf(RelativeId, Flags, &strRet))) text = StrRetToText(RelativeId, strRet);
  if (text.rfind("::{", 0) == 0) {
    std::memset(&strRet, 0, sizeof strRet);
    text.clear();
    if (SUCCEEDED(Folder->GetDisplayNameOf(RelativeId, SHGDN_NORMAL, &strRet))) text = StrRetToText(RelativeId, strRet);
  }
  return text;
}

IShellFolder* BindChildFolder(IShellFolder* Parent, LPCITEMIDLIST RelativeId, HWND Window)
{
  void* object = nullptr;
  if (Parent) {
    if (FAILED(Parent->BindToObject(RelativeId, nullptr, IID_IShellFolder, &object))) {
      object = nullptr;
      LPCITEMIDLIST id = RelativeId;
      if (FAILED(Parent->GetUIObjectOf(Window, 1, &id, IID_IShellFolder, nullptr, &object))) object = nullptr;
      if (!object && FAILED(Parent->CreateViewObject(Window, IID_IShellFolder, &object))) object = nullptr;
    }
  }
  if (!object) {
    if (FAILED(DesktopShellFolder()->BindToObject(RelativeId, nullptr, IID_IShellFolder, &object))) object = nullptr;
  }
  return static_cast<IShellFolder*>(object);
}

IUnknown* BindShellDetails(IShellFolder* Folder, LPCITEMIDLIST Id, HWND Window)
{
  void* object = nullptr;
  if (Folder) {
    if (FAILED(Folder->BindToObject(Id, nullptr, IID_IShellDetails, &object))) {
      object = nullptr;
      LPCITEMIDLIST id = Id;
      if (FAILED(Folder->GetUIObjectOf(Window, 1, &id, IID_IShellDetails, nullptr, &object))) object = nullptr;
      if (!object && FAILED(Folder->CreateViewObject(Window, IID_IShellDetails, &object))) object = nullptr;
    }
  }
  if (!object && FAILED(DesktopShellFolder()->BindToObject(Id, nullptr, IID_IShellDetails, &object))) object = nullptr;
  return static_cast<IUnknown*>(object);
}

IUnknown* BindShellFolder2(IShellFolder* Folder, LPCITEMIDLIST Id, HWND Window)
{
  void* object = nullptr;
  if (FAILED(DesktopShellFolder()->BindToObject(Id, nullptr, IID_IShellFolder2, &object))) object = nullptr;
  if (!object && Folder) {
    LPCITEMIDLIST id = Id;
    if (FAILED(Folder->GetUIObjectOf(Window, 1, &id, IID_IShellFolder2, nullptr, &object))) object = nullptr;
    if (!object && FAILED(Folder->BindToObject(Id, nullptr, IID_IShellFolder2, &object))) object = nullptr;
  }
  return static_cast<IUnknown*>(object);
}

// ---- The desktop item ----------------------------------------------------------------------

IShellFolder* DesktopShellFolder()
{
  static IShellFolder* desktop = [] {
    IShellFolder* folder = nullptr;
    OleCheck(SHGetDesktopFolder(&folder));
    return folder;
  }();
  return desktop;
}

TskShellFolder* DesktopShellItem()
{
  TskShellFolder*& item = DesktopItemSlot();
  if (!item) {
    LPITEMIDLIST location = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &location))) {
      item = new TskShellFolder(nullptr, DesktopShellFolder(), location);
      FreeItemIdList(location);
    }
  }
  return item;
}

void FinalizeShellItems()
{
  delete DesktopItemSlot();
  DesktopItemSlot() = nullptr;
  if (ActiveContextMenu2) std::exchange(ActiveContextMenu2, nullptr)->Release();
}

// ---- TskShellFolder ------------------------------------------------------------------------

TskShellFolder::TskShellFolder(TskShellFolder* AParent, IShellFolder* AFolder, LPCITEMIDLIST ARelativeID)
    : FParent(AParent), FFolder(AFolder)
{
  FDetails = new TStringList();
  try {
    FRelativeID = CloneItemIdList(ARelativeID);
    if (AParent) {
      FAbsoluteID = JoinItemIdLists(AParent->GetAbsoluteID(), FRelativeID);
    } else {
      LPITEMIDLIST desktop = nullptr;
      SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop);
      FAbsoluteID = JoinItemIdLists(desktop, FRelativeID);
      FreeItemIdList(desktop);
    }
  } catch (...) {
    FreeItemIdList(FRelativeID);
    delete FDetails;
    throw;
  }
  for (TskShellFolder* p = AParent ? AParent->FParent : nullptr; p; p = p->FParent) ++FLevel;
  if (!AParent && DesktopItemSlot()) FParent = DesktopItemSlot();
}

TskShellFolder::~TskShellFolder()
{
  delete FDetails;
  FreeItemIdList(FRelativeID);
  FreeItemIdList(FAbsoluteID);
}

IShellFolder* TskShellFolder::GetParentShellFolder() const
{
  if (FParent) return FParent->GetShellFolder();
  return DesktopShellFolder();
}

String TskShellFolder::GetParsingName() const
{
  return ShellDisplayName(DesktopShellFolder(), FAbsoluteID, SHGDN_FORPARSING);
}

String TskShellFolder::GetDisplayName() const
{
  return ShellDisplayName(FParent ? FParent->GetShellFolder() : DesktopShellFolder(), FRelativeID, SHGDN_NORMAL);
}

String TskShellFolder::GetFileSystemPath() const
{
  // The path has no length limit of its own here.
  return ItemIdListToPath(FAbsoluteID);
}

bool TskShellFolder::IsFolder() const
{
  return (AttributesInParent(*this, SFGAO_FOLDER) & SFGAO_FOLDER) != 0 &&
         UpperCase(ExtractFileExt(GetFileSystemPath())) != ".ZIP";
}

bool TskShellFolder::HasSubFolders() const
{
  return (AttributesInParent(*this, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER) != 0;
}

unsigned TskShellFolder::GetCapabilities() const
{
  const ULONG a = AttributesInParent(*this, 0x177);
  unsigned r = 0;
  if (a & SFGAO_CANCOPY) r |= scCopy;
  if (a & SFGAO_CANDELETE) r |= scDelete;
  if (a & SFGAO_CANLINK) r |= scLink;
  if (a & SFGAO_CANMOVE) r |= scMove;
  if (a & SFGAO_CANRENAME) r |= scRename;
  if (a & SFGAO_DROPTARGET) r |= scDropTarget;
  if (a & SFGAO_HASPROPSHEET) r |= scPropertySheet;
  return r;
}

unsigned TskShellFolder::GetProperties() const
{
  const ULONG first = AttributesInParent(*this, 0x000F0000);
  // The second question asks with an empty mask, as the shell answers its fixed bits then.
  const ULONG second = AttributesInParent(*this, SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE | SFGAO_VALIDATE);
  unsigned r = 0;
  if (first & SFGAO_HIDDEN) r |= spHidden;
  if (first & SFGAO_LINK) r |= spLink;
  if (first & SFGAO_READONLY) r |= spReadOnly;
  if (first & SFGAO_SHARE) r |= spShare;
  if (second & SFGAO_FILESYSTEM) r |= spFileSystem;
  if (second & SFGAO_FILESYSANCESTOR) r |= spFileSysAncestor;
  if (second & SFGAO_REMOVABLE) r |= spRemovable;
  if (second & SFGAO_VALIDATE) r |= spValidate;
  return r;
}

int TskShellFolder::GetIconIndex(bool Large) const { return GetShellIconIndex(FAbsoluteID, Large, false); }

int GetShellIconIndex(LPCITEMIDLIST List, bool Large, bool Open)
{
  SHFILEINFOA info{};
  UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX;
  if (Open) flags |= SHGFI_OPENICON;
  if (!Large) flags |= SHGFI_SMALLICON;
  SHGetFileInfoA(reinterpret_cast<LPCSTR>(List), 0, &info, sizeof info, flags);
  return info.iIcon;
}

IUnknown* TskShellFolder::GetDetailInterface()
{
  if (!FFolder || FDetailsBound) return FDetailInterface;
  FDetailsBound = true;
  FShellDetails = TComRef<IUnknown>::Adopt(BindShellDetails(FFolder.Get(), FAbsoluteID, FViewHandle));
  if (!FShellDetails) {
    FShellFolder2 = TComRef<IUnknown>::Adopt(BindShellFolder2(FFolder.Get(), FAbsoluteID, FViewHandle));
    if (!FShellFolder2) {
      void* own = nullptr;
      if (SUCCEEDED(FFolder->QueryInterface(IID_IShellFolder2, &own)))
        FShellFolder2 = TComRef<IUnknown>::Adopt(static_cast<IUnknown*>(own));
    }
  }
  FDetailInterface = FShellFolder2 ? FShellFolder2.Get() : FShellDetails.Get();
  return FDetailInterface;
}

String TskShellFolder::GetDetail(int N) const
{
  if (FDetails->GetCount() == 0)
    throw Exception(Format("%s: Missing call to LoadColumnDetails", {GetDisplayName()}));
  return FDetails->Get(N - 1);
}

TFindData TskShellFolder::GetFindData() const
{
  TFindData data;
  DWORD error = 0;
  if (!FindDataOfPath(GetParsingName(), data, error))
    throw EInvalidPath(Format("Unable to retrieve folder details for \"%s\". Error code $%x", {GetDisplayName(), error}));
  return data;
}

bool TskShellFolder::Rename(const String& NewName)
{
  if (!(GetCapabilities() & scRename)) return false;
  IShellFolder* parent = GetParentShellFolder();
  LPITEMIDLIST renamed = nullptr;
  if (!parent || FAILED(parent->SetNameOf(nullptr, FRelativeID, NewName.c_str(), 0, &renamed)))
    throw Exception(Format("Rename to %s failed", {NewName}));
  LPITEMIDLIST full = FParent ? JoinItemIdLists(FParent->GetAbsoluteID(), renamed) : CloneItemIdList(renamed);
  FreeItemIdList(FRelativeID);
  FreeItemIdList(FAbsoluteID);
  FRelativeID = renamed;
  FAbsoluteID = full;
  return true;
}

bool TskShellFolder::InvokeVerb(const String& Verb)
{
  IShellFolder* parent = GetParentShellFolder();
  if (!parent) return false;
  LPCITEMIDLIST id = FRelativeID;
  TComRef<IContextMenu> menu;
  if (FAILED(parent->GetUIObjectOf(nullptr, 1, &id, IID_IContextMenu, nullptr, menu.PutVoid())) || !menu) return false;
  CMINVOKECOMMANDINFO info{};
  info.cbSize = 36;
  info.fMask = CMIC_MASK_ASYNCOK;
  info.lpVerb = Verb.c_str();
  info.nShow = 1;
  return SUCCEEDED(menu->InvokeCommand(&info));
}

// ---- Details, creation, enumeration --------------------------------------------------------

Int64 FindDataSize(const TFindData& Data)
{
  return static_cast<Int64>((static_cast<UInt64>(Data.nFileSizeHigh) << 32) + Data.nFileSizeLow);
}

TDateTime FindDataModified(const TFindData& Data)
{
  const UInt64 ticks = (static_cast<UInt64>(Data.ftLastWriteTime.dwHighDateTime) << 32) | Data.ftLastWriteTime.dwLowDateTime;
  if (ticks < 116444736000000000ull) return -1.0;
  const std::time_t seconds = static_cast<std::time_t>((ticks - 116444736000000000ull) / 10000000ull);
  std::tm local{};
  if (!localtime_r(&seconds, &local) || local.tm_year < 80 || local.tm_year > 207) return -1.0;
  // The DOS form: two-second steps.
  const int dos = ((local.tm_year - 80) << 25) | ((local.tm_mon + 1) << 21) | (local.tm_mday << 16) |
                  (local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2);
  try {
    return FileDateToDateTime(dos);
  } catch (const EConvertError&) {
    return -1.0;
  }
}

void LoadColumnDetails(TskShellFolder* Item, TskShellFolder* Parent, HWND Window, int N)
{
  if (!Item || Item->FDetails->GetCount() >= N) return;
  Item->FDetails->Clear();
  Item->FViewHandle = Window;
  if (!Parent) return;
  // The namespace offers neither IShellFolder2 nor IShellDetails; a bound one would answer
  // through its own GetDetailsOf. Without one, a file-system parent gives the find data.
  Parent->GetDetailInterface();
  if (Parent->GetShellFolder2() || Parent->GetShellDetails()) return;
  if (!(Parent->GetProperties() & spFileSystem)) return;
  const TFindData data = Item->GetFindData();
  const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  for (int column = 1; column <= N; ++column) {
    String text;
    switch (column) {
      case 1:
        // A folder has no size: an empty text rather than a made-up number.
        if (!folder) text = IntToStr(FindDataSize(data));
        break;
      case 2:
        text = ExtractFileExt(data.cFileName);
        break;
      case 3:
        if (!folder) {
          const TDateTime modified = FindDataModified(data);
          if (modified != -1.0) text = DateTimeToStr(modified);
        }
        break;
      case 4:
        text = IntToStr(static_cast<Int64>(data.dwFileAttributes));
        break;
      default:
        break;
    }
    Item->FDetails->Add(text);
  }
}

TskShellFolder* CreateItemForIdList(LPCITEMIDLIST FullList)
{
  TComRef<IShellFolder> folder = TComRef<IShellFolder>::Adopt(BindChildFolder(DesktopShellFolder(), FullList, nullptr));
  if (!folder) folder = TComRef<IShellFolder>(DesktopShellFolder());
  return new TskShellFolder(DesktopShellItem(), folder.Get(), FullList);
}

bool FolderHasItems(IShellFolder* Folder, DWORD Flags)
{
  if (!Folder) return false;
  // No system error boxes exist here to switch off.
  TComRef<IEnumIDList> items;
  if (FAILED(Folder->EnumObjects(nullptr, Flags, items.Put())) || !items) return false;
  LPITEMIDLIST first = nullptr;
  ULONG fetched = 0;
  const bool any = items->Next(1, &first, &fetched) == S_OK;
  FreeItemIdList(first);
  return any;
}

TskShellFolder* ResolveRootFolder(TskShellFolder* Current, const String& Previous, String& Root)
{
  LPITEMIDLIST list = nullptr;
  HRESULT result = E_FAIL;
  const int member = RootFolderIndex(Root);
  if (member >= 0) {
    result = SHGetSpecialFolderLocation(nullptr, RootFolderCsidl(static_cast<TskRootFolder>(member)), &list);
  } else if (!Root.empty()) {
    if (Root.back() == ':') Root += "\\";
    ULONG eaten = 0;
    result = DesktopShellFolder()->ParseDisplayName(nullptr, nullptr, Root.c_str(), &eaten, &list, nullptr);
  }
  if (FAILED(result) || !list) {
    FreeItemIdList(list);
    const String message = Format("Error setting path: \"%s\"", {Root});
    Root = Previous;
    throw Exception(message);
  }
  TskShellFolder* item = nullptr;
  try {
    item = CreateItemForIdList(list);
  } catch (...) {
    FreeItemIdList(list);
    throw;
  }
  FreeItemIdList(list);
  delete Current;
  return item;
}

void ShowShellContextMenu(TControl* Control, TskShellFolder* Item, int, int)
{
  if (!Control || !Item) return;
  IShellFolder* parent = Item->GetParentShellFolder();
  if (!parent) return;
  LPCITEMIDLIST id = Item->GetRelativeID();
  TComRef<IContextMenu> menu;
  if (FAILED(parent->GetUIObjectOf(nullptr, 1, &id, IID_IContextMenu, nullptr, menu.PutVoid())) || !menu) return;
  // The namespace of this system hands out no context menu, so there is nothing to track.
}
