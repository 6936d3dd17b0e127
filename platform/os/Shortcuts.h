// Shell links. A Windows shortcut ("Quelvo 3.lnk" in the Send To or Startup folder) is a
// desktop entry here: the link object is saved as "<name>.desktop" (a ".lnk" ending in the
// file name is replaced by ".desktop", any other name is kept) with
//
//   [Desktop Entry]
//   Type=Application
//   Name=<file name without its extension>
//   Comment=<description>               (when set)
//   Exec=<path> <arguments>             (quoted as the desktop entry format asks)
//   Path=<working directory>            (when set)
//   Terminal=false
//   MimeType=<types>                    (an "Open with" entry, see SetOpenWith)
//   NoDisplay=true                      (the same)
//
// Arguments are given as on Windows (one text, split by blanks and double quotes) and written
// to Exec one by one: an argument with blanks or characters reserved by the format goes in
// double quotes with \" \` \$ \\ escaped, "%" is doubled, and the value's own escapes (\\, \n,
// \t, \r) come on top. Load reads such a file back (also one written by others; field codes
// such as %f are dropped).
#pragma once

#include <vector>

#include "platform/os/ShellTypes.h"
#include "platform/rtl/System.h"

constexpr DWORD SLGP_SHORTPATH = 0x0001;
constexpr DWORD SLGP_UNCPRIORITY = 0x0002;
constexpr DWORD SLGP_RAWPATH = 0x0004;

// The IShellLinkA and IPersistFile members the program uses, on one object.
class TShellLink {
public:
  HRESULT SetPath(LPCSTR File);
  // Path into File (Size bytes). FindData and Flags are accepted and not used.
  // HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) (File emptied) when it does not fit.
  HRESULT GetPath(LPSTR File, int Size, void* FindData, DWORD Flags) const;
  HRESULT SetArguments(LPCSTR Arguments);
  HRESULT GetArguments(LPSTR Arguments, int Size) const;
  HRESULT SetWorkingDirectory(LPCSTR Dir);
  HRESULT GetWorkingDirectory(LPSTR Dir, int Size) const;
  HRESULT SetDescription(LPCSTR Name);
  // Makes the entry an "Open with" choice of the file manager for these MIME types (";"
  // separated): Exec gets the field code %F (the chosen files), and the entry is kept out of
  // the application menus. Empty: a plain entry.
  void SetOpenWith(const String& MimeTypes) { FMimeTypes = MimeTypes; }
  HRESULT GetDescription(LPSTR Name, int Size) const;

  const String& Path() const { return FPath; }
  const String& Arguments() const { return FArguments; }
  const String& WorkingDirectory() const { return FWorkingDirectory; }
  const String& Description() const { return FDescription; }

  // IPersistFile: writes the desktop entry (replacing a present file safely). E_INVALIDARG
  // without a path; HRESULT_FROM_WIN32(errno-based error) when it cannot be written.
  HRESULT Save(const String& FileName, BOOL Remember);
  // Reads a desktop entry (the ".desktop" file when FileName ends in ".lnk" and is not there).
  // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when missing, E_FAIL when it is no application entry.
  HRESULT Load(const String& FileName, DWORD Mode);

private:
  String FPath, FArguments, FWorkingDirectory, FDescription, FMimeTypes;
};

// The file a link name is saved as: ".lnk" (any case) becomes ".desktop".
String ShellLinkFileName(const String& FileName);
// Deletes the link saved under FileName; false when there was none.
bool DeleteShellLink(const String& FileName);

// The Exec value of a desktop entry for Argv (quoted and escaped as above), and back.
String DesktopExecLine(const std::vector<String>& Argv);
std::vector<String> ParseDesktopExecLine(const String& Value);
