// A helper program of the tests (tests/tools/) run as a child and spoken to in lines: commands go
// to its standard input, its answers and reports come from its standard output. While waiting for
// a line the caller's Pump runs (the program's messages), so the child can talk to the program
// under test meanwhile.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class TLineChild {
public:
  TLineChild() = default;
  TLineChild(const TLineChild&) = delete;
  TLineChild& operator=(const TLineChild&) = delete;
  ~TLineChild() { Stop(SIGTERM); }

  // Starts the tool Name of QV_TEST_BIN_DIR with the environment variables Env set on top of ours.
  bool Start(const std::string& Name, const std::vector<std::pair<std::string, std::string>>& Env = {})
  {
    int in[2], out[2];
    if (pipe(in) != 0)
      return false;
    if (pipe(out) != 0) {
      close(in[0]);
      close(in[1]);
      return false;
    }
    const std::string tool = std::string(QV_TEST_BIN_DIR) + "/" + Name;
    Pid = fork();
    if (Pid == 0) {
      for (const auto& [key, value] : Env)
        setenv(key.c_str(), value.c_str(), 1);
      dup2(in[0], 0);
      dup2(out[1], 1);
      close(in[1]);
      close(out[0]);
      execl(tool.c_str(), Name.c_str(), nullptr);
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    In = in[1];
    Out = out[0];
    return Pid > 0;
  }
  // Ends the child with Signal (SIGKILL: a crash) and waits for it.
  void Stop(int Signal)
  {
    if (Pid > 0) {
      kill(Pid, Signal);
      waitpid(Pid, nullptr, 0);
      Pid = -1;
    }
    if (In >= 0)
      close(In);
    if (Out >= 0)
      close(Out);
    In = Out = -1;
    Buffer.clear();
  }
  void Send(const std::string& Line)
  {
    const std::string text = Line + "\n";
    [[maybe_unused]] ssize_t n = write(In, text.data(), text.size());
  }
  // The next line, running Pump meanwhile; empty after Ms without one.
  std::string Line(const std::function<void()>& Pump, int Ms = 3000)
  {
    for (int i = 0; i < Ms / 10; ++i) {
      const size_t end = Buffer.find('\n');
      if (end != std::string::npos) {
        std::string line = Buffer.substr(0, end);
        Buffer.erase(0, end + 1);
        return line;
      }
      pollfd fd{Out, POLLIN, 0};
      if (Out >= 0 && poll(&fd, 1, 0) > 0) {
        char chunk[256];
        const ssize_t got = read(Out, chunk, sizeof chunk);
        if (got > 0) {
          Buffer.append(chunk, static_cast<size_t>(got));
          continue;
        }
      }
      if (Pump)
        Pump();
      usleep(10000);
    }
    return "";
  }
  // Sends a command and answers its reply.
  std::string Ask(const std::function<void()>& Pump, const std::string& Command)
  {
    Send(Command);
    return Line(Pump);
  }

  pid_t Pid = -1;
  int In = -1, Out = -1;
  std::string Buffer;
};
