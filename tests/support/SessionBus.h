// A private session bus for a test: Debian's dbus-daemon started with the session configuration,
// its address read from the daemon itself. Start answers false when dbus-daemon is missing or
// does not come up (the caller skips with a message).
#pragma once

#include <poll.h>
#include <sys/prctl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

class TSessionBus {
public:
  TSessionBus() = default;
  TSessionBus(const TSessionBus&) = delete;
  TSessionBus& operator=(const TSessionBus&) = delete;
  ~TSessionBus() { Stop(SIGTERM); }

  bool Start()
  {
    int out[2];
    if (pipe(out) != 0)
      return false;
    Pid = fork();
    if (Pid == 0) {
      // A test that crashes takes its bus with it.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      close(out[0]);
      const std::string fd = "--print-address=" + std::to_string(out[1]);
      execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile", fd.c_str(), nullptr);
      _exit(127);
    }
    close(out[1]);
    if (Pid < 0) {
      close(out[0]);
      return false;
    }
    // The address is one line; the daemon has not come up when none arrives within 5 s.
    std::string line;
    for (int i = 0; i < 500 && line.find('\n') == std::string::npos; ++i) {
      pollfd p{out[0], POLLIN, 0};
      if (poll(&p, 1, 10) <= 0)
        continue;
      char chunk[256];
      const ssize_t got = read(out[0], chunk, sizeof chunk);
      if (got <= 0)
        break;
      line.append(chunk, static_cast<size_t>(got));
    }
    close(out[0]);
    const size_t end = line.find('\n');
    if (end == std::string::npos || end == 0) {
      Stop(SIGKILL);
      return false;
    }
    Address = line.substr(0, end);
    return true;
  }
  // Ends the daemon (SIGKILL: the bus crashes) and waits for it.
  void Stop(int Signal)
  {
    if (Pid > 0) {
      kill(Pid, Signal);
      waitpid(Pid, nullptr, 0);
    }
    Pid = -1;
  }

  pid_t Pid = -1;
  std::string Address;
};
