#include "core/qv_convert.h"

#include <map>
#include <stdexcept>
#include <sys/stat.h>

#include "core/RunControl.h"
#include "core/SourceRecognition.h"
#include "core/SourceRow.h"
#include "core/ToolOutputValues.h"
#include "core/qv_cmdline.h"
#include "core/qv_functions.h"
#include "core/qv_joblist.h"
#include "platform/os/CommandLine.h"
#include "platform/os/Drives.h"
#include "platform/os/FileUse.h"
#include "platform/os/PathRules.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Paths.h"

TJobTexts JobTexts;

namespace {

std::map<int, String>& FailureReasons()
{
  static std::map<int, String> Reasons;
  return Reasons;
}

// A job that cannot go on; the driver marks it "Failed" with the reason.
struct EJobFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

TskSkinStringGrid* Jobs() { return Form1->convertgrid; }
String J(int Col, int Row) { return Jobs()->GetCells(Col, Row); }
void SetJ(int Col, int Row, const String& Text) { Jobs()->SetCells(Col, Row, Text); }
String Src(int Col, int Row) { return Form1->StringGrid1->GetCells(Col, Row); }
String TimeText() { return FormatDateTime("hh:nn:ss", Now()) + "  "; }
bool Has(const String& S, const String& P) { return TextContains(S, P); }

int WholeNumber(const String& Text, const char* What)
{
  const String T = Trim(Text);
  char* End = nullptr;
  const long V = std::strtol(T.c_str(), &End, 10);
  if (T.empty() || *End != '\0') throw EJobFailed(String("no number in ") + What + ": \"" + Text + "\"");
  return static_cast<int>(V);
}

int WholeOrZero(const String& Text)
{
  const String T = Trim(Text);
  char* End = nullptr;
  const long V = std::strtol(T.c_str(), &End, 10);
  return *End == '\0' ? static_cast<int>(V) : 0;
}

// The job's source row (job column 58), checked.
int SourceRowOf(int R)
{
  const int S = WholeNumber(J(jcSourceRow, R), "the source row");
  if (S < 1 || S >= Form1->StringGrid1->GetRowCount()) throw EJobFailed("the job's source row is gone");
  return S;
}

// The last device-queue row whose cleaned name is Title (and, when NeedRate, whose rate is set).
int DeviceRowOf(const String& Title, bool NeedRate)
{
  int Found = -1;
  for (int D = 1; D < Form1->dq->GetRowCount(); ++D)
    if (CleanTitle(Form1->dq->GetCells(DeviceNameCol, D)) == Title &&
        (!NeedRate || !Form1->dq->GetCells(DeviceFrameRateCol, D).empty()))
      Found = D;
  return Found;
}

bool ToMpegDevice(int R) { return Has(LowerCase(" " + J(jcDevice, R)), "to mpeg") && Has(J(jcOptions, R), "mpeg2video"); }

String ShortReal(double V)
{
  String S = Format("%.6f", V);
  while (!S.empty() && S.back() == '0') S.pop_back();
  if (!S.empty() && S.back() == '.') S.pop_back();
  return S;
}

bool FileNonEmpty(const String& Path)
{
  struct stat St{};
  return stat(Path.c_str(), &St) == 0 && S_ISREG(St.st_mode) && St.st_size > 0;
}

TStartEditOptions EditOptions(int R, int S)
{
  TStartEditOptions O;
  O.NicerSubtitles = ConversionOptions.NicerSubtitles;
  O.FirstPassOfPair = J(jcNumber, R) == "Pass1";
  O.FasterBuild = HastekitPresent && ConversionOptions.EnableHastekit;
  O.CoreCount = ConversionOptions.CoreCount;
  O.SourceKind = Src(scType, S);
  O.SourceFrameRate = Src(scFrameRate, S).empty() ? String() : CheckedToolRate(Src(scFrameRate, S), "-fps");
  O.FfmpegAddon = FfmpegAddonPresent;
  return O;
}

// Whether a file the job would write is one it reads: its source, or its single input file.
bool IsJobInput(int R, int S, const String& File)
{
  if (SameFileOnDisk(File, Src(scSourcePath, S))) return true;
  const std::vector<String> Args = qv::os::SplitCommandLine(J(jcInput, R));
  return Args.size() == 1 && SameFileOnDisk(File, Args[0]);
}

// The folder of job row R's intermediate files: "Inbetween File" beside the device folders when
// the output folder is a device's own subfolder, else the output folder itself. Built from the
// folder's parts, so a destination that holds the device's name elsewhere is left alone.
String InbetweenFolder(int R)
{
  const String Folder = J(jcOutFolder, R);
  const String Device = "/" + J(jcDeviceTitle, R) + "/";
  const bool DeviceSubfolders = !NoDeviceSubfolder && Form1->dq->GetRowCount() >= 3;
  if (!DeviceSubfolders || J(jcDeviceTitle, R).empty() || Folder.size() < Device.size() ||
      Folder.compare(Folder.size() - Device.size(), Device.size(), Device) != 0)
    return Folder;
  return Folder.substr(0, Folder.size() - Device.size() + 1) + "Inbetween File/";
}

// Whether the output base Name is taken: a file of one of the job's PartCount parts exists, or
// would be one of the job's inputs.
bool OutputNameTaken(int R, int S, const String& Name, int PartCount)
{
  TPartLineInputs In;
  In.Tool = J(jcTool, R);
  In.Extension = J(jcExtension, R);
  In.OutFolder = J(jcOutFolder, R);
  In.OutName = Name;
  In.PartCount = PartCount;
  for (int K = 1; K <= PartCount; ++K) {
    In.PartNumber = K;
    // An "mp4x" job ends as c7 c8 [k] ".mp4".
    const String File = In.Extension == "mp4x" ? In.OutFolder + Name + (PartCount > 1 ? IntToStr(K) : String()) + ".mp4"
                                               : PartOutputFile(In);
    if (FileExists(File) || IsJobInput(R, S, File)) return true;
  }
  return false;
}

// The job's output base (column 8) when it is free, else the first free numbered form
// (Name(1) .. Name(99)); every part's file is free under it. No free name fails the job.
String FreeOutputName(int R, int S, int PartCount)
{
  const String Name = J(jcOutName, R);
  if (!OutputNameTaken(R, S, Name, PartCount)) return Name;
  for (int N = 1; N <= 99; ++N) {
    const String Numbered = Name + "(" + IntToStr(N) + ")";
    if (!OutputNameTaken(R, S, Numbered, PartCount)) return Numbered;
  }
  throw EJobFailed("no free output name for \"" + Name + "\" in \"" + J(jcOutFolder, R) + "\"");
}

// The options of part K of a split two-pass job: every part keeps its own first-pass log
// ("name01.txt", ...), as the second pass of a part reads the log of that part's first pass.
String PartLogFile(const String& Options, int K)
{
  const auto Flag = Options.find("-passlogfile ");
  if (Flag == String::npos) return Options;
  const auto Txt = Options.find(".txt\"", Flag);
  if (Txt == String::npos) return Options;
  String Out = Options;
  Out.insert(Txt, Format("%2.2d", K));
  return Out;
}

void ResetSpeedStats(int R)
{
  TskSkinGauge* G = Form1->progressbar1;
  G->SetMaxValue(static_cast<int>(Round(StrToFloatSafe(J(jcSeconds, R)))));
  G->SetValue(0);
  PlaybackMode = true;
  BatchRunning = true;
  SpeedStats = TSpeedStats();
  for (int Later = R; Later < Jobs()->GetRowCount(); ++Later)
    SpeedStats.SecondsLeft += static_cast<int>(Round(StrToFloatSafe(J(jcSeconds, Later))));
}

// Starts Line under the conversion watchdog and waits; once more after a silent first start.
void RunWatched(String Line, int R, const TStartEditOptions& O, bool Inbetween)
{
  if (!StartTool(Line)) return;
  SetStatus("Conversion started");
  if (!Inbetween) PriorityChange();
  Form1->converttimer->SetEnabled(true);
  WaitForTool();
  Form1->progressbar1->SetValue(0);
  if (ToolStalled && !StopRequested && !SkipRequested) {
    SetStatus("Possible DVD issue, restarted conversion");
    SetJ(jcStatus, R, "Restarted " + TimeText());
    ToolRunning = true;
    SpeedStats.LastGauge = SpeedStats.GaugeSum = SpeedStats.Samples = 0;
    if (Inbetween) SpeedStats.SecondsLeft = 0;
    ProgressSeen.clear();
    // A second silence of the restarted tool is a stall of its own: the watchdog kills it and
    // the part fails (no further restart).
    ToolStalled = false;
    Form1->progressbar1->SetValue(0);
    Converting = true;
    Line = Inbetween ? ApplyInbetweenRestartEdits(Line, O) : ApplyRestartEdits(Line, O);
    StallTicks = 0;
    if (StartTool(Line)) {
      PriorityChange();
      Form1->converttimer->SetEnabled(true);
      WaitForTool();
    }
    Form1->progressbar1->SetValue(0);
  }
  Form1->converttimer->SetEnabled(false);
  Form1->progressbar1->SetValue(0);
}

// Runs one part; whether the tool ended as expected (exit code 0, not killed, started).
bool RunPart(const String& BaseLine, int K, int N, int R, int S)
{
  const TStartEditOptions O = EditOptions(R, S);
  ResetSpeedStats(R);
  ProgressTitlePrefix = IntToStr(R) + " of " + IntToStr(Jobs()->GetRowCount() - 1) + " : ";
  ToolRunning = true;
  if (N > 1) {
    const String Part = "part " + IntToStr(K) + " of " + IntToStr(N);
    SetJ(jcEndTime, R, Part);
    SetJ(jcFinished, R, Part);
  }
  SetJ(jcState, R, "Converting");
  SetJ(jcStatus, R, "Converting");
  if (RunHooks.ShowButtons) RunHooks.ShowButtons(false, true, true);
  Form1->progressbar1->SetValue(0);
  Converting = true;
  StallTicks = 0;
  ToolStalled = false;
  SpeedStats.LastGauge = 0;
  ProgressSeen.clear();
  SpeedText.clear();
  ToolRunning = false;
  RunWatched(ApplyStartEdits(BaseLine, O), R, O, false);
  return LastToolExitCode == 0 && !ToolKilledByWatchdog;
}

// Why the last tool run did not end as expected, with the tool's own last words.
String FailedRunReason()
{
  String Reason = ToolKilledByWatchdog ? String("stopped by the watchdog: the tool stalled")
                                       : "the tool ended with code " + IntToStr(LastToolExitCode);
  const String Tail = LastToolOutputTail();
  if (!Tail.empty()) Reason += ": " + Tail;
  return Reason;
}

// A tool that runs out of space has written every block that fitted: what is left on the volume
// is less than one more write. Below this the output folder's disk counts as full.
constexpr ULONGLONG FullDiskSlack = 1024 * 1024;

// The reason of a failed job, led by the full disk when the output folder's volume has (almost)
// no space left for this user: the folder is named and the tool's own words follow. A folder
// that could not be made is asked through its nearest existing parent ("/" only separates).
// Unchanged when there is room or no volume can be asked.
String WithFullDiskReason(const String& Folder, const String& Reason)
{
  ULARGE_INTEGER Available{};
  if (Folder.empty()) return Reason;
  String Probe = Folder;
  while (!GetDiskFreeSpaceExA(Probe.c_str(), &Available, nullptr, nullptr)) {
    while (Probe.size() > 1 && Probe.back() == '/') Probe.pop_back();
    const auto Slash = Probe.find_last_of('/');
    if (Slash == String::npos || Probe == "/") return Reason;
    Probe.erase(Slash == 0 ? 1 : Slash);
  }
  if (Available.QuadPart >= FullDiskSlack) return Reason;
  return "the disk is full: \"" + Folder + "\": " + SysErrorMessage(ERROR_DISK_FULL) + " (" + Reason + ")";
}

void FailJob(int R, const String& Reason)
{
  FailureReasons()[R] = Reason;
  AppendLog("Failed: " + J(jcFileName, R) + ": " + Reason);
}

void FinishJob(int R, int S, bool Ran, const std::vector<String>& Outputs, String Reason, bool NeverFails)
{
  SetJ(jcEndTime, R, TimeText());
  SetJ(jcFinished, R, TimeText());
  bool Failed = !Ran;
  if (!Failed)
    for (const String& F : Outputs)
      if (!FileNonEmpty(F)) {
        Failed = true;
        if (Reason.empty()) {
          Reason = "no output was written: " + F;
          if (!LastToolOutputTail().empty()) Reason += ": " + LastToolOutputTail();
        }
      }
  if (NeverFails) Failed = false;
  String State = "Finished (" + SpeedText + ")", Shown = State;
  if (Failed) State = Shown = "Failed";
  if (SkipRequested) State = Shown = "Skipped";
  if (StopRequested) {
    State = "Stopped (" + SpeedText + ")";
    Shown = "Stopped";
  }
  SetJ(jcState, R, State);
  SetJ(jcStatus, R, Shown);
  if (Failed && !SkipRequested && !StopRequested)
    FailJob(R, WithFullDiskReason(J(jcOutFolder, R), Reason.empty() ? String("the tool ended without output") : Reason));
  if (!Failed && !SkipRequested && !StopRequested) {
    if (J(jcExtension, R) == "mp4x") SetJ(jcExtension, R, "mp4");
    const String Folder = J(jcOutFolder, R);
    TStrings* Items = Form1->playlist->GetItems();
    Items->Clear();
    if (FileExists(Folder + "playlist.m3u")) Items->LoadFromFile(Folder + "playlist.m3u");
    for (const String& F : Outputs)
      if (F.find_first_of("\r\n") != String::npos)
        AppendLog("Left out of playlist.m3u (a playlist line cannot hold a line break): " + F);
      else if (NotInList(F, Items))
        Items->Add(F);
    try {
      Form1->playlist->SaveToFile(Folder + "playlist.m3u");
    } catch (const std::exception& E) {
      AppendLog(String("playlist not written: ") + E.what());
    }
    if (S > 0) Form1->StringGrid1->SetCells(scConvert, S, "Done");
    if (RunHooks.AddToHistory) RunHooks.AddToHistory(R);
    if (Has(J(jcDeviceTitle, R), "laystat") && RunHooks.MakeOutputThumbnail) RunHooks.MakeOutputThumbnail(R);
  } else if (S > 0) {
    Form1->StringGrid1->SetCells(scConvert, S, "No");
  }
  SetStatus(SkipRequested ? String() : StopRequested ? String("Stopped") : String("Conversions completed"));
}

void RunJob(int R)
{
  if (J(jcVideoCodec, R).empty() && JobBuildFault(R).empty()) return;
  // Skip ends the job it was pressed in, whichever of its steps was running; the second pass of
  // a skipped first pass is skipped with it.
  SkipRequested = J(jcNumber, R) == "Pass2" && R > 1 && J(jcNumber, R - 1) == "Pass1" && J(jcStatus, R - 1) == "Skipped";
  Jobs()->SetRow(R);
  SetJ(jcStartTime, R, TimeText());
  SetJ(jcStarted, R, TimeText());
  for (int C : {jcState, jcEndTime, jcStatus, jcFinished}) SetJ(C, R, "");
  SpeedText.clear();
  int S = 0;
  std::vector<String> Outputs;
  bool Ran = true;
  String Reason;
  bool NeverFails = false;
  try {
    if (!JobBuildFault(R).empty()) throw EJobFailed(JobBuildFault(R));
    S = SourceRowOf(R);
    bool Encode = true;
    if (IsTivoInput(J(jcInput, R)) && !StopRequested && !SkipRequested) {
      Encode = false;
      SetJ(jcState, R, "Converting");
      SetJ(jcStatus, R, "Converting");
      if (!ConvertTivoToMpeg(R)) throw EJobFailed("the TiVo key was not given");
    }
    if (!Has(J(jcOptions, R), "mpeg2video")) {
      Encode = true;
      if (!ConversionOptions.NoCropping && !StopRequested && !SkipRequested && !Has(LowerCase(J(jcInput, R)), "mp3") &&
          RunHooks.AutoDetectCrop)
        RunHooks.AutoDetectCrop(R);
    }
    PrepareJobTexts(R);
    if (!Encode) {
      NeverFails = true;
      if (ToMpegDevice(R)) Form1->StringGrid1->SetCells(scConvert, S, "Done");
    } else {
      const int N = Form1->splitbox->GetItems()->GetCount();
      for (int K = 1; K <= N && !SkipRequested; ++K) {
        ResetSpeedStats(R);
        TJobTexts& T = JobTexts;
        if (!Has(T.CropFilterText, "-vf") && (!T.CropFilterText.empty() || !T.FilterChain.empty()))
          T.CropFilterText = " -vf " + T.CropFilterText;
        if (N == 1) ShowDriveFreeSpace(J(jcOutFolder, R));
        TPartLineInputs In;
        In.Tool = J(jcTool, R);
        In.Options = N > 1 ? PartLogFile(J(jcOptions, R), K) : J(jcOptions, R);
        In.Extension = J(jcExtension, R);
        In.InputOptions = J(jcInputOptions, R);
        In.Input = J(jcInput, R);
        In.OutFolder = J(jcOutFolder, R);
        In.OutName = J(jcOutName, R);
        In.PartText = Form1->splitbox->GetItems()->Get(K - 1);
        In.PartNumber = K;
        In.PartCount = N;
        In.MencoderRateOption = T.MencoderRateOption;
        In.FilterChain = T.FilterChain;
        In.CropFilterText = T.CropFilterText;
        In.WmeOptionText = T.WmeOptionText;
        In.FfmpegOptionText = T.FfmpegOptionText;
        if (In.Tool != "mencoder") {
          String Input = N > 1 ? ReplaceFirstInOptions(In.Input, "dvdnav:", "dvd:", false) : In.Input;
          const String Base = In.OutFolder + In.OutName + (N > 1 ? Format("%2.2d", K) : String());
          In.TranscodeInput = MakeInbetweenFile(Input, In.PartText, Base, S, R);
          if (N == 1 && Has(In.PartText, "chapter"))
            In.TranscodeInput = ReplaceFirstInOptions(In.TranscodeInput, "dvdnav:", "dvd:", false);
        }
        In.ClipOptionsText = T.ClipOptionsText;
        In.CropOptionsText = T.CropOptionsText;
        const String Line = BuildPartCommandLine(In);
        if (!StopRequested && !SkipRequested) {
          if (!RunPart(Line, K, N, R, S)) {
            Ran = false;
            Reason = FailedRunReason();
          }
          if (!ConversionOptions.Destination.empty()) ShowDriveFreeSpace(ConversionOptions.Destination);
        }
        String Output = PartOutputFile(In);
        if (In.Extension == "mp4x") {
          SetJ(jcOutName, R, CleanTitle(J(jcOutName, R)));
          if (FileExists(In.OutFolder + J(jcOutName, R) + ".mp4"))
            SetJ(jcOutName, R, UniqueFileName(In.OutFolder, J(jcOutName, R), ".mp4"));
          SetJ(jcFileName, R, NativeFileName(J(jcOutName, R)) + "." + In.Extension);
          Output = In.OutFolder + J(jcOutName, R) + (N > 1 ? IntToStr(K) : String()) + ".mp4";
          if (!StopRequested) CompatibilityFix(PartOutputFile(In), Output, R);
        }
        // The first pass of a pair writes no output of its own worth checking.
        if (J(jcNumber, R) != "Pass1") Outputs.push_back(Output);
        if (ConversionOptions.EjectWhenDone && IsDriveRoot(J(jcSourcePath, R))) {
          EjectDone = false;
          bool Later = false;
          for (int L = R + 1; L < Jobs()->GetRowCount(); ++L) Later = Later || J(jcSourcePath, L) == J(jcSourcePath, R);
          if (K == N && !Later && !StopRequested && !SkipRequested) EjectAndWait(J(jcSourcePath, R));
        }
        if (SkipRequested || StopRequested) break;
      }
    }
  } catch (const std::exception& E) {
    Ran = false;
    Reason = E.what();
    ToolRunning = false;
    Form1->converttimer->SetEnabled(false);
  }
  FinishJob(R, S, Ran, Outputs, Reason, NeverFails);
}

}  // namespace

String JobFailureReason(int JobRow)
{
  const auto It = FailureReasons().find(JobRow);
  return It == FailureReasons().end() ? String() : It->second;
}

void PrepareJobTexts(int R)
{
  TJobTexts T;
  const int S = SourceRowOf(R);
  T.W = WholeNumber(!J(47, R).empty() ? J(47, R) : J(53, R), "the picture width");
  T.H = WholeNumber(!J(48, R).empty() ? J(48, R) : J(54, R), "the picture height");
  const int DispW = WholeOrZero(J(53, R)), DispH = WholeOrZero(J(54, R));
  const int StoredW = WholeOrZero(J(jcStoredWidth, R)), StoredH = WholeOrZero(J(jcStoredHeight, R));
  if (DispW != T.W && StoredW > 0) T.W = static_cast<int>(Round(double(DispW) / StoredW * T.W / 16) * 16);
  if (DispH != T.H && StoredH > 0) T.H = static_cast<int>(Round(double(DispH) / StoredH * T.H / 16) * 16);
  const String Screen = J(jcScreen, R);
  const auto X = Screen.find('x');
  if (X == String::npos) throw EJobFailed("no screen size: \"" + Screen + "\"");
  T.DevW = WholeNumber(Screen.substr(0, X), "the screen width");
  T.DevH = WholeNumber(Screen.substr(X + 1), "the screen height");
  if (T.W <= 0 || T.H <= 0 || T.DevW <= 0 || T.DevH <= 0) throw EJobFailed("the picture or screen size is zero");
  T.Hout = static_cast<int>(double(T.DevW) / T.W * T.H);
  T.Wout = T.DevW;
  if (T.Hout > T.DevH) {
    T.Wout = static_cast<int>(double(T.DevH) / T.H * T.W);
    T.Hout = T.DevH;
  }
  T.Wout = (T.Wout + 15) / 16 * 16;
  T.Hout = (T.Hout + 15) / 16 * 16;
  if (T.Wout > 0.95 * T.DevW) T.Wout = T.DevW;
  if (T.Hout > 0.95 * T.DevH) T.Hout = T.DevH;
  for (int C : {jcBrightness, jcContrast})
    if (J(C, R).empty()) SetJ(C, R, "0");
  if (!(J(jcBrightness, R) == "0" && J(jcContrast, R) == "0")) T.FilterChain = "eq=" + J(jcBrightness, R) + ":" + J(jcContrast, R);
  if (Has(J(jcOptions, R), "noscale")) {
    SetJ(jcOptions, R, ReplaceFirst(J(jcOptions, R), "noscale", ""));
    T.NoScale = true;
  }
  if (T.W > T.Wout || T.H > T.Hout) T.NoScale = false;
  const String Size = T.NoScale ? IntToStr(T.W) + ":" + IntToStr(T.H) : IntToStr(T.Wout) + ":" + IntToStr(T.Hout);
  const String Expand = "scale=" + Size + ",expand=" + IntToStr(T.DevW) + ":" + IntToStr(T.DevH) + ",";
  if (ToMpegDevice(R) || ConversionOptions.BlackBars)
    T.FilterChain = Expand + T.FilterChain;
  else if (ConversionOptions.FullscreenStretch)
    T.FilterChain = "scale=" + (T.NoScale ? Size : IntToStr(T.DevW) + ":" + IntToStr(T.DevH)) + "," + T.FilterChain;
  else
    T.FilterChain = "scale=" + Size + "," + T.FilterChain;
  if (!T.NoScale) {
    T.WmeOptionText += " -v_width " + IntToStr(T.Wout) + " -v_height " + IntToStr(T.Hout);
    T.FfmpegOptionText += " -s " + IntToStr(T.Wout) + "x" + IntToStr(T.Hout);
  }
  SetJ(jcOutputSize, R, T.NoScale ? IntToStr(T.W) + " x " + IntToStr(T.H) : IntToStr(T.Wout) + " x " + IntToStr(T.Hout));
  SetJ(jcShownSize, R, J(jcOutputSize, R));

  const int RateRow = DeviceRowOf(J(jcDeviceTitle, R), true);
  const double DevRate = RateRow > 0 ? StrToFloatSafe(Form1->dq->GetCells(DeviceFrameRateCol, RateRow)) : 0;
  const double SrcRate = StrToFloatSafe(Src(scFrameRate, S));
  double Out = std::min(DevRate, SrcRate);
  Out = std::min(std::max(Out, 5.0), 30.0);
  T.OutputFrameRateText = ShortReal(Out);
  if (!Has(J(jcOptions, R), "fps")) {
    const int LimitRow = DeviceRowOf(J(jcDeviceTitle, R), false);
    int Limit = 0;
    if (LimitRow > 0 && Form1->dq->GetCells(DeviceSpeedLimitSwitchCol, LimitRow) == "Yes")
      Limit = WholeOrZero(Form1->dq->GetCells(DeviceSpeedLimitCol, LimitRow));
    String Rate;
    if (Limit == 0) {
      if (DevRate < SrcRate) Rate = T.OutputFrameRateText;
    } else {
      Int64 Rating = Round(double(Limit) / T.Wout / T.Hout);
      if (Rating > SrcRate) Rating = static_cast<Int64>(SrcRate);
      if (Rating < 2) Rating = 2;
      Rate = IntToStr(Rating);
    }
    if (!Rate.empty()) {
      T.MencoderRateOption = " -ofps " + Rate;
      T.WmeOptionText += " -v_framerate " + Rate;
      T.FfmpegOptionText += " -r " + Rate;
    }
  }
  T.FilterChain = "harddup," + T.FilterChain;

  TStrings* Parts = Form1->splitbox->GetItems();
  Parts->Clear();
  const bool StartAt = Src(scStartAtChapter, S) == "Yes", Split = Src(scSplitParts, S) == "Yes";
  int First = WholeOrZero(Src(scFirstChapter, S)), Last = WholeOrZero(Src(scLastChapter, S));
  const int Per = std::max(1, WholeOrZero(Src(scChaptersPerPart, S)));  // below 1 would never end
  if (StartAt && !Split) {
    Parts->Add(" -chapter " + IntToStr(First) + "-" + IntToStr(Last) + " ");
  } else if (Split) {
    if (!StartAt) {
      First = 1;
      Last = WholeOrZero(Src(scChapters, S));
    }
    First = std::max(First, 1);
    for (int K = First; Last >= 1 && K <= Last;) {
      const int E = std::min(K + Per - 1, Last);
      Parts->Add(" -chapter " + IntToStr(K) + "-" + IntToStr(E) + " ");
      K = E + 1;
    }
  }
  if (Parts->GetCount() == 0) {
    String Part = " ";
    if (!ConversionOptions.ConvertOnly) {
      const String Start = Src(scTrimStart, S).empty() ? String("0") : Src(scTrimStart, S);
      if (Start != "0") {
        Part += " -ss " + Start;
        T.FfmpegOptionText += " -ss " + Start;
        T.WmeOptionText += " -time " + Start + "000";
      } else {
        T.WmeOptionText += " -time 0";
      }
      if (Src(scTrimEnd, S) != Src(scLength, S)) {
        const String D = IntToStr(Round(StrToFloatSafe(Src(scTrimEnd, S))) - Round(StrToFloatSafe(Start)));
        Part += " -endpos " + D;
        T.FfmpegOptionText += " -t " + D;
        T.WmeOptionText += " " + Src(scTrimEnd, S) + "000";
      } else {
        T.WmeOptionText += " end";
        // The "dvdnav://" form reads on past the end of its title (into the menus and the next
        // titles): the title's own length ends the part.
        const double Title = StrToFloatSafe(Src(scLength, S)) - StrToFloatSafe(Start);
        if (Has(J(jcInput, R), "dvdnav:") && Title > 0) Part += " -endpos " + ShortReal(Title);
      }
    } else {
      const String N = IntToStr(Round(60 * ConversionOptions.LimitMinutes));
      Part += " -ss 0 -endpos " + N;
      T.WmeOptionText += " -time 0 " + N + "000";
      T.FfmpegOptionText += " -ss 0 -t " + N;
    }
    Parts->Add(Part);
  }
  // The folder first, then a free name in it.
  if (Parts->GetCount() == 1 && Src(scType, S) == "VIDEO" && ConversionOptions.SourceFolderOutput)
    SetJ(jcOutFolder, R, ExtractFilePath(Src(scSourcePath, S)));
  const String Ext = J(jcExtension, R);
  if (J(jcNumber, R) == "Pass1" || !Has(J(jcOptions, R), "pass")) {
    const String Name = FreeOutputName(R, S, Parts->GetCount());
    if (Name != J(jcOutName, R)) {
      SetJ(jcOutName, R, Name);
      // Both passes write the one file the first pass chose.
      if (J(jcNumber, R) == "Pass1" && R + 1 < Jobs()->GetRowCount() && J(jcNumber, R + 1) == "Pass2")
        SetJ(jcOutName, R + 1, J(jcOutName, R));
    }
  }
  SetJ(jcFileName, R, NativeFileName(J(jcOutName, R)) + "." + Ext);
  if (R + 1 < Jobs()->GetRowCount() && J(jcNumber, R + 1) == "Pass2" && J(jcNumber, R) == "Pass1")
    SetJ(jcFileName, R + 1, J(jcFileName, R));
  T.CropFilterText = J(scCropFilter, R).empty() ? String() : J(scCropFilter, R) + ",";
  T.ClipOptionsText = J(scClipArgs, R);
  T.CropOptionsText = J(scCropArgs, R);
  JobTexts = T;
}

bool ConvertTivoToMpeg(int R)
{
  Form1->progressbar1->SetValue(0);
  WaitForTool();
  const String Input = J(jcInput, R);
  const String Folder = InbetweenFolder(R);
  CreateDir(Folder);
  String Name = CleanTitle(J(jcOutName, R));
  SetStatus("Changing TiVo file to Standard MPEG format");
  SetJ(jcState, R, "tivo>mpeg");
  // One full path for the decoder and for the jobs.
  if (FileExists(Folder + Name + ".mpg")) Name = UniqueFileName(Folder, Name, ".mpg");
  const String Output = Folder + Name + ".mpg";
  for (;;) {
    if (StopRequested) return false;
    if (RunHooks.ShowButtons) RunHooks.ShowButtons(false, true, true);
    Form1->progressbar1->SetValue(Form1->progressbar1->GetMaxValue() / 2);
    if (!StartTool(TivoCommandLine(TivoMak, Output, Input)))
      throw EJobFailed("the TiVo decoder \"tivo.exe\" is missing from the work folder or cannot be started");
    WaitForTool();
    if (!TivoMak.empty()) break;
    String Key;
    // Cancel abandons the decode (the job fails) instead of asking for ever.
    if (!AskText("Incorrect Tivo number", "Please try again", Key) || Key.empty()) return false;
    TivoMak = Key;
  }
  if (StopRequested) return false;
  if (!FileExists(Output)) {
    const String Tail = LastToolOutputTail();
    throw EJobFailed("the TiVo decoder wrote no MPEG file" + (Tail.empty() ? String() : ": " + Tail));
  }
  const String Quoted = qv::os::QuoteCommandLinePath(Output);
  for (int Other = 1; Other < Jobs()->GetRowCount(); ++Other)
    if (J(jcInput, Other) == Input) SetJ(jcInput, Other, Quoted);
  SetJ(jcInput, R, Quoted);
  SetJ(jcOutName, R, Name);
  Form1->progressbar1->SetValue(Form1->progressbar1->GetMaxValue());
  return LastToolExitCode == 0 && FileNonEmpty(Output);
}

String MakeInbetweenFile(const String& Input, const String& PartText, const String& OutputBase, int S, int R)
{
  const String Tool = J(jcTool, R);
  Form1->tempmemo->GetLines()->SetText(Src(scAudioTracks, S));
  const bool Needed = (Tool == "wmencoder" && !IsWmvSourceExtension(Trim(ReplaceFirst(ReplaceFirst(Src(scInputArgs, S), "\"", ""), "\"", "")))) ||
                      (Tool == "ffmpeg" && (Form1->tempmemo->GetLines()->GetCount() > 1 || Has(Src(scInputArgs, S), "dvd-device")));
  const String OutFolder = J(jcOutFolder, R);
  String Base = OutputBase.compare(0, OutFolder.size(), OutFolder) == 0
                    ? InbetweenFolder(R) + OutputBase.substr(OutFolder.size())
                    : ReplaceFirst(OutputBase, J(jcDeviceTitle, R), "Inbetween File");
  // Without a device folder the intermediate AVI would be the job's own AVI output, or (in the
  // source's folder) the source itself, read and written by the same run: it goes into an
  // "Inbetween File" folder of the output folder then.
  if (LowerCase(Base + ".avi") == LowerCase(OutputBase + "." + J(jcExtension, R)) || IsJobInput(R, S, Base + ".avi"))
    Base = ExtractFilePath(Base) + "Inbetween File/" + ExtractFileName(Base);
  CreateDir(ExtractFilePath(Base));
  if (!Needed) return Input;
  SetJ(jcState, R, "inbetweenfile");
  SetJ(jcStatus, R, "inbetweenfile");
  const int D = DeviceRowOf(J(jcDeviceTitle, R), false);
  int Volume = D > 0 ? WholeOrZero(Form1->dq->GetCells(DeviceVolumeCol, D)) : 0;
  if (LowerCase(Src(scAudioCodec, S)) == "a52") Volume += 5;
  String Options = "-ovc lavc -oac mp3lame -lameopts cbr -lavcopts vcodec=msmpeg4 -ffourcc mp43 -af volume=$vol ";
  const String SourceRate = Src(scFrameRate, S).empty() ? String() : CheckedToolRate(Src(scFrameRate, S), "-ofps");
  if (!SourceRate.empty()) Options += "-ofps " + SourceRate;
  Options = Trim(ReplaceFirst(Options, "$vol", IntToStr(Volume)));
  auto Option = [](const char* Name, const String& Value) { return Value.empty() ? String() : " " + String(Name) + " " + Value; };
  if (AspectGiven(Src(scAspect, S)) && !Has(J(jcOptions, R), "aspect"))
    Options += Option("-aspect", CheckedToolRate(Src(scAspect, S), "-aspect"));
  auto Id = [](const String& C, const char* Name) {
    if (Trim(C).size() == 3) return CheckedToolId(C, Name);
    const auto B = C.find(' ');
    return CheckedToolId(B == String::npos ? C : C.substr(0, B + 1), Name);
  };
  if (!Src(scAudioChoice, S).empty()) Options += Option("-aid", Id(Src(scAudioChoice, S), "-aid"));
  if (Src(scSubtitlesOn, S) != "YES") {
    Options += " -noautosub -forcedsubsonly";
  } else {
    const String Choice = Src(scSubtitleChoice, S);
    if (!Choice.empty() && !Has(Choice, "ile")) Options += Option("-sid", Id(Choice, "-sid"));
    const String Tracks = Src(scSubtitleTracks, S);
    const auto At = Tracks.find("SRT File:");
    if (At != String::npos) {
      const auto LineStart = Tracks.rfind('\n', At);
      auto LineEnd = Tracks.find('\n', At);
      if (LineEnd == String::npos) LineEnd = Tracks.size();
      const size_t From = LineStart == String::npos ? 0 : LineStart + 1;
      const String Line = Tracks.substr(From, LineEnd - From);
      Options += " -sub " + qv::os::QuoteCommandLinePath(Trim(ReplaceFirst(Line, "SRT File:", "")));
    }
  }
  if (Src(scAngleChosen, S) == "Yes") Options += Option("-angle", CheckedToolId(Src(scAngleNumber, S), "-angle"));
  const String CropFilter = Has(JobTexts.CropFilterText, "-vf") ? JobTexts.CropFilterText : " -vf " + JobTexts.CropFilterText;
  String Line = InbetweenCommandLine(Input, PartText, CropFilter, Options, Base);
  Form1->Edit1->SetText(Line);
  if (StopRequested) return Input;
  ToolRunning = true;
  if (RunHooks.ShowButtons) RunHooks.ShowButtons(false, true, true);
  ResetSpeedStats(R);
  ProgressTitlePrefix = IntToStr(R) + " of " + IntToStr(Jobs()->GetRowCount() - 1) + " : ";
  Converting = true;
  TStartEditOptions O = EditOptions(R, S);
  if (O.FasterBuild && Has(LowerCase(Line), "mencoder.exe")) Line = ReplaceFirst(Line, "mencoder.exe", "mencoder2.exe");
  if (O.SourceKind == "VIDEO*") Line = ApplyStartEdits(Line, [&] {
      TStartEditOptions Only;
      Only.SourceKind = "VIDEO*";
      return Only;
    }());
  Form1->XcCreateProcess1->SetCurrentDirectory(WorkFolder);
  StallTicks = 0;
  ToolStalled = false;
  ToolRunning = false;
  RunWatched(Line, R, O, true);
  Form1->XcCreateProcess1->SetCurrentDirectory("");
  SetStatus("");
  // Only a whole intermediate file goes on to the encoder: a skipped, stopped, failed or killed
  // run ends the job here (the driver reads Skip and Stop before the failure).
  const String Made = Base + ".avi";
  if (SkipRequested || StopRequested) throw EJobFailed("the intermediate file was not finished");
  if (LastToolExitCode != 0 || ToolKilledByWatchdog) throw EJobFailed("the intermediate file was not made: " + FailedRunReason());
  if (!FileNonEmpty(Made)) {
    String Reason = "the intermediate file was not made: no output was written: " + Made;
    if (!LastToolOutputTail().empty()) Reason += ": " + LastToolOutputTail();
    throw EJobFailed(Reason);
  }
  JobTexts.ClipOptionsText.clear();
  JobTexts.CropOptionsText.clear();
  return qv::os::QuoteCommandLinePath(Made);
}

void CompatibilityFix(const String& TemporaryFile, const String& FinalFile, int R)
{
  WaitForTool();
  if (J(jcNumber, R) == "Pass1") return;
  SetJ(jcState, R, "Compatibility Fix");
  if (FileExists(FinalFile)) DeleteFile(FinalFile);
  SetStatus("Modifying file to increase compatibility.");
  if (StartTool(CompatibilityFixCommandLine(TemporaryFile, FinalFile))) WaitForTool();
  SetJ(jcState, R, "Done");
  DeleteFile(TemporaryFile);
}

void StartConversion()
{
  GoBusy = true;
  UiSync = false;
  if (BatchRunning) WaitForTool();
  if (PlaybackMode && ToolRunning) KillRunningTool();
  WaitForTool();
  // The preview window closes: its seek bar, picture and crop controls would act on the
  // encoders.
  if (TForm* Preview = FindProgramForm("Form2")) Preview->Close();
  Converting = true;
  StopRequested = false;
  FailureReasons().clear();
  try {
    BuildJobList(ConversionOptions.PerDevice, ConversionOptions.PerSelection);
    bool Wme = false;
    for (int R = 1; R < Jobs()->GetRowCount(); ++R) Wme = Wme || J(jcTool, R) == "wmencoder";
    // The Windows Media jobs run through the script host of the work folder; without it (and
    // without the encoder) they cannot run, and the message says so.
    if (Wme && !WindowsMediaEncoderInstalled() && !FileExists(WorkFolder + "qvcscript.exe")) {
      if (RunHooks.MessageBox)
        RunHooks.MessageBox("Windows Media Encoder 9 not found\rand is required for the selected conversion\rThe Windows "
                            "Media jobs of this run will fail");
      if (RunHooks.ShowWmvInfo) RunHooks.ShowWmvInfo();
    }
    const int Last = Jobs()->GetRowCount() - 1;
    if (J(jcNumber, 1).empty()) {
      SetStatus("Nothing to convert");
      AppendLog("Nothing to convert: no queued device, or no source marked \"Yes\" that could be read");
    }
    for (int R = 1; R <= Last; ++R)
      for (int C : {jcOutputSize, jcStartTime, jcState, jcEndTime, jcStatus, jcStarted, jcFinished}) SetJ(C, R, "");
    for (int R = 1; R <= Last; ++R) RunJob(R);
  } catch (const std::exception& E) {
    AppendLog(String("conversion ended: ") + E.what());
  }
  if (!StopRequested && ConversionOptions.OpenFolderWhenDone && !ConversionOptions.SourceFolderOutput && RunHooks.ShellOpen)
    RunHooks.ShellOpen(ConversionOptions.Destination, "explore");
  if (RunHooks.ShowButtons) RunHooks.ShowButtons(true, false, false);
  Form1->converttimer->SetEnabled(false);
  Converting = false;
  BatchRunning = false;
  UiSync = true;
  Form1->progressbar1->SetValue(0);
  SetApplicationTitle(WindowTitle);
  GoBusy = false;
  if (RunHooks.ScanTimerTick) RunHooks.ScanTimerTick();
}
