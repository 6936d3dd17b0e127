#include "platform/os/Folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace {

String Env(const char* Name)
{
  const char* v = std::getenv(Name);
  return v ? String(v) : String();
}

String WithoutTrailingSlash(String Path)
{
  while (Path.size() > 1 && Path.back() == '/') Path.pop_back();
  return Path;
}

String XdgBase(const char* Variable, const char* Default)
{
  const String v = Env(Variable);
  if (!v.empty() && v[0] == '/') return WithoutTrailingSlash(v);
  return WithoutTrailingSlash(HomeFolder()) + "/" + Default;
}

// The value of Key in user-dirs.dirs, "$HOME/..." expanded; "" when unset, not usable, or $HOME.
String UserDir(const char* Key)
{
  std::ifstream in(XdgBase("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
  const String home = WithoutTrailingSlash(HomeFolder());
  String line, result;
  const String prefix = String(Key) + "=";
  while (std::getline(in, line)) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == String::npos || line[start] == '#') continue;
    line = line.substr(start);
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    String value = line.substr(prefix.size());
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ' || value.back() == '\t')) value.pop_back();
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') continue;
    value = value.substr(1, value.size() - 2);
    // The only escapes allowed are \" and \\ (and "$HOME" at the start).
    String unescaped;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) ++i;
      unescaped += value[i];
    }
    if (unescaped.compare(0, 5, "$HOME") == 0 && (unescaped.size() == 5 || unescaped[5] == '/'))
      unescaped = home + unescaped.substr(5);
    else if (unescaped.empty() || unescaped[0] != '/')
      continue;
    result = WithoutTrailingSlash(unescaped);  // the last setting wins
  }
  return result == home ? String() : result;
}

String UserDirOr(const char* Key, const String& Default)
{
  const String dir = UserDir(Key);
  return dir.empty() ? Default : dir;
}

bool IsDirectory(const String& Path)
{
  struct stat st {};
  return stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolders(const String& Path)
{
  if (Path.empty() || IsDirectory(Path)) return !Path.empty();
  const std::size_t slash = Path.find_last_of('/');
  if (slash != String::npos && slash > 0 && !MakeFolders(Path.substr(0, slash))) return false;
  return mkdir(Path.c_str(), 0700) == 0 || (errno == EEXIST && IsDirectory(Path));
}

}  // namespace

String HomeFolder()
{
  const String home = Env("HOME");
  if (!home.empty()) return WithoutTrailingSlash(home);
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return WithoutTrailingSlash(pw->pw_dir);
  return "/";
}

TSpecialFolderKind SpecialFolderMapping(int Csidl, String& Path)
{
  const String home = HomeFolder();
  const String data = XdgBase("XDG_DATA_HOME", ".local/share");
  switch (Csidl & ~CSIDL_FLAG_MASK) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: Path = UserDirOr("XDG_DESKTOP_DIR", home + "/Desktop"); return sfFolder;
    case CSIDL_PROGRAMS: Path = data + "/applications"; return sfFolder;
    case CSIDL_PERSONAL: Path = UserDirOr("XDG_DOCUMENTS_DIR", home); return sfFolder;
    case CSIDL_STARTUP: Path = XdgBase("XDG_CONFIG_HOME", ".config") + "/autostart"; return sfFolder;
    case CSIDL_SENDTO: Path = data + "/applications"; return sfFolder;
    case CSIDL_MYMUSIC: Path = UserDirOr("XDG_MUSIC_DIR", home + "/Music"); return sfFolder;
    case CSIDL_MYVIDEO: Path = UserDirOr("XDG_VIDEOS_DIR", home + "/Videos"); return sfFolder;
    case CSIDL_MYPICTURES: Path = UserDirOr("XDG_PICTURES_DIR", home + "/Pictures"); return sfFolder;
    case CSIDL_TEMPLATES: Path = UserDirOr("XDG_TEMPLATES_DIR", home + "/Templates"); return sfFolder;
    case CSIDL_FONTS: Path = data + "/fonts"; return sfFolder;
    case CSIDL_APPDATA:
    case CSIDL_LOCAL_APPDATA: Path = data; return sfFolder;
    case CSIDL_PROFILE: Path = home; return sfFolder;
    case CSIDL_DRIVES: Path = "Computer"; return sfVirtual;
    default: Path.clear(); return sfUnknown;
  }
}

String SpecialFolderPath(int Csidl, bool Create)
{
  String path;
  if (SpecialFolderMapping(Csidl, path) != sfFolder) return "";
  if (IsDirectory(path)) return path;
  if (Create && MakeFolders(path)) return path;
  return "";
}
