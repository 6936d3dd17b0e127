// SHGetFileInfo, as far as display names and icon indexes go (the special-folder table and the
// shell controls show them). The icon index is one of ShellNamespace.h's TShellIconIndex; the
// shell controls draw the icons themselves. Type names and attributes are not answered here.
//
// Display names: the desktop (empty list) is "Desktop"; a virtual item its name ("Computer"); a
// volume its label, else the last part of its mount point, and "/" is "File System"; a folder or
// file its name. For a path (without SHGFI_PIDL) the last part of the path.
#pragma once

#include "platform/os/ItemIdList.h"
#include "platform/os/ShellTypes.h"

constexpr UINT SHGFI_SMALLICON = 0x000000001;
constexpr UINT SHGFI_OPENICON = 0x000000002;
constexpr UINT SHGFI_PIDL = 0x000000008;
constexpr UINT SHGFI_USEFILEATTRIBUTES = 0x000000010;
constexpr UINT SHGFI_ICON = 0x000000100;
constexpr UINT SHGFI_DISPLAYNAME = 0x000000200;
constexpr UINT SHGFI_TYPENAME = 0x000000400;
constexpr UINT SHGFI_ATTRIBUTES = 0x000000800;
constexpr UINT SHGFI_SYSICONINDEX = 0x000004000;

struct SHFILEINFOA {
  HICON hIcon;
  int iIcon;
  DWORD dwAttributes;
  CHAR szDisplayName[MAX_PATH];
  CHAR szTypeName[80];
};

// Path is a path, or with SHGFI_PIDL an item-id list (LPCITEMIDLIST cast to LPCSTR). Fills
// szDisplayName for SHGFI_DISPLAYNAME (cut to MAX_PATH - 1 bytes, never inside a UTF-8
// character) and iIcon for SHGFI_SYSICONINDEX (SHGFI_OPENICON: the open look; SHGFI_SMALLICON
// changes nothing). Non-zero on success; 0 for a null list, a damaged list, a missing path, or a
// request for anything else.
DWORD_PTR SHGetFileInfoA(LPCSTR Path, DWORD FileAttributes, SHFILEINFOA* Info, UINT InfoSize, UINT Flags);

// The display name of an item-id list by the rules above; "" for a damaged list.
String ItemIdListDisplayName(LPCITEMIDLIST List);
