#include "platform/os/ToolLinks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

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

}  // namespace

const std::vector<TToolLink>& ToolLinkTable()
{
  static const std::vector<TToolLink> Table = {
      {"mplayer.exe", "mplayer"},   {"mplayer2.exe", "mplayer"}, {"mencoder.exe", "mencoder"},
      {"mencoder2.exe", "mencoder"}, {"ffmpeg.exe", "ffmpeg"},   {"ffmpeg2.exe", "ffmpeg"},
      {"mp4box.exe", "MP4Box"},
  };
  return Table;
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

TToolLinkResult ProvideToolLinks(const String& WorkFolder, const String& PathList)
{
  TToolLinkResult Result;
  String Folder = WorkFolder;
  while (Folder.size() > 1 && Folder.back() == '/')
    Folder.pop_back();
  const bool FolderOk = MakeFolders(Folder);
  for (const TToolLink& Link : ToolLinkTable()) {
    const String LinkPath = Folder + "/" + Link.LinkName;
    const String Target = FindProgramOnPath(Link.Program, PathList);
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
      if (IsExecutableFile(LinkPath)) {
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
    if (!FolderOk || symlink(Target.c_str(), LinkPath.c_str()) != 0)
      Result.Failed.push_back(Link.LinkName);
    else
      Result.Linked.push_back(Link.LinkName);
  }
  return Result;
}

}  // namespace qv::os

int ExtractPlay(const String& WorkFolder)
{
  const char* Path = std::getenv("PATH");
  qv::os::ProvideToolLinks(WorkFolder, Path ? Path : "");
  // A tool is an executable regular file (a folder of that name is not).
  auto Has = [&](const char* Name) { return qv::os::IsExecutableFile(WorkFolder + "/" + Name); };
  return Has("mplayer.exe") && Has("mencoder.exe") ? 1 : 0;
}

int ExtractPlay() { return ExtractPlay(qv::os::CurrentFolder()); }
