// A fake system tree for the volume table: a mount table, /sys/block entries, device nodes
// (disc images) and by-label links below a temporary folder. The mount points are real
// folders inside the temporary folder, so free-space queries work on them.
//
//   C  /                     ext4 on sda1
//   D  <dir>m/disc           optical drive sr0, mounted iso9660, label "MY_MOVIE"
//   E  (not mounted)         optical drive sr1, no disc until InsertDisc
//   F  <dir>m/data           ext4 on sda2 (fixed)
//   G  <dir>m/nfs            nfs4 "server:/export" (remote)
//   H  <dir>m/ram            tmpfs (RAM disk)
//   I  <dir>m/usb stick      vfat on sdb1, a removable disk, labelled "USB STICK" by udev
// plus entries that must not show: proc, /dev/shm, a bind mount of a sub-folder.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/os/Volumes.h"
#include "tests/support/TempDirTest.h"

// The 2048-byte ISO 9660 primary volume descriptor with a volume name, at sector 16 of an image.
inline std::string IsoImage(const std::string& Label)
{
  std::string image(18 * 2048, '\0');
  std::string pvd(2048, '\0');
  pvd[0] = 1;
  pvd.replace(1, 5, "CD001");
  pvd[6] = 1;
  std::string id = Label;
  id.resize(32, ' ');
  pvd.replace(40, 32, id);
  pvd.replace(8, 32, std::string(32, ' '));  // system identifier
  image.replace(16 * 2048, 2048, pvd);
  // Volume descriptor set terminator.
  image[17 * 2048] = static_cast<char>(255);
  image.replace(17 * 2048 + 1, 5, "CD001");
  image[17 * 2048 + 6] = 1;
  return image;
}

class TVolumeTreeTest : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    Root = Dir + "root/";
    for (const char* d : {"proc/self", "sys/block/sda/sda1", "sys/block/sda/sda2", "sys/block/sdb/sdb1", "sys/block/sr0",
                          "sys/block/sr1", "dev/disk/by-label"})
      std::filesystem::create_directories(Root + d);
    for (const char* m : {"m/disc", "m/data/sub", "m/nfs", "m/ram", "m/usb stick", "m/bind"})
      std::filesystem::create_directories(Dir + m);
    WriteBytes(Root + "sys/block/sda/dev", "8:0\n");
    WriteBytes(Root + "sys/block/sda/removable", "0\n");
    WriteBytes(Root + "sys/block/sda/sda1/dev", "8:1\n");
    WriteBytes(Root + "sys/block/sda/sda2/dev", "8:2\n");
    WriteBytes(Root + "sys/block/sdb/dev", "8:16\n");
    WriteBytes(Root + "sys/block/sdb/removable", "1\n");
    WriteBytes(Root + "sys/block/sdb/sdb1/dev", "8:17\n");
    WriteBytes(Root + "sys/block/sr0/dev", "11:0\n");
    WriteBytes(Root + "sys/block/sr0/removable", "1\n");
    WriteBytes(Root + "sys/block/sr1/dev", "11:1\n");
    WriteBytes(Root + "sys/block/sr1/removable", "1\n");
    WriteBytes(Root + "dev/sr0", IsoImage("MY_MOVIE"));
    symlink("../../sdb1", (Root + "dev/disk/by-label/USB\\x20STICK").c_str());
    WriteMountTable(true);
    Volumes().SetRoot(Root);
  }
  void TearDown() override
  {
    Volumes().SetRoot("/");
    TTempDirTest::TearDown();
  }

  void WriteMountTable(bool WithUsb)
  {
    std::string t;
    t += "20 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n";
    t += "21 20 0:5 / /proc rw - proc proc rw\n";
    t += "22 20 0:20 / /dev/shm rw - tmpfs tmpfs rw\n";
    t += "23 20 11:0 / " + Dir + "m/disc ro,nosuid - iso9660 /dev/sr0 ro\n";
    t += "24 20 8:2 / " + Dir + "m/data rw - ext4 /dev/sda2 rw\n";
    t += "25 20 0:40 / " + Dir + "m/nfs rw - nfs4 server:/export rw\n";
    t += "26 20 0:41 / " + Dir + "m/ram rw - tmpfs tmpfs rw\n";
    t += "27 20 8:2 /sub " + Dir + "m/bind rw - ext4 /dev/sda2 rw\n";
    if (WithUsb) t += "28 20 8:17 / " + Dir + "m/usb\\040stick rw - vfat /dev/sdb1 rw\n";
    WriteBytes(Root + "proc/self/mountinfo", t);
  }
  void InsertDisc(const std::string& Label) { WriteBytes(Root + "dev/sr1", IsoImage(Label)); }
  void RemoveDisc() { std::filesystem::remove(Root + "dev/sr1"); }

  std::string Root;
};
