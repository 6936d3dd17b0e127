#include "platform/os/ShellSpawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "platform/os/ToolLinks.h"

extern char** environ;

namespace qvshell {
namespace {

// Starts the program with stdin from /dev/null, in its own process group, with the default
// signal dispositions. 0 or an errno.
int Start(const std::vector<String>& Argv, const String& Directory, pid_t& Pid)
{
  if (Argv.empty() || Argv[0].empty()) return EINVAL;
  const String program = FindProgram(Argv[0]);
  if (program.empty()) return ENOENT;
  if (!Directory.empty()) {
    struct stat st {};
    if (stat(Directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return ENOENT;
  }
  std::vector<char*> argv;
  for (const String& a : Argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  // Only the standard streams reach the opened program, whatever was left inheritable.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  if (!Directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, Directory.c_str());
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGCHLD);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  const int rc = posix_spawn(&Pid, program.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return rc;
}

int ExitCode(int Status)
{
  if (WIFEXITED(Status)) return WEXITSTATUS(Status);
  if (WIFSIGNALED(Status)) return 128 + WTERMSIG(Status);
  return -1;
}

}  // namespace

String FindProgram(const String& Name)
{
  if (Name.empty()) return "";
  if (Name.find('/') != String::npos) return access(Name.c_str(), X_OK) == 0 ? Name : String();
  // Only absolute PATH entries: an empty or relative one would search the current folder.
  const char* path = std::getenv("PATH");
  return qv::os::FindProgramOnPath(Name, path ? path : "/usr/local/bin:/usr/bin:/bin");
}

int SpawnAndWait(const std::vector<String>& Argv, const String& Directory)
{
  pid_t pid = 0;
  const int rc = Start(Argv, Directory, pid);
  if (rc != 0) {
    errno = rc;
    return -1;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return ExitCode(status);
}

int SpawnDetached(const std::vector<String>& Argv, const String& Directory)
{
  pid_t pid = 0;
  const int rc = Start(Argv, Directory, pid);
  if (rc != 0) return rc;
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return 0;
}

}  // namespace qvshell
