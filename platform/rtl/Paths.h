// Path routines of the runtime library. Paths are native POSIX paths with '/' between the
// parts. The string routines here (ExtractFilePath, IncludeTrailingPathDelimiter ...) also take
// '\\' as a separator, so that the program's own strings ("temp\\") work unchanged; the routines
// that reach the file system (ExpandFileName, SetCurrentDir, and every file routine of Files.h
// and Streams.h) take a name exactly as it is, '\\' being an ordinary name character there, as
// Linux allows it. The program's own literal path pieces are joined to a folder with SubPath. There are no drive letters: ':'
// is an ordinary file-name character, except where ExtractFileDrive looks for a drive.
// Character positions are 1-based.
#pragma once

#include "platform/rtl/System.h"

constexpr char PathDelim = '/';
constexpr char PathSep = ':';

// The program's own literal path piece ("temp\\temp.avi", "mplayer\\subfont.ttf") joined to
// Folder: the piece's '\\' become '/', Folder is taken as it is (a name from outside, whatever
// it holds) and gets one '/' before the piece unless it already ends in '/'. An empty Folder
// leaves the piece relative. Names from outside (dialogs, drops, the command line, scans, the
// mount table) never pass through here.
String SubPath(const String& Folder, const String& Piece);

// True if the character at the 1-based Index is '/' or '\\'.
bool IsPathDelimiter(const String& S, int Index);

// Appends '/' unless S already ends in '/' or '\\'.
String IncludeTrailingPathDelimiter(const String& S);
// Removes one trailing '/' or '\\'; the root "/" stays "/".
String ExcludeTrailingPathDelimiter(const String& S);
String IncludeTrailingBackslash(const String& S);
String ExcludeTrailingBackslash(const String& S);

// The folder part, up to and including the last separator ("" if none).
String ExtractFilePath(const String& FileName);
// The folder part without its trailing separator, except for a root ("/", "X:\\").
String ExtractFileDir(const String& FileName);
// The part after the last separator.
String ExtractFileName(const String& FileName);
// The part after the last '/' of a native path: for names from outside, whose '\\' is an
// ordinary name character ("/v/a\\b.avi" gives "a\\b.avi").
String NativeFileName(const String& Path);
// The extension with its dot, from the last '.' of the name part; "" if it has none.
String ExtractFileExt(const String& FileName);
// "X:" for a path that starts with a drive letter, "\\\\server\\share" (or "//server/share")
// for a UNC path, else "".
String ExtractFileDrive(const String& FileName);
// The file name with its extension replaced by Extension (which brings its own dot), or
// with Extension appended when it has none.
String ChangeFileExt(const String& FileName, const String& Extension);

// The absolute native path of FileName, relative to the current directory, with "." and
// ".." and doubled separators resolved (symbolic links are not followed). Only '/' separates;
// a '\\' is part of a name. A trailing '/' in FileName is kept.
String ExpandFileName(const String& FileName);
// DestName expressed relative to the folder of BaseName (BaseName's file part is ignored,
// so pass a folder with its trailing separator). Both are expanded first.
String ExtractRelativePath(const String& BaseName, const String& DestName);

// The current working directory, without a trailing separator (except "/").
String GetCurrentDir();
bool SetCurrentDir(const String& Dir);
