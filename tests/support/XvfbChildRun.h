// Running a test's body on a private Xvfb server, in a child process of the test program: the
// child gets an X11 display backend of its own, so its windows, grabs and backend never reach the
// program's other tests (which keep the offscreen backend).
//
//   TEST(SkinEditX11, KeysReachTheEdit)
//   {
//     if (RunOnXvfbChild("QV_SKIN_EDIT_X11", TypeIntoEdits) == TXvfbChild::NoServer)
//       GTEST_SKIP() << "Xvfb is not available";
//   }
//
// In the parent, RunOnXvfbChild starts Xvfb, runs the program again with a filter naming only the
// calling test and the server's name in the environment variable ServerVariable, waits and
// expects the child to pass. In the child (the variable is set) it connects to the server, makes
// that connection the display backend and runs Body with the server's name and the backend.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "platform/display/X11Display.h"
#include "platform/vcl/Forms.h"
#include "tests/platform/display/XvfbServer.h"

// Where RunOnXvfbChild ran the test: as the child on the server, as the parent that waited for
// it, or nowhere because Xvfb cannot be started here (the caller skips).
enum class TXvfbChild { Child, Parent, NoServer };

using TXvfbBody = std::function<void(const char* Server, TDisplayBackend* Display)>;

namespace XvfbChildDetail {

inline void RunBody(const char* Server, const TXvfbBody& Body)
{
  String error;
  std::unique_ptr<TDisplayBackend> backend = CreateX11Display(Server, error);
  ASSERT_TRUE(backend) << error;
  TDisplayBackend* display = backend.get();
  SetDisplayBackend(std::move(backend));
  Body(Server, display);
}

inline void ForkAndWait(const char* ServerVariable, const std::string& Server, const std::string& Filter,
                        bool QuietStdout)
{
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv(ServerVariable, Server.c_str(), 1);
    // Nothing of the desktop the tests run in: no session bus (a panel there would take tray
    // icons); a test that wants a bus starts its own.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (QuietStdout) {
      const int devnull = open("/dev/null", O_WRONLY);
      if (devnull >= 0)
        dup2(devnull, 1);
    }
    execl("/proc/self/exe", "xvfb_child", Filter.c_str(), nullptr);
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(pid, waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status)) << "the run on the X server failed";
}

} // namespace XvfbChildDetail

// TestName names the test the child runs ("Suite.Name"); empty means the calling test. With
// QuietStdout the child's standard output goes to /dev/null (its failures still reach stderr).
inline TXvfbChild RunOnXvfbChild(const char* ServerVariable, const TXvfbBody& Body, bool QuietStdout = true,
                                 const std::string& TestName = {})
{
  if (const char* server = std::getenv(ServerVariable)) {
    XvfbChildDetail::RunBody(server, Body);
    return TXvfbChild::Child;
  }
  const std::string server = TXvfbServer::Display();
  if (server.empty())
    return TXvfbChild::NoServer;
  std::string name = TestName;
  if (name.empty()) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    name = std::string(test->test_suite_name()) + "." + test->name();
  }
  XvfbChildDetail::ForkAndWait(ServerVariable, server, "--gtest_filter=" + name, QuietStdout);
  return TXvfbChild::Parent;
}

// Pumps the program's messages and flushes the display N times, 5 ms apart.
inline void PumpDisplay(TDisplayBackend* Display, int N)
{
  for (int i = 0; i < N; ++i) {
    Application->ProcessMessages();
    Display->Flush();
    usleep(5000);
  }
}

// Pumps the program's messages until Done holds (at most 3 s); answers whether it did.
inline bool PumpDisplayUntil(TDisplayBackend* Display, const std::function<bool()>& Done)
{
  for (int i = 0; i < 300; ++i) {
    Application->ProcessMessages();
    Display->Flush();
    if (Done())
      return true;
    usleep(10000);
  }
  return false;
}
