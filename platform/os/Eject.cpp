#include "platform/os/Eject.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <map>
#include <mutex>

#include "platform/os/Drives.h"
#include "platform/os/ShellSpawn.h"
#include "platform/os/Volumes.h"
#include "platform/rtl/Exceptions.h"

namespace {

// The optical drive of a root path or device node.
bool FindOpticalDrive(const String& Path, TVolume& Volume)
{
  Volumes().Refresh();
  if (Volumes().FindRoot(Path, Volume) && Volume.Optical) return true;
  for (const TVolume& v : Volumes().Snapshot()) {
    if (v.Optical && v.Device == Path) {
      Volume = v;
      return true;
    }
  }
  return false;
}

std::mutex DevicesLock;
std::map<MCIDEVICEID, String> OpenDevices;  // device id -> the drive's path as opened
MCIDEVICEID NextDevice = 1;

bool SameText(const char* A, const char* B)
{
  for (; *A && *B; ++A, ++B)
    if (std::tolower(static_cast<unsigned char>(*A)) != std::tolower(static_cast<unsigned char>(*B))) return false;
  return *A == *B;
}

}  // namespace

bool EjectMedia(const String& Path)
{
  TVolume volume;
  if (!FindOpticalDrive(Path, volume)) {
    SetLastError(ERROR_INVALID_DRIVE);
    return false;
  }
  if (!volume.MountPoint.empty()) {
    if (qvshell::SpawnAndWait({"udisksctl", "unmount", "--no-user-interaction", "-b", volume.Device}, "") != 0)
      qvshell::SpawnAndWait({"umount", volume.MountPoint}, "");
  }
  const int fd = open(volume.Device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    SetLastError(static_cast<std::uint32_t>(errno));
    return false;
  }
  const bool ok = ioctl(fd, CDROMEJECT, 0) == 0;
  const int error = errno;
  close(fd);
  if (!ok) {
    SetLastError(static_cast<std::uint32_t>(error));
    return false;
  }
  SetLastError(0);
  return true;
}

MCIERROR mciSendCommandA(MCIDEVICEID Device, UINT Message, DWORD_PTR Flags, DWORD_PTR Param)
{
  switch (Message) {
    case MCI_OPEN: {
      auto* parms = reinterpret_cast<MCI_OPEN_PARMSA*>(Param);
      if (!parms) return MCIERR_NULL_PARAMETER_BLOCK;
      TVolume volume;
      if (!(Flags & MCI_OPEN_TYPE) || !(Flags & MCI_OPEN_ELEMENT) || !parms->lpstrDeviceType ||
          !parms->lpstrElementName || !SameText(parms->lpstrDeviceType, "CDAudio") ||
          !FindOpticalDrive(parms->lpstrElementName, volume))
        return MCIERR_INVALID_DEVICE_NAME;
      std::lock_guard<std::mutex> lock(DevicesLock);
      parms->wDeviceID = NextDevice++;
      OpenDevices[parms->wDeviceID] = parms->lpstrElementName;
      return 0;
    }
    case MCI_SET: {
      String path;
      {
        std::lock_guard<std::mutex> lock(DevicesLock);
        auto it = OpenDevices.find(Device);
        if (it == OpenDevices.end()) return MCIERR_INVALID_DEVICE_ID;
        path = it->second;
      }
      if (Flags & MCI_SET_DOOR_CLOSED) return MCIERR_UNSUPPORTED_FUNCTION;
      if (Flags & MCI_SET_DOOR_OPEN) return EjectMedia(path) ? 0 : MCIERR_HARDWARE;
      return 0;
    }
    case MCI_CLOSE: {
      std::lock_guard<std::mutex> lock(DevicesLock);
      return OpenDevices.erase(Device) ? 0 : MCIERR_INVALID_DEVICE_ID;
    }
    default: return MCIERR_UNRECOGNIZED_COMMAND;
  }
}
