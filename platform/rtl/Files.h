// File routines of the runtime library: existence tests, folders, renaming and copying,
// dates and attributes, the handle-based file routines under the file streams, and the
// FindFirst/FindNext folder search. Names are taken exactly as they are: only '/' separates,
// and a '\\' is an ordinary name character (Linux allows it). The program's own literal path
// pieces are joined to their folder with SubPath (Paths.h) before they come here.
#pragma once

#include <cstddef>

#include <memory>

#include "platform/rtl/System.h"

// Date and time as days since 1899-12-30, the time of day in the fraction.
using TDateTime = double;

// File attributes, with the class library's values.
constexpr int faReadOnly = 0x01;   // we may not write it, or it has no write bits
constexpr int faHidden = 0x02;     // the name starts with '.' (not "." and "..")
constexpr int faSysFile = 0x04;    // not a regular file or folder: socket, device, FIFO
constexpr int faVolumeID = 0x08;   // never set
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;    // a regular file
constexpr int faSymLink = 0x40;    // the name is a symbolic link (other bits: its target)
constexpr int faAnyFile = 0x3F;

// True if FileName is a regular file (links followed); false for folders.
bool FileExists(const String& FileName);
// True if Directory is a folder (links followed).
bool DirectoryExists(const String& Directory);
// Creates every missing level of Dir; true if Dir exists afterwards. An empty Dir raises
// EInOutError "Unable to create directory".
bool ForceDirectories(const String& Dir);
bool CreateDir(const String& Dir);
bool RemoveDir(const String& Dir);
// Deletes a file (or a symbolic link), never a folder; false if it is missing.
bool DeleteFile(const String& FileName);
// Renames or moves OldName to NewName. Fails when NewName exists: nothing is overwritten.
// A regular file is also moved to another file system (copied, then the old one deleted).
bool RenameFile(const String& OldName, const String& NewName);
// Copies data, permission bits (rwx) and the modification time. With FailIfExists a present
// target makes it fail; otherwise the target is replaced, unless it is read-only. The copy goes to a temporary
// file beside the target that is renamed into place, so a failure never leaves a partial
// target nor harms the old one. False with GetLastError set on failure.
bool CopyFile(const String& ExistingFileName, const String& NewFileName, bool FailIfExists);

// The modification time as a packed DOS date and time (local time), -1 if the file is
// missing or a folder. Dates before 1980 read as 1980-01-01, dates after 2107 as the end of 2107.
int FileAge(const String& FileName);
// The modification time in local time, to the millisecond; false if the file is missing or
// a folder.
bool FileAge(const String& FileName, TDateTime& FileDateTime);
// Sets the modification time from a packed DOS date and time; 0 or the error code.
int FileSetDate(const String& FileName, int Age);
// The size of the regular file of exactly that name (links followed); false for a missing
// name or a folder.
bool FileSizeOf(const String& FileName, Int64& Size);
// The fa* attributes of FileName, or -1 if it is missing.
int FileGetAttr(const String& FileName);

// Open modes of FileOpen and the file streams. Share modes are accepted and ignored.
constexpr unsigned fmCreate = 0xFFFF;
constexpr unsigned fmOpenRead = 0;
constexpr unsigned fmOpenWrite = 1;
constexpr unsigned fmOpenReadWrite = 2;
constexpr unsigned fmShareCompat = 0;
constexpr unsigned fmShareExclusive = 0x10;
constexpr unsigned fmShareDenyWrite = 0x20;
constexpr unsigned fmShareDenyRead = 0x30;
constexpr unsigned fmShareDenyNone = 0x40;

// Handle routines over file descriptors (closed on exec). They return -1 (or false) on
// failure and set GetLastError from errno.
// Opens an existing file; a folder cannot be opened.
int FileOpen(const String& FileName, unsigned Mode);
// Creates (or empties) a file for reading and writing, with mode 0666 less the umask or
// with the given Rights.
int FileCreate(const String& FileName);
int FileCreate(const String& FileName, int Rights);
// Reads up to Count bytes; fewer only at the end of the file. 0 at the end.
Int64 FileRead(int Handle, void* Buffer, Int64 Count);
// Writes all Count bytes (retrying short writes); -1 on any error, such as a full disk.
Int64 FileWrite(int Handle, const void* Buffer, Int64 Count);
// Origin 0 = from the start, 1 = from the current position, 2 = from the end.
Int64 FileSeek(int Handle, Int64 Offset, int Origin);
bool FileTruncate(int Handle, Int64 Size);
void FileClose(int Handle);
// Forces the file's data to the disk (for safe saves).
bool FileFlush(int Handle);

// A new file written as an unnamed file in Target's folder (where the file system has them;
// otherwise under a temporary name beside Target), so a process killed while writing leaves no
// temporary file behind. It is named beside Target (a native path) and takes
// Target's place only when it is complete, so a failure at any point (a full disk, an
// unreadable source) leaves Target as it was. Commit renames it over Target; an object
// destroyed without a successful Commit removes the temporary file. Failures answer false
// (or a handle of -1) with errno set.
class TReplacementFile {
public:
  explicit TReplacementFile(const String& Target);
  ~TReplacementFile();
  TReplacementFile(const TReplacementFile&) = delete;
  TReplacementFile& operator=(const TReplacementFile&) = delete;

  // The temporary file's descriptor; -1 when it could not be created.
  int GetHandle() const { return FHandle; }
  // Writes all of Buffer.
  bool Write(const void* Buffer, std::size_t Count);
  // With Sync the data reaches the disk before the rename (and the rename itself after it);
  // with NoReplace an existing Target is left alone and the commit fails with EEXIST.
  bool Commit(bool Sync, bool NoReplace);

private:
  // Names the temporary file (links the unnamed one); its handle, or -1 with errno set.
  int OpenTempName();

  String FTarget;
  String FTempName;
  int FHandle = -1;
  bool FUnnamed = false;
  bool FCommitted = false;
};

struct TSearchState;

// One entry found by FindFirst/FindNext.
struct TSearchRec {
  int Time = 0;         // packed DOS date and time of the modification
  Int64 Size = 0;       // 0 for folders
  int Attr = 0;
  String Name;          // the name only, without the folder
  int ExcludeAttr = 0;  // attributes an entry must not have to be returned
  std::shared_ptr<TSearchState> FindHandle;  // the search's state
};

// Searches the folder part of Path for names that match its last part (a pattern with
// '*' and '?'). Returns 0 when an entry was found, else an error code (ENOENT when nothing
// (more) matches). Entries come sorted by name, "." and ".." included. An entry is
// returned when each of its hidden, system and folder attributes is also in Attr.
int FindFirst(const String& Path, int Attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

// The folder search's name matching, case-insensitive (A-Z): '*' matches any run, '?' one
// UTF-8 character (or none at the end of the name or before a '.'), "*" and "*.*" match every
// name, "*." matches names without an extension.
bool MatchesFindPattern(const String& Name, const String& Pattern);
