// A small child program for the process tests. Its arguments are a list of commands run in
// order (all output unbuffered, straight to the descriptors):
//   print TEXT      TEXT and LF on standard output      eprint TEXT   the same on standard error
//   raw TEXT        TEXT on standard output with \r, \n and \t turned into CR, LF and TAB
//   echo            copy standard input to standard output until it ends
//   sleep MS        sleep                               exit CODE     end with CODE
//   ignint          ignore SIGINT from now on           ready         print "ready"
//   pause           wait until a signal ends the program
//   args            print every argument as [arg], one per line, and end with 0
//   nice            print the nice value                cwd           print the working folder
//   env NAME        print the variable's value, or <unset>
//   become ID       switch to that user and group id (needs root)
//   grandchild      start a child of its own that sleeps 60 s and print "gc <pid>"
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Out(int Fd, const std::string& Text)
{
  const char* P = Text.data();
  std::size_t Left = Text.size();
  while (Left > 0) {
    ssize_t N = write(Fd, P, Left);
    if (N <= 0)
      return;
    P += N;
    Left -= static_cast<std::size_t>(N);
  }
}

std::string Unescape(const char* Text)
{
  std::string Result;
  for (const char* P = Text; *P; ++P) {
    if (*P == '\\' && P[1]) {
      ++P;
      Result += *P == 'r' ? '\r' : *P == 'n' ? '\n' : *P == 't' ? '\t' : *P;
    } else {
      Result += *P;
    }
  }
  return Result;
}

}  // namespace

int main(int Argc, char** Argv)
{
  for (int I = 1; I < Argc; ++I) {
    const std::string Command = Argv[I];
    const char* Arg = I + 1 < Argc ? Argv[I + 1] : "";
    if (Command == "print") {
      Out(1, std::string(Arg) + "\n");
      ++I;
    } else if (Command == "eprint") {
      Out(2, std::string(Arg) + "\n");
      ++I;
    } else if (Command == "raw") {
      Out(1, Unescape(Arg));
      ++I;
    } else if (Command == "echo") {
      char Buffer[4096];
      ssize_t N;
      while ((N = read(0, Buffer, sizeof Buffer)) > 0)
        Out(1, std::string(Buffer, static_cast<std::size_t>(N)));
    } else if (Command == "sleep") {
      usleep(static_cast<useconds_t>(std::atoi(Arg)) * 1000);
      ++I;
    } else if (Command == "exit") {
      return std::atoi(Arg);
    } else if (Command == "ignint") {
      signal(SIGINT, SIG_IGN);
    } else if (Command == "ready") {
      Out(1, "ready\n");
    } else if (Command == "pause") {
      for (;;)
        pause();
    } else if (Command == "args") {
      for (int J = 1; J < Argc; ++J)
        Out(1, "[" + std::string(Argv[J]) + "]\n");
      return 0;
    } else if (Command == "nice") {
      errno = 0;
      Out(1, std::to_string(getpriority(PRIO_PROCESS, 0)) + "\n");
    } else if (Command == "cwd") {
      char Buffer[4096];
      Out(1, std::string(getcwd(Buffer, sizeof Buffer) ? Buffer : "?") + "\n");
    } else if (Command == "env") {
      const char* Value = std::getenv(Arg);
      Out(1, std::string(Value ? Value : "<unset>") + "\n");
      ++I;
    } else if (Command == "become") {
      const unsigned Id = static_cast<unsigned>(std::atoi(Arg));
      if (setgid(Id) != 0 || setuid(Id) != 0) {
        Out(1, "become failed\n");
        return 98;
      }
      ++I;
    } else if (Command == "grandchild") {
      pid_t Pid = fork();
      if (Pid == 0) {
        sleep(60);
        _exit(0);
      }
      Out(1, "gc " + std::to_string(Pid) + "\n");
    } else {
      Out(2, "qv_testchild: unknown command " + Command + "\n");
      return 99;
    }
  }
  return 0;
}
