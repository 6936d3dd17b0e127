// What the benchmarks share: a stopwatch (Seconds); and, for the identify benchmarks (one file,
// a scanned tree), a scratch folder holding an
// mplayer.exe link in "work/", a HOME whose mplayer config mutes the audio, and a 3-second
// 320x240 clip made by ffmpeg; the identify command line the program uses; and the direct run
// the program is measured against (the same command, its output read 1,024 bytes at a time by a
// plain thread that ends the player at its first playback status line, as the program does).
// Also the identification runner as the program wires it (IdentifyRunner).
// Header-only: each benchmark program includes it once.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/MainForm.h"
#include "core/XcCreateProcess.h"
#include "core/qv_detect.h"
#include "platform/os/CommandLine.h"
#include "platform/os/Pipes.h"
#include "platform/os/Process.h"
#include "platform/os/ToolLinks.h"
#include "platform/os/Wait.h"

namespace qv::bench {

// A hidden runner owned by Form that hands its output to Feed line by line (flushed at the end),
// installed as the identification's runner.
inline TXcCreateProcess* IdentifyRunner(TForm1* Form, TDetectionLineFeed& Feed)
{
  auto* Runner = new TXcCreateProcess(Form);
  Runner->GetStartupInfo()->ShowWindow = swHide;
  Runner->GetStartupInfo()->DefaultWindowState = false;
  Runner->SetConsoleOptions({coOwnerData, coRedirect});
  Runner->SetOnRead([&Feed, Runner](TObject*, const String& Line, bool) {
    StallTicks = 0;
    Feed.Report(Line, Runner->GetOutputReader());
  });
  Runner->OnTerminate = [&Feed](TObject*, Cardinal) {
    Feed.Flush();
    ToolRunning = false;
  };
  DetectionHost() = TDetectionHost();
  DetectionHost().Runner = Runner;
  return Runner;
}

inline double Seconds(std::chrono::steady_clock::time_point Start)
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

struct TIdentifySetup {
  std::string Dir, Clip;  // Dir ends with '/'
  bool Ready = false;
  std::string Error;      // why Ready is false
};

// Makes the scratch folder /tmp/<Prefix><pid>/ with the link, the HOME and the clip, and
// removes it at exit. Leaves Ready false with a reason when mplayer or ffmpeg is missing or
// the clip cannot be made.
inline void PrepareIdentifySetup(TIdentifySetup& S, const std::string& Prefix)
{
  const char* Path = getenv("PATH");
  const String Mplayer = qv::os::FindProgramOnPath("mplayer", Path ? Path : "");
  if (Mplayer.empty() || qv::os::FindProgramOnPath("ffmpeg", Path ? Path : "").empty()) {
    S.Error = "mplayer or ffmpeg is not installed";
    return;
  }
  S.Dir = "/tmp/" + Prefix + std::to_string(getpid()) + "/";
  std::filesystem::create_directories(S.Dir + "work");
  std::filesystem::create_directories(S.Dir + "home/.mplayer");
  std::ofstream(S.Dir + "home/.mplayer/config") << "ao=null\nlirc=no\n";
  setenv("HOME", (S.Dir + "home").c_str(), 1);
  std::filesystem::create_symlink(Mplayer, S.Dir + "work/mplayer.exe");
  static std::string Folder;
  Folder = S.Dir;
  std::atexit([] { std::filesystem::remove_all(Folder); });
  S.Clip = S.Dir + "clip.avi";
  const std::string Make = "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i "
                           "sine=frequency=440:sample_rate=44100 -t 3 -c:v mpeg4 -c:a mp3 '" +
                           S.Clip + "' > /dev/null 2>&1";
  if (std::system(Make.c_str()) != 0) {
    S.Error = "ffmpeg could not make the clip";
    return;
  }
  S.Ready = true;
}

inline String IdentifyCommand(const TIdentifySetup& S, const std::string& Clip)
{
  return qv::os::QuoteCommandLinePath(S.Dir + "work/mplayer.exe") + " -af volume=-200 -vo null -identify " +
         qv::os::QuoteCommandLinePath(Clip) + " -wid 0";
}

// Runs the identify command on Clip directly; returns its wall time in seconds (0 when the
// player could not be started).
inline double RunIdentifyDirect(const TIdentifySetup& S, const std::string& Clip)
{
  HANDLE ReadEnd = nullptr, WriteEnd = nullptr;
  if (!CreatePipe(&ReadEnd, &WriteEnd, nullptr, 0)) return 0;
  STARTUPINFOA Info;
  Info.dwFlags = STARTF_USESTDHANDLES;
  Info.hStdOutput = WriteEnd;
  Info.hStdError = WriteEnd;
  PROCESS_INFORMATION Pi;
  std::string Command = IdentifyCommand(S, Clip);
  const auto Start = std::chrono::steady_clock::now();
  const BOOL Started = CreateProcessA(nullptr, Command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      (S.Dir + "work").c_str(), &Info, &Pi);
  CloseHandle(WriteEnd);
  if (!Started) {
    CloseHandle(ReadEnd);
    return 0;
  }
  std::thread Reader([&] {
    char Buffer[1024];
    DWORD N = 0;
    std::string Line;
    bool Killed = false;
    while (ReadFile(ReadEnd, Buffer, sizeof Buffer, &N, nullptr)) {
      for (DWORD I = 0; I < N && !Killed; ++I) {
        const char C = Buffer[I];
        if (C == '\n' || C == '\r') {
          Line.clear();
        } else {
          Line += C;
          if (Line == "A:" || Line == "V:") {
            TerminateProcess(Pi.hProcess, 0);
            Killed = true;
          }
        }
      }
    }
  });
  Reader.join();
  WaitForSingleObject(Pi.hProcess, INFINITE);
  const double Time = Seconds(Start);
  CloseHandle(Pi.hProcess);
  CloseHandle(Pi.hThread);
  CloseHandle(ReadEnd);
  return Time;
}

}  // namespace qv::bench
