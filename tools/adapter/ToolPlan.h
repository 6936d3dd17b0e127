// The tool adapter's translation: the command line the program gives one of its encoder names
// ("mencoder.exe", "ffmpeg.exe", "qvcscript.exe", "mp4box.exe", "tivo.exe" and the "2" builds)
// becomes a plan of processes of the system's tools (mencoder, ffmpeg, sox) that gives the file
// the command line asks for with the builds Debian ships.
//
// The translation is a pure function of the name, the arguments and the run's temporary
// folder: it starts nothing and reads no file. A rule applies only when the line holds what it
// rewrites; a line no rule touches runs as it stands. Arguments stay whole: a file name is
// never split, joined or read as an option, whatever it holds.
//
// Pipes: pipe N is seen by both of its ends as file descriptor PipeFd(N). A process that
// writes it lists N in WritePipes, a reader in ReadPipes; the arguments name the descriptor
// ("/dev/fd/10" for mencoder and sox, "pipe:10" for ffmpeg).
#pragma once

#include <string>
#include <vector>

namespace qv::tools {

constexpr int PipeFd(int Pipe) { return 10 + Pipe; }

struct TToolProcess {
  std::string Program;            // "mencoder", "ffmpeg", "sox": looked up on PATH
  std::vector<std::string> Args;  // argv[1] on
  std::vector<int> WritePipes;
  std::vector<int> ReadPipes;
  bool RewriteProgress = false;   // its output goes through the progress relay
};

// The processes of one step run together, connected by pipes; the first is the head (it
// reads the source and gets the user's Ctrl+C). Steps run one after the other.
struct TToolStep {
  std::vector<TToolProcess> Processes;
  int PipeCount = 0;
};

struct TToolPlan {
  std::vector<TToolStep> Steps;
  std::string Output;             // the file the run must write ("" when none is expected)
  std::string Container;          // the container of that file ("mp4", "3gp", "avi" ...)
  bool UsesTempFolder = false;    // the steps keep files in the temporary folder
  std::string Message;            // printed before anything runs (a plan without steps ends there)
  int MessageExitCode = 0;        // the exit code of a plan without steps
};

// ToolName is the name the adapter was started as (its path's last component); Args are
// argv[1] on; TempFolder is the run's own temporary folder (made by the executor when the
// plan uses it).
TToolPlan TranslateToolCommand(const std::string& ToolName, const std::vector<std::string>& Args,
                               const std::string& TempFolder);

// The plan's command lines, one per process, for messages and tests: each argument that holds
// a blank, a quote or nothing is written in double quotes with its quotes doubled; steps are
// separated by " ;; ", the processes of a step by " | ".
std::string DescribeToolPlan(const TToolPlan& Plan);

}  // namespace qv::tools
