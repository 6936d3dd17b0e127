// The mount table reader (the volume table over a fake root whose mount table is the input)
// and the disc label reader (the input laid out as a disc image: its first 2 KiB as the ISO 9660
// volume descriptor, the rest from the UDF anchor's sector on). Labels must come out clean.
// Runs as an unprivileged user (65534) when started as root: the mount table names devices,
// which the reader opens. Its corpus and artifact folders must then be writable for that user.
// Seeds: fuzz/seeds/mounttable (a mount table, an ISO 9660 and a UDF image); run with
// -max_len=9000 so that the UDF descriptors fit.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/os/Volumes.h"

namespace {

std::string Root;

void WriteFile(const std::string& Name, const char* Data, std::size_t Size)
{
  std::ofstream(Name, std::ios::binary | std::ios::trunc).write(Data, static_cast<std::streamsize>(Size));
}

void CheckLabel(const String& Label)
{
  for (char C : Label) {
    const auto U = static_cast<unsigned char>(C);
    if (U < 0x20 || U == 0x7F || C == '"' || C == '/' || C == '\\') std::abort();
  }
}

}  // namespace

extern "C" void QvFuzzSetUp()
{
  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::abort();
  char Folder[] = "/tmp/qv-mount-fuzz-XXXXXX";
  if (!mkdtemp(Folder)) std::abort();
  Root = std::string(Folder) + "/";
  for (const char* Dir : {"proc", "proc/self", "sys", "sys/block", "dev", "dev/disk", "dev/disk/by-label"})
    mkdir((Root + Dir).c_str(), 0755);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const char* Text = reinterpret_cast<const char*>(Data);
  WriteFile(Root + "proc/self/mountinfo", Text, Size);
  TVolumeTable Table(Root);
  Table.Refresh();
  for (const TVolume& Volume : Table.Snapshot()) {
    CheckLabel(Volume.Label);
    TVolume Found;
    if (!Volume.MountPoint.empty() && !Table.FindRoot(Volume.MountPoint, Found)) std::abort();
  }

  // The image is written sparse: only the two parts of the input are data.
  std::string Descriptor(Text, Size < 2048 ? Size : 2048);
  std::string Rest = Size > 2048 ? std::string(Text + 2048, Size - 2048) : std::string();
  // Inputs of odd length get valid descriptor tag checksums, so that mutated UDF descriptors
  // get past the checksum and reach the readers behind it.
  if (Size & 1)
    for (std::size_t At = 0; At + 16 <= Rest.size(); At += 2048) {
      unsigned Sum = 0;
      for (int I = 0; I < 16; ++I)
        if (I != 4) Sum += static_cast<unsigned char>(Rest[At + I]);
      Rest[At + 4] = static_cast<char>(Sum & 0xFF);
    }
  const int Fd = open((Root + "disc.iso").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (Fd < 0) std::abort();
  bool Written = pwrite(Fd, Descriptor.data(), Descriptor.size(), 16 * 2048) == static_cast<ssize_t>(Descriptor.size());
  if (!Rest.empty())
    Written = Written && pwrite(Fd, Rest.data(), Rest.size(), 256 * 2048) == static_cast<ssize_t>(Rest.size());
  close(Fd);
  if (!Written) std::abort();
  String Label, FileSystem;
  DWORD Serial = 0;
  if (ReadDiscLabel(Root + "disc.iso", Label, Serial, FileSystem)) CheckLabel(Label);
  else if (!Label.empty()) std::abort();
  return 0;
}
