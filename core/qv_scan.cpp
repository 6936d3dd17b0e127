#include "core/qv_scan.h"

#include <unordered_set>

#include "core/DvdScan.h"
#include "core/History.h"
#include "core/MainForm.h"
#include "core/SourceRecognition.h"
#include "core/ToolProcesses.h"
#include "core/qv_detect.h"
#include "core/qv_functions.h"
#include "platform/os/Volumes.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/os/Drives.h"

TScanHost& ScanHost()
{
  static TScanHost Host;
  return Host;
}

namespace {

void Status(const String& Text) { Form1->status->SetCaption(Text); }

// A message that must outlive the status line (the scan clears it at its end): also in the log.
void Report(const String& Text)
{
  Status(Text);
  Form1->log->GetLines()->Add(Text);
}

void StartScanTimer() { Form1->ScanTimer->SetEnabled(true); }

TStrings* Pending() { return Form1->ListBox1->GetItems(); }

// The history panel holds the skip list; without a window of its own to tell, the main window's
// panel is shown or hidden directly.
void SetHistoryPanelVisible(bool Visible)
{
  if (ScanHost().ShowHistoryPanel)
    ScanHost().ShowHistoryPanel(Visible);
  else if (Form1->history)
    Form1->history->SetVisible(Visible);
}

void ShowHistoryPanel() { SetHistoryPanelVisible(Form1->skiplist->GetItems()->GetCount() > 0); }

String RemoveFirstStar(String S)
{
  const auto Star = S.find('*');
  if (Star != String::npos) S.erase(Star, 1);
  return S;
}

String DriveRoot(char Letter) { return String(1, UpCase(Letter)) + ":\\"; }

// Appends S unless an entry has exactly its text.
void AddOnce(TStrings* List, const String& S)
{
  for (int I = 0; I < List->GetCount(); ++I)
    if (List->Get(I) == S) return;
  List->Add(S);
}

// The same for long lists: Seen holds the entries already there.
void AddOnce(TStrings* List, std::unordered_set<String>& Seen, const String& S)
{
  if (Seen.insert(S).second) List->Add(S);
}

std::unordered_set<String> EntriesOf(TStrings* List)
{
  std::unordered_set<String> Seen;
  for (int I = 0; I < List->GetCount(); ++I) Seen.insert(List->Get(I));
  return Seen;
}

// Suppresses the system's critical-error boxes while it lives.
class TCriticalErrorsOff {
public:
  TCriticalErrorsOff() : FPrevious(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~TCriticalErrorsOff() { SetErrorMode(FPrevious); }

private:
  UINT FPrevious;
};

std::vector<char> DriveLetters()
{
  if (ScanHost().DriveLetters) return ScanHost().DriveLetters();
  Volumes().Refresh();
  std::vector<char> Letters;
  for (const TVolume& V : Volumes().Snapshot())
    if (V.Letter) Letters.push_back(V.Letter);
  return Letters;
}

bool Contains(const String& Text, const String& Part) { return Text.find(Part) != String::npos; }

// Whether a source-queue row reads from drive L. Form is the text the Windows tool arguments
// carry ("dvd-device e" or "e:\"); the tool arguments here carry the disc's mount point, so a
// row whose source path (the drive root the intake queued) is on that letter belongs too.
bool RowOnDrive(TskSkinStringGrid* Queue, int Row, char L, const String& Form)
{
  const String Lower = LowerCase(String(1, L));
  return Contains(LowerCase(Queue->GetCells(scInputArgs, Row)), Form) ||
         LowerCase(Queue->GetCells(scSourcePath, Row)).rfind(Lower + ":", 0) == 0;
}

const char* const VideoBoxExtensions[] = {"avi", "3gp", "ogm", "mod", "flv", "wmv", "mp4", "mov",
                                          "mpg", "mkv", "ts",  "m1v", "m2v", "m4v", "tp",  "trp",
                                          "m2t", "m2ts", "mts", "rmp4", "mpeg", "m2p"};

bool IsVideoBoxExtension(const String& Ext)
{
  for (const char* E : VideoBoxExtensions)
    if (Ext == E) return true;
  return false;
}

}  // namespace

// ---- Intake ----

void DropFiles(const std::vector<String>& Names)
{
  if (!Form1) return;
  for (const String& Name : Names)
    if (!Trim(Name).empty()) Pending()->Add(Name);
  if (Pending()->GetCount() >= 1) {
    Status(IntToStr(Pending()->GetCount()) + " items added");
    StartScanTimer();
  }
}

void AddFilesClick()
{
  TAddFilesDialog* Dialog = ScanHost().FilesDialog;
  if (!Form1 || !Dialog) return;
  if (Dialog->InitialDir.empty()) Dialog->InitialDir = MyDocumentsFolder();
  std::vector<String> Files;
  if (!Dialog->Execute(OpenDialogFilter, "Select File(s)", "Filename", Files)) return;
  for (const String& F : Files) Pending()->Add(F);
  StartScanTimer();
}

void AddFolderClick()
{
  TAddFolderDialog* Dialog = ScanHost().FolderDialog;
  if (!Form1 || !Dialog) return;
  const String Start = ScanHost().DestinationFolder ? ScanHost().DestinationFolder() : String();
  ShowDriveFreeSpace(Start);
  String Folder;
  if (!Dialog->Execute("Select folder containing video files", Start, Folder)) return;
  const auto Double = Folder.find("//");
  if (Double != String::npos) Folder.erase(Double, 1);
  Folder = IncludeTrailingPathDelimiter(Folder);
  Pending()->Add(Folder);
  StartScanTimer();
}

void bscanClick()
{
  if (!Form1) return;
  {
    TCriticalErrorsOff Quiet;
    for (char L : DriveLetters()) {
      try {
        if (!DriveReady(L) || !IsDvdDrive(DriveRoot(L))) continue;
        const String Name = RemoveFirstStar(DvdVolumeName(DriveRoot(L)));
        const bool Converted = !notdone(Name) && ScanHost().SkipConverted;
        if (Converted) {
          Status(Name + " skipped");
          AddOnce(Form1->skiplist->GetItems(), "*" + DriveRoot(L));
        } else {
          Status("DVD: " + CleanTitle(Name));
          Pending()->Add(DriveRoot(L));
          StartScanTimer();
        }
      } catch (...) {
        // A drive that fails is passed over; the next one is tried.
      }
    }
  }
  ShowHistoryPanel();
}

void AddAllSkippedClick()
{
  if (!Form1) return;
  TStrings* Skip = Form1->skiplist->GetItems();
  for (int I = 0; I < Skip->GetCount(); ++I) Pending()->Add(Skip->Get(I));
  Skip->Clear();
  SetHistoryPanelVisible(false);
  StartScanTimer();
}

void AddSelectedSkippedClick()
{
  if (!Form1) return;
  TStrings* Skip = Form1->skiplist->GetItems();
  for (int I = 0; I < Skip->GetCount(); ++I)
    if (Form1->skiplist->GetSelected(I)) {
      Pending()->Add(Skip->Get(I));
      Skip->Put(I, " ");
    }
  ShowHistoryPanel();
  StartScanTimer();
}

void AddPendingInput(const String& Path)
{
  if (!Form1) return;
  Pending()->Add(Path);
  StartScanTimer();
}

void AddCommandLineInputs(const std::vector<String>& Args)
{
  if (!Form1) return;
  for (const String& A : Args) Pending()->Add(A);
}

// ---- Discs ----

char DriveFromUnitMask(const DEV_BROADCAST_VOLUME& Volume)
{
  if (!(Volume.dbcv_flags & DBTF_MEDIA)) return 0;
  char Letter = 0;
  for (int I = 0; I <= 25; ++I)
    if (Volume.dbcv_unitmask & (DWORD(1) << I)) Letter = static_cast<char>('A' + I);
  return Letter;
}

void WMDeviceChange(WPARAM Event, const DEV_BROADCAST_HDR* Header)
{
  if (!Form1) return;
  if (ScanHost().DestinationFolder) ShowDriveFreeSpace(ScanHost().DestinationFolder());
  if (ScanHost().DriveLetters) ScanHost().DriveLetters();  // the drive combo box follows
  TCriticalErrorsOff Quiet;
  if (!Header || Header->dbch_devicetype != DBT_DEVTYP_VOLUME) return;
  const auto& Volume = *reinterpret_cast<const DEV_BROADCAST_VOLUME*>(Header);
  TskSkinStringGrid* Queue = Form1->StringGrid1;
  TStrings* Skip = Form1->skiplist->GetItems();

  if (Event == DBT_DEVICEARRIVAL && ScanHost().MonitorDiscs) {
    const char L = DriveFromUnitMask(Volume);
    if (!L) return;
    if (ScanHost().Sleep)
      ScanHost().Sleep(2000);
    else
      Sleep(2000);
    if (!DriveReady(L) || !IsDvdDrive(DriveRoot(L))) return;
    const String Name = RemoveFirstStar(DvdVolumeName(String(1, L) + ":"));
    const String LowerName = LowerCase(Name);
    bool Converted = !notdone(Name) && ScanHost().SkipConverted;
    const String Lower = LowerCase(String(1, L));
    for (int R = 1; R < Queue->GetRowCount(); ++R)
      if (RowOnDrive(Queue, R, L, "dvd-device " + Lower)) {
        if (Contains(" " + LowerCase(Queue->GetCells(scName, R)), LowerName)) Queue->SetCells(scConvert, R, "Yes");
        Converted = false;
      }
    if (Converted) {
      Status(Name + " skipped");
      AddOnce(Skip, "*" + DriveRoot(L));
    } else {
      Status("Drive " + Name + " added");
      StartScanTimer();
      const String LowerRoot = LowerCase(DriveRoot(L));
      for (int R = 1; R < Queue->GetRowCount(); ++R)
        if (RowOnDrive(Queue, R, L, LowerRoot) && Contains(" " + LowerCase(Queue->GetCells(scName, R)), LowerName))
          Queue->SetCells(scConvert, R, "Yes");
      Pending()->Add(DriveRoot(L));
      StartScanTimer();
    }
    ShowHistoryPanel();
  } else if (Event == DBT_DEVICEREMOVECOMPLETE) {
    EjectDone = true;
    const char L = DriveFromUnitMask(Volume);
    if (!L) return;
    Status("Drive " + String(1, UpCase(L)) + " removed");
    const String LowerRoot = LowerCase(DriveRoot(L));
    for (int R = 1; R < Queue->GetRowCount(); ++R)
      if (RowOnDrive(Queue, R, L, LowerRoot)) Queue->SetCells(scConvert, R, "No");
    const String LowerDrive = LowerRoot.substr(0, 2);
    for (int I = 0; I < Skip->GetCount(); ++I)
      if (Contains(LowerCase(Skip->Get(I)), LowerDrive)) Skip->Put(I, " ");
    for (TStrings* List : {Form1->dvdbox->GetItems(), Pending()})
      for (int I = 0; I < List->GetCount(); ++I)
        if (LowerCase(List->Get(I)) == LowerRoot) List->Put(I, "");
  }
}

void ConnectDiscWatch(TDiscWatch& Watch, std::function<void(std::function<void()>)> Post)
{
  Watch.OnDeviceChange = [Post](WPARAM Event, const DEV_BROADCAST_VOLUME& Volume) {
    Post([Event, Volume] { WMDeviceChange(Event, reinterpret_cast<const DEV_BROADCAST_HDR*>(&Volume)); });
  };
}

// ---- Timers and the pipeline ----

void ScanTimerTimer()
{
  if (!Form1) return;
  if (Converting || GoBusy || ToolRunning || StopRequested) return;
  if (ScanHost().RememberFolders && Form3) {
    TStrings* Folders = Form3->track->GetItems();
    for (int I = 0; I < Folders->GetCount(); ++I) Pending()->Add(Folders->Get(I));
  }
  if (ToolRunning || BatchRunning || Pending()->GetCount() == 0) return;
  if (ScanHost().BringToFront) ScanHost().BringToFront(false);
  Form1->ScanTimer->SetEnabled(false);
  BatchRunning = true;
  TListBox* Work = Form1->ListBox2;
  Work->SetSorted(false);
  Work->GetItems()->Assign(Pending());
  Work->SetSorted(true);
  Pending()->Clear();
  ScanList(Work->GetItems());
  if (ScanHost().BringToFront) ScanHost().BringToFront(true);
  for (TListBox* L : {Form1->filelist, Form1->filelist2, Form1->folderlist, Form1->videobox, Form1->dvdbox,
                      Form1->voblist})
    L->GetItems()->Clear();
  BatchRunning = false;
  if (!StopRequested && ScanHost().ConvertAutomatically && ScanHost().Go) {
    TskSkinStringGrid* Queue = Form1->StringGrid1;
    for (int R = 0; R < Queue->GetRowCount(); ++R)
      if (Queue->GetCells(scConvert, R) == "Yes") {
        ScanHost().Go();
        break;
      }
    BatchRunning = false;
  }
}

void MonitorTimerTimer()
{
  if (Form1 && ScanHost().RememberFolders) StartScanTimer();
}

void ScanList(TStrings* Items)
{
  TStrings* Vob = Form1->voblist->GetItems();
  TStrings* Folders = Form1->folderlist->GetItems();
  TStrings* Files = Form1->filelist->GetItems();
  for (int I = 0; I < Items->GetCount(); ++I) {
    String Item = Items->Get(I);
    if (LowerCase(ExtractFileExt(Item)) == ".lnk") Item = ResolveShortcut(Item);
    if (IsDvdDrive(Item))
      Vob->Add(RemoveFirstStar(Item));
    else if (DirectoryExists(Item))
      Folders->Add(Item);
    else
      Files->Add(Item);
  }
  if (ScanHost().RememberFolders && Form3)
    for (int I = 0; I < Folders->GetCount(); ++I)
      if (!FolderHasIfo(Folders->Get(I))) RememberFolder(Folders->Get(I));
  Items->Clear();
  ScanFolders(Folders);
}

void ScanFolders(TStrings* Folders)
{
  TStrings* Files = Form1->filelist->GetItems();
  TStrings* Tree = Form1->filelist2->GetItems();
  for (int I = 0; I < Folders->GetCount(); ++I) {
    FindFilesRecursive(Folders->Get(I), "*.*", Tree, [](const String& Folder) {
      Report("The folder \"" + Folder + "\" can not be read and is skipped");
    });
    const int Found = Tree->GetCount();
    for (int K = 0; K < Found; ++K) Files->Add(Tree->Get(K));
  }
  Folders->Clear();
  ScanFiles(Files);
}

void ScanFiles(TStrings* Files)
{
  TStrings* Vob = Form1->voblist->GetItems();
  TStrings* Video = Form1->videobox->GetItems();
  std::unordered_set<String> VobSeen = EntriesOf(Vob), VideoSeen = EntriesOf(Video), SkipSeen;
  // Built once per scan, not once per file.
  const TConvertedIndex History;
  const TExtensionLists Extensions;
  // Files is emptied below: its items are read, never rewritten (a rewrite moves every later item).
  const int Count = Files->GetCount();
  for (int I = 0; I < Count; ++I) {
    const String Raw = Files->Get(I);
    bool Converted = !History.NotDone(NativeFileName(Raw));
    if (!ScanHost().SkipConverted || Contains(Raw, "*")) Converted = false;
    const String Entry = Trim(RemoveFirstStar(Raw));
    if (Converted) {
      AddToSkipList(Form1->skiplist->GetItems(), SkipSeen, Entry);
      continue;
    }
    const String Ext = LowerExtNoDot(Entry);
    if (Extensions.IsDiscImage(Ext)) AddOnce(Vob, VobSeen, Entry);
    if (Ext == "vob")
      AddOnce(Vob, VobSeen, Entry);
    else if (IsVideoBoxExtension(Ext) || Extensions.IsVideo(Ext))
      AddOnce(Video, VideoSeen, Entry);
  }
  Files->Clear();
  ScanDVD(Vob);
  ShowHistoryPanel();
}

void ScanDVD(TStrings* Candidates)
{
  TScanHost& Host = ScanHost();
  if (Host.ScanPanels) Host.ScanPanels(true);
  TStrings* Dvd = Form1->dvdbox->GetItems();
  TStrings* Video = Form1->videobox->GetItems();
  std::unordered_set<String> DvdSeen = EntriesOf(Dvd), VideoSeen = EntriesOf(Video);
  for (int I = 0; I < Candidates->GetCount(); ++I) {
    const String C = Candidates->Get(I);
    if (IsDvdDrive(C)) AddOnce(Dvd, DvdSeen, C);
    if (IsDiscImageExtension(C)) {
      if (IsLargeFile(C))
        AddOnce(Dvd, DvdSeen, C);
      else
        AddOnce(Video, VideoSeen, C);
    } else if (LowerExtNoDot(C) == "vob") {
      const String Folder = ExtractFilePath(C);
      FindFilesRecursive(Folder, "*.ifo", Form1->filelist->GetItems());
      const bool HasIfo = Form1->filelist->GetItems()->GetCount() > 0;
      Form1->filelist->GetItems()->Clear();
      if (HasIfo)
        AddOnce(Dvd, DvdSeen, StripVideoTsFolder(ExcludeTrailingPathDelimiter(Folder)));
      else
        AddOnce(Video, VideoSeen, C);
    }
  }
  Candidates->Clear();
  for (int I = 0; I < Dvd->GetCount(); ++I) {
    if (Trim(Dvd->Get(I)).empty()) continue;
    CurrentDvdName.clear();
    Detect("dvd", Dvd->Get(I));
  }
  CurrentDvdName.clear();
  for (int I = 0; I < Video->GetCount(); ++I)
    if (IsFileOverLimit(Video->Get(I))) Detect("vid", Video->Get(I));
  BatchRunning = false;
  Form1->b1->SetVisible(true);
  Form1->cbuttons->SetVisible(true);
  Form1->SetCaption(WindowTitle);
  Status("");
  UiSync = true;
  if (Host.ScanPanels) Host.ScanPanels(false);
}

void Detect(const String& Kind, const String& Item)
{
  Form1->b1->SetVisible(false);
  CurrentDvdName.clear();
  if (!NotInQueue(Item, Kind, Form1->StringGrid1)) return;
  WaitForTool();
  PlaybackMode = false;
  if (Kind == "dvd") {
    if (ScanHost().Identify)
      ScanHost().Identify(Kind, Item);
    else
      ScanDvd(Item, DvdVolumeName(Item));
  } else if (Kind == "vid") {
    if (FileInUse(Item)) return;
    if (ScanHost().Identify)
      ScanHost().Identify(Kind, Item);
    else
      DetectFile(Item);
  }
}
