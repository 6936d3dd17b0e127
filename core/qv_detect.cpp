#include "core/qv_detect.h"

#include "core/DetectText.h"
#include "core/DetectionWatchdog.h"
#include "core/FfmpegStreamLine.h"
#include "core/MainForm.h"
#include "core/SourceRow.h"
#include "core/ToolProcesses.h"
#include "core/XcCreateProcess.h"
#include "core/qv_functions.h"
#include "platform/os/CommandLine.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/Paths.h"

using namespace detecttext;

TDetectionHost& DetectionHost()
{
  static TDetectionHost Host;
  return Host;
}

namespace {

void Status(const String& Text) { DetectionStatus(Text); }

TStrings* Lines(TMemo* Memo) { return Memo->GetLines(); }

// The row identification writes to, or nullptr's equivalent (false) when there is none.
bool DetectRowValid()
{
  return Form1 && DetectRow >= 1 && DetectRow < Form1->StringGrid1->GetRowCount();
}

void SetCell(int Col, const String& Text)
{
  if (DetectRowValid()) Form1->StringGrid1->SetCells(Col, DetectRow, Text);
}

String Cell(int Col) { return DetectRowValid() ? Form1->StringGrid1->GetCells(Col, DetectRow) : String(); }

// Width and height from the first word after ">" of a video-output line, with the defaults
// 320 and 240 for an empty side; false when the word is 4 characters or shorter.
bool OutputSize(const String& Line, String& Width, String& Height)
{
  const String Word = FirstWord(After(Line, ">"));
  if (Word.size() <= 4) return false;
  Width = Before(Word, "x");
  Height = After(Word, "x");
  if (!Has(Word, "x")) Height = Word;
  if (Width.empty()) Width = "320";
  if (Height.empty()) Height = "240";
  return true;
}

void PreviewPicture(const String& Line)
{
  String W, H;
  if (!OutputSize(Line, W, H)) return;
  PreviewSourceWidth = StrToIntDef(W, 0);
  PreviewSourceHeight = StrToIntDef(H, 0);
  if (DetectionHost().PlacePreviewPicture) DetectionHost().PlacePreviewPicture(PreviewSourceWidth, PreviewSourceHeight);
}

void NullOutputSize(const String& Line)
{
  String W, H;
  if (!OutputSize(Line, W, H)) return;
  if (DetectMode == "video") {
    SetCell(scDisplayWidth, W);
    SetCell(scDisplayHeight, H);
  } else if (DetectMode == "dvd") {
    Lines(Form1->dvdlog)->Add("ID_VIDEO2_WIDTH=" + W);
    Lines(Form1->dvdlog)->Add("ID_VIDEO2_HEIGHT=" + H);
  }
}

void AddToDvdLog(const String& W)
{
  TStrings* Log = Lines(Form1->dvdlog);
  if (StartsWith(Trim(W), "ID_")) Log->Add(W);
  if (Has(W, "DVDNAV stream read error!")) Log->Add(W);
  if (Has(W, "Invalid title IFO") && Log->GetCount() > 0) Log->Put(Log->GetCount() - 1, "");
  if (Has(W, "audio stream")) Log->Add(W);
  if (Has(" " + W, "subtitle")) Log->Add(W);
  if (Has(W, "VO: [null]")) Log->Add(W);
  if (Has(W, "VIDEO:")) Log->Add(W);
  if (Has(W, "AUDIO:")) Log->Add(W);
}

void IdentifyKeys(const String& W)
{
  if (!DetectRowValid()) return;
  if (IsKeyLine(W, "ID_LENGTH") && !IdentifyIncomplete)
    SetLengthColumns(KeyValue(W, "ID_LENGTH"), [](int C, const String& V) { SetCell(C, V); });
  struct TKey {
    const char* Key;
    int Col;
  };
  static const TKey Plain[] = {{"ID_VIDEO_FORMAT", scVideoFormat}, {"ID_VIDEO_CODEC", scVideoCodec},
                               {"ID_VIDEO_BITRATE", scVideoBitrate}};
  for (const TKey& K : Plain)
    if (IsKeyLine(W, K.Key)) SetCell(K.Col, KeyValue(W, K.Key));
  static const TKey IfEmpty[] = {{"ID_VIDEO_WIDTH", scWidth},
                                 {"ID_VIDEO_HEIGHT", scHeight},
                                 {"ID_VIDEO2_WIDTH", scDisplayWidth},
                                 {"ID_VIDEO2_HEIGHT", scDisplayHeight}};
  for (const TKey& K : IfEmpty)
    if (IsKeyLine(W, K.Key) && Cell(K.Col).empty()) SetCell(K.Col, KeyValue(W, K.Key));
  if (IsKeyLine(W, "ID_VIDEO_FPS")) SetCell(scFrameRate, KeyValue(W, "ID_VIDEO_FPS"));
  if (IsKeyLine(W, "ID_VIDEO_ASPECT") && !Has(W, "#")) SetCell(scAspect, KeyValue(W, "ID_VIDEO_ASPECT"));
  static const TKey Audio[] = {{"ID_AUDIO_FORMAT", scAudioFormat},
                               {"ID_AUDIO_CODEC", scAudioCodec},
                               {"ID_AUDIO_BITRATE", scAudioBitrate},
                               {"ID_AUDIO_RATE", scAudioRate},
                               {"ID_AUDIO_NCH", scAudioChannels}};
  for (const TKey& K : Audio)
    if (IsKeyLine(W, K.Key)) SetCell(K.Col, KeyValue(W, K.Key));
}

void NullOutputLine(const String& W)
{
  if (!Has(W, "VO: [null]") || !DetectRowValid()) return;
  SetCell(scVideoOutput, Trim(RemoveFirst(W, "VO: [null]")));
  const String Size = Before(After(W, "]"), "=>");
  if (Cell(scWidth).empty()) SetCell(scWidth, Before(Size, "x"));
  if (Cell(scHeight).empty()) SetCell(scHeight, After(Size, "x"));
  if (Cell(scWidth) == "0") SetCell(scWidth, Before(Size, "x"));
  if (Cell(scHeight) == "0") SetCell(scHeight, After(Size, "x"));
}

void TrackLines(const String& W)
{
  // Only the track forms the players print, each with a numeric id; anything else (a clip title
  // holding such a text) is no track.
  if (IsTrackKeyLine(W, "ID_AID_")) Lines(Form1->Memo1)->Add(Trim(RemoveFirst(W, "ID_AID_")));
  if (IsTrackKeyLine(W, "ID_SID_")) Lines(Form1->Memo2)->Add(Trim(RemoveFirst(W, "ID_SID_")));
  if (NumberAfter(W, "ID_AUDIO_ID=", "") && Trim(W).find_first_not_of("0123456789", 12) == String::npos)
    Lines(Form1->Memo1)->Add(Trim(RemoveFirst(W, "ID_AUDIO_ID=")) + " ?????");
  if (IsAudioTrackLine(W)) Lines(Form1->Memo1)->Add(Trim(W));
  if (IsSubtitleTrackLine(W)) Lines(Form1->Memo2)->Add(Trim(W));
}

// The player's verbose lines as identify keys in the DVD log.
void VerboseLines(const String& W)
{
  const String B = "  " + W;
  TStrings* Log = Lines(Form1->dvdlog);
  if (Has(B, "VIDEO:") && Has(B, "fps")) {
    String T = Trim(RemoveFirst(W, "VIDEO:"));
    const String Format = FirstWord(T);
    Log->Add("ID_VIDEO_FORMAT=" + Format);
    Log->Add("ID_VIDEO_CODEC=" + Format);
    T = Trim(RemoveFirst(T, Format));
    const String Size = FirstWord(T);
    Log->Add("ID_VIDEO_WIDTH=" + Before(Size, "x"));
    Log->Add("ID_VIDEO_HEIGHT=" + After(Size, "x"));
    T = After(T, ")");
    Log->Add("ID_VIDEO_FPS=" + Before(T, "fps"));
    T = After(T, "s");
    Log->Add("ID_VIDEO_BITRATE=" + Before(T, "kbps"));
  }
  if (Has(B, "Aspect") && Has(B, "presc")) {
    const String T = Trim(RemoveFirst(W, "Movie-Aspect is"));
    Log->Add("ID_VIDEO_ASPECT=" + Before(T, ":"));
  }
  if (Has(B, "AUDIO:") && Has(B, "ch")) {
    String T = Trim(RemoveFirst(W, "AUDIO:"));
    Log->Add("ID_AUDIO_RATE=" + FirstWord(T));
    T = After(T, ",");
    Log->Add("ID_AUDIO_NCH=" + FirstWord(T));
    T = After(After(T, ","), ",");
    String Rate = FirstWord(T);
    if (!Rate.empty()) Rate = IntToStr(Round(1000 * StrToFloatSafe(Rate)));
    Log->Add("ID_AUDIO_BITRATE=" + Rate);
  }
  if (Has(B, "audio codec:") && Has(B, "Selected")) {
    const String T = AfterRaw(W, "[");
    const String Name = Trim(BeforeRaw(T, "]"));
    Log->Add("ID_AUDIO_FORMAT=" + Name);
    Log->Add("ID_AUDIO_CODEC=" + Name);
  }
}

// An identify run ends at the player's first status line. The run is the runner's own child,
// which is ended directly; other programs' tools of the same name are left alone. Without a
// running child of the runner the tools are ended by name.
void EndIdentifyRun()
{
  TXcCreateProcess* Runner = DetectionHost().Runner;
  if (Runner && Runner->GetState() != TXcCreateProcess::Ready) {
    try {
      Runner->KillProcess();
      return;
    } catch (const Exception&) {
      // Not running after all: fall through to the kill by name.
    }
  }
  KillAllTools();
}

bool RunnerRuns(const char* Text)
{
  const TXcCreateProcess* Runner = DetectionHost().Runner;
  return Runner && Has(Runner->GetCommandLine(), Text);
}

// The memo's lines as a cell: the only line alone, otherwise every line followed by CR LF.
String MemoCell(TMemo* Memo, bool SingleLineBare)
{
  TStrings* L = Lines(Memo);
  if (SingleLineBare && L->GetCount() == 1) return L->Get(0);
  String Text;
  for (int I = 0; I < L->GetCount(); ++I) Text += L->Get(I) + sLineBreak;
  return Text;
}

// The name of a source file: a path from outside separates its folders with "/" only, so a
// "\\" stays part of the name.
String SourceFileName(const String& Path) { return NativeFileName(Path); }

// The extension of that name with its dot ("" when the name has none, or only a leading dot).
String SourceFileExt(const String& Name)
{
  const auto Dot = Name.rfind('.');
  return Dot == String::npos || Dot == 0 ? String() : Name.substr(Dot);
}

// The file name without its extension: only the trailing extension goes ("a.avi.b.avi" keeps
// "a.avi.b").
String WithoutExtension(const String& Name, const String& ExtWithDot)
{
  if (ExtWithDot.empty() || Name.size() < ExtWithDot.size()) return Name;
  if (Name.compare(Name.size() - ExtWithDot.size(), ExtWithDot.size(), ExtWithDot) != 0) return Name;
  return Name.substr(0, Name.size() - ExtWithDot.size());
}

// The side file Base + Ext (Ext in lower case, with its dot) in the video's folder, its extension
// in any letter case ("film.SRT" for "film" and ".srt"): the exact name when it exists, else the
// first such name in the folder's order. Empty when there is none.
String FindSideFile(const String& Base, const String& Ext)
{
  if (FileExists(Base + Ext)) return Base + Ext;
  const auto Slash = Base.rfind('/');
  const String Folder = Slash == String::npos ? String() : Base.substr(0, Slash + 1);
  const String Stem = NativeFileName(Base);
  TSearchRec F;
  String Found;
  for (int R = FindFirst(Folder + "*", faReadOnly | faHidden | faArchive, F); R == 0 && Found.empty();
       R = FindNext(F)) {
    const String& Name = F.Name;
    if (Name.size() == Stem.size() + Ext.size() && Name.compare(0, Stem.size(), Stem) == 0 &&
        LowerCase(Name.substr(Stem.size())) == Ext && FileExists(Folder + Name))
      Found = Folder + Name;
  }
  FindClose(F);
  return Found;
}

// A row without a picture width was not read as a video by any tool (random bytes, a cut
// file): it says so in its duration cell, is not marked for conversion, and the log names it.
void MarkUnreadable(int Row, const String& Path)
{
  auto* Grid = Form1->StringGrid1;
  if (StrToIntDef(Trim(Grid->GetCells(scWidth, Row)), 0) > 0) return;
  Grid->SetCells(scConvert, Row, "No");
  Grid->SetCells(scDuration, Row, "Unreadable");
  Lines(Form1->log)->Add("\"" + Path + "\" could not be read as a video (no picture size found); it is not converted");
}

void ReadFfmpegLog(int Row)
{
  auto* Grid = Form1->StringGrid1;
  auto Set = [&](int C, const String& V) { Grid->SetCells(C, Row, V); };
  TStrings* Log = Lines(Form1->dvdlog);
  for (int I = 0; I < Log->GetCount(); ++I) {
    const String W = " " + Log->Get(I);
    if (Has(W, "Duration")) {
      const String Seconds = HmsToSeconds(Trim(RemoveFirst(BeforeRaw(W, ","), "Duration:")));
      // A duration that is no time ("N/A") leaves the length as mplayer gave it.
      if (!Seconds.empty()) {
        Set(scLength, Seconds);
        Set(scTrimEnd, Seconds);
        Set(scConvertSeconds, Seconds);
        Set(scTrimStart, "0");
        Set(scDuration, SecondsToHMS(StrToFloatSafe(Seconds)));
      }
    }
    TFfmpegVideoStream Video;
    if (ReadFfmpegVideoStream(W, Video)) {
      Set(scVideoFormat, Video.Codec);
      Set(scVideoCodec, Video.Codec);
      if (Video.HasSize) {
        Set(scWidth, Video.Width);
        Set(scDisplayWidth, Video.Width);
        Set(scHeight, Video.Height);
        Set(scDisplayHeight, Video.Height);
      }
      Set(scFrameRate, Video.FrameRate);
    }
    TFfmpegAudioStream Audio;
    if (ReadFfmpegAudioStream(W, Audio)) {
      Set(scAudioFormat, Audio.Codec);
      Set(scAudioCodec, Audio.Codec);
      if (Audio.HasSampleRate) Set(scAudioRate, Audio.SampleRate);
    }
  }
}

}  // namespace

void DetectionStatus(const String& Text)
{
  if (DetectionHost().ShowStatus) DetectionHost().ShowStatus(Text);
}

void RunDetectionTool(const String& CommandLine, bool Watched)
{
  TDetectionHost& Host = DetectionHost();
  TXcCreateProcess* Runner = Host.Runner;
  if (Host.ShowCommandLine) Host.ShowCommandLine(CommandLine);
  if (!Runner) {
    ToolRunning = false;
    return;
  }
  Runner->SetCurrentDirectory(WorkFolder);
  Runner->SetCommandLine(CommandLine);
  StallTicks = 0;
  if (Watched && Host.Watchdog) Host.Watchdog->Start();
  try {
    Runner->StartProcess();
    WaitForTool();
  } catch (const Exception& E) {
    ToolRunning = false;
    Status("Could not start the tool: " + E.Message());
  }
  if (Watched && Host.Watchdog) Host.Watchdog->Stop();
}

String DetectionToolPath(const String& Tool)
{
  String Name = Tool;
  if (Name == "mplayer.exe" && PreviewFixPresent && DetectionHost().DetectWithPlayerFix) Name = "mplayer2.exe";
  return qv::os::QuoteCommandLinePath(WorkFolder + Name);
}

TPreviewPlacement FitPreviewPicture(int PanelWidth, int PanelHeight, int Width, int Height)
{
  TPreviewPlacement P;
  if (Width <= 0 || Height <= 0) return P;
  const int Aw = PanelWidth - 16, Ah = PanelHeight - 16;
  P.Width = Aw;
  P.Height = static_cast<int>(Trunc(static_cast<double>(Aw) / Width * Height));
  if (P.Height > Ah) {
    P.Height = Ah;
    P.Width = static_cast<int>(Trunc(static_cast<double>(Ah) / Height * Width));
  }
  P.Left = (PanelWidth - P.Width) / 2;
  P.Top = (PanelHeight - P.Height) / 2;
  return P;
}

void ParseToolOutputLine(const String& Line)
{
  if (!Form1) return;
  String W = Line;
  // The preview player's output: the Windows outputs, the X11 ones the preview uses here, and
  // the null output of a preview without a display (only a playing preview runs with
  // PlaybackMode set; identify runs clear it).
  if (Has(Line, "VO: [directx]") || Has(Line, "VO: [direct3d]") || Has(Line, "VO: [x11]") || Has(Line, "VO: [xv]") ||
      (PlaybackMode && !BatchRunning && Has(Line, "VO: [null]")))
    PreviewPicture(Line);
  if (Has(Line, "VO: [null]")) NullOutputSize(Line);
  if (Has(Line, "VO: [direct3d]")) NullOutputSize(Line);
  if (Has(W, "VO: [directx]")) W = ReplaceFirst(W, "[directx]", "VO: [null]");
  // An identify key stands at the start of its line; one inside other text (a clip title) is
  // none.
  if (StartsWith(Trim(W), "ID_")) W = " " + Trim(W);
  AddToDvdLog(W);
  if (Has(W, "Audio: no sound") || Has(W, "Video: no video")) IdentifyIncomplete = true;
  IdentifyKeys(W);
  NullOutputLine(W);
  TrackLines(W);
  VerboseLines(W);
  if (RunnerRuns("ffmpeg2")) {
    if (StartsWith(Trim(W), "Stream #")) Lines(Form1->dvdlog)->Add(Trim(W));
    if (StartsWith(Trim(W), "Duration:")) Lines(Form1->dvdlog)->Add(Trim(W));
    if (Has(W, "Pos:")) W = Before(After(W, "("), "%");
  }
  // The player's status line starts with its audio or video position. Only there do "A:" and
  // "V:" count: a file name or a clip title holding them ("TV: Season 1") must not end the run.
  const String T = TrimLeft(W);
  const bool Status = T.rfind("A:", 0) == 0 || T.rfind("V:", 0) == 0;
  if (Status && !PlaybackMode) EndIdentifyRun();
  if (Status && PlaybackMode && !BatchRunning) ParsePlaybackPosition(W);
}

void DetectFile(const String& Path)
{
  if (StopRequested || !Form1) return;
  TDetectionHost& Host = DetectionHost();
  auto* Grid = Form1->StringGrid1;
  const String FileName = SourceFileName(Path);
  if (Host.ShowCaption) Host.ShowCaption(WindowTitle);
  DetectMode = "video";
  Status("Scanning : " + FileName);
  IdentifyIncomplete = false;

  const int Row = AppendGridRow(Grid, SourceQueueColCount);
  Lines(Form1->Memo1)->Clear();
  Lines(Form1->Memo2)->Clear();
  Lines(Form1->dvdlog)->Clear();
  const String Quoted = qv::os::QuoteCommandLinePath(Path);
  const String Wid = " -wid " + UIntToStr(static_cast<UInt64>(Host.VideoWindow));
  const String Identify = DetectionToolPath("mplayer.exe") + " -af volume=-200 -vo null -identify " + Quoted;

  PlaybackMode = false;
  ToolRunning = true;
  DetectRow = Row;
  Grid->SetCells(scType, Row, "VIDEO");
  Lines(Form1->Memo1)->Clear();
  Lines(Form1->Memo2)->Clear();
  // The first identify run is watched as well: a player that hangs must not hold the program.
  RunDetectionTool(Identify + Wid, true);

  for (int C : {scWidth, scHeight, scConvertSeconds})
    if (Grid->GetCells(C, Row) == "0") IdentifyIncomplete = true;

  if (IdentifyIncomplete && FfmpegAddonPresent && !StopRequested) {
    Grid->SetCells(scType, Row, "VIDEO*");
    ToolRunning = true;
    Lines(Form1->dvdlog)->Clear();
    Status("Scanning restarted for " + FileName);
    RunDetectionTool(qv::os::QuoteCommandLinePath(WorkFolder + "ffmpeg2.exe") + " -i " + Quoted, true);
    ReadFfmpegLog(Row);
  }

  if (Trim(Grid->GetCells(scFrameRate, Row)).empty()) {
    PlaybackMode = false;
    ToolRunning = true;
    RunDetectionTool(Identify + " -fps " + Host.ForcedFrameRate + Wid, true);
    Grid->SetCells(scInputArgs, Row, Quoted + " -fps " + Host.ForcedFrameRate + " ");
  }
  DetectRow = 0;

  Grid->SetCells(scNumber, Row, SourceRowNumberText(Row));
  const String ExtWithDot = SourceFileExt(FileName);
  const String Name = WithoutExtension(FileName, ExtWithDot);
  Grid->SetCells(scName, Row, Name);
  Grid->SetCells(scHistoryName, Row, FileName);
  Grid->SetCells(scOutputName, Row, Name);
  Grid->SetCells(scSourcePath, Row, Path);
  if (Grid->GetCells(scInputArgs, Row).empty()) Grid->SetCells(scInputArgs, Row, Quoted + " ");
  Grid->SetCells(scConvert, Row, "Yes");
  MarkUnreadable(Row, Path);

  const String Base = WithoutExtension(Path, ExtWithDot);
  // A track list keeps one side file a line: a path holding a line break cannot be one of them.
  auto AddSide = [&](const String& Marker, const String& Side) {
    if (Side.find_first_of("\r\n") == String::npos) {
      Lines(Form1->Memo2)->Add(Marker + Side);
      return;
    }
    const String Text = "Subtitle file left out (its path holds a line break): " + SourceFileName(Side);
    Status(Text);
    Lines(Form1->log)->Add(Text);
  };
  for (const char* Ext : {".srt", ".ssa"}) {
    const String Side = FindSideFile(Base, Ext);
    if (!Side.empty()) AddSide("SRT File:", Side);
  }
  const String Sub = FindSideFile(Base, ".sub");
  if (!Sub.empty() && !FindSideFile(Base, ".idx").empty()) AddSide("SUB File:", Sub);

  Grid->SetCells(scAudioTracks, Row, MemoCell(Form1->Memo1, true));
  Grid->SetCells(scSubtitleTracks, Row, MemoCell(Form1->Memo2, true));
  Grid->SetCells(scZero32, Row, "0");
  Grid->SetCells(scZero33, Row, "0");
  SelectDefaultTracks(Grid, Row, Host.TrackPreferences);
}

void TDetectionLineFeed::Hand(const String& S)
{
  if (Trim(S).empty()) return;
  if (FSink)
    FSink(" " + S);
  else
    ParseToolOutputLine(" " + S);
}

void TDetectionLineFeed::Report(const String& S, const TXcReader* Reader)
{
  const bool LineEnded = !Reader || Reader->GetCurrentLine().empty();
  const String T = TrimLeft(S);
  const bool StatusLine = T.rfind("A:", 0) == 0 || T.rfind("V:", 0) == 0;
  // A status line is handed over as it shows; the same text reported again (the end of the
  // line, the end of the output) is not handed over twice.
  const bool Repeat = StatusLine && S == FHandedStatus;
  if (LineEnded) {
    FPending.clear();
    FHandedStatus.clear();
    if (!Repeat) Hand(S);
    return;
  }
  if (StatusLine) {
    FPending.clear();
    if (!Repeat) Hand(S);
    FHandedStatus = S;
    return;
  }
  FPending = S;
}

void TDetectionLineFeed::Flush()
{
  const String S = FPending;
  FPending.clear();
  FHandedStatus.clear();
  Hand(S);
}
