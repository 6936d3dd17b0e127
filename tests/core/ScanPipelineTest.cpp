// The intake paths and the scan timer's pipeline: what reaches ListBox1, what the tick drains,
// expands and hands to identification, what it skips, and that it always ends with empty work
// lists.
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "../support/FileWriterProcess.h"
#include "ScanTestSupport.h"
#include "core/SourceRow.h"
#include "core/ToolProcesses.h"

using namespace scantest;

namespace {

class ScanIntake : public TScanTest {};

TEST_F(ScanIntake, DroppedNamesJoinThePendingListAndTheStatusCountsThemAll)
{
  Pending()->Add("/old/one.avi");
  Pending()->Add("/old/two.avi");
  const std::string Long = "/" + std::string(4000, 'n') + ".mkv";  // far beyond 255 characters
  DropFiles({"/a.avi", "   ", "  /lead.avi", Long, "/b.avi", "/c.avi"});
  EXPECT_EQ(Items(Pending()), (std::vector<std::string>{"/old/one.avi", "/old/two.avi", "/a.avi", "  /lead.avi", Long,
                                                        "/b.avi", "/c.avi"}));
  EXPECT_EQ(Form->status->GetCaption(), "7 items added");
  EXPECT_TRUE(Form->ScanTimer->GetEnabled());
}

TEST_F(ScanIntake, AnEmptyDropChangesNothing)
{
  DropFiles({"", "  "});
  EXPECT_EQ(Pending()->GetCount(), 0);
  EXPECT_FALSE(Form->ScanTimer->GetEnabled());
  EXPECT_EQ(Form->status->GetCaption(), "");
}

struct TScriptedFiles : TAddFilesDialog {
  bool Ok = true;
  std::vector<String> Chosen;
  String Filter, Title, FileName, SeenDir;
  bool Execute(const String& F, const String& T, const String& N, std::vector<String>& Files) override
  {
    Filter = F;
    Title = T;
    FileName = N;
    SeenDir = InitialDir;
    if (Ok) Files = Chosen;
    return Ok;
  }
};
struct TScriptedFolder : TAddFolderDialog {
  bool Ok = true;
  String Chosen, Title, Start;
  bool Execute(const String& T, const String& S, String& Folder) override
  {
    Title = T;
    Start = S;
    if (Ok) Folder = Chosen;
    return Ok;
  }
};

TEST_F(ScanIntake, TheAddDialogsQueueWhatIsChosenAndCancelAddsNothing)
{
  TScriptedFiles Files;
  Files.InitialDir = "/start";
  Files.Chosen = {"/v/a.mkv", "/v/b.mkv"};
  OpenDialogFilter = "Video|*.avi";
  ScanHost().FilesDialog = &Files;
  Files.Ok = false;
  AddFilesClick();
  EXPECT_EQ(Pending()->GetCount(), 0);
  EXPECT_FALSE(Form->ScanTimer->GetEnabled());
  Files.Ok = true;
  AddFilesClick();
  EXPECT_EQ(Items(Pending()), (std::vector<std::string>{"/v/a.mkv", "/v/b.mkv"}));
  EXPECT_EQ(Files.Title, "Select File(s)");
  EXPECT_EQ(Files.FileName, "Filename");
  EXPECT_EQ(Files.Filter, "Video|*.avi");
  EXPECT_EQ(Files.SeenDir, "/start");
  EXPECT_TRUE(Form->ScanTimer->GetEnabled());

  TScriptedFolder Folder;
  Folder.Chosen = "//media/clips";
  ScanHost().FolderDialog = &Folder;
  ScanHost().DestinationFolder = [] { return String("/out/"); };
  AddFolderClick();
  EXPECT_EQ(Pending()->Get(2), "/media/clips/");
  EXPECT_EQ(Folder.Title, "Select folder containing video files");
  EXPECT_EQ(Folder.Start, "/out/");
  OpenDialogFilter.clear();
}

TEST_F(ScanIntake, TheCommandLineQueuesWithoutTheTimerAndASecondStartWithIt)
{
  AddCommandLineInputs({"/a.avi", "-b.mkv"});
  EXPECT_FALSE(Form->ScanTimer->GetEnabled());
  AddPendingInput("/c.avi");
  EXPECT_EQ(Items(Pending()), (std::vector<std::string>{"/a.avi", "-b.mkv", "/c.avi"}));
  EXPECT_TRUE(Form->ScanTimer->GetEnabled());
}

class ScanTick : public TScanTest {};

TEST_F(ScanTick, ABusyProgramLeavesTheTimerOnAndReAddsNothing)
{
  struct TCase {
    const char* Name;
    bool* Flag;
  } Cases[] = {{"converting", &Converting}, {"go", &GoBusy}, {"tool", &ToolRunning}, {"stop", &StopRequested}};
  ScanHost().RememberFolders = true;
  History->track->GetItems()->Add(Folder("kept/"));
  for (const auto& C : Cases) {
    Pending()->Clear();
    Pending()->Add("/x.avi");
    Form->ScanTimer->SetEnabled(true);
    *C.Flag = true;
    ScanTimerTimer();
    *C.Flag = false;
    EXPECT_EQ(Items(Pending()), std::vector<std::string>{"/x.avi"}) << C.Name;
    EXPECT_TRUE(Form->ScanTimer->GetEnabled()) << C.Name;
  }
  // A scan already running: the remembered folders are queued, nothing is scanned.
  BatchRunning = true;
  ScanTimerTimer();
  BatchRunning = false;
  EXPECT_EQ(Items(Pending()), (std::vector<std::string>{"/x.avi", Dir + "kept/"}));
  EXPECT_TRUE(Calls.empty());
}

TEST_F(ScanTick, FoldersExpandWholeFilesSortAndEveryKindGoesItsWay)
{
  const std::string Top = Folder("Clips/");
  File("Clips/b.mkv");
  File("Clips/notes.txt");
  File("Clips/deeper/c.AVI");
  File("Clips/deeper/odd.dat");    // in the video-extension list
  File("Clips/loose.vob");         // no DVD structure beside it
  File("Clips/small.iso");         // a disc image too small to be a DVD
  File("DVD/VIDEO_TS/VTS_01_0.IFO");
  const std::string Vob = File("DVD/VIDEO_TS/VTS_01_1.VOB");
  const std::string Single = File("a.mp4");
  ScanHost().RememberFolders = false;
  Pending()->Add(Top);
  Pending()->Add(Single);
  Pending()->Add(Single);  // twice: identified once
  Pending()->Add(Vob);
  Form->ScanTimer->SetEnabled(true);
  ScanTimerTimer();

  // Discs first, then the videos: those the file pass found, then the vob and image files that
  // turned out to be no DVD.
  EXPECT_EQ(Calls, (std::vector<std::string>{"dvd " + Dir + "DVD", "vid " + Dir + "a.mp4", "vid " + Dir + "Clips/b.mkv",
                                             "vid " + Dir + "Clips/deeper/c.AVI", "vid " + Dir + "Clips/deeper/odd.dat",
                                             "vid " + Dir + "Clips/loose.vob", "vid " + Dir + "Clips/small.iso"}));
  EXPECT_FALSE(Form->ScanTimer->GetEnabled());
  EXPECT_FALSE(BatchRunning);
  EXPECT_EQ(Pending()->GetCount(), 0);
  for (TListBox* L : {Form->filelist, Form->filelist2, Form->folderlist, Form->videobox, Form->dvdbox, Form->voblist})
    EXPECT_EQ(L->GetItems()->GetCount(), 0) << L->GetName();
}

TEST_F(ScanTick, KindsFollowTheExtensionListsAsTheUserEditedThem)
{
  TStrings* Video = Form->subVid->GetItems();
  Video->Delete(Video->IndexOf("dat"));
  Video->Add("xyz");
  Form->subISO->GetItems()->Add("nrg");
  Folder("In/");
  for (const char* F : {"In/a.xyz", "In/b.dat", "In/c.NRG", "In/d.Xyz", "In/e.mkv"}) File(F);
  ScanHost().RememberFolders = false;
  Pending()->Add(Dir + "In/");
  ScanTimerTimer();
  // A small disc image is a video; "dat" is no longer one; the extension's case does not count.
  EXPECT_EQ(Calls, (std::vector<std::string>{"vid " + Dir + "In/a.xyz", "vid " + Dir + "In/d.Xyz",
                                             "vid " + Dir + "In/e.mkv", "vid " + Dir + "In/c.NRG"}));
}

TEST_F(ScanTick, AddedFoldersAreRememberedUnlessTheyHoldADvd)
{
  ScanHost().RememberFolders = true;
  const std::string Plain = Folder("plain/");
  File("plain/a.mkv");
  const std::string Disc = Folder("disc/");
  File("disc/VIDEO_TS/VTS_01_0.IFO");
  Pending()->Add(Plain);
  Pending()->Add(Disc);
  ScanTimerTimer();
  EXPECT_EQ(Items(History->track->GetItems()), std::vector<std::string>{Plain});
  // The next tick queues the remembered folder again; the source is not queued twice by the
  // identification, which is not the pipeline's matter: it is asked again.
  Calls.clear();
  ScanTimerTimer();
  EXPECT_EQ(Calls, std::vector<std::string>{"vid " + Plain + "a.mkv"});
}

TEST_F(ScanTick, ConvertAutomaticallyPressesGoOnlyWithASourceToConvert)
{
  int Pressed = 0;
  ScanHost().ConvertAutomatically = true;
  ScanHost().Go = [&] { ++Pressed; };
  Pending()->Add(File("a.mkv"));
  ScanTimerTimer();
  EXPECT_EQ(Pressed, 0);
  Form->StringGrid1->SetCells(34, 1, "Yes");
  Pending()->Add(File("b.mkv"));
  ScanTimerTimer();
  EXPECT_EQ(Pressed, 1);
}

TEST_F(ScanTick, BadInputIsPassedOverAndTheScanFinishes)
{
  const std::string Top = Folder("big/");
  for (int I = 0; I < 10000; ++I) File("big/f" + std::to_string(I) + ".txt", "");
  File("big/z.mkv");
  File("big/new\nline.avi");
  File("big/bad\xff\xfe.avi");
  symlink((Dir + "big").c_str(), (Dir + "big/loop").c_str());
  const std::string Locked = Folder("big/locked/");
  File("big/locked/hidden.avi");
  chmod(Locked.c_str(), 0);
  const bool Unreadable = access(Locked.c_str(), R_OK) != 0;  // root reads it all the same
  Pending()->Add(Top);
  Pending()->Add(Dir + "missing.avi");
  ScanTimerTimer();
  chmod(Locked.c_str(), 0755);

  // Single files come before the folders' trees; a missing file is identification's to report.
  std::vector<std::string> Expected = {"vid " + Dir + "missing.avi", "vid " + Top + "bad\xff\xfe.avi", "vid " + Top + "new\nline.avi",
                                       "vid " + Top + "z.mkv"};
  if (!Unreadable) Expected.push_back("vid " + Top + "locked/hidden.avi");
  EXPECT_EQ(Calls, Expected);
  EXPECT_FALSE(BatchRunning);
  if (Unreadable) {
    const std::vector<std::string> Log = Items(Form->log->GetLines());
    ASSERT_EQ(Log.size(), 1u);
    EXPECT_EQ(Log[0], "The folder \"" + Locked + "\" can not be read and is skipped");
  }
}

TEST_F(ScanTick, TheDetectionStepPassesOverQueuedInUseAndSmallFiles)
{
  namespace fs = std::filesystem;
  struct TCase {
    const char* Name;
    bool IgnoreSizeCheck;  // "Ignore file-in-use check"
    std::uintmax_t Size;
    bool Queued, Written, Identified;
  };
  const TCase Cases[] = {
      {"New", true, 10, false, false, true},
      {"AlreadyQueued", true, 10, true, false, false},
      {"BeingWritten", true, 10, false, true, false},
      {"SmallWithTheSizeCheck", false, 1024000, false, false, false},
      {"LargeEnoughWithTheSizeCheck", false, 1024001, false, false, true},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Calls.clear();
    const std::string Path = File(std::string(C.Name) + ".avi", "");
    fs::resize_file(Path, C.Size);  // sparse
    Form->finuse->SetChecked(C.IgnoreSizeCheck);
    TskSkinStringGrid* Q = Form->StringGrid1;
    Q->SetCells(scSourcePath, 1, C.Queued ? LowerCase(Path) : String("/elsewhere.avi"));
    std::unique_ptr<TFileWriterProcess> Writer;
    if (C.Written) {
      Writer = std::make_unique<TFileWriterProcess>(Path);
      ASSERT_TRUE(Writer->Started());
    }
    Pending()->Add(Path);
    ScanTimerTimer();
    EXPECT_EQ(Calls, C.Identified ? std::vector<std::string>{"vid " + Path} : std::vector<std::string>{});
  }
}

TEST_F(ScanTick, TheSizeCheckReadsTheSizeOfExactlyTheNamedFile)
{
  namespace fs = std::filesystem;
  Form->finuse->SetChecked(false);
  // Names that a wildcard or case-blind search would confuse with a large neighbour.
  const std::pair<const char*, const char*> Pairs[] = {{"a.avi", "A.avi"}, {"b?.avi", "b!.avi"}, {"c*.avi", "c!.avi"}};
  const std::string Folder = this->Folder("pairs/");
  for (const auto& [Small, Large] : Pairs) {
    File(std::string("pairs/") + Small, "x");
    fs::resize_file(File(std::string("pairs/") + Large, ""), 2000000);
  }
  for (const auto& [Small, Large] : Pairs) {
    SCOPED_TRACE(Small);
    Calls.clear();
    Pending()->Add(Folder + Small);
    Pending()->Add(Folder + Large);
    ScanTimerTimer();
    EXPECT_EQ(Calls, std::vector<std::string>{"vid " + Folder + Large});
  }
}

class ScanSkipList : public TScanTest {};

TEST_F(ScanSkipList, ConvertedFilesGoToTheSkipListAndComeBackThroughItsButtons)
{
  const std::string Movie = File("Movie.avi");
  QueueDevice("Apple iPod");
  Converted("Apple Ipod", "movie.avi");
  ScanHost().SkipConverted = true;
  Pending()->Add(Movie);
  ScanTimerTimer();
  EXPECT_TRUE(Calls.empty());
  EXPECT_EQ(Items(Form->skiplist->GetItems()), std::vector<std::string>{Movie});
  EXPECT_TRUE(PanelShown);

  // "Add all": the entry comes back without a mark and meets the history again.
  AddAllSkippedClick();
  EXPECT_FALSE(PanelShown);
  EXPECT_EQ(Items(Pending()), std::vector<std::string>{Movie});
  ScanTimerTimer();
  EXPECT_TRUE(Calls.empty());
  EXPECT_EQ(Items(Form->skiplist->GetItems()), std::vector<std::string>{Movie});

  // "Add selected" blanks the entry; a "*" in front makes it a source whatever the history says.
  Form->skiplist->SetSelected(0, true);
  AddSelectedSkippedClick();
  EXPECT_EQ(Items(Form->skiplist->GetItems()), std::vector<std::string>{" "});
  EXPECT_TRUE(PanelShown);  // blanked entries count
  Pending()->Clear();
  Pending()->Add("*" + Movie);
  ScanTimerTimer();
  EXPECT_EQ(Calls, std::vector<std::string>{"vid " + Movie});
}

TEST_F(ScanSkipList, WithoutAWindowHookTheMainWindowsHistoryPanelFollowsTheSkipList)
{
  ScanHost().ShowHistoryPanel = nullptr;
  const std::string Movie = File("Movie.avi");
  QueueDevice("Apple iPod");
  Converted("Apple Ipod", "movie.avi");
  ScanHost().SkipConverted = true;
  Pending()->Add(Movie);
  ASSERT_FALSE(Form->history->GetVisible());
  ScanTimerTimer();
  EXPECT_EQ(Form->skiplist->GetParent(), Form->history);
  EXPECT_TRUE(Form->history->GetVisible());
  AddAllSkippedClick();
  EXPECT_FALSE(Form->history->GetVisible());
}

TEST_F(ScanSkipList, TheHistoryIsAskedForTheWholeFileName)
{
  QueueDevice("Apple iPod");
  ScanHost().SkipConverted = true;
  // Only the name converted before is skipped; a "\" is part of a name, not a folder.
  Converted("Apple Ipod", "back\\slash.avi");
  const struct {
    const char* Name;
    bool Skipped;
  } Cases[] = {{"back\\slash.avi", true}, {"slash.avi", false}, {"x\\back\\slash.avi", false}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Calls.clear();
    Form->skiplist->GetItems()->Clear();
    const std::string Path = File(C.Name);
    Pending()->Add(Path);
    ScanTimerTimer();
    EXPECT_EQ(Calls.empty(), C.Skipped);
    EXPECT_EQ(Form->skiplist->GetItems()->GetCount(), C.Skipped ? 1 : 0);
  }
}

TEST_F(ScanSkipList, WithoutTheOptionNothingIsSkipped)
{
  QueueDevice("Apple iPod");
  Converted("Apple Ipod", "movie.avi");
  Pending()->Add(File("movie.avi"));
  ScanTimerTimer();
  EXPECT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Form->skiplist->GetItems()->GetCount(), 0);
}

class ScanDiscs : public TScanTest {};

TEST_F(ScanDiscs, TheDriveOfAVolumeNotification)
{
  struct TCase {
    const char* Name;
    DWORD Mask;
    WORD Flags;
    char Letter;
  } Cases[] = {
      {"one drive", 1u << 3, DBTF_MEDIA, 'D'},
      {"highest of two", (1u << 3) | (1u << 5), DBTF_MEDIA, 'F'},
      {"bits beyond Z", (1u << 2) | (1u << 27), DBTF_MEDIA, 'C'},
      {"no media flag", 1u << 3, 0, 0},
      {"network", 1u << 3, DBTF_NET, 0},
  };
  for (const auto& C : Cases) {
    DEV_BROADCAST_VOLUME V;
    V.dbcv_unitmask = C.Mask;
    V.dbcv_flags = C.Flags;
    EXPECT_EQ(DriveFromUnitMask(V), C.Letter) << C.Name;
  }
}

TEST_F(ScanDiscs, RemovalMarksTheDiscsRowsAndBlanksItsEntries)
{
  TskSkinStringGrid* Q = Form->StringGrid1;
  Q->SetRowCount(3);
  Q->SetCells(22, 1, "-dvd-device \"E:\\\" dvd://1");
  Q->SetCells(34, 1, "Yes");
  Q->SetCells(22, 2, "/home/a.avi");
  Q->SetCells(34, 2, "Yes");
  Form->skiplist->GetItems()->Add("*E:\\");
  Form->skiplist->GetItems()->Add("/x.avi");
  Form->dvdbox->GetItems()->Add("e:\\");
  Pending()->Add("E:\\");
  Pending()->Add("/y.avi");
  EjectDone = false;
  DEV_BROADCAST_VOLUME V;
  V.dbcv_unitmask = 1u << 4;
  V.dbcv_flags = DBTF_MEDIA;
  WMDeviceChange(DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<const DEV_BROADCAST_HDR*>(&V));
  EXPECT_TRUE(EjectDone);
  EXPECT_EQ(Form->status->GetCaption(), "Drive E removed");
  EXPECT_EQ(Q->GetCells(34, 1), "No");
  EXPECT_EQ(Q->GetCells(34, 2), "Yes");
  EXPECT_EQ(Items(Form->skiplist->GetItems()), (std::vector<std::string>{" ", "/x.avi"}));
  EXPECT_EQ(Items(Form->dvdbox->GetItems()), std::vector<std::string>{""});
  EXPECT_EQ(Items(Pending()), (std::vector<std::string>{"", "/y.avi"}));

  // A stick (no media flag): its removal only sets EjectDone.
  EjectDone = false;
  Form->status->SetCaption("");
  V.dbcv_flags = 0;
  WMDeviceChange(DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<const DEV_BROADCAST_HDR*>(&V));
  EXPECT_TRUE(EjectDone);
  EXPECT_EQ(Form->status->GetCaption(), "");
  WMDeviceChange(DBT_DEVICEARRIVAL, reinterpret_cast<const DEV_BROADCAST_HDR*>(&V));
  EXPECT_EQ(Form->status->GetCaption(), "");
}

}  // namespace
