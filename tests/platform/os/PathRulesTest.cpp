#include "platform/os/PathRules.h"

#include <gtest/gtest.h>

#include "tests/platform/os/VolumeFakeTree.h"

namespace {

class TPathRulesTest : public TVolumeTreeTest {};

TEST_F(TPathRulesTest, DriveRootsAndDrivesOfPaths)
{
  const struct {
    std::string Path;
    bool Root;
    char Drive;
  } cases[] = {
      {"D:\\", true, 'D'},
      {"d:", true, 'D'},
      {"E:/", true, 'E'},  // an optical drive without a disc is still a root
      {Dir + "m/disc", true, 'D'},
      {Dir + "m/disc/", true, 'D'},
      {Dir + "m/disc\\", false, 'C'},  // a name beside the mount point
      {Dir + "m/disc/VIDEO_TS", false, 'D'},
      {"D:\\VIDEO_TS", false, 'D'},
      {Dir + "m/data/sub/film.mkv", false, 'F'},
      {Dir + "m/usb stick", true, 'I'},
      {Dir + "m/bind", false, 'C'},  // a bind mount is no volume of its own
      {"/", true, 'C'},
      {"/etc/passwd", false, 'C'},
      {"Q:\\", false, 0},
      {"relative/path", false, 0},
      {"", false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsDriveRoot(c.Path), c.Root) << c.Path;
    EXPECT_EQ(DriveOf(c.Path), c.Drive) << c.Path;
  }
}

TEST_F(TPathRulesTest, VolumeLabelsOfRootsOnly)
{
  const struct {
    std::string Path;
    std::string Label;
  } cases[] = {
      {"D:\\", "MY_MOVIE"},
      {Dir + "m/disc/", "MY_MOVIE"},
      {Dir + "m/disc/VIDEO_TS", ""},  // not a root
      {"E:\\", ""},                    // no disc
      {"I:", "USB STICK"},
      {"Q:\\", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(VolumeLabel(c.Path), c.Label) << c.Path;
  InsertDisc("HOLIDAY");
  EXPECT_EQ(VolumeLabel("E:\\"), "HOLIDAY");
}

TEST_F(TPathRulesTest, DeviceTextsForThePlayer)
{
  InsertDisc("HOLIDAY");  // in E, not mounted: the player reads the device
  const struct {
    std::string Path;
    std::string Device;
    std::string TitlePart;
  } cases[] = {
      {"D:\\", "\"" + Dir + "m/disc\"", "\"" + Dir + "m/disc/VIDEO_TS\" "},
      {"*D:\\", "\"" + Dir + "m/disc\"", "\"" + Dir + "m/disc/VIDEO_TS\" "},
      {"\"" + Dir + "m/disc/\"", "\"" + Dir + "m/disc\"", "\"" + Dir + "m/disc/VIDEO_TS\" "},
      {"E:", "\"" + Root + "dev/sr1\"", "\"" + Root + "dev/sr1\" "},
      {"/home/ann/My DVD/", "\"/home/ann/My DVD\"", "\"/home/ann/My DVD\" "},
      {"/home/ann/film.iso", "\"/home/ann/film.iso\"", "\"/home/ann/film.iso\" "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DvdDeviceText(c.Path), c.Device) << c.Path;
    EXPECT_EQ(DvdTitleDevicePart(c.Path), c.TitlePart) << c.Path;
  }
}

TEST_F(TPathRulesTest, VideoTsEdits)
{
  const std::string disc = Dir + "m/disc";
  const struct {
    std::string Text;
    TVideoTsEdit Edit;
    std::string Result;
  } cases[] = {
      // The title scan's edit: the first one, wherever it is.
      {"-dvd-device \"" + disc + "/VIDEO_TS\"  dvdnav://3 ", vtFirst, "-dvd-device \"" + disc + "\"  dvdnav://3 "},
      {"-dvd-device D:\\VIDEO_TS  dvdnav://3 ", vtFirst, "-dvd-device D:  dvdnav://3 "},
      {"\"/a/VIDEO_TS\" \"/b/VIDEO_TS\"", vtFirst, "\"/a\" \"/b/VIDEO_TS\""},
      {"\"/VIDEO_TS\"", vtFirst, "\"/\""},  // the root keeps its "/"
      {"\"/a/video_ts\"", vtFirst, "\"/a/video_ts\""},
      // The conversion's edit: only after a drive root.
      {"x -dvd-device \"" + disc + "/VIDEO_TS\" dvdnav://1", vtAfterDriveRoot, "x -dvd-device \"" + disc + "\" dvdnav://1"},
      {"x -dvd-device \"/home/ann/DVD1/VIDEO_TS\" dvdnav://1", vtAfterDriveRoot,
       "x -dvd-device \"/home/ann/DVD1/VIDEO_TS\" dvdnav://1"},
      {"-dvd-device E:\\VIDEO_TS  dvdnav://2", vtAfterDriveRoot, "-dvd-device E:  dvdnav://2"},
      {"\"/home/ann/DVD1/VIDEO_TS\" \"" + disc + "\\VIDEO_TS\"", vtAfterDriveRoot,
       "\"/home/ann/DVD1/VIDEO_TS\" \"" + disc + "\""},
      // The scan's folder edit: any case, the rest of the path as it was.
      {"/Movies/Dvd1/video_ts/", vtFolderAnyCase, "/Movies/Dvd1/"},
      {" /Movies/Dvd1/Video_TS ", vtFolderAnyCase, "/Movies/Dvd1"},
      {"/Movies/Dvd1/", vtFolderAnyCase, "/Movies/Dvd1/"},
  };
  for (const auto& c : cases) EXPECT_EQ(StripVideoTs(c.Text, c.Edit), c.Result) << c.Text;
}

}  // namespace
