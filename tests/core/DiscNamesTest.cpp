// Disc drives seen through a fake volume table: volume names from disc labels, DVD drive
// detection, the free-space label of a drive letter and the queue test for titles.
#include <gtest/gtest.h>

#include <filesystem>

#include "RunnerTestSupport.h"
#include "core/MainForm.h"
#include "core/SourceRecognition.h"
#include "core/qv_functions.h"
#include "tests/platform/os/VolumeFakeTree.h"

namespace {

class DiscNames : public TVolumeTreeTest {
protected:
  void SetUp() override
  {
    TVolumeTreeTest::SetUp();
    runnertest::EnsureHeadlessDisplay();
    SetMessageClock(nullptr);
    Form = new TForm1(nullptr);
  }
  void TearDown() override
  {
    delete Form;
    TVolumeTreeTest::TearDown();
  }
  TForm1* Form = nullptr;
};

TEST_F(DiscNames, VolumeNamesComeFromTheDiscLabel)
{
  InsertDisc("BAD/../NAME\x01X");
  const struct {
    std::string Path;
    const char* Expected;
  } Cases[] = {
      {"D:", "My Movie"},
      {"D:\\", "My Movie"},
      {Dir + "m/disc", "My Movie"},
      {Dir + "m/disc/", "My Movie"},
      {"E:\\", "Bad Name X"},  // a label never carries a separator into a name
      {Dir + "m/data", "Data"},  // no label: the mount point's name
  };
  for (const auto& C : Cases) EXPECT_EQ(DvdVolumeName(C.Path), C.Expected) << C.Path;
  RemoveDisc();
  EXPECT_EQ(DvdVolumeName("E:"), "E:");  // no disc, no label: the path's own name
  InsertDisc("TRANSFORMERS_VANILLA");
  EXPECT_EQ(DvdVolumeName("E:"), "Transformers Vanilla*");
}

TEST_F(DiscNames, DvdDriveNeedsAnOpticalDriveWithIfoFiles)
{
  EXPECT_FALSE(IsDvdDrive(Dir + "m/disc"));
  std::filesystem::create_directories(Dir + "m/disc/VIDEO_TS");
  WriteBytes(Dir + "m/disc/VIDEO_TS/VIDEO_TS.IFO", "x");
  std::filesystem::create_directories(Dir + "m/data/VIDEO_TS");
  WriteBytes(Dir + "m/data/VIDEO_TS/VIDEO_TS.IFO", "x");
  EXPECT_TRUE(IsDvdDrive(Dir + "m/disc"));
  EXPECT_TRUE(IsDvdDrive(Dir + "m/disc*"));
  EXPECT_TRUE(IsDvdDrive("D:\\"));
  EXPECT_FALSE(IsDvdDrive(Dir + "m/data"));  // a fixed disk
  EXPECT_TRUE(FolderHasIfo(Dir + "m/data"));
  EXPECT_EQ(Form->filelist3->GetItems()->GetCount(), 0);
}

TEST_F(DiscNames, FreeSpaceLabelOfDriveLetters)
{
  String Text;
  ASSERT_TRUE(DriveFreeSpaceText("F:\\films", Text));
  EXPECT_EQ(Text.rfind("Drive F: ", 0), 0u) << Text;
  ASSERT_TRUE(DriveFreeSpaceText(Dir + "m/data/sub", Text));
  EXPECT_EQ(Text.rfind("Drive F: ", 0), 0u) << Text;
  ASSERT_TRUE(DriveFreeSpaceText("E:\\", Text));  // an optical drive without a disc
  EXPECT_EQ(Text, "E Drive not present");
  EXPECT_TRUE(DriveReady('F'));
  EXPECT_FALSE(DriveReady('E'));
}

TEST_F(DiscNames, QueuedTitlesMatchByPathAndVolumeName)
{
  TStringGrid* Q = Form->dvdgrid;  // any grid with the source-row columns
  Q->SetColCount(SourceRowColCount);
  Q->SetRowCount(2);
  Q->SetCells(scSourcePath, 1, "D:\\");
  Q->SetCells(scName, 1, "My Movie_1");
  EXPECT_FALSE(NotInQueue("D:\\", "dvd", Q));
  EXPECT_FALSE(NotInQueue("d:\\", "dvd", Q));
  Q->SetCells(scName, 1, "Other Disc_1");  // the disc in the drive changed
  EXPECT_TRUE(NotInQueue("D:\\", "dvd", Q));
}

}  // namespace
