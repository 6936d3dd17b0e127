// Discs reaching the intake: "Scan DVD(s)" over the drives of the volume table and the disc
// watch's arrival and removal, on a fake system tree (VolumeFakeTree.h): drive D holds the DVD
// "MY_MOVIE", drive E is an empty optical drive until a disc goes in.
#include "RunnerTestSupport.h"
#include "ScanTestSupport.h"
#include "tests/platform/os/VolumeFakeTree.h"

namespace {

std::vector<std::string> ItemsOf(TStrings* List)
{
  std::vector<std::string> Out;
  for (int I = 0; I < List->GetCount(); ++I) Out.push_back(List->Get(I));
  return Out;
}

class DiscIntake : public TVolumeTreeTest {
protected:
  void SetUp() override
  {
    TVolumeTreeTest::SetUp();
    runnertest::EnsureHeadlessDisplay();
    SetMessageClock(nullptr);
    ResetRunState();
    BatchRunning = false;
    Form = new TForm1(nullptr);
    History = new TForm3(nullptr);
    WorkFolder = Dir;
    ScanHost() = TScanHost();
    ScanHost().Identify = [this](const String& Kind, const String& Item) { Calls.push_back(Kind + " " + Item); };
    ScanHost().ShowHistoryPanel = [this](bool Visible) { PanelShown = Visible; };
    ScanHost().Sleep = [this](Cardinal Ms) { Slept += Ms; };
    std::filesystem::create_directories(Dir + "m/disc/VIDEO_TS");
    WriteBytes(Dir + "m/disc/VIDEO_TS/VTS_01_0.IFO", "ifo");
  }
  void TearDown() override
  {
    ScanHost() = TScanHost();
    delete History;
    delete Form;
    WorkFolder.clear();
    TVolumeTreeTest::TearDown();
  }

  // Drive E gets a disc with a DVD structure, mounted.
  void InsertMountedDvd(const std::string& Label)
  {
    InsertDisc(Label);
    std::filesystem::create_directories(Dir + "m/disc2/VIDEO_TS");
    WriteBytes(Dir + "m/disc2/VIDEO_TS/VTS_01_0.IFO", "ifo");
    WriteMountTable(true);
    WriteBytes(Root + "proc/self/mountinfo", ReadBytes(Root + "proc/self/mountinfo") + "29 20 11:1 / " + Dir +
                                                  "m/disc2 ro,nosuid - iso9660 /dev/sr1 ro\n");
  }

  std::vector<std::string> Pending() const { return ItemsOf(Form->ListBox1->GetItems()); }

  TForm1* Form = nullptr;
  TForm3* History = nullptr;
  std::vector<std::string> Calls;
  bool PanelShown = false;
  Cardinal Slept = 0;
};

TEST_F(DiscIntake, ScanDvdsQueuesTheReadyDiscOrSkipsAConvertedOne)
{
  bscanClick();
  EXPECT_EQ(Pending(), std::vector<std::string>{"D:\\"});
  EXPECT_EQ(Form->status->GetCaption(), "DVD: My Movie");
  EXPECT_TRUE(Form->ScanTimer->GetEnabled());
  EXPECT_FALSE(PanelShown);

  Form->ListBox1->GetItems()->Clear();
  Form->dq->SetCells(0, 1, "Apple iPod");
  Form->convertgrid->SetCells(9, 1, "Apple Ipod");
  Form->convertgrid->SetCells(57, 1, "My Movie");
  Add2FileList(1);
  ScanHost().SkipConverted = true;
  bscanClick();
  bscanClick();
  EXPECT_TRUE(Pending().empty());
  EXPECT_EQ(Form->status->GetCaption(), "My Movie skipped");
  EXPECT_EQ(ItemsOf(Form->skiplist->GetItems()), std::vector<std::string>{"*D:\\"});
  EXPECT_TRUE(PanelShown);

  // Back through "Add all": the "*" takes the disc past the history test to the title scan.
  AddAllSkippedClick();
  ScanTimerTimer();
  EXPECT_EQ(Calls, std::vector<std::string>{"dvd D:\\"});
  EXPECT_FALSE(BatchRunning);
}

TEST_F(DiscIntake, TheDiscWatchReportsArrivalAndRemovalToTheIntake)
{
  TDiscWatch Watch(Volumes());
  ConnectDiscWatch(Watch, [](std::function<void()> Call) { Call(); });
  Watch.Poll();  // learns the present drives
  TskSkinStringGrid* Q = Form->StringGrid1;
  Q->SetCells(2, 1, "New Disc - Title 1");
  Q->SetCells(21, 1, "E:\\");  // as the title scan leaves a disc's row
  Q->SetCells(22, 1, "-dvd-device \"" + Dir + "m/disc2/VIDEO_TS\" dvdnav://1 ");
  Q->SetCells(34, 1, "No");

  // Without "Monitor DVD's on insert" an arrival is not taken up.
  ScanHost().MonitorDiscs = false;
  InsertMountedDvd("NEW_DISC");
  Watch.Poll();
  EXPECT_TRUE(Pending().empty());

  RemoveDisc();
  WriteMountTable(true);
  Watch.Poll();
  EXPECT_EQ(Form->status->GetCaption(), "Drive E removed");

  ScanHost().MonitorDiscs = true;
  InsertMountedDvd("NEW_DISC");
  Watch.Poll();
  EXPECT_EQ(Slept, 2000u);
  EXPECT_EQ(Pending(), std::vector<std::string>{"E:\\"});
  EXPECT_EQ(Form->status->GetCaption(), "Drive New Disc added");
  EXPECT_EQ(Q->GetCells(34, 1), "Yes");
  EXPECT_TRUE(Form->ScanTimer->GetEnabled());

  EjectDone = false;
  RemoveDisc();
  WriteMountTable(true);
  Watch.Poll();
  EXPECT_TRUE(EjectDone);
  EXPECT_EQ(Form->status->GetCaption(), "Drive E removed");
  EXPECT_EQ(Q->GetCells(34, 1), "No");
  EXPECT_EQ(Pending(), std::vector<std::string>{""});
}

TEST_F(DiscIntake, AConvertedDiscIsSkippedOnInsertionUnlessItsRowsAreQueued)
{
  TDiscWatch Watch(Volumes());
  ConnectDiscWatch(Watch, [](std::function<void()> Call) { Call(); });
  Watch.Poll();
  ScanHost().MonitorDiscs = true;
  ScanHost().SkipConverted = true;
  Form->dq->SetCells(0, 1, "Apple iPod");
  Form->convertgrid->SetCells(9, 1, "Apple Ipod");
  Form->convertgrid->SetCells(57, 1, "New Disc");
  Add2FileList(1);
  InsertMountedDvd("NEW_DISC");
  Watch.Poll();
  EXPECT_EQ(Form->status->GetCaption(), "New Disc skipped");
  EXPECT_EQ(ItemsOf(Form->skiplist->GetItems()), std::vector<std::string>{"*E:\\"});
  EXPECT_TRUE(PanelShown);
  EXPECT_TRUE(Pending().empty());

  // Removed (its skip entry blanked) and inserted again with a queued row of that drive.
  RemoveDisc();
  WriteMountTable(true);
  Watch.Poll();
  EXPECT_EQ(ItemsOf(Form->skiplist->GetItems()), std::vector<std::string>{" "});
  Form->StringGrid1->SetCells(2, 1, "New Disc - Title 1");
  Form->StringGrid1->SetCells(21, 1, "E:\\");
  InsertMountedDvd("NEW_DISC");
  Watch.Poll();
  EXPECT_EQ(Form->status->GetCaption(), "Drive New Disc added");
  EXPECT_EQ(Form->StringGrid1->GetCells(34, 1), "Yes");
  EXPECT_EQ(Pending(), std::vector<std::string>{"E:\\"});
}

TEST_F(DiscIntake, TheMonitorTimerWakesTheScanOnlyForRememberedFolders)
{
  MonitorTimerTimer();
  EXPECT_FALSE(Form->ScanTimer->GetEnabled());
  ScanHost().RememberFolders = true;
  MonitorTimerTimer();
  EXPECT_TRUE(Form->ScanTimer->GetEnabled());
}

}  // namespace
