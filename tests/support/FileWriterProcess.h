// Another process holding a file open for writing, as a recorder or a copy in progress does,
// until the object goes. The constructor returns once the file is open in that process.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

extern char** environ;

class TFileWriterProcess {
public:
  explicit TFileWriterProcess(const std::string& File) : FReady(File + ".writer-ready")
  {
    // The names travel as arguments, never as script text.
    std::string A0 = "sh", A1 = "-c", A2 = "exec 3>>\"$1\"; : > \"$2\"; exec sleep 30", A3 = "writer",
                A4 = File, A5 = FReady;
    char* Argv[] = {A0.data(), A1.data(), A2.data(), A3.data(), A4.data(), A5.data(), nullptr};
    if (posix_spawn(&FPid, "/bin/sh", nullptr, nullptr, Argv, environ) != 0) {
      FPid = 0;
      return;
    }
    for (int I = 0; I < 5000 && !std::filesystem::exists(FReady); ++I) usleep(1000);
  }
  ~TFileWriterProcess()
  {
    if (FPid > 0) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
    std::error_code Ignored;
    std::filesystem::remove(FReady, Ignored);
  }
  TFileWriterProcess(const TFileWriterProcess&) = delete;
  TFileWriterProcess& operator=(const TFileWriterProcess&) = delete;

  bool Started() const { return FPid > 0 && std::filesystem::exists(FReady); }

private:
  std::string FReady;
  pid_t FPid = 0;
};
