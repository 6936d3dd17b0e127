#include "platform/os/ToolLinks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace qv::os {

bool IsExecutableFile(const String& Path)
{
  struct stat St {};
  return stat(Path.c_str(), &St) == 0 && S_ISREG(St.st_mode) && access(Path.c_str(), X_OK) == 0;
}

namespace {

String CurrentFolder()
{
  char Buffer[4096];
  return getcwd(Buffer, sizeof Buffer) ? String(Buffer) : String(".");
}

// Creates Folder and its parents.
bool MakeFolders(const String& Folder)
{
  if (Folder.empty())
    return false;
  struct stat St {};
  if (stat(Folder.c_str(), &St) == 0)
    return S_ISDIR(St.st_mode);
  std::size_t Slash = Folder.find_last_of('/');
  if (Slash != String::npos && Slash > 0 && !MakeFolders(Folder.substr(0, Slash)))
    return false;
  return mkdir(Folder.c_str(), 0755) == 0 || errno == EEXIST;
}

String RealPath(const String& Path)
{
  char Buffer[PATH_MAX];
  return realpath(Path.c_str(), Buffer) ? String(Buffer) : String();
}

String FolderOf(const String& Path)
{
  const std::size_t Slash = Path.find_last_of('/');
  return Slash == String::npos ? String(".") : Path.substr(0, Slash);
}

// The placeholder for the Windows Media Encoder script that qvcscript.exe command lines name.
void ProvideScriptPlaceholder(const String& Folder)
{
  const String Script = Folder + "/wmcmd.vbs";
  struct stat St {};
  if (lstat(Script.c_str(), &St) == 0) return;
  std::ofstream(Script) << "' qvcscript.exe is Quelvo's tool adapter: it encodes Windows Media files with ffmpeg\n"
                           "' and does not read this file.\n";
}

}  // namespace

const char* const ToolAdapterName = "qv-tooladapter";

const std::vector<TToolLink>& ToolLinkTable()
{
  static const std::vector<TToolLink> Table = {
      {"mplayer.exe", "mplayer", false},    {"mplayer2.exe", "mplayer", false}, {"mencoder.exe", "mencoder", true},
      {"mencoder2.exe", "mencoder", true},  {"ffmpeg.exe", "ffmpeg", true},     {"ffmpeg2.exe", "ffmpeg", true},
      {"qvcscript.exe", "", true},          {"mp4box.exe", "MP4Box", true},     {"tivo.exe", "", true},
  };
  return Table;
}

String FindToolAdapter()
{
  if (const char* Env = std::getenv("QV_TOOL_ADAPTER"); Env && Env[0] == '/' && IsExecutableFile(Env)) return Env;
  const String Self = RealPath("/proc/self/exe");
  if (!Self.empty()) {
    const String Folder = FolderOf(Self);
    for (const String& Candidate : {Folder + "/" + ToolAdapterName, FolderOf(Folder) + "/tools/" + ToolAdapterName})
      if (IsExecutableFile(Candidate)) return Candidate;
  }
  return FindProgramOnSystemPath(ToolAdapterName);
}

String FindProgramOnSystemPath(const String& Program)
{
  const char* Path = std::getenv("PATH");
  return FindProgramOnPath(Program, Path ? Path : "");
}

String FindProgramOnPath(const String& Program, const String& PathList)
{
  if (Program.empty() || Program.find('/') != String::npos)
    return String();
  std::size_t Start = 0;
  while (Start <= PathList.size()) {
    std::size_t End = PathList.find(':', Start);
    if (End == String::npos)
      End = PathList.size();
    String Folder = PathList.substr(Start, End - Start);
    if (!Folder.empty() && Folder[0] == '/') {  // relative and empty entries are not searched
      String Candidate = Folder + (Folder.back() == '/' ? "" : "/") + Program;
      if (IsExecutableFile(Candidate))
        return Candidate;
    }
    Start = End + 1;
  }
  return String();
}

TToolLinkResult ProvideToolLinks(const String& WorkFolder, const String& PathList, const String& AdapterPath)
{
  TToolLinkResult Result;
  String Folder = WorkFolder;
  while (Folder.size() > 1 && Folder.back() == '/')
    Folder.pop_back();
  const bool FolderOk = MakeFolders(Folder);
  const bool HaveAdapter = !AdapterPath.empty() && IsExecutableFile(AdapterPath);
  const String Adapter = HaveAdapter ? RealPath(AdapterPath) : String();
  for (const TToolLink& Link : ToolLinkTable()) {
    const String LinkPath = Folder + "/" + Link.LinkName;
    const String System = Link.Program.empty() ? String() : FindProgramOnPath(Link.Program, PathList);
    const bool ToAdapter = Link.Adapted && HaveAdapter;
    const String Target = ToAdapter ? AdapterPath : System;
    struct stat St {};
    const bool Present = lstat(LinkPath.c_str(), &St) == 0;
    if (Present && S_ISDIR(St.st_mode)) {
      Result.Failed.push_back(Link.LinkName);  // a folder is no tool, and it is not ours to remove
      continue;
    }
    if (Present && !S_ISLNK(St.st_mode)) {
      Result.Kept.push_back(Link.LinkName);  // a real file: a build the user placed there
      continue;
    }
    if (Present) {
      // A link that leads to an executable file is kept, whoever made it: ours to the tool, or
      // the user's to a build of their own. Dangling links and links to anything else go.
      // Ours but out of date: the system's tool where the adapter is due now, or another adapter.
      const String Now = RealPath(LinkPath);
      const bool Stale = ToAdapter && Now != Adapter &&
                         ((!System.empty() && Now == RealPath(System)) || Now.substr(Now.find_last_of('/') + 1) == ToolAdapterName);
      if (IsExecutableFile(LinkPath) && !Stale) {
        if (Link.LinkName == "qvcscript.exe") ProvideScriptPlaceholder(Folder);
        Result.Linked.push_back(Link.LinkName);
        continue;
      }
      if (unlink(LinkPath.c_str()) != 0) {
        Result.Failed.push_back(Link.LinkName);
        continue;
      }
    }
    if (Target.empty()) {
      Result.Missing.push_back(Link.LinkName);
      continue;
    }
    if (!FolderOk || symlink(Target.c_str(), LinkPath.c_str()) != 0) {
      Result.Failed.push_back(Link.LinkName);
    } else {
      if (Link.LinkName == "qvcscript.exe") ProvideScriptPlaceholder(Folder);
      Result.Linked.push_back(Link.LinkName);
    }
  }
  return Result;
}

}  // namespace qv::os

int ExtractPlay(const String& WorkFolder)
{
  const char* Path = std::getenv("PATH");
  qv::os::ProvideToolLinks(WorkFolder, Path ? Path : "", qv::os::FindToolAdapter());
  // A tool is an executable regular file (a folder of that name is not).
  auto Has = [&](const char* Name) { return qv::os::IsExecutableFile(WorkFolder + "/" + Name); };
  return Has("mplayer.exe") && Has("mencoder.exe") ? 1 : 0;
}

int ExtractPlay() { return ExtractPlay(qv::os::CurrentFolder()); }
