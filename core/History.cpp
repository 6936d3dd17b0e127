#include "core/History.h"

#include "core/GridFiles.h"
#include "core/MainForm.h"
#include "core/SourceRecognition.h"
#include "core/qv_joblist.h"
#include "core/qv_scan.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SyncObjs.h"

namespace {

bool IsLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }

String HistoryFile() { return WorkFolder + "filelist.db"; }
// Set when "filelist.db" was there but could not be read: it is not written over at exit.
bool HistoryUnreadable = false;
String FoldersFile() { return WorkFolder + "folders.db"; }
// Set when "folders.db" was there but could not be read: it is not written over at exit.
bool FoldersUnreadable = false;

void HistoryStatus(const String& Text)
{
  if (!Form1) return;
  Form1->status->SetCaption(Text);
  Form1->log->GetLines()->Add(Text);
}

// The file name part: the text after the last "/"; a "\" or ":" is a character of a name. A
// Windows path that an older history holds ("C:\A\Movie.avi") gives the text after its last "\".
String NamePart(const String& Name)
{
  const bool WindowsPath = Name.size() > 3 && IsLetter(Name[0]) && Name[1] == ':' && Name[2] == '\\';
  return WindowsPath ? Name.substr(Name.rfind('\\') + 1) : NativeFileName(Name);
}

// The device name as the history keeps it, for comparing: the title cleaning, lower case.
String DeviceKey(const String& Name) { return LowerCase(CleanTitle(Name)); }

void WriteFolders()
{
  if (FoldersUnreadable) {
    HistoryStatus("The remembered folders were not saved: \"" + FoldersFile() + "\" could not be read at start-up.");
    return;
  }
  String Text;
  TStrings* Items = Form3->track->GetItems();
  for (int I = 0; I < Items->GetCount(); ++I) Text += Items->Get(I) + "\r\n";
  try {
    AtomicSaveToFile(FoldersFile(), Text.data(), Text.size());
  } catch (const Exception& E) {
    HistoryStatus("The remembered folders were not saved: " + E.Message());
  }
}

// The writer ends every path with CR LF, and a path holds no control character: a line that
// breaks either rule (a cut last line, an empty line, stray bytes of a damaged file) is not a
// folder.
constexpr std::size_t MaxFoldersFileBytes = 16 * 1024 * 1024;

bool IsFolderLine(const String& Line)
{
  if (Line.empty()) return false;
  for (unsigned char C : Line)
    if (C < 0x20 || C == 0x7F) return false;
  return true;
}

void LoadFolders()
{
  FoldersUnreadable = false;
  // Something else in the file's place (a folder) cannot be read, and is not ours to replace.
  if (!FileExists(FoldersFile()) && !DirectoryExists(FoldersFile())) return;
  String Bytes;
  try {
    TMemoryStream M;
    M.LoadFromFile(FoldersFile());
    if (static_cast<std::size_t>(M.GetSize()) > MaxFoldersFileBytes) {
      Bytes.assign(1, '\0');  // no list of folders is that long: the whole file counts as damaged
    } else {
      Bytes.assign(static_cast<const char*>(M.GetMemory()), static_cast<std::size_t>(M.GetSize()));
    }
  } catch (const Exception& E) {
    FoldersUnreadable = true;
    HistoryStatus("The remembered folders were not loaded: " + E.Message() + " The file will not be written over at exit.");
    return;
  }
  TStrings* Items = Form3->track->GetItems();
  int Skipped = 0;
  std::size_t At = 0;
  while (At < Bytes.size()) {
    // Lines end in CR LF as written, or in LF alone (a file edited by hand).
    const std::size_t End = Bytes.find('\n', At);
    String Line = Bytes.substr(At, End == String::npos ? String::npos : End - At);
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (End != String::npos && IsFolderLine(Line))
      Items->Add(Line);
    else
      ++Skipped;
    At = End == String::npos ? Bytes.size() : End + 1;
  }
  if (Skipped == 0) return;
  // Keep the damaged file: the next save writes only the folders that could be read.
  const String Aside = FoldersFile() + ".damaged";
  const String What = "The file \"" + FoldersFile() + "\" is damaged: " + IntToStr(Skipped) +
                      (Skipped == 1 ? " line was" : " lines were") + " not read as a folder.";
  if (CopyFile(FoldersFile(), Aside, false))
    HistoryStatus(What + " It was kept as \"" + Aside + "\".");
  else
    HistoryStatus(What + " It could not be kept as \"" + Aside + "\": " + SysErrorMessage(GetLastError()));
}

void WriteHeader()
{
  TskSkinStringGrid* G = Form3->database;
  static const char* const Titles[4] = {"#", "Date", "Device", "Name"};
  static const int Widths[4] = {50, 70, 150, 5000};
  for (int C = 0; C < 4; ++C) {
    G->SetCells(C, 0, Titles[C]);
    G->SetColWidths(C, Widths[C]);
  }
}

}  // namespace

void HistoryFormCreate()
{
  if (!Form1 || !Form3) return;
  TskSkinStringGrid* G = Form3->database;
  if (G->GetColCount() < HistoryColCount) G->SetColCount(HistoryColCount);
  const TGridLoadResult Loaded = LoadGridText(G, HistoryFile());
  HistoryUnreadable = Loaded.Status == glUnreadable;
  if (Loaded.Status == glDamaged) {
    // Keep the damaged file: the next save would write the empty history over it.
    if (CopyFile(HistoryFile(), HistoryFile() + ".damaged", false))
      HistoryStatus(Loaded.Message);
    else
      HistoryStatus(Loaded.Message + " It could not be kept as \"" + HistoryFile() + ".damaged\": " +
                    SysErrorMessage(GetLastError()));
  } else if (HistoryUnreadable) {
    HistoryStatus(Loaded.Message + " It will not be written over at exit.");
  }
  if (G->GetColCount() < HistoryColCount) G->SetColCount(HistoryColCount);
  if (G->GetRowCount() < 2) G->SetRowCount(2);
  WriteHeader();
  LoadFolders();
  TStrings* Folders = Form3->track->GetItems();
  if (Folders->GetCount() > 0 && ScanHost().RememberFolders)
    for (int I = 0; I < Folders->GetCount(); ++I) Form1->ListBox1->GetItems()->Add(Folders->Get(I));
  if (ScanHost().ScanDiscsOnStartup) bscanClick();
  BatchRunning = false;
  Form1->ScanTimer->SetEnabled(true);
}

void HistorySave()
{
  if (!Form3) return;
  String Why;
  if (HistoryUnreadable)
    HistoryStatus("The history was not saved: \"" + HistoryFile() + "\" could not be read at start-up.");
  else if (!SaveGridText(Form3->database, HistoryFile(), &Why))
    HistoryStatus("The history was not saved: " + Why);
  WriteFolders();
}

void HistoryFormResize()
{
  if (!Form3) return;
  TskSkinStringGrid* G = Form3->database;
  G->SetColWidths(3, G->GetWidth() - G->GetColWidths(0) - G->GetColWidths(1) - G->GetColWidths(2));
}

void HistoryClear()
{
  if (!Form3) return;
  TskSkinStringGrid* G = Form3->database;
  for (int R = 1; R < G->GetRowCount(); ++R)
    for (int C = 0; C < HistoryColCount && C < G->GetColCount(); ++C) G->SetCells(C, R, "");
  G->SetRowCount(2);
  DeleteFile(HistoryFile());
  Sleep(100);
  String Why;
  if (!SaveGridText(G, HistoryFile(), &Why)) HistoryStatus("The history was not saved: " + Why);
}

void HistoryClearFolders()
{
  if (!Form3) return;
  Form3->track->GetItems()->Clear();
  DeleteFile(FoldersFile());
  FoldersUnreadable = false;  // the user chose to start the list anew
  WriteFolders();
}

void HistoryDeleteFolder()
{
  if (!Form3) return;
  TStrings* Items = Form3->track->GetItems();
  if (Items->GetCount() == 0) return;
  if (Form3->track->GetItemIndex() < 0) Form3->track->SetItemIndex(0);
  const int Index = Form3->track->GetItemIndex();
  if (Index >= 0 && Index < Items->GetCount()) Items->Delete(Index);
}

TConvertedIndex::TConvertedIndex()
{
  if (!Form1 || !Form3 || !ScanHost().SkipConverted) return;
  FActive = true;
  TskSkinStringGrid* Dq = Form1->dq;
  std::unordered_set<String> Devices;
  for (int D = 1; D < Dq->GetRowCount(); ++D) Devices.insert(DeviceKey(Dq->GetCells(0, D)));
  TskSkinStringGrid* G = Form3->database;
  for (int R = 0; R < G->GetRowCount(); ++R)
    if (Devices.count(DeviceKey(G->GetCells(2, R)))) FNames.insert(LowerCase(NamePart(G->GetCells(3, R))));
}

bool TConvertedIndex::NotDone(const String& Name) const
{
  return !FActive || !FNames.count(LowerCase(NamePart(Name)));
}

bool notdone(const String& Name) { return TConvertedIndex().NotDone(Name); }

void Add2FileList(int JobRow)
{
  if (!Form1 || !Form3) return;
  const String Name = Form1->convertgrid->GetCells(scHistoryName, JobRow);
  const String Device = Form1->convertgrid->GetCells(jcDeviceTitle, JobRow);
  TskSkinStringGrid* G = Form3->database;
  for (int R = 0; R < G->GetRowCount(); ++R)
    if (G->GetCells(3, R) == Name && G->GetCells(2, R) == Device) return;
  int Row = G->GetRowCount() - 1;
  if (!G->GetCells(0, Row).empty()) {
    G->SetRowCount(Row + 2);
    Row = G->GetRowCount() - 1;
    for (int C = 0; C < G->GetColCount(); ++C) G->SetCells(C, Row, "");
  }
  G->SetCells(0, Row, Format("%5.5d", {Row}));
  G->SetCells(1, Row, FormatDateTime("mm/dd/yyyy", Now()));
  G->SetCells(2, Row, Device);
  G->SetCells(3, Row, Name);
}

bool RememberFolder(const String& Folder)
{
  if (!Form3) return false;
  if (Folder.find_first_of("\r\n") != String::npos) {
    HistoryStatus("The folder \"" + Folder + "\" holds a line break and is not remembered");
    return false;
  }
  TStrings* Items = Form3->track->GetItems();
  for (int I = 0; I < Items->GetCount(); ++I)
    if (Items->Get(I) == Folder) return true;
  Items->Add(Folder);
  return true;
}
