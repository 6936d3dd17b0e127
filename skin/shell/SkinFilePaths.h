// The path routines that the drive combo box, the directory list box and the file list box
// share. Paths are native: only '/' separates, and every other byte ('\\', '"', ':', a newline,
// bytes that are no UTF-8) belongs to a name. There are no drive prefixes in a path: the "drive"
// of a path is the letter that the volume table gives the volume holding it, and a drive's root
// is that volume's mount point.
//
// The routines that change the process's current directory raise EInOutError ("I/O error %d"
// with the system's error code) when a folder cannot be entered.
#pragma once

#include "platform/rtl/System.h"

class TCanvas;

// True when Name is an existing folder.
bool IsExistingDirectory(const String& Name);
// Path + Part, with one '/' between them unless Path already ends in '/'.
String AppendPathPart(const String& Path, const String& Part);
// The number of '/' in Path.
int CountPathLevels(const String& Path);
// Removes the first folder of a path's folder part: "/a/b/" -> "/.../b/", "/.../b/" -> "/.../",
// ".../" -> "", "/" -> "". Only a leading ".../" counts as an earlier cut, so a folder whose
// name starts with '.' is cut like any other.
void CutFirstPathFolder(String& Path);
// FileName shortened from the left, folder by folder, until its width on Canvas is at most
// MaxWidth: "/a/b/c/file.txt", "/.../b/c/file.txt", "/.../c/file.txt", ".../file.txt",
// "file.txt".
String ShortenPathToWidth(const String& FileName, TCanvas* Canvas, int MaxWidth);
// Splits an edited path (relative to the current directory) into the drive letter of its folder
// (0 when no volume holds it), its folder (absolute, as the current directory names it after
// entering it) and its file part. A text in brackets ("[name]") is a
// folder. A last part that is neither a pattern ('*', '?') nor an existing file is taken as a
// folder (and the file part is empty). The current directory is the same afterwards; a folder
// that cannot be entered raises EInOutError.
void SplitEditPath(const String& Text, char& Drive, String& FolderPart, String& FilePart);

// The drive letter (upper case) of the volume that holds Path, 0 when none.
char DriveOfPath(const String& Path);
// The folder a drive letter stands for: its volume's mount point ("" when not mounted).
String DriveRootFolder(char Letter);
// The drive combo's texts: the volume label in brackets ("[disc]", "[]" when it cannot be read),
// in lower case for a lower-case Letter, else in upper case; the network text is a network
// drive's remote name in that case (the volume text when there is none).
String GetVolumeText(char Letter);
String GetNetworkVolumeText(char Letter);

// Makes Folder the process's current directory; raises EInOutError when it cannot.
void ChangeDirectory(const String& Folder);
