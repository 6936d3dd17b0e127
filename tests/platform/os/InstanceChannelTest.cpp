#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <filesystem>
#include <numeric>

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
