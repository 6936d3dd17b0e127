#include "core/qv_joblist.h"

#include <map>

#include "core/CodecPresets.h"
#include "core/DeviceNumbers.h"
#include "core/DeviceProfiles.h"
#include "core/SourceRecognition.h"
#include "core/SourceRow.h"
#include "core/ToolOutputValues.h"
#include "core/qv_functions.h"
#include "platform/os/CommandLine.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Paths.h"
#include "platform/vcl/Dialogs.h"

TDeviceJobSettings DeviceJobSettings;
bool ClosedCaptionsEnabled = false;

namespace {

TAskTextProc& AskTextSlot()
{
  static TAskTextProc Proc;
  return Proc;
}

bool Has(const String& S, const String& Part) { return S.find(Part) != String::npos; }

// First occurrence replaced, result trimmed (the builder's substitution rule).
String Sub(const String& S, const String& Old, const String& New) { return Trim(StringReplace(S, Old, New)); }

// The track id of a track description: the whole text when it is three characters long after
// trimming, else the text up to and including its first blank.
String TrackId(const String& Choice)
{
  if (Trim(Choice).size() == 3) return Choice;
  const auto Blank = Choice.find(' ');
  return Blank == String::npos ? Choice : Choice.substr(0, Blank + 1);
}

// The side file named by the track line that holds Marker ("SRT File:"), marker removed and
// trimmed; "" when no line holds it.
String SideFile(const String& TrackLines, const String& Marker)
{
  size_t Start = 0;
  while (Start <= TrackLines.size()) {
    size_t End = TrackLines.find('\n', Start);
    if (End == String::npos) End = TrackLines.size();
    const String Line = TrackLines.substr(Start, End - Start);
    const auto At = Line.find(Marker);
    if (At != String::npos) return Trim(Line.substr(0, At) + Line.substr(At + Marker.size()));
    Start = End + 1;
  }
  return "";
}

String SubtitleFontPath() { return qv::os::QuoteCommandLinePath(SubPath(WorkFolder, "mplayer/subfont.ttf")); }

TskSkinStringGrid* Dq() { return Form1->dq; }

std::map<int, String>& BuildFaults()
{
  static std::map<int, String> Faults;
  return Faults;
}

}  // namespace

void SetAskTextProc(TAskTextProc Proc) { AskTextSlot() = std::move(Proc); }

bool AskText(const String& Caption, const String& Prompt, String& Value)
{
  if (AskTextSlot()) return AskTextSlot()(Caption, Prompt, Value);
  return InputQuery(Caption, Prompt, Value);
}

String WmeAudioSetting(const String& AudioKbps)
{
  static const char* const Table[][2] = {
      {"16", "16_16_"},   {"32", "20_22_"},   {"48", "32_44_"},   {"64", "48_44_"},
      {"80", "64_44_"},   {"96", "80_44_"},   {"112", "96_48_"},  {"128", "128_44_"},
      {"144", "128_44_"}, {"160", "160_44_"}, {"176", "160_44_"}, {"192", "192_44_"},
  };
  for (const auto& Row : Table)
    if (AudioKbps == Row[0]) return Row[1];
  return "64_44_";
}

String SubstitutePresetOptions(const String& Tool, const String& Template,
                               const std::function<String(int Col)>& DeviceCell)
{
  String S = Template;
  for (int I = 0; I < 3; ++I) S = Sub(S, "$vbr", DeviceCell(DeviceVideoRateCol));
  const String Passes = DeviceCell(DevicePassesCol);
  if (Tool == "mencoder") {
    S = Sub(S, "$abr", DeviceCell(DeviceAudioRateCol));
    S = Sub(S, "$ac", DeviceCell(DeviceChannelsCol));
    S = Sub(S, "$vol", DeviceCell(DeviceVolumeCol));
    if (Passes != "2") {
      S = Sub(S, "$vm1:", "");
    } else {
      if (Has(S, "x264enc")) S = Sub(S, "$vm1:", "pass=1:");
      if (Has(S, "xvidenc")) S = Sub(S, "$vm1:", "pass=1:");
      if (!Has(S, "x264enc")) S = Sub(S, "$vm1:", "vpass=1:turbo:");
    }
  } else if (Tool == "wmencoder") {
    S = Sub(S, "$vm3", Passes == "2" ? "3" : "0");
    S = Sub(S, "$abr", WmeAudioSetting(DeviceCell(DeviceAudioRateCol)) + (DeviceCell(DeviceChannelsCol) == "2" ? "2" : "1"));
  } else if (Tool == "ffmpeg") {
    S = Sub(S, "$abr", DeviceCell(DeviceAudioRateCol));
    S = Sub(S, "$ac", DeviceCell(DeviceChannelsCol));
    if (Passes == "2")
      S = Sub(S, "$vm2", "-pass 1");
    else
      S = Sub(S, "$vm1:", "");
  }
  if (DeviceCell(DeviceAllowUpscalingCol) != "Yes") S = "noscale" + S;
  return S;
}

void PrepareDeviceSettings(int DeviceRow)
{
  TskSkinStringGrid* G = Dq();
  auto Raw = [&](int Col) { return G->GetCells(Col, DeviceRow); };
  // Numeric cells reach the tools as the numbers they hold, never as their text.
  auto Cell = [&](int Col) {
    const String Text = Raw(Col);
    int Value = 0;
    for (int N : DeviceNumberColumns())
      if (N == Col) return ReadWholeNumber(Text, Value) ? IntToStr(Value) : String();
    return Text;
  };
  const String Folder = IncludeTrailingPathDelimiter(Cell(DeviceFolderCol));
  if (Folder != Cell(DeviceFolderCol)) G->SetCells(DeviceFolderCol, DeviceRow, Folder);

  TDeviceJobSettings& D = DeviceJobSettings;
  D.DeviceTitle = CleanTitle(Cell(DeviceNameCol));
  D.DeviceScreen = Cell(DeviceSizeCol);
  D.DeviceOutputFolder = Folder;
  D.DeviceBrightness = Cell(DeviceBrightnessCol);
  D.DeviceContrast = Cell(DeviceContrastCol);

  TStringGrid* Presets = Form1->codecgrid;
  int Match = 0;
  for (int R = 0; R < Presets->GetRowCount(); ++R)
    if (Presets->GetCells(CodecIdCol, R) == Cell(DevicePresetCol)) Match = R;
  D.PresetTool = Presets->GetCells(CodecToolCol, Match);
  D.PresetExtension = Presets->GetCells(CodecExtensionCol, Match);
  D.Fault = DeviceNumberFault(DeviceRow, Raw);
  D.PresetOptions = D.Fault.empty() ? SubstitutePresetOptions(D.PresetTool, Presets->GetCells(CodecOptionsCol, Match), Cell) : String();
}

String JobBuildFault(int JobRow)
{
  const auto It = BuildFaults().find(JobRow);
  return It == BuildFaults().end() ? String() : It->second;
}

void AddConversionJob(int SourceRow)
{
  TskSkinStringGrid* Src = Form1->StringGrid1;
  TskSkinStringGrid* Jobs = Form1->convertgrid;
  auto S = [&](int Col) { return Src->GetCells(Col, SourceRow); };
  if (!SourceWantsConversion(S(scConvert)) || S(scWidth).empty()) return;

  const TDeviceJobSettings& D = DeviceJobSettings;
  int R = Jobs->GetRowCount() - 1;
  if (!Jobs->GetCells(jcNumber, R).empty()) {
    Jobs->SetRowCount(R + 2);
    R = Jobs->GetRowCount() - 1;
  }
  auto J = [&](int Col, const String& Text) { Jobs->SetCells(Col, R, Text); };
  // A device row with a faulty number builds a row that only names the job and the fault.
  BuildFaults().erase(R);
  if (!D.Fault.empty()) BuildFaults()[R] = D.Fault;
  for (int C = 0; C < JobListColCount; ++C) J(C, C < SourceRowColCount ? S(C) : String());

  J(jcStoredWidth, S(scWidth));
  J(jcStoredHeight, S(scHeight));
  J(jcBrightness, D.DeviceBrightness);
  J(jcContrast, D.DeviceContrast);

  if (IsTivoInput(S(scInputArgs)) && TivoMak.empty()) {
    String Key;
    if (!AskText("Tivo conversion, information required", "Please enter your Tivo account number", Key)) Key.clear();
    TivoMak = Key;
  }

  String Options = D.PresetOptions;
  if (Has(Options, "pass="))
    Options += " -passlogfile " + qv::os::QuoteCommandLinePath(SubPath(WorkFolder, "temp/") + ExtractFileName(S(scOutputName)) + ".txt");
  if (Has(Options, "-ofps ") && Round(StrToFloatSafe(S(scFrameRate))) < 29)
    Options = StringReplace(Options, "30000/1001", "24000/1001");

  J(jcNumber, SourceRowNumberText(R));
  J(jcTool, D.PresetTool);
  J(jcOptions, Options);
  J(jcExtension, D.PresetExtension);
  J(jcSourceRow, IntToStr(SourceRow));

  const bool RawAudio = Has(LowerCase(Options), "rawaudio");
  String Extra;
  // Values identification read from the tools' output go on only in their own form.
  auto Option = [&](const char* Name, const String& Value) { return Value.empty() ? String() : " " + String(Name) + " " + Value; };
  if (AspectGiven(S(scAspect)) && !Has(Options, "aspect") && !RawAudio) Extra += Option("-aspect", CheckedToolRate(S(scAspect), "-aspect"));
  if (!S(scAudioChoice).empty()) Extra += Option("-aid", CheckedToolId(TrackId(S(scAudioChoice)), "-aid"));
  if (!RawAudio) {
    if (S(scSubtitlesOn) != "YES") {
      Extra += " -noautosub -forcedsubsonly";
    } else {
      const String Choice = S(scSubtitleChoice);
      const String Sid = !Has(Choice, "ile") && !Choice.empty() ? CheckedToolId(TrackId(Choice), "-sid") : String();
      if (!Sid.empty()) Extra += " -sid " + Sid + " -subfont-autoscale 1 -spuaa 4 -font " + SubtitleFontPath();
      // Only the side file's own line, and only with subtitles on (the whole track list would
      // reach the tool as one argument otherwise).
      const String Srt = SideFile(S(scSubtitleTracks), "SRT File:");
      if (!Srt.empty())
        Extra += " -sub " + qv::os::QuoteCommandLinePath(Srt) + " -subfont-autoscale 1 -spuaa 4 -font " + SubtitleFontPath();
      const String Vob = SideFile(S(scSubtitleTracks), "SUB File:");
      if (!Vob.empty()) Extra += " -vobsub " + qv::os::QuoteCommandLinePath(Vob);
    }
    if (ClosedCaptionsEnabled) Extra += " -subcc -subfont-autoscale 1 -spuaa 4";
  }
  if (S(scAngleChosen) == "Yes") Extra += Option("-angle", CheckedToolId(S(scAngleNumber), "-angle"));

  J(jcInputOptions, Extra);
  J(jcInput, S(scInputArgs));
  String OutFolder = D.DeviceOutputFolder;
  if (!NoDeviceSubfolder && Dq()->GetRowCount() >= 3) OutFolder += D.DeviceTitle + "/";
  J(jcOutFolder, OutFolder);
  // The folder is made for a job that will write into it (so no empty device folders), also
  // without device subfolders.
  if (!DirectoryExists(OutFolder)) {
    ForceDirectories(OutFolder);
    if (!DirectoryExists(OutFolder)) ShowMessage("Cannot create create output folder");
  }
  J(jcOutName, S(scOutputName));
  J(jcDeviceTitle, D.DeviceTitle);
  J(jcDevice, UpperCase(D.DeviceTitle));
  J(jcFileName, S(scOutputName) + "." + D.PresetExtension);
  J(jcSeconds, S(scConvertSeconds));
  J(jcScreen, D.DeviceScreen);
  J(jcLengthText, SecondsToHMS(StrToFloatSafe(S(scConvertSeconds))));

  if (Has(Options, "pass")) {
    Jobs->SetRowCount(R + 2);
    for (int C = 0; C < JobListColCount; ++C) Jobs->SetCells(C, R + 1, Jobs->GetCells(C, R));
    Jobs->SetCells(jcNumber, R, "Pass1");
    Jobs->SetCells(jcNumber, R + 1, "Pass2");
    String Second = Jobs->GetCells(jcOptions, R + 1);
    if (Has(Second, "pass=")) {
      if (Has(Second, "x264enc"))
        Second = Sub(Second, "pass=1", "pass=2");
      else
        Second = Sub(Second, "vpass=1:turbo:", "vpass=2:");
    }
    if (Has(Second, "-pass")) Second = Sub(Second, "-pass 1", "-pass 2");
    Second = Sub(Second, "pass=1", "pass=2");
    Jobs->SetCells(jcOptions, R + 1, Second);
  }
}

void BuildJobList(bool PerDevice, bool PerSelection)
{
  ClearGridRows(Form1->convertgrid);
  BuildFaults().clear();
  const int Devices = Form1->dq->GetRowCount();
  const int Sources = Form1->StringGrid1->GetRowCount();
  // The blank row of an empty device queue is no device.
  auto Queued = [](int D) { return !Form1->dq->GetCells(DeviceNameCol, D).empty(); };
  if (PerDevice)
    for (int D = 1; D < Devices; ++D)
      for (int S = 1; S < Sources && Queued(D); ++S) {
        PrepareDeviceSettings(D);
        AddConversionJob(S);
      }
  if (PerSelection)
    for (int S = 1; S < Sources; ++S)
      for (int D = 1; D < Devices; ++D) {
        if (!Queued(D)) continue;
        PrepareDeviceSettings(D);
        AddConversionJob(S);
      }
}
