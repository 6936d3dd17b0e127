// The user's special folders (Windows CSIDL numbers) mapped to the XDG folders of Linux:
//
//   CSIDL_DESKTOP 0, CSIDL_DESKTOPDIRECTORY 16   XDG desktop folder (default ~/Desktop)
//   CSIDL_PROGRAMS 2                             $XDG_DATA_HOME/applications
//   CSIDL_PERSONAL 5                             XDG documents folder, else $HOME
//   CSIDL_STARTUP 7                              $XDG_CONFIG_HOME/autostart
//   CSIDL_SENDTO 9                               $XDG_DATA_HOME/applications: Linux has no "Send
//                                                To" menu; the file manager's "Open With" lists
//                                                the entries there that name MIME types
//   CSIDL_MYMUSIC 13, CSIDL_MYVIDEO 14,          XDG music, videos, pictures and templates
//   CSIDL_MYPICTURES 39, CSIDL_TEMPLATES 21      folders (defaults ~/Music, ~/Videos, ...)
//   CSIDL_FONTS 20                               $XDG_DATA_HOME/fonts
//   CSIDL_APPDATA 26, CSIDL_LOCAL_APPDATA 28     $XDG_DATA_HOME (default ~/.local/share)
//   CSIDL_PROFILE 40                             $HOME
//   CSIDL_DRIVES 17                              no folder: the virtual "Computer" (the volumes)
//
// $XDG_DATA_HOME and $XDG_CONFIG_HOME count only when absolute (else ~/.local/share and
// ~/.config). The XDG user folders come from $XDG_CONFIG_HOME/user-dirs.dirs (lines
// XDG_VIDEOS_DIR="$HOME/Videos" or an absolute path); a folder set to $HOME itself is disabled
// and falls back as if unset. $HOME is the environment's, else the password database's.
// Other CSIDL numbers are not mapped.
#pragma once

#include "platform/rtl/System.h"

constexpr int CSIDL_DESKTOP = 0x0000;
constexpr int CSIDL_INTERNET = 0x0001;
constexpr int CSIDL_PROGRAMS = 0x0002;
constexpr int CSIDL_CONTROLS = 0x0003;
constexpr int CSIDL_PRINTERS = 0x0004;
constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_FAVORITES = 0x0006;
constexpr int CSIDL_STARTUP = 0x0007;
constexpr int CSIDL_RECENT = 0x0008;
constexpr int CSIDL_SENDTO = 0x0009;
constexpr int CSIDL_BITBUCKET = 0x000A;
constexpr int CSIDL_STARTMENU = 0x000B;
constexpr int CSIDL_MYDOCUMENTS = 0x000C;
constexpr int CSIDL_MYMUSIC = 0x000D;
constexpr int CSIDL_MYVIDEO = 0x000E;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_DRIVES = 0x0011;
constexpr int CSIDL_NETWORK = 0x0012;
constexpr int CSIDL_FONTS = 0x0014;
constexpr int CSIDL_TEMPLATES = 0x0015;
constexpr int CSIDL_APPDATA = 0x001A;
constexpr int CSIDL_LOCAL_APPDATA = 0x001C;
constexpr int CSIDL_MYPICTURES = 0x0027;
constexpr int CSIDL_PROFILE = 0x0028;
constexpr int CSIDL_FLAG_CREATE = 0x8000;
constexpr int CSIDL_FLAG_MASK = 0xFF00;

// How a CSIDL maps: to a folder, to a virtual item without a folder, or not at all.
enum TSpecialFolderKind { sfUnknown, sfFolder, sfVirtual };

// The kind of Csidl (flags ignored) and, for sfFolder, its path (no trailing separator; it may
// not exist). For sfVirtual, Path is the virtual item's name ("Computer").
TSpecialFolderKind SpecialFolderMapping(int Csidl, String& Path);

// The folder of Csidl; "" when unmapped or virtual, or when it does not exist and Create is
// false. With Create, missing levels are made (mode 0700 for the new folders).
String SpecialFolderPath(int Csidl, bool Create);

// The user's home folder.
String HomeFolder();
