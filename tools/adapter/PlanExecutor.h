// Runs a tool plan: the processes of each step start together, each in its own process group
// and with a parent-death signal (killing the adapter leaves no child), their pipes connected
// as the plan says. The adapter's own Ctrl+C (SIGINT) goes once to the head of the running
// step only, so the head closes its file and the tools after it drain the rest; SIGTERM goes to
// the head and ends the run after that step. When a process ends, every process still writing
// into a pipe it read is stopped (a writer may hold its own pipe open and would block for
// ever). The run's exit code is that of the first process that failed on its own (128 + the
// signal for a process killed by one), else 0; a run that ends with 0 but did not write the
// plan's output file gives 1 with a message. Processes whose output the plan rewrites go
// through the progress relay; the others write straight to the adapter's output.
#pragma once

#include <string>

#include "tools/adapter/ToolPlan.h"

namespace qv::tools {

struct TExecutorSettings {
  std::string PathList;    // where the tools are looked for (as $PATH; relative entries are skipped)
  std::string SkipFolder;  // never searched: the work folder the adapter was started from
  std::string SelfPath;    // the adapter itself: never taken for a tool
  int OutputFd = 1;
};

// The full path of Program on the settings' path, or "".
std::string FindTool(const std::string& Program, const TExecutorSettings& Settings);

// TempFolder is made when the plan uses it and removed at the end.
int RunToolPlan(const TToolPlan& Plan, const std::string& TempFolder, const TExecutorSettings& Settings);

// The folder that holds the runs' temporary folders ($TMPDIR or /tmp, then
// "qv-tooladapter-<uid>"), made when missing; "" when it cannot be made or is not ours.
std::string TempRootFolder();
// The temporary folder of the run of process Pid.
std::string RunTempFolder(const std::string& Root, long Pid);
// Removes the run folders below Root whose process no longer runs.
void SweepTempFolders(const std::string& Root);

}  // namespace qv::tools
