#include "platform/os/Shell.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/os/CommandLine.h"
#include "platform/os/Drives.h"
#include "platform/os/Process.h"
#include "platform/os/ShellSpawn.h"
#include "platform/os/ToolLinks.h"
#include "platform/os/Volumes.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"

namespace {

std::mutex OpenerLock;
String Opener = "xdg-open";
std::vector<String> ConfiguredPrograms;

HINSTANCE Result(int Code) { return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(Code)); }

// "scheme:" with a scheme of two or more letters (one letter would be a drive).
bool IsAddress(const String& S)
{
  const std::size_t colon = S.find(':');
  if (colon == String::npos || colon < 2) return false;
  if (!std::isalpha(static_cast<unsigned char>(S[0]))) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const char c = S[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

int ErrorCode(int Errno)
{
  switch (Errno) {
    case 0: return 33;
    case ENOENT: return SE_ERR_FNF;
    case ENOTDIR: return SE_ERR_PNF;
    case ENOMEM:
    case EAGAIN: return SE_ERR_OOM;
    default: return SE_ERR_ACCESSDENIED;
  }
}

// The file a path names in the end (links followed); "" when it can't be resolved.
String RealPath(const String& Path)
{
  if (Path.empty()) return "";
  std::unique_ptr<char, void (*)(void*)> real(::realpath(Path.c_str(), nullptr), std::free);
  return real ? String(real.get()) : String();
}

// Names whose extension says document or data (videos, sounds, images, archives and disc
// images, texts, pages, the program's own files): they go to the opener whatever their mode,
// as Windows decides by the name.
bool IsDocumentName(const String& Path)
{
  static const char* const kExtensions[] = {
      // video and sound
      ".avi", ".mkv", ".mp4", ".m4v", ".mov", ".qt", ".wmv", ".asf", ".flv", ".f4v", ".webm", ".mpg", ".mpeg",
      ".mpe", ".m1v", ".m2v", ".vob", ".ifo", ".bup", ".ts", ".m2ts", ".mts", ".tp", ".3gp", ".3g2", ".ogv", ".ogg",
      ".ogm", ".oga", ".rm", ".rmvb", ".divx", ".xvid", ".dv", ".nut", ".y4m", ".mp3", ".mp2", ".wav", ".wma",
      ".aac", ".ac3", ".dts", ".flac", ".m4a", ".opus", ".mka", ".amr",
      // images
      ".jpg", ".jpeg", ".png", ".gif", ".bmp", ".ico", ".tif", ".tiff", ".webp", ".svg", ".psd",
      // archives and disc images
      ".zip", ".rar", ".7z", ".tar", ".gz", ".tgz", ".bz2", ".xz", ".zst", ".lz", ".cab", ".iso", ".img",
      ".nrg", ".bin", ".cue", ".mdf", ".deb", ".rpm",
      // texts, subtitles and pages
      ".txt", ".text", ".log", ".ini", ".cfg", ".conf", ".xml", ".json", ".csv", ".srt", ".sub", ".ssa", ".ass",
      ".idx", ".smi", ".vtt", ".nfo", ".htm", ".html", ".xhtml", ".mht", ".mhtml", ".url", ".pdf", ".rtf",
      ".doc", ".docx", ".odt", ".chm", ".md",
      // the program's own data
      ".prf", ".skn", ".desktop",
  };
  const String ext = ExtractFileExt(Path.substr(Path.rfind('/') + 1));
  if (ext.empty()) return false;
  for (const char* known : kExtensions)
    if (SameText(ext, known)) return true;
  return false;
}

// A volume whose files are never started directly: removable, optical or network media, and
// anything mounted "noexec".
bool IsForeignVolume(const String& RealFile)
{
  struct statvfs vfs {};
  if (::statvfs(RealFile.c_str(), &vfs) == 0 && (vfs.f_flag & ST_NOEXEC)) return true;
  Volumes().Refresh();
  TVolume volume;
  if (!Volumes().FindContaining(RealFile, volume)) return false;
  return volume.Optical || volume.NoExec || volume.DriveType == DRIVE_REMOVABLE || volume.DriveType == DRIVE_CDROM ||
         volume.DriveType == DRIVE_REMOTE;
}

// Only our own executable, the programs the user configured and programs found on PATH (by
// their name, from an absolute PATH folder) are started directly.
bool IsTrustedProgram(const String& Path, const String& RealFile)
{
  if (RealFile == RealPath(qv::os::ModuleFileName())) return true;
  {
    std::lock_guard<std::mutex> lock(OpenerLock);
    for (const String& program : ConfiguredPrograms)
      if (RealFile == RealPath(program)) return true;
  }
  const char* path = std::getenv("PATH");
  const String onPath = qv::os::FindProgramOnPath(Path.substr(Path.rfind('/') + 1), path ? path : "");
  return !onPath.empty() && RealPath(onPath) == RealFile;
}

bool StartsDirectly(const String& Path)
{
  const String real = RealPath(Path);
  struct stat st {};
  if (real.empty() || ::stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(real.c_str(), X_OK) != 0)
    return false;
  if (IsDocumentName(Path) || IsDocumentName(real)) return false;
  return !IsForeignVolume(real) && IsTrustedProgram(Path, real);
}

int Open(const String& Target, const String& Directory)
{
  const String opener = GetShellOpener();
  if (qvshell::FindProgram(opener).empty()) return SE_ERR_NOASSOC;
  return ErrorCode(qvshell::SpawnDetached({opener, Target}, Directory));
}

}  // namespace

void SetShellOpener(const String& Program)
{
  std::lock_guard<std::mutex> lock(OpenerLock);
  Opener = Program;
}

void SetShellConfiguredPrograms(const std::vector<String>& Programs)
{
  std::lock_guard<std::mutex> lock(OpenerLock);
  ConfiguredPrograms = Programs;
}

std::vector<String> GetShellConfiguredPrograms()
{
  std::lock_guard<std::mutex> lock(OpenerLock);
  return ConfiguredPrograms;
}

String GetShellOpener()
{
  std::lock_guard<std::mutex> lock(OpenerLock);
  return Opener;
}

HINSTANCE ShellExecuteA(HWND, LPCSTR Operation, LPCSTR File, LPCSTR Parameters, LPCSTR Directory, INT)
{
  String verb = Operation ? Operation : "";
  for (char& c : verb) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const String file = File ? File : "";
  const String params = Parameters ? Parameters : "";
  String dir = Directory ? Directory : "";
  if (!dir.empty()) {
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return Result(SE_ERR_PNF);
  }
  const bool open = verb.empty() || verb == "open";
  const bool explore = verb == "explore";
  if (!open && !explore) return Result(SE_ERR_NOASSOC);
  if (file.empty()) return Result(SE_ERR_FNF);
  if (open && IsAddress(file)) return Result(Open(file, dir));

  String path = file;
  char letter = 0;
  String rest;
  if (SplitDriveLetterPath(file, letter, rest)) {
    // "E:\..." on a drive of the volume table.
    const String root = DriveRootPath(letter);
    if (root.empty()) return Result(SE_ERR_PNF);
    path = rest.empty() ? root : IncludeTrailingPathDelimiter(root) + rest;
  }
  if (path[0] != '/' && !dir.empty()) path = IncludeTrailingPathDelimiter(dir) + path;
  path = ExpandFileName(path);
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    // A bare program name ("mplayer") is looked up on PATH, as Windows searches its path.
    if (open && file.find('/') == String::npos && file.find('\\') == String::npos) {
      const String program = qvshell::FindProgram(file);
      if (!program.empty()) {
        std::vector<String> argv{program};
        for (const String& a : qv::os::SplitCommandLine(params)) argv.push_back(a);
        return Result(ErrorCode(qvshell::SpawnDetached(argv, dir)));
      }
    }
    const String parent = ExtractFileDir(path);
    struct stat pst {};
    const bool parentThere = parent.empty() || (stat(parent.c_str(), &pst) == 0 && S_ISDIR(pst.st_mode));
    return Result(parentThere ? SE_ERR_FNF : SE_ERR_PNF);
  }
  if (S_ISDIR(st.st_mode)) return Result(Open(path, dir));
  if (explore) return Result(SE_ERR_FNF);
  if (StartsDirectly(path)) {
    std::vector<String> argv{path};
    for (const String& a : qv::os::SplitCommandLine(params)) argv.push_back(a);
    return Result(ErrorCode(qvshell::SpawnDetached(argv, dir)));
  }
  return Result(Open(path, dir));
}
