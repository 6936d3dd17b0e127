// A private X server for the X11 tests: Xvfb on a display number it picks itself, started on
// first use and stopped when the test program ends.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

class TXvfbServer : public testing::Environment {
public:
  // ":N" of the running server, or empty when Xvfb cannot be started here.
  static std::string Display()
  {
    TXvfbServer& s = Instance();
    if (!s.FTried) {
      s.FTried = true;
      s.Start();
    }
    return s.FDisplay;
  }

  void TearDown() override
  {
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      int status = 0;
      waitpid(FPid, &status, 0);
      FPid = -1;
    }
  }

  static TXvfbServer& Instance()
  {
    static TXvfbServer* server = [] {
      auto* s = new TXvfbServer;
      testing::AddGlobalTestEnvironment(s); // gtest owns it from here on
      return s;
    }();
    return *server;
  }

private:
  void Start()
  {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
      return;
    // Xvfb writes the display number it chose to the descriptor named by -displayfd. It dies
    // with the test program, also when that one crashes.
    const char* argv[] = {"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset",
                          nullptr};
    pid_t pid = fork();
    if (pid == 0) {
      int devnull = open("/dev/null", O_WRONLY);
      if (fds[1] != 3) {
        dup2(fds[1], 3);
      } else {
        fcntl(3, F_SETFD, 0);
      }
      if (devnull >= 0) {
        dup2(devnull, 1);
        dup2(devnull, 2);
      }
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      execvp("Xvfb", const_cast<char**>(argv));
      _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
      close(fds[0]);
      return;
    }
    FPid = pid;
    std::string number;
    for (;;) {
      pollfd p{fds[0], POLLIN, 0};
      if (poll(&p, 1, 10000) != 1)
        break;
      char c;
      if (read(fds[0], &c, 1) != 1)
        break;
      if (c == '\n')
        break;
      number += c;
    }
    close(fds[0]);
    if (number.empty()) {
      TearDown();
      return;
    }
    FDisplay = ":" + number;
  }

  bool FTried = false;
  pid_t FPid = -1;
  std::string FDisplay;
};
