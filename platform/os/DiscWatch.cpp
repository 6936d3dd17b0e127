#include "platform/os/DiscWatch.h"

#include <algorithm>
#include <chrono>
#include <vector>

TDiscWatch::TDiscWatch(TVolumeTable& Table) : FTable(Table) {}

TDiscWatch::~TDiscWatch() { Stop(); }

void TDiscWatch::Poll()
{
  std::unique_lock<std::mutex> guard(FPollLock);
  FTable.Refresh();
  std::map<String, TSeen> now;
  for (const TVolume& v : FTable.Snapshot()) {
    if (!v.HasMedia || !v.Letter) continue;
    WORD flags = 0;
    if (v.Optical) flags |= DBTF_MEDIA;
    if (v.DriveType == DRIVE_REMOTE) flags |= DBTF_NET;
    now[v.Key()] = TSeen{v.Letter, flags};
  }
  if (!FPrimed) {
    FPrimed = true;
    FSeen = std::move(now);
    return;
  }
  struct TChange {
    WPARAM Event;
    TSeen Seen;
  };
  std::vector<TChange> removals, arrivals;
  for (const auto& [key, seen] : FSeen) {
    auto it = now.find(key);
    if (it == now.end() || it->second.Letter != seen.Letter) removals.push_back({DBT_DEVICEREMOVECOMPLETE, seen});
  }
  for (const auto& [key, seen] : now) {
    auto it = FSeen.find(key);
    if (it == FSeen.end() || it->second.Letter != seen.Letter) arrivals.push_back({DBT_DEVICEARRIVAL, seen});
  }
  FSeen = std::move(now);
  auto byLetter = [](const TChange& A, const TChange& B) { return A.Seen.Letter < B.Seen.Letter; };
  std::sort(removals.begin(), removals.end(), byLetter);
  std::sort(arrivals.begin(), arrivals.end(), byLetter);
  // Told outside the lock, so that a receiver may poll again.
  guard.unlock();
  if (!OnDeviceChange) return;
  for (const auto* list : {&removals, &arrivals}) {
    for (const TChange& c : *list) {
      DEV_BROADCAST_VOLUME volume;
      volume.dbcv_unitmask = 1u << (c.Seen.Letter - 'A');
      volume.dbcv_flags = c.Seen.Flags;
      OnDeviceChange(c.Event, volume);
    }
  }
}

void TDiscWatch::Start(Cardinal IntervalMs)
{
  Stop();
  {
    std::lock_guard<std::mutex> lock(FWaitLock);
    FStopping = false;
  }
  FThread = std::thread([this, IntervalMs] {
    std::unique_lock<std::mutex> lock(FWaitLock);
    while (!FStopping) {
      lock.unlock();
      Poll();
      lock.lock();
      FWake.wait_for(lock, std::chrono::milliseconds(IntervalMs), [this] { return FStopping; });
    }
  });
}

void TDiscWatch::Stop()
{
  {
    std::lock_guard<std::mutex> lock(FWaitLock);
    FStopping = true;
  }
  FWake.notify_all();
  if (FThread.joinable()) FThread.join();
}
