#include "platform/os/Shell.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <mutex>
#include <vector>

#include "platform/os/CommandLine.h"
#include "platform/os/Drives.h"
#include "platform/os/ShellSpawn.h"
#include "platform/rtl/Paths.h"

namespace {

std::mutex OpenerLock;
String Opener = "xdg-open";

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
  if (S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0) {
    std::vector<String> argv{path};
    for (const String& a : qv::os::SplitCommandLine(params)) argv.push_back(a);
    return Result(ErrorCode(qvshell::SpawnDetached(argv, dir)));
  }
  return Result(Open(path, dir));
}
