// The layer the shell controls share: routines on item-id lists, TskShellFolder (one item of the
// shell namespace with its folder object and cached texts), the named root folders, the shell
// context menu of an item, and the process-wide desktop item. The namespace itself is the one of
// platform/os (ShellNamespace.h): Home, Computer and the desktop folder's entries below the
// desktop, the volumes below Computer, the file system below them.
//
// The contract callers rely on:
// - Every id list made here comes from the shell allocator and is freed with FreeItemIdList.
// - A TskShellFolder owns its two id lists and its detail texts, never its parent; a parent must
//   outlive its children's parent-dependent operations. An item made without a parent gets the
//   desktop item as parent (its level stays 0).
// - Names are data: display and parsing names carry any bytes a Linux name holds.
// - Errors: "Error setting path: "%s"" when a Root cannot be resolved (the Root text is set back),
//   "Rename to %s failed", "%s: Missing call to LoadColumnDetails", EInvalidPath
//   "Unable to retrieve folder details for "%s". Error code $%x"; an unavailable allocator or
//   desktop raises EOleSysError.
// Everything here runs on the GUI thread.
#pragma once

#include <cstdint>

#include "platform/os/ComRef.h"
#include "platform/os/ShellNamespace.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/List.h"
#include "platform/rtl/WinTypes.h"

class TControl;

QV_DECLARE_EXCEPTION(EInvalidPath, Exception);
// The class library's OLE error: a failed call of the shell's interfaces.
class EOleSysError : public Exception {
public:
  EOleSysError(const String& Message, HRESULT Code) : Exception(Message), ErrorCode(Code) {}
  HRESULT ErrorCode;
};
[[noreturn]] void RaiseOleError(HRESULT Code);
// Raises EOleSysError for a failed result; gives a successful one back.
HRESULT OleCheck(HRESULT Result);

// ---- Item-id lists -------------------------------------------------------------------------

// A zero-filled list buffer of Size bytes from the shell allocator.
LPITEMIDLIST AllocItemIdList(UINT Size);
LPITEMIDLIST NextItemId(LPCITEMIDLIST Id);
// Ends the list before its last item id (in place); null is ignored.
void TrimLastItemId(LPITEMIDLIST List);
int CountItemIds(LPCITEMIDLIST List);
// 2 plus the counts of every item id; 0 for null.
UINT ItemIdListSize(LPCITEMIDLIST List);
LPITEMIDLIST CloneItemIdList(LPCITEMIDLIST List);
// First without its terminator (First may be null) followed by all of Second.
LPITEMIDLIST JoinItemIdLists(LPCITEMIDLIST First, LPCITEMIDLIST Second);
void FreeItemIdList(LPITEMIDLIST List);
// The last item id as a one-item list (a one-item or empty list is copied whole).
LPITEMIDLIST LastItemIdCopy(LPCITEMIDLIST List);
// A copy of every proper prefix of List, shortest (the desktop) first; empty for an empty list.
TList* AncestorItemIdLists(LPCITEMIDLIST List);
void FreeItemIdLists(TList* Lists);
// The desktop's CompareIDs says exactly 0.
bool SameItemIdList(LPCITEMIDLIST First, LPCITEMIDLIST Second);

// ---- Named roots and object types ----------------------------------------------------------

enum TskRootFolder {
  rfDesktop, rfMyComputer, rfNetwork, rfRecycleBin, rfAppData, rfCommonDesktopDirectory, rfCommonPrograms,
  rfCommonStartMenu, rfCommonStartup, rfControlPanel, rfDesktopDirectory, rfFavorites, rfFonts, rfInternet,
  rfPersonal, rfPrinters, rfPrintHood, rfPrograms, rfRecent, rfSendTo, rfStartMenu, rfStartup, rfTemplates
};
// A Root text: a TskRootFolder member name or a path.
using TRoot = String;
// The member whose name is Text (A-Z case-insensitive), -1 for any other text.
int RootFolderIndex(const String& Text);
String RootFolderName(TskRootFolder Root);
// The special folder a member stands for.
int RootFolderCsidl(TskRootFolder Root);

enum TShellObjectType { otFolders, otNonFolders, otHidden };
using TShellObjectTypes = unsigned;  // bit (1 << TShellObjectType)
constexpr TShellObjectTypes ShellObjectTypeBit(TShellObjectType Type) { return 1u << Type; }
DWORD ObjectTypesToEnumFlags(TShellObjectTypes Types);

// Capability bits (GetCapabilities) and property bits (GetProperties).
constexpr unsigned scCopy = 1, scDelete = 2, scLink = 4, scMove = 8, scRename = 16, scDropTarget = 32,
                   scPropertySheet = 64;
constexpr unsigned spHidden = 1, spLink = 2, spReadOnly = 4, spShare = 8, spFileSystem = 16,
                   spFileSysAncestor = 32, spRemovable = 64, spValidate = 128;

// The hook a control offers to hear of the verbs run from its shell context menu.
extern const IID IID_IShellVerbHook;
class IShellVerbHook {
public:
  virtual void BeforeVerb(const String& Verb, bool& Handled) = 0;
  virtual void AfterVerb(const String& Verb, bool Succeeded) = 0;

protected:
  ~IShellVerbHook() = default;
};

// ---- Items ---------------------------------------------------------------------------------

class TskShellFolder : public TObject {
public:
  TskShellFolder(TskShellFolder* AParent, IShellFolder* AFolder, LPCITEMIDLIST ARelativeID);
  ~TskShellFolder() override;
  TskShellFolder(const TskShellFolder&) = delete;
  TskShellFolder& operator=(const TskShellFolder&) = delete;

  LPITEMIDLIST GetRelativeID() const { return FRelativeID; }
  LPITEMIDLIST GetAbsoluteID() const { return FAbsoluteID; }
  TskShellFolder* GetParent() const { return FParent; }
  IShellFolder* GetShellFolder() const { return FFolder.Get(); }
  int GetLevel() const { return FLevel; }
  TStringList* GetDetails() const { return FDetails; }
  HWND GetViewHandle() const { return FViewHandle; }
  void SetViewHandle(HWND Value) { FViewHandle = Value; }

  // The parent's folder, or the desktop folder without a parent (no new reference).
  IShellFolder* GetParentShellFolder() const;
  String GetParsingName() const;
  String GetDisplayName() const;
  String GetFileSystemPath() const;
  bool IsFolder() const;
  bool HasSubFolders() const;
  unsigned GetCapabilities() const;
  unsigned GetProperties() const;
  int GetIconIndex(bool Large) const;
  // The chosen detail interface, or null (bound once).
  IUnknown* GetDetailInterface();
  IUnknown* GetShellFolder2() const { return FShellFolder2.Get(); }
  IUnknown* GetShellDetails() const { return FShellDetails.Get(); }
  // Detail N (from 1) of the loaded details.
  String GetDetail(int N) const;
  TFindData GetFindData() const;
  bool Rename(const String& NewName);
  bool InvokeVerb(const String& Verb);

private:
  friend void LoadColumnDetails(TskShellFolder* Item, TskShellFolder* Parent, HWND Window, int N);
  LPITEMIDLIST FRelativeID = nullptr;
  LPITEMIDLIST FAbsoluteID = nullptr;
  TskShellFolder* FParent = nullptr;
  TComRef<IShellFolder> FFolder;
  TComRef<IUnknown> FShellFolder2;
  TComRef<IUnknown> FShellDetails;
  IUnknown* FDetailInterface = nullptr;
  bool FDetailsBound = false;
  int FLevel = 0;
  HWND FViewHandle = nullptr;
  TStringList* FDetails = nullptr;
};

// The process-wide desktop item (made on first use, freed at shut-down).
TskShellFolder* DesktopShellItem();
// The desktop folder (no new reference); raises EOleSysError when there is none.
IShellFolder* DesktopShellFolder();
// Frees the desktop item (the unit's shut-down; later use makes a new one).
void FinalizeShellItems();

// Column details 1..N of Item (a child of Parent) into its detail list.
void LoadColumnDetails(TskShellFolder* Item, TskShellFolder* Parent, HWND Window, int N);
// The find data's size (64 bits) and modification time (local, two-second steps).
Int64 FindDataSize(const TFindData& Data);
TDateTime FindDataModified(const TFindData& Data);

// Icon index (TShellIconIndex) of a list.
int GetShellIconIndex(LPCITEMIDLIST List, bool Large, bool Open);

// Texts.
String StrRetToText(LPCITEMIDLIST RelativeId, STRRET& StrRet);
String ShellDisplayName(IShellFolder* Folder, LPCITEMIDLIST RelativeId, DWORD Flags);

// Binding (each null when every attempt fails; a new reference).
IShellFolder* BindChildFolder(IShellFolder* Parent, LPCITEMIDLIST RelativeId, HWND Window);
IUnknown* BindShellDetails(IShellFolder* Folder, LPCITEMIDLIST Id, HWND Window);
IUnknown* BindShellFolder2(IShellFolder* Folder, LPCITEMIDLIST Id, HWND Window);

// A new item for a full id list, with the desktop item as parent.
TskShellFolder* CreateItemForIdList(LPCITEMIDLIST FullList);
// Whether Folder lists at least one item for the enumeration flags.
bool FolderHasItems(IShellFolder* Folder, DWORD Flags);

// Resolves Root (a member name or a path; "X:" becomes "X:\" in Root itself) into a new item,
// freeing Current. On failure Root is set back to Previous and "Error setting path" is raised;
// Current stays.
TskShellFolder* ResolveRootFolder(TskShellFolder* Current, const String& Previous, String& Root);

// The context menu being tracked (menu messages go to it), or null.
extern IContextMenu2* ActiveContextMenu2;
// Shows Item's shell context menu at (X, Y) of Control's client area.
void ShowShellContextMenu(TControl* Control, TskShellFolder* Item, int X, int Y);
