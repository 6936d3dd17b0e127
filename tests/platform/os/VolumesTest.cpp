#include "platform/os/Volumes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/os/DiscWatch.h"
#include "platform/os/Drives.h"
#include "platform/os/Eject.h"
#include "tests/platform/os/VolumeFakeTree.h"

namespace {

// A UDF descriptor tag with its checksum.
void PutTag(std::string& Image, std::size_t Sector, int Id)
{
  char* tag = &Image[Sector * 2048];
  tag[0] = static_cast<char>(Id);
  tag[1] = 0;
  tag[2] = 2;  // descriptor version
  unsigned sum = 0;
  for (int i = 0; i < 16; ++i)
    if (i != 4) sum += static_cast<unsigned char>(tag[i]);
  tag[4] = static_cast<char>(sum & 0xFF);
}

// An image with an ISO 9660 name and a UDF logical volume name (8-bit dstring).
std::string UdfImage(const std::string& IsoLabel, const std::string& UdfLabel)
{
  std::string image = IsoImage(IsoLabel);
  image.resize(260 * 2048, '\0');
  // Anchor at 256: main sequence of 2 sectors at 257.
  image[256 * 2048 + 16] = static_cast<char>(2 * 2048 & 0xFF);
  image[256 * 2048 + 17] = static_cast<char>((2 * 2048) >> 8);
  image[256 * 2048 + 20] = static_cast<char>(257);
  image[256 * 2048 + 21] = static_cast<char>(257 >> 8);
  PutTag(image, 256, 2);
  std::size_t field = 257 * 2048 + 84;
  image[field] = 8;
  image.replace(field + 1, UdfLabel.size(), UdfLabel);
  image[field + 127] = static_cast<char>(UdfLabel.size() + 1);
  PutTag(image, 257, 6);
  PutTag(image, 258, 8);
  return image;
}

class TVolumeTableTest : public TVolumeTreeTest {};

TEST_F(TVolumeTableTest, ListsUserVolumesWithTypesLabelsAndLetters)
{
  Volumes().Refresh();
  struct TCase {
    char Letter;
    std::string MountPoint;
    UINT Type;
    bool Media;
    std::string Label;
    bool CaseSensitive;
  };
  const std::vector<TCase> expected = {
      {'C', "/", DRIVE_FIXED, true, "", true},
      {'D', Dir + "m/disc", DRIVE_CDROM, true, "MY_MOVIE", false},
      {'E', "", DRIVE_CDROM, false, "", false},
      {'F', Dir + "m/data", DRIVE_FIXED, true, "", true},
      {'G', Dir + "m/nfs", DRIVE_REMOTE, true, "", true},
      {'H', Dir + "m/ram", DRIVE_RAMDISK, true, "", true},
      {'I', Dir + "m/usb stick", DRIVE_REMOVABLE, true, "USB STICK", false},
  };
  const std::vector<TVolume> table = Volumes().Snapshot();
  ASSERT_EQ(table.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].Letter);
    EXPECT_EQ(table[i].Letter, expected[i].Letter);
    EXPECT_EQ(table[i].MountPoint, expected[i].MountPoint);
    EXPECT_EQ(table[i].DriveType, expected[i].Type);
    EXPECT_EQ(table[i].HasMedia, expected[i].Media);
    EXPECT_EQ(table[i].Label, expected[i].Label);
    EXPECT_EQ(table[i].CaseSensitive, expected[i].CaseSensitive);
  }
  EXPECT_EQ(table[1].Device, Root + "dev/sr0");
  EXPECT_EQ(table[2].Device, Root + "dev/sr1");
  EXPECT_EQ(GetLogicalDrives(), 0x1FCu);  // C to I
}

TEST_F(TVolumeTableTest, DriveTypeOfRoots)
{
  const struct {
    std::string Root;
    UINT Type;
  } cases[] = {
      {"C:\\", DRIVE_FIXED},          {"d:", DRIVE_CDROM},          {"E:/", DRIVE_CDROM},
      {Dir + "m/usb stick/", DRIVE_REMOVABLE}, {"G:\\", DRIVE_REMOTE}, {"H:\\", DRIVE_RAMDISK},
      {"Q:\\", DRIVE_NO_ROOT_DIR},    {Dir + "m/data/sub", DRIVE_NO_ROOT_DIR}, {"D:\\VIDEO_TS", DRIVE_NO_ROOT_DIR},
      {Dir + "m/bind", DRIVE_NO_ROOT_DIR},
  };
  for (const auto& c : cases) EXPECT_EQ(GetDriveTypeA(c.Root.c_str()), c.Type) << c.Root;
}

TEST_F(TVolumeTableTest, VolumeInformationOfDiscsAndErrors)
{
  char label[64], fs[16];
  DWORD serial = 0, maxName = 0, flags = 0;
  ASSERT_TRUE(GetVolumeInformationA("D:\\", label, sizeof label, &serial, &maxName, &flags, fs, sizeof fs));
  EXPECT_STREQ(label, "MY_MOVIE");
  EXPECT_STREQ(fs, "iso9660");
  EXPECT_NE(serial, 0u);
  EXPECT_EQ(flags & FS_CASE_SENSITIVE, 0u);
  EXPECT_NE(flags & FILE_READ_ONLY_VOLUME, 0u);
  ASSERT_TRUE(GetVolumeInformationA((Dir + "m/data/").c_str(), label, sizeof label, nullptr, nullptr, &flags, fs, sizeof fs));
  EXPECT_STREQ(fs, "ext4");
  EXPECT_NE(flags & FS_CASE_SENSITIVE, 0u);

  const struct {
    std::string Root;
    DWORD LabelSize;
    DWORD Error;
  } failures[] = {
      {"E:\\", 64, ERROR_NOT_READY},                 // an optical drive without a disc
      {Dir + "m/data/sub", 64, ERROR_DIR_NOT_ROOT},  // a folder, not a root
      {"Q:\\", 64, 3},                               // no such drive
      {"D:\\", 8, ERROR_INSUFFICIENT_BUFFER},        // "MY_MOVIE" and its zero need 9 bytes
  };
  for (const auto& f : failures) {
    SetLastError(0);
    EXPECT_FALSE(GetVolumeInformationA(f.Root.c_str(), label, f.LabelSize, nullptr, nullptr, nullptr, nullptr, 0)) << f.Root;
    EXPECT_EQ(GetLastError(), f.Error) << f.Root;
  }
}

TEST_F(TVolumeTableTest, FreeSpaceNetworkNamesAndDiskSize)
{
  ULARGE_INTEGER available{}, total{}, free{};
  ASSERT_TRUE(GetDiskFreeSpaceExA((Dir + "m/data/sub").c_str(), &available, &total, &free));
  EXPECT_GT(total.QuadPart, 0u);
  EXPECT_LE(available.QuadPart, free.QuadPart);
  EXPECT_EQ(DiskSize('F' - 'A' + 1), static_cast<Int64>(total.QuadPart));
  EXPECT_EQ(DiskSize('E' - 'A' + 1), -1);  // no disc
  EXPECT_EQ(DiskFree('Q' - 'A' + 1), -1);  // no drive
  EXPECT_EQ(DiskFree(27), -1);
  EXPECT_FALSE(GetDiskFreeSpaceExA("E:\\", &available, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_NOT_READY);

  char remote[64];
  DWORD length = sizeof remote;
  EXPECT_EQ(WNetGetConnectionA("G:", remote, &length), NO_ERROR);
  EXPECT_STREQ(remote, "server:/export");
  length = 4;
  EXPECT_EQ(WNetGetConnectionA("g:", remote, &length), ERROR_MORE_DATA);
  EXPECT_EQ(length, 15u);
  length = sizeof remote;
  EXPECT_EQ(WNetGetConnectionA("F:", remote, &length), ERROR_NOT_CONNECTED);
  EXPECT_EQ(WNetGetConnectionA("Q:", remote, &length), ERROR_BAD_DEVICE);
}

TEST_F(TVolumeTableTest, DiscLabelsOfImages)
{
  const struct {
    std::string Image;
    bool Found;
    std::string Label;
    std::string FileSystem;
  } cases[] = {
      {IsoImage("SUMMER_2024"), true, "SUMMER_2024", "iso9660"},
      {UdfImage("SUMMER", "Summer Holiday 2024"), true, "Summer Holiday 2024", "udf"},
      {IsoImage(""), true, "", "iso9660"},
      {IsoImage(std::string("ABC\0DEF", 7)), true, "ABC", "iso9660"},  // a zero ends the name
      {IsoImage("CAF\xC9\x01"), true, "CAF\xC3\x89_", "iso9660"},     // Latin-1, control characters

      {std::string(40000, 'x'), false, "", ""},  // not a disc image
      {std::string(100, '\0'), false, "", ""},   // too short to hold a descriptor
  };
  for (const auto& c : cases) {
    WriteBytes(Dir + "image.iso", c.Image);
    std::string label = "stale", fs;
    DWORD serial = 1;
    EXPECT_EQ(ReadDiscLabel(Dir + "image.iso", label, serial, fs), c.Found) << c.Label;
    EXPECT_EQ(label, c.Label);
    EXPECT_EQ(fs, c.FileSystem);
  }
  std::string label, fs;
  DWORD serial = 0;
  EXPECT_FALSE(ReadDiscLabel(Dir + "missing.iso", label, serial, fs));
}

// A label may become part of a file name or a tool's argument: it carries no separators,
// quotes or control characters, wherever it was read.
TEST_F(TVolumeTableTest, LabelsLoseSeparatorsQuotesAndControlCharacters)
{
  const struct {
    std::string Image;
    std::string Label;
  } cases[] = {
      {IsoImage("A\"B"), "A_B"},
      {IsoImage("../../ETC"), ".._.._ETC"},
      {IsoImage("C:\\WIN"), "C:_WIN"},
      {IsoImage("X\x7FY"), "X_Y"},
      {UdfImage("ISO", "two\nlines\tand \"quotes\""), "two_lines_and _quotes_"},
      {UdfImage("ISO", "a/b\\c"), "a_b_c"},
      {UdfImage("ISO", "Caf\xE9 -o x"), "Caf\xC3\xA9 -o x"},  // letters, blanks and dashes stay
  };
  for (const auto& c : cases) {
    WriteBytes(Dir + "image.iso", c.Image);
    std::string label, fs;
    DWORD serial = 0;
    ASSERT_TRUE(ReadDiscLabel(Dir + "image.iso", label, serial, fs)) << c.Label;
    EXPECT_EQ(label, c.Label);
  }
  // A label from the udev links, escapes decoded: the stick in I.
  ASSERT_EQ(unlink((Root + "dev/disk/by-label/USB\\x20STICK").c_str()), 0);
  ASSERT_EQ(symlink("../../sdb1", (Root + "dev/disk/by-label/A\\x22B\\x2fC\\x5cD\\x0aE").c_str()), 0);
  Volumes().SetRoot(Root);
  Volumes().Refresh();
  TVolume stick;
  ASSERT_TRUE(Volumes().FindLetter('I', stick));
  EXPECT_EQ(stick.Label, "A_B_C_D_E");
  // And a disc put into E.
  InsertDisc("NEW\"/DISC");
  Volumes().Refresh();
  TVolume disc;
  ASSERT_TRUE(Volumes().FindLetter('E', disc));
  EXPECT_EQ(disc.Label, "NEW__DISC");
}

TEST_F(TVolumeTableTest, WatchTellsRemovalsThenArrivalsBetweenPolls)
{
  TDiscWatch watch;
  std::vector<std::pair<WPARAM, DEV_BROADCAST_VOLUME>> events;
  watch.OnDeviceChange = [&](WPARAM Event, const DEV_BROADCAST_VOLUME& Volume) { events.push_back({Event, Volume}); };
  watch.Poll();
  EXPECT_TRUE(events.empty());  // the first poll only learns the state

  WriteMountTable(false);  // the USB stick goes
  InsertDisc("HOLIDAY");   // a disc goes into E
  watch.Poll();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].first, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_EQ(events[0].second.dbcv_unitmask, 1u << ('I' - 'A'));
  EXPECT_EQ(events[0].second.dbcv_flags, 0);
  EXPECT_EQ(events[0].second.dbcv_devicetype, DBT_DEVTYP_VOLUME);
  EXPECT_EQ(events[1].first, DBT_DEVICEARRIVAL);
  EXPECT_EQ(events[1].second.dbcv_unitmask, 1u << ('E' - 'A'));
  EXPECT_EQ(events[1].second.dbcv_flags, DBTF_MEDIA);

  // The disc in E is readable without being mounted; the drive keeps its letter.
  char label[64];
  ASSERT_TRUE(GetVolumeInformationA("E:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_STREQ(label, "HOLIDAY");
  EXPECT_EQ(DiskSize('E' - 'A' + 1), -1);  // nothing mounted to count

  events.clear();
  watch.Poll();
  EXPECT_TRUE(events.empty());  // no change, no news

  RemoveDisc();
  WriteMountTable(true);
  watch.Poll();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].first, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_EQ(events[0].second.dbcv_unitmask, 1u << ('E' - 'A'));
  EXPECT_EQ(events[1].first, DBT_DEVICEARRIVAL);
  EXPECT_EQ(events[1].second.dbcv_unitmask, 1u << ('I' - 'A'));
}

TEST_F(TVolumeTableTest, WatchThreadPollsByItself)
{
  std::mutex lock;
  std::condition_variable changed;
  std::vector<WPARAM> events;
  TDiscWatch watch;
  watch.OnDeviceChange = [&](WPARAM Event, const DEV_BROADCAST_VOLUME&) {
    std::lock_guard<std::mutex> guard(lock);
    events.push_back(Event);
    changed.notify_all();
  };
  watch.Poll();  // learn the state first, so the thread sees only the change
  watch.Start(10);
  InsertDisc("HOLIDAY");
  std::unique_lock<std::mutex> guard(lock);
  ASSERT_TRUE(changed.wait_for(guard, std::chrono::seconds(5), [&] { return !events.empty(); }));
  EXPECT_EQ(events[0], DBT_DEVICEARRIVAL);
  guard.unlock();
  watch.Stop();
}

TEST_F(TVolumeTableTest, DoorCommandsThroughTheMediaControlInterface)
{
  InsertDisc("HOLIDAY");
  MCI_OPEN_PARMSA open;
  open.lpstrDeviceType = "CDAudio";
  open.lpstrElementName = "F:\\";  // a hard disk
  EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)),
            MCIERR_INVALID_DEVICE_NAME);
  open.lpstrElementName = "E:\\";
  ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)), 0u);
  EXPECT_NE(open.wDeviceID, 0u);
  // The fake drive is an image file, so the door request fails as a hardware error would.
  MCI_SET_PARMS set;
  EXPECT_EQ(mciSendCommandA(open.wDeviceID, MCI_SET, MCI_SET_DOOR_OPEN, reinterpret_cast<DWORD_PTR>(&set)), MCIERR_HARDWARE);
  EXPECT_FALSE(EjectMedia("E:\\"));
  EXPECT_FALSE(EjectMedia(Dir + "m/data"));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_DRIVE);
  MCI_GENERIC_PARMS generic;
  EXPECT_EQ(mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, reinterpret_cast<DWORD_PTR>(&generic)), 0u);
  EXPECT_EQ(mciSendCommandA(open.wDeviceID, MCI_CLOSE, 0, reinterpret_cast<DWORD_PTR>(&generic)), MCIERR_INVALID_DEVICE_ID);
  EXPECT_EQ(mciSendCommandA(open.wDeviceID, MCI_SET, MCI_SET_DOOR_OPEN, reinterpret_cast<DWORD_PTR>(&set)),
            MCIERR_INVALID_DEVICE_ID);
}

TEST_F(TVolumeTableTest, KnownVolumesKeepTheirLettersWhenOthersArrive)
{
  Volumes().Refresh();
  // A new mount sorts before the known ones but takes the lowest free letter instead.
  std::filesystem::create_directories(Dir + "m/aaa");
  std::string table = ReadBytes(Root + "proc/self/mountinfo");
  table += "29 20 8:2 / " + Dir + "m/aaa rw - ext4 /dev/sda2 rw\n";
  WriteBytes(Root + "proc/self/mountinfo", table);
  Volumes().Refresh();
  TVolume volume;
  ASSERT_TRUE(Volumes().FindLetter('J', volume));
  EXPECT_EQ(volume.MountPoint, Dir + "m/aaa");
  ASSERT_TRUE(Volumes().FindLetter('F', volume));
  EXPECT_EQ(volume.MountPoint, Dir + "m/data");
}

TEST_F(TVolumeTableTest, DamagedMountTableLinesAreSkipped)
{
  WriteBytes(Root + "proc/self/mountinfo",
             "garbage\n"
             "1 2 3\n"
             "30 20 8:2 / relative/path rw - ext4 /dev/sda2 rw\n"
             "31 20 8:2 / " + Dir + "m/data rw no-separator ext4 /dev/sda2 rw\n"
             "20 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
  Volumes().Refresh();
  const std::vector<TVolume> table = Volumes().Snapshot();
  ASSERT_EQ(table.size(), 3u);  // "/" and the two optical drives
  EXPECT_EQ(table[0].MountPoint, "/");
}

}  // namespace

// A mount table that writes a mount point with trailing "/" still names one folder, found as
// the volume's root either way (the fuzzer found the lookup missing it).
TEST_F(TVolumeTableTest, MountPointsWithTrailingSlashesAreFoundAsRoots)
{
  std::filesystem::create_directories(Dir + "m/trail");
  std::string table = ReadBytes(Root + "proc/self/mountinfo");
  table += "31 20 8:4 / " + Dir + "m/trail// rw - ext4 /dev/sda4 rw\n";
  WriteBytes(Root + "proc/self/mountinfo", table);
  Volumes().Refresh();
  for (const std::string& path : {Dir + "m/trail", Dir + "m/trail/", Dir + "m/trail//"}) {
    TVolume volume;
    ASSERT_TRUE(Volumes().FindRoot(path, volume)) << path;
    EXPECT_EQ(volume.MountPoint, Dir + "m/trail");
  }
}

// A drive or an unmount that does not answer: the caller gets ERROR_TIMEOUT after the time
// limit, and its pump keeps running meanwhile.
TEST_F(TVolumeTableTest, EjectGivesUpAfterItsTimeLimitAndPumpsMeanwhile)
{
  std::filesystem::create_directories(Dir + "bin");
  WriteBytes(Dir + "bin/udisksctl", "#!/bin/sh\nsleep 3\n");
  WriteBytes(Dir + "bin/umount", "#!/bin/sh\nexit 1\n");
  chmod((Dir + "bin/udisksctl").c_str(), 0755);
  chmod((Dir + "bin/umount").c_str(), 0755);
  const char* path = std::getenv("PATH");
  const std::string oldPath = path ? path : "";
  setenv("PATH", (Dir + "bin:" + oldPath).c_str(), 1);
  int pumped = 0;
  SetEjectTimeLimit(300);
  SetEjectWaitPump([&] { ++pumped; });
  const auto start = std::chrono::steady_clock::now();
  SetLastError(0);
  EXPECT_FALSE(EjectMedia("D:\\"));  // mounted: the hanging unmount comes first
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);
  EXPECT_GE(took, std::chrono::milliseconds(300));
  EXPECT_LT(took, std::chrono::milliseconds(2500));
  EXPECT_GE(pumped, 5);
  SetEjectWaitPump(nullptr);
  SetEjectTimeLimit(EjectDefaultTimeLimitMs);
  setenv("PATH", oldPath.c_str(), 1);
  // An answer within the limit is the eject's own (the fake drive is an image file).
  InsertDisc("HOLIDAY");
  EXPECT_FALSE(EjectMedia("E:\\"));
  EXPECT_NE(GetLastError(), ERROR_TIMEOUT);
}
