#include "core/RunControl.h"

#include <cstdio>
#include <deque>

#include "core/qv_cmdline.h"
#include "core/qv_convert.h"
#include "core/qv_detect.h"
#include "core/qv_scan.h"
#include "core/qv_functions.h"
#include "platform/os/Process.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SyncObjs.h"

TConversionOptions ConversionOptions;
TRunHooks RunHooks;
String StatusText;
String ApplicationTitle;
Cardinal LastToolExitCode = 0;
bool ToolKilledByWatchdog = false;

namespace {

std::deque<String>& Tail()
{
  static std::deque<String> Lines;
  return Lines;
}

// Lines that say why a tool gave up, kept apart from the plain tail.
std::deque<String>& ErrorLines()
{
  static std::deque<String> Lines;
  return Lines;
}

bool SaysWhy(const String& R)
{
  for (const char* Word : {"rror", "annot", "not supported", "nknown", "xiting", "ailed", "nvalid", "No such", "not found",
                           "Unrecognized", "Permission denied"})
    if (TextContains(R, Word)) return true;
  return false;
}

bool IsProgressLine(const String& R)
{
  return (TextContains(R, "os:") && TextContains(R, "Trem:")) || (TextContains(R, "time=") && TextContains(R, "size=")) ||
         (TextContains(R, "ncoded:") && TextContains(R, "Elapsed"));
}

// "up to the character before the first Marker" (nothing when Marker is absent).
String UpTo(const String& S, const String& Marker)
{
  const auto At = S.find(Marker);
  return At == String::npos ? String() : S.substr(0, At);
}

bool ValidReal(const String& P)
{
  if (P.empty()) return false;
  char* End = nullptr;
  std::strtod(P.c_str(), &End);
  return End && *End == '\0';
}

// The identify output of the runs outside a conversion, handed to RunHooks.IdentifyLine line by
// line; the end of a run hands over an unfinished last line.
TDetectionLineFeed& IdentifyFeed()
{
  static TDetectionLineFeed Feed([](const String& Line) {
    if (RunHooks.IdentifyLine) RunHooks.IdentifyLine(Line);
  });
  return Feed;
}

void LogTick()
{
  ++StallTicks;
  if (StallTicks > 1) AppendLog("Bad count:" + IntToStr(StallTicks));
}

}  // namespace

String LastToolOutputTail()
{
  String Out;
  for (const String& L : ErrorLines().empty() ? Tail() : ErrorLines()) Out += (Out.empty() ? "" : " | ") + L;
  return Out;
}

void ClearToolOutputTail()
{
  Tail().clear();
  ErrorLines().clear();
}

void SetStatus(const String& Text)
{
  StatusText = Text;
  if (RunHooks.ShowStatus) RunHooks.ShowStatus(Text);
}

void SetApplicationTitle(const String& Title)
{
  ApplicationTitle = Title;
  if (RunHooks.ShowAppTitle) RunHooks.ShowAppTitle(Title);
}

void AppendLog(const String& Line)
{
  if (Form1) Form1->log->GetLines()->Add(Line);
}

static void ShowButtons(bool Go, bool Skip, bool Stop)
{
  if (RunHooks.ShowButtons) RunHooks.ShowButtons(Go, Skip, Stop);
}

void InstallRunControl()
{
  TXcCreateProcess* P = Form1->XcCreateProcess1;
  P->SetOnRead([P](TObject*, const String& S, bool) { XcCreateProcess1Read(S, P->GetOutputReader()); });
  P->OnTerminate = [](TObject*, Cardinal Code) { XcCreateProcess1Terminate(Code); };
  Form1->converttimer->SetOnTimer([](TObject*) { ConvertTimerTick(); });
  Form1->detecttimer1->SetOnTimer([](TObject*) { DetectTimerTick(); });
  Form1->croptimer->SetOnTimer([](TObject*) { CropTimerTick(); });
}

void XcCreateProcess1Read(const String& S, const TXcReader* Reader)
{
  ToolRunning = true;
  StallTicks = 0;
  const String R = Trim(S);
  if (!R.empty() && !TextContains(" " + R, "ID_VIDEO_ID")) {
    if ((TextContains(R, "END OF CELL !!!") || TextContains(R, "angle_seek")) && Form1->detecttimer1->GetEnabled()) {
      ToolStalled = true;
      KillPlayers();
    }
    if (Form1->log->GetVisible()) AppendLog(R);
    if (TextContains(" " + R, "ID_DVD_TITLES")) DvdTitleCount = Trim(ReplaceFirst(R, "ID_DVD_TITLES=", ""));
    if (TextContains(R, "LENGTH") && TextContains(" " + R, "DVD_TITLE_")) {
      Form1->skip2->SetVisible(true);
      const int LenAt = Pos("LENGTH", R);
      const String L = Trim(Copy(R, 1, LenAt - 2));
      const int Count = static_cast<int>(L.size()) - Pos("TITLE", L) - 5;
      const String N = Trim(Count > 0 ? L.substr(L.size() - Count) : String());
      if (!CurrentDvdName.empty()) SetStatus("Found : " + CurrentDvdName + " (" + N + " of " + DvdTitleCount + ")");
    }
    if (!IsProgressLine(R)) {
      Tail().push_back(R);
      if (Tail().size() > 6) Tail().pop_front();
      if (SaysWhy(R) && ErrorLines().size() < 6) ErrorLines().push_back(R);
    }
  }
  if (TextContains(R, "os:")) ProgressSeen = "X";
  if (!Converting) {
    IdentifyFeed().Report(S, Reader);
    return;
  }
  if (TextContains(" " + S, "Invalid MAK")) TivoMak.clear();
  if (!ProgressLine.empty()) return;
  if (IsProgressLine(R)) ProgressLine = R;
}

void XcCreateProcess1Terminate(Cardinal ExitCode)
{
  LastToolExitCode = ExitCode;
  IdentifyFeed().Flush();
  // Go stays hidden while a run goes on: its side tools end many times before the run does.
  ShowButtons(!GoBusy, false, false);
  Form1->skip2->SetVisible(false);
  ToolRunning = false;
}

bool StartTool(const String& Line)
{
  TXcCreateProcess* P = Form1->XcCreateProcess1;
  P->SetCommandLine(Line);
  Form1->Edit1->SetText(Line);
  ToolKilledByWatchdog = false;
  LastToolExitCode = 0;
  ClearToolOutputTail();
  // A progress line the last tool left behind is not this tool's progress.
  ProgressLine.clear();
  ToolRunning = true;
  try {
    P->StartProcess();
  } catch (const std::exception& E) {
    ToolRunning = false;
    LastToolExitCode = 0xFFFFFFFF;
    Tail().push_back(String("cannot start the tool: ") + E.what());
    AppendLog(String("cannot start the tool: ") + E.what());
    return false;
  }
  return true;
}

void InterruptTool()
{
  const DWORD Pid = Form1->XcCreateProcess1->GetProcessInformation().dwProcessId;
  if (Pid != 0) GenerateConsoleCtrlEvent(CTRL_C_EVENT, Pid);
}

void KillRunningTool()
{
  try {
    Form1->XcCreateProcess1->KillProcess();
  } catch (const std::exception&) {
    // Nothing runs: nothing to kill.
  }
}

void GoClick()
{
  // One run at a time: a Go while a run goes on would rebuild the job list under it.
  if (GoBusy) return;
  GoBusy = true;
  if (!ConversionOptions.BeforeCommand.empty() && RunHooks.ShellOpen) RunHooks.ShellOpen(ConversionOptions.BeforeCommand, "open");
  StartConversion();
  if (!ConversionOptions.AfterCommand.empty() && RunHooks.ShellOpen) RunHooks.ShellOpen(ConversionOptions.AfterCommand, "open");
  Converting = false;
  if (Form1->ListBox1->GetItems()->GetCount() > 0) {
    Form1->ScanTimer->SetEnabled(true);
  } else if (!StopRequested && !SkipRequested) {
    // The shut-down sequence runs (settings and state are saved), not a bare end of the loop.
    if (ConversionOptions.SelfExit && RunHooks.EndApplication) RunHooks.EndApplication();
    if (ConversionOptions.ShutdownComputer && RunHooks.PowerOff) RunHooks.PowerOff();
  }
  if (!SkipRequested && ConversionOptions.ConvertAutomatically) Form1->ScanTimer->SetEnabled(true);
  GoBusy = false;
}

void SkipClick()
{
  SkipRequested = true;
  // "Convert automatically" is unticked: the box, and through its link everything that reads it.
  ConversionOptions.ConvertAutomatically = false;
  ScanHost().ConvertAutomatically = false;
  if (Form1) Form1->checkbox2->SetChecked(false);
  InterruptTool();
}

void StopClick()
{
  for (int C : {49, 50, 51}) Form1->StringGrid1->SetColWidths(C, 0);
  StopRequested = true;
  if (ToolRunning) {
    InterruptTool();
    Sleep(900);
    KillRunningTool();
  }
}

void Skip2Click() { KillPlayers(); }

void DetectTimerTick()
{
  LogTick();
  if (StallTicks > 10) {
    ToolStalled = true;
    KillPlayers();
    AppendLog("killed");
  }
}

void CropTimerTick()
{
  LogTick();
  if (StallTicks > 10) {
    ToolStalled = true;
    KillRunningTool();
    AppendLog("killed");
  }
}

void ConvertTimerTick()
{
  LogTick();
  const String Cmd = Form1->XcCreateProcess1->GetCommandLine();
  if (!TextContains(Cmd, "cscript.exe")) {
    if (StallTicks > 10 && !ToolStalled && ProgressSeen.empty()) {
      ToolStalled = true;
      ToolKilledByWatchdog = true;
      KillRunningTool();
      AppendLog("killed");
    }
    // A DVD title may pause on a slow disc after its progress began, so it gets the longer
    // silence; it never waits for ever.
    if (StallTicks > (TextContains(Cmd, "dvd-device") ? DvdStallTicks : 10)) {
      Form1->progressbar1->SetValue(0);
      ToolKilledByWatchdog = true;  // the job it ends reads "Failed"
      KillRunningTool();
    }
  } else if (StallTicks > 10) {
    SetStatus("This can take a while..");
  }
  if (ProgressLine.empty()) return;
  ShowButtons(false, true, true);
  GetLine(ProgressLine);
  ProgressLine.clear();
  TskSkinGauge* G = Form1->progressbar1;
  if (G->GetMaxValue() < 1) G->SetMaxValue(1);
  const int Value = G->GetValue(), Max = G->GetMaxValue();
  SpeedStats.GaugeSum += Value - SpeedStats.LastGauge;
  SpeedStats.Samples += 1;
  SpeedStats.LastGauge = Value;
  double Speed = 0;
  if (SpeedStats.GaugeSum > 0 && SpeedStats.Samples > 0) Speed = double(SpeedStats.GaugeSum) / SpeedStats.Samples;
  const double Percent = 100.0 / Max * Value;
  if (Speed != 0) {
    const double Left = double(Round((Max - Value) / Speed));
    const double Total = double(Round((SpeedStats.SecondsLeft - Value) / Speed));
    SpeedText = Format("%3.2f", Speed) + "x";
    SetStatus(SecondsToHMS(Value) + " of " + SecondsToHMS(Max) + ", " + Format("%3.2f", Speed) + "x, " +
              Format("%3.2f", Percent) + "%, " + SecondsToHMS(Left) + " left, total: " + SecondsToHMS(Total) + " left");
  }
  SetApplicationTitle(ProgressTitlePrefix + Format("%3.2f", Percent) + "% (" + Format("%3.2f", Speed) + "x)");
}

// "hh:mm:ss[.ff]" (the position today's ffmpeg prints) as seconds; other texts unchanged.
static String ClockAsSeconds(const String& P)
{
  int H = 0, M = 0;
  char Rest[32] = {};
  int Used = 0;
  if (P.size() >= sizeof Rest || std::sscanf(P.c_str(), "%d:%d:%31s%n", &H, &M, Rest, &Used) != 3 ||
      Used != static_cast<int>(P.size()) || H < 0 || M < 0 || M > 59 || P[0] == '-' || !ValidReal(Rest) || Rest[0] == '-')
    return P;
  return Format("%.2f", H * 3600 + M * 60 + std::strtod(Rest, nullptr));
}

bool ParseProgressPosition(const String& Line, int& Seconds)
{
  bool Found = false;
  auto Take = [&](String P) {
    P = ClockAsSeconds(ReplaceFirst(P, ",", "."));
    P = Trim(ReplaceFirst(P, "Wos:", ""));
    if (P.empty() || P.size() > 7) return;
    StrToFloatSafe(P);
    // A position before the start ("time=-006.", a clock gone wrong) or past any film
    // ("8e010s") is no progress.
    if (!ValidReal(P) || StrToFloatSafe(P) < 0 || StrToFloatSafe(P) > 1e7) return;
    Seconds = static_cast<int>(Round(StrToFloatSafe(P)));
    Found = true;
  };
  if (TextContains(Line, "os:") && TextContains(Line, "Trem:")) Take(UpTo(Trim(ReplaceFirst(Line, "Pos:", "")), "s "));
  if (TextContains(Line, "time=") && TextContains(Line, "size=")) {
    String P = Trim(UpTo(Line, "bitrate"));
    const auto At = P.find("time=");
    P = At == String::npos ? String() : P.substr(At);
    Take(Trim(ReplaceFirst(P, "time=", "")));
  }
  if (TextContains(Line, "ncoded:") && TextContains(Line, "Elapsed")) {
    String P = Trim(ReplaceFirst(Line, "Encoded:", ""));
    P = Trim(ReplaceFirst(P, "Encoded:", ""));
    Take(UpTo(P, "s "));
  }
  return Found;
}

void GetLine(const String& Line)
{
  int Seconds = 0;
  if (ParseProgressPosition(Line, Seconds)) Form1->progressbar1->SetValue(Seconds);
}

void PriorityChange()
{
  static const DWORD Classes[] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS, REALTIME_PRIORITY_CLASS};
  const int I = ConversionOptions.PriorityIndex;
  if (I < 0 || I > 3) return;
  HANDLE H = Form1->XcCreateProcess1->GetProcessInformation().hProcess;
  if (H) SetPriorityClass(H, Classes[I]);
}
