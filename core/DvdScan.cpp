#include "core/DvdScan.h"

#include <algorithm>

#include "core/DetectText.h"
#include "core/MainForm.h"
#include "core/SourceRecognition.h"
#include "core/SourceRow.h"
#include "core/ToolProcesses.h"
#include "core/TrackChoice.h"
#include "core/qv_detect.h"
#include "core/qv_functions.h"
#include "core/qv_scan.h"
#include "platform/os/CommandLine.h"
#include "platform/os/PathRules.h"
#include "platform/rtl/Convert.h"

using namespace detecttext;

namespace {

// A DVD holds at most 99 titles; a larger count in the tool's output is damage.
constexpr int MaxTitles = 99;

struct TPickerState {
  bool Ok = false;
  std::vector<bool> Checked;
};

TPickerState& Picker()
{
  static TPickerState S;
  return S;
}

TStrings* Log() { return Form1->dvdlog->GetLines(); }

// The value of the last log line holding Key with a non-empty value, as a whole number (0
// when there is none).
int LastKeyNumber(const String& Key)
{
  String Value;
  for (int I = 0; I < Log()->GetCount(); ++I) {
    const String Line = Log()->Get(I);
    if (!Has(Line, Key)) continue;
    const String V = KeyValue(Line, Key);
    if (!V.empty()) Value = V;
  }
  return StrToIntDef(Value, 0);
}

// The title number that a read-error line names (the digits right after the error text), or -1.
int ReadErrorTitle(const String& Line)
{
  static const String Error = "DVDNAV stream read error!";
  const auto P = Line.find(Error);
  if (P == String::npos) return -1;
  String Digits;
  for (size_t I = P + Error.size(); I < Line.size() && Line[I] >= '0' && Line[I] <= '9'; ++I) Digits += Line[I];
  return Digits.empty() ? -1 : StrToIntDef(Digits, -1);
}

bool ReadErrorFor(const String& Line, const String& TitleNumber)
{
  const int N = ReadErrorTitle(Line);
  return N >= 0 && N == StrToIntDef(TitleNumber, -2);
}

void AddOnce(TStrings* Lines, const String& Line)
{
  if (Lines->IndexOf(Line) < 0) Lines->Add(Line);
}

String WholeText(TStrings* Lines)
{
  String Text;
  for (int I = 0; I < Lines->GetCount(); ++I) Text += Lines->Get(I) + sLineBreak;
  return Text;
}

// The stream keys of the log into title row Row (ID_LENGTH only when WithLength), and the
// track lines into the track columns, each line once.
void ReadStreamKeys(int Row, bool WithLength)
{
  TStringGrid* Titles = Form1->dvdgrid;
  auto Set = [&](int C, const String& V) { Titles->SetCells(C, Row, V); };
  TStrings* Audio = Form1->Memo1->GetLines();
  TStrings* Subtitles = Form1->Memo2->GetLines();
  Audio->Clear();
  Subtitles->Clear();
  struct TKey {
    const char* Key;
    int Col;
    int Col2;
  };
  static const TKey Keys[] = {
      {"ID_VIDEO_FORMAT", scVideoFormat, -1},   {"ID_VIDEO_CODEC", scVideoCodec, -1},
      {"ID_VIDEO_BITRATE", scVideoBitrate, -1}, {"ID_VIDEO_WIDTH", scWidth, -1},
      {"ID_VIDEO2_WIDTH", scDisplayWidth, -1},  {"ID_VIDEO_HEIGHT", scHeight, -1},
      {"ID_VIDEO2_HEIGHT", scDisplayHeight, -1}, {"ID_VIDEO_FPS", scFrameRate, -1},
      {"ID_VIDEO_ASPECT", scTitleAspect, scAspect}, {"ID_AUDIO_FORMAT", scAudioFormat, -1},
      {"ID_AUDIO_CODEC", scAudioCodec, -1},     {"ID_AUDIO_BITRATE", scAudioBitrate, -1},
      {"ID_AUDIO_RATE", scAudioRate, -1},       {"ID_AUDIO_NCH", scAudioChannels, -1},
  };
  for (int I = 0; I < Log()->GetCount() && !StopRequested; ++I) {
    const String Line = Log()->Get(I);
    if (WithLength && IsKeyLine(Line, "ID_LENGTH")) SetLengthColumns(KeyValue(Line, "ID_LENGTH"), Set);
    for (const TKey& K : Keys) {
      if (!IsKeyLine(Line, K.Key)) continue;
      Set(K.Col, KeyValue(Line, K.Key));
      if (K.Col2 >= 0) Set(K.Col2, KeyValue(Line, K.Key));
    }
    if (IsAudioTrackLine(Line)) AddOnce(Audio, Trim(Line));
    if (IsSubtitleTrackLine(Line)) AddOnce(Subtitles, Trim(Line));
  }
  Set(scAudioTracks, WholeText(Audio));
  Set(scSubtitleTracks, WholeText(Subtitles));
}

// The identify facts of title row A (title number N) from the log.
void DescribeTitle(int A, const String& Volume, const String& Path)
{
  TStringGrid* Titles = Form1->dvdgrid;
  auto Set = [&](int C, const String& V) { Titles->SetCells(C, A, V); };
  const String N = IntToStr(A + 1);
  const bool Bad = Has(Volume, "*");
  const String Name = Trim(RemoveFirst(Volume, "*"));
  Set(scType, "DVD");
  Set(scName, Name + "_" + N);
  Set(scOutputName, Name + "_" + N);
  Set(scHistoryName, Name);
  Set(scSourcePath, Path);
  Set(scZero32, "0");
  Set(scZero33, "0");
  Set(scConvert, "Yes");
  Set(scInputArgs, "-dvd-device " + DvdTitleDevicePart(Path) + " dvdnav://" + N + " ");
  const String K = "ID_DVD_TITLE_" + N + "_";
  bool ReadError = false;
  for (int I = 0; I < Log()->GetCount(); ++I) {
    const String Line = Log()->Get(I);
    if (ReadErrorFor(Line, Titles->GetCells(scTitleNumber, A))) ReadError = true;
    if (Has(Line, K + "LENGTH")) SetLengthColumns(KeyValue(Line, K + "LENGTH"), Set);
    if (Has(Line, K + "CHAPTERS")) {
      const String V = KeyValue(Line, K + "CHAPTERS");
      Set(scChapters, V);
      Set(scLastChapter, V);
      Set(scStartAtChapter, Bad ? "Yes" : "NO");
      Set(scFirstChapter, Bad ? "2" : "1");
      Set(scSplitParts, "NO");
      Set(scChaptersPerPart, "1");
    }
    if (Has(Line, K + "ANGLES")) {
      Set(scAngles, KeyValue(Line, K + "ANGLES"));
      Set(scAngleChosen, "NO");
      Set(scAngleNumber, "1");
    }
    if (Has(Line, "VO: [null]")) Set(scVideoOutput, Trim(RemoveFirst(Line, "VO: [null]")));
    if (Has(Line, "VO: [direct3d]")) Set(scVideoOutput, Trim(RemoveFirst(Line, "VO: [direct3d]")));
  }
  // A read error for this title excludes it, whatever length the log gave.
  if (ReadError) Set(scLength, "0");
}

double Length(const String& Text) { return StrToFloatSafe(Text); }

// Where a title scan starts: 90 seconds in, or halfway into a title shorter than twice that, so
// that the player reaches a picture (and prints its size) in every title.
int ScanSeekSeconds(const String& LengthText)
{
  const double Seconds = Length(LengthText);
  return Seconds >= 180 ? 90 : static_cast<int>(std::max(0.0, Seconds) / 2);
}

// The scan of one title row Q: the player from 90 seconds into the title (less in a short
// one), verbose; once more with "dvdnav:" when the scan stalled.
void ScanTitle(int Q, const String& ScanName)
{
  TDetectionHost& Host = DetectionHost();
  TStringGrid* Titles = Form1->dvdgrid;
  const String Track = IntToStr(Q + 1);
  DetectionStatus("Scanning track " + Track);
  Log()->Clear();
  const String Input = ReplaceFirst(StripVideoTs(Titles->GetCells(scInputArgs, Q), vtFirst), "dvdnav", "dvd");
  const String Seek = IntToStr(ScanSeekSeconds(Titles->GetCells(scLength, Q)));
  String CommandLine = DetectionToolPath("mplayer.exe") + " -ss " + Seek + " -af volume=-200 -vo null " + Input +
                       " -v 2 -wid " + UIntToStr(static_cast<UInt64>(Host.VideoWindow));
  PlaybackMode = false;
  ToolRunning = true;
  Form1->Memo1->GetLines()->Clear();
  Form1->Memo2->GetLines()->Clear();
  // A stall of an earlier title (or an earlier run) says nothing about this one.
  ToolStalled = false;
  DetectionStatus("Scanning " + ScanName + ", track " + Track);
  RunDetectionTool(CommandLine, true);
  if (ToolStalled && !StopRequested) {
    ToolRunning = true;
    DetectionStatus("Scanning restarted for " + ScanName + ", track " + Track);
    CommandLine = ReplaceFirst(CommandLine, "dvd:", "dvdnav:");
    RunDetectionTool(CommandLine, true);
  }
  bool ReadError = false;
  for (int I = 0; I < Log()->GetCount(); ++I)
    if (ReadErrorFor(Log()->Get(I), Titles->GetCells(scTitleNumber, Q))) ReadError = true;
  ReadStreamKeys(Q, false);
  if (ReadError) Titles->SetCells(scLength, Q, "0");
}

void QueueTitle(int TitleRow, bool Convert)
{
  auto* Queue = Form1->StringGrid1;
  const int Row = AppendGridRow(Queue, SourceQueueColCount);
  CopyTitleRowToQueue(Form1->dvdgrid, TitleRow, Queue, Row);
  SelectDefaultTracks(Queue, Row, DetectionHost().TrackPreferences);
  if (!Convert) Queue->SetCells(scConvert, Row, "No");
}

bool Between(double X, double Low, double High) { return X > Low && X < High; }

// The episode rule over the candidates in cropgrid (column 0 the length, 1 the title row).
void SelectEpisodes()
{
  TStringGrid* Titles = Form1->dvdgrid;
  TStringGrid* Cand = Form1->cropgrid;
  for (int R = 0; R < Cand->GetRowCount(); ++R)
    for (int C = 0; C < Cand->GetColCount(); ++C) Cand->SetCells(C, R, "");
  Cand->SetRowCount(1);
  for (int T = 0; T < Titles->GetRowCount(); ++T) {
    if (!(Length(Titles->GetCells(scLength, T)) > MinTitleSeconds) || !TitleRowSelectable(Titles, T)) continue;
    int Row = Cand->GetRowCount() - 1;
    if (!Cand->GetCells(0, Row).empty()) {
      Cand->SetRowCount(Row + 2);
      Row = Cand->GetRowCount() - 1;
    }
    Cand->SetCells(0, Row, Titles->GetCells(scLength, T));
    Cand->SetCells(1, Row, IntToStr(T));
  }
  std::vector<int> C;  // candidate rows
  for (int R = 0; R < Cand->GetRowCount(); ++R)
    if (!Cand->GetCells(0, R).empty()) C.push_back(R);
  auto Len = [&](int R) { return Length(Cand->GetCells(0, R)); };

  double S = 0;
  int L = -1;
  for (int R : C)
    if (Len(R) > S) {
      S = Len(R);
      L = R;
    }
  const bool Found = L >= 0;
  bool Similar = false, Duplicate = false;
  int SimilarRow = -1, D = -1;
  for (int R : C) {
    if (R == L || !Between(Len(R), 0.7 * S, 1.3 * S)) continue;
    Similar = true;
    SimilarRow = R;
    if (Len(R) > 0.99 * S && S > 4199) {
      Duplicate = true;
      D = R;
    }
  }
  // A third group needs two titles of their own near its length: besides the longest and the
  // shortest candidate. The group's own title alone (the extras of a disc with two versions of
  // its movie) or one extra beside the shortest is no group.
  double T = 0;
  bool Third = false;
  if (Similar) {
    for (int R : C)
      if (R != L && R != SimilarRow) T = std::max(T, Len(R));
    int Shortest = -1;
    for (int R : C)
      if (Shortest < 0 || Len(R) < Len(Shortest)) Shortest = R;
    int Near = 0;
    for (int R : C)
      if (R != L && R != Shortest && Between(Len(R), 0.7 * T, 1.3 * T)) ++Near;
    Third = Near >= 2;
  }
  double U = 0;
  int URow = 0;
  for (int R : C)
    if (R != L && Len(R) > U) {
      U = Len(R);
      URow = R;
    }
  bool Episodes = false;
  for (int R : C)
    if (R != L && R != URow && Between(Len(R), 0.7 * U, 1.3 * U)) Episodes = true;

  auto Mark = [&](int R, const char* M) { Cand->SetCells(2, R, M); };
  if (Episodes) {
    for (int R : C)
      if (Between(Len(R), 0.7 * U, 1.3 * U)) Mark(R, "YES");
  } else if (Third) {
    for (int R : C)
      if (Between(Len(R), 0.7 * T, 1.3 * T)) Mark(R, "YES");
  } else if (Duplicate) {
    Mark(L, "YES");
    Mark(D, "NO");
  } else if (Similar) {
    for (int R : C)
      if (Between(Len(R), 0.7 * S, 1.3 * S)) Mark(R, "YES");
  } else if (Found) {
    Mark(L, "YES");
  }
  for (int R : C) QueueTitle(StrToIntDef(Cand->GetCells(1, R), 0), Cand->GetCells(2, R) == "YES");
}

}  // namespace

void DvdTitlePickerClosed(bool Ok, const std::vector<bool>& Checked)
{
  Picker().Ok = Ok;
  Picker().Checked = Checked;
  PickerOpen = false;
}

void ScanDvd(const String& Path, const String& ScanName)
{
  if (StopRequested || !Form1) return;
  TDetectionHost& Host = DetectionHost();
  if (Host.ShowCaption) Host.ShowCaption(WindowTitle);
  DetectMode = "dvd";
  if (Host.DvdAsVobs) {
    // Each file goes through the scan's detection entry: one already queued or still being
    // written is left alone, as any other file is.
    DetectVobFiles(Path, [](const String& File, const String& Kind) { Detect(Kind, File); });
    return;
  }
  auto* Queue = Form1->StringGrid1;
  const int Row = AppendGridRow(Queue, SourceQueueColCount);
  DetectRow = Row;
  const String Device = DvdDeviceText(Path);
  CurrentDvdName = CleanTitle(Trim(RemoveFirst(DvdVolumeName(Path), "*")));
  DetectionStatus("Scanning : " + CurrentDvdName);
  Form1->Memo1->GetLines()->Clear();
  Form1->Memo2->GetLines()->Clear();
  Log()->Clear();
  const String CommandLine = DetectionToolPath("mplayer.exe") + " -af volume=-200 -vo null -identify -dvd-device " +
                             Device + " dvd:// -wid " + UIntToStr(static_cast<UInt64>(Host.VideoWindow));
  PlaybackMode = false;
  ToolRunning = true;
  RunDetectionTool(CommandLine, true);
  DetectionStatus("Processing found tracks");
  ScanDvdTitles(DvdVolumeName(Path), Path, ScanName);
}

void ScanDvdTitles(const String& Volume, const String& Path, const String& ScanName)
{
  TDetectionHost& Host = DetectionHost();
  TStringGrid* Titles = Form1->dvdgrid;
  double Limit = MinTitleSeconds;
  const int Count = std::clamp(LastKeyNumber("ID_DVD_TITLES"), 0, MaxTitles);
  const int R = LastKeyNumber("ID_DVD_CURRENT_TITLE") - 1;

  for (int Row = 0; Row < Titles->GetRowCount(); ++Row)
    for (int C = 0; C < Titles->GetColCount(); ++C) Titles->SetCells(C, Row, "");
  Titles->SetRowCount(std::max(Count, 1));
  for (int Row = 0; Row < Titles->GetRowCount(); ++Row) Titles->SetCells(scTitleNumber, Row, IntToStr(Row + 1));

  Form1->Memo1->GetLines()->Clear();
  Form1->Memo2->GetLines()->Clear();
  if (R >= 0 && R < Titles->GetRowCount()) ReadStreamKeys(R, true);

  for (int A = 0; A < Titles->GetRowCount() && !StopRequested; ++A) DescribeTitle(A, Volume, Path);

  // The row ScanDvd appended held only what the identify run wrote.
  auto* Queue = Form1->StringGrid1;
  if (DetectRow >= 1 && DetectRow < Queue->GetRowCount())
    for (int C = 0; C < Queue->GetColCount(); ++C) Queue->SetCells(C, DetectRow, "");
  DetectRow = 0;

  PickerOpen = false;
  if (Host.AskTitles && Host.Picker) {
    Picker().Ok = false;
    Picker().Checked.clear();
    PickerOpen = true;
    Limit = 0;
    std::vector<String> Items;
    for (int A = 0; A < Titles->GetRowCount(); ++A)
      Items.push_back(Titles->GetCells(scType, A) + " - " + Titles->GetCells(scName, A) + " - " +
                      Titles->GetCells(scDuration, A));
    Host.Picker->Open(Items);
    WaitForTrackSelection();
    if (!Picker().Ok) {
      // Cancel: nothing of this disc is scanned or queued, and the queue stays as it was.
      for (int Row = 0; Row < Titles->GetRowCount(); ++Row)
        for (int C = 0; C < Titles->GetColCount(); ++C) Titles->SetCells(C, Row, "");
      return;
    }
    for (int A = 0; A < Titles->GetRowCount(); ++A) {
      const bool Checked = A < static_cast<int>(Picker().Checked.size()) && Picker().Checked[A];
      if (!Checked)
        for (int C = 0; C < Titles->GetColCount(); ++C) Titles->SetCells(C, A, "");
    }
  }

  for (int Q = 0; Q < Titles->GetRowCount() && !StopRequested; ++Q) {
    const String Len = Titles->GetCells(scLength, Q);
    if (Len.empty() || !(Length(Len) > Limit) || !Titles->GetCells(scVideoFormat, Q).empty()) continue;
    ScanTitle(Q, ScanName);
  }
  SelectDvdTitles();
}

void SelectDvdTitles()
{
  if (DetectionHost().EpisodeRecognition) {
    SelectEpisodes();
    return;
  }
  TStringGrid* Titles = Form1->dvdgrid;
  // With the picker the user has already removed the titles not wanted.
  const double Limit = DetectionHost().AskTitles && DetectionHost().Picker ? 0 : MinTitleSeconds;
  for (int T = 0; T < Titles->GetRowCount(); ++T)
    if (Length(Titles->GetCells(scLength, T)) > Limit && TitleRowSelectable(Titles, T)) QueueTitle(T, true);
}
