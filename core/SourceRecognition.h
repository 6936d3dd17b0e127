// What an input path is and what to call it: DVD drives and folders, video files, disc images,
// files the Windows Media encoder reads, large and produced files, sources already queued, and
// the clean names of discs, titles and outputs. Nothing here changes the source queue or
// reports an error: a missing path answers false, an empty search or the plain file name.
//
// Text comparisons are exact and case-sensitive unless a routine says otherwise; "lower case"
// and "title case" change A-Z only, and cuts never split a UTF-8 character. The extension
// lists, the bad-disc list and the characters the cleaners replace are the main window's
// (subVid, subISO, subWMV, badlist, Edit3, Edit5).
#pragma once

#include <functional>
#include <unordered_set>

#include "core/SourceRow.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/System.h"

// True when Path (a "*" mark allowed) is on an optical drive and its tree holds ".ifo" files.
bool IsDvdDrive(const String& Path);
// True when the folder tree holds ".ifo" files.
bool FolderHasIfo(const String& Folder);
// Calls Detect(file, "vid") for every ".vob" file of the tree, in the order found.
void DetectVobFiles(const String& Folder, const std::function<void(const String& File, const String& Kind)>& Detect);

// The extension in lower case (A-Z) without its dot, trimmed ("mkv" for "a.MKV").
String LowerExtNoDot(const String& Path);
bool IsVideoExtension(const String& Path);      // in subVid
bool IsDiscImageExtension(const String& Path);  // in subISO
bool IsWmvSourceExtension(const String& Path);  // in subWMV
// The video and disc-image extension lists as they are when it is made, for many questions in
// a row (a folder scan): the answers of IsVideoExtension and IsDiscImageExtension for a path
// whose LowerExtNoDot is Ext, each one look-up.
class TExtensionLists {
public:
  TExtensionLists();
  bool IsVideo(const String& Ext) const { return FVideo.count(Ext) != 0; }
  bool IsDiscImage(const String& Ext) const { return FDiscImage.count(Ext) != 0; }

private:
  std::unordered_set<String> FVideo, FDiscImage;
};
// Whether the input part of a command line (a source row's column 22: the quoted path and its
// options) reads a TiVo recording: the input file's extension is ".tivo" in any letter case. A
// folder or name that merely holds "tivo" ("Festivo.avi") is none.
bool IsTivoInput(const String& InputArgs);
// Larger than 921,600,000 bytes (a disc image worth treating as a DVD). False for a folder.
bool IsLargeFile(const String& Path);
// Larger than 1,024,000 bytes (an output that counts as produced), or IgnoreCheck (the
// "Ignore file-in-use check" option) whatever the file.
bool IsFileOverLimit(const String& Path, bool IgnoreCheck);
// The same with the main window's option finuse.
bool IsFileOverLimit(const String& Path);

// True when no item equals Text.
bool NotInList(const String& Text, TStrings* List);
// True when no item contains Text (an empty Text is contained in nothing).
bool NotContainedInList(const String& Text, TStrings* List);

// The path without its first "/video_ts" (any letter case) folder, trimmed; the path unchanged
// when it holds none.
String StripVideoTsFolder(const String& Path);
// The cleaned volume name of a drive, folder or disc image: the volume's label, else the disc
// image's name without extension (large files) or the file or folder name; "*" appended for a
// label in badlist; then CleanTitle.
String DvdVolumeName(const String& Path);
// Separator characters (< > _ . - , [ ] and the double quote, and the characters of Edit3 and
// Edit5) become blanks, the first "Recorded" goes, runs of blanks become one, trimmed.
String CleanName(const String& Text);
// CleanName cut to 50 characters (trimmed again) in title case.
String CleanTitle(const String& Text);

// Whether a source is not yet in the source queue (every row, the header included): kind "vid"
// matches the source path (column 21) ignoring case; "dvd" also needs the cleaned volume name
// within the name column (column 2); any other kind matches nothing.
template <class TGrid>
bool NotInQueue(const String& Path, const String& Kind, TGrid* Grid)
{
  const bool Video = Kind == "vid", Dvd = Kind == "dvd";
  if (!Video && !Dvd) return true;
  const String LowerPath = LowerCase(Path);
  String Volume;
  if (Dvd) {
    String Unmarked = Path;
    const auto Star = Unmarked.find('*');
    if (Star != String::npos) Unmarked.erase(Star, 1);
    Volume = LowerCase(DvdVolumeName(Unmarked));
  }
  for (int R = 0; R < Grid->GetRowCount(); ++R) {
    if (LowerCase(Grid->GetCells(scSourcePath, R)) != LowerPath) continue;
    if (Video) return false;
    if (!Volume.empty() && (" " + LowerCase(Grid->GetCells(scName, R))).find(Volume) != String::npos) return false;
  }
  return true;
}
