#include <gtest/gtest.h>

#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <numeric>

#include <fcntl.h>

#include "platform/os/InstanceChannel.h"
#include "platform/rtl/Exceptions.h"
#include "tests/platform/os/ProcessTestHelpers.h"

using namespace qvtest;
using qv::os::TInstanceChannel;
using qv::os::TRemoteWindow;

namespace {

constexpr UINT MsgAskBack = 0xC100;
constexpr UINT MsgAnswer = 0xC101;
constexpr UINT MsgQuit = 0xC1FF;
HWND const ChildHidden = reinterpret_cast<HWND>(0x1234);
HWND const ChildApp = reinterpret_cast<HWND>(0x5678);
HWND const ParentWindow = reinterpret_cast<HWND>(0x9999);

void Say(const String& Text) { [[maybe_unused]] ssize_t N = write(1, Text.data(), Text.size()); }

LRESULT Checksum(const std::vector<char>& Data)
{
  return std::accumulate(Data.begin(), Data.end(), LRESULT(0),
                         [](LRESULT Sum, char C) { return Sum + static_cast<unsigned char>(C); });
}

const bool Registered = [] {
  // A second copy: serves its channel until told to quit. Mode "silent" never serves.
  RegisterChildAction("channel", [](const String& Mode) {
    TInstanceChannel Channel;
    Channel.RegisterWindow(ChildHidden, "XcAppInstances_WindowClass", "child", 77);
    Channel.RegisterWindow(ChildApp, "TApplication", "Quelvo 3", 77);
    bool Quit = false;
    Channel.SetHandler([&](HWND Target, UINT Msg, WPARAM wParam, LPARAM lParam, const std::vector<char>& Data) {
      if (Msg == qv::os::WM_COPYDATA_MESSAGE) {
        Say("copydata " + std::to_string(reinterpret_cast<std::uintptr_t>(Target)) + " " + std::to_string(wParam) +
            " " + std::to_string(lParam) + " " + std::to_string(Data.size()) + "\n");
        return Checksum(Data);
      }
      if (Msg == MsgAskBack) {
        // Answering needs the asker, which is blocked waiting for us.
        std::vector<TRemoteWindow> Parent = qv::os::FindRemoteWindows("ParentClass", nullptr);
        LRESULT Result = -1;
        if (Parent.size() == 1 && qv::os::SendRemoteMessage(Parent[0], MsgAnswer, 5, 0, nullptr, 0, 5000, &Result))
          return Result + 1;
        return LRESULT(-1);
      }
      if (Msg == MsgQuit)
        Quit = true;
      return LRESULT(Msg == MsgQuit ? 99 : 0);
    });
    Say("ready\n");
    if (Mode == "silent") {
      char C;
      while (read(0, &C, 1) > 0) {
      }
      return 0;
    }
    while (!Quit) {
      pollfd P{Channel.GetFd(), POLLIN, 0};
      if (poll(&P, 1, 10000) <= 0)
        return 2;  // nobody came
      Channel.Pump();
    }
    return 0;
  });
  // Opens its channel, takes away every free descriptor, and counts how often its loop wakes
  // in a second while a connection waits that cannot be accepted.
  RegisterChildAction("no-descriptors", [](const String&) {
    TInstanceChannel Channel;
    Channel.RegisterWindow(ChildApp, "TApplication", "starved", 77);
    rlimit Limit{};
    getrlimit(RLIMIT_NOFILE, &Limit);
    int Highest = 0;
    for (int Fd = 0; Fd < 1024; ++Fd)
      if (fcntl(Fd, F_GETFD) >= 0) Highest = Fd;
    Limit.rlim_cur = static_cast<rlim_t>(Highest + 1);
    setrlimit(RLIMIT_NOFILE, &Limit);
    Say("ready\n");
    const Int64 Start = GetTickCount64();
    int Wakes = 0;
    while (GetTickCount64() - Start < 1500) {
      pollfd P{Channel.GetFd(), POLLIN, 0};
      if (poll(&P, 1, 100) > 0) {
        ++Wakes;
        Channel.Pump();
      }
    }
    Say("wakes " + std::to_string(Wakes) + "\n");
    return 0;
  });
  RegisterChildAction("msg-number", [](const String& Name) {
    Say(std::to_string(qv::os::RegisterSharedMessage(Name)) + "\n");
    return 0;
  });
  return true;
}();

}  // namespace

class InstanceChannelTest : public TRuntimeFolderTest {};

TEST_F(InstanceChannelTest, MessagesAndCopyDataReachAnotherCopy)
{
  TInstanceChannel Own;
  EXPECT_THROW(TInstanceChannel(), EOSError) << "one channel per process";
  Own.RegisterWindow(ParentWindow, "ParentClass", "parent", 1);
  Own.SetHandler([](HWND Target, UINT Msg, WPARAM wParam, LPARAM, const std::vector<char>&) {
    return Target == ParentWindow && Msg == MsgAnswer ? LRESULT(wParam * 2) : LRESULT(-1);
  });

  TLiveChild Child;
  ASSERT_TRUE(Child.Start(ChildModeCommand("channel", "")));
  ASSERT_EQ(ReadLine(Child.Out), "ready");

  std::vector<TRemoteWindow> Hidden = qv::os::FindRemoteWindows("XcAppInstances_WindowClass", nullptr);
  ASSERT_EQ(Hidden.size(), 1u);
  EXPECT_EQ(Hidden[0].ProcessId, Child.Pi.dwProcessId);
  EXPECT_EQ(Hidden[0].Window, ChildHidden);
  EXPECT_EQ(Hidden[0].ThreadId, 77u);
  EXPECT_EQ(Hidden[0].Title, "child");
  std::vector<TRemoteWindow> App = qv::os::FindRemoteWindows(nullptr, "Quelvo 3");
  ASSERT_EQ(App.size(), 1u);
  EXPECT_EQ(App[0].ClassName, "TApplication");
  EXPECT_TRUE(qv::os::FindRemoteWindows("ParentClass", nullptr).empty()) << "our own windows are left out";
  EXPECT_EQ(qv::os::FindRemoteWindows("ParentClass", nullptr, true).size(), 1u);
  EXPECT_TRUE(qv::os::FindRemoteWindows("xcappinstances_windowclass", nullptr).empty()) << "exact class names";

  // A command line as WM_COPYDATA: the bytes arrive whole, the handler's result comes back.
  const String Lines = "/home/ann/a b.avi\r\n\r\n" + String(100000, 'x') + "\r\n";
  LRESULT Result = 0;
  ASSERT_TRUE(qv::os::SendRemoteCopyData(Hidden[0], ParentWindow, 1, Lines.data(), static_cast<DWORD>(Lines.size()),
                                         5000, &Result));
  EXPECT_EQ(Result, Checksum(std::vector<char>(Lines.begin(), Lines.end())));
  EXPECT_EQ(ReadLine(Child.Out), "copydata 4660 39321 1 " + std::to_string(Lines.size()));

  // The receiver sends back to us while we wait for it: no deadlock.
  ASSERT_TRUE(qv::os::SendRemoteMessage(Hidden[0], MsgAskBack, 0, 0, nullptr, 0, 5000, &Result));
  EXPECT_EQ(Result, 11);

  EXPECT_TRUE(qv::os::PostRemoteMessage(App[0], MsgQuit, 0, 0, nullptr, 0));
  EXPECT_EQ(WaitForSingleObject(Child.Pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD Exit = 1;
  GetExitCodeProcess(Child.Pi.hProcess, &Exit);
  EXPECT_EQ(Exit, 0u);
  EXPECT_TRUE(qv::os::FindRemoteWindows("TApplication", nullptr).empty()) << "a closed channel leaves the directory";
  EXPECT_FALSE(qv::os::SendRemoteMessage(App[0], MsgQuit, 0, 0, nullptr, 0, 1000, &Result));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  (void)Registered;
}

TEST_F(InstanceChannelTest, BusyCopyTimesOutAndDeadCopyIsForgotten)
{
  TLiveChild Child;
  ASSERT_TRUE(Child.Start(ChildModeCommand("channel", "silent")));
  ASSERT_EQ(ReadLine(Child.Out), "ready");
  std::vector<TRemoteWindow> Windows = qv::os::FindRemoteWindows("TApplication", nullptr);
  ASSERT_EQ(Windows.size(), 1u);
  LRESULT Result = 5;
  EXPECT_FALSE(qv::os::SendRemoteMessage(Windows[0], MsgQuit, 0, 0, nullptr, 0, 50, &Result));
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  EXPECT_EQ(Result, 0);

  // Killed without closing its channel: its entry is ignored and cleaned away.
  ASSERT_TRUE(TerminateProcess(Child.Pi.hProcess, 1));
  ASSERT_EQ(WaitForSingleObject(Child.Pi.hProcess, 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(qv::os::FindRemoteWindows("TApplication", nullptr).empty());
  for (const auto& Entry : std::filesystem::directory_iterator(Folder + "/quelvo3/instances"))
    EXPECT_EQ(Entry.path().filename().string(), ".guard");
  EXPECT_FALSE(qv::os::SendRemoteMessage(Windows[0], MsgQuit, 0, 0, nullptr, 0, 1000, &Result));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(InstanceChannelTest, RegisteredMessagesAgreeAcrossProcesses)
{
  const UINT Mine = qv::os::RegisterSharedMessage("SxQUELVO3_Msg");
  EXPECT_GE(Mine, 0xC000u);
  EXPECT_LE(Mine, 0xFFFFu);
  EXPECT_EQ(qv::os::RegisterSharedMessage("sxquelvo3_msg"), Mine);
  EXPECT_NE(qv::os::RegisterSharedMessage("TaskbarCreated"), Mine);
  TChildRun Run = RunChild(ChildModeCommand("msg-number", "SxQuelvo3_MSG"));
  ASSERT_TRUE(Run.Started);
  EXPECT_EQ(Run.Out, std::to_string(Mine) + "\n");
  EXPECT_EQ(qv::os::RegisterSharedMessage(""), 0u);
}

namespace {

// A raw connection to a copy's channel, as any process of the user could make one.
int RawConnect(const String& Folder, DWORD Pid)
{
  const String Path = Folder + "/quelvo3/instances/" + std::to_string(Pid) + ".sock";
  int Fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un Address{};
  Address.sun_family = AF_UNIX;
  std::snprintf(Address.sun_path, sizeof Address.sun_path, "%s", Path.c_str());
  if (connect(Fd, reinterpret_cast<sockaddr*>(&Address), sizeof Address) != 0) {
    close(Fd);
    return -1;
  }
  return Fd;
}

// The bytes of a request header (see the channel's frame layout).
String RawHeader(std::uint32_t Kind, UINT Msg, std::uint32_t DataSize, HWND Target)
{
  struct {
    std::uint32_t Magic, Kind, Msg, DataSize;
    std::uint64_t Target, WParam;
    std::int64_t LParam;
    std::uint32_t SenderPid, Reserved;
  } H{0x4D495651, Kind, Msg, DataSize, reinterpret_cast<std::uintptr_t>(Target), 0, 0, 0, 0};
  return String(reinterpret_cast<const char*>(&H), sizeof H);
}

void PumpFor(TInstanceChannel& Channel, int Ms)
{
  const Int64 Start = GetTickCount64();
  while (GetTickCount64() - Start < static_cast<Int64>(Ms)) {
    pollfd P{Channel.GetFd(), POLLIN, 0};
    if (poll(&P, 1, 20) > 0) Channel.Pump();
  }
}

}  // namespace

TEST_F(InstanceChannelTest, OnlyNumberMessagesRegisteredMessagesAndCopyDataReachListedWindows)
{
  TInstanceChannel Own;
  Own.RegisterWindow(ParentWindow, "ParentClass", "parent", 1);
  std::vector<UINT> Handled;
  Own.SetHandler([&](HWND, UINT Msg, WPARAM, LPARAM, const std::vector<char>&) {
    Handled.push_back(Msg);
    return LRESULT(7);
  });
  const std::vector<TRemoteWindow> Self = qv::os::FindRemoteWindows("ParentClass", nullptr, true);
  ASSERT_EQ(Self.size(), 1u);
  TRemoteWindow Unlisted = Self[0];
  Unlisted.Window = reinterpret_cast<HWND>(0x1111);
  const char Bytes[] = "abc";
  struct TCase {
    const char* Name;
    UINT Msg;
    bool Listed;
    bool WithData;
    bool Reaches;
  };
  const TCase Cases[] = {
      {"WM_SETTEXT with a wild pointer", 0x000C, true, false, false},
      {"WM_GETTEXT with a wild pointer", 0x000D, true, false, false},
      {"WM_NOTIFY", 0x004E, true, false, false},
      {"WM_USER + 1", 0x0401, true, false, false},
      {"WM_APP", 0x8000, true, false, false},
      {"a registered message", 0xC123, true, false, true},
      {"a registered message to an unlisted window", 0xC123, false, false, false},
      {"a registered message with bytes", 0xC123, true, true, false},
      {"WM_COPYDATA", qv::os::WM_COPYDATA_MESSAGE, true, true, true},
      {"WM_CLOSE", 0x0010, true, false, true},
      {"WM_NULL", 0x0000, true, false, true},
  };
  for (const TCase& Case : Cases) {
    Handled.clear();
    LRESULT Result = -1;
    ASSERT_TRUE(qv::os::SendRemoteMessage(Case.Listed ? Self[0] : Unlisted, Case.Msg, 0, 0xDEADBEEF,
                                          Case.WithData ? Bytes : nullptr, Case.WithData ? 3 : 0, 5000, &Result))
        << Case.Name;
    EXPECT_EQ(Result, Case.Reaches ? 7 : 0) << Case.Name;
    EXPECT_EQ(Handled.size(), Case.Reaches ? 1u : 0u) << Case.Name;
  }
}

TEST_F(InstanceChannelTest, ConnectionsBytesAndIdleTimeAreLimited)
{
  TInstanceChannel Own;
  Own.RegisterWindow(ParentWindow, "ParentClass", "parent", 1);
  Own.SetHandler([](HWND, UINT, WPARAM, LPARAM, const std::vector<char>& Data) { return LRESULT(Data.size()); });
  const std::vector<TRemoteWindow> Self = qv::os::FindRemoteWindows("ParentClass", nullptr, true);
  ASSERT_EQ(Self.size(), 1u);

  // WM_COPYDATA: up to 1 MiB goes, more is refused by the sender.
  const String Big(qv::os::MaxRemoteCopyData, 'b');
  LRESULT Result = 0;
  EXPECT_TRUE(qv::os::SendRemoteCopyData(Self[0], nullptr, 1, Big.data(), qv::os::MaxRemoteCopyData, 5000, &Result));
  EXPECT_EQ(Result, static_cast<LRESULT>(qv::os::MaxRemoteCopyData));
  EXPECT_FALSE(qv::os::SendRemoteCopyData(Self[0], nullptr, 1, Big.data(), qv::os::MaxRemoteCopyData + 1, 5000, &Result));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  struct TCase {
    const char* Name;
    int Connections;
    String Sent;   // what each connection sends, then it stays open
    int MaxKept;   // connections the channel may hold
  };
  const TCase Cases[] = {
      {"idle connections", 20, "", qv::os::MaxRemoteConnections},
      {"a header announcing 60 MB", 3, RawHeader(1, 0xC123, 60u << 20, ParentWindow), 0},
      {"headers announcing 1 MiB each", 8, RawHeader(1, qv::os::WM_COPYDATA_MESSAGE, qv::os::MaxRemoteCopyData, ParentWindow),
       static_cast<int>(qv::os::MaxRemoteBufferedBytes / qv::os::MaxRemoteCopyData)},
      {"not a request", 3, String(64, 'x'), 0},
  };
  for (const TCase& Case : Cases) {
    std::vector<int> Fds;
    for (int I = 0; I < Case.Connections; ++I) {
      int Fd = RawConnect(Folder, getpid());
      ASSERT_GE(Fd, 0) << Case.Name;
      if (!Case.Sent.empty()) {
        ASSERT_EQ(send(Fd, Case.Sent.data(), Case.Sent.size(), MSG_NOSIGNAL), static_cast<ssize_t>(Case.Sent.size()));
      }
      Fds.push_back(Fd);
    }
    PumpFor(Own, 300);
    EXPECT_LE(Own.GetConnectionCount(), Case.MaxKept) << Case.Name;
    // A request still gets through meanwhile, or right after the idle ones were dropped.
    EXPECT_TRUE(qv::os::SendRemoteMessage(Self[0], 0xC123, 0, 0, nullptr, 0, 6000, &Result)) << Case.Name;
    // Nothing is held for ever: every raw connection is closed by the channel in the end.
    const Int64 Start = GetTickCount64();
    std::size_t Closed = 0;
    std::vector<bool> Seen(Fds.size(), false);
    while (Closed < Fds.size() && GetTickCount64() - Start < 2 * qv::os::RemoteRequestDeadlineMs + 2000) {
      PumpFor(Own, 50);
      for (std::size_t I = 0; I < Fds.size(); ++I) {
        char C;
        if (!Seen[I] && recv(Fds[I], &C, 1, MSG_DONTWAIT) == 0) {
          Seen[I] = true;
          ++Closed;
        }
      }
    }
    EXPECT_EQ(Closed, Fds.size()) << Case.Name;
    EXPECT_EQ(Own.GetConnectionCount(), 0) << Case.Name;
    for (int Fd : Fds) close(Fd);
  }
}

TEST_F(InstanceChannelTest, NoDescriptorLeftDoesNotSpinTheLoop)
{
  TLiveChild Child;
  ASSERT_TRUE(Child.Start(ChildModeCommand("no-descriptors", "")));
  ASSERT_EQ(ReadLine(Child.Out), "ready");
  std::vector<int> Fds;
  for (int I = 0; I < 3; ++I) Fds.push_back(RawConnect(Folder, Child.Pi.dwProcessId));
  const String Line = ReadLine(Child.Out);
  ASSERT_EQ(Line.rfind("wakes ", 0), 0u) << Line;
  // Level-triggered readiness that is never consumed would wake it tens of thousands of times.
  EXPECT_LT(std::stoi(Line.substr(6)), 100) << Line;
  for (int Fd : Fds)
    if (Fd >= 0) close(Fd);
}

TEST_F(InstanceChannelTest, ALongRuntimeFolderPathStillGetsAChannel)
{
  String Deep = Folder;
  while (Deep.size() < 200) {
    Deep += "/a-rather-long-folder-name";
    ASSERT_EQ(mkdir(Deep.c_str(), 0700), 0);
  }
  setenv("XDG_RUNTIME_DIR", Deep.c_str(), 1);
  {
    std::unique_ptr<TInstanceChannel> Own;
    ASSERT_NO_THROW(Own = std::make_unique<TInstanceChannel>());
    TLiveChild Child;
    ASSERT_TRUE(Child.Start(ChildModeCommand("channel", "")));
    ASSERT_EQ(ReadLine(Child.Out), "ready");
    std::vector<TRemoteWindow> App = qv::os::FindRemoteWindows("TApplication", nullptr);
    ASSERT_EQ(App.size(), 1u);
    LRESULT Result = 0;
    EXPECT_TRUE(qv::os::SendRemoteMessage(App[0], MsgQuit, 0, 0, nullptr, 0, 5000, &Result));
    EXPECT_EQ(Result, 99);
    EXPECT_EQ(WaitForSingleObject(Child.Pi.hProcess, 10000), WAIT_OBJECT_0);
  }
  setenv("XDG_RUNTIME_DIR", Folder.c_str(), 1);
}
