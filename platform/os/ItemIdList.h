// Item-id lists: the shell's way of naming an item of its namespace, in the Windows wire form.
// A list is a run of item ids, each a 16-bit byte count (which counts itself) followed by
// its payload, ended by a zero count. Our payload is one kind byte and the item's name
// (UTF-8, no terminator):
//
//   kind 0x1F  a virtual item ("Computer")
//   kind 0x2F  a volume: the name is its mount point ("/", "/media/ann/DISC")
//   kind 0x31  a folder (one path component)
//   kind 0x32  a file (one path component)
//
// The empty list is the desktop. A file-system path is the chain Computer, its volume, then
// its components below the volume's mount point: "/home/ann" is
// [0x1F "Computer"][0x2F "/"][0x31 "home"][0x31 "ann"]. Two more chains lead to folders: the
// virtual item "Home" followed by components below the home folder, and components alone,
// which lie below the desktop folder (the desktop's own entries). Lists live in memory of
// CoTaskMemAlloc (malloc) and are freed with ILFree or CoTaskMemFree.
#pragma once

#include <vector>

#include "platform/os/ShellTypes.h"
#include "platform/rtl/System.h"

#pragma pack(push, 1)
struct SHITEMID {
  USHORT cb;
  BYTE abID[1];
};
struct ITEMIDLIST {
  SHITEMID mkid;
};
#pragma pack(pop)
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;
using PIDLIST_ABSOLUTE = ITEMIDLIST*;
using PCIDLIST_ABSOLUTE = const ITEMIDLIST*;

constexpr BYTE ITEMKIND_VIRTUAL = 0x1F;
constexpr BYTE ITEMKIND_VOLUME = 0x2F;
constexpr BYTE ITEMKIND_FOLDER = 0x31;
constexpr BYTE ITEMKIND_FILE = 0x32;

// The name of the virtual item that holds the volumes.
inline constexpr const char* ComputerItemName = "Computer";
// The name of the virtual item that stands for the user's home folder.
inline constexpr const char* HomeItemName = "Home";

// The task allocator of COM (malloc underneath).
LPVOID CoTaskMemAlloc(SIZE_T Size);
LPVOID CoTaskMemRealloc(LPVOID Block, SIZE_T Size);
void CoTaskMemFree(LPVOID Block);

// Bytes of the whole list, the terminating zero count included; 0 for null.
UINT ILGetSize(LPCITEMIDLIST List);
// The item after the first one (null at the end of the list or for null).
LPITEMIDLIST ILGetNext(LPCITEMIDLIST List);
LPITEMIDLIST ILClone(LPCITEMIDLIST List);
// A new list: First (may be null) followed by Second.
LPITEMIDLIST ILCombine(LPCITEMIDLIST First, LPCITEMIDLIST Second);
void ILFree(LPITEMIDLIST List);

// One item of a list, unpacked.
struct TItemId {
  BYTE Kind = 0;
  String Name;
};

// A new list of the given items (null when out of memory or a name is too long for an item).
LPITEMIDLIST ItemIdListFromItems(const std::vector<TItemId>& Items);
// The items of a list; false for null or for an item too short to hold a kind byte.
bool ItemIdListItems(LPCITEMIDLIST List, std::vector<TItemId>& Items);

// The list of an absolute file-system path (the volume from the volume table; the last
// component a file item when it is an existing non-folder). Null for a relative path.
LPITEMIDLIST ItemIdListFromPath(const String& Path);
// The file-system path of a list: the desktop folder for the empty list, the home folder for
// "Home"; "" for Computer (or a list that does not follow the forms above, or names "." "..",
// or names with "/").
String ItemIdListToPath(LPCITEMIDLIST List);
