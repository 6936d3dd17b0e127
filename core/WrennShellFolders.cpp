#include "core/WrennShellFolders.h"

#include <cstring>

#include "platform/os/ShellFileInfo.h"
#include "platform/os/ShellFolders.h"
#include "platform/rtl/StringList.h"

namespace {

struct TFolderIdEntry {
  int Id;
  const char* Name;
};

// Alphabetical by name; every identifier is the Windows value of that name.
constexpr TFolderIdEntry FolderIdTable[] = {
    {48, "CSIDL_ADMINTOOLS"}, {29, "CSIDL_ALTSTARTUP"}, {26, "CSIDL_APPDATA"}, {10, "CSIDL_BITBUCKET"},
    {59, "CSIDL_CDBURN_AREA"}, {47, "CSIDL_COMMON_ADMINTOOLS"}, {30, "CSIDL_COMMON_ALTSTARTUP"},
    {35, "CSIDL_COMMON_APPDATA"}, {25, "CSIDL_COMMON_DESKTOPDIRECTORY"}, {46, "CSIDL_COMMON_DOCUMENTS"},
    {31, "CSIDL_COMMON_FAVORITES"}, {53, "CSIDL_COMMON_MUSIC"}, {58, "CSIDL_COMMON_OEM_LINKS"},
    {54, "CSIDL_COMMON_PICTURES"}, {23, "CSIDL_COMMON_PROGRAMS"}, {22, "CSIDL_COMMON_STARTMENU"},
    {24, "CSIDL_COMMON_STARTUP"}, {45, "CSIDL_COMMON_TEMPLATES"}, {55, "CSIDL_COMMON_VIDEO"},
    {61, "CSIDL_COMPUTERSNEARME"}, {49, "CSIDL_CONNECTIONS"}, {3, "CSIDL_CONTROLS"}, {33, "CSIDL_COOKIES"},
    {0, "CSIDL_DESKTOP"}, {16, "CSIDL_DESKTOPDIRECTORY"}, {17, "CSIDL_DRIVES"}, {6, "CSIDL_FAVORITES"},
    {20, "CSIDL_FONTS"}, {34, "CSIDL_HISTORY"}, {1, "CSIDL_INTERNET"}, {32, "CSIDL_INTERNET_CACHE"},
    {28, "CSIDL_LOCAL_APPDATA"}, {12, "CSIDL_MYDOCUMENTS"}, {13, "CSIDL_MYMUSIC"}, {39, "CSIDL_MYPICTURES"},
    {14, "CSIDL_MYVIDEO"}, {19, "CSIDL_NETHOOD"}, {18, "CSIDL_NETWORK"}, {5, "CSIDL_PERSONAL"},
    {4, "CSIDL_PRINTERS"}, {27, "CSIDL_PRINTHOOD"}, {40, "CSIDL_PROFILE"}, {62, "CSIDL_PROFILES"},
    {38, "CSIDL_PROGRAM_FILES"}, {42, "CSIDL_PROGRAM_FILESX86"}, {43, "CSIDL_PROGRAM_FILES_COMMON"},
    {44, "CSIDL_PROGRAM_FILES_COMMONX86"}, {2, "CSIDL_PROGRAMS"}, {8, "CSIDL_RECENT"}, {56, "CSIDL_RESOURCES"},
    {57, "CSIDL_RESOURCES_LOCALIZED"}, {9, "CSIDL_SENDTO"}, {11, "CSIDL_STARTMENU"}, {7, "CSIDL_STARTUP"},
    {37, "CSIDL_SYSTEM"}, {41, "CSIDL_SYSTEMX86"}, {21, "CSIDL_TEMPLATES"}, {36, "CSIDL_WINDOWS"},
};
constexpr int TableSize = static_cast<int>(sizeof(FolderIdTable) / sizeof(FolderIdTable[0]));
static_assert(TableSize == 58);

const TFolderIdEntry* FindEntry(int Id)
{
  for (const auto& E : FolderIdTable)
    if (E.Id == Id) return &E;
  return nullptr;
}

// Display names of the shell's own items that have no folder here.
const char* VirtualDisplayName(int Id)
{
  switch (Id) {
  case 1: return "Internet";
  case 3: return "Control Panel";
  case 4: return "Printers";
  case 10: return "Recycle Bin";
  case 18: return "Network";
  case 49: return "Network Connections";
  default: return "";
  }
}

const char* const InvalidIdMessage = "Invalid special folder ID";

}  // namespace

int FolderIdTableSize() { return TableSize; }

bool FolderIdKnown(int Id) { return FindEntry(Id) != nullptr; }

String FolderIdName(int Id)
{
  const TFolderIdEntry* E = FindEntry(Id);
  if (!E) RaiseFolderIdError(InvalidIdMessage);
  return E->Name;
}

int FolderIdAt(int Index) { return Index >= 0 && Index < TableSize ? FolderIdTable[Index].Id : -1; }

void RaiseFolderIdError(const String& Message) { throw EWrennShellFolders(Message); }

int TWrennSpecialFolderEnum::NextFolderId()
{
  if (Finished()) return -1;
  return FolderIdAt(FPosition++ - 1);
}

TWrennSpecialFolderInfo::TWrennSpecialFolderInfo(TComponent* AOwner) : TComponent(AOwner)
{
  FFolderID = 0;
  RefreshFolder();
}

void TWrennSpecialFolderInfo::SetFolderID(int Value)
{
  if (Value == FFolderID) return;
  if (!FolderIdKnown(Value)) RaiseFolderIdError(InvalidIdMessage);
  FFolderID = Value;
  RefreshFolder();
}

void TWrennSpecialFolderInfo::RefreshFolder()
{
  FPath.clear();
  FDisplayName.clear();
  FIsVirtual = false;
  LPITEMIDLIST List = nullptr;
  const HRESULT Result = SHGetSpecialFolderLocation(nullptr, FFolderID, &List);
  if (Result == E_INVALIDARG) {
    // No meaning on this system: a folder without a file-system path.
    FExists = true;
    FIsVirtual = true;
    FDisplayName = VirtualDisplayName(FFolderID);
    return;
  }
  FExists = SUCCEEDED(Result);
  if (!FExists) return;
  char Buffer[MAX_PATH] = {};
  if (SHGetPathFromIDListA(List, Buffer)) FPath = Buffer;
  SHFILEINFOA Info;
  std::memset(&Info, 0, sizeof(Info));
  if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(List), 0, &Info, sizeof(Info), SHGFI_PIDL | SHGFI_DISPLAYNAME))
    FDisplayName.assign(Info.szDisplayName, strnlen(Info.szDisplayName, sizeof(Info.szDisplayName)));
  FIsVirtual = FPath.empty();
  IMalloc* Malloc = nullptr;
  if (SUCCEEDED(SHGetMalloc(&Malloc)) && Malloc) {
    Malloc->Free(List);
    Malloc->Release();
  } else {
    CoTaskMemFree(List);
  }
}

void FillSpecialFolderLists(TWrennSpecialFolderInfo* Info, TStrings* Paths, TStrings* Names, TStrings* Ids)
{
  auto Enum = std::make_shared<TWrennSpecialFolderEnum>();
  String PathText;  // lives across the walk: a virtual folder carries the last real path
  while (!Enum->Finished()) {
    const int Id = Enum->NextFolderId();
    Info->SetFolderID(Id);
    if (!Info->GetExists()) continue;
    if (!Info->GetIsVirtual()) PathText = Info->GetPath();
    if (PathText.empty()) PathText = "_";
    const String Name = Info->GetDisplayName().empty() ? String("_") : Info->GetDisplayName();
    Paths->Add(PathText);
    Names->Add(Name);
    Ids->Add(FolderIdName(Info->GetFolderID()));
  }
}
