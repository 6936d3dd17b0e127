// The tool adapter: the work folder's encoder names ("mencoder.exe", "ffmpeg.exe",
// "qvcscript.exe", "mp4box.exe", "tivo.exe" and the "2" builds) are links to this program. It
// reads the name it was started as and its arguments, translates them into a plan of the
// system's tools and runs it; its exit code is the plan's.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/adapter/PlanExecutor.h"
#include "tools/adapter/ToolPlan.h"

int main(int argc, char** argv)
{
  const std::string Invoked = argc > 0 && argv[0] ? argv[0] : "";
  const std::size_t Slash = Invoked.find_last_of('/');
  const std::string Name = Slash == std::string::npos ? Invoked : Invoked.substr(Slash + 1);
  std::vector<std::string> Args(argv + (argc > 0 ? 1 : 0), argv + argc);

  qv::tools::TExecutorSettings Settings;
  const char* Path = std::getenv("PATH");
  Settings.PathList = Path ? Path : "";
  if (Slash != std::string::npos) Settings.SkipFolder = Slash == 0 ? "/" : Invoked.substr(0, Slash);
  char Self[PATH_MAX];
  const ssize_t N = readlink("/proc/self/exe", Self, sizeof Self - 1);
  if (N > 0) Settings.SelfPath = std::string(Self, static_cast<std::size_t>(N));

  const std::string Root = qv::tools::TempRootFolder();
  qv::tools::SweepTempFolders(Root);
  const std::string Temp = Root.empty() ? std::string() : qv::tools::RunTempFolder(Root, getpid());
  const qv::tools::TToolPlan Plan = qv::tools::TranslateToolCommand(Name, Args, Temp);
  return qv::tools::RunToolPlan(Plan, Temp, Settings);
}
