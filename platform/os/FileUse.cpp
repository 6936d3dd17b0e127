#include "platform/os/FileUse.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool SameFile(const struct stat& A, const struct stat& B) { return A.st_dev == B.st_dev && A.st_ino == B.st_ino; }

bool IsPid(const char* Name)
{
  if (!*Name) return false;
  for (const char* P = Name; *P; ++P)
    if (*P < '0' || *P > '9') return false;
  return true;
}

// The open flags of one descriptor from /proc/<pid>/fdinfo/<fd> (octal "flags:" line).
bool DescriptorWrites(const std::string& FdInfo)
{
  std::ifstream In(FdInfo);
  std::string Line;
  while (std::getline(In, Line))
    if (Line.compare(0, 6, "flags:") == 0) {
      const long Flags = std::strtol(Line.c_str() + 6, nullptr, 8);
      return (Flags & O_ACCMODE) == O_WRONLY || (Flags & O_ACCMODE) == O_RDWR;
    }
  return false;
}

}  // namespace

bool FileUsedByOtherProcess(const String& FileName)
{
  struct stat Target {};
  if (stat(FileName.c_str(), &Target) != 0 || !S_ISREG(Target.st_mode)) return false;
  const std::string Self = std::to_string(getpid());
  DIR* Proc = opendir("/proc");
  if (!Proc) return false;
  bool Used = false;
  while (!Used) {
    dirent* Entry = readdir(Proc);
    if (!Entry) break;
    if (!IsPid(Entry->d_name) || Self == Entry->d_name) continue;
    const std::string Base = std::string("/proc/") + Entry->d_name;
    struct stat S {};
    if (stat((Base + "/exe").c_str(), &S) == 0 && SameFile(S, Target)) {
      Used = true;
      break;
    }
    DIR* Fds = opendir((Base + "/fd").c_str());
    if (!Fds) continue;
    while (dirent* Fd = readdir(Fds)) {
      if (!IsPid(Fd->d_name)) continue;
      if (stat((Base + "/fd/" + Fd->d_name).c_str(), &S) != 0 || !SameFile(S, Target)) continue;
      if (DescriptorWrites(Base + "/fdinfo/" + Fd->d_name)) {
        Used = true;
        break;
      }
    }
    closedir(Fds);
  }
  closedir(Proc);
  return Used;
}

bool SameFileOnDisk(const String& A, const String& B)
{
  if (A.empty() || B.empty()) return false;
  struct stat Sa {}, Sb {};
  if (stat(A.c_str(), &Sa) == 0 && stat(B.c_str(), &Sb) == 0) return SameFile(Sa, Sb);
  std::error_code E1, E2;
  const auto Ra = std::filesystem::weakly_canonical(std::filesystem::absolute(A.c_str(), E1), E1);
  const auto Rb = std::filesystem::weakly_canonical(std::filesystem::absolute(B.c_str(), E2), E2);
  return !E1 && !E2 && Ra == Rb;
}
