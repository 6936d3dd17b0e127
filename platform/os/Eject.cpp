#include "platform/os/Eject.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

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

// The eject's time limit and the caller's message pump (see Eject.h).
std::mutex WaitLock;
DWORD WaitLimitMs = EjectDefaultTimeLimitMs;
std::function<void()> WaitPump;

// One eject, run on a worker thread: unmounting and the tray's request can take long (or hang
// on a drive that does not answer), and the caller is the GUI thread.
struct TEjectJob {
  std::mutex Lock;
  std::condition_variable Done;
  bool Finished = false;
  bool Ok = false;
  DWORD Error = 0;
};

void RunEject(const TVolume& Volume, TEjectJob& Job)
{
  bool ok = false;
  DWORD error = 0;
  if (!Volume.MountPoint.empty()) {
    if (qvshell::SpawnAndWait({"udisksctl", "unmount", "--no-user-interaction", "-b", Volume.Device}, "") != 0)
      qvshell::SpawnAndWait({"umount", Volume.MountPoint}, "");
  }
  const int fd = open(Volume.Device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = Win32ErrorOfErrno(errno);
  } else {
    ok = ioctl(fd, CDROMEJECT, 0) == 0;
    error = ok ? 0 : Win32ErrorOfErrno(errno);
    close(fd);
  }
  std::lock_guard<std::mutex> lock(Job.Lock);
  Job.Ok = ok;
  Job.Error = error;
  Job.Finished = true;
  Job.Done.notify_all();
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
  DWORD limit;
  std::function<void()> pump;
  {
    std::lock_guard<std::mutex> lock(WaitLock);
    limit = WaitLimitMs;
    pump = WaitPump;
  }
  auto job = std::make_shared<TEjectJob>();
  std::thread([job, volume] { RunEject(volume, *job); }).detach();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit);
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(job->Lock);
      job->Done.wait_for(lock, std::chrono::milliseconds(pump ? 20 : 200), [&] { return job->Finished; });
      if (job->Finished) {
        SetLastError(job->Ok ? 0 : job->Error);
        return job->Ok;
      }
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      // The worker finishes on its own; its result no longer matters.
      SetLastError(ERROR_TIMEOUT);
      return false;
    }
    if (pump) pump();
  }
}

void SetEjectTimeLimit(DWORD Milliseconds)
{
  std::lock_guard<std::mutex> lock(WaitLock);
  WaitLimitMs = Milliseconds;
}

void SetEjectWaitPump(std::function<void()> Pump)
{
  std::lock_guard<std::mutex> lock(WaitLock);
  WaitPump = std::move(Pump);
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
