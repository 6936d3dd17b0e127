// The shared routines that reach the system: shortcuts as desktop entries, power-off, disc
// eject, the browser, the encoder's registry key and the update check against a local server.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "MainFormTestSupport.h"
#include "core/qv_functions.h"
#include "platform/os/Power.h"
#include "platform/os/Registry.h"
#include "platform/os/Shell.h"
#include "platform/os/ShellFolders.h"
#include "platform/rtl/Thread.h"

using mainformtest::TMainFormTest;

namespace {

class SystemRoutines : public TMainFormTest {
protected:
  // An executable script in Dir that writes its arguments, one per line, to Name + ".out".
  std::string Recorder(const std::string& Name)
  {
    const std::string Path = Dir + Name;
    WriteBytes(Path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + Path + ".out'\n");
    chmod(Path.c_str(), 0755);
    return Path;
  }
  std::string WaitForFile(const std::string& Path)
  {
    for (int I = 0; I < 5000 && !std::filesystem::exists(Path); ++I) usleep(1000);
    usleep(20000);
    return ReadBytes(Path);
  }
  void TearDown() override
  {
    SetRegistryFileName("");
    SetShellOpener("");
    SetPowerCommand("systemctl");
    TMainFormTest::TearDown();
  }
};

TEST_F(SystemRoutines, ShortcutIsADesktopEntryThatResolvesToTheProgram)
{
  const std::string Autostart = Dir + "home/.config/autostart/";
  EXPECT_EQ(ShortcutFileName(CSIDL_STARTUP, "Quelvo 3"), Autostart + "Quelvo 3.desktop");
  CreateShortcut(CSIDL_STARTUP, "Quelvo 3");
  ASSERT_TRUE(std::filesystem::exists(Autostart + "Quelvo 3.desktop"));
  const std::string Entry = ReadBytes(Autostart + "Quelvo 3.desktop");
  EXPECT_NE(Entry.find("[Desktop Entry]"), std::string::npos);
  EXPECT_NE(Entry.find("Exec="), std::string::npos);
  EXPECT_EQ(ResolveShortcut(Autostart + "Quelvo 3.lnk"), Application->GetExeName());
  EXPECT_EQ(ResolveShortcut(Autostart + "Quelvo 3.LnK"), Application->GetExeName());
  DeleteShortcut(CSIDL_STARTUP, "Quelvo 3");
  EXPECT_FALSE(std::filesystem::exists(Autostart + "Quelvo 3.desktop"));
  DeleteShortcut(CSIDL_STARTUP, "Quelvo 3");  // nothing there: nothing happens
  // The Send To folder is made when missing.
  CreateShortcut(CSIDL_SENDTO, "Quelvo 3");
  EXPECT_TRUE(std::filesystem::exists(ShortcutFileName(CSIDL_SENDTO, "Quelvo 3")));

  const struct {
    std::string Path;
    const char* Expected;
  } Cases[] = {{Dir + "a.txt", "NOT a shortuct by extension!"},
               {Dir + "noext", "NOT a shortuct by extension!"},
               {Dir + "missing.lnk", ""}};
  for (const auto& C : Cases) EXPECT_EQ(ResolveShortcut(C.Path), C.Expected) << C.Path;
}

TEST_F(SystemRoutines, PowerOffGoesThroughTheServiceManager)
{
  SetPowerCommand(Recorder("systemctl"));
  ShutdownWindows("sleep");  // not a mode: nothing starts
  usleep(100000);
  EXPECT_FALSE(std::filesystem::exists(Dir + "systemctl.out"));
  ShutdownWindows("poweroff");
  EXPECT_EQ(WaitForFile(Dir + "systemctl.out"), "poweroff\n");
}

TEST_F(SystemRoutines, EjectOfSomethingThatIsNoDiscDriveEndsTheWait)
{
  for (const std::string& Path : {Dir, std::string("Y:\\"), std::string()}) {
    EjectDone = false;
    EjectDisc(Path);
    EXPECT_TRUE(EjectDone) << Path;
  }
  // The waiting eject returns at once instead of after its time limit.
  const Int64 Start = GetTickCount64();
  EjectAndWait(Dir);
  EXPECT_LT(GetTickCount64() - Start, 5000);
}

TEST_F(SystemRoutines, ForegroundWindowIsRestoredAndRaised)
{
  TForm First(nullptr), Second(nullptr);
  First.SetBounds(10, 10, 100, 100);
  Second.SetBounds(50, 50, 100, 100);
  First.Show();
  Second.Show();
  ShowWindow(First.GetHandle(), SW_MINIMIZE);
  runnertest::PumpUntil([] { return true; }, 0);
  EXPECT_TRUE(ForceForegroundWindow(First.GetHandle()));
  EXPECT_EQ(GetForegroundWindow(), First.GetHandle());
  EXPECT_FALSE(IsIconic(First.GetHandle()));
  EXPECT_TRUE(ForceForegroundWindow(First.GetHandle()));  // already there
}

TEST_F(SystemRoutines, BrowserFromTheRegistryElseTheDesktopOpener)
{
  SetRegistryFileName(Dir + "registry.ini");
  SetShellOpener(Recorder("opener"));
  OpenUrlInBrowser("http://www.example.com/help");
  EXPECT_EQ(WaitForFile(Dir + "opener.out"), "http://www.example.com/help\n");
  const std::string Browser = Recorder("browser");
  WriteBytes(Dir + "registry.ini", "[HKCR\\htmlfile\\shell\\open\\command]\n@=\"" + Browser + "\" -- \"%1\"\n");
  OpenUrlInBrowser("http://www.example.com/a b");
  EXPECT_EQ(WaitForFile(Dir + "browser.out"), "http://www.example.com/a\nb\n");
}

TEST_F(SystemRoutines, EncoderInstalledOnlyWithItsVersionValue)
{
  SetRegistryFileName(Dir + "registry.ini");
  EXPECT_FALSE(WindowsMediaEncoderInstalled());
  WriteBytes(Dir + "registry.ini", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows Media\\Encoder]\nOther=1\n");
  EXPECT_FALSE(WindowsMediaEncoderInstalled());
  WriteBytes(Dir + "registry.ini", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows Media\\Encoder]\nVersion=9.0\n");
  EXPECT_TRUE(WindowsMediaEncoderInstalled());
}

// A one-connection HTTP server on loopback: answers the first request with Reply (or stays
// silent when Reply is empty) and keeps the request text.
class TLocalServer {
public:
  explicit TLocalServer(std::string Reply) : FReply(std::move(Reply))
  {
    FSocket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in A{};
    A.sin_family = AF_INET;
    A.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(FSocket, reinterpret_cast<sockaddr*>(&A), sizeof(A));
    socklen_t L = sizeof(A);
    getsockname(FSocket, reinterpret_cast<sockaddr*>(&A), &L);
    FPort = ntohs(A.sin_port);
    listen(FSocket, 1);
    FThread = std::thread([this] {
      const int C = accept(FSocket, nullptr, nullptr);
      if (C < 0) return;
      char Buffer[4096];
      while (FRequest.find("\r\n\r\n") == std::string::npos) {
        const ssize_t N = read(C, Buffer, sizeof(Buffer));
        if (N <= 0) break;
        FRequest.append(Buffer, static_cast<size_t>(N));
      }
      if (!FReply.empty()) {
        [[maybe_unused]] ssize_t W = write(C, FReply.data(), FReply.size());
      } else {
        while (!FStop) usleep(1000);
      }
      close(C);
    });
  }
  ~TLocalServer()
  {
    FStop = true;
    shutdown(FSocket, SHUT_RDWR);
    close(FSocket);
    FThread.join();
  }
  String Address() const { return "http://127.0.0.1:" + std::to_string(FPort); }
  std::string FRequest;

private:
  std::string FReply;
  int FSocket = -1;
  int FPort = 0;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

std::string Answer(const std::string& Body)
{
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(Body.size()) + "\r\n\r\n" + Body;
}

class UpdateCheck : public SystemRoutines {
protected:
  struct TAsked {
    std::string Caption, Text;
    bool YesNo;
  };
  std::vector<TAsked> Asked;
  std::vector<std::string> Captions;

  void SetUp() override
  {
    SystemRoutines::SetUp();
    SetUpdateAskProc([this](const String& Caption, const String& Text, bool YesNo) {
      Asked.push_back({Caption, Text, YesNo});
      return static_cast<int>(mrNo);
    });
    WindowTitle = "Quelvo 3";
    BuildTag = "Build 3.83.1";
  }
  void TearDown() override
  {
    SetUpdateAskProc(nullptr);
    SetUpdateSite(TUpdateSite());
    SystemRoutines::TearDown();
  }
  void Run(const String& Address, Cardinal ReadTimeoutMs = 5000)
  {
    TUpdateSite Site;
    Site.Name = "test site";
    Site.Address = Address;
    Site.ReadTimeoutMs = ReadTimeoutMs;
    SetUpdateSite(Site);
    CheckForUpdate();
    Captions.push_back(Form->GetCaption());
    CheckForUpdate();  // a second start while one runs does nothing
    for (int I = 0; I < 2000 && UpdateCheckRunning(); ++I) CheckSynchronize(5);
    ASSERT_FALSE(UpdateCheckRunning());
    Captions.push_back(Form->GetCaption());
  }
};

TEST_F(UpdateCheck, SameVersionShowsTheLatestVersionMessage)
{
  TLocalServer Server(Answer("Build 3.83.1\r\nFixed the crop.\r\n"));
  Run(Server.Address());
  EXPECT_NE(Server.FRequest.find("GET /qv3v.txt HTTP/1.1\r\n"), std::string::npos) << Server.FRequest;
  EXPECT_NE(Server.FRequest.find("User-Agent: Mozilla/3.0 (compatible; Indy Library)"), std::string::npos);
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].Caption, "Quelvo 3");
  EXPECT_EQ(Asked[0].Text, "You are using the latest version of Quelvo 3\r\rBuild 3.83.1\r\nFixed the crop.\r\n");
  EXPECT_FALSE(Asked[0].YesNo);
  EXPECT_EQ(Captions, (std::vector<std::string>{"Connecting to test site", "Quelvo 3"}));
  EXPECT_EQ(Form->v->GetLines()->Get(0), "Build 3.83.1");
}

TEST_F(UpdateCheck, NewVersionAsksWithTheWholeFile)
{
  TLocalServer Server(Answer("Build 3.90.0\r\nNew presets.\r\n"));
  Run(Server.Address());
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].Caption, "Version Build 3.90.0 availiable");
  EXPECT_EQ(Asked[0].Text, "Current: Build 3.83.1\r\rNew: Build 3.90.0\r\nNew presets.\r\n\r\rDownload?\r");
  EXPECT_TRUE(Asked[0].YesNo);
  EXPECT_EQ(Captions.back(), "Quelvo 3");
}

TEST_F(UpdateCheck, FailuresShowOnlyInTheCaption)
{
  {
    // A server that never answers: the read time-out ends the check.
    TLocalServer Silent("");
    Run(Silent.Address(), 300);
    EXPECT_EQ(Captions.back(), "Can not make a connection with test site");
  }
  {
    TLocalServer Missing("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    Run(Missing.Address());
    EXPECT_EQ(Captions.back(), "Can not make a connection with test site");
  }
  Run("http://127.0.0.1:1");  // refused
  EXPECT_EQ(Captions.back(), "Can not make a connection with test site");
  EXPECT_TRUE(Asked.empty());
}

TEST_F(UpdateCheck, AnOversizedAnswerIsAFailure)
{
  // Far more than a version file announced: the body is not read at all.
  TLocalServer Huge("HTTP/1.1 200 OK\r\nContent-Length: 200000\r\n\r\nBuild 3.90.0\r\n");
  Run(Huge.Address());
  EXPECT_EQ(Captions.back(), "Can not make a connection with test site");
  EXPECT_TRUE(Asked.empty());
}

}  // namespace
