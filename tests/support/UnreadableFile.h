// A file that is there but cannot be read, for tests of what the program does with one.
//
// For an ordinary user a file of mode 000 is such a file. Root reads it anyway, through the
// capabilities that override file permissions; while a TUnreadableFile lives, the calling thread
// runs without those two capabilities in its effective set (they stay permitted and come back
// when it ends), so the mode holds for root too. Usable() is false (with the reason in Why) when
// neither works; the test then skips.
#pragma once

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace testsupport {

class TUnreadableFile {
public:
  explicit TUnreadableFile(const std::string& Path) : FPath(Path)
  {
    if (chmod(Path.c_str(), 0) != 0) {
      Why = "chmod: " + std::string(strerror(errno));
      return;
    }
    if (geteuid() == 0) {
      if (!Get(FSaved)) return;
      __user_cap_data_struct Less[2];
      memcpy(Less, FSaved, sizeof(Less));
      for (int Cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) Less[Cap / 32].effective &= ~(1u << (Cap % 32));
      if (!Set(Less)) return;
      FRestore = true;
    }
    FILE* Probe = fopen(Path.c_str(), "rb");
    if (Probe) {
      fclose(Probe);
      Why = "the file can still be read";
      return;
    }
    FUsable = true;
  }
  ~TUnreadableFile()
  {
    if (FRestore) Set(FSaved);
    chmod(FPath.c_str(), 0644);
  }
  TUnreadableFile(const TUnreadableFile&) = delete;
  TUnreadableFile& operator=(const TUnreadableFile&) = delete;

  bool Usable() const { return FUsable; }
  std::string Why;

private:
  bool Get(__user_cap_data_struct* Data)
  {
    __user_cap_header_struct Header{_LINUX_CAPABILITY_VERSION_3, 0};
    if (syscall(SYS_capget, &Header, Data) == 0) return true;
    Why = "capget: " + std::string(strerror(errno));
    return false;
  }
  bool Set(__user_cap_data_struct* Data)
  {
    __user_cap_header_struct Header{_LINUX_CAPABILITY_VERSION_3, 0};
    if (syscall(SYS_capset, &Header, Data) == 0) return true;
    Why = "capset: " + std::string(strerror(errno));
    return false;
  }

  std::string FPath;
  __user_cap_data_struct FSaved[2]{};
  bool FRestore = false;
  bool FUsable = false;
};

}  // namespace testsupport
