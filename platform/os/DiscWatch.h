// Disc arrival and removal, told in the shape of WM_DEVICECHANGE (the message number comes with
// the window system). The watch compares the volume table (Volumes.h) at each Poll with what it
// saw at the previous one: a volume that became ready (mounted, or a disc in an optical drive)
// is an arrival, one that is gone or lost its medium a removal. Optical drives carry DBTF_MEDIA,
// network volumes DBTF_NET, so a receiver that only cares about discs can tell them apart as on
// Windows. Volumes without a letter are not told. The first Poll only learns the present state.
//
// Poll may be driven by a caller (the tests, a timer) or by the watch's own thread (Start); the
// callback runs on the polling thread, outside the watch's lock, so the window system posts
// from it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "platform/os/Volumes.h"
#include "platform/rtl/WinTypes.h"

constexpr WPARAM DBT_DEVICEARRIVAL = 0x8000;
constexpr WPARAM DBT_DEVICEREMOVECOMPLETE = 0x8004;
constexpr DWORD DBT_DEVTYP_VOLUME = 0x00000002;
constexpr WORD DBTF_MEDIA = 0x0001;
constexpr WORD DBTF_NET = 0x0002;

struct DEV_BROADCAST_HDR {
  DWORD dbch_size = 0;
  DWORD dbch_devicetype = 0;
  DWORD dbch_reserved = 0;
};

// Starts with the header's fields, so a pointer to it may be read as DEV_BROADCAST_HDR.
struct DEV_BROADCAST_VOLUME {
  DWORD dbcv_size = sizeof(DEV_BROADCAST_VOLUME);
  DWORD dbcv_devicetype = DBT_DEVTYP_VOLUME;
  DWORD dbcv_reserved = 0;
  DWORD dbcv_unitmask = 0;
  WORD dbcv_flags = 0;
};

class TDiscWatch {
public:
  // Event is DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE.
  using TDeviceChangeEvent = std::function<void(WPARAM Event, const DEV_BROADCAST_VOLUME& Volume)>;

  explicit TDiscWatch(TVolumeTable& Table = Volumes());
  ~TDiscWatch();
  TDiscWatch(const TDiscWatch&) = delete;
  TDiscWatch& operator=(const TDiscWatch&) = delete;

  TDeviceChangeEvent OnDeviceChange;

  // Refreshes the table and tells the changes since the previous Poll: removals first, then
  // arrivals, each in letter order.
  void Poll();

  // Polls every IntervalMs on a thread of its own until Stop (or destruction).
  void Start(Cardinal IntervalMs);
  void Stop();

private:
  struct TSeen {
    char Letter;
    WORD Flags;
  };

  TVolumeTable& FTable;
  bool FPrimed = false;
  std::map<String, TSeen> FSeen;  // present volumes by key
  std::mutex FPollLock;

  std::thread FThread;
  std::mutex FWaitLock;
  std::condition_variable FWake;
  bool FStopping = false;
};
